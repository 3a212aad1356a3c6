// The real program's information window and render-result window: the title box's double
// click edits the playing MP3's tags, and a file that does not open shows its page.
#include "tests/ui/PlayerHarness.h"
#include "tests/ui/ScreenCapture.h"

#include "ui/RenderResultCore.h"
#include "ui/SettingsModel.h"

#include "framework/SysUtils.h"
#include "playlist/ExtAviTag.h"
#include "playlist/id3v2.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WineGraph.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using namespace pvltest;

namespace {

// The title box: the main window's 343 x 12 display box.
HWND TitleBox(HWND main)
{
    const auto boxes = Children(main, [](HWND wnd) {
        RECT r;
        GetClientRect(wnd, &r);
        return r.right == 343 && r.bottom == 12;
    });
    return boxes.empty() ? nullptr : boxes.front();
}

// The edits of a group box of the information window, in the order they were made.
std::vector<HWND> GroupEdits(HWND dialog, const std::string& caption)
{
    const auto groups = Children(dialog, [&](HWND wnd) { return WindowClass(wnd) == "Button" && WindowText(wnd) == caption; });
    if (groups.empty())
        return {};
    return Children(groups.front(), [](HWND wnd) { return SameText(WindowClass(wnd), "Edit") && GetParent(wnd) != nullptr; });
}

std::string FrameText(const std::string& file, const char* id)
{
    Tid3v2tag tag;
    if (tag.LoadFromFile(file, 0) >= 0x100)
        return "<no tag>";
    std::string text;
    return tag.GetTextFrame(id, text) == 0 ? text : "<none>";
}

// The file's bytes after its ID3v2 tag.
std::vector<uint8_t> AudioOf(const std::string& file)
{
    const std::vector<uint8_t> bytes = ReadAll(file);
    Tid3v2tag tag;
    const size_t start = tag.LoadFromFile(file, 0) < 0x100 ? tag.TagSize + 10 : 0;
    return std::vector<uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(std::min(start, bytes.size())), bytes.end());
}

// The file's last write, read without opening the file.
FILETIME LastWrite(const std::string& file)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

struct TSaveOutcome {
    bool Written = false;      // the save changed the file
    bool ErrorShown = false;   // the player's error message showed
    int ExitCode = -1;
};

// Presses OK on the information window and closes the player once its save has run, so the
// test reads the file only after the player has let it go: a handle of the test's, even a
// reader's, makes the save fail (this platform refuses to replace a file someone holds open).
// The wait looks at the last write time, which needs no handle; a save that has begun writing
// runs to its end without handling messages, so the close comes after it.
TSaveOutcome SaveThenClose(TPlayerProcess& player, HWND info, const std::string& file)
{
    TSaveOutcome outcome;
    const FILETIME before = LastWrite(file);
    if (!TPlayerProcess::PressButton(info, "OK"))
        return outcome;
    HWND box = nullptr;
    PumpUntil(
        [&] {
            const FILETIME now = LastWrite(file);
            outcome.Written = CompareFileTime(&before, &now) != 0;
            box = player.WaitForWindow("#32770", "Parvolux", 0);
            return outcome.Written || box != nullptr;
        },
        20000);
    outcome.ErrorShown = box != nullptr;
    if (box)
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    outcome.ExitCode = player.Close();
    return outcome;
}

class PlayerDialogs : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(Install.ChoosePlainVideoRenderer()); }
    TPlayerInstall Install;
};
}  // namespace

TEST_F(PlayerDialogs, TitleBoxDoubleClickEditsThePlayingMp3)
{
    const std::string song = Install.Media("tone.mp3", "song.mp3");
    const std::vector<uint8_t> audio = AudioOf(song);
    TPlayerProcess player;
    player.Start("\"" + song + "\"");
    const HWND main = player.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    PumpUntil([] { return false; }, 2000);  // the file opens
    const HWND title = TitleBox(main);
    ASSERT_NE(title, nullptr);

    // Cancel leaves the file alone.
    PostMessageA(title, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    HWND info = player.WaitForWindow("TPvlForm", "InfoForm", 10000);
    DWORD_PTR answer = 0;
    const bool answers = info || SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer) != 0;
    ASSERT_NE(info, nullptr) << "the information window opens" << (answers ? "" : "; the player does not answer");
    ASSERT_TRUE(TPlayerProcess::PressButton(info, "Cancel"));
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(info); }, 5000));
    EXPECT_EQ(AudioOf(song), audio);

    PostMessageA(title, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    info = player.WaitForWindow("TPvlForm", "InfoForm", 10000);
    ASSERT_NE(info, nullptr);
    const std::vector<HWND> edits = GroupEdits(info, "ID3v2");
    ASSERT_GE(edits.size(), 2u) << "the ID3v2 group's edits";
    SendMessageA(edits[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Edited title"));  // "Title"
    SaveScreenshot("player_info_id3.jpg");
    const TSaveOutcome saved = SaveThenClose(player, info, song);
    EXPECT_FALSE(saved.ErrorShown) << "the error message";
    EXPECT_TRUE(saved.Written);
    EXPECT_EQ(saved.ExitCode, 0);
    EXPECT_EQ(FrameText(song, "TIT2"), "Edited title");
    EXPECT_EQ(AudioOf(song), audio) << "the audio is untouched";
}

TEST_F(PlayerDialogs, MissingFileShowsTheFileNotFoundPage)
{
    const std::string missing = Install.Folder() + "gone.mp3";
    TPlayerProcess player;
    player.Start("\"" + missing + "\"");
    // The command line's file opens before the main window shows.
    const HWND page = player.WaitForWindow("TPvlForm", "Error...", 20000);
    ASSERT_NE(page, nullptr) << "the render-result window";
    EXPECT_EQ(TPlayerProcess::VisibleMemoText(page), "File not found !!!\r\n" + missing);
    SaveScreenshot("player_render_result.jpg");
    ASSERT_TRUE(TPlayerProcess::PressButton(page, "Ok"));
    ASSERT_NE(player.WaitForMainWindow(), nullptr);
    EXPECT_EQ(player.Close(), 0);
}

TEST_F(PlayerDialogs, AFileOfRandomBytesShowsTheErrorPageOfItsCode)
{
    std::vector<uint8_t> noise(20000);
    uint32_t seed = 12345;
    for (uint8_t& b : noise) {
        seed = seed * 1664525 + 1013904223;
        b = static_cast<uint8_t>(seed >> 24);
    }
    const std::string file = Install.Folder() + "noise.avi";
    WriteAll(file, noise);
    TPlayerProcess player;
    player.Start("\"" + file + "\"");
    const HWND page = player.WaitForWindow("TPvlForm", "Error...", 20000);
    ASSERT_NE(page, nullptr);
    const std::string text = TPlayerProcess::VisibleMemoText(page);
    EXPECT_TRUE(text == RenderResultTexts[rpCannotRender] || text == RenderResultTexts[rpUnknownError] ||
                text == RenderResultTexts[rpUnsupportedStream])
        << text;
    ASSERT_TRUE(TPlayerProcess::PressButton(page, "Ok"));
    ASSERT_NE(player.WaitForMainWindow(), nullptr);
    EXPECT_EQ(player.Close(), 0);
}

TEST_F(PlayerDialogs, APageToldNotToShowAgainStaysHiddenForTheNextEntry)
{
    const std::string first = Install.Folder() + "gone 1.avi";
    const std::string second = Install.Folder() + "gone 2.avi";
    TPlayerProcess player;
    player.Start("\"" + first + "\" \"" + second + "\"");
    HWND page = player.WaitForWindow("TPvlForm", "Error...", 20000);
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(TPlayerProcess::PressButton(page, "Ok"));
    const HWND main = player.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    PostMessageA(main, WM_KEYDOWN, 176, 0);  // the Next media key
    page = player.WaitForWindow("TPvlForm", "Error...", 20000);
    ASSERT_NE(page, nullptr) << "not ticked: the page shows for the next entry";
    EXPECT_EQ(TPlayerProcess::VisibleMemoText(page), "File not found !!!\r\n" + second);
    const auto boxes = Children(page, [](HWND wnd) { return WindowText(wnd) == "Do not show this message again."; });
    ASSERT_EQ(boxes.size(), 1u);
    SendMessageA(boxes.front(), BM_CLICK, 0, 0);
    ASSERT_TRUE(TPlayerProcess::PressButton(page, "Ok"));
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(page); }, 5000));
    PostMessageA(main, WM_KEYDOWN, 177, 0);  // Previous
    PumpUntil([] { return false; }, 3000);
    for (const HWND wnd : player.Windows())
        EXPECT_FALSE(WindowText(wnd) == "Error..." && IsWindowVisible(wnd)) << "the page shows again";
    EXPECT_EQ(player.Close(), 0);
}

TEST_F(PlayerDialogs, AMovieOpenedAgainAsksHowToStart)
{
    const std::string clip = Install.Media("clip_8s.avi", "resume.avi");
    {
        TPlayerProcess player;
        player.Start("\"" + clip + "\"");
        const HWND video = player.WaitForWindow("TPvlForm", kVideoCaption, 20000);
        ASSERT_NE(video, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return VideoTimeText(video) >= "00:00:05"; }, 15000)) << VideoTimeText(video);
        ASSERT_EQ(player.Close(), 0);
    }
    const auto openAgain = [&](const char* choice, const char* screenshot) {
        TPlayerProcess player;
        player.Start("\"" + clip + "\"");
        const HWND question = player.WaitForWindow("TPvlForm", "Intelligent Load.", 20000);
        EXPECT_NE(question, nullptr) << "the resume question";
        if (!question)
            return std::string();
        const auto radios = Children(question, [&](HWND wnd) { return WindowText(wnd) == choice; });
        EXPECT_EQ(radios.size(), 1u);
        if (!radios.empty())
            SendMessageA(radios.front(), BM_CLICK, 0, 0);
        if (screenshot)
            SaveScreenshot(screenshot);
        EXPECT_TRUE(TPlayerProcess::PressButton(question, "Ok"));
        const HWND video = player.WaitForWindow("TPvlForm", kVideoCaption, 20000);
        EXPECT_NE(video, nullptr);
        std::string time;
        PumpUntil([&] { return !(time = VideoTimeText(video)).empty() && time != "00:00:00"; }, 10000);
        EXPECT_EQ(player.Close(), 0);
        return time;
    };
    const std::string resumed = openAgain("Continue from last known", "player_resume_question.jpg");
    EXPECT_GE(resumed, "00:00:04") << "Continue resumes near where it was closed";
    const std::string restarted = openAgain("Start from the beginning.", nullptr);
    EXPECT_LE(restarted, "00:00:02") << "the other choice starts at 0";
}

TEST_F(PlayerDialogs, TitleBoxDoubleClickEditsThePlayingAvisInfo)
{
    const std::string movie = Install.Media("clip_8s.avi", "movie.avi");
    const std::vector<uint8_t> before = ReadAll(movie);
    TPlayerProcess player;
    player.Start("\"" + movie + "\"");
    const HWND main = player.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_NE(player.WaitForWindow("TPvlForm", kVideoCaption, 20000), nullptr);
    const HWND title = TitleBox(main);
    ASSERT_NE(title, nullptr);
    PostMessageA(title, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    const HWND info = player.WaitForWindow("TPvlForm", "InfoForm", 10000);
    ASSERT_NE(info, nullptr);
    // The AVI page: its tabs show, and its first edit is the title.
    const auto tabs = Children(info, [](HWND wnd) {
        return WindowClass(wnd) == "SysTabControl32" && IsWindowVisible(wnd) && SendMessageA(wnd, TCM_GETITEMCOUNT, 0, 0) == 4;
    });
    EXPECT_EQ(tabs.size(), 1u) << "the AVI page with its four tabs";
    const auto edits = Children(info, [](HWND wnd) { return SameText(WindowClass(wnd), "Edit") && IsWindowVisible(wnd); });
    ASSERT_FALSE(edits.empty());
    SendMessageA(edits.front(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Edited movie"));
    SaveScreenshot("player_info_avi.jpg");
    const TSaveOutcome saved = SaveThenClose(player, info, movie);
    EXPECT_FALSE(saved.ErrorShown) << "the error message";
    EXPECT_TRUE(saved.Written);
    EXPECT_EQ(saved.ExitCode, 0);
    TExtAviINFO_tags tags;
    EXPECT_EQ(ReadAviInfoTags(movie, tags), 0);
    EXPECT_EQ(WideToAnsi(tags.INAM), "Edited movie");
    EXPECT_EQ(ReadAll(movie).size(), before.size()) << "the list fits where the padding was; the movie data stays";
}

TEST_F(PlayerDialogs, AReadOnlyFileGivesTheWriteAccessError)
{
    const std::string song = Install.Media("tone.mp3", "locked.mp3");
    SetFileAttributesA(song.c_str(), FILE_ATTRIBUTE_READONLY);
    const std::vector<uint8_t> before = ReadAll(song);
    TPlayerProcess player;
    player.Start("\"" + song + "\"");
    const HWND main = player.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    PumpUntil([] { return false; }, 2000);
    PostMessageA(TitleBox(main), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    const HWND info = player.WaitForWindow("TPvlForm", "InfoForm", 10000);
    ASSERT_NE(info, nullptr);
    const std::vector<HWND> edits = GroupEdits(info, "ID3v2");
    ASSERT_GE(edits.size(), 2u);
    SendMessageA(edits[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Never saved"));
    ASSERT_TRUE(TPlayerProcess::PressButton(info, "OK"));
    const HWND box = player.WaitForWindow("#32770", "Parvolux", 10000);
    ASSERT_NE(box, nullptr) << "the error message";
    const auto texts = Children(box, [](HWND wnd) {
        return WindowText(wnd).find("Error: cannot get write access to") != std::string::npos;
    });
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(WindowText(texts.front()), "Error: cannot get write access to\r\n" + song);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    SetFileAttributesA(song.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadAll(song), before);
    EXPECT_EQ(player.Close(), 0);
}
