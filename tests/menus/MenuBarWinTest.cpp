#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/MainMenu.h"
#include "menus/MenuBar2000.h"
#include "menus/MenuPersistence.h"
#include "menus/ThemeSupport.h"
#include "tests/menus/BarTestParts.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

// The drop-down's window: records its root and shows until hidden.
struct TDropLog {
    TMenuItem* Root = nullptr;
    int Shows = 0;
    bool Showing = false;
};

class TDropWindow : public IPopupMenuWindow {
public:
    explicit TDropWindow(TDropLog& log) : FLog(log) {}
    void SetRoot(TMenuItem* item, HMENU) override { FLog.Root = item; }
    void SetAnimation(T_AM2000_Animation) override {}
    void SetWindowOption(int, int) override {}
    void SetStateFlags(unsigned) override {}
    bool Enabled() const override { return true; }
    void Enable() override {}
    void PlaceAt(int, int) override {}
    bool ShowMenu() override
    {
        ++FLog.Shows;
        return FLog.Showing = true;
    }
    void HideMenu() override { FLog.Showing = false; }
    bool IsShowing() const override { return FLog.Showing; }
    void RebuildItems() override {}
    void ItemChanged(TMenuItem*, int) override {}
    bool Cancelled() const override { return true; }

private:
    TDropLog& FLog;
};

class MenuBar : public testing::Test {
protected:
    void SetUp() override
    {
        SetPopupWindowFactory([this](TCustomPopupMenu2000&) { return std::make_unique<TDropWindow>(Log); });
        Form = App.CreateForm<TForm>();
        Form->SetBounds(100, 100, 400, 200);
        Menu = NewComponent<TPopupMenu2000>(Form);
        File = Add(Menu->Items(), "&File");
        Add(File, "Open");
        Edit = Add(Menu->Items(), "&Edit");
        Add(Edit, "Copy");
        Help = Add(Menu->Items(), "Help");
        Help->OnClick = [this](TObject*) { ++HelpClicks; };
        Bar = NewComponent<TMenuBar2000>(Form);
        Bar->SetParent(Form);
        Bar->SetMenu(Menu);
        Form->Show();
        Bar->HandleNeeded();
    }
    void TearDown() override { SetPopupWindowFactory(nullptr); }

    TMenuItem2000* Add(TMenuItem* parent, const std::string& caption) { return AddItem(Form, parent, caption); }
    LPARAM Centre(int index) const { return ItemCentre(*Bar, index); }
    void Send(UINT msg, int index) { SendMessageA(Bar->Handle(), msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, Centre(index)); }

    TApplication App;
    TForm* Form = nullptr;
    TPopupMenu2000* Menu = nullptr;
    TMenuItem2000 *File = nullptr, *Edit = nullptr, *Help = nullptr;
    TMenuBar2000* Bar = nullptr;
    TDropLog Log;
    int HelpClicks = 0;
};

}  // namespace

TEST_F(MenuBar, ItemsAreLaidOutLeftToRightOrTopToBottom)
{
    EXPECT_EQ(Bar, FindMenuBar(Menu));
    const auto& rects = Bar->ItemRects();
    ASSERT_EQ(3u, rects.size());
    int at = 0;
    for (int k = 0; k < 3; ++k) {
        const TSize size = Bar->MeasureItem(Bar->GetItem(k));
        EXPECT_EQ(TRect(at, 0, at + size.cx + 12, size.cy + 5), rects[static_cast<size_t>(k)].Rect) << k;
        at += size.cx + 12;
    }
    EXPECT_EQ(at, Bar->Width());
    EXPECT_EQ(rects[0].Rect.bottom, Bar->Height());
    // After a rebuild without a hot item the first item is hot, idle.
    EXPECT_EQ(File, Bar->HotItem());
    EXPECT_EQ(0, Bar->HotIndex());
    EXPECT_EQ(0, Bar->ItemState());

    Bar->Orientation = 1;
    Bar->Rebuild(true);
    EXPECT_EQ(0, rects[0].Rect.top);
    EXPECT_EQ(rects[0].Rect.bottom, rects[1].Rect.top);
    EXPECT_EQ(rects[2].Rect.bottom, Bar->Height());
    EXPECT_EQ(rects[0].Rect.right, Bar->Width());

    const int bars = MenuBarCount();
    {
        TMenuBar2000 another(nullptr);
        EXPECT_EQ(bars + 1, MenuBarCount());
    }
    EXPECT_EQ(bars, MenuBarCount());
}

TEST_F(MenuBar, HoverPressSwitchAndClose)
{
    Send(WM_MOUSEMOVE, 1);
    EXPECT_EQ(Edit, Bar->HotItem());
    EXPECT_EQ(1, Bar->HotIndex());
    EXPECT_EQ(1, Bar->ItemState());
    SendMessageA(Bar->Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(0, Bar->ItemState());

    Send(WM_LBUTTONDOWN, 0);  // press opens the item's drop-down below it
    EXPECT_EQ(2, Bar->ItemState());
    EXPECT_EQ(File, Log.Root);
    EXPECT_TRUE(Log.Showing);
    Send(WM_MOUSEMOVE, 1);  // moving over another item switches drop-downs at once
    EXPECT_EQ(Edit, Log.Root);
    EXPECT_EQ(2, Log.Shows);
    EXPECT_EQ(2, Bar->ItemState());
    Send(WM_LBUTTONDOWN, 1);  // a second press closes it
    EXPECT_EQ(0, Bar->ItemState());
    EXPECT_FALSE(Log.Showing);

    Send(WM_LBUTTONDOWN, 2);  // an item without sub-items clicks and opens nothing
    EXPECT_EQ(1, HelpClicks);
    EXPECT_EQ(2, Log.Shows);
}

TEST_F(MenuBar, HotTrackOpensAfterHalfASecond)
{
    Bar->SetHotTrack(true);
    POINT p{(Bar->ItemRects()[1].Rect.left + Bar->ItemRects()[1].Rect.right) / 2, 5};
    ClientToScreen(Bar->Handle(), &p);
    SetCursorPos(p.x, p.y);
    Send(WM_MOUSEMOVE, 1);
    EXPECT_EQ(1, Bar->ItemState());
    EXPECT_EQ(0, Log.Shows);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 1500 && Log.Shows == 0) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(10);
    }
    EXPECT_GE(GetTickCount() - start, 450u);
    EXPECT_EQ(Edit, Log.Root);
    EXPECT_EQ(2, Bar->ItemState());
}

TEST(MenuBarMain, ShowsTheMergedItemsOfAMainMenu)
{
    TApplication app;
    TForm* form = app.CreateForm<TForm>();
    auto* frame = NewComponent<TMainMenu>(form);
    frame->Items()->AddNew("File")->GroupIndex = 0;
    frame->Items()->AddNew("Edit")->GroupIndex = 1;
    TMainMenu child(nullptr);
    child.Items()->AddNew("Child")->GroupIndex = 1;
    frame->Merge(&child);
    auto* bar = NewComponent<TMenuBar2000>(form);
    bar->SetParent(form);
    bar->SetMenu(frame);
    bar->HandleNeeded();
    ASSERT_EQ(2, bar->GetItemCount());
    EXPECT_EQ("Child", bar->GetItem(1)->Caption);
    EXPECT_EQ(2u, bar->ItemRects().size());
}

namespace {

// The bounding box of the pixels that match within a bar item (inset by `inset`) as drawn on screen.
TRect BoxOf(TMenuBar2000& bar, const TRect& item, int inset, const std::function<bool(COLORREF)>& match)
{
    UpdateWindow(bar.Handle());
    const HDC window = GetDC(bar.Handle());
    TRect box(item.right, item.bottom, item.left, item.top);
    for (int y = item.top + inset; y < item.bottom - inset; ++y)
        for (int x = item.left + inset; x < item.right - inset; ++x)
            if (match(GetPixel(window, x, y))) {
                box.left = std::min<int>(box.left, x);
                box.top = std::min<int>(box.top, y);
                box.right = std::max<int>(box.right, x + 1);
                box.bottom = std::max<int>(box.bottom, y + 1);
            }
    ReleaseDC(bar.Handle(), window);
    return box;
}

// The dark (text) pixels of a bar item.
TRect InkOf(TMenuBar2000& bar, const TRect& item)
{
    return BoxOf(bar, item, 2, [](COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 200; });
}

}  // namespace

TEST_F(MenuBar, AVerticalBarTurnsItsCaptions)
{
    Edit->SetCaption("Wide caption");
    Bar->SetAlign(alNone);
    Bar->Rebuild(true);
    const TRect flat = InkOf(*Bar, Bar->ItemRects()[1].Rect);
    ASSERT_GT(flat.Width(), 0);
    EXPECT_GT(flat.Width(), 2 * flat.Height());

    Bar->Orientation = 1;
    Bar->Rebuild(true);
    const TRect turned = InkOf(*Bar, Bar->ItemRects()[1].Rect);
    ASSERT_GT(turned.Height(), 0);
    EXPECT_GT(turned.Height(), 2 * turned.Width());
}

TEST_F(MenuBar, AVerticalBarDrawsGlyphsTurnedAboveTheirCaptions)
{
    // A glyph whose top four rows are red and the rest blue, so that its turn shows.
    TImageList images(nullptr, 16, 16);
    std::vector<uint32_t> glyph(16 * 16, 0xFF0000FF);
    std::fill(glyph.begin(), glyph.begin() + 4 * 16, 0xFFFF0000);
    images.AddStrip(16, 16, glyph.data());
    Menu->Images = &images;
    Edit->ImageIndex = 0;
    Edit->SetCaption("Wide caption");
    Bar->SetAlign(alNone);
    const struct {
        bool Vertical;
        TRect Red;  // within the glyph's 16 x 16 box
    } cases[] = {
        {false, {0, 0, 16, 4}},   // flat: the red rows on top
        {true, {12, 0, 16, 16}},  // turned a quarter clockwise: the red rows at the right
    };
    for (const auto& c : cases) {
        Bar->Orientation = c.Vertical ? 1 : 0;
        Bar->Rebuild(true);
        const TRect item = Bar->ItemRects()[1].Rect;
        const TRect red = BoxOf(*Bar, item, 0, [](COLORREF c) { return c == RGB(255, 0, 0); });
        const TRect blue = BoxOf(*Bar, item, 0, [](COLORREF c) { return c == RGB(0, 0, 255); });
        const TRect box(std::min(red.left, blue.left), std::min(red.top, blue.top), std::max(red.right, blue.right),
                        std::max(red.bottom, blue.bottom));
        ASSERT_EQ(TSize(16, 16), TSize(box.Width(), box.Height())) << c.Vertical;
        EXPECT_EQ(c.Red, TRect(red.left - box.left, red.top - box.top, red.right - box.left, red.bottom - box.top))
            << c.Vertical;
        // 4 pixels in from the item's start, centred across it; the caption follows it.
        const TRect ink = InkOf(*Bar, item);
        if (c.Vertical) {
            EXPECT_EQ(item.top + 4, box.top);
            EXPECT_NEAR((item.Width() - 16) / 2, box.left - item.left, 1);
            EXPECT_GE(ink.top, box.bottom);
            EXPECT_GT(ink.Height(), 2 * ink.Width());
        } else {
            EXPECT_EQ(item.left + 4, box.left);
            EXPECT_NEAR((item.Height() - 16) / 2, box.top - item.top, 1);
            EXPECT_GE(ink.left, box.right);
        }
    }
    Menu->Images = nullptr;
}

TEST_F(MenuBar, TheEndOfAnItemDragRefreshesTheBar)
{
    TMenuDragState& drag = MenuDragState();
    drag.Dragged = Help;
    SetDropTarget(File);
    MoveMenuItem(true);
    ASSERT_EQ(3u, Bar->ItemRects().size());
    EXPECT_EQ(Help, Bar->ItemRects()[0].Item);
    EXPECT_EQ(File, Bar->ItemRects()[1].Item);
}

namespace {

// The tool regions of the bar's tip window, in the order they were added.
std::vector<std::pair<TRect, std::string>> ToolRegions(TMenuBar2000& bar)
{
    std::vector<std::pair<TRect, std::string>> regions;
    if (!bar.ToolTip())
        return regions;
    const HWND tip = bar.ToolTip()->Handle();
    const int count = static_cast<int>(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
    for (int k = 0; k < count; ++k) {
        char text[80] = {};
        TOOLINFOA info{};
        info.cbSize = TTTOOLINFOA_V1_SIZE;
        info.lpszText = text;
        if (SendMessageA(tip, TTM_ENUMTOOLSA, static_cast<WPARAM>(k), reinterpret_cast<LPARAM>(&info)))
            regions.emplace_back(TRect(info.rect), text);
    }
    return regions;
}

}  // namespace

TEST_F(MenuBar, GlyphsMeasureAndHintsBecomeToolRegions)
{
    TImageList images(nullptr, 16, 16);
    const std::vector<uint32_t> strip(16 * 16, 0xFF102030);
    images.AddStrip(16, 16, strip.data());
    Menu->Images = &images;
    File->Caption = "";
    File->ImageIndex = 0;
    File->Hint = "Files";
    Help->Hint = "About";
    // A glyph without a caption: 16 - 6 wide, 16 - 3 high.
    EXPECT_EQ(TSize(10, 13), Bar->MeasureItem(File));
    EXPECT_EQ(TSize(16, 16), Bar->GetGlyphSize(File));
    TMenuItem2000 plain(nullptr);
    plain.Caption = "Plain words";
    EXPECT_EQ(TSize(0, 0), Bar->GetGlyphSize(&plain));

    Bar->Rebuild(true);
    EXPECT_EQ(nullptr, Bar->ToolTip());  // the menu shows no hints
    Menu->SetShowHint(true);
    Bar->Rebuild(true);
    const auto regions = ToolRegions(*Bar);
    ASSERT_EQ(2u, regions.size());
    EXPECT_EQ(TRect(0, 0, 22, 18), regions[0].first);
    EXPECT_EQ("Files", regions[0].second);
    const TSize edit = Bar->MeasureItem(Edit), help = Bar->MeasureItem(Help);
    EXPECT_EQ(TRect(22 + edit.cx + 12, 0, 22 + edit.cx + 12 + help.cx + 12, help.cy + 5), regions[1].first);
    EXPECT_EQ("About", regions[1].second);
    Menu->Images = nullptr;
}
