#include "menus/MenuControls.h"
#include "menus/MenuItemCache.h"
#include "menus/MenuPersistence.h"
#include "menus/MenuUtils.h"
#include "menus/PopupMenu2000.h"
#include "menus/PopupMenu2000Form.h"
#include "menus/ThemeSupport.h"
#include "framework/Forms.h"
#include "framework/Graphics.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The menu window's double: records what the component asks and hides after a few polls.
struct TWindowLog {
    std::vector<std::pair<TMenuItem*, int>> Notices;
    int Shows = 0, Rebuilds = 0, Polls = 0, HideAfterPolls = 3;
    bool Freed = false;
    T_AM2000_Animation Animation = anNone;
    TMenuItem* Root = nullptr;
    std::function<void()> OnPoll;
};

class TWindowDouble : public IPopupMenuWindow {
public:
    explicit TWindowDouble(TWindowLog& log) : FLog(log) {}
    ~TWindowDouble() override { FLog.Freed = true; }
    void SetRoot(TMenuItem* item, HMENU) override { FLog.Root = item; }
    void SetAnimation(T_AM2000_Animation a) override { FLog.Animation = a; }
    void SetWindowOption(int, int) override {}
    void SetStateFlags(unsigned) override {}
    bool Enabled() const override { return true; }
    void Enable() override {}
    void PlaceAt(int, int) override {}
    bool ShowMenu() override
    {
        ++FLog.Shows;
        FShowing = true;
        FLog.Polls = 0;
        return true;
    }
    void HideMenu() override { FShowing = false; }
    bool IsShowing() const override
    {
        if (FShowing && ++FLog.Polls >= FLog.HideAfterPolls)
            const_cast<TWindowDouble*>(this)->FShowing = false;
        if (FLog.OnPoll)
            FLog.OnPoll();
        return FShowing;
    }
    void RebuildItems() override { ++FLog.Rebuilds; }
    void ItemChanged(TMenuItem* item, int kind) override { FLog.Notices.emplace_back(item, kind); }
    bool Cancelled() const override { return true; }

private:
    TWindowLog& FLog;
    bool FShowing = false;
};

class MenusWin : public ::testing::Test {
protected:
    void SetUp() override
    {
        MenuUnitStart();
        SetPopupWindowFactory([this](TCustomPopupMenu2000&) { return std::make_unique<TWindowDouble>(Log); });
    }
    void TearDown() override { SetPopupWindowFactory(nullptr); }
    TWindowLog Log;
};

std::vector<uint8_t> ExeResource(const char* name)
{
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(10));
    if (!found)
        return {};
    const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    return std::vector<uint8_t>(data, data + SizeofResource(module, found));
}

HBITMAP PixelRow(const std::vector<COLORREF>& pixels)
{
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIB24(nullptr, static_cast<int>(pixels.size()), 1, bits);
    auto* p = static_cast<uint8_t*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i) {
        p[i * 3] = GetBValue(pixels[i]);
        p[i * 3 + 1] = GetGValue(pixels[i]);
        p[i * 3 + 2] = GetRValue(pixels[i]);
    }
    return bitmap;
}

// A white memory canvas of w x h.
struct TCanvasDC {
    HDC Dc = CreateCompatibleDC(nullptr);
    HBITMAP Bitmap;
    HGDIOBJ Old;
    TCanvasDC(int w, int h)
    {
        void* bits = nullptr;
        Bitmap = CreateDIB24(Dc, w, h, bits);
        Old = SelectObject(Dc, Bitmap);
        RECT r{0, 0, w, h};
        FillRect(Dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~TCanvasDC()
    {
        SelectObject(Dc, Old);
        DeleteObject(Bitmap);
        DeleteDC(Dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(Dc, x, y); }
};

}  // namespace

TEST(MenusWinResources, ExeHoldsTheSkinGlyphStripsAndMarks)
{
    MenuUnitStart();
    const auto skin = ExeResource("AM2000SKIN_MONEY");
    ASSERT_GT(skin.size(), 40u);
    EXPECT_EQ(skin[0], 0xFF);
    EXPECT_EQ(skin[1], 0x0A);
    EXPECT_EQ(skin[2], 0x00);
    const std::string text(skin.begin(), skin.end());
    EXPECT_NE(text.find("TPF0"), std::string::npos);
    EXPECT_NE(text.find("TAnimatedSkin2000"), std::string::npos);
    EXPECT_EQ(skin[skin.size() - 1], 0);
    EXPECT_EQ(skin[skin.size() - 2], 0);

    int cells = 0;
    for (const char* name : {"BMP_AM2000_MENUITEMCACHE0", "BMP_AM2000_MENUITEMCACHE1"}) {
        const auto bitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, 0));
        ASSERT_NE(bitmap, nullptr) << name;
        BITMAP desc{};
        GetObjectA(bitmap, sizeof desc, &desc);
        EXPECT_EQ(desc.bmHeight, 16);
        EXPECT_EQ(desc.bmWidth % 16, 0);
        cells += desc.bmWidth / 16;
        const auto bits = GetBitmapBits24(bitmap, 0x1FFFFFFF);
        EXPECT_EQ(bits.Transparent, RGB(255, 0, 255)) << name;  // the key colour fills the corners
        DeleteObject(bitmap);
    }
    EXPECT_EQ(cells, MenuItemCache().GlyphCount());
    EXPECT_NE(SystemCheckMark(), nullptr);
    EXPECT_NE(SystemRadioItem(), nullptr);
}

TEST(MenusWinResources, WindowStoredValuesWinOverTheLoadedMoneySkin)
{
    MenuUnitStart();
    TComponent window;
    auto* money = NewComponent<TMoney>(&window);
    EXPECT_EQ(money->Colors().Get(T_AM2000_Colors::Menu), 0x5B5B5B);
    auto* menu = NewComponent<TPopupMenu2000>(&window);
    money->SetState(TComponent::csLoading, true);  // the window's resource follows the skin's
    menu->SetAnimatedSkin(money);
    money->SetAnimation(anVertSlide);
    money->Margins().Set(T_AM2000_Margins::Left, 18);
    money->Loaded();
    EXPECT_EQ(menu->RawOptions().Animation(), anVertSlide);
    EXPECT_EQ(menu->RawOptions().Margins().Get(T_AM2000_Margins::Left), 18);
    EXPECT_EQ(menu->RawOptions().Margins().Get(T_AM2000_Margins::Bevel), 1);
    EXPECT_EQ(menu->RawOptions().Colors().Get(T_AM2000_Colors::MenuText), clWhite);
    EXPECT_FALSE(menu->Ctl3D());
}

TEST(MenusWinGlyphs, ShapeSkipsNearWhiteAndTransparentPixels)
{
    const HBITMAP glyph = PixelRow({RGB(255, 0, 255), RGB(240, 240, 221), RGB(0, 0, 0), RGB(240, 240, 220)});
    TCanvasDC canvas(8, 4);
    DrawGlyphShape(canvas.Dc, 0, 0, 0x1FFFFFFF, RGB(255, 0, 0), RGB(0, 0, 255), glyph, 1, 0);
    EXPECT_EQ(canvas.At(0, 0), RGB(255, 255, 255));  // transparent (the bottom-left key)
    EXPECT_EQ(canvas.At(1, 0), RGB(255, 255, 255));  // 701: never drawn
    EXPECT_EQ(canvas.At(2, 0), RGB(0, 0, 255));      // shadow
    EXPECT_EQ(canvas.At(3, 1), RGB(255, 0, 0));      // highlight one right and down
    EXPECT_EQ(canvas.At(3, 0), RGB(0, 0, 255));      // 700 is drawn
    DeleteObject(glyph);
}

TEST(MenusWinGlyphs, LightenedAndShadowedGlyphs)
{
    EXPECT_EQ(LightenedColor(RGB(0, 0, 0)), RGB(0x30, 0x30, 0x30));
    EXPECT_EQ(LightenedColor(RGB(0xFF, 0xFF, 0xFF)), RGB(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(LightenedColor(0x000080), 0x303090u);
    EXPECT_EQ(LightenedColor(RGB(100, 0, 0)), static_cast<COLORREF>(GradientStep(RGB(100, 0, 0), clWhite, 4.0)));

    const HBITMAP glyph = PixelRow({RGB(255, 0, 255), RGB(0, 0, 0)});
    TCanvasDC canvas(8, 4);
    DrawGlyph(canvas.Dc, 2, 2, 8, 0, 0x1FFFFFFF, glyph, 1, 0);
    EXPECT_EQ(canvas.At(3, 2), RGB(0x30, 0x30, 0x30));
    TCanvasDC shadowed(8, 4);
    DrawGlyph(shadowed.Dc, 2, 2, 2, RGB(0, 128, 0), 0x1FFFFFFF, glyph, 1, 0);
    EXPECT_EQ(shadowed.At(4, 3), RGB(0, 128, 0));  // the shape at (x + 1, y + 1)
    EXPECT_EQ(shadowed.At(2, 1), RGB(0, 0, 0));    // the glyph one up and left
    DeleteObject(glyph);
}

TEST(MenusWinGlyphs, PaletteSourcesAreConvertedAndMissingBitsRaise)
{
    for (WORD bitCount : {4, 8}) {
        struct {
            BITMAPINFOHEADER Header;
            RGBQUAD Colors[16];
        } info{};
        info.Header.biSize = sizeof info.Header;
        info.Header.biWidth = 2;
        info.Header.biHeight = 1;
        info.Header.biPlanes = 1;
        info.Header.biBitCount = bitCount;
        info.Colors[0] = {255, 0, 255, 0};  // blue, green, red: magenta
        info.Colors[1] = {0, 0, 200, 0};
        void* bits = nullptr;
        const HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                                                nullptr, 0);
        ASSERT_NE(bitmap, nullptr);
        static_cast<uint8_t*>(bits)[0] = bitCount == 4 ? 0x01 : 0x00;  // first pixel colour 0
        if (bitCount == 8)
            static_cast<uint8_t*>(bits)[1] = 0x01;
        GdiFlush();
        const auto read = GetBitmapBits24(bitmap, 0x1FFFFFFF);
        EXPECT_EQ(read.Pixel(0, 0), RGB(255, 0, 255)) << bitCount;
        EXPECT_EQ(read.Pixel(1, 0), RGB(200, 0, 0)) << bitCount;
        DeleteObject(bitmap);
    }
    try {
        GetBitmapBits24(nullptr, 0x1FFFFFFF);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Insufficient bit count in the bitmap!");
    }
}

TEST(MenusWinTheme, ThemeActiveNeedsTheFlagAndNoDisablingLayer)
{
    const char* manager = "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";
    const char* layers = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const auto setString = [](const char* key, const char* name, const char* value) {
        HKEY handle = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr);
        if (value)
            RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(strlen(value) + 1));
        else
            RegDeleteValueA(handle, name);
        RegCloseKey(handle);
    };
    struct {
        const char* Active;
        const char* Layer;
        bool Expected;
    } cases[] = {
        {nullptr, nullptr, false}, {"0", nullptr, false}, {"1", nullptr, true},
        {"1", "~ DISABLETHEMES WIN98", false}, {"1", "WINXPSP3", true},
    };
    for (const auto& c : cases) {
        setString(manager, "ThemeActive", c.Active);
        setString(layers, path, c.Layer);
        EXPECT_EQ(IsThemeActive(), c.Expected) << (c.Active ? c.Active : "none") << " " << (c.Layer ? c.Layer : "none");
    }
    setString(layers, path, nullptr);
    setString(manager, "ThemeActive", nullptr);
}

namespace {
int ActivateMessages = 0;
WNDPROC TipProc = nullptr;
LRESULT CALLBACK CountingTipProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == TTM_ACTIVATE)
        ++ActivateMessages;
    return CallWindowProcA(TipProc, hwnd, msg, wp, lp);
}
}  // namespace

TEST(MenusWinTheme, ToolTipActivatesOncePerChange)
{
    INITCOMMONCONTROLSEX init{sizeof init, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&init);
    const HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    {
        T_AM2000_ToolTipWindow tip(owner);
        ASSERT_NE(tip.Handle(), nullptr);
        TipProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(tip.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingTipProc)));
        tip.AddTool(RECT{0, 0, 10, 10}, "Erases the selection");
        EXPECT_EQ(SendMessageA(tip.Handle(), TTM_GETTOOLCOUNT, 0, 0), 1);
        ActivateMessages = 0;
        tip.Activate();
        tip.Activate();
        EXPECT_EQ(ActivateMessages, 1);
        tip.Deactivate();
        tip.Deactivate();
        EXPECT_EQ(ActivateMessages, 2);
        tip.Activate();
    }
    EXPECT_EQ(ActivateMessages, 4);  // destruction deactivates
    DestroyWindow(owner);
}

TEST_F(MenusWin, NoticesReachTheWindowForTheRootAndItsChildren)
{
    TComponent form;
    auto* menu = NewComponent<TPopupMenu2000>(&form);
    auto* copy = NewComponent<TMenuItem2000>(&form);
    copy->Caption = "Copy";
    menu->Items()->Add(copy);
    auto* deep = NewComponent<TMenuItem2000>(&form);
    copy->Add(deep);
    Log.HideAfterPolls = 1000;
    menu->ShowPopup(10, 10);
    ASSERT_TRUE(menu->IsShowing());
    EXPECT_EQ(CurrentPopupMenu(), menu);
    Log.Notices.clear();
    const int rebuilds = Log.Rebuilds;

    copy->SetChecked(true);
    copy->SetHint("Copies it");
    copy->SetCaption("Copy all");
    deep->SetCaption("deep");  // not on the shown level: no notice, but a refresh
    EXPECT_EQ(Log.Notices, (std::vector<std::pair<TMenuItem*, int>>{{copy, 0}, {copy, 4}, {copy, 3}}));
    EXPECT_EQ(Log.Rebuilds, rebuilds + 2);
    menu->Items()->Delete(0);  // deleting from the open root refreshes the window
    EXPECT_EQ(Log.Rebuilds, rebuilds + 3);
    CloseMenus();
    EXPECT_FALSE(menu->IsShowing());
}

TEST_F(MenusWin, PopupWaitsUntilTheWindowHidesAndEmptyMenusOpenEmpty)
{
    TComponent form;
    auto* menu = NewComponent<TPopupMenu2000>(&form);
    int popups = 0;
    menu->OnPopup = [&](TObject*) { ++popups; };
    menu->RawOptions().SetAnimation(anVertRoll);
    Log.HideAfterPolls = 4;
    menu->Popup(30, 40);
    EXPECT_EQ(popups, 1);
    EXPECT_GE(Log.Polls, 4);
    EXPECT_FALSE(menu->IsShowing());
    EXPECT_EQ(menu->PopupX, 30);
    EXPECT_EQ(menu->PopupY, 40);
    EXPECT_EQ(Log.Root, menu->Items());
    EXPECT_EQ(menu->Items()->Count(), 0);  // no "(Empty)" in a plain popup
    EXPECT_EQ(Log.Animation, anVertRoll);
    EXPECT_EQ(CurrentPopupMenu(), nullptr);
}

namespace {
TComponent* ToFree = nullptr;
LRESULT CALLBACK FreeingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_APP && ToFree) {
        delete ToFree;
        ToFree = nullptr;
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}
}  // namespace

TEST_F(MenusWin, AHandlerThatFreesTheMenuEndsTheWaitSafely)
{
    WNDCLASSA cls{};
    cls.lpfnWndProc = FreeingProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "PvlMenuFreeingWindow";
    RegisterClassA(&cls);
    const HWND window = CreateWindowExA(0, cls.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    auto* menu = new TPopupMenu2000(nullptr);
    ToFree = menu;
    Log.HideAfterPolls = 1000000;
    Log.OnPoll = [&] { PostMessageA(window, WM_APP, 0, 0); };
    menu->Popup(0, 0);  // returns once the handler freed it
    EXPECT_EQ(ToFree, nullptr);
    EXPECT_TRUE(Log.Freed);
    EXPECT_EQ(CurrentPopupMenu(), nullptr);
    Log.OnPoll = nullptr;
    DestroyWindow(window);
}

TEST_F(MenusWin, FreeingAnOwnedMenuFreesItsWindow)
{
    {
        TComponent form;
        auto* menu = NewComponent<TPopupMenu2000>(&form);
        menu->GetPopupForm();
        EXPECT_FALSE(Log.Freed);
    }
    EXPECT_TRUE(Log.Freed);
}

TEST_F(MenusWin, ItemShortCutsAndHintsFromTheTable)
{
    TComponent form;
    auto* item = NewComponent<TMenuItem2000>(&form);
    item->Caption = "&Copy";
    EXPECT_EQ(item->GetShortCut(), "Ctrl+C;Ctrl+Ins");
    EXPECT_EQ(FirstShortCut(item->GetShortCut()), "Ctrl+C");
    EXPECT_EQ(item->GetHint(), "Copies the selection to the clipboard");
    EXPECT_FALSE(item->ShortCutStored());
    EXPECT_FALSE(item->HintStored());

    item->SetShortCut("Ctrl+C; Shift+Ins");
    EXPECT_EQ(item->StoredShortCutText(), "Ctrl+C;Shift+Ins");
    EXPECT_TRUE(item->ShortCutStored());
    item->SetShortCut("");
    EXPECT_EQ(item->StoredShortCutText(), "\x01");
    EXPECT_EQ(item->GetShortCut(), "");
    try {
        item->SetShortCut("Foo");
        FAIL() << "no error";
    } catch (const EMenuError& e) {
        EXPECT_STREQ(e.what(), "Invalid shortcut: 'Foo'");
    }
    item->SetHint("");
    EXPECT_EQ(item->GetHint(), "");

    // Table shortcuts are shown only: the numeric shortcut of an item wins.
    item->ShortCut = ::ShortCut('K', scCtrl);
    EXPECT_EQ(item->GetShortCut(), "Ctrl+K");
    EXPECT_THROW(item->GetItemChecked(0), EMenuError);
}

TEST_F(MenusWin, ClickRunsTheControlThenOnClickAndStampsTheUsage)
{
    TComponent form;
    auto* item = NewComponent<TMenuItem2000>(&form);
    int clicks = 0;
    item->OnClick = [&](TObject*) { ++clicks; };
    item->SetControl(ctlButton);
    item->Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(item->LastTimeUsed, MenuUsageClock());
    TMenuItem plain(nullptr);
    EXPECT_THROW(StoreMenuItem(&plain), EMenuError);
}

TEST(MenusWinUsageClock, ReadingCreatesNoRegistryKey)
{
    RegDeleteKeyA(HKEY_CURRENT_USER, ("Software\\Tessarel\\Velumen/2000\\MenuOrder\\" + std::string("menus_win_tests")).c_str());
    ReadUsageClock();
    HKEY handle = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tessarel", 0, KEY_READ, &handle), ERROR_SUCCESS);
    EXPECT_NE(MenuOrderKey().find("menus_win_tests"), std::string::npos);
    EXPECT_EQ(MenuOrderKey().find("$(APPNAME)"), std::string::npos);
}

TEST(MenusWinGlyphs, TableImageListHoldsEveryGlyphInRowOrder)
{
    MenuUnitStart();
    const HIMAGELIST list = MenuItemCacheImages();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(list), 198);
    // Delete's pictogram is a red cross: its centre is red; an unknown caption draws nothing.
    TCanvasDC canvas(20, 20);
    DrawGlyphOf(canvas.Dc, 0, 0, true, 0, 0, "&Delete");
    EXPECT_EQ(canvas.At(7, 7), RGB(210, 30, 30));
    EXPECT_EQ(canvas.At(0, 15), RGB(255, 255, 255));  // the key colour is transparent
    TCanvasDC untouched(20, 20);
    DrawGlyphOf(untouched.Dc, 0, 0, true, 0, 0, "No Such Command");
    DrawGlyphByIndex(untouched.Dc, 0, 0, true, 0, 0, 198);
    EXPECT_EQ(untouched.At(7, 7), RGB(255, 255, 255));
    // Disabled: embossed in the two colours only.
    TCanvasDC disabled(20, 20);
    DrawGlyphOf(disabled.Dc, 0, 0, false, RGB(255, 255, 254), RGB(0, 0, 128), "Delete");
    EXPECT_EQ(disabled.At(7, 7), RGB(0, 0, 128));
}

TEST_F(MenusWin, ShortCutsDispatchOnlyWhatTheItemSetsItself)
{
    TComponent form;
    auto* menu = NewComponent<TPopupMenu2000>(&form);
    std::vector<std::string> clicked;
    const auto item = [&](TMenuItem* parent, const char* caption) {
        auto* i = NewComponent<TMenuItem2000>(&form);
        i->Caption = caption;
        i->OnClick = [&clicked, caption](TObject*) { clicked.push_back(caption); };
        parent->Add(i);
        return i;
    };
    auto* edit = item(menu->Items(), "Edit");
    auto* del = item(edit, "Delete");  // shows the table's Del
    auto* mine = item(edit, "Mine");
    mine->SetShortCut("Ctrl+K; F9");
    auto* attached = NewComponent<TPopupMenu2000>(&form);
    auto* extra = item(attached->Items(), "Extra");
    extra->ShortCut = ShortCut('E', scCtrl);
    edit->SetAttachMenu(attached);

    EXPECT_EQ(del->GetShortCut(), "Del;Ctrl+Del");
    EXPECT_FALSE(DispatchShortCut(ShortCut(VK_DELETE, 0), menu->Items()));
    EXPECT_TRUE(DispatchShortCut(ShortCut(VK_F9, 0), menu->Items()));
    EXPECT_EQ(clicked, (std::vector<std::string>{"Edit", "Mine"}));
    EXPECT_EQ(FindItemByShortCut(menu->Items(), ShortCut('E', scCtrl)), extra);
    clicked.clear();
    edit->Enabled = false;  // a disabled parent abandons the click
    EXPECT_TRUE(DispatchShortCut(ShortCut('K', scCtrl), menu->Items()));
    EXPECT_TRUE(clicked.empty());
    EXPECT_EQ(ShortCutFromKeyMessage('A', LPARAM(1) << 29), ShortCut('A', scAlt));
    edit->Enabled = true;
    EXPECT_TRUE(menu->IsShortCut(VK_F9, 0));
    EXPECT_EQ(clicked, (std::vector<std::string>{"Edit", "Mine"}));
    EXPECT_FALSE(menu->IsShortCut(VK_F8, 0));
}

TEST_F(MenusWin, FontFlagsAndSkinLinks)
{
    TComponent form;
    auto* menu = NewComponent<TPopupMenu2000>(&form);
    const T_AM2000_Font font("Tahoma", -12, clBlack, 0);
    menu->SetFont(&font);
    ASSERT_NE(menu->Font(), nullptr);
    menu->SetSystemFont(true);
    EXPECT_EQ(menu->Font(), nullptr);
    menu->SetFont(&font);
    menu->SetParentFont(true);
    EXPECT_EQ(menu->Font(), nullptr);
    EXPECT_FALSE(menu->SystemFont());

    auto* skin = NewComponent<TAnimatedSkin2000>(&form);
    skin->SetOpacity(70);
    skin->Colors().Set(T_AM2000_Colors::Menu, 0x112233);
    menu->SetAnimatedSkin(skin);
    EXPECT_EQ(menu->RawOptions().Opacity(), 70);
    EXPECT_EQ(menu->RawOptions().Colors().Get(T_AM2000_Colors::Menu), 0x112233);
    menu->SetAnimatedSkin(nullptr);  // the default look at once
    EXPECT_EQ(menu->RawOptions().Opacity(), 100);
    EXPECT_EQ(menu->RawOptions().Colors().Get(T_AM2000_Colors::Menu), clMenu);
    menu->SetAnimatedSkin(skin);
    delete skin;  // freeing the skin clears the link
    EXPECT_EQ(menu->AnimatedSkin(), nullptr);
    EXPECT_EQ(menu->Version(), TCustomAnimatedSkin2000::Version());

    // A different ShowHint drops ParentShowHint; ParentShowHint takes the owner control's value.
    menu->SetShowHint(true);
    EXPECT_FALSE(menu->ParentShowHint());
    menu->SetParentShowHint(true);
    EXPECT_FALSE(menu->ShowHint());  // the owner is no control
    TForm window(nullptr);
    window.ShowHint = true;
    auto* owned = NewComponent<TPopupMenu2000>(&window);
    owned->SetParentShowHint(true);
    EXPECT_TRUE(owned->ShowHint());
}

TEST_F(MenusWin, AssignTakesAPlainPopupsItemsAsSkinnedItems)
{
    TComponent form;
    TPopupMenu plain(nullptr);
    TMenuItem* file = plain.Items()->AddNew("&File");
    TMenuItem* open = file->AddNew("Open");
    open->ShortCut = ShortCut('O', scCtrl);
    file->AddNew("-");
    auto* menu = NewComponent<TPopupMenu2000>(&form);
    menu->Items()->Add(NewComponent<TMenuItem2000>(&form));  // replaced
    menu->Assign(plain);
    ASSERT_EQ(menu->Items()->Count(), 1);
    TMenuItem2000* copied = menu->Items()->Items(0);
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->GetCaption(), "&File");
    ASSERT_EQ(copied->Count(), 2);
    EXPECT_EQ(copied->Items(0)->GetShortCut(), "Ctrl+O");
    EXPECT_TRUE(IsSeparatorCaption(copied->Items(1)->GetCaption()));

    auto* second = NewComponent<TPopupMenu2000>(&form);
    menu->RawOptions().SetAnimation(anHorzRoll);
    menu->SetCtl3D(false);
    second->Assign(*menu);
    EXPECT_EQ(second->RawOptions().Animation(), anHorzRoll);
    EXPECT_FALSE(second->Ctl3D());
    EXPECT_EQ(second->Items()->Items(0)->Items(0)->Origin, copied->Items(0));
}

TEST_F(MenusWin, ActionsDriveTheirItemsAndEveryChangeReachesTheOpenWindow)
{
    TComponent form;
    auto* menu = NewComponent<TPopupMenu2000>(&form);
    auto* action = NewComponent<TBasicAction>(&form);
    action->SetCaption("Play");
    action->SetHint("Plays it");
    action->SetShortCut(ShortCut('P', scCtrl));
    std::vector<std::string> ran;
    action->OnExecute = [&](TObject*) { ran.push_back("action"); };
    auto* item = menu->Items()->AddNew("old", [&](TObject*) { ran.push_back("click"); });
    item->SetAction(action);
    EXPECT_EQ(item->Action(), action);
    EXPECT_EQ(item->GetCaption(), "Play");
    EXPECT_EQ(item->GetHint(), "Plays it");
    EXPECT_EQ(item->GetShortCut(), "Ctrl+P");
    item->Click();
    EXPECT_EQ(ran, std::vector<std::string>{"action"});

    Log.HideAfterPolls = 1000;
    menu->ShowPopup(0, 0);
    Log.Notices.clear();
    action->SetCaption("Pause");
    action->SetEnabled(false);
    action->SetChecked(true);
    action->SetHint("Pauses it");
    action->SetImageIndex(3);
    action->SetVisible(false);
    action->SetHelpContext(7);  // no notice
    EXPECT_EQ(Log.Notices, (std::vector<std::pair<TMenuItem*, int>>{
                               {item, 3}, {item, 3}, {item, 0}, {item, 4}, {item, 3}, {item, 3}}));
    EXPECT_EQ(item->GetCaption(), "Pause");
    EXPECT_FALSE(item->GetEnabled());
    EXPECT_TRUE(item->GetChecked());
    EXPECT_EQ(item->GetImageIndex(), 3);
    EXPECT_FALSE(item->GetVisible());
    EXPECT_EQ(item->HelpContext, 7);
    CloseMenus();

    // A link whose client is a plain item only sets its values.
    TMenuItem plain(nullptr);
    T_AM2000_MenuActionLink link(&plain);
    link.SetAction(action);
    action->SetCaption("Stop");
    action->SetChecked(false);
    EXPECT_EQ(plain.Caption, "Stop");
    EXPECT_FALSE(plain.Checked);

    // Update reaches the visible children; a copy keeps the action; a freed action unlinks.
    auto* hidden = NewComponent<TBasicAction>(&form);
    int updates = 0, hiddenUpdates = 0;
    action->OnUpdate = [&](TObject*) { ++updates; };
    hidden->OnUpdate = [&](TObject*) { ++hiddenUpdates; };
    action->SetVisible(true);
    menu->Items()->AddNew("Hidden")->SetAction(hidden);
    hidden->SetVisible(false);
    menu->Items()->InitiateAction();
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(hiddenUpdates, 0);
    auto* copy = NewComponent<TMenuItem2000>(&form);
    copy->Assign(*item);
    EXPECT_EQ(copy->Action(), action);
    delete action;
    EXPECT_EQ(item->Action(), nullptr);
    EXPECT_EQ(copy->Action(), nullptr);
    EXPECT_EQ(item->GetCaption(), "Stop");
    ran.clear();
    item->SetEnabled(true);
    item->Click();
    EXPECT_EQ(ran, std::vector<std::string>{"click"});
    delete copy;
}

TEST_F(MenusWin, TypedControlAccessFollowsTheKindAndCopiesTakeTheControl)
{
    TComponent form;
    auto* item = NewComponent<TMenuItem2000>(&form);
    item->Name = "Find";
    const auto message = [&](auto access) {
        try {
            access();
        } catch (const EMenuError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    item->SetControl(ctlEditbox);
    item->AsEditbox().Buffer.Text = "needle";
    EXPECT_EQ(message([&] { item->AsButton(); }), "Find: This is not a Button control");
    EXPECT_EQ(message([&] { item->AsButtonArray(); }), "Find: This is not a Button Array control");

    auto* copy = NewComponent<TMenuItem2000>(&form);
    copy->Assign(*item);
    EXPECT_EQ(copy->Control(), ctlEditbox);
    EXPECT_EQ(copy->AsEditbox().Buffer.Text, "needle");

    item->SetControl(ctlButton);
    item->AsButton().SetDown(true);
    EXPECT_TRUE(item->AsButton().Down());
    item->SetControl(ctlNone);
    EXPECT_EQ(message([&] { item->AsButton(); }), "Find: This is not a Button control");
    EXPECT_EQ(message([&] { item->AsEditbox(); }), "Find: This is not an Editbox control");
    item->SetControl(ctlButtonArray);
    EXPECT_NO_THROW(item->AsButtonArray());
}

TEST(MenusWinGlyphs, GlowBlursTheShapeOnTheBackgroundOrOnWhatTheCanvasShows)
{
    const HBITMAP glyph = PixelRow({RGB(255, 0, 255), RGB(0, 0, 0)});
    TCanvasDC plain(8, 6);
    DrawGlyph(plain.Dc, 2, 2, 0x40, RGB(255, 0, 0), 0x1FFFFFFF, glyph, 1, 0);
    EXPECT_EQ(plain.At(3, 2), RGB(0, 0, 0));          // the glyph over its glow
    EXPECT_EQ(plain.At(4, 2), RGB(255, 204, 204));    // 8 of 10 weights white
    EXPECT_EQ(plain.At(2, 2), RGB(255, 219, 219));    // 12 of 14
    EXPECT_EQ(plain.At(5, 2), RGB(255, 255, 255));    // outside the glow

    // The origin's colour differs from its neighbour's: the glow blurs a copy of the canvas.
    TCanvasDC busy(8, 6);
    SetPixel(busy.Dc, 3, 2, RGB(0, 0, 255));
    SetPixel(busy.Dc, 1, 3, RGB(0, 255, 0));
    DrawGlyph(busy.Dc, 2, 2, 0x40, RGB(255, 0, 0), 0x1FFFFFFF, glyph, 1, 0);
    EXPECT_EQ(busy.At(1, 3), RGB(182, 255, 182));
    EXPECT_EQ(busy.At(4, 2), RGB(255, 204, 204));
    DeleteObject(glyph);
}

TEST(MenusWinGlyphs, ImageListGlyphsPlainLightenedShadowedAndDisabled)
{
    const HIMAGELIST list = ImageList_Create(2, 1, ILC_COLOR24 | ILC_MASK, 1, 1);
    const HBITMAP strip = PixelRow({RGB(255, 0, 255), RGB(0, 0, 128)});
    ASSERT_EQ(ImageList_AddMasked(list, strip, RGB(255, 0, 255)), 0);
    DeleteObject(strip);
    const COLORREF white = RGB(255, 255, 255), red = RGB(255, 0, 0);
    const struct {
        unsigned Flags;
        int X, Y;
        COLORREF Expected;
    } cases[] = {
        {0, 3, 2, RGB(0, 0, 128)},
        {0, 2, 2, white},
        {8, 3, 2, 0x903030},             // lightened; the list's background stays out
        {8, 2, 2, white},
        {2, 2, 1, RGB(0, 0, 128)},       // the image one up and left
        {2, 5, 4, red},                  // its shape two right and down
        {2, 4, 3, white},
    };
    for (const auto& c : cases) {
        TCanvasDC canvas(8, 6);
        DrawImageListGlyph(canvas.Dc, 2, 2, c.Flags, red, 2, 1, 0, list);
        EXPECT_EQ(canvas.At(c.X, c.Y), c.Expected) << c.Flags << " at " << c.X << "," << c.Y;
    }
    TCanvasDC disabled(8, 6);
    DrawImageListShape(disabled.Dc, 2, 2, RGB(0, 255, 0), RGB(0, 0, 255), 2, 1, 0, list);
    EXPECT_EQ(disabled.At(3, 2), RGB(0, 0, 255));
    EXPECT_EQ(disabled.At(4, 3), RGB(0, 255, 0));
    EXPECT_EQ(disabled.At(2, 2), white);
    ImageList_Destroy(list);
}

TEST(MenusWinGlyphs, FormIconFallsBackToTheProgramsOrTheSystemsIcon)
{
    TCanvasDC canvas(24, 24);
    DrawFormIcon(canvas.Dc, nullptr, 16, 4, 2);
    int drawn = 0, outside = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            if (canvas.At(x, y) != RGB(255, 255, 255))
                ++(x >= 2 && x < 18 && y >= 4 && y < 20 ? drawn : outside);
    EXPECT_GT(drawn, 20);
    EXPECT_EQ(outside, 0);
}

TEST_F(MenusWin, ItemTestsReadSkinnedItemsAttachedMenusAndNativeMenus)
{
    TComponent form;
    auto* plain = NewComponent<TMenuItem>(&form);
    plain->Caption = "=== ";
    plain->Enabled = false;
    plain->AddNew("child");
    auto* skinned = NewComponent<TMenuItem2000>(&form);
    skinned->SetCaption("&Open");
    skinned->SetVisible(false);
    auto* attached = NewComponent<TMenuItem2000>(&form);
    auto* menu = NewComponent<TPopupMenu2000>(&form);
    attached->SetAttachMenu(menu);
    auto* native = NewComponent<TMenuItem2000>(&form);
    const HMENU entries = CreatePopupMenu();
    AppendMenuA(entries, MF_STRING, 1, "One");
    AppendMenuA(entries, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), "Two");
    native->NativeHandle = entries;

    const struct {
        const TMenuItem* Item;
        std::string Caption;
        bool Separator, Enabled, Visible;
        int Count, WithNative;
        bool SubItems;
    } cases[] = {
        {nullptr, "", false, false, false, 0, 0, false},
        {plain, "=== ", true, false, true, 1, 1, true},
        {skinned, "&Open", false, true, false, 0, 0, false},
        {attached, "", false, true, true, 0, 0, true},  // an empty attached menu still opens
        {native, "", false, true, true, 0, 2, true},
    };
    for (const auto& c : cases) {
        const std::string name = c.Item ? c.Item->Caption : "none";
        EXPECT_EQ(ItemCaption(c.Item), c.Caption) << name;
        EXPECT_EQ(IsSeparatorItem(c.Item), c.Separator) << name;
        EXPECT_EQ(ItemEnabled(c.Item), c.Enabled) << name;
        EXPECT_EQ(ItemVisible(c.Item), c.Visible) << name;
        EXPECT_EQ(ItemCount(c.Item), c.Count) << name;
        EXPECT_EQ(ItemCountWithNative(c.Item), c.WithNative) << name;
        EXPECT_EQ(HasSubItems(c.Item), c.SubItems) << name;
    }
    menu->Items()->AddNew("a");
    menu->Items()->AddNew("b");
    EXPECT_EQ(ItemCount(attached), 2);  // the attached menu's items

    EXPECT_FALSE(NativeItemHasSubmenu(entries, 0));
    EXPECT_TRUE(NativeItemHasSubmenu(entries, 1));
    EXPECT_FALSE(NativeItemHasSubmenu(entries, -1));
    EXPECT_FALSE(NativeItemHasSubmenu(entries, 2));
    native->NativeHandle = nullptr;
    DestroyMenu(entries);
}

TEST(MenusWinUtilities, TextWidthLeavesOutAcceleratorMarks)
{
    TCanvasDC dc(4, 4);
    TCanvas canvas(dc.Dc);
    const struct {
        const char* Caption;
        const char* Shown;
    } cases[] = {{"&Open", "Open"}, {"Save && Quit", "Save & Quit"}, {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(TextWidthNoAccel(canvas, c.Caption), canvas.TextWidth(c.Shown)) << c.Caption;
    EXPECT_GT(canvas.TextWidth("Open"), 0);
}

TEST(MenusWinUtilities, TimerAnswersForItsOwnerAndCode)
{
    int owner = 0, other = 0;
    StartMenuTimer(10000, [] {}, &owner, 1);
    EXPECT_TRUE(IsMenuTimerFor(&owner, 1));
    EXPECT_FALSE(IsMenuTimerFor(&owner, 2));
    EXPECT_FALSE(IsMenuTimerFor(&other, 1));
    StartMenuTimer(10000, [] {}, &other, 1);  // a new start takes the timer over
    EXPECT_FALSE(IsMenuTimerFor(&owner, 1));
    EXPECT_TRUE(IsMenuTimerFor(&other, 1));
    StopMenuTimer();
    EXPECT_FALSE(IsMenuTimerFor(&other, 1));
}

TEST(MenusWinUtilities, CaretCountAndTemporaryCursor)
{
    HideMenuCaret();
    HideMenuCaret();
    EXPECT_EQ(HiddenCaretCount(), 2);
    RestoreCaret();
    EXPECT_EQ(HiddenCaretCount(), 0);

    Screen->SetCursor(crDefault);
    SetTempCursor(crIBeam);
    EXPECT_EQ(Screen->Cursor(), crIBeam);
    RestoreTempCursor(crArrow);  // the screen shows another shape: kept
    EXPECT_EQ(Screen->Cursor(), crIBeam);
    RestoreTempCursor(crIBeam);
    EXPECT_EQ(Screen->Cursor(), crDefault);
    SetTempCursor(crNo);
    Screen->SetCursor(crSizeAll);
    RestoreTempCursor(-1);  // always
    EXPECT_EQ(Screen->Cursor(), crDefault);
}
