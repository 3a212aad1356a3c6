#pragma once
// What the SSE and the AVX kernel families share: the butterflies on two complex values per
// register, the leaf transforms up to 16 points (with their natural-order reads and writes) and
// the split-radix recursion over a family's passes. Everything has internal linkage, so each
// family's file compiles its own copy with its own instruction set.
#include "DSFilters/dspFastFourierKernels.h"

#include <xmmintrin.h>

#include <array>
#include <cstdint>
#include <utility>

namespace fftkernels {
namespace {

// Lanes from the lowest address; a minus is the sign bit.
inline __m128 SignMask(bool l0, bool l1, bool l2, bool l3)
{
    const float minus = -0.0f;
    return _mm_setr_ps(l0 ? minus : 0.0f, l1 ? minus : 0.0f, l2 ? minus : 0.0f, l3 ? minus : 0.0f);
}

// (re, im) of each complex value exchanged.
inline __m128 Swap(__m128 v)
{
    return _mm_shuffle_ps(v, v, _MM_SHUFFLE(2, 3, 0, 1));
}

// i·v for both complex values of a register.
inline __m128 TimesI(__m128 v)
{
    return _mm_xor_ps(Swap(v), SignMask(true, false, true, false));
}

// Forward butterflies at k, k + 1 with w = cw + i·sw given as (cw, cw) and (-sw, sw).
inline void ForwardStep(__m128& a, __m128& b, __m128& c, __m128& d, __m128 cw, __m128 sw)
{
    const __m128 t1 = _mm_sub_ps(a, c);
    const __m128 it2 = TimesI(_mm_sub_ps(b, d));
    a = _mm_add_ps(a, c);
    b = _mm_add_ps(b, d);
    const __m128 u = _mm_add_ps(t1, it2);  // t1 + i·t2, times w
    const __m128 v = _mm_sub_ps(t1, it2);  // t1 - i·t2, times conj(w)
    c = _mm_add_ps(_mm_mul_ps(u, cw), _mm_mul_ps(Swap(u), sw));
    d = _mm_sub_ps(_mm_mul_ps(v, cw), _mm_mul_ps(Swap(v), sw));
}

// Inverse butterflies at k, k + 1, the transpose of ForwardStep.
inline void InverseStep(__m128& a, __m128& b, __m128& c, __m128& d, __m128 cw, __m128 sw)
{
    const __m128 p = _mm_sub_ps(_mm_mul_ps(c, cw), _mm_mul_ps(Swap(c), sw));  // c · conj(w)
    const __m128 q = _mm_add_ps(_mm_mul_ps(d, cw), _mm_mul_ps(Swap(d), sw));  // d · w
    const __m128 s = _mm_add_ps(p, q);
    const __m128 it = TimesI(_mm_sub_ps(p, q));
    c = _mm_sub_ps(a, s);
    a = _mm_add_ps(a, s);
    d = _mm_add_ps(b, it);
    b = _mm_sub_ps(b, it);
}

// Size 2 on one register: (x0 + x1, x0 - x1); the same in both directions.
inline __m128 Size2(__m128 r)
{
    return _mm_add_ps(_mm_movelh_ps(r, r), _mm_xor_ps(_mm_movehl_ps(r, r), SignMask(false, false, true, true)));
}

// Size 2 on two registers at once.
inline void Size2Pair(__m128& r0, __m128& r1)
{
    const __m128 lo = _mm_movelh_ps(r0, r1);  // (x0, y0)
    const __m128 hi = _mm_movehl_ps(r1, r0);  // (x1, y1)
    const __m128 s = _mm_add_ps(lo, hi);
    const __m128 d = _mm_sub_ps(lo, hi);
    r0 = _mm_movelh_ps(s, d);
    r1 = _mm_movehl_ps(d, s);
}

inline void Forward4(__m128& r0, __m128& r1)
{
    const __m128 s = _mm_add_ps(r0, r1);  // (x0 + x2, x1 + x3)
    const __m128 t = _mm_sub_ps(r0, r1);  // (t1, t2)
    r0 = Size2(s);
    // (t1 + i·t2, t1 - i·t2)
    const __m128 it2 = _mm_xor_ps(_mm_shuffle_ps(t, t, _MM_SHUFFLE(2, 3, 2, 3)), SignMask(true, false, false, true));
    r1 = _mm_add_ps(_mm_movelh_ps(t, t), it2);
}

inline void Inverse4(__m128& r0, __m128& r1)
{
    const __m128 u = Size2(r0);   // (u0, u1)
    const __m128 st = Size2(r1);  // (s, t)
    // (s, -i·t)
    const __m128 y = _mm_xor_ps(_mm_shuffle_ps(st, st, _MM_SHUFFLE(2, 3, 1, 0)), SignMask(false, false, false, true));
    r0 = _mm_add_ps(u, y);
    r1 = _mm_sub_ps(u, y);
}

inline __m128 Twiddles(float c0, float s0, float c1, float s1, bool sine)
{
    return sine ? _mm_setr_ps(-s0, s0, -s1, s1) : _mm_setr_ps(c0, c0, c1, c1);
}

inline void Forward8(__m128& r0, __m128& r1, __m128& r2, __m128& r3)
{
    ForwardStep(r0, r1, r2, r3, Twiddles(1, 0, Sqrt1_2, Sqrt1_2, false), Twiddles(1, 0, Sqrt1_2, Sqrt1_2, true));
    Forward4(r0, r1);
    Size2Pair(r2, r3);
}

inline void Inverse8(__m128& r0, __m128& r1, __m128& r2, __m128& r3)
{
    Inverse4(r0, r1);
    Size2Pair(r2, r3);
    InverseStep(r0, r1, r2, r3, Twiddles(1, 0, Sqrt1_2, Sqrt1_2, false), Twiddles(1, 0, Sqrt1_2, Sqrt1_2, true));
}

// Twiddles of the size-16 pass: k = 0, 1 and k = 2, 3.
inline __m128 Cos16(int half) { return half == 0 ? Twiddles(1, 0, CosPi8, SinPi8, false) : Twiddles(Sqrt1_2, Sqrt1_2, SinPi8, CosPi8, false); }
inline __m128 Sin16(int half) { return half == 0 ? Twiddles(1, 0, CosPi8, SinPi8, true) : Twiddles(Sqrt1_2, Sqrt1_2, SinPi8, CosPi8, true); }

struct TRegs16 {
    __m128 r[8];
};

// Where a natural-order transform keeps its values: the kernel-order positions live in Work,
// the natural order in Io; the leaf transforms read (inverse) or write (forward) Io directly.
// Conjugate flips the sign of the imaginary parts the leaves gather (zero: it keeps them).
struct TNatural {
    const uint16_t* Natural;  // natural bin of each kernel position
    const TComplexSingle* Work;
    TComplexSingle* Io;
    __m128 Conjugate;
};

inline TRegs16 Load(const TComplexSingle* x, int count, const TNatural* natural)
{
    TRegs16 regs;
    if (natural) {
        const uint16_t* bins = natural->Natural + (x - natural->Work);
        for (int i = 0; i < count / 2; ++i) {
            const __m128 lo = _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(natural->Io + bins[2 * i]));
            regs.r[i] = _mm_xor_ps(_mm_loadh_pi(lo, reinterpret_cast<const __m64*>(natural->Io + bins[2 * i + 1])),
                                   natural->Conjugate);
        }
        return regs;
    }
    const auto* p = reinterpret_cast<const float*>(x);
    for (int i = 0; i < count / 2; ++i)
        regs.r[i] = _mm_load_ps(p + 4 * i);
    return regs;
}

inline void Store(TComplexSingle* x, const TRegs16& regs, int count, const TNatural* natural)
{
    if (natural) {
        const uint16_t* bins = natural->Natural + (x - natural->Work);
        for (int i = 0; i < count / 2; ++i) {
            _mm_storel_pi(reinterpret_cast<__m64*>(natural->Io + bins[2 * i]), regs.r[i]);
            _mm_storeh_pi(reinterpret_cast<__m64*>(natural->Io + bins[2 * i + 1]), regs.r[i]);
        }
        return;
    }
    auto* p = reinterpret_cast<float*>(x);
    for (int i = 0; i < count / 2; ++i)
        _mm_store_ps(p + 4 * i, regs.r[i]);
}

// The leaf transforms; with a natural-order context the forward one scatters its bins to their
// natural places and the inverse one gathers its input from there.
template <int N>
[[gnu::always_inline]] inline void ForwardSmall(TComplexSingle* x, const TNatural* natural)
{
    TRegs16 v = Load(x, N, nullptr);
    if constexpr (N == 2) {
        v.r[0] = Size2(v.r[0]);
    } else if constexpr (N == 4) {
        Forward4(v.r[0], v.r[1]);
    } else if constexpr (N == 8) {
        Forward8(v.r[0], v.r[1], v.r[2], v.r[3]);
    } else {
        ForwardStep(v.r[0], v.r[2], v.r[4], v.r[6], Cos16(0), Sin16(0));
        ForwardStep(v.r[1], v.r[3], v.r[5], v.r[7], Cos16(1), Sin16(1));
        Forward8(v.r[0], v.r[1], v.r[2], v.r[3]);
        Forward4(v.r[4], v.r[5]);
        Forward4(v.r[6], v.r[7]);
    }
    Store(x, v, N, natural);
}

template <int N>
[[gnu::always_inline]] inline void InverseSmall(TComplexSingle* x, const TNatural* natural)
{
    TRegs16 v = Load(x, N, natural);
    if constexpr (N == 2) {
        v.r[0] = Size2(v.r[0]);
    } else if constexpr (N == 4) {
        Inverse4(v.r[0], v.r[1]);
    } else if constexpr (N == 8) {
        Inverse8(v.r[0], v.r[1], v.r[2], v.r[3]);
    } else {
        Inverse8(v.r[0], v.r[1], v.r[2], v.r[3]);
        Inverse4(v.r[4], v.r[5]);
        Inverse4(v.r[6], v.r[7]);
        InverseStep(v.r[0], v.r[2], v.r[4], v.r[6], Cos16(0), Sin16(0));
        InverseStep(v.r[1], v.r[3], v.r[5], v.r[7], Cos16(1), Sin16(1));
    }
    Store(x, v, N, nullptr);
}

// The recursion of the split-radix transform over a family's passes: Passes::First<N, Inverse,
// Conjugate> does the size's first pass (size 32) or its pass pair (64 and up) from in to out,
// flipping the sign of the imaginary parts it stores when Conjugate is set; Passes::Leaf<N,
// Inverse> is the family's transform of 16 points or fewer inside a larger one.
template <class Passes>
struct TSplitRadix {
    // Every size is a routine of its own: inlined into the larger sizes, the sub-transforms
    // crowd the registers and spill.
    template <int N>
    [[gnu::noinline]] static void Forward(TComplexSingle* x, const TNatural* natural)
    {
        if constexpr (N <= 16) {
            Passes::template Leaf<N, false>(x, natural);
        } else {
            Passes::template First<N, false, false>(x, x);
            ForwardSubs<N>(x, natural);
        }
    }

    template <int N>
    [[gnu::noinline]] static void Inverse(TComplexSingle* x, const TNatural* natural)
    {
        if constexpr (N <= 16) {
            Passes::template Leaf<N, true>(x, natural);
        } else {
            InverseSubs<N>(x, natural);
            Passes::template First<N, true, false>(x, x);
        }
    }

    // What follows the size's first pass (forward) or precedes its last (inverse).
    template <int N>
    [[gnu::always_inline]] static void ForwardSubs(TComplexSingle* x, const TNatural* natural)
    {
        if constexpr (N == 32) {
            Forward<N / 4>(x + N / 2, natural);
            Forward<N / 4>(x + 3 * N / 4, natural);
            Forward<N / 2>(x, natural);
        } else {
            // The pass pair did the first pass of the N/2 sub-transform as well.
            Forward<N / 4>(x + N / 2, natural);
            Forward<N / 4>(x + 3 * N / 4, natural);
            Forward<N / 8>(x + N / 4, natural);
            Forward<N / 8>(x + 3 * N / 8, natural);
            Forward<N / 4>(x, natural);
        }
    }

    template <int N>
    [[gnu::always_inline]] static void InverseSubs(TComplexSingle* x, const TNatural* natural)
    {
        if constexpr (N == 32) {
            Inverse<N / 2>(x, natural);
            Inverse<N / 4>(x + N / 2, natural);
            Inverse<N / 4>(x + 3 * N / 4, natural);
        } else {
            Inverse<N / 4>(x, natural);
            Inverse<N / 8>(x + N / 4, natural);
            Inverse<N / 8>(x + 3 * N / 8, natural);
            Inverse<N / 4>(x + N / 2, natural);
            Inverse<N / 4>(x + 3 * N / 4, natural);
        }
    }

    template <int N>
    static void ForwardKernel(TComplexSingle* x)
    {
        Forward<N>(x, nullptr);
    }

    template <int N>
    static void InverseKernel(TComplexSingle* x)
    {
        Inverse<N>(x, nullptr);
    }

    // Natural order: the leaves gather their input from the buffer's natural order into the
    // work area's kernel order and the last pass writes the buffer, so every value moves in
    // loads, which cost less than scattered stores. The forward transform is the inverse one of
    // the conjugate input, conjugated: X = conj(Σ conj(x)·e^(-iθ)). Up to 16 points the leaf
    // reads and writes the buffer itself.
    template <int N>
    static void ForwardNatural(TComplexSingle* buffer, TComplexSingle* work)
    {
        if constexpr (N <= 16) {
            const TNatural natural{NaturalData(N), buffer, buffer, _mm_setzero_ps()};
            ForwardSmall<N>(buffer, &natural);
        } else {
            const TNatural natural{NaturalData(N), work, buffer, SignMask(false, true, false, true)};
            InverseSubs<N>(work, &natural);
            Passes::template First<N, true, true>(work, buffer);
        }
    }

    template <int N>
    static void InverseNatural(TComplexSingle* buffer, TComplexSingle* work)
    {
        const TNatural natural{NaturalData(N), N <= 16 ? buffer : work, buffer, _mm_setzero_ps()};
        if constexpr (N <= 16) {
            InverseSmall<N>(buffer, &natural);
        } else {
            InverseSubs<N>(work, &natural);
            Passes::template First<N, true, false>(work, buffer);
        }
    }

    template <size_t... I>
    static constexpr std::array<TFFTKernel, 2 * FFTSizeCount> Kernels(std::index_sequence<I...>)
    {
        return {((I % 2) ? &InverseKernel<(2 << (I / 2))> : &ForwardKernel<(2 << (I / 2))>)...};
    }

    template <size_t... I>
    static constexpr std::array<TFFTNaturalKernel, 2 * FFTSizeCount> NaturalKernels(std::index_sequence<I...>)
    {
        return {((I % 2) ? &InverseNatural<(2 << (I / 2))> : &ForwardNatural<(2 << (I / 2))>)...};
    }
};

inline void ScaleSSE(TComplexSingle* buffer, int count, float factor)
{
    auto* p = reinterpret_cast<float*>(buffer);
    const int singles = 2 * count;
    const __m128 f = _mm_set1_ps(factor);
    int i = 0;
    for (; i + 4 <= singles; i += 4)
        _mm_store_ps(p + i, _mm_mul_ps(_mm_load_ps(p + i), f));
    for (; i < singles; ++i)
        p[i] *= factor;
}

}  // namespace
}  // namespace fftkernels
