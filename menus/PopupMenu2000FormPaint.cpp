// The menu window's painting: frame, rows, separators, expand button and scroll bar go into the
// back buffer; the buffer reaches the screen in one copy.
#include "PopupMenu2000Form.h"

#include "MenuItemCache.h"
#include "MenuUtils.h"
#include "SkinPictures.h"
#include "framework/ImgList.h"

#include <algorithm>

using M = T_AM2000_Margins;
using C = T_AM2000_Colors;

namespace {

constexpr COLORREF NoColor = 0x1FFFFFFF;

void Fill(HDC dc, const RECT& r, COLORREF color)
{
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    const COLORREF old = SetBkColor(dc, color);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

void Band(HDC dc, RECT r, int width, COLORREF topLeft, COLORREF bottomRight)
{
    for (int i = 0; i < width; ++i) {
        Fill(dc, RECT{r.left, r.top, r.right - 1, r.top + 1}, topLeft);
        Fill(dc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
        Fill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
        Fill(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
        InflateRect(&r, -1, -1);
    }
}

// The submenu arrow; right to left it points left, mirrored at the rectangle's left edge.
void Arrow(HDC dc, int left, int right, int top, int bottom, COLORREF color, bool rightToLeft)
{
    const int y = (top + bottom - 5) / 2;
    POINT points[3] = {{right - 8, y}, {right - 8, y + 6}, {right - 5, y + 3}};
    if (rightToLeft)
        for (POINT& p : points)
            p.x = left + (right - p.x) - 1;
    const HBRUSH brush = CreateSolidBrush(color);
    const HPEN pen = CreatePen(PS_SOLID, 1, color);
    const HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
    Polygon(dc, points, 3);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

COLORREF HalfToWhite(COLORREF c)
{
    return RGB((GetRValue(c) + 255) / 2, (GetGValue(c) + 255) / 2, (GetBValue(c) + 255) / 2);
}

void PaintTitleBand(HDC dc, const T_AM2000_Title& title, const TSkinPicture& picture, const TRect& band, COLORREF menu)
{
    const RECT r{band.left, band.top, band.right, band.bottom};
    Fill(dc, r, menu);
    if (title.ColorBegin == title.ColorEnd) {
        if (title.ColorBegin != clNone)
            Fill(dc, r, static_cast<COLORREF>(ResolveColor(title.ColorBegin)));
    } else {
        const auto begin = static_cast<uint32_t>(ResolveColor(title.ColorBegin));
        const auto end = static_cast<uint32_t>(ResolveColor(title.ColorEnd));
        for (const TGradientStrip& strip : TitleGradient(title.Gradient, title.GradientDirection, band, begin, end))
            Fill(dc, RECT{strip.Rect.left, strip.Rect.top, strip.Rect.right, strip.Rect.bottom}, strip.Color);
    }
    picture.Draw(dc, {CentredCopy(band, picture.Width(), picture.Height())});
    if (title.Text.empty())
        return;
    const T_AM2000_Font& f = title.Font();
    const bool side = title.Position == atLeft || title.Position == atRight;
    const int escapement = side ? (title.TextDirection == tdForward ? 900 : 2700) : 0;
    LOGFONTA lf = MenuLogFont(f, escapement);
    lf.lfOutPrecision = OUT_TT_PRECIS;  // a turned text needs an outline font
    const HFONT font = CreateFontIndirectA(&lf);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    SetTextColor(dc, static_cast<COLORREF>(ResolveColor(f.Color)));
    SIZE size{};
    GetTextExtentPoint32A(dc, title.Text.c_str(), static_cast<int>(title.Text.size()), &size);
    const TTitleText place =
        TitleTextPlace(band, title.Position, title.Alignment, title.TextDirection, size.cx, size.cy);
    TextOutA(dc, place.Origin.x, place.Origin.y, title.Text.c_str(), static_cast<int>(title.Text.size()));
    RestoreDC(dc, saved);
    DeleteObject(font);
}

// The tear-off bar: flat with a grip, or a caption bar in the system's caption colours. Where the
// menu colour would show, a skin's background picture shows instead.
void PaintTearOffBar(HDC dc, const TTearOffBar& bar, bool selected, bool flat, const T_AM2000_Colors& colors,
                     const TSkinPictures& pictures)
{
    const auto color = [&colors](C::Role role) { return static_cast<COLORREF>(ResolveColor(colors.Get(role))); };
    const auto menu = [&](const RECT& r) {
        if (pictures.HasBackground())
            pictures.CopyBackground(dc, r);
        else
            Fill(dc, r, color(C::Menu));
    };
    const RECT r = bar.Bar;
    if (flat) {
        if (selected) {
            Fill(dc, r, color(C::Highlight));
            Band(dc, r, 1, color(C::Frame), color(C::Frame));
        } else {
            menu(r);
        }
        for (const TRect& line : bar.Grip)
            Fill(dc, line, selected ? color(C::Frame) : color(C::DisabledText));
    } else {
        const COLORREF begin = GetSysColor(selected ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
        const COLORREF end = GetSysColor(selected ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION);
        BOOL gradient = FALSE;
        if (SystemParametersInfoA(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0) && gradient) {
            for (const TGradientStrip& strip : TitleGradient(grLinear, gdHorizontal, bar.Bar, begin, end))
                Fill(dc, strip.Rect, strip.Color);
        } else {
            Fill(dc, r, begin);
        }
    }
    menu(bar.Strip);
}

// An item background picture as a nine-part frame in the skin's item corners.
void DrawItemPicture(HDC dc, const TSkinPicture& picture, const T_AM2000_Skin& skin, const RECT& r, T_AM2000_its its)
{
    picture.Draw(dc, NinePartCopies(TRect(r), picture.Width(), picture.Height(), skin.ItemCornerWidth,
                                    skin.ItemCornerHeight, its & ItsBit(isHiddenPrev), its & ItsBit(isHiddenSucc)));
}

bool CuesShown()
{
    BOOL on = FALSE;
    return !SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &on, 0) || on;
}

}  // namespace

COLORREF TPopupMenu2000Form::Color(C::Role role) const
{
    return static_cast<COLORREF>(ResolveColor(const_cast<T_AM2000_MenuOptions&>(FOptions).Colors().Get(role)));
}

bool TPopupMenu2000Form::ColorNone(C::Role role) const
{
    return const_cast<T_AM2000_MenuOptions&>(FOptions).Colors().Get(role) == clNone;
}

void TPopupMenu2000Form::FillSunken(HDC dc, const RECT& r) const
{
    if (!ColorNone(C::Sunken))
        Fill(dc, r, Color(C::Sunken));
    else if (r.right > r.left && r.bottom > r.top)
        FillRect(dc, &r, SunkenPatternBrush());
}

std::string TPopupMenu2000Form::RowCaption(int row, bool* isDefault) const
{
    const TRowSource& s = FSources[static_cast<size_t>(FLayout.Rows[static_cast<size_t>(row)].Item)];
    if (s.Item) {
        if (isDefault)
            *isDefault = s.Item->Default;
        auto* skinned = dynamic_cast<TMenuItem2000*>(s.Item);
        return skinned ? skinned->GetCaption() : s.Item->Caption;
    }
    return FInputs[static_cast<size_t>(FLayout.Rows[static_cast<size_t>(row)].Item)].Caption;
}

T_AM2000_its TPopupMenu2000Form::RowState(int row) const
{
    T_AM2000_its its = ItsBit(Order().Bit);
    const TRowSource& s = FSources[static_cast<size_t>(FLayout.Rows[static_cast<size_t>(row)].Item)];
    if (s.Item) {
        auto* skinned = dynamic_cast<TMenuItem2000*>(s.Item);
        if (skinned ? skinned->GetChecked() : s.Item->Checked)
            its |= ItsBit(isChecked);
        if (s.Item->AutoCheck)
            its |= ItsBit(isCheckable);
        if (!(skinned ? skinned->GetEnabled() : s.Item->Enabled))
            its |= ItsBit(isDisabled);
        if (s.Item->Default)
            its |= ItsBit(isDefault);
        if (s.Item->RadioItem)
            its |= ItsBit(isRadio);
        if (s.Item->Count() > 0 || (skinned && skinned->AttachMenu()) || s.Item->SubMenu)
            its |= ItsBit(isSubmenu);
    } else {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU;
        GetMenuItemInfoA(FRootHandle, static_cast<UINT>(s.Native), TRUE, &info);
        if (info.fState & MFS_CHECKED)
            its |= ItsBit(isChecked);
        if (info.fState & (MFS_GRAYED | MFS_DISABLED))
            its |= ItsBit(isDisabled);
        if (info.fState & MFS_DEFAULT)
            its |= ItsBit(isDefault);
        if (info.fType & MFT_RADIOCHECK)
            its |= ItsBit(isRadio);
        if (info.hSubMenu)
            its |= ItsBit(isSubmenu);
    }
    if (State(wsHiddenShown) && !State(wsHiddenAsRegular)) {
        // The bits look two rows each way: those rows are enough (the menu's ends stay ends).
        const int from = std::max(0, row - 2), to = std::min(RowCount() - 1, row + 2);
        std::vector<THiddenRow> rows;
        for (int i = from; i <= to; ++i) {
            auto* item = dynamic_cast<TMenuItem2000*>(RowItem(i));
            rows.push_back(THiddenRow{item && item->GetHidden(), IsSeparatorCaption(RowCaption(i))});
        }
        its |= HiddenRowBits(rows, static_cast<size_t>(row - from), FOptions.Draggable());
    }
    if (row == FSelection)
        its |= ItsBit(isSelected);
    if (row == FSelection && !(its & ItsBit(isDisabled)) &&
        ((GetKeyState(VK_LBUTTON) < 0 || GetKeyState(VK_RBUTTON) < 0) || row == FPressedRow))
        its |= ItsBit(isPressed);
    if (State(wsAlwaysCues) || CuesShown())
        its |= ItsBit(isShowAccelerators);
    if (State(wsThreeD))
        its |= ItsBit(isCtl3d);
    if (FPictures->HasBackground())
        its |= ItsBit(isGraphBack);
    return its;
}

void TPopupMenu2000Form::Paint()
{
    if (!FBufferDC || (FLayout.Rows.empty() && !State(wsFullRepaint)))
        return;
    if (State(wsAnimating) && IsAlphaKind(FEffective) && !State(wsFullRepaint))
        return;
    const bool full = State(wsFullRepaint);
    SetBkMode(FBufferDC, TRANSPARENT);
    SelectObject(FBufferDC, FFont);
    if (full) {
        FPictures->Update(FOptions.Skin(), FOptions.Title());
        FPictures->MakeBackground(FOptions.Skin(), FBufferWidth, FBufferHeight, Color(C::Menu));
    }
    if (full)
        PaintFrame();
    if (full && FOptions.Title().Visible)
        PaintTitleBand(FBufferDC, FOptions.Title(), FPictures->Title(),
                       TitleBandRect(FLayoutInput, FBufferWidth, FBufferHeight), Color(C::Menu));
    const T_AM2000_MenuItemRect rect =
        MenuItemRect(FLayout, FLayoutInput, FBufferWidth, !ColorNone(C::Gutter), State(wsScroll));
    if (FOptions.Draggable() && !FLayoutInput.Floating && (full || FSelection == -2 || FPrevSelection == -2)) {
        const bool firstHidden = !FLayout.Rows.empty() && (RowState(FFirstRow) & ItsBit(isHidden));
        const int rowsTop = FLayout.Rows.empty() ? FBufferHeight : FLayout.FirstTop;
        const TTearOffBar bar = TearOffBar(rect, FSelection == -2, firstHidden, rowsTop);
        PaintTearOffBar(FBufferDC, bar, FSelection == -2, FOptions.Flags() & FlagBit(mfXpControls),
                        FOptions.Colors(), *FPictures);
    }
    const bool wideSelection = FOptions.Flags() & FlagBit(mfNoSharpJoints);
    for (int row = FFirstRow; row <= FLastRow && row < RowCount(); ++row)
        if (full || row == FSelection || row == FPrevSelection) {
            if (!full && wideSelection && row == FPrevSelection && row != FSelection) {
                // The old selection reached over the border: the frame beside it comes back.
                const int shift = FLayout.Rows[static_cast<size_t>(FFirstRow)].Top - FLayout.FirstTop;
                const TMenuRow& r = FLayout.Rows[static_cast<size_t>(row)];
                const int saved = SaveDC(FBufferDC);
                IntersectClipRect(FBufferDC, 0, r.Top - shift, FBufferWidth, r.Top - shift + r.Height);
                PaintFrame();
                if (FOptions.Title().Visible)
                    PaintTitleBand(FBufferDC, FOptions.Title(), FPictures->Title(),
                                   TitleBandRect(FLayoutInput, FBufferWidth, FBufferHeight), Color(C::Menu));
                RestoreDC(FBufferDC, saved);
            }
            PaintRow(row);
        }
    if (State(wsHasHidden) && (full || FSelection == -3 || FPrevSelection == -3))
        PaintExpandButton();
    if (State(wsScroll))
        PaintScrollBar();
    if (!State(wsAnimating) && Width() > 0 && HandleAllocated())
        CopyToScreen(nullptr);
    SetState(wsFullRepaint, false);
    FPrevSelection = FSelection;
}

void TPopupMenu2000Form::PaintFrame()
{
    RECT r{0, 0, FBufferWidth, FBufferHeight};
    const bool picture = FPictures->HasBackground();
    if (picture)
        FPictures->CopyBackground(FBufferDC, r);
    else
        Fill(FBufferDC, r, Color(C::Menu));
    if (State(wsThreeD)) {
        DrawEdge(FBufferDC, &r, EDGE_RAISED, BF_RECT);
        InflateRect(&r, -2, -2);
    }
    const int bevel = FOptions.Margins().Get(M::Bevel), inner = FOptions.Margins().Get(M::BevelInner);
    const int border = FOptions.Margins().Get(M::Border);
    if (bevel > 0) {
        Band(FBufferDC, r, bevel, Color(C::Bevel), Color(C::BevelShadow));
        InflateRect(&r, -bevel, -bevel);
    }
    if (inner > 0) {
        Band(FBufferDC, r, inner, Color(C::BevelInner), Color(C::BevelInnerShadow));
        InflateRect(&r, -inner, -inner);
    }
    if (border > 0 && !picture) {  // with a picture the bands are the picture's
        Band(FBufferDC, r, border, Color(C::Border), Color(C::Border));
        // A hidden run that reaches the menu's end takes the band there into its sunken look.
        if (RowCount() > 0 && (RowState(0) & ItsBit(isHiddenPrev)))
            FillSunken(FBufferDC, RECT{r.left, r.top, r.right, r.top + border});
        if (RowCount() > 0 && (RowState(RowCount() - 1) & ItsBit(isHiddenSucc)))
            FillSunken(FBufferDC, RECT{r.left, r.bottom - border, r.right, r.bottom});
    }
    if (!IsRectEmpty(&FFrameOpening))
        Fill(FBufferDC, FFrameOpening, Color(C::Menu));
}

void TPopupMenu2000Form::PaintRow(int row)
{
    const HDC dc = FBufferDC;
    const TMenuRow& r = FLayout.Rows[static_cast<size_t>(row)];
    const int shift = FLayout.Rows[static_cast<size_t>(FFirstRow)].Top - FLayout.FirstTop;
    const int top = r.Top - shift, bottom = top + r.Height;
    const bool gutter = !ColorNone(C::Gutter);
    T_AM2000_MenuItemRect rect = MenuItemRect(FLayout, FLayoutInput, FBufferWidth, gutter, State(wsScroll));
    rect.ItemTop = top;
    rect.ItemBottom = bottom;
    const RECT rowRect{rect.ContentLeft, top, rect.ContentRight, bottom};
    bool isDefault = false;
    const std::string caption = RowCaption(row, &isDefault);
    const T_AM2000_its its = RowState(row);
    const T_AM2000_Flags flags = FOptions.Flags();
    const T_AM2000_Margins& margins = FOptions.Margins();
    const bool hidden = its & ItsBit(isHidden), graphBack = its & ItsBit(isGraphBack);
    if (graphBack)
        FPictures->CopyBackground(dc, rowRect);
    if (IsSeparatorCaption(caption)) {
        PaintSeparator(rowRect, caption, its);
        return;
    }
    const bool selected = its & ItsBit(isSelected), disabled = its & ItsBit(isDisabled);
    const bool checked = its & ItsBit(isChecked);
    const bool highlight = selected && !(disabled && (flags & FlagBit(mfNoHighDisabled)));

    // Glyph source.
    const TRowSource& source = FSources[static_cast<size_t>(r.Item)];
    const TCaptionParts parts = SplitCaption(caption);
    int glyph = -1;
    TImageList* images = nullptr;
    int imageIndex = -1;
    if (source.Item) {
        auto* skinned = dynamic_cast<TMenuItem2000*>(source.Item);
        imageIndex = skinned ? skinned->GetImageIndex() : source.Item->ImageIndex;
        TComponent* list = source.Item->Parent() && source.Item->Parent()->SubMenuImages
                               ? source.Item->Parent()->SubMenuImages
                               : FMenu ? FMenu->Images : nullptr;
        if (FMenu && disabled && FMenu->DisabledImages)
            list = FMenu->DisabledImages;
        else if (FMenu && selected && FMenu->HotImages)
            list = FMenu->HotImages;
        images = dynamic_cast<TImageList*>(list);
        if (!images || imageIndex < 0)
            glyph = MenuItemCache().ImageIndexOf(parts.Caption);
    } else {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID;
        GetMenuItemInfoA(FRootHandle, static_cast<UINT>(source.Native), TRUE, &info);
        const char* name = SystemCommandGlyphName(info.wID);
        glyph = MenuItemCache().ImageIndexOf(name ? std::string_view(name) : std::string_view(parts.Caption));
    }
    const bool hasImage = images && imageIndex >= 0;
    // The item's own bitmap comes after image lists and the standard-command glyph.
    auto* skinnedItem = dynamic_cast<TMenuItem2000*>(source.Item);
    const TBitmap* bitmap = !hasImage && glyph < 0 && skinnedItem && !skinnedItem->GetBitmap().Empty()
                                ? &skinnedItem->GetBitmap()
                                : nullptr;
    const bool hasGlyph = hasImage || glyph >= 0 || bitmap;

    // Background.
    const T_AM2000_Skin& skin = FOptions.Skin();
    RECT back = rowRect;
    const bool gutterStrip = gutter && margins.Get(M::Gutter) > 0 && margins.Get(M::Left) >= margins.Get(M::Gutter);
    if (gutterStrip) {
        const int gutterWidth = margins.Get(M::Gutter), border = margins.Get(M::Border);
        const RECT strip = RightToLeft() ? RECT{rowRect.right - gutterWidth, top, rowRect.right + border, bottom}
                                         : RECT{rowRect.left - border, top, rowRect.left + gutterWidth, bottom};
        Fill(dc, strip, Color(C::Gutter));
        (RightToLeft() ? back.right : back.left) = RightToLeft() ? strip.left : strip.right;
    }
    const bool skinSelected = selected && FPictures->Has(T_AM2000_Skin::ItemBackgroundHighlight);
    if (skinSelected || (hidden && FPictures->Has(T_AM2000_Skin::ItemBackgroundSunken))) {
        const TItemPicture which = ItemBackgroundPicture(its, FPictures->Has(T_AM2000_Skin::ItemBackgroundPressed));
        const auto picture = which == TItemPicture::Pressed     ? T_AM2000_Skin::ItemBackgroundPressed
                             : which == TItemPicture::Highlight ? T_AM2000_Skin::ItemBackgroundHighlight
                                                                : T_AM2000_Skin::ItemBackgroundSunken;
        // A selected item without a glyph is highlighted over the glyph column too.
        DrawItemPicture(dc, FPictures->Get(picture), skin, skinSelected && !hasGlyph ? rowRect : back, its);
    } else if (hidden) {
        const TRect sunken = HiddenRowFill(TRect(rowRect.left, top, rowRect.right, bottom), margins.Get(M::Border), its,
                                           gutterStrip ? margins.Get(M::Gutter) : 0, RightToLeft());
        if (!(graphBack && ColorNone(C::Sunken)))
            FillSunken(dc, sunken);
        // The band's edges: none where the neighbour is hidden too, so a run reads as one band.
        if (its & ItsBit(isCtl3d)) {
            if (!(its & ItsBit(isHiddenPrev)))
                Fill(dc, RECT{sunken.left, top - 1, sunken.right, top}, Color(C::Line));
            if (!(its & ItsBit(isHiddenSucc)))
                Fill(dc, RECT{sunken.left, bottom - 1, sunken.right, bottom}, Color(C::LineShadow));
        }
    } else if (highlight) {
        RECT sel = rowRect;
        if (flags & FlagBit(mfNoSharpJoints))
            InflateRect(&sel, margins.Get(M::Border) + margins.Get(M::BevelInner), 0);
        if (!(graphBack && ColorNone(C::Highlight)))
            Fill(dc, sel, (its & ItsBit(isPressed)) ? Color(C::Pressed) : Color(C::Highlight));
    } else if (!graphBack) {
        Fill(dc, back, Color(C::Menu));
    }

    const bool mark = (checked || (its & ItsBit(isRadio)) || (its & ItsBit(isCheckable))) && !hasGlyph;
    const auto markPicture = (its & ItsBit(isRadio)) ? T_AM2000_Skin::Radio : T_AM2000_Skin::CheckMark;
    const RECT box{rect.GlyphLeft, top + (hidden ? 1 : 0), rect.GlyphLeft + rect.GlyphWidth - 1, bottom - (hidden ? 1 : 0)};
    if ((hasGlyph || (mark && checked)) && !(flags & FlagBit(mfXpControls))) {
        COLORREF boxColor = gutter ? Color(C::Gutter) : Color(C::Menu);
        if ((flags & FlagBit(mfNoBitmapRect)) && checked)
            boxColor = Color(C::Highlight);
        const bool sunkenBox = !(flags & FlagBit(mfNoBitmapRect)) && (its & ItsBit(isCtl3d)) && checked;
        // A pressed or hidden item's box takes the skin's picture for that state when there is one.
        const bool pressedPicture =
            (its & ItsBit(isPressed)) && FPictures->Has(T_AM2000_Skin::ItemBackgroundPressed);
        const bool sunkenPicture = hidden && FPictures->Has(T_AM2000_Skin::ItemBackgroundSunken);
        if (pressedPicture || sunkenPicture)
            DrawItemPicture(dc,
                            FPictures->Get(pressedPicture ? T_AM2000_Skin::ItemBackgroundPressed
                                                          : T_AM2000_Skin::ItemBackgroundSunken),
                            skin, box, its);
        else if (sunkenBox)
            FillSunken(dc, box);
        else if (!highlight || (flags & FlagBit(mfNoBitmapRect)) || checked)
            Fill(dc, box, boxColor);
        if ((its & ItsBit(isCtl3d)) && !(flags & FlagBit(mfNoBitmapRect))) {
            RECT edge = box;
            if (checked)
                DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
            else if (selected)
                DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
        }
    }
    const int boxMidX = (box.left + box.right) / 2, boxMidY = (box.top + box.bottom) / 2;
    // A bitmap glyph (a strip's first cell), embossed in the disabled colours when disabled.
    const auto drawPicture = [&](HBITMAP picture, int cells, int x, int y) {
        if (disabled)
            DrawGlyphShape(dc, x, y, NoColor, ColorNone(C::DisabledShadow) ? NoColor : Color(C::DisabledShadow),
                           Color(C::DisabledText), picture, cells, 0);
        else
            DrawGlyph(dc, x, y, 0, 0, NoColor, picture, cells, 0);
    };
    if (hasImage) {
        images->Draw(dc, boxMidX - images->Width() / 2, boxMidY - images->Height() / 2, imageIndex);
    } else if (glyph >= 0) {
        const COLORREF shade = ColorNone(C::DisabledShadow) ? NoColor : Color(C::DisabledShadow);
        DrawGlyphByIndex(dc, boxMidX - 8, boxMidY - 8, !disabled, shade, Color(C::DisabledText), glyph);
    } else if (bitmap) {
        const int cells = std::max<int>(1, skinnedItem->NumGlyphs);
        drawPicture(bitmap->Handle(), cells, boxMidX - bitmap->Width() / cells / 2, boxMidY - bitmap->Height() / 2);
    } else if (mark && FPictures->Has(markPicture)) {
        FPictures->Get(markPicture).DrawGlyph(dc, TRect(box), its);
    } else if (mark && checked) {
        const HBITMAP picture = (its & ItsBit(isRadio)) ? SystemRadioItem() : SystemCheckMark();
        BITMAP b{};
        if (picture && GetObjectA(picture, sizeof b, &b))
            drawPicture(picture, 1, boxMidX - b.bmWidth / 2, boxMidY - b.bmHeight / 2);
    }

    // Caption, shortcut and arrow.
    const bool cues = its & ItsBit(isShowAccelerators);
    COLORREF text;
    if (disabled)
        text = Color(C::DisabledText);
    else if (selected)
        text = (its & ItsBit(isPressed)) ? Color(C::PressedText) : Color(C::HighlightText);
    else
        text = hidden ? Color(C::SunkenText) : Color(C::MenuText);
    std::string shortCut;
    if (auto* skinned = dynamic_cast<TMenuItem2000*>(source.Item))
        shortCut = FirstShortCut(skinned->GetShortCut());
    else if (source.Item)
        shortCut = source.Item->ShortCut ? ShortCutToText(source.Item->ShortCut) : source.Item->ShortCutText;
    if (shortCut.empty())
        shortCut = parts.ShortCut;
    const HFONT bold = isDefault ? [this] {
        LOGFONTA f{};
        GetObjectA(FFont, sizeof f, &f);
        f.lfWeight = FW_BOLD;
        return CreateFontIndirectA(&f);
    }()
                                 : nullptr;
    const HGDIOBJ oldFont = SelectObject(dc, bold ? bold : FFont);
    const TReadingOrder order = Order();
    UINT align = DT_LEFT;
    switch (CaptionAlignment(FOptions.Alignment(), order)) {
    case taRightJustify: align = DT_RIGHT; break;
    case taCenter: align = DT_CENTER; break;
    default: break;
    }
    const UINT reading = order.RightToLeftReading ? DT_RTLREADING : 0;
    const UINT textFlags = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | reading | (cues ? 0 : DT_HIDEPREFIX);
    const std::vector<std::string> lines = SplitCaptionLines(parts.Caption);
    auto drawTexts = [&](int dx, int dy, COLORREF color) {
        SetTextColor(dc, color);
        const int lineHeight = r.Height / std::max<int>(1, static_cast<int>(lines.size()));
        for (size_t i = 0; i < lines.size(); ++i) {
            RECT lr{rect.CaptionLeft + dx, top + static_cast<int>(i) * lineHeight + dy,
                    rect.CaptionLeft + rect.CaptionWidth + dx, top + static_cast<int>(i + 1) * lineHeight + dy};
            DrawTextA(dc, lines[i].c_str(), static_cast<int>(lines[i].size()), &lr, textFlags | align);
        }
        if (!shortCut.empty()) {
            RECT sr{rect.ShortCutLeft + dx, top + dy, rect.ShortCutLeft + rect.ShortCutWidth + dx, bottom + dy};
            const UINT sa = (flags & FlagBit(mfLeftAlignedShortCuts)) || order.Mirrored ? DT_LEFT : DT_RIGHT;
            DrawTextA(dc, shortCut.c_str(), static_cast<int>(shortCut.size()), &sr,
                      DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | reading | sa);
        }
        if (!(its & ItsBit(isSubmenu)) || rect.ArrowWidth <= 0)
            return;
        if (FPictures->Has(T_AM2000_Skin::Triangle)) {
            if (dx == 0)  // the picture has its own disabled look
                FPictures->Get(T_AM2000_Skin::Triangle)
                    .DrawGlyph(dc, TRect(rect.ArrowLeft, top, rect.ArrowLeft + rect.ArrowWidth, bottom),
                               selected ? its | ItsBit(isPressed) : its);
        } else {
            Arrow(dc, rect.ArrowLeft + dx, rect.ArrowLeft + rect.ArrowWidth + dx, top + dy, bottom + dy, color,
                  RightToLeft());
        }
    };
    if (disabled && !ColorNone(C::DisabledShadow) && (!selected || (flags & FlagBit(mfNoHighDisabled))))
        drawTexts(1, 1, Color(C::DisabledShadow));
    drawTexts(0, 0, text);
    SelectObject(dc, oldFont);
    if (bold)
        DeleteObject(bold);

    // Selected frame.
    if (highlight && margins.Get(M::Frame) > 0) {
        RECT frame = rowRect;
        if (flags & FlagBit(mfNoSharpJoints))
            InflateRect(&frame, margins.Get(M::Border) + margins.Get(M::BevelInner), 0);
        Band(dc, frame, margins.Get(M::Frame), Color(C::Frame), Color(C::FrameShadow));
    }
}

void TPopupMenu2000Form::PaintSeparator(const RECT& r, const std::string& caption, T_AM2000_its its)
{
    const HDC dc = FBufferDC;
    const bool hidden = (its & ItsBit(isHiddenPrev)) && (its & ItsBit(isHiddenSucc));
    if (!(its & ItsBit(isGraphBack))) {
        if (hidden)
            FillSunken(dc, r);
        else
            Fill(dc, r, Color(C::Menu));
    }
    const char kind = caption[0];
    if (kind == ' ')
        return;
    const TSeparatorIndent indent = SeparatorIndent(FOptions.Flags(), FLayoutInput, !ColorNone(C::Gutter));
    const bool sharp = !(FOptions.Flags() & FlagBit(mfNoSharpJoints));
    const int x1 = r.left + indent.Left, x2 = r.right - indent.Right;
    int y = (r.top + r.bottom) / 2;
    if (kind == '.')
        y -= 1;
    else if (kind == ':' || kind == '=')
        y -= 2;
    auto line = [&](int dx, int dy, int extra, COLORREF color) {
        auto run = [&](int yy) {
            switch (kind) {
            case '.':
                for (int x = x1; x < x2 + extra; x += 4)
                    Fill(dc, RECT{x + dx, yy + dy, std::min(x + 2, x2 + extra) + dx, yy + dy + 1}, color);
                break;
            case ':':
                for (int x = x1; x < x2 + extra; x += 6)
                    Fill(dc, RECT{x + dx, yy + dy, x + 2 + dx, yy + 2 + dy}, color);
                for (int x = x1 + 3; x < x2 + extra; x += 6)
                    Fill(dc, RECT{x + dx, yy + 3 + dy, x + 2 + dx, yy + 5 + dy}, color);
                break;
            default: Fill(dc, RECT{x1 + dx, yy + dy, x2 + extra + dx, yy + dy + 1}, color); break;
            }
        };
        run(y);
        if (kind == '=')
            run(y + 2);
    };
    if (!ColorNone(C::LineShadow))
        line(1, 1, sharp ? 1 : 0, hidden ? HalfToWhite(Color(C::LineShadow)) : Color(C::LineShadow));
    if (!ColorNone(C::Line))
        line(0, 0, 0, hidden ? HalfToWhite(Color(C::Line)) : Color(C::Line));
    // A label after the run of separator characters.
    size_t start = 0;
    while (start < caption.size() && caption[start] == kind)
        ++start;
    if (start < caption.size()) {
        const std::string label = caption.substr(start);
        const HFONT small = MakeFont(false, 1);
        const HGDIOBJ old = SelectObject(dc, small);
        RECT lr = r;
        const UINT f = DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX;
        SIZE size{};
        GetTextExtentPoint32A(dc, label.c_str(), static_cast<int>(label.size()), &size);
        const int mid = (r.left + r.right) / 2;
        Fill(dc, RECT{mid - size.cx / 2 - 2, r.top, mid + size.cx / 2 + 3, r.bottom}, Color(C::Menu));
        if (!ColorNone(C::LineShadow)) {
            SetTextColor(dc, Color(C::LineShadow));
            RECT sr = lr;
            OffsetRect(&sr, 1, 1);
            DrawTextA(dc, label.c_str(), static_cast<int>(label.size()), &sr, f);
        }
        SetTextColor(dc, ColorNone(C::Line) ? Color(C::MenuText) : Color(C::Line));
        DrawTextA(dc, label.c_str(), static_cast<int>(label.size()), &lr, f);
        SelectObject(dc, old);
        DeleteObject(small);
    }
}

void TPopupMenu2000Form::PaintExpandButton()
{
    const HDC dc = FBufferDC;
    const T_AM2000_MenuItemRect rect = MenuItemRect(FLayout, FLayoutInput, FBufferWidth, !ColorNone(C::Gutter), State(wsScroll));
    const int top = FLayout.RowsBottom() + 3;
    RECT button{rect.ContentLeft, top, rect.ContentRight, top + ExpandButtonHeight};
    const bool selected = FSelection == -3;
    const bool pressed = selected && (GetKeyState(VK_LBUTTON) < 0 || GetKeyState(VK_RBUTTON) < 0);
    T_AM2000_its its = (selected ? ItsBit(isSelected) : 0) | (pressed ? ItsBit(isPressed) : 0);
    // The face: the unhide pictures, else the item highlight picture, else the colours.
    T_AM2000_Skin::Picture face = T_AM2000_Skin::PictureCount;
    switch (ItemBackgroundPicture(its, FPictures->Has(T_AM2000_Skin::UnhideBackgroundPressed), true)) {
    case TItemPicture::Pressed: face = T_AM2000_Skin::UnhideBackgroundPressed; break;
    case TItemPicture::Highlight:
        if (FPictures->Has(T_AM2000_Skin::UnhideBackgroundHighlight))
            face = T_AM2000_Skin::UnhideBackgroundHighlight;
        else if (FPictures->Has(T_AM2000_Skin::ItemBackgroundHighlight))
            face = T_AM2000_Skin::ItemBackgroundHighlight;
        break;
    default: break;
    }
    if (face != T_AM2000_Skin::PictureCount) {
        DrawItemPicture(dc, FPictures->Get(face), FOptions.Skin(), button, its);
    } else if (selected) {
        if (FOptions.Flags() & FlagBit(mfSoftColors))
            Fill(dc, button, Color(C::Highlight));
        else
            FillSunken(dc, button);
        if (pressed)
            Band(dc, button, 1, Color(C::FrameShadow), Color(C::Frame));
        else
            Band(dc, button, 1, Color(C::Frame), Color(C::FrameShadow));
    } else if (FPictures->HasBackground()) {
        FPictures->CopyBackground(dc, button);
    } else {
        Fill(dc, button, Color(C::Menu));
    }
    if (FPictures->Has(T_AM2000_Skin::Unhide)) {
        FPictures->Get(T_AM2000_Skin::Unhide).DrawGlyph(dc, TRect(button), its);
        return;
    }
    const int nudge = pressed ? 1 : 0;
    const int x0 = (button.left + button.right) / 2 - 3 + nudge, y0 = (button.top + button.bottom) / 2 - 4 + nudge;
    const HPEN pen = CreatePen(PS_SOLID, 1, Color(C::MenuText));
    const HGDIOBJ old = SelectObject(dc, pen);
    for (int dy : {0, 4}) {
        const int x = x0, y = y0 + dy;
        const POINT p[6] = {{x, y}, {x + 2, y + 2}, {x + 4, y}, {x + 4, y + 1}, {x + 2, y + 3}, {x - 1, y}};
        Polyline(dc, p, 6);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

TScrollBarGeometry TPopupMenu2000Form::ScrollBar() const
{
    const T_AM2000_MenuItemRect rect = MenuItemRect(FLayout, FLayoutInput, FBufferWidth, !ColorNone(C::Gutter), true);
    return ScrollBarGeometry(rect, RightToLeft(), FBufferHeight, GetSystemMetrics(SM_CXVSCROLL),
                             GetSystemMetrics(SM_CYVSCROLL), RowCount(), FFirstRow, FLastRow);
}

void TPopupMenu2000Form::PaintScrollBar()
{
    const HDC dc = FBufferDC;
    const TScrollBarGeometry bar = ScrollBar();
    Fill(dc, bar.Column, Color(C::Menu));
    RECT up = bar.Up, down = bar.Down;
    const UINT atTop = FFirstRow == 0 ? DFCS_INACTIVE : 0;
    const UINT atEnd = FLastRow >= RowCount() - 1 ? DFCS_INACTIVE : 0;
    DrawFrameControl(dc, &up, DFC_SCROLL, DFCS_SCROLLUP | atTop | (FSelection == selScrollUp ? DFCS_PUSHED : 0));
    DrawFrameControl(dc, &down, DFC_SCROLL, DFCS_SCROLLDOWN | atEnd | (FSelection == selScrollDown ? DFCS_PUSHED : 0));
    if (bar.Thumb.bottom > bar.Thumb.top) {
        RECT thumb = bar.Thumb;
        DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
}

void TPopupMenu2000Form::CopyToScreen(HDC dc)
{
    if (!HandleAllocated() || !FBufferDC)
        return;
    const HWND wnd = HandleOrNull();
    const bool own = dc == nullptr;
    if (own)
        dc = GetDC(wnd);
    int w = Width(), h = Height();
    // A floating window's client starts with a strip in the menu colour; the buffer lies under it.
    const int dy = BufferTop();
    if (Floating()) {
        RECT client{};
        GetClientRect(wnd, &client);
        w = client.right;
        h = client.bottom - dy;
        Fill(dc, RECT{0, 0, w, dy}, Color(C::Menu));
    }
    int sx = 0, sy = 0;
    const bool animating = State(wsAnimating) && !State(wsAnimationDone);
    if (animating && IsStretchKind(FEffective)) {
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, w, h, FBufferDC, 0, 0, FBufferWidth, FBufferHeight, SRCCOPY);
    } else {
        if (animating && !IsRollKind(FEffective)) {
            // A slide shows the menu's far part first, as if it came out from under its anchor.
            if (!State(wsOpensLeftwards))
                sx = std::max(0, FBufferWidth - w);
            if (!State(wsOpensUpwards))
                sy = std::max(0, FBufferHeight - h);
        } else if (animating) {
            if (State(wsOpensLeftwards))
                sx = std::max(0, FBufferWidth - w);
            if (State(wsOpensUpwards))
                sy = std::max(0, FBufferHeight - h);
        }
        const std::vector<uint8_t>* image = nullptr;
        std::vector<uint8_t> blended;
        BITMAP b{};
        GetObjectA(FBuffer, sizeof b, &b);
        if (!FImage.empty() && FImage.size() == static_cast<size_t>(b.bmWidthBytes) * static_cast<size_t>(b.bmHeight)) {
            image = &FImage;
        } else if (!MenuLayeredWindows() && FOptions.Opacity() != 100 && !FDesktopCopy.empty() &&
                   FDesktopCopy.size() == static_cast<size_t>(b.bmWidthBytes) * static_cast<size_t>(b.bmHeight)) {
            TBlendTable table;
            MakeBlendTable(FOptions.Opacity(), table);
            blended.resize(FDesktopCopy.size());
            GdiFlush();
            BlendRow(static_cast<const uint8_t*>(b.bmBits), FDesktopCopy.data(), blended.data(), 0, blended.size(),
                     table.get());
            image = &blended;
        }
        if (image) {
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof info.bmiHeader;
            info.bmiHeader.biWidth = b.bmWidth;
            info.bmiHeader.biHeight = b.bmHeight;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 24;
            SetDIBitsToDevice(dc, -sx, dy - sy, static_cast<DWORD>(b.bmWidth), static_cast<DWORD>(b.bmHeight), 0, 0, 0,
                              static_cast<UINT>(b.bmHeight), image->data(), &info, DIB_RGB_COLORS);
        } else {
            GdiFlush();
            BitBlt(dc, 0, dy, w, h, FBufferDC, sx, sy, SRCCOPY);
        }
    }
    if (own)
        ReleaseDC(wnd, dc);
}
