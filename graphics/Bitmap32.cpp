#include "graphics/Bitmap32.h"

#include "graphics/ThemeNexus.h"

#include <mutex>

namespace {

// The library's start-up: the theme follower first; the blend table and gamma table are
// chosen by their own units before any bitmap exists.
void GraphicsStartUp()
{
    static const bool started = [] {
        ThemeNexus();
        return true;
    }();
    (void)started;
}

// An 8 x 8 bitmap for measuring text when a bitmap has no device context, shared under a lock.
struct TMeasuringBitmap {
    std::mutex Lock;
    TMemoryDC DC;
    TBitmapHandle Bitmap;
    TMeasuringBitmap()
    {
        const TWindowDC screen(nullptr);
        DC.Reset(CreateCompatibleDC(screen.Get()));
        Bitmap.Reset(CreateCompatibleBitmap(screen.Get(), 8, 8));
        SelectObject(DC.Get(), Bitmap.Get());
    }
};

TMeasuringBitmap& MeasuringBitmap()
{
    static TMeasuringBitmap bitmap;
    return bitmap;
}

TSize MeasureText(HDC dc, HFONT font, const std::string& text)
{
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    return TSize{size.cx, size.cy};
}

TSize MeasureOnMeasuringBitmap(TFont& font, const std::string& text)
{
    TMeasuringBitmap& measuring = MeasuringBitmap();
    std::lock_guard<std::mutex> guard(measuring.Lock);
    return MeasureText(measuring.DC.Get(), font.Handle(), text);
}

}  // namespace

TBitmap32::TBitmap32()
{
    GraphicsStartUp();
    BITMAPINFOHEADER& header = FInfo.bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    FFont.OnChange = [this](TObject*) { FontChanged(); };
}

TBitmap32::~TBitmap32()
{
    BeginUpdate();
    Lock();
    SetSize(0, 0);  // through this class's ReleasePixels while it still exists
    Unlock();
}

TColor32* TBitmap32::AllocatePixels(int width, int height)
{
    FInfo.bmiHeader.biWidth = width;
    FInfo.bmiHeader.biHeight = -height;  // top-down
    void* bits = nullptr;
    TBitmapHandle section(CreateDIBSection(nullptr, &FInfo, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || !bits)
        throw Exception("Can't allocate the DIB handle");
    TMemoryDC dc(CreateCompatibleDC(nullptr));
    if (!dc)
        throw Exception("Can't create compatible DC");
    if (!SelectObject(dc.Get(), section.Get()))
        throw Exception("Can't select an object into DC");
    FHandle = std::move(section);
    FDC = std::move(dc);
    return static_cast<TColor32*>(bits);
}

void TBitmap32::ReleasePixels()
{
    FontChanged();
    FDC.Reset();  // the section is selected into the DC: the DC goes first
    FHandle.Reset();
}

void TBitmap32::HandleChanged()
{
    if (OnHandleChanged)
        OnHandleChanged(this);
}

void TBitmap32::SetFont(const TFont& value)
{
    FFont.Assign(value);
    FontChanged();
}

void TBitmap32::UpdateFont()
{
    if (!FDC)
        return;
    FSelectedFont = FFont.Handle();
    SelectObject(FDC.Get(), FSelectedFont);
    SetTextColor(FDC.Get(), ColorToRGB(FFont.Color()));
    SetBkMode(FDC.Get(), TRANSPARENT);
}

void TBitmap32::FontChanged()
{
    if (FSelectedFont && FDC)
        SelectObject(FDC.Get(), GetStockObject(SYSTEM_FONT));
    FSelectedFont = nullptr;
}

void TBitmap32::TextOut(int x, int y, const std::string& text)
{
    if (!FDC)
        return;
    UpdateFont();
    ExtTextOutA(FDC.Get(), x, y, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    GdiFlush();  // the pixels are read directly next
    Changed();
}

TSize TBitmap32::TextExtent(const std::string& text)
{
    if (!FDC)
        return MeasureOnMeasuringBitmap(FFont, text);
    UpdateFont();
    SIZE size{0, 0};
    GetTextExtentPoint32A(FDC.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    return TSize{size.cx, size.cy};
}

void TBitmap32::DrawAntialiasedText(int x, int y, const std::string& text, int aaLevel, TColor32 color)
{
    const TColor32 alpha = color >> 24;
    color &= 0x00FFFFFF;
    aaLevel = ClampToRange(aaLevel, 0, 4);
    TBitmap32 mask;
    if (aaLevel == 0) {
        const TSize size = TextExtent(text + " ");
        mask.SetSize(size.cx, size.cy);
        if (mask.Empty())
            return;
        mask.Clear(0);
        mask.Font().Assign(FFont);
        mask.Font().SetColor(clWhite);
        mask.TextOut(0, 0, text);
        TColor32* p = mask.Bits();
        for (int i = 0, n = mask.Width() * mask.Height(); i < n; ++i)
            if (p[i] != 0)
                p[i] = (p[i] & 0xFF) << 24 | color;
    } else {
        TFont large;
        large.Assign(FFont);
        large.SetSize(FFont.Size() << aaLevel);
        large.SetColor(clWhite);
        const TSize extent = MeasureOnMeasuringBitmap(large, text + " ");
        const int round = ~((1 << aaLevel) - 1);
        TBitmap32 big;
        big.SetSize(extent.cx & round, extent.cy & round);
        if (big.Empty())
            return;
        big.Clear(0);
        big.Font().Assign(large);
        big.TextOut(0, 0, text);
        mask.SetSize(big.Width() >> aaLevel, big.Height() >> aaLevel);
        DownsampleTextMask(mask, big, aaLevel, color);
    }
    mask.SetDrawMode(dmBlend);
    mask.SetMasterAlpha(alpha);
    mask.DrawToAt(this, x, y);
}

void TBitmap32::DrawToDC(HDC dc, int x, int y) const
{
    if (Empty() || !dc)
        return;
    StretchDIBits(dc, x, y, Width(), Height(), 0, 0, Width(), Height(), Bits(), &FInfo, DIB_RGB_COLORS, SRCCOPY);
}
