#pragma once
// The playback engine: the media graph of the one open file or address with every interface
// taken from it, transport, positions and volume, the lists built with the graph, and the
// settings, devices and file types the windows read. One instance lives from the start-up to
// the end of the program; everything runs on the GUI thread.
#include "dshow/DShow.h"
#include "engine/AC3FilterCntl.h"
#include "engine/CommonUnitCore.h"
#include "engine/Common_Types.h"
#include "engine/Common_TypesCom.h"
#include "engine/DSUtil.h"
#include "engine/DirectVobSub.h"
#include "engine/EngineServices.h"
#include "engine/ExternalFilterCntl.h"
#include "engine/GraphBuildCore.h"
#include "engine/GraphBuilderCallback.h"
#include "engine/SRS_CircleSurroundII.h"
#include "engine/SRS_TruSurroundXT.h"
#include "DSFilters/PvlEqCore.h"
#include "DSFilters/dspFastFourier.h"
#include "framework/Classes.h"
#include "framework/Dialogs.h"
#include "graphics/Bitmap32.h"
#include "playlist/InfoTags.h"
#include "playlist/PlayListHost.h"

#include <qnetwork.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Engine state codes (GetFilterState, SetFilterState).
inline constexpr uint8_t esStopped = 0;
inline constexpr uint8_t esRunning = 1;
inline constexpr uint8_t esPaused = 2;
inline constexpr uint8_t esNoGraph = 3;

// The graph-event message the main window handles (WM_USER + 100).
inline constexpr UINT WM_PLAYEVENT = WM_USER + 100;

inline constexpr wchar_t DefaultAudioRender[] =
    L"@device:cm:{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}\\Default DirectSound Device";

// The engine is also what the play list calls (IPlayListEngine).
class TCommonModule : public TComponent, public IPlayListEngine {
    TComApartment FApartment;  // first, so COM outlives every interface the module holds

public:
    // Runs DataModuleCreate; the main window (services.ControlForm) must exist already.
    TCommonModule(TComponent* owner, const TEngineServices& services);
    // Runs DataModuleDestroy. A window freed before the engine clears its pointer in Services.
    ~TCommonModule() override;

    TEngineServices Services;

    // Components of the module, owned by it, made in this order with their stored settings.
    // The sound processor comes from its own library; until it is attached it stays empty.
    TOpenDialog* OpenFilesDialog = nullptr;
    TSRS_CircleSurroundII* SRS_CS1 = nullptr;
    TDirectVobSub* DirectVobSub1 = nullptr;
    TAC3FilterCntl* AC3Filter1 = nullptr;
    TSRS_TruSurroundXT* SRS_TS1 = nullptr;
    IGraphFilterComponent* PvlSprocessor = nullptr;
    // The sound processor's format-change event, bound by the start-up: keeps the latest
    // format record. Called on the streaming thread.
    void PvlSprocessorMediaTypeChange(TObject* sender, const TDSStream* stream);
    // The sound processor's visual events, bound by the start-up. The data comes from the
    // processor's visual timer on the GUI thread (no buffer when it has none); the flush on
    // the thread that flushes the graph, so it only marks the analysis buffer for clearing.
    void PvlSprocessorVisualData(TObject* sender, void* buffer, int32_t size, const TDSStream* stream);
    void PvlSprocessorFilterFlush(TObject* sender);
    TDSStream SoundProcessorFormat() const;

    // The graph of the open file and the interfaces taken from it; all empty while no file is open.
    ComPtr<IGraphBuilder> Graph;
    ComPtr<IGraphConfig> GraphConfig;
    ComPtr<IObjectWithSite> GraphSite;
    ComPtr<IMediaEventEx> MediaEvent;
    ComPtr<IMediaSeeking> MediaSeeking;
    ComPtr<IBasicAudio> BasicAudio;      // may stay empty
    ComPtr<IBaseFilter> AudioRenderer;
    ComPtr<IPin> AudioChainInput;        // where the chosen audio stream is connected
    ComPtr<IUnknown> DecoderColorControl;  // {D132EE97-3E38-4030-8B17-59163B30A1F5} of a decoder
    ComPtr<IDispatch> NetShowConfig;     // IAMNetShowConfig of a network source
    ComPtr<IAMNetworkStatus> NetworkStatus;
    ComPtr<IDispatch> NetShowExProps;    // IAMNetShowExProps of a network source

    // Lists built with the graph, and the lists of the program's life.
    std::vector<TPinItem> VideoPins;
    std::vector<TPinItem> AudioPins;
    std::vector<TStreamInfo> AudioStreams;
    std::vector<TStreamInfo> ChapterStreams;
    std::vector<std::unique_ptr<TVideoRenderItem>> VideoRenderers;
    TStringList PreferredRenderers;  // objects: TVideoRenderItem of VideoRenderers, in preference order
    std::vector<TAudioDeviceItem> AudioDevices;
    std::vector<TMonitorItem> MonitorList;
    TStringList FileHistory;
    TStringList PlaylistHistory;
    TStringList URLHistory;
    int32_t FileHistoryMax = 5;
    int32_t PlaylistHistoryMax = 10;
    int32_t URLHistoryMax = 10;

    int32_t FailedVideo = 0;
    int32_t FailedAudio = 0;
    std::string PlayingFileName;
    std::string MediaID;
    std::string MediaIDFolder;

    // Settings (filled and saved by the main window's settings code).
    int32_t BufferMode = 1;
    int32_t BufferSecs = 5;
    bool Multicast = true;
    bool TCP = true;
    bool UDP = true;
    bool UDPFixedPort = false;
    int32_t UDPPort = 0;
    bool HTTP = true;
    int32_t HTTPProxyMode = 1;  // 1 automatic, 2 HTTPProxyName:HTTPProxyPort
    WideString HTTPProxyName;
    int32_t HTTPProxyPort = 0;
    int32_t ResumeMode = 2;     // 0 resume, 1 from the start, 2 ask
    WideString AudioRender = DefaultAudioRender;
    int32_t SpeakerType = 0;
    bool PerfereSPDIF = false;
    bool NoSRS = false;
    bool CSActive = false;
    bool TSActive = false;

    // Cleared on a slow processor: the on-screen display is then a plain rectangle.
    bool FastProcessor = true;
    // Visualisation, drawn by the main window.
    TVisualBuffers Visual;
    uint32_t VisualBackColor = 0xBB7B42;  // COLORREF
    uint32_t VisualTextColor = 0xF0CAA6;
    std::unique_ptr<TDCFFT> VisualFFT;  // 1024 points, kernel order, unscaled
    std::unique_ptr<TBitmap32> VisualBitmap;
    std::unique_ptr<TBitmap32> FadeBitmap;

    void DataModuleCreate();
    void DataModuleDestroy();
    void AppClosing();

    uint8_t GetFilterState();
    void SetFilterState(uint8_t state);
    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    bool Next();
    bool Prev();

    int64_t GetDurication();
    int64_t GetPosition();
    bool SetPosition(int64_t position);
    int32_t GetMSecfromPercent(double percent);  // tenths of a second
    void GotoPercent(double percent);
    int32_t GetVolume();
    void SetVolume(int32_t volume);

    void FlushGraph();
    void ClosePlayingFile() override;
    // Closes the playing file and waits (at most timeoutMs) until no thread of the graph or of a
    // detail fetch still holds it, so that it can be rewritten at once.
    void ReleasePlayingFile(uint32_t timeoutMs = 5000);
    // The patterns of the file types' first line, upper case ("*.AVI").
    const TStringList& KnownExtensions() override { return FKnownExtensions; }
    void GetFilterByGUID(const CLSID& classId, ComPtr<IBaseFilter>& filter);

    void NextVisual() { Visual.NextVisual(); }
    void SwitchVisual(uint8_t mode) { Visual.SwitchVisual(mode); }
    void ResetVisual() { Visual.ResetVisual(); }
    void ResetPeaks() { Visual.ResetPeaks(); }

    // Opens play-list entry `index`: closes what plays, builds the graph, records the outcome
    // in the entry, fills the title lines, shows the render result, offers to resume and runs
    // the graph when autoPlay is set. True when a graph was built (fully or in part). Does
    // nothing (False) while an earlier call waits in a modal page or between Next's tries.
    virtual bool PlayInList(int index, bool autoPlay);
    // Builds the graph of one file or address by hand (source, splitter, video through the
    // optional subtitle filter, audio through the optional surround effect and the sound
    // processor). 0 when every tried pin rendered, a partial-render success code, or a
    // failure code; the graph built so far stays for the caller to release.
    HRESULT Renderfile(const WideString& FileName);

    // Movie memory (the ".cid" file of MediaID in the MediaID folder).
    // The media id of the open graph: empty without a video pin or a file name.
    std::string GenIDString();
    // Puts the stored bookmarks into the main window and gives the stored position and delay;
    // False (bookmarks cleared when a file was found) when the movie has no usable memory.
    bool CheckPrevLoaded(int64_t& lastPosition, int32_t& delay, int32_t& bookmarkCount);
    // Writes the open movie's memory; called while a graph exists, before it goes. A failure
    // never stops the close: the first one is reported, later ones are not.
    virtual void SaveMovieInfo();

    // Audio streams, subtitles and surround effects of the built graph.
    bool SearchSubtitles(const std::string& movieFile, std::string& subtitleFile);
    HRESULT AddPerferedMPEG2Splitter(IPin* sourcePin, ComPtr<IBaseFilter>& splitter);
    // The entry of AudioStreams that plays now, or -1.
    int GetSelectedAudioStream();
    // Feeds the audio chain from AudioPins[pinIndex]; False when nothing changed.
    bool SelectAudioStream(int pinIndex);
    // Puts a surround effect into the running audio chain or takes it out; the effect's
    // connected state afterwards.
    bool SetSRSCSActive(bool active);
    bool SetSRSTSActive(bool active);

    // Devices, history and tags.
    // Appends the display monitors to MonitorList.
    HRESULT EnumerateScreens();
    // Kind hkFiles or hkURLs; other kinds do nothing.
    void AddToHistory(const WideString& name, int kind);
    void WriteHistory(int kind);
    // Moves file-history entry `index` to the top and gives it; empty when out of range.
    void GetHistoryItem(int kind, int index, WideString& name);
    // 0 no tag editing, 1 ID3 tags, 2 AVI INFO tags for the open file.
    int SupportsTags();
    // The graph's site while a graph is built: accepts every filter the graph picks.
    ComPtr<IAMGraphBuilderCallback> GraphBuilderCallback = TGraphBuilderCallback::Create();

    std::string InstallFolder();

private:
    std::atomic<bool> FVisualFlushed{false};
    mutable std::mutex FFormatLock;
    TDSStream FSoundProcessorFormat{};
    void CreateComponents();
    void ReadFileTypes();
    void FillVideoRenderers();
    void ShowOSDText(const std::string& text, int seconds);
    IPlayList* PlayList();
    bool StepThroughPlayList(bool forward);
    // Stops the graph (StopGraph). One whose splitter never stops cannot be asked anything
    // again: it is closed as a file is closed, its memory saved first, and left behind
    // (CloseStuckGraph); false then, with no graph.
    bool StopPlayingGraph();
    void CloseStuckGraph();
    // Holds the graph for the rest of the run, takes the engine's kept filters out of it
    // through themselves, and lets the engine forget it; nothing reaches its splitter.
    void AbandonGraph();
    void LeaveGraphRecords();
    // SaveMovieInfo, whose failure never stops a close.
    void KeepMovieInfo();
    // The steps both surround switches share; ranThrough tells whether the graph was stopped
    // and brought back.
    bool SwitchSurround(TExternalFilterCntl& effect, bool inGraph, bool active,
                        const std::function<HRESULT(IPin* upstream)>& insert, bool& ranThrough);
    // One attempt of the graph build: how its splitter is searched, and how it came out.
    struct TBuildAttempt {
        TSplitterSearch Search = TSplitterSearch::ExactThenWildcard;
        std::vector<std::string> Skip;  // filters the search never tries
        TMediaTypePtr StreamType;       // the byte stream's type; none when the source splits
        std::string SplitterKey;
        TRenderCounts Counts;
        bool Ended = false;  // no step failed before the result
    };
    HRESULT BuildGraph(const WideString& FileName, TBuildAttempt& attempt);
    int32_t UndecodedPins = 0;  // of the attempt being built
    // Steps of the graph build.
    HRESULT ClassifyOutputPins(IBaseFilter* splitter, bool followSplitters);
    void RenderFirstVideoPin(const std::string& movieFile);
    HRESULT ConnectToPreferredRenderer(IPin* pin);
    HRESULT AddAudioRenderer(ComPtr<IPin>& rendererInput);
    void ProbeAudioPins(const std::vector<std::string>& names);
    HRESULT BuildAudioChain(IPin* chosen, IPin* rendererInput);
    HRESULT AddTruSurround();
    HRESULT AddCircleSurround();
    void ReadStreamSelect(IBaseFilter* filter);
    TInfoTags& Tags();

    TStringList FKnownExtensions;
    bool FMemoryFailureReported = false;
    std::unique_ptr<TInfoTags> FOwnTags;  // while the information window is not attached
    bool FOpening = false;                // PlayInList is running or Next waits between tries
    // Holds FOpening for a scope.
    class TOpeningGuard {
    public:
        explicit TOpeningGuard(bool& flag) : FFlag(flag) { FFlag = true; }
        ~TOpeningGuard() { FFlag = false; }
        TOpeningGuard(const TOpeningGuard&) = delete;
        TOpeningGuard& operator=(const TOpeningGuard&) = delete;

    private:
        bool& FFlag;
    };
};

// Fills the list with the audio renderers of the category.
HRESULT EnumAudioRenderers(const GUID& category, std::vector<TAudioDeviceItem>* list);

// What the monitor enumeration fills: the list, and the first failure met.
struct TMonitorEnumContext {
    std::vector<TMonitorItem>* List = nullptr;
    HRESULT Failure = S_OK;
};
// DirectDrawEnumerateExA's callback: appends one monitor to the context's list.
BOOL WINAPI EnumMonitorsCallback(GUID* guid, LPSTR description, LPSTR driverName, LPVOID context, HMONITOR monitor);
