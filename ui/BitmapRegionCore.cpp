#include "ui/BitmapRegionCore.h"

namespace {
uint32_t PixelAt(const uint8_t* row, int x)
{
    const uint8_t* p = row + static_cast<ptrdiff_t>(x) * 3;
    return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
}
}

std::vector<TColourRun> FindColourRuns(const uint8_t* firstRow, int width, int height, ptrdiff_t stride,
                                       uint32_t transparent)
{
    std::vector<TColourRun> runs;
    if (!firstRow || width <= 0 || height <= 0)
        return runs;
    transparent &= 0xFFFFFF;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = firstRow + static_cast<ptrdiff_t>(y) * stride;
        int x = 0;
        while (x < width) {
            const uint32_t colour = PixelAt(row, x);
            int end = x + 1;
            while (end < width && PixelAt(row, end) == colour)
                ++end;
            if (colour != transparent)
                runs.push_back({y, x, end});
            x = end;
        }
    }
    return runs;
}
