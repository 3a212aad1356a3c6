#include "graphics/Color32.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

uint8_t GAMMA_TABLE[256];

namespace {
struct TGammaStartUp {
    TGammaStartUp() { BuildGammaTable(0.7f); }
} gammaStartUp;
}

TColor32 ColorToColor32(TColor color)
{
    uint32_t rgb = static_cast<uint32_t>(color);
    if (color < 0)
        rgb = SystemColorRGB(color & 0xFF);
    // 0x00BBGGRR -> 0xFFRRGGBB
    return 0xFF000000u | (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
}

bool IntersectRects(TRect& dst, const TRect& r1, const TRect& r2)
{
    const TRect r(std::max(r1.left, r2.left), std::max(r1.top, r2.top), std::min(r1.right, r2.right),
                  std::min(r1.bottom, r2.bottom));
    if (r.right >= r.left && r.bottom >= r.top) {
        dst = r;
        return true;
    }
    dst = TRect();
    return false;
}

void ShiftRect(TRect& r, int dx, int dy)
{
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
}

void FillLongwords(TColor32* dst, int count, TColor32 value)
{
    if (count > 0)
        std::fill_n(dst, count, value);
}

void MoveLongwords(const TColor32* src, TColor32* dst, int count)
{
    if (src != dst && count > 0)
        std::memmove(dst, src, static_cast<size_t>(count) * sizeof(TColor32));
}

int MulDivRounded(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const uint64_t product = static_cast<uint64_t>(std::llabs(a)) * static_cast<uint64_t>(std::llabs(b));
    const uint64_t divisor = static_cast<uint64_t>(std::llabs(c));
    uint64_t quotient = product / divisor;
    if ((product % divisor) * 2 >= divisor)
        ++quotient;
    if (quotient > 0x7FFFFFFF)
        return -1;
    const bool negative = ((a < 0) != (b < 0)) != (c < 0);
    return negative ? -static_cast<int>(quotient) : static_cast<int>(quotient);
}

int Round(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

void BuildGammaTable(float gamma)
{
    for (int i = 0; i < 256; ++i)
        GAMMA_TABLE[i] = static_cast<uint8_t>(Round(255.0 * std::pow(i / 255.0, static_cast<double>(gamma))));
}
