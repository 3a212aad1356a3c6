#include "ui/BitmapRegionCore.h"
#include "ui/MainPopupsCore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

TEST(MainPopups, ReopenShowsAtMostTheHistoryLength)
{
    const std::vector<std::string> history{"C:\\a\\one.avi", "D:\\two.mp3", "three.wav", "C:\\x\\four.avi"};
    EXPECT_EQ(ReopenEntries(history, 3), (std::vector<TReopenEntry>{{"one.avi", 0}, {"two.mp3", 1}, {"three.wav", 2}}));
    EXPECT_EQ(ReopenEntries(history, 10).size(), 4u);
    EXPECT_TRUE(ReopenEntries(history, 0).empty());
    EXPECT_TRUE(ReopenEntries({}, 5).empty());
}

TEST(MainPopups, SpeedAndModeItems)
{
    EXPECT_EQ(VisualSpeedItem(15), 0);
    EXPECT_EQ(VisualSpeedItem(30), 1);
    EXPECT_EQ(VisualSpeedItem(50), 2);
    EXPECT_EQ(VisualSpeedItem(20), -1);
    EXPECT_EQ(VisualModeItem(0), 2);
    EXPECT_EQ(VisualModeItem(5), 7);
}

TEST(MainPopups, FitRectKeepAspect)
{
    const struct {
        TRect Target, Source, Expected;
    } cases[] = {
        {{0, 0, 100, 100}, {0, 0, 200, 100}, {0, 25, 100, 75}},    // wide: full width
        {{0, 0, 100, 100}, {0, 0, 100, 200}, {25, 0, 75, 100}},    // tall: full height
        {{10, 20, 110, 70}, {0, 0, 4, 2}, {10, 20, 110, 70}},      // same ratio, offset target
        {{0, 0, 101, 50}, {0, 0, 3, 3}, {25, 0, 75, 50}},          // odd margin rounds toward zero
        {{0, 0, 64, 48}, {0, 0, 7, 3}, {0, 10, 64, 37}},           // MulDiv rounds 27.43 to 27
        {{0, 0, 10, 10}, {0, 0, 3, 2}, {0, 1, 10, 8}},             // 6.67 rounds to 7
        {{0, 0, 10, 10}, {0, 0, 0, 5}, {0, 0, 0, 0}},              // no source: nothing
    };
    for (const auto& c : cases) {
        const TRect r = FitRectKeepAspect(c.Target, c.Source);
        EXPECT_EQ(r, c.Expected) << c.Source.Width() << "x" << c.Source.Height() << " in " << c.Target.Width();
    }
    EXPECT_EQ(MulDiv32(5, 3, 2), 8);     // 7.5 away from zero
    EXPECT_EQ(MulDiv32(-5, 3, 2), -8);
    EXPECT_EQ(MulDiv32(1, 1, 0), -1);
}

namespace {
// A 24-bit bitmap of rows at the padded stride, filled with green; pixels set by hand.
struct TBitmap24 {
    int Width, Height;
    ptrdiff_t Stride;
    std::vector<uint8_t> Bits;
    TBitmap24(int width, int height)
        : Width(width), Height(height), Stride(BitmapRowStride(width, 24)),
          Bits(static_cast<size_t>(Stride * height), 0xAA)  // the padding is garbage
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                Set(x, y, 0x00FF00);
    }
    void Set(int x, int y, uint32_t rgb)
    {
        uint8_t* p = &Bits[static_cast<size_t>(y * Stride + x * 3)];
        p[0] = rgb & 0xFF;
        p[1] = rgb >> 8 & 0xFF;
        p[2] = rgb >> 16 & 0xFF;
    }
};
}

TEST(BitmapRegion, RowsArePaddedToWholeWords)
{
    EXPECT_EQ(BitmapRowStride(1, 24), 4);
    EXPECT_EQ(BitmapRowStride(5, 24), 16);
    EXPECT_EQ(BitmapRowStride(8, 24), 24);
    EXPECT_EQ(BitmapRowStride(53, 24), 160);
}

TEST(BitmapRegion, RunsOfEachColourLeaveOutTheKey)
{
    for (const int width : {5, 7, 53}) {  // odd widths: rows carry padding
        TBitmap24 bmp(width, 3);
        bmp.Set(0, 0, 0x000000);
        bmp.Set(1, 0, 0x000000);
        bmp.Set(2, 0, 0xFFFFFF);  // another colour: a run of its own
        bmp.Set(width - 1, 1, 0x123456);  // at the row's end, before the padding
        // Row 2 stays green: no run.
        const std::vector<TColourRun> runs = FindColourRuns(bmp.Bits.data(), width, 3, bmp.Stride, 0x00FF00);
        EXPECT_EQ(runs, (std::vector<TColourRun>{{0, 0, 2}, {0, 2, 3}, {1, width - 1, width}})) << width;
    }
}

TEST(BitmapRegion, BottomUpRowsAndWholeRows)
{
    TBitmap24 bmp(3, 2);
    for (int x = 0; x < 3; ++x)
        bmp.Set(x, 0, 0x000000);  // first row in memory: the bottom row of a bottom-up bitmap
    const std::vector<TColourRun> runs =
        FindColourRuns(bmp.Bits.data() + bmp.Stride, 3, 2, -bmp.Stride, 0x00FF00);
    EXPECT_EQ(runs, (std::vector<TColourRun>{{1, 0, 3}}));
    EXPECT_TRUE(FindColourRuns(nullptr, 3, 2, 12, 0).empty());
    EXPECT_TRUE(FindColourRuns(bmp.Bits.data(), 0, 2, 12, 0).empty());
}

TEST(BitmapRegion, RectanglesJoinTouchingRunsAndEqualRows)
{
    // Rows 0-1 equal (a two-colour span and a lone pixel), row 2 different, row 3 empty, row 4
    // as rows 0-1 again but not under them.
    TBitmap24 bmp(8, 5);
    for (const int y : {0, 1, 4}) {
        bmp.Set(1, y, 0xFFFFFF);
        bmp.Set(2, y, 0x3C3C3C);
        bmp.Set(3, y, 0x3C3C3C);
        bmp.Set(6, y, 0xFFFFFF);
    }
    bmp.Set(1, 2, 0xFFFFFF);
    const std::vector<TRegionRect> rects = RegionRects(FindColourRuns(bmp.Bits.data(), 8, 5, bmp.Stride, 0x00FF00));
    EXPECT_EQ(rects, (std::vector<TRegionRect>{{1, 0, 4, 2}, {6, 0, 7, 2}, {1, 2, 2, 3}, {1, 4, 4, 5}, {6, 4, 7, 5}}));
    EXPECT_TRUE(RegionRects({}).empty());
}

TEST(BitmapRegion, RectanglesCoverExactlyTheRuns)
{
    // Random pictures of few colours: every pixel is in a rectangle iff it is in a run, at most once.
    std::mt19937 random(11);
    for (int round = 0; round < 20; ++round) {
        const int width = 1 + static_cast<int>(random() % 40), height = 1 + static_cast<int>(random() % 12);
        TBitmap24 bmp(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                bmp.Set(x, y, std::array<uint32_t, 3>{0x00FF00, 0xFFFFFF, 0x3C3C3C}[random() % 3]);
        // Some rows repeat the one above, as a text's stems do.
        for (int y = 1; y < height; ++y)
            if (random() % 2)
                std::copy_n(&bmp.Bits[static_cast<size_t>((y - 1) * bmp.Stride)], bmp.Stride, &bmp.Bits[static_cast<size_t>(y * bmp.Stride)]);
        const std::vector<TColourRun> runs = FindColourRuns(bmp.Bits.data(), width, height, bmp.Stride, 0x00FF00);
        std::vector<int> byRuns(static_cast<size_t>(width * height)), byRects(byRuns.size());
        for (const TColourRun& run : runs)
            for (int x = run.Left; x < run.Right; ++x)
                ++byRuns[static_cast<size_t>(run.Y * width + x)];
        const std::vector<TRegionRect> rects = RegionRects(runs);
        for (const TRegionRect& rect : rects)
            for (int y = rect.Top; y < rect.Bottom; ++y)
                for (int x = rect.Left; x < rect.Right; ++x)
                    ++byRects[static_cast<size_t>(y * width + x)];
        EXPECT_EQ(byRects, byRuns) << "round " << round;
        EXPECT_LE(rects.size(), runs.size());
    }
}
