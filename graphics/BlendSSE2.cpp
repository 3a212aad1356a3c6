// The SSE2 blend set: the reference arithmetic in 16-bit lanes, four pixels per step in the
// line blends. Every result equals the reference set's.
#include "graphics/Blend.h"
#include "graphics/PixelBlends.h"

#if defined(__SSE2__)
#include <emmintrin.h>

namespace {

// (F * W + 128) shr 8 + (B * V + 128) shr 8 per 16-bit lane; each product stays below 65536.
inline __m128i MixLanes(__m128i f16, __m128i b16, __m128i w16, __m128i v16)
{
    const __m128i half = _mm_set1_epi16(128);
    const __m128i fw = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(f16, w16), half), 8);
    const __m128i bv = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(b16, v16), half), 8);
    return _mm_add_epi16(fw, bv);
}

inline TColor32 MixPixel(TColor32 f, TColor32 b, TColor32 w)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i f16 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(f)), zero);
    const __m128i b16 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(b)), zero);
    const __m128i mixed = MixLanes(f16, b16, _mm_set1_epi16(static_cast<short>(w)),
                                   _mm_set1_epi16(static_cast<short>(w ^ 0xFF)));
    return static_cast<TColor32>(_mm_cvtsi128_si32(_mm_packus_epi16(mixed, zero)));
}

using TSSE2 = TPixelBlends<MixPixel>;

// Four pixels at once, two channels per 16-bit lane pair as in the plain set: the even bytes
// (blue, red) and the odd bytes (green, alpha) each form one vector, and a pixel's weight sits
// in both 16-bit halves of its 32-bit lane. Weight 255 becomes 256 for F and weight 0 becomes
// 256 for B, which keeps one multiply per operand exact: (C * 256 + 128) shr 8 = C, the operand
// the reference returns at those weights.
inline __m128i BlendFour(__m128i f, __m128i fOdd, __m128i b, __m128i w, __m128i all255, __m128i all0)
{
    const __m128i ff = _mm_set1_epi16(0xFF);
    const __m128i highBytes = _mm_set1_epi16(static_cast<short>(0xFF00));
    const __m128i half = _mm_set1_epi16(128);
    const __m128i fw = _mm_sub_epi16(w, all255);
    const __m128i bw = _mm_sub_epi16(_mm_xor_si128(w, ff), all0);
    const __m128i fe = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(f, ff), fw), half);
    const __m128i be = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(b, ff), bw), half);
    const __m128i fo = _mm_add_epi16(_mm_mullo_epi16(fOdd, fw), half);
    const __m128i bo = _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(b, 8), bw), half);
    // Each channel's two parts add up to at most 255, so the bytes never carry.
    const __m128i fPart = _mm_or_si128(_mm_srli_epi16(fe, 8), _mm_and_si128(fo, highBytes));
    const __m128i bPart = _mm_or_si128(_mm_srli_epi16(be, 8), _mm_and_si128(bo, highBytes));
    return _mm_add_epi8(fPart, bPart);
}

// Blends four pixels by their weights (in both halves of each lane), skipping blocks that keep
// B and copying blocks that take F.
inline void BlendFourInPlace(__m128i f, __m128i fOdd, TColor32* dst, __m128i w)
{
    const __m128i all255 = _mm_cmpeq_epi16(w, _mm_set1_epi16(0xFF));
    const __m128i all0 = _mm_cmpeq_epi16(w, _mm_setzero_si128());
    const int kinds = _mm_movemask_epi8(_mm_packs_epi16(all0, all255));
    if (kinds == 0x00FF)
        return;
    __m128i* d = reinterpret_cast<__m128i*>(dst);
    if (kinds == 0xFF00)
        _mm_storeu_si128(d, f);
    else
        _mm_storeu_si128(d, BlendFour(f, fOdd, _mm_loadu_si128(d), w, all255, all0));
}

// The alpha of each pixel in both 16-bit halves of its lane, from the odd bytes (green, alpha).
inline __m128i AlphaPairs(__m128i fOdd)
{
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(fOdd, _MM_SHUFFLE(3, 3, 1, 1)), _MM_SHUFFLE(3, 3, 1, 1));
}

void BlendLineSSE2(const TColor32* src, TColor32* dst, int count)
{
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i fOdd = _mm_srli_epi16(f, 8);
        BlendFourInPlace(f, fOdd, dst + i, AlphaPairs(fOdd));
    }
    for (; i < count; ++i)
        TSSE2::BlendByAlphaInPlace(src[i], dst[i]);
}

void BlendLineMasterSSE2(const TColor32* src, TColor32* dst, int count, TColor32 m)
{
    const __m128i master = _mm_set1_epi16(static_cast<short>((m > 255 ? 255 : m) + 1));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i fOdd = _mm_srli_epi16(f, 8);
        // (M + 1) * alpha stays below 65536.
        BlendFourInPlace(f, fOdd, dst + i, _mm_srli_epi16(_mm_mullo_epi16(AlphaPairs(fOdd), master), 8));
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
