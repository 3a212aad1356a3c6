#pragma once
// Text with an outline, for captions drawn over pictures.
#include "framework/Graphics.h"
#include "framework/Types.h"

#include <windows.h>

#include <string>

// Draws the text at the rectangle's top-left corner in textColor, after drawing it at every
// offset of OutlineOffsets(radius) around that corner in outlineColor. The device context's
// font, text colour and background mode are restored afterwards.
void DrawOutlinedText(HDC canvas, const std::string& text, const TRect& position, int radius, TColor outlineColor,
                      TColor textColor, TFont& font);
