#include "ControlsFixture.h"
#include "framework/Spin.h"

TEST_F(ControlsFixture, SpinEditKeepsItsRangeAndTheLastNumber)
{
    auto* spin = Add<TSpinEdit>();
    spin->MinValue = 0;
    spin->MaxValue = 100;
    spin->SetValue(250);
    EXPECT_EQ(spin->Value(), 100);
    form->HandleNeeded();
    EXPECT_EQ(WindowText(spin->Handle()), "100");
    struct Case { const char* typed; int value; };
    for (const Case& c : {Case{"42", 42}, Case{"abc", 42}, Case{"", 42}, Case{" 7 ", 7}, Case{"-5", 0}, Case{"x9", 0}}) {
        Type(spin, c.typed, EN_CHANGE);
        EXPECT_EQ(spin->Value(), c.value) << c.typed;
    }
}
