#pragma once
// Drives the real Parvolux.exe under Wine: its own install folder and registry state, the
// process, its windows and its dialogs.
#include "framework/WinHandles.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WineGraph.h"

#include <functional>
#include <string>
#include <vector>

namespace pvltest {

// The player's program file, as a Windows path.
std::string PlayerExe();

inline constexpr char kVideoCaption[] = "Parvolux VideoWindow";
// The plain Video Renderer's device name.
inline constexpr char kVideoRenderer[] =
    "@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}\\{70E102B0-5556-11CE-97C0-00AA0055595A}";

// An install folder ("Data" with the file-types file, "MediaID") named by the machine-wide
// "InstallPath", an empty per-user settings key, and the installed DirectX version; all put
// back as they were at the end.
class TPlayerInstall {
public:
    TPlayerInstall();
    ~TPlayerInstall();
    const std::string& Folder() const { return FDir.Path(); }
    std::string DataFile(const std::string& name) const { return FDir.Path() + "Data\\" + name; }
    // A fixture copied into the install folder under a name of the test's own.
    std::string Media(const char* fixture, const std::string& name) const;
    void SetDirectXVersion(const char* version);  // none deletes the value
    void SetInstallPath(const std::string& path); // empty deletes it
    // Marks the settings as present, so no first-run page shows.
    void MarkNotFirstRun();
    // Settings of an earlier run that chose the plain Video Renderer.
    void ChoosePlainVideoRenderer();
    // Clips of equal streams and length are one movie to the player's memory: each starts
    // from the beginning instead of asking.
    void StartFromTheBeginning();
    static void ClearUserSettings();

private:
    TTempDir FDir;
    std::string FSavedDirectX;
    bool FHadDirectX = false;
};

class TPlayerProcess {
public:
    TPlayerProcess() = default;
    ~TPlayerProcess();  // ends a player the test left running
    TPlayerProcess(const TPlayerProcess&) = delete;
    TPlayerProcess& operator=(const TPlayerProcess&) = delete;

    // Starts Parvolux.exe with the arguments appended to its quoted path.
    void Start(const std::string& arguments = {});
    DWORD Id() const { return FId; }
    bool Running() const;
    // Waits for the process to end, pumping this thread's messages; its exit code, or -1 on time-out.
    int WaitExit(DWORD timeoutMs);

    // Top-level windows of the process.
    std::vector<HWND> Windows() const;
    // The first top-level window of the class (and caption, when given) that appears in time.
    HWND WaitForWindow(const std::string& className, const std::string& caption, DWORD timeoutMs) const;
    HWND WaitForMainWindow(DWORD timeoutMs = 20000) const;
    // A dialog's button by its caption, pressed.
    static bool PressButton(HWND dialog, const std::string& caption);
    // The text of the dialog's visible memo (the system-check page shown).
    static std::string VisibleMemoText(HWND dialog);
    static bool ChildVisible(HWND dialog, const std::string& className, const std::string& text);
    // The first-run page ("Info...") of a first start, shown in time and closed by its "Ok".
    bool AcceptFirstRunPage(DWORD timeoutMs = 20000) const;
    // A first start shows the settings dialog after the first-run page: waits for it and
    // presses its "Ok"; the dialog, or none when it did not come.
    HWND AcceptFirstRunSettings(DWORD timeoutMs = 20000) const;
    // Closes the main window like its close box and waits for the process to end.
    int Close(DWORD timeoutMs = 20000);
    // The skinned popup menu window that shows, or none within the time.
    HWND WaitForPopupMenu(DWORD timeoutMs = 5000) const;
    // Drops the main menu from the face's menu button, the pointer moved off where it shows;
    // its menu window, or none.
    HWND OpenMainMenu(HWND main) const;
    // Asks for the video window's context menu at the window's centre; its menu window, or none.
    HWND OpenVideoMenu(HWND video) const;
    // Closes an open popup menu as cancelled; true when its window has hidden.
    static bool CloseMenu(HWND menu);
    // How many of the player's menu windows show.
    size_t ShownMenus() const;
    // The menu window besides `menu` that shows (its open submenu), or none within the time.
    HWND WaitForSubmenu(HWND menu, DWORD timeoutMs = 5000) const;
    // Keys pressed in an open menu (the deepest open submenu takes them); true when then Shown
    // menu windows show.
    bool MenuKeys(HWND menu, const std::vector<WPARAM>& keys, size_t shown) const;

private:
    TKernelHandle FProcess;
    DWORD FId = 0;
};

std::string WindowText(HWND wnd);
// The child of a window at a client point, hidden and disabled ones too; none at the window itself.
HWND ChildAt(HWND parent, int x, int y);
// A left click's messages at a client point of the window.
void Click(HWND wnd, int x = 2, int y = 2);
std::string WindowClass(HWND wnd);
// The texts of a window's children, at every depth.
std::vector<std::string> ChildTexts(HWND parent);
// A window's children at every depth that match, in the order the system lists them.
std::vector<HWND> Children(HWND parent, std::function<bool(HWND)> match);
// The video window's time label, "hh:mm:ss"; empty when there is none.
std::string VideoTimeText(HWND video);
// A picture of the whole screen as a JPEG file beside the test program; the file's path.
std::string SaveScreenshot(const std::string& name);

}  // namespace pvltest
