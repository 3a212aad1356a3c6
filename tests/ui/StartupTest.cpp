// The start-up of the real program: one instance, the hand-over of a second start, the
// system check's pages.
#include "tests/ui/PlayerHarness.h"

#include "ui/SettingsModel.h"

#include "framework/Registry.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

using namespace pvltest;

namespace {
const char* const kMutexName = "{33564911-15C6-1D3C-FB92-000061556169}";
const char* const kPageTooOld = "Parvolux was not able to run on your system";
const char* const kPageAdvice = "You have an earlier version of DirectX";
const char* const kPageMissing = "Parvolux are not able to run on your system";
const char* const kPageFirstRun = "This is the first time you run this program.";

std::string ReadText(const std::string& fileName)
{
    const std::vector<uint8_t> bytes = ReadAll(fileName);
    return std::string(bytes.begin(), bytes.end());
}

bool MutexExists()
{
    TKernelHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, kMutexName));
    return static_cast<bool>(mutex);
}

// A window of the player's class in this process, standing in for a running player (or for
// another program that happens to use the class name); it holds the player's mutex.
class TStandInWindow {
public:
    explicit TStandInWindow(LRESULT probeAnswer) : FAnswer(probeAnswer)
    {
        FMutex.Reset(CreateMutexA(nullptr, FALSE, kMutexName));
        WNDCLASSA cls{};
        cls.lpfnWndProc = Proc;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = "QRV-604519-LT";
        RegisterClassA(&cls);
        FWindow.Reset(CreateWindowExA(0, cls.lpszClassName, "stand-in", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                      cls.hInstance, nullptr));
        SetWindowLongPtrA(FWindow.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~TStandInWindow()
    {
        FWindow.Reset();
        UnregisterClassA("QRV-604519-LT", GetModuleHandleA(nullptr));
    }
    std::vector<UINT> Received;
    std::string HandedOver;
    ATOM Atom = 0;

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<TStandInWindow*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
        if (self && msg >= 0x806F && msg <= 0x8071) {
            self->Received.push_back(msg);
            if (msg == 0x8071) {
                char text[260] = {};
                self->Atom = LOWORD(wParam);
                GlobalGetAtomNameA(self->Atom, text, sizeof text);
                self->HandedOver = text;
            }
            return msg == 0x806F ? self->FAnswer : 0;
        }
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
    LRESULT FAnswer;
    TKernelHandle FMutex;
    TWindowHandle FWindow;
};

class Startup : public ::testing::Test {
protected:
    TPlayerInstall Install;
};
}

TEST_F(Startup, FirstInstanceHoldsTheMutexAndAnswersByItsWindowClass)
{
    Install.MarkNotFirstRun();
    TPlayerProcess player;
    player.Start();
    const HWND main = player.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(MutexExists());
    EXPECT_EQ(SendMessageA(main, 0x806F, 0, 0), 0xA5345);
    EXPECT_TRUE(WindowText(main).starts_with("Parvolux v1.0.0.")) << WindowText(main);
    SaveScreenshot("player.jpg");
    EXPECT_EQ(player.Close(), 0);
    EXPECT_FALSE(MutexExists());
}

TEST_F(Startup, SecondStartRestoresTheFirstAndHandsOverItsSwitches)
{
    Install.MarkNotFirstRun();
    TPlayerProcess first;
    first.Start();
    const HWND main = first.WaitForMainWindow();
    ASSERT_NE(main, nullptr);

    ShowWindow(main, SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(main) != FALSE; }, 5000));
    TPlayerProcess second;
    second.Start();
    EXPECT_EQ(second.WaitExit(10000), 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsIconic(main); }, 5000)) << "a second start restores the first";
    EXPECT_TRUE(first.Running());

    // A hand-over as a second start sends it: "/M" minimises the running player.
    const ATOM atom = GlobalAddAtomA("\"C:\\Parvolux\\Parvolux.exe\" /m");
    EXPECT_EQ(SendMessageA(main, 0x8071, atom, 0), 0);
    GlobalDeleteAtom(atom);
    EXPECT_TRUE(IsIconic(main));
    EXPECT_EQ(first.Close(), 0);
}

namespace {
// A second start meeting a window of the player's class in this process.
struct THandOverCase {
    const char* Name;
    LRESULT ProbeAnswer;            // the running player's answer to the probe; 0: another program
    std::string Arguments;
    std::vector<UINT> Received;     // in order of arrival, except that the restore and the command line may swap
    std::string HandedOver;         // after the quoted program path; empty: nothing handed over
    bool Reports;                   // a message box, closed with OK, before the second start ends
};

const THandOverCase kHandOverCases[] = {
    {"WholeCommandLine", 0xA5345, "\"C:\\My Movies\\a b.avi\" /ADD", {0x806F, 0x8070, 0x8071}, " \"C:\\My Movies\\a b.avi\" /ADD", false},
    {"WithoutArgumentsOnlyRestores", 0xA5345, "", {0x806F, 0x8070}, "", false},
    {"WindowThatDoesNotAnswerIsNotTaken", 0, "movie.avi", {0x806F}, "", false},
    {"TooLongForAnAtomIsReported", 0xA5345, std::string(300, 'x') + ".avi", {0x806F, 0x8070}, "", true},
};

class SecondStart : public ::testing::TestWithParam<THandOverCase> {
protected:
    TPlayerInstall Install;
};
}

TEST_P(SecondStart, HandsOverToTheRunningPlayer)
{
    const THandOverCase& c = GetParam();
    TStandInWindow running(c.ProbeAnswer);
    TPlayerProcess second;
    second.Start(c.Arguments);
    if (c.Reports) {
        const HWND box = second.WaitForWindow("#32770", "Parvolux", 10000);
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(TPlayerProcess::PressButton(box, "OK"));
    }
    EXPECT_EQ(second.WaitExit(10000), 0);
    PumpUntil([] { return false; }, 200);  // the posted restore
    ASSERT_EQ(running.Received.size(), c.Received.size());
    EXPECT_EQ(running.Received[0], 0x806Fu) << "the probe comes first";
    std::vector<UINT> received = running.Received;
    std::sort(received.begin(), received.end());
    EXPECT_EQ(received, c.Received);
    if (c.HandedOver.empty()) {
        EXPECT_EQ(running.Atom, 0);
    } else {
        EXPECT_EQ(running.HandedOver, "\"" + PlayerExe() + "\"" + c.HandedOver);
        char left[260] = {};
        EXPECT_EQ(GlobalGetAtomNameA(running.Atom, left, sizeof left), 0u) << "the sender deletes its atom";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SecondStart, ::testing::ValuesIn(kHandOverCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(Startup, HungWindowOfTheClassDoesNotHangASecondStart)
{
    TKernelHandle mutex(CreateMutexA(nullptr, FALSE, kMutexName));
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    TKernelHandle readyOwner(ready);
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    TKernelHandle doneOwner(done);
    std::thread hung([ready, done] {
        WNDCLASSA cls{};
        cls.lpfnWndProc = DefWindowProcA;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = "QRV-604519-LT";
        RegisterClassA(&cls);
        const HWND wnd = CreateWindowExA(0, cls.lpszClassName, "hung", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                         cls.hInstance, nullptr);
        SetEvent(ready);
        WaitForSingleObject(done, 60000);  // answers nothing meanwhile
        DestroyWindow(wnd);
        UnregisterClassA(cls.lpszClassName, cls.hInstance);
    });
    WaitForSingleObject(ready, 5000);
    TPlayerProcess second;
    second.Start("movie.avi");
    // It gives up on the hung window: it ends long before the window would answer, however
    // slowly a loaded machine starts it.
    EXPECT_EQ(second.WaitExit(30000), 0);
    SetEvent(done);
    hung.join();
}

TEST_F(Startup, CommandLinesFillThePlayListThatTheCloseSaves)
{
    Install.MarkNotFirstRun();
    const std::string first = Install.Folder() + "first clip.avi";
    const std::string second = Install.Folder() + "second.mp3";
    WriteAll(first, "x");
    WriteAll(second, "x");
    const std::string saved = Install.DataFile("LastPlayed.pls");

    TPlayerProcess player;
    player.Start("\"" + first + "\"");
    // A file of one byte does not open: its render-result page comes first.
    const HWND page = player.WaitForWindow("TPvlForm", "Error...", 20000);
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(TPlayerProcess::PressButton(page, "Ok"));
    ASSERT_NE(player.WaitForMainWindow(), nullptr);
    ASSERT_EQ(player.Close(), 0);
    const std::string afterFirst = ReadText(saved);
    EXPECT_NE(afterFirst.find(first), std::string::npos) << afterFirst;

    // Without names the last play list comes back; a second start appends to it.
    TPlayerProcess again;
    again.Start();
    ASSERT_NE(again.WaitForMainWindow(), nullptr);
    TPlayerProcess adding;
    adding.Start("/ADD \"" + second + "\"");
    // The hand-over plays the list: its first entry does not open and shows its page.
    const HWND addedPage = again.WaitForWindow("TPvlForm", "Error...", 20000);
    ASSERT_NE(addedPage, nullptr);
    ASSERT_TRUE(TPlayerProcess::PressButton(addedPage, "Ok"));
    EXPECT_EQ(adding.WaitExit(10000), 0);
    ASSERT_EQ(again.Close(), 0);
    const std::string afterSecond = ReadText(saved);
    const size_t at = afterSecond.find(first);
    ASSERT_NE(at, std::string::npos) << afterSecond;
    EXPECT_NE(afterSecond.find(second, at), std::string::npos) << afterSecond;
}

namespace {
struct TCheckCase {
    const char* Name;
    const char* DirectX;                   // none: no "Version" value
    int Install;                           // 0 complete, 1 no install path, 2 no file-types file
    bool FirstRun;
    bool NoDXWarning;
    std::vector<const char*> Pages;        // the pages in the order they show
    bool Starts;
};

const TCheckCase kCheckCases[] = {
    {"TooOld", "4.07.00.0700", 0, false, false, {kPageTooOld}, false},
    {"OlderAdvised", "4.07.00.0716", 0, false, false, {kPageAdvice}, true},
    {"OlderAdviceSwitchedOff", "4.07.00.0716", 0, false, true, {}, true},
    {"Current", "4.09.00.0904", 0, false, false, {}, true},
    {"MalformedVersion", "4.9", 0, false, false, {kPageTooOld}, false},
    {"NoVersion", nullptr, 0, false, false, {kPageTooOld}, false},
    {"NoInstallPath", "4.09.00.0904", 1, false, false, {kPageMissing}, false},
    {"NoFileTypes", "4.09.00.0904", 2, false, false, {kPageMissing}, false},
    {"FirstRun", "4.09.00.0904", 0, true, false, {kPageFirstRun}, true},
    {"FirstRunAfterAdvice", "4.07.00.0716", 0, true, false, {kPageAdvice, kPageFirstRun}, true},
    {"FirstRunAfterError", "4.07.00.0700", 0, true, false, {kPageTooOld, kPageFirstRun}, false},
};

class SystemCheck : public ::testing::TestWithParam<TCheckCase> {
protected:
    TPlayerInstall Install;
};
}

TEST_P(SystemCheck, ShowsThePagesOfWhatItFinds)
{
    const TCheckCase& c = GetParam();
    Install.SetDirectXVersion(c.DirectX);
    if (c.Install == 1)
        Install.SetInstallPath({});
    if (c.Install == 2)
        FileDelete(Install.DataFile("filetypes.cfg"));
    if (!c.FirstRun) {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(SettingsKeyPath("General"), true));
        reg.WriteInteger("NoDXWarning", c.NoDXWarning ? 1 : 0);
    }
    TPlayerProcess player;
    player.Start();
    for (const char* page : c.Pages) {
        const HWND dialog = player.WaitForWindow("TPvlForm", page == kPageFirstRun || page == kPageAdvice ? "Info..." : "Error...", 20000);
        ASSERT_NE(dialog, nullptr) << page;
        EXPECT_TRUE(TPlayerProcess::VisibleMemoText(dialog).starts_with(page)) << "[" << TPlayerProcess::VisibleMemoText(dialog) << "]";
        // The check box comes with the advice page and stays for a first-run page after it.
        EXPECT_EQ(TPlayerProcess::ChildVisible(dialog, "Button", "Do not show this message again."),
                  c.Pages.front() == kPageAdvice);
        const char* button = page == kPageTooOld || page == kPageMissing ? "Close" : "Ok";
        if (c.FirstRun && page == c.Pages.front())
            SaveScreenshot("splash.jpg");  // the splash stays up behind the check's pages
        ASSERT_TRUE(TPlayerProcess::PressButton(dialog, button));
        PumpUntil([&] { return !IsWindowVisible(dialog); }, 5000);
    }
    if (c.Starts) {
        if (c.FirstRun)
            ASSERT_NE(player.AcceptFirstRunSettings(), nullptr);
        ASSERT_NE(player.WaitForMainWindow(), nullptr);
        TRegistry reg;
        reg.DeleteKey(SettingsKeyPath("General"));  // only the close may bring it back
        ASSERT_FALSE(reg.KeyExists(SettingsKeyPath("General")));
        EXPECT_EQ(player.Close(), 0);
        ASSERT_TRUE(reg.OpenKey(SettingsKeyPath("General"), false)) << "the settings are written at the close";
        EXPECT_TRUE(reg.ValueExists("ResumeMode"));
    } else {
        EXPECT_EQ(player.WaitExit(10000), 0);
        EXPECT_FALSE(MutexExists());
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, SystemCheck, ::testing::ValuesIn(kCheckCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(Startup, DirectXAdviceCanBeSwitchedOffForTheNextStart)
{
    Install.SetDirectXVersion("4.07.00.0716");
    Install.MarkNotFirstRun();
    TPlayerProcess first;
    first.Start();
    const HWND dialog = first.WaitForWindow("TPvlForm", "Info...", 20000);
    ASSERT_NE(dialog, nullptr);
    HWND box = FindWindowExA(dialog, nullptr, "Button", "Do not show this message again.");
    ASSERT_NE(box, nullptr);
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    ASSERT_TRUE(TPlayerProcess::PressButton(dialog, "Ok"));
    ASSERT_NE(first.WaitForMainWindow(), nullptr);
    EXPECT_EQ(first.Close(), 0);

    TPlayerProcess second;
    second.Start();
    ASSERT_NE(second.WaitForMainWindow(), nullptr);
    for (const HWND wnd : second.Windows())
        EXPECT_FALSE(IsWindowVisible(wnd) && WindowText(wnd) == "Info...");
    EXPECT_EQ(second.Close(), 0);
}
