#pragma once
// Fonts and bitmaps of the class library: a font description (name, size, colour, style) with
// the GDI font made from it on first use, and device-independent bitmaps of 32-bit pixels.
#include "Classes.h"
#include "Types.h"
#include "WinHandles.h"

#include <cstdint>
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

// 32-bit pixels the program can reach, drawn onto any device context.
class TBitmap : public TPersistent {
public:
    // Copies rows top-down of 0xAARRGGBB pixels; a size of 0 empties the bitmap.
    void SetPixels(int width, int height, const uint32_t* pixels);
    // A new picture of the size, black with alpha 0, for filling in place through ScanLine.
    void SetSize(int width, int height);
    // A copy of the source's pixels (an empty source empties this one).
    void Assign(const TBitmap& source);
    uint32_t* ScanLine(int row) { return FBits + static_cast<ptrdiff_t>(row) * FWidth; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool Empty() const { return !FHandle; }
    HBITMAP Handle() const { return FHandle.Get(); }
    void Draw(HDC dc, int x, int y) const;
    // Rows top-down of 0xAARRGGBB pixels; nullptr when empty.
    const uint32_t* Pixels() const { return FBits; }
    // A 24-bit bottom-up Windows bitmap file, written whole or not at all; raises EFCreateError.
    void SaveToFile(const std::string& fileName) const;

private:
    TBitmapHandle FHandle;
    uint32_t* FBits = nullptr;
    int FWidth = 0;
    int FHeight = 0;
};
