#pragma once
// The main window: the receiving side of the single-instance hand-over, the command line,
// the graph events, the settings and the orderly shutdown.
#include "ui/Control_UnitCore.h"
#include "ui/SoundControlsCore.h"
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
#include "framework/ListView.h"
#include "framework/Menus.h"
#include "framework/StdCtrls.h"
#include "menus/PopupMenu2000.h"

#include <shellapi.h>
#include "playlist/PlayListHost.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TPlayList;
class TBitmap32;
class TParvoluxSoundProcessor;
class TSRS_TruSurroundXT;
class TSRS_CircleSurroundII;
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
    TPopupMenu2000* EQ_Preset_Popupmenu;

    // What the sound pages drive; each may be missing.
    TParvoluxSoundProcessor* PvlSprocessor = nullptr;
    TSRS_TruSurroundXT* SRS_TS1 = nullptr;
    TSRS_CircleSurroundII* SRS_CS1 = nullptr;
    // The extras panel's head: the page's name, the stepper, the preset and page menu buttons
    // and the close box.
    TLabel* Label19;
    TUpDown* UpDown1;
    TSpeedButton *SpeedButton1, *SpeedButton3;
    TPaintBox* PaintBox5;
    TImageList* CloseExtras_Images;
    // "Equalizer": the ten bands (Tag = band, 60 Hz first) and the preset's name.
    TTrackBar *EQ_60, *EQ_170, *EQ_310, *EQ_600, *EQ_1K, *EQ_3K, *EQ_6K, *EQ_12K, *EQ_14K, *EQ_16K;
    TTrackBar* EQBands[10];
    TLabel* Label22;
    // "Sound Processing".
    TTrackBar *PreAmp_Slider, *Snd3D_Slider, *DynAmp_MaxAmp_Slider, *DynAmp_Attack_Slider, *DynAmp_Release_Slider;
    // The surround pages: sliders, the power buttons, the owner-drawn check and radio buttons.
    TPanel *SRS_TS_Frame, *SRS_CS_Frame, *SRS_CS_ModeSelection;
    TTrackBar *SRS_TS_TBLevel, *SRS_TS_FocusLevel, *SRS_TS_SpkSize, *SRS_CS_TBLevel, *SRS_CS_FocusLevel,
        *SRS_CS_SpkSize;
    TPaintBox *SRS_TS_ONOFF, *SRS_CS_ONOFF;
    TPaintBox *SRS_CS_PhantomCenter, *SRS_CS_FullBwFront, *SRS_CS_FullBwRear, *SRS_CS_TBFront, *SRS_CS_TBSub;
    TLabel* SRS_CS_FullBwRear_Label;
    TPaintBox *SRS_CS_ModeCinema, *SRS_CS_ModeMusic, *SRS_CS_ModeMono;
    TImageList *CheckBox_Images, *RadioButton_Images, *PowerBtn_Images;
    // "Smart Sync": the audio delay in milliseconds.
    TTrackBar* AVSync_TrackBar;
    TLabel *Label30, *Label31;
    // "BookMarks": the rows with their thumbnails (100 x 100) and the rows' menu.
    TListView* Bkmark_ListView;
    TLabel* BookmarkFrame;
    HIMAGELIST Bkmark_Images = nullptr;
    TPopupMenu2000* Bkmark_PopupMenu;
    TMenuItem2000 *Bkmark_Edit1, *Bkmark_Delete1, *Bkmark_View1, *Bkmark_ViewThumb1, *Bkmark_ViewDetail1;

    // The skin every popup menu of the window takes its look from.
    TMoney* Money1;
    // The main menu and the menus it attaches.
    TPopupMenu2000 *MainPopupMenu, *VisualsPopupMenu, *Display_PopupMenu, *FileReopen_PopupMenu, *Extras_PopupMenu;
    TMenuItem2000 *OpenFile1, *OpenURL1, *Reopen1, *View1, *ViewPlaylist1, *ViewSnapshotbrowser1, *ViewExtras1,
        *ViewVisuals1, *ViewDisplayColor, *Settings1, *Exit1;
    TMenuItem2000* Vis[6];  // Vis0..Vis5
    TMenuItem2000 *VisMenu_ShowPeaks, *VisMenu_Usefade, *VisMenu_Fast, *VisMenu_Medium, *VisMenu_Slow;
    TMenuItem2000* DisplayCol[4];  // DisplayCol1..DisplayCol4
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
    // The bookmarks of the playing movie with their thumbnails (Control_Bookmarks.cpp).
    void ClearBookmarks() override;
    int AddBookmark(const std::string& name, const TBitmap32* thumbnail, int64_t position) override;
    // A frame (may be null) fitted into 100 x 100 on black, and a row named by the row count.
    int MakeBookmark(std::unique_ptr<TBitmap32> frame, int64_t position);
    void Getbookmark(int index, TBookmark& bookmark) override;
    int BookmarkCount() override;
    int BookmarkImageIndex(int row) override;
    bool GetBookmarkImage(int imageIndex, TBitmap32& into) override;
    void SetBookmarkMenu(int index, TMenuItem* item);
    // The rows forget their menu items (the bookmark menu is about to be emptied).
    void ForgetBookmarkMenus();
    void ShowBookmarkList(bool show);
    void GotoBookmark(int index);
    void AddBkmark_BtnClick(TObject* sender);
    void BookmarkClick(TObject* sender);
    void Bkmark_ListViewDblClick(TObject* sender);
    void Bkmark_ListViewEdited(TListView* sender, int index, const std::string& text);
    void Bkmark_ListViewKeyDown(TListView* sender, WORD key);
    void Bkmark_PopupMenuPopup(TObject* sender);
    void Bkmark_Delete1Click(TObject* sender);
    void SetAudioDelay(int milliseconds) override;
    void AVSync_TrackBarChange(TObject* sender);
    void Label30Click(TObject* sender);

    // The sound pages, volume and mute (Control_Sound.cpp).
    void SelectEQPreset(TObject* sender);
    void EQChanged(TObject* sender);
    void PreAmp_SliderChange(TObject* sender);
    void Snd3D_SliderChange(TObject* sender);
    void DynAmp_MaxAmp_SliderChange(TObject* sender);
    void DynAmp_Attack_SliderChange(TObject* sender);
    void DynAmp_Release_SliderChange(TObject* sender);
    void Volume_TrkBarChange(TObject* sender);
    void Mute_BtnClick(TObject* sender);
    void OwnDrawCheckboxClick(TObject* sender);
    void OwnDrawRadioButtonClick(TObject* sender);
    void SRS_TS_ONOFFMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void SRS_CS_ONOFFMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void UpdateSRSControls() override;
    void SpeedButton1MouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);

    // Streams, subtitles, chapters and the extras panel (Control_Streams.cpp).
    void AddAudioTrackToMenu(const std::string& name, int index, bool checked);
    void AddChapterToMenu(const std::string& name, int index, bool checked);
    void AddSubTitleToMenu(const std::string& name, int index, bool checked);
    void ChangeStreamClick(TObject* sender);
    void ChangeSubtitlesClick(TObject* sender);
    void ChangeChapterClick(TObject* sender);
    void SelectSubtitles(int index);
    void UpDown1Click(TObject* sender, TUDBtnType button);
    void Extras_PopupMenuPopup(TObject* sender);
    void SetExtraSettingsPage(TObject* sender);
    void ShowExtras(bool show);
    void Notebook1PageChanged(TObject* sender);
    void SpeedButton3MouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void pbVisualClick(TObject* sender);

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

    // The extras pages and what moves between them and the settings.
    void CreateSoundPages();
    void CreateBookmarkPage();
    void CreateExtrasHead();
    void SoundSettingsRead();
    void SoundSettingsToModel();
    void SoundFileLoaded(bool hasVideo);
    void ApplyEQSelection(int tag);
    void SendEQ();
    void SurroundPowerClick(bool truSurround);
    void EnableSurroundPage(bool truSurround, bool on);
    TSurroundAvailability Surround() const;
    void ShowSliderHint(TTrackBar* slider, const std::string& text);
    void StreamMenuItem(TMenuItem* item, const std::string& name, int index, bool checked);
    bool FFillingSurround = false;
    // Thumbnails as the engine stores them, by image index.
    std::vector<std::unique_ptr<TBitmap32>> FBookmarkImages;
    std::string FInstallFolder;
    bool FStarted = false;
    std::deque<std::string> FPendingParams;
    bool FDraining = false;
    bool FComInitialized = false;
    uint8_t FDrawnState = 0xFF;  // unknown: the first poll draws the glyph
    int FDefaultBtnFace = -1;    // the default button's face while pressed; -1: by its state
    TPaintBox* FPressedPower = nullptr;  // the power button held down
};

// Places a form by a stored rectangle (relative to the monitor's top-left) and monitor number.
void PlaceFormOnMonitor(TCustomForm* form, const TRect& rect, int monitorNum);
