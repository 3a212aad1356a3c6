#pragma once
// The engine as the main window's in-process tests see it: every call does nothing, and the
// state and position are what the test sets (no graph at first). A test's engine derives from
// it and overrides only what it watches or answers.
#include "ui/PlayerEngine.h"

namespace pvltest {

class TPlayerEngineStandIn : public IPlayerEngine {
public:
    uint8_t State = 3;
    int64_t Position = 0, Duration = 0;

    void PlayPause() override {}
    void Stop() override {}
    void PlayInList(int32_t, bool) override {}
    uint8_t GetFilterState() override { return State; }
    int64_t GetPosition() override { return Position; }
    int64_t GetDurication() override { return Duration; }
    void AddToHistory(const WideString&, int) override {}
    ComPtr<IMediaEventEx> MediaEvent() override { return nullptr; }
    void SetBuffering(bool) override {}
    std::string EventCodeText(long) override { return {}; }
    void AppClosing() override {}
    void ApplySettings(const TPlayerSettings&) override {}
    void StoreSettings(TPlayerSettings&) override {}
};

}  // namespace pvltest
