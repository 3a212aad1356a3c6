#pragma once
// What the file search asks of the platform: one folder's entries for a mask (find-first and
// find-next), file times as local dates, and the character-lowering routine.
#include "framework/SysUtils.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The attribute bits besides the class library's faReadOnly ... faArchive.
inline constexpr uint32_t faVolumeID = 0x08;
inline constexpr uint32_t faAnyFileButVolume = 0x37;  // every bit the search looks at

// The platform's find record, as much of it as the search uses.
struct TFileFindRecord {
    std::string Name;
    uint32_t Attributes = 0;      // the platform's attribute bits
    uint32_t Size = 0;            // the low 32 bits of the size
    uint64_t CreationTime = 0;    // file times: 100-nanosecond units since 1601-01-01, UTC
    uint64_t LastAccessTime = 0;
    uint64_t LastWriteTime = 0;
};

// The entries of folder (ending in a separator) that the platform's search finds for mask,
// "." and ".." included when the mask takes them; empty when the folder cannot be read.
std::vector<TFileFindRecord> FindFolderEntries(const std::string& folder, const std::string& mask);

// A file time in local time as a TDateTime; 0 when it cannot be converted.
TDateTime FileTimeToLocalDateTime(uint64_t fileTime);

// Lower-cases bytes in place as the platform's character-lowering routine does (the ANSI code
// page on Windows, ASCII letters elsewhere).
void LowerCaseBuffer(char* data, size_t size);
