#pragma once
// JPEG pictures over libjpeg: decoded into 32-bit pixels on loading, encoded on saving.
#include "Classes.h"

#include <cstdint>
#include <string>
#include <vector>

class EJPEG : public Exception { using Exception::Exception; };

inline constexpr int kDefaultJpegQuality = 90;

// Pixels the caller keeps (rows top-down, 0xAARRGGBB) written as one JPEG image without a copy
// of them first: under Wine a large frame's copy into fresh memory costs as much as encoding it.
// Raises EJPEG for no pixels; the file is written whole or not at all (EFCreateError).
void SaveJpegPixels(TStream& stream, int width, int height, const uint32_t* pixels,
                    int quality = kDefaultJpegQuality, bool grayscale = false);
void SaveJpegPixelsToFile(const std::string& fileName, int width, int height, const uint32_t* pixels,
                          int quality = kDefaultJpegQuality, bool grayscale = false);

class TJPEGImage : public TPersistent {
public:
    // Reads one JPEG image from the stream's position and leaves the stream just after it,
    // so images embedded in larger files load in place. Raises EJPEG on bad data.
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool Empty() const { return FPixels.empty(); }
    // Rows top-down, 0xAARRGGBB with alpha 0xFF.
    const std::vector<uint32_t>& Pixels() const { return FPixels; }
    void SetPixels(int width, int height, const uint32_t* pixels);

    int CompressionQuality = kDefaultJpegQuality;  // 1..100, used when saving
    bool Grayscale = false;       // save as a one-channel image

private:
    int FWidth = 0;
    int FHeight = 0;
    std::vector<uint32_t> FPixels;
};
