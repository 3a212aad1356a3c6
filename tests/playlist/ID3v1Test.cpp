#include "playlist/ID3v1.h"

#include "framework/SysUtils.h"
#include "tests/support/TagWriter.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace pvltest;

namespace {

TID3v1Tag AsTag(const TBytes& record)
{
    TID3v1Tag tag;
    std::memcpy(&tag, record.data(), sizeof tag);
    return tag;
}

TBytes AsBytes(const TID3v1Tag& tag)
{
    const auto* p = reinterpret_cast<const uint8_t*>(&tag);
    return TBytes(p, p + sizeof tag);
}

const TBytes Record = Id3v1Record("Title", "Artist", "Album", "1999", "Comment", 7, 17);

}  // namespace

TEST(ID3v1, ReadsRecordOnlyFromFilesLongerThanIt)
{
    const struct {
        const char* name;
        TBytes file;
        bool found;
    } cases[] = {
        {"audio and record", AudioBytes(1000, 1) + Record, true},
        {"record one byte short of the end", AudioBytes(1000, 2) + Bytes("TAG") + TBytes(124, 0), false},
        {"exactly one record", Record, false},
        {"audio only", AudioBytes(1000, 3), false},
        {"shorter than a record", Bytes("TAG"), false},
        {"empty", TBytes{}, false},
    };
    TTempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = dir.File("a.mp3");
        WriteAll(name, c.file);
        TID3v1Tag tag;
        std::memset(&tag, 0xAA, sizeof tag);
        EXPECT_EQ(ReadID3v1Tag(name, tag), c.found);
        EXPECT_EQ(AsBytes(tag), c.found ? Record : TBytes(128, 0));
        TID3v1Tag fromBuffer;
        EXPECT_EQ(ReadID3v1TagFromBuffer(c.file, fromBuffer), c.found);
    }
}

TEST(ID3v1, WriteAppendsOnceThenOverwritesKeepingAudio)
{
    TTempDir dir;
    const std::string name = dir.File("a.mp3");
    const TBytes audio = AudioBytes(5000, 4);
    WriteAll(name, audio);

    ASSERT_TRUE(WriteID3v1Tag(name, AsTag(Record)));
    EXPECT_EQ(ReadAll(name), audio + Record);

    const TBytes second = Id3v1Record("Other", "", "", "2001", "", 0, 255);
    ASSERT_TRUE(WriteID3v1Tag(name, AsTag(second)));
    EXPECT_EQ(ReadAll(name), audio + second);
}

TEST(ID3v1, RemoveCutsTheRecordAndLeavesOtherFilesAlone)
{
    TTempDir dir;
    const std::string name = dir.File("a.mp3");
    const TBytes audio = AudioBytes(3000, 5);

    WriteAll(name, audio + Record);
    EXPECT_TRUE(RemoveID3v1Tag(name));
    EXPECT_EQ(ReadAll(name), audio);

    EXPECT_TRUE(RemoveID3v1Tag(name));  // no record: nothing to do
    EXPECT_EQ(ReadAll(name), audio);
}

TEST(ID3v1, MissingAndTooShortFilesAreRefusedUnchanged)
{
    TTempDir dir;
    TID3v1Tag tag;
    EXPECT_FALSE(ReadID3v1Tag(dir.File("missing.mp3"), tag));
    EXPECT_FALSE(WriteID3v1Tag(dir.File("missing.mp3"), AsTag(Record)));
    EXPECT_FALSE(RemoveID3v1Tag(dir.File("missing.mp3")));
    EXPECT_FALSE(FileExists(dir.File("missing.mp3")));

    const std::string name = dir.File("short.mp3");
    WriteAll(name, AudioBytes(100, 6));
    EXPECT_FALSE(WriteID3v1Tag(name, AsTag(Record)));
    EXPECT_FALSE(RemoveID3v1Tag(name));
    EXPECT_EQ(ReadAll(name), AudioBytes(100, 6));
}

TEST(ID3v1, GenreTableKeepsTheNamesAsStored)
{
    const struct {
        size_t index;
        const char* name;
    } cases[] = {
        {0, "Blues"}, {37, "SoundClip"}, {40, "Altern Rock"}, {60, "Top40"}, {67, "Psychadelic"},
        {79, "Hard Rock"}, {80, "Folk"}, {85, "Bebob"}, {92, "Progessive Rock"}, {123, "A Capella"},
        {144, "Trash Metal"}, {146, "JPop"}, {147, "Synthpop"},
    };
    ASSERT_EQ(ID3v1Genres.size(), 148u);
    for (const auto& c : cases)
        EXPECT_STREQ(ID3v1Genres[c.index], c.name) << c.index;
}
