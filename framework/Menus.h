#pragma once
// Popup menus: a tree of items shown as the system's popup menu. The skinned menu family
// derives from these and draws the same tree itself.
#include "Classes.h"
#include "ShortCuts.h"
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
    // The class library's further item state (the skinned menus use it).
    TShortCut ShortCut = 0;
    bool AutoCheck = false;
    bool Default = false;
    int HelpContext = 0;
    std::string Hint;
    int ImageIndex = -1;
    TComponent* SubMenuImages = nullptr;
    UINT Command = 0;
    // A popup menu shown as this item's submenu; its OnPopup runs before its items show.
    TPopupMenu* SubMenu = nullptr;

    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int index) const { return FItems.at(static_cast<size_t>(index)); }
    TMenuItem* Parent() const { return FParent; }
    int MenuIndex() const;
    // Takes ownership of the item.
    virtual void Add(TMenuItem* item);
    virtual void Insert(int index, TMenuItem* item);
    virtual void Delete(int index);  // frees the item
    virtual void Remove(TMenuItem* item);  // takes it out without freeing it
    void Clear();
    // A new item owned by this one, appended.
    TMenuItem* AddNew(const std::string& caption, TNotifyEvent onClick = nullptr);
    // Checks the item; a radio item unchecks the others of its group in the same menu.
    void SetChecked(bool value);
    virtual void Click();
    bool IsSeparator() const { return Caption == "-"; }

private:
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
};

// A menu: the root item holds the top-level items.
class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;

    TMenuItem* Items() const { return FItems; }

protected:
    // Frees the root item and takes `root` (owned by this menu) in its place.
    void ReplaceItems(TMenuItem* root);

private:
    TMenuItem* FItems;
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;

    // Runs OnPopup, shows the menu at the screen point and runs the chosen item's click.
    virtual void Popup(int x, int y);
    // The class library's menu-key step: a key-down message (key code, key data) that is the
    // ShortCut of an item enabled with its parents runs the item's Click; True when it ran.
    virtual bool IsShortCut(WPARAM key, LPARAM keyData);
    bool Showing() const { return FShowing; }
    HWND Window = nullptr;  // the window that owns the menu while it shows
    TNotifyEvent OnPopup;

private:
    bool FShowing = false;
};

// A key-down message's shortcut: the key plus Shift and Ctrl from the key state and Alt from
// bit 29 of the key data.
TShortCut ShortCutFromKeyMessage(WPARAM key, LPARAM keyData);
