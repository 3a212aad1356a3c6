#include "engine/AudioSwitching.h"

#include "framework/SysUtils.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WineGraph.h"

#include <gtest/gtest.h>

using namespace pvltest;

namespace {

ComPtr<IPin> Peer(IPin* pin)
{
    ComPtr<IPin> peer;
    if (FAILED(pin->ConnectedTo(&peer)))
        peer.Reset();
    return peer;
}

ComPtr<IPin> FirstPin(IBaseFilter* filter, PIN_DIRECTION wanted)
{
    ComPtr<IEnumPins> pins;
    filter->EnumPins(&pins);
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        PIN_DIRECTION direction;
        if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == wanted)
            return pin;
    }
    return nullptr;
}

// two_audio.avi split by hand as the engine does: the video pin and both audio pins stay
// loose until the test connects them; the chain's input is the audio renderer's.
struct TTwoAudio {
    TTwoAudio()
    {
        const std::string file = FixturePath("two_audio.avi");
        Graph = NewGraph();
        if (file.empty() || !Graph)
            return;
        ComPtr<IBaseFilter> source, splitter, renderer;
        const auto step = [this](HRESULT result, const char* what) {
            if (FAILED(result))
                Failure = Format("%s: 0x%08lX", what, static_cast<unsigned long>(result));
            return SUCCEEDED(result);
        };
        if (!step(Graph->AddSourceFilter(AnsiToWide(file).c_str(), L"source", &source), "source") ||
            !step(CoCreateInstance(CLSID_AviSplitter, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&splitter)), "splitter") ||
            !step(Graph->AddFilter(splitter.Get(), L"splitter"), "add splitter") ||
            !step(Graph->Connect(FirstPin(source.Get(), PINDIR_OUTPUT).Get(), FirstPin(splitter.Get(), PINDIR_INPUT).Get()),
                  "connect splitter") ||
            !step(CoCreateInstance(CLSID_DSoundRender, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&renderer)), "renderer") ||
            !step(Graph->AddFilter(renderer.Get(), L"renderer"), "add renderer"))
            return;
        ChainInput = FirstPin(renderer.Get(), PINDIR_INPUT);
        ComPtr<IEnumPins> pins;
        splitter->EnumPins(&pins);
        ComPtr<IPin> pin;
        while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
            PIN_DIRECTION direction;
            pin->QueryDirection(&direction);
            ComPtr<IEnumMediaTypes> types;
            AM_MEDIA_TYPE* type = nullptr;
            if (direction != PINDIR_OUTPUT)
                continue;
            // Wine's splitter offers the video pin's types only once it connects.
            if (FAILED(pin->EnumMediaTypes(&types)) || types->Next(1, &type, nullptr) != S_OK) {
                VideoPin = pin;
                continue;
            }
            if (type->majortype == MEDIATYPE_Audio)
                AudioPins.push_back(pin);
            else
                VideoPin = pin;
            if (type->pbFormat)
                CoTaskMemFree(type->pbFormat);
            CoTaskMemFree(type);
        }
        Graph.As(&Control);
        Graph.As(&Seeking);
    }
    ~TTwoAudio()
    {
        if (Control)
            Control->Stop();
    }

    bool Ready() const { return AudioPins.size() == 2 && VideoPin && ChainInput && Control && Seeking; }
    std::vector<IPin*> Pins() const { return {AudioPins[0].Get(), AudioPins[1].Get()}; }
    OAFilterState State() const
    {
        OAFilterState state = -1;
        Control->GetState(2000, &state);
        return state;
    }
    double Seconds() const
    {
        LONGLONG position = 0;
        Seeking->GetCurrentPosition(&position);
        return double(position) / 1e7;
    }
    // Plays audio pin `index` paused at `seconds`.
    bool PausedAt(size_t index, double seconds)
    {
        if (FAILED(Graph->Connect(AudioPins[index].Get(), ChainInput.Get())))
            return false;
        LONGLONG position = LONGLONG(seconds * 1e7);
        Seeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
        Control->Pause();
        return State() == State_Paused;
    }
    // The chain is fed, through a decoder, from this audio pin.
    bool Feeds(IPin* pin) const
    {
        const ComPtr<IPin> decoderIn = Peer(pin);
        const ComPtr<IPin> decoderOut = Peer(ChainInput.Get());
        if (!decoderIn || !decoderOut)
            return false;
        PIN_INFO a{}, b{};
        decoderIn->QueryPinInfo(&a);
        decoderOut->QueryPinInfo(&b);
        const bool same = a.pFilter && a.pFilter == b.pFilter;
        if (a.pFilter)
            a.pFilter->Release();
        if (b.pFilter)
            b.pFilter->Release();
        return same;
    }

    TComInit Com;
    ComPtr<IGraphBuilder> Graph;
    ComPtr<IMediaControl> Control;
    ComPtr<IMediaSeeking> Seeking;
    std::vector<ComPtr<IPin>> AudioPins;
    ComPtr<IPin> VideoPin;
    ComPtr<IPin> ChainInput;
    std::string Failure;
};

TEST(AudioSwitching, SecondStreamTakesOverAtTheSamePositionAndRuns)
{
    TTwoAudio g;
    ASSERT_TRUE(g.Ready()) << g.Failure << ", audio pins: " << g.AudioPins.size();
    ASSERT_TRUE(g.PausedAt(0, 1.0));
    ASSERT_TRUE(g.Feeds(g.AudioPins[0].Get()));

    EXPECT_TRUE(SwitchAudioPin(g.Graph.Get(), g.Pins(), g.AudioPins[1].Get(), g.ChainInput.Get()));
    EXPECT_TRUE(g.Feeds(g.AudioPins[1].Get()));
    EXPECT_FALSE(Peer(g.AudioPins[0].Get()));
    EXPECT_EQ(g.State(), State_Running);
    EXPECT_NEAR(g.Seconds(), 1.0, 0.3);

    // And back again.
    EXPECT_TRUE(SwitchAudioPin(g.Graph.Get(), g.Pins(), g.AudioPins[0].Get(), g.ChainInput.Get()));
    EXPECT_TRUE(g.Feeds(g.AudioPins[0].Get()));
    EXPECT_FALSE(Peer(g.AudioPins[1].Get()));
}

TEST(AudioSwitching, TheStreamThatPlaysOrNoneIsLeftAlone)
{
    TTwoAudio g;
    ASSERT_TRUE(g.Ready());
    EXPECT_FALSE(SwitchAudioPin(g.Graph.Get(), g.Pins(), g.AudioPins[1].Get(), g.ChainInput.Get()));  // nothing plays
    EXPECT_FALSE(Peer(g.AudioPins[1].Get()));

    ASSERT_TRUE(g.PausedAt(0, 0.5));
    EXPECT_FALSE(SwitchAudioPin(g.Graph.Get(), g.Pins(), g.AudioPins[0].Get(), g.ChainInput.Get()));
    EXPECT_EQ(g.State(), State_Paused);  // not stopped on the way
    EXPECT_TRUE(g.Feeds(g.AudioPins[0].Get()));
}

TEST(AudioSwitching, AStreamThatCannotConnectRestoresThePreviousOne)
{
    TTwoAudio g;
    ASSERT_TRUE(g.Ready());
    ASSERT_TRUE(g.PausedAt(1, 1.5));
    // The video pin stands in for a stream the audio chain refuses.
    EXPECT_FALSE(SwitchAudioPin(g.Graph.Get(), g.Pins(), g.VideoPin.Get(), g.ChainInput.Get()));
    EXPECT_TRUE(g.Feeds(g.AudioPins[1].Get()));
    EXPECT_FALSE(Peer(g.VideoPin.Get()));
    EXPECT_EQ(g.State(), State_Paused);
    EXPECT_NEAR(g.Seconds(), 1.5, 0.3);
}

}  // namespace
