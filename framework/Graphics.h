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

// A DIB section of 24 or 32 bits per pixel with the pointer to its bits; rows top-down unless
// asked bottom-up. Empty when the system refuses one.
class TDIBSection {
public:
    TDIBSection() = default;
    TDIBSection(int width, int height, WORD bitCount = 32, bool topDown = true);
    explicit operator bool() const { return static_cast<bool>(FHandle); }
    HBITMAP Get() const { return FHandle.Get(); }
    void* Bits() const { return FBits; }
    const BITMAPINFO& Info() const { return FInfo; }
    // Hands the bitmap over; the caller deletes it.
    HBITMAP Release() { return FHandle.Release(); }

private:
    BITMAPINFO FInfo{};
    TBitmapHandle FHandle;
    void* FBits = nullptr;
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

using TBrushStyle = int;
inline constexpr TBrushStyle bsSolid = 0, bsClear = 1;

// A canvas's pen: the GDI pen made from colour and width on first use.
class TPen {
public:
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    int Width() const { return FWidth; }
    void SetWidth(int value);
    HPEN Handle();

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenHandle FHandle;
};

// A canvas's brush: solid in its colour, or clear (text and shapes leave the background).
class TBrush {
public:
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TBrushStyle Style = bsSolid;
    HBRUSH Handle();

private:
    TColor FColor = clWhite;
    TBrushHandle FHandle;
};

// Drawing on a device context the canvas does not own, with its own pen, brush and font; each
// operation selects what it needs and puts the context's objects back.
class TCanvas {
public:
    explicit TCanvas(HDC dc = nullptr) : FHandle(dc) {}
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    HDC Handle() const { return FHandle; }
    void SetHandle(HDC dc) { FHandle = dc; }

    TPen Pen;
    TBrush Brush;
    TFont Font;

    void FillRect(const TRect& rect);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void TextOut(int x, int y, const std::string& text);
    // The text at (x, y), clipped to the rectangle, which the brush fills first unless clear.
    void TextRect(const TRect& rect, int x, int y, const std::string& text);
    TSize TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }
    void Draw(int x, int y, const TBitmap& bitmap) { bitmap.Draw(FHandle, x, y); }
    TColor Pixel(int x, int y) const { return static_cast<TColor>(GetPixel(FHandle, x, y)); }
    void SetPixel(int x, int y, TColor color) { ::SetPixel(FHandle, x, y, ColorToRGB(color)); }

private:
    // Font, colour and background mode for one text call.
    class TTextState;
    HDC FHandle;
};
