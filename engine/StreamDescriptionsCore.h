#pragma once
// Plain descriptions of a video or an audio stream, read from a media type's format block.
// The block layouts are the platform's (VIDEOINFOHEADER and its relatives, WAVEFORMATEX);
// every read is checked against the block's size.
#include <cstddef>
#include <cstdint>
#include <string>

struct TVideoStreamDescription {
    uint32_t Compression = 0;  // the bitmap header's compression code (a FourCC or 0..3)
    std::string Name;          // FourCCToDescription(Compression)
    int32_t Width = 0;
    int32_t Height = 0;        // as stored; negative for top-down
    int32_t BitCount = 0;
    double FrameRate = 0;      // frames per second; 0 when the frame time is not positive
};

struct TAudioStreamDescription {
    uint32_t FormatTag = 0;
    std::string Name;          // WaveFormatTagToName(FormatTag)
    double AvgBytesPerSec = 0;
    int32_t SamplesPerSec = 0;
    int32_t Channels = 0;
};

// The kinds of format block the descriptions read.
enum class TVideoFormatKind { VideoInfo, VideoInfo2, MpegVideo, Mpeg2Video };
enum class TAudioFormatKind { WaveFormatEx, ChannelsRateBlock };

// Fill the record from a format block; false, with the record untouched, when the block is
// missing or too short for the fields read.
bool DescribeVideoFormat(TVideoFormatKind kind, const uint8_t* block, size_t size, TVideoStreamDescription& description);
bool DescribeAudioFormat(TAudioFormatKind kind, const uint8_t* block, size_t size, TAudioStreamDescription& description);

// Offsets in the platform's format blocks (32-bit layout, no padding before these fields).
namespace FormatLayout {
inline constexpr size_t AvgTimePerFrame = 40;     // REFERENCE_TIME in VIDEOINFOHEADER and VIDEOINFOHEADER2
inline constexpr size_t VideoInfoBitmap = 48;     // bmiHeader of VIDEOINFOHEADER (and MPEG1VIDEOINFO.hdr)
inline constexpr size_t VideoInfo2Bitmap = 72;    // bmiHeader of VIDEOINFOHEADER2 (and MPEG2VIDEOINFO.hdr)
inline constexpr size_t BitmapWidth = 4, BitmapHeight = 8, BitmapBitCount = 14, BitmapCompression = 16;
inline constexpr size_t BitmapFieldsEnd = 20;     // the header fields read end here
}  // namespace FormatLayout
