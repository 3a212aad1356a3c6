#pragma once
// two_audio.avi (video and two MP3 streams, "eng" and "ger") split by hand, as the graph
// build leaves it before an audio stream is chosen.
#include "framework/SysUtils.h"
#include "tests/engine/AudioChainFixture.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WineGraph.h"

#include <string>
#include <vector>

namespace pvltest {

// This platform's decoding parser: its pins give decoded audio. Its AVI splitter gives MP3
// pins, which need a decoder, but it faults now and then when a graph with a loose pin stops
// while it streams; graphs with it are never run.
inline const CLSID DecodebinParser = {0xF9D8D64E, 0xA144, 0x47DC, {0x8E, 0xE0, 0xF5, 0x34, 0x98, 0x37, 0x2C, 0x29}};

// The video pin and both audio pins stay loose until the test connects them; the chain's
// input is the audio renderer's.
struct TTwoAudio {
    explicit TTwoAudio(const CLSID& parser = DecodebinParser)
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
            !step(CoCreateInstance(parser, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&splitter)), "splitter") ||
            !step(Graph->AddFilter(splitter.Get(), L"splitter"), "add splitter") ||
            !step(Graph->Connect(FindPin(source.Get(), PINDIR_OUTPUT).Get(), FindPin(splitter.Get(), PINDIR_INPUT).Get()),
                  "connect splitter") ||
            !step(CoCreateInstance(CLSID_DSoundRender, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&renderer)), "renderer") ||
            !step(Graph->AddFilter(renderer.Get(), L"renderer"), "add renderer"))
            return;
        ChainInput = FindPin(renderer.Get(), PINDIR_INPUT);
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
            // The AVI splitter offers the video pin's types only once it connects.
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
    // Connects audio pin `index` to the chain's input, through a decoder when it needs one.
    bool Plays(size_t index) { return SUCCEEDED(Graph->Connect(AudioPins[index].Get(), ChainInput.Get())); }
    // Plays audio pin `index` paused at `seconds`.
    bool PausedAt(size_t index, double seconds)
    {
        if (!Plays(index))
            return false;
        LONGLONG position = LONGLONG(seconds * 1e7);
        Seeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
        Control->Pause();
        return State() == State_Paused;
    }
    // The chain is fed from this audio pin, directly or through a decoder.
    bool Feeds(IPin* pin) const
    {
        if (IsConnectedTo(pin, ChainInput.Get()))
            return true;
        const ComPtr<IPin> decoderIn = ConnectedPeer(pin);
        const ComPtr<IPin> decoderOut = ConnectedPeer(ChainInput.Get());
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

}  // namespace pvltest
