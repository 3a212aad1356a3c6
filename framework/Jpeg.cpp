#include "Jpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <jpeglib.h>

// libjpeg reports fatal errors through a callback that must not return; it jumps back to
// the setjmp in the functions below, whose frames hold only plain data, and the caller
// raises EJPEG. Everything with a destructor lives outside those frames.
namespace {
constexpr int64_t kMaxPixels = 64 * 1024 * 1024;

struct TJpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr info)
{
    auto* error = reinterpret_cast<TJpegError*>(info->err);
    info->err->format_message(info, error->Message);
    std::longjmp(error->Jump, 1);
}

void OutputMessage(j_common_ptr) {}  // warnings (a truncated file and the like) are not fatal

void InstallErrorHandler(TJpegError& error)
{
    jpeg_std_error(&error.Manager);
    error.Manager.error_exit = ErrorExit;
    error.Manager.output_message = OutputMessage;
    error.Message[0] = '\0';
}

struct TDecodeJob {
    const uint8_t* Data;
    unsigned long Size;
    std::vector<uint8_t>* Row;       // one decoded scanline
    std::vector<uint32_t>* Pixels;
    int Width, Height;
    unsigned long Consumed;
    bool TooLarge;
};

uint32_t Argb(unsigned r, unsigned g, unsigned b)
{
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

bool Decode(TDecodeJob& job, TJpegError& error)
{
    jpeg_decompress_struct info{};
    info.err = &error.Manager;
    if (setjmp(error.Jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, job.Data, job.Size);
    jpeg_read_header(&info, TRUE);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&info);
    const int64_t pixels = static_cast<int64_t>(info.output_width) * info.output_height;
    if (pixels > kMaxPixels) {
        job.TooLarge = true;
        jpeg_destroy_decompress(&info);
        return false;
    }
    job.Width = static_cast<int>(info.output_width);
    job.Height = static_cast<int>(info.output_height);
    job.Row->resize(static_cast<size_t>(info.output_width) * static_cast<size_t>(info.output_components));
    job.Pixels->resize(static_cast<size_t>(pixels));
    // Adobe's CMYK files store the inks inverted.
    const bool inverted = cmyk && info.saw_Adobe_marker;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = job.Row->data();
        const size_t y = info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
        uint32_t* out = job.Pixels->data() + y * info.output_width;
        const uint8_t* in = job.Row->data();
        for (JDIMENSION x = 0; x < info.output_width; ++x) {
            if (cmyk) {
                unsigned c = in[4 * x], m = in[4 * x + 1], ye = in[4 * x + 2], k = in[4 * x + 3];
                if (!inverted) {
                    c = 255 - c; m = 255 - m; ye = 255 - ye; k = 255 - k;
                }
                out[x] = Argb(c * k / 255, m * k / 255, ye * k / 255);
            } else {
                out[x] = Argb(in[3 * x], in[3 * x + 1], in[3 * x + 2]);
            }
        }
    }
    jpeg_finish_decompress(&info);
    job.Consumed = job.Size - static_cast<unsigned long>(info.src->bytes_in_buffer);
    jpeg_destroy_decompress(&info);
    return true;
}

struct TEncodeJob {
    const uint32_t* Pixels;
    int Width, Height, Quality;
    bool Grayscale;
    std::vector<uint8_t>* Row;
    unsigned char* Output;  // malloc'd by libjpeg, freed by the caller
    unsigned long OutputSize;
};

bool Encode(TEncodeJob& job, TJpegError& error)
{
    jpeg_compress_struct info{};
    info.err = &error.Manager;
    if (setjmp(error.Jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &job.Output, &job.OutputSize);
    info.image_width = static_cast<JDIMENSION>(job.Width);
    info.image_height = static_cast<JDIMENSION>(job.Height);
    info.input_components = job.Grayscale ? 1 : 3;
    info.in_color_space = job.Grayscale ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, job.Quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    job.Row->resize(static_cast<size_t>(job.Width) * static_cast<size_t>(info.input_components));
    while (info.next_scanline < info.image_height) {
        const uint32_t* in = job.Pixels + static_cast<size_t>(info.next_scanline) * static_cast<size_t>(job.Width);
        uint8_t* out = job.Row->data();
        for (int x = 0; x < job.Width; ++x) {
            const unsigned r = (in[x] >> 16) & 0xFF, g = (in[x] >> 8) & 0xFF, b = in[x] & 0xFF;
            if (job.Grayscale) {
                out[x] = static_cast<uint8_t>((r * 299 + g * 587 + b * 114 + 500) / 1000);
            } else {
                out[3 * x] = static_cast<uint8_t>(r);
                out[3 * x + 1] = static_cast<uint8_t>(g);
                out[3 * x + 2] = static_cast<uint8_t>(b);
            }
        }
        JSAMPROW row = job.Row->data();
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}
}

void TJPEGImage::LoadFromStream(TStream& stream)
{
    const int64_t start = stream.Position();
    const int64_t available = std::max<int64_t>(stream.Size() - start, 0);
    std::vector<uint8_t> data(static_cast<size_t>(available));
    stream.ReadBuffer(data.data(), available);

    std::vector<uint8_t> row;
    std::vector<uint32_t> pixels;
    TDecodeJob job{data.data(), static_cast<unsigned long>(data.size()), &row, &pixels, 0, 0, 0, false};
    TJpegError error;
    InstallErrorHandler(error);
    const bool ok = Decode(job, error);
    if (job.TooLarge)
        throw EJPEG("JPEG image is too large");
    if (!ok) {
        stream.SetPosition(start);
        throw EJPEG(Format("JPEG error #%d: %s", error.Manager.msg_code, error.Message));
    }
    FWidth = job.Width;
    FHeight = job.Height;
    FPixels = std::move(pixels);
    stream.SetPosition(start + static_cast<int64_t>(job.Consumed));
}

void TJPEGImage::SaveToStream(TStream& stream) const
{
    SaveJpegPixels(stream, FWidth, FHeight, FPixels.data(), CompressionQuality, Grayscale);
}

void SaveJpegPixels(TStream& stream, int width, int height, const uint32_t* pixels, int quality, bool grayscale)
{
    if (!pixels || width <= 0 || height <= 0)
        throw EJPEG("Cannot save an empty JPEG image");
    std::vector<uint8_t> row;
    TEncodeJob job{pixels, width, height, std::clamp(quality, 1, 100), grayscale, &row, nullptr, 0};
    TJpegError error;
    InstallErrorHandler(error);
    const bool ok = Encode(job, error);
    std::unique_ptr<unsigned char, decltype(&std::free)> output(job.Output, &std::free);
    if (!ok)
        throw EJPEG(Format("JPEG error #%d: %s", error.Manager.msg_code, error.Message));
    stream.WriteBuffer(output.get(), static_cast<int64_t>(job.OutputSize));
}

void SaveJpegPixelsToFile(const std::string& fileName, int width, int height, const uint32_t* pixels, int quality,
                          bool grayscale)
{
    TMemoryStream encoded;
    SaveJpegPixels(encoded, width, height, pixels, quality, grayscale);
    if (!SaveFileAtomically(fileName, encoded.Memory(), encoded.Bytes().size()))
        throw EFCreateError("Cannot create file \"" + fileName + "\"");
}

void TJPEGImage::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TJPEGImage::SaveToFile(const std::string& fileName) const
{
    SaveJpegPixelsToFile(fileName, FWidth, FHeight, FPixels.data(), CompressionQuality, Grayscale);
}

void TJPEGImage::SetPixels(int width, int height, const uint32_t* pixels)
{
    if (width <= 0 || height <= 0) {
        FWidth = FHeight = 0;
        FPixels.clear();
        return;
    }
    FWidth = width;
    FHeight = height;
    FPixels.assign(pixels, pixels + static_cast<size_t>(width) * static_cast<size_t>(height));
}
