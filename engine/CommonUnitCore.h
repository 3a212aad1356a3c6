#pragma once
// The engine's arithmetic and data that need no platform: the volume curve, positions from
// percentages, the file-types list and the visualisation buffers.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

class TStringList;

// The volume curve: 0 for x = 10000 (or above), else round(3000 * log10((10000 - x) / 10000)) + 10000.
int32_t VolumeToAttenuation(int32_t x);
// The graph's volume (hundredths of a decibel, -10000..0) for a user volume 0..10000; volumes
// outside the range are clamped, and the curve's values below -10000 become -10000 (silence).
int32_t GraphVolumeFromVolume(int32_t volume);
// (a * b) / 20, truncated toward zero: equaliser slider positions to band gains.
int32_t EqBandGainFromSlider(int32_t a, int32_t b);

// The position at `percent` of `duration` (100-ns units): round(duration / (100 / percent)),
// 0 when percent is not above 0.
int64_t PositionFromPercent(int64_t duration, double percent);
// The same position in tenths of a second: round((duration / 1000000) / (100 / percent)).
int32_t TenthsFromPercent(int64_t duration, double percent);
// Round to nearest, halves to even, clamped to the type's range; NaN gives 0.
int64_t RoundToInt64(double value);

// "Data\filetypes.cfg": lines "Description|pattern;pattern;...". Returns the open dialog's
// filter (every line but empty and "//" ones, each followed by "|") and fills knownExtensions
// from the first line's patterns, upper-cased, whatever that line is.
std::string ParseFileTypes(const TStringList& lines, TStringList& knownExtensions);

// The visualisation's mode and buffers; the windows draw from them.
struct TVisualBuffers {
    static constexpr int Channels = 10;
    static constexpr int ChannelValues = 8192;
    static constexpr int Bars = 255;
    static constexpr uint8_t LastMode = 5;  // 0 none, 1-2 spectrum, 3-4 waveform, 5 VU meter

    uint8_t Mode = 2;
    bool ShowPeaks = true;
    bool UseFade = true;
    std::vector<int32_t> Analysis = std::vector<int32_t>(Channels * ChannelValues);  // channel c at c * 8192
    std::array<int32_t, Bars> Peaks{};
    std::array<int32_t, Bars> PeakHold{};
    std::array<int32_t, Bars> Levels{};  // the falling bars

    void ResetVisual();              // analysis buffer, levels and peaks
    void ResetPeaks();               // peaks and their hold counters
    void SwitchVisual(uint8_t mode);
    void NextVisual();               // 0, 1, ... 5, 0; a mode above 5 becomes 0
};
