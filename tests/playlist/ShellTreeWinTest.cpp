// The shell folder tree and the add-directory dialog under Wine: folders only, the computer
// item without a path, and what OK and Cancel add to the play list.
#include "playlist/AddDirUnit.h"
#include "playlist/PlaylistUnit.h"
#include "playlist/ShellCtrls.h"

#include "engine/ExternalFilterCntl.h"
#include "framework/ListView.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"
#include "tests/playlist/PlayListFakes.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <fstream>
#include <thread>

using namespace pvltest;

namespace {

void Touch(const std::string& name) { std::ofstream(name) << "x"; }

class ShellTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMainThread(std::this_thread::get_id());
        CreateDirectoryA(Dir.File("sub").c_str(), nullptr);
        CreateDirectoryA(Dir.File("sub\\deeper").c_str(), nullptr);
        Touch(Dir.File("a.mp3"));
        Touch(Dir.File("notes.txt"));
        Touch(Dir.File("sub\\b.mp3"));
        Dialog = App.CreateForm<TAddDirForm>();
        Playlist = App.CreateForm<TPlaylistForm>(&Engine, &Windows, TPlaylistFormHost{});
        Playlist->AddDirForm = Dialog;
    }

    // The play list's names below the temporary folder, sorted.
    std::vector<std::string> AddedNames()
    {
        while (Playlist->List()->FindFile().Busy())
            CheckSynchronize(10);
        std::vector<std::string> names = Names(*Playlist->List());
        for (std::string& name : names)
            name = name.substr(Dir.Path().size());
        std::sort(names.begin(), names.end());
        return names;
    }

    TComApartment Com;
    TTempDir Dir;
    TApplication App;
    TFakeEngine Engine;
    TFakeWindows Windows;
    TAddDirForm* Dialog = nullptr;
    TPlaylistForm* Playlist = nullptr;
};

}  // namespace

TEST_F(ShellTreeTest, TreeShowsFoldersOnlyAndSelectsByPath)
{
    TShellTree& tree = *Dialog->ShellTree1;
    CreateDirectoryA(Dir.File("zeta").c_str(), nullptr);
    CreateDirectoryA(Dir.File("Alpha").c_str(), nullptr);
    // The root, the desktop, is selected from the start.
    EXPECT_FALSE(tree.SelectedText().empty());
    // Files are left out; the folders come in the shell's order.
    EXPECT_EQ(tree.ChildTexts(Dir.Path()), (std::vector<std::string>{"Alpha", "sub", "zeta"}));
    ASSERT_TRUE(tree.SetSelectedPath(Dir.File("sub")));
    EXPECT_EQ(tree.SelectedPath(), Dir.File("sub"));
    EXPECT_EQ(tree.ChildTexts(Dir.File("sub")), std::vector<std::string>{"deeper"});
    EXPECT_FALSE(tree.SetSelectedPath(Dir.File("missing")));
}

TEST_F(ShellTreeTest, ComputerItemHasNoPath)
{
    TShellTree& tree = *Dialog->ShellTree1;
    ASSERT_TRUE(tree.SetSelectedPath("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"));
    // The root, the desktop, is selected from the start.
    EXPECT_FALSE(tree.SelectedText().empty());
    Playlist->AddDirectoryResult(mrOk);
    EXPECT_EQ(Playlist->List()->ItemCount(), 0);
}

TEST_F(ShellTreeTest, OkAddsTheFolderCancelNothing)
{
    ASSERT_TRUE(Dialog->ShellTree1->SetSelectedPath(ExcludeTrailingPathDelimiter(Dir.Path())));
    Playlist->AddDirectoryResult(mrCancel);
    EXPECT_TRUE(AddedNames().empty());

    Playlist->AddDirectoryResult(mrOk);
    EXPECT_EQ(AddedNames(), std::vector<std::string>{"a.mp3"});

    Playlist->List()->Clear();
    Dialog->CheckBox1->SetChecked(true);
    Playlist->AddDirectoryResult(mrOk);
    EXPECT_EQ(AddedNames(), (std::vector<std::string>{"a.mp3", "sub\\b.mp3"}));
    EXPECT_EQ(Playlist->ListView1->Count(), 2);
    // The dialog keeps its folder and its box.
    EXPECT_EQ(Dialog->ShellTree1->SelectedPath(), ExcludeTrailingPathDelimiter(Dir.Path()));
    EXPECT_TRUE(Dialog->CheckBox1->Checked());
}

namespace {

// Serves this thread's messages for a while or until the condition holds.
bool PumpFor(const std::function<bool()>& done, int milliseconds = 3000)
{
    for (int waited = 0; waited <= milliseconds; waited += 20) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done())
            return true;
        Sleep(20);
    }
    return false;
}

std::string ItemText(HWND tree, HTREEITEM item)
{
    char text[MAX_PATH] = {};
    TVITEMA data{};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = sizeof text;
    TreeView_GetItem(tree, &data);
    return text;
}

// The selected node's child whose text ends with Suffix.
HTREEITEM ChildEndingWith(HWND tree, const std::string& suffix)
{
    for (HTREEITEM at = TreeView_GetChild(tree, TreeView_GetSelection(tree)); at; at = TreeView_GetNextSibling(tree, at)) {
        const std::string text = ItemText(tree, at);
        if (text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0)
            return at;
    }
    return nullptr;
}

bool Contains(const std::vector<std::string>& texts, const std::string& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

}  // namespace

TEST_F(ShellTreeTest, InsertMakesNumberedFoldersAndF2Renames)
{
    TShellTree& tree = *Dialog->ShellTree1;
    const HWND wnd = tree.Handle();
    ASSERT_TRUE(tree.SetSelectedPath(ExcludeTrailingPathDelimiter(Dir.Path())));
    SendMessageA(wnd, WM_KEYDOWN, VK_INSERT, 0);
    // The new folder's label is being edited; a cancelled edit keeps its name.
    ASSERT_NE(TreeView_GetEditControl(wnd), nullptr);
    TreeView_EndEditLabelNow(wnd, TRUE);
    // The edit selected the new node; its folder is looked at again.
    ASSERT_TRUE(tree.SetSelectedPath(ExcludeTrailingPathDelimiter(Dir.Path())));
    const HTREEITEM first = ChildEndingWith(wnd, " (1)");
    ASSERT_NE(first, nullptr);
    const std::string firstName = ItemText(wnd, first);
    EXPECT_TRUE(DirectoryExists(Dir.File(firstName)));
    SendMessageA(wnd, WM_KEYDOWN, VK_INSERT, 0);
    TreeView_EndEditLabelNow(wnd, TRUE);
    ASSERT_TRUE(tree.SetSelectedPath(ExcludeTrailingPathDelimiter(Dir.Path())));
    const HTREEITEM second = ChildEndingWith(wnd, " (2)");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(ItemText(wnd, second), firstName.substr(0, firstName.size() - 4) + " (2)");
    EXPECT_TRUE(DirectoryExists(Dir.File(ItemText(wnd, second))));

    // Rename in place: the folder and the node take the typed name.
    TreeView_SelectItem(wnd, first);
    SendMessageA(wnd, WM_KEYDOWN, VK_F2, 0);
    const HWND edit = TreeView_GetEditControl(wnd);
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "Renamed");
    TreeView_EndEditLabelNow(wnd, FALSE);
    EXPECT_TRUE(DirectoryExists(Dir.File("Renamed")));
    EXPECT_FALSE(DirectoryExists(Dir.File(firstName)));
    EXPECT_EQ(tree.SelectedText(), "Renamed");
    EXPECT_EQ(tree.SelectedPath(), Dir.File("Renamed"));

    // The desktop item starts no edit.
    TreeView_SelectItem(wnd, TreeView_GetRoot(wnd));
    SendMessageA(wnd, WM_KEYDOWN, VK_F2, 0);
    EXPECT_EQ(TreeView_GetEditControl(wnd), nullptr);
}

TEST_F(ShellTreeTest, SelectionChangeWaitsForItsDelayAndGrowsTheHistory)
{
    TShellTree& tree = *Dialog->ShellTree1;
    const HWND wnd = tree.Handle();
    EXPECT_EQ(tree.ChangeDelay(), 500);
    int changes = 0, histories = 0;
    tree.OnChange = [&](TObject*) { ++changes; };
    tree.OnHistory = [&](TObject*) { ++histories; };
    // The root's selection at creation was told at once and began the history.
    ASSERT_EQ(tree.History().size(), 1u);
    EXPECT_EQ(tree.History().front().List.size(), 2u) << "the desktop's empty list";

    // A selection by path is told at once; the same folder again adds nothing.
    const std::string folder = ExcludeTrailingPathDelimiter(Dir.Path());
    ASSERT_TRUE(tree.SetSelectedPath(folder));
    ASSERT_TRUE(tree.SetSelectedPath(folder));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(histories, 1);

    // The user's moves (the keys select as this does) are told once the selection rests.
    ASSERT_TRUE(tree.SetSelectedPath(Dir.File("sub\\deeper")));
    const HTREEITEM deeper = TreeView_GetSelection(wnd);
    const HTREEITEM sub = TreeView_GetParent(wnd, deeper);
    ASSERT_TRUE(PumpFor([&] { return changes == 2; }));
    TreeView_SelectItem(wnd, sub);
    TreeView_SelectItem(wnd, deeper);
    TreeView_SelectItem(wnd, sub);
    EXPECT_EQ(changes, 2) << "nothing told before the delay";
    EXPECT_TRUE(PumpFor([&] { return changes == 3; }));

    // A mouse press tells a waiting change at once (the press lands below the rows).
    TreeView_SelectItem(wnd, deeper);
    RECT client{};
    GetClientRect(wnd, &client);
    PostMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(3, client.bottom - 3));
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, client.bottom - 3));
    EXPECT_EQ(changes, 4);

    // Each told folder is a record, the root text beside it.
    std::vector<std::string> paths;
    for (const TShellTree::THistoryRecord& record : tree.History()) {
        if (&record == &tree.History().front())
            continue;
        EXPECT_EQ(record.Root, "rsDesktop");
        char path[MAX_PATH] = {};
        SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(record.List.data()), path);
        paths.push_back(path);
    }
    EXPECT_EQ(paths, (std::vector<std::string>{folder, Dir.File("sub\\deeper"), Dir.File("sub"),
                                               Dir.File("sub\\deeper")}));
    EXPECT_EQ(histories, 4);
}

TEST_F(ShellTreeTest, AnnouncedChangesUpdateTheNodesAndARemovedRootReRoots)
{
    TShellTree& tree = *Dialog->ShellTree1;
    const std::string folder = ExcludeTrailingPathDelimiter(Dir.Path());
    ASSERT_EQ(tree.ChildTexts(folder), std::vector<std::string>{"sub"});

    const std::string later = Dir.File("later");
    CreateDirectoryA(later.c_str(), nullptr);
    SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHA | SHCNF_FLUSH, later.c_str(), nullptr);
    EXPECT_TRUE(PumpFor([&] { return Contains(tree.ChildTexts(folder), "later"); })) << "a new folder shows";

    const std::string renamed = Dir.File("renamed");
    ASSERT_TRUE(MoveFileA(later.c_str(), renamed.c_str()));
    SHChangeNotify(SHCNE_RENAMEFOLDER, SHCNF_PATHA | SHCNF_FLUSH, later.c_str(), renamed.c_str());
    EXPECT_TRUE(PumpFor([&] { return Contains(tree.ChildTexts(folder), "renamed"); })) << "a renamed folder keeps its node";
    EXPECT_FALSE(Contains(tree.ChildTexts(folder), "later"));

    ASSERT_TRUE(RemoveDirectoryA(renamed.c_str()));
    SHChangeNotify(SHCNE_RMDIR, SHCNF_PATHA | SHCNF_FLUSH, renamed.c_str(), nullptr);
    EXPECT_TRUE(PumpFor([&] { return !Contains(tree.ChildTexts(folder), "renamed"); })) << "a removed folder goes";

    // The folder at the root removed: the tree starts again at the desktop.
    const std::string rootFolder = Dir.File("root");
    CreateDirectoryA(rootFolder.c_str(), nullptr);
    tree.SetRoot(rootFolder);
    EXPECT_EQ(tree.SelectedPath(), rootFolder);
    ASSERT_TRUE(RemoveDirectoryA(rootFolder.c_str()));
    SHChangeNotify(SHCNE_RMDIR, SHCNF_PATHA | SHCNF_FLUSH, rootFolder.c_str(), nullptr);
    EXPECT_TRUE(PumpFor([&] { return tree.Root() == "rsDesktop"; }));
    EXPECT_NE(tree.SelectedPath(), rootFolder);
}

TEST_F(ShellTreeTest, ClipboardIdListsMarkTheirNodesCut)
{
    TShellTree& tree = *Dialog->ShellTree1;
    const std::string folder = ExcludeTrailingPathDelimiter(Dir.Path());
    ASSERT_TRUE(tree.SetSelectedPath(Dir.File("sub")));
    EXPECT_FALSE(tree.SelectedIsCut());

    // Folder list, then the item relative to it.
    PIDLIST_ABSOLUTE parent = ILCreateFromPathA(folder.c_str());
    PIDLIST_ABSOLUTE child = ILCreateFromPathA(Dir.File("sub").c_str());
    ASSERT_TRUE(parent && child);
    const UINT parentSize = ILGetSize(parent);
    const auto* item = reinterpret_cast<const uint8_t*>(ILFindLastID(child));
    const UINT itemSize = ILGetSize(reinterpret_cast<PCUIDLIST_RELATIVE>(item));
    const UINT header = 4 + 2 * 4;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, header + parentSize + itemSize);
    auto* bytes = static_cast<uint8_t*>(GlobalLock(block));
    const uint32_t fields[3] = {1, header, header + parentSize};
    std::memcpy(bytes, fields, sizeof fields);
    std::memcpy(bytes + header, parent, parentSize);
    std::memcpy(bytes + header + parentSize, item, itemSize);
    GlobalUnlock(block);
    ILFree(parent);
    ILFree(child);

    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(RegisterClipboardFormatA("Shell IDList Array"), block);
    CloseClipboard();
    EXPECT_TRUE(PumpFor([&] { return tree.SelectedIsCut(); })) << "the cut folder is marked";

    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_TRUE(PumpFor([&] { return !tree.SelectedIsCut(); })) << "the mark goes with the clipboard's items";
}

TEST(DropSource, GoesOnWhileItsButtonIsDown)
{
    const struct {
        int button;
        BOOL escape;
        DWORD keys;
        HRESULT answer;
    } cases[] = {
        {1, FALSE, MK_LBUTTON, S_OK},
        {1, FALSE, 0, DRAGDROP_S_DROP},
        {1, TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL},
        {1, FALSE, MK_LBUTTON | MK_RBUTTON, DRAGDROP_S_CANCEL},
        {2, FALSE, MK_RBUTTON, S_OK},
        {2, FALSE, MK_RBUTTON | MK_MBUTTON, DRAGDROP_S_CANCEL},
        {2, FALSE, MK_LBUTTON, DRAGDROP_S_CANCEL},
        {2, FALSE, MK_SHIFT, DRAGDROP_S_DROP},
    };
    for (const auto& c : cases) {
        auto* source = new TDropSource(c.button);
        EXPECT_EQ(source->QueryContinueDrag(c.escape, c.keys), c.answer) << c.button << " " << c.keys;
        EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
        source->Release();
    }
}
