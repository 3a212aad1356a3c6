#include "bench/ui/UiBenchCommon.h"

#include "bench/support/Harness.h"

#include "DSFilters/dspFastFourier.h"
#include "graphics/Bitmap32Core.h"
#include "ui/VisualisationCore.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace uibench {

void VisualTicks()
{
    // 16-bit stereo at 44.1 kHz: the 2048 frames a visual block holds, a sweep in them.
    constexpr int frames = 2048, height = 34;
    std::vector<int16_t> pcm(frames * 2);
    for (int i = 0; i < frames; ++i)
        pcm[2 * i] = pcm[2 * i + 1] = static_cast<int16_t>(12000 * std::sin(0.00002 * i * i));
    TVisualBuffers visual;
    visual.UseFade = true;
    visual.ShowPeaks = true;
    TVisualState state;
    state.Top = height;
    TDCFFT fft;
    fft.Scale = false;
    fft.FFTSize = fts1024;
    TCustomBitmap32 bitmap, fade, copy;
    for (TCustomBitmap32* b : {&bitmap, &fade, &copy})
        b->SetSize(TVisualBuffers::Bars, height);

    const size_t bytes = static_cast<size_t>(bitmap.Width()) * height * sizeof(TColor32);
    const pvlbench::TResult memcpyResult = pvlbench::Measure("Visual/memcpy-of-the-bitmap", [&](long n) {
        for (long i = 0; i < n; ++i) {
            std::memcpy(copy.Bits(), bitmap.Bits(), bytes);
            pvlbench::DoNotOptimize(copy.Bits()[i & 255]);
        }
    });
    const char* names[] = {"none", "spectrum", "spectrum-full", "waveform", "waveform-filled", "vu"};
    for (uint8_t mode = 0; mode <= 5; ++mode) {
        visual.SwitchVisual(mode);
        const pvlbench::TResult r = pvlbench::Measure(std::string("Visual/tick-") + names[mode], [&](long n) {
            for (long i = 0; i < n; ++i) {
                if (ProcessVisual(visual, state, fft, pcm.data(), frames * 4, false, 2, 16))
                    DrawVisual(visual, state, bitmap, fade, 0xBB7B42, visual.Analysis.data(), 0, 2, 512, height);
                else
                    DrawVisual(visual, state, bitmap, fade, 0xBB7B42, visual.Analysis.data(), 0, 2, 512, 0);
            }
            pvlbench::DoNotOptimize(bitmap.Bits()[0]);
        });
        std::printf("%-48s %11.3f %% of 15 ms, %6.1f x the memcpy\n", "", r.NsPerIteration / 15e6 * 100,
                    r.NsPerIteration / memcpyResult.NsPerIteration);
    }
}

}  // namespace uibench
