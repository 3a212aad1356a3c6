#include "engine/CommonUnit.h"

#include "engine/MyDSUtils.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <vector>

namespace {

struct TRendererChoice {
    const char* ShortName;
    const wchar_t* FriendlyName;
    CLSID ClassID;
};

// The video renderers the user can choose from, in the order they are offered.
const TRendererChoice RendererChoices[] = {
    {"VMR9", L"Video Mixing Renderer 9", {0x51B4ABF3, 0x748F, 0x4E3B, {0xA2, 0x76, 0xC8, 0x28, 0x33, 0x0E, 0x92, 0x6A}}},
    {"VMR", L"Video Mixing Renderer", {0x6BC1CFFA, 0x8FC1, 0x4261, {0xAC, 0x22, 0xCF, 0xB4, 0xCC, 0x38, 0xDB, 0x50}}},
    {"Overlay", L"Overlay Mixer", {0xCD8743A1, 0x3736, 0x11D0, {0x9E, 0x69, 0x00, 0xC0, 0x4F, 0xD7, 0xC1, 0x5B}}},
    {"Overlay2", L"Overlay Mixer 2", {0xA0025E90, 0xE45B, 0x11D1, {0xAB, 0xE9, 0x00, 0xA0, 0xC9, 0x05, 0xF3, 0x75}}},
    {"Normal", L"VideoRenderer", {0x70E102B0, 0x5556, 0x11CE, {0x97, 0xC0, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}}},
};

constexpr wchar_t LegacyFilterCategory[] = L"@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}\\";

// Stands in for "no site": this platform's graph dereferences a null site, so clearing the
// site hands it this object, which answers for no interface but IUnknown.
class TNoSite final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = iid == IID_IUnknown ? static_cast<IUnknown*>(this) : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

TNoSite NoSite;

// Graphs whose splitter never stopped. Releasing one would stop it again and wait for ever, so
// each is held on purpose, never released (not even at exit), until the process ends its threads.
void KeepAbandonedGraph(const ComPtr<IGraphBuilder>& graph)
{
    static auto* const abandoned = new std::vector<ComPtr<IGraphBuilder>>;
    abandoned->push_back(graph);
}

// Takes one of the engine's kept filters out of an abandoned graph through the filter alone
// (its peers may be the stuck splitter's pins), so that the next graph can have it.
void LeaveAbandonedGraph(IBaseFilter* filter)
{
    FILTER_INFO info{};
    if (!filter || FAILED(filter->QueryFilterInfo(&info)))
        return;
    const ComPtr<IFilterGraph> graph = AdoptRef(info.pGraph);
    if (!graph)
        return;
    filter->Stop();
    ComPtr<IEnumPins> pins;
    if (SUCCEEDED(filter->EnumPins(&pins))) {
        ComPtr<IPin> pin;
        while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK)
            pin->Disconnect();
    }
    filter->JoinFilterGraph(nullptr, nullptr);
}

WideString GuidText(const GUID& id)
{
    wchar_t text[40] = {};
    StringFromGUID2(id, text, 40);
    return text;
}

}  // namespace

TCommonModule::TCommonModule(TComponent* owner, const TEngineServices& services) : TComponent(owner), Services(services)
{
    CreateComponents();
    DataModuleCreate();
}

TCommonModule::~TCommonModule()
{
    DataModuleDestroy();
    DestroyComponents();  // the components release their COM objects while COM is still up
}

// The components as the module's resource holds them, each loaded with its stored settings.
void TCommonModule::CreateComponents()
{
    OpenFilesDialog = NewComponent<TOpenDialog>(this);
    OpenFilesDialog->Name = "OpenFilesDialog";
    OpenFilesDialog->Options = {ofHideReadOnly, ofAllowMultiSelect, ofEnableSizing};
    SRS_CS1 = NewComponent<TSRS_CircleSurroundII>(this);
    SRS_CS1->Name = "SRS_CS1";
    SRS_CS1->ReadStoredProperties();
    DirectVobSub1 = NewComponent<TDirectVobSub>(this);
    DirectVobSub1->Name = "DirectVobSub1";
    DirectVobSub1->ReadStoredProperties();
    AC3Filter1 = NewComponent<TAC3FilterCntl>(this);
    AC3Filter1->Name = "AC3Filter1";
    AC3Filter1->ReadStoredProperties();
    SRS_TS1 = NewComponent<TSRS_TruSurroundXT>(this);
    SRS_TS1->Name = "SRS_TS1";
    SRS_TS1->ReadStoredProperties();
}

std::string TCommonModule::InstallFolder()
{
    return Services.ControlForm ? Services.ControlForm->InstallFolder() : std::string();
}

void TCommonModule::DataModuleCreate()
{
    // 1. Visualisation: colours, buffers and the two bitmaps, 255 pixels wide.
    VisualBackColor = 0xBB7B42;
    VisualTextColor = 0xF0CAA6;
    VisualFFT = std::make_unique<TDCFFT>();
    VisualFFT->Scale = false;
    VisualFFT->ReOrder = true;
    VisualFFT->FFTSize = fts1024;
    Visual.ResetVisual();
    const int height = Services.ControlForm ? Services.ControlForm->VisualHeight() : 0;
    for (auto* bitmap : {&VisualBitmap, &FadeBitmap}) {
        *bitmap = std::make_unique<TBitmap32>();
        (*bitmap)->SetWidth(TVisualBuffers::Bars);
        (*bitmap)->SetHeight(height);
    }
    Visual.Mode = 2;
    Visual.ShowPeaks = true;
    Visual.UseFade = true;
    // 2.
    AudioRender = DefaultAudioRender;
    // 3.
    MonitorList.clear();
    EnumerateScreens();
    // 4.
    ReadFileTypes();
    // 5. and 6.
    VideoPins.clear();
    AudioPins.clear();
    AudioDevices.clear();
    AudioStreams.clear();
    ChapterStreams.clear();
    FillVideoRenderers();
    // 7.
    PreferredRenderers.Clear();
    MediaIDFolder = InstallFolder() + "MediaID";
    // 8.
    EnumAudioRenderers(CLSID_AudioRendererCategory, &AudioDevices);
    // 9.
    BufferMode = 1;
    BufferSecs = 5;
    Multicast = true;
    TCP = true;
    UDP = true;
    UDPFixedPort = false;
    UDPPort = 0;
    HTTP = true;
    HTTPProxyMode = 1;
    HTTPProxyName.clear();
    HTTPProxyPort = 0;
    FileHistory.Clear();
    PlaylistHistory.Clear();
    URLHistory.Clear();
}

void TCommonModule::DataModuleDestroy()
{
    FlushGraph();
    AudioDevices.clear();
    MonitorList.clear();
    PreferredRenderers.Clear();
    VideoRenderers.clear();
    FKnownExtensions.Clear();
    VisualFFT.reset();
    VisualBitmap.reset();
    FadeBitmap.reset();
}

void TCommonModule::ReadFileTypes()
{
    FKnownExtensions.Clear();
    OpenFilesDialog->Filter.clear();
    const std::string folder = InstallFolder();
    if (folder.empty())
        return;
    const std::string fileName = folder + "Data\\filetypes.cfg";
    TStringList lines;
    try {
        if (!FileExists(fileName))
            return;
        lines.LoadFromFile(fileName);
    } catch (const Exception&) {
        return;  // an unreadable list counts as a missing one
    }
    OpenFilesDialog->Filter = ParseFileTypes(lines, FKnownExtensions);
    OpenFilesDialog->FilterIndex = 0;
}

void TCommonModule::FillVideoRenderers()
{
    VideoRenderers.clear();
    for (const TRendererChoice& choice : RendererChoices) {
        if (!CanCreateFilter(choice.ClassID))
            continue;
        auto item = std::make_unique<TVideoRenderItem>();
        item->Index = static_cast<int32_t>(VideoRenderers.size());
        item->ShortName = choice.ShortName;
        item->FriendlyName = choice.FriendlyName;
        item->DisplayName = LegacyFilterCategory + GuidText(choice.ClassID);
        item->ClassID = choice.ClassID;
        VideoRenderers.push_back(std::move(item));
    }
}

void TCommonModule::AppClosing()
{
    ClosePlayingFile();
    if (IPlayList* list = PlayList())
        list->SavePlaylistFile(InstallFolder() + "Data\\" + "LastPlayed.pls");
    if (Services.ControlForm)
        Services.ControlForm->WriteSettings();
}

IPlayList* TCommonModule::PlayList()
{
    return Services.PlaylistForm ? Services.PlaylistForm->PlayList() : nullptr;
}

void TCommonModule::PvlSprocessorVisualData(TObject*, void* buffer, int32_t size, const TDSStream* stream)
{
    if (FVisualFlushed.exchange(false))
        std::fill(Visual.Analysis.begin(), Visual.Analysis.end(), 0);
    if (Services.VisualDisplay)
        Services.VisualDisplay->VisualData(buffer, size, stream);
}

void TCommonModule::PvlSprocessorFilterFlush(TObject*)
{
    FVisualFlushed = true;
}

void TCommonModule::ShowOSDText(const std::string& text, int seconds)
{
    if (Services.VideoForm && Services.VideoForm->Visible() && Services.OSDForm)
        Services.OSDForm->ShowTextTimed(text, seconds);
}

uint8_t TCommonModule::GetFilterState()
{
    if (!Graph)
        return esNoGraph;
    ComPtr<IMediaControl> control;
    OAFilterState state = State_Stopped;
    if (FAILED(Graph.As(&control)) || FAILED(control->GetState(10, &state)))
        return esNoGraph;
    switch (state) {
    case State_Running:
        return esRunning;
    case State_Paused:
        return esPaused;
    default:
        return esStopped;
    }
}

void TCommonModule::SetFilterState(uint8_t state)
{
    if (!Graph || state == GetFilterState())
        return;
    ComPtr<IMediaControl> control;
    if (FAILED(Graph.As(&control)))
        return;
    switch (state) {
    case esStopped:
        StopPlayingGraph();
        break;
    case esRunning:
        control->Run();
        break;
    case esPaused:
        control->Pause();
        break;
    case esNoGraph:
        ClosePlayingFile();
        break;
    default:
        break;
    }
}

void TCommonModule::Play()
{
    ComPtr<IMediaControl> control;
    if (!Graph || FAILED(Graph.As(&control)))
        return;
    ShowOSDText("Play", 3);
    control->Run();
}

void TCommonModule::Pause()
{
    ComPtr<IMediaControl> control;
    if (!Graph || FAILED(Graph.As(&control)))
        return;
    ShowOSDText("Pause", 3);
    control->Pause();
}

void TCommonModule::Stop()
{
    ComPtr<IMediaControl> control;
    if (!Graph || FAILED(Graph.As(&control)))
        return;
    ShowOSDText("Stop", 5);
    if (StopPlayingGraph())
        SetPosition(0);
}

void TCommonModule::PlayPause()
{
    if (!Graph) {
        IPlayList* list = PlayList();
        if (!list || list->ItemCount() <= 0)
            return;
        const int selected = Services.PlaylistForm->SelectedIndex();
        PlayInList(selected >= 0 ? selected : 0, true);
        return;
    }
    ComPtr<IMediaControl> control;
    OAFilterState state = State_Stopped;
    if (FAILED(Graph.As(&control)) || FAILED(control->GetState(10, &state)))
        return;
    if (state == State_Running) {
        if (Services.VideoForm && Services.VideoForm->Visible() && Services.OSDForm)
            Services.OSDForm->ShowTextBlink("Pause", true);
        control->Pause();
    } else {
        ShowOSDText("Play", 3);
        control->Run();
    }
}

bool TCommonModule::Next()
{
    return StepThroughPlayList(true);
}

bool TCommonModule::Prev()
{
    return StepThroughPlayList(false);
}

// Opens the next (or previous) entry that renders, trying each entry once, so that Repeat
// cannot go round for ever when nothing renders.
bool TCommonModule::StepThroughPlayList(bool forward)
{
    IPlayList* list = PlayList();
    if (!list)
        return false;
    std::vector<bool> tried(static_cast<size_t>(std::max(list->ItemCount(), 0)));
    while (forward ? list->HasNext() : list->HasPrev()) {
        const int index = forward ? list->NextIndex() : list->PrevIndex();
        if (index < 0 || static_cast<size_t>(index) >= tried.size() || tried[static_cast<size_t>(index)])
            return false;
        tried[static_cast<size_t>(index)] = true;
        if (PlayInList(index, true))
            return true;
        if (Application) {
            // A message handled here (the end of a stream, a click) must not open another item.
            const TOpeningGuard waiting(FOpening);
            Application->ProcessMessages();
        }
        list = PlayList();
        if (!list)
            return false;
    }
    return false;
}

int64_t TCommonModule::GetDurication()
{
    if (!Graph || !MediaSeeking)
        return 0;
    MediaSeeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME);
    LONGLONG duration = 0;
    if (FAILED(MediaSeeking->GetDuration(&duration)))
        return 0;
    return duration;
}

int64_t TCommonModule::GetPosition()
{
    if (!Graph || !MediaSeeking)
        return 0;
    LONGLONG position = 0;
    if (FAILED(MediaSeeking->GetCurrentPosition(&position)))
        return 0;
    return position;
}

bool TCommonModule::SetPosition(int64_t position)
{
    ComPtr<IMediaControl> control;
    if (!Graph || !MediaSeeking || FAILED(Graph.As(&control)))
        return false;
    const HRESULT result = SeekGraph(control.Get(), MediaSeeking.Get(), position);
    if (result == VFW_E_TIMEOUT)
        CloseStuckGraph();
    return SUCCEEDED(result);
}

int32_t TCommonModule::GetMSecfromPercent(double percent)
{
    return TenthsFromPercent(GetDurication(), percent);
}

void TCommonModule::GotoPercent(double percent)
{
    SetPosition(PositionFromPercent(GetDurication(), percent));
}

int32_t TCommonModule::GetVolume()
{
    long volume = 0;
    if (!Graph || !BasicAudio || FAILED(BasicAudio->get_Volume(&volume)))
        return 0;
    return volume;
}

void TCommonModule::SetVolume(int32_t volume)
{
    if (Graph && BasicAudio)
        BasicAudio->put_Volume(GraphVolumeFromVolume(volume));
}

void TCommonModule::FlushGraph()
{
    if (ComPtr<IMediaControl> control; Graph && SUCCEEDED(Graph.As(&control)) && StopGraph(control.Get()) == VFW_E_TIMEOUT)
        AbandonGraph();
    if (Graph)
        LeaveGraphRecords();
    if (Services.VideoForm)
        Services.VideoForm->ReleaseRenderer();
    if (SRS_CS1)
        SRS_CS1->RemoveFilterFromGraph();
    if (SRS_TS1)
        SRS_TS1->RemoveFilterFromGraph();
    if (PvlSprocessor)
        PvlSprocessor->RemoveFilterFromGraph();
    if (AC3Filter1)
        AC3Filter1->RemoveFilterFromGraph();
    if (DirectVobSub1)
        DirectVobSub1->RemoveFilterFromGraph();
    // The pin records go before the filters are disconnected: this platform's parsers free
    // their output pins when their input is disconnected, whatever references are left.
    VideoPins.clear();
    AudioPins.clear();
    AudioStreams.clear();
    ChapterStreams.clear();
    RemoveAllFilters(Graph.Get());
    DecoderColorControl.Reset();
    NetShowConfig.Reset();
    NetworkStatus.Reset();
    NetShowExProps.Reset();
    AudioChainInput.Reset();
    AudioRenderer.Reset();
    BasicAudio.Reset();
    MediaSeeking.Reset();
    MediaEvent.Reset();
    GraphSite.Reset();
    GraphConfig.Reset();
    Graph.Reset();
}

// The graph's own records of the engine: no filter is asked.
void TCommonModule::LeaveGraphRecords()
{
    ComPtr<IMediaEventEx> events;
    if (SUCCEEDED(Graph.As(&events)))
        events->SetNotifyWindow(0, 0, 0);
    ComPtr<IObjectWithSite> site;
    if (SUCCEEDED(Graph.As(&site)))
        site->SetSite(&NoSite);
}

void TCommonModule::AbandonGraph()
{
    KeepAbandonedGraph(Graph);
    LeaveGraphRecords();
    for (IBaseFilter* filter : {SRS_CS1 ? SRS_CS1->Filter() : nullptr, SRS_TS1 ? SRS_TS1->Filter() : nullptr,
                                PvlSprocessor ? PvlSprocessor->Filter() : nullptr, AC3Filter1 ? AC3Filter1->Filter() : nullptr,
                                DirectVobSub1 ? DirectVobSub1->Filter() : nullptr})
        LeaveAbandonedGraph(filter);
    Graph.Reset();
}

bool TCommonModule::StopPlayingGraph()
{
    ComPtr<IMediaControl> control;
    if (!Graph || FAILED(Graph.As(&control)) || StopGraph(control.Get()) != VFW_E_TIMEOUT)
        return true;
    CloseStuckGraph();
    return false;
}

void TCommonModule::CloseStuckGraph()
{
    KeepMovieInfo();
    AbandonGraph();
    ClosePlayingFile();
}

void TCommonModule::KeepMovieInfo()
{
    try {
        SaveMovieInfo();
    } catch (const std::exception&) {
        // The movie memory reports its own failures; the graph goes all the same.
    }
}

void TCommonModule::ClosePlayingFile()
{
    if (Graph && GetFilterState() != esNoGraph) {
        ComPtr<IMediaControl> control;
        const bool stuck = SUCCEEDED(Graph.As(&control)) && StopGraph(control.Get()) == VFW_E_TIMEOUT;
        KeepMovieInfo();
        if (stuck)
            AbandonGraph();
    }
    FlushGraph();
    if (Services.ControlForm) {
        Services.ControlForm->ClearBookmarks();
        Services.ControlForm->PrepareNewFile();
    }
}

void TCommonModule::ReleasePlayingFile(uint32_t timeoutMs)
{
    const std::string fileName = PlayingFileName;
    ClosePlayingFile();
    if (fileName.empty())
        return;
    // The splitter's reader and a detail fetch let the file go on their own threads.
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        const HANDLE file = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return;
        }
        if (GetLastError() != ERROR_SHARING_VIOLATION)
            return;
        if (Application)
            Application->ProcessMessages();
        Sleep(20);
    }
}

void TCommonModule::GetFilterByGUID(const CLSID& classId, ComPtr<IBaseFilter>& filter)
{
    filter.Reset();
    ComPtr<IEnumFilters> filters;
    if (!Graph || FAILED(Graph->EnumFilters(&filters)))
        return;
    ComPtr<IBaseFilter> each;
    while (filters->Next(1, each.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        CLSID id;
        if (SUCCEEDED(each->GetClassID(&id)) && id == classId) {
            filter = each;
            return;
        }
    }
}
