#include "menus/MenuControls.h"
#include "menus/MenuItem2000.h"
#include "menus/MenuUtils.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class MenuControls : public testing::Test {
protected:
    void SetUp() override
    {
        SetMenuControlBeep([this] { ++Beeps; });
        Parent = NewComponent<TMenuItem2000>(&Form);
        Item = Add("Name:");
        Dc = GetDC(nullptr);
    }
    void TearDown() override
    {
        ReleaseDC(nullptr, Dc);
        SetMenuControlBeep([] { MessageBeep(0); });
    }
    TMenuItem2000* Add(const std::string& caption)
    {
        auto* item = NewComponent<TMenuItem2000>(&Form);
        item->Caption = caption;
        Parent->Add(item);
        return item;
    }
    int Width(const std::string& text)
    {
        SIZE size{};
        GetTextExtentPoint32A(Dc, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    }

    TComponent Form;
    TMenuItem2000 *Parent = nullptr, *Item = nullptr;
    HDC Dc = nullptr;
    int Beeps = 0;
};

}  // namespace

TEST_F(MenuControls, EditBoxTypesBeepsCopiesAndPastesThroughTheClipboard)
{
    Item->SetControl(ctlEditbox);
    auto& edit = dynamic_cast<T_AM2000_EditControl&>(Item->ControlOptions());
    std::string changed;
    edit.OnChange = [&](TMenuItem2000* item, const std::string& text) {
        EXPECT_EQ(Item, item);
        changed = text;
    };
    edit.Buffer.MaxLength = 4;
    for (char c : std::string("abcde")) {
        char key = c;
        edit.KeyPress(key);
        EXPECT_EQ(0, key);  // the box takes the key
    }
    EXPECT_EQ("abcd", edit.Buffer.Text);
    EXPECT_EQ("abcd", changed);
    EXPECT_EQ(1, Beeps);  // full

    auto press = [&edit](WORD key, unsigned shift) {
        edit.KeyDown(key, shift);
        return key;
    };
    EXPECT_EQ(0, press(TMenuEditBuffer::vkHome, TMenuEditBuffer::ShiftKey));  // selects all
    press('C', TMenuEditBuffer::CtrlKey);
    EXPECT_EQ("abcd", PasteTextFromClipboard());
    press(TMenuEditBuffer::vkLeft, 0);  // collapses to the start
    press(TMenuEditBuffer::vkLeft, 0);
    EXPECT_EQ(2, Beeps);  // at position 0
    EXPECT_EQ(VK_F1, press(VK_F1, 0));  // not the box's key

    edit.Buffer.MaxLength = 0;
    CopyTextToClipboard("x\ty");
    press('V', TMenuEditBuffer::CtrlKey);
    EXPECT_EQ("x yabcd", edit.Buffer.Text);
    EXPECT_EQ("x yabcd", changed);

    const int width = edit.GetWidth(Dc);
    EXPECT_EQ(Width("Name:") + std::max(Width("x yabcd") + 10, MinEditWidth) + 5, width);
    SIZE sample{};
    const std::string hp = "Hpx yabcdName:";
    GetTextExtentPoint32A(Dc, hp.c_str(), static_cast<int>(hp.size()), &sample);
    EXPECT_EQ(sample.cy + 8, edit.GetHeight(Dc));
}

TEST_F(MenuControls, ButtonsOfAGroupAndTheirSizes)
{
    TMenuItem2000* other = Add("Other");
    for (TMenuItem2000* i : {Item, other}) {
        i->GroupIndex = 3;
        i->SetControl(ctlButton);
    }
    auto& first = dynamic_cast<T_AM2000_ButtonControl&>(Item->ControlOptions());
    auto& second = dynamic_cast<T_AM2000_ButtonControl&>(other->ControlOptions());
    Item->Click();
    EXPECT_TRUE(first.Down());
    other->Click();
    EXPECT_TRUE(second.Down());
    EXPECT_FALSE(first.Down());  // the group was reset
    second.AllowAllUp = false;
    second.SetDown(false);
    EXPECT_TRUE(second.Down());  // clicking a down button without all-up leaves it down
    SIZE size{};
    GetTextExtentPoint32A(Dc, "Name:", 5, &size);
    EXPECT_EQ(size.cy + 11, first.GetHeight(Dc));
    EXPECT_EQ(0, first.GetWidth(Dc));
}

TEST_F(MenuControls, TextWrapsAndBitmapsCountTheirGlyphs)
{
    Item->SetCaption("first line\\nsecond");
    Item->SetControl(ctlText);
    auto& text = dynamic_cast<T_AM2000_TextControl&>(Item->ControlOptions());
    SIZE line{};
    GetTextExtentPoint32A(Dc, "Hp", 2, &line);
    EXPECT_EQ(2 * line.cy + 6, text.GetHeight(Dc));
    text.IgnoreMargins = true;
    EXPECT_EQ(Width("first line") + 6, text.GetWidth(Dc));

    Item->SetControl(ctlBitmap);
    auto& bitmap = dynamic_cast<T_AM2000_BitmapControl&>(Item->ControlOptions());
    bitmap.SetBitmap(CreateCompatibleBitmap(Dc, 64, 16));
    bitmap.SetNumGlyphs(4);
    EXPECT_EQ(16, bitmap.GetWidth(Dc));
    EXPECT_EQ(16, bitmap.GetHeight(Dc));
    try {
        bitmap.SetNumGlyphs(0);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ("Value must be between 1 and 4.", e.Message);
    }
    EXPECT_EQ(4, bitmap.NumGlyphs());
}
