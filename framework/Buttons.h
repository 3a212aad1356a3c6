#pragma once
// Speed buttons: a flat button with a glyph, that can also stay down (GroupIndex != 0).
#include "Controls.h"
#include "Graphics.h"

class TSpeedButton : public TCustomControl {
public:
    explicit TSpeedButton(TComponent* owner);

    // The glyph; its bottom-left pixel's colour is transparent.
    TBitmap& Glyph() { return FGlyph; }
    void GlyphChanged() { Invalidate(); }
    bool Down() const { return FDown; }
    void SetDown(bool value);
    int GroupIndex = 0;   // 0: a plain button
    bool AllowAllUp = false;
    bool Flat = true;

protected:
    void Click() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Paint(HDC dc) override;
    void WndProc(TMessage& message) override;

private:
    TBitmap FGlyph;
    bool FDown = false;
    bool FPressed = false;
};
