#include "ui/Control_Unit.h"

#include "ui/CommandLine.h"
#include "ui/DisplayPanel.h"
#include "ui/PlaybackEvents.h"
#include "ui/RegistrySettingsStore.h"
#include "ui/Video_Unit.h"
#include "ui/Visualisation.h"
#include "ui/WindowPlacement.h"

#include "engine/CommonUnit.h"
#include "graphics/Bitmap32.h"
#include "graphics/Image32.h"
#include "playlist/PlayList.h"

#include <objbase.h>
#include <shellapi.h>

namespace {
const char* CharNextStep(const char* p)
{
    return CharNextA(p);
}
}

TControlForm::TControlForm(TComponent* owner) : TForm(owner)
{
    Name = "ControlForm";
    BorderStyle = bsSingle;
    Position = poScreenCenter;
    // The caption strip's 16 pixels above the face, the extras panel below it.
    SetBounds(0, 0, 391, 156 + kDisplayLayout.PanelHeight - 64 + kExtrasPanelHeight - 48);
    KeyPreview = true;
    DragKind = dkDock;

    Timer1 = NewComponent<TTimer>(this);
    Timer1->SetEnabled(false);
    Timer1->SetInterval(333);
    Timer1->OnTimer = [this](TObject* sender) { Timer1Timer(sender); };
    TitleTimer = NewComponent<TTimer>(this);
    TitleTimer->SetEnabled(false);
    TitleTimer->SetInterval(75);
    Control_Images = NewComponent<TImageList>(this, 20, 20);
    Control_Images->TransparentColor = 0x008080;
    Control_Images->LoadFromResource("CONTROL_IMAGES");
    CreateFace();

    OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
    OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
    OnStartDock = [this](TObject* sender) { FormStartDock(sender); };
    OnDblClick = [this](TObject* sender) { FormDblClick(sender); };
    OnShow = [this](TObject* sender) { FormShow(sender); };
    OnMouseMove = [this](TObject* sender, TShiftState shift, int x, int y) { FormMouseMove(sender, shift, x, y); };
    if (Application) {
        Application->OnMessage = [this](MSG& msg, bool& handled) { ApplicationEvents1Message(msg, handled); };
        Application->OnActivate = [this](TObject* sender) { ApplicationEvents1Activate(sender); };
        Application->OnDeactivate = [this](TObject* sender) { ApplicationEvents1Deactivate(sender); };
        Application->OnSettingChange = [this](TObject* sender, int flag, const std::string& section) {
            ApplicationEvents1SettingChange(sender, flag, section);
        };
    }
    FormCreate();
}

TControlForm::~TControlForm()
{
    // FormDestroy
    TitleTimer->SetEnabled(false);
    if (Application) {
        Application->OnMessage = nullptr;
        Application->OnActivate = nullptr;
        Application->OnDeactivate = nullptr;
        Application->OnSettingChange = nullptr;
    }
    Display.reset();
    DestroyComponents();
    if (Bkmark_Images)
        ImageList_Destroy(Bkmark_Images);
    if (FComInitialized)
        CoUninitialize();
}

void TControlForm::CreateFace()
{
    CreateCaptionStrip();
    Panel1 = NewComponent<TPanel>(this);
    Panel1->Name = "Panel1";
    Panel1->SetBounds(0, 0, 385, kDisplayLayout.PanelHeight);
    Panel1->SetAlign(alTop);
    Panel1->SetParent(this);
    Panel1->OnDblClick = [this](TObject* sender) { FormDblClick(sender); };
    Display = std::make_unique<TDisplayPanel>(*this);
    ScrLabel_PaintBox->OnDblClick = [this](TObject* sender) { ScrLabel_PaintBoxDblClick(sender); };

    const struct {
        TSpeedButton** Button;
        const char* Name;
        void (IPlayerEngine::*Call)();
    } buttons[] = {{&PrevBtn, "PrevBtn", &IPlayerEngine::Prev},     {&PlayPauseBtn, "PlayPauseBtn", &IPlayerEngine::PlayPause},
                   {&StopBtn, "StopBtn", &IPlayerEngine::Stop},     {&NextBtn, "NextBtn", &IPlayerEngine::Next},
                   {&OpenBtn, "OpenBtn", nullptr},                  {&ShowPlayListBtn, "ShowPlayListBtn", nullptr},
                   {&Shuffle_Btn, "Shuffle_Btn", nullptr},          {&Repeat_Btn, "Repeat_Btn", nullptr},
                   {&AddBkmark_Btn, "AddBkmark_Btn", nullptr},      {&SnapShot_Btn, "SnapShot_Btn", nullptr},
                   {&Mute_Btn, "Mute_Btn", nullptr}};
    int left = 4;
    for (const auto& b : buttons) {
        *b.Button = NewComponent<TSpeedButton>(this);
        (*b.Button)->Name = b.Name;
        (*b.Button)->SetBounds(left, kDisplayLayout.ButtonsTop, 26, 26);
        (*b.Button)->SetParent(Panel1);
        if (b.Call)
            (*b.Button)->OnClick = [this, call = b.Call](TObject*) { TransportClick(call); };
        left += 27;
    }
    SnapShot_Btn->OnClick = [this](TObject* sender) { SnapShot_BtnClick(sender); };
    for (TSpeedButton* toggle : {Shuffle_Btn, Repeat_Btn, Mute_Btn}) {
        toggle->GroupIndex = toggle == Mute_Btn ? 3 : toggle == Shuffle_Btn ? 1 : 2;
        toggle->AllowAllUp = true;
    }
    ShowPlayListBtn->OnClick = [this](TObject*) { ShowPlayListBtnClick(); };
    Shuffle_Btn->OnClick = [this](TObject*) { Shuffle_BtnClick(); };
    Repeat_Btn->OnClick = [this](TObject*) { Repeat_BtnClick(); };

    Volume_TrkBar = NewComponent<TTrackBar>(this);
    Volume_TrkBar->Name = "Volume_TrkBar";
    Volume_TrkBar->Max = 10000;
    Volume_TrkBar->SetBounds(left + 2, kDisplayLayout.ButtonsTop + 2, 380 - left, 22);
    Volume_TrkBar->SetParent(Panel1);

    ExtrasFrame = NewComponent<TPanel>(this);
    ExtrasFrame->Name = "ExtrasFrame";
    ExtrasFrame->SetBounds(0, kDisplayLayout.PanelHeight, 385, 48);
    ExtrasFrame->SetAlign(alTop);
    ExtrasFrame->SetParent(this);
    Notebook1 = NewComponent<TNotebook>(this);
    Notebook1->Name = "Notebook1";
    Notebook1->SetBounds(0, 0, 300, 48);
    Notebook1->SetParent(ExtrasFrame);
    StreamInfoTree = NewComponent<TTreeView>(this);
    StreamInfoTree->Name = "StreamInfoTree";
    StreamInfoTree->SetColor(clBlack);
    StreamInfoTree->FontColor = clWhite;
    StreamInfoTree->OnCustomDrawItem = [this](TTreeView* sender, TTreeNode* node, TColor& color, bool& defaultDraw) {
        StreamInfoTreeCustomDrawItem(sender, node, color, defaultDraw);
    };
    Panel7 = NewComponent<TPanel>(this);
    Panel7->Name = "Panel7";
    Panel7->SetBounds(300, 0, 85, 48);
    Panel7->SetParent(ExtrasFrame);
    Label3 = NewComponent<TLabel>(this);
    Label3->Name = "Label3";
    Label3->SetBounds(4, 4, 80, 16);
    Label3->SetParent(Panel7);
    AudioMode_Label = NewComponent<TLabel>(this);
    AudioMode_Label->Name = "AudioMode_Label";
    AudioMode_Label->SetBounds(4, 24, 80, 16);
    AudioMode_Label->SetParent(Panel7);

    CreateMenus();
}

void TControlForm::FormCreate()
{
    // 1.
    FComInitialized = SUCCEEDED(CoInitialize(nullptr));
    // 2.
    for (int i = 0; i < static_cast<int>(std::size(EQPresetNames)); ++i) {
        TMenuItem2000* item = EQ_Preset_Popupmenu->Items()->AddNew(EQPresetNames[i], [this](TObject* s) { SelectEQPreset(s); });
        item->RadioItem = true;
        item->Tag = i;
    }
    // 3.
    ExtrasFrame->SetColor(clBlack);
    AudioMode_Label->SetCaption("");
    SetClientWidth(385);
    // 4.
    const struct {
        TControl* Control;
        const char* Hint;
    } hints[] = {{PlayPauseBtn, "Play / Pause"},
                 {StopBtn, "Stop"},
                 {PrevBtn, "Previous"},
                 {NextBtn, "Next"},
                 {OpenBtn, "Open file"},
                 {AddBkmark_Btn, "Insert Bookmark at current position"},
                 {SnapShot_Btn, "Make snapshot"},
                 {ShowPlayListBtn, "Show / Hide Playlist"},
                 {Shuffle_Btn, "Shuffle playlist"},
                 {Repeat_Btn, "Repeat playlist"},
                 {Mute_Btn, "Mute Audio"},
                 {PaintBox323, "Toggle Audio"},
                 {PaintBox324, "Toggle Subtitles"},
                 {PaintBox321, "Click to toggel time mode"},
                 {Image324, "Click to Drop Mainmenu"},
                 {Image325, "Minimize player controls"},
                 {Image326, "Close Parvolux"}};

    for (const auto& h : hints) {
        h.Control->Hint = h.Hint;
        h.Control->ShowHint = true;
    }
    // 6.
    for (const char* page : {"Equalizer", "Sound Processing", "SRS TruSurround XT", "SRS CircleSurround II",
                             "Video Color Settings", "Smart Sync", "BookMarks", "Media Info"})
        Notebook1->AddPage(page);
    StreamInfoTree->SetParent(Notebook1->Pages(7));
    StreamInfoTree->SetAlign(alClient);
    CreateVideoColorPage();
    CreateSoundPages();
    CreateBookmarkPage();
    CreateExtrasHead();
    // 7.
    Label3->SetCaption(DynamicGainText(0));
    // 8.
    const struct {
        TSpeedButton* Button;
        int Glyph;
    } glyphs[] = {{PrevBtn, 0},          {PlayPauseBtn, 3},     {StopBtn, 4},      {NextBtn, 6},
                  {SnapShot_Btn, 12},    {OpenBtn, 15},         {ShowPlayListBtn, 17}, {Shuffle_Btn, 19},
                  {AddBkmark_Btn, 20},   {Mute_Btn, 21},        {Repeat_Btn, 22}};
    for (const auto& g : glyphs) {
        Control_Images->GetBitmap(g.Glyph, 0x008080, g.Button->Glyph());
        g.Button->GlyphChanged();
    }
    // 9.
    Notebook1->SetPageIndex(0);
    Notebook1PageChanged(Notebook1);
}

void TControlForm::CreateParams(TCreateParams& params)
{
    TForm::CreateParams(params);
    params.WinClassName = kMainWindowClass;
}

void TControlForm::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case UM_APPIDCHECK: UMAppIDCheck(message); return;
    case UM_RESTOREAPPLICATION: UMRestoreApplication(message); return;
    case UM_PREVIOUSINSTPARAMS: UMPreviousInstParams(message); return;
    case WM_PLAYEVENT: wmplayevent(message); return;
    default: TForm::WndProc(message);
    }
}

void TControlForm::ShowMessage(const std::string& text)
{
    MessageBoxA(HandleOrNull(), text.c_str(), Application ? Application->Title.c_str() : "", MB_OK);
}

// ---- hand-over ----

void TControlForm::UMAppIDCheck(TMessage& message)
{
    message.Result = kAppIdAnswer;
}

void TControlForm::UMRestoreApplication(TMessage& message)
{
    message.Result = 0;
    if (!Application)
        return;
    if (Application->Minimized())
        Application->Restore();
    else
        Application->BringToFront();
}

void TControlForm::UMPreviousInstParams(TMessage& message)
{
    message.Result = 0;
    // The sender deletes the atom once this returns, so it is read now even when applied later.
    char text[260] = {};
    if (GlobalGetAtomNameA(LOWORD(message.WParam), text, sizeof text) == 0)
        RaiseLastOSError();
    if (FStarted)
        HandleParams(text);
    else
        FPendingParams.emplace_back(text);
}

void TControlForm::StartupFinished()
{
    FStarted = true;
    while (!FPendingParams.empty()) {
        const std::string params = std::move(FPendingParams.front());
        FPendingParams.pop_front();
        HandleParams(params.c_str());
    }
}

// ---- command line ----

void TControlForm::HandleParams(const char* commandLine)
{
    if (!commandLine)
        return;
    const TCommandLineParams params = ParseCommandLine(commandLine, CharNextStep);
    TStringList names;
    for (const std::string& name : params.Names)
        names.Add(name);
    if (!params.Add) {
        if (names.Count() == 1 && Engine)
            Engine->AddToHistory(AnsiToWide(names[0]), 0);
        if (PlayList)
            PlayList->AddPlaylistList(names, true);
    } else if (PlayList) {
        PlayList->AddPlaylistList(names, false);
    }
    if (Engine)
        Engine->PlayPause();
    if (params.FullScreen && VideoForm)
        VideoForm->EnterFullScreen();
    if (params.Minimize && Application)
        Application->Minimize();
}

// ---- graph events ----

void TControlForm::wmplayevent(TMessage& message)
{
    OnPlayBackEvent(HandleOrNull(), message.WParam, message.LParam);
    message.Result = 0;
}

LRESULT TControlForm::OnPlayBackEvent(HWND, WPARAM, LPARAM)
{
    // A handler below can pump messages (opening the next file does); a notification that
    // arrives meanwhile finds the drain running and leaves the queue to it.
    if (FDraining || !Engine)
        return 0;
    const ComPtr<IMediaEventEx> events = Engine->MediaEvent();  // our own reference for the whole drain
    if (!events)
        return 0;
    FDraining = true;
    struct TDrainEnd {
        bool& Flag;
        ~TDrainEnd() { Flag = false; }
    } drainEnd{FDraining};
    for (;;) {
        long code = 0;
        LONG_PTR param1 = 0, param2 = 0;
        if (FAILED(events->GetEvent(&code, &param1, &param2, 0)))
            break;
        // Every event acted on carries plain numbers, so its parameters can go first.
        events->FreeEventParams(code, param1, param2);
        const TPlaybackEventResponse response = PlaybackEventResponse(code, param1, param2);
        std::string status;
        bool replaced = false;
        switch (response.Action) {
        case TPlaybackEventAction::PlayNextOrStop:
            if (PlayList && PlayList->HasNext()) {
                Engine->PlayInList(PlayList->NextIndex(), true);
                replaced = true;
            } else {
                Engine->Stop();
            }
            break;
        case TPlaybackEventAction::SetBuffering: Engine->SetBuffering(param1 != 0); break;
        case TPlaybackEventAction::Status: status = response.Text; break;
        case TPlaybackEventAction::GenericStatus: status = Engine->EventCodeText(code); break;
        case TPlaybackEventAction::Ignore: break;
        }
        if (!status.empty())
            NetworkStatusText = status;
        // The new graph posts its own notifications; this queue belonged to the old one.
        if (replaced)
            break;
    }
    return 0;
}

void TControlForm::ShowPlayListBtnClick()
{
    if (!PlaylistForm)
        return;
    if (PlaylistForm->Visible())
        PlaylistForm->Close();
    else
        PlaylistForm->Show();
    ShowPlayListBtn->SetDown(PlaylistForm->Visible());
}

void TControlForm::Shuffle_BtnClick()
{
    if (!PlayList)
        return;
    PlayList->ShuffleOrder(Shuffle_Btn->Down());
    PlayListChanged();
}

void TControlForm::Repeat_BtnClick()
{
    if (!PlayList)
        return;
    PlayList->Repeat = Repeat_Btn->Down();
    PlayListChanged();
}

void TControlForm::PlayListChanged()
{
    if (!PlayList)
        return;
    if (PrevBtn)
        PrevBtn->SetEnabled(PlayList->HasPrev());
    if (NextBtn)
        NextBtn->SetEnabled(PlayList->HasNext());
    std::string title;
    if (const int32_t playing = PlayList->GetPlayingIndex(); playing >= 0) {
        TPlayListItem item;
        PlayList->GetItem(playing, item);
        title = item.Title.empty() ? ExtractFileName(item.FileName) : item.Title;
    }
    if (VideoForm)
        VideoForm->Label39->SetCaption(title);
}

// ---- closing ----

void TControlForm::FormCloseQuery(TObject*, bool& canClose)
{
    Closing = true;
    Timer1->SetEnabled(false);
    if (VideoForm)
        VideoForm->Timer1->SetEnabled(false);
    if (Engine)
        Engine->AppClosing();  // saves the play list and calls WriteSettings
    else
        WriteSettings();
    canClose = true;
}

void TControlForm::CloseApp()
{
    Close();
}

// ---- settings ----

bool TControlForm::ReadSettings()
{
    if (Engine)
        Engine->StoreSettings(Settings);  // what the engine holds stays where the registry has nothing
    TRegistrySettingsStore store;
    if (!ReadSettingsModel(store, Settings))
        return false;
    ReadVideoColorSettings();
    if (Engine)
        Engine->ApplySettings(Settings);
    SoundSettingsRead();
    return true;
}

std::optional<TWindowPosRecord> TControlForm::PositionOf(TCustomForm* form) const
{
    if (!form)
        return std::nullopt;
    TRect bounds = form->BoundsRect();
    if (form->HandleAllocated() && IsIconic(form->HandleOrNull())) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        if (GetWindowPlacement(form->HandleOrNull(), &placement))
            bounds = placement.rcNormalPosition;
    }
    const int number = MonitorNumFromRect(bounds);
    const std::vector<TMonitor> monitors = ScreenMonitors();
    if (number < 0 || static_cast<size_t>(number) >= monitors.size())
        return std::nullopt;
    const TRect& monitor = monitors[static_cast<size_t>(number)].BoundsRect;
    return TWindowPosRecord{number, bounds.left - monitor.left, bounds.top - monitor.top, bounds.Width(), bounds.Height()};
}

void TControlForm::WriteSettings()
{
    // Called from the engine's closing: a registry that refuses a value is reported here.
    CallGuarded([&] {
        if (Engine)
            Engine->StoreSettings(Settings);
        StoreVideoColorSettings();
        SoundSettingsToModel();
        Settings.ControlPos = PositionOf(this);
        if (auto video = PositionOf(VideoForm))
            Settings.VideoPos = video;
        if (auto list = PositionOf(PlaylistForm))
            Settings.PlaylistPos = list;
        TRegistrySettingsStore store;
        WriteSettingsModel(store, Settings);
    });
}

void TControlForm::RestorePositions()
{
    TRegistrySettingsStore store;
    ReadWindowPositions(store, Settings);
    const struct {
        TCustomForm* Form;
        const std::optional<TWindowPosRecord>& Record;
    } windows[] = {{this, Settings.ControlPos}, {VideoForm, Settings.VideoPos}, {PlaylistForm, Settings.PlaylistPos}};
    for (const auto& w : windows)
        if (w.Form && w.Record)
            PlaceFormOnMonitor(w.Form, TRect(w.Record->Left, w.Record->Top, w.Record->Left + w.Record->Width,
                                             w.Record->Top + w.Record->Height),
                               w.Record->MonitorNum);
}

void PlaceFormOnMonitor(TCustomForm* form, const TRect& rect, int monitorNum)
{
    std::vector<TScreenArea> monitors;
    for (const TMonitor& m : ScreenMonitors())
        monitors.push_back({m.BoundsRect.left, m.BoundsRect.top, m.BoundsRect.right, m.BoundsRect.bottom, m.Primary});
    const TRect desktop = ScreenDesktopRect();
    const TWindowBounds current{form->Left(), form->Top(), form->Width(), form->Height()};
    const bool keepSize = Application && Application->MainForm() == form;
    const TWindowBounds placed =
        PlaceOnMonitor(current, keepSize, TWindowPosRecord{monitorNum, rect.left, rect.top, rect.Width(), rect.Height()},
                       monitors, TScreenArea{desktop.left, desktop.top, desktop.right, desktop.bottom, false});
    form->SetBounds(placed.Left, placed.Top, placed.Width, placed.Height);
}

// ---- preparation and the poll ----

void TControlForm::PreparePlayer(bool slow)
{
    // 1.
    FirstRun = !ReadSettings();
    // 2.
    if (FirstRun) {
        if (Engine)
            Engine->StoreSettings(Settings);
        Settings.VisualsUseFade = !slow;
        Settings.VisualsShowPeaks = !slow;
        Settings.VisualsInterval = slow ? 50 : 30;
        if (Engine)
            Engine->ApplySettings(Settings);
        ShowSettings();
        ExtrasFrame->Show();
        FirstRun = false;
    }
    // 3.
    FastProcessor = !slow;
    // 4.
    UpdateProgress(0);
    // 5.
    TMenuItem2000* presets = EQ_Preset_Popupmenu->Items();
    const int presetTag = static_cast<int>(EQ_Preset_Popupmenu->Tag);
    if (presets->Count() > presetTag) {
        if (presetTag == kEQCustomMenuTag) {
            TMenuItem2000* custom = presets->AddNew("Custom", [this](TObject* s) { SelectEQPreset(s); });
            custom->RadioItem = true;
            custom->Tag = kEQCustomTag;
            custom->SetChecked(true);
            Label22->SetCaption("Custom");
            for (int b = 0; b < kEQBandCount; ++b)
                Settings.Eq[static_cast<size_t>(b)] = static_cast<int8_t>(EQBands[b]->Position());
            SendEQ();  // the processor takes the bands the window shows
        } else if (presetTag >= 0) {
            presets->Items(presetTag)->Click();
        }
    }
    // 6.
    TitleTimer->SetEnabled(true);
    Timer1->SetEnabled(true);
    Timer1Timer(Timer1);
    // 7.
    RestorePositions();
    SetDisplayColorTheme(-1);
}

void TControlForm::Timer1Timer(TObject*)
{
    if (!Engine)
        return;
    // 1.
    PlayState = Engine->GetFilterState();
    const bool fileOpen = PlayState != kStateNoFile;
    PlayPosition = fileOpen ? TenthsFromMediaTime(Engine->GetPosition()) : 0;
    PlayDuration = fileOpen ? TenthsFromMediaTime(Engine->GetDurication()) : 0;
    // 2.
    Progress = ProgressFromTimes(PlayPosition, PlayDuration);
    UpdateProgress(Progress);
    // 3.
    TimeTexts = PollTimeTexts(PlayPosition, PlayDuration, Settings.TimeMode != 0);
    UpdateTimeDisplay(TimeTexts.Hours, TimeTexts.Minutes, TimeTexts.Seconds);
    if (VideoForm)
        VideoForm->Label2->SetCaption(TimeTexts.VideoLabel);
    // 4. The enabled states every tick (a play list may arrive later); the glyph on a change.
    const TTransportLook look = TransportLookFor(PlayState, PlayList ? PlayList->ItemCount() : 0);
    PlayPauseBtn->SetEnabled(look.PlayPauseEnabled);
    StopBtn->SetEnabled(look.StopEnabled);
    if (PlayState != FDrawnState) {
        Control_Images->GetBitmap(look.Glyph, 0x008080, PlayPauseBtn->Glyph());
        PlayPauseBtn->GlyphChanged();
        PaintBox325->Invalidate();
        if (VideoForm)
            VideoForm->PaintBox1->Invalidate();
        FDrawnState = PlayState;
    }
    // 5.
    Label3->SetCaption(DynamicGainText(Engine->DynamicCurrentGain()));
    PaintBox321->Invalidate();
    PaintBox327->Invalidate();
    // 6.
    if (Engine->Buffering()) {
        const long progress = Engine->BufferingProgress();
        if (progress >= 0)
            NetworkStatusText = BufferingText(progress);
    } else {
        NetworkStatusText.clear();
    }
    // 7.
    PaintBox326->Invalidate();
}

void TControlForm::UpdateProgress(int32_t progress)
{
    if (!VideoForm)
        return;
    VideoForm->Shape1->SetWidth(ProgressBarWidth(VideoForm->Shape2->Width(), std::clamp(progress, 0, 10000)));
}

// ---- transport, keys, dropped files, docking ----

void TControlForm::TransportClick(void (IPlayerEngine::*call)())
{
    if (Engine)
        (Engine->*call)();
}

void TControlForm::FormKeyDown(TObject*, WORD& key, TShiftState shift)
{
    const bool fullScreen = VideoForm && VideoForm->FullScreen();
    switch (KeyActionFor(key, (shift & ssAlt) != 0, fullScreen, false)) {
    case TKeyAction::PlayPause: TransportClick(&IPlayerEngine::PlayPause); break;
    case TKeyAction::Stop: TransportClick(&IPlayerEngine::Stop); break;
    case TKeyAction::Next: TransportClick(&IPlayerEngine::Next); break;
    case TKeyAction::Prev: TransportClick(&IPlayerEngine::Prev); break;
    case TKeyAction::EnterFullScreen:
        if (VideoForm) {
            VideoForm->VideoFrameDblClick(this);
            SetForegroundWindow(VideoForm->Handle());
        }
        key = 0;
        break;
    default: break;
    }
}

void TControlForm::ApplicationEvents1Message(MSG& msg, bool& handled)
{
    if (msg.message == WM_DROPFILES) {
        DropFiles(reinterpret_cast<HDROP>(msg.wParam));
        handled = true;
    } else if (msg.message == WM_SYSCOMMAND && Engine) {
        handled = SuppressesSystemCommand(static_cast<uint32_t>(msg.wParam), Engine->GetFilterState());
    }
}

void TControlForm::DropFiles(HDROP drop)
{
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    const TStringList* known = Engine ? Engine->KnownExtensions() : nullptr;
    for (UINT i = 0; i < count; ++i) {
        char name[MAX_PATH + 1] = {};
        DragQueryFileA(drop, i, name, sizeof name);
        if (known && PlayList && IsKnownMediaFile(name, *known))
            PlayList->AddFileNotify(name);
    }
    if (PlayList)
        PlayList->StartDetailThread();
    DragFinish(drop);
}

void TControlForm::FormStartDock(TObject*)
{
    FloatingBounds = BoundsRect();
}

void TControlForm::FormDblClick(TObject*)
{
    if (Floating())
        return;
    ManualFloat(FloatingBounds);
    if (VideoForm)
        VideoForm->VideoFrameResize(this);
}

// ---- file life ----

void TControlForm::PrepareNewFile()
{
    StreamInfoTree->Items.Clear();
    UpdateProgress(0);
    if (VideoForm) {
        VideoForm->AudioTracks1->Clear();
        VideoForm->Chapters1->Clear();
        ForgetBookmarkMenus();
        VideoForm->Bookmarks1->Clear();
        while (VideoForm->Subtitles1->Count() >= 5)
            VideoForm->Subtitles1->Delete(3);
        VideoForm->SubtitlesNONEAVALIBLE1->Visible = true;
    }
    ShowBookmarkList(false);
}

void TControlForm::NewFileLoaded()
{
    // 1.
    AudioMode_Label->SetCaption("");
    // 2.
    if (VideoForm) {
        TVideoForm& video = *VideoForm;
        if (video.RendererKind() == vrNone) {
            if (video.FullScreen())
                video.LeaveFullScreen();
            if (video.Visible() && Floating())
                video.Hide();
        } else {
            video.Show();
            if (Settings.SizeMode == 1 && !video.FullScreen() && !IsZoomed(video.Handle())) {
                int width = 0, height = 0;
                video.GetNativeVideoSize(width, height);
                if (width > 0 && height > 0) {
                    video.SetClientWidth(width);
                    video.SetClientHeight(height);
                }
            }
        }
    }
    if (!Engine)
        return;
    // 3.
    Engine->SetVolume(Mute_Btn->Down() ? 0 : 10000 - Volume_TrkBar->Position());
    // 6.
    if (VideoForm) {
        const std::vector<std::string> chapters = Engine->ChapterNames();
        for (size_t i = 0; i < chapters.size(); ++i)
            AddChapterToMenu(chapters[i], static_cast<int>(i), false);
        const std::vector<std::string> streams = Engine->AudioStreamNames();
        for (size_t i = 0; i < streams.size(); ++i)
            AddAudioTrackToMenu(streams[i].empty() ? Format("%s %d", "Audio Stream", static_cast<int>(i) + 1) : streams[i],
                                static_cast<int>(i), false);
        // 7.
        const std::vector<std::string> languages = Engine->SubtitlesPresent() ? Engine->SubtitleLanguages()
                                                                              : std::vector<std::string>();
        const int selected = Engine->SelectedSubtitleLanguage();
        for (size_t i = 0; i < languages.size(); ++i)
            AddSubTitleToMenu(languages[i], static_cast<int>(i), static_cast<int>(i) == selected);
        Engine->SetHideSubtitles(VideoForm->SubtitlesHideSubtitles2->Checked);
    }
    // 8.
    VideoColorChange(nullptr);
    // 9.
    if (Engine->AC3Connected())
        AudioMode_Label->SetCaption("AC3");
    // 4., 5., 10., 12.
    SoundFileLoaded(Engine->VideoPinCount() > 0);
    // 10. The spectrum reads every frame of sound alone, every tenth beside a picture.
    if (Visualisation)
        Visualisation->SetAudioOnly(Engine->VideoPinCount() == 0);
    // 11.
    SnapShot_Btn->SetEnabled(VideoForm && VideoForm->HasVideoRenderer());
    AddBkmark_Btn->SetEnabled(VideoForm && VideoForm->RendererKind() != vrNone);
    // 13.
    StreamInfoTree->Items.Clear();
    std::vector<TPinInfo> videoPins, audioPins;
    Engine->StreamPins(videoPins, audioPins);
    for (const TStreamInfoNode& stream : StreamInfoNodes(videoPins, audioPins)) {
        TTreeNode* root = StreamInfoTree->Items.AddChild(nullptr, stream.Text);
        root->StateIndex = stream.StateIndex;
        for (const std::string& line : stream.Children)
            StreamInfoTree->Items.AddChild(root, line);
    }
    // 14.
    if (Display)
        Display->RepaintIndicators();
}

void TControlForm::StreamInfoTreeCustomDrawItem(TTreeView*, TTreeNode* node, TColor& textColor, bool& defaultDraw)
{
    const TTreeNode* row = node->Parent ? node->Parent : node;
    textColor = row->StateIndex == 1 ? 0xFFFFFF : 0x0000FF;
    defaultDraw = true;
}

// ---- what the engine hands over for the playing file ----

void TControlForm::SetTitleInfo(const TStringList& lines)
{
    std::vector<std::string> copy;
    for (int i = 0; i < lines.Count(); ++i)
        copy.push_back(lines[i]);
    Display->SetTitleInfo(copy);
}

void TControlForm::ClearTitleInfo()
{
    Display->ClearTitleInfo();
}

// ---- the display ----

int TControlForm::VisualHeight()
{
    return pbVisual->Height();
}

void TControlForm::UpdateTimeDisplay(const std::string& hours, const std::string& minutes, const std::string& seconds)
{
    Display->UpdateTimeDisplay(hours, minutes, seconds);
}

void TControlForm::SetDisplayColorTheme(int theme)
{
    Display->SetDisplayColorTheme(theme);
}

void TControlForm::ScrLabel_PaintBoxDblClick(TObject*)
{
    if (const std::string message = RunTagCommand(TagCommand); !message.empty())
        ShowMessage(message);
}
