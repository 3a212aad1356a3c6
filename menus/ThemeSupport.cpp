#include "ThemeSupport.h"

#include <commctrl.h>

namespace {

bool ReadString(const char* key, const char* name, std::string& value)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    char buffer[1024] = {};
    DWORD size = sizeof buffer - 1, type = 0;
    const bool ok = RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
                        ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ);
    RegCloseKey(handle);
    if (ok)
        value = buffer;
    return ok;
}

struct TThemeLibrary {
    HMODULE Library = nullptr;
    ~TThemeLibrary()
    {
        if (Library)
            FreeLibrary(Library);
    }
};

}  // namespace

bool IsThemeActive()
{
    std::string active;
    if (!ReadString("Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", "ThemeActive", active) ||
        active != "1")
        return false;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string layers;
    if (ReadString("Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers", path, layers) &&
        layers.find("DISABLETHEMES") != std::string::npos)
        return false;
    return true;
}

void ThemeUnitStart()
{
    static TThemeLibrary theme;
    static const bool started = [] {
        if (IsThemeActive())
            theme.Library = LoadLibraryA("uxtheme.dll");
        return true;
    }();
    (void)started;
}

T_AM2000_ToolTipWindow::T_AM2000_ToolTipWindow(HWND owner) : FOwner(owner)
{
    FTip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!FTip)
        return;
    SendMessageA(FTip, TTM_SETMAXTIPWIDTH, 0, 300);
    SendMessageA(FTip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 7000);
}

T_AM2000_ToolTipWindow::~T_AM2000_ToolTipWindow()
{
    Deactivate();
    if (FTip)
        DestroyWindow(FTip);
}

void T_AM2000_ToolTipWindow::AddTool(const RECT& rect, const std::string& text)
{
    TOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V1_SIZE;  // the 44-byte record of the first common controls
    info.uFlags = 0;
    info.hwnd = FOwner;
    info.uId = FNextId++;
    info.rect = rect;
    info.hinst = GetModuleHandleA(nullptr);
    info.lpszText = const_cast<char*>(text.c_str());
    SendMessageA(FTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void T_AM2000_ToolTipWindow::RelayMouseMove(POINT pos)
{
    MSG msg{};
    msg.hwnd = FOwner;
    msg.message = WM_MOUSEMOVE;
    msg.wParam = 0;
    msg.lParam = MAKELPARAM(pos.x, pos.y);
    SendMessageA(FTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

void T_AM2000_ToolTipWindow::Activate()
{
    if (FActive)
        return;
    FActive = true;
    SendMessageA(FTip, TTM_ACTIVATE, TRUE, 0);
}

void T_AM2000_ToolTipWindow::Deactivate()
{
    if (!FActive)
        return;
    FActive = false;
    SendMessageA(FTip, TTM_ACTIVATE, FALSE, 0);
}
