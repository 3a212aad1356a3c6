#pragma once
// What the menu window's own files share: native entries and the accessibility notices.
#include <windows.h>

#include <string>

struct TNativeEntry {
    UINT Type = 0, State = 0, Id = 0;
    HMENU SubMenu = nullptr;
    std::string Text;
};
// The entry at a position of a native menu (a 256-byte text at most).
TNativeEntry ReadNativeEntry(HMENU menu, int position);
// NotifyWinEvent, bound by name, for the window's menu object.
void NotifyMenuEvent(DWORD event, HWND wnd, LONG child);

class TPopupMenu2000Form;
// A floating window leaves the family's list as it goes.
void ForgetFloatingWindow(const TPopupMenu2000Form* form);
