#include "playlist/PlaylistFormCore.h"

#include "framework/SysUtils.h"

#include <algorithm>

namespace {

struct THmsSplit {
    long long Hours, Minutes, Seconds;
};

THmsSplit SplitTenths(long long Tenths)
{
    return {Tenths / 36000, (Tenths % 36000) / 600, (Tenths % 36000 % 600) / 10};
}

bool Succeeded(int32_t Code) { return Code >= 0; }

const std::string kTotalText = "Total:";

}  // namespace

std::string PlaylistLengthText(int32_t Tenths)
{
    if (Tenths < 0)
        return {};
    const THmsSplit t = SplitTenths(Tenths);
    return Format("%2.2lld:%2.2lld:%2.2lld", t.Hours, t.Minutes, t.Seconds);
}

std::string PlaylistRowCaption(const TPlayListItem& Item)
{
    return Item.Title.empty() ? ExtractFileName(Item.FileName) : Item.Title;
}

TPlaylistStatusTexts PlaylistStatusTexts(const std::vector<int32_t>& Lengths)
{
    if (Lengths.empty())
        return {"No file(s)", kTotalText + "      "};
    // Summed in 64 bits: a long list of long entries passes 2^31 tenths.
    long long sum = 0;
    for (const int32_t length : Lengths)
        if (length >= 0)
            sum += length;
    TPlaylistStatusTexts texts;
    texts.Files = std::to_string(Lengths.size()) + " file(s)";
    if (sum < 1) {
        texts.Total = kTotalText + "      ";
    } else {
        const THmsSplit t = SplitTenths(sum);
        texts.Total = kTotalText + Format(" %2.2lld:%2.2lld:%2.2lld      ", t.Hours, t.Minutes, t.Seconds);
    }
    return texts;
}

int PlaylistRowIcon(int32_t State, bool PlayingAndRunning)
{
    switch (State) {
    case plsNotOpened: return kNoRowIcon;
    case plsNotFound: return 0;
    case plsOpened: return PlayingAndRunning ? 3 : 2;
    default: return Succeeded(State) ? 1 : 0;
    }
}

int PlaylistPlayingRowIcon(int32_t State)
{
    switch (State) {
    case plsNotOpened: return kNoRowIcon;
    case plsNotFound: return 0;
    default: return 3;
    }
}

TPlaylistRowStyle PlaylistRowStyle(int32_t State, bool IsPlaying, uint32_t ListBackground, uint32_t ListFont)
{
    TPlaylistRowStyle style{ListBackground, ListFont, false};
    if (IsPlaying)
        style = {0x5B5B5B, 0xFFFFFF, true};
    switch (State) {
    case plsNotOpened: style.Text = 0xC0C0C0; break;
    case plsNotFound: style.Text = 0x0000FF; break;
    case plsOpened: style.Text = 0xFFFFFF; break;
    default: style.Text = Succeeded(State) ? 0x0080FF : 0x0000FF; break;
    }
    return style;
}

TPlaylistPopupStates PlaylistPopupStates(int SelectedCount, int RowCount, const std::string& ComboText)
{
    return {SelectedCount > 0, RowCount > 0, RowCount > 0 && ComboText != kFavoritesText};
}

std::optional<int32_t> PlaylistFollowUpRow(const std::vector<bool>& Selected, int32_t PlayingIndex, bool Shuffle,
                                           bool Running)
{
    const int32_t count = static_cast<int32_t>(Selected.size());
    if (!Running || Shuffle || PlayingIndex < 0 || PlayingIndex >= count || !Selected[PlayingIndex])
        return std::nullopt;
    int32_t row = 0;
    while (row < count && !Selected[row])
        ++row;
    while (row < count && Selected[row])
        ++row;
    if (row >= count)
        return std::nullopt;
    // Every row above the follow-up row that goes is selected; count them away.
    const auto removedAbove = std::count(Selected.begin(), Selected.begin() + row, true);
    return row - static_cast<int32_t>(removedAbove);
}

std::vector<TPlaylistMove> PlaylistDragMoves(int32_t RowCount, const std::vector<int32_t>& SelectedRows,
                                             int32_t Target)
{
    // Rows by identity (their index before the drag), as the list view holds them.
    std::vector<int32_t> rows(std::max(RowCount, 0));
    for (int32_t i = 0; i < RowCount; ++i)
        rows[i] = i;
    int32_t target = Target >= 0 && Target < RowCount ? Target : -1;
    std::vector<TPlaylistMove> moves;
    for (const int32_t moved : SelectedRows) {
        const auto at = std::find(rows.begin(), rows.end(), moved);
        if (at == rows.end())
            continue;
        const int32_t from = static_cast<int32_t>(at - rows.begin());
        int32_t to = static_cast<int32_t>(rows.size());
        if (target >= 0)
            to = static_cast<int32_t>(std::find(rows.begin(), rows.end(), target) - rows.begin());
        // The copy takes the moved row's identity; when the target itself moves, its copy stays
        // the target.
        rows.insert(rows.begin() + to, moved);
        rows.erase(rows.begin() + (from >= to ? from + 1 : from));
        moves.push_back(to <= from ? TPlaylistMove{from, to} : TPlaylistMove{from, to - 1});
    }
    return moves;
}

std::string TPlaylistComboItem::Caption() const
{
    switch (Kind) {
    case TPlaylistComboKind::Favorites: return kFavoritesText;
    case TPlaylistComboKind::LastPlayed: return kLastPlayedText;
    case TPlaylistComboKind::NewPlaylist: return kNewPlaylistText;
    case TPlaylistComboKind::ListFile: break;
    }
    return ChangeFileExt(ExtractFileName(FileName), "");
}

TPlaylistComboModel::TPlaylistComboModel()
    : FItems{{TPlaylistComboKind::Favorites, {}}, {TPlaylistComboKind::LastPlayed, {}}}
{
}

void TPlaylistComboModel::InsertListFile(const std::string& FileName)
{
    FItems.insert(FItems.begin(), {TPlaylistComboKind::ListFile, FileName});
    FItemIndex = 0;
}

void TPlaylistComboModel::EnsureNewPlaylist()
{
    if (!HasNewPlaylist())
        FItems.insert(FItems.begin(), {TPlaylistComboKind::NewPlaylist, {}});
    FItemIndex = 0;
}

void TPlaylistComboModel::DropNewPlaylistUnlessSelected()
{
    const int at = IndexOfNewPlaylist();
    if (at >= 0 && at != FItemIndex)
        DeleteAt(at);
}

void TPlaylistComboModel::DropNewPlaylistAtTop()
{
    if (!FItems.empty() && FItems.front().Kind == TPlaylistComboKind::NewPlaylist)
        DeleteAt(0);
}

int TPlaylistComboModel::IndexOfNewPlaylist() const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].Kind == TPlaylistComboKind::NewPlaylist)
            return static_cast<int>(i);
    return -1;
}

void TPlaylistComboModel::DeleteAt(int Index)
{
    FItems.erase(FItems.begin() + Index);
    if (FItemIndex == Index)
        FItemIndex = -1;
    else if (FItemIndex > Index)
        --FItemIndex;
}
