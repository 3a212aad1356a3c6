#include "MenuInputCore.h"

#include "MenuUtilsCore.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

using M = T_AM2000_Margins;

namespace {

int InnerFrame(const TMenuLayoutInput& in)
{
    return in.M(M::Border) + in.M(M::Bevel) + in.M(M::BevelInner) + (in.ThreeD && !in.Floating ? 2 : 0);
}

bool Inside(const TRect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

}  // namespace

// ---- Scroll column ----

TScrollBarGeometry ScrollBarGeometry(const T_AM2000_MenuItemRect& rect, bool mirrored, int height, int barWidth,
                                     int arrowHeight, int rowCount, int firstRow, int lastRow)
{
    TScrollBarGeometry g;
    const int left = mirrored ? rect.ContentLeft - 5 - barWidth : rect.ContentRight + 5;
    const int top = rect.FrameWidth, bottom = height - rect.FrameWidth;
    g.Column = mirrored ? TRect(left, top, rect.ContentLeft, bottom) : TRect(rect.ContentRight, top, left + barWidth, bottom);
    g.Up = TRect(left, top, left + barWidth, top + arrowHeight);
    g.Down = TRect(left, bottom - arrowHeight, left + barWidth, bottom);
    const int track = std::max(0, g.Down.top - g.Up.bottom);
    if (rowCount > 0 && track > 0) {
        const int visible = lastRow - firstRow + 1;
        const int length = std::max(6, track * visible / rowCount);
        const int offset = track * firstRow / rowCount;
        g.Thumb = TRect(left, g.Up.bottom + offset, left + barWidth, std::min(g.Up.bottom + offset + length, g.Down.top));
        g.PixelsPerRow = static_cast<double>(track) / rowCount;
    }
    return g;
}

// ---- Hit test ----

int MenuHitTest(const TMenuHitInput& h, int x, int y, int last)
{
    if (!h.HasContent || !h.Layout || !h.In)
        return selNone;
    const TMenuLayoutInput& in = *h.In;
    const int frame = InnerFrame(in);
    if (x < frame || y < frame || x >= h.Width - frame || y >= h.Height - frame)
        return selNone;
    if (in.TitleVisible) {
        const int w = in.TitleWidth;
        switch (in.TitlePosition) {
        case atLeft: if (x < frame + w) return selNone; break;
        case atRight: if (x >= h.Width - frame - w) return selNone; break;
        case atTop: if (y < frame + w) return selNone; break;
        case atBottom: if (y >= h.Height - frame - w) return selNone; break;
        }
    }
    if (in.Draggable && !in.Floating && y < TearOffHeight + 4)
        return selTearOff;
    if (h.HasExpand && !h.Scroll && y >= h.Layout->RowsBottom())
        return selExpand;
    if (h.Scroll && x >= h.Bar.Column.left && x < h.Bar.Column.right) {
        if (Inside(h.Bar.Up, x, y))
            return selScrollUp;
        if (Inside(h.Bar.Down, x, y))
            return selScrollDown;
        if (x >= h.Bar.Thumb.left && x < h.Bar.Thumb.right) {
            if (Inside(h.Bar.Thumb, x, y))
                return selThumb;
            if (y >= h.Bar.Thumb.bottom && y < h.Bar.Down.top)
                return selTrackBelow;
            if (y < h.Bar.Thumb.top && y >= h.Bar.Up.bottom)
                return selTrackAbove;
        }
        return last;
    }
    const std::vector<TMenuRow>& rows = h.Layout->Rows;
    if (rows.empty())
        return last;
    const int first = std::clamp(h.FirstRow, 0, static_cast<int>(rows.size()) - 1);
    const int shift = rows[static_cast<size_t>(first)].Top - h.Layout->FirstTop;
    const int end = h.LastRow < 0 ? static_cast<int>(rows.size()) - 1 : std::min<int>(h.LastRow, static_cast<int>(rows.size()) - 1);
    for (int r = first; r <= end; ++r) {
        const int top = rows[static_cast<size_t>(r)].Top - shift;
        if (y >= top && y < top + rows[static_cast<size_t>(r)].Height)
            return r;
    }
    return last;
}

// ---- Stepping ----

TStepResult StepToSelectable(const std::vector<bool>& selectable, int target, int direction, bool hasExpand)
{
    TStepResult result;
    const int n = static_cast<int>(selectable.size());
    if (n == 0)
        return result;
    direction = direction < 0 ? -1 : 1;
    bool wrapped = false;
    for (int guard = 0; guard <= n + 1; ++guard) {
        if (target < 0) {
            if (wrapped)
                return result;
            wrapped = true;
            target = n - 1;
        }
        if (target >= n) {
            result.Expand = hasExpand;
            return result;
        }
        if (selectable[static_cast<size_t>(target)]) {
            result.Row = target;
            return result;
        }
        target += direction;
    }
    return result;
}

// ---- Scrolling ----

int FirstRowThatFits(const TMenuLayout& layout, const TMenuLayoutInput& in, int height, int lastRow)
{
    if (layout.Rows.empty())
        return 0;
    lastRow = std::clamp(lastRow, 0, static_cast<int>(layout.Rows.size()) - 1);
    int first = lastRow;
    while (first > 0 && LastRowThatFits(layout, in, height, first - 1) >= lastRow)
        --first;
    return first;
}

int ThumbRows(int d, double pixelsPerRow)
{
    if (pixelsPerRow <= 0 || std::abs(d) < pixelsPerRow)
        return 0;
    return static_cast<int>(std::nearbyint(d / pixelsPerRow));
}

TScrollRange ScrollByThumb(const TMenuLayout& layout, const TMenuLayoutInput& in, int height, TScrollRange now,
                           int rows)
{
    const int count = static_cast<int>(layout.Rows.size());
    if (rows < 0) {
        now.First = std::max(0, now.First + rows);
        now.Last = LastRowThatFits(layout, in, height, now.First);
    } else if (rows > 0) {
        now.Last = std::min(count - 1, now.Last + rows);
        now.First = FirstRowThatFits(layout, in, height, now.Last);
    }
    return now;
}

TScrollRange ScrollByArea(const TMenuLayout& layout, const TMenuLayoutInput& in, int height, TScrollRange now,
                          int area)
{
    const int count = static_cast<int>(layout.Rows.size());
    switch (area) {
    case selScrollUp:
        if (now.First > 0)
            --now.First;
        break;
    case selScrollDown:
        if (now.Last < count - 1)
            ++now.First;
        break;
    case selTrackBelow: {
        const int shown = now.Last - now.First + 1;
        now.First = std::min(now.First + shown, FirstRowThatFits(layout, in, height, count - 1));
        break;
    }
    case selTrackAbove: now.First = std::max(0, 2 * now.First - now.Last); break;
    default: return now;
    }
    now.Last = LastRowThatFits(layout, in, height, now.First);
    return now;
}

// ---- Accelerators ----

int FindAcceleratorRow(const std::vector<TAcceleratorRow>& rows, char key)
{
    for (size_t i = 0; i < rows.size(); ++i) {
        const TAcceleratorRow& r = rows[i];
        if (r.Separator || !r.Enabled || IsSeparatorCaption(r.Caption))
            continue;
        if (IsItemAccelKey(key, SplitCaption(r.Caption).Caption))
            return static_cast<int>(i);
    }
    return -1;
}

// ---- Submenus ----

TPoint SubmenuAnchor(const TAnchorInput& a, const TMenuLayoutInput& in)
{
    // 5 pixels inside the rows' edge on the opening side.
    const int column = a.ScrollBarWidth + 5;
    int x = a.ClientWidth - 5 - (a.Scroll && !a.ScrollOnLeft ? column : 0);
    if (a.OpensLeftwards || a.TopRightToLeft)
        x = 5 + (a.Scroll && a.ScrollOnLeft ? column : 0);
    const int y = a.RowTop - InnerFrame(in) - a.ScrollShift;
    return TPoint(x, y);
}

TSubmenuTiming SubmenuTiming(const TSubmenuQuery& q)
{
    if (!q.HasSubmenu)
        return {TSubmenuAction::Delayed, SubmenuDelay};
    if (q.CustomisationObject)
        return q.DropTargetIsSelected ? TSubmenuTiming{TSubmenuAction::Now, 0} : TSubmenuTiming{};
    if (q.DragOrCustomising)
        return {TSubmenuAction::Now, 0};
    return {TSubmenuAction::Delayed, q.ChildOpen ? ImmediateSubmenuDelay : SubmenuDelay};
}

// ---- Jitter ----

bool InMoveBox(const TRect& box, int x, int y) { return Inside(box, x, y); }
TRect MoveBoxAround(int x, int y) { return TRect(x - 2, y - 2, x + 2, y + 2); }

// ---- Selection fade ----

int FadeSteps(int opacity) { return std::max(opacity, 0) / 10; }
int FadePercent(int step, int steps) { return steps > 0 ? 100 * (steps - step) / steps : 0; }
int PercentToAlpha(int percent) { return static_cast<int>(std::nearbyint(percent * 255.0 / 100.0)); }

// ---- Keys ----

TMenuKey MenuKeyAction(unsigned key, bool ctrl, bool shift)
{
    switch (key) {
    case 0x26: return TMenuKey::Previous;
    case 0x24: return TMenuKey::First;
    case 0x21: return TMenuKey::PageUp;
    case 0x28: return ctrl ? TMenuKey::Expand : TMenuKey::Next;
    case 0x23: return ctrl ? TMenuKey::Expand : TMenuKey::Last;
    case 0x22: return ctrl ? TMenuKey::Expand : TMenuKey::PageDown;
    case 0x09: return shift ? TMenuKey::Previous : TMenuKey::Next;
    case 0x27: return TMenuKey::Right;
    case 0x25: return TMenuKey::Left;
    case 0x1B: return TMenuKey::Escape;
    case 0x0D: return TMenuKey::Enter;
    case 0x70: return TMenuKey::Help;
    case 0x10:
    case 0x11: return TMenuKey::Nothing;
    default: return TMenuKey::Accelerator;
    }
}
