#pragma once
// Window timers.
#include "Controls.h"

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned value);
    TNotifyEvent OnTimer;

private:
    void Update();
    static LRESULT CALLBACK TimerWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool FEnabled = true;
    unsigned FInterval = 1000;
    TWindowHandle FWindow;
};
