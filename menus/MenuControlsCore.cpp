#include "MenuControlsCore.h"

#include "MenuUtilsCore.h"
#include "framework/SysUtils.h"

#include <algorithm>

void TMenuEditBuffer::SetCaret(int position)
{
    FCaret = std::clamp(position, 0, static_cast<int>(Text.size()));
    FSelStart = FCaret;
    FSelLength = 0;
}

void TMenuEditBuffer::SelectAll()
{
    FSelStart = 0;
    FSelLength = static_cast<int>(Text.size());
    FCaret = FSelLength;
}

void TMenuEditBuffer::MoveCaret(int position, bool extend)
{
    position = std::clamp(position, 0, static_cast<int>(Text.size()));
    if (!extend) {
        SetCaret(position);
        return;
    }
    const int anchor = FSelLength == 0 ? FCaret : (FCaret == FSelStart ? FSelStart + FSelLength : FSelStart);
    FCaret = position;
    FSelStart = std::min(anchor, position);
    FSelLength = std::abs(anchor - position);
}

void TMenuEditBuffer::ReplaceSelection(const std::string& text)
{
    Text.replace(static_cast<size_t>(FSelStart), static_cast<size_t>(FSelLength), text);
    SetCaret(FSelStart + static_cast<int>(text.size()));
}

bool TMenuEditBuffer::Paste(IEditClipboard& clipboard)
{
    if (ReadOnly || !clipboard.HasText())
        return false;
    std::string text = clipboard.Text();
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 32)
            c = ' ';
    if (MaxLength > 0) {
        const int room = std::max(0, MaxLength - (static_cast<int>(Text.size()) - FSelLength));
        text.resize(std::min(text.size(), static_cast<size_t>(room)));
    }
    ReplaceSelection(text);
    return true;
}

TMenuEditBuffer::TResult TMenuEditBuffer::KeyDown(uint16_t key, unsigned shift, IEditClipboard& clipboard)
{
    TResult r;
    const int length = static_cast<int>(Text.size());
    const bool selection = FSelLength > 0;
    const bool shiftDown = shift & ShiftKey, ctrlDown = shift & CtrlKey;
    r.Handled = true;
    if (!selection && FCaret == 0 && (key == vkLeft || key == vkBack || key == vkHome)) {
        r.Beep = true;
        return r;
    }
    if (!selection && FCaret == length && (key == vkRight || key == vkDelete || key == vkEnd)) {
        r.Beep = true;
        return r;
    }
    if (ReadOnly && (key == vkBack || key == vkDelete)) {
        r.Beep = true;
        return r;
    }
    switch (key) {
    case vkLeft: MoveCaret(FCaret - 1, shiftDown); return r;
    case vkRight: MoveCaret(FCaret + 1, shiftDown); return r;
    case vkHome: MoveCaret(0, shiftDown); return r;
    case vkEnd: MoveCaret(length, shiftDown); return r;
    case vkBack:
        if (!selection)
            MoveCaret(FCaret - 1, true);
        ReplaceSelection("");
        r.Changed = true;
        return r;
    case vkDelete:
        if (shiftDown && selection)
            clipboard.SetText(SelText());
        if (ctrlDown && !selection)
            return r;
        if (!selection)
            MoveCaret(FCaret + 1, true);
        ReplaceSelection("");
        r.Changed = true;
        return r;
    case vkInsert:
        if (ctrlDown && selection)
            clipboard.SetText(SelText());
        else if (shiftDown)
            r.Changed = Paste(clipboard);
        return r;
    case 'C':
        if (ctrlDown && selection)
            clipboard.SetText(SelText());
        return r;
    case 'X':
        if (ctrlDown && selection && !ReadOnly) {
            clipboard.SetText(SelText());
            ReplaceSelection("");
            r.Changed = true;
        }
        return r;
    case 'V':
        if (ctrlDown)
            r.Changed = Paste(clipboard);
        return r;
    default:
        r.Handled = false;
        return r;
    }
}

TMenuEditBuffer::TResult TMenuEditBuffer::KeyPress(char key)
{
    TResult r;
    if (static_cast<unsigned char>(key) < 32)
        return r;
    r.Handled = true;
    if (ReadOnly || (MaxLength > 0 && static_cast<int>(Text.size()) - FSelLength >= MaxLength)) {
        r.Beep = true;
        return r;
    }
    ReplaceSelection(std::string(1, key));
    r.Changed = true;
    return r;
}

void TMenuEditBuffer::KeepCaretVisible(const TTextWidth& width, int boxWidth)
{
    if (FCaret < FScrollOffset)
        FScrollOffset = FCaret;
    while (FScrollOffset < FCaret &&
           width(std::string_view(Text).substr(static_cast<size_t>(FScrollOffset),
                                               static_cast<size_t>(FCaret - FScrollOffset))) > boxWidth)
        ++FScrollOffset;
    FScrollOffset = std::clamp(FScrollOffset, 0, std::max(0, static_cast<int>(Text.size()) - 6));
}

std::vector<std::string> WrapMenuText(std::string_view caption, int maxWidth, const TTextWidth& width)
{
    const std::vector<std::string> paragraphs = SplitCaptionLines(caption);  // breaks as every caption
    const int limit = maxWidth - 6;
    std::vector<std::string> lines;
    for (const std::string& paragraph : paragraphs) {
        std::string line;
        size_t at = 0;
        while (at <= paragraph.size()) {
            const size_t blank = paragraph.find(' ', at);
            const std::string word = paragraph.substr(at, blank == std::string::npos ? std::string::npos : blank - at);
            const std::string longer = line.empty() ? word : line + " " + word;
            if (!line.empty() && width(longer) > limit) {
                lines.push_back(line);
                line = word;
            } else {
                line = longer;
            }
            if (blank == std::string::npos)
                break;
            at = blank + 1;
        }
        lines.push_back(line);
    }
    return lines;
}

TTextControlSize TextControlSize(const std::vector<int>& lineWidths, int lineHeight, int marginLeft,
                                 int marginRight, bool ignoreMargins)
{
    TTextControlSize size;
    for (const int w : lineWidths)
        size.Width = std::max(size.Width, w);
    size.Width += 6 + (ignoreMargins ? 0 : marginLeft + marginRight);
    size.Height = static_cast<int>(lineWidths.size()) * lineHeight + 6;
    return size;
}

int EditControlWidth(int captionWidth, int textWidth, int minimumEditWidth, int minWidth, int maxWidth)
{
    int box = std::max({textWidth + 10, minimumEditWidth, minWidth});
    if (maxWidth > 0)
        box = std::min(box, maxWidth);
    return captionWidth + box + 5;
}

int EditControlHeight(int sampleHeight) { return sampleHeight + 8; }

int ButtonControlHeight(int captionHeight) { return captionHeight + 11; }

void CheckNumGlyphs(int value)
{
    if (value < 1 || value > 4)
        throw EConvertError("Value must be between 1 and 4.");
}
