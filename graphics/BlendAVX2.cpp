// The AVX2 blend set: the SSE2 set's arithmetic, (256 * B + (F - B) * W + 128) shr 8 per channel
// in 16-bit lanes, on eight pixels per step in the two line blends; the single-pixel entries are
// the SSE2 set's, as one pixel gains nothing from wider registers. Only this file's target
// region uses AVX2, and start-up picks the set only where the processor and the operating system
// support it.
#include "graphics/Blend.h"

#if defined(__i386__) || defined(__x86_64__)
#include <immintrin.h>

#pragma GCC push_options
#pragma GCC target("avx2")

namespace {

// BlendFour of the SSE2 set on eight pixels: the even bytes (blue, red) and the odd bytes (green,
// alpha) each in 16-bit lanes, a pixel's weight in both halves of its 32-bit lane, weight 255
// taken as 256 so that it gives F exactly.
inline __m256i BlendEight(__m256i f, __m256i fOdd, __m256i b, __m256i w)
{
    const __m256i lowBytes = _mm256_set1_epi16(0xFF);
    const __m256i highBytes = _mm256_set1_epi16(static_cast<short>(0xFF00));
    const __m256i half = _mm256_set1_epi16(128);
    w = _mm256_sub_epi16(w, _mm256_cmpeq_epi16(w, lowBytes));
    const __m256i even = _mm256_sub_epi16(_mm256_and_si256(f, lowBytes), _mm256_and_si256(b, lowBytes));
    const __m256i odd = _mm256_sub_epi16(fOdd, _mm256_srli_epi16(b, 8));
    const __m256i te = _mm256_add_epi16(_mm256_mullo_epi16(even, w), half);
    const __m256i to = _mm256_add_epi16(_mm256_mullo_epi16(odd, w), half);
    return _mm256_add_epi8(b, _mm256_or_si256(_mm256_srli_epi16(te, 8), _mm256_and_si256(to, highBytes)));
}

// Each pixel's alpha byte into both 16-bit halves of its lane, in one byte shuffle.
inline __m256i AlphaPairs(__m256i f)
{
    const __m256i pick = _mm256_setr_epi8(3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1,  //
                                          3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1);
    return _mm256_shuffle_epi8(f, pick);
}

inline __m256i Load(const TColor32* p)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

inline void Store(TColor32* p, __m256i v)
{
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

void BlendLineAVX2(const TColor32* src, TColor32* dst, int count)
{
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i f = Load(src + i);
        Store(dst + i, BlendEight(f, _mm256_srli_epi16(f, 8), Load(dst + i), AlphaPairs(f)));
    }
    if (i < count)
        SSE2BlendFunctions().BlendLine(src + i, dst + i, count - i);
}

void BlendLineMasterAVX2(const TColor32* src, TColor32* dst, int count, TColor32 m)
{
    if (count <= 0)
        return;
    // (M + 1) * alpha stays below 65536.
    const __m256i master = _mm256_set1_epi16(static_cast<short>((m > 255 ? 255 : m) + 1));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i f = Load(src + i);
        const __m256i w = _mm256_srli_epi16(_mm256_mullo_epi16(AlphaPairs(f), master), 8);
        Store(dst + i, BlendEight(f, _mm256_srli_epi16(f, 8), Load(dst + i), w));
    }
    if (i < count)
        SSE2BlendFunctions().BlendLineMaster(src + i, dst + i, count - i, m);
}

}  // namespace

#pragma GCC pop_options

const TBlendFunctionTable& AVX2BlendFunctions()
{
    static const TBlendFunctionTable set = [] {
        TBlendFunctionTable table = SSE2BlendFunctions();
        table.BlendLine = BlendLineAVX2;
        table.BlendLineMaster = BlendLineMasterAVX2;
        return table;
    }();
    return set;
}

#else

const TBlendFunctionTable& AVX2BlendFunctions()
{
    return SSE2BlendFunctions();
}

#endif
