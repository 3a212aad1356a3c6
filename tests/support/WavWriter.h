#pragma once
// WAV files for tests: PCM 8/16/24/32-bit, 32-bit float and WAVE_FORMAT_EXTENSIBLE.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pvltest {

struct TWavSpec {
    uint32_t SampleRate = 44100;
    uint16_t Channels = 2;
    uint16_t Bits = 16;
    bool Float = false;
    bool Extensible = false;     // WAVE_FORMAT_EXTENSIBLE header with a channel mask
    uint32_t ChannelMask = 0;    // 0: the usual mask for the channel count
    double Seconds = 1.0;
};

// A sample value in -1..1 for frame `frame` of channel `channel`.
using TSampleFunction = std::function<double(uint32_t frame, uint16_t channel)>;

// A sine of `hz` at `amplitude` (0..1) on every channel.
TSampleFunction Sine(double hz, double amplitude, uint32_t sampleRate);

std::vector<uint8_t> MakeWav(const TWavSpec& spec, const TSampleFunction& sample);
void WriteWav(const std::string& fileName, const TWavSpec& spec, const TSampleFunction& sample);

}  // namespace pvltest
