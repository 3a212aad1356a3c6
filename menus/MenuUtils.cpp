#include "MenuUtils.h"

#include "AnimatedSkinCore.h"
#include "MenuItem2000.h"
#include "MenuUtilsCore.h"
#include "PopupMenu2000.h"
#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <memory>
#include <vector>

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

HBRUSH SunkenPatternBrush()
{
    static const HBRUSH brush = [] {
        const TScreenDC screen;
        const TSunkenPattern pattern = SunkenPattern(static_cast<TColor>(GetSysColor(COLOR_BTNHIGHLIGHT)),
                                                     static_cast<TColor>(GetSysColor(COLOR_BTNFACE)),
                                                     GetDeviceCaps(screen.Handle, BITSPIXEL));
        // A packed DIB, header then bottom-up rows of 24 bytes; the brush takes a copy.
        std::vector<uint8_t> dib(sizeof(BITMAPINFOHEADER) + 8 * 24);
        BITMAPINFOHEADER header{};
        header.biSize = sizeof header;
        header.biWidth = header.biHeight = 8;
        header.biPlanes = 1;
        header.biBitCount = 24;
        memcpy(dib.data(), &header, sizeof header);
        uint8_t* rows = dib.data() + sizeof header;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const auto c = static_cast<COLORREF>(pattern[static_cast<size_t>(y * 8 + x)]);
                uint8_t* p = rows + (7 - y) * 24 + x * 3;
                p[0] = GetBValue(c);
                p[1] = GetGValue(c);
                p[2] = GetRValue(c);
            }
        return CreateDIBPatternBrushPt(dib.data(), DIB_RGB_COLORS);
    }();
    return brush;
}

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

HBITMAP CreateDIB24(HDC, int width, int height, void*& bits)
{
    TDIBSection section(width, height, 24, false);
    bits = section.Bits();
    return section.Release();
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

constexpr COLORREF NoColour = 0x1FFFFFFF;

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
    if (flags & 0x40) {
        const COLORREF under = GetPixel(dc, x, y);
        DrawGlyphGlow(dc, x, y, under == GetPixel(dc, x + 1, y) ? under : NoColour, shadowColor, transparent, bitmap,
                      numGlyphs, index);
    }
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

void DrawGlyphGlow(HDC dc, int x, int y, COLORREF background, COLORREF glowColor, COLORREF transparent,
                   HBITMAP bitmap, int numGlyphs, int index)
{
    const TBitmapBits24 bits = GetBitmapBits24(bitmap, transparent);
    int left = 0, width = 0;
    GlyphCell(bits, numGlyphs, index, left, width);
    const int w = width + 2, h = bits.Height + 2;
    std::vector<uint32_t> under(static_cast<size_t>(w) * static_cast<size_t>(h), background);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w && background == NoColour; ++col)
            under[static_cast<size_t>(row * w + col)] = GetPixel(dc, x - 1 + col, y - 1 + row);
    std::vector<uint32_t> picture = under;
    for (int row = 0; row < bits.Height; ++row)
        for (int col = 0; col < width; ++col)
            if (bits.Pixel(left + col, row) != bits.Transparent)
                picture[static_cast<size_t>((row + 1) * w + col + 1)] = glowColor;
    picture = GlowBlur(picture, w, h);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            const size_t at = static_cast<size_t>(row * w + col);
            if (picture[at] != under[at])
                SetPixel(dc, x - 1 + col, y - 1 + row, picture[at]);
        }
}

namespace {

// An image of the list on the list's background (0xFF00FF when it has none), as a bottom-up
// 24-bit bitmap the glyph routines read; `background` gets the colour.
TBitmapHandle ImageListBitmap(HIMAGELIST list, int width, int height, int index, COLORREF& background)
{
    const COLORREF listBack = ImageList_GetBkColor(list);
    background = listBack == CLR_NONE ? RGB(255, 0, 255) : listBack;
    void* bits = nullptr;
    TBitmapHandle bitmap(CreateDIB24(nullptr, width, height, bits));
    const TMemoryDC dc(CreateCompatibleDC(nullptr));
    const TSelectObject select(dc.Get(), bitmap.Get());
    const TBrushHandle brush(CreateSolidBrush(background));
    const RECT all{0, 0, width, height};
    FillRect(dc.Get(), &all, brush.Get());
    ImageList_Draw(list, index, dc.Get(), 0, 0, ILD_TRANSPARENT);
    return bitmap;
}

}  // namespace

void DrawImageListGlyph(HDC dc, int x, int y, unsigned flags, COLORREF color, int width, int height, int index,
                        HIMAGELIST list)
{
    if (!(flags & (2 | 8 | 0x40))) {
        ImageList_Draw(list, index, dc, x, y, ILD_TRANSPARENT);
        return;
    }
    COLORREF background = 0;
    const TBitmapHandle bitmap = ImageListBitmap(list, width, height, index, background);
    if (flags & 2) {
        DrawGlyphShape(dc, x + 2, y + 2, background, NoColour, color, bitmap.Get(), 1, 0);
        ImageList_Draw(list, index, dc, x - 1, y - 1, ILD_TRANSPARENT);
    } else {
        DrawGlyph(dc, x, y, flags, color, background, bitmap.Get(), 1, 0);
    }
}

void DrawImageListShape(HDC dc, int x, int y, COLORREF highlight, COLORREF shadow, int width, int height, int index,
                        HIMAGELIST list)
{
    COLORREF background = 0;
    const TBitmapHandle bitmap = ImageListBitmap(list, width, height, index, background);
    DrawGlyphShape(dc, x, y, background, highlight, shadow, bitmap.Get(), 1, 0);
}

HICON FormIcon(HWND wnd)
{
    auto icon = reinterpret_cast<HICON>(SendMessageA(wnd, WM_GETICON, ICON_SMALL, 0));
    if (!icon)
        icon = reinterpret_cast<HICON>(GetClassLongPtrA(wnd, GCLP_HICONSM));
    if (!icon)
        icon = reinterpret_cast<HICON>(GetClassLongPtrA(wnd, GCLP_HICON));
    return icon;
}

void DrawFormIcon(HDC dc, const TCustomForm* form, int size, int y, int x)
{
    const auto iconOf = [](const TCustomForm* f) { return f && f->HandleAllocated() ? FormIcon(f->HandleOrNull()) : nullptr; };
    HICON icon = iconOf(form);
    if (!icon && Application)
        icon = iconOf(Application->MainForm());
    if (!icon)
        icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    if (!icon)
        icon = LoadIconA(nullptr, IDI_APPLICATION);
    const auto sized = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, size, size, LR_COPYFROMRESOURCE));
    DrawIconEx(dc, x, y, sized ? sized : icon, size, size, 0, nullptr, DI_NORMAL);
    if (sized)
        DestroyIcon(sized);
}

// ---- Item tests ----

std::string ItemCaption(const TMenuItem* item)
{
    if (!item)
        return {};
    auto* skinned = dynamic_cast<const TMenuItem2000*>(item);
    return skinned ? skinned->GetCaption() : item->Caption;
}

bool IsSeparatorItem(const TMenuItem* item) { return IsSeparatorCaption(ItemCaption(item)); }

bool ItemEnabled(const TMenuItem* item)
{
    auto* skinned = dynamic_cast<const TMenuItem2000*>(item);
    return skinned ? skinned->GetEnabled() : item && item->Enabled;
}

bool ItemVisible(const TMenuItem* item)
{
    auto* skinned = dynamic_cast<const TMenuItem2000*>(item);
    return skinned ? skinned->GetVisible() : item && item->Visible;
}

int ItemCount(const TMenuItem* item)
{
    if (!item || item->InState(TComponent::csDestroying))
        return 0;
    auto* skinned = dynamic_cast<const TMenuItem2000*>(item);
    if (!skinned)
        return item->Count();
    if (skinned->AttachMenu())
        return ItemCount(skinned->AttachMenu()->Items());
    return skinned->GetCount();
}

namespace {

// Entries of a skinned item's NativeHandle; the class library's handle only mirrors the children.
int NativeEntries(const TMenuItem* item)
{
    auto* skinned = dynamic_cast<const TMenuItem2000*>(item);
    return skinned && skinned->NativeHandle ? std::max(GetMenuItemCount(skinned->NativeHandle), 0) : 0;
}

}  // namespace

int ItemCountWithNative(const TMenuItem* item)
{
    const int count = ItemCount(item);
    return count ? count : NativeEntries(item);
}

bool HasSubItems(const TMenuItem* item)
{
    if (!item)
        return false;
    auto* skinned = dynamic_cast<const TMenuItem2000*>(item);
    if (!skinned)
        return item->Count() > 0;
    return NativeEntries(item) > 0 || skinned->GetCount() > 0 || skinned->AttachMenu();
}

bool NativeItemHasSubmenu(HMENU menu, int position)
{
    if (position < 0)
        return false;
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_SUBMENU;
    return GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info) && info.hSubMenu;
}

int TextWidthNoAccel(TCanvas& canvas, const std::string& caption)
{
    return canvas.TextWidth(StripAccelerators(caption));
}

// ---- Settings, caret and cursor ----

bool GradientCaptionsOn()
{
    BOOL on = FALSE;
    return SystemParametersInfoA(SPI_GETGRADIENTCAPTIONS, 0, &on, 0) && on;
}

namespace {
int HiddenCarets = 0;
int SavedCursor = crDefault;
}  // namespace

void HideMenuCaret()
{
    HideCaret(nullptr);
    ++HiddenCarets;
}

void RestoreCaret()
{
    for (; HiddenCarets > 0; --HiddenCarets)
        ShowCaret(nullptr);
}

int HiddenCaretCount() { return HiddenCarets; }

void SetTempCursor(int cursor)
{
    if (!Screen || Screen->Cursor() == cursor)
        return;
    SavedCursor = Screen->Cursor();
    Screen->SetCursor(cursor);
}

void RestoreTempCursor(int cursor)
{
    if (Screen && (cursor == -1 || Screen->Cursor() == cursor))
        Screen->SetCursor(SavedCursor);
}
