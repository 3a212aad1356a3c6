#include "tests/support/WavWriter.h"

#include "tests/support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pvltest {

TSampleFunction Sine(double hz, double amplitude, uint32_t sampleRate)
{
    return [=](uint32_t frame, uint16_t) {
        return amplitude * std::sin(2.0 * std::numbers::pi * hz * frame / sampleRate);
    };
}

std::vector<uint8_t> MakeWav(const TWavSpec& spec, const TSampleFunction& sample)
{
    const uint32_t frames = static_cast<uint32_t>(std::lround(spec.Seconds * spec.SampleRate));
    const uint16_t blockAlign = static_cast<uint16_t>(spec.Channels * spec.Bits / 8);
    TByteWriter data;
    data.Bytes.reserve(static_cast<size_t>(frames) * blockAlign);
    for (uint32_t f = 0; f < frames; ++f) {
        for (uint16_t c = 0; c < spec.Channels; ++c) {
            const double v = std::clamp(sample(f, c), -1.0, 1.0);
            if (spec.Float) {
                data.F32(static_cast<float>(v));
                continue;
            }
            switch (spec.Bits) {
            case 8: data.U8(static_cast<uint8_t>(std::lround(v * 127.0) + 128)); break;
            case 16: data.U16(static_cast<uint16_t>(static_cast<int16_t>(std::lround(v * 32767.0)))); break;
            case 24: {
                const int32_t s = static_cast<int32_t>(std::lround(v * 8388607.0));
                data.U8(static_cast<uint8_t>(s)).U8(static_cast<uint8_t>(s >> 8)).U8(static_cast<uint8_t>(s >> 16));
                break;
            }
            default: data.U32(static_cast<uint32_t>(static_cast<int32_t>(std::llround(v * 2147483647.0)))); break;
            }
        }
    }
    static const uint32_t masks[] = {0, 0x4, 0x3, 0x7, 0x33, 0x37, 0x3F, 0x13F, 0x63F};
    const uint16_t tag = spec.Extensible ? 0xFFFE : spec.Float ? 3 : 1;
    TByteWriter fmt;
    fmt.U16(tag).U16(spec.Channels).U32(spec.SampleRate).U32(spec.SampleRate * blockAlign).U16(blockAlign).U16(spec.Bits);
    if (spec.Extensible) {
        const uint32_t mask = spec.ChannelMask ? spec.ChannelMask : (spec.Channels < 9 ? masks[spec.Channels] : 0);
        // KSDATAFORMAT_SUBTYPE_PCM / _IEEE_FLOAT: {0000000x-0000-0010-8000-00AA00389B71}
        fmt.U16(22).U16(spec.Bits).U32(mask).U32(spec.Float ? 3 : 1).U16(0x0000).U16(0x0010);
        for (const uint8_t b : {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71})
            fmt.U8(b);
    }
    TByteWriter wave;
    wave.Text("WAVE").Chunk("fmt ", fmt.Bytes).Chunk("data", data.Bytes);
    TByteWriter riff;
    riff.Chunk("RIFF", wave.Bytes);
    return riff.Bytes;
}

void WriteWav(const std::string& fileName, const TWavSpec& spec, const TSampleFunction& sample)
{
    WriteAll(fileName, MakeWav(spec, sample));
}

}  // namespace pvltest
