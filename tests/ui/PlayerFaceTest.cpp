// The real program's face: the settings dialog of a first start and from the main menu, the
// caption strip that replaces the system caption, the video window's caption buttons, and the
// main menu's "Visuals", "Display Color" and "Exit".
#include "tests/ui/PlayerHarness.h"
#include "tests/ui/RemoteControls.h"
#include "tests/ui/ScreenCapture.h"

#include "ui/DisplayPanelCore.h"
#include "ui/SettingsModel.h"
#include "ui/SoundControlsCore.h"

#include "framework/Registry.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

using namespace pvltest;

namespace {
const char* const kVMR9 = "@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}\\{51B4ABF3-748F-4E3B-A276-C828330E926A}";
const char* const kFileExts = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";

struct TChildFind {
    std::string Class, Text;
    HWND Found = nullptr;
};

BOOL CALLBACK FindChildProc(HWND wnd, LPARAM data)
{
    auto* find = reinterpret_cast<TChildFind*>(data);
    if (SameText(WindowClass(wnd), find->Class) && (find->Text.empty() || WindowText(wnd) == find->Text)) {
        find->Found = wnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindChild(HWND parent, const std::string& className, const std::string& text = {})
{
    TChildFind find{className, text};
    EnumChildWindows(parent, FindChildProc, reinterpret_cast<LPARAM>(&find));
    return find.Found;
}

// A control's text, asked of the other process.
std::string RemoteText(HWND wnd)
{
    char text[512] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutA(wnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &length);
    return text;
}

// A combo box of the dialog whose shown text starts with the prefix.
HWND FindCombo(HWND dialog, const std::string& prefix)
{
    struct TFind {
        const std::string& Prefix;
        HWND Found = nullptr;
    } find{prefix};
    struct TVisit {
        static BOOL CALLBACK Child(HWND wnd, LPARAM data)
        {
            auto* f = reinterpret_cast<TFind*>(data);
            if (SameText(WindowClass(wnd), "ComboBox") && RemoteText(wnd).starts_with(f->Prefix)) {
                f->Found = wnd;
                return FALSE;
            }
            return TRUE;
        }
    };
    EnumChildWindows(dialog, TVisit::Child, reinterpret_cast<LPARAM>(&find));
    return find.Found;
}

// The main menu drops from the face's menu button; an item is chosen by keys from the end.
bool ChooseFromMainMenu(const TPlayerProcess& player, HWND main, int upPresses)
{
    const HWND menu = player.OpenMainMenu(main);
    if (!menu)
        return false;
    for (int i = 0; i < upPresses; ++i)
        PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    return true;
}
constexpr int kSettingsItem = 2;  // Exit is last, Settings before it
constexpr int kExitItem = 1;

std::string ReadFileExt(const std::string& extension)
{
    TRegistry reg(KEY_READ);
    if (!reg.OpenKeyReadOnly(kFileExts + extension) || !reg.ValueExists("Application"))
        return {};
    return reg.ReadString("Application");
}

// A top-level window of the test that counts the setting-change broadcasts it receives.
int SettingChanges = 0;
LRESULT CALLBACK CountingProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SETTINGCHANGE)
        ++SettingChanges;
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

class PlayerFace : public ::testing::Test {
protected:
    TPlayerInstall Install;
};
}

TEST_F(PlayerFace, FirstRunShowsTheSettingsWithTheirDefaultsAndTakesThem)
{
    TPlayerInstall::ClearUserSettings();
    const std::string clip = Install.Media("clip_8s.avi", "first run.avi");
    TPlayerProcess player;
    player.Start("\"" + clip + "\"");
    ASSERT_TRUE(player.AcceptFirstRunPage()) << "the first-run page";

    const HWND dialog = player.WaitForWindow("TPvlForm", "Settings", 20000);
    ASSERT_NE(dialog, nullptr) << "the settings follow the first-run page";
    const HWND cancel = FindChild(dialog, "Button", "Cancel");
    ASSERT_NE(cancel, nullptr);
    EXPECT_FALSE(IsWindowEnabled(cancel)) << "no way back on the first run";
    const HWND monitors = FindCombo(dialog, "Active Monitor");
    ASSERT_NE(monitors, nullptr) << "one monitor: \"Active Monitor\"";
    EXPECT_FALSE(IsWindowEnabled(monitors));
    EXPECT_NE(FindCombo(dialog, "2 Speakers (Stereo)"), nullptr);
    PumpUntil([] { return false; }, 3000);
    SaveScreenshot("settings_first_run.jpg");
    ASSERT_TRUE(TPlayerProcess::PressButton(dialog, "Ok"));

    ASSERT_NE(player.WaitForWindow("TPvlForm", kVideoCaption, 20000), nullptr) << "the file plays";
    {
        TRegistry reg(KEY_READ);
        ASSERT_TRUE(reg.OpenKeyReadOnly(SettingsKeyPath("Advanced Video"))) << "written when the dialog was accepted";
        EXPECT_EQ(reg.ReadString("PerferedVideoRender0"), kVMR9);
        EXPECT_EQ(reg.ReadString("PerferedVideoRender1"), kVideoRenderer);
        EXPECT_FALSE(reg.ValueExists("PerferedVideoRender2"));
        ASSERT_TRUE(reg.OpenKeyReadOnly(SettingsKeyPath("General")));
        EXPECT_EQ(reg.ReadInteger("ResumeMode"), 2);
        ASSERT_TRUE(reg.OpenKeyReadOnly(SettingsKeyPath("Audio")));
        EXPECT_EQ(reg.ReadInteger("SpeakerType"), 1);
    }
    ASSERT_EQ(player.Close(), 0);

    TPlayerProcess second;
    second.Start();
    ASSERT_NE(second.WaitForMainWindow(), nullptr);
    PumpUntil([] { return false; }, 1500);
    for (const HWND wnd : second.Windows())
        EXPECT_FALSE(IsWindowVisible(wnd) && WindowText(wnd) == "Settings") << "a second start shows no dialog";
    EXPECT_EQ(second.Close(), 0);
}

TEST_F(PlayerFace, SettingsFromTheMainMenuCancelOrStoreAtOnceWithTheShellAssociations)
{
    Install.MarkNotFirstRun();
    // The associations are the user's, kept past the install's end: put back however the test ends.
    struct TAssociations {
        TAssociations() { Clear(); }
        ~TAssociations() { Clear(); }
        static void Clear()
        {
            TRegistry reg;
            reg.DeleteKey(kFileExts + std::string(".avi"));
            reg.DeleteKey(kFileExts + std::string(".mpg"));
        }
    } associations;
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(kFileExts + std::string(".mpg"), true));
        reg.WriteString("Application", "Other.exe");
    }
    const HWND counter = CreateWindowExA(0, "STATIC", "counter", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    const std::unique_ptr<std::remove_pointer_t<HWND>, decltype(&DestroyWindow)> counterOwner(counter, &DestroyWindow);
    SetWindowLongPtrA(counter, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc));
    SettingChanges = 0;

    TPlayerProcess player;
    player.Start();
    const HWND main = player.WaitForMainWindow();
    ASSERT_NE(main, nullptr);

    // Cancel changes nothing: nothing is written before the close.
    ASSERT_TRUE(ChooseFromMainMenu(player, main, kSettingsItem));
    HWND dialog = player.WaitForWindow("TPvlForm", "Settings", 10000);
    ASSERT_NE(dialog, nullptr) << "Settings from the main menu";
    EXPECT_TRUE(IsWindowEnabled(FindChild(dialog, "Button", "Cancel")));
    SaveScreenshot("settings_from_menu.jpg");
    ASSERT_TRUE(TPlayerProcess::PressButton(dialog, "Cancel"));
    PumpUntil([&] { return !IsWindowVisible(dialog); }, 5000);
    {
        TRegistry reg(KEY_READ);
        ASSERT_TRUE(reg.OpenKeyReadOnly(SettingsKeyPath("General")));
        EXPECT_FALSE(reg.ValueExists("ResumeMode"));
    }

    // OK writes every section at once; checking "avi" associates it and tells the windows.
    ASSERT_TRUE(ChooseFromMainMenu(player, main, kSettingsItem));
    dialog = player.WaitForWindow("TPvlForm", "Settings", 10000);
    ASSERT_NE(dialog, nullptr);
    const HWND extensions = FindChild(dialog, "ListBox");
    ASSERT_NE(extensions, nullptr);
    Click(extensions, 5, 5);  // the first line's box: "avi"
    PumpUntil([] { return false; }, 300);
    ASSERT_TRUE(TPlayerProcess::PressButton(dialog, "Ok"));
    PumpUntil([&] { return !IsWindowVisible(dialog); }, 5000);
    EXPECT_TRUE(PumpUntil([] { return SettingChanges > 0; }, 5000)) << "the change is broadcast";
    EXPECT_EQ(ReadFileExt(".avi"), "Parvolux.exe");
    {
        TRegistry reg(KEY_READ);
        ASSERT_TRUE(reg.OpenKeyReadOnly(SettingsKeyPath("General")));
        EXPECT_TRUE(reg.ValueExists("ResumeMode"));
        ASSERT_TRUE(reg.OpenKeyReadOnly(SettingsKeyPath("Advanced Network")));
        EXPECT_TRUE(reg.ValueExists("HTTP Proxy Mode"));
    }

    // Unchecking removes our value only; another program's stays.
    ASSERT_TRUE(ChooseFromMainMenu(player, main, kSettingsItem));
    dialog = player.WaitForWindow("TPvlForm", "Settings", 10000);
    ASSERT_NE(dialog, nullptr);
    Click(FindChild(dialog, "ListBox"), 5, 5);
    PumpUntil([] { return false; }, 300);
    ASSERT_TRUE(TPlayerProcess::PressButton(dialog, "Ok"));
    PumpUntil([&] { return !IsWindowVisible(dialog); }, 5000);
    EXPECT_TRUE(PumpUntil([] { return ReadFileExt(".avi").empty(); }, 5000));
    EXPECT_EQ(ReadFileExt(".mpg"), "Other.exe");

    // "Exit" closes the player.
    ASSERT_TRUE(ChooseFromMainMenu(player, main, kExitItem));
    EXPECT_EQ(player.WaitExit(20000), 0);
}

TEST_F(PlayerFace, TheFaceReplacesTheSystemCaption)
{
    Install.MarkNotFirstRun();
    TPlayerProcess player;
    player.Start();
    const HWND main = player.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    PumpUntil([] { return false; }, 500);
    EXPECT_EQ(GetWindowLongA(main, GWL_STYLE) & WS_CAPTION, 0) << "no system caption";
    RECT bounds;
    GetWindowRect(main, &bounds);
    // The caption strip (16), the face and the extras panel, and the frame the window had.
    EXPECT_EQ(bounds.bottom - bounds.top,
              16 + kDisplayLayout.PanelHeight + kExtrasPanelHeight + 2 * GetSystemMetrics(SM_CYFIXEDFRAME));
    SaveScreenshot("main_face.jpg");

    // Its minimise button minimises the application.
    const HWND strip = ChildAt(main, 5, 5);
    ASSERT_NE(strip, nullptr);
    RECT client;
    GetClientRect(strip, &client);
    const HWND close = ChildAt(strip, client.right - 8, 4);
    ASSERT_NE(close, nullptr);
    Click(ChildAt(strip, client.right - 22, 4));
    EXPECT_TRUE(PumpUntil([&] { return IsIconic(main) || !IsWindowVisible(main); }, 5000)) << "minimised";
    PostMessageA(main, 0x8070, 0, 0);  // restored as a second start would
    // Seen from here the window leaves the minimised state before it is back in place and its face
    // laid out again; a click sent in between would hit nothing.
    EXPECT_TRUE(PumpUntil(
        [&] {
            RECT now;
            GetWindowRect(main, &now);
            return !IsIconic(main) && IsWindowVisible(main) && EqualRect(&now, &bounds) &&
                   ChildAt(strip, client.right - 8, 4) == close;
        },
        5000))
        << "restored in place with the close button where it was";

    // The close button ends the player.
    Click(close);
    EXPECT_EQ(player.WaitExit(20000), 0);
}

TEST_F(PlayerFace, CaptionButtonsOverAPlayingVideo)
{
    ASSERT_NO_FATAL_FAILURE(Install.ChoosePlainVideoRenderer());
    const std::string clip = Install.Media("clip_8s.avi", "buttons.avi");
    TPlayerProcess player;
    player.Start("\"" + clip + "\"");
    const HWND video = player.WaitForWindow("TPvlForm", kVideoCaption, 20000);
    ASSERT_NE(video, nullptr);

    // A mouse move over the video shows the buttons at the video area's top right.
    RECT area;
    GetWindowRect(video, &area);
    SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    PostMessageA(video, WM_MOUSEMOVE, 0, MAKELPARAM(50, 50));
    HWND buttons = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] {
            for (const HWND wnd : player.Windows())
                if (IsWindowVisible(wnd) && GetWindow(wnd, GW_OWNER) == video)
                    buttons = wnd;
            return buttons != nullptr;
        },
        5000))
        << "the caption buttons show";
    RECT strip;
    GetWindowRect(buttons, &strip);
    RECT client;
    GetClientRect(video, &client);
    POINT corner = {client.right, 0};
    ClientToScreen(video, &corner);
    EXPECT_LE(strip.right, corner.x + 1);
    EXPECT_GE(strip.right, corner.x - 200);
    EXPECT_EQ(strip.top, corner.y);
    // Its shape is cut to the buttons.
    const HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(buttons, region), COMPLEXREGION);
    DeleteObject(region);
    SaveScreenshot("caption_buttons.jpg");

    // Maximise, then restore, by the middle button.
    const HWND maximize = ChildAt(buttons, 24, 4);
    ASSERT_NE(maximize, nullptr);
    Click(maximize);
    EXPECT_TRUE(PumpUntil([&] { return IsZoomed(video) != 0; }, 5000)) << "maximised";
    SaveScreenshot("caption_buttons_maximized.jpg");
    Click(maximize);
    EXPECT_TRUE(PumpUntil([&] { return IsZoomed(video) == 0; }, 5000)) << "restored";

    // Close ends the player.
    Click(ChildAt(buttons, 42, 4));
    EXPECT_EQ(player.WaitExit(20000), 0);
}

namespace {
// The rows that show a check or radio mark: their glyph column, at the row's left, has more
// than a few pixels of another colour than the row's background at its right end.
std::vector<int> CheckedRows(HWND menu)
{
    constexpr int kGlyphColumn = 18, kMarkPixels = 6;
    RECT bounds{};
    GetWindowRect(menu, &bounds);
    const std::vector<uint32_t> pixels = CaptureScreen(TRect(bounds.left, bounds.top, bounds.right, bounds.bottom));
    const auto at = [&](int x, int y) {
        return pixels[static_cast<size_t>((y - bounds.top) * (bounds.right - bounds.left) + (x - bounds.left))] & 0xFFFFFF;
    };
    std::vector<int> checked;
    const std::vector<RECT> rows = MenuRows(menu);
    for (size_t i = 0; i < rows.size(); ++i) {
        const RECT& r = rows[i];
        if (r.top < bounds.top || r.bottom > bounds.bottom || r.left < bounds.left || r.right > bounds.right)
            continue;
        const uint32_t background = at(r.right - 2, (r.top + r.bottom) / 2);
        int mark = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.left + kGlyphColumn; ++x)
                mark += at(x, y) != background;
        if (mark > kMarkPixels)
            checked.push_back(static_cast<int>(i));
    }
    return checked;
}

// The deepest open submenu: submenus open to the right of their parents.
HWND DeepestMenu(const TPlayerProcess& player)
{
    HWND deepest = nullptr;
    RECT best{};
    for (const HWND wnd : player.Windows()) {
        RECT r{};
        if (IsWindowVisible(wnd) && WindowClass(wnd) == "TPopupMenu2000Form" && GetWindowRect(wnd, &r) &&
            (!deepest || r.left > best.left)) {
            deepest = wnd;
            best = r;
        }
    }
    return deepest;
}
}  // namespace

TEST_F(PlayerFace, TheVisualsMenuChecksAndSetsModeFlagsAndSpeedDisplayColorIsStoredAndExitCloses)
{
    // From nothing selected in the main menu Up goes to "Exit", "Settings", "View"; Right opens
    // "View" on its first entry, where Up wraps to its last, "Display Color", and again to
    // "Visuals". Enter opens these with nothing selected, so no highlight hides a mark.
    const std::vector<WPARAM> toView{VK_UP, VK_UP, VK_UP, VK_RIGHT};
    std::vector<WPARAM> toVisuals = toView, toDisplayColor = toView;
    toVisuals.insert(toVisuals.end(), {VK_UP, VK_UP, VK_RETURN});
    toDisplayColor.insert(toDisplayColor.end(), {VK_UP, VK_RETURN});
    // Rows of "Visuals": "Show Peaks", "Show Fade effect", the six modes, a separator, "Fast",
    // "Medium" and "Slow Update". Down from no selection reaches row r in r + 1 presses, passing
    // over the separator.
    constexpr int kPeaksRow = 0, kFadeRow = 1;
    const auto modeRow = [](int mode) { return mode + 2; };
    const auto speedRow = [](int speed) { return 9 + speed; };
    const auto downsTo = [](int row) { return row > 8 ? row : row + 1; };
    struct TCase {
        int Mode;
        bool Peaks, Fade;
        int Speed;  // as stored: 0 fast, 1 medium, 2 slow
        int Theme;
        int NewMode, NewSpeed, NewTheme;
    };
    const TCase cases[] = {{4, true, false, 2, 0, 1, 0, 2}, {1, false, true, 0, 2, 5, 1, 3}, {0, true, true, 1, 3, 3, 2, 0}};
    const auto checks = [&](int mode, bool peaks, bool fade, int speed) {
        std::vector<int> rows;
        if (peaks)
            rows.push_back(kPeaksRow);
        if (fade)
            rows.push_back(kFadeRow);
        rows.push_back(modeRow(mode));
        rows.push_back(speedRow(speed));
        return rows;
    };
    Install.MarkNotFirstRun();
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 3, GetSystemMetrics(SM_CYSCREEN) - 3);  // off the menus
    for (const TCase& c : cases) {
        SCOPED_TRACE("stored mode " + std::to_string(c.Mode) + ", speed " + std::to_string(c.Speed));
        {
            TRegistry reg;
            ASSERT_TRUE(reg.OpenKey(SettingsKeyPath("Interface"), true));
            reg.WriteInteger("Visuals", c.Mode);
            reg.WriteInteger("VisualsShowPeaks", c.Peaks);
            reg.WriteInteger("VisualsUseFade", c.Fade);
            reg.WriteInteger("VisualsUpdateSpeed", c.Speed);
            reg.WriteInteger("DisplayColor", c.Theme);
        }
        TPlayerProcess player;
        player.Start();
        const HWND main = player.WaitForMainWindow();
        ASSERT_NE(main, nullptr);
        // The submenu at the path's end, open; its window, or none.
        const auto open = [&](const std::vector<WPARAM>& path) -> HWND {
            const HWND menu = player.OpenMainMenu(main);
            return menu && player.MenuKeys(menu, path, 3) ? DeepestMenu(player) : nullptr;
        };
        const auto expectChecks = [&](HWND submenu, const std::vector<int>& expected) {
            std::vector<int> seen;
            EXPECT_TRUE(PumpUntil(
                [&] {
                    seen = CheckedRows(submenu);
                    return seen == expected;
                },
                5000))
                << "checked rows " << ::testing::PrintToString(seen) << " of " << MenuRows(submenu).size();
        };
        // Down to the row, Enter: every menu closes.
        const auto choose = [&](HWND submenu, int row) {
            std::vector<WPARAM> keys(static_cast<size_t>(downsTo(row)), VK_DOWN);
            keys.push_back(VK_RETURN);
            return submenu && player.MenuKeys(submenu, keys, 0);
        };

        // The stored mode, flags and speed are checked; a mode, then each flag, is chosen.
        HWND submenu = open(toVisuals);
        ASSERT_NE(submenu, nullptr) << player.ShownMenus() << " menus show";
        expectChecks(submenu, checks(c.Mode, c.Peaks, c.Fade, c.Speed));
        SaveScreenshot("main_menu_visuals_" + std::to_string(c.Mode) + ".jpg");
        ASSERT_TRUE(choose(submenu, modeRow(c.NewMode)));
        ASSERT_TRUE(choose(open(toVisuals), kPeaksRow));
        ASSERT_TRUE(choose(open(toVisuals), kFadeRow));
        // The checks follow what was chosen; then a speed.
        submenu = open(toVisuals);
        ASSERT_NE(submenu, nullptr);
        expectChecks(submenu, checks(c.NewMode, !c.Peaks, !c.Fade, c.Speed));
        ASSERT_TRUE(choose(submenu, speedRow(c.NewSpeed)));

        // "Display Color" checks the stored theme and takes another.
        submenu = open(toDisplayColor);
        ASSERT_NE(submenu, nullptr);
        expectChecks(submenu, {c.Theme});
        ASSERT_TRUE(choose(submenu, c.NewTheme));

        // "Exit", the main menu's last entry, closes the player, which stores what was chosen.
        const HWND menu = player.OpenMainMenu(main);
        ASSERT_NE(menu, nullptr);
        player.MenuKeys(menu, {VK_UP, VK_RETURN}, 0);
        ASSERT_EQ(player.WaitExit(20000), 0) << "\"Exit\" closes the player";
        TRegistry reg(KEY_READ);
        ASSERT_TRUE(reg.OpenKeyReadOnly(SettingsKeyPath("Interface")));
        EXPECT_EQ(reg.ReadInteger("Visuals"), c.NewMode);
        EXPECT_EQ(reg.ReadInteger("VisualsShowPeaks"), c.Peaks ? 0 : 1);
        EXPECT_EQ(reg.ReadInteger("VisualsUseFade"), c.Fade ? 0 : 1);
        EXPECT_EQ(reg.ReadInteger("VisualsUpdateSpeed"), c.NewSpeed);
        EXPECT_EQ(reg.ReadInteger("DisplayColor"), c.NewTheme);
    }
}
