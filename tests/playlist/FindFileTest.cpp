#include "playlist/FindFile.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <thread>

using pvltest::TTempDir;

namespace {

const std::string D(1, PathDelim);

TFileFindRecord FileRecord(const std::string& name, uint32_t attributes = faArchive, uint32_t size = 100)
{
    TFileFindRecord record;
    record.Name = name;
    record.Attributes = attributes;
    record.Size = size;
    return record;
}

bool MatchesWith(TSearchCriteria& criteria, const std::string& folder, const TFileFindRecord& record)
{
    const TTargetSearch search(criteria);
    return search.Matches(folder, record);
}

// root: a.mp3 b.avi c.txt; sub1: d.mp3; sub1/deeper: e.mp3; sub2: f.MP3
class TMediaTree {
public:
    TMediaTree()
    {
        for (const char* folder : {"sub1", "sub1/deeper", "sub2"})
            std::filesystem::create_directories(Root() + Native(folder));
        for (const char* file : {"a.mp3", "b.avi", "c.txt", "sub1/d.mp3", "sub1/deeper/e.mp3", "sub2/f.MP3"})
            pvltest::WriteAll(Root() + Native(file), std::string("media ") + file);
    }
    std::string Root() const { return FDir.Path(); }
    // A path of the tree as the search reports it, relative to the root and with "/".
    std::string Relative(const std::string& folder, const std::string& name) const
    {
        std::string path = (folder + name).substr(Root().size());
        std::replace(path.begin(), path.end(), '\\', '/');
        return path;
    }
    static std::string Native(std::string path)
    {
        std::replace(path.begin(), path.end(), '/', PathDelim);
        return path;
    }

private:
    TTempDir FDir;
};

// Runs a search to its end, serving a threaded one's synchronised calls meanwhile.
void RunSearch(TFindFile& find)
{
    find.Execute();
    while (find.Busy())
        CheckSynchronize(10);
}

std::vector<std::string> Sorted(std::vector<std::string> items)
{
    std::sort(items.begin(), items.end());
    return items;
}

}  // namespace

TEST(FindFile, WildcardMatchStepsThroughTextAndMask)
{
    const struct {
        const char* Text;
        const char* Mask;
        bool Expected;
    } cases[] = {
        {"song", "song", true},  {"Song", "sOnG", true}, {"song", "s?ng", true}, {"song", "s*", true},
        {"song", "*x", true},    {"so", "so??", true},   {"so", "so?*", true},   {"so", "so?x", false},
        {"song", "so", false},   {"so", "song", false},  {"", "", true},         {"", "*", true},
        {"a.b", "a?b", true},    {"\xC4", "\xE4", false}, {"x", "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WildcardMatch(c.Text, c.Mask), c.Expected) << c.Text << " / " << c.Mask;
}

TEST(FindFile, FileNameMatchesBaseAndExtensionApart)
{
    const struct {
        const char* Name;
        const char* Pattern;
        bool Expected;
    } cases[] = {
        {"song.mp3", "*.mp3", true},     {"song.MP3", "*.mp3", true},  {"song.mp3", "*.avi", false},
        {"song.mp3", "song", true},      {"song.mp3", "so", false},    {"README", "*.*", true},
        {"README", "*.", true},          {"a.txt", "*.", false},       {"film.avi", "*x", true},
        {"archive.tar.gz", "*.gz", true}, {"x.mp3", "?.mp3", true},    {"xy.mp3", "?.mp3", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileNameMatches(c.Name, c.Pattern), c.Expected) << c.Name << " / " << c.Pattern;
}

TEST(FindFile, AttributesLieWithinTheSetOrEqualIt)
{
    const TFileAttributes defaults{ffArchive, ffReadonly, ffHidden, ffSystem};
    EXPECT_EQ(defaults.Bits(), 0x27u);
    TFileAttributes withFolders = defaults;
    withFolders.Include(ffDirectory);
    const struct {
        uint32_t Attributes;
        TFileAttributes Allowed;
        bool Exact;
        bool Expected;
    } cases[] = {
        {faArchive, defaults, false, true},
        {faArchive | faReadOnly | faHidden, defaults, false, true},
        {faDirectory, defaults, false, false},
        {faDirectory, withFolders, false, true},
        {faArchive | faVolumeID | 0x80, defaults, false, true},  // bits outside 0x37 are not looked at
        {faArchive | faReadOnly, TFileAttributes{ffArchive}, true, false},
        {faArchive, TFileAttributes{ffArchive}, true, true},
        {0, defaults, true, false},
        {faArchive, defaults, true, false},
    };
    for (const auto& c : cases) {
        TSearchCriteria criteria;
        criteria.Attribute().Attributes = c.Allowed;
        criteria.Attribute().ExactMatch = c.Exact;
        EXPECT_EQ(MatchesWith(criteria, D, FileRecord("x", c.Attributes)), c.Expected)
            << std::hex << c.Attributes << " in " << c.Allowed.Bits() << (c.Exact ? " exactly" : "");
    }
}

TEST(FindFile, SizeBoundsAreInclusiveAndZeroIsNone)
{
    const struct {
        uint32_t Min, Max, Size;
        bool Expected;
    } cases[] = {
        {0, 0, 0, true},       {100, 0, 100, true},  {101, 0, 100, false}, {0, 100, 100, true},
        {0, 99, 100, false},   {50, 150, 100, true}, {0, 0, 0xFFFFFFFF, true},
    };
    for (const auto& c : cases) {
        TSearchCriteria criteria;
        criteria.Size().Min = c.Min;
        criteria.Size().Max = c.Max;
        EXPECT_EQ(MatchesWith(criteria, D, FileRecord("x", faArchive, c.Size)), c.Expected)
            << c.Min << ".." << c.Max << " size " << c.Size;
    }
}

TEST(FindFile, DateBoundsCompareDaysTimesOrBoth)
{
    // 2021-06-15 10:30:15.5 UTC; local offsets are whole quarter hours, so the local time of
    // day keeps its 15.5 seconds and is never midnight.
    const uint64_t fileTime = (1623753015ULL + 11644473600ULL) * 10000000ULL + 5000000ULL;
    const TDateTime local = FileTimeToLocalDateTime(fileTime);
    ASSERT_NEAR(local, EncodeDate(2021, 6, 15) + EncodeTime(10, 30, 15, 500), 1.0);
    const double day = std::trunc(local);
    const double time = local - day;
    const double second = 1.0 / 86400;

    enum Field { Modified, Created, Accessed };
    const struct {
        Field Which;
        TDateTime Before, After;
        bool Expected;
    } cases[] = {
        {Modified, 0, day, true},  // a day bound accepts any time on that day
        {Modified, 0, day + 1, false},
        {Modified, day, 0, true},
        {Modified, day - 1, 0, false},
        {Modified, time, 0, true},  // a time bound looks at the time of day only
        {Modified, time - second, 0, false},
        {Modified, 0, time + second, false},
        {Modified, 0, local, true},
        {Modified, 0, local + second, false},
        {Modified, local - second, 0, false},
        {Created, day - 1, 0, false},
        {Created, day + 1, day - 1, true},
        {Accessed, 0, day + 1, false},
    };
    for (const auto& c : cases) {
        TSearchCriteria criteria;
        TDateTimeCriteria& dates = criteria.TimeStamp();
        TDateTime* bounds[][2] = {{&dates.ModifiedBefore, &dates.ModifiedAfter},
                                  {&dates.CreatedBefore, &dates.CreatedAfter},
                                  {&dates.AccessedBefore, &dates.AccessedAfter}};
        *bounds[c.Which][0] = c.Before;
        *bounds[c.Which][1] = c.After;
        TFileFindRecord record = FileRecord("x");
        record.CreationTime = record.LastWriteTime = record.LastAccessTime = fileTime;
        EXPECT_EQ(MatchesWith(criteria, D, record), c.Expected)
            << "field " << c.Which << " before " << c.Before - day << " after " << c.After - day;
    }
}

TEST(FindFile, ExclusionEntriesMatchFolderTailsDrivesAndNames)
{
    const struct {
        std::vector<std::string> Entries;
        const char* Folder;
        const char* Name;
        bool Expected;
    } cases[] = {
        {{"*x"}, "C:\\Music\\", "song.mp3", true},  // "*" takes the whole rest
        {{"*.mp3"}, "C:\\Music\\", "a.mp3", true},
        {{"*.mp3"}, "C:\\Music\\", "a.avi", false},
        {{"\\Live\\"}, "C:\\Music\\Live\\", "a.mp3", true},
        {{"\\Live\\"}, "C:\\Music\\live\\", "a.mp3", true},
        {{"\\Live\\"}, "C:\\Music\\Studio\\", "a.mp3", false},
        {{"\\Live\\"}, "C:\\Live\\Music\\", "a.mp3", false},
        {{"C:\\Music\\"}, "c:\\music\\", "a.mp3", true},
        {{"C:\\Music\\"}, "D:\\Music\\", "a.mp3", false},
        {{"*:\\Music\\"}, "D:\\Music\\", "a.mp3", true},
        {{"*:\\Music\\"}, "\\Music\\", "a.mp3", false},  // a drive in the entry needs one in the folder
        {{"D:"}, "D:\\Any\\", "a.mp3", true},
        {{"D:"}, "C:\\Any\\", "a.mp3", false},
        {{"C:\\Music\\*.avi"}, "C:\\Music\\", "a.avi", true},
        {{"C:\\Music\\*.avi"}, "C:\\Music\\", "a.mp3", false},
        {{"\\\\server\\share\\Music\\"}, "\\\\server\\share\\Music\\", "a.mp3", true},
        {{"/Live/"}, "/home/u/Live/", "a.mp3", true},
        {{"*.avi", "\\Live\\"}, "C:\\Live\\", "a.mp3", true},
        {{}, "C:\\Live\\", "a.mp3", false},
    };
    for (const auto& c : cases) {
        TTargetFolderList list;
        for (const std::string& entry : c.Entries)
            list.ExcludedFiles.Add(entry);
        EXPECT_EQ(list.IsExcluded(c.Folder, c.Name), c.Expected)
            << (c.Entries.empty() ? "" : c.Entries.back()) << " / " << c.Folder << c.Name;
    }
}

TEST(FindFile, ContentPhraseIsFoundAcrossBlockBorders)
{
    TTempDir dir;
    constexpr size_t block = 61440;
    const auto fileWith = [](size_t size, size_t at, const std::string& phrase) {
        std::string data(size, '.');
        data.replace(at, phrase.size(), phrase);
        return data;
    };
    const struct {
        std::string Data;
        const char* Phrase;
        bool IgnoreCase;
        bool Expected;
    } cases[] = {
        {fileWith(200000, 0, "needle"), "needle", true, true},
        {fileWith(200000, 200000 - 6, "needle"), "needle", true, true},
        {fileWith(200000, block - 3, "needle"), "needle", true, true},
        {fileWith(200000, 2 * block - 1, "needle"), "needle", true, true},
        {fileWith(200000, block, "needle"), "needle", true, true},
        {fileWith(200000, block - 2, "aaab"), "aab", true, true},  // a failed start just before the border
        {fileWith(200000, block - 3, "NeEdLe"), "nEeDlE", true, true},
        {fileWith(200000, block - 3, "NeEdLe"), "needle", false, false},
        {fileWith(200000, 10, "needl"), "needle", true, false},
        {"short", "longer than the file", true, false},
        {"exact", "exact", false, true},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string name = "file" + std::to_string(n++) + ".bin";
        pvltest::WriteAll(dir.File(name), c.Data);
        TSearchCriteria criteria;
        criteria.Content().SetIgnoreCase(c.IgnoreCase);
        criteria.Content().SetPhrase(c.Phrase);
        EXPECT_EQ(MatchesWith(criteria, dir.Path(), FileRecord(name)), c.Expected) << name << " " << c.Phrase;
    }
    TSearchCriteria criteria;
    criteria.Content().SetPhrase("x");
    EXPECT_FALSE(MatchesWith(criteria, dir.Path(), FileRecord("missing.bin")));  // an unreadable file is no match
}

TEST(FindFile, TargetsComeFromLocationsAndIncludedEntries)
{
    TMediaTree tree;
    TSearchCriteria criteria;
    TFileCriteria& files = criteria.Files();
    files.Subfolders = true;
    files.MinLevel = 2;
    files.MaxLevel = 3;
    files.FileName = "*.mp3;*.avi;";
    files.Location = ">" + tree.Root() + "sub1;<" + tree.Root() + "sub2" + D + ";" + tree.Root() + "sub1" + D;
    files.Included.Add(">" + tree.Root() + "sub2" + D + "*.txt");
    criteria.Content().SetPhrase("x");
    TTargetSearch search(criteria);
    TTargetFolderList& list = search.TargetFolders;

    ASSERT_EQ(list.Count(), 2);
    // Walked from the last to the first: in the order they were first named.
    const TTargetFolder& sub2 = list.Items(1);
    const TTargetFolder& sub1 = list.Items(0);
    EXPECT_EQ(sub2.Folder, tree.Root() + "sub2" + D);
    EXPECT_EQ(sub1.Folder, tree.Root() + "sub1" + D);
    EXPECT_EQ(sub2.FileMasks.CommaText(), "*.txt,*.mp3,*.avi");
    EXPECT_FALSE(sub2.Subfolders);  // the location's "<" came last
    EXPECT_EQ(sub1.FileMasks.CommaText(), "*.mp3,*.avi,*.mp3,*.avi");  // named twice
    EXPECT_TRUE(sub1.Subfolders);
    EXPECT_EQ(sub1.MinLevel, 2);
    EXPECT_EQ(sub1.MaxLevel, 3);
    EXPECT_FALSE(search.Attribute.Attributes.Contains(ffDirectory));
}

TEST(FindFile, WalksTheTreeWithAndWithoutSubfolders)
{
    TMediaTree tree;
    const std::vector<std::string> all = {"a.mp3", "sub1/d.mp3", "sub1/deeper/e.mp3", "sub2/f.MP3"};
    const struct {
        const char* Prefix;
        bool Subfolders;
        uint16_t MinLevel, MaxLevel;
        std::vector<std::string> Expected;
    } cases[] = {
        {"", true, 0, 0, all},
        {"", false, 0, 0, {"a.mp3"}},
        {"<", true, 0, 0, {"a.mp3"}},
        {">", false, 0, 0, all},
        {"", true, 0, 1, {"a.mp3"}},
        {"", true, 0, 2, {"a.mp3", "sub1/d.mp3", "sub2/f.MP3"}},
        {"", true, 2, 0, {"sub1/d.mp3", "sub1/deeper/e.mp3", "sub2/f.MP3"}},
    };
    SetMainThread(std::this_thread::get_id());
    for (const bool threaded : {false, true}) {
        for (const auto& c : cases) {
            TFindFile find;
            find.Threaded = threaded;
            TFileCriteria& files = find.Criteria().Files();
            files.FileName = "*.mp3;";
            files.Location = c.Prefix + tree.Root();
            files.Subfolders = c.Subfolders;
            files.MinLevel = c.MinLevel;
            files.MaxLevel = c.MaxLevel;
            std::vector<std::string> found;
            bool onMainThread = true;
            find.OnFileMatch = [&](TObject*, const std::string& folder, const TFileFindRecord& info) {
                found.push_back(tree.Relative(folder, info.Name));
                onMainThread = onMainThread && IsMainThread();
            };
            RunSearch(find);
            EXPECT_EQ(Sorted(found), Sorted(c.Expected))
                << (threaded ? "threaded " : "") << c.Prefix << " subfolders " << c.Subfolders << " levels "
                << c.MinLevel << ".." << c.MaxLevel;
            EXPECT_TRUE(onMainThread);
        }
    }
}

TEST(FindFile, MasksAreSearchedFromTheLastAndFolderChangeCanSkip)
{
    TMediaTree tree;
    TFindFile find;
    find.Criteria().Files().FileName = "*.mp3;*.avi;";
    find.Criteria().Files().Location = tree.Root();
    std::vector<std::string> found;
    std::vector<std::string> folders;
    find.OnFileMatch = [&](TObject*, const std::string& folder, const TFileFindRecord& info) {
        found.push_back(tree.Relative(folder, info.Name));
    };
    find.OnFolderChange = [&](TObject*, const std::string& folder, TFolderIgnore& ignore) {
        const std::string relative = tree.Relative(folder, "");
        folders.push_back(relative);
        if (relative.empty())
            ignore = fiNone;
        else if (relative == "sub1/")
            ignore = fiJustSubfolders;
        else if (relative == "sub2/")
            ignore = fiThisAndSubfolders;
    };
    find.Execute();
    ASSERT_GE(found.size(), 2u);
    EXPECT_EQ(found[0], "b.avi");  // the second mask first
    EXPECT_EQ(found[1], "a.mp3");
    EXPECT_EQ(Sorted(found), Sorted({"b.avi", "a.mp3", "sub1/d.mp3"}));
    EXPECT_EQ(Sorted(folders), Sorted({"", "sub1/", "sub2/"}));  // sub1's subfolders were not entered
    EXPECT_EQ(folders.front(), "");

    found.clear();
    find.OnFolderChange = [&](TObject*, const std::string& folder, TFolderIgnore& ignore) {
        if (tree.Relative(folder, "").empty())
            ignore = fiJustThis;
    };
    find.Execute();
    EXPECT_EQ(Sorted(found), Sorted({"sub1/d.mp3", "sub1/deeper/e.mp3", "sub2/f.MP3"}));  // the root's own files skipped
}

TEST(FindFile, FoldersFoundByAMaskNeedTheDirectoryAttribute)
{
    TMediaTree tree;
    const auto search = [&](bool withFolders, const std::string& phrase) {
        TFindFile find;
        find.Criteria().Files().FileName = "*";
        find.Criteria().Files().Location = tree.Root();
        find.Criteria().Files().Subfolders = false;
        if (withFolders)
            find.Criteria().Attribute().Attributes.Include(ffDirectory);
        find.Criteria().Content().SetPhrase(phrase);
        std::vector<std::string> found;
        find.OnFileMatch = [&](TObject*, const std::string& folder, const TFileFindRecord& info) {
            found.push_back(tree.Relative(folder, info.Name));
        };
        find.Execute();
        return Sorted(found);
    };
    EXPECT_EQ(search(false, ""), Sorted({"a.mp3", "b.avi", "c.txt"}));
    EXPECT_EQ(search(true, ""), Sorted({"a.mp3", "b.avi", "c.txt", "sub1", "sub2"}));
    EXPECT_EQ(search(true, "b.avi"), Sorted({"b.avi"}));  // never a folder while a phrase is set
}

TEST(FindFile, ThreadedSearchIgnoresASecondStartAndFinishesOnce)
{
    SetMainThread(std::this_thread::get_id());
    TMediaTree tree;
    TFindFile find;
    find.Threaded = true;
    find.Criteria().Files().FileName = "*.mp3;";
    find.Criteria().Files().Location = tree.Root();
    int begins = 0;
    int finishes = 0;
    int matches = 0;
    find.OnSearchBegin = [&](TObject*) { ++begins; };
    find.OnSearchFinish = [&](TObject*) {
        ++finishes;
        EXPECT_TRUE(IsMainThread());
        EXPECT_TRUE(find.Busy());  // cleared after the finish event
    };
    find.OnFileMatch = [&](TObject*, const std::string&, const TFileFindRecord&) { ++matches; };
    find.Execute();
    EXPECT_TRUE(find.Busy());
    find.Execute();  // ignored while busy
    while (find.Busy())
        CheckSynchronize(10);
    EXPECT_EQ(begins, 1);
    EXPECT_EQ(finishes, 1);
    EXPECT_EQ(matches, 4);

    RunSearch(find);  // and it runs again once idle
    EXPECT_EQ(finishes, 2);
    EXPECT_EQ(matches, 8);
}

TEST(FindFile, AbortStopsTheEventsAndTheFinishStillFollows)
{
    SetMainThread(std::this_thread::get_id());
    TMediaTree tree;
    for (const bool threaded : {false, true}) {
        TFindFile find;
        find.Threaded = threaded;
        find.Criteria().Files().FileName = "*.mp3;*.avi;*.txt;";
        find.Criteria().Files().Location = tree.Root();
        int matches = 0;
        int aborts = 0;
        int finishes = 0;
        find.OnFileMatch = [&](TObject*, const std::string&, const TFileFindRecord&) {
            ++matches;
            find.Abort();
        };
        find.OnSearchAbort = [&](TObject*) { ++aborts; };
        find.OnSearchFinish = [&](TObject*) { ++finishes; };
        RunSearch(find);
        EXPECT_EQ(matches, 1) << threaded;
        EXPECT_EQ(aborts, 1) << threaded;
        EXPECT_EQ(finishes, 1) << threaded;
        EXPECT_TRUE(find.Aborted());
        find.Abort();  // only while busy
        EXPECT_EQ(aborts, 1);
    }
}

TEST(FindFile, DestroyingDuringAThreadedSearchWaitsForItsEnd)
{
    SetMainThread(std::this_thread::get_id());
    TMediaTree tree;
    std::atomic<int> events{0};
    for (int round = 0; round < 20; ++round) {
        auto find = std::make_unique<TFindFile>();
        find->Threaded = true;
        find->Criteria().Files().FileName = "*.mp3;*.avi;";
        find->Criteria().Files().Location = tree.Root();
        find->OnFileMatch = [&](TObject*, const std::string&, const TFileFindRecord&) { ++events; };
        find->OnSearchFinish = [&](TObject*) { ++events; };
        find->Execute();
        if (round % 2 == 1)
            CheckSynchronize(1);  // let the walk get somewhere first
        find.reset();
    }
    const int seen = events.load();
    CheckSynchronize(50);  // nothing of a freed search arrives later
    EXPECT_EQ(events.load(), seen);
}
