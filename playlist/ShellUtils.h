#pragma once
// Shell utilities the folder tree and the folder list share: the desktop folder, binding a
// list to its folder, names and icons of absolute lists, and the library texts with the
// fallbacks used where the platform has none.
#include <shlobj.h>
#include <wrl/client.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class IShellDropHost;
class TShellDropTarget;

Microsoft::WRL::ComPtr<IShellFolder> ShellDesktopFolder();
// The folder an absolute list names (the desktop for the empty list); none when it cannot bind.
Microsoft::WRL::ComPtr<IShellFolder> ShellBindFolder(PCIDLIST_ABSOLUTE List);
// A folder's name for one of its items; empty on failure.
std::string ShellDisplayNameOf(IShellFolder* Folder, PCUITEMID_CHILD Item, SHGDNF Flags);
// The small icon index in the system image list; Extra adds SHGFI_OPENICON.
int ShellSmallIconIndex(PCIDLIST_ABSOLUTE List, UINT Extra = 0);
HIMAGELIST ShellSmallImages();
// A text of a system library's string table, or Fallback where the library has none.
std::string ShellLibraryString(const char* Library, UINT Id, const char* Fallback);
// The path of an absolute list; empty when it has none.
std::string ShellPathOf(PCIDLIST_ABSOLUTE List);
// OLE on the calling (GUI) thread, once, before the first shell control.
void ShellEnsureOle();
// What a shell control needs before its first window: its common-control Classes (ICC_*)
// registered once, and OLE.
void ShellPrepareControl(DWORD Classes);
// A clipboard viewer's part of the chain: a change calls Changed, then every chain message goes on
// to the next viewer (a leaving viewer is taken out).
void ShellClipboardChain(UINT Msg, WPARAM WParam, LPARAM LParam, HWND& NextViewer, const std::function<void()>& Changed);
// A shell control window's ties to the system: its place in the clipboard viewers' chain and its
// registered drop target. Join when the window is made, Leave when it is destroyed.
struct TShellWindowLinks {
    HWND NextViewer = nullptr;
    bool InViewerChain = false;
    TShellDropTarget* DropTarget = nullptr;  // one reference of ours while registered

    void Join(HWND Wnd, IShellDropHost* Host);
    void Leave(HWND Wnd);
};
// An OLE drag of a shell data object with the effects its items' attributes allow (copy, move,
// link), while Button (1 left, 2 right) stays down.
void ShellDoDragDrop(IDataObject* Data, SFGAOF Attributes, int Button);
// A verb of the shell's context menu ("delete", "copy", "cut", "paste") on items of a folder;
// False when the folder gives no menu or the verb fails.
bool ShellInvokeVerb(IShellFolder* Folder, const std::vector<PCUITEMID_CHILD>& Items, const char* Verb, HWND Owner);
// The clipboard's "Shell IDList Array": the items as absolute lists and the folder's list;
// False when the clipboard holds none or a malformed block.
bool ShellReadClipboardIdLists(HWND Owner, std::vector<std::vector<uint8_t>>& Items, std::vector<uint8_t>& Folder);
// The desktop's parse of a path; none when it fails. The caller frees it.
PIDLIST_ABSOLUTE ShellParsePath(const std::string& Path);

// A special folder's list (CSIDL); none when the platform has none. The caller frees it.
PIDLIST_ABSOLUTE ShellSpecialFolderList(int Folder);
// The desktop's comparison (column 0), or the same path; two absent lists are equal.
bool ShellSameList(PCIDLIST_ABSOLUTE A, PCIDLIST_ABSOLUTE B);
bool ShellIsDesktop(PCIDLIST_ABSOLUTE List);
int ShellItemCount(PCUIDLIST_RELATIVE List);
// A is B or one of its ancestors.
bool ShellIsAncestor(PCIDLIST_ABSOLUTE A, PCIDLIST_ABSOLUTE B);
// The shell's attributes of an absolute list for the bits of Mask; 0 when the query fails.
SFGAOF ShellAttributes(PCIDLIST_ABSOLUTE List, SFGAOF Mask);
std::string ShellDisplayName(PCIDLIST_ABSOLUTE List);
// A file-system item whose path ends with a backslash.
bool ShellIsDriveRoot(PCIDLIST_ABSOLUTE List);
// It binds, and a file-system item's directory still exists.
bool ShellStillAFolder(PCIDLIST_ABSOLUTE List);
// The list without its last item. The caller frees it.
PIDLIST_ABSOLUTE ShellParentList(PCIDLIST_ABSOLUTE List);

// The hourglass for a scope.
class THourglass {
public:
    THourglass() : FOld(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~THourglass() { SetCursor(FOld); }

private:
    HCURSOR FOld;
};

// The busy flag for a scope; Entered is false when it was set already.
class TBusyScope {
public:
    explicit TBusyScope(bool& Busy) : FBusy(Busy), FEntered(!Busy) { FBusy = true; }
    ~TBusyScope()
    {
        if (FEntered)
            FBusy = false;
    }
    bool Entered() const { return FEntered; }

private:
    bool& FBusy;
    bool FEntered;
};

// One update bracket of a window's drawing.
class TNoRedraw {
public:
    explicit TNoRedraw(HWND Wnd) : FWnd(Wnd) { SendMessageA(FWnd, WM_SETREDRAW, FALSE, 0); }
    ~TNoRedraw()
    {
        SendMessageA(FWnd, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(FWnd, nullptr, TRUE);
    }

private:
    HWND FWnd;
};

