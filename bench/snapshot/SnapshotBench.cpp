// A 1920x1080 snapshot saved as JPEG through the class library beside plain libjpeg-turbo
// writing the same rows at the same quality (and through an image object that copies them); the 100x100 thumbnail (fit, scale, encode) beside
// plain libjpeg on the fitted picture; YUY2 to 24-bit RGB at 720x576 and 1920x1080. Outputs are
// checked once before timing. libyuv is not installed here, so the conversion has no reference.
#include "bench/support/Harness.h"
#include "bench/support/Interleaved.h"

#include "engine/Thumbnails.h"
#include "framework/Classes.h"
#include "framework/Jpeg.h"
#include "graphics/Bitmap32Core.h"
#include "graphics/Transforms.h"
#include "ui/SnapShot_UnitCore.h"

#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr int W = 1920, H = 1080;

// A picture with edges and texture, as a frame of a film has: bars, a gradient and noise.
std::vector<uint32_t> Frame(int width, int height)
{
    std::mt19937 random(7);
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t bar = 0x3F3F3F * static_cast<uint32_t>((x * 8 / width) % 4 + 1);
            const uint32_t noise = random() & 0x0F0F0F;
            const uint32_t ramp = static_cast<uint32_t>(y * 255 / height);
            pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                0xFF000000u | ((bar + noise) & 0xFFFF00) | ramp;
        }
    return pixels;
}

// Plain libjpeg: RGB rows in, a memory JPEG out.
std::vector<uint8_t> PlainJpeg(const uint32_t* pixels, int width, int height, int quality)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    while (info.next_scanline < info.image_height) {
        const uint32_t* in = pixels + static_cast<size_t>(info.next_scanline) * static_cast<size_t>(width);
        for (int x = 0; x < width; ++x) {
            row[static_cast<size_t>(x) * 3] = static_cast<uint8_t>(in[x] >> 16);
            row[static_cast<size_t>(x) * 3 + 1] = static_cast<uint8_t>(in[x] >> 8);
            row[static_cast<size_t>(x) * 3 + 2] = static_cast<uint8_t>(in[x]);
        }
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&info, &p, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> result(out, out + size);
    std::free(out);
    return result;
}

// The snapshot window's save: the frame's pixels encoded where they are.
std::vector<uint8_t> LibraryJpeg(const std::vector<uint32_t>& pixels, int width, int height)
{
    TMemoryStream stream;
    SaveJpegPixels(stream, width, height, pixels.data());
    return stream.Bytes();
}

// Through an image object of its own: the pixels copied in first.
std::vector<uint8_t> ImageObjectJpeg(const std::vector<uint32_t>& pixels, int width, int height)
{
    TJPEGImage jpeg;
    jpeg.SetPixels(width, height, pixels.data());
    TMemoryStream stream;
    jpeg.SaveToStream(stream);
    return stream.Bytes();
}

// The frame fitted into 100 x 100 on black, as the snapshot window and bookmarks make it.
TThumbnail Fitted(const TCustomBitmap32& frame)
{
    TCustomBitmap32 thumb;
    thumb.SetSize(100, 100);
    thumb.Clear(0xFF000000);
    const std::optional<TRect> fit = FitRectCentered(TRect(0, 0, 100, 100), frame.BoundsRect());
    StretchTransfer(&thumb, *fit, thumb.BoundsRect(), &frame, frame.BoundsRect(), sfLinear, dmOpaque, {});
    TThumbnail t;
    t.Width = t.Height = 100;
    t.Pixels.assign(thumb.Bits(), thumb.Bits() + 100 * 100);
    return t;
}

// A VIDEOINFOHEADER with the frame's size, and a YUY2 frame of moving values.
std::vector<uint8_t> VideoInfo(int width, int height)
{
    std::vector<uint8_t> format(VideoInfoHeaderSize);
    TBitmapInfoHeader bmi;
    bmi.biWidth = width;
    bmi.biHeight = height;
    bmi.biBitCount = 16;
    WriteBitmapInfoHeader(bmi, format.data() + VideoInfoBmiOffset);
    return format;
}

std::vector<uint8_t> Yuy2(int width, int height)
{
    std::mt19937 random(3);
    std::vector<uint8_t> frame(static_cast<size_t>(width) * static_cast<size_t>(height) * 2);
    for (uint8_t& b : frame)
        b = static_cast<uint8_t>(16 + random() % 220);
    return frame;
}

}  // namespace

int main()
{
    const std::vector<uint32_t> frame = Frame(W, H);
    TCustomBitmap32 frame32;
    frame32.SetSize(W, H);
    std::copy(frame.begin(), frame.end(), frame32.Bits());

    // Checked once: both encoders write a JPEG that decodes to the frame's size.
    const std::vector<uint8_t> ours = LibraryJpeg(frame, W, H), plain = PlainJpeg(frame.data(), W, H, 90);
    std::printf("JPEG sizes: class library %zu bytes, plain libjpeg %zu bytes%s\n", ours.size(), plain.size(),
                ours == plain ? " (identical)" : "");
    const TThumbnail fitted = Fitted(frame32);
    if (EncodeThumbnail(fitted).empty())
        return 1;

    pvlbench::TInterleaved jpeg(11, 0.2);
    jpeg.Add("1080p JPEG, class library (SaveJpegPixels, q 90)", [&](long n) {
        return pvlbench::TimeNs([&] { for (long i = 0; i < n; ++i) pvlbench::DoNotOptimize(LibraryJpeg(frame, W, H)); });
    });
    jpeg.Add("1080p JPEG, TJPEGImage copy + save (q 90)", [&](long n) {
        return pvlbench::TimeNs([&] { for (long i = 0; i < n; ++i) pvlbench::DoNotOptimize(ImageObjectJpeg(frame, W, H)); });
    });
    jpeg.Add("1080p JPEG, plain libjpeg-turbo (q 90)", [&](long n) {
        return pvlbench::TimeNs([&] { for (long i = 0; i < n; ++i) pvlbench::DoNotOptimize(PlainJpeg(frame.data(), W, H, 90)); });
    });
    jpeg.Add("thumbnail: fit 100x100 + EncodeThumbnail", [&](long n) {
        return pvlbench::TimeNs([&] { for (long i = 0; i < n; ++i) pvlbench::DoNotOptimize(EncodeThumbnail(Fitted(frame32))); });
    });
    jpeg.Add("thumbnail: plain libjpeg on the fitted picture", [&](long n) {
        return pvlbench::TimeNs([&] { for (long i = 0; i < n; ++i) pvlbench::DoNotOptimize(PlainJpeg(fitted.Pixels.data(), 100, 100, 90)); });
    });
    jpeg.Run();
    jpeg.PrintTimes("ms", 1e6);
    jpeg.PrintRatios({{"1080p JPEG, class library (SaveJpegPixels, q 90)", "1080p JPEG, plain libjpeg-turbo (q 90)", 1.2},
                      {"1080p JPEG, TJPEGImage copy + save (q 90)", "1080p JPEG, plain libjpeg-turbo (q 90)", 0},
                      {"thumbnail: fit 100x100 + EncodeThumbnail", "thumbnail: plain libjpeg on the fitted picture", 0}});

    pvlbench::TInterleaved yuy2(11, 0.2);
    for (const auto& [w, h] : {std::pair{720, 576}, std::pair{1920, 1080}}) {
        const std::vector<uint8_t> format = VideoInfo(w, h), data = Yuy2(w, h);
        if (!YUY2ToBitmap(true, format, data))
            return 1;
        yuy2.Add(std::to_string(w) + "x" + std::to_string(h) + " YUY2ToBitmap", [=](long n) {
            return pvlbench::TimeNs([&] { for (long i = 0; i < n; ++i) pvlbench::DoNotOptimize(YUY2ToBitmap(true, format, data)); });
        });
    }
    yuy2.Run();
    yuy2.PrintTimes("ms", 1e6);

    // The part of a 1080p snapshot the program does after the grab: conversion and thumbnail.
    const std::vector<uint8_t> format = VideoInfo(W, H), data = Yuy2(W, H);
    pvlbench::TInterleaved total(7, 0.2);
    total.Add("1080p: YUY2ToPixels + thumbnail + EncodeThumbnail", [&](long n) {
        return pvlbench::TimeNs([&] {
            for (long i = 0; i < n; ++i) {
                // As the grab does: converted straight into the picture the snapshot keeps.
                const std::optional<TYUY2Layout> layout = YUY2FrameLayout(true, format, data);
                TCustomBitmap32 picture;
                picture.SetSize(layout->Width, layout->Height);
                YUY2ToPixels(*layout, data, picture.Bits());
                pvlbench::DoNotOptimize(EncodeThumbnail(Fitted(picture)));
            }
        });
    });
    const double ms = total.Run().begin()->second / 1e6;
    total.PrintTimes("ms", 1e6);
    std::printf("  goal: under 100 ms: %s\n", ms < 100 ? "met" : "MISSED");
    return 0;
}
