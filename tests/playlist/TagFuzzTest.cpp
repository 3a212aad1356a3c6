// Every reader fed thousands of inputs mutated from valid tags with a fixed seed: none may
// crash, hang or read past its input (the sanitizers watch), and a save that follows a load
// keeps every byte after the tag, or leaves the file as it was.
#include "playlist/ExtAviTag.h"
#include "playlist/ID3v1.h"
#include "playlist/id3v2.h"

#include "framework/SysUtils.h"
#include "tests/support/TagWriter.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace pvltest;

namespace {

const TBytes Utf16Comment{1, 'e', 'n', 'g', 0xFF, 0xFE, 'd', 0, 0, 0, 0xFF, 0xFE, 'H', 0, 'i', 0};

// A 2.3 tag with an extended header, whole-tag unsynchronisation and every kind of frame.
TBytes Seed23()
{
    const TBytes frames = Id3Frame(3, "TIT2", Latin1Text("Title \xFF\xE9")) +
                          Id3Frame(3, "TALB", BigEndian32(201) + Deflated(Latin1Text(std::string(200, 'a'))), 0, 0x80) +
                          Id3Frame(3, "COMM", Bytes(std::string_view("\0ENGNone\0Text", 13))) + Id3Frame(3, "COMM", Utf16Comment) +
                          Id3Frame(3, "WXXX", Bytes(std::string_view("\0d\0http://x/", 12))) +
                          Id3Frame(3, "TPE1", TBytes{0x80, 'e', 'n', 'c'}, 0, 0x40) + Id3Frame(3, "PRIV", TBytes{0x07, 0xFF, 0x00}, 0, 0x20) +
                          Id3Frame(3, "TCON", TBytes{3, 0xC3, 0xA9, 0}) + TBytes(40, 0);
    const TBytes ext = BigEndian32(10) + TBytes{0x80, 0} + BigEndian32(40) + BigEndian32(0x12345678);
    return Id3Tag(3, 0xC0, UnsyncBytes(ext + frames));
}

// A 2.4 tag with an extended header, per-frame unsynchronisation, length indicators and a footer.
TBytes Seed24()
{
    const TBytes ext = SyncSafe32(15) + TBytes{1, 0x70, 0, 5, 1, 2, 3, 4, 5, 1, 0x3C};
    const TBytes frames = Id3Frame(4, "TIT2", UnsyncBytes(Latin1Text("\xFF\xE9x")), 0, 0x02) +
                          Id3Frame(4, "TALB", SyncSafe32(201) + Deflated(Latin1Text(std::string(200, 'b'))), 0, 0x09) +
                          Id3Frame(4, "TPE1", SyncSafe32(4) + Latin1Text("abc"), 0, 0x01) + Id3Frame(4, "COMM", Utf16Comment) +
                          Id3Frame(4, "TCOP", TBytes{0x42, 0x81} + Latin1Text("grouped"), 0, 0x44) + TBytes(30, 0);
    return Id3Tag(4, 0x50, ext + frames) + Bytes("3DI\x04") + TBytes{0x00, 0x10} + SyncSafe32(static_cast<uint32_t>(ext.size() + frames.size()));
}

TBytes SeedAvi()
{
    const TBytes header = RiffList("hdrl", RiffChunk("avih", TBytes(56, 1)) +
                                               RiffList("strl", RiffChunk("strh", TBytes(56, 2)) + RiffChunk("JUNK", TBytes(30, 0))));
    const TBytes info = RiffList("INFO", RiffChunk("INAM", Bytes("Title") + TBytes{0}) + RiffChunk("ICMT", Bytes("Odd!") + TBytes{0}));
    return AviFile(header + info + RiffChunk("JUNK", TBytes(100, 0)),
                   RiffChunk("00dc", TBytes(300, 0x11)) + RiffChunk("01wb", TBytes(77, 0x22)), RiffChunk("idx1", TBytes(32, 0x33)));
}

TBytes Mutate(const TBytes& seed, std::mt19937& random)
{
    TBytes b = seed;
    const auto at = [&](size_t size) { return size == 0 ? size_t{0} : static_cast<size_t>(random() % size); };
    static const uint8_t special[] = {0x00, 0xFF, 0x7F, 0x80, 0x01, 0xE0, 0x0A, 0x20};
    static const uint32_t sizes[] = {0, 1, 0x7F, 0x7F7F7F7F, 0xFFFFFFFF, 0x10000000, 0x0FFFFFFF};
    const int edits = random() % 4 == 0 ? 2 + static_cast<int>(random() % 5) : 1;
    for (int e = 0; e < edits; ++e) {
        switch (random() % 7) {
        case 0:
            if (!b.empty())
                b[at(b.size())] ^= static_cast<uint8_t>(1u << (random() % 8));
            break;
        case 1:
            if (!b.empty())
                b[at(b.size())] = special[random() % std::size(special)];
            break;
        case 2:
            b.resize(at(b.size() + 1));
            break;
        case 3: {
            TBytes junk(1 + random() % 16);
            for (uint8_t& x : junk)
                x = static_cast<uint8_t>(random());
            b.insert(b.begin() + static_cast<ptrdiff_t>(at(b.size() + 1)), junk.begin(), junk.end());
            break;
        }
        case 4:
            if (b.size() >= 4) {
                const uint32_t v = random() % 2 ? sizes[random() % std::size(sizes)] : static_cast<uint32_t>(random() % 300);
                const size_t p = at(b.size() - 3);
                for (int k = 0; k < 4; ++k)
                    b[p + k] = static_cast<uint8_t>(v >> (8 * (random() % 2 ? k : 3 - k)));
            }
            break;
        case 5:
            if (!b.empty()) {
                const size_t from = at(b.size());
                const size_t count = std::min<size_t>(1 + random() % 64, b.size() - from);
                const TBytes slice(b.begin() + static_cast<ptrdiff_t>(from), b.begin() + static_cast<ptrdiff_t>(from + count));
                b.insert(b.begin() + static_cast<ptrdiff_t>(at(b.size() + 1)), slice.begin(), slice.end());
            }
            break;
        default:
            if (!b.empty()) {
                const size_t from = at(b.size());
                const size_t count = std::min<size_t>(1 + random() % 64, b.size() - from);
                b.erase(b.begin() + static_cast<ptrdiff_t>(from), b.begin() + static_cast<ptrdiff_t>(from + count));
            }
            break;
        }
    }
    return b;
}

// Reads every frame the way the information window does.
void ReadEveryFrame(Tid3v2tag& tag)
{
    for (int i = 1; i <= tag.Frames.Count(); ++i) {
        const std::string id = tag.Frames.ID(i);
        std::string text;
        TCOMMRecord comment;
        TWXXXRecord url;
        if (id == "COMM")
            tag.GetComment(comment, "", "");
        else if (id == "WXXX")
            tag.GetUserURL(url, "");
        else if (id[0] == 'T')
            tag.GetTextFrame(id, text);
    }
}

// What a tag at the start of the file says it takes, footer included: the audio follows it.
size_t DeclaredTagSize(const TBytes& file)
{
    if (file.size() < 10 || file[0] != 'I' || file[1] != 'D' || file[2] != '3' || file[3] == 0xFF || file[4] == 0xFF ||
        std::any_of(file.begin() + 6, file.begin() + 10, [](uint8_t b) { return b >= 0x80; }))
        return 0;
    size_t size = 10 + ((size_t{file[6]} << 21) | (file[7] << 14) | (file[8] << 7) | file[9]);
    if (file[3] == 4 && (file[5] & 0x10) && file.size() >= size + 10 && file[size] == '3' && file[size + 1] == 'D' && file[size + 2] == 'I')
        size += 10;
    return std::min(size, file.size());
}

}  // namespace

TEST(TagFuzz, Id3v2LoaderSurvivesMutatedTags)
{
    std::mt19937 random(20240611);
    for (const TBytes& seed : {Seed23(), Seed24()}) {
        Tid3v2tag valid;
        ASSERT_LT(valid.LoadFromBuffer(seed, 0), 0x100);
        ReadEveryFrame(valid);
        int loaded = 0;
        for (int i = 0; i < 2500; ++i) {
            const TBytes input = Mutate(seed, random);
            Tid3v2tag tag;
            const uint16_t status = tag.LoadFromBuffer(input, random() % 8 == 0 ? random() % 12 : 0);
            loaded += status < 0x100;
            ReadEveryFrame(tag);
        }
        EXPECT_GT(loaded, 300);  // the mutations do not only break the header
    }
}

TEST(TagFuzz, AviInfoReaderSurvivesMutatedFiles)
{
    std::mt19937 random(777);
    const TBytes seed = SeedAvi();
    TExtAviINFO_tags tags;
    ASSERT_EQ(ReadAviInfoTagsFromBuffer(seed, tags), 0);
    int read = 0;
    for (int i = 0; i < 4000; ++i)
        read += ReadAviInfoTagsFromBuffer(Mutate(seed, random), tags) == 0;
    EXPECT_GT(read, 500);
}

TEST(TagFuzz, Id3v1ReaderSurvivesMutatedFiles)
{
    std::mt19937 random(4242);
    const TBytes seed = AudioBytes(200, 1) + Id3v1Record("Title", "Artist", "Album", "2000", "Comment", 3, 12);
    for (int i = 0; i < 2000; ++i) {
        const TBytes input = Mutate(seed, random);
        TID3v1Tag tag;
        if (ReadID3v1TagFromBuffer(input, tag)) {
            EXPECT_EQ(std::string(tag.Header, 3), "TAG");
        }
    }
}

TEST(TagFuzz, SavesAfterMutatedLoadsKeepTheAudio)
{
    std::mt19937 random(99);
    TTempDir dir;
    const std::string name = dir.File("fuzz.mp3");
    const TBytes audio = AudioBytes(3000, 5);
    int saved = 0;
    for (const TBytes& seed : {Seed23(), Seed24()}) {
        for (int i = 0; i < 150; ++i) {
            const TBytes before = Mutate(seed, random) + audio;
            WriteAll(name, before);
            Tid3v2tag tag;
            if (tag.LoadFromFile(name, 0) >= 0x100)
                continue;
            ReadEveryFrame(tag);
            tag.SetTextFrame("TIT2", "Fuzz");
            const uint16_t status = tag.SaveToFile("=", 0xFF, 0xFF, -1);
            const TBytes after = ReadAll(name);
            if (status >= 0x100) {
                EXPECT_EQ(after, before) << "a failed save changed the file, status " << status;
                continue;
            }
            ++saved;
            const size_t room = DeclaredTagSize(before);
            ASSERT_EQ(after.size(), tag.TagSize + before.size() - room);
            EXPECT_TRUE(std::equal(before.begin() + static_cast<ptrdiff_t>(room), before.end(), after.begin() + tag.TagSize));
            Tid3v2tag again;
            ASSERT_LT(again.LoadFromFile(name, 0), 0x100);
            std::string title;
            EXPECT_EQ(again.GetTextFrame("TIT2", title), 0);
            EXPECT_EQ(title, "Fuzz");
        }
    }
    EXPECT_GT(saved, 30);
}

TEST(TagFuzz, AviSavesAfterMutationsKeepOrLeaveTheFile)
{
    std::mt19937 random(31337);
    TTempDir dir;
    const std::string name = dir.File("fuzz.avi");
    TExtAviINFO_tags tags;
    tags.INAM = L"Fuzz";
    tags.ICMT = L"Comment";
    int saved = 0;
    for (int i = 0; i < 300; ++i) {
        const TBytes before = Mutate(SeedAvi(), random);
        WriteAll(name, before);
        const int code = WriteAviInfoTags(name, tags);
        if (code != 0) {
            EXPECT_EQ(ReadAll(name), before) << "code " << code;
            continue;
        }
        ++saved;
        TExtAviINFO_tags again;
        if (ReadAviInfoTagsFromBuffer(before, again) != 0)
            continue;  // what the reader refused before it may refuse after
        ASSERT_EQ(ReadAviInfoTags(name, again), 0);
        EXPECT_EQ(again.INAM, L"Fuzz");
        EXPECT_EQ(again.ICMT, L"Comment");
    }
    EXPECT_GT(saved, 30);
}
