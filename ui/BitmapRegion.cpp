#include "ui/BitmapRegion.h"

#include "ui/BitmapRegionCore.h"

#include <cstring>
#include <vector>

HRGN BuildRegionFromBitmap(HBITMAP bitmap, COLORREF transparent)
{
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return nullptr;
    const int width = info.bmWidth, height = info.bmHeight;
    // 24-bit rows are padded to four bytes.
    const ptrdiff_t stride = (static_cast<ptrdiff_t>(width) * 3 + 3) & ~ptrdiff_t{3};
    std::vector<uint8_t> pixels(static_cast<size_t>(stride) * static_cast<size_t>(height));
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 24;
    format.bmiHeader.biCompression = BI_RGB;
    const HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != height)
        return nullptr;
    return BuildRegionFromBits(pixels.data(), width, height, stride, transparent);
}

HRGN BuildRegionFromBits(const uint8_t* top, int width, int height, ptrdiff_t stride, COLORREF transparent)
{
    const uint32_t key = static_cast<uint32_t>(GetRValue(transparent)) << 16 | GetGValue(transparent) << 8 | GetBValue(transparent);
    // One ExtCreateRegion over the runs joined into spans and bands: the same area as uniting
    // every run, in a fraction of the rectangles.
    std::vector<RECT> rects;
    for (const TRegionRect& rect : RegionRects(FindColourRuns(top, width, height, stride, key)))
        rects.push_back(RECT{rect.Left, rect.Top, rect.Right, rect.Bottom});
    std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(rects.size());
    header->nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    header->rcBound = RECT{0, 0, width, height};
    if (!rects.empty())
        std::memcpy(data.data() + sizeof(RGNDATAHEADER), rects.data(), rects.size() * sizeof(RECT));
    return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data()));
}
