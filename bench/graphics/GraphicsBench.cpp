// Blending 1 M ARGB pixels with the active set's line blend (and the SSE2 set's beside it) against
// pixman's OVER and against memcpy of the same bytes; resampling 1920x1080 to 640x360 with Lanczos-3 against libswscale's
// two-pass SWS_LANCZOS (when built with it) and pixman's separable convolution, a second
// reference that evaluates the whole 2-D kernel per pixel. Each contender's output is checked
// once before any timing; contenders run in interleaved repetitions.
#include "bench/support/Interleaved.h"

#include "graphics/Blend.h"
#include "graphics/Transforms.h"

#include <pixman.h>
#if defined(PVL_HAVE_SWSCALE)
extern "C" {
#include <libswscale/swscale.h>
}
#endif

#include <cmath>
#include <cstdio>
#include <cstdlib>
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

int Channel(TColor32 c, int shift)
{
    return static_cast<int>(c >> shift & 0xFF);
}

// Largest and mean difference over the channels at the given shifts.
struct TDifference {
    int Largest = 0;
    double Mean = 0;
};
TDifference Compare(const TColor32* a, const TColor32* b, size_t count, std::initializer_list<int> shifts)
{
    TDifference d;
    double sum = 0;
    for (size_t i = 0; i < count; ++i) {
        for (int shift : shifts) {
            const int diff = std::abs(Channel(a[i], shift) - Channel(b[i], shift));
            d.Largest = std::max(d.Largest, diff);
            sum += diff;
        }
    }
    d.Mean = sum / (static_cast<double>(count) * shifts.size());
    return d;
}

bool Check(const char* what, TDifference d, int allowedLargest, double allowedMean)
{
    const bool right = d.Largest <= allowedLargest && d.Mean <= allowedMean;
    std::printf("  check %-58s largest %3d (allowed %d), mean %.3f (allowed %.2f) %s\n", what, d.Largest, allowedLargest,
                d.Mean, allowedMean, right ? "ok" : "WRONG");
    return right;
}

// pixman's OVER takes a premultiplied source: S = F·alpha, so S + B·(1 - alpha) is our blend of
// F over B in the colour channels. Alpha follows each library's own rule and is not compared.
std::vector<TColor32> Premultiplied(const std::vector<TColor32>& pixels)
{
    std::vector<TColor32> out(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
        const TColor32 a = pixels[i] >> 24;
        TColor32 p = a << 24;
        for (int shift : {0, 8, 16})
            p |= ((static_cast<TColor32>(Channel(pixels[i], shift)) * a + 127) / 255) << shift;
        out[i] = p;
    }
    return out;
}

bool BenchBlend()
{
    const std::vector<TColor32> src = RandomPixels(kPixels, 1);
    const std::vector<TColor32> background = RandomPixels(kPixels, 2);
    std::vector<TColor32> premultiplied = Premultiplied(src);
    std::vector<TColor32> ours = background, theirs = background, copied = background;
    pixman_image_t* s = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide, premultiplied.data(), kSide * 4);
    pixman_image_t* d = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide, theirs.data(), kSide * 4);

    std::vector<TColor32> oursSSE2 = background;
    const auto blendOurs = [&] { BlendFunctionTable.BlendLine(src.data(), ours.data(), kPixels); };
    const auto blendSSE2 = [&] { SSE2BlendFunctions().BlendLine(src.data(), oursSSE2.data(), kPixels); };
    const auto blendPixman = [&] { pixman_image_composite32(PIXMAN_OP_OVER, s, nullptr, d, 0, 0, 0, 0, 0, 0, kSide, kSide); };
    const auto copy = [&] { std::memcpy(copied.data(), src.data(), kPixels * sizeof(TColor32)); };

    std::printf("Blend, 1 M pixels, active set %s\n", ProcessorHasAVX2 ? "AVX2" : ProcessorHasSSE2 ? "SSE2" : "plain");
    blendOurs();
    blendSSE2();
    blendPixman();
    copy();
    bool right = Check("BlendLine vs pixman OVER (colour channels)", Compare(ours.data(), theirs.data(), kPixels, {0, 8, 16}), 3, 1.0);
    right = Check("SSE2 set's BlendLine vs pixman OVER (colour channels)",
                  Compare(oursSSE2.data(), theirs.data(), kPixels, {0, 8, 16}), 3, 1.0) && right;
    right = Check("memcpy vs source", Compare(copied.data(), src.data(), kPixels, {0, 8, 16, 24}), 0, 0) && right;
    if (right) {
        // Later blends go over the results of earlier ones; the work per pixel stays the same.
        pvlbench::TInterleaved bench;
        bench.Add("Blend 1M ours BlendLine", [&](long n) { return pvlbench::TimeNs([&] { for (long i = 0; i < n; ++i) blendOurs(); }); });
        bench.Add("Blend 1M ours SSE2 set BlendLine", [&](long n) { return pvlbench::TimeNs([&] { for (long i = 0; i < n; ++i) blendSSE2(); }); });
        bench.Add("Blend 1M pixman OVER", [&](long n) { return pvlbench::TimeNs([&] { for (long i = 0; i < n; ++i) blendPixman(); }); });
        bench.Add("Blend 1M memcpy", [&](long n) { return pvlbench::TimeNs([&] { for (long i = 0; i < n; ++i) copy(); }); });
        bench.Run();
        bench.PrintTimes("us", 1e3);
        bench.PrintRatios({{"Blend 1M ours BlendLine", "Blend 1M pixman OVER", 1.0},
                           {"Blend 1M ours BlendLine", "Blend 1M memcpy", 3.0},
                           {"Blend 1M ours SSE2 set BlendLine", "Blend 1M pixman OVER", 0},
                           {"Blend 1M ours SSE2 set BlendLine", "Blend 1M memcpy", 0}});
    }
    pixman_image_unref(s);
    pixman_image_unref(d);
    return right;
}

constexpr int kSrcW = 1920, kSrcH = 1080, kDstW = 640, kDstH = 360;

// A picture-like source: smooth gradients and waves with a little noise, opaque, so that two
// Lanczos-3 resamplers agree closely (random pixels would only compare their rounding).
std::vector<TColor32> PictureSource()
{
    std::mt19937 random(3);
    std::uniform_int_distribution<int> noise(-6, 6);
    std::vector<TColor32> pixels(static_cast<size_t>(kSrcW) * kSrcH);
    for (int y = 0; y < kSrcH; ++y) {
        for (int x = 0; x < kSrcW; ++x) {
            const double r = 128 + 100 * std::sin(x * 0.013) * std::cos(y * 0.021);
            const double g = 255.0 * x / kSrcW;
            const double b = 128 + 90 * std::sin((x + y) * 0.007);
            const auto clamp = [&](double v) { return static_cast<TColor32>(std::clamp(static_cast<int>(v) + noise(random), 0, 255)); };
            pixels[static_cast<size_t>(y) * kSrcW + x] = 0xFF000000u | clamp(r) << 16 | clamp(g) << 8 | clamp(b);
        }
    }
    return pixels;
}

bool BenchLanczos()
{
    const std::vector<TColor32> pixels = PictureSource();
    TCustomBitmap32 src, dst;
    src.SetSize(kSrcW, kSrcH);
    std::memcpy(src.Bits(), pixels.data(), pixels.size() * 4);
    dst.SetSize(kDstW, kDstH);
    const auto ours = [&] {
        StretchTransfer(&dst, dst.BoundsRect(), dst.BoundsRect(), &src, src.BoundsRect(), sfLanczos, dmOpaque, nullptr);
    };
    ours();
    const TColor32* oursOut = dst.Bits();
    // The outermost rows and columns depend on each library's edge rule; the check skips them.
    const auto inner = [&](const TColor32* a, const TColor32* b) {
        TDifference worst;
        double sum = 0;
        for (int y = 3; y < kDstH - 3; ++y) {
            const TDifference row = Compare(a + y * kDstW + 3, b + y * kDstW + 3, kDstW - 6, {0, 8, 16});
            worst.Largest = std::max(worst.Largest, row.Largest);
            sum += row.Mean;
        }
        worst.Mean = sum / (kDstH - 6);
        return worst;
    };

    std::printf("\nLanczos-3 resample %dx%d -> %dx%d\n", kSrcW, kSrcH, kDstW, kDstH);
    pvlbench::TInterleaved bench(15, 0.05);
    bench.Add("Lanczos ours", [&](long n) { return pvlbench::TimeNs([&] { for (long i = 0; i < n; ++i) ours(); }); });
    bool right = true;

#if defined(PVL_HAVE_SWSCALE)
    std::vector<TColor32> swsOut(static_cast<size_t>(kDstW) * kDstH);
    SwsContext* sws = sws_getContext(kSrcW, kSrcH, AV_PIX_FMT_BGRA, kDstW, kDstH, AV_PIX_FMT_BGRA,
                                     SWS_LANCZOS, nullptr, nullptr, nullptr);
    const uint8_t* srcPlanes[1] = {reinterpret_cast<const uint8_t*>(pixels.data())};
    const int srcStrides[1] = {kSrcW * 4};
    uint8_t* dstPlanes[1] = {reinterpret_cast<uint8_t*>(swsOut.data())};
    const int dstStrides[1] = {kDstW * 4};
    const auto swscale = [&] { sws_scale(sws, srcPlanes, srcStrides, 0, kSrcH, dstPlanes, dstStrides); };
    swscale();
    right = Check("ours vs libswscale SWS_LANCZOS (colour, inner pixels)", inner(oursOut, swsOut.data()), 4, 1.0) && right;
    bench.Add("Lanczos libswscale SWS_LANCZOS", [&](long n) { return pvlbench::TimeNs([&] { for (long i = 0; i < n; ++i) swscale(); }); });
#else
    std::printf("  (built without libswscale: install libswscale-dev for the main reference)\n");
#endif

    std::vector<TColor32> pixmanIn = pixels;
    std::vector<TColor32> pixmanOut(static_cast<size_t>(kDstW) * kDstH);
    pixman_image_t* s = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSrcW, kSrcH, pixmanIn.data(), kSrcW * 4);
    pixman_image_t* d = pixman_image_create_bits(PIXMAN_a8r8g8b8, kDstW, kDstH, pixmanOut.data(), kDstW * 4);
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
    std::free(params);
    const auto pixmanScale = [&] { pixman_image_composite32(PIXMAN_OP_SRC, s, nullptr, d, 0, 0, 0, 0, 0, 0, kDstW, kDstH); };
    pixmanScale();
    right = Check("ours vs pixman separable Lanczos3 (colour, inner pixels)", inner(oursOut, pixmanOut.data()), 4, 1.0) && right;
    bench.Add("Lanczos pixman separable convolution", [&](long n) { return pvlbench::TimeNs([&] { for (long i = 0; i < n; ++i) pixmanScale(); }); });

    if (right) {
        bench.Run();
        bench.PrintTimes("us", 1e3);
        bench.PrintRatios({{"Lanczos ours", "Lanczos libswscale SWS_LANCZOS", 1.0}, {"Lanczos ours", "Lanczos pixman separable convolution", 0}});
    }
    pixman_image_unref(s);
    pixman_image_unref(d);
#if defined(PVL_HAVE_SWSCALE)
    sws_freeContext(sws);
#endif
    return right;
}
}  // namespace

int main()
{
    const bool blend = BenchBlend();
    const bool lanczos = BenchLanczos();
    if (!blend || !lanczos)
        std::printf("A contender's output is wrong; its timing is left out.\n");
    return blend && lanczos ? 0 : 1;
}
