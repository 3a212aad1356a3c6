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

// A pass's result as stored: conjugated for the last pass of a forward natural-order transform.
template <bool Conjugate>
inline __m256 Out(__m256 v)
{
    if constexpr (Conjugate)
        return _mm256_xor_ps(v, SignMask256(false, true));
    else
        return v;
}

// The leaves of 8 and 16 points on four complex values per register: register j holds
// x[4j] .. x[4j + 3]; the 8- and 4-point butterflies work across its two 128-bit halves.
inline __m256 Mask256(bool l0, bool l1, bool l2, bool l3, bool l4, bool l5, bool l6, bool l7)
{
    const auto m = [](bool minus) { return minus ? -0.0f : 0.0f; };
    return _mm256_setr_ps(m(l0), m(l1), m(l2), m(l3), m(l4), m(l5), m(l6), m(l7));
}

inline __m256 LowTwice(__m256 v)
{
    return _mm256_permute2f128_ps(v, v, 0x00);
}

inline __m256 HighTwice(__m256 v)
{
    return _mm256_permute2f128_ps(v, v, 0x11);
}

// (x0 + x1, x0 - x1) in each half.
inline __m256 Size2Halves(__m256 v)
{
    return _mm256_add_ps(_mm256_shuffle_ps(v, v, _MM_SHUFFLE(1, 0, 1, 0)),
                         _mm256_xor_ps(_mm256_shuffle_ps(v, v, _MM_SHUFFLE(3, 2, 3, 2)), Mask256(0, 0, 1, 1, 0, 0, 1, 1)));
}

// c·w + swap(c)·s for the twiddles (cw, cw) and (s0, s1) given per value.
inline __m256 Rotate(__m256 v, __m256 cw, __m256 sw)
{
    return _mm256_add_ps(_mm256_mul_ps(v, cw), _mm256_mul_ps(Swap256(v), sw));
}

inline __m256 Forward4x(__m256 v)
{
    const __m256 st = _mm256_add_ps(LowTwice(v), _mm256_xor_ps(HighTwice(v), Mask256(0, 0, 0, 0, 1, 1, 1, 1)));  // (s | t)
    // (s0 - s1 | i·t2, -i·t2) added to (s0 | t1)
    const __m256 other = _mm256_shuffle_ps(st, st, _MM_SHUFFLE(3, 2, 3, 2));
    const __m256 twin = _mm256_blend_ps(other, _mm256_shuffle_ps(st, st, _MM_SHUFFLE(2, 3, 2, 3)), 0xF0);
    return _mm256_add_ps(_mm256_shuffle_ps(st, st, _MM_SHUFFLE(1, 0, 1, 0)), _mm256_xor_ps(twin, Mask256(0, 0, 1, 1, 1, 0, 0, 1)));
}

inline __m256 Inverse4x(__m256 v)
{
    const __m256 z = Size2Halves(v);  // (u0, u1 | s, t)
    const __m256 high = HighTwice(z);
    // (s, -i·t) added to and taken from (u0, u1)
    const __m256 y = _mm256_xor_ps(_mm256_permute_ps(high, _MM_SHUFFLE(2, 3, 1, 0)), Mask256(0, 0, 0, 1, 1, 1, 1, 0));
    return _mm256_add_ps(LowTwice(z), y);
}

inline void Forward8x(__m256& r0, __m256& r1)
{
    const __m256 sum = _mm256_add_ps(r0, r1);
    const __m256 t = _mm256_sub_ps(r0, r1);  // (t1 | t2)
    const __m256 uv = _mm256_add_ps(LowTwice(t), _mm256_xor_ps(TimesI256(HighTwice(t)), Mask256(0, 0, 0, 0, 1, 1, 1, 1)));
    const __m256 cw = _mm256_setr_ps(1, 1, Sqrt1_2, Sqrt1_2, 1, 1, Sqrt1_2, Sqrt1_2);
    const __m256 sw = _mm256_setr_ps(0, 0, -Sqrt1_2, Sqrt1_2, 0, 0, Sqrt1_2, -Sqrt1_2);
    r0 = Forward4x(sum);
    r1 = Size2Halves(Rotate(uv, cw, sw));
}

inline void Inverse8x(__m256& r0, __m256& r1)
{
    r0 = Inverse4x(r0);
    const __m256 cw = _mm256_setr_ps(1, 1, Sqrt1_2, Sqrt1_2, 1, 1, Sqrt1_2, Sqrt1_2);
    const __m256 sw = _mm256_setr_ps(0, 0, Sqrt1_2, -Sqrt1_2, 0, 0, -Sqrt1_2, Sqrt1_2);
    const __m256 pq = Rotate(Size2Halves(r1), cw, sw);  // (c·conj(w) | d·w)
    // (p + q | q - p), the upper half times i
    const __m256 t = _mm256_add_ps(pq, _mm256_xor_ps(_mm256_permute2f128_ps(pq, pq, 0x01), Mask256(0, 0, 0, 0, 1, 1, 1, 1)));
    const __m256 u = _mm256_blend_ps(t, TimesI256(t), 0xF0);
    r1 = _mm256_sub_ps(r0, u);
    r0 = _mm256_add_ps(r0, u);
}

inline __m256 Cos16x()
{
    return _mm256_setr_ps(1, 1, CosPi8, CosPi8, Sqrt1_2, Sqrt1_2, SinPi8, SinPi8);
}

inline __m256 Sin16x()
{
    return _mm256_setr_ps(0, 0, -SinPi8, SinPi8, -Sqrt1_2, Sqrt1_2, -CosPi8, CosPi8);
}

// Four values from their natural places, conjugated as the context asks.
inline __m256 Gather4(const TNatural& natural, const uint16_t* bins)
{
    const auto pair = [&](int i) {
        const __m128 lo = _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(natural.Io + bins[i]));
        return _mm_loadh_pi(lo, reinterpret_cast<const __m64*>(natural.Io + bins[i + 1]));
    };
    const __m256 v = _mm256_insertf128_ps(_mm256_castps128_ps256(pair(0)), pair(2), 1);
    return _mm256_xor_ps(v, _mm256_insertf128_ps(_mm256_castps128_ps256(natural.Conjugate), natural.Conjugate, 1));
}

// Gathered: the input comes from natural order (else from x); the two forms are separate code,
// so the values stay in registers.
template <int N, bool Inverse, bool Gathered>
[[gnu::always_inline]] inline void Leaf256(TComplexSingle* x, const TNatural* natural)
{
    auto* p = reinterpret_cast<float*>(x);
    __m256 r[N / 4];
    for (int i = 0; i < N / 4; ++i) {
        if constexpr (Gathered)
            r[i] = Gather4(*natural, natural->Natural + (x - natural->Work) + 4 * i);
        else
            r[i] = Load256(p + 8 * i);
    }
    if constexpr (N == 8) {
        if constexpr (Inverse)
            Inverse8x(r[0], r[1]);
        else
            Forward8x(r[0], r[1]);
    } else if constexpr (Inverse) {
        Inverse8x(r[0], r[1]);
        r[2] = Inverse4x(r[2]);
        r[3] = Inverse4x(r[3]);
        InverseStep256(r[0], r[1], r[2], r[3], Cos16x(), Sin16x());
    } else {
        ForwardStep256(r[0], r[1], r[2], r[3], Cos16x(), Sin16x());
        Forward8x(r[0], r[1]);
        r[2] = Forward4x(r[2]);
        r[3] = Forward4x(r[3]);
    }
    for (int i = 0; i < N / 4; ++i)
        Store256(p + 8 * i, r[i]);
}

template <int N, bool Inverse, bool Conjugate>
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
        Store256(qa, Out<Conjugate>(a));
        Store256(qa + 2 * quarter, Out<Conjugate>(b));
        Store256(qa + 4 * quarter, Out<Conjugate>(c));
        Store256(qa + 6 * quarter, Out<Conjugate>(d));
    }
}

// The pass of size N with the first pass of the N/2 sub-transform, as in the SSE family.
template <int N, bool Inverse, bool Conjugate>
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
        Store256(qk, Out<Conjugate>(a0));
        Store256(qk + 2 * eighth, Out<Conjugate>(a1));
        Store256(qk + 2 * quarter, Out<Conjugate>(b0));
        Store256(qk + 2 * (quarter + eighth), Out<Conjugate>(b1));
        Store256(qk + 4 * quarter, Out<Conjugate>(c0));
        Store256(qk + 2 * (2 * quarter + eighth), Out<Conjugate>(c1));
        Store256(qk + 6 * quarter, Out<Conjugate>(d0));
        Store256(qk + 2 * (3 * quarter + eighth), Out<Conjugate>(d1));
    }
}

struct TAVXPasses {
    template <int N, bool Inverse, bool Conjugate>
    [[gnu::always_inline]] static void First(const TComplexSingle* in, TComplexSingle* out)
    {
        if constexpr (N == 32)
            Pass<N, Inverse, Conjugate>(in, out);
        else
            PassPair<N, Inverse, Conjugate>(in, out);
    }

    // Inside a larger transform the leaves of 8 and 16 points gather (inverse) from natural
    // order but never scatter to it: the forward natural-order path runs the inverse one.
    template <int N, bool Inverse>
    [[gnu::always_inline]] static void Leaf(TComplexSingle* x, const TNatural* natural)
    {
        if constexpr (N >= 8) {
            if (Inverse && natural)
                Leaf256<N, Inverse, true>(x, natural);
            else
                Leaf256<N, Inverse, false>(x, nullptr);
        } else if constexpr (Inverse)
            InverseSmall<N>(x, natural);
        else
            ForwardSmall<N>(x, natural);
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
