// The family's hooks and the modal wait on a real, active test form: what reaches the open
// menu and what reaches the other windows.
#include "framework/Forms.h"
#include "menus/MenuBar2000.h"
#include "menus/MenuHooks.h"
#include "menus/MenuUtils.h"
#include "menus/PopupMenu2000Form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

// Pumps (through the hooks) until the condition holds; False after 5 s.
bool PumpUntil(const std::function<bool()>& done)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > 5000)
            return false;
        PumpMenuMessages();
        Sleep(1);
    }
    return true;
}

// A window that logs the messages its procedure gets.
template <class Base>
class TLogging : public Base {
public:
    using Base::Base;
    std::vector<UINT> Messages;
    int Count(UINT msg) const { return static_cast<int>(std::count(Messages.begin(), Messages.end(), msg)); }

protected:
    void WndProc(TMessage& message) override
    {
        Messages.push_back(message.Msg);
        Base::WndProc(message);
    }
};

// The menu window, logging too; it answers keys itself: 1 with AnswerKeys (as the real one
// does), 0 without, so that the hook's pass-on road can be seen.
class TLoggingMenuWindow : public TPopupMenu2000Form {
public:
    using TPopupMenu2000Form::TPopupMenu2000Form;
    static inline std::vector<UINT> Messages;
    static inline bool AnswerKeys = false;
    static int Count(UINT msg) { return static_cast<int>(std::count(Messages.begin(), Messages.end(), msg)); }

protected:
    void WndProc(TMessage& message) override
    {
        Messages.push_back(message.Msg);
        if (message.Msg >= WM_KEYDOWN && message.Msg <= WM_SYSKEYUP) {
            message.Result = AnswerKeys ? 1 : 0;
            return;
        }
        TPopupMenu2000Form::WndProc(message);
    }
};

class MenuHooks : public ::testing::Test {
protected:
    void SetUp() override
    {
        MenuUnitStart();
        SetPopupWindowFactory([](TCustomPopupMenu2000& menu) -> std::unique_ptr<IPopupMenuWindow> {
            return std::make_unique<TLoggingMenuWindow>(nullptr, &menu);
        });
        TLoggingMenuWindow::Messages.clear();
        TLoggingMenuWindow::AnswerKeys = false;
        Form = App.CreateForm<TLogging<TForm>>();
        Form->SetBounds(300, 300, 300, 200);
        Child = NewComponent<TLogging<TCustomControl>>(Form);
        Child->SetParent(Form);
        Child->SetBounds(10, 10, 100, 50);
        Form->Show();
        SetForegroundWindow(Form->Handle());
        Child->SetFocus();
        ASSERT_TRUE(PumpUntil([this] { return App.Active(); })) << "the test form never became active";
    }
    void TearDown() override
    {
        CloseMenus();
        PumpMenuMessages();
        SetPopupWindowFactory(nullptr);
    }

    TPopupMenu2000* NewMenu(TComponent* owner)
    {
        auto* menu = NewComponent<TPopupMenu2000>(owner);
        menu->Options().SetAnimation(anNone);
        for (const char* caption : {"Play/Pause", "Stop", "Next"})
            menu->Items()->AddNew(caption);
        return menu;
    }
    // Opens the menu at the top left of the screen, the pointer well away from it.
    void Open(TPopupMenu2000* menu)
    {
        SetCursorPos(450, 400);
        menu->ShowPopup(10, 10);
        ASSERT_TRUE(PumpUntil([] { return IsMenuShowing(); }));
        TLoggingMenuWindow::Messages.clear();
        Form->Messages.clear();
        Child->Messages.clear();
    }
    HWND MenuWindow(TPopupMenu2000* menu) { return static_cast<TPopupMenu2000Form*>(menu->PopupForm())->HandleOrNull(); }

    TApplication App;
    TLogging<TForm>* Form = nullptr;
    TLogging<TCustomControl>* Child = nullptr;
};

}  // namespace

TEST_F(MenuHooks, PressesOutsideCloseAndStillArriveReleasesDoNot)
{
    struct TCase {
        UINT Msg;
        bool Closes;
    } const cases[] = {{WM_LBUTTONDOWN, true}, {WM_RBUTTONDOWN, true}, {WM_MBUTTONDOWN, true}, {WM_LBUTTONUP, false}};
    TPopupMenu2000* menu = NewMenu(Form);
    for (const TCase& c : cases) {
        Open(menu);
        PostMessageA(Child->Handle(), c.Msg, 0, MAKELPARAM(5, 5));
        ASSERT_TRUE(PumpUntil([&] { return Child->Count(c.Msg) == 1; })) << c.Msg;
        EXPECT_EQ(menu->IsShowing(), !c.Closes) << c.Msg;
        EXPECT_EQ(CurrentPopupMenu() == menu, !c.Closes) << c.Msg;
        if (c.Closes) {
            EXPECT_TRUE(menu->PopupForm()->Cancelled());
        }
        CloseMenus();
    }
}

TEST_F(MenuHooks, APressOverTheMenuLeavesItOpen)
{
    TPopupMenu2000* menu = NewMenu(Form);
    Open(menu);
    RECT r;
    GetWindowRect(MenuWindow(menu), &r);
    SetCursorPos(r.left + 3, r.top + 3);
    PostMessageA(MenuWindow(menu), WM_LBUTTONDOWN, 0, MAKELPARAM(3, 3));
    ASSERT_TRUE(PumpUntil([] { return TLoggingMenuWindow::Count(WM_LBUTTONDOWN) == 1; }));
    EXPECT_TRUE(menu->IsShowing());
}

TEST_F(MenuHooks, TheWheelWhileOpenGoesToTheMenuOnly)
{
    TPopupMenu2000* menu = NewMenu(Form);
    Open(menu);
    PostMessageA(Child->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(450, 400));
    PostMessageA(Form->Handle(), WM_APP, 0, 0);
    ASSERT_TRUE(PumpUntil([this] { return Form->Count(WM_APP) == 1; }));
    EXPECT_EQ(TLoggingMenuWindow::Count(WM_MOUSEWHEEL), 1);
    EXPECT_EQ(static_cast<TPopupMenu2000Form*>(menu->PopupForm())->Selection(), 0);
    EXPECT_EQ(Child->Count(WM_MOUSEWHEEL), 0);
    EXPECT_EQ(Form->Count(WM_MOUSEWHEEL), 0);

    CloseMenus();  // closed, the wheel is the window's again
    PostMessageA(Child->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(450, 400));
    ASSERT_TRUE(PumpUntil([this] { return Child->Count(WM_MOUSEWHEEL) == 1; }));
}

TEST_F(MenuHooks, KeysGoToTheDeepestMenuWindowFirst)
{
    TPopupMenu2000* menu = NewMenu(Form);
    Open(menu);
    TLoggingMenuWindow::AnswerKeys = true;
    for (UINT msg : {WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP})
        PostMessageA(Child->Handle(), msg, 'A', 1);
    PostMessageA(Form->Handle(), WM_APP, 0, 0);
    ASSERT_TRUE(PumpUntil([this] { return Form->Count(WM_APP) == 1; }));
    for (UINT msg : {WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP}) {
        EXPECT_EQ(TLoggingMenuWindow::Count(msg), 1) << msg;
        EXPECT_EQ(Child->Count(msg), 0) << msg;
    }

    TLoggingMenuWindow::AnswerKeys = false;  // a key the menu leaves goes on to the focused control
    PostMessageA(Child->Handle(), WM_KEYDOWN, 'B', 1);
    ASSERT_TRUE(PumpUntil([this] { return Child->Count(WM_KEYDOWN) == 1; }));
    EXPECT_EQ(TLoggingMenuWindow::Count(WM_KEYDOWN), 2);
    EXPECT_TRUE(menu->IsShowing());
}

TEST_F(MenuHooks, DeactivatingTheApplicationClosesAsCancelled)
{
    TPopupMenu2000* menu = NewMenu(Form);
    Open(menu);
    SendMessageA(Form->Handle(), WM_ACTIVATEAPP, 1, 0);
    EXPECT_TRUE(menu->IsShowing());
    SendMessageA(Form->Handle(), WM_ACTIVATEAPP, 0, 0);
    EXPECT_FALSE(menu->IsShowing());
    EXPECT_TRUE(menu->PopupForm()->Cancelled());
    EXPECT_EQ(CurrentPopupMenu(), nullptr);
}

TEST_F(MenuHooks, CloseMenusLeavesTheUpdateLockAsItFoundIt)
{
    TPopupMenu2000* menu = NewMenu(Form);
    Open(menu);
    BeginMenuUpdate();
    const int held = MenuUpdateCount();
    EXPECT_TRUE(CloseMenus());
    EXPECT_EQ(MenuUpdateCount(), held);
    EndMenuUpdate();
    EXPECT_TRUE(CloseMenus());  // nothing open: still true
    EXPECT_EQ(MenuUpdateCount(), held - 1);
}

namespace {
std::function<void()> OnTick;
void CALLBACK TickProc(HWND, UINT, UINT_PTR, DWORD)
{
    if (OnTick)
        OnTick();
}
}  // namespace

TEST_F(MenuHooks, ModalWaitKeepsOtherTimersFiring)
{
    TPopupMenu2000* menu = NewMenu(Form);
    int ticks = 0;
    OnTick = [&] {
        if (++ticks == 5)
            CloseMenus();
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, TickProc);
    menu->Popup(10, 10);
    KillTimer(nullptr, timer);
    OnTick = nullptr;
    EXPECT_GE(ticks, 5);
    EXPECT_FALSE(menu->IsShowing());
}

TEST_F(MenuHooks, ModalWaitEndsOnQuitAndPassesItsCode)
{
    TPopupMenu2000* menu = NewMenu(Form);
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, TickProc);
    OnTick = [&] {
        KillTimer(nullptr, timer);
        PostQuitMessage(42);
    };
    menu->Popup(10, 10);
    OnTick = nullptr;
    EXPECT_FALSE(menu->IsShowing());
    MSG msg{};
    ASSERT_TRUE(PumpUntil([&] { return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0; }));
    EXPECT_EQ(msg.wParam, 42u);
}

TEST_F(MenuHooks, MessagesPostedAsTheMenuClosesAreDispatchedOnceInOrder)
{
    TPopupMenu2000* menu = NewMenu(Form);
    std::vector<WPARAM> seen;
    Form->Messages.clear();
    const HWND wnd = Form->Handle();
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, TickProc);
    OnTick = [&] {
        KillTimer(nullptr, timer);
        PostMessageA(wnd, WM_APP, 1, 0);
        CloseMenus();
        PostMessageA(wnd, WM_APP, 2, 0);
        PostMessageA(wnd, WM_APP, 3, 0);
    };
    static std::vector<WPARAM>* log = nullptr;
    log = &seen;
    App.OnMessage = [](MSG& m, bool&) {
        if (m.message == WM_APP && log)
            log->push_back(m.wParam);
    };
    menu->Popup(10, 10);
    OnTick = nullptr;
    EXPECT_EQ(Form->Count(WM_APP), 0);  // nothing was taken after the close
    App.ProcessMessages();
    EXPECT_EQ(seen, (std::vector<WPARAM>{1, 2, 3}));
    EXPECT_EQ(Form->Count(WM_APP), 3);
    log = nullptr;
    App.OnMessage = nullptr;
}

TEST_F(MenuHooks, TwoComponentsHookOnceAndFreeingBothUnhooks)
{
    const int before = MenuHookCount();
    auto* first = NewMenu(nullptr);
    auto* second = NewMenu(nullptr);
    EXPECT_EQ(MenuHookCount(), before + 2);
    // One mouse move outside the open menu tells its window once: one hook, not two.
    Open(second);
    PostMessageA(Child->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(PumpUntil([this] { return Child->Count(WM_MOUSEMOVE) >= 1; }));
    EXPECT_EQ(TLoggingMenuWindow::Count(CM_MOUSELEAVE), Child->Count(WM_MOUSEMOVE) + Form->Count(WM_MOUSEMOVE));
    CloseMenus();
    delete first;
    EXPECT_EQ(MenuHookCount(), before + 1);
    delete second;
    ASSERT_EQ(MenuHookCount(), before);
    if (before > 0)
        GTEST_SKIP() << "other components of the process still hold the hooks";

    // A design-time component installs nothing: with no hooks a press outside leaves it open.
    TComponent designer;
    designer.SetDesigning(true);
    TPopupMenu2000 designed(&designer);
    designed.Options().SetAnimation(anNone);
    designed.Items()->AddNew("Stop");
    EXPECT_EQ(MenuHookCount(), 0);
    designed.ShowPopup(10, 10);
    ASSERT_TRUE(PumpUntil([] { return IsMenuShowing(); }));
    PostMessageA(Child->Handle(), WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(PumpUntil([this] { return Child->Count(WM_LBUTTONDOWN) == 1; }));
    EXPECT_TRUE(designed.IsShowing());
    CloseMenus();
}

namespace {
HHOOK EarlierHook = nullptr;
int EarlierMoves = 0;
LRESULT CALLBACK EarlierGetMessage(int code, WPARAM wParam, LPARAM lParam)
{
    if (code >= 0 && wParam == PM_REMOVE && reinterpret_cast<MSG*>(lParam)->message == WM_MOUSEMOVE)
        ++EarlierMoves;
    return CallNextHookEx(EarlierHook, code, wParam, lParam);
}
}  // namespace

TEST_F(MenuHooks, AnEarlierGetMessageHookStillSeesEveryMouseMove)
{
    ASSERT_EQ(MenuHookCount(), 0);
    EarlierHook = SetWindowsHookExA(WH_GETMESSAGE, EarlierGetMessage, nullptr, GetCurrentThreadId());
    ASSERT_NE(EarlierHook, nullptr);
    TPopupMenu2000* menu = NewMenu(Form);
    Open(menu);
    EarlierMoves = 0;
    for (int k = 0; k < 5; ++k)
        PostMessageA(Child->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5 + k, 5));
    ASSERT_TRUE(PumpUntil([this] { return Child->Count(WM_MOUSEMOVE) >= 5; }));
    const int reached = Child->Count(WM_MOUSEMOVE) + Form->Count(WM_MOUSEMOVE);
    CloseMenus();
    UnhookWindowsHookEx(EarlierHook);
    EXPECT_EQ(EarlierMoves, reached);
}

namespace {
class TRecordingMenu : public TPopupMenu {
public:
    using TPopupMenu::TPopupMenu;
    int Shown = 0;
    void Popup(int, int) override { ++Shown; }
};
}  // namespace

TEST_F(MenuHooks, MenuKeyStepAsksThePopupMenusOfTheFocusedControlAndItsParents)
{
    // The form's skinned popup and the child's plain one share F9; F8 is the form's only.
    TPopupMenu2000* formMenu = NewMenu(Form);
    int formF9 = 0, formF8 = 0, childF9 = 0;
    auto* f9 = formMenu->Items()->AddNew("Full Screen", [&](TObject*) { ++formF9; });
    f9->ShortCut = VK_F9;
    formMenu->Items()->AddNew("Stay On Top", [&](TObject*) { ++formF8; })->ShortCut = VK_F8;
    Form->PopupMenu = formMenu;
    auto* childMenu = NewComponent<TPopupMenu>(Form);
    childMenu->Items()->AddNew("Snapshot", [&](TObject*) { ++childF9; })->ShortCut = VK_F9;

    PostMessageA(Child->Handle(), WM_KEYDOWN, VK_F8, 1);
    App.ProcessMessages();
    EXPECT_EQ(formF8, 1);
    EXPECT_EQ(Child->Count(WM_KEYDOWN), 0);

    Child->PopupMenu = childMenu;  // the nearest menu answers first
    PostMessageA(Child->Handle(), WM_KEYDOWN, VK_F9, 1);
    App.ProcessMessages();
    EXPECT_EQ(childF9, 1);
    EXPECT_EQ(formF9, 0);
    EXPECT_EQ(Child->Count(WM_KEYDOWN), 0);

    auto* disabled = childMenu->Items()->AddNew("Save Snapshot", [&](TObject*) { ++childF9; });
    disabled->ShortCut = VK_F7;
    disabled->Enabled = false;
    // No menu's key, or a disabled item's: the control gets it.
    for (WPARAM key : {WPARAM('Q'), WPARAM(VK_F7)})
        PostMessageA(Child->Handle(), WM_KEYDOWN, key, 1);
    App.ProcessMessages();
    EXPECT_EQ(Child->Count(WM_KEYDOWN), 2);
    EXPECT_EQ(formF8 + formF9 + childF9, 2);
}

TEST_F(MenuHooks, ContextMenuShowsTheNearestPopupMenu)
{
    auto* formMenu = NewComponent<TRecordingMenu>(Form);
    auto* childMenu = NewComponent<TRecordingMenu>(Form);
    Form->PopupMenu = formMenu;
    POINT p{20, 20};
    ClientToScreen(Child->Handle(), &p);
    SendMessageA(Child->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Child->Handle()), MAKELPARAM(p.x, p.y));
    EXPECT_EQ(formMenu->Shown, 1);  // the child has none: its parent's
    Child->PopupMenu = childMenu;
    SendMessageA(Child->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Child->Handle()), MAKELPARAM(p.x, p.y));
    EXPECT_EQ(childMenu->Shown, 1);
    EXPECT_EQ(formMenu->Shown, 1);
}

TEST_F(MenuHooks, WindowTests)
{
    TPopupMenu2000* menu = NewMenu(Form);
    Open(menu);
    auto* window = static_cast<TPopupMenu2000Form*>(menu->PopupForm());
    EXPECT_TRUE(IsMenuWindow(window));
    EXPECT_FALSE(IsMenuWindow(Child));
    EXPECT_FALSE(IsMenuWindow(nullptr));
    EXPECT_TRUE(ControlOwnsWindow(Form->Handle(), Child));
    EXPECT_FALSE(ControlOwnsWindow(window->HandleOrNull(), Child));
    EXPECT_TRUE(IsControlChainEnabled(Child));
    EXPECT_TRUE(IsActiveWindowOf(Form));
    Form->SetEnabled(false);
    EXPECT_FALSE(IsControlChainEnabled(Child));
    EXPECT_FALSE(IsActiveWindowOf(Form));
    Form->SetEnabled(true);
    Child->Hide();
    EXPECT_FALSE(IsControlChainEnabled(Child));
    Child->Show();
    RECT r;
    GetWindowRect(window->HandleOrNull(), &r);
    SetCursorPos(r.left + 2, r.top + 2);
    EXPECT_TRUE(IsOverMenuWindow());
    SetCursorPos(450, 400);
    EXPECT_FALSE(IsOverMenuWindow());
    EXPECT_FALSE(IsOverPropertyInspector());

    auto* play = NewComponent<TMenuItem>(menu);
    auto* stop = NewComponent<TMenuItem>(menu);
    const TMenuItem elsewhere(nullptr);
    EXPECT_EQ(FindItemByCommand(menu, static_cast<WORD>(play->Command())), play);
    EXPECT_EQ(FindItemByCommand(menu, static_cast<WORD>(stop->Command())), stop);
    EXPECT_EQ(FindItemByCommand(menu, static_cast<WORD>(elsewhere.Command())), nullptr);
}

TEST_F(MenuHooks, APressOutsideClosesTheMenuBarsOpenItemButNotOneOnTheBar)
{
    TPopupMenu2000* source = NewMenu(Form);
    auto* file = NewComponent<TMenuItem2000>(Form);
    file->Caption = "&File";
    file->AddNew("Open");
    source->Items()->Insert(0, file);
    auto* bar = NewComponent<TMenuBar2000>(Form);
    bar->SetParent(Form);
    bar->SetBounds(0, 100, 10, 10);
    bar->SetMenu(source);
    bar->HandleNeeded();
    const TRect first = bar->ItemRects().at(0).Rect;
    const POINT inBar{(first.left + first.right) / 2, (first.top + first.bottom) / 2};
    POINT onItem = inBar;
    ClientToScreen(bar->Handle(), &onItem);

    SetCursorPos(450, 400);
    bar->SelectIndex(0, file);
    bar->PushHotItem(false);
    ASSERT_TRUE(PumpUntil([] { return IsMenuShowing(); }));
    EXPECT_EQ(bar->ItemState(), 2);
    // A press on the bar's item is the bar's own business (the middle button: the bar ignores it).
    SetCursorPos(onItem.x, onItem.y);
    PostMessageA(bar->Handle(), WM_MBUTTONDOWN, 0, MAKELPARAM(inBar.x, inBar.y));
    PostMessageA(Form->Handle(), WM_APP, 0, 0);
    ASSERT_TRUE(PumpUntil([this] { return Form->Count(WM_APP) == 1; }));
    EXPECT_EQ(bar->ItemState(), 2);
    EXPECT_TRUE(IsMenuShowing());

    SetCursorPos(450, 400);
    PostMessageA(Child->Handle(), WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(PumpUntil([this] { return Child->Count(WM_LBUTTONDOWN) == 1; }));
    EXPECT_FALSE(IsMenuShowing());
    EXPECT_EQ(bar->ItemState(), 0);
}
