#include "menus/MenuControlsCore.h"
#include "menus/MenuUtilsCore.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

namespace {

struct TClipboard : IEditClipboard {
    std::string Content;
    bool HasText() const override { return !Content.empty(); }
    std::string Text() const override { return Content; }
    void SetText(const std::string& text) override { Content = text; }
};

using Buffer = TMenuEditBuffer;
const int Shift = Buffer::ShiftKey, Ctrl = Buffer::CtrlKey;

int SevenEach(std::string_view text) { return 7 * static_cast<int>(text.size()); }

}  // namespace

TEST(MenuEditBuffer, CaretSelectionAndEditingKeys)
{
    TClipboard clip;
    Buffer b;
    b.Text = "hello";
    b.SetCaret(0);
    // At the start Left, Backspace and Home beep and change nothing; at the end Right, Delete, End.
    for (uint16_t key : {Buffer::vkLeft, Buffer::vkBack, Buffer::vkHome}) {
        const auto r = b.KeyDown(key, 0, clip);
        EXPECT_TRUE(r.Beep && r.Handled && !r.Changed) << key;
    }
    b.SetCaret(5);
    for (uint16_t key : {Buffer::vkRight, Buffer::vkDelete, Buffer::vkEnd})
        EXPECT_TRUE(b.KeyDown(key, 0, clip).Beep) << key;

    b.KeyDown(Buffer::vkLeft, Shift, clip);
    b.KeyDown(Buffer::vkLeft, Shift, clip);
    EXPECT_EQ("lo", b.SelText());
    EXPECT_EQ(3, b.Caret());
    b.KeyDown(Buffer::vkRight, Shift, clip);  // shrinks from the caret's side
    EXPECT_EQ("o", b.SelText());
    b.KeyDown(Buffer::vkHome, Shift, clip);  // the anchor stays at the end
    EXPECT_EQ("hello", b.SelText());
    b.KeyDown(Buffer::vkRight, Shift, clip);
    EXPECT_EQ("ello", b.SelText());
    EXPECT_TRUE(b.KeyDown('C', Ctrl, clip).Handled);
    EXPECT_EQ("ello", clip.Content);
    EXPECT_TRUE(b.KeyDown(Buffer::vkBack, 0, clip).Changed);
    EXPECT_EQ("h", b.Text);
    EXPECT_EQ(1, b.Caret());

    b.Text = "abcdef";
    b.SetCaret(3);
    b.KeyDown(Buffer::vkBack, 0, clip);
    b.KeyDown(Buffer::vkDelete, 0, clip);
    EXPECT_EQ("abef", b.Text);
    b.KeyDown(Buffer::vkDelete, Ctrl, clip);  // without a selection: nothing
    EXPECT_EQ("abef", b.Text);
    b.KeyDown(Buffer::vkEnd, Shift, clip);
    b.KeyDown(Buffer::vkDelete, Shift, clip);  // cut
    EXPECT_EQ("ab", b.Text);
    EXPECT_EQ("ef", clip.Content);

    b.ReadOnly = true;
    EXPECT_TRUE(b.KeyDown(Buffer::vkBack, 0, clip).Beep);
    EXPECT_TRUE(b.KeyPress('x').Beep);
    EXPECT_EQ("ab", b.Text);
}

TEST(MenuEditBuffer, TypingPastingAndMaxLength)
{
    TClipboard clip;
    Buffer b;
    b.MaxLength = 5;
    for (char c : std::string("abc"))
        EXPECT_TRUE(b.KeyPress(c).Changed);
    clip.Content = "x\ty\r";
    EXPECT_TRUE(b.KeyDown('V', Ctrl, clip).Changed);  // a tab shows as a blank; cut to the room left
    EXPECT_EQ("abcx ", b.Text);
    const auto full = b.KeyPress('z');
    EXPECT_TRUE(full.Beep);
    EXPECT_FALSE(full.Changed);
    b.SelectAll();
    EXPECT_TRUE(b.KeyPress('z').Changed);  // typing over the selection fits
    EXPECT_EQ("z", b.Text);
    EXPECT_FALSE(b.KeyPress('\x07').Handled);

    Buffer unlimited;
    clip.Content = "a\tb";
    unlimited.KeyDown(Buffer::vkInsert, Shift, clip);
    EXPECT_EQ("a b", unlimited.Text);
    for (int i = 0; i < 300; ++i)
        unlimited.KeyPress('q');
    EXPECT_EQ(303u, unlimited.Text.size());
}

TEST(MenuEditBuffer, ScrollOffsetFollowsTheCaret)
{
    Buffer b;
    b.Text = std::string(20, 'w');
    b.SetCaret(20);
    b.KeepCaretVisible(SevenEach, 70);  // ten characters fit
    EXPECT_EQ(10, b.ScrollOffset());
    b.SetCaret(4);
    b.KeepCaretVisible(SevenEach, 70);
    EXPECT_EQ(4, b.ScrollOffset());
    b.SetCaret(20);
    b.KeepCaretVisible(SevenEach, 7);  // never beyond the length less 6
    EXPECT_EQ(14, b.ScrollOffset());
    b.Text = "abc";
    b.SetCaret(3);
    b.KeepCaretVisible(SevenEach, 0);
    EXPECT_EQ(0, b.ScrollOffset());
}

TEST(MenuControls, TextWrappingAndSizes)
{
    const struct {
        const char* Caption;
        int MaxWidth;
        std::vector<std::string> Lines;
    } cases[] = {
        {"one two three", 200, {"one two three"}},
        {"one two three", 6 + 7 * 7, {"one two", "three"}},
        {"one\\ntwo", 200, {"one", "two"}},
        {"one\rtwo\r\nthree", 200, {"one", "two", "three"}},
        {"unbreakable", 20, {"unbreakable"}},
        {"", 200, {""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Lines, WrapMenuText(c.Caption, c.MaxWidth, SevenEach)) << c.Caption;
    // The caption splitter's rules: a lone LF is no break; without escapes "\n" stays as it is.
    EXPECT_EQ((std::vector<std::string>{"a\nb"}), WrapMenuText("a\nb", 200, SevenEach));
    SetCaptionEscapes(false);
    EXPECT_EQ((std::vector<std::string>{"one\\ntwo"}), WrapMenuText("one\\ntwo", 200, SevenEach));
    SetCaptionEscapes(true);

    const TTextControlSize text = TextControlSize({49, 35}, 13, 20, 4, false);
    EXPECT_EQ(49 + 6 + 24, text.Width);
    EXPECT_EQ(2 * 13 + 6, text.Height);
    EXPECT_EQ(55, TextControlSize({49}, 13, 20, 4, true).Width);

    EXPECT_EQ(30 + 60 + 5, EditControlWidth(30, 50, 40, 0, 0));   // text + 10
    EXPECT_EQ(30 + 80 + 5, EditControlWidth(30, 50, 40, 80, 0));  // MinWidth
    EXPECT_EQ(30 + 45 + 5, EditControlWidth(30, 50, 40, 80, 45)); // MaxWidth limits
    EXPECT_EQ(21, EditControlHeight(13));
    EXPECT_EQ(24, ButtonControlHeight(13));

    for (int good : {1, 4})
        EXPECT_NO_THROW(CheckNumGlyphs(good));
    try {
        CheckNumGlyphs(5);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ("Value must be between 1 and 4.", e.Message);
    }
}
