#include "tests/ui/PlayerHarness.h"
#include "tests/ui/ScreenCapture.h"

#include "ui/SettingsModel.h"

#include "framework/Registry.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace pvltest {

std::string PlayerExe()
{
    std::string path = "Z:" PVL_PLAYER_EXE;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// ---- install folder and registry ----

TPlayerInstall::TPlayerInstall()
{
    ForceDirectories(FDir.Path() + "Data");
    ForceDirectories(FDir.Path() + "MediaID");
    const std::vector<uint8_t> types = ReadAll(SourcePath("Data/filetypes.cfg"));
    if (types.empty())
        throw std::runtime_error("Data/filetypes.cfg not found");
    WriteAll(DataFile("filetypes.cfg"), types);
    SetInstallPath(FDir.Path());
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    if (reg.OpenKeyReadOnly("\\Software\\Microsoft\\DirectX") && reg.ValueExists("Version")) {
        FHadDirectX = true;
        FSavedDirectX = reg.ReadString("Version");
    }
    SetDirectXVersion("4.09.00.0904");
    ClearUserSettings();
}

TPlayerInstall::~TPlayerInstall()
{
    ClearUserSettings();
    SetInstallPath({});
    SetDirectXVersion(FHadDirectX ? FSavedDirectX.c_str() : nullptr);
}

void TPlayerInstall::SetDirectXVersion(const char* version)
{
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!reg.OpenKey("\\Software\\Microsoft\\DirectX", true))
        throw std::runtime_error("cannot open the DirectX key");
    if (version)
        reg.WriteString("Version", version);
    else
        reg.DeleteValue("Version");
}

void TPlayerInstall::SetInstallPath(const std::string& path)
{
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    if (path.empty()) {
        reg.DeleteKey(Format("\\Software\\%s", kMakerName));
        return;
    }
    if (!reg.OpenKey(SettingsKeyPath(""), true))
        throw std::runtime_error("cannot open the install key");
    reg.WriteString("InstallPath", path);
}

std::string TPlayerInstall::Media(const char* fixture, const std::string& name) const
{
    const std::string source = FixturePath(fixture);
    EXPECT_FALSE(source.empty()) << fixture;
    const std::string target = Folder() + name;
    EXPECT_TRUE(CopyFileA(source.c_str(), target.c_str(), FALSE)) << target;
    return target;
}

void TPlayerInstall::MarkNotFirstRun()
{
    TRegistry reg;
    reg.OpenKey(SettingsKeyPath("General"), true);
}

void TPlayerInstall::ChoosePlainVideoRenderer()
{
    MarkNotFirstRun();
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(SettingsKeyPath("Advanced Video"), true));
    reg.WriteString("PerferedVideoRender0", kVideoRenderer);
}

void TPlayerInstall::StartFromTheBeginning()
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(SettingsKeyPath("General"), true));
    reg.WriteInteger("ResumeMode", 1);
}

void TPlayerInstall::ClearUserSettings()
{
    TRegistry reg;
    reg.DeleteKey(Format("\\Software\\%s\\%s", kMakerName, kProductName));
}

// ---- process ----

TPlayerProcess::~TPlayerProcess()
{
    if (Running()) {
        TerminateProcess(FProcess.Get(), 99);
        WaitForSingleObject(FProcess.Get(), 5000);
    }
}

void TPlayerProcess::Start(const std::string& arguments)
{
    std::string commandLine = "\"" + PlayerExe() + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        throw std::runtime_error("cannot start " + PlayerExe());
    CloseHandle(info.hThread);
    FProcess.Reset(info.hProcess);
    FId = info.dwProcessId;
}

bool TPlayerProcess::Running() const
{
    return FProcess && WaitForSingleObject(FProcess.Get(), 0) == WAIT_TIMEOUT;
}

int TPlayerProcess::WaitExit(DWORD timeoutMs)
{
    if (!PumpUntil([this] { return !Running(); }, timeoutMs))
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(FProcess.Get(), &code);
    return static_cast<int>(code);
}

namespace {
struct TProcessWindows {
    DWORD Id;
    std::vector<HWND> Found;
};

BOOL CALLBACK AddProcessWindow(HWND wnd, LPARAM data)
{
    auto* s = reinterpret_cast<TProcessWindows*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    if (owner == s->Id)
        s->Found.push_back(wnd);
    return TRUE;
}

struct TChildSearch {
    const std::function<bool(HWND)>* Match;
    HWND Found;
};

BOOL CALLBACK MatchChild(HWND wnd, LPARAM data)
{
    auto* s = reinterpret_cast<TChildSearch*>(data);
    if ((*s->Match)(wnd)) {
        s->Found = wnd;
        return FALSE;
    }
    return TRUE;
}
}

std::vector<HWND> TPlayerProcess::Windows() const
{
    TProcessWindows search{FId, {}};
    EnumWindows(AddProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

std::string WindowText(HWND wnd)
{
    char text[1024] = {};
    GetWindowTextA(wnd, text, sizeof text);
    return text;
}

std::string WindowClass(HWND wnd)
{
    char name[256] = {};
    GetClassNameA(wnd, name, sizeof name);
    return name;
}

namespace {
BOOL CALLBACK CollectText(HWND child, LPARAM list)
{
    reinterpret_cast<std::vector<std::string>*>(list)->push_back(WindowText(child));
    return TRUE;
}
}  // namespace

namespace {
struct TFound {
    std::function<bool(HWND)> Match;
    std::vector<HWND> Windows;
};

BOOL CALLBACK CollectMatching(HWND wnd, LPARAM data)
{
    auto* found = reinterpret_cast<TFound*>(data);
    if (found->Match(wnd))
        found->Windows.push_back(wnd);
    return TRUE;
}
}  // namespace

std::vector<HWND> Children(HWND parent, std::function<bool(HWND)> match)
{
    TFound found{std::move(match), {}};
    EnumChildWindows(parent, CollectMatching, reinterpret_cast<LPARAM>(&found));
    return found.Windows;
}

std::vector<std::string> ChildTexts(HWND parent)
{
    std::vector<std::string> texts;
    EnumChildWindows(parent, CollectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

std::string VideoTimeText(HWND video)
{
    for (const std::string& text : ChildTexts(video))
        if (text.size() == 8 && text[2] == ':' && text[5] == ':')
            return text;
    return {};
}

HWND TPlayerProcess::WaitForWindow(const std::string& className, const std::string& caption, DWORD timeoutMs) const
{
    HWND found = nullptr;
    PumpUntil(
        [&] {
            for (const HWND wnd : Windows())
                if (IsWindowVisible(wnd) && WindowClass(wnd) == className && (caption.empty() || WindowText(wnd) == caption)) {
                    found = wnd;
                    return true;
                }
            return !Running();
        },
        timeoutMs);
    return found;
}

HWND TPlayerProcess::WaitForMainWindow(DWORD timeoutMs) const
{
    return WaitForWindow("QRV-604519-LT", "", timeoutMs);
}

namespace {
HWND FindChild(HWND dialog, const std::function<bool(HWND)>& match)
{
    TChildSearch search{&match, nullptr};
    EnumChildWindows(dialog, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}
}

bool TPlayerProcess::PressButton(HWND dialog, const std::string& caption)
{
    const HWND button = FindChild(dialog, [&](HWND wnd) {
        return SameText(WindowClass(wnd), "Button") && WindowText(wnd) == caption && IsWindowVisible(wnd);
    });
    if (!button)
        return false;
    // The button tells its parent it was clicked, as a mouse click would.
    PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    return true;
}

std::string TPlayerProcess::VisibleMemoText(HWND dialog)
{
    const HWND memo = FindChild(dialog, [](HWND wnd) { return SameText(WindowClass(wnd), "Edit") && IsWindowVisible(wnd); });
    if (!memo)
        return {};
    // An edit control keeps its text itself: another process has to ask for it.
    char text[2048] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutA(memo, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &length);
    return text;
}

bool TPlayerProcess::ChildVisible(HWND dialog, const std::string& className, const std::string& text)
{
    return FindChild(dialog, [&](HWND wnd) {
               return SameText(WindowClass(wnd), className) && WindowText(wnd) == text && IsWindowVisible(wnd);
           }) != nullptr;
}

bool TPlayerProcess::AcceptFirstRunPage(DWORD timeoutMs) const
{
    const HWND page = WaitForWindow("TPvlForm", "Info...", timeoutMs);
    return page && PressButton(page, "Ok");
}

HWND TPlayerProcess::AcceptFirstRunSettings(DWORD timeoutMs) const
{
    const HWND dialog = WaitForWindow("TPvlForm", "Settings", timeoutMs);
    if (!dialog || !PressButton(dialog, "Ok"))
        return nullptr;
    PumpUntil([&] { return !IsWindowVisible(dialog); }, 5000);
    return dialog;
}

int TPlayerProcess::Close(DWORD timeoutMs)
{
    for (const HWND wnd : Windows())
        if (WindowClass(wnd) == "QRV-604519-LT")
            PostMessageA(wnd, WM_CLOSE, 0, 0);
    return WaitExit(timeoutMs);
}

HWND TPlayerProcess::WaitForPopupMenu(DWORD timeoutMs) const
{
    return WaitForWindow("TPopupMenu2000Form", {}, timeoutMs);
}

HWND TPlayerProcess::OpenVideoMenu(HWND video) const
{
    RECT r{};
    GetWindowRect(video, &r);
    PostMessageA(video, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(video), MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    return WaitForPopupMenu();
}

bool TPlayerProcess::CloseMenu(HWND menu)
{
    PostMessageA(menu, WM_CLOSE, 0, 0);
    return PumpUntil([&] { return !IsWindowVisible(menu); }, 5000);
}

HWND TPlayerProcess::OpenMainMenu(HWND main) const
{
    // The caption strip at the face's top left, its menu button at the strip's.
    const HWND strip = ChildAt(main, 5, 5);
    const HWND button = strip ? ChildAt(strip, 4, 4) : nullptr;
    if (!button)
        return nullptr;
    // A pointer resting where the menu drops would select a row under it.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
    Click(button);
    return WaitForPopupMenu();
}

size_t TPlayerProcess::ShownMenus() const
{
    size_t shown = 0;
    for (const HWND wnd : Windows())
        if (IsWindowVisible(wnd) && WindowClass(wnd) == "TPopupMenu2000Form")
            ++shown;
    return shown;
}

HWND TPlayerProcess::WaitForSubmenu(HWND menu, DWORD timeoutMs) const
{
    HWND submenu = nullptr;
    PumpUntil(
        [&] {
            for (const HWND wnd : Windows())
                if (wnd != menu && IsWindowVisible(wnd) && WindowClass(wnd) == "TPopupMenu2000Form")
                    submenu = wnd;
            return submenu != nullptr;
        },
        timeoutMs);
    return submenu;
}

bool TPlayerProcess::MenuKeys(HWND menu, const std::vector<WPARAM>& keys, size_t shown) const
{
    for (const WPARAM key : keys)
        PostMessageA(menu, WM_KEYDOWN, key, 0);
    return PumpUntil([&] { return ShownMenus() == shown; }, 5000);
}

HWND ChildAt(HWND parent, int x, int y)
{
    const HWND child = ChildWindowFromPointEx(parent, POINT{x, y}, CWP_ALL);
    return child == parent ? nullptr : child;
}

void Click(HWND wnd, int x, int y)
{
    PostMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

std::string SaveScreenshot(const std::string& name)
{
    PumpUntil([] { return false; }, 700);  // the windows finish painting
    const TRect screen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return SaveJpeg(CaptureScreen(screen), screen, name);
}

}  // namespace pvltest
