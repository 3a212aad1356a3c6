#pragma once
// The merge rule of main menus: a frame's menu and the menus merged into it give one list of
// top-level items. For each group index 0 to 255 the menus are searched from the last to the
// first, and the items of that group of the first menu that has any are taken in their order;
// the menu of the active MDI child goes last, so its groups win.
#include <algorithm>
#include <vector>

template <class Item>
struct TMergeMenu {
    std::vector<Item*> Items;       // top-level items in order
    bool ActiveChildMenu = false;   // the Menu of the active MDI child form
};

// menus[0] is the frame's own menu; groupOf(item) gives an item's GroupIndex.
template <class Item, class GroupOf>
std::vector<Item*> MergeByGroupIndex(std::vector<TMergeMenu<Item>> menus, GroupOf groupOf)
{
    const auto active = std::find_if(menus.begin() + (menus.empty() ? 0 : 1), menus.end(),
                                     [](const TMergeMenu<Item>& m) { return m.ActiveChildMenu; });
    if (active != menus.end())
        std::rotate(active, active + 1, menus.end());
    std::vector<Item*> merged;
    for (int group = 0; group <= 255; ++group)
        for (auto menu = menus.rbegin(); menu != menus.rend(); ++menu) {
            bool found = false;
            for (Item* item : menu->Items)
                if (groupOf(item) == group) {
                    merged.push_back(item);
                    found = true;
                }
            if (found)
                break;
        }
    return merged;
}
