#include "ui/VideoColorCore.h"

#include "framework/SysUtils.h"

#include <cmath>

const TVideoColorTraits& VideoColorTraits(TVideoColorProperty property)
{
    static const TVideoColorTraits hue{4, {-180, 0, 180}};
    static const TVideoColorTraits brightness{1, {-10000, 750, 10000}};
    static const TVideoColorTraits contrast{2, {0, 10000, 20000}};
    static const TVideoColorTraits saturation{8, {0, 10000, 20000}};
    switch (property) {
    case TVideoColorProperty::Hue: return hue;
    case TVideoColorProperty::Brightness: return brightness;
    case TVideoColorProperty::Contrast: return contrast;
    case TVideoColorProperty::Saturation: return saturation;
    }
    return hue;
}

bool VideoColorPropertyFromTag(int tag, TVideoColorProperty& property)
{
    static const TVideoColorProperty byTag[] = {TVideoColorProperty::Hue, TVideoColorProperty::Brightness,
                                                TVideoColorProperty::Saturation, TVideoColorProperty::Contrast};
    if (tag < 0 || tag > 3)
        return false;
    property = byTag[tag];
    return true;
}

double MapColorValue(int value, const TColorRange& range)
{
    if (value >= -100 && value <= -1)
        return range.Default + (range.Default - range.Lower) * value / 100.0;
    if (value >= 1 && value <= 100)
        return range.Default + (range.Upper - range.Default) * value / 100.0;
    return range.Default;
}

int32_t OverlayColorValue(TVideoColorProperty property, int value)
{
    return static_cast<int32_t>(std::lround(MapColorValue(value, VideoColorTraits(property).Overlay)));
}

std::vector<std::pair<TVideoColorProperty, int>> ColorValuesOnLoad(const int (&positionsByTag)[4])
{
    std::vector<std::pair<TVideoColorProperty, int>> out;
    for (int tag = 0; tag < 4; ++tag) {
        TVideoColorProperty property{};
        if (positionsByTag[tag] != 0 && VideoColorPropertyFromTag(tag, property))
            out.emplace_back(property, positionsByTag[tag]);
    }
    return out;
}

TColorRangeLabels ColorRangeLabels(float min, float max, float defaultValue)
{
    // The class library's %f shows two decimals.
    return {Format("Min= %.2f", static_cast<double>(min)), Format("Max= %.2f", static_cast<double>(max)),
            Format("Default= %.2f", static_cast<double>(defaultValue)),
            Format("Range= %.2f", static_cast<double>(max) - static_cast<double>(min))};
}

const char* ColorControlsLabel(bool decoder)
{
    return decoder ? "Using Decoder ColorControls" : "Using Video Renderer ColorControls";
}
