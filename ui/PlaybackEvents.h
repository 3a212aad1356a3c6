#pragma once
// What the main window does with one event from the media graph's queue.
#include <cstdint>
#include <string>

enum class TPlaybackEventAction {
    Ignore,
    PlayNextOrStop,  // end of stream: the play list's next entry, else stop
    SetBuffering,    // buffering := first parameter is not 0
    Status,          // a network status text (Text)
    GenericStatus,   // the engine's generic text for the code
};

struct TPlaybackEventResponse {
    TPlaybackEventAction Action = TPlaybackEventAction::Ignore;
    std::string Text;
};

TPlaybackEventResponse PlaybackEventResponse(long code, intptr_t param1, intptr_t param2);
