#include "ui/Video_Unit.h"

#include "ui/Control_Unit.h"
#include "ui/Control_UnitCore.h"
#include "ui/PlayerEngine.h"
#include "ui/SnapShot_Unit.h"

#include "engine/Common_Types.h"
#include "engine/Common_TypesCom.h"
#include "menus/WindowSkin.h"
#include "framework/SysUtils.h"

#include <float.h>
#include <windowsx.h>

namespace {
const CLSID CLSID_VMR7 = {0x6BC1CFFA, 0x8FC1, 0x4261, {0xAC, 0x22, 0xCF, 0xB4, 0xCC, 0x38, 0xDB, 0x50}};
const IID IID_VMRPresenterConfig7 = {0x9F3A1C85, 0x8555, 0x49BA, {0x93, 0x5F, 0xBE, 0x5B, 0x5B, 0x29, 0xD1, 0x78}};
const IID IID_VMRPresenterConfig9 = {0x45C15CAB, 0x6E22, 0x420A, {0x80, 0x43, 0xAE, 0x1F, 0x0A, 0xC0, 0x2C, 0x7D}};

// The platform headers give no C++ ids to some of these interfaces: query by id.
template <class I>
HRESULT QueryTo(IUnknown* from, REFIID iid, ComPtr<I>& to)
{
    to.Reset();
    if (!from)
        return E_POINTER;
    return from->QueryInterface(iid, reinterpret_cast<void**>(to.ReleaseAndGetAddressOf()));
}

// The first input pin of a filter; a failing direction query is the result.
HRESULT FirstInputPin(IBaseFilter* filter, ComPtr<IPin>& input)
{
    ComPtr<IEnumPins> pins;
    HRESULT hr = filter->EnumPins(&pins);
    if (FAILED(hr))
        return hr;
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        PIN_DIRECTION direction;
        hr = pin->QueryDirection(&direction);
        if (FAILED(hr))
            return hr;
        if (direction == PINDIR_INPUT) {
            input = pin;
            return S_OK;
        }
    }
    return VFW_E_NOT_FOUND;
}

// Adds a mixing renderer, gives its windowless control the clipping window and connects the
// pin to the renderer's first input.
template <class TWindowless>
HRESULT AddWindowlessRenderer(IGraphBuilder* graph, IBaseFilter* renderer, const wchar_t* name, REFIID windowlessId,
                              ComPtr<TWindowless>& windowless, HWND clippingWindow, IPin* outputPin)
{
    HRESULT hr = graph->AddFilter(renderer, name);
    if (FAILED(hr))
        return hr;
    if (FAILED(hr = QueryTo(renderer, windowlessId, windowless)))
        return hr;
    if (FAILED(hr = windowless->SetVideoClippingWindow(clippingWindow)))
        return hr;
    ComPtr<IPin> input;
    if (FAILED(hr = FirstInputPin(renderer, input)))
        return hr;
    return graph->Connect(outputPin, input.Get());
}

// The floating-point unit's control word, put back when the scope ends.
class TSavedFpuControl {
public:
    TSavedFpuControl() : FWord(_control87(0, 0)) {}
    ~TSavedFpuControl() { _control87(FWord, 0xFFFFFFFF); }

private:
    unsigned FWord;
};

TRect ScreenRectOfClient(HWND wnd, const TRect& client)
{
    POINT corners[2] = {{client.left, client.top}, {client.right, client.bottom}};
    MapWindowPoints(wnd, nullptr, corners, 2);
    return TRect(corners[0].x, corners[0].y, corners[1].x, corners[1].y);
}
}

TVideoForm::TVideoForm(TComponent* owner) : TForm(owner)
{
    Name = "VideoForm";
    SetCaption("Parvolux VideoWindow");
    SetBounds(356, 215, 636, 502);
    SetColor(clBlack);
    DockSite = true;
    KeyPreview = true;
    CreateControls();
    CreateMenu();
    // Its shortcuts ("FullScreen" on Alt+Enter) answer the class library's menu-key step.
    PopupMenu = PopupMenu20002;
    OnShow = [this](TObject* sender) { FormShow(sender); };
    OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
    OnDblClick = [this](TObject* sender) { VideoFrameDblClick(sender); };
    OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
    OnMouseMove = [this](TObject* sender, TShiftState shift, int x, int y) { VideoFrameMouseMove(sender, shift, x, y); };
    OnMouseDown = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
        VideoFrameMouseDown(sender, button, shift, x, y);
    };
    OnResize = [this](TObject* sender) { VideoFrameResize(sender); };
    OnDockOver = [this](TObject* sender, TCustomForm* source, int x, int y, bool& accept, TRect& dockRect) {
        FormDockOver(sender, source, x, y, accept, dockRect);
    };
    OnUnDock = [this](TObject* sender, TCustomForm* client, TWinControl* newTarget, bool& allow) {
        FormUnDock(sender, client, newTarget, allow);
    };
    // FormCreate
    ReleaseRenderer();
}

TVideoForm::~TVideoForm()
{
    // FormDestroy: the preference list's records are the engine's; only the list goes.
    FPreferred.clear();
    ReleaseRenderer();
    FVMR9Mixer.Reset();
    DestroyComponents();
}

void TVideoForm::CreateControls()
{
    Splitter3 = NewComponent<TPanel>(this);
    Splitter3->Name = "Splitter3";
    Splitter3->SetBounds(0, 0, 3, 100);
    Splitter3->SetColor(0x808080);
    Splitter3->SetAlign(alRight);
    Splitter3->Hide();
    Splitter3->SetParent(this);

    Panel1 = NewComponent<TPanel>(this);
    Panel1->Name = "Panel1";
    Panel1->SetBounds(0, 0, 628, 140);
    Panel1->SetAlign(alBottom);
    Panel1->Hide();
    Panel1->SetParent(this);

    Panel3 = NewComponent<TPanel>(this);
    Panel3->Name = "Panel3";
    Panel3->SetBounds(0, 0, 628, 25);
    Panel3->SetAlign(alTop);
    Panel3->Hide();
    Panel3->SetParent(this);
    Panel3->OnResize = [this](TObject* sender) { Panel3Resize(sender); };

    PaintBox1 = NewComponent<TPaintBox>(this);
    PaintBox1->Name = "PaintBox1";
    PaintBox1->SetBounds(8, 7, 10, 10);
    PaintBox1->SetColor(clBlack);
    PaintBox1->OnPaint = [this](TObject* sender, HDC dc) { PaintBox1Paint(sender, dc); };
    PaintBox1->SetParent(Panel3);

    Label39 = NewComponent<TLabel>(this);
    Label39->Name = "Label39";
    Label39->SetBounds(24, 5, 300, 16);
    Label39->FontColor = RGB(255, 255, 255);
    Label39->Color = RGB(0, 0, 0);
    Label39->SetParent(Panel3);

    Label2 = NewComponent<TLabel>(this);
    Label2->Name = "Label2";
    Label2->SetCaption("00:00:00");
    Label2->SetBounds(360, 5, 60, 16);
    Label2->FontColor = RGB(255, 255, 255);
    Label2->Color = RGB(0, 0, 0);
    Label2->SetParent(Panel3);

    Shape2 = NewComponent<TShape>(this);
    Shape2->Name = "Shape2";
    Shape2->SetBounds(432, 3, 188, 18);
    Shape2->BrushColor = clBlack;
    Shape2->PenColor = clWhite;
    Shape2->ShowHint = true;
    Shape2->SetParent(Panel3);
    Shape2->OnMouseMove = [this](TObject*, TShiftState, int x, int) { SeekStripMove(x); };
    Shape2->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int x, int) { SeekStripUp(x); };

    Shape1 = NewComponent<TShape>(this);
    Shape1->Name = "Shape1";
    Shape1->SetBounds(434, 5, 15, 14);
    Shape1->BrushColor = 0x5B5B5B;
    Shape1->PenColor = 0x5B5B5B;
    Shape1->ShowHint = true;
    Shape1->SetParent(Panel3);
    // The filled part lies over the frame: its events count in the frame's coordinates.
    Shape1->OnMouseMove = [this](TObject*, TShiftState, int x, int) { SeekStripMove(x + Shape1->Left() - Shape2->Left()); };
    Shape1->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int x, int) {
        SeekStripUp(x + Shape1->Left() - Shape2->Left());
    };

    Timer1 = NewComponent<TTimer>(this);
    Timer1->SetEnabled(false);
    Timer1->SetInterval(333);
    Timer1->OnTimer = [this](TObject* sender) { Timer1Timer(sender); };

    ImageList1 = NewComponent<TImageList>(this, 10, 10);
    ImageList1->LoadFromResource("VIDEO_STATE_IMAGES");
}

void TVideoForm::CreateMenu()
{
    Money2 = NewWindowSkin(this, "Money2", anVertRoll, -1);
    PopupMenu20002 = NewComponent<TPopupMenu2000>(this);
    PopupMenu20002->SetAnimatedSkin(Money2);
    // The menu's own options, read after the skin's push: it opens at once, with its shadow.
    PopupMenu20002->RawOptions().SetAnimation(anNone);
    PopupMenu20002->RawOptions().SetFlags(PopupMenu20002->RawOptions().Flags() | FlagBit(mfDropShadow));
    PopupMenu20002->OnPopup = [this](TObject* sender) { PopupMenu20002Popup(sender); };
    TMenuItem2000* items = PopupMenu20002->Items();
    auto engineCall = [this](void (IPlayerEngine::*call)()) {
        return [this, call](TObject*) {
            if (Engine)
                (Engine->*call)();
        };
    };
    PlayPause1 = items->AddNew("Play/Pause", engineCall(&IPlayerEngine::PlayPause));
    Stop1 = items->AddNew("Stop", engineCall(&IPlayerEngine::Stop));
    Previous1 = items->AddNew("Previous", engineCall(&IPlayerEngine::Prev));
    Next1 = items->AddNew("Next", engineCall(&IPlayerEngine::Next));
    items->AddNew("-");
    AudioTracks1 = items->AddNew("Audio Tracks");
    Subtitles1 = items->AddNew("Subtitles");
    SubtitlesShowSubtitles1 = Subtitles1->AddNew("Show Subtitles", [this](TObject*) {
        if (Engine)
            Engine->SetHideSubtitles(false);
    });
    SubtitlesHideSubtitles2 = Subtitles1->AddNew("Hide Subtitles", [this](TObject*) {
        if (Engine)
            Engine->SetHideSubtitles(true);
    });
    for (TMenuItem2000* item : {SubtitlesShowSubtitles1, SubtitlesHideSubtitles2}) {
        item->RadioItem = true;
        item->GroupIndex = 1;
    }
    SubtitlesShowSubtitles1->Checked = true;
    SubtitlesHideSubtitles2->Tag = 1;
    Subtitles1->AddNew("-");
    SubtitlesNONEAVALIBLE1 = Subtitles1->AddNew("[NONE AVALIBLE]");
    SubtitlesNONEAVALIBLE1->Enabled = false;
    Chapters1 = items->AddNew("Chapters");
    Bookmarks1 = items->AddNew("Bookmarks");
    items->AddNew("-");
    Fullscreen1 = items->AddNew("FullScreen", [this](TObject* sender) { VideoFrameDblClick(sender); });
    Fullscreen1->SetShortCut("Alt+Enter");
    StayOnTop1 = items->AddNew("Stay On Top", [this](TObject*) {
        if (FFullScreen || !ControlForm)
            return;
        SetStayOnTop(!ControlForm->Settings.VideoOnTop);
        ControlForm->Settings.VideoOnTop = GetStayOnTop();
    });
    items->AddNew("-");
    Settings2 = items->AddNew("Settings", [this](TObject*) {
        if (ControlForm)
            ControlForm->ShowSettings();
    });
    View1 = items->AddNew("View");
    ViewSnapshotBrowser1 = View1->AddNew("Snapshot Browser", [this](TObject*) {
        if (ControlForm && ControlForm->SnapShotForm)
            ControlForm->SnapShotForm->Show();
    });
    items->AddNew("-");
    Exit1 = items->AddNew("Exit", [this](TObject*) {
        if (ControlForm)
            ControlForm->CloseApp();
    });
}

// ---- window ----

void TVideoForm::CreateParams(TCreateParams& params)
{
    TForm::CreateParams(params);
    if (ControlForm)
        FCreationStayOnTop = ControlForm->Settings.VideoOnTop;
    params.ExStyle |= WS_EX_APPWINDOW;
    if (FCreationStayOnTop)
        params.ExStyle |= WS_EX_TOPMOST;
    params.WndParent = nullptr;  // the desktop's: its own taskbar button, not owned by the main window
    params.Background = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
}

void TVideoForm::CreateWindowHandle()
{
    // The system gives every overlapped window a caption; this one has none from the start, so
    // its stored bounds are the bounds it shows with.
    const HWND wnd = HandleOrNull();
    SetWindowLongA(wnd, GWL_STYLE, GetWindowLongA(wnd, GWL_STYLE) & ~WS_CAPTION);
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool TVideoForm::Visible()
{
    return HandleAllocated() && IsWindowVisible(HandleOrNull());
}

void TVideoForm::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(HandleOrNull(), &r);
        FillRect(reinterpret_cast<HDC>(message.WParam), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        message.Result = 1;
        return;
    }
    case WM_SETCURSOR:
        // In exclusive mode the cursor stays hidden over the picture.
        if (FExclusive && LOWORD(message.LParam) == HTCLIENT) {
            SetCursor(nullptr);
            message.Result = TRUE;
            return;
        }
        break;
    case WM_GETMINMAXINFO:
        TForm::WndProc(message);
        WMGetMinMaxInfo(message);
        return;
    case WM_SYSCOMMAND:
        WMSysCommand(message);
        return;
    case WM_CONTEXTMENU: {
        int x = GET_X_LPARAM(message.LParam), y = GET_Y_LPARAM(message.LParam);
        if (x == -1 && y == -1) {
            POINT p;
            GetCursorPos(&p);
            x = p.x;
            y = p.y;
        }
        PopupMenu20002->Window = HandleOrNull();
        PopupMenu20002->Popup(x, y);
        message.Result = 0;
        return;
    }
    default:
        break;
    }
    TForm::WndProc(message);
}

void TVideoForm::WMGetMinMaxInfo(TMessage& message)
{
    auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
    info->ptMinTrackSize = {320, 240};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoA(MonitorFromWindow(HandleOrNull(), MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        info->ptMaxSize = {work.right - work.left, work.bottom - work.top};
        info->ptMaxPosition = {work.left - monitor.rcMonitor.left, work.top - monitor.rcMonitor.top};
    }
    message.Result = 0;
}

void TVideoForm::WMSysCommand(TMessage& message)
{
    const UINT command = static_cast<UINT>(message.WParam & 0xFFF0);
    if (command == SC_RESTORE && FMinimizedWithApp) {
        if (Application)
            Application->Restore();
        FMinimizedWithApp = false;
    }
    TForm::WndProc(message);
    if (command != SC_RESTORE && command != SC_MAXIMIZE && command != SC_MINIMIZE)
        return;
    if (SysButtons)
        SysButtons->UpdateMaximized(IsZoomed(HandleOrNull()) != 0);
    if (command == SC_MINIMIZE) {
        const bool mainShowing = ControlForm && ControlForm->HandleAllocated() && IsWindowVisible(ControlForm->HandleOrNull());
        if (mainShowing && Application)
            Application->Minimize();
        FMinimizedWithApp = mainShowing;
    }
}

void TVideoForm::FormShow(TObject*)
{
    Panel1->SetColor(clBlack);
    Panel3->SetColor(clBlack);
    const HWND wnd = HandleOrNull();
    const LONG style = GetWindowLongA(wnd, GWL_STYLE);
    if (BorderStyle != bsNone && (style & WS_CAPTION) == WS_CAPTION) {
        LONG newStyle = style;
        switch (BorderStyle) {
        case bsSingle:
        case bsSizeable: newStyle &= ~WS_CAPTION; break;
        case bsDialog: newStyle = (newStyle & ~WS_CAPTION) | 0x400080; break;
        default: break;
        }
        SetWindowLongA(wnd, GWL_STYLE, newStyle);
        SetBounds(Left(), Top(), Width(), Height() - GetSystemMetrics(SM_CYCAPTION));
        SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    Timer1->SetEnabled(true);
    SetStayOnTop(FStayOnTop);
}

void TVideoForm::FormCloseQuery(TObject*, bool& canClose)
{
    canClose = ControlForm == nullptr || ControlForm->Closing;
    if (!canClose)
        ControlForm->Close();
}

void TVideoForm::SetBorder()
{
    const HWND wnd = Handle();
    SetWindowLongA(wnd, GWL_STYLE, GetWindowLongA(wnd, GWL_STYLE) | (WS_BORDER | WS_THICKFRAME));
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TVideoForm::SetNoBorder()
{
    const HWND wnd = Handle();
    SetWindowLongA(wnd, GWL_STYLE, GetWindowLongA(wnd, GWL_STYLE) & ~(WS_CAPTION | WS_THICKFRAME));
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool TVideoForm::MainWindowFloating() const
{
    return !ControlForm || ControlForm->Floating();
}

void TVideoForm::GetVideoArea(TRect& area)
{
    const TRect client = ClientRect();
    area = TRect(0, 0, client.Width(), client.Height());
    if (Splitter3->Visible())
        area.right = Splitter3->Left() - 1;
    if (Panel1->Visible())
        area.bottom = Panel1->Top() - 1;
    if (ControlForm && ControlForm->HostDockSite() == this)
        area.bottom = ControlForm->Top();
}

void TVideoForm::SetStayOnTop(bool value)
{
    FStayOnTop = value;
    if (Visible())
        SetWindowPos(HandleOrNull(), value ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

bool TVideoForm::GetStayOnTop()
{
    if (!Visible())
        return FStayOnTop;
    return (GetWindowLongA(HandleOrNull(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

void TVideoForm::ClampToWorkArea()
{
    if (!HandleAllocated() || !IsZoomed(HandleOrNull()))
        return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoA(MonitorFromWindow(HandleOrNull(), MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& w = monitor.rcWork;
        SetBounds(w.left, w.top, w.right - w.left, w.bottom - w.top);
    }
}

void TVideoForm::ShowOSDFilename(const std::string& text)
{
    if (Visible() && OSD)
        OSD->ShowTextTimed(text, 10);
}

// ---- full screen ----

void TVideoForm::EnterFullScreen()
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoA(MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &monitor))
        EnterFullScreenOn(monitor.rcMonitor);
}

void TVideoForm::EnterFullScreenOn(const TRect& bounds)
{
    if (FFullScreen)
        return;
    // 1.
    if (SysButtons && SysButtons->Showing())
        SysButtons->Hide();
    // 2.
    FSavedBounds = BoundsRect();
    SetNoBorder();
    SetBounds(bounds.left, bounds.top, bounds.Width(), bounds.Height());
    Panel3->Show();
    // 3.
    if (TControlForm* main = ControlForm) {
        if (main->Floating()) {
            Panel1->Show();
            main->ExtrasFrame->Hide();
            main->Notebook1->SetParent(Panel1);
            main->Panel7->SetParent(Panel1);
            main->SetClientHeight(main->Panel1->Height());
        } else {
            main->SetHeight(main->ExtrasFrame->Height());
            main->Panel1->Hide();
        }
    }
    // 4.
    FFullScreen = true;
    VideoFrameResize(this);
    SetWindowPos(Panel3->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOSENDCHANGING);
    // 5.
    POINT cursor;
    GetCursorPos(&cursor);
    FLastMouse = cursor;
    FLastMouseTicks = GetTickCount();
}

void TVideoForm::LeaveFullScreen()
{
    if (!FFullScreen)
        return;
    // 1.
    if (FExclusive)
        StopExclusiveMode();
    // 2.
    if (TControlForm* main = ControlForm) {
        if (main->Floating()) {
            main->SetClientHeight(main->ExtrasFrame->Top() + main->ExtrasFrame->Height());
            main->Notebook1->SetParent(main->ExtrasFrame);
            main->Panel7->SetParent(main->ExtrasFrame);
            SetWindowPos(main->Panel1->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            main->ExtrasFrame->Show();
        } else {
            main->SetClientHeight(main->Panel1->Height() + main->ExtrasFrame->Height());
            main->Panel1->Show();
        }
    }
    // 3.
    Panel1->Hide();
    Panel3->Hide();
    SetBorder();
    SetBounds(FSavedBounds.left, FSavedBounds.top, FSavedBounds.Width(), FSavedBounds.Height());
    FFullScreen = false;
    // 4.
    SetWindowPos(Handle(), FCreationStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void TVideoForm::VideoFrameDblClick(TObject*)
{
    if (FFullScreen) {
        LeaveFullScreen();
        return;
    }
    const int setting = ControlForm ? ControlForm->Settings.FullScreenMonitor : 0;
    const std::vector<TRect> monitors = Engine ? Engine->MonitorBounds() : std::vector<TRect>();
    if (const std::optional<int> index = FullScreenMonitorIndex(setting, static_cast<int>(monitors.size())))
        EnterFullScreenOn(monitors[static_cast<size_t>(*index)]);
    else
        EnterFullScreen();
}

void TVideoForm::StartExclusiveMode()
{
    Panel3->Hide();
    if (MainWindowFloating())
        Panel1->Hide();
    else
        ControlForm->Hide();
    if (PlaylistForm && !PlaylistForm->Floating()) {
        PlaylistForm->Hide();
        Splitter3->Hide();
    }
    SetCursor(nullptr);
    if (FKind != vrVMR9 && FKind != vrVMR) {
        ComPtr<IVideoWindow> window;
        if (SUCCEEDED(QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(window.GetAddressOf()))))
            window->HideCursor(OATRUE);
    }
    VideoFrameResize(this);
    FExclusive = true;
}

void TVideoForm::StopExclusiveMode()
{
    Panel3->Show();
    SetWindowPos(Panel3->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (MainWindowFloating())
        Panel1->Show();
    else
        ControlForm->Show();
    if (ControlForm)
        ControlForm->Panel7->Show();
    if (PlaylistForm && !PlaylistForm->Floating()) {
        PlaylistForm->Show();
        Splitter3->Show();
    }
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    if (FKind != vrVMR9 && FKind != vrVMR) {
        ComPtr<IVideoWindow> window;
        if (SUCCEEDED(QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(window.GetAddressOf()))))
            window->HideCursor(OAFALSE);
    }
    VideoFrameResize(this);
    FExclusive = false;
}

// ---- mouse, timer, keys ----

void TVideoForm::SetLastMouseMove(const TPoint& screen, uint32_t ticks)
{
    FLastMouse = screen;
    FLastMouseTicks = ticks;
}

void TVideoForm::Timer1Timer(TObject*)
{
    if (PopupMenu20002->IsShowing())
        return;
    if (!StillnessElapsed(GetTickCount(), FLastMouseTicks))
        return;
    if (FFullScreen && !FExclusive) {
        POINT cursor;
        GetCursorPos(&cursor);
        TRect area;
        GetVideoArea(area);
        const TRect onScreen = ScreenRectOfClient(HandleOrNull(), area);
        const TRect bounds = BoundsRect();
        const auto inside = [&](const TRect& r) {
            return cursor.x >= r.left && cursor.x < r.right && cursor.y >= r.top && cursor.y < r.bottom;
        };
        if (inside(onScreen) || !inside(bounds))
            StartExclusiveMode();
    }
    if (SysButtons && SysButtons->Showing())
        SysButtons->Hide();
}

void TVideoForm::VideoFrameMouseMove(TObject*, TShiftState shift, int, int)
{
    if ((shift & ssLeft) && !FFullScreen) {
        ReleaseCapture();
        SendMessageA(HandleOrNull(), WM_SYSCOMMAND, 0xF012, 0);
        return;
    }
    POINT cursor;
    GetCursorPos(&cursor);
    if (!IsMouseMovement(FLastMouse, cursor))
        return;
    FLastMouse = cursor;
    FLastMouseTicks = GetTickCount();
    if (FExclusive)
        StopExclusiveMode();
    if (!FFullScreen && SysButtons && !SysButtons->Showing()) {
        PlaceCaptionButtons();
        SysButtons->Show();
    }
}

void TVideoForm::VideoFrameMouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    POINT cursor;
    GetCursorPos(&cursor);
    FLastMouse = cursor;
    FLastMouseTicks = GetTickCount();
    if (FExclusive)
        StopExclusiveMode();
}

void TVideoForm::PlaceCaptionButtons()
{
    if (!SysButtons || !HandleAllocated())
        return;
    TRect area;
    GetVideoArea(area);
    POINT corner = {area.right - SysButtons->ClientWidth(), 0};
    ClientToScreen(HandleOrNull(), &corner);
    SysButtons->MoveTo(corner.x, corner.y);
}

void TVideoForm::FormKeyDown(TObject*, WORD& key, TShiftState shift)
{
    const TKeyAction action = KeyActionFor(key, (shift & ssAlt) != 0, FFullScreen, true);
    switch (action) {
    case TKeyAction::PlayPause:
        if (Engine)
            Engine->PlayPause();
        break;
    case TKeyAction::Stop:
        if (Engine)
            Engine->Stop();
        break;
    case TKeyAction::Next:
        if (Engine)
            Engine->Next();
        break;
    case TKeyAction::Prev:
        if (Engine)
            Engine->Prev();
        break;
    case TKeyAction::EnterFullScreen:
        VideoFrameDblClick(this);
        SetForegroundWindow(HandleOrNull());
        key = 0;
        break;
    case TKeyAction::LeaveFullScreen: LeaveFullScreen(); break;
    case TKeyAction::None: break;
    }
}

// ---- docking ----

void TVideoForm::FormDockOver(TObject*, TCustomForm* source, int x, int y, bool& accept, TRect& dockRect)
{
    const TRect client = ClientRect();
    const TDockZone zone = DockZoneAt(x, y, Height(), client.Width(), client.Height());
    accept = (zone == TDockZone::ControlForm && source == ControlForm && source) ||
             (zone == TDockZone::PlaylistForm && source == PlaylistForm && source);
    if (accept) {
        const int controlClientHeight = ControlForm ? ControlForm->ClientRect().Height() : 0;
        dockRect = DockPreviewRect(zone, ScreenRectOfClient(HandleOrNull(), client), controlClientHeight);
    }
}

void TVideoForm::FormUnDock(TObject*, TCustomForm* client, TWinControl*, bool& allow)
{
    if (client && client == ControlForm) {
        ControlForm->Panel1->SetAlign(alTop);
        ControlForm->SetAlign(alNone);
    } else if (client && client == PlaylistForm) {
        PlaylistForm->SetAlign(alNone);
    }
    allow = true;
}

// ---- popup menu ----

void TVideoForm::PopupMenu20002Popup(TObject*)
{
    // 1.
    AudioTracks1->Visible = AudioTracks1->Count() >= 2;
    Chapters1->Visible = Chapters1->Count() >= 1;
    // 2.
    Fullscreen1->Enabled = FKind != vrNone;
    Fullscreen1->Checked = FFullScreen;
    // 3.
    if (ControlForm) {
        PlayPause1->Enabled = ControlForm->PlayPauseBtn->Enabled();
        Stop1->Enabled = ControlForm->StopBtn->Enabled();
        Previous1->Enabled = ControlForm->PrevBtn->Enabled();
        Next1->Enabled = ControlForm->NextBtn->Enabled();
    }
    // 4.
    FillBookmarkMenu();
    Bookmarks1->Enabled = Bookmarks1->Count() >= 1;
    // 5.
    if (Engine && Engine->SubtitlesPresent() && !Engine->SubtitleLanguages().empty()) {
        const int index = Engine->SelectedSubtitleLanguage() + 3;
        if (index >= 0 && index < Subtitles1->Count() - 1)
            Subtitles1->Items(index)->Checked = true;
        if (Engine->HideSubtitles())
            SubtitlesHideSubtitles2->SetChecked(true);
        else
            SubtitlesShowSubtitles1->SetChecked(true);
    }
    // 6.
    if (Engine && AudioTracks1->Count() > 0) {
        const int selected = Engine->GetSelectedAudioStream();
        if (selected >= 0 && selected < AudioTracks1->Count())
            AudioTracks1->Items(selected)->Checked = true;
    }
    // 7.
    StayOnTop1->Checked = ControlForm && ControlForm->Settings.VideoOnTop;
    StayOnTop1->Visible = !FFullScreen;
}

void TVideoForm::FillBookmarkMenu()
{
    if (ControlForm)
        ControlForm->ForgetBookmarkMenus();
    Bookmarks1->Clear();
    if (!ControlForm)
        return;
    for (int i = 0; i < ControlForm->BookmarkCount(); ++i) {
        TBookmark mark;
        ControlForm->Getbookmark(i, mark);
        const std::string caption = ControlForm->Settings.ShowTimeStampWithBookmarks
                                        ? Format("%s  %s", mark.Name.c_str(), mark.TimeText.c_str())
                                        : mark.Name;
        TMenuItem2000* item = Bookmarks1->AddNew(caption, [this](TObject* sender) {
            if (ControlForm)
                ControlForm->BookmarkClick(sender);
        });
        item->Tag = i;
        ControlForm->SetBookmarkMenu(i, item);
    }
}

// ---- seek strip and state icon ----

void TVideoForm::SeekStripMove(int x)
{
    const std::optional<double> percent = SeekPercentFromX(x, Shape2->Width());
    if (!percent || !Engine)
        return;
    const int32_t tenths = Engine->GetMSecfromPercent(*percent);
    if (tenths <= 0)
        return;
    const THms t = HmsFromTenths(tenths);
    const std::string hint = Format("%s %2.2d:%2.2d:%2.2d", "Goto", t.Hours, t.Minutes, t.Seconds);
    Shape2->Hint = hint;
    Shape1->Hint = hint;
    POINT cursor;
    GetCursorPos(&cursor);
    if (Application)
        Application->ActivateHint(cursor, hint);
}

void TVideoForm::SeekStripUp(int x)
{
    const std::optional<double> percent = SeekPercentFromX(x, Shape2->Width());
    if (percent && Engine)
        Engine->GotoPercent(*percent);
}

void TVideoForm::PaintBox1Paint(TObject*, HDC dc)
{
    const RECT r = PaintBox1->ClientRect();
    const TBrushHandle brush(CreateSolidBrush(ColorToRGB(PaintBox1->Color())));
    FillRect(dc, &r, brush.Get());
    const uint8_t state = Engine ? Engine->GetFilterState() : kStateNoFile;
    ImageList1->Draw(dc, 0, 0, state == kStateRunning ? 0 : state == kStatePaused ? 1 : 2);
}

void TVideoForm::Panel3Resize(TObject*)
{
    const int width = Panel3->Width();
    Shape2->SetLeft(width - Shape2->Width() - 8);
    Shape1->SetLeft(Shape2->Left() + 2);
    Label2->SetLeft(Shape2->Left() - Label2->Width() - 8);
    Label39->SetWidth(std::max(0, Label2->Left() - Label39->Left() - 8));
}

// ---- renderers ----

void TVideoForm::SetPreferredRenderers(const std::vector<TVideoRenderItem*>& renderers)
{
    FPreferred = renderers;
}

HRESULT TVideoForm::ConnectPreferredRenderer(IGraphBuilder* graph, IPin* outputPin)
{
    // 1.
    if (FPreferred.empty()) {
        FKind = vrNone;
        return E_FAIL;
    }
    // 2.
    FRendererIndex = 0;
    ReleaseRenderer();
    // 3.-4.
    while (FRendererIndex < static_cast<int>(FPreferred.size())) {
        const TVideoRenderItem* item = FPreferred[static_cast<size_t>(FRendererIndex)];
        const std::optional<TVideoRendererKind> kind = item ? RendererKindFromShortName(item->ShortName) : std::nullopt;
        if (!kind)
            break;
        HRESULT hr = E_FAIL;
        switch (*kind) {
        case vrVMR9: hr = ConnectVMR9(graph, outputPin); break;
        case vrVMR: hr = ConnectVMR(graph, outputPin); break;
        case vrOverlay: hr = ConnectOverlayMixer(graph, outputPin, CLSID_OverlayMixer, L"OverlayMixer"); break;
        case vrOverlay2: hr = ConnectOverlayMixer(graph, outputPin, CLSID_OverlayMixer2Filter, L"OverlayMixer2"); break;
        case vrNormal: hr = ConnectVideoRenderer(graph, outputPin); break;
        case vrNone: break;
        }
        if (SUCCEEDED(hr)) {
            FKind = *kind;
            return S_OK;
        }
        ++FRendererIndex;
    }
    FKind = vrNone;
    return E_FAIL;
}

HRESULT TVideoForm::ConnectVMR9(IGraphBuilder* graph, IPin* outputPin)
{
    // 1.
    const TSavedFpuControl fpu;
    // 2.
    HRESULT hr = CoCreateInstance(CLSID_VideoMixingRenderer9, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                  reinterpret_cast<void**>(FRenderer.ReleaseAndGetAddressOf()));
    if (FAILED(hr))
        return hr;
    const auto fail = [&](HRESULT result) {
        // 9.
        graph->RemoveFilter(FRenderer.Get());
        FRenderer.Reset();
        FVMR9Windowless.Reset();
        FVMR9Config.Reset();
        return result;
    };
    // 3.
    if (SUCCEEDED(FRenderer.As(&FVMR9Config))) {
        FVMR9Config->SetRenderingMode(VMR9Mode_Windowless);
        FVMR9Config->SetNumberOfStreams(1);
    }
    // 4., 5.
    hr = AddWindowlessRenderer(graph, FRenderer.Get(), L"VMR9 VideoRender", IID_IVMRWindowlessControl9, FVMR9Windowless,
                               Handle(), outputPin);
    if (FAILED(hr))
        return fail(hr);
    // 6.
    if (SUCCEEDED(FRenderer.As(&FVMR9Aspect)))
        FVMR9Aspect->SetAspectRatioMode(FKeepAspect ? VMR9ARMode_LetterBox : VMR9ARMode_None);
    // 7.
    FRenderer.As(&FVMR9Deinterlace);
    QueryTo(FRenderer.Get(), IID_VMRPresenterConfig9, FVMR9PresenterConfig);
    FRenderer.As(&FVMR9Mixer);
    // 8.
    TRect area;
    GetVideoArea(area);
    RECT destination = TRect(0, 0, area.right, area.bottom);
    FVMR9Windowless->SetVideoPosition(nullptr, &destination);
    return S_OK;
}

HRESULT TVideoForm::ConnectVMR(IGraphBuilder* graph, IPin* outputPin)
{
    HRESULT hr = CoCreateInstance(CLSID_VMR7, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                  reinterpret_cast<void**>(FRenderer.ReleaseAndGetAddressOf()));
    if (FAILED(hr))
        return hr;
    const auto fail = [&](HRESULT result) {
        graph->RemoveFilter(FRenderer.Get());
        FRenderer.Reset();
        FVMRWindowless.Reset();
        FVMRConfig.Reset();
        return result;
    };
    if (SUCCEEDED(QueryTo(FRenderer.Get(), IID_IVMRFilterConfig, FVMRConfig))) {
        FVMRConfig->SetNumberOfStreams(1);
        FVMRConfig->SetRenderingMode(VMRMode_Windowless);
    }
    hr = AddWindowlessRenderer(graph, FRenderer.Get(), L"VMR VideoRender", IID_IVMRWindowlessControl, FVMRWindowless,
                               Handle(), outputPin);
    if (FAILED(hr))
        return fail(hr);
    if (SUCCEEDED(QueryTo(FRenderer.Get(), IID_IVMRAspectRatioControl, FVMRAspect)))
        FVMRAspect->SetAspectRatioMode(FKeepAspect ? VMR_ARMODE_LETTER_BOX : VMR_ARMODE_NONE);
    QueryTo(FRenderer.Get(), IID_IVMRDeinterlaceControl, FVMRDeinterlace);
    QueryTo(FRenderer.Get(), IID_VMRPresenterConfig7, FVMRPresenterConfig);
    // No position yet: the next resize or RefreshVideo sets it.
    return S_OK;
}

HRESULT TVideoForm::ConnectOverlayMixer(IGraphBuilder* graph, IPin* outputPin, const CLSID& classId, const wchar_t* name)
{
    // 1.
    HRESULT hr = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                  reinterpret_cast<void**>(FOverlayMixer.ReleaseAndGetAddressOf()));
    if (FAILED(hr))
        return hr;
    const auto fail = [&](HRESULT result) {
        // 6.
        graph->RemoveFilter(FOverlayMixer.Get());
        FOverlayMixer.Reset();
        FGrabber.Reset();
        return result;
    };
    hr = graph->AddFilter(FOverlayMixer.Get(), name);
    if (FAILED(hr))
        return fail(hr);
    ComPtr<IEnumPins> pins;
    hr = FOverlayMixer->EnumPins(&pins);
    if (FAILED(hr))
        return fail(hr);
    // 2.
    ComPtr<IPin> pin, mixerInput, mixerOutput;
    while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        PIN_DIRECTION direction;
        if (FAILED(pin->QueryDirection(&direction)))
            continue;
        if (direction == PINDIR_INPUT && !mixerInput)
            mixerInput = pin;
        else if (direction == PINDIR_OUTPUT)
            mixerOutput = pin;
    }
    if (!mixerInput || !mixerOutput)
        return fail(VFW_E_NOT_FOUND);
    // 3.
    hr = graph->Connect(outputPin, mixerInput.Get());
    if (FAILED(hr))
        return fail(hr);
    // 4.
    ComPtr<IPin> upstream;
    if (SUCCEEDED(mixerInput->ConnectedTo(&upstream)) && upstream) {
        graph->Disconnect(upstream.Get());
        graph->Disconnect(mixerInput.Get());
        if (FAILED(InsertSampleGrabber(graph, upstream.Get(), mixerInput.Get()))) {
            FGrabber.Reset();
            hr = graph->Connect(upstream.Get(), mixerInput.Get());
            if (FAILED(hr))
                return fail(hr);
        }
    }
    // 5.
    hr = ConnectVideoRenderer(graph, mixerOutput.Get());
    if (FAILED(hr))
        return fail(hr);
    return S_OK;
}

HRESULT TVideoForm::ConnectVideoRenderer(IGraphBuilder* graph, IPin* outputPin)
{
    HRESULT hr = CoCreateInstance(CLSID_VideoRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                  reinterpret_cast<void**>(FRenderer.ReleaseAndGetAddressOf()));
    if (FAILED(hr))
        return hr;
    const auto fail = [&](HRESULT result) {
        graph->RemoveFilter(FRenderer.Get());
        FRenderer.Reset();
        return result;
    };
    hr = graph->AddFilter(FRenderer.Get(), L"VideoRenderer");
    if (FAILED(hr))
        return fail(hr);
    ComPtr<IPin> input;
    hr = FirstInputPin(FRenderer.Get(), input);
    if (FAILED(hr))
        return fail(hr);
    hr = graph->Connect(outputPin, input.Get());
    if (FAILED(hr))
        return fail(hr);
    return S_OK;
}

HRESULT TVideoForm::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    return FRenderer ? FRenderer->QueryInterface(iid, object) : E_NOINTERFACE;
}

void TVideoForm::ReleaseRenderer()
{
    // 1.
    RECT empty = {0, 0, 0, 0};
    if (FVMRWindowless)
        FVMRWindowless->SetVideoPosition(nullptr, &empty);
    if (FVMR9Windowless)
        FVMR9Windowless->SetVideoPosition(nullptr, &empty);
    // 2.
    FRenderer.Reset();
    FOverlayMixer.Reset();
    FGrabber.Reset();
    FVMRConfig.Reset();
    FVMRAspect.Reset();
    FVMRDeinterlace.Reset();
    FVMRPresenterConfig.Reset();
    FVMRWindowless.Reset();
    FVMR9Config.Reset();
    FVMR9Aspect.Reset();
    FVMR9Deinterlace.Reset();
    FVMR9PresenterConfig.Reset();
    FVMR9Windowless.Reset();
    FVMR9Mixer.Reset();
    // 3.
    if (Visible())
        RedrawWindow(HandleOrNull(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    // 4.
    FKind = vrNone;
}

void TVideoForm::RefreshVideo()
{
    TRect area;
    GetVideoArea(area);
    RECT destination = TRect(0, 0, area.right, area.bottom);
    switch (FKind) {
    case vrVMR9:
        if (FVMR9Windowless)
            FVMR9Windowless->SetVideoPosition(nullptr, &destination);
        break;
    case vrVMR:
        if (FVMRWindowless)
            FVMRWindowless->SetVideoPosition(nullptr, &destination);
        break;
    case vrOverlay2:
    case vrOverlay:
    case vrNormal: {
        ComPtr<IVideoWindow> window;
        if (FAILED(QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(window.GetAddressOf()))))
            break;
        window->put_Owner(reinterpret_cast<OAHWND>(Handle()));
        window->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
        window->SetWindowPosition(0, 0, area.right, area.bottom);
        BSTR caption = SysAllocString(L"VideoWindow");
        window->put_Caption(caption);
        SysFreeString(caption);
        window->put_MessageDrain(reinterpret_cast<OAHWND>(Handle()));
        window->put_AutoShow(OATRUE);
        break;
    }
    case vrNone: break;
    }
}

void TVideoForm::GetNativeVideoSize(int& width, int& height)
{
    if (!FRenderer)
        return;
    switch (FKind) {
    case vrVMR9: {
        LONG w = 0, h = 0;
        if (FVMR9Windowless && SUCCEEDED(FVMR9Windowless->GetNativeVideoSize(&w, &h, nullptr, nullptr))) {
            width = w;
            height = h;
        }
        break;
    }
    case vrVMR: {
        LONG w = 0, h = 0;
        if (FVMRWindowless && SUCCEEDED(FVMRWindowless->GetNativeVideoSize(&w, &h, nullptr, nullptr))) {
            width = w;
            height = h;
        }
        break;
    }
    case vrOverlay2:
    case vrOverlay:
    case vrNormal: {
        ComPtr<IBasicVideo> video;
        long w = 0, h = 0;
        if (SUCCEEDED(QueryInterface(IID_IBasicVideo, reinterpret_cast<void**>(video.GetAddressOf()))) &&
            SUCCEEDED(video->get_VideoWidth(&w)) && SUCCEEDED(video->get_VideoHeight(&h))) {
            width = w;
            height = h;
        }
        break;
    }
    case vrNone: break;
    }
}

bool TVideoForm::HasVideoRenderer()
{
    if (!FRenderer)
        return false;
    switch (FKind) {
    case vrVMR9:
    case vrVMR:
    case vrNormal: return true;
    case vrOverlay2:
    case vrOverlay: return FGrabber != nullptr;
    default: return false;
    }
}

void TVideoForm::VideoFrameResize(TObject*)
{
    if (FRenderer) {
        TRect area;
        GetVideoArea(area);
        RECT destination = TRect(0, 0, area.right, area.bottom);
        switch (FKind) {
        case vrVMR9:
            if (FVMR9Windowless)
                FVMR9Windowless->SetVideoPosition(nullptr, &destination);
            break;
        case vrVMR:
            if (FVMRWindowless)
                FVMRWindowless->SetVideoPosition(nullptr, &destination);
            break;
        case vrNormal: {
            int width = 0, height = 0;
            GetNativeVideoSize(width, height);
            ComPtr<IVideoWindow> window;
            const std::optional<TRect> fit = FitRectKeepAspect(area, width, height);
            if (fit && SUCCEEDED(QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(window.GetAddressOf()))))
                window->SetWindowPosition(fit->left, fit->top, fit->Width(), fit->Height());
            break;
        }
        case vrOverlay2:
        case vrOverlay: {
            ComPtr<IVideoWindow> window;
            if (SUCCEEDED(QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(window.GetAddressOf()))))
                window->SetWindowPosition(0, 0, area.right, area.bottom);
            break;
        }
        case vrNone: break;
        }
    }
    if (FKind != vrNone && SysButtons)
        PlaceCaptionButtons();
}

void TVideoForm::PaintWindow(HDC dc)
{
    if (FKind == vrVMR9 && FVMR9Windowless)
        FVMR9Windowless->RepaintVideo(HandleOrNull(), dc);
    else if (FKind == vrVMR && FVMRWindowless)
        FVMRWindowless->RepaintVideo(HandleOrNull(), dc);
}
