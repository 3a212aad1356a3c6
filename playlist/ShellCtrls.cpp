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

struct TShellTree::TShellNode {
    PIDLIST_ABSOLUTE List = nullptr;  // owned, from the shell allocator
    bool Loaded = false;
    ~TShellNode() { CoTaskMemFree(List); }
};

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

PIDLIST_ABSOLUTE SpecialFolderList(int Folder)
{
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, Folder, &list)))
        return nullptr;
    return list;
}

// The root text's list: a special root's, else the parse of the text as a path.
PIDLIST_ABSOLUTE RootList(const std::string& Text)
{
    for (const TRootSpecial& special : kRootSpecials)
        if (Text == special.Name)
            return SpecialFolderList(special.Folder);
    return ShellParsePath(Text);
}

// The desktop's comparison (column 0); two absent lists are equal, one absent equals nothing.
bool SameList(PCIDLIST_ABSOLUTE A, PCIDLIST_ABSOLUTE B)
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

bool IsDesktopList(PCIDLIST_ABSOLUTE List) { return List && List->mkid.cb == 0; }

int ItemCount(PCUIDLIST_RELATIVE List)
{
    int count = 0;
    for (PCUIDLIST_RELATIVE at = List; at && at->mkid.cb; at = ILNext(at))
        ++count;
    return count;
}

// A is B or one of its ancestors: B cut to A's item count equals A (the lists of a path and
// of an enumeration differ in their bytes, so the desktop compares them).
bool IsAncestor(PCIDLIST_ABSOLUTE A, PCIDLIST_ABSOLUTE B)
{
    if (!A || !B)
        return false;
    const int count = ItemCount(A);
    if (ItemCount(B) < count)
        return false;
    PIDLIST_ABSOLUTE cut = ILClone(B);
    if (!cut)
        return false;
    PUIDLIST_RELATIVE at = cut;
    for (int i = 0; i < count; ++i)
        at = ILNext(at);
    at->mkid.cb = 0;
    const bool same = SameList(A, cut);
    CoTaskMemFree(cut);
    return same;
}

// The shell's attributes of an absolute list for the bits of Mask; 0 when the query fails.
SFGAOF ShellAttributes(PCIDLIST_ABSOLUTE List, SFGAOF Mask)
{
    if (!List)
        return 0;
    if (IsDesktopList(List))
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
bool IsDriveRoot(PCIDLIST_ABSOLUTE List)
{
    const std::string path = ShellPathOf(List);
    return !path.empty() && path.back() == '\\';
}

// Still a folder: it binds, and a file-system item's directory still exists.
bool StillAFolder(PCIDLIST_ABSOLUTE List)
{
    if (IsDesktopList(List))
        return true;
    if (!ShellBindFolder(List))
        return false;
    const std::string path = ShellPathOf(List);
    return path.empty() || path.back() == '\\' || DirectoryExists(path);
}

PIDLIST_ABSOLUTE ParentList(PCIDLIST_ABSOLUTE List)
{
    PIDLIST_ABSOLUTE parent = ILClone(List);
    if (parent)
        ILRemoveLastID(parent);
    return parent;
}

// The new-folder text; the usual one where the platform has none.
std::string NewFolderText() { return ShellLibraryString("shell32.dll", 30320, "New Folder"); }

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

}  // namespace

// ---- the tree ----

TShellTree::TShellTree(TComponent* owner) : TWinControl(owner)
{
    static const bool registered = [] {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TREEVIEW_CLASSES};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    (void)registered;
    ShellEnsureOle();
    FWidth = 263;
    FHeight = 321;
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
    PIDLIST_ABSOLUTE desktop = SpecialFolderList(CSIDL_DESKTOP);
    SHChangeNotifyEntry entry{desktop, TRUE};
    FNotifyId = SHChangeNotifyRegister(wnd, SHCNRF_InterruptLevel | SHCNRF_ShellLevel, SHCNE_ALLEVENTS,
                                       kShellChangeMessage, 1, &entry);
    CoTaskMemFree(desktop);
    SetLastError(0);
    FNextViewer = SetClipboardViewer(wnd);
    FInViewerChain = GetLastError() == 0 || FNextViewer != nullptr;
    FDropTarget = new TShellDropTarget(this);
    if (FAILED(RegisterDragDrop(wnd, FDropTarget))) {
        FDropTarget->Detach();
        FDropTarget->Release();
        FDropTarget = nullptr;
    }
}

void TShellTree::WndProc(TMessage& message)
{
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
        CallGuarded([this] { ClipboardChanged(); });
        if (FNextViewer)
            SendMessageA(FNextViewer, message.Msg, message.WParam, message.LParam);
        message.Result = 0;
        return;
    case WM_CHANGECBCHAIN:
        if (reinterpret_cast<HWND>(message.WParam) == FNextViewer)
            FNextViewer = reinterpret_cast<HWND>(message.LParam);
        else if (FNextViewer)
            SendMessageA(FNextViewer, message.Msg, message.WParam, message.LParam);
        message.Result = 0;
        return;
    case WM_DESTROY:
        if (FNotifyId) {
            SHChangeNotifyDeregister(FNotifyId);
            FNotifyId = 0;
        }
        if (FInViewerChain) {
            ChangeClipboardChain(HandleOrNull(), FNextViewer);
            FInViewerChain = false;
            FNextViewer = nullptr;
        }
        if (FDropTarget) {
            RevokeDragDrop(HandleOrNull());
            FDropTarget->Detach();
            FDropTarget->Release();
            FDropTarget = nullptr;
        }
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
    item.cChildren = IsDesktopList(list) || (attributes & SFGAO_HASSUBFOLDER) ? 1 : 0;
    item.stateMask = TVIS_OVERLAYMASK | TVIS_CUT;
    item.state = (attributes & SFGAO_SHARE) ? INDEXTOOVERLAYMASK(1) : 0;
    const HTREEITEM parent = TreeView_GetParent(HandleOrNull(), Item);
    const bool cut = parent ? SameList(ListOf(parent), reinterpret_cast<PCIDLIST_ABSOLUTE>(FClipboardFolder.data())) &&
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
        root = SpecialFolderList(CSIDL_DESKTOP);
    }
    if (!root)
        return;
    // Root lines only below another root than the desktop.
    LONG_PTR style = GetWindowLongPtrA(wnd, GWL_STYLE);
    style = IsDesktopList(root) ? (style & ~TVS_LINESATROOT) : (style | TVS_LINESATROOT);
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
    TreeView_SelectItem(HandleOrNull(), Item);
}

bool TShellTree::ReflectedMessage(TMessage& message)
{
    if (message.Msg != WM_NOTIFY)
        return false;
    auto* header = reinterpret_cast<NMHDR*>(message.LParam);
    switch (header->code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        // The linked list follows the selected folder.
        if (FShellList)
            CallGuarded([&] { FShellList->SetFolder(SelectedList()); });
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
        if (SameList(node->List, Target))
            return at;
        FillChildren(at);
        HTREEITEM child = TreeView_GetChild(HandleOrNull(), at);
        while (child && !IsAncestor(NodeOf(child)->List, Target))
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
    TreeView_SelectItem(HandleOrNull(), found);
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
        if (SameList(list, Target))
            return at;
        // Only a branch that holds the target can hold its node.
        if (list && IsAncestor(list, Target))
            if (const HTREEITEM found = LoadedNodeOf(Target, at))
                return found;
    }
    return nullptr;
}

void TShellTree::LocateItem(PCIDLIST_ABSOLUTE Target, HTREEITEM& Node, HTREEITEM& ParentNode) const
{
    Node = LoadedNodeOf(Target);
    ParentNode = Node ? TreeView_GetParent(HandleOrNull(), Node) : nullptr;
    if (!Node && Target && !IsDesktopList(Target)) {
        PIDLIST_ABSOLUTE parent = ParentList(Target);
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
        if (SameList(joined, Target))
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
            if (rebuilt && StillAFolder(rebuilt)) {
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
    if (!IsDesktopList(node->List))
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
        while (at && !StillAFolder(ListOf(at)))
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
    if (lstrcmpiA(ShellDisplayName(Old).c_str(), ShellDisplayName(New).c_str()) == 0 && !IsDriveRoot(Old)) {
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

// ---- the clipboard's cut items ----

bool TShellTree::AmongClipboardItems(PCIDLIST_ABSOLUTE List) const
{
    for (const TIdListBytes& item : FClipboardItems)
        if (SameList(reinterpret_cast<PCIDLIST_ABSOLUTE>(item.data()), List))
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
    if (!list || IsDesktopList(list))
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
    if (id == 0 && !ShellPathOf(list).empty() && !IsDriveRoot(list))
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
    PIDLIST_ABSOLUTE parentList = ParentList(list);
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
        PIDLIST_ABSOLUTE drives = SpecialFolderList(CSIDL_DRIVES);
        if (drives && !IsAncestor(drives, list))
            if (const HTREEITEM computer = LoadedNodeOf(drives))
                RefreshChildren(computer, false);
        CoTaskMemFree(drives);
        PIDLIST_ABSOLUTE parsed = ShellParsePath(name);
        if (parsed) {
            PIDLIST_ABSOLUTE joined = ILCombine(list, ILFindLastID(parsed));
            CoTaskMemFree(parsed);
            for (HTREEITEM at = TreeView_GetChild(wnd, selected); at && joined; at = TreeView_GetNextSibling(wnd, at))
                if (SameList(ListOf(at), joined)) {
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
        if (IsDesktopList(ListOf(root)) || (!ctrl && selected != root))
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
    if (IsDesktopList(list)) {
        // The desktop pastes into its file-system folder; it has no other verbs.
        if (lstrcmpiA(Verb, "paste") != 0)
            return false;
        PIDLIST_ABSOLUTE directory = SpecialFolderList(CSIDL_DESKTOPDIRECTORY);
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
    if (!list || IsDesktopList(list) || FAILED(SHBindToParent(list, IID_PPV_ARGS(&parent), &last)))
        return;
    ComPtr<IDataObject> data;
    const HRESULT hr = parent->GetUIObjectOf(HandleOrNull(), 1, &last, IID_IDataObject, nullptr, &data);
    if (hr == E_NOINTERFACE)
        return;
    if (FAILED(hr))
        throw EOSError(SysErrorMessage(static_cast<uint32_t>(hr)));
    const SFGAOF attributes = ShellAttributes(list, SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK);
    DWORD allowed = 0;
    if (attributes & SFGAO_CANCOPY)
        allowed |= DROPEFFECT_COPY;
    if (attributes & SFGAO_CANMOVE)
        allowed |= DROPEFFECT_MOVE;
    if (attributes & SFGAO_CANLINK)
        allowed |= DROPEFFECT_LINK;
    TreeView_SelectDropTarget(HandleOrNull(), Item);
    TDropSource* source = new TDropSource(Button);
    DWORD effect = 0;
    DoDragDrop(data.Get(), source, allowed, &effect);
    source->Release();
    TreeView_SelectDropTarget(HandleOrNull(), nullptr);
}

void TShellTree::ShowContextMenu()
{
    const HWND wnd = HandleOrNull();
    PCIDLIST_ABSOLUTE list = SelectedList();
    ComPtr<IShellFolder> parent;
    PCUITEMID_CHILD last = nullptr;
    // 1.
    if (!list || IsDesktopList(list) || FAILED(SHBindToParent(list, IID_PPV_ARGS(&parent), &last)))
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
    PIDLIST_ABSOLUTE directory = IsDesktopList(list) ? SpecialFolderList(CSIDL_DESKTOPDIRECTORY) : nullptr;
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
