#pragma once
// TThemeNexus keeps the visual-style state current: a hidden window that follows
// WM_THEMECHANGED, with uxtheme.dll bound by name (absent on old systems).
#include "framework/WinHandles.h"

using HTHEME = HANDLE;

// The entry points of uxtheme.dll; all empty while the library is not loaded.
struct TUxTheme {
    HTHEME(WINAPI* OpenThemeData)(HWND, LPCWSTR) = nullptr;
    HRESULT(WINAPI* CloseThemeData)(HTHEME) = nullptr;
    HRESULT(WINAPI* DrawThemeBackground)(HTHEME, HDC, int, int, const RECT*, const RECT*) = nullptr;
    HRESULT(WINAPI* DrawThemeEdge)(HTHEME, HDC, int, int, const RECT*, UINT, UINT, RECT*) = nullptr;
    HRESULT(WINAPI* GetThemeColor)(HTHEME, int, int, int, COLORREF*) = nullptr;
    HRESULT(WINAPI* GetThemeMetric)(HTHEME, HDC, int, int, int, int*) = nullptr;
    HRESULT(WINAPI* GetThemeMargins)(HTHEME, HDC, int, int, int, RECT*, void*) = nullptr;
    HRESULT(WINAPI* SetWindowTheme)(HWND, LPCWSTR, LPCWSTR) = nullptr;
    BOOL(WINAPI* IsThemeActive)() = nullptr;
    BOOL(WINAPI* IsAppThemed)() = nullptr;
    HRESULT(WINAPI* EnableTheming)(BOOL) = nullptr;
};

class TThemeNexus {
public:
    TThemeNexus();
    ~TThemeNexus();
    TThemeNexus(const TThemeNexus&) = delete;
    TThemeNexus& operator=(const TThemeNexus&) = delete;

    HWND Window() const { return FWindow.Get(); }
    bool ThemesInUse() const { return FThemesInUse; }
    bool Loaded() const { return FLibrary.operator bool(); }
    const TUxTheme& UxTheme() const { return FApi; }
    HTHEME ScrollbarTheme() const { return FScrollbarTheme; }
    HTHEME GlobalsTheme() const { return FGlobalsTheme; }

private:
    static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Refresh();
    void Release();
    TWindowHandle FWindow;
    TModuleHandle FLibrary;
    TUxTheme FApi;
    bool FThemesInUse = false;
    HTHEME FScrollbarTheme = nullptr;
    HTHEME FGlobalsTheme = nullptr;
};

// The library's one instance, made on first use.
TThemeNexus& ThemeNexus();
