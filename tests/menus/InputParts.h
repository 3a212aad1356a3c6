#pragma once
// Real input for the menu tests: the pointer and the keys through SendInput, so that they reach
// the menus as the family's hooks see them, and a pump that waits for what they do.
#include "menus/MenuHooks.h"

#include <windows.h>

#include <functional>

// Pumps (through the hooks) until the condition holds; False after ms.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms = 5000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms)
            return false;
        PumpMenuMessages();
        Sleep(1);
    }
    return true;
}

inline void Press(WORD key, bool up = false)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

// A key pressed and let go, and handled.
inline void Tap(WORD key)
{
    Press(key);
    Press(key, true);
    PumpUntil([] { return false; }, 60);
}

inline void SendMouse(DWORD flags, int x = 0, int y = 0)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        in.mi.dx = static_cast<LONG>((x * 65536LL + GetSystemMetrics(SM_CXSCREEN) / 2) / GetSystemMetrics(SM_CXSCREEN));
        in.mi.dy = static_cast<LONG>((y * 65536LL + GetSystemMetrics(SM_CYSCREEN) / 2) / GetSystemMetrics(SM_CYSCREEN));
    }
    SendInput(1, &in, sizeof in);
}

// Moves the pointer and waits until it is there and the moves were handled.
inline void MoveTo(int x, int y)
{
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y);
    PumpUntil([&] { POINT p{}; GetCursorPos(&p); return p.x == x && p.y == y; }, 1000);
    PumpUntil([] { return false; }, 5);  // the queued move reaches the window
}

inline void ClickHere()
{
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
}
