#pragma once
// What a menu bar decides without a window: item measurement and layout, the MDI child's
// system item and border icons, hit-testing, the hot item kept over a rebuild, and the item
// state a newly hot item takes. Items are compared by identity only.
#include "MenuOptionsCore.h"
#include "framework/Types.h"

#include <functional>
#include <vector>

class TObject;

// The family's glyph size.
inline constexpr int MenuGlyphSize = 16;

// Left and top inclusive, right and bottom exclusive.
bool PointInRect(const TRect& rect, TPoint point);
// With the right and bottom edges.
bool PointInRectInclusive(const TRect& rect, TPoint point);

// Width of the system item: glyph + 4 when the active MDI child is maximised and has a
// system menu; 0 means there is no system item.
int SystemItemWidth(bool childMaximisedWithSystemMenu);

// Room for a maximised MDI child's border icons at the end of the bar; 0 without one.
int BorderIconsWidth(bool childMaximised, unsigned borderIcons, bool vertical);

// The system item's rectangle: at the start of a horizontal bar (at its end before the border
// icons right to left), at the top right of a vertical one; empty without a system item.
TRect SystemItemRect(int systemItemWidth, bool vertical, bool rightToLeft, int bufferWidth, int borderIconsWidth,
                     int barWidth);

// An item's size from its caption's text extent and its glyph: a glyph adds its width + 5, or
// its width - 6 without a caption; the height is at least glyph height - 3.
TSize MeasureBarItem(TSize text, TSize glyph, bool captionEmpty);

struct TBarItemRect {
    TObject* Item = nullptr;
    TRect Rect;
};

// Tool regions and item rectangles: left to right from `start` (top to bottom for a vertical
// bar), each measured size + 12 long and + 5 across.
std::vector<TBarItemRect> LayoutBarItems(const std::vector<std::pair<TObject*, TSize>>& items, bool vertical,
                                         int start = 0);

// The record of Item at Index when it is there, else the first record of Item; false (and the
// rectangle untouched) when the item has none.
bool FindItemRect(const std::vector<TBarItemRect>& list, int index, const TObject* item, TRect& rect);

// The system item when the point lies on it, else the first record's item holding it, else none.
TObject* BarHitTest(TPoint point, const TRect& systemItemRect, TObject* systemItem,
                    const std::vector<TBarItemRect>& list);

// The hot index after a re-measure: the kept index (the hot one, 0 without one) while it is
// below the item count, else -1.
int HotIndexAfterRebuild(bool hasHotItem, int hotIndex, int itemCount);

// Item states: 0 idle, 1 hot, 2 pushed, 3 bar mode. An idle bar whose new hot item is enabled
// turns pushed in drop-down mode, else hot.
int ItemStateForNewHotItem(int itemState, bool enabled, bool dropDownMode);

// The next usable item from current by step (+1 or -1), wrapping; from -1 the first (or last).
// -1 when no item is usable.
int NextBarItem(int current, int count, int step, const std::function<bool(int)>& usable);

// How a maximised MDI child's border icons are drawn in a bar's BorderIconsStyle: the system's
// raised buttons (the default and Windows 95), flat black-framed ones (Windows 3.1), flat ones
// (XP, whose menus are flat).
struct TBorderIconLook {
    bool Flat = false, Mono = false;
    bool operator==(const TBorderIconLook&) const = default;
};
TBorderIconLook BorderIconLook(T_AM2000_FlatStyle style);

// Where a drop-down opens from its bar item (client coordinates): below it, from its right
// edge when read right to left; beside a vertical bar's item, left of it.
TPoint DropDownAnchor(const TRect& item, bool vertical, bool rightToLeft);

// Where the first item starts along the bar: after the system item, except on a horizontal bar
// read right to left, whose system item stands at the end before the border icons.
int BarItemsStart(int systemItemWidth, bool vertical, bool rightToLeft);
