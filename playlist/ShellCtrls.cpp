#include "playlist/ShellCtrls.h"
#include "playlist/ShellList.h"
#include "playlist/ShellUtils.h"

#include "framework/SysUtils.h"

#include <shellapi.h>
#include <shlwapi.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstring>

using Microsoft::WRL::ComPtr;

namespace {

constexpr UINT kShellChangeMessage = WM_USER + 101;  // 0x465
constexpr SFGAOF kKeptMask = SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR;  // 0x50000000
constexpr SFGAOF kNodeDataMask = SFGAO_HASSUBFOLDER | SFGAO_SHARE;     // 0x80020000

// The special roots by name.
struct TRootSpecial {
    const char* Name;
    int Folder;
};
constexpr TRootSpecial kRootSpecials[] = {
    {"rsDesktop", 0x00}, {"rsInternet", 0x01}, {"rsPrograms", 0x02}, {"rsControls", 0x03},
    {"rsPrinters", 0x04}, {"rsPersonal", 0x05}, {"rsFavorites", 0x06}, {"rsStartUp", 0x07},
    {"rsRecent", 0x08}, {"rsSendTo", 0x09}, {"rsBitBucket", 0x0A}, {"rsStartMenu", 0x0B},
    {"rsDesktopDirectory", 0x10}, {"rsDrives", 0x11}, {"rsNetWork", 0x12}, {"rsNetHood", 0x13},
    {"rsFonts", 0x14}, {"rsTemplates", 0x15}, {"rsCommonStartMenu", 0x16}, {"rsCommonPrograms", 0x17},
    {"rsCommonStartUp", 0x18}, {"rsCommonDesktopDirectory", 0x19}, {"rsAppData", 0x1A}, {"rsPrintHood", 0x1B},
    {"rsAltStartUp", 0x1D}, {"rsCommonAltStartUp", 0x1E}, {"rsCommonFavorites", 0x1F}, {"rsInternetCache", 0x20},
    {"rsCookies", 0x21}, {"rsHistory", 0x22},
};

// The root text's list: a special root's, else the parse of the text as a path.
PIDLIST_ABSOLUTE RootList(const std::string& Text)
{
    for (const TRootSpecial& special : kRootSpecials)
        if (Text == special.Name)
            return ShellSpecialFolderList(special.Folder);
    return ShellParsePath(Text);
}

}  // namespace

// ---- the tree ----

TShellTree::TShellTree(TComponent* owner) : TWinControl(owner)
{
    ShellPrepareControl(ICC_TREEVIEW_CLASSES);
    FWidth = 263;
    FHeight = 321;
    FChangeDelay.Delay = 500;
}

TShellTree::~TShellTree()
{
    SetShellList(nullptr);
    if (HandleAllocated())
        DestroyHandle();
    FNodes.clear();
}

int CALLBACK TShellTree::CompareNodes(LPARAM A, LPARAM B, LPARAM Desktop)
{
    auto* desktop = reinterpret_cast<IShellFolder*>(Desktop);
    const HRESULT order = desktop->CompareIDs(0, reinterpret_cast<TShellNode*>(A)->List, reinterpret_cast<TShellNode*>(B)->List);
    return static_cast<short>(HRESULT_CODE(order));
}

void TShellTree::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = WC_TREEVIEWA;
    params.Style |= TVS_HASLINES | TVS_HASBUTTONS | TVS_SHOWSELALWAYS | TVS_EDITLABELS | WS_BORDER | WS_TABSTOP;
}

void TShellTree::CreateWindowHandle()
{
    const HWND wnd = HandleOrNull();
    TreeView_SetImageList(wnd, ShellSmallImages(), TVSIL_NORMAL);
    TreeView_SetIndent(wnd, 19);
    FillRoot();
    // Every change of the namespace, from the desktop down.
    PIDLIST_ABSOLUTE desktop = ShellSpecialFolderList(CSIDL_DESKTOP);
    SHChangeNotifyEntry entry{desktop, TRUE};
    FNotifyId = SHChangeNotifyRegister(wnd, SHCNRF_InterruptLevel | SHCNRF_ShellLevel, SHCNE_ALLEVENTS,
                                       kShellChangeMessage, 1, &entry);
    CoTaskMemFree(desktop);
    FLinks.Join(wnd, this);
}

void TShellTree::WndProc(TMessage& message)
{
    if (FChangeDelay.WndProc(HandleOrNull(), message.Msg, message.WParam)) {
        message.Result = 0;
        return;
    }
    if (FContextMenu2 && (message.Msg == WM_INITMENUPOPUP || message.Msg == WM_DRAWITEM ||
                          message.Msg == WM_MEASUREITEM || message.Msg == WM_MENUCHAR)) {
        // The shell's menu draws and fills its own items.
        FContextMenu2->HandleMenuMsg(message.Msg, message.WParam, message.LParam);
        message.Result = 0;
        return;
    }
    switch (message.Msg) {
    case kShellChangeMessage:
        if (message.WParam) {
            auto* lists = reinterpret_cast<PCIDLIST_ABSOLUTE*>(message.WParam);
            const PCIDLIST_ABSOLUTE first = lists[0], second = lists[1];
            const LONG event = static_cast<LONG>(message.LParam);
            CallGuarded([&] { ShellChange(first, second, event); });
        }
        message.Result = 0;
        return;
    case WM_DRAWCLIPBOARD:
    case WM_CHANGECBCHAIN:
        ShellClipboardChain(message.Msg, message.WParam, message.LParam, FLinks.NextViewer,
                            [this] { ClipboardChanged(); });
        message.Result = 0;
        return;
    case WM_DESTROY:
        if (FNotifyId) {
            SHChangeNotifyDeregister(FNotifyId);
            FNotifyId = 0;
        }
        FLinks.Leave(HandleOrNull());
        break;
    case WM_KEYDOWN:
        if (!TreeView_GetEditControl(HandleOrNull())) {
            const WPARAM key = message.WParam;
            CallGuarded([&] { KeyDown(key); });
            if (key == VK_F2 || key == VK_F5 || key == VK_DELETE || key == VK_INSERT) {
                message.Result = 0;
                return;
            }
        }
        break;
    case WM_CHAR:
        // Ctrl+C, Ctrl+V, Ctrl+X and Ctrl+Back are the shell's verbs, not search keys.
        if (message.WParam == 3 || message.WParam == 22 || message.WParam == 24 || message.WParam == 127) {
            if (!TreeView_GetEditControl(HandleOrNull()) && message.WParam != 127) {
                const char* verb = message.WParam == 3 ? "copy" : message.WParam == 22 ? "paste" : "cut";
                CallGuarded([&] { InvokeVerb(verb); });
            }
            message.Result = 0;
            return;
        }
        break;
    case WM_CONTEXTMENU:
        if (AutoContext) {
            CallGuarded([this] { ShowContextMenu(); });
            message.Result = 0;
            return;
        }
        break;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

TShellTree::TShellNode* TShellTree::NodeOf(HTREEITEM Item) const
{
    TVITEMA item{};
    item.mask = TVIF_PARAM;
    item.hItem = Item;
    if (!Item || !HandleAllocated() || !TreeView_GetItem(HandleOrNull(), &item))
        return nullptr;
    return reinterpret_cast<TShellNode*>(item.lParam);
}

PCIDLIST_ABSOLUTE TShellTree::ListOf(HTREEITEM Item) const
{
    TShellNode* node = NodeOf(Item);
    return node ? node->List : nullptr;
}

HTREEITEM TShellTree::AddNode(HTREEITEM Parent, PIDLIST_ABSOLUTE List)
{
    auto node = std::make_unique<TShellNode>();
    node->List = List;
    TVINSERTSTRUCTA insert{};
    insert.hParent = Parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    char empty[1] = {};
    insert.item.pszText = empty;
    insert.item.lParam = reinterpret_cast<LPARAM>(node.get());
    FNodes.push_back(std::move(node));
    const auto item = reinterpret_cast<HTREEITEM>(
        SendMessageA(HandleOrNull(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    SetNodeData(item);
    return item;
}

void TShellTree::SetNodeData(HTREEITEM Item)
{
    PCIDLIST_ABSOLUTE list = ListOf(Item);
    if (!list)
        return;
    const SFGAOF attributes = ShellAttributes(list, kNodeDataMask);
    const std::string text = ShellDisplayName(list);
    TVITEMA item{};
    item.hItem = Item;
    item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_STATE;
    item.pszText = const_cast<char*>(text.c_str());
    item.iImage = ShellSmallIconIndex(list, 0);
    item.iSelectedImage = ShellSmallIconIndex(list, SHGFI_OPENICON);
    item.cChildren = ShellIsDesktop(list) || (attributes & SFGAO_HASSUBFOLDER) ? 1 : 0;
    item.stateMask = TVIS_OVERLAYMASK | TVIS_CUT;
    item.state = (attributes & SFGAO_SHARE) ? INDEXTOOVERLAYMASK(1) : 0;
    const HTREEITEM parent = TreeView_GetParent(HandleOrNull(), Item);
    const bool cut = parent ? ShellSameList(ListOf(parent), reinterpret_cast<PCIDLIST_ABSOLUTE>(FClipboardFolder.data())) &&
                                  !FClipboardFolder.empty() && AmongClipboardItems(list)
                            : AmongClipboardItems(list);
    if (cut)
        item.state |= TVIS_CUT;
    TreeView_SetItem(HandleOrNull(), &item);
}

void TShellTree::SortChildren(HTREEITEM Item)
{
    ComPtr<IShellFolder> desktop = ShellDesktopFolder();
    if (!desktop)
        return;
    TVSORTCB sort{Item, CompareNodes, reinterpret_cast<LPARAM>(desktop.Get())};
    TreeView_SortChildrenCB(HandleOrNull(), &sort, FALSE);
}

bool TShellTree::ChildrenLoaded(HTREEITEM Item) const { return TreeView_GetChild(HandleOrNull(), Item) != nullptr; }

void TShellTree::SetHasChildren(HTREEITEM Item, bool Value)
{
    TVITEMA item{};
    item.mask = TVIF_CHILDREN;
    item.hItem = Item;
    item.cChildren = Value ? 1 : 0;
    TreeView_SetItem(HandleOrNull(), &item);
}

void TShellTree::FillChildren(HTREEITEM Item)
{
    TShellNode* node = NodeOf(Item);
    if (!node || node->Loaded)
        return;
    // 1.
    THourglass hourglass;
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    // 2.
    ComPtr<IShellFolder> folder = ShellBindFolder(node->List);
    ComPtr<IEnumIDList> items;
    const bool started = folder && folder->EnumObjects(HandleOrNull(), SHCONTF_FOLDERS, &items) == S_OK && items;
    if (started) {
        node->Loaded = true;
        PITEMID_CHILD child = nullptr;
        ULONG fetched = 0;
        // 3.
        while (items->Next(1, &child, &fetched) == S_OK && fetched == 1) {
            SFGAOF attributes = kKeptMask;
            PCUITEMID_CHILD one = child;
            if (SUCCEEDED(folder->GetAttributesOf(1, &one, &attributes)) && (attributes & kKeptMask)) {
                PIDLIST_ABSOLUTE absolute = ILCombine(node->List, child);
                if (absolute)
                    AddNode(Item, absolute);
            }
            CoTaskMemFree(child);
        }
        // 4.
        SortChildren(Item);
    }
    SetErrorMode(oldMode);
    // 5.
    if (started && !ChildrenLoaded(Item))
        SetHasChildren(Item, false);
}

void TShellTree::FillRoot()
{
    if (FBusy || !HandleAllocated())
        return;
    TBusyScope busy(FBusy);
    const HWND wnd = HandleOrNull();
    TreeView_DeleteAllItems(wnd);
    FNodes.clear();
    PIDLIST_ABSOLUTE root = RootList(FRootText);
    if (!root) {
        FRootText = "rsDesktop";
        root = ShellSpecialFolderList(CSIDL_DESKTOP);
    }
    if (!root)
        return;
    // Root lines only below another root than the desktop.
    LONG_PTR style = GetWindowLongPtrA(wnd, GWL_STYLE);
    style = ShellIsDesktop(root) ? (style & ~TVS_LINESATROOT) : (style | TVS_LINESATROOT);
    SetWindowLongPtrA(wnd, GWL_STYLE, style);
    const HTREEITEM node = AddNode(TVI_ROOT, root);
    TreeView_Expand(wnd, node, TVE_EXPAND);
    SelectQuietly(TreeView_GetRoot(wnd));
}

void TShellTree::SetRoot(const std::string& Value)
{
    FRootText = Value;
    FillRoot();
    if (FShellList)
        FShellList->SetFolder(SelectedList());
}

void TShellTree::SelectQuietly(HTREEITEM Item)
{
    FChangeDelay.SelectNow(HandleOrNull(), Item);
}

void TShellTree::Change()
{
    if (FShellList)
        FShellList->SetFolder(SelectedList());
    AddHistory();
    if (OnChange)
        OnChange(this);
}

void TShellTree::AddHistory()
{
    PCIDLIST_ABSOLUTE list = SelectedList();
    if (!list)
        return;
    const auto* bytes = reinterpret_cast<const uint8_t*>(list);
    THistoryRecord record{FRootText, TIdListBytes(bytes, bytes + ILGetSize(list))};
    if (!FHistory.empty() && FHistory.back().Root == record.Root &&
        ShellSameList(reinterpret_cast<PCIDLIST_ABSOLUTE>(FHistory.back().List.data()), list))
        return;
    FHistory.push_back(std::move(record));
    if (OnHistory)
        OnHistory(this);
}

bool TShellTree::ReflectedMessage(TMessage& message)
{
    if (message.Msg != WM_NOTIFY)
        return false;
    auto* header = reinterpret_cast<NMHDR*>(message.LParam);
    switch (header->code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        FChangeDelay.SelectionChanged(HandleOrNull());
        return false;
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
        auto* change = reinterpret_cast<NMTREEVIEWA*>(message.LParam);
        if (change->action & TVE_EXPAND)
            CallGuarded([&] { FillChildren(change->itemNew.hItem); });
        message.Result = FALSE;
        return true;
    }
    case TVN_DELETEITEMA:
    case TVN_DELETEITEMW: {
        auto* gone = reinterpret_cast<TShellNode*>(reinterpret_cast<NMTREEVIEWA*>(message.LParam)->itemOld.lParam);
        const auto at = std::find_if(FNodes.begin(), FNodes.end(), [&](const auto& node) { return node.get() == gone; });
        if (at != FNodes.end())
            FNodes.erase(at);
        return true;
    }
    case TVN_BEGINLABELEDITA: {
        const HTREEITEM item = reinterpret_cast<NMTVDISPINFOA*>(message.LParam)->item.hItem;
        bool allowed = false;
        CallGuarded([&] { allowed = CanRename(item); });
        message.Result = allowed ? FALSE : TRUE;
        return true;
    }
    case TVN_ENDLABELEDITA: {
        const TVITEMA& item = reinterpret_cast<NMTVDISPINFOA*>(message.LParam)->item;
        const std::string text = item.pszText ? item.pszText : "";
        const bool hasText = item.pszText != nullptr;
        const HTREEITEM node = item.hItem;
        if (hasText)
            CallGuarded([&] { EndLabelEdit(node, text.c_str()); });
        // The node's text is set by the rename itself, never by the control.
        message.Result = FALSE;
        return true;
    }
    case TVN_BEGINDRAGA:
    case TVN_BEGINDRAGW:
    case TVN_BEGINRDRAGA:
    case TVN_BEGINRDRAGW: {
        const HTREEITEM item = reinterpret_cast<NMTREEVIEWA*>(message.LParam)->itemNew.hItem;
        const int button = header->code == TVN_BEGINDRAGA || header->code == TVN_BEGINDRAGW ? 1 : 2;
        CallGuarded([&] { BeginDrag(item, button); });
        return true;
    }
    default:
        return false;
    }
}

std::string TShellTree::SelectedPath()
{
    TShellNode* node = NodeOf(TreeView_GetSelection(Handle()));
    return node ? ShellPathOf(node->List) : std::string();
}

std::string TShellTree::SelectedText()
{
    char text[MAX_PATH] = {};
    TVITEMA item{};
    item.mask = TVIF_TEXT;
    item.hItem = TreeView_GetSelection(Handle());
    item.pszText = text;
    item.cchTextMax = sizeof text;
    if (!item.hItem || !TreeView_GetItem(HandleOrNull(), &item))
        return {};
    return text;
}

bool TShellTree::SelectedIsCut()
{
    const HTREEITEM item = TreeView_GetSelection(Handle());
    return item && (TreeView_GetItemState(HandleOrNull(), item, TVIS_CUT) & TVIS_CUT) != 0;
}

HTREEITEM TShellTree::FindNode(PCIDLIST_ABSOLUTE Target)
{
    HTREEITEM at = TreeView_GetRoot(Handle());
    while (at) {
        TShellNode* node = NodeOf(at);
        if (ShellSameList(node->List, Target))
            return at;
        FillChildren(at);
        HTREEITEM child = TreeView_GetChild(HandleOrNull(), at);
        while (child && !ShellIsAncestor(NodeOf(child)->List, Target))
            child = TreeView_GetNextSibling(HandleOrNull(), child);
        if (child)
            TreeView_Expand(HandleOrNull(), at, TVE_EXPAND);
        at = child;
    }
    return nullptr;
}

void TShellTree::SelectByList(PCIDLIST_ABSOLUTE Target)
{
    const HTREEITEM found = FindNode(Target);
    SelectQuietly(found ? found : TreeView_GetRoot(HandleOrNull()));
}

bool TShellTree::SetSelectedPath(const std::string& Path)
{
    PIDLIST_ABSOLUTE parsed = ShellParsePath(Path);
    if (!parsed)
        return false;
    const HTREEITEM found = FindNode(parsed);
    CoTaskMemFree(parsed);
    if (!found)
        return false;
    SelectQuietly(found);
    return true;
}

PCIDLIST_ABSOLUTE TShellTree::SelectedList()
{
    if (!HandleAllocated())
        return nullptr;
    return ListOf(TreeView_GetSelection(HandleOrNull()));
}

void TShellTree::SetShellList(TCustomShellList* List)
{
    if (List == FShellList)
        return;
    if (FShellList)
        FShellList->LinkTree(nullptr);
    FShellList = List;
    if (FShellList)
        FShellList->LinkTree(this);
}

std::vector<std::string> TShellTree::ChildTexts(const std::string& Path)
{
    HTREEITEM at = TreeView_GetRoot(Handle());
    if (!Path.empty()) {
        if (!SetSelectedPath(Path))
            return {};
        at = TreeView_GetSelection(HandleOrNull());
    }
    FillChildren(at);
    std::vector<std::string> texts;
    for (HTREEITEM child = TreeView_GetChild(HandleOrNull(), at); child;
         child = TreeView_GetNextSibling(HandleOrNull(), child)) {
        char text[MAX_PATH] = {};
        TVITEMA item{};
        item.mask = TVIF_TEXT;
        item.hItem = child;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        TreeView_GetItem(HandleOrNull(), &item);
        texts.push_back(text);
    }
    return texts;
}

// ---- keeping in step with the file system ----

HTREEITEM TShellTree::LoadedNodeOf(PCIDLIST_ABSOLUTE Target, HTREEITEM From) const
{
    const HWND wnd = HandleOrNull();
    for (HTREEITEM at = From ? TreeView_GetChild(wnd, From) : TreeView_GetRoot(wnd); at;
         at = TreeView_GetNextSibling(wnd, at)) {
        PCIDLIST_ABSOLUTE list = ListOf(at);
        if (ShellSameList(list, Target))
            return at;
        // Only a branch that holds the target can hold its node.
        if (list && ShellIsAncestor(list, Target))
            if (const HTREEITEM found = LoadedNodeOf(Target, at))
                return found;
    }
    return nullptr;
}

void TShellTree::LocateItem(PCIDLIST_ABSOLUTE Target, HTREEITEM& Node, HTREEITEM& ParentNode) const
{
    Node = LoadedNodeOf(Target);
    ParentNode = Node ? TreeView_GetParent(HandleOrNull(), Node) : nullptr;
    if (!Node && Target && !ShellIsDesktop(Target)) {
        PIDLIST_ABSOLUTE parent = ShellParentList(Target);
        ParentNode = LoadedNodeOf(parent);
        CoTaskMemFree(parent);
    }
}

PIDLIST_ABSOLUTE TShellTree::LookUpInParent(HTREEITEM ParentNode, PCIDLIST_ABSOLUTE Target)
{
    PCIDLIST_ABSOLUTE parentList = ListOf(ParentNode);
    ComPtr<IShellFolder> folder = ShellBindFolder(parentList);
    ComPtr<IEnumIDList> items;
    if (!folder || folder->EnumObjects(HandleOrNull(), SHCONTF_FOLDERS, &items) != S_OK || !items)
        return nullptr;
    PITEMID_CHILD child = nullptr;
    ULONG fetched = 0;
    while (items->Next(1, &child, &fetched) == S_OK && fetched == 1) {
        PIDLIST_ABSOLUTE joined = ILCombine(parentList, child);
        CoTaskMemFree(child);
        if (ShellSameList(joined, Target))
            return joined;
        CoTaskMemFree(joined);
    }
    return nullptr;
}

void TShellTree::RemoveNode(HTREEITEM Item)
{
    const HWND wnd = HandleOrNull();
    const HTREEITEM parent = TreeView_GetParent(wnd, Item);
    if (TreeView_GetSelection(wnd) == Item && parent)
        SelectQuietly(parent);
    if (parent && TreeView_GetChild(wnd, parent) == Item && !TreeView_GetNextSibling(wnd, Item)) {
        // The only child: the parent's children go, and its button.
        TreeView_Expand(wnd, parent, TVE_COLLAPSE | TVE_COLLAPSERESET);
        if (TShellNode* node = NodeOf(parent))
            node->Loaded = false;
        SetHasChildren(parent, false);
    } else {
        TreeView_DeleteItem(wnd, Item);
    }
}

void TShellTree::RefreshChildren(HTREEITEM Item, bool DropCollapsed)
{
    const HWND wnd = HandleOrNull();
    TShellNode* node = NodeOf(Item);
    if (!node)
        return;
    const bool expanded = (TreeView_GetItemState(wnd, Item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    bool step5Only = false;
    // 1.
    if (!expanded) {
        if (DropCollapsed) {
            TreeView_Expand(wnd, Item, TVE_COLLAPSE | TVE_COLLAPSERESET);
            node->Loaded = false;
            step5Only = true;
        } else if (!ChildrenLoaded(Item)) {
            return;
        }
    }
    if (!step5Only) {
        // 2.
        for (HTREEITEM child = TreeView_GetChild(wnd, Item); child;) {
            const HTREEITEM next = TreeView_GetNextSibling(wnd, child);
            TShellNode* childNode = NodeOf(child);
            PIDLIST_ABSOLUTE rebuilt = childNode ? ILCombine(node->List, ILFindLastID(childNode->List)) : nullptr;
            if (rebuilt && ShellStillAFolder(rebuilt)) {
                CoTaskMemFree(childNode->List);
                childNode->List = rebuilt;
                RefreshChildren(child, DropCollapsed);
            } else {
                CoTaskMemFree(rebuilt);
                RemoveNode(child);
            }
            child = next;
        }
        // 3.
        bool added = false;
        ComPtr<IShellFolder> folder = ShellBindFolder(node->List);
        ComPtr<IEnumIDList> items;
        if (ChildrenLoaded(Item) || node->Loaded) {
            if (folder && folder->EnumObjects(wnd, SHCONTF_FOLDERS, &items) == S_OK && items) {
                PITEMID_CHILD child = nullptr;
                ULONG fetched = 0;
                while (items->Next(1, &child, &fetched) == S_OK && fetched == 1) {
                    bool known = false;
                    for (HTREEITEM at = TreeView_GetChild(wnd, Item); at && !known; at = TreeView_GetNextSibling(wnd, at))
                        known = HRESULT_CODE(folder->CompareIDs(0, child, ILFindLastID(ListOf(at)))) == 0;
                    SFGAOF attributes = kKeptMask;
                    PCUITEMID_CHILD one = child;
                    if (!known && SUCCEEDED(folder->GetAttributesOf(1, &one, &attributes)) && (attributes & kKeptMask)) {
                        if (PIDLIST_ABSOLUTE absolute = ILCombine(node->List, child)) {
                            AddNode(Item, absolute);
                            added = true;
                        }
                    }
                    CoTaskMemFree(child);
                }
            }
        }
        // 4.
        if (added)
            SortChildren(Item);
    }
    // 5.
    const SFGAOF attributes = ShellAttributes(node->List, kNodeDataMask);
    if (!ShellIsDesktop(node->List))
        SetHasChildren(Item, ChildrenLoaded(Item) || (attributes & SFGAO_HASSUBFOLDER));
    TreeView_SetItemState(wnd, Item, (attributes & SFGAO_SHARE) ? INDEXTOOVERLAYMASK(1) : 0, TVIS_OVERLAYMASK);
}

void TShellTree::RefreshCommand(HTREEITEM From, bool DropCollapsed)
{
    if (FBusy || !HandleAllocated())
        return;
    {
        TBusyScope busy(FBusy);
        THourglass hourglass;
        TNoRedraw bracket(HandleOrNull());
        HTREEITEM at = From;
        while (at && !ShellStillAFolder(ListOf(at)))
            at = TreeView_GetParent(HandleOrNull(), at);
        if (!at) {
            PIDLIST_ABSOLUTE keep = From ? ILClone(ListOf(From)) : nullptr;
            FBusy = false;
            ReRootToDesktop(keep);
            FBusy = true;
            CoTaskMemFree(keep);
        } else {
            RefreshChildren(at, DropCollapsed);
        }
    }
    if (FShellList)
        FShellList->SetFolder(SelectedList());
}

void TShellTree::ReRootToDesktop(PCIDLIST_ABSOLUTE KeepSelected)
{
    FRootText = "rsDesktop";
    FillRoot();
    if (KeepSelected)
        SelectByList(KeepSelected);
}

void TShellTree::ShellChange(PCIDLIST_ABSOLUTE Item1, PCIDLIST_ABSOLUTE Item2, LONG Event)
{
    if (FBusy || !HandleAllocated())
        return;
    switch (Event) {
    case SHCNE_MKDIR:
    case SHCNE_RMDIR:
    case SHCNE_MEDIAINSERTED:
    case SHCNE_MEDIAREMOVED:
    case SHCNE_DRIVEREMOVED:
    case SHCNE_DRIVEADD:
    case SHCNE_NETSHARE:
    case SHCNE_NETUNSHARE:
    case SHCNE_UPDATEITEM:
    case SHCNE_RENAMEFOLDER:
        break;
    default:
        return;
    }
    {
        TBusyScope busy(FBusy);
        THourglass hourglass;
        TNoRedraw bracket(HandleOrNull());
        switch (Event) {
        case SHCNE_MKDIR:
        case SHCNE_DRIVEADD: FolderAdded(Item1); break;
        case SHCNE_RMDIR:
        case SHCNE_DRIVEREMOVED: FolderRemoved(Item1); break;
        case SHCNE_MEDIAINSERTED:
        case SHCNE_MEDIAREMOVED: MediumChanged(Item1); break;
        case SHCNE_NETSHARE:
        case SHCNE_NETUNSHARE:
            if (const HTREEITEM node = LoadedNodeOf(Item1))
                TreeView_SetItemState(HandleOrNull(), node,
                                      (ShellAttributes(Item1, SFGAO_SHARE) & SFGAO_SHARE) ? INDEXTOOVERLAYMASK(1) : 0,
                                      TVIS_OVERLAYMASK);
            break;
        case SHCNE_UPDATEITEM:
            if (const HTREEITEM node = LoadedNodeOf(Item1)) {
                const std::string text = ShellDisplayName(Item1);
                TVITEMA item{};
                item.mask = TVIF_TEXT;
                item.hItem = node;
                item.pszText = const_cast<char*>(text.c_str());
                TreeView_SetItem(HandleOrNull(), &item);
            }
            break;
        case SHCNE_RENAMEFOLDER: FolderRenamed(Item1, Item2); break;
        default: break;
        }
    }
}

void TShellTree::FolderAdded(PCIDLIST_ABSOLUTE Item)
{
    HTREEITEM node = nullptr, parent = nullptr;
    LocateItem(Item, node, parent);
    if (node || !parent)
        return;
    if (!ChildrenLoaded(parent)) {
        SetHasChildren(parent, true);
        return;
    }
    if (PIDLIST_ABSOLUTE fresh = LookUpInParent(parent, Item)) {
        AddNode(parent, fresh);
        SortChildren(parent);
    }
}

bool TShellTree::FolderRemoved(PCIDLIST_ABSOLUTE Item)
{
    HTREEITEM node = nullptr, parent = nullptr;
    LocateItem(Item, node, parent);
    if (node && !parent) {
        FBusy = false;
        ReRootToDesktop(nullptr);
        FBusy = true;
        if (FShellList)
            FShellList->SetFolder(SelectedList());
        return true;
    }
    if (node) {
        RemoveNode(node);
    } else if (parent) {
        const bool hasSub = (ShellAttributes(ListOf(parent), SFGAO_HASSUBFOLDER) & SFGAO_HASSUBFOLDER) != 0;
        SetHasChildren(parent, ChildrenLoaded(parent) || hasSub);
    }
    return false;
}

void TShellTree::MediumChanged(PCIDLIST_ABSOLUTE Item)
{
    const HTREEITEM node = LoadedNodeOf(Item);
    if (!node)
        return;
    if (TreeView_GetParent(HandleOrNull(), node)) {
        RemoveNode(node);
        FolderAdded(Item);
        return;
    }
    FRootText = ShellPathOf(Item);
    FBusy = false;
    FillRoot();
    FBusy = true;
}

void TShellTree::FolderRenamed(PCIDLIST_ABSOLUTE Old, PCIDLIST_ABSOLUTE New)
{
    if (!Old || !New)
        return;
    if (lstrcmpiA(ShellDisplayName(Old).c_str(), ShellDisplayName(New).c_str()) == 0 && !ShellIsDriveRoot(Old)) {
        // The same name elsewhere: a move.
        if (FolderRemoved(Old))
            return;
        FolderAdded(New);
        return;
    }
    const HTREEITEM node = LoadedNodeOf(Old);
    if (!node)
        return;
    const HTREEITEM parent = TreeView_GetParent(HandleOrNull(), node);
    PIDLIST_ABSOLUTE fresh = parent ? LookUpInParent(parent, New) : ILClone(New);
    if (!fresh)
        return;
    TShellNode* data = NodeOf(node);
    CoTaskMemFree(data->List);
    data->List = fresh;
    SetNodeData(node);
    RefreshChildren(node, false);
    if (parent)
        SortChildren(parent);
    if (OnRenamed)
        OnRenamed(this, node);
    if (FShellList && TreeView_GetSelection(HandleOrNull()) == node)
        FShellList->SetFolder(SelectedList());
}

