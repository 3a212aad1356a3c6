#pragma once
// The class library's named colours and their identifiers as component streams store them.
#include "Types.h"

#include <string>
#include <string_view>

inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;
inline constexpr TColor clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080, clNavy = 0x800000,
                        clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080, clSilver = 0xC0C0C0,
                        clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF, clBlue = 0xFF0000,
                        clFuchsia = 0xFF00FF, clAqua = 0xFFFF00;
constexpr TColor SysColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(index)); }
inline constexpr TColor clMenu = SysColor(4), clWindow = SysColor(5), clMenuText = SysColor(7),
                        clHighlight = SysColor(13), clHighlightText = SysColor(14), clBtnShadow = SysColor(16),
                        clGrayText = SysColor(17), clBtnText = SysColor(18), clBtnHighlight = SysColor(20);

// "clWhite" for clWhite; empty for a colour without a name.
std::string ColorToIdent(TColor color);
// False for an unknown identifier (compared without regard to case).
bool IdentToColor(std::string_view ident, TColor& color);
