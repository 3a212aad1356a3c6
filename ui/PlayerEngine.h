#pragma once
// What the main window's start-up, command-line, graph-event and closing code asks of the
// playback engine. The engine module is reached through this, so the window can run and be
// tested with a stand-in.
#include "ui/SettingsModel.h"

#include "dshow/DShow.h"
#include "framework/SysUtils.h"

#include <cstdint>
#include <string>

class IPlayerEngine {
public:
    virtual ~IPlayerEngine() = default;

    // Transport.
    virtual void PlayPause() = 0;
    virtual void Stop() = 0;
    virtual void PlayInList(int32_t index, bool autoplay) = 0;
    // 0 stopped, 1 running, 2 paused, 3 no graph.
    virtual uint8_t GetFilterState() = 0;
    virtual int64_t GetPosition() = 0;   // 100-nanosecond units
    virtual int64_t GetDurication() = 0;

    // History: kind 0 files, 1 play lists, 2 addresses.
    virtual void AddToHistory(const WideString& name, int kind) = 0;

    // Graph events: the queue of the open graph (none without one), the buffering flag and
    // the generic text of an event code.
    virtual ComPtr<IMediaEventEx> MediaEvent() = 0;
    virtual void SetBuffering(bool value) = 0;
    virtual std::string EventCodeText(long code) = 0;

    // Closes the playing file, saves the play list as "LastPlayed.pls" and has the main window
    // write its settings.
    virtual void AppClosing() = 0;

    // The engine's settings fields: filled from the model after reading, and read back into
    // it before writing. The fields the engine does not hold stay as they are in the model.
    virtual void ApplySettings(const TPlayerSettings& settings) = 0;
    virtual void StoreSettings(TPlayerSettings& settings) = 0;
};
