// The real program takes snapshots through the overlay mixer's path: a double of the mixer,
// an in-process server registered in the prefix only while its test runs, stands where this
// platform has none. Snapshots list with thumbnails, save as JPEG and bitmap, delete; a
// bookmark gets the frame's thumbnail; a colour slider acts on the mixer's colour controls.
#include "tests/ui/PlayerHarness.h"
#include "tests/ui/RemoteControls.h"
#include "tests/ui/ScreenCapture.h"

#include "ui/SettingsModel.h"
#include "ui/SnapShot_UnitCore.h"

#include "engine/Thumbnails.h"
#include "framework/Registry.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

using namespace pvltest;

namespace {

const char* const kOverlayMixer = "@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}\\{CD8743A1-3736-11D0-9E69-00C04FD7C15B}";
const char* const kOverlayMixerKey = "\\CLSID\\{CD8743A1-3736-11D0-9E69-00C04FD7C15B}";
constexpr int kWidth = 160, kHeight = 120;
// The fixture's bars, left to right, as 0xRRGGBB.
constexpr uint32_t kBars[8] = {0xFFFFFF, 0xFFFF00, 0x00FFFF, 0x00FF00, 0xFF00FF, 0xFF0000, 0x0000FF, 0x000000};

std::string WindowsPath(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
}

// The mixer's double under the overlay mixer's class id in the prefix, for the life of the
// object; colour sets are logged to a file through the player's environment.
class TOverlayMixerRegistration {
public:
    explicit TOverlayMixerRegistration(const std::string& logFile)
    {
        TRegistry reg;
        reg.SetRootKey(HKEY_CLASSES_ROOT);
        FWasThere = reg.KeyExists(kOverlayMixerKey);
        if (FWasThere)
            return;
        FOwned = reg.OpenKey(std::string(kOverlayMixerKey) + "\\InprocServer32", true);
        if (FOwned) {
            reg.WriteString("", WindowsPath(PVL_OVERLAY_MIXER_DOUBLE));
            reg.WriteString("ThreadingModel", "Both");
        }
        SetEnvironmentVariableA("PVL_OVERLAY_MIXER_LOG", logFile.c_str());
    }
    ~TOverlayMixerRegistration()
    {
        SetEnvironmentVariableA("PVL_OVERLAY_MIXER_LOG", nullptr);
        if (!FOwned)
            return;
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kOverlayMixerKey + 1);
    }
    // False when the class was registered before: the test leaves it alone then.
    bool Registered() const { return FOwned && !FWasThere; }

private:
    bool FWasThere = false;
    bool FOwned = false;
};

// The fixture's frame as the player converts it: the AVI's first raw chunk, YUY2 160 x 120.
std::vector<uint32_t> FixtureFramePixels()
{
    const std::vector<uint8_t> avi = ReadAll(FixturePath("yuy2_bars.avi"));
    const uint32_t size = kWidth * kHeight * 2;
    for (size_t at = 0; at + 8 + size <= avi.size(); ++at) {
        if (std::memcmp(&avi[at], "00d", 3) != 0 || (avi[at + 3] != 'b' && avi[at + 3] != 'c'))
            continue;
        uint32_t chunk = 0;
        std::memcpy(&chunk, &avi[at + 4], 4);
        if (chunk != size)
            continue;
        VIDEOINFOHEADER info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = kHeight;
        const std::span<const uint8_t> format(reinterpret_cast<const uint8_t*>(&info), sizeof info);
        const std::span<const uint8_t> frame(&avi[at + 8], size);
        const std::optional<TYUY2Layout> layout = YUY2FrameLayout(true, format, frame);
        if (!layout)
            return {};
        std::vector<uint32_t> pixels(static_cast<size_t>(kWidth * kHeight));
        YUY2ToPixels(*layout, frame, pixels.data());
        return pixels;
    }
    return {};
}

bool Near(uint32_t got, uint32_t expected, int tolerance)
{
    for (int shift : {16, 8, 0})
        if (std::abs(static_cast<int>((got >> shift) & 0xFF) - static_cast<int>((expected >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

// True when some row of the picture shows the eight bars left to right, each at least
// `minRun` pixels wide: a thumbnail of the bars, wherever it was drawn.
bool ShowsBars(const std::vector<uint32_t>& pixels, const TRect& r, int minRun)
{
    for (int y = 0; y < r.Height(); ++y) {
        // Runs of pixels near one bar's colour; short runs are the blends between bars.
        std::vector<int> sequence;
        int current = -1, run = 0;
        const auto endRun = [&] {
            if (current >= 0 && run >= minRun && (sequence.empty() || sequence.back() != current))
                sequence.push_back(current);
        };
        for (int x = 0; x < r.Width(); ++x) {
            const uint32_t p = pixels[static_cast<size_t>(y * r.Width() + x)] & 0xFFFFFF;
            const auto bar = std::find_if(std::begin(kBars), std::end(kBars), [&](uint32_t c) { return Near(p, c, 24); });
            const int index = bar == std::end(kBars) ? -1 : static_cast<int>(bar - std::begin(kBars));
            if (index == current) {
                ++run;
                continue;
            }
            endRun();
            current = index;
            run = 1;
        }
        endRun();
        const std::vector<int> bars = {0, 1, 2, 3, 4, 5, 6, 7};
        if (std::search(sequence.begin(), sequence.end(), bars.begin(), bars.end()) != sequence.end())
            return true;
    }
    return false;
}

std::vector<HWND> ChildrenOfClass(HWND parent, const std::string& className)
{
    return Children(parent, [&](HWND wnd) { return SameText(WindowClass(wnd), className); });
}

// The transport row's buttons of the main window, left to right.
std::vector<HWND> TransportButtons(HWND main)
{
    std::vector<HWND> buttons;
    struct TVisit {
        static BOOL CALLBACK Child(HWND wnd, LPARAM data)
        {
            RECT r{};
            GetWindowRect(wnd, &r);
            if (r.right - r.left == 26 && r.bottom - r.top == 26)
                reinterpret_cast<std::vector<HWND>*>(data)->push_back(wnd);
            return TRUE;
        }
    };
    EnumChildWindows(main, TVisit::Child, reinterpret_cast<LPARAM>(&buttons));
    std::sort(buttons.begin(), buttons.end(), [](HWND a, HWND b) {
        RECT ra{}, rb{};
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.left < rb.left;
    });
    return buttons;
}
constexpr size_t kAddBookmarkButton = 8, kSnapShotButton = 9;

// A row's icon in screen coordinates.
TRect IconOnScreen(HWND list, int row)
{
    TRemoteMemory memory(list, sizeof(RECT));
    RECT r{LVIR_ICON, 0, 0, 0};
    memory.Write(&r, sizeof r);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory.At()),
                        SMTO_ABORTIFHUNG, 5000, &result);
    memory.Read(&r, sizeof r);
    POINT topLeft{r.left, r.top}, bottomRight{r.right, r.bottom};
    ClientToScreen(list, &topLeft);
    ClientToScreen(list, &bottomRight);
    // Only what the list shows of it.
    const TRect client = ClientOnScreen(list);
    return TRect(std::max<int>(topLeft.x, client.left), std::max<int>(topLeft.y, client.top),
                 std::min<int>(bottomRight.x, client.right), std::min<int>(bottomRight.y, client.bottom));
}

bool RowShowsBars(HWND list, int row, const std::string& name)
{
    const TRect icon = IconOnScreen(list, row);
    if (icon.Width() <= 0 || icon.Height() <= 0)
        return false;
    const std::vector<uint32_t> pixels = CaptureScreen(icon);
    SaveJpeg(pixels, icon, name);
    return ShowsBars(pixels, icon, 6);
}

// A popup menu's item chosen by keys from its end.
bool ChooseFromEnd(HWND menu, int upPresses)
{
    if (!menu)
        return false;
    for (int i = 0; i < upPresses; ++i)
        PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    return PumpUntil([&] { return !IsWindowVisible(menu); }, 5000);
}

// The player's save dialog answered with a file name.
bool AnswerSaveDialog(const TPlayerProcess& player, const std::string& fileName)
{
    const HWND dialog = player.WaitForWindow("#32770", {}, 10000);
    if (!dialog)
        return false;
    HWND edit = nullptr;
    PumpUntil(
        [&] {
            for (const HWND child : ChildrenOfClass(dialog, "Edit"))
                if (GetDlgCtrlID(child) == 0x480 || GetDlgCtrlID(GetParent(child)) == 0x47C)
                    edit = child;
            return edit != nullptr;
        },
        5000);
    if (!edit)
        return false;
    // The file name's box of newer templates holds the edit; both carry the name.
    if (const HWND box = GetDlgItem(dialog, 0x47C))
        SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fileName.c_str()));
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fileName.c_str()));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    return PumpUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 10000);
}

std::vector<uint8_t> WaitForFile(const std::string& fileName)
{
    std::vector<uint8_t> bytes;
    PumpUntil(
        [&] {
            bytes = ReadAll(fileName);
            return bytes.size() > 54;
        },
        10000);
    return bytes;
}

// A colour slider of the main window's colour page: the track bar beside its caption.
HWND ColourSlider(HWND main, const std::string& caption)
{
    HWND slider = nullptr;
    for (const HWND label : ChildrenOfClass(main, "Static")) {
        if (WindowText(label) != caption)
            continue;
        RECT c{};
        GetWindowRect(label, &c);
        for (const HWND bar : ChildrenOfClass(GetParent(label), "msctls_trackbar32")) {
            RECT b{};
            GetWindowRect(bar, &b);
            if (std::abs(b.top - c.top) <= 4 && b.left > c.left)
                slider = bar;
        }
    }
    return slider;
}

// Moves a slider as the user's drag ends there.
void MoveSlider(HWND slider, int position)
{
    SendMessageA(slider, TBM_SETPOS, TRUE, position);
    PostMessageA(GetParent(slider), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), reinterpret_cast<LPARAM>(slider));
}

bool ShowsText(HWND main, const std::string& text)
{
    const std::vector<std::string> texts = ChildTexts(main);
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

int ReadSetting(const std::string& section, const std::string& name)
{
    TRegistry reg(KEY_READ);
    if (!reg.OpenKeyReadOnly(SettingsKeyPath(section)) || !reg.ValueExists(name))
        return -12345;
    return reg.ReadInteger(name);
}

class PlayerSnapshots : public ::testing::Test {
protected:
    void SetUp() override
    {
        Install.MarkNotFirstRun();
        ASSERT_NO_FATAL_FAILURE(Install.StartFromTheBeginning());
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(SettingsKeyPath("Advanced Video"), true));
        reg.WriteString("PerferedVideoRender0", kOverlayMixer);
        reg.WriteString("PerferedVideoRender1", kVideoRenderer);
    }

    TPlayerInstall Install;
};

}  // namespace

TEST_F(PlayerSnapshots, OverlayPathTakesSnapshotsThumbnailsAndColourControls)
{
    const std::string log = Install.Folder() + "colour.log";
    TOverlayMixerRegistration mixer(log);
    ASSERT_TRUE(mixer.Registered()) << "the overlay mixer's class was already registered";
    const std::vector<uint32_t> expected = FixtureFramePixels();
    ASSERT_EQ(expected.size(), static_cast<size_t>(kWidth * kHeight)) << "the fixture's raw frame";

    const std::string clip = Install.Media("yuy2_bars.avi", "bars.avi");
    TPlayerProcess player;
    player.Start("\"" + clip + "\"");
    const HWND main = player.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    const HWND video = player.WaitForWindow("TPvlForm", kVideoCaption, 20000);
    ASSERT_NE(video, nullptr) << SaveScreenshot("snapshots_no_video.jpg");
    const std::vector<HWND> buttons = TransportButtons(main);
    ASSERT_GT(buttons.size(), kSnapShotButton);
    const HWND snapShot = buttons[kSnapShotButton];
    ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(snapShot) != FALSE; }, 10000))
        << "the snapshot button is enabled: the grabber is in front of the mixer";
    PumpUntil([] { return false; }, 1000);  // frames have passed the grabber

    Click(snapShot, 13, 13);
    Click(snapShot, 13, 13);

    // The video window's popup: View, Snapshot Browser.
    const HWND menu = player.OpenVideoMenu(video);
    ASSERT_NE(menu, nullptr);
    PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RIGHT, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    const HWND snapshots = player.WaitForWindow("TPvlForm", "Snapshot's", 10000);
    ASSERT_NE(snapshots, nullptr) << "the video popup's Snapshot Browser shows the window; " << SaveScreenshot("snapshots_no_window.jpg");
    const std::vector<HWND> lists = ChildrenOfClass(snapshots, "SysListView32");
    ASSERT_EQ(lists.size(), 1u);
    const HWND list = lists.front();
    std::vector<TRemoteRow> rows;
    ASSERT_TRUE(PumpUntil(
        [&] {
            rows = ListViewRows(list);
            return rows.size() >= 2;
        },
        10000));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Caption, "Snapshot 1");
    EXPECT_EQ(rows[1].Caption, "Snapshot 2");
    PumpUntil([] { return false; }, 500);  // painted
    for (int row = 0; row < 2; ++row) {
        EXPECT_GE(rows[static_cast<size_t>(row)].Image, 0) << "row " << row;
        EXPECT_TRUE(RowShowsBars(list, row, "snapshot_row" + std::to_string(row + 1) + ".jpg")) << "row " << row << " thumbnail";
    }
    SaveScreenshot("snapshots_window.jpg");

    // Save As, by the name's extension.
    const auto saveFirstRow = [&](const std::string& fileName) {
        ListViewSelect(list, {0});
        const TRect client = ClientOnScreen(list);
        PostMessageA(snapshots, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(client.left + 20, client.top + 20));
        return ChooseFromEnd(player.WaitForPopupMenu(), 2) && AnswerSaveDialog(player, fileName);
    };
    const std::string jpeg = Install.Folder() + "a.JPEG";
    ASSERT_TRUE(saveFirstRow(jpeg));
    std::vector<uint8_t> bytes = WaitForFile(jpeg);
    ASSERT_GT(bytes.size(), 3u) << jpeg;
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xD8);
    EXPECT_EQ(bytes[2], 0xFF);
    TThumbnail picture;
    ASSERT_TRUE(DecodeJpeg(bytes, picture));
    ASSERT_EQ(picture.Width, kWidth);
    ASSERT_EQ(picture.Height, kHeight);
    for (int bar = 0; bar < 8; ++bar)
        for (int y : {2, 60, 117}) {
            const size_t at = static_cast<size_t>(y * kWidth + bar * 20 + 10);
            EXPECT_TRUE(Near(picture.Pixels[at], expected[at], 12))
                << Format("JPEG bar %d row %d: %06X, expected %06X", bar, y, picture.Pixels[at] & 0xFFFFFF, expected[at] & 0xFFFFFF);
        }

    const std::string bitmap = Install.Folder() + "b.bmp";
    ASSERT_TRUE(saveFirstRow(bitmap));
    bytes = WaitForFile(bitmap);
    ASSERT_GT(bytes.size(), 2u) << bitmap;
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    ASSERT_TRUE(DecodeBmp(bytes, picture));
    ASSERT_EQ(picture.Width, kWidth);
    ASSERT_EQ(picture.Height, kHeight);
    size_t differing = 0;
    for (size_t i = 0; i < expected.size(); ++i)
        differing += (picture.Pixels[i] & 0xFFFFFF) != (expected[i] & 0xFFFFFF);
    EXPECT_EQ(differing, 0u) << "the bitmap holds the converted frame exactly";

    // Delete removes the selected row.
    ListViewSelect(list, {0});
    const TRect client = ClientOnScreen(list);
    PostMessageA(snapshots, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(client.left + 20, client.top + 20));
    ASSERT_TRUE(ChooseFromEnd(player.WaitForPopupMenu(), 1));
    EXPECT_TRUE(PumpUntil([&] { return ListViewRows(list).size() == 1; }, 5000));
    rows = ListViewRows(list);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Caption, "Snapshot 2");

    // A bookmark gets the frame's thumbnail; its page is stepped to with the extras' arrows.
    Click(buttons[kAddBookmarkButton], 13, 13);
    const std::vector<HWND> bookmarkLists = ChildrenOfClass(main, "SysListView32");
    ASSERT_EQ(bookmarkLists.size(), 1u);
    const HWND bookmarks = bookmarkLists.front();
    ASSERT_TRUE(PumpUntil([&] { return ListViewRows(bookmarks).size() == 1; }, 5000));
    EXPECT_GE(ListViewRows(bookmarks)[0].Image, 0) << "the bookmark has a thumbnail";
    const std::vector<HWND> arrows = ChildrenOfClass(main, "msctls_updown32");
    ASSERT_EQ(arrows.size(), 1u);
    for (int step = 0; step < 8 && !IsWindowVisible(bookmarks); ++step) {
        RECT r{};
        GetClientRect(arrows.front(), &r);
        Click(arrows.front(), r.right * 3 / 4, r.bottom / 2);
        PumpUntil([] { return false; }, 300);
    }
    ASSERT_TRUE(IsWindowVisible(bookmarks)) << "the bookmark page shows; " << SaveScreenshot("bookmarks_hidden.jpg");
    PumpUntil([] { return false; }, 500);
    EXPECT_TRUE(RowShowsBars(bookmarks, 0, "bookmark_row1.jpg")) << "the bookmark's thumbnail shows the bars";

    // The brightness slider acts on the mixer's controls.
    const HWND slider = ColourSlider(main, "Brightness");
    ASSERT_NE(slider, nullptr) << "the brightness slider";
    EXPECT_EQ(SendMessageA(slider, TBM_GETRANGEMIN, 0, 0), -100);
    MoveSlider(slider, 50);
    EXPECT_TRUE(PumpUntil([&] { return ShowsText(main, "Using Video Renderer ColorControls"); }, 5000));
    // The mixer was given the slider's value on the overlay's scale: 750 + (10000 - 750) / 2.
    const std::vector<uint8_t> sets = ReadAll(log);
    EXPECT_EQ(std::string(sets.begin(), sets.end()), "flags=1 brightness=5375 contrast=0 hue=0 saturation=0\n");
    SaveScreenshot("snapshots_colour.jpg");

    EXPECT_EQ(player.Close(), 0);
}

TEST_F(PlayerSnapshots, DefaultOrderGivesNoFrameAndTheDecoderLabelAndTheDefaultButtonResets)
{
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(SettingsKeyPath("Advanced Video"), true));
        reg.WriteString("PerferedVideoRender0", kVideoRenderer);  // where the default order ends here
        reg.DeleteValue("PerferedVideoRender1");
    }
    // This Wine's default order ends on the plain Video Renderer, which takes no YUY2: a
    // compressed clip it plays.
    const std::string clip = Install.Media("clip_8s.avi", "clip.avi");
    {
        TPlayerProcess player;
        player.Start("\"" + clip + "\"");
        const HWND main = player.WaitForMainWindow();
        ASSERT_NE(main, nullptr) << SaveScreenshot("snapshots_first_start.jpg") << [&] {
            std::string t;
            for (const HWND w : player.Windows())
                t += "[" + WindowClass(w) + " \"" + WindowText(w) + "\"" + (IsWindowVisible(w) ? " visible" : "") + "] ";
            return t;
        }();
        const HWND video = player.WaitForWindow("TPvlForm", kVideoCaption, 20000);
        ASSERT_NE(video, nullptr);
        const std::vector<HWND> buttons = TransportButtons(main);
        ASSERT_GT(buttons.size(), kSnapShotButton);
        PumpUntil([] { return false; }, 1500);  // frames have been shown
        Click(buttons[kSnapShotButton], 13, 13);
        Click(buttons[kAddBookmarkButton], 13, 13);
        const std::vector<HWND> bookmarkLists = ChildrenOfClass(main, "SysListView32");
        ASSERT_EQ(bookmarkLists.size(), 1u);
        ASSERT_TRUE(PumpUntil([&] { return ListViewRows(bookmarkLists.front()).size() == 1; }, 5000));
        EXPECT_LT(ListViewRows(bookmarkLists.front())[0].Image, 0) << "the bookmark has no thumbnail";

        const HWND menu = player.OpenVideoMenu(video);
        ASSERT_NE(menu, nullptr);
        ASSERT_TRUE(player.MenuKeys(menu, {VK_UP, VK_UP, VK_RIGHT, VK_RETURN}, 0));
        const HWND snapshots = player.WaitForWindow("TPvlForm", "Snapshot's", 10000);
        ASSERT_NE(snapshots, nullptr);
        const std::vector<HWND> lists = ChildrenOfClass(snapshots, "SysListView32");
        ASSERT_FALSE(lists.empty());
        EXPECT_TRUE(ListViewRows(lists.front()).empty()) << "the snapshot click added no row";

        const HWND slider = ColourSlider(main, "Brightness");
        ASSERT_NE(slider, nullptr);
        MoveSlider(slider, 50);
        EXPECT_TRUE(PumpUntil([&] { return ShowsText(main, "Using Decoder ColorControls"); }, 5000));
        SaveScreenshot("snapshots_default_order.jpg");
        EXPECT_EQ(player.Close(), 0);
    }
    EXPECT_EQ(ReadSetting("Extras Color Controls", "Brightness"), 50);
    EXPECT_EQ(ReadSetting("Video", "ColorBrightness"), 50);

    // The next start shows the stored value; the default button returns all four to 0.
    for (const auto& [name, value] : {std::pair{"Hue", -30}, {"Saturation", 20}, {"Contrast", 70}}) {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(SettingsKeyPath("Extras Color Controls"), true));
        reg.WriteInteger(name, value);
    }
    TPlayerProcess player;
    player.Start("\"" + clip + "\"");
    const HWND main = player.WaitForMainWindow();
    ASSERT_NE(main, nullptr) << SaveScreenshot("snapshots_second_start.jpg");
    const HWND brightness = ColourSlider(main, "Brightness");
    ASSERT_NE(brightness, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return SendMessageA(brightness, TBM_GETPOS, 0, 0) == 50; }, 5000));
    const HWND page = GetParent(brightness);
    // The default button: the page's 48 x 17 picture button.
    const std::vector<HWND> faces = Children(page, [](HWND wnd) {
        RECT r{};
        GetClientRect(wnd, &r);
        return r.right == 48 && r.bottom == 17;
    });
    const HWND defaultButton = faces.size() == 1 ? faces.front() : nullptr;
    ASSERT_NE(defaultButton, nullptr);
    Click(defaultButton, 24, 8);
    EXPECT_TRUE(PumpUntil(
        [&] {
            for (const char* name : {"Hue", "Brightness", "Saturation", "Contrast"})
                if (SendMessageA(ColourSlider(main, name), TBM_GETPOS, 0, 0) != 0)
                    return false;
            return true;
        },
        5000))
        << "every colour slider back at 0";
    EXPECT_EQ(player.Close(), 0);
}
