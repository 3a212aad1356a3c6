// The sound pages' rules: presets and the values they send, slider settings and hints, the
// surround values, the owner-drawn image indexes and the extras panel's stepper.
#include "ui/SoundControlsCore.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using TBands = std::array<int8_t, kEQBandCount>;

}  // namespace

TEST(Equalizer, EachPresetShowsItsNameAndSendsItsBands)
{
    // Positions as the menu lists them and the values the processor receives: -p x 10 div 20,
    // truncated, so odd positions lose their half.
    const struct {
        const char* Name;
        TEQPositions Positions;
        TBands Sent;
    } presets[] = {
        {"(Default) Disabled", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"Classical", {0, 0, 0, 0, 0, -10, 40, 40, 40, 50}, {0, 0, 0, 0, 0, 5, -20, -20, -20, -25}},
        {"Club", {0, 0, -10, -20, -20, -20, -10, 0, 0, 0}, {0, 0, 5, 10, 10, 10, 5, 0, 0, 0}},
        {"Dance", {-50, -40, -20, 5, 0, 20, 30, 20, 0, 0}, {25, 20, 10, -2, 0, -10, -15, -10, 0, 0}},
        {"Full Bass", {-50, -50, -50, -30, -10, 10, 30, 50, 50, 50}, {25, 25, 25, 15, 5, -5, -15, -25, -25, -25}},
        {"Full Bass & Treble", {-30, -20, 0, 30, 20, -10, -40, -50, -50, -50}, {15, 10, 0, -15, -10, 5, 20, 25, 25, 25}},
        {"Full Treble", {50, 50, 50, 20, -10, -50, -80, -80, -80, -90}, {-25, -25, -25, -10, 5, 25, 40, 40, 40, 45}},
        {"Labtop", {-15, -50, -25, 20, 10, -5, -15, -30, -50, -60}, {7, 25, 12, -10, -5, 2, 7, 15, 25, 30}},
        {"Large Hall", {-50, -50, -30, -20, 0, 20, 30, 30, 0, 0}, {25, 25, 15, 10, 0, -10, -15, -15, 0, 0}},
        {"Live", {30, 0, -10, -15, -20, -20, -10, -5, -5, 0}, {-15, 0, 5, 7, 10, 10, 5, 2, 2, 0}},
        {"Loudness", {-90, -70, -50, -20, 0, -10, -20, -50, -70, -90}, {45, 35, 25, 10, 0, 5, 10, 25, 35, 45}},
        {"Party", {-30, -30, 0, 0, 0, 0, 0, 0, -30, -30}, {15, 15, 0, 0, 0, 0, 0, 0, 15, 15}},
        {"Pop", {10, -15, -25, -25, -15, 10, 20, 20, 10, 10}, {-5, 7, 12, 12, 7, -5, -10, -10, -5, -5}},
        {"Reggae", {0, 0, 5, 30, 0, -30, -30, 0, 0, 0}, {0, 0, -2, -15, 0, 15, 15, 0, 0, 0}},
        {"Rock", {-40, -30, 30, 40, 20, -20, -40, -40, -40, -40}, {20, 15, -15, -20, -10, 10, 20, 20, 20, 20}},
        {"Ska", {10, 20, 10, 0, -10, -20, -30, -35, -30, -25}, {-5, -10, -5, 0, 5, 10, 15, 17, 15, 12}},
        {"Soft", {-15, -5, 5, 15, 5, -15, -30, -40, -45, -50}, {7, 2, -2, -7, -2, 7, 15, 20, 22, 25}},
        {"Soft Rock", {-15, -15, -10, 5, 15, 25, 15, 5, -10, -30}, {7, 7, 5, -2, -7, -12, -7, -2, 5, 15}},
        {"Techno", {-30, -30, 0, 30, 20, 0, -20, -30, -30, -20}, {15, 15, 0, -15, -10, 0, 10, 15, 15, 10}},
    };
    static_assert(std::size(presets) == kEQPresetCount);
    const TBands custom{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    for (int tag = 0; tag < kEQPresetCount; ++tag) {
        const auto& p = presets[tag];
        const TEQSelection s = EQSelectionFor(tag, custom);
        EXPECT_EQ(s.Label, p.Name) << tag;
        EXPECT_EQ(s.Positions, p.Positions) << p.Name;
        EXPECT_EQ(s.BandValues, p.Sent) << p.Name;
        EXPECT_EQ(s.MenuTag, tag);
        // Only "(Default) Disabled" switches the equaliser off.
        EXPECT_EQ(s.Enabled, tag != 0) << p.Name;
    }
}

TEST(Equalizer, CustomItemRestoresTheStoredBands)
{
    const TBands stored{-100, 0, 0, 0, 50, 0, 0, 0, 0, 99};
    for (const int tag : {kEQCustomTag, 40, -1}) {
        const TEQSelection s = EQSelectionFor(tag, stored);
        EXPECT_EQ(s.Label, "Custom") << tag;
        EXPECT_EQ(s.MenuTag, kEQCustomMenuTag) << tag;
        EXPECT_EQ(s.Positions, (TEQPositions{-100, 0, 0, 0, 50, 0, 0, 0, 0, 99})) << tag;
        EXPECT_EQ(s.BandValues, (TBands{50, 0, 0, 0, -25, 0, 0, 0, 0, -49})) << tag;
        EXPECT_TRUE(s.Enabled);
    }
    // Flat custom bands switch the equaliser off; the label comes from the resource text.
    const TEQSelection flat = EQSelectionFor(kEQCustomTag, TBands{}, "Eigene");
    EXPECT_FALSE(flat.Enabled);
    EXPECT_EQ(flat.Label, "Eigene");
}

TEST(Equalizer, CustomItemIsAppendedOnlyOnce)
{
    EXPECT_TRUE(EQNeedsCustomItem(kEQPresetCount));
    EXPECT_FALSE(EQNeedsCustomItem(kEQPresetCount + 1));  // already there: a second move adds none
    EXPECT_FALSE(EQNeedsCustomItem(0));
}

TEST(Equalizer, BandValuesAndHintsAtTheEnds)
{
    const struct {
        int Position, Sent;
        const char* Hint;
    } cases[] = {{0, 0, "0 %"}, {-100, 50, "100 %"}, {100, -50, "-100 %"}, {-1, 0, "1 %"}, {1, 0, "-1 %"},
                 {-3, 1, "3 %"}, {50, -25, "-50 %"}};
    for (const auto& c : cases) {
        EXPECT_EQ(EQBandValue(c.Position), c.Sent) << c.Position;
        EXPECT_EQ(EQBandHint(c.Position), c.Hint) << c.Position;
    }
    // A position beyond the bar's range is held to it rather than wrapped in a signed byte.
    EXPECT_EQ(EQBandValues(TEQPositions{-300, 300}), (TBands{50, -50}));
}

TEST(SoundProcessing, SlidersSwitchTheirStageAndSendTheirValue)
{
    const struct {
        const char* Slider;
        TStageSetting (*Setting)(int);
        int Position;
        bool Enabled;
        int32_t Value;
    } cases[] = {
        {"PreAmp", PreAmpSetting, 0, false, 10000},    {"PreAmp", PreAmpSetting, 1, true, 10010},
        {"PreAmp", PreAmpSetting, 1000, true, 20000},  {"3D", Sound3DSetting, 0, false, 0},
        {"3D", Sound3DSetting, 900, true, 9000},       {"DynAmp", DynAmpMaxSetting, 0, false, 10000},
        {"DynAmp", DynAmpMaxSetting, 2500, true, 12500}, {"DynAmp", DynAmpMaxSetting, 10000, true, 20000},
    };
    for (const auto& c : cases) {
        const TStageSetting s = c.Setting(c.Position);
        EXPECT_EQ(s.Enabled, c.Enabled) << c.Slider << " " << c.Position;
        EXPECT_EQ(s.Value, c.Value) << c.Slider << " " << c.Position;
    }
}

TEST(SoundProcessing, DynamicAmplifierHints)
{
    const struct {
        int Position;
        const char *Max, *Attack, *Release;
    } cases[] = {{2500, "2.5 x", "2.5 db.", "2.5 Sec."},     {0, "0.0 x", "0.0 db.", "0.0 Sec."},
                 {1000, "1.0 x", "1.0 db.", "1.0 Sec."},     {3000, "3.0 x", "3.0 db.", "3.0 Sec."},
                 {10000, "10.0 x", "10.0 db.", "10.0 Sec."}, {1250, "1.3 x", "1.3 db.", "1.3 Sec."},
                 {1249, "1.2 x", "1.2 db.", "1.2 Sec."}};
    for (const auto& c : cases) {
        EXPECT_EQ(DynAmpMaxHint(c.Position), c.Max);
        EXPECT_EQ(DynAmpAttackHint(c.Position), c.Attack);
        EXPECT_EQ(DynAmpReleaseHint(c.Position), c.Release);
    }
    EXPECT_EQ(DynAmpReleaseHint(500, "s"), "0.5 s");
}

TEST(Volume, TrackBarTopIsFullVolumeAndHintRoundsHalvesToEven)
{
    const struct {
        int Position;
        int32_t Volume;
        const char* Hint;
    } cases[] = {{150, 9850, "98 %"}, {0, 10000, "100 %"}, {10000, 0, "0 %"}, {2000, 8000, "80 %"},
                 {250, 9750, "98 %"}, {50, 9950, "100 %"}, {151, 9849, "98 %"}, {149, 9851, "99 %"},
                 {-5, 10000, "100 %"}, {12000, 0, "0 %"}};
    for (const auto& c : cases) {
        EXPECT_EQ(VolumeFromTrackBar(c.Position), c.Volume) << c.Position;
        EXPECT_EQ(VolumeHint(c.Position), c.Hint) << c.Position;
    }
}

TEST(Volume, MuteSilencesAndUnmuteRestoresTheTrackBar)
{
    EXPECT_EQ(VolumeAfterMute(true, 150), 0);
    EXPECT_EQ(VolumeAfterMute(false, 150), 9850);
    EXPECT_EQ(VolumeAfterMute(false, 10000), 0);
}

TEST(Surround, CircleSpeakerTypeIsSliderPlusOneAndLoadsNeverDrift)
{
    for (int position = 0; position <= 7; ++position) {
        EXPECT_EQ(CircleSpeakerTypeFromSlider(position), position + 1);
        EXPECT_EQ(CircleSpeakerSliderFor(CircleSpeakerTypeFromSlider(position)), position);
    }
    // Type 3 survives any number of load and write-back rounds.
    int type = 3;
    for (int load = 0; load < 10; ++load)
        type = CircleSpeakerTypeFromSlider(CircleSpeakerSliderFor(type));
    EXPECT_EQ(type, 3);
    // Stored types outside 1..8 land on the slider's ends.
    EXPECT_EQ(CircleSpeakerSliderFor(0), 0);
    EXPECT_EQ(CircleSpeakerSliderFor(-20), 0);
    EXPECT_EQ(CircleSpeakerSliderFor(9), 7);
    EXPECT_EQ(CircleSpeakerSliderFor(1000), 7);
}

TEST(Surround, RadioTagsCarryTheModeAndTheSelection)
{
    for (int selected = 0; selected <= 2; ++selected) {
        int marked = 0;
        for (int mode = 0; mode <= 2; ++mode) {
            const int tag = RadioButtonTag(mode, selected);
            EXPECT_EQ(RadioButtonMode(tag), mode);
            EXPECT_EQ(RadioButtonSelected(tag), mode == selected);
            marked += RadioButtonSelected(tag);
        }
        EXPECT_EQ(marked, 1) << "exactly one button carries the selection";
    }
}

TEST(Surround, OwnerDrawnImageIndexes)
{
    // Check boxes: Tag 0/1, enabled then disabled; any other Tag draws nothing.
    EXPECT_EQ(CheckBoxImageIndex(0, true), 0);
    EXPECT_EQ(CheckBoxImageIndex(1, true), 1);
    EXPECT_EQ(CheckBoxImageIndex(0, false), 2);
    EXPECT_EQ(CheckBoxImageIndex(1, false), 3);
    EXPECT_EQ(CheckBoxImageIndex(-1, true), -1);
    // Radio buttons: unselected (mode) or selected (mode + 10).
    EXPECT_EQ(RadioButtonImageIndex(2, true), 0);
    EXPECT_EQ(RadioButtonImageIndex(10, true), 1);
    EXPECT_EQ(RadioButtonImageIndex(1, false), 2);
    EXPECT_EQ(RadioButtonImageIndex(12, false), 3);
    // Power buttons: on, off, disabled; pressed wins.
    EXPECT_EQ(PowerButtonImageIndex(true, true, false), 1);
    EXPECT_EQ(PowerButtonImageIndex(false, true, false), 3);
    EXPECT_EQ(PowerButtonImageIndex(true, false, false), 4);
    EXPECT_EQ(PowerButtonImageIndex(false, true, true), 2);
    EXPECT_EQ(DefaultButtonImageIndex(true, false), 0);
    EXPECT_EQ(DefaultButtonImageIndex(false, false), 3);
    EXPECT_EQ(DefaultButtonImageIndex(true, true), 2);
}

TEST(ExtrasStepper, SkipsAMissingSurroundPageBothWays)
{
    const TSurroundAvailability none{2, false, false, false};
    // From page 1 the next-button lands on the colour page; back from there lands on page 1.
    const TExtrasStep next = ExtrasStep(2, false, none);
    EXPECT_EQ(next.Position, 3);
    EXPECT_EQ(next.Page, 4);
    const TExtrasStep back = ExtrasStep(2, true, none);
    EXPECT_EQ(back.Position, 1);
    EXPECT_EQ(back.Page, 1);
}

TEST(ExtrasStepper, PositionsMapToPages)
{
    const TSurroundAvailability tru{2, true, false, false};
    const TSurroundAvailability circle{3, false, true, false};
    const int truPages[] = {0, 1, 2, 4, 5, 6, 7};
    for (int position = 0; position < kExtrasStepCount; ++position) {
        EXPECT_EQ(ExtrasStep(position, false, tru).Page, truPages[position]) << position;
        EXPECT_EQ(ExtrasStep(position, false, tru).Position, position);
    }
    EXPECT_EQ(ExtrasStep(2, true, circle).Page, kPageCircleSurround);
    // The configured effect decides, not whichever one is installed; "off" hides both.
    const struct {
        TSurroundAvailability Surround;
        int Page;
    } cases[] = {{{3, true, false, false}, -1}, {{2, false, true, false}, -1}, {{0, true, true, false}, 2},
                 {{5, true, true, false}, 3},   {{2, true, true, true}, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(SurroundPage(c.Surround), c.Page) << c.Surround.SpeakerType;
    // A position outside the stepper is held to its ends.
    EXPECT_EQ(ExtrasStep(-1, false, tru).Page, 0);
    EXPECT_EQ(ExtrasStep(9, false, tru).Page, 7);
}

TEST(ExtrasStepper, PopupListsThePagesWithTheirStepperPositions)
{
    const auto flatten = [](const std::vector<TExtrasPopupItem>& items) {
        std::vector<std::pair<int, int>> out;
        for (const auto& i : items)
            out.emplace_back(i.Page, i.Tag);
        return out;
    };
    using TItems = std::vector<std::pair<int, int>>;
    EXPECT_EQ(flatten(ExtrasPopupItems({2, false, false, false})), (TItems{{0, 0}, {1, 1}, {4, 3}, {5, 4}, {6, 5}, {7, 6}}));
    EXPECT_EQ(flatten(ExtrasPopupItems({4, false, true, false})),
              (TItems{{0, 0}, {1, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 5}, {7, 6}}));
    EXPECT_EQ(flatten(ExtrasPopupItems({1, true, true, false})),
              (TItems{{0, 0}, {1, 1}, {2, 2}, {4, 3}, {5, 4}, {6, 5}, {7, 6}}));
}
