// The program's main block: one instance, the splash and the system check, every window and
// the engine in their order, the command line or the last play list, the message loop.
#include "ui/CommandLine.h"
#include "ui/CommonModuleEngine.h"
#include "ui/Control_Unit.h"
#include "ui/SmallDialogs.h"
#include "ui/OSD_Unit.h"
#include "ui/SnapShot_Unit.h"
#include "ui/SplashUnit.h"
#include "ui/SettingsUnit.h"
#include "ui/SysButton_Unit.h"
#include "ui/SysCheck_Unit.h"
#include "ui/Video_Unit.h"
#include "ui/Visualisation.h"

#include "DSFilters/ParvoluxSoundProcessor.h"
#include "engine/CommonUnit.h"
#include "engine/StreamDescriptions.h"
#include "framework/FileDialogs.h"
#include "menus/PopupMenu2000Form.h"
#include "playlist/AddDirUnit.h"
#include "playlist/InfoUnit.h"
#include "playlist/PlayList.h"
#include "playlist/PlaylistUnit.h"
#include "playlist/ShellDrop.h"

#include <cstring>
#include <memory>

namespace {
const char* const kMutexName = "{33564911-15C6-1D3C-FB92-000061556169}";

HWND FoundWindow = nullptr;
ATOM HandOverAtom = 0;

const char* CharNextStep(const char* p)
{
    return CharNextA(p);
}

// Only a window of our class is asked, and only for as long as a live window takes to answer.
bool IsRunningMainWindow(HWND wnd)
{
    char name[30] = {};
    GetClassNameA(wnd, name, sizeof name);
    if (std::strcmp(name, kMainWindowClass) != 0)
        return false;
    DWORD_PTR reply = 0;
    if (!SendMessageTimeoutA(wnd, UM_APPIDCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &reply))
        return false;
    return reply == static_cast<DWORD_PTR>(kAppIdAnswer);
}

BOOL CALLBACK FindRunningInstanceProc(HWND wnd, LPARAM)
{
    if (IsRunningMainWindow(wnd)) {
        FoundWindow = wnd;
        return FALSE;
    }
    return TRUE;
}

void HandOverToRunningInstance(const char* commandLine, int paramCount)
{
    PostMessageA(FoundWindow, UM_RESTOREAPPLICATION, 0, 0);
    if (paramCount <= 0)
        return;
    HandOverAtom = GlobalAddAtomA(commandLine);
    if (HandOverAtom == 0) {  // longer than an atom may be
        MessageBoxA(nullptr, SysErrorMessage(GetLastError()).c_str(), "Parvolux", MB_OK | MB_ICONERROR);
        return;
    }
    // Sent, not posted: the running instance has applied the command line when this returns.
    SendMessageA(FoundWindow, UM_PREVIOUSINSTPARAMS, HandOverAtom, 0);
    GlobalDeleteAtom(HandOverAtom);
}

// The play-list window as the player wires it: the engine plays its rows and fetches their
// details, the main window follows every change.
class TPlayerPlaylistForm : public TPlaylistForm {
public:
    TPlayerPlaylistForm(TComponent* owner, TCommonModule* engine, TControlForm* control)
        : TPlaylistForm(owner, engine, control, HostFor(engine, control)), FEngine(engine)
    {
        List()->FetchMediaInfo = GetMediaInfo;
        if (FEngine)
            FEngine->Services.PlaylistForm = this;
    }
    ~TPlayerPlaylistForm() override
    {
        // The engine outlives this window.
        if (FEngine)
            FEngine->Services.PlaylistForm = nullptr;
    }

private:
    static TPlaylistFormHost HostFor(TCommonModule* engine, TControlForm* control)
    {
        TPlaylistFormHost host;
        host.FilterState = [engine] { return engine ? engine->GetFilterState() : esNoGraph; };
        host.PlayInList = [engine](int index, bool autoPlay) { return engine && engine->PlayInList(index, autoPlay); };
        host.PlayListChanged = [control] { control->PlayListChanged(); };
        host.ReleasePlayListButton = [control] { control->ShowPlayListBtn->SetDown(false); };
        host.PlaylistDocked = [control](bool docked) {
            if (control->VideoForm)
                control->VideoForm->PlaylistDocked(docked);
        };
        host.ChooseMediaFiles = [engine, control] {
            std::vector<std::string> names;
            if (engine && engine->OpenFilesDialog && !ExecuteOpenDialog(*engine->OpenFilesDialog, control->Handle(), names))
                names.clear();
            return names;
        };
        return host;
    }

    TCommonModule* FEngine;
};

// Frees a form the application owns before the application goes.
void FreeForm(TCustomForm* form)
{
    std::unique_ptr<TCustomForm> owned(form);
}

int RunParvolux()
{
    // 1.
    FoundWindow = nullptr;
    HandOverAtom = 0;
    const char* commandLine = GetCommandLineA();
    const int paramCount = ParamCount(commandLine, CharNextStep);

    // 2.
    SetLastError(0);
    TKernelHandle mutex(CreateMutexA(nullptr, TRUE, kMutexName));
    if (!mutex || GetLastError() != 0) {
        EnumWindows(FindRunningInstanceProc, 0);
        if (FoundWindow)
            HandOverToRunningInstance(commandLine, paramCount);
        return 0;
    }

    TApplication app;
    UseMenuWindows();  // every popup shows the skinned menu window
    // 3.
    auto* splash = NewComponent<TSplashForm>(&app);
    splash->ShowInactive();
    auto* check = NewComponent<TSysCheckForm>(&app);

    // 4.
    std::string installPath;
    TVersionWords programVersion{};
    bool slow = false;
    TControlForm* control = nullptr;
    TCommonModule* engine = nullptr;
    std::unique_ptr<TCommonModuleEngine> engineLink;
    std::unique_ptr<TVisualisation> visualisation;
    TParvoluxSoundProcessor* processor = nullptr;
    if (RunSystemCheck(check, installPath, programVersion, slow)) {
        // 5.
        SetSplashStatus(splash, "Initializing...");
        app.Title = "Parvolux";
        SetSplashStatus(splash, "loading interface...");
        AddSplashProgressDot(splash);

        // 6.
        control = app.CreateForm<TControlForm>();
        control->HandleNeeded();  // from here a second start finds this instance
        app.CreateForm<TAbout>(FormatVersion(programVersion));
        AddSplashProgressDot(splash);
        auto* infoForm = app.CreateForm<TInfoForm>();
        AddSplashProgressDot(splash);
        app.CreateForm<TURLForm>();
        AddSplashProgressDot(splash);
        auto* proxyForm = app.CreateForm<TProxyForm>();
        AddSplashProgressDot(splash);

        // 7.
        control->SetInstallFolder(installPath);
        control->ProgramVersion = programVersion;
        control->DXVersion = check->DXVersion;
        control->SetCaption("Parvolux v" + FormatVersion(programVersion));
        AddSplashProgressDot(splash);

        // 8.
        TEngineServices services;
        services.ControlForm = control;
        engine = NewComponent<TCommonModule>(&app, services);
        engine->FastProcessor = !slow;
        // The sound processor is one of the engine's components: every graph plays through it.
        processor = NewComponent<TParvoluxSoundProcessor>(engine);
        processor->SetOnMediaTypeChange(
            [engine](TObject* sender, PDSStream stream) { engine->PvlSprocessorMediaTypeChange(sender, stream); });
        processor->SetOnVisualData([engine](TObject* sender, void* buffer, int32_t size, PDSStream stream) {
            engine->PvlSprocessorVisualData(sender, buffer, size, stream);
        });
        processor->SetOnFilterFlush([engine](TObject* sender) { engine->PvlSprocessorFilterFlush(sender); });
        processor->SetVisualEnabled(true);
        processor->SetVisualInterval(30);
        visualisation = std::make_unique<TVisualisation>(*engine, *control->pbVisual);
        engine->Services.VisualDisplay = visualisation.get();
        control->Visualisation = visualisation.get();
        control->VisualPicture = engine->VisualBitmap.get();
        engine->PvlSprocessor = processor;
        engineLink = std::make_unique<TCommonModuleEngine>(*engine);
        control->Engine = engineLink.get();
        control->PvlSprocessor = processor;
        control->SRS_TS1 = engine->SRS_TS1;
        control->SRS_CS1 = engine->SRS_CS1;
        AddSplashProgressDot(splash);
        auto* video = app.CreateForm<TVideoForm>();
        video->Engine = engineLink.get();
        video->ControlForm = control;
        control->VideoForm = video;
        engine->Services.VideoForm = video;
        AddSplashProgressDot(splash);
        auto* sysButtons = app.CreateForm<TSysButtons>();
        sysButtons->VideoForm = video;
        sysButtons->CloseApp = [control] { control->CloseApp(); };
        sysButtons->RegionsEnabled = [control] { return control->FastProcessor; };
        video->SysButtons = sysButtons;
        AddSplashProgressDot(splash);
        auto* playlistForm = app.CreateForm<TPlayerPlaylistForm>(engine, control);
        control->PlaylistForm = playlistForm;
        control->PlayList = playlistForm->List();
        video->PlaylistForm = playlistForm;
        playlistForm->DockHost = video;
        AddSplashProgressDot(splash);
        playlistForm->AddDirForm = app.CreateForm<TAddDirForm>();
        auto* settingsForm = app.CreateForm<TSettingsForm>();
        settingsForm->Engine = engineLink.get();
        settingsForm->ProxyDialog = proxyForm;
        settingsForm->InstallFolder = installPath;
        settingsForm->ProgramVersion = programVersion;
        settingsForm->DXVersion = check->DXVersion;
        control->SettingsDialog = settingsForm;
        AddSplashProgressDot(splash);
        control->SnapShotForm = app.CreateForm<TSnapShotForm>();
        AddSplashProgressDot(splash);
        auto* startPlayback = app.CreateForm<TStartPlaybackForm>();
        engine->Services.StartPlaybackForm = startPlayback;
        AddSplashProgressDot(splash);
        auto* osd = app.CreateForm<TOSDForm>(*video);
        osd->RegionsEnabled = [engine] { return engine->FastProcessor; };
        video->OSD = osd;
        engine->Services.OSDForm = osd;
        AddSplashProgressDot(splash);
        auto* renderResult = app.CreateForm<TRenderResultForm>();
        engine->Services.RenderResultForm = renderResult;
        AddSplashProgressDot(splash);

        // The information window holds the tags the engine reads at every open; the title
        // box's double click edits them.
        engine->Services.InfoTags = &infoForm->Tags;
        control->TagCommand.SupportsTags = [engine] { return engine->SupportsTags(); };
        control->TagCommand.PlayingFileName = [engine] { return engine->PlayingFileName; };
        control->TagCommand.ClosePlayingFile = [engine] { engine->ReleasePlayingFile(); };
        control->TagCommand.EditTags = [infoForm](const std::string& fileName, int kind) {
            infoForm->SetFile(fileName, kind);
            return infoForm->ShowModal() == mrOk;
        };
        control->TagCommand.SaveTags = [infoForm](const std::string& fileName, int kind) {
            return infoForm->SaveTags(fileName, kind);
        };

        // 9.
        SetSplashStatus(splash, "Preparing player...");
        control->PreparePlayer(slow);
        processor->SetVisualInterval(control->Settings.VisualsInterval);
        AddSplashProgressDot(splash);
        control->Settings.NoDXWarning = check->CheckBox1->Checked();
        AddSplashProgressDot(splash);

        // 10.
        if (paramCount > 0) {
            SetSplashStatus(splash, "processing params...");
            AddSplashProgressDot(splash);
            control->HandleParams(commandLine);
        } else {
            SetSplashStatus(splash, "loading last used playlist...");
            AddSplashProgressDot(splash);
            control->PlayList->LoadPredefList(plLastPlayed);
        }
        control->StartupFinished();

        // Files dropped on the player's windows reach the main window's message filter.
        AcceptDroppedFiles(control->Handle());
        AcceptDroppedFiles(video->Handle());

        // 11.
        splash->Hide();
        app.Run();
    }

    // 12.
    FreeForm(check);
    FreeForm(splash);
    ReleaseMutex(mutex.Get());
    if (control) {
        control->Engine = nullptr;  // the application frees the engine and the windows
        control->PvlSprocessor = nullptr;
        control->SRS_TS1 = nullptr;
        control->SRS_CS1 = nullptr;
        control->SettingsDialog = nullptr;
        if (control->VideoForm) {
            control->VideoForm->Engine = nullptr;
            control->VideoForm->SysButtons = nullptr;
        }
    }
    if (control)
        control->TagCommand = {};
    if (engine) {
        // These windows go before the engine.
        engine->Services.VideoForm = nullptr;
        engine->Services.RenderResultForm = nullptr;
        engine->Services.StartPlaybackForm = nullptr;
        engine->Services.InfoTags = nullptr;
    }
    if (engine) {
        engine->Services.VisualDisplay = nullptr;
        engine->Services.OSDForm = nullptr;
    }
    if (control) {
        if (control->VideoForm)
            control->VideoForm->OSD = nullptr;
        control->Visualisation = nullptr;
        control->VisualPicture = nullptr;
    }
    return 0;
}
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    try {
        return RunParvolux();
    } catch (const std::exception& e) {
        MessageBoxA(nullptr, e.what(), "Parvolux", MB_OK | MB_ICONERROR);
        return 1;
    }
}
