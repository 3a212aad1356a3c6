#include "playlist/DetailThread.h"

#include "playlist/PlayList.h"
#include "tests/playlist/PlayListFakes.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

using namespace pvltest;

namespace {

// A media fetch that knows some files and can hold one fetch until the test lets it go.
class TFakeFetch {
public:
    TGetMediaInfoFunc Function()
    {
        return [this](const std::string& name) { return Fetch(name); };
    }

    void HoldAt(const std::string& name)
    {
        std::lock_guard lock(FLock);
        FHeld = name;
    }
    // Serves the GUI thread's side until the held fetch has begun.
    void WaitUntilHeld()
    {
        for (;;) {
            {
                std::lock_guard lock(FLock);
                if (FHolding)
                    return;
            }
            CheckSynchronize(5);
        }
    }
    void Release()
    {
        std::lock_guard lock(FLock);
        FHeld.clear();
        FReleased.notify_all();
    }
    std::vector<std::string> Fetched()
    {
        std::lock_guard lock(FLock);
        return FFetched;
    }

    std::map<std::string, TMediaInfo> Known;

private:
    std::unique_ptr<TMediaInfo> Fetch(const std::string& name)
    {
        std::unique_lock lock(FLock);
        FFetched.push_back(name);
        if (name == FHeld) {
            FHolding = true;
            FReleased.wait(lock, [&] { return FHeld.empty(); });
        }
        const auto at = Known.find(name);
        return at == Known.end() ? nullptr : std::make_unique<TMediaInfo>(at->second);
    }

    std::mutex FLock;
    std::condition_variable FReleased;
    std::string FHeld;
    bool FHolding = false;
    std::vector<std::string> FFetched;
};

void WaitForDetails(TPlayList& list)
{
    ASSERT_NE(list.DetailThread(), nullptr);
    list.DetailThread()->WaitFor();
    EXPECT_FALSE(list.DetailThread()->Busy());
}

}  // namespace

TEST(DetailThread, FillsOnlyUnknownLengths)
{
    SetMainThread(std::this_thread::get_id());
    TFakeFetch fetch;
    fetch.Known["a.mp3"] = {"Title A", 100};
    fetch.Known["b.mp3"] = {"never asked", 1};
    fetch.Known["d.avi"] = {"", -1};  // the detector found no length: still written
    TPlayList list;
    list.FetchMediaInfo = fetch.Function();
    list.AddPlaylistRecord({"a.mp3", "", -1, 0});
    list.AddPlaylistRecord({"b.mp3", "keep", 50, 2});
    list.AddPlaylistRecord({"c.mp3", "old title", -1, 1});  // no result: untouched
    list.AddPlaylistRecord({"d.avi", "x", -1, 0});
    TEventLog log(list);
    list.StartDetailThread();
    WaitForDetails(list);

    EXPECT_EQ(fetch.Fetched(), (std::vector<std::string>{"a.mp3", "c.mp3", "d.avi"}));
    const struct {
        const char* Title;
        int32_t Length, State;
    } expected[] = {{"Title A", 100, 0}, {"keep", 50, 2}, {"old title", -1, 1}, {"", -1, 0}};
    for (int i = 0; i < 4; ++i) {
        const TPlayListItem item = ItemAt(list, i);
        EXPECT_EQ(item.Title, expected[i].Title) << i;
        EXPECT_EQ(item.Length, expected[i].Length) << i;
        EXPECT_EQ(item.State, expected[i].State) << i;
    }
    EXPECT_EQ(log.Events, (std::vector<TEventLog::TEvent>{{2, 0, -9}, {2, 3, -9}}));

    TPlayList empty;  // ends at once
    empty.FetchMediaInfo = fetch.Function();
    empty.StartDetailThread();
    WaitForDetails(empty);
    EXPECT_EQ(fetch.Fetched().size(), 3u);
}

TEST(DetailThread, ChangesDuringAFetchNeverPutResultsOnAnotherEntry)
{
    SetMainThread(std::this_thread::get_id());
    const std::vector<std::string> names = {"A", "B", "C", "D"};
    const struct {
        const char* Change;
        std::function<void(TPlayList&)> Apply;
        std::vector<std::string> Filled;  // entries that end with their own data
    } cases[] = {
        {"delete the entry being fetched", [](TPlayList& l) { l.DeleteItem(1); }, {"A", "D"}},
        {"delete the entry before it", [](TPlayList& l) { l.DeleteItem(0); }, {"B", "D"}},
        {"move it to the end", [](TPlayList& l) { l.MoveItem(1, 3); }, {"A", "B", "D"}},
        {"move another onto its place", [](TPlayList& l) { l.MoveItem(3, 1); }, {"A", "B", "C"}},
        {"replace it", [](TPlayList& l) { l.SetItem(1, {"E", "", -1, 0}); }, {"A", "C", "D"}},
        {"clear the list", [](TPlayList& l) { l.Clear(); }, {}},
    };
    for (const auto& c : cases) {
        TFakeFetch fetch;
        for (size_t i = 0; i < names.size(); ++i)
            fetch.Known[names[i]] = {"Title " + names[i], static_cast<int32_t>(10 * (i + 1))};
        fetch.HoldAt("B");
        TPlayList list;
        list.FetchMediaInfo = fetch.Function();
        for (const std::string& name : names)
            list.AddPlaylistFile(name);
        list.StartDetailThread();
        fetch.WaitUntilHeld();
        c.Apply(list);
        fetch.Release();
        WaitForDetails(list);

        std::vector<std::string> filled;
        for (int i = 0; i < list.ItemCount(); ++i) {
            const TPlayListItem item = ItemAt(list, i);
            if (item.Length == -1) {
                EXPECT_EQ(item.Title, "") << c.Change << ": " << item.FileName;
                continue;
            }
            const TMediaInfo& own = fetch.Known[item.FileName];
            EXPECT_EQ(item.Length, own.Length) << c.Change << ": " << item.FileName;
            EXPECT_EQ(item.Title, own.Title) << c.Change << ": " << item.FileName;
            filled.push_back(item.FileName);
        }
        std::sort(filled.begin(), filled.end());
        EXPECT_EQ(filled, c.Filled) << c.Change;
    }
}

TEST(DetailThread, RestartingWaitsForTheRunningFetchAndKeepsItsResult)
{
    SetMainThread(std::this_thread::get_id());
    TFakeFetch fetch;
    fetch.Known["A"] = {"Title A", 10};
    fetch.Known["B"] = {"Title B", 20};
    fetch.HoldAt("A");
    TPlayList list;
    list.FetchMediaInfo = fetch.Function();
    list.AddPlaylistFile("A");
    list.AddPlaylistFile("B");
    list.StartDetailThread();
    fetch.WaitUntilHeld();
    // The release comes from elsewhere while the GUI thread waits in the restart.
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        fetch.Release();
    });
    list.StartDetailThread();
    releaser.join();
    WaitForDetails(list);
    EXPECT_EQ(ItemAt(list, 0).Length, 10);  // written back during the wait
    EXPECT_EQ(ItemAt(list, 1).Length, 20);
    EXPECT_EQ(fetch.Fetched(), (std::vector<std::string>{"A", "B"}));  // the old walk stopped after A
}

TEST(DetailThread, FreeingThePlayListStopsARunningWalk)
{
    SetMainThread(std::this_thread::get_id());
    TFakeFetch fetch;
    fetch.Known["A"] = {"Title A", 10};
    fetch.HoldAt("A");
    int changes = 0;
    std::thread releaser;
    {
        TPlayList list;
        list.FetchMediaInfo = fetch.Function();
        list.OnChange = [&](uint8_t, int32_t) { ++changes; };
        list.AddPlaylistFile("A");
        list.AddPlaylistFile("B");
        list.StartDetailThread();
        fetch.WaitUntilHeld();
        releaser = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            fetch.Release();
        });
        // Leaving the scope frees the list while its walk is inside a fetch.
    }
    releaser.join();
    EXPECT_EQ(changes, 1);  // the fetch in progress finished and was written back first
    EXPECT_EQ(fetch.Fetched(), (std::vector<std::string>{"A"}));
}

TEST(DetailThread, StartedByTheEndOfAFolderSearch)
{
    SetMainThread(std::this_thread::get_id());
    TTempDir dir;
    for (const char* name : {"a.mp3", "b.mp3"})
        WriteAll(dir.File(name), "x");
    TFakeFetch fetch;
    fetch.Known[dir.File("a.mp3")] = {"A", 10};
    fetch.Known[dir.File("b.mp3")] = {"B", 20};
    TFakeEngine engine;
    TPlayList list(&engine);
    list.FetchMediaInfo = fetch.Function();
    // As the play-list window does: a bulk change restarts the detail thread, here from inside
    // the search thread's last synchronised call.
    list.OnChange = [&](uint8_t code, int32_t) {
        if (code == plcBulkChanged)
            list.StartDetailThread();
    };
    list.AddPlaylistPath(dir.Path(), false, false);
    while (list.FindFile().Busy())
        CheckSynchronize(10);
    WaitForDetails(list);
    ASSERT_EQ(list.ItemCount(), 2);
    for (int i = 0; i < 2; ++i) {
        const TPlayListItem item = ItemAt(list, i);
        EXPECT_EQ(item.Length, fetch.Known[item.FileName].Length) << item.FileName;
    }
}
