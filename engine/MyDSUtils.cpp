#include "engine/MyDSUtils.h"

#include <mmreg.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// Dolby AC3 carried over S/PDIF as 16-bit stereo PCM at 48 kHz.
void MakeSpdifProbe(AM_MEDIA_TYPE& mediaType, WAVEFORMATEX& format)
{
    format = {};
    format.wFormatTag = WAVE_FORMAT_DOLBY_AC3_SPDIF;
    format.nChannels = 2;
    format.nSamplesPerSec = 48000;
    format.nAvgBytesPerSec = 192000;
    format.nBlockAlign = 4;
    format.wBitsPerSample = 16;
    mediaType = {};
    mediaType.majortype = MEDIATYPE_Audio;
    mediaType.subtype = MEDIASUBTYPE_PCM;
    mediaType.bFixedSizeSamples = TRUE;
    mediaType.lSampleSize = 6144;
    mediaType.formattype = FORMAT_WaveFormatEx;
    mediaType.cbFormat = sizeof(WAVEFORMATEX);
    mediaType.pbFormat = reinterpret_cast<BYTE*>(&format);
}

struct TMatchingFilter {
    WideString FriendlyName;
    ComPtr<IBaseFilter> Filter;
};

WideString ReadFriendlyName(IMoniker* moniker, HRESULT& hr)
{
    ComPtr<IPropertyBag> bag;
    hr = moniker->BindToStorage(nullptr, nullptr, IID_PPV_ARGS(&bag));
    if (FAILED(hr))
        return {};
    VARIANT value;
    VariantInit(&value);
    WideString name = L"Unknown";
    hr = bag->Read(L"FriendlyName", &value, nullptr);
    if (SUCCEEDED(hr) && value.vt == VT_BSTR && value.bstrVal)
        name = value.bstrVal;
    VariantClear(&value);
    return name;
}

// A filter's key in the splitter searches: its class id as text.
std::string GuidKey(const GUID& id)
{
    wchar_t text[40] = {};
    StringFromGUID2(id, text, 40);
    return WideToAnsi(text);
}

std::string MonikerKey(IMoniker* moniker)
{
    ComPtr<IPropertyBag> bag;
    if (SUCCEEDED(moniker->BindToStorage(nullptr, nullptr, IID_PPV_ARGS(&bag)))) {
        VARIANT value;
        VariantInit(&value);
        std::string key;
        if (SUCCEEDED(bag->Read(L"CLSID", &value, nullptr)) && value.vt == VT_BSTR && value.bstrVal)
            key = WideToAnsi(value.bstrVal);
        VariantClear(&value);
        if (!key.empty())
            return key;
    }
    LPOLESTR name = nullptr;
    std::string key;
    if (SUCCEEDED(moniker->GetDisplayName(nullptr, nullptr, &name)) && name)
        key = WideToAnsi(name);
    CoTaskMemFree(name);
    return key;
}

// The filters that take the stream's type and give outputs, above "do not use", in the
// mapper's order; exact: the subtype must be registered as given.
HRESULT FindSplitterMonikers(IFilterMapper2* mapper, const AM_MEDIA_TYPE& streamType, bool exact, std::vector<std::string>& keys,
                             std::map<std::string, ComPtr<IMoniker>>& monikers)
{
    keys.clear();
    const GUID inputTypes[2] = {streamType.majortype, streamType.subtype};
    ComPtr<IEnumMoniker> found;
    HRESULT hr = mapper->EnumMatchingFilters(&found, 0, exact ? TRUE : FALSE, MERIT_DO_NOT_USE + 1, TRUE, 1, inputTypes, nullptr,
                                             nullptr, FALSE, TRUE, 0, nullptr, nullptr, nullptr);
    if (FAILED(hr) || !found)
        return hr;
    ComPtr<IMoniker> moniker;
    while (found->Next(1, moniker.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        const std::string key = MonikerKey(moniker.Get());
        keys.push_back(key);
        monikers.emplace(key, moniker);
    }
    return hr;
}

// Connects the source pin directly to the filter's first input pin that takes it.
TSplitterTry ConnectToInput(IGraphBuilder* graph, IPin* sourcePin, IBaseFilter* filter, HRESULT& hr)
{
    ComPtr<IEnumPins> pins;
    hr = filter->EnumPins(&pins);
    if (FAILED(hr))
        return TSplitterTry::Failed;
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        PIN_DIRECTION direction;
        hr = pin->QueryDirection(&direction);
        if (FAILED(hr))
            return TSplitterTry::Failed;
        if (direction == PINDIR_INPUT && SUCCEEDED(graph->ConnectDirect(sourcePin, pin.Get(), nullptr)))
            return TSplitterTry::Connected;
    }
    return TSplitterTry::Refused;
}

// The graph's splitters (filters feeding two or more connected output pins) and renderers
// (filters fed through a connected input that feed nothing).
void SplittersAndRenderers(IMediaControl* control, std::vector<ComPtr<IBaseFilter>>& splitters,
                           std::vector<ComPtr<IBaseFilter>>& renderers)
{
    ComPtr<IFilterGraph> graph;
    ComPtr<IEnumFilters> filters;
    if (FAILED(control->QueryInterface(IID_PPV_ARGS(&graph))) || FAILED(graph->EnumFilters(&filters)))
        return;
    ComPtr<IBaseFilter> filter;
    while (filters->Next(1, filter.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        ComPtr<IEnumPins> pins;
        if (FAILED(filter->EnumPins(&pins)))
            continue;
        int inputs = 0, outputs = 0;
        ComPtr<IPin> pin, peer;
        while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
            PIN_DIRECTION direction = PINDIR_INPUT;
            if (SUCCEEDED(pin->QueryDirection(&direction)) && SUCCEEDED(pin->ConnectedTo(peer.ReleaseAndGetAddressOf())))
                ++(direction == PINDIR_OUTPUT ? outputs : inputs);
        }
        if (outputs >= 2)
            splitters.push_back(filter);
        else if (outputs == 0 && inputs > 0)
            renderers.push_back(filter);
    }
}

void StopEach(const std::vector<ComPtr<IBaseFilter>>& filters)
{
    for (const ComPtr<IBaseFilter>& filter : filters)
        filter->Stop();
}

// The stopper thread owns its splitters: a stop that never ends outlives StopGraph.
DWORD WINAPI StopOwnedFilters(void* filters)
{
    const std::unique_ptr<std::vector<ComPtr<IBaseFilter>>> owned(static_cast<std::vector<ComPtr<IBaseFilter>>*>(filters));
    StopEach(*owned);
    return 0;
}

}  // namespace

HRESULT GetFriendlyNameFromDisplayName(const WideString& displayName, ComPtr<IBaseFilter>& filter, WideString& friendlyName)
{
    filter.Reset();
    friendlyName.clear();
    ComPtr<IBindCtx> context;
    HRESULT hr = CreateBindCtx(0, &context);
    if (FAILED(hr))
        return hr;
    ULONG eaten = 0;
    ComPtr<IMoniker> moniker;
    hr = MkParseDisplayName(context.Get(), displayName.c_str(), &eaten, &moniker);
    if (FAILED(hr))
        return hr;
    if (FAILED(moniker->BindToObject(nullptr, nullptr, IID_PPV_ARGS(&filter))))
        filter.Reset();
    friendlyName = ReadFriendlyName(moniker.Get(), hr);
    return hr;
}

bool CanCreateFilter(const CLSID& classId)
{
    ComPtr<IBaseFilter> filter;
    return CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_PPV_ARGS(&filter)) == S_OK;
}

HRESULT FindAC3SpdifPin(IBaseFilter* filter, ComPtr<IPin>& pin)
{
    pin.Reset();
    if (!filter)
        return E_FAIL;
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(&pins)))
        return E_FAIL;
    AM_MEDIA_TYPE probe;
    WAVEFORMATEX format;
    MakeSpdifProbe(probe, format);
    ComPtr<IPin> candidate;
    while (pins->Next(1, candidate.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        PIN_DIRECTION direction;
        if (FAILED(candidate->QueryDirection(&direction)))
            break;
        if (direction == PINDIR_INPUT && candidate->QueryAccept(&probe) == S_OK) {
            pin = candidate;
            return S_OK;
        }
    }
    return E_FAIL;
}

HRESULT RemoveAllFilters(IGraphBuilder* graph)
{
    if (!graph)
        return S_OK;
    ComPtr<IGraphConfig> config;
    if (SUCCEEDED(graph->QueryInterface(IID_PPV_ARGS(&config)))) {
        std::vector<ComPtr<IBaseFilter>> cached;
        ComPtr<IEnumFilters> cache;
        if (SUCCEEDED(config->EnumCacheFilter(&cache))) {
            ComPtr<IBaseFilter> filter;
            while (cache->Next(1, filter.ReleaseAndGetAddressOf(), nullptr) == S_OK)
                cached.push_back(filter);
        }
        for (const auto& filter : cached)
            config->RemoveFilterFromCache(filter.Get());
    }
    ComPtr<IEnumFilters> filters;
    HRESULT hr = graph->EnumFilters(&filters);
    if (FAILED(hr))
        return hr;
    std::vector<ComPtr<IBaseFilter>> listed;
    ComPtr<IBaseFilter> filter;
    while (filters->Next(1, filter.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        listed.push_back(filter);
        ComPtr<IEnumPins> pins;
        if (FAILED(filter->EnumPins(&pins)))
            continue;
        ComPtr<IPin> pin;
        while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK)
            pin->Disconnect();
    }
    for (const auto& each : listed)
        graph->RemoveFilter(each.Get());
    return S_OK;
}

HRESULT GetPinMediaType(IPin* pin, TMediaTypePtr& mediaType)
{
    mediaType.reset();
    if (!pin)
        return E_FAIL;
    ComPtr<IEnumMediaTypes> types;
    HRESULT hr = pin->EnumMediaTypes(&types);
    if (FAILED(hr))
        return hr;
    AM_MEDIA_TYPE* first = nullptr;
    hr = types->Next(1, &first, nullptr);
    if (hr != S_OK || !first) {
        DeleteMediaType(first);
        return FAILED(hr) ? hr : VFW_E_NO_TYPES;
    }
    mediaType.reset(first);
    return S_OK;
}

HRESULT RemoveGraphFromRot(DWORD cookie)
{
    ComPtr<IRunningObjectTable> table;
    HRESULT hr = GetRunningObjectTable(0, &table);
    if (FAILED(hr))
        return hr;
    return table->Revoke(cookie);
}

HRESULT AddMPEG1Splitter(IGraphBuilder* graph, IPin* sourcePin, ComPtr<IBaseFilter>& splitter)
{
    splitter.Reset();
    if (!graph || !sourcePin)
        return E_POINTER;
    ComPtr<IBaseFilter> filter;
    HRESULT hr = CoCreateInstance(CLSID_MPEG1Splitter, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&filter));
    if (FAILED(hr))
        return hr;
    hr = graph->AddFilter(filter.Get(), L"MPEG I Stream Splitter");
    if (FAILED(hr))
        return hr;
    ComPtr<IPin> input;
    hr = filter->FindPin(L"Input", &input);
    if (SUCCEEDED(hr))
        hr = graph->Connect(sourcePin, input.Get());
    if (FAILED(hr)) {
        graph->RemoveFilter(filter.Get());
        return hr;
    }
    splitter = filter;
    return S_OK;
}

HRESULT ConnectMatchingSplitter(IGraphBuilder* graph, IPin* sourcePin, ComPtr<IBaseFilter>& splitter)
{
    return ConnectMatchingSplitter(graph, sourcePin, splitter, TSplitterSearch::ExactThenWildcard, {});
}

HRESULT ConnectMatchingSplitter(IGraphBuilder* graph, IPin* sourcePin, ComPtr<IBaseFilter>& splitter, TSplitterSearch search,
                                const std::vector<std::string>& skip)
{
    splitter.Reset();
    if (!graph || !sourcePin)
        return E_POINTER;
    ComPtr<IFilterMapper2> mapper;
    HRESULT hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&mapper));
    if (FAILED(hr))
        return hr;
    ComPtr<IEnumMediaTypes> types;
    hr = sourcePin->EnumMediaTypes(&types);
    if (FAILED(hr))
        return hr;
    AM_MEDIA_TYPE* first = nullptr;
    hr = types->Next(1, &first, nullptr);
    const TMediaTypePtr mediaType(first);
    if (hr != S_OK || !mediaType)
        return hr;

    std::map<std::string, ComPtr<IMoniker>> monikers;
    const auto query = [&](bool exact) {
        std::vector<std::string> keys;
        hr = FindSplitterMonikers(mapper.Get(), *mediaType, exact, keys, monikers);
        return keys;
    };
    const auto connect = [&](const std::string& key) {
        TMatchingFilter candidate;
        IMoniker* moniker = monikers[key].Get();
        HRESULT nameResult;
        candidate.FriendlyName = ReadFriendlyName(moniker, nameResult);
        if (FAILED(nameResult))
            candidate.FriendlyName = L"Unknown";
        hr = moniker->BindToObject(nullptr, nullptr, IID_PPV_ARGS(&candidate.Filter));
        if (FAILED(hr))
            return TSplitterTry::Failed;
        if (FAILED(graph->AddFilter(candidate.Filter.Get(), candidate.FriendlyName.c_str())))
            return TSplitterTry::Refused;
        const TSplitterTry result = ConnectToInput(graph, sourcePin, candidate.Filter.Get(), hr);
        // A candidate that connected nothing (also one without an input pin) leaves the graph.
        if (result == TSplitterTry::Connected)
            splitter = candidate.Filter;
        else
            graph->RemoveFilter(candidate.Filter.Get());
        return result;
    };
    WalkSplitterSearch(search, query, connect, skip);
    return hr;
}

HRESULT FindWildcardRegisteredSplitters(const AM_MEDIA_TYPE& streamType, const std::vector<std::string>& skip, std::vector<std::string>& keys)
{
    keys.clear();
    ComPtr<IFilterMapper2> mapper;
    HRESULT hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&mapper));
    if (FAILED(hr))
        return hr;
    std::map<std::string, ComPtr<IMoniker>> monikers;
    std::vector<std::string> exact, wildcard;
    hr = FindSplitterMonikers(mapper.Get(), streamType, true, exact, monikers);
    if (SUCCEEDED(hr))
        hr = FindSplitterMonikers(mapper.Get(), streamType, false, wildcard, monikers);
    if (SUCCEEDED(hr))
        keys = WildcardRegisteredSplitters(exact, wildcard, skip);
    return hr;
}

std::string FilterKey(IBaseFilter* filter)
{
    CLSID id;
    if (!filter || FAILED(filter->GetClassID(&id)))
        return {};
    return GuidKey(id);
}

HRESULT IsPinConnected(IPin* pin)
{
    if (!pin)
        return E_POINTER;
    ComPtr<IPin> peer;
    return pin->ConnectedTo(&peer);
}

HRESULT DisconnectPair(IGraphBuilder* graph, IPin* pin)
{
    const ComPtr<IPin> peer = ConnectedPeer(pin);
    HRESULT result = graph->Disconnect(pin);
    if (SUCCEEDED(result) && peer)
        result = graph->Disconnect(peer.Get());
    return result;
}

HRESULT StopGraph(IMediaControl* control)
{
    if (!control)
        return E_POINTER;
    OAFilterState state = State_Stopped;
    control->GetState(0, &state);
    if (state == State_Stopped)
        return control->Stop();
    // Paused and settled, every stream thread of a splitter waits in a renderer with its sample.
    // The splitters are told to stop then, from a thread of their own since they wait for
    // their stream threads, and only after that are the renderers stopped and the threads
    // freed: each then finds its splitter stopping and ends, instead of asking the parser for
    // one more buffer, which can wait for ever once the other stream's thread has gone.
    if (state == State_Running)
        control->Pause();
    control->GetState(2000, &state);
    auto splitters = std::make_unique<std::vector<ComPtr<IBaseFilter>>>();
    std::vector<ComPtr<IBaseFilter>> renderers;
    SplittersAndRenderers(control, *splitters, renderers);
    if (!splitters->empty()) {
        const HANDLE stopper = CreateThread(nullptr, 0, StopOwnedFilters, splitters.get(), 0, nullptr);
        if (stopper) {
            splitters.release();  // the thread's now
            WaitForSingleObject(stopper, 100);
            StopEach(renderers);
            const DWORD waited = WaitForSingleObject(stopper, StopGraphTimeoutMs);
            CloseHandle(stopper);
            // A splitter still stopping holds its lock: the graph's own stop would wait on it.
            if (waited != WAIT_OBJECT_0)
                return VFW_E_TIMEOUT;
        }
    }
    return control->Stop();
}

HRESULT SeekGraph(IMediaControl* control, IMediaSeeking* seeking, LONGLONG position)
{
    if (!control || !seeking)
        return E_POINTER;
    OAFilterState state = State_Stopped;
    control->GetState(0, &state);
    if (state != State_Stopped) {
        const HRESULT stopped = StopGraph(control);
        if (stopped == VFW_E_TIMEOUT)
            return stopped;
    }
    const HRESULT result = seeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
    if (state == State_Running)
        control->Run();
    else if (state == State_Paused)
        control->Pause();
    return result;
}
