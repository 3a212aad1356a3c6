#pragma once
// Window regions cut from a picture: every pixel that is not the transparent colour.
#include <windows.h>

// The region of the bitmap's pixels whose colour is not `transparent` (COLORREF), read as
// 24-bit rows of blue, green and red: each run of equal colour in a row becomes a one-pixel-
// high rectangle and the rectangles are united. The caller owns the region; none on failure
// or for a bitmap with no such pixel.
HRGN BuildRegionFromBitmap(HBITMAP bitmap, COLORREF transparent);
