#pragma once
// What the sound pages of the main window send and show, without a window: equaliser presets
// and band values, the sound-processing sliders' settings and hints, the volume and mute, the
// surround pages' values, the owner-drawn buttons' image indexes and the extras panel's stepper.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// ---- Equaliser -------------------------------------------------------------------------

inline constexpr int kEQBandCount = 10;
inline constexpr int kEQPresetCount = 19;
// Tag of the "Custom" item appended to the preset menu.
inline constexpr int kEQCustomTag = 19;
// The preset menu's Tag while the bands are the user's own.
inline constexpr int kEQCustomMenuTag = -1;

// Track-bar positions of the ten bands, 60 Hz first (-100..100, top is -100).
using TEQPositions = std::array<int, kEQBandCount>;

// The value sent to the processor for a band position: -50 (slider up) boosts, 50 cuts.
int EQBandValue(int position);
std::array<int8_t, kEQBandCount> EQBandValues(const TEQPositions& positions);
// The equaliser runs unless every band sits at 0.
bool EQEnabledFor(const TEQPositions& positions);

// What choosing a preset item shows and sends.
struct TEQSelection {
    std::string Label;       // the label under the bands
    TEQPositions Positions;  // where the ten sliders go
    int MenuTag = 0;         // the preset menu's Tag
    bool Enabled = false;
    std::array<int8_t, kEQBandCount> BandValues{};
};
// A Tag of 19 or more is the custom item (the stored custom bands under `customText`); a
// negative Tag, like the custom item, has no preset row to read.
TEQSelection EQSelectionFor(int tag, const std::array<int8_t, kEQBandCount>& customBands,
                            const std::string& customText = "Custom");

// A hand move on a band appends the "Custom" item only while the menu holds just the presets.
bool EQNeedsCustomItem(int menuItemCount);
// A band's hint: the boost it shows, "0 %" in the middle.
std::string EQBandHint(int position);

// ---- Sound processing and volume -------------------------------------------------------

// A stage's switch and its value as a slider sends them.
struct TStageSetting {
    bool Enabled = false;
    int32_t Value = 0;
};
// Pre-amplifier 0..1000: amplification 10000..20000, on from 1.
TStageSetting PreAmpSetting(int position);
// 3D sound 0..900: volume x 10, on from 1.
TStageSetting Sound3DSetting(int position);
// Dynamic amplifier maximum 0..10000: 10000 above the position, on from 1.
TStageSetting DynAmpMaxSetting(int position);

// Tenths of the position in thousandths, "2.5" for 2500; halves round up as the text does.
std::string ThousandthsText(int position);
std::string DynAmpMaxHint(int position);      // "2.5 x"
std::string DynAmpAttackHint(int position);   // "1.0 db."
std::string DynAmpReleaseHint(int position, const std::string& secondsText = "Sec.");  // "3.0 Sec."

// The volume track bar: top (0) is full volume.
int32_t VolumeFromTrackBar(int position);
// Percentage of the volume, halves to the even neighbour: 150 -> "98 %".
std::string VolumeHint(int position);
// The engine's volume while muted or after un-muting.
int32_t VolumeAfterMute(bool muted, int position);

// ---- Surround pages --------------------------------------------------------------------

// Circle Surround's speaker-type slider (0..7) and the wrapper's type (1..8).
int CircleSpeakerTypeFromSlider(int position);
// The slider position for a stored type; out-of-range types are clamped so loads never drift.
int CircleSpeakerSliderFor(int speakerType);

// A radio button's Tag: its mode, plus 10 while it is the selected one.
int RadioButtonTag(int buttonMode, int selectedMode);
bool RadioButtonSelected(int tag);
int RadioButtonMode(int tag);

// Image indexes of the owner-drawn controls; -1 draws nothing.
int CheckBoxImageIndex(int tag, bool enabled);
int RadioButtonImageIndex(int tag, bool enabled);
int PowerButtonImageIndex(bool on, bool enabled, bool pressed);
int DefaultButtonImageIndex(bool enabled, bool pressed);

// ---- Extras panel stepper ---------------------------------------------------------------

// The height of the extras panel beneath the main window's face.
inline constexpr int kExtrasPanelHeight = 124;
inline constexpr int kExtrasStepCount = 7;  // stepper positions 0..6
inline constexpr int kPageTruSurround = 2, kPageCircleSurround = 3;

// What decides whether the surround page exists.
struct TSurroundAvailability {
    int SpeakerType = 0;  // below 3: TruSurround, 3 or more: Circle Surround
    bool TruSurroundPresent = false;
    bool CircleSurroundPresent = false;
    bool SurroundOff = false;
};
// The surround page of the configured effect, or -1 when it cannot be shown.
int SurroundPage(const TSurroundAvailability& surround);

// Where a stepper click lands: the stepper's (possibly moved) position and the page it shows.
struct TExtrasStep {
    int Position = 0;
    int Page = 0;
};
// Position 2 is the surround page; when it cannot be shown the stepper skips it, back to 1
// after the previous-button, else on to 3.
TExtrasStep ExtrasStep(int position, bool previousPressed, const TSurroundAvailability& surround);

// The page popup's items in order: the page whose name is the caption, and the stepper
// position it goes to.
struct TExtrasPopupItem {
    int Page = 0;
    int Tag = 0;
};
std::vector<TExtrasPopupItem> ExtrasPopupItems(const TSurroundAvailability& surround);
