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

bool RaisedItemShadowWanted(bool dropShadowFlag, bool followsSystem, bool systemAnswered, bool systemOn)
{
    return dropShadowFlag || (followsSystem && systemAnswered && systemOn);
}
