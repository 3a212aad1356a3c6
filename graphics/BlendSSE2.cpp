// The SSE2 blend set: each channel (256 * B + (F - B) * W + 128) shr 8 in 16-bit lanes, one
// multiply per channel. The background's weight is 256 - W rather than 255 - W and the rounding
// is done once, so a channel may differ from the plain set by up to two units; the weight tests
// before the arithmetic still give B at weight 0 and F at weight 255 exactly.
#include "graphics/Blend.h"
#include "graphics/PixelBlends.h"

#if defined(__SSE2__)
#include <emmintrin.h>

#include <array>
#include <cstdint>

namespace {

// Entry i holds the weight i in all four 16-bit lanes.
using TWeightEntry = std::array<uint16_t, 4>;
alignas(8) constexpr std::array<TWeightEntry, 256> kWeights = [] {
    std::array<TWeightEntry, 256> table{};
    for (uint16_t i = 0; i < 256; ++i)
        table[i] = {i, i, i, i};
    return table;
}();

// The sum 256 * B + (F - B) * W + 128 lies in 0 .. 65408, so the lanes may wrap on the way and
// still end right.
inline __m128i MixLanes(__m128i f16, __m128i b16, __m128i w16)
{
    const __m128i sum = _mm_add_epi16(_mm_add_epi16(_mm_slli_epi16(b16, 8), _mm_mullo_epi16(_mm_sub_epi16(f16, b16), w16)),
                                      _mm_set1_epi16(128));
    return _mm_srli_epi16(sum, 8);
}

inline TColor32 MixPixel(TColor32 f, TColor32 b, TColor32 w)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i f16 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(f)), zero);
    const __m128i b16 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(b)), zero);
    const __m128i w16 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kWeights[w & 0xFF].data()));
    return static_cast<TColor32>(_mm_cvtsi128_si32(_mm_packus_epi16(MixLanes(f16, b16, w16), zero)));
}

using TSSE2 = TPixelBlends<MixPixel>;

// Four pixels at once: the even bytes (blue, red) and the odd bytes (green, alpha) each form one
// vector of 16-bit lanes, and a pixel's weight sits in both halves of its 32-bit lane. As 256 * B
// is a multiple of 256, the result is B plus bits 8..15 of (F - B) * W + 128, whatever the lane
// wraps to. Weight 255 must give F, which W = 256 does exactly; weight 0 gives B by itself.
inline __m128i BlendFour(__m128i f, __m128i fOdd, __m128i b, __m128i w)
{
    const __m128i lowBytes = _mm_set1_epi16(0xFF);
    const __m128i highBytes = _mm_set1_epi16(static_cast<short>(0xFF00));
    const __m128i half = _mm_set1_epi16(128);
    w = _mm_sub_epi16(w, _mm_cmpeq_epi16(w, lowBytes));
    const __m128i even = _mm_sub_epi16(_mm_and_si128(f, lowBytes), _mm_and_si128(b, lowBytes));
    const __m128i odd = _mm_sub_epi16(fOdd, _mm_srli_epi16(b, 8));
    const __m128i te = _mm_add_epi16(_mm_mullo_epi16(even, w), half);
    const __m128i to = _mm_add_epi16(_mm_mullo_epi16(odd, w), half);
    return _mm_add_epi8(b, _mm_or_si128(_mm_srli_epi16(te, 8), _mm_and_si128(to, highBytes)));
}

// The alpha of each pixel in both 16-bit halves of its lane, from the odd bytes (green, alpha).
inline __m128i AlphaPairs(__m128i fOdd)
{
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(fOdd, _MM_SHUFFLE(3, 3, 1, 1)), _MM_SHUFFLE(3, 3, 1, 1));
}

inline __m128i Load(const TColor32* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline void Store(TColor32* p, __m128i v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

void BlendLineSSE2(const TColor32* src, TColor32* dst, int count)
{
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i f = Load(src + i);
        const __m128i fOdd = _mm_srli_epi16(f, 8);
        Store(dst + i, BlendFour(f, fOdd, Load(dst + i), AlphaPairs(fOdd)));
    }
    for (; i < count; ++i)
        TSSE2::BlendByAlphaInPlace(src[i], dst[i]);
}

void BlendLineMasterSSE2(const TColor32* src, TColor32* dst, int count, TColor32 m)
{
    if (count <= 0)
        return;
    // (M + 1) * alpha stays below 65536.
    const __m128i master = _mm_set1_epi16(static_cast<short>((m > 255 ? 255 : m) + 1));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i f = Load(src + i);
        const __m128i fOdd = _mm_srli_epi16(f, 8);
        Store(dst + i, BlendFour(f, fOdd, Load(dst + i), _mm_srli_epi16(_mm_mullo_epi16(AlphaPairs(fOdd), master), 8)));
    }
    for (; i < count; ++i)
        TSSE2::BlendByAlphaMasterInPlace(src[i], dst[i], m);
}

constexpr TBlendFunctionTable kSSE2 = {
    TSSE2::CombineWeighted,    TSSE2::CombineWeightedInPlace,    TSSE2::BlendByAlpha, TSSE2::BlendByAlphaInPlace,
    TSSE2::BlendByAlphaMaster, TSSE2::BlendByAlphaMasterInPlace, BlendLineSSE2,       BlendLineMasterSSE2,
};

}  // namespace

const TBlendFunctionTable& SSE2BlendFunctions()
{
    return kSSE2;
}

#else

const TBlendFunctionTable& SSE2BlendFunctions()
{
    return ReferenceBlendFunctions();
}

#endif
