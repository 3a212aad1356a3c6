#include "DragWindow.h"

#include "DropShadow.h"
#include "MenuInputCore.h"
#include "MenuUtils.h"
#include "MenuUtilsCore.h"
#include "PopupMenu2000Form.h"

#include <algorithm>

namespace {

T_AM2000_DragWindow* Current = nullptr;
HWND DropTarget = nullptr;  // the menu window under the pointer
int DropPosition = -1;
TCursor SavedCursor = crDefault;

size_t Stride(int width) { return static_cast<size_t>((width * 3 + 3) & ~3); }

// The 24-bit rows of a DC's rectangle.
std::vector<uint8_t> CopyBits(HDC source, int x, int y, int w, int h)
{
    std::vector<uint8_t> rows(Stride(w) * static_cast<size_t>(h));
    const HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIB24(dc, w, h, bits);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    if (source)
        BitBlt(dc, 0, 0, w, h, source, x, y, SRCCOPY);
    else
        T_AM2000_Desktop::Instance().CopyRect(dc, x, y, w, h, false);
    GdiFlush();
    std::copy_n(static_cast<const uint8_t*>(bits), rows.size(), rows.begin());
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return rows;
}

struct TMenuWindowList {
    std::vector<HWND> Found;
    static BOOL CALLBACK Add(HWND wnd, LPARAM param)
    {
        if (IsWindowVisible(wnd) && dynamic_cast<TPopupMenu2000Form*>(TWinControl::FromHandle(wnd)))
            reinterpret_cast<TMenuWindowList*>(param)->Found.push_back(wnd);
        return TRUE;
    }
};

}  // namespace

T_AM2000_DragWindow* CurrentDragWindow() { return Current; }
bool IsDragActive() { return Current != nullptr; }

namespace {
unsigned DragButtons = 1u << mbLeft;
}  // namespace

void SetDragButtons(std::initializer_list<TMouseButton> buttons)
{
    DragButtons = 0;
    for (const TMouseButton button : buttons)
        DragButtons |= 1u << button;
}

bool CanStartDrag(TMouseButton button)
{
    return (DragButtons & (1u << button)) && (GetAsyncKeyState(VK_LBUTTON) & 0x8000) && IsDragActive();
}
int DragDropPosition() { return DropPosition; }
HWND DragTargetWindow() { return DropTarget; }

T_AM2000_DragWindow::T_AM2000_DragWindow(TMenuItem* item, HDC source, const RECT& sourceRect)
    : TForm(nullptr), FItem(item), FWidth(std::max<int>(1, sourceRect.right - sourceRect.left)),
      FHeight(std::max<int>(1, sourceRect.bottom - sourceRect.top))
{
    BorderStyle = bsNone;
    FormStyle = fsStayOnTop;
    Position = poDesigned;
    FPicture = CopyBits(source, sourceRect.left, sourceRect.top, FWidth, FHeight);
    GetCursorPos(&FLastCursor);
    delete Current;
    Current = this;
    TWinControl::SetBounds(0, 0, FWidth, FHeight);
    HandleNeeded();
}

T_AM2000_DragWindow::~T_AM2000_DragWindow()
{
    HideWindow();
    if (Current == this)
        Current = nullptr;
}

void T_AM2000_DragWindow::CreateParams(TCreateParams& params)
{
    TForm::CreateParams(params);
    params.WinClassName = "T_AM2000_DragWindow";
    params.Style = WS_POPUP;
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT;
    if (MenuLayeredWindows())
        params.ExStyle |= WS_EX_LAYERED;
    params.ClassStyle |= CS_SAVEBITS;
}

void T_AM2000_DragWindow::PlaceAt(int left, int top)
{
    TWinControl::SetBounds(left, top, FWidth, FHeight);
    if (!MenuLayeredWindows())
        FDesktop = CopyBits(nullptr, left, top, FWidth, FHeight);
}

void T_AM2000_DragWindow::ShowAt()
{
    FVisible = true;
    const HWND wnd = Handle();
    if (MenuLayeredWindows())
        SetLayeredWindowAttributes(wnd, 0, static_cast<BYTE>(PercentToAlpha(FOpacity)), LWA_ALPHA);
    ShowWindow(wnd, SW_SHOWNA);
    SetWindowPos(wnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    const HDC dc = GetDC(wnd);
    PaintTo(dc);
    ReleaseDC(wnd, dc);
}

void T_AM2000_DragWindow::HideWindow()
{
    if (FVisible && HandleAllocated())
        ShowWindow(HandleOrNull(), SW_HIDE);
    FVisible = false;
}

void T_AM2000_DragWindow::SetOpacity(int percent)
{
    FOpacity = std::clamp(percent, 0, 100);
    if (!HandleAllocated())
        return;
    const HWND wnd = HandleOrNull();
    if (MenuLayeredWindows())
        SetLayeredWindowAttributes(wnd, 0, static_cast<BYTE>(PercentToAlpha(FOpacity)), LWA_ALPHA);
    if (FVisible) {
        const HDC dc = GetDC(wnd);
        PaintTo(dc);
        ReleaseDC(wnd, dc);
    }
}

void T_AM2000_DragWindow::PaintTo(HDC dc)
{
    std::vector<uint8_t> shown = FPicture;
    if (!MenuLayeredWindows() && FOpacity < 100 && FDesktop.size() == FPicture.size()) {
        TBlendTable table;
        MakeBlendTable(FOpacity, table);
        BlendRow(FPicture.data(), FDesktop.data(), shown.data(), 0, shown.size(), table.get());
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = FWidth;
    info.bmiHeader.biHeight = FHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(FWidth), static_cast<DWORD>(FHeight), 0, 0, 0,
                      static_cast<UINT>(FHeight), shown.data(), &info, DIB_RGB_COLORS);
}

void T_AM2000_DragWindow::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_ERASEBKGND: message.Result = 1; return;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(HandleOrNull(), &ps);
        PaintTo(dc);
        EndPaint(HandleOrNull(), &ps);
        message.Result = 0;
        return;
    }
    case WM_MOUSEACTIVATE: message.Result = MA_NOACTIVATE; return;
    case WM_NCHITTEST: message.Result = HTTRANSPARENT; return;
    default: break;
    }
    TForm::WndProc(message);
}

void T_AM2000_DragWindow::Track()
{
    POINT cursor{};
    GetCursorPos(&cursor);
    TMenuWindowList list;
    EnumThreadWindows(GetCurrentThreadId(), TMenuWindowList::Add, reinterpret_cast<LPARAM>(&list));
    HWND target = nullptr;
    const WPARAM keys = (GetKeyState(VK_LBUTTON) < 0 ? MK_LBUTTON : 0) | (GetKeyState(VK_SHIFT) < 0 ? MK_SHIFT : 0) |
                        (GetKeyState(VK_CONTROL) < 0 ? MK_CONTROL : 0);
    for (HWND wnd : list.Found) {
        RECT r{};
        GetWindowRect(wnd, &r);
        if (!PtInRect(&r, cursor))
            continue;
        POINT client = cursor;
        ScreenToClient(wnd, &client);
        SendMessageA(wnd, WM_MOUSEMOVE, keys, MAKELPARAM(client.x, client.y));
        target = wnd;
        if (Screen->Cursor() != crArrow)
            DragAccept();
        break;
    }
    if (target != DropTarget) {
        if (DropTarget && IsWindow(DropTarget))
            SendMessageA(DropTarget, CM_MOUSELEAVE, 0, 0);
        DropPosition = -1;
        DropTarget = target;
    }
    if (!target)
        DragReject();
    const int dx = cursor.x - FLastCursor.x, dy = cursor.y - FLastCursor.y;
    if (dx == 0 && dy == 0)
        return;
    FLastCursor = cursor;
    PlaceAt(Left() + dx, Top() + dy);
    if (FVisible) {
        InvalidateRect(HandleOrNull(), nullptr, FALSE);
        ShowAt();
    }
}

void DragAccept()
{
    const TCursor now = Screen->Cursor();
    if (now != crNo && now != crArrow)
        SavedCursor = now;
    Screen->SetCursor(crArrow);
    if (Current)
        Current->ShowAt();
}

void DragReject()
{
    Screen->SetCursor(crNo);
    DropPosition = -1;
    if (Current)
        Current->HideWindow();
    if (DropTarget && IsWindow(DropTarget))
        SendMessageA(DropTarget, CM_MOUSELEAVE, 0, 0);
    DropTarget = nullptr;
}

void EndDragFeedback()
{
    delete Current;
    DropTarget = nullptr;
    DropPosition = -1;
    Screen->SetCursor(SavedCursor);
    SavedCursor = crDefault;
}
