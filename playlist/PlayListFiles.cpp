// The play list's files: ".PLS" (an INI file with one section) and ".M3U" (one name a line).
#include "playlist/PlayList.h"

#include "framework/IniFiles.h"

#include <climits>

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

// The highest n of the section's "File" + n keys: a list that claims more entries than it
// holds is not walked number by number.
int32_t HighestFileNumber(const TMemIniFile& ini)
{
    TStringList keys;
    ini.ReadSection(PlsSection, keys);
    int32_t highest = 0;
    for (int i = 0; i < keys.Count(); ++i) {
        int32_t n = 0;
        if (StartsText("File", keys[i]) && TryStrToInt(keys[i].substr(4), n) && n > highest)
            highest = n;
    }
    return highest;
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
    const TMemIniFile ini(FileName);
    const int32_t count = std::min(ini.ReadInteger(PlsSection, "NumberOfEntries", 0), HighestFileNumber(ini));
    for (int32_t n = 1; n <= count; ++n) {
        const std::string number = IntToStr(n);
        const std::string name = ini.ReadString(PlsSection, "File" + number, "");
        if (name.empty())
            continue;
        TPlayListItem item;
        item.FileName = ResolveName(folder, name);
        item.Title = ini.ReadString(PlsSection, "Title" + number, "");
        item.Length = SecondsToTenths(ini.ReadInteger(PlsSection, "Length" + number, -1));
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
