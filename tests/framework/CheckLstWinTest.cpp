#include "ControlsFixture.h"
#include "framework/CheckLst.h"
#include "framework/ComCtrls.h"

#include <functional>
#include <vector>

TEST_F(ControlsFixture, CheckListBoxTogglesByItsBoxAndTheSpaceBar)
{
    auto* list = Add<TCheckListBox>();
    list->SetItems({"avi", "mpg", "mp3"});
    list->SetChecked(2, true);
    list->SetChecked(7, true);  // out of range: ignored
    int toggles = 0;
    list->OnClickCheck = [&](TObject*) { ++toggles; };
    form->HandleNeeded();
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETCOUNT, 0, 0), 3);
    EXPECT_FALSE(list->Checked(0));
    EXPECT_TRUE(list->Checked(2));

    RECT row;
    SendMessageA(list->Handle(), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    const int y = (row.top + row.bottom) / 2;
    SendMessageA(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, y));  // the box
    SendMessageA(list->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(4, y));
    EXPECT_TRUE(list->Checked(1));
    EXPECT_EQ(list->ItemIndex(), 1);
    SendMessageA(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, y));  // the text only selects
    SendMessageA(list->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(60, y));
    EXPECT_TRUE(list->Checked(1));
    SendMessageA(list->Handle(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_FALSE(list->Checked(1));
    EXPECT_EQ(toggles, 2);

    list->SetItems({"wav"});  // new items start unchecked
    EXPECT_FALSE(list->Checked(0));
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETCOUNT, 0, 0), 1);
}

TEST_F(ControlsFixture, TreeViewSelectionRaisesChangeWithTheNodesData)
{
    auto* tree = Add<TTreeView>();
    TTreeNode* general = tree->Items.AddChild(nullptr, "General");
    general->Data = 0;
    TTreeNode* audio = tree->Items.AddChild(general, "Audio");
    audio->Data = 2;
    tree->FullExpand();
    std::vector<intptr_t> pages;
    tree->OnChange = [&](TObject*) { pages.push_back(tree->Selected() ? tree->Selected()->Data : -1); };
    tree->Select(general);  // before the window: the event at once
    form->HandleNeeded();
    EXPECT_EQ(tree->Selected(), general);
    tree->Select(audio);
    EXPECT_EQ(tree->Selected(), audio);
    EXPECT_EQ(pages, (std::vector<intptr_t>{0, 2}));
    tree->Items.Clear();
    EXPECT_EQ(tree->Selected(), nullptr);
}

namespace {
// Serves this thread's messages until the condition holds or about five seconds passed.
bool ServeUntil(const std::function<bool()>& done)
{
    for (int waited = 0; waited < 5000 && !done(); waited += 10) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(10);
    }
    return done();
}
}  // namespace

TEST_F(ControlsFixture, TreeViewChangeDelayTellsWhereTheSelectionRests)
{
    auto* tree = Add<TTreeView>();
    TTreeNode* first = tree->Items.AddChild(nullptr, "first");
    first->Data = 1;
    TTreeNode* second = tree->Items.AddChild(nullptr, "second");
    second->Data = 2;
    TTreeNode* third = tree->Items.AddChild(nullptr, "third");
    third->Data = 3;
    tree->SetChangeDelay(200);
    std::vector<intptr_t> pages;
    tree->OnChange = [&](TObject*) { pages.push_back(tree->Selected()->Data); };
    form->HandleNeeded();

    // Two quick moves: the selection follows at once, the event only where it rests.
    tree->Select(first);
    tree->Select(second);
    EXPECT_EQ(tree->Selected(), second);
    EXPECT_TRUE(pages.empty());
    ASSERT_TRUE(ServeUntil([&] { return !pages.empty(); }));
    EXPECT_EQ(pages, std::vector<intptr_t>{2});

    // A mouse press tells a waiting change at once (the press itself lands below the rows).
    tree->Select(third);
    EXPECT_EQ(pages.size(), 1u);
    RECT client{};
    GetClientRect(tree->Handle(), &client);
    PostMessageA(tree->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, client.bottom - 3));
    SendMessageA(tree->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, client.bottom - 3));
    EXPECT_EQ(pages, (std::vector<intptr_t>{2, 3}));
}
