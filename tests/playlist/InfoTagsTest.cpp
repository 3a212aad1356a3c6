#include "playlist/InfoTags.h"

#include "tests/support/TagWriter.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <thread>

using namespace pvltest;

namespace {

TBytes TextFrame(std::string_view id, std::string_view text)
{
    return Id3Frame(3, id, Latin1Text(text));
}

TBytes V2(const TBytes& frames)
{
    return Id3Tag(3, 0, frames + TBytes(20, 0));
}

const TBytes Audio = AudioBytes(3000, 11);
const TBytes V1 = Id3v1Record("  One title ", "One artist", "One album", "1999", "", 0, 0);
const TBytes Avi = AviFile(RiffList("INFO", RiffChunk("IWRI", Bytes("Writer") + TBytes{0}) + RiffChunk("INAM", Bytes("Avi title") + TBytes{0}) +
                                               RiffChunk("ISBJ", Bytes("Subject") + TBytes{0}) + RiffChunk("ICOP", Bytes("(c)") + TBytes{0})),
                           RiffChunk("00dc", TBytes(100, 1)), {});

}  // namespace

TEST(InfoTags, ReadSimpleTagsTakesTheLastTagThatReads)
{
    const struct {
        const char* name;
        TBytes file;
        uint8_t kind;
        TSimpleTag tag;
    } cases[] = {
        {"ID3v1 only", Audio + V1, tkID3, TSimpleID3Tag{"One title", "One artist", "One album"}},
        {"ID3v2 over ID3v1", V2(TextFrame("TIT2", " Two title ") + TextFrame("TALB", "Two album")) + Audio + V1, tkID3,
         TSimpleID3Tag{"Two title", "", "Two album"}},
        {"ID3v2 that fails to load", Id3Tag(3, 0, TextFrame("TIT2", "x") + TextFrame("T-T2", "y")) + Audio + V1, tkID3,
         TSimpleID3Tag{"One title", "One artist", "One album"}},
        {"AVI INFO", Avi, tkAVI, TSimpleAVITag{L"Writer", L"Avi title", L"Subject", L"(c)"}},
        {"no tags", Audio, tkNone, std::monostate{}},
    };
    TTempDir dir;
    TInfoTags held;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = dir.File("a.bin");
        WriteAll(name, c.file);
        uint8_t kind = 99;
        TSimpleTag tag;
        held.ReadSimpleTags(name, kind, tag);
        EXPECT_EQ(kind, c.kind);
        ASSERT_EQ(tag.index(), c.tag.index());
        if (const auto* id3 = std::get_if<TSimpleID3Tag>(&tag)) {
            const auto& expected = std::get<TSimpleID3Tag>(c.tag);
            EXPECT_EQ(id3->Title, expected.Title);
            EXPECT_EQ(id3->Artist, expected.Artist);
            EXPECT_EQ(id3->Album, expected.Album);
        }
        if (const auto* avi = std::get_if<TSimpleAVITag>(&tag)) {
            const auto& expected = std::get<TSimpleAVITag>(c.tag);
            EXPECT_EQ(avi->Writer, expected.Writer);
            EXPECT_EQ(avi->Title, expected.Title);
            EXPECT_EQ(avi->Subject, expected.Subject);
            EXPECT_EQ(avi->Copyright, expected.Copyright);
        }
    }
}

TEST(InfoTags, HeldTagsAreThoseOfTheLastFileRead)
{
    TTempDir dir;
    WriteAll(dir.File("both.mp3"), V2(TextFrame("TIT2", "Title") + TextFrame("TPE1", "Artist")) + Audio + V1);
    WriteAll(dir.File("movie.avi"), Avi);
    TInfoTags held;
    uint8_t kind;
    TSimpleTag tag;

    held.ReadSimpleTags(dir.File("both.mp3"), kind, tag);
    EXPECT_EQ(std::string(held.ID3v1.Header, 3), "TAG");
    EXPECT_EQ(held.ID3v2.Frames.Count(), 2);
    EXPECT_EQ(held.ID3v2.FileName, dir.File("both.mp3"));

    held.ReadSimpleTags(dir.File("movie.avi"), kind, tag);
    EXPECT_EQ(held.ID3v1.Header[0], 0);
    EXPECT_EQ(held.ID3v2.Frames.Count(), 0);
    EXPECT_EQ(held.AviTags.INAM, L"Avi title");

    held.ReadSimpleTags(dir.File("missing.avi"), kind, tag);
    EXPECT_EQ(kind, tkNone);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(tag));
    EXPECT_EQ(held.AviTags.INAM, L"");
}

TEST(InfoTags, ReadTitleTag)
{
    const struct {
        const char* name;
        TBytes file;
        std::string title;
    } cases[] = {
        {"ID3v1 title", Audio + V1, "One title"},
        {"ID3v2 title over ID3v1", V2(TextFrame("TIT2", "Two")) + Audio + V1, "Two"},
        {"ID3v2 without a title empties it", V2(TextFrame("TALB", "Album")) + Audio + V1, ""},
        {"ID3v2 that fails to load", Id3Tag(3, 0, TextFrame("T-T2", "y")) + Audio + V1, "One title"},
        {"AVI INFO title", Avi, "Avi title"},
        {"no tags", Audio, ""},
    };
    TTempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteAll(dir.File("a.bin"), c.file);
        std::string title = "old";
        ReadTitleTag(dir.File("a.bin"), title);
        EXPECT_EQ(title, c.title);
    }
    std::string title = "old";
    ReadTitleTag(dir.File("missing.mp3"), title);
    EXPECT_EQ(title, "");
}

TEST(InfoTags, TitlesReadOnManyThreadsAtOnce)
{
    TTempDir dir;
    constexpr int Threads = 6;
    for (int t = 0; t < Threads; ++t)
        WriteAll(dir.File("f" + std::to_string(t)), V2(TextFrame("TIT2", "Title " + std::to_string(t))) + Audio);
    std::vector<std::thread> threads;
    std::vector<int> wrong(Threads, 0);
    for (int t = 0; t < Threads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 40; ++i) {
                std::string title;
                ReadTitleTag(dir.File("f" + std::to_string(t)), title);
                wrong[static_cast<size_t>(t)] += title != "Title " + std::to_string(t);
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong, std::vector<int>(Threads, 0));
}
