#pragma once
// A window region from a 24-bit bitmap: every run of a colour other than the transparent one.
#include <windows.h>

#include <cstddef>
#include <cstdint>

// The caller owns the region (until it gives it to SetWindowRgn); none for a bitmap that is
// not a 24-bit DIB section.
HRGN BuildRegionFromBitmap(HBITMAP bitmap, COLORREF transparent);
// The same from 24-bit rows in memory (blue, green, red), `top` the top row and `stride` the
// step to the next row down: for a picture whose bits the caller holds, without a copy.
HRGN BuildRegionFromBits(const uint8_t* top, int width, int height, ptrdiff_t stride, COLORREF transparent);
