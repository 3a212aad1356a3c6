#include "playlist/PlaylistUnit.h"

#include "engine/CommonUnit.h"
#include "framework/ComboBox.h"
#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/FileDialogs.h"
#include "framework/ListView.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"
#include "menus/PopupMenu2000.h"
#include "menus/WindowSkin.h"
#include "playlist/AddDirUnit.h"
#include "playlist/ShellCtrls.h"
#include "playlist/ShellDrop.h"

#include <algorithm>
#include <tuple>

TPlaylistForm::TPlaylistForm(TComponent* owner, IPlayListEngine* engine, IPlayListWindows* windows,
                             TPlaylistFormHost host)
    : TForm(owner), FPlayList(std::make_unique<TPlayList>(engine, windows)), FHost(std::move(host)), FWindows(windows)
{
    Name = "PlaylistForm";
    SetCaption("Playlist...");
    BorderStyle = bsSizeToolWin;
    SetBounds(0, 0, 248, 381);
    FFloatingBounds = BoundsRect();

    Panel1 = NewComponent<TPanel>(this);
    Panel1->Name = "Panel1";
    Panel1->SetBounds(0, 0, 240, 25);
    Panel1->SetAlign(alTop);
    Panel1->SetParent(this);
    Playlist_ComboBox = NewComponent<TComboBox>(this);
    Playlist_ComboBox->Name = "Playlist_ComboBox";
    Playlist_ComboBox->SetBounds(2, 2, 163, 21);
    Playlist_ComboBox->OnChange = [this](TObject*) { Playlist_ComboBoxChange(); };
    Playlist_ComboBox->SetParent(Panel1);
    int left = 167;
    for (auto [button, name, caption] : {std::tuple{&NewPlaylistBtn, "NewPlaylistBtn", "N"},
                                         {&LoadPlaylistBtn, "LoadPlaylistBtn", "L"},
                                         {&SavePlaylistBtn, "SavePlaylistBtn", "S"}}) {
        *button = NewComponent<TButton>(this);
        (*button)->Name = name;
        (*button)->SetCaption(caption);
        (*button)->SetBounds(left, 1, 23, 22);
        (*button)->SetParent(Panel1);
        left += 24;
    }
    NewPlaylistBtn->OnClick = [this](TObject*) { NewPlaylistBtnClick(); };
    LoadPlaylistBtn->OnClick = [this](TObject*) { LoadPlaylistBtnClick(); };
    SavePlaylistBtn->OnClick = [this](TObject*) { SavePlaylistBtnClick(); };

    OpenPlaylist = NewComponent<TOpenDialog>(this);
    OpenPlaylist->DefaultExt = "m3u";
    OpenPlaylist->Filter = "Supported Playlists|*.M3U;*.PLS|M3U Playlists|*.M3U|PLS Playlists|*.PLS";
    OpenPlaylist->Options.insert(ofFileMustExist);
    SavePlaylist = NewComponent<TOpenDialog>(this);
    SavePlaylist->DefaultExt = "m3u";
    SavePlaylist->Filter = "M3U Playlist|*.M3U|PLS Playlist|*.PLS";
    SavePlaylist->Options.insert(ofPathMustExist);
    if (!FHost.ChooseListFile)
        FHost.ChooseListFile = [this](bool save, std::string& fileName) {
            return save ? ExecuteSaveDialog(*SavePlaylist, Handle(), fileName)
                        : ExecuteOpenDialog(*OpenPlaylist, Handle(), fileName);
        };
    if (!FHost.AskYesNo)
        FHost.AskYesNo = [this](const std::string& text) { return AskYesNo(Handle(), text, Caption()); };

    StatusBar1 = NewComponent<TStatusBar>(this);
    StatusBar1->Name = "StatusBar1";
    StatusBar1->SetPanelWidths({130, 100});
    StatusBar1->OnResize = [this](TObject*) { StatusBar1Resize(); };
    StatusBar1->SetParent(this);

    ListView1 = NewComponent<TListView>(this);
    ListView1->Name = "ListView1";
    ListView1->SetColor(clBlack);
    ListView1->FontColor = 0xC0C0C0;  // silver
    ListView1->Columns = {{"Name", LVSCW_AUTOSIZE_USEHEADER}, {"Time", 80}};
    ListView1->SetAlign(alClient);
    ListView1->OnDblClick = [this](TObject*) { ListView1DblClick(); };
    ListView1->OnCustomDrawItem = [this](TListView*, int row, TColor& background, TColor& text, bool& bold) {
        TPlayListItem item;
        FPlayList->GetItem(row, item);
        const TPlaylistRowStyle style = PlaylistRowStyle(item.State, row == FPlayList->GetPlayingIndex(),
                                                         static_cast<uint32_t>(ListView1->Color()),
                                                         static_cast<uint32_t>(ListView1->FontColor));
        background = static_cast<TColor>(style.Background);
        text = static_cast<TColor>(style.Text);
        bold = style.Bold;
    };
    ListView1->OnInfoTip = [this](TListView*, int row) {
        TPlayListItem item;
        FPlayList->GetItem(row, item);
        return item.FileName;
    };
    ListView1->OnBeginDrag = [this](TObject*) {
        FDragging = true;
        SetCapture(ListView1->Handle());
    };
    ListView1->OnMouseUp = [this](TObject*, TMouseButton button, TShiftState, int x, int y) {
        if (button == mbLeft && FDragging) {
            FDragging = false;
            ReleaseCapture();
            ListView1DragDrop(ListView1->ItemAt(x, y));
            return;
        }
        if (button != mbRight)
            return;
        POINT at{};
        GetCursorPos(&at);
        PopupMenu20001->Window = Handle();
        PopupMenu20001->Popup(at.x, at.y);
    };
    ListView1->SetParent(this);

    Money1 = NewWindowSkin(this, "Money1", anVertSlide, 18);
    PopupMenu20001 = NewComponent<TPopupMenu2000>(this);
    PopupMenu20001->SetAnimatedSkin(Money1);
    TMenuItem2000* items = PopupMenu20001->Items();
    Remove1 = items->AddNew("Remove", [this](TObject*) { Remove1Click(); });
    items->AddNew("-");
    Newplaylist1 = items->AddNew("New playlist", [this](TObject*) { Newplaylist1Click(); });
    items->AddNew("-");
    AddToFavorit1 = items->AddNew("Add to favorit", [this](TObject*) { AddToFavorit1Click(); });
    items->AddNew("-");
    AddFiles1 = items->AddNew("Add File(s)", [this](TObject*) { AddFiles1Click(); });
    AddDirectory1 = items->AddNew("Add Directory", [this](TObject*) { AddDirectory1Click(); });
    items->AddNew("-");
    Undock1 = items->AddNew("Undock", [this](TObject*) { Undock1Click(); });
    Undock1->Visible = false;
    PopupMenu20001->OnPopup = [this](TObject*) { PopupMenu20001Popup(); };

    Timer1 = NewComponent<TTimer>(this);
    Timer1->SetEnabled(false);
    Timer1->SetInterval(1000);
    Timer1->OnTimer = [this](TObject*) { Timer1Timer(); };

    DragKind = dkDock;
    OnStartDock = [this](TObject*) { FormStartDock(); };
    OnEndDock = [this](TObject*, TWinControl* target) { FormEndDock(target); };

    // Files dropped on the list reach the main window's message filter.
    OnShow = [this](TObject*) { AcceptDroppedFiles(ListView1->Handle()); };
    OnCloseQuery = [this](TObject*, bool&) {
        if (FHost.ReleasePlayListButton)
            FHost.ReleasePlayListButton();
    };

    FPlayList->OnChange = [this](uint8_t code, int32_t index) { PlaylistChanged(code, index); };
    FPlayList->OnIndexChange = [this](uint8_t code, int32_t a, int32_t b) { PlayingIndexChange(code, a, b); };
    UpdateStatus();
    SyncCombo();
}

TPlaylistForm::~TPlaylistForm()
{
    FPlayList->OnChange = nullptr;
    FPlayList->OnIndexChange = nullptr;
    FPlayList.reset();
}

int TPlaylistForm::SelectedIndex()
{
    const std::vector<int> rows = ListView1->SelectedIndexes();
    return rows.empty() ? -1 : rows.front();
}

bool TPlaylistForm::IsRunning() const { return FHost.FilterState && FHost.FilterState() == esRunning; }

void TPlaylistForm::AddPlaylistItem(int32_t Index)
{
    TPlayListItem item;
    FPlayList->GetItem(Index, item);
    const bool playing = Index == FPlayList->GetPlayingIndex() && IsRunning();
    ListView1->InsertItem(-1, PlaylistRowCaption(item), {PlaylistLengthText(item.Length)},
                          PlaylistRowIcon(item.State, playing));
}

void TPlaylistForm::ChangePlaylistItem(int32_t Index)
{
    TPlayListItem item;
    FPlayList->GetItem(Index, item);
    const bool playing = Index == FPlayList->GetPlayingIndex() && IsRunning();
    ListView1->SetItem(Index, PlaylistRowCaption(item), {PlaylistLengthText(item.Length)},
                       PlaylistRowIcon(item.State, playing));
}

void TPlaylistForm::PlaylistChanged(uint8_t Code, int32_t Index)
{
    const int32_t rows = ListView1->Count();
    switch (Code) {
    case plcAdded:
        if (Index < 0)
            return;
        AddPlaylistItem(Index);
        break;
    case plcDeleted:
        if (Index < 0 || Index >= rows)
            return;
        ListView1->DeleteItem(Index);
        break;
    case plcChanged:
        if (Index < 0 || Index >= rows)
            return;
        ChangePlaylistItem(Index);
        break;
    case plcCleared:
        ListView1->Clear();
        break;
    case plcBulkChanged:
        ListView1->BeginUpdate();
        ListView1->Clear();
        for (int32_t i = 0; i < FPlayList->ItemCount(); ++i)
            AddPlaylistItem(i);
        ListView1->EndUpdate();
        FPlayList->StartDetailThread();
        break;
    default:
        return;
    }
    UpdateStatus();
    if (FHost.PlayListChanged)
        FHost.PlayListChanged();
}

void TPlaylistForm::UpdateStatus()
{
    std::vector<int32_t> lengths;
    for (int32_t i = 0; i < FPlayList->ItemCount(); ++i) {
        TPlayListItem item;
        FPlayList->GetItem(i, item);
        lengths.push_back(item.Length);
    }
    const TPlaylistStatusTexts texts = PlaylistStatusTexts(lengths);
    StatusBar1->SetPanelText(0, texts.Files);
    StatusBar1->SetPanelText(1, texts.Total);
}

void TPlaylistForm::PlayingIndexChange(uint8_t Code, int32_t A, int32_t B)
{
    if (Code != plcPlayingIndex)
        return;
    const int32_t rows = ListView1->Count();
    TPlayListItem item;
    if (A >= 0 && A < rows) {
        FPlayList->GetItem(A, item);
        ListView1->SetImageIndex(A, PlaylistRowIcon(item.State, false));
    }
    if (B >= 0 && B < rows) {
        FPlayList->GetItem(B, item);
        ListView1->SetImageIndex(B, PlaylistPlayingRowIcon(item.State));
        ListView1->MakeVisible(B);
    }
    if (FHost.PlayListChanged)
        FHost.PlayListChanged();
}

void TPlaylistForm::ListView1DblClick()
{
    const int row = SelectedIndex();
    if (row >= 0 && FHost.PlayInList)
        FHost.PlayInList(row, true);
}

void TPlaylistForm::Remove1Click()
{
    // 1.
    const bool running = IsRunning();
    // 2.
    const int32_t rows = ListView1->Count();
    std::vector<bool> selected(static_cast<size_t>(rows));
    for (int32_t i = 0; i < rows; ++i)
        selected[i] = ListView1->Selected(i);
    const std::optional<int32_t> followUp =
        PlaylistFollowUpRow(selected, FPlayList->GetPlayingIndex(), FPlayList->Shuffle, running);
    // 3.
    for (int32_t i = rows - 1; i >= 0; --i)
        if (selected[i])
            FPlayList->DeleteItem(i);
    // 4.
    if (followUp && FHost.PlayInList)
        FHost.PlayInList(*followUp, true);
}

void TPlaylistForm::Newplaylist1Click()
{
    // 1. Yes with a cancelled or failed save keeps the list.
    if (FCombo.Text() == kNewPlaylistText && FPlayList->ItemCount() > 0 &&
        FHost.AskYesNo("Current playlist haven't been saved.\r\nSave it now?")) {
        std::string fileName;
        if (!FHost.ChooseListFile(true, fileName) || !SaveListFile(fileName))
            return;
    }
    // 2.
    FPlayList->Clear();
    // 3.
    FCombo.EnsureNewPlaylist();
    SyncCombo();
}

void TPlaylistForm::LoadPlaylistBtnClick()
{
    std::string fileName;
    if (FHost.ChooseListFile(false, fileName))
        LoadListFile(fileName);
}

void TPlaylistForm::SavePlaylistBtnClick()
{
    std::string fileName;
    if (FHost.ChooseListFile(true, fileName))
        SaveListFile(fileName);
}

void TPlaylistForm::LoadListFile(const std::string& FileName)
{
    FPlayList->AddPlaylistPath(FileName, true, false);
    FCombo.InsertListFile(FileName);
    SyncCombo();
}

bool TPlaylistForm::SaveListFile(const std::string& FileName)
{
    try {
        if (SameText(ExtractFileExt(FileName), ".PLS"))
            FPlayList->SavePLS(FileName);
        else
            FPlayList->SaveM3U(FileName);
    } catch (const std::exception& e) {
        if (FWindows)
            FWindows->ShowMessage(e.what());
        return false;
    }
    FCombo.DropNewPlaylistAtTop();
    FCombo.InsertListFile(FileName);
    SyncCombo();
    return true;
}

void TPlaylistForm::Playlist_ComboBoxChange()
{
    if (FCombo.Items().empty())
        return;
    FCombo.SetItemIndex(Playlist_ComboBox->ItemIndex());
    const TPlaylistComboItem* chosen = FCombo.Selected();
    if (!chosen)
        return;
    // 1. and 2., by kind wherever the item stands.
    switch (chosen->Kind) {
    case TPlaylistComboKind::Favorites: FPlayList->LoadPredefList(plFavorits); break;
    case TPlaylistComboKind::LastPlayed: FPlayList->LoadPredefList(plLastPlayed); break;
    case TPlaylistComboKind::ListFile:
        if (FileExists(chosen->FileName)) {
            FPlayList->AddPlaylistPath(chosen->FileName, true, false);
        } else {
            if (FWindows)
                FWindows->ShowMessage("File not found !!!!");
            FPlayList->Clear();
        }
        break;
    case TPlaylistComboKind::NewPlaylist: break;
    }
    // 3.
    FCombo.DropNewPlaylistUnlessSelected();
    SyncCombo();
}

void TPlaylistForm::ClearListChoice()
{
    FCombo.SetItemIndex(-1);
    SyncCombo();
}

void TPlaylistForm::SyncCombo()
{
    std::vector<std::string> captions;
    for (const TPlaylistComboItem& item : FCombo.Items())
        captions.push_back(item.Caption());
    Playlist_ComboBox->SetItems(captions);
    Playlist_ComboBox->SetItemIndex(FCombo.ItemIndex());
}

void TPlaylistForm::PopupMenu20001Popup()
{
    const TPlaylistPopupStates states = PlaylistPopupStates(ListView1->SelCount(), ListView1->Count(), FCombo.Text());
    Remove1->SetEnabled(states.Remove);
    Newplaylist1->SetEnabled(states.NewPlaylist);
    AddToFavorit1->SetEnabled(states.AddToFavorit);
    Undock1->SetVisible(!Floating());
}

void TPlaylistForm::FormStartDock()
{
    FFloatingBounds = BoundsRect();
}

void TPlaylistForm::FormEndDock(TWinControl* Target)
{
    if (!Target || Target != DockHost || HostDockSite() != DockHost)
        return;
    // At the right edge as wide as it floated, the splitter to its left.
    SetAlign(alRight);
    SetBounds(DockHost->ClientRect().Width(), 0, FFloatingBounds.Width(), Height());
    if (FHost.PlaylistDocked)
        FHost.PlaylistDocked(true);
    Undock1->Visible = true;
}

void TPlaylistForm::Undock1Click()
{
    if (Floating())
        return;
    ManualFloat(FFloatingBounds);
    if (FHost.PlaylistDocked)
        FHost.PlaylistDocked(false);
    Undock1->Visible = false;
}

void TPlaylistForm::StatusBar1Resize()
{
    StatusBar1->SetPanelWidths({StatusBar1->Width() - 100, 100});
}

void TPlaylistForm::AddDirectory1Click()
{
    if (AddDirForm)
        AddDirectoryResult(AddDirForm->ShowModal());
}

void TPlaylistForm::AddDirectoryResult(int ModalResult)
{
    if (!AddDirForm || ModalResult != mrOk)
        return;
    const std::string path = AddDirForm->ShellTree1->SelectedPath();
    if (!path.empty() && DirectoryExists(path))
        FPlayList->AddPlaylistPath(path, false, AddDirForm->CheckBox1->Checked());
}

void TPlaylistForm::ListView1DragDrop(int32_t Target)
{
    const std::vector<int> selected = ListView1->SelectedIndexes();
    const std::vector<int32_t> rows(selected.begin(), selected.end());
    const std::vector<TPlaylistMove> moves = PlaylistDragMoves(ListView1->Count(), rows, Target);
    if (moves.empty())
        return;
    for (const TPlaylistMove& move : moves)
        FPlayList->MoveItem(move.From, move.To);
    // The list reports moves without rows: the rows are refreshed from the entries, and the
    // moved ones stay selected.
    std::vector<int32_t> order(static_cast<size_t>(ListView1->Count()));
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int32_t>(i);
    for (const TPlaylistMove& move : moves) {
        const int32_t moved = order[move.From];
        order.erase(order.begin() + move.From);
        order.insert(order.begin() + move.To, moved);
    }
    ListView1->BeginUpdate();
    for (int32_t i = 0; i < static_cast<int32_t>(order.size()); ++i) {
        ChangePlaylistItem(i);
        ListView1->SetSelected(i, std::find(rows.begin(), rows.end(), order[i]) != rows.end());
    }
    ListView1->EndUpdate();
    if (FHost.PlayListChanged)
        FHost.PlayListChanged();
}

void TPlaylistForm::AddToFavorit1Click()
{
    const std::vector<int> rows = ListView1->SelectedIndexes();
    FPlayList->AddToFavorits(std::vector<int32_t>(rows.begin(), rows.end()));
}

void TPlaylistForm::AddFiles1Click()
{
    if (!FHost.ChooseMediaFiles)
        return;
    const std::vector<std::string> names = FHost.ChooseMediaFiles();
    if (names.size() == 1) {
        FPlayList->AddFileNotify(names.front());
        // One file is fetched too: the timer starts the detail thread once.
        Timer1->SetEnabled(true);
    } else if (names.size() > 1) {
        TStringList list;
        for (const std::string& name : names)
            list.Add(name);
        FPlayList->AddPlaylistList(list, false);
    }
}

void TPlaylistForm::Timer1Timer()
{
    Timer1->SetEnabled(false);
    FPlayList->StartDetailThread();
}
