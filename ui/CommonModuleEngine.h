#pragma once
// The playback engine module as the main window's start-up, command-line, event and closing
// code reaches it.
#include "ui/PlayerEngine.h"

class TCommonModule;

class TCommonModuleEngine : public IPlayerEngine {
public:
    explicit TCommonModuleEngine(TCommonModule& module) : FModule(module) {}

    void PlayPause() override;
    void Stop() override;
    void PlayInList(int32_t index, bool autoplay) override;
    uint8_t GetFilterState() override;
    int64_t GetPosition() override;
    int64_t GetDurication() override;
    void AddToHistory(const WideString& name, int kind) override;
    ComPtr<IMediaEventEx> MediaEvent() override;
    void SetBuffering(bool value) override { Buffering = value; }
    std::string EventCodeText(long code) override;
    void AppClosing() override;
    void ApplySettings(const TPlayerSettings& settings) override;
    void StoreSettings(TPlayerSettings& settings) override;

    // True while a network source buffers; the module has no field of its own for it yet.
    bool Buffering = false;

private:
    TCommonModule& FModule;
};
