// A menu bar on an MDI frame: the maximised child's system item and border icons, measured,
// drawn and acting on the child; the family's main menu shown through the bar.
#include "framework/Forms.h"
#include "menus/MainMenu2000.h"
#include "menus/MenuBar2000.h"
#include "menus/MenuUtils.h"
#include "menus/MenuUtilsCore.h"
#include "menus/PopupMenu2000Form.h"
#include "tests/menus/BarTestParts.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class MenuBarMdi : public testing::Test {
protected:
    void SetUp() override
    {
        MenuUnitStart();
        UseMenuWindows();
        SetMenuSoundPlayer([](const std::string&) {});
        Frame = App.CreateForm<TForm>();
        Frame->FormStyle = fsMDIForm;
        Frame->SetBounds(60, 60, 520, 380);
        FrameMenu = NewComponent<TMainMenu2000>(Frame);
        FrameMenu->Name = "MainMenu1";
        FrameMenu->Options().SetAnimation(anNone);
        File = AddItem(Frame, FrameMenu->Items(), "&File");
        AddItem(Frame, File, "Open");
        Frame->SetMenu(FrameMenu);
        Bar = NewComponent<TMenuBar2000>(Frame);
        Bar->SetParent(Frame);
        Bar->SetAlign(alTop);
        Bar->SetMenu(FrameMenu);
        Frame->Show();

        Child = App.CreateForm<TForm>();
        Child->FormStyle = fsMDIChild;
        auto* childMenu = NewComponent<TMainMenu>(Child);
        childMenu->Items()->AddNew("Edit")->GroupIndex = 1;
        Child->SetMenu(childMenu);
        Child->Show();
        Child->SetWindowState(wsMaximized);
        Pump();
    }
    void TearDown() override
    {
        CloseMenus(true, 0);
        PumpMenuMessages();
        SetPopupWindowFactory(nullptr);
        SetMenuSoundPlayer(nullptr);
    }

    void Pump() { App.ProcessMessages(); }
    bool PumpUntil(const std::function<bool()>& done)
    {
        for (DWORD start = GetTickCount(); !done(); Sleep(1)) {
            if (GetTickCount() - start > 3000)
                return false;
            Pump();
        }
        return true;
    }
    void Click(const TRect& r)
    {
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(Bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(Bar->Handle(), WM_LBUTTONUP, 0, at);
        Pump();
    }
    // Pixels of the rectangle on the bar's window that are not the bar's background.
    int DrawnPixels(const TRect& r)
    {
        UpdateWindow(Bar->Handle());
        const HDC dc = GetDC(Bar->Handle());
        int count = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                count += GetPixel(dc, x, y) != GetSysColor(COLOR_MENU);
        ReleaseDC(Bar->Handle(), dc);
        return count;
    }

    TApplication App;
    TForm* Frame = nullptr;
    TForm* Child = nullptr;
    TMainMenu2000* FrameMenu = nullptr;
    TMenuItem2000* File = nullptr;
    TMenuBar2000* Bar = nullptr;
};

}  // namespace

TEST_F(MenuBarMdi, AMaximisedChildsSystemItemAndBorderIconsAreMeasuredAndDrawn)
{
    ASSERT_EQ(Child, Frame->ActiveMDIChild());
    ASSERT_TRUE(IsZoomed(Child->Handle()));
    EXPECT_EQ(20, Bar->SystemItemWidth());
    EXPECT_EQ(57, Bar->BorderIconsWidth());
    EXPECT_EQ(TRect(0, 0, 20, 17), Bar->GetSystemItemRect());
    // The frame's and the child's items after the system item; the icons end the bar.
    ASSERT_EQ(2u, Bar->ItemRects().size());
    EXPECT_EQ("Edit", Bar->GetItem(1)->Caption);
    EXPECT_EQ(20, Bar->ItemRects()[0].Rect.left);
    EXPECT_EQ(Frame->ClientRect().Width(), Bar->Width());
    const TRect close = Bar->BorderIconRect(TMenuBar2000::bbClose);
    EXPECT_EQ(Bar->Width(), close.right);
    EXPECT_EQ(Bar->Width() - 52, Bar->BorderIconRect(TMenuBar2000::bbMinimize).left);
    EXPECT_EQ(Bar->Width() - 20, Bar->BorderIconRect(TMenuBar2000::bbRestore).right);
    EXPECT_EQ(Bar->SystemItem(), Bar->HitTest({5, 5}));
    EXPECT_EQ(File, Bar->HitTest({20, 5}));
    EXPECT_GT(DrawnPixels(Bar->GetSystemItemRect()), 20);  // the child's icon
    EXPECT_GT(DrawnPixels(close), 20);

    // Only the system menu icon: no minimise and restore pair.
    Child->BorderIcons = biSystemMenu;
    Bar->UpdateBar();
    EXPECT_EQ(21, Bar->BorderIconsWidth());
    EXPECT_EQ(TRect(), Bar->BorderIconRect(TMenuBar2000::bbMinimize));
    Child->BorderIcons = biSystemMenu | biMinimize | biMaximize;

    // Restored, the child gives the bar nothing; the bar follows without being asked.
    Child->SetWindowState(wsNormal);
    Pump();
    EXPECT_EQ(0, Bar->SystemItemWidth());
    EXPECT_EQ(0, Bar->BorderIconsWidth());
    EXPECT_EQ(0, Bar->ItemRects()[0].Rect.left);
    EXPECT_EQ(nullptr, Bar->HitTest({Bar->Width() - 8, 8}));
    EXPECT_EQ(0, DrawnPixels(TRect(Bar->Width() - 16, 2, Bar->Width(), 16)));
}

TEST_F(MenuBarMdi, TheSystemItemOpensTheChildsSystemMenuAndTheIconsActOnTheChild)
{
    Click(Bar->GetSystemItemRect());
    ASSERT_TRUE(PumpUntil([this] { return Bar->DropDown().IsShowing(); }));
    EXPECT_EQ(Bar->SystemItem(), Bar->HotItem());
    EXPECT_EQ(2, Bar->ItemState());
    const HMENU system = GetSystemMenu(Child->Handle(), FALSE);
    EXPECT_EQ(system, Bar->DropDown().RootHandle);
    // Its Restore entry, chosen, restores the child.
    int restore = -1;
    for (int k = 0; k < GetMenuItemCount(system); ++k)
        if (GetMenuItemID(system, k) == SC_RESTORE)
            restore = k;
    ASSERT_GE(restore, 0);
    auto* window = dynamic_cast<TPopupMenu2000Form*>(Bar->DropDown().PopupForm());
    ASSERT_NE(nullptr, window);
    window->SetWindowOption(2, restore);
    SendMessageA(window->Handle(), WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(PumpUntil([this] { return !IsZoomed(Child->Handle()); }));
    EXPECT_FALSE(Bar->DropDown().IsShowing());
    EXPECT_EQ(0, Bar->SystemItemWidth());

    const struct {
        TMenuBar2000::TBorderButton Button;
        std::function<bool(HWND)> Done;
    } cases[] = {
        {TMenuBar2000::bbMinimize, [](HWND wnd) { return IsIconic(wnd) != 0; }},
        {TMenuBar2000::bbRestore, [](HWND wnd) { return !IsZoomed(wnd) && !IsIconic(wnd); }},
    };
    for (const auto& c : cases) {
        Child->SetWindowState(wsMaximized);
        Pump();
        Click(Bar->BorderIconRect(c.Button));
        EXPECT_TRUE(PumpUntil([&] { return c.Done(Child->Handle()); })) << c.Button;
        EXPECT_EQ(0, Bar->BorderIconsWidth()) << c.Button;
    }

    // Close: the child goes, its menu leaves the frame's, and the bar follows.
    Child->SetWindowState(wsMaximized);
    Pump();
    Child->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    Click(Bar->BorderIconRect(TMenuBar2000::bbClose));
    ASSERT_TRUE(PumpUntil([this] { return Frame->ActiveMDIChild() == nullptr && Bar->GetItemCount() == 1; }));
    Pump();
    EXPECT_EQ(0, Bar->SystemItemWidth());
    EXPECT_EQ(0, Bar->ItemRects()[0].Rect.left);
}

TEST_F(MenuBarMdi, TheFamilysMainMenuShowsThroughItsBarAndIsNotVisibleWithoutOne)
{
    EXPECT_EQ(Bar, FrameMenu->MenuBar());
    FrameMenu->Options().SetFlags(FrameMenu->Options().Flags() | FlagBit(mfRaiseMenuBarItem));
    FrameMenu->Refresh();
    EXPECT_TRUE(Bar->Options().Flags() & FlagBit(mfRaiseMenuBarItem));
    EXPECT_EQ(File, FrameMenu->SelectedItem());  // the bar's hot item
    FrameMenu->SelectItem(Bar->GetItem(1));
    EXPECT_EQ(1, Bar->HotIndex());
    EXPECT_EQ(Bar->GetItem(1), FrameMenu->SelectedItem());

    TMainMenu2000 lone(nullptr);
    lone.Name = "MainMenu2";
    for (const auto& call : std::initializer_list<std::function<void()>>{[&] { lone.SelectedItem(); },
                                                                          [&] { lone.SelectItem(nullptr); }}) {
        try {
            call();
            ADD_FAILURE() << "no error";
        } catch (const EMenuError& e) {
            EXPECT_STREQ("The MainMenu2 main menu component is not visible.", e.what());
        }
    }
}
