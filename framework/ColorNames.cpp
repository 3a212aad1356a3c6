#include "ColorNames.h"

#include "SysUtils.h"

namespace {

struct TColorName {
    TColor Color;
    const char* Name;
};

constexpr TColorName ColorNames[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clNone, "clNone"}, {clDefault, "clDefault"},
    {SysColor(0), "clScrollBar"}, {SysColor(1), "clBackground"}, {SysColor(2), "clActiveCaption"},
    {SysColor(3), "clInactiveCaption"}, {clMenu, "clMenu"}, {clWindow, "clWindow"},
    {SysColor(6), "clWindowFrame"}, {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"},
    {SysColor(9), "clCaptionText"}, {SysColor(10), "clActiveBorder"}, {SysColor(11), "clInactiveBorder"},
    {SysColor(12), "clAppWorkSpace"}, {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"}, {clBtnShadow, "clBtnShadow"}, {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"}, {SysColor(19), "clInactiveCaptionText"}, {clBtnHighlight, "clBtnHighlight"},
    {SysColor(21), "cl3DDkShadow"}, {SysColor(22), "cl3DLight"}, {SysColor(23), "clInfoText"},
    {SysColor(24), "clInfoBk"},
};

}  // namespace

std::string ColorToIdent(TColor color)
{
    for (const auto& c : ColorNames)
        if (c.Color == color)
            return c.Name;
    return {};
}

bool IdentToColor(std::string_view ident, TColor& color)
{
    for (const auto& c : ColorNames)
        if (SameText(c.Name, ident)) {
            color = c.Color;
            return true;
        }
    return false;
}
