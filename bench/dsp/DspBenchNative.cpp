// 1024-point complex single-precision forward FFT: each of our variants beside FFTW 3
// (fftwf, FFTW_MEASURE) and KissFFT, on the same aligned buffer in the same process; then the
// processing chain with the equaliser on 16-bit stereo at 44.1 kHz as a real-time factor.
#include "bench/dsp/DspBenchCommon.h"

#include "DSFilters/dspFastFourier.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>
#include <kiss_fft.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// One buffer for every contender, aligned as FFTW likes it (which is more than our 16 bytes).
struct TSharedBuffer {
    TSharedBuffer() : Data(static_cast<TComplexSingle*>(fftwf_malloc(sizeof(TComplexSingle) * dspbench::FFTPoints))) {}
    ~TSharedBuffer() { fftwf_free(Data); }
    TComplexSingle* Data;
};

TSharedBuffer& Buffer()
{
    static TSharedBuffer buffer;
    return buffer;
}

// Times FFTBatch transforms per iteration after refilling the input outside the clock.
template <class Transform>
void TimeBatches(benchmark::State& state, Transform&& transform)
{
    static const std::vector<TComplexSingle> input = dspbench::FFTInput();
    for (auto _ : state) {
        std::memcpy(Buffer().Data, input.data(), input.size() * sizeof(TComplexSingle));
        const auto start = Clock::now();
        for (int i = 0; i < dspbench::FFTBatch; ++i)
            transform();
        benchmark::ClobberMemory();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count() / dspbench::FFTBatch);
    }
}

void OurFFT(benchmark::State& state, const TFFTVariant* variant, bool reOrder)
{
    TAlignedBlock work(dspbench::FFTPoints * sizeof(TComplexSingle));
    TimeBatches(state, [&] { DoFFTWith(*variant, Buffer().Data, dspbench::FFTPoints, false, false, reOrder, work.Data()); });
}

// FFTW picks its best codelets for the machine (AVX where the processor has it); with
// noSIMD it is held to scalar code, for comparison with our scalar variant.
void FFTWFFT(benchmark::State& state, bool noSIMD)
{
    auto* data = reinterpret_cast<fftwf_complex*>(Buffer().Data);
    fftwf_plan plan = fftwf_plan_dft_1d(dspbench::FFTPoints, data, data, FFTW_FORWARD,
                                        FFTW_MEASURE | (noSIMD ? FFTW_NO_SIMD : 0u));
    TimeBatches(state, [&] { fftwf_execute(plan); });
    fftwf_destroy_plan(plan);
}

void KissFFT(benchmark::State& state)
{
    kiss_fft_cfg config = kiss_fft_alloc(dspbench::FFTPoints, 0, nullptr, nullptr);
    std::vector<kiss_fft_cpx> other(dspbench::FFTPoints);
    auto* in = reinterpret_cast<kiss_fft_cpx*>(Buffer().Data);
    auto* out = other.data();
    // Out of place, as the library works; the two buffers take turns.
    TimeBatches(state, [&] {
        kiss_fft(config, in, out);
        std::swap(in, out);
    });
    kiss_fft_free(config);
}

void Chain(benchmark::State& state, bool allStages)
{
    const std::vector<int16_t> input = dspbench::ChainInput();
    std::vector<int16_t> block(input.size());
    auto chain = dspbench::MakeChain(allStages);
    const auto bytes = static_cast<int32_t>(block.size() * sizeof(int16_t));
    for (auto _ : state) {
        state.PauseTiming();
        std::copy(input.begin(), input.end(), block.begin());
        state.ResumeTiming();
        chain->ProcessBlock(block.data(), bytes, dspbench::ChainFrequency, dspbench::ChainBits, dspbench::ChainChannels,
                            false);
        benchmark::ClobberMemory();
    }
    // Seconds of audio per second of processing: one second of audio per iteration.
    state.counters["realtime_x"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// Keeps the best time per iteration of each benchmark over its repetitions (the machine is
// shared, so the fastest repetition is the least disturbed) to print the ratios at the end.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration)
                continue;
            const std::string name = run.run_name.str();
            const auto known = Times.find(name);
            if (known == Times.end() || run.GetAdjustedRealTime() < known->second)
                Times[name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> Times;
};

}  // namespace

int main(int argc, char** argv)
{
    // Five repetitions unless the command line says otherwise.
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=5";
    args.insert(args.begin() + 1, repetitions.data());
    argc = static_cast<int>(args.size());
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    std::vector<std::string> ours;
    for (const TFFTVariant* variant : FFTVariants()) {
        for (bool reOrder : {false, true}) {
            const std::string name = std::string("FFT1024/ours-") + variant->Name + (reOrder ? "-natural" : "-kernel");
            benchmark::RegisterBenchmark(name.c_str(), OurFFT, variant, reOrder)->UseManualTime();
            ours.push_back(name);
        }
    }
    benchmark::RegisterBenchmark("FFT1024/fftw3f-measure", FFTWFFT, false)->UseManualTime();
    benchmark::RegisterBenchmark("FFT1024/fftw3f-measure-nosimd", FFTWFFT, true)->UseManualTime();
    benchmark::RegisterBenchmark("FFT1024/kissfft", KissFFT)->UseManualTime();
    benchmark::RegisterBenchmark("Chain/equalizer-16bit-stereo-44k1", Chain, false)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Chain/all-stages-16bit-stereo-44k1", Chain, true)->Unit(benchmark::kMicrosecond);

    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const auto fftw = reporter.Times.find("FFT1024/fftw3f-measure/manual_time");
    if (fftw != reporter.Times.end()) {
        std::printf("\nBest time per transform relative to FFTW in this run (goal: best of ours within 1.5):\n");
        for (const auto& [name, time] : reporter.Times)
            if (name.rfind("FFT1024/", 0) == 0)
                std::printf("  %-44s %8.1f ns  %5.2fx\n", name.c_str(), time, time / fftw->second);
    }
    benchmark::Shutdown();
    return 0;
}
