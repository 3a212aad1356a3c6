#include "graphics/Blend.h"
#include "graphics/Resampler.h"
#include "graphics/Transforms.h"

#include <gtest/gtest.h>

#include <functional>

namespace {
std::unique_ptr<TCustomBitmap32> Make(int w, int h, const std::function<TColor32(int x, int y)>& colour)
{
    auto bmp = std::make_unique<TCustomBitmap32>();
    bmp->SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            *bmp->PixelPtr(x, y) = colour(x, y);
    return bmp;
}

std::unique_ptr<TCustomBitmap32> Solid(int w, int h, TColor32 colour)
{
    return Make(w, h, [=](int, int) { return colour; });
}

// A grey level as an opaque pixel, and back.
TColor32 Grey(int v)
{
    return MakeColor32(v, v, v);
}

std::vector<int> BlueRow(const TCustomBitmap32& bmp, int y)
{
    std::vector<int> row;
    for (int x = 0; x < bmp.Width(); ++x)
        row.push_back(BlueComponent(bmp.Pixel(x, y)));
    return row;
}

template <class E>
std::string MessageOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const E& e) {
        return e.what();
    }
    return "no exception";
}

const TStretchFilter kFilters[] = {sfNearest, sfLinear, sfSpline, sfLanczos, sfMitchell};
}

TEST(Transfer, BlockTransferClipsToDestinationAndSource)
{
    auto src = Make(3, 3, [](int x, int y) { return Grey(10 * (y * 3 + x) + 10); });
    auto dst = Solid(4, 4, 0xFF000000);
    // Source rectangle reaching past the source, placed partly above and left of the destination.
    BlockTransfer(dst.get(), -1, -1, dst->BoundsRect(), src.get(), TRect(0, 0, 5, 5), dmOpaque, nullptr);
    EXPECT_EQ(dst->Pixel(0, 0), Grey(50));  // source (1, 1)
    EXPECT_EQ(dst->Pixel(1, 1), Grey(90));  // source (2, 2)
    EXPECT_EQ(dst->Pixel(2, 0), 0xFF000000u);
    EXPECT_EQ(dst->Pixel(0, 2), 0xFF000000u);

    // Writing only inside the clip rectangle.
    auto clipped = Solid(4, 4, 0xFF000000);
    BlockTransfer(clipped.get(), 0, 0, TRect(1, 1, 2, 9), src.get(), src->BoundsRect(), dmOpaque, nullptr);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(clipped->Pixel(x, y), x == 1 && y >= 1 && y < 3 ? src->Pixel(1, y) : 0xFF000000u) << x << "," << y;
}

TEST(Transfer, DrawModesCombineBySourceSettings)
{
    const TColor32 fg = 0x80FF8040, bg = 0xFF102030;
    struct Case {
        TDrawMode mode;
        uint32_t master;
        bool handler;
        TColor32 expected;
    };
    const TBlendFunctionTable& ref = BlendFunctionTable;  // the set the library draws with
    const Case cases[] = {
        {dmOpaque, 255, false, fg},
        {dmBlend, 255, false, ref.BlendByAlpha(fg, bg)},
        {dmBlend, 100, false, ref.BlendByAlphaMaster(fg, bg, 100)},
        {dmBlend, 0, false, bg},                // master alpha 0 draws nothing
        {dmCustom, 77, true, fg ^ bg ^ 77},
        {dmCustom, 77, false, fg},              // no handler: opaque
    };
    for (const Case& c : cases) {
        auto src = Solid(2, 2, fg);
        src->SetDrawMode(c.mode);
        src->SetMasterAlpha(c.master);
        if (c.handler)
            src->OnPixelCombine = [](TColor32 f, TColor32& b, TColor32 m) { b = f ^ b ^ m; };
        auto block = Solid(3, 3, bg);
        block->DrawAt(1, 1, src.get());
        EXPECT_EQ(block->Pixel(2, 2), c.expected) << c.mode << " " << c.master;
        EXPECT_EQ(block->Pixel(0, 0), bg);
        // Scaled paths combine the same way: nearest, bilinear and the resampler.
        for (const TStretchFilter filter : {sfNearest, sfLinear, sfLanczos}) {
            src->SetStretchFilter(filter);
            auto scaled = Solid(6, 6, bg);
            scaled->DrawStretched(TRect(0, 0, 5, 5), src->BoundsRect(), src.get());
            EXPECT_EQ(scaled->Pixel(2, 2), c.expected) << c.mode << " " << c.master << " filter " << filter;
            EXPECT_EQ(scaled->Pixel(5, 5), bg);
        }
    }
}

TEST(Transfer, MissingBitmapsAndBadRectanglesRaiseFixedMessages)
{
    auto bmp = Solid(4, 4, 0xFF000000);
    TCustomBitmap32 empty;
    const TPixelCombineEvent none;
    EXPECT_EQ(MessageOf<ETransformError>([&] { BlockTransfer(nullptr, 0, 0, TRect(), bmp.get(), bmp->BoundsRect(), dmOpaque, none); }),
              "Destination bitmap is nil or empty");
    EXPECT_EQ(MessageOf<ETransformError>([&] { BlockTransfer(&empty, 0, 0, TRect(), bmp.get(), bmp->BoundsRect(), dmOpaque, none); }),
              "Destination bitmap is nil or empty");
    EXPECT_EQ(MessageOf<ETransformError>([&] { BlockTransfer(bmp.get(), 0, 0, bmp->BoundsRect(), nullptr, TRect(0, 0, 1, 1), dmOpaque, none); }),
              "Source bitmap is nil or empty");
    EXPECT_EQ(MessageOf<ETransformError>([&] {
                  StretchTransfer(bmp.get(), TRect(0, 0, 4, 4), bmp->BoundsRect(), bmp.get(), TRect(1, 1, 5, 3), sfNearest, dmOpaque, none);
              }),
              "Source rectangle is invalid");
    EXPECT_EQ(MessageOf<ETransformError>([&] {
                  StretchTransfer(bmp.get(), TRect(0, 0, 4, 4), bmp->BoundsRect(), bmp.get(), TRect(-1, 0, 2, 2), sfLanczos, dmOpaque, none);
              }),
              "Source rectangle is invalid");
    // The nearest-neighbour scaler checks again with a plain exception.
    const std::string nearest = MessageOf<Exception>([&] {
        StretchNearest(bmp.get(), TRect(0, 0, 4, 4), TRect(0, 0, 4, 4), bmp.get(), TRect(0, 0, 5, 2), dmOpaque, none);
    });
    EXPECT_EQ(nearest, "Invalid SrcRect");
    EXPECT_THROW(StretchNearest(bmp.get(), TRect(0, 0, 4, 4), TRect(0, 0, 4, 4), bmp.get(), TRect(0, 0, 5, 2), dmOpaque, none), Exception);
    try {
        StretchNearest(bmp.get(), TRect(0, 0, 4, 4), TRect(0, 0, 4, 4), bmp.get(), TRect(0, -1, 2, 2), dmOpaque, none);
    } catch (const ETransformError&) {
        ADD_FAILURE() << "expected a plain exception";
    } catch (const Exception&) {
    }
}

TEST(Transfer, EmptySourcesRectanglesAndDestinationsDrawNothing)
{
    auto dst = Solid(4, 4, 0xFF000000);
    TCustomBitmap32 emptySource;
    const TPixelCombineEvent none;
    EXPECT_NO_THROW(BlockTransfer(dst.get(), 0, 0, dst->BoundsRect(), &emptySource, TRect(0, 0, 2, 2), dmOpaque, none));
    auto src = Solid(2, 2, 0xFFFFFFFF);
    StretchTransfer(dst.get(), TRect(0, 0, 4, 4), dst->BoundsRect(), src.get(), TRect(1, 1, 1, 2), sfLinear, dmOpaque, none);
    StretchTransfer(dst.get(), TRect(5, 5, 9, 9), dst->BoundsRect(), src.get(), src->BoundsRect(), sfLinear, dmOpaque, none);
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(dst->Pixel(3, y), 0xFF000000u);
    // Drawing calls onto an empty bitmap have nothing to draw on.
    TCustomBitmap32 emptyTarget;
    EXPECT_NO_THROW(src->DrawToAt(&emptyTarget, 0, 0));
    EXPECT_NO_THROW(src->DrawToRect(&emptyTarget, TRect(0, 0, 4, 4)));
}

TEST(Transfer, EqualSizeStretchIsABlockTransfer)
{
    auto src = Make(5, 4, [](int x, int y) { return static_cast<TColor32>(x * 0x1F3A5B7 + y * 0x7E5D3C1); });
    for (const TStretchFilter filter : kFilters) {
        src->SetStretchFilter(filter);
        auto stretched = Solid(8, 8, 0xFF000000);
        auto block = Solid(8, 8, 0xFF000000);
        stretched->DrawStretched(TRect(2, 1, 6, 4), TRect(1, 0, 5, 3), src.get());
        BlockTransfer(block.get(), 2, 1, block->BoundsRect(), src.get(), TRect(1, 0, 5, 3), dmOpaque, nullptr);
        EXPECT_TRUE(stretched->Equals(*block)) << filter;
    }
}

TEST(Transfer, NearestWithFullEdgeDoublesEachColumn)
{
    auto src = Make(4, 1, [](int x, int) { return Grey(x * 10); });
    auto dst = Solid(8, 1, 0);
    dst->DrawStretched(dst->BoundsRect(), src->BoundsRect(), src.get());
    EXPECT_EQ(BlueRow(*dst, 0), (std::vector<int>{0, 0, 10, 10, 20, 20, 30, 30}));

    auto shrunk = Solid(2, 1, 0);
    shrunk->DrawStretched(shrunk->BoundsRect(), src->BoundsRect(), src.get());
    EXPECT_EQ(BlueRow(*shrunk, 0), (std::vector<int>{0, 20}));

    auto single = Solid(1, 1, 0);  // one destination pixel takes the middle of the source
    single->DrawStretched(single->BoundsRect(), TRect(0, 0, 4, 1), src.get());
    EXPECT_EQ(BlueRow(*single, 0), (std::vector<int>{10}));
}

TEST(Transfer, BlendedNearestUpscaleStaysInsideTheSourceRectangle)
{
    // Rows 0 and 1 form the source rectangle; row 2 below it is a colour that must never show.
    auto src = Make(1, 3, [](int, int y) { return y == 0 ? Grey(40) : y == 1 ? Grey(80) : 0xFFFF0000; });
    src->SetDrawMode(dmBlend);
    for (const int height : {4, 5, 6, 8}) {
        auto dst = Solid(1, height, 0xFF000000);
        dst->DrawStretched(dst->BoundsRect(), TRect(0, 0, 1, 2), src.get());
        for (int y = 0; y < height; ++y)
            EXPECT_NE(dst->Pixel(0, y), 0xFFFF0000u) << height << " row " << y;
        EXPECT_EQ(dst->Pixel(0, height - 1), Grey(80));
    }
}

TEST(Transfer, BilinearDoublingFollowsTheFastPathWeights)
{
    auto src = Make(2, 2, [](int x, int) { return Grey(x * 255); });
    src->SetStretchFilter(sfLinear);
    auto dst = Solid(4, 4, 0);
    dst->DrawStretched(dst->BoundsRect(), src->BoundsRect(), src.get());
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(BlueRow(*dst, y), (std::vector<int>{0, 63, 191, 255}));
    EXPECT_EQ(AlphaComponent(dst->Pixel(1, 1)), 255);
}

TEST(Transfer, BilinearUpscaleNeverFetchesOutsideTheSourceRectangle)
{
    // A uniform rectangle inside a differently coloured frame stays exactly uniform when scaled up.
    struct Case {
        TRect srcRect;
        int dstW, dstH;
    };
    const Case cases[] = {
        {{1, 1, 3, 3}, 6, 6},    // 3x
        {{1, 1, 3, 4}, 11, 13},  // odd factors
        {{2, 1, 3, 4}, 5, 7},    // one pixel wide
        {{1, 2, 4, 3}, 9, 4},    // one pixel high
        {{1, 1, 2, 2}, 3, 3},    // a single pixel
    };
    const TColor32 inside = 0xFF336699;
    auto src = Make(5, 5, [&](int x, int y) { return x >= 1 && x < 4 && y >= 1 && y < 4 ? inside : 0x00FF0000u; });
    src->SetStretchFilter(sfLinear);
    for (const Case& c : cases) {
        auto dst = Solid(c.dstW, c.dstH, 0);
        dst->DrawStretched(dst->BoundsRect(), c.srcRect, src.get());
        for (int y = 0; y < c.dstH; ++y)
            for (int x = 0; x < c.dstW; ++x)
                ASSERT_EQ(dst->Pixel(x, y), inside) << c.srcRect.left << "," << c.srcRect.top << " at " << x << "," << y;
    }
}

TEST(Transfer, MappingWeightsSumTo256InsideTheSource)
{
    for (const TStretchFilter filter : kFilters) {
        for (const auto& [dstSize, srcSize] : {std::pair{7, 3}, {3, 7}, {640, 1920}, {100, 99}, {2, 2}, {50, 1}, {1, 9}}) {
            const TMappingTable table = BuildMappingTable(10, 10 + dstSize, 10, 10 + dstSize, 5, 5 + srcSize, filter);
            ASSERT_EQ(table.Count(), dstSize);
            for (int i = 0; i < table.Count(); ++i) {
                int sum = 0;
                for (const auto* p = table.Begin(i); p != table.End(i); ++p) {
                    sum += p->Weight;
                    EXPECT_NE(p->Weight, 0);
                    EXPECT_GE(p->Position, 5);
                    EXPECT_LT(p->Position, 5 + srcSize);
                }
                EXPECT_EQ(sum, 256) << filter << " " << dstSize << "/" << srcSize << " at " << i;
            }
        }
    }
    // Clipping keeps only the visible part of the destination.
    EXPECT_EQ(BuildMappingTable(0, 10, 3, 5, 0, 4, sfSpline).Count(), 2);
    EXPECT_EQ(BuildMappingTable(0, 10, 5, 5, 0, 4, sfSpline).Count(), 0);
}

TEST(Transfer, ResamplerKnownResults)
{
    // Shrinking a step 0, 0, 255, 255 to two pixels with the triangle kernel.
    auto step = Make(4, 1, [](int x, int) { return Grey(x < 2 ? 0 : 255); });
    step->SetStretchFilter(sfLinear);
    auto half = Solid(2, 1, 0);
    half->DrawStretched(half->BoundsRect(), step->BoundsRect(), step.get());
    EXPECT_EQ(BlueRow(*half, 0), (std::vector<int>{31, 223}));

    // Enlarging 0, 255 to four pixels with the cubic spline.
    auto pair = Make(2, 1, [](int x, int) { return Grey(x * 255); });
    pair->SetStretchFilter(sfSpline);
    auto wide = Solid(4, 1, 0);
    wide->DrawStretched(wide->BoundsRect(), pair->BoundsRect(), pair.get());
    EXPECT_EQ(BlueRow(*wide, 0), (std::vector<int>{17, 81, 174, 237}));
}

TEST(Transfer, UniformPicturesStayExactUnderEveryFilterAndScale)
{
    const TColor32 colour = 0x80C04020;
    auto src = Solid(9, 7, colour);
    for (const TStretchFilter filter : kFilters) {
        src->SetStretchFilter(filter);
        for (const auto& [w, h] : {std::pair{3, 2}, {20, 15}, {9, 30}, {4, 7}}) {
            auto dst = Solid(w, h, 0);
            dst->DrawStretched(dst->BoundsRect(), src->BoundsRect(), src.get());
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(dst->Pixel(x, y), colour) << filter << " " << w << "x" << h;
        }
    }
}

TEST(Transfer, NegativeLobeKernelsClampInsteadOfWrapping)
{
    // A hard edge overshoots with Lanczos and Mitchell; the sums are clamped, so the bright side
    // stays bright and the dark side dark.
    auto edge = Make(6, 6, [](int x, int) { return x < 3 ? 0xFF000000u : 0xFFFFFFFFu; });
    for (const TStretchFilter filter : {sfLanczos, sfMitchell, sfSpline}) {
        edge->SetStretchFilter(filter);
        for (const int size : {4, 17, 30}) {
            auto dst = Solid(size, size, 0x12345678);
            dst->DrawStretched(dst->BoundsRect(), edge->BoundsRect(), edge.get());
            const std::vector<int> row = BlueRow(*dst, size / 2);
            EXPECT_LE(row.front(), 8) << filter << " " << size;
            EXPECT_GE(row.back(), 247) << filter << " " << size;
            for (size_t i = 1; i < row.size(); ++i)
                EXPECT_GE(row[i] + 40, row[i - 1]) << "wrapped at " << i << " filter " << filter << " " << size;
            EXPECT_EQ(AlphaComponent(dst->Pixel(0, 0)), 255);
        }
    }
}

TEST(Transfer, OnePixelWideSourceRepeatsItsColumn)
{
    auto column = Make(1, 3, [](int, int y) { return Grey(50 * y + 20); });
    for (const TStretchFilter filter : kFilters) {
        column->SetStretchFilter(filter);
        auto dst = Solid(5, 3, 0);
        dst->DrawStretched(dst->BoundsRect(), column->BoundsRect(), column.get());
        for (int y = 0; y < 3; ++y) {
            const std::vector<int> row = BlueRow(*dst, y);
            EXPECT_EQ(row, std::vector<int>(5, row[0])) << filter;
            // Kernels that interpolate keep the column's values; spline and Mitchell soften them.
            if (filter == sfNearest || filter == sfLinear || filter == sfLanczos) {
                EXPECT_EQ(row[0], 50 * y + 20) << filter;
            }
        }
    }
}

TEST(Transfer, DestinationPartlyOutsideIsClipped)
{
    auto src = Solid(2, 2, 0xFFFFFFFF);
    for (const TStretchFilter filter : kFilters) {
        src->SetStretchFilter(filter);
        auto dst = Solid(4, 4, 0xFF000000);
        EXPECT_NO_THROW(dst->DrawStretched(TRect(-3, 2, 3, 8), src->BoundsRect(), src.get()));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(dst->Pixel(x, y), x < 3 && y >= 2 ? 0xFFFFFFFFu : 0xFF000000u) << filter << " " << x << "," << y;
    }
}

TEST(Transfer, DrawingABitmapOntoItselfReadsTheOriginal)
{
    auto bmp = Make(4, 4, [](int x, int y) { return Grey(y * 40 + x * 10); });
    auto original = Make(4, 4, [](int x, int y) { return Grey(y * 40 + x * 10); });
    bmp->DrawAt(1, 1, bmp.get());
    for (int y = 1; y < 4; ++y)
        for (int x = 1; x < 4; ++x)
            EXPECT_EQ(bmp->Pixel(x, y), original->Pixel(x - 1, y - 1)) << x << "," << y;
}
