#include "graphics/Blend.h"
#include "graphics/Color32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
// Colours that reach every channel's extremes and the carries between channels.
const std::vector<TColor32> kColours = {0x00000000, 0xFFFFFFFF, 0xFF000000, 0x00FFFFFF, 0x80FF0080,
                                        0x7F00FF7F, 0x01010101, 0xFEFEFEFE, 0x12345678, 0xFF00FF00};

// One channel of the plain blend: (F * W + 128) shr 8 + (B * (255 - W) + 128) shr 8.
TColor32 ChannelMix(TColor32 f, TColor32 b, TColor32 w)
{
    TColor32 result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const TColor32 fc = f >> shift & 0xFF, bc = b >> shift & 0xFF;
        result |= (((fc * w + 128) >> 8) + ((bc * (255 - w) + 128) >> 8)) << shift;
    }
    return result;
}

const TBlendFunctionTable* const kSets[] = {&ReferenceBlendFunctions(), &SSE2BlendFunctions()};
}

TEST(Colour, ConversionsAndConstructors)
{
    EXPECT_EQ(ColorToColor32(0x000000FF), 0xFFFF0000u);  // red in the class library's order
    EXPECT_EQ(ColorToColor32(0x00123456), 0xFF563412u);
    EXPECT_EQ(MakeColor32(0x11, 0x22, 0x33, 0x44), 0x44112233u);
    EXPECT_EQ(MakeColor32(1, 2, 3), 0xFF010203u);
}

TEST(Colour, RectanglesExcludeRightAndBottom)
{
    const TRect r(1, 2, 4, 6);
    EXPECT_TRUE(PointInRect32(r, TPoint(1, 2)));
    EXPECT_TRUE(PointInRect32(r, TPoint(3, 5)));
    EXPECT_FALSE(PointInRect32(r, TPoint(4, 3)));
    EXPECT_FALSE(PointInRect32(r, TPoint(2, 6)));
    EXPECT_TRUE(RectIsEmpty(TRect(3, 0, 3, 5)));
    EXPECT_TRUE(RectIsEmpty(TRect(0, 5, 3, 4)));
    EXPECT_FALSE(RectIsEmpty(r));

    TRect dst(9, 9, 9, 9);
    EXPECT_TRUE(IntersectRects(dst, TRect(0, 0, 10, 10), TRect(5, -5, 20, 7)));
    EXPECT_EQ(dst, TRect(5, 0, 10, 7));
    EXPECT_TRUE(IntersectRects(dst, TRect(0, 0, 5, 5), TRect(5, 0, 9, 5)));  // touching: empty but true
    EXPECT_EQ(dst, TRect(5, 0, 5, 5));
    EXPECT_FALSE(IntersectRects(dst, TRect(0, 0, 5, 5), TRect(6, 0, 9, 5)));
    EXPECT_EQ(dst, TRect(0, 0, 0, 0));

    TRect shifted(1, 2, 3, 4);
    ShiftRect(shifted, 10, -2);
    EXPECT_EQ(shifted, TRect(11, 0, 13, 2));
}

TEST(Colour, MulDivRoundedRoundsHalfAwayFromZero)
{
    struct Case {
        int a, b, c, expected;
    };
    const Case cases[] = {
        {7, 1, 2, 4},   {-7, 1, 2, -4},  {7, -1, 2, -4},   {7, 1, -2, -4},          {-7, -1, 2, 4},
        {1, 1, 3, 0},   {2, 1, 3, 1},    {-2, 1, 3, -1},   {10, 10, 3, 33},         {100000, 100000, 100000, 100000},
        {0, 5, -3, 0},  {0x7FFFFFFF, 2, 1, -1},            {0x40000000, 2, 2, 0x40000000}, {5, 5, 0, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MulDivRounded(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

TEST(Colour, RoundIsHalfToEvenAndClampToRangeClamps)
{
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(1.5), 2);
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(-1.5), -2);
    EXPECT_EQ(Round(2.51), 3);
    EXPECT_EQ(ClampToRange(-3, 0, 9), 0);
    EXPECT_EQ(ClampToRange(12, 0, 9), 9);
    EXPECT_EQ(ClampToRange(4, 0, 9), 4);
}

TEST(Colour, LongwordRoutinesIgnoreEmptyCounts)
{
    TColor32 words[4] = {1, 2, 3, 4};
    FillLongwords(words, 0, 9);
    FillLongwords(words, -2, 9);
    MoveLongwords(words + 2, words, 0);
    EXPECT_EQ(words[0], 1u);
    FillLongwords(words + 1, 2, 7);
    EXPECT_EQ(words[1], 7u);
    EXPECT_EQ(words[2], 7u);
    EXPECT_EQ(words[3], 4u);
    MoveLongwords(words + 1, words, 3);
    EXPECT_EQ(words[0], 7u);
    EXPECT_EQ(words[2], 4u);
}

TEST(Colour, GammaTableFollowsTheCurve)
{
    EXPECT_EQ(GAMMA_TABLE[0], 0);
    EXPECT_EQ(GAMMA_TABLE[255], 255);
    EXPECT_EQ(GAMMA_TABLE[64], Round(255 * std::pow(64 / 255.0, 0.7)));
    for (int i = 1; i < 256; ++i)
        EXPECT_GE(GAMMA_TABLE[i], GAMMA_TABLE[i - 1]);
}

TEST(Blend, EdgeWeightsGiveTheOperandsExactly)
{
    for (const TBlendFunctionTable* set : kSets) {
        for (const TColor32 f : kColours) {
            for (const TColor32 b : kColours) {
                EXPECT_EQ(set->CombineWeighted(f, b, 0), b);
                EXPECT_EQ(set->CombineWeighted(f, b, 255), f);
                const TColor32 transparent = f & 0x00FFFFFF, opaque = f | 0xFF000000;
                EXPECT_EQ(set->BlendByAlpha(transparent, b), b);
                EXPECT_EQ(set->BlendByAlpha(opaque, b), opaque);
                EXPECT_EQ(set->BlendByAlphaMaster(opaque, b, 0), b);
                EXPECT_EQ(set->BlendByAlphaMaster(opaque, b, 255), opaque);
                TColor32 inPlace = b;
                set->BlendByAlphaInPlace(transparent, inPlace);
                EXPECT_EQ(inPlace, b);
                set->BlendByAlphaMasterInPlace(opaque, inPlace, 0);
                EXPECT_EQ(inPlace, b);
                set->CombineWeightedInPlace(f, inPlace, 255);
                EXPECT_EQ(inPlace, f);
            }
        }
        EXPECT_EQ(set->CombineWeighted(0xFFFFFFFF, 0, 128), 0x80808080u);
    }
}

TEST(Blend, ReferenceSetMixesEachChannelIncludingAlpha)
{
    const TBlendFunctionTable& ref = ReferenceBlendFunctions();
    for (TColor32 w = 1; w < 255; ++w)
        for (const TColor32 f : kColours)
            for (const TColor32 b : kColours)
                ASSERT_EQ(ref.CombineWeighted(f, b, w), ChannelMix(f, b, w)) << std::hex << f << " " << b << " " << w;
    // Master alpha scales the foreground's alpha: ((M + 1) * alpha) shr 8.
    EXPECT_EQ(ref.BlendByAlphaMaster(0x80FFFFFF, 0xFF000000, 127), ChannelMix(0x80FFFFFF, 0xFF000000, 64));
    for (TColor32 a = 0; a < 256; ++a) {
        const TColor32 f = a << 24 | 0x00A05010;
        EXPECT_EQ(ref.BlendByAlphaMaster(f, 0xFF204080, 255), ref.BlendByAlpha(f, 0xFF204080));
    }
}

// The SSE2 set computes (256 * B + (F - B) * W + 128) shr 8 per channel: each channel may lie up
// to two units from the plain set's result.
constexpr int kAllowedDifference = 2;

int LargestChannelDifference(TColor32 a, TColor32 b)
{
    int largest = 0;
    for (int shift = 0; shift < 32; shift += 8)
        largest = std::max(largest, std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)));
    return largest;
}

namespace {
// The vector sets, each tested where this machine runs it.
struct TVectorSet {
    const char* Name;
    const TBlendFunctionTable& (*Set)();
    bool (*Available)();
};
const TVectorSet kVectorSets[] = {
    {"SSE2", SSE2BlendFunctions, [] { return static_cast<bool>(HasSSE2()); }},
    {"AVX2", AVX2BlendFunctions, [] { return HasSSE2() && HasAVX2(); }},
};

class VectorBlendTest : public testing::TestWithParam<TVectorSet> {
protected:
    void SetUp() override
    {
        if (!GetParam().Available())
            GTEST_SKIP() << "this machine (or its operating system) has no " << GetParam().Name
                         << ": the set is not tested here";
    }
};
INSTANTIATE_TEST_SUITE_P(Sets, VectorBlendTest, testing::ValuesIn(kVectorSets),
                         [](const testing::TestParamInfo<TVectorSet>& info) { return std::string(info.param.Name); });
}  // namespace

// Every foreground, background and weight on one channel, through each kind of entry: combine,
// merge (by alpha, with master alpha) and the two line blends. The channels do not interact, so
// the background carries four values at once (bc, bc + 64, bc + 128, bc + 192); in the merges the
// foreground's alpha is the weight and its colour channels carry the tested value.
TEST_P(VectorBlendTest, StaysWithinTwoUnitsOfThePlainSetForEveryChannelValue)
{
    const TBlendFunctionTable& ref = ReferenceBlendFunctions();
    const TBlendFunctionTable& sse = GetParam().Set();
    const TColor32 masters[] = {1, 77, 128, 254};
    int combine = 0, merge = 0, line = 0;
    std::vector<TColor32> src(64), background(64), x(64), y(64);
    for (TColor32 bc = 0; bc < 64; ++bc)
        background[bc] = bc * 0x01010101u + 0xC0804000u;
    for (TColor32 w = 0; w < 256; ++w) {
        for (TColor32 fc = 0; fc < 256; ++fc) {
            const TColor32 f = fc * 0x01010101u;
            const TColor32 fa = w << 24 | fc * 0x010101u;
            for (const TColor32 b : background) {
                combine = std::max(combine, LargestChannelDifference(sse.CombineWeighted(f, b, w), ref.CombineWeighted(f, b, w)));
                TColor32 p = b, q = b;
                sse.CombineWeightedInPlace(f, p, w);
                ref.CombineWeightedInPlace(f, q, w);
                combine = std::max(combine, LargestChannelDifference(p, q));
                merge = std::max(merge, LargestChannelDifference(sse.BlendByAlpha(fa, b), ref.BlendByAlpha(fa, b)));
                p = q = b;
                sse.BlendByAlphaInPlace(fa, p);
                ref.BlendByAlphaInPlace(fa, q);
                merge = std::max(merge, LargestChannelDifference(p, q));
            }
            const TColor32 m = masters[(w + fc) % 4];
            for (const TColor32 b : background) {
                merge = std::max(merge, LargestChannelDifference(sse.BlendByAlphaMaster(fa, b, m), ref.BlendByAlphaMaster(fa, b, m)));
                TColor32 p = b, q = b;
                sse.BlendByAlphaMasterInPlace(fa, p, m);
                ref.BlendByAlphaMasterInPlace(fa, q, m);
                merge = std::max(merge, LargestChannelDifference(p, q));
            }
            // A line of every background under the same foreground.
            std::fill(src.begin(), src.end(), fa);
            x = y = background;
            sse.BlendLine(src.data(), x.data(), 64);
            ref.BlendLine(src.data(), y.data(), 64);
            for (int i = 0; i < 64; ++i)
                line = std::max(line, LargestChannelDifference(x[i], y[i]));
            x = y = background;
            sse.BlendLineMaster(src.data(), x.data(), 64, m);
            ref.BlendLineMaster(src.data(), y.data(), 64, m);
            for (int i = 0; i < 64; ++i)
                line = std::max(line, LargestChannelDifference(x[i], y[i]));
        }
    }
    std::printf("largest channel difference of the %s set from the plain set: combine %d, merge %d, line %d\n",
                GetParam().Name, combine, merge, line);
    RecordProperty("LargestDifferenceCombine", combine);
    RecordProperty("LargestDifferenceMerge", merge);
    RecordProperty("LargestDifferenceLine", line);
    EXPECT_LE(combine, kAllowedDifference);
    EXPECT_LE(merge, kAllowedDifference);
    EXPECT_LE(line, kAllowedDifference);
}

TEST_P(VectorBlendTest, LineBlendsStayNearTheReferenceForEveryLengthAndAlpha)
{
    // Every alpha 0..255 in runs that cover the four- and eight-pixel steps and the remainders.
    std::vector<TColor32> src;
    for (TColor32 a = 0; a < 256; ++a)
        for (const TColor32 c : {0x00FFFFFFu, 0x00000000u, 0x0080FF01u})
            src.push_back(a << 24 | c);
    for (const TColor32 a : {0u, 0u, 0u, 0u, 255u, 255u, 255u, 255u})
        src.push_back(a << 24 | 0x00123456);
    std::vector<TColor32> background(src.size());
    for (size_t i = 0; i < background.size(); ++i)
        background[i] = kColours[i % kColours.size()];

    const TBlendFunctionTable& ref = ReferenceBlendFunctions();
    const TBlendFunctionTable& sse = GetParam().Set();
    // Alpha 0 keeps the background and alpha 255 takes the source exactly; others come near.
    const auto expectNear = [&](const std::vector<TColor32>& x, const std::vector<TColor32>& y, int offset, int length) {
        for (int i = 0; i < static_cast<int>(x.size()); ++i) {
            const bool inside = i >= offset && i < offset + length;
            const TColor32 a = src[i] >> 24;
            if (!inside || a == 0 || a == 255)
                ASSERT_EQ(x[i], y[i]) << i;
            else
                ASSERT_LE(LargestChannelDifference(x[i], y[i]), kAllowedDifference) << i;
        }
    };
    for (int length : {0, 1, 3, 4, 5, 7, 8, 9, 12, 15, 16, 17, static_cast<int>(src.size())}) {
        for (int offset : {0, 1, 2, 3}) {
            if (offset + length > static_cast<int>(src.size()))
                continue;
            SCOPED_TRACE(testing::Message() << length << " " << offset);
            std::vector<TColor32> x = background, y = background;
            sse.BlendLine(src.data() + offset, x.data() + offset, length);
            ref.BlendLine(src.data() + offset, y.data() + offset, length);
            expectNear(x, y, offset, length);
            for (const TColor32 m : {255u, 300u}) {
                x = background;
                y = background;
                sse.BlendLineMaster(src.data() + offset, x.data() + offset, length, m);
                ref.BlendLineMaster(src.data() + offset, y.data() + offset, length, m);
                expectNear(x, y, offset, length);
            }
            for (const TColor32 m : {0u, 1u, 128u, 254u}) {
                x = background;
                y = background;
                sse.BlendLineMaster(src.data() + offset, x.data() + offset, length, m);
                ref.BlendLineMaster(src.data() + offset, y.data() + offset, length, m);
                for (size_t i = 0; i < x.size(); ++i)
                    ASSERT_LE(LargestChannelDifference(x[i], y[i]), kAllowedDifference) << i << " " << m;
            }
        }
    }
}

TEST(Blend, TheProcessorTestsChooseTheSet)
{
    EXPECT_TRUE(HasSSE2(true, 1u << 26));
    EXPECT_TRUE(HasSSE2(true, 0xFFFFFFFFu));
    EXPECT_FALSE(HasSSE2(true, ~(1u << 26)));  // SSE and everything else, but not SSE2
    EXPECT_FALSE(HasSSE2(false, 1u << 26));    // no CPUID: its answer does not count

    // AVX2 needs its own flag, AVX, OSXSAVE and both register states in XCR0, from a leaf 7 that exists.
    const uint32_t ecx = 1u << 28 | 1u << 27, ebx = 1u << 5;
    const struct {
        bool Cpuid;
        uint32_t MaxLeaf, Leaf1Ecx, Leaf7Ebx;
        uint64_t Xcr0;
        bool Expected;
    } avx2Cases[] = {
        {true, 7, ecx, ebx, 7, true},
        {true, 13, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xE7, true},
        {false, 7, ecx, ebx, 7, false},              // no CPUID
        {true, 6, ecx, ebx, 7, false},               // leaf 7 beyond the highest leaf
        {true, 7, ecx, ~ebx, 7, false},              // no AVX2 flag
        {true, 7, 1u << 27, ebx, 7, false},          // no AVX flag
        {true, 7, 1u << 28, ebx, 7, false},          // the operating system has not enabled XGETBV
        {true, 7, ecx, ebx, 3, false},               // XCR0 without the AVX state
        {true, 7, ecx, ebx, 5, false},               // XCR0 without the SSE state
    };
    for (const auto& c : avx2Cases)
        EXPECT_EQ(HasAVX2(c.Cpuid, c.MaxLeaf, c.Leaf1Ecx, c.Leaf7Ebx, c.Xcr0), c.Expected)
            << c.Cpuid << " " << c.MaxLeaf << std::hex << " " << c.Leaf1Ecx << " " << c.Leaf7Ebx << " " << c.Xcr0;

    const struct {
        bool SSE2, AVX2;
        const TBlendFunctionTable& Expected;
    } choices[] = {
        {false, false, ReferenceBlendFunctions()},
        {false, true, ReferenceBlendFunctions()},  // AVX2 without SSE2 is not trusted
        {true, false, SSE2BlendFunctions()},
        {true, true, AVX2BlendFunctions()},
    };
    for (const auto& c : choices) {
        SelectBlendFunctions(c.SSE2, c.AVX2);
        EXPECT_EQ(ProcessorHasSSE2, c.SSE2);
        EXPECT_EQ(ProcessorHasAVX2, c.SSE2 && c.AVX2);
        EXPECT_EQ(BlendFunctionTable.BlendLine, c.Expected.BlendLine) << c.SSE2 << c.AVX2;
        EXPECT_EQ(BlendFunctionTable.BlendLineMaster, c.Expected.BlendLineMaster) << c.SSE2 << c.AVX2;
        EXPECT_EQ(BlendFunctionTable.CombineWeighted, c.Expected.CombineWeighted) << c.SSE2 << c.AVX2;
    }
#if defined(__SSE2__)
    EXPECT_NE(SSE2BlendFunctions().BlendLine, ReferenceBlendFunctions().BlendLine);
#endif
#if defined(__i386__) || defined(__x86_64__)
    EXPECT_NE(AVX2BlendFunctions().BlendLine, SSE2BlendFunctions().BlendLine);
#endif
    // Back to what this machine's start-up chose.
    SelectBlendFunctions();
    EXPECT_EQ(ProcessorHasSSE2, HasSSE2());
    EXPECT_EQ(ProcessorHasAVX2, HasSSE2() && HasAVX2());
}
