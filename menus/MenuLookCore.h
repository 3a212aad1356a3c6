#pragma once
// What a menu of the family keeps of its look besides its options: the font choice, the 3D
// frame and the image lists. The popup menu and the main menu both hold one, and a skin pushes
// its look into it.
#include "MenuOptionsCore.h"

#include <memory>

class IAM2000SkinClient;
class TComponent;
class TCustomAnimatedSkin2000;

class T_AM2000_MenuLook {
public:
    T_AM2000_MenuLook() = default;
    T_AM2000_MenuLook(const T_AM2000_MenuLook&) = delete;
    T_AM2000_MenuLook& operator=(const T_AM2000_MenuLook&) = delete;

    bool ParentFont() const { return FParentFont; }
    // True drops SystemFont and the own font.
    void SetParentFont(bool value);
    bool SystemFont() const { return FSystemFont; }
    // True drops ParentFont and the own font.
    void SetSystemFont(bool value);
    // The menu's own font; none while ParentFont or SystemFont.
    T_AM2000_Font* Font() const { return FFont.get(); }
    void SetFont(const T_AM2000_Font* value);
    bool Ctl3D() const { return FCtl3D; }
    // Setting it stops following the system's flat-menu setting.
    void SetCtl3D(bool value);
    bool SystemCtl3D = false;
    bool SystemShadow = false;
    bool SystemSelectionFade = true;
    TComponent* Images = nullptr;
    TComponent* DisabledImages = nullptr;
    TComponent* HotImages = nullptr;

    // Everything above from another menu's look.
    void AssignLook(const T_AM2000_MenuLook& other);
    // The skin's fonts, 3D frame, system flags and image lists.
    void TakeSkinLook(TCustomAnimatedSkin2000& skin);

private:
    std::unique_ptr<T_AM2000_Font> FFont;
    bool FParentFont = false, FSystemFont = true, FCtl3D = true;
};

// Moves client's skin link from link to value: the old skin forgets it, and the new skin (or,
// for none, a fresh default skin) pushes its look into it at once.
void LinkAnimatedSkin(IAM2000SkinClient& client, TCustomAnimatedSkin2000*& link, TCustomAnimatedSkin2000* value);
