#pragma once
// The visualisation's analysis and drawing: a block of PCM becomes spectrum bins, waveform
// points or VU levels in the engine's analysis buffer, and those are drawn with falling bars,
// held peaks and a fade into a bitmap as wide as the display (255 pixels).
#include "engine/CommonUnitCore.h"

#include <cstdint>

class TDCFFT;
class TCustomBitmap32;

// The analysers' and the drawing's settings and the drawing's last state.
struct TVisualState {
    int32_t Base = 0;
    int32_t Top = 0;  // the display's height
    // Spectrum.
    int32_t Stride = 1;         // 1 for sound only, 10 with video
    bool SpectrumMix = true;
    bool AudioOnly = true;      // pre-emphasis on
    int32_t PreEmphasis = 95;   // percent
    int32_t FFTLength = 1024;
    // Waveform.
    int32_t WaveAverage = 8;
    bool WaveMix = true;
    int32_t WavePoints = 512;
    // Drawing: set by the mode at every draw.
    int32_t HoldTicks = 20;
    int32_t PeakFall = 1;
    int32_t BarFall = 2;
    int32_t FadeAlpha = 230;
    int32_t LastChannels = 0;
};

// The drawing colour: white at 230.
inline constexpr uint32_t kVisualColor = 0xE6FFFFFF;

// Analyses a block of `size` bytes by the mode into visual.Analysis; false (nothing written)
// in mode 0, without a buffer, for 0 channels, a depth other than 8, 16, 24 or 32 bits, a
// float that is not 32 bits, or less than one frame. At most 10 channels are analysed.
bool ProcessVisual(TVisualBuffers& visual, TVisualState& state, TDCFFT& fft, const void* buffer, int32_t size,
                   bool isFloat, int32_t channels, int32_t bits);
bool ProcessSpectrumBuffer(TVisualBuffers& visual, TVisualState& state, TDCFFT& fft, const void* buffer, int32_t size,
                           bool isFloat, int32_t channels, int32_t bits);
bool ProcessWaveBuffer(TVisualBuffers& visual, TVisualState& state, const void* buffer, int32_t size, bool isFloat,
                       int32_t channels, int32_t bits);
bool ProcessVUBuffer(TVisualBuffers& visual, TVisualState& state, const void* buffer, int32_t size, bool isFloat,
                     int32_t channels, int32_t bits);

// Draws `values` by the mode into the visual bitmap on the background (COLORREF), through
// the fade bitmap when fading. Bars and peaks rise from the bottom, VU bars from the left;
// every height is kept inside the bitmap.
void DrawVisual(TVisualBuffers& visual, TVisualState& state, TCustomBitmap32& bitmap, TCustomBitmap32& fade,
                uint32_t backColor, const int32_t* values, int32_t base, int32_t channels, int32_t width, int32_t top);

// The spectrum bars' first bins (26 edges for 25 bars).
inline constexpr int kSpectrumBarEdges[26] = {4,   9,   18,  30,  50,  70,  80,  90,  100, 110, 120, 130, 150,
                                              170, 190, 215, 240, 265, 290, 340, 390, 420, 430, 470, 500, 512};
