// The engine's platform-free arithmetic: volume curve, percentages, file types, visual buffers.
#include "engine/CommonUnitCore.h"

#include "framework/Classes.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace pvltest;

TEST(VolumeCurve, UserVolumesMapOntoTheGraphsAttenuation)
{
    const std::pair<int32_t, int32_t> cases[] = {
        {10000, 0}, {5000, -903}, {1000, -3000}, {100, -6000}, {10, -9000}, {5, -9903}, {0, -10000},
        // The curve falls below the platform's floor for 1 to 4: those are silence too.
        {4, -10000}, {1, -10000},
        // Out of range: clamped.
        {-1, -10000}, {std::numeric_limits<int32_t>::min(), -10000}, {10001, 0}, {std::numeric_limits<int32_t>::max(), 0},
    };
    for (const auto& [volume, level] : cases)
        EXPECT_EQ(GraphVolumeFromVolume(volume), level) << volume;
}

TEST(VolumeCurve, AttenuationIsOffsetByTenThousand)
{
    EXPECT_EQ(VolumeToAttenuation(0), 10000);
    EXPECT_EQ(VolumeToAttenuation(9000), 7000);
    EXPECT_EQ(VolumeToAttenuation(9999), -2000);  // below the floor; the caller clamps
    EXPECT_EQ(VolumeToAttenuation(10000), 0);
    EXPECT_EQ(VolumeToAttenuation(20000), 0);
}

TEST(VolumeCurve, EqBandGainTruncatesTowardZero)
{
    const struct {
        int32_t A, B, Gain;
    } cases[] = {{-100, 10, -50}, {100, 10, 50}, {7, 10, 3}, {-7, 10, -3}, {1, 19, 0}, {-1, 19, 0}, {0, 10, 0},
                 {100000, 100000, 500000000}};
    for (const auto& c : cases)
        EXPECT_EQ(EqBandGainFromSlider(c.A, c.B), c.Gain) << c.A << " * " << c.B;
}

TEST(Percentages, PositionsFromPercentRoundHalvesToEvenAndIgnoreNonPositive)
{
    const int64_t tenSeconds = 100000000;
    const struct {
        int64_t Duration;
        double Percent;
        int64_t Position;
        int32_t Tenths;
    } cases[] = {
        {tenSeconds, 50, 50000000, 50},
        {tenSeconds, 100, tenSeconds, 100},
        {tenSeconds, 0, 0, 0},
        {tenSeconds, -5, 0, 0},
        {tenSeconds, std::nan(""), 0, 0},
        {tenSeconds, 0.25, 250000, 0},      // 0.25 tenths rounds to 0
        {25000000, 1, 250000, 0},           // 0.25 tenths
        {15, 10, 2, 0},                     // 1.5 rounds to 2
        {25, 10, 2, 0},                     // 2.5 rounds to 2
        {35000000, 10, 3500000, 4},         // 3.5 tenths rounds to 4
        {25000000, 10, 2500000, 2},         // 2.5 tenths rounds to 2
        {0, 50, 0, 0},
        {tenSeconds, 1e300, std::numeric_limits<int64_t>::max(), std::numeric_limits<int32_t>::max()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PositionFromPercent(c.Duration, c.Percent), c.Position) << c.Duration << " at " << c.Percent;
        EXPECT_EQ(TenthsFromPercent(c.Duration, c.Percent), c.Tenths) << c.Duration << " at " << c.Percent;
    }
}

TEST(FileTypes, FilterTakesEveryLineButCommentsAndEmptyOnes)
{
    TStringList lines;
    lines.SetText("//All media|*.avi;*.mp3; *.wav ;;\n"
                  "Video|*.avi;*.mpg\n"
                  "\n"
                  "   \n"
                  "// Audio|*.mp3\n"
                  "Audio|*.mp3;*.wav\n"
                  "no patterns here\n"
                  "All Files|*.*\n");
    TStringList extensions;
    EXPECT_EQ(ParseFileTypes(lines, extensions), "Video|*.avi;*.mpg|Audio|*.mp3;*.wav|All Files|*.*|");
    // The first line gives the extensions even as a comment; blanks around and empty pieces go.
    ASSERT_EQ(extensions.Count(), 3);
    EXPECT_EQ(extensions[0], "*.AVI");
    EXPECT_EQ(extensions[1], "*.MP3");
    EXPECT_EQ(extensions[2], "*.WAV");
}

TEST(FileTypes, FirstLineThatIsShownAlsoGivesTheExtensions)
{
    TStringList lines{"All Media Files|*.avi;*.Mpeg", "Video|*.avi"};
    TStringList extensions{"stale"};
    EXPECT_EQ(ParseFileTypes(lines, extensions), "All Media Files|*.avi;*.Mpeg|Video|*.avi|");
    ASSERT_EQ(extensions.Count(), 2);
    EXPECT_EQ(extensions[1], "*.MPEG");
}

TEST(FileTypes, AFirstLineWithoutBarOrAnEmptyListGivesNoExtensions)
{
    for (const char* text : {"just a comment\nVideo|*.avi\n", "", "All|\n"}) {
        TStringList lines;
        lines.SetText(text);
        TStringList extensions{"stale"};
        ParseFileTypes(lines, extensions);
        EXPECT_EQ(extensions.Count(), 0) << text;
    }
}

TEST(FileTypes, LongFirstLinesKeepEveryExtension)
{
    std::string patterns;
    for (int i = 0; i < 100; ++i)
        patterns += "*.x" + std::to_string(i) + ";";
    TStringList lines{"All|" + patterns};
    TStringList extensions;
    ParseFileTypes(lines, extensions);
    ASSERT_EQ(extensions.Count(), 100);
    EXPECT_EQ(extensions[99], "*.X99");
}

TEST(FileTypes, TheShippedListParses)
{
    TStringList lines;
    lines.LoadFromFile(SourcePath("Data/filetypes.cfg"));
    TStringList extensions;
    const std::string filter = ParseFileTypes(lines, extensions);
    EXPECT_TRUE(filter.starts_with("All Media Files|"));
    EXPECT_TRUE(filter.ends_with("All Files|*.*|"));
    for (const char* known : {"*.AVI", "*.MPG", "*.WMV", "*.WAV", "*.MP3"})
        EXPECT_GE(extensions.IndexOf(known), 0) << known;
    EXPECT_LT(extensions.IndexOf("*.*"), 0);
}

TEST(VisualBuffers, StartInSpectrumModeWithPeaksAndFade)
{
    TVisualBuffers visual;
    EXPECT_EQ(visual.Mode, 2);
    EXPECT_TRUE(visual.ShowPeaks);
    EXPECT_TRUE(visual.UseFade);
    EXPECT_EQ(visual.Analysis.size() * sizeof(int32_t), 0x50000u);
}

TEST(VisualBuffers, NextVisualCyclesAndResets)
{
    TVisualBuffers visual;
    const std::pair<uint8_t, uint8_t> steps[] = {{0, 1}, {1, 2}, {4, 5}, {5, 0}, {6, 0}, {200, 0}};
    for (const auto& [from, to] : steps) {
        visual.Mode = from;
        visual.Analysis[8191] = 7;
        visual.Peaks[3] = 7;
        visual.NextVisual();
        EXPECT_EQ(visual.Mode, to) << int(from);
        EXPECT_EQ(visual.Analysis[8191], 0);
        EXPECT_EQ(visual.Peaks[3], 0);
    }
}

TEST(VisualBuffers, ResetPeaksLeavesLevelsAndAnalysisResetVisualClearsAll)
{
    TVisualBuffers visual;
    auto fill = [&] {
        visual.Analysis.back() = 1;
        visual.Levels[254] = 2;
        visual.Peaks[0] = 3;
        visual.PeakHold[100] = 4;
    };
    fill();
    visual.ResetPeaks();
    EXPECT_EQ(visual.Peaks[0], 0);
    EXPECT_EQ(visual.PeakHold[100], 0);
    EXPECT_EQ(visual.Levels[254], 2);
    EXPECT_EQ(visual.Analysis.back(), 1);
    fill();
    visual.ResetVisual();
    EXPECT_EQ(visual.Levels[254], 0);
    EXPECT_EQ(visual.Analysis.back(), 0);
    EXPECT_EQ(visual.Peaks[0], 0);
    EXPECT_EQ(visual.PeakHold[100], 0);
    visual.Mode = 4;
    fill();
    visual.SwitchVisual(3);
    EXPECT_EQ(visual.Mode, 3);
    EXPECT_EQ(visual.Analysis.back(), 0);
}
