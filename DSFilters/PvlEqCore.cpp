#include "DSFilters/PvlEqCore.h"

#include "DSFilters/dspUtils.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#elif defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace {

// Float-to-integer conversions clamp into the target range before they round or truncate,
// so the integer always exists; NaN counts as silence.
// Branch-free with SSE2: the samples near full scale would make the branches unpredictable.
inline double Saturate(double x, double low, double high)
{
#if defined(__SSE2__)
    const __m128d v = _mm_set_sd(x);
    const __m128d ordered = _mm_and_pd(_mm_cmpord_sd(v, v), v);
    return _mm_cvtsd_f64(_mm_min_sd(_mm_max_sd(ordered, _mm_set_sd(low)), _mm_set_sd(high)));
#else
    if (x != x)
        return 0;
    return x < low ? low : x > high ? high : x;
#endif
}

// Half to even, the processor's default rounding; |x| below 2^31.
inline int32_t RoundToInt(double x)
{
#if defined(__SSE2__)
    return _mm_cvtsd_si32(_mm_set_sd(x));
#else
    return static_cast<int32_t>(std::nearbyint(x));
#endif
}

inline int32_t TruncToInt(double x)
{
    return static_cast<int32_t>(x);
}

inline int32_t Clip32To(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// How each integer format is read into arithmetic and written back: Store takes a value in
// [Low, High], Write saturates any 64-bit result first.
struct TUnsigned8 {
    static constexpr int Bytes = 1;
    static constexpr double Low = -128, High = 127;
    static int32_t Read(const uint8_t* p) { return p[0] - 128; }
    static void Store(uint8_t* p, int32_t v) { p[0] = static_cast<uint8_t>(v + 128); }
    static void Write(uint8_t* p, int64_t v) { Store(p, Clip8Bit(Clip32To(v))); }
};

struct TSigned16 {
    static constexpr int Bytes = 2;
    static constexpr double Low = -32768, High = 32767;
    static int32_t Read(const uint8_t* p)
    {
        int16_t v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    static void Store(uint8_t* p, int32_t v)
    {
        const auto s = static_cast<int16_t>(v);
        std::memcpy(p, &s, sizeof s);
    }
    static void Write(uint8_t* p, int64_t v) { Store(p, Clip16Bit(Clip32To(v))); }
};

struct TPacked24Bit {
    static constexpr int Bytes = 3;
    static constexpr double Low = -8388608, High = 8388607;
    static int32_t Read(const uint8_t* p) { return Unpack24Bit({{p[0], p[1], p[2]}}); }
    static void Store(uint8_t* p, int32_t v) { Pack24Bit(v, p); }
    static void Write(uint8_t* p, int64_t v) { Store(p, Clip24Bit(Clip32To(v))); }
};

struct TSigned32 {
    static constexpr int Bytes = 4;
    static constexpr double Low = -2147483647, High = 2147483647;  // symmetric, as Clip32Bit
    static int32_t Read(const uint8_t* p)
    {
        int32_t v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    static void Store(uint8_t* p, int32_t v) { std::memcpy(p, &v, sizeof v); }
    static void Write(uint8_t* p, int64_t v) { Store(p, Clip32Bit(v)); }
};

// The stage results: rounded half to even, or truncated towards zero, and saturated.
template <class T>
inline void WriteRounded(uint8_t* p, double x)
{
    T::Store(p, RoundToInt(Saturate(x, T::Low, T::High)));
}

template <class T>
inline void WriteTruncated(uint8_t* p, double x)
{
    T::Store(p, TruncToInt(Saturate(x, T::Low, T::High)));
}

// 32-bit integers that the 3D stage and the equaliser work at 16-bit scale: rounded, times
// 32768, saturated (every value beyond ±65536 saturates alike, so those clamp first).
inline void WriteRoundedAt16BitScale(uint8_t* p, double x)
{
    TSigned32::Store(p, Clip32Bit(static_cast<int64_t>(RoundToInt(Saturate(x, -65536, 65536))) * 32768));
}

inline float ReadFloat(const uint8_t* p)
{
    float v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void WriteFloat(uint8_t* p, float v)
{
    std::memcpy(p, &v, sizeof v);
}

// Calls body with the format's integer traits, or with nothing (a null pointer) for float.
template <class Body>
void WithFormat(const TPCMFormat& format, Body&& body)
{
    if (format.Float)
        body(static_cast<const void*>(nullptr));
    else if (format.Bits == 8)
        body(static_cast<const TUnsigned8*>(nullptr));
    else if (format.Bits == 16)
        body(static_cast<const TSigned16*>(nullptr));
    else if (format.Bits == 24)
        body(static_cast<const TPacked24Bit*>(nullptr));
    else
        body(static_cast<const TSigned32*>(nullptr));
}

template <class T>
inline constexpr bool IsFloat = std::is_same_v<T, const void*>;

// Float amplification: products in place, four at a time with SSE on an aligned buffer.
void MultiplyFloats(float* samples, int count, float factor)
{
    int i = 0;
#if defined(__SSE__)
    if (CPUHasSSE && reinterpret_cast<uintptr_t>(samples) % 16 == 0) {
        const __m128 f = _mm_set1_ps(factor);
        for (; i + 4 <= count; i += 4)
            _mm_store_ps(samples + i, _mm_mul_ps(_mm_load_ps(samples + i), f));
    }
#endif
    for (; i < count; ++i)
        samples[i] *= factor;
}

// Pointwise complex product x := x · h over count values; two at a time with SSE (both
// buffers are the transform objects' aligned ones), giving the same bits as one at a time.
void MultiplySpectra(TComplexSingle* x, const TComplexSingle* h, int count)
{
    int k = 0;
#if defined(__SSE__)
    if (CPUHasSSE) {
        const __m128 signs = _mm_setr_ps(-0.0f, 0.0f, -0.0f, 0.0f);
        auto* px = reinterpret_cast<float*>(x);
        const auto* ph = reinterpret_cast<const float*>(h);
        for (; k + 2 <= count; k += 2) {
            const __m128 a = _mm_load_ps(px + 2 * k);
            const __m128 b = _mm_load_ps(ph + 2 * k);
            const __m128 re = _mm_shuffle_ps(b, b, _MM_SHUFFLE(2, 2, 0, 0));                    // (hr, hr)
            const __m128 im = _mm_xor_ps(_mm_shuffle_ps(b, b, _MM_SHUFFLE(3, 3, 1, 1)), signs);  // (-hi, hi)
            const __m128 swapped = _mm_shuffle_ps(a, a, _MM_SHUFFLE(2, 3, 0, 1));               // (xi, xr)
            _mm_store_ps(px + 2 * k, _mm_add_ps(_mm_mul_ps(a, re), _mm_mul_ps(swapped, im)));
        }
    }
#endif
    for (; k < count; ++k) {
        const float re = x[k].Re * h[k].Re - x[k].Im * h[k].Im;
        const float im = x[k].Re * h[k].Im + x[k].Im * h[k].Re;
        x[k] = {re, im};
    }
}

// 3D widening of one (L, R) pair in single precision: the mid part stays, the side part is
// scaled by (1 + K) / 2.
inline void Widen(float& l, float& r, float k)
{
    const float m = (l + r) * 0.5f;
    const float nl = (l + m + k * (l - m)) * 0.5f;
    const float nr = (r + m + k * (r - m)) * 0.5f;
    l = nl;
    r = nr;
}

void WidenFloats(float* samples, int count, float k)
{
    int i = 0;
#if defined(__SSE__)
    if (CPUHasSSE && reinterpret_cast<uintptr_t>(samples) % 16 == 0 && count % 4 == 0) {
        const __m128 kk = _mm_set1_ps(k);
        const __m128 half = _mm_set1_ps(0.5f);
        for (; i < count; i += 4) {
            const __m128 v = _mm_load_ps(samples + i);
            const __m128 m = _mm_mul_ps(_mm_add_ps(v, _mm_shuffle_ps(v, v, _MM_SHUFFLE(2, 3, 0, 1))), half);
            const __m128 side = _mm_mul_ps(kk, _mm_sub_ps(v, m));
            _mm_store_ps(samples + i, _mm_mul_ps(_mm_add_ps(_mm_add_ps(v, m), side), half));
        }
        return;
    }
#endif
    for (; i + 1 < count; i += 2)
        Widen(samples[i], samples[i + 1], k);
}

}  // namespace

const std::array<uint16_t, 11> EQBandEdges = {0, 3, 9, 16, 29, 48, 100, 141, 280, 559, 1024};

const std::array<std::array<int8_t, 10>, 19> EQPresetValues = {{
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},                  // (Default) Disabled
    {0, 0, 0, 0, 0, -10, 40, 40, 40, 50},            // Classical
    {0, 0, -10, -20, -20, -20, -10, 0, 0, 0},        // Club
    {-50, -40, -20, 5, 0, 20, 30, 20, 0, 0},         // Dance
    {-50, -50, -50, -30, -10, 10, 30, 50, 50, 50},   // Full Bass
    {-30, -20, 0, 30, 20, -10, -40, -50, -50, -50},  // Full Bass & Treble
    {50, 50, 50, 20, -10, -50, -80, -80, -80, -90},  // Full Treble
    {-15, -50, -25, 20, 10, -5, -15, -30, -50, -60}, // Labtop
    {-50, -50, -30, -20, 0, 20, 30, 30, 0, 0},       // Large Hall
    {30, 0, -10, -15, -20, -20, -10, -5, -5, 0},     // Live
    {-90, -70, -50, -20, 0, -10, -20, -50, -70, -90},// Loudness
    {-30, -30, 0, 0, 0, 0, 0, 0, -30, -30},          // Party
    {10, -15, -25, -25, -15, 10, 20, 20, 10, 10},    // Pop
    {0, 0, 5, 30, 0, -30, -30, 0, 0, 0},             // Reggae
    {-40, -30, 30, 40, 20, -20, -40, -40, -40, -40}, // Rock
    {10, 20, 10, 0, -10, -20, -30, -35, -30, -25},   // Ska
    {-15, -5, 5, 15, 5, -15, -30, -40, -45, -50},    // Soft
    {-15, -15, -10, 5, 15, 25, 15, 5, -10, -30},     // Soft Rock
    {-30, -30, 0, 30, 20, 0, -20, -30, -30, -20},    // Techno
}};

bool SetGainTableBand(float* table, int band, int8_t value)
{
    if (band < 0 || band > 9)
        return false;
    const auto gain = static_cast<float>(2.0 * std::pow(10.0, value / 100.0));
    for (int row = 0; row < EQGainRows; ++row)
        std::fill(table + row * EQGainBins + EQBandEdges[band], table + row * EQGainBins + EQBandEdges[band + 1], gain);
    return true;
}

bool TPCMFormat::IsValid() const
{
    const bool bitsOk = Float ? Bits == 32 : (Bits == 8 || Bits == 16 || Bits == 24 || Bits == 32);
    return bitsOk && Channels >= 1;
}

TPvlSPChain::TPvlSPChain() : FGainTable(EQGainTableSize, EQNeutralGain)
{
    for (auto& gain : Amplify)
        gain = 10000;
    FWorkFFT.Scale = true;
    FWorkFFT.ReOrder = false;
    for (auto& kernel : FKernelFFT) {
        kernel.Scale = true;
        kernel.ReOrder = false;
    }
    SetEqualizerSize(fts1024);
}

void TPvlSPChain::ProcessBlock(void* buffer, int32_t length, int32_t frequency, int bits, int channels, bool isFloat)
{
    // 1. A new gain table is designed into the kernel before the block.
    if (FRebuild.load())
        RebuildEqualizer(channels);
    // 2. Sub-blocks of SubBlockFrames frames; the last holds the rest.
    const TPCMFormat format{frequency, bits, channels, isFloat};
    if (length <= 0 || !buffer || !format.IsValid())
        return;
    const int64_t subBlockBytes =
        SubBlockFrames > 0 ? static_cast<int64_t>(SubBlockFrames) * format.FrameBytes() : length;
    auto* bytes = static_cast<uint8_t*>(buffer);
    // 3. The stages, each as enabled at that moment.
    for (int64_t offset = 0; offset < length; offset += subBlockBytes) {
        const auto part = static_cast<int32_t>(std::min<int64_t>(subBlockBytes, length - offset));
        if (AmplifyEnabled)
            ApplyAmplify(bytes + offset, part, format);
        if (DynamicAmplifyEnabled)
            ApplyDynamicAmplify(bytes + offset, part, format);
        if (Sound3DEnabled)
            Apply3DSound(bytes + offset, part, format);
        if (EqualizerEnabled)
            ApplyEqualizer(bytes + offset, part, format);
    }
}

void TPvlSPChain::ApplyAmplify(void* buffer, int32_t length, const TPCMFormat& format)
{
    const int32_t gain = Amplify[0];
    const int samples = length / format.BytesPerSample();
    auto* p = static_cast<uint8_t*>(buffer);
    WithFormat(format, [&](auto traits) {
        using T = std::remove_pointer_t<decltype(traits)>;
        if constexpr (IsFloat<decltype(traits)>) {
            MultiplyFloats(static_cast<float*>(buffer), samples, static_cast<float>(gain / 10000.0));
        } else {
            for (int i = 0; i < samples; ++i, p += T::Bytes)
                T::Write(p, static_cast<int64_t>(T::Read(p)) * gain / 10000);
        }
    });
}

void TPvlSPChain::ApplyDynamicAmplify(void* buffer, int32_t length, const TPCMFormat& format)
{
    if (format.Frequency <= 0)
        return;
    const int bytesPerSample = format.BytesPerSample();
    const int samples = length / bytesPerSample;
    const int frames = length / format.FrameBytes();
    auto* p = static_cast<uint8_t*>(buffer);

    // 1. Highest gain and the hold time in bytes.
    const float maxGain = static_cast<float>(DynamicMaxAmplify / 1000.0);
    const double hold = static_cast<double>(format.Channels) * format.Frequency * bytesPerSample * DynamicReleaseTime / 1000.0;
    HoldLength = static_cast<int64_t>(std::nearbyint(Saturate(hold, -0x1p62, 0x1p62)));

    // 2. Peak and the gain that brings it to full scale.
    int64_t peak = 0;
    double fullScale = 0;
    WithFormat(format, [&](auto traits) {
        using T = std::remove_pointer_t<decltype(traits)>;
        if constexpr (IsFloat<decltype(traits)>) {
            fullScale = 32768;
            for (int i = 0; i < samples; ++i) {
                const float v = ReadFloat(p + 4 * i);
                // NaN and infinities count as full scale.
                const int64_t level =
                    std::isfinite(v) ? RoundToInt(Saturate(std::fabs(static_cast<double>(v)) * 32767, 0, INT32_MAX))
                                     : 32768;
                peak = std::max(peak, level);
            }
        } else {
            fullScale = 128.0 * (int64_t(1) << (8 * (T::Bytes - 1)));
            for (int i = 0; i < samples; ++i)
                peak = std::max<int64_t>(peak, std::abs(static_cast<int64_t>(T::Read(p + i * T::Bytes))));
        }
    });
    float target = peak == 0 ? maxGain : static_cast<float>(fullScale / static_cast<double>(peak));
    target = std::min(target, maxGain);

    // 3. Fall at once; else hold; else rise at the attack rate, up to the highest gain.
    const float g0 = CurrentGain;
    float gain = g0;
    if (target < gain) {
        gain = target;
        HoldCounter = 0;
    } else if (HoldCounter <= HoldLength) {
        HoldCounter += length;
    } else {
        gain = static_cast<float>(gain + static_cast<double>(length) * DynamicAttackTime / 1000.0 / format.Frequency /
                                              format.Channels / bytesPerSample);
        if (gain > maxGain)
            gain = maxGain;
    }
    CurrentGain = gain;
    const float g1 = gain;

    // 4. A straight ramp from the old gain towards the new one across the frames.
    if (frames <= 0)
        return;
    const double step = (static_cast<double>(g0) - g1) / frames;
    WithFormat(format, [&](auto traits) {
        using T = std::remove_pointer_t<decltype(traits)>;
        for (int f = 0; f < frames; ++f) {
            const double g = g0 - f * step;
            for (int c = 0; c < format.Channels; ++c) {
                uint8_t* s = p + (static_cast<size_t>(f) * format.Channels + c) * bytesPerSample;
                if constexpr (IsFloat<decltype(traits)>)
                    WriteFloat(s, static_cast<float>(ReadFloat(s) * g));
                else
                    WriteTruncated<T>(s, T::Read(s) * g);
            }
        }
    });
}

void TPvlSPChain::Apply3DSound(void* buffer, int32_t length, const TPCMFormat& format)
{
    const auto k = static_cast<float>(Sound3DVolume / 10000.0 * 6.5536);
    const int samples = length / format.BytesPerSample();
    auto* p = static_cast<uint8_t*>(buffer);
    WithFormat(format, [&](auto traits) {
        using T = std::remove_pointer_t<decltype(traits)>;
        if constexpr (IsFloat<decltype(traits)>) {
            WidenFloats(static_cast<float*>(buffer), samples, k);
        } else if constexpr (T::Bytes == 4) {
            // 32-bit integers are widened at 16-bit scale.
            for (int i = 0; i + 1 < samples; i += 2) {
                uint8_t* pl = p + i * 4;
                float l = static_cast<float>(T::Read(pl) / 32768);
                float r = static_cast<float>(T::Read(pl + 4) / 32768);
                Widen(l, r, k);
                WriteRoundedAt16BitScale(pl, l);
                WriteRoundedAt16BitScale(pl + 4, r);
            }
        } else {
            for (int i = 0; i + 1 < samples; i += 2) {
                uint8_t* pl = p + i * T::Bytes;
                float l = static_cast<float>(T::Read(pl));
                float r = static_cast<float>(T::Read(pl + T::Bytes));
                Widen(l, r, k);
                WriteRounded<T>(pl, l);
                WriteRounded<T>(pl + T::Bytes, r);
            }
        }
    });
}

void TPvlSPChain::SetEqualizerSize(TDCFFTSize size)
{
    FWorkFFT.FFTSize = size;
    for (auto& kernel : FKernelFFT)
        kernel.FFTSize = size;
    FEQPoints = FFTSizeOf(size);
    FEQBlockFrames = 3 * FEQPoints / 4;
    FEQTailLength = FEQPoints / 4;
    FEQShift = FEQPoints / 8;
    FTailChannels = 0;  // sized again at the next block
    FRebuild = true;
}

void TPvlSPChain::RebuildEqualizer(int channels)
{
    (void)channels;  // every channel uses the kernel of row 0
    FRebuild = false;
    const int n = FEQPoints;
    TDCFFT& kernel = FKernelFFT[0];
    TComplexSingle* x = kernel.ComplexBuffer();
    {
        // The GUI thread may be copying a new table in; then the next block tries again.
        std::unique_lock lock(FGainLock, std::try_to_lock);
        if (!lock.owns_lock()) {
            FRebuild = true;
            return;
        }
        // 1-2. One side of the spectrum: the gains of row 0 as real parts of the lower half.
        kernel.ClearBuffer();
        for (int k = 0; k < n / 2; ++k)
            x[k].Re = FGainTable[k];
    }
    // 3. To the time domain, natural order, scaled by 1/N.
    kernel.ReOrder = true;
    kernel.IFFT();
    kernel.ReOrder = false;
    // 4. Circular shift by N/8 into the imaginary parts.
    for (int k = 0; k < n; ++k)
        x[(k + FEQShift) % n].Im = x[k].Re;
    // 5. N/4 + 1 taps centred at N/8.
    for (int k = 0; k < n; ++k)
        x[k].Re = k <= n / 4 ? x[k].Im : 0.0f;
    // 6. Hann window over the taps.
    const long double twoPi = 6.283185307179586476925286766559L;
    for (int k = 0; k < n; ++k)
        x[k].Re = static_cast<float>(x[k].Re * (0.5L - 0.5L * std::cos(twoPi * k / (n / 4 + 2))));
    // 7. The kernel's spectrum, left in kernel order for pointwise products.
    kernel.FFT();
}

void TPvlSPChain::ApplyEqualizer(void* buffer, int32_t length, const TPCMFormat& format)
{
    const int frames = length / format.FrameBytes();
    if (frames <= 0)
        return;
    if (FClearTails.exchange(false) || FTailChannels != format.Channels) {
        FTails.assign(static_cast<size_t>(format.Channels) * FEQTailLength, 0.0f);
        FTailChannels = format.Channels;
    }
    for (int c = 0; c < format.Channels; ++c)
        ConvolveChannel(buffer, frames, c, format);
}

void TPvlSPChain::ConvolveChannel(void* buffer, int frames, int channel, const TPCMFormat& format)
{
    const int bytesPerSample = format.BytesPerSample();
    const size_t frameBytes = format.FrameBytes();
    auto* first = static_cast<uint8_t*>(buffer) + static_cast<size_t>(channel) * bytesPerSample;
    TComplexSingle* x = FWorkFFT.ComplexBuffer();
    const TComplexSingle* h = FKernelFFT[0].ComplexBuffer();
    float* tail = FTails.data() + static_cast<size_t>(channel) * FEQTailLength;

    WithFormat(format, [&](auto traits) {
        using T = std::remove_pointer_t<decltype(traits)>;
        for (int done = 0; done < frames; done += FEQBlockFrames) {
            // 1. The next block of this channel as real parts; the rest zero.
            const int count = std::min(frames - done, FEQBlockFrames);
            std::memset(x, 0, static_cast<size_t>(FEQPoints) * sizeof(TComplexSingle));
            uint8_t* s = first + done * frameBytes;
            for (int k = 0; k < count; ++k, s += frameBytes) {
                if constexpr (IsFloat<decltype(traits)>)
                    x[k].Re = ReadFloat(s);
                else if constexpr (T::Bytes == 4)
                    x[k].Re = static_cast<float>(T::Read(s) / 32768.0);
                else
                    x[k].Re = static_cast<float>(T::Read(s));
            }
            // 2. Forward, times the kernel's spectrum (both in kernel order), inverse.
            FWorkFFT.FFT();
            MultiplySpectra(x, h, FEQPoints);
            FWorkFFT.IFFT();
            // 3. Overlap-add: the last block's overhang in, this block's overhang out.
            for (int k = 0; k < FEQTailLength; ++k)
                x[k].Re += tail[k];
            for (int k = 0; k < FEQTailLength; ++k)
                tail[k] = x[count + k].Re;
            // 4. Back to the block.
            s = first + done * frameBytes;
            for (int k = 0; k < count; ++k, s += frameBytes) {
                if constexpr (IsFloat<decltype(traits)>)
                    WriteFloat(s, x[k].Re);
                else if constexpr (T::Bytes == 4)
                    WriteRoundedAt16BitScale(s, x[k].Re);
                else
                    WriteRounded<T>(s, x[k].Re);
            }
        }
    });
}

void TPvlSPChain::GetGainTable(float* table) const
{
    std::lock_guard lock(FGainLock);
    std::copy(FGainTable.begin(), FGainTable.end(), table);
}

void TPvlSPChain::SetGainTable(const float* table)
{
    {
        std::lock_guard lock(FGainLock);
        std::copy(table, table + EQGainTableSize, FGainTable.begin());
    }
    FRebuild = true;
}

void TPvlSPChain::ClearEqualizerTails()
{
    FClearTails = true;
}

void TPvlSPChain::EnableEqualizer(bool value)
{
    if (value)
        ClearEqualizerTails();
    EqualizerEnabled = value;
}
