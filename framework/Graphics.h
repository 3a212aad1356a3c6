#pragma once
// Device-independent bitmaps of the class library: 32-bit pixels the program can reach,
// drawn onto any device context.
#include "Classes.h"
#include "WinHandles.h"

#include <cstdint>

class TBitmap : public TPersistent {
public:
    // Copies rows top-down of 0xAARRGGBB pixels; a size of 0 empties the bitmap.
    void SetPixels(int width, int height, const uint32_t* pixels);
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool Empty() const { return !FHandle; }
    HBITMAP Handle() const { return FHandle.Get(); }
    void Draw(HDC dc, int x, int y) const;

private:
    TBitmapHandle FHandle;
    int FWidth = 0;
    int FHeight = 0;
};
