#pragma once
// Readable names of video compression codes (FourCCs) and wave format tags.
#include <cstdint>
#include <string>

// 0 "RGB", 1 "RLE8", 2 "RLE4", 3 "BITFIELDS"; any other code gives its four bytes in memory
// order (low byte first), byte for byte, also when some are 0 or unprintable.
std::string CompressionToString(uint32_t code);
// The codec's description, or "Unknown (" + CompressionToString(code) + ")".
std::string FourCCToDescription(uint32_t code);
// The format's name, or "Unknown (" + the tag in decimal + ")".
std::string WaveFormatTagToName(uint32_t tag);

// The code of four characters in file order: the first character in the low byte.
constexpr uint32_t FourCC(const char (&text)[5])
{
    return static_cast<uint32_t>(static_cast<uint8_t>(text[0])) |
           static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(text[3])) << 24;
}
