#include "playlist/FindFilePlatform.h"

#include "framework/WinHandles.h"

#include <windows.h>

namespace {

uint64_t ToFileTime(const FILETIME& t)
{
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

}  // namespace

std::vector<TFileFindRecord> FindFolderEntries(const std::string& folder, const std::string& mask)
{
    std::vector<TFileFindRecord> found;
    WIN32_FIND_DATAA data{};
    const TFindHandle search(FindFirstFileA((folder + mask).c_str(), &data));
    if (!search)
        return found;
    do {
        TFileFindRecord record;
        record.Name = data.cFileName;
        record.Attributes = data.dwFileAttributes;
        record.Size = data.nFileSizeLow;
        record.CreationTime = ToFileTime(data.ftCreationTime);
        record.LastAccessTime = ToFileTime(data.ftLastAccessTime);
        record.LastWriteTime = ToFileTime(data.ftLastWriteTime);
        found.push_back(std::move(record));
    } while (FindNextFileA(search.Get(), &data));
    return found;
}

TDateTime FileTimeToLocalDateTime(uint64_t fileTime)
{
    FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    FILETIME local{};
    SYSTEMTIME parts{};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &parts))
        return 0;
    try {
        return EncodeDate(parts.wYear, parts.wMonth, parts.wDay)
             + EncodeTime(parts.wHour, parts.wMinute, parts.wSecond, parts.wMilliseconds);
    } catch (const EConvertError&) {
        return 0;
    }
}

void LowerCaseBuffer(char* data, size_t size)
{
    while (size > 0) {
        const DWORD chunk = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(size);
        CharLowerBuffA(data, chunk);
        data += chunk;
        size -= chunk;
    }
}
