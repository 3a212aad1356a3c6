// The AVX variant: the passes of 32 points and up on four complex values per register; the
// leaves and the recursion are the SSE family's, compiled here with the AVX encoding. Only the
// code in this file's target region uses AVX, and the driver picks the variant only where the
// processor and the operating system support the wider registers.
#include "DSFilters/dspFastFourierKernels.h"

#if defined(__i386__) || defined(__x86_64__)
#include <immintrin.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace fftkernels {
namespace {

// Widened twiddles of sizes 32 to 8192, for each group k .. k + 3 of a pass sixteen singles:
// (c_k, c_k, .. c_k+3, c_k+3) and (-s_k, s_k, .. -s_k+3, s_k+3).
std::array<TAlignedBlock, FFTSizeCount> WideTwiddles;

void BuildWideTwiddles()
{
    for (int ordinal = Ordinal(32); ordinal < FFTSizeCount; ++ordinal) {
        const int size = 2 << ordinal;
        const int quarter = size / 4;
        TAlignedBlock block(static_cast<size_t>(quarter) * 4 * sizeof(float));
        float* w = block.As<float>();
        const TComplexSingle* table = TwiddleData(size);
        for (int k = 0; k < quarter; k += 4, w += 16) {
            for (int j = 0; j < 4; ++j) {
                const TComplexSingle t = k + j == 0 ? TComplexSingle{1, 0} : Twiddle(table, size, k + j);
                w[2 * j] = w[2 * j + 1] = t.Re;
                w[8 + 2 * j] = -t.Im;
                w[8 + 2 * j + 1] = t.Im;
            }
        }
        WideTwiddles[ordinal] = std::move(block);
    }
}

// Once, whether the variant is chosen or only listed for comparison.
void PrepareAVXVariant()
{
    static const bool built = (BuildWideTwiddles(), true);
    (void)built;
}

}  // namespace
}  // namespace fftkernels

#pragma GCC push_options
#pragma GCC target("avx")

#include "DSFilters/dspFastFourierSIMD.h"

namespace fftkernels {
namespace {

// Lanes from the lowest address; a minus is the sign bit.
inline __m256 SignMask256(bool even, bool odd)
{
    const float e = even ? -0.0f : 0.0f, o = odd ? -0.0f : 0.0f;
    return _mm256_setr_ps(e, o, e, o, e, o, e, o);
}

inline __m256 Swap256(__m256 v)
{
    return _mm256_permute_ps(v, _MM_SHUFFLE(2, 3, 0, 1));
}

inline __m256 TimesI256(__m256 v)
{
    return _mm256_xor_ps(Swap256(v), SignMask256(true, false));
}

// Unaligned loads and stores: the buffers are aligned to 16 bytes only.
inline __m256 Load256(const float* p)
{
    return _mm256_loadu_ps(p);
}

inline void Store256(float* p, __m256 v)
{
    _mm256_storeu_ps(p, v);
}

// The butterflies of ForwardStep and InverseStep at k .. k + 3.
inline void ForwardStep256(__m256& a, __m256& b, __m256& c, __m256& d, __m256 cw, __m256 sw)
{
    const __m256 t1 = _mm256_sub_ps(a, c);
    const __m256 it2 = TimesI256(_mm256_sub_ps(b, d));
    a = _mm256_add_ps(a, c);
    b = _mm256_add_ps(b, d);
    const __m256 u = _mm256_add_ps(t1, it2);
    const __m256 v = _mm256_sub_ps(t1, it2);
    c = _mm256_add_ps(_mm256_mul_ps(u, cw), _mm256_mul_ps(Swap256(u), sw));
    d = _mm256_sub_ps(_mm256_mul_ps(v, cw), _mm256_mul_ps(Swap256(v), sw));
}

inline void InverseStep256(__m256& a, __m256& b, __m256& c, __m256& d, __m256 cw, __m256 sw)
{
    const __m256 p = _mm256_sub_ps(_mm256_mul_ps(c, cw), _mm256_mul_ps(Swap256(c), sw));
    const __m256 q = _mm256_add_ps(_mm256_mul_ps(d, cw), _mm256_mul_ps(Swap256(d), sw));
    const __m256 s = _mm256_add_ps(p, q);
    const __m256 it = TimesI256(_mm256_sub_ps(p, q));
    c = _mm256_sub_ps(a, s);
    a = _mm256_add_ps(a, s);
    d = _mm256_add_ps(b, it);
    b = _mm256_sub_ps(b, it);
}

template <int N, bool Inverse>
inline void Pass(const TComplexSingle* in, TComplexSingle* out)
{
    constexpr int quarter = N / 4;
    const auto* p = reinterpret_cast<const float*>(in);
    auto* q = reinterpret_cast<float*>(out);
    const float* w = WideTwiddles[Ordinal(N)].As<float>();
    for (int k = 0; k < quarter; k += 4, w += 16) {
        const float* pa = p + 2 * k;
        float* qa = q + 2 * k;
        __m256 a = Load256(pa), b = Load256(pa + 2 * quarter);
        __m256 c = Load256(pa + 4 * quarter), d = Load256(pa + 6 * quarter);
        if constexpr (Inverse)
            InverseStep256(a, b, c, d, Load256(w), Load256(w + 8));
        else
            ForwardStep256(a, b, c, d, Load256(w), Load256(w + 8));
        Store256(qa, a);
        Store256(qa + 2 * quarter, b);
        Store256(qa + 4 * quarter, c);
        Store256(qa + 6 * quarter, d);
    }
}

// The pass of size N with the first pass of the N/2 sub-transform, as in the SSE family.
template <int N, bool Inverse>
inline void PassPair(const TComplexSingle* in, TComplexSingle* out)
{
    constexpr int quarter = N / 4;
    constexpr int eighth = N / 8;
    const auto* p = reinterpret_cast<const float*>(in);
    auto* q = reinterpret_cast<float*>(out);
    const float* w = WideTwiddles[Ordinal(N)].As<float>();
    const float* wLate = w + 4 * eighth;
    const float* wHalf = WideTwiddles[Ordinal(N / 2)].As<float>();
    for (int k = 0; k < eighth; k += 4, w += 16, wLate += 16, wHalf += 16) {
        const float* pk = p + 2 * k;
        float* qk = q + 2 * k;
        __m256 a0 = Load256(pk), a1 = Load256(pk + 2 * eighth);
        __m256 b0 = Load256(pk + 2 * quarter), b1 = Load256(pk + 2 * (quarter + eighth));
        __m256 c0 = Load256(pk + 4 * quarter), c1 = Load256(pk + 2 * (2 * quarter + eighth));
        __m256 d0 = Load256(pk + 6 * quarter), d1 = Load256(pk + 2 * (3 * quarter + eighth));
        if constexpr (Inverse) {
            InverseStep256(a0, a1, b0, b1, Load256(wHalf), Load256(wHalf + 8));
            InverseStep256(a0, b0, c0, d0, Load256(w), Load256(w + 8));
            InverseStep256(a1, b1, c1, d1, Load256(wLate), Load256(wLate + 8));
        } else {
            ForwardStep256(a0, b0, c0, d0, Load256(w), Load256(w + 8));
            ForwardStep256(a1, b1, c1, d1, Load256(wLate), Load256(wLate + 8));
            ForwardStep256(a0, a1, b0, b1, Load256(wHalf), Load256(wHalf + 8));
        }
        Store256(qk, a0);
        Store256(qk + 2 * eighth, a1);
        Store256(qk + 2 * quarter, b0);
        Store256(qk + 2 * (quarter + eighth), b1);
        Store256(qk + 4 * quarter, c0);
        Store256(qk + 2 * (2 * quarter + eighth), c1);
        Store256(qk + 6 * quarter, d0);
        Store256(qk + 2 * (3 * quarter + eighth), d1);
    }
}

struct TAVXPasses {
    template <int N, bool Inverse>
    [[gnu::always_inline]] static void First(const TComplexSingle* in, TComplexSingle* out)
    {
        if constexpr (N == 32)
            Pass<N, Inverse>(in, out);
        else
            PassPair<N, Inverse>(in, out);
    }
};

using TAVX = TSplitRadix<TAVXPasses>;

void ScaleAVX(TComplexSingle* buffer, int count, float factor)
{
    ScaleSSE(buffer, count, factor);
}

}  // namespace

const TFFTVariant AVXVariant = {"AVX", TAVX::Kernels(std::make_index_sequence<2 * FFTSizeCount>()),
                                 TAVX::NaturalKernels(std::make_index_sequence<2 * FFTSizeCount>()), &ScaleAVX,
                                 &PrepareAVXVariant};

}  // namespace fftkernels

#pragma GCC pop_options

#endif
