#pragma once
// The main window's menus and small helpers that need no window: the reopen entries, the
// checked items of the visuals and colour menus, the aspect fit of the thumbnails.
#include "framework/Types.h"

#include <cstdint>
#include <string>
#include <vector>

// One item of the reopen menu: the file-name part of a history entry and the entry's index.
struct TReopenEntry {
    std::string Caption;
    int Tag = 0;
    friend bool operator==(const TReopenEntry&, const TReopenEntry&) = default;
};
// The first `maximum` entries of the file history.
std::vector<TReopenEntry> ReopenEntries(const std::vector<std::string>& history, int maximum);

// The visuals menu's speed items by interval: 0 fast (15 ms), 1 medium (30), 2 slow (50), -1 none.
int VisualSpeedItem(int interval);
inline constexpr int kVisualSpeedIntervals[3] = {15, 30, 50};
// The item of a visual mode in the visuals menu (the modes' items follow two others).
inline constexpr int VisualModeItem(int mode) { return mode + 2; }

extern const char* const DisplayThemeNames[4];

// The system's MulDiv: a x b / c rounded half away from zero; -1 when c is 0 or it overflows.
int32_t MulDiv32(int32_t a, int32_t b, int32_t c);
// The largest rectangle of the source's aspect ratio inside the target, centred.
TRect FitRectKeepAspect(const TRect& target, const TRect& source);
