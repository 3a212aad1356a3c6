#pragma once
// The 128-byte ID3v1 record at the very end of an audio file (with the ID3v1.1 track byte),
// and the names of its genre byte.
#include <array>
#include <cstdint>
#include <span>
#include <string>

class TTagFile;

// The record as it lies in the file; the operations move it as 128 raw bytes.
struct TID3v1Tag {
    char Header[3];   // "TAG"
    char Title[30];   // each text padded with zero bytes
    char Artist[30];
    char Album[30];
    char Year[4];
    char Comment[30];  // byte 28 zero and byte 29 the track number when a track is given
    uint8_t Genre;     // index into ID3v1Genres
};
static_assert(sizeof(TID3v1Tag) == 128);

// Tag is zero-filled first; true when the file is longer than 128 bytes and its last 128
// bytes begin with "TAG", which Tag then holds.
bool ReadID3v1Tag(const std::string& FileName, TID3v1Tag& Tag);
bool ReadID3v1Tag(TTagFile& File, TID3v1Tag& Tag);
bool ReadID3v1TagFromBuffer(std::span<const uint8_t> Bytes, TID3v1Tag& Tag);
// Writes Tag over an existing record, or appends it; an append that fails is cut off again.
bool WriteID3v1Tag(const std::string& FileName, const TID3v1Tag& Tag);
// Cuts the record off; true when removed or when there was none.
bool RemoveID3v1Tag(const std::string& FileName);

extern const std::array<const char*, 148> ID3v1Genres;
