#include "playlist/PlayList.h"

#include "tests/playlist/PlayListFakes.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

using namespace pvltest;
using TEvent = TEventLog::TEvent;

namespace {

const std::string D(1, PathDelim);

void AddNames(TPlayList& list, int count)
{
    for (int i = 0; i < count; ++i)
        list.AddPlaylistFile("file" + std::to_string(i) + ".mp3");
}

int IndexOfName(const TPlayList& list, const std::string& name)
{
    const std::vector<std::string> names = Names(list);
    const auto at = std::find(names.begin(), names.end(), name);
    return at == names.end() ? -1 : static_cast<int>(at - names.begin());
}

// The Items indexes that NextIndex gives from the current shuffle position to the end.
std::vector<int> WalkNext(TPlayList& list)
{
    std::vector<int> order;
    while (list.HasNext()) {
        const int index = list.NextIndex();
        list.SetPlayingIndex(index);
        order.push_back(index);
    }
    return order;
}

}  // namespace

TEST(PlayList, AddSetDeleteAndClearRaiseTheirEvents)
{
    TFakeEngine engine;
    TPlayList list(&engine);
    TEventLog log(list);
    EXPECT_EQ(list.AddFileNotify("a.mp3"), 0);
    EXPECT_EQ(list.AddFileNotify("b.mp3"), 1);
    EXPECT_EQ(list.AddPlaylistFile("c.mp3"), 2);  // no event
    const TPlayListItem fresh = ItemAt(list, 2);
    EXPECT_EQ(fresh.Title, "");
    EXPECT_EQ(fresh.Length, -1);
    EXPECT_EQ(fresh.State, 0);

    TPlayListItem changed{"b.mp3", "Bee", 1234, 2};
    list.SetItem(1, changed);
    list.SetItem(3, changed);  // outside: nothing
    TPlayListItem untouched{"keep", "keep", 7, 7};
    list.GetItem(-1, untouched);
    EXPECT_EQ(untouched.FileName, "keep");
    EXPECT_EQ(ItemAt(list, 1).Title, "Bee");
    EXPECT_EQ(ItemAt(list, 1).Length, 1234);

    list.DeleteItem(0);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"b.mp3", "c.mp3"}));
    list.Clear();
    EXPECT_EQ(list.ItemCount(), 0);
    EXPECT_EQ(engine.Closes, 1);  // a clear of a non-empty list closes the playing file
    list.Clear();
    EXPECT_EQ(engine.Closes, 1);
    EXPECT_EQ(log.Events, (std::vector<TEvent>{{0, 0, -9}, {0, 1, -9}, {2, 1, -9}, {1, 0, -9}, {3, -1, -9}, {3, -1, -9}}));
}

TEST(PlayList, DeletingKeepsThePlayingEntryMarked)
{
    const struct {
        int Playing, Deleted, ExpectedPlaying, ExpectedCloses, ExpectedNext;
    } cases[] = {
        {2, 0, 1, 0, 2},
        {2, 4, 2, 0, 3},
        {2, 2, 1, 1, 2},  // the entry that followed the deleted one plays next
        {0, 0, -1, 1, 0},
    };
    for (const auto& c : cases) {
        TFakeEngine engine;
        TPlayList list(&engine);
        AddNames(list, 5);
        list.SetPlayingIndex(c.Playing);
        list.DeleteItem(c.Deleted);
        EXPECT_EQ(list.GetPlayingIndex(), c.ExpectedPlaying) << c.Playing << " delete " << c.Deleted;
        EXPECT_EQ(engine.Closes, c.ExpectedCloses) << c.Playing << " delete " << c.Deleted;
        EXPECT_EQ(list.NextIndex(), c.ExpectedNext) << c.Playing << " delete " << c.Deleted;
    }
}

TEST(PlayList, MovingKeepsThePlayingIndexOnThePlayingEntry)
{
    const struct {
        int Playing, From, To, ExpectedPlaying;
    } cases[] = {
        {2, 2, 0, 0}, {2, 2, 4, 4}, {2, 0, 4, 1}, {2, 0, 2, 1}, {2, 4, 0, 3},
        {2, 4, 2, 3}, {2, 3, 4, 2}, {2, 0, 1, 2}, {-1, 0, 4, -1},
    };
    for (const auto& c : cases) {
        TPlayList list;
        AddNames(list, 5);
        list.SetPlayingIndex(c.Playing);
        const std::string playing = c.Playing >= 0 ? ItemAt(list, c.Playing).FileName : "";
        const std::string moved = ItemAt(list, c.From).FileName;
        TEventLog log(list);
        list.MoveItem(c.From, c.To);
        EXPECT_EQ(ItemAt(list, c.To).FileName, moved);
        EXPECT_EQ(list.GetPlayingIndex(), c.ExpectedPlaying) << c.Playing << ": " << c.From << " to " << c.To;
        if (c.Playing >= 0) {
            EXPECT_EQ(ItemAt(list, list.GetPlayingIndex()).FileName, playing);
        }
        EXPECT_EQ(log.Events, (std::vector<TEvent>{{6, c.From, c.To}}));
    }
    TPlayList list;
    AddNames(list, 3);
    TEventLog log(list);
    list.MoveItem(0, 3);
    list.MoveItem(-1, 0);
    EXPECT_TRUE(log.Events.empty());
    EXPECT_EQ(Names(list)[0], "file0.mp3");
}

TEST(PlayList, NextAndPreviousInListOrder)
{
    const struct {
        int Count, Playing;
        bool Repeat;
        bool HasNext;
        int Next;
        bool HasPrev;
        int Prev;
    } cases[] = {
        {3, -1, false, true, 0, false, 0},
        {3, 0, false, true, 1, false, 0},
        {3, 1, false, true, 2, true, 0},
        {3, 2, false, false, 0, true, 1},
        {3, 2, true, true, 0, true, 1},
        {3, 0, true, true, 1, true, 2},
        {0, -1, false, false, 0, false, 0},
        {0, -1, true, true, 0, true, 0},  // an empty list has nothing to go back to
    };
    for (const auto& c : cases) {
        TPlayList list;
        AddNames(list, c.Count);
        list.SetPlayingIndex(c.Playing);
        list.Repeat = c.Repeat;
        EXPECT_EQ(list.HasNext(), c.HasNext) << c.Count << "/" << c.Playing << "/" << c.Repeat;
        EXPECT_EQ(list.NextIndex(), c.Next) << c.Count << "/" << c.Playing << "/" << c.Repeat;
        EXPECT_EQ(list.HasPrev(), c.HasPrev) << c.Count << "/" << c.Playing << "/" << c.Repeat;
        EXPECT_EQ(list.PrevIndex(), c.Prev) << c.Count << "/" << c.Playing << "/" << c.Repeat;
    }
}

TEST(PlayList, RandomNumbersFollowTheSeed)
{
    TShuffleRandom random;
    random.Seed = 1;
    std::vector<int> drawn;
    for (int i = 0; i < 8; ++i)
        drawn.push_back(random.Random(10));
    EXPECT_EQ(drawn, (std::vector<int>{0, 8, 2, 2, 6, 3, 1, 3}));
    random.Seed = 0xDEADBEEF;
    drawn.clear();
    for (int i = 0; i < 5; ++i)
        drawn.push_back(random.Random(1000));
    EXPECT_EQ(drawn, (std::vector<int>{372, 176, 590, 570, 926}));
    random.SeedSource = [] { return 42u; };
    random.Reseed();
    EXPECT_EQ(random.Seed, 42u);
}

TEST(PlayList, ShuffleOrderIsFixedForAFixedSeed)
{
    const struct {
        int Count;
        uint32_t Seed;
        int Playing;
        std::vector<int> Order;
    } cases[] = {
        {6, 12345, -1, {3, 4, 5, 2, 1, 0}},
        {6, 12345, 1, {1, 3, 4, 5, 2, 0}},  // the playing entry first, position 0
        {7, 99, -1, {4, 2, 6, 0, 1, 5, 3}},
        {7, 99, 5, {5, 4, 2, 6, 0, 1, 3}},
    };
    for (const auto& c : cases) {
        TPlayList list;
        AddNames(list, c.Count);
        list.Randomizer.SeedSource = [&] { return c.Seed; };
        list.SetPlayingIndex(c.Playing);
        list.ShuffleOrder(true);
        EXPECT_EQ(list.ShufflePosition, c.Playing >= 0 ? 0 : -1);
        std::vector<int> order = WalkNext(list);
        if (c.Playing >= 0)
            order.insert(order.begin(), c.Playing);
        EXPECT_EQ(order, c.Order) << c.Count << " entries, seed " << c.Seed;
        // At the end: nothing next without Repeat; with it the order starts again.
        EXPECT_EQ(list.NextIndex(), 0);
        list.Repeat = true;
        EXPECT_TRUE(list.HasNext());
        EXPECT_EQ(list.NextIndex(), c.Order.front());
        EXPECT_EQ(list.ShufflePosition, 0);
        EXPECT_EQ(list.PrevIndex(), c.Order.back());  // and backwards from the first to the last
        EXPECT_EQ(list.PrevIndex(), c.Order[c.Order.size() - 2]);
    }
}

TEST(PlayList, ShuffleInsertionLandsAfterThePlayingPosition)
{
    TPlayList list;
    list.Randomizer.SeedSource = [] { return 777u; };
    list.ShuffleOrder(true);
    list.AddPlaylistFile("first.mp3");  // one place only: appended without a draw
    EXPECT_EQ(WalkNext(list), (std::vector<int>{0}));

    TPlayList fixed;
    fixed.Randomizer.SeedSource = [] { return 777u; };
    fixed.ShuffleOrder(true);
    AddNames(fixed, 6);
    EXPECT_EQ(WalkNext(fixed), (std::vector<int>{1, 4, 5, 3, 2, 0}));

    // Entries added while the order is half played are all still ahead.
    TPlayList half;
    AddNames(half, 6);
    half.Randomizer.SeedSource = [] { return 12345u; };
    half.ShuffleOrder(true);
    std::vector<int> played;
    for (int i = 0; i < 3; ++i) {
        played.push_back(half.NextIndex());
        half.SetPlayingIndex(played.back());
    }
    for (int i = 0; i < 6; ++i) {
        half.Randomizer.SeedSource = [i] { return 1000u + 7919u * static_cast<uint32_t>(i); };
        half.AddPlaylistFile("new" + std::to_string(i) + ".mp3");
    }
    std::vector<int> rest = WalkNext(half);
    std::sort(rest.begin(), rest.end());
    std::vector<int> expected;
    for (int i = 0; i < 12; ++i)
        if (std::find(played.begin(), played.end(), i) == played.end())
            expected.push_back(i);
    EXPECT_EQ(rest, expected);
}

TEST(PlayList, DeletingWithShuffleKeepsTheOrderPosition)
{
    TFakeEngine engine;
    TPlayList list(&engine);
    AddNames(list, 6);
    list.Randomizer.SeedSource = [] { return 12345u; };
    list.ShuffleOrder(true);  // order 3 4 5 2 1 0
    list.SetPlayingIndex(list.NextIndex());
    list.SetPlayingIndex(list.NextIndex());  // entry 4 plays, position 1
    ASSERT_EQ(list.GetPlayingIndex(), 4);

    list.DeleteItem(IndexOfName(list, "file3.mp3"));  // played before: the position follows the playing entry
    EXPECT_EQ(list.ShufflePosition, 0);
    EXPECT_EQ(ItemAt(list, list.NextIndex()).FileName, "file5.mp3");
    list.SetPlayingIndex(IndexOfName(list, "file5.mp3"));

    list.DeleteItem(list.GetPlayingIndex());  // the playing entry: its successor in the order comes next
    EXPECT_EQ(engine.Closes, 1);
    EXPECT_EQ(ItemAt(list, list.NextIndex()).FileName, "file2.mp3");

    // A playing index set without a shuffle position never drives it below the start.
    TPlayList fresh;
    AddNames(fresh, 3);
    fresh.ShuffleOrder(true);
    fresh.SetPlayingIndex(0);
    fresh.ShufflePosition = -1;
    fresh.DeleteItem(0);
    EXPECT_EQ(fresh.ShufflePosition, -1);
    const int next = fresh.NextIndex();
    EXPECT_TRUE(next == 0 || next == 1);
}

TEST(PlayList, AddPlaylistListRaisesOneBulkChangeAndReportsUnreadableLists)
{
    TTempDir dir;
    WriteAll(dir.File("one.m3u"), "a.mp3\r\nb.mp3\r\n");
    WriteAll(dir.File("TWO.PLS"), "[playlist]\r\nFile1=c.mp3\r\nNumberOfEntries=1\r\n");
    TFakeEngine engine;
    TFakeWindows windows;
    TPlayList list(&engine, &windows);
    list.AddPlaylistFile("old.mp3");
    TEventLog log(list);
    TStringList names{dir.File("one.m3u"), dir.File("missing.M3U"), dir.File("TWO.PLS"), "D:" + D + "film.avi"};
    list.AddPlaylistList(names, true);
    EXPECT_EQ(Names(list), (std::vector<std::string>{dir.File("a.mp3"), dir.File("b.mp3"), dir.File("c.mp3"), "D:" + D + "film.avi"}));
    EXPECT_EQ(log.Events, (std::vector<TEvent>{{4, -1, -9}}));
    EXPECT_EQ(engine.Closes, 1);
    ASSERT_EQ(windows.Messages.size(), 1u);
    EXPECT_NE(windows.Messages[0].find("missing.M3U"), std::string::npos);

    list.AddPlaylistPath(dir.File("missing.m3u"), true, false);  // reported, and the window still rebuilds
    EXPECT_EQ(list.ItemCount(), 0);
    EXPECT_EQ(windows.Messages.size(), 2u);
    EXPECT_EQ(log.Count(4), 2);
    list.AddPlaylistPath(dir.File("TWO.PLS"), false, false);
    list.AddPlaylistPath(dir.File("song.ogg"), false, false);
    EXPECT_EQ(Names(list), (std::vector<std::string>{dir.File("c.mp3"), dir.File("song.ogg")}));
    EXPECT_EQ(log.Count(4), 4);
    EXPECT_EQ(log.Count(0), 0);
}

TEST(PlayList, AddingAFolderSearchesItForMediaFiles)
{
    SetMainThread(std::this_thread::get_id());
    TTempDir dir;
    std::filesystem::create_directories(dir.File("sub"));
    for (const char* name : {"a.mp3", "b.AVI", "c.txt", "sub/d.mp3"}) {
        std::string path = dir.File(name);
        std::replace(path.begin(), path.end(), '/', PathDelim);
        WriteAll(path, "x");
    }
    const struct {
        bool Recursive;
        std::vector<std::string> Expected;
    } cases[] = {
        {false, {"a.mp3", "b.AVI"}},
        {true, {"a.mp3", "b.AVI", "sub" + D + "d.mp3"}},
    };
    for (const auto& c : cases) {
        TFakeEngine engine;
        engine.Extensions.Add("");  // an empty pattern adds no mask that takes every file
        TPlayList list(&engine);
        TEventLog log(list);
        list.AddPlaylistPath(dir.Path(), false, c.Recursive);
        list.AddPlaylistPath(dir.File("sub"), false, false);  // a search runs: ignored
        while (list.FindFile().Busy())
            CheckSynchronize(10);
        std::vector<std::string> names = Names(list);
        for (std::string& name : names)
            name = name.substr(dir.Path().size());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, c.Expected) << c.Recursive;
        ASSERT_FALSE(log.Events.empty());
        EXPECT_EQ(log.Count(0), static_cast<int>(c.Expected.size()));
        EXPECT_EQ(log.Events.back(), TEvent(4, -1, -9));
        EXPECT_EQ(log.Count(4), 1);
    }
}
