#pragma once
// In-place complex FFT of single-precision data, sizes 2 to 8192: a conjugate-pair split-radix
// transform with one routine per size and direction, in a scalar and an SSE variant chosen
// once at start-up. Forward uses the positive exponent and leaves its bins in kernel order;
// the inverse takes kernel order, so spectra can be multiplied without re-ordering.
#include "DSFilters/dspConst.h"
#include "DSFilters/dspUtils.h"
#include "framework/Classes.h"

#include <array>
#include <cstdint>
#include <span>

// One complex value: real part at the lower address. Buffers are 16-byte aligned.
struct TComplexSingle {
    float Re;
    float Im;
};
static_assert(sizeof(TComplexSingle) == 8);

// Transforms the buffer in place; the only argument is the buffer.
using TFFTKernel = void (*)(TComplexSingle* buffer);
// Natural order in and out of the buffer, with the re-ordering folded into the first or last
// pass; work holds the size's values meanwhile.
using TFFTNaturalKernel = void (*)(TComplexSingle* buffer, TComplexSingle* work);
using TFFTScale = void (*)(TComplexSingle* buffer, int count, float factor);

// A kernel family: the 26 entry points (index 2 × ordinal + 1 for the inverse), the same in
// natural order where the family has them (else the driver re-orders through the work area), its
// scaling, and what it builds at start-up from the base tables (its widened twiddles).
struct TFFTVariant {
    const char* Name;
    std::array<TFFTKernel, 2 * FFTSizeCount> Kernels;
    std::array<TFFTNaturalKernel, 2 * FFTSizeCount> NaturalKernels;
    TFFTScale ScaleBuffer;
    void (*Prepare)();
};

// The variants this build has and this machine runs, the plain reference first; SSE and AVX
// are absent where the compiler cannot target them or the processor lacks them.
std::span<const TFFTVariant* const> FFTVariants();
const TFFTVariant& FFTVariantX87();
const TFFTVariant* FFTVariantSSE();
const TFFTVariant* FFTVariantAVX();
// The variant the given processor features choose: the first it supports of AVX, SSE and x87
// (3DNow! processors go on to the SSE test, as this build has no 3DNow! kernels).
const TFFTVariant& ChooseFFTVariant(const TCPUFeatures& features);

// Entry i: the position of natural bin i in kernel order, for the given size.
std::span<const uint16_t> FFTOrderTable(TDCFFTSize size);
// (cos 2πk/N, sin 2πk/N) for k = 1 .. N/4 - 1 (N ≤ 512) or k = 1 .. N/8 - 1 (N ≥ 1024);
// empty below size 32.
std::span<const TComplexSingle> TwiddleTable(TDCFFTSize size);
// The kernel family chosen by the processor flags.
const TFFTVariant& FFTKernelTable();

// Builds the tables and picks the variant; runs once at start-up, after dspUtils'.
void BuildFFTTables();

// Size must be one of the 13 sizes, else the buffer is left alone. Work, when given, holds
// size values; else a temporary is allocated for re-ordering.
void DoFFT(void* buffer, int size, bool inverse, bool scale, bool reOrder, void* work);
// The same with a chosen variant (tests and benchmarks compare them).
void DoFFTWith(const TFFTVariant& variant, void* buffer, int size, bool inverse, bool scale, bool reOrder,
               void* work);
// Gathers (forward) or scatters (inverse) between kernel and natural order through work.
void ReorderBuffer(TComplexSingle* buffer, TComplexSingle* work, int size, bool inverse);
// Multiplies 2 × count singles by factor, with the processor's widest path.
void ScaleBuffer(TComplexSingle* buffer, int count, float factor);

// A transform object: one buffer of 8192 complex values and its own work area.
class TDCFFT : public TComponent {
public:
    explicit TDCFFT(TComponent* owner = nullptr);

    void FFT();
    void IFFT();
    void ClearBuffer();  // all 8192 values, whatever the size
    int FFTSizeInt() const { return FFTSizeOf(FFTSize); }
    TComplexSingle* ComplexBuffer() const { return FComplexBuffer.As<TComplexSingle>(); }

    bool Scale = true;
    bool ReOrder = true;
    TDCFFTSize FFTSize = fts512;

private:
    static constexpr size_t BlockBytes = FFTMaxSize * sizeof(TComplexSingle);
    TAlignedBlock FWork;
    TAlignedBlock FComplexBuffer;
};
