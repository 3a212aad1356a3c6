#include "framework/MainMenu.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

void AddItems(TMainMenu& menu, std::initializer_list<std::pair<const char*, int>> items)
{
    for (const auto& [caption, group] : items)
        menu.Items()->AddNew(caption)->GroupIndex = group;
}

std::string Captions(const TMainMenu& menu)
{
    std::string out;
    for (TMenuItem* item : menu.MergedItems())
        out += (out.empty() ? "" : " ") + item->Caption;
    return out;
}

}  // namespace

TEST(MainMenu, MergesByGroupIndexWithTheActiveChildLastAndUnmergesWhenFreed)
{
    TComponent form;
    auto* frame = NewComponent<TMainMenu>(&form);
    AddItems(*frame, {{"File", 0}, {"Edit", 1}, {"Window", 9}});
    auto child = std::make_unique<TMainMenu>(nullptr);
    AddItems(*child, {{"ChildEdit", 1}, {"View", 2}});
    auto other = std::make_unique<TMainMenu>(nullptr);
    AddItems(*other, {{"OtherEdit", 1}});

    EXPECT_EQ("File Edit Window", Captions(*frame));
    frame->Merge(child.get());
    frame->Merge(other.get());
    frame->Merge(child.get());  // once only
    EXPECT_TRUE(child->IsMergedInto(frame));
    EXPECT_EQ("File OtherEdit View Window", Captions(*frame));
    frame->ActiveChildMenu = child.get();
    EXPECT_EQ("File ChildEdit View Window", Captions(*frame));

    child.reset();  // a freed menu leaves the frame's list
    EXPECT_EQ(nullptr, frame->ActiveChildMenu);
    EXPECT_EQ(2u, frame->MergedMenus().size());
    EXPECT_EQ("File OtherEdit Window", Captions(*frame));
    frame->Unmerge(other.get());
    EXPECT_FALSE(other->IsMergedInto(frame));
    EXPECT_EQ("File Edit Window", Captions(*frame));
}
