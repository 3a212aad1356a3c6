#include "MenuControls.h"

#include "MenuItem2000.h"
#include "MenuUtils.h"
#include "MenuUtilsCore.h"

#include <algorithm>

namespace {

TMenuBeep& Beeper()
{
    static TMenuBeep beep = [] { MessageBeep(0); };
    return beep;
}

void Beep()
{
    if (Beeper())
        Beeper()();
}

TTextWidth WidthOn(HDC dc)
{
    return [dc](std::string_view text) {
        SIZE size{};
        GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    };
}

int TextHeight(HDC dc, const std::string& text)
{
    SIZE size{};
    GetTextExtentPoint32A(dc, text.empty() ? "Hp" : text.c_str(), std::max(2, static_cast<int>(text.size())), &size);
    return size.cy;
}

// The clipboard of the system.
struct TSystemClipboard : IEditClipboard {
    bool HasText() const override { return IsClipboardFormatAvailable(CF_TEXT); }
    std::string Text() const override { return PasteTextFromClipboard(); }
    void SetText(const std::string& text) override { CopyTextToClipboard(text); }
};

}  // namespace

void SetMenuControlBeep(TMenuBeep beep) { Beeper() = std::move(beep); }

std::unique_ptr<T_AM2000_MenuControl> MakeMenuControl(T_AM2000_MenuControlType type, TMenuItem2000* item)
{
    switch (type) {
    case ctlButton: return std::make_unique<T_AM2000_ButtonControl>(item);
    case ctlEditbox: return std::make_unique<T_AM2000_EditControl>(item);
    case ctlBitmap: return std::make_unique<T_AM2000_BitmapControl>(item);
    case ctlText: return std::make_unique<T_AM2000_TextControl>(item);
    default: return std::make_unique<T_AM2000_MenuControl>(item);
    }
}

// ---- Text ----

int T_AM2000_TextControl::GetWidth(HDC dc)
{
    std::vector<int> widths;
    const TTextWidth width = WidthOn(dc);
    for (const std::string& line : WrapMenuText(Item()->GetCaption(), MaxMenuWidth, width))
        widths.push_back(width(line));
    return TextControlSize(widths, 0, MarginLeft, MarginRight, IgnoreMargins).Width;
}

int T_AM2000_TextControl::GetHeight(HDC dc)
{
    const auto lines = WrapMenuText(Item()->GetCaption(), MaxMenuWidth, WidthOn(dc));
    return TextControlSize(std::vector<int>(lines.size()), TextHeight(dc, ""), 0, 0, true).Height;
}

void T_AM2000_TextControl::Paint(HDC dc, const RECT& itemRect)
{
    RECT text = itemRect;
    text.left += IgnoreMargins ? 3 : MarginLeft;
    text.top += 3;
    text.right -= (IgnoreMargins ? 0 : MarginRight) + 3;
    std::string shown;
    for (const std::string& line : WrapMenuText(Item()->GetCaption(), MaxMenuWidth, WidthOn(dc)))
        shown += (shown.empty() ? "" : "\r\n") + line;
    const int mode = SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &text, DT_WORDBREAK | DT_NOPREFIX);
    SetBkMode(dc, mode);
}

// ---- Edit box ----

void T_AM2000_EditControl::Assign(const TPersistent& source)
{
    T_AM2000_MenuControl::Assign(source);
    if (const auto* other = dynamic_cast<const T_AM2000_EditControl*>(&source)) {
        AutoSelect = other->AutoSelect;
        MinWidth = other->MinWidth;
        MaxWidth = other->MaxWidth;
        Buffer.Text = other->Buffer.Text;
        Buffer.MaxLength = other->Buffer.MaxLength;
        Buffer.ReadOnly = other->Buffer.ReadOnly;
    }
}

int T_AM2000_EditControl::GetWidth(HDC dc)
{
    const TTextWidth width = WidthOn(dc);
    return EditControlWidth(width(StripAccelerators(Item()->GetCaption())), width(Buffer.Text), MinEditWidth, MinWidth,
                            MaxWidth);
}

int T_AM2000_EditControl::GetHeight(HDC dc)
{
    return EditControlHeight(TextHeight(dc, "Hp" + Buffer.Text + Item()->GetCaption()));
}

void T_AM2000_EditControl::Paint(HDC dc, const RECT& itemRect)
{
    const std::string caption = StripAccelerators(Item()->GetCaption());
    const TTextWidth width = WidthOn(dc);
    const int mode = SetBkMode(dc, TRANSPARENT);
    RECT captionRect = itemRect;
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &captionRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    RECT box = itemRect;
    box.left += width(caption) + 2;
    InflateRect(&box, -2, -2);
    box.left += 2;
    DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT);
    InflateRect(&box, -2, -2);
    FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
    FBoxWidth = box.right - box.left;
    const std::string visible = Buffer.Text.substr(static_cast<size_t>(std::min<int>(Buffer.ScrollOffset(), static_cast<int>(Buffer.Text.size()))));
    const COLORREF color = SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    DrawTextA(dc, visible.c_str(), static_cast<int>(visible.size()), &box, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SetTextColor(dc, color);
    SetBkMode(dc, mode);
}

void T_AM2000_EditControl::AfterKey(const TMenuEditBuffer::TResult& result, HDC dc)
{
    if (result.Beep)
        Beep();
    if (!result.Changed)
        return;
    Buffer.KeepCaretVisible(WidthOn(dc), FBoxWidth > 0 ? FBoxWidth : MinEditWidth);
    if (OnChange)
        OnChange(Item(), Buffer.Text);
    Item()->Changed(3);
}

void T_AM2000_EditControl::KeyDown(WORD& key, unsigned shift)
{
    Busy = true;
    TSystemClipboard clipboard;
    const auto result = Buffer.KeyDown(key, shift, clipboard);
    if (result.Handled)
        key = 0;
    const HDC dc = GetDC(nullptr);
    AfterKey(result, dc);
    ReleaseDC(nullptr, dc);
    Busy = false;
    if (FreeWhenDone)
        std::unique_ptr<T_AM2000_MenuControl> replaced(this);  // the item let go of it meanwhile
}

void T_AM2000_EditControl::KeyPress(char& key)
{
    Busy = true;
    const auto result = Buffer.KeyPress(key);
    if (result.Handled)
        key = 0;
    const HDC dc = GetDC(nullptr);
    AfterKey(result, dc);
    ReleaseDC(nullptr, dc);
    Busy = false;
    if (FreeWhenDone)
        std::unique_ptr<T_AM2000_MenuControl> replaced(this);  // the item let go of it meanwhile
}

// ---- Button ----

int T_AM2000_ButtonControl::GetHeight(HDC dc) { return ButtonControlHeight(TextHeight(dc, Item()->GetCaption())); }

void T_AM2000_ButtonControl::SetDown(bool value)
{
    if (value == FDown)
        return;
    if (value) {
        if (TMenuItem* parent = Item()->Parent())
            for (int k = 0; k < parent->Count(); ++k) {
                auto* other = dynamic_cast<TMenuItem2000*>(parent->Items(k));
                if (other && other != Item() && other->GroupIndex == Item()->GroupIndex && other->Control() == ctlButton)
                    if (auto* button = dynamic_cast<T_AM2000_ButtonControl*>(&other->ControlOptions()))
                        button->FDown = false;
            }
    } else if (!AllowAllUp) {
        return;
    }
    FDown = value;
    if (!Item()->InState(TComponent::csLoading | TComponent::csDestroying))
        RefreshAllMenus();
}

void T_AM2000_ButtonControl::Paint(HDC dc, const RECT& itemRect)
{
    RECT face = itemRect;
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (FDown ? DFCS_PUSHED : 0) | (BorderFrame ? 0 : DFCS_FLAT));
    const std::string caption = Item()->GetCaption();
    const int mode = SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &face, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    SetBkMode(dc, mode);
}

// ---- Bitmap ----

T_AM2000_BitmapControl::~T_AM2000_BitmapControl()
{
    if (FBitmap)
        DeleteObject(FBitmap);
}

void T_AM2000_BitmapControl::SetNumGlyphs(int value)
{
    CheckNumGlyphs(value);
    FNumGlyphs = value;
}

void T_AM2000_BitmapControl::SetBitmap(HBITMAP bitmap)
{
    if (FBitmap)
        DeleteObject(FBitmap);
    FBitmap = bitmap;
}

int T_AM2000_BitmapControl::GetWidth(HDC)
{
    BITMAP info{};
    return FBitmap && GetObjectA(FBitmap, sizeof info, &info) ? info.bmWidth / FNumGlyphs : 0;
}

int T_AM2000_BitmapControl::GetHeight(HDC)
{
    BITMAP info{};
    return FBitmap && GetObjectA(FBitmap, sizeof info, &info) ? info.bmHeight : 0;
}

void T_AM2000_BitmapControl::Paint(HDC dc, const RECT& itemRect)
{
    if (!FBitmap)
        return;
    // Glyph 0 normal, 1 disabled when the strip has it.
    const int index = !Item()->GetEnabled() && FNumGlyphs > 1 ? 1 : 0;
    const HDC source = CreateCompatibleDC(dc);
    const HGDIOBJ old = SelectObject(source, FBitmap);
    const int w = GetWidth(dc), h = GetHeight(dc);
    BitBlt(dc, itemRect.left, itemRect.top, w, h, source, index * w, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}
