#include "MainMenu2000.h"

#include "MenuBar2000.h"
#include "MenuUtilsCore.h"
#include "PopupMenu2000Form.h"

TMainMenu2000::TMainMenu2000(TComponent* owner) : TMainMenu(owner), FOptions(this) {}

TMainMenu2000::~TMainMenu2000()
{
    Destroying();
    if (FAnimatedSkin)
        FAnimatedSkin->RemoveClient(this);
}

T_AM2000_MenuOptions& TMainMenu2000::Options()
{
    if (!InState(csLoading | csReading) && !Designing())
        FOptions.UpToDateColors();
    return FOptions;
}

void TMainMenu2000::SetAnimatedSkin(TCustomAnimatedSkin2000* value) { LinkAnimatedSkin(*this, FAnimatedSkin, value); }

void TMainMenu2000::ApplySkin(TCustomAnimatedSkin2000& skin)
{
    BeginMenuUpdate();
    TakeSkinLook(skin);
    skin.AssignTo(FOptions);
    if (TMenuBar2000* bar = MenuBar())
        bar->ApplyMenuBarOptions(skin.MenuBar());
    EndMenuUpdate();
    Refresh();
}

void TMainMenu2000::SkinFreed(TCustomAnimatedSkin2000& skin)
{
    if (FAnimatedSkin == &skin)
        FAnimatedSkin = nullptr;
}

void TMainMenu2000::Notification(TComponent* component, bool removing)
{
    TMainMenu::Notification(component, removing);
    if (!removing)
        return;
    if (component == FAnimatedSkin)
        SetAnimatedSkin(nullptr);
    for (TComponent** images : {&Images, &DisabledImages, &HotImages})
        if (*images == component)
            *images = nullptr;
}

TMenuBar2000* TMainMenu2000::MenuBar() const { return FindMenuBar(this); }

TMenuBar2000& TMainMenu2000::VisibleBar() const
{
    TMenuBar2000* bar = MenuBar();
    if (!bar)
        throw EMenuError(Format("The %s main menu component is not visible.", Name.c_str()));
    return *bar;
}

void TMainMenu2000::Refresh()
{
    if (InState(csLoading | csReading | csDestroying))
        return;
    if (TMenuBar2000* bar = MenuBar())
        bar->UpdateBar();
}

TMenuItem* TMainMenu2000::SelectedItem() const
{
    TMenuBar2000& bar = VisibleBar();
    if (!bar.DropDown().IsShowing())
        return bar.HotItem();
    auto* window = dynamic_cast<TPopupMenu2000Form*>(bar.DropDown().PopupForm());
    return window && window->Selection() >= 0 ? window->ItemAtRow(window->Selection()) : nullptr;
}

void TMainMenu2000::SelectItem(TMenuItem* item) { VisibleBar().SelectItem(item); }
