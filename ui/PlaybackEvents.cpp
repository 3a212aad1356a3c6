#include "ui/PlaybackEvents.h"

#include "framework/SysUtils.h"

TPlaybackEventResponse PlaybackEventResponse(long code, intptr_t param1, intptr_t param2)
{
    (void)param1;
    using A = TPlaybackEventAction;
    switch (code) {
    case 0x01: return {A::PlayNextOrStop, {}};  // EC_COMPLETE
    case 0x11: return {A::SetBuffering, {}};    // EC_BUFFERING_DATA
    case 0x43: return {A::Status, " Moment, trying to connect..."};
    case 0x44: return {A::Status, " No internet access available or connection closed."};
    case 0x45: return {A::Status, " The server is not responding or is not online."};
    case 0x46: return {A::Status, " Moment, receiving data... " + IntToStr(static_cast<int64_t>(param2)) + "%"};
    case 0x47:
    case 0x49: return {A::GenericStatus, {}};
    case 0x48: return {A::Status, " Connected with server."};
    case 0x68: return {A::Status, " Buffer played, waiting for new data..."};
    default: return {A::Ignore, {}};
    }
}
