// 1024-point complex single-precision FFT on equal work: natural order in and out, positive
// exponent, unscaled, each of our variants beside FFTW 3 (fftwf) and KissFFT, on the same
// aligned buffer in one process; our kernel order (bins left permuted) is shown apart. Then the
// processing chain with the equaliser on 16-bit stereo at 44.1 kHz as a real-time factor.
// Every contender's output is checked against FFTW's once before any timing.
#include "bench/dsp/DspBenchCommon.h"
#include "bench/support/Interleaved.h"

#include "DSFilters/dspFastFourier.h"

#include <fftw3.h>
#include <kiss_fft.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using dspbench::FFTBatch;
using dspbench::FFTPoints;

// One buffer for every contender, aligned as FFTW likes it (which is more than our 16 bytes).
struct TSharedBuffer {
    TSharedBuffer() : Data(static_cast<TComplexSingle*>(fftwf_malloc(sizeof(TComplexSingle) * FFTPoints))) {}
    ~TSharedBuffer() { fftwf_free(Data); }
    TComplexSingle* Data;
};

TSharedBuffer& Buffer()
{
    static TSharedBuffer buffer;
    return buffer;
}

const std::vector<TComplexSingle>& Input()
{
    static const std::vector<TComplexSingle> input = dspbench::FFTInput();
    return input;
}

void LoadInput()
{
    std::memcpy(Buffer().Data, Input().data(), Input().size() * sizeof(TComplexSingle));
}

// Times `iterations` transforms, refilling the input every FFTBatch of them outside the clock
// (the unscaled transform grows the values by about 32 each time).
template <class Transform>
double TimeTransforms(long iterations, Transform& transform)
{
    double ns = 0;
    for (long done = 0; done < iterations;) {
        LoadInput();
        const long batch = std::min<long>(FFTBatch, iterations - done);
        ns += pvlbench::TimeNs([&] {
            for (long i = 0; i < batch; ++i)
                transform();
        });
        done += batch;
    }
    return ns;
}

// Relative RMS difference of got from the reference values.
double RelativeRms(const std::vector<std::complex<double>>& got, const std::vector<std::complex<double>>& want)
{
    double error = 0, energy = 0;
    for (size_t i = 0; i < want.size(); ++i) {
        error += std::norm(got[i] - want[i]);
        energy += std::norm(want[i]);
    }
    return std::sqrt(error / energy);
}

std::vector<std::complex<double>> Snapshot(const TComplexSingle* data)
{
    std::vector<std::complex<double>> values(FFTPoints);
    for (int i = 0; i < FFTPoints; ++i)
        values[i] = {data[i].Re, data[i].Im};
    return values;
}

// Kernel order back to natural order, for checking only.
std::vector<std::complex<double>> NaturalFromKernel(const TComplexSingle* data)
{
    const auto order = FFTOrderTable(fts1024);
    std::vector<std::complex<double>> values(FFTPoints);
    for (int i = 0; i < FFTPoints; ++i)
        values[i] = {data[order[i]].Re, data[order[i]].Im};
    return values;
}

struct TFFTContender {
    std::string Name;
    std::function<void()> Transform;
    bool KernelOrder = false;
};

void BenchFFT()
{
    auto* data = reinterpret_cast<fftwf_complex*>(Buffer().Data);
    // Our forward transform has the positive exponent: FFTW's BACKWARD direction, unscaled.
    fftwf_plan measured = fftwf_plan_dft_1d(FFTPoints, data, data, FFTW_BACKWARD, FFTW_MEASURE);
    fftwf_plan estimated = fftwf_plan_dft_1d(FFTPoints, data, data, FFTW_BACKWARD, FFTW_ESTIMATE);
    fftwf_plan scalar = fftwf_plan_dft_1d(FFTPoints, data, data, FFTW_BACKWARD, FFTW_MEASURE | FFTW_NO_SIMD);
    std::printf("FFTW %s. Its public planner flags can switch SIMD off (FFTW_NO_SIMD) but cannot hold it to\n"
                "SSE2: the default plan uses the widest codelets the processor and the build offer.\n",
                fftwf_version);
    for (const auto& [label, plan] : {std::pair{"FFTW_MEASURE", measured}, std::pair{"FFTW_ESTIMATE", estimated}}) {
        char* text = fftwf_sprint_plan(plan);
        std::string codelets;
        for (const char* family : {"avx512", "avx2", "avx-128-fma", "avx", "sse2", "neon"})
            if (std::strstr(text, family) && codelets.find(family) == std::string::npos)
                codelets += std::string(codelets.empty() ? "" : ", ") + family;
        std::printf("  %s plan: %s codelets\n", label, codelets.empty() ? "scalar" : codelets.c_str());
        std::free(text);
    }

    TAlignedBlock work(FFTPoints * sizeof(TComplexSingle));
    kiss_fft_cfg kiss = kiss_fft_alloc(FFTPoints, 1, nullptr, nullptr);
    std::vector<kiss_fft_cpx> kissOut(FFTPoints);

    std::vector<TFFTContender> contenders;
    for (const TFFTVariant* variant : FFTVariants()) {
        contenders.push_back({std::string("FFT1024 natural ours-") + variant->Name, [variant, &work] {
                                  DoFFTWith(*variant, Buffer().Data, FFTPoints, false, false, true, work.Data());
                              }});
    }
    contenders.push_back({"FFT1024 natural fftwf-measure (default plan)", [measured] { fftwf_execute(measured); }});
    contenders.push_back({"FFT1024 natural fftwf-estimate", [estimated] { fftwf_execute(estimated); }});
    contenders.push_back({"FFT1024 natural fftwf-measure-nosimd", [scalar] { fftwf_execute(scalar); }});
    contenders.push_back({"FFT1024 natural kissfft (out of place)", [kiss, &kissOut] {
                              kiss_fft(kiss, reinterpret_cast<kiss_fft_cpx*>(Buffer().Data), kissOut.data());
                              std::memcpy(Buffer().Data, kissOut.data(), kissOut.size() * sizeof(kiss_fft_cpx));
                          }});
    for (const TFFTVariant* variant : FFTVariants()) {
        contenders.push_back({std::string("FFT1024 KERNEL ORDER (not equal work) ours-") + variant->Name,
                              [variant] { DoFFTWith(*variant, Buffer().Data, FFTPoints, false, false, false, nullptr); },
                              true});
    }

    // The check: one transform of the input by each contender against FFTW's default plan.
    LoadInput();
    fftwf_execute(measured);
    const std::vector<std::complex<double>> reference = Snapshot(Buffer().Data);
    bool allRight = true;
    for (const TFFTContender& c : contenders) {
        LoadInput();
        c.Transform();
        const auto got = c.KernelOrder ? NaturalFromKernel(Buffer().Data) : Snapshot(Buffer().Data);
        const double relative = RelativeRms(got, reference);
        const bool right = relative < 1e-5;
        allRight = allRight && right;
        std::printf("  check %-52s relative rms vs FFTW %.2e %s\n", c.Name.c_str(), relative, right ? "ok" : "WRONG");
    }
    if (!allRight) {
        std::printf("A contender's output is wrong; no timing.\n");
        std::exit(1);
    }

    pvlbench::TInterleaved bench;
    for (TFFTContender& c : contenders)
        bench.Add(c.Name, [&c](long n) { return TimeTransforms(n, c.Transform); });
    bench.Run();
    std::printf("\nTime per transform:\n");
    bench.PrintTimes();
    std::printf("\nRatios (median of the per-repetition ratios):\n");
    std::vector<pvlbench::TRatio> ratios;
    const std::string best = std::string("FFT1024 natural ours-") + FFTKernelTable().Name;
    ratios.push_back({best, "FFT1024 natural fftwf-measure (default plan)", 1.5});
    ratios.push_back({best, "FFT1024 natural fftwf-estimate", 0});
    ratios.push_back({best, "FFT1024 natural fftwf-measure-nosimd", 0});
    for (const TFFTVariant* variant : FFTVariants())
        if (variant != &FFTKernelTable())
            ratios.push_back({std::string("FFT1024 natural ours-") + variant->Name, "FFT1024 natural fftwf-measure (default plan)", 0});
    for (const TFFTVariant* variant : FFTVariants())
        ratios.push_back({std::string("FFT1024 natural ours-") + variant->Name,
                          std::string("FFT1024 KERNEL ORDER (not equal work) ours-") + variant->Name, 0});
    bench.PrintRatios(ratios);

    kiss_fft_free(kiss);
    fftwf_destroy_plan(measured);
    fftwf_destroy_plan(estimated);
    fftwf_destroy_plan(scalar);
}

void BenchChain()
{
    const std::vector<int16_t> input = dspbench::ChainInput();
    std::vector<int16_t> block(input.size());
    pvlbench::TInterleaved bench(7, 0.2);
    for (bool allStages : {false, true}) {
        auto chain = std::shared_ptr<TPvlSPChain>(dspbench::MakeChain(allStages));
        bench.Add(allStages ? "Chain all stages, 1 s 16-bit stereo 44.1 kHz" : "Chain equaliser, 1 s 16-bit stereo 44.1 kHz",
                  [chain, &input, &block](long n) {
                      double ns = 0;
                      for (long i = 0; i < n; ++i) {
                          std::copy(input.begin(), input.end(), block.begin());
                          ns += pvlbench::TimeNs([&] {
                              chain->ProcessBlock(block.data(), static_cast<int32_t>(block.size() * sizeof(int16_t)),
                                                  dspbench::ChainFrequency, dspbench::ChainBits,
                                                  dspbench::ChainChannels, false);
                          });
                      }
                      return ns;
                  });
    }
    const auto medians = bench.Run();
    std::printf("\nProcessing chain (one second of audio per iteration):\n");
    bench.PrintTimes("us", 1e3);
    for (const auto& [name, ns] : medians)
        std::printf("  %-52s %8.0fx real time%s\n", name.c_str(), 1e9 / ns,
                    name.find("equaliser") != std::string::npos ? (1e9 / ns > 1000 ? "   goal > 1000x: met" : "   goal > 1000x: MISSED") : "");
}

}  // namespace

int main()
{
    std::printf("Active kernel set: %s\n", FFTKernelTable().Name);
    BenchFFT();
    BenchChain();
    return 0;
}
