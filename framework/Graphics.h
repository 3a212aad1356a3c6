#pragma once
// Fonts of the class library: a description (name, size, colour, style) and the GDI font made
// from it on first use.
#include "Classes.h"
#include "Types.h"
#include "WinHandles.h"

#include <string>

using TFontStyles = unsigned;
inline constexpr TFontStyles fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8;

// The platform's RGB of a class-library colour (system colours looked up).
COLORREF ColorToRGB(TColor color);
// Pixels per logical inch of the screen.
int ScreenPixelsPerInch();

class TFont : public TPersistent {
public:
    TFont() = default;
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    void Assign(const TFont& source);

    const std::string& Name() const { return FName; }
    void SetName(const std::string& value);
    // Size in points; Height in pixels (negative: character height without leading).
    int Size() const;
    void SetSize(int value);
    int Height() const { return FHeight; }
    void SetHeight(int value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles value);
    BYTE Charset() const { return FCharset; }
    void SetCharset(BYTE value);

    // The GDI font; remade after a change. The font keeps it.
    HFONT Handle();

    TNotifyEvent OnChange;

private:
    void Changed();
    std::string FName = "MS Sans Serif";
    int FHeight = -11;  // 8 points at 96 pixels per inch
    TColor FColor = clWindowText;
    TFontStyles FStyle = 0;
    BYTE FCharset = DEFAULT_CHARSET;
    TFontHandle FHandle;
};
