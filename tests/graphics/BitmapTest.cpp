#include "graphics/Bitmap32Core.h"
#include "graphics/Blend.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {
using TPixels = std::set<std::pair<int, int>>;

// The pixels that differ from the background colour.
TPixels Touched(const TCustomBitmap32& bmp, TColor32 background)
{
    TPixels touched;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (bmp.Pixel(x, y) != background)
                touched.insert({x, y});
    return touched;
}

std::unique_ptr<TCustomBitmap32> Filled(int w, int h, TColor32 colour)
{
    auto bmp = std::make_unique<TCustomBitmap32>();
    bmp->SetSize(w, h);
    bmp->Clear(colour);
    return bmp;
}
}

TEST(Bitmap, NewBitmapIsEmptyWithItsDefaults)
{
    TCustomBitmap32 bmp;
    EXPECT_TRUE(bmp.Empty());
    EXPECT_EQ(bmp.Bits(), nullptr);
    EXPECT_EQ(bmp.MasterAlpha(), 255u);
    EXPECT_EQ(bmp.PenColor, 0xFFFFFFFFu);
    EXPECT_EQ(bmp.OuterColor, 0u);
    EXPECT_EQ(bmp.DrawMode(), dmOpaque);
    EXPECT_EQ(bmp.StretchFilter(), sfNearest);
}

TEST(Bitmap, SetSizeNotifiesOnlyOnChangeAndNegativeSizesAreZero)
{
    TCustomBitmap32 bmp;
    std::vector<std::string> events;
    bmp.OnChange = [&](TObject*) { events.push_back("change"); };
    bmp.OnResize = [&](TObject*) { events.push_back("resize"); };

    EXPECT_TRUE(bmp.SetSize(-5, 10));
    EXPECT_EQ(bmp.Width(), 0);
    EXPECT_EQ(bmp.Height(), 10);
    EXPECT_TRUE(bmp.Empty());
    EXPECT_EQ(bmp.Bits(), nullptr);
    EXPECT_EQ(events, (std::vector<std::string>{"change", "resize"}));

    events.clear();
    EXPECT_FALSE(bmp.SetSize(0, 10));
    EXPECT_TRUE(events.empty());

    bmp.SetWidth(3);
    EXPECT_EQ(bmp.Width(), 3);
    EXPECT_EQ(bmp.Height(), 10);
    ASSERT_FALSE(bmp.Empty());
    EXPECT_EQ(bmp.Pixel(2, 9), 0u);  // new pixels are zero
    bmp.SetHeight(4);
    EXPECT_EQ(bmp.Height(), 4);
    EXPECT_EQ(bmp.PixelPtr(1, 2), bmp.Bits() + 2 * 3 + 1);
    bmp.Delete();
    EXPECT_TRUE(bmp.Empty());
    EXPECT_EQ(bmp.Bits(), nullptr);
}

TEST(Bitmap, ImpossibleSizeRaisesAndLeavesTheBitmapEmpty)
{
    TCustomBitmap32 bmp;
    bmp.SetSize(4, 4);
    EXPECT_THROW(bmp.SetSize(0x7FFFFFFF, 0x7FFFFFFF), Exception);
    EXPECT_EQ(bmp.Width(), 0);
    EXPECT_EQ(bmp.Height(), 0);
    EXPECT_EQ(bmp.Bits(), nullptr);
}

TEST(Bitmap, UpdatesSuppressChangeNoticesAndMustPair)
{
    auto bmp = Filled(4, 4, 0);
    int changes = 0;
    bmp->OnChange = [&](TObject*) { ++changes; };

    bmp->SetMasterAlpha(255);  // unchanged value: no notice
    EXPECT_EQ(changes, 0);
    bmp->SetMasterAlpha(100);
    EXPECT_EQ(changes, 1);

    bmp->BeginUpdate();
    bmp->Clear(0xFF00FF00);
    bmp->FillRectClipped(0, 0, 2, 2, 0x80FFFFFF);
    bmp->DrawLine(0, 0, 3, 3, 0xFFFFFFFF, true);
    bmp->SetDrawMode(dmBlend);
    bmp->EndUpdate();
    EXPECT_EQ(changes, 1);  // neither the drawing nor EndUpdate itself
    bmp->Changed();
    EXPECT_EQ(changes, 2);

    try {
        bmp->EndUpdate();
        FAIL() << "no exception";
    } catch (const EAssertionFailed& e) {
        EXPECT_STREQ(e.what(), "Unpaired TThreadPersistent.EndUpdate");
    }
    EXPECT_EQ(bmp->UpdateCount(), 0);
}

TEST(Bitmap, LockCountsNestedLocks)
{
    TCustomBitmap32 bmp;
    bmp.Lock();
    bmp.Lock();
    EXPECT_EQ(bmp.LockCount(), 2);
    bmp.Unlock();
    bmp.Unlock();
    EXPECT_EQ(bmp.LockCount(), 0);
}

TEST(Bitmap, ClearOnAnEmptyBitmapDoesNothing)
{
    TCustomBitmap32 bmp;
    int changes = 0;
    bmp.OnChange = [&](TObject*) { ++changes; };
    bmp.Clear(0xFFFFFFFF);
    EXPECT_EQ(changes, 0);
}

TEST(Bitmap, FillRectClippedExcludesRightAndBottomEdges)
{
    struct Case {
        TRect r;
        TPixels expected;
    };
    const Case cases[] = {
        {{1, 1, 3, 2}, {{1, 1}, {2, 1}}},
        {{-2, -2, 1, 1}, {{0, 0}}},
        {{3, 2, 9, 9}, {{3, 2}}},
        {{2, 0, 2, 3}, {}},           // zero width
        {{3, 0, 1, 3}, {}},           // inverted
        {{4, 0, 6, 3}, {}},           // right of the bitmap
        {{0, -3, 4, 0}, {}},          // above it
        {{-9, -9, 99, 99}, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}, {0, 2}, {1, 2}, {2, 2}, {3, 2}}},
    };
    for (const Case& c : cases) {
        auto bmp = Filled(4, 3, 0xFF000000);
        bmp->FillRectClippedRect(c.r, 0xFFFFFFFF);
        EXPECT_EQ(Touched(*bmp, 0xFF000000), c.expected) << c.r.left << "," << c.r.top << "," << c.r.right << "," << c.r.bottom;
        auto opaque = Filled(4, 3, 0xFF000000);
        opaque->FillRectOpaqueClipped(c.r.left, c.r.top, c.r.right, c.r.bottom, 0x00FFFFFF);
        EXPECT_EQ(Touched(*opaque, 0xFF000000), c.expected);
    }
}

TEST(Bitmap, TranslucentFillsBlendByTheColoursAlpha)
{
    auto bmp = Filled(2, 1, 0xFF000000);
    bmp->FillRectBlend(0, 0, 1, 1, 0x80FFFFFF);
    EXPECT_EQ(bmp->Pixel(0, 0), BlendFunctionTable.CombineWeighted(0x80FFFFFF, 0xFF000000, 0x80));
    EXPECT_EQ(bmp->Pixel(1, 0), 0xFF000000u);
    bmp->FillRectBlend(0, 0, 2, 1, 0x00FFFFFF);  // alpha 0 changes nothing
    EXPECT_EQ(bmp->Pixel(1, 0), 0xFF000000u);
}

TEST(Bitmap, ResetAlphaMakesEveryPixelOpaque)
{
    auto bmp = Filled(3, 2, 0x00123456);
    bmp->ResetAlpha();
    EXPECT_TRUE(Touched(*bmp, 0xFF123456).empty());
}

TEST(Bitmap, DrawLineLeavesTheEndPointOutUnlessAsked)
{
    struct Case {
        int x1, y1, x2, y2;
        bool last;
        TPixels expected;
    };
    const Case cases[] = {
        {0, 0, 3, 0, false, {{0, 0}, {1, 0}, {2, 0}}},
        {0, 0, 3, 0, true, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
        {3, 0, 0, 0, false, {{1, 0}, {2, 0}, {3, 0}}},  // reversed runs leave the end out too
        {1, 0, 1, 3, false, {{1, 0}, {1, 1}, {1, 2}}},
        {1, 3, 1, 0, true, {{1, 0}, {1, 1}, {1, 2}, {1, 3}}},
        {0, 0, 3, 3, false, {{0, 0}, {1, 1}, {2, 2}}},
        {0, 0, 4, 2, true, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}},
        {0, 4, 2, 0, false, {{0, 4}, {0, 3}, {1, 2}, {1, 1}}},
        {2, 2, 2, 2, true, {{2, 2}}},
        {2, 2, 2, 2, false, {}},
    };
    for (const Case& c : cases) {
        auto bmp = Filled(5, 5, 0xFF000000);
        bmp->DrawLine(c.x1, c.y1, c.x2, c.y2, 0xFFFFFFFF, c.last);
        EXPECT_EQ(Touched(*bmp, 0xFF000000), c.expected) << c.x1 << "," << c.y1 << " -> " << c.x2 << "," << c.y2;
    }
}

TEST(Bitmap, LinesBlendByTheColoursAlpha)
{
    auto bmp = Filled(4, 1, 0xFF000000);
    bmp->DrawLine(0, 0, 4, 0, 0x80FFFFFF, false);
    EXPECT_EQ(bmp->Pixel(3, 0), BlendFunctionTable.BlendByAlpha(0x80FFFFFF, 0xFF000000));
}

TEST(Bitmap, ClipLineCases)
{
    struct Case {
        int x1, y1, x2, y2;
        bool visible;
        int rx1, ry1, rx2, ry2;
    };
    // Rectangle 0..9 x 0..9, inclusive.
    const Case cases[] = {
        {1, 1, 8, 8, true, 1, 1, 8, 8},          // inside: unchanged
        {-5, -1, -1, 20, false, 0, 0, 0, 0},     // wholly left
        {2, 12, 9, 15, false, 0, 0, 0, 0},       // wholly below
        {-10, 5, 20, 5, true, 0, 5, 9, 5},       // across horizontally
        {4, -10, 4, 30, true, 4, 0, 4, 9},       // across vertically
        {5, 5, 5, 20, true, 5, 5, 5, 9},         // leaves through the bottom
        {-10, 20, 20, -10, true, 1, 9, 9, 1},    // diagonal across two corners
        {-10, 5, 5, -10, false, 0, 0, 0, 0},     // passes the corner outside
        {0, 0, 20, 10, true, 0, 0, 9, 4},        // leaves through the right edge; the offset -4.5 rounds to -5
    };
    for (const Case& c : cases) {
        int x1 = c.x1, y1 = c.y1, x2 = c.x2, y2 = c.y2;
        const bool visible = ClipLine(x1, y1, x2, y2, 0, 0, 9, 9);
        EXPECT_EQ(visible, c.visible) << c.x1 << "," << c.y1 << " -> " << c.x2 << "," << c.y2;
        if (visible && c.visible) {
            EXPECT_EQ(x1, c.rx1);
            EXPECT_EQ(y1, c.ry1);
            EXPECT_EQ(x2, c.rx2);
            EXPECT_EQ(y2, c.ry2);
        }
    }
}

TEST(Bitmap, ClippedLineDrawsItsLastVisiblePixel)
{
    auto bmp = Filled(5, 3, 0xFF000000);
    bmp->DrawLineClipped(1, 1, 10, 1, 0xFFFFFFFF, false);
    EXPECT_EQ(Touched(*bmp, 0xFF000000), (TPixels{{1, 1}, {2, 1}, {3, 1}, {4, 1}}));

    auto inside = Filled(5, 3, 0xFF000000);
    inside->DrawLineClipped(1, 1, 3, 1, 0xFFFFFFFF, false);
    EXPECT_EQ(Touched(*inside, 0xFF000000), (TPixels{{1, 1}, {2, 1}}));

    auto outside = Filled(5, 3, 0xFF000000);
    outside->DrawLineClipped(-4, -1, 9, -1, 0xFFFFFFFF, true);
    EXPECT_TRUE(Touched(*outside, 0xFF000000).empty());
}

TEST(Bitmap, LineToDrawsInPenColourWithoutTheEndPoint)
{
    auto bmp = Filled(4, 4, 0xFF000000);
    bmp->PenColor = 0xFF00FF00;
    bmp->MoveTo(0, 3);
    bmp->LineTo(3, 3);
    bmp->LineTo(3, 0);
    EXPECT_EQ(Touched(*bmp, 0xFF000000), (TPixels{{0, 3}, {1, 3}, {2, 3}, {3, 3}, {3, 2}, {3, 1}}));
    EXPECT_EQ(bmp->Pixel(3, 3), 0xFF00FF00u);
}

TEST(Bitmap, StoredFormIsSizeThenPixelsAndRoundTrips)
{
    TCustomBitmap32 bmp;
    bmp.SetSize(2, 1);
    *bmp.PixelPtr(0, 0) = 0x11223344;
    *bmp.PixelPtr(1, 0) = 0xAABBCCDD;
    TMemoryStream stream;
    bmp.WriteData(stream);
    const std::vector<uint8_t> expected = {2, 0, 0, 0, 1, 0, 0, 0, 0x44, 0x33, 0x22, 0x11, 0xDD, 0xCC, 0xBB, 0xAA};
    EXPECT_EQ(stream.Bytes(), expected);

    TCustomBitmap32 copy;
    int changes = 0;
    copy.OnChange = [&](TObject*) { ++changes; };
    stream.SetPosition(0);
    copy.ReadData(stream);
    EXPECT_TRUE(copy.Equals(bmp));
    EXPECT_GE(changes, 1);
}

TEST(Bitmap, DamagedStoredFormRaisesAndKeepsThePicture)
{
    auto bmp = Filled(2, 2, 0xFF102030);
    const std::vector<std::vector<uint8_t>> damaged = {
        {3, 0, 0, 0, 1, 0, 0, 0, 1, 2, 3, 4},                // 3 pixels announced, 1 present
        {0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0},                // negative width
        {0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x7F},    // absurd size
        {2, 0, 0},                                           // cut inside the header
    };
    for (const auto& bytes : damaged) {
        TMemoryStream stream;
        stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        stream.SetPosition(0);
        EXPECT_THROW(bmp->ReadData(stream), EReadError);
        EXPECT_EQ(bmp->Width(), 2);
        EXPECT_EQ(bmp->Pixel(1, 1), 0xFF102030u);
    }
}

TEST(Bitmap, StoredFormIsWrittenWhenItDiffersFromTheAncestor)
{
    TCustomBitmap32 empty, otherEmpty;
    auto picture = Filled(2, 2, 0xFF000000);
    auto same = Filled(2, 2, 0xFF000000);
    auto different = Filled(2, 2, 0xFF000001);
    EXPECT_FALSE(empty.DataIsStored(nullptr));
    EXPECT_TRUE(picture->DataIsStored(nullptr));
    EXPECT_FALSE(picture->DataIsStored(same.get()));
    EXPECT_TRUE(picture->DataIsStored(different.get()));
    EXPECT_TRUE(empty.DataIsStored(picture.get()));
    EXPECT_FALSE(empty.DataIsStored(&otherEmpty));
}

TEST(Bitmap, AssignCopiesPixelsAndDrawingPropertiesButNotEvents)
{
    auto src = Filled(3, 2, 0xFF445566);
    src->SetDrawMode(dmBlend);
    src->SetMasterAlpha(90);
    src->SetStretchFilter(sfLanczos);
    src->OuterColor = 0x12345678;
    src->OnChange = [](TObject*) {};
    TCustomBitmap32 dst;
    int changes = 0;
    dst.OnChange = [&](TObject*) { ++changes; };
    dst.Assign(*src);
    EXPECT_TRUE(dst.Equals(*src));
    EXPECT_EQ(dst.DrawMode(), dmBlend);
    EXPECT_EQ(dst.MasterAlpha(), 90u);
    EXPECT_EQ(dst.StretchFilter(), sfLanczos);
    EXPECT_EQ(dst.OuterColor, 0x12345678u);
    EXPECT_EQ(changes, 1);  // one notice for the whole assignment
}

TEST(Bitmap, TextMaskAveragesEachBlockIntoAlpha)
{
    TCustomBitmap32 large;
    large.SetSize(4, 2);
    const TColor32 lows[2][4] = {{0xFF, 0x81, 0x00, 0x10}, {0x40, 0x7F, 0x00, 0x00}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            *large.PixelPtr(x, y) = 0xAB00CD00 | lows[y][x];  // only the low byte counts
    TCustomBitmap32 mask;
    mask.SetSize(2, 1);
    DownsampleTextMask(mask, large, 1, 0xFF123456);
    EXPECT_EQ(mask.Pixel(0, 0), ((0xFFu + 0x81 + 0x40 + 0x7F) >> 2) << 24 | 0x123456);
    EXPECT_EQ(mask.Pixel(1, 0), (0x10u >> 2) << 24 | 0x123456);
}
