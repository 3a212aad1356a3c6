#pragma once
// Popup menus: a tree of items shown as the system's popup menu. The skinned menu family
// derives from these and draws the same tree itself.
#include "Classes.h"
#include "Graphics.h"
#include "ShortCuts.h"
#include "Types.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class TPopupMenu;
class TMenuItem;
class TMenuActionLink;

// A command with its own caption, state and handler; the menu items linked to it follow every
// change through their action links.
class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* owner);
    ~TBasicAction() override;  // the links drop the action; their items keep its last values

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut value);
    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;
    // Runs OnExecute; False when there is none.
    bool Execute();
    // Runs OnUpdate; False when there is none.
    bool Update();

private:
    friend class TMenuActionLink;
    template <class F>
    void ForEachLink(F&& f);
    // Stores a changed value and passes it to every link's slot.
    template <class T, class Arg>
    void Change(T& field, const T& value, void (TMenuActionLink::*slot)(Arg));
    std::string FCaption, FHint;
    bool FEnabled = true, FChecked = false, FVisible = true;
    int FImageIndex = -1, FHelpContext = 0;
    TShortCut FShortCut = 0;
    std::vector<TMenuActionLink*> FLinks;
};

// Joins an item to an action: each change operation of the action's values reaches the item
// through one of these slots.
class TMenuActionLink {
public:
    explicit TMenuActionLink(TMenuItem* client) : FClient(client) {}
    virtual ~TMenuActionLink();
    TMenuActionLink(const TMenuActionLink&) = delete;
    TMenuActionLink& operator=(const TMenuActionLink&) = delete;
    TBasicAction* Action() const { return FAction; }
    void SetAction(TBasicAction* value);
    bool Execute() { return FAction && FAction->Execute(); }
    bool Update() { return FAction && FAction->Update(); }

    // The change operations, in slot order.
    virtual void SetCaption(const std::string& value);
    virtual void SetEnabled(bool value);
    virtual void SetChecked(bool value);
    virtual void SetHint(const std::string& value);
    virtual void SetImageIndex(int value);
    virtual void SetVisible(bool value);
    virtual void SetHelpContext(int value);
    virtual void SetShortCut(TShortCut value);

protected:
    TMenuItem* FClient;

private:
    friend class TBasicAction;
    TBasicAction* FAction = nullptr;
};

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
    TBitmap Bitmap;  // the item's own glyph, shown by the skinned menus
    TComponent* SubMenuImages = nullptr;
    // The id the item's WM_COMMAND carries: unique among live items, given at construction and
    // free again when the item goes.
    UINT Command() const { return FCommand; }
    // A native popup menu of the visible children (a child with children as its own submenu,
    // the others by Command), made on first use and brought up to date on every call.
    HMENU Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
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
    // Runs the linked action's OnExecute, or else OnClick.
    virtual void Click();
    bool IsSeparator() const { return Caption == "-"; }
    // The linked action, or none. Linking takes the action's values.
    TBasicAction* Action() const { return FActionLink ? FActionLink->Action() : nullptr; }
    virtual void SetAction(TBasicAction* value);
    // Asks the linked action to update itself.
    virtual void InitiateAction();

protected:
    virtual std::unique_ptr<TMenuActionLink> CreateActionLink();

private:
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    std::unique_ptr<TMenuActionLink> FActionLink;
    UINT FCommand;
    HMENU FHandle = nullptr;
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
