#pragma once
// Shared between the transform's driver and its kernel variants; not for other units.
#include "DSFilters/dspFastFourier.h"

namespace fftkernels {

// √½, cos(π/8) and sin(π/8) as singles: the constants of sizes 8 and 16, and w(N/8).
inline constexpr float Sqrt1_2 = 0.70710677f;
inline constexpr float CosPi8 = 0.9238795f;
inline constexpr float SinPi8 = 0.38268343f;

constexpr int Ordinal(int size)
{
    int ordinal = 0;
    while ((2 << ordinal) < size)
        ++ordinal;
    return ordinal;
}

// w(k) = (cos 2πk/N, sin 2πk/N) for 0 < k < N/4 from the size's table: a quarter circle up to
// 512 points, an eighth from 1024 on, whose upper half is the lower one with cos and sin swapped.
inline TComplexSingle Twiddle(const TComplexSingle* table, int size, int k)
{
    if (size <= 512)
        return table[k - 1];
    const int eighth = size / 8;
    if (k < eighth)
        return table[k - 1];
    if (k == eighth)
        return {Sqrt1_2, Sqrt1_2};
    const TComplexSingle mirrored = table[size / 4 - k - 1];
    return {mirrored.Im, mirrored.Re};
}

// The base twiddle table of a size (empty below 32); built before the variants are prepared.
const TComplexSingle* TwiddleData(int size);
// Entry p: the natural bin at kernel-order position p (the order table inverted).
const uint16_t* NaturalData(int size);

extern const TFFTVariant X87Variant;
#if defined(__SSE__)
extern const TFFTVariant SSEVariant;
#endif
#if defined(__i386__) || defined(__x86_64__)
extern const TFFTVariant AVXVariant;
#endif

}  // namespace fftkernels
