// The main window's poll arithmetic, transport states, keys and dropped-file types.
#include "ui/Control_UnitCore.h"

#include "framework/Classes.h"

#include <gtest/gtest.h>

TEST(Poll, MediaTimeToTenthsTruncates)
{
    EXPECT_EQ(TenthsFromMediaTime(0), 0);
    EXPECT_EQ(TenthsFromMediaTime(9999999), 9);
    EXPECT_EQ(TenthsFromMediaTime(72000000000LL), 72000);  // two hours
}

TEST(Poll, ProgressIsClampedAndNeverDividesByZero)
{
    const struct {
        int32_t Position, Duration, Progress;
    } cases[] = {{0, 100, 0}, {50, 0, 0}, {0, 0, 0}, {-5, 100, 0}, {50, 100, 5000}, {1, 3, 3333}, {2, 3, 6667},
                 {100, 100, 10000}, {150, 100, 10000}};
    for (const auto& c : cases)
        EXPECT_EQ(ProgressFromTimes(c.Position, c.Duration), c.Progress) << c.Position << "/" << c.Duration;
}

TEST(Poll, ProgressBarWidthFollowsTheBackground)
{
    EXPECT_EQ(ProgressBarWidth(188, 0), 0);
    EXPECT_EQ(ProgressBarWidth(188, 5000), 92);
    EXPECT_EQ(ProgressBarWidth(188, 10000), 184);
}

TEST(Poll, TimeTextsElapsedAndRemaining)
{
    const TTimeTexts elapsed = PollTimeTexts(36000 + 600 * 2 + 35, 72000, false);
    EXPECT_EQ(elapsed.Hours, "01");
    EXPECT_EQ(elapsed.Minutes, "02");
    EXPECT_EQ(elapsed.Seconds, "03");
    EXPECT_EQ(elapsed.VideoLabel, "01:02:03");
    EXPECT_EQ(PollTimeTexts(100, 700, true).VideoLabel, "-00:01:00");
    // Past the end in remaining mode: a minus sign and three zero fields.
    const TTimeTexts past = PollTimeTexts(800, 700, true);
    EXPECT_EQ(past.VideoLabel, "-00:00:00");
    EXPECT_EQ(past.Seconds, "00");
}

TEST(Transport, GlyphAndButtonsByState)
{
    const struct {
        uint8_t State;
        int Count;
        TTransportLook Look;
    } cases[] = {{kStateStopped, 1, {3, true, false}}, {kStateRunning, 1, {2, true, true}}, {kStatePaused, 1, {3, true, true}},
                 {kStateNoFile, 0, {3, false, false}}, {kStateNoFile, 2, {3, true, false}}};
    for (const auto& c : cases) {
        const TTransportLook look = TransportLookFor(c.State, c.Count);
        EXPECT_EQ(look.Glyph, c.Look.Glyph) << int(c.State);
        EXPECT_EQ(look.PlayPauseEnabled, c.Look.PlayPauseEnabled) << int(c.State) << " " << c.Count;
        EXPECT_EQ(look.StopEnabled, c.Look.StopEnabled) << int(c.State);
    }
}

TEST(Poll, GainAndBufferingTexts)
{
    EXPECT_EQ(DynamicGainText(0), "Curr. : 0.0 x ");
    EXPECT_EQ(DynamicGainText(2360), "Curr. : 2.4 x ");
    EXPECT_EQ(BufferingText(42), "Wait, Buffering 42%");
    EXPECT_EQ(BufferingText(100), "");
}

TEST(Keys, MainAndVideoWindowBindings)
{
    using A = TKeyAction;
    const struct {
        uint16_t Key;
        bool Alt, FullScreen, Video;
        A Action;
    } cases[] = {
        {32, false, false, false, A::PlayPause}, {179, false, false, false, A::PlayPause}, {250, false, true, true, A::PlayPause},
        {33, false, false, false, A::Prev},      {177, false, false, true, A::Prev},       {34, false, false, false, A::Next},
        {176, false, false, true, A::Next},      {178, false, false, false, A::Stop},      {13, true, false, false, A::EnterFullScreen},
        {13, false, false, false, A::None},      {13, true, true, false, A::None},         {13, true, true, true, A::None},
        {27, false, true, true, A::LeaveFullScreen}, {27, false, false, true, A::None},   {27, false, true, false, A::None},
        {65, false, false, true, A::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeyActionFor(c.Key, c.Alt, c.FullScreen, c.Video), c.Action) << c.Key << " alt " << c.Alt;
}

TEST(DroppedFiles, OnlyKnownExtensionsAreTaken)
{
    TStringList known;
    known.Add("*.AVI");
    known.Add("*.MP3");
    EXPECT_TRUE(IsKnownMediaFile("C:\\movies\\clip.avi", known));
    EXPECT_TRUE(IsKnownMediaFile("song.Mp3", known));
    EXPECT_FALSE(IsKnownMediaFile("notes.txt", known));
    EXPECT_FALSE(IsKnownMediaFile("C:\\movies", known));
    EXPECT_FALSE(IsKnownMediaFile("C:\\dir.avi\\readme", known));
}

TEST(ScreenSaver, HeldOffOnlyWhilePlayingOrPaused)
{
    for (uint8_t state : {kStateRunning, kStatePaused}) {
        EXPECT_TRUE(SuppressesSystemCommand(0xF140, state));
        EXPECT_TRUE(SuppressesSystemCommand(0xF170, state));
        EXPECT_FALSE(SuppressesSystemCommand(0xF020, state));
    }
    for (uint8_t state : {kStateStopped, kStateNoFile})
        EXPECT_FALSE(SuppressesSystemCommand(0xF140, state));
}

TEST(StreamInfo, RatesKeepDecimalsOnlyWhenNotWhole)
{
    EXPECT_EQ(StreamRateText(25), "25");
    EXPECT_EQ(StreamRateText(128), "128");
    EXPECT_EQ(StreamRateText(29.97002997), "29.970");
    EXPECT_EQ(StreamRateText(705.6), "705.600");
    EXPECT_EQ(StreamRateText(0), "0");
    EXPECT_EQ(StreamRateText(123456789012345678.0), "1.23456789012346e+17") << "15 significant digits";
}

TEST(StreamInfo, OneRootPerPinWithItsFormatLines)
{
    TPinInfo video;
    video.Rendered = true;
    video.Video.Name = "XviD MPEG-4";
    video.Video.Width = 640;
    video.Video.Height = -480;  // top-down
    video.Video.BitCount = 24;
    video.Video.FrameRate = 25;
    TPinInfo mono, surround;
    mono.Audio.Name = "MPEG Layer-3";
    mono.Audio.AvgBytesPerSec = 16000;
    mono.Audio.SamplesPerSec = 44100;
    mono.Audio.Channels = 1;
    mono.Rendered = true;
    surround.Audio.Name = "AC3";
    surround.Audio.AvgBytesPerSec = 56000.5;
    surround.Audio.SamplesPerSec = 48000;
    surround.Audio.Channels = 6;

    const std::vector<TStreamInfoNode> nodes = StreamInfoNodes({video}, {mono, surround});
    ASSERT_EQ(nodes.size(), 3u);
    EXPECT_EQ(nodes[0].Text, "Video Stream 1");
    EXPECT_EQ(nodes[0].StateIndex, 1);
    EXPECT_EQ(nodes[0].Children, (std::vector<std::string>{"Compression: XviD MPEG-4", "Frame Size: 640 x 480 Pixels",
                                                            "Color Depth: 24 Bits", "Frame Rate: 25 fps."}));
    EXPECT_EQ(nodes[1].Text, "Audio Stream 1");
    EXPECT_EQ(nodes[1].Children, (std::vector<std::string>{"Compression: MPEG Layer-3", "Avg. Bitrate: 128 kBit/s.",
                                                            "Samples: 44100 Bits", "Channels: Mono"}));
    EXPECT_EQ(nodes[2].Text, "Audio Stream 2");
    EXPECT_EQ(nodes[2].StateIndex, -1) << "a pin that did not render";
    EXPECT_EQ(nodes[2].Children[1], "Avg. Bitrate: 448.004 kBit/s.");
    EXPECT_EQ(nodes[2].Children[3], "Channels: 6");
    EXPECT_TRUE(StreamInfoNodes({}, {}).empty());
}
