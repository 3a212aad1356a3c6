#include "ControlsFixture.h"
#include "framework/StdCtrls.h"

TEST_F(ControlsFixture, EditTextFollowsTheWindowAndReportsChanges)
{
    auto* edit = Add<TEdit>();
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    edit->SetText("before");
    form->HandleNeeded();
    EXPECT_EQ(WindowText(edit->Handle()), "before");
    Type(edit, "typed", EN_CHANGE);
    EXPECT_EQ(edit->Text(), "typed");
    edit->SetText("set");
    EXPECT_EQ(WindowText(edit->Handle()), "set");
    EXPECT_EQ(changes, 3);
}

TEST_F(ControlsFixture, RadioButtonsOfOneParentExcludeEachOther)
{
    auto* group = Add<TGroupBox>();
    group->SetCaption("Start");
    auto* first = Add<TRadioButton>(group);
    auto* second = Add<TRadioButton>(group);
    auto* elsewhere = Add<TRadioButton>();
    first->SetChecked(true);
    elsewhere->SetChecked(true);
    form->HandleNeeded();
    EXPECT_EQ(SendMessageA(first->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    int clicks = 0;
    second->OnClick = [&](TObject*) { ++clicks; };
    Notify(second, BN_CLICKED);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(second->Checked());
    EXPECT_FALSE(first->Checked());
    EXPECT_EQ(SendMessageA(first->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(elsewhere->Checked());
}
