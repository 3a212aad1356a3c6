#include "ui/CommandLine.h"

#include <gtest/gtest.h>

namespace {
std::vector<std::string> Tokens(const char* text)
{
    std::vector<std::string> out;
    std::string token;
    for (const char* p = NextCommandLineToken(text, token); !token.empty(); p = NextCommandLineToken(p, token))
        out.push_back(token);
    return out;
}
}

TEST(CommandLine, TokensFollowThePlatformsQuoting)
{
    const struct {
        const char* Text;
        std::vector<std::string> Tokens;
    } cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"a b\tc", {"a", "b", "c"}},
        {"\"C:\\My Movies\\a b.avi\" next", {"C:\\My Movies\\a b.avi", "next"}},
        {"\"\"\"x y\"", {"x y"}},                // a pair of quotes before a token is skipped
        {"a \"\" b", {"a", "b"}},
        {"pre\"fix mid\"post tail", {"prefix midpost", "tail"}},
        {"\"unclosed quote to the end", {"unclosed quote to the end"}},
        {"\x01\x1F" "a", {"a"}},
        {"caf\xC3\xA9 x", {"caf\xC3\xA9", "x"}},  // bytes above 127 belong to the token
    };
    for (const auto& c : cases)
        EXPECT_EQ(Tokens(c.Text), c.Tokens) << c.Text;
}

TEST(CommandLine, StepsWholeCharactersWithTheGivenStepper)
{
    // A stepper that treats a lead byte 0x81 as two bytes: its trail byte is a quote here.
    const TCharNext doubleByte = [](const char* p) -> const char* {
        if (!*p)
            return p;
        return (static_cast<unsigned char>(*p) == 0x81 && p[1]) ? p + 2 : p + 1;
    };
    std::string token;
    const char* rest = NextCommandLineToken("a\x81\"b c", token, doubleByte);
    EXPECT_EQ(token, "a\x81\"b");
    EXPECT_STREQ(rest, " c");
}

TEST(CommandLine, FirstTokenIsAlwaysTheProgram)
{
    const struct {
        const char* Text;
        std::string Folder;
        std::vector<std::string> Names;
    } cases[] = {
        {"C:\\Parvolux\\Parvolux.exe movie.avi", "C:\\Parvolux\\", {"movie.avi"}},
        {"Parvolux movie.avi other.mp3", "", {"movie.avi", "other.mp3"}},  // a bare name is consumed too
        {"\"C:\\Program Files\\P\\Parvolux.exe\"", "C:\\Program Files\\P\\", {}},
        {"", "", {}},
    };
    for (const auto& c : cases) {
        const TCommandLineParams p = ParseCommandLine(c.Text);
        EXPECT_EQ(p.ProgramFolder, c.Folder) << c.Text;
        EXPECT_EQ(p.Names, c.Names) << c.Text;
    }
    EXPECT_TRUE(ParseCommandLine(nullptr).Names.empty());
}

TEST(CommandLine, SwitchesAreWholeTokensInAnyCase)
{
    const TCommandLineParams p = ParseCommandLine("p.exe /add a.avi /Play /t /addition /f /M /x");
    EXPECT_TRUE(p.Add);
    EXPECT_TRUE(p.FullScreen);
    EXPECT_TRUE(p.Minimize);
    EXPECT_EQ(p.Names, (std::vector<std::string>{"a.avi", "/addition", "/x"}));
    const TCommandLineParams none = ParseCommandLine("p.exe a /F");
    EXPECT_FALSE(none.Add);
    EXPECT_FALSE(none.Minimize);
    EXPECT_TRUE(none.FullScreen);
}

TEST(CommandLine, ParamCountLeavesOutTheProgram)
{
    EXPECT_EQ(ParamCount(""), 0);
    EXPECT_EQ(ParamCount("\"C:\\a b\\p.exe\""), 0);
    EXPECT_EQ(ParamCount("p.exe \"x y\" /F"), 2);
}
