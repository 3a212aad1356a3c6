#pragma once
// The play-list window: the list of entries with their state icons and times, the status bar
// with the count and the total, double click to play and removal of rows. It owns the play
// list and mirrors every change of it through the list's two events.
#include "engine/EngineServices.h"
#include "framework/Forms.h"
#include "playlist/PlayList.h"
#include "playlist/PlaylistFormCore.h"

#include <cstdint>
#include <functional>
#include <memory>

class TListView;
class TStatusBar;
class TPopupMenu2000;
class TMenuItem2000;
class TMoney;
class TAddDirForm;
class TPanel;
class TComboBox;
class TButton;
class TOpenDialog;
class TTimer;

// What the window calls outside itself: the engine's state and playback, the main window's
// follow-up of the list and its play-list button.
struct TPlaylistFormHost {
    std::function<uint8_t()> FilterState;              // esRunning while a graph runs
    std::function<bool(int Index, bool AutoPlay)> PlayInList;
    std::function<void()> PlayListChanged;
    std::function<void()> ReleasePlayListButton;
    // The open (Save false) or save dialog for a list file; the unsaved-list question. The
    // window runs the real ones when these are empty.
    std::function<bool(bool Save, std::string& FileName)> ChooseListFile;
    std::function<bool(const std::string& Text)> AskYesNo;
    // The engine's media-file dialog; the chosen files, none when cancelled.
    std::function<std::vector<std::string>()> ChooseMediaFiles;
    // The window docked into (true) or left (false) the video window, which shows or hides
    // its splitter beside it.
    std::function<void(bool Docked)> PlaylistDocked;
};

class TPlaylistForm : public TForm, public IPlaylistForm {
public:
    TPlaylistForm(TComponent* owner, IPlayListEngine* engine, IPlayListWindows* windows, TPlaylistFormHost host);
    ~TPlaylistForm() override;

    TPlayList* List() { return FPlayList.get(); }
    IPlayList* PlayList() override { return FPlayList.get(); }
    int SelectedIndex() override;

    TPanel* Panel1 = nullptr;
    TComboBox* Playlist_ComboBox = nullptr;
    TButton *NewPlaylistBtn = nullptr, *LoadPlaylistBtn = nullptr, *SavePlaylistBtn = nullptr;
    TOpenDialog *OpenPlaylist = nullptr, *SavePlaylist = nullptr;
    TListView* ListView1 = nullptr;
    TStatusBar* StatusBar1 = nullptr;
    TMoney* Money1 = nullptr;
    TPopupMenu2000* PopupMenu20001 = nullptr;
    TMenuItem2000 *Remove1 = nullptr, *Newplaylist1 = nullptr, *AddToFavorit1 = nullptr, *AddFiles1 = nullptr,
        *AddDirectory1 = nullptr, *Undock1 = nullptr;
    TTimer* Timer1 = nullptr;  // one-shot start of the detail thread
    // The add-directory dialog the start-up made; none: the entry does nothing.
    TAddDirForm* AddDirForm = nullptr;
    // The video window this window docks into; none: it stays floating.
    TCustomForm* DockHost = nullptr;

    void PlaylistChanged(uint8_t Code, int32_t Index);
    void PlayingIndexChange(uint8_t Code, int32_t A, int32_t B);
    void ListView1DblClick();
    void Remove1Click();
    void Newplaylist1Click();
    void PopupMenu20001Popup();
    // The selected rows dropped on a row (-1: below the last); the playing mark stays on its entry.
    void ListView1DragDrop(int32_t Target);
    void AddToFavorit1Click();
    void AddFiles1Click();
    void Timer1Timer();
    void AddDirectory1Click();
    void NewPlaylistBtnClick() { Newplaylist1Click(); }
    void LoadPlaylistBtnClick();
    void SavePlaylistBtnClick();
    void Playlist_ComboBoxChange();
    // The list combo by kind; the main window clears its choice when it opens files itself.
    const TPlaylistComboModel& Combo() const { return FCombo; }
    void ClearListChoice();
    void LoadListFile(const std::string& FileName);
    // False when the list could not be written (reported; the combo stays as it was).
    bool SaveListFile(const std::string& FileName);
    // What the dialog's result adds: OK on an existing folder searches it.
    void AddDirectoryResult(int ModalResult);
    void FormStartDock();
    void FormEndDock(TWinControl* Target);
    void Undock1Click();

private:
    void AddPlaylistItem(int32_t Index);
    void ChangePlaylistItem(int32_t Index);
    void UpdateStatus();
    bool IsRunning() const;
    void StatusBar1Resize();

    void SyncCombo();
    bool FDragging = false;
    TRect FFloatingBounds;  // where the window was when it last started to dock
    TPlaylistComboModel FCombo;
    std::unique_ptr<TPlayList> FPlayList;
    TPlaylistFormHost FHost;
    IPlayListWindows* FWindows;
};
