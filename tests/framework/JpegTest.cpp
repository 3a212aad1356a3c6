#include "framework/Jpeg.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
// A picture with smooth colour ramps, which JPEG keeps close.
TJPEGImage Ramp(int width, int height)
{
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(0xFF000000u | (static_cast<uint32_t>(x * 255 / width) << 16) |
                             (static_cast<uint32_t>(y * 255 / height) << 8) | 0x80u);
    TJPEGImage image;
    image.SetPixels(width, height, pixels.data());
    return image;
}

int MaxChannelError(const TJPEGImage& a, const TJPEGImage& b)
{
    int worst = 0;
    for (size_t i = 0; i < a.Pixels().size(); ++i)
        for (int shift : {0, 8, 16})
            worst = std::max(worst, std::abs(static_cast<int>((a.Pixels()[i] >> shift) & 0xFF) -
                                             static_cast<int>((b.Pixels()[i] >> shift) & 0xFF)));
    return worst;
}
}

TEST(Jpeg, SavedImageLoadsBackCloseToTheOriginal)
{
    const TJPEGImage original = Ramp(64, 48);
    TMemoryStream stream;
    original.SaveToStream(stream);
    stream.SetPosition(0);
    TJPEGImage loaded;
    loaded.LoadFromStream(stream);
    ASSERT_EQ(loaded.Width(), 64);
    ASSERT_EQ(loaded.Height(), 48);
    EXPECT_LE(MaxChannelError(original, loaded), 12);
    EXPECT_EQ(loaded.Pixels()[0] >> 24, 0xFFu);
}

TEST(Jpeg, QualityChangesTheSizeAndGrayscaleDropsColour)
{
    TJPEGImage image = Ramp(96, 96);
    TMemoryStream high, low, grey;
    image.CompressionQuality = 95;
    image.SaveToStream(high);
    image.CompressionQuality = 10;
    image.SaveToStream(low);
    EXPECT_LT(low.Size(), high.Size());
    image.Grayscale = true;
    image.SaveToStream(grey);
    grey.SetPosition(0);
    TJPEGImage loaded;
    loaded.LoadFromStream(grey);
    const uint32_t p = loaded.Pixels()[loaded.Pixels().size() / 2];
    EXPECT_EQ((p >> 16) & 0xFF, p & 0xFF);
    EXPECT_EQ((p >> 8) & 0xFF, p & 0xFF);
}

TEST(Jpeg, EmbeddedImageLeavesTheStreamRightAfterIt)
{
    TMemoryStream stream;
    stream.WriteValue<uint32_t>(0xCAFEF00D);
    Ramp(16, 16).SaveToStream(stream);
    stream.WriteValue<uint32_t>(0x12345678);
    stream.SetPosition(4);
    TJPEGImage loaded;
    loaded.LoadFromStream(stream);
    EXPECT_EQ(loaded.Width(), 16);
    EXPECT_EQ(stream.ReadValue<uint32_t>(), 0x12345678u);
}

TEST(Jpeg, BadDataRaisesAndKeepsThePicture)
{
    TJPEGImage image = Ramp(8, 8);
    for (const std::string& junk : {std::string(), std::string("not a jpeg at all"), std::string("\xFF\xD8\xFF\xE0", 4)}) {
        TMemoryStream stream;
        stream.WriteBuffer(junk.data(), static_cast<int64_t>(junk.size()));
        stream.SetPosition(0);
        EXPECT_THROW(image.LoadFromStream(stream), EJPEG);
        EXPECT_EQ(stream.Position(), 0);
        EXPECT_EQ(image.Width(), 8);
    }
    TMemoryStream out;
    EXPECT_THROW(TJPEGImage().SaveToStream(out), EJPEG);
}

TEST(Jpeg, PixelsKeptByTheCallerSaveAsTheImageDoes)
{
    const TJPEGImage image = Ramp(40, 30);
    TMemoryStream byImage, byPixels;
    image.SaveToStream(byImage);
    SaveJpegPixels(byPixels, 40, 30, image.Pixels().data());
    EXPECT_EQ(byPixels.Bytes(), byImage.Bytes());
    EXPECT_THROW(SaveJpegPixels(byPixels, 0, 30, image.Pixels().data()), EJPEG);
    EXPECT_THROW(SaveJpegPixels(byPixels, 40, 30, nullptr), EJPEG);
}
