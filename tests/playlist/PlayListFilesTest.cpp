#include "playlist/PlayList.h"

#include "tests/playlist/PlayListFakes.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pvltest;

namespace {

const std::string D(1, PathDelim);

std::string ReadText(const std::string& fileName)
{
    const std::vector<uint8_t> bytes = ReadAll(fileName);
    return std::string(bytes.begin(), bytes.end());
}

struct TEntry {
    std::string FileName;
    std::string Title;
    int32_t Length;
};

std::vector<TEntry> Entries(const TPlayList& list)
{
    std::vector<TEntry> entries;
    for (int i = 0; i < list.ItemCount(); ++i) {
        const TPlayListItem item = ItemAt(list, i);
        EXPECT_EQ(item.State, 0);
        entries.push_back({item.FileName, item.Title, item.Length});
    }
    return entries;
}

bool operator==(const TEntry& a, const TEntry& b)
{
    return a.FileName == b.FileName && a.Title == b.Title && a.Length == b.Length;
}

void PrintTo(const TEntry& e, std::ostream* os)
{
    *os << "{" << e.FileName << ", " << e.Title << ", " << e.Length << "}";
}

// Makes the next atomic write of fileName fail: a folder stands where its temporary file goes.
void BlockSaving(const std::string& fileName)
{
    std::filesystem::create_directory(fileName + ".~tmp");
}

}  // namespace

TEST(PlayListFiles, PlsRoundTripKeepsNamesTitlesAndWholeSeconds)
{
    TTempDir dir;
    TPlayList list;
    list.AddPlaylistRecord({dir.File("a.mp3"), "Song A", 125, 2});
    list.AddPlaylistRecord({dir.File("b.mp3"), "", 135, 0});
    list.AddPlaylistRecord({"http://host/stream", "Radio", -1, 0});
    list.AddPlaylistRecord({dir.File("c.avi"), "", 0, 1});
    list.AddPlaylistRecord({dir.File("d.avi"), "", 36004, 0});
    const std::string name = dir.File("list.pls");
    list.SavePlaylistFile(name);
    const std::string n = dir.Path();
    EXPECT_EQ(ReadText(name),
              "[playlist]\r\n"
              "File1=" + n + "a.mp3\r\nTitle1=Song A\r\nLength1=12\r\n"
              "File2=" + n + "b.mp3\r\nLength2=14\r\n"
              "File3=http://host/stream\r\nTitle3=Radio\r\n"
              "File4=" + n + "c.avi\r\nLength4=0\r\n"
              "File5=" + n + "d.avi\r\nLength5=3600\r\n"
              "NumberOfEntries=5\r\nVersion=2\r\n");

    TPlayList loaded;
    loaded.LoadPLS(name);
    EXPECT_EQ(Entries(loaded), (std::vector<TEntry>{{n + "a.mp3", "Song A", 120},
                                                    {n + "b.mp3", "", 140},
                                                    {"http://host/stream", "Radio", -1},
                                                    {n + "c.avi", "", 0},
                                                    {n + "d.avi", "", 36000}}));
}

TEST(PlayListFiles, PlsReadingSkipsWhatIsMissingAndDistrustsValues)
{
    const struct {
        const char* Text;
        std::vector<TEntry> Expected;  // "@" stands for the list's folder
    } cases[] = {
        {"[playlist]\r\nFile1=a.mp3\r\n", {}},
        {"[playlist]\r\nFile1=a.mp3\r\nNumberOfEntries=0\r\n", {}},
        {"[playlist]\r\nNumberOfEntries=3\r\nFile3=c.mp3\r\nFile1=a.mp3\r\nFile2=\r\n", {{"@a.mp3", "", -1}, {"@c.mp3", "", -1}}},
        {"[PLAYLIST]\r\nfile1=a.mp3\r\nTITLE1=\"Quoted\"\r\nlength1=0\r\nnumberofentries=1\r\n", {{"@a.mp3", "Quoted", 0}}},
        {"[playlist]\r\nNumberOfEntries=4\r\nFile1=a\r\nLength1=-1\r\nFile2=b\r\nLength2=abc\r\nFile3=c\r\nLength3=-7\r\n"
         "File4=d\r\nLength4=999999999\r\n",
         {{"@a", "", -1}, {"@b", "", -1}, {"@c", "", -1}, {"@d", "", -1}}},
        {"[playlist]\r\nNumberOfEntries=2000000000\r\nFile1=a.mp3\r\nFile2=E:\\x\\b.mp3\r\n", {{"@a.mp3", "", -1}, {"E:\\x\\b.mp3", "", -1}}},
        // Keys in any order; of two equal keys the first counts; only the first such section.
        {"[playlist]\r\nTitle2=Two\r\nLength1=5\r\nFile2=b\r\nfile1=a\r\nFILE1=z\r\nTitle2=Late\r\nNumberOfEntries=2\r\n"
         "NumberOfEntries=1\r\n[other]\r\nFile3=c\r\n[playlist]\r\nLength2=9\r\n",
         {{"@a", "", 50}, {"@b", "Two", -1}}},
        // A number written otherwise is no entry's key.
        {"[playlist]\r\nNumberOfEntries=2\r\nFile01=x\r\nFile+2=y\r\nFile2=b\r\n", {{"@b", "", -1}}},
        // A far number claimed and held is reached without walking the numbers between.
        {"[playlist]\r\nNumberOfEntries=2147483647\r\nFile2147483647=z\r\nFile1=a\r\n", {{"@a", "", -1}, {"@z", "", -1}}},
    };
    TTempDir dir;
    for (const auto& c : cases) {
        WriteAll(dir.File("list.pls"), c.Text);
        std::vector<TEntry> expected = c.Expected;
        for (TEntry& e : expected)
            if (e.FileName.front() == '@')
                e.FileName = dir.Path() + e.FileName.substr(1);
        TPlayList list;
        list.LoadPLS(dir.File("list.pls"));
        EXPECT_EQ(Entries(list), expected) << c.Text;
    }
    TPlayList list;
    list.LoadPLS(dir.File("missing.pls"));  // reads as no entries
    EXPECT_EQ(list.ItemCount(), 0);
}

TEST(PlayListFiles, M3uHoldsOneNamePerLine)
{
    TTempDir dir;
    WriteAll(dir.File("list.m3u"), "#EXTM3U\r\nsong.mp3\r\n\r\nE:\\Other\\b.avi\nsub" + D + "c.mp3\rhttp://host/stream\r\n#EXTINF:10,x\r\n");
    TPlayList list;
    list.LoadM3U(dir.File("list.m3u"));
    EXPECT_EQ(Names(list), (std::vector<std::string>{dir.File("song.mp3"), "E:\\Other\\b.avi", "sub" + D + "c.mp3", "http://host/stream"}));
    const TPlayListItem item = ItemAt(list, 0);
    EXPECT_EQ(item.Length, -1);
    EXPECT_EQ(item.Title, "");

    list.SetItem(0, {dir.File("song.mp3"), "Titles are not kept", 100, 2});
    list.SavePlaylistFile(dir.File("copy.M3U"));
    EXPECT_EQ(ReadText(dir.File("copy.M3U")),
              dir.File("song.mp3") + "\r\nE:\\Other\\b.avi\r\nsub" + D + "c.mp3\r\nhttp://host/stream\r\n");
    TPlayList again;
    again.LoadM3U(dir.File("copy.M3U"));
    EXPECT_EQ(Names(again), Names(list));
    EXPECT_EQ(ItemAt(again, 0).Length, -1);

    TPlayList unreadable;
    EXPECT_THROW(unreadable.LoadM3U(dir.File("missing.m3u")), EFOpenError);
}

TEST(PlayListFiles, M3uIndentedCommentsStayComments)
{
    TTempDir dir;
    WriteAll(dir.File("indented.m3u"), "#EXTM3U\r\n  #EXTINF:10,x\r\na.mp3\r\n\t#EXTINF:20,y\r\n \t # note\r\nb.mp3\r\n");
    TPlayList list;
    list.LoadM3U(dir.File("indented.m3u"));
    EXPECT_EQ(Names(list), (std::vector<std::string>{dir.File("a.mp3"), dir.File("b.mp3")}));
}

TEST(PlayListFiles, EmptyListsSaveAsEmptyFiles)
{
    TTempDir dir;
    TPlayList list;
    list.SavePlaylistFile(dir.File("empty.PLS"));
    list.SavePlaylistFile(dir.File("empty.m3u"));
    EXPECT_EQ(ReadText(dir.File("empty.PLS")), "[playlist]\r\nNumberOfEntries=0\r\nVersion=2\r\n");
    EXPECT_EQ(ReadText(dir.File("empty.m3u")), "");
}

TEST(PlayListFiles, AFailedSaveKeepsTheOldFileAndIsReported)
{
    TTempDir dir;
    TFakeWindows windows;
    TPlayList list(nullptr, &windows);
    list.AddPlaylistFile(dir.File("new.mp3"));
    for (const char* name : {"old.pls", "old.m3u"}) {
        WriteAll(dir.File(name), "the old list");
        BlockSaving(dir.File(name));
        list.SavePlaylistFile(dir.File(name));
        EXPECT_EQ(ReadText(dir.File(name)), "the old list") << name;
    }
    ASSERT_EQ(windows.Messages.size(), 2u);
    EXPECT_NE(windows.Messages[0].find("old.pls"), std::string::npos);
}

TEST(PlayListFiles, PredefinedListsLiveInTheDataFolder)
{
    TTempDir dir;
    std::filesystem::create_directory(dir.File("Data"));
    TFakeWindows windows;
    windows.Folder = dir.Path();
    EXPECT_EQ(PredefListFileName(dir.Path(), plLastPlayed), dir.Path() + "Data" + D + "LastPlayed.pls");
    EXPECT_EQ(PredefListFileName(dir.Path(), plFavorits), dir.Path() + "Data" + D + "favorits.pls");

    TPlayList list(nullptr, &windows);
    list.AddPlaylistRecord({dir.File("a.mp3"), "A", 100, 0});
    list.AddPlaylistRecord({dir.File("b.mp3"), "", -1, 0});
    list.AddPlaylistRecord({dir.File("c.mp3"), "C", 55, 0});
    TEventLog log(list);
    EXPECT_FALSE(list.LoadPredefList(plLastPlayed));  // missing: the list stays
    EXPECT_EQ(list.ItemCount(), 3);
    EXPECT_TRUE(log.Events.empty());

    list.SavePlaylistFile(PredefListFileName(dir.Path(), plLastPlayed));
    list.AddToFavorits({0, 2});
    list.AddToFavorits({1, 7});  // a row that is gone is left out
    EXPECT_EQ(ReadText(PredefListFileName(dir.Path(), plFavorits)),
              "[playlist]\r\n"
              "File1=" + dir.File("a.mp3") + "\r\nTitle1=A\r\nLength1=10\r\n"
              "File2=" + dir.File("c.mp3") + "\r\nTitle2=C\r\nLength2=6\r\n"
              "NumberOfEntries=3\r\nVersion=2\r\n"
              "File3=" + dir.File("b.mp3") + "\r\n");

    list.AddPlaylistFile("extra.mp3");
    EXPECT_TRUE(list.LoadPredefList(plFavorits));  // replaces the list
    EXPECT_EQ(Names(list), (std::vector<std::string>{dir.File("a.mp3"), dir.File("c.mp3"), dir.File("b.mp3")}));
    EXPECT_TRUE(list.LoadPredefList(plLastPlayed));
    EXPECT_EQ(Names(list), (std::vector<std::string>{dir.File("a.mp3"), dir.File("b.mp3"), dir.File("c.mp3")}));
    EXPECT_EQ(log.Count(4), 2);
    EXPECT_TRUE(windows.Messages.empty());
}
