#include "Menus.h"

#include "Controls.h"

#include <algorithm>
#include <mutex>

// ---- TMenuItem ----

namespace {

// Taken command ids by value; 0 stays unused, as a menu's "nothing chosen". Made on first use,
// so it outlives every item, static ones too.
struct TCommandPool {
    std::mutex Lock;
    std::vector<bool> Taken{true};
};

TCommandPool& CommandPool()
{
    static TCommandPool pool;
    return pool;
}

UINT UniqueCommand()
{
    TCommandPool& pool = CommandPool();
    const std::lock_guard lock(pool.Lock);
    const auto open = std::find(pool.Taken.begin(), pool.Taken.end(), false);
    const auto id = static_cast<size_t>(open - pool.Taken.begin());
    if (open == pool.Taken.end())
        pool.Taken.push_back(true);
    else
        *open = true;
    return static_cast<UINT>(id);
}

void FreeCommand(UINT id)
{
    TCommandPool& pool = CommandPool();
    const std::lock_guard lock(pool.Lock);
    pool.Taken[id] = false;
}

// Takes every entry out without destroying submenus: those belong to the child items.
void DetachEntries(HMENU menu)
{
    if (menu)
        while (GetMenuItemCount(menu) > 0 && RemoveMenu(menu, 0, MF_BYPOSITION)) {
        }
}

// An entry's text (caption, then the shortcut column after a tab) and state flags.
std::string EntryText(const TMenuItem* item)
{
    return item->ShortCutText.empty() ? item->Caption : item->Caption + "\t" + item->ShortCutText;
}

UINT EntryFlags(const TMenuItem* item)
{
    return MF_STRING | (item->Enabled ? 0 : MF_GRAYED) | (item->Checked ? MF_CHECKED : 0);
}

}  // namespace

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), FCommand(UniqueCommand()) {}

TMenuItem::~TMenuItem()
{
    if (FParent) {
        auto& siblings = FParent->FItems;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        DetachEntries(FParent->FHandle);
    }
    Clear();
    if (FHandle)
        DestroyMenu(FHandle);  // empty by now, so no child's menu goes with it
    FreeCommand(FCommand);
}

HMENU TMenuItem::Handle()
{
    if (!FHandle)
        FHandle = CreatePopupMenu();
    DetachEntries(FHandle);
    for (TMenuItem* item : FItems) {
        if (!item->Visible)
            continue;
        if (item->IsSeparator()) {
            AppendMenuA(FHandle, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const std::string text = EntryText(item);
        const UINT flags = EntryFlags(item);
        if (item->Count() > 0)
            AppendMenuA(FHandle, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(item->Handle()), text.c_str());
        else
            AppendMenuA(FHandle, flags, item->FCommand, text.c_str());
    }
    return FHandle;
}

int TMenuItem::MenuIndex() const
{
    if (!FParent)
        return -1;
    const auto& siblings = FParent->FItems;
    return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

void TMenuItem::Add(TMenuItem* item)
{
    Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item)
{
    if (!item || item->FParent)
        return;
    index = std::clamp(index, 0, Count());
    FItems.insert(FItems.begin() + index, item);
    item->FParent = this;
}

void TMenuItem::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    std::unique_ptr<TMenuItem> item(FItems[static_cast<size_t>(index)]);  // leaves the list as it goes
}

void TMenuItem::Remove(TMenuItem* item)
{
    const auto it = std::find(FItems.begin(), FItems.end(), item);
    if (it == FItems.end())
        return;
    FItems.erase(it);
    item->FParent = nullptr;
    DetachEntries(FHandle);
}

void TMenuItem::Clear()
{
    while (!FItems.empty())
        Delete(Count() - 1);
}

TMenuItem* TMenuItem::AddNew(const std::string& caption, TNotifyEvent onClick)
{
    auto* item = NewComponent<TMenuItem>(this);
    item->Caption = caption;
    item->OnClick = std::move(onClick);
    Add(item);
    return item;
}

void TMenuItem::SetChecked(bool value)
{
    Checked = value;
    if (value && RadioItem && FParent)
        for (TMenuItem* other : FParent->FItems)
            if (other != this && other->RadioItem && other->GroupIndex == GroupIndex)
                other->Checked = false;
}

void TMenuItem::Click()
{
    if (!Enabled)
        return;
    if (FActionLink && FActionLink->Action() && FActionLink->Action()->OnExecute)
        FActionLink->Execute();
    else if (OnClick)
        OnClick(this);
}

std::unique_ptr<TMenuActionLink> TMenuItem::CreateActionLink() { return std::make_unique<TMenuActionLink>(this); }

void TMenuItem::SetAction(TBasicAction* value)
{
    if (!value) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink)
        FActionLink = CreateActionLink();
    FActionLink->SetAction(value);
    Caption = value->Caption();
    Enabled = value->Enabled();
    Checked = value->Checked();
    Hint = value->Hint();
    ImageIndex = value->ImageIndex();
    Visible = value->Visible();
    HelpContext = value->HelpContext();
    ShortCut = value->ShortCut();
}

void TMenuItem::InitiateAction()
{
    if (FActionLink)
        FActionLink->Update();
}

// ---- Actions and their links ----

TBasicAction::TBasicAction(TComponent* owner) : TComponent(owner) {}

TBasicAction::~TBasicAction()
{
    for (TMenuActionLink* link : FLinks)
        link->FAction = nullptr;
}

template <class F>
void TBasicAction::ForEachLink(F&& f)
{
    const auto links = FLinks;  // a slot may unlink
    for (TMenuActionLink* link : links)
        if (std::find(FLinks.begin(), FLinks.end(), link) != FLinks.end())
            f(*link);
}

template <class T, class Arg>
void TBasicAction::Change(T& field, const T& value, void (TMenuActionLink::*slot)(Arg))
{
    if (value == field)
        return;
    field = value;
    ForEachLink([&](TMenuActionLink& l) { (l.*slot)(value); });
}

void TBasicAction::SetCaption(const std::string& value) { Change(FCaption, value, &TMenuActionLink::SetCaption); }
void TBasicAction::SetEnabled(bool value) { Change(FEnabled, value, &TMenuActionLink::SetEnabled); }
void TBasicAction::SetChecked(bool value) { Change(FChecked, value, &TMenuActionLink::SetChecked); }
void TBasicAction::SetHint(const std::string& value) { Change(FHint, value, &TMenuActionLink::SetHint); }
void TBasicAction::SetImageIndex(int value) { Change(FImageIndex, value, &TMenuActionLink::SetImageIndex); }
void TBasicAction::SetVisible(bool value) { Change(FVisible, value, &TMenuActionLink::SetVisible); }
void TBasicAction::SetHelpContext(int value) { Change(FHelpContext, value, &TMenuActionLink::SetHelpContext); }
void TBasicAction::SetShortCut(TShortCut value) { Change(FShortCut, value, &TMenuActionLink::SetShortCut); }

bool TBasicAction::Execute()
{
    if (!OnExecute)
        return false;
    OnExecute(this);
    return true;
}

bool TBasicAction::Update()
{
    if (!OnUpdate)
        return false;
    OnUpdate(this);
    return true;
}

TMenuActionLink::~TMenuActionLink() { SetAction(nullptr); }

void TMenuActionLink::SetAction(TBasicAction* value)
{
    if (value == FAction)
        return;
    if (FAction)
        std::erase(FAction->FLinks, this);
    FAction = value;
    if (value)
        value->FLinks.push_back(this);
}

void TMenuActionLink::SetCaption(const std::string& value) { FClient->Caption = value; }
void TMenuActionLink::SetEnabled(bool value) { FClient->Enabled = value; }
void TMenuActionLink::SetChecked(bool value) { FClient->SetChecked(value); }
void TMenuActionLink::SetHint(const std::string& value) { FClient->Hint = value; }
void TMenuActionLink::SetImageIndex(int value) { FClient->ImageIndex = value; }
void TMenuActionLink::SetVisible(bool value) { FClient->Visible = value; }
void TMenuActionLink::SetHelpContext(int value) { FClient->HelpContext = value; }
void TMenuActionLink::SetShortCut(TShortCut value) { FClient->ShortCut = value; }

// ---- TMenu ----

TMenu::TMenu(TComponent* owner) : TComponent(owner), FItems(NewComponent<TMenuItem>(this)) {}

TMenu::~TMenu() = default;

void TMenu::ReplaceItems(TMenuItem* root)
{
    std::unique_ptr<TMenuItem> old(FItems);
    FItems = root;
}

// ---- TPopupMenu ----

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

TPopupMenu::~TPopupMenu() = default;

namespace {
struct TMenuOwner {
    HMENU Handle = nullptr;
    ~TMenuOwner()
    {
        if (Handle)
            DestroyMenu(Handle);
    }
};

// Appends the visible items; command ids index into `flat` from 1.
void BuildMenu(HMENU menu, const TMenuItem* parent, std::vector<TMenuItem*>& flat)
{
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (!item->Visible)
            continue;
        if (item->IsSeparator()) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const std::string text = EntryText(item);
        const UINT flags = EntryFlags(item);
        const TMenuItem* source = item;
        if (TPopupMenu* attached = item->SubMenu) {
            if (attached->OnPopup)
                attached->OnPopup(attached);
            source = attached->Items();
        }
        if (source->Count() > 0) {
            const HMENU sub = CreatePopupMenu();
            BuildMenu(sub, source, flat);
            AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text.c_str());  // the menu owns sub
        } else {
            flat.push_back(item);
            AppendMenuA(menu, flags, flat.size(), text.c_str());
        }
        if (item->RadioItem && item->Checked) {
            MENUITEMINFOA info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE;
            info.fType = MFT_RADIOCHECK;
            SetMenuItemInfoA(menu, GetMenuItemCount(menu) - 1, TRUE, &info);
        }
    }
}
}

void TPopupMenu::Popup(int x, int y)
{
    if (FShowing)
        return;
    if (OnPopup)
        OnPopup(this);
    TMenuOwner menu{CreatePopupMenu()};
    std::vector<TMenuItem*> flat;
    BuildMenu(menu.Handle, Items(), flat);
    const HWND owner = Window ? Window : GetActiveWindow();
    FShowing = true;
    const UINT chosen = TrackPopupMenuEx(menu.Handle, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, owner, nullptr);
    FShowing = false;
    if (chosen >= 1 && chosen <= flat.size())
        flat[chosen - 1]->Click();
}

namespace {
TMenuItem* FindShortCutItem(TMenuItem* parent, TShortCut key)
{
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (item->ShortCut == key)
            return item;
        if (TMenuItem* found = FindShortCutItem(item, key))
            return found;
    }
    return nullptr;
}
}  // namespace

bool TPopupMenu::IsShortCut(WPARAM key, LPARAM keyData)
{
    const TShortCut shortCut = ShortCutFromKeyMessage(key, keyData);
    TMenuItem* item = shortCut ? FindShortCutItem(Items(), shortCut) : nullptr;
    if (!item)
        return false;
    for (TMenuItem* p = item; p && p != Items(); p = p->Parent())
        if (!p->Enabled)
            return false;  // a disabled item leaves the key to the control
    item->Click();
    return true;
}

TShortCut ShortCutFromKeyMessage(WPARAM key, LPARAM keyData)
{
    TShortCut modifiers = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        modifiers |= scShift;
    if (GetKeyState(VK_CONTROL) < 0)
        modifiers |= scCtrl;
    if (keyData & (LPARAM(1) << 29))
        modifiers |= scAlt;
    return ShortCut(static_cast<uint16_t>(key), modifiers);
}
