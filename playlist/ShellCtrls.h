#pragma once
// The shell folder tree: the namespace from its root down (the desktop unless re-rooted),
// file-system folders only (and the virtual folders that contain them, such as the computer
// item), children read when a node first opens, sorted by the desktop's own order. It follows
// the shell's change notifications and the clipboard's cut items, renames folders in place
// and makes new ones.
#include "framework/ComCtrls.h"
#include "framework/Controls.h"
#include "playlist/ShellCore.h"
#include "playlist/ShellDrop.h"
#include "playlist/ShellUtils.h"

#include <commctrl.h>
#include <shlobj.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TCustomShellList;

class TShellTree : public TWinControl, private IShellDropHost {
public:
    explicit TShellTree(TComponent* owner);
    ~TShellTree() override;

    // The file-system path of the selected folder; empty with none, or for a virtual item.
    std::string SelectedPath();
    // Opens the branches down to a folder and selects it; false when it is not in the tree.
    bool SetSelectedPath(const std::string& Path);
    // The children's texts of the node of a folder (the root for an empty path), read
    // when needed.
    std::vector<std::string> ChildTexts(const std::string& Path);
    // The selected node's absolute list (owned by the node); none without a selection.
    PCIDLIST_ABSOLUTE SelectedList();
    std::string SelectedText();
    // Whether the selected node carries the clipboard's cut mark.
    bool SelectedIsCut();

    // The root: the name of a special root ("rsDesktop", "rsDrives", ...) or a folder's path.
    const std::string& Root() const { return FRootText; }
    void SetRoot(const std::string& Value);

    // The folder list that shows the selected folder's files; none unlinks.
    TCustomShellList* ShellList() const { return FShellList; }
    void SetShellList(TCustomShellList* List);

    bool AutoContext = true;
    // Raised after a folder was renamed in place or by the shell.
    std::function<void(TShellTree* Sender, HTREEITEM Node)> OnRenamed;
    // A selection change, told once the selection has rested for the change delay (500 ms
    // from creation; a mouse press tells a waiting one at once).
    TNotifyEvent OnChange;
    int ChangeDelay() const { return FChangeDelay.Delay; }
    void SetChangeDelay(int Value) { FChangeDelay.Delay = Value; }

    // The folders the selection went through, each once after the last: the root text and
    // the folder's absolute list. OnHistory is raised for every record added.
    struct THistoryRecord {
        std::string Root;
        TIdListBytes List;
    };
    const std::vector<THistoryRecord>& History() const { return FHistory; }
    TNotifyEvent OnHistory;

    // The key actions (F2 rename, F5 refresh, Insert new folder, Back re-root).
    void NewFolder();
    // A shell verb on the selected folder ("paste" on the desktop goes to its folder).
    bool InvokeVerb(const char* Verb);
    void RefreshCommand(HTREEITEM From, bool DropCollapsed);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle() override;
    void WndProc(TMessage& message) override;
    bool ReflectedMessage(TMessage& message) override;

private:
    friend class TCustomShellList;
    // A node's folder: its absolute list, and whether its children were read.
    struct TShellNode {
        PIDLIST_ABSOLUTE List = nullptr;  // owned, from the shell allocator
        bool Loaded = false;
        ~TShellNode() { CoTaskMemFree(List); }
    };
    TShellNode* NodeOf(HTREEITEM Item) const;
    PCIDLIST_ABSOLUTE ListOf(HTREEITEM Item) const;
    HTREEITEM AddNode(HTREEITEM Parent, PIDLIST_ABSOLUTE List);
    void SetNodeData(HTREEITEM Item);
    void FillChildren(HTREEITEM Item);
    void SortChildren(HTREEITEM Item);
    HTREEITEM FindNode(PCIDLIST_ABSOLUTE Target);
    // The loaded node whose list equals Target; none when it has none.
    HTREEITEM LoadedNodeOf(PCIDLIST_ABSOLUTE Target, HTREEITEM From = nullptr) const;
    void LocateItem(PCIDLIST_ABSOLUTE Target, HTREEITEM& Node, HTREEITEM& ParentNode) const;
    // The first folder of the parent's enumeration that equals Target, joined to its list.
    PIDLIST_ABSOLUTE LookUpInParent(HTREEITEM ParentNode, PCIDLIST_ABSOLUTE Target);
    void FillRoot();
    void ReRootToDesktop(PCIDLIST_ABSOLUTE KeepSelected);
    void SelectByList(PCIDLIST_ABSOLUTE Target);
    // Selects with no change delay for the moment.
    void SelectQuietly(HTREEITEM Item);
    // The told selection change: the linked list follows, the history grows.
    void Change();
    void AddHistory();
    void RemoveNode(HTREEITEM Item);
    void RefreshChildren(HTREEITEM Item, bool DropCollapsed);
    void SetHasChildren(HTREEITEM Item, bool Value);
    bool ChildrenLoaded(HTREEITEM Item) const;

    // Shell change notifications (message 0x465).
    void ShellChange(PCIDLIST_ABSOLUTE Item1, PCIDLIST_ABSOLUTE Item2, LONG Event);
    void FolderAdded(PCIDLIST_ABSOLUTE Item);
    // True when the removal re-rooted the tree.
    bool FolderRemoved(PCIDLIST_ABSOLUTE Item);
    void FolderRenamed(PCIDLIST_ABSOLUTE Old, PCIDLIST_ABSOLUTE New);
    void MediumChanged(PCIDLIST_ABSOLUTE Item);

    // The clipboard's cut items.
    void ClipboardChanged();
    void UpdateCutMarks();
    bool AmongClipboardItems(PCIDLIST_ABSOLUTE List) const;
    void SetCut(HTREEITEM Item, bool Cut);

    // Rename in place.
    bool CanRename(HTREEITEM Item);
    void EndLabelEdit(HTREEITEM Item, const char* Text);
    void KeyDown(WPARAM Key);

    // Drag source and context menu through the shell.
    void BeginDrag(HTREEITEM Item, int Button);
    void ShowContextMenu();

    // Drop target.
    Microsoft::WRL::ComPtr<IDropTarget> DropTargetAt(POINT Client) override;
    void DragMoved(POINT Client) override;
    void DragEnded() override;
    HWND DropWindow() override { return HandleOrNull(); }

    static int CALLBACK CompareNodes(LPARAM A, LPARAM B, LPARAM Desktop);

    TTreeChangeDelay FChangeDelay{[this] { Change(); }};
    std::vector<THistoryRecord> FHistory;
    std::vector<std::unique_ptr<TShellNode>> FNodes;
    std::string FRootText = "rsDesktop";
    TCustomShellList* FShellList = nullptr;
    bool FBusy = false;
    ULONG FNotifyId = 0;
    TShellWindowLinks FLinks;
    std::vector<TIdListBytes> FClipboardItems;  // absolute lists
    TIdListBytes FClipboardFolder;
    IContextMenu2* FContextMenu2 = nullptr;   // while the shell's menu is open
    DWORD FLastScroll = 0;
    HTREEITEM FHoverItem = nullptr;
    DWORD FHoverSince = 0;
};
