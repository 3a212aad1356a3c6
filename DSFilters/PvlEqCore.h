#pragma once
// Platform-free core of the sound-processor filter: the description of the current audio
// stream and the processing chain (amplification, dynamic amplification, 3D widening and the
// FFT equaliser) that the filter owns and runs on every PCM block of the streaming thread.
#include "DSFilters/dspConst.h"
#include "DSFilters/dspFastFourier.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

// The current stream as the filter hands it to its callbacks: 20 bytes, compared as a whole.
struct TDSStream {
    int32_t Size = 0;       // bytes of the current block
    int32_t Frequency = 0;  // samples per second
    int32_t Channels = 0;
    int32_t Bits = 0;
    bool Float = false;
    bool SPDIF = false;
    bool DTS = false;
    uint8_t Pad = 0;
    bool operator==(const TDSStream&) const = default;
};
static_assert(sizeof(TDSStream) == 20);
using PDSStream = TDSStream*;

// A parameter the GUI thread stores and the streaming thread reads: a plain value that is
// never torn, with no ordering against other memory.
template <class T>
class TRelaxed {
public:
    constexpr TRelaxed(T value = T()) : FValue(value) {}
    TRelaxed(const TRelaxed&) = delete;
    TRelaxed& operator=(const TRelaxed&) = delete;
    operator T() const { return FValue.load(std::memory_order_relaxed); }
    TRelaxed& operator=(T value)
    {
        FValue.store(value, std::memory_order_relaxed);
        return *this;
    }

private:
    std::atomic<T> FValue;
};

// Layout of a PCM block: interleaved, channel c of frame f at sample f × Channels + c.
struct TPCMFormat {
    int Frequency = 0;  // samples per second
    int Bits = 0;       // 8 (unsigned), 16, 24 (packed), 32 (integer or IEEE float)
    int Channels = 0;
    bool Float = false;
    int BytesPerSample() const { return Bits / 8; }
    int FrameBytes() const { return Bits / 8 * Channels; }
    // 8, 16, 24 or 32 bits, float only with 32, at least one channel.
    bool IsValid() const;
};

// Gain table of the equaliser: 10 rows (one per channel) of 8192 amplitude gains, row-major.
// 2.0 is neutral: the kernel is designed from one side of the spectrum.
inline constexpr int EQGainRows = 10;
inline constexpr int EQGainBins = 8192;
inline constexpr int EQGainTableSize = EQGainRows * EQGainBins;
inline constexpr float EQNeutralGain = 2.0f;

// Bin numbers of the ten bands' edges: band b covers bins Edge[b] .. Edge[b + 1] - 1.
extern const std::array<uint16_t, 11> EQBandEdges;
// 19 presets of ten slider positions (60 Hz first; -100..100, negative boosts).
extern const std::array<std::array<int8_t, 10>, 19> EQPresetValues;

// Sets bins Edge[band] .. Edge[band + 1] - 1 of every row of table to 2 × 10^(value / 100);
// a band outside 0..9 changes nothing and answers false.
bool SetGainTableBand(float* table, int band, int8_t value);

// The processing chain. ProcessBlock and the stage operations run on the streaming thread;
// the parameters, the gain-table exchange, EnableEqualizer and ClearEqualizerTails may be
// called from any thread at any time.
class TPvlSPChain {
public:
    TPvlSPChain();
    TPvlSPChain(const TPvlSPChain&) = delete;
    TPvlSPChain& operator=(const TPvlSPChain&) = delete;

    // Runs the enabled stages on the block in place, in sub-blocks of SubBlockFrames frames.
    // A length of 0 or less, or a format that is not one of the five, leaves the block alone.
    void ProcessBlock(void* buffer, int32_t length, int32_t frequency, int bits, int channels, bool isFloat);

    void ApplyAmplify(void* buffer, int32_t length, const TPCMFormat& format);
    void ApplyDynamicAmplify(void* buffer, int32_t length, const TPCMFormat& format);
    void Apply3DSound(void* buffer, int32_t length, const TPCMFormat& format);
    void ApplyEqualizer(void* buffer, int32_t length, const TPCMFormat& format);

    // Transform size of the equaliser (fts1024 from construction); streaming thread only.
    void SetEqualizerSize(TDCFFTSize size);
    // Designs the kernel from row 0 of the gain table; clears the rebuild flag first.
    void RebuildEqualizer(int channels);

    // 81920 singles out or in; a new table is taken at the start of the next block.
    void GetGainTable(float* table) const;
    void SetGainTable(const float* table);
    // The overlap tails are emptied before the equaliser's next block (flush, switching on).
    void ClearEqualizerTails();
    // Switching on clears the tails first.
    void EnableEqualizer(bool value);

    TRelaxed<bool> AmplifyEnabled{false};
    std::array<TRelaxed<int32_t>, 10> Amplify;  // 1/10000 per channel; only channel 0 is applied
    TRelaxed<bool> DynamicAmplifyEnabled{false};
    TRelaxed<int32_t> DynamicMaxAmplify{10000};  // 1/1000: 10000 is ×10
    TRelaxed<int32_t> DynamicReleaseTime{3000};  // ms of hold before the gain may rise
    TRelaxed<int32_t> DynamicAttackTime{1000};   // 1/1000 of gain per second of audio
    TRelaxed<float> CurrentGain{1.0f};           // dynamic gain at the end of the last block
    TRelaxed<bool> Sound3DEnabled{false};
    TRelaxed<int32_t> Sound3DVolume{0};  // 1/10000
    TRelaxed<bool> EqualizerEnabled{false};

    // Streaming thread's own state.
    int64_t HoldLength = 0;   // bytes of the hold time at the current format
    int64_t HoldCounter = 0;  // bytes since the gain last fell
    int32_t SubBlockFrames = 8192;

private:
    void ConvolveChannel(void* buffer, int frames, int channel, const TPCMFormat& format);

    // Equaliser sizes derived from the transform size N.
    int FEQPoints = 0;       // N
    int FEQBlockFrames = 0;  // 3N/4
    int FEQTailLength = 0;   // N/4
    int FEQShift = 0;        // N/8

    TDCFFT FWorkFFT;
    std::array<TDCFFT, EQGainRows> FKernelFFT;
    // Channels × N/4 overhanging values of the last convolution, one row per channel.
    std::vector<float> FTails;
    int FTailChannels = 0;

    mutable std::mutex FGainLock;  // guards FGainTable between the GUI copy and the rebuild
    std::vector<float> FGainTable;
    std::atomic<bool> FRebuild{true};
    std::atomic<bool> FClearTails{true};
};
