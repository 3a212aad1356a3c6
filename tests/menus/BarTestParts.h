#pragma once
// What the menu-bar tests share: items added under a parent, and the centre of a bar item.
#include "menus/MenuBar2000.h"

#include <string>

inline TMenuItem2000* AddItem(TComponent* owner, TMenuItem* parent, const std::string& caption)
{
    auto* item = NewComponent<TMenuItem2000>(owner);
    item->Caption = caption;
    parent->Add(item);
    return item;
}

// The centre of item `index` of the bar, in its client coordinates, as a mouse message's lParam.
inline LPARAM ItemCentre(const TMenuBar2000& bar, int index)
{
    const TRect r = bar.ItemRects().at(static_cast<size_t>(index)).Rect;
    return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}
