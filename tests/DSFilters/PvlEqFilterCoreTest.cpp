// The filter's platform-free core: wave formats into the stream description, the time
// arithmetic of a sample, and the visual ring.
#include "DSFilters/PvlEqFilterCore.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using pvltest::TByteWriter;

namespace {

// A WAVEFORMATEX block, or a WAVEFORMATEXTENSIBLE one with the given SubFormat's first word.
std::vector<uint8_t> WaveFormat(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, uint32_t subFormat = 1)
{
    TByteWriter w;
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    w.U16(tag).U16(channels).U32(rate).U32(rate * align).U16(align).U16(bits);
    if (tag == 0xFFFE) {
        w.U16(22).U16(bits).U32(3).U32(subFormat).U16(0x0000).U16(0x0010);
        for (const uint8_t b : {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71})
            w.U8(b);
    } else {
        w.U16(0);
    }
    return w.Bytes;
}

TAudioFormatInfo Pcm(const std::vector<uint8_t>& format)
{
    return {.MajorAudio = true, .SubtypePCM = true, .FormatWaveFormatEx = true, .Format = format.data(), .FormatSize = format.size()};
}

TDSStream Stereo16()
{
    TDSStream s;
    s.Frequency = 44100;
    s.Channels = 2;
    s.Bits = 16;
    return s;
}

// Blocks of 16-bit stereo whose left and right halves hold the frame's index.
std::vector<uint8_t> CountingBlock(uint32_t& frame, int frames)
{
    std::vector<uint8_t> data(static_cast<size_t>(frames) * 4);
    for (int f = 0; f < frames; ++f, ++frame)
        std::memcpy(&data[static_cast<size_t>(f) * 4], &frame, 4);
    return data;
}

uint32_t FrameAt(const std::vector<uint8_t>& block, size_t frame)
{
    uint32_t value = 0;
    std::memcpy(&value, &block[frame * 4], 4);
    return value;
}

// Frames of the block that do not follow the frame before them.
int Breaks(const std::vector<uint8_t>& block, size_t frames)
{
    int breaks = 0;
    for (size_t f = 1; f < frames; ++f)
        breaks += FrameAt(block, f) != FrameAt(block, f - 1) + 1;
    return breaks;
}

int64_t TimeOfFrame(int64_t frame)
{
    return frame * 10000000 / 44100 + 1;
}

}  // namespace

TEST(PvlEqFilterCore, FormatsAreReadOrRefusedInTheFiltersOrder)
{
    struct Case {
        const char* name;
        TAudioFormatInfo info;
        int32_t result;
        int32_t frequency = 0, channels = 0, bits = 0;
        bool isFloat = false, spdif = false, dts = false;
    };
    const auto s16 = WaveFormat(1, 2, 44100, 16);
    const auto s20 = WaveFormat(1, 2, 44100, 20);
    const auto u8 = WaveFormat(1, 1, 8000, 8);
    const auto f32 = WaveFormat(3, 2, 48000, 32);
    const auto extFloat = WaveFormat(0xFFFE, 6, 48000, 32, 3);
    const auto extPcm = WaveFormat(0xFFFE, 6, 48000, 24, 1);
    const auto spdif = WaveFormat(0x0092, 2, 48000, 16);
    const auto ac3 = WaveFormat(0x2000, 2, 48000, 16);
    const auto dts = WaveFormat(0x0008, 2, 48000, 16);
    const auto dts2 = WaveFormat(0x2001, 2, 48000, 16);
    const auto noChannels = WaveFormat(1, 0, 44100, 16);
    const auto noRate = WaveFormat(1, 2, 0, 16);
    const auto maxRate = WaveFormat(1, 2, 768000, 16);
    const auto tooFast = WaveFormat(1, 2, 768001, 16);
    const std::vector<uint8_t> cut(s16.begin(), s16.begin() + 15);
    const std::vector<uint8_t> cutExtensible(extFloat.begin(), extFloat.begin() + 39);
    const int32_t N = PvlEqResult::TypeNotAccepted;
    const Case cases[] = {
        {"16-bit stereo PCM", Pcm(s16), PvlEqResult::OK, 44100, 2, 16, false, false, false},
        {"8-bit mono PCM", Pcm(u8), PvlEqResult::OK, 8000, 1, 8, false, false, false},
        {"float by tag", Pcm(f32), PvlEqResult::OK, 48000, 2, 32, true, false, false},
        {"float by subtype", {.MajorAudio = true, .SubtypeFloat = true, .FormatWaveFormatEx = true, .Format = s16.data(), .FormatSize = s16.size()},
         PvlEqResult::OK, 44100, 2, 16, true, false, false},
        {"extensible with float SubFormat", Pcm(extFloat), PvlEqResult::OK, 48000, 6, 32, true, false, false},
        {"extensible PCM", Pcm(extPcm), PvlEqResult::OK, 48000, 6, 24, false, false, false},
        {"AC3 over S/PDIF", Pcm(spdif), PvlEqResult::OK, 48000, 2, 16, false, true, false},
        {"AC3 tag", Pcm(ac3), PvlEqResult::OK, 48000, 2, 16, false, true, false},
        {"DTS tag", Pcm(dts), PvlEqResult::OK, 48000, 2, 16, false, false, true},
        {"DTS tag 0x2001", Pcm(dts2), PvlEqResult::OK, 48000, 2, 16, false, false, true},
        {"highest rate", Pcm(maxRate), PvlEqResult::OK, 768000, 2, 16, false, false, false},
        {"video", {.SubtypePCM = true, .FormatWaveFormatEx = true, .Format = s16.data(), .FormatSize = s16.size()}, PvlEqResult::InvalidMediaType},
        {"MPEG audio", {.MajorAudio = true, .FormatWaveFormatEx = true, .Format = s16.data(), .FormatSize = s16.size()}, PvlEqResult::InvalidSubtype},
        {"other format type", {.MajorAudio = true, .SubtypePCM = true, .Format = s16.data(), .FormatSize = s16.size()}, N},
        {"20-bit", Pcm(s20), N},
        {"no channels", Pcm(noChannels), N},
        {"rate 0", Pcm(noRate), N},
        {"rate above 768000", Pcm(tooFast), N},
        {"block shorter than the bits", Pcm(cut), N},
        {"extensible without its SubFormat", Pcm(cutExtensible), N},
        {"no block", {.MajorAudio = true, .SubtypePCM = true, .FormatWaveFormatEx = true, .FormatSize = 18}, N},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDSStream stream;
        stream.Size = 4096;
        stream.Frequency = 11025;
        stream.Channels = 1;
        stream.Bits = 8;
        const TDSStream before = stream;
        ASSERT_EQ(ParseAudioFormat(c.info, stream), c.result);
        if (c.result != PvlEqResult::OK) {
            EXPECT_EQ(stream, before);  // a refused type changes nothing
            continue;
        }
        EXPECT_EQ(stream.Size, 4096);
        EXPECT_EQ(stream.Frequency, c.frequency);
        EXPECT_EQ(stream.Channels, c.channels);
        EXPECT_EQ(stream.Bits, c.bits);
        EXPECT_EQ(stream.Float, c.isFloat);
        EXPECT_EQ(stream.SPDIF, c.spdif);
        EXPECT_EQ(stream.DTS, c.dts);
    }
}

TEST(PvlEqFilterCore, TimesOfABlock)
{
    // A 4096-byte block shortened to 2048 bytes lasts 512 frames.
    EXPECT_EQ(BlockDuration(2048, Stereo16()), 116099);
    TDSStream six = Stereo16();
    six.Channels = 6;
    six.Bits = 24;
    six.Frequency = 48000;
    EXPECT_EQ(BlockDuration(18 * 48000, six), 10000000);
    EXPECT_EQ(BlockDuration(4096, TDSStream{}), 0);
    EXPECT_EQ(DelayTime(500), 5000000);
    EXPECT_EQ(DelayTime(300000), 3000000000LL);  // beyond 32 bits, still right
    EXPECT_EQ(DelayTime(-250), -2500000);
}

TEST(PvlEqFilterCore, NewSizeIsClampedToWholeFramesOfTheSample)
{
    struct Case {
        int32_t newSize, capacity, frameBytes, expected;
    };
    const Case cases[] = {
        {2048, 4096, 4, 2048}, {2050, 4096, 4, 2048}, {-8, 4096, 4, 0},     {5000, 4096, 4, 4096},
        {5000, 4099, 4, 4096}, {4096, 4096, 6, 4092}, {100, 4096, 0, 100}, {10, -1, 4, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClampNewSize(c.newSize, c.capacity, c.frameBytes), c.expected) << c.newSize << " in " << c.capacity;
}

TEST(PvlEqFilterCore, RingIsSizedForFourSecondsAndSpareRoom)
{
    TPvlVisualRing ring;
    EXPECT_FALSE(ring.HasBuffer());
    ring.Reset(Stereo16());
    ASSERT_TRUE(ring.HasBuffer());
    EXPECT_EQ(ring.MainSize(), 44100 * 4 * 4);
    EXPECT_EQ(ring.SpareSize(), 4 * 65536);
    EXPECT_DOUBLE_EQ(ring.TimePerByte(), 10000000.0 / 44100 / 2 / 2);
    EXPECT_EQ(ring.Fill(), 0);
    EXPECT_EQ(ring.RingStart(), 0);

    // A description no memory could hold leaves the ring out instead of failing.
    TDSStream huge = Stereo16();
    huge.Channels = 65535;
    huge.Bits = 32;
    huge.Frequency = 768000;
    ring.Reset(huge);
    EXPECT_FALSE(ring.HasBuffer());
    std::vector<uint8_t> block;
    uint8_t sample[16] = {};
    ring.Write(sample, sizeof sample, huge);
    EXPECT_FALSE(ring.LookupPlaying(0, false, block));
}

TEST(PvlEqFilterCore, RingFindsTheFramePlayingAtATimeWhileFillingAndAfterWrapping)
{
    TPvlVisualRing ring;
    ring.Reset(Stereo16());
    uint32_t frame = 0;
    std::vector<uint8_t> block;
    for (int b = 0; b < 200; ++b) {  // 20 s in blocks of 0.1 s: filling, full, several wraps
        const auto data = CountingBlock(frame, 4410);
        ring.Write(data.data(), static_cast<int64_t>(data.size()), Stereo16());
        const int64_t oldest = ring.RingStart() * 44100 / 10000000;
        // Frames off the block grid: exactly at the ring's length the lookup reads the
        // spare room, which holds the wrapped data only once the ring has wrapped.
        for (int64_t want : {oldest + 10, oldest + 44111, static_cast<int64_t>(frame) - 30007, static_cast<int64_t>(frame) - 4400}) {
            if (want < oldest || want >= frame)
                continue;
            ASSERT_TRUE(ring.LookupPlaying(TimeOfFrame(want), false, block)) << "block " << b << " frame " << want;
            ASSERT_EQ(block.size(), 16384u * 4);
            EXPECT_EQ(FrameAt(block, 0), want) << "block " << b;
        }
    }
    EXPECT_FALSE(ring.LookupPlaying(ring.RingStart() - 1, false, block));
}

TEST(PvlEqFilterCore, RingMirrorsTheWrappedBlocksBehindItsEnd)
{
    TPvlVisualRing ring;
    ring.Reset(Stereo16());
    uint32_t frame = 0;
    std::vector<uint8_t> block;
    auto readNearEnd = [&] {
        // The 16384 frames that start 2205 frames before the ring's end.
        int64_t offset = ring.Fill() - 8820 - ring.WritePos();
        if (offset < 0)
            offset += ring.Fill();
        EXPECT_TRUE(ring.LookupPlaying(ring.RingStart() + static_cast<int64_t>(offset * ring.TimePerByte()) + 1, false, block));
    };
    int64_t before = 0;
    for (int b = 0; b < 90; ++b) {
        before = ring.WritePos();
        const auto data = CountingBlock(frame, 4410);
        ring.Write(data.data(), static_cast<int64_t>(data.size()), Stereo16());
        if (before > ring.MainSize()) {
            // Right after the wrap the end of the ring runs on into the block just written.
            readNearEnd();
            EXPECT_EQ(Breaks(block, 2205 + 4410), 0);
        }
    }
    // Once the blocks after the wrap fill the spare room, a read across the end is whole.
    readNearEnd();
    EXPECT_EQ(Breaks(block, 16384), 0);
}

TEST(PvlEqFilterCore, BlockLongerThanTheSpareRoomKeepsItsNewestPart)
{
    struct Case {
        const char* name;
        int seconds;  // of ordinary blocks before the long one
    };
    for (const Case c : {Case{"while filling", 0}, Case{"when full", 6}}) {
        SCOPED_TRACE(c.name);
        TPvlVisualRing ring;
        ring.Reset(Stereo16());
        uint32_t frame = 0;
        for (int b = 0; b < c.seconds * 10; ++b) {
            const auto data = CountingBlock(frame, 4410);
            ring.Write(data.data(), static_cast<int64_t>(data.size()), Stereo16());
        }
        const int64_t startBefore = ring.RingStart();
        const int64_t fillBefore = ring.Fill();
        const auto longBlock = CountingBlock(frame, 352800);  // 8 s, the largest sample the filter asks for
        ring.Write(longBlock.data(), static_cast<int64_t>(longBlock.size()), Stereo16());
        const int64_t dropped = static_cast<int64_t>(longBlock.size()) - ring.SpareSize();
        const int64_t advance = c.seconds == 0 ? dropped : static_cast<int64_t>(longBlock.size());
        EXPECT_EQ(ring.RingStart() - startBefore, static_cast<int64_t>(advance * ring.TimePerByte()));
        if (c.seconds == 0)
            EXPECT_EQ(ring.Fill(), ring.SpareSize());
        else
            EXPECT_EQ(ring.Fill(), fillBefore);
        // The newest data sits where the clock expects it.
        std::vector<uint8_t> block;
        ASSERT_TRUE(ring.LookupPlaying(TimeOfFrame(frame - 20000), false, block));
        EXPECT_EQ(FrameAt(block, 0), frame - 20000);
    }
}

TEST(PvlEqFilterCore, FlushEmptiesTheRingAndTheNextSampleSetsItsStart)
{
    TPvlVisualRing ring;
    ring.Reset(Stereo16());
    EXPECT_TRUE(ring.FirstSample());
    uint32_t frame = 0;
    const auto data = CountingBlock(frame, 4410);
    // Right after connecting the ring starts at 0; a later sample changes nothing.
    ring.NoteSampleStart(1000000, 1000000);
    EXPECT_EQ(ring.RingStart(), 0);
    ring.Write(data.data(), static_cast<int64_t>(data.size()), Stereo16());
    std::vector<uint8_t> block;
    EXPECT_TRUE(ring.LookupPlaying(0, false, block));

    ring.Flush();
    EXPECT_EQ(ring.Fill(), 0);
    EXPECT_EQ(ring.RingStart(), -1);
    EXPECT_FALSE(ring.LookupPlaying(0, false, block));
    // The first sample after connecting starts the ring at its own start...
    ring.NoteSampleStart(50000000, 1000000);
    EXPECT_EQ(ring.RingStart(), 50000000);
    EXPECT_FALSE(ring.FirstSample());
    // ...every later one one sample earlier; and an earlier sample moves the start back.
    ring.Flush();
    ring.NoteSampleStart(70000000, 1000000);
    EXPECT_EQ(ring.RingStart(), 69000000);
    ring.NoteSampleStart(68000000, 1000000);
    EXPECT_EQ(ring.RingStart(), 67000000);
    ring.MarkFirstSample();
    ring.NoteSampleStart(60000000, 1000000);
    EXPECT_EQ(ring.RingStart(), 60000000);
}

TEST(PvlEqFilterCore, PassThroughStreamsNeverEnterTheRing)
{
    for (const bool spdif : {true, false}) {
        TDSStream stream = Stereo16();
        stream.SPDIF = spdif;
        stream.DTS = !spdif;
        TPvlVisualRing ring;
        ring.Reset(stream);
        uint32_t frame = 0;
        const auto data = CountingBlock(frame, 4410);
        ring.Write(data.data(), static_cast<int64_t>(data.size()), stream);
        EXPECT_EQ(ring.Fill(), 0);
        std::vector<uint8_t> block;
        EXPECT_FALSE(ring.LookupPlaying(0, false, block));
    }
}

TEST(PvlEqFilterCore, DvdLooksTwoPointNineTwoSecondsPastTheOldestData)
{
    TPvlVisualRing ring;
    ring.Reset(Stereo16());
    uint32_t frame = 0;
    for (int b = 0; b < 30; ++b) {
        const auto data = CountingBlock(frame, 4410);
        ring.Write(data.data(), static_cast<int64_t>(data.size()), Stereo16());
    }
    std::vector<uint8_t> block;
    ASSERT_TRUE(ring.LookupPlaying(123, true, block));  // the stream time plays no part
    EXPECT_EQ(FrameAt(block, 0), 128772u);              // 2.92 s at 44100 Hz
}

TEST(PvlEqFilterCore, RingRemembersTheLatestDescription)
{
    TPvlVisualRing ring;
    TDSStream stream = Stereo16();
    ring.Reset(stream);
    EXPECT_EQ(ring.Latest(), stream);
    stream.Size = 4410 * 4;
    uint32_t frame = 0;
    const auto data = CountingBlock(frame, 4410);
    ring.Write(data.data(), static_cast<int64_t>(data.size()), stream);
    EXPECT_EQ(ring.Latest().Size, 4410 * 4);
}
