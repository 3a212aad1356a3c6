// The bookmark list's texts and the position's round trip through its hexadecimal text.
#include "ui/BookmarksCore.h"

#include <gtest/gtest.h>

#include <limits>

TEST(Bookmarks, NameCountsTheRows)
{
    EXPECT_EQ(BookmarkName(1), "Bookmark 01");
    EXPECT_EQ(BookmarkName(10), "Bookmark 10");
    EXPECT_EQ(BookmarkName(100), "Bookmark 100");
}

TEST(Bookmarks, RowTexts)
{
    const struct {
        int64_t Position;
        const char *Time, *Hex;
    } cases[] = {
        {12345678, "00:00:01", "0000000000BC614E"},
        {19600000, "00:00:02", "00000000012B1280"},  // 19.6 tenths round up to 2 s
        {0, "00:00:00", "0000000000000000"},
        {12500000, "00:00:01", "0000000000BEBC20"},  // 12.5 tenths: halves go to the even 12
        {13500000, "00:00:01", "0000000000CDFE60"},  // 13.5 tenths: up to 14
        {95000000, "00:00:09", "0000000005A995C0"},  // 95 tenths: 9.5 s shows 9
        {36610000000, "01:01:01", "0000000886204480"},
        {3600000000000, "100:00:00", "0000034630B8A000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BookmarkTimeText(c.Position), c.Time) << c.Position;
        EXPECT_EQ(BookmarkPositionHex(c.Position), c.Hex) << c.Position;
    }
}

TEST(Bookmarks, PositionSurvivesItsHexText)
{
    const int64_t positions[] = {0, 12345678, 0x123456789ABCDEF0, std::numeric_limits<int64_t>::max(),
                                 std::numeric_limits<int64_t>::min(), -1};
    for (const int64_t p : positions) {
        const std::string hex = BookmarkPositionHex(p);
        EXPECT_EQ(hex.size(), 16u) << p;
        EXPECT_EQ(BookmarkPositionFromHex(hex), p) << hex;
    }
    EXPECT_EQ(BookmarkPositionHex(std::numeric_limits<int64_t>::max()), "7FFFFFFFFFFFFFFF");
    EXPECT_EQ(BookmarkPositionHex(-1), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(BookmarkPositionFromHex("bc614e"), 12345678);
}

TEST(Bookmarks, BadHexTextGivesNothing)
{
    for (const char* bad : {"", "12345678901234567", "$BC614E", "BC 61", "-1", "0x10", "G"})
        EXPECT_EQ(BookmarkPositionFromHex(bad), std::nullopt) << bad;
}

TEST(Bookmarks, MenuCaptionAddsTheTimeWithTwoBlanks)
{
    EXPECT_EQ(BookmarkMenuCaption("Bookmark 01", "00:00:01", false), "Bookmark 01  00:00:01");
    EXPECT_EQ(BookmarkMenuCaption("Bookmark 01", "00:00:01", true), "Bookmark 01");
}
