#include "framework/Graphics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

namespace {

// A white 32-bit picture selected into a DC of its own, drawn on through a canvas.
struct TPicture {
    TPicture(int w, int h) : Width(w), Height(h), Section(w, h), Select(DC.Get(), Section.Get()), Canvas(DC.Get())
    {
        std::fill(Pixels(), Pixels() + w * h, 0xFFFFFFu);
    }
    uint32_t* Pixels() const { return static_cast<uint32_t*>(Section.Bits()); }
    uint32_t At(int x, int y)
    {
        GdiFlush();
        return Pixels()[y * Width + x] & 0xFFFFFF;
    }
    int Count(uint32_t rgb, int left, int top, int right, int bottom)
    {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                n += At(x, y) == rgb;
        return n;
    }
    int Width, Height;
    TMemoryDC DC{CreateCompatibleDC(nullptr)};
    TDIBSection Section;
    TSelectObject Select;
    TCanvas Canvas;
};

}  // namespace

TEST(DIBSection, RowsTopDownOrBottomUpAtTheAskedDepth)
{
    const struct {
        WORD Bits;
        bool TopDown;
    } cases[] = {{32, true}, {32, false}, {24, true}, {24, false}};
    for (const auto& c : cases) {
        TDIBSection section(3, 2, c.Bits, c.TopDown);
        ASSERT_TRUE(section) << c.Bits;
        ASSERT_NE(section.Bits(), nullptr);
        BITMAP desc{};
        GetObjectA(section.Get(), sizeof desc, &desc);
        EXPECT_EQ(desc.bmBitsPixel, c.Bits);
        EXPECT_EQ(section.Info().bmiHeader.biHeight, c.TopDown ? -2 : 2);
        // The first byte of the bits is the top row's first pixel only when top-down.
        const TMemoryDC dc(CreateCompatibleDC(nullptr));
        const TSelectObject select(dc.Get(), section.Get());
        SetPixel(dc.Get(), 0, 0, RGB(0, 0, 200));
        GdiFlush();
        const auto* bytes = static_cast<const uint8_t*>(section.Bits());
        EXPECT_EQ(bytes[0] == 200, c.TopDown) << c.Bits;
    }
    TDIBSection none(0, 0);
    EXPECT_FALSE(none);
    EXPECT_EQ(none.Bits(), nullptr);
}

TEST(Canvas, FillsWritesMeasuresAndDraws)
{
    TPicture picture(60, 20);
    TCanvas& canvas = picture.Canvas;
    canvas.Brush.SetColor(0x0000FF);
    canvas.FillRect(TRect(0, 0, 4, 4));
    EXPECT_EQ(picture.At(3, 3), 0xFF0000u);  // 0x00BBGGRR red is 0xFF0000 in the pixel
    EXPECT_EQ(picture.At(4, 4), 0xFFFFFFu);
    canvas.Brush.Style = bsClear;
    canvas.Brush.SetColor(0x00FF00);
    canvas.FillRect(TRect(0, 0, 4, 4));
    EXPECT_EQ(picture.At(0, 0), 0xFF0000u);  // a clear brush fills nothing

    // Text in the font's colour; a clear brush leaves the background; the rectangle clips.
    canvas.Font.SetColor(clBlack);
    canvas.TextOut(6, 0, "W");
    EXPECT_GT(picture.Count(0, 6, 0, 20, 20), 5);
    EXPECT_EQ(picture.Count(0xFF0000, 6, 0, 60, 20), 0);
    canvas.TextRect(TRect(30, 0, 34, 20), 30, 0, "WWWW");
    EXPECT_GT(picture.Count(0, 30, 0, 34, 20), 0);
    EXPECT_EQ(picture.Count(0, 34, 0, 60, 20), 0);
    EXPECT_GT(canvas.TextWidth("WW"), canvas.TextWidth("W"));
    EXPECT_GT(canvas.TextHeight("W"), 0);

    canvas.Pen.SetColor(0x00FF00);
    canvas.MoveTo(0, 19);
    canvas.LineTo(10, 19);
    EXPECT_EQ(picture.At(5, 19), 0x00FF00u);

    TBitmap bitmap;
    const uint32_t blue[] = {0x0000FF, 0x0000FF};
    bitmap.SetPixels(2, 1, blue);
    canvas.Draw(50, 10, bitmap);
    EXPECT_EQ(picture.At(51, 10), 0x0000FFu);
    EXPECT_EQ(canvas.Pixel(51, 10), TColor(0xFF0000));  // as a colour: 0x00BBGGRR
}
