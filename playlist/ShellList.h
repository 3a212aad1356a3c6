#pragma once
// The shell folder list: the files of one folder (normally the folder selected in a linked
// shell tree) in a virtual report list with name, size, type and modification-time columns,
// sorted by column, refilled by a watch thread when the folder changes.
#include "framework/Controls.h"
#include "playlist/ShellCore.h"
#include "playlist/ShellDrop.h"
#include "playlist/ShellUtils.h"

#include <commctrl.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <memory>
#include <string>
#include <vector>

class TShellTree;
class TFileNotifyThread;

class TCustomShellList : public TWinControl, private IShellDropHost {
public:
    explicit TCustomShellList(TComponent* owner);
    ~TCustomShellList() override;

    // Shows the files of the folder an absolute list names; none empties the list. Binding a
    // new folder that cannot be bound raises.
    void SetFolder(PCIDLIST_ABSOLUTE List);
    // The linked tree's selected folder, or none without a tree; the watch thread's callback.
    void Refresh();
    TShellTree* ShellTree() const { return FTree; }
    // The file-system path of the shown folder; empty with none.
    std::string FolderPath() const;

    int Count() const { return static_cast<int>(FRecords.size()); }
    // A cell's text as the list shows it (column in display order).
    std::string CellText(int Index, int Column) const;
    std::vector<std::string> ColumnCaptions() const;
    // A header click on a column (display order).
    void ColumnClick(int Column);
    TShellSortState Sort() const { return FSort; }
    std::vector<int> SelectedIndexes();
    void SetSelected(int Index, bool Value);
    // Whether a watch thread runs on the shown folder.
    bool Watching() const;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle() override;
    void WndProc(TMessage& message) override;
    bool ReflectedMessage(TMessage& message) override;

private:
    friend class TShellTree;
    struct TRecord;
    // Set by the tree's ShellList; the list follows the new tree.
    void LinkTree(TShellTree* Tree);
    void StopWatch();
    void StartWatch();
    void FreeRecords();
    void SortRecords();
    void BuildColumns();
    void ShowSortArrow(bool Show);
    void SortByKind(TShellColumnKind Kind, bool Descending);
    // The relative lists of the selected and the focused items, kept across a refill.
    void RememberSelection();
    void RestoreSelection();
    void GetDispInfo(NMLVDISPINFOA& info);
    int FindItem(const NMLVFINDITEMA& find) const;
    void OpenSelected();
    void WindowGone();
    Microsoft::WRL::ComPtr<IDropTarget> DropTargetAt(POINT Client) override;
    void DragEnded() override;
    HWND DropWindow() override { return HandleOrNull(); }
    std::vector<PCUITEMID_CHILD> SelectedItems();
    void InvokeVerb(const char* Verb);
    void BeginDrag(int Button);
    void InfoTip(NMLVGETINFOTIPA& tip);
    bool CanRename(int Index);
    void EndLabelEdit(int Index, const char* Text);
    void ClipboardChanged();
    bool AmongClipboardItems(PCIDLIST_ABSOLUTE List) const;

    std::vector<std::unique_ptr<TRecord>> FRecords;
    PIDLIST_ABSOLUTE FFolderList = nullptr;  // owned
    Microsoft::WRL::ComPtr<IShellFolder> FFolder;
    std::unique_ptr<TFileNotifyThread> FWatch;
    std::unique_ptr<TFileNotifyThread> FRetiredWatch;  // stopped from inside its own callback
    bool FWatchEnded = false;
    bool FInWatchCall = false;
    bool FClosing = false;
    TShellTree* FTree = nullptr;
    bool FBusy = false;
    std::vector<PITEMID_CHILD> FRememberedSelection;  // owned
    PITEMID_CHILD FRememberedFocus = nullptr;         // owned
    std::vector<TShellColumnKind> FColumnKinds;       // the shown columns' kinds in order
    int FKindWidth[4] = {50, 50, 50, 50};
    TShellSortState FSort;
    std::string FSizeTemplate;
    TShellWindowLinks FLinks;
    std::vector<TIdListBytes> FClipboardItems;  // absolute lists
    TIdListBytes FClipboardFolder;
    bool FEditWasSelected = false;
    std::string FKindCaption[4];
};
