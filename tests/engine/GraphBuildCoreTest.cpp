// The graph build's and the open's decisions without a graph: result codes, ".mss" names,
// the audio stream to play, entry states, title lines and resuming.
#include "engine/GraphBuildCore.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace pvltest;

namespace {

TEST(GraphBuildCore, RenderResultByFailedPins)
{
    struct {
        TRenderCounts Counts;
        int32_t Result;
    } cases[] = {
        {{1, 0, 1, 0, 2}, 0},
        {{1, 1, 0, 0, 0}, rrCannotRender},           // the only video fails, no audio
        {{0, 0, 1, 1, 0}, rrCannotRender},           // the only audio fails, no video
        {{0, 0, 0, 0, 0}, rrCannotRender},           // no pin at all is no success
        {{2, 1, 0, 0, 0}, rrCannotRender},           // the second video pin is never tried
        {{2, 1, 1, 0, 2}, rrPartialRender},          // ... but the audio renders
        {{1, 1, 2, 0, 2}, rrVideoNotRendered},
        {{1, 0, 2, 2, 1}, rrAudioNotRendered},
        {{1, 0, 2, 1, 2}, rrPartialRender},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RenderResult(c.Counts), c.Result) << c.Counts.VideoPins << c.Counts.FailedVideo << c.Counts.AudioPins
                                                    << c.Counts.FailedAudio << c.Counts.Rendered;
}

TEST(GraphBuildCore, MssNamesEndAtTheFirstMissingNumber)
{
    TTempDir dir;
    const std::string file = dir.File("film.mss");
    EXPECT_EQ(ReadMssFile(file).DefaultStream, -1) << "no file, no default";
    WriteAll(file, "[MSS]\r\nAudio_1=English\r\nAudio_3=Third\r\n");
    TMssNames names = ReadMssFile(file);
    EXPECT_EQ(names.Names, std::vector<std::string>{"English"});
    EXPECT_EQ(names.DefaultStream, 1);
    WriteAll(file, "[MSS]\r\nAudio_1=a\r\nAudio_2=b\r\nAudio_def=2\r\n[Other]\r\nAudio_3=c\r\n");
    names = ReadMssFile(file);
    EXPECT_EQ(names.Names, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(names.DefaultStream, 2);
}

TEST(GraphBuildCore, OnlyFourHexDigitsNameALocale)
{
    const std::pair<const char*, int64_t> cases[] = {
        {"0x0409", 0x0409}, {"0x0c0A", 0x0C0A}, {"0x409", -1}, {"0x04091", -1}, {"0xZZZZ", -1}, {"0X0409", -1}, {"English", -1}, {"", -1}};
    for (const auto& [name, locale] : cases) {
        uint32_t found = 0;
        EXPECT_EQ(MssLocaleName(name, found), locale >= 0) << name;
        if (locale >= 0)
            EXPECT_EQ(found, static_cast<uint32_t>(locale)) << name;
    }
}

TEST(GraphBuildCore, DefaultStreamWhenItRendersElseTheFirstThatDoes)
{
    EXPECT_EQ(ChooseAudioPin({1, 1, 1}, 3), 2);
    EXPECT_EQ(ChooseAudioPin({2, 1, 2}, 3), 1) << "the default failed";
    EXPECT_EQ(ChooseAudioPin({2, 1}, 7), 1) << "no such stream";
    EXPECT_EQ(ChooseAudioPin({1, 1}, -1), 0) << "no .mss file";
    EXPECT_EQ(ChooseAudioPin({2, 2}, 1), -1);
    EXPECT_EQ(ChooseAudioPin({}, 1), -1);
}

TEST(GraphBuildCore, EntryStateAndLength)
{
    EXPECT_EQ(EntryStateFromResult(0), 2);
    for (uint32_t notFound : {0x80040216u, 0x80070002u, 0x80070003u, 0x80070015u})
        EXPECT_EQ(EntryStateFromResult(static_cast<int32_t>(notFound)), 1);
    EXPECT_EQ(EntryStateFromResult(rrPartialRender), rrPartialRender);
    EXPECT_EQ(EntryStateFromResult(rrUnsupportedStream), rrUnsupportedStream);
    EXPECT_EQ(LengthInTenths(100000000), 100);
    EXPECT_EQ(LengthInTenths(1500000), 2) << "halves to even";
    EXPECT_EQ(LengthInTenths(2500000), 2);
    EXPECT_EQ(LengthInTenths(0), 0);
}

TEST(GraphBuildCore, TitleLinesFromTheTags)
{
    std::string title = "before";
    EXPECT_EQ(TitleLines("C:\\Music\\a.mp3", tkNone, {}, title), std::vector<std::string>{"File: a.mp3"});
    EXPECT_EQ(title, "before");
    EXPECT_EQ(TitleLines("http://host/stream", tkNone, {}, title), std::vector<std::string>{"File: stream"});

    EXPECT_EQ(TitleLines("C:\\Music\\a.mp3", tkID3, TSimpleID3Tag{"Song", "", "Album"}, title),
              (std::vector<std::string>{"File: a.mp3", "Title: Song", "Album: Album"}));
    EXPECT_EQ(title, "Song");
    EXPECT_EQ(TitleLines("a.mp3", tkID3, TSimpleID3Tag{"", "Artist", ""}, title),
              (std::vector<std::string>{"File: a.mp3", "Artist: Artist"}));
    EXPECT_EQ(title, "") << "an empty tag title replaces the entry's";

    EXPECT_EQ(TitleLines("D:\\film.avi", tkAVI, TSimpleAVITag{L"Writer", L"Film", L"About", L"(c)"}, title),
              (std::vector<std::string>{"File: film.avi", "Title: Film", "AuthorName: Writer", "Description: About", "Copyright: (c)"}));
    EXPECT_EQ(title, "Film");
}

TEST(GraphBuildCore, ResumeByModeAndPosition)
{
    constexpr int64_t duration = 1000000000;
    struct {
        bool Found;
        int64_t Position;
        int32_t Mode;
        TResumeStep Step;
    } cases[] = {
        {true, 500, 0, TResumeStep::Resume},
        {true, 500, 1, TResumeStep::StartOver},
        {true, 500, 2, TResumeStep::Ask},
        {true, 500, 7, TResumeStep::StartOver},
        {false, 500, 0, TResumeStep::StartOver},
        {true, 0, 0, TResumeStep::StartOver},
        {true, duration / 100 * 98 - 1, 0, TResumeStep::Resume},
        {true, duration / 100 * 98, 0, TResumeStep::StartOver},
        {true, duration / 100 * 99, 2, TResumeStep::StartOver},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResumeStep(c.Found, c.Position, duration, c.Mode), c.Step) << c.Found << " " << c.Position << " " << c.Mode;

    struct {
        int Answer;
        bool Continue, DontShow;
        bool Resume;
        int32_t Mode;
    } answers[] = {
        {1, true, false, true, 2}, {1, false, false, false, 2}, {1, true, true, true, 0}, {1, false, true, false, 1}, {2, true, true, false, 2},
    };
    for (const auto& a : answers) {
        int32_t mode = 2;
        EXPECT_EQ(ResumeFromAnswer(a.Answer, a.Continue, a.DontShow, mode), a.Resume);
        EXPECT_EQ(mode, a.Mode);
    }
}

struct TSplitterSearchCase {
    const char* Name;
    TSplitterSearch Search;
    std::vector<std::string> Exact, Wildcard;  // what the mapper answers
    std::vector<std::string> Connects, Fails;   // how the candidates behave; the rest refuse
    std::vector<std::string> Skip;
    std::string Chosen;
    std::vector<std::string> Tried;  // in order
    std::string Queries;             // 'E' exact, 'W' wildcard, in order
};

TEST(GraphBuildCore, SplitterSearchTriesExactThenWildcardEachFilterOnce)
{
    using enum TSplitterSearch;
    const TSplitterSearchCase cases[] = {
        {"exact connects", ExactThenWildcard, {"avi"}, {"gst", "avi"}, {"avi", "gst"}, {}, {}, "avi", {"avi"}, "E"},
        {"first exact refuses, second connects", ExactThenWildcard, {"a", "b"}, {"gst", "a", "b"}, {"b", "gst"}, {}, {}, "b", {"a", "b"}, "E"},
        {"exact refuses: wildcard, tried ones skipped", ExactThenWildcard, {"mpeg"}, {"gst", "mpeg"}, {"gst"}, {}, {}, "gst", {"mpeg", "gst"}, "EW"},
        {"no exact filter at all", ExactThenWildcard, {}, {"gst"}, {"gst"}, {}, {}, "gst", {"gst"}, "EW"},
        {"wildcard order kept", ExactThenWildcard, {"x"}, {"w1", "x", "w2"}, {"w2"}, {}, {}, "w2", {"x", "w1", "w2"}, "EW"},
        {"nothing accepts", ExactThenWildcard, {}, {}, {}, {}, {}, "", {}, "EW"},
        {"everything refuses", ExactThenWildcard, {"a"}, {"a", "b"}, {}, {}, {}, "", {"a", "b"}, "EW"},
        {"a failure ends the search", ExactThenWildcard, {"a", "b"}, {"gst"}, {"b", "gst"}, {"a"}, {}, "", {"a"}, "E"},
        {"a wildcard failure ends it too", ExactThenWildcard, {}, {"w1", "w2"}, {"w2"}, {"w1"}, {}, "", {"w1"}, "EW"},
        {"skipped filters are never tried", ExactThenWildcard, {"a"}, {"a", "gst"}, {"a", "gst"}, {}, {"a"}, "gst", {"gst"}, "EW"},
        {"retry: only wildcard-registered filters", WildcardRegistered, {"avi"}, {"gst", "avi"}, {"avi", "gst"}, {}, {}, "gst", {"gst"}, "EW"},
        {"retry: the earlier splitter skipped", WildcardRegistered, {"avi"}, {"gst", "gst2", "avi"}, {"gst", "gst2"}, {}, {"gst"}, "gst2", {"gst2"}, "EW"},
        {"retry: no wildcard-registered filter", WildcardRegistered, {"avi"}, {"avi"}, {"avi"}, {}, {}, "", {}, "EW"},
    };
    for (const TSplitterSearchCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::string queries;
        std::vector<std::string> tried;
        const auto query = [&](bool exact) {
            queries += exact ? 'E' : 'W';
            return exact ? c.Exact : c.Wildcard;
        };
        const auto connect = [&](const std::string& key) {
            tried.push_back(key);
            const auto has = [&](const std::vector<std::string>& keys) { return std::find(keys.begin(), keys.end(), key) != keys.end(); };
            return has(c.Fails) ? TSplitterTry::Failed : has(c.Connects) ? TSplitterTry::Connected : TSplitterTry::Refused;
        };
        EXPECT_EQ(WalkSplitterSearch(c.Search, query, connect, c.Skip), c.Chosen);
        EXPECT_EQ(tried, c.Tried);
        EXPECT_EQ(queries, c.Queries);
    }
    EXPECT_EQ(WildcardRegisteredSplitters({"avi"}, {"gst", "avi", "gst", "other"}, {"other"}), std::vector<std::string>{"gst"});
}

TEST(GraphBuildCore, SecondAttemptOnlyForUndecodedPinsAndKeptOnlyWhenItRendersMore)
{
    struct {
        const char* Name;
        TRenderCounts First;
        bool ByteStream;
        bool Wants;
    } wants[] = {
        {"everything rendered", {1, 0, 1, 0, 2, 0}, true, false},
        {"a renderer refused an uncompressed pin", {1, 1, 1, 0, 1, 0}, true, false},
        {"video without a decoder", {1, 1, 1, 0, 1, 1}, true, true},
        {"a pin offering no type, nothing rendered", {0, 0, 0, 0, 0, 1}, true, true},
        {"a source that splits itself has no byte stream", {1, 1, 1, 0, 1, 1}, false, false},
    };
    for (const auto& c : wants)
        EXPECT_EQ(WantsSecondAttempt(c.First, c.ByteStream), c.Wants) << c.Name;

    struct {
        const char* Name;
        int First, Second;
        bool KeepSecond;
    } keeps[] = {{"more streams", 1, 2, true}, {"a tie keeps the first", 1, 1, false}, {"fewer", 2, 1, false}, {"both nothing", 0, 0, false}};
    for (const auto& c : keeps) {
        TRenderCounts first, second;
        first.Rendered = c.First;
        second.Rendered = c.Second;
        EXPECT_EQ(KeepSecondAttempt(first, second), c.KeepSecond) << c.Name;
    }
}

}  // namespace
