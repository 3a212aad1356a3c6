// The main window's command line, hand-over queue and graph-event drain, with a stand-in
// engine and a real play list.
#include "ui/CommonModuleEngine.h"
#include "ui/Control_Unit.h"
#include "ui/SysCheck_Unit.h"
#include "ui/Video_Unit.h"

#include "engine/CommonUnit.h"
#include "playlist/PlayList.h"
#include "tests/support/PlayerEngineStandIn.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WavWriter.h"
#include "tests/support/WineGraph.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {
using TLog = std::vector<std::string>;

// The graph's event queue: hands out queued events and logs what is done with them.
class TEventQueue : public IMediaEventEx {
public:
    explicit TEventQueue(TLog& log) : FLog(log) {}
    struct TEvent {
        long Code;
        LONG_PTR Param1, Param2;
    };
    std::deque<TEvent> Events;
    ULONG References = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IMediaEventEx) || iid == __uuidof(IMediaEvent)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++References; }
    ULONG STDMETHODCALLTYPE Release() override { return --References; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetEventHandle(OAEVENT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetEvent(long* code, LONG_PTR* param1, LONG_PTR* param2, long) override
    {
        if (Events.empty())
            return E_ABORT;
        *code = Events.front().Code;
        *param1 = Events.front().Param1;
        *param2 = Events.front().Param2;
        Events.pop_front();
        FLog.push_back("GetEvent " + std::to_string(*code));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE WaitForCompletion(long, long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CancelDefaultHandling(long) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RestoreDefaultHandling(long) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FreeEventParams(long code, LONG_PTR, LONG_PTR) override
    {
        FLog.push_back("Free " + std::to_string(code));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetNotifyWindow(OAHWND, long, LONG_PTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetNotifyFlags(long) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNotifyFlags(long*) override { return E_NOTIMPL; }

private:
    TLog& FLog;
};

class TStandInEngine : public pvltest::TPlayerEngineStandIn {
public:
    explicit TStandInEngine(TLog& log) : Log(log), Queue(log) {}
    TLog& Log;
    TEventQueue Queue;
    bool HasGraph = true;
    std::function<void()> DuringPlayInList;

    void PlayPause() override { Log.push_back("PlayPause"); }
    void Stop() override { Log.push_back("Stop"); }
    void PlayInList(int32_t index, bool autoplay) override
    {
        Log.push_back("PlayInList " + std::to_string(index) + (autoplay ? " autoplay" : ""));
        if (DuringPlayInList)
            DuringPlayInList();
    }
    void AddToHistory(const WideString& name, int kind) override
    {
        Log.push_back("AddToHistory " + WideToAnsi(name) + " " + std::to_string(kind));
    }
    ComPtr<IMediaEventEx> MediaEvent() override { return HasGraph ? ComPtr<IMediaEventEx>(&Queue) : nullptr; }
    void SetBuffering(bool value) override { Log.push_back(std::string("SetBuffering ") + (value ? "1" : "0")); }
    std::string EventCodeText(long code) override { return "generic " + std::to_string(code); }
    void AppClosing() override { Log.push_back("AppClosing"); }
};

class ControlForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        App.ShowExceptions = false;
        Form = App.CreateForm<TControlForm>();
        Form->Engine = &Engine;
        Form->PlayList = &List;
    }
    void AddEntries(std::initializer_list<const char*> names)
    {
        for (const char* name : names) {
            TPlayListItem item;
            item.FileName = name;
            List.AddPlaylistRecord(item);
        }
    }
    void Notify() { SendMessageA(Form->Handle(), WM_PLAYEVENT, 0, 0); }

    TLog Log;
    TStandInEngine Engine{Log};
    TApplication App;
    TPlayList List;
    TControlForm* Form = nullptr;
};
}

TEST_F(ControlForm, EndOfStreamPlaysTheNextEntryOrStops)
{
    AddEntries({"a.mp3", "b.mp3"});
    List.SetPlayingIndex(0);
    Engine.Queue.Events = {{1, 0, 0}};
    Notify();
    EXPECT_EQ(Log, (TLog{"GetEvent 1", "Free 1", "PlayInList 1 autoplay"}));

    Log.clear();
    List.SetPlayingIndex(1);
    Engine.Queue.Events = {{1, 0, 0}};
    Notify();
    EXPECT_EQ(Log, (TLog{"GetEvent 1", "Free 1", "Stop"}));

    Log.clear();
    List.Repeat = true;  // the last entry wraps to the first
    Engine.Queue.Events = {{1, 0, 0}};
    Notify();
    EXPECT_EQ(Log, (TLog{"GetEvent 1", "Free 1", "PlayInList 0 autoplay"}));
}

TEST_F(ControlForm, DrainEndsAfterTheFileWasReplacedAndIgnoresReentry)
{
    AddEntries({"a.mp3", "b.mp3", "c.mp3"});
    List.SetPlayingIndex(0);
    // Opening the next file pumps messages: the graph's next notification comes in meanwhile.
    Engine.DuringPlayInList = [this] { Notify(); };
    Engine.Queue.Events = {{0x43, 0, 0}, {1, 0, 0}, {0x48, 0, 0}};
    Notify();
    EXPECT_EQ(Log, (TLog{"GetEvent 67", "Free 67", "GetEvent 1", "Free 1", "PlayInList 1 autoplay"}));
    EXPECT_EQ(Engine.Queue.Events.size(), 1u) << "what followed belonged to the old graph's queue";
    EXPECT_EQ(Form->NetworkStatusText, " Moment, trying to connect...");
    EXPECT_EQ(Engine.Queue.References, 1u) << "the drain's own reference is released";
}

TEST_F(ControlForm, NetworkEventsSetStatusAndBuffering)
{
    Engine.Queue.Events = {{0x11, 1, 0}, {0x46, 0, 37}, {0x0E, 0, 0}, {0x11, 0, 0}};
    Notify();
    EXPECT_EQ(Form->NetworkStatusText, " Moment, receiving data... 37%");
    EXPECT_EQ(Log, (TLog{"GetEvent 17", "Free 17", "SetBuffering 1", "GetEvent 70", "Free 70", "GetEvent 14", "Free 14",
                         "GetEvent 17", "Free 17", "SetBuffering 0"}));
    Engine.Queue.Events = {{0x49, 0, 0}};
    Notify();
    EXPECT_EQ(Form->NetworkStatusText, "generic 73");
    Log.clear();
    Engine.HasGraph = false;
    Notify();
    EXPECT_TRUE(Log.empty());
}

TEST_F(ControlForm, CommandLineReplacesOrAppendsAndAlwaysPlays)
{
    const struct {
        const char* CommandLine;
        std::vector<std::string> Entries;
        TLog Calls;
    } cases[] = {
        {"Parvolux \"C:\\My Movies\\one.avi\"", {"C:\\My Movies\\one.avi"},
         {"AddToHistory C:\\My Movies\\one.avi 0", "PlayPause"}},
        {"C:\\P\\Parvolux.exe a.avi b.avi", {"a.avi", "b.avi"}, {"PlayPause"}},
        {"C:\\P\\Parvolux.exe /add c.avi", {"old.avi", "c.avi"}, {"PlayPause"}},
        {"C:\\P\\Parvolux.exe /F", {}, {"PlayPause"}},
    };
    for (const auto& c : cases) {
        List.Clear();
        AddEntries({"old.avi"});
        Log.clear();
        Form->HandleParams(c.CommandLine);
        std::vector<std::string> entries;
        for (int32_t i = 0; i < List.ItemCount(); ++i) {
            TPlayListItem item;
            List.GetItem(i, item);
            entries.push_back(item.FileName);
        }
        EXPECT_EQ(entries, c.Entries) << c.CommandLine;
        EXPECT_EQ(Log, c.Calls) << c.CommandLine;
    }
    Log.clear();
    Form->HandleParams(nullptr);
    EXPECT_TRUE(Log.empty());
}

TEST_F(ControlForm, HandOversWaitForTheEndOfStartUp)
{
    auto handOver = [this](const char* text) {
        const ATOM atom = GlobalAddAtomA(text);
        SendMessageA(Form->Handle(), UM_PREVIOUSINSTPARAMS, atom, 0);
        GlobalDeleteAtom(atom);
    };
    EXPECT_EQ(SendMessageA(Form->Handle(), UM_APPIDCHECK, 0, 0), kAppIdAnswer);
    handOver("p.exe first.avi");
    handOver("p.exe /ADD second.avi");
    EXPECT_TRUE(Log.empty());
    Form->StartupFinished();
    EXPECT_EQ(Log, (TLog{"AddToHistory first.avi 0", "PlayPause", "PlayPause"}));
    EXPECT_EQ(List.ItemCount(), 2);
    Log.clear();
    handOver("p.exe third.avi");
    EXPECT_EQ(Log, (TLog{"AddToHistory third.avi 0", "PlayPause"}));
}

TEST_F(ControlForm, PlayListChangedFollowsThePlayingEntry)
{
    auto* videoForm = App.CreateForm<TVideoForm>();
    Form->VideoForm = videoForm;
    TControl* video = videoForm->Label39;
    TControl* prev = Form->PrevBtn;
    TControl* next = Form->NextBtn;
    AddEntries({"C:\\media\\first.avi", "C:\\media\\second.avi"});
    TPlayListItem titled;
    List.GetItem(1, titled);
    titled.Title = "The Second";
    List.SetItem(1, titled);

    Form->PlayListChanged();
    EXPECT_EQ(video->Caption(), "");
    List.SetPlayingIndex(0);
    Form->PlayListChanged();
    EXPECT_EQ(video->Caption(), "first.avi");
    EXPECT_FALSE(prev->Enabled());
    EXPECT_TRUE(next->Enabled());
    List.SetPlayingIndex(1);
    Form->PlayListChanged();
    EXPECT_EQ(video->Caption(), "The Second");
    EXPECT_TRUE(prev->Enabled());
    EXPECT_FALSE(next->Enabled());
}

TEST_F(ControlForm, PlayListButtonsShowTheWindowAndSetShuffleAndRepeat)
{
    auto* playlistForm = App.CreateForm<TForm>();
    Form->PlaylistForm = playlistForm;
    const auto press = [](TSpeedButton* button) {
        SendMessageA(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    };
    press(Form->ShowPlayListBtn);
    EXPECT_TRUE(playlistForm->Visible());
    EXPECT_TRUE(Form->ShowPlayListBtn->Down());
    press(Form->ShowPlayListBtn);
    EXPECT_FALSE(playlistForm->Visible());
    EXPECT_FALSE(Form->ShowPlayListBtn->Down());

    AddEntries({"a.mp3", "b.mp3"});
    press(Form->Shuffle_Btn);
    EXPECT_TRUE(List.Shuffle);
    press(Form->Shuffle_Btn);
    EXPECT_FALSE(List.Shuffle);
    press(Form->Repeat_Btn);
    EXPECT_TRUE(List.Repeat);
    press(Form->Repeat_Btn);
    EXPECT_FALSE(List.Repeat);
}

TEST_F(ControlForm, WindowIsFoundByItsClassName)
{
    char name[64] = {};
    GetClassNameA(Form->Handle(), name, sizeof name);
    EXPECT_STREQ(name, "QRV-604519-LT");
}

TEST(SystemCheckParts, ProcessorSpeedIsMeasuredAtNormalPriority)
{
    const DWORD priorityClass = GetPriorityClass(GetCurrentProcess());
    const int threadPriority = GetThreadPriority(GetCurrentThread());
    const int mhz = MeasureCpuMhz();
    EXPECT_GT(mhz, 100);
    EXPECT_LT(mhz, 20000);
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), priorityClass);
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), threadPriority);
}

TEST(SystemCheckParts, ProgramWithoutVersionResourceKeepsItsWords)
{
    TVersionWords words{9, 8, 7, 6};
    EXPECT_FALSE(GetProgramVersion(words));
    EXPECT_EQ(words, (TVersionWords{9, 8, 7, 6}));
}

namespace {
// The main window and the real engine module, as the start-up makes them.
struct TWindowAndEngine {
    TWindowAndEngine()
    {
        App.ShowExceptions = false;
        Control = App.CreateForm<TControlForm>();
        TEngineServices services;
        services.ControlForm = Control;
        Module = NewComponent<TCommonModule>(&App, services);
        Link = std::make_unique<TCommonModuleEngine>(*Module);
    }
    ~TWindowAndEngine() { Control->Engine = nullptr; }
    TApplication App;
    TControlForm* Control;
    TCommonModule* Module;
    std::unique_ptr<TCommonModuleEngine> Link;
};
}

TEST(CommonModuleEngine, SettingsReachTheModuleAndComeBack)
{
    TWindowAndEngine w;
    TCommonModule* module = w.Module;
    TCommonModuleEngine& link = *w.Link;
    ASSERT_FALSE(module->VideoRenderers.empty());
    const std::string known = WideToAnsi(module->VideoRenderers.front()->DisplayName);

    TPlayerSettings s;
    s.UseSRS = true;
    s.ResumeMode = 0;
    s.HistoryFiles = 3;
    s.HistoryPlaylists = 4;
    s.HistoryURLs = 6;
    s.SpeakerType = 7;
    s.PerfereSPDIF = true;
    s.AudioRender = "@device:cm:{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}\\Speakers";
    s.BufferMode = 0;
    s.BufferSecs = 17;
    s.Multicast = false;
    s.TCP = false;
    s.UDP = false;
    s.UDPFixedPort = true;
    s.UDPPort = 7777;
    s.HTTP = false;
    s.HTTPProxyMode = 2;
    s.HTTPProxyName = "proxy.example";
    s.HTTPProxyPort = 8080;
    s.Visuals = 5;
    s.VisualsUseFade = false;
    s.VisualsShowPeaks = false;
    s.PreferredVideoRenderers = {"@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}\\{00000000-0000-0000-0000-000000000000}", known};
    s.FileHistory = {"C:\\a.avi", "C:\\b.avi"};
    s.PlaylistHistory = {"C:\\l.pls"};
    s.URLHistory = {"http://x"};
    link.ApplySettings(s);

    EXPECT_FALSE(module->NoSRS);
    EXPECT_EQ(module->AudioRender, AnsiToWide(s.AudioRender));
    EXPECT_EQ(module->HTTPProxyName, L"proxy.example");
    EXPECT_EQ(module->Visual.Mode, 5);
    EXPECT_EQ(module->FileHistoryMax, 3);
    ASSERT_EQ(module->PreferredRenderers.Count(), 1) << "a renderer this machine lacks is dropped";
    EXPECT_EQ(module->PreferredRenderers.Objects(0), module->VideoRenderers.front().get());

    TPlayerSettings back;
    link.StoreSettings(back);
    // Every value set above is one the module holds, so all of them come back.
    TPlayerSettings expected = s;
    expected.PreferredVideoRenderers = {known};
    EXPECT_TRUE(back == expected);
}

TEST(GraphEvents, EndOfTheLastEntryStopsTheRealGraphAtItsStart)
{
    pvltest::TTempDir dir;
    const std::string wav = dir.File("tone.wav");
    pvltest::TWavSpec spec;
    spec.Seconds = 0.5;
    pvltest::WriteWav(wav, spec, pvltest::Sine(440, 0.3, spec.SampleRate));

    TWindowAndEngine w;
    TCommonModule* module = w.Module;
    TControlForm* control = w.Control;
    TPlayList list;
    TPlayListItem item;
    item.FileName = wav;
    list.AddPlaylistRecord(item);
    list.SetPlayingIndex(0);
    control->Engine = w.Link.get();
    control->PlayList = &list;

    // The graph as the engine keeps it, reporting to the main window.
    module->Graph = pvltest::NewGraph();
    ASSERT_TRUE(module->Graph);
    ASSERT_HRESULT_SUCCEEDED(module->Graph->RenderFile(AnsiToWide(wav).c_str(), nullptr));
    ASSERT_HRESULT_SUCCEEDED(module->Graph.As(&module->MediaEvent));
    ASSERT_HRESULT_SUCCEEDED(module->Graph.As(&module->MediaSeeking));
    ASSERT_HRESULT_SUCCEEDED(
        module->MediaEvent->SetNotifyWindow(reinterpret_cast<OAHWND>(control->Handle()), WM_PLAYEVENT, 0));
    module->Play();
    ASSERT_TRUE(pvltest::PumpUntil([&] { return module->GetFilterState() == esRunning; }, 5000));
    EXPECT_TRUE(pvltest::PumpUntil([&] { return module->GetFilterState() == esStopped; }, 10000))
        << "the end of the stream stops the graph";
    EXPECT_EQ(module->GetPosition(), 0);
    module->FlushGraph();
}
