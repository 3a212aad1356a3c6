#include "framework/Forms.h"
#include "tests/support/WineGraph.h"
#include "graphics/Blend.h"
#include "graphics/Image32.h"

#include <gtest/gtest.h>

namespace {
// A form without a frame at a known place on the screen.
TForm* PlainForm(TApplication& app, int width, int height)
{
    auto* form = app.CreateForm<TForm>();
    form->BorderStyle = bsNone;
    form->SetBounds(60, 60, width, height);
    return form;
}

// Shows a top-most window over the rectangle for a moment, then takes it away.
void Cover(const RECT& screen)
{
    const HWND cover = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, screen.left,
                                       screen.top, screen.right - screen.left, screen.bottom - screen.top, nullptr,
                                       nullptr, GetModuleHandleA(nullptr), nullptr);
    UpdateWindow(cover);
    pvltest::PumpMessages(150);
    DestroyWindow(cover);
    pvltest::PumpMessages(150);
}

COLORREF ScreenPixel(HWND wnd, int x, int y)
{
    const TWindowDC dc(wnd);
    return GetPixel(dc.Get(), x, y);
}

class TTestImage : public TImage32 {
public:
    using TImage32::TImage32;
    using TImage32::PaintToBuffer;
};
}

TEST(PaintBox, RepaintsFromItsBufferAfterBeingCovered)
{
    TApplication app;
    app.ShowExceptions = false;
    TForm* form = PlainForm(app, 120, 80);
    auto* box = NewComponent<TPaintBox32>(form);
    box->SetBounds(10, 10, 100, 60);
    box->SetParent(form);
    int paints = 0;
    box->OnPaintBuffer = [&](TObject*) {
        ++paints;
        box->Buffer()->Clear(0xFF3060C0);
    };
    form->Show();
    pvltest::PumpMessages(150);
    ASSERT_GE(paints, 1);
    EXPECT_EQ(ScreenPixel(box->Handle(), 50, 30), RGB(0x30, 0x60, 0xC0));

    // A box without a handler shows what its buffer holds, black when new.
    auto* plain = NewComponent<TCustomPaintBox32>(form);
    plain->SetBounds(0, 0, 8, 8);
    plain->SetParent(form);
    pvltest::PumpMessages(150);
    EXPECT_EQ(ScreenPixel(plain->Handle(), 3, 3), RGB(0, 0, 0));
    plain->Buffer()->Clear(0xFF10E020);

    const int before = paints;
    RECT screen;
    GetWindowRect(form->Handle(), &screen);
    Cover(screen);
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pvltest::PumpMessages(150);
    EXPECT_GT(paints, before);  // every paint asks the handler again
    EXPECT_EQ(ScreenPixel(box->Handle(), 50, 30), RGB(0x30, 0x60, 0xC0));
    EXPECT_EQ(ScreenPixel(box->Handle(), 99, 59), RGB(0x30, 0x60, 0xC0));
    EXPECT_EQ(ScreenPixel(plain->Handle(), 3, 3), RGB(0x10, 0xE0, 0x20));
}

TEST(PaintBox, BufferGrowsWithTheControlAndShrinksOnlyPastTheOversize)
{
    TApplication app;
    app.ShowExceptions = false;
    TForm* form = PlainForm(app, 300, 100);
    auto* box = NewComponent<TPaintBox32>(form);
    box->SetParent(form);
    form->Show();
    box->SetBounds(0, 0, 100, 50);
    pvltest::PumpMessages(50);
    const int widths[][2] = {{120, 120}, {100, 120}, {81, 120}, {70, 70}, {0, 0}};
    for (const auto& [width, buffer] : widths) {
        box->SetBounds(0, 0, width, 50);
        pvltest::PumpMessages(50);
        EXPECT_EQ(box->Buffer()->Width(), buffer) << width;
    }
}

TEST(PaintBox, AnswersEraseAndDialogCodeMessages)
{
    TApplication app;
    app.ShowExceptions = false;
    TForm* form = PlainForm(app, 50, 50);
    auto* box = NewComponent<TPaintBox32>(form);
    box->SetParent(form);
    EXPECT_EQ(box->Perform(WM_ERASEBKGND), 1);
    EXPECT_EQ(box->Perform(WM_GETDLGCODE) & DLGC_WANTARROWS, 0);
    box->Options = pboWantArrowKeys;
    EXPECT_EQ(box->Perform(WM_GETDLGCODE) & DLGC_WANTARROWS, DLGC_WANTARROWS);
}

TEST(Image, BitmapRectangleFollowsScaleModeAndAlignment)
{
    struct Case {
        TScaleMode mode;
        float scale;
        TBitmapAlign align;
        TRect expected;
    };
    // A 10 x 5 bitmap in a 31 x 31 control.
    const Case cases[] = {
        {smNormal, 1, baTopLeft, {0, 0, 10, 5}},
        {smNormal, 1, baCenter, {10, 13, 20, 18}},
        {smStretch, 1, baTopLeft, {0, 0, 31, 31}},
        {smScale, 2, baTopLeft, {0, 0, 20, 10}},
        {smScale, 2.5f, baCenter, {3, 9, 28, 21}},   // 12.5 rounds to 12
        {smResize, 1, baTopLeft, {0, 0, 31, 16}},   // factor 3.1; 15.5 rounds to 16
        {smNormal, 1, baTile, {0, 0, 10, 5}},
    };
    TApplication app;
    TForm* form = PlainForm(app, 40, 40);
    auto* image = NewComponent<TImage32>(form);
    image->SetBounds(0, 0, 31, 31);
    image->Bitmap()->SetSize(10, 5);
    for (const Case& c : cases) {
        image->SetScaleMode(c.mode);
        image->SetScale(c.scale);
        image->SetBitmapAlign(c.align);
        EXPECT_EQ(image->GetBitmapRect(), c.expected) << c.mode << " " << c.scale;
    }
    image->SetOffsetHorz(2.5f);
    image->SetOffsetVert(-3.5f);
    image->SetScaleMode(smNormal);
    image->SetBitmapAlign(baCustom);
    EXPECT_EQ(image->GetBitmapRect(), TRect(2, -4, 12, 1));
    image->SetScale(0);
    EXPECT_FLOAT_EQ(image->Scale(), 0.001f);
    image->Bitmap()->SetSize(0, 0);
    EXPECT_EQ(image->GetBitmapRect(), TRect());
}

TEST(Image, CentredBitmapIsDrawnWithMarginsInTheControlColour)
{
    TApplication app;
    TForm* form = PlainForm(app, 40, 40);
    auto* image = NewComponent<TTestImage>(form);
    image->SetBounds(0, 0, 31, 31);
    image->SetColor(0x00FF0000);  // blue in the class library's order
    image->Bitmap()->SetSize(10, 10);
    image->Bitmap()->Clear(0xFFFFFF00);
    image->SetBitmapAlign(baCenter);
    image->Buffer()->SetSize(31, 31);
    image->Buffer()->Clear(0xFF777777);
    image->PaintToBuffer();
    const TBitmap32& buffer = *image->Buffer();
    for (int y = 0; y < 31; ++y)
        for (int x = 0; x < 31; ++x) {
            const bool inside = x >= 10 && x < 20 && y >= 10 && y < 20;
            ASSERT_EQ(buffer.Pixel(x, y), inside ? 0xFFFFFF00u : 0xFF0000FFu) << x << "," << y;
        }
    EXPECT_TRUE(image->BufferValid());
}

TEST(Image, ScaleModesDrawTheBitmapAcrossItsRectangle)
{
    TApplication app;
    TForm* form = PlainForm(app, 40, 40);
    auto* image = NewComponent<TTestImage>(form);
    image->SetBounds(0, 0, 30, 20);
    image->SetColor(clBlack);
    image->Bitmap()->SetSize(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            *image->Bitmap()->PixelPtr(x, y) = MakeColor32(x * 100, y * 200, 50);
    image->Buffer()->SetSize(30, 20);
    struct Case {
        TScaleMode mode;
        float scale;
        int cellW, cellH;  // the size each source pixel covers
    };
    for (const Case& c : {Case{smStretch, 1, 10, 10}, Case{smScale, 3, 3, 3}, Case{smResize, 1, 10, 10}, Case{smNormal, 1, 1, 1}}) {
        image->SetScaleMode(c.mode);
        image->SetScale(c.scale);
        image->PaintToBuffer();
        const TBitmap32& buffer = *image->Buffer();
        for (int y = 0; y < 2 * c.cellH; ++y) {
            for (int x = 0; x < 3 * c.cellW; ++x)
                ASSERT_EQ(buffer.Pixel(x, y), image->Bitmap()->Pixel(x / c.cellW, y / c.cellH)) << c.mode << " " << x << "," << y;
        }
        if (3 * c.cellW < 30) {
            EXPECT_EQ(buffer.Pixel(29, 0), 0xFF000000u) << c.mode;
        }
    }

    // Tiling repeats the bitmap over the whole buffer.
    image->SetScaleMode(smNormal);
    image->SetBitmapAlign(baTile);
    image->PaintToBuffer();
    EXPECT_EQ(image->Buffer()->Pixel(29, 19), image->Bitmap()->Pixel(29 % 3, 19 % 2));
}

TEST(Image, ImageOnScreenShowsTheBlendedBitmap)
{
    TApplication app;
    app.ShowExceptions = false;
    TForm* form = PlainForm(app, 60, 60);
    auto* image = NewComponent<TImage32>(form);
    image->SetBounds(0, 0, 40, 40);
    image->SetColor(clWhite);
    image->SetParent(form);
    image->Bitmap()->SetSize(40, 40);
    image->Bitmap()->Clear(0xFF000000);
    image->Bitmap()->SetDrawMode(dmBlend);
    image->Bitmap()->SetMasterAlpha(100);  // a button state of the player
    form->Show();
    pvltest::PumpMessages(150);
    const BYTE expected = static_cast<BYTE>(BlendFunctionTable.BlendByAlphaMaster(0xFF000000, 0xFFFFFFFF, 100));
    EXPECT_EQ(ScreenPixel(image->Handle(), 20, 20), RGB(expected, expected, expected));
}

TEST(Image, ChangesRepaintOnceOutsideUpdatesAndUpdatesMustPair)
{
    TApplication app;
    TForm* form = PlainForm(app, 40, 40);
    auto* image = NewComponent<TImage32>(form);
    int changes = 0;
    image->OnChange = [&](TObject*) { ++changes; };
    image->Bitmap()->SetSize(4, 4);
    EXPECT_GE(changes, 1);
    changes = 0;
    image->Bitmap()->Clear(0xFFFFFFFF);
    EXPECT_EQ(changes, 1);

    image->BeginUpdate();
    image->Bitmap()->Clear(0xFF000000);
    image->SetBitmapAlign(baCenter);
    image->EndUpdate();
    EXPECT_EQ(changes, 1);

    TBitmap32 other;
    other.SetSize(2, 3);
    image->SetBitmap(other);
    EXPECT_EQ(image->Bitmap()->Height(), 3);
    EXPECT_GE(changes, 2);

    try {
        image->EndUpdate();
        FAIL() << "no exception";
    } catch (const EAssertionFailed& e) {
        EXPECT_STREQ(e.what(), "Unpaired EndUpdate call");
    }
    try {
        image->Layers().EndUpdate();
        FAIL() << "no exception";
    } catch (const EAssertionFailed& e) {
        EXPECT_STREQ(e.what(), "Unpaired EndUpdate");
    }
    EXPECT_EQ(image->Layers().HitTest(1, 1, 0xFFFFFFFF), nullptr);
    EXPECT_EQ(image->PaintStages().Count(), 5);
}

TEST(Image, AutoSizeTakesTheBitmapSize)
{
    TApplication app;
    TForm* form = PlainForm(app, 40, 40);
    auto* image = NewComponent<TImage32>(form);
    int resizes = 0;
    image->OnBitmapResize = [&](TObject*) { ++resizes; };
    image->AutoSize = true;
    image->Bitmap()->SetSize(17, 9);
    EXPECT_EQ(image->Width(), 17);
    EXPECT_EQ(image->Height(), 9);
    image->SetScaleMode(smScale);
    image->SetScale(2);
    image->Bitmap()->SetSize(5, 4);
    EXPECT_EQ(image->Width(), 10);
    EXPECT_EQ(image->Height(), 8);
    EXPECT_EQ(resizes, 2);
}

TEST(Image, MouseEventsCarryNoLayer)
{
    TApplication app;
    app.ShowExceptions = false;
    TForm* form = PlainForm(app, 40, 40);
    auto* image = NewComponent<TImage32>(form);
    image->SetBounds(0, 0, 30, 30);
    image->SetParent(form);
    form->Show();
    pvltest::PumpMessages(50);
    std::vector<std::string> seen;
    image->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int x, int y, TCustomLayer* layer) {
        seen.push_back("down " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y) + (layer ? " layer" : ""));
    };
    image->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int, TCustomLayer* layer) {
        seen.push_back(layer ? "up layer" : "up");
    };
    image->OnClick = [&](TObject*) { seen.push_back("click"); };
    SendMessageA(image->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 7));
    SendMessageA(image->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 7));
    EXPECT_EQ(seen, (std::vector<std::string>{"down 0 5,7", "up", "click"}));
}
