#pragma once
// The shell folder tree: the namespace from the desktop down, file-system folders only (and
// the virtual folders that contain them, such as the computer item), children read when a
// node first opens, sorted by the desktop's own order.
#include "framework/Controls.h"

#include <commctrl.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

class TShellTree : public TWinControl {
public:
    explicit TShellTree(TComponent* owner);
    ~TShellTree() override;

    // The file-system path of the selected folder; empty with none, or for a virtual item.
    std::string SelectedPath();
    // Opens the branches down to a folder and selects it; false when it is not in the tree.
    bool SetSelectedPath(const std::string& Path);
    // The children's texts of the node of a folder (the desktop for an empty path), read
    // when needed.
    std::vector<std::string> ChildTexts(const std::string& Path);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle() override;
    bool ReflectedMessage(TMessage& message) override;

private:
    struct TShellNode;
    TShellNode* NodeOf(HTREEITEM Item) const;
    HTREEITEM AddNode(HTREEITEM Parent, PIDLIST_ABSOLUTE List, const std::string& Text, bool HasChildren);
    void FillChildren(HTREEITEM Item);
    HTREEITEM FindNode(PCIDLIST_ABSOLUTE Target);
    // The desktop's order of two nodes' absolute lists (column 0).
    static int CALLBACK CompareNodes(LPARAM A, LPARAM B, LPARAM Desktop);

    std::vector<std::unique_ptr<TShellNode>> FNodes;
    HTREEITEM FRoot = nullptr;
};
