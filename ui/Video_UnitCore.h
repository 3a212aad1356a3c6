#pragma once
// The video window's arithmetic and decisions that need no platform: renderer kinds by short
// name, the aspect fit, the seek strip, the stillness timer, the docking zones and the
// full-screen monitor choice.
#include "framework/Types.h"

#include <cstdint>
#include <optional>
#include <string>

enum TVideoRendererKind : uint8_t { vrVMR9 = 0, vrVMR = 1, vrOverlay2 = 2, vrOverlay = 3, vrNormal = 4, vrNone = 5 };

// The kind a preference entry's short name stands for ("VMR9", "VMR", "Overlay2", "Overlay",
// "Normal", compared exactly); none for any other name.
std::optional<TVideoRendererKind> RendererKindFromShortName(const std::string& shortName);

// round(a * b / c) with halves away from zero; -1 when c is 0.
int32_t MulDivRound(int32_t a, int32_t b, int32_t c);

// The largest rectangle of the source's aspect inside the target, centred (halves of the
// spare room rounded toward zero). A source without a positive width and height gives none.
std::optional<TRect> FitRectKeepAspect(const TRect& target, int32_t sourceWidth, int32_t sourceHeight);

// The seek strip: the percentage (0..100) for an X over a frame `width` pixels wide, or none
// when X lies outside 1..width - 2.
std::optional<double> SeekPercentFromX(int x, int width);

// Hours, minutes and seconds of a time in tenths of a second; negative parts become 0.
struct THms {
    int Hours = 0, Minutes = 0, Seconds = 0;
};
THms HmsFromTenths(int32_t tenths);

// Full screen hides the cursor once the mouse has been still for more than 3000 ms.
inline constexpr uint32_t kExclusiveModeDelay = 3000;
bool StillnessElapsed(uint32_t nowTicks, uint32_t lastMoveTicks);
// A move of at most 2 pixels in both axes is jitter, not movement.
bool IsMouseMovement(const TPoint& last, const TPoint& now);

// Where a dragged window may dock into the video window (client coordinates).
enum class TDockZone { None, ControlForm, PlaylistForm };
TDockZone DockZoneAt(int x, int y, int formHeight, int clientWidth, int clientHeight);
// The preview of a dock into a zone, in screen coordinates: a bottom strip as high as the main
// window's client, or a right strip 150 pixels wide.
TRect DockPreviewRect(TDockZone zone, const TRect& clientOnScreen, int controlClientHeight);

// The monitor-list entry (0-based) that full screen uses for the "FullScreenMonitor" setting,
// or none for the monitor nearest to the window: setting 0, and a number outside the list.
std::optional<int> FullScreenMonitorIndex(int setting, int monitorCount);
