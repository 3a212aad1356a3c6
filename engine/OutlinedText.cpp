#include "OutlinedText.h"

#include "VisualHelpers.h"

void DrawOutlinedText(HDC canvas, const std::string& text, const TRect& position, int radius, TColor outlineColor,
                      TColor textColor, TFont& font)
{
    if (!canvas)
        return;
    TSelectObject selected(canvas, font.Handle());
    const int oldMode = SetBkMode(canvas, TRANSPARENT);
    const COLORREF oldColor = GetTextColor(canvas);
    const int length = static_cast<int>(text.size());

    SetTextColor(canvas, ColorToRGB(outlineColor));
    for (const TPoint& offset : OutlineOffsets(radius))
        TextOutA(canvas, position.left + offset.x, position.top + offset.y, text.c_str(), length);
    SetTextColor(canvas, ColorToRGB(textColor));
    TextOutA(canvas, position.left, position.top, text.c_str(), length);

    SetTextColor(canvas, oldColor);
    SetBkMode(canvas, oldMode);
}
