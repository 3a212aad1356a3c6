#include "DSFilters/dspFastFourier.h"

#include "DSFilters/dspFastFourierKernels.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Order tables of all sizes in one block: size N starts at N - 2; the natural tables likewise.
std::array<uint16_t, 2 * FFTMaxSize - 2> OrderTables;
std::array<uint16_t, 2 * FFTMaxSize - 2> NaturalTables;

constexpr int TwiddleCount(int size)
{
    return size < 32 ? 0 : size <= 512 ? size / 4 - 1 : size / 8 - 1;
}

constexpr int TwiddleOffset(int size)
{
    int offset = 0;
    for (int n = 32; n < size; n *= 2)
        offset += TwiddleCount(n);
    return offset;
}

std::array<TComplexSingle, TwiddleOffset(2 * FFTMaxSize)> TwiddleTables;

const TFFTVariant* ChosenVariant = &fftkernels::X87Variant;

// Each size's table from the one before: Flip alternates, Start = 2·Start - Flip, the entries
// are doubled into both halves and those from Start on, N/2 of them, get one added.
void BuildOrderTables()
{
    OrderTables[0] = 0;
    OrderTables[1] = 1;
    int flip = 1, start = 1;
    for (int n = 4; n <= FFTMaxSize; n *= 2) {
        flip = flip == 0 ? 1 : 0;
        start = 2 * start - flip;
        const uint16_t* previous = &OrderTables[n / 2 - 2];
        uint16_t* table = &OrderTables[n - 2];
        for (int i = 0; i < n / 2; ++i)
            table[i] = table[n / 2 + i] = static_cast<uint16_t>(2 * previous[i]);
        for (int i = start; i < start + n / 2; ++i)
            ++table[i];
    }
    for (int n = 2; n <= FFTMaxSize; n *= 2)
        for (int i = 0; i < n; ++i)
            NaturalTables[n - 2 + OrderTables[n - 2 + i]] = static_cast<uint16_t>(i);
}

// Angles are k times a step held as a double; sine and cosine in extended precision.
void BuildTwiddleTables()
{
    const long double twoPi = 6.283185307179586476925286766559L;
    for (int n = 32; n <= FFTMaxSize; n *= 2) {
        const double step = static_cast<double>(twoPi / n);
        TComplexSingle* table = &TwiddleTables[TwiddleOffset(n)];
        for (int k = 1; k <= TwiddleCount(n); ++k) {
            const long double angle = static_cast<long double>(k) * step;
            table[k - 1] = {static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle))};
        }
    }
}

// Size in points to ordinal, or -1 for a size that is not one of the 13.
int OrdinalOf(int size)
{
    for (int ordinal = 0; ordinal < FFTSizeCount; ++ordinal)
        if (size == 2 << ordinal)
            return ordinal;
    return -1;
}

const struct TFastFourierStart {
    TFastFourierStart()
    {
        StartDspUtils();
        BuildFFTTables();
    }
} FastFourierStart;

}  // namespace

namespace fftkernels {
const TComplexSingle* TwiddleData(int size)
{
    return &TwiddleTables[TwiddleOffset(size)];
}

const uint16_t* NaturalData(int size)
{
    return &NaturalTables[size - 2];
}
}  // namespace fftkernels

std::span<const uint16_t> FFTOrderTable(TDCFFTSize size)
{
    const int n = FFTSizeOf(size);
    return {&OrderTables[n - 2], static_cast<size_t>(n)};
}

std::span<const TComplexSingle> TwiddleTable(TDCFFTSize size)
{
    const int n = FFTSizeOf(size);
    return {&TwiddleTables[TwiddleOffset(n)], static_cast<size_t>(TwiddleCount(n))};
}

const TFFTVariant& FFTVariantX87()
{
    return fftkernels::X87Variant;
}

const TFFTVariant* FFTVariantSSE()
{
#if defined(__SSE__)
    return CPUHasSSE ? &fftkernels::SSEVariant : nullptr;
#else
    return nullptr;
#endif
}

const TFFTVariant* FFTVariantAVX()
{
#if defined(__i386__) || defined(__x86_64__)
    return CPUHasAVX ? &fftkernels::AVXVariant : nullptr;
#else
    return nullptr;
#endif
}

std::span<const TFFTVariant* const> FFTVariants()
{
    static const std::vector<const TFFTVariant*> variants = [] {
        std::vector<const TFFTVariant*> list{&FFTVariantX87()};
        for (const TFFTVariant* variant : {FFTVariantSSE(), FFTVariantAVX()}) {
            if (variant) {
                if (variant->Prepare)
                    variant->Prepare();
                list.push_back(variant);
            }
        }
        return list;
    }();
    return variants;
}

const TFFTVariant& ChooseFFTVariant(const TCPUFeatures& features)
{
    const TFFTVariant* sse = nullptr;
    const TFFTVariant* avx = nullptr;
#if defined(__SSE__)
    sse = &fftkernels::SSEVariant;
#endif
#if defined(__i386__) || defined(__x86_64__)
    avx = &fftkernels::AVXVariant;
#endif
    const struct {
        bool Supported;
        const TFFTVariant* Variant;
    } choices[] = {
        {features.AVX && features.SSE, avx},
        {features.ThreeDNowExt, nullptr},
        {features.ThreeDNow, nullptr},
        {features.SSE, sse},
    };
    for (const auto& choice : choices)
        if (choice.Supported && choice.Variant)
            return *choice.Variant;
    return fftkernels::X87Variant;
}

const TFFTVariant& FFTKernelTable()
{
    return *ChosenVariant;
}

void BuildFFTTables()
{
    static const bool built = [] {
        BuildOrderTables();
        BuildTwiddleTables();
        TCPUFeatures features;
        features.SSE = CPUHasSSE;
        features.ThreeDNow = CPUHas3DNow;
        features.ThreeDNowExt = CPUHas3DNowExt;
        features.AVX = CPUHasAVX;
        ChosenVariant = &ChooseFFTVariant(features);
        if (ChosenVariant->Prepare)
            ChosenVariant->Prepare();
        return true;
    }();
    (void)built;
}

void ReorderBuffer(TComplexSingle* buffer, TComplexSingle* work, int size, bool inverse)
{
    const int ordinal = OrdinalOf(size);
    if (ordinal < 0)
        return;
    const uint16_t* order = FFTOrderTable(static_cast<TDCFFTSize>(ordinal)).data();
    std::memcpy(work, buffer, static_cast<size_t>(size) * sizeof(TComplexSingle));
    // A complex value moves as one 64-bit word.
    const auto move = [](TComplexSingle* to, const TComplexSingle* from) {
        uint64_t bits;
        std::memcpy(&bits, from, sizeof bits);
        std::memcpy(to, &bits, sizeof bits);
    };
    if (inverse)
        for (int i = 0; i < size; ++i)
            move(&buffer[order[i]], &work[i]);
    else
        for (int i = 0; i < size; ++i)
            move(&buffer[i], &work[order[i]]);
}

void ScaleBuffer(TComplexSingle* buffer, int count, float factor)
{
    ChosenVariant->ScaleBuffer(buffer, count, factor);
}

void DoFFTWith(const TFFTVariant& variant, void* buffer, int size, bool inverse, bool scale, bool reOrder,
               void* work)
{
    const int ordinal = OrdinalOf(size);
    if (ordinal < 0)
        return;
    auto* data = static_cast<TComplexSingle*>(buffer);
    TAlignedBlock temporary;
    if (reOrder && !work) {
        temporary = TAlignedBlock(static_cast<size_t>(size) * sizeof(TComplexSingle));
        work = temporary.Data();
    }
    auto* scratch = static_cast<TComplexSingle*>(work);
    const TFFTNaturalKernel natural = reOrder ? variant.NaturalKernels[2 * ordinal + (inverse ? 1 : 0)] : nullptr;
    if (!inverse) {
        if (natural) {
            natural(data, scratch);
            return;
        }
        variant.Kernels[2 * ordinal](data);
        if (reOrder)
            ReorderBuffer(data, scratch, size, false);
        return;
    }
    if (scale)
        variant.ScaleBuffer(data, size, 1.0f / static_cast<float>(size));
    if (natural) {
        natural(data, scratch);
        return;
    }
    if (reOrder)
        ReorderBuffer(data, scratch, size, true);
    variant.Kernels[2 * ordinal + 1](data);
}

void DoFFT(void* buffer, int size, bool inverse, bool scale, bool reOrder, void* work)
{
    DoFFTWith(*ChosenVariant, buffer, size, inverse, scale, reOrder, work);
}

TDCFFT::TDCFFT(TComponent* owner) : TComponent(owner), FWork(BlockBytes), FComplexBuffer(BlockBytes)
{
    ClearBuffer();
}

void TDCFFT::FFT()
{
    DoFFT(ComplexBuffer(), FFTSizeInt(), false, Scale, ReOrder, FWork.Data());
}

void TDCFFT::IFFT()
{
    DoFFT(ComplexBuffer(), FFTSizeInt(), true, Scale, ReOrder, FWork.Data());
}

void TDCFFT::ClearBuffer()
{
    std::memset(FComplexBuffer.Data(), 0, BlockBytes);
}
