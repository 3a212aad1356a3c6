#pragma once
// Constants shared by the transform and its users.
#include <cstdint>

// Transform sizes: 2 to the power (ordinal + 1) points.
enum TDCFFTSize : uint8_t {
    fts2, fts4, fts8, fts16, fts32, fts64, fts128, fts256, fts512, fts1024, fts2048, fts4096, fts8192
};

inline constexpr int FFTSizeCount = 13;
inline constexpr int FFTMaxSize = 8192;

inline constexpr int FFTSizeOf(TDCFFTSize size) { return 1 << (static_cast<int>(size) + 1); }
