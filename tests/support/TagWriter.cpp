#include "tests/support/TagWriter.h"

#include "tests/support/TestSupport.h"

#include <zlib.h>

#include <random>

namespace pvltest {

TBytes Bytes(std::string_view text)
{
    return TBytes(text.begin(), text.end());
}

TBytes operator+(TBytes a, const TBytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TBytes Slice(const TBytes& bytes, size_t from, size_t count)
{
    return TBytes(bytes.begin() + static_cast<ptrdiff_t>(from), bytes.begin() + static_cast<ptrdiff_t>(from + count));
}

TBytes Repeated(const TBytes& bytes, size_t times)
{
    TBytes out;
    for (size_t i = 0; i < times; ++i)
        out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

TBytes BigEndian32(uint32_t v)
{
    return TByteWriter().U32BE(v).Bytes;
}

TBytes SyncSafe32(uint32_t v)
{
    return TByteWriter().SyncSafe(v).Bytes;
}

TBytes Deflated(const TBytes& plain)
{
    uLongf size = compressBound(static_cast<uLong>(plain.size()));
    TBytes out(size);
    compress(out.data(), &size, plain.data(), static_cast<uLong>(plain.size()));
    out.resize(size);
    return out;
}

TBytes Inflated(const TBytes& packed, size_t size)
{
    TBytes out(size);
    uLongf n = static_cast<uLongf>(size);
    if (uncompress(out.data(), &n, packed.data(), static_cast<uLong>(packed.size())) != Z_OK)
        return {};
    out.resize(n);
    return out;
}

TBytes Id3Frame(int version, std::string_view id, const TBytes& data, uint8_t status, uint8_t format)
{
    TByteWriter w;
    w.Text(id);
    if (version == 3)
        w.U32BE(static_cast<uint32_t>(data.size()));
    else
        w.SyncSafe(static_cast<uint32_t>(data.size()));
    return w.U8(status).U8(format).Raw(data).Bytes;
}

TBytes Id3Tag(int version, uint8_t flags, const TBytes& body)
{
    TByteWriter w;
    w.Text("ID3").U8(static_cast<uint8_t>(version)).U8(0).U8(flags).SyncSafe(static_cast<uint32_t>(body.size()));
    return w.Raw(body).Bytes;
}

TBytes Latin1Text(std::string_view text)
{
    return TBytes{0} + Bytes(text);
}

TBytes Id3v1Record(std::string_view title, std::string_view artist, std::string_view album, std::string_view year,
                   std::string_view comment, uint8_t track, uint8_t genre)
{
    TBytes r(128, 0);
    const auto put = [&](size_t at, std::string_view text, size_t size) {
        for (size_t i = 0; i < text.size() && i < size; ++i)
            r[at + i] = static_cast<uint8_t>(text[i]);
    };
    put(0, "TAG", 3);
    put(3, title, 30);
    put(33, artist, 30);
    put(63, album, 30);
    put(93, year, 4);
    put(97, comment, track ? 28 : 30);
    if (track) {
        r[125] = 0;
        r[126] = track;
    }
    r[127] = genre;
    return r;
}

TBytes AudioBytes(size_t size, uint32_t seed)
{
    std::mt19937 random(seed);
    TBytes out(size);
    for (size_t i = 0; i < size; ++i)
        out[i] = static_cast<uint8_t>(random());
    for (size_t i = 0; i + 4 <= size; i += 97) {
        out[i] = 0xFF;
        out[i + 1] = 0xFB;
        if (i + 40 <= size) {
            out[i + 20] = 0xFF;
            out[i + 21] = 0x00;
            out[i + 30] = 0xFF;
            out[i + 31] = 0xE7;
        }
    }
    return out;
}

TBytes RiffChunk(std::string_view id, const TBytes& body)
{
    return TByteWriter().Chunk(id, body).Bytes;
}

TBytes RiffList(std::string_view type, const TBytes& children)
{
    return RiffChunk("LIST", Bytes(type) + children);
}

TBytes AviFile(const TBytes& head, const TBytes& movie, const TBytes& trailing)
{
    const TBytes body = Bytes("AVI ") + head + RiffList("movi", movie) + trailing;
    return RiffChunk("RIFF", body);
}

}  // namespace pvltest
