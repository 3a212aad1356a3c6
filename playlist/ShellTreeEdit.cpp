// The folder tree's editing side: the clipboard's cut marks, rename in place, new folders,
// the keys, and the shell's drag, verbs, context menu and drop target.
#include "playlist/ShellCtrls.h"
#include "playlist/ShellList.h"
#include "playlist/ShellUtils.h"

#include "framework/SysUtils.h"

#include <shellapi.h>
#include <wrl/client.h>

#include <cstring>

using Microsoft::WRL::ComPtr;

namespace {

// The new-folder text; the usual one where the platform has none.
std::string NewFolderText() { return ShellLibraryString("shell32.dll", 30320, "New Folder"); }

}  // namespace

// ---- the clipboard's cut items ----

bool TShellTree::AmongClipboardItems(PCIDLIST_ABSOLUTE List) const
{
    for (const TIdListBytes& item : FClipboardItems)
        if (ShellSameList(reinterpret_cast<PCIDLIST_ABSOLUTE>(item.data()), List))
            return true;
    return false;
}

void TShellTree::SetCut(HTREEITEM Item, bool Cut)
{
    TreeView_SetItemState(HandleOrNull(), Item, Cut ? TVIS_CUT : 0, TVIS_CUT);
}

void TShellTree::ClipboardChanged()
{
    if (FBusy || !HandleAllocated())
        return;
    FClipboardItems.clear();
    FClipboardFolder.clear();
    UpdateCutMarks();
    ShellReadClipboardIdLists(HandleOrNull(), FClipboardItems, FClipboardFolder);
    UpdateCutMarks();
}

void TShellTree::UpdateCutMarks()
{
    const HWND wnd = HandleOrNull();
    // Marks go wherever they were; then the root and the clipboard folder's children.
    std::vector<HTREEITEM> pending{TreeView_GetRoot(wnd)};
    while (!pending.empty()) {
        const HTREEITEM at = pending.back();
        pending.pop_back();
        if (!at)
            continue;
        SetCut(at, false);
        for (HTREEITEM child = TreeView_GetChild(wnd, at); child; child = TreeView_GetNextSibling(wnd, child))
            pending.push_back(child);
    }
    if (FClipboardItems.empty())
        return;
    const HTREEITEM root = TreeView_GetRoot(wnd);
    if (root && AmongClipboardItems(ListOf(root)))
        SetCut(root, true);
    const HTREEITEM folder = LoadedNodeOf(reinterpret_cast<PCIDLIST_ABSOLUTE>(FClipboardFolder.data()));
    if (!folder)
        return;
    for (HTREEITEM child = TreeView_GetChild(wnd, folder); child; child = TreeView_GetNextSibling(wnd, child))
        if (AmongClipboardItems(ListOf(child)))
            SetCut(child, true);
}

// ---- rename, new folder, keys ----

bool TShellTree::CanRename(HTREEITEM Item)
{
    PCIDLIST_ABSOLUTE list = ListOf(Item);
    if (!list || ShellIsDesktop(list))
        return false;
    if (!(ShellAttributes(list, SFGAO_CANRENAME) & SFGAO_CANRENAME))
        return false;
    // A file-system folder that is no drive root, where the platform gives no description.
    SHDESCRIPTIONID description{};
    ComPtr<IShellFolder> parent;
    PCUITEMID_CHILD last = nullptr;
    DWORD id = 0;
    if (SUCCEEDED(SHBindToParent(list, IID_PPV_ARGS(&parent), &last)) &&
        SUCCEEDED(SHGetDataFromIDListA(parent.Get(), last, SHGDFIL_DESCRIPTIONID, &description, sizeof description)))
        id = description.dwDescriptionId;
    if (id == 0 && !ShellPathOf(list).empty() && !ShellIsDriveRoot(list))
        id = SHDID_FS_DIRECTORY;
    return id == SHDID_ROOT_REGITEM || id == SHDID_FS_DIRECTORY;
}

void TShellTree::EndLabelEdit(HTREEITEM Item, const char* Text)
{
    if (FBusy || !Text || !*Text)
        return;
    TBusyScope busy(FBusy);
    PCIDLIST_ABSOLUTE list = ListOf(Item);
    ComPtr<IShellFolder> parent;
    PCUITEMID_CHILD last = nullptr;
    if (!list || FAILED(SHBindToParent(list, IID_PPV_ARGS(&parent), &last)))
        return;
    std::wstring wide(std::strlen(Text) + 1, L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, Text, -1, wide.data(), static_cast<int>(wide.size()))));
    PITEMID_CHILD renamed = nullptr;
    const HWND owner = GetAncestor(HandleOrNull(), GA_ROOT);
    if (FAILED(parent->SetNameOf(owner, last, wide.c_str(), SHGDN_NORMAL, &renamed)) || !renamed)
        return;  // refused: the node keeps its list and text
    PIDLIST_ABSOLUTE parentList = ShellParentList(list);
    PIDLIST_ABSOLUTE fresh = ILCombine(parentList, renamed);
    CoTaskMemFree(parentList);
    CoTaskMemFree(renamed);
    if (!fresh)
        return;
    TShellNode* node = NodeOf(Item);
    CoTaskMemFree(node->List);
    node->List = fresh;
    TVITEMA item{};
    item.mask = TVIF_TEXT;
    item.hItem = Item;
    item.pszText = const_cast<char*>(Text);
    TreeView_SetItem(HandleOrNull(), &item);
    SelectQuietly(Item);
    RefreshChildren(Item, false);
    if (const HTREEITEM up = TreeView_GetParent(HandleOrNull(), Item))
        SortChildren(up);
    TreeView_EnsureVisible(HandleOrNull(), Item);
    if (OnRenamed)
        OnRenamed(this, Item);
    if (FShellList)
        FShellList->SetFolder(SelectedList());
}

void TShellTree::NewFolder()
{
    if (FBusy || !HandleAllocated())
        return;
    const HWND wnd = HandleOrNull();
    const HTREEITEM selected = TreeView_GetSelection(wnd);
    PCIDLIST_ABSOLUTE list = ListOf(selected);
    const std::string path = ShellPathOf(list);
    if (!list || path.empty() || !(ShellAttributes(list, SFGAO_FILESYSTEM) & SFGAO_FILESYSTEM)) {
        MessageBeep(0);
        return;
    }
    HTREEITEM made = nullptr;
    {
        TBusyScope busy(FBusy);
        const std::string name = NewFolderName(path, NewFolderText(), [](const std::string& name) { return DirectoryExists(name); });
        TreeView_Expand(wnd, selected, TVE_EXPAND);
        if (!CreateDirectoryA(name.c_str(), nullptr))
            throw EOSError(SysErrorMessage(GetLastError()));
        // The computer item's loaded branches show the same folders.
        PIDLIST_ABSOLUTE drives = ShellSpecialFolderList(CSIDL_DRIVES);
        if (drives && !ShellIsAncestor(drives, list))
            if (const HTREEITEM computer = LoadedNodeOf(drives))
                RefreshChildren(computer, false);
        CoTaskMemFree(drives);
        PIDLIST_ABSOLUTE parsed = ShellParsePath(name);
        if (parsed) {
            PIDLIST_ABSOLUTE joined = ILCombine(list, ILFindLastID(parsed));
            CoTaskMemFree(parsed);
            for (HTREEITEM at = TreeView_GetChild(wnd, selected); at && joined; at = TreeView_GetNextSibling(wnd, at))
                if (ShellSameList(ListOf(at), joined)) {
                    made = at;
                    CoTaskMemFree(joined);
                    joined = nullptr;
                }
            if (joined) {
                made = AddNode(selected, joined);
                if (TShellNode* node = NodeOf(selected))
                    node->Loaded = true;
            }
            SetHasChildren(selected, true);
            TreeView_Expand(wnd, selected, TVE_EXPAND);
        }
    }
    if (made) {
        SetFocus();
        TreeView_EditLabel(wnd, made);
    }
}

void TShellTree::KeyDown(WPARAM Key)
{
    const HWND wnd = HandleOrNull();
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const HTREEITEM selected = TreeView_GetSelection(wnd);
    switch (Key) {
    case VK_F2:
        if (selected)
            TreeView_EditLabel(wnd, selected);
        break;
    case VK_F5:
        RefreshCommand(ctrl ? selected : TreeView_GetRoot(wnd), GetKeyState(VK_MENU) < 0);
        break;
    case VK_INSERT: NewFolder(); break;
    case VK_DELETE: InvokeVerb("delete"); break;
    case VK_BACK: {
        const HTREEITEM root = TreeView_GetRoot(wnd);
        if (ShellIsDesktop(ListOf(root)) || (!ctrl && selected != root))
            break;
        PIDLIST_ABSOLUTE keep = ILClone(ListOf(selected));
        ReRootToDesktop(keep);
        CoTaskMemFree(keep);
        if (FShellList)
            FShellList->SetFolder(SelectedList());
        break;
    }
    default: break;
    }
}

// ---- the shell's drag and context menu ----

bool TShellTree::InvokeVerb(const char* Verb)
{
    PCIDLIST_ABSOLUTE list = SelectedList();
    if (!list)
        return false;
    const HWND owner = GetAncestor(HandleOrNull(), GA_ROOT);
    if (ShellIsDesktop(list)) {
        // The desktop pastes into its file-system folder; it has no other verbs.
        if (lstrcmpiA(Verb, "paste") != 0)
            return false;
        PIDLIST_ABSOLUTE directory = ShellSpecialFolderList(CSIDL_DESKTOPDIRECTORY);
        ComPtr<IShellFolder> parent;
        PCUITEMID_CHILD last = nullptr;
        const bool done = directory && SUCCEEDED(SHBindToParent(directory, IID_PPV_ARGS(&parent), &last)) &&
                          ShellInvokeVerb(parent.Get(), {last}, Verb, owner);
        CoTaskMemFree(directory);
        return done;
    }
    ComPtr<IShellFolder> parent;
    PCUITEMID_CHILD last = nullptr;
    if (FAILED(SHBindToParent(list, IID_PPV_ARGS(&parent), &last)))
        return false;
    return ShellInvokeVerb(parent.Get(), {last}, Verb, owner);
}

void TShellTree::BeginDrag(HTREEITEM Item, int Button)
{
    PCIDLIST_ABSOLUTE list = ListOf(Item);
    ComPtr<IShellFolder> parent;
    PCUITEMID_CHILD last = nullptr;
    if (!list || ShellIsDesktop(list) || FAILED(SHBindToParent(list, IID_PPV_ARGS(&parent), &last)))
        return;
    ComPtr<IDataObject> data;
    const HRESULT hr = parent->GetUIObjectOf(HandleOrNull(), 1, &last, IID_IDataObject, nullptr, &data);
    if (hr == E_NOINTERFACE)
        return;
    if (FAILED(hr))
        throw EOSError(SysErrorMessage(static_cast<uint32_t>(hr)));
    const SFGAOF attributes = ShellAttributes(list, SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK);
    TreeView_SelectDropTarget(HandleOrNull(), Item);
    ShellDoDragDrop(data.Get(), attributes, Button);
    TreeView_SelectDropTarget(HandleOrNull(), nullptr);
}

void TShellTree::ShowContextMenu()
{
    const HWND wnd = HandleOrNull();
    PCIDLIST_ABSOLUTE list = SelectedList();
    ComPtr<IShellFolder> parent;
    PCUITEMID_CHILD last = nullptr;
    // 1.
    if (!list || ShellIsDesktop(list) || FAILED(SHBindToParent(list, IID_PPV_ARGS(&parent), &last)))
        return;
    ComPtr<IContextMenu> menu;
    if (FAILED(parent->GetUIObjectOf(GetAncestor(wnd, GA_ROOT), 1, &last, IID_IContextMenu, nullptr, &menu)))
        return;
    // 2.
    struct TPopup {
        HMENU Menu = CreatePopupMenu();
        ~TPopup() { DestroyMenu(Menu); }
    } popup;
    const HTREEITEM selected = TreeView_GetSelection(wnd);
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    const HRESULT filled = menu->QueryContextMenu(popup.Menu, 0, 1, 0x7FFF,
                                                  CMF_EXPLORE | (CanRename(selected) ? CMF_CANRENAME : 0));
    SetErrorMode(oldMode);
    if (FAILED(filled))
        return;
    // 3.
    DeleteMenu(popup.Menu, 17, MF_BYCOMMAND);
    for (int i = GetMenuItemCount(popup.Menu) - 1; i > 0; --i)
        if ((GetMenuState(popup.Menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) &&
            (GetMenuState(popup.Menu, static_cast<UINT>(i - 1), MF_BYPOSITION) & MF_SEPARATOR)) {
            DeleteMenu(popup.Menu, static_cast<UINT>(i - 1), MF_BYPOSITION);
            break;
        }
    // 4.
    ComPtr<IContextMenu2> menu2;
    menu.As(&menu2);
    FContextMenu2 = menu2.Get();
    POINT at{};
    GetCursorPos(&at);
    const int result = TrackPopupMenu(popup.Menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, wnd, nullptr);
    FContextMenu2 = nullptr;
    if (result < 2)
        return;
    const UINT offset = static_cast<UINT>(result - 1);
    // 5.
    char verb[256] = {};
    menu->GetCommandString(offset, GCS_VERBA, nullptr, verb, sizeof verb);
    if (lstrcmpiA(verb, "rename") == 0) {
        TreeView_EditLabel(wnd, selected);
        return;
    }
    CMINVOKECOMMANDINFO invoke{};
    invoke.cbSize = sizeof invoke;
    invoke.hwnd = GetAncestor(wnd, GA_ROOT);
    invoke.lpVerb = MAKEINTRESOURCEA(offset);
    invoke.nShow = SW_SHOWNORMAL;
    menu->InvokeCommand(&invoke);
}

// ---- drop target ----

ComPtr<IDropTarget> TShellTree::DropTargetAt(POINT Client)
{
    const HWND wnd = HandleOrNull();
    TVHITTESTINFO hit{};
    hit.pt = Client;
    const HTREEITEM item = TreeView_HitTest(wnd, &hit);
    TreeView_SelectDropTarget(wnd, item);
    PCIDLIST_ABSOLUTE list = ListOf(item);
    if (!list)
        return nullptr;
    // The desktop takes drops into its file-system folder.
    PIDLIST_ABSOLUTE directory = ShellIsDesktop(list) ? ShellSpecialFolderList(CSIDL_DESKTOPDIRECTORY) : nullptr;
    ComPtr<IShellFolder> parent;
    PCUITEMID_CHILD last = nullptr;
    ComPtr<IDropTarget> target;
    if (SUCCEEDED(SHBindToParent(directory ? directory : list, IID_PPV_ARGS(&parent), &last)))
        parent->GetUIObjectOf(wnd, 1, &last, IID_IDropTarget, nullptr, &target);
    CoTaskMemFree(directory);
    return target;
}

void TShellTree::DragMoved(POINT Client)
{
    const HWND wnd = HandleOrNull();
    const DWORD now = GetTickCount();
    if (now - FLastScroll >= 200) {
        RECT client{};
        GetClientRect(wnd, &client);
        const auto room = [&](int bar) {
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_RANGE | SIF_PAGE;
            return GetScrollInfo(wnd, bar, &info) && info.nMax - info.nMin - static_cast<int>(info.nPage) > 0;
        };
        bool scrolled = false;
        if (Client.x < 26 && room(SB_HORZ))
            scrolled = SendMessageA(wnd, WM_HSCROLL, SB_LINELEFT, 0) >= 0;
        else if (Client.x > client.right - 26 && room(SB_HORZ))
            scrolled = SendMessageA(wnd, WM_HSCROLL, SB_LINERIGHT, 0) >= 0;
        if (Client.y < 20 && room(SB_VERT))
            scrolled = SendMessageA(wnd, WM_VSCROLL, SB_LINEUP, 0) >= 0;
        else if (Client.y > client.bottom - 20 && room(SB_VERT))
            scrolled = SendMessageA(wnd, WM_VSCROLL, SB_LINEDOWN, 0) >= 0;
        if (scrolled)
            FLastScroll = now;
    }
    // A collapsed folder the mouse rests on opens.
    TVHITTESTINFO hit{};
    hit.pt = Client;
    const HTREEITEM item = TreeView_HitTest(wnd, &hit);
    if (item != FHoverItem) {
        FHoverItem = item;
        FHoverSince = now;
        return;
    }
    TVITEMA data{};
    data.mask = TVIF_CHILDREN | TVIF_STATE;
    data.stateMask = TVIS_EXPANDED;
    data.hItem = item;
    if (item && now - FHoverSince > 1000 && TreeView_GetItem(wnd, &data) && data.cChildren &&
        !(data.state & TVIS_EXPANDED))
        TreeView_Expand(wnd, item, TVE_EXPAND);
}

void TShellTree::DragEnded()
{
    TreeView_SelectDropTarget(HandleOrNull(), nullptr);
    FHoverItem = nullptr;
}
