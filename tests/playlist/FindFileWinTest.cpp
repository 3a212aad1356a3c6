#include "playlist/FindFile.h"

#include "framework/WinHandles.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

using pvltest::TTempDir;

namespace {

std::vector<std::string> Search(const std::string& folder, const std::function<void(TSearchCriteria&)>& setUp)
{
    TFindFile find;
    find.Criteria().Files().FileName = "*.*";
    find.Criteria().Files().Location = folder;
    setUp(find.Criteria());
    std::vector<std::string> found;
    find.OnFileMatch = [&](TObject*, const std::string&, const TFileFindRecord& info) { found.push_back(info.Name); };
    find.Execute();
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

TEST(FindFileWin, AttributesOfRealFiles)
{
    TTempDir dir;
    const struct {
        const char* Name;
        DWORD Attributes;
    } files[] = {
        {"plain.mp3", FILE_ATTRIBUTE_ARCHIVE},
        {"hidden.mp3", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN},
        {"readonly.mp3", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY},
    };
    for (const auto& f : files) {
        pvltest::WriteAll(dir.File(f.Name), "x");
        ASSERT_TRUE(SetFileAttributesA(dir.File(f.Name).c_str(), f.Attributes));
    }
    EXPECT_EQ(Search(dir.Path(), [](TSearchCriteria&) {}),
              (std::vector<std::string>{"hidden.mp3", "plain.mp3", "readonly.mp3"}));
    EXPECT_EQ(Search(dir.Path(), [](TSearchCriteria& c) { c.Attribute().Attributes = {ffArchive, ffReadonly}; }),
              (std::vector<std::string>{"plain.mp3", "readonly.mp3"}));
    EXPECT_EQ(Search(dir.Path(), [](TSearchCriteria& c) {
                  c.Attribute().Attributes = {ffArchive};
                  c.Attribute().ExactMatch = true;
              }),
              (std::vector<std::string>{"plain.mp3"}));
    SetFileAttributesA(dir.File("readonly.mp3").c_str(), FILE_ATTRIBUTE_NORMAL);  // so the folder can go
}

TEST(FindFileWin, ModifiedDatesInLocalTime)
{
    TTempDir dir;
    const std::string name = dir.File("dated.mp3");
    pvltest::WriteAll(name, "x");
    // Last written on 2020-03-10 at 14:00 local time.
    SYSTEMTIME parts{};
    parts.wYear = 2020;
    parts.wMonth = 3;
    parts.wDay = 10;
    parts.wHour = 14;
    FILETIME local{};
    FILETIME utc{};
    ASSERT_TRUE(SystemTimeToFileTime(&parts, &local));
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
    {
        const TFileHandle file(CreateFileA(name.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file);
        ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &utc));
    }
    const struct {
        TDateTime Before, After;
        bool Found;
    } cases[] = {
        {0, EncodeDate(2020, 3, 10), true},
        {0, EncodeDate(2020, 3, 11), false},
        {EncodeDate(2020, 3, 10), 0, true},
        {EncodeDate(2020, 3, 10) + EncodeTime(13, 0, 0, 0), 0, false},
        {0, EncodeTime(13, 0, 0, 0), true},
        {0, EncodeTime(15, 0, 0, 0), false},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> found = Search(dir.Path(), [&](TSearchCriteria& criteria) {
            criteria.TimeStamp().ModifiedBefore = c.Before;
            criteria.TimeStamp().ModifiedAfter = c.After;
        });
        EXPECT_EQ(!found.empty(), c.Found) << c.Before << " / " << c.After;
    }
}

TEST(FindFileWin, IgnoreCaseLowersLettersOfTheCodePage)
{
    if (GetACP() != 1252)
        GTEST_SKIP() << "needs code page 1252";
    TTempDir dir;
    pvltest::WriteAll(dir.File("text.txt"), "Gro\xDF und \xC4RGER");
    const auto withPhrase = [&](const char* phrase) {
        return Search(dir.Path(), [&](TSearchCriteria& c) { c.Content().SetPhrase(phrase); }).size();
    };
    EXPECT_EQ(withPhrase("\xE4rger"), 1u);
    EXPECT_EQ(withPhrase("\xC4rger"), 1u);
    EXPECT_EQ(withPhrase("\xE4rgerlich"), 0u);
}
