// The real program's extras panel and sound controls: the equaliser's presets and a band moved
// by the user kept over a restart, volume, mute and the panel itself, bookmarks kept with the
// movie (names, the audio delay, a stored thumbnail) and the audio tracks of the video menu.
#include "tests/ui/PlayerHarness.h"
#include "tests/ui/RemoteControls.h"
#include "tests/ui/ScreenCapture.h"

#include "engine/MovieMemory.h"
#include "engine/Thumbnails.h"
#include "ui/DisplayPanelCore.h"
#include "ui/SettingsModel.h"
#include "ui/SoundControlsCore.h"

#include "framework/Registry.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <set>
#include <string>
#include <vector>

using namespace pvltest;

namespace {
using TBands = std::array<int, 10>;
const TBands kFullBass = {-50, -50, -50, -30, -10, 10, 30, 50, 50, 50};
const TBands kRock = {-40, -30, 30, 40, 20, -20, -40, -40, -40, -40};
constexpr int kRockIndex = 14;
constexpr UINT kSelectedMenuItem = 0x531;  // the skinned menu's selected item, as an id

int ScreenLeft(HWND wnd)
{
    RECT r{};
    GetWindowRect(wnd, &r);
    return r.left;
}

int ScreenTop(HWND wnd)
{
    RECT r{};
    GetWindowRect(wnd, &r);
    return r.top;
}

// Track bars of the window with this range, left to right (top to bottom on a tie).
std::vector<HWND> TrackBars(HWND main, int min, int max)
{
    std::vector<HWND> bars = Children(main, [&](HWND wnd) {
        return SameText(WindowClass(wnd), TRACKBAR_CLASSA) && SendMessageA(wnd, TBM_GETRANGEMIN, 0, 0) == min &&
               SendMessageA(wnd, TBM_GETRANGEMAX, 0, 0) == max;
    });
    std::sort(bars.begin(), bars.end(), [](HWND a, HWND b) {
        return ScreenLeft(a) != ScreenLeft(b) ? ScreenLeft(a) < ScreenLeft(b) : ScreenTop(a) < ScreenTop(b);
    });
    return bars;
}

int Position(HWND bar)
{
    return static_cast<int>(SendMessageA(bar, TBM_GETPOS, 0, 0));
}

// The ten equaliser bands (the colour sliders have their range but lie flat).
std::vector<HWND> EqBands(HWND main)
{
    std::vector<HWND> bands = TrackBars(main, -100, 100);
    std::erase_if(bands, [](HWND bar) { return (GetWindowLongA(bar, GWL_STYLE) & TBS_VERT) == 0; });
    return bands;
}

TBands BandPositions(const std::vector<HWND>& bands)
{
    TBands positions{};
    for (size_t b = 0; b < positions.size() && b < bands.size(); ++b)
        positions[b] = Position(bands[b]);
    return positions;
}

// The main strip's volume: of the 0..10000 bars the topmost (the dynamic amplifier's lie below).
HWND VolumeBar(HWND main)
{
    std::vector<HWND> bars = TrackBars(main, 0, 10000);
    if (bars.empty())
        return nullptr;
    return *std::min_element(bars.begin(), bars.end(), [](HWND a, HWND b) { return ScreenTop(a) < ScreenTop(b); });
}

// A user's step on a bar: the thumb put one short of the target, then one arrow key, so the
// bar tells its window as a drag or a key would.
void NudgeTo(HWND bar, int position)
{
    SendMessageA(bar, TBM_SETPOS, TRUE, position - 1);
    PostMessageA(bar, WM_KEYDOWN, VK_RIGHT, 0);
    PostMessageA(bar, WM_KEYUP, VK_RIGHT, 0);
}

bool HasChildText(HWND parent, const std::string& text)
{
    const std::vector<std::string> texts = ChildTexts(parent);
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

HWND ChildWithText(HWND parent, const std::string& text)
{
    const std::vector<HWND> found = Children(parent, [&](HWND wnd) { return WindowText(wnd) == text; });
    return found.empty() ? nullptr : found.front();
}

// A button of the main strip by its place (26 x 26 buttons, 27 apart, from x 4).
HWND StripButton(HWND main, int index)
{
    const HWND volume = VolumeBar(main);
    if (!volume)
        return nullptr;
    const HWND strip = GetParent(volume);
    const HWND button =
        ChildWindowFromPointEx(strip, POINT{4 + index * 27 + 13, kDisplayLayout.ButtonsTop + 13}, CWP_ALL);
    return button == strip ? nullptr : button;
}
constexpr int kPlayPauseButton = 1, kAddBookmarkButton = 8, kMuteButton = 10;

int WindowHeight(HWND wnd)
{
    RECT r{};
    GetWindowRect(wnd, &r);
    return r.bottom - r.top;
}

// The main window's height with and without the extras panel.
int MainHeight(bool extras)
{
    return 16 + kDisplayLayout.PanelHeight + (extras ? kExtrasPanelHeight : 0) + 2 * GetSystemMetrics(SM_CYFIXEDFRAME);
}

void WriteSetting(const std::string& section, const std::string& name, int value)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(SettingsKeyPath(section), true));
    reg.WriteInteger(name, value);
}

int ReadSetting(const std::string& section, const std::string& name, int missing = -12345)
{
    TRegistry reg(KEY_READ);
    if (!reg.OpenKeyReadOnly(SettingsKeyPath(section)) || !reg.ValueExists(name))
        return missing;
    return reg.ReadInteger(name);
}

std::vector<int8_t> ReadEq()
{
    TRegistry reg(KEY_READ);
    if (!reg.OpenKeyReadOnly(SettingsKeyPath("Extras EQ")) || !reg.ValueExists("Eq"))
        return {};
    const std::vector<uint8_t> bytes = reg.ReadBinary("Eq");
    return std::vector<int8_t>(bytes.begin(), bytes.end());
}

class PlayerExtras : public ::testing::Test {
protected:
    TPlayerInstall Install;
};

// ---- bookmarks ----

// The bookmark list: the list view whose captions can be edited.
HWND BookmarkList(HWND main)
{
    const std::vector<HWND> lists = Children(main, [](HWND wnd) {
        return SameText(WindowClass(wnd), WC_LISTVIEWA) && (GetWindowLongA(wnd, GWL_STYLE) & LVS_EDITLABELS) != 0;
    });
    return lists.empty() ? nullptr : lists.front();
}

bool RowsBecome(HWND list, const std::function<bool(const std::vector<TRemoteRow>&)>& test, std::vector<TRemoteRow>& rows)
{
    return PumpUntil(
        [&] {
            rows = ListViewRows(list);
            return test(rows);
        },
        10000);
}

// "hh:mm:ss" as seconds; -1 for anything else.
int Seconds(const std::string& time)
{
    if (time.size() != 8 || time[2] != ':' || time[5] != ':')
        return -1;
    return std::stoi(time.substr(0, 2)) * 3600 + std::stoi(time.substr(3, 2)) * 60 + std::stoi(time.substr(6, 2));
}

bool TimeReaches(HWND video, int seconds, DWORD timeoutMs = 15000)
{
    return PumpUntil([&] { return Seconds(VideoTimeText(video)) >= seconds; }, timeoutMs);
}

// The one movie memory file of the install.
std::string MemoryFile(const TPlayerInstall& install)
{
    WIN32_FIND_DATAA data{};
    const std::string folder = install.Folder() + "MediaID\\";
    const HANDLE find = FindFirstFileA((folder + "*.cid").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return {};
    FindClose(find);
    return folder + data.cFileName;
}

// A 100 x 100 picture: red on the left, blue on the right.
TThumbnail TwoColourThumbnail()
{
    TThumbnail picture;
    picture.Width = picture.Height = 100;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            picture.Pixels.push_back(x < 50 ? 0xFFE02020u : 0xFF2020E0u);
    return picture;
}

// ---- the video menu ----

// The video menu's "Audio Tracks" submenu opened by keys (below Play/Pause, Stop, Previous,
// Next and a separator); the submenu's window, or none.
HWND OpenAudioTracks(const TPlayerProcess& player, HWND video, HWND& menu)
{
    SetCursorPos(0, GetSystemMetrics(SM_CYSCREEN) - 1);  // off the menu: nothing selected by hovering
    menu = player.OpenVideoMenu(video);
    if (!menu)
        return nullptr;
    for (int i = 0; i < 5; ++i)
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RIGHT, 0);
    return player.WaitForSubmenu(menu);
}

LRESULT SelectedItem(HWND menu)
{
    DWORD_PTR item = 0;
    SendMessageTimeoutA(menu, kSelectedMenuItem, 0, 0, SMTO_ABORTIFHUNG, 2000, &item);
    return static_cast<LRESULT>(item);
}

// Posts a key to the menu and waits until its selection has been handled.
LRESULT KeyThenSelected(HWND menu, WPARAM key)
{
    PostMessageA(menu, WM_KEYDOWN, key, 0);
    PumpUntil([] { return false; }, 300);
    return SelectedItem(menu);
}
}  // namespace

TEST_F(PlayerExtras, EqualiserPresetAndABandMovedByKeyAreKeptOverARestart)
{
    Install.MarkNotFirstRun();
    ASSERT_NO_FATAL_FAILURE(WriteSetting("Extras EQ", "EqPreset", 4));
    TPlayerProcess player;
    player.Start();
    HWND main = player.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    std::vector<HWND> bands;
    ASSERT_TRUE(PumpUntil([&] { return (bands = EqBands(main)).size() == 10; }, 10000)) << "the ten bands";
    EXPECT_EQ(BandPositions(bands), kFullBass);
    EXPECT_TRUE(PumpUntil([&] { return HasChildText(main, "Full Bass"); }, 5000)) << "the preset's name";
    SaveScreenshot("extras_equalizer_full_bass.jpg");

    // "Rock" from the preset menu, chosen by keys.
    const HWND presets = ChildWithText(main, "EQ");
    ASSERT_NE(presets, nullptr) << "the preset button";
    Click(presets, 5, 5);
    const HWND menu = player.WaitForPopupMenu();
    ASSERT_NE(menu, nullptr) << "the preset menu";
    for (int i = 0; i <= kRockIndex; ++i)
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    SaveScreenshot("extras_equalizer_menu.jpg");
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(PumpUntil([&] { return BandPositions(bands) == kRock; }, 5000)) << "the bands take Rock";
    EXPECT_TRUE(PumpUntil([&] { return HasChildText(main, "Rock"); }, 5000));

    // A key on the 1 kHz band takes it to the top: the curve becomes the user's own.
    PostMessageA(bands[4], WM_KEYDOWN, VK_HOME, 0);
    PostMessageA(bands[4], WM_KEYUP, VK_HOME, 0);
    TBands custom = kRock;
    custom[4] = -100;
    EXPECT_TRUE(PumpUntil([&] { return BandPositions(bands) == custom; }, 5000));
    EXPECT_TRUE(PumpUntil([&] { return HasChildText(main, "Custom"); }, 5000)) << "the preset name says Custom";
    SaveScreenshot("extras_equalizer_custom.jpg");
    ASSERT_EQ(player.Close(), 0);

    EXPECT_EQ(ReadSetting("Extras EQ", "EqPreset"), -1);
    const std::vector<int8_t> expected(custom.begin(), custom.end());
    EXPECT_EQ(ReadEq(), expected);

    // The next start shows the same curve as Custom.
    TPlayerProcess second;
    second.Start();
    main = second.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return (bands = EqBands(main)).size() == 10; }, 10000));
    EXPECT_TRUE(PumpUntil([&] { return BandPositions(bands) == custom; }, 5000));
    EXPECT_TRUE(PumpUntil([&] { return HasChildText(main, "Custom"); }, 5000));
    ASSERT_EQ(second.Close(), 0);
    EXPECT_EQ(ReadSetting("Extras EQ", "EqPreset"), -1);
    EXPECT_EQ(ReadEq(), expected);
}

TEST_F(PlayerExtras, VolumeMuteAndTheHiddenPanelAreKeptOverARestart)
{
    Install.MarkNotFirstRun();
    ASSERT_NO_FATAL_FAILURE(WriteSetting("Audio", "MasterVolume", 7000));
    ASSERT_NO_FATAL_FAILURE(WriteSetting("Audio", "MasterVolumeMute", 1));
    ASSERT_NO_FATAL_FAILURE(WriteSetting("Interface", "ActiveExtras", -1));
    TPlayerProcess player;
    player.Start();
    HWND main = player.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return WindowHeight(main) == MainHeight(false); }, 5000))
        << "no extras panel: the window shrinks to " << MainHeight(false) << ", not " << WindowHeight(main);
    const HWND volume = VolumeBar(main);
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(Position(volume), 7000);
    EXPECT_FALSE(IsWindowVisible(EqBands(main).empty() ? nullptr : EqBands(main).front())) << "the panel is hidden";
    SaveScreenshot("extras_hidden.jpg");
    ASSERT_EQ(player.Close(), 0);
    EXPECT_EQ(ReadSetting("Audio", "MasterVolume"), 7000);
    EXPECT_EQ(ReadSetting("Audio", "MasterVolumeMute"), 1) << "the mute stays on over a start";
    EXPECT_EQ(ReadSetting("Interface", "ActiveExtras"), -1);

    // The panel on its "Sound Processing" page; mute released and the volume moved by the user.
    ASSERT_NO_FATAL_FAILURE(WriteSetting("Interface", "ActiveExtras", 1));
    TPlayerProcess second;
    second.Start();
    main = second.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return WindowHeight(main) == MainHeight(true); }, 5000)) << WindowHeight(main);
    const std::vector<HWND> preAmp = TrackBars(main, 0, 1000);
    ASSERT_EQ(preAmp.size(), 1u);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(preAmp.front()) != 0; }, 5000)) << "the Sound Processing page";
    SaveScreenshot("extras_sound_processing.jpg");
    const HWND mute = StripButton(main, kMuteButton);
    ASSERT_NE(mute, nullptr);
    Click(mute, 5, 5);
    PumpUntil([] { return false; }, 500);
    NudgeTo(VolumeBar(main), 4000);
    EXPECT_TRUE(PumpUntil([&] { return Position(VolumeBar(main)) == 4000; }, 5000));
    PumpUntil([] { return false; }, 500);
    ASSERT_EQ(second.Close(), 0);
    EXPECT_EQ(ReadSetting("Audio", "MasterVolume"), 4000);
    EXPECT_EQ(ReadSetting("Audio", "MasterVolumeMute"), 0);
    EXPECT_EQ(ReadSetting("Interface", "ActiveExtras"), 1);
}

TEST_F(PlayerExtras, BookmarksAreMadeRenamedDeletedReachedAndComeBackWithTheMovie)
{
    ASSERT_NO_FATAL_FAILURE(Install.ChoosePlainVideoRenderer());
    ASSERT_NO_FATAL_FAILURE(Install.StartFromTheBeginning());
    ASSERT_NO_FATAL_FAILURE(WriteSetting("Interface", "ActiveExtras", 5));  // the BookMarks page
    const std::string clip = Install.Media("clip_8s.avi", "marks.avi");
    TPlayerProcess player;
    player.Start("\"" + clip + "\"");
    HWND main = player.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    HWND video = player.WaitForWindow("TPvlForm", kVideoCaption, 20000);
    ASSERT_NE(video, nullptr);
    const HWND add = StripButton(main, kAddBookmarkButton);
    ASSERT_NE(add, nullptr);
    const HWND list = BookmarkList(main);
    ASSERT_NE(list, nullptr);

    // The button at about 2 s and 5 s.
    ASSERT_TRUE(TimeReaches(video, 2));
    Click(add, 5, 5);
    std::vector<TRemoteRow> rows;
    ASSERT_TRUE(RowsBecome(list, [](const auto& r) { return r.size() == 1; }, rows));
    ASSERT_TRUE(TimeReaches(video, 5));
    Click(add, 5, 5);
    ASSERT_TRUE(RowsBecome(list, [](const auto& r) { return r.size() == 2; }, rows));
    EXPECT_EQ(rows[0].Caption, "Bookmark 01");
    EXPECT_EQ(rows[1].Caption, "Bookmark 02");
    EXPECT_TRUE(rows[0].Time == "00:00:02" || rows[0].Time == "00:00:03") << rows[0].Time;
    EXPECT_TRUE(rows[1].Time == "00:00:05" || rows[1].Time == "00:00:06") << rows[1].Time;
    EXPECT_EQ(rows[0].Image, -1) << "the plain renderer gives no frame";
    const std::string firstTime = rows[0].Time;
    Click(StripButton(main, kPlayPauseButton), 5, 5);  // paused, so the double click below must run it again
    SaveScreenshot("extras_bookmarks_two.jpg");

    // The first renamed in place, the second deleted by the Delete key.
    ListViewSelect(list, {0});
    const HWND edit = reinterpret_cast<HWND>(SendMessageA(list, LVM_EDITLABELA, 0, 0));
    ASSERT_NE(edit, nullptr) << "the caption can be edited";
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Opening scene"));
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(RowsBecome(list, [](const auto& r) { return !r.empty() && r[0].Caption == "Opening scene"; }, rows));
    ListViewSelect(list, {1});
    PostMessageA(list, WM_KEYDOWN, VK_DELETE, 0);
    ASSERT_TRUE(RowsBecome(list, [](const auto& r) { return r.size() == 1; }, rows));
    EXPECT_EQ(rows[0].Caption, "Opening scene");

    // A double click goes back to it and runs.
    const int pausedAt = Seconds(VideoTimeText(video));
    EXPECT_GE(pausedAt, 5);
    ListViewSelect(list, {0});
    const RECT bounds = ListViewRowRect(list, 0);
    const LPARAM at = MAKELPARAM((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
    PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
    EXPECT_TRUE(PumpUntil([&] { return VideoTimeText(video) == firstTime; }, 5000)) << "back at " << firstTime;
    EXPECT_TRUE(TimeReaches(video, Seconds(firstTime) + 1, 5000)) << "and running";

    // The audio delay: half a second.
    const std::vector<HWND> sync = TrackBars(main, -5000, 5000);
    ASSERT_EQ(sync.size(), 1u);
    NudgeTo(sync.front(), 500);
    EXPECT_TRUE(PumpUntil([&] { return HasChildText(main, "Curr. Delay: 0.500 Sec."); }, 5000));
    ASSERT_EQ(player.Close(), 0);

    // The movie's memory holds the renamed bookmark and the delay; a thumbnail is added to it.
    const std::string memoryFile = MemoryFile(Install);
    ASSERT_FALSE(memoryFile.empty()) << "a .cid file in MediaID";
    TMovieMemory memory;
    ASSERT_TRUE(LoadMovieMemory(memoryFile, memory));
    ASSERT_EQ(memory.Bookmarks.size(), 1u);
    EXPECT_EQ(memory.Bookmarks[0].Name, "Opening scene");
    EXPECT_EQ(memory.Bookmarks[0].Position / 10000000, Seconds(firstTime));
    EXPECT_TRUE(memory.Bookmarks[0].Thumbnail.empty());
    EXPECT_EQ(memory.Delay, 500);
    memory.Bookmarks[0].Thumbnail = EncodeThumbnail(TwoColourThumbnail());
    ASSERT_FALSE(memory.Bookmarks[0].Thumbnail.empty());
    ASSERT_TRUE(SaveMovieMemory(memoryFile, memory));

    // The next start shows the row with that picture, and the delay.
    TPlayerProcess second;
    second.Start("\"" + clip + "\"");
    main = second.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    video = second.WaitForWindow("TPvlForm", kVideoCaption, 20000);
    ASSERT_NE(video, nullptr);
    const HWND again = BookmarkList(main);
    ASSERT_NE(again, nullptr);
    ASSERT_TRUE(RowsBecome(again, [](const auto& r) { return r.size() == 1; }, rows));
    EXPECT_EQ(rows[0].Caption, "Opening scene");
    EXPECT_EQ(rows[0].Time, firstTime);
    EXPECT_GE(rows[0].Image, 0) << "the stored thumbnail";
    EXPECT_TRUE(PumpUntil([&] { return HasChildText(main, "Curr. Delay: 0.500 Sec."); }, 5000));
    const std::vector<HWND> syncAgain = TrackBars(main, -5000, 5000);
    ASSERT_EQ(syncAgain.size(), 1u);
    EXPECT_EQ(Position(syncAgain.front()), 500);
    // The thumbnail's two colours show in the list.
    const TRect area = ClientOnScreen(again);
    EXPECT_TRUE(PumpUntil(
        [&] {
            const std::vector<uint32_t> pixels = CaptureScreen(area);
            const auto reddish = [](uint32_t p) { return ((p >> 16) & 0xFF) > 160 && (p & 0xFF) < 90; };
            const auto bluish = [](uint32_t p) { return (p & 0xFF) > 160 && ((p >> 16) & 0xFF) < 90; };
            return std::count_if(pixels.begin(), pixels.end(), reddish) > 1000 &&
                   std::count_if(pixels.begin(), pixels.end(), bluish) > 1000;
        },
        5000))
        << "the picture is drawn";
    SaveScreenshot("extras_bookmark_thumbnail.jpg");
    EXPECT_EQ(second.Close(), 0);
}

TEST_F(PlayerExtras, TheSecondAudioTrackChosenByKeysPlaysOnAndIsCheckedNextTime)
{
    ASSERT_NO_FATAL_FAILURE(Install.ChoosePlainVideoRenderer());
    ASSERT_NO_FATAL_FAILURE(Install.StartFromTheBeginning());
    const std::string clip = Install.Media("two_audio_raw.avi", "two tracks.avi");
    TPlayerProcess player;
    player.Start("\"" + clip + "\"");
    const HWND video = player.WaitForWindow("TPvlForm", kVideoCaption, 20000);
    ASSERT_NE(video, nullptr);
    ASSERT_TRUE(TimeReaches(video, 1));

    // The submenu lists two tracks: Home and Down reach two items and no third.
    HWND menu = nullptr;
    HWND tracks = OpenAudioTracks(player, video, menu);
    SaveScreenshot("video_menu_audio_tracks.jpg");
    ASSERT_NE(tracks, nullptr) << "Audio Tracks opens";
    const LRESULT first = KeyThenSelected(tracks, VK_HOME);
    std::set<LRESULT> items{first};
    for (int i = 0; i < 3; ++i)
        items.insert(KeyThenSelected(tracks, VK_DOWN));
    items.erase(0);
    EXPECT_EQ(items.size(), 2u) << "two tracks";
    ASSERT_EQ(KeyThenSelected(tracks, VK_HOME), first);
    const TRect trackArea = ClientOnScreen(tracks);
    const std::vector<uint32_t> firstChecked = CaptureScreen(trackArea);

    // The second, by keys: the movie plays on from where it was.
    const LRESULT second = KeyThenSelected(tracks, VK_DOWN);
    ASSERT_NE(second, first);
    const int before = Seconds(VideoTimeText(video));
    PostMessageA(tracks, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(menu); }, 5000));
    EXPECT_TRUE(PumpUntil([&] { return Seconds(VideoTimeText(video)) > before; }, 5000)) << "it plays on";
    EXPECT_GE(Seconds(VideoTimeText(video)), before) << "from the same time, not from the start";

    // Opened again, the check has moved to the second.
    tracks = OpenAudioTracks(player, video, menu);
    ASSERT_NE(tracks, nullptr);
    ASSERT_EQ(KeyThenSelected(tracks, VK_HOME), first);
    const std::vector<uint32_t> secondChecked = CaptureScreen(ClientOnScreen(tracks));
    EXPECT_GT(ComparePictures(firstChecked, secondChecked).Changed, 10u) << "the check mark moved";
    SaveScreenshot("video_menu_audio_tracks_second.jpg");
    EXPECT_TRUE(TPlayerProcess::CloseMenu(menu));
    EXPECT_EQ(player.Close(), 0);
}
