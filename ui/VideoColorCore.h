#pragma once
// The colour sliders' arithmetic: which property a slider drives, the renderer's property bit,
// the overlay's range, the mapping of a -100..100 position onto a range, and the main window's
// label texts.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

enum class TVideoColorProperty { Hue, Brightness, Contrast, Saturation };

struct TColorRange {
    double Lower, Default, Upper;
};

struct TVideoColorTraits {
    // The same bit names the property for the mixing renderer's processing amplifier and for
    // DirectDraw's colour controls.
    uint32_t Bit;
    TColorRange Overlay;
};
const TVideoColorTraits& VideoColorTraits(TVideoColorProperty property);

// A slider's Tag: 0 hue, 1 brightness, 2 saturation, 3 contrast; false for any other.
bool VideoColorPropertyFromTag(int tag, TVideoColorProperty& property);

// -100 gives the lower end, 0 the default, 100 the upper end, linear on each side; a value
// outside -100..100 gives the default.
double MapColorValue(int value, const TColorRange& range);
// The overlay's colour-control field for a position: the mapping rounded to an integer.
int32_t OverlayColorValue(TVideoColorProperty property, int value);

// After a file has loaded, the positions (indexed by Tag) that are sent, in the order hue,
// brightness, saturation, contrast; a position of 0 sends nothing.
std::vector<std::pair<TVideoColorProperty, int>> ColorValuesOnLoad(const int (&positionsByTag)[4]);

// The mixing renderer's range as the main window's labels show it.
struct TColorRangeLabels {
    std::string Min, Max, Default, Range;
};
TColorRangeLabels ColorRangeLabels(float min, float max, float defaultValue);

// Which controls act, for the main window's label.
const char* ColorControlsLabel(bool decoder);
