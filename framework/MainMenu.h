#pragma once
// A form's main menu: a tree of items into which other main menus can be merged. The merged
// item list follows the group indexes (MenuMerge.h): an MDI frame's menu shows its active
// child's menu groups in place of its own.
#include "Menus.h"

#include <vector>

class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* owner);
    ~TMainMenu() override;

    // Adds menu to the merged list once; none and this menu itself are ignored.
    void Merge(TMainMenu* menu);
    void Unmerge(TMainMenu* menu);
    // The merged menus, this one first.
    std::vector<TMainMenu*> MergedMenus() const;
    // True when this menu is merged into menu.
    bool IsMergedInto(const TMainMenu* menu) const;
    // The merged menu that is the Menu of the active MDI child form that owns it: merged last.
    TMainMenu* ActiveChildMenu() const;
    // Top-level items after merging by GroupIndex.
    std::vector<TMenuItem*> MergedItems() const;

private:
    std::vector<TMainMenu*> FMerged;      // merged into this one
    std::vector<TMainMenu*> FMergedInto;  // menus this one is merged into
};
