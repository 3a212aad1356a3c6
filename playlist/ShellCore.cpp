#include "playlist/ShellCore.h"

#include "framework/SysUtils.h"

#include <algorithm>
#include <cstring>

namespace {

uint32_t ReadU32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

std::string GroupThousands(uint64_t Value, char Separator)
{
    std::string digits = std::to_string(Value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<size_t>(at), 1, Separator);
    return digits;
}

}  // namespace

std::optional<size_t> IdListLengthIn(const uint8_t* Block, size_t BlockSize, size_t Offset)
{
    size_t at = Offset;
    while (true) {
        if (at > BlockSize || BlockSize - at < 2)
            return std::nullopt;
        const uint16_t cb = ReadU16(Block + at);
        if (cb == 0)
            return at + 2 - Offset;
        if (cb < 2 || cb > BlockSize - at)
            return std::nullopt;
        at += cb;
    }
}

std::optional<TShellIdListArray> ParseShellIdListArray(const uint8_t* Block, size_t BlockSize)
{
    if (Block == nullptr || BlockSize < 4)
        return std::nullopt;
    const uint32_t count = ReadU32(Block);
    if ((BlockSize - 4) / 4 < static_cast<uint64_t>(count) + 1)
        return std::nullopt;
    std::vector<TIdListBytes> lists;
    lists.reserve(static_cast<size_t>(count) + 1);
    for (uint32_t i = 0; i <= count; ++i) {
        const size_t offset = ReadU32(Block + 4 + 4 * static_cast<size_t>(i));
        const std::optional<size_t> length = IdListLengthIn(Block, BlockSize, offset);
        if (!length)
            return std::nullopt;
        lists.emplace_back(Block + offset, Block + offset + *length);
    }
    TShellIdListArray result;
    result.Folder = std::move(lists.front());
    result.Items.assign(std::make_move_iterator(lists.begin() + 1), std::make_move_iterator(lists.end()));
    return result;
}

TIdListBytes JoinIdLists(const TIdListBytes& Folder, const TIdListBytes& Item)
{
    TIdListBytes joined(Folder.begin(), Folder.size() >= 2 ? Folder.end() - 2 : Folder.begin());
    joined.insert(joined.end(), Item.begin(), Item.end());
    if (joined.size() < 2)
        joined.assign(2, 0);
    return joined;
}

std::string NewFolderName(const std::string& FolderPath, const std::string& NewFolderText,
                          const std::function<bool(const std::string&)>& DirectoryExists)
{
    std::string base = FolderPath;
    if (base.empty() || base.back() != '\\')
        base += '\\';
    base += NewFolderText;
    for (unsigned n = 1;; ++n) {
        std::string name = Format("%s (%u)", base.c_str(), n);
        if (!DirectoryExists(name))
            return name;
    }
}

std::string ShellSizeText(int64_t Size, const std::string& SizeTemplate, char ThousandSeparator)
{
    std::string number;
    if (Size <= 0)
        number = "0";
    else if (Size < 1024)
        number = "1";
    else
        number = GroupThousands(static_cast<uint64_t>(Size) / 1024, ThousandSeparator);
    const std::string& pattern = SizeTemplate.empty() ? std::string("%s KB") : SizeTemplate;
    const size_t at = pattern.find("%s");
    if (at == std::string::npos)
        return number;
    return pattern.substr(0, at) + number + pattern.substr(at + 2);
}

int CompareShellRecords(const TShellListRecord& A, const TShellListRecord& B, TShellColumnKind Kind,
                        bool Descending, const TShellTextCompare& CompareText)
{
    const TShellListRecord& a = Descending ? B : A;
    const TShellListRecord& b = Descending ? A : B;
    int result = 0;
    switch (Kind) {
    case sckSize: result = a.Size < b.Size ? -1 : a.Size > b.Size ? 1 : 0; break;
    case sckType: result = CompareText(a.TypeName, b.TypeName); break;
    case sckModified: result = a.Modified < b.Modified ? -1 : a.Modified > b.Modified ? 1 : 0; break;
    case sckName: break;
    }
    return result != 0 ? result : CompareText(a.DisplayName, b.DisplayName);
}

void SortShellRecords(std::vector<size_t>& Order, const std::vector<TShellListRecord>& Records,
                      TShellColumnKind Kind, bool Descending, const TShellTextCompare& CompareText)
{
    std::stable_sort(Order.begin(), Order.end(), [&](size_t x, size_t y) {
        return CompareShellRecords(Records[x], Records[y], Kind, Descending, CompareText) < 0;
    });
}

TShellSortState ShellSortAfterClick(const TShellSortState& Current, TShellColumnKind Clicked)
{
    if (Clicked != Current.Kind)
        return {Clicked, false};
    return {Clicked, !Current.Descending};
}
