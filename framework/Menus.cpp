#include "Menus.h"

#include "Controls.h"

#include <algorithm>

// ---- TMenuItem ----

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem()
{
    if (FParent) {
        auto& siblings = FParent->FItems;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    Clear();
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
    if (Enabled && OnClick)
        OnClick(this);
}

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
        std::string text = item->Caption;
        if (!item->ShortCutText.empty())
            text += "\t" + item->ShortCutText;
        UINT flags = MF_STRING | (item->Enabled ? 0 : MF_GRAYED) | (item->Checked ? MF_CHECKED : 0);
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
