#pragma once
// The size of a text in a font, as the menus measure it.
#include <windows.h>

#include <string>

inline SIZE TextExtent(HFONT font, const std::string& text)
{
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    return size;
}
