#pragma once
// The play-list window's decisions that need no window: row and status texts, row icons and
// colours, the popup's enabled entries, the row that plays after a removal, the moves a drag
// makes, and the list combo's items kept by kind.
#include "engine/Common_Types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// "%2.2d:%2.2d:%2.2d" of a length in tenths; empty for a negative length.
std::string PlaylistLengthText(int32_t Tenths);
// A row's caption: the title, or the file name without its folder when the title is empty.
std::string PlaylistRowCaption(const TPlayListItem& Item);

// The status bar's two panels for the lengths of all entries (-1 where unknown).
struct TPlaylistStatusTexts {
    std::string Files;  // panel 0
    std::string Total;  // panel 1
};
TPlaylistStatusTexts PlaylistStatusTexts(const std::vector<int32_t>& Lengths);

inline constexpr int kNoRowIcon = -1;
// A row's state icon; PlayingAndRunning marks the playing entry while the engine runs.
int PlaylistRowIcon(int32_t State, bool PlayingAndRunning);
// The icon the newly playing row gets when the playing index changes.
int PlaylistPlayingRowIcon(int32_t State);

// Colours as 0x00BBGGRR.
struct TPlaylistRowStyle {
    uint32_t Background = 0;
    uint32_t Text = 0;
    bool Bold = false;
};
TPlaylistRowStyle PlaylistRowStyle(int32_t State, bool IsPlaying, uint32_t ListBackground, uint32_t ListFont);

inline const char* const kFavoritesText = "Favorites";
inline const char* const kLastPlayedText = "Last Played";
inline const char* const kNewPlaylistText = "New Playlist...";

struct TPlaylistPopupStates {
    bool Remove = false;
    bool NewPlaylist = false;
    bool AddToFavorit = false;
};
TPlaylistPopupStates PlaylistPopupStates(int SelectedCount, int RowCount, const std::string& ComboText);

// The row, counted after the deletions, that plays once the selected rows are removed; none
// when the engine was not running, nothing plays, the playing row is not selected, Shuffle is
// on, or no unselected row follows the first selected block.
std::optional<int32_t> PlaylistFollowUpRow(const std::vector<bool>& Selected, int32_t PlayingIndex, bool Shuffle,
                                           bool Running);

// The play-list moves (from, to) that dropping the selected rows on Target (-1: below the last
// row) makes, in the order the list makes them.
struct TPlaylistMove {
    int32_t From = 0;
    int32_t To = 0;
    bool operator==(const TPlaylistMove&) const = default;
};
std::vector<TPlaylistMove> PlaylistDragMoves(int32_t RowCount, const std::vector<int32_t>& SelectedRows,
                                             int32_t Target);

// The list combo's items by kind; a list file's item shows its name without folder and
// extension and keeps the full name.
enum class TPlaylistComboKind : uint8_t { Favorites, LastPlayed, ListFile, NewPlaylist };

struct TPlaylistComboItem {
    TPlaylistComboKind Kind = TPlaylistComboKind::ListFile;
    std::string FileName;  // list files only
    std::string Caption() const;
    bool HasIcon() const { return Kind == TPlaylistComboKind::Favorites || Kind == TPlaylistComboKind::LastPlayed; }
};

class TPlaylistComboModel {
public:
    // "Favorites" and "Last Played", in that order, nothing selected.
    TPlaylistComboModel();

    const std::vector<TPlaylistComboItem>& Items() const { return FItems; }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Index) { FItemIndex = Index >= 0 && Index < static_cast<int>(FItems.size()) ? Index : -1; }
    const TPlaylistComboItem* Selected() const { return FItemIndex >= 0 ? &FItems[FItemIndex] : nullptr; }
    // The edit part's text: the selected item's caption, empty with none.
    std::string Text() const { return Selected() ? Selected()->Caption() : std::string(); }

    // A list file loaded or saved: an item at the top, selected.
    void InsertListFile(const std::string& FileName);
    // "New playlist": the item at the top unless there is one; the top item selected.
    void EnsureNewPlaylist();
    bool HasNewPlaylist() const { return IndexOfNewPlaylist() >= 0; }
    // After a choice: the "New Playlist..." item goes unless it is the one chosen.
    void DropNewPlaylistUnlessSelected();
    // Before a save: the "New Playlist..." item goes when it is the first.
    void DropNewPlaylistAtTop();

private:
    int IndexOfNewPlaylist() const;
    void DeleteAt(int Index);

    std::vector<TPlaylistComboItem> FItems;
    int FItemIndex = -1;
};
