#pragma once
// The main window's transport and poll arithmetic that needs no platform: times, progress,
// the time texts, the play/pause glyph and button states, key bindings, dropped-file types.
#include "engine/StreamDescriptionsCore.h"

#include <cstdint>
#include <string>
#include <vector>

class TStringList;

// Engine state codes as the poll reads them.
inline constexpr uint8_t kStateStopped = 0, kStateRunning = 1, kStatePaused = 2, kStateNoFile = 3;

// 100-nanosecond units to tenths of a second (integer division).
int32_t TenthsFromMediaTime(int64_t time);
// Progress in hundredths of a percent: 100 / (duration / position) x 100, rounded; 0 unless
// both are above 0; clamped to 0..10000.
int32_t ProgressFromTimes(int32_t position, int32_t duration);
// The width of the filled part of the seek bar for a background `backgroundWidth` wide.
int32_t ProgressBarWidth(int32_t backgroundWidth, int32_t progress);

// The time texts of a poll: the display's three fields and the video window's label.
struct TTimeTexts {
    std::string Hours, Minutes, Seconds, VideoLabel;
};
TTimeTexts PollTimeTexts(int32_t position, int32_t duration, bool remaining);

// The play/pause glyph and the enabled states for an engine state.
struct TTransportLook {
    int Glyph = 3;
    bool PlayPauseEnabled = true;
    bool StopEnabled = false;
};
TTransportLook TransportLookFor(uint8_t state, int playListCount);

// "Curr. : 1.0 x " for a dynamic gain in thousandths.
std::string DynamicGainText(int gain);
// The status text while a network source buffers: empty at 100 %.
std::string BufferingText(long progress);

// What a key does in the player's windows.
enum class TKeyAction { None, PlayPause, Stop, Next, Prev, EnterFullScreen, LeaveFullScreen };
// The main window's keys; `videoWindow` adds the video window's Esc.
TKeyAction KeyActionFor(uint16_t key, bool alt, bool fullScreen, bool videoWindow);

// A dropped file is taken when "*" + its upper-cased extension is in the known list.
bool IsKnownMediaFile(const std::string& fileName, const TStringList& knownExtensions);

// The screen saver and monitor power-down are held off while a file plays or is paused.
bool SuppressesSystemCommand(uint32_t command, uint8_t state);

// The stream-information tree of the open file: a root per pin (state 1 when it rendered)
// with its format lines as children.
struct TPinInfo {
    bool Rendered = false;
    TVideoStreamDescription Video;  // video pins
    TAudioStreamDescription Audio;  // audio pins
};
struct TStreamInfoNode {
    std::string Text;
    int StateIndex = -1;
    std::vector<std::string> Children;
};
// At most 15 significant digits; no decimals when whole, else three.
std::string StreamRateText(double value);
std::vector<TStreamInfoNode> StreamInfoNodes(const std::vector<TPinInfo>& videoPins, const std::vector<TPinInfo>& audioPins);
