#include "ui/VisualisationCore.h"

#include "DSFilters/dspFastFourier.h"
#include "engine/VisualHelpers.h"
#include "graphics/Bitmap32Core.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {
constexpr int kMaxChannels = TVisualBuffers::Channels;

// What a block holds, when it holds at least one whole frame of a depth we read.
struct TBlock {
    const uint8_t* Bytes = nullptr;
    int BytesPerSample = 0;
    int Channels = 0;  // as stored
    int Used = 0;      // analysed: at most 10
    int Frames = 0;
    int Bits = 0;
    bool Float = false;
};

bool ReadBlock(const void* buffer, int32_t size, bool isFloat, int32_t channels, int32_t bits, TBlock& block)
{
    if (!buffer || size <= 0 || channels <= 0 || bits <= 0)
        return false;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    if (isFloat && bits != 32)
        return false;
    block.Bytes = static_cast<const uint8_t*>(buffer);
    block.BytesPerSample = bits / 8;
    block.Channels = channels;
    block.Used = std::min<int>(channels, kMaxChannels);
    block.Frames = size / block.BytesPerSample / channels;
    block.Bits = bits;
    block.Float = isFloat;
    return block.Frames > 0;
}

const uint8_t* SamplePtr(const TBlock& block, int frame, int channel)
{
    return block.Bytes + (static_cast<ptrdiff_t>(frame) * block.Channels + channel) * block.BytesPerSample;
}

int32_t ReadInt(const uint8_t* p, int bytes)
{
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<uint32_t>(p[i]) << (8 * i);
    const int shift = 32 - 8 * bytes;
    return static_cast<int32_t>(v << shift) >> shift;
}

float ReadFloat(const uint8_t* p)
{
    float f;
    std::memcpy(&f, p, sizeof f);
    return f;
}

// A sample on the 16-bit scale.
int32_t Sample16(const TBlock& block, int frame, int channel)
{
    const uint8_t* p = SamplePtr(block, frame, channel);
    if (block.Float) {
        const float f = ReadFloat(p);
        if (!(f == f))
            return 0;
        return static_cast<int32_t>(std::clamp(f * 32768.0f, -32768.0f, 32767.0f));
    }
    switch (block.Bits) {
    case 8: return (static_cast<int32_t>(*p) - 128) * 256;
    case 16: return ReadInt(p, 2);
    case 24: return ReadInt(p, 3) >> 8;
    default: return ReadInt(p, 4) >> 16;
    }
}

// A sample's level: 128 at full scale.
int32_t Level128(const TBlock& block, int frame, int channel)
{
    const uint8_t* p = SamplePtr(block, frame, channel);
    int64_t level = 0;
    if (block.Float) {
        const float f = ReadFloat(p);
        level = f == f ? std::llround(std::min(std::fabs(static_cast<double>(f)), 2.0) * 128.0) : 0;
    } else {
        switch (block.Bits) {
        case 8: level = std::llabs(static_cast<int64_t>(*p) - 128); break;
        case 16: level = std::llround(std::llabs(ReadInt(p, 2)) / 256.0); break;
        case 24: level = std::llabs(static_cast<int64_t>(ReadInt(p, 3))) >> 16; break;
        default: level = std::llabs(static_cast<int64_t>(ReadInt(p, 4))) >> 24; break;
        }
    }
    return static_cast<int32_t>(std::min<int64_t>(level, 128));
}

// Spectrum scale by the transform's size index.
double SpectrumScale(int sizeIndex)
{
    static constexpr double scales[12] = {11.0, 10.0, 9.0, 8.0, 7.0, 6.0, 5.0, 4.0, 3.2, 2.4, 1.5, 1.2};
    return sizeIndex >= 0 && sizeIndex < 12 ? scales[sizeIndex] : 1.0;
}

TColor32 Color32FromColorRef(uint32_t colorRef)
{
    return MakeColor32(static_cast<uint8_t>(colorRef), static_cast<uint8_t>(colorRef >> 8),
                       static_cast<uint8_t>(colorRef >> 16));
}

int EvenDown(int x)
{
    return x >= 0 ? x & ~1 : -((-x) & ~1);
}

// ---- drawing ----

struct TModeLook {
    int32_t HoldTicks, PeakFall, BarFall, FadeAlpha;
};

TModeLook LookOf(uint8_t mode, const TVisualState& state)
{
    switch (mode) {
    case 1:
    case 2: return {25, 1, 3, 180};
    case 3: return {state.HoldTicks, state.PeakFall, state.BarFall, 200};
    case 4: return {state.HoldTicks, state.PeakFall, state.BarFall, 190};
    case 5: return {20, 2, 10, 180};
    default: return {state.HoldTicks, state.PeakFall, state.BarFall, state.FadeAlpha};
    }
}

// Peak and falling bar of one bar for value v (modes 1 and 5); the value to draw.
int StepBar(TVisualBuffers& visual, const TVisualState& state, int i, int v)
{
    int32_t& peak = visual.Peaks[static_cast<size_t>(i)];
    int32_t& hold = visual.PeakHold[static_cast<size_t>(i)];
    int32_t& bar = visual.Levels[static_cast<size_t>(i)];
    if (v > peak) {
        peak = v;
        hold = 0;
    } else if (hold > state.HoldTicks) {
        peak = std::max(0, peak - state.PeakFall);
    } else {
        ++hold;
    }
    if (v + 2 < bar) {
        bar = std::max(0, bar - state.BarFall);
        v = bar;
    } else {
        bar = v;
    }
    return v;
}

// Mode 2: the bar falls while the value is not above it; the peak follows the falling bar
// and its hold counts on every frame.
int StepColumn(TVisualBuffers& visual, const TVisualState& state, int i, int v)
{
    int32_t& peak = visual.Peaks[static_cast<size_t>(i)];
    int32_t& hold = visual.PeakHold[static_cast<size_t>(i)];
    int32_t& bar = visual.Levels[static_cast<size_t>(i)];
    if (v <= bar) {
        bar = std::max(0, bar - state.BarFall);
        v = bar;
    } else {
        bar = v;
    }
    ++hold;
    if (bar > peak) {
        peak = bar;
        hold = 0;
    } else if (hold > state.HoldTicks) {
        peak = std::max(0, peak - state.PeakFall);
    }
    return v;
}

void DrawSpectrumPeaks(const TVisualBuffers& visual, TCustomBitmap32& bitmap)
{
    const int h = bitmap.Height();
    for (int i = 0; i < 25; ++i) {
        const int ph = std::clamp(EvenDown(visual.Peaks[static_cast<size_t>(i)]) + 2, 0, h - 1);
        if (ph > 0)
            bitmap.FillRectClipped(10 * i + 2, h - ph, 10 * i + 10, h - ph + 1, kVisualColor);
    }
}

void DrawVUPeaks(const TVisualBuffers& visual, TCustomBitmap32& bitmap, int channels)
{
    if (channels <= 0)
        return;
    const int w = bitmap.Height() / channels;
    const int width = bitmap.Width();
    for (int c = 0; c < channels; ++c) {
        const int x = std::min(width * visual.Peaks[static_cast<size_t>(c)] / 128 - 1, width - 1);
        if (x >= 0)
            bitmap.FillRectClipped(x, c * w + 1, x + 1, c * w + w + 1, kVisualColor);
    }
}
}

// ---- analysis ----

bool ProcessVisual(TVisualBuffers& visual, TVisualState& state, TDCFFT& fft, const void* buffer, int32_t size,
                   bool isFloat, int32_t channels, int32_t bits)
{
    switch (visual.Mode) {
    case 1:
    case 2: return ProcessSpectrumBuffer(visual, state, fft, buffer, size, isFloat, channels, bits);
    case 3:
    case 4: return ProcessWaveBuffer(visual, state, buffer, size, isFloat, channels, bits);
    case 5: return ProcessVUBuffer(visual, state, buffer, size, isFloat, channels, bits);
    default: return false;
    }
}

bool ProcessSpectrumBuffer(TVisualBuffers& visual, TVisualState& state, TDCFFT& fft, const void* buffer, int32_t size,
                           bool isFloat, int32_t channels, int32_t bits)
{
    TBlock block;
    if (!ReadBlock(buffer, size, isFloat, channels, bits, block))
        return false;
    const int points = fft.FFTSizeInt();
    const int stride = std::max(state.Stride, 1);
    // 1.
    const int n = std::min(block.Frames / (stride + 1), points / 2);
    const int range = state.Top - state.Base;
    const double scale = SpectrumScale(static_cast<int>(fft.FFTSize));
    const int transforms = state.SpectrumMix ? 1 : block.Used;
    for (int t = 0; t < transforms; ++t) {
        // 2.
        fft.ClearBuffer();
        TComplexSingle* data = fft.ComplexBuffer();
        for (int i = 0; i < n; ++i) {
            const int frame = i * stride;
            if (state.SpectrumMix) {
                int64_t sum = 0;
                for (int c = 0; c < block.Used; ++c)
                    sum += Sample16(block, frame, c);
                data[i].Re = static_cast<float>(static_cast<double>(sum) / block.Used);
            } else {
                data[i].Re = static_cast<float>(Sample16(block, frame, t));
            }
        }
        // 3.
        if (state.AudioOnly)
            PreEmphasis(&data[0].Re, points, static_cast<float>(state.PreEmphasis / 100.0));
        // 4. and 5.
        fft.FFT();
        int32_t* out = visual.Analysis.data() + static_cast<ptrdiff_t>(t) * TVisualBuffers::ChannelValues;
        for (int k = 0; k < points / 2; ++k) {
            const double m = std::nearbyint(ComplexMagnitude(data[k].Re, data[k].Im));
            const double v = std::max(0.0, m * scale - 50000.0);
            out[k] = static_cast<int32_t>(std::nearbyint(state.Base + std::sqrt(range * (range * v / 700000.0))));
        }
    }
    return true;
}

bool ProcessWaveBuffer(TVisualBuffers& visual, TVisualState& state, const void* buffer, int32_t size, bool isFloat,
                       int32_t channels, int32_t bits)
{
    TBlock block;
    if (!ReadBlock(buffer, size, isFloat, channels, bits, block))
        return false;
    const int average = std::max(state.WaveAverage, 1);
    const int n = std::min(block.Frames / average, std::min(state.WavePoints, TVisualBuffers::ChannelValues));
    const int64_t range = state.Top - state.Base;
    const auto mapped = [&](int frame, int c) { return ClampWord(Sample16(block, frame, c) + 32768); };
    for (int i = 0; i < n; ++i) {
        const int first = i * average;
        if (state.WaveMix) {
            int64_t sum = 0;
            for (int f = first; f < first + average; ++f)
                for (int c = 0; c < block.Used; ++c)
                    sum += mapped(f, c);
            const int64_t avg = std::clamp<int64_t>(sum / (static_cast<int64_t>(average) * block.Used), 0, 65535);
            visual.Analysis[static_cast<size_t>(i)] = static_cast<int32_t>(state.Base + avg * range / 65536);
        } else {
            for (int c = 0; c < block.Used; ++c)
                visual.Analysis[static_cast<size_t>(c) * TVisualBuffers::ChannelValues + static_cast<size_t>(i)] =
                    static_cast<int32_t>(state.Base + mapped(first, c) * range / 65536);
        }
    }
    return true;
}

bool ProcessVUBuffer(TVisualBuffers& visual, TVisualState&, const void* buffer, int32_t size, bool isFloat,
                     int32_t channels, int32_t bits)
{
    TBlock block;
    if (!ReadBlock(buffer, size, isFloat, channels, bits, block))
        return false;
    const int scanned = block.Frames / block.Channels;
    for (int c = 0; c < block.Used; ++c) {
        int32_t level = 0;
        for (int f = 0; f < scanned; ++f)
            level = std::max(level, Level128(block, f, c));
        visual.Analysis[static_cast<size_t>(c)] = level;
    }
    return true;
}

// ---- drawing ----

void DrawVisual(TVisualBuffers& visual, TVisualState& state, TCustomBitmap32& bitmap, TCustomBitmap32& fade,
                uint32_t backColor, const int32_t* values, int32_t base, int32_t channels, int32_t width, int32_t top)
{
    (void)base;
    (void)width;
    if (bitmap.Empty())
        return;
    const int h = bitmap.Height();
    const int w = bitmap.Width();
    const uint8_t mode = visual.Mode;
    state.LastChannels = channels;
    bitmap.BeginUpdate();
    // 1.
    bitmap.Clear(Color32FromColorRef(backColor));
    if (mode == 0 || mode > TVisualBuffers::LastMode || !values) {
        // Only the background, also for the fade that follows a return to a mode.
        if (fade.Width() == w && fade.Height() == h)
            std::memcpy(fade.Bits(), bitmap.Bits(), static_cast<size_t>(w) * static_cast<size_t>(h) * sizeof(TColor32));
        bitmap.EndUpdate();
        bitmap.Changed();
        return;
    }
    // 2.
    const TModeLook look = LookOf(mode, state);
    state.HoldTicks = look.HoldTicks;
    state.PeakFall = look.PeakFall;
    state.BarFall = look.BarFall;
    state.FadeAlpha = look.FadeAlpha;
    const int vuChannels = std::clamp(channels, 0, TVisualBuffers::Channels);
    switch (mode) {
    case 1:
        for (int i = 0; i < 25; ++i) {
            int v = 0;
            for (int k = kSpectrumBarEdges[i]; k <= kSpectrumBarEdges[i + 1] - 1; ++k)
                v = std::max(v, values[k]);
            v = StepBar(visual, state, i, std::clamp(v, 0, h - 1));
            const int bh = std::clamp(EvenDown(v) + 2, 0, h - 1);
            if (bh > 0)
                bitmap.FillRectClipped(10 * i + 2, h - bh, 10 * i + 10, h, kVisualColor);
        }
        if (visual.ShowPeaks)
            DrawSpectrumPeaks(visual, bitmap);
        break;
    case 2:
        for (int i = 0; i < std::min(w, TVisualBuffers::Bars); ++i) {
            const int v = std::clamp(StepColumn(visual, state, i, std::clamp(values[i], 0, h - 1)), 0, h - 1);
            if (v > 0)
                bitmap.FillRectClipped(i, h - v, i + 1, h, kVisualColor);
            if (visual.ShowPeaks) {
                const int p = std::clamp(visual.Peaks[static_cast<size_t>(i)], 1, h - 1);
                bitmap.FillRectClipped(i, h - p, i + 1, h - p + 1, kVisualColor);
            }
        }
        break;
    case 3:
        if (top == 0) {
            bitmap.DrawLineClipped(0, h / 2, w - 1, h / 2, kVisualColor, true);
        } else {
            for (int i = 0; i + 1 < std::min(w, TVisualBuffers::Bars); ++i)
                bitmap.DrawLineClipped(i, std::clamp(values[i], 0, h - 1), i + 1, std::clamp(values[i + 1], 0, h - 1),
                                       kVisualColor, false);
        }
        break;
    case 4:
        bitmap.DrawLineClipped(0, h / 2, w - 1, h / 2, kVisualColor, true);
        if (top != 0)
            for (int i = 0; i < std::min(w, TVisualBuffers::Bars); ++i)
                bitmap.DrawLineClipped(i, h / 2, i, std::clamp(values[i], 0, h - 1), kVisualColor, true);
        break;
    case 5:
        if (vuChannels > 0) {
            const int band = h / vuChannels;
            for (int c = 0; c < vuChannels; ++c) {
                const int v = StepBar(visual, state, c, std::clamp(values[c], 0, 128));
                const int length = std::clamp(w * v / 128, 0, w);
                if (length > 0)
                    bitmap.FillRectClipped(0, c * band + 1, length, c * band + band + 1, kVisualColor);
            }
            if (visual.ShowPeaks)
                DrawVUPeaks(visual, bitmap, vuChannels);
        }
        break;
    default: break;
    }
    // 4. Old frames show through the new one and fade; the peaks stay sharp above them.
    if (visual.UseFade && fade.Width() == w && fade.Height() == h) {
        fade.SetDrawMode(dmBlend);
        fade.SetMasterAlpha(static_cast<uint32_t>(state.FadeAlpha));
        fade.DrawToAt(&bitmap, 0, 0);
        if (visual.ShowPeaks && mode == 1)
            DrawSpectrumPeaks(visual, bitmap);
        if (visual.ShowPeaks && mode == 5)
            DrawVUPeaks(visual, bitmap, vuChannels);
        std::memcpy(fade.Bits(), bitmap.Bits(), static_cast<size_t>(w) * static_cast<size_t>(h) * sizeof(TColor32));
    }
    bitmap.EndUpdate();
    bitmap.Changed();
}
