#pragma once
// The standard-command table's glyphs: a 16 x 16 image list filled from the glyph strips of
// the program's resources, one cell per table row with a glyph, in row order.
#include "MenuItemCacheCore.h"

#include <windows.h>
#include <commctrl.h>

// Made on first use; none when the resources are missing.
HIMAGELIST MenuItemCacheImages();
// Draws the caption's table glyph at (x, y): enabled as it is, disabled embossed in highlight
// and shadow. Nothing for a caption without a glyph.
void DrawGlyphOf(HDC dc, int x, int y, bool enabled, COLORREF highlight, COLORREF shadow, std::string_view caption);
// The same for a glyph index (ignored when out of range).
void DrawGlyphByIndex(HDC dc, int x, int y, bool enabled, COLORREF highlight, COLORREF shadow, int index);
