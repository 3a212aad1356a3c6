#include "RaisedItemCore.h"

#include <algorithm>

int RaisedFrameWidth(int border, int bevel) { return std::max(0, border - bevel); }

TRect RaisedItemBounds(const TRect& item, int frame)
{
    return {item.left - frame, item.top - frame, item.right + frame, item.bottom + frame};
}

TOpenSides BarItemOpenSides(bool vertical, bool opensLeftwards, bool opensUpwards)
{
    TOpenSides sides;
    if (vertical) {
        sides.Left = opensLeftwards;
        sides.Right = !opensLeftwards;
    } else {
        sides.Top = opensUpwards;
        sides.Bottom = !opensUpwards;
    }
    return sides;
}

TRaisedRow RaisedSubmenuRow(const TRect& row, int clientWidth, bool opensLeftwards)
{
    TRaisedRow raised;
    raised.Rect = row;
    if (opensLeftwards) {
        raised.Rect.left = 5;
        raised.Rect.right = clientWidth - 2;
        raised.Sides = {false, true, true, true};
    } else {
        raised.Rect.left = 2;
        raised.Rect.right = clientWidth - 4;
        raised.Sides = {true, false, true, true};
    }
    return raised;
}

TRect FrameOpening(const TRect& menu, const TRect& raised, const TOpenSides& sides, int frameDepth)
{
    if (frameDepth <= 0)
        return {};
    const int w = menu.Width(), h = menu.Height();
    const int x0 = std::max<int>(raised.left, menu.left) - menu.left, x1 = std::min<int>(raised.right, menu.right) - menu.left;
    const int y0 = std::max<int>(raised.top, menu.top) - menu.top, y1 = std::min<int>(raised.bottom, menu.bottom) - menu.top;
    TRect best;
    int bestOverlap = -1;
    const auto consider = [&](bool meets, int overlap, const TRect& strip) {
        if (meets && strip.Width() > 0 && strip.Height() > 0 && (bestOverlap < 0 || overlap < bestOverlap)) {
            best = strip;
            bestOverlap = overlap;
        }
    };
    // The item's bottom side open over the window's top, its top over the bottom, and so on.
    consider(sides.Bottom && raised.top < menu.top && raised.bottom >= menu.top, raised.bottom - menu.top,
             TRect(x0, 0, x1, frameDepth));
    consider(sides.Top && raised.bottom > menu.bottom && raised.top <= menu.bottom, menu.bottom - raised.top,
             TRect(x0, h - frameDepth, x1, h));
    consider(sides.Right && raised.left < menu.left && raised.right >= menu.left, raised.right - menu.left,
             TRect(0, y0, frameDepth, y1));
    consider(sides.Left && raised.right > menu.right && raised.left <= menu.right, menu.right - raised.left,
             TRect(w - frameDepth, y0, w, y1));
    return best;
}

bool RaisedItemShadowWanted(bool dropShadowFlag, bool followsSystem, bool systemAnswered, bool systemOn)
{
    return dropShadowFlag || (followsSystem && systemAnswered && systemOn);
}
