// The engine module under Wine: creation, state codes, transport, positions and volume on a
// real graph, closing and flushing, and stepping through the play list.
#include "engine/CommonUnit.h"

#include "playlist/PlayList.h"
#include "tests/support/AC3DecoderDouble.h"
#include "tests/support/SurroundEffectDoubles.h"

#include "tests/engine/EngineFakes.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WavWriter.h"
#include "tests/support/WineGraph.h"

#include <gtest/gtest.h>

#include <thread>

using namespace pvltest;

namespace {

constexpr int64_t TenSeconds = 100000000;

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ForceDirectories(Dir.File("Data"));
        WriteAll(Dir.File("Data\\filetypes.cfg"), "//All|*.avi;*.wav\r\nVideo|*.avi\r\nAudio|*.wav;*.mp3\r\n");
        Services.ControlForm = &ControlForm;
        Services.VideoForm = &VideoForm;
        Services.OSDForm = &OSD;
        Services.PlaylistForm = &PlaylistForm;
    }

    TTestEngine& Engine()
    {
        if (!FEngine)
            FEngine = std::make_unique<TTestEngine>(Services, Log);
        return *FEngine;
    }

    // A 10-second WAV rendered by the platform, its interfaces handed to the engine as the
    // graph build hands them over.
    ComPtr<IGraphBuilder> OpenWav(double seconds = 10)
    {
        const std::string wav = Dir.File("tone.wav");
        WriteWav(wav, TWavSpec{.Seconds = seconds}, Sine(440, 0.25, 44100));
        ComPtr<IGraphBuilder> graph = NewGraph();
        EXPECT_EQ(graph->RenderFile(AnsiToWide(wav).c_str(), nullptr), S_OK);
        TCommonModule& e = Engine();
        e.Graph = graph;
        graph.As(&e.GraphConfig);
        graph.As(&e.GraphSite);
        graph.As(&e.MediaEvent);
        graph.As(&e.MediaSeeking);
        graph.As(&e.BasicAudio);
        e.MediaEvent->SetNotifyWindow(0, WM_PLAYEVENT, 0);
        Log.Calls.clear();
        return graph;
    }

    uint8_t WaitForState(uint8_t wanted)
    {
        uint8_t state = Engine().GetFilterState();
        for (int i = 0; i < 100 && state != wanted; ++i) {
            PumpMessages(20);
            state = Engine().GetFilterState();
        }
        return state;
    }

    TComInit Com;
    TTempDir Dir;
    TEngineLog Log;
    TFakeControlForm ControlForm{Log, Dir.Path()};
    TFakeVideoForm VideoForm{Log};
    TFakeOSDForm OSD{Log};
    TFakePlayList List{Log};
    TFakePlaylistForm PlaylistForm{&List};
    TEngineServices Services;
    std::unique_ptr<TTestEngine> FEngine;
};

long GraphVolume(TCommonModule& engine)
{
    long volume = 1;
    engine.BasicAudio->get_Volume(&volume);
    return volume;
}

}  // namespace

TEST_F(EngineTest, CreationReadsTheFileTypesOfTheInstallFolder)
{
    TCommonModule& e = Engine();
    // The "//" first line stays out of the dialog but still names the known extensions.
    EXPECT_EQ(e.OpenFilesDialog->Filter, "Video|*.avi|Audio|*.wav;*.mp3|");
    EXPECT_EQ(e.OpenFilesDialog->FilterIndex, 0);
    ASSERT_EQ(e.KnownExtensions().Count(), 2);
    EXPECT_EQ(e.KnownExtensions()[0], "*.AVI");
    EXPECT_EQ(e.KnownExtensions()[1], "*.WAV");
    EXPECT_EQ(e.OpenFilesDialog->Options, (TOpenOptions{ofHideReadOnly, ofAllowMultiSelect, ofEnableSizing}));
    EXPECT_EQ(e.MediaIDFolder, Dir.Path() + "MediaID");
}

TEST_F(EngineTest, CreationWithoutFileTypesLeavesFilterAndExtensionsEmpty)
{
    FileDelete(Dir.File("Data\\filetypes.cfg"));
    EXPECT_TRUE(Engine().OpenFilesDialog->Filter.empty());
    EXPECT_EQ(Engine().KnownExtensions().Count(), 0);
}

TEST_F(EngineTest, CreationReadsTheShippedFileTypes)
{
    WriteAll(Dir.File("Data\\filetypes.cfg"), ReadAll(SourcePath("Data/filetypes.cfg")));
    EXPECT_TRUE(Engine().OpenFilesDialog->Filter.starts_with("All Media Files|*.avi;"));
    EXPECT_GE(Engine().KnownExtensions().IndexOf("*.WMV"), 0);
    EXPECT_GE(Engine().KnownExtensions().IndexOf("*.MP3"), 0);
}

TEST_F(EngineTest, CreationMakesTheComponentsInTheModulesOrder)
{
    TCommonModule& e = Engine();
    const std::vector<std::string> names = {"OpenFilesDialog", "SRS_CS1", "DirectVobSub1", "AC3Filter1", "SRS_TS1"};
    ASSERT_EQ(e.ComponentCount(), static_cast<int>(names.size()));
    for (int i = 0; i < e.ComponentCount(); ++i)
        EXPECT_EQ(e.Components(i)->Name, names[static_cast<size_t>(i)]);
    // The outside filters are not installed here: the controls work on their caches.
    EXPECT_FALSE(e.SRS_CS1->IsFilterPresent() || e.DirectVobSub1->IsFilterPresent() ||
                 e.AC3Filter1->IsFilterPresent() || e.SRS_TS1->IsFilterPresent());
    EXPECT_EQ(e.SRS_TS1->TruBassLevel(), 80);
    EXPECT_EQ(e.DirectVobSub1->SelectedLanguage(), -1);
}

TEST_F(EngineTest, CreationSetsTheSettingsVisualsAndBitmaps)
{
    TCommonModule& e = Engine();
    EXPECT_EQ(e.AudioRender, L"@device:cm:{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}\\Default DirectSound Device");
    EXPECT_EQ(e.BufferMode, 1);
    EXPECT_EQ(e.BufferSecs, 5);
    EXPECT_TRUE(e.Multicast && e.TCP && e.UDP && e.HTTP);
    EXPECT_FALSE(e.UDPFixedPort);
    EXPECT_EQ(e.HTTPProxyMode, 1);
    EXPECT_EQ(e.Visual.Mode, 2);
    EXPECT_TRUE(e.Visual.ShowPeaks && e.Visual.UseFade);
    EXPECT_EQ(e.VisualBackColor, 0xBB7B42u);
    // The two visual bitmaps: 255 wide, as high as the main window's visualisation display.
    for (const auto* bitmap : {e.VisualBitmap.get(), e.FadeBitmap.get()}) {
        ASSERT_TRUE(bitmap);
        EXPECT_EQ(bitmap->Width(), 255);
        EXPECT_EQ(bitmap->Height(), 48);
    }
    EXPECT_NE(e.VisualBitmap.get(), e.FadeBitmap.get());
    // The spectrum transform: 1024 points, unscaled, in natural order.
    ASSERT_TRUE(e.VisualFFT);
    EXPECT_EQ(e.VisualFFT->FFTSizeInt(), 1024);
    EXPECT_FALSE(e.VisualFFT->Scale);
    EXPECT_TRUE(e.VisualFFT->ReOrder);
}

TEST_F(EngineTest, VideoRenderersListTheCreatableRenderersOfThisPlatform)
{
    TCommonModule& e = Engine();
    // The overlay mixers cannot be created here.
    const CLSID vmr = {0x6BC1CFFA, 0x8FC1, 0x4261, {0xAC, 0x22, 0xCF, 0xB4, 0xCC, 0x38, 0xDB, 0x50}};
    const std::vector<std::pair<std::string, CLSID>> expected = {
        {"VMR9", CLSID_VideoMixingRenderer9}, {"VMR", vmr}, {"Normal", CLSID_VideoRenderer}};
    ASSERT_EQ(e.VideoRenderers.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const TVideoRenderItem& item = *e.VideoRenderers[i];
        EXPECT_EQ(item.Index, static_cast<int>(i));
        EXPECT_EQ(item.ShortName, expected[i].first);
        EXPECT_EQ(item.ClassID, expected[i].second);
    }
    EXPECT_EQ(e.VideoRenderers[0]->FriendlyName, L"Video Mixing Renderer 9");
    EXPECT_EQ(e.VideoRenderers[0]->DisplayName,
              L"@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}\\{51B4ABF3-748F-4E3B-A276-C828330E926A}");
    EXPECT_EQ(e.VideoRenderers[2]->FriendlyName, L"VideoRenderer");
}

TEST_F(EngineTest, WithoutAGraphEverythingIsQuietAndStateIsThree)
{
    TTestEngine& e = Engine();
    Log.Calls.clear();
    VideoForm.IsVisible = true;
    EXPECT_EQ(e.GetFilterState(), esNoGraph);
    e.SetFilterState(esNoGraph);
    e.SetFilterState(esRunning);
    e.Play();
    e.Pause();
    e.Stop();
    e.GotoPercent(50);
    EXPECT_EQ(e.GetDurication(), 0);
    EXPECT_EQ(e.GetPosition(), 0);
    EXPECT_FALSE(e.SetPosition(10));
    EXPECT_EQ(e.GetMSecfromPercent(50), 0);
    EXPECT_EQ(e.GetVolume(), 0);
    e.SetVolume(5000);
    EXPECT_TRUE(Log.Calls.empty()) << Log.Calls.front();
}

TEST_F(EngineTest, StateCodesFollowTheGraph)
{
    auto graph = OpenWav();
    TTestEngine& e = Engine();
    EXPECT_EQ(e.GetFilterState(), esStopped);
    e.SetFilterState(esPaused);
    EXPECT_EQ(WaitForState(esPaused), esPaused);
    e.SetFilterState(esRunning);
    EXPECT_EQ(WaitForState(esRunning), esRunning);
    e.SetFilterState(esStopped);
    EXPECT_EQ(WaitForState(esStopped), esStopped);
    e.SetFilterState(7);
    EXPECT_EQ(e.GetFilterState(), esStopped);
    e.SetFilterState(esNoGraph);
    EXPECT_EQ(e.GetFilterState(), esNoGraph);
    EXPECT_FALSE(e.Graph);
}

TEST_F(EngineTest, TransportShowsItsTextOnlyWhileTheVideoWindowIsVisible)
{
    auto graph = OpenWav();
    TTestEngine& e = Engine();
    e.Play();
    EXPECT_EQ(WaitForState(esRunning), esRunning);
    e.Pause();
    EXPECT_EQ(WaitForState(esPaused), esPaused);
    EXPECT_TRUE(Log.Calls.empty());

    VideoForm.IsVisible = true;
    e.PlayPause();
    EXPECT_EQ(WaitForState(esRunning), esRunning);
    e.PlayPause();
    EXPECT_EQ(WaitForState(esPaused), esPaused);
    e.Play();
    EXPECT_EQ(WaitForState(esRunning), esRunning);
    e.Pause();
    EXPECT_EQ(WaitForState(esPaused), esPaused);
    const std::vector<std::string> texts = {"OSD Play 3", "OSD blink Pause on", "OSD Play 3", "OSD Pause 3"};
    EXPECT_EQ(Log.Calls, texts);
}

TEST_F(EngineTest, StopSeeksToTheStartAndStops)
{
    auto graph = OpenWav();
    TTestEngine& e = Engine();
    VideoForm.IsVisible = true;
    e.Pause();
    ASSERT_EQ(WaitForState(esPaused), esPaused);
    ASSERT_TRUE(e.SetPosition(40000000));
    Log.Calls.clear();
    e.Stop();
    EXPECT_EQ(WaitForState(esStopped), esStopped);
    EXPECT_EQ(e.GetPosition(), 0);
    EXPECT_EQ(Log.Calls, std::vector<std::string>{"OSD Stop 5"});
}

TEST_F(EngineTest, DurationsAndPositionsAreInHundredNanoseconds)
{
    auto graph = OpenWav();
    TTestEngine& e = Engine();
    EXPECT_EQ(e.GetDurication(), TenSeconds);
    EXPECT_EQ(e.GetMSecfromPercent(50), 50);
    EXPECT_EQ(e.GetMSecfromPercent(0), 0);
    EXPECT_EQ(e.GetMSecfromPercent(-5), 0);
    e.Pause();
    ASSERT_EQ(WaitForState(esPaused), esPaused);

    EXPECT_TRUE(e.SetPosition(70000000));
    EXPECT_EQ(e.GetPosition(), 70000000);
    EXPECT_EQ(e.GetDurication(), TenSeconds);  // the stop position stays where it was
    const std::pair<double, int64_t> percents[] = {{25, 25000000}, {0, 0}, {99.5, 99500000}, {-5, 0}};
    for (const auto& [percent, position] : percents) {
        ASSERT_TRUE(e.SetPosition(70000000));
        e.GotoPercent(percent);
        EXPECT_EQ(e.GetPosition(), position) << percent;
    }
}

TEST_F(EngineTest, SetVolumeReachesTheGraphThroughTheCurve)
{
    auto graph = OpenWav();
    TTestEngine& e = Engine();
    const std::pair<int32_t, long> cases[] = {
        {10000, 0}, {5000, -903}, {1000, -3000}, {100, -6000}, {0, -10000}, {3, -10000}, {20000, 0}, {-50, -10000}};
    for (const auto& [volume, level] : cases) {
        e.BasicAudio->put_Volume(-1234);
        e.SetVolume(volume);
        EXPECT_EQ(GraphVolume(e), level) << volume;
        EXPECT_EQ(e.GetVolume(), level) << volume;
    }
}

TEST_F(EngineTest, FlushGraphLeavesNoFilterAndNoInterface)
{
    // The outside filters as doubles, so that the controls hold filters to put into the graph.
    TCircleSurroundDouble circleSurround;
    TTruSurroundDouble truSurround;
    TAC3DecoderDouble decoder;
    auto graph = OpenWav();
    TTestEngine& e = Engine();
    ASSERT_TRUE(e.SRS_CS1->IsFilterPresent() && e.SRS_TS1->IsFilterPresent() && e.AC3Filter1->IsFilterPresent());
    TFakeFilterComponent processor(Log, "SP");
    e.PvlSprocessor = &processor;
    ASSERT_EQ(graph->AddFilter(e.SRS_CS1->Filter(), L"SRS CircleSurround II Filter"), S_OK);
    ASSERT_EQ(graph->AddFilter(e.SRS_TS1->Filter(), L"SRS TruSurround XT Filter"), S_OK);
    ASSERT_EQ(graph->AddFilter(e.AC3Filter1->Filter(), L"AC3Filter"), S_OK);
    ComPtr<IBaseFilter> renderer;
    ASSERT_EQ(graph->FindFilterByName(L"Default DirectSound Device", &renderer), S_OK);
    e.AudioRenderer = renderer;
    ComPtr<IPin> pin = FindPin(renderer.Get(), PINDIR_INPUT);
    ASSERT_TRUE(pin);
    e.AudioChainInput = pin;
    e.AudioPins.push_back({pin, pinRenders});
    e.VideoPins.push_back({pin, pinFailed});
    e.AudioStreams.push_back({renderer, 0, "eng"});
    e.ChapterStreams.push_back({renderer, 1, "chapter"});
    e.DecoderColorControl = renderer;
    e.Play();
    ASSERT_EQ(WaitForState(esRunning), esRunning);
    Log.Calls.clear();

    e.FlushGraph();
    e.PvlSprocessor = nullptr;
    EXPECT_EQ(Log.Calls, (std::vector<std::string>{"ReleaseRenderer", "RemoveFilterFromGraph SP"}));
    EXPECT_EQ(FilterNames(graph.Get()), L"");
    // The controls keep their filters for the next graph.
    EXPECT_TRUE(e.SRS_CS1->IsFilterPresent() && e.SRS_TS1->IsFilterPresent() && e.AC3Filter1->IsFilterPresent());
    EXPECT_FALSE(e.SRS_CS1->IsInGraph() || e.SRS_TS1->IsInGraph());
    EXPECT_FALSE(e.Graph || e.GraphConfig || e.GraphSite || e.MediaEvent || e.MediaSeeking || e.BasicAudio ||
                 e.AudioRenderer || e.AudioChainInput || e.DecoderColorControl || e.NetShowConfig ||
                 e.NetworkStatus || e.NetShowExProps);
    EXPECT_TRUE(e.AudioPins.empty() && e.VideoPins.empty() && e.AudioStreams.empty() && e.ChapterStreams.empty());
    EXPECT_EQ(e.GetFilterState(), esNoGraph);
    // Only the test's own references are left.
    pin.Reset();
    renderer.Reset();
    graph->AddRef();
    EXPECT_EQ(graph->Release(), 1u);
}

TEST_F(EngineTest, ClosePlayingFileSavesTheMemoryFirstThenReleasesAndResetsTheWindow)
{
    auto graph = OpenWav();
    TTestEngine& e = Engine();
    e.ClosePlayingFile();
    const std::vector<std::string> order = {"SaveMovieInfo with graph", "ReleaseRenderer", "ClearBookmarks", "PrepareNewFile"};
    EXPECT_EQ(Log.Calls, order);
    EXPECT_FALSE(e.Graph);
    EXPECT_EQ(FilterNames(graph.Get()), L"");

    Log.Calls.clear();
    e.ClosePlayingFile();  // nothing open: no memory to save
    EXPECT_EQ(Log.IndexOf("SaveMovieInfo with graph"), -1);
    EXPECT_GE(Log.IndexOf("PrepareNewFile"), 0);
}

TEST_F(EngineTest, ClosePlayingFileReleasesTheGraphWhenSavingTheMemoryFails)
{
    auto graph = OpenWav();
    TTestEngine& e = Engine();
    e.SaveFails = true;
    EXPECT_NO_THROW(e.ClosePlayingFile());
    EXPECT_GE(Log.IndexOf("SaveMovieInfo with graph"), 0);
    EXPECT_FALSE(e.Graph);
    EXPECT_FALSE(e.MediaSeeking);
    EXPECT_EQ(FilterNames(graph.Get()), L"");
    EXPECT_GE(Log.IndexOf("PrepareNewFile"), 0);
}

TEST_F(EngineTest, AppClosingClosesSavesTheListAndWritesTheSettings)
{
    auto graph = OpenWav();
    TTestEngine& e = Engine();
    e.AppClosing();
    const int saved = Log.IndexOf("SaveMovieInfo with graph");
    const int list = Log.IndexOf("SavePlaylistFile " + Dir.Path() + "Data\\LastPlayed.pls");
    const int settings = Log.IndexOf("WriteSettings");
    EXPECT_GE(saved, 0);
    EXPECT_GT(list, saved);
    EXPECT_GT(settings, list);
    EXPECT_FALSE(e.Graph);
}

TEST_F(EngineTest, GetFilterByGUIDFindsAGraphFilterByClass)
{
    auto graph = OpenWav();
    TTestEngine& e = Engine();
    ComPtr<IBaseFilter> found;
    e.GetFilterByGUID(CLSID_DSoundRender, found);
    ASSERT_TRUE(found);
    CLSID id{};
    found->GetClassID(&id);
    EXPECT_EQ(id, CLSID_DSoundRender);
    e.GetFilterByGUID(CLSID_VideoRenderer, found);
    EXPECT_FALSE(found);
}

TEST_F(EngineTest, NextAndPrevTryEachEntryOnceAndStopAtTheFirstThatRenders)
{
    const struct {
        bool Forward;
        int Count, Playing;
        bool Repeat;
        std::set<int> Renders;
        bool Result;
        std::vector<std::string> Tried;
    } cases[] = {
        {true, 4, 0, false, {2}, true, {"PlayInList 1 play", "PlayInList 2 play"}},
        {true, 3, 2, false, {0}, false, {}},
        {true, 3, -1, false, {0}, true, {"PlayInList 0 play"}},
        // With Repeat and nothing that renders, each entry once, then give up.
        {true, 3, 0, true, {}, false, {"PlayInList 1 play", "PlayInList 2 play", "PlayInList 0 play"}},
        {false, 3, 1, true, {}, false, {"PlayInList 0 play", "PlayInList 2 play", "PlayInList 1 play"}},
        {false, 3, 2, false, {0}, true, {"PlayInList 1 play", "PlayInList 0 play"}},
        {false, 3, 0, false, {1}, false, {}},
        {true, 0, -1, true, {}, false, {}},
    };
    for (const auto& c : cases) {
        List.Items.assign(static_cast<size_t>(c.Count), TPlayListItem{});
        List.PlayingIndex = c.Playing;
        List.Repeat = c.Repeat;
        Engine().Renders = c.Renders;
        Log.Calls.clear();
        EXPECT_EQ(c.Forward ? Engine().Next() : Engine().Prev(), c.Result) << c.Forward << " from " << c.Playing;
        EXPECT_EQ(Log.Calls, c.Tried) << c.Forward << " from " << c.Playing;
    }
}

TEST_F(EngineTest, NextWithoutPlayListWindowDoesNothing)
{
    Services.PlaylistForm = nullptr;
    EXPECT_FALSE(Engine().Next());
    EXPECT_FALSE(Engine().Prev());
}

TEST_F(EngineTest, PlayPauseWithoutGraphOpensTheSelectedEntryOrTheFirst)
{
    const struct {
        int Count, Selected;
        std::vector<std::string> Calls;
    } cases[] = {
        {0, -1, {}},
        {3, 2, {"PlayInList 2 play"}},
        {3, -1, {"PlayInList 0 play"}},
    };
    Engine();
    for (const auto& c : cases) {
        List.Items.assign(static_cast<size_t>(c.Count), TPlayListItem{});
        PlaylistForm.Selected = c.Selected;
        Log.Calls.clear();
        Engine().PlayPause();
        EXPECT_EQ(Log.Calls, c.Calls) << c.Count << " " << c.Selected;
    }
}

TEST_F(EngineTest, ThePlayListAndTheEngineWorkThroughEachOther)
{
    TTestEngine& e = Engine();
    TPlayList list(&e);
    PlaylistForm.List = &list;
    for (const char* name : {"a.avi", "b.avi", "c.avi"})
        list.AddPlaylistFile(Dir.File(name));
    list.Repeat = true;
    Log.Calls.clear();
    // Nothing renders: each entry once, from the first, then Next gives up.
    EXPECT_FALSE(e.Next());
    const std::vector<std::string> tried = {"PlayInList 0 play", "PlayInList 1 play", "PlayInList 2 play"};
    EXPECT_EQ(Log.Calls, tried);
    e.Renders = {1};
    Log.Calls.clear();
    EXPECT_TRUE(e.Prev());
    EXPECT_EQ(Log.Calls, std::vector<std::string>{"PlayInList 1 play"});
    EXPECT_EQ(list.GetPlayingIndex(), 1);

    // Clearing the list closes the playing file through the engine; closing the program saves it.
    auto graph = OpenWav();
    list.ClearItems();
    EXPECT_FALSE(e.Graph);
    list.AddPlaylistFile(Dir.File("d.avi"));
    e.AppClosing();
    TPlayList reloaded;
    reloaded.LoadPLS(Dir.File("Data\\LastPlayed.pls"));
    ASSERT_EQ(reloaded.ItemCount(), 1);
    TPlayListItem item;
    reloaded.GetItem(0, item);
    EXPECT_EQ(item.FileName, Dir.File("d.avi"));
    PlaylistForm.List = &List;
}

namespace {
// Records what reaches the visualisation display and the analysis buffer it finds.
class TRecordingVisualDisplay : public IVisualDisplay {
public:
    explicit TRecordingVisualDisplay(TCommonModule*& engine) : FEngine(engine) {}
    void VisualData(const void* buffer, int32_t size, const TDSStream* stream) override
    {
        Calls.push_back({buffer, size, stream});
        FirstValue = FEngine->Visual.Analysis[5];
    }
    struct TCall {
        const void* Buffer;
        int32_t Size;
        const TDSStream* Stream;
    };
    std::vector<TCall> Calls;
    int32_t FirstValue = -1;

private:
    TCommonModule*& FEngine;
};
}

TEST_F(EngineTest, VisualDataReachesTheDisplayAndAFlushClearsTheBufferBeforeItsNextUse)
{
    TCommonModule* engine = nullptr;
    TRecordingVisualDisplay display(engine);
    Services.VisualDisplay = &display;
    engine = &Engine();
    engine->Visual.Analysis[5] = 77;
    int16_t pcm[8] = {};
    TDSStream stream{.Size = 16, .Frequency = 44100, .Channels = 2, .Bits = 16};
    engine->PvlSprocessorVisualData(nullptr, pcm, sizeof pcm, &stream);
    ASSERT_EQ(display.Calls.size(), 1u);
    EXPECT_EQ(display.Calls[0].Buffer, pcm);
    EXPECT_EQ(display.Calls[0].Size, 16);
    EXPECT_EQ(display.Calls[0].Stream, &stream);
    EXPECT_EQ(display.FirstValue, 77);  // no flush: the buffer is left as it was

    // The flush comes on another thread and only marks the buffer.
    std::thread([engine] { engine->PvlSprocessorFilterFlush(nullptr); }).join();
    EXPECT_EQ(engine->Visual.Analysis[5], 77);
    engine->PvlSprocessorVisualData(nullptr, nullptr, 0, &stream);
    EXPECT_EQ(display.FirstValue, 0);
    EXPECT_EQ(display.Calls.back().Buffer, nullptr);
    engine->Visual.Analysis[5] = 9;
    engine->PvlSprocessorVisualData(nullptr, nullptr, 0, &stream);
    EXPECT_EQ(display.FirstValue, 9);  // once only
}
