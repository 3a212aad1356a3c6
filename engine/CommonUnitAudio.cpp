// The engine's audio path of a built graph: which audio stream plays, switching it, putting
// a surround effect in and out; and the two searches the graph build makes (the subtitle file
// beside a movie, the preferred MPEG-2 splitter).
#include "engine/CommonUnit.h"

#include "engine/AudioSwitching.h"
#include "engine/MyDSUtils.h"
#include "engine/SubtitleSearch.h"

namespace {

struct TPreferredSplitter {
    CLSID ClassID;
    const wchar_t* InputPin;
};

// Tried in this order.
const TPreferredSplitter PreferredMPEG2Splitters[] = {
    {{0x9D2E5600, 0x9099, 0x11D0, {0xB0, 0xAC, 0x00, 0x60, 0x97, 0x70, 0x7A, 0x2C}}, L"Input"},
    {{0x3AE86B20, 0x7BE8, 0x11D1, {0xAB, 0xE6, 0x00, 0xA0, 0xC9, 0x05, 0xF3, 0x75}}, L"Input"},  // MPEG-2 Splitter
    {{0xAFB6C280, 0x2C41, 0x11D3, {0x8A, 0x60, 0x00, 0x00, 0xF8, 0x1E, 0x0E, 0x4A}}, L"MPEG-2 Stream"},  // Demultiplexer
};

}  // namespace

bool TCommonModule::SearchSubtitles(const std::string& movieFile, std::string& subtitleFile)
{
    return FindSubtitleFile(movieFile, subtitleFile);
}

HRESULT TCommonModule::AddPerferedMPEG2Splitter(IPin* sourcePin, ComPtr<IBaseFilter>& splitter)
{
    splitter.Reset();
    if (!Graph)
        return E_POINTER;
    for (const TPreferredSplitter& choice : PreferredMPEG2Splitters) {
        if (!CanCreateFilter(choice.ClassID))
            continue;
        ComPtr<IBaseFilter> filter;
        HRESULT result = CoCreateInstance(choice.ClassID, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&filter));
        if (FAILED(result))
            return result;
        ComPtr<IPin> input;
        result = filter->FindPin(choice.InputPin, &input);
        if (FAILED(result))
            return result;
        result = Graph->AddFilter(filter.Get(), L"Perfered MPEG2 Splitter");
        if (FAILED(result))
            return result;
        result = Graph->Connect(sourcePin, input.Get());
        if (FAILED(result)) {
            Graph->RemoveFilter(filter.Get());
            return result;
        }
        splitter = filter;
        return result;
    }
    return E_POINTER;  // no splitter to add: adding none fails
}

int TCommonModule::GetSelectedAudioStream()
{
    if (AudioPins.empty())
        return -1;
    for (size_t i = 0; i < AudioStreams.size(); ++i) {
        const TStreamInfo& stream = AudioStreams[i];
        bool current = false;
        if (stream.Filter) {
            ComPtr<IAMStreamSelect> select;
            DWORD flags = 0;
            current = SUCCEEDED(stream.Filter.As(&select)) &&
                      SUCCEEDED(select->Info(stream.Index, nullptr, &flags, nullptr, nullptr, nullptr, nullptr, nullptr)) &&
                      flags != 0;
        } else if (stream.Index >= 0 && static_cast<size_t>(stream.Index) < AudioPins.size()) {
            current = IsPinConnected(AudioPins[static_cast<size_t>(stream.Index)].Pin.Get()) == S_OK;
        }
        if (current)
            return static_cast<int>(i);
    }
    return -1;
}

bool TCommonModule::SelectAudioStream(int pinIndex)
{
    if (pinIndex < 0 || static_cast<size_t>(pinIndex) >= AudioPins.size() ||
        AudioPins[static_cast<size_t>(pinIndex)].State != pinRenders)
        return false;
    std::vector<IPin*> pins;
    for (const TPinItem& item : AudioPins)
        pins.push_back(item.Pin.Get());
    bool stopGivenUp = false;
    const bool switched = SwitchAudioPin(Graph.Get(), pins, pins[static_cast<size_t>(pinIndex)], AudioChainInput.Get(), &stopGivenUp);
    if (stopGivenUp)
        CloseStuckGraph();
    return switched;
}

bool TCommonModule::SwitchSurround(TExternalFilterCntl& effect, bool inGraph, bool active,
                                   const std::function<HRESULT(IPin* upstream)>& insert, bool& ranThrough)
{
    ranThrough = false;
    if (!effect.IsFilterPresent() || !inGraph)
        return false;
    if (effect.IsFilterConnected() == active)
        return true;
    if (!Graph || !AudioChainInput)
        return effect.IsFilterConnected();
    // Stopped for the change; the position and the run state come back when it goes.
    const TGraphPause pause(Graph.Get());
    if (pause.StopGivenUp()) {
        CloseStuckGraph();
        return false;
    }
    if (!pause.Stopped())
        return effect.IsFilterConnected();
    if (active) {
        if (const ComPtr<IPin> upstream = ConnectedPeer(AudioChainInput.Get()))
            insert(upstream.Get());
    } else {
        UnspliceEffect(Graph.Get(), effect.InputPin(), effect.OutputPin(), AudioChainInput.Get());
    }
    ranThrough = true;
    return effect.IsFilterConnected();
}

bool TCommonModule::SetSRSCSActive(bool active)
{
    if (!SRS_CS1)
        return false;
    bool ranThrough = false;
    const bool result = SwitchSurround(*SRS_CS1, SRS_CS1->IsInGraph(), active, [this](IPin* upstream) {
        return SRS_CS1->InsertFilterIntoAudioChain(upstream, AudioChainInput.Get());
    }, ranThrough);
    if (ranThrough && Services.ControlForm)
        Services.ControlForm->UpdateSRSControls();
    return result;
}

bool TCommonModule::SetSRSTSActive(bool active)
{
    if (!SRS_TS1)
        return false;
    bool ranThrough = false;
    return SwitchSurround(*SRS_TS1, SRS_TS1->IsInGraph(), active, [this](IPin*) {
        const HRESULT result = SpliceEffect(Graph.Get(), SRS_TS1->InputPin(), SRS_TS1->OutputPin(), AudioChainInput.Get());
        if (SUCCEEDED(result))
            SRS_TS1->ApplyCachedSettings();
        return result;
    }, ranThrough);
}
