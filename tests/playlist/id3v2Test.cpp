#include "playlist/id3v2.h"

#include "tests/support/TagWriter.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace pvltest;

namespace {

TBytes Frame3(std::string_view id, const TBytes& data, uint8_t status = 0, uint8_t format = 0)
{
    return Id3Frame(3, id, data, status, format);
}

TBytes Frame4(std::string_view id, const TBytes& data, uint8_t status = 0, uint8_t format = 0)
{
    return Id3Frame(4, id, data, status, format);
}

TBytes FirstBytes(TBytes bytes, size_t count)
{
    bytes.resize(count);
    return bytes;
}

TBytes WithRevision(TBytes tag, uint8_t revision)
{
    tag[4] = revision;
    return tag;
}

const TBytes Title = Frame3("TIT2", Latin1Text("Title"));

}  // namespace

TEST(Id3v2Load, StatusWordsForHeadersSizesAndFrames)
{
    const TBytes text = Latin1Text("abc");
    const struct {
        const char* name;
        TBytes file;
        int64_t offset;
        uint8_t acceptRevision;
        uint16_t status;
        int frames;
    } cases[] = {
        {"file ends at the offset", TBytes(5, 'x'), 5, 1, id3FileTooShort, 0},
        {"nine bytes after the offset", Bytes("xx") + FirstBytes(Id3Tag(3, 0, {}), 9), 2, 1, id3NoTag, 0},
        {"no ID3 mark", Bytes("ID4") + TBytes(7, 0) + Title, 0, 1, id3NoTag, 0},
        {"version byte 0xFF", Bytes("ID3\xFF") + TBytes(6, 0) + Title, 0, 1, id3NoTag, 0},
        {"size byte with its top bit", Bytes("ID3\x03") + TBytes{0, 0, 0, 0, 0x80, 0} + Title, 0, 1, id3NoTag, 0},
        {"version 2", Id3Tag(2, 0, Title), 0, 1, id3BadVersion, 0},
        {"revision refused", WithRevision(Id3Tag(4, 0, Frame4("TIT2", text)), 1), 0, 0, id3BadRevision, 0},
        {"revision accepted with a warning", WithRevision(Id3Tag(4, 0, Frame4("TIT2", text)), 1), 0, 1, id3WarnRevision, 1},
        {"unknown header flags", Id3Tag(3, 0x01, Title), 0, 1, id3WarnHeaderFlags, 1},
        {"tag at an offset", Bytes("junk") + Id3Tag(3, 0, Title), 4, 1, 0, 1},
        {"tag size past the end", FirstBytes(Id3Tag(3, 0, Title), 10 + Title.size() - 1), 0, 1, id3TagPastEnd, 0},
        {"hyphen in a frame id", Id3Tag(3, 0, Title + Frame3("TI-2", text)), 0, 1, id3BadFrameID, 1},
        {"frame size past the tag", Id3Tag(3, 0, Title + Bytes("TALB") + BigEndian32(100) + TBytes{0, 0} + text), 0, 1, id3Corrupt, 1},
        {"huge frame size", Id3Tag(3, 0, Title + Bytes("TALB") + BigEndian32(0xFFFFFFF0) + TBytes{0, 0} + text), 0, 1, id3Corrupt, 1},
        {"frame header at the very end", Id3Tag(3, 0, Title + Frame3("TALB", {})), 0, 1, id3Corrupt, 1},
        {"short block at the end", Id3Tag(3, 0, Title + Bytes("TAL")), 0, 1, id3Corrupt, 1},
        {"short block after announced padding", Id3Tag(3, 0x40, BigEndian32(6) + TBytes{0, 0} + BigEndian32(100) + Title + Bytes("TAL")), 0, 1, id3Corrupt, 1},
        {"compressed frame shorter than its size field", Id3Tag(3, 0, Frame3("TIT2", {1, 2}, 0, 0x80) + TBytes(10, 0)), 0, 1, id3WarnFrameDropped, 0},
        {"length indicator longer than the frame", Id3Tag(4, 0, Frame4("TIT2", {0, 0, 0}, 0, 0x01) + TBytes(10, 0)), 0, 1, id3WarnFrameDropped, 0},
        {"grouped frame without data", Id3Tag(4, 0, Frame4("TIT2", {}, 0, 0x40) + TBytes(10, 0)), 0, 1, id3WarnFrameDropped, 0},
        {"2.4 broken frame between good ones", Id3Tag(4, 0, Frame4("TIT2", text) + Frame4("TALB", {7}, 0, 0x01) + Frame4("TPE1", text) + TBytes(10, 0)), 0, 1, id3WarnFrameDropped, 2},
        {"2.3 broken frame between good ones", Id3Tag(3, 0, Title + Frame3("TALB", {1, 2}, 0, 0x80) + Frame3("TPE1", text) + TBytes(10, 0)), 0, 1, id3WarnFrameDropped, 2},
        {"2.4 extended header below 6", Id3Tag(4, 0x40, SyncSafe32(5) + TBytes{1, 0} + Frame4("TIT2", text)), 0, 1, id3Corrupt, 0},
        {"2.4 extended header without flag bytes", Id3Tag(4, 0x40, SyncSafe32(6) + TBytes{0, 0} + Frame4("TIT2", text)), 0, 1, id3Corrupt, 0},
        {"2.4 extended header beyond the tag", Id3Tag(4, 0x40, SyncSafe32(100) + TBytes{1, 0} + Frame4("TIT2", text)), 0, 1, id3Corrupt, 0},
        {"2.4 CRC item too short", Id3Tag(4, 0x40, SyncSafe32(11) + TBytes{1, 0x20, 4, 1, 2, 3, 4} + Frame4("TIT2", text)), 0, 1, id3Corrupt, 0},
        {"2.4 restrictions item missing", Id3Tag(4, 0x40, SyncSafe32(6) + TBytes{1, 0x10} + Frame4("TIT2", text)), 0, 1, id3Corrupt, 0},
        {"2.4 item longer than the header", Id3Tag(4, 0x40, SyncSafe32(8) + TBytes{1, 0x40, 9, 0} + Frame4("TIT2", text)), 0, 1, id3Corrupt, 0},
        {"2.3 padding other than announced", Id3Tag(3, 0x40, BigEndian32(6) + TBytes{0, 0} + BigEndian32(100) + Title + TBytes(20, 0)), 0, 1, id3WarnPadding, 1},
        {"more frames than any real tag", Id3Tag(3, 0, Repeated(Frame3("PRIV", {1}), 65537)), 0, 1, id3Corrupt, 65536},
        {"2.4 unknown extended flags", Id3Tag(4, 0x40, SyncSafe32(6) + TBytes{1, 0x01} + Frame4("TIT2", text)), 0, 1, id3WarnExtendedHeader, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Tid3v2tag tag;
        tag.AcceptRevision = c.acceptRevision;
        EXPECT_EQ(tag.LoadFromBuffer(c.file, c.offset), c.status);
        EXPECT_EQ(tag.Frames.Count(), c.frames);
        if (c.status == id3WarnFrameDropped && c.frames == 2) {
            EXPECT_EQ(tag.Frames.ID(1), "TIT2");
            EXPECT_EQ(tag.Frames.ID(2), "TPE1");
        }
    }
}

TEST(Id3v2Load, FilesLoadLikeBuffersAndReportTheirAttributes)
{
    TTempDir dir;
    Tid3v2tag tag;
    EXPECT_EQ(tag.LoadFromFile(dir.File("missing.mp3"), 0), id3NoFile);
    EXPECT_EQ(tag.LoadFromFile(dir.Path(), 0), id3NoFile);

    const std::string name = dir.File("a.mp3");
    WriteAll(name, Id3Tag(3, 0, Title + TBytes(30, 0)) + AudioBytes(500, 1));
    ASSERT_TRUE(FileSetAttr(name, faReadOnly));
    EXPECT_EQ(tag.LoadFromFile(name, 0), 0);
    EXPECT_TRUE(tag.ReadOnly);
    EXPECT_EQ(tag.FileName, name);
    EXPECT_TRUE(tag.Complete);
    EXPECT_EQ(tag.Progress, 100);
    EXPECT_EQ(tag.StatusText, "Load Complete");
    EXPECT_EQ(tag.TagSize, Title.size() + 30);
    EXPECT_EQ(tag.PaddingSize, 30u);
    FileSetAttr(name, 0);
}

TEST(Id3v2Load, FrameHeadersAreReadIntoTheFrameRecords)
{
    const TBytes body = Frame3("tit2", Latin1Text("A"), 0xE0, 0x00) +               // lower case, all status flags
                        Frame3("PRIV", TBytes{0x07, 'x', 'y'}, 0x00, 0x20) +          // grouped
                        Frame3("TALB", TBytes{0x81, 'e', 'n', 'c'}, 0x00, 0x40) +     // encrypted
                        Frame3("TPE1", BigEndian32(3) + Deflated(Latin1Text("ab")), 0, 0x80) + TBytes(4, 0);
    Tid3v2tag tag;
    ASSERT_EQ(tag.LoadFromBuffer(Id3Tag(3, 0, body), 0), 0);
    ASSERT_EQ(tag.Frames.Count(), 4);
    TFrameIndex& f = tag.Frames;

    EXPECT_EQ(f.ID(1), "TIT2");
    EXPECT_EQ(f.FrameOffset(1), 10u);
    EXPECT_EQ(f.HeaderLength(1), 10u);
    EXPECT_EQ(f.Flags(1, 1), 0x70);
    EXPECT_TRUE(f.FlagTagAlterPreservation(1) && f.FlagFileAlterPreservation(1) && f.FlagReadOnly(1));

    EXPECT_EQ(f.FrameOffset(2), 10u + 12);
    EXPECT_EQ(f.HeaderLength(2), 11u);
    EXPECT_TRUE(f.FlagGrouping(2) && f.StateGrouping(2));
    EXPECT_EQ(f.GroupID(2), 0x07);
    EXPECT_EQ(f.Data(2), Bytes("xy"));

    EXPECT_TRUE(f.FlagEncryption(3) && f.StateEncryption(3));
    EXPECT_EQ(f.EncryptionMethod(3), 0x81);

    EXPECT_EQ(f.Flags(4, 2), ffCompression | ffDataLengthIndicator);
    EXPECT_EQ(f.DataLength(4), 3u);
    EXPECT_EQ(f.HeaderLength(4), 14u);
    std::string text;
    EXPECT_EQ(tag.GetTextFrame("TPE1", text), 0);
    EXPECT_EQ(text, "ab");
    EXPECT_FALSE(f.StateCompression(4));
    EXPECT_TRUE(f.FlagCompression(4));  // the writer compresses it again
    EXPECT_FALSE(tag.Changed);
}

TEST(Id3v2Load, PaddingEndsTheFrameList)
{
    const struct {
        const char* name;
        TBytes padding;
    } cases[] = {
        {"zero bytes", TBytes(100, 0)},
        {"MP3e block", Bytes("MP3ext V3.3.19(ansi)") + TBytes(80, 0)},
        {"a few zero bytes", TBytes(3, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Tid3v2tag tag;
        EXPECT_EQ(tag.LoadFromBuffer(Id3Tag(4, 0, Frame4("TIT2", Latin1Text("x")) + c.padding), 0), 0);
        EXPECT_EQ(tag.Frames.Count(), 1);
        EXPECT_EQ(tag.PaddingSize, c.padding.size());
    }
}

TEST(Id3v2Load, UnsynchronisationIsUndone)
{
    const TBytes raw{0xFF, 0x00, 0x01, 0xFF, 0xE0, 0xFF, 0xFF, 0x00, 0xFF};
    {
        SCOPED_TRACE("2.3: the whole tag");
        const TBytes body = Frame3("PRIV", raw) + Frame3("TIT2", Latin1Text("\xFF\xE9")) + TBytes(10, 0);
        Tid3v2tag tag;
        ASSERT_EQ(tag.LoadFromBuffer(Id3Tag(3, 0x80, UnsyncBytes(body)), 0), 0);
        ASSERT_EQ(tag.Frames.Count(), 2);
        EXPECT_EQ(tag.Frames.Data(1), raw);
        std::string text;
        EXPECT_EQ(tag.GetTextFrame("TIT2", text), 0);
        EXPECT_EQ(text, "\xFF\xE9");
        EXPECT_TRUE(tag.Unsynchronisation());
    }
    {
        SCOPED_TRACE("2.4: each frame");
        const TBytes body = Frame4("TIT2", UnsyncBytes(Latin1Text("\xFF\xE9")), 0, 0x02) + TBytes(10, 0);
        Tid3v2tag tag;
        ASSERT_EQ(tag.LoadFromBuffer(Id3Tag(4, 0x80, body), 0), 0);
        EXPECT_TRUE(tag.Frames.StateUnsynchronisation(1));
        std::string text;
        EXPECT_EQ(tag.GetTextFrame("TIT2", text), 0);
        EXPECT_EQ(text, "\xFF\xE9");
        EXPECT_FALSE(tag.Frames.StateUnsynchronisation(1));
        EXPECT_TRUE(tag.Frames.FlagUnsynchronisation(1));
    }
}

TEST(Id3v2Load, UnsynchronisedBodiesLongerThanTheReadBuffer)
{
    // Zeros to remove fall on every position of the buffer's block boundaries.
    TBytes raw;
    for (int i = 0; i < 50000; ++i)
        raw.insert(raw.end(), {0xFF, 0x00, 0xFF, 0xE1});
    for (size_t shift = 0; shift < 4; ++shift) {
        SCOPED_TRACE(shift);
        const TBytes body = Frame3("PRIV", TBytes(shift, 'x') + raw) + Frame3("TIT2", Latin1Text("end")) + TBytes(7, 0);
        Tid3v2tag tag;
        ASSERT_EQ(tag.LoadFromBuffer(Id3Tag(3, 0x80, UnsyncBytes(body)), 0), 0);
        ASSERT_EQ(tag.Frames.Count(), 2);
        EXPECT_EQ(tag.Frames.Data(1), TBytes(shift, 'x') + raw);
        EXPECT_EQ(tag.PaddingSize, 7u);
        std::string text;
        EXPECT_EQ(tag.GetTextFrame("TIT2", text), 0);
        EXPECT_EQ(text, "end");
    }
}

TEST(Id3v2Load, ExtendedHeadersOfBothVersions)
{
    {
        Tid3v2tag tag;
        const TBytes ext = BigEndian32(10) + TBytes{0x80, 0x00} + BigEndian32(20) + BigEndian32(0x12345678);
        ASSERT_EQ(tag.LoadFromBuffer(Id3Tag(3, 0x40, ext + Title + TBytes(20, 0)), 0), 0);
        EXPECT_TRUE(tag.ExtendedHeader());
        EXPECT_TRUE(tag.CRCPresent());
        EXPECT_EQ(tag.CRC, 0x12345678u);
        EXPECT_EQ(tag.ExtendedHeaderSize, 10u);
        EXPECT_EQ(tag.PaddingSize, 20u);
        EXPECT_EQ(tag.Frames.Count(), 1);
    }
    {
        Tid3v2tag tag;
        const uint32_t crc = 0xDEADBEEF;
        const TBytes crcBytes{static_cast<uint8_t>(crc >> 28), static_cast<uint8_t>((crc >> 21) & 0x7F),
                              static_cast<uint8_t>((crc >> 14) & 0x7F), static_cast<uint8_t>((crc >> 7) & 0x7F),
                              static_cast<uint8_t>(crc & 0x7F)};
        const TBytes ext = SyncSafe32(15) + TBytes{1, 0x70, 0, 5} + crcBytes + TBytes{1, 0x3C};
        ASSERT_EQ(tag.LoadFromBuffer(Id3Tag(4, 0x40, ext + Frame4("TIT2", Latin1Text("x"))), 0), 0);
        EXPECT_TRUE(tag.TagIsUpdate());
        EXPECT_TRUE(tag.CRCPresent());
        EXPECT_TRUE(tag.RestrictionsPresent());
        EXPECT_EQ(tag.CRC, crc);
        EXPECT_EQ(tag.Restrictions, 0x3C);
        EXPECT_EQ(tag.ExtendedHeaderSize, 15u);
        EXPECT_EQ(tag.Frames.Count(), 1);
    }
}

TEST(Id3v2Text, DecodeFrameTextByEncoding)
{
    const struct {
        const char* name;
        uint8_t encoding;
        TBytes data;
        uint32_t start;
        bool multiLine;
        uint8_t code;
        std::string text;
        uint32_t consumed;
    } cases[] = {
        {"latin-1 with terminator", 0, {0, 'A', 'b', 'c', 0}, 1, false, 0, std::string("Abc\0", 4), 4},
        {"latin-1 to the end", 0, {'A', 0xE9}, 0, false, 0, "A\xE9", 2},
        {"nothing at the start", 0, {0, 'A'}, 2, false, 2, "", 0},
        {"control byte on one line", 0, {'A', 0x07}, 0, false, 8, "", 2},
        {"line break ends one line", 0, {'A', 0x0D, 0x0A, 'B'}, 0, false, 0, "A\r", 2},
        {"line breaks continue many lines", 0, {'A', 0x0D, 0x0A, 'B', 0}, 0, true, 0, std::string("A\r\nB\0", 5), 5},
        {"utf-8 pair", 3, {0xC3, 0xA9, 0}, 0, false, 0, std::string("\xE9\0", 2), 3},
        {"utf-8 beyond latin-1", 3, {'A', 0xC4, 0x80}, 0, false, 4, "A", 2},
        {"utf-8 pair cut off", 3, {'A', 0xC3}, 0, false, 8, "", 2},
        {"utf-16 little-endian mark", 1, {0xFF, 0xFE, 'A', 0, 0, 0, 'B', 0}, 0, false, 0, "A", 6},
        {"utf-16 big-endian mark", 1, {0xFE, 0xFF, 0, 'A'}, 0, false, 0, "A", 4},
        {"utf-16 without a mark", 1, {'A', 0}, 0, false, 8, "", 0},
        {"utf-16 mark cut off", 1, {0xFF}, 0, false, 8, "", 0},
        {"utf-16 beyond latin-1", 2, {0, 'A', 0x01, 0x00, 0, 'B'}, 0, false, 4, "A", 4},
        {"utf-16 control character", 9, {'A', 0, 0x07, 0}, 0, false, 8, "", 4},
        {"utf-16 line break in many lines", 9, {'A', 0, 0x0A, 0, 'B', 0}, 0, true, 0, "A\nB", 6},
        {"utf-16 odd last byte", 9, {'A', 0, 'B'}, 0, false, 0, "A", 3},
        {"unknown encoding", 7, {'A'}, 0, false, 5, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = "old";
        uint32_t length = 0;
        EXPECT_EQ(DecodeFrameText(c.data, c.start, c.multiLine, text, c.encoding, length), c.code);
        EXPECT_EQ(text, c.text);
        if (c.code != 5) {
            EXPECT_EQ(length, c.consumed);
        }
    }
    std::string text;
    uint32_t length = 2;
    EXPECT_EQ(DecodeFrameText(TBytes{'A', 'B', 'C'}, 0, false, text, 0, length), 0);
    EXPECT_EQ(text, "AB");
    EXPECT_EQ(length, 2u);
}

TEST(Id3v2Text, TextFramesGetAndSet)
{
    const TBytes body = Frame3("TIT2", {0, 'A', 'b', 'c', 0}) + Frame3("TPE1", {1, 0xFF, 0xFE, 'A', 0}) +
                        Frame3("TCOM", {}) + Frame3("TALB", TBytes{0x80} + Latin1Text("secret"), 0, 0x40) +
                        Frame3("TENC", BigEndian32(100) + TBytes(20, 0x55), 0, 0x80) + TBytes(10, 0);
    Tid3v2tag tag;
    ASSERT_EQ(tag.LoadFromBuffer(Id3Tag(3, 0, body), 0), 0);
    const struct {
        const char* id;
        uint8_t code;
        std::string text;
    } gets[] = {
        {"TIT2", 0, std::string("Abc\0", 4)},
        {"TPE1", 0, "A"},
        {"TCOM", 2, ""},
        {"TALB", 9, ""},
        {"TENC", 8, ""},
        {"TCOP", 1, ""},
        {"TXXX", 3, ""},
        {"COMM", 3, ""},
        {"TIT", 3, ""},
    };
    for (const auto& g : gets) {
        SCOPED_TRACE(g.id);
        std::string text = "old";
        EXPECT_EQ(tag.GetTextFrame(g.id, text), g.code);
        EXPECT_EQ(text, g.text);
    }

    EXPECT_EQ(tag.SetTextFrame("TIT2", "New"), 0);
    EXPECT_EQ(tag.Frames.Data(1), Latin1Text("New"));
    EXPECT_TRUE(tag.Changed);
    EXPECT_EQ(tag.SetTextFrame("TCOP", "(c)"), 0);
    EXPECT_EQ(tag.Frames.ID(tag.Frames.Count()), "TCOP");
    EXPECT_EQ(tag.SetTextFrame("TIT2", ""), -1);
    EXPECT_EQ(tag.SetTextFrame("TIT2", ""), 0);
    EXPECT_EQ(tag.SetTextFrame("TXXX", "x"), 3);
    EXPECT_EQ(tag.SetTextFrame("T!T2", "x"), 3);
    std::string text;
    EXPECT_EQ(tag.GetTextFrame("TIT2", text), 1);
}

TEST(Id3v2Text, CommentsMatchDescriptionAndLanguage)
{
    Tid3v2tag tag;
    EXPECT_EQ(tag.SetComment({0, "ENG", "None", "Hello\r\nWorld"}, "None", ""), 0);
    EXPECT_EQ(tag.SetComment({0, "deu", "Other", "Hallo"}, "Other", ""), 0);
    ASSERT_EQ(tag.Frames.Count(), 2);
    EXPECT_EQ(tag.Frames.Data(1), Bytes(std::string_view("\0ENGNone\0Hello\r\nWorld", 21)));

    TCOMMRecord rec;
    EXPECT_EQ(tag.GetComment(rec, "None", ""), 0);
    EXPECT_EQ(rec.Text, "Hello\r\nWorld");
    EXPECT_EQ(rec.Language, "ENG");
    EXPECT_EQ(rec.Description, "None");
    EXPECT_EQ(tag.GetComment(rec, "None", "ENG"), 0);
    EXPECT_EQ(tag.GetComment(rec, "None", "eng"), 1);
    EXPECT_EQ(tag.GetComment(rec, "Other", "deu"), 0);
    EXPECT_EQ(rec.Text, "Hallo");
    EXPECT_EQ(tag.GetComment(rec, "Missing", ""), 1);

    EXPECT_EQ(tag.SetComment({4, "ENG", "None", "x"}, "None", ""), 6);
    EXPECT_EQ(tag.SetComment({0, std::string("E\x01G"), "None", "x"}, "None", ""), 7);
    EXPECT_EQ(tag.SetComment({0, "EN", "None", "x"}, "None", ""), 7);
    EXPECT_EQ(tag.SetComment({0, "ENG", "None", "Replaced"}, "None", ""), 0);
    EXPECT_EQ(tag.Frames.Count(), 2);
    EXPECT_EQ(tag.GetComment(rec, "None", ""), 0);
    EXPECT_EQ(rec.Text, "Replaced");
    EXPECT_EQ(tag.SetComment({0, "ENG", "None", ""}, "None", ""), -1);
    EXPECT_EQ(tag.SetComment({0, "ENG", "None", ""}, "None", ""), 0);
    EXPECT_EQ(tag.Frames.Count(), 1);
}

TEST(Id3v2Text, CommentsFromOtherProgramsAndBrokenOnes)
{
    const TBytes utf16 = TBytes{1, 'e', 'n', 'g', 0xFF, 0xFE, 'd', 0, 0, 0, 0xFF, 0xFE, 'H', 0, 'i', 0};
    const TBytes body = Frame4("COMM", {0, 'e'}) + Frame4("COMM", {7, 'e', 'n', 'g', 'x'}) + Frame4("COMM", utf16) +
                        Frame4("WXXX", {0, 'd', 0}) + Frame4("WXXX", {}) + TBytes(4, 0);
    Tid3v2tag tag;
    ASSERT_EQ(tag.LoadFromBuffer(Id3Tag(4, 0, body), 0), 0);
    TCOMMRecord rec;
    EXPECT_EQ(tag.GetComment(rec, "d", "eng"), 0);
    EXPECT_EQ(rec.Text, "Hi");
    EXPECT_EQ(rec.Encoding, 1);
    EXPECT_EQ(tag.GetComment(rec, "", ""), 1);
    TWXXXRecord url;
    EXPECT_EQ(tag.GetUserURL(url, "d"), 0);
    EXPECT_EQ(url.URL, "");
}

TEST(Id3v2Text, UserURLsGetAndSet)
{
    Tid3v2tag tag;
    EXPECT_EQ(tag.SetUserURL({0, "", ""}, ""), 2);
    EXPECT_EQ(tag.Frames.Count(), 0);
    EXPECT_EQ(tag.SetUserURL({5, "", "http://x"}, ""), 6);
    EXPECT_EQ(tag.SetUserURL({0, "", "http://example.org/"}, ""), 0);
    EXPECT_EQ(tag.SetUserURL({0, "home", "http://home/"}, "home"), 0);
    EXPECT_EQ(tag.Frames.Data(1), Bytes(std::string_view("\0\0http://example.org/", 21)));
    EXPECT_EQ(tag.SetUserURL({0, "", "http://other/"}, ""), 0);
    EXPECT_EQ(tag.Frames.Count(), 2);

    TWXXXRecord rec;
    EXPECT_EQ(tag.GetUserURL(rec, ""), 0);
    EXPECT_EQ(rec.URL, "http://other/");
    EXPECT_EQ(tag.GetUserURL(rec, "home"), 0);
    EXPECT_EQ(rec.URL, "http://home/");
    EXPECT_EQ(tag.GetUserURL(rec, "none"), 1);
}

TEST(Id3v2Frames, AddDeleteAndRangeChecks)
{
    TFrameIndex frames;
    EXPECT_EQ(frames.AddFrame("tit2"), 1);
    EXPECT_EQ(frames.ID(1), "TIT2");
    EXPECT_TRUE(frames.Changed(1));
    for (const char* bad : {"TIT", "TIT22", "TI-2", "TI 2", "T\xC3\x8F" "2", ""})
        EXPECT_EQ(frames.AddFrame(bad), 0) << bad;
    EXPECT_EQ(frames.AddFrame("COMM"), 2);
    EXPECT_EQ(frames.AddFrame("TIT2"), 3);
    EXPECT_EQ(frames.Count(), 3);

    EXPECT_TRUE(frames.DeleteFrame("TIT2"));
    EXPECT_EQ(frames.Count(), 1);
    EXPECT_EQ(frames.ID(1), "COMM");
    EXPECT_FALSE(frames.DeleteFrame("TIT2"));
    EXPECT_FALSE(frames.DeleteFrameAt(2));
    EXPECT_FALSE(frames.DeleteFrameAt(0));

    try {
        frames.ID(2);
        FAIL() << "no range error";
    } catch (const ERangeError& e) {
        EXPECT_STREQ(e.what(), "Array range out of bounds.");
    }
    EXPECT_THROW(frames.DataLength(0), ERangeError);
    EXPECT_THROW(frames.Flags(1, 3), ERangeError);
    EXPECT_THROW(frames.SetState(1, 0, 0), ERangeError);
    EXPECT_NO_THROW(frames.SetState(1, 2, ffCompression));
    EXPECT_TRUE(frames.StateCompression(1));
}

TEST(Id3v2Frames, ChangeMarksFollowTheSetters)
{
    Tid3v2tag tag;
    ASSERT_EQ(tag.LoadFromBuffer(Id3Tag(4, 0, Frame4("PRIV", {1, 2, 3}, 0, 0x40)), 0), 0);
    TFrameIndex& f = tag.Frames;
    EXPECT_FALSE(f.Changed(1));
    f.SetGroupID(1, f.GroupID(1));
    f.SetEncryptionMethod(1, f.EncryptionMethod(1));
    EXPECT_FALSE(f.Changed(1));
    f.SetGroupID(1, 9);
    EXPECT_TRUE(f.Changed(1));

    EXPECT_FALSE(tag.Changed);
    tag.SetFooter(true);
    EXPECT_TRUE(tag.Changed);
    EXPECT_EQ(tag.HeaderFlags, thFooter);
}

TEST(Id3v2Frames, UnsynchronisationRoundTrips)
{
    const struct {
        TBytes plain;
        TBytes unsynced;
    } cases[] = {
        {{0xFF, 0x00}, {0xFF, 0x00, 0x00}},
        {{0xFF, 0xE0}, {0xFF, 0x00, 0xE0}},
        {{0xFF, 0xFF, 0x00}, {0xFF, 0x00, 0xFF, 0x00, 0x00}},
        {{0xFF, 0x00, 0x00}, {0xFF, 0x00, 0x00, 0x00}},
        {{0xFF, 0xDF}, {0xFF, 0xDF}},
        {{0x00, 0xFF}, {0x00, 0xFF}},
        {{0xFF}, {0xFF}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UnsyncBytes(c.plain), c.unsynced);
        EXPECT_EQ(ResyncBytes(c.unsynced), c.plain);
    }
    const TBytes audio = AudioBytes(5000, 9);
    EXPECT_EQ(ResyncBytes(UnsyncBytes(audio)), audio);

    TFrameIndex f;
    f.AddFrame("PRIV");
    f.SetData(1, {0xFF, 0xE0, 0x01});
    EXPECT_EQ(f.UnsyncFrame(1), 0);
    EXPECT_EQ(f.Data(1), (TBytes{0xFF, 0x00, 0xE0, 0x01}));
    EXPECT_EQ(f.UnsyncSize(1), 3u);
    EXPECT_EQ(f.DataLength(1), 3u);
    EXPECT_TRUE(f.StateUnsynchronisation(1));
    EXPECT_EQ(f.UnsyncFrame(1), -1);
    EXPECT_EQ(f.ResyncFrame(1), 0);
    EXPECT_EQ(f.Data(1), (TBytes{0xFF, 0xE0, 0x01}));
    EXPECT_EQ(f.ResyncFrame(1), -1);
}

TEST(Id3v2Frames, CompressionRoundTripsAndRefusesWhatItCannotDo)
{
    const TBytes plain = Latin1Text(std::string(1000, 'z'));
    TFrameIndex f;
    f.AddFrame("TIT2");
    f.SetData(1, plain);
    EXPECT_EQ(f.CompressFrame(1, 3), 0);
    EXPECT_TRUE(f.StateCompression(1));
    EXPECT_EQ(f.DataLength(1), plain.size());
    EXPECT_LT(f.DataSize(1), plain.size());
    EXPECT_EQ(f.CompressFrame(1, 3), 0);  // already compressed: nothing happens
    EXPECT_EQ(f.DecompressFrame(1), 0);
    EXPECT_EQ(f.Data(1), plain);
    EXPECT_EQ(f.DataLength(1), 0u);
    EXPECT_EQ(f.DecompressFrame(1), 0);

    f.SetState(1, 2, ffUnsynchronisation);
    EXPECT_EQ(f.CompressFrame(1, 2), 2);
    f.SetState(1, 2, ffEncryption);
    EXPECT_EQ(f.CompressFrame(1, 2), 1);
    f.SetState(1, 2, ffEncryption | ffCompression);
    EXPECT_EQ(f.DecompressFrame(1), 1);
}

TEST(Id3v2Frames, InflationIsCappedAndBrokenStreamsStayAsTheyAre)
{
    const TBytes plain(5000, 'a');
    const TBytes packed = Deflated(plain);
    const struct {
        const char* name;
        TBytes data;
        uint32_t dataLength;
        int32_t result;
    } cases[] = {
        {"declared size", packed, 5000, 0},
        {"no size declared", packed, 0, 0},
        {"declared size too small", packed, 100, -2},
        {"declared size too large", packed, 6000, -2},
        {"not a zlib stream", TBytes(50, 0x55), 5000, 4},
        {"stream cut short", TBytes(packed.begin(), packed.begin() + packed.size() / 2), 5000, 4},
        {"no data", {}, 0, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TFrameIndex f;
        f.AddFrame("PRIV");
        f.SetData(1, c.data);
        f.SetState(1, 2, ffCompression);
        f.SetDataLength(1, c.dataLength);
        EXPECT_EQ(f.DecompressFrame(1), c.result);
        EXPECT_EQ(f.Data(1), c.result == 0 ? plain : c.data);
        EXPECT_EQ(f.StateCompression(1), c.result != 0);
    }
}

// A 2.4 frame whose size is written as a plain integer, as some encoders do.
TBytes PlainFrame4(std::string_view id, const TBytes& data)
{
    return Bytes(id) + BigEndian32(static_cast<uint32_t>(data.size())) + TBytes{0, 0} + data;
}

TEST(Id3v2Load, PlainFrameSizesInVersion4)
{
    const std::string longTitle = "A title. " + std::string(200, '.');
    const struct {
        const char* name;
        TBytes body;
        int frames;
    } cases[] = {
        {"plain, a frame follows", PlainFrame4("TIT2", Latin1Text(longTitle)) + PlainFrame4("TPE1", Latin1Text("Artist")) + TBytes(20, 0), 2},
        {"plain, padding follows", PlainFrame4("TIT2", Latin1Text(longTitle)) + TBytes(20, 0), 1},
        {"plain, at the tag's end", PlainFrame4("TPE1", Latin1Text("Artist")) + PlainFrame4("TIT2", Latin1Text(longTitle)), 2},
        {"syncsafe", Frame4("TIT2", Latin1Text(longTitle)) + Frame4("TPE1", Latin1Text("Artist")) + TBytes(20, 0), 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Tid3v2tag tag;
        ASSERT_EQ(tag.LoadFromBuffer(Id3Tag(4, 0, c.body), 0), 0);
        EXPECT_EQ(tag.Frames.Count(), c.frames);
        std::string text;
        EXPECT_EQ(tag.GetTextFrame("TIT2", text), 0);
        EXPECT_EQ(text, longTitle);
        if (c.frames == 2) {
            EXPECT_EQ(tag.GetTextFrame("TPE1", text), 0);
            EXPECT_EQ(text, "Artist");
        }
    }
}
