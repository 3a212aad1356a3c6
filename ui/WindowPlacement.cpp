#include "ui/WindowPlacement.h"

TWindowBounds PlaceOnMonitor(const TWindowBounds& current, bool keepSize, const TWindowPosRecord& record,
                             const std::vector<TScreenArea>& monitors, const TScreenArea& desktop)
{
    TWindowBounds placed = current;
    // 1. Size from the record, unless the form keeps its own.
    if (!keepSize) {
        placed.Width = record.Width;
        placed.Height = record.Height;
    }
    if (monitors.empty())
        return placed;
    // 2. The stored monitor while it exists, else the primary one.
    const TScreenArea* monitor = nullptr;
    if (record.MonitorNum >= 0 && static_cast<size_t>(record.MonitorNum) < monitors.size()) {
        monitor = &monitors[static_cast<size_t>(record.MonitorNum)];
    } else {
        monitor = &monitors.front();
        for (const TScreenArea& m : monitors)
            if (m.Primary) {
                monitor = &m;
                break;
            }
    }
    // 3. The stored corner when it is on the desktop, else centred on the monitor.
    const int x = monitor->Left + record.Left;
    const int y = monitor->Top + record.Top;
    if (x >= desktop.Left && x < desktop.Right && y >= desktop.Top && y < desktop.Bottom) {
        placed.Left = x;
        placed.Top = y;
    } else {
        placed.Left = monitor->Left + monitor->Width() / 2 - placed.Width / 2;
        placed.Top = monitor->Top + monitor->Height() / 2 - placed.Height / 2;
    }
    return placed;
}
