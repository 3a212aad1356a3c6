#include "menus/RaisedItemCore.h"

#include <gtest/gtest.h>

TEST(RaisedItemCore, FrameAndBounds)
{
    EXPECT_EQ(1, RaisedFrameWidth(1, 0));  // the default margins: a one-pixel frame
    EXPECT_EQ(2, RaisedFrameWidth(3, 1));
    EXPECT_EQ(0, RaisedFrameWidth(1, 2));  // never below 0
    EXPECT_EQ(TRect(99, 49, 141, 69), RaisedItemBounds(TRect(100, 50, 140, 68), 1));
    EXPECT_EQ(TRect(100, 50, 140, 68), RaisedItemBounds(TRect(100, 50, 140, 68), 0));
}

TEST(RaisedItemCore, BarItemOpensTheSideThatTouchesItsDropDown)
{
    const struct {
        bool Vertical, Leftwards, Upwards;
        TOpenSides Expected;
    } cases[] = {
        {false, false, false, {false, false, false, true}},  // below the item: bottom open
        {false, false, true, {false, true, false, false}},   // above it: top open, bottom closed
        {false, true, false, {false, false, false, true}},   // leftwards changes nothing across
        {true, false, false, {false, false, true, false}},   // vertical bar: beside, to the right
        {true, true, true, {true, false, false, false}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Expected, BarItemOpenSides(c.Vertical, c.Leftwards, c.Upwards))
            << c.Vertical << c.Leftwards << c.Upwards;
}

TEST(RaisedItemCore, SubmenuRowNarrowsToTheSideItOpensTo)
{
    const TRaisedRow right = RaisedSubmenuRow(TRect(3, 40, 117, 60), 120, false);
    EXPECT_EQ(TRect(2, 40, 116, 60), right.Rect);
    EXPECT_EQ((TOpenSides{true, false, true, true}), right.Sides);
    const TRaisedRow left = RaisedSubmenuRow(TRect(3, 40, 117, 60), 120, true);
    EXPECT_EQ(TRect(5, 40, 118, 60), left.Rect);
    EXPECT_EQ((TOpenSides{false, true, true, true}), left.Sides);
}

TEST(RaisedItemCore, ShadowFollowsTheFlagOrTheSystem)
{
    EXPECT_TRUE(RaisedItemShadowWanted(true, false, false, false));
    EXPECT_TRUE(RaisedItemShadowWanted(false, true, true, true));
    EXPECT_FALSE(RaisedItemShadowWanted(false, true, true, false));
    EXPECT_FALSE(RaisedItemShadowWanted(false, true, false, true));  // the question failed
    EXPECT_FALSE(RaisedItemShadowWanted(false, false, true, true));  // not following the system
}

TEST(RaisedItemCore, TheFrameOpensWhereAnOpenSideMeetsTheMenu)
{
    const TOpenSides bottom{false, false, false, true}, top{false, true, false, false};
    const TOpenSides rowToTheRight{true, false, true, true};
    const struct {
        const char* Name;
        TRect Menu, Raised;
        TOpenSides Sides;
        int Depth;
        TRect Expected;
    } cases[] = {
        {"a bar item over its drop-down", {100, 120, 300, 300}, {119, 99, 161, 121}, bottom, 3, {19, 0, 61, 3}},
        {"a drop-down opened upwards", {100, 0, 300, 100}, {119, 99, 161, 121}, top, 3, {19, 97, 61, 100}},
        {"a row beside its submenu", {200, 37, 300, 137}, {101, 39, 203, 61}, rowToTheRight, 3, {0, 2, 3, 24}},
        {"only over the menu's width", {130, 120, 300, 300}, {119, 99, 161, 121}, bottom, 2, {0, 0, 31, 2}},
        {"a corner joins the side it overlaps least", {100, 100, 300, 300}, {90, 95, 140, 102},
         {false, false, true, true}, 3, {0, 0, 40, 3}},
        {"the touching side is closed", {100, 120, 300, 300}, {119, 99, 161, 121}, top, 3, {}},
        {"apart from the menu", {100, 130, 300, 300}, {119, 99, 161, 121}, bottom, 3, {}},
        {"no frame", {100, 120, 300, 300}, {119, 99, 161, 121}, bottom, 0, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Expected, FrameOpening(c.Menu, c.Raised, c.Sides, c.Depth)) << c.Name;
}
