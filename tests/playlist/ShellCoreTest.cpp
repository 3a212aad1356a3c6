#include "playlist/ShellCore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace {

void PutU32(std::vector<uint8_t>& block, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        block[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// One item of `payload` bytes and the terminator.
TIdListBytes IdList(std::vector<uint8_t> payload)
{
    TIdListBytes list;
    const uint16_t cb = static_cast<uint16_t>(payload.size() + 2);
    list.push_back(static_cast<uint8_t>(cb));
    list.push_back(static_cast<uint8_t>(cb >> 8));
    list.insert(list.end(), payload.begin(), payload.end());
    list.push_back(0);
    list.push_back(0);
    return list;
}

// A well-formed block: the folder list and the item lists after the offsets.
std::vector<uint8_t> IdListArray(const TIdListBytes& folder, const std::vector<TIdListBytes>& items)
{
    std::vector<uint8_t> block(4 + 4 * (items.size() + 1));
    PutU32(block, 0, static_cast<uint32_t>(items.size()));
    PutU32(block, 4, static_cast<uint32_t>(block.size()));
    block.insert(block.end(), folder.begin(), folder.end());
    for (size_t i = 0; i < items.size(); ++i) {
        PutU32(block, 8 + 4 * i, static_cast<uint32_t>(block.size()));
        block.insert(block.end(), items[i].begin(), items[i].end());
    }
    return block;
}

int PlainCompare(const std::string& a, const std::string& b) { return a.compare(b); }

}  // namespace

TEST(ShellCore, IdListArrayReadsFolderAndItems)
{
    const TIdListBytes folder = IdList({1, 2, 3}), a = IdList({4}), b = IdList({5, 6});
    const std::vector<uint8_t> block = IdListArray(folder, {a, b});
    const auto parsed = ParseShellIdListArray(block.data(), block.size());
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->Folder, folder);
    EXPECT_EQ(parsed->Items, (std::vector<TIdListBytes>{a, b}));
    // Folder + item: one terminator, both items' bytes.
    EXPECT_EQ(JoinIdLists(folder, a), (TIdListBytes{5, 0, 1, 2, 3, 3, 0, 4, 0, 0}));
    // The desktop's folder list is the terminator alone.
    const std::vector<uint8_t> desktop = IdListArray({0, 0}, {a});
    ASSERT_TRUE(ParseShellIdListArray(desktop.data(), desktop.size()));
}

TEST(ShellCore, MalformedIdListArrayMeansNoItems)
{
    const std::vector<uint8_t> good = IdListArray(IdList({1, 2, 3}), {IdList({4}), IdList({5, 6})});
    const size_t lastList = good.size() - IdList({5, 6}).size();
    struct TCase {
        const char* what;
        std::vector<uint8_t> block;
    };
    std::vector<TCase> cases;
    cases.push_back({"too short for the count", {1, 0, 0}});
    auto count = good;
    PutU32(count, 0, 0xFFFFFFFF);
    cases.push_back({"count past the offsets", count});
    auto offset = good;
    PutU32(offset, 8, static_cast<uint32_t>(good.size()));
    cases.push_back({"offset at the end", offset});
    auto farOffset = good;
    PutU32(farOffset, 4, 0x7FFFFFF0);
    cases.push_back({"offset far outside", farOffset});
    cases.push_back({"list without terminator", std::vector<uint8_t>(good.begin(), good.end() - 2)});
    auto longItem = good;
    longItem[lastList] = 0x40;
    cases.push_back({"item longer than the block", longItem});
    auto shortItem = good;
    shortItem[lastList] = 1;
    cases.push_back({"item shorter than its header", shortItem});
    for (const TCase& c : cases)
        EXPECT_FALSE(ParseShellIdListArray(c.block.data(), c.block.size())) << c.what;
    EXPECT_FALSE(ParseShellIdListArray(nullptr, 0));
}

TEST(ShellCore, MutatedIdListArraysStayInsideTheBlock)
{
    const std::vector<uint8_t> good = IdListArray(IdList({1, 2, 3}), {IdList({4}), IdList({5, 6})});
    uint32_t seed = 17;
    for (int round = 0; round < 5000; ++round) {
        std::vector<uint8_t> block = good;
        for (int flips = 0; flips < 3; ++flips) {
            seed = seed * 1664525u + 1013904223u;
            block[(seed >> 8) % block.size()] = static_cast<uint8_t>(seed >> 24);
        }
        seed = seed * 1664525u + 1013904223u;
        block.resize(block.size() - (seed >> 28) % 4);
        const auto parsed = ParseShellIdListArray(block.data(), block.size());
        if (!parsed)
            continue;
        for (const TIdListBytes& item : parsed->Items) {
            ASSERT_GE(item.size(), 2u);
        }
    }
}

TEST(ShellCore, NewFolderNameTakesTheFirstFreeNumber)
{
    std::set<std::string> existing;
    const auto exists = [&](const std::string& path) { return existing.count(path) > 0; };
    EXPECT_EQ(NewFolderName("C:\\data", "New Folder", exists), "C:\\data\\New Folder (1)");
    existing = {"C:\\data\\New Folder (1)", "C:\\data\\New Folder (3)"};
    EXPECT_EQ(NewFolderName("C:\\data\\", "New Folder", exists), "C:\\data\\New Folder (2)");
    existing.insert("C:\\data\\New Folder (2)");
    EXPECT_EQ(NewFolderName("C:\\data", "New Folder", exists), "C:\\data\\New Folder (4)");
    // A drive root already ends in the backslash.
    EXPECT_EQ(NewFolderName("C:\\", "New Folder", exists), "C:\\New Folder (1)");
}

TEST(ShellCore, SizeTexts)
{
    const struct {
        int64_t size;
        const char* text;
    } cases[] = {
        {0, "0 KB"},
        {-1, "0 KB"},
        {100, "1 KB"},
        {1023, "1 KB"},
        {1024, "1 KB"},
        {2047, "1 KB"},
        {1024 * 1000, "1,000 KB"},
        {5LL << 30, "5,242,880 KB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShellSizeText(c.size, "%s KB"), c.text) << c.size;
    EXPECT_EQ(ShellSizeText(5LL << 30, "", '.'), "5.242.880 KB");
    EXPECT_EQ(ShellSizeText(2048, "%s Ko"), "2 Ko");
}

TEST(ShellCore, SortByColumnWithTiesByName)
{
    const std::vector<TShellListRecord> records = {
        {"b.txt", 10, "Text", 3.0},
        {"a.txt", 10, "Text", 1.0},
        {"c.wav", 5, "Wave", 2.0},
        {"B.wav", 20, "Wave", -1},
    };
    const struct {
        TShellColumnKind kind;
        bool descending;
        std::vector<size_t> order;
    } cases[] = {
        {sckName, false, {3, 1, 0, 2}},
        {sckName, true, {2, 0, 1, 3}},
        {sckSize, false, {2, 1, 0, 3}},  // a.txt and b.txt tie by size
        {sckSize, true, {3, 0, 1, 2}},
        {sckType, false, {1, 0, 3, 2}},
        {sckModified, false, {3, 1, 2, 0}},
    };
    for (const auto& c : cases) {
        std::vector<size_t> order = {0, 1, 2, 3};
        SortShellRecords(order, records, c.kind, c.descending, PlainCompare);
        EXPECT_EQ(order, c.order) << int(c.kind) << c.descending;
    }
}

TEST(ShellCore, ColumnClicksToggleOrRestartTheSort)
{
    TShellSortState state;
    state = ShellSortAfterClick(state, sckName);
    EXPECT_TRUE(state.Descending);
    state = ShellSortAfterClick(state, sckSize);
    EXPECT_EQ(state.Kind, sckSize);
    EXPECT_FALSE(state.Descending);
}
