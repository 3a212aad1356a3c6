#include "DSFilters/dspFastFourier.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <numbers>
#include <cmath>
#include <complex>
#include <cstring>
#include <random>
#include <vector>

namespace {

using Cx = std::complex<long double>;

// X[k] = Σ x[n]·e^(+2πi·nk/N), in double precision (far finer than the singles tested).
std::vector<Cx> DirectDFT(const std::vector<Cx>& x)
{
    const int n = static_cast<int>(x.size());
    std::vector<double> roots(2 * n), values(2 * n);
    for (int m = 0; m < n; ++m) {
        roots[2 * m] = std::cos(2 * std::numbers::pi * m / n);
        roots[2 * m + 1] = std::sin(2 * std::numbers::pi * m / n);
        values[2 * m] = static_cast<double>(x[m].real());
        values[2 * m + 1] = static_cast<double>(x[m].imag());
    }
    const double* w = roots.data();
    const double* v = values.data();
    std::vector<Cx> result(n);
    for (int k = 0; k < n; ++k) {
        double re = 0, im = 0;
        for (int i = 0, m = 0; i < n; ++i, m = (m + k) & (n - 1)) {
            re += v[2 * i] * w[2 * m] - v[2 * i + 1] * w[2 * m + 1];
            im += v[2 * i] * w[2 * m + 1] + v[2 * i + 1] * w[2 * m];
        }
        result[k] = Cx(re, im);
    }
    return result;
}

std::vector<Cx> RandomSignal(int n, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    std::vector<Cx> x(n);
    for (auto& v : x)
        v = Cx(value(random), value(random));
    return x;
}

// An aligned transform buffer.
struct TBuffer {
    explicit TBuffer(int n) : Block(static_cast<size_t>(n) * sizeof(TComplexSingle)), Size(n) {}
    TComplexSingle* Data() const { return Block.As<TComplexSingle>(); }
    TComplexSingle& operator[](int i) const { return Data()[i]; }
    void Load(const std::vector<Cx>& x) const
    {
        for (int i = 0; i < Size; ++i)
            Data()[i] = {static_cast<float>(x[i].real()), static_cast<float>(x[i].imag())};
    }
    TAlignedBlock Block;
    int Size;
};

// Largest error against the expected values, relative to their RMS.
double RelativeError(const TBuffer& got, const std::vector<Cx>& want)
{
    long double energy = 0, worst = 0;
    for (int i = 0; i < got.Size; ++i) {
        energy += std::norm(want[i]);
        worst = std::max(worst, std::abs(Cx(got[i].Re, got[i].Im) - want[i]));
    }
    return static_cast<double>(worst / std::sqrt(energy / got.Size));
}

// Kernel order: position FFTOrderTable[i] holds natural bin i.
std::vector<Cx> ToKernelOrder(const std::vector<Cx>& natural, TDCFFTSize size)
{
    const auto order = FFTOrderTable(size);
    std::vector<Cx> kernel(natural.size());
    for (size_t i = 0; i < natural.size(); ++i)
        kernel[order[i]] = natural[i];
    return kernel;
}

// A random input of each size with its transforms in both directions, computed once.
struct TReference {
    std::vector<Cx> Input, Forward, Inverse;
};

const TReference& Reference(int ordinal)
{
    static std::array<TReference, FFTSizeCount> cache;
    TReference& r = cache[ordinal];
    if (r.Input.empty()) {
        const int n = 2 << ordinal;
        r.Input = RandomSignal(n, 17 + ordinal);
        r.Forward = DirectDFT(r.Input);
        // The negative exponent gives bin k of the positive one at N - k.
        r.Inverse.resize(n);
        for (int k = 0; k < n; ++k)
            r.Inverse[k] = r.Forward[(n - k) % n];
    }
    return r;
}

class FFTVariantTest : public testing::TestWithParam<const TFFTVariant*> {};

INSTANTIATE_TEST_SUITE_P(Variants, FFTVariantTest, testing::ValuesIn(FFTVariants().begin(), FFTVariants().end()),
                         [](const auto& info) { return std::string(info.param->Name); });

// Rounding grows with the number of passes.
double Tolerance(int n)
{
    return 2e-7 * std::log2(n) + 1e-7;
}

// The error's RMS relative to the expected values' RMS.
double RelativeRms(const TBuffer& got, const std::vector<Cx>& want)
{
    long double energy = 0, error = 0;
    for (int i = 0; i < got.Size; ++i) {
        energy += std::norm(want[i]);
        error += std::norm(Cx(got[i].Re, got[i].Im) - want[i]);
    }
    return static_cast<double>(std::sqrt(error / energy));
}

// Within the largest single error the passes allow, and 2e-7 relative RMS at every size.
void ExpectNear(const TBuffer& got, const std::vector<Cx>& want)
{
    EXPECT_LT(RelativeError(got, want), Tolerance(got.Size));
    EXPECT_LE(RelativeRms(got, want), 2e-7);
}

TEST_P(FFTVariantTest, EverySizeMatchesTheDirectTransformBothWaysAndInEitherOrder)
{
    const TFFTVariant& variant = *GetParam();
    for (int ordinal = 0; ordinal < FFTSizeCount; ++ordinal) {
        const auto size = static_cast<TDCFFTSize>(ordinal);
        const int n = FFTSizeOf(size);
        SCOPED_TRACE(n);
        const std::vector<Cx>& x = Reference(ordinal).Input;
        const std::vector<Cx>& forward = Reference(ordinal).Forward;
        const std::vector<Cx>& inverse = Reference(ordinal).Inverse;
        TBuffer buffer(n);
        TBuffer work(n);

        // Forward: positive exponent, never scaled; natural order with ReOrder, else kernel order.
        for (bool scale : {false, true}) {
            buffer.Load(x);
            DoFFTWith(variant, buffer.Data(), n, false, scale, true, work.Data());
            ExpectNear(buffer, forward);
            buffer.Load(x);
            DoFFTWith(variant, buffer.Data(), n, false, scale, false, nullptr);
            ExpectNear(buffer, ToKernelOrder(forward, size));
        }

        // Inverse: negative exponent, natural-order output from natural or kernel-order input.
        for (bool scale : {false, true}) {
            std::vector<Cx> want = inverse;
            if (scale)
                for (auto& v : want)
                    v /= static_cast<long double>(n);
            buffer.Load(x);
            DoFFTWith(variant, buffer.Data(), n, true, scale, true, work.Data());
            ExpectNear(buffer, want);
            buffer.Load(ToKernelOrder(x, size));
            DoFFTWith(variant, buffer.Data(), n, true, scale, false, nullptr);
            ExpectNear(buffer, want);
        }

        // A round trip with Scale returns the input, in either order setting.
        for (bool reOrder : {false, true}) {
            buffer.Load(x);
            DoFFTWith(variant, buffer.Data(), n, false, true, reOrder, work.Data());
            DoFFTWith(variant, buffer.Data(), n, true, true, reOrder, work.Data());
            ExpectNear(buffer, x);
        }
    }
}

TEST_P(FFTVariantTest, ImpulsesGiveFlatAndRotatingSpectra)
{
    const TFFTVariant& variant = *GetParam();
    for (int n : {2, 16, 1024, 8192}) {
        TBuffer buffer(n);
        std::memset(buffer.Data(), 0, n * sizeof(TComplexSingle));
        buffer[0] = {1, 0};
        DoFFTWith(variant, buffer.Data(), n, false, true, true, nullptr);
        for (int k = 0; k < n; ++k) {
            EXPECT_EQ(buffer[k].Re, 1.0f) << n << " bin " << k;
            EXPECT_EQ(buffer[k].Im, 0.0f) << n << " bin " << k;
        }
        std::memset(buffer.Data(), 0, n * sizeof(TComplexSingle));
        buffer[1] = {1, 0};
        DoFFTWith(variant, buffer.Data(), n, false, false, true, nullptr);
        for (int k = 0; k < n; ++k) {
            const double angle = 2 * std::numbers::pi * k / n;
            EXPECT_NEAR(buffer[k].Re, std::cos(angle), 1e-6) << n << " bin " << k;
            EXPECT_NEAR(buffer[k].Im, std::sin(angle), 1e-6) << n << " bin " << k;
        }
    }
}

TEST(FFTOrder, TablesOfTheSmallSizes)
{
    const auto eq = [](TDCFFTSize size, std::vector<uint16_t> want) {
        const auto table = FFTOrderTable(size);
        EXPECT_EQ(std::vector<uint16_t>(table.begin(), table.end()), want);
    };
    eq(fts2, {0, 1});
    eq(fts4, {0, 2, 1, 3});
    eq(fts8, {0, 4, 2, 7, 1, 5, 3, 6});
    eq(fts16, {0, 8, 4, 14, 2, 10, 7, 13, 1, 9, 5, 15, 3, 11, 6, 12});
}

// Kernel order by its recursive definition: even bins in the order of N/2, then bins 4m+1
// and (4m-1) mod N in the order of N/4.
std::vector<int> KernelOrder(int n)
{
    if (n <= 2) {
        std::vector<int> order(n);
        for (int i = 0; i < n; ++i)
            order[i] = i;
        return order;
    }
    std::vector<int> order;
    for (int m : KernelOrder(n / 2))
        order.push_back(2 * m);
    for (int m : KernelOrder(n / 4))
        order.push_back(4 * m + 1);
    for (int m : KernelOrder(n / 4))
        order.push_back(((4 * m - 1) % n + n) % n);
    return order;
}

TEST(FFTOrder, EveryTablePlacesEachBinWhereTheKernelsLeaveIt)
{
    for (int ordinal = 0; ordinal < FFTSizeCount; ++ordinal) {
        const auto size = static_cast<TDCFFTSize>(ordinal);
        const std::vector<int> kernel = KernelOrder(FFTSizeOf(size));
        const auto table = FFTOrderTable(size);
        for (int position = 0; position < FFTSizeOf(size); ++position)
            ASSERT_EQ(table[kernel[position]], position) << FFTSizeOf(size);
    }
}

TEST(FFTTables, TwiddlesHoldAQuarterCircleUpTo512AndAnEighthAbove)
{
    const int counts[] = {0, 0, 0, 0, 7, 15, 31, 63, 127, 127, 255, 511, 1023};
    for (int ordinal = 0; ordinal < FFTSizeCount; ++ordinal) {
        const auto table = TwiddleTable(static_cast<TDCFFTSize>(ordinal));
        const int n = FFTSizeOf(static_cast<TDCFFTSize>(ordinal));
        ASSERT_EQ(static_cast<int>(table.size()), counts[ordinal]) << n;
        for (size_t k = 1; k <= table.size(); ++k) {
            EXPECT_EQ(table[k - 1].Re, static_cast<float>(std::cos(2 * std::numbers::pi * k / n)));
            EXPECT_EQ(table[k - 1].Im, static_cast<float>(std::sin(2 * std::numbers::pi * k / n)));
        }
    }
}

TEST(FFTDriver, SizesOutsideTheThirteenLeaveTheBufferAlone)
{
    TBuffer buffer(16384);
    const std::vector<Cx> x = RandomSignal(16384, 5);
    for (int n : {-2, 0, 1, 3, 6, 1000, 16384}) {
        buffer.Load(x);
        DoFFT(buffer.Data(), n, false, true, true, nullptr);
        DoFFT(buffer.Data(), n, true, true, true, nullptr);
        EXPECT_EQ(RelativeError(buffer, x), 0.0) << n;
    }
}

TEST(FFTDriver, ReorderingWithoutAWorkAreaMatchesOneWithIt)
{
    const int n = 512;
    const std::vector<Cx> x = RandomSignal(n, 9);
    TBuffer a(n), b(n), work(n);
    a.Load(x);
    b.Load(x);
    DoFFT(a.Data(), n, false, false, true, work.Data());
    DoFFT(b.Data(), n, false, false, true, nullptr);
    EXPECT_EQ(std::memcmp(a.Data(), b.Data(), n * sizeof(TComplexSingle)), 0);
    DoFFT(a.Data(), n, true, true, true, work.Data());
    DoFFT(b.Data(), n, true, true, true, nullptr);
    EXPECT_EQ(std::memcmp(a.Data(), b.Data(), n * sizeof(TComplexSingle)), 0);
}

TEST(FFTDriver, TheProcessorFlagsChooseTheKernels)
{
    struct Case {
        bool SSE, ThreeDNow, ThreeDNowExt, AVX;
        const char* Expected;
    };
    const Case cases[] = {
        {false, false, false, false, "x87"},
        {true, false, false, false, "SSE"},
        {true, true, true, false, "SSE"},  // no 3DNow! kernels: on to the SSE test
        {false, true, true, false, "x87"},
        {true, false, false, true, "AVX"},
        {false, false, false, true, "x87"},  // an AVX flag without SSE is not trusted
    };
    for (const Case& c : cases) {
        TCPUFeatures features;
        features.SSE = c.SSE;
        features.ThreeDNow = c.ThreeDNow;
        features.ThreeDNowExt = c.ThreeDNowExt;
        features.AVX = c.AVX;
        EXPECT_STREQ(ChooseFFTVariant(features).Name, c.Expected) << c.SSE << c.ThreeDNow << c.ThreeDNowExt << c.AVX;
    }
}

TEST(FFTDriver, TheAVXKernelsAreTestedWhereTheMachineHasAVX)
{
    if (!FFTVariantAVX())
        GTEST_SKIP() << "this machine (or its operating system) has no AVX: the AVX kernels are not tested here";
    const auto variants = FFTVariants();
    EXPECT_NE(std::find(variants.begin(), variants.end(), FFTVariantAVX()), variants.end());
    EXPECT_STREQ(FFTKernelTable().Name, "AVX");
}

TEST(FFTDriver, ScalingMultipliesEverySingleOnce)
{
    for (const TFFTVariant* variant : FFTVariants()) {
        TBuffer buffer(3);
        buffer[0] = {1, 2};
        buffer[1] = {-3, 4};
        buffer[2] = {0.5f, 8};
        variant->ScaleBuffer(buffer.Data(), 3, 0.25f);
        const float want[] = {0.25f, 0.5f, -0.75f, 1, 0.125f, 2};
        EXPECT_EQ(std::memcmp(buffer.Data(), want, sizeof want), 0) << variant->Name;
    }
}

TEST(DCFFT, ANewObjectIs512PointsScaledAndReorderedWithAClearBuffer)
{
    TDCFFT fft;
    EXPECT_EQ(fft.FFTSizeInt(), 512);
    EXPECT_TRUE(fft.Scale);
    EXPECT_TRUE(fft.ReOrder);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(fft.ComplexBuffer()) % 16, 0u);
    for (int i = 0; i < 8192; ++i)
        ASSERT_TRUE(fft.ComplexBuffer()[i].Re == 0 && fft.ComplexBuffer()[i].Im == 0) << i;
    fft.FFTSize = fts2;
    EXPECT_EQ(fft.FFTSizeInt(), 2);
    fft.FFTSize = fts8192;
    EXPECT_EQ(fft.FFTSizeInt(), 8192);
}

TEST(DCFFT, RoundTripReturnsTheInputOrNTimesItWithoutScale)
{
    TComponent owner;
    auto* fft = NewComponent<TDCFFT>(&owner);
    fft->FFTSize = fts256;
    const std::vector<Cx> x = RandomSignal(256, 3);
    for (bool scale : {true, false}) {
        for (bool reOrder : {true, false}) {
            fft->Scale = scale;
            fft->ReOrder = reOrder;
            for (int i = 0; i < 256; ++i)
                fft->ComplexBuffer()[i] = {static_cast<float>(x[i].real()), static_cast<float>(x[i].imag())};
            fft->FFT();
            fft->IFFT();
            const float factor = scale ? 1.0f : 256.0f;
            for (int i = 0; i < 256; ++i) {
                ASSERT_NEAR(fft->ComplexBuffer()[i].Re, x[i].real() * factor, 1e-5 * factor);
                ASSERT_NEAR(fft->ComplexBuffer()[i].Im, x[i].imag() * factor, 1e-5 * factor);
            }
        }
    }
}

TEST(DCFFT, TransformsTouchOnlyTheirSizeAndClearingCoversTheWholeBuffer)
{
    TDCFFT fft;
    for (int i = 0; i < 8192; ++i)
        fft.ComplexBuffer()[i] = {static_cast<float>(i), -1.0f};
    fft.FFTSize = fts4;
    fft.FFT();
    fft.IFFT();
    for (int i = 4; i < 8192; ++i)
        ASSERT_TRUE(fft.ComplexBuffer()[i].Re == i && fft.ComplexBuffer()[i].Im == -1.0f) << i;
    fft.FFTSize = fts2;
    fft.ClearBuffer();
    for (int i = 0; i < 8192; ++i)
        ASSERT_TRUE(fft.ComplexBuffer()[i].Re == 0 && fft.ComplexBuffer()[i].Im == 0) << i;
}

}  // namespace
