// The subtitle filter control against a double of the filter registered under its class
// ids, in Wine graphs of our test source and sink.
#include "dshow/BCUnknown.h"
#include "engine/DirectVobSub.h"
#include "tests/engine/AudioChainFixture.h"
#include "tests/support/DirectVobSubDouble.h"
#include "tests/support/TestFilters.h"

using namespace pvltest;

namespace {

class DirectVobSubFilterTest : public ::testing::Test {
protected:
    TComInit Com;
};

TBCMediaType VideoType()
{
    VIDEOINFOHEADER info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = 16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = 16 * 16 * 4;
    info.AvgTimePerFrame = 400000;
    TBCMediaType type;
    type->majortype = MEDIATYPE_Video;
    type->subtype = MEDIASUBTYPE_RGB32;
    type->formattype = FORMAT_VideoInfo;
    type->bFixedSizeSamples = TRUE;
    type->lSampleSize = info.bmiHeader.biSizeImage;
    type.SetFormat(&info, sizeof info);
    return type;
}

TBCMediaType TextType()
{
    TBCMediaType type;
    type->majortype = MEDIATYPE_Text;
    type->formattype = FORMAT_None;
    return type;
}

std::vector<TTestSample> Frames(int count, size_t size)
{
    std::vector<TTestSample> frames;
    for (int i = 0; i < count; ++i) {
        TTestSample frame;
        frame.Data.assign(size, static_cast<uint8_t>(i));
        frame.Timed = true;
        frame.Start = i * 400000LL;
        frame.Stop = (i + 1) * 400000LL;
        frames.push_back(std::move(frame));
    }
    return frames;
}

}  // namespace

TEST_F(DirectVobSubFilterTest, LoadedCreatesTheFilterOfTheClassUseAutoloadChooses)
{
    TDirectVobSubDouble outside;
    ASSERT_EQ(outside.Result(), S_OK);
    TDirectVobSub normal(nullptr);
    EXPECT_FALSE(normal.IsFilterPresent());  // not before Loaded
    normal.ReadStoredProperties();
    ASSERT_TRUE(normal.IsFilterPresent());
    EXPECT_EQ(outside.State().CreatedAs, CLSID_DirectVobSub);
    // The stored values were set before the filter existed: none reached it.
    EXPECT_TRUE(outside.Calls().Calls().empty());

    TDirectVobSub autoload(nullptr);
    autoload.UseAutoload = true;
    autoload.Loaded();
    ASSERT_TRUE(autoload.IsFilterPresent());
    EXPECT_EQ(outside.State().CreatedAs, CLSID_DirectVobSubAutoload);
    // A later change makes no other filter.
    IBaseFilter* const made = autoload.Filter();
    autoload.UseAutoload = false;
    autoload.Loaded();
    EXPECT_EQ(autoload.Filter(), made);
    EXPECT_EQ(outside.State().Instances, 2);
}

TEST_F(DirectVobSubFilterTest, PropertiesReadAndWriteTheFilterDirectly)
{
    TDirectVobSubDouble outside;
    TDirectVobSub subtitles(nullptr);
    subtitles.ReadStoredProperties();
    TSubtitleState& s = outside.State();
    s.Languages = {L"English", L"Deutsch", L"Fran\u00e7ais"};

    subtitles.SetFilename(L"C:\\movies\\film.srt");
    EXPECT_EQ(s.FileName, L"C:\\movies\\film.srt");
    EXPECT_EQ(subtitles.Filename(), L"C:\\movies\\film.srt");
    subtitles.SetSelectedLanguage(2);
    EXPECT_EQ(s.SelectedLanguage, 2);
    s.SelectedLanguage = 1;
    EXPECT_EQ(subtitles.SelectedLanguage(), 1);
    subtitles.SetHideSubtitles(true);
    subtitles.SetPreBuffering(true);
    EXPECT_TRUE(s.HideSubtitles);
    EXPECT_TRUE(s.PreBuffering);
    EXPECT_EQ(outside.Calls().CallsTo(10).back().Args, std::vector<double>{1});
    EXPECT_EQ(outside.Calls().CallsTo(12).back().Args, std::vector<double>{1});
    s.HideSubtitles = false;
    EXPECT_FALSE(subtitles.HideSubtitles());
    EXPECT_TRUE(subtitles.PreBuffering());
    EXPECT_EQ(subtitles.LanguageCount(), 3);
    EXPECT_EQ(subtitles.GetLanguageName(1), "Deutsch");
    EXPECT_EQ(subtitles.GetLanguageName(3), "");
    EXPECT_EQ(subtitles.GetLanguageName(-1), "");
}

TEST_F(DirectVobSubFilterTest, FailedCallsGiveTheDefaults)
{
    TDirectVobSubDouble outside;
    TDirectVobSub subtitles(nullptr);
    subtitles.Loaded();
    TSubtitleState& s = outside.State();
    s.FileName = L"film.srt";
    s.Languages = {L"English"};
    s.SelectedLanguage = 0;
    s.HideSubtitles = true;
    s.PreBuffering = true;
    for (int slot : {3, 5, 6, 7, 9, 11})
        outside.Calls().FailSlot(slot);
    EXPECT_EQ(subtitles.Filename(), L"");
    EXPECT_EQ(subtitles.LanguageCount(), 0);
    EXPECT_EQ(subtitles.GetLanguageName(0), "");
    EXPECT_EQ(subtitles.SelectedLanguage(), -1);
    EXPECT_FALSE(subtitles.HideSubtitles());
    EXPECT_FALSE(subtitles.PreBuffering());
}

TEST_F(DirectVobSubFilterTest, LanguageNameIsCopiedAndStaysTheFilters)
{
    TDirectVobSubDouble outside;
    {
        TDirectVobSub subtitles(nullptr);
        subtitles.Loaded();
        outside.State().Languages = {L"English", L"Deutsch"};
        EXPECT_EQ(subtitles.GetLanguageName(0), "English");
        EXPECT_EQ(subtitles.GetLanguageName(1), "Deutsch");
        // The filter's texts are still allocated: the control did not free them.
        ComPtr<IMalloc> malloc;
        ASSERT_EQ(CoGetMalloc(1, &malloc), S_OK);
        EXPECT_EQ(malloc->DidAlloc(const_cast<WCHAR*>(outside.State().LastName)), 1);
        EXPECT_EQ(outside.State().NamesHandedOut, 2);
    }
    EXPECT_EQ(outside.State().Instances, 0);
    EXPECT_EQ(outside.State().NamesHandedOut, 0);  // freed by the filter as it went
}

TEST_F(DirectVobSubFilterTest, LongFileNameReadsBackCutToTheBuffer)
{
    TDirectVobSubDouble outside;
    TDirectVobSub subtitles(nullptr);
    subtitles.Loaded();
    const std::wstring name = L"C:\\" + std::wstring(296, L'x') + L".srt";
    subtitles.SetFilename(name);
    EXPECT_EQ(outside.State().FileName, name);
    EXPECT_EQ(subtitles.Filename(), name.substr(0, 259));
    // A filter that fills the whole buffer without a terminator still gives 259 characters.
    outside.State().FillFileNameBuffer = true;
    EXPECT_EQ(subtitles.Filename(), name.substr(0, 259));
}

TEST_F(DirectVobSubFilterTest, FilterWithoutOutputIsReleased)
{
    TDirectVobSubDouble outside(TSubtitleOptions{.Output = false});
    TDirectVobSub subtitles(nullptr);
    subtitles.Loaded();
    EXPECT_FALSE(subtitles.IsFilterPresent());
    EXPECT_EQ(outside.State().Instances, 0);
    EXPECT_EQ(subtitles.SelectedLanguage(), -1);
}

TEST_F(DirectVobSubFilterTest, FilterInAGraphPassesVideoAndLeavesWithAllItsPins)
{
    TDirectVobSubDouble outside;
    TDirectVobSub subtitles(nullptr);
    subtitles.Loaded();
    ASSERT_TRUE(subtitles.IsFilterPresent());
    ASSERT_NE(subtitles.SecondInputPin(), nullptr);
    const TBCMediaType video = VideoType();
    auto source = NewComObject<TTestSource>(*video.Get(), Frames(5, 1024));
    auto text = NewComObject<TTestSource>(*TextType().Get(), std::vector<TTestSample>{});
    auto sink = NewComObject<TTestSink>();
    auto graph = NewGraph();
    ASSERT_EQ(AddAndConnect(graph.Get(), {{source.Get(), L"Video"}, {subtitles.Filter(), L"DirectVobSub Filter"}, {sink.Get(), L"Sink"}}), S_OK);
    ASSERT_EQ(graph->AddFilter(text.Get(), L"Text"), S_OK);
    ASSERT_EQ(graph->ConnectDirect(text->OutputPin(), subtitles.SecondInputPin(), nullptr), S_OK);
    EXPECT_TRUE(subtitles.IsFilterConnected());

    EXPECT_EQ(RunUntilComplete(graph.Get(), 10000), EC_COMPLETE);
    EXPECT_EQ(outside.State().FramesPassed, 5);
    EXPECT_EQ(sink->Samples().size(), 5u);

    EXPECT_EQ(subtitles.RemoveFilterFromGraph(), S_OK);
    EXPECT_FALSE(subtitles.IsFilterConnected());
    EXPECT_FALSE(ConnectedPeer(source->OutputPin()));
    EXPECT_FALSE(ConnectedPeer(sink->InputPin()));
    EXPECT_FALSE(ConnectedPeer(text->OutputPin()));
    EXPECT_FALSE(ConnectedPeer(subtitles.SecondInputPin()));
    EXPECT_FALSE(InGraph(graph.Get(), subtitles.Filter()));
    EXPECT_TRUE(subtitles.IsFilterPresent());
}
