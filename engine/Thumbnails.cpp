#include "Thumbnails.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace {

// Thumbnails are small; a header claiming more is refused before anything is allocated.
constexpr int MaxSide = 4096;

// libjpeg reports errors through a callback that must not return; it jumps back to the call
// that set the jump buffer. Warnings (corrupt or missing data) count as errors too, so a
// damaged picture is refused rather than shown half grey.
struct TJpegErrors {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
};

extern "C" void JpegFail(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<TJpegErrors*>(info->err)->Jump, 1);
}

extern "C" void JpegMessage(j_common_ptr info, int level)
{
    if (level < 0)
        std::longjmp(reinterpret_cast<TJpegErrors*>(info->err)->Jump, 1);
}

void InitErrors(TJpegErrors& errors, jpeg_error_mgr*& target)
{
    target = jpeg_std_error(&errors.Manager);
    errors.Manager.error_exit = JpegFail;
    errors.Manager.emit_message = JpegMessage;
}

// Everything a decode touches lives here, outside the frame that calls setjmp, and is
// released by the destructor on every path.
struct TJpegDecoder {
    jpeg_decompress_struct Info{};
    TJpegErrors Errors{};
    bool Created = false;
    std::vector<uint8_t> Row;
    TThumbnail Picture;
    ~TJpegDecoder() { if (Created) jpeg_destroy_decompress(&Info); }
};

struct TJpegEncoder {
    jpeg_compress_struct Info{};
    TJpegErrors Errors{};
    bool Created = false;
    unsigned char* Output = nullptr;
    unsigned long OutputSize = 0;
    std::vector<uint8_t> Row;
    ~TJpegEncoder()
    {
        if (Created)
            jpeg_destroy_compress(&Info);
        std::free(Output);
    }
};

bool RunDecode(TJpegDecoder& d, const std::vector<uint8_t>& data)
{
    InitErrors(d.Errors, d.Info.err);
    if (setjmp(d.Errors.Jump))
        return false;
    jpeg_create_decompress(&d.Info);
    d.Created = true;
    jpeg_mem_src(&d.Info, data.data(), static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(&d.Info, TRUE) != JPEG_HEADER_OK || d.Info.image_width > MaxSide ||
        d.Info.image_height > MaxSide)
        return false;
    d.Info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d.Info);
    const int width = static_cast<int>(d.Info.output_width);
    const int height = static_cast<int>(d.Info.output_height);
    if (width <= 0 || height <= 0 || width > MaxSide || height > MaxSide || d.Info.output_components != 3)
        return false;
    d.Row.resize(static_cast<size_t>(width) * 3);
    d.Picture.Pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    while (d.Info.output_scanline < d.Info.output_height) {
        uint32_t* out = d.Picture.Pixels.data() + static_cast<size_t>(d.Info.output_scanline) * static_cast<size_t>(width);
        JSAMPROW row = d.Row.data();
        if (jpeg_read_scanlines(&d.Info, &row, 1) != 1)
            return false;
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &d.Row[static_cast<size_t>(x) * 3];
            out[x] = 0xFF000000u | (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
        }
    }
    jpeg_finish_decompress(&d.Info);
    d.Picture.Width = width;
    d.Picture.Height = height;
    return true;
}

bool RunEncode(TJpegEncoder& e, const TThumbnail& picture, int quality)
{
    InitErrors(e.Errors, e.Info.err);
    if (setjmp(e.Errors.Jump))
        return false;
    jpeg_create_compress(&e.Info);
    e.Created = true;
    jpeg_mem_dest(&e.Info, &e.Output, &e.OutputSize);
    e.Info.image_width = static_cast<JDIMENSION>(picture.Width);
    e.Info.image_height = static_cast<JDIMENSION>(picture.Height);
    e.Info.input_components = 3;
    e.Info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&e.Info);
    jpeg_set_quality(&e.Info, quality, TRUE);
    jpeg_start_compress(&e.Info, TRUE);
    e.Row.resize(static_cast<size_t>(picture.Width) * 3);
    while (e.Info.next_scanline < e.Info.image_height) {
        const uint32_t* in = picture.Pixels.data() + static_cast<size_t>(e.Info.next_scanline) * static_cast<size_t>(picture.Width);
        for (int x = 0; x < picture.Width; ++x) {
            uint8_t* p = &e.Row[static_cast<size_t>(x) * 3];
            p[0] = static_cast<uint8_t>(in[x] >> 16);
            p[1] = static_cast<uint8_t>(in[x] >> 8);
            p[2] = static_cast<uint8_t>(in[x]);
        }
        JSAMPROW row = e.Row.data();
        jpeg_write_scanlines(&e.Info, &row, 1);
    }
    jpeg_finish_compress(&e.Info);
    return true;
}

uint32_t U32(const std::vector<uint8_t>& d, size_t at)
{
    return uint32_t{d[at]} | (uint32_t{d[at + 1]} << 8) | (uint32_t{d[at + 2]} << 16) | (uint32_t{d[at + 3]} << 24);
}

uint16_t U16(const std::vector<uint8_t>& d, size_t at)
{
    return static_cast<uint16_t>(d[at] | (d[at + 1] << 8));
}

uint32_t Opaque(uint8_t r, uint8_t g, uint8_t b)
{
    return 0xFF000000u | (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
}

}  // namespace

bool DecodeJpeg(const std::vector<uint8_t>& data, TThumbnail& picture)
{
    picture = {};
    if (data.empty())
        return false;
    TJpegDecoder decoder;
    if (!RunDecode(decoder, data))
        return false;
    picture = std::move(decoder.Picture);
    return true;
}

std::vector<uint8_t> EncodeJpeg(const TThumbnail& picture, int quality)
{
    if (picture.Width <= 0 || picture.Height <= 0 ||
        picture.Pixels.size() != static_cast<size_t>(picture.Width) * static_cast<size_t>(picture.Height))
        return {};
    TJpegEncoder encoder;
    if (!RunEncode(encoder, picture, quality) || !encoder.Output)
        return {};
    return std::vector<uint8_t>(encoder.Output, encoder.Output + encoder.OutputSize);
}

bool DecodeBmp(const std::vector<uint8_t>& d, TThumbnail& picture)
{
    picture = {};
    constexpr size_t FileHeader = 14;
    if (d.size() < FileHeader + 40 || d[0] != 'B' || d[1] != 'M')
        return false;
    const uint64_t bitsAt = U32(d, 10);
    const uint64_t infoSize = U32(d, 14);
    const int32_t width = static_cast<int32_t>(U32(d, 18));
    const int32_t rawHeight = static_cast<int32_t>(U32(d, 22));
    const int bpp = U16(d, 28);
    const uint32_t compression = U32(d, 30);
    const uint32_t colorsUsed = U32(d, 46);
    if (infoSize < 40 || compression != 0 || width <= 0 || width > MaxSide || rawHeight == 0 ||
        rawHeight < -MaxSide || rawHeight > MaxSide)
        return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return false;
    const int height = rawHeight < 0 ? -rawHeight : rawHeight;

    std::vector<uint32_t> palette;
    if (bpp <= 8) {
        const uint64_t entries = colorsUsed != 0 && colorsUsed < (1u << bpp) ? colorsUsed : (1u << bpp);
        const uint64_t at = FileHeader + infoSize;
        if (at + entries * 4 > d.size())
            return false;
        for (uint64_t i = 0; i < entries; ++i) {
            const size_t p = static_cast<size_t>(at + i * 4);
            palette.push_back(Opaque(d[p + 2], d[p + 1], d[p]));
        }
    }
    const uint64_t stride = (static_cast<uint64_t>(width) * static_cast<uint64_t>(bpp) + 31) / 32 * 4;
    if (bitsAt + stride * static_cast<uint64_t>(height) > d.size())
        return false;

    picture.Width = width;
    picture.Height = height;
    picture.Pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        const int sourceRow = rawHeight > 0 ? height - 1 - y : y;  // positive heights are bottom-up
        const uint8_t* row = d.data() + bitsAt + stride * static_cast<uint64_t>(sourceRow);
        uint32_t* out = picture.Pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = 0; x < width; ++x) {
            if (bpp <= 8) {
                const int perByte = 8 / bpp;
                const int shift = 8 - bpp * (x % perByte + 1);
                const size_t index = (row[x / perByte] >> shift) & ((1 << bpp) - 1);
                out[x] = index < palette.size() ? palette[index] : Opaque(0, 0, 0);
            } else if (bpp == 16) {
                const unsigned v = static_cast<unsigned>(row[x * 2] | (row[x * 2 + 1] << 8));
                const auto five = [](unsigned c) { return static_cast<uint8_t>((c << 3) | (c >> 2)); };
                out[x] = Opaque(five((v >> 10) & 31), five((v >> 5) & 31), five(v & 31));
            } else {
                const uint8_t* p = row + static_cast<size_t>(x) * static_cast<size_t>(bpp / 8);
                out[x] = Opaque(p[2], p[1], p[0]);
            }
        }
    }
    return true;
}

bool DecodeThumbnail(const std::vector<uint8_t>& data, int memoryVersion, TThumbnail& picture)
{
    return memoryVersion == 1 ? DecodeBmp(data, picture) : DecodeJpeg(data, picture);
}

std::vector<uint8_t> EncodeThumbnail(const TThumbnail& picture)
{
    return EncodeJpeg(picture, ThumbnailJpegQuality);
}
