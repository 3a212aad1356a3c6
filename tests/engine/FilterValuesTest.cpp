// Values as the outside filters take them: speaker layouts, scaled levels, clamping.
#include "engine/AC3Speakers.h"
#include "engine/FilterLevels.h"
#include "tests/support/FilterValueCases.h"

#include <gtest/gtest.h>

using namespace pvltest;

TEST(AC3Speakers, LayoutTableGivesMaskAndOrderPaddedWithNone)
{
    for (const TSpeakerLayoutCase& c : SpeakerLayoutCases) {
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
    for (const TSpeakerSettingCase& c : SpeakerSettingCases) {
        const TAC3Speakers speakers = AC3SpeakersForSettings(c.SpeakerType, c.Spdif);
        EXPECT_EQ(speakers.Mode, c.Mode) << "type " << c.SpeakerType << " spdif " << c.Spdif;
        EXPECT_EQ(speakers.Spdif, c.SpdifWord) << "type " << c.SpeakerType << " spdif " << c.Spdif;
        EXPECT_EQ(speakers.ChannelMask, SpeakerLayoutCase(c.Mode).Mask);
        EXPECT_EQ(speakers.ChannelOrder, SpeakerLayoutCase(c.Mode).Order);
        EXPECT_EQ(speakers.Extra, 0);
        EXPECT_EQ(speakers.Option, 0);
    }
}

TEST(FilterLevels, ReadLevelsAreRoundedToNearestWithTiesToEven)
{
    for (const TLevelReadCase& c : LevelReadCases) {
        const auto level = LevelFromFilter(c.Reported);
        ASSERT_TRUE(level.has_value()) << c.Reported;
        EXPECT_EQ(*level, c.Level) << c.Reported;
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
