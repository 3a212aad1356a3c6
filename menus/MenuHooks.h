#pragma once
// The family's thread hooks and small message pumps. While any popup component exists the GUI
// thread carries a get-message, a CBT and a call-window-procedure hook: a press outside the
// menus closes them, keys and the wheel go to the open menu first, activation changes reach
// the menu bars. Beside them: closing every open menu, the modal wait's pump, status-bar hints
// and the window tests the hooks use.
#include <windows.h>

#include <string>

class TComponent;
class TControl;
class TCustomPopupMenu2000;
class TMenuItem;

// Reference-counted: the first install sets the three hooks, the last remove takes them off.
void InstallMenuHooks();
void RemoveMenuHooks();
int MenuHookCount();

// The popup whose window is showing, or none; set by the popup component as it shows.
TCustomPopupMenu2000* CurrentPopupMenu();
void SetCurrentPopupMenu(TCustomPopupMenu2000* menu);
bool IsMenuShowing();

// Closes the open popup (the key goes to its window's close request) and, with closeBars,
// every menu bar's open item. False when the menu refused to close.
bool CloseMenus(bool closeBars = true, BYTE key = 0);

// Dispatches the pending messages of a range (0, 0: all); a WM_QUIT taken is posted again.
void PumpMessages(UINT first, UINT last);
void PumpPaint();
void PumpMouse();
// The modal popup wait's pump: takes and dispatches messages only while a menu shows, so that
// what comes after the close is left in order for the main loop.
void PumpForModalMenu();
// Every pending message, translated and dispatched (waits of tests and tools).
void PumpMenuMessages();

// Puts the hint into the status bar of the current popup (or the first menu bar); "" clears.
void ShowMenuHint(const std::string& hint);
// The item's hint to the status bar, and into the target's Hint when a target is given.
void ShowItemHint(TComponent* item, TControl* target);

bool IsMenuWindow(const TControl* control);
bool IsOverMenuWindow();
bool IsOverPropertyInspector();
bool IsControlChainEnabled(const TControl* control);
bool IsActiveWindowOf(const TControl* control);
bool ControlOwnsWindow(HWND window, const TControl* control);
TMenuItem* FindItemByCommand(const TComponent* menu, WORD command);
