// The menu window under real input: hover with delayed submenus, keys, commands and the
// selection fade. The menu shows through the component's non-modal path; keys are posted to
// the menu window, as the family's hooks hand them on.
#include "menus/DragWindow.h"
#include "menus/MenuBar2000.h"
#include "menus/MenuPersistence.h"
#include "menus/MenuUtils.h"
#include "menus/PopupMenu2000Form.h"
#include "framework/ListView.h"
#include "tests/menus/InputParts.h"
#include "tests/menus/SpiSetting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

bool WaitFor(const std::function<bool()>& done, DWORD ms)
{
    const DWORD end = GetTickCount() + ms;
    for (;;) {
        PumpMenuMessages();
        if (done())
            return true;
        if (static_cast<long>(end - GetTickCount()) <= 0)
            return false;
        Sleep(1);
    }
}

// What is left of ms since start (none when it has passed).
DWORD Remaining(DWORD start, DWORD ms)
{
    const DWORD spent = GetTickCount() - start;
    return spent < ms ? ms - spent : 0;
}

std::vector<std::pair<DWORD, std::pair<HWND, LONG>>> WinEvents;

void CALLBACK RecordWinEvent(HWINEVENTHOOK, DWORD event, HWND wnd, LONG object, LONG child, DWORD, DWORD)
{
    if (object == OBJID_MENU)
        WinEvents.push_back({event, {wnd, child}});
}

class MenuInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        MenuUnitStart();
        UseMenuWindows();
        SetMenuSoundPlayer([this](const std::string& name) { Log.push_back("sound " + name); });
        SetMenuBeeper([this] { Log.push_back("beep"); });
        Form = new TForm(nullptr);
        Form->SetBounds(20, 20, 200, 100);
        Form->Show();
        Menu = NewComponent<TPopupMenu2000>(Form);
        Menu->Options().SetAnimation(anNone);
        Menu->SystemSelectionFade = false;
        Menu->OnMenuCommand = [this](TObject*) { Log.push_back("command"); };
        Play = Add(Menu->Items(), "&Play");
        Add(Menu->Items(), "Stop");
        Sub = Add(Menu->Items(), "Sub&menu");
        Add(Sub, "Alpha");
        Add(Sub, "Beta");
        Add(Menu->Items(), "-");
        Check = Add(Menu->Items(), "Check");
        Check->AutoCheck = true;
        Second = Add(Menu->Items(), "Second");
        Add(Second, "Gamma");
        Add(Menu->Items(), "E&xit");
        WinEvents.clear();
        Hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, RecordWinEvent, GetCurrentProcessId(), 0,
                               WINEVENT_OUTOFCONTEXT);
    }
    void TearDown() override
    {
        if (Hook)
            UnhookWinEvent(Hook);
        CloseMenus();
        // The pointer goes where no later test opens a menu.
        MoveTo(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
        delete Form;
        SetMenuSoundPlayer(nullptr);
        SetMenuBeeper(nullptr);
        SetMenuFadeObserver(nullptr);
        SetPopupWindowFactory(nullptr);
    }
    TMenuItem2000* Add(TMenuItem* parent, const std::string& caption)
    {
        auto* item = NewComponent<TMenuItem2000>(Menu);
        item->Caption = caption;
        item->OnClick = [this, item](TObject*) {
            Log.push_back("click " + item->Caption + (Menu->IsShowing() ? " open" : " closed"));
        };
        parent->Add(item);
        return item;
    }
    TPopupMenu2000Form& Window() { return dynamic_cast<TPopupMenu2000Form&>(Menu->GetPopupForm()); }
    TPopupMenu2000Form* Child() { return Window().ChildWindow(); }
    bool ChildOpen() { return Child() && Child()->IsShowing(); }
    HWND Open()
    {
        MoveTo(10, 10);
        Menu->ShowPopup(100, 100);
        WaitFor([this] { return Menu->IsShowing(); }, 1000);
        return Window().HandleOrNull();
    }
    POINT RowCentre(TPopupMenu2000Form& w, int row)
    {
        const RECT r = w.RowRect(row);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // Moves the pointer onto a row (dx right of its centre) and waits until the row is selected.
    bool Hover(TPopupMenu2000Form& w, int row, int dx = 0)
    {
        const POINT p = RowCentre(w, row);
        MoveTo(p.x + dx, p.y);
        return WaitFor([&] { return w.Selection() == row; }, 1000);
    }
    void Key(HWND wnd, WPARAM key, UINT msg = WM_KEYDOWN)
    {
        PostMessageA(wnd, msg, key, 0);
        WaitFor([] { return false; }, 5);
    }
    int Events(DWORD event, HWND wnd)
    {
        WaitFor([] { return false; }, 10);
        int n = 0;
        for (const auto& [e, where] : WinEvents)
            n += e == event && where.first == wnd;
        return n;
    }
    TForm* Form = nullptr;
    TPopupMenu2000* Menu = nullptr;
    TMenuItem2000 *Play = nullptr, *Sub = nullptr, *Check = nullptr, *Second = nullptr;
    std::vector<std::string> Log;
    HWINEVENTHOOK Hook = nullptr;
};

}  // namespace

TEST_F(MenuInput, HoverOpensASubmenuAfterItsDelayAndAPlainRowClosesIt)
{
    Open();
    MoveTo(RowCentre(Window(), 1).x, RowCentre(Window(), 1).y);
    ASSERT_TRUE(WaitFor([this] { return Window().Selection() == 1; }, 1000));
    // A move of one pixel out of the last handled place changes nothing.
    const RECT stop = Window().RowRect(1);
    MoveTo(stop.left + 20, stop.bottom - 1);
    ASSERT_TRUE(WaitFor([this] { return Window().Selection() == 1; }, 1000));
    MoveTo(stop.left + 20, stop.bottom);
    EXPECT_EQ(Window().Selection(), 1);

    const POINT sub = RowCentre(Window(), 2);
    MoveTo(sub.x, sub.y);
    const DWORD reached = GetTickCount();
    ASSERT_TRUE(WaitFor([this] { return Window().Selection() == 2; }, 1000));
    // Not open 180 ms after the pointer came, open by 700 ms.
    const bool opened = WaitFor([this] { return ChildOpen(); }, Remaining(reached, 700));
    const DWORD openedAfter = GetTickCount() - reached;
    EXPECT_TRUE(opened);
    EXPECT_GE(openedAfter, 180u);
    // Its first row lines up with the row that opened it.
    EXPECT_EQ(Child()->RowRect(0).top, Window().RowRect(2).top);

    // Into the submenu: the parent's row stays selected, even after it strayed.
    SendMessageA(Window().HandleOrNull(), WM_AM2000_SELECTROW, 0, 0);
    const POINT alpha = RowCentre(*Child(), 1);
    MoveTo(alpha.x, alpha.y);
    EXPECT_TRUE(WaitFor([this] { return Child()->Selection() == 1 && Window().Selection() == 2; }, 1000));

    // A plain row closes the submenu 250 ms later.
    const POINT play = RowCentre(Window(), 0);
    MoveTo(play.x, play.y);
    EXPECT_TRUE(ChildOpen());
    EXPECT_TRUE(WaitFor([this] { return !ChildOpen(); }, 1000));
    EXPECT_TRUE(Menu->IsShowing());
}

TEST_F(MenuInput, LeavingTheWindowDropsAPlainRowButKeepsASubmenuRow)
{
    std::vector<std::string> events;
    Play->OnEnter = [&](TObject*) { events.push_back("enter"); };
    Play->OnExit = [&](TObject*) { events.push_back("exit"); };
    Play->OnMouseMove = [&](TObject*, TShiftState, int x, int y) {
        events.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    };
    Open();
    const RECT play = Window().RowRect(0);
    MoveTo(play.left + 10, play.top + 5);
    ASSERT_TRUE(WaitFor([this] { return Window().Selection() == 0; }, 1000));
    MoveTo(play.left + 30, play.top + 5);
    MoveTo(play.left - 30, (play.top + play.bottom) / 2);
    EXPECT_TRUE(WaitFor([this] { return Window().Selection() == -1; }, 1000));
    // Enter, moves relative to the row (the platform may add steps on the way), exit.
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(events[0], "enter");
    EXPECT_EQ(events[1], "move 10,5");
    EXPECT_EQ(events.back(), "exit");
    const RECT sub = Window().RowRect(2);
    MoveTo(sub.left + 10, (sub.top + sub.bottom) / 2);
    ASSERT_TRUE(WaitFor([this] { return Window().Selection() == 2; }, 1000));
    MoveTo(sub.left - 30, (sub.top + sub.bottom) / 2);
    EXPECT_TRUE(WaitFor([this] { return ChildOpen(); }, 1000));
    EXPECT_EQ(Window().Selection(), 2);
}

TEST_F(MenuInput, LaterSubmenusOfAWindowOpenAsSiblingsWithoutAnimation)
{
    Menu->Options().SetAnimation(anVertSlide);
    Open();
    WaitFor([this] { return !Window().State(TPopupMenu2000Form::wsAnimating); }, 1000);
    MoveTo(RowCentre(Window(), 2).x, RowCentre(Window(), 2).y);
    ASSERT_TRUE(WaitFor([this] { return ChildOpen(); }, 1000));
    EXPECT_FALSE(Child()->State(TPopupMenu2000Form::wsSibling));
    MoveTo(RowCentre(Window(), 5).x, RowCentre(Window(), 5).y);
    ASSERT_TRUE(WaitFor([this] { return ChildOpen() && Child()->ParentRow() == 5; }, 1000));
    EXPECT_TRUE(Child()->State(TPopupMenu2000Form::wsSibling));
    EXPECT_EQ(Child()->EffectiveKind(), anNone);
    EXPECT_FALSE(Child()->State(TPopupMenu2000Form::wsAnimating));
}

TEST_F(MenuInput, KeysMoveOpenCloseAndExecute)
{
    const HWND wnd = Open();
    Key(wnd, VK_DOWN);
    EXPECT_EQ(Window().Selection(), 0);
    EXPECT_EQ(Events(EVENT_OBJECT_FOCUS, wnd), 1);
    ASSERT_FALSE(WinEvents.empty());
    EXPECT_EQ(WinEvents.back().second.second, 1);  // child 1: the first row
    SendMessageA(wnd, WM_AM2000_SELECTROW, static_cast<WPARAM>(-1), 0);
    Key(wnd, VK_UP);
    EXPECT_EQ(Window().Selection(), 6);  // the last row
    Key(wnd, VK_DOWN);
    EXPECT_EQ(Window().Selection(), -1);  // past the last: none
    for (int i = 0; i < 4; ++i)
        Key(wnd, VK_UP);
    EXPECT_EQ(Window().Selection(), 2);  // over the separator

    // Right opens the submenu at its first row, without animation; Esc closes only it.
    Menu->Options().SetAnimation(anVertSlide);
    SendMessageA(wnd, WM_AM2000_SELECTROW, 2, 0);
    Key(wnd, VK_RIGHT);
    ASSERT_TRUE(ChildOpen());
    EXPECT_EQ(Child()->Selection(), 0);
    EXPECT_EQ(Child()->EffectiveKind(), anNone);
    const HWND child = Child()->HandleOrNull();
    WinEvents.clear();
    Key(wnd, VK_ESCAPE);
    EXPECT_FALSE(ChildOpen());
    EXPECT_TRUE(Menu->IsShowing());
    EXPECT_EQ(Events(EVENT_SYSTEM_MENUPOPUPEND, child), 1);
    EXPECT_EQ(Events(EVENT_OBJECT_HIDE, child), 1);
    Key(wnd, VK_RIGHT);
    ASSERT_TRUE(ChildOpen());
    Key(wnd, VK_LEFT);
    EXPECT_FALSE(ChildOpen());

    // Every key answers as handled, Shift, Ctrl and characters included.
    EXPECT_EQ(SendMessageA(wnd, WM_KEYDOWN, VK_SHIFT, 0), 1);
    EXPECT_EQ(SendMessageA(wnd, WM_KEYDOWN, VK_CONTROL, 0), 1);
    EXPECT_EQ(SendMessageA(wnd, WM_CHAR, 'q', 0), 1);

    // Enter executes the selected row after the menu closed.
    SendMessageA(wnd, WM_AM2000_SELECTROW, 0, 0);
    Log.clear();
    Key(wnd, VK_RETURN);
    EXPECT_FALSE(Menu->IsShowing());
    EXPECT_EQ(Log, (std::vector<std::string>{"sound MenuCommand", "command", "click &Play closed"}));
}

TEST_F(MenuInput, AcceleratorsEscAndAltCloseOrBeep)
{
    HWND wnd = Open();
    Log.clear();
    EXPECT_EQ(SendMessageA(wnd, WM_KEYDOWN, 'Q', 0), 1);
    EXPECT_EQ(Log, std::vector<std::string>{"beep"});
    EXPECT_TRUE(Menu->IsShowing());
    Key(wnd, 'M');  // "Sub&menu" opens at its first row
    ASSERT_TRUE(ChildOpen());
    EXPECT_EQ(Child()->Selection(), 0);
    Key(wnd, 'B');  // the first letter of "Beta", in the submenu
    EXPECT_FALSE(Menu->IsShowing());
    EXPECT_EQ(Log.back(), "click Beta closed");

    wnd = Open();
    Key(wnd, VK_ESCAPE);
    EXPECT_FALSE(Menu->IsShowing());
    EXPECT_EQ(Window().Left(), 0);
    EXPECT_EQ(Window().Top(), 0);
    EXPECT_EQ(Window().Width(), 0);
    EXPECT_EQ(Window().Height(), 0);
    EXPECT_TRUE(Window().Cancelled());

    wnd = Open();
    Key(wnd, VK_MENU, WM_SYSKEYDOWN);
    EXPECT_FALSE(Menu->IsShowing());
}

TEST_F(MenuInput, AutoCheckTogglesOnceByMouseAndByAccelerator)
{
    Open();
    const POINT check = RowCentre(Window(), 4);
    MoveTo(check.x, check.y);
    ASSERT_TRUE(WaitFor([this] { return Window().Selection() == 4; }, 1000));
    Log.clear();
    ClickHere();
    ASSERT_TRUE(WaitFor([this] { return !Menu->IsShowing(); }, 1000));
    WaitFor([this] { return !Log.empty() && Log.back().rfind("click", 0) == 0; }, 1000);
    EXPECT_TRUE(Check->Checked);
    EXPECT_EQ(Log, (std::vector<std::string>{"sound MenuCommand", "command", "click Check closed"}));

    const HWND wnd = Open();
    Key(wnd, 'C');
    EXPECT_FALSE(Menu->IsShowing());
    EXPECT_FALSE(Check->Checked);
}

TEST_F(MenuInput, TheSelectionFadeIsALayeredCopyOfTheRowInTenSteps)
{
    struct TStep {
        BYTE Alpha = 0;
        RECT Rect{};
        bool Layered = false;
    };
    std::vector<TStep> steps;
    SetMenuFadeObserver([&](HWND fade) {
        TStep s;
        BYTE alpha = 0;
        DWORD flags = 0;
        s.Layered = GetLayeredWindowAttributes(fade, nullptr, &alpha, &flags) && (flags & LWA_ALPHA) &&
                    IsWindowVisible(fade);
        s.Alpha = alpha;
        GetWindowRect(fade, &s.Rect);
        steps.push_back(s);
    });
    Menu->OnMenuCommand = [&](TObject*) { Log.push_back("command after " + std::to_string(steps.size())); };

    // Off: no fade window.
    HWND wnd = Open();
    SendMessageA(wnd, WM_AM2000_SELECTROW, 1, 0);
    Key(wnd, VK_RETURN);
    EXPECT_TRUE(steps.empty());

    Menu->SystemSelectionFade = true;
    TSpiSetting fade(SPI_GETSELECTIONFADE, SPI_SETSELECTIONFADE, true);
    BOOL on = FALSE;
    SystemParametersInfoA(SPI_GETSELECTIONFADE, 0, &on, 0);
    if (!on)
        Menu->Options().SetAnimation(anAlpha);  // an alpha kind fades without the system setting
    wnd = Open();
    WaitFor([this] { return !Window().State(TPopupMenu2000Form::wsAnimating); }, 1000);
    SendMessageA(wnd, WM_AM2000_SELECTROW, 1, 0);
    const RECT row = Window().RowRect(1);
    Log.clear();
    Key(wnd, VK_RETURN);
    ASSERT_EQ(steps.size(), 10u);
    // 90 % down to 0 %, halves rounded to even.
    const BYTE alphas[10] = {230, 204, 178, 153, 128, 102, 76, 51, 26, 0};
    for (size_t i = 0; i < steps.size(); ++i) {
        EXPECT_TRUE(steps[i].Layered);
        EXPECT_EQ(steps[i].Alpha, alphas[i]) << i;
        EXPECT_TRUE(EqualRect(&steps[i].Rect, &row));
    }
    EXPECT_EQ(Log, (std::vector<std::string>{"sound MenuCommand", "command after 10", "click Stop closed"}));
    EXPECT_EQ(CurrentDragWindow(), nullptr);
}

TEST_F(MenuInput, AnItemDragWithCustomizableFollowsThePointer)
{
    Menu->Options().SetCustomizable(true);
    Open();
    const POINT play = RowCentre(Window(), 0);
    MoveTo(play.x, play.y);
    ASSERT_TRUE(WaitFor([this] { return Window().Selection() == 0; }, 1000));
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    const POINT stop = RowCentre(Window(), 1);
    MoveTo(stop.x, stop.y);
    ASSERT_TRUE(WaitFor([] { return CurrentDragWindow() != nullptr; }, 1000));
    EXPECT_EQ(Screen->Cursor(), crArrow);
    EXPECT_TRUE(IsDragActive());
    EXPECT_TRUE(CanStartDrag(mbLeft));
    EXPECT_FALSE(CanStartDrag(mbRight));  // not a drag button
    SetDragButtons({mbLeft, mbRight});
    EXPECT_TRUE(CanStartDrag(mbRight));
    SetDragButtons({mbLeft});
    RECT before{};
    GetWindowRect(CurrentDragWindow()->HandleOrNull(), &before);
    MoveTo(stop.x + 10, stop.y + 3);
    RECT after{};
    WaitFor([&] { GetWindowRect(CurrentDragWindow()->HandleOrNull(), &after); return after.left == before.left + 10; },
            1000);
    EXPECT_EQ(after.left - before.left, 10);
    EXPECT_EQ(after.top - before.top, 3);
    // Away from every menu: the no-drop cursor.
    MoveTo(Window().Left() + Window().Width() + 60, stop.y);
    EXPECT_TRUE(WaitFor([] { return Screen->Cursor() == crNo; }, 1000));
    SendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(WaitFor([] { return CurrentDragWindow() == nullptr; }, 1000));
    EXPECT_FALSE(IsDragActive());
    EXPECT_FALSE(CanStartDrag(mbLeft));
    EXPECT_EQ(Menu->Items()->Items(0), Play);  // a drop ends the drag unmoved
}

namespace {

// The centre of the area of a window where the hit test answers the code, on the screen.
bool FindArea(TPopupMenu2000Form& w, int code, POINT& screen)
{
    RECT box{w.Width(), w.Height(), -1, -1};
    for (int y = 0; y < w.Height(); ++y)
        for (int x = 0; x < w.Width(); ++x)
            if (w.HitTest(x, y) == code) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x);
                box.bottom = std::max<LONG>(box.bottom, y);
            }
    screen = POINT{w.Left() + (box.left + box.right) / 2, w.Top() + (box.top + box.bottom) / 2};
    return box.right >= 0;
}

}  // namespace

TEST_F(MenuInput, ScrollButtonsRepeatWhileHeldAndTheThumbDragsByRows)
{
    for (int i = 0; i < 80; ++i)
        Add(Menu->Items(), "Row " + std::to_string(i));
    Open();
    ASSERT_TRUE(Window().State(TPopupMenu2000Form::wsScroll));
    POINT down{};
    ASSERT_TRUE(FindArea(Window(), -9, down));
    MoveTo(down.x, down.y);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(WaitFor([this] { return Window().FirstShownRow() >= 5; }, 2000));  // the press repeats
    SendMouse(MOUSEEVENTF_LEFTUP);
    WaitFor([] { return GetAsyncKeyState(VK_LBUTTON) >= 0; }, 1000);
    WaitFor([] { return false; }, 20);
    const int stopped = Window().FirstShownRow();
    WaitFor([] { return false; }, 150);
    EXPECT_EQ(Window().FirstShownRow(), stopped);  // the release ends the repeat

    POINT thumb{};
    ASSERT_TRUE(FindArea(Window(), -6, thumb));
    MoveTo(thumb.x, thumb.y + 1);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    WaitFor([] { return false; }, 20);
    MoveTo(thumb.x, thumb.y + 4);  // less than a row's pixels
    EXPECT_EQ(Window().FirstShownRow(), stopped);
    MoveTo(thumb.x, thumb.y + 60);
    EXPECT_TRUE(WaitFor([&] { return Window().FirstShownRow() > stopped; }, 1000));
    const int dragged = Window().FirstShownRow();
    MoveTo(thumb.x, thumb.y - 10);
    EXPECT_TRUE(WaitFor([&] { return Window().FirstShownRow() < dragged; }, 1000));
    SendMouse(MOUSEEVENTF_LEFTUP);
    WaitFor([] { return GetAsyncKeyState(VK_LBUTTON) >= 0; }, 1000);
    EXPECT_TRUE(Menu->IsShowing());
}

TEST_F(MenuInput, HiddenItemsShowByTheExpandButtonAndPastTheLastRow)
{
    Second->SetHidden(true);
    HWND wnd = Open();
    ASSERT_EQ(Window().RowCount(), 6);
    POINT button{};
    ASSERT_TRUE(FindArea(Window(), -3, button));
    MoveTo(button.x, button.y);
    ClickHere();
    EXPECT_TRUE(WaitFor([this] { return Window().RowCount() == 7; }, 1000));
    EXPECT_TRUE(Menu->IsShowing());
    CloseMenus();

    wnd = Open();
    ASSERT_EQ(Window().RowCount(), 6);
    SendMessageA(wnd, WM_AM2000_SELECTROW, 5, 0);
    Key(wnd, VK_DOWN);
    EXPECT_EQ(Window().RowCount(), 7);
    EXPECT_EQ(Window().Selection(), -1);
    EXPECT_TRUE(Menu->IsShowing());
}

TEST_F(MenuInput, ANativeEntrySendsItsCommandToTheOwnerAfterTheMenuClosed)
{
    static std::vector<std::string>* log = nullptr;
    static TPopupMenu2000* menu = nullptr;
    log = &Log;
    menu = Menu;
    struct Proc {
        static LRESULT CALLBACK Record(HWND wnd, UINT msg, WPARAM w, LPARAM l)
        {
            if (msg == WM_COMMAND && log)
                log->push_back("WM_COMMAND " + std::to_string(LOWORD(w)) + (menu->IsShowing() ? " open" : " closed"));
            return CallWindowProcA(reinterpret_cast<WNDPROC>(GetPropA(wnd, "TestOldProc")), wnd, msg, w, l);
        }
    };
    const HWND formWnd = Form->Handle();
    SetPropA(formWnd, "TestOldProc",
             reinterpret_cast<HANDLE>(SetWindowLongPtrA(formWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc::Record))));
    const HMENU native = CreatePopupMenu();
    AppendMenuA(native, MF_STRING, 41, "&Open");
    AppendMenuA(native, MF_STRING | MF_GRAYED, 42, "&Save");
    AppendMenuA(native, MF_STRING, 43, "&Close");
    Menu->Items()->Clear();
    Menu->RootHandle = native;
    HWND wnd = Open();
    ASSERT_EQ(Window().RowCount(), 3);
    Key(wnd, VK_DOWN);
    Key(wnd, VK_DOWN);
    EXPECT_EQ(Window().Selection(), 2);  // the greyed entry is passed over
    Log.clear();
    Key(wnd, VK_RETURN);
    EXPECT_FALSE(Menu->IsShowing());
    EXPECT_EQ(Log, (std::vector<std::string>{"sound MenuCommand", "command", "WM_COMMAND 43 closed"}));
    // An accelerator only selects a native entry.
    wnd = Open();
    Key(wnd, 'C');
    EXPECT_EQ(Window().Selection(), 2);
    EXPECT_TRUE(Menu->IsShowing());
    CloseMenus();
    SetWindowLongPtrA(formWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RemovePropA(formWnd, "TestOldProc")));
    log = nullptr;
    Menu->RootHandle = nullptr;
    DestroyMenu(native);
}

TEST_F(MenuInput, AnEditBoxRowShowsTheIBeamRightOfItsCaption)
{
    Add(Menu->Items(), "Find")->SetControl(ctlEditbox);
    Open();
    const RECT find = Window().RowRect(7);
    MoveTo(find.right - 10, (find.top + find.bottom) / 2);
    EXPECT_TRUE(WaitFor([] { return Screen->Cursor() == crIBeam; }, 1000));
    MoveTo(find.left + 3, (find.top + find.bottom) / 2);
    EXPECT_TRUE(WaitFor([] { return Screen->Cursor() == crDefault; }, 1000));
    MoveTo(find.right - 10, (find.top + find.bottom) / 2);
    EXPECT_TRUE(WaitFor([] { return Screen->Cursor() == crIBeam; }, 1000));
    const RECT play = Window().RowRect(0);
    MoveTo(play.right - 10, (play.top + play.bottom) / 2);
    EXPECT_TRUE(WaitFor([] { return Screen->Cursor() == crDefault; }, 1000));
}

TEST_F(MenuInput, AHiddenItemThatIsUsedComesBackWithItsSeparator)
{
    TMenuItem2000* line = Add(Menu->Items(), "-");
    TMenuItem2000* late = Add(Menu->Items(), "&Late");
    line->SetHidden(true);
    late->SetHidden(true);
    const HWND wnd = Open();
    SendMessageA(wnd, WM_AM2000_SHOWHIDDEN, reinterpret_cast<WPARAM>(late), 0);
    ASSERT_EQ(Window().Selection(), 8);
    Key(wnd, VK_RETURN);
    EXPECT_EQ(Log.back(), "click &Late closed");
    EXPECT_FALSE(late->GetHidden());
    EXPECT_FALSE(line->GetHidden());
}

TEST_F(MenuInput, ARightReleaseOnAnItemOpensItsContextMenuBesideIt)
{
    auto* context = NewComponent<TPopupMenu2000>(Form);
    context->Options().SetAnimation(anNone);
    context->OnPopup = [this](TObject*) { Log.push_back("context popup"); };
    auto* rename = NewComponent<TMenuItem2000>(context);
    rename->Caption = "Rename";
    rename->OnClick = [this](TObject*) { Log.push_back(std::string("click Rename") + (Menu->IsShowing() ? " open" : " closed")); };
    context->Items()->Add(rename);
    Play->PopupMenu = context;
    Menu->OnContextMenu = [this](TObject* sender) { Log.push_back(sender == Menu ? "context menu" : "?"); };
    Open();

    // An item without one: the event, and nothing opens.
    ASSERT_TRUE(Hover(Window(), 1));
    Log.clear();
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    SendMouse(MOUSEEVENTF_RIGHTUP);
    WaitFor([this] { return !Log.empty(); }, 1000);
    EXPECT_EQ(Log, std::vector<std::string>{"context menu"});
    EXPECT_FALSE(ChildOpen());
    EXPECT_TRUE(Menu->IsShowing());

    ASSERT_TRUE(Hover(Window(), 0));
    const POINT play = RowCentre(Window(), 0);
    Log.clear();
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    SendMouse(MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(WaitFor([this] { return ChildOpen(); }, 1000));
    EXPECT_EQ(Log, (std::vector<std::string>{"context menu", "context popup", "sound MenuPopup"}));
    EXPECT_EQ(Child()->RowCount(), 1);
    // At the pointer, not at the row's submenu anchor.
    EXPECT_EQ(Child()->Left(), play.x);
    EXPECT_EQ(Child()->Top(), play.y);

    // Its command closes the whole chain first.
    ASSERT_TRUE(Hover(*Child(), 0));
    ClickHere();
    ASSERT_TRUE(WaitFor([this] { return !Menu->IsShowing(); }, 1000));
    WaitFor([this] { return Log.back().rfind("click", 0) == 0; }, 1000);
    EXPECT_EQ(Log.back(), "click Rename closed");
}

TEST_F(MenuInput, ADropDownThatClosesOnLeaveGoesHalfASecondAfterThePointerLeft)
{
    Open();
    SendMessageA(Window().HandleOrNull(), WM_AM2000_SETOPTION, 6, 1);
    ASSERT_TRUE(Hover(Window(), 0));
    const POINT play = RowCentre(Window(), 0);
    MoveTo(Window().Left() - 40, play.y);
    const DWORD left = GetTickCount();
    ASSERT_TRUE(WaitFor([this] { return Window().Selection() == -1; }, 1000));
    const bool closed = WaitFor([this] { return !Menu->IsShowing(); }, 2000);
    EXPECT_TRUE(closed);
    EXPECT_GE(GetTickCount() - left, 450u);
    EXPECT_TRUE(Window().Cancelled());

    // Without the bit the menu stays.
    Open();
    SendMessageA(Window().HandleOrNull(), WM_AM2000_SETOPTION, 6, 0);
    ASSERT_TRUE(Hover(Window(), 0, 5));  // the last handled place of the first showing would be ignored
    MoveTo(Window().Left() - 40, play.y);
    EXPECT_FALSE(WaitFor([this] { return !Menu->IsShowing(); }, 800));
}

TEST_F(MenuInput, AMenuThatKeepsItselfOpenRunsTheCommandAndStays)
{
    Open();
    SendMessageA(Window().HandleOrNull(), WM_AM2000_SETOPTION, 8, 0);
    ASSERT_TRUE(Hover(Window(), 4));
    Log.clear();
    ClickHere();
    ASSERT_TRUE(WaitFor([this] { return !Log.empty() && Log.back().rfind("click", 0) == 0; }, 1000));
    EXPECT_EQ(Log, (std::vector<std::string>{"sound MenuCommand", "command", "click Check open"}));
    EXPECT_TRUE(Check->Checked);
    EXPECT_EQ(Window().Selection(), 4);
    // Again: toggled back, still open; then the option's default closes as before.
    ClickHere();
    ASSERT_TRUE(WaitFor([this] { return Log.size() == 6; }, 1000));
    EXPECT_FALSE(Check->Checked);
    EXPECT_TRUE(Menu->IsShowing());
    SendMessageA(Window().HandleOrNull(), WM_AM2000_SETOPTION, 8, 1);
    ClickHere();
    EXPECT_TRUE(WaitFor([this] { return !Menu->IsShowing(); }, 1000));
    EXPECT_TRUE(Check->Checked);
}

TEST_F(MenuInput, ClosingTellsTheRootItUnlessTheMenuKeepsItselfOpen)
{
    int exits = 0;
    Menu->Items()->OnExit = [&](TObject*) { ++exits; };
    Key(Open(), VK_ESCAPE);
    EXPECT_EQ(exits, 1);
    const HWND wnd = Open();
    SendMessageA(wnd, WM_AM2000_SETOPTION, 8, 0);
    Key(wnd, VK_ESCAPE);
    EXPECT_FALSE(Menu->IsShowing());
    EXPECT_EQ(exits, 1);
}

TEST_F(MenuInput, F1OpensTheHelpAtTheSelectedItemsContext)
{
    TApplication app;
    std::vector<std::pair<WORD, LONG_PTR>> asked;
    app.OnHelp = [&](WORD command, LONG_PTR data, bool& callHelp) {
        asked.push_back({command, data});
        callHelp = false;  // no help program under test
        return true;
    };
    Play->HelpContext = 42;
    struct Case {
        const char* Name;
        const char* File;
        int Row;
        bool Opens;
    };
    for (const Case& c : {Case{"no help file", "", 0, false}, Case{"no context", "player.hlp", 1, false},
                          Case{"context", "player.hlp", 0, true}}) {
        SCOPED_TRACE(c.Name);
        app.HelpFile = c.File;
        asked.clear();
        const HWND wnd = Open();
        SendMessageA(wnd, WM_AM2000_SELECTROW, static_cast<WPARAM>(c.Row), 0);
        Key(wnd, VK_F1);
        EXPECT_EQ(Menu->IsShowing(), !c.Opens);
        if (c.Opens) {
            EXPECT_EQ(asked, (std::vector<std::pair<WORD, LONG_PTR>>{{HELP_CONTEXT, 42}}));
            EXPECT_TRUE(Window().Cancelled());
        } else {
            EXPECT_TRUE(asked.empty());
        }
        CloseMenus();
    }
}

TEST_F(MenuInput, HoverPutsTheItemsHintIntoTheStatusBarAndTheApplication)
{
    TApplication app;
    int hints = 0;
    app.OnHint = [&](TObject*) { ++hints; };
    auto* bar = NewComponent<TStatusBar>(Form);
    bar->SetParent(Form);
    bar->SetPanelWidths({60, -1});
    bar->SetPanelText(1, "ready");
    Menu->StatusBar = bar;
    Menu->StatusBarIndex = 1;
    Play->SetHint("Starts &#123the file");
    Open();
    ASSERT_TRUE(Hover(Window(), 0));
    EXPECT_EQ(bar->PanelText(1), "Starts  the file");
    EXPECT_EQ(app.Hint(), "Starts &#123the file");
    EXPECT_EQ(hints, 1);
    ASSERT_TRUE(Hover(Window(), 1));
    EXPECT_EQ(bar->PanelText(1), "");
    EXPECT_EQ(app.Hint(), "");
    EXPECT_EQ(hints, 2);

    // In simple mode the one text takes it and the panels keep theirs.
    bar->SetPanelText(1, "ready");
    bar->SetSimplePanel(true);
    EXPECT_NE(SendMessageA(bar->HandleOrNull(), SB_ISSIMPLE, 0, 0), 0);
    ASSERT_TRUE(Hover(Window(), 0));
    EXPECT_EQ(bar->SimpleText(), "Starts  the file");
    EXPECT_EQ(bar->PanelText(1), "ready");
    // A panel index past the panels shows nothing.
    bar->SetSimplePanel(false);
    Menu->StatusBarIndex = 2;
    ASSERT_TRUE(Hover(Window(), 1));
    EXPECT_EQ(bar->PanelText(1), "ready");
    Menu->StatusBar = nullptr;
}

TEST_F(MenuInput, AltAndEscOnABarsDropDownResetTheBar)
{
    auto* bar = NewComponent<TMenuBar2000>(Form);
    bar->SetParent(Form);
    bar->SetMenu(Menu);
    bar->HandleNeeded();
    auto open = [&] {
        bar->SelectIndex(2, Sub);
        bar->OpenDropDown(false, false);
        EXPECT_TRUE(WaitFor([&] { return bar->DropDown().IsShowing(); }, 1000));
        return dynamic_cast<TPopupMenu2000Form&>(bar->DropDown().GetPopupForm()).HandleOrNull();
    };
    Key(open(), VK_MENU, WM_SYSKEYDOWN);
    EXPECT_FALSE(bar->DropDown().IsShowing());
    EXPECT_TRUE(bar->MenuKeyReset());
    EXPECT_EQ(bar->ItemState(), 0);
    EXPECT_EQ(bar->HotItem(), Sub);

    bar->SetMenuKeyReset(false);
    Key(open(), VK_ESCAPE);
    EXPECT_FALSE(bar->DropDown().IsShowing());
    EXPECT_FALSE(bar->MenuKeyReset());
    EXPECT_EQ(bar->HotItem(), nullptr);
    EXPECT_EQ(bar->HotIndex(), -1);
}

namespace {

// Presses on one row, moves over the others and releases there.
void DragThrough(const std::vector<POINT>& path)
{
    MoveTo(path[0].x, path[0].y);
    WaitFor([] { return false; }, 20);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    for (size_t i = 1; i < path.size(); ++i)
        MoveTo(path[i].x, path[i].y);
    SendMouse(MOUSEEVENTF_LEFTUP);
    WaitFor([] { return CurrentDragWindow() == nullptr && !(GetAsyncKeyState(VK_LBUTTON) & 0x8000); }, 1000);
    WaitFor([] { return false; }, 20);
}

std::vector<std::string> Captions(TMenuItem* parent)
{
    std::vector<std::string> out;
    for (int i = 0; i < parent->Count(); ++i)
        out.push_back(parent->Items(i)->Caption);
    return out;
}

}  // namespace

TEST_F(MenuInput, ADropMovesTheItemBeforeTheRowOrIntoASubmenu)
{
    Menu->Options().SetCustomizable(true);
    Open();
    DragThrough({RowCentre(Window(), 0), RowCentre(Window(), 1), RowCentre(Window(), 4)});
    EXPECT_EQ(Captions(Menu->Items()),
              (std::vector<std::string>{"Stop", "Sub&menu", "-", "&Play", "Check", "Second", "E&xit"}));
    ASSERT_TRUE(Menu->IsShowing());
    EXPECT_FALSE(Window().State(TPopupMenu2000Form::wsDragMode));

    // Over a submenu row its submenu opens at once; a drop there moves the item into it.
    const POINT down = RowCentre(Window(), 0);  // Stop
    const POINT sub = RowCentre(Window(), 1);   // Sub&menu
    MoveTo(down.x, down.y);
    WaitFor([] { return false; }, 20);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    MoveTo(sub.x, sub.y);
    ASSERT_TRUE(WaitFor([this] { return ChildOpen(); }, 1000));
    const POINT beta = RowCentre(*Child(), 1);
    MoveTo(beta.x, beta.y);
    SendMouse(MOUSEEVENTF_LEFTUP);
    WaitFor([] { return CurrentDragWindow() == nullptr; }, 1000);
    WaitFor([] { return false; }, 20);
    EXPECT_EQ(Captions(Sub), (std::vector<std::string>{"Alpha", "Stop", "Beta"}));
    EXPECT_EQ(Captions(Menu->Items()).front(), "Sub&menu");
    EXPECT_EQ(MenuDragState().Dragged, nullptr);
}

TEST_F(MenuInput, ADropIntoTheItemsOwnSubmenuIsRefused)
{
    std::vector<std::string> errors;
    SetGuardedExceptionHandler([&](const std::exception& e) { errors.push_back(e.what()); });
    Menu->Options().SetCustomizable(true);
    Open();
    const POINT sub = RowCentre(Window(), 2), stop = RowCentre(Window(), 1);
    MoveTo(sub.x, sub.y);
    ASSERT_TRUE(WaitFor([this] { return ChildOpen(); }, 1000));
    // Pressed on its row, out to the next row and back (its submenu stays), then into the submenu.
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    MoveTo(stop.x, stop.y);
    MoveTo(sub.x, sub.y + 1);
    const POINT beta = RowCentre(*Child(), 1);
    MoveTo(beta.x, beta.y);
    SendMouse(MOUSEEVENTF_LEFTUP);
    WaitFor([] { return CurrentDragWindow() == nullptr; }, 1000);
    WaitFor([&] { return !errors.empty(); }, 1000);
    SetGuardedExceptionHandler(nullptr);
    EXPECT_EQ(errors, std::vector<std::string>{"Cannot move menu item into it's own submenu"});
    EXPECT_EQ(Captions(Sub), (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_EQ(Menu->Items()->Items(2), Sub);
    EXPECT_EQ(MenuDragState().Dragged, nullptr);
}

TEST_F(MenuInput, AnEmptyAttachedMenuSaysSoAsASubmenuButPopsUpEmptyOnItsOwn)
{
    auto* attached = NewComponent<TPopupMenu2000>(Form);
    attached->Options().SetAnimation(anNone);
    Second->Clear();
    Second->SetAttachMenu(attached);
    const HWND wnd = Open();
    SendMessageA(wnd, WM_AM2000_SELECTROW, 5, 0);  // "Second"
    Key(wnd, VK_RIGHT);
    ASSERT_TRUE(ChildOpen());
    ASSERT_EQ(Child()->RowCount(), 1);
    const TMenuItem* empty = Child()->ItemAtRow(0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->Caption, "(Empty)");
    EXPECT_FALSE(empty->Enabled);
    Key(wnd, VK_LEFT);
    Key(wnd, VK_RIGHT);  // opened again: still one
    ASSERT_TRUE(ChildOpen());
    EXPECT_EQ(attached->Items()->Count(), 1);
    CloseMenus();

    // Popped up as a component of its own, an empty attached menu shows the empty window.
    auto* plain = NewComponent<TPopupMenu2000>(Form);
    plain->Options().SetAnimation(anNone);
    Check->SetAttachMenu(plain);
    plain->ShowPopup(100, 100);
    EXPECT_EQ(plain->Items()->Count(), 0);
    CloseMenus();
}
