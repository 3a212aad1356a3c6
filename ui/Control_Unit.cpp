#include "ui/Control_Unit.h"

#include "ui/CommandLine.h"
#include "ui/PlaybackEvents.h"
#include "ui/RegistrySettingsStore.h"
#include "ui/WindowPlacement.h"

#include "engine/CommonUnit.h"
#include "graphics/Bitmap32.h"
#include "playlist/PlayList.h"

#include <objbase.h>

namespace {
const char* CharNextStep(const char* p)
{
    return CharNextA(p);
}
}

TControlForm::TControlForm(TComponent* owner) : TForm(owner)
{
    Name = "ControlForm";
    FComInitialized = SUCCEEDED(CoInitialize(nullptr));
    BorderStyle = bsSingle;
    Position = poScreenCenter;
    SetBounds(0, 0, 391, 140);

    Timer1 = NewComponent<TTimer>(this);
    Timer1->SetEnabled(false);
    Timer1->SetInterval(333);
    Timer1->OnTimer = [this](TObject* sender) { Timer1Timer(sender); };
    TitleTimer = NewComponent<TTimer>(this);
    TitleTimer->SetEnabled(false);
    TitleTimer->SetInterval(75);

    OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
}

TControlForm::~TControlForm()
{
    DestroyComponents();
    if (FComInitialized)
        CoUninitialize();
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
    if (params.FullScreen && EnterVideoFullScreen)
        EnterVideoFullScreen();
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
    if (VideoTitleLabel)
        VideoTitleLabel->SetCaption(title);
}

// ---- closing ----

void TControlForm::FormCloseQuery(TObject*, bool& canClose)
{
    Timer1->SetEnabled(false);
    if (VideoTimer1)
        VideoTimer1->SetEnabled(false);
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
    if (Engine)
        Engine->ApplySettings(Settings);
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
    // 1.-2.
    FirstRun = !ReadSettings();
    if (FirstRun) {
        Settings.VisualsUseFade = !slow;
        Settings.VisualsShowPeaks = !slow;
        Settings.VisualsInterval = slow ? 50 : 30;
        if (Engine)
            Engine->ApplySettings(Settings);
        FirstRun = false;
    }
    // 6.
    TitleTimer->SetEnabled(true);
    Timer1->SetEnabled(true);
    Timer1Timer(Timer1);
    // 7.
    RestorePositions();
}

void TControlForm::Timer1Timer(TObject*)
{
    if (!Engine)
        return;
    PlayState = Engine->GetFilterState();
    PlayPosition = PlayState != 3 ? static_cast<int32_t>(Engine->GetPosition() / 1000000) : 0;
    PlayDuration = PlayState != 3 ? static_cast<int32_t>(Engine->GetDurication() / 1000000) : 0;
}

// ---- what the engine hands over for the playing file ----

void TControlForm::SetTitleInfo(const TStringList& lines)
{
    TitleLines.clear();
    for (int i = 0; i < lines.Count(); ++i)
        TitleLines.push_back(lines[i]);
}

void TControlForm::ClearBookmarks()
{
    FBookmarks.clear();
    FBookmarkImages.clear();
}

int TControlForm::AddBookmark(const std::string& name, const TBitmap32* thumbnail, int64_t position)
{
    const int64_t seconds = position / 10000000;
    TBookmarkRow row;
    row.Mark.Name = name;
    row.Mark.TimeText = Format("%2.2d:%2.2d:%2.2d", static_cast<int>(seconds / 3600), static_cast<int>(seconds % 3600 / 60),
                               static_cast<int>(seconds % 60));
    row.Mark.Position = position;
    if (thumbnail) {
        auto copy = std::make_unique<TBitmap32>();
        copy->Assign(*thumbnail);
        row.ImageIndex = static_cast<int>(FBookmarkImages.size());
        FBookmarkImages.push_back(std::move(copy));
    }
    FBookmarks.push_back(row);
    return static_cast<int>(FBookmarks.size()) - 1;
}

void TControlForm::Getbookmark(int index, TBookmark& bookmark)
{
    if (index >= 0 && index < BookmarkCount())
        bookmark = FBookmarks[static_cast<size_t>(index)].Mark;
}

int TControlForm::BookmarkImageIndex(int row)
{
    return row >= 0 && row < BookmarkCount() ? FBookmarks[static_cast<size_t>(row)].ImageIndex : -1;
}

bool TControlForm::GetBookmarkImage(int imageIndex, TBitmap32& into)
{
    if (imageIndex < 0 || static_cast<size_t>(imageIndex) >= FBookmarkImages.size())
        return false;
    into.Assign(*FBookmarkImages[static_cast<size_t>(imageIndex)]);
    return true;
}
