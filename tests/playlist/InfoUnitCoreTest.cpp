#include "playlist/InfoUnitCore.h"
#include "playlist/id3v2.h"

#include "tests/support/TagWriter.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace pvltest;

TEST(InfoUnitCore, TrackNumberTakesTheLeadingNumberUpTo255)
{
    struct Case { const char* text; int track; };
    for (const Case& c : {Case{"7/12", 7}, Case{"300", 0}, Case{"255", 255}, Case{"12", 12}, Case{" 3 ", 3},
                          Case{"abc", 0}, Case{"", 0}, Case{"/5", 0}, Case{"4a", 4}, Case{"99999999999", 0}})
        EXPECT_EQ(TrackByteFromText(c.text), c.track) << c.text;
}

TEST(InfoUnitCore, YearsAreNumbersFrom0To9999AfterTrimming)
{
    struct Case { std::string text; int year; };
    for (const Case& c : {Case{"1999", 1999}, Case{std::string("20\0\0", 4), 20}, Case{"\x01" "2004\x7f", 0},
                          Case{"\t2004\r\n", 2004}, Case{"10000", 0}, Case{"-1", 0}, Case{"19x9", 0}, Case{"", 0}})
        EXPECT_EQ(YearFromText(c.text), c.year) << c.text;
    EXPECT_EQ(YearText(7), "0007");
    EXPECT_EQ(YearText(2024), "2024");
}

TEST(InfoUnitCore, GenreTextSelectsItsItemAndSavesNumberAndName)
{
    EXPECT_EQ(GenreFromTCON("(17)Rock"), 17);
    EXPECT_EQ(GenreFromTCON(" Rock "), 17);
    EXPECT_EQ(GenreFromTCON("(17)"), 17);
    EXPECT_EQ(GenreFromTCON("(200)Other"), -1);
    EXPECT_EQ(GenreFromTCON("(x)"), -1);
    EXPECT_EQ(GenreFromTCON("My own"), -1);
    EXPECT_EQ(TCONText(17, "Rock"), "(17)Rock");
    EXPECT_EQ(TCONText(-1, "My own"), "My own");
    EXPECT_EQ(TCONText(-1, "(200)Other"), "(200)Other");
}

TEST(InfoUnitCore, ID3v1ShowsTrackCommentAndGenre)
{
    TID3v1Tag tag{};
    const TBytes record = Id3v1Record("Title ", "Artist", "Album", "1999", "Comment", 7, 17);
    std::memcpy(&tag, record.data(), 128);
    const TID3v1Values v = ID3v1Values(tag);
    EXPECT_TRUE(v.Present);
    EXPECT_EQ(v.Title, "Title");
    EXPECT_EQ(v.Track, "7");
    EXPECT_EQ(v.Year, 1999);
    EXPECT_EQ(v.Genre, 17);
    EXPECT_EQ(v.Comment, "Comment");
    tag.Genre = 200;
    EXPECT_EQ(ID3v1Values(tag).Genre, -1);
    EXPECT_FALSE(ID3v1Values(TID3v1Tag{}).Present);
}

TEST(InfoUnitCore, ID3v1ChangesOnlyWhatTheUserChanged)
{
    TID3v1Tag tag{};
    const TBytes record = Id3v1Record("Title", "Artist", "Album", "1999", "", 0, 200);
    std::memcpy(&tag, record.data(), 128);
    const TID3v1Values shown = ID3v1Values(tag);
    TID3v1Values now = shown;
    now.Title = "A title longer than thirty bytes in all";
    now.Track = "7/12";
    now.Comment = std::string(40, 'c');
    ApplyID3v1Changes(tag, shown, now);
    EXPECT_EQ(std::string(tag.Title, 30), now.Title.substr(0, 30));
    EXPECT_EQ(std::string(tag.Artist, 6), "Artist");
    EXPECT_EQ(tag.Genre, 200);  // a number no item has stays when untouched
    EXPECT_EQ(std::string(tag.Comment, 28), std::string(28, 'c'));
    EXPECT_EQ(tag.Comment[28], 0);
    EXPECT_EQ(tag.Comment[29], 7);

    // Without a track the comment takes all 30 bytes; a track removed clears its byte.
    const TID3v1Values shown2 = ID3v1Values(tag);
    TID3v1Values now2 = shown2;
    now2.Track = "";
    ApplyID3v1Changes(tag, shown2, now2);
    EXPECT_EQ(tag.Comment[29], 0);
    const TID3v1Values shown3 = ID3v1Values(tag);
    TID3v1Values now3 = shown3;
    now3.Comment = std::string(40, 'd');
    now3.Year = 5;
    now3.Genre = 3;
    ApplyID3v1Changes(tag, shown3, now3);
    EXPECT_EQ(std::string(tag.Comment, 30), std::string(30, 'd'));
    EXPECT_EQ(std::string(tag.Year, 4), "0005");
    EXPECT_EQ(tag.Genre, 3);
    TID3v1Values none = now3;
    none.Genre = -1;
    ApplyID3v1Changes(tag, now3, none);
    EXPECT_EQ(tag.Genre, 255);
}

TEST(InfoUnitCore, ID3v2ChangesSetOrDeleteOnlyChangedFrames)
{
    Tid3v2tag tag;
    const TBytes utf16Artist = TBytes{1, 0xFF, 0xFE, 'A', 0, 0x3A, 0x04, 0, 0};  // "A" and a Cyrillic letter
    const TBytes bytes = Id3Tag(3, 0, Id3Frame(3, "TIT2", Latin1Text("Old")) + Id3Frame(3, "TPE1", utf16Artist) +
                                          Id3Frame(3, "TCON", Latin1Text("(200)")) + Id3Frame(3, "TYER", Latin1Text("1999")));
    ASSERT_LT(tag.LoadFromBuffer(bytes, 0), 0x100);
    const TID3v2Values shown = ID3v2Values(tag);
    EXPECT_TRUE(shown.Present);
    EXPECT_EQ(shown.Genre, -1);
    EXPECT_EQ(shown.GenreText, "(200)");
    EXPECT_EQ(shown.Year, 1999);
    TID3v2Values now = shown;
    now.Title = "New";
    now.Year = 0;
    now.Comment = "Hi";
    now.URL = "http://x";
    ApplyID3v2Changes(tag, shown, now);
    std::string text;
    EXPECT_EQ(tag.GetTextFrame("TIT2", text), 0);
    EXPECT_EQ(text, "New");
    EXPECT_NE(tag.GetTextFrame("TYER", text), 0);  // a year of 0 deletes the frame
    int artist = 0;
    for (int i = 1; i <= tag.Frames.Count(); ++i)
        if (tag.Frames.ID(i) == "TPE1")
            artist = i;
    ASSERT_NE(artist, 0);
    EXPECT_FALSE(tag.Frames.Changed(artist));
    EXPECT_EQ(tag.Frames.Data(artist), utf16Artist);
    EXPECT_EQ(tag.GetTextFrame("TCON", text), 0);
    EXPECT_EQ(text, "(200)");
    TCOMMRecord comment;
    ASSERT_EQ(tag.GetComment(comment, "None", "ENG"), 0);
    EXPECT_EQ(comment.Text, "Hi");

    const TID3v2Values shown2 = ID3v2Values(tag);
    TID3v2Values now2 = shown2;
    now2.Genre = 17;
    now2.GenreText = "Rock";
    now2.URL = "";
    ApplyID3v2Changes(tag, shown2, now2);
    EXPECT_EQ(tag.GetTextFrame("TCON", text), 0);
    EXPECT_EQ(text, "(17)Rock");
    TWXXXRecord url;
    EXPECT_NE(tag.GetUserURL(url, ""), 0);
}

TEST(InfoUnitCore, AviFieldsShowUpToZeroAndChangeOneByOne)
{
    TExtAviINFO_tags tags;
    tags.INAM = std::wstring(L"Film\0hidden", 11);
    tags.IPRT = L"one";
    const TAviValues shown = AviValues(tags);
    EXPECT_EQ(shown[static_cast<size_t>(AviFieldIndex("INAM"))], "Film");
    TAviValues now = shown;
    now[static_cast<size_t>(AviFieldIndex("IART"))] = "Director";
    ApplyAviChanges(tags, shown, now);
    EXPECT_EQ(tags.IART, L"Director");
    EXPECT_EQ(tags.INAM, std::wstring(L"Film\0hidden", 11));  // untouched, whole
    EXPECT_EQ(tags.IPRT, L"one");
    EXPECT_EQ(AviFieldIndex("XXXX"), -1);
}

TEST(InfoUnitCore, SaveSucceedsOnlyWhenEveryWriterDid)
{
    struct Case { TTagSaveReport report; bool ok; const char* what; };
    auto opened = [](auto set) { TTagSaveReport r; r.Opened = true; set(r); return r; };
    const Case cases[] = {
        {TTagSaveReport{}, false, "not opened"},
        {opened([](auto&) {}), true, "nothing to write"},
        {opened([](auto& r) { r.ID3v1 = true; r.ID3v2Save = 0x04; }), true, "warnings only"},
        {opened([](auto& r) { r.ID3v1 = false; }), false, "ID3v1 failed"},
        {opened([](auto& r) { r.ID3v2Save = 0x0200; }), false, "protected"},
        {opened([](auto& r) { r.ID3v2Save = 0xFE00; }), false, "load had failed"},
        {opened([](auto& r) { r.ID3v2Removal = 0; }), true, "removed"},
        {opened([](auto& r) { r.ID3v2Removal = 0x10; }), true, "no tag to remove"},
        {opened([](auto& r) { r.ID3v2Removal = 5; }), false, "removal I/O error"},
        {opened([](auto& r) { r.ID3v2Removal = -2; }), false, "removal after a failed load"},
        {opened([](auto& r) { r.AviWrite = 0; }), true, "AVI written"},
        {opened([](auto& r) { r.AviWrite = 8; }), false, "AVI not rewritten"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TagSaveSucceeded(c.report), c.ok) << c.what;
}
