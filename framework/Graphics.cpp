#include "Graphics.h"

#include <cstring>
#include <vector>

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
    SetSize(width, height);
    if (FBits)
        std::memcpy(FBits, pixels, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
}

void TBitmap::Assign(const TBitmap& source)
{
    if (&source != this)
        SetPixels(source.FWidth, source.FHeight, source.FBits);
}

TDIBSection::TDIBSection(int width, int height, WORD bitCount, bool topDown)
{
    FInfo.bmiHeader.biSize = sizeof FInfo.bmiHeader;
    FInfo.bmiHeader.biWidth = width;
    FInfo.bmiHeader.biHeight = topDown ? -height : height;
    FInfo.bmiHeader.biPlanes = 1;
    FInfo.bmiHeader.biBitCount = bitCount;
    FInfo.bmiHeader.biCompression = BI_RGB;
    FHandle.Reset(CreateDIBSection(nullptr, &FInfo, DIB_RGB_COLORS, &FBits, nullptr, 0));
    if (!FHandle)
        FBits = nullptr;
}

void TBitmap::SetSize(int width, int height)
{
    FHandle.Reset();
    FBits = nullptr;
    FWidth = FHeight = 0;
    if (width <= 0 || height <= 0)
        return;
    TDIBSection section(width, height);
    if (!section)
        throw Exception("Out of system resources");
    FBits = static_cast<uint32_t*>(section.Bits());
    FHandle.Reset(section.Release());
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

void TBitmap::SaveToFile(const std::string& fileName) const
{
    const size_t stride = (static_cast<size_t>(FWidth) * 3 + 3) & ~size_t{3};
    const size_t bitsAt = 14 + 40, size = bitsAt + stride * static_cast<size_t>(FHeight);
    std::vector<uint8_t> file(size);
    const auto put16 = [&](size_t at, uint32_t v) { file[at] = static_cast<uint8_t>(v); file[at + 1] = static_cast<uint8_t>(v >> 8); };
    const auto put32 = [&](size_t at, uint32_t v) { put16(at, v & 0xFFFF); put16(at + 2, v >> 16); };
    put16(0, 0x4D42);  // "BM"
    put32(2, static_cast<uint32_t>(size));
    put32(10, static_cast<uint32_t>(bitsAt));
    put32(14, 40);
    put32(18, static_cast<uint32_t>(FWidth));
    put32(22, static_cast<uint32_t>(FHeight));  // positive: bottom-up rows
    put16(26, 1);
    put16(28, 24);
    put32(34, static_cast<uint32_t>(stride * static_cast<size_t>(FHeight)));
    for (int y = 0; y < FHeight; ++y) {
        const uint32_t* in = FBits + static_cast<size_t>(FHeight - 1 - y) * static_cast<size_t>(FWidth);
        uint8_t* out = file.data() + bitsAt + stride * static_cast<size_t>(y);
        for (int x = 0; x < FWidth; ++x, out += 3) {
            out[0] = static_cast<uint8_t>(in[x]);
            out[1] = static_cast<uint8_t>(in[x] >> 8);
            out[2] = static_cast<uint8_t>(in[x] >> 16);
        }
    }
    if (!SaveFileAtomically(fileName, file.data(), file.size()))
        throw EFCreateError("Cannot create file \"" + fileName + "\"");
}

// ---- Pen, brush and canvas ----

void TPen::SetColor(TColor value)
{
    if (value != FColor) {
        FColor = value;
        FHandle.Reset();
    }
}

void TPen::SetWidth(int value)
{
    if (value != FWidth) {
        FWidth = value;
        FHandle.Reset();
    }
}

HPEN TPen::Handle()
{
    if (!FHandle)
        FHandle.Reset(CreatePen(PS_SOLID, FWidth, ColorToRGB(FColor)));
    return FHandle.Get();
}

void TBrush::SetColor(TColor value)
{
    if (value != FColor) {
        FColor = value;
        FHandle.Reset();
    }
}

HBRUSH TBrush::Handle()
{
    if (!FHandle)
        FHandle.Reset(CreateSolidBrush(ColorToRGB(FColor)));
    return FHandle.Get();
}

class TCanvas::TTextState {
public:
    explicit TTextState(TCanvas& canvas)
        : FDC(canvas.FHandle), FFont(FDC, canvas.Font.Handle()),
          FColor(SetTextColor(FDC, ColorToRGB(canvas.Font.Color()))),
          FBack(SetBkColor(FDC, ColorToRGB(canvas.Brush.Color()))),
          FMode(SetBkMode(FDC, canvas.Brush.Style == bsClear ? TRANSPARENT : OPAQUE))
    {
    }
    ~TTextState()
    {
        SetBkMode(FDC, FMode);
        SetBkColor(FDC, FBack);
        SetTextColor(FDC, FColor);
    }
    TTextState(const TTextState&) = delete;
    TTextState& operator=(const TTextState&) = delete;

private:
    HDC FDC;
    TSelectObject FFont;
    COLORREF FColor, FBack;
    int FMode;
};

void TCanvas::FillRect(const TRect& rect)
{
    if (Brush.Style == bsClear)
        return;
    const RECT r = rect;
    ::FillRect(FHandle, &r, Brush.Handle());
}

void TCanvas::MoveTo(int x, int y)
{
    MoveToEx(FHandle, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y)
{
    const TSelectObject pen(FHandle, Pen.Handle());
    ::LineTo(FHandle, x, y);
}

void TCanvas::TextOut(int x, int y, const std::string& text)
{
    const TTextState state(*this);
    ::TextOut(FHandle, x, y, text.c_str(), static_cast<int>(text.size()));
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const std::string& text)
{
    const TTextState state(*this);
    const RECT r = rect;
    const UINT opaque = Brush.Style == bsClear ? 0 : ETO_OPAQUE;
    ExtTextOutA(FHandle, x, y, ETO_CLIPPED | opaque, &r, text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

TSize TCanvas::TextExtent(const std::string& text)
{
    const TSelectObject font(FHandle, Font.Handle());
    SIZE size{};
    GetTextExtentPoint32A(FHandle, text.c_str(), static_cast<int>(text.size()), &size);
    return {size.cx, size.cy};
}
