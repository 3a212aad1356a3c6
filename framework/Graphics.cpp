#include "Graphics.h"

#include <cstring>

COLORREF ColorToRGB(TColor color)
{
    return color < 0 ? GetSysColor(color & 0xFF) : static_cast<COLORREF>(color);
}

int ScreenPixelsPerInch()
{
    static const int ppi = [] {
        const TWindowDC screen(nullptr);
        const int value = GetDeviceCaps(screen.Get(), LOGPIXELSY);
        return value > 0 ? value : 96;
    }();
    return ppi;
}

void TFont::Assign(const TFont& source)
{
    if (&source == this)
        return;
    FName = source.FName;
    FHeight = source.FHeight;
    FColor = source.FColor;
    FStyle = source.FStyle;
    FCharset = source.FCharset;
    Changed();
}

void TFont::SetName(const std::string& value)
{
    if (value != FName) {
        FName = value;
        Changed();
    }
}

int TFont::Size() const
{
    return -MulDiv(FHeight, 72, ScreenPixelsPerInch());
}

void TFont::SetSize(int value)
{
    SetHeight(-MulDiv(value, ScreenPixelsPerInch(), 72));
}

void TFont::SetHeight(int value)
{
    if (value != FHeight) {
        FHeight = value;
        Changed();
    }
}

void TFont::SetColor(TColor value)
{
    if (value != FColor) {
        FColor = value;
        Changed();
    }
}

void TFont::SetStyle(TFontStyles value)
{
    if (value != FStyle) {
        FStyle = value;
        Changed();
    }
}

void TFont::SetCharset(BYTE value)
{
    if (value != FCharset) {
        FCharset = value;
        Changed();
    }
}

void TFont::Changed()
{
    // Whoever has the GDI font selected lets it go first (OnChange), then it is remade on demand.
    if (OnChange)
        OnChange(this);
    FHandle.Reset();
}

HFONT TFont::Handle()
{
    if (!FHandle) {
        LOGFONTA lf{};
        lf.lfHeight = FHeight;
        lf.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (FStyle & fsItalic) ? 1 : 0;
        lf.lfUnderline = (FStyle & fsUnderline) ? 1 : 0;
        lf.lfStrikeOut = (FStyle & fsStrikeOut) ? 1 : 0;
        lf.lfCharSet = FCharset;
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = DEFAULT_PITCH;
        lstrcpynA(lf.lfFaceName, FName.c_str(), LF_FACESIZE);
        FHandle.Reset(CreateFontIndirectA(&lf));
    }
    return FHandle.Get();
}

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
