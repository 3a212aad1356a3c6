#pragma once
// Fixtures shared by the tests: temporary folders, fixture files made by the test script,
// and little-endian byte writers for building file formats by hand.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pvltest {

// A fresh folder under the temporary directory, removed with everything in it at the end.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const std::string& Path() const { return FPath; }  // with a trailing separator
    std::string File(std::string_view name) const { return FPath + std::string(name); }

private:
    std::string FPath;
};

// A media file made by scripts/make-fixtures.sh (ffmpeg); empty when it is missing.
std::string FixturePath(std::string_view name);
// A file of the source tree, for data the program ships ("Data/filetypes.cfg").
std::string SourcePath(std::string_view relative);

std::vector<uint8_t> ReadAll(const std::string& fileName);
void WriteAll(const std::string& fileName, const std::vector<uint8_t>& bytes);
void WriteAll(const std::string& fileName, std::string_view text);

// Little-endian writer for file formats (RIFF chunks, tags).
class TByteWriter {
public:
    std::vector<uint8_t> Bytes;
    TByteWriter& U8(uint8_t v);
    TByteWriter& U16(uint16_t v);
    TByteWriter& U32(uint32_t v);
    TByteWriter& U64(uint64_t v);
    TByteWriter& U32BE(uint32_t v);     // big-endian, as ID3v2 stores plain sizes
    TByteWriter& SyncSafe(uint32_t v);  // four bytes of seven bits, most significant first
    TByteWriter& F32(float v);
    TByteWriter& Text(std::string_view s);  // the characters, no terminator
    TByteWriter& Raw(const std::vector<uint8_t>& data);
    TByteWriter& Zeros(size_t count);
    // Appends a RIFF chunk: id, 32-bit size, body, and a pad byte when the size is odd.
    TByteWriter& Chunk(std::string_view id, const std::vector<uint8_t>& body);
    size_t Size() const { return Bytes.size(); }
};

// A Windows bitmap stream: file header, 40-byte info header, the palette (0x00RRGGBB entries)
// and the rows as given (bottom-up for a positive height), each padded to 4 bytes.
std::vector<uint8_t> BitmapFile(int width, int height, int bitCount, const std::vector<uint32_t>& palette,
                                const std::vector<std::vector<uint8_t>>& rows, uint32_t compression = 0);

}  // namespace pvltest
