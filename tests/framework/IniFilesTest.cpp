#include "framework/IniFiles.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using pvltest::TTempDir;

namespace {
TMemIniFile FromText(std::string_view text)
{
    TMemIniFile ini("");
    ini.SetText(text);
    return ini;
}

std::string ReadText(const std::string& fileName)
{
    const std::vector<uint8_t> bytes = pvltest::ReadAll(fileName);
    return std::string(bytes.begin(), bytes.end());
}
}

TEST(IniFiles, ReadsByTheProfileRules)
{
    struct Case {
        const char* Text;
        const char* Section;
        const char* Key;
        const char* Expected;  // "<none>" is the fallback
    } cases[] = {
        {"[playlist]\r\nFile1=a.mp3\r\n", "playlist", "File1", "a.mp3"},
        {"[PlayList]\nfile1=x", "playlist", "FILE1", "x"},
        {"  [ s ]  \r\n  key  =  two  words \t\r\n", "s", "key", "two  words"},
        {"[s]\rk=cr only\r", "s", "k", "cr only"},
        {"[s]\nk=\"quoted \"\n", "s", "k", "quoted "},
        {"[s]\nk='single'\n", "s", "k", "single"},
        {"[s]\nk=\"open'\n", "s", "k", "\"open'"},
        {"[s]\nk=\"\n", "s", "k", "\""},
        {"[s]\nk=a=b\n", "s", "k", "a=b"},
        {"[s]\nk=\n", "s", "k", ""},
        {"[s]\nk=1\nk=2\n[s]\nk=3\n", "s", "k", "1"},
        {"[s]\n;k=1\n", "s", "k", "<none>"},
        {"k=1\n[s]\n", "s", "k", "<none>"},
        {"[a]\nk=1\n[b]\nj=2\n", "b", "k", "<none>"},
        {"", "s", "k", "<none>"},
    };
    TTempDir dir;
    const std::string name = dir.File("rules.ini");
    for (const Case& c : cases) {
        const TMemIniFile ini = FromText(c.Text);
        EXPECT_EQ(ini.ReadString(c.Section, c.Key, "<none>"), c.Expected) << c.Text;
        // The one-pass reader of long files reads by the same rules: its first value of the key.
        pvltest::WriteAll(name, c.Text);
        std::string first = "<none>";
        TMemIniFile::ForEachValue(name, c.Section, [&](std::string_view key, std::string_view value) {
            if (first == "<none>" && SameText(key, c.Key))
                first = value;
        });
        EXPECT_EQ(first, c.Expected) << "one pass: " << c.Text;
    }
}

TEST(IniFiles, OnePassGivesEveryKeyOfTheFirstSectionInFileOrder)
{
    TTempDir dir;
    const std::string name = dir.File("list.ini");
    pvltest::WriteAll(name, "k=head\r\n[other]\r\nk=0\r\n[List]\r\n; note\r\nb = 2\r\na='1'\r\n\r\nb=3\r\n=x\r\n"
                            "[other]\r\nk=4\r\n[list]\r\nc=5\r\n");
    std::string seen;
    TMemIniFile::ForEachValue(name, "LIST", [&](std::string_view key, std::string_view value) {
        seen += std::string(key) + "=" + std::string(value) + ";";
    });
    EXPECT_EQ(seen, "b=2;a=1;b=3;");
    seen.clear();
    TMemIniFile::ForEachValue(dir.File("missing.ini"), "list", [&](std::string_view, std::string_view) { seen = "called"; });
    EXPECT_EQ(seen, "");
}

TEST(IniFiles, ReadIntegerFallsBackOnAnythingButANumber)
{
    const TMemIniFile ini = FromText("[s]\nd=12\nn=-7\nh=$1F\nx=0x10\nt=12abc\ne=\nbig=99999999999\n");
    const struct {
        const char* Key;
        int Expected;
    } cases[] = {{"d", 12}, {"n", -7}, {"h", 31}, {"x", 16}, {"t", -1}, {"e", -1}, {"big", -1}, {"missing", -1}};
    for (const auto& c : cases)
        EXPECT_EQ(ini.ReadInteger("s", c.Key, -1), c.Expected) << c.Key;
}

TEST(IniFiles, WritesReplaceInPlaceAndAppendBehindTheLastKey)
{
    TMemIniFile ini = FromText("; list\r\n[a]\r\nk=1\r\n; end of a\r\n\r\n[b]\r\nj=2\r\n");
    ini.WriteString("A", "K", "one");
    ini.WriteInteger("a", "new", 5);
    ini.WriteString("c", "z", "last");
    EXPECT_EQ(ini.Text(), "; list\r\n[a]\r\nK=one\r\nnew=5\r\n; end of a\r\n\r\n[b]\r\nj=2\r\n[c]\r\nz=last\r\n");
    EXPECT_EQ(ini.ReadString("a", "k", ""), "one");
    TStringList keys;
    ini.ReadSection("A", keys);
    EXPECT_EQ(keys.CommaText(), "K,new");
    EXPECT_TRUE(ini.SectionExists("C"));
    EXPECT_FALSE(ini.ValueExists("b", "k"));
}

TEST(IniFiles, UpdateFileWritesTheWholeFileOrNothing)
{
    TTempDir dir;
    const std::string name = dir.File("list.ini");
    EXPECT_FALSE(TMemIniFile(name).SectionExists("s"));  // a missing file reads as empty

    TMemIniFile ini(name);
    ini.WriteString("s", "k", "v");
    ini.UpdateFile();
    EXPECT_EQ(ReadText(name), "[s]\r\nk=v\r\n");
    EXPECT_EQ(TMemIniFile(name).ReadString("s", "k", ""), "v");

    // A folder where the temporary file would go makes the write fail.
    std::filesystem::create_directory(name + ".~tmp");
    ini.WriteString("s", "k", "changed");
    EXPECT_THROW(ini.UpdateFile(), EFCreateError);
    EXPECT_EQ(ReadText(name), "[s]\r\nk=v\r\n");
}
