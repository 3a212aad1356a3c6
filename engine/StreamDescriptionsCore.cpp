#include "engine/StreamDescriptionsCore.h"

#include "engine/CodecNames.h"

#include <cstring>

namespace {

template <class T>
T ReadAt(const uint8_t* block, size_t offset)
{
    T value;
    std::memcpy(&value, block + offset, sizeof value);
    return value;
}

size_t BitmapOffset(TVideoFormatKind kind)
{
    switch (kind) {
    case TVideoFormatKind::VideoInfo:
    case TVideoFormatKind::MpegVideo:
        return FormatLayout::VideoInfoBitmap;
    case TVideoFormatKind::VideoInfo2:
    case TVideoFormatKind::Mpeg2Video:
        return FormatLayout::VideoInfo2Bitmap;
    }
    return FormatLayout::VideoInfo2Bitmap;
}

}  // namespace

bool DescribeVideoFormat(TVideoFormatKind kind, const uint8_t* block, size_t size, TVideoStreamDescription& description)
{
    using namespace FormatLayout;
    const size_t bitmap = BitmapOffset(kind);
    if (!block || size < bitmap + BitmapFieldsEnd)
        return false;
    const int64_t frameTime = ReadAt<int64_t>(block, AvgTimePerFrame);
    description.FrameRate = frameTime > 0 ? 10000000.0 / static_cast<double>(frameTime) : 0.0;
    description.Width = ReadAt<int32_t>(block, bitmap + BitmapWidth);
    description.Height = ReadAt<int32_t>(block, bitmap + BitmapHeight);
    description.BitCount = ReadAt<uint16_t>(block, bitmap + BitmapBitCount);
    description.Compression = ReadAt<uint32_t>(block, bitmap + BitmapCompression);
    description.Name = FourCCToDescription(description.Compression);
    return true;
}

bool DescribeAudioFormat(TAudioFormatKind kind, const uint8_t* block, size_t size, TAudioStreamDescription& description)
{
    if (!block)
        return false;
    switch (kind) {
    case TAudioFormatKind::WaveFormatEx:
        // wFormatTag, nChannels, nSamplesPerSec, nAvgBytesPerSec.
        if (size < 12)
            return false;
        description.FormatTag = ReadAt<uint16_t>(block, 0);
        description.Name = WaveFormatTagToName(description.FormatTag);
        description.Channels = ReadAt<uint16_t>(block, 2);
        description.SamplesPerSec = static_cast<int32_t>(ReadAt<uint32_t>(block, 4));
        description.AvgBytesPerSec = ReadAt<uint32_t>(block, 8);
        return true;
    case TAudioFormatKind::ChannelsRateBlock:
        // Channel count at 0, sample rate at 4, average rate at 12; no format tag.
        if (size < 16)
            return false;
        description.Channels = ReadAt<uint16_t>(block, 0);
        description.SamplesPerSec = static_cast<int32_t>(ReadAt<uint32_t>(block, 4));
        description.AvgBytesPerSec = ReadAt<uint32_t>(block, 12);
        return true;
    }
    return false;
}
