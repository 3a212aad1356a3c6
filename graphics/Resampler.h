#pragma once
// The separable kernel resampler: per-axis mapping tables of 8.8 fixed-point weights built
// from the filter kernels, then a vertical and a horizontal integer pass.
#include "graphics/Bitmap32Core.h"

#include <vector>

struct TFilterKernel {
    double (*Function)(double x);
    double Radius;
};
// Box, triangle, cubic spline, Lanczos-3 and Mitchell, indexed by TStretchFilter.
const TFilterKernel& KernelOf(TStretchFilter filter);

// For each destination pixel of the clipped range a list of (source position, weight) pairs;
// the weights of a list sum to 256.
struct TMappingTable {
    struct TPair {
        int Position;
        int Weight;
    };
    std::vector<int> First;  // pairs of destination i are Pairs[First[i]] .. Pairs[First[i + 1] - 1]
    std::vector<TPair> Pairs;

    int Count() const { return First.empty() ? 0 : static_cast<int>(First.size()) - 1; }
    const TPair* Begin(int i) const { return Pairs.data() + First[i]; }
    const TPair* End(int i) const { return Pairs.data() + First[i + 1]; }
};

TMappingTable BuildMappingTable(int dstLo, int dstHi, int clipLo, int clipHi, int srcLo, int srcHi,
                                TStretchFilter filter);

void StretchResample(TCustomBitmap32* dst, const TRect& dstRect, const TRect& clip, const TCustomBitmap32* src,
                     const TRect& srcRect, TStretchFilter filter, TDrawMode drawMode,
                     const TPixelCombineEvent& combine);
