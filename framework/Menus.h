#pragma once
// Popup menus: a tree of items shown as the system's popup menu. The skinned menu family
// derives from these and draws the same tree itself.
#include "Classes.h"
#include "Types.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class TPopupMenu;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    std::string Caption;  // "-" is a separator
    bool Checked = false;
    bool Enabled = true;
    bool Visible = true;
    bool RadioItem = false;
    int GroupIndex = 0;
    std::string ShortCutText;  // shown after a tab, e.g. "Alt+Enter"
    TNotifyEvent OnClick;
    // A popup menu shown as this item's submenu; its OnPopup runs before its items show.
    TPopupMenu* SubMenu = nullptr;

    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int index) const { return FItems.at(static_cast<size_t>(index)); }
    TMenuItem* Parent() const { return FParent; }
    int MenuIndex() const;
    // Takes ownership of the item.
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Delete(int index);  // frees the item
    void Clear();
    // A new item owned by this one, appended.
    TMenuItem* AddNew(const std::string& caption, TNotifyEvent onClick = nullptr);
    // Checks the item; a radio item unchecks the others of its group in the same menu.
    void SetChecked(bool value);
    void Click();
    bool IsSeparator() const { return Caption == "-"; }

private:
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
};

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;

    TMenuItem* Items() const { return FItems; }
    // Runs OnPopup, shows the menu at the screen point and runs the chosen item's click.
    virtual void Popup(int x, int y);
    bool Showing() const { return FShowing; }
    HWND Window = nullptr;  // the window that owns the menu while it shows
    TNotifyEvent OnPopup;

private:
    TMenuItem* FItems;
    bool FShowing = false;
};
