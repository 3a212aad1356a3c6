// Stream descriptions of the media types this platform's splitters produce, and lengths
// through the media detector.
#include "engine/StreamDescriptions.h"

#include "engine/CodecNames.h"
#include "engine/MyDSUtils.h"
#include "playlist/PlayListHost.h"
#include "tests/support/TagWriter.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WavWriter.h"
#include "tests/support/WineGraph.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

using namespace pvltest;

namespace {

// The first media types of a splitter's output pins; a pin that offers none is left out.
std::vector<TMediaTypePtr> OutputTypes(IBaseFilter* splitter)
{
    std::vector<TMediaTypePtr> types;
    ComPtr<IEnumPins> pins;
    splitter->EnumPins(&pins);
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        PIN_DIRECTION direction;
        pin->QueryDirection(&direction);
        TMediaTypePtr type;
        if (direction == PINDIR_OUTPUT && GetPinMediaType(pin.Get(), type) == S_OK)
            types.push_back(std::move(type));
    }
    return types;
}

// The types of the splitter that takes the file's stream, searched as the graph build does.
std::vector<TMediaTypePtr> MatchingSplitterTypes(const std::string& fileName)
{
    auto graph = NewGraph();
    ComPtr<IBaseFilter> source;
    if (graph->AddSourceFilter(AnsiToWide(fileName).c_str(), L"source", &source) != S_OK)
        return {};
    ComPtr<IBaseFilter> splitter;
    ConnectMatchingSplitter(graph.Get(), FindPin(source.Get(), PINDIR_OUTPUT).Get(), splitter);
    return splitter ? OutputTypes(splitter.Get()) : std::vector<TMediaTypePtr>{};
}

// The types of the splitter the platform chooses when it renders the file itself: the filter
// whose input takes the byte stream.
std::vector<TMediaTypePtr> RenderedSplitterTypes(const std::string& fileName)
{
    auto graph = NewGraph();
    if (FAILED(graph->RenderFile(AnsiToWide(fileName).c_str(), nullptr)))
        return {};
    ComPtr<IEnumFilters> filters;
    graph->EnumFilters(&filters);
    ComPtr<IBaseFilter> filter;
    while (filters->Next(1, filter.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        ComPtr<IPin> input = FindPin(filter.Get(), PINDIR_INPUT);
        AM_MEDIA_TYPE connection{};
        if (input && input->ConnectionMediaType(&connection) == S_OK) {
            const bool takesStream = connection.majortype == MEDIATYPE_Stream;
            FreeMediaType(connection);
            if (takesStream)
                return OutputTypes(filter.Get());
        }
    }
    return {};
}

const AM_MEDIA_TYPE* Find(const std::vector<TMediaTypePtr>& types, bool (*test)(const AM_MEDIA_TYPE*))
{
    for (const auto& type : types)
        if (test(type.get()))
            return type.get();
    return nullptr;
}

}  // namespace

TEST(StreamDescriptions, AviSplitterStreamsAreDescribed)
{
    TComInit com;
    const auto types = MatchingSplitterTypes(FixturePath("uncompressed.avi"));
    const AM_MEDIA_TYPE* videoType = Find(types, IsVideoMediaType);
    ASSERT_TRUE(videoType);
    EXPECT_FALSE(IsAudioMediaType(videoType));
    TVideoStreamDescription video;
    DescribeVideoStream(videoType, video);
    EXPECT_EQ(video.Compression, 0u);
    EXPECT_EQ(video.Name, "Unknown (RGB)");
    EXPECT_EQ(video.Width, 160);
    EXPECT_EQ(video.Height, 120);
    EXPECT_EQ(video.BitCount, 24);
    EXPECT_DOUBLE_EQ(video.FrameRate, 10.0);

    const AM_MEDIA_TYPE* audioType = Find(types, IsAudioMediaType);
    ASSERT_TRUE(audioType);
    EXPECT_FALSE(IsVideoMediaType(audioType));
    TAudioStreamDescription audio;
    DescribeAudioStream(audioType, audio);
    EXPECT_EQ(audio.FormatTag, 1u);
    EXPECT_EQ(audio.Name, "PCM");
    EXPECT_EQ(audio.Channels, 1);
    EXPECT_EQ(audio.SamplesPerSec, 44100);
    EXPECT_EQ(audio.AvgBytesPerSec, 88200.0);
}

TEST(StreamDescriptions, CompressedAudioOfTheAviSplitterAndTheMpegSplitter)
{
    TComInit com;
    const struct {
        const char* File;
        int32_t Channels;
    } cases[] = {{"mpeg4_mp3.avi", 2}, {"tone.mp3", 1}};
    for (const auto& c : cases) {
        const auto types = MatchingSplitterTypes(FixturePath(c.File));
        const AM_MEDIA_TYPE* audioType = Find(types, IsAudioMediaType);
        ASSERT_TRUE(audioType) << c.File;
        TAudioStreamDescription audio;
        DescribeAudioStream(audioType, audio);
        EXPECT_EQ(audio.FormatTag, 0x55u) << c.File;
        EXPECT_EQ(audio.Name, "MPEG1 Layer-3");
        EXPECT_EQ(audio.Channels, c.Channels) << c.File;
        EXPECT_EQ(audio.SamplesPerSec, 44100);
    }
}

TEST(StreamDescriptions, DecodedStreamsOfThePlatformsOwnSplitter)
{
    TComInit com;
    for (const char* file : {"mpeg1.mpg", "clip.wmv"}) {
        const auto types = RenderedSplitterTypes(FixturePath(file));
        const AM_MEDIA_TYPE* videoType = Find(types, IsVideoMediaType);
        ASSERT_TRUE(videoType) << file;
        TVideoStreamDescription video;
        DescribeVideoStream(videoType, video);
        EXPECT_EQ(video.Width, 320) << file;
        EXPECT_EQ(std::abs(video.Height), 240) << file;
        EXPECT_NEAR(video.FrameRate, 25.0, 0.01) << file;
        EXPECT_EQ(video.Name, FourCCToDescription(video.Compression));
        const AM_MEDIA_TYPE* audioType = Find(types, IsAudioMediaType);
        ASSERT_TRUE(audioType) << file;
        TAudioStreamDescription audio;
        DescribeAudioStream(audioType, audio);
        EXPECT_EQ(audio.SamplesPerSec, 44100) << file;
        EXPECT_EQ(audio.Name, WaveFormatTagToName(audio.FormatTag));
        EXPECT_GT(audio.AvgBytesPerSec, 0) << file;
    }
}

TEST(StreamDescriptions, TypesWithoutMatchOrBlockLeaveTheRecord)
{
    AM_MEDIA_TYPE type{};
    type.majortype = MEDIATYPE_Video;
    type.formattype = FORMAT_VideoInfo;
    TVideoStreamDescription video;
    video.Width = -7;
    DescribeVideoStream(&type, video);  // no block
    DescribeVideoStream(nullptr, video);
    VIDEOINFOHEADER header{};
    header.bmiHeader.biWidth = 99;
    type.cbFormat = sizeof header;
    type.pbFormat = reinterpret_cast<BYTE*>(&header);
    type.formattype = FORMAT_WaveFormatEx;  // a format this description does not read
    DescribeVideoStream(&type, video);
    type.formattype = FORMAT_VideoInfo2;    // a block too short for the longer header
    DescribeVideoStream(&type, video);
    EXPECT_EQ(video.Width, -7);
    type.formattype = FORMAT_VideoInfo;
    DescribeVideoStream(&type, video);
    EXPECT_EQ(video.Width, 99);

    TAudioStreamDescription audio;
    audio.Channels = -7;
    type.majortype = MEDIATYPE_Audio;
    DescribeAudioStream(&type, audio);  // a VIDEOINFOHEADER is no audio format
    type.pbFormat = nullptr;
    type.formattype = FORMAT_WaveFormatEx;
    DescribeAudioStream(&type, audio);
    EXPECT_EQ(audio.Channels, -7);
}

TEST(StreamDescriptions, AudioAndVideoTestsByMajorTypeOrSubtype)
{
    const GUID mpeg2Audio = {0xE06D802B, 0xDB46, 0x11CF, {0xB4, 0xD1, 0x00, 0x80, 0x5F, 0x6C, 0xBB, 0xEA}};
    const GUID mpeg2Video = {0xE06D8026, 0xDB46, 0x11CF, {0xB4, 0xD1, 0x00, 0x80, 0x5F, 0x6C, 0xBB, 0xEA}};
    const struct {
        GUID Major, Sub;
        bool Audio, Video;
    } cases[] = {
        {MEDIATYPE_Audio, GUID_NULL, true, false},
        {MEDIATYPE_Video, GUID_NULL, false, true},
        {MEDIATYPE_Stream, MEDIASUBTYPE_MPEG1AudioPayload, true, false},
        {MEDIATYPE_Stream, MEDIASUBTYPE_MPEG1Audio, true, false},
        {MEDIATYPE_Stream, mpeg2Audio, true, false},
        {MEDIATYPE_Stream, MEDIASUBTYPE_MPEG1Video, false, true},
        {MEDIATYPE_Stream, mpeg2Video, false, true},
        {MEDIATYPE_Stream, MEDIASUBTYPE_Avi, false, false},
        {MEDIATYPE_Text, GUID_NULL, false, false},
    };
    for (const auto& c : cases) {
        AM_MEDIA_TYPE type{};
        type.majortype = c.Major;
        type.subtype = c.Sub;
        EXPECT_EQ(IsAudioMediaType(&type), c.Audio);
        EXPECT_EQ(IsVideoMediaType(&type), c.Video);
    }
    EXPECT_FALSE(IsAudioMediaType(nullptr));
    EXPECT_FALSE(IsVideoMediaType(nullptr));
}

TEST(MediaInfo, LengthsAreTenthsRoundedHalfToEven)
{
    TComInit com;
    TTempDir dir;
    const std::pair<double, int32_t> cases[] = {{3.25, 32}, {3.26, 33}, {2.75, 28}, {10.0, 100}};
    for (const auto& [seconds, tenths] : cases) {
        const std::string wav = dir.File("tone" + std::to_string(tenths) + ".wav");
        WriteWav(wav, TWavSpec{.SampleRate = 8000, .Channels = 1, .Seconds = seconds}, Sine(440, 0.2, 8000));
        const auto info = GetMediaInfo(wav);
        ASSERT_TRUE(info) << seconds;
        EXPECT_EQ(info->Length, tenths) << seconds;
        EXPECT_TRUE(info->Title.empty());
    }
}

TEST(MediaInfo, AMissingFileGivesNoRecordAndAnUnreadableOneNoLength)
{
    TComInit com;
    TTempDir dir;
    EXPECT_FALSE(GetMediaInfo(dir.File("missing.wav")));
    WriteAll(dir.File("notes.txt"), "not a media file at all");
    const auto info = GetMediaInfo(dir.File("notes.txt"));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Length, -1);
    EXPECT_TRUE(info->Title.empty());
}

TEST(MediaInfo, TheTitleComesFromTheTagsAlsoWithoutALength)
{
    TComInit com;
    TTempDir dir;
    WriteAll(dir.File("notes.mp3"), Bytes("no audio in here") + Id3v1Record("Tagged Title", "", "", "", "", 0, 0));
    const auto info = GetMediaInfo(dir.File("notes.mp3"));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Length, -1);
    EXPECT_EQ(info->Title, "Tagged Title");
}

TEST(MediaInfo, IsTheFetchThePlayListsDetailThreadTakes)
{
    TComInit com;
    TTempDir dir;
    WriteWav(dir.File("a.wav"), TWavSpec{.SampleRate = 8000, .Channels = 1, .Seconds = 0.5}, Sine(440, 0.2, 8000));
    const TGetMediaInfoFunc fetch = GetMediaInfo;
    const auto info = fetch(dir.File("a.wav"));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Length, 5);
}

TEST(MediaInfo, WorksOnAThreadOfItsOwn)
{
    TTempDir dir;
    WriteWav(dir.File("a.wav"), TWavSpec{.SampleRate = 8000, .Channels = 1, .Seconds = 1.5}, Sine(440, 0.2, 8000));
    int32_t length = 0;
    std::thread worker([&] {
        const auto info = GetMediaInfo(dir.File("a.wav"));
        length = info ? info->Length : -2;
    });
    worker.join();
    EXPECT_EQ(length, 15);
}
