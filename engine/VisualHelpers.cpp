#include "VisualHelpers.h"

#include <algorithm>
#include <cmath>

float ComplexMagnitude(float a, float b)
{
    const double x = a;
    const double y = b;
    return static_cast<float>(std::sqrt(x * x + y * y));
}

int32_t RGBTripleToColor(uint32_t v)
{
    return static_cast<int32_t>((v & 0xFF) + ((v >> 8) & 0xFF) * 256 + ((v >> 16) & 0xFF) * 65536);
}

int32_t ClampWord(int32_t x)
{
    return std::clamp(x, 0, 65535);
}

void PreEmphasis(float* buffer, int count, float k)
{
    if (!buffer || count < 2)
        return;
    float previous = buffer[0];
    for (int i = 1; i < count; ++i) {
        const float x = buffer[2 * i];
        buffer[2 * i] = x - k * previous;
        previous = x;
    }
}

std::vector<TPoint> OutlineOffsets(int radius)
{
    std::vector<TPoint> offsets;
    for (int r = 1; r <= radius; ++r)
        for (int k = 1; k <= 360; ++k) {
            // nearbyint rounds halves to even under the default rounding mode.
            const TPoint p(static_cast<int32_t>(std::nearbyint(r * std::cos(static_cast<double>(k)))),
                           static_cast<int32_t>(std::nearbyint(r * std::sin(static_cast<double>(k)))));
            if (std::find(offsets.begin(), offsets.end(), p) == offsets.end())
                offsets.push_back(p);
        }
    return offsets;
}
