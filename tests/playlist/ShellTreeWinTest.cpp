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
