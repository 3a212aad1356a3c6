// Blending 1 M ARGB pixels with our line blend against pixman's OVER and against memcpy of the
// same bytes; resampling 1920x1080 to 640x360 with Lanczos against pixman's separable
// convolution filter of the same size.
#include "graphics/Blend.h"
#include "graphics/Transforms.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>
#include <random>
#include <vector>

namespace {
constexpr int kSide = 1024;  // 1 M pixels
constexpr int kPixels = kSide * kSide;

std::vector<TColor32> RandomPixels(int count, uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<TColor32> pixels(static_cast<size_t>(count));
    for (TColor32& p : pixels)
        p = random();
    return pixels;
}

void BM_Blend_Ours(benchmark::State& state)
{
    const std::vector<TColor32> src = RandomPixels(kPixels, 1);
    std::vector<TColor32> dst = RandomPixels(kPixels, 2);
    for (auto _ : state) {
        BlendFunctionTable.BlendLine(src.data(), dst.data(), kPixels);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kPixels * 4);
    state.counters["sse2"] = ProcessorHasSSE2;
}

void BM_Blend_PixmanOver(benchmark::State& state)
{
    std::vector<TColor32> src = RandomPixels(kPixels, 1);
    std::vector<TColor32> dst = RandomPixels(kPixels, 2);
    pixman_image_t* s = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide, src.data(), kSide * 4);
    pixman_image_t* d = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide, dst.data(), kSide * 4);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, s, nullptr, d, 0, 0, 0, 0, 0, 0, kSide, kSide);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    pixman_image_unref(s);
    pixman_image_unref(d);
    state.SetBytesProcessed(state.iterations() * kPixels * 4);
}

void BM_Blend_Memcpy(benchmark::State& state)
{
    const std::vector<TColor32> src = RandomPixels(kPixels, 1);
    std::vector<TColor32> dst = RandomPixels(kPixels, 2);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), kPixels * sizeof(TColor32));
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kPixels * 4);
}

constexpr int kSrcW = 1920, kSrcH = 1080, kDstW = 640, kDstH = 360;

void BM_Resample_OursLanczos(benchmark::State& state)
{
    TCustomBitmap32 src, dst;
    src.SetSize(kSrcW, kSrcH);
    const std::vector<TColor32> pixels = RandomPixels(kSrcW * kSrcH, 3);
    std::memcpy(src.Bits(), pixels.data(), pixels.size() * 4);
    dst.SetSize(kDstW, kDstH);
    for (auto _ : state) {
        StretchTransfer(&dst, dst.BoundsRect(), dst.BoundsRect(), &src, src.BoundsRect(), sfLanczos, dmOpaque, nullptr);
        benchmark::DoNotOptimize(dst.Bits());
        benchmark::ClobberMemory();
    }
}

void BM_Resample_PixmanSeparableLanczos(benchmark::State& state)
{
    std::vector<TColor32> pixels = RandomPixels(kSrcW * kSrcH, 3);
    std::vector<TColor32> out(static_cast<size_t>(kDstW) * kDstH);
    pixman_image_t* s = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSrcW, kSrcH, pixels.data(), kSrcW * 4);
    pixman_image_t* d = pixman_image_create_bits(PIXMAN_a8r8g8b8, kDstW, kDstH, out.data(), kDstW * 4);
    const pixman_fixed_t scale = pixman_double_to_fixed(static_cast<double>(kSrcW) / kDstW);
    pixman_transform transform;
    pixman_transform_init_scale(&transform, scale, scale);
    pixman_image_set_transform(s, &transform);
    pixman_image_set_repeat(s, PIXMAN_REPEAT_PAD);
    int count = 0;
    pixman_fixed_t* params = pixman_filter_create_separable_convolution(
        &count, scale, scale, PIXMAN_KERNEL_IMPULSE, PIXMAN_KERNEL_IMPULSE, PIXMAN_KERNEL_LANCZOS3,
        PIXMAN_KERNEL_LANCZOS3, 1, 1);
    pixman_image_set_filter(s, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params, count);
    free(params);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, s, nullptr, d, 0, 0, 0, 0, 0, 0, kDstW, kDstH);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    pixman_image_unref(s);
    pixman_image_unref(d);
}
}

BENCHMARK(BM_Blend_Ours)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Blend_PixmanOver)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Blend_Memcpy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Resample_OursLanczos)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Resample_PixmanSeparableLanczos)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
