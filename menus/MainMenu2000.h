#pragma once
// TMainMenu2000: the main-menu component of the family. A menu bar (TMenuBar2000) whose Menu
// it is shows its merged items with its look; it has no window of its own.
#include "AnimatedSkinCore.h"
#include "MenuLookCore.h"
#include "MenuOptionsCore.h"
#include "framework/MainMenu.h"

class TMenuBar2000;

class TMainMenu2000 : public TMainMenu, public T_AM2000_MenuLook, public IAM2000SkinClient, private IOptionsOwner {
public:
    explicit TMainMenu2000(TComponent* owner);
    ~TMainMenu2000() override;

    // Colours brought up to date outside loading, reading and design.
    T_AM2000_MenuOptions& Options();
    TCustomAnimatedSkin2000* AnimatedSkin() const { return FAnimatedSkin; }
    // The skin's look is pushed into the menu, and its bar refreshes.
    void SetAnimatedSkin(TCustomAnimatedSkin2000* value);
    void ApplySkin(TCustomAnimatedSkin2000& skin) override;
    void SkinFreed(TCustomAnimatedSkin2000& skin) override;
    bool ShowHint = false;
    TBiDiMode BiDiMode = bdLeftToRight;

    // The first bar that shows the menu; none while it is not shown.
    TMenuBar2000* MenuBar() const;
    // The bar lays its items out again and its open drop-down follows (not while loading,
    // reading or being destroyed).
    void Refresh();
    // The bar's hot item while no drop-down shows, else the drop-down's selected item.
    // EMenuError "The %s main menu component is not visible." without a bar.
    TMenuItem* SelectedItem() const;
    // Selects an item for accessibility clients: its top-level ancestor on the bar, and the item
    // itself in the drop-down when it lies deeper; the same error without a bar.
    void SelectItem(TMenuItem* item);

protected:
    void Notification(TComponent* component, bool removing) override;

private:
    void OptionsChanged() override { Refresh(); }
    bool OwnerHasSkin() const override { return FAnimatedSkin != nullptr; }
    bool OwnerLoadingOrDesigning() const override { return InState(csLoading | csReading) || Designing(); }
    TMenuBar2000& VisibleBar() const;
    T_AM2000_MenuOptions FOptions;
    TCustomAnimatedSkin2000* FAnimatedSkin = nullptr;
};
