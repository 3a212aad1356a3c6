#include "Forms.h"

#include "Threads.h"

#include <commctrl.h>

#include <vector>

TApplication* Application = nullptr;

namespace {
TScreen ScreenObject;
}
TScreen* Screen = &ScreenObject;

void TScreen::SetCursor(TCursor value)
{
    if (value == FCursor)
        return;
    FCursor = value;
    // Shown at once; the windows keep it through WM_SETCURSOR, and their own comes back with
    // the next move after crDefault.
    ::SetCursor(CursorHandle(value));
}

TCustomForm* TScreen::ActiveForm() const
{
    for (HWND wnd = GetActiveWindow(); wnd; wnd = GetParent(wnd))
        if (auto* form = dynamic_cast<TCustomForm*>(TWinControl::FromHandle(wnd)))
            return form;
    return nullptr;
}

// ---- TCustomForm ----

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner)
{
    FVisible = false;
    FWidth = 320;
    FHeight = 240;
}

TCustomForm::~TCustomForm()
{
    if (OnDestroy)
        CallGuarded([&] { OnDestroy(this); });
    // A child going changes its frame's active child; its window is gone before it could tell.
    if (TCustomForm* frame = MDIFrame(); frame && frame->HandleAllocated())
        PostMessageA(frame->HandleOrNull(), CM_MENUCHANGED, 0, 0);
    if (Application && Application->FMainForm == this)
        Application->FMainForm = nullptr;
}

void TCustomForm::DoCreate()
{
    if (OnCreate)
        CallGuarded([&] { OnCreate(this); });
}

void TCustomForm::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = "TPvlForm";
    params.Icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");  // the program's icon, when it has one
    params.Style &= ~(WS_CHILD | WS_VISIBLE);
    params.WndParent = nullptr;
    switch (BorderStyle) {
    case bsNone: params.Style |= WS_POPUP; break;
    case bsSingle: params.Style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX; break;
    case bsDialog:
        params.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
        params.ExStyle |= WS_EX_DLGMODALFRAME;
        break;
    case bsToolWindow:
        params.Style |= WS_CAPTION | WS_SYSMENU;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        params.Style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    default: params.Style |= WS_OVERLAPPEDWINDOW; break;
    }
    if (!(BorderIcons & biSystemMenu))
        params.Style &= ~WS_SYSMENU;
    if (!(BorderIcons & biMinimize))
        params.Style &= ~WS_MINIMIZEBOX;
    if (!(BorderIcons & biMaximize))
        params.Style &= ~WS_MAXIMIZEBOX;
    if (FormStyle == fsStayOnTop)
        params.ExStyle |= WS_EX_TOPMOST;
    // Secondary forms belong to the main form: they stay above it and have no taskbar button.
    if (Application && Application->MainForm() && Application->MainForm() != this)
        params.WndParent = Application->MainForm()->Handle();
    MDICreateParams(params);
    if (Position == poScreenCenter) {
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        params.X = work.left + (work.right - work.left - params.Width) / 2;
        params.Y = work.top + (work.bottom - work.top - params.Height) / 2;
    }
}

void TCustomForm::SetVisible(bool value)
{
    if (FVisible == value && (!value || (HandleAllocated() && IsWindowVisible(HandleOrNull()))))
        return;
    TWinControl::SetVisible(value);
}

void TCustomForm::Show()
{
    SetVisible(true);
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (FormStyle == fsMDIChild && MDIFrame())
        SendMessageA(MDIFrame()->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(HandleOrNull()), 0);
    if (FWindowState != wsNormal)
        SetWindowState(FWindowState);
}

bool TCustomForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close()
{
    if (FModal) {
        if (CloseQuery())
            FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery())
        return;
    const bool isMain = Application && Application->MainForm() == this;
    // An MDI child cannot hide: it goes to an icon when it may.
    const TCloseAction other = FormStyle != fsMDIChild ? caHide : (BorderIcons & biMinimize) ? caMinimize : caNone;
    TCloseAction action = isMain ? caFree : other;
    if (OnClose)
        OnClose(this, action);
    if (action == caNone)
        return;
    if (isMain) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: ShowWindow(Handle(), SW_MINIMIZE); break;
    case caFree: Release(); break;
    default: break;
    }
}

int TCustomForm::ShowModal()
{
    if (Visible())
        throw Exception("Cannot make a visible window modal");
    ReleaseCapture();
    FModal = true;
    FModalResult = mrNone;
    // Every other window of this thread is disabled while the form is up.
    struct Collect {
        HWND Self;
        std::vector<HWND> Disabled;
    } collect{Handle(), {}};
    struct Enumerator {
        static BOOL CALLBACK Add(HWND wnd, LPARAM param)
        {
            auto* c = reinterpret_cast<Collect*>(param);
            if (wnd != c->Self && IsWindowVisible(wnd) && IsWindowEnabled(wnd))
                c->Disabled.push_back(wnd);
            return TRUE;
        }
    };
    EnumThreadWindows(GetCurrentThreadId(), Enumerator::Add, reinterpret_cast<LPARAM>(&collect));
    for (const HWND wnd : collect.Disabled)
        EnableWindow(wnd, FALSE);
    const HWND self = collect.Self;
    Show();
    SetActiveWindow(self);
    while (FModalResult == mrNone) {
        Application->HandleMessage();
        if (Application->Terminated())
            FModalResult = mrCancel;
        if (FModalResult != mrNone) {
            TCloseAction action = caHide;
            if (OnClose)
                OnClose(this, action);
            if (action == caNone)
                FModalResult = mrNone;
        }
    }
    for (const HWND wnd : collect.Disabled)
        if (IsWindow(wnd))
            EnableWindow(wnd, TRUE);
    Hide();
    FModal = false;
    return FModalResult;
}

void TCustomForm::SetClientWidth(int value)
{
    SetWidth(Width() - ClientRect().Width() + value);
}

void TCustomForm::SetClientHeight(int value)
{
    SetHeight(Height() - ClientRect().Height() + value);
}

void TCustomForm::Release()
{
    if (!Application)
        return;
    Hide();
    Application->FReleased.push_back(this);
    PostMessageA(Application->Handle(), WM_NULL, 0, 0);
}

void TCustomForm::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_CLOSE:
        Close();
        message.Result = 0;
        return;
    case WM_SHOWWINDOW:
        if (message.WParam && OnShow)
            OnShow(this);
        else if (!message.WParam && OnHide)
            OnHide(this);
        break;
    case WM_ENTERSIZEMOVE:
        if (DragKind == dkDock && Floating() && OnStartDock)
            OnStartDock(this);
        break;
    case WM_EXITSIZEMOVE:
        if (DragKind == dkDock && Floating()) {
            POINT cursor;
            GetCursorPos(&cursor);
            DockAt(cursor);
        }
        break;
    case WM_ACTIVATEAPP:
        // Every top-level form hears it; the application raises its event once per change.
        if (Application)
            Application->AppActivated(message.WParam != 0);
        break;
    case WM_SETTINGCHANGE:
        if (Application && Application->MainForm() == this && Application->OnSettingChange)
            CallGuarded([&] {
                Application->OnSettingChange(this, static_cast<int>(message.WParam),
                                             message.LParam ? reinterpret_cast<const char*>(message.LParam) : "");
            });
        break;
    case CM_MENUCHANGED:
        CallGuarded([this] { MenuChanged(); });
        message.Result = 0;
        return;
    case WM_MDIACTIVATE:
    case WM_SIZE:
        // The frame's menu and bar follow its active child and that child's size state.
        if (FormStyle == fsMDIChild && MDIFrame() && MDIFrame()->HandleAllocated())
            PostMessageA(MDIFrame()->HandleOrNull(), CM_MENUCHANGED, 0, 0);
        break;
    case WM_ACTIVATE:
        if (LOWORD(message.WParam) != WA_INACTIVE && OnActivate)
            OnActivate(this);
        else if (LOWORD(message.WParam) == WA_INACTIVE && OnDeactivate)
            OnDeactivate(this);
        break;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

// ---- keys ----

bool PreviewKeyMessage(const MSG& msg)
{
    for (HWND wnd = msg.hwnd; wnd; wnd = GetAncestor(wnd, GA_PARENT)) {
        auto* form = dynamic_cast<TCustomForm*>(TWinControl::FromHandle(wnd));
        if (!form || !form->OnKeyDown || !(form->KeyPreview || wnd == msg.hwnd))
            continue;
        WORD key = static_cast<WORD>(msg.wParam);
        TShiftState shift = 0;
        if (GetKeyState(VK_SHIFT) < 0)
            shift |= ssShift;
        if (GetKeyState(VK_CONTROL) < 0)
            shift |= ssCtrl;
        if (msg.message == WM_SYSKEYDOWN && (msg.lParam & (1 << 29)))
            shift |= ssAlt;
        form->OnKeyDown(form, key, shift);
        return key == 0;
    }
    return false;
}

// ---- docking ----

void TCustomForm::ManualDock(TCustomForm* site, TAlign align)
{
    if (!site || site == this || site == FHostDockSite)
        return;
    if (FHostDockSite)
        ManualFloat(BoundsRect());
    const HWND wnd = Handle();
    FFloatingStyle = static_cast<DWORD>(GetWindowLongA(wnd, GWL_STYLE));
    FFloatingExStyle = static_cast<DWORD>(GetWindowLongA(wnd, GWL_EXSTYLE));
    SetWindowLongA(wnd, GWL_STYLE, static_cast<LONG>((FFloatingStyle & ~(WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU)) | WS_CHILD));
    SetWindowLongA(wnd, GWL_EXSTYLE, static_cast<LONG>(FFloatingExStyle & ~(WS_EX_APPWINDOW | WS_EX_TOPMOST | WS_EX_DLGMODALFRAME)));
    FHostDockSite = site;
    ::SetParent(wnd, site->Handle());
    SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED | SWP_NOACTIVATE);
    SetAlign(align);
    TControl::SetParent(site);
    Show();
    site->Realign();
}

void TCustomForm::ManualFloat(const TRect& screenBounds)
{
    TCustomForm* site = FHostDockSite;
    if (!site)
        return;
    bool allow = true;
    if (site->OnUnDock)
        site->OnUnDock(site, this, nullptr, allow);
    if (!allow)
        return;
    FHostDockSite = nullptr;
    TControl::SetParent(nullptr);
    const HWND wnd = Handle();
    ::SetParent(wnd, nullptr);
    SetWindowLongA(wnd, GWL_STYLE, static_cast<LONG>(FFloatingStyle));
    SetWindowLongA(wnd, GWL_EXSTYLE, static_cast<LONG>(FFloatingExStyle));
    // A top-level form stays owned by the main form, as it was made.
    if (Application && Application->MainForm() && Application->MainForm() != this)
        SetWindowLongPtrA(wnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(Application->MainForm()->Handle()));
    SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED | SWP_NOACTIVATE);
    SetBounds(screenBounds.left, screenBounds.top, screenBounds.Width(), screenBounds.Height());
    Show();
    site->Realign();
}

bool TCustomForm::DockAt(const TPoint& screen)
{
    if (!Application)
        return false;
    for (int i = 0; i < Application->ComponentCount(); ++i) {
        auto* site = dynamic_cast<TCustomForm*>(Application->Components(i));
        if (!site || site == this || !site->DockSite || !site->OnDockOver || !site->HandleAllocated() ||
            !IsWindowVisible(site->HandleOrNull()))
            continue;
        POINT p = screen;
        ScreenToClient(site->HandleOrNull(), &p);
        const TRect client = site->ClientRect();
        if (p.x < client.left || p.x >= client.right || p.y < client.top || p.y >= client.bottom)
            continue;
        bool accept = false;
        TRect preview;
        site->OnDockOver(site, this, p.x, p.y, accept, preview);
        if (!accept)
            continue;
        ManualDock(site, alBottom);
        if (OnEndDock)
            CallGuarded([&] { OnEndDock(this, site); });
        return true;
    }
    return false;
}

// ---- TApplication ----

namespace {
LRESULT CALLBACK UtilWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(wnd, msg, wParam, lParam);
}
}

TApplication::TApplication()
{
    Application = this;
    SetMainThread(std::this_thread::get_id());
    SetGuardedExceptionHandler([this](const std::exception& e) { HandleException(e); });
    WNDCLASSEXA cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = UtilWndProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "TPvlApplicationUtil";
    RegisterClassExA(&cls);
    FUtilWindow.Reset(CreateWindowExA(0, cls.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, cls.hInstance, nullptr));
    const HWND util = FUtilWindow.Get();
    SetWakeMainThread([util] { PostMessageA(util, WM_NULL, 0, 0); });
}

TApplication::~TApplication()
{
    DestroyComponents();
    SetWakeMainThread(nullptr);
    SetGuardedExceptionHandler(nullptr);
    if (Application == this)
        Application = nullptr;
}

std::string TApplication::ExeName() const
{
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

bool TApplication::ProcessMessage(MSG& msg)
{
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    bool handled = false;
    if (OnMessage)
        CallGuarded([&] { OnMessage(msg, handled); });
    if (!handled && (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN))
        CallGuarded([&] { handled = IsMenuKeyMessage(msg) || PreviewKeyMessage(msg); });
    if (!handled) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

void TApplication::ProcessMessages()
{
    MSG msg;
    while (ProcessMessage(msg)) {
    }
    CheckSynchronize();
    DeleteReleased();
}

void TApplication::HandleMessage()
{
    MSG msg;
    if (!ProcessMessage(msg)) {
        if (OnIdle)
            CallGuarded([&] { OnIdle(this); });
        if (!CheckSynchronize() && !FTerminated)
            MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    CheckSynchronize();
    DeleteReleased();
}

void TApplication::Run()
{
    if (FMainForm && ShowMainForm)
        FMainForm->Show();
    while (!FTerminated)
        HandleMessage();
}

void TApplication::AppActivated(bool active)
{
    if (active == FActive)
        return;
    FActive = active;
    const TNotifyEvent& event = active ? OnActivate : OnDeactivate;
    if (event)
        CallGuarded([&] { event(this); });
}

void TApplication::Terminate()
{
    // The loop ends when it takes the quit message, so none is left for a later loop.
    PostQuitMessage(0);
}

void TApplication::Minimize()
{
    if (FMainForm)
        ShowWindow(FMainForm->Handle(), SW_MINIMIZE);
}

void TApplication::Restore()
{
    if (FMainForm && IsIconic(FMainForm->Handle()))
        ShowWindow(FMainForm->Handle(), SW_RESTORE);
}

void TApplication::BringToFront()
{
    if (FMainForm)
        SetForegroundWindow(FMainForm->Handle());
}

bool TApplication::Minimized() const
{
    return FMainForm && FMainForm->HandleAllocated() && IsIconic(FMainForm->HandleOrNull());
}

void TApplication::HandleException(const std::exception& e)
{
    LastException = e.what();
    if (OnException) {
        OnException(e);
        return;
    }
    if (ShowExceptions)
        MessageBoxA(FMainForm ? FMainForm->HandleOrNull() : nullptr, e.what(), Title.c_str(), MB_OK | MB_ICONERROR);
}

void TApplication::ActivateHint(const TPoint& screen, const std::string& text)
{
    if (!FHintWindow) {
        FHintWindow.Reset(CreateWindowExA(WS_EX_TOPMOST, "tooltips_class32", nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                          0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
        if (!FHintWindow)
            return;
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
        tool.uId = 1;
        tool.lpszText = const_cast<char*>("");
        SendMessageA(FHintWindow.Get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uId = 1;
    tool.lpszText = const_cast<char*>(text.c_str());
    SendMessageA(FHintWindow.Get(), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(FHintWindow.Get(), TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x + 12, screen.y + 16));
    SendMessageA(FHintWindow.Get(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void TApplication::CancelHint()
{
    if (!FHintWindow)
        return;
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uId = 1;
    SendMessageA(FHintWindow.Get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

void TApplication::SetHint(const std::string& value)
{
    if (value == FHint)
        return;
    FHint = value;
    if (OnHint)
        OnHint(this);
}

bool TApplication::HelpContext(int context)
{
    bool callHelp = true;
    bool result = false;
    if (OnHelp)
        result = OnHelp(HELP_CONTEXT, context, callHelp);
    if (!callHelp || HelpFile.empty())
        return result;
    const HWND owner = FMainForm && FMainForm->HandleAllocated() ? FMainForm->HandleOrNull() : Handle();
    return WinHelpA(owner, HelpFile.c_str(), HELP_CONTEXT, static_cast<ULONG_PTR>(context)) != FALSE;
}

void TApplication::DeleteReleased()
{
    while (!FReleased.empty()) {
        TCustomForm* form = FReleased.back();
        FReleased.pop_back();
        std::unique_ptr<TCustomForm> owned(form);  // leaves its owner's list as it goes
    }
}

// ---- monitors ----

namespace {
BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data)
{
    auto* list = reinterpret_cast<std::vector<TMonitor>*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
        TMonitor m;
        m.Handle = monitor;
        m.MonitorNum = static_cast<int>(list->size());
        m.BoundsRect = info.rcMonitor;
        m.WorkareaRect = info.rcWork;
        m.Primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
        list->push_back(m);
    }
    return TRUE;
}
}

std::vector<TMonitor> ScreenMonitors()
{
    std::vector<TMonitor> list;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list));
    return list;
}

TRect ScreenDesktopRect()
{
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return TRect(x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

int MonitorNumFromRect(const TRect& rect)
{
    const RECT r = rect;
    const HMONITOR nearest = MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST);
    for (const TMonitor& m : ScreenMonitors())
        if (m.Handle == nearest)
            return m.MonitorNum;
    return -1;
}
