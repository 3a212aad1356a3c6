#include "ui/BitmapRegion.h"

#include "ui/BitmapRegionCore.h"

#include "framework/WinHandles.h"

HRGN BuildRegionFromBitmap(HBITMAP bitmap, COLORREF transparent)
{
    DIBSECTION dib{};
    if (!bitmap || GetObjectA(bitmap, sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBitsPixel != 24 || !dib.dsBm.bmBits)
        return nullptr;
    GdiFlush();
    const int width = dib.dsBm.bmWidth;
    const int height = dib.dsBm.bmHeight;
    const ptrdiff_t stride = dib.dsBm.bmWidthBytes;
    const auto* bits = static_cast<const uint8_t*>(dib.dsBm.bmBits);
    // A positive height in the header is a bottom-up bitmap: the top row is the last in memory.
    const bool bottomUp = dib.dsBmih.biHeight > 0;
    const uint8_t* top = bottomUp ? bits + (height - 1) * stride : bits;
    const uint32_t key = static_cast<uint32_t>(GetRValue(transparent)) << 16 | GetGValue(transparent) << 8 | GetBValue(transparent);
    TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    for (const TColourRun& run : FindColourRuns(top, width, height, bottomUp ? -stride : stride, key)) {
        const TRegionHandle row(CreateRectRgn(run.Left, run.Y, run.Right, run.Y + 1));
        CombineRgn(region.Get(), region.Get(), row.Get(), RGN_OR);
    }
    return region.Release();
}
