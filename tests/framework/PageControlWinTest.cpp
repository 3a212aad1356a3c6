#include "ControlsFixture.h"
#include "framework/PageControl.h"

#include <commctrl.h>

TEST_F(ControlsFixture, PageControlShowsTheActiveSheetAndSwitchesOnTabs)
{
    auto* pages = Add<TPageControl>();
    pages->SetBounds(0, 0, 300, 200);
    auto* one = NewComponent<TTabSheet>(form);
    one->SetCaption("ID3");
    one->SetPageControl(pages);
    auto* two = NewComponent<TTabSheet>(form);
    two->SetCaption("AVI");
    two->SetPageControl(pages);
    form->HandleNeeded();
    const HWND tabs = pages->Handle();
    ASSERT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 2);
    char text[32] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tabs, TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, "AVI");
    EXPECT_EQ(pages->ActivePage(), one);
    EXPECT_TRUE(IsWindowVisible(one->Handle()) || !IsWindowVisible(form->Handle()));
    EXPECT_TRUE(GetWindowLongA(one->Handle(), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongA(two->Handle(), GWL_STYLE) & WS_VISIBLE);
    EXPECT_GT(one->Top(), 0);  // below the tab strip

    int changes = 0;
    pages->OnChange = [&](TObject*) { ++changes; };
    SendMessageA(tabs, TCM_SETCURSEL, 1, 0);
    NMHDR hdr{tabs, static_cast<UINT_PTR>(GetDlgCtrlID(tabs)), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(GetParent(tabs), WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
    EXPECT_EQ(pages->ActivePage(), two);
    EXPECT_EQ(pages->ActivePageIndex(), 1);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(GetWindowLongA(two->Handle(), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongA(one->Handle(), GWL_STYLE) & WS_VISIBLE);
}

TEST_F(ControlsFixture, PageControlWithoutTabsShowsPagesOverItsWholeArea)
{
    auto* pages = Add<TPageControl>();
    pages->SetBounds(10, 10, 300, 200);
    TTabSheet* sheets[3] = {};
    for (auto*& sheet : sheets) {
        sheet = NewComponent<TTabSheet>(form);
        sheet->SetPageControl(pages);
        sheet->SetTabVisible(false);
    }
    form->HandleNeeded();
    EXPECT_EQ(SendMessageA(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 0);
    pages->SetActivePageIndex(2);
    EXPECT_EQ(pages->ActivePage(), sheets[2]);
    const TRect r = sheets[2]->BoundsRect();
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 300);
    EXPECT_EQ(r.bottom, 200);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ((GetWindowLongA(sheets[i]->Handle(), GWL_STYLE) & WS_VISIBLE) != 0, i == 2) << i;
}
