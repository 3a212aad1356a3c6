// The snapshot window's platform-free work: YUY2 frames to RGB, the file header in front of a
// renderer's packed bitmap, the thumbnail fit, the info tip and the save format.
#include "ui/SnapShot_UnitCore.h"

#include "engine/Thumbnails.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <random>

namespace {

std::vector<uint8_t> VideoInfo(int32_t width, int32_t height)
{
    std::vector<uint8_t> format(VideoInfoHeaderSize);
    TBitmapInfoHeader bmi;
    bmi.biWidth = width;
    bmi.biHeight = height;
    bmi.biBitCount = 16;
    bmi.biCompression = 0x32595559;  // 'YUY2'
    WriteBitmapInfoHeader(bmi, format.data() + VideoInfoBmiOffset);
    return format;
}

using Rgb = std::array<int, 3>;

Rgb RgbAt(const TDib24& dib, int x, int y)
{
    const uint8_t* p = dib.Pixel(x, y);
    return {p[2], p[1], p[0]};
}

}  // namespace

TEST(YUY2ToBitmap, ConvertsRowsOfWholePixelPairs)
{
    constexpr Rgb K{0, 0, 0}, W{255, 255, 255}, R{254, 0, 0}, P{255, 74, 74};
    const struct {
        const char* Name;
        int32_t Width, Height;
        std::vector<uint8_t> Frame;
        std::vector<std::vector<Rgb>> Rows;
    } cases[] = {
        {"black", 1, 1, {16, 128, 16, 128}, {{K}}},
        {"white", 1, 1, {235, 128, 235, 128}, {{W}}},
        {"pair shares U and V", 2, 1, {81, 90, 145, 240}, {{R, P}}},
        // An odd width ends on a whole group: rows are 8 bytes, the second starts at byte 8.
        {"width 3", 3, 2, {16, 128, 16, 128, 235, 128, 0, 128, 81, 90, 145, 240, 81, 90, 0, 240},
         {{K, K, W}, {R, P, R}}},
        {"negative height", 2, -2, {16, 128, 16, 128, 235, 128, 235, 128}, {{K, K}, {W, W}}},
        {"longer buffer", 1, 1, {16, 128, 16, 128, 235, 235}, {{K}}},
        // Green is exactly 58.5 here: a half rounds up.
        {"half rounds up", 1, 1, {116, 58, 116, 233}, {{Rgb{255, 59, 0}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::vector<uint8_t> format = VideoInfo(c.Width, c.Height);
        const std::optional<TDib24> dib = YUY2ToBitmap(true, format, c.Frame);
        ASSERT_TRUE(dib);
        ASSERT_EQ(dib->Width, c.Width);
        ASSERT_EQ(dib->Height, static_cast<int>(c.Rows.size()));
        EXPECT_EQ(dib->Bits.size(), dib->Stride() * c.Rows.size());
        for (int y = 0; y < dib->Height; ++y)
            for (int x = 0; x < dib->Width; ++x)
                EXPECT_EQ(RgbAt(*dib, x, y), c.Rows[y][x]) << x << "," << y;
    }
}

TEST(YUY2ToBitmap, PixelsOfTheGrabAreTheBitmapsColours)
{
    std::mt19937 random(5);
    for (const auto& [width, height] : {std::pair{7, -3}, std::pair{16, 5}}) {
        std::vector<uint8_t> frame(static_cast<size_t>((width + 1) / 2 * 4 * std::abs(height)));
        for (uint8_t& b : frame)
            b = static_cast<uint8_t>(random());
        const std::vector<uint8_t> format = VideoInfo(width, height);
        const std::optional<TDib24> dib = YUY2ToBitmap(true, format, frame);
        const std::optional<TYUY2Layout> layout = YUY2FrameLayout(true, format, frame);
        ASSERT_TRUE(dib && layout);
        ASSERT_EQ(layout->Width, dib->Width);
        ASSERT_EQ(layout->Height, dib->Height);
        std::vector<uint32_t> pixels(static_cast<size_t>(dib->Width * dib->Height));
        YUY2ToPixels(*layout, frame, pixels.data());
        for (int y = 0; y < dib->Height; ++y)
            for (int x = 0; x < dib->Width; ++x) {
                const uint32_t p = pixels[static_cast<size_t>(y * dib->Width + x)];
                EXPECT_EQ(RgbAt(*dib, x, y), (Rgb{static_cast<int>(p >> 16 & 0xFF), static_cast<int>(p >> 8 & 0xFF), static_cast<int>(p & 0xFF)}));
                EXPECT_EQ(p >> 24, 0xFFu);
            }
    }
    EXPECT_FALSE(YUY2FrameLayout(true, VideoInfo(3, 2), std::vector<uint8_t>(15)));
}

TEST(YUY2ToBitmap, NoBitmapWithoutAFormatOrEnoughBytes)
{
    const std::vector<uint8_t> frame(64, 128);
    const std::vector<uint8_t> shortFormat(VideoInfoHeaderSize - 1);
    const struct {
        const char* Name;
        bool IsVideoInfo;
        std::vector<uint8_t> Format;
        size_t FrameBytes;
    } cases[] = {
        {"not a VIDEOINFOHEADER", false, VideoInfo(2, 2), 64},
        {"format block too short", true, shortFormat, 64},
        {"no width", true, VideoInfo(0, 2), 64},
        {"negative width", true, VideoInfo(-2, 2), 64},
        {"no height", true, VideoInfo(2, 0), 64},
        {"buffer one byte short", true, VideoInfo(3, 2), 15},
        {"buffer short for a negative height", true, VideoInfo(2, -4), 15},
        {"empty buffer", true, VideoInfo(2, 2), 0},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(YUY2ToBitmap(c.IsVideoInfo, c.Format, std::span(frame).first(c.FrameBytes))) << c.Name;
}

namespace {

// A packed bitmap as a renderer hands it out: header, `extra` (masks and colour table), bits.
struct TPackedDib {
    TBitmapInfoHeader Header;
    std::vector<uint8_t> Extra;
    std::vector<uint8_t> Bits;

    std::vector<uint8_t> Bytes() const
    {
        std::vector<uint8_t> out(TBitmapInfoHeader::Size);
        WriteBitmapInfoHeader(Header, out.data());
        out.insert(out.end(), Extra.begin(), Extra.end());
        out.insert(out.end(), Bits.begin(), Bits.end());
        return out;
    }
};

TBitmapInfoHeader Info(int32_t width, int32_t height, uint16_t bits, uint32_t compression, uint32_t sizeImage)
{
    TBitmapInfoHeader h;
    h.biWidth = width;
    h.biHeight = height;
    h.biBitCount = bits;
    h.biCompression = compression;
    h.biSizeImage = sizeImage;
    return h;
}

std::vector<uint8_t> Pattern(size_t n, uint8_t seed)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<uint8_t>(seed + i * 7);
    return v;
}

std::vector<uint8_t> GreyPalette()
{
    std::vector<uint8_t> table;
    for (int i = 0; i < 256; ++i)
        table.insert(table.end(), {static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i), 0});
    return table;
}

uint32_t Opaque(int r, int g, int b) { return 0xFF000000u | (r << 16) | (g << 8) | b; }

}  // namespace

TEST(DibToBitmapFile, HeaderPlacesTheBitsAfterMasksAndColourTable)
{
    const std::vector<uint8_t> masks = {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0};
    const struct {
        const char* Name;
        TPackedDib Dib;
        uint32_t BitsAt;
        bool ReaderTakesIt;  // BI_BITFIELDS is checked by offset and bytes only
    } cases[] = {
        {"32-bit BI_RGB", {Info(2, 2, 32, BiRgb, 16), {}, Pattern(16, 1)}, 54, true},
        {"8-bit without used-colour count", {Info(3, 2, 8, BiRgb, 8), GreyPalette(), Pattern(8, 3)}, 54 + 1024, true},
        {"BI_BITFIELDS", {Info(2, 2, 32, BiBitfields, 16), masks, Pattern(16, 5)}, 54 + 12, false},
        {"biSizeImage 0, bottom-up", {Info(3, 2, 24, BiRgb, 0), {}, Pattern(24, 9)}, 54, true},
        {"biSizeImage 0, top-down", {Info(3, -2, 24, BiRgb, 0), {}, Pattern(24, 11)}, 54, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::optional<std::vector<uint8_t>> file = DibToBitmapFile(c.Dib.Bytes());
        ASSERT_TRUE(file);
        const std::optional<TBitmapFileHeader> fh = ReadBitmapFileHeader(*file);
        ASSERT_TRUE(fh);
        EXPECT_EQ(fh->bfType, 0x4D42);
        EXPECT_EQ(fh->bfOffBits, c.BitsAt);
        EXPECT_EQ(fh->bfSize, file->size());
        ASSERT_EQ(file->size(), c.BitsAt + c.Dib.Bits.size());
        EXPECT_TRUE(std::equal(c.Dib.Bits.begin(), c.Dib.Bits.end(), file->begin() + c.BitsAt));
        if (!c.ReaderTakesIt)
            continue;

        // Read back through the thumbnails' bitmap reader, pixel for pixel.
        TThumbnail picture;
        ASSERT_TRUE(DecodeBmp(*file, picture));
        const TBitmapInfoHeader& h = c.Dib.Header;
        const int height = std::abs(h.biHeight), bytes = h.biBitCount / 8;
        const size_t stride = (static_cast<size_t>(h.biWidth) * h.biBitCount + 31) / 32 * 4;
        ASSERT_EQ(picture.Width, h.biWidth);
        ASSERT_EQ(picture.Height, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < h.biWidth; ++x) {
                const int row = h.biHeight > 0 ? height - 1 - y : y;
                const uint8_t* p = c.Dib.Bits.data() + stride * row + static_cast<size_t>(x) * bytes;
                const uint32_t expected = bytes == 1 ? Opaque(p[0], p[0], p[0]) : Opaque(p[2], p[1], p[0]);
                EXPECT_EQ(picture.Pixels[static_cast<size_t>(y) * h.biWidth + x], expected) << x << "," << y;
            }
    }
}

TEST(DibToBitmapFile, NoFileFromABadHeaderOrShortBytes)
{
    TPackedDib tooShort{Info(2, 2, 32, BiRgb, 16), {}, Pattern(15, 0)};
    TPackedDib tableMissing{Info(2, 2, 8, BiRgb, 8), {}, Pattern(8, 0)};
    TPackedDib noWidth{Info(0, 2, 32, BiRgb, 0), {}, Pattern(16, 0)};
    TPackedDib noHeight{Info(2, 0, 32, BiRgb, 0), {}, Pattern(16, 0)};
    TPackedDib smallHeader{Info(2, 2, 32, BiRgb, 16), {}, Pattern(16, 0)};
    smallHeader.Header.biSize = 12;
    const std::vector<uint8_t> truncatedHeader(39);
    for (const auto& bytes : {tooShort.Bytes(), tableMissing.Bytes(), noWidth.Bytes(), noHeight.Bytes(),
                              smallHeader.Bytes(), truncatedHeader})
        EXPECT_FALSE(DibToBitmapFile(bytes));
}

TEST(FitRectCentered, KeepsTheSourceAspectCentred)
{
    const struct {
        TRect Target, Source, Expected;
    } cases[] = {
        {{0, 0, 100, 100}, {0, 0, 320, 240}, {0, 12, 100, 87}},    // wide: bars above and below
        {{0, 0, 100, 100}, {0, 0, 240, 320}, {12, 0, 87, 100}},    // tall: bars left and right
        {{0, 0, 100, 100}, {0, 0, 50, 50}, {0, 0, 100, 100}},      // same aspect, scaled up
        {{10, 20, 110, 70}, {5, 5, 9, 7}, {10, 20, 110, 70}},      // offsets of both rectangles
        {{0, 0, 100, 100}, {0, 0, 3, 2}, {0, 16, 100, 83}},        // MulDiv rounds 66.67 to 67
        {{0, 0, 640, 480}, {0, 0, 1920, 1080}, {0, 60, 640, 420}},
    };
    for (const auto& c : cases) {
        const std::optional<TRect> r = FitRectCentered(c.Target, c.Source);
        ASSERT_TRUE(r);
        EXPECT_EQ(*r, c.Expected) << c.Source.Width() << "x" << c.Source.Height();
    }
    EXPECT_FALSE(FitRectCentered({0, 0, 100, 100}, {0, 0, 0, 240}));
    EXPECT_FALSE(FitRectCentered({0, 0, 100, 100}, {10, 10, 5, 20}));
}

TEST(SnapshotInfoTip, FileTimeAndSizeOnThreeLines)
{
    const std::string path = std::string("C:") + PathDelim + "Movies" + PathDelim + "clip.avi";
    const struct {
        int64_t Position;
        const char* Time;
    } cases[] = {
        {10000000, "00:00:01"},
        {9999999, "00:00:00"},             // tenths are cut, not rounded
        {37239000000, "01:02:03"},
        {-10000000, "00:00:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SnapshotInfoTip(path, c.Position, 320, 240),
                  std::string("File: clip.avi\r\nTime: ") + c.Time + "\r\nSize: 320 x 240");
    EXPECT_EQ(SnapshotInfoTip("clip.avi", 0, 1920, 1080), "File: clip.avi\r\nTime: 00:00:00\r\nSize: 1920 x 1080");
}

TEST(SnapshotFileFormat, JpegOnlyForJpgAndJpegInAnyCase)
{
    const struct {
        const char* Name;
        TSnapshotFileFormat Format;
    } cases[] = {
        {"a.jpeg", TSnapshotFileFormat::Jpeg},   {"a.JpG", TSnapshotFileFormat::Jpeg},
        {"a.JPEG", TSnapshotFileFormat::Jpeg},   {"a.bmp", TSnapshotFileFormat::Bitmap},
        {"a.png", TSnapshotFileFormat::Bitmap},  {"Snapshot 1", TSnapshotFileFormat::Bitmap},
        {"a.jpg.bmp", TSnapshotFileFormat::Bitmap},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SnapshotFileFormat(c.Name), c.Format) << c.Name;
}
