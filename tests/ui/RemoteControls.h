#pragma once
// Reads and drives the common controls of another process, and reads the player's skinned menu
// windows: the list view, the tree view, the status bar and the menus keep what they show in
// their own process, so the messages that carry a pointer are given memory there.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

namespace pvltest {

// Memory in the process that owns a window, freed at the end.
class TRemoteMemory {
public:
    TRemoteMemory(HWND owner, size_t size);
    ~TRemoteMemory();
    TRemoteMemory(const TRemoteMemory&) = delete;
    TRemoteMemory& operator=(const TRemoteMemory&) = delete;
    char* At(size_t offset = 0) const { return static_cast<char*>(FAddress) + offset; }
    void Write(const void* data, size_t size, size_t offset = 0);
    void Read(void* data, size_t size, size_t offset = 0) const;

private:
    HANDLE FProcess = nullptr;
    void* FAddress = nullptr;
};

// A row of a report list view: its caption, its second column, its icon and selection.
struct TRemoteRow {
    std::string Caption;
    std::string Time;
    int Image = -1;
    bool Selected = false;
};
std::vector<TRemoteRow> ListViewRows(HWND list);
// Selects exactly these rows (the last one focused).
void ListViewSelect(HWND list, const std::vector<int>& rows);
// A row's bounds in the list's client coordinates.
RECT ListViewRowRect(HWND list, int row);

std::string StatusBarText(HWND bar, int panel);
// A drop-down list's item texts.
std::vector<std::string> ComboTexts(HWND combo);

std::string TreeItemText(HWND tree, HTREEITEM item);
// Opens the tree from its root along the display names of the path's folders, as the shell
// names them (the computer item, the drive, each folder), and selects the deepest node
// reached; that node's depth below the root (0: the root only), -1 without a root.
int TreeSelectPath(HWND tree, const std::string& path);
// The root's child of the display name, selected; false when there is none.
bool TreeSelectRootChild(HWND tree, const std::string& name);
// The display name the shell gives a path's folder, and the names of the folders from the
// desktop down to it (the desktop not included).
std::vector<std::string> ShellNamesDownTo(const std::string& path);

// The rows of a shown skinned menu window, on the screen, as the window tells them.
std::vector<RECT> MenuRows(HWND menu);
// The skinned menu window's selected item as an address in its process, 0 for none: it tells
// whether and when the selection moves, not where to.
uintptr_t MenuSelectedItem(HWND menu);

}  // namespace pvltest
