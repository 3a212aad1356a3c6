#include "ui/SnapShot_UnitCore.h"

#include "framework/SysUtils.h"
#include "ui/Video_UnitCore.h"

#include <algorithm>
#include <cmath>

namespace {

void Put16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t Get32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

uint64_t Magnitude(int32_t v) { return v < 0 ? uint64_t{0} - static_cast<uint64_t>(static_cast<int64_t>(v)) : static_cast<uint64_t>(v); }

// A channel given in millionths, rounded half up and clamped to 0..255.
uint8_t Round255(int32_t millionths)
{
    return static_cast<uint8_t>(static_cast<uint32_t>(std::clamp(millionths + 500000, 0, 255999999)) / 1000000u);
}

// One row of Y0 U Y1 V groups to pixels, each handed to put(x, blue, green, red). The
// coefficients have six decimals, so the sums are exact in millionths (no rounding error at
// halves) and need no floating point: |sum| stays under 2^30.
template <class TPut>
void YUY2Row(const uint8_t* in, size_t width, TPut put)
{
    for (size_t x = 0; x < width; x += 2) {
        const int32_t d = in[2 * x + 1] - 128;  // U
        const int32_t e = in[2 * x + 3] - 128;  // V
        const int32_t blue = 2017232 * d, green = -391762 * d - 812968 * e, red = 1596027 * e;
        for (size_t k = x; k < x + 2 && k < width; ++k) {
            const int32_t c = 1164383 * (in[2 * k] - 16);
            put(k, Round255(c + blue), Round255(c + green), Round255(c + red));
        }
    }
}

}  // namespace

void WriteBitmapFileHeader(const TBitmapFileHeader& h, uint8_t* out)
{
    Put16(out, h.bfType);
    Put32(out + 2, h.bfSize);
    Put16(out + 6, h.bfReserved1);
    Put16(out + 8, h.bfReserved2);
    Put32(out + 10, h.bfOffBits);
}

void WriteBitmapInfoHeader(const TBitmapInfoHeader& h, uint8_t* out)
{
    Put32(out, h.biSize);
    Put32(out + 4, static_cast<uint32_t>(h.biWidth));
    Put32(out + 8, static_cast<uint32_t>(h.biHeight));
    Put16(out + 12, h.biPlanes);
    Put16(out + 14, h.biBitCount);
    Put32(out + 16, h.biCompression);
    Put32(out + 20, h.biSizeImage);
    Put32(out + 24, static_cast<uint32_t>(h.biXPelsPerMeter));
    Put32(out + 28, static_cast<uint32_t>(h.biYPelsPerMeter));
    Put32(out + 32, h.biClrUsed);
    Put32(out + 36, h.biClrImportant);
}

std::optional<TBitmapFileHeader> ReadBitmapFileHeader(std::span<const uint8_t> in)
{
    if (in.size() < TBitmapFileHeader::Size)
        return std::nullopt;
    TBitmapFileHeader h;
    h.bfType = Get16(in.data());
    h.bfSize = Get32(in.data() + 2);
    h.bfReserved1 = Get16(in.data() + 6);
    h.bfReserved2 = Get16(in.data() + 8);
    h.bfOffBits = Get32(in.data() + 10);
    return h;
}

std::optional<TBitmapInfoHeader> ReadBitmapInfoHeader(std::span<const uint8_t> in)
{
    if (in.size() < TBitmapInfoHeader::Size)
        return std::nullopt;
    const uint8_t* p = in.data();
    TBitmapInfoHeader h;
    h.biSize = Get32(p);
    h.biWidth = static_cast<int32_t>(Get32(p + 4));
    h.biHeight = static_cast<int32_t>(Get32(p + 8));
    h.biPlanes = Get16(p + 12);
    h.biBitCount = Get16(p + 14);
    h.biCompression = Get32(p + 16);
    h.biSizeImage = Get32(p + 20);
    h.biXPelsPerMeter = static_cast<int32_t>(Get32(p + 24));
    h.biYPelsPerMeter = static_cast<int32_t>(Get32(p + 28));
    h.biClrUsed = Get32(p + 32);
    h.biClrImportant = Get32(p + 36);
    return h;
}

std::optional<TYUY2Layout> YUY2FrameLayout(bool formatIsVideoInfo, std::span<const uint8_t> format,
                                          std::span<const uint8_t> frame)
{
    if (!formatIsVideoInfo || format.size() < VideoInfoHeaderSize)
        return std::nullopt;
    const std::optional<TBitmapInfoHeader> bmi = ReadBitmapInfoHeader(format.subspan(VideoInfoBmiOffset));
    if (!bmi || bmi->biWidth <= 0 || bmi->biHeight == 0)
        return std::nullopt;
    const uint64_t width = static_cast<uint64_t>(bmi->biWidth), height = Magnitude(bmi->biHeight);
    // An odd width still ends on a whole Y U Y V group.
    const uint64_t rowBytes = (width + 1) / 2 * 4;
    if (rowBytes * height > frame.size())
        return std::nullopt;
    return TYUY2Layout{static_cast<int>(width), static_cast<int>(height), static_cast<size_t>(rowBytes)};
}

std::optional<TDib24> YUY2ToBitmap(bool formatIsVideoInfo, std::span<const uint8_t> format,
                                   std::span<const uint8_t> frame)
{
    const std::optional<TYUY2Layout> layout = YUY2FrameLayout(formatIsVideoInfo, format, frame);
    if (!layout)
        return std::nullopt;
    TDib24 out;
    out.Width = layout->Width;
    out.Height = layout->Height;
    out.Bits.resize(out.Stride() * static_cast<size_t>(out.Height));
    for (size_t y = 0; y < static_cast<size_t>(out.Height); ++y) {
        uint8_t* px = out.Bits.data() + out.Stride() * y;
        YUY2Row(frame.data() + layout->RowBytes * y, static_cast<size_t>(out.Width), [px](size_t x, uint8_t b, uint8_t g, uint8_t r) {
            px[3 * x] = b;
            px[3 * x + 1] = g;
            px[3 * x + 2] = r;
        });
    }
    return out;
}

void YUY2ToPixels(const TYUY2Layout& layout, std::span<const uint8_t> frame, uint32_t* pixels)
{
    for (size_t y = 0; y < static_cast<size_t>(layout.Height); ++y) {
        uint32_t* row = pixels + static_cast<size_t>(layout.Width) * y;
        YUY2Row(frame.data() + layout.RowBytes * y, static_cast<size_t>(layout.Width), [row](size_t x, uint8_t b, uint8_t g, uint8_t r) {
            row[x] = 0xFF000000u | (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
        });
    }
}

std::optional<std::vector<uint8_t>> DibToBitmapFile(std::span<const uint8_t> packedDib)
{
    const std::optional<TBitmapInfoHeader> bmi = ReadBitmapInfoHeader(packedDib);
    if (!bmi || bmi->biSize < TBitmapInfoHeader::Size || bmi->biWidth <= 0 || bmi->biHeight == 0 ||
        bmi->biBitCount == 0 || bmi->biBitCount > 32)
        return std::nullopt;
    uint64_t tableEntries = bmi->biClrUsed;
    if (tableEntries == 0 && bmi->biBitCount <= 8)
        tableEntries = uint64_t{1} << bmi->biBitCount;
    const uint64_t masks = bmi->biSize == TBitmapInfoHeader::Size && bmi->biCompression == BiBitfields ? 12 : 0;
    const uint64_t stride = (static_cast<uint64_t>(bmi->biWidth) * bmi->biBitCount + 31) / 32 * 4;
    const uint64_t imageSize = bmi->biSizeImage != 0 ? bmi->biSizeImage : stride * Magnitude(bmi->biHeight);
    const uint64_t bitsAt = TBitmapFileHeader::Size + bmi->biSize + masks + 4 * tableEntries;
    const uint64_t fileSize = bitsAt + imageSize;
    if (fileSize > UINT32_MAX || fileSize - TBitmapFileHeader::Size > packedDib.size())
        return std::nullopt;

    std::vector<uint8_t> file(static_cast<size_t>(fileSize));
    TBitmapFileHeader fh;
    fh.bfSize = static_cast<uint32_t>(fileSize);
    fh.bfOffBits = static_cast<uint32_t>(bitsAt);
    WriteBitmapFileHeader(fh, file.data());
    std::copy_n(packedDib.begin(), file.size() - TBitmapFileHeader::Size, file.begin() + TBitmapFileHeader::Size);
    return file;
}

std::optional<TRect> FitRectCentered(const TRect& target, const TRect& source)
{
    const int32_t sw = source.Width(), sh = source.Height(), tw = target.Width(), th = target.Height();
    if (sw <= 0 || sh <= 0)
        return std::nullopt;
    const double kx = static_cast<double>(tw) / sw, ky = static_cast<double>(th) / sh;
    int32_t width = tw, height = th;
    if (ky < kx)
        width = MulDivRound(sw, th, sh);
    else
        height = MulDivRound(sh, tw, sw);
    const int32_t left = target.left + (tw - width) / 2, top = target.top + (th - height) / 2;
    return TRect(left, top, left + width, top + height);
}

std::string SnapshotInfoTip(std::string_view movieFileName, int64_t position, int width, int height)
{
    const int64_t t = std::max<int64_t>(position, 0) / 1000000;  // tenths of a second
    const int64_t h = t / 36000, m = t % 36000 / 600, s = t % 36000 % 600 / 10;
    return Format("%s: %s", "File", ExtractFileName(movieFileName).c_str()) + "\r\n" +
           Format("%s: %2.2lld:%2.2lld:%2.2lld", "Time", static_cast<long long>(h), static_cast<long long>(m),
                  static_cast<long long>(s)) +
           "\r\n" + Format("%s: %d x %d", "Size", width, height);
}

TSnapshotFileFormat SnapshotFileFormat(std::string_view fileName)
{
    const std::string ext = UpperCase(ExtractFileExt(fileName));
    return ext == ".JPG" || ext == ".JPEG" ? TSnapshotFileFormat::Jpeg : TSnapshotFileFormat::Bitmap;
}
