#pragma once
// TMainMenu2000: the main-menu component of the family. A menu bar (TMenuBar2000) whose Menu
// it is shows its merged items with its look; it has no window of its own.
#include "MenuOptionsCore.h"
#include "framework/MainMenu.h"

class TMenuBar2000;

class TMainMenu2000 : public TMainMenu {
public:
    using TMainMenu::TMainMenu;

    T_AM2000_MenuOptions& Options() { return FOptions; }
    TComponent* Images = nullptr;
    bool SystemShadow = false;
    bool ShowHint = false;

    // The first bar that shows the menu; none while it is not shown.
    TMenuBar2000* MenuBar() const;
    // The bar lays its items out again and its open drop-down follows (not while loading,
    // reading or being destroyed).
    void Refresh();
    // The bar's hot item while no drop-down shows, else the drop-down's selected item.
    // EMenuError "The %s main menu component is not visible." without a bar.
    TMenuItem* SelectedItem() const;
    // Selects a top-level item on the bar (for accessibility clients); the same error without a bar.
    void SelectItem(TMenuItem* item);

private:
    TMenuBar2000& VisibleBar() const;
    T_AM2000_MenuOptions FOptions;
};
