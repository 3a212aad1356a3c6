// The real program plays: files given on its command line open in its video window, the
// picture moves, the time runs, and the transport keys walk the play list.
#include "tests/ui/PlayerHarness.h"
#include "tests/ui/ScreenCapture.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pvltest;

namespace {
const char* const kVideoCaption = "Parvolux VideoWindow";
constexpr WPARAM kNextKey = 176, kPrevKey = 177;  // the media keys

BOOL CALLBACK CollectText(HWND child, LPARAM list)
{
    reinterpret_cast<std::vector<std::string>*>(list)->push_back(WindowText(child));
    return TRUE;
}

std::vector<std::string> ChildTexts(HWND parent)
{
    std::vector<std::string> texts;
    EnumChildWindows(parent, CollectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

// The video window's time label: "hh:mm:ss", or empty when there is none.
std::string TimeText(HWND video)
{
    for (const std::string& text : ChildTexts(video))
        if (text.size() == 8 && text[2] == ':' && text[5] == ':')
            return text;
    return {};
}

bool ShowsTitle(HWND video, const std::string& name)
{
    for (const std::string& text : ChildTexts(video))
        if (text.find(name) != std::string::npos)
            return true;
    return false;
}

class Playing : public ::testing::Test {
protected:
    void SetUp() override { Install.MarkNotFirstRun(); }

    // A fixture copied into the install folder under a name of the test's own.
    std::string Media(const char* fixture, const std::string& name)
    {
        const std::string source = FixturePath(fixture);
        EXPECT_FALSE(source.empty()) << fixture;
        const std::string target = Install.Folder() + name;
        EXPECT_TRUE(CopyFileA(source.c_str(), target.c_str(), FALSE)) << target;
        return target;
    }

    HWND WaitForVideo(const TPlayerProcess& player) { return player.WaitForWindow("TPvlForm", kVideoCaption, 20000); }

    TPlayerInstall Install;
};
}

TEST_F(Playing, FileFromTheCommandLinePlaysWithMovingVideoAndRunningTime)
{
    const std::string clip = Media("clip_8s.avi", "moving clip.avi");
    TPlayerProcess player;
    player.Start("\"" + clip + "\"");
    ASSERT_NE(player.WaitForMainWindow(), nullptr);
    const HWND video = WaitForVideo(player);
    ASSERT_NE(video, nullptr) << "the video window shows";
    EXPECT_TRUE(PumpUntil([&] { return ShowsTitle(video, "moving clip"); }, 10000)) << "the title line names the file";

    ASSERT_TRUE(PumpUntil([&] { return TimeText(video) >= "00:00:01"; }, 10000))
        << "the time runs: " << TimeText(video);
    const TRect area = ClientOnScreen(video);
    const std::vector<uint32_t> first = CaptureScreen(area);
    PumpUntil([] { return false; }, 1000);
    const std::vector<uint32_t> second = CaptureScreen(area);
    SaveJpeg(first, area, "player_video_1.jpg");
    SaveJpeg(second, area, "player_video_2.jpg");
    const TPictureChange change = ComparePictures(first, second);
    EXPECT_GT(change.Lit, first.size() / 4) << "the picture is not all black";
    EXPECT_GT(change.Changed, first.size() / 50) << "the picture moves";
    EXPECT_GT(TimeText(video), "00:00:01");

    EXPECT_EQ(player.Close(), 0);
}

TEST_F(Playing, NextAndPreviousKeysWalkThePlayList)
{
    const std::string first = Media("clip_8s.avi", "first.avi");
    const std::string second = Media("clip_8s.avi", "second.avi");
    TPlayerProcess player;
    player.Start("\"" + first + "\" \"" + second + "\"");
    const HWND main = player.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    const HWND video = WaitForVideo(player);
    ASSERT_NE(video, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return ShowsTitle(video, "first"); }, 10000));

    PostMessageA(main, WM_KEYDOWN, kNextKey, 0);
    EXPECT_TRUE(PumpUntil([&] { return ShowsTitle(video, "second"); }, 10000)) << "Next opens the second entry";
    EXPECT_TRUE(PumpUntil([&] { return TimeText(video) >= "00:00:01"; }, 10000)) << "and plays it";

    PostMessageA(main, WM_KEYDOWN, kPrevKey, 0);
    EXPECT_TRUE(PumpUntil([&] { return ShowsTitle(video, "first"); }, 10000)) << "Prev goes back to the first";
    SaveScreenshot("player_prev.jpg");

    EXPECT_EQ(player.Close(), 0);
}
