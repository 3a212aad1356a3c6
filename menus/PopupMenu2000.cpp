#include "PopupMenu2000.h"

#include "DropShadow.h"
#include "MenuBar2000.h"
#include "MenuPersistence.h"
#include "MenuUtils.h"
#include "ThemeSupport.h"

namespace {

TPopupWindowFactory WindowFactory;

// The drop shadows' desktop snapshots go after a popup.
void ReleaseDesktopCopy() { T_AM2000_Desktop::Instance().Release(); }

// A window that never shows: stands in while no window unit installed its factory.
class TNoWindow : public IPopupMenuWindow {
    void SetRoot(TMenuItem*, HMENU) override {}
    void SetAnimation(T_AM2000_Animation) override {}
    void SetWindowOption(int, int) override {}
    void SetStateFlags(unsigned) override {}
    bool Enabled() const override { return true; }
    void Enable() override {}
    void PlaceAt(int, int) override {}
    bool ShowMenu() override { return false; }
    void HideMenu() override {}
    bool IsShowing() const override { return false; }
    void RebuildItems() override {}
    void ItemChanged(TMenuItem*, int) override {}
    bool Cancelled() const override { return true; }
};

}  // namespace

void SetPopupWindowFactory(TPopupWindowFactory factory) { WindowFactory = std::move(factory); }
TCustomPopupMenu2000::TCustomPopupMenu2000(TComponent* owner)
    : TPopupMenu(owner), FOptions(this), FAlive(std::make_shared<bool>(true))
{
    ReplaceItems(NewComponent<TMenuItem2000>(this));
    MenuUnitStart();
    ThemeUnitStart();
    MenuUsageClock();  // unit start: macros expanded, usage clock read
    if (!Designing() && !(owner && owner->Designing()))
        InstallMenuHooks();
}

TCustomPopupMenu2000::~TCustomPopupMenu2000()
{
    Destroying();
    *FAlive = false;  // a modal wait on this menu ends
    if (!Designing())
        RemoveMenuHooks();
    if (FPopupForm) {
        FPopupForm->HideMenu();
        FPopupForm.reset();
    }
    if (CurrentPopupMenu() == this)
        SetCurrentPopupMenu(nullptr);
    if (FAnimatedSkin)
        FAnimatedSkin->RemoveClient(this);
    if (AttachedTo)
        AttachedTo->ClearAttachMenu();
    DestroyComponents();  // the items still reach this menu while they go
}

IPopupMenuWindow& TCustomPopupMenu2000::GetPopupForm()
{
    if (!FPopupForm)
        FPopupForm = WindowFactory ? WindowFactory(*this) : std::make_unique<TNoWindow>();
    return *FPopupForm;
}

void TCustomPopupMenu2000::GetRootMenu(TMenuItem*& item, HMENU& handle) const
{
    item = RootItem ? RootItem : static_cast<TMenuItem*>(Items());
    handle = RootHandle ? RootHandle : (dynamic_cast<TMenuItem2000*>(item) ? static_cast<TMenuItem2000*>(item)->NativeHandle : nullptr);
}

void TCustomPopupMenu2000::PrepareItems(bool addEmpty)
{
    if (!LoadedDone)
        Loaded();
    // No merge list here; an attached menu opened empty as a submenu or drop-down says so.
    if (addEmpty && AttachedTo && Items()->Count() == 0 && !RootItem && !RootHandle) {
        TMenuItem2000* empty = Items()->AddNew("(Empty)");
        empty->SetEnabled(false);
    }
}

void TCustomPopupMenu2000::Loaded()
{
    TPopupMenu::Loaded();
    LoadedDone = true;
    LoadMenuOrder(this);
}

void TCustomPopupMenu2000::ShowPopup(int x, int y)
{
    CloseMenus(false, 0);  // a bar opening its drop-down keeps its open item
    if (OnPopup)
        OnPopup(this);
    PrepareItems(false);  // a component of its own pops up empty
    IPopupMenuWindow& window = GetPopupForm();
    TMenuItem* root = nullptr;
    HMENU handle = nullptr;
    GetRootMenu(root, handle);
    window.SetRoot(root, handle);
    window.SetWindowOption(3, 0);
    SetCurrentPopupMenu(this);
    auto* rootItem = dynamic_cast<TMenuItem2000*>(root);
    if (!(rootItem && rootItem->HasOwnOptions()))
        window.SetAnimation(FOptions.Animation());
    window.SetStateFlags(1);
    if (!window.Enabled())
        window.Enable();
    PopupX = x;
    PopupY = y;
    window.PlaceAt(x, y);
    if (window.ShowMenu())
        return;
    window.HideMenu();
    if (CurrentPopupMenu() == this)
        SetCurrentPopupMenu(nullptr);
}

void TCustomPopupMenu2000::Popup(int x, int y)
{
    const std::shared_ptr<bool> alive = FAlive;
    ShowPopup(x, y);
    while (*alive && !InState(csDestroying) && IsShowing()) {
        PumpForModalMenu();
        if (!*alive)
            break;  // a handler freed this menu
        Sleep(20);
    }
    if (!*alive)
        return;
    if (CurrentPopupMenu() == this)
        SetCurrentPopupMenu(nullptr);
    ReleaseDesktopCopy();
}

void TCustomPopupMenu2000::Assign(const TPersistent& source)
{
    const auto* menu = dynamic_cast<const TPopupMenu*>(&source);
    if (!menu)
        return TPopupMenu::Assign(source);
    BeginMenuUpdate();
    try {
        Items()->Clear();
        Items()->Assign(*menu->Items());
        OnPopup = menu->OnPopup;
        if (const auto* other = dynamic_cast<const TCustomPopupMenu2000*>(menu)) {
            LoadedDone = other->LoadedDone;
            StatusBar = other->StatusBar;
            StatusBarIndex = other->StatusBarIndex;
            FShowHint = other->FShowHint;
            FOptions.Assign(other->FOptions);
            AssignLook(*other);
            FParentShowHint = other->FParentShowHint;
            SetAnimatedSkin(other->FAnimatedSkin);
            OnMenuCommand = other->OnMenuCommand;
            OnMenuClose = other->OnMenuClose;
            OnContextMenu = other->OnContextMenu;
        }
    } catch (...) {
        EndMenuUpdate();
        throw;
    }
    EndMenuUpdate();
    RefreshIfShowing();
}

bool TCustomPopupMenu2000::IsShortCut(WPARAM key, LPARAM keyData)
{
    return DispatchShortCut(ShortCutFromKeyMessage(key, keyData), Items());
}

bool TCustomPopupMenu2000::IsShowing() const { return FPopupForm && FPopupForm->IsShowing(); }

void TCustomPopupMenu2000::RefreshIfShowing()
{
    if (!InState(csLoading | csDestroying) && IsShowing())
        FPopupForm->RebuildItems();
}

void TCustomPopupMenu2000::DoMenuClose()
{
    if (OnMenuClose)
        OnMenuClose(this, FPopupForm ? FPopupForm->Cancelled() : true);
}

T_AM2000_MenuOptions& TCustomPopupMenu2000::Options()
{
    if (!InState(csLoading | csReading) && !Designing())
        FOptions.UpToDateColors();
    return FOptions;
}

void TCustomPopupMenu2000::SetAnimatedSkin(TCustomAnimatedSkin2000* value)
{
    LinkAnimatedSkin(*this, FAnimatedSkin, value);
}

void TCustomPopupMenu2000::ApplySkin(TCustomAnimatedSkin2000& skin)
{
    BeginMenuUpdate();
    TakeSkinLook(skin);
    skin.AssignTo(FOptions);
    if (TMenuBar2000* bar = FindMenuBar(this))
        bar->ApplyMenuBarOptions(skin.MenuBar());
    EndMenuUpdate();
    RefreshIfShowing();
}

void TCustomPopupMenu2000::SkinFreed(TCustomAnimatedSkin2000& skin)
{
    if (FAnimatedSkin == &skin)
        FAnimatedSkin = nullptr;
}

void TCustomPopupMenu2000::SetShowHint(bool value)
{
    if (value != FShowHint)
        FParentShowHint = false;
    FShowHint = value;
}

void TCustomPopupMenu2000::SetParentShowHint(bool value)
{
    FParentShowHint = value;
    if (value) {
        const auto* control = dynamic_cast<const TControl*>(Owner());
        FShowHint = control && control->ShowHint;
    }
}

std::string TCustomPopupMenu2000::Version() { return TCustomAnimatedSkin2000::Version(); }

void TCustomPopupMenu2000::Notification(TComponent* component, bool removing)
{
    TPopupMenu::Notification(component, removing);
    if (!removing)
        return;
    if (component == StatusBar)
        StatusBar = nullptr;
    if (component == FAnimatedSkin)
        SetAnimatedSkin(nullptr);
    if (component == AttachedTo)
        AttachedTo = nullptr;
}

TMenuItem* FindItemByShortCut(TMenuItem* root, TShortCut key)
{
    if (!root || key == 0)
        return nullptr;
    const std::string text = ShortCutToText(key);
    for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* child = root->Items(i);
        auto* skinned = dynamic_cast<TMenuItem2000*>(child);
        if (child->ShortCut == key || (skinned && ShortcutListContains(text, skinned->StoredShortCutText())))
            return child;
        if (TMenuItem* found = FindItemByShortCut(child, key))
            return found;
        if (skinned && skinned->AttachMenu())
            if (TMenuItem* found = FindItemByShortCut(skinned->AttachMenu()->Items(), key))
                return found;
    }
    return nullptr;
}

bool DispatchShortCut(TShortCut key, TMenuItem* root)
{
    if (ShortCutToText(key).empty())
        return false;
    TMenuItem* item = FindItemByShortCut(root, key);
    if (!item)
        return false;
    CloseMenus();
    std::vector<TMenuItem*> parents;
    for (TMenuItem* p = item->Parent(); p && p != root; p = p->Parent())
        parents.insert(parents.begin(), p);
    for (TMenuItem* p : parents) {
        if (!p->Enabled)
            return true;  // abandoned, but the key was ours
        p->Click();
    }
    item->Click();
    return true;
}
