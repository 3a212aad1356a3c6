#include "graphics/Transforms.h"

#include "graphics/Blend.h"
#include "graphics/Resampler.h"

#include <cmath>
#include <cstring>
#include <vector>

bool FullEdge = true;

void CheckBitmaps(const TCustomBitmap32* dst, const TCustomBitmap32* src)
{
    if (!dst || dst->Empty())
        throw ETransformError("Destination bitmap is nil or empty");
    if (!src || src->Empty())
        throw ETransformError("Source bitmap is nil or empty");
}

bool CheckSrcRect(const TCustomBitmap32* src, const TRect& srcRect)
{
    if (RectIsEmpty(srcRect))
        return false;
    if (srcRect.left < 0 || srcRect.top < 0 || srcRect.right > src->Width() || srcRect.bottom > src->Height())
        throw ETransformError("Source rectangle is invalid");
    return true;
}

void CombineRow(const TColor32* src, TColor32* dst, int count, TDrawMode drawMode, uint32_t masterAlpha,
                const TPixelCombineEvent& combine)
{
    switch (drawMode) {
    case dmOpaque:
        MoveLongwords(src, dst, count);
        break;
    case dmBlend:
        if (masterAlpha < 255)
            BlendFunctionTable.BlendLineMaster(src, dst, count, masterAlpha);
        else
            BlendFunctionTable.BlendLine(src, dst, count);
        break;
    case dmCustom:
        for (int i = 0; i < count; ++i)
            combine(src[i], dst[i], masterAlpha);
        break;
    }
}

namespace {

// The common preamble: false when there is nothing to draw; raises for missing bitmaps.
bool Prepare(const TCustomBitmap32* dst, const TCustomBitmap32* src, TDrawMode& drawMode,
             const TPixelCombineEvent& combine)
{
    if (src && src->Empty())
        return false;
    CheckBitmaps(dst, src);
    if (drawMode == dmCustom && !combine)
        drawMode = dmOpaque;
    return !(drawMode == dmBlend && src->MasterAlpha() == 0);
}

// Source rows for srcRect; a bitmap drawn onto itself reads from a copy taken first.
struct TSourceRows {
    TSourceRows(const TCustomBitmap32* src, const TCustomBitmap32* dst)
    {
        if (src == dst) {
            FCopy.assign(src->Bits(), src->Bits() + static_cast<size_t>(src->Width()) * src->Height());
            FBits = FCopy.data();
        } else {
            FBits = src->Bits();
        }
        FWidth = src->Width();
    }
    const TColor32* Row(int y) const { return FBits + static_cast<ptrdiff_t>(y) * FWidth; }

private:
    std::vector<TColor32> FCopy;
    const TColor32* FBits;
    int FWidth;
};

// Copies srcRect to the same-sized dstRect row by row (both already clipped).
void CombineRect(TCustomBitmap32* dst, const TRect& dstRect, const TCustomBitmap32* src, const TRect& srcRect,
                 TDrawMode drawMode, const TPixelCombineEvent& combine)
{
    const TSourceRows rows(src, dst);
    const int width = dstRect.Width();
    for (int y = 0; y < dstRect.Height(); ++y)
        CombineRow(rows.Row(srcRect.top + y) + srcRect.left, dst->PixelPtr(dstRect.left, dstRect.top + y), width,
                   drawMode, src->MasterAlpha(), combine);
}

// The block copy once the preamble has run: dstClip is cut to dst, srcRect to src.
void BlockCombine(TCustomBitmap32* dst, int dstX, int dstY, TRect dstClip, const TCustomBitmap32* src,
                  const TRect& srcRect, TDrawMode drawMode, const TPixelCombineEvent& combine)
{
    IntersectRects(dstClip, dstClip, dst->BoundsRect());
    TRect s;
    IntersectRects(s, srcRect, src->BoundsRect());
    TRect d = s;
    ShiftRect(d, dstX - srcRect.left, dstY - srcRect.top);
    IntersectRects(d, d, dstClip);
    if (RectIsEmpty(d))
        return;
    s = d;
    ShiftRect(s, srcRect.left - dstX, srcRect.top - dstY);
    CombineRect(dst, d, src, s, drawMode, combine);
}

// Nearest source index of destination offset i on one axis, truncated or rounded half to even,
// from exact integer arithmetic so that it never leaves the source range.
int MapNearest(int i, int dstSize, int srcLo, int srcHi, bool rounded)
{
    const int srcSize = srcHi - srcLo;
    if (dstSize < 2)
        return (srcLo + srcHi - 1) / 2;
    int64_t num = static_cast<int64_t>(i) * (FullEdge ? srcSize : srcSize - 1);
    const int64_t den = FullEdge ? dstSize : dstSize - 1;
    if (!FullEdge)
        rounded = true;
    int64_t q = num / den;
    if (rounded) {
        const int64_t r2 = (num % den) * 2;
        if (r2 > den || (r2 == den && (q & 1)))
            ++q;
    }
    const int64_t index = srcLo + q;
    return static_cast<int>(index > srcHi - 1 ? srcHi - 1 : index);
}

}  // namespace

void BlockTransfer(TCustomBitmap32* dst, int dstX, int dstY, const TRect& dstClip, const TCustomBitmap32* src,
                   TRect srcRect, TDrawMode drawMode, const TPixelCombineEvent& combine)
{
    if (!Prepare(dst, src, drawMode, combine))
        return;
    BlockCombine(dst, dstX, dstY, dstClip, src, srcRect, drawMode, combine);
}

void StretchTransfer(TCustomBitmap32* dst, const TRect& dstRect, const TRect& dstClip, const TCustomBitmap32* src,
                     const TRect& srcRect, TStretchFilter filter, TDrawMode drawMode,
                     const TPixelCombineEvent& combine)
{
    if (!Prepare(dst, src, drawMode, combine))
        return;
    if (!CheckSrcRect(src, srcRect))
        return;
    TRect clip;
    IntersectRects(clip, dstRect, dst->BoundsRect());
    IntersectRects(clip, clip, dstClip);
    if (RectIsEmpty(clip))
        return;
    if (dstRect.Width() == srcRect.Width() && dstRect.Height() == srcRect.Height()) {
        BlockCombine(dst, dstRect.left, dstRect.top, clip, src, srcRect, drawMode, combine);
        return;
    }
    switch (filter) {
    case sfNearest:
        StretchNearest(dst, dstRect, clip, src, srcRect, drawMode, combine);
        break;
    case sfLinear:
        if (dstRect.Width() > srcRect.Width() && dstRect.Height() > srcRect.Height())
            StretchLinearFast(dst, dstRect, clip, src, srcRect, drawMode, combine);
        else
            StretchResample(dst, dstRect, clip, src, srcRect, sfLinear, drawMode, combine);
        break;
    default:
        StretchResample(dst, dstRect, clip, src, srcRect, filter, drawMode, combine);
        break;
    }
}

void StretchNearest(TCustomBitmap32* dst, const TRect& dstRect, const TRect& clip, const TCustomBitmap32* src,
                    const TRect& srcRect, TDrawMode drawMode, const TPixelCombineEvent& combine)
{
    if (srcRect.left < 0 || srcRect.top < 0 || srcRect.right > src->Width() || srcRect.bottom > src->Height())
        throw Exception("Invalid SrcRect");
    const TSourceRows rows(src, dst);
    const int width = clip.Width();
    std::vector<int> columns(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x)
        columns[x] = MapNearest(clip.left + x - dstRect.left, dstRect.Width(), srcRect.left, srcRect.right, false);
    // Blended rows round to the nearest source row, kept inside the source rectangle.
    const bool roundRows = drawMode != dmOpaque;
    std::vector<TColor32> gathered(static_cast<size_t>(width));
    int previous = -1;
    for (int y = clip.top; y < clip.bottom; ++y) {
        const int sy = MapNearest(y - dstRect.top, dstRect.Height(), srcRect.top, srcRect.bottom, roundRows);
        TColor32* out = dst->PixelPtr(clip.left, y);
        if (drawMode == dmOpaque) {
            if (sy == previous) {
                std::memcpy(out, dst->PixelPtr(clip.left, y - 1), static_cast<size_t>(width) * sizeof(TColor32));
                continue;
            }
            const TColor32* in = rows.Row(sy);
            for (int x = 0; x < width; ++x)
                out[x] = in[columns[x]];
            previous = sy;
        } else {
            if (sy != previous) {
                const TColor32* in = rows.Row(sy);
                for (int x = 0; x < width; ++x)
                    gathered[x] = in[columns[x]];
                previous = sy;
            }
            CombineRow(gathered.data(), out, width, drawMode, src->MasterAlpha(), combine);
        }
    }
}

namespace {

// One bilinear tap: two neighbouring source indices and the 8.8 weight of the first.
struct TLinearTap {
    int First, Second, Weight;
};

// Positions are clamped to the source range and the second index never passes its end.
std::vector<TLinearTap> LinearTaps(int clipLo, int clipHi, int dstLo, int dstSize, int srcLo, int srcHi)
{
    const int srcSize = srcHi - srcLo;
    std::vector<TLinearTap> taps;
    taps.reserve(static_cast<size_t>(clipHi - clipLo));
    const double scale = FullEdge ? static_cast<double>(srcSize) / dstSize
                                  : static_cast<double>(srcSize - 1) / (dstSize - 1);
    for (int i = clipLo; i < clipHi; ++i) {
        double position = FullEdge ? (i - dstLo + 0.5) * scale + srcLo - 0.5 : (i - dstLo) * scale + srcLo;
        if (position < srcLo)
            position = srcLo;
        if (position > srcHi - 1)
            position = srcHi - 1;
        const double whole = std::floor(position);
        const int first = static_cast<int>(whole);
        const int weight = 256 - Round((position - whole) * 256);
        taps.push_back({first, first + 1 < srcHi ? first + 1 : first, weight});
    }
    return taps;
}

// w * a + (256 - w) * b per channel, two channels per multiply, truncated.
inline TColor32 MixLinear(TColor32 a, TColor32 b, TColor32 w)
{
    const TColor32 v = 256 - w;
    const TColor32 rb = ((a & 0x00FF00FF) * w + (b & 0x00FF00FF) * v) >> 8 & 0x00FF00FF;
    const TColor32 ag = ((a >> 8 & 0x00FF00FF) * w + (b >> 8 & 0x00FF00FF) * v) & 0xFF00FF00;
    return rb | ag;
}

}  // namespace

void StretchLinearFast(TCustomBitmap32* dst, const TRect& dstRect, const TRect& clip, const TCustomBitmap32* src,
                       const TRect& srcRect, TDrawMode drawMode, const TPixelCombineEvent& combine)
{
    const TSourceRows rows(src, dst);
    const std::vector<TLinearTap> columns =
        LinearTaps(clip.left, clip.right, dstRect.left, dstRect.Width(), srcRect.left, srcRect.right);
    const std::vector<TLinearTap> lines =
        LinearTaps(clip.top, clip.bottom, dstRect.top, dstRect.Height(), srcRect.top, srcRect.bottom);
    const int width = clip.Width();
    std::vector<TColor32> mixed(static_cast<size_t>(width));
    for (int y = 0; y < clip.Height(); ++y) {
        const TLinearTap& line = lines[y];
        const TColor32* upper = rows.Row(line.First);
        const TColor32* lower = rows.Row(line.Second);
        int cachedColumn = -1;
        TColor32 left = 0, right = 0;
        for (int x = 0; x < width; ++x) {
            const TLinearTap& column = columns[x];
            // The vertical mixes stay valid while the source column does not change.
            if (column.First != cachedColumn) {
                left = MixLinear(upper[column.First], lower[column.First], line.Weight);
                right = MixLinear(upper[column.Second], lower[column.Second], line.Weight);
                cachedColumn = column.First;
            }
            mixed[x] = MixLinear(left, right, column.Weight);
        }
        TColor32* out = dst->PixelPtr(clip.left, clip.top + y);
        if (drawMode == dmBlend)
            BlendFunctionTable.BlendLineMaster(mixed.data(), out, width, src->MasterAlpha());
        else
            CombineRow(mixed.data(), out, width, drawMode, src->MasterAlpha(), combine);
    }
}
