#pragma once
// The runs of a 24-bit bitmap that make a window region: on each row, every longest stretch
// of one colour that is not the transparent colour.
#include <cstddef>
#include <cstdint>
#include <vector>

struct TColourRun {
    int Y = 0;
    int Left = 0;
    int Right = 0;  // exclusive
    friend bool operator==(const TColourRun&, const TColourRun&) = default;
};

// Bytes in one row of a bitmap: rows are padded to whole 32-bit words.
inline constexpr ptrdiff_t BitmapRowStride(int width, int bitsPerPixel)
{
    return (static_cast<ptrdiff_t>(width) * bitsPerPixel + 31) / 32 * 4;
}

// Rows from the top: row y starts at firstRow + y x stride (a negative stride walks a
// bottom-up bitmap); pixels are blue, green, red. `transparent` is 0x00RRGGBB.
std::vector<TColourRun> FindColourRuns(const uint8_t* firstRow, int width, int height, ptrdiff_t stride,
                                       uint32_t transparent);

// A rectangle of a region, right and bottom exclusive.
struct TRegionRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    friend bool operator==(const TRegionRect&, const TRegionRect&) = default;
};

// The same area as the union of `runs` (in the row order FindColourRuns gives) in far fewer
// rectangles: touching runs of a row become one, and rows of equal spans one band. The
// system unites the rectangles of a region one by one, so their count sets its cost.
std::vector<TRegionRect> RegionRects(const std::vector<TColourRun>& runs);
