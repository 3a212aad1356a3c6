#include "framework/MenuMerge.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TItem {
    std::string Caption;
    int GroupIndex;
};

std::string Merged(const std::vector<TMergeMenu<TItem>>& menus)
{
    std::string out;
    for (TItem* item : MergeByGroupIndex(menus, [](TItem* i) { return i->GroupIndex; }))
        out += (out.empty() ? "" : " ") + item->Caption;
    return out;
}

}  // namespace

TEST(MenuMerge, GroupsOfTheLaterMenuReplaceAndTheActiveChildsMenuComesLast)
{
    TItem file{"File", 0}, edit{"Edit", 1}, window{"Window", 9}, help{"Help", 255};
    TItem childEdit{"ChildEdit", 1}, childView{"ChildView", 2}, childEdit2{"ChildEdit2", 1};
    TItem otherEdit{"OtherEdit", 1}, otherTools{"OtherTools", 3};
    TMergeMenu<TItem> frame{{&file, &edit, &window, &help}};
    TMergeMenu<TItem> child{{&childEdit, &childView, &childEdit2}};
    TMergeMenu<TItem> other{{&otherEdit, &otherTools}};

    EXPECT_EQ("File Edit Window Help", Merged({frame}));
    // A group that a merged menu has replaces the frame's items of that group, all in order.
    EXPECT_EQ("File ChildEdit ChildEdit2 ChildView Window Help", Merged({frame, child}));
    // Of two merged menus the later one wins a shared group...
    EXPECT_EQ("File OtherEdit ChildView OtherTools Window Help", Merged({frame, child, other}));
    // ...unless the earlier is the active MDI child's menu, which moves to the end.
    child.ActiveChildMenu = true;
    EXPECT_EQ("File ChildEdit ChildEdit2 ChildView OtherTools Window Help", Merged({frame, child, other}));
    // The frame's own menu stays first even when flagged.
    frame.ActiveChildMenu = true;
    child.ActiveChildMenu = false;
    EXPECT_EQ("File OtherEdit ChildView OtherTools Window Help", Merged({frame, child, other}));
    EXPECT_EQ("", Merged({}));
}
