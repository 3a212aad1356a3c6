#pragma once
// 32-bit ARGB colour values, the rectangle helpers of the bitmap library and the small 32-bit
// memory and arithmetic routines its drawing code is built on.
#include "framework/Types.h"

#include <cstdint>
#include <vector>

// 0xAARRGGBB; in memory a pixel is the little-endian word B, G, R, A. Alpha 255 is opaque.
using TColor32 = uint32_t;
using TArrayOfColor32 = std::vector<TColor32>;

constexpr TColor32 MakeColor32(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255)
{
    return static_cast<TColor32>(a) << 24 | static_cast<TColor32>(r) << 16 | static_cast<TColor32>(g) << 8 | b;
}
constexpr uint8_t AlphaComponent(TColor32 c) { return static_cast<uint8_t>(c >> 24); }
constexpr uint8_t RedComponent(TColor32 c) { return static_cast<uint8_t>(c >> 16); }
constexpr uint8_t GreenComponent(TColor32 c) { return static_cast<uint8_t>(c >> 8); }
constexpr uint8_t BlueComponent(TColor32 c) { return static_cast<uint8_t>(c); }

// A class-library colour as an opaque TColor32; system colours are looked up first.
TColor32 ColorToColor32(TColor color);
// The platform's current RGB (0x00BBGGRR) of a system colour index (platform part).
uint32_t SystemColorRGB(int index);

constexpr TPoint MakePoint(int32_t x, int32_t y) { return TPoint(x, y); }
constexpr TRect MakeRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    return TRect(left, top, right, bottom);
}
// The common part of r1 and r2 in dst; false (and dst all zero) when they do not meet.
bool IntersectRects(TRect& dst, const TRect& r1, const TRect& r2);
void ShiftRect(TRect& r, int dx, int dy);
constexpr bool RectIsEmpty(const TRect& r) { return r.right <= r.left || r.bottom <= r.top; }
constexpr bool PointInRect32(const TRect& r, const TPoint& p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

void FillLongwords(TColor32* dst, int count, TColor32 value);
void MoveLongwords(const TColor32* src, TColor32* dst, int count);
constexpr int ClampToRange(int value, int min, int max) { return value < min ? min : value > max ? max : value; }
// a * b / c over a 64-bit product, rounded half away from zero; -1 when the result does not
// fit in 31 bits or c is 0.
int MulDivRounded(int a, int b, int c);
// Rounds half to even, as the library's Round does.
int Round(double value);

// Made at start-up from gamma 0.7: entry i = Round(255 * (i / 255)^gamma).
extern uint8_t GAMMA_TABLE[256];
void BuildGammaTable(float gamma);
