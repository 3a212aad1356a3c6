#include "MenuAccessible.h"

#include "MenuBar2000.h"
#include "MenuHooks.h"
#include "MenuUtils.h"
#include "MenuUtilsCore.h"
#include "PopupMenu2000Form.h"
#include "framework/ComGuard.h"

#include <cctype>
#include <new>
#include <string>
#include <utility>

namespace {

BSTR Text(const std::string& text)
{
    if (text.empty())
        return nullptr;  // a null string is the empty answer
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    BSTR out = SysAllocStringLen(nullptr, static_cast<UINT>(n));
    if (!out)
        throw std::bad_alloc();
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out, n);
    return out;
}

void SetChild(VARIANT* v, LONG id)
{
    v->vt = VT_I4;
    v->lVal = id;
}

void SetObject(VARIANT* v, IAccessible* object)
{
    if (!object)
        return;
    object->AddRef();
    v->vt = VT_DISPATCH;
    v->pdispVal = object;
}

HRESULT GiveObject(IDispatch** out, IAccessible* object)
{
    if (object)
        object->AddRef();
    *out = object;
    return S_OK;
}

IAccessible* ObjectOf(TMenuItem* item)
{
    auto* skinned = dynamic_cast<TMenuItem2000*>(item);
    return skinned ? skinned->Accessible() : nullptr;
}

// The items an item's submenu shows: the attached menu's when there is one.
TMenuItem* SubmenuRoot(TMenuItem2000* item)
{
    return item->AttachMenu() ? item->AttachMenu()->Items() : item;
}

int RowOf(TPopupMenu2000Form* window, const TMenuItem* item)
{
    for (int row = 0; row < window->RowCount(); ++row)
        if (window->ItemAtRow(row) == item)
            return row;
    return -1;
}

// A window's place on the screen; zeros while it has no window.
HRESULT WindowLocation(const TWinControl& control, LONG* left, LONG* top, LONG* width, LONG* height)
{
    RECT r{};
    if (control.HandleAllocated())
        GetWindowRect(control.HandleOrNull(), &r);
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
}

// The menu bar that shows the item among its own, or none.
TMenuBar2000* BarShowing(TMenuItem* item)
{
    for (int k = 0; k < MenuBarCount(); ++k)
        if (TMenuBar2000* bar = MenuBarAt(k); bar->HandleAllocated() && bar->IndexOf(item) >= 0)
            return bar;
    return nullptr;
}

// A bar item's rectangle on the screen; none while the bar does not lay it out.
bool BarItemRect(TMenuBar2000* bar, TMenuItem* item, RECT& r)
{
    for (const TBarItemRect& record : bar->ItemRects())
        if (record.Item == item) {
            r = record.Rect;
            MapWindowPoints(bar->HandleOrNull(), nullptr, reinterpret_cast<POINT*>(&r), 2);
            return true;
        }
    return false;
}

// The item's rectangle in the window or bar that shows it, or none.
bool ItemRect(TMenuItem2000* item, RECT& r)
{
    if (TMenuBar2000* bar = BarShowing(item))
        return BarItemRect(bar, item, r);
    TPopupMenu2000Form* window = OpenWindowShowing(item->Parent());
    const int row = window ? RowOf(window, item) : -1;
    if (row < 0 || !window->HandleAllocated())
        return false;
    return SendMessageA(window->HandleOrNull(), WM_AM2000_ROWRECT, static_cast<WPARAM>(row),
                        reinterpret_cast<LPARAM>(&r)) != 0;
}

// Opens the item's menu when it is not showing, then selects the item level by level, opening
// the submenus on the way. An item under a bar's item is selected through the bar.
void SelectFromOutside(TMenuItem2000* item)
{
    if (TMenuBar2000* bar = BarShowing(TopLevelAncestor(item))) {
        bar->SelectItem(item);
        return;
    }
    TCustomPopupMenu2000* menu = item->OwningMenu();
    if (!menu)
        return;
    if (!menu->IsShowing()) {
        POINT origin{};
        if (auto* control = dynamic_cast<TWinControl*>(menu->Owner()); control && control->HandleAllocated())
            ClientToScreen(control->HandleOrNull(), &origin);
        menu->ShowPopup(origin.x, origin.y);
    }
    if (auto* window = dynamic_cast<TPopupMenu2000Form*>(menu->PopupForm()))
        window->SelectDownTo(item);
}

}  // namespace

TPopupMenu2000Form* OpenWindowShowing(const TMenuItem* root)
{
    TCustomPopupMenu2000* menu = CurrentPopupMenu();
    auto* window = menu ? dynamic_cast<TPopupMenu2000Form*>(menu->PopupForm()) : nullptr;
    for (; window && root; window = window->ChildWindow())
        if (window->Root() == root && window->IsShowing())
            return window;
    return nullptr;
}

// ---- IUnknown, IDispatch and the guarded entry points ----

HRESULT TMenuAccessibleBase::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG TMenuAccessibleBase::AddRef() { return ++FRefs; }

ULONG TMenuAccessibleBase::Release()
{
    const ULONG left = --FRefs;
    if (left == 0)
        delete this;
    return left;
}

HRESULT TMenuAccessibleBase::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

namespace {

template <class F>
HRESULT Guarded(bool connected, F&& body) noexcept
{
    return connected ? ComGuarded(std::forward<F>(body)) : RPC_E_DISCONNECTED;
}

template <class... P>
bool AnyNull(P*... p)
{
    return ((p == nullptr) || ...);
}

}  // namespace

HRESULT TMenuAccessibleBase::get_accParent(IDispatch** parent)
{
    if (AnyNull(parent))
        return E_POINTER;
    *parent = nullptr;
    return Guarded(Connected(), [&] { return Parent(parent); });
}

HRESULT TMenuAccessibleBase::get_accChildCount(LONG* count)
{
    if (AnyNull(count))
        return E_POINTER;
    *count = 0;
    return Guarded(Connected(), [&] { return ChildCount(count); });
}

HRESULT TMenuAccessibleBase::get_accChild(VARIANT child, IDispatch** object)
{
    if (AnyNull(object))
        return E_POINTER;
    *object = nullptr;
    return Guarded(Connected(), [&] { return Child(child.vt == VT_I4 ? child.lVal : 0, object); });
}

HRESULT TMenuAccessibleBase::get_accName(VARIANT, BSTR* name)
{
    if (AnyNull(name))
        return E_POINTER;
    *name = nullptr;
    return Guarded(Connected(), [&] { return Name(name); });
}

HRESULT TMenuAccessibleBase::get_accValue(VARIANT, BSTR* value)
{
    if (AnyNull(value))
        return E_POINTER;
    *value = nullptr;
    return Guarded(Connected(), [&] { return Value(value); });
}

HRESULT TMenuAccessibleBase::get_accDescription(VARIANT, BSTR* description)
{
    if (AnyNull(description))
        return E_POINTER;
    *description = nullptr;
    return Guarded(Connected(), [&] { return Description(description); });
}

HRESULT TMenuAccessibleBase::get_accRole(VARIANT, VARIANT* role)
{
    if (AnyNull(role))
        return E_POINTER;
    VariantInit(role);
    return Guarded(Connected(), [&] {
        LONG value = 0;
        const HRESULT hr = Role(&value);
        if (hr == S_OK)
            SetChild(role, value);
        return hr;
    });
}

HRESULT TMenuAccessibleBase::get_accState(VARIANT, VARIANT* state)
{
    if (AnyNull(state))
        return E_POINTER;
    VariantInit(state);
    return Guarded(Connected(), [&] {
        LONG value = 0;
        const HRESULT hr = State(&value);
        if (hr == S_OK)
            SetChild(state, value);
        return hr;
    });
}

HRESULT TMenuAccessibleBase::get_accHelp(VARIANT, BSTR* help)
{
    if (AnyNull(help))
        return E_POINTER;
    *help = nullptr;
    return Guarded(Connected(), [&] { return Help(help); });
}

HRESULT TMenuAccessibleBase::get_accHelpTopic(BSTR* file, VARIANT, LONG* topic)
{
    if (AnyNull(file, topic))
        return E_POINTER;
    *file = nullptr;
    *topic = 0;
    return Guarded(Connected(), [&] { return HelpTopic(file, topic); });
}

HRESULT TMenuAccessibleBase::get_accKeyboardShortcut(VARIANT, BSTR* shortcut)
{
    if (AnyNull(shortcut))
        return E_POINTER;
    *shortcut = nullptr;
    return Guarded(Connected(), [&] { return KeyboardShortcut(shortcut); });
}

HRESULT TMenuAccessibleBase::get_accFocus(VARIANT* child)
{
    if (AnyNull(child))
        return E_POINTER;
    VariantInit(child);
    return Guarded(Connected(), [&] { return Focus(child); });
}

HRESULT TMenuAccessibleBase::get_accSelection(VARIANT* children)
{
    if (AnyNull(children))
        return E_POINTER;
    VariantInit(children);
    return Guarded(Connected(), [&] { return Selection(children); });
}

HRESULT TMenuAccessibleBase::get_accDefaultAction(VARIANT, BSTR* action)
{
    if (AnyNull(action))
        return E_POINTER;
    *action = nullptr;
    return Guarded(Connected(), [&] { return DefaultAction(action); });
}

HRESULT TMenuAccessibleBase::accSelect(LONG flags, VARIANT)
{
    return Guarded(Connected(), [&] { return Select(flags); });
}

HRESULT TMenuAccessibleBase::accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT)
{
    if (AnyNull(left, top, width, height))
        return E_POINTER;
    return Guarded(Connected(), [&] { return Location(left, top, width, height); });
}

HRESULT TMenuAccessibleBase::accNavigate(LONG direction, VARIANT, VARIANT* end)
{
    if (AnyNull(end))
        return E_POINTER;
    VariantInit(end);
    return Guarded(Connected(), [&] { return Navigate(direction, end); });
}

HRESULT TMenuAccessibleBase::accHitTest(LONG x, LONG y, VARIANT* child)
{
    if (AnyNull(child))
        return E_POINTER;
    VariantInit(child);
    return Guarded(Connected(), [&] { return HitTest(x, y, child); });
}

HRESULT TMenuAccessibleBase::accDoDefaultAction(VARIANT)
{
    return Guarded(Connected(), [&] { return DoDefaultAction(); });
}

HRESULT TMenuAccessibleBase::put_accName(VARIANT, BSTR) { return Guarded(Connected(), [&] { return SetName(); }); }

HRESULT TMenuAccessibleBase::put_accValue(VARIANT, BSTR) { return Guarded(Connected(), [&] { return SetValue(); }); }

// ---- An item ----

namespace {

bool HasSubItems(TMenuItem2000* item) { return SubmenuRoot(item)->Count() > 0; }

// The character after the first single "&", lower-cased; none when it is the last.
std::string ShortcutKey(const std::string& caption)
{
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (i + 1 >= caption.size())
            return {};
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i + 1]))));
    }
    return {};
}

}  // namespace

HRESULT TMenuItemAccessible::Parent(IDispatch** parent)
{
    TMenuItem* up = FItem->Parent();
    if (!up)
        return S_OK;
    if (TMenuBar2000* bar = BarShowing(FItem))
        return GiveObject(parent, bar->Accessible());
    if (!up->Parent())
        if (auto* menu = dynamic_cast<TCustomPopupMenu2000*>(up->Owner()))
            return GiveObject(parent, menu->Accessible());
    auto* skinned = dynamic_cast<TMenuItem2000*>(up);
    return GiveObject(parent, skinned ? skinned->Adapter() : nullptr);
}

HRESULT TMenuItemAccessible::ChildCount(LONG* count)
{
    *count = HasSubItems(FItem) ? 1 : 0;
    return S_OK;
}

HRESULT TMenuItemAccessible::Child(LONG, IDispatch** object)
{
    return GiveObject(object, HasSubItems(FItem) ? FItem->Adapter() : nullptr);
}

HRESULT TMenuItemAccessible::Name(BSTR* name)
{
    *name = Text(StripAccelerators(FItem->GetCaption()));
    return S_OK;
}

HRESULT TMenuItemAccessible::Description(BSTR* text)
{
    *text = Text(FItem->GetHint());
    return S_OK;
}

HRESULT TMenuItemAccessible::Role(LONG* role)
{
    if (IsSeparatorItem(FItem))
        *role = ROLE_SYSTEM_SEPARATOR;
    else if (FItem->Control() == ctlEditbox)
        *role = ROLE_SYSTEM_TEXT;
    else if (FItem->Control() == ctlButton)
        *role = ROLE_SYSTEM_PUSHBUTTON;
    else if (FItem->Control() == ctlButtonArray)
        *role = ROLE_SYSTEM_GROUPING;
    else
        *role = ROLE_SYSTEM_MENUITEM;
    return S_OK;
}

HRESULT TMenuItemAccessible::State(LONG* state)
{
    LONG s = 0;
    if (!FItem->GetEnabled() || IsSeparatorItem(FItem))
        s |= STATE_SYSTEM_UNAVAILABLE;
    if (FItem->GetChecked())
        s |= STATE_SYSTEM_CHECKED;
    if (FItem->Default)
        s |= STATE_SYSTEM_DEFAULT;
    if (HasSubItems(FItem))
        s |= STATE_SYSTEM_HASPOPUP;
    TPopupMenu2000Form* window = OpenWindowShowing(FItem->Parent());
    TMenuBar2000* bar = BarShowing(FItem);
    const bool selected = bar ? bar->HotItem() == FItem && bar->ItemState() != 0
                              : window && window->HandleAllocated() &&
                                    SendMessageA(window->HandleOrNull(), WM_AM2000_SELECTEDITEM, 0, 0) ==
                                        reinterpret_cast<LRESULT>(static_cast<TMenuItem*>(FItem));
    s |= selected ? STATE_SYSTEM_FOCUSED | STATE_SYSTEM_HOTTRACKED : STATE_SYSTEM_FOCUSABLE;
    *state = s;
    return S_OK;
}

HRESULT TMenuItemAccessible::HelpTopic(BSTR*, LONG* topic)
{
    // The application keeps no help file: only the topic is answered.
    *topic = FItem->HelpContext;
    return S_OK;
}

HRESULT TMenuItemAccessible::KeyboardShortcut(BSTR* text)
{
    *text = Text(ShortcutKey(FItem->GetCaption()));
    return S_OK;
}

HRESULT TMenuItemAccessible::Focus(VARIANT* child)
{
    SetChild(child, CHILDID_SELF);
    return S_OK;
}

HRESULT TMenuItemAccessible::DefaultAction(BSTR* text)
{
    *text = Text(HasSubItems(FItem) ? "Open" : "Execute");
    return S_OK;
}

HRESULT TMenuItemAccessible::Select(LONG flags)
{
    if (flags & SELFLAG_TAKESELECTION)
        SelectFromOutside(FItem);
    return S_OK;
}

HRESULT TMenuItemAccessible::Location(LONG* left, LONG* top, LONG* width, LONG* height)
{
    RECT r{};
    if (!ItemRect(FItem, r))
        r = RECT{};
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
}

HRESULT TMenuItemAccessible::Navigate(LONG direction, VARIANT* end)
{
    TMenuItem* target = nullptr;
    TMenuItem* parent = FItem->Parent();
    const int index = parent ? FItem->MenuIndex() : -1;
    switch (direction) {
    case NAVDIR_NEXT:
    case NAVDIR_DOWN:
        if (parent && index + 1 < parent->Count())
            target = parent->Items(index + 1);
        break;
    case NAVDIR_PREVIOUS:
    case NAVDIR_UP:
        if (parent && index > 0)
            target = parent->Items(index - 1);
        break;
    case NAVDIR_FIRSTCHILD:
    case NAVDIR_LASTCHILD: {
        TMenuItem* root = SubmenuRoot(FItem);
        if (root->Count() > 0)
            target = root->Items(direction == NAVDIR_FIRSTCHILD ? 0 : root->Count() - 1);
        break;
    }
    default: break;
    }
    SetObject(end, ObjectOf(target));
    return S_OK;
}

HRESULT TMenuItemAccessible::HitTest(LONG x, LONG y, VARIANT* child)
{
    RECT r{};
    if (ItemRect(FItem, r) && PtInRect(&r, POINT{x, y}))
        SetChild(child, CHILDID_SELF);
    return S_OK;
}

HRESULT TMenuItemAccessible::DoDefaultAction()
{
    FItem->Click();
    return S_OK;
}

// ---- A submenu ----

HRESULT T_AM2000_PopupMenuAdapter::Parent(IDispatch** parent) { return GiveObject(parent, FItem->Accessible()); }

HRESULT T_AM2000_PopupMenuAdapter::ChildCount(LONG* count)
{
    *count = SubmenuRoot(FItem)->Count();
    return S_OK;
}

HRESULT T_AM2000_PopupMenuAdapter::Child(LONG id, IDispatch** object)
{
    TMenuItem* root = SubmenuRoot(FItem);
    return GiveObject(object, id >= 1 && id <= root->Count() ? ObjectOf(root->Items(id - 1)) : nullptr);
}

HRESULT T_AM2000_PopupMenuAdapter::Name(BSTR* name)
{
    *name = Text(StripAccelerators(FItem->GetCaption()) + " - Menu");
    return S_OK;
}

HRESULT T_AM2000_PopupMenuAdapter::Role(LONG* role)
{
    *role = OpenWindowShowing(SubmenuRoot(FItem)) ? ROLE_SYSTEM_WINDOW : ROLE_SYSTEM_MENUPOPUP;
    return S_OK;
}

HRESULT T_AM2000_PopupMenuAdapter::State(LONG* state)
{
    *state = OpenWindowShowing(SubmenuRoot(FItem)) ? 0 : STATE_SYSTEM_INVISIBLE;
    return S_OK;
}

HRESULT T_AM2000_PopupMenuAdapter::HelpTopic(BSTR*, LONG* topic)
{
    *topic = FItem->HelpContext;
    return S_OK;
}

HRESULT T_AM2000_PopupMenuAdapter::Navigate(LONG, VARIANT* end)
{
    SetChild(end, CHILDID_SELF);
    return S_OK;
}

// ---- A top-level window ----

HRESULT TMenuWindowAccessible::Parent(IDispatch** parent)
{
    if (TPopupMenu2000Form* up = FWindow->ParentWindow())
        return GiveObject(parent, ObjectOf(up->ItemAtRow(FWindow->ParentRow())));
    auto* root = dynamic_cast<TMenuItem2000*>(FWindow->Root());
    return GiveObject(parent, root ? root->Adapter() : nullptr);
}

HRESULT TMenuWindowAccessible::ChildCount(LONG* count)
{
    *count = FWindow->RowCount() + 1;
    return S_OK;
}

HRESULT TMenuWindowAccessible::Child(LONG id, IDispatch** object)
{
    return GiveObject(object, ObjectOf(FWindow->ItemAtRow(id - 1)));
}

HRESULT TMenuWindowAccessible::Name(BSTR* name)
{
    *name = Text("Menu");
    return S_OK;
}

HRESULT TMenuWindowAccessible::Role(LONG* role)
{
    *role = ROLE_SYSTEM_WINDOW;
    return S_OK;
}

HRESULT TMenuWindowAccessible::State(LONG* state)
{
    *state = FWindow->Selection() >= 0 ? 0 : STATE_SYSTEM_FOCUSABLE;
    return S_OK;
}

HRESULT TMenuWindowAccessible::Focus(VARIANT* child)
{
    SetObject(child, ObjectOf(FWindow->ItemAtRow(FWindow->Selection())));
    return S_OK;
}

HRESULT TMenuWindowAccessible::Location(LONG* left, LONG* top, LONG* width, LONG* height)
{
    return WindowLocation(*FWindow, left, top, width, height);
}

HRESULT TMenuWindowAccessible::HitTest(LONG x, LONG y, VARIANT* child)
{
    for (int row = 0; row < FWindow->RowCount(); ++row) {
        const RECT r = FWindow->RowRect(row);
        if (PtInRect(&r, POINT{x, y})) {
            SetObject(child, ObjectOf(FWindow->ItemAtRow(row)));
            break;
        }
    }
    return S_OK;
}

// ---- A menu bar ----

HRESULT TMenuBarAccessible::Parent(IDispatch** parent)
{
    // Above the bar stands the standard object of its window.
    if (!FBar->HandleAllocated())
        return S_OK;
    IAccessible* window = nullptr;
    if (SUCCEEDED(CreateStdAccessibleObject(FBar->HandleOrNull(), OBJID_WINDOW, __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&window))))
        *parent = window;
    return S_OK;
}

HRESULT TMenuBarAccessible::ChildCount(LONG* count)
{
    *count = FBar->GetItemCount();
    return S_OK;
}

HRESULT TMenuBarAccessible::Child(LONG id, IDispatch** object)
{
    return GiveObject(object, ObjectOf(FBar->GetItem(id - 1)));
}

HRESULT TMenuBarAccessible::Role(LONG* role)
{
    *role = ROLE_SYSTEM_MENUBAR;
    return S_OK;
}

HRESULT TMenuBarAccessible::State(LONG* state)
{
    *state = FBar->HotItem() && FBar->ItemState() != 0 ? 0 : STATE_SYSTEM_FOCUSABLE;
    return S_OK;
}

HRESULT TMenuBarAccessible::Focus(VARIANT* child)
{
    if (FBar->ItemState() != 0)
        SetObject(child, ObjectOf(FBar->HotItem()));
    return S_OK;
}

HRESULT TMenuBarAccessible::Location(LONG* left, LONG* top, LONG* width, LONG* height)
{
    return WindowLocation(*FBar, left, top, width, height);
}

HRESULT TMenuBarAccessible::Navigate(LONG direction, VARIANT* end)
{
    const int count = FBar->GetItemCount();
    if (count > 0 && (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD))
        SetObject(end, ObjectOf(FBar->GetItem(direction == NAVDIR_FIRSTCHILD ? 0 : count - 1)));
    return S_OK;
}

HRESULT TMenuBarAccessible::HitTest(LONG x, LONG y, VARIANT* child)
{
    if (!FBar->HandleAllocated())
        return S_OK;
    POINT p{x, y};
    ScreenToClient(FBar->HandleOrNull(), &p);
    const RECT client = FBar->ClientRect();
    if (TMenuItem* item = FBar->HitTest(TPoint(p)))
        SetObject(child, ObjectOf(item));
    else if (PtInRect(&client, p))
        SetChild(child, CHILDID_SELF);
    return S_OK;
}

// ---- The owners' side ----

IAccessible* TMenuItem2000::Accessible()
{
    if (!FAccessible)
        FAccessible = new TMenuItemAccessible(this);
    return FAccessible;
}

T_AM2000_PopupMenuAdapter* TMenuItem2000::Adapter()
{
    if (!FAdapter) {
        FAdapter = new T_AM2000_PopupMenuAdapter(this);
        if (FAttachMenu)
            if (TMenuItem2000* root = FAttachMenu->Items(); root && root != this) {
                root->ReleaseAccessibilityAdapter();
                FAdapter->AddRef();
                root->FAdapter = FAdapter;
            }
    }
    return FAdapter;
}

void TMenuItem2000::ReleaseAccessibilityAdapter()
{
    if (!FAdapter)
        return;
    if (FAdapter->Item() == this)
        FAdapter->Disconnect();
    FAdapter->Release();
    FAdapter = nullptr;
}

void TMenuItem2000::ReleaseAccessibility()
{
    ReleaseAccessibilityAdapter();
    if (FAccessible) {
        FAccessible->Disconnect();
        FAccessible->Release();
        FAccessible = nullptr;
    }
}

IAccessible* TPopupMenu2000Form::AccessibleObject()
{
    if (!FOwnAccessible)
        FOwnAccessible = new TMenuWindowAccessible(this);
    return FOwnAccessible;
}

IAccessible* TPopupMenu2000Form::AnsweredObject()
{
    if (FAccessible)
        return static_cast<IAccessible*>(FAccessible);
    if (FParentWindow)
        if (auto* item = dynamic_cast<TMenuItem2000*>(FParentWindow->ItemAtRow(FParentRow)))
            return item->Adapter();
    return AccessibleObject();
}

void DisconnectWindowAccessible(IAccessible* object)
{
    static_cast<TMenuWindowAccessible*>(object)->Disconnect();
    object->Release();
}

IAccessible* TMenuBar2000::Accessible()
{
    if (!FAccessible)
        FAccessible = new TMenuBarAccessible(this);
    return FAccessible;
}

void TMenuBar2000::ReleaseAccessible()
{
    if (FAccessible) {
        static_cast<TMenuBarAccessible*>(FAccessible)->Disconnect();
        FAccessible->Release();
        FAccessible = nullptr;
    }
}
