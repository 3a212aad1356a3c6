// The SSE2 blend set: the reference arithmetic in 16-bit lanes, four pixels per step in the
// line blends. Every result equals the reference set's.
#include "graphics/Blend.h"

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

inline TColor32 MasterWeight(TColor32 f, TColor32 m)
{
    return ((m > 255 ? 255 : m) + 1) * (f >> 24) >> 8;
}

TColor32 CombineWeightedSSE2(TColor32 f, TColor32 b, TColor32 w)
{
    if (w == 0)
        return b;
    if (w >= 255)
        return f;
    return MixPixel(f, b, w);
}

void CombineWeightedInPlaceSSE2(TColor32 f, TColor32& b, TColor32 w)
{
    if (w == 0)
        return;
    b = w >= 255 ? f : MixPixel(f, b, w);
}

TColor32 BlendByAlphaSSE2(TColor32 f, TColor32 b)
{
    return CombineWeightedSSE2(f, b, f >> 24);
}

void BlendByAlphaInPlaceSSE2(TColor32 f, TColor32& b)
{
    CombineWeightedInPlaceSSE2(f, b, f >> 24);
}

TColor32 BlendByAlphaMasterSSE2(TColor32 f, TColor32 b, TColor32 m)
{
    return CombineWeightedSSE2(f, b, MasterWeight(f, m));
}

void BlendByAlphaMasterInPlaceSSE2(TColor32 f, TColor32& b, TColor32 m)
{
    CombineWeightedInPlaceSSE2(f, b, MasterWeight(f, m));
}

// Blends four pixels whose weights (0..255) sit in the low 16 bits of each 32-bit lane:
// weight 0 keeps B, 255 takes F, anything else mixes.
inline __m128i BlendFour(__m128i f, __m128i b, __m128i w)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i ww = _mm_or_si128(w, _mm_slli_epi32(w, 16));
    const __m128i wLo = _mm_unpacklo_epi32(ww, ww);
    const __m128i wHi = _mm_unpackhi_epi32(ww, ww);
    const __m128i ff = _mm_set1_epi16(0xFF);
    const __m128i lo = MixLanes(_mm_unpacklo_epi8(f, zero), _mm_unpacklo_epi8(b, zero), wLo, _mm_xor_si128(wLo, ff));
    const __m128i hi = MixLanes(_mm_unpackhi_epi8(f, zero), _mm_unpackhi_epi8(b, zero), wHi, _mm_xor_si128(wHi, ff));
    __m128i mixed = _mm_packus_epi16(lo, hi);
    const __m128i full = _mm_cmpeq_epi32(w, _mm_set1_epi32(255));
    const __m128i none = _mm_cmpeq_epi32(w, zero);
    mixed = _mm_or_si128(_mm_andnot_si128(full, mixed), _mm_and_si128(full, f));
    return _mm_or_si128(_mm_andnot_si128(none, mixed), _mm_and_si128(none, b));
}

void BlendLineSSE2(const TColor32* src, TColor32* dst, int count)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i alpha = _mm_and_si128(f, opaque);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, zero)) == 0xFFFF)
            continue;
        __m128i* d = reinterpret_cast<__m128i*>(dst + i);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, opaque)) == 0xFFFF) {
            _mm_storeu_si128(d, f);
            continue;
        }
        _mm_storeu_si128(d, BlendFour(f, _mm_loadu_si128(d), _mm_srli_epi32(f, 24)));
    }
    for (; i < count; ++i)
        BlendByAlphaInPlaceSSE2(src[i], dst[i]);
}

void BlendLineMasterSSE2(const TColor32* src, TColor32* dst, int count, TColor32 m)
{
    const __m128i master = _mm_set1_epi32(static_cast<int>((m > 255 ? 255 : m) + 1));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        // (M + 1) * alpha fits in the low 16 bits of each lane.
        const __m128i w = _mm_srli_epi32(_mm_mullo_epi16(_mm_srli_epi32(f, 24), master), 8);
        __m128i* d = reinterpret_cast<__m128i*>(dst + i);
        _mm_storeu_si128(d, BlendFour(f, _mm_loadu_si128(d), w));
    }
    for (; i < count; ++i)
        BlendByAlphaMasterInPlaceSSE2(src[i], dst[i], m);
}

constexpr TBlendFunctionTable kSSE2 = {
    CombineWeightedSSE2,   CombineWeightedInPlaceSSE2,    BlendByAlphaSSE2, BlendByAlphaInPlaceSSE2,
    BlendByAlphaMasterSSE2, BlendByAlphaMasterInPlaceSSE2, BlendLineSSE2,    BlendLineMasterSSE2,
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
