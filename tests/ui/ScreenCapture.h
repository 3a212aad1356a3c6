#pragma once
// Pictures of the screen for tests that look at what the player draws.
#include "framework/Types.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace pvltest {

// The pixels of a rectangle of the screen, top row first.
std::vector<uint32_t> CaptureScreen(const TRect& r);
// Kept beside the test program for a person to look at; the file's path.
std::string SaveJpeg(const std::vector<uint32_t>& pixels, const TRect& r, const std::string& name);
TRect ClientOnScreen(HWND wnd);

struct TPictureChange {
    size_t Lit = 0;      // pixels that are not black in the second picture
    size_t Changed = 0;  // pixels that differ between the two
};
TPictureChange ComparePictures(const std::vector<uint32_t>& first, const std::vector<uint32_t>& second);

}  // namespace pvltest
