#pragma once
// Movie memory: the media id that names a movie's memory file, and the ".cid" file itself,
// which keeps the bookmarks (with thumbnails), the last position and the audio delay.
#include "engine/StreamDescriptionsCore.h"
#include "framework/Classes.h"

#include <cstdint>
#include <string>
#include <vector>

// What a media id is made of: the first video stream, the first audio stream (zeros when there
// is none), the duration and the file, or the disc it lies on.
struct TMediaIdSource {
    TVideoStreamDescription Video;
    TAudioStreamDescription Audio;
    int64_t Duration = 0;  // 100-nanosecond units
    std::string FileName;
    bool OnDisc = false;        // the file lies on a CD or DVD
    uint32_t VolumeSerial = 0;  // the disc's serial number
};

// The 36-character id "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" (upper case).
std::string MakeMediaID(const TMediaIdSource& source);

// x in upper-case hexadecimal with at least `digits` digits, cut to its first `digits`.
std::string HexCut(uint64_t x, int digits);

inline constexpr int32_t MovieMemoryHeader = 67667703;  // "676677" and version 3
inline constexpr int MovieMemoryVersion = 3;

struct TMemoryBookmark {
    std::string Name;
    int64_t Position = 0;            // 100-nanosecond units
    std::vector<uint8_t> Thumbnail;  // the encoded image; empty: none
};

struct TMovieMemory {
    int Version = MovieMemoryVersion;  // as read; 1 has BMP thumbnails, the others JPEG
    std::vector<TMemoryBookmark> Bookmarks;
    int64_t LastPosition = 0;  // 100-nanosecond units
    int32_t Delay = 0;         // milliseconds; 0 before version 3
};

// Reads a memory file from the stream's position. False, with the memory cleared, when the
// header is not a memory header or any field runs past the end of the stream.
bool ReadMovieMemory(TStream& stream, TMovieMemory& memory);
// Writes version 3 whatever Version says.
void WriteMovieMemory(TStream& stream, const TMovieMemory& memory);

// The file's memory, or False when it is missing, unreadable or damaged. Never raises.
bool LoadMovieMemory(const std::string& fileName, TMovieMemory& memory);
// Writes the whole file or nothing; False when it could not be written (the old one stays).
bool SaveMovieMemory(const std::string& fileName, const TMovieMemory& memory);

// The memory folder setting made absolute: a value beginning with "." or "\" is relative to
// the install folder.
std::string ResolveMediaIDFolder(const std::string& folder, const std::string& installFolder);
// The memory file of a media id in a (resolved) folder.
std::string MediaIdFile(const std::string& folder, const std::string& mediaId);
// A movie closed at or after 98 % of its duration resumes from the start.
bool IsFinishedPosition(int64_t position, int64_t duration);
