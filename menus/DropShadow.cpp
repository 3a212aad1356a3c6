#include "DropShadow.h"

#include "MenuUtils.h"
#include "framework/Graphics.h"
#include "PopupMenu2000Form.h"

#include <vector>

// ---- T_AM2000_Desktop ----

T_AM2000_Desktop& T_AM2000_Desktop::Instance()
{
    static T_AM2000_Desktop desktop;
    return desktop;
}

T_AM2000_Desktop::~T_AM2000_Desktop()
{
    Held = false;
    Release();
}

void T_AM2000_Desktop::Free(int index)
{
    TShot& s = FShots[static_cast<size_t>(index)];
    SelectObject(s.Dc, s.Old);
    DeleteObject(s.Bitmap);
    DeleteDC(s.Dc);
    FShots.erase(FShots.begin() + index);
    FList.Remove(index);
}

void T_AM2000_Desktop::CopyRect(HDC dest, int x, int y, int w, int h, bool keep)
{
    const int found = FList.Find(x, y, w, h);
    if (found >= 0) {
        if (dest) {
            const TRect& b = FList.At(found).Bounds;
            BitBlt(dest, 0, 0, w, h, FShots[static_cast<size_t>(found)].Dc, x - b.left, y - b.top, SRCCOPY);
        }
        return;
    }
    const int index = FList.Add(x, y, w, h, keep);
    const TRect b = FList.At(index).Bounds;
    const HDC screen = GetDC(nullptr);
    TShot shot;
    shot.Dc = CreateCompatibleDC(screen);
    shot.Bitmap = CreateCompatibleBitmap(screen, b.right - b.left, b.bottom - b.top);
    shot.Old = SelectObject(shot.Dc, shot.Bitmap);
    BitBlt(shot.Dc, 0, 0, b.right - b.left, b.bottom - b.top, screen, b.left, b.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    ++FScreenCopies;
    // What earlier snapshots saw wins over the screen, where menus may stand by now.
    for (int older : FList.Older(index)) {
        const TRect& o = FList.At(older).Bounds;
        BitBlt(shot.Dc, o.left - b.left, o.top - b.top, o.right - o.left, o.bottom - o.top,
               FShots[static_cast<size_t>(older)].Dc, 0, 0, SRCCOPY);
    }
    FShots.push_back(shot);
    if (dest)
        BitBlt(dest, 0, 0, w, h, shot.Dc, x - b.left, y - b.top, SRCCOPY);
}

void T_AM2000_Desktop::Invalidate(int x, int y, int w, int h) { FList.Invalidate(x, y, w, h); }

void T_AM2000_Desktop::Release()
{
    if (Held) {
        Held = false;
        return;
    }
    while (FList.Count() > 0)
        Free(FList.Count() - 1);
}

// ---- T_AM2000_DropShadow ----

namespace {

const char ShadowClass[] = "TCustomShadow";

LRESULT CALLBACK ShadowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(wnd, &ps);
        // The image lives in the window's memory DC, kept as a property.
        if (const auto image = static_cast<HDC>(GetPropA(wnd, "AM2000Image"))) {
            RECT r;
            GetClientRect(wnd, &r);
            BitBlt(dc, 0, 0, r.right, r.bottom, image, 0, 0, SRCCOPY);
        }
        EndPaint(wnd, &ps);
        return 0;
    }
    default: return DefWindowProcA(wnd, msg, wParam, lParam);
    }
}

HWND MakeShadowWindow(HWND owner, bool layered)
{
    static const bool registered = [] {
        WNDCLASSA cls{};
        cls.style = CS_SAVEBITS;
        cls.lpfnWndProc = ShadowProc;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        cls.lpszClassName = ShadowClass;
        return RegisterClassA(&cls) != 0;
    }();
    (void)registered;
    DWORD ex = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    if (layered)
        ex |= WS_EX_LAYERED;
    return CreateWindowExA(ex, ShadowClass, "", WS_POPUP, 0, 0, 0, 0, owner, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
}

void FreeImage(HWND wnd)
{
    if (const auto image = static_cast<HDC>(RemovePropA(wnd, "AM2000Image"))) {
        const auto bitmap = static_cast<HBITMAP>(RemovePropA(wnd, "AM2000Bitmap"));
        const auto old = static_cast<HGDIOBJ>(RemovePropA(wnd, "AM2000Old"));
        SelectObject(image, old);
        DeleteObject(bitmap);
        DeleteDC(image);
    }
}

// A top-down 24-bit image kept with the window for its paints.
uint8_t* NewImage(HWND wnd, int w, int h, int& stride)
{
    FreeImage(wnd);
    TDIBSection section(w, h, 24);
    void* const bits = section.Bits();
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = section.Release();
    SetPropA(wnd, "AM2000Image", dc);
    SetPropA(wnd, "AM2000Bitmap", bitmap);
    SetPropA(wnd, "AM2000Old", SelectObject(dc, bitmap));
    stride = (w * 3 + 3) & ~3;
    return static_cast<uint8_t*>(bits);
}

}  // namespace

T_AM2000_DropShadow::T_AM2000_DropShadow(HWND menu) : FMenu(menu), FLayered(MenuLayeredWindows())
{
    for (HWND& w : FWindows)
        w = MakeShadowWindow(menu, FLayered);
}

T_AM2000_DropShadow::~T_AM2000_DropShadow()
{
    for (HWND w : FWindows) {
        FreeImage(w);
        DestroyWindow(w);
    }
}

void T_AM2000_DropShadow::Hide()
{
    for (HWND w : FWindows)
        ShowWindow(w, SW_HIDE);
}

void T_AM2000_DropShadow::Show(HWND insertAfter)
{
    for (HWND w : FWindows) {
        ShowWindow(w, SW_SHOWNOACTIVATE);
        if (insertAfter)
            SetWindowPos(w, insertAfter, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    }
    Update();
}

void T_AM2000_DropShadow::Update()
{
    Place(0);
    Place(1);
}

void T_AM2000_DropShadow::SetColor(COLORREF color)
{
    FColor = color;
    FPainted[0] = FPainted[1] = -1;
}

void T_AM2000_DropShadow::SetOpacity(int alpha)
{
    if (!FLayered)
        return;
    FAlpha = alpha;
    FPainted[0] = FPainted[1] = -1;
    Update();
}

void T_AM2000_DropShadow::Place(int which)
{
    RECT r;
    if (!GetWindowRect(FMenu, &r))
        return;
    const int t = Thickness();
    int x, y, w, h;
    if (which == 0) {
        x = r.right;
        y = r.top + t;
        w = t;
        h = r.bottom - r.top;
    } else {
        x = r.left + t;
        y = r.bottom;
        w = r.right - r.left - t;
        h = t;
    }
    const HWND wnd = FWindows[which];
    SetWindowPos(wnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    const int length = which == 0 ? h : w;
    if (length <= 0 || length == FPainted[which])
        return;
    FPainted[which] = length;
    if (FLayered)
        Paint2000(which, w, h);
    else
        Paint98(which, w, h);
}

void T_AM2000_DropShadow::Paint98(int which, int w, int h)
{
    const HWND wnd = FWindows[which];
    RECT r;
    GetWindowRect(wnd, &r);
    int stride = 0;
    uint8_t* bits = NewImage(wnd, w, h, stride);
    T_AM2000_Desktop::Instance().CopyRect(static_cast<HDC>(GetPropA(wnd, "AM2000Image")), r.left, r.top, w, h, false);
    GdiFlush();
    if (which == 0)
        DarkenVertical98(bits, h, stride);
    else
        DarkenHorizontal98(bits, w, stride);
    InvalidateRect(wnd, nullptr, FALSE);
    UpdateWindow(wnd);
}

void T_AM2000_DropShadow::Paint2000(int which, int w, int h)
{
    const HWND wnd = FWindows[which];
    std::vector<uint32_t> pixels = which == 0 ? VerticalShadow2000(FColor, h) : HorizontalShadow2000(FColor, w);
    if (pixels.empty())
        return;
    // The vertical strip is stored bottom-up; the horizontal one top-down (row 0 at the menu).
    const TDIBSection section(w, h, 32, which != 0);
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HGDIOBJ old = SelectObject(dc, section.Get());
    SetDIBits(dc, section.Get(), 0, static_cast<UINT>(h), pixels.data(), &section.Info(), DIB_RGB_COLORS);
    RECT r;
    GetWindowRect(wnd, &r);
    POINT pos{r.left, r.top}, src{0, 0};
    SIZE size{w, h};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(FAlpha), AC_SRC_ALPHA};
    UpdateLayeredWindow(wnd, screen, &pos, &size, dc, &src, 0, &blend, ULW_ALPHA);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}
