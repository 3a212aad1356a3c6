#pragma once
// What the raised-item window decides without a window: the frame it draws around the item, its
// bounds, and which of its sides touch the open popup (drawn open, so item and popup look joined).
#include "framework/Types.h"

struct TOpenSides {
    bool Left = false, Top = false, Right = false, Bottom = false;
    bool operator==(const TOpenSides&) const = default;
};

// The frame around the raised item: the border less the bevel, never below 0.
int RaisedFrameWidth(int border, int bevel);

// The window's bounds: the item's rectangle widened by the frame on every side.
TRect RaisedItemBounds(const TRect& item, int frame);

// A bar item over its drop-down: a vertical bar opens its left or right side by the menu's
// direction, a horizontal one its top or bottom side.
TOpenSides BarItemOpenSides(bool vertical, bool opensLeftwards, bool opensUpwards);

// A submenu's parent row raised beside the submenu: the row's rectangle (client coordinates of
// its menu window) narrowed to the side it opens to, and its open sides.
struct TRaisedRow {
    TRect Rect;
    TOpenSides Sides;
};
TRaisedRow RaisedSubmenuRow(const TRect& row, int clientWidth, bool opensLeftwards);

// The stretch of a menu window's frame that a raised item meets through one of its open sides, in
// the window's client coordinates: along the window's side that the item crosses, over the item's
// length and the frame's depth. Empty when no open side meets the window. When the item crosses
// two sides (a corner), the one it overlaps least is the side it joins.
TRect FrameOpening(const TRect& menu, const TRect& raised, const TOpenSides& sides, int frameDepth);

// Whether the raised window gets a drop shadow: the options' flag, else the system's setting when
// the component follows it (a failed question means none).
bool RaisedItemShadowWanted(bool dropShadowFlag, bool followsSystem, bool systemAnswered, bool systemOn);
