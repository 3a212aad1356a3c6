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

std::vector<TRegionRect> RegionRects(const std::vector<TColourRun>& runs)
{
    std::vector<TRegionRect> rects;
    size_t bandStart = 0;  // first rectangle of the last band
    for (size_t i = 0; i < runs.size();) {
        // One row's spans, touching runs joined.
        const int y = runs[i].Y;
        const size_t rowStart = rects.size();
        for (; i < runs.size() && runs[i].Y == y; ++i) {
            if (rects.size() > rowStart && rects.back().Right == runs[i].Left)
                rects.back().Right = runs[i].Right;
            else
                rects.push_back({runs[i].Left, y, runs[i].Right, y + 1});
        }
        // A row right under a band of the same spans makes the band taller.
        const size_t count = rects.size() - rowStart;
        bool same = rowStart > bandStart && rowStart - bandStart == count && rects[bandStart].Bottom == y;
        for (size_t k = 0; same && k < count; ++k)
            same = rects[bandStart + k].Left == rects[rowStart + k].Left && rects[bandStart + k].Right == rects[rowStart + k].Right;
        if (same) {
            rects.resize(rowStart);
            for (size_t k = bandStart; k < rowStart; ++k)
                rects[k].Bottom = y + 1;
        } else {
            bandStart = rowStart;
        }
    }
    return rects;
}
