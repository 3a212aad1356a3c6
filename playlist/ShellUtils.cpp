#include "playlist/ShellUtils.h"

#include "playlist/ShellCore.h"
#include "playlist/ShellDrop.h"

#include "framework/Controls.h"
#include "framework/SysUtils.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

using Microsoft::WRL::ComPtr;

namespace {
const char* const kShellIdListFormat = "Shell IDList Array";
}  // namespace

ComPtr<IShellFolder> ShellDesktopFolder()
{
    ComPtr<IShellFolder> desktop;
    SHGetDesktopFolder(&desktop);
    return desktop;
}

ComPtr<IShellFolder> ShellBindFolder(PCIDLIST_ABSOLUTE List)
{
    ComPtr<IShellFolder> desktop = ShellDesktopFolder();
    if (!desktop || !List || List->mkid.cb == 0)
        return desktop;
    ComPtr<IShellFolder> folder;
    if (FAILED(desktop->BindToObject(List, nullptr, IID_PPV_ARGS(&folder))))
        return nullptr;
    return folder;
}

std::string ShellDisplayNameOf(IShellFolder* Folder, PCUITEMID_CHILD Item, SHGDNF Flags)
{
    STRRET name{};
    if (FAILED(Folder->GetDisplayNameOf(Item, Flags, &name)))
        return {};
    char text[MAX_PATH] = {};
    StrRetToBufA(&name, Item, text, sizeof text);
    return text;
}

int ShellSmallIconIndex(PCIDLIST_ABSOLUTE List, UINT Extra)
{
    SHFILEINFOA info{};
    SHGetFileInfoA(reinterpret_cast<LPCSTR>(List), 0, &info, sizeof info,
                   SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | Extra);
    return info.iIcon;
}

HIMAGELIST ShellSmallImages()
{
    // The system image list is shared: nobody here frees it.
    SHFILEINFOA info{};
    return reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

std::string ShellLibraryString(const char* Library, UINT Id, const char* Fallback)
{
    HMODULE module = GetModuleHandleA(Library);
    if (!module)
        module = LoadLibraryExA(Library, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    char text[201] = {};
    if (module && LoadStringA(module, Id, text, sizeof text) > 0)
        return text;
    return Fallback;
}

std::string ShellPathOf(PCIDLIST_ABSOLUTE List)
{
    char path[MAX_PATH] = {};
    if (!List || !SHGetPathFromIDListA(List, path))
        return {};
    return path;
}

void ShellEnsureOle()
{
    static const HRESULT initialised = OleInitialize(nullptr);
    (void)initialised;
}

bool ShellInvokeVerb(IShellFolder* Folder, const std::vector<PCUITEMID_CHILD>& Items, const char* Verb, HWND Owner)
{
    if (!Folder)
        return false;
    ComPtr<IContextMenu> menu;
    std::vector<PCUITEMID_CHILD> asked = Items;
    if (FAILED(Folder->GetUIObjectOf(Owner, static_cast<UINT>(asked.size()), asked.empty() ? nullptr : asked.data(),
                                     IID_IContextMenu, nullptr, &menu)))
        return false;
    // Some menus know their verbs only once they were asked to fill a menu.
    HMENU scratch = CreatePopupMenu();
    menu->QueryContextMenu(scratch, 0, 1, 0x7FFF, CMF_NORMAL);
    CMINVOKECOMMANDINFO invoke{};
    invoke.cbSize = sizeof invoke;
    invoke.hwnd = Owner;
    invoke.lpVerb = Verb;
    invoke.nShow = SW_SHOWNORMAL;
    const bool done = SUCCEEDED(menu->InvokeCommand(&invoke));
    DestroyMenu(scratch);
    return done;
}

bool ShellReadClipboardIdLists(HWND Owner, std::vector<TIdListBytes>& Items, TIdListBytes& Folder)
{
    Items.clear();
    Folder.clear();
    static const UINT format = RegisterClipboardFormatA(kShellIdListFormat);
    if (!IsClipboardFormatAvailable(format) || !OpenClipboard(Owner))
        return false;
    if (HGLOBAL data = GetClipboardData(format)) {
        if (const auto* block = static_cast<const uint8_t*>(GlobalLock(data))) {
            if (const auto parsed = ParseShellIdListArray(block, GlobalSize(data))) {
                Folder = parsed->Folder;
                for (const TIdListBytes& item : parsed->Items)
                    Items.push_back(JoinIdLists(parsed->Folder, item));
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return !Folder.empty();
}

PIDLIST_ABSOLUTE ShellParsePath(const std::string& Path)
{
    ComPtr<IShellFolder> desktop = ShellDesktopFolder();
    if (!desktop || Path.empty())
        return nullptr;
    std::wstring wide(Path.size() + 1, L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, Path.c_str(), -1, wide.data(),
                                                        static_cast<int>(wide.size()))));
    PIDLIST_RELATIVE parsed = nullptr;
    if (wide.empty() || FAILED(desktop->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &parsed, nullptr)))
        return nullptr;
    return reinterpret_cast<PIDLIST_ABSOLUTE>(parsed);
}

PIDLIST_ABSOLUTE ShellSpecialFolderList(int Folder)
{
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, Folder, &list)))
        return nullptr;
    return list;
}

// The desktop's comparison (column 0); two absent lists are equal, one absent equals nothing.
bool ShellSameList(PCIDLIST_ABSOLUTE A, PCIDLIST_ABSOLUTE B)
{
    if (!A || !B)
        return !A && !B;
    ComPtr<IShellFolder> desktop = ShellDesktopFolder();
    if (desktop && HRESULT_CODE(desktop->CompareIDs(0, A, B)) == 0)
        return true;
    // A notification names its items by simple lists made from paths, which the desktop
    // tells from the enumerated ones by their kind: the same path is the same folder.
    char pathA[MAX_PATH] = {}, pathB[MAX_PATH] = {};
    return SHGetPathFromIDListA(A, pathA) && SHGetPathFromIDListA(B, pathB) && pathA[0] && lstrcmpiA(pathA, pathB) == 0;
}

bool ShellIsDesktop(PCIDLIST_ABSOLUTE List) { return List && List->mkid.cb == 0; }

int ShellItemCount(PCUIDLIST_RELATIVE List)
{
    int count = 0;
    for (PCUIDLIST_RELATIVE at = List; at && at->mkid.cb; at = ILNext(at))
        ++count;
    return count;
}

// A is B or one of its ancestors: B cut to A's item count equals A (the lists of a path and
// of an enumeration differ in their bytes, so the desktop compares them).
bool ShellIsAncestor(PCIDLIST_ABSOLUTE A, PCIDLIST_ABSOLUTE B)
{
    if (!A || !B)
        return false;
    const int count = ShellItemCount(A);
    if (ShellItemCount(B) < count)
        return false;
    PIDLIST_ABSOLUTE cut = ILClone(B);
    if (!cut)
        return false;
    PUIDLIST_RELATIVE at = cut;
    for (int i = 0; i < count; ++i)
        at = ILNext(at);
    at->mkid.cb = 0;
    const bool same = ShellSameList(A, cut);
    CoTaskMemFree(cut);
    return same;
}

// The shell's attributes of an absolute list for the bits of Mask; 0 when the query fails.
SFGAOF ShellAttributes(PCIDLIST_ABSOLUTE List, SFGAOF Mask)
{
    if (!List)
        return 0;
    if (ShellIsDesktop(List))
        return 0;
    ComPtr<IShellFolder> parent;
    PCUITEMID_CHILD last = nullptr;
    if (FAILED(SHBindToParent(List, IID_PPV_ARGS(&parent), &last)))
        return 0;
    SFGAOF attributes = Mask;
    if (FAILED(parent->GetAttributesOf(1, &last, &attributes)))
        return 0;
    return attributes & Mask;
}

std::string ShellDisplayName(PCIDLIST_ABSOLUTE List)
{
    SHFILEINFOA info{};
    SHGetFileInfoA(reinterpret_cast<LPCSTR>(List), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_DISPLAYNAME);
    return info.szDisplayName;
}

// A drive root: a file-system item whose path ends with a backslash.
bool ShellIsDriveRoot(PCIDLIST_ABSOLUTE List)
{
    const std::string path = ShellPathOf(List);
    return !path.empty() && path.back() == '\\';
}

// Still a folder: it binds, and a file-system item's directory still exists.
bool ShellStillAFolder(PCIDLIST_ABSOLUTE List)
{
    if (ShellIsDesktop(List))
        return true;
    if (!ShellBindFolder(List))
        return false;
    const std::string path = ShellPathOf(List);
    return path.empty() || path.back() == '\\' || DirectoryExists(path);
}

PIDLIST_ABSOLUTE ShellParentList(PCIDLIST_ABSOLUTE List)
{
    PIDLIST_ABSOLUTE parent = ILClone(List);
    if (parent)
        ILRemoveLastID(parent);
    return parent;
}


void ShellClipboardChain(UINT Msg, WPARAM WParam, LPARAM LParam, HWND& NextViewer, const std::function<void()>& Changed)
{
    if (Msg == WM_DRAWCLIPBOARD) {
        CallGuarded(Changed);
    } else if (reinterpret_cast<HWND>(WParam) == NextViewer) {
        NextViewer = reinterpret_cast<HWND>(LParam);
        return;
    }
    if (NextViewer)
        SendMessageA(NextViewer, Msg, WParam, LParam);
}

void TShellWindowLinks::Join(HWND Wnd, IShellDropHost* Host)
{
    SetLastError(0);
    NextViewer = SetClipboardViewer(Wnd);
    InViewerChain = GetLastError() == 0 || NextViewer != nullptr;
    DropTarget = new TShellDropTarget(Host);
    if (FAILED(RegisterDragDrop(Wnd, DropTarget))) {
        DropTarget->Detach();
        DropTarget->Release();
        DropTarget = nullptr;
    }
}

void TShellWindowLinks::Leave(HWND Wnd)
{
    if (InViewerChain) {
        ChangeClipboardChain(Wnd, NextViewer);
        InViewerChain = false;
        NextViewer = nullptr;
    }
    if (DropTarget) {
        RevokeDragDrop(Wnd);
        DropTarget->Detach();
        DropTarget->Release();
        DropTarget = nullptr;
    }
}

void ShellDoDragDrop(IDataObject* Data, SFGAOF Attributes, int Button)
{
    DWORD allowed = 0;
    if (Attributes & SFGAO_CANCOPY)
        allowed |= DROPEFFECT_COPY;
    if (Attributes & SFGAO_CANMOVE)
        allowed |= DROPEFFECT_MOVE;
    if (Attributes & SFGAO_CANLINK)
        allowed |= DROPEFFECT_LINK;
    TDropSource* source = new TDropSource(Button);
    DWORD effect = 0;
    DoDragDrop(Data, source, allowed, &effect);
    source->Release();
}

void ShellPrepareControl(DWORD Classes)
{
    static DWORD registered = 0;  // the GUI thread's
    if ((registered & Classes) != Classes) {
        INITCOMMONCONTROLSEX controls{sizeof controls, Classes};
        InitCommonControlsEx(&controls);
        registered |= Classes;
    }
    ShellEnsureOle();
}
