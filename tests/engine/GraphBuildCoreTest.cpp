// The graph build's and the open's decisions without a graph: result codes, ".mss" names,
// the audio stream to play, entry states, title lines and resuming.
#include "engine/GraphBuildCore.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

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

}  // namespace
