#pragma once
// TBitmap32: the bitmap whose pixels are a top-down DIB section selected into its own memory
// device context, so GDI output (text, BitBlt) and direct pixel access work on the same pixels.
#include "framework/Graphics.h"
#include "graphics/Bitmap32Core.h"

#include <string>

class TBitmap32 : public TCustomBitmap32 {
public:
    TBitmap32();
    ~TBitmap32() override;

    // The DIB section and the memory device context; both empty while the bitmap is.
    HBITMAP Handle() const { return FHandle.Get(); }
    HDC DC() const { return FDC.Get(); }

    TFont& Font() { return FFont; }
    // Takes the font's description and lets the selected GDI font go.
    void SetFont(const TFont& value);

    // GDI text at (x, y): the bitmap's font and colour, transparent background, no clipping.
    void TextOut(int x, int y, const std::string& text);
    TSize TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }
    // Text blended in colour (alpha in its top byte), antialiased by drawing it 2^level times as
    // large and averaging (level 0..4; 0 takes GDI's own rendering as coverage).
    void DrawAntialiasedText(int x, int y, const std::string& text, int aaLevel, TColor32 color);

    // The whole bitmap 1:1 at (x, y) of a device context.
    void DrawToDC(HDC dc, int x, int y) const;

    TNotifyEvent OnHandleChanged;

protected:
    TColor32* AllocatePixels(int width, int height) override;
    void ReleasePixels() override;
    void HandleChanged() override;

private:
    void UpdateFont();
    void FontChanged();
    BITMAPINFO FInfo{};
    TBitmapHandle FHandle;
    TMemoryDC FDC;
    TFont FFont;
    HFONT FSelectedFont = nullptr;
};
