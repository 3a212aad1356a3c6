#pragma once
// What the native and the Wine benchmarks share: the FFT input, the 16-bit stereo audio at
// 44.1 kHz, and the chain set up with the equaliser (alone or with every other stage).
#include "DSFilters/PvlEqCore.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace dspbench {

inline constexpr int FFTPoints = 1024;
// Transforms between two refills of the input: the unscaled forward transform grows the
// values by about 32 each time, far from overflow after this many.
inline constexpr int FFTBatch = 16;

// Random complex values in [-1, 1), FFTPoints of them.
std::vector<TComplexSingle> FFTInput();

inline constexpr int ChainFrequency = 44100;
inline constexpr int ChainChannels = 2;
inline constexpr int ChainBits = 16;
// One second of music-like 16-bit stereo: a few tones and some noise at about -12 dBFS.
std::vector<int16_t> ChainInput();

// A chain with the equaliser on a "Rock"-shaped table; every stage on when allStages.
std::unique_ptr<TPvlSPChain> MakeChain(bool allStages);

}  // namespace dspbench
