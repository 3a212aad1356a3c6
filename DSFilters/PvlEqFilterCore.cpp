#include "DSFilters/PvlEqFilterCore.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

namespace {

// WAVE_FORMAT_* tags the filter tells apart.
constexpr uint16_t TagIEEEFloat = 0x0003;
constexpr uint16_t TagDTS = 0x0008;
constexpr uint16_t TagAC3SPDIF = 0x0092;
constexpr uint16_t TagAC3 = 0x2000;
constexpr uint16_t TagDTS2 = 0x2001;
constexpr uint16_t TagExtensible = 0xFFFE;

// WAVEFORMATEX: tag, channels, rate, bytes per second, block align, bits, extra size;
// WAVEFORMATEXTENSIBLE adds valid bits, channel mask and the SubFormat GUID at byte 24.
constexpr size_t BaseFormatSize = 16;
constexpr size_t SubFormatOffset = 24;
constexpr size_t ExtensibleFormatSize = 40;
// KSDATAFORMAT_SUBTYPE_IEEE_FLOAT as it lies in memory.
constexpr uint8_t SubFormatIEEEFloat[16] = {0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                            0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint16_t ReadU16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t ReadU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

int64_t TruncTime(double value)
{
    // Beyond this no time means anything; the clamp keeps the conversion defined.
    constexpr double limit = 9.0e18;
    if (std::isnan(value))
        return 0;
    return static_cast<int64_t>(std::clamp(value, -limit, limit));
}

}  // namespace

int32_t ParseAudioFormat(const TAudioFormatInfo& info, TDSStream& stream)
{
    if (!info.MajorAudio)
        return PvlEqResult::InvalidMediaType;
    if (!info.SubtypePCM && !info.SubtypeFloat)
        return PvlEqResult::InvalidSubtype;
    if (!info.FormatWaveFormatEx || !info.Format || info.FormatSize < BaseFormatSize)
        return PvlEqResult::TypeNotAccepted;
    const uint8_t* format = info.Format;
    const uint16_t tag = ReadU16(format);
    if (tag == TagExtensible && info.FormatSize < ExtensibleFormatSize)
        return PvlEqResult::TypeNotAccepted;

    TDSStream parsed = stream;
    parsed.Channels = ReadU16(format + 2);
    const uint32_t rate = ReadU32(format + 4);
    parsed.Bits = ReadU16(format + 14);
    if (parsed.Bits != 8 && parsed.Bits != 16 && parsed.Bits != 24 && parsed.Bits != 32)
        return PvlEqResult::TypeNotAccepted;
    if (parsed.Channels == 0 || rate == 0 || rate > static_cast<uint32_t>(MaxSampleRate))
        return PvlEqResult::TypeNotAccepted;
    parsed.Frequency = static_cast<int32_t>(rate);
    parsed.SPDIF = tag == TagAC3SPDIF || tag == TagAC3;
    parsed.DTS = tag == TagDTS || tag == TagDTS2;
    parsed.Float = info.SubtypeFloat || tag == TagIEEEFloat ||
                   (tag == TagExtensible && std::memcmp(format + SubFormatOffset, SubFormatIEEEFloat, 16) == 0);
    stream = parsed;
    return PvlEqResult::OK;
}

int32_t FrameBytes(const TDSStream& stream)
{
    if (stream.Channels <= 0 || stream.Bits < 8)
        return 0;
    return stream.Channels * (stream.Bits / 8);
}

int64_t BlockDuration(int64_t length, const TDSStream& stream)
{
    if (stream.Channels <= 0 || stream.Bits < 8 || stream.Frequency <= 0)
        return 0;
    return length * 10000000 / stream.Channels / (stream.Bits / 8) / stream.Frequency;
}

int32_t ClampNewSize(int32_t newSize, int32_t capacity, int32_t frameBytes)
{
    const int32_t clamped = std::clamp(newSize, 0, std::max(capacity, 0));
    return frameBytes > 0 ? clamped - clamped % frameBytes : clamped;
}

// ---- TPvlVisualRing

void TPvlVisualRing::Reset(const TDSStream& stream)
{
    std::lock_guard lock(FLock);
    FFill = 0;
    FRingStart = 0;
    FLatest = stream;
    if (stream == FStream && !FBuffer.empty())
        return;
    FStream = stream;
    FBuffer.clear();
    FBuffer.shrink_to_fit();
    const int64_t frameBytes = FrameBytes(stream);
    if (frameBytes <= 0 || stream.Frequency <= 0) {
        FTimePerByte = 0;
        FMainSize = FSpareSize = FFrameBytes = 0;
        return;
    }
    FTimePerByte = 10000000.0 / stream.Frequency / stream.Channels / (stream.Bits / 8);
    FMainSize = static_cast<int64_t>(stream.Frequency) * frameBytes * 4;
    FSpareSize = frameBytes * SpareFrames;
    FFrameBytes = frameBytes;
    const int64_t total = FMainSize + 2 * FSpareSize;
    // The visual data is a nicety: a ring beyond any sensible size is simply not kept.
    if (total > std::numeric_limits<int32_t>::max())
        return;
    try {
        FBuffer.assign(static_cast<size_t>(total), 0);
    } catch (const std::bad_alloc&) {
        FBuffer.clear();
    }
}

void TPvlVisualRing::Flush()
{
    std::lock_guard lock(FLock);
    FFill = 0;
    FRingStart = -1;
    FMirrorCount = 0;
}

void TPvlVisualRing::ClearFill()
{
    std::lock_guard lock(FLock);
    FFill = 0;
}

void TPvlVisualRing::MarkFirstSample()
{
    std::lock_guard lock(FLock);
    FFirstSample = true;
}

int64_t TPvlVisualRing::SampleDuration(int64_t length) const
{
    std::lock_guard lock(FLock);
    return TruncTime(static_cast<double>(length) * FTimePerByte);
}

void TPvlVisualRing::NoteSampleStart(int64_t start, int64_t sampleDuration)
{
    std::lock_guard lock(FLock);
    if (FRingStart != -1 && FRingStart <= start)
        return;
    if (FFirstSample) {
        FRingStart = start;
        FFirstSample = false;
    } else {
        FRingStart = start - sampleDuration;
    }
}

bool TPvlVisualRing::Copy(int64_t offset, const uint8_t* data, int64_t length)
{
    // The arithmetic below keeps every copy inside; this only makes sure of it.
    if (offset < 0 || length < 0 || offset + length > static_cast<int64_t>(FBuffer.size()))
        return false;
    std::memcpy(FBuffer.data() + offset, data, static_cast<size_t>(length));
    return true;
}

void TPvlVisualRing::Write(const uint8_t* block, int64_t length, const TDSStream& current)
{
    std::lock_guard lock(FLock);
    FLatest = current;
    if (FBuffer.empty() || FStream.SPDIF || FStream.DTS || length <= 0)
        return;
    // A block longer than the spare room keeps only its newest part; the time still moves
    // on by the whole block, so the newest data stays where the clock expects it.
    const int64_t kept = std::min(length, FSpareSize);
    const uint8_t* data = block + (length - kept);
    const int64_t dropped = length - kept;

    if (FFill <= FMainSize) {
        // Filling: the ring grows; from the first time it passes MainSize, Fill is its length.
        Copy(FFill, data, kept);
        FFill += kept;
        FWritePos = 0;
        FMirrorCount = 0;
        FMirrorPos = 0;
        FMirroring = false;
        if (dropped > 0)
            FRingStart += TruncTime(static_cast<double>(dropped) * FTimePerByte);
        return;
    }

    FRingStart += TruncTime(static_cast<double>(length) * FTimePerByte);
    if (FMirroring && FMirrorCount + kept < FSpareSize) {
        Copy(FMirrorPos, data, kept);
        FMirrorPos += kept;
        FMirrorCount += kept;
    } else {
        FMirroring = false;
    }
    if (FWritePos > FMainSize) {
        // Wrap: the block starts the ring again and also continues behind its end.
        FMirroring = true;
        FMirrorCount = kept;
        FMirrorPos = FWritePos + kept;
        Copy(0, data, kept);
        Copy(FWritePos, data, kept);
        FWritePos = kept;
    } else {
        Copy(FWritePos, data, kept);
        FWritePos += kept;
    }
}

bool TPvlVisualRing::LookupPlaying(int64_t streamTime, bool dvd, std::vector<uint8_t>& block) const
{
    std::lock_guard lock(FLock);
    if (FBuffer.empty() || FStream.SPDIF || FStream.DTS || FFill <= 0 || FTimePerByte <= 0)
        return false;
    const int64_t time = dvd ? FRingStart + DVDLookAhead : streamTime;
    if (time < FRingStart)
        return false;
    int64_t position = TruncTime(static_cast<double>(time - FRingStart) / FTimePerByte) + FWritePos;
    if (position > FFill)
        position -= FFill;
    position -= position % FFrameBytes;
    if (position > FFill || position < 0)
        return false;
    const int64_t size = FFrameBytes * VisualFrames;
    if (position + size > static_cast<int64_t>(FBuffer.size()))
        return false;
    block.assign(FBuffer.begin() + position, FBuffer.begin() + position + size);
    return true;
}

bool TPvlVisualRing::HasBuffer() const
{
    std::lock_guard lock(FLock);
    return !FBuffer.empty();
}

int64_t TPvlVisualRing::Fill() const { return Locked(FFill); }
int64_t TPvlVisualRing::RingStart() const { return Locked(FRingStart); }
int64_t TPvlVisualRing::WritePos() const { return Locked(FWritePos); }
int64_t TPvlVisualRing::MainSize() const { return Locked(FMainSize); }
int64_t TPvlVisualRing::SpareSize() const { return Locked(FSpareSize); }
double TPvlVisualRing::TimePerByte() const { return Locked(FTimePerByte); }
bool TPvlVisualRing::FirstSample() const { return Locked(FFirstSample); }
TDSStream TPvlVisualRing::Latest() const { return Locked(FLatest); }
