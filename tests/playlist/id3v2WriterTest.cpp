#include "playlist/id3v2.h"

#include "framework/SysUtils.h"
#include "tests/support/TagWriter.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>

using namespace pvltest;

namespace {

uint32_t Crc32(const TBytes& bytes)
{
    return static_cast<uint32_t>(crc32(0, bytes.data(), static_cast<uInt>(bytes.size())));
}

// The padding that ends a file of this size with a new tag of this size on a 4096 multiple.
size_t BlockPadding(size_t audioSize, size_t oldRoom, size_t tagSize)
{
    const size_t fileSize = audioSize + oldRoom;
    return (fileSize / 4096 + 1) * 4096 - audioSize - tagSize;
}

std::string TextOf(Tid3v2tag& tag, const char* id)
{
    std::string text;
    tag.GetTextFrame(id, text);
    return text;
}

// A tag file: the tag bytes, then audio.
struct TTagFileFixture {
    TTempDir Dir;
    std::string Name = Dir.File("song.mp3");
    TBytes Audio = AudioBytes(10000, 7);
    void Write(const TBytes& tag) { WriteAll(Name, tag + Audio); }
    TBytes Read() const { return ReadAll(Name); }
};

}  // namespace

TEST(Id3v2Save, LayoutByteForByte)
{
    for (const uint8_t version : {3, 4}) {
        SCOPED_TRACE(version);
        TTagFileFixture f;
        f.Write({});
        Tid3v2tag tag;
        tag.SetTextFrame("TIT2", "Abc");
        tag.SetComment({0, "ENG", "None", "Hi"}, "None", "");
        tag.SetUserURL({0, "", "http://x/"}, "");
        ASSERT_EQ(tag.SaveToFile(f.Name, version, 0, -1), 0);

        const TBytes frames = Id3Frame(version, "TIT2", Latin1Text("Abc")) +
                              Id3Frame(version, "COMM", Bytes(std::string_view("\0ENGNone\0Hi", 11))) +
                              Id3Frame(version, "WXXX", Bytes(std::string_view("\0\0http://x/", 11)));
        const size_t padding = BlockPadding(f.Audio.size(), 0, 10 + frames.size());
        EXPECT_EQ(f.Read(), Id3Tag(version, 0, frames + TBytes(padding, 0)) + f.Audio);
        EXPECT_EQ(f.Read().size() % 4096, 0u);

        EXPECT_EQ(tag.Version, version);
        EXPECT_EQ(tag.TagSize, 10 + frames.size() + padding);
        EXPECT_EQ(tag.PaddingSize, padding);
        EXPECT_EQ(tag.LoadStatus, 0);
        EXPECT_FALSE(tag.Changed);
        EXPECT_EQ(tag.FileName, f.Name);
        EXPECT_EQ(tag.StatusText, "Save Complete");
        EXPECT_EQ(tag.Progress, 100);

        Tid3v2tag again;
        ASSERT_EQ(again.LoadFromFile(f.Name, 0), 0);
        EXPECT_EQ(again.Version, version);
        EXPECT_EQ(TextOf(again, "TIT2"), "Abc");
        TCOMMRecord comment;
        EXPECT_EQ(again.GetComment(comment, "None", "ENG"), 0);
        EXPECT_EQ(comment.Text, "Hi");
        TWXXXRecord url;
        EXPECT_EQ(again.GetUserURL(url, ""), 0);
        EXPECT_EQ(url.URL, "http://x/");
    }
}

TEST(Id3v2Save, UnsynchronisationOfTheWholeTagAndOfEachFrame)
{
    const TBytes unsynced{0x00, 0xFF, 0x00, 0xE9, 'x'};
    const struct {
        const char* name;
        uint8_t version;
        bool wholeTag;  // asked of the tag, else of the frame
        TBytes frame;
    } cases[] = {
        {"2.3: the whole tag, sizes before unsynchronisation", 3, true, Bytes("TIT2") + BigEndian32(4) + TBytes{0, 0} + unsynced},
        {"2.4: each frame, flagged in its header and in the tag's", 4, false, Bytes("TIT2") + SyncSafe32(5) + TBytes{0, 0x02} + unsynced},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTagFileFixture f;
        f.Write({});
        Tid3v2tag tag;
        tag.SetTextFrame("TIT2", "\xFF\xE9x");
        if (c.wholeTag)
            tag.SetUnsynchronisation(true);
        else
            tag.Frames.SetFlags(1, 2, ffUnsynchronisation);
        ASSERT_EQ(tag.SaveToFile(f.Name, c.version, 0, -1), 0);
        const size_t padding = BlockPadding(f.Audio.size(), 0, 10 + c.frame.size());
        EXPECT_EQ(f.Read(), Id3Tag(c.version, 0x80, c.frame + TBytes(padding, 0)) + f.Audio);
        Tid3v2tag again;
        ASSERT_EQ(again.LoadFromFile(f.Name, 0), 0);
        EXPECT_EQ(TextOf(again, "TIT2"), "\xFF\xE9x");
    }
    {
        SCOPED_TRACE("2.3: a header byte 0xFF before data that needs a zero between");
        TTagFileFixture f;
        f.Write({});
        Tid3v2tag tag;
        tag.SetUnsynchronisation(true);
        tag.Frames.AddFrame("PRIV");
        tag.Frames.SetData(1, {0x00, 0x01});
        tag.Frames.SetState(1, 2, ffGrouping);
        tag.Frames.SetFlags(1, 2, ffGrouping);
        tag.Frames.SetGroupID(1, 0xFF);
        ASSERT_EQ(tag.SaveToFile(f.Name, 3, 0, -1), 0);
        EXPECT_EQ(Slice(f.Read(), 10, 14), (Bytes("PRIV") + BigEndian32(3) + TBytes{0x00, 0x20, 0xFF, 0x00, 0x00, 0x01}));
        Tid3v2tag again;
        ASSERT_EQ(again.LoadFromFile(f.Name, 0), 0);
        EXPECT_EQ(again.Frames.GroupID(1), 0xFF);
        EXPECT_EQ(again.Frames.Data(1), (TBytes{0x00, 0x01}));
    }
}

TEST(Id3v2Save, CompressedFramesCarryTheirPlainSize)
{
    const std::string text(300, 'a');
    for (const uint8_t version : {3, 4}) {
        SCOPED_TRACE(version);
        TTagFileFixture f;
        f.Write({});
        Tid3v2tag tag;
        tag.SetTextFrame("TIT2", text);
        tag.Frames.SetFlags(1, 2, ffCompression);
        ASSERT_EQ(tag.SaveToFile(f.Name, version, 0, -1), 0);

        const TBytes file = f.Read();
        EXPECT_EQ(Slice(file, 10, 4), Bytes("TIT2"));
        uint32_t size = 0;
        size_t dataAt = 24;
        if (version == 3) {
            size = (file[14] << 24) | (file[15] << 16) | (file[16] << 8) | file[17];
            EXPECT_EQ(file[19], 0x80);
            EXPECT_EQ(Slice(file, 20, 4), BigEndian32(301));
        } else {
            size = (file[14] << 21) | (file[15] << 14) | (file[16] << 7) | file[17];
            EXPECT_EQ(file[19], ffCompression | ffDataLengthIndicator);
            EXPECT_EQ(Slice(file, 20, 4), SyncSafe32(301));
        }
        ASSERT_GT(size, 4u);
        EXPECT_EQ(Inflated(Slice(file, dataAt, size - 4), 301), Latin1Text(text));

        Tid3v2tag again;
        ASSERT_EQ(again.LoadFromFile(f.Name, 0), 0);
        EXPECT_TRUE(again.Frames.FlagCompression(1));
        EXPECT_EQ(TextOf(again, "TIT2"), text);
    }
}

TEST(Id3v2Save, Version23ExtendedHeaderWithCrc)
{
    for (const bool unsync : {false, true}) {
        SCOPED_TRACE(unsync ? "unsynchronised" : "plain");
        TTagFileFixture f;
        f.Write({});
        Tid3v2tag tag;
        tag.SetCRCPresent(true);
        tag.SetUnsynchronisation(unsync);
        tag.SetTextFrame("TIT2", "\xFF\xE9" "Abc");
        ASSERT_EQ(tag.SaveToFile(f.Name, 3, 0, -1), 0);

        const TBytes file = f.Read();
        const TBytes plainFrame = Id3Frame(3, "TIT2", Latin1Text("\xFF\xE9" "Abc"));
        EXPECT_EQ(file[5], unsync ? 0xC0 : 0x40);
        EXPECT_EQ(Slice(file, 10, 6), (BigEndian32(10) + TBytes{0x80, 0x00}));
        const uint32_t crc = Crc32(plainFrame);  // over the frames before unsynchronisation
        EXPECT_EQ(tag.CRC, crc);
        const TBytes fields = BigEndian32(tag.PaddingSize) + BigEndian32(crc);
        const TBytes stored = unsync ? UnsyncBytes(fields) : fields;
        EXPECT_EQ(Slice(file, 16, stored.size()), stored);
        const TBytes frame = unsync ? UnsyncBytes(plainFrame) : plainFrame;
        EXPECT_EQ(Slice(file, 16 + stored.size(), frame.size()), frame);

        Tid3v2tag again;
        ASSERT_EQ(again.LoadFromFile(f.Name, 0), 0);
        EXPECT_TRUE(again.CRCPresent());
        EXPECT_EQ(again.CRC, crc);
        EXPECT_EQ(TextOf(again, "TIT2"), "\xFF\xE9" "Abc");
        EXPECT_EQ(Slice(f.Read(), f.Read().size() - f.Audio.size(), f.Audio.size()), f.Audio);
    }
}

TEST(Id3v2Save, Version24ExtendedHeaderWithUpdateCrcAndRestrictions)
{
    TTagFileFixture f;
    f.Write({});
    Tid3v2tag tag;
    tag.SetTagIsUpdate(true);
    tag.SetCRCPresent(true);
    tag.SetRestrictionsPresent(true);
    tag.Restrictions = 0x3C;
    tag.SetTextFrame("TIT2", "Abc");
    ASSERT_EQ(tag.SaveToFile(f.Name, 4, 0, -1), 0);

    const TBytes file = f.Read();
    EXPECT_EQ(file[5], 0x40);
    EXPECT_EQ(Slice(file, 10, 8), (SyncSafe32(15) + TBytes{1, 0x70, 0, 5}));
    const TBytes frames = Id3Frame(4, "TIT2", Latin1Text("Abc"));
    const uint32_t crc = Crc32(frames + TBytes(tag.PaddingSize, 0));  // frames and padding
    const TBytes crcBytes{static_cast<uint8_t>(crc >> 28), static_cast<uint8_t>((crc >> 21) & 0x7F),
                          static_cast<uint8_t>((crc >> 14) & 0x7F), static_cast<uint8_t>((crc >> 7) & 0x7F),
                          static_cast<uint8_t>(crc & 0x7F)};
    EXPECT_EQ(Slice(file, 18, 7), (crcBytes + TBytes{1, 0x3C}));
    EXPECT_EQ(Slice(file, 25, frames.size()), frames);

    Tid3v2tag again;
    ASSERT_EQ(again.LoadFromFile(f.Name, 0), 0);
    EXPECT_EQ(again.CRC, crc);
    EXPECT_EQ(again.Restrictions, 0x3C);
    EXPECT_TRUE(again.TagIsUpdate());
}

TEST(Id3v2Save, Version24ExtraBytesInTheirOrder)
{
    TTagFileFixture f;
    f.Write({});
    Tid3v2tag tag;
    const TBytes data = AudioBytes(100, 3);
    tag.Frames.AddFrame("PRIV");
    tag.Frames.SetData(1, data);
    tag.Frames.SetState(1, 2, ffGrouping);
    tag.Frames.SetFlags(1, 2, ffGrouping | ffDataLengthIndicator);
    tag.Frames.SetGroupID(1, 0x42);
    ASSERT_EQ(tag.SaveToFile(f.Name, 4, 0, -1), 0);
    const TBytes expected = Bytes("PRIV") + SyncSafe32(105) + TBytes{0x00, 0x41, 0x42} + SyncSafe32(100) + Slice(data, 0, 5);
    EXPECT_EQ(Slice(f.Read(), 10, 20), expected);
}

TEST(Id3v2Save, PaddingModes)
{
    // An old tag of 3000 bytes that the new one fits into.
    const TBytes oldTag = Id3Tag(3, 0, Id3Frame(3, "TIT2", Latin1Text("Long title")) + TBytes(2969, 0));
    ASSERT_EQ(oldTag.size(), 3000u);
    enum TExpect { BlockMultiple, OldRoom, KeptPadding };
    const struct {
        const char* name;
        uint8_t mode;
        uint32_t limit;
        TExpect expect;
    } cases[] = {
        {"block rule", 2, 4096, BlockMultiple},
        {"keep the room", 1, 100, OldRoom},
        {"room, then the block rule", 1, 4096, BlockMultiple},
        {"padding kept", 0, 4096, KeptPadding},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTagFileFixture f;
        f.Write(oldTag);
        Tid3v2tag tag;
        ASSERT_EQ(tag.LoadFromFile(f.Name, 0), 0);
        tag.PaddingMode = c.mode;
        tag.PaddingLimit = c.limit;
        tag.PaddingSize = 77;
        tag.SetTextFrame("TIT2", "Short");
        ASSERT_EQ(tag.SaveToFile("=", 0xFF, 0xFF, -1), 0);

        const TBytes file = f.Read();
        const size_t tagBytes = 10 + Id3Frame(3, "TIT2", Latin1Text("Short")).size();
        switch (c.expect) {
        case BlockMultiple:
            EXPECT_EQ(file.size() % 4096, 0u);
            EXPECT_GT(file.size(), f.Audio.size() + tagBytes);
            EXPECT_LE(file.size(), f.Audio.size() + tagBytes + 4096);
            break;
        case OldRoom: EXPECT_EQ(file.size(), f.Audio.size() + oldTag.size()); break;
        case KeptPadding: EXPECT_EQ(file.size(), f.Audio.size() + tagBytes + 77); break;
        }
        EXPECT_EQ(Slice(file, file.size() - f.Audio.size(), f.Audio.size()), f.Audio);
        EXPECT_EQ(tag.TagSize, file.size() - f.Audio.size());
    }
}

TEST(Id3v2Save, AudioStaysByteIdentical)
{
    const TBytes v1 = Id3v1Record("Title", "", "", "2000", "", 1, 2);
    const TBytes footerTag = Id3Tag(4, 0x10, Id3Frame(4, "TIT2", Latin1Text("old"))) + Bytes("3DI\x04") + TBytes(6, 0);
    const struct {
        const char* name;
        TBytes before;  // what precedes the audio
        TBytes audio;
        std::string title;
        int64_t offset;
    } cases[] = {
        {"inserted where there was no tag", {}, AudioBytes(9000, 1), "New", 0},
        {"grown beyond a tiny tail", Id3Tag(3, 0, Id3Frame(3, "TIT2", Latin1Text("x"))), AudioBytes(5, 2), std::string(20000, 'g'), 0},
        {"shrunk from a large tag", Id3Tag(3, 0, Id3Frame(3, "TIT2", Latin1Text(std::string(30000, 's')))), AudioBytes(7000, 3), "s", 0},
        {"with an ID3v1 record behind the audio", Id3Tag(3, 0, Id3Frame(3, "TIT2", Latin1Text("x"))), AudioBytes(7000, 4) + v1, "New", 0},
        {"with a 2.4 footer, removed", footerTag, AudioBytes(7000, 5), "New", 0},
        {"a footer flag without a footer", Id3Tag(4, 0x10, Id3Frame(4, "TIT2", Latin1Text("old"))), AudioBytes(7000, 6), "New", 0},
        {"a false tag header", Bytes("ID3\x03\x00\x00\x80"), AudioBytes(7000, 7), "New", 0},
        {"a tag at an offset", Bytes("RIFF-like head"), AudioBytes(7000, 8), "New", 14},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTempDir dir;
        const std::string name = dir.File("a.mp3");
        const bool oldTagThere = c.before.size() >= 10 && c.before[0] == 'I' && c.before[6] < 0x80;
        WriteAll(name, c.before + c.audio);
        Tid3v2tag tag;
        const uint16_t loaded = tag.LoadFromFile(name, c.offset);
        EXPECT_EQ(loaded < 0x100, oldTagThere);
        tag.SetTextFrame("TIT2", c.title);
        ASSERT_EQ(tag.SaveToFile(name, 0xFF, 0xFF, c.offset), 0);

        const TBytes file = ReadAll(name);
        const size_t offset = static_cast<size_t>(c.offset);
        const TBytes kept = oldTagThere ? c.audio : Slice(c.before, offset, c.before.size() - offset) + c.audio;
        ASSERT_EQ(file.size(), offset + tag.TagSize + kept.size());
        EXPECT_EQ(Slice(file, 0, offset), Slice(c.before, 0, offset));
        EXPECT_EQ(Slice(file, file.size() - kept.size(), kept.size()), kept);
        Tid3v2tag again;
        ASSERT_EQ(again.LoadFromFile(name, c.offset), 0);
        EXPECT_EQ(TextOf(again, "TIT2"), c.title);
        EXPECT_FALSE(FileExists(name + ".~tmp"));
    }
}

TEST(Id3v2Save, ConvertsBetweenVersions)
{
    // A 2.4 tag with a compressed frame, an unsynchronised frame and a length indicator.
    const TBytes packed = Deflated(Latin1Text(std::string(500, 'p')));
    const TBytes body = Id3Frame(4, "TALB", SyncSafe32(501) + packed, 0, 0x09) +
                        Id3Frame(4, "TIT2", UnsyncBytes(Latin1Text("\xFF\xE9")), 0, 0x02) +
                        Id3Frame(4, "TPE1", SyncSafe32(4) + Latin1Text("abc"), 0, 0x01) + TBytes(30, 0);
    TTagFileFixture f;
    f.Write(Id3Tag(4, 0, body));
    Tid3v2tag tag;
    ASSERT_EQ(tag.LoadFromFile(f.Name, 0), 0);
    for (const uint8_t version : {3, 4, 3}) {
        SCOPED_TRACE(version);
        ASSERT_EQ(tag.SaveToFile("=", version, 0, -1), 0);
        Tid3v2tag again;
        ASSERT_EQ(again.LoadFromFile(f.Name, 0), 0);
        EXPECT_EQ(again.Version, version);
        EXPECT_EQ(TextOf(again, "TALB"), std::string(500, 'p'));
        EXPECT_EQ(TextOf(again, "TIT2"), "\xFF\xE9");
        EXPECT_EQ(TextOf(again, "TPE1"), "abc");
        const TBytes file = f.Read();
        EXPECT_EQ(Slice(file, file.size() - f.Audio.size(), f.Audio.size()), f.Audio);
    }
}

TEST(Id3v2Save, RefusalsLeaveTheFileUnchanged)
{
    const TBytes oldTag = Id3Tag(3, 0, Id3Frame(3, "TIT2", Latin1Text("Old")) + TBytes(100, 0));
    const struct {
        const char* name;
        std::function<void(Tid3v2tag&, std::string& file)> setUp;
        uint8_t version;
        uint8_t revision;
        int64_t offset;
        uint16_t status;
    } cases[] = {
        {"a tag whose load failed",
         [](Tid3v2tag& t, std::string&) { t.LoadFromBuffer(Id3Tag(3, 0, Id3Frame(3, "TI-2", {0})), 0); t.SetTextFrame("TIT2", "x"); },
         0xFF, 0xFF, -1, id3Corrupt},
        {"a missing file", [](Tid3v2tag&, std::string& file) { file += ".missing"; }, 0xFF, 0xFF, -1, id3NoFile},
        {"a read-only file", [](Tid3v2tag&, std::string& file) { FileSetAttr(file, faReadOnly); }, 0xFF, 0xFF, -1, id3ProtectedFile},
        {"no frames", [](Tid3v2tag& t, std::string&) { t.Frames.Clear(); }, 0xFF, 0xFF, -1, id3NoFrames},
        {"only empty frames", [](Tid3v2tag& t, std::string&) { t.Frames.SetData(1, {}); t.Frames.AddFrame("TALB"); }, 0xFF, 0xFF, -1, id3NoFrames},
        {"an offset beyond the end", [](Tid3v2tag&, std::string&) {}, 0xFF, 0xFF, 100000, id3FileTooShort},
        {"version 2", [](Tid3v2tag&, std::string&) {}, 2, 0, -1, id3BadVersion},
        {"revision 1", [](Tid3v2tag&, std::string&) {}, 4, 1, -1, id3BadRevision},
        {"encryption wanted", [](Tid3v2tag& t, std::string&) { t.Frames.SetFlags(1, 2, ffEncryption); }, 0xFF, 0xFF, -1, id3EncryptionMismatch},
        {"grouping wanted", [](Tid3v2tag& t, std::string&) { t.Frames.SetFlags(1, 2, ffGrouping); }, 0xFF, 0xFF, -1, id3GroupingMismatch},
        {"a length of encrypted data",
         [](Tid3v2tag& t, std::string&) { t.Frames.SetState(1, 2, ffEncryption); t.Frames.SetFlags(1, 2, ffEncryption | ffDataLengthIndicator); },
         4, 0, -1, id3LengthOfEncrypted},
        {"a tag too big", [](Tid3v2tag& t, std::string&) { t.PaddingMode = 0; t.PaddingSize = 0x10000000; }, 0xFF, 0xFF, -1, id3TagTooBig},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTagFileFixture f;
        f.Write(oldTag);
        const TBytes before = f.Read();
        Tid3v2tag tag;
        ASSERT_EQ(tag.LoadFromFile(f.Name, 0), 0);
        std::string target = f.Name;
        c.setUp(tag, target);
        EXPECT_EQ(tag.SaveToFile(target, c.version, c.revision, c.offset), c.status);
        FileSetAttr(f.Name, 0);
        EXPECT_EQ(f.Read(), before);
        EXPECT_FALSE(FileExists(f.Name + ".~tmp"));
        if (target != f.Name) {
            EXPECT_FALSE(FileExists(target));
        }
    }
}

TEST(Id3v2Save, UnsupportedFlagsAreDroppedWhenAllowed)
{
    TTagFileFixture f;
    f.Write({});
    Tid3v2tag tag;
    tag.DropUnsupportedFlags = 1;
    tag.SetTextFrame("TIT2", "Abc");
    tag.Frames.SetFlags(1, 2, ffEncryption | ffGrouping);
    EXPECT_EQ(tag.SaveToFile(f.Name, 4, 0, -1), id3WarnFlagsChanged);
    EXPECT_EQ(tag.Frames.Flags(1, 2), 0);
    Tid3v2tag again;
    ASSERT_EQ(again.LoadFromFile(f.Name, 0), 0);
    EXPECT_EQ(TextOf(again, "TIT2"), "Abc");
}

TEST(Id3v2Save, FramesItCannotDecodePassThroughUnchanged)
{
    const TBytes broken = BigEndian32(1000) + TBytes(40, 0x5A);
    const TBytes secret = TBytes{0x80} + TBytes(12, 0x33);
    TTagFileFixture f;
    f.Write(Id3Tag(3, 0, Id3Frame(3, "TENC", broken, 0, 0x80) + Id3Frame(3, "TCOP", secret, 0, 0x40) +
                             Id3Frame(3, "TIT2", Latin1Text("Old")) + TBytes(50, 0)));
    Tid3v2tag tag;
    ASSERT_EQ(tag.LoadFromFile(f.Name, 0), 0);
    std::string text;
    EXPECT_EQ(tag.GetTextFrame("TENC", text), 8);
    tag.SetTextFrame("TIT2", "New");
    ASSERT_LT(tag.SaveToFile("=", 3, 0, -1), 0x100);

    Tid3v2tag again;
    ASSERT_EQ(again.LoadFromFile(f.Name, 0), 0);
    EXPECT_TRUE(again.Frames.StateCompression(1));
    EXPECT_EQ(again.Frames.DataLength(1), 1000u);
    EXPECT_EQ(again.Frames.Data(1), Slice(broken, 4, 40));
    EXPECT_TRUE(again.Frames.StateEncryption(2));
    EXPECT_EQ(again.Frames.EncryptionMethod(2), 0x80);
    EXPECT_EQ(again.Frames.Data(2), TBytes(12, 0x33));
    EXPECT_EQ(TextOf(again, "TIT2"), "New");
}

TEST(Id3v2Remove, CutsTheTagAndItsFooter)
{
    const struct {
        const char* name;
        TBytes tag;
        size_t removed;
    } cases[] = {
        {"a tag of 1000 bytes", Id3Tag(3, 0, Id3Frame(3, "TIT2", Latin1Text("x")) + TBytes(988, 0)), 1010},
        {"a 2.4 tag with a footer", Id3Tag(4, 0x10, Id3Frame(4, "TIT2", Latin1Text("x")) + TBytes(988, 0)) + Bytes("3DI") + TBytes(7, 0), 1020},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTagFileFixture f;
        f.Write(c.tag);
        Tid3v2tag tag;
        ASSERT_EQ(tag.LoadFromFile(f.Name, 0), 0);
        EXPECT_EQ(tag.RemoveTag(), 0);
        EXPECT_EQ(c.tag.size(), c.removed);
        EXPECT_EQ(f.Read(), f.Audio);
    }
}

TEST(Id3v2Remove, RefusalsLeaveTheFileUnchanged)
{
    TTagFileFixture f;
    const TBytes tagBytes = Id3Tag(3, 0, Id3Frame(3, "TIT2", Latin1Text("x")) + TBytes(20, 0));
    f.Write(tagBytes);
    const TBytes before = f.Read();

    Tid3v2tag never;
    EXPECT_EQ(never.RemoveTag(), -4);
    Tid3v2tag failed;
    failed.LoadFromBuffer(Id3Tag(3, 0, Id3Frame(3, "TI-2", {0})), 0);
    EXPECT_EQ(failed.RemoveTag(), -2);

    Tid3v2tag moved;
    ASSERT_EQ(moved.LoadFromFile(f.Name, 0), 0);
    WriteAll(f.Name, Bytes("xx") + before);  // the tag is no longer at its offset
    EXPECT_EQ(moved.RemoveTag(), 0x10);
    EXPECT_EQ(f.Read(), Bytes("xx") + before);

    FileSetAttr(f.Name, faReadOnly);
    EXPECT_EQ(moved.RemoveTag(), 2);
    FileSetAttr(f.Name, 0);
    FileDelete(f.Name);
    EXPECT_EQ(moved.RemoveTag(), 1);
}

TEST(Id3v2Save, HeaderUnsynchronisationCoversEveryFrameOfVersion4)
{
    // Frames without their own flag under the header's flag; the artist ends in 0xFF, so its
    // unsynchronised form ends in the zero that follows a final 0xFF.
    const TBytes picture = Bytes(std::string_view("\0image/jpeg\0\3\0", 14)) + AudioBytes(2170, 3);
    const TBytes artist = Latin1Text("Z\xFF");
    const TBytes body = Id3Frame(4, "TIT2", UnsyncBytes(Latin1Text("A\xFF\xE9 title"))) +
                        Id3Frame(4, "APIC", UnsyncBytes(picture)) + Id3Frame(4, "TPE1", UnsyncBytes(artist) + TBytes{0}) +
                        TBytes(10, 0);
    ASSERT_NE(UnsyncBytes(picture), picture);
    TTagFileFixture f;
    f.Write(Id3Tag(4, 0x80, body));

    const auto expectFrames = [&](Tid3v2tag& tag) {
        EXPECT_EQ(TextOf(tag, "TIT2"), "A\xFF\xE9 title");
        EXPECT_EQ(TextOf(tag, "TPE1"), "Z\xFF");
        ASSERT_EQ(tag.Frames.ID(2), "APIC");
        tag.Frames.ResyncFrame(2);
        EXPECT_EQ(tag.Frames.Data(2), picture);
        EXPECT_EQ(tag.Frames.Data(3), artist);
    };
    Tid3v2tag tag;
    ASSERT_EQ(tag.LoadFromFile(f.Name, 0), 0);
    ASSERT_EQ(tag.Frames.Count(), 3);
    expectFrames(tag);

    Tid3v2tag loaded;
    ASSERT_EQ(loaded.LoadFromFile(f.Name, 0), 0);
    loaded.SetTextFrame("TALB", "Album");
    ASSERT_EQ(loaded.SaveToFile(f.Name, 4, 0, -1), 0);
    Tid3v2tag again;
    ASSERT_EQ(again.LoadFromFile(f.Name, 0), 0);
    ASSERT_EQ(again.Frames.Count(), 4);
    expectFrames(again);
    EXPECT_EQ(TextOf(again, "TALB"), "Album");
    const TBytes file = f.Read();
    EXPECT_EQ(Slice(file, file.size() - f.Audio.size(), f.Audio.size()), f.Audio);
}
