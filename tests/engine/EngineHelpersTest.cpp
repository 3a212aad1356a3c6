#include "engine/History.h"
#include "engine/SubtitleSearch.h"
#include "engine/VisualHelpers.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pvltest;

namespace {

TEST(VisualHelpers, NumericRoutines)
{
    EXPECT_FLOAT_EQ(ComplexMagnitude(3, 4), 5);
    EXPECT_FLOAT_EQ(ComplexMagnitude(-3, -4), 5);
    EXPECT_FLOAT_EQ(ComplexMagnitude(0, 0), 0);

    EXPECT_EQ(RGBTripleToColor(0xAA112233), 0x112233);  // the top byte is not part of the triple
    EXPECT_EQ(RGBTripleToColor(0x00FFFFFF), 0xFFFFFF);

    const std::pair<int32_t, int32_t> clamps[] = {{-1, 0}, {70000, 65535}, {0, 0}, {65535, 65535}, {300, 300},
                                                  {INT32_MIN, 0}, {65536, 65535}};
    for (const auto& [in, out] : clamps)
        EXPECT_EQ(ClampWord(in), out) << in;
}

TEST(VisualHelpers, PreEmphasisWorksOnTheEvenPositionsWithTheOldValues)
{
    float buffer[] = {1, 100, 2, 200, 4, 300, 8};
    PreEmphasis(buffer, 4, 0.5f);
    const float expected[] = {1, 100, 2 - 0.5f * 1, 200, 4 - 0.5f * 2, 300, 8 - 0.5f * 4};
    for (int i = 0; i < 7; ++i)
        EXPECT_FLOAT_EQ(buffer[i], expected[i]) << i;

    float one[] = {5};
    PreEmphasis(one, 1, 0.9f);
    EXPECT_FLOAT_EQ(one[0], 5);
}

TEST(VisualHelpers, OutlineOffsetsRingTheCorner)
{
    EXPECT_TRUE(OutlineOffsets(0).empty());
    EXPECT_TRUE(OutlineOffsets(-3).empty());

    const std::vector<TPoint> one = OutlineOffsets(1);
    EXPECT_EQ(one.size(), 8u);  // the eight neighbours
    for (const TPoint& p : one) {
        EXPECT_FALSE(p.x == 0 && p.y == 0);
        EXPECT_LE(std::abs(p.x), 1);
        EXPECT_LE(std::abs(p.y), 1);
    }
    const std::vector<TPoint> three = OutlineOffsets(3);
    EXPECT_TRUE(std::equal(one.begin(), one.end(), three.begin()));  // radius 1 first
    for (size_t i = 0; i < three.size(); ++i)
        for (size_t j = i + 1; j < three.size(); ++j)
            EXPECT_FALSE(three[i] == three[j]);
    for (const TPoint& p : three) {
        EXPECT_LE(std::abs(p.x), 3);
        EXPECT_LE(std::abs(p.y), 3);
    }
}

std::vector<std::string> Entries(const TStringList& list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list[i]);
    return out;
}

TEST(HistoryList, NewestFirstBoundedAndWithoutDuplicates)
{
    TStringList list;
    for (const char* name : {"a.avi", "b.avi", "c.avi", "d.avi", "e.avi"})
        AddHistoryEntry(list, 5, name);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"e.avi", "d.avi", "c.avi", "b.avi", "a.avi"}));

    AddHistoryEntry(list, 5, "C.AVI");  // third, in other letters: moves up as stored
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"c.avi", "e.avi", "d.avi", "b.avi", "a.avi"}));

    AddHistoryEntry(list, 5, "f.avi");  // a sixth drops the oldest
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"f.avi", "c.avi", "e.avi", "d.avi", "b.avi"}));

    AddHistoryEntry(list, 5, "");
    EXPECT_EQ(list.Count(), 5);

    AddHistoryEntry(list, 2, "g.avi");  // the maximum shrank
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"g.avi", "f.avi"}));
}

TEST(HistoryList, TakingAnEntryMovesItUp)
{
    TStringList list;
    for (const char* name : {"a", "b", "c"})
        AddHistoryEntry(list, 5, name);
    std::string name;
    EXPECT_TRUE(TakeHistoryEntry(list, 2, name));
    EXPECT_EQ(name, "a");
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"a", "c", "b"}));
    for (const int bad : {3, -1}) {
        name = "x";
        EXPECT_FALSE(TakeHistoryEntry(list, bad, name));
        EXPECT_EQ(name, "");
    }
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"a", "c", "b"}));
}

TEST(SubtitleSearch, MovieFolderFirstThenExtensionOrder)
{
    TTempDir dir;
    const std::string subs = dir.File("subtitles");
    std::filesystem::create_directory(subs);
    const std::string in = subs + PathDelim;
    const std::string movie = dir.File("film.avi");
    WriteAll(movie, "");
    std::string found = "x";
    EXPECT_FALSE(FindSubtitleFile(movie, found));
    EXPECT_EQ(found, "");

    // Each step adds a file that must win over everything found before.
    const std::pair<std::string, std::string> steps[] = {
        {in + "film.ass", in + "film.ass"},
        {in + "film.idx", in + "film.idx"},
        {dir.File("film.ass"), dir.File("film.ass")},
        {dir.File("film.srt"), dir.File("film.srt")},
        {dir.File("film.sub"), dir.File("film.sub")},
        {dir.File("film.smi"), dir.File("film.smi")},
        {dir.File("other.idx"), dir.File("film.smi")},
        {dir.File("film.idx"), dir.File("film.idx")},
    };
    for (const auto& [add, expected] : steps) {
        WriteAll(add, "");
        SCOPED_TRACE(add);
        EXPECT_TRUE(FindSubtitleFile(movie, found));
        EXPECT_EQ(found, expected);
    }
}

}  // namespace
