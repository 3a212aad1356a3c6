#pragma once
// Common controls: the track bar.
#include "Controls.h"

class TTrackBar : public TWinControl {
public:
    explicit TTrackBar(TComponent* owner);
    int Min = 0;
    int Max = 10;
    int Position() const { return FPosition; }
    void SetPosition(int value);
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle() override;
    bool ReflectedMessage(TMessage& message) override;

private:
    int FPosition = 0;
};
