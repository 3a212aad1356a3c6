#include "Graphics.h"

#include <cstring>

void TBitmap::SetPixels(int width, int height, const uint32_t* pixels)
{
    FHandle.Reset();
    FWidth = FHeight = 0;
    if (width <= 0 || height <= 0)
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    FHandle.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!FHandle)
        throw Exception("Out of system resources");
    std::memcpy(bits, pixels, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    FWidth = width;
    FHeight = height;
}

void TBitmap::Draw(HDC dc, int x, int y) const
{
    if (!FHandle)
        return;
    TMemoryDC source(CreateCompatibleDC(dc));
    TSelectObject select(source.Get(), FHandle.Get());
    BitBlt(dc, x, y, FWidth, FHeight, source.Get(), 0, 0, SRCCOPY);
}
