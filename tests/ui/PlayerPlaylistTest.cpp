// The real program's play-list window: adding a folder through the add-directory dialog,
// titles and times arriving, playing by double click, removing and dragging rows, list files
// in the combo, docking into the video window and "Undock", the main window's play-list
// button, dropped files, and the main menu's "Reopen" that refills the list.
#include "tests/ui/FileDrag.h"
#include "tests/ui/PlayerHarness.h"
#include "tests/ui/RemoteControls.h"
#include "tests/ui/ScreenCapture.h"

#include "ui/DisplayPanelCore.h"
#include "ui/SettingsModel.h"

#include "framework/Registry.h"
#include "framework/SysUtils.h"
#include "tests/support/TagWriter.h"
#include "tests/support/WavWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace pvltest;

namespace {

struct TChildSearch {
    std::string ClassName;
    HWND Parent = nullptr;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM param)
{
    auto& search = *reinterpret_cast<TChildSearch*>(param);
    if ((search.ClassName.empty() || WindowClass(child) == search.ClassName) &&
        (!search.Parent || GetParent(child) == search.Parent))
        search.Found.push_back(child);
    return TRUE;
}

std::vector<HWND> Children(HWND parent, const std::string& className, bool directOnly)
{
    TChildSearch search{className, directOnly ? parent : nullptr, {}};
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// The video window's visible splitter: its direct child three pixels wide.
HWND VisibleSplitter(HWND video)
{
    for (HWND child : Children(video, {}, true)) {
        RECT r{};
        GetWindowRect(child, &r);
        if (IsWindowVisible(child) && r.right - r.left == 3)
            return child;
    }
    return nullptr;
}

TRect ScreenRect(HWND wnd)
{
    RECT r{};
    GetWindowRect(wnd, &r);
    return TRect(r.left, r.top, r.right, r.bottom);
}

// The play-list window (made at the start when a file is given, else when first shown); none when there is none.
HWND PlaylistWindow(const TPlayerProcess& player)
{
    for (const HWND wnd : player.Windows())
        if (WindowText(wnd) == "Playlist...")
            return wnd;
    return nullptr;
}

// The play list's popup (the skinned menu window), opened by a right click on its rows with the
// pointer at `at`; none when it does not show.
HWND OpenPopup(const TPlayerProcess& player, HWND playlist, POINT at)
{
    const std::vector<HWND> lists = Children(playlist, "SysListView32", false);
    if (lists.empty())
        return nullptr;
    SetCursorPos(at.x, at.y);
    PostMessageA(lists.front(), WM_RBUTTONUP, 0, MAKELPARAM(20, 60));
    return player.WaitForPopupMenu();
}

// The play list's popup with an item chosen by the keyboard: Steps presses of Key from no
// selection (Up lands on the last item first, Down on the first); false when the menu does not
// show or does not close.
bool ChoosePopupItem(const TPlayerProcess& player, HWND playlist, WPARAM key, int steps)
{
    // The pointer kept off the menu, so that it selects nothing by hovering.
    const HWND menu = OpenPopup(player, playlist, POINT{2, 2});
    if (!menu)
        return false;
    for (int i = 0; i < steps; ++i)
        PostMessageA(menu, WM_KEYDOWN, key, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    // Gone before the next popup is looked for.
    return PumpUntil([&] { return !IsWindowVisible(menu); }, 5000);
}

// Floating, the popup reads "Remove", "New playlist", "Add to favorit", "Add File(s)",
// "Add Directory" (separators are passed over); docked, "Undock" comes last.
bool ChooseLastPopupItem(const TPlayerProcess& player, HWND playlist) { return ChoosePopupItem(player, playlist, VK_UP, 1); }
bool ChooseRemove(const TPlayerProcess& player, HWND playlist) { return ChoosePopupItem(player, playlist, VK_DOWN, 1); }
bool ChooseNewPlaylist(const TPlayerProcess& player, HWND playlist) { return ChoosePopupItem(player, playlist, VK_DOWN, 2); }
bool ChooseAddToFavorit(const TPlayerProcess& player, HWND playlist) { return ChoosePopupItem(player, playlist, VK_DOWN, 3); }

// The combo's item of the text chosen as the user would; false when there is none.
bool ChooseComboItem(HWND combo, const std::string& text)
{
    const std::vector<std::string> texts = ComboTexts(combo);
    const auto at = std::find(texts.begin(), texts.end(), text);
    if (at == texts.end())
        return false;
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(at - texts.begin()), 0);
    PostMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    return true;
}

HWND ChildOf(HWND parent, const std::string& className)
{
    const std::vector<HWND> found = Children(parent, className, false);
    return found.empty() ? nullptr : found.front();
}

std::vector<std::string> Captions(const std::vector<TRemoteRow>& rows)
{
    std::vector<std::string> captions;
    for (const TRemoteRow& row : rows)
        captions.push_back(row.Caption);
    return captions;
}

// The rows that show the playing icon (3).
std::vector<int> PlayingRows(const std::vector<TRemoteRow>& rows)
{
    std::vector<int> playing;
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].Image == 3)
            playing.push_back(static_cast<int>(i));
    return playing;
}

// A mouse message at a row's middle, a little right of its icon.
LPARAM AtRow(HWND list, int row)
{
    const RECT bounds = ListViewRowRect(list, row);
    return MAKELPARAM(bounds.left + 40, (bounds.top + bounds.bottom) / 2);
}

// COM for the shell's names on the test's thread.
struct TComScope {
    TComScope() { CoInitialize(nullptr); }
    ~TComScope() { CoUninitialize(); }
};

// The mouse's messages of a double click on a row.
void DoubleClickRow(HWND list, int row)
{
    const LPARAM at = AtRow(list, row);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
    PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
}

void WriteSilence(const std::string& fileName, double seconds)
{
    TWavSpec spec;
    spec.SampleRate = 8000;
    spec.Channels = 1;
    spec.Seconds = seconds;
    WriteWav(fileName, spec, Sine(440, 0.2, spec.SampleRate));
}

class PlayerPlaylist : public ::testing::Test {
protected:
    void SetUp() override
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(SettingsKeyPath("Advanced Video"), true));
        reg.WriteString("PerferedVideoRender0", kVideoRenderer);
        Install.MarkNotFirstRun();
        ASSERT_TRUE(reg.OpenKey(SettingsKeyPath("General"), true));
        reg.WriteInteger("ResumeMode", 1);
    }

    // The play-list window, once the player has made it; none when it did not come.
    static HWND FindPlaylist(const TPlayerProcess& player)
    {
        HWND playlist = nullptr;
        PumpUntil([&] { return (playlist = PlaylistWindow(player)) != nullptr; }, 20000);
        if (!playlist) {
            std::string windows;
            for (const HWND wnd : player.Windows())
                windows += "[" + WindowClass(wnd) + " \"" + WindowText(wnd) + "\"" + (IsWindowVisible(wnd) ? " visible" : "") + "] ";
            ADD_FAILURE() << "no play-list window; windows: " << windows;
            return nullptr;
        }
        return playlist;
    }

    // The play-list window, shown without taking the activation at the screen's top left.
    HWND ShowPlaylist(const TPlayerProcess& player)
    {
        const HWND playlist = FindPlaylist(player);
        if (!playlist)
            return nullptr;
        ShowWindow(playlist, SW_SHOWNOACTIVATE);
        SetWindowPos(playlist, HWND_TOP, 20, 20, 248, 381, SWP_NOACTIVATE);
        PumpUntil([&] { return IsWindowVisible(playlist) != FALSE; }, 5000);
        return playlist;
    }

    // The player started on WAVs of the names (seconds long each) made in the install folder,
    // its play-list window shown; the window's list once all rows are there, else none.
    HWND StartOnWavs(TPlayerProcess& player, const std::vector<std::string>& names, double seconds, HWND& playlist)
    {
        std::string files;
        for (const std::string& name : names) {
            const std::string file = Install.Folder() + name;
            WriteSilence(file, seconds);
            files += " \"" + file + "\"";
        }
        player.Start(files);
        if (!player.WaitForMainWindow())
            return nullptr;
        playlist = ShowPlaylist(player);
        const HWND list = playlist ? ChildOf(playlist, "SysListView32") : nullptr;
        return list && RowCountBecomes(list, names.size()) ? list : nullptr;
    }

    // Waits until the rows satisfy the condition; the rows last read.
    static bool RowsBecome(HWND list, const std::function<bool(const std::vector<TRemoteRow>&)>& done,
                           std::vector<TRemoteRow>* last = nullptr, DWORD timeoutMs = 15000)
    {
        std::vector<TRemoteRow> rows;
        const bool reached = PumpUntil(
            [&] {
                rows = ListViewRows(list);
                return done(rows);
            },
            timeoutMs);
        if (last)
            *last = rows;
        return reached;
    }

    static bool RowCountBecomes(HWND list, size_t count, std::vector<TRemoteRow>* last = nullptr)
    {
        return RowsBecome(list, [&](const auto& rows) { return rows.size() == count; }, last);
    }

    // "Add Directory" from the popup; the dialog, or none when it did not show.
    static HWND OpenAddDirectory(const TPlayerProcess& player, HWND playlist)
    {
        if (!ChooseLastPopupItem(player, playlist))
            return nullptr;
        return player.WaitForWindow("TPvlForm", "Add Directory...", 5000);
    }

    // The folder added through the add-directory dialog's "Ok".
    static bool AddFolder(const TPlayerProcess& player, HWND playlist, const std::string& folder)
    {
        const HWND dialog = OpenAddDirectory(player, playlist);
        const HWND tree = dialog ? ChildOf(dialog, "SysTreeView32") : nullptr;
        if (!tree || TreeSelectPath(tree, folder) != static_cast<int>(ShellNamesDownTo(folder).size()))
            return false;
        return TPlayerProcess::PressButton(dialog, "Ok");
    }

    // A file dialog of the player answered with a file name and its OK button.
    static bool AnswerFileDialog(const TPlayerProcess& player, const std::string& fileName)
    {
        const HWND dialog = player.WaitForWindow("#32770", {}, 10000);
        if (!dialog)
            return false;
        // The file name's box (control 0x47C, or 0x480 in older templates) and its edit.
        HWND edit = nullptr;
        std::vector<HWND> boxes;
        PumpUntil(
            [&] {
                for (const HWND child : Children(dialog, {}, false))
                    if (GetDlgCtrlID(child) == 0x47C || GetDlgCtrlID(child) == 0x480) {
                        boxes.push_back(child);
                        if (WindowClass(child) == "Edit")
                            edit = child;
                    }
                return edit != nullptr;
            },
            5000);
        if (!edit) {
            std::string all;
            for (const HWND child : Children(dialog, {}, false))
                all += " [" + WindowClass(child) + " " + std::to_string(GetDlgCtrlID(child)) + " \"" + WindowText(child) + "\"]";
            ADD_FAILURE() << "no file name edit in \"" << WindowText(dialog) << "\":" << all;
            return false;
        }
        for (const HWND box : boxes)
            SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fileName.c_str()));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return PumpUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 10000);
    }

    // The player's message box of the text; pressed with Answer.
    static bool AnswerMessage(const TPlayerProcess& player, const std::string& text, int answer)
    {
        HWND box = nullptr;
        PumpUntil(
            [&] {
                for (const HWND wnd : player.Windows())
                    if (IsWindowVisible(wnd) && WindowClass(wnd) == "#32770" &&
                        TPlayerProcess::ChildVisible(wnd, "Static", text))
                        box = wnd;
                return box != nullptr;
            },
            10000);
        if (!box)
            return false;
        PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(answer), 0);
        return PumpUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
    }

    TPlayerInstall Install;
};

}  // namespace

TEST_F(PlayerPlaylist, AddDirectoryAddsTheFoldersMediaFilesAndTheirTitlesAndTimesArrive)
{
    // Two WAVs, an MP3 titled by its ID3v2 tag, a damaged AVI, a text file, a WAV below.
    const std::string folder = Install.Folder() + "Music";
    ForceDirectories(folder + "\\Sub");
    WriteSilence(folder + "\\one.wav", 2);
    WriteSilence(folder + "\\two.wav", 3);
    WriteSilence(folder + "\\Sub\\three.wav", 1);
    const std::vector<uint8_t> tone = ReadAll(FixturePath("tone.mp3"));
    ASSERT_FALSE(tone.empty());
    WriteAll(folder + "\\tagged.mp3", Id3Tag(3, 0, Id3Frame(3, "TIT2", Latin1Text("Tagged Tone"))) + tone);
    WriteAll(folder + "\\broken.avi", Bytes("RIFF") + AudioBytes(4000, 7));
    WriteAll(folder + "\\notes.txt", Bytes("not media"));
    const TComScope com;
    const std::vector<std::string> names = ShellNamesDownTo(folder);
    ASSERT_GE(names.size(), 2u) << "the computer item, the drive, the folders";

    // The player starts on a file of its own, as a user's start with a file would.
    TPlayerProcess player;
    HWND playlist = nullptr;
    const HWND list = StartOnWavs(player, {"first.wav"}, 1, playlist);
    ASSERT_NE(list, nullptr);
    const HWND status = ChildOf(playlist, "msctls_statusbar32");
    ASSERT_NE(status, nullptr);

    // The folder, "Ok": its media files only, not the text file nor the subfolder's.
    HWND dialog = OpenAddDirectory(player, playlist);
    ASSERT_NE(dialog, nullptr);
    const HWND tree = ChildOf(dialog, "SysTreeView32");
    const HWND box = ChildOf(dialog, "Button");
    ASSERT_TRUE(tree && box);
    ASSERT_EQ(WindowText(box), "Include subdirectories");
    ASSERT_EQ(TreeSelectPath(tree, folder), static_cast<int>(names.size()));
    SaveScreenshot("player_playlist_add_directory.jpg");
    ASSERT_TRUE(TPlayerProcess::PressButton(dialog, "Ok"));
    std::vector<TRemoteRow> rows;
    ASSERT_TRUE(RowCountBecomes(list, 5, &rows)) << rows.size() << " rows";

    // The detail thread brings the lengths and the tag's title; the status bar follows.
    const auto row = [](const std::vector<TRemoteRow>& rows, const std::string& caption) {
        const auto at = std::find_if(rows.begin(), rows.end(), [&](const TRemoteRow& r) { return r.Caption == caption; });
        return at == rows.end() ? TRemoteRow{"", "missing"} : *at;
    };
    EXPECT_TRUE(RowsBecome(
        list,
        [&](const auto& rows) {
            return row(rows, "one.wav").Time == "00:00:02" && row(rows, "two.wav").Time == "00:00:03" &&
                   row(rows, "Tagged Tone").Time.size() == 8 && row(rows, "broken.avi").Time.empty();
        },
        &rows))
        << "rows: " << ::testing::PrintToString(Captions(rows));
    EXPECT_EQ(StatusBarText(status, 0), "5 file(s)");
    EXPECT_TRUE(PumpUntil([&] { return StatusBarText(status, 1) >= "Total: 00:00:06      "; }, 5000))
        << StatusBarText(status, 1);
    SaveScreenshot("player_playlist_titles.jpg");

    // A second showing keeps the folder; the computer item adds nothing.
    dialog = OpenAddDirectory(player, playlist);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(TreeItemText(tree, TreeView_GetSelection(tree)), names.back());
    ASSERT_TRUE(TreeSelectRootChild(tree, names.front()));
    ASSERT_TRUE(TPlayerProcess::PressButton(dialog, "Ok"));
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(dialog); }, 5000));

    // Cancel adds nothing, even on the folder with the box checked.
    dialog = OpenAddDirectory(player, playlist);
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(TreeSelectPath(tree, folder), static_cast<int>(names.size()));
    PostMessageA(box, BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }, 5000));
    ASSERT_TRUE(TPlayerProcess::PressButton(dialog, "Cancel"));
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(dialog); }, 5000));

    // The box stays checked: "Ok" adds the subfolder's file too, and only these five.
    dialog = OpenAddDirectory(player, playlist);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(TreeItemText(tree, TreeView_GetSelection(tree)), names.back());
    ASSERT_TRUE(TPlayerProcess::PressButton(dialog, "Ok"));
    ASSERT_TRUE(RowCountBecomes(list, 10, &rows)) << rows.size() << " rows";
    EXPECT_EQ(row(rows, "three.wav").Caption, "three.wav");
    EXPECT_EQ(StatusBarText(status, 0), "10 file(s)");

    EXPECT_EQ(player.Close(), 0);
}

TEST_F(PlayerPlaylist, DoubleClickPlaysARowAndRemovingThePlayingRowPlaysTheNextOnlyWhilePlaying)
{
    TPlayerProcess player;
    HWND playlist = nullptr;
    const HWND list = StartOnWavs(player, {"a.wav", "b.wav", "c.wav", "d.wav"}, 30, playlist);
    ASSERT_NE(list, nullptr);
    std::vector<TRemoteRow> rows;
    ASSERT_TRUE(RowsBecome(list, [](const auto& rows) { return rows.size() == 4 && PlayingRows(rows) == std::vector<int>{0}; }, &rows))
        << "the first entry plays";

    // A double click plays its row: the playing icon moves there.
    DoubleClickRow(list, 2);
    EXPECT_TRUE(RowsBecome(list, [](const auto& rows) { return PlayingRows(rows) == std::vector<int>{2}; }, &rows));
    EXPECT_EQ(rows[0].Image, 2) << "opened before, no longer playing";

    // Unselected, the playing row is drawn on dark grey.
    ListViewSelect(list, {});
    const RECT bounds = ListViewRowRect(list, 2);
    POINT probe{bounds.right - 4, bounds.top + 1};
    ClientToScreen(list, &probe);
    const TRect pixel(probe.x, probe.y, probe.x + 1, probe.y + 1);
    uint32_t seen = 0;
    EXPECT_TRUE(PumpUntil(
        [&] {
            SetWindowPos(playlist, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            seen = CaptureScreen(pixel).front() & 0xFFFFFF;
            return seen == 0x5B5B5B;
        },
        5000))
        << "the playing row's background; seen " << std::hex << seen;
    EXPECT_EQ(Children(playlist, "SysListView32", true).size(), 1u);
    // "Name" takes what "Time" leaves.
    RECT client{};
    GetClientRect(list, &client);
    EXPECT_EQ(ListViewRowRect(list, 2).right, client.right);
    SaveScreenshot("player_playlist_playing_row.jpg");

    // Removing the playing row while it plays plays the row that followed it.
    ListViewSelect(list, {2});
    ASSERT_TRUE(ChooseRemove(player, playlist));
    EXPECT_TRUE(RowsBecome(
        list, [](const auto& rows) { return rows.size() == 3 && PlayingRows(rows) == std::vector<int>{2}; }, &rows))
        << ::testing::PrintToString(Captions(rows));
    EXPECT_EQ(Captions(rows), (std::vector<std::string>{"a.wav", "b.wav", "d.wav"}));

    // Stopped, removing the playing row plays nothing. The stop key waits in the player's
    // queue before the popup's click, so the removal comes after the stop.
    DoubleClickRow(list, 0);
    ASSERT_TRUE(RowsBecome(list, [](const auto& rows) { return PlayingRows(rows) == std::vector<int>{0}; }));
    PostMessageA(player.WaitForMainWindow(), WM_KEYDOWN, 178, 0);  // the media Stop key
    ListViewSelect(list, {0});
    ASSERT_TRUE(ChooseRemove(player, playlist));
    ASSERT_TRUE(RowCountBecomes(list, 2, &rows));
    EXPECT_EQ(Captions(rows), (std::vector<std::string>{"b.wav", "d.wav"}));
    EXPECT_TRUE(PlayingRows(rows).empty()) << "b.wav would have played";

    EXPECT_EQ(player.Close(), 0);
}

TEST_F(PlayerPlaylist, ADraggedRowMovesAndThePlayingMarkStaysOnItsEntry)
{
    TPlayerProcess player;
    HWND playlist = nullptr;
    const HWND list = StartOnWavs(player, {"a.wav", "b.wav", "c.wav", "d.wav"}, 30, playlist);
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(RowsBecome(list, [](const auto& rows) { return rows.size() == 4 && PlayingRows(rows) == std::vector<int>{0}; }));

    // The playing row taken by the mouse and let go over the third row.
    ListViewSelect(list, {0});
    const LPARAM from = AtRow(list, 0), to = AtRow(list, 2);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, from);
    PostMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(LOWORD(from), HIWORD(from) + 8));
    PostMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, to);
    PostMessageA(list, WM_LBUTTONUP, 0, to);
    std::vector<TRemoteRow> rows;
    EXPECT_TRUE(RowsBecome(
        list, [](const auto& rows) { return Captions(rows) == std::vector<std::string>{"b.wav", "a.wav", "c.wav", "d.wav"}; },
        &rows))
        << ::testing::PrintToString(Captions(rows));
    EXPECT_EQ(PlayingRows(rows), std::vector<int>{1}) << "the mark moved with its entry";
    EXPECT_TRUE(rows[1].Selected);

    EXPECT_EQ(player.Close(), 0);
}

TEST_F(PlayerPlaylist, ListFilesSaveLoadAndAreChosenInTheCombo)
{
    const std::string saved = Install.Folder() + "Saved list.pls";
    TPlayerProcess player;
    HWND playlist = nullptr;
    const HWND list = StartOnWavs(player, {"a.wav", "b.wav"}, 2, playlist);
    ASSERT_NE(list, nullptr);
    const HWND combo = ChildOf(playlist, "ComboBox");
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(ComboTexts(combo), (std::vector<std::string>{"Favorites", "Last Played"}));

    // "S" saves the list through the save dialog; the combo offers the file at the top.
    ASSERT_TRUE(TPlayerProcess::PressButton(playlist, "S"));
    ASSERT_TRUE(AnswerFileDialog(player, saved));
    // The dialog may leave an empty test file there for a moment: wait for the written list,
    // asking its size without opening it (an open file would stop the player's replace).
    EXPECT_TRUE(PumpUntil(
        [&] {
            WIN32_FILE_ATTRIBUTE_DATA data{};
            return GetFileAttributesExA(saved.c_str(), GetFileExInfoStandard, &data) && (data.nFileSizeLow || data.nFileSizeHigh);
        },
        5000));
    EXPECT_EQ(ComboTexts(combo), (std::vector<std::string>{"Saved list", "Favorites", "Last Played"}));
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);

    // "New playlist" on a saved list asks nothing and empties it; "L" loads the file again.
    ASSERT_TRUE(ChooseNewPlaylist(player, playlist));
    ASSERT_TRUE(RowCountBecomes(list, 0));
    EXPECT_EQ(ComboTexts(combo).front(), "New Playlist...");
    ASSERT_TRUE(TPlayerProcess::PressButton(playlist, "L"));
    ASSERT_TRUE(AnswerFileDialog(player, saved));
    std::vector<TRemoteRow> rows;
    ASSERT_TRUE(RowCountBecomes(list, 2, &rows));
    EXPECT_EQ(Captions(rows), (std::vector<std::string>{"a.wav", "b.wav"}));

    // Chosen in the combo it loads again; once deleted it is "File not found !!!!" and an
    // empty list.
    const auto chooseSavedList = [&] { return ChooseComboItem(combo, "Saved list"); };
    ASSERT_TRUE(ChooseNewPlaylist(player, playlist));
    ASSERT_TRUE(RowCountBecomes(list, 0));
    ASSERT_TRUE(chooseSavedList());
    EXPECT_TRUE(RowCountBecomes(list, 2)) << "the combo's list file loads";
    ASSERT_TRUE(DeleteFileA(saved.c_str()));
    ASSERT_TRUE(chooseSavedList());
    EXPECT_TRUE(AnswerMessage(player, "File not found !!!!", IDOK));
    EXPECT_TRUE(RowCountBecomes(list, 0));

    EXPECT_EQ(player.Close(), 0);
}

TEST_F(PlayerPlaylist, PopupIsTheSkinnedMenuAtThePointer)
{
    const std::string clip = Install.Media("clip_8s.avi", "popup clip.avi");
    TPlayerProcess player;
    player.Start("\"" + clip + "\"");
    ASSERT_NE(player.WaitForMainWindow(), nullptr);
    ASSERT_NE(player.WaitForWindow("TPvlForm", kVideoCaption, 20000), nullptr);
    const HWND playlist = ShowPlaylist(player);
    ASSERT_NE(playlist, nullptr);
    const TRect floating = ScreenRect(playlist);
    const POINT at{floating.left + 40, floating.top + 80};
    const HWND menu = OpenPopup(player, playlist, at);
    ASSERT_NE(menu, nullptr) << "the play list's popup shows";
    RECT bounds{};
    GetWindowRect(menu, &bounds);
    EXPECT_EQ(bounds.left, at.x);
    EXPECT_EQ(bounds.top, at.y);
    SaveScreenshot("player_playlist_popup.jpg");
    ASSERT_TRUE(TPlayerProcess::CloseMenu(menu));
    EXPECT_EQ(player.Close(), 0);
}

TEST_F(PlayerPlaylist, DocksIntoTheVideoWindowAndUndocksWhereItWas)
{
    const std::string clip = Install.Media("clip_8s.avi", "docking clip.avi");
    TPlayerProcess player;
    player.Start("\"" + clip + "\"");
    ASSERT_NE(player.WaitForMainWindow(), nullptr);
    const HWND video = player.WaitForWindow("TPvlForm", kVideoCaption, 20000);
    ASSERT_NE(video, nullptr);
    const HWND playlist = PlaylistWindow(player);
    ASSERT_NE(playlist, nullptr);
    ShowWindow(playlist, SW_SHOWNOACTIVATE);
    SetWindowPos(playlist, HWND_TOP, 20, 20, 248, 381, SWP_NOACTIVATE);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(playlist) != FALSE; }, 5000));
    const TRect floating = ScreenRect(playlist);

    // Floating, the popup's last entry is "Add Directory": "Undock" is hidden.
    ASSERT_TRUE(ChooseLastPopupItem(player, playlist)) << "the play list's popup shows";
    const HWND addDir = player.WaitForWindow("TPvlForm", "Add Directory...", 5000);
    ASSERT_NE(addDir, nullptr);
    ASSERT_TRUE(TPlayerProcess::PressButton(addDir, "Cancel"));
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(addDir); }, 5000));

    // A move of the window that ends over the video window's right edge docks it there.
    const TRect videoClient = ClientOnScreen(video);
    SetCursorPos(videoClient.right - 30, (videoClient.top + videoClient.bottom) / 2);
    SendMessageA(playlist, WM_ENTERSIZEMOVE, 0, 0);
    SendMessageA(playlist, WM_EXITSIZEMOVE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return GetParent(playlist) == video; }, 5000)) << "docked into the video window";
    const TRect docked = ScreenRect(playlist);
    EXPECT_EQ(docked.right, videoClient.right) << "at the right edge";
    EXPECT_EQ(docked.Width(), floating.Width());
    const HWND splitter = VisibleSplitter(video);
    ASSERT_NE(splitter, nullptr) << "the splitter shows";
    EXPECT_EQ(ScreenRect(splitter).right, docked.left) << "to the play list's left";
    SaveScreenshot("player_playlist_docked.jpg");

    // Docked, "Undock" is the last entry, and floats the window where it was.
    ASSERT_TRUE(ChooseLastPopupItem(player, playlist));
    ASSERT_TRUE(PumpUntil([&] { return GetParent(playlist) != video; }, 5000)) << "floating again";
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(ScreenRect(playlist), floating);
    EXPECT_EQ(VisibleSplitter(video), nullptr) << "the splitter hides";
    SaveScreenshot("player_playlist_undocked.jpg");

    EXPECT_EQ(player.Close(), 0);
}

TEST_F(PlayerPlaylist, ANewUnsavedListIsOfferedForSavingAndFavouritesCollectRows)
{
    const std::string folder = Install.Folder() + "Songs";
    ForceDirectories(folder);
    WriteSilence(folder + "\\x.wav", 1);
    WriteSilence(folder + "\\y.wav", 1);
    const TComScope com;
    TPlayerProcess player;
    HWND playlist = nullptr;
    const HWND list = StartOnWavs(player, {"first.wav"}, 1, playlist);
    ASSERT_NE(list, nullptr);
    const HWND combo = ChildOf(playlist, "ComboBox");
    ASSERT_NE(combo, nullptr);

    // The first row goes to the favourites; the favourites are a list of their own.
    ListViewSelect(list, {0});
    ASSERT_TRUE(ChooseAddToFavorit(player, playlist));
    ASSERT_TRUE(ChooseNewPlaylist(player, playlist));
    ASSERT_TRUE(RowCountBecomes(list, 0));
    ASSERT_TRUE(ChooseComboItem(combo, "Favorites"));
    std::vector<TRemoteRow> rows;
    EXPECT_TRUE(RowsBecome(list, [](const auto& rows) { return Captions(rows) == std::vector<std::string>{"first.wav"}; }, &rows))
        << ::testing::PrintToString(Captions(rows));

    // A new list with rows: "New playlist" asks first; No empties it unsaved.
    ASSERT_TRUE(ChooseNewPlaylist(player, playlist));
    ASSERT_TRUE(RowCountBecomes(list, 0));
    EXPECT_EQ(ComboTexts(combo).front(), "New Playlist...");
    ASSERT_TRUE(AddFolder(player, playlist, folder));
    ASSERT_TRUE(RowCountBecomes(list, 2));
    ASSERT_TRUE(ChooseNewPlaylist(player, playlist));
    ASSERT_TRUE(AnswerMessage(player, "Current playlist haven't been saved.\r\nSave it now?", IDNO));
    EXPECT_TRUE(RowCountBecomes(list, 0));

    // Yes saves it through the save dialog before it is emptied.
    ASSERT_TRUE(AddFolder(player, playlist, folder));
    ASSERT_TRUE(RowCountBecomes(list, 2));
    ASSERT_TRUE(ChooseNewPlaylist(player, playlist));
    ASSERT_TRUE(AnswerMessage(player, "Current playlist haven't been saved.\r\nSave it now?", IDYES));
    const std::string saved = Install.Folder() + "Kept.m3u";
    ASSERT_TRUE(AnswerFileDialog(player, saved));
    EXPECT_TRUE(RowCountBecomes(list, 0));
    EXPECT_TRUE(FileExists(saved));
    const std::vector<std::string> texts = ComboTexts(combo);
    EXPECT_EQ(texts.front(), "New Playlist...");
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Kept"), texts.end());

    EXPECT_EQ(player.Close(), 0);
}

TEST_F(PlayerPlaylist, ClosesAfterACancelledPopupAndDocking)
{
    const std::string clip = Install.Media("clip_8s.avi", "closing clip.avi");
    TPlayerProcess player;
    player.Start("\"" + clip + "\"");
    const HWND main = player.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    const HWND video = player.WaitForWindow("TPvlForm", kVideoCaption, 20000);
    ASSERT_NE(video, nullptr);
    const HWND playlist = PlaylistWindow(player);
    ASSERT_NE(playlist, nullptr);
    // Shown as the user shows it: the main menu's "View", "Playlist" (from the end: "Exit",
    // "Settings", "View"; its submenu opens at "Playlist").
    const auto shows = [&] {
        const HWND menu = player.OpenMainMenu(main);
        if (!menu)
            return false;
        for (int i = 0; i < 3; ++i)
            PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
        PostMessageA(menu, WM_KEYDOWN, VK_RIGHT, 0);
        const HWND submenu = player.WaitForSubmenu(menu);
        if (!submenu)
            return false;
        PostMessageA(submenu, WM_KEYDOWN, VK_RETURN, 0);
        return PumpUntil([&] { return !IsWindowVisible(menu) && IsWindowVisible(playlist); }, 5000);
    };
    const auto closes = [&] {
        PostMessageA(playlist, WM_CLOSE, 0, 0);
        return PumpUntil([&] { return !IsWindowVisible(playlist); }, 5000);
    };

    // A popup shown and cancelled leaves the window's close as it was.
    ASSERT_TRUE(shows()) << "the play list shows from the main menu";
    const HWND menu = OpenPopup(player, playlist, POINT{2, 2});
    ASSERT_NE(menu, nullptr);
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(menu); }, 5000)) << "Esc cancels the popup";
    EXPECT_TRUE(closes()) << "closes after a cancelled popup";

    // So do docking into the video window and "Undock".
    ASSERT_TRUE(shows());
    const TRect videoClient = ClientOnScreen(video);
    SetCursorPos(videoClient.right - 30, (videoClient.top + videoClient.bottom) / 2);
    SendMessageA(playlist, WM_ENTERSIZEMOVE, 0, 0);
    SendMessageA(playlist, WM_EXITSIZEMOVE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return GetParent(playlist) == video; }, 5000)) << "docked";
    ASSERT_TRUE(ChooseLastPopupItem(player, playlist)) << "\"Undock\"";
    ASSERT_TRUE(PumpUntil([&] { return GetParent(playlist) != video && IsWindowVisible(playlist); }, 5000)) << "floating";
    EXPECT_TRUE(closes()) << "closes after docking and undocking";
    EXPECT_TRUE(player.Running()) << "closing the play list leaves the player";

    EXPECT_EQ(player.Close(), 0);
}

TEST_F(PlayerPlaylist, ThePlayListButtonShowsAndHidesTheWindow)
{
    TPlayerProcess player;
    player.Start();
    const HWND main = player.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    for (const HWND wnd : player.Windows())
        EXPECT_FALSE(IsWindowVisible(wnd) && WindowText(wnd) == "Playlist...") << "hidden at the start";

    // The sixth button of the face, below the caption strip.
    const HWND face = ChildAt(main, 5, 16 + 5);
    const int left = 4 + 5 * 27;
    const HWND button = face ? ChildAt(face, left + 13, kDisplayLayout.ButtonsTop + 13) : nullptr;
    ASSERT_NE(button, nullptr);
    Click(button);
    const HWND playlist = FindPlaylist(player);
    ASSERT_NE(playlist, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(playlist) != FALSE; }, 5000)) << "shown by the button";
    const HWND status = ChildOf(playlist, "msctls_statusbar32");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(StatusBarText(status, 0), "No file(s)");
    EXPECT_EQ(StatusBarText(status, 1), "Total:      ");
    SaveScreenshot("player_playlist_button_shows.jpg");
    Click(button);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(playlist); }, 5000)) << "hidden by it again";
    Click(button);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(playlist) != FALSE; }, 5000)) << "and shown again";

    EXPECT_EQ(player.Close(), 0);
}

TEST_F(PlayerPlaylist, FilesDroppedOnTheListOrTheMainWindowAreAdded)
{
    const std::string folder = Install.Folder() + "Dropped";
    ForceDirectories(folder);
    for (const auto& [name, seconds] : {std::pair{"x.wav", 2}, {"y.wav", 3}, {"z.wav", 1}})
        WriteSilence(folder + "\\" + name, seconds);
    TPlayerProcess player;
    HWND playlist = nullptr;
    const HWND list = StartOnWavs(player, {"first.wav"}, 1, playlist);
    ASSERT_NE(list, nullptr);
    const HWND main = player.WaitForMainWindow();
    // The drag starts where no window of the player is.
    const POINT corner{GetSystemMetrics(SM_CXSCREEN) - 3, GetSystemMetrics(SM_CYSCREEN) - 3};
    DWORD owner = 0;
    GetWindowThreadProcessId(WindowFromPoint(corner), &owner);
    ASSERT_NE(owner, player.Id()) << "the screen's corner is free";

    // Two files let go over the list join it, and their times arrive.
    const TRect rows = ScreenRect(list);
    const int listEffect = DragFiles({folder + "\\x.wav", folder + "\\y.wav"}, corner,
                                     POINT{(rows.left + rows.right) / 2, (rows.top + rows.bottom) / 2});
    ASSERT_NE(listEffect, -1) << "the drag ran";
    std::vector<TRemoteRow> seen;
    EXPECT_TRUE(RowsBecome(
        list,
        [](const auto& rows) {
            return rows.size() == 3 && Captions(rows) == std::vector<std::string>{"first.wav", "x.wav", "y.wav"} &&
                   rows[1].Time == "00:00:02" && rows[2].Time == "00:00:03";
        },
        &seen))
        << "effect " << listEffect << ", rows " << ::testing::PrintToString(Captions(seen));

    // One let go over the main window's face, right of the play-list window, joins it too.
    const TRect face = ScreenRect(main);
    const POINT onFace{face.right - 30, face.top + 40};
    ASSERT_EQ(GetAncestor(WindowFromPoint(onFace), GA_ROOT), main);
    const int faceEffect = DragFiles({folder + "\\z.wav"}, corner, onFace);
    ASSERT_NE(faceEffect, -1);
    EXPECT_TRUE(RowsBecome(list, [](const auto& rows) { return rows.size() == 4 && rows[3].Caption == "z.wav"; }, &seen))
        << "effect " << faceEffect << ", rows " << ::testing::PrintToString(Captions(seen));
    SaveScreenshot("player_playlist_dropped.jpg");

    EXPECT_EQ(player.Close(), 0);
}

TEST_F(PlayerPlaylist, ReopenListsTheCommandLineFileFirstAndAtMostFilesEntriesAndPlaysThePickedOne)
{
    // The pointer kept off the menus, so that hovering selects nothing.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 3, GetSystemMetrics(SM_CYSCREEN) - 3);
    // "Open File", "Open URL", "Reopen": the third entry, and Right opens its list.
    const std::vector<WPARAM> toReopen{VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT};
    {
        // Without history "Reopen" is disabled: Right opens nothing, so Escape closes the menu.
        TPlayerProcess player;
        player.Start();
        const HWND main = player.WaitForMainWindow();
        ASSERT_NE(main, nullptr);
        const HWND menu = player.OpenMainMenu(main);
        ASSERT_NE(menu, nullptr);
        std::vector<WPARAM> keys = toReopen;
        keys.push_back(VK_ESCAPE);
        EXPECT_TRUE(player.MenuKeys(menu, keys, 0)) << player.ShownMenus() << " menus show";
        EXPECT_EQ(player.Close(), 0);
    }

    // A history of three, of which "Files" keeps two.
    for (const char* name : {"b.wav", "c.wav", "d.wav"})
        WriteSilence(Install.Folder() + name, 30);
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(SettingsKeyPath("History"), true));
        reg.WriteInteger("Files", 2);
        ASSERT_TRUE(reg.OpenKey(HistoryKeyPath("Files"), true));
        reg.WriteString("File0", Install.Folder() + "b.wav");
        reg.WriteString("File1", Install.Folder() + "c.wav");
        reg.WriteString("File2", Install.Folder() + "d.wav");
    }
    TPlayerProcess player;
    HWND playlist = nullptr;
    const HWND list = StartOnWavs(player, {"a.wav"}, 30, playlist);
    ASSERT_NE(list, nullptr);
    const HWND main = player.WaitForMainWindow();
    const auto plays = [](const char* caption) {
        return [caption](const std::vector<TRemoteRow>& rows) {
            return Captions(rows) == std::vector<std::string>{caption} && PlayingRows(rows) == std::vector<int>{0};
        };
    };
    ASSERT_TRUE(RowsBecome(list, plays("a.wav")));

    // The list reads a.wav, b.wav: its last entry is b.wav, which replaces the play list and plays.
    HWND menu = player.OpenMainMenu(main);
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(player.MenuKeys(menu, toReopen, 2)) << "\"Reopen\" opens its list";
    SaveScreenshot("main_menu_reopen.jpg");
    ASSERT_TRUE(player.MenuKeys(menu, {VK_END, VK_RETURN}, 0));
    std::vector<TRemoteRow> rows;
    EXPECT_TRUE(RowsBecome(list, plays("b.wav"), &rows)) << ::testing::PrintToString(Captions(rows));

    // The picked entry went first: now a.wav is the last of the two.
    menu = player.OpenMainMenu(main);
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(player.MenuKeys(menu, toReopen, 2));
    ASSERT_TRUE(player.MenuKeys(menu, {VK_END, VK_RETURN}, 0));
    EXPECT_TRUE(RowsBecome(list, plays("a.wav"), &rows)) << ::testing::PrintToString(Captions(rows));

    EXPECT_EQ(player.Close(), 0);
}
