#include "Spin.h"

#include "SysUtils.h"

#include <commctrl.h>

#include <algorithm>

namespace {
constexpr int kArrowsWidth = 16;
}

TSpinEdit::TSpinEdit(TComponent* owner) : TEdit(owner)
{
    SetCaption("0");
}

TSpinEdit::~TSpinEdit()
{
    if (FArrows && IsWindow(FArrows))
        DestroyWindow(FArrows);
}

int TSpinEdit::Value() const
{
    int parsed = 0;
    if (!TryStrToInt(Trim(Text()), parsed))
        return FValue;
    return std::clamp(parsed, MinValue, MaxValue);
}

void TSpinEdit::SetValue(int value)
{
    FValue = std::clamp(value, MinValue, MaxValue);
    SetText(IntToStr(FValue));
}

void TSpinEdit::CreateWindowHandle()
{
    TEdit::CreateWindowHandle();
    const HWND parent = GetParent(HandleOrNull());
    // The arrows sit beside the edit in its parent and step through the value range.
    FArrows = CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | UDS_ARROWKEYS | UDS_NOTHOUSANDS | UDS_SETBUDDYINT | (Visible() ? WS_VISIBLE : 0),
                              0, 0, kArrowsWidth, Height(), parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!FArrows)
        return;
    // The arrows write the stepped number into the edit, which reports it as a change.
    SendMessageA(FArrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(HandleOrNull()), 0);
    SendMessageA(FArrows, UDM_SETRANGE32, static_cast<WPARAM>(MinValue), static_cast<LPARAM>(MaxValue));
    SendMessageA(FArrows, UDM_SETPOS32, 0, static_cast<LPARAM>(Value()));
    PlaceArrows();
    EnableWindow(FArrows, Enabled());
}

void TSpinEdit::PlaceArrows()
{
    if (FArrows)
        SetWindowPos(FArrows, nullptr, Left() + Width(), Top(), kArrowsWidth, Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TSpinEdit::SetBounds(int left, int top, int width, int height)
{
    TEdit::SetBounds(left, top, width, height);
    PlaceArrows();
}

void TSpinEdit::SetVisible(bool value)
{
    TEdit::SetVisible(value);
    if (FArrows)
        ShowWindow(FArrows, value ? SW_SHOWNA : SW_HIDE);
}

void TSpinEdit::SetEnabled(bool value)
{
    TEdit::SetEnabled(value);
    if (FArrows)
        EnableWindow(FArrows, value);
}

bool TSpinEdit::ReflectedMessage(TMessage& message)
{
    if (message.Msg == WM_COMMAND && HIWORD(message.WParam) == EN_CHANGE) {
        int parsed = 0;
        if (TryStrToInt(Trim(Text()), parsed))
            FValue = std::clamp(parsed, MinValue, MaxValue);
    }
    return TEdit::ReflectedMessage(message);
}
