// The video window's platform-free decisions: renderer names, aspect fit, seek strip, the
// stillness timer, docking zones and the full-screen monitor.
#include "ui/Video_UnitCore.h"

#include <gtest/gtest.h>

TEST(VideoRenderers, ShortNamesMapExactlyToKinds)
{
    const struct {
        const char* Name;
        std::optional<TVideoRendererKind> Kind;
    } cases[] = {{"VMR9", vrVMR9}, {"VMR", vrVMR}, {"Overlay2", vrOverlay2}, {"Overlay", vrOverlay},
                 {"Normal", vrNormal}, {"normal", std::nullopt}, {"VMR7", std::nullopt}, {"", std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(RendererKindFromShortName(c.Name), c.Kind) << c.Name;
}

TEST(AspectFit, LetterboxesOrPillarboxesCentred)
{
    const struct {
        TRect Target;
        int W, H;
        TRect Expected;
    } cases[] = {
        {TRect(0, 0, 640, 480), 320, 240, TRect(0, 0, 640, 480)},        // same aspect
        {TRect(0, 0, 640, 480), 1280, 544, TRect(0, 104, 640, 376)},     // wide: bars top and bottom
        {TRect(0, 0, 640, 480), 240, 320, TRect(140, 0, 500, 480)},      // tall: bars left and right
        {TRect(10, 20, 111, 70), 2, 1, TRect(10, 20, 110, 70)},          // spare pixel: half rounds toward zero
        {TRect(0, 0, 100, 100), 3, 2, TRect(0, 16, 100, 83)},            // MulDiv rounds 66.67 to 67
    };
    for (const auto& c : cases) {
        const std::optional<TRect> r = FitRectKeepAspect(c.Target, c.W, c.H);
        ASSERT_TRUE(r);
        EXPECT_EQ(*r, c.Expected) << c.W << "x" << c.H;
    }
}

TEST(AspectFit, NoSourceSizeMeansNoFit)
{
    for (const auto& [w, h] : {std::pair{0, 240}, {320, 0}, {0, 0}, {-5, 10}})
        EXPECT_FALSE(FitRectKeepAspect(TRect(0, 0, 640, 480), w, h));
}

TEST(MulDiv, RoundsHalvesAwayFromZero)
{
    EXPECT_EQ(MulDivRound(3, 5, 2), 8);
    EXPECT_EQ(MulDivRound(-3, 5, 2), -8);
    EXPECT_EQ(MulDivRound(1, 1, 3), 0);
    EXPECT_EQ(MulDivRound(2000000000, 2, 4), 1000000000);  // the product needs 64 bits
    EXPECT_EQ(MulDivRound(1, 1, 0), -1);
}

TEST(SeekStrip, PercentFromPositionOverTheFrame)
{
    // A frame 188 wide: 184 pixels of span.
    const struct {
        int X;
        std::optional<double> Percent;
    } cases[] = {{0, std::nullopt}, {1, 0.0}, {2, 100.0 / 184}, {93, 50.0}, {185, 100.0}, {186, 100.0}, {187, std::nullopt}};
    for (const auto& c : cases) {
        const std::optional<double> p = SeekPercentFromX(c.X, 188);
        ASSERT_EQ(p.has_value(), c.Percent.has_value()) << c.X;
        if (p)
            EXPECT_NEAR(*p, *c.Percent, 1e-9) << c.X;
    }
}

TEST(SeekStrip, FrameTooNarrowSeeksToStart)
{
    EXPECT_EQ(SeekPercentFromX(2, 4), 0.0);
    EXPECT_EQ(SeekPercentFromX(1, 3), 0.0);
}

TEST(Times, HoursMinutesSecondsFromTenths)
{
    const THms t = HmsFromTenths(36000 * 2 + 600 * 3 + 45);
    EXPECT_EQ(t.Hours, 2);
    EXPECT_EQ(t.Minutes, 3);
    EXPECT_EQ(t.Seconds, 4);
    const THms negative = HmsFromTenths(-700);
    EXPECT_EQ(negative.Hours + negative.Minutes + negative.Seconds, 0);
}

TEST(ExclusiveMode, StartsOnlyAfterMoreThanThreeSecondsOfStillness)
{
    EXPECT_FALSE(StillnessElapsed(13000, 10000));
    EXPECT_TRUE(StillnessElapsed(13001, 10000));
    EXPECT_TRUE(StillnessElapsed(2000, 0xFFFFF000u));  // across the tick counter's wrap
    EXPECT_FALSE(StillnessElapsed(100, 0xFFFFFF00u));
}

TEST(ExclusiveMode, JitterOfTwoPixelsIsNoMovement)
{
    const TPoint last(100, 100);
    EXPECT_FALSE(IsMouseMovement(last, TPoint(102, 98)));
    EXPECT_TRUE(IsMouseMovement(last, TPoint(103, 100)));
    EXPECT_TRUE(IsMouseMovement(last, TPoint(100, 97)));
}

TEST(Docking, ZonesAlongTheBottomAndTheRight)
{
    // A form 502 high with a client of 628 x 475.
    const struct {
        int X, Y;
        TDockZone Zone;
    } cases[] = {{300, 402, TDockZone::ControlForm}, {300, 475, TDockZone::ControlForm}, {620, 450, TDockZone::ControlForm},
                 {300, 401, TDockZone::None},        {528, 100, TDockZone::PlaylistForm}, {628, 0, TDockZone::PlaylistForm},
                 {527, 100, TDockZone::None},        {300, 480, TDockZone::None}};
    for (const auto& c : cases)
        EXPECT_EQ(DockZoneAt(c.X, c.Y, 502, 628, 475), c.Zone) << c.X << "," << c.Y;
}

TEST(Docking, PreviewStrips)
{
    const TRect client(100, 50, 740, 530);
    EXPECT_EQ(DockPreviewRect(TDockZone::ControlForm, client, 113), TRect(100, 417, 740, 530));
    EXPECT_EQ(DockPreviewRect(TDockZone::PlaylistForm, client, 113), TRect(590, 50, 740, 530));
}

TEST(FullScreenMonitor, SettingPicksTheEntryAndOutsideMeansNearest)
{
    EXPECT_EQ(FullScreenMonitorIndex(0, 2), std::nullopt);
    EXPECT_EQ(FullScreenMonitorIndex(1, 2), 0);
    EXPECT_EQ(FullScreenMonitorIndex(2, 2), 1);
    EXPECT_EQ(FullScreenMonitorIndex(3, 2), std::nullopt);
    EXPECT_EQ(FullScreenMonitorIndex(-1, 2), std::nullopt);
    EXPECT_EQ(FullScreenMonitorIndex(1, 0), std::nullopt);
}
