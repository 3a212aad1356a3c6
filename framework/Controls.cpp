#include "Controls.h"

#include "Forms.h"
#include "Menus.h"

#include <algorithm>

#include <windowsx.h>

namespace {
const char* const kControlProp = "PvlControl";

std::function<void(const std::exception&)>& ExceptionHook()
{
    static std::function<void(const std::exception&)> hook;
    return hook;
}
}

void SetGuardedExceptionHandler(std::function<void(const std::exception&)> handler)
{
    ExceptionHook() = std::move(handler);
}

void CallGuarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        if (ExceptionHook())
            ExceptionHook()(e);
        else
            OutputDebugStringA(e.what());
    } catch (...) {
        const Exception unknown("Unknown exception");
        if (ExceptionHook())
            ExceptionHook()(unknown);
    }
}

// ---- TControl ----

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl()
{
    if (FParent)
        FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent)
{
    if (parent == FParent)
        return;
    if (FParent)
        FParent->RemoveControl(this);
    if (parent)
        parent->AddControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    Invalidate();
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    Invalidate();
    if (FParent && FAlign != alNone)
        FParent->Realign();
}

void TControl::SetVisible(bool value)
{
    if (FVisible == value)
        return;
    FVisible = value;
    if (FParent) {
        FParent->Invalidate();
        if (FAlign != alNone)
            FParent->Realign();
    }
}

void TControl::SetEnabled(bool value)
{
    FEnabled = value;
    Invalidate();
}

void TControl::SetCaption(const std::string& value)
{
    FCaption = value;
    Invalidate();
}

void TControl::SetAlign(TAlign value)
{
    FAlign = value;
    if (FParent)
        FParent->Realign();
}

void TControl::SetColor(TColor value)
{
    if (value == FColor)
        return;
    FColor = value;
    Invalidate();
}

void TControl::Invalidate()
{
    if (FParent && FParent->HandleAllocated()) {
        const RECT r = BoundsRect();
        InvalidateRect(FParent->HandleOrNull(), &r, FALSE);
    }
}

// ---- window procedures ----

LRESULT CALLBACK StdWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* control = static_cast<TWinControl*>(GetPropA(wnd, kControlProp));
    if (!control && msg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        void* param = create->lpCreateParams;
        // An MDI child's own creation data is inside the client window's record.
        if (param && (create->dwExStyle & WS_EX_MDICHILD))
            param = reinterpret_cast<void*>(static_cast<MDICREATESTRUCTA*>(param)->lParam);
        control = static_cast<TWinControl*>(param);
        if (control) {
            SetPropA(wnd, kControlProp, control);
            control->FHandle = wnd;
            control->FDefWndProc = DefWindowProcA;
        }
    }
    if (!control)
        return DefWindowProcA(wnd, msg, wParam, lParam);
    TMessage message{msg, wParam, lParam, 0};
    control->Dispatch(message);
    return message.Result;
}

LRESULT CALLBACK SubclassWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* control = static_cast<TWinControl*>(GetPropA(wnd, kControlProp));
    if (!control)
        return DefWindowProcA(wnd, msg, wParam, lParam);
    TMessage message{msg, wParam, lParam, 0};
    control->Dispatch(message);
    return message.Result;
}

void TWinControl::Dispatch(TMessage& message)
{
    const HWND wnd = FHandle;
    CallGuarded([&] { WndProc(message); });
    if (message.Msg == WM_NCDESTROY && wnd) {
        RemovePropA(wnd, kControlProp);
        if (!FOwnClass && FDefWndProc)
            SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefWndProc));
        FHandle = nullptr;
    }
}

TWinControl* TWinControl::FromHandle(HWND wnd)
{
    return wnd ? static_cast<TWinControl*>(GetPropA(wnd, kControlProp)) : nullptr;
}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl()
{
    DestroyComponents();
    for (TControl* child : FControls)
        child->FParent = nullptr;
    FControls.clear();
    if (FHandle) {
        // Detach first: the window's last messages must not reach a half-destroyed object.
        const HWND wnd = FHandle;
        RemovePropA(wnd, kControlProp);
        if (!FOwnClass && FDefWndProc)
            SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefWndProc));
        FHandle = nullptr;
        DestroyWindow(wnd);
    }
}

void TWinControl::CreateParams(TCreateParams& params)
{
    params.Caption = FCaption;
    params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (FVisible ? WS_VISIBLE : 0) | (FEnabled ? 0 : WS_DISABLED);
    if (FParent) {
        params.Style |= WS_CHILD;
        params.WndParent = FParent->Handle();
    }
    params.X = FLeft;
    params.Y = FTop;
    params.Width = FWidth;
    params.Height = FHeight;
    params.WinClassName = "TPvlWinControl";
    params.Background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
}

HWND TWinControl::Handle()
{
    if (!FHandle)
        CreateWnd();
    return FHandle;
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    // Asking for the parent's window can make it, and with it this window among its children.
    if (FHandle)
        return;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA info{};
    info.cbSize = sizeof info;
    FOwnClass = true;
    if (GetClassInfoExA(instance, params.WinClassName.c_str(), &info)) {
        FOwnClass = info.lpfnWndProc == StdWndProc;
    } else if (GetClassInfoExA(nullptr, params.WinClassName.c_str(), &info)) {
        FOwnClass = false;  // a system class: subclass it
    } else {
        WNDCLASSEXA cls{};
        cls.cbSize = sizeof cls;
        cls.style = params.ClassStyle;
        cls.lpfnWndProc = StdWndProc;
        cls.hInstance = instance;
        cls.hCursor = params.Cursor ? params.Cursor : LoadCursorA(nullptr, IDC_ARROW);
        cls.hbrBackground = params.Background;
        cls.hIcon = params.Icon;
        cls.lpszClassName = params.WinClassName.c_str();
        if (!RegisterClassExA(&cls))
            throw Exception("Cannot register window class " + params.WinClassName);
    }
    static UINT nextId = 100;
    const HMENU id = (params.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nextId++)) : nullptr;
    const HWND wnd = CreateWindowExA(params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(), params.Style,
                                     params.X, params.Y, params.Width, params.Height, params.WndParent, id, instance,
                                     FOwnClass ? this : params.Param);
    if (!wnd)
        throw Exception("Error creating window " + params.WinClassName);
    if (!FOwnClass) {
        FHandle = wnd;
        SetPropA(wnd, kControlProp, this);
        FDefWndProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassWndProc)));
        SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    }
    for (TControl* child : FControls)
        if (auto* win = dynamic_cast<TWinControl*>(child))
            win->HandleNeeded();
    CreateWindowHandle();
    Realign();
}

void TWinControl::DestroyHandle()
{
    if (FHandle)
        DestroyWindow(FHandle);
}

void TWinControl::SetParent(TWinControl* parent)
{
    TControl::SetParent(parent);
    if (FHandle && parent)
        ::SetParent(FHandle, parent->Handle());
    else if (!FHandle && parent && parent->HandleAllocated())
        HandleNeeded();
}

void TWinControl::SetBounds(int left, int top, int width, int height)
{
    // The window's own notice sees the new size already stored, so the resize is told here.
    const bool resized = width != FWidth || height != FHeight;
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    if (FHandle)
        SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (FParent && FAlign != alNone)
        FParent->Realign();
    if (resized && FHandle) {
        Realign();
        Resize();
    }
}

void TWinControl::SetVisible(bool value)
{
    FVisible = value;
    // A child whose parent has no window yet is made with the parent, in this state.
    if (value && FParent && !FParent->HandleAllocated())
        return;
    if (value)
        ShowWindow(Handle(), SW_SHOW);
    else if (FHandle)
        ShowWindow(FHandle, SW_HIDE);
    if (FParent && FAlign != alNone)
        FParent->Realign();
}

void TWinControl::SetEnabled(bool value)
{
    FEnabled = value;
    if (FHandle)
        EnableWindow(FHandle, value);
}

void TWinControl::SetCaption(const std::string& value)
{
    FCaption = value;
    if (FHandle)
        SetWindowTextA(FHandle, value.c_str());
}

TRect TWinControl::ClientRect() const
{
    if (!FHandle)
        return TControl::ClientRect();
    RECT r;
    GetClientRect(FHandle, &r);
    return TRect(r);
}

void TWinControl::Invalidate()
{
    if (FHandle)
        InvalidateRect(FHandle, nullptr, TRUE);
}

void TWinControl::SetFocus()
{
    ::SetFocus(Handle());
}

bool TWinControl::Focused() const
{
    return FHandle && GetFocus() == FHandle;
}

LRESULT TWinControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam)
{
    HandleNeeded();
    TMessage message{msg, wParam, lParam, 0};
    WndProc(message);
    return message.Result;
}

void TWinControl::AddControl(TControl* control)
{
    FControls.push_back(control);
    control->FParent = this;
    if (control->Align() != alNone)
        Realign();
}

void TWinControl::RemoveControl(TControl* control)
{
    const auto it = std::find(FControls.begin(), FControls.end(), control);
    if (it == FControls.end())
        return;
    FControls.erase(it);
    control->FParent = nullptr;
    if (control->Align() != alNone)
        Realign();
}

void TWinControl::Realign()
{
    if (FRealigning)
        return;
    FRealigning = true;
    struct TEnd {
        bool& Flag;
        ~TEnd() { Flag = false; }
    } end{FRealigning};
    TRect area = ClientRect();
    for (const TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : FControls) {
            if (c->Align() != pass || !c->Visible())
                continue;
            switch (pass) {
            case alTop:
                c->SetBounds(area.left, area.top, area.Width(), c->Height());
                area.top += c->Height();
                break;
            case alBottom:
                c->SetBounds(area.left, area.bottom - c->Height(), area.Width(), c->Height());
                area.bottom -= c->Height();
                break;
            case alLeft:
                c->SetBounds(area.left, area.top, c->Width(), area.Height());
                area.left += c->Width();
                break;
            case alRight:
                c->SetBounds(area.right - c->Width(), area.top, c->Width(), area.Height());
                area.right -= c->Width();
                break;
            default:
                c->SetBounds(area.left, area.top, area.Width(), area.Height());
                break;
            }
        }
    }
}

void TWinControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

void TWinControl::DefaultHandler(TMessage& message)
{
    const WNDPROC proc = FDefWndProc ? FDefWndProc : DefWindowProcA;
    message.Result = CallWindowProcA(proc, FHandle, message.Msg, message.WParam, message.LParam);
}

void TWinControl::PaintHandler(TMessage& message)
{
    PAINTSTRUCT ps;
    const HDC dc = message.WParam ? reinterpret_cast<HDC>(message.WParam) : BeginPaint(FHandle, &ps);
    PaintWindow(dc);
    for (TControl* c : FControls) {
        if (dynamic_cast<TWinControl*>(c) || !c->Visible())
            continue;
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());
        SetViewportOrgEx(dc, c->Left(), c->Top(), nullptr);
        c->Paint(dc);
        RestoreDC(dc, saved);
    }
    if (!message.WParam)
        EndPaint(FHandle, &ps);
    message.Result = 0;
}

namespace {
HWND NotifyingWindow(const TMessage& m)
{
    switch (m.Msg) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
        return reinterpret_cast<HWND>(m.LParam);
    case WM_NOTIFY:
        return reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom;
    case WM_DRAWITEM:
        return reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->hwndItem;
    default:
        return nullptr;
    }
}
}

void TWinControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TWinControl::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TWinControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void TWinControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TWinControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TWinControl::MouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TWinControl::MouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}

namespace {
TShiftState ShiftFromKeys(WPARAM keys)
{
    TShiftState shift = 0;
    if (keys & MK_SHIFT)
        shift |= ssShift;
    if (keys & MK_CONTROL)
        shift |= ssCtrl;
    if (keys & MK_LBUTTON)
        shift |= ssLeft;
    if (keys & MK_RBUTTON)
        shift |= ssRight;
    if (keys & MK_MBUTTON)
        shift |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0)
        shift |= ssAlt;
    return shift;
}
}

// Turns the window's mouse messages into the virtual mouse handlers; true for a mouse message.
bool TWinControl::MouseMessage(const TMessage& message)
{
    const int x = GET_X_LPARAM(message.LParam);
    const int y = GET_Y_LPARAM(message.LParam);
    const TShiftState shift = ShiftFromKeys(message.WParam);
    switch (message.Msg) {
    case WM_MOUSEMOVE:
        if (!FMouseInside) {
            FMouseInside = true;
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, FHandle, 0};
            TrackMouseEvent(&track);
            MouseEnter();
        }
        MouseMove(shift, x, y);
        return true;
    case WM_MOUSELEAVE:
    case CM_MOUSELEAVE:
        if (message.Msg == CM_MOUSELEAVE && !FMouseInside)
            return true;
        FMouseInside = false;
        MouseLeave();
        return true;
    case CM_MOUSEENTER:
        if (!FMouseInside) {
            FMouseInside = true;
            MouseEnter();
        }
        return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (FOwnClass) {
            FClicked = true;
            SetCapture(FHandle);
        }
        if (message.Msg == WM_LBUTTONDBLCLK)
            DblClick();
        MouseDown(mbLeft, shift | (message.Msg == WM_LBUTTONDBLCLK ? ssDouble : 0), x, y);
        return true;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        MouseDown(mbRight, shift, x, y);
        return true;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        MouseDown(mbMiddle, shift, x, y);
        return true;
    case WM_LBUTTONUP: {
        const bool clicked = FClicked;
        FClicked = false;
        if (FOwnClass && GetCapture() == FHandle)
            ReleaseCapture();
        MouseUp(mbLeft, shift, x, y);
        const TRect client = ClientRect();
        if (clicked && x >= client.left && x < client.right && y >= client.top && y < client.bottom)
            Click();
        return true;
    }
    case WM_RBUTTONUP:
        MouseUp(mbRight, shift, x, y);
        return true;
    case WM_MBUTTONUP:
        MouseUp(mbMiddle, shift, x, y);
        return true;
    default:
        return false;
    }
}

// The popup menu of the control under the point (a child without a window, or this one).
bool TWinControl::ContextPopup(const TMessage& message)
{
    POINT screen{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
    if (message.LParam == -1) {  // from the keyboard: at the control's corner
        screen = POINT{0, 0};
        ClientToScreen(FHandle, &screen);
    }
    POINT client = screen;
    ScreenToClient(FHandle, &client);
    TControl* target = this;
    for (int i = ControlCount() - 1; i >= 0; --i) {
        TControl* child = Controls(i);
        const RECT bounds = child->BoundsRect();
        if (!dynamic_cast<TWinControl*>(child) && child->Visible() && (child->PopupMenu || child->OnContextPopup) &&
            PtInRect(&bounds, client)) {
            target = child;
            break;
        }
    }
    if (target->OnContextPopup) {
        TPoint at(-1, -1);
        if (message.LParam != -1)
            at = target == this ? TPoint(client.x, client.y)
                                : TPoint(client.x - target->Left(), client.y - target->Top());
        bool handled = false;
        target->OnContextPopup(target, at, handled);
        if (handled)
            return true;
    }
    if (!target->PopupMenu)
        return false;
    target->PopupMenu->Popup(screen.x, screen.y);
    return true;
}

bool IsMenuKeyMessage(const MSG& msg)
{
    TWinControl* focused = nullptr;
    for (HWND wnd = msg.hwnd; wnd && !focused; wnd = GetParent(wnd))
        focused = TWinControl::FromHandle(wnd);
    for (TControl* c = focused; c; c = c->Parent())
        if (c->PopupMenu && c->PopupMenu->IsShortCut(msg.wParam, msg.lParam))
            return true;
    return false;
}

void TWinControl::WndProc(TMessage& message)
{
    if (const HWND from = NotifyingWindow(message); from && from != FHandle) {
        TWinControl* child = FromHandle(from);
        if (child && child->ReflectedMessage(message))
            return;
    }
    MouseMessage(message);
    switch (message.Msg) {
    case WM_SETCURSOR:
        if (Screen && Screen->Cursor() != crDefault && LOWORD(message.LParam) == HTCLIENT) {
            ::SetCursor(CursorHandle(Screen->Cursor()));
            message.Result = TRUE;
            return;
        }
        break;
    case WM_PAINT:
        if (FOwnClass) {
            PaintHandler(message);
            return;
        }
        break;
    case WM_CONTEXTMENU:
        if (ContextPopup(message)) {
            message.Result = 0;
            return;
        }
        break;  // the parent's menu, through the default handling
    case WM_WINDOWPOSCHANGED: {
        RECT r;
        GetWindowRect(FHandle, &r);
        if (GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD)
            MapWindowPoints(nullptr, GetParent(FHandle), reinterpret_cast<POINT*>(&r), 2);
        const bool resized = r.right - r.left != FWidth || r.bottom - r.top != FHeight;
        FLeft = r.left;
        FTop = r.top;
        FWidth = r.right - r.left;
        FHeight = r.bottom - r.top;
        if (resized) {
            Realign();
            Resize();
        }
        break;
    }
    default:
        break;
    }
    DefaultHandler(message);
}

HCURSOR CursorHandle(TCursor cursor)
{
    LPCSTR id = IDC_ARROW;
    switch (cursor) {
    case crIBeam: id = IDC_IBEAM; break;
    case crNo: id = IDC_NO; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    default: break;
    }
    return LoadCursorA(nullptr, id);
}

namespace {
// The deepest child window at a point, hidden ones skipped; disabled ones only when asked.
HWND DeepestWindowAt(POINT pt, bool allowDisabled)
{
    HWND wnd = WindowFromPoint(pt);
    if (!wnd)
        return nullptr;
    if (allowDisabled) {
        // WindowFromPoint passes over disabled children; go down from the top window instead.
        HWND top = GetAncestor(wnd, GA_ROOT);
        wnd = top;
        for (;;) {
            POINT client = pt;
            ScreenToClient(wnd, &client);
            const HWND child = ChildWindowFromPointEx(wnd, client, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
            if (!child || child == wnd)
                break;
            wnd = child;
        }
    }
    return wnd;
}
}

TControl* FindDragTarget(const TPoint& pos, bool allowDisabled)
{
    const POINT pt{pos.x, pos.y};
    TWinControl* control = nullptr;
    for (HWND wnd = DeepestWindowAt(pt, allowDisabled); wnd && !control; wnd = GetParent(wnd))
        control = TWinControl::FromHandle(wnd);
    if (!control)
        return nullptr;
    if (!control->HandleAllocated())
        return control;
    POINT client = pt;
    ScreenToClient(control->HandleOrNull(), &client);
    // Later children lie above earlier ones.
    for (int i = control->ControlCount() - 1; i >= 0; --i) {
        TControl* child = control->Controls(i);
        if (dynamic_cast<TWinControl*>(child) || !child->Visible() || (!allowDisabled && !child->Enabled()))
            continue;
        if (client.x >= child->Left() && client.x < child->Left() + child->Width() && client.y >= child->Top() &&
            client.y < child->Top() + child->Height())
            return child;
    }
    return control;
}
