#pragma once
// Theme detection and the tool-tip window that shows item hints.
#include <windows.h>

#include <string>

// ThemeActive "1" under the theme manager's key, and no "DISABLETHEMES" in the program's
// compatibility layers.
bool IsThemeActive();
// Loads "uxtheme.dll" when themes are active (once), frees it and closes open theme handles at end.
void ThemeUnitStart();

class T_AM2000_ToolTipWindow {
public:
    explicit T_AM2000_ToolTipWindow(HWND owner);
    ~T_AM2000_ToolTipWindow();
    T_AM2000_ToolTipWindow(const T_AM2000_ToolTipWindow&) = delete;
    T_AM2000_ToolTipWindow& operator=(const T_AM2000_ToolTipWindow&) = delete;

    void AddTool(const RECT& rect, const std::string& text);
    void RelayMouseMove(POINT pos);
    // TTM_ACTIVATE only when the state changes.
    void Activate();
    void Deactivate();
    HWND Handle() const { return FTip; }
    bool Active() const { return FActive; }

private:
    HWND FOwner;
    HWND FTip = nullptr;
    UINT FNextId = 0;
    bool FActive = false;
};
