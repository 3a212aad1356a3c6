// The real menu window on a test form: the video window's popup items as they stand without
// media, in the player's skin.
#include "menus/DropShadow.h"
#include "menus/MenuUtils.h"
#include "menus/PopupMenu2000Form.h"
#include "menus/ThemeSupport.h"
#include "tests/menus/SpiSetting.h"
#include "tests/menus/TextExtent.h"
#include "tests/support/TestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void Pump(int ms)
{
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    do {
        PumpMenuMessages();
        Sleep(2);
    } while (static_cast<long>(end - GetTickCount()) > 0);
}

COLORREF ScreenPixel(int x, int y)
{
    const HDC dc = GetDC(nullptr);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return c;
}

bool RowHasColor(const RECT& r, COLORREF color)
{
    const HDC dc = GetDC(nullptr);
    bool found = false;
    for (int y = r.top; y < r.bottom && !found; ++y)
        for (int x = r.left; x < r.right && !found; ++x)
            found = GetPixel(dc, x, y) == color;
    ReleaseDC(nullptr, dc);
    return found;
}

// Keeps a screenshot of the rectangle in the build folder, for a look when a test fails.
void SaveScreenshot(const RECT& r, const char* name)
{
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return;
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD size = static_cast<DWORD>(((w * 3 + 3) & ~3) * h);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + size;
    if (FILE* f = std::fopen(name, "wb")) {
        std::fwrite(&file, sizeof file, 1, f);
        std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f);
        std::fwrite(bits, size, 1, f);
        std::fclose(f);
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

int MenuLineHeight()
{
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const HFONT font = CreateFontIndirectA(&metrics.lfMenuFont);
    const SIZE size = TextExtent(font, "Hj");
    DeleteObject(font);
    return size.cy + 7;
}

RECT WindowRect(HWND wnd)
{
    RECT r{};
    GetWindowRect(wnd, &r);
    return r;
}

RECT MonitorOf(POINT p)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromPoint(p, MONITOR_DEFAULTTOPRIMARY), &info);
    return info.rcMonitor;
}

struct TShadowWindows {
    std::vector<HWND> Found;
    static BOOL CALLBACK Add(HWND wnd, LPARAM param)
    {
        char name[64] = {};
        GetClassNameA(wnd, name, sizeof name);
        if (std::string(name) == "TCustomShadow" && IsWindowVisible(wnd))
            reinterpret_cast<TShadowWindows*>(param)->Found.push_back(wnd);
        return TRUE;
    }
};

std::vector<HWND> VisibleShadows()
{
    TShadowWindows list;
    EnumThreadWindows(GetCurrentThreadId(), TShadowWindows::Add, reinterpret_cast<LPARAM>(&list));
    return list.Found;
}

// A white window where the menus open: the desktop the shadows and blends see.
struct TWhiteDesktop {
    HWND Wnd = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_WHITERECT, 60, 60, 500, 600,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    TWhiteDesktop()
    {
        UpdateWindow(Wnd);
        Pump(50);
    }
    ~TWhiteDesktop() { DestroyWindow(Wnd); }
};

// A skin picture as a stored bitmap file, one colour per pixel (x, y from the top left).
template <class TPixel>
std::string Picture(int width, int height, TPixel pixel)
{
    std::vector<std::vector<uint8_t>> rows;
    for (int y = 0; y < height; ++y) {
        std::vector<uint8_t>& row = rows.emplace_back();
        for (int x = 0; x < width; ++x) {
            const COLORREF c = pixel(x, y);
            row.insert(row.end(), {GetBValue(c), GetGValue(c), GetRValue(c)});
        }
    }
    const std::vector<uint8_t> file = pvltest::BitmapFile(width, -height, 24, {}, rows);
    return std::string(file.begin(), file.end());
}

std::string Solid(int width, int height, COLORREF color)
{
    return Picture(width, height, [color](int, int) { return color; });
}

// A glyph strip of 8 x 8 frames, each one colour inside a ring of the transparent magenta.
std::string Strip(const std::vector<COLORREF>& frames)
{
    return Picture(8 * static_cast<int>(frames.size()), 8, [&frames](int x, int y) {
        const int cx = x % 8;
        return cx == 0 || cx == 7 || y == 0 || y == 7 ? RGB(255, 0, 255) : frames[static_cast<size_t>(x / 8)];
    });
}

constexpr COLORREF StripRed = RGB(200, 0, 0), StripGreen = RGB(0, 200, 0), StripBlue = RGB(0, 0, 200),
                   StripYellow = RGB(200, 200, 0);

class MenuWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        MenuUnitStart();  // the skin's resource finder
        UseMenuWindows();
        // The menus follow the pointer: it stays away from where they open.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
        SetMenuSoundPlayer([this](const std::string& name) { Sounds.push_back(name); });
        Form = new TForm(nullptr);
        Form->SetBounds(20, 20, 200, 100);
        Form->Show();
        Skin = NewComponent<TMoney>(Form);
        Menu = NewComponent<TPopupMenu2000>(Form);
        TPopupMenu video(nullptr);
        BuildVideoItems(*video.Items());
        Menu->Assign(video);
        Menu->SetAnimatedSkin(Skin);
        Menu->Options().SetAnimation(anNone);
    }
    void TearDown() override
    {
        CloseMenus();
        delete Form;
        SetMenuSoundPlayer(nullptr);
        SetMenuLayeredWindows(true);
        SetPopupWindowFactory(nullptr);
    }
    // The video window's popup items, as the player leaves them without media.
    static void BuildVideoItems(TMenuItem& items)
    {
        for (const char* caption : {"Play/Pause", "Stop", "Previous", "Next", "-"})
            items.AddNew(caption);
        items.AddNew("Audio Tracks")->Visible = false;
        TMenuItem* subtitles = items.AddNew("Subtitles");
        TMenuItem* show = subtitles->AddNew("Show Subtitles");
        TMenuItem* hide = subtitles->AddNew("Hide Subtitles");
        for (TMenuItem* item : {show, hide}) {
            item->RadioItem = true;
            item->GroupIndex = 1;
        }
        show->Checked = true;
        subtitles->AddNew("-");
        subtitles->AddNew("[NONE AVALIBLE]")->Enabled = false;
        items.AddNew("Chapters")->Visible = false;
        items.AddNew("Bookmarks")->Enabled = false;
        items.AddNew("-");
        items.AddNew("FullScreen")->ShortCutText = "Alt+Enter";
        items.AddNew("Stay On Top");
        items.AddNew("-");
        items.AddNew("Settings");
        items.AddNew("View")->AddNew("Snapshot Browser");
        items.AddNew("-");
        items.AddNew("Exit");
    }
    TPopupMenu2000Form& Window() { return dynamic_cast<TPopupMenu2000Form&>(Menu->GetPopupForm()); }
    HWND Open(int x, int y)
    {
        Menu->ShowPopup(x, y);
        Pump(30);
        return Window().HandleOrNull();
    }
    RECT Row(int row)
    {
        RECT r{};
        EXPECT_EQ(SendMessageA(Window().HandleOrNull(), WM_AM2000_ROWRECT, static_cast<WPARAM>(row),
                               reinterpret_cast<LPARAM>(&r)),
                  1);
        return r;
    }
    // Opens the menu with a selection frame in its own colours and selects the first row.
    HWND OpenFramedSelection(T_AM2000_Flags flags, int frameWidth, int borderWidth, COLORREF frame, COLORREF shadow,
                             COLORREF border)
    {
        T_AM2000_MenuOptions& options = Menu->Options();
        options.SetFlags(options.Flags() | flags);
        options.Margins().Set(T_AM2000_Margins::Frame, frameWidth);
        options.Margins().Set(T_AM2000_Margins::Border, borderWidth);
        options.Colors().Set(T_AM2000_Colors::Frame, frame);
        options.Colors().Set(T_AM2000_Colors::FrameShadow, shadow);
        options.Colors().Set(T_AM2000_Colors::Border, border);
        const HWND wnd = Open(100, 100);
        SendMessageA(wnd, WM_AM2000_SELECTROW, 0, 0);
        Pump(10);
        return wnd;
    }
    TForm* Form = nullptr;
    TMoney* Skin = nullptr;
    TPopupMenu2000* Menu = nullptr;
    std::vector<std::string> Sounds;
};

}  // namespace

TEST_F(MenuWindow, OpensAtThePointAsATopmostToolWindowWithoutTakingTheFocus)
{
    const HWND before = GetForegroundWindow();
    const HWND wnd = Open(100, 120);
    ASSERT_NE(wnd, nullptr);
    EXPECT_TRUE(IsWindowVisible(wnd));
    EXPECT_EQ(GetForegroundWindow(), before);
    const LONG_PTR ex = GetWindowLongPtrA(wnd, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_FALSE(ex & WS_EX_LAYERED);
    EXPECT_TRUE(GetClassLongPtrA(wnd, GCL_STYLE) & CS_SAVEBITS);
    EXPECT_EQ(SendMessageA(wnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(Form->Handle()), 0), MA_NOACTIVATE);

    // Nine rows of the line height, two glyph rows of at least 20, four separators of 9 and the
    // one-pixel bevel around them.
    const int lh = MenuLineHeight();
    const RECT r = WindowRect(wnd);
    SaveScreenshot(r, "menu_window_video.bmp");
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 120);
    EXPECT_EQ(r.bottom - r.top, 2 + 4 * 9 + 9 * lh + 2 * std::max(lh, 20));
    EXPECT_EQ(Window().RowCount(), 15);
    EXPECT_EQ(Sounds, std::vector<std::string>{"MenuPopup"});
}

TEST_F(MenuWindow, FlipsLeftAndUpAtTheMonitorsEdges)
{
    const RECT mon = MonitorOf(POINT{0, 0});
    HWND wnd = Open(mon.right - 20, 100);
    RECT r = WindowRect(wnd);
    EXPECT_EQ(r.right, mon.right - 20 + 1);
    EXPECT_EQ(r.top, 100);
    CloseMenus();

    wnd = Open(100, mon.bottom - 30);
    r = WindowRect(wnd);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.bottom, mon.bottom - 30 + 1);
    CloseMenus();

    wnd = Open(mon.right - 20, mon.bottom - 30);
    r = WindowRect(wnd);
    EXPECT_EQ(r.right, mon.right - 20 + 1);
    EXPECT_EQ(r.bottom, mon.bottom - 30 + 1);
}

TEST_F(MenuWindow, PaintsTheSkinsRingBackgroundSelectionAndTexts)
{
    const HWND wnd = Open(100, 100);
    const RECT r = WindowRect(wnd);
    EXPECT_EQ(ScreenPixel(r.left, r.top), RGB(68, 68, 68));
    EXPECT_EQ(ScreenPixel(r.right - 1, r.bottom - 1), RGB(68, 68, 68));
    const RECT first = Row(0);
    EXPECT_EQ(ScreenPixel(first.right - 3, (first.top + first.bottom) / 2), RGB(91, 91, 91));
    EXPECT_TRUE(RowHasColor(first, RGB(255, 255, 255)));  // the caption in clWhite

    SendMessageA(wnd, WM_AM2000_SELECTROW, 0, 0);
    Pump(10);
    SaveScreenshot(r, "menu_window_selected.bmp");
    EXPECT_EQ(ScreenPixel(first.right - 3, (first.top + first.bottom) / 2), RGB(80, 80, 80));
    EXPECT_TRUE(RowHasColor(first, RGB(255, 223, 127)));
    EXPECT_FALSE(RowHasColor(first, RGB(255, 255, 255)));

    // Bookmarks (row 6) is disabled: grey text, no shadow colour of its own.
    const RECT bookmarks = Row(6);
    EXPECT_TRUE(RowHasColor(bookmarks, RGB(145, 145, 145)));
    EXPECT_FALSE(RowHasColor(bookmarks, RGB(255, 255, 255)));

    // The first separator (row 4): a line 14 pixels in from the row's left.
    const RECT sep = Row(4);
    bool line = false;
    for (int y = sep.top; y < sep.bottom; ++y)
        if (ScreenPixel(sep.left + 14, y) == RGB(112, 112, 112)) {
            line = true;
            EXPECT_EQ(ScreenPixel(sep.left + 13, y), RGB(91, 91, 91));
            EXPECT_EQ(ScreenPixel(sep.right - 15, y), RGB(112, 112, 112));
            EXPECT_EQ(ScreenPixel(sep.right - 14, y), RGB(91, 91, 91));
        }
    EXPECT_TRUE(line);

    // Subtitles (row 5) has children: its arrow in the text colour at the right.
    const RECT subtitles = Row(5);
    EXPECT_TRUE(RowHasColor(RECT{subtitles.right - 24, subtitles.top, subtitles.right, subtitles.bottom},
                            RGB(255, 255, 255)));
    EXPECT_FALSE(RowHasColor(RECT{first.right - 24, first.top, first.right, first.bottom}, RGB(255, 255, 255)));
}

TEST_F(MenuWindow, ACheckedRadioItemsGlyphBoxTakesTheHighlight)
{
    Menu->RootItem = static_cast<TMenuItem2000*>(Menu->Items()->Items(6));  // Subtitles
    const HWND wnd = Open(100, 100);
    SaveScreenshot(WindowRect(wnd), "menu_window_subtitles.bmp");
    const RECT checked = Row(0);
    EXPECT_EQ(ScreenPixel(checked.left + 1, checked.top + 1), RGB(80, 80, 80));
    const RECT unchecked = Row(1);
    EXPECT_EQ(ScreenPixel(unchecked.left + 1, unchecked.top + 1), RGB(91, 91, 91));
}

// An item's own bitmap: a blue square in a ring of magenta, whose bottom-left pixel makes it
// transparent.
namespace {
TBitmap RingedSquare(int height)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(16 * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 16; ++x)
            pixels[static_cast<size_t>(y * 16 + x)] =
                x == 0 || x == 15 || y == 0 || y == height - 1 ? 0xFFFF00FFu : 0xFF0000C8u;
    TBitmap bitmap;
    bitmap.SetPixels(16, height, pixels.data());
    return bitmap;
}
}  // namespace

TEST_F(MenuWindow, AnItemsBitmapIsItsGlyphEmbossedWhenDisabledAndSetsItsRowHeight)
{
    constexpr COLORREF disabledText = RGB(10, 120, 30);
    Menu->Options().Colors().Set(T_AM2000_Colors::DisabledText, disabledText);
    TMenuItem2000* view = Menu->Items()->Items(14);  // View: Snapshot Browser, then the three
    Menu->RootItem = view;
    TMenuItem2000* plain = view->AddNew("Plain Picture");
    TMenuItem2000* disabled = view->AddNew("Disabled Picture");
    TMenuItem2000* tall = view->AddNew("Tall Picture");
    plain->SetBitmap(RingedSquare(16));
    disabled->SetBitmap(RingedSquare(16));
    disabled->SetEnabled(false);
    tall->SetBitmap(RingedSquare(24));
    const HWND wnd = Open(100, 100);
    SaveScreenshot(WindowRect(wnd), "menu_window_item_bitmaps.bmp");
    const auto glyphColumn = [this](int row) {
        const RECT r = Row(row);
        return RECT{r.left, r.top, r.left + 24, r.bottom};
    };
    EXPECT_TRUE(RowHasColor(glyphColumn(1), RGB(0, 0, 200)));
    EXPECT_FALSE(RowHasColor(glyphColumn(1), RGB(255, 0, 255)));
    EXPECT_FALSE(RowHasColor(glyphColumn(1), disabledText));
    EXPECT_TRUE(RowHasColor(glyphColumn(2), disabledText));
    EXPECT_FALSE(RowHasColor(glyphColumn(2), RGB(0, 0, 200)));
    EXPECT_EQ(Row(3).bottom - Row(3).top, 28);

    TMenuItem2000* copy = NewComponent<TMenuItem2000>(Form);
    copy->Assign(*tall);
    ASSERT_EQ(copy->GetBitmap().Height(), 24);
    EXPECT_EQ(copy->GetBitmap().Pixels()[17], 0xFF0000C8u);
}

TEST_F(MenuWindow, ClosesThroughTheFamilysMessagesAndReusesItsWindow)
{
    const HWND wnd = Open(100, 100);
    EXPECT_TRUE(Menu->IsShowing());
    EXPECT_EQ(SendMessageA(wnd, WM_AM2000_STOPTIMER, 0, 0), 0);
    EXPECT_EQ(SendMessageA(wnd, WM_AM2000_CLOSE, 0, 0), 1);
    EXPECT_FALSE(Menu->IsShowing());
    SendMessageA(wnd, WM_AM2000_HIDE, 0, 1);
    EXPECT_FALSE(IsWindowVisible(wnd));
    const RECT r = WindowRect(wnd);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 0);
    EXPECT_EQ(r.bottom, 0);
    EXPECT_EQ(OpenMenuWindows(), 0);

    EXPECT_EQ(Open(200, 150), wnd);
    EXPECT_TRUE(IsWindowVisible(wnd));
    EXPECT_EQ(WindowRect(wnd).left, 200);
}

TEST_F(MenuWindow, ACloseDuringTheAnimationFinishesItFirst)
{
    Menu->Options().SetAnimation(anVertSlide);
    Menu->ShowPopup(100, 100);
    TPopupMenu2000Form& w = Window();
    EXPECT_TRUE(w.State(TPopupMenu2000Form::wsAnimating));
    SendMessageA(w.HandleOrNull(), WM_AM2000_CLOSE, 0, 0);
    SendMessageA(w.HandleOrNull(), WM_AM2000_HIDE, 0, 1);
    EXPECT_TRUE(w.State(TPopupMenu2000Form::wsAnimationDone));
    EXPECT_FALSE(w.State(TPopupMenu2000Form::wsAnimating));
    EXPECT_FALSE(IsWindowVisible(w.HandleOrNull()));
    Pump(50);  // steps still queued do nothing
    EXPECT_EQ(w.Width(), 0);
}

TEST_F(MenuWindow, SlidesDownInSteadyStepsFromATenth)
{
    TSpiSetting animation(SPI_GETMENUANIMATION, SPI_SETMENUANIMATION, true);
    TSpiSetting fade(SPI_GETMENUFADE, SPI_SETMENUFADE, false);
    Menu->Options().SetAnimation(anDefault);
    Menu->ShowPopup(100, 100);
    TPopupMenu2000Form& w = Window();
    const HWND wnd = w.HandleOrNull();
    EXPECT_EQ(w.EffectiveKind(), anVertSlide);
    std::vector<int> heights{WindowRect(wnd).bottom - WindowRect(wnd).top};
    for (int i = 0; i < 2000 && !w.State(TPopupMenu2000Form::wsAnimationDone); ++i) {
        MSG msg;  // one message at a time: each step posts the next
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        const int h = WindowRect(wnd).bottom - WindowRect(wnd).top;
        if (h != heights.back())
            heights.push_back(h);
        Sleep(1);
    }
    ASSERT_TRUE(w.State(TPopupMenu2000Form::wsAnimationDone));
    const int full = heights.back();
    const int step = std::max(full / 16, 3);
    EXPECT_EQ(heights.front(), full / 10);
    for (size_t i = 1; i + 1 < heights.size(); ++i)
        EXPECT_EQ(heights[i] - heights[i - 1], step) << i;
    EXPECT_GT(heights.size(), 3u);
    EXPECT_EQ(WindowRect(wnd).top, 100);
}

TEST_F(MenuWindow, AlphaKindsFadeThroughTheLayeredAttributes)
{
    TSpiSetting animation(SPI_GETMENUANIMATION, SPI_SETMENUANIMATION, true);
    TSpiSetting fade(SPI_GETMENUFADE, SPI_SETMENUFADE, true);
    struct Case {
        T_AM2000_Animation kind;
        int opacity;
        int finalAlpha;
    };
    for (const Case& c : {Case{anDefault, 100, 255}, Case{anAlpha, 60, 153}, Case{anAlphaSlide, 100, 255}}) {
        Menu->Options().SetAnimation(c.kind);
        Menu->Options().SetOpacity(c.opacity);
        Menu->ShowPopup(100, 100);
        TPopupMenu2000Form& w = Window();
        const HWND wnd = w.HandleOrNull();
        EXPECT_TRUE(GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_LAYERED) << c.kind;
        BYTE alpha = 0;
        DWORD flags = 0;
        ASSERT_TRUE(GetLayeredWindowAttributes(wnd, nullptr, &alpha, &flags));
        EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
        EXPECT_EQ(alpha, 16) << c.kind;  // the first frame, sent at once
        for (int i = 0; i < 400 && !w.State(TPopupMenu2000Form::wsAnimationDone); ++i)
            Pump(2);
        ASSERT_TRUE(GetLayeredWindowAttributes(wnd, nullptr, &alpha, &flags));
        EXPECT_EQ(alpha, c.finalAlpha) << c.kind;
        CloseMenus();
    }
    // A slide below full opacity is see-through from its first step.
    Menu->Options().SetAnimation(anVertSlide);
    Menu->Options().SetOpacity(60);
    Menu->ShowPopup(100, 100);
    BYTE alpha = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(Window().HandleOrNull(), nullptr, &alpha, nullptr));
    EXPECT_EQ(alpha, 153);
}

TEST_F(MenuWindow, WheelMovesTheSelectionByRows)
{
    const HWND wnd = Open(100, 100);
    SendMessageA(wnd, WM_AM2000_SELECTROW, 0, 0);
    SendMessageA(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-60)), 0);
    EXPECT_EQ(Window().Selection(), 0);
    SendMessageA(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-180)), 0);
    EXPECT_EQ(Window().Selection(), 2);
    SendMessageA(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), 0);
    EXPECT_EQ(Window().Selection(), 5);  // over the separator
    SendMessageA(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    EXPECT_EQ(Window().Selection(), 3);
    EXPECT_EQ(reinterpret_cast<TMenuItem*>(SendMessageA(wnd, WM_AM2000_SELECTEDITEM, 0, 0)),
              Menu->Items()->Items(3));
}

TEST_F(MenuWindow, ShowsAWindowsSystemMenuInTheSkin)
{
    const HMENU system = GetSystemMenu(Form->Handle(), FALSE);
    ASSERT_NE(system, nullptr);
    Menu->Items()->Clear();
    Menu->RootHandle = system;
    const HWND wnd = Open(100, 100);
    SaveScreenshot(WindowRect(wnd), "menu_window_system.bmp");
    int closeRow = -1;
    for (int pos = 0, row = 0; pos < GetMenuItemCount(system); ++pos) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE;
        GetMenuItemInfoA(system, static_cast<UINT>(pos), TRUE, &info);
        if ((info.fType & MFT_SEPARATOR) && pos == 0)
            continue;
        if (info.wID == SC_CLOSE)
            closeRow = row;
        ++row;
    }
    ASSERT_GE(closeRow, 0);
    const RECT close = Row(closeRow);
    // Its table glyph in the glyph column, its "Alt+F4" in the shortcut column.
    bool glyph = false;
    for (int y = close.top; y < close.bottom; ++y)
        for (int x = close.left; x < close.left + 20; ++x) {
            const COLORREF c = ScreenPixel(x, y);
            glyph = glyph || (c != RGB(91, 91, 91) && c != RGB(68, 68, 68));
        }
    EXPECT_TRUE(glyph);
    EXPECT_TRUE(RowHasColor(RECT{close.right - 60, close.top, close.right - 20, close.bottom}, RGB(255, 255, 255)));
}

TEST_F(MenuWindow, ScrollsAMenuTallerThanTheMonitor)
{
    Menu->Items()->Clear();
    for (int i = 0; i < 100; ++i)
        Menu->Items()->Add(NewItem2000(Menu, "Item " + std::to_string(i), 0, false, true, nullptr, 0, ""));
    const RECT mon = MonitorOf(POINT{0, 0});
    const HWND wnd = Open(100, 50);
    EXPECT_TRUE(Window().State(TPopupMenu2000Form::wsScroll));
    const RECT r = WindowRect(wnd);
    EXPECT_EQ(r.top, 50);
    EXPECT_LE(r.bottom, mon.bottom);
    SendMessageA(wnd, WM_AM2000_SELECTROW, 99, 0);
    RECT last{};
    SendMessageA(wnd, WM_AM2000_ROWRECT, 99, reinterpret_cast<LPARAM>(&last));
    EXPECT_LE(last.bottom, r.bottom);
    EXPECT_GE(last.top, r.top);
}

TEST_F(MenuWindow, DropShadowsFollowTheWindowAndLeaveWithIt)
{
    TSpiSetting shadow(SPI_GETDROPSHADOW, SPI_SETDROPSHADOW, true);
    Skin->SetSystemShadow(true);
    Menu->Options().SetAnimation(anVertSlide);
    Menu->ShowPopup(100, 100);
    TPopupMenu2000Form& w = Window();
    // While the window grows, the right shadow is as tall as it is now.
    ASSERT_NE(w.DropShadow(), nullptr);
    const RECT growing = WindowRect(w.HandleOrNull());
    const RECT early = WindowRect(w.DropShadow()->Vertical());
    EXPECT_EQ(early.bottom - early.top, growing.bottom - growing.top);
    for (int i = 0; i < 400 && !w.State(TPopupMenu2000Form::wsAnimationDone); ++i)
        Pump(2);
    const RECT r = WindowRect(w.HandleOrNull());
    EXPECT_GT(r.bottom - r.top, growing.bottom - growing.top);
    const std::vector<HWND> shadows = VisibleShadows();
    ASSERT_EQ(shadows.size(), 2u);
    ASSERT_NE(w.DropShadow(), nullptr);
    const RECT v = WindowRect(w.DropShadow()->Vertical()), h = WindowRect(w.DropShadow()->Horizontal());
    EXPECT_EQ(v.left, r.right);
    EXPECT_EQ(v.top, r.top + 5);
    EXPECT_EQ(v.right - v.left, 5);
    EXPECT_EQ(v.bottom - v.top, r.bottom - r.top);
    EXPECT_EQ(h.left, r.left + 5);
    EXPECT_EQ(h.top, r.bottom);
    EXPECT_EQ(h.right - h.left, r.right - r.left - 5);
    EXPECT_EQ(h.bottom - h.top, 5);
    for (HWND s : shadows) {
        const LONG_PTR ex = GetWindowLongPtrA(s, GWL_EXSTYLE);
        EXPECT_TRUE(ex & WS_EX_LAYERED);
        EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
        EXPECT_TRUE(ex & WS_EX_TOPMOST);
    }
    CloseMenus();
    EXPECT_TRUE(VisibleShadows().empty());
}

TEST_F(MenuWindow, CopiedDesktopShadowsDarkenWhatWasUnderTheMenus)
{
    SetMenuLayeredWindows(false);
    const TWhiteDesktop white;
    Menu->Options().SetFlags(Menu->Options().Flags() | FlagBit(mfDropShadow));
    const HWND wnd = Open(100, 100);
    const RECT r = WindowRect(wnd);
    SaveScreenshot(RECT{r.left, r.top, r.right + 10, r.bottom + 10}, "menu_window_shadow98.bmp");
    ASSERT_NE(Window().DropShadow(), nullptr);
    EXPECT_FALSE(Window().DropShadow()->Layered());
    // Next to the menu, in the middle: five ninths of white.
    EXPECT_EQ(ScreenPixel(r.right, r.top + 40), RGB(142, 142, 142));
    EXPECT_EQ(ScreenPixel(r.right + 3, r.top + 40), RGB(227, 227, 227));
    EXPECT_EQ(ScreenPixel(r.left + 40, r.bottom), RGB(140, 140, 140));  // 255 div 9 * 5
    CloseMenus();
}

TEST_F(MenuWindow, FlatSystemMenusGetABevelAndABorder)
{
    TSpiSetting flat(SPI_GETFLATMENU, SPI_SETFLATMENU, true);
    Menu->SetAnimatedSkin(nullptr);
    Menu->SystemCtl3D = true;
    Open(100, 100);
    EXPECT_FALSE(Window().State(TPopupMenu2000Form::wsThreeD));
    EXPECT_EQ(Window().EffectiveOptions().Margins().Get(T_AM2000_Margins::Bevel), 1);
    EXPECT_EQ(Window().EffectiveOptions().Margins().Get(T_AM2000_Margins::Border), 2);
}

namespace {
std::vector<std::pair<DWORD, HWND>> WinEvents;
void CALLBACK RecordWinEvent(HWINEVENTHOOK, DWORD event, HWND wnd, LONG object, LONG, DWORD, DWORD)
{
    if (object == OBJID_MENU)
        WinEvents.emplace_back(event, wnd);
}
}  // namespace

TEST_F(MenuWindow, AccessibilityHearsTheMenuShowAndPopupStart)
{
    WinEvents.clear();
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, RecordWinEvent, GetCurrentProcessId(), 0,
                                               WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    const HWND wnd = Open(100, 100);
    Pump(50);
    UnhookWinEvent(hook);
    std::vector<DWORD> ours;
    for (const auto& [event, w] : WinEvents)
        if (w == wnd)
            ours.push_back(event);
    ASSERT_GE(ours.size(), 2u);
    EXPECT_EQ(ours[0], static_cast<DWORD>(EVENT_OBJECT_SHOW));
    EXPECT_EQ(ours[1], static_cast<DWORD>(EVENT_SYSTEM_MENUPOPUPSTART));
}

TEST_F(MenuWindow, SelectionTellsTheOwnerFormAndRowsFollowItemChanges)
{
    struct TSelects {
        std::vector<std::pair<WPARAM, LPARAM>> List;
    } selects;
    // The owner form's window procedure records WM_MENUSELECT.
    static TSelects* current = nullptr;
    current = &selects;
    struct Proc {
        static LRESULT CALLBACK Record(HWND wnd, UINT msg, WPARAM w, LPARAM l)
        {
            if (msg == WM_MENUSELECT && current)
                current->List.emplace_back(w, l);
            return CallWindowProcA(reinterpret_cast<WNDPROC>(GetPropA(wnd, "TestOldProc")), wnd, msg, w, l);
        }
    };
    const HWND formWnd = Form->Handle();
    SetPropA(formWnd, "TestOldProc",
             reinterpret_cast<HANDLE>(SetWindowLongPtrA(formWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc::Record))));
    const HWND wnd = Open(100, 100);
    SendMessageA(wnd, WM_AM2000_SELECTROW, 3, 0);
    SendMessageA(wnd, WM_AM2000_SELECTROW, 5, 0);
    ASSERT_EQ(selects.List.size(), 2u);
    EXPECT_EQ(LOWORD(selects.List[0].first), static_cast<WORD>(Menu->Items()->Items(3)->Command()));
    EXPECT_EQ(HIWORD(selects.List[0].first), 0);
    EXPECT_EQ(selects.List[0].second, 0);
    EXPECT_EQ(LOWORD(selects.List[1].first), 6);  // Subtitles (row 5): its index, with the popup flag
    EXPECT_EQ(HIWORD(selects.List[1].first), MF_POPUP);
    EXPECT_EQ(selects.List[1].second, reinterpret_cast<LPARAM>(Menu->Items()->Items(6)->Handle()));
    SetWindowLongPtrA(formWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RemovePropA(formWnd, "TestOldProc")));
    current = nullptr;

    // A new item grows the window by a row.
    const int before = WindowRect(wnd).bottom - WindowRect(wnd).top;
    Menu->Items()->Add(NewItem2000(Menu, "About", 0, false, true, nullptr, 0, ""));
    Pump(20);
    EXPECT_EQ(WindowRect(wnd).bottom - WindowRect(wnd).top, before + MenuLineHeight());
    EXPECT_EQ(Window().RowCount(), 16);
}

TEST_F(MenuWindow, WithoutLayeredWindowsOpacityAndFadeBlendByteWise)
{
    SetMenuLayeredWindows(false);
    const TWhiteDesktop white;

    // Half opacity: the menu's grey half way to the white under it.
    Menu->Options().SetOpacity(50);
    HWND wnd = Open(100, 100);
    EXPECT_FALSE(GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    RECT first = Row(0);
    EXPECT_EQ(ScreenPixel(first.right - 3, (first.top + first.bottom) / 2), RGB(173, 173, 173));
    CloseMenus();
    Pump(30);

    // A fade starts from the desktop and moves a sixteenth of the way a frame: white less
    // 10 per frame (164 / 16 truncated), then the menu's own grey.
    Menu->Options().SetOpacity(100);
    Menu->Options().SetAnimation(anAlpha);
    Menu->ShowPopup(100, 100);
    TPopupMenu2000Form& w = Window();
    first = Row(0);
    std::vector<int> seen;
    for (int i = 0; i < 3000 && !w.State(TPopupMenu2000Form::wsAnimationDone); ++i) {
        MSG msg;  // one message at a time: each frame posts the next
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        const int v = GetRValue(ScreenPixel(first.right - 3, (first.top + first.bottom) / 2));
        if (v != 255 && v != 91 && (seen.empty() || seen.back() != v))
            seen.push_back(v);
    }
    // Wine shows some frames only (its window surfaces reach the screen on their own clock).
    ASSERT_FALSE(seen.empty());
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ((255 - seen[i]) % 10, 0) << seen[i];
        EXPECT_GE(seen[i], 95);
        if (i > 0) {
            EXPECT_LT(seen[i], seen[i - 1]);
        }
    }
    Pump(20);
    EXPECT_EQ(ScreenPixel(first.right - 3, (first.top + first.bottom) / 2), RGB(91, 91, 91));
    CloseMenus();
}

TEST(MenuDesktop, EarlierSnapshotsWinOverWhatTheScreenShowsNow)
{
    T_AM2000_Desktop& desktop = T_AM2000_Desktop::Instance();
    desktop.Release();
    auto pixelOf = [&](int x, int y, int w, int h, int px, int py) {
        const HDC dc = CreateCompatibleDC(nullptr);
        const HDC screen = GetDC(nullptr);
        const HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
        ReleaseDC(nullptr, screen);
        const HGDIOBJ old = SelectObject(dc, bitmap);
        desktop.CopyRect(dc, x, y, w, h, true);
        const COLORREF c = GetPixel(dc, px, py);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        return c;
    };
    COLORREF first;
    {
        const TWhiteDesktop white;
        first = pixelOf(100, 100, 50, 50, 10, 10);
        EXPECT_EQ(first, RGB(255, 255, 255));
    }
    // A dark window (a menu, say) now covers the place.
    const HWND black = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_BLACKRECT,
                                       60, 60, 500, 600, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    UpdateWindow(black);
    Pump(50);
    const int copies = desktop.ScreenCopies();
    // Inside the first snapshot's margin: no new copy, the white from before.
    EXPECT_EQ(pixelOf(85, 85, 70, 70, 20, 20), RGB(255, 255, 255));
    EXPECT_EQ(desktop.ScreenCopies(), copies);
    // Reaching past it: a new copy, in which the earlier snapshot's part stays white.
    EXPECT_EQ(pixelOf(150, 150, 100, 100, 5, 5), RGB(255, 255, 255));
    const COLORREF now = ScreenPixel(240, 240);
    EXPECT_NE(now, RGB(255, 255, 255));
    EXPECT_EQ(pixelOf(150, 150, 100, 100, 90, 90), now);
    EXPECT_EQ(desktop.ScreenCopies(), copies + 1);
    EXPECT_EQ(desktop.SnapshotCount(), 2);
    desktop.Release();
    EXPECT_EQ(desktop.SnapshotCount(), 0);
    DestroyWindow(black);
}

TEST_F(MenuWindow, HintsGetAToolRegionPerRowAndTheDeferredCloseCancels)
{
    Menu->SetShowHint(true);
    Menu->Items()->Items(0)->Hint = "Plays or pauses";
    bool cancelled = false;
    int closes = 0;
    Menu->OnMenuClose = [&](TObject*, bool c) {
        cancelled = c;
        ++closes;
    };
    const HWND wnd = Open(100, 100);
    ASSERT_NE(Window().ToolTip(), nullptr);
    // Play/Pause by its own hint; Bookmarks, FullScreen, View and Exit by the table's.
    EXPECT_EQ(SendMessageA(Window().ToolTip()->Handle(), TTM_GETTOOLCOUNT, 0, 0), 5);

    Window().DeferClose(30);
    EXPECT_TRUE(IsWindowVisible(wnd));
    Pump(200);
    EXPECT_FALSE(IsWindowVisible(wnd));
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(Window().ToolTip(), nullptr);
}

TEST_F(MenuWindow, TitleBandShowsItsGradientAtItsSideAndMovesTheRows)
{
    struct Case {
        T_AM2000_TitlePosition position;
        T_AM2000_Gradient gradient;
        T_AM2000_GradientDirection direction;
        TColor begin, end;
        const char* text;
        COLORREF atStart, atMiddle, atEnd;  // along the gradient; CLR_INVALID: not looked at
    };
    const COLORREF blue = RGB(0, 0, 255), red = RGB(255, 0, 0), green = RGB(0, 255, 0);
    const Case cases[] = {
        {atLeft, grLinear, gdVertical, 0xFF0000, 0, "", blue, CLR_INVALID, RGB(0, 0, 0)},
        {atRight, grReflected, gdVertical, 0x0000FF, 0x00FF00, "", red, green, red},
        {atTop, grLinear, gdHorizontal, 0x00FFFF, 0x00FFFF, "", RGB(255, 255, 0), RGB(255, 255, 0), RGB(255, 255, 0)},
        {atBottom, grLinear, gdHorizontal, 0x0000FF, 0xFF0000, "", red, CLR_INVALID, blue},
        {atLeft, grLinear, gdVertical, 0xFF0000, 0xFF0000, "Parvolux", blue, CLR_INVALID, blue},
        {atTop, grLinear, gdVertical, 0x00FF00, 0x00FF00, "Parvolux", green, CLR_INVALID, green},
    };
    const int width = 30, frame = 1;  // the skin's bevel
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.position) << " " << int(c.gradient) << " " << c.text);
        T_AM2000_Title& title = Menu->Options().Title();
        title.Visible = true;
        title.Width = width;
        title.Position = c.position;
        title.Gradient = c.gradient;
        title.GradientDirection = c.direction;
        title.ColorBegin = c.begin;
        title.ColorEnd = c.end;
        title.Text = c.text;
        const HWND wnd = Open(100, 100);
        const RECT w = WindowRect(wnd);
        SaveScreenshot(w, "menu_window_title.bmp");
        RECT band{w.left + frame, w.top + frame, w.right - frame, w.bottom - frame};
        switch (c.position) {
        case atLeft: band.right = band.left + width; break;
        case atRight: band.left = band.right - width; break;
        case atTop: band.bottom = band.top + width; break;
        case atBottom: band.top = band.bottom - width; break;
        }
        const int midX = (band.left + band.right) / 2, midY = (band.top + band.bottom) / 2;
        const bool vertical = c.direction == gdVertical;
        const POINT start = vertical ? POINT{band.left + 2, band.bottom - 1} : POINT{band.left, band.top + 2};
        const POINT end = vertical ? POINT{band.left + 2, band.top} : POINT{band.right - 1, band.top + 2};
        EXPECT_EQ(ScreenPixel(start.x, start.y), c.atStart);
        EXPECT_EQ(ScreenPixel(end.x, end.y), c.atEnd);
        if (c.atMiddle != CLR_INVALID)
            EXPECT_EQ(ScreenPixel(midX, midY), c.atMiddle);
        EXPECT_EQ(RowHasColor(band, RGB(255, 255, 255)), *c.text != 0);  // the title font is white
        const RECT first = Row(0);
        EXPECT_EQ(first.top - w.top, frame + (c.position == atTop ? width : 0));
        EXPECT_EQ(w.bottom - Row(Window().RowCount() - 1).bottom, frame + (c.position == atBottom ? width : 0));
        CloseMenus();
    }
}

TEST_F(MenuWindow, SelectedRowGetsAThreeDFrameThatNoSharpJointsStretchesOverTheBorder)
{
    struct Case {
        T_AM2000_Flags flags;
        int border;
        int reach;  // how far past the row's sides the frame goes
    };
    const Case cases[] = {
        {0, 0, 0},
        {0, 2, 0},
        {FlagBit(mfNoSharpJoints), 2, 2},
    };
    const COLORREF frame = RGB(200, 10, 10), shadow = RGB(10, 10, 200), border = RGB(10, 150, 10);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.flags << " " << c.border);
        T_AM2000_MenuOptions& options = Menu->Options();
        const HWND wnd = OpenFramedSelection(c.flags, 2, c.border, frame, shadow, border);
        SaveScreenshot(WindowRect(wnd), "menu_window_frame.bmp");
        const RECT row = Row(0);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(ScreenPixel(row.left - c.reach + i, row.top + i), frame);
            EXPECT_EQ(ScreenPixel(row.left - c.reach + 5, row.top + i), frame);
            EXPECT_EQ(ScreenPixel(row.right - 1 + c.reach - i, row.bottom - 1 - i), shadow);
            EXPECT_EQ(ScreenPixel(row.right - 1 + c.reach - i, row.top + 5), shadow);
        }
        EXPECT_NE(ScreenPixel(row.left - c.reach + 2, row.top + 2), frame);  // the fill inside
        if (c.border > 0 && c.reach == 0)
            EXPECT_EQ(ScreenPixel(row.left - 1, row.top), border);
        // Another row keeps no frame.
        const RECT next = Row(1);
        EXPECT_NE(ScreenPixel(next.left, next.top), frame);
        CloseMenus();
        options.SetFlags(options.Flags() & ~c.flags);
    }
}

TEST_F(MenuWindow, ASelectionWithNoSharpJointsGivesTheBorderBackWhenItMoves)
{
    const COLORREF frame = RGB(200, 10, 10), border = RGB(10, 150, 10);
    const HWND wnd = OpenFramedSelection(FlagBit(mfNoSharpJoints), 1, 2, frame, frame, border);
    const RECT first = Row(0), second = Row(1);
    EXPECT_EQ(ScreenPixel(first.left - 2, (first.top + first.bottom) / 2), frame);
    SendMessageA(wnd, WM_AM2000_SELECTROW, 1, 0);
    Pump(10);
    SaveScreenshot(WindowRect(wnd), "menu_window_moved_selection.bmp");
    for (int x : {first.left - 2, first.left - 1, first.right, first.right + 1})
        EXPECT_EQ(ScreenPixel(x, (first.top + first.bottom) / 2), border) << x;
    EXPECT_EQ(ScreenPixel(second.left - 2, (second.top + second.bottom) / 2), frame);
}

TEST_F(MenuWindow, SkinBackgroundFillsRowsAndTheHighlightPictureIsANinePartFrame)
{
    const COLORREF back = RGB(30, 120, 200), corner = RGB(220, 20, 20), edge = RGB(20, 220, 20),
                   centre = RGB(20, 20, 220);
    T_AM2000_Skin& skin = Menu->Options().Skin();
    skin.Set(T_AM2000_Skin::Background, Solid(4, 4, back));
    skin.BackgroundLayout = blTile;
    skin.Set(T_AM2000_Skin::ItemBackgroundHighlight, Picture(9, 9, [&](int x, int y) {
        const bool xEnd = x < 3 || x >= 6, yEnd = y < 3 || y >= 6;
        return xEnd && yEnd ? corner : xEnd || yEnd ? edge : centre;
    }));
    skin.ItemCornerWidth = skin.ItemCornerHeight = 3;
    const HWND wnd = Open(100, 100);
    const RECT w = WindowRect(wnd), first = Row(0), separator = Row(4);
    SaveScreenshot(w, "menu_window_skin_background.bmp");
    EXPECT_EQ(ScreenPixel(w.left, w.top), RGB(68, 68, 68));  // the bevel stays
    EXPECT_EQ(ScreenPixel(first.right - 3, (first.top + first.bottom) / 2), back);
    EXPECT_EQ(ScreenPixel(separator.left + 2, separator.top + 1), back);
    EXPECT_TRUE(RowHasColor(separator, RGB(112, 112, 112)));  // the line over the picture
    EXPECT_FALSE(RowHasColor(first, RGB(91, 91, 91)));

    SendMessageA(wnd, WM_AM2000_SELECTROW, 0, 0);
    Pump(10);
    SaveScreenshot(w, "menu_window_skin_selected.bmp");
    EXPECT_EQ(ScreenPixel(first.left, first.top), corner);
    EXPECT_EQ(ScreenPixel(first.right - 1, first.bottom - 1), corner);
    EXPECT_EQ(ScreenPixel((first.left + first.right) / 2, first.top), edge);
    EXPECT_EQ(ScreenPixel(first.left, (first.top + first.bottom) / 2), edge);
    EXPECT_EQ(ScreenPixel(first.right - 5, (first.top + first.bottom) / 2), centre);
    EXPECT_TRUE(RowHasColor(first, RGB(255, 223, 127)));
    EXPECT_FALSE(RowHasColor(first, RGB(80, 80, 80)));  // no plain highlight
    // The row it left takes the background again.
    SendMessageA(wnd, WM_AM2000_SELECTROW, 1, 0);
    Pump(10);
    EXPECT_EQ(ScreenPixel(first.left, first.top), back);
}

TEST_F(MenuWindow, GlyphPicturesShowTheFrameOfTheItemsState)
{
    T_AM2000_Skin& skin = Menu->Options().Skin();
    // A damaged picture counts as none: the drawn arrow stays.
    skin.Set(T_AM2000_Skin::Triangle, "BM, but not a picture");
    Open(100, 100);
    EXPECT_TRUE(RowHasColor(RECT{Row(5).right - 24, Row(5).top, Row(5).right, Row(5).bottom}, RGB(255, 255, 255)));
    CloseMenus();

    const std::vector<COLORREF> frames = {StripRed, StripGreen, StripBlue, StripYellow};
    skin.Set(T_AM2000_Skin::Triangle, Strip(frames));
    skin.Set(T_AM2000_Skin::CheckMark, Strip(frames));
    skin.Set(T_AM2000_Skin::Radio, Strip(frames));
    static_cast<TMenuItem2000*>(Menu->Items()->Items(11))->SetChecked(true);  // Stay On Top
    HWND wnd = Open(100, 100);
    SaveScreenshot(WindowRect(wnd), "menu_window_skin_glyphs.bmp");
    // Subtitles (row 5): the triangle picture's first frame in place of the drawn arrow.
    const RECT subtitles = Row(5);
    const RECT arrow{subtitles.right - 24, subtitles.top, subtitles.right, subtitles.bottom};
    EXPECT_TRUE(RowHasColor(arrow, StripRed));
    EXPECT_FALSE(RowHasColor(arrow, RGB(255, 255, 255)));
    EXPECT_FALSE(RowHasColor(arrow, RGB(255, 0, 255)));  // the ring is transparent
    // Selected, it shows as pressed: the third frame.
    Window().SelectRow(5);
    Pump(10);
    EXPECT_TRUE(RowHasColor(arrow, StripBlue));
    EXPECT_FALSE(RowHasColor(arrow, StripRed));
    // Stay On Top (row 9) is checked: the check picture's checked frame in its glyph box.
    const RECT stay = Row(9);
    EXPECT_TRUE(RowHasColor(RECT{stay.left, stay.top, stay.left + 24, stay.bottom}, StripBlue));
    CloseMenus();

    // The radio picture: checked and unchecked radio items (copying items drops the radio flag).
    Menu->RootItem = static_cast<TMenuItem2000*>(Menu->Items()->Items(6));  // Subtitles
    for (int i : {0, 1})
        Menu->RootItem->Items(i)->RadioItem = true;
    wnd = Open(100, 100);
    SaveScreenshot(WindowRect(wnd), "menu_window_skin_radio.bmp");
    const RECT show = Row(0), hide = Row(1);
    EXPECT_TRUE(RowHasColor(RECT{show.left, show.top, show.left + 24, show.bottom}, StripBlue));
    EXPECT_TRUE(RowHasColor(RECT{hide.left, hide.top, hide.left + 24, hide.bottom}, StripRed));
}

TEST_F(MenuWindow, TitleBitmapIsCentredInTheBand)
{
    T_AM2000_Title& title = Menu->Options().Title();
    title.Visible = true;
    title.Width = 30;
    title.ColorBegin = title.ColorEnd = 0xFF0000;  // blue
    title.Bitmap = Solid(10, 12, RGB(0, 200, 0));
    const HWND wnd = Open(100, 100);
    const RECT w = WindowRect(wnd);
    SaveScreenshot(w, "menu_window_title_bitmap.bmp");
    const RECT band{w.left + 1, w.top + 1, w.left + 31, w.bottom - 1};
    const int midX = (band.left + band.right) / 2, midY = (band.top + band.bottom) / 2;
    EXPECT_EQ(ScreenPixel(midX, midY), RGB(0, 200, 0));
    EXPECT_EQ(ScreenPixel(midX - 5, midY - 6), RGB(0, 200, 0));
    EXPECT_EQ(ScreenPixel(midX - 6, midY), RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(midX, midY - 8), RGB(0, 0, 255));
}

TEST_F(MenuWindow, ExpandButtonTakesTheUnhidePictures)
{
    T_AM2000_Skin& skin = Menu->Options().Skin();
    skin.Set(T_AM2000_Skin::Unhide, Strip({StripRed, StripGreen, StripBlue, StripYellow}));
    skin.Set(T_AM2000_Skin::UnhideBackgroundHighlight, Solid(6, 6, RGB(10, 90, 160)));
    static_cast<TMenuItem2000*>(Menu->Items()->Items(1))->SetHidden(true);  // Stop
    const HWND wnd = Open(100, 100);
    ASSERT_TRUE(Window().State(TPopupMenu2000Form::wsHasHidden));
    const RECT last = Row(Window().RowCount() - 1);
    const RECT button{last.left, last.bottom + 3, last.right, last.bottom + 3 + 13};
    SaveScreenshot(WindowRect(wnd), "menu_window_skin_unhide.bmp");
    EXPECT_TRUE(RowHasColor(button, StripRed));
    EXPECT_FALSE(RowHasColor(button, RGB(255, 255, 255)));  // no drawn chevron
    EXPECT_EQ(ScreenPixel(button.left + 2, button.top + 2), RGB(91, 91, 91));
    Window().SelectRow(-3);
    Pump(10);
    EXPECT_EQ(ScreenPixel(button.left + 2, button.top + 2), RGB(10, 90, 160));
    EXPECT_TRUE(RowHasColor(button, StripYellow));  // selected: the fourth frame
}

TEST_F(MenuWindow, RightToLeftPutsArrowsLeftAndCaptionsRight)
{
    const COLORREF text = RGB(255, 255, 255);
    for (TBiDiMode mode : {bdLeftToRight, bdRightToLeft}) {
        SCOPED_TRACE(int(mode));
        Menu->BiDiMode = mode;
        const bool rtl = mode == bdRightToLeft;
        const HWND wnd = Open(300, 100);
        SaveScreenshot(WindowRect(wnd), "menu_window_rtl.bmp");
        const RECT subtitles = Row(5), exit = Row(14);
        const int columnEdge = 24;  // the skin's side margins
        const RECT leftEdge{subtitles.left, subtitles.top, subtitles.left + columnEdge - 4, subtitles.bottom};
        const RECT rightEdge{subtitles.right - columnEdge + 4, subtitles.top, subtitles.right, subtitles.bottom};
        EXPECT_EQ(RowHasColor(leftEdge, text), rtl);
        EXPECT_EQ(RowHasColor(rightEdge, text), !rtl);
        // A short caption sits at its column's reading start.
        const int middle = (exit.left + exit.right) / 2;
        EXPECT_EQ(RowHasColor(RECT{exit.left, exit.top, middle, exit.bottom}, text), !rtl);
        EXPECT_EQ(RowHasColor(RECT{middle, exit.top, exit.right, exit.bottom}, text), rtl);
        // Left of its point when reading right to left with left alignment.
        EXPECT_EQ(WindowRect(wnd).left, rtl ? 300 - (WindowRect(wnd).right - WindowRect(wnd).left) : 300);
        CloseMenus();
    }
}

TEST_F(MenuWindow, TearOffBarIsAGripOrACaptionBarAboveTheRows)
{
    TSpiSetting gradient(SPI_GETGRADIENTCAPTIONS, SPI_SETGRADIENTCAPTIONS, false);
    Menu->Options().SetDraggable(true);
    for (bool flat : {true, false}) {
        SCOPED_TRACE(flat);
        Menu->Options().SetFlags(flat ? FlagBit(mfXpControls) : 0);
        const HWND wnd = Open(100, 100);
        const RECT w = WindowRect(wnd);
        SaveScreenshot(w, "menu_window_tearoff.bmp");
        EXPECT_EQ(Row(0).top - w.top, 1 + 7 + 2);
        const int midX = (w.left + w.right) / 2, top = w.top + 1;
        if (flat) {
            for (int y : {1, 3, 5})
                EXPECT_EQ(ScreenPixel(midX, top + y), RGB(145, 145, 145)) << y;
            EXPECT_EQ(ScreenPixel(midX, top + 2), RGB(91, 91, 91));
            EXPECT_EQ(ScreenPixel(midX - 20, top + 1), RGB(91, 91, 91));  // the grip is 33 long
            Window().SelectRow(-2);
            Pump(10);
            EXPECT_EQ(ScreenPixel(midX, top + 2), GetSysColor(COLOR_BTNHIGHLIGHT));  // the frame colour
            EXPECT_EQ(ScreenPixel(midX, top + 3), RGB(80, 80, 80));
        } else {
            EXPECT_EQ(ScreenPixel(midX, top + 3), GetSysColor(COLOR_INACTIVECAPTION));
            Window().SelectRow(-2);
            Pump(10);
            EXPECT_EQ(ScreenPixel(midX, top + 3), GetSysColor(COLOR_ACTIVECAPTION));
        }
        EXPECT_EQ(ScreenPixel(midX, top + 7), RGB(91, 91, 91));  // the strip under the bar
        CloseMenus();
    }
}

TEST_F(MenuWindow, ARightToLeftMenuScrollsWithItsBarAtTheLeft)
{
    Menu->Items()->Clear();
    for (int i = 0; i < 100; ++i)
        Menu->Items()->Add(NewItem2000(Menu, "Item " + std::to_string(i), 0, false, true, nullptr, 0, ""));
    const int bar = GetSystemMetrics(SM_CXVSCROLL), arrow = GetSystemMetrics(SM_CYVSCROLL);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (TBiDiMode mode : {bdLeftToRight, bdRightToLeft}) {
        SCOPED_TRACE(int(mode));
        Menu->BiDiMode = mode;
        const bool rtl = mode == bdRightToLeft;
        const HWND wnd = Open(400, 50);
        ASSERT_TRUE(Window().State(TPopupMenu2000Form::wsScroll));
        const RECT w = WindowRect(wnd);
        SaveScreenshot(w, rtl ? "menu_window_scroll_rtl.bmp" : "menu_window_scroll_ltr.bmp");
        const int width = w.right - w.left;
        // The buttons inside the bevel on the side away from the glyphs; rows on the other side.
        const RECT leftButtons{w.left + 1, w.top + 1, w.left + 1 + bar, w.top + 1 + arrow};
        const RECT rightButtons{w.right - 1 - bar, w.top + 1, w.right - 1, w.top + 1 + arrow};
        EXPECT_EQ(RowHasColor(leftButtons, face), rtl);
        EXPECT_EQ(RowHasColor(rightButtons, face), !rtl);
        const int column = rtl ? 1 + bar / 2 : width - 1 - bar / 2, rows = rtl ? width - 10 : 10;
        EXPECT_EQ(Window().HitTest(column, 1 + arrow / 2), -10);
        EXPECT_EQ(Window().HitTest(column, w.bottom - w.top - 1 - arrow / 2), -9);
        EXPECT_EQ(Window().HitTest(rows, 5), 0);
        // Pressing the scroll-down button scrolls by a row.
        const int downY = w.bottom - w.top - 1 - arrow / 2;
        PostMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(column, downY));
        PostMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(column, downY));
        Pump(30);
        EXPECT_EQ(Window().FirstShownRow(), 1);
        CloseMenus();
    }
}

TEST_F(MenuWindow, NeighbouringHiddenItemsShareOneSunkenPicture)
{
    // Corners of 3 x 3 on a picture taller than a row: a row's bottom corners come from the
    // picture's bottom, and an end joined to a hidden neighbour has none (the side runs on).
    const COLORREF corner = RGB(220, 20, 20), edge = RGB(20, 220, 20), centre = RGB(20, 20, 220);
    T_AM2000_Skin& skin = Menu->Options().Skin();
    skin.Set(T_AM2000_Skin::ItemBackgroundSunken, Picture(9, 60, [&](int x, int y) {
        const bool xEnd = x < 3 || x >= 6, yEnd = y < 3 || y >= 57;
        return xEnd && yEnd ? corner : xEnd || yEnd ? edge : centre;
    }));
    skin.ItemCornerWidth = skin.ItemCornerHeight = 3;
    for (int i : {1, 2})  // Stop and Previous
        static_cast<TMenuItem2000*>(Menu->Items()->Items(i))->SetHidden(true);
    Menu->Options().SetFlags(FlagBit(mfHiddenIsVisible));
    const HWND wnd = Open(100, 100);
    SaveScreenshot(WindowRect(wnd), "menu_window_hidden_neighbours.bmp");
    const RECT play = Row(0), stop = Row(1), previous = Row(2), next = Row(3);
    EXPECT_EQ(ScreenPixel(stop.left, stop.top + 2), corner);
    EXPECT_EQ(ScreenPixel(stop.left, stop.bottom - 2), edge);  // Previous goes on below
    EXPECT_EQ(ScreenPixel(previous.left, previous.bottom - 2), corner);
    EXPECT_EQ(ScreenPixel(previous.right - 1, previous.bottom - 2), corner);
    EXPECT_FALSE(RowHasColor(next, edge));  // a shown item has no picture
    // Selected, the shown item above the run loses its bottom corners to it.
    skin.Set(T_AM2000_Skin::ItemBackgroundHighlight, skin.Get(T_AM2000_Skin::ItemBackgroundSunken));
    Window().Repaint();
    Window().SelectRow(0);
    Pump(10);
    SaveScreenshot(WindowRect(wnd), "menu_window_hidden_neighbours_selected.bmp");
    EXPECT_EQ(ScreenPixel(play.left, play.top + 2), corner);
    EXPECT_EQ(ScreenPixel(play.left, play.bottom - 2), edge);
}

TEST_F(MenuWindow, TearOffBarAndItsStripShowTheBackgroundPicture)
{
    const COLORREF back = RGB(30, 120, 200);
    Menu->Options().SetDraggable(true);
    Menu->Options().Skin().Set(T_AM2000_Skin::Background, Solid(4, 4, back));
    Menu->Options().Skin().BackgroundLayout = blTile;
    for (bool flat : {true, false}) {
        SCOPED_TRACE(flat);
        Menu->Options().SetFlags(flat ? FlagBit(mfXpControls) : 0);
        const HWND wnd = Open(100, 100);
        const RECT w = WindowRect(wnd);
        SaveScreenshot(w, "menu_window_tearoff_picture.bmp");
        const int midX = (w.left + w.right) / 2, top = w.top + 1;
        for (int y : {7, 8, 9})
            EXPECT_EQ(ScreenPixel(midX, top + y), back) << y;  // the strip under the bar
        if (flat) {
            EXPECT_EQ(ScreenPixel(midX, top + 1), RGB(145, 145, 145));  // the grip over the picture
            EXPECT_EQ(ScreenPixel(midX, top + 2), back);
            EXPECT_EQ(ScreenPixel(midX - 20, top + 1), back);
        }
        Window().SelectRow(-2);
        Pump(10);
        EXPECT_NE(ScreenPixel(midX, top + 3), back);  // selected, the bar is the highlight
        EXPECT_EQ(ScreenPixel(midX, top + 8), back);
        Window().SelectRow(-1);
        Pump(10);
        if (flat) {
            EXPECT_EQ(ScreenPixel(midX, top + 2), back);
        }
        CloseMenus();
    }
}

TEST_F(MenuWindow, APressOnTheTearOffBarLeavesAFloatingMenuThatKeepsWorking)
{
    Menu->Options().SetDraggable(true);
    int clicks = 0;
    Menu->Items()->Items(11)->OnClick = [&clicks](TObject*) { ++clicks; };  // Stay On Top
    const HWND wnd = Open(100, 100);
    const RECT popup = WindowRect(wnd);
    PostMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((popup.right - popup.left) / 2, 3));
    PostMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM((popup.right - popup.left) / 2, 3));
    Pump(50);
    EXPECT_FALSE(Window().IsShowing());
    ASSERT_EQ(FloatingMenuWindows().size(), 1u);
    TPopupMenu2000Form& floating = *FloatingMenuWindows()[0];
    const HWND tool = floating.HandleOrNull();
    ASSERT_TRUE(IsWindowVisible(tool));
    const RECT w = WindowRect(tool);
    SaveScreenshot(w, "menu_window_floating.bmp");
    EXPECT_EQ(w.left, popup.left);
    EXPECT_EQ(w.top, popup.top);
    EXPECT_TRUE(GetWindowLongPtrA(tool, GWL_STYLE) & WS_CAPTION);
    EXPECT_TRUE(GetWindowLongPtrA(tool, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    char caption[64] = {};
    GetWindowTextA(tool, caption, sizeof caption);
    EXPECT_STREQ(caption, "Menu");  // the root has no caption
    // The client: a 2-pixel strip, then the rows with neither a tear-off bar nor a 3D edge.
    RECT client{};
    GetClientRect(tool, &client);
    EXPECT_EQ(client.bottom, floating.WindowHeight() + 2);
    EXPECT_EQ(client.right, floating.WindowWidth());
    POINT origin{0, 0};
    ClientToScreen(tool, &origin);
    EXPECT_EQ(ScreenPixel(origin.x + client.right / 2, origin.y), RGB(91, 91, 91));
    EXPECT_EQ(ScreenPixel(origin.x + 10, origin.y + 2), RGB(68, 68, 68));  // the ring right under it
    const RECT first = floating.RowRect(0);
    EXPECT_EQ(first.top, origin.y + 2 + 1);
    EXPECT_EQ(floating.HitTest(10, first.top - origin.y + 1), 0);

    // A click on an item runs it and the window stays.
    const RECT stay = floating.RowRect(9);
    const POINT at{(stay.left + stay.right) / 2 - origin.x, (stay.top + stay.bottom) / 2 - origin.y};
    SetCursorPos(origin.x + at.x, origin.y + at.y);
    PostMessageA(tool, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    Pump(20);
    EXPECT_EQ(floating.Selection(), 9);
    PostMessageA(tool, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageA(tool, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    Pump(100);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(IsWindowVisible(tool));
    EXPECT_TRUE(floating.IsShowing());

    // Its submenus open beside it; a command there closes the submenu and leaves the window.
    int hides = 0;
    Menu->Items()->Items(6)->Items(1)->OnClick = [&hides](TObject*) { ++hides; };  // Hide Subtitles
    const auto click = [&](HWND target, const RECT& row) {
        POINT p{(row.left + row.right) / 2, (row.top + row.bottom) / 2};
        SetCursorPos(p.x, p.y);
        ScreenToClient(target, &p);
        PostMessageA(target, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
        Pump(20);
        PostMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        PostMessageA(target, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        Pump(100);
    };
    click(tool, floating.RowRect(5));
    TPopupMenu2000Form* child = floating.ChildWindow();
    ASSERT_NE(child, nullptr);
    ASSERT_TRUE(child->IsShowing());
    EXPECT_GE(WindowRect(child->HandleOrNull()).left, w.right - 10);
    click(child->HandleOrNull(), child->RowRect(1));
    EXPECT_EQ(hides, 1);
    EXPECT_EQ(floating.ChildWindow(), nullptr);
    EXPECT_TRUE(floating.IsShowing());

    // The close button hides it; tearing the level off again replaces it.
    SendMessageA(tool, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(tool));
    TPopupMenu2000Form* again = CreateTearOffWindow(Menu, Menu->Items(), nullptr, 300, 200);
    ASSERT_EQ(FloatingMenuWindows().size(), 1u);
    EXPECT_EQ(FloatingMenuWindows()[0], again);
    // A submenu's copy takes its item's caption without the marks.
    TMenuItem* subtitles = Menu->Items()->Items(6);
    subtitles->Caption = "Sub&titles";
    TPopupMenu2000Form* sub = CreateTearOffWindow(Menu, subtitles, nullptr, 300, 400);
    GetWindowTextA(sub->HandleOrNull(), caption, sizeof caption);
    EXPECT_STREQ(caption, "Subtitles");
    EXPECT_EQ(FloatingMenuWindows().size(), 2u);
    EXPECT_EQ(sub->RowCount(), 4);  // its items as they are
}

TEST_F(MenuWindow, AHiddenFirstRowTakesTheBorderAboveItIntoItsBand)
{
    const COLORREF border = RGB(200, 160, 40), sunken = RGB(40, 160, 200);
    Menu->Options().Margins().Set(T_AM2000_Margins::Border, 2);
    Menu->Options().Colors().Set(T_AM2000_Colors::Border, border);
    Menu->Options().Colors().Set(T_AM2000_Colors::Sunken, sunken);
    static_cast<TMenuItem2000*>(Menu->Items()->Items(0))->SetHidden(true);  // Play/Pause
    Menu->Options().SetFlags(FlagBit(mfHiddenIsVisible));
    const HWND wnd = Open(100, 100);
    const RECT w = WindowRect(wnd), first = Row(0);
    SaveScreenshot(w, "menu_window_hidden_first_row.bmp");
    const int midX = (w.left + w.right) / 2;
    EXPECT_EQ(ScreenPixel(midX, w.top + 1), sunken);  // inside the bevel, above the row
    EXPECT_EQ(ScreenPixel(midX, w.top + 2), sunken);
    EXPECT_EQ(ScreenPixel(midX, first.top + 3), sunken);
    EXPECT_EQ(ScreenPixel(midX, w.bottom - 2), border);  // the last row is shown
    // The hidden row's fill reaches over the border at both sides; a shown row leaves it.
    const int firstY = (first.top + first.bottom) / 2, secondY = (Row(1).top + Row(1).bottom) / 2;
    for (int x : {w.left + 1, w.left + 2, w.right - 3, w.right - 2})
        EXPECT_EQ(ScreenPixel(x, firstY), sunken) << x - w.left;
    EXPECT_NE(ScreenPixel(w.left, firstY), sunken);  // the bevel outside the border
    for (int x : {w.left + 1, w.right - 2})
        EXPECT_EQ(ScreenPixel(x, secondY), border) << x - w.left;
}

TEST_F(MenuWindow, HiddenRowsWithoutASunkenColourShowTheSunkenPattern)
{
    // Deeper than 8 bits the pattern is the 3D highlight throughout, not the menu colour.
    const HDC screen = GetDC(nullptr);
    const int depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    ASSERT_GT(depth, 8);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT), menu = RGB(91, 91, 91);
    Menu->Options().Margins().Set(T_AM2000_Margins::Border, 2);
    Menu->Options().Colors().Set(T_AM2000_Colors::Sunken, clNone);
    for (int i : {0, 1})  // Play/Pause and Stop
        static_cast<TMenuItem2000*>(Menu->Items()->Items(i))->SetHidden(true);
    Menu->Options().SetFlags(FlagBit(mfHiddenIsVisible));
    const HWND wnd = Open(100, 100);
    const RECT w = WindowRect(wnd), first = Row(0), second = Row(1), shown = Row(2);
    SaveScreenshot(w, "menu_window_sunken_pattern.bmp");
    ASSERT_NE(highlight, menu);
    const int midX = (w.left + w.right) / 2;
    for (const RECT& row : {first, second}) {
        const int y = (row.top + row.bottom) / 2;
        for (int dy : {0, 1})  // both parities of the pattern
            for (int x : {row.right - 6, row.right - 5, row.right - 4, row.right - 3})
                EXPECT_EQ(ScreenPixel(x, y + dy), highlight) << x - w.left << "," << y + dy - w.top;
    }
    EXPECT_EQ(ScreenPixel(midX, w.top + 1), highlight);  // the border band above the hidden first row
    EXPECT_EQ(ScreenPixel(shown.right - 3, (shown.top + shown.bottom) / 2), menu);
}
