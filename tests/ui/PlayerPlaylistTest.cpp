// The real program's play-list window: docking into the video window and "Undock".
#include "tests/ui/PlayerHarness.h"
#include "tests/ui/ScreenCapture.h"

#include <gtest/gtest.h>

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

// The play list's popup, opened by a right click on its rows, with its last item chosen by
// the keyboard; false when the menu does not show.
bool ChooseLastPopupItem(const TPlayerProcess& player, HWND playlist)
{
    const std::vector<HWND> lists = Children(playlist, "SysListView32", false);
    if (lists.empty())
        return false;
    PostMessageA(lists.front(), WM_RBUTTONUP, 0, MAKELPARAM(20, 60));
    const HWND menu = player.WaitForWindow("#32768", {}, 5000);
    if (!menu)
        return false;
    // Up from no selection lands on the last item.
    PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    return true;
}

class PlayerPlaylist : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(Install.ChoosePlainVideoRenderer());
        ASSERT_NO_FATAL_FAILURE(Install.StartFromTheBeginning());
    }

    TPlayerInstall Install;
};

}  // namespace

TEST_F(PlayerPlaylist, DocksIntoTheVideoWindowAndUndocksWhereItWas)
{
    const std::string clip = Install.Media("clip_8s.avi", "docking clip.avi");
    TPlayerProcess player;
    player.Start("\"" + clip + "\"");
    ASSERT_NE(player.WaitForMainWindow(), nullptr);
    const HWND video = player.WaitForWindow("TPvlForm", kVideoCaption, 20000);
    ASSERT_NE(video, nullptr);
    // The play-list window exists from the start, hidden.
    HWND playlist = nullptr;
    for (const HWND wnd : player.Windows())
        if (WindowText(wnd) == "Playlist...")
            playlist = wnd;
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
