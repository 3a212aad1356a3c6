#include "RaisedItemForm.h"

#include "DropShadow.h"
#include "MenuHooks.h"
#include "MenuOptionsCore.h"
#include "MenuUtilsCore.h"

using C = T_AM2000_Colors;
using M = T_AM2000_Margins;

namespace {

bool SystemDropShadow(bool& on)
{
    BOOL value = FALSE;
    const bool answered = SystemParametersInfoA(SPI_GETDROPSHADOW, 0, &value, 0) != 0;
    on = value != FALSE;
    return answered;
}

void FillColor(HDC dc, const RECT& r, TColor color)
{
    const HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(ResolveColor(color)));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

}  // namespace

T_AM2000_RaisedItemForm::T_AM2000_RaisedItemForm(TComponent* owner, T_AM2000_Options& options, bool followsSystemShadow)
    : TForm(owner), FOptions(options)
{
    BorderStyle = bsNone;
    FormStyle = fsStayOnTop;
    Position = poDesigned;
    TWinControl::SetBounds(0, 0, 0, 0);
    HandleNeeded();
    bool systemOn = false;
    const bool answered = followsSystemShadow && SystemDropShadow(systemOn);
    if (RaisedItemShadowWanted(FOptions.Flags() & FlagBit(mfDropShadow), followsSystemShadow, answered, systemOn)) {
        FShadow = std::make_unique<T_AM2000_DropShadow>(Handle());
        FShadow->SetColor(static_cast<COLORREF>(ResolveColor(FOptions.Colors().Get(C::DropShadow))));
    }
}

T_AM2000_RaisedItemForm::~T_AM2000_RaisedItemForm() { FShadow.reset(); }

void T_AM2000_RaisedItemForm::CreateParams(TCreateParams& params)
{
    TForm::CreateParams(params);
    params.WinClassName = "T_AM2000_RaisedItemForm";
    params.Style = WS_POPUP;
    params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    params.ClassStyle |= CS_SAVEBITS;
}

int T_AM2000_RaisedItemForm::FrameWidth() const
{
    return RaisedFrameWidth(FOptions.Margins().Get(M::Border), FOptions.Margins().Get(M::Bevel));
}

bool T_AM2000_RaisedItemForm::Showing() const
{
    return HandleAllocated() && Width() > 0 && IsWindowVisible(HandleOrNull());
}

void T_AM2000_RaisedItemForm::SetOpenSides(bool left, bool top, bool right, bool bottom)
{
    FSides = {left, top, right, bottom};
    InvalidateRect(Handle(), nullptr, FALSE);
}

void T_AM2000_RaisedItemForm::SetItem(TMenuItem* item, const TRect& screenRect)
{
    FItem = item;
    const TRect bounds = RaisedItemBounds(screenRect, FrameWidth());
    TWinControl::SetBounds(bounds.left, bounds.top, bounds.Width(), bounds.Height());
    InvalidateRect(Handle(), nullptr, FALSE);
    PumpPaint();
    if (FShadow)
        FShadow->Update();
}

void T_AM2000_RaisedItemForm::ShowItem()
{
    const HWND wnd = Handle();
    ShowWindow(wnd, SW_SHOWNA);
    SetWindowPos(wnd, HWND_TOPMOST, Left(), Top(), Width(), Height(), SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    InvalidateRect(wnd, nullptr, FALSE);
    UpdateWindow(wnd);
    if (FShadow)
        FShadow->Show(wnd);
    PumpPaint();
}

void T_AM2000_RaisedItemForm::HideItem()
{
    if (FShadow)
        FShadow->Hide();
    if (HandleAllocated() && Width() > 0) {
        ShowWindow(HandleOrNull(), SW_HIDE);
        TWinControl::SetBounds(0, 0, 0, 0);
    }
}

void T_AM2000_RaisedItemForm::PaintTo(HDC dc)
{
    const int w = Width(), h = Height();
    if (w == 0 || h == 0)
        return;
    T_AM2000_Colors& colors = FOptions.Colors();
    FillColor(dc, RECT{0, 0, w, h}, colors.Get(C::Highlight));
    const int f = FrameWidth();
    if (ItemPainter) {
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, f, f, w - f, h - f);
        ItemPainter(dc, RECT{f, f, w - f, h - f});
        RestoreDC(dc, saved);
    }
    if (f <= 0)
        return;
    const RECT sides[] = {{0, 0, f, h}, {0, 0, w, f}, {w - f, 0, w, h}, {0, h - f, w, h}};
    const bool open[] = {FSides.Left, FSides.Top, FSides.Right, FSides.Bottom};
    // Closed sides first: an open side runs its full length, into the popup.
    for (int pass = 0; pass < 2; ++pass)
        for (int k = 0; k < 4; ++k) {
            if (open[k] != (pass == 1))
                continue;
            const TColor color = colors.Get(open[k] ? C::Menu : C::Frame);
            if (color != clNone)
                FillColor(dc, sides[k], color);
        }
}

void T_AM2000_RaisedItemForm::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_ERASEBKGND: message.Result = 1; return;
    case WM_MOUSEACTIVATE: message.Result = MA_NOACTIVATE; return;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(HandleOrNull(), &ps);
        CallGuarded([&] { PaintTo(dc); });
        EndPaint(HandleOrNull(), &ps);
        message.Result = 0;
        return;
    }
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK:
        CallGuarded([this] {
            CloseMenus(false, 0);
            HideItem();
            if (OnClickedAgain)
                OnClickedAgain();
        });
        message.Result = 0;
        return;
    default: TForm::WndProc(message);
    }
}
