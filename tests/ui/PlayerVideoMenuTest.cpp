// The real program's video window under real keys: its popup's Subtitles submenu beside it,
// "Stay On Top" after the selection fade, Alt+Enter into and out of full screen, and "Exit"
// by its accelerator; the popup answers accessibility clients in another process.
#include "tests/menus/SpiSetting.h"
#include "tests/ui/PlayerHarness.h"
#include "tests/ui/RemoteControls.h"
#include "tests/ui/ScreenCapture.h"

#include <gtest/gtest.h>
#include <oleacc.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

using namespace pvltest;

namespace {

// Presses the keys in order and releases them in reverse, as one chord.
void PressKeys(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> inputs;
    for (const WORD key : keys) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        inputs.push_back(in);
    }
    for (auto key = keys.end(); key != keys.begin();) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = *--key;
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Presses one key the times given.
void PressKey(WORD key, int times = 1)
{
    for (int i = 0; i < times; ++i)
        PressKeys({key});
}

TRect WindowBounds(HWND wnd)
{
    RECT r{};
    GetWindowRect(wnd, &r);
    return TRect(r);
}

bool TopMost(HWND wnd) { return (GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// The screen under a window once it has stopped changing (three equal looks in a row).
std::vector<uint32_t> SettledPicture(HWND wnd)
{
    std::vector<uint32_t> last;
    int same = 0;
    PumpUntil(
        [&] {
            std::vector<uint32_t> now = CaptureScreen(WindowBounds(wnd));
            same = now == last ? same + 1 : 0;
            last = std::move(now);
            return same >= 2;
        },
        5000);
    PumpUntil([] { return false; }, 100);
    return last;
}

// Presses the key the times given in an open menu, each once the menu has moved its selection
// for the one before, so that no press is lost or taken for another.
bool StepSelection(HWND menu, WORD key, int times)
{
    for (int i = 0; i < times; ++i) {
        const uintptr_t before = MenuSelectedItem(menu);
        PressKey(key);
        if (!PumpUntil([&] { return MenuSelectedItem(menu) != before; }, 5000))
            return false;
    }
    return true;
}

// The commonest colour inside each row (its edges left out) of a picture of a menu window.
std::vector<uint32_t> RowColours(const std::vector<uint32_t>& picture, const TRect& bounds, const std::vector<RECT>& rows)
{
    constexpr int kEdge = 2;
    std::vector<uint32_t> colours;
    for (const RECT& r : rows) {
        std::map<uint32_t, int> counts;
        for (int y = std::max<int>(r.top + kEdge, bounds.top); y < std::min<int>(r.bottom - kEdge, bounds.bottom); ++y)
            for (int x = std::max<int>(r.left + kEdge, bounds.left); x < std::min<int>(r.right - kEdge, bounds.right); ++x) {
                const size_t at = static_cast<size_t>((y - bounds.top) * bounds.Width() + (x - bounds.left));
                if (at < picture.size())
                    ++counts[picture[at] & 0xFFFFFF];
            }
        const auto commonest = std::max_element(counts.begin(), counts.end(),
                                                [](const auto& a, const auto& b) { return a.second < b.second; });
        colours.push_back(commonest == counts.end() ? 0 : commonest->first);
    }
    return colours;
}

// The selected row, judged from one picture of a menu window without a baseline: the only row
// whose colour is not the one all the others share; -1 when the picture shows no such row
// (nothing selected, or not painted yet).
int HighlightedRow(const std::vector<uint32_t>& colours)
{
    for (const uint32_t background : colours) {
        int other = -1, others = 0;
        for (size_t i = 0; i < colours.size(); ++i)
            if (colours[i] != background) {
                other = static_cast<int>(i);
                ++others;
            }
        if (others == 1)
            return other;
    }
    return -1;
}

std::string Describe(const std::vector<uint32_t>& colours)
{
    std::string text;
    char colour[16];
    for (const uint32_t c : colours) {
        snprintf(colour, sizeof colour, " %06X", static_cast<unsigned>(c));
        text += colour;
    }
    return "row colours:" + text;
}

// A shown layered window of the player: the selection fade's copy of the row.
bool FadeShows(const TPlayerProcess& player)
{
    for (const HWND wnd : player.Windows())
        if (IsWindowVisible(wnd) && (GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_LAYERED))
            return true;
    return false;
}

class VideoWindowKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(Install.ChoosePlainVideoRenderer());
        ASSERT_NO_FATAL_FAILURE(Install.StartFromTheBeginning());
        // The pointer away from where the menus open, so that it selects nothing by hovering.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
    }

    // The player playing a clip long enough for the test, its video window in front with the
    // keyboard; none when it does not come.
    HWND StartPlaying()
    {
        Player.Start("\"" + Install.Media("clip_16s.avi", "keys clip.avi") + "\"");
        const HWND video = Player.WaitForWindow("TPvlForm", kVideoCaption, 20000);
        if (!video)
            return nullptr;
        if (!PumpUntil([&] { return VideoTimeText(video) >= "00:00:01"; }, 10000))
            ADD_FAILURE() << "the clip does not play";
        SetForegroundWindow(video);
        if (!PumpUntil([&] { return GetForegroundWindow() == video; }, 5000))
            ADD_FAILURE() << "the video window does not come to the front";
        return video;
    }

    // The video popup opened near the window's top left (room for a submenu on its right).
    HWND OpenMenu(HWND video)
    {
        const TRect bounds = WindowBounds(video);
        PostMessageA(video, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(video), MAKELPARAM(bounds.left + 40, bounds.top + 30));
        return Player.WaitForPopupMenu();
    }

    TPlayerInstall Install;
    TPlayerProcess Player;
};

// Rows from the top, playing: "Play/Pause", "Stop", "Previous", "Next", a separator, then
// "Subtitles" ("Audio Tracks" hides with one track), five Down presses from none; from the
// bottom: "Exit", "View", "Settings", "Stay On Top".
constexpr int kSubtitlesRow = 5;
constexpr int kDownToSubtitles = 5;
constexpr int kUpToStayOnTop = 4;
// "Show Subtitles", "Hide Subtitles", a separator and "[NONE AVALIBLE]" for a clip without any.
constexpr size_t kSubtitlesSubmenuRows = 4;
}

TEST_F(VideoWindowKeys, SubtitlesSubmenuOpensBesideItsRowOverlappingTheParentsEdge)
{
    const HWND video = StartPlaying();
    ASSERT_NE(video, nullptr);
    const HWND menu = OpenMenu(video);
    ASSERT_NE(menu, nullptr) << "the video popup shows";
    EXPECT_EQ(MenuSelectedItem(menu), 0u) << "it opens with nothing selected";
    const TRect parent = WindowBounds(menu);
    const std::vector<RECT> rows = MenuRows(menu);
    ASSERT_GT(rows.size(), static_cast<size_t>(kSubtitlesRow));

    // The selected row, from pictures taken before the submenu and its shadow lie over the
    // parent's right edge: each one judged by itself, until one shows the last press painted.
    ASSERT_TRUE(StepSelection(menu, VK_DOWN, kDownToSubtitles)) << "each Down moves the selection";
    std::vector<uint32_t> colours;
    EXPECT_TRUE(PumpUntil(
        [&] {
            colours = RowColours(CaptureScreen(parent), parent, rows);
            return HighlightedRow(colours) == kSubtitlesRow;
        },
        5000))
        << "only \"Subtitles\" is selected; " << Describe(colours);

    PressKey(VK_RIGHT);
    const HWND submenu = Player.WaitForSubmenu(menu);
    ASSERT_NE(submenu, nullptr) << "Right opens the submenu of \"Subtitles\"";
    const std::vector<RECT> childRows = MenuRows(submenu);
    ASSERT_EQ(childRows.size(), kSubtitlesSubmenuRows) << "the submenu of \"Subtitles\"";
    const TRect child = WindowBounds(submenu);
    SaveScreenshot("player_video_subtitles_submenu.jpg");

    EXPECT_EQ(child.left, parent.right - 5) << "over the parent's right edge";
    EXPECT_EQ(childRows[0].top, rows[kSubtitlesRow].top) << "its first row level with \"Subtitles\"";
    EXPECT_EQ(childRows[0].bottom, rows[kSubtitlesRow].bottom);

    PressKey(VK_ESCAPE);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(submenu) && IsWindowVisible(menu); }, 5000)) << "Esc closes the submenu only";
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(menu); }, 5000));
    EXPECT_EQ(Player.Close(), 0);
}

namespace {

std::string AccName(IAccessible* object, LONG child)
{
    VARIANT id;
    id.vt = VT_I4;
    id.lVal = child;
    BSTR text = nullptr;
    if (FAILED(object->get_accName(id, &text)) || !text)
        return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, out.data(), n, nullptr, nullptr);
    SysFreeString(text);
    return out;
}

// Child `id` of an object as an object of its own; none when it has none.
Microsoft::WRL::ComPtr<IAccessible> AccChild(IAccessible* object, LONG id)
{
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = id;
    Microsoft::WRL::ComPtr<IDispatch> dispatch;
    Microsoft::WRL::ComPtr<IAccessible> child;
    if (SUCCEEDED(object->get_accChild(v, dispatch.GetAddressOf())) && dispatch)
        dispatch.As(&child);
    return child;
}

}  // namespace

TEST_F(VideoWindowKeys, ThePopupAnswersAccessibilityClientsFromAnotherProcess)
{
    TComInit com;
    const HWND video = StartPlaying();
    ASSERT_NE(video, nullptr);
    const HWND menu = OpenMenu(video);
    ASSERT_NE(menu, nullptr) << "the video popup shows";

    Microsoft::WRL::ComPtr<IAccessible> popup;
    ASSERT_EQ(AccessibleObjectFromWindow(menu, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                         reinterpret_cast<void**>(popup.GetAddressOf())),
              S_OK);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(AccName(popup.Get(), CHILDID_SELF), "Menu");
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role;
    EXPECT_EQ(popup->get_accRole(self, &role), S_OK);
    EXPECT_EQ(role.vt == VT_I4 ? role.lVal : -1, ROLE_SYSTEM_WINDOW);
    // Its rows and one more: the first row is "Play/Pause", the last "Exit", past it nothing.
    LONG count = 0;
    EXPECT_EQ(popup->get_accChildCount(&count), S_OK);
    ASSERT_GT(count, 2);
    const auto first = AccChild(popup.Get(), 1), last = AccChild(popup.Get(), count - 1);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(AccName(first.Get(), CHILDID_SELF), "Play/Pause");
    EXPECT_EQ(AccName(last.Get(), CHILDID_SELF), "Exit");
    EXPECT_EQ(AccChild(popup.Get(), count), nullptr);

    PressKey(VK_ESCAPE);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(menu); }, 5000));
    EXPECT_EQ(Player.Close(), 0);
}

TEST_F(VideoWindowKeys, StayOnTopFlipsTheTopmostStyleAfterTheSelectionFade)
{
    const TSpiSetting fade(SPI_GETSELECTIONFADE, SPI_SETSELECTIONFADE, true);
    const HWND video = StartPlaying();
    ASSERT_NE(video, nullptr);
    for (const bool expected : {true, false}) {
        ASSERT_EQ(TopMost(video), !expected);
        const HWND menu = OpenMenu(video);
        ASSERT_NE(menu, nullptr);
        SettledPicture(menu);
        ASSERT_TRUE(StepSelection(menu, VK_UP, kUpToStayOnTop)) << "each Up moves the selection";
        PressKey(VK_RETURN);
        bool fadeFirst = false;
        EXPECT_TRUE(PumpUntil(
            [&] {
                const bool flipped = TopMost(video) == expected;
                fadeFirst = fadeFirst || (!flipped && FadeShows(Player));
                return flipped;
            },
            10000))
            << "\"Stay On Top\" makes the window " << (expected ? "topmost" : "not topmost");
        EXPECT_TRUE(fadeFirst) << "the row fades out before the command";
        EXPECT_FALSE(IsWindowVisible(menu));
        // It stays so.
        PumpUntil([] { return false; }, 500);
        EXPECT_EQ(TopMost(video), expected);
    }
    EXPECT_EQ(Player.Close(), 0);
}

TEST_F(VideoWindowKeys, AltEnterTogglesFullScreenBothWaysAndEscLeavesIt)
{
    const HWND video = StartPlaying();
    ASSERT_NE(video, nullptr);
    const TRect windowed = WindowBounds(video);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(video, MONITOR_DEFAULTTONEAREST), &monitor);
    const TRect screen(monitor.rcMonitor);
    const auto fullScreen = [&] { return WindowBounds(video) == screen && TopMost(video); };
    const auto windowedAgain = [&] { return WindowBounds(video) == windowed && !TopMost(video); };

    PressKeys({VK_MENU, VK_RETURN});
    ASSERT_TRUE(PumpUntil(fullScreen, 5000)) << "Alt+Enter enters full screen";
    SaveScreenshot("player_video_full_screen.jpg");
    PressKeys({VK_MENU, VK_RETURN});
    EXPECT_TRUE(PumpUntil(windowedAgain, 5000)) << "Alt+Enter leaves it again";

    PressKeys({VK_MENU, VK_RETURN});
    ASSERT_TRUE(PumpUntil(fullScreen, 5000)) << "and enters it once more";
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(PumpUntil(windowedAgain, 5000)) << "Esc leaves it";
    EXPECT_EQ(Player.Close(), 0);
}

// The player ends here; the last of its suite.
TEST_F(VideoWindowKeys, ZZ_ExitByItsAcceleratorInThePopupEndsThePlayer)
{
    const HWND video = StartPlaying();
    ASSERT_NE(video, nullptr);
    const HWND menu = OpenMenu(video);
    ASSERT_NE(menu, nullptr);
    SettledPicture(menu);
    PressKey('E');
    EXPECT_EQ(Player.WaitExit(20000), 0) << "\"E\" runs \"Exit\"";
}
