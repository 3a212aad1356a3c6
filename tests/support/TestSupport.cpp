#include "tests/support/TestSupport.h"

#include "framework/SysUtils.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace pvltest {

TTempDir::TTempDir()
{
    static std::atomic<int> counter{0};
    const auto stamp = static_cast<unsigned>(TickCount());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = GetTempDirectory() + Format("pvl-%u-%d", stamp, counter++);
        std::error_code ec;
        if (std::filesystem::create_directory(candidate, ec)) {
            FPath = IncludeTrailingPathDelimiter(candidate);
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TTempDir::~TTempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(ExcludeTrailingPathDelimiter(FPath), ec);
}

namespace {
std::string FromEnvironmentFolder(const char* variable, std::string_view relative)
{
    const char* root = std::getenv(variable);
    if (!root || !*root)
        return {};
    std::string path = IncludeTrailingPathDelimiter(root) + std::string(relative);
    for (char& c : path)
        if (IsPathDelimiter(c))
            c = PathDelim;
    return path;
}
}

std::string FixturePath(std::string_view name)
{
    std::string path = FromEnvironmentFolder("PVL_FIXTURES", name);
    return FileExists(path) ? path : std::string();
}

std::string SourcePath(std::string_view relative)
{
    return FromEnvironmentFolder("PVL_SOURCE", relative);
}

std::vector<uint8_t> ReadAll(const std::string& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& fileName, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + fileName);
}

void WriteAll(const std::string& fileName, std::string_view text)
{
    WriteAll(fileName, std::vector<uint8_t>(text.begin(), text.end()));
}

TByteWriter& TByteWriter::U8(uint8_t v)
{
    Bytes.push_back(v);
    return *this;
}

TByteWriter& TByteWriter::U16(uint16_t v)
{
    return U8(static_cast<uint8_t>(v)).U8(static_cast<uint8_t>(v >> 8));
}

TByteWriter& TByteWriter::U32(uint32_t v)
{
    return U16(static_cast<uint16_t>(v)).U16(static_cast<uint16_t>(v >> 16));
}

TByteWriter& TByteWriter::U64(uint64_t v)
{
    return U32(static_cast<uint32_t>(v)).U32(static_cast<uint32_t>(v >> 32));
}

TByteWriter& TByteWriter::U32BE(uint32_t v)
{
    return U8(static_cast<uint8_t>(v >> 24)).U8(static_cast<uint8_t>(v >> 16)).U8(static_cast<uint8_t>(v >> 8)).U8(static_cast<uint8_t>(v));
}

TByteWriter& TByteWriter::SyncSafe(uint32_t v)
{
    return U8((v >> 21) & 0x7F).U8((v >> 14) & 0x7F).U8((v >> 7) & 0x7F).U8(v & 0x7F);
}

TByteWriter& TByteWriter::F32(float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return U32(bits);
}

TByteWriter& TByteWriter::Text(std::string_view s)
{
    Bytes.insert(Bytes.end(), s.begin(), s.end());
    return *this;
}

TByteWriter& TByteWriter::Raw(const std::vector<uint8_t>& data)
{
    Bytes.insert(Bytes.end(), data.begin(), data.end());
    return *this;
}

TByteWriter& TByteWriter::Zeros(size_t count)
{
    Bytes.insert(Bytes.end(), count, 0);
    return *this;
}

TByteWriter& TByteWriter::Chunk(std::string_view id, const std::vector<uint8_t>& body)
{
    Text(id.substr(0, 4)).U32(static_cast<uint32_t>(body.size())).Raw(body);
    if (body.size() & 1)
        U8(0);
    return *this;
}

std::vector<uint8_t> BitmapFile(int width, int height, int bitCount, const std::vector<uint32_t>& palette,
                                const std::vector<std::vector<uint8_t>>& rows, uint32_t compression)
{
    std::vector<uint8_t> pixels;
    for (const auto& row : rows) {
        pixels.insert(pixels.end(), row.begin(), row.end());
        pixels.resize((pixels.size() + 3) / 4 * 4);
    }
    const uint32_t bitsAt = 14 + 40 + static_cast<uint32_t>(palette.size()) * 4;
    TByteWriter w;
    w.Text("BM").U32(bitsAt + static_cast<uint32_t>(pixels.size())).U32(0).U32(bitsAt);
    w.U32(40).U32(static_cast<uint32_t>(width)).U32(static_cast<uint32_t>(height)).U16(1);
    w.U16(static_cast<uint16_t>(bitCount)).U32(compression).U32(static_cast<uint32_t>(pixels.size()));
    w.U32(2835).U32(2835).U32(static_cast<uint32_t>(palette.size())).U32(0);
    for (const uint32_t c : palette)
        w.U32(c);
    w.Raw(pixels);
    return w.Bytes;
}

}  // namespace pvltest
