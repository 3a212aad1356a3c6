#pragma once
// The on-screen display's timing and size that need no platform.
#include <cstdint>

// What one 500 ms tick does: close a timed text whose time is over, toggle a blinking one.
struct TOSDTick {
    bool Close = false;
    bool Toggle = false;
};
// seconds 0 never times out; the tick difference wraps with the tick count.
TOSDTick OSDTimerStep(uint32_t now, uint32_t start, int seconds, bool blink);

// The window's size around its text: 12 wider, 2 higher.
struct TOSDSize {
    int Width = 0;
    int Height = 0;
};
inline constexpr TOSDSize OSDWindowSize(int textWidth, int textHeight) { return {textWidth + 12, textHeight + 2}; }
// Where the window sits in the video window's client area.
inline constexpr int kOSDLeft = 5, kOSDTop = 5;
// Height of the bitmap the text is rendered into.
inline constexpr int kOSDBitmapHeight = 100;
