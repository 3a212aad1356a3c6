// What the player stands on: Wine's DirectShow renders and plays the files we give it.
#include "framework/SysUtils.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WavWriter.h"
#include "tests/support/WineGraph.h"

#include <gtest/gtest.h>

using namespace pvltest;

TEST(DirectShow, WavFileRendersAndRunsToCompletion)
{
    TComInit com;
    TTempDir dir;
    const std::string wav = dir.File("tone.wav");
    WriteWav(wav, TWavSpec{.Seconds = 0.5}, Sine(440, 0.5, 44100));
    auto graph = NewGraph();
    ASSERT_TRUE(graph);
    ASSERT_EQ(graph->RenderFile(AnsiToWide(wav).c_str(), nullptr), S_OK);
    EXPECT_EQ(RunUntilComplete(graph.Get(), 10000), EC_COMPLETE) << FilterNames(graph.Get());
}

TEST(DirectShow, AviRendersVideoAndAudioWithItsDuration)
{
    const std::string avi = FixturePath("mpeg4_mp3.avi");
    ASSERT_FALSE(avi.empty()) << "fixture missing: run scripts/make-fixtures.sh";
    TComInit com;
    auto graph = NewGraph();
    ASSERT_TRUE(SUCCEEDED(graph->RenderFile(AnsiToWide(avi).c_str(), nullptr)));
    ComPtr<IBasicVideo> video;
    ComPtr<IBasicAudio> audio;
    ASSERT_TRUE(SUCCEEDED(graph.As(&video)));
    long width = 0, height = 0;
    EXPECT_EQ(video->GetVideoSize(&width, &height), S_OK) << FilterNames(graph.Get());
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 240);
    ASSERT_TRUE(SUCCEEDED(graph.As(&audio)));
    long volume = 1;
    EXPECT_EQ(audio->get_Volume(&volume), S_OK) << FilterNames(graph.Get());
    ComPtr<IMediaSeeking> seeking;
    ASSERT_TRUE(SUCCEEDED(graph.As(&seeking)));
    LONGLONG duration = 0;
    ASSERT_EQ(seeking->GetDuration(&duration), S_OK);
    EXPECT_NEAR(static_cast<double>(duration) / 1e7, 2.0, 0.1);
    EXPECT_EQ(RunUntilComplete(graph.Get(), 15000), EC_COMPLETE);
}

TEST(DirectShow, DeclaredInterfaceIdsMatchThePlatformLibrary)
{
    EXPECT_EQ(__uuidof(IBasicAudio), IID_IBasicAudio);
    EXPECT_EQ(__uuidof(IBasicVideo), IID_IBasicVideo);
    EXPECT_EQ(__uuidof(IBasicVideo2), IID_IBasicVideo2);
    EXPECT_EQ(__uuidof(IVideoWindow), IID_IVideoWindow);
    EXPECT_EQ(__uuidof(IMediaEvent), IID_IMediaEvent);
    EXPECT_EQ(__uuidof(IMediaEventEx), IID_IMediaEventEx);
    EXPECT_EQ(__uuidof(IMediaPosition), IID_IMediaPosition);
    EXPECT_EQ(__uuidof(IGraphConfig), IID_IGraphConfig);
    EXPECT_EQ(__uuidof(IAMStreamSelect), IID_IAMStreamSelect);
}
