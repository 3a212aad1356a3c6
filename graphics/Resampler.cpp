#include "graphics/Resampler.h"

#include "graphics/Blend.h"
#include "graphics/Transforms.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

double Box(double x)
{
    return x > -0.5 && x <= 0.5 ? 1.0 : 0.0;
}

double Triangle(double x)
{
    if (x >= -1.0 && x < 0.0)
        return 1.0 + x;
    if (x >= 0.0 && x < 1.0)
        return 1.0 - x;
    return 0.0;
}

double CubicSpline(double x)
{
    const double a = std::fabs(x);
    if (a < 1.0)
        return 0.5 * a * a * a - x * x + 2.0 / 3.0;
    if (a < 2.0) {
        const double t = 2.0 - a;
        return t * t * t / 6.0;
    }
    return 0.0;
}

double Sinc(double x)
{
    if (x == 0.0)
        return 1.0;
    const double px = std::numbers::pi * x;
    return std::sin(px) / px;
}

double Lanczos3(double x)
{
    const double a = std::fabs(x);
    return a < 3.0 ? Sinc(a) * Sinc(a / 3.0) : 0.0;
}

// Mitchell-Netravali with B = C = 1/3.
double Mitchell(double x)
{
    const double a = std::fabs(x);
    if (a < 1.0)
        return (7.0 * a * a * a - 12.0 * x * x + 16.0 / 3.0) / 6.0;
    if (a < 2.0)
        return (-7.0 / 3.0 * a * a * a + 12.0 * x * x - 20.0 * a + 32.0 / 3.0) / 6.0;
    return 0.0;
}

constexpr TFilterKernel kKernels[] = {
    {Box, 1.0}, {Triangle, 1.0}, {CubicSpline, 2.0}, {Lanczos3, 3.0}, {Mitchell, 2.0},
};

bool HasNegativeLobes(TStretchFilter filter)
{
    return filter == sfLanczos || filter == sfMitchell;
}

}  // namespace

const TFilterKernel& KernelOf(TStretchFilter filter)
{
    return kKernels[filter];
}

TMappingTable BuildMappingTable(int dstLo, int dstHi, int clipLo, int clipHi, int srcLo, int srcHi,
                                TStretchFilter filter)
{
    TMappingTable table;
    const int srcSize = srcHi - srcLo;
    const int dstSize = dstHi - dstLo;
    if (srcSize <= 0 || clipHi <= clipLo)
        return table;
    const auto clamp = [&](int position) { return std::clamp(position, srcLo, srcHi - 1); };
    auto single = [&](int position) {
        for (int i = clipLo; i < clipHi; ++i) {
            table.First.push_back(static_cast<int>(table.Pairs.size()));
            table.Pairs.push_back({position, 256});
        }
        table.First.push_back(static_cast<int>(table.Pairs.size()));
    };
    if (srcSize == 1) {
        single(srcLo);
        return table;
    }
    const double scale = FullEdge ? static_cast<double>(dstSize) / srcSize
                                  : static_cast<double>(dstSize - 1) / (srcSize - 1);
    if (scale == 0.0) {
        single((srcLo + srcHi) / 2);
        return table;
    }
    const TFilterKernel& kernel = KernelOf(filter);
    const bool reducing = scale < 1.0;
    const double radius = reducing ? kernel.Radius / scale : kernel.Radius;
    table.First.reserve(static_cast<size_t>(clipHi - clipLo) + 1);
    for (int i = clipLo; i < clipHi; ++i) {
        const double center = FullEdge ? (i - dstLo + 0.5) / scale + srcLo - 0.5 : (i - dstLo) / scale + srcLo;
        const size_t first = table.Pairs.size();
        table.First.push_back(static_cast<int>(first));
        int sum = 0;
        const int lo = static_cast<int>(std::floor(center - radius));
        const int hi = static_cast<int>(std::ceil(center + radius));
        for (int j = lo; j <= hi; ++j) {
            const int weight = reducing ? Round(kernel.Function((center - j) * scale) * 256.0 * scale)
                                        : Round(kernel.Function(center - j) * 256.0);
            if (weight == 0)
                continue;
            table.Pairs.push_back({clamp(j), weight});
            sum += weight;
        }
        const size_t count = table.Pairs.size() - first;
        if (count == 0)
            table.Pairs.push_back({clamp(static_cast<int>(std::floor(center))), 256});
        else if (sum != 256)
            table.Pairs[first + (count - 1) / 2].Weight += 256 - sum;
    }
    table.First.push_back(static_cast<int>(table.Pairs.size()));
    return table;
}

void StretchResample(TCustomBitmap32* dst, const TRect& dstRect, const TRect& clip, const TCustomBitmap32* src,
                     const TRect& srcRect, TStretchFilter filter, TDrawMode drawMode,
                     const TPixelCombineEvent& combine)
{
    // A bitmap resampled onto itself reads from a copy.
    TCustomBitmap32 copy;
    if (src == dst) {
        copy.Assign(*src);
        src = &copy;
    }
    const TMappingTable columns =
        BuildMappingTable(dstRect.left, dstRect.right, clip.left, clip.right, srcRect.left, srcRect.right, filter);
    const TMappingTable lines =
        BuildMappingTable(dstRect.top, dstRect.bottom, clip.top, clip.bottom, srcRect.top, srcRect.bottom, filter);
    if (columns.Count() == 0 || lines.Count() == 0)
        return;
    const int firstColumn = columns.Begin(0)->Position;
    const int lastColumn = (columns.End(columns.Count() - 1) - 1)->Position;
    const int span = (lastColumn - firstColumn + 1) * 4;
    std::vector<int32_t> sums(static_cast<size_t>(span));
    const int width = clip.Width();
    std::vector<TColor32> row(static_cast<size_t>(width));
    const bool clampSums = HasNegativeLobes(filter);

    for (int y = 0; y < lines.Count(); ++y) {
        // Vertical pass: the four channels of every needed source column, weighted over the line's list.
        std::fill(sums.begin(), sums.end(), 0);
        for (const TMappingTable::TPair* p = lines.Begin(y); p != lines.End(y); ++p) {
            const uint8_t* bytes = reinterpret_cast<const uint8_t*>(src->PixelPtr(firstColumn, p->Position));
            const int32_t weight = p->Weight;
            int32_t* sum = sums.data();
            for (int i = 0; i < span; ++i)
                sum[i] += bytes[i] * weight;
        }
        // Horizontal pass: each channel ends in bits 16..23.
        for (int x = 0; x < width; ++x) {
            int32_t b = 0, g = 0, r = 0, a = 0;
            for (const TMappingTable::TPair* p = columns.Begin(x); p != columns.End(x); ++p) {
                const int32_t* s = sums.data() + (p->Position - firstColumn) * 4;
                b += s[0] * p->Weight;
                g += s[1] * p->Weight;
                r += s[2] * p->Weight;
                a += s[3] * p->Weight;
            }
            if (clampSums) {
                b = std::clamp(b, 0, 0xFF0000);
                g = std::clamp(g, 0, 0xFF0000);
                r = std::clamp(r, 0, 0xFF0000);
                a = std::clamp(a, 0, 0xFF0000);
            }
            row[x] = static_cast<TColor32>(a & 0xFF0000) << 8 | static_cast<TColor32>(r & 0xFF0000) |
                     static_cast<TColor32>(g & 0xFF0000) >> 8 | static_cast<TColor32>(b & 0xFF0000) >> 16;
        }
        TColor32* out = dst->PixelPtr(clip.left, clip.top + y);
        if (drawMode == dmBlend)
            BlendFunctionTable.BlendLineMaster(row.data(), out, width, src->MasterAlpha());
        else
            CombineRow(row.data(), out, width, drawMode, src->MasterAlpha(), combine);
    }
}
