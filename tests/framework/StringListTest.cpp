#include "framework/Classes.h"
#include "framework/SysUtils.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(StringList, EditingAndSearchIgnoreCase)
{
    TStringList list{"one", "Two", "three"};
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    EXPECT_EQ(list.IndexOf("TWO"), 1);
    list.Insert(0, "zero");
    list.Move(3, 1);  // three -> index 1
    EXPECT_EQ(list.Text(), "zero\r\nthree\r\none\r\nTwo\r\n");
    list.Exchange(0, 3);
    list.Delete(1);
    EXPECT_EQ(list.CommaText(), "Two,one,zero");
    EXPECT_EQ(changes, 4);
    EXPECT_THROW(list.Delete(3), EStringListError);
    EXPECT_THROW(list.Strings(-1), EStringListError);
    try {
        list.Strings(7);
        FAIL() << "no exception";
    } catch (const EStringListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (7)");
    }
}

TEST(StringList, SortedListKeepsOrderAndDuplicatesRule)
{
    TStringList list;
    list.SetSorted(true);
    for (const char* s : {"b", "a", "C", "a"})
        list.Add(s);
    EXPECT_EQ(list.CommaText(), "a,b,C");
    list.Duplicates = dupError;
    EXPECT_THROW(list.Add("B"), EStringListError);
    int index = -1;
    EXPECT_FALSE(list.Find("bb", index));
    EXPECT_EQ(index, 2);
}

TEST(StringList, TextSplitsEveryLineBreakAndNameValuePairs)
{
    TStringList list;
    list.SetText("a=1\r\nb=2\nc\r\rlast");
    ASSERT_EQ(list.Count(), 5);
    EXPECT_EQ(list[3], "");
    EXPECT_EQ(list.Values("B"), "2");
    EXPECT_EQ(list.Names(0), "a");
    list.SetValue("a", "9");
    list.SetValue("b", "");
    EXPECT_EQ(list.CommaText(), "a=9,c,\"\",last");
}

TEST(StringList, CommaTextQuotesAndParses)
{
    TStringList list{"plain", "with space", "q\"uote", ""};
    const std::string text = list.CommaText();
    EXPECT_EQ(text, "plain,\"with space\",\"q\"\"uote\",\"\"");
    TStringList back;
    back.SetCommaText(text);
    EXPECT_EQ(back.Text(), list.Text());
}

TEST(StringList, FileRoundTripAndFailedSaveKeepsOldFile)
{
    pvltest::TTempDir dir;
    const std::string name = dir.File("list.txt");
    TStringList list{"first", "second"};
    list.SaveToFile(name);
    TStringList loaded;
    loaded.LoadFromFile(name);
    EXPECT_EQ(loaded.Text(), list.Text());
    EXPECT_THROW(list.SaveToFile(dir.File("missing-folder/x.txt")), EFCreateError);
    EXPECT_THROW(loaded.LoadFromFile(dir.File("nothing.txt")), EFOpenError);

    // A save that cannot finish (its temporary file is barred) leaves the old file whole.
    ASSERT_TRUE(ForceDirectories(name + ".~tmp"));
    const TStringList other{"other", "lines", "entirely"};
    EXPECT_THROW(other.SaveToFile(name), EFCreateError);
    TStringList kept;
    kept.LoadFromFile(name);
    EXPECT_EQ(kept.Text(), "first\r\nsecond\r\n");
}
