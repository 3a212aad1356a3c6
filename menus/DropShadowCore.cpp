#include "DropShadowCore.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

const TDarkenTable& DarkenTable()
{
    static const TDarkenTable table = [] {
        TDarkenTable t{};
        for (int v = 0; v < 256; ++v) {
            for (int k = 1; k <= 9; ++k)
                t[v][k - 1] = static_cast<uint8_t>(std::lround(v * k / 9.0));
            t[v][9] = static_cast<uint8_t>(v);
        }
        return t;
    }();
    return table;
}

std::array<int, 4> Vertical98Fractions(int row, int height)
{
    const int fromEnd = std::min(row, height - 1 - row);
    switch (fromEnd) {
    case 0: return {8, 8, 8, 9};
    case 1: return {7, 7, 8, 8};
    case 2: return {6, 6, 7, 8};
    default: return {5, 6, 7, 8};
    }
}

std::array<int, 4> Horizontal98Corner(int row)
{
    // From the row next to the menu outward.
    static const std::array<std::array<int, 4>, 4> corner = {{{8, 7, 6, 5}, {8, 7, 6, 6}, {8, 8, 7, 7}, {9, 8, 8, 8}}};
    return corner[static_cast<size_t>(std::clamp(row, 0, 3))];
}

int Horizontal98Fraction(int row) { return 5 + std::clamp(row, 0, 3); }

void DarkenVertical98(uint8_t* bits, int height, int stride)
{
    const TDarkenTable& t = DarkenTable();
    for (int y = 0; y < height; ++y) {
        const auto f = Vertical98Fractions(y, height);
        uint8_t* p = bits + static_cast<ptrdiff_t>(y) * stride;
        for (int x = 0; x < 4; ++x)
            for (int c = 0; c < 3; ++c)
                p[x * 3 + c] = t[p[x * 3 + c]][f[static_cast<size_t>(x)] - 1];
    }
}

void DarkenHorizontal98(uint8_t* bits, int width, int stride)
{
    for (int row = 0; row < Shadow98Thickness; ++row) {
        uint8_t* p = bits + static_cast<ptrdiff_t>(row) * stride;
        const auto corner = Horizontal98Corner(row);
        for (int x = 0; x < std::min(width, 4); ++x)
            for (int c = 0; c < 3; ++c)
                p[x * 3 + c] = DarkenTable()[p[x * 3 + c]][corner[static_cast<size_t>(x)] - 1];
        const int k = Horizontal98Fraction(row);
        for (int i = 12; i < width * 3; ++i)
            p[i] = static_cast<uint8_t>(p[i] / 9 * k);
    }
}

const TCornerBlock ShadowCornerA = {{{3, 1, 0, 0, 0}, {13, 10, 6, 3, 0}, {39, 28, 13, 5, 1}, {77, 57, 28, 10, 2},
                                     {100, 75, 38, 13, 3}}};
const TCornerBlock ShadowCornerB = {{{100, 75, 38, 13, 3}, {77, 57, 28, 10, 2}, {39, 28, 13, 5, 1},
                                     {13, 10, 6, 3, 0}, {3, 1, 0, 0, 0}}};
const TCornerBlock ShadowCornerH = {{{0, 0, 0, 1, 3}, {0, 3, 6, 10, 13}, {1, 5, 13, 28, 39}, {2, 10, 28, 57, 77},
                                     {3, 13, 38, 75, 100}}};
const std::array<uint8_t, 5> ShadowEdgeV = {114, 87, 43, 13, 4};
const std::array<uint8_t, 5> ShadowEdgeH = {4, 13, 43, 87, 114};

uint32_t PremultipliedPixel(uint32_t color, uint8_t alpha)
{
    auto scale = [alpha](uint32_t c) { return static_cast<uint32_t>(std::lround((c & 0xFF) * alpha / 255.0)); };
    const uint32_t r = scale(color), g = scale(color >> 8), b = scale(color >> 16);
    return b | (g << 8) | (r << 16) | (static_cast<uint32_t>(alpha) << 24);
}

std::vector<uint32_t> VerticalShadow2000(uint32_t color, int height)
{
    if (height < 11)
        return {};
    std::vector<uint32_t> pixels(static_cast<size_t>(height) * 5);
    for (int row = 0; row < height; ++row) {
        const uint8_t* alphas = row < 5 ? ShadowCornerA[static_cast<size_t>(row)].data()
                              : row >= height - 5 ? ShadowCornerB[static_cast<size_t>(row - (height - 5))].data()
                                                  : ShadowEdgeV.data();
        for (int x = 0; x < 5; ++x)
            pixels[static_cast<size_t>(row) * 5 + static_cast<size_t>(x)] = PremultipliedPixel(color, alphas[x]);
    }
    return pixels;
}

std::vector<uint32_t> HorizontalShadow2000(uint32_t color, int width)
{
    if (width < 6)
        return {};
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * 5);
    // Row 0 lies next to the menu: it takes the strongest alpha and the corner block's last row.
    for (int row = 0; row < 5; ++row) {
        const auto& corner = ShadowCornerH[static_cast<size_t>(4 - row)];
        const uint8_t edge = ShadowEdgeH[static_cast<size_t>(4 - row)];
        for (int x = 0; x < width; ++x)
            pixels[static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                PremultipliedPixel(color, x < 5 ? corner[static_cast<size_t>(x)] : edge);
    }
    return pixels;
}

TRect SnapshotBounds(int x, int y, int w, int h)
{
    return {x - SnapshotMargin, y - SnapshotMargin, x + w + SnapshotMargin, y + h + SnapshotMargin};
}

int TSnapshotList::Find(int x, int y, int w, int h) const
{
    for (int i = Count() - 1; i >= 0; --i) {
        const TRect& b = FEntries[static_cast<size_t>(i)].Bounds;
        if (b.left <= x && b.top <= y && b.right >= x + w && b.bottom >= y + h)
            return i;
    }
    return -1;
}

int TSnapshotList::Add(int x, int y, int w, int h, bool keep)
{
    FEntries.push_back({SnapshotBounds(x, y, w, h), !keep});
    return Count() - 1;
}

std::vector<int> TSnapshotList::Older(int index) const
{
    std::vector<int> older;
    for (int i = 0; i < std::min(index, Count()); ++i)
        older.push_back(i);
    return older;
}

void TSnapshotList::Invalidate(int x, int y, int w, int h)
{
    const TRect b = SnapshotBounds(x, y, w, h);
    for (TSnapshotEntry& e : FEntries)
        if (e.Bounds.left == b.left && e.Bounds.top == b.top && e.Bounds.right == b.right && e.Bounds.bottom == b.bottom)
            e.Temporary = true;
}

void TSnapshotList::Remove(int index)
{
    if (index >= 0 && index < Count())
        FEntries.erase(FEntries.begin() + index);
}
