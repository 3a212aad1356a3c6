#include "engine/GraphBuilderCallback.h"
#include "engine/HistoryStore.h"
#include "engine/LocaleNames.h"
#include "engine/OutlinedText.h"
#include "engine/ShellAssociation.h"

#include "framework/Registry.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WineGraph.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace pvltest;

namespace {

std::vector<std::string> StoredValues(const std::string& key)
{
    TRegistry registry;
    std::vector<std::string> values;
    if (!registry.OpenKeyReadOnly(key))
        return values;
    TStringList names;
    registry.GetValueNames(names);
    for (int i = 0; i < names.Count(); ++i)
        values.push_back(names[i] + "=" + registry.ReadString(names[i]));
    std::sort(values.begin(), values.end());
    return values;
}

class HistoryRegistry : public ::testing::Test {
protected:
    void TearDown() override
    {
        TRegistry registry;
        registry.DeleteKey(HistoryKey(hkFiles));
        registry.DeleteKey(HistoryKey(hkURLs));
    }
};

TEST_F(HistoryRegistry, KeysAndValueNames)
{
    EXPECT_EQ(HistoryKey(hkFiles), "\\Software\\Kestrel Forge\\Parvolux\\History\\Files");
    EXPECT_EQ(HistoryKey(hkURLs), "\\Software\\Kestrel Forge\\Parvolux\\History\\URL");
    EXPECT_EQ(HistoryKey(hkPlaylists), "");
    EXPECT_EQ(HistoryValuePrefix(hkFiles), "File");
    EXPECT_EQ(HistoryValuePrefix(hkURLs), "URL");
}

TEST_F(HistoryRegistry, StoredNewestFirstWithoutGapsOverALongerList)
{
    const std::string key = HistoryKey(hkFiles);
    TStringList five;
    for (const char* name : {"a.avi", "b.avi", "c.avi", "d.avi", "e.avi"})
        AddHistoryEntry(five, 5, name);
    StoreHistory(key, "File", five, 5);
    EXPECT_EQ(StoredValues(key),
              (std::vector<std::string>{"File0=e.avi", "File1=d.avi", "File2=c.avi", "File3=b.avi", "File4=a.avi"}));

    TStringList two;
    AddHistoryEntry(two, 5, "x.mp3");
    AddHistoryEntry(two, 5, "y.mp3");
    StoreHistory(key, "File", two, 5);
    EXPECT_EQ(StoredValues(key), (std::vector<std::string>{"File0=y.mp3", "File1=x.mp3"}));
}

TEST_F(HistoryRegistry, OnlyTheMaximumIsStoredAndOtherValuesStay)
{
    const std::string key = HistoryKey(hkURLs);
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(key, true));
        registry.WriteString("Other", "kept");
    }
    TStringList list;
    for (const char* name : {"http://a/", "http://b/", "http://c/", "http://d/"})
        AddHistoryEntry(list, 4, name);
    StoreHistory(key, "URL", list, 2);  // the setting shrank while the list was full
    EXPECT_EQ(StoredValues(key), (std::vector<std::string>{"Other=kept", "URL0=http://d/", "URL1=http://c/"}));
}

TEST(HistoryLocale, DuplicatesIgnoreCaseByTheUserLocale)
{
    if (GetACP() != 1252)
        GTEST_SKIP() << "needs the Western code page";
    TStringList list;
    AddHistoryEntry(list, 5, "C:\\\xC9t\xE9.avi");  // "Été" in Windows-1252
    AddHistoryEntry(list, 5, "other.avi");
    AddHistoryEntry(list, 5, "c:\\\xE9T\xC9.AVI");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0], "C:\\\xC9t\xE9.avi");
}

class ShellAssociationTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        TRegistry registry;
        registry.DeleteKey(FileExtKey(".pvltest"));
    }
};

TEST_F(ShellAssociationTest, ApplicationValueIsWrittenAndComparedExactly)
{
    EXPECT_FALSE(IsFileExtApplication(".pvltest", "Parvolux.exe"));
    EXPECT_FALSE(TRegistry().KeyExists(FileExtKey(".pvltest")));  // asking makes no key

    SetFileExtApplication(".pvltest", "Parvolux.exe");
    char value[MAX_PATH] = {};
    DWORD size = sizeof value;
    ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.pvltest",
                           "Application", RRF_RT_REG_SZ, nullptr, value, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(value, "Parvolux.exe");

    EXPECT_TRUE(IsFileExtApplication(".pvltest", "Parvolux.exe"));
    EXPECT_FALSE(IsFileExtApplication(".pvltest", "parvolux.exe"));
    EXPECT_FALSE(IsFileExtApplication(".pvltest", "Other.exe"));
    EXPECT_FALSE(IsFileExtApplication(".pvlnone", "Parvolux.exe"));
}

namespace {
// What a top-level window of this process received as WM_SETTINGCHANGE.
struct TSettingChangeSeen {
    int Count = 0;
    WPARAM Flag = 0;
};
TSettingChangeSeen SettingChangeSeen;

LRESULT CALLBACK SettingChangeWindowProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTINGCHANGE) {
        ++SettingChangeSeen.Count;
        SettingChangeSeen.Flag = wParam;
    }
    return DefWindowProcA(wnd, message, wParam, lParam);
}
}  // namespace

TEST(SystemServices, SettingChangeBroadcastReachesTopLevelWindows)
{
    WNDCLASSA cls{};
    cls.lpfnWndProc = SettingChangeWindowProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "PvlSettingChangeProbe";
    RegisterClassA(&cls);
    const HWND wnd = CreateWindowExA(0, cls.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                     cls.hInstance, nullptr);
    ASSERT_NE(wnd, nullptr);
    SettingChangeSeen = {};
    EXPECT_NE(BroadcastSettingChange(), 0);
    DestroyWindow(wnd);
    EXPECT_EQ(SettingChangeSeen.Count, 1);
    EXPECT_EQ(SettingChangeSeen.Flag, 42u);
}

TEST(SystemServices, AdministratorTestAgreesWithThePlatform)
{
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                         0, &administrators));
    BOOL member = FALSE;
    ASSERT_TRUE(CheckTokenMembership(nullptr, administrators, &member));
    FreeSid(administrators);
    EXPECT_EQ(IsUserAdmin(), member != FALSE);
}

TEST(SystemServices, LanguageNamesOfLocales)
{
    EXPECT_EQ(GetLocaleString(0x0409, LOCALE_SLANGUAGE), "English (United States)");
    EXPECT_EQ(GetLocaleString(0x0407, LOCALE_SLANGUAGE), "German (Germany)");
    EXPECT_EQ(GetLocaleString(0x0409, 0x7FFFFFF), "");  // no such information
}

// Colours of a 96 x 40 white picture after drawing into it.
struct TWhitePicture {
    TWhitePicture()
    {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 96, -40, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        Bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&Pixels), nullptr, 0));
        DC.Reset(CreateCompatibleDC(nullptr));
        Old = SelectObject(DC.Get(), Bitmap.Get());
        std::fill(Pixels, Pixels + 96 * 40, 0x00FFFFFFu);
    }
    ~TWhitePicture() { SelectObject(DC.Get(), Old); }
    int Count(uint32_t rgb)
    {
        GdiFlush();
        return int(std::count(Pixels, Pixels + 96 * 40, rgb));
    }
    TBitmapHandle Bitmap;
    TMemoryDC DC;
    HGDIOBJ Old = nullptr;
    uint32_t* Pixels = nullptr;
};

TEST(OutlinedText, OutlineSurroundsTheTextAndTheCanvasIsRestored)
{
    TFont font;
    font.SetName("Arial");
    font.SetHeight(-24);
    const uint32_t red = 0x00FF0000, black = 0x00000000;

    TWhitePicture plain;
    DrawOutlinedText(plain.DC.Get(), "HI", TRect(10, 5, 90, 35), 0, RGB(255, 0, 0), RGB(0, 0, 0), font);
    EXPECT_EQ(plain.Count(red), 0);
    const int textPixels = plain.Count(black);
    EXPECT_GT(textPixels, 0);

    TWhitePicture outlined;
    SetBkMode(outlined.DC.Get(), OPAQUE);
    SetBkColor(outlined.DC.Get(), RGB(0, 0, 255));
    SetTextColor(outlined.DC.Get(), RGB(1, 2, 3));
    DrawOutlinedText(outlined.DC.Get(), "HI", TRect(10, 5, 90, 35), 2, RGB(255, 0, 0), RGB(0, 0, 0), font);
    EXPECT_GT(outlined.Count(red), textPixels / 2);
    EXPECT_GT(outlined.Count(black), textPixels / 2);
    EXPECT_EQ(outlined.Count(0x000000FF), 0);  // no box behind the text
    EXPECT_EQ(GetBkMode(outlined.DC.Get()), OPAQUE);
    EXPECT_EQ(GetTextColor(outlined.DC.Get()), RGB(1, 2, 3));
}

TEST(GraphBuilderCallback, AcceptsEveryFilterAsTheGraphsSite)
{
    TComInit com;
    ComPtr<IAMGraphBuilderCallback> callback = TGraphBuilderCallback::Create();
    ASSERT_TRUE(callback);
    EXPECT_EQ(callback->SelectedFilter(nullptr), S_OK);
    EXPECT_EQ(callback->CreatedFilter(nullptr), S_OK);
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(callback.As(&unknown), S_OK);
    ComPtr<IBaseFilter> notAFilter;
    EXPECT_EQ(callback.As(&notAFilter), E_NOINTERFACE);

    const std::string file = FixturePath("tone.mp3");
    ASSERT_FALSE(file.empty());
    ComPtr<IGraphBuilder> graph = NewGraph();
    ComPtr<IObjectWithSite> site;
    ASSERT_EQ(graph.As(&site), S_OK);
    ASSERT_EQ(site->SetSite(callback.Get()), S_OK);
    EXPECT_TRUE(SUCCEEDED(graph->RenderFile(AnsiToWide(file).c_str(), nullptr)));
    // Wine's graph faults on SetSite(nullptr), so the site is left to go with the graph.
}

}  // namespace
