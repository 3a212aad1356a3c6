#pragma once
// The Win32 side of the family's shared routines: unit start (system colours, the resource
// finder for skins, the check and radio marks), clipboard text and glyph painting.
#include <windows.h>
#include <commctrl.h>

#include <string>

class TCanvas;
class TCustomForm;
class TMenuItem;

// Runs once: installs GetSysColor and the program's resource finder into the cores and loads
// the system marks. Components of the family call it; so may a window before its skins.
void MenuUnitStart();
HBITMAP SystemCheckMark();
HBITMAP SystemRadioItem();
// The sunken pattern as a brush over an 8 x 8 DIB, made once from the 3D-highlight and
// button-face colours and the screen's depth; the caller never deletes it.
HBRUSH SunkenPatternBrush();

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
// Flag 2: shadow at (x+1, y+1), glyph one pixel up and left; flag 8: the basic colours lightened;
// flag 0x40: a glow in shadowColor behind the glyph, on the dc's colour at the glyph's origin when
// its right neighbour matches it.
void DrawGlyph(HDC dc, int x, int y, unsigned flags, COLORREF shadowColor, COLORREF transparent, HBITMAP bitmap,
               int numGlyphs, int index);
// The lightened form of a colour (flag 8).
COLORREF LightenedColor(COLORREF color);
// The glyph's shape in glowColor on a picture one pixel larger all round, filled with background
// (0x1FFFFFFF: what the dc shows there), blurred, then drawn with (x, y) the glyph's origin;
// pixels still of the background are left out.
void DrawGlyphGlow(HDC dc, int x, int y, COLORREF background, COLORREF glowColor, COLORREF transparent,
                   HBITMAP bitmap, int numGlyphs, int index);
// An image-list image: plain with none of flags 2, 8 and 0x40; else on the list's background
// (0xFF00FF for none), with flag 2 its shape in color at (x + 2, y + 2) under the image at
// (x - 1, y - 1), otherwise through DrawGlyph with the flags.
void DrawImageListGlyph(HDC dc, int x, int y, unsigned flags, COLORREF color, int width, int height, int index,
                        HIMAGELIST list);
// The disabled look of an image-list image (DrawGlyphShape on the list's background).
void DrawImageListShape(HDC dc, int x, int y, COLORREF highlight, COLORREF shadow, int width, int height, int index,
                        HIMAGELIST list);
// The icon of the form, else of the main form, else the program's, else the system's, at
// size x size.
void DrawFormIcon(HDC dc, const TCustomForm* form, int size, int y, int x);
// The form's own icon (small, else its class's), or none.
HICON FormIcon(HWND wnd);

// ---- Item tests: no item answers False, 0 or empty ----
std::string ItemCaption(const TMenuItem* item);
bool IsSeparatorItem(const TMenuItem* item);
bool ItemEnabled(const TMenuItem* item);
bool ItemVisible(const TMenuItem* item);
// Children, or an attached menu's (through its root); 0 while the item is being destroyed.
int ItemCount(const TMenuItem* item);
// ItemCount, else the entries of the item's NativeHandle.
int ItemCountWithNative(const TMenuItem* item);
bool HasSubItems(const TMenuItem* item);
bool NativeItemHasSubmenu(HMENU menu, int position);
// The canvas's width of the caption without its accelerator marks.
int TextWidthNoAccel(TCanvas& canvas, const std::string& caption);

// ---- Settings, caret and cursor ----
bool GradientCaptionsOn();
// Hides the caret and counts; RestoreCaret shows it as often as counted.
void HideMenuCaret();
void RestoreCaret();
int HiddenCaretCount();
// Sets the screen cursor when it differs, keeping the old one; restoring with -1 always puts it
// back, with another shape only while the screen still shows that shape.
void SetTempCursor(int cursor);
void RestoreTempCursor(int cursor);
