#include "engine/Thumbnails.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace pvltest;

namespace {

TThumbnail Gradient(int width, int height)
{
    TThumbnail p;
    p.Width = width;
    p.Height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.Pixels.push_back(0xFF000000u | uint32_t(x * 255 / width) << 16 | uint32_t(y * 255 / height) << 8 | 0x40);
    return p;
}

int Channel(uint32_t c, int shift) { return int((c >> shift) & 0xFF); }

// Largest difference of any colour channel between two pictures of the same size.
int MaxDifference(const TThumbnail& a, const TThumbnail& b)
{
    int worst = 0;
    for (size_t i = 0; i < a.Pixels.size(); ++i)
        for (const int shift : {0, 8, 16})
            worst = std::max(worst, std::abs(Channel(a.Pixels[i], shift) - Channel(b.Pixels[i], shift)));
    return worst;
}

TEST(Thumbnails, JpegRoundTripKeepsSizeAndColours)
{
    const TThumbnail picture = Gradient(64, 48);
    const std::vector<uint8_t> jpeg = EncodeThumbnail(picture);
    ASSERT_GT(jpeg.size(), 4u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
    EXPECT_EQ(jpeg, EncodeJpeg(picture, 90));  // stored at quality 90
    EXPECT_NE(jpeg, EncodeJpeg(picture, 50));

    for (const int version : {2, 3}) {
        TThumbnail back;
        ASSERT_TRUE(DecodeThumbnail(jpeg, version, back));
        ASSERT_EQ(back.Width, 64);
        ASSERT_EQ(back.Height, 48);
        EXPECT_LE(MaxDifference(picture, back), 12);
        EXPECT_EQ(back.Pixels[0] >> 24, 0xFFu);
    }
}

TEST(Thumbnails, BrokenJpegIsRefused)
{
    const std::vector<uint8_t> jpeg = EncodeThumbnail(Gradient(32, 32));
    size_t frame = 0;  // the start-of-frame marker
    while (frame + 8 < jpeg.size() && !(jpeg[frame] == 0xFF && jpeg[frame + 1] == 0xC0))
        ++frame;
    ASSERT_LT(frame + 8, jpeg.size());
    std::vector<uint8_t> hugeHeader = jpeg;  // claims 65000 x 65000
    hugeHeader[frame + 5] = hugeHeader[frame + 7] = 0xFD;
    hugeHeader[frame + 6] = hugeHeader[frame + 8] = 0xE8;
    std::vector<uint8_t> lossless = jpeg;  // a process the decoder does not have
    lossless[frame + 1] = 0xC3;
    const std::vector<std::vector<uint8_t>> cases = {
        {},
        {1, 2, 3, 4},
        {jpeg.begin(), jpeg.begin() + std::ptrdiff_t(jpeg.size() / 2)},
        {jpeg.begin(), jpeg.begin() + 20},
        hugeHeader,
        lossless,
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        TThumbnail p;
        EXPECT_FALSE(DecodeJpeg(cases[i], p));
        EXPECT_TRUE(p.Empty());
    }
    EXPECT_TRUE(EncodeThumbnail(TThumbnail{}).empty());
}

TEST(Thumbnails, OldFilesCarryBitmapStreams)
{
    const uint32_t R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, W = 0xFFFFFFFF, K = 0xFF000000;
    struct Case {
        const char* What;
        std::vector<uint8_t> Data;
        std::vector<uint32_t> Expected;  // 2 x 2, rows top-down
    };
    const Case cases[] = {
        {"24 bits, bottom-up", BitmapFile(2, 2, 24, {}, {{0, 0, 0xFF, 0, 0xFF, 0}, {0xFF, 0, 0, 0xFF, 0xFF, 0xFF}}), {B, W, R, G}},
        {"32 bits, top-down", BitmapFile(2, -2, 32, {}, {{0, 0, 0xFF, 0, 0, 0xFF, 0, 0}, {0xFF, 0, 0, 0, 0, 0, 0, 0}}), {R, G, B, K}},
        {"16 bits 5:5:5", BitmapFile(2, -2, 16, {}, {{0x00, 0x7C, 0xE0, 0x03}, {0x1F, 0x00, 0xFF, 0x7F}}), {R, G, B, W}},
        {"8-bit palette", BitmapFile(2, -2, 8, {0x00FF0000, 0x0000FF00, 0x000000FF}, {{0, 1}, {2, 0}}), {R, G, B, R}},
        {"4-bit palette", BitmapFile(2, -2, 4, {0x00FF0000, 0x0000FF00}, {{0x01}, {0x10}}), {R, G, G, R}},
        {"1-bit palette", BitmapFile(2, -2, 1, {0x00000000, 0x00FFFFFF}, {{0x80}, {0x40}}), {W, K, K, W}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TThumbnail p;
        ASSERT_TRUE(DecodeThumbnail(c.Data, 1, p));
        EXPECT_EQ(p.Width, 2);
        EXPECT_EQ(p.Height, 2);
        EXPECT_EQ(p.Pixels, c.Expected);
    }
}

TEST(Thumbnails, BrokenBitmapsAreRefused)
{
    const std::vector<uint8_t> good = BitmapFile(2, 2, 24, {}, {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}});
    const std::vector<uint8_t> paletted = BitmapFile(2, 2, 8, {0, 0, 0, 0}, {{0, 1}, {2, 3}});
    std::vector<uint8_t> wrongMagic = good;
    wrongMagic[0] = 'X';
    struct Case {
        const char* What;
        std::vector<uint8_t> Data;
    };
    const Case cases[] = {
        {"empty", {}},
        {"wrong magic", wrongMagic},
        {"pixels cut short", {good.begin(), good.end() - 4}},
        {"run-length compressed", BitmapFile(2, 2, 8, {0}, {{0, 0}, {0, 0}}, 1)},
        {"no width", BitmapFile(0, 2, 24, {}, {{}, {}})},
        {"unknown depth", BitmapFile(2, 2, 12, {}, {{0, 0, 0}, {0, 0, 0}})},
        {"huge claim", BitmapFile(100000, 100000, 24, {}, {{0, 0, 0}})},
        {"palette past the end", {paletted.begin(), paletted.begin() + 54 + 8}},
        {"JPEG where a bitmap belongs", EncodeThumbnail(TThumbnail{2, 2, {0, 0, 0, 0}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TThumbnail p;
        EXPECT_FALSE(DecodeThumbnail(c.Data, 1, p));
        EXPECT_TRUE(p.Empty());
    }
}

}  // namespace
