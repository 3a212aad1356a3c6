#pragma once
// Small numeric routines of the visualisation and the offsets of outlined text.
#include "framework/Types.h"

#include <cstdint>
#include <vector>

// The length of the complex value a + bi.
float ComplexMagnitude(float a, float b);
// The three low bytes of v in memory order as byte 0 + byte 1 * 256 + byte 2 * 65536.
int32_t RGBTripleToColor(uint32_t v);
// x limited to 0..65535.
int32_t ClampWord(int32_t x);
// First-order pre-emphasis y[i] = x[i] - k * x[i-1] over the `count` values at the even
// positions of an interleaved buffer (which holds at least 2 * count - 1 values); y[0] = x[0].
void PreEmphasis(float* buffer, int count, float k);
// Where outlined text is drawn around its corner: for each radius 1..radius and each whole
// angle 1..360 radians the rounded offset, each distinct offset once, in the order found.
std::vector<TPoint> OutlineOffsets(int radius);
