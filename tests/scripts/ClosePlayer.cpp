// Does what a user does to end the player: answers a first-run page with its "Ok" button,
// waits for the main window, lets the clip play a moment and closes the window.
//   ClosePlayer.exe [wait-ms]   exits 0 when the window was found and told, 1 when none came
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

BOOL CALLBACK ClickOk(HWND child, LPARAM clicked)
{
    char text[16] = {};
    GetWindowTextA(child, text, sizeof text);
    if (_stricmp(text, "Ok") == 0 && IsWindowVisible(child)) {
        PostMessageA(child, BM_CLICK, 0, 0);
        *reinterpret_cast<bool*>(clicked) = true;
        return FALSE;
    }
    return TRUE;
}

// Visible top-level windows other than the player's main window: its pages and dialogs.
BOOL CALLBACK AnswerPage(HWND wnd, LPARAM clicked)
{
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (IsWindowVisible(wnd) && std::strcmp(cls, "QRV-604519-LT") != 0)
        EnumChildWindows(wnd, ClickOk, clicked);
    return TRUE;
}

}  // namespace

int main(int argc, char** argv)
{
    const DWORD waitMs = argc > 1 ? static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10)) : 60000;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < waitMs) {
        bool clicked = false;
        EnumWindows(AnswerPage, reinterpret_cast<LPARAM>(&clicked));
        if (clicked)
            std::puts("answered a page with Ok");
        if (HWND wnd = FindWindowA("QRV-604519-LT", nullptr); wnd && IsWindowVisible(wnd)) {
            Sleep(2000);
            PostMessageA(wnd, WM_CLOSE, 0, 0);
            std::puts("close sent");
            return 0;
        }
        Sleep(clicked ? 1000 : 200);
    }
    std::puts("no player window");
    return 1;
}
