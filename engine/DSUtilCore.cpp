#include "engine/DSUtilCore.h"

#include "framework/SysUtils.h"

#include <iterator>

namespace {

struct TEventText {
    int Code;
    const char* Text;
};

constexpr TEventText EventTexts[] = {
    {0x01, "EC_COMPLETE - All data from a particular stream has been rendered."},
    {0x02, "EC_USERABORT - The user has terminated playback."},
    {0x03, "EC_ERRORABORT - An operation was aborted because of an error."},
    {0x04, "EC_TIME - A requested reference-clock event has occurred."},
    {0x05, "EC_REPAINT - A video renderer requires a repaint."},
    {0x06, "EC_STREAM_ERROR_STOPPED - A stream has stopped because of an error."},
    {0x07, "EC_STREAM_ERROR_STILLPLAYING - A stream error occurred, but the stream is still playing."},
    {0x08, "EC_ERROR_STILLPLAYING - A command could not run, but playback goes on."},
    {0x09, "EC_PALETTE_CHANGED - The video renderer has changed the palette."},
    {0x0A, "EC_VIDEO_SIZE_CHANGED - The native video size has changed."},
    {0x0B, "EC_QUALITY_CHANGE - The graph is dropping samples to control quality."},
    {0x0C, "EC_SHUTTING_DOWN - The filter graph is shutting down."},
    {0x0D, "EC_CLOCK_CHANGED - The reference clock has changed."},
    {0x0E, "EC_PAUSED - A pause request has completed."},
    {0x10, "EC_OPENING_FILE - The graph is opening a file, or has finished opening it."},
    {0x11, "EC_BUFFERING_DATA - The graph is buffering data, or has stopped buffering."},
    {0x12, "EC_FULLSCREEN_LOST - The video renderer has lost full-screen mode."},
    {0x13, "EC_ACTIVATE - A video window is being activated or deactivated."},
    {0x14, "EC_NEED_RESTART - A filter needs the graph to be restarted."},
    {0x15, "EC_WINDOW_DESTROYED - The video renderer's window has been destroyed."},
    {0x16, "EC_DISPLAY_CHANGED - The display mode has changed."},
    {0x17, "EC_STARVATION - A filter is not receiving enough data."},
    {0x18, "EC_OLE_EVENT - A filter is passing a text string to the application."},
    {0x19, "EC_NOTIFY_WINDOW - The renderer needs the owner window's handle."},
    {0x1A, "EC_STREAM_CONTROL_STOPPED - A stream-control stop request has completed."},
    {0x1B, "EC_STREAM_CONTROL_STARTED - A stream-control start request has completed."},
    {0x1C, "EC_END_OF_SEGMENT - The end of a segment has been reached."},
    {0x1D, "EC_SEGMENT_STARTED - A new segment has started."},
    {0x1F, "EC_DEVICE_LOST - A removable device has been removed or added again."},
    {0x24, "EC_STEP_COMPLETE - A frame step has completed."},
    {0x30, "EC_TIMECODE_AVAILABLE- Sent by filter supporting timecode."},
    {0x31, "EC_EXTDEVICE_MODE_CHANGE - Sent by filter supporting IAMExtDevice."},
    {0x50, "EC_GRAPH_CHANGED - The filter graph has changed."},
    {0x51, "EC_CLOCK_UNSET - The clock provider has been disconnected."},
    {0x53, "EC_VMR_RENDERDEVICE_SET - The video mixing renderer has chosen its rendering device."},
    {0x101, "EC_DVD_DOMAIN_CHANGE - The DVD navigator has entered a new domain."},
    {0x102, "EC_DVD_TITLE_CHANGE - The current DVD title has changed."},
    {0x103, "EC_DVD_CHAPTER_START - A new DVD chapter has started."},
    {0x104, "EC_DVD_AUDIO_STREAM_CHANGE - The current DVD audio stream has changed."},
    {0x105, "EC_DVD_SUBPICTURE_STREAM_CHANGE - The current DVD subpicture stream has changed."},
    {0x106, "EC_DVD_ANGLE_CHANGE - The number of available DVD angles or the current angle has changed."},
    {0x107, "EC_DVD_BUTTON_CHANGE - The number of DVD menu buttons or the selected button has changed."},
    {0x108, "EC_DVD_VALID_UOPS_CHANGE - The available DVD user operations have changed."},
    {0x109, "EC_DVD_STILL_ON - A DVD still period has begun."},
    {0x10A, "EC_DVD_STILL_OFF - A DVD still period has ended."},
    {0x10B, "EC_DVD_CURRENT_TIME - The DVD playback time at the start of the current block."},
    {0x10C, "EC_DVD_ERROR - A DVD error condition has occurred."},
    {0x10D, "EC_DVD_WARNING - A DVD warning condition has occurred."},
    {0x10E, "EC_DVD_CHAPTER_AUTOSTOP - DVD playback stopped at the end of a chapter as requested."},
    {0x10F, "EC_DVD_NO_FP_PGC - The DVD disc has no first-play program chain."},
    {0x110, "EC_DVD_PLAYBACK_RATE_CHANGE - The DVD playback rate has changed."},
    {0x111, "EC_DVD_PARENTAL_LEVEL_CHANGE - The DVD parental level has changed."},
    {0x112, "EC_DVD_PLAYBACK_STOPPED - DVD playback has stopped."},
    {0x113, "EC_DVD_ANGLES_AVAILABLE - The current DVD block offers more than one angle."},
    {0x114, "EC_DVD_PLAYPERIOD_AUTOSTOP - A requested DVD play period has ended."},
    {0x115, "EC_DVD_BUTTON_AUTO_ACTIVATED - A DVD menu button has been activated automatically."},
    {0x116, "EC_DVD_CMD_START - A DVD command has started."},
    {0x117, "EC_DVD_CMD_END - A DVD command has ended."},
    {0x118, "EC_DVD_DISC_EJECTED - The DVD disc has been ejected."},
    {0x119, "EC_DVD_DISC_INSERTED - A DVD disc has been inserted."},
    {0x11A, "EC_DVD_CURRENT_HMSF_TIME - The DVD playback time in hours, minutes, seconds and frames."},
    {0x11B, "EC_DVD_KARAOKE_MODE - The DVD karaoke mode has changed."},
    {0x200, "EC_SNDDEV_IN_ERROR - An audio input device has reported an error."},
    {0x201, "EC_SNDDEV_OUT_ERROR - An audio output device has reported an error."},
};

static_assert(std::size(EventTexts) == 64);

}  // namespace

void GetEventCodeText(int eventCode, std::string& text)
{
    for (const TEventText& entry : EventTexts) {
        if (entry.Code == eventCode) {
            text = entry.Text;
            return;
        }
    }
    text = Format("Unknow Graph Event ($%X)", static_cast<unsigned>(eventCode));
}
