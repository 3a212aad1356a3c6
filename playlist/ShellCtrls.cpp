#include "playlist/ShellCtrls.h"

#include <shellapi.h>
#include <shlwapi.h>
#include <wrl/client.h>

#include <algorithm>

using Microsoft::WRL::ComPtr;

struct TShellTree::TShellNode {
    PIDLIST_ABSOLUTE List = nullptr;  // owned, from the shell allocator
    bool Loaded = false;
    ~TShellNode() { CoTaskMemFree(List); }
};

namespace {

ComPtr<IShellFolder> Desktop()
{
    ComPtr<IShellFolder> desktop;
    SHGetDesktopFolder(&desktop);
    return desktop;
}

// The folder an absolute list names (the desktop for the empty list).
ComPtr<IShellFolder> BindFolder(PCIDLIST_ABSOLUTE List)
{
    ComPtr<IShellFolder> desktop = Desktop();
    if (!desktop || !List || List->mkid.cb == 0)
        return desktop;
    ComPtr<IShellFolder> folder;
    if (FAILED(desktop->BindToObject(List, nullptr, IID_PPV_ARGS(&folder))))
        return nullptr;
    return folder;
}

std::string DisplayName(IShellFolder* Folder, PCUITEMID_CHILD Item, SHGDNF Flags)
{
    STRRET name{};
    if (FAILED(Folder->GetDisplayNameOf(Item, Flags, &name)))
        return {};
    char text[MAX_PATH] = {};
    StrRetToBufA(&name, Item, text, sizeof text);
    return text;
}

int SmallIconIndex(PCIDLIST_ABSOLUTE List, UINT Extra)
{
    SHFILEINFOA info{};
    SHGetFileInfoA(reinterpret_cast<LPCSTR>(List), 0, &info, sizeof info,
                   SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | Extra);
    return info.iIcon;
}

}  // namespace

TShellTree::TShellTree(TComponent* owner) : TWinControl(owner)
{
    static const bool registered = [] {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TREEVIEW_CLASSES};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    (void)registered;
    FWidth = 263;
    FHeight = 321;
}

TShellTree::~TShellTree() = default;

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
    params.Style |= TVS_HASLINES | TVS_HASBUTTONS | TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP | WS_BORDER;
}

void TShellTree::CreateWindowHandle()
{
    // The system image list is shared: the tree never frees it.
    SHFILEINFOA info{};
    const auto images = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    TreeView_SetImageList(HandleOrNull(), images, TVSIL_NORMAL);
    TreeView_SetIndent(HandleOrNull(), 19);
    FNodes.clear();
    PIDLIST_ABSOLUTE desktop = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop)))
        return;
    ComPtr<IShellFolder> root = Desktop();
    std::string text = "Desktop";
    if (root) {
        STRRET name{};
        char buffer[MAX_PATH] = {};
        if (SUCCEEDED(root->GetDisplayNameOf(desktop, SHGDN_NORMAL, &name)) &&
            SUCCEEDED(StrRetToBufA(&name, desktop, buffer, sizeof buffer)))
            text = buffer;
    }
    FRoot = AddNode(TVI_ROOT, desktop, text, true);
    TreeView_Expand(HandleOrNull(), FRoot, TVE_EXPAND);
}

TShellTree::TShellNode* TShellTree::NodeOf(HTREEITEM Item) const
{
    TVITEMA item{};
    item.mask = TVIF_PARAM;
    item.hItem = Item;
    if (!Item || !TreeView_GetItem(HandleOrNull(), &item))
        return nullptr;
    return reinterpret_cast<TShellNode*>(item.lParam);
}

HTREEITEM TShellTree::AddNode(HTREEITEM Parent, PIDLIST_ABSOLUTE List, const std::string& Text, bool HasChildren)
{
    auto node = std::make_unique<TShellNode>();
    node->List = List;
    TVINSERTSTRUCTA insert{};
    insert.hParent = Parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.pszText = const_cast<char*>(Text.c_str());
    insert.item.lParam = reinterpret_cast<LPARAM>(node.get());
    insert.item.iImage = SmallIconIndex(List, 0);
    insert.item.iSelectedImage = SmallIconIndex(List, SHGFI_OPENICON);
    insert.item.cChildren = HasChildren ? 1 : 0;
    FNodes.push_back(std::move(node));
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(HandleOrNull(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TShellTree::FillChildren(HTREEITEM Item)
{
    TShellNode* node = NodeOf(Item);
    if (!node || node->Loaded)
        return;
    node->Loaded = true;
    ComPtr<IShellFolder> folder = BindFolder(node->List);
    ComPtr<IEnumIDList> items;
    // Folders that cannot be bound or listed are skipped quietly; no critical-error box.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    if (folder && folder->EnumObjects(HandleOrNull(), SHCONTF_FOLDERS, &items) == S_OK && items) {
        PITEMID_CHILD child = nullptr;
        ULONG fetched = 0;
        while (items->Next(1, &child, &fetched) == S_OK && fetched == 1) {
            SFGAOF attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER;
            PCUITEMID_CHILD one = child;
            if (SUCCEEDED(folder->GetAttributesOf(1, &one, &attributes)) && (attributes & SFGAO_FOLDER) &&
                (attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR))) {
                PIDLIST_ABSOLUTE absolute = ILCombine(node->List, child);
                if (absolute)
                    AddNode(Item, absolute, DisplayName(folder.Get(), child, SHGDN_INFOLDER),
                            (attributes & SFGAO_HASSUBFOLDER) != 0);
            }
            CoTaskMemFree(child);
        }
    }
    SetErrorMode(oldMode);
    ComPtr<IShellFolder> desktop = Desktop();
    if (desktop) {
        TVSORTCB sort{Item, CompareNodes, reinterpret_cast<LPARAM>(desktop.Get())};
        TreeView_SortChildrenCB(HandleOrNull(), &sort, FALSE);
    }
    if (!TreeView_GetChild(HandleOrNull(), Item)) {
        TVITEMA none{};
        none.mask = TVIF_CHILDREN;
        none.hItem = Item;
        TreeView_SetItem(HandleOrNull(), &none);
    }
}

bool TShellTree::ReflectedMessage(TMessage& message)
{
    if (message.Msg != WM_NOTIFY)
        return false;
    auto* header = reinterpret_cast<NMHDR*>(message.LParam);
    if (header->code != TVN_ITEMEXPANDINGA && header->code != TVN_ITEMEXPANDINGW)
        return false;
    auto* change = reinterpret_cast<NMTREEVIEWA*>(message.LParam);
    if (change->action & TVE_EXPAND)
        FillChildren(change->itemNew.hItem);
    message.Result = FALSE;
    return true;
}

std::string TShellTree::SelectedPath()
{
    TShellNode* node = NodeOf(TreeView_GetSelection(Handle()));
    char path[MAX_PATH] = {};
    if (!node || !SHGetPathFromIDListA(node->List, path))
        return {};
    return path;
}

HTREEITEM TShellTree::FindNode(PCIDLIST_ABSOLUTE Target)
{
    HTREEITEM at = TreeView_GetRoot(Handle());
    while (at) {
        TShellNode* node = NodeOf(at);
        if (ILIsEqual(node->List, Target))
            return at;
        FillChildren(at);
        HTREEITEM child = TreeView_GetChild(HandleOrNull(), at);
        while (child && !ILIsParent(NodeOf(child)->List, Target, FALSE))
            child = TreeView_GetNextSibling(HandleOrNull(), child);
        if (child)
            TreeView_Expand(HandleOrNull(), at, TVE_EXPAND);
        at = child;
    }
    return nullptr;
}

bool TShellTree::SetSelectedPath(const std::string& Path)
{
    ComPtr<IShellFolder> desktop = Desktop();
    if (!desktop)
        return false;
    std::wstring wide(Path.size() + 1, L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, Path.c_str(), -1, wide.data(),
                                                        static_cast<int>(wide.size()))));
    PIDLIST_RELATIVE parsed = nullptr;
    if (wide.empty() || FAILED(desktop->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &parsed, nullptr)))
        return false;
    const HTREEITEM found = FindNode(reinterpret_cast<PCIDLIST_ABSOLUTE>(parsed));
    CoTaskMemFree(parsed);
    if (!found)
        return false;
    TreeView_SelectItem(HandleOrNull(), found);
    return true;
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
