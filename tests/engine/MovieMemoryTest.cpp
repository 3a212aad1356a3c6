#include "engine/MovieMemory.h"
#include "engine/Thumbnails.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <limits>

using namespace pvltest;

namespace {

constexpr uint32_t FourCC(const char (&c)[5])
{
    return uint32_t(uint8_t(c[0])) | uint32_t(uint8_t(c[1])) << 8 | uint32_t(uint8_t(c[2])) << 16 |
           uint32_t(uint8_t(c[3])) << 24;
}

// XviD 640x480 24 bpp at 25 fps, MPEG layer-3 audio at 16000 B/s, stereo 44.1 kHz, 10 s.
TMediaIdSource Film(const std::string& fileName)
{
    TMediaIdSource s;
    s.Video.Compression = FourCC("XVID");
    s.Video.Width = 640;
    s.Video.Height = 480;
    s.Video.BitCount = 24;
    s.Video.FrameRate = 25;
    s.Audio.FormatTag = 0x55;
    s.Audio.AvgBytesPerSec = 16000;
    s.Audio.SamplesPerSec = 44100;
    s.Audio.Channels = 2;
    s.Duration = 100000000;
    s.FileName = fileName;
    return s;
}

TMediaIdSource OnDisc(const std::string& fileName, uint32_t serial)
{
    TMediaIdSource s = Film(fileName);
    s.OnDisc = true;
    s.VolumeSerial = serial;
    return s;
}

TEST(MediaId, DescribedStreamsOnFixedDiskGiveTheKnownId)
{
    EXPECT_EQ(MakeMediaID(Film("C:\\x\\film.avi")), "4449560D-00FD-D03D-AD44-000000001689");
}

TEST(MediaId, TailFollowsTheBareNameOrTheDisc)
{
    const std::string head = "4449560D-00FD-D03D-AD44-";
    struct Case {
        const char* What;
        TMediaIdSource Source;
        std::string Tail;
    };
    const Case cases[] = {
        {"another folder, same name", Film("D:\\elsewhere\\film.avi"), "000000001689"},
        {"video CD track", OnDisc("D:\\MPEGAV\\AVSEQ01.DAT", 0x1234ABCD), "01001234ABCD"},
        {"video CD track, other drive, lower case", OnDisc("E:\\mpegav\\avseq01.dat", 0x1234ABCD), "01001234ABCD"},
        {"DVD title set", OnDisc("E:\\VIDEO_TS\\VTS_01_1.VOB", 0x1234ABCD), "010_1234ABCD"},
        {"DVD title set, other drive", OnDisc("F:\\VIDEO_TS\\VTS_01_1.VOB", 0x1234ABCD), "010_1234ABCD"},
        {"disc name on a hard disk", Film("C:\\rips\\VTS_01_1.VOB"), "00000000AE9C"},
        {"other file on a disc", OnDisc("D:\\film.avi", 0x1234ABCD), "000000001689"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        const std::string id = MakeMediaID(c.Source);
        ASSERT_EQ(id.size(), 36u);
        EXPECT_EQ(id.substr(0, 24), head);
        EXPECT_EQ(id.substr(24), c.Tail);
    }
    // On a hard disk the name counts, not the disc.
    EXPECT_NE(MakeMediaID(Film("C:\\x\\film.avi")), MakeMediaID(Film("C:\\x\\film2.avi")));
}

TEST(MediaId, AudioOnlyPartsAndOddValuesStayInShape)
{
    TMediaIdSource noAudio = Film("C:\\x\\film.avi");
    noAudio.Audio = TAudioStreamDescription{};
    EXPECT_EQ(MakeMediaID(noAudio), "44495658-00FD-D000-0000-000000001689");

    TMediaIdSource odd = Film("x");
    odd.Video.Width = std::numeric_limits<int32_t>::max();
    odd.Video.Height = -480;  // top-down
    odd.Video.FrameRate = 1e7;
    odd.Video.BitCount = 0xFFFF;
    odd.Duration = std::numeric_limits<int64_t>::max();
    odd.Audio.AvgBytesPerSec = 4294967295.0;
    odd.Audio.Channels = 70;
    odd.Audio.SamplesPerSec = -1;
    const std::string id = MakeMediaID(odd);
    ASSERT_EQ(id.size(), 36u);
    for (const size_t dash : {8u, 13u, 18u, 23u})
        EXPECT_EQ(id[dash], '-');
}

TEST(MediaId, HexIsPaddedThenCut)
{
    EXPECT_EQ(HexCut(0xAB, 6), "0000AB");
    EXPECT_EQ(HexCut(0x1234567, 6), "123456");
    EXPECT_EQ(HexCut(0xFFFFFFFFFFFFFFFFull, 6), "FFFFFF");
}

// A memory file written field by field, as the layout says.
struct TFile {
    TByteWriter W;
    TFile& Header(uint32_t header) { W.U32(header); return *this; }
    TFile& Count(int32_t n) { W.U32(uint32_t(n)); return *this; }
    TFile& Mark(const std::string& name, int64_t position, const std::vector<uint8_t>& thumb = {})
    {
        W.U32(uint32_t(name.size())).Text(name).U64(uint64_t(position)).U32(uint32_t(thumb.size())).Raw(thumb);
        return *this;
    }
    TFile& Position(int64_t p) { W.U64(uint64_t(p)); return *this; }
    TFile& Delay(int32_t d) { W.U32(uint32_t(d)); return *this; }
};

bool Read(const std::vector<uint8_t>& bytes, TMovieMemory& memory)
{
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    stream.SetPosition(0);
    return ReadMovieMemory(stream, memory);
}

std::vector<uint8_t> Write(const TMovieMemory& memory)
{
    TMemoryStream stream;
    WriteMovieMemory(stream, memory);
    return stream.Bytes();
}

const std::vector<uint8_t> SomeThumb = {0xFF, 0xD8, 1, 2, 3};

TEST(MovieMemoryFile, ReadsEachVersion)
{
    struct Case {
        uint32_t Header;
        bool HasDelay;
        int Version;
    };
    for (const Case c : {Case{67667701, false, 1}, Case{67667702, false, 2}, Case{67667703, true, 3}}) {
        SCOPED_TRACE(c.Header);
        TFile f;
        f.Header(c.Header).Count(2).Mark("Start", 10000000, SomeThumb).Mark("", 20000000).Position(55000000);
        if (c.HasDelay)
            f.Delay(-120);
        TMovieMemory m;
        ASSERT_TRUE(Read(f.W.Bytes, m));
        EXPECT_EQ(m.Version, c.Version);
        ASSERT_EQ(m.Bookmarks.size(), 2u);
        EXPECT_EQ(m.Bookmarks[0].Name, "Start");
        EXPECT_EQ(m.Bookmarks[0].Position, 10000000);
        EXPECT_EQ(m.Bookmarks[0].Thumbnail, SomeThumb);
        EXPECT_EQ(m.Bookmarks[1].Name, "");
        EXPECT_TRUE(m.Bookmarks[1].Thumbnail.empty());
        EXPECT_EQ(m.LastPosition, 55000000);
        EXPECT_EQ(m.Delay, c.HasDelay ? -120 : 0);
    }
}

TEST(MovieMemoryFile, NoBookmarksStillGivesThePosition)
{
    TFile f;
    f.Header(MovieMemoryHeader).Count(0).Position(1234).Delay(40);
    TMovieMemory m;
    ASSERT_TRUE(Read(f.W.Bytes, m));
    EXPECT_TRUE(m.Bookmarks.empty());
    EXPECT_EQ(m.LastPosition, 1234);
    EXPECT_EQ(m.Delay, 40);
}

TEST(MovieMemoryFile, WritesVersionThreeFieldByField)
{
    TMovieMemory m;
    m.Version = 1;  // whatever was read, the writer writes version 3
    m.Bookmarks = {{"Intro", 30000000, SomeThumb}, {"No picture", 60000000, {}}};
    m.LastPosition = 77;
    m.Delay = 250;
    TFile expected;
    expected.Header(67667703).Count(2).Mark("Intro", 30000000, SomeThumb).Mark("No picture", 60000000).Position(77).Delay(250);
    EXPECT_EQ(Write(m), expected.W.Bytes);
}

TEST(MovieMemoryFile, RoundTripsWithAndWithoutThumbnails)
{
    for (const bool thumbs : {false, true}) {
        SCOPED_TRACE(thumbs);
        TMovieMemory m;
        for (int i = 0; i < 4; ++i)
            m.Bookmarks.push_back({"Mark " + std::to_string(i), int64_t(i) * 1000, thumbs ? SomeThumb : std::vector<uint8_t>{}});
        m.LastPosition = -5;
        m.Delay = 1000;
        TMovieMemory back;
        ASSERT_TRUE(Read(Write(m), back));
        ASSERT_EQ(back.Bookmarks.size(), m.Bookmarks.size());
        for (size_t i = 0; i < m.Bookmarks.size(); ++i) {
            EXPECT_EQ(back.Bookmarks[i].Name, m.Bookmarks[i].Name);
            EXPECT_EQ(back.Bookmarks[i].Position, m.Bookmarks[i].Position);
            EXPECT_EQ(back.Bookmarks[i].Thumbnail, m.Bookmarks[i].Thumbnail);
        }
        EXPECT_EQ(back.Version, 3);
        EXPECT_EQ(back.LastPosition, -5);
        EXPECT_EQ(back.Delay, 1000);
    }
}

TEST(MovieMemoryFile, EveryTruncationIsNoMemory)
{
    TFile f;
    f.Header(MovieMemoryHeader).Count(2).Mark("Start", 1, SomeThumb).Mark("End", 2).Position(3).Delay(4);
    for (size_t cut = 0; cut < f.W.Bytes.size(); ++cut) {
        SCOPED_TRACE(cut);
        TMovieMemory m;
        m.LastPosition = 99;
        EXPECT_FALSE(Read({f.W.Bytes.begin(), f.W.Bytes.begin() + std::ptrdiff_t(cut)}, m));
        EXPECT_TRUE(m.Bookmarks.empty());
        EXPECT_EQ(m.LastPosition, 0);
    }
}

TEST(MovieMemoryFile, DamagedFilesAreNoMemory)
{
    struct Case {
        const char* What;
        std::vector<uint8_t> Bytes;
    };
    const auto file = [](auto build) { TFile f; build(f); return f.W.Bytes; };
    const Case cases[] = {
        {"other header", file([](TFile& f) { f.Header(12345678).Count(0).Position(0).Delay(0); })},
        {"header without a version", file([](TFile& f) { f.Header(676677).Count(0).Position(0).Delay(0); })},
        {"negative header", file([](TFile& f) { f.Header(uint32_t(-67667703)).Count(0).Position(0).Delay(0); })},
        {"negative count", file([](TFile& f) { f.Header(MovieMemoryHeader).Count(-1).Position(0).Delay(0); })},
        {"count beyond the records", file([](TFile& f) { f.Header(MovieMemoryHeader).Count(0x7FFFFFFF).Mark("a", 1).Position(0).Delay(0); })},
        {"negative name length", file([](TFile& f) { f.Header(MovieMemoryHeader).Count(1).W.U32(uint32_t(-4)).Text("abcd").U64(0).U32(0).U64(0).U32(0); })},
        {"name past the end", file([](TFile& f) { f.Header(MovieMemoryHeader).Count(1).W.U32(0x7FFFFFF0).Text("abcd").U64(0).U32(0).U64(0).U32(0); })},
        {"thumbnail past the end", file([](TFile& f) { f.Header(MovieMemoryHeader).Count(1).W.U32(1).Text("a").U64(0).U32(0x7FFFFFF0).U64(0).U32(0); })},
        {"thumbnail one byte short", file([](TFile& f) { f.Header(MovieMemoryHeader).Count(1).W.U32(1).Text("a").U64(0).U32(30).Zeros(29); })},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TMovieMemory m;
        EXPECT_FALSE(Read(c.Bytes, m));
        EXPECT_TRUE(m.Bookmarks.empty());
    }
}

TEST(MovieMemoryFile, NegativeThumbnailSizeMeansNoThumbnail)
{
    TFile f;
    f.Header(MovieMemoryHeader).Count(1).W.U32(1).Text("a").U64(5).U32(uint32_t(-1));
    f.Position(6).Delay(7);
    TMovieMemory m;
    ASSERT_TRUE(Read(f.W.Bytes, m));
    ASSERT_EQ(m.Bookmarks.size(), 1u);
    EXPECT_TRUE(m.Bookmarks[0].Thumbnail.empty());
    EXPECT_EQ(m.LastPosition, 6);
}

TEST(MovieMemoryFile, SavedWholeAndLoadedBack)
{
    TTempDir dir;
    const std::string name = MediaIdFile(dir.Path(), "4449560D-00FD-D03D-AD44-000000001689");
    TMovieMemory m;
    EXPECT_FALSE(LoadMovieMemory(name, m));

    m.Bookmarks = {{"A", 1, SomeThumb}};
    m.LastPosition = 42;
    ASSERT_TRUE(SaveMovieMemory(name, m));
    m.LastPosition = 43;
    ASSERT_TRUE(SaveMovieMemory(name, m));  // replaces the old one
    TMovieMemory back;
    ASSERT_TRUE(LoadMovieMemory(name, back));
    EXPECT_EQ(back.LastPosition, 43);
    EXPECT_EQ(back.Bookmarks.size(), 1u);

    EXPECT_FALSE(SaveMovieMemory(dir.File("missing") + PathDelim + "x.cid", m));
    WriteAll(name, std::vector<uint8_t>{1, 2, 3});
    EXPECT_FALSE(LoadMovieMemory(name, back));
}

TEST(MovieMemoryFile, FolderAndFileNames)
{
    EXPECT_EQ(ResolveMediaIDFolder("C:\\Parvolux\\MediaID", "D:\\Other\\"), "C:\\Parvolux\\MediaID");
    EXPECT_EQ(ResolveMediaIDFolder(".\\MediaID", "C:\\Parvolux\\"), "C:\\Parvolux\\MediaID");
    EXPECT_EQ(ResolveMediaIDFolder("\\MediaID", "C:\\Parvolux\\"), "C:\\Parvolux\\MediaID");
    EXPECT_EQ(MediaIdFile("memory" + std::string(1, PathDelim), "ID"), "memory" + std::string(1, PathDelim) + "ID.cid");
}

TEST(MovieMemoryFile, FinishedFromNinetyEightPercentOn)
{
    const int64_t duration = 100000000;
    EXPECT_FALSE(IsFinishedPosition(97999999, duration));
    EXPECT_TRUE(IsFinishedPosition(98000000, duration));
    EXPECT_TRUE(IsFinishedPosition(99000000, duration));
}

}  // namespace
