#pragma once
// A splitter: a thin bar aligned to the left or right of its parent that the user drags to
// resize the aligned control beside it.
#include "Controls.h"

class TSplitter : public TCustomControl {
public:
    explicit TSplitter(TComponent* owner);
    int MinSize = 30;  // the resized control's and the remaining client's least width
    TNotifyEvent OnMoved;
    // The control it resizes: the aligned one whose edge touches it; none when none does.
    TControl* ResizedControl() const;
    // Moves the bar by dx pixels (a drag does this), within MinSize on both sides.
    void MoveBy(int dx);

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint(HDC dc) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    bool FDragging = false;
    int FDownX = 0;
};
