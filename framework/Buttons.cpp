#include "Buttons.h"

TSpeedButton::TSpeedButton(TComponent* owner) : TCustomControl(owner)
{
    FWidth = 23;
    FHeight = 22;
}

void TSpeedButton::SetDown(bool value)
{
    if (value == FDown)
        return;
    FDown = value;
    Invalidate();
}

void TSpeedButton::Click()
{
    if (!Enabled())
        return;
    if (GroupIndex != 0)
        SetDown(AllowAllUp ? !FDown : true);
    TCustomControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft) {
        FPressed = true;
        Invalidate();
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft) {
        FPressed = false;
        Invalidate();
    }
    TCustomControl::MouseUp(button, shift, x, y);
}

void TSpeedButton::WndProc(TMessage& message)
{
    if (message.Msg == WM_ERASEBKGND) {
        message.Result = 1;
        return;
    }
    TCustomControl::WndProc(message);
}

void TSpeedButton::Paint(HDC dc)
{
    RECT r = ClientRect();
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    const bool sunken = FPressed || FDown;
    if (sunken || !Flat)
        DrawEdge(dc, &r, sunken ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    if (FGlyph.Empty())
        return;
    const int x = (r.right - FGlyph.Width()) / 2 + (sunken ? 1 : 0);
    const int y = (r.bottom - FGlyph.Height()) / 2 + (sunken ? 1 : 0);
    if (!Enabled()) {
        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(FGlyph.Handle()), 0, x, y, FGlyph.Width(),
                   FGlyph.Height(), DST_BITMAP | DSS_DISABLED);
        return;
    }
    TMemoryDC source(CreateCompatibleDC(dc));
    const HGDIOBJ old = SelectObject(source.Get(), FGlyph.Handle());
    const COLORREF transparent = GetPixel(source.Get(), 0, FGlyph.Height() - 1);
    TransparentBlt(dc, x, y, FGlyph.Width(), FGlyph.Height(), source.Get(), 0, 0, FGlyph.Width(), FGlyph.Height(), transparent);
    SelectObject(source.Get(), old);
}
