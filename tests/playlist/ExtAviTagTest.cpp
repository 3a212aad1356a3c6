#include "playlist/ExtAviTag.h"

#include "framework/SysUtils.h"
#include "tests/support/TagWriter.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace pvltest;

namespace {

// A chunk found by walking a RIFF file: lists are entered, "movi" is not.
struct TFound {
    std::string Id;
    std::string Type;  // of a list
    size_t Position;
    uint32_t Size;
    int Depth;
};

uint32_t LittleEndian32(const TBytes& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t{b[at + 3]} << 24);
}

void Walk(const TBytes& file, size_t position, size_t end, int depth, std::vector<TFound>& out)
{
    while (position + 8 <= end) {
        TFound c{std::string(file.begin() + position, file.begin() + position + 4), "", position, LittleEndian32(file, position + 4), depth};
        const size_t next = position + 8 + c.Size + (c.Size & 1);
        if (c.Id == "LIST" || c.Id == "RIFF") {
            c.Type.assign(file.begin() + position + 8, file.begin() + position + 12);
            out.push_back(c);
            if (c.Type != "movi")
                Walk(file, position + 12, std::min(next, end), depth + 1, out);
        } else {
            out.push_back(c);
        }
        position = next;
    }
}

std::vector<TFound> Chunks(const TBytes& file)
{
    std::vector<TFound> out;
    Walk(file, 0, file.size(), 0, out);
    return out;
}

const TFound* Find(const std::vector<TFound>& chunks, const std::string& id, const std::string& type = "")
{
    for (const TFound& c : chunks)
        if (c.Id == id && c.Type == type)
            return &c;
    return nullptr;
}

TBytes ChunkBytes(const TBytes& file, const TFound& c)
{
    return TBytes(file.begin() + c.Position, file.begin() + c.Position + 8 + c.Size);
}

TBytes Text0(std::string_view text)
{
    return Bytes(text) + TBytes{0};
}

const TBytes Header = RiffList("hdrl", RiffChunk("avih", TBytes(56, 1)) + RiffList("strl", RiffChunk("strh", TBytes(56, 2))));
const TBytes Movie = RiffChunk("00dc", TBytes(3000, 0x33)) + RiffChunk("01wb", TBytes(501, 0x44));
const TBytes Index = RiffChunk("idx1", TBytes(64, 0x55));

TExtAviINFO_tags SomeTags()
{
    TExtAviINFO_tags tags;
    tags.INAM = L"A title";
    tags.IART = L"Director";
    tags.ICMT = L"Odd length";
    tags.IMIT = L"Last field";
    tags.ISBJ = std::wstring(L"Sub") + L'\0' + L"ject";
    return tags;
}

void ExpectSameTags(const TExtAviINFO_tags& a, const TExtAviINFO_tags& b)
{
    for (int n = 0; n < TExtAviINFO_tags::Count; ++n)
        EXPECT_EQ(a.Field(n), b.Field(n)) << AviInfoIDs[static_cast<size_t>(n)];
}

}  // namespace

TEST(AviInfoRead, ErrorCodesLeaveTheTagsAlone)
{
    const TBytes good = AviFile(Header, Movie, Index);
    TBytes shortRiff = good;
    shortRiff[4] += 2;
    const struct {
        const char* name;
        TBytes file;
        int code;
    } cases[] = {
        {"head cut short", Bytes("RIFF"), 2},
        {"no RIFF head", Bytes("RIFX") + Slice(good, 4, good.size() - 4), 3},
        {"shorter than its RIFF size", shortRiff, 4},
        {"another RIFF form", RiffChunk("RIFF", Bytes("WAVE") + RiffChunk("fmt ", TBytes(16, 0))), 5},
        {"form cut off", Bytes("RIFF") + TBytes{2, 0, 0, 0} + Bytes("AV"), 2},
        {"chunk of size zero", AviFile(RiffChunk("INAM", {}) + Header, Movie, Index), 6},
        {"chunk beyond the end", AviFile(Bytes("INAM") + TBytes{0xFF, 0xFF, 0, 0}, {}, {}), 6},
        {"list smaller than its type", AviFile(Bytes("LIST") + TBytes{2, 0, 0, 0} + Bytes("IN") + Header, Movie, Index), 6},
        {"list beyond the end", AviFile(Bytes("LIST") + TBytes{0, 0, 0, 0x10} + Bytes("INFO"), {}, {}), 6},
        {"more chunks than any real file", AviFile(Repeated(RiffChunk("JUNK", {}), 100001), Movie, Index), 6},
    };
    TTempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TExtAviINFO_tags tags;
        tags.INAM = L"kept";
        EXPECT_EQ(ReadAviInfoTagsFromBuffer(c.file, tags), c.code);
        WriteAll(dir.File("a.avi"), c.file);
        EXPECT_EQ(ReadAviInfoTags(dir.File("a.avi"), tags), c.code);
        EXPECT_EQ(tags.INAM, L"kept");
    }
    TExtAviINFO_tags tags;
    EXPECT_EQ(ReadAviInfoTags(dir.File("missing.avi"), tags), 1);
    EXPECT_EQ(ReadAviInfoTags(dir.Path(), tags), 1);
}

TEST(AviInfoRead, TextsAsStored)
{
    const TBytes big = RiffChunk("ICMT", TBytes(131074, 'b'));
    const TBytes info = RiffList("INFO", RiffChunk("INAM", Text0("Odd!")) + RiffChunk("IART", Text0("Cut") + Bytes("here")) +
                                             RiffChunk("ICOP", Text0("first")) + big + RiffChunk("ISBJ", Bytes("no zero")));
    const TBytes file = AviFile(Header + info + RiffList("odml", RiffChunk("ICOP", Text0("second"))) + RiffChunk("JUNK", TBytes(9, 0)),
                                Movie + RiffChunk("INAM", Text0("in the movie")), Index);
    TExtAviINFO_tags tags;
    tags.IMIT = L"replaced";
    ASSERT_EQ(ReadAviInfoTagsFromBuffer(file, tags), 0);
    EXPECT_EQ(tags.INAM, L"Odd!");
    EXPECT_EQ(tags.IART, L"Cut");
    EXPECT_EQ(tags.ICOP, L"second");
    EXPECT_EQ(tags.ICMT, L"");
    EXPECT_EQ(tags.ISBJ, L"no zero");
    EXPECT_EQ(tags.IMIT, L"");

    ASSERT_EQ(ReadAviInfoTagsFromBuffer(AviFile(Header, Movie, Index), tags), 0);
    ExpectSameTags(tags, TExtAviINFO_tags{});
}

TEST(AviInfoWrite, FfmpegFilesKeepTheirMovieDataAndIndex)
{
    for (const char* fixture : {"mpeg4_mp3.avi", "uncompressed.avi", "two_audio.avi"}) {
        SCOPED_TRACE(fixture);
        const std::string source = FixturePath(fixture);
        ASSERT_FALSE(source.empty()) << "fixtures missing";
        TTempDir dir;
        const std::string name = dir.File("movie.avi");
        const TBytes before = ReadAll(source);
        WriteAll(name, before);

        TExtAviINFO_tags tags;
        ASSERT_EQ(ReadAviInfoTags(name, tags), 0);
        EXPECT_EQ(WideToAnsi(tags.ISFT).substr(0, 4), "Lavf");
        const std::wstring software = tags.ISFT;
        tags = SomeTags();
        tags.ISFT = software;
        ASSERT_EQ(WriteAviInfoTags(name, tags), 0);

        const TBytes after = ReadAll(name);
        const auto was = Chunks(before);
        const auto now = Chunks(after);
        EXPECT_EQ(after.size(), before.size());  // the list fits where JUNK was
        EXPECT_EQ(LittleEndian32(after, 4), after.size() - 8);
        const std::pair<const char*, const char*> kept[] = {{"LIST", "movi"}, {"idx1", ""}, {"avih", ""}, {"vprp", ""}};
        for (const auto& [id, type] : kept) {
            SCOPED_TRACE(id + std::string(type));
            const TFound* a = Find(was, id, type);
            const TFound* b = Find(now, id, type);
            ASSERT_TRUE(a && b);
            EXPECT_EQ(ChunkBytes(after, *b), ChunkBytes(before, *a));
            if (std::string(type) == "movi" || std::string(id) == "idx1") {
                EXPECT_EQ(b->Position, a->Position);
            }
        }
        size_t streams = 0;
        for (const TFound& c : now) {
            EXPECT_FALSE(c.Id == "JUNK" && c.Depth > 1) << "JUNK left in the header lists";
            streams += c.Id == "strf";
        }
        EXPECT_EQ(streams, std::string(fixture) == "two_audio.avi" ? 3u : 2u);

        TExtAviINFO_tags again;
        ASSERT_EQ(ReadAviInfoTags(name, again), 0);
        TExtAviINFO_tags expected = tags;
        expected.ISBJ = L"Subject";
        ExpectSameTags(again, expected);
        EXPECT_FALSE(FileExists(name + ".~tmp"));
    }
}

TEST(AviInfoWrite, InfoListLayout)
{
    TTempDir dir;
    const std::string name = dir.File("a.avi");
    WriteAll(name, AviFile(Header + RiffChunk("JUNK", TBytes(200, 0)), Movie, Index));
    TExtAviINFO_tags tags;
    tags.IART = L"Abc";  // size 4: no pad byte
    tags.INAM = L"Ab";   // size 3: a pad byte
    ASSERT_EQ(WriteAviInfoTags(name, tags), 0);
    const TBytes file = ReadAll(name);
    const TBytes info = RiffList("INFO", RiffChunk("INAM", Text0("Ab")) + RiffChunk("IART", Text0("Abc")));
    EXPECT_EQ(Slice(file, 12 + Header.size(), info.size()), info);
    const size_t junk = 200 + 8 - info.size();
    const TBytes filler = Bytes("JUNK") + TBytes{static_cast<uint8_t>(junk - 8), 0, 0, 0};
    EXPECT_EQ(Slice(file, 12 + Header.size() + info.size(), 8), filler);
    EXPECT_EQ(file.size(), AviFile(Header + RiffChunk("JUNK", TBytes(200, 0)), Movie, Index).size());
}

TEST(AviInfoWrite, EmptyTagsRemoveTheListAndLeaveFiller)
{
    TTempDir dir;
    const std::string name = dir.File("a.avi");
    const TBytes info = RiffList("INFO", RiffChunk("INAM", Text0("Old title")));
    const TBytes mid = RiffList("MID ", RiffChunk("IMID", TBytes(10, 1)));
    const TBytes before = AviFile(Header + info + mid, Movie, Index);
    WriteAll(name, before);
    ASSERT_EQ(WriteAviInfoTags(name, TExtAviINFO_tags{}), 0);
    const TBytes after = ReadAll(name);
    EXPECT_EQ(after, AviFile(Header + RiffChunk("JUNK", TBytes(info.size() + mid.size() - 8, 0)), Movie, Index));
    TExtAviINFO_tags tags;
    tags.INAM = L"x";
    ASSERT_EQ(ReadAviInfoTags(name, tags), 0);
    EXPECT_EQ(tags.INAM, L"");
}

TEST(AviInfoWrite, ListWithoutRoomGoesToTheEnd)
{
    TTempDir dir;
    const std::string name = dir.File("a.avi");
    const TBytes before = AviFile(Header, Movie, Index);
    WriteAll(name, before);
    const TExtAviINFO_tags tags = SomeTags();
    ASSERT_EQ(WriteAviInfoTags(name, tags), 0);
    const TBytes after = ReadAll(name);
    ASSERT_GT(after.size(), before.size());
    EXPECT_EQ(Slice(after, 8, before.size() - 8), Slice(before, 8, before.size() - 8));
    EXPECT_EQ(LittleEndian32(after, 4), after.size() - 8);
    const auto now = Chunks(after);
    ASSERT_TRUE(Find(now, "LIST", "INFO"));
    EXPECT_EQ(Find(now, "LIST", "INFO")->Position, before.size());
    TExtAviINFO_tags again;
    ASSERT_EQ(ReadAviInfoTags(name, again), 0);
    EXPECT_EQ(again.INAM, L"A title");
    EXPECT_EQ(again.IMIT, L"Last field");

    // Saved again, the old list at the end is replaced, not repeated.
    ASSERT_EQ(WriteAviInfoTags(name, tags), 0);
    EXPECT_EQ(ReadAll(name), after);
}

TEST(AviInfoWrite, KeepsLargeChunksAndWhatFollowsTheFirstRiff)
{
    const TBytes large = RiffChunk("strd", AudioBytes(200000, 3));
    const TBytes extension = RiffChunk("RIFF", Bytes("AVIX") + RiffList("movi", RiffChunk("00dc", TBytes(5000, 0x66))));
    const TBytes oldInfo = RiffList("INFO", RiffChunk("INAM", Text0("stale")));
    const TBytes first = AviFile(Header + large + RiffChunk("JUNK", TBytes(300, 0)), Movie, Index + oldInfo);
    TTempDir dir;
    const std::string name = dir.File("a.avi");
    WriteAll(name, first + extension);

    TExtAviINFO_tags tags;
    tags.INAM = L"new";
    ASSERT_EQ(WriteAviInfoTags(name, tags), 0);
    const TBytes after = ReadAll(name);
    ASSERT_EQ(after.size(), first.size() + extension.size());
    EXPECT_EQ(Slice(after, 0, 8), Slice(first, 0, 8));  // the first RIFF keeps its size
    EXPECT_EQ(Slice(after, first.size(), extension.size()), extension);
    const auto now = Chunks(after);
    ASSERT_TRUE(Find(now, "strd"));
    EXPECT_EQ(ChunkBytes(after, *Find(now, "strd")), large);
    const size_t moviAt = 12 + Header.size() + large.size() + 308;
    EXPECT_EQ(Slice(after, moviAt, 12 + Movie.size() + Index.size()), Slice(first, moviAt, 12 + Movie.size() + Index.size()));
    EXPECT_EQ(Slice(after, moviAt + 12 + Movie.size() + Index.size(), 4), Bytes("JUNK"));

    TExtAviINFO_tags again;
    ASSERT_EQ(ReadAviInfoTags(name, again), 0);
    EXPECT_EQ(again.INAM, L"new");
}

TEST(AviInfoWrite, RefusalsLeaveTheFileUnchanged)
{
    const TBytes oneChunk = RiffChunk("avih", TBytes(56, 1));
    const struct {
        const char* name;
        TBytes file;
        int code;
    } cases[] = {
        {"another RIFF form", RiffChunk("RIFF", Bytes("WAVE") + RiffChunk("fmt ", TBytes(16, 0))), 5},
        {"no RIFF head", Bytes("MThd") + TBytes(100, 0), 3},
        {"head cut short", Bytes("RIFF"), 2},
        {"no movie data", RiffChunk("RIFF", Bytes("AVI ") + Header), 8},
        {"a chunk beyond its list", AviFile(Bytes("LIST") + TBytes{20, 0, 0, 0} + Bytes("hdrl") + oneChunk, Movie, Index), 8},
        {"cut short", Slice(AviFile(Header, Movie, Index), 0, 500), 8},
        {"more chunks than any real file", AviFile(Repeated(RiffChunk("JUNK", {}), 100001), Movie, Index), 8},
        {"no room and more behind the first RIFF", AviFile(Header, Movie, Index) + Bytes("RIFF") + TBytes{4, 0, 0, 0} + Bytes("AVIX"), 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTempDir dir;
        const std::string name = dir.File("a.avi");
        WriteAll(name, c.file);
        EXPECT_EQ(WriteAviInfoTags(name, SomeTags()), c.code);
        EXPECT_EQ(ReadAll(name), c.file);
    }
    // Files our reader refuses: a save would leave one it still cannot read.
    for (const TBytes& file : {AviFile(Header, Movie, Index + TBytes(16, 0)), AviFile(Header + RiffChunk("strd", {}), Movie, Index)}) {
        TTempDir dir;
        const std::string name = dir.File("a.avi");
        WriteAll(name, file);
        TExtAviINFO_tags tags;
        EXPECT_EQ(ReadAviInfoTags(name, tags), 6);
        EXPECT_EQ(WriteAviInfoTags(name, SomeTags()), 8);
        EXPECT_EQ(ReadAll(name), file);
        EXPECT_FALSE(FileExists(name + ".~tmp"));
    }
    TTempDir dir;
    const std::string name = dir.File("a.avi");
    EXPECT_EQ(WriteAviInfoTags(name, SomeTags()), 1);
    EXPECT_FALSE(FileExists(name));
    const TBytes good = AviFile(Header + RiffChunk("JUNK", TBytes(300, 0)), Movie, Index);
    WriteAll(name, good);
    FileSetAttr(name, faReadOnly);
    EXPECT_EQ(WriteAviInfoTags(name, SomeTags()), 1);
    FileSetAttr(name, 0);
    EXPECT_EQ(ReadAll(name), good);
}
