#pragma once
// The main window: the receiving side of the single-instance hand-over, the command line,
// the graph events, the settings and the orderly shutdown.
#include "ui/Control_UnitCore.h"
#include "ui/MainWindowParts.h"
#include "ui/PlayerEngine.h"
#include "ui/SettingsModel.h"
#include "ui/SysCheckCore.h"
#include "ui/TagCommandCore.h"

#include "engine/EngineServices.h"
#include "framework/Buttons.h"
#include "framework/ComCtrls.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Menus.h"
#include "framework/StdCtrls.h"

#include <shellapi.h>
#include "playlist/PlayListHost.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TPlayList;
class TBitmap32;
class TVideoForm;
class TPaintBox32;
class TImage32;
class TDisplayPanel;
class TVisualisation;
class TSnapShotForm;
struct TColorLabels;

// The private messages of the hand-over between two starts of the program.
inline constexpr UINT UM_APPIDCHECK = 0x806F;          // answer kAppIdAnswer
inline constexpr UINT UM_RESTOREAPPLICATION = 0x8070;
inline constexpr UINT UM_PREVIOUSINSTPARAMS = 0x8071;  // wParam: a global atom with the command line
inline constexpr LRESULT kAppIdAnswer = 0xA5345;
// The main window's class name, by which a second start finds it.
inline constexpr const char* kMainWindowClass = "QRV-604519-LT";

class TControlForm : public TForm, public IControlForm, public IPlayListWindows {
public:
    explicit TControlForm(TComponent* owner);
    ~TControlForm() override;

    // Set by the main block before the engine is created.
    void SetInstallFolder(const std::string& folder) { FInstallFolder = folder; }
    std::string InstallFolder() override { return FInstallFolder; }
    void ShowMessage(const std::string& text) override;
    HWND Handle() override { return TForm::Handle(); }
    TVersionWords ProgramVersion{};
    TVersionWords DXVersion{};

    // The display panel: the time read-out from the poll's texts, the colour theme (-1: the
    // stored one), the scrolling title lines.
    void UpdateTimeDisplay(const std::string& hours, const std::string& minutes, const std::string& seconds);
    void SetDisplayColorTheme(int theme);

    // What the window works with; each may be missing.
    IPlayerEngine* Engine = nullptr;
    TPlayList* PlayList = nullptr;
    TVideoForm* VideoForm = nullptr;
    TCustomForm* PlaylistForm = nullptr;
    IMainWindowParts* Parts = nullptr;

    // The face: the caption strip with the menu, minimise and close buttons (the system caption
    // goes at show), the top panel with the transport, and the extras frame beneath it.
    TPanel* Panel4;
    TPaintBox *Image324, *Image325, *Image326;
    TImageList* Face_Images;  // 12 x 12: menu, minimise, close
    TPanel* Panel1;
    TSpeedButton *PrevBtn, *PlayPauseBtn, *StopBtn, *NextBtn, *OpenBtn, *ShowPlayListBtn, *Shuffle_Btn, *Repeat_Btn,
        *AddBkmark_Btn, *SnapShot_Btn, *Mute_Btn;
    TTrackBar* Volume_TrkBar;
    TLabel* Label3;           // the current dynamic gain
    TLabel* AudioMode_Label;
    // The display panel's boxes (time, caption, audio, subtitles, state, status, progress), the
    // title, the visualisation, and the sprites they are drawn from.
    TPaintBox32 *PaintBox321 = nullptr, *PaintBox322 = nullptr, *PaintBox323 = nullptr, *PaintBox324 = nullptr,
                *PaintBox325 = nullptr, *PaintBox326 = nullptr, *PaintBox327 = nullptr;
    TPaintBox32* ScrLabel_PaintBox = nullptr;
    TPaintBox32* pbVisual = nullptr;
    TImage32 *Image321 = nullptr, *Image322 = nullptr, *Image323 = nullptr;
    std::unique_ptr<TDisplayPanel> Display;
    // What pbVisual shows (the engine's visual bitmap) and who draws it; none until attached.
    const TBitmap32* VisualPicture = nullptr;
    TVisualisation* Visualisation = nullptr;
    TPanel* ExtrasFrame;
    TNotebook* Notebook1;
    TTreeView* StreamInfoTree;  // on the "Media Info" page
    TPanel* Panel7;
    TImageList* Control_Images;  // 20 x 20 glyphs
    TPopupMenu* EQ_Preset_Popupmenu;

    // The main menu and the menus it attaches.
    TPopupMenu *MainPopupMenu, *VisualsPopupMenu, *Display_PopupMenu, *FileReopen_PopupMenu, *Extras_PopupMenu;
    TMenuItem *OpenFile1, *OpenURL1, *Reopen1, *View1, *ViewPlaylist1, *ViewSnapshotbrowser1, *ViewExtras1,
        *ViewVisuals1, *ViewDisplayColor, *Settings1, *Exit1;
    TMenuItem* Vis[6];  // Vis0..Vis5
    TMenuItem *VisMenu_ShowPeaks, *VisMenu_Usefade, *VisMenu_Fast, *VisMenu_Medium, *VisMenu_Slow;
    TMenuItem* DisplayCol[4];  // DisplayCol1..DisplayCol4
    // The snapshot window; may be missing.
    TSnapShotForm* SnapShotForm = nullptr;
    // Grabs the video window's frame into the snapshot window.
    void SnapShot_BtnClick(TObject* sender);

    // The "Video Color Settings" page.
    TTrackBar *VideoHue_Slider = nullptr, *VideoBrightness_Slider = nullptr, *VideoSaturation_Slider = nullptr,
              *VideoContrast_Slider = nullptr;
    TLabel *Label1 = nullptr, *Label15 = nullptr, *Label16 = nullptr, *Label18 = nullptr;  // the renderer's range
    TLabel* Label21 = nullptr;  // which controls act
    TImageList* DefaultBtn_Images = nullptr;
    TPaintBox* VideoColor_Default_Btn = nullptr;
    // A slider applies its own property; none (after a file has loaded) applies every slider not at 0.
    void VideoColorChange(TObject* sender);
    void VideoColor_Default_BtnClick(TObject* sender);
    // The page's labels as the video window's colour handlers fill them.
    TColorLabels VideoColorLabels();
    // The settings dialog; missing: ShowSettings does nothing.
    ISettingsDialog* SettingsDialog = nullptr;

    TTimer* Timer1;      // the poll, 333 ms
    TTimer* TitleTimer;  // the title scroller, 75 ms
    // The status text the display draws: network events and buffering.
    std::string NetworkStatusText;
    // The poll's results: engine state, position and duration in tenths of a second, the
    // progress in hundredths of a percent and the time texts.
    uint8_t PlayState = 3;
    int32_t PlayPosition = 0;
    int32_t PlayDuration = 0;
    int32_t Progress = 0;
    TTimeTexts TimeTexts;
    // Set once the window has agreed to close; the video window closes only then.
    bool Closing = false;
    // Where the window was when it last started to dock.
    TRect FloatingBounds;
    // What the engine hands the window for the playing file.
    int AudioDelay = 0;  // milliseconds
    TPlayerSettings Settings;
    bool FirstRun = false;
    // False on a slow processor: no window regions, fading or peaks.
    bool FastProcessor = true;

    // Applies a command line: names replace the play list (or are appended with "/ADD"),
    // then play/pause; "/F" full screen, "/M" minimised. A null text does nothing.
    void HandleParams(const char* commandLine);
    // Drains the graph's event queue.
    LRESULT OnPlayBackEvent(HWND wnd, WPARAM wParam, LPARAM lParam);
    void PlayListChanged();
    // The play-list window shown or closed; the shuffle order and Repeat from their buttons.
    void ShowPlayListBtnClick();
    void Shuffle_BtnClick();
    void Repeat_BtnClick();
    void CloseApp();

    // False on the first run (no settings stored yet).
    bool ReadSettings();
    void WriteSettings() override;
    void RestorePositions();
    void PreparePlayer(bool slow);
    void Timer1Timer(TObject* sender);

    // The settings dialog on the model; written at once when accepted.
    void ShowSettings();

    // The menus and the face's buttons.
    void MainPopupMenuPopup(TObject* sender);
    void VisualsPopupMenuPopup(TObject* sender);
    void SelectVisualMode(TObject* sender);
    void VisMenu_ShowPeaksClick(TObject* sender);
    void VisMenu_UsefadeClick(TObject* sender);
    void VisMenu_SpeedClick(TObject* sender);
    void Display_PopupMenuPopup(TObject* sender);
    void SetColorPreSet(TObject* sender);
    void FileReopen_PopupMenuPopup(TObject* sender);
    void OpenHistoryFile(TObject* sender);
    void ViewSnapshotbrowser1Click(TObject* sender);
    void Settings1Click(TObject* sender);
    void Exit1Click(TObject* sender);
    void Image325Click(TObject* sender);
    void Image324MouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void FormMouseMove(TObject* sender, TShiftState shift, int x, int y);
    void FormShow(TObject* sender);
    void ApplicationEvents1Activate(TObject* sender);
    void ApplicationEvents1Deactivate(TObject* sender);
    void ApplicationEvents1SettingChange(TObject* sender, int flag, const std::string& section);

    // Transport, progress and the keys.
    void UpdateProgress(int32_t progress);
    void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
    // Every message of the GUI thread: dropped files, the screen saver.
    void ApplicationEvents1Message(MSG& msg, bool& handled);
    void FormStartDock(TObject* sender);
    void FormDblClick(TObject* sender);
    // The tag command: the information window and the save, through TagCommand.
    void ScrLabel_PaintBoxDblClick(TObject* sender);
    TTagCommandHost TagCommand;

    // What the engine calls on the window for each file it opens or closes.
    int VisualHeight() override;
    void PrepareNewFile() override;
    void NewFileLoaded() override;
    // Rows in red unless the row (or, for a child, its parent) rendered: white.
    void StreamInfoTreeCustomDrawItem(TTreeView* sender, TTreeNode* node, TColor& textColor, bool& defaultDraw);
    void SetTitleInfo(const TStringList& lines) override;
    void ClearTitleInfo() override;
    void UpdateSRSControls() override {}
    // The bookmarks of the playing movie with their thumbnails.
    void ClearBookmarks() override;
    int AddBookmark(const std::string& name, const TBitmap32* thumbnail, int64_t position) override;
    void Getbookmark(int index, TBookmark& bookmark) override;
    int BookmarkCount() override { return static_cast<int>(FBookmarks.size()); }
    int BookmarkImageIndex(int row) override;
    bool GetBookmarkImage(int imageIndex, TBitmap32& into) override;
    void SetAudioDelay(int milliseconds) override { AudioDelay = milliseconds; }

    // Start-up has applied its own command line: hand-overs that arrived meanwhile run now,
    // in order, and later ones at once.
    void StartupFinished();

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    void FormCreate();
    void CreateFace();
    void CreateVideoColorPage();
    // The sliders from the settings' "Extras Color Controls", and back.
    void ReadVideoColorSettings();
    void StoreVideoColorSettings();
    void CreateCaptionStrip();
    void CreateMenus();
    void TransportClick(void (IPlayerEngine::*call)());
    void DropFiles(HDROP drop);
    void UMAppIDCheck(TMessage& message);
    void UMRestoreApplication(TMessage& message);
    void UMPreviousInstParams(TMessage& message);
    void wmplayevent(TMessage& message);
    void FormCloseQuery(TObject* sender, bool& canClose);
    std::optional<TWindowPosRecord> PositionOf(TCustomForm* form) const;

    struct TBookmarkRow {
        TBookmark Mark;
        int ImageIndex = -1;
    };
    std::vector<TBookmarkRow> FBookmarks;
    std::vector<std::unique_ptr<TBitmap32>> FBookmarkImages;
    std::string FInstallFolder;
    bool FStarted = false;
    std::deque<std::string> FPendingParams;
    bool FDraining = false;
    bool FComInitialized = false;
    uint8_t FDrawnState = 0xFF;  // unknown: the first poll draws the glyph
    int FDefaultBtnFace = -1;    // the default button's face while pressed; -1: by its state
};

// Places a form by a stored rectangle (relative to the monitor's top-left) and monitor number.
void PlaceFormOnMonitor(TCustomForm* form, const TRect& rect, int monitorNum);
