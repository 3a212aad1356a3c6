#pragma once
// What the controls hosted in menu items decide without a window: the one-line edit box's
// text, caret, selection and scroll offset under keys; the text control's line breaking; and
// the controls' sizes. Text widths come from the caller's measure function.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

using TTextWidth = std::function<int(std::string_view text)>;

// The clipboard as the edit box sees it.
class IEditClipboard {
public:
    virtual bool HasText() const = 0;
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;

protected:
    ~IEditClipboard() = default;
};

class TMenuEditBuffer {
public:
    // Virtual-key codes and shift bits the box answers.
    enum : uint16_t { vkBack = 0x08, vkEnd = 0x23, vkHome = 0x24, vkLeft = 0x25, vkRight = 0x27, vkInsert = 0x2D,
                      vkDelete = 0x2E };
    enum : unsigned { ShiftKey = 1, CtrlKey = 4 };

    std::string Text;
    int MaxLength = 0;  // 0: no limit
    bool ReadOnly = false;

    int Caret() const { return FCaret; }
    int SelStart() const { return FSelStart; }
    int SelLength() const { return FSelLength; }
    int ScrollOffset() const { return FScrollOffset; }
    std::string SelText() const { return Text.substr(static_cast<size_t>(FSelStart), static_cast<size_t>(FSelLength)); }
    void SetCaret(int position);  // clears the selection
    void SelectAll();

    struct TResult {
        bool Beep = false;     // the box beeps (MessageBeep 0)
        bool Changed = false;  // the text changed: OnChange, repaint
        bool Handled = false;  // the key was the box's
    };
    TResult KeyDown(uint16_t key, unsigned shift, IEditClipboard& clipboard);
    TResult KeyPress(char key);
    // Keeps the caret inside a box of boxWidth pixels; the offset stays within 0 and the text
    // length less 6 characters.
    void KeepCaretVisible(const TTextWidth& width, int boxWidth);

private:
    void MoveCaret(int position, bool extend);
    void ReplaceSelection(const std::string& text);
    bool Paste(IEditClipboard& clipboard);
    int FCaret = 0, FSelStart = 0, FSelLength = 0, FScrollOffset = 0;
};

// The text control's lines: the caption's lines (SplitCaptionLines: CR, and "\n" while escapes
// are on), each line word-wrapped at blanks to maxWidth - 6 (a
// word longer than that stays whole).
std::vector<std::string> WrapMenuText(std::string_view caption, int maxWidth, const TTextWidth& width);

// Sizes of the hosted controls.
struct TTextControlSize {
    int Width = 0, Height = 0;
};
TTextControlSize TextControlSize(const std::vector<int>& lineWidths, int lineHeight, int marginLeft,
                                 int marginRight, bool ignoreMargins);
int EditControlWidth(int captionWidth, int textWidth, int minimumEditWidth, int minWidth, int maxWidth);
int EditControlHeight(int sampleHeight);  // sampleHeight: the height of "Hp" + text + caption
int ButtonControlHeight(int captionHeight);
// Raises EConvertError "Value must be between 1 and 4." outside 1..4.
void CheckNumGlyphs(int value);
