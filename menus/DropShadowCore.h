#pragma once
// What the drop shadows compute without a window: the darkening table and fractions of the
// copied-desktop ("98") style, the alpha tables of the layered ("2000") style with their
// premultiplied pixels, and the snapshot list of the desktop cache (which copy serves a request).
#include "framework/Types.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int Shadow98Thickness = 4;
constexpr int Shadow2000Thickness = 5;

// Row v: Round(v * k / 9) for k = 1..9, then v.
using TDarkenTable = std::array<std::array<uint8_t, 10>, 256>;
const TDarkenTable& DarkenTable();

// The ninths of the four pixels of a vertical 98-style row, from the menu edge outward.
std::array<int, 4> Vertical98Fractions(int row, int height);
// The ninths of the four corner pixels of a horizontal 98-style row (row 0 next to the menu),
// and the fraction of the rest of that row.
std::array<int, 4> Horizontal98Corner(int row);
int Horizontal98Fraction(int row);
// Darkens a 24-bit strip in place: vertical (4 pixels a row, rows top-down) or horizontal
// (thickness rows of width pixels, row 0 next to the menu); stride in bytes.
void DarkenVertical98(uint8_t* bits, int height, int stride);
void DarkenHorizontal98(uint8_t* bits, int width, int stride);

// The 2000 style's alphas: a 5 x 5 corner block row by row, and the edge runs.
using TCornerBlock = std::array<std::array<uint8_t, 5>, 5>;
extern const TCornerBlock ShadowCornerA, ShadowCornerB, ShadowCornerH;
extern const std::array<uint8_t, 5> ShadowEdgeV, ShadowEdgeH;
// A premultiplied BGRA pixel of the colour (0x00BBGGRR) at the alpha.
uint32_t PremultipliedPixel(uint32_t color, uint8_t alpha);
// The stored (bottom-up) pixels of a vertical strip of the given height, 5 wide; empty below 11.
std::vector<uint32_t> VerticalShadow2000(uint32_t color, int height);
// The stored pixels of a horizontal strip, 5 rows of that width (row 0 nearest the menu);
// empty below 6.
std::vector<uint32_t> HorizontalShadow2000(uint32_t color, int width);

// ---- Desktop snapshots ----
constexpr int SnapshotMargin = 20;
TRect SnapshotBounds(int x, int y, int w, int h);

struct TSnapshotEntry {
    TRect Bounds;
    bool Temporary = false;
};

// The list of the desktop cache: newest last.
class TSnapshotList {
public:
    // The newest snapshot whose bounds hold the rectangle, or -1.
    int Find(int x, int y, int w, int h) const;
    // Adds a snapshot of the rectangle (with its margin); answers its index.
    int Add(int x, int y, int w, int h, bool keep);
    // Older snapshots to copy into a new one, in order (so the later ones win).
    std::vector<int> Older(int index) const;
    void Invalidate(int x, int y, int w, int h);
    void Remove(int index);
    void Clear() { FEntries.clear(); }
    int Count() const { return static_cast<int>(FEntries.size()); }
    const TSnapshotEntry& At(int index) const { return FEntries.at(static_cast<size_t>(index)); }

private:
    std::vector<TSnapshotEntry> FEntries;
};
