// What accessibility clients see of the skinned menus: the items, the adapter of a submenu like
// the video popup's Subtitles, and the objects the menu windows answer for WM_GETOBJECT.
#include "menus/MenuAccessible.h"
#include "menus/MenuBar2000.h"
#include "menus/MenuUtils.h"
#include "menus/PopupMenu2000Form.h"
#include "tests/support/WineGraph.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <stdexcept>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;
using pvltest::PumpUntil;

namespace {

VARIANT Self()
{
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = CHILDID_SELF;
    return v;
}

std::string Take(BSTR text)
{
    std::string out;
    if (text) {
        const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
        out.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
        WideCharToMultiByte(CP_ACP, 0, text, -1, out.data(), n, nullptr, nullptr);
        SysFreeString(text);
    }
    return out;
}

std::string Name(IAccessible* a)
{
    BSTR text = nullptr;
    EXPECT_EQ(a->get_accName(Self(), &text), S_OK);
    return Take(text);
}

LONG Role(IAccessible* a)
{
    VARIANT v;
    EXPECT_EQ(a->get_accRole(Self(), &v), S_OK);
    return v.vt == VT_I4 ? v.lVal : -1;
}

LONG State(IAccessible* a)
{
    VARIANT v;
    EXPECT_EQ(a->get_accState(Self(), &v), S_OK);
    return v.vt == VT_I4 ? v.lVal : -1;
}

LONG ChildCount(IAccessible* a)
{
    LONG n = -1;
    EXPECT_EQ(a->get_accChildCount(&n), S_OK);
    return n;
}

ComPtr<IAccessible> AsAccessible(IDispatch* d)
{
    ComPtr<IAccessible> a;
    if (d) {
        d->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(a.GetAddressOf()));
        d->Release();
    }
    return a;
}

ComPtr<IAccessible> Child(IAccessible* a, LONG id)
{
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = id;
    IDispatch* d = nullptr;
    EXPECT_EQ(a->get_accChild(v, &d), S_OK);
    return AsAccessible(d);
}

ComPtr<IAccessible> Parent(IAccessible* a)
{
    IDispatch* d = nullptr;
    EXPECT_EQ(a->get_accParent(&d), S_OK);
    return AsAccessible(d);
}

ComPtr<IAccessible> Object(VARIANT v)
{
    return v.vt == VT_DISPATCH ? AsAccessible(v.pdispVal) : nullptr;
}

bool Same(IUnknown* a, IUnknown* b)
{
    if (!a || !b)
        return a == b;
    ComPtr<IUnknown> x, y;
    a->QueryInterface(__uuidof(IUnknown), reinterpret_cast<void**>(x.GetAddressOf()));
    b->QueryInterface(__uuidof(IUnknown), reinterpret_cast<void**>(y.GetAddressOf()));
    return x.Get() == y.Get();
}

RECT Location(IAccessible* a)
{
    LONG l = -1, t = -1, w = -1, h = -1;
    EXPECT_EQ(a->accLocation(&l, &t, &w, &h, Self()), S_OK);
    return RECT{l, t, l + w, t + h};
}

ComPtr<IAccessible> FromWindow(HWND wnd)
{
    ComPtr<IAccessible> a;
    EXPECT_EQ(AccessibleObjectFromWindow(wnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                         reinterpret_cast<void**>(a.GetAddressOf())),
              S_OK);
    return a;
}

class MenuAccessibility : public ::testing::Test {
protected:
    void SetUp() override
    {
        MenuUnitStart();
        UseMenuWindows();
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
        Form = new TForm(nullptr);
        Form->SetBounds(20, 20, 200, 100);
        Form->Show();
        Menu = NewComponent<TPopupMenu2000>(Form);
        Menu->SetAnimatedSkin(NewComponent<TMoney>(Form));
        Menu->Options().SetAnimation(anNone);
        Play = Add(Menu->Items(), "Play/Pause");
        Add(Menu->Items(), "-");
        Subtitles = Add(Menu->Items(), "Subtitles");
        Show = Add(Subtitles, "Show Subtitles");
        Hide = Add(Subtitles, "Hide Subtitles");
        for (TMenuItem2000* item : {Show, Hide}) {
            item->RadioItem = true;
            item->GroupIndex = 1;
        }
        Show->SetChecked(true);
        Add(Subtitles, "-");
        Add(Subtitles, "[NONE AVALIBLE]")->SetEnabled(false);
        Add(Menu->Items(), "-");
        Exit = Add(Menu->Items(), "Exit");
    }
    void TearDown() override
    {
        CloseMenus();
        delete Form;
        SetPopupWindowFactory(nullptr);
    }
    TMenuItem2000* Add(TMenuItem* parent, const std::string& caption)
    {
        auto* item = NewComponent<TMenuItem2000>(Menu);
        item->Caption = caption;
        parent->Add(item);
        return item;
    }
    TPopupMenu2000Form& Window() { return dynamic_cast<TPopupMenu2000Form&>(Menu->GetPopupForm()); }
    // Opens the menu and, from the keyboard, the Subtitles submenu (its first row selected).
    TPopupMenu2000Form* OpenSubtitles()
    {
        Menu->ShowPopup(100, 100);
        EXPECT_TRUE(PumpUntil([this] { return Menu->IsShowing(); }, 2000));
        SendMessageA(Window().HandleOrNull(), WM_AM2000_SELECTROW, 2, 0);
        Window().OpenSubmenu(true);
        EXPECT_TRUE(PumpUntil([this] { return Window().ChildWindow() && Window().ChildWindow()->IsShowing(); }, 2000));
        return Window().ChildWindow();
    }
    pvltest::TComInit Com;  // LresultFromObject marshals through COM
    TForm* Form = nullptr;
    TPopupMenu2000* Menu = nullptr;
    TMenuItem2000 *Play = nullptr, *Subtitles = nullptr, *Show = nullptr, *Hide = nullptr, *Exit = nullptr;
};

}  // namespace

TEST_F(MenuAccessibility, TheSubmenuAdapterAndItsItemsFollowTheOpenWindows)
{
    IAccessible* adapter = Subtitles->Adapter();
    IAccessible* subtitles = Subtitles->Accessible();
    EXPECT_EQ(Name(adapter), "Subtitles - Menu");
    EXPECT_EQ(Role(adapter), ROLE_SYSTEM_MENUPOPUP);
    EXPECT_EQ(State(adapter), STATE_SYSTEM_INVISIBLE);
    EXPECT_EQ(ChildCount(adapter), 4);
    EXPECT_EQ(ChildCount(subtitles), 1);
    EXPECT_TRUE(Same(Child(subtitles, 1).Get(), adapter));
    EXPECT_TRUE(Same(Parent(adapter).Get(), subtitles));
    EXPECT_EQ(State(subtitles), STATE_SYSTEM_HASPOPUP | STATE_SYSTEM_FOCUSABLE);
    EXPECT_EQ(Child(adapter, 0), nullptr);
    EXPECT_EQ(Child(adapter, 5), nullptr);
    const RECT closed = Location(Show->Accessible());
    EXPECT_TRUE(closed.left == 0 && closed.top == 0 && closed.right == 0 && closed.bottom == 0);

    TPopupMenu2000Form* child = OpenSubtitles();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(Role(adapter), ROLE_SYSTEM_WINDOW);
    EXPECT_EQ(State(adapter), 0);
    EXPECT_EQ(State(subtitles), 0x40000084);

    const ComPtr<IAccessible> show = Child(adapter, 1);
    ASSERT_NE(show, nullptr);
    EXPECT_TRUE(Same(show.Get(), Show->Accessible()));
    EXPECT_TRUE(Same(Parent(show.Get()).Get(), adapter));
    EXPECT_EQ(Name(show.Get()), "Show Subtitles");
    EXPECT_EQ(Role(show.Get()), ROLE_SYSTEM_MENUITEM);
    EXPECT_EQ(State(show.Get()), 0x94);  // selected by the keyboard's opening
    SendMessageA(child->HandleOrNull(), WM_AM2000_SELECTROW, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(State(show.Get()), 0x100010);
    const ComPtr<IAccessible> separator = Child(adapter, 3);
    EXPECT_EQ(Role(separator.Get()), ROLE_SYSTEM_SEPARATOR);
    EXPECT_EQ(State(separator.Get()), 0x100001);
    EXPECT_EQ(State(Child(adapter, 4).Get()), 0x100001);  // disabled

    // Where the row is, and what lies there.
    const RECT row = child->RowRect(0);
    const RECT at = Location(show.Get());
    EXPECT_TRUE(EqualRect(&row, &at));
    VARIANT hit;
    EXPECT_EQ(show->accHitTest((row.left + row.right) / 2, (row.top + row.bottom) / 2, &hit), S_OK);
    EXPECT_EQ(hit.vt, VT_I4);
    EXPECT_EQ(show->accHitTest(row.left - 1, row.top, &hit), S_OK);
    EXPECT_EQ(hit.vt, VT_EMPTY);
    VARIANT next;
    EXPECT_EQ(show->accNavigate(NAVDIR_NEXT, Self(), &next), S_OK);
    EXPECT_TRUE(Same(Object(next).Get(), Hide->Accessible()));
    EXPECT_EQ(subtitles->accNavigate(NAVDIR_LASTCHILD, Self(), &next), S_OK);
    EXPECT_EQ(Name(Object(next).Get()), "[NONE AVALIBLE]");

    // An item straight in the popup's root has the menu's own object as its parent.
    EXPECT_TRUE(Same(Parent(Play->Accessible()).Get(), Menu->Accessible()));
    BSTR value = nullptr;
    EXPECT_EQ(show->get_accValue(Self(), &value), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(adapter->get_accValue(Self(), &value), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(show->put_accName(Self(), nullptr), DISP_E_MEMBERNOTFOUND);

    CloseMenus();
    EXPECT_EQ(Role(adapter), ROLE_SYSTEM_MENUPOPUP);
    EXPECT_EQ(State(subtitles), STATE_SYSTEM_HASPOPUP | STATE_SYSTEM_FOCUSABLE);
}

TEST_F(MenuAccessibility, MenuWindowsAnswerWmGetObjectWithTheirObjects)
{
    TPopupMenu2000Form* child = OpenSubtitles();
    ASSERT_NE(child, nullptr);
    const ComPtr<IAccessible> top = FromWindow(Window().HandleOrNull());
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(Name(top.Get()), "Menu");
    EXPECT_EQ(Role(top.Get()), ROLE_SYSTEM_WINDOW);
    EXPECT_EQ(ChildCount(top.Get()), Window().RowCount() + 1);
    EXPECT_EQ(State(top.Get()), 0);  // Subtitles is selected
    EXPECT_EQ(Name(Child(top.Get(), 1).Get()), "Play/Pause");
    VARIANT focus;
    EXPECT_EQ(top->get_accFocus(&focus), S_OK);
    EXPECT_EQ(Name(Object(focus).Get()), "Subtitles");
    RECT window{};
    GetWindowRect(Window().HandleOrNull(), &window);
    const RECT at = Location(top.Get());
    EXPECT_TRUE(EqualRect(&window, &at));
    const RECT exitRow = Window().RowRect(Window().RowCount() - 1);
    VARIANT hit;
    EXPECT_EQ(top->accHitTest(exitRow.left + 2, exitRow.top + 2, &hit), S_OK);
    EXPECT_EQ(Name(Object(hit).Get()), "Exit");
    EXPECT_EQ(Name(Menu->Accessible()), "Menu");

    const ComPtr<IAccessible> sub = FromWindow(child->HandleOrNull());
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(Name(sub.Get()), "Subtitles - Menu");
    EXPECT_EQ(Role(sub.Get()), ROLE_SYSTEM_WINDOW);
    EXPECT_EQ(ChildCount(sub.Get()), 4);

    SendMessageA(Window().HandleOrNull(), WM_AM2000_SELECTROW, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(State(top.Get()), STATE_SYSTEM_FOCUSABLE);
}

TEST_F(MenuAccessibility, AMenuBarAndItsItemsLeadToEachOther)
{
    auto* bar = NewComponent<TMenuBar2000>(Form);
    bar->SetParent(Form);
    bar->SetMenu(Menu);
    bar->HandleNeeded();
    ComPtr<IAccessible> answered;
    ASSERT_EQ(AccessibleObjectFromWindow(bar->Handle(), static_cast<DWORD>(OBJID_MENU), __uuidof(IAccessible),
                                         reinterpret_cast<void**>(answered.GetAddressOf())),
              S_OK);
    ASSERT_NE(answered, nullptr);
    EXPECT_EQ(Role(answered.Get()), ROLE_SYSTEM_MENUBAR);
    EXPECT_EQ(ChildCount(answered.Get()), 5);
    EXPECT_EQ(Name(Child(answered.Get(), 3).Get()), "Subtitles");

    // Children by the ids of the bar's focus events (position + 1); each item names the bar.
    IAccessible* own = bar->Accessible();
    EXPECT_TRUE(Same(Child(own, 1).Get(), Play->Accessible()));
    EXPECT_TRUE(Same(Child(own, 3).Get(), Subtitles->Accessible()));
    EXPECT_EQ(Child(own, 6), nullptr);
    EXPECT_TRUE(Same(Parent(Subtitles->Accessible()).Get(), own));
    EXPECT_TRUE(Same(Parent(Play->Accessible()).Get(), own));
    VARIANT end;
    EXPECT_EQ(own->accNavigate(NAVDIR_LASTCHILD, Self(), &end), S_OK);
    EXPECT_TRUE(Same(Object(end).Get(), Exit->Accessible()));
    EXPECT_EQ(State(own), STATE_SYSTEM_FOCUSABLE);
    EXPECT_EQ(State(Subtitles->Accessible()), STATE_SYSTEM_HASPOPUP | STATE_SYSTEM_FOCUSABLE);
    // An item's place is its rectangle on the bar.
    RECT item = bar->ItemRects()[2].Rect;
    MapWindowPoints(bar->Handle(), nullptr, reinterpret_cast<POINT*>(&item), 2);
    const RECT at = Location(Subtitles->Accessible());
    EXPECT_TRUE(EqualRect(&item, &at));
    VARIANT hit;
    EXPECT_EQ(own->accHitTest(item.left + 2, item.top + 2, &hit), S_OK);
    EXPECT_TRUE(Same(Object(hit).Get(), Subtitles->Accessible()));

    // Open, the item is focused, and its drop-down answers the item's submenu.
    bar->SelectIndex(2, Subtitles);
    bar->PushHotItem(false);
    ASSERT_TRUE(PumpUntil([bar] { return bar->DropDown().IsShowing(); }, 2000));
    EXPECT_EQ(State(Subtitles->Accessible()), 0x40000084);
    EXPECT_EQ(State(own), 0);
    VARIANT focus;
    EXPECT_EQ(own->get_accFocus(&focus), S_OK);
    EXPECT_TRUE(Same(Object(focus).Get(), Subtitles->Accessible()));
    auto* drop = dynamic_cast<TPopupMenu2000Form*>(bar->DropDown().PopupForm());
    ASSERT_NE(drop, nullptr);
    const ComPtr<IAccessible> submenu = FromWindow(drop->HandleOrNull());
    ASSERT_NE(submenu, nullptr);
    EXPECT_EQ(Name(submenu.Get()), "Subtitles - Menu");
    EXPECT_EQ(ChildCount(submenu.Get()), 4);
    EXPECT_TRUE(Same(Parent(Subtitles->Adapter()).Get(), Subtitles->Accessible()));
    CloseMenus();
    EXPECT_EQ(State(Subtitles->Accessible()), STATE_SYSTEM_HASPOPUP | STATE_SYSTEM_FOCUSABLE);

    // Without the bar the items belong to the popup's own object again.
    bar->SetMenu(nullptr);
    EXPECT_EQ(ChildCount(own), 0);
    EXPECT_TRUE(Same(Parent(Play->Accessible()).Get(), Menu->Accessible()));
}

TEST_F(MenuAccessibility, NamesShortcutsRolesHintsAndActions)
{
    struct Case {
        const char* Caption;
        const char* Name;
        const char* Shortcut;
        LONG Role;
    };
    for (const Case& c : {Case{"&Open", "Open", "o", ROLE_SYSTEM_MENUITEM}, Case{"A&&B", "A&B", "", ROLE_SYSTEM_MENUITEM},
                          Case{"A&&B &Cut", "A&B Cut", "c", ROLE_SYSTEM_MENUITEM}, Case{"End&", "End", "", ROLE_SYSTEM_MENUITEM},
                          Case{"=Title", "=Title", "", ROLE_SYSTEM_SEPARATOR}, Case{".", ".", "", ROLE_SYSTEM_SEPARATOR},
                          Case{":x", ":x", "", ROLE_SYSTEM_SEPARATOR}, Case{" x", " x", "", ROLE_SYSTEM_SEPARATOR}}) {
        SCOPED_TRACE(c.Caption);
        Play->SetCaption(c.Caption);
        IAccessible* a = Play->Accessible();
        EXPECT_EQ(Name(a), c.Name);
        BSTR text = nullptr;
        EXPECT_EQ(a->get_accKeyboardShortcut(Self(), &text), S_OK);
        EXPECT_EQ(Take(text), c.Shortcut);
        EXPECT_EQ(Role(a), c.Role);
    }
    Play->SetCaption("Play/Pause");
    for (auto [control, role] : {std::pair{ctlEditbox, 42}, std::pair{ctlButton, 43}, std::pair{ctlButtonArray, 20}}) {
        Play->SetControl(control);
        EXPECT_EQ(Role(Play->Accessible()), role);
    }

    // Exit takes the standard-command table's hint.
    BSTR text = nullptr;
    EXPECT_EQ(Exit->Accessible()->get_accDescription(Self(), &text), S_OK);
    EXPECT_EQ(Take(text), "Closes this program after prompting you to save all unsaved files");
    EXPECT_EQ(Exit->Accessible()->get_accHelp(Self(), &text), S_OK);
    EXPECT_EQ(Take(text), "Closes this program after prompting you to save all unsaved files");
    EXPECT_EQ(Exit->Accessible()->get_accDefaultAction(Self(), &text), S_OK);
    EXPECT_EQ(Take(text), "Execute");
    EXPECT_EQ(Subtitles->Accessible()->get_accDefaultAction(Self(), &text), S_OK);
    EXPECT_EQ(Take(text), "Open");

    // An attached menu of three items: one child, and the adapter shared with that menu's root.
    auto* other = NewComponent<TPopupMenu2000>(Form);
    for (const char* caption : {"One", "Two", "Three"})
        other->Items()->AddNew(caption);
    Hide->SetAttachMenu(other);
    EXPECT_EQ(ChildCount(Hide->Accessible()), 1);
    EXPECT_EQ(ChildCount(Hide->Adapter()), 3);
    EXPECT_EQ(Name(Hide->Adapter()), "Hide Subtitles - Menu");
    EXPECT_EQ(other->Items()->Adapter(), Hide->Adapter());
}

TEST_F(MenuAccessibility, ActionsClickAndSelectAndNothingThrowsThrough)
{
    std::vector<std::string> clicks;
    Exit->OnClick = [&](TObject*) { clicks.push_back("Exit"); };
    EXPECT_EQ(Exit->Accessible()->accDoDefaultAction(Self()), S_OK);
    EXPECT_EQ(clicks, std::vector<std::string>{"Exit"});
    Exit->OnClick = [](TObject*) { throw std::runtime_error("boom"); };
    EXPECT_EQ(Exit->Accessible()->accDoDefaultAction(Self()), E_UNEXPECTED);

    // Taking the selection opens the menu and the submenu down to the item.
    EXPECT_EQ(Hide->Accessible()->accSelect(SELFLAG_TAKESELECTION, Self()), S_OK);
    ASSERT_TRUE(PumpUntil([this] { return Window().ChildWindow() && Window().ChildWindow()->IsShowing(); }, 2000));
    EXPECT_EQ(Window().Selection(), 2);
    EXPECT_EQ(Window().ChildWindow()->Selection(), 1);
    EXPECT_EQ(State(Hide->Accessible()), 0x84);

    // An object a client keeps past its item answers that the item is gone.
    ComPtr<IAccessible> kept = Hide->Accessible();
    CloseMenus();
    delete Hide;
    BSTR name = nullptr;
    EXPECT_EQ(kept->get_accName(Self(), &name), RPC_E_DISCONNECTED);
}
