// A menu bar with the real menu windows: its keys through the family's hooks (SendInput), the
// raised item above its drop-down, a submenu's raised parent row, and hidden items that show
// while the pointer rests on the bar.
#include "framework/Forms.h"
#include "menus/DropShadow.h"
#include "menus/MenuBar2000.h"
#include "menus/MenuUtils.h"
#include "menus/PopupMenu2000Form.h"
#include "menus/RaisedItemForm.h"
#include "tests/menus/BarTestParts.h"
#include "tests/menus/InputParts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using C = T_AM2000_Colors;

std::string ClassOf(HWND wnd)
{
    char name[64] = {};
    GetClassNameA(wnd, name, sizeof name);
    return name;
}

RECT WindowRect(HWND wnd)
{
    RECT r{};
    GetWindowRect(wnd, &r);
    return r;
}

// Whether `lower` lies somewhere below `upper` in the z-order.
bool Below(HWND lower, HWND upper)
{
    for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == lower)
            return true;
    return false;
}

COLORREF PixelOf(HWND wnd, int x, int y)
{
    const HDC dc = GetDC(wnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(wnd, dc);
    return c;
}

std::vector<std::pair<DWORD, LONG>> BarEvents;
HWND EventBar = nullptr;

void CALLBACK RecordBarEvent(HWINEVENTHOOK, DWORD event, HWND wnd, LONG object, LONG child, DWORD, DWORD)
{
    if (object == OBJID_MENU && wnd == EventBar)
        BarEvents.push_back({event, child});
}

constexpr TColor FrameColor = 0x0000FF, MenuColor = 0x00C000, SelectedColor = 0xFF0000;

void UseRaisedColors(T_AM2000_MenuOptions& options, T_AM2000_Flag flag)
{
    options.SetAnimation(anNone);
    options.SetFlags(options.Flags() | FlagBit(flag));
    options.Colors().Set(C::Frame, FrameColor);
    options.Colors().Set(C::Menu, MenuColor);
    options.Colors().Set(C::Highlight, SelectedColor);
}

class LiveBar : public ::testing::Test {
protected:
    void SetUp() override
    {
        MenuUnitStart();
        UseMenuWindows();
        SetMenuSoundPlayer([](const std::string&) {});
        Form = App.CreateForm<TForm>();
        Form->SetBounds(100, 100, 400, 200);
        Menu = NewComponent<TPopupMenu2000>(Form);
        Menu->Options().SetAnimation(anNone);
        File = Add(Menu->Items(), "&File");
        Add(File, "Open");
        Add(File, "Close");
        Edit = Add(Menu->Items(), "&Edit");
        Add(Edit, "Copy");
        View = Add(Menu->Items(), "&View");
        Add(View, "Zoom");
        Bar = NewBar();
        Form->Show();
        SetForegroundWindow(Form->Handle());
        ASSERT_TRUE(PumpUntil([this] { return App.Active(); })) << "the test form never became active";
    }
    void TearDown() override
    {
        CloseMenus();
        PumpMenuMessages();
        SetPopupWindowFactory(nullptr);
        SetMenuSoundPlayer(nullptr);
    }

    TMenuBar2000* NewBar()
    {
        auto* bar = NewComponent<TMenuBar2000>(Form);
        bar->SetParent(Form);
        bar->SetMenu(Menu);
        bar->HandleNeeded();
        return bar;
    }
    TMenuItem2000* Add(TMenuItem* parent, const std::string& caption) { return AddItem(Form, parent, caption); }
    LPARAM Centre(int index) const { return ItemCentre(*Bar, index); }
    void Click(int index) { SendMessageA(Bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Centre(index)); }
    TPopupMenu2000Form* DropWindow() { return dynamic_cast<TPopupMenu2000Form*>(Bar->DropDown().PopupForm()); }
    bool DropShowing() { return Bar->DropDown().IsShowing(); }
    TRect ScreenHotRect()
    {
        POINT corner{Bar->HotRect().left, Bar->HotRect().top};
        ClientToScreen(Bar->Handle(), &corner);
        return TRect(corner.x, corner.y, corner.x + Bar->HotRect().Width(), corner.y + Bar->HotRect().Height());
    }

    TApplication App;
    TForm* Form = nullptr;
    TPopupMenu2000* Menu = nullptr;
    TMenuItem2000 *File = nullptr, *Edit = nullptr, *View = nullptr;
    TMenuBar2000* Bar = nullptr;
};

}  // namespace

TEST_F(LiveBar, AltAndF10EnterBarModeWhereArrowsEnterAndEscWork)
{
    Tap(VK_MENU);
    ASSERT_TRUE(PumpUntil([this] { return Bar->ItemState() == 3; })) << "Alt alone enters bar mode";
    EXPECT_TRUE(Bar->KeyboardCues());
    EXPECT_EQ(File, Bar->HotItem());
    Tap(VK_RIGHT);
    EXPECT_EQ(Edit, Bar->HotItem());
    EXPECT_FALSE(DropShowing());  // moving in bar mode opens nothing
    Tap(VK_LEFT);
    Tap(VK_LEFT);  // wraps round to the last item
    EXPECT_EQ(View, Bar->HotItem());
    EXPECT_EQ(2, Bar->HotIndex());

    Tap(VK_RETURN);
    ASSERT_TRUE(PumpUntil([this] { return DropShowing(); }));
    EXPECT_EQ(View, Bar->DropDown().RootItem);
    EXPECT_EQ(0, DropWindow()->Selection());  // opened by key: its first row selected
    // Right on a row without a submenu is passed on: the next item's drop-down, wrapping.
    Tap(VK_RIGHT);
    ASSERT_TRUE(PumpUntil([this] { return DropShowing() && Bar->DropDown().RootItem == File; }));
    EXPECT_EQ(File, Bar->HotItem());
    EXPECT_EQ(0, DropWindow()->Selection());
    Tap(VK_ESCAPE);
    ASSERT_TRUE(PumpUntil([this] { return !DropShowing() && Bar->ItemState() == 0; }));
    EXPECT_FALSE(Bar->KeyboardCues());

    Tap(VK_F10);
    ASSERT_TRUE(PumpUntil([this] { return Bar->ItemState() == 3; })) << "F10 enters bar mode";
    Tap(VK_DOWN);
    ASSERT_TRUE(PumpUntil([this] { return DropShowing(); }));
    Tap(VK_ESCAPE);
    ASSERT_TRUE(PumpUntil([this] { return Bar->ItemState() == 0; }));
    Tap(VK_F10);
    ASSERT_TRUE(PumpUntil([this] { return Bar->ItemState() == 3; }));
    Tap(VK_F10);  // and leaves it again
    ASSERT_TRUE(PumpUntil([this] { return Bar->ItemState() == 0; }));
    Tap(VK_MENU);
    ASSERT_TRUE(PumpUntil([this] { return Bar->ItemState() == 3; }));
    Tap(VK_ESCAPE);
    EXPECT_TRUE(PumpUntil([this] { return Bar->ItemState() == 0; }));
}

TEST_F(LiveBar, AltInAnOpenDropDownClosesItAndLeavesNoMenuMode)
{
    Click(0);
    ASSERT_TRUE(PumpUntil([this] { return DropShowing(); }));
    Tap(VK_MENU);
    ASSERT_TRUE(PumpUntil([this] { return !DropShowing(); }));
    EXPECT_EQ(0, Bar->ItemState());  // its release does not enter bar mode again
    // Nothing holds the keys: F10 reaches the bar.
    Tap(VK_F10);
    ASSERT_TRUE(PumpUntil([this] { return Bar->ItemState() == 3; }));
    Tap(VK_ESCAPE);
    ASSERT_TRUE(PumpUntil([this] { return Bar->ItemState() == 0; }));
    // F10 closes a drop-down too; the next Alt of its own is a new press and enters bar mode.
    Click(0);
    ASSERT_TRUE(PumpUntil([this] { return DropShowing(); }));
    Tap(VK_F10);
    ASSERT_TRUE(PumpUntil([this] { return !DropShowing(); }));
    Tap(VK_MENU);
    EXPECT_TRUE(PumpUntil([this] { return Bar->ItemState() == 3; }));
}

TEST_F(LiveBar, AcceleratorsOpenTheirItem)
{
    // Alt with an item's accelerator, from outside bar mode.
    Press(VK_MENU);
    Tap('E');
    Press(VK_MENU, true);
    ASSERT_TRUE(PumpUntil([this] { return DropShowing(); }));
    EXPECT_EQ(Edit, Bar->DropDown().RootItem);
    EXPECT_TRUE(Bar->KeyboardCues());
    Tap(VK_ESCAPE);
    ASSERT_TRUE(PumpUntil([this] { return Bar->ItemState() == 0; }));

    // The accelerator alone in bar mode; a key that names no item leaves bar mode as it was.
    Tap(VK_F10);
    ASSERT_TRUE(PumpUntil([this] { return Bar->ItemState() == 3; }));
    Tap('Q');
    EXPECT_FALSE(DropShowing());
    EXPECT_EQ(3, Bar->ItemState());
    Tap('V');
    ASSERT_TRUE(PumpUntil([this] { return DropShowing(); }));
    EXPECT_EQ(View, Bar->DropDown().RootItem);
}

TEST_F(LiveBar, TheRaisedItemJoinsItsDropDownOnTheSideItOpensTo)
{
    UseRaisedColors(Menu->Options(), mfRaiseMenuBarItem);
    Bar->UpdateBar();
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    struct TCase {
        int FormTop;
        bool Vertical;
        TOpenSides Sides;
    } const cases[] = {
        {100, false, {false, false, false, true}},                 // the drop-down below: bottom open
        {screenHeight - 70, false, {false, true, false, false}},  // no room below: it opens upwards
        {100, true, {false, false, true, false}},                  // beside a vertical bar, to the right
    };
    for (const TCase& c : cases) {
        Form->SetBounds(100, c.FormTop, 400, c.Vertical ? 200 : 60);
        Bar->Orientation = c.Vertical ? 1 : 0;
        Bar->Rebuild(true);
        PumpMenuMessages();
        Click(0);
        ASSERT_TRUE(PumpUntil([this] { return DropShowing(); })) << c.FormTop;
        T_AM2000_RaisedItemForm* raised = Bar->RaisedItem();
        ASSERT_NE(nullptr, raised);
        ASSERT_TRUE(raised->Showing());
        const HWND wnd = raised->HandleOrNull();
        EXPECT_EQ("T_AM2000_RaisedItemForm", ClassOf(wnd));
        EXPECT_EQ(File, raised->Item());
        const TRect hot = ScreenHotRect();
        EXPECT_EQ(TRect(hot.left - 1, hot.top - 1, hot.right + 1, hot.bottom + 1), TRect(WindowRect(wnd)));
        EXPECT_EQ(c.Sides, raised->OpenSides()) << c.FormTop;
        EXPECT_EQ(nullptr, raised->DropShadow());  // shadows off, the system's setting not followed
        EXPECT_TRUE(Below(DropWindow()->HandleOrNull(), wnd));
        // Closed sides in the frame colour, open ones in the menu's, the item on the selected colour.
        UpdateWindow(wnd);
        const int w = hot.Width() + 2, h = hot.Height() + 2;
        EXPECT_EQ(c.Sides.Top ? MenuColor : FrameColor, static_cast<TColor>(PixelOf(wnd, w / 2, 0)));
        EXPECT_EQ(c.Sides.Bottom ? MenuColor : FrameColor, static_cast<TColor>(PixelOf(wnd, w / 2, h - 1)));
        EXPECT_EQ(FrameColor, static_cast<TColor>(PixelOf(wnd, 0, h / 2)));
        EXPECT_EQ(c.Sides.Right ? MenuColor : FrameColor, static_cast<TColor>(PixelOf(wnd, w - 1, h / 2)));
        EXPECT_EQ(SelectedColor, static_cast<TColor>(PixelOf(wnd, 2, 2)));

        // Moving to another item raises that one instead.
        SendMessageA(Bar->Handle(), WM_MOUSEMOVE, 0, Centre(1));
        ASSERT_TRUE(PumpUntil([this] { return DropShowing() && Bar->DropDown().RootItem == Edit; }));
        EXPECT_EQ(Edit, raised->Item());
        EXPECT_EQ(ScreenHotRect().left - 1, WindowRect(wnd).left);
        EXPECT_EQ(ScreenHotRect().top - 1, WindowRect(wnd).top);
        // A press on the raised item closes its drop-down and the bar's item.
        SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        ASSERT_TRUE(PumpUntil([this] { return !DropShowing(); }));
        EXPECT_EQ(0, Bar->ItemState());
        EXPECT_FALSE(raised->Showing());
    }
}

TEST_F(LiveBar, ARaisedItemCastsAShadowWhenShadowsAreOn)
{
    UseRaisedColors(Menu->Options(), mfRaiseMenuBarItem);
    Menu->Options().SetFlags(Menu->Options().Flags() | FlagBit(mfDropShadow));
    Bar->UpdateBar();
    Click(0);
    ASSERT_TRUE(PumpUntil([this] { return DropShowing(); }));
    ASSERT_NE(nullptr, Bar->RaisedItem());
    ASSERT_NE(nullptr, Bar->RaisedItem()->DropShadow());
    EXPECT_TRUE(IsWindowVisible(Bar->RaisedItem()->DropShadow()->Vertical()));
    CloseMenus();
    EXPECT_FALSE(Bar->RaisedItem()->Showing());
    EXPECT_FALSE(IsWindowVisible(Bar->RaisedItem()->DropShadow()->Vertical()));
}

TEST_F(LiveBar, ASubmenusParentRowIsRaisedBesideIt)
{
    Add(Add(File, "More"), "Deeper");
    struct TCase {
        T_AM2000_Flag Flag;
        bool Raised;
    } const cases[] = {{mfRaiseSubMenuItem, true}, {mfRaiseMenuBarItem, false}};
    for (const TCase& c : cases) {
        Menu->Options().SetFlags(0);
        UseRaisedColors(Menu->Options(), c.Flag);
        Bar->UpdateBar();
        Click(0);
        ASSERT_TRUE(PumpUntil([this] { return DropShowing(); }));
        TPopupMenu2000Form* top = DropWindow();
        const HWND topWnd = top->HandleOrNull();
        PostMessageA(topWnd, WM_AM2000_SELECTROW, 2, 0);
        PostMessageA(topWnd, WM_KEYDOWN, VK_RIGHT, 0);
        ASSERT_TRUE(PumpUntil([top] { return top->ChildWindow() && top->ChildWindow()->IsShowing(); })) << c.Flag;
        T_AM2000_RaisedItemForm* raised = top->RaisedItem();
        if (!c.Raised) {
            EXPECT_TRUE(!raised || !raised->Showing()) << "a bar's flag raises no submenu row";
            CloseMenus();
            continue;
        }
        ASSERT_TRUE(raised && raised->Showing());
        const HWND wnd = raised->HandleOrNull();
        const RECT row = top->RowRect(2);
        const RECT at = WindowRect(top->HandleOrNull());
        // The row from 2 pixels in to 4 before the right edge, widened by the 1-pixel frame.
        EXPECT_EQ(TRect(at.left + 1, row.top - 1, at.right - 3, row.bottom + 1), TRect(WindowRect(wnd)));
        EXPECT_EQ((TOpenSides{true, false, true, true}), raised->OpenSides());
        // The submenu lies right below the raised row.
        EXPECT_EQ(top->ChildWindow()->HandleOrNull(), GetWindow(wnd, GW_HWNDNEXT));
        UpdateWindow(wnd);
        const RECT r = WindowRect(wnd);
        EXPECT_EQ(FrameColor, static_cast<TColor>(PixelOf(wnd, (r.right - r.left) / 2, 0)));
        EXPECT_EQ(MenuColor, static_cast<TColor>(PixelOf(wnd, 0, (r.bottom - r.top) / 2)));
        // Left in the submenu closes it and lowers the row again.
        PostMessageA(top->ChildWindow()->HandleOrNull(), WM_KEYDOWN, VK_LEFT, 0);
        ASSERT_TRUE(PumpUntil([top] { return !top->ChildWindow() || !top->ChildWindow()->IsShowing(); }));
        EXPECT_FALSE(raised->Showing());
        EXPECT_TRUE(DropShowing());
        CloseMenus();
    }
}

namespace {

enum TMenuSide { sdTop, sdLeft, sdRight };

// The menu window's frame is drawn in the menu's colour where the raised item meets its side,
// through the frame's whole depth (as far as the item does not cover it), and closed further along.
void ExpectFrameOpenWhereTheItemMeets(HWND menu, HWND raised, TMenuSide side)
{
    UpdateWindow(menu);
    const RECT m = WindowRect(menu), r = WindowRect(raised);
    const int w = m.right - m.left, h = m.bottom - m.top;
    // The pixel `depth` pixels in from the side, `along` it (client coordinates).
    const auto at = [&](TMenuSide s, int along, int depth) {
        const COLORREF c = s == sdTop ? PixelOf(menu, along, depth)
                           : s == sdLeft ? PixelOf(menu, depth, along)
                                         : PixelOf(menu, w - 1 - depth, along);
        return static_cast<TColor>(c);
    };
    // The frame's depth, read across another side, down to the menu's or a selected row's colour.
    const TMenuSide other = side == sdTop ? sdLeft : sdTop;
    const int middleOfOther = other == sdTop ? w / 2 : h / 2;
    int depth = 0;
    while (depth < 12 && at(other, middleOfOther, depth) != MenuColor && at(other, middleOfOther, depth) != SelectedColor)
        ++depth;
    ASSERT_TRUE(depth > 0 && depth < 12) << depth;
    const int middle = side == sdTop ? (r.left + r.right) / 2 - m.left : (r.top + r.bottom) / 2 - m.top;
    const int covered = side == sdTop ? r.bottom - m.top : side == sdLeft ? r.right - m.left : m.right - r.left;
    ASSERT_LT(covered, depth) << "the item hides the whole frame";
    for (int d = std::max(covered, 0); d < depth; ++d)
        EXPECT_EQ(MenuColor, at(side, middle, d)) << "open at depth " << d;
    const int beyond = side == sdTop ? r.right - m.left + 2 : r.bottom - m.top + 2;
    EXPECT_NE(MenuColor, at(side, beyond, depth - 1)) << "closed beyond the item";
}

}  // namespace

TEST_F(LiveBar, TheMenusFrameStaysOpenWhereTheRaisedItemMeetsIt)
{
    Add(Add(File, "More"), "Deeper");
    const struct {
        const char* Name;
        T_AM2000_Flag Flag;
        bool Vertical, Submenu;
        TMenuSide Side;
    } cases[] = {
        {"below a bar item", mfRaiseMenuBarItem, false, false, sdTop},
        {"beside a vertical bar's item, to its left", mfRaiseMenuBarItem, true, false, sdRight},
        {"beside a submenu's parent row", mfRaiseSubMenuItem, false, true, sdLeft},
    };
    for (const auto& c : cases) {
        Menu->Options().SetFlags(0);
        UseRaisedColors(Menu->Options(), c.Flag);
        Menu->Options().Colors().Set(C::Gutter, clNone);
        // A bevel inside the border, so that the frame is deeper than the raised item's overlap.
        Menu->Options().Margins().Set(T_AM2000_Margins::Bevel, 1);
        Menu->Options().Margins().Set(T_AM2000_Margins::Border, 2);
        // A vertical bar's drop-down opens towards the left: room for it there.
        Form->SetBounds(c.Vertical ? 400 : 100, 100, 400, c.Vertical ? 200 : 60);
        Bar->Orientation = c.Vertical ? 1 : 0;
        Bar->UpdateBar();
        PumpMenuMessages();
        Click(0);
        ASSERT_TRUE(PumpUntil([this] { return DropShowing(); })) << c.Name;
        TPopupMenu2000Form* menu = DropWindow();
        T_AM2000_RaisedItemForm* raised = Bar->RaisedItem();
        if (c.Submenu) {
            PostMessageA(menu->HandleOrNull(), WM_AM2000_SELECTROW, 2, 0);
            PostMessageA(menu->HandleOrNull(), WM_KEYDOWN, VK_RIGHT, 0);
            TPopupMenu2000Form* top = menu;
            ASSERT_TRUE(PumpUntil([top] { return top->ChildWindow() && top->ChildWindow()->IsShowing(); }));
            raised = top->RaisedItem();
            menu = top->ChildWindow();
        }
        ASSERT_TRUE(raised && raised->Showing()) << c.Name;
        SCOPED_TRACE(c.Name);
        ExpectFrameOpenWhereTheItemMeets(menu->HandleOrNull(), raised->HandleOrNull(), c.Side);
        CloseMenus();
        PumpMenuMessages();
    }
}

TEST_F(LiveBar, HiddenItemsShowAfterTwoSecondsWhileThePointerRestsOnTheBar)
{
    Add(File, "Secret")->SetHidden(true);
    struct TCase {
        bool NoAutoShow;
        bool Shown;
    } const cases[] = {{false, true}, {true, false}};
    for (const TCase& c : cases) {
        Menu->Options().SetFlags(c.NoAutoShow ? FlagBit(mfNoAutoShowHidden) : 0);
        Bar->UpdateBar();
        POINT p{(Bar->ItemRects()[0].Rect.left + Bar->ItemRects()[0].Rect.right) / 2, 3};
        ClientToScreen(Bar->Handle(), &p);
        SetCursorPos(p.x, p.y);
        Click(0);
        ASSERT_TRUE(PumpUntil([this] { return DropShowing(); }));
        TPopupMenu2000Form* window = DropWindow();
        EXPECT_FALSE(window->State(TPopupMenu2000Form::wsHiddenShown));
        EXPECT_FALSE(PumpUntil([window] { return window->State(TPopupMenu2000Form::wsHiddenShown); }, 1500))
            << "not before two seconds";
        EXPECT_EQ(c.Shown, PumpUntil([window] { return window->State(TPopupMenu2000Form::wsHiddenShown); }, 2500))
            << c.NoAutoShow;
        CloseMenus();
    }
    // Opened expanded: the hidden items show at once.
    Bar->SelectIndex(0, File);
    Bar->PushHotItem(false);
    ASSERT_TRUE(PumpUntil([this] { return DropShowing(); }));
    EXPECT_FALSE(DropWindow()->State(TPopupMenu2000Form::wsHiddenShown));
    CloseMenus();
    Bar->SelectIndex(0, File);
    Bar->OpenDropDown(true, false);
    ASSERT_TRUE(PumpUntil([this] { return DropShowing(); }));
    EXPECT_TRUE(DropWindow()->State(TPopupMenu2000Form::wsHiddenShown));
}

TEST_F(LiveBar, AccessibilityClientsHearTheHotItemChange)
{
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);  // no real move on the bar
    PumpUntil([] { return false; }, 50);
    EventBar = Bar->Handle();
    BarEvents.clear();
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, RecordBarEvent, GetCurrentProcessId(), 0,
                                               WINEVENT_OUTOFCONTEXT);
    SendMessageA(Bar->Handle(), WM_MOUSEMOVE, 0, Centre(1));
    PumpUntil([] { return BarEvents.size() >= 3; }, 2000);
    UnhookWinEvent(hook);
    const std::vector<std::pair<DWORD, LONG>> expected = {
        {EVENT_OBJECT_STATECHANGE, 1}, {EVENT_OBJECT_FOCUS, 2}, {EVENT_OBJECT_STATECHANGE, 2}};
    EXPECT_EQ(expected, BarEvents);
}

TEST_F(LiveBar, LosingTheActivationClosesTheOpenItem)
{
    Click(1);
    ASSERT_TRUE(PumpUntil([this] { return DropShowing(); }));
    SendMessageA(Bar->Handle(), 0x508, 1, 0);  // activated: nothing changes
    EXPECT_EQ(2, Bar->ItemState());
    SendMessageA(Bar->Handle(), 0x508, 0, 0);
    EXPECT_EQ(0, Bar->ItemState());
    // 0x507 with wParam 2 (activation or focus in an MDI frame) re-reads the items.
    Add(Menu->Items(), "&Help");
    EXPECT_EQ(3u, Bar->ItemRects().size());
    PostMessageA(Bar->Handle(), 0x507, 2, 0);
    EXPECT_TRUE(PumpUntil([this] { return Bar->ItemRects().size() == 4; }));
}

TEST_F(LiveBar, AVerticalBarsDropDownOpensBesideTheBarNeverOverIt)
{
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    struct TCase {
        int FormLeft;
        bool Leftwards;  // room on the left: it ends at the item's left edge
    } const cases[] = {{0, false}, {screenWidth - 200, true}};
    for (const TCase& c : cases) {
        Form->SetBounds(c.FormLeft, 100, 200, 200);
        Bar->Orientation = 1;
        Bar->Rebuild(true);
        PumpMenuMessages();
        Click(0);
        ASSERT_TRUE(PumpUntil([this] { return DropShowing(); })) << c.FormLeft;
        const TRect drop(WindowRect(DropWindow()->HandleOrNull()));
        const TRect hot = ScreenHotRect(), bar(WindowRect(Bar->Handle()));
        EXPECT_TRUE(drop.right <= bar.left || drop.left >= bar.right)
            << c.FormLeft << ": drop-down " << drop.left << ".." << drop.right << ", bar " << bar.left << ".." << bar.right;
        EXPECT_EQ(c.Leftwards ? hot.left : hot.right, c.Leftwards ? drop.right : drop.left) << c.FormLeft;
        EXPECT_EQ(hot.top, drop.top) << c.FormLeft;
        CloseMenus();
        PumpMenuMessages();
    }
}
