#pragma once
// The Win32 side of the family's shared routines: unit start (system colours, the resource
// finder for skins, the check and radio marks), clipboard text and glyph painting.
#include <windows.h>

#include <string>

// Runs once: installs GetSysColor and the program's resource finder into the cores and loads
// the system marks. Components of the family call it; so may a window before its skins.
void MenuUnitStart();
HBITMAP SystemCheckMark();
HBITMAP SystemRadioItem();

class T_AM2000_Font;
// The GDI description of a menu font, turned by escapement (tenths of a degree).
LOGFONTA MenuLogFont(const T_AM2000_Font& font, int escapement = 0);

// CF_TEXT in a movable block; nothing when the clipboard cannot be opened.
void CopyTextToClipboard(const std::string& text);
std::string PasteTextFromClipboard();

// A bottom-up 24-bit DIB section.
HBITMAP CreateDIB24(HDC dc, int width, int height, void*& bits);
// The bitmap's pixels at 24 bits (sources of fewer bits converted first), rows bottom-up with
// the stride rounded to whole 32-bit words. "Insufficient bit count in the bitmap!" when the bits
// cannot be had at 24 bits. A transparent colour of 0x1FFFFFFF becomes the bottom-left pixel.
struct TBitmapBits24 {
    std::string Bits;
    int Width = 0, Height = 0, Stride = 0;
    COLORREF Transparent = 0x1FFFFFFF;
    COLORREF Pixel(int x, int y) const;  // y from the top
};
TBitmapBits24 GetBitmapBits24(HBITMAP bitmap, COLORREF transparent);

// Every pixel that is not transparent and whose R + G + B is below 701: first in highlight one
// pixel right and down, then in shadow (0x1FFFFFFF skips a colour). The disabled look.
void DrawGlyphShape(HDC dc, int x, int y, COLORREF transparent, COLORREF highlight, COLORREF shadow,
                    HBITMAP bitmap, int numGlyphs, int index);
// Flag 2: shadow at (x+1, y+1), glyph one pixel up and left; flag 8: the basic colours lightened.
void DrawGlyph(HDC dc, int x, int y, unsigned flags, COLORREF shadowColor, COLORREF transparent, HBITMAP bitmap,
               int numGlyphs, int index);
// The lightened form of a colour (flag 8).
COLORREF LightenedColor(COLORREF color);
