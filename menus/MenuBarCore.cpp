#include "MenuBarCore.h"

#include <algorithm>

bool PointInRect(const TRect& rect, TPoint point)
{
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

bool PointInRectInclusive(const TRect& rect, TPoint point)
{
    return point.x >= rect.left && point.x <= rect.right && point.y >= rect.top && point.y <= rect.bottom;
}

int SystemItemWidth(bool childMaximisedWithSystemMenu)
{
    return childMaximisedWithSystemMenu ? MenuGlyphSize + 4 : 0;
}

int BorderIconsWidth(bool childMaximised, unsigned borderIcons, bool vertical)
{
    if (!childMaximised)
        return 0;
    int width = vertical ? 0 : 5;
    if (borderIcons & (biMinimize | biMaximize))
        width += 2 * MenuGlyphSize + 2 + (vertical ? 0 : 2);
    if (borderIcons & biSystemMenu)
        width += MenuGlyphSize;
    return width;
}

TRect SystemItemRect(int systemItemWidth, bool vertical, bool rightToLeft, int bufferWidth, int borderIconsWidth,
                     int barWidth)
{
    if (systemItemWidth <= 0)
        return {};
    const int g = MenuGlyphSize;
    if (vertical)
        return {barWidth - g - 1, 0, barWidth, g + 4};
    const int x = rightToLeft ? bufferWidth - g - borderIconsWidth : 0;
    return {x, 0, x + g + 4, g + 1};
}

TSize MeasureBarItem(TSize text, TSize glyph, bool captionEmpty)
{
    TSize size = captionEmpty ? TSize{} : text;
    if (glyph.cx > 0)
        size.cx += captionEmpty ? glyph.cx - 6 : glyph.cx + 5;
    size.cy = std::max(size.cy, glyph.cy - 3);
    return size;
}

std::vector<TBarItemRect> LayoutBarItems(const std::vector<std::pair<TObject*, TSize>>& items, bool vertical, int start)
{
    std::vector<TBarItemRect> list;
    int at = start;
    for (const auto& [item, size] : items) {
        const int length = size.cx + 12, across = size.cy + 5;
        list.push_back({item, vertical ? TRect{0, at, across, at + length} : TRect{at, 0, at + length, across}});
        at += length;
    }
    return list;
}

bool FindItemRect(const std::vector<TBarItemRect>& list, int index, const TObject* item, TRect& rect)
{
    if (index >= 0 && index < static_cast<int>(list.size()) && list[static_cast<size_t>(index)].Item == item) {
        rect = list[static_cast<size_t>(index)].Rect;
        return true;
    }
    for (const auto& record : list)
        if (record.Item == item) {
            rect = record.Rect;
            return true;
        }
    return false;
}

TObject* BarHitTest(TPoint point, const TRect& systemItemRect, TObject* systemItem,
                    const std::vector<TBarItemRect>& list)
{
    if (systemItem && PointInRect(systemItemRect, point))
        return systemItem;
    for (const auto& record : list)
        if (PointInRect(record.Rect, point))
            return record.Item;
    return nullptr;
}

int HotIndexAfterRebuild(bool hasHotItem, int hotIndex, int itemCount)
{
    const int keep = hasHotItem ? hotIndex : 0;
    return itemCount >= 1 && keep >= 0 && keep < itemCount ? keep : -1;
}

int ItemStateForNewHotItem(int itemState, bool enabled, bool dropDownMode)
{
    if (itemState != 0 || !enabled)
        return itemState;
    return dropDownMode ? 2 : 1;
}

int NextBarItem(int current, int count, int step, const std::function<bool(int)>& usable)
{
    if (count <= 0)
        return -1;
    int index = current < 0 ? (step > 0 ? count - 1 : 0) : current;
    for (int n = 0; n < count; ++n) {
        index = ((index + step) % count + count) % count;
        if (usable(index))
            return index;
    }
    return -1;
}

TBorderIconLook BorderIconLook(T_AM2000_FlatStyle style)
{
    switch (style) {
    case bsWin31: return {true, true};
    case bsWinXP: return {true, false};
    default: return {};
    }
}

TPoint DropDownAnchor(const TRect& item, bool vertical, bool rightToLeft)
{
    if (vertical)
        return {item.left - 1, item.top};
    return {rightToLeft ? item.right - 1 : item.left, item.bottom};
}

int BarItemsStart(int systemItemWidth, bool vertical, bool rightToLeft)
{
    return rightToLeft && !vertical ? 0 : systemItemWidth;
}
