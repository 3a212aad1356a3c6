// The menu window's input decisions without a window.
#include "menus/MenuInputCore.h"

#include <gtest/gtest.h>

namespace {

using M = T_AM2000_Margins;

// Ten rows of 20 pixels below a frame of 2 (border 1, bevel 1).
struct TTenRows {
    TMenuLayoutInput In;
    TMenuLayout Layout;
    TTenRows()
    {
        In.Margins = {};
        In.Margins[M::Border] = 1;
        In.Margins[M::Bevel] = 1;
        Layout.FirstTop = 2;
        for (int i = 0; i < 10; ++i)
            Layout.Rows.push_back(TMenuRow{2 + 20 * i, 20, i});
    }
    TMenuHitInput Hit(int width = 100, int height = 204) const
    {
        TMenuHitInput h;
        h.Layout = &Layout;
        h.In = &In;
        h.Width = width;
        h.Height = height;
        h.LastRow = 9;
        return h;
    }
};

}  // namespace

TEST(MenuHitTest, RowsFrameTitleTearOffAndExpandButton)
{
    TTenRows t;
    TMenuHitInput h = t.Hit();
    struct Case {
        int x, y, last, expected;
    } cases[] = {
        {10, 2, -1, 0},   {10, 21, -1, 0}, {10, 22, -1, 1}, {10, 201, -1, 9},
        {1, 50, 4, -1},   {99, 50, 4, -1}, {10, 1, 4, -1},  {10, 202, 4, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MenuHitTest(h, c.x, c.y, c.last), c.expected) << c.x << "," << c.y;
    // Nothing to show answers none everywhere.
    h.HasContent = false;
    EXPECT_EQ(MenuHitTest(h, 10, 30, 3), -1);
    h.HasContent = true;

    t.In.TitleVisible = true;
    t.In.TitleWidth = 20;
    EXPECT_EQ(MenuHitTest(h, 15, 30, 3), -1);
    EXPECT_EQ(MenuHitTest(h, 25, 30, 3), 1);
    t.In.TitleVisible = false;

    t.In.Draggable = true;
    EXPECT_EQ(MenuHitTest(h, 10, 10, 3), -2);
    EXPECT_EQ(MenuHitTest(h, 10, 11, 3), 0);
    t.In.Floating = true;  // a torn-off menu has no bar
    EXPECT_EQ(MenuHitTest(h, 10, 10, 3), 0);
    t.In.Floating = false;
    t.In.Draggable = false;

    // The expand band below the rows; with the window taller than the rows.
    h = t.Hit(100, 224);
    h.HasExpand = true;
    EXPECT_EQ(MenuHitTest(h, 10, 205, 3), -3);
    EXPECT_EQ(MenuHitTest(h, 10, 200, 3), 9);
}

TEST(MenuHitTest, ScrollModeShiftsRowsAndFindsTheScrollColumn)
{
    TTenRows t;
    TMenuHitInput h = t.Hit(120, 104);  // five rows fit
    h.Scroll = true;
    h.FirstRow = 3;
    h.LastRow = LastRowThatFits(t.Layout, t.In, 104, 3);
    ASSERT_EQ(h.LastRow, 7);
    T_AM2000_MenuItemRect rect;
    rect.ContentLeft = 2;
    rect.ContentRight = 90;
    rect.FrameWidth = 2;
    h.Bar = ScrollBarGeometry(rect, false, 104, 16, 16, 10, h.FirstRow, h.LastRow);
    // Track 100 - 2*16 - 4 = 68: 6.8 pixels a row; thumb from 20 + 20 for 34.
    EXPECT_DOUBLE_EQ(h.Bar.PixelsPerRow, 6.8);
    EXPECT_EQ(h.Bar.Thumb.top, 38);
    EXPECT_EQ(h.Bar.Thumb.bottom, 72);
    EXPECT_EQ(MenuHitTest(h, 10, 2, -1), 3);
    EXPECT_EQ(MenuHitTest(h, 10, 101, -1), 7);
    EXPECT_EQ(MenuHitTest(h, 100, 5, -1), -10);
    EXPECT_EQ(MenuHitTest(h, 100, 95, -1), -9);
    EXPECT_EQ(MenuHitTest(h, 100, 50, -1), -6);
    EXPECT_EQ(MenuHitTest(h, 100, 80, -1), -7);
    EXPECT_EQ(MenuHitTest(h, 100, 25, -1), -8);
    EXPECT_EQ(MenuHitTest(h, 92, 50, 4), 4);  // the gap before the bar keeps the selection

    // Mirrored: the same column at the left, rows from 23 on; the right side is rows again.
    rect.ContentLeft = 23;
    rect.ContentRight = 118;
    h.Bar = ScrollBarGeometry(rect, true, 104, 16, 16, 10, h.FirstRow, h.LastRow);
    EXPECT_EQ(h.Bar.Column, TRect(2, 2, 23, 102));
    EXPECT_EQ(h.Bar.Up, TRect(2, 2, 18, 18));
    EXPECT_EQ(h.Bar.Thumb, TRect(2, 38, 18, 72));
    EXPECT_EQ(MenuHitTest(h, 5, 5, -1), -10);
    EXPECT_EQ(MenuHitTest(h, 5, 95, -1), -9);
    EXPECT_EQ(MenuHitTest(h, 5, 50, -1), -6);
    EXPECT_EQ(MenuHitTest(h, 20, 50, 4), 4);
    EXPECT_EQ(MenuHitTest(h, 100, 5, -1), 3);
    EXPECT_EQ(MenuHitTest(h, 30, 101, -1), 7);
}

TEST(MenuStepping, SkipsRowsThatCannotBeSelectedAndWrapsUpwardOnly)
{
    const std::vector<bool> rows{false, true, true, false, true, false};
    struct Case {
        int target, direction;
        bool expand;
        int row;
        bool expanded;
    } cases[] = {
        {0, 1, false, 1, false},   // down from none: the first selectable
        {-2, -1, false, 4, false}, // up from none wraps to the last selectable
        {0, -1, false, 4, false},  // up from row 1 passes 0 and wraps
        {3, 1, false, 4, false},   {5, 1, false, -1, false}, // past the last: none
        {5, 1, true, -1, true},    // ... or the hidden items
        {6, 1, false, -1, false},
    };
    for (const Case& c : cases) {
        const TStepResult r = StepToSelectable(rows, c.target, c.direction, c.expand);
        EXPECT_EQ(r.Row, c.row) << c.target << " " << c.direction;
        EXPECT_EQ(r.Expand, c.expanded) << c.target << " " << c.direction;
    }
    EXPECT_EQ(StepToSelectable({false, false}, 0, -1, false).Row, -1);  // nothing selectable ends
    EXPECT_EQ(StepToSelectable({}, 0, 1, false).Row, -1);
}

TEST(MenuScrolling, ThumbStepsRoundHalvesToEvenAndKeepTheRangeInside)
{
    EXPECT_EQ(ThumbRows(6, 6.8), 0);  // less than a row
    EXPECT_EQ(ThumbRows(-6, 6.8), 0);
    EXPECT_EQ(ThumbRows(7, 6.8), 1);
    EXPECT_EQ(ThumbRows(10, 4.0), 2);  // 2.5 to even
    EXPECT_EQ(ThumbRows(14, 4.0), 4);  // 3.5 to even
    EXPECT_EQ(ThumbRows(-10, 4.0), -2);
    EXPECT_EQ(ThumbRows(5, 0.0), 0);

    TTenRows t;
    EXPECT_EQ(FirstRowThatFits(t.Layout, t.In, 104, 9), 5);
    TScrollRange r = ScrollByThumb(t.Layout, t.In, 104, {3, 7}, 4);
    EXPECT_EQ(r.First, 5);
    EXPECT_EQ(r.Last, 9);
    r = ScrollByThumb(t.Layout, t.In, 104, {3, 7}, -5);
    EXPECT_EQ(r.First, 0);
    EXPECT_EQ(r.Last, 4);
    struct Case {
        int area, first, last;
    } cases[] = {{-10, 2, 6}, {-9, 4, 8}, {-7, 5, 9}, {-8, 0, 4}};
    for (const Case& c : cases) {
        const TScrollRange s = ScrollByArea(t.Layout, t.In, 104, {3, 7}, c.area);
        EXPECT_EQ(s.First, c.first) << c.area;
        EXPECT_EQ(s.Last, c.last) << c.area;
    }
    EXPECT_EQ(ScrollByArea(t.Layout, t.In, 104, {5, 9}, -9).First, 5);  // no rows remain
    EXPECT_EQ(ScrollByArea(t.Layout, t.In, 104, {0, 4}, -10).First, 0);
}

TEST(MenuAccelerators, MarkFirstLetterAndDisabledRows)
{
    const std::vector<TAcceleratorRow> rows{
        {"&Play", true},   {"-", true, false, true}, {"E&xit", true}, {"Settings", false},
        {"Stop", true},    {"Sub&titles\tAlt+T", true},
    };
    EXPECT_EQ(FindAcceleratorRow(rows, 'P'), 0);
    EXPECT_EQ(FindAcceleratorRow(rows, 'X'), 2);
    EXPECT_EQ(FindAcceleratorRow(rows, 'E'), -1);  // "&" marks another letter
    EXPECT_EQ(FindAcceleratorRow(rows, 'S'), 4);   // the disabled "Settings" is passed over
    EXPECT_EQ(FindAcceleratorRow(rows, 'T'), 5);
    EXPECT_EQ(FindAcceleratorRow(rows, 'Q'), -1);
}

TEST(MenuSubmenus, AnchorAndTiming)
{
    TTenRows t;
    TAnchorInput a;
    a.ClientWidth = 100;
    a.RowTop = 42;
    EXPECT_EQ(SubmenuAnchor(a, t.In), TPoint(95, 40));
    a.Scroll = true;
    a.ScrollBarWidth = 16;
    a.ScrollShift = 20;
    EXPECT_EQ(SubmenuAnchor(a, t.In), TPoint(74, 20));
    // A mirrored menu's column is at its left: the right edge keeps its 5 pixels.
    a.ScrollOnLeft = true;
    EXPECT_EQ(SubmenuAnchor(a, t.In), TPoint(95, 20));
    a.OpensLeftwards = true;
    EXPECT_EQ(SubmenuAnchor(a, t.In), TPoint(5 + 21, 20));
    a.ScrollOnLeft = false;
    t.In.ThreeD = true;
    EXPECT_EQ(SubmenuAnchor(a, t.In), TPoint(5, 18));
    a.OpensLeftwards = false;
    a.TopRightToLeft = true;
    EXPECT_EQ(SubmenuAnchor(a, t.In), TPoint(5, 18));

    struct Case {
        TSubmenuQuery q;
        TSubmenuAction action;
        unsigned delay;
    } cases[] = {
        {{false}, TSubmenuAction::Delayed, 250},
        {{true}, TSubmenuAction::Delayed, 250},
        {{true, false, false, false, true}, TSubmenuAction::Delayed, 1},
        {{true, false, false, true}, TSubmenuAction::Now, 0},
        {{true, true, false}, TSubmenuAction::None, 0},
        {{true, true, true}, TSubmenuAction::Now, 0},
    };
    for (const Case& c : cases) {
        const TSubmenuTiming timing = SubmenuTiming(c.q);
        EXPECT_EQ(timing.Action, c.action);
        EXPECT_EQ(timing.Delay, c.delay);
    }
}

TEST(MenuInputMisc, MoveBoxFadeStepsAndKeys)
{
    const TRect box = MoveBoxAround(50, 60);
    EXPECT_TRUE(InMoveBox(box, 48, 58));
    EXPECT_TRUE(InMoveBox(box, 51, 61));
    EXPECT_FALSE(InMoveBox(box, 52, 60));
    EXPECT_FALSE(InMoveBox(box, 50, 57));

    EXPECT_EQ(FadeSteps(100), 10);
    EXPECT_EQ(FadeSteps(75), 7);
    EXPECT_EQ(FadePercent(0, 10), 100);
    EXPECT_EQ(FadePercent(3, 10), 70);
    EXPECT_EQ(FadePercent(2, 7), 71);
    EXPECT_EQ(PercentToAlpha(70), 178);  // 178.5 to even
    EXPECT_EQ(PercentToAlpha(30), 76);
    EXPECT_EQ(PercentToAlpha(100), 255);

    EXPECT_EQ(MenuKeyAction(0x28, false, false), TMenuKey::Next);
    EXPECT_EQ(MenuKeyAction(0x28, true, false), TMenuKey::Expand);
    EXPECT_EQ(MenuKeyAction(0x09, false, true), TMenuKey::Previous);
    EXPECT_EQ(MenuKeyAction(0x10, false, false), TMenuKey::Nothing);
    EXPECT_EQ(MenuKeyAction('A', false, false), TMenuKey::Accelerator);
}
