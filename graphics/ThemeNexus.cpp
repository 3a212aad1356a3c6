#include "graphics/ThemeNexus.h"

#include <memory>

namespace {
const char* const kClassName = "TPvlThemeNexus";

template <class F>
void Bind(HMODULE library, F& entry, const char* name)
{
    entry = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}
}

TThemeNexus::TThemeNexus()
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA cls{};
    cls.cbSize = sizeof cls;
    if (!GetClassInfoExA(instance, kClassName, &cls)) {
        cls.lpfnWndProc = WndProc;
        cls.hInstance = instance;
        cls.lpszClassName = kClassName;
        RegisterClassExA(&cls);
    }
    // A hidden top-level window: WM_THEMECHANGED is sent to top-level windows only.
    FWindow.Reset(CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                                  nullptr));
    SetWindowLongPtrA(FWindow.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    Refresh();
}

TThemeNexus::~TThemeNexus()
{
    Release();
    if (FWindow)
        SetWindowLongPtrA(FWindow.Get(), GWLP_USERDATA, 0);
}

void TThemeNexus::Refresh()
{
    FThemesInUse = false;
    if (!FLibrary) {
        FLibrary.Reset(LoadLibraryA("uxtheme.dll"));
        if (FLibrary) {
            const HMODULE lib = FLibrary.Get();
            Bind(lib, FApi.OpenThemeData, "OpenThemeData");
            Bind(lib, FApi.CloseThemeData, "CloseThemeData");
            Bind(lib, FApi.DrawThemeBackground, "DrawThemeBackground");
            Bind(lib, FApi.DrawThemeEdge, "DrawThemeEdge");
            Bind(lib, FApi.GetThemeColor, "GetThemeColor");
            Bind(lib, FApi.GetThemeMetric, "GetThemeMetric");
            Bind(lib, FApi.GetThemeMargins, "GetThemeMargins");
            Bind(lib, FApi.SetWindowTheme, "SetWindowTheme");
            Bind(lib, FApi.IsThemeActive, "IsThemeActive");
            Bind(lib, FApi.IsAppThemed, "IsAppThemed");
            Bind(lib, FApi.EnableTheming, "EnableTheming");
            if (!FApi.OpenThemeData || !FApi.CloseThemeData || !FApi.IsThemeActive || !FApi.IsAppThemed ||
                !FApi.EnableTheming) {
                FApi = TUxTheme{};
                FLibrary.Reset();
            }
        }
    }
    if (FLibrary && FApi.IsAppThemed() && FApi.IsThemeActive()) {
        FThemesInUse = true;
        FScrollbarTheme = FApi.OpenThemeData(FWindow.Get(), L"SCROLLBAR");
        FGlobalsTheme = FApi.OpenThemeData(FWindow.Get(), L"GLOBALS");
    }
}

void TThemeNexus::Release()
{
    if (FThemesInUse) {
        if (FScrollbarTheme)
            FApi.CloseThemeData(FScrollbarTheme);
        if (FGlobalsTheme)
            FApi.CloseThemeData(FGlobalsTheme);
    }
    FScrollbarTheme = nullptr;
    FGlobalsTheme = nullptr;
    FThemesInUse = false;
    FApi = TUxTheme{};
    FLibrary.Reset();
}

LRESULT CALLBACK TThemeNexus::WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_THEMECHANGED) {
        if (auto* self = reinterpret_cast<TThemeNexus*>(GetWindowLongPtrA(wnd, GWLP_USERDATA))) {
            self->Release();
            self->Refresh();
        }
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

TThemeNexus& ThemeNexus()
{
    static const std::unique_ptr<TThemeNexus> nexus = std::make_unique<TThemeNexus>();
    return *nexus;
}
