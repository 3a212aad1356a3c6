// The visualisation's analysers on synthetic PCM and its drawing into a bitmap: where a sine's
// bin lands, the full scale of every sample format, channel limits, empty blocks, the bars'
// geometry, peak hold and fall, and the fade.
#include "ui/VisualisationCore.h"

#include "DSFilters/dspFastFourier.h"
#include "graphics/Bitmap32Core.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

namespace {
constexpr int kHeight = 40;
constexpr uint32_t kBack = 0xBB7B42;
const TColor32 kBack32 = MakeColor32(0x42, 0x7B, 0xBB);

struct TFormat {
    const char* Name;
    int Bits;
    bool Float;
};
constexpr TFormat kFormats[] = {{"8-bit", 8, false}, {"16-bit", 16, false}, {"24-bit", 24, false},
                                {"32-bit", 32, false}, {"float", 32, true}};

// Interleaved PCM of `channels` channels; sample(frame, channel) in -1..1 of full scale.
template <class F>
std::vector<uint8_t> MakePCM(const TFormat& format, int channels, int frames, F sample)
{
    const int bytes = format.Bits / 8;
    std::vector<uint8_t> pcm(static_cast<size_t>(frames) * channels * bytes);
    uint8_t* p = pcm.data();
    for (int f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c, p += bytes) {
            const double s = std::clamp(sample(f, c), -1.0, 1.0);
            if (format.Float) {
                const float v = static_cast<float>(s);
                std::memcpy(p, &v, 4);
            } else if (format.Bits == 8) {
                *p = static_cast<uint8_t>(std::clamp(std::lround(s * 128) + 128, 0L, 255L));
            } else {
                const double scale = std::ldexp(1.0, format.Bits - 1);
                const int64_t v = std::clamp<int64_t>(std::llround(s * scale), static_cast<int64_t>(-scale),
                                                      static_cast<int64_t>(scale) - 1);
                for (int i = 0; i < bytes; ++i)
                    p[i] = static_cast<uint8_t>(static_cast<uint64_t>(v) >> (8 * i));
            }
        }
    return pcm;
}

struct TVisualFixture {
    TVisualBuffers Visual;
    TVisualState State;
    TDCFFT FFT;
    TCustomBitmap32 Bitmap, Fade;

    explicit TVisualFixture(uint8_t mode)
    {
        Visual.Mode = mode;
        Visual.UseFade = false;
        Visual.ShowPeaks = false;
        State.Top = kHeight;
        FFT.Scale = false;
        FFT.ReOrder = true;
        FFT.FFTSize = fts1024;
        Bitmap.SetSize(TVisualBuffers::Bars, kHeight);
        Fade.SetSize(TVisualBuffers::Bars, kHeight);
        Fade.Clear(kBack32);
    }
    bool Process(const std::vector<uint8_t>& pcm, const TFormat& format, int channels)
    {
        return ProcessVisual(Visual, State, FFT, pcm.data(), static_cast<int32_t>(pcm.size()), format.Float, channels,
                             format.Bits);
    }
    void Draw(int channels, int top = kHeight)
    {
        DrawVisual(Visual, State, Bitmap, Fade, kBack, Visual.Analysis.data(), 0, channels, 512, top);
    }
    int PeakBin() const
    {
        return static_cast<int>(std::max_element(Visual.Analysis.begin(), Visual.Analysis.begin() + 512) -
                                Visual.Analysis.begin());
    }
    bool Drawn(int x, int y) const { return Bitmap.Pixel(x, y) != kBack32; }
    // Rows drawn in column x, counted from the bottom until the first background pixel.
    int ColumnHeight(int x) const
    {
        int h = 0;
        while (h < kHeight && Drawn(x, kHeight - 1 - h))
            ++h;
        return h;
    }
    bool AllBackground() const
    {
        for (int y = 0; y < Bitmap.Height(); ++y)
            for (int x = 0; x < Bitmap.Width(); ++x)
                if (Drawn(x, y))
                    return false;
        return true;
    }
};

const TFormat& Format16()
{
    return kFormats[1];
}
}

TEST(VisualSpectrum, SineLandsInItsBinAtStrideOneAndTen)
{
    const struct {
        int Stride;
        int Frames;
        int Bin;
    } cases[] = {{1, 1024, 100}, {1, 4410, 37}, {10, 5632, 100}, {10, 8000, 200}};
    for (const auto& c : cases) {
        TVisualFixture fx(1);
        fx.State.Stride = c.Stride;
        // The frames taken lie `stride` apart: the bin's frequency at that rate.
        const double cycles = c.Bin / 1024.0 / c.Stride;
        const auto pcm = MakePCM(Format16(), 2, c.Frames,
                                 [&](int f, int) { return 0.5 * std::sin(2 * std::numbers::pi * cycles * f); });
        ASSERT_TRUE(fx.Process(pcm, Format16(), 2));
        EXPECT_EQ(fx.PeakBin(), c.Bin) << "stride " << c.Stride;
        EXPECT_GT(fx.Visual.Analysis[static_cast<size_t>(c.Bin)], 0);
        EXPECT_EQ(fx.Visual.Analysis[static_cast<size_t>(c.Bin) + 60], 0) << "stride " << c.Stride;
    }
}

TEST(VisualSpectrum, EveryFormatReadsOnTheSameScale)
{
    std::vector<int32_t> reference;
    for (const TFormat& format : kFormats) {
        TVisualFixture fx(2);
        const auto pcm = MakePCM(format, 2, 1024, [](int f, int) { return 0.05 * std::sin(f * 0.3); });
        ASSERT_TRUE(fx.Process(pcm, format, 2)) << format.Name;
        std::vector<int32_t> bins(fx.Visual.Analysis.begin(), fx.Visual.Analysis.begin() + 512);
        if (reference.empty())
            reference = bins;
        EXPECT_EQ(fx.PeakBin(), 49) << format.Name;
        // 8-bit quantisation moves a bin's value by a little; the others read the same.
        for (size_t k = 0; k < bins.size(); ++k)
            EXPECT_NEAR(bins[k], reference[k], format.Bits == 8 ? 3 : 1) << format.Name << " bin " << k;
    }
}

TEST(VisualLevels, FullScaleReaches128InEveryFormat)
{
    for (const TFormat& format : kFormats)
        for (const double level : {-1.0, 1.0, 0.5}) {
            TVisualFixture fx(5);
            const auto pcm = MakePCM(format, 2, 64, [&](int f, int c) { return f == 7 && c == 1 ? level : 0.0; });
            ASSERT_TRUE(fx.Process(pcm, format, 2));
            EXPECT_EQ(fx.Visual.Analysis[0], 0) << format.Name;
            EXPECT_NEAR(fx.Visual.Analysis[1], std::fabs(level) * 128, 1) << format.Name << " " << level;
            EXPECT_LE(fx.Visual.Analysis[1], 128) << format.Name;
        }
}

TEST(VisualLevels, FloatsBeyondFullScaleAreClamped)
{
    TVisualFixture fx(5);
    std::vector<float> samples = {0.0f, 3.5f, -7.0f, 0.0f};
    ASSERT_TRUE(ProcessVisual(fx.Visual, fx.State, fx.FFT, samples.data(), 16, true, 1, 32));
    EXPECT_EQ(fx.Visual.Analysis[0], 128);
}

TEST(VisualWave, FullScaleSpansTheRangeInEveryFormat)
{
    for (const TFormat& format : kFormats) {
        TVisualFixture fx(3);
        // Groups of 8 frames: full positive, full negative, silence.
        const auto pcm = MakePCM(format, 2, 24, [](int f, int) { return f < 8 ? 1.0 : f < 16 ? -1.0 : 0.0; });
        ASSERT_TRUE(fx.Process(pcm, format, 2));
        EXPECT_EQ(fx.Visual.Analysis[0], kHeight - 1) << format.Name;
        EXPECT_EQ(fx.Visual.Analysis[1], 0) << format.Name;
        EXPECT_EQ(fx.Visual.Analysis[2], kHeight / 2) << format.Name;
    }
}

TEST(VisualChannels, OnlyTheFirstTenAreAnalysed)
{
    // The eleventh channel alone carries sound.
    const auto pcm = MakePCM(Format16(), 11, 2048, [](int f, int c) { return c == 10 ? std::sin(f * 0.4) : 0.0; });
    TVisualFixture vu(5);
    vu.Visual.Analysis[10] = -7;
    ASSERT_TRUE(vu.Process(pcm, Format16(), 11));
    for (int c = 0; c < 10; ++c)
        EXPECT_EQ(vu.Visual.Analysis[static_cast<size_t>(c)], 0) << c;
    EXPECT_EQ(vu.Visual.Analysis[10], -7);

    TVisualFixture spectrum(1);
    ASSERT_TRUE(spectrum.Process(pcm, Format16(), 11));
    EXPECT_EQ(*std::max_element(spectrum.Visual.Analysis.begin(), spectrum.Visual.Analysis.begin() + 512), 0);

    TVisualFixture wave(3);
    ASSERT_TRUE(wave.Process(pcm, Format16(), 11));
    EXPECT_EQ(wave.Visual.Analysis[5], kHeight / 2);

    // Drawn: ten VU rows at most.
    vu.Visual.Analysis.assign(vu.Visual.Analysis.size(), 128);
    vu.Draw(11);
    EXPECT_TRUE(vu.Drawn(0, 1));
    EXPECT_TRUE(vu.Drawn(254, 9 * (kHeight / 10) + 1));
}

TEST(VisualBlocks, EmptyOrUnreadableBlocksAreRefused)
{
    const auto pcm = MakePCM(Format16(), 2, 16, [](int f, int) { return f % 2 ? 0.5 : -0.5; });
    for (uint8_t mode : {1, 3, 5}) {
        TVisualFixture fx(mode);
        const int32_t size = static_cast<int32_t>(pcm.size());
        EXPECT_FALSE(ProcessVisual(fx.Visual, fx.State, fx.FFT, nullptr, size, false, 2, 16)) << int(mode);
        EXPECT_FALSE(ProcessVisual(fx.Visual, fx.State, fx.FFT, pcm.data(), size, false, 0, 16)) << int(mode);
        EXPECT_FALSE(ProcessVisual(fx.Visual, fx.State, fx.FFT, pcm.data(), size, false, 2, 0)) << int(mode);
        EXPECT_FALSE(ProcessVisual(fx.Visual, fx.State, fx.FFT, pcm.data(), size, false, 2, 12)) << int(mode);
        EXPECT_FALSE(ProcessVisual(fx.Visual, fx.State, fx.FFT, pcm.data(), size, true, 2, 16)) << int(mode);
        EXPECT_FALSE(ProcessVisual(fx.Visual, fx.State, fx.FFT, pcm.data(), 3, false, 2, 16)) << int(mode);
        EXPECT_FALSE(ProcessVisual(fx.Visual, fx.State, fx.FFT, pcm.data(), 0, false, 2, 16)) << int(mode);
    }
    TVisualFixture none(0);
    EXPECT_FALSE(none.Process(pcm, Format16(), 2));
}

TEST(VisualBlocks, NothingIsReadPastTheBlock)
{
    // A block of exactly its bytes, ending in a part of a frame: the sanitiser sees any overread.
    for (uint8_t mode : {1, 3, 5})
        for (const TFormat& format : kFormats) {
            TVisualFixture fx(mode);
            fx.State.Stride = 1;
            auto pcm = MakePCM(format, 3, 1100, [](int f, int) { return std::sin(f * 0.1); });
            pcm.resize(pcm.size() - 1);
            pcm.shrink_to_fit();
            EXPECT_TRUE(fx.Process(pcm, format, 3)) << format.Name;
        }
}

// ---- drawing ----

TEST(VisualDraw, SpectrumBarsRiseFromTheBottom)
{
    TVisualFixture fx(1);
    fx.Visual.Analysis[100] = 20;  // bar 8: bins 100..109
    fx.Visual.Analysis[300] = 999; // bar 18: bins 290..339, clamped to the height
    fx.Draw(2);
    EXPECT_EQ(fx.ColumnHeight(82), 22);  // even(20) + 2
    EXPECT_EQ(fx.ColumnHeight(89), 22);
    EXPECT_FALSE(fx.Drawn(81, kHeight - 1));
    EXPECT_FALSE(fx.Drawn(90, kHeight - 1));
    EXPECT_EQ(fx.ColumnHeight(182), kHeight - 1);
    EXPECT_FALSE(fx.Drawn(182, 0));
    EXPECT_EQ(fx.ColumnHeight(2), 2);  // silence leaves the 2-pixel floor
    EXPECT_FALSE(fx.Drawn(0, kHeight - 1));
}

TEST(VisualDraw, PeaksHoldThenFallPerMode)
{
    const struct {
        uint8_t Mode;
        int Index;  // bar or channel
        int Hold;   // frames a peak stays after the first
        int Fall;   // per frame afterwards
    } modes[] = {{1, 8, 26, 1}, {2, 100, 25, 1}, {5, 0, 21, 2}};
    for (const auto& m : modes) {
        TVisualFixture fx(m.Mode);
        fx.Visual.ShowPeaks = true;
        const size_t slot = m.Mode == 1 ? 100 : static_cast<size_t>(m.Index);
        fx.Visual.Analysis[slot] = 30;
        fx.Draw(1);
        EXPECT_EQ(fx.Visual.Peaks[static_cast<size_t>(m.Index)], 30) << int(m.Mode);
        fx.Visual.Analysis[slot] = 0;
        for (int frame = 0; frame < m.Hold; ++frame) {
            fx.Draw(1);
            ASSERT_EQ(fx.Visual.Peaks[static_cast<size_t>(m.Index)], 30) << int(m.Mode) << " frame " << frame;
        }
        fx.Draw(1);
        EXPECT_EQ(fx.Visual.Peaks[static_cast<size_t>(m.Index)], 30 - m.Fall) << int(m.Mode);
        fx.Draw(1);
        EXPECT_EQ(fx.Visual.Peaks[static_cast<size_t>(m.Index)], 30 - 2 * m.Fall) << int(m.Mode);
    }
}

TEST(VisualDraw, BarsFallByTheirStep)
{
    TVisualFixture fx(1);
    fx.Visual.Analysis[100] = 30;
    fx.Draw(2);
    fx.Visual.Analysis[100] = 0;
    fx.Draw(2);
    EXPECT_EQ(fx.Visual.Levels[8], 27);
    EXPECT_EQ(fx.ColumnHeight(85), 28);  // even(27) + 2
    for (int i = 0; i < 20; ++i)
        fx.Draw(2);
    EXPECT_EQ(fx.Visual.Levels[8], 0);
    EXPECT_EQ(fx.ColumnHeight(85), 2);
}

TEST(VisualDraw, FullSpectrumColumnsAndPeakMarks)
{
    TVisualFixture fx(2);
    fx.Visual.ShowPeaks = true;
    fx.Visual.Analysis[10] = 15;
    fx.Visual.Analysis[11] = 500;
    fx.Draw(2);
    EXPECT_EQ(fx.ColumnHeight(10), 15);
    EXPECT_EQ(fx.ColumnHeight(11), kHeight - 1);
    EXPECT_FALSE(fx.Drawn(11, 0));
    // The column falls by 3; its peak mark stays on the old top.
    fx.Visual.Analysis[10] = 0;
    fx.Draw(2);
    EXPECT_EQ(fx.ColumnHeight(10), 12);
    EXPECT_TRUE(fx.Drawn(10, kHeight - 15));
    EXPECT_FALSE(fx.Drawn(10, kHeight - 14));
}

TEST(VisualDraw, VUBarsFromTheLeftInTheirBands)
{
    TVisualFixture fx(5);
    fx.Visual.ShowPeaks = true;
    fx.Visual.Analysis[0] = 64;
    fx.Visual.Analysis[1] = 400;  // clamped to a full bar
    fx.Draw(2);
    // Channel 0: rows 1..20, 127 pixels and the peak mark at 126.
    EXPECT_TRUE(fx.Drawn(0, 1));
    EXPECT_TRUE(fx.Drawn(126, 20));
    EXPECT_FALSE(fx.Drawn(127, 10));
    EXPECT_FALSE(fx.Drawn(0, 0));
    // Channel 1: rows 21..39 (the band's last row lies outside), the whole width.
    EXPECT_TRUE(fx.Drawn(254, 21));
    EXPECT_TRUE(fx.Drawn(254, 39));
}

TEST(VisualDraw, BackgroundOnlyForModeNoneAndNoChannels)
{
    TVisualFixture none(0);
    none.Visual.UseFade = true;
    none.Visual.Analysis.assign(none.Visual.Analysis.size(), 30);
    none.Draw(2);
    EXPECT_TRUE(none.AllBackground());

    TVisualFixture vu(5);
    vu.Visual.Analysis.assign(vu.Visual.Analysis.size(), 100);
    vu.Draw(0);
    EXPECT_TRUE(vu.AllBackground());
}

TEST(VisualDraw, WaveformLinesAndTheEmptyState)
{
    TVisualFixture fx(3);
    fx.Draw(2, 0);  // no data: a flat line across the middle
    for (int x : {0, 100, 254})
        EXPECT_TRUE(fx.Drawn(x, kHeight / 2)) << x;
    EXPECT_FALSE(fx.Drawn(100, kHeight / 2 - 1));

    TVisualFixture filled(4);
    filled.Visual.Analysis[50] = 5;
    filled.Draw(2);
    for (int y = 5; y <= kHeight / 2; ++y)
        EXPECT_TRUE(filled.Drawn(50, y)) << y;
    EXPECT_FALSE(filled.Drawn(50, 4));
}

TEST(VisualDraw, FadeLeavesATrailThatSettles)
{
    TVisualFixture fx(1);
    fx.Visual.UseFade = true;
    fx.Visual.Analysis[100] = 30;
    fx.Draw(2);
    const TColor32 lit = fx.Bitmap.Pixel(85, kHeight - 5);
    EXPECT_NE(lit, kBack32);  // new bars show through the old frame
    fx.Visual.Analysis[100] = 0;
    for (int i = 0; i < 100; ++i)
        fx.Draw(2);
    TCustomBitmap32 settled;
    settled.Assign(fx.Bitmap);
    fx.Draw(2);
    EXPECT_TRUE(settled.Equals(fx.Bitmap));
    const TColor32 trail = fx.Bitmap.Pixel(85, kHeight - 20);
    EXPECT_NEAR(RedComponent(trail), RedComponent(kBack32), 2);
    EXPECT_NEAR(BlueComponent(trail), BlueComponent(kBack32), 2);
}
