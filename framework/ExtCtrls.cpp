#include "ExtCtrls.h"

TTimer::TTimer(TComponent* owner) : TComponent(owner)
{
    WNDCLASSEXA cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = TimerWndProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "TPvlTimerWindow";
    RegisterClassExA(&cls);  // fails harmlessly once registered
    FWindow.Reset(CreateWindowExA(0, cls.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, cls.hInstance, nullptr));
    SetWindowLongPtrA(FWindow.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    Update();
}

TTimer::~TTimer()
{
    KillTimer(FWindow.Get(), 1);
    SetWindowLongPtrA(FWindow.Get(), GWLP_USERDATA, 0);
}

void TTimer::SetEnabled(bool value)
{
    if (value != FEnabled) {
        FEnabled = value;
        Update();
    }
}

void TTimer::SetInterval(unsigned value)
{
    if (value != FInterval) {
        FInterval = value;
        Update();
    }
}

void TTimer::Update()
{
    KillTimer(FWindow.Get(), 1);
    if (FEnabled && FInterval > 0)
        SetTimer(FWindow.Get(), 1, FInterval, nullptr);
}

LRESULT CALLBACK TTimer::TimerWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_TIMER) {
        auto* timer = reinterpret_cast<TTimer*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
        if (timer && timer->FEnabled && timer->OnTimer)
            CallGuarded([&] { timer->OnTimer(timer); });
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

// ---- TNotebook ----

TNotebook::TNotebook(TComponent* owner) : TCustomControl(owner)
{
    FWidth = 150;
    FHeight = 150;
}

TPage* TNotebook::AddPage(const std::string& name)
{
    auto* page = NewComponent<TPage>(this);
    page->SetCaption(name);
    page->SetVisible(false);
    page->SetAlign(alClient);
    page->SetParent(this);
    FPages.push_back(page);
    if (FPageIndex < 0)
        SetPageIndex(0);
    return page;
}

void TNotebook::SetPageIndex(int index)
{
    if (index < 0 || index >= PageCount() || index == FPageIndex)
        return;
    FPageIndex = index;
    for (int i = 0; i < PageCount(); ++i)
        Pages(i)->SetVisible(i == index);
    if (OnPageChanged)
        OnPageChanged(this);
}

std::string TNotebook::ActivePage() const
{
    return FPageIndex >= 0 ? Pages(FPageIndex)->Caption() : std::string();
}

// ---- panels, shapes, paint boxes ----

namespace {
// The control paints its whole area, so the background erase would only flicker.
bool SkipErase(TMessage& message)
{
    if (message.Msg != WM_ERASEBKGND)
        return false;
    message.Result = 1;
    return true;
}
}

TPanel::TPanel(TComponent* owner) : TCustomControl(owner)
{
    FWidth = 185;
    FHeight = 41;
}

void TPanel::Paint(HDC dc)
{
    const RECT r = ClientRect();
    const TBrushHandle brush(CreateSolidBrush(ColorToRGB(Color())));
    FillRect(dc, &r, brush.Get());
}

void TPanel::WndProc(TMessage& message)
{
    if (!SkipErase(message))
        TCustomControl::WndProc(message);
}

TShape::TShape(TComponent* owner) : TCustomControl(owner)
{
    FWidth = 65;
    FHeight = 65;
}

void TShape::Paint(HDC dc)
{
    const RECT r = ClientRect();
    const TBrushHandle brush(CreateSolidBrush(ColorToRGB(BrushColor)));
    const TPenHandle pen(CreatePen(PS_SOLID, 1, ColorToRGB(PenColor)));
    const TSelectObject selectBrush(dc, brush.Get());
    const TSelectObject selectPen(dc, pen.Get());
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
}

void TShape::WndProc(TMessage& message)
{
    if (!SkipErase(message))
        TCustomControl::WndProc(message);
}

void TPaintBox::Paint(HDC dc)
{
    if (OnPaint)
        OnPaint(this, dc);
}

void TPaintBox::WndProc(TMessage& message)
{
    if (!SkipErase(message))
        TCustomControl::WndProc(message);
}
