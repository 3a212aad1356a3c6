#include "framework/SysUtils.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(SysUtils, IntegerParsing)
{
    struct Case {
        const char* Text;
        bool Ok;
        int Value;
    } cases[] = {
        {"0", true, 0}, {" 42 ", true, 42}, {"-17", true, -17}, {"$1F", true, 31}, {"0x10", true, 16},
        {"2147483647", true, 2147483647}, {"2147483648", false, 0}, {"-2147483648", true, INT32_MIN},
        {"", false, 0}, {"12a", false, 0}, {"-", false, 0}, {"$", false, 0},
    };
    for (const auto& c : cases) {
        int value = 0;
        EXPECT_EQ(TryStrToInt(c.Text, value), c.Ok) << c.Text;
        if (c.Ok)
            EXPECT_EQ(value, c.Value) << c.Text;
        EXPECT_EQ(StrToIntDef(c.Text, -99), c.Ok ? c.Value : -99) << c.Text;
    }
    EXPECT_THROW(StrToInt("x"), EConvertError);
}

TEST(SysUtils, PathPartsAcceptBothSeparators)
{
    EXPECT_EQ(ExtractFilePath("C:\\x\\film.avi"), "C:\\x\\");
    EXPECT_EQ(ExtractFileName("C:\\x\\film.avi"), "film.avi");
    EXPECT_EQ(ExtractFileExt("C:\\x.dir\\film"), "");
    EXPECT_EQ(ExtractFileExt("/a/b/song.Mp3"), ".Mp3");
    EXPECT_EQ(ExtractFileName("C:film.avi"), "film.avi");
    EXPECT_EQ(ExtractFileDir("C:\\x\\film.avi"), "C:\\x");
    EXPECT_EQ(ExtractFileDir("C:\\film.avi"), "C:\\");
    EXPECT_EQ(ChangeFileExt("C:\\x\\film.avi", ".mss"), "C:\\x\\film.mss");
    EXPECT_EQ(ChangeFileExt("noext", ".cid"), "noext.cid");
    EXPECT_EQ(ExcludeTrailingPathDelimiter(IncludeTrailingPathDelimiter("dir")), "dir");
}

TEST(SysUtils, TextHelpers)
{
    EXPECT_EQ(Trim("\t a b \r\n"), "a b");
    EXPECT_EQ(UpperCase("abc.Mp3"), "ABC.MP3");
    EXPECT_TRUE(SameText("LastPlayed.PLS", "lastplayed.pls"));
    EXPECT_LT(CompareText("abc", "ABD"), 0);
    EXPECT_GT(CompareText("abcd", "ABC"), 0);
    EXPECT_TRUE(EndsText(".m3u", "list.M3U"));
    EXPECT_EQ(IntToHex(0x1689, 12), "000000001689");
    EXPECT_EQ(IntToHex(0xABCDEF, 2), "ABCDEF");
    EXPECT_EQ(Format("%2.2d:%2.2d", 3, 45), "03:45");
    EXPECT_EQ(StringReplaceAll("a%20b%20", "%20", " "), "a b ");
}

TEST(SysUtils, WideConversionRoundTrips)
{
    const std::string text = "film 12.avi";
    EXPECT_EQ(WideToAnsi(AnsiToWide(text)), text);
    EXPECT_EQ(AnsiToWide("abc"), L"abc");
}

TEST(SysUtils, FileAttributesSetAndRead)
{
    pvltest::TTempDir dir;
    const std::string name = dir.File("a.txt");
    pvltest::WriteAll(name, "x");
    EXPECT_EQ(FileGetAttr(name) & faReadOnly, 0);
    ASSERT_TRUE(FileSetAttr(name, faReadOnly));
    EXPECT_NE(FileGetAttr(name) & faReadOnly, 0);
    ASSERT_TRUE(FileSetAttr(name, 0));
    EXPECT_EQ(FileGetAttr(name) & faReadOnly, 0);
    EXPECT_NE(FileGetAttr(dir.Path()) & faDirectory, 0);
    EXPECT_EQ(FileGetAttr(dir.File("missing")), -1);
}

TEST(SysUtils, DatesCountDaysFrom1899December30)
{
    const struct {
        int Year, Month, Day;
        double Expected;
    } cases[] = {{1899, 12, 30, 0}, {1900, 1, 1, 2}, {1900, 3, 1, 61}, {2000, 1, 1, 36526}, {2000, 2, 29, 36585}, {2024, 3, 1, 45352}};
    for (const auto& c : cases)
        EXPECT_EQ(EncodeDate(c.Year, c.Month, c.Day), c.Expected) << c.Year << "-" << c.Month << "-" << c.Day;
    EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_DOUBLE_EQ(EncodeTime(18, 30, 0, 0), 0.7708333333333334);
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
    EXPECT_THROW(EncodeDate(2024, 13, 1), EConvertError);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
}

TEST(SysUtils, ExpandFileNameResolvesDotsAgainstTheCurrentFolder)
{
    const std::string d(1, PathDelim);
#ifdef _WIN32
    const std::string root = "C:";
#else
    const std::string root;
#endif
    EXPECT_EQ(ExpandFileName(root + d + "a" + d + "b" + d + ".." + d + "c" + d + "." + d + "f.txt"), root + d + "a" + d + "c" + d + "f.txt");
    EXPECT_EQ(ExpandFileName(root + d + "a" + d + "b" + d), root + d + "a" + d + "b" + d);
    const std::string relative = ExpandFileName("x.txt");
    EXPECT_EQ(ExtractFileName(relative), "x.txt");
    EXPECT_EQ(ExpandFileName(ExtractFilePath(relative) + ".." + d + "x.txt"), ExpandFileName(".." + d + "x.txt"));
    EXPECT_EQ(ExpandFileName(""), "");
}

TEST(SysUtils, LastOSErrorCarriesTheSystemsText)
{
    const THandle missing = FileOpen(GetTempDirectory() + "pvl-no-such-folder" + PathDelim + "none.bin", fmOpenRead);
    ASSERT_EQ(missing, INVALID_FILE_HANDLE);
    try {
        RaiseLastOSError();
        FAIL() << "no exception";
    } catch (const EOSError& e) {
        EXPECT_TRUE(e.Message.starts_with("System Error.  Code: ")) << e.Message;
        const size_t lineBreak = e.Message.find("\r\n");
        ASSERT_NE(lineBreak, std::string::npos) << e.Message;
        EXPECT_GT(e.Message.size(), lineBreak + 2) << "the system's text follows the code";
    }
}
