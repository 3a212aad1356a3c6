// Stream descriptions read from format blocks, with every read checked against the block size.
#include "engine/StreamDescriptionsCore.h"

#include "engine/CodecNames.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace pvltest;

namespace {

// A VIDEOINFOHEADER (bitmap at 48) or VIDEOINFOHEADER2 (bitmap at 72) with a full bitmap header.
std::vector<uint8_t> VideoBlock(size_t bitmapOffset, int64_t frameTime, int32_t width, int32_t height,
                                uint16_t bits, uint32_t compression)
{
    TByteWriter w;
    w.Zeros(40).U64(static_cast<uint64_t>(frameTime)).Zeros(bitmapOffset - 48);
    w.U32(40).U32(static_cast<uint32_t>(width)).U32(static_cast<uint32_t>(height)).U16(1).U16(bits).U32(compression);
    w.Zeros(20);
    return w.Bytes;
}

std::vector<uint8_t> WaveFormatBlock(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t avgBytes)
{
    TByteWriter w;
    w.U16(tag).U16(channels).U32(rate).U32(avgBytes).U16(4).U16(16).U16(0);
    return w.Bytes;
}

TVideoStreamDescription Untouched()
{
    TVideoStreamDescription d;
    d.Compression = 7;
    d.Name = "before";
    d.Width = -1;
    d.FrameRate = 1.5;
    return d;
}

}  // namespace

TEST(StreamDescriptionsCore, VideoHeadersOfEveryKindAreRead)
{
    const struct {
        TVideoFormatKind Kind;
        size_t Offset;
    } kinds[] = {
        {TVideoFormatKind::VideoInfo, 48}, {TVideoFormatKind::MpegVideo, 48},
        {TVideoFormatKind::VideoInfo2, 72}, {TVideoFormatKind::Mpeg2Video, 72},
    };
    for (const auto& k : kinds) {
        const auto block = VideoBlock(k.Offset, 400000, 640, -480, 24, FourCC("XVID"));
        TVideoStreamDescription d;
        ASSERT_TRUE(DescribeVideoFormat(k.Kind, block.data(), block.size(), d)) << k.Offset;
        EXPECT_EQ(d.Compression, FourCC("XVID"));
        EXPECT_EQ(d.Name, "XviD MPEG-4 codec");
        EXPECT_EQ(d.Width, 640);
        EXPECT_EQ(d.Height, -480);
        EXPECT_EQ(d.BitCount, 24);
        EXPECT_DOUBLE_EQ(d.FrameRate, 25.0);
    }
}

TEST(StreamDescriptionsCore, FrameRateIsZeroForAFrameTimeThatIsNotPositive)
{
    for (int64_t frameTime : {int64_t{0}, int64_t{-400000}}) {
        const auto block = VideoBlock(48, frameTime, 320, 240, 12, FourCC("YV12"));
        TVideoStreamDescription d = Untouched();
        ASSERT_TRUE(DescribeVideoFormat(TVideoFormatKind::VideoInfo, block.data(), block.size(), d));
        EXPECT_EQ(d.FrameRate, 0.0) << frameTime;
    }
}

TEST(StreamDescriptionsCore, AVideoBlockTooShortForTheFieldsReadLeavesTheRecord)
{
    const auto info = VideoBlock(48, 400000, 320, 240, 24, 0);
    const auto info2 = VideoBlock(72, 400000, 320, 240, 24, 0);
    const struct {
        TVideoFormatKind Kind;
        const std::vector<uint8_t>* Block;
        size_t Size;
    } cases[] = {
        {TVideoFormatKind::VideoInfo, &info, 67},   // ends inside biCompression
        {TVideoFormatKind::VideoInfo2, &info2, 91},
        {TVideoFormatKind::VideoInfo2, &info, info.size()},  // a VIDEOINFOHEADER read as the longer kind
        {TVideoFormatKind::VideoInfo, &info, 0},
    };
    for (const auto& c : cases) {
        TVideoStreamDescription d = Untouched();
        EXPECT_FALSE(DescribeVideoFormat(c.Kind, c.Block->data(), c.Size, d)) << c.Size;
        EXPECT_EQ(d.Name, "before");
        EXPECT_EQ(d.Width, -1);
        EXPECT_EQ(d.FrameRate, 1.5);
    }
    TVideoStreamDescription d = Untouched();
    EXPECT_FALSE(DescribeVideoFormat(TVideoFormatKind::VideoInfo, nullptr, 100, d));
    EXPECT_EQ(d.Compression, 7u);
}

TEST(StreamDescriptionsCore, ExactlyLongEnoughVideoBlockIsRead)
{
    const auto block = VideoBlock(48, 333667, 720, 576, 16, FourCC("YUY2"));
    TVideoStreamDescription d;
    ASSERT_TRUE(DescribeVideoFormat(TVideoFormatKind::VideoInfo, block.data(), 68, d));
    EXPECT_EQ(d.Compression, FourCC("YUY2"));
    EXPECT_NEAR(d.FrameRate, 29.97, 0.001);
}

TEST(StreamDescriptionsCore, WaveFormatGivesTagNameRateAndChannels)
{
    const auto block = WaveFormatBlock(0x55, 2, 44100, 16000);
    TAudioStreamDescription d;
    ASSERT_TRUE(DescribeAudioFormat(TAudioFormatKind::WaveFormatEx, block.data(), block.size(), d));
    EXPECT_EQ(d.FormatTag, 0x55u);
    EXPECT_EQ(d.Name, "MPEG1 Layer-3");
    EXPECT_EQ(d.Channels, 2);
    EXPECT_EQ(d.SamplesPerSec, 44100);
    EXPECT_EQ(d.AvgBytesPerSec, 16000.0);

    const auto big = WaveFormatBlock(1, 6, 768000, 0xFFFFFFF0u);
    ASSERT_TRUE(DescribeAudioFormat(TAudioFormatKind::WaveFormatEx, big.data(), 12, d));
    EXPECT_EQ(d.AvgBytesPerSec, 4294967280.0);  // unsigned, not negative
}

TEST(StreamDescriptionsCore, ChannelsRateBlockLeavesTheTagAndName)
{
    TByteWriter w;
    w.U16(6).U16(0).U32(48000).U32(0).U32(576000);
    TAudioStreamDescription d;
    d.FormatTag = 9;
    d.Name = "kept";
    ASSERT_TRUE(DescribeAudioFormat(TAudioFormatKind::ChannelsRateBlock, w.Bytes.data(), w.Size(), d));
    EXPECT_EQ(d.Channels, 6);
    EXPECT_EQ(d.SamplesPerSec, 48000);
    EXPECT_EQ(d.AvgBytesPerSec, 576000.0);
    EXPECT_EQ(d.FormatTag, 9u);
    EXPECT_EQ(d.Name, "kept");
}

TEST(StreamDescriptionsCore, AShortAudioBlockIsNoMatch)
{
    const auto wave = WaveFormatBlock(1, 2, 44100, 176400);
    const std::pair<TAudioFormatKind, size_t> cases[] = {
        {TAudioFormatKind::WaveFormatEx, 11}, {TAudioFormatKind::ChannelsRateBlock, 15}, {TAudioFormatKind::WaveFormatEx, 0},
    };
    for (const auto& [kind, size] : cases) {
        TAudioStreamDescription d;
        d.Channels = -3;
        EXPECT_FALSE(DescribeAudioFormat(kind, wave.data(), size, d)) << size;
        EXPECT_EQ(d.Channels, -3);
        EXPECT_TRUE(d.Name.empty());
    }
}
