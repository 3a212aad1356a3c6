#include "MenuWindowCore.h"

#include "MenuUtilsCore.h"

#include <algorithm>
#include <cstddef>
#include <cmath>

using M = T_AM2000_Margins;

// ---- Layout ----

uint32_t TMenuLayout::Packed(int row) const
{
    const TMenuRow& r = Rows.at(static_cast<size_t>(row));
    return (static_cast<uint32_t>(r.Top) & 0xFFFF) | (static_cast<uint32_t>(r.Height) << 16);
}

int MenuLineHeight(int itemMargin, int textHeight) { return itemMargin > 0 ? itemMargin : textHeight + 7 + itemMargin; }

int MenuRowHeight(const TMenuRowInput& row, const TMenuLayoutInput& in)
{
    if (IsSeparatorCaption(row.Caption)) {
        static const std::string kinds = "-.= :";
        static const int extra[] = {0, 1, 2, 2, 4};
        return in.M(M::Separator) + extra[kinds.find(row.Caption[0])];
    }
    int height;
    if (row.ControlHeight >= 0) {
        height = row.ControlHeight;
    } else {
        const int line = MenuLineHeight(in.M(M::Item), in.TextHeight);
        height = (line - 3) * LineCount(SplitCaption(row.Caption).Caption) + 3 + 2 * in.M(M::Frame);
    }
    if (row.Hidden && !in.HiddenAsRegular)
        height += 2;
    if (row.BitmapHeight > 0)
        height = std::max(height, row.BitmapHeight + 4);
    if (row.StandardGlyph)
        height = std::max(height, 20);
    if (row.ImageHeight > 0)
        height = std::max(height, row.ImageHeight + 4);
    return height;
}

namespace {

int FrameOuter(const TMenuLayoutInput& in) { return in.M(M::Border) + in.M(M::Bevel) + in.M(M::BevelInner); }

TMenuLayout MeasureOnce(const std::vector<TMenuRowInput>& rows, const TMenuLayoutInput& in, bool hiddenShown,
                        int& hiddenCount)
{
    TMenuLayout layout;
    layout.HiddenShown = hiddenShown;
    int y = FrameOuter(in);
    layout.ItemsLeft = y + in.M(M::Frame);
    if (in.ThreeD && !in.Floating) {
        y += 2;
        layout.ItemsLeft += 2;
    }
    if (in.Draggable && !in.Floating)
        y += TearOffHeight + 2;
    if (in.TitleVisible && in.TitlePosition == atTop)
        y += in.TitleWidth;
    layout.FirstTop = y;

    int widestSum = 0;
    bool anyShortCut = false;
    for (size_t i = 0; i < rows.size(); ++i) {
        const TMenuRowInput& row = rows[i];
        if (!row.Visible && !in.Customising)
            continue;
        if (row.Hidden && !hiddenShown && !in.Customising) {
            ++hiddenCount;
            continue;
        }
        const int height = MenuRowHeight(row, in);
        layout.Rows.push_back({y, height, static_cast<int>(i)});
        y += height + in.M(M::Space);
        const int caption = row.ControlHeight >= 0 ? row.ControlWidth - in.M(M::Left) - in.M(M::Right)
                                                   : std::min(row.CaptionWidth, CaptionWidthCap);
        layout.CaptionWidth = std::max(layout.CaptionWidth, caption);
        layout.ShortCutWidth = std::max(layout.ShortCutWidth, row.ShortCutWidth);
        anyShortCut = anyShortCut || row.ShortCutWidth > 0;
        if (!in.LeftAlignedShortCuts)
            widestSum = std::max(widestSum, caption + row.ShortCutWidth + (row.ShortCutWidth > 0 ? 10 : 0));
    }
    const bool columns = in.LeftAlignedShortCuts || (!in.RightToLeft && in.Alignment == taRightJustify) ||
                         (in.RightToLeft && in.Alignment == taLeftJustify);
    layout.ContentWidth = columns ? layout.CaptionWidth + layout.ShortCutWidth + (anyShortCut ? 4 : 0) : widestSum;
    layout.ContentWidth += in.M(M::Left) + in.M(M::Right);
    if (in.TitleVisible && in.TitlePosition == atLeft)
        layout.ItemsLeft += in.TitleWidth;
    if (!layout.Rows.empty() && IsSeparatorCaption(rows[static_cast<size_t>(layout.Rows.back().Item)].Caption))
        layout.Rows.pop_back();
    layout.HasHiddenItems = hiddenCount > 0;
    return layout;
}

}  // namespace

TMenuLayout MeasureMenu(const std::vector<TMenuRowInput>& rows, const TMenuLayoutInput& in)
{
    int hidden = 0;
    TMenuLayout layout = MeasureOnce(rows, in, in.HiddenShown, hidden);
    if (layout.Rows.empty() && hidden > 0) {
        hidden = 0;
        layout = MeasureOnce(rows, in, true, hidden);
    }
    return layout;
}

int MenuWindowHeight(const TMenuLayout& layout, const TMenuLayoutInput& in)
{
    int height = layout.RowsBottom() + FrameOuter(in);
    if (in.BackgroundHeight > 0)
        height = std::max(height, in.BackgroundHeight);
    if (in.TitleVisible && in.TitlePosition == atBottom)
        height += in.TitleWidth;
    if (layout.HasHiddenItems)
        height += ExpandButtonHeight + 6;
    if (in.ThreeD && !in.Floating)
        height += 2;
    return height;
}

int MenuWindowWidth(const TMenuLayout& layout, const TMenuLayoutInput& in, bool scrolling)
{
    int width = 2 * (FrameOuter(in) + in.M(M::Frame)) + layout.ContentWidth;
    if (in.BackgroundWidth > 0)
        width = std::max(width, in.BackgroundWidth);
    if (in.TitleVisible && (in.TitlePosition == atLeft || in.TitlePosition == atRight))
        width += in.TitleWidth;
    if (in.ThreeD && !in.Floating)
        width += 4;
    if (scrolling)
        width += in.ScrollBarWidth + 5;
    return width;
}

int LastRowThatFits(const TMenuLayout& layout, const TMenuLayoutInput& in, int height, int firstRow)
{
    if (layout.Rows.empty())
        return -1;
    firstRow = std::clamp(firstRow, 0, static_cast<int>(layout.Rows.size()) - 1);
    const int bottom = height - FrameOuter(in) - (in.ThreeD && !in.Floating ? 2 : 0);
    const int shift = layout.Rows[static_cast<size_t>(firstRow)].Top - layout.FirstTop;
    int last = firstRow;
    for (size_t i = static_cast<size_t>(firstRow); i < layout.Rows.size(); ++i) {
        if (layout.Rows[i].Top - shift + layout.Rows[i].Height > bottom)
            break;
        last = static_cast<int>(i);
    }
    return last;
}

// ---- Placement ----

TPlacement PlaceMenu(const TPlacementInput& in)
{
    TPlacement p;
    p.Left = in.Left;
    p.Top = in.Top;
    p.Height = in.TargetHeight;
    const TRect& mon = in.Monitor;
    const int w = in.TargetWidth, h = in.TargetHeight;
    const bool fromBar = in.MenuBar && !in.Submenu;

    // 1. and 2. Horizontal.
    if (!in.HasComponent || !in.LeftwardsRequested) {
        p.OpensLeftwards = false;
        if (in.Submenu && in.ParentOpensLeftwards && in.ParentLeft - w >= mon.left - 6) {
            p.Left = in.ParentLeft + 6;
            p.OpensLeftwards = true;
        } else if (p.Left + w > mon.right) {
            p.OpensLeftwards = true;
            if (in.Submenu) {
                p.Left = in.ParentLeft + 6;
            } else if (in.Centred || fromBar) {
                p.Left = mon.right - w;
                p.OpensLeftwards = false;
            }
        }
    } else {
        p.OpensLeftwards = true;
        if (p.Left - w < mon.left) {
            p.OpensLeftwards = false;
            if (in.Submenu) {
                p.Left = in.ParentLeft + in.ParentWidth - 6;
            } else if (fromBar && in.VerticalBar) {
                p.Left = in.BarItem.right;  // beside the bar, not over it
            } else if (fromBar) {
                p.OpensLeftwards = true;  // against the monitor's left edge (below)
            }
        }
    }
    // A leftward window ends at its left (+1): keep that end on the monitor.
    if (p.OpensLeftwards && p.Left - w + 1 < mon.left)
        p.Left = mon.left + w - 1;
    // 3.
    if (!p.OpensLeftwards)
        p.Left = std::max(p.Left, static_cast<int>(mon.left));
    p.OpensUpwards = false;

    // 4. Vertical. An upward window ends at its top (+1); from a bar it ends above the bar item,
    // or, from a vertical bar, at the monitor's bottom.
    if (p.Top + h > mon.bottom) {
        if (!in.Submenu) {
            int upTop = in.Top;
            if (fromBar)
                upTop = in.VerticalBar ? mon.bottom - 1 : in.Top - (in.BarItem.Height() + 1);
            const int below = mon.bottom - in.Top, above = upTop + 1 - mon.top;
            if (h < upTop - mon.top) {
                p.OpensUpwards = true;
                p.Top = upTop;
            } else if (below >= above) {
                p.Scroll = true;
                p.Height = below;
            } else {
                p.Scroll = true;
                p.OpensUpwards = true;
                p.Top = upTop;
                p.Height = above;
            }
        } else if (h < mon.bottom - mon.top) {
            p.Top = mon.bottom - h;
        } else {
            p.Scroll = true;
            p.Height = mon.bottom - mon.top;
            p.Top = mon.bottom - p.Height;
        }
    }
    // 5.
    if (!p.OpensUpwards)
        p.Top = std::max(p.Top, static_cast<int>(mon.top));
    return p;
}

// ---- Animation ----

bool IsAlphaKind(T_AM2000_Animation k) { return (k >= anVertAlphaSlide && k <= anDoubleAlphaSlide) || k == anAlpha; }
bool IsHorzGrowthKind(T_AM2000_Animation k)
{
    return k == anHorzAlphaSlide || k == anDoubleAlphaSlide || k == anHorzRoll || k == anDoubleRoll ||
           k == anHorzSlide || k == anDoubleSlide || k == anHorzStretch || k == anDoubleStretch;
}
bool IsVertGrowthKind(T_AM2000_Animation k)
{
    return k == anVertAlphaSlide || k == anDoubleAlphaSlide || k == anVertRoll || k == anDoubleRoll ||
           k == anVertSlide || k == anDoubleSlide || k == anVertStretch || k == anDoubleStretch;
}
bool IsSizeKind(T_AM2000_Animation k) { return IsHorzGrowthKind(k) || IsVertGrowthKind(k); }
bool IsStretchKind(T_AM2000_Animation k) { return k >= anVertStretch && k <= anDoubleStretch; }
bool IsRollKind(T_AM2000_Animation k) { return k >= anVertRoll && k <= anDoubleRoll; }

TAnimationChoice ResolveAnimation(T_AM2000_Animation kind, const TAnimationQuery& query)
{
    if (query.NoAnimation)
        return {};
    auto ask = [](const std::function<TSpiAnswer()>& f) { return f ? f() : TSpiAnswer::Failed; };
    const TAnimationChoice slide{anHorzSlide, query.VerticalBar ? anHorzSlide : anVertSlide};
    TAnimationChoice c{kind, kind};
    switch (kind) {
    case anRandom: {
        const T_AM2000_Animation k = (query.RandomBit ? query.RandomBit() : 0) == 0 ? anHorzSlide : anVertSlide;
        c = {k, k};
        break;
    }
    case anSlide: c = slide; break;
    case anStretch: c = {anHorzStretch, anVertStretch}; break;
    case anPopup: c = {anHorzSlide, anDoubleSlide}; break;
    case anRoll: c = {anHorzRoll, anVertRoll}; break;
    case anAlphaSlide: c = {anHorzAlphaSlide, anVertAlphaSlide}; break;
    case anDefault:
        switch (ask(query.MenuAnimation)) {
        case TSpiAnswer::Failed: c = slide; break;
        case TSpiAnswer::Off: c = {}; break;
        case TSpiAnswer::On: c = ask(query.MenuFade) == TSpiAnswer::On ? TAnimationChoice{anAlpha, anAlpha} : slide; break;
        }
        break;
    default: break;
    }
    if (query.SiblingWithoutFlag)
        c.Effective = anNone;
    return c;
}

TAnimationStart AnimationStart(T_AM2000_Animation effective, int targetWidth, int targetHeight, int steps, int divisor)
{
    steps = std::max(steps, 1);
    divisor = std::max(divisor, 1);
    TAnimationStart s;
    s.Width = targetWidth;
    s.Height = targetHeight;
    if (IsHorzGrowthKind(effective)) {
        s.HorzStep = std::max(targetWidth / steps, 3);
        s.Width = targetWidth / divisor;
    }
    if (IsVertGrowthKind(effective)) {
        s.VertStep = std::max(targetHeight / steps, 3);
        s.Height = targetHeight / divisor - s.VertStep;
    }
    s.Width = std::max(s.Width, 1);
    s.Height = std::max(s.Height, 1);
    return s;
}

TSizeStep NextSizeStep(int width, int height, int targetWidth, int targetHeight, int horzStep, int vertStep)
{
    TSizeStep s{width, height, false, false};
    if (width >= targetWidth && height >= targetHeight)
        return s;
    s.Grew = true;
    if (width < targetWidth) {
        if (width + horzStep >= targetWidth) {
            s.Done = true;
            return s;
        }
        s.Width += horzStep;
    }
    if (height < targetHeight) {
        if (height + vertStep >= targetHeight) {
            s.Done = true;
            return s;
        }
        s.Height += vertStep;
    }
    return s;
}

bool AlphaFrameRuns(int frame, int opacity, int steps) { return frame < steps * static_cast<double>(opacity) / 100.0; }
int AlphaOfFrame(int frame, int steps) { return static_cast<int>(std::lround(frame * 255.0 / steps)); }
int FinalAlpha(int opacity) { return static_cast<int>(std::lround(opacity * 255.0 / 100.0)); }

int8_t AlphaDelta(uint8_t menu, uint8_t desktop, int steps)
{
    return static_cast<int8_t>((static_cast<int>(menu) - static_cast<int>(desktop)) / std::max(steps, 1));
}

void ApplyAlphaDeltas(uint8_t* image, const int8_t* deltas, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        image[i] = static_cast<uint8_t>(std::clamp(image[i] + deltas[i], 0, 255));
}

T_AM2000_MenuItemRect MenuItemRect(const TMenuLayout& layout, const TMenuLayoutInput& in, int bufferWidth, bool gutter,
                                   bool scrolling)
{
    T_AM2000_MenuItemRect r;
    r.ThreeD = in.ThreeD && !in.Floating ? 2 : 0;
    r.FrameWidth = in.M(M::Border) + r.ThreeD + in.M(M::Bevel) + in.M(M::BevelInner);
    if (in.TitleVisible && in.TitlePosition == atLeft)
        r.TitleLeftWidth = in.TitleWidth;
    if (in.TitleVisible && in.TitlePosition == atRight)
        r.TitleRightWidth = in.TitleWidth;
    r.BufferWidth = bufferWidth;
    r.ContentLeft = r.FrameWidth + r.TitleLeftWidth + (in.Floating ? 1 : 0);
    r.ContentRight = bufferWidth - r.FrameWidth - r.TitleRightWidth - (in.Floating ? 1 : 0);
    // The scroll column stands beside the rows on the side away from the glyphs.
    if (scrolling && in.RightToLeft)
        r.ContentLeft += in.ScrollBarWidth + 5;
    else if (scrolling)
        r.ContentRight -= in.ScrollBarWidth + 5;
    r.CaptionWidth = layout.CaptionWidth;
    r.ShortCutWidth = layout.ShortCutWidth;
    if (!in.RightToLeft) {
        r.CaptionLeft = r.ContentLeft + in.M(M::Left);
        r.ShortCutLeft = r.ContentRight - in.M(M::Right) - r.ShortCutWidth;
        r.GlyphLeft = r.ContentLeft;
        r.GlyphWidth = gutter ? in.M(M::Gutter) : in.M(M::Left) - 3;
        r.ArrowWidth = in.M(M::Right) - 4;
        r.ArrowLeft = r.ContentRight - r.ArrowWidth - 2;
    } else {
        r.ShortCutLeft = r.ContentLeft + in.M(M::Left);
        r.CaptionLeft = r.ContentRight - in.M(M::Right) - r.CaptionWidth;
        r.GlyphLeft = r.ContentRight - in.M(M::Right) + 4;
        r.GlyphWidth = gutter ? in.M(M::Gutter) : in.M(M::Right) - 3;
        r.ArrowWidth = in.M(M::Left) - 4;
        r.ArrowLeft = r.ContentLeft;
    }
    const int inner = in.M(M::Bevel) + r.ThreeD + in.M(M::BevelInner);
    const int gutterWidth = gutter && in.M(M::Left) >= in.M(M::Gutter) ? in.M(M::Gutter) : 0;
    r.BackLeft = inner + r.TitleLeftWidth + gutterWidth;
    r.BackWidth = bufferWidth - r.TitleRightWidth - 2 * inner - gutterWidth;
    return r;
}

TSeparatorIndent SeparatorIndent(T_AM2000_Flags flags, const TMenuLayoutInput& in, bool gutter)
{
    TSeparatorIndent s;
    if (flags & FlagBit(mfNoSharpJoints)) {
        s.Left = -(in.M(M::Border) + in.M(M::BevelInner));
        s.Right = in.M(M::Border) + in.M(M::BevelInner) - 2;
    } else if (flags & FlagBit(mfXpControls)) {
        s.Left = in.RightToLeft ? -in.M(M::Border) : in.M(M::Left);
        s.Right = in.RightToLeft ? in.M(M::Right) : -in.M(M::Border);
    } else if (flags & FlagBit(mfLongSeparators)) {
        s.Left = s.Right = 2;
    }
    if (gutter)
        (in.RightToLeft ? s.Right : s.Left) += in.M(M::Gutter);
    return s;
}

TReadingOrder ReadingOrder(TBiDiMode mode)
{
    switch (mode) {
    case bdRightToLeft: return {true, true, true, isRightToLeft};
    case bdRightToLeftNoAlign: return {true, false, true, isRightToLeftNoAlign};
    case bdRightToLeftReadingOnly: return {false, false, true, isRightToLeftReadingOnly};
    default: return {};
    }
}

TAlignment CaptionAlignment(TAlignment alignment, const TReadingOrder& order)
{
    if (!order.SwapAlignment || alignment == taCenter)
        return alignment;
    return alignment == taLeftJustify ? taRightJustify : taLeftJustify;
}

int AlignedPopupLeft(int left, int width, TAlignment alignment, bool rightToLeftReading)
{
    const bool rightAligned = alignment == taRightJustify || (rightToLeftReading && alignment == taLeftJustify);
    if (rightAligned && width < left)
        return left - width;
    if (alignment == taCenter)
        return left - width / 2;
    return left;
}

T_AM2000_its HiddenRowBits(const std::vector<THiddenRow>& rows, size_t row, bool draggable)
{
    if (row >= rows.size())
        return 0;
    const auto hidden = [&rows](size_t i, int offset) {
        const auto at = static_cast<std::ptrdiff_t>(i) + offset;
        return at >= 0 && at < static_cast<std::ptrdiff_t>(rows.size()) && rows[static_cast<size_t>(at)].Hidden;
    };
    const auto separator = [&rows](size_t i, int offset) {
        const auto at = static_cast<std::ptrdiff_t>(i) + offset;
        return at >= 0 && at < static_cast<std::ptrdiff_t>(rows.size()) && rows[static_cast<size_t>(at)].Separator;
    };
    const bool self = rows[row].Hidden;
    bool isHid = self;
    bool prev = row == 0 ? self && !draggable : hidden(row, -1);
    bool succ = row + 1 == rows.size() ? self : hidden(row, 1);
    if (self) {
        // The corrections around separators, in their order.
        if (rows[row].Separator && !hidden(row, -1))
            isHid = false;
        if (separator(row, -1))
            prev = false;
        if (separator(row, 1) && !hidden(row, 2))
            succ = false;
        if (!succ && separator(row, 1) && hidden(row, 2))
            succ = true;
        if (!prev && separator(row, -1) && hidden(row, -2))
            prev = true;
    }
    return (isHid ? ItsBit(isHidden) : 0) | (prev ? ItsBit(isHiddenPrev) : 0) | (succ ? ItsBit(isHiddenSucc) : 0);
}

TRect HiddenRowFill(const TRect& row, int border, T_AM2000_its its, int gutter, bool mirrored)
{
    const bool ctl3d = its & ItsBit(isCtl3d);
    TRect r = row;
    r.left -= border + (ctl3d && !(its & ItsBit(isNoLeftSunken)) ? 1 : 0);
    r.right += border + (ctl3d && !(its & ItsBit(isNoRightSunken)) ? 1 : 0);
    if (gutter > 0) {
        if (mirrored)
            r.right = row.right - gutter;
        else
            r.left = row.left + gutter;
    }
    return r;
}

TTearOffBar TearOffBar(const T_AM2000_MenuItemRect& rect, bool selected, bool firstRowHidden, int rowsTop)
{
    TTearOffBar t;
    const int top = rect.FrameWidth;
    t.Bar = TRect(rect.ContentLeft, top, rect.ContentRight, top + TearOffHeight);
    const int stripBottom = std::min(t.Bar.bottom + (firstRowHidden ? 2 : 3), std::max(t.Bar.bottom, rowsTop));
    t.Strip = TRect(rect.ContentLeft, t.Bar.bottom, rect.ContentRight, stripBottom);
    const int left = (rect.ContentLeft + rect.ContentRight) / 2 - 16;
    for (int y = selected ? 2 : 1; y <= (selected ? 4 : 5); y += 2)
        t.Grip.emplace_back(left, top + y, left + 33, top + y + 1);
    return t;
}

TRect TitleBandRect(const TMenuLayoutInput& in, int bufferWidth, int bufferHeight)
{
    const bool fixed = !in.Floating;
    const int frame = in.M(M::Border) + (in.ThreeD && fixed ? 2 : 0) + in.M(M::Bevel) + in.M(M::BevelInner);
    const TRect inner(frame, frame, bufferWidth - frame, bufferHeight - frame);
    const int w = in.TitleWidth;
    switch (in.TitlePosition) {
    case atLeft: return TRect(inner.left, inner.top, inner.left + w, inner.bottom);
    case atRight: return TRect(inner.right - w, inner.top, inner.right, inner.bottom);
    case atTop: {
        const int top = inner.top + (in.Draggable && fixed ? TearOffHeight + 2 : 0);
        return TRect(inner.left, top, inner.right, top + w);
    }
    case atBottom: return TRect(inner.left, inner.bottom - w, inner.right, inner.bottom);
    }
    return inner;
}

uint32_t BlendStep(uint32_t begin, uint32_t end, int step, int steps)
{
    if (steps <= 0)
        return begin & 0xFFFFFF;
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int b = static_cast<int>((begin >> shift) & 0xFF), e = static_cast<int>((end >> shift) & 0xFF);
        out |= static_cast<uint32_t>(b + (e - b) * step / steps) << shift;
    }
    return out;
}

std::vector<TGradientStrip> TitleGradient(T_AM2000_Gradient kind, T_AM2000_GradientDirection direction,
                                          const TRect& band, uint32_t begin, uint32_t end)
{
    std::vector<TGradientStrip> strips;
    const int w = band.right - band.left, h = band.bottom - band.top;
    if (w <= 0 || h <= 0)
        return strips;
    if (kind == grDiamond) {
        for (int i = 0; i < 128; ++i) {
            const int dx = i * w / 512, dy = i * h / 512;
            strips.push_back({TRect(band.left + dx, band.top + dy, band.right - dx, band.bottom - dy),
                              BlendStep(begin, end, i, 127)});
        }
        return strips;
    }
    const int count = kind == grBlocks ? 16 : 256;
    const bool vertical = direction == gdVertical;
    const int length = vertical ? h : w;
    // A band shorter than the steps gets one strip per pixel, so that both end colours show.
    const int n = std::min(count, length);
    for (int i = 0; i < n; ++i) {
        const int from = i * length / n, to = (i + 1) * length / n;
        const int step = n > 1 ? i * (count - 1) / (n - 1) : 0;
        uint32_t color;
        if (kind == grReflected)
            color = BlendStep(begin, end, step < count / 2 ? step : count - 1 - step, count / 2 - 1);
        else
            color = BlendStep(begin, end, step, count - 1);
        const TRect r = vertical ? TRect(band.left, band.bottom - to, band.right, band.bottom - from)
                                 : TRect(band.left + from, band.top, band.left + to, band.bottom);
        strips.push_back({r, color});
    }
    return strips;
}

TTitleText TitleTextPlace(const TRect& band, T_AM2000_TitlePosition position, TAlignment alignment,
                          T_AM2000_TextDirection direction, int textLength, int textHeight)
{
    const bool upright = position == atTop || position == atBottom;
    const int across = upright ? band.bottom - band.top : band.right - band.left;
    const int along = upright ? band.right - band.left : band.bottom - band.top;
    // Distance of the text's start from the end where it starts reading.
    int d = 10;
    if (alignment == taRightJustify)
        d = along - 10 - textLength;
    else if (alignment == taCenter)
        d = (along - textLength) / 2 + 10;
    TTitleText t;
    if (upright) {
        t.Origin = TPoint(band.left + d, band.top + (across - textHeight) / 2);
    } else if (direction == tdForward) {
        t.Escapement = 900;  // reads upwards; the glyphs' tops face left
        t.Origin = TPoint(band.left + (across - textHeight) / 2, band.bottom - d);
    } else {
        t.Escapement = 2700;  // reads downwards; the glyphs' tops face right
        t.Origin = TPoint(band.left + (across + textHeight) / 2, band.top + d);
    }
    return t;
}
