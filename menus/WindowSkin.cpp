#include "WindowSkin.h"

#include "MenuUtils.h"

TMoney* NewWindowSkin(TComponent* window, const std::string& name, T_AM2000_Animation animation, int sideMargin)
{
    MenuUnitStart();  // the skin finds its resource from here on
    auto* skin = NewComponent<TMoney>(window);
    skin->Name = name;
    StoreWindowLook(*skin, animation, sideMargin);
    return skin;
}
