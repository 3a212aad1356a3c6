#include "engine/CommonUnitCore.h"

#include "framework/Classes.h"

#include <algorithm>
#include <cmath>
#include <limits>

int32_t VolumeToAttenuation(int32_t x)
{
    if (x >= 10000)
        return 0;
    const double ratio = (10000.0 - x) / 10000.0;
    return static_cast<int32_t>(RoundToInt64(3000.0 * std::log10(ratio))) + 10000;
}

int32_t GraphVolumeFromVolume(int32_t volume)
{
    const int32_t v = std::clamp(volume, 0, 10000);
    return std::max(VolumeToAttenuation(10000 - v) - 10000, -10000);
}

int32_t EqBandGainFromSlider(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<int64_t>(a) * b / 20);
}

int64_t RoundToInt64(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = std::nearbyint(value);  // the default mode: halves to even
    if (rounded >= 9.2233720368547758e18)
        return std::numeric_limits<int64_t>::max();
    if (rounded <= -9.2233720368547758e18)
        return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(rounded);
}

int64_t PositionFromPercent(int64_t duration, double percent)
{
    if (!(percent > 0))
        return 0;
    return RoundToInt64(static_cast<double>(duration) / (100.0 / percent));
}

int32_t TenthsFromPercent(int64_t duration, double percent)
{
    if (!(percent > 0))
        return 0;
    const int64_t tenths = RoundToInt64(static_cast<double>(duration) / 1000000.0 / (100.0 / percent));
    return static_cast<int32_t>(std::clamp<int64_t>(tenths, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

std::string ParseFileTypes(const TStringList& lines, TStringList& knownExtensions)
{
    knownExtensions.Clear();
    std::string filter;
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string& line = lines[i];
        const size_t bar = line.find('|');
        if (i == 0 && bar != std::string::npos) {
            const std::string patterns = line.substr(bar + 1);
            size_t start = 0;
            while (start <= patterns.size()) {
                const size_t end = std::min(patterns.find(';', start), patterns.size());
                const std::string piece = Trim(std::string_view(patterns).substr(start, end - start));
                if (!piece.empty())
                    knownExtensions.Add(UpperCase(piece));
                start = end + 1;
            }
        }
        // A line without "|" would shift every later description into the patterns' place.
        if (Trim(line).empty() || line.starts_with("//") || bar == std::string::npos)
            continue;
        filter += line + "|";
    }
    return filter;
}

void TVisualBuffers::ResetVisual()
{
    std::fill(Analysis.begin(), Analysis.end(), 0);
    Levels.fill(0);
    ResetPeaks();
}

void TVisualBuffers::ResetPeaks()
{
    Peaks.fill(0);
    PeakHold.fill(0);
}

void TVisualBuffers::SwitchVisual(uint8_t mode)
{
    Mode = 0;
    ResetVisual();
    Mode = mode;
}

void TVisualBuffers::NextVisual()
{
    SwitchVisual(Mode >= LastMode ? 0 : static_cast<uint8_t>(Mode + 1));
}
