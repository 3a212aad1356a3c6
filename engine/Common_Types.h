#pragma once
// The plain records the engine, the play list and the player windows exchange, and two
// name tables. Records that hold COM interfaces live in Common_TypesCom.h.
#include <array>
#include <cstdint>
#include <string>

// One play-list entry.
struct TPlayListItem {
    std::string FileName;  // file path or network address
    std::string Title;     // from the tags when the entry was opened; empty until then
    int32_t Length = -1;   // tenths of a second; -1 until measured
    // 0 not yet opened, 1 not found, 2 opened and fully rendered; otherwise the result code
    // of the last graph build (success code: partial, failure code: failed).
    int32_t State = 0;
};

// What the play list's background fetch found for an entry.
struct TMediaInfo {
    std::string Title;
    int32_t Length = -1;  // tenths of a second; -1 when no length was found
};

// A bookmark of the playing movie.
struct TBookmark {
    std::string Name;
    std::string TimeText;  // as shown in the bookmark list
    int64_t Position = 0;  // 100-nanosecond units
};

inline constexpr int32_t plsNotOpened = 0;
inline constexpr int32_t plsNotFound = 1;
inline constexpr int32_t plsOpened = 2;

extern const std::array<const char*, 19> EQPresetNames;
extern const std::array<const char*, 18> AC3SpeakerConfigNames;
