// Values as the outside filters take them: speaker layouts, scaled levels, clamping.
#include "engine/AC3Speakers.h"
#include "engine/FilterLevels.h"

#include <gtest/gtest.h>

TEST(AC3Speakers, LayoutTableGivesMaskAndOrderPaddedWithNone)
{
    struct Case {
        int32_t Mode;
        int32_t Mask;
        std::array<int32_t, 6> Order;
    };
    const Case cases[] = {
        {0, 0x04, {0, 1, 6, 6, 6, 6}},  {1, 0x02, {1, 6, 6, 6, 6, 6}},  {2, 0x05, {0, 2, 6, 6, 6, 6}},
        {6, 0x1D, {0, 2, 3, 4, 6, 6}},  {7, 0x1F, {0, 1, 2, 3, 4, 6}},  {9, 0x22, {1, 5, 6, 6, 6, 6}},
        {10, 0x25, {0, 2, 5, 6, 6, 6}}, {14, 0x3D, {0, 2, 3, 4, 5, 6}}, {15, 0x3F, {0, 1, 2, 3, 4, 5}},
        // Only the low four bits choose the layout.
        {16 + 10, 0x25, {0, 2, 5, 6, 6, 6}},
    };
    for (const Case& c : cases) {
        const TSpeakers speakers(c.Mode);
        EXPECT_EQ(speakers.Mode, c.Mode);
        EXPECT_EQ(speakers.ChannelMask, c.Mask) << "mode " << c.Mode;
        EXPECT_EQ(speakers.ChannelOrder, c.Order) << "mode " << c.Mode;
    }
}

TEST(AC3Speakers, EveryLayoutMaskHasABitForEachListedChannel)
{
    for (int32_t mode = 0; mode < 16; ++mode) {
        const TSpeakers speakers(mode);
        int32_t mask = 0;
        for (int32_t channel : speakers.ChannelOrder)
            if (channel != acNone)
                mask |= 1 << channel;
        // The dual-mono layouts (0 and 8) are the ones whose mask is not their channels.
        if ((mode & 7) != 0) {
            EXPECT_EQ(mask, speakers.ChannelMask) << "mode " << mode;
        }
    }
}

TEST(AC3Speakers, SettingsChooseTheLayoutAndSpdifWins)
{
    struct Case {
        int32_t SpeakerType;
        bool Spdif;
        int32_t Mode;
        int32_t SpdifWord;
    };
    const Case cases[] = {
        {-1, false, 2, 0}, {0, false, 2, 0}, {1, false, 2, 0}, {2, false, 10, 0}, {3, false, 6, 0},
        {4, false, 14, 0}, {5, false, 15, 0}, {99, false, 15, 0}, {4, true, 2, 1}, {0, true, 2, 1},
    };
    for (const Case& c : cases) {
        const TAC3Speakers speakers = AC3SpeakersForSettings(c.SpeakerType, c.Spdif);
        EXPECT_EQ(speakers.Mode, c.Mode) << "type " << c.SpeakerType << " spdif " << c.Spdif;
        EXPECT_EQ(speakers.Spdif, c.SpdifWord) << "type " << c.SpeakerType << " spdif " << c.Spdif;
        EXPECT_EQ(speakers.ChannelMask, TSpeakers(c.Mode).ChannelMask);
        EXPECT_EQ(speakers.Extra, 0);
        EXPECT_EQ(speakers.Option, 0);
    }
}

TEST(FilterLevels, ReadLevelsAreRoundedToNearestWithTiesToEven)
{
    struct Case {
        double Value;
        int32_t Level;
    };
    const Case cases[] = {
        // Halves that are exact in binary: 12.5 -> 12, 37.5 -> 38, 62.5 -> 62, -12.5 -> -12.
        {1.5, 150}, {2.3, 230}, {0.0, 0}, {-0.5, -50}, {0.125, 12}, {0.375, 38}, {0.625, 62},
        {-0.125, -12}, {1.1549, 115}, {0.8f, 80}, {6.0, 600},
    };
    for (const Case& c : cases) {
        const auto level = LevelFromFilter(c.Value);
        ASSERT_TRUE(level.has_value()) << c.Value;
        EXPECT_EQ(*level, c.Level) << c.Value;
    }
}

TEST(FilterLevels, ValuesThatAreNoLevelGiveNothing)
{
    EXPECT_FALSE(LevelFromFilter(std::numeric_limits<double>::quiet_NaN()).has_value());
    EXPECT_FALSE(LevelFromFilter(std::numeric_limits<double>::infinity()).has_value());
    EXPECT_FALSE(LevelFromFilter(1e300).has_value());
    EXPECT_FALSE(LevelFromFilter(-1e300).has_value());
}

TEST(FilterLevels, LevelsGoOutDividedByHundredAndSwitchesAsMinusOne)
{
    EXPECT_DOUBLE_EQ(LevelToFilter(230), 2.3);
    EXPECT_FLOAT_EQ(LevelToEffect(600), 6.0f);
    EXPECT_FLOAT_EQ(LevelToEffect(80), 0.8f);
    EXPECT_EQ(SwitchToEffect(true), -1);
    EXPECT_EQ(SwitchToEffect(false), 0);
    EXPECT_TRUE(SwitchFromEffect(1));
    EXPECT_TRUE(SwitchFromEffect(-1));
    EXPECT_FALSE(SwitchFromEffect(0));
    EXPECT_EQ(ClampLevel(700, 0, 600), 600);
    EXPECT_EQ(ClampLevel(-5, 0, 600), 0);
    EXPECT_EQ(ClampLevel(42, 0, 100), 42);
}
