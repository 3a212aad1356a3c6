// Opening play-list entries under Wine through the engine's own graph build: every container
// this platform plays, the render results of partial and failed builds, the ".mss" names, the
// surround effects, resuming a known movie, and stepping over entries that fail.
#include "tests/engine/OpenFixture.h"

#include "DSFilters/PvlEq.h"
#include "engine/GraphBuildCore.h"
#include "engine/LocaleNames.h"
#include "engine/MovieMemory.h"
#include "playlist/ExtAviTag.h"
#include "tests/engine/AudioChainFixture.h"
#include "tests/support/DirectVobSubDouble.h"
#include "tests/support/SurroundEffectDoubles.h"
#include "tests/support/TagWriter.h"
#include "tests/support/WavWriter.h"

#include <functional>

using namespace pvltest;

namespace {

constexpr int64_t Second = 10000000;
// The Video Renderer as an "AudioRender" device: it binds, and refuses every audio stream.
constexpr wchar_t VideoRendererDevice[] =
    L"@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}\\{70E102B0-5556-11CE-97C0-00AA0055595A}";

class OpenItemTest : public TOpenFixture {
public:
    std::string Wav(const std::string& name = "tone.wav", uint16_t channels = 2)
    {
        const std::string file = Dir.File(name);
        WriteWav(file, TWavSpec{.Channels = channels, .Seconds = 2}, Sine(440, 0.25, 44100));
        return file;
    }
    // The MP3 fixture behind an ID3v2 tag.
    std::string TaggedMp3()
    {
        const std::string file = Dir.File("tagged.mp3");
        const TBytes body = Id3Frame(3, "TIT2", Latin1Text("Low Tone")) + Id3Frame(3, "TPE1", Latin1Text("Kestrel")) +
                            Id3Frame(3, "TALB", Latin1Text("Tests"));
        WriteAll(file, Id3Tag(3, 0, body) + ReadAll(FixturePath("tone.mp3")));
        return file;
    }
    // The uncompressed AVI fixture with AVI INFO tags.
    std::string TaggedAvi()
    {
        const std::string file = Dir.File("tagged.avi");
        WriteAll(file, ReadAll(FixturePath("uncompressed.avi")));
        TExtAviINFO_tags tags;
        tags.INAM = L"Colour Bars";
        tags.IWRI = L"Kestrel Forge";
        tags.ICOP = L"(c) nobody";
        EXPECT_EQ(WriteAviInfoTags(file, tags), 0);
        return file;
    }
    // A copy of a fixture in the test's folder, where side files can lie beside it.
    std::string Copy(const char* fixture)
    {
        const std::string file = Dir.File(fixture);
        WriteAll(file, ReadAll(FixturePath(fixture)));
        return file;
    }

protected:
    // Lets the open graph play to its end: this platform's AVI splitter can hang a stop given
    // while its streams start or end, whatever the filters behind it.
    bool PlaysToTheEnd()
    {
        return PumpUntilComplete(Engine().MediaEvent, 8000);
    }

    TPlayListItem Item(int index) const { return List.Items[static_cast<size_t>(index)]; }
};

struct TContainerCase {
    const char* Name;
    std::function<std::string(OpenItemTest&)> File;
    HRESULT Result;
    int VideoPins;
    int AudioPins;
    size_t AudioStreams;
    std::vector<std::string> Titles;
};

TEST_F(OpenItemTest, EveryContainerOpensWithTheSoundProcessorBeforeTheRenderer)
{
    const TContainerCase cases[] = {
        {"WAV", [](OpenItemTest& t) { return t.Wav(); }, S_OK, 0, 1, 0, {"File: tone.wav"}},
        {"MP3 with ID3v2", [](OpenItemTest& t) { return t.TaggedMp3(); }, S_OK, 0, 1, 0,
         {"File: tagged.mp3", "Title: Low Tone", "Artist: Kestrel", "Album: Tests"}},
        // This platform's AVI splitter gives its MPEG-4 video pin no media type; the second
        // attempt, with the splitter that decodes, renders both streams.
        {"AVI MPEG-4 + MP3", [](OpenItemTest&) { return FixturePath("mpeg4_mp3.avi"); }, S_OK, 1, 1, 0, {"File: mpeg4_mp3.avi"}},
        {"AVI uncompressed with INFO", [](OpenItemTest& t) { return t.TaggedAvi(); }, S_OK, 1, 1, 0,
         {"File: tagged.avi", "Title: Colour Bars", "AuthorName: Kestrel Forge", "Copyright: (c) nobody"}},
        {"AVI two audio streams", [](OpenItemTest&) { return FixturePath("two_audio.avi"); }, S_OK, 1, 2, 2, {"File: two_audio.avi"}},
        // No filter registered for these byte streams' exact types connects here: the one
        // registered for any byte stream does.
        {"MPEG-1 system", [](OpenItemTest&) { return FixturePath("mpeg1.mpg"); }, S_OK, 1, 1, 0, {"File: mpeg1.mpg"}},
        {"ASF/WMV", [](OpenItemTest&) { return FixturePath("clip.wmv"); }, S_OK, 1, 1, 0, {"File: clip.wmv"}},
    };
    for (const TContainerCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const int index = Add({c.File(*this)});
        Form.Titles.clear();
        TCommonModule& e = Engine();
        EXPECT_EQ(e.PlayInList(index, true), SUCCEEDED(c.Result));
        EXPECT_EQ(RenderResult.Results.back(), c.Result);
        EXPECT_EQ(List.PlayingIndex, index);
        if (FAILED(c.Result)) {
            EXPECT_EQ(Item(index).State, c.Result);
            EXPECT_EQ(Item(index).Length, -1);
            EXPECT_EQ(e.GetFilterState(), esNoGraph);
            continue;
        }
        EXPECT_EQ(Item(index).State, plsOpened);
        EXPECT_NEAR(Item(index).Length, 20, 1);
        EXPECT_EQ(static_cast<int>(e.VideoPins.size()), c.VideoPins);
        EXPECT_EQ(static_cast<int>(e.AudioPins.size()), c.AudioPins);
        EXPECT_EQ(e.AudioStreams.size(), c.AudioStreams);
        EXPECT_EQ(Form.Titles, c.Titles);
        EXPECT_EQ(Item(index).Title, c.Titles.size() > 1 ? c.Titles[1].substr(7) : "");
        EXPECT_TRUE(ProcessorFeedsRenderer());
        EXPECT_TRUE(AudioFlows()) << "the processor's PCM callback fires while the graph runs";
        EXPECT_TRUE(PlaysToTheEnd());
    }
}

TEST_F(OpenItemTest, EngineKeepsTheFormatTheProcessorLastReported)
{
    TCommonModule& e = Engine();
    EXPECT_EQ(e.SoundProcessorFormat().Frequency, 0) << "nothing reported yet";
    for (const uint16_t channels : {2, 1}) {
        const int index = Add({Wav("tone" + std::to_string(channels) + ".wav", channels)});
        ASSERT_TRUE(e.PlayInList(index, true));
        ASSERT_TRUE(AudioFlows());
        const TDSStream format = e.SoundProcessorFormat();
        EXPECT_EQ(format.Frequency, 44100);
        EXPECT_EQ(format.Channels, channels);
        EXPECT_EQ(format.Bits, 16);
        EXPECT_TRUE(PlaysToTheEnd());
    }
}

TEST_F(OpenItemTest, MissingFileIsNotFoundAndLeavesNoGraph)
{
    const int index = Add({Dir.File("gone.wav")});
    List.Items[0].Title = "kept";
    TCommonModule& e = Engine();
    EXPECT_FALSE(e.PlayInList(index, true));
    EXPECT_EQ(Item(index).State, plsNotFound);
    EXPECT_EQ(Item(index).Title, "kept");
    EXPECT_EQ(Item(index).Length, -1);
    EXPECT_EQ(EntryStateFromResult(RenderResult.Results.back()), plsNotFound) << "the not-found page";
    EXPECT_EQ(e.GetFilterState(), esNoGraph);
    EXPECT_GE(Log.IndexOf("ClearTitleInfo"), 0);

    // Out of range, a negative index included, nothing happens.
    Log.Calls.clear();
    EXPECT_FALSE(e.PlayInList(1, true));
    EXPECT_FALSE(e.PlayInList(-1, true));
    EXPECT_TRUE(Log.Calls.empty());
}

struct TRenderCase {
    const char* Name;
    bool WithVideo;
    bool RefuseVideo;
    const wchar_t* AudioRender;
    HRESULT Result;
};

TEST_F(OpenItemTest, PartialAndFailedBuildsReportTheirCodes)
{
    const TRenderCase cases[] = {
        {"video refused", true, true, DefaultAudioRender, VFW_S_VIDEO_NOT_RENDERED},
        {"audio refused", true, false, VideoRendererDevice, VFW_S_AUDIO_NOT_RENDERED},
        {"both refused", true, true, VideoRendererDevice, VFW_E_CANNOT_RENDER},
        {"the only audio refused", false, false, VideoRendererDevice, VFW_E_CANNOT_RENDER},
        {"an unbindable device falls back to the default one", false, false, L"@device:cm:{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}\\Gone", S_OK},
    };
    const std::string avi = FixturePath("uncompressed.avi");
    const std::string wav = Wav();
    for (const TRenderCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const int index = Add({c.WithVideo ? avi : wav});
        Video.Refuse = c.RefuseVideo;
        TCommonModule& e = Engine();
        e.AudioRender = c.AudioRender;
        EXPECT_EQ(e.PlayInList(index, false), SUCCEEDED(c.Result));
        EXPECT_EQ(RenderResult.Results.back(), c.Result);
        EXPECT_EQ(Item(index).State, c.Result == S_OK ? plsOpened : c.Result);
        EXPECT_EQ(e.GetFilterState(), SUCCEEDED(c.Result) ? esStopped : esNoGraph);
        if (c.Result == VFW_S_VIDEO_NOT_RENDERED || c.Result == S_OK)
            EXPECT_TRUE(ProcessorFeedsRenderer());
        if (c.Result == VFW_S_AUDIO_NOT_RENDERED)
            EXPECT_EQ(e.VideoPins.front().State, pinRenders);
        e.ClosePlayingFile();
    }
}

TEST_F(OpenItemTest, MssFileNamesTheStreamsAndChoosesTheDefault)
{
    const std::string movie = Copy("two_audio.avi");
    struct {
        const char* Text;
        std::vector<std::string> Names;
        int Selected;
    } cases[] = {
        {"[MSS]\r\nAudio_1=0x0409\r\nAudio_2=Deutsch\r\nAudio_def=2\r\n", {GetLocaleString(0x0409, 2), "Deutsch"}, 1},
        // Only four hexadecimal digits name a locale; a default that does not render gives the first.
        {"[MSS]\r\nAudio_1=0x12\r\nAudio_2=0xZZZZ\r\nAudio_def=5\r\n", {"0x12", "0xZZZZ"}, 0},
        // The first missing number ends the names.
        {"[MSS]\r\nAudio_1=One\r\nAudio_3=Three\r\n", {"One", ""}, 0},
    };
    ASSERT_FALSE(GetLocaleString(0x0409, 2).empty());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        WriteAll(ChangeFileExt(movie, ".mss"), c.Text);
        const int index = Add({movie});
        TCommonModule& e = Engine();
        ASSERT_TRUE(e.PlayInList(index, false));
        std::vector<std::string> names;
        for (const TStreamInfo& stream : e.AudioStreams)
            names.push_back(stream.Name);
        EXPECT_EQ(names, c.Names);
        EXPECT_EQ(e.GetSelectedAudioStream(), c.Selected);
        EXPECT_TRUE(ProcessorFeedsRenderer());
        e.ClosePlayingFile();
    }
}

TEST_F(OpenItemTest, SurroundEffectGoesBeforeTheProcessorOrStaysOut)
{
    struct {
        const char* Name;
        int32_t SpeakerType;
        bool Refuse;
        uint16_t Channels;
        bool Connected;
    } cases[] = {
        {"TruSurround for two speakers", 2, false, 2, true},
        {"TruSurround refusing the format", 2, true, 2, false},
        {"CircleSurround for more speakers", 3, false, 2, true},
        {"CircleSurround refusing the format", 3, true, 2, false},
        {"no effect for mono", 2, false, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TDmoBehaviour behaviour{.RefuseInput = c.Refuse};
        TCircleSurroundDouble circle(behaviour);
        TTruSurroundDouble tru(behaviour);
        FEngine.reset();  // the controls make their effects when the engine starts
        TCommonModule& e = Engine();
        e.NoSRS = false;
        e.CSActive = e.TSActive = true;
        e.SpeakerType = c.SpeakerType;
        const int index = Add({Wav("surround.wav", c.Channels)});
        ASSERT_TRUE(e.PlayInList(index, true));
        EXPECT_EQ(RenderResult.Results.back(), S_OK);
        TExternalFilterCntl& effect = c.SpeakerType <= 2 ? static_cast<TExternalFilterCntl&>(*e.SRS_TS1) : *e.SRS_CS1;
        EXPECT_EQ(effect.IsFilterConnected(), c.Connected);
        if (c.Connected)
            EXPECT_TRUE(IsConnectedTo(effect.OutputPin(), Processor().InputPin()));
        if (c.Channels == 2)
            EXPECT_EQ(c.SpeakerType <= 2 ? e.TSActive : e.CSActive, c.Connected);
        EXPECT_TRUE(ProcessorFeedsRenderer());
        EXPECT_TRUE(AudioFlows());
        e.ClosePlayingFile();
    }
}

TEST_F(OpenItemTest, SubtitleFileBesideTheMovieBringsTheSubtitleFilter)
{
    TDirectVobSubDouble subtitles;
    const std::string movie = Copy("uncompressed.avi");
    const std::string subtitleFile = ChangeFileExt(movie, ".srt");
    WriteAll(subtitleFile, "1\r\n00:00:00,000 --> 00:00:01,000\r\nHello\r\n");
    TCommonModule& e = Engine();
    ASSERT_TRUE(e.DirectVobSub1->IsFilterPresent());
    // Through the subtitle filter; then, with its output refused, straight to the renderer.
    for (const bool outputRefused : {false, true}) {
        SCOPED_TRACE(outputRefused ? "output refused" : "through the subtitles");
        Video.RefuseFirst = outputRefused ? 1 : 0;
        Messages.clear();
        const int index = Add({movie});
        ASSERT_TRUE(e.PlayInList(index, false));
        EXPECT_EQ(RenderResult.Results.back(), S_OK);
        EXPECT_EQ(e.VideoPins.front().State, pinRenders);
        EXPECT_EQ(subtitles.State().FileName, AnsiToWide(subtitleFile));
        EXPECT_TRUE(subtitles.State().PreBuffering);
        EXPECT_EQ(e.DirectVobSub1->IsFilterConnected(), !outputRefused);
        EXPECT_EQ(InGraph(e.Graph.Get(), e.DirectVobSub1->Filter()), !outputRefused);
        EXPECT_EQ(Messages, outputRefused ? std::vector<std::string>{"Error Connection DirectVobsub Output pin to Video render"}
                                          : std::vector<std::string>{});
        e.ClosePlayingFile();
    }
}

TEST_F(OpenItemTest, ResumeFollowsResumeMode)
{
    const int index = Add({FixturePath("uncompressed.avi")});
    TCommonModule& e = Engine();
    ASSERT_TRUE(e.PlayInList(index, false));
    const std::string memoryFile = MediaIdFile(Dir.File("MediaID"), e.MediaID);
    ASSERT_FALSE(e.MediaID.empty());
    e.ClosePlayingFile();

    struct {
        const char* Name;
        int32_t Mode;
        int64_t Stored;
        int Answer;
        bool Continue, DontShow;
        bool Asked;
        int64_t Position;
        int32_t ModeAfter;
    } cases[] = {
        {"0 resumes", 0, Second, 1, false, false, false, Second, 0},
        {"1 starts over", 1, Second, 1, true, false, false, 0, 1},
        {"2 asks, continue", 2, Second, 1, true, false, true, Second, 2},
        {"2 asks, continue, don't ask again", 2, Second, 1, true, true, true, Second, 0},
        {"2 asks, start over, don't ask again", 2, Second, 1, false, true, true, 0, 1},
        {"2 asks, cancelled", 2, Second, 2, true, true, true, 0, 2},
        {"the last 2 % count as finished", 2, Second * 198 / 100, 1, true, false, false, 0, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TMovieMemory memory;
        memory.LastPosition = c.Stored;
        memory.Delay = 120;
        ASSERT_TRUE(SaveMovieMemory(memoryFile, memory));
        e.ResumeMode = c.Mode;
        Question.Result = c.Answer;
        Question.Continue = c.Continue;
        Question.DontShow = c.DontShow;
        Question.Shown = 0;
        ASSERT_TRUE(e.PlayInList(index, false));
        EXPECT_EQ(Question.Shown, c.Asked ? 1 : 0);
        EXPECT_EQ(e.GetPosition(), c.Position);
        EXPECT_EQ(e.ResumeMode, c.ModeAfter);
        EXPECT_EQ(Form.Delay, 120);
        e.FlushGraph();  // without saving the memory
    }
}

TEST_F(OpenItemTest, NextAndPrevStepOverEntriesThatFail)
{
    const int first = Add({Wav("a.wav"), Dir.File("gone1.wav"), Dir.File("gone2.wav"), Wav("b.wav")});
    TCommonModule& e = Engine();
    ASSERT_TRUE(e.PlayInList(first, false));
    EXPECT_TRUE(e.Next());
    EXPECT_EQ(List.PlayingIndex, 3);
    EXPECT_EQ(Item(1).State, plsNotFound);
    EXPECT_EQ(Item(2).State, plsNotFound);
    EXPECT_EQ(e.PlayingFileName, Dir.File("b.wav"));
    EXPECT_FALSE(e.Next()) << "no entry after the last";
    EXPECT_TRUE(e.Prev());
    EXPECT_EQ(List.PlayingIndex, 0);
    EXPECT_EQ(e.PlayingFileName, Dir.File("a.wav"));
}

TEST_F(OpenItemTest, NoSecondOpenWhileTheRenderResultPageIsUp)
{
    const int index = Add({Dir.File("gone.wav"), Wav()});
    TCommonModule& e = Engine();
    bool inner = true;
    RenderResult.OnShow = [&] { inner = e.PlayInList(index + 1, true); };
    EXPECT_FALSE(e.PlayInList(index, true));
    EXPECT_FALSE(inner);
    EXPECT_EQ(Item(index + 1).State, plsNotOpened);
    RenderResult.OnShow = nullptr;
    EXPECT_TRUE(e.PlayInList(index + 1, false)) << "open again once the page is closed";
}

}  // namespace
