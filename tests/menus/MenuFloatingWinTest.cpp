// A torn-off menu floating as a tool window beside an active form with an edit box: its keys
// through the family's hooks (SendInput), presses outside it, and item changes made elsewhere.
#include "framework/Forms.h"
#include "menus/MenuUtils.h"
#include "menus/PopupMenu2000Form.h"
#include "menus/ThemeSupport.h"
#include "tests/menus/BarTestParts.h"
#include "tests/menus/InputParts.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The screen's pixels of a rectangle, row by row, once what was drawn has reached the screen.
std::vector<COLORREF> Pixels(const RECT& r)
{
    PumpUntil([] { return false; }, 30);
    std::vector<COLORREF> pixels;
    const HDC dc = GetDC(nullptr);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(nullptr, dc);
    return pixels;
}

class FloatingMenu : public ::testing::Test {
protected:
    void SetUp() override
    {
        MenuUnitStart();
        UseMenuWindows();
        SetMenuSoundPlayer([](const std::string&) {});
        SetMenuBeeper([this] { Log.push_back("beep"); });
        Form = App.CreateForm<TForm>();
        Form->SetBounds(100, 100, 300, 200);
        Menu = NewComponent<TPopupMenu2000>(Form);
        Menu->Options().SetAnimation(anNone);
        Menu->SystemSelectionFade = false;
        Add(Menu->Items(), "&Play");
        Stop = Add(Menu->Items(), "Stop");
        Sub = Add(Menu->Items(), "Sub&menu");
        Alpha = Add(Sub, "Alpha");
        Add(Sub, "Beta");
        Add(Menu->Items(), "-");
        Check = Add(Menu->Items(), "Check");
        Add(Menu->Items(), "E&xit");
        Form->Show();
        Edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200, 24, Form->Handle(), nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(Form->Handle());
        ASSERT_TRUE(PumpUntil([this] { return App.Active(); })) << "the test form never became active";
        SetFocus(Edit);
    }
    void TearDown() override
    {
        CloseMenus();
        MoveTo(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
        SetPopupWindowFactory(nullptr);
        SetMenuSoundPlayer(nullptr);
        SetMenuBeeper(nullptr);
    }
    TMenuItem2000* Add(TMenuItem* parent, const std::string& caption)
    {
        TMenuItem2000* item = AddItem(Menu, parent, caption);
        item->OnClick = [this, item](TObject*) { Log.push_back("click " + item->Caption); };
        return item;
    }
    TPopupMenu2000Form& TearOff()
    {
        TPopupMenu2000Form* floating = CreateTearOffWindow(Menu, Menu->Items(), nullptr, 450, 150);
        PumpUntil([] { return false; }, 30);
        return *floating;
    }
    // Moves the pointer onto a row of a menu window and clicks there.
    static void ClickRow(TPopupMenu2000Form& window, int row)
    {
        const RECT r = window.RowRect(row);
        ClickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
    static void ClickAt(POINT p)
    {
        MoveTo(p.x, p.y);
        ClickHere();
        PumpUntil([] { return false; }, 100);
    }
    std::string EditText() const
    {
        char text[64] = {};
        GetWindowTextA(Edit, text, sizeof text);
        return text;
    }
    bool Logged(const std::string& entry) const { return std::find(Log.begin(), Log.end(), entry) != Log.end(); }
    static bool Open(const TPopupMenu2000Form* window) { return window && window->IsShowing(); }

    TApplication App;
    TForm* Form = nullptr;
    HWND Edit = nullptr;
    TPopupMenu2000* Menu = nullptr;
    TMenuItem2000 *Stop = nullptr, *Sub = nullptr, *Alpha = nullptr, *Check = nullptr;
    std::vector<std::string> Log;
};

}  // namespace

TEST_F(FloatingMenu, APressGivesItTheKeysThatMoveOpenAndRunAndEscGivesThemBack)
{
    TPopupMenu2000Form& floating = TearOff();
    Tap('A');
    EXPECT_EQ(EditText(), "a");  // not pressed yet: the keys are the form's
    ClickRow(floating, 3);        // the separator: it runs nothing
    EXPECT_EQ(FloatingKeyWindow(), &floating);

    Tap(VK_HOME);
    EXPECT_EQ(floating.Selection(), 0);
    Tap(VK_DOWN);
    EXPECT_EQ(floating.Selection(), 1);
    Tap(VK_RETURN);
    EXPECT_TRUE(Logged("click Stop"));
    EXPECT_TRUE(Open(&floating));

    // An accelerator opens its submenu at its first row; Esc closes only the submenu.
    Tap('M');
    ASSERT_TRUE(Open(floating.ChildWindow()));
    EXPECT_EQ(floating.ChildWindow()->Selection(), 0);
    Tap(VK_DOWN);
    EXPECT_EQ(floating.ChildWindow()->Selection(), 1);
    Tap(VK_ESCAPE);
    EXPECT_FALSE(Open(floating.ChildWindow()));
    EXPECT_TRUE(Open(&floating));
    EXPECT_EQ(floating.Selection(), 2);
    // Right opens it again; Enter there runs the row and the submenu goes.
    Tap(VK_RIGHT);
    ASSERT_TRUE(Open(floating.ChildWindow()));
    Tap(VK_RETURN);
    EXPECT_TRUE(Logged("click Alpha"));
    EXPECT_FALSE(Open(floating.ChildWindow()));
    EXPECT_TRUE(Open(&floating));
    EXPECT_EQ(EditText(), "a");  // no key reached the form meanwhile

    // Esc on its own level leaves it open and gives the keys back.
    Tap(VK_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(floating.HandleOrNull()));
    EXPECT_EQ(floating.Selection(), -1);
    EXPECT_EQ(FloatingKeyWindow(), nullptr);
    Tap('X');
    EXPECT_EQ(EditText(), "ax");
    EXPECT_FALSE(Logged("click E&xit"));
}

TEST_F(FloatingMenu, APressOutsideOrAltClosesItsSubmenuAndTakesTheKeysButLeavesIt)
{
    TPopupMenu2000Form& floating = TearOff();
    ClickRow(floating, 2);  // Sub&menu
    ASSERT_TRUE(Open(floating.ChildWindow()));
    EXPECT_EQ(FloatingKeyWindow(), &floating);
    Tap(VK_MENU);
    EXPECT_FALSE(Open(floating.ChildWindow()));
    EXPECT_TRUE(Open(&floating));
    EXPECT_EQ(FloatingKeyWindow(), nullptr);

    MoveTo(10, 10);  // off the row, so that the press opens it again
    ClickRow(floating, 2);
    ASSERT_TRUE(Open(floating.ChildWindow()));

    RECT edit{};
    GetWindowRect(Edit, &edit);
    ClickAt(POINT{edit.left + 20, (edit.top + edit.bottom) / 2});
    EXPECT_FALSE(Open(floating.ChildWindow()));
    EXPECT_TRUE(IsWindowVisible(floating.HandleOrNull()));
    EXPECT_TRUE(Open(&floating));
    EXPECT_EQ(FloatingKeyWindow(), nullptr);
    Tap('Q');
    EXPECT_EQ(EditText(), "q");
}

TEST_F(FloatingMenu, ItemChangesMadeElsewhereReachItAndTheSubmenuOpenedFromIt)
{
    Menu->SetShowHint(true);
    TPopupMenu2000Form& floating = TearOff();
    // Kind 0: the row repaints at once, as a full repaint would paint it.
    const RECT check = floating.RowRect(4);
    const std::vector<COLORREF> unchecked = Pixels(check);
    Check->SetChecked(true);
    const std::vector<COLORREF> noticed = Pixels(check);
    EXPECT_NE(noticed, unchecked);
    floating.Repaint();
    EXPECT_EQ(Pixels(check), noticed);

    // Kind 4: a new hint gets its tool region.
    ASSERT_NE(floating.ToolTip(), nullptr);
    const LRESULT tools = SendMessageA(floating.ToolTip()->Handle(), TTM_GETTOOLCOUNT, 0, 0);
    Stop->SetHint("Stops");
    EXPECT_EQ(SendMessageA(floating.ToolTip()->Handle(), TTM_GETTOOLCOUNT, 0, 0), tools + 1);

    // Kind 3: a new item grows the window by its row.
    RECT before{};
    GetClientRect(floating.HandleOrNull(), &before);
    Add(Menu->Items(), "About");
    PumpUntil([] { return false; }, 20);
    EXPECT_EQ(floating.RowCount(), 7);
    RECT after{};
    GetClientRect(floating.HandleOrNull(), &after);
    EXPECT_EQ(after.bottom, floating.WindowHeight() + 2);
    EXPECT_GT(after.bottom, before.bottom);

    // A deeper item's notice reaches the submenu that shows it.
    floating.SelectRow(2);
    floating.OpenSubmenu(false);
    TPopupMenu2000Form* child = floating.ChildWindow();
    ASSERT_TRUE(Open(child));
    const RECT alpha = child->RowRect(0);
    const std::vector<COLORREF> plain = Pixels(alpha);
    Alpha->SetChecked(true);
    const std::vector<COLORREF> marked = Pixels(alpha);
    EXPECT_NE(marked, plain);
    child->Repaint();
    EXPECT_EQ(Pixels(alpha), marked);
    Add(Sub, "Gamma");
    PumpUntil([] { return false; }, 20);
    EXPECT_EQ(child->RowCount(), 3);
    EXPECT_TRUE(Open(child));
}

TEST_F(FloatingMenu, ALevelThatGoesAwayTakesItsFloatingWindowAndSubmenuWithIt)
{
    TPopupMenu2000Form& floating = TearOff();
    floating.SelectRow(2);
    floating.OpenSubmenu(false);
    ASSERT_TRUE(Open(floating.ChildWindow()));
    TPopupMenu2000Form* sub = CreateTearOffWindow(Menu, Sub, nullptr, 450, 400);
    ASSERT_TRUE(Open(sub));
    delete Sub;
    PumpUntil([] { return false; }, 30);
    EXPECT_FALSE(Open(sub));
    EXPECT_FALSE(IsWindowVisible(sub->HandleOrNull()));
    EXPECT_FALSE(Open(floating.ChildWindow()));
    EXPECT_EQ(floating.RowCount(), 5);  // the row went too
    // The pointer crossing where the rows were finds nothing of the item.
    const RECT r = floating.RowRect(2);
    MoveTo((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ClickHere();
    PumpUntil([] { return false; }, 100);
    EXPECT_TRUE(Open(&floating));
}
