#include "MenuUtils.h"

#include "AnimatedSkinCore.h"
#include "MenuUtilsCore.h"
#include "framework/SysUtils.h"

#include <memory>

namespace {

HBITMAP CheckMark = nullptr;
HBITMAP RadioItem = nullptr;

uint32_t SystemColor(int index) { return GetSysColor(index); }

bool ModuleResource(const std::string& name, std::vector<uint8_t>& bytes)
{
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceA(module, UpperCase(name).c_str(), MAKEINTRESOURCEA(10));
    if (!found)
        return false;
    const HGLOBAL loaded = LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    const auto* data = static_cast<const uint8_t*>(LockResource(loaded));
    if (!data)
        return false;
    bytes.assign(data, data + size);
    return true;
}

struct TScreenDC {
    HDC Handle = GetDC(nullptr);
    ~TScreenDC() { ReleaseDC(nullptr, Handle); }
};

}  // namespace

void MenuUnitStart()
{
    static const bool started = [] {
        SetSysColorResolver(SystemColor);
        SetSkinResourceLoader(ModuleResource);
        const HINSTANCE module = GetModuleHandleA(nullptr);
        RadioItem = static_cast<HBITMAP>(LoadImageA(module, "AM2000_SYSTEMRADIOITEM", IMAGE_BITMAP, 0, 0, 0));
        CheckMark = static_cast<HBITMAP>(LoadImageA(module, "AM2000_SYSTEMCHECKMARK", IMAGE_BITMAP, 0, 0, 0));
        return true;
    }();
    (void)started;
}

HBITMAP SystemCheckMark() { return CheckMark; }
HBITMAP SystemRadioItem() { return RadioItem; }

void CopyTextToClipboard(const std::string& text)
{
    if (!OpenClipboard(nullptr))
        return;
    EmptyClipboard();
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
        if (void* p = GlobalLock(block)) {
            memcpy(p, text.c_str(), text.size() + 1);
            GlobalUnlock(block);
            if (!SetClipboardData(CF_TEXT, block))
                GlobalFree(block);
        } else {
            GlobalFree(block);
        }
    }
    CloseClipboard();
}

std::string PasteTextFromClipboard()
{
    std::string text;
    if (!OpenClipboard(nullptr))
        return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(data))) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

HBITMAP CreateDIB24(HDC dc, int width, int height, void*& bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = 40;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

COLORREF TBitmapBits24::Pixel(int x, int y) const
{
    const size_t at = static_cast<size_t>(Height - 1 - y) * static_cast<size_t>(Stride) + static_cast<size_t>(x) * 3;
    const auto* p = reinterpret_cast<const uint8_t*>(Bits.data()) + at;
    return RGB(p[2], p[1], p[0]);
}

TBitmapBits24 GetBitmapBits24(HBITMAP bitmap, COLORREF transparent)
{
    BITMAP desc{};
    if (!bitmap || !GetObjectA(bitmap, sizeof desc, &desc) || desc.bmWidth <= 0 || desc.bmHeight <= 0)
        throw Exception("Insufficient bit count in the bitmap!");
    TScreenDC screen;
    TBitmapBits24 out;
    out.Width = desc.bmWidth;
    out.Height = desc.bmHeight;
    out.Stride = (out.Width * 3 + 3) & ~3;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = out.Width;
    info.bmiHeader.biHeight = out.Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    out.Bits.resize(static_cast<size_t>(out.Stride) * static_cast<size_t>(out.Height));
    // GetDIBits converts sources of fewer bits (palettes of 4 and 8 bits) into the 24-bit rows.
    const int rows = GetDIBits(screen.Handle, bitmap, 0, static_cast<UINT>(out.Height), out.Bits.data(), &info,
                               DIB_RGB_COLORS);
    if (rows != out.Height || info.bmiHeader.biBitCount < 24)
        throw Exception("Insufficient bit count in the bitmap!");
    out.Transparent = transparent == 0x1FFFFFFF ? out.Pixel(0, out.Height - 1) : transparent;
    return out;
}

namespace {

// The cell of a strip to draw: the whole bitmap when there are fewer than two cells.
void GlyphCell(const TBitmapBits24& bits, int numGlyphs, int index, int& left, int& width)
{
    width = numGlyphs < 2 ? bits.Width : bits.Width / numGlyphs;
    left = numGlyphs < 2 ? 0 : width * index;
}

}  // namespace

void DrawGlyphShape(HDC dc, int x, int y, COLORREF transparent, COLORREF highlight, COLORREF shadow,
                    HBITMAP bitmap, int numGlyphs, int index)
{
    const TBitmapBits24 bits = GetBitmapBits24(bitmap, transparent);
    int left = 0, width = 0;
    GlyphCell(bits, numGlyphs, index, left, width);
    for (const auto& [color, offset] : {std::pair{highlight, 1}, std::pair{shadow, 0}}) {
        if (color == 0x1FFFFFFF)
            continue;
        for (int row = 0; row < bits.Height; ++row)
            for (int col = 0; col < width; ++col) {
                const COLORREF p = bits.Pixel(left + col, row);
                if (p != bits.Transparent && GetRValue(p) + GetGValue(p) + GetBValue(p) < 701)
                    SetPixel(dc, x + offset + col, y + offset + row, color);
            }
    }
}

COLORREF LightenedColor(COLORREF color)
{
    static const std::pair<COLORREF, COLORREF> Basic[] = {
        {0x000000, 0x303030}, {0x000080, 0x303090}, {0x008000, 0x309030}, {0x008080, 0x309090},
        {0x800000, 0x903030}, {0x800080, 0x903090}, {0x808000, 0x909030}, {0x808080, 0x909090},
        {0xC0C0C0, 0xD0D0D0}, {0x0000FF, 0x3030FF}, {0x00FF00, 0x30FF30}, {0x00FFFF, 0x30FFFF},
        {0xFF0000, 0xFF3030}, {0xFF00FF, 0xFF30FF}, {0xFFFF00, 0xFFFF30}, {0xFFFFFF, 0xFFFFFF},
    };
    for (const auto& [from, to] : Basic)
        if (color == from)
            return to;
    return static_cast<COLORREF>(GradientStep(static_cast<TColor>(color), clWhite, 4.0));
}

void DrawGlyph(HDC dc, int x, int y, unsigned flags, COLORREF shadowColor, COLORREF transparent, HBITMAP bitmap,
               int numGlyphs, int index)
{
    if (flags & 2) {
        DrawGlyphShape(dc, x + 1, y + 1, transparent, 0x1FFFFFFF, shadowColor, bitmap, numGlyphs, index);
        --x;
        --y;
    }
    const TBitmapBits24 bits = GetBitmapBits24(bitmap, transparent);
    int left = 0, width = 0;
    GlyphCell(bits, numGlyphs, index, left, width);
    for (int row = 0; row < bits.Height; ++row)
        for (int col = 0; col < width; ++col) {
            const COLORREF p = bits.Pixel(left + col, row);
            if (p != bits.Transparent)
                SetPixel(dc, x + col, y + row, (flags & 8) ? LightenedColor(p) : p);
        }
}

LOGFONTA MenuLogFont(const T_AM2000_Font& f, int escapement)
{
    LOGFONTA lf{};
    lf.lfHeight = f.Height;
    lf.lfWeight = (f.Style & 1) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (f.Style & 2) ? 1 : 0;
    lf.lfUnderline = (f.Style & 4) ? 1 : 0;
    lf.lfStrikeOut = (f.Style & 8) ? 1 : 0;
    lf.lfCharSet = f.Charset;
    lf.lfEscapement = lf.lfOrientation = escapement;
    lstrcpynA(lf.lfFaceName, f.Name.c_str(), LF_FACESIZE);
    return lf;
}
