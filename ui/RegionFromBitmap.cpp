#include "ui/RegionFromBitmap.h"

#include <cstdint>
#include <cstring>
#include <vector>

HRGN BuildRegionFromBitmap(HBITMAP bitmap, COLORREF transparent)
{
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return nullptr;
    const int width = info.bmWidth, height = info.bmHeight;
    const int stride = (width * 3 + 3) & ~3;
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

    // The rectangles of every row in order; neighbouring runs of other colours are joined, as
    // the union would join them, and the whole list becomes one region in one call.
    const uint32_t clear = GetRValue(transparent) << 16 | GetGValue(transparent) << 8 | GetBValue(transparent);
    std::vector<RECT> rects;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = pixels.data() + static_cast<size_t>(y) * stride;
        const auto colour = [row](int x) {
            const uint8_t* p = row + x * 3;
            return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
        };
        int x = 0;
        while (x < width) {
            if (colour(x) == clear) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < width && colour(x) != clear)
                ++x;
            rects.push_back(RECT{start, y, x, y + 1});
        }
    }
    if (rects.empty())
        return nullptr;
    std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(rects.size());
    header->nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    header->rcBound = RECT{0, 0, width, height};
    std::memcpy(data.data() + sizeof(RGNDATAHEADER), rects.data(), rects.size() * sizeof(RECT));
    return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data()));
}
