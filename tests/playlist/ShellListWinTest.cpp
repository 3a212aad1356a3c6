// The folder watch thread and the shell folder list under Wine: the list on a test form linked
// to a folder tree, as no window of the program places it.
#include "playlist/FileNotifyThread.h"
#include "playlist/ShellCtrls.h"
#include "playlist/ShellList.h"

#include "engine/ExternalFilterCntl.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

using namespace pvltest;

namespace {

// Serves synchronised calls and messages until the condition holds or the time passes.
bool PumpUntilFor(const std::function<bool()>& done, int milliseconds)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        CheckSynchronize(20);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return true;
}

bool PumpUntil(const std::function<bool()>& done) { return PumpUntilFor(done, 5000); }

void WriteBytes(const std::string& name, size_t count) { WriteAll(name, std::vector<uint8_t>(count, 'x')); }

// The watch arms on its own thread: writes the file again until the condition holds.
bool WriteUntil(const std::string& name, const std::function<bool()>& done)
{
    for (size_t round = 1; round <= 50; ++round) {
        WriteBytes(name, round);
        if (PumpUntilFor(done, 100))
            return true;
    }
    return false;
}

}  // namespace

TEST(FileNotifyThread, CallsBackOnChangesAndEndsQuietlyWhenItsFolderGoes)
{
    SetMainThread(std::this_thread::get_id());
    TTempDir dir;
    const std::string watched = dir.File("watched");
    CreateDirectoryA(watched.c_str(), nullptr);
    int calls = 0;
    bool ended = false;
    TFileNotifyThread thread(watched, false, [&] { ++calls; });
    thread.OnEnded = [&] { ended = true; };
    thread.Start();
    ASSERT_TRUE(WriteUntil(watched + "\\new.wav", [&] { return calls > 0; }));
    EXPECT_FALSE(ended);

    // Once the folder goes the thread ends by itself and says so, without a callback.
    DeleteFileA((watched + "\\new.wav").c_str());
    PumpUntilFor([] { return false; }, 500);  // the deletion's notifications settle
    const int before = calls;
    ASSERT_TRUE(RemoveDirectoryA(watched.c_str()));
    ASSERT_TRUE(PumpUntil([&] { return ended; }));
    EXPECT_EQ(calls, before);
    // Stopping an ended thread is harmless.
    thread.Stop();
    thread.Stop();
}

TEST(FileNotifyThread, OwnerStopsItByTheMutex)
{
    SetMainThread(std::this_thread::get_id());
    TTempDir dir;
    bool ended = false;
    auto thread = std::make_unique<TFileNotifyThread>(ExcludeTrailingPathDelimiter(dir.Path()), true, [] {});
    thread->OnEnded = [&] { ended = true; };
    thread->Start();
    thread->Stop();
    ASSERT_TRUE(PumpUntil([&] { return thread->Finished(); }));
    thread.reset();
    EXPECT_FALSE(ended);

    // A folder that cannot be watched ends the thread at once.
    TFileNotifyThread missing(dir.File("missing"), false, [] {});
    missing.OnEnded = [&] { ended = true; };
    missing.Start();
    EXPECT_TRUE(PumpUntil([&] { return ended; }));
}

namespace {

class ShellListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMainThread(std::this_thread::get_id());
        Folder = ExcludeTrailingPathDelimiter(Dir.Path());
        CreateDirectoryA(Dir.File("sub").c_str(), nullptr);
        WriteBytes(Dir.File("empty.txt"), 0);
        WriteBytes(Dir.File("b.wav"), 100);
        WriteBytes(Dir.File("a.wav"), 100);
        WriteBytes(Dir.File("c.bin"), 5000);
        WriteBytes(Dir.File("shortcut.lnk"), 10);
        Form = App.CreateForm<TForm>();
        Form->SetBounds(0, 0, 600, 400);
        Tree = NewComponent<TShellTree>(Form);
        Tree->SetParent(Form);
        List = NewComponent<TCustomShellList>(Form);
        List->SetBounds(0, 0, 500, 300);
        List->SetParent(Form);
        Tree->SetShellList(List);
    }

    // The name column's texts in display order.
    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (int i = 0; i < List->Count(); ++i)
            names.push_back(List->CellText(i, 0));
        return names;
    }
    int IndexOf(const std::string& name)
    {
        const std::vector<std::string> names = Names();
        for (size_t i = 0; i < names.size(); ++i)
            if (names[i].rfind(name, 0) == 0)
                return static_cast<int>(i);
        return -1;
    }

    TComApartment Com;
    TTempDir Dir;
    std::string Folder;
    TApplication App;
    TForm* Form = nullptr;
    TShellTree* Tree = nullptr;
    TCustomShellList* List = nullptr;
};

}  // namespace

TEST_F(ShellListTest, ListsTheTreesFolderFilesOnlyWithTheirColumns)
{
    ASSERT_TRUE(Tree->SetSelectedPath(Folder));
    EXPECT_EQ(List->FolderPath(), Folder);
    // The folder and the shortcut are not listed; names sort ascending at first.
    ASSERT_EQ(List->Count(), 4);
    EXPECT_EQ(IndexOf("a"), 0);
    EXPECT_EQ(IndexOf("b"), 1);
    EXPECT_EQ(IndexOf("c"), 2);
    EXPECT_EQ(IndexOf("empty"), 3);
    EXPECT_EQ(IndexOf("shortcut"), -1);
    EXPECT_EQ(IndexOf("sub"), -1);
    EXPECT_EQ(List->ColumnCaptions().size(), 4u);
    EXPECT_EQ(List->CellText(3, 1), "0 KB");
    EXPECT_EQ(List->CellText(0, 1), "1 KB");
    EXPECT_EQ(List->CellText(2, 1), "4 KB");
    EXPECT_FALSE(List->CellText(0, 2).empty());
    EXPECT_FALSE(List->CellText(0, 3).empty());
    EXPECT_TRUE(List->Watching());

    // The computer item has no files; no tree empties the list.
    ASSERT_TRUE(Tree->SetSelectedPath("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"));
    EXPECT_EQ(List->Count(), 0);
    ASSERT_TRUE(Tree->SetSelectedPath(Folder));
    EXPECT_EQ(List->Count(), 4);
    Tree->SetShellList(nullptr);
    EXPECT_EQ(List->Count(), 0);
    EXPECT_EQ(List->ShellTree(), nullptr);
}

TEST_F(ShellListTest, ColumnClicksSortWithTiesByName)
{
    ASSERT_TRUE(Tree->SetSelectedPath(Folder));
    const int b = IndexOf("b");
    List->SetSelected(b, true);
    // Name twice: descending.
    List->ColumnClick(0);
    EXPECT_TRUE(List->Sort().Descending);
    EXPECT_EQ(IndexOf("empty"), 0);
    EXPECT_EQ(IndexOf("a"), 3);
    // Size: ascending, a.wav and b.wav tie and go by name.
    List->ColumnClick(1);
    EXPECT_EQ(List->Sort().Kind, sckSize);
    EXPECT_FALSE(List->Sort().Descending);
    EXPECT_EQ(IndexOf("empty"), 0);
    EXPECT_EQ(IndexOf("a"), 1);
    EXPECT_EQ(IndexOf("b"), 2);
    EXPECT_EQ(IndexOf("c"), 3);
    // The selection follows its item through the sorts.
    EXPECT_EQ(List->SelectedIndexes(), std::vector<int>{2});
}

TEST_F(ShellListTest, RefillAfterAChangeKeepsTheSelection)
{
    ASSERT_TRUE(Tree->SetSelectedPath(Folder));
    List->SetSelected(IndexOf("c"), true);
    // A new file: the watch thread refills the list, "c" stays selected though it moved.
    ASSERT_TRUE(WriteUntil(Dir.File("0first.wav"), [&] { return List->Count() == 5; }));
    EXPECT_EQ(IndexOf("0first"), 0);
    EXPECT_EQ(List->SelectedIndexes(), std::vector<int>{IndexOf("c")});
    List->Refresh();
    EXPECT_EQ(List->SelectedIndexes(), std::vector<int>{IndexOf("c")});
}
