#pragma once
// The snapshot window's work that needs no platform: the YUY2 frame converter, the file header
// in front of a renderer's packed bitmap, the thumbnail fit, a row's info tip and the save
// format a file name asks for.
#include "framework/Types.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The bitmap records as they lie in memory and in files (little-endian, packed).
struct TBitmapFileHeader {
    uint16_t bfType = 0x4D42;  // "BM"
    uint32_t bfSize = 0;
    uint16_t bfReserved1 = 0;
    uint16_t bfReserved2 = 0;
    uint32_t bfOffBits = 0;
    static constexpr size_t Size = 14;
};
struct TBitmapInfoHeader {
    uint32_t biSize = 40;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
    static constexpr size_t Size = 40;
};
inline constexpr uint32_t BiRgb = 0, BiBitfields = 3;

void WriteBitmapFileHeader(const TBitmapFileHeader& h, uint8_t* out);  // 14 bytes
void WriteBitmapInfoHeader(const TBitmapInfoHeader& h, uint8_t* out);  // 40 bytes
// None when fewer bytes than the record are given.
std::optional<TBitmapFileHeader> ReadBitmapFileHeader(std::span<const uint8_t> in);
std::optional<TBitmapInfoHeader> ReadBitmapInfoHeader(std::span<const uint8_t> in);

// A 24-bit picture: rows top-down, B G R bytes, each row padded to 4 bytes.
struct TDib24 {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Bits;
    size_t Stride() const { return (static_cast<size_t>(Width) * 3 + 3) & ~size_t{3}; }
    const uint8_t* Pixel(int x, int y) const { return Bits.data() + Stride() * static_cast<size_t>(y) + static_cast<size_t>(x) * 3; }
};

// Where the BITMAPINFOHEADER lies inside a VIDEOINFOHEADER, and the whole record's size.
inline constexpr size_t VideoInfoBmiOffset = 48, VideoInfoHeaderSize = 88;

// A packed YUV 4:2:2 frame (Y0 U Y1 V) as 24-bit RGB. `format` is the media type's format block
// and `formatIsVideoInfo` says its format type is FORMAT_VideoInfo. Rows are
// ((width + 1) / 2) x 4 bytes, |biHeight| of them, top row first. None for another format
// type, a block too short for the record, no size, or a frame shorter than its rows.
std::optional<TDib24> YUY2ToBitmap(bool formatIsVideoInfo, std::span<const uint8_t> format,
                                   std::span<const uint8_t> frame);

// The same frame's layout, for converting into pixels the caller holds: none where
// YUY2ToBitmap gives none.
struct TYUY2Layout {
    int Width = 0;
    int Height = 0;
    size_t RowBytes = 0;
};
std::optional<TYUY2Layout> YUY2FrameLayout(bool formatIsVideoInfo, std::span<const uint8_t> format,
                                          std::span<const uint8_t> frame);
// Into Width x Height pixels, rows top-down, 0xFFRRGGBB: the colours YUY2ToBitmap gives.
void YUY2ToPixels(const TYUY2Layout& layout, std::span<const uint8_t> frame, uint32_t* pixels);

// A bitmap file from a renderer's current image: a packed DIB (info header, colour masks,
// colour table, bits). Colour-table entries: biClrUsed, else 2^bits for 8 bits or fewer; a 40-byte
// BI_BITFIELDS header is followed by 12 mask bytes; the bits are biSizeImage bytes, or stride x
// |height| when that is 0. None when the header is not a bitmap's or the bytes run short.
std::optional<std::vector<uint8_t>> DibToBitmapFile(std::span<const uint8_t> packedDib);

// The source's aspect inside the target, centred. None when the source has no positive size.
std::optional<TRect> FitRectCentered(const TRect& target, const TRect& source);

// A row's info tip: the movie's bare file name, the position (100-ns units) as hh:mm:ss and the
// frame's size, on three lines.
std::string SnapshotInfoTip(std::string_view movieFileName, int64_t position, int width, int height);

// ".jpg" and ".jpeg" in any letter case save as JPEG; anything else as a Windows bitmap.
enum class TSnapshotFileFormat { Bitmap, Jpeg };
TSnapshotFileFormat SnapshotFileFormat(std::string_view fileName);
