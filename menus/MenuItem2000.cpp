#include "MenuItem2000.h"

#include "MenuBar2000.h"
#include "MenuControls.h"
#include "MenuItemCacheCore.h"
#include "MenuPersistence.h"
#include "PopupMenu2000.h"
#include "PopupMenu2000Form.h"

void T_AM2000_MenuControl::Assign(const TPersistent& source)
{
    const auto* c = dynamic_cast<const T_AM2000_MenuControl*>(&source);
    if (!c)
        return TPersistent::Assign(source);
    FItem = c->FItem;
}

TMenuItem2000::TMenuItem2000(TComponent* owner) : TMenuItem(owner) {}

TMenuItem2000::~TMenuItem2000()
{
    ForgetFloatingLevel(this);
    ForgetMenuItemInBars(this);  // a bar's drop-down may still root at it
    TMenuItem* parent = nullptr;
    if (!InState(csLoading | csDestroying)) {
        parent = Parent();
        if (parent && !parent->InState(csDestroying))
            parent->Remove(this);
        else
            parent = nullptr;
    }
    Destroying();
    ReleaseAccessibility();
    FOptions.reset();
    FControlObject.reset();
    if (FAnimatedSkin)
        FAnimatedSkin->RemoveClient(this);
    if (FAttachMenu && FAttachMenu->AttachedTo == this)
        FAttachMenu->AttachedTo = nullptr;
    Clear();
    if (auto* p = dynamic_cast<TMenuItem2000*>(parent))
        p->Changed(3);
}

void TMenuItem2000::Add(TMenuItem* item)
{
    TMenuItem::Add(item);
    Changed(3);
}

void TMenuItem2000::Insert(int index, TMenuItem* item)
{
    TMenuItem::Insert(index, item);
    Changed(3);
}

void TMenuItem2000::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    ++FUpdateLock;  // the child's own notice would reach us half-removed
    TMenuItem::Delete(index);
    --FUpdateLock;
    Changed(3);
}

void TMenuItem2000::Remove(TMenuItem* item)
{
    TMenuItem::Remove(item);
    Changed(3);
}

TMenuItem2000* TMenuItem2000::AddNew(const std::string& caption, TNotifyEvent onClick)
{
    auto* item = NewComponent<TMenuItem2000>(this);
    item->Caption = caption;
    item->OnClick = std::move(onClick);
    Add(item);
    return item;
}

TMenuItem2000* TMenuItem2000::Items(int index) const { return dynamic_cast<TMenuItem2000*>(TMenuItem::Items(index)); }

TMenuItem2000* TMenuItem2000::GetItemChecked(int index) const
{
    if (index < 0 || index >= Count())
        throw EMenuError("Menu not found");
    return Items(index);
}

void TMenuItem2000::SetCaption(const std::string& value)
{
    Caption = value;
    Changed(3);
}

void TMenuItem2000::SetEnabled(bool value)
{
    Enabled = value;
    Changed(3);
}

void TMenuItem2000::SetVisible(bool value)
{
    Visible = value;
    Changed(3);
}

void TMenuItem2000::SetChecked(bool value)
{
    TMenuItem::SetChecked(value);  // the other radio items of the group go off
    Changed(0);
}

void TMenuItem2000::SetImageIndex(int value)
{
    ImageIndex = value;
    Changed(3);
}

void TMenuItem2000::SetBitmap(const TBitmap& value)
{
    Bitmap.Assign(value);
    Changed(3);
}

void TMenuItem2000::SetDefaultIndex(int value)
{
    FDefaultIndex = value;
    Changed(3);
}

void TMenuItem2000::SetShortCut(const std::string& value)
{
    ShortCut = 0;
    if (InState(csLoading))
        FShortCutText = value.empty() ? "\x01" : value;
    else
        FShortCutText = CanonicalShortCutList(value);
    Changed(3);
}

std::string TMenuItem2000::GetShortCut() const
{
    if (ShortCut != 0)
        return ShortCutToText(ShortCut);
    std::string text = FShortCutText;
    if (text.empty() && !InState(csWriting))
        if (const auto* row = MenuItemCache().FindItem(GetCaption()))
            text = row->ShortCut;
    return text == "\x01" ? std::string() : text;
}

bool TMenuItem2000::ShortCutStored() const
{
    const auto* row = MenuItemCache().FindItem(GetCaption());
    return !FShortCutText.empty() && !(row && row->ShortCut == FShortCutText);
}

void TMenuItem2000::SetHint(const std::string& value)
{
    Hint = value.empty() && MenuItemCache().Contains(GetCaption()) ? "\x01" : value;
    Changed(4);
}

std::string TMenuItem2000::GetHint() const
{
    std::string text = Hint;
    if (text.empty() && !InState(csWriting))
        if (const auto* row = MenuItemCache().FindItem(GetCaption()))
            text = row->Hint;
    return text == "\x01" ? std::string() : text;
}

bool TMenuItem2000::HintStored() const
{
    const auto* row = MenuItemCache().FindItem(GetCaption());
    return !Hint.empty() && !(row && row->Hint == Hint);
}

void TMenuItem2000::SetHidden(bool value)
{
    if (!InState(csLoading | csReading | csDestroying))
        LastTimeUsed = MenuUsageClock();
    if (value == FHidden)
        return;
    FHidden = value;
    Changed(3);
}

bool TMenuItem2000::GetHidden() const
{
    if (Demotable && DemotionEnabled && !Designing() && MenuUsageClock() - LastTimeUsed > DemotionPeriod)
        return true;
    return FHidden;
}

void TMenuItem2000::SetControl(T_AM2000_MenuControlType value)
{
    if (value == FControl && FControlObject)
        return;
    if (FControlObject && FControlObject->Busy) {
        FControlObject->FreeWhenDone = true;
        FControlObject.release();  // it frees itself when it leaves its handler
    }
    FControl = value;
    FControlObject = MakeMenuControl(value, this);
    Changed(3);
}

T_AM2000_MenuControl& TMenuItem2000::ControlOptions()
{
    if (!FControlObject)
        FControlObject = MakeMenuControl(FControl, this);
    return *FControlObject;
}

T_AM2000_MenuControl& TMenuItem2000::AsButtonArray()
{
    if (FControl != ctlButtonArray)
        throw EMenuError(Name + ": This is not a Button Array control");
    return ControlOptions();
}

T_AM2000_ButtonControl& TMenuItem2000::AsButton()
{
    if (FControl != ctlButton)
        throw EMenuError(Name + ": This is not a Button control");
    return static_cast<T_AM2000_ButtonControl&>(ControlOptions());
}

T_AM2000_EditControl& TMenuItem2000::AsEditbox()
{
    if (FControl != ctlEditbox)
        throw EMenuError(Name + ": This is not an Editbox control");
    return static_cast<T_AM2000_EditControl&>(ControlOptions());
}

T_AM2000_ItemOptions& TMenuItem2000::Options()
{
    if (!FOptions)
        FOptions = std::make_unique<T_AM2000_ItemOptions>(static_cast<IOptionsOwner*>(this));
    return *FOptions;
}

void TMenuItem2000::SetOptions(const T_AM2000_ItemOptions* value)
{
    if (!value)
        FOptions.reset();
    else
        Options().Assign(*value);
    Changed(3);
}

void TMenuItem2000::SetAnimatedSkin(TCustomAnimatedSkin2000* value)
{
    if (value == FAnimatedSkin)
        return;
    if (FAnimatedSkin)
        FAnimatedSkin->RemoveClient(this);
    FAnimatedSkin = value;
    if (value) {
        value->AddClient(this);
        ApplySkin(*value);
    }
}

void TMenuItem2000::ApplySkin(TCustomAnimatedSkin2000& skin)
{
    BeginMenuUpdate();
    skin.AssignTo(Options());
    EndMenuUpdate();
    Changed(3);
}

void TMenuItem2000::SkinFreed(TCustomAnimatedSkin2000& skin)
{
    if (FAnimatedSkin == &skin)
        FAnimatedSkin = nullptr;
}

void TMenuItem2000::SetAttachMenu(TCustomPopupMenu2000* value)
{
    if (FAttachMenu)
        FAttachMenu->AttachedTo = nullptr;
    FAttachMenu = value;
    if (value)
        value->AttachedTo = this;
    Changed(3);
}

void TMenuItem2000::Notification(TComponent* component, bool removing)
{
    TMenuItem::Notification(component, removing);
    if (!removing)
        return;
    if (component == FAttachMenu)
        FAttachMenu = nullptr;
    if (component == PopupMenu)
        PopupMenu = nullptr;
    if (component == FAnimatedSkin)
        SetAnimatedSkin(nullptr);
}

void TMenuItem2000::Click()
{
    if (FControlObject)
        FControlObject->Click();
    if (GetEnabled() && AutoCheck)
        SetChecked(!GetChecked());
    TMenuItem::Click();
    LastTimeUsed = MenuUsageClock();
    StoreMenuItem(this);
}

void TMenuItem2000::InitiateAction()
{
    TMenuItem::InitiateAction();
    for (int i = 0; i < Count(); ++i) {
        TMenuItem* child = TMenuItem::Items(i);
        const auto* skinned = dynamic_cast<const TMenuItem2000*>(child);
        if (skinned ? skinned->GetVisible() : child->Visible)
            child->InitiateAction();
    }
}

std::unique_ptr<TMenuActionLink> TMenuItem2000::CreateActionLink()
{
    return std::make_unique<T_AM2000_MenuActionLink>(this);
}

void TMenuItem2000::SetAction(TBasicAction* value)
{
    TMenuItem::SetAction(value);
    Changed(3);
}

void T_AM2000_MenuActionLink::Notice(int kind)
{
    if (auto* item = dynamic_cast<TMenuItem2000*>(FClient))
        item->Changed(kind);
}

void T_AM2000_MenuActionLink::SetCaption(const std::string& value) { TMenuActionLink::SetCaption(value); Notice(3); }
void T_AM2000_MenuActionLink::SetEnabled(bool value) { TMenuActionLink::SetEnabled(value); Notice(3); }
void T_AM2000_MenuActionLink::SetChecked(bool value) { TMenuActionLink::SetChecked(value); Notice(0); }
void T_AM2000_MenuActionLink::SetHint(const std::string& value) { TMenuActionLink::SetHint(value); Notice(4); }
void T_AM2000_MenuActionLink::SetImageIndex(int value) { TMenuActionLink::SetImageIndex(value); Notice(3); }
void T_AM2000_MenuActionLink::SetVisible(bool value) { TMenuActionLink::SetVisible(value); Notice(3); }

TCustomPopupMenu2000* TMenuItem2000::OwningMenu() const
{
    const TMenuItem* root = this;
    while (root->Parent())
        root = root->Parent();
    return dynamic_cast<TCustomPopupMenu2000*>(root->Owner());
}

void TMenuItem2000::Changed(int kind)
{
    if (FUpdateLock > 0 || InState(csLoading | csReading | csDestroying))
        return;
    ++FUpdateLock;
    try {
        TCustomPopupMenu2000* menu = OwningMenu();
        IPopupMenuWindow* window = menu ? menu->PopupForm() : nullptr;
        if (window && menu->IsShowing()) {
            TMenuItem* root = nullptr;
            HMENU handle = nullptr;
            menu->GetRootMenu(root, handle);
            if (root == this || Parent() == root)
                window->ItemChanged(this, kind);
        }
        if (kind == 3 && menu)
            menu->RefreshIfShowing();
        NoticeFloatingWindows(this, kind);
    } catch (...) {
        --FUpdateLock;
        throw;
    }
    --FUpdateLock;
}

void TMenuItem2000::Assign(const TPersistent& source)
{
    const auto* item = dynamic_cast<const TMenuItem*>(&source);
    if (!item)
        return TMenuItem::Assign(source);
    const auto* from = dynamic_cast<const TMenuItem2000*>(item);
    Caption = from ? from->GetCaption() : item->Caption;
    Enabled = item->Enabled;
    Default = item->Default;
    Checked = item->Checked;
    Visible = item->Visible;
    Hint = item->Hint;
    OnClick = item->OnClick;
    ImageIndex = item->ImageIndex;
    Bitmap.Assign(item->Bitmap);
    SubMenuImages = item->SubMenuImages;
    if (TBasicAction* action = item->Action())
        TMenuItem::SetAction(action);
    if (from) {
        if (from->FControl != FControl)
            SetControl(from->FControl);
        if (from->FControl != ctlNone && from->FControlObject)
            ControlOptions().Assign(*from->FControlObject);
        Demotable = from->Demotable;
        FHidden = from->FHidden;
        PopupMenu = from->PopupMenu;
        FDefaultIndex = from->FDefaultIndex;
        FAttachMenu = from->FAttachMenu;
        if (from->HasOwnOptions())
            Options().Assign(*from->FOptions);
        FShortCutText = from->FShortCutText;
        ShortCut = from->ShortCut;
        NumGlyphs = from->NumGlyphs;
        Origin = from->Origin ? from->Origin : const_cast<TMenuItem2000*>(from);
    } else {
        ShortCut = 0;
        FShortCutText = item->ShortCut ? ShortCutToText(item->ShortCut) : item->ShortCutText;
    }
    for (int i = 0; i < item->Count(); ++i) {
        auto* child = NewComponent<TMenuItem2000>(Owner());
        child->Assign(*item->Items(i));
        TMenuItem::Add(child);
    }
    Changed(3);
}

namespace {

TMenuItem2000* MakeItem(TComponent* owner, const std::string& caption, bool checked, bool enabled,
                        TNotifyEvent onClick, int helpContext, const std::string& name)
{
    auto* item = NewComponent<TMenuItem2000>(owner);
    item->Caption = caption;
    item->Checked = checked;
    item->Enabled = enabled;
    item->OnClick = std::move(onClick);
    item->HelpContext = helpContext;
    item->Name = name;
    return item;
}

}  // namespace

TMenuItem2000* NewItem2000(TComponent* owner, const std::string& caption, TShortCut shortCut, bool checked,
                           bool enabled, TNotifyEvent onClick, int helpContext, const std::string& name)
{
    auto* item = MakeItem(owner, caption, checked, enabled, std::move(onClick), helpContext, name);
    if (shortCut != 0)
        item->SetShortCut(ShortCutToText(shortCut));
    return item;
}

TMenuItem2000* NewItem2000Direct(TComponent* owner, const std::string& caption, TShortCut shortCut, bool checked,
                                 bool enabled, TNotifyEvent onClick, int helpContext, const std::string& name)
{
    auto* item = MakeItem(owner, caption, checked, enabled, std::move(onClick), helpContext, name);
    item->ShortCut = shortCut;
    return item;
}
