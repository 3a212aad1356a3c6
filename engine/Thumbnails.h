#pragma once
// Bookmark thumbnails as the movie memory stores them: JPEG streams, or bitmap (BMP) streams in
// the oldest files.
#include <cstdint>
#include <vector>

struct TThumbnail {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;  // rows top-down, 0xAARRGGBB
    bool Empty() const { return Pixels.empty(); }
};

inline constexpr int ThumbnailJpegQuality = 90;

// Decodes a stored thumbnail: a bitmap stream for memory version 1, JPEG otherwise.
// False when the data is not a picture this reader takes.
bool DecodeThumbnail(const std::vector<uint8_t>& data, int memoryVersion, TThumbnail& picture);
// A JPEG stream of the picture; empty when the picture is empty or cannot be encoded.
std::vector<uint8_t> EncodeThumbnail(const TThumbnail& picture);

// The JPEG pair the two above go through.
bool DecodeJpeg(const std::vector<uint8_t>& data, TThumbnail& picture);
std::vector<uint8_t> EncodeJpeg(const TThumbnail& picture, int quality);
// Uncompressed Windows bitmaps of 1, 4, 8, 16 (5:5:5), 24 or 32 bits per pixel.
bool DecodeBmp(const std::vector<uint8_t>& data, TThumbnail& picture);
