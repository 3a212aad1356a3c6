#pragma once
// What the menu window decides about input without a window: the hit test by selection codes,
// row stepping over rows that cannot be selected, scrolling by the thumb and the scroll areas,
// accelerator search, the submenu's anchor and when a submenu opens, the jitter box and the
// selection fade's steps.
#include "MenuWindowCore.h"
#include "framework/Types.h"

#include <string>
#include <vector>

// Selection codes besides rows (0 and up).
enum : int {
    selNone = -1, selTearOff = -2, selExpand = -3, selThumb = -6, selTrackBelow = -7, selTrackAbove = -8,
    selScrollDown = -9, selScrollUp = -10,
};

// The family's delays in milliseconds.
constexpr unsigned SubmenuDelay = 250, ImmediateSubmenuDelay = 1, ExpandDelay = 2000, LeaveDelay = 500,
                   ScrollFirstRepeat = 100, ScrollRepeat = 10, StepDelay = 10;

// ---- Scroll column ----

struct TScrollBarGeometry {
    TRect Column;  // everything beside the rows
    TRect Up, Down, Thumb;
    double PixelsPerRow = 0;  // track pixels per row
};
// The column lies right of the rows, or left of them in a mirrored (right-to-left) menu; rect gives
// the rows' edges and the frame's width; the system's bar width and arrow height.
TScrollBarGeometry ScrollBarGeometry(const T_AM2000_MenuItemRect& rect, bool mirrored, int height, int barWidth,
                                     int arrowHeight, int rowCount, int firstRow, int lastRow);

// ---- Hit test ----

struct TMenuHitInput {
    const TMenuLayout* Layout = nullptr;
    const TMenuLayoutInput* In = nullptr;
    int Width = 0, Height = 0;
    bool HasContent = true;  // an item or a native menu to show
    int FirstRow = 0, LastRow = -1;
    bool Scroll = false, HasExpand = false;
    TScrollBarGeometry Bar;
};
// The selection code of a client point; a point between rows keeps last.
int MenuHitTest(const TMenuHitInput& in, int x, int y, int last);

// ---- Stepping ----

struct TStepResult {
    int Row = -1;
    bool Expand = false;  // ran past the last row of a window with hidden items
};
// From target, moving by direction (1 or -1), the first row that can be selected: below 0 wraps to
// the last row, past the last gives none (or the expansion with hidden items).
TStepResult StepToSelectable(const std::vector<bool>& selectable, int target, int direction, bool hasExpand);

// ---- Scrolling ----

struct TScrollRange {
    int First = 0, Last = -1;
};
// The first row from which the rows down to last fit a window of that height.
int FirstRowThatFits(const TMenuLayout& layout, const TMenuLayoutInput& in, int height, int lastRow);
// Rows a thumb drag of d pixels moves: none below one row's pixels, else d / pixelsPerRow rounded
// with halves to even.
int ThumbRows(int d, double pixelsPerRow);
TScrollRange ScrollByThumb(const TMenuLayout& layout, const TMenuLayoutInput& in, int height, TScrollRange now,
                           int rows);
// A press on a scroll area (scroll-up, scroll-down, the track below or above the thumb).
TScrollRange ScrollByArea(const TMenuLayout& layout, const TMenuLayoutInput& in, int height, TScrollRange now,
                          int area);

// ---- Accelerators ----

struct TAcceleratorRow {
    std::string Caption;
    bool Enabled = true;
    bool Native = false;    // an entry of a native menu
    bool Separator = false;
};
// The first row whose accelerator is the key ("&" mark, else the first letter), or -1.
int FindAcceleratorRow(const std::vector<TAcceleratorRow>& rows, char key);

// ---- Submenus ----

struct TAnchorInput {
    int ClientWidth = 0;
    bool Scroll = false;
    int ScrollBarWidth = 16;
    bool ScrollOnLeft = false;    // a mirrored menu keeps its scroll column at the left
    bool OpensLeftwards = false;
    bool TopRightToLeft = false;  // a top window of a right-to-left component
    int RowTop = 0;               // the row's top in the layout
    int ScrollShift = 0;          // the first shown row's distance below the first row
};
TPoint SubmenuAnchor(const TAnchorInput& in, const TMenuLayoutInput& layout);

enum class TSubmenuAction { None, Now, Delayed };
struct TSubmenuTiming {
    TSubmenuAction Action = TSubmenuAction::None;
    unsigned Delay = 0;
};
struct TSubmenuQuery {
    bool HasSubmenu = false;
    bool CustomisationObject = false, DropTargetIsSelected = false;
    bool DragOrCustomising = false;
    bool ChildOpen = false;
};
// After the selection changed by the mouse: when the open-submenu check runs.
TSubmenuTiming SubmenuTiming(const TSubmenuQuery& q);

// ---- Jitter ----

// Left and top inclusive, right and bottom exclusive.
bool InMoveBox(const TRect& box, int x, int y);
TRect MoveBoxAround(int x, int y);

// ---- Selection fade ----

int FadeSteps(int opacity);              // opacity div 10
int FadePercent(int step, int steps);    // 100 (steps - step) / steps
int PercentToAlpha(int percent);         // rounded percent x 255 / 100

// ---- Keys ----

enum class TMenuKey {
    Previous, First, PageUp, Next, Last, PageDown, Expand, Right, Left, Escape, Enter, Help, Nothing, Accelerator,
};
TMenuKey MenuKeyAction(unsigned key, bool ctrl, bool shift);
