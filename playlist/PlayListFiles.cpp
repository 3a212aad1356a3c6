// The play list's files: ".PLS" (an INI file with one section) and ".M3U" (one name a line).
#include "playlist/PlayList.h"

#include "framework/IniFiles.h"

#include <algorithm>
#include <climits>
#include <string_view>
#include <vector>

namespace {

const char* const PlsSection = "playlist";

// The folder that names without one are read against, ending in a separator; empty for a
// list named without a folder, whose names then stay as they are.
std::string ListFolder(const std::string& listName)
{
    const std::string folder = ExtractFilePath(listName);
    return folder.empty() ? folder : IncludeTrailingPathDelimiter(folder);
}

std::string ResolveName(const std::string& listFolder, const std::string& name)
{
    return ExtractFilePath(name).empty() ? listFolder + name : name;
}

// Tenths of a second as whole seconds, a half to the even neighbour.
int32_t TenthsToSeconds(int32_t tenths)
{
    int32_t seconds = tenths / 10;
    const int32_t rest = tenths % 10;
    if (rest > 5 || (rest == 5 && seconds % 2 != 0))
        ++seconds;
    return seconds;
}

// A stored length in seconds as tenths; anything negative or too long to hold is unknown.
int32_t SecondsToTenths(int32_t seconds)
{
    return seconds < 0 || seconds > INT32_MAX / 10 ? -1 : seconds * 10;
}

void WritePlsEntry(TMemIniFile& ini, int32_t n, const TPlayListItem& item)
{
    const std::string number = IntToStr(n);
    ini.WriteString(PlsSection, "File" + number, item.FileName);
    if (!item.Title.empty())
        ini.WriteString(PlsSection, "Title" + number, item.Title);
    if (item.Length >= 0)
        ini.WriteInteger(PlsSection, "Length" + number, TenthsToSeconds(item.Length));
}

// The keys an entry is read from: "File", "Title" or "Length" and its number as written.
enum TPlsField : uint8_t { pfFile, pfTitle, pfLength };

struct TPlsValue {
    int32_t Number;
    TPlsField Field;
    std::string Value;
};

// A key that a look-up of field + IntToStr(n) finds (names ignore case), n at least 1.
bool NumberedKey(std::string_view key, TPlsValue& out)
{
    static const struct { const char* Name; TPlsField Field; } fields[] = {
        {"File", pfFile}, {"Title", pfTitle}, {"Length", pfLength}};
    for (const auto& field : fields) {
        const std::string_view name = field.Name;
        if (key.size() <= name.size() || !StartsText(name, key))
            continue;
        const std::string_view digits = key.substr(name.size());
        int64_t n = 0;
        for (const char c : digits) {
            if (c < '0' || c > '9')
                return false;
            n = n * 10 + (c - '0');
            if (n > INT32_MAX)
                return false;
        }
        if (digits.front() == '0')
            return false;
        out.Number = static_cast<int32_t>(n);
        out.Field = field.Field;
        return true;
    }
    return false;
}

}  // namespace

std::string PredefListFileName(const std::string& InstallFolder, int Which)
{
    return IncludeTrailingPathDelimiter(InstallFolder) + "Data" + PathDelim
         + (Which == plFavorits ? "favorits.pls" : "LastPlayed.pls");
}

void TPlayList::SavePlaylistFile(const std::string& FileName)
{
    try {
        if (SameText(ExtractFileExt(FileName), ".PLS"))
            SavePLS(FileName);
        else
            SaveM3U(FileName);
    } catch (const std::exception& e) {
        Report(e.what());
    }
}

void TPlayList::SavePLS(const std::string& FileName)
{
    TMemIniFile ini(FileName);
    ini.Clear();
    for (size_t i = 0; i < Items.size(); ++i)
        WritePlsEntry(ini, static_cast<int32_t>(i) + 1, *Items[i]);
    ini.WriteInteger(PlsSection, "NumberOfEntries", ItemCount());
    ini.WriteInteger(PlsSection, "Version", 2);
    ini.UpdateFile();
}

void TPlayList::SaveM3U(const std::string& FileName)
{
    TStringList lines;
    for (const auto& entry : Items)
        lines.Add(entry->FileName);
    lines.SaveToFile(FileName);
}

void TPlayList::LoadPLS(const std::string& FileName)
{
    const std::string folder = ListFolder(FileName);
    // One pass over the section in file order, nothing of the file kept: long lists stay within
    // the cache and load in linear time.
    std::vector<TPlsValue> values;
    int32_t claimed = 0;
    bool claimRead = false;
    int32_t highestFile = 0;  // a list that claims more entries than it holds is not walked further
    TMemIniFile::ForEachValue(FileName, PlsSection, [&](std::string_view key, std::string_view value) {
        int32_t n = 0;
        if (StartsText("File", key) && TryStrToInt(key.substr(4), n) && n > highestFile)
            highestFile = n;
        TPlsValue entry{0, pfFile, {}};
        if (NumberedKey(key, entry)) {
            entry.Value = value;
            values.push_back(std::move(entry));
        } else if (!claimRead && SameText(key, "NumberOfEntries")) {
            claimed = StrToIntDef(value, 0);  // the first of duplicates, as a look-up reads it
            claimRead = true;
        }
    });
    const int32_t count = std::min(claimed, highestFile);
    // Lists are written in order; others are brought to it, the first of equal keys first.
    const auto byNumber = [](const TPlsValue& a, const TPlsValue& b) { return a.Number < b.Number; };
    if (!std::is_sorted(values.begin(), values.end(), byNumber))
        std::stable_sort(values.begin(), values.end(), byNumber);
    for (size_t i = 0; i < values.size() && values[i].Number <= count;) {
        const int32_t n = values[i].Number;
        TPlsValue* fields[3] = {};
        for (; i < values.size() && values[i].Number == n; ++i)
            if (!fields[values[i].Field])
                fields[values[i].Field] = &values[i];
        if (!fields[pfFile] || fields[pfFile]->Value.empty())
            continue;
        TPlayListItem item;
        item.FileName = ResolveName(folder, fields[pfFile]->Value);
        if (fields[pfTitle])
            item.Title = std::move(fields[pfTitle]->Value);
        item.Length = SecondsToTenths(fields[pfLength] ? StrToIntDef(fields[pfLength]->Value, -1) : -1);
        item.State = plsNotOpened;
        AddPlaylistRecord(item);
    }
}

void TPlayList::LoadM3U(const std::string& FileName)
{
    const std::string folder = ListFolder(FileName);
    TStringList lines;
    lines.LoadFromFile(FileName);
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string& line = lines[i];
        // Comments and the format's extension lines, indented ones too; no list of ours holds them.
        const size_t first = line.find_first_not_of(" \t");
        if (line.empty() || (first != std::string::npos && line[first] == '#'))
            continue;
        AddPlaylistFile(ResolveName(folder, line));
    }
}

bool TPlayList::LoadPredefList(int Which)
{
    const std::string name = PredefListFileName(FWindows ? FWindows->InstallFolder() : std::string(), Which);
    if (!FileExists(name))
        return false;
    AddPlaylistPath(name, true, false);
    return true;
}

void TPlayList::AddToFavorits(const std::vector<int32_t>& Indexes)
{
    const std::string name = PredefListFileName(FWindows ? FWindows->InstallFolder() : std::string(), plFavorits);
    try {
        TMemIniFile ini(name);
        int32_t n = std::max(ini.ReadInteger(PlsSection, "NumberOfEntries", 0), 0);
        for (const int32_t index : Indexes)
            if (index >= 0 && index < ItemCount())
                WritePlsEntry(ini, ++n, *Items[static_cast<size_t>(index)]);
        ini.WriteInteger(PlsSection, "NumberOfEntries", n);
        ini.WriteInteger(PlsSection, "Version", 2);
        ini.UpdateFile();
    } catch (const std::exception& e) {
        Report(e.what());
    }
}
