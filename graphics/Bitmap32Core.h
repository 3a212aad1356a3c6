#pragma once
// The platform-free bitmap: change notification and update counting (TThreadPersistent), the
// sized-map protocol (TCustomMap) and TCustomBitmap32, a top-down 32-bit ARGB image in plain
// memory with fills, lines, transfers and its stored form. TBitmap32 (Bitmap32.h) puts the
// pixels into a DIB section with a device context and adds text and GDI output.
#include "framework/Classes.h"
#include "graphics/Color32.h"

#include <functional>
#include <memory>
#include <mutex>

enum TDrawMode { dmOpaque = 0, dmBlend = 1, dmCustom = 2 };
enum TStretchFilter { sfNearest = 0, sfLinear = 1, sfSpline = 2, sfLanczos = 3, sfMitchell = 4 };

// Combines one source pixel F into the destination pixel B with master alpha M.
using TPixelCombineEvent = std::function<void(TColor32 f, TColor32& b, TColor32 m)>;

class TThreadPersistent : public TPersistent {
public:
    TThreadPersistent() = default;
    TThreadPersistent(const TThreadPersistent&) = delete;
    TThreadPersistent& operator=(const TThreadPersistent&) = delete;

    void BeginUpdate() { ++FUpdateCount; }
    // Raises "Unpaired TThreadPersistent.EndUpdate" without a BeginUpdate; never fires OnChange.
    void EndUpdate();
    // Fires OnChange when no update is running.
    virtual void Changed();
    void Lock();
    void Unlock();

    int UpdateCount() const { return FUpdateCount; }
    int LockCount() const;
    TNotifyEvent OnChange;

private:
    std::recursive_mutex FLock;
    int FLockCount = 0;  // guarded by the one process-wide lock
    int FUpdateCount = 0;
};

class TCustomMap : public TThreadPersistent {
public:
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Negative sizes count as 0. True when the size changed (then Changed and OnResize follow).
    virtual bool SetSize(int newWidth, int newHeight);
    void SetWidth(int value) { SetSize(value, FHeight); }
    void SetHeight(int value) { SetSize(FWidth, value); }
    virtual void Delete() { SetSize(0, 0); }
    virtual bool Empty() const { return FWidth == 0 || FHeight == 0; }

    TNotifyEvent OnResize;

protected:
    virtual void ChangeSize(int newWidth, int newHeight);
    virtual void Resized();
    int FWidth = 0;
    int FHeight = 0;
};

class TCustomBitmap32 : public TCustomMap {
public:
    TCustomBitmap32() = default;
    ~TCustomBitmap32() override;

    bool Empty() const override { return TCustomMap::Empty() || !FBits; }
    TColor32* Bits() const { return FBits; }
    // No bounds checks: callers keep x and y inside the size.
    TColor32* ScanLine(int y) const { return FBits + static_cast<ptrdiff_t>(y) * FWidth; }
    TColor32* PixelPtr(int x, int y) const { return ScanLine(y) + x; }
    TColor32 Pixel(int x, int y) const { return *PixelPtr(x, y); }
    TRect BoundsRect() const { return TRect(0, 0, FWidth, FHeight); }

    // Copies size, pixels, DrawMode, MasterAlpha, OuterColor and StretchFilter (not events).
    virtual void Assign(const TCustomBitmap32& source);
    // Same class, same size, same pixels; two empty bitmaps are equal.
    bool Equals(const TCustomBitmap32& other) const;

    void Clear(TColor32 color);
    void ResetAlpha();

    void DrawAt(int x, int y, const TCustomBitmap32* src);
    void DrawStretched(const TRect& dstRect, const TRect& srcRect, const TCustomBitmap32* src);
    // Draws this bitmap into dst with its own DrawMode, MasterAlpha, StretchFilter and combine handler.
    void DrawToAt(TCustomBitmap32* dst, int x, int y) const;
    void DrawToRect(TCustomBitmap32* dst, const TRect& dstRect) const;
    void DrawToStretched(TCustomBitmap32* dst, const TRect& dstRect, const TRect& srcRect) const;

    // Fills: rectangles exclude x2 and y2. The plain forms do not clip.
    void FillRectOpaque(int x1, int y1, int x2, int y2, TColor32 color);
    void FillRectBlend(int x1, int y1, int x2, int y2, TColor32 color);
    void FillRectClipped(int x1, int y1, int x2, int y2, TColor32 color);
    void FillRectClippedRect(const TRect& r, TColor32 color) { FillRectClipped(r.left, r.top, r.right, r.bottom, color); }
    void FillRectOpaqueClipped(int x1, int y1, int x2, int y2, TColor32 color);

    // Blended lines; the end point is drawn only when drawLast. DrawLine does not clip.
    void DrawLine(int x1, int y1, int x2, int y2, TColor32 color, bool drawLast);
    void DrawLineClipped(int x1, int y1, int x2, int y2, TColor32 color, bool drawLast);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);

    // The stored form "Data": width, height (32-bit little-endian), then the pixels B, G, R, A, top down.
    void ReadData(TStream& stream);
    void WriteData(TStream& stream) const;
    // Whether "Data" is written, given the ancestor's bitmap (or none).
    bool DataIsStored(const TCustomBitmap32* ancestor) const;

    TDrawMode DrawMode() const { return FDrawMode; }
    void SetDrawMode(TDrawMode value);
    uint32_t MasterAlpha() const { return FMasterAlpha; }
    void SetMasterAlpha(uint32_t value);
    TStretchFilter StretchFilter() const { return FStretchFilter; }
    void SetStretchFilter(TStretchFilter value);
    TColor32 OuterColor = 0;
    TColor32 PenColor = 0xFFFFFFFF;
    float StippleCounter = 0;
    float StippleStep = 1.0f;
    TArrayOfColor32 StipplePattern;
    TPixelCombineEvent OnPixelCombine;

protected:
    // Frees the pixels, then allocates newWidth x newHeight of them when both are at least 1.
    void ChangeSize(int newWidth, int newHeight) override;
    // Where the pixels live: plain memory here, a DIB section in TBitmap32.
    virtual TColor32* AllocatePixels(int width, int height);
    virtual void ReleasePixels();
    virtual void HandleChanged() {}

    void BlendPixel(int x, int y, TColor32 color);
    void BlendHorzLine(int x1, int y, int x2, TColor32 color);
    void BlendVertLine(int x, int y1, int y2, TColor32 color);

private:
    TColor32* FBits = nullptr;
    std::unique_ptr<TColor32[]> FMemory;
    TDrawMode FDrawMode = dmOpaque;
    uint32_t FMasterAlpha = 255;
    TStretchFilter FStretchFilter = sfNearest;
    int FPenX = 0, FPenY = 0;
};

// Clips the line to the rectangle MinX..MaxX, MinY..MaxY (inclusive); false when nothing remains.
bool ClipLine(int& x1, int& y1, int& x2, int& y2, int minX, int minY, int maxX, int maxY);
// Each pixel of mask := the average of the low bytes of its 2^level x 2^level block of
// large, as alpha, over colour's red, green and blue.
void DownsampleTextMask(TCustomBitmap32& mask, const TCustomBitmap32& large, int level, TColor32 color);
