// The real program's face: the display in each colour theme, the time, progress, title and
// state of a playing file, the spectrum of a sweeping tone in every visual mode, and the
// on-screen display over a playing video. Screenshots are kept beside the test program.
#include "tests/ui/PlayerHarness.h"
#include "tests/ui/ScreenCapture.h"

#include "ui/DisplayPanelCore.h"
#include "ui/SettingsModel.h"

#include "framework/Registry.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pvltest;

namespace {
constexpr WPARAM kSpace = 32, kMediaStop = 178;
constexpr int kPanelWidth = 385;

struct TRGB {
    int R, G, B;
};
TRGB RGBOf(uint32_t pixel)
{
    return {static_cast<int>(pixel >> 16 & 0xFF), static_cast<int>(pixel >> 8 & 0xFF), static_cast<int>(pixel & 0xFF)};
}
TRGB BackOf(uint32_t colorRef)
{
    return {static_cast<int>(colorRef & 0xFF), static_cast<int>(colorRef >> 8 & 0xFF), static_cast<int>(colorRef >> 16 & 0xFF)};
}
// Within 2 in every channel: the screen may dither nothing, but blends round.
bool Near(const TRGB& a, const TRGB& b)
{
    return std::abs(a.R - b.R) <= 2 && std::abs(a.G - b.G) <= 2 && std::abs(a.B - b.B) <= 2;
}
std::string Text(const TRGB& c)
{
    return Format("(%d,%d,%d)", c.R, c.G, c.B);
}

struct TChildSearch {
    std::string Class;
    HWND Found = nullptr;
};
BOOL CALLBACK FindClass(HWND child, LPARAM search)
{
    auto* s = reinterpret_cast<TChildSearch*>(search);
    if (WindowClass(child) == s->Class) {
        s->Found = child;
        return FALSE;
    }
    return TRUE;
}

// The display's panel: the main window's child of the display's size, below the caption strip.
struct TPanelSearch {
    HWND Main;
    HWND Found = nullptr;
};
BOOL CALLBACK FindPanel(HWND child, LPARAM search)
{
    auto* s = reinterpret_cast<TPanelSearch*>(search);
    RECT r{};
    GetWindowRect(child, &r);
    if (GetParent(child) == s->Main && r.right - r.left == kPanelWidth && r.bottom - r.top == kDisplayLayout.PanelHeight) {
        s->Found = child;
        return FALSE;
    }
    return TRUE;
}
HWND DisplayPanelOf(HWND main)
{
    TPanelSearch search{main};
    EnumChildWindows(main, FindPanel, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

class PlayerDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(Install.ChoosePlainVideoRenderer());
        // The tests play one clip again and again.
        ASSERT_NO_FATAL_FAILURE(Install.StartFromTheBeginning());
    }
    void SetInterface(const char* name, int value)
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(SettingsKeyPath("Interface"), true));
        reg.WriteInteger(name, value);
    }
    // Starts the player and puts its main window in the top-left corner, above the rest.
    HWND StartPlayer(const std::string& arguments = {})
    {
        Player.Start(arguments);
        Main = Player.WaitForMainWindow();
        if (Main) {
            PumpUntil([&] { return IsWindowVisible(Main) != 0; }, 10000);
            SetWindowPos(Main, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
            PumpUntil([] { return false; }, 500);
            Panel = DisplayPanelOf(Main);
        }
        return Main;
    }
    // A box of the display on the screen.
    TRect Box(const TRect& client) const
    {
        POINT corner{client.left, client.top};
        ClientToScreen(Panel, &corner);
        return TRect(corner.x, corner.y, corner.x + client.Width(), corner.y + client.Height());
    }
    TRGB ScreenPixel(const TRect& client, int x, int y) const
    {
        const TRect box = Box(client);
        return RGBOf(CaptureScreen(TRect(box.left + x, box.top + y, box.left + x + 1, box.top + y + 1)).at(0));
    }
    std::vector<uint32_t> Capture(const TRect& client) const { return CaptureScreen(Box(client)); }
    // The child window under a point of a box.
    HWND BoxWindow(const TRect& client) const
    {
        const TRect box = Box(client);
        return WindowFromPoint(POINT{box.left + 1, box.top + 1});
    }
    void ClickBox(const TRect& client, int x, int y) const
    {
        const HWND box = BoxWindow(client);
        PostMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PostMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    void Wait(DWORD ms) const { PumpUntil([] { return false; }, ms); }
    // The video window, shown or not (it stays hidden for sound alone).
    HWND VideoWindow() const
    {
        HWND found = nullptr;
        PumpUntil([&] {
            for (const HWND wnd : Player.Windows())
                if (WindowClass(wnd) == "TPvlForm" && WindowText(wnd) == kVideoCaption)
                    found = wnd;
            return found != nullptr;
        }, 20000);
        return found;
    }

    TPlayerInstall Install;
    TPlayerProcess Player;
    HWND Main = nullptr;
    HWND Panel = nullptr;
};

size_t DifferentPixels(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
    size_t n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        n += (a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF);
    return n;
}
size_t PixelsOtherThan(const std::vector<uint32_t>& pixels, const TRGB& back)
{
    size_t n = 0;
    for (uint32_t p : pixels)
        n += !Near(RGBOf(p), back);
    return n;
}
}

TEST_F(PlayerDisplay, EachThemeColoursTheDisplayBeforeStart)
{
    const TDisplayLayout& l = kDisplayLayout;
    for (int theme = 0; theme < kDisplayThemeCount; ++theme) {
        SetInterface("DisplayColor", theme);
        ASSERT_NE(StartPlayer(), nullptr);
        const TRect client = ClientOnScreen(Main);
        SaveJpeg(CaptureScreen(client), client, "display_theme_" + std::to_string(theme) + ".jpg");
        const TRGB back = BackOf(DisplayThemeColors(theme)->Back);
        const std::string name = "theme " + std::to_string(theme);
        EXPECT_TRUE(Near(ScreenPixel(l.Status, 20, 6), back)) << name << " status " << Text(ScreenPixel(l.Status, 20, 6));
        EXPECT_TRUE(Near(ScreenPixel(l.Time, 6, 8), back)) << name << " sign " << Text(ScreenPixel(l.Time, 6, 8));
        const TRGB empty{back.R * 220 / 255, back.G * 220 / 255, back.B * 220 / 255};
        EXPECT_TRUE(Near(ScreenPixel(l.Progress, 100, 3), empty)) << name << " progress " << Text(ScreenPixel(l.Progress, 100, 3));
        if (theme == 0) {
            EXPECT_TRUE(Near(empty, TRGB{57, 106, 161}));
        }
        EXPECT_EQ(Player.Close(), 0);
    }
}

TEST_F(PlayerDisplay, PlayingFileShowsTimeProgressTitleAndState)
{
    const TDisplayLayout& l = kDisplayLayout;
    const std::string sweep = Install.Media("sweep_10s.wav", "sweep.wav");
    ASSERT_NE(StartPlayer("\"" + sweep + "\""), nullptr);
    const HWND video = VideoWindow();
    ASSERT_NE(video, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return VideoTimeText(video) >= "00:00:01"; }, 15000)) << VideoTimeText(video);

    // The seconds change.
    const std::vector<uint32_t> first = Capture(l.Time);
    Wait(1400);
    EXPECT_GT(DifferentPixels(first, Capture(l.Time)), 10u);
    const std::vector<uint32_t> playing = Capture(l.State);

    // The title box shows the title (white text on the theme).
    const TRGB back = BackOf(0xBB7B42);
    EXPECT_GT(PixelsOtherThan(Capture(l.Title), back), 30u);

    // A click on the time shows the minus cell.
    EXPECT_TRUE(Near(ScreenPixel(l.Time, 6, 8), back));
    ClickBox(l.Time, 50, 8);
    EXPECT_TRUE(PumpUntil([&] { return !Near(ScreenPixel(l.Time, 6, 8), back); }, 3000)) << "the minus shows";
    ClickBox(l.Time, 50, 8);

    // The played part grows in white at 130 from the left.
    EXPECT_TRUE(PumpUntil([&] { return Near(ScreenPixel(l.Progress, 3, 3), TRGB{157, 181, 208}); }, 3000))
        << Text(ScreenPixel(l.Progress, 3, 3));
    EXPECT_TRUE(Near(ScreenPixel(l.Progress, l.Progress.Width() - 5, 3), TRGB{57, 106, 161}));
    const TRect client = ClientOnScreen(Main);
    SaveJpeg(CaptureScreen(client), client, "display_playing.jpg");

    // A click at four fifths seeks there.
    ClickBox(l.Progress, l.Progress.Width() * 4 / 5, 3);
    EXPECT_TRUE(PumpUntil([&] { return VideoTimeText(video) >= "00:00:07"; }, 3000)) << VideoTimeText(video);

    // The state symbol follows pause and stop.
    PostMessageA(Main, WM_KEYDOWN, kSpace, 0);
    EXPECT_TRUE(PumpUntil([&] { return DifferentPixels(playing, Capture(l.State)) > 5; }, 3000)) << "paused";
    const std::vector<uint32_t> paused = Capture(l.State);
    PostMessageA(Main, WM_KEYDOWN, kMediaStop, 0);
    EXPECT_TRUE(PumpUntil([&] {
        const std::vector<uint32_t> now = Capture(l.State);
        return DifferentPixels(paused, now) > 5 && DifferentPixels(playing, now) > 5;
    }, 3000)) << "stopped";
    EXPECT_EQ(Player.Close(), 0);
}

TEST_F(PlayerDisplay, SpectrumFollowsASweepInEveryModeAndSettles)
{
    const TDisplayLayout& l = kDisplayLayout;
    const std::string sweep = Install.Media("sweep_10s.wav", "sweep.wav");
    const TRGB back = BackOf(0xBB7B42);
    for (int mode = 0; mode <= 5; ++mode) {
        const std::string name = "mode " + std::to_string(mode);
        SetInterface("Visuals", mode);
        ASSERT_NE(StartPlayer("\"" + sweep + "\""), nullptr);
        const HWND video = VideoWindow();
        ASSERT_NE(video, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return VideoTimeText(video) >= "00:00:02"; }, 15000)) << VideoTimeText(video);
        const std::vector<uint32_t> first = Capture(l.Visual);
        std::vector<uint32_t> second;
        // A sweep of one loudness holds the VU meter (mode 5) still; the other modes move.
        const bool moves = mode >= 1 && mode <= 4;
        const bool moved = PumpUntil([&] {
            second = Capture(l.Visual);
            return DifferentPixels(first, second) > 5;
        }, moves ? 3000 : 300);
        SaveJpeg(second, Box(l.Visual), "visual_mode_" + std::to_string(mode) + ".jpg");
        if (mode == 0) {
            EXPECT_EQ(PixelsOtherThan(second, back), 0u) << name;
        } else {
            EXPECT_GT(PixelsOtherThan(second, back), 20u) << name;
            if (moves)
                EXPECT_TRUE(moved) << name;
        }
        if (mode == 2) {
            PostMessageA(Main, WM_KEYDOWN, kMediaStop, 0);
            Wait(2500);
            const std::vector<uint32_t> a = Capture(l.Visual);
            Wait(300);
            EXPECT_EQ(DifferentPixels(a, Capture(l.Visual)), 0u) << "settled after Stop";
        }
        EXPECT_EQ(Player.Close(), 0);
    }
}

TEST_F(PlayerDisplay, OnScreenDisplayShowsTheTitleAndABlinkingPause)
{
    const std::string clip = Install.Media("clip_16s.avi", "osd title.avi");
    ASSERT_NE(StartPlayer("\"" + clip + "\""), nullptr);
    const HWND video = Player.WaitForWindow("TPvlForm", kVideoCaption, 20000);
    ASSERT_NE(video, nullptr);
    TChildSearch search{"TPvlOSDForm"};
    ASSERT_TRUE(PumpUntil([&] {
        EnumChildWindows(video, FindClass, reinterpret_cast<LPARAM>(&search));
        return search.Found && IsWindowVisible(search.Found);
    }, 15000)) << "the title's display";
    const HWND osd = search.Found;
    EXPECT_EQ(GetParent(osd), video);
    RECT r{};
    GetWindowRect(osd, &r);
    POINT corner{r.left, r.top};
    ScreenToClient(video, &corner);
    EXPECT_EQ(corner.x, 5);
    EXPECT_EQ(corner.y, 5);
    PumpUntil([&] { return VideoTimeText(video) >= "00:00:01"; }, 10000);
    const TRect box(r.left, r.top, r.right, r.bottom);
    const std::vector<uint32_t> pixels = CaptureScreen(box);
    SaveJpeg(CaptureScreen(ClientOnScreen(video)), ClientOnScreen(video), "osd_title.jpg");
    // A white text pixel belongs to the display, above the picture.
    POINT white{-1, -1};
    for (int i = 0; i < static_cast<int>(pixels.size()) && white.x < 0; ++i)
        if ((pixels[static_cast<size_t>(i)] & 0xFFFFFF) == 0xFFFFFF)
            white = POINT{box.left + i % box.Width(), box.top + i / box.Width()};
    ASSERT_GE(white.x, 0) << "white text";
    EXPECT_EQ(WindowFromPoint(white), osd);
    const HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(osd, region), COMPLEXREGION) << "cut to the text";
    DeleteObject(region);

    // The title goes after its 7 seconds.
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(osd); }, 9000));
    EXPECT_LE(VideoTimeText(video), "00:00:08");

    // Space: a blinking "Pause".
    PostMessageA(Main, WM_KEYDOWN, kSpace, 0);
    std::vector<bool> seen;
    for (int i = 0; i < 12; ++i) {
        Wait(200);
        seen.push_back(IsWindowVisible(osd) != 0);
    }
    EXPECT_NE(std::find(seen.begin(), seen.end(), true), seen.end()) << "shown";
    EXPECT_NE(std::find(seen.begin(), seen.end(), false), seen.end()) << "and hidden again";
    EXPECT_EQ(Player.Close(), 0);
}
