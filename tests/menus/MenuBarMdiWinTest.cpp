// A menu bar on an MDI frame: the maximised child's system item and border icons, measured,
// drawn and acting on the child; the family's main menu shown through the bar.
#include "framework/Forms.h"
#include "menus/AnimatedSkinCore.h"
#include "menus/MainMenu2000.h"
#include "menus/MenuBar2000.h"
#include "menus/MenuUtils.h"
#include "menus/MenuUtilsCore.h"
#include "menus/PopupMenu2000Form.h"
#include "tests/menus/BarTestParts.h"
#include "tests/menus/TextExtent.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <functional>
#include <vector>

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
    TRect ScreenRect(const TRect& r)
    {
        POINT corner{r.left, r.top};
        ClientToScreen(Bar->Handle(), &corner);
        return TRect(corner.x, corner.y, corner.x + r.Width(), corner.y + r.Height());
    }
    COLORREF Pixel(int x, int y)
    {
        UpdateWindow(Bar->Handle());
        const HDC dc = GetDC(Bar->Handle());
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(Bar->Handle(), dc);
        return c;
    }
    std::vector<COLORREF> Pixels(const TRect& r)
    {
        std::vector<COLORREF> pixels;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                pixels.push_back(Pixel(x, y));
        return pixels;
    }
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

TEST_F(MenuBarMdi, RightToLeftTheSystemItemEndsTheItemsAndDropDownsOpenFromTheRightEdge)
{
    Frame->SetBounds(400, 60, 520, 380);  // room for the drop-down left of the items
    FrameMenu->BiDiMode = bdRightToLeft;
    FrameMenu->Refresh();
    const int w = Bar->Width();
    const TRect system = Bar->GetSystemItemRect();
    EXPECT_EQ(TRect(w - 16 - 57, 0, w - 57 + 4, 17), system);
    ASSERT_EQ(2u, Bar->ItemRects().size());
    EXPECT_EQ(0, Bar->ItemRects()[0].Rect.left);
    EXPECT_LE(Bar->ItemRects()[1].Rect.right, system.left);
    EXPECT_EQ(Bar->SystemItem(), Bar->HitTest({system.left + 10, 8}));
    EXPECT_EQ(File, Bar->HitTest({5, 5}));
    EXPECT_GT(DrawnPixels(system), 20);  // the child's icon at its new place
    EXPECT_EQ(0, DrawnPixels(TRect(Bar->ItemRects()[1].Rect.right + 1, 0, system.left, 4)));

    // The drop-down reads right to left and ends at the item's right edge.
    Click(Bar->ItemRects()[0].Rect);
    ASSERT_TRUE(PumpUntil([this] { return Bar->DropDown().IsShowing(); }));
    EXPECT_EQ(bdRightToLeft, Bar->DropDown().BiDiMode);
    auto* window = dynamic_cast<TPopupMenu2000Form*>(Bar->DropDown().PopupForm());
    ASSERT_NE(nullptr, window);
    RECT drop{};
    GetWindowRect(window->Handle(), &drop);
    EXPECT_EQ(ScreenRect(Bar->HotRect()).right, drop.right);
}

TEST_F(MenuBarMdi, TheSkinsBarOptionsSetHotTrackingAndTheBorderIconsStyle)
{
    const TRect close = Bar->BorderIconRect(TMenuBar2000::bbClose);
    const std::vector<COLORREF> standard = Pixels(close);
    TAnimatedSkin2000 skin(nullptr);
    skin.MenuBar().HotTrack = true;
    skin.MenuBar().BorderIconsStyle = bsWin31;
    FrameMenu->SetAnimatedSkin(&skin);
    EXPECT_EQ(&skin, FrameMenu->AnimatedSkin());
    EXPECT_TRUE(Bar->HotTrack);
    EXPECT_EQ(bsWin31, Bar->BorderIconsStyle);
    const std::vector<COLORREF> win31 = Pixels(close);
    EXPECT_NE(standard, win31);
    // Windows 95 draws as the default; the skin's change reaches the bar.
    skin.MenuBar().BorderIconsStyle = bsWin95;
    skin.Changed();
    EXPECT_EQ(bsWin95, Bar->BorderIconsStyle);
    EXPECT_EQ(standard, Pixels(close));
    FrameMenu->SetAnimatedSkin(nullptr);
    EXPECT_EQ(0, skin.ClientCount());
}

// The main menu's fonts decide the bar's measurement; its 3D frame how the hot item shows; its
// look and image lists go to the drop-down.
TEST_F(MenuBarMdi, TheMainMenusLookIsTheBarsAndItsDropDowns)
{
    Child->SetWindowState(wsNormal);
    Pump();
    auto textHeight = [](HFONT font) { return static_cast<int>(TextExtent(font, "File").cy); };
    EXPECT_TRUE(Bar->GetSystemFont());
    const int systemHeight = Bar->MeasureItem(File).cy;

    const T_AM2000_Font big("Arial", -40, clWindowText, 0);
    FrameMenu->SetSystemFont(false);
    FrameMenu->SetFont(&big);
    FrameMenu->Refresh();
    const LOGFONTA bigLog = MenuLogFont(big);
    const HFONT bigFont = CreateFontIndirectA(&bigLog);
    EXPECT_EQ(textHeight(bigFont), Bar->MeasureItem(File).cy);
    EXPECT_GT(Bar->MeasureItem(File).cy, systemHeight + 10);
    EXPECT_EQ(Bar->MeasureItem(File).cy + 5, Bar->Height());
    DeleteObject(bigFont);

    Frame->Font.SetHeight(-28);
    FrameMenu->SetParentFont(true);
    EXPECT_EQ(nullptr, FrameMenu->Font());
    FrameMenu->Refresh();
    EXPECT_TRUE(Bar->GetParentFont());
    EXPECT_EQ(textHeight(Frame->Font.Handle()), Bar->MeasureItem(File).cy);
    FrameMenu->SetSystemFont(true);
    FrameMenu->Refresh();
    EXPECT_EQ(systemHeight, Bar->MeasureItem(File).cy);

    // The flat look highlights the hot item; the 3D look leaves its inside in the menu colour.
    const TRect item = Bar->ItemRects()[0].Rect;
    const int x = item.left + 2, y = item.top + 3;
    Bar->SelectIndex(0, File);
    ASSERT_EQ(1, Bar->ItemState());
    EXPECT_TRUE(Bar->IsCtl3D());
    EXPECT_EQ(GetSysColor(COLOR_MENU), Pixel(x, y));
    FrameMenu->SetCtl3D(false);
    Bar->Invalidate();
    EXPECT_FALSE(Bar->IsCtl3D());
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), Pixel(x, y));

    TComponent disabled(nullptr), hot(nullptr);
    FrameMenu->DisabledImages = &disabled;
    FrameMenu->HotImages = &hot;
    FrameMenu->SystemShadow = true;
    Click(item);
    ASSERT_TRUE(PumpUntil([this] { return Bar->DropDown().IsShowing(); }));
    EXPECT_EQ(&disabled, Bar->DropDown().DisabledImages);
    EXPECT_EQ(&hot, Bar->DropDown().HotImages);
    EXPECT_FALSE(Bar->DropDown().Ctl3D());
    EXPECT_TRUE(Bar->DropDown().SystemShadow);
    FrameMenu->DisabledImages = nullptr;
    FrameMenu->HotImages = nullptr;
}

// An accessibility client's selection deep in a drop-down: the bar item opens, and each level
// selects the way down to the item.
TEST_F(MenuBarMdi, SelectingANestedItemOpensThePathFromTheBar)
{
    Child->SetWindowState(wsNormal);
    Pump();
    TMenuItem2000* view = AddItem(Frame, FrameMenu->Items(), "&View");
    AddItem(Frame, view, "Zoom");
    TMenuItem2000* recent = AddItem(Frame, File, "Recent");
    AddItem(Frame, recent, "One");
    TMenuItem2000* two = AddItem(Frame, recent, "Two");
    FrameMenu->Refresh();
    FrameMenu->SelectItem(view);  // from the bar's File to its View: nothing opens
    EXPECT_EQ(view, Bar->HotItem());
    EXPECT_FALSE(Bar->DropDown().IsShowing());

    FrameMenu->SelectItem(two);
    ASSERT_TRUE(Bar->DropDown().IsShowing());
    EXPECT_EQ(File, Bar->HotItem());
    EXPECT_EQ(2, Bar->ItemState());
    EXPECT_EQ(File, Bar->DropDown().RootItem);
    EXPECT_EQ(recent, FrameMenu->SelectedItem());
    auto* window = dynamic_cast<TPopupMenu2000Form*>(Bar->DropDown().PopupForm());
    ASSERT_NE(nullptr, window);
    TPopupMenu2000Form* sub = window->ChildWindow();
    ASSERT_NE(nullptr, sub);
    ASSERT_TRUE(sub->IsShowing());
    ASSERT_GE(sub->Selection(), 0);
    EXPECT_EQ(two, sub->ItemAtRow(sub->Selection()));

    // From File's open drop-down to an item under View: File's goes, View's opens at the item.
    FrameMenu->SelectItem(view->Items(0));
    ASSERT_TRUE(Bar->DropDown().IsShowing());
    EXPECT_EQ(view, Bar->DropDown().RootItem);
    EXPECT_EQ(view->Items(0), FrameMenu->SelectedItem());

    // An accessibility client's selection takes the same way through the bar.
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    EXPECT_EQ(S_OK, two->Accessible()->accSelect(SELFLAG_TAKESELECTION, self));
    EXPECT_EQ(File, Bar->DropDown().RootItem);
    EXPECT_EQ(recent, FrameMenu->SelectedItem());
    ASSERT_NE(nullptr, window->ChildWindow());
    ASSERT_GE(window->ChildWindow()->Selection(), 0);
    EXPECT_EQ(two, window->ChildWindow()->ItemAtRow(window->ChildWindow()->Selection()));
}
