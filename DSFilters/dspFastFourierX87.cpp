// The scalar reference variant: every value is loaded into extended precision, sums and
// products stay there, and results are rounded to single when stored.
#include "DSFilters/dspFastFourierKernels.h"

#include <utility>

namespace fftkernels {
namespace {

using Ext = long double;

// One butterfly of the forward pass (decimation in frequency) at k with w = (c, s).
inline void ForwardButterfly(TComplexSingle* x, int quarter, int k, Ext c, Ext s, bool rotate)
{
    TComplexSingle& pa = x[k];
    TComplexSingle& pb = x[k + quarter];
    TComplexSingle& pc = x[k + 2 * quarter];
    TComplexSingle& pd = x[k + 3 * quarter];
    const Ext ar = pa.Re, ai = pa.Im, br = pb.Re, bi = pb.Im;
    const Ext cr = pc.Re, ci = pc.Im, dr = pd.Re, di = pd.Im;
    const Ext t1r = ar - cr, t1i = ai - ci, t2r = br - dr, t2i = bi - di;
    pa = {static_cast<float>(ar + cr), static_cast<float>(ai + ci)};
    pb = {static_cast<float>(br + dr), static_cast<float>(bi + di)};
    // u = t1 + i·t2 times w; v = t1 - i·t2 times conj(w)
    const Ext ur = t1r - t2i, ui = t1i + t2r;
    const Ext vr = t1r + t2i, vi = t1i - t2r;
    if (!rotate) {
        pc = {static_cast<float>(ur), static_cast<float>(ui)};
        pd = {static_cast<float>(vr), static_cast<float>(vi)};
        return;
    }
    pc = {static_cast<float>(ur * c - ui * s), static_cast<float>(ur * s + ui * c)};
    pd = {static_cast<float>(vr * c + vi * s), static_cast<float>(vi * c - vr * s)};
}

// One butterfly of the inverse pass (decimation in time, the transpose of the forward one).
inline void InverseButterfly(TComplexSingle* x, int quarter, int k, Ext c, Ext s, bool rotate)
{
    TComplexSingle& pa = x[k];
    TComplexSingle& pb = x[k + quarter];
    TComplexSingle& pc = x[k + 2 * quarter];
    TComplexSingle& pd = x[k + 3 * quarter];
    const Ext u0r = pa.Re, u0i = pa.Im, u1r = pb.Re, u1i = pb.Im;
    Ext pr = pc.Re, pi = pc.Im, qr = pd.Re, qi = pd.Im;
    if (rotate) {
        // p = x[k + N/2] · conj(w), q = x[k + 3N/4] · w
        const Ext pr0 = pr, qr0 = qr;
        pr = pr0 * c + pi * s;
        pi = pi * c - pr0 * s;
        qr = qr0 * c - qi * s;
        qi = qr0 * s + qi * c;
    }
    const Ext sr = pr + qr, si = pi + qi, tr = pr - qr, ti = pi - qi;
    pa = {static_cast<float>(u0r + sr), static_cast<float>(u0i + si)};
    pc = {static_cast<float>(u0r - sr), static_cast<float>(u0i - si)};
    pb = {static_cast<float>(u1r + ti), static_cast<float>(u1i - tr)};  // u1 - i·t
    pd = {static_cast<float>(u1r - ti), static_cast<float>(u1i + tr)};  // u1 + i·t
}

// The twiddle of a pass: the constants for sizes up to 16, the size's table above.
template <int N>
inline TComplexSingle PassTwiddle(int k)
{
    if constexpr (N == 8)
        return {Sqrt1_2, Sqrt1_2};
    else if constexpr (N == 16)
        return k == 1 ? TComplexSingle{CosPi8, SinPi8}
             : k == 2 ? TComplexSingle{Sqrt1_2, Sqrt1_2}
                      : TComplexSingle{SinPi8, CosPi8};
    else
        return Twiddle(TwiddleData(N), N, k);
}

template <int N, bool Inverse>
inline void Pass(TComplexSingle* x)
{
    constexpr int quarter = N / 4;
    if constexpr (Inverse)
        InverseButterfly(x, quarter, 0, 1, 0, false);
    else
        ForwardButterfly(x, quarter, 0, 1, 0, false);
    for (int k = 1; k < quarter; ++k) {
        const TComplexSingle w = PassTwiddle<N>(k);
        if constexpr (Inverse)
            InverseButterfly(x, quarter, k, w.Re, w.Im, true);
        else
            ForwardButterfly(x, quarter, k, w.Re, w.Im, true);
    }
}

template <int N>
void Forward(TComplexSingle* x);
template <int N>
void Inverse(TComplexSingle* x);
template <int N>
inline void ForwardBody(TComplexSingle* x);
template <int N>
inline void InverseBody(TComplexSingle* x);

// Sizes up to 16 are inlined into their callers as straight-line code; larger sizes are a
// routine of their own: a pass and three calls.
template <int N>
[[gnu::always_inline]] inline void ForwardSub(TComplexSingle* x)
{
    if constexpr (N <= 16)
        ForwardBody<N>(x);
    else
        Forward<N>(x);
}

template <int N>
[[gnu::always_inline]] inline void InverseSub(TComplexSingle* x)
{
    if constexpr (N <= 16)
        InverseBody<N>(x);
    else
        Inverse<N>(x);
}

template <int N>
[[gnu::always_inline]] inline void ForwardBody(TComplexSingle* x)
{
    if constexpr (N == 2) {
        const Ext ar = x[0].Re, ai = x[0].Im, br = x[1].Re, bi = x[1].Im;
        x[0] = {static_cast<float>(ar + br), static_cast<float>(ai + bi)};
        x[1] = {static_cast<float>(ar - br), static_cast<float>(ai - bi)};
    } else if constexpr (N == 4) {
        Pass<4, false>(x);
        ForwardBody<2>(x);
    } else {
        Pass<N, false>(x);
        ForwardSub<N / 4>(x + N / 2);
        ForwardSub<N / 4>(x + 3 * N / 4);
        ForwardSub<N / 2>(x);
    }
}

template <int N>
[[gnu::always_inline]] inline void InverseBody(TComplexSingle* x)
{
    if constexpr (N == 2) {
        ForwardBody<2>(x);
    } else if constexpr (N == 4) {
        InverseBody<2>(x);
        Pass<4, true>(x);
    } else {
        InverseSub<N / 2>(x);
        InverseSub<N / 4>(x + N / 2);
        InverseSub<N / 4>(x + 3 * N / 4);
        Pass<N, true>(x);
    }
}

template <int N>
void Forward(TComplexSingle* x)
{
    ForwardBody<N>(x);
}

template <int N>
void Inverse(TComplexSingle* x)
{
    InverseBody<N>(x);
}

template <size_t... I>
constexpr std::array<TFFTKernel, 2 * FFTSizeCount> MakeKernels(std::index_sequence<I...>)
{
    return {((I % 2) ? &Inverse<(2 << (I / 2))> : &Forward<(2 << (I / 2))>)...};
}

void ScaleX87(TComplexSingle* buffer, int count, float factor)
{
    const Ext f = factor;
    for (int i = 0; i < count; ++i) {
        buffer[i].Re = static_cast<float>(buffer[i].Re * f);
        buffer[i].Im = static_cast<float>(buffer[i].Im * f);
    }
}

}  // namespace

// No natural-order kernels: the driver re-orders around the in-place ones.
const TFFTVariant X87Variant = {"x87", MakeKernels(std::make_index_sequence<2 * FFTSizeCount>()), {}, &ScaleX87,
                                 nullptr};

}  // namespace fftkernels
