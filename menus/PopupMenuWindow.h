#pragma once
// What the popup component asks of its menu window. The window itself (placement, animation,
// painting, input) is its own unit; tests stand a double in its place.
#include "MenuOptionsCore.h"

#include <windows.h>

#include <functional>
#include <memory>

class TMenuItem;
class TCustomPopupMenu2000;
struct IAccessible;

class IPopupMenuWindow {
public:
    virtual ~IPopupMenuWindow() = default;
    // The root item and native menu to show; the parent-window link is cleared.
    virtual void SetRoot(TMenuItem* item, HMENU handle) = 0;
    virtual void SetAnimation(T_AM2000_Animation animation) = 0;
    // Message 0x514 (kind in wParam, value in lParam): kind 3 shows or hides hidden items.
    virtual void SetWindowOption(int kind, int value) = 0;
    virtual void SetStateFlags(unsigned bits) = 0;  // bit 0: a popup of its own component
    virtual bool Enabled() const = 0;
    virtual void Enable() = 0;
    virtual void PlaceAt(int x, int y) = 0;
    virtual bool ShowMenu() = 0;  // False when showing failed
    virtual void HideMenu() = 0;
    // Width and height at least 1 and not closing.
    virtual bool IsShowing() const = 0;
    // Rebuilds the items and repaints (the refresh of a showing menu).
    virtual void RebuildItems() = 0;
    // Message 0x507: an item of the shown level changed (kind 0 checked, 3 structure, 4 hint).
    virtual void ItemChanged(TMenuItem* item, int kind) = 0;
    // Closed without a command.
    virtual bool Cancelled() const = 0;
    // The window's own accessibility object (none for windows without one).
    virtual IAccessible* AccessibleObject() { return nullptr; }
};

// Makes the window of a popup component on first use; the window unit installs its own.
using TPopupWindowFactory = std::function<std::unique_ptr<IPopupMenuWindow>(TCustomPopupMenu2000& menu)>;
void SetPopupWindowFactory(TPopupWindowFactory factory);
