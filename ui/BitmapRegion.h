#pragma once
// A window region from a 24-bit bitmap: every run of a colour other than the transparent one.
#include <windows.h>

// The caller owns the region (until it gives it to SetWindowRgn); none for a bitmap that is
// not a 24-bit DIB section.
HRGN BuildRegionFromBitmap(HBITMAP bitmap, COLORREF transparent);
