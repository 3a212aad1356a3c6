#include "ui/SoundControlsCore.h"

#include "DSFilters/PvlEqCore.h"
#include "engine/Common_Types.h"
#include "framework/SysUtils.h"

#include <algorithm>

int EQBandValue(int position)
{
    return -position * 10 / 20;  // C++ division truncates towards zero, as the bands expect
}

std::array<int8_t, kEQBandCount> EQBandValues(const TEQPositions& positions)
{
    std::array<int8_t, kEQBandCount> values{};
    for (int b = 0; b < kEQBandCount; ++b)
        values[b] = static_cast<int8_t>(EQBandValue(std::clamp(positions[b], -100, 100)));
    return values;
}

bool EQEnabledFor(const TEQPositions& positions)
{
    return std::any_of(positions.begin(), positions.end(), [](int p) { return p != 0; });
}

TEQSelection EQSelectionFor(int tag, const std::array<int8_t, kEQBandCount>& customBands, const std::string& customText)
{
    static_assert(std::tuple_size_v<decltype(EQPresetValues)> == kEQPresetCount);
    TEQSelection s;
    if (tag >= 0 && tag < kEQPresetCount) {
        s.Label = EQPresetNames[tag];
        std::copy(EQPresetValues[tag].begin(), EQPresetValues[tag].end(), s.Positions.begin());
        s.MenuTag = tag;
    } else {
        s.Label = customText;
        std::copy(customBands.begin(), customBands.end(), s.Positions.begin());
        s.MenuTag = kEQCustomMenuTag;
    }
    s.Enabled = EQEnabledFor(s.Positions);
    s.BandValues = EQBandValues(s.Positions);
    return s;
}

bool EQNeedsCustomItem(int menuItemCount)
{
    return menuItemCount == kEQPresetCount;
}

std::string EQBandHint(int position)
{
    return std::to_string(-position) + " %";
}

TStageSetting PreAmpSetting(int position)
{
    return {position >= 1, (position + 1000) * 10};
}

TStageSetting Sound3DSetting(int position)
{
    return {position >= 1, position * 10};
}

TStageSetting DynAmpMaxSetting(int position)
{
    return {position >= 1, position + 10000};
}

std::string ThousandthsText(int position)
{
    // Integer arithmetic keeps the text the same under every C library's printf rounding.
    const int64_t magnitude = position < 0 ? -static_cast<int64_t>(position) : position;
    const int64_t tenths = (magnitude + 50) / 100;
    return Format("%s%lld.%lld", position < 0 && tenths != 0 ? "-" : "", static_cast<long long>(tenths / 10),
                  static_cast<long long>(tenths % 10));
}

std::string DynAmpMaxHint(int position)
{
    return ThousandthsText(position) + " x";
}

std::string DynAmpAttackHint(int position)
{
    return ThousandthsText(position) + " db.";
}

std::string DynAmpReleaseHint(int position, const std::string& secondsText)
{
    return ThousandthsText(position) + " " + secondsText;
}

int32_t VolumeFromTrackBar(int position)
{
    return 10000 - std::clamp(position, 0, 10000);
}

std::string VolumeHint(int position)
{
    const int32_t volume = VolumeFromTrackBar(position);
    int32_t percent = volume / 100;
    const int32_t rest = volume % 100;
    if (rest > 50 || (rest == 50 && percent % 2 != 0))
        ++percent;
    return std::to_string(percent) + " %";
}

int32_t VolumeAfterMute(bool muted, int position)
{
    return muted ? 0 : VolumeFromTrackBar(position);
}

int CircleSpeakerTypeFromSlider(int position)
{
    return std::clamp(position, 0, 7) + 1;
}

int CircleSpeakerSliderFor(int speakerType)
{
    return std::clamp(speakerType - 1, 0, 7);
}

int RadioButtonTag(int buttonMode, int selectedMode)
{
    return buttonMode == selectedMode ? buttonMode + 10 : buttonMode;
}

bool RadioButtonSelected(int tag)
{
    return tag > 9;
}

int RadioButtonMode(int tag)
{
    return RadioButtonSelected(tag) ? tag - 10 : tag;
}

int CheckBoxImageIndex(int tag, bool enabled)
{
    if (tag != 0 && tag != 1)
        return -1;
    return enabled ? tag : tag + 2;
}

int RadioButtonImageIndex(int tag, bool enabled)
{
    const int selected = RadioButtonSelected(tag) ? 1 : 0;
    return enabled ? selected : selected + 2;
}

int PowerButtonImageIndex(bool on, bool enabled, bool pressed)
{
    if (pressed)
        return 2;
    if (!enabled)
        return 4;
    return on ? 1 : 3;
}

int DefaultButtonImageIndex(bool enabled, bool pressed)
{
    if (pressed)
        return 2;
    return enabled ? 0 : 3;
}

int SurroundPage(const TSurroundAvailability& surround)
{
    if (surround.SurroundOff)
        return -1;
    if (surround.SpeakerType < 3)
        return surround.TruSurroundPresent ? kPageTruSurround : -1;
    return surround.CircleSurroundPresent ? kPageCircleSurround : -1;
}

namespace {

// Stepper positions past the surround one show the pages after both surround pages.
int PageOfPosition(int position, const TSurroundAvailability& surround)
{
    if (position < 2)
        return position;
    if (position == 2)
        return SurroundPage(surround);
    return position + 1;
}

}  // namespace

TExtrasStep ExtrasStep(int position, bool previousPressed, const TSurroundAvailability& surround)
{
    position = std::clamp(position, 0, kExtrasStepCount - 1);
    if (position == 2 && SurroundPage(surround) < 0)
        position = previousPressed ? 1 : 3;
    return {position, PageOfPosition(position, surround)};
}

std::vector<TExtrasPopupItem> ExtrasPopupItems(const TSurroundAvailability& surround)
{
    std::vector<TExtrasPopupItem> items{{0, 0}, {1, 1}};
    const int surroundPage = SurroundPage(surround);
    if (surroundPage >= 0)
        items.push_back({surroundPage, 2});
    for (int page = 4; page <= 7; ++page)
        items.push_back({page, page - 1});
    return items;
}
