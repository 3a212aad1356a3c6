#include "playlist/FindFilePlatform.h"

#include <cctype>
#include <ctime>
#include <dirent.h>
#include <sys/stat.h>

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// The platform's mask rules as Windows applies them to long names: "*" any run, "?" one
// character, letters without case, and "*.*" everything.
bool MaskMatches(const char* name, const char* mask)
{
    while (*mask) {
        if (*mask == '*') {
            while (*mask == '*')
                ++mask;
            if (!*mask)
                return true;
            for (const char* rest = name; *rest; ++rest)
                if (MaskMatches(rest, mask))
                    return true;
            return false;
        }
        if (!*name || (*mask != '?' && Lower(*mask) != Lower(*name)))
            return false;
        ++name;
        ++mask;
    }
    return !*name;
}

uint64_t ToFileTime(const timespec& t)
{
    constexpr uint64_t secondsFrom1601To1970 = 11644473600ULL;
    return (static_cast<uint64_t>(t.tv_sec) + secondsFrom1601To1970) * 10000000ULL + static_cast<uint64_t>(t.tv_nsec) / 100;
}

}  // namespace

std::vector<TFileFindRecord> FindFolderEntries(const std::string& folder, const std::string& mask)
{
    std::vector<TFileFindRecord> found;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return found;
    const bool all = mask == "*.*";
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (!all && !MaskMatches(name.c_str(), mask.c_str()))
            continue;
        struct stat st {};
        const std::string path = folder + name;
        if (lstat(path.c_str(), &st) != 0)
            continue;
        // A link is reported as a file, so a link back up the tree cannot make the walk endless.
        if (S_ISLNK(st.st_mode) && (stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)))
            continue;
        TFileFindRecord record;
        record.Name = name;
        record.Attributes = S_ISDIR(st.st_mode) ? faDirectory : faArchive;
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            record.Attributes |= faReadOnly;
        record.Size = static_cast<uint32_t>(st.st_size);
        record.CreationTime = ToFileTime(st.st_ctim);
        record.LastAccessTime = ToFileTime(st.st_atim);
        record.LastWriteTime = ToFileTime(st.st_mtim);
        found.push_back(std::move(record));
    }
    closedir(dir);
    return found;
}

TDateTime FileTimeToLocalDateTime(uint64_t fileTime)
{
    constexpr uint64_t secondsFrom1601To1970 = 11644473600ULL;
    const uint64_t seconds = fileTime / 10000000ULL;
    if (seconds < secondsFrom1601To1970)
        return 0;
    const time_t unixTime = static_cast<time_t>(seconds - secondsFrom1601To1970);
    tm local {};
    if (!localtime_r(&unixTime, &local))
        return 0;
    try {
        const int msec = static_cast<int>(fileTime % 10000000ULL / 10000ULL);
        return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday)
             + EncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec, msec);
    } catch (const EConvertError&) {
        return 0;
    }
}

void LowerCaseBuffer(char* data, size_t size)
{
    for (size_t i = 0; i < size; ++i)
        data[i] = Lower(data[i]);
}
