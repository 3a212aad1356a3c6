// The play-list window with its real list view and status bar under Wine: rows follow the
// list's events, the playing row's icon and style, double click and removal.
#include "playlist/PlaylistUnit.h"

#include "engine/CommonUnit.h"
#include "framework/ComboBox.h"
#include "framework/ExtCtrls.h"
#include "framework/ListView.h"
#include "menus/MenuItem2000.h"
#include "tests/playlist/PlayListFakes.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pvltest;

namespace {

class PlaylistFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TPlaylistFormHost host;
        host.FilterState = [this] { return State; };
        host.PlayInList = [this](int index, bool) {
            Played.push_back(index);
            Form->List()->SetPlayingIndex(index);
            return true;
        };
        host.PlayListChanged = [this] { ++Changes; };
        host.ReleasePlayListButton = [this] { ++Releases; };
        host.ChooseListFile = [this](bool save, std::string& fileName) {
            Asked.push_back(save ? "save" : "open");
            fileName = ChosenFile;
            return !ChosenFile.empty();
        };
        host.ChooseMediaFiles = [this] { return MediaFiles; };
        host.AskYesNo = [this](const std::string& text) {
            Asked.push_back(text);
            return Answer;
        };
        Form = App.CreateForm<TPlaylistForm>(&Engine, &Windows, host);
        Form->HandleNeeded();
    }

    void AddEntries(const std::vector<TPlayListItem>& items)
    {
        for (const TPlayListItem& item : items)
            Form->List()->SetItem(Form->List()->AddFileNotify(item.FileName), item);
    }

    TApplication App;
    TFakeEngine Engine;
    TFakeWindows Windows;
    TPlaylistForm* Form = nullptr;
    uint8_t State = esStopped;
    std::vector<int> Played;
    int Changes = 0, Releases = 0;
    std::string ChosenFile;
    bool Answer = false;
    std::vector<std::string> Asked, MediaFiles;
};

}  // namespace

TEST_F(PlaylistFormTest, RowsAndStatusFollowTheList)
{
    EXPECT_EQ(Form->StatusBar1->PanelText(0), "No file(s)");
    EXPECT_EQ(Form->StatusBar1->PanelText(1), "Total:      ");

    AddEntries({{"C:\\m\\one.mp3", "First", 37234, plsOpened}, {"C:\\m\\two.mp3", "", -1, plsNotOpened}});
    TListView& rows = *Form->ListView1;
    ASSERT_EQ(rows.Count(), 2);
    EXPECT_EQ(rows.Caption(0), "First");
    EXPECT_EQ(rows.SubItem(0, 0), "01:02:03");
    EXPECT_EQ(rows.Caption(1), "two.mp3");
    EXPECT_EQ(rows.SubItem(1, 0), "");
    EXPECT_EQ(rows.ImageIndex(0), 2);
    EXPECT_EQ(Form->StatusBar1->PanelText(0), "2 file(s)");
    EXPECT_EQ(Form->StatusBar1->PanelText(1), "Total: 01:02:03      ");
    EXPECT_GT(Changes, 0);

    // The detail fetch's result arrives as a change of the row.
    Form->List()->SetItem(1, {"C:\\m\\two.mp3", "Second", 600, plsOpened});
    EXPECT_EQ(rows.Caption(1), "Second");
    EXPECT_EQ(Form->StatusBar1->PanelText(1), "Total: 01:03:03      ");

    Form->List()->DeleteItem(0);
    EXPECT_EQ(rows.Count(), 1);
    EXPECT_EQ(rows.Caption(0), "Second");
    Form->List()->Clear();
    EXPECT_EQ(rows.Count(), 0);
    EXPECT_EQ(Form->StatusBar1->PanelText(0), "No file(s)");
}

TEST_F(PlaylistFormTest, PlayingRowIconAndDoubleClick)
{
    AddEntries({{"a.mp3", "A", 10, plsOpened}, {"b.mp3", "B", 10, plsNotFound}, {"c.mp3", "C", 10, plsOpened}});
    TListView& rows = *Form->ListView1;
    rows.SetSelected(2, true);
    Form->ListView1DblClick();
    EXPECT_EQ(Played, std::vector<int>{2});
    EXPECT_EQ(rows.ImageIndex(2), 3);
    Form->List()->SetPlayingIndex(1);
    EXPECT_EQ(rows.ImageIndex(2), 2);  // the old row gets its plain icon back
    EXPECT_EQ(rows.ImageIndex(1), 0);  // a missing file keeps its icon
    EXPECT_EQ(Form->SelectedIndex(), 2);
}

TEST_F(PlaylistFormTest, RemovingThePlayingRowPlaysTheFollowUpOnlyWhileRunning)
{
    for (const uint8_t state : {esRunning, esStopped, esPaused}) {
        SCOPED_TRACE(static_cast<int>(state));
        Form->List()->Clear();
        Played.clear();
        AddEntries({{"0.mp3", "0", 1, 2}, {"1.mp3", "1", 1, 2}, {"2.mp3", "2", 1, 2},
                    {"3.mp3", "3", 1, 2}, {"4.mp3", "4", 1, 2}, {"5.mp3", "5", 1, 2}});
        Form->List()->SetPlayingIndex(2);
        for (const int row : {1, 2, 4})
            Form->ListView1->SetSelected(row, true);
        State = state;
        Form->Remove1Click();
        ASSERT_EQ(Form->ListView1->Count(), 3);
        EXPECT_EQ(Form->ListView1->Caption(1), "3");
        EXPECT_EQ(Played, state == esRunning ? std::vector<int>{1} : std::vector<int>{});
        EXPECT_GT(Engine.Closes, 0);  // the playing entry was deleted
        State = esStopped;
    }
}

TEST_F(PlaylistFormTest, DroppedRowsMoveAndThePlayingMarkStays)
{
    AddEntries({{"a.mp3", "A", 1, 2}, {"b.mp3", "B", 1, 2}, {"c.mp3", "C", 1, 2},
                {"d.mp3", "D", 1, 2}, {"e.mp3", "E", 1, 2}});
    Form->List()->SetPlayingIndex(1);
    const auto captions = [this] {
        std::string text;
        for (int i = 0; i < Form->ListView1->Count(); ++i)
            text += Form->ListView1->Caption(i);
        return text;
    };
    Form->ListView1->SetSelected(1, true);
    Form->ListView1DragDrop(3);
    EXPECT_EQ(captions(), "ACBDE");
    EXPECT_EQ(Names(*Form->List()), (std::vector<std::string>{"a.mp3", "c.mp3", "b.mp3", "d.mp3", "e.mp3"}));
    EXPECT_EQ(Form->List()->GetPlayingIndex(), 2);
    EXPECT_EQ(Form->ListView1->SelectedIndexes(), std::vector<int>{2});

    Form->ListView1->SetSelected(2, false);
    Form->ListView1->SetSelected(4, true);
    Form->ListView1DragDrop(0);
    EXPECT_EQ(captions(), "EACBD");
    EXPECT_EQ(Form->List()->GetPlayingIndex(), 3);
}

TEST_F(PlaylistFormTest, PopupFollowsRowsAndSelection)
{
    Form->PopupMenu20001Popup();
    EXPECT_FALSE(Form->Remove1->Enabled);
    EXPECT_FALSE(Form->Newplaylist1->Enabled);
    AddEntries({{"a.mp3", "A", 10, plsOpened}});
    Form->ListView1->SetSelected(0, true);
    Form->PopupMenu20001Popup();
    EXPECT_TRUE(Form->Remove1->Enabled);
    EXPECT_TRUE(Form->Newplaylist1->Enabled);
    EXPECT_TRUE(Form->AddToFavorit1->Enabled);

    // The selected rows go to the favourites in the install folder's "Data" folder.
    TTempDir install;
    CreateDirectoryA(install.File("Data").c_str(), nullptr);
    Windows.Folder = install.Path();
    Form->AddToFavorit1Click();
    TPlayList favourites(&Engine, &Windows);
    ASSERT_TRUE(favourites.LoadPredefList(plFavorits));
    ASSERT_EQ(favourites.ItemCount(), 1);
    EXPECT_EQ(ExtractFileName(Names(favourites)[0]), "a.mp3");
    Form->Newplaylist1Click();
    EXPECT_EQ(Form->ListView1->Count(), 0);
}

TEST_F(PlaylistFormTest, ListsSaveLoadAndAreChosenByKind)
{
    TTempDir dir;
    const TPlaylistComboModel& combo = Form->Combo();
    ASSERT_EQ(Form->Playlist_ComboBox->Items(), (std::vector<std::string>{"Favorites", "Last Played"}));

    // A new list: nothing to ask while it is empty.
    Form->NewPlaylistBtnClick();
    EXPECT_TRUE(Asked.empty());
    EXPECT_EQ(combo.Text(), "New Playlist...");

    // Yes, then a cancelled save, keeps the list and the combo.
    AddEntries({{dir.File("a.mp3"), "A", 10, plsOpened}, {dir.File("b.mp3"), "B", 20, plsOpened}});
    Answer = true;
    Form->NewPlaylistBtnClick();
    EXPECT_EQ(Asked, (std::vector<std::string>{"Current playlist haven't been saved.\r\nSave it now?", "save"}));
    EXPECT_EQ(Form->List()->ItemCount(), 2);
    EXPECT_EQ(combo.Text(), "New Playlist...");

    // A failed save is reported and leaves the combo as it was.
    ChosenFile = dir.File("missing\\party.pls");
    Form->SavePlaylistBtnClick();
    EXPECT_EQ(Windows.Messages.size(), 1u);
    EXPECT_EQ(combo.Items().size(), 3u);

    ChosenFile = dir.File("party.pls");
    Form->SavePlaylistBtnClick();
    EXPECT_TRUE(FileExists(ChosenFile));
    EXPECT_EQ(Form->Playlist_ComboBox->Items(), (std::vector<std::string>{"party", "Favorites", "Last Played"}));
    EXPECT_EQ(Form->Playlist_ComboBox->ItemIndex(), 0);

    // A saved list is not asked about; choosing it loads it again.
    Form->NewPlaylistBtnClick();
    EXPECT_EQ(Asked.size(), 4u);
    EXPECT_EQ(Form->List()->ItemCount(), 0);
    Form->Playlist_ComboBox->SetItemIndex(1);
    Form->Playlist_ComboBoxChange();
    EXPECT_EQ(combo.Text(), "party");
    EXPECT_FALSE(combo.HasNewPlaylist());
    EXPECT_EQ(Names(*Form->List()), (std::vector<std::string>{dir.File("a.mp3"), dir.File("b.mp3")}));

    // A list file that went: the message and an empty list.
    DeleteFileA(dir.File("party.pls").c_str());
    Form->Playlist_ComboBoxChange();
    EXPECT_EQ(Windows.Messages.back(), "File not found !!!!");
    EXPECT_EQ(Form->List()->ItemCount(), 0);

    // Loading by button puts the list at the top.
    Form->SaveListFile(dir.File("second.m3u"));
    ChosenFile = dir.File("second.m3u");
    Form->LoadPlaylistBtnClick();
    EXPECT_EQ(combo.Text(), "second");
    Form->ClearListChoice();
    EXPECT_EQ(Form->Playlist_ComboBox->ItemIndex(), -1);
}

TEST_F(PlaylistFormTest, AddFilesAddsOneOrSeveral)
{
    Form->AddFiles1Click();  // cancelled
    EXPECT_EQ(Form->List()->ItemCount(), 0);
    MediaFiles = {"C:\\m\\one.mp3"};
    Form->AddFiles1Click();
    EXPECT_EQ(Form->ListView1->Count(), 1);
    EXPECT_TRUE(Form->Timer1->Enabled());  // the one file's details are fetched too
    Form->Timer1Timer();
    EXPECT_FALSE(Form->Timer1->Enabled());
    MediaFiles = {"C:\\m\\two.mp3", "C:\\m\\three.mp3"};
    Form->AddFiles1Click();
    EXPECT_EQ(Names(*Form->List()), (std::vector<std::string>{"C:\\m\\one.mp3", "C:\\m\\two.mp3", "C:\\m\\three.mp3"}));
    EXPECT_EQ(Form->ListView1->Count(), 3);
}
