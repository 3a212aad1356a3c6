#pragma once
// The copy engine behind every bitmap draw call: an unscaled block transfer and a scaled
// transfer that picks nearest neighbour, a fast bilinear path or the kernel resampler.
// Draw mode, master alpha and combine handler are the source bitmap's.
#include "graphics/Bitmap32Core.h"

class ETransformError : public Exception { using Exception::Exception; };

// Chooses the coordinate mapping of the scalers: pixel areas edge to edge (true) or the
// first and last pixel centres onto each other.
extern bool FullEdge;

// "Destination bitmap is nil or empty" / "Source bitmap is nil or empty".
void CheckBitmaps(const TCustomBitmap32* dst, const TCustomBitmap32* src);
// False for an empty rectangle; "Source rectangle is invalid" when it leaves the source.
bool CheckSrcRect(const TCustomBitmap32* src, const TRect& srcRect);

// Copies srcRect of src to (dstX, dstY) of dst, writing only inside dstClip.
void BlockTransfer(TCustomBitmap32* dst, int dstX, int dstY, const TRect& dstClip, const TCustomBitmap32* src,
                   TRect srcRect, TDrawMode drawMode, const TPixelCombineEvent& combine);
// Scales srcRect of src into dstRect, writing only inside dstClip and dst's bounds.
void StretchTransfer(TCustomBitmap32* dst, const TRect& dstRect, const TRect& dstClip, const TCustomBitmap32* src,
                     const TRect& srcRect, TStretchFilter filter, TDrawMode drawMode,
                     const TPixelCombineEvent& combine);

// The scalers StretchTransfer chooses from; clip is dstRect already cut to dstClip and dst.
void StretchNearest(TCustomBitmap32* dst, const TRect& dstRect, const TRect& clip, const TCustomBitmap32* src,
                    const TRect& srcRect, TDrawMode drawMode, const TPixelCombineEvent& combine);
void StretchLinearFast(TCustomBitmap32* dst, const TRect& dstRect, const TRect& clip, const TCustomBitmap32* src,
                       const TRect& srcRect, TDrawMode drawMode, const TPixelCombineEvent& combine);

// Combines one row of count source pixels into dst by the draw mode (shared by the transfers).
void CombineRow(const TColor32* src, TColor32* dst, int count, TDrawMode drawMode, uint32_t masterAlpha,
                const TPixelCombineEvent& combine);
