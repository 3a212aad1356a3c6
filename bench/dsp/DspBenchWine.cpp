// Our FFT variants and the processing chain under Wine (the Windows build), with the small
// harness: 1024-point forward transforms and 16-bit stereo 44.1 kHz with the equaliser on.
#include "bench/dsp/DspBenchCommon.h"
#include "bench/support/Harness.h"

#include "DSFilters/dspFastFourier.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

int main()
{
    const std::vector<TComplexSingle> input = dspbench::FFTInput();
    TAlignedBlock buffer(dspbench::FFTPoints * sizeof(TComplexSingle));
    TAlignedBlock work(dspbench::FFTPoints * sizeof(TComplexSingle));
    auto* data = buffer.As<TComplexSingle>();
    for (const TFFTVariant* variant : FFTVariants()) {
        for (bool reOrder : {false, true}) {
            const std::string name = std::string("FFT1024/ours-") + variant->Name + (reOrder ? "-natural" : "-kernel");
            // The refill every FFTBatch transforms is counted; it costs well under 1%.
            pvlbench::Measure(name, [&](long iterations) {
                for (long i = 0; i < iterations; ++i) {
                    if (i % dspbench::FFTBatch == 0)
                        std::memcpy(data, input.data(), input.size() * sizeof(TComplexSingle));
                    DoFFTWith(*variant, data, dspbench::FFTPoints, false, false, reOrder, work.Data());
                }
                pvlbench::DoNotOptimize(data[0]);
            });
        }
    }

    const std::vector<int16_t> audio = dspbench::ChainInput();
    std::vector<int16_t> block(audio.size());
    for (bool allStages : {false, true}) {
        auto chain = dspbench::MakeChain(allStages);
        const auto bytes = static_cast<int32_t>(block.size() * sizeof(int16_t));
        // One second of audio per iteration, its refill included.
        const pvlbench::TResult result = pvlbench::Measure(
            allStages ? "Chain/all-stages-16bit-stereo-44k1" : "Chain/equalizer-16bit-stereo-44k1", [&](long iterations) {
                for (long i = 0; i < iterations; ++i) {
                    std::copy(audio.begin(), audio.end(), block.begin());
                    chain->ProcessBlock(block.data(), bytes, dspbench::ChainFrequency, dspbench::ChainBits,
                                        dspbench::ChainChannels, false);
                }
                pvlbench::DoNotOptimize(block[0]);
            });
        std::printf("%-48s %12.0f x real time\n", "", 1e9 / result.NsPerIteration);
    }
    return 0;
}
