#include "ComCtrls.h"

#include <commctrl.h>

#include <algorithm>

TTrackBar::TTrackBar(TComponent* owner) : TWinControl(owner)
{
    FWidth = 150;
    FHeight = 25;
}

void TTrackBar::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = TRACKBAR_CLASSA;
    params.Style |= TBS_HORZ | TBS_NOTICKS;
}

void TTrackBar::CreateWindowHandle()
{
    SendMessageA(HandleOrNull(), TBM_SETRANGEMIN, FALSE, Min);
    SendMessageA(HandleOrNull(), TBM_SETRANGEMAX, FALSE, Max);
    SendMessageA(HandleOrNull(), TBM_SETPOS, TRUE, FPosition);
}

void TTrackBar::SetPosition(int value)
{
    value = std::clamp(value, Min, Max);
    if (value == FPosition)
        return;
    FPosition = value;
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), TBM_SETPOS, TRUE, FPosition);
    if (OnChange)
        OnChange(this);
}

bool TTrackBar::ReflectedMessage(TMessage& message)
{
    if (message.Msg != WM_HSCROLL && message.Msg != WM_VSCROLL)
        return false;
    const int position = static_cast<int>(SendMessageA(HandleOrNull(), TBM_GETPOS, 0, 0));
    if (position != FPosition) {
        FPosition = position;
        if (OnChange)
            OnChange(this);
    }
    message.Result = 0;
    return true;
}
