#include "ControlsFixture.h"
#include "framework/ComboBox.h"

TEST_F(ControlsFixture, FixedComboChoosesOnlyItsItems)
{
    auto* combo = Add<TComboBox>();
    combo->SetItems({"Blues", "Rock", "Pop"});
    form->HandleNeeded();
    combo->SetText("Rock");
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETCURSEL, 0, 0), 1);
    combo->SetText("Polka");
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), "");
    int changes = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    SendMessageA(combo->Handle(), CB_SETCURSEL, 2, 0);
    Notify(combo, CBN_SELCHANGE);
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(combo->Text(), "Pop");
    EXPECT_EQ(changes, 1);
}

TEST_F(ControlsFixture, EditableComboShowsAnyTextAndTakesTypedText)
{
    auto* combo = Add<TComboBox>();
    combo->Style = csDropDown;
    combo->SetItems({"Blues", "Rock"});
    combo->SetText("(999)Other");  // before the window: shown when it is made
    form->HandleNeeded();
    EXPECT_EQ(WindowText(combo->Handle()), "(999)Other");
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetText("Blues");
    EXPECT_EQ(combo->ItemIndex(), 0);
    Type(combo, "Something", CBN_EDITCHANGE);
    EXPECT_EQ(combo->Text(), "Something");
    EXPECT_EQ(combo->ItemIndex(), -1);
}
