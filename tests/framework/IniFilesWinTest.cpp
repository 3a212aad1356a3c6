#include "framework/IniFiles.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

// Our reader must agree with the platform's profile functions on the files it reads.
TEST(IniFilesWin, ReadsWhatTheProfileFunctionsRead)
{
    struct Case {
        const char* Text;
        const char* Section;
        const char* Key;
    } cases[] = {
        {"[playlist]\r\nFile1=a.mp3\r\n", "playlist", "File1"},
        {"[PlayList]\r\nfile1=x\r\n", "playlist", "FILE1"},
        {"  [ s ]  \r\n  key  =  two  words \t\r\n", "s", "key"},
        {"[s]\r\nk=\"quoted \"\r\n", "s", "k"},
        {"[s]\r\nk='single'\r\n", "s", "k"},
        {"[s]\r\nk=\"open'\r\n", "s", "k"},
        {"[s]\r\nk=a=b\r\n", "s", "k"},
        {"[s]\r\nk=\r\n", "s", "k"},
        {"[s]\r\nk=1\r\nk=2\r\n", "s", "k"},
        {"k=1\r\n[s]\r\n", "s", "k"},
        {"[a]\r\nk=1\r\n[b]\r\nj=2\r\n", "b", "k"},
        {"[s]\nk=lf only\n", "s", "k"},
    };
    pvltest::TTempDir dir;
    int n = 0;
    for (const Case& c : cases) {
        const std::string name = dir.File("case" + std::to_string(n++) + ".ini");
        pvltest::WriteAll(name, c.Text);
        char platform[256] = {};
        GetPrivateProfileStringA(c.Section, c.Key, "<none>", platform, sizeof platform, name.c_str());
        EXPECT_EQ(TMemIniFile(name).ReadString(c.Section, c.Key, "<none>"), platform) << c.Text;
    }
}
