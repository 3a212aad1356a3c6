#pragma once
// Where a restored window goes: its stored corner on its stored monitor when that lies on
// the desktop, else the middle of the monitor.
#include "ui/SettingsModel.h"

#include <vector>

struct TScreenArea {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;  // right and bottom exclusive
    bool Primary = false;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
};

struct TWindowBounds {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    friend bool operator==(const TWindowBounds&, const TWindowBounds&) = default;
};

// current: the form's bounds now; keepSize: the form's size is its own (the main window's
// skin), so only its corner moves. Monitors in the platform's numbering.
TWindowBounds PlaceOnMonitor(const TWindowBounds& current, bool keepSize, const TWindowPosRecord& record,
                             const std::vector<TScreenArea>& monitors, const TScreenArea& desktop);
