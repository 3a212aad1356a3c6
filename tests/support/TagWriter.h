#pragma once
// Tag files made byte by byte for the tag tests: ID3v2 frames and tags, ID3v1 records,
// bytes that look like MPEG audio, and small AVI files.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pvltest {

using TBytes = std::vector<uint8_t>;

TBytes Bytes(std::string_view text);
TBytes operator+(TBytes a, const TBytes& b);
TBytes Slice(const TBytes& bytes, size_t from, size_t count);
TBytes Repeated(const TBytes& bytes, size_t times);

// Integers as ID3v2 stores them: plain big-endian, and syncsafe (four bytes of seven bits).
TBytes BigEndian32(uint32_t v);
TBytes SyncSafe32(uint32_t v);
// A zlib stream of plain, and plain again from one.
TBytes Deflated(const TBytes& plain);
TBytes Inflated(const TBytes& packed, size_t size);

// An ID3v2 frame as the version writes it: identifier, size of data (big-endian for 3,
// syncsafe for 4), the two flag bytes as given, then data (extra header bytes included).
TBytes Id3Frame(int version, std::string_view id, const TBytes& data, uint8_t status = 0, uint8_t format = 0);
// A tag header ("ID3", version, revision 0, flags, syncsafe size of body) and the body.
TBytes Id3Tag(int version, uint8_t flags, const TBytes& body);
// A text frame's data: encoding byte 0 and the text.
TBytes Latin1Text(std::string_view text);

// A 128-byte ID3v1 record ("TAG", fields padded with zeros).
TBytes Id3v1Record(std::string_view title, std::string_view artist, std::string_view album, std::string_view year,
                   std::string_view comment, uint8_t track, uint8_t genre);

// Bytes that look like MPEG audio: frame syncs (0xFF 0xFB), and the 0xFF 0x00 and 0xFF 0xE0
// pairs that unsynchronisation has to get right.
TBytes AudioBytes(size_t size, uint32_t seed);

// A small AVI file: "RIFF" size "AVI ", the head chunks, a "movi" list holding movie, then
// the trailing chunks (such as "idx1").
TBytes AviFile(const TBytes& head, const TBytes& movie, const TBytes& trailing);
TBytes RiffChunk(std::string_view id, const TBytes& body);
TBytes RiffList(std::string_view type, const TBytes& children);

}  // namespace pvltest
