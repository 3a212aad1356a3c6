// The SSE variant: two complex values per register, aligned 16-byte loads and stores.
// Only SSE (not SSE2) instructions are used, as the processor flag promises no more.
#include "DSFilters/dspFastFourierKernels.h"

#if defined(__SSE__)
#include "DSFilters/dspFastFourierSIMD.h"

#include <algorithm>

namespace fftkernels {
namespace {

// Widened twiddles of sizes 32 to 8192: for each pair k, k + 1 of a pass (k even, from 0 to
// N/4 - 2) eight singles: (c_k, c_k, c_k+1, c_k+1) and (-s_k, s_k, -s_k+1, s_k+1).
std::array<TAlignedBlock, FFTSizeCount> WideTwiddles;

// A pass's result as stored: conjugated for the last pass of a forward natural-order transform.
template <bool Conjugate>
inline __m128 Out(__m128 v)
{
    if constexpr (Conjugate)
        return _mm_xor_ps(v, SignMask(false, true, false, true));
    else
        return v;
}

// One pass of size N from in to out (the same buffer but for the last pass of a natural-order
// transform).
template <int N, bool Inverse, bool Conjugate>
inline void Pass(const TComplexSingle* in, TComplexSingle* out)
{
    constexpr int quarter = N / 4;
    const auto* p = reinterpret_cast<const float*>(in);
    auto* q = reinterpret_cast<float*>(out);
    const float* w = WideTwiddles[Ordinal(N)].As<float>();
    for (int k = 0; k < quarter; k += 2, w += 8) {
        const float* pa = p + 2 * k;
        float* qa = q + 2 * k;
        __m128 a = _mm_load_ps(pa);
        __m128 b = _mm_load_ps(pa + 2 * quarter);
        __m128 c = _mm_load_ps(pa + 4 * quarter);
        __m128 d = _mm_load_ps(pa + 6 * quarter);
        if constexpr (Inverse)
            InverseStep(a, b, c, d, _mm_load_ps(w), _mm_load_ps(w + 4));
        else
            ForwardStep(a, b, c, d, _mm_load_ps(w), _mm_load_ps(w + 4));
        _mm_store_ps(qa, Out<Conjugate>(a));
        _mm_store_ps(qa + 2 * quarter, Out<Conjugate>(b));
        _mm_store_ps(qa + 4 * quarter, Out<Conjugate>(c));
        _mm_store_ps(qa + 6 * quarter, Out<Conjugate>(d));
    }
}

// The pass of size N and the pass of size N/2 over the first half, in one sweep: the second
// works on the sums the first leaves at k, k + N/8, k + N/4 and k + 3N/8, so they stay in
// registers. Forward: the N pass first; inverse: the N/2 pass first.
template <int N, bool Inverse, bool Conjugate>
inline void PassPair(const TComplexSingle* in, TComplexSingle* out)
{
    constexpr int quarter = N / 4;
    constexpr int eighth = N / 8;
    const auto* p = reinterpret_cast<const float*>(in);
    auto* q = reinterpret_cast<float*>(out);
    const float* w = WideTwiddles[Ordinal(N)].As<float>();
    const float* wLate = w + 4 * eighth;  // the pair k + N/8
    const float* wHalf = WideTwiddles[Ordinal(N / 2)].As<float>();
    for (int k = 0; k < eighth; k += 2, w += 8, wLate += 8, wHalf += 8) {
        const float* pk = p + 2 * k;
        float* qk = q + 2 * k;
        __m128 a0 = _mm_load_ps(pk), a1 = _mm_load_ps(pk + 2 * eighth);
        __m128 b0 = _mm_load_ps(pk + 2 * quarter), b1 = _mm_load_ps(pk + 2 * (quarter + eighth));
        __m128 c0 = _mm_load_ps(pk + 4 * quarter), c1 = _mm_load_ps(pk + 2 * (2 * quarter + eighth));
        __m128 d0 = _mm_load_ps(pk + 6 * quarter), d1 = _mm_load_ps(pk + 2 * (3 * quarter + eighth));
        if constexpr (Inverse) {
            InverseStep(a0, a1, b0, b1, _mm_load_ps(wHalf), _mm_load_ps(wHalf + 4));
            InverseStep(a0, b0, c0, d0, _mm_load_ps(w), _mm_load_ps(w + 4));
            InverseStep(a1, b1, c1, d1, _mm_load_ps(wLate), _mm_load_ps(wLate + 4));
        } else {
            ForwardStep(a0, b0, c0, d0, _mm_load_ps(w), _mm_load_ps(w + 4));
            ForwardStep(a1, b1, c1, d1, _mm_load_ps(wLate), _mm_load_ps(wLate + 4));
            ForwardStep(a0, a1, b0, b1, _mm_load_ps(wHalf), _mm_load_ps(wHalf + 4));
        }
        _mm_store_ps(qk, Out<Conjugate>(a0));
        _mm_store_ps(qk + 2 * eighth, Out<Conjugate>(a1));
        _mm_store_ps(qk + 2 * quarter, Out<Conjugate>(b0));
        _mm_store_ps(qk + 2 * (quarter + eighth), Out<Conjugate>(b1));
        _mm_store_ps(qk + 4 * quarter, Out<Conjugate>(c0));
        _mm_store_ps(qk + 2 * (2 * quarter + eighth), Out<Conjugate>(c1));
        _mm_store_ps(qk + 6 * quarter, Out<Conjugate>(d0));
        _mm_store_ps(qk + 2 * (3 * quarter + eighth), Out<Conjugate>(d1));
    }
}

struct TSSEPasses {
    template <int N, bool Inverse, bool Conjugate>
    [[gnu::always_inline]] static void First(const TComplexSingle* in, TComplexSingle* out)
    {
        if constexpr (N == 32)
            Pass<N, Inverse, Conjugate>(in, out);
        else
            PassPair<N, Inverse, Conjugate>(in, out);
    }

    // With and without a natural-order context as separate code, so the values stay in registers.
    template <int N, bool Inverse>
    [[gnu::always_inline]] static void Leaf(TComplexSingle* x, const TNatural* natural)
    {
        if constexpr (Inverse) {
            if (natural)
                InverseSmall<N>(x, natural);
            else
                InverseSmall<N>(x, nullptr);
        } else {
            if (natural)
                ForwardSmall<N>(x, natural);
            else
                ForwardSmall<N>(x, nullptr);
        }
    }
};

using TSSE = TSplitRadix<TSSEPasses>;

void BuildWideTwiddles()
{
    for (int ordinal = Ordinal(32); ordinal < FFTSizeCount; ++ordinal) {
        const int size = 2 << ordinal;
        const int quarter = size / 4;
        TAlignedBlock block(static_cast<size_t>(quarter) * 4 * sizeof(float));
        float* w = block.As<float>();
        const TComplexSingle* table = TwiddleData(size);
        for (int k = 0; k < quarter; k += 2, w += 8) {
            const TComplexSingle w0 = k == 0 ? TComplexSingle{1, 0} : Twiddle(table, size, k);
            const TComplexSingle w1 = Twiddle(table, size, k + 1);
            const float wide[8] = {w0.Re, w0.Re, w1.Re, w1.Re, -w0.Im, w0.Im, -w1.Im, w1.Im};
            std::copy(wide, wide + 8, w);
        }
        WideTwiddles[ordinal] = std::move(block);
    }
}

// Once, whether the variant is chosen or only listed for comparison.
void PrepareSSEVariant()
{
    static const bool built = (BuildWideTwiddles(), true);
    (void)built;
}

}  // namespace

const TFFTVariant SSEVariant = {"SSE", TSSE::Kernels(std::make_index_sequence<2 * FFTSizeCount>()),
                                 TSSE::NaturalKernels(std::make_index_sequence<2 * FFTSizeCount>()), &ScaleSSE,
                                 &PrepareSSEVariant};

}  // namespace fftkernels

#endif
