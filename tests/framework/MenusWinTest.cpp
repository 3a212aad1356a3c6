#include "framework/Menus.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::string EntryText(HMENU menu, int position)
{
    char text[64] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

}  // namespace

TEST(MenuItem, CommandsAreUniqueAndAFreedOneIsGivenAgain)
{
    TComponent owner;
    auto* a = NewComponent<TMenuItem>(&owner);
    auto* b = NewComponent<TMenuItem>(&owner);
    auto* c = NewComponent<TMenuItem>(&owner);
    EXPECT_NE(a->Command(), 0u);
    EXPECT_NE(a->Command(), b->Command());
    EXPECT_NE(b->Command(), c->Command());
    EXPECT_NE(a->Command(), c->Command());
    const UINT freed = b->Command();
    delete b;
    EXPECT_EQ(NewComponent<TMenuItem>(&owner)->Command(), freed);  // the lowest free id
    EXPECT_NE(NewComponent<TMenuItem>(&owner)->Command(), freed);
}

TEST(MenuItem, HandleMirrorsTheVisibleChildrenWithSubmenusOfTheirOwn)
{
    TMenuItem root(nullptr);
    TMenuItem* open = root.AddNew("&Open");
    root.AddNew("-");
    root.AddNew("Hidden")->Visible = false;
    TMenuItem* recent = root.AddNew("Recent");
    TMenuItem* file = recent->AddNew("a.avi");
    TMenuItem* quit = root.AddNew("Quit");
    quit->ShortCutText = "Ctrl+Q";
    quit->Enabled = false;
    EXPECT_FALSE(root.HandleAllocated());

    const HMENU menu = root.Handle();
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_EQ(GetMenuItemID(menu, 0), open->Command());
    EXPECT_EQ(GetMenuState(menu, 1, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));
    const HMENU sub = GetSubMenu(menu, 2);
    EXPECT_EQ(sub, recent->Handle());
    EXPECT_EQ(GetMenuItemID(sub, 0), file->Command());
    EXPECT_EQ(EntryText(menu, 3), "Quit\tCtrl+Q");
    EXPECT_NE(GetMenuState(menu, 3, MF_BYPOSITION) & MF_GRAYED, 0u);

    // Later changes show at the next call, in the same menu.
    quit->Enabled = true;
    root.Delete(0);
    EXPECT_EQ(root.Handle(), menu);
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    EXPECT_EQ(GetMenuState(menu, 2, MF_BYPOSITION) & MF_GRAYED, 0u);

    // A child taken out keeps its menu when the old parent goes; a freed item's menu goes with it.
    auto kept = std::make_unique<TMenuItem>(nullptr);
    {
        TMenuItem parent(nullptr);
        parent.Add(kept.get());
        kept->AddNew("x");
        parent.Handle();
        const HMENU keptMenu = kept->Handle();
        parent.Remove(kept.get());
        EXPECT_EQ(GetMenuItemCount(parent.Handle()), 0);
        EXPECT_TRUE(IsMenu(keptMenu));
    }
    EXPECT_TRUE(IsMenu(kept->Handle()));
    root.Delete(2);  // Recent
    EXPECT_FALSE(IsMenu(sub));
    EXPECT_EQ(GetMenuItemCount(root.Handle()), 2);
}
