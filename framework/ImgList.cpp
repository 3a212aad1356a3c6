#include "ImgList.h"

TImageList::TImageList(TComponent* owner, int width, int height) : TComponent(owner), FWidth(width), FHeight(height) {}

void TImageList::AddStrip(int stripWidth, int stripHeight, const uint32_t* pixels)
{
    if (FWidth <= 0 || FHeight <= 0 || stripHeight < FHeight || !pixels)
        return;
    for (int left = 0; left + FWidth <= stripWidth; left += FWidth) {
        std::vector<uint32_t> image(static_cast<size_t>(FWidth) * FHeight);
        for (int y = 0; y < FHeight; ++y)
            for (int x = 0; x < FWidth; ++x)
                image[static_cast<size_t>(y) * FWidth + x] = pixels[static_cast<size_t>(y) * stripWidth + left + x];
        FImages.push_back(std::move(image));
    }
}

bool TImageList::LoadFromResource(const std::string& name)
{
    const TBitmapHandle bitmap(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap)
        return false;
    BITMAP info{};
    GetObjectA(bitmap.Get(), sizeof info, &info);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight;  // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    const HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap.Get(), 0, info.bmHeight, pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != info.bmHeight)
        return false;
    AddStrip(info.bmWidth, info.bmHeight, pixels.data());
    return true;
}

namespace {
uint32_t RgbOf(TColor color)
{
    const COLORREF c = ColorToRGB(color);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}
}

void TImageList::GetBitmap(int index, TColor background, TBitmap& into) const
{
    if (index < 0 || index >= Count())
        return;
    const uint32_t key = RgbOf(TransparentColor), fill = RgbOf(background) | 0xFF000000u;
    std::vector<uint32_t> pixels = FImages[static_cast<size_t>(index)];
    for (uint32_t& p : pixels)
        p = (p & 0xFFFFFF) == key ? fill : (p | 0xFF000000u);
    into.SetPixels(FWidth, FHeight, pixels.data());
}

void TImageList::Draw(HDC dc, int x, int y, int index) const
{
    if (index < 0 || index >= Count())
        return;
    const uint32_t key = RgbOf(TransparentColor);
    const std::vector<uint32_t>& image = FImages[static_cast<size_t>(index)];
    for (int row = 0; row < FHeight; ++row)
        for (int column = 0; column < FWidth; ++column) {
            const uint32_t p = image[static_cast<size_t>(row) * FWidth + column] & 0xFFFFFF;
            if (p != key)
                SetPixelV(dc, x + column, y + row, RGB(p >> 16, (p >> 8) & 0xFF, p & 0xFF));
        }
}
