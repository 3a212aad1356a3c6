#include "playlist/PlaylistFormCore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<bool> Selection(int rows, std::vector<int> selected)
{
    std::vector<bool> marks(rows, false);
    for (const int row : selected)
        marks[row] = true;
    return marks;
}

// Replays the moves on a list of names, as TPlayList.MoveItem does.
std::string Apply(std::string rows, const std::vector<TPlaylistMove>& moves)
{
    for (const TPlaylistMove& move : moves) {
        const char moved = rows[move.From];
        rows.erase(rows.begin() + move.From);
        rows.insert(rows.begin() + move.To, moved);
    }
    return rows;
}

}  // namespace

TEST(PlaylistFormCore, LengthTextSplitsTenths)
{
    const struct {
        int32_t tenths;
        const char* text;
    } cases[] = {{37234, "01:02:03"}, {0, "00:00:00"}, {9, "00:00:00"}, {-1, ""}, {36000 * 123, "123:00:00"}};
    for (const auto& c : cases)
        EXPECT_EQ(PlaylistLengthText(c.tenths), c.text) << c.tenths;
}

TEST(PlaylistFormCore, RowCaptionFallsBackToTheFileName)
{
    EXPECT_EQ(PlaylistRowCaption({"C:\\music\\a.mp3", "Song", 10, 2}), "Song");
    EXPECT_EQ(PlaylistRowCaption({"C:\\music\\a.mp3", "", 10, 2}), "a.mp3");
}

TEST(PlaylistFormCore, StatusTextsCountAndSumKnownLengths)
{
    const struct {
        std::vector<int32_t> lengths;
        const char* files;
        const char* total;
    } cases[] = {
        {{}, "No file(s)", "Total:      "},
        {{37234, -1}, "2 file(s)", "Total: 01:02:03      "},
        {{-1, -1, 0}, "3 file(s)", "Total:      "},
        // Past 2^31 tenths: the sum is kept in 64 bits.
        {{2000000000, 2000000000}, "2 file(s)", "Total: 111111:06:40      "},
    };
    for (const auto& c : cases) {
        const TPlaylistStatusTexts texts = PlaylistStatusTexts(c.lengths);
        EXPECT_EQ(texts.Files, c.files);
        EXPECT_EQ(texts.Total, c.total);
    }
}

TEST(PlaylistFormCore, RowIconsAndStylesFollowTheState)
{
    const int32_t partial = 0x00040258, failed = static_cast<int32_t>(0x80040216);
    const struct {
        int32_t state;
        bool playing;
        int icon, playingIcon;
        uint32_t text;
    } cases[] = {
        {plsNotOpened, false, kNoRowIcon, kNoRowIcon, 0xC0C0C0},
        {plsNotFound, false, 0, 0, 0x0000FF},
        {plsOpened, false, 2, 3, 0xFFFFFF},
        {plsOpened, true, 3, 3, 0xFFFFFF},
        {partial, false, 1, 3, 0x0080FF},
        {failed, true, 0, 3, 0x0000FF},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PlaylistRowIcon(c.state, c.playing), c.icon) << c.state;
        EXPECT_EQ(PlaylistPlayingRowIcon(c.state), c.playingIcon) << c.state;
        const TPlaylistRowStyle style = PlaylistRowStyle(c.state, c.playing, 0x000000, 0xC0C0C0);
        EXPECT_EQ(style.Text, c.text) << c.state;
        EXPECT_EQ(style.Bold, c.playing);
        EXPECT_EQ(style.Background, c.playing ? 0x5B5B5Bu : 0u);
    }
}

TEST(PlaylistFormCore, PopupEntriesFollowRowsAndCombo)
{
    EXPECT_FALSE(PlaylistPopupStates(0, 0, "").NewPlaylist);
    const TPlaylistPopupStates some = PlaylistPopupStates(1, 3, "mylist");
    EXPECT_TRUE(some.Remove && some.NewPlaylist && some.AddToFavorit);
    const TPlaylistPopupStates favourites = PlaylistPopupStates(0, 3, "Favorites");
    EXPECT_FALSE(favourites.Remove);
    EXPECT_FALSE(favourites.AddToFavorit);
}

TEST(PlaylistFormCore, FollowUpRowAfterRemoval)
{
    const struct {
        std::vector<int> selected;
        int32_t playing;
        bool shuffle, running;
        std::optional<int32_t> row;
    } cases[] = {
        {{1, 2, 4}, 2, false, true, 1},             // row 3 follows the first block: it becomes 1
        {{1, 2, 4}, 2, false, false, std::nullopt}, // stopped or paused: nothing plays
        {{1, 2, 4}, 2, true, true, std::nullopt},   // shuffle on
        {{1, 4}, 2, false, true, std::nullopt},     // the playing row stays
        {{4, 5}, 5, false, true, std::nullopt},     // no row after the block
        {{0}, 0, false, true, 0},
        {{1, 2, 4}, -1, false, true, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlaylistFollowUpRow(Selection(6, c.selected), c.playing, c.shuffle, c.running), c.row);
}

TEST(PlaylistFormCore, DragMovesReorderLikeTheRows)
{
    const struct {
        std::vector<int32_t> selected;
        int32_t target;
        const char* order;
    } cases[] = {
        {{1}, 3, "ACBDE"},      // B dropped on D
        {{4}, 0, "EABCD"},      // the last row onto the first
        {{0}, -1, "BCDEA"},     // below the last row
        {{0, 2}, 4, "BDACE"},   // a selection keeps its order
        {{3, 4}, 1, "ADEBC"},
        {{1, 2}, 2, "ABCDE"},   // onto one of its own rows
        {{2}, 2, "ABCDE"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Apply("ABCDE", PlaylistDragMoves(5, c.selected, c.target)), c.order) << c.order;
    EXPECT_EQ(PlaylistDragMoves(5, {1}, 3), (std::vector<TPlaylistMove>{{1, 2}}));
}

TEST(PlaylistFormCore, ComboKeepsItemsByKind)
{
    TPlaylistComboModel combo;
    ASSERT_EQ(combo.Items().size(), 2u);
    EXPECT_EQ(combo.Items()[0].Caption(), "Favorites");
    EXPECT_EQ(combo.Items()[1].Caption(), "Last Played");
    EXPECT_EQ(combo.Text(), "");

    combo.InsertListFile("C:\\lists\\party.m3u");
    EXPECT_EQ(combo.Text(), "party");
    EXPECT_EQ(combo.Selected()->FileName, "C:\\lists\\party.m3u");

    combo.EnsureNewPlaylist();
    combo.EnsureNewPlaylist();
    EXPECT_EQ(combo.Items().size(), 4u);
    EXPECT_EQ(combo.Text(), "New Playlist...");

    // Choosing favourites, wherever it stands, drops the new-list item and keeps the choice.
    combo.SetItemIndex(2);
    combo.DropNewPlaylistUnlessSelected();
    EXPECT_FALSE(combo.HasNewPlaylist());
    EXPECT_EQ(combo.Selected()->Kind, TPlaylistComboKind::Favorites);
    EXPECT_TRUE(combo.Selected()->HasIcon());

    combo.EnsureNewPlaylist();
    combo.DropNewPlaylistAtTop();
    EXPECT_EQ(combo.ItemIndex(), -1);
    combo.InsertListFile("C:\\lists\\saved.pls");
    EXPECT_EQ(combo.Items()[0].Caption(), "saved");
    EXPECT_EQ(combo.Items()[1].Caption(), "party");
}
