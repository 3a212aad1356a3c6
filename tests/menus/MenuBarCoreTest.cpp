#include "framework/Classes.h"
#include "menus/MenuBarCore.h"

#include <gtest/gtest.h>

TEST(MenuBarCore, ItemMeasurementAndToolRegions)
{
    const struct {
        TSize Text, Glyph;
        bool CaptionEmpty;
        TSize Expected;
    } cases[] = {
        {{0, 0}, {16, 16}, true, {10, 13}},    // glyph only
        {{30, 13}, {16, 16}, false, {51, 13}}, // caption and glyph
        {{30, 13}, {0, 0}, false, {30, 13}},   // caption only
        {{30, 8}, {16, 24}, false, {51, 21}},  // a tall glyph sets the height
        {{0, 0}, {0, 0}, true, {0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Expected, MeasureBarItem(c.Text, c.Glyph, c.CaptionEmpty)) << c.Text.cx << " " << c.Glyph.cx;

    TObject a, b;
    const auto regions = LayoutBarItems({{&a, {10, 13}}, {&b, {30, 13}}}, false);
    ASSERT_EQ(2u, regions.size());
    EXPECT_EQ(TRect(0, 0, 22, 18), regions[0].Rect);
    EXPECT_EQ(TRect(22, 0, 64, 18), regions[1].Rect);
    const auto vertical = LayoutBarItems({{&a, {10, 13}}, {&b, {30, 13}}}, true, 20);
    EXPECT_EQ(TRect(0, 20, 18, 42), vertical[0].Rect);
    EXPECT_EQ(TRect(0, 42, 18, 84), vertical[1].Rect);
}

TEST(MenuBarCore, SystemItemAndBorderIcons)
{
    EXPECT_EQ(20, SystemItemWidth(true));
    EXPECT_EQ(0, SystemItemWidth(false));
    const unsigned all = biSystemMenu | biMinimize | biMaximize;
    EXPECT_EQ(57, BorderIconsWidth(true, all, false));
    EXPECT_EQ(50, BorderIconsWidth(true, all, true));
    EXPECT_EQ(21, BorderIconsWidth(true, biSystemMenu, false));
    EXPECT_EQ(16, BorderIconsWidth(true, biSystemMenu, true));
    EXPECT_EQ(41, BorderIconsWidth(true, biMinimize, false));
    EXPECT_EQ(5, BorderIconsWidth(true, 0, false));
    EXPECT_EQ(0, BorderIconsWidth(false, all, false));

    EXPECT_EQ(TRect(0, 0, 20, 17), SystemItemRect(20, false, false, 400, 57, 400));
    EXPECT_EQ(TRect(327, 0, 347, 17), SystemItemRect(20, false, true, 400, 57, 400));
    EXPECT_EQ(TRect(23, 0, 40, 20), SystemItemRect(20, true, false, 40, 50, 40));
    EXPECT_EQ(TRect(), SystemItemRect(0, false, false, 400, 57, 400));
}

TEST(MenuBarCore, HitTestAndItemRects)
{
    TObject system, a, b;
    const TRect systemRect = SystemItemRect(20, false, false, 200, 0, 200);
    const auto list = LayoutBarItems({{&a, {30, 13}}, {&b, {30, 13}}}, false, 20);
    const struct {
        TPoint Point;
        TObject* Expected;
    } cases[] = {
        {{0, 0}, &system}, {{19, 16}, &system},
        {{20, 0}, &a},      // the system item's right edge is not its own
        {{5, 17}, nullptr}, // nor its bottom edge
        {{61, 5}, &a}, {{62, 5}, &b}, {{103, 17}, &b}, {{104, 5}, nullptr}, {{30, 18}, nullptr},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Expected, BarHitTest(c.Point, systemRect, &system, list)) << c.Point.x << "," << c.Point.y;
    EXPECT_EQ(&a, BarHitTest({0, 0}, TRect(), nullptr, LayoutBarItems({{&a, {30, 13}}}, false)));

    TRect rect(1, 2, 3, 4);
    EXPECT_TRUE(FindItemRect(list, 1, &b, rect));
    EXPECT_EQ(list[1].Rect, rect);
    EXPECT_TRUE(FindItemRect(list, 1, &a, rect));  // a stale index: searched from the start
    EXPECT_EQ(list[0].Rect, rect);
    EXPECT_FALSE(FindItemRect(list, 0, &system, rect));  // not found: left as it was
    EXPECT_EQ(list[0].Rect, rect);
}

TEST(MenuBarCore, PointInRectTakesTheFarEdgesOnlyWhenInclusive)
{
    const TRect rect(10, 20, 30, 40);
    const struct {
        TPoint Point;
        bool Half, Inclusive;
    } cases[] = {
        {{10, 20}, true, true}, {{29, 39}, true, true}, {{30, 25}, false, true}, {{15, 40}, false, true},
        {{30, 40}, false, true}, {{9, 25}, false, false}, {{15, 19}, false, false}, {{31, 25}, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.Half, PointInRect(rect, c.Point)) << c.Point.x << "," << c.Point.y;
        EXPECT_EQ(c.Inclusive, PointInRectInclusive(rect, c.Point)) << c.Point.x << "," << c.Point.y;
    }
}

TEST(MenuBarCore, HotItemRules)
{
    EXPECT_EQ(0, HotIndexAfterRebuild(false, -1, 3));  // none hot: the first becomes hot
    EXPECT_EQ(2, HotIndexAfterRebuild(true, 2, 3));
    EXPECT_EQ(-1, HotIndexAfterRebuild(true, 3, 3));  // kept index no longer below the count
    EXPECT_EQ(-1, HotIndexAfterRebuild(false, -1, 0));

    EXPECT_EQ(1, ItemStateForNewHotItem(0, true, false));
    EXPECT_EQ(2, ItemStateForNewHotItem(0, true, true));
    EXPECT_EQ(0, ItemStateForNewHotItem(0, false, true));
    EXPECT_EQ(3, ItemStateForNewHotItem(3, true, false));
}

TEST(MenuBarCore, KeysStepOverHiddenItemsAndWrap)
{
    const bool visible[] = {true, false, true, true};
    auto usable = [&](int k) { return visible[k]; };
    const struct {
        int Current, Step, Expected;
    } cases[] = {
        {-1, 1, 0}, {-1, -1, 3}, {0, 1, 2}, {2, -1, 0}, {3, 1, 0}, {0, -1, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Expected, NextBarItem(c.Current, 4, c.Step, usable)) << c.Current << " " << c.Step;
    EXPECT_EQ(-1, NextBarItem(-1, 4, 1, [](int) { return false; }));
    EXPECT_EQ(-1, NextBarItem(-1, 0, 1, usable));
}

// Right to left, a horizontal bar's system item stands at its end before the border icons and
// the items start at the beginning; a drop-down opens from the item's right edge.
TEST(MenuBarCore, RightToLeftPlacesTheSystemItemAndAnchorAtTheEnd)
{
    const struct {
        bool Vertical, RightToLeft;
        int Start;
        TPoint Anchor;  // of an item at (40, 0, 90, 18), or (0, 40, 18, 90) on a vertical bar
    } cases[] = {
        {false, false, 20, {40, 18}},
        {false, true, 0, {89, 18}},
        {true, false, 20, {-1, 40}},
        {true, true, 20, {-1, 40}},  // a vertical bar always opens beside its item
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.Start, BarItemsStart(20, c.Vertical, c.RightToLeft)) << c.Vertical << c.RightToLeft;
        const TRect item = c.Vertical ? TRect(0, 40, 18, 90) : TRect(40, 0, 90, 18);
        const TPoint anchor = DropDownAnchor(item, c.Vertical, c.RightToLeft);
        EXPECT_EQ(c.Anchor.x, anchor.x) << c.Vertical << c.RightToLeft;
        EXPECT_EQ(c.Anchor.y, anchor.y) << c.Vertical << c.RightToLeft;
    }
    EXPECT_EQ(0, BarItemsStart(0, false, false));
    // Items of 100 after the system item's start; the bar 100 + 20 + 57 long: the system item
    // ends 4 into the border icons' leading gap of 5, after the last item.
    const TRect system = SystemItemRect(20, false, true, 177, 57, 177);
    EXPECT_EQ(TRect(104, 0, 124, 17), system);
    EXPECT_GE(system.left, 100);
}

TEST(MenuBarCore, BorderIconsStyleChoosesTheButtonLook)
{
    const struct {
        T_AM2000_FlatStyle Style;
        TBorderIconLook Look;
    } cases[] = {
        {bsDefault, {false, false}}, {bsWin95, {false, false}}, {bsWin31, {true, true}}, {bsWinXP, {true, false}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Look, BorderIconLook(c.Style)) << int(c.Style);
}
