#include "graphics/Bitmap32Core.h"

#include "graphics/Blend.h"
#include "graphics/Transforms.h"

#include <bit>
#include <cstring>
#include <new>
#include <typeinfo>

static_assert(std::endian::native == std::endian::little, "pixels are stored as little-endian words");

namespace {
// Guards every object's lock count; never held while an object's own lock is taken.
std::mutex& LockCountGuard()
{
    static std::mutex guard;
    return guard;
}
}

// ---- TThreadPersistent ----

void TThreadPersistent::EndUpdate()
{
    if (FUpdateCount < 1)
        throw EAssertionFailed("Unpaired TThreadPersistent.EndUpdate");
    --FUpdateCount;
}

void TThreadPersistent::Changed()
{
    if (FUpdateCount == 0 && OnChange)
        OnChange(this);
}

void TThreadPersistent::Lock()
{
    {
        std::lock_guard<std::mutex> guard(LockCountGuard());
        ++FLockCount;
    }
    FLock.lock();
}

void TThreadPersistent::Unlock()
{
    FLock.unlock();
    std::lock_guard<std::mutex> guard(LockCountGuard());
    --FLockCount;
}

int TThreadPersistent::LockCount() const
{
    std::lock_guard<std::mutex> guard(LockCountGuard());
    return FLockCount;
}

// ---- TCustomMap ----

bool TCustomMap::SetSize(int newWidth, int newHeight)
{
    if (newWidth < 0)
        newWidth = 0;
    if (newHeight < 0)
        newHeight = 0;
    if (newWidth == FWidth && newHeight == FHeight)
        return false;
    ChangeSize(newWidth, newHeight);
    Changed();
    Resized();
    return true;
}

void TCustomMap::ChangeSize(int newWidth, int newHeight)
{
    FWidth = newWidth;
    FHeight = newHeight;
}

void TCustomMap::Resized()
{
    if (OnResize)
        OnResize(this);
}

// ---- TCustomBitmap32 ----

TCustomBitmap32::~TCustomBitmap32() = default;

TColor32* TCustomBitmap32::AllocatePixels(int width, int height)
{
    const uint64_t count = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if (count > static_cast<uint64_t>(PTRDIFF_MAX) / sizeof(TColor32))
        throw Exception("Can't allocate the bitmap memory");
    try {
        FMemory = std::make_unique<TColor32[]>(static_cast<size_t>(count));
    } catch (const std::bad_alloc&) {
        throw Exception("Can't allocate the bitmap memory");
    }
    return FMemory.get();
}

void TCustomBitmap32::ReleasePixels()
{
    FMemory.reset();
}

void TCustomBitmap32::ChangeSize(int newWidth, int newHeight)
{
    ReleasePixels();
    FBits = nullptr;
    FWidth = 0;
    FHeight = 0;
    if (newWidth >= 1 && newHeight >= 1)
        FBits = AllocatePixels(newWidth, newHeight);  // a failure leaves the bitmap 0 x 0
    FWidth = newWidth;
    FHeight = newHeight;
    HandleChanged();
}

void TCustomBitmap32::Assign(const TCustomBitmap32& source)
{
    BeginUpdate();
    try {
        if (&source != this) {
            SetSize(source.Width(), source.Height());
            if (!Empty() && !source.Empty())
                std::memcpy(FBits, source.FBits, static_cast<size_t>(FWidth) * FHeight * sizeof(TColor32));
            FDrawMode = source.FDrawMode;
            FMasterAlpha = source.FMasterAlpha;
            OuterColor = source.OuterColor;
            FStretchFilter = source.FStretchFilter;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    Changed();
}

bool TCustomBitmap32::Equals(const TCustomBitmap32& other) const
{
    if (Empty() || other.Empty())
        return Empty() && other.Empty();
    return typeid(*this) == typeid(other) && FWidth == other.FWidth && FHeight == other.FHeight &&
           std::memcmp(FBits, other.FBits, static_cast<size_t>(FWidth) * FHeight * sizeof(TColor32)) == 0;
}

void TCustomBitmap32::Clear(TColor32 color)
{
    if (Empty())
        return;
    std::fill_n(FBits, static_cast<size_t>(FWidth) * FHeight, color);
    Changed();
}

void TCustomBitmap32::ResetAlpha()
{
    if (!Empty()) {
        TColor32* p = FBits;
        for (size_t i = 0, n = static_cast<size_t>(FWidth) * FHeight; i < n; ++i)
            p[i] |= 0xFF000000;
    }
    Changed();
}

void TCustomBitmap32::SetDrawMode(TDrawMode value)
{
    if (value != FDrawMode) {
        FDrawMode = value;
        Changed();
    }
}

void TCustomBitmap32::SetMasterAlpha(uint32_t value)
{
    if (value != FMasterAlpha) {
        FMasterAlpha = value;
        Changed();
    }
}

void TCustomBitmap32::SetStretchFilter(TStretchFilter value)
{
    if (value != FStretchFilter) {
        FStretchFilter = value;
        Changed();
    }
}

// ---- drawing into other bitmaps ----

void TCustomBitmap32::DrawAt(int x, int y, const TCustomBitmap32* src)
{
    if (src)
        src->DrawToAt(this, x, y);
}

void TCustomBitmap32::DrawStretched(const TRect& dstRect, const TRect& srcRect, const TCustomBitmap32* src)
{
    if (src)
        src->DrawToStretched(this, dstRect, srcRect);
}

// An empty destination has nothing to draw on; a missing one is the transfer's error.
void TCustomBitmap32::DrawToAt(TCustomBitmap32* dst, int x, int y) const
{
    if (dst && dst->Empty())
        return;
    BlockTransfer(dst, x, y, dst ? dst->BoundsRect() : TRect(), this, BoundsRect(), FDrawMode, OnPixelCombine);
    if (dst)
        dst->Changed();
}

void TCustomBitmap32::DrawToRect(TCustomBitmap32* dst, const TRect& dstRect) const
{
    DrawToStretched(dst, dstRect, BoundsRect());
}

void TCustomBitmap32::DrawToStretched(TCustomBitmap32* dst, const TRect& dstRect, const TRect& srcRect) const
{
    if (dst && dst->Empty())
        return;
    StretchTransfer(dst, dstRect, dst ? dst->BoundsRect() : TRect(), this, srcRect, FStretchFilter, FDrawMode,
                    OnPixelCombine);
    if (dst)
        dst->Changed();
}

// ---- fills ----

void TCustomBitmap32::FillRectOpaque(int x1, int y1, int x2, int y2, TColor32 color)
{
    for (int y = y1; y < y2; ++y)
        FillLongwords(PixelPtr(x1, y), x2 - x1, color);
    Changed();
}

void TCustomBitmap32::FillRectBlend(int x1, int y1, int x2, int y2, TColor32 color)
{
    if (AlphaComponent(color) == 255) {
        FillRectOpaque(x1, y1, x2, y2, color);
        return;
    }
    const TColor32 weight = AlphaComponent(color);
    for (int y = y1; y < y2; ++y) {
        TColor32* p = PixelPtr(x1, y);
        for (int x = x1; x < x2; ++x, ++p)
            BlendFunctionTable.CombineWeightedInPlace(color, *p, weight);
    }
    Changed();
}

void TCustomBitmap32::FillRectClipped(int x1, int y1, int x2, int y2, TColor32 color)
{
    if (Empty() || x1 >= x2 || y1 >= y2 || x1 >= FWidth || y1 >= FHeight || x2 <= 0 || y2 <= 0)
        return;
    FillRectBlend(std::max(x1, 0), std::max(y1, 0), std::min(x2, FWidth), std::min(y2, FHeight), color);
}

void TCustomBitmap32::FillRectOpaqueClipped(int x1, int y1, int x2, int y2, TColor32 color)
{
    if (Empty() || x1 >= x2 || y1 >= y2 || x1 >= FWidth || y1 >= FHeight || x2 <= 0 || y2 <= 0)
        return;
    FillRectOpaque(std::max(x1, 0), std::max(y1, 0), std::min(x2, FWidth), std::min(y2, FHeight), color);
}

// ---- lines ----

void TCustomBitmap32::BlendPixel(int x, int y, TColor32 color)
{
    BlendFunctionTable.BlendByAlphaInPlace(color, *PixelPtr(x, y));
}

void TCustomBitmap32::BlendHorzLine(int x1, int y, int x2, TColor32 color)
{
    TColor32* p = PixelPtr(x1, y);
    for (int x = x1; x <= x2; ++x, ++p)
        BlendFunctionTable.BlendByAlphaInPlace(color, *p);
}

void TCustomBitmap32::BlendVertLine(int x, int y1, int y2, TColor32 color)
{
    for (int y = y1; y <= y2; ++y)
        BlendFunctionTable.BlendByAlphaInPlace(color, *PixelPtr(x, y));
}

void TCustomBitmap32::DrawLine(int x1, int y1, int x2, int y2, TColor32 color, bool drawLast)
{
    struct TChangedAtEnd {
        TCustomBitmap32* Self;
        ~TChangedAtEnd() { Self->Changed(); }
    } changedAtEnd{this};

    const int dx = x2 - x1;
    const int dy = y2 - y1;
    if (dx == 0 || dy == 0) {
        if (dx == 0 && dy > 0)
            BlendVertLine(x1, y1, y2 - 1, color);
        else if (dx == 0 && dy < 0)
            BlendVertLine(x1, y2 + 1, y1, color);
        else if (x1 < x2)
            BlendHorzLine(x1, y1, x2 - 1, color);
        else
            BlendHorzLine(x2 + 1, y1, x1, color);
    } else {
        // Bresenham along the longer axis; the end point is left out.
        const int ax = dx < 0 ? -dx : dx;
        const int ay = dy < 0 ? -dy : dy;
        const int sx = dx < 0 ? -1 : 1;
        const int sy = dy < 0 ? -1 : 1;
        int x = x1, y = y1;
        if (ax > ay) {
            int e = ax >> 1;
            for (int i = 0; i < ax; ++i) {
                BlendPixel(x, y, color);
                x += sx;
                e += ay;
                if (e > ax) {
                    y += sy;
                    e -= ax;
                }
            }
        } else {
            int e = ay >> 1;
            for (int i = 0; i < ay; ++i) {
                BlendPixel(x, y, color);
                y += sy;
                e += ax;
                if (e > ay) {
                    x += sx;
                    e -= ay;
                }
            }
        }
    }
    if (drawLast)
        BlendPixel(x2, y2, color);
}

void TCustomBitmap32::DrawLineClipped(int x1, int y1, int x2, int y2, TColor32 color, bool drawLast)
{
    if (Empty())
        return;
    const int endX = x2, endY = y2;
    if (!ClipLine(x1, y1, x2, y2, 0, 0, FWidth - 1, FHeight - 1))
        return;
    if (x2 != endX || y2 != endY)
        drawLast = true;
    DrawLine(x1, y1, x2, y2, color, drawLast);
}

void TCustomBitmap32::MoveTo(int x, int y)
{
    FPenX = x;
    FPenY = y;
}

void TCustomBitmap32::LineTo(int x, int y)
{
    DrawLineClipped(FPenX, FPenY, x, y, PenColor, false);
    FPenX = x;
    FPenY = y;
}

namespace {
int OutCode(int x, int y, int minX, int minY, int maxX, int maxY)
{
    return (x < minX ? 1 : 0) | (x > maxX ? 2 : 0) | (y < minY ? 4 : 0) | (y > maxY ? 8 : 0);
}

int HorzCode(int x, int minX, int maxX)
{
    return (x < minX ? 1 : 0) | (x > maxX ? 2 : 0);
}
}

bool ClipLine(int& x1, int& y1, int& x2, int& y2, int minX, int minY, int maxX, int maxY)
{
    int c1 = OutCode(x1, y1, minX, minY, maxX, maxY);
    int c2 = OutCode(x2, y2, minX, minY, maxX, maxY);
    if ((c1 | c2) == 0)
        return true;
    if (c1 & c2)
        return false;
    const int dx = x2 - x1;
    const int dy = y2 - y1;
    // Points above or below go onto the top or bottom edge first.
    auto toRow = [&](int& x, int& y, int code) {
        if (code & 4) {
            x += MulDivRounded(minY - y, dx, dy);
            y = minY;
        } else if (code & 8) {
            x += MulDivRounded(maxY - y, dx, dy);
            y = maxY;
        }
    };
    toRow(x1, y1, c1);
    toRow(x2, y2, c2);
    c1 = HorzCode(x1, minX, maxX);
    c2 = HorzCode(x2, minX, maxX);
    if ((c1 | c2) == 0)
        return true;
    if (c1 & c2)
        return false;
    auto toColumn = [&](int& x, int& y, int code) {
        if (code & 1) {
            y += MulDivRounded(minX - x, dy, dx);
            x = minX;
        } else if (code & 2) {
            y += MulDivRounded(maxX - x, dy, dx);
            x = maxX;
        }
    };
    toColumn(x1, y1, c1);
    toColumn(x2, y2, c2);
    return OutCode(x1, y1, minX, minY, maxX, maxY) == 0 && OutCode(x2, y2, minX, minY, maxX, maxY) == 0;
}

void DownsampleTextMask(TCustomBitmap32& mask, const TCustomBitmap32& large, int level, TColor32 color)
{
    const int block = 1 << level;
    color &= 0x00FFFFFF;
    for (int y = 0; y < mask.Height(); ++y) {
        for (int x = 0; x < mask.Width(); ++x) {
            uint32_t sum = 0;
            for (int dy = 0; dy < block; ++dy) {
                const TColor32* p = large.PixelPtr(x * block, y * block + dy);
                for (int dx = 0; dx < block; ++dx)
                    sum += p[dx] & 0xFF;
            }
            *mask.PixelPtr(x, y) = (sum >> (2 * level)) << 24 | color;
        }
    }
}

// ---- stored form ----

void TCustomBitmap32::ReadData(TStream& stream)
{
    const int32_t width = stream.ReadValue<int32_t>();
    const int32_t height = stream.ReadValue<int32_t>();
    const int64_t pixels = static_cast<int64_t>(width) * height;
    // The stored size is checked against what the stream holds before anything is allocated.
    if (width < 0 || height < 0 || pixels > (stream.Size() - stream.Position()) / 4)
        throw EReadError("Stream read error");
    SetSize(width, height);
    if (!Empty())
        stream.ReadBuffer(FBits, pixels * 4);
    Changed();
}

void TCustomBitmap32::WriteData(TStream& stream) const
{
    stream.WriteValue<int32_t>(FWidth);
    stream.WriteValue<int32_t>(FHeight);
    if (!Empty())
        stream.WriteBuffer(FBits, static_cast<int64_t>(FWidth) * FHeight * 4);
}

bool TCustomBitmap32::DataIsStored(const TCustomBitmap32* ancestor) const
{
    return ancestor ? !Equals(*ancestor) : !Empty();
}
