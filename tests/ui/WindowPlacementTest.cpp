#include "ui/WindowPlacement.h"

#include <gtest/gtest.h>

TEST(WindowPlacement, StoredCornerOnItsMonitorElseCentred)
{
    const std::vector<TScreenArea> monitors = {
        {1280, 0, 2304, 768, false},  // monitor 0, right of the primary
        {0, 0, 1280, 1024, true},     // monitor 1, primary
    };
    const TScreenArea desktop{0, 0, 2304, 1024, false};
    const TWindowBounds current{5, 5, 300, 200};
    const struct {
        TWindowPosRecord Record;
        bool KeepSize;
        TWindowBounds Placed;
    } cases[] = {
        {{0, 10, 20, 400, 300}, false, {1290, 20, 400, 300}},
        {{1, 10, 20, 400, 300}, true, {10, 20, 300, 200}},           // the main window keeps its size
        {{5, 10, 20, 400, 300}, false, {10, 20, 400, 300}},          // monitor gone: the primary one
        {{0, 1100, 20, 400, 300}, false, {1280 + 512 - 200, 384 - 150, 400, 300}},  // off the desktop: centred
        {{1, -1, 0, 401, 301}, false, {640 - 200, 512 - 150, 401, 301}},            // halves toward zero
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlaceOnMonitor(current, c.KeepSize, c.Record, monitors, desktop), c.Placed)
            << c.Record.MonitorNum << " " << c.Record.Left;
}
