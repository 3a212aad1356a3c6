#pragma once
// The parts of the sound-processor filter that need no COM: reading a wave format into the
// stream description, the time arithmetic of one sample, and the ring of passed audio from
// which the visualisation takes the block that is playing.
#include "DSFilters/PvlEqCore.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

// Result codes as DirectShow defines them; the filter returns them as they are.
namespace PvlEqResult {
inline constexpr int32_t OK = 0;
inline constexpr int32_t InvalidMediaType = static_cast<int32_t>(0x80040200u);  // VFW_E_INVALIDMEDIATYPE
inline constexpr int32_t InvalidSubtype = static_cast<int32_t>(0x80040201u);    // VFW_E_INVALIDSUBTYPE
inline constexpr int32_t TypeNotAccepted = static_cast<int32_t>(0x8004022Au);   // VFW_E_TYPE_NOT_ACCEPTED
}  // namespace PvlEqResult

// What the filter reads of a media type, in platform-free terms.
struct TAudioFormatInfo {
    bool MajorAudio = false;          // MEDIATYPE_Audio
    bool SubtypePCM = false;          // MEDIASUBTYPE_PCM
    bool SubtypeFloat = false;        // MEDIASUBTYPE_IEEE_FLOAT
    bool FormatWaveFormatEx = false;  // FORMAT_WaveFormatEx
    const uint8_t* Format = nullptr;  // the WAVEFORMATEX block
    size_t FormatSize = 0;
};

inline constexpr int32_t MaxSampleRate = 768000;

// Checks a media type in the filter's order and, when it is taken, fills `stream`'s
// Frequency, Channels, Bits, Float, SPDIF and DTS (Size and the pad stay). A refused type
// leaves `stream` as it was and gives the refusal code.
int32_t ParseAudioFormat(const TAudioFormatInfo& info, TDSStream& stream);

// Bytes of one frame of the stream, 0 for a description without one.
int32_t FrameBytes(const TDSStream& stream);
// The duration of `length` bytes in 100-ns units: length × 10^7 ÷ Channels ÷ bytes per sample
// ÷ Frequency, integer divisions in that order; 0 for a description without frames.
int64_t BlockDuration(int64_t length, const TDSStream& stream);
// The audio delay in 100-ns units.
inline int64_t DelayTime(int32_t delayMs) { return static_cast<int64_t>(delayMs) * 10000; }
// The PCM callback's new length of a block: within 0..capacity and whole frames.
int32_t ClampNewSize(int32_t newSize, int32_t capacity, int32_t frameBytes);

// About four seconds of the passed audio, with spare room behind the ring's end so that a
// block starting near the end reads without a break. The streaming thread writes, the GUI
// thread looks up; a lock keeps the two apart and lookups copy what they find.
class TPvlVisualRing {
public:
    static constexpr int64_t SpareFrames = 65536;
    static constexpr int64_t VisualFrames = 16384;
    static constexpr int64_t DVDLookAhead = 29200000;  // 2.92 s after the oldest data

    // Builds the ring for `stream` (anew only when the description changed) and empties it:
    // Fill 0, RingStart 0. A ring too large for memory is left out.
    void Reset(const TDSStream& stream);
    // After a flush: Fill 0, RingStart unset (-1), no mirror.
    void Flush();
    // After a stop: Fill 0.
    void ClearFill();
    // The first sample after connecting sets RingStart to its start.
    void MarkFirstSample();

    // Trunc(length × TimePerByte): the duration of a sample for the ring's arithmetic.
    int64_t SampleDuration(int64_t length) const;
    // With a sample's start time: an unset or later RingStart moves to this sample.
    void NoteSampleStart(int64_t start, int64_t sampleDuration);
    // Appends a block; `current` is the description at this block.
    void Write(const uint8_t* block, int64_t length, const TDSStream& current);
    // The 16384 frames that play at `streamTime` (with `dvd`, 2.92 s after the oldest
    // data instead), copied into `block`; false when the ring holds none.
    bool LookupPlaying(int64_t streamTime, bool dvd, std::vector<uint8_t>& block) const;
    // The latest description the ring has seen (the reset's, then each block's).
    TDSStream Latest() const;

    // State for tests and the filter's checks.
    bool HasBuffer() const;
    int64_t Fill() const;
    int64_t RingStart() const;
    int64_t WritePos() const;
    int64_t MainSize() const;
    int64_t SpareSize() const;
    double TimePerByte() const;
    bool FirstSample() const;

private:
    bool Copy(int64_t offset, const uint8_t* data, int64_t length);
    template <class T>
    T Locked(const T& field) const
    {
        std::lock_guard lock(FLock);
        return field;
    }

    mutable std::mutex FLock;
    TDSStream FStream{};  // the description the ring was built for
    TDSStream FLatest{};
    std::vector<uint8_t> FBuffer;
    double FTimePerByte = 0;
    int64_t FMainSize = 0, FSpareSize = 0, FFrameBytes = 0;
    int64_t FFill = 0, FWritePos = 0;
    bool FMirroring = false;
    int64_t FMirrorCount = 0, FMirrorPos = 0;
    int64_t FRingStart = 0;
    bool FFirstSample = true;
};
