#pragma once
// The shell folder controls' decisions that need no shell: the clipboard's "Shell IDList
// Array" block read with every offset and length checked, the new-folder name, the list's size
// text and its record order.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// An item-id list as bytes, ending with its two-byte zero terminator.
using TIdListBytes = std::vector<uint8_t>;

// The byte length of the item-id list at Offset, terminator included, when the list ends
// inside the block; none when it runs past the end or holds an item shorter than its header.
std::optional<size_t> IdListLengthIn(const uint8_t* Block, size_t BlockSize, size_t Offset);

// "Shell IDList Array": a 32-bit count n, then n + 1 32-bit offsets from the block's start, the
// first to the folder's absolute list, the others to the items' lists relative to it.
struct TShellIdListArray {
    TIdListBytes Folder;
    std::vector<TIdListBytes> Items;
};
// The block comes from other programs: a count or offset that does not fit, or a list that does
// not end inside the block, means no items (none).
std::optional<TShellIdListArray> ParseShellIdListArray(const uint8_t* Block, size_t BlockSize);
// Folder list + item list, one terminator.
TIdListBytes JoinIdLists(const TIdListBytes& Folder, const TIdListBytes& Item);

// The path of a new folder in Folder: its path with a trailing backslash, the new-folder text,
// then " (N)" with the smallest N from 1 up whose directory does not exist.
std::string NewFolderName(const std::string& FolderPath, const std::string& NewFolderText,
                          const std::function<bool(const std::string&)>& DirectoryExists);

// The list's size column: "0" for a size of 0 or less, "1" below 1024 bytes, else the size in
// KB with grouped thousands, put into the size template ("%s KB" where the platform has none).
std::string ShellSizeText(int64_t Size, const std::string& SizeTemplate, char ThousandSeparator = ',');

// A listed file and the columns it sorts by.
enum TShellColumnKind : uint8_t { sckName = 0, sckSize = 1, sckType = 2, sckModified = 3 };

struct TShellListRecord {
    std::string DisplayName;
    int64_t Size = 0;       // -1 for a folder
    std::string TypeName;
    double Modified = -1;   // date-time; -1 when unknown
};

// Locale-aware, case-sensitive text order: negative, 0 or positive.
using TShellTextCompare = std::function<int(const std::string&, const std::string&)>;

// Kind 1 by size, 2 by type name, 3 by time; kind 0 and ties of the others by display name;
// descending swaps the operands.
int CompareShellRecords(const TShellListRecord& A, const TShellListRecord& B, TShellColumnKind Kind,
                        bool Descending, const TShellTextCompare& CompareText);
// Sorts an order of record indexes, stable among records that compare equal.
void SortShellRecords(std::vector<size_t>& Order, const std::vector<TShellListRecord>& Records,
                      TShellColumnKind Kind, bool Descending, const TShellTextCompare& CompareText);

// A column click: another kind sorts ascending, the same kind toggles the direction.
struct TShellSortState {
    TShellColumnKind Kind = sckName;
    bool Descending = false;
};
TShellSortState ShellSortAfterClick(const TShellSortState& Current, TShellColumnKind Clicked);
