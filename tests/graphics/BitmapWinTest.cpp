#include "framework/Forms.h"
#include "tests/support/WineGraph.h"
#include "graphics/Bitmap32.h"
#include "graphics/ThemeNexus.h"

#include <gtest/gtest.h>

namespace {
// The bounding box of the pixels that differ from the background (empty when none).
TRect ChangedArea(const TCustomBitmap32& bmp, TColor32 background)
{
    TRect box(bmp.Width(), bmp.Height(), 0, 0);
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (bmp.Pixel(x, y) != background) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return RectIsEmpty(box) ? TRect() : box;
}

bool Inside(const TRect& inner, const TRect& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right && inner.bottom <= outer.bottom;
}

}

TEST(BitmapWin, SizeCreatesTheDibAndDeviceContextTogether)
{
    TBitmap32 bmp;
    int handleChanges = 0;
    bmp.OnHandleChanged = [&](TObject*) { ++handleChanges; };
    EXPECT_EQ(bmp.Handle(), nullptr);
    EXPECT_EQ(bmp.DC(), nullptr);

    bmp.SetWidth(255);
    EXPECT_EQ(bmp.Handle(), nullptr);  // still 255 x 0
    bmp.SetHeight(60);
    ASSERT_NE(bmp.Handle(), nullptr);
    ASSERT_NE(bmp.DC(), nullptr);
    ASSERT_NE(bmp.Bits(), nullptr);
    EXPECT_EQ(handleChanges, 2);

    // GDI and the pixel memory are the same image, top row first.
    bmp.Clear(0);
    SetPixelV(bmp.DC(), 3, 1, RGB(0x12, 0x34, 0x56));
    GdiFlush();
    EXPECT_EQ(bmp.Pixel(3, 1) & 0x00FFFFFF, 0x123456u);

    bmp.SetSize(-5, 10);
    EXPECT_EQ(bmp.Handle(), nullptr);
    EXPECT_EQ(bmp.DC(), nullptr);
    EXPECT_EQ(bmp.Bits(), nullptr);
    EXPECT_TRUE(bmp.Empty());
}

TEST(BitmapWin, DrawToDCShowsThePixelsInAWindow)
{
    TApplication app;
    app.ShowExceptions = false;
    auto* form = app.CreateForm<TForm>();
    form->BorderStyle = bsNone;
    form->SetBounds(40, 40, 80, 60);
    form->Show();
    pvltest::PumpMessages(150);

    TBitmap32 bmp;
    bmp.SetSize(20, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            *bmp.PixelPtr(x, y) = MakeColor32(x * 12, y * 25, 200);
    const TWindowDC dc(form->Handle());
    bmp.DrawToDC(dc.Get(), 5, 7);
    GdiFlush();
    for (const auto& [x, y] : {std::pair{0, 0}, {19, 0}, {0, 9}, {7, 4}, {19, 9}}) {
        const COLORREF c = GetPixel(dc.Get(), 5 + x, 7 + y);
        EXPECT_EQ(c, RGB(x * 12, y * 25, 200)) << x << "," << y;
    }
}

TEST(BitmapWin, TextChangesPixelsOnlyInsideItsExtent)
{
    const TColor32 background = 0xFF202020;
    TBitmap32 bmp;
    bmp.SetSize(160, 50);
    bmp.Clear(background);
    bmp.Font().SetColor(clWhite);
    const std::string text = "Wine 42";
    const TSize extent = bmp.TextExtent(text);
    ASSERT_GT(extent.cx, 10);
    ASSERT_GT(extent.cy, 5);
    int changes = 0;
    bmp.OnChange = [&](TObject*) { ++changes; };
    bmp.TextOut(12, 9, text);
    const TRect area = ChangedArea(bmp, background);
    EXPECT_FALSE(RectIsEmpty(area));
    EXPECT_TRUE(Inside(area, TRect(12, 9, 12 + extent.cx, 9 + extent.cy)));
    EXPECT_EQ(changes, 1);
}

TEST(BitmapWin, AntialiasedTextBlendsTheColourInsideItsMask)
{
    const std::string text = "Ab1";
    const TColor32 background = 0xFF000000;
    for (int level = 0; level <= 4; ++level) {
        TBitmap32 bmp;
        bmp.SetSize(200, 80);
        bmp.Clear(background);
        // The mask's size, measured as the drawing does.
        TBitmap32 probe;
        probe.SetSize(1, 1);
        probe.Font().SetSize(bmp.Font().Size() << level);
        const TSize large = probe.TextExtent(text + " ");
        const TRect mask(7, 5, 7 + (large.cx >> level), 5 + (large.cy >> level));

        bmp.DrawAntialiasedText(7, 5, text, level, 0xFFFF0000);
        const TRect area = ChangedArea(bmp, background);
        EXPECT_FALSE(RectIsEmpty(area)) << level;
        EXPECT_TRUE(Inside(area, mask)) << level;
        for (int y = 0; y < bmp.Height(); ++y)
            for (int x = 0; x < bmp.Width(); ++x)
                ASSERT_EQ(bmp.Pixel(x, y) & 0x0000FFFF, 0u) << "only red is blended in, level " << level;
    }

    TBitmap32 invisible;
    invisible.SetSize(100, 40);
    invisible.Clear(background);
    invisible.DrawAntialiasedText(2, 2, text, 2, 0x00FFFFFF);
    EXPECT_TRUE(RectIsEmpty(ChangedArea(invisible, background)));

    TBitmap32 four, seven;
    for (TBitmap32* b : {&four, &seven}) {
        b->SetSize(100, 40);
        b->Clear(background);
    }
    four.DrawAntialiasedText(2, 2, text, 4, 0xFFFFFFFF);
    seven.DrawAntialiasedText(2, 2, text, 7, 0xFFFFFFFF);
    EXPECT_TRUE(four.Equals(seven));
}

TEST(BitmapWin, TextIsMeasuredAlsoWithoutADeviceContext)
{
    TBitmap32 empty, sized;
    sized.SetSize(10, 10);
    EXPECT_EQ(empty.TextExtent("Measure me"), sized.TextExtent("Measure me"));
    EXPECT_GT(empty.TextWidth("Measure me"), 0);

    TFont big;
    big.SetSize(24);
    sized.SetFont(big);
    EXPECT_GT(sized.TextHeight("Hj"), empty.TextHeight("Hj"));
    EXPECT_EQ(sized.Font().Size(), 24);
}

TEST(BitmapWin, ThemeNexusFollowsThemeChanges)
{
    TBitmap32 bmp;  // the library's start-up makes the nexus
    TThemeNexus& nexus = ThemeNexus();
    ASSERT_NE(nexus.Window(), nullptr);
    ASSERT_TRUE(nexus.Loaded());  // Wine ships uxtheme
    const bool themed = nexus.UxTheme().IsAppThemed() && nexus.UxTheme().IsThemeActive();
    EXPECT_EQ(nexus.ThemesInUse(), themed);
    SendMessageA(nexus.Window(), WM_THEMECHANGED, 0, 0);
    EXPECT_TRUE(nexus.Loaded());
    EXPECT_NE(nexus.UxTheme().OpenThemeData, nullptr);
    EXPECT_EQ(nexus.ThemesInUse(), themed);
}
