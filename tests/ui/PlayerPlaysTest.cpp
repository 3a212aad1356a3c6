// The real program plays: files given on its command line open in its video window, the
// picture moves (also of compressed video), the time runs, and the transport keys walk the
// play list.
#include "tests/ui/PlayerHarness.h"
#include "tests/ui/ScreenCapture.h"

#include "ui/SettingsModel.h"

#include "framework/Registry.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pvltest;

namespace {
constexpr WPARAM kNextKey = 176, kPrevKey = 177;  // the media keys
const char* const kVMR9 = "@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}\\{51B4ABF3-748F-4E3B-A276-C828330E926A}";

bool ShowsTitle(HWND video, const std::string& name)
{
    for (const std::string& text : ChildTexts(video))
        if (text.find(name) != std::string::npos)
            return true;
    return false;
}

class Playing : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(Install.ChoosePlainVideoRenderer());
        ASSERT_NO_FATAL_FAILURE(Install.StartFromTheBeginning());
    }

    // The shown video window; a picture of the screen when it does not show.
    HWND WaitForVideo(const TPlayerProcess& player)
    {
        const HWND video = player.WaitForWindow("TPvlForm", kVideoCaption, 20000);
        if (!video) {
            std::string windows;
            for (const HWND wnd : player.Windows())
                windows += "[" + WindowClass(wnd) + " \"" + WindowText(wnd) + "\"" + (IsWindowVisible(wnd) ? " visible" : "") + "] ";
            ADD_FAILURE() << "no video window; windows: " << windows << "; screen in " << SaveScreenshot("player_no_video.jpg");
        }
        return video;
    }

    // Two pictures of the video area a second apart: lit (not the black background) and moving.
    void ExpectMovingPicture(HWND video, const std::string& name)
    {
        const TRect area = ClientOnScreen(video);
        const std::vector<uint32_t> first = CaptureScreen(area);
        PumpUntil([] { return false; }, 1000);
        const std::vector<uint32_t> second = CaptureScreen(area);
        SaveJpeg(first, area, name + "_1.jpg");
        SaveJpeg(second, area, name + "_2.jpg");
        const TPictureChange change = ComparePictures(first, second);
        EXPECT_GT(change.Lit, first.size() / 4) << "the picture is not all black";
        EXPECT_GT(change.Changed, first.size() / 50) << "the picture moves";
    }

    TPlayerInstall Install;
};
}

TEST_F(Playing, FileFromTheCommandLinePlaysWithMovingVideoAndRunningTime)
{
    const std::string clip = Install.Media("clip_8s.avi", "moving clip.avi");
    TPlayerProcess player;
    player.Start("\"" + clip + "\"");
    ASSERT_NE(player.WaitForMainWindow(), nullptr);
    const HWND video = WaitForVideo(player);
    ASSERT_NE(video, nullptr) << "the video window shows";
    ASSERT_TRUE(PumpUntil([&] { return VideoTimeText(video) >= "00:00:01"; }, 10000))
        << "the time runs: " << VideoTimeText(video);
    ExpectMovingPicture(video, "player_video");
    // The label follows at the next poll, which a loaded machine can delay.
    EXPECT_TRUE(PumpUntil([&] { return VideoTimeText(video) > "00:00:01"; }, 10000)) << "the time runs on: " << VideoTimeText(video);
    EXPECT_TRUE(ShowsTitle(video, "moving clip")) << "the title line names the file";

    EXPECT_EQ(player.Close(), 0) << "closed while playing";
}

TEST_F(Playing, NextAndPreviousKeysWalkThePlayList)
{
    const std::string first = Install.Media("clip_8s.avi", "first.avi");
    const std::string second = Install.Media("clip_8s.avi", "second.avi");
    TPlayerProcess player;
    player.Start("\"" + first + "\" \"" + second + "\"");
    const HWND main = player.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    const HWND video = WaitForVideo(player);
    ASSERT_NE(video, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return ShowsTitle(video, "first"); }, 10000));

    PostMessageA(main, WM_KEYDOWN, kNextKey, 0);
    EXPECT_TRUE(PumpUntil([&] { return ShowsTitle(video, "second"); }, 10000)) << "Next opens the second entry";
    EXPECT_TRUE(PumpUntil([&] { return VideoTimeText(video) >= "00:00:01"; }, 10000)) << "and plays it";

    PostMessageA(main, WM_KEYDOWN, kPrevKey, 0);
    EXPECT_TRUE(PumpUntil([&] { return ShowsTitle(video, "first"); }, 10000)) << "Prev goes back to the first";
    SaveScreenshot("player_prev.jpg");

    EXPECT_EQ(player.Close(), 0);
}

TEST_F(Playing, CompressedVideoFromBothKindsOfSplitterMovesAndNextPrevWalkThem)
{
    // MPEG-4 in AVI needs the second attempt of the open; MP4 the splitter registered for any stream.
    const std::string avi = Install.Media("mpeg4_4s.avi", "first compressed.avi");
    const std::string mp4 = Install.Media("clip_4s.mp4", "second compressed.mp4");
    TPlayerProcess player;
    player.Start("\"" + avi + "\" \"" + mp4 + "\"");
    const HWND main = player.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    const HWND video = WaitForVideo(player);
    ASSERT_NE(video, nullptr);
    const auto picturesMove = [&](const char* name) {
        const TRect area = ClientOnScreen(video);
        const std::vector<uint32_t> first = CaptureScreen(area);
        PumpUntil([] { return false; }, 1000);
        const std::vector<uint32_t> second = CaptureScreen(area);
        SaveJpeg(second, area, name);
        const TPictureChange change = ComparePictures(first, second);
        EXPECT_GT(change.Lit, first.size() / 4) << name << ": the picture is not all black";
        EXPECT_GT(change.Changed, first.size() / 50) << name << ": the picture moves";
    };
    ASSERT_TRUE(PumpUntil([&] { return ShowsTitle(video, "first compressed"); }, 10000));
    ASSERT_TRUE(PumpUntil([&] { return VideoTimeText(video) >= "00:00:01"; }, 10000)) << "the time runs";
    picturesMove("player_mpeg4_avi.jpg");

    PostMessageA(main, WM_KEYDOWN, kNextKey, 0);
    ASSERT_TRUE(PumpUntil([&] { return ShowsTitle(video, "second compressed"); }, 10000)) << "Next opens the MP4";
    ASSERT_TRUE(PumpUntil([&] { return VideoTimeText(video) >= "00:00:01"; }, 10000)) << "and plays it";
    picturesMove("player_mp4.jpg");

    PostMessageA(main, WM_KEYDOWN, kPrevKey, 0);
    EXPECT_TRUE(PumpUntil([&] { return ShowsTitle(video, "first compressed"); }, 10000)) << "Prev goes back to the AVI";
    EXPECT_TRUE(PumpUntil([&] { return VideoTimeText(video) >= "00:00:01"; }, 10000)) << "and plays it";
    EXPECT_EQ(player.Close(), 0);
}

TEST_F(Playing, FirstRunTakesTheDefaultRendererOrderAndShowsTheVideo)
{
    TPlayerInstall::ClearUserSettings();
    const std::string clip = Install.Media("clip_8s.avi", "first run.avi");
    TPlayerProcess player;
    player.Start("\"" + clip + "\"");
    ASSERT_TRUE(player.AcceptFirstRunPage()) << "the first-run page";
    ASSERT_NE(player.AcceptFirstRunSettings(), nullptr);
    const HWND video = WaitForVideo(player);
    ASSERT_NE(video, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return VideoTimeText(video) >= "00:00:01"; }, 10000)) << "it plays";
    ExpectMovingPicture(video, "player_first_run");
    ASSERT_EQ(player.Close(), 0);

    // VMR9 first (it cannot clip on this platform, so the Video Renderer shows the picture).
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(SettingsKeyPath("Advanced Video"), false));
    EXPECT_EQ(reg.ReadString("PerferedVideoRender0"), kVMR9);
    EXPECT_EQ(reg.ReadString("PerferedVideoRender1"), kVideoRenderer);
    EXPECT_FALSE(reg.ValueExists("PerferedVideoRender2"));
}

TEST_F(Playing, EndOfTheLastEntryStopsAtTheStartAndThePopupIsTheSkinnedMenu)
{
    const std::string clip = Install.Media("uncompressed.avi", "short.avi");
    TPlayerProcess player;
    player.Start("\"" + clip + "\"");
    const HWND video = WaitForVideo(player);
    ASSERT_NE(video, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return VideoTimeText(video) >= "00:00:01"; }, 10000));
    EXPECT_TRUE(PumpUntil([&] { return VideoTimeText(video) == "00:00:00"; }, 10000)) << "back at the start: " << VideoTimeText(video);
    // Stopped, not the first entry played again: the time and the picture stay where they are.
    const TRect area = ClientOnScreen(video);
    const std::vector<uint32_t> first = CaptureScreen(area);
    PumpUntil([] { return false; }, 1500);
    EXPECT_EQ(VideoTimeText(video), "00:00:00") << "the time does not run again";
    EXPECT_LT(ComparePictures(first, CaptureScreen(area)).Changed, first.size() / 50) << "the picture stands still";
    const HWND menu = player.OpenVideoMenu(video);
    ASSERT_NE(menu, nullptr) << "the video window's popup shows as the skinned menu";
    RECT bounds{}, videoBounds{};
    GetWindowRect(menu, &bounds);
    GetWindowRect(video, &videoBounds);
    EXPECT_EQ(bounds.left, (videoBounds.left + videoBounds.right) / 2) << "at the point asked for";
    EXPECT_EQ(bounds.top, (videoBounds.top + videoBounds.bottom) / 2);
    EXPECT_TRUE(TPlayerProcess::CloseMenu(menu));
    EXPECT_EQ(player.Close(), 0);
}
