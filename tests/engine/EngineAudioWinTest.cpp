// The engine's audio path on real Wine graphs: the stream that plays and switching it, the
// surround effects (doubles of the outside effects) going in and out, and the preferred
// MPEG-2 splitter.
#include "engine/CommonUnit.h"

#include "tests/engine/AudioChainFixture.h"
#include "tests/engine/EngineFixture.h"
#include "tests/engine/TwoAudioGraph.h"
#include "tests/support/ComDoubles.h"
#include "tests/support/SurroundEffectDoubles.h"

#include <gtest/gtest.h>

#include <new>

using namespace pvltest;

namespace {

constexpr double Second = 1e7;

// A filter that offers its streams through IAMStreamSelect and does nothing else.
class TStreamSelectFilter final : public IBaseFilter, public IAMStreamSelect {
public:
    explicit TStreamSelectFilter(std::vector<DWORD> flags) : Flags(std::move(flags)) {}
    std::vector<DWORD> Flags;  // per stream

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IPersist || iid == IID_IMediaFilter || iid == IID_IBaseFilter)
            *object = static_cast<IBaseFilter*>(this);
        else if (iid == IID_IAMStreamSelect)
            *object = static_cast<IAMStreamSelect*>(this);
        else
            return *object = nullptr, E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&FRefs)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG left = InterlockedDecrement(&FRefs);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }
    STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP Stop() override { return E_NOTIMPL; }
    STDMETHODIMP Pause() override { return E_NOTIMPL; }
    STDMETHODIMP Run(REFERENCE_TIME) override { return E_NOTIMPL; }
    STDMETHODIMP GetState(DWORD, FILTER_STATE*) override { return E_NOTIMPL; }
    STDMETHODIMP SetSyncSource(IReferenceClock*) override { return E_NOTIMPL; }
    STDMETHODIMP GetSyncSource(IReferenceClock**) override { return E_NOTIMPL; }
    STDMETHODIMP EnumPins(IEnumPins**) override { return E_NOTIMPL; }
    STDMETHODIMP FindPin(LPCWSTR, IPin**) override { return E_NOTIMPL; }
    STDMETHODIMP QueryFilterInfo(FILTER_INFO*) override { return E_NOTIMPL; }
    STDMETHODIMP JoinFilterGraph(IFilterGraph*, LPCWSTR) override { return E_NOTIMPL; }
    STDMETHODIMP QueryVendorInfo(LPWSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP Count(DWORD* count) override
    {
        *count = static_cast<DWORD>(Flags.size());
        return S_OK;
    }
    STDMETHODIMP Info(LONG index, AM_MEDIA_TYPE**, DWORD* flags, LCID*, DWORD*, WCHAR**, IUnknown**, IUnknown**) override
    {
        if (index < 0 || static_cast<size_t>(index) >= Flags.size())
            return S_FALSE;
        if (flags)
            *flags = Flags[static_cast<size_t>(index)];
        return S_OK;
    }
    STDMETHODIMP Enable(LONG, DWORD) override { return E_NOTIMPL; }

private:
    ~TStreamSelectFilter() = default;
    LONG FRefs = 1;
};

class EngineAudioTest : public TEngineFixture {
protected:
    // Hands the engine a graph the way the build leaves it, with `chainInput` as the point
    // where the chosen audio stream enters the audio chain.
    void Adopt(const ComPtr<IGraphBuilder>& graph, const ComPtr<IPin>& chainInput)
    {
        TCommonModule& e = Engine();
        e.Graph = graph;
        graph.As(&e.MediaSeeking);
        e.AudioChainInput = chainInput;
    }

    static OAFilterState StateOf(IGraphBuilder* graph)
    {
        ComPtr<IMediaControl> control;
        graph->QueryInterface(IID_PPV_ARGS(&control));
        OAFilterState state = -1;
        control->GetState(2000, &state);
        return state;
    }

    static void PauseAt(IGraphBuilder* graph, double seconds)
    {
        ComPtr<IMediaSeeking> seeking;
        graph->QueryInterface(IID_PPV_ARGS(&seeking));
        LONGLONG position = static_cast<LONGLONG>(seconds * Second);
        seeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
        ComPtr<IMediaControl> control;
        graph->QueryInterface(IID_PPV_ARGS(&control));
        control->Pause();
        StateOf(graph);
    }

    // Lets the engine close the chain's graph, the chain's pins first (the parser frees its
    // output pin when its input is disconnected).
    void CloseChain(TAudioChain& chain)
    {
        chain.Upstream.Reset();
        chain.Downstream.Reset();
        Engine().FlushGraph();
    }

    static double SecondsOf(IGraphBuilder* graph)
    {
        ComPtr<IMediaSeeking> seeking;
        graph->QueryInterface(IID_PPV_ARGS(&seeking));
        LONGLONG position = 0;
        seeking->GetCurrentPosition(&position);
        return static_cast<double>(position) / Second;
    }
};

TEST_F(EngineAudioTest, SeparateAudioPinsAreSelectedByIndex)
{
    TTwoAudio g;
    ASSERT_TRUE(g.Ready()) << g.Failure;
    TCommonModule& e = Engine();
    EXPECT_EQ(e.GetSelectedAudioStream(), -1);  // no audio pins
    Adopt(g.Graph, g.ChainInput);
    e.AudioPins = {{g.AudioPins[0], pinRenders}, {g.AudioPins[1], pinRenders}};
    e.AudioStreams = {{nullptr, 0, "eng"}, {nullptr, 1, "ger"}};
    EXPECT_EQ(e.GetSelectedAudioStream(), -1);  // none connected yet
    ASSERT_TRUE(g.PausedAt(0, 1.0));
    EXPECT_EQ(e.GetSelectedAudioStream(), 0);

    EXPECT_TRUE(e.SelectAudioStream(1));
    EXPECT_EQ(e.GetSelectedAudioStream(), 1);
    EXPECT_TRUE(g.Feeds(g.AudioPins[1].Get()));
    EXPECT_FALSE(e.SelectAudioStream(1));  // already playing

    e.AudioPins[0].State = pinFailed;
    for (const int refused : {0, 2, -1})
        EXPECT_FALSE(e.SelectAudioStream(refused)) << refused;
    EXPECT_EQ(e.GetSelectedAudioStream(), 1);

    e.AudioStreams = {{nullptr, 1, "ger"}};  // a single entry for the pin that plays
    EXPECT_EQ(e.GetSelectedAudioStream(), 0);
    e.AudioStreams = {{nullptr, 7, "no such pin"}};
    EXPECT_EQ(e.GetSelectedAudioStream(), -1);
}

TEST_F(EngineAudioTest, StreamsOfAStreamSelectFilterAnswerThroughIt)
{
    TCommonModule& e = Engine();
    const ComPtr<TStreamSelectFilter> select = AdoptRef(new TStreamSelectFilter({0, 0, AMSTREAMSELECTINFO_ENABLED}));
    e.AudioPins = {{nullptr, pinRenders}};
    e.AudioStreams = {{select, 0, "eng"}, {select, 1, "ger"}, {select, 2, "fre"}};
    EXPECT_EQ(e.GetSelectedAudioStream(), 2);
    select->Flags = {0, AMSTREAMSELECTINFO_ENABLED | AMSTREAMSELECTINFO_EXCLUSIVE, AMSTREAMSELECTINFO_ENABLED};
    EXPECT_EQ(e.GetSelectedAudioStream(), 1);  // the first enabled entry
    select->Flags = {0, 0, 0};
    EXPECT_EQ(e.GetSelectedAudioStream(), -1);
    e.AudioStreams.clear();
    e.AudioPins.clear();
}

TEST_F(EngineAudioTest, CircleSurroundGoesInAndOutWhereThePlaybackWas)
{
    TCircleSurroundDouble effect;
    TAudioChain chain(2.0);
    ASSERT_TRUE(chain.Ready());
    TCommonModule& e = Engine();
    Adopt(chain.Graph, chain.Downstream);
    TSRS_CircleSurroundII& cs = *e.SRS_CS1;
    ASSERT_EQ(chain.Graph->AddFilter(cs.Filter(), L"SRS CircleSurround II Filter"), S_OK);
    PauseAt(chain.Graph.Get(), 0.5);
    Log.Calls.clear();

    EXPECT_TRUE(e.SetSRSCSActive(true));
    EXPECT_TRUE(IsConnectedTo(chain.Upstream.Get(), cs.InputPin()));
    EXPECT_TRUE(IsConnectedTo(cs.OutputPin(), chain.Downstream.Get()));
    EXPECT_EQ(StateOf(chain.Graph.Get()), State_Paused);
    EXPECT_NEAR(SecondsOf(chain.Graph.Get()), 0.5, 0.2);
    EXPECT_EQ(Log.Calls, std::vector<std::string>{"UpdateSRSControls"});

    Log.Calls.clear();
    effect.Calls().Clear();
    EXPECT_TRUE(e.SetSRSCSActive(true));  // already in: nothing happens
    EXPECT_TRUE(Log.Calls.empty());
    EXPECT_TRUE(effect.Calls().Calls().empty());

    EXPECT_FALSE(e.SetSRSCSActive(false));
    EXPECT_TRUE(chain.Original());
    EXPECT_FALSE(ConnectedPeer(cs.InputPin()) || ConnectedPeer(cs.OutputPin()));
    EXPECT_EQ(StateOf(chain.Graph.Get()), State_Paused);
    EXPECT_EQ(Log.Calls, std::vector<std::string>{"UpdateSRSControls"});
    EXPECT_EQ(chain.Play(), EC_COMPLETE);
    CloseChain(chain);
}

TEST_F(EngineAudioTest, TruSurroundGoesInWithItsSettingsWhilePlaying)
{
    TTruSurroundDouble effect;
    TAudioChain chain(3.0);
    ASSERT_TRUE(chain.Ready());
    TCommonModule& e = Engine();
    Adopt(chain.Graph, chain.Downstream);
    TSRS_TruSurroundXT& ts = *e.SRS_TS1;
    ts.SetOutputGain(250);
    ASSERT_EQ(chain.Graph->AddFilter(ts.Filter(), L"SRS TruSurround XT Filter"), S_OK);
    ComPtr<IMediaControl> control;
    chain.Graph.As(&control);
    control->Run();
    ASSERT_EQ(StateOf(chain.Graph.Get()), State_Running);
    Log.Calls.clear();
    effect.Calls().Clear();

    EXPECT_TRUE(e.SetSRSTSActive(true));
    EXPECT_TRUE(IsConnectedTo(chain.Upstream.Get(), ts.InputPin()));
    EXPECT_TRUE(IsConnectedTo(ts.OutputPin(), chain.Downstream.Get()));
    EXPECT_EQ(StateOf(chain.Graph.Get()), State_Running);
    ASSERT_FALSE(effect.Calls().CallsTo(22).empty());  // the cached settings, OutputGain first
    EXPECT_EQ(effect.Calls().CallsTo(22).back().Args, std::vector<double>{2.5});
    EXPECT_TRUE(Log.Calls.empty());  // the main window's panel is the Circle Surround's

    EXPECT_FALSE(e.SetSRSTSActive(false));
    EXPECT_TRUE(chain.Original());
    EXPECT_EQ(StateOf(chain.Graph.Get()), State_Running);
    CloseChain(chain);
}

TEST_F(EngineAudioTest, ARefusedTruSurroundLeavesTheChainAndThePlaybackAsTheyWere)
{
    const std::pair<const char*, TDmoBehaviour> cases[] = {
        {"refuses the stream's format", {.RefuseInput = true}},
        {"offers a format the chain refuses", {.UnplayableOutput = true}},
    };
    for (const auto& [name, behaviour] : cases) {
        SCOPED_TRACE(name);
        TTruSurroundDouble effect(behaviour);
        TAudioChain chain(2.0);
        ASSERT_TRUE(chain.Ready());
        FEngine.reset();
        TCommonModule& e = Engine();
        Adopt(chain.Graph, chain.Downstream);
        ASSERT_TRUE(e.SRS_TS1->IsFilterPresent());
        ASSERT_EQ(chain.Graph->AddFilter(e.SRS_TS1->Filter(), L"SRS TruSurround XT Filter"), S_OK);
        PauseAt(chain.Graph.Get(), 0.8);

        EXPECT_FALSE(e.SetSRSTSActive(true));
        EXPECT_TRUE(chain.Original());
        EXPECT_FALSE(ConnectedPeer(e.SRS_TS1->InputPin()) || ConnectedPeer(e.SRS_TS1->OutputPin()));
        EXPECT_EQ(StateOf(chain.Graph.Get()), State_Paused);
        EXPECT_NEAR(SecondsOf(chain.Graph.Get()), 0.8, 0.2);
        CloseChain(chain);
        FEngine.reset();
    }
}

TEST_F(EngineAudioTest, AnEffectOutsideTheGraphOrMissingIsNotSwitched)
{
    TAudioChain chain;
    ASSERT_TRUE(chain.Ready());
    {
        TCircleSurroundDouble effect;
        TCommonModule& e = Engine();
        Adopt(chain.Graph, chain.Downstream);
        EXPECT_FALSE(e.SetSRSCSActive(true));  // present, but not in this graph
        EXPECT_FALSE(e.SetSRSCSActive(false));
        EXPECT_TRUE(chain.Original());
        EXPECT_TRUE(Log.Calls.empty());
        e.Graph.Reset();  // the graph stays with the chain for the next engine
        FEngine.reset();
    }
    TCommonModule& e = Engine();  // no effect registered: the controls hold none
    Adopt(chain.Graph, chain.Downstream);
    EXPECT_FALSE(e.SRS_TS1->IsFilterPresent());
    EXPECT_FALSE(e.SetSRSTSActive(true));
    EXPECT_FALSE(e.SetSRSTSActive(false));
    EXPECT_TRUE(chain.Original());
    CloseChain(chain);
}

const CLSID MPEG2Splitter = {0x3AE86B20, 0x7BE8, 0x11D1, {0xAB, 0xE6, 0x00, 0xA0, 0xC9, 0x05, 0xF3, 0x75}};
const CLSID FirstMPEG2Splitter = {0x9D2E5600, 0x9099, 0x11D0, {0xB0, 0xAC, 0x00, 0x60, 0x97, 0x70, 0x7A, 0x2C}};

// Makes `made` whenever the outside class is asked for.
TCreateFunction Making(const CLSID& made)
{
    return [made](IUnknown* outer, REFIID iid, void** object) {
        return CoCreateInstance(made, outer, CLSCTX_INPROC_SERVER, iid, object);
    };
}

TEST_F(EngineAudioTest, PreferredMpeg2SplitterIsTheFirstThatCanBeMade)
{
    const std::string mpeg = FixturePath("tone.mp3");  // an MPEG-1 stream this platform's splitter takes
    ASSERT_FALSE(mpeg.empty());
    TCommonModule& e = Engine();
    const auto openSource = [&](const std::string& file) {
        e.Graph = NewGraph();
        ComPtr<IBaseFilter> source;
        e.Graph->AddSourceFilter(AnsiToWide(file).c_str(), L"source", &source);
        return FindPin(source.Get(), PINDIR_OUTPUT);
    };
    ComPtr<IBaseFilter> splitter;

    // None of the three is installed here.
    ComPtr<IPin> pin = openSource(mpeg);
    EXPECT_TRUE(FAILED(e.AddPerferedMPEG2Splitter(pin.Get(), splitter)));
    EXPECT_FALSE(splitter);
    EXPECT_EQ(FilterNames(e.Graph.Get()), L"source");

    // The second in the table, standing in with this platform's MPEG-1 splitter.
    TClassRegistration second(MPEG2Splitter, Making(CLSID_MPEG1Splitter));
    ASSERT_EQ(second.Result(), S_OK);
    EXPECT_EQ(e.AddPerferedMPEG2Splitter(pin.Get(), splitter), S_OK);
    ASSERT_TRUE(splitter);
    FILTER_INFO info{};
    splitter->QueryFilterInfo(&info);
    if (info.pGraph)
        info.pGraph->Release();
    EXPECT_STREQ(info.achName, L"Perfered MPEG2 Splitter");
    EXPECT_TRUE(ConnectedPeer(pin.Get()));

    // A stream the splitter cannot take: it leaves the graph again.
    const std::string wav = Dir.File("tone.wav");
    WriteWav(wav, TWavSpec{.Seconds = 0.5}, Sine(440, 0.5, 44100));
    pin = openSource(wav);
    EXPECT_TRUE(FAILED(e.AddPerferedMPEG2Splitter(pin.Get(), splitter)));
    EXPECT_FALSE(splitter);
    EXPECT_EQ(FilterNames(e.Graph.Get()), L"source");

    // The first in the table comes first, and a class without the named input pin ends the search.
    TClassRegistration first(FirstMPEG2Splitter, Making(CLSID_DSoundRender));
    pin = openSource(mpeg);
    EXPECT_TRUE(FAILED(e.AddPerferedMPEG2Splitter(pin.Get(), splitter)));
    EXPECT_FALSE(splitter);
    EXPECT_EQ(FilterNames(e.Graph.Get()), L"source");
    e.FlushGraph();
}

}  // namespace
