// The real program's play-list window: its popup and docking into the video window.
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

// The play list's popup, asked for by a right click on its rows with the pointer at `at`:
// the skinned menu window that shows, or none.
HWND OpenPopup(const TPlayerProcess& player, HWND playlist, POINT at)
{
    const std::vector<HWND> lists = Children(playlist, "SysListView32", false);
    if (lists.empty())
        return nullptr;
    SetCursorPos(at.x, at.y);
    PostMessageA(lists.front(), WM_RBUTTONUP, 0, MAKELPARAM(20, 60));
    return player.WaitForPopupMenu();
}

// The play list of a running player, shown floating at a fixed place; none when it does not show.
HWND ShowPlaylist(const TPlayerProcess& player)
{
    HWND playlist = nullptr;
    for (const HWND wnd : player.Windows())
        if (WindowText(wnd) == "Playlist...")
            playlist = wnd;
    if (!playlist)
        return nullptr;
    ShowWindow(playlist, SW_SHOWNOACTIVATE);
    SetWindowPos(playlist, HWND_TOP, 20, 20, 248, 381, SWP_NOACTIVATE);
    return PumpUntil([&] { return IsWindowVisible(playlist) != FALSE; }, 5000) ? playlist : nullptr;
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

TEST_F(PlayerPlaylist, DocksIntoTheVideoWindowAtItsRightEdge)
{
    const std::string clip = Install.Media("clip_8s.avi", "docking clip.avi");
    TPlayerProcess player;
    player.Start("\"" + clip + "\"");
    ASSERT_NE(player.WaitForMainWindow(), nullptr);
    const HWND video = player.WaitForWindow("TPvlForm", kVideoCaption, 20000);
    ASSERT_NE(video, nullptr);
    // The play-list window exists from the start, hidden.
    const HWND playlist = ShowPlaylist(player);
    ASSERT_NE(playlist, nullptr);
    const TRect floating = ScreenRect(playlist);

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

    EXPECT_EQ(player.Close(), 0);
}
