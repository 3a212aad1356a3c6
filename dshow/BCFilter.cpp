#include "dshow/BCFilter.h"

#include <algorithm>
#include <cwchar>

namespace {

// Copies a name into a fixed array of a COM record, cut to fit with its terminator.
template <size_t N>
void CopyName(WCHAR (&target)[N], const std::wstring& name)
{
    const size_t count = std::min(name.size(), N - 1);
    std::wmemcpy(target, name.c_str(), count);
    target[count] = L'\0';
}

using TLock = std::lock_guard<std::recursive_mutex>;

}  // namespace

// ---- TBCBaseFilter

TBCBaseFilter::TBCBaseFilter(const wchar_t* name, IUnknown* outer, REFCLSID clsid)
    : TBCUnknown(outer), FObjectName(name ? name : L""), FClsid(clsid)
{
}

TBCBaseFilter::~TBCBaseFilter() = default;

HRESULT STDMETHODCALLTYPE TBCBaseFilter::NonDelegatingQueryInterface(REFIID iid, void** object)
{
    if (iid == IID_IBaseFilter || iid == IID_IMediaFilter || iid == IID_IPersist)
        return GetInterface(static_cast<IBaseFilter*>(this), object);
    return TBCUnknown::NonDelegatingQueryInterface(iid, object);
}

HRESULT STDMETHODCALLTYPE TBCBaseFilter::GetClassID(CLSID* clsid)
{
    if (!clsid)
        return E_POINTER;
    *clsid = FClsid;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TBCBaseFilter::Stop()
{
    TLock lock(FLock);
    HRESULT result = S_OK;
    if (FState != State_Stopped) {
        for (int i = 0; i < GetPinCount(); ++i) {
            TBCBasePin* pin = GetPin(i);
            if (pin && pin->IsConnected()) {
                const HRESULT hr = pin->Inactive();
                if (FAILED(hr) && SUCCEEDED(result))
                    result = hr;
            }
        }
    }
    FState = State_Stopped;
    return result;
}

HRESULT STDMETHODCALLTYPE TBCBaseFilter::Pause()
{
    TLock lock(FLock);
    if (FState == State_Stopped) {
        for (int i = 0; i < GetPinCount(); ++i) {
            TBCBasePin* pin = GetPin(i);
            if (pin && pin->IsConnected()) {
                const HRESULT hr = pin->Active();
                if (FAILED(hr))
                    return hr;
            }
        }
    }
    FState = State_Paused;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TBCBaseFilter::Run(REFERENCE_TIME start)
{
    TLock lock(FLock);
    if (FState == State_Stopped) {
        const HRESULT hr = Pause();
        if (FAILED(hr))
            return hr;
    }
    FStart = start;
    FState = State_Running;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TBCBaseFilter::GetState(DWORD timeoutMs, FILTER_STATE* state)
{
    if (!state)
        return E_POINTER;
    *state = FState.load();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TBCBaseFilter::SetSyncSource(IReferenceClock* clock)
{
    TLock lock(FLock);
    FClock = clock;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TBCBaseFilter::GetSyncSource(IReferenceClock** clock)
{
    if (!clock)
        return E_POINTER;
    TLock lock(FLock);
    *clock = FClock.Get();
    if (*clock)
        (*clock)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TBCBaseFilter::EnumPins(IEnumPins** pins)
{
    auto pinAt = [](TBCBaseFilter* filter, int position, IPin** pin) -> HRESULT {
        TBCBasePin* found = position < filter->GetPinCount() ? filter->GetPin(position) : nullptr;
        if (!found)
            return S_FALSE;
        if (pin) {
            found->AddRef();
            *pin = found;
        }
        return S_OK;
    };
    return ComGuarded([&] {
        return QueryNew(new (std::nothrow) TBCEnumPins(this, static_cast<IBaseFilter*>(this), pinAt, 0), IID_IEnumPins,
                        reinterpret_cast<void**>(pins));
    });
}

HRESULT STDMETHODCALLTYPE TBCBaseFilter::FindPin(LPCWSTR id, IPin** pin)
{
    if (!id || !pin)
        return E_POINTER;
    *pin = nullptr;
    TLock lock(FLock);
    for (int i = 0; i < GetPinCount(); ++i) {
        TBCBasePin* candidate = GetPin(i);
        if (candidate && candidate->Name() == id) {
            *pin = candidate;
            candidate->AddRef();
            return S_OK;
        }
    }
    return VFW_E_NOT_FOUND;
}

HRESULT STDMETHODCALLTYPE TBCBaseFilter::QueryFilterInfo(FILTER_INFO* info)
{
    if (!info)
        return E_POINTER;
    TLock lock(FLock);
    CopyName(info->achName, FGraphName);
    info->pGraph = FGraph;
    if (FGraph)
        FGraph->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TBCBaseFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name)
{
    return ComGuarded([&] {
        TLock lock(FLock);
        FGraphName = name ? name : L"";
        FGraph = graph;
        FEventSink = nullptr;
        if (graph) {
            // The graph owns us: keeping a reference on its event sink would keep it alive.
            IMediaEventSink* sink = nullptr;
            if (SUCCEEDED(graph->QueryInterface(IID_PPV_ARGS(&sink)))) {
                FEventSink = sink;
                sink->Release();
            }
        }
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TBCBaseFilter::QueryVendorInfo(LPWSTR* info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT TBCBaseFilter::StreamTime(REFERENCE_TIME& time)
{
    TLock lock(FLock);
    if (!FClock)
        return VFW_E_NO_CLOCK;
    const HRESULT hr = FClock->GetTime(&time);
    if (FAILED(hr))
        return hr;
    time -= FStart;
    return S_OK;
}

HRESULT TBCBaseFilter::NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2)
{
    IMediaEventSink* sink = FEventSink;
    if (!sink)
        return E_NOTIMPL;
    return sink->Notify(code, param1, param2);
}

// ---- TBCBasePin

TBCBasePin::TBCBasePin(TBCBaseFilter* filter, const wchar_t* name, PIN_DIRECTION direction)
    : FFilter(filter), FLock(filter->FilterLock()), FName(name ? name : L""), FDirection(direction)
{
}

TBCBasePin::~TBCBasePin() = default;

HRESULT STDMETHODCALLTYPE TBCBasePin::QueryInterface(REFIID iid, void** object)
{
    return NonDelegatingQueryInterface(iid, object);
}

ULONG STDMETHODCALLTYPE TBCBasePin::AddRef()
{
    return FFilter->GetOwner()->AddRef();
}

ULONG STDMETHODCALLTYPE TBCBasePin::Release()
{
    return FFilter->GetOwner()->Release();
}

HRESULT TBCBasePin::NonDelegatingQueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IPin)
        return TBCUnknown::GetInterface(static_cast<IPin*>(this), object);
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT TBCBasePin::CheckCanConnect() const
{
    if (IsConnected())
        return VFW_E_ALREADY_CONNECTED;
    return FFilter->IsStopped() ? S_OK : VFW_E_NOT_STOPPED;
}

HRESULT STDMETHODCALLTYPE TBCBasePin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* type)
{
    if (!receivePin)
        return E_POINTER;
    TLock lock(FLock);
    const HRESULT hr = CheckCanConnect();
    return FAILED(hr) ? hr : AgreeMediaType(receivePin, type);
}

HRESULT TBCBasePin::AgreeMediaType(IPin* receivePin, const AM_MEDIA_TYPE* partial)
{
    if (partial && TBCMediaType::IsFullySpecified(*partial))
        return AttemptConnection(receivePin, partial);
    // The receiving pin's preferences first, then ours.
    ComPtr<IEnumMediaTypes> theirs;
    if (SUCCEEDED(receivePin->EnumMediaTypes(&theirs)) && theirs && SUCCEEDED(TryTypesOf(receivePin, theirs.Get(), partial)))
        return S_OK;
    ComPtr<IEnumMediaTypes> ours;
    if (SUCCEEDED(EnumMediaTypes(&ours)) && SUCCEEDED(TryTypesOf(receivePin, ours.Get(), partial)))
        return S_OK;
    return VFW_E_NO_ACCEPTABLE_TYPES;
}

HRESULT TBCBasePin::TryTypesOf(IPin* receivePin, IEnumMediaTypes* types, const AM_MEDIA_TYPE* partial)
{
    AM_MEDIA_TYPE* type = nullptr;
    while (types->Next(1, &type, nullptr) == S_OK) {
        TBCMediaType candidate(*type);
        TBCMediaType::DeleteTaskCopy(type);
        if (partial && !candidate.Matches(*partial))
            continue;
        if (SUCCEEDED(AttemptConnection(receivePin, candidate.Get())))
            return S_OK;
    }
    return VFW_E_NO_ACCEPTABLE_TYPES;
}

HRESULT TBCBasePin::CheckPeerAndType(IPin* peer, const AM_MEDIA_TYPE* type)
{
    HRESULT hr = CheckConnect(peer);
    if (SUCCEEDED(hr)) {
        hr = CheckMediaType(type);
        if (hr == S_OK)
            return S_OK;
        if (!FAILED(hr))
            hr = VFW_E_TYPE_NOT_ACCEPTED;
    }
    BreakConnect();
    return hr;
}

HRESULT TBCBasePin::AttemptConnection(IPin* receivePin, const AM_MEDIA_TYPE* type)
{
    HRESULT hr = CheckPeerAndType(receivePin, type);
    if (FAILED(hr))
        return hr;
    FConnected = receivePin;
    hr = SetMediaType(type);
    if (SUCCEEDED(hr)) {
        hr = receivePin->ReceiveConnection(this, type);
        if (SUCCEEDED(hr)) {
            hr = CompleteConnect(receivePin);
            if (SUCCEEDED(hr))
                return S_OK;
            receivePin->Disconnect();
        }
    }
    DropConnection();
    return hr;
}

HRESULT STDMETHODCALLTYPE TBCBasePin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type)
{
    if (!connector || !type)
        return E_POINTER;
    TLock lock(FLock);
    HRESULT hr = CheckCanConnect();
    if (FAILED(hr))
        return hr;
    hr = CheckPeerAndType(connector, type);
    if (FAILED(hr))
        return hr;
    FConnected = connector;
    hr = SetMediaType(type);
    if (SUCCEEDED(hr))
        hr = CompleteConnect(connector);
    if (FAILED(hr)) {
        DropConnection();
        return hr;
    }
    return S_OK;
}

void TBCBasePin::DropConnection()
{
    BreakConnect();
    FConnected.Reset();
    std::lock_guard<std::mutex> typeLock(FTypeLock);
    FMediaType.Clear();
}

HRESULT STDMETHODCALLTYPE TBCBasePin::Disconnect()
{
    TLock lock(FLock);
    if (!FFilter->IsStopped())
        return VFW_E_NOT_STOPPED;
    if (!IsConnected())
        return S_FALSE;
    DropConnection();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TBCBasePin::ConnectedTo(IPin** pin)
{
    if (!pin)
        return E_POINTER;
    TLock lock(FLock);
    *pin = FConnected.Get();
    if (!*pin)
        return VFW_E_NOT_CONNECTED;
    (*pin)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TBCBasePin::ConnectionMediaType(AM_MEDIA_TYPE* type)
{
    if (!type)
        return E_POINTER;
    *type = AM_MEDIA_TYPE{};
    TLock lock(FLock);
    if (!IsConnected())
        return VFW_E_NOT_CONNECTED;
    std::lock_guard<std::mutex> typeLock(FTypeLock);
    return TBCMediaType::Copy(*type, *FMediaType.Get());
}

HRESULT STDMETHODCALLTYPE TBCBasePin::QueryPinInfo(PIN_INFO* info)
{
    if (!info)
        return E_POINTER;
    info->pFilter = FFilter;
    FFilter->GetOwner()->AddRef();
    info->dir = FDirection;
    CopyName(info->achName, FName);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TBCBasePin::QueryDirection(PIN_DIRECTION* direction)
{
    if (!direction)
        return E_POINTER;
    *direction = FDirection;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TBCBasePin::QueryId(LPWSTR* id)
{
    if (!id)
        return E_POINTER;
    const size_t bytes = (FName.size() + 1) * sizeof(wchar_t);
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*id)
        return E_OUTOFMEMORY;
    std::wmemcpy(*id, FName.c_str(), FName.size() + 1);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TBCBasePin::QueryAccept(const AM_MEDIA_TYPE* type)
{
    if (!type)
        return E_POINTER;
    TLock lock(FLock);
    return CheckMediaType(type) == S_OK ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE TBCBasePin::EnumMediaTypes(IEnumMediaTypes** types)
{
    auto typeAt = [](TBCBasePin* pin, int position, AM_MEDIA_TYPE** type) -> HRESULT {
        TBCMediaType found;
        if (pin->GetMediaType(position, found) != S_OK)
            return S_FALSE;
        if (type) {
            *type = TBCMediaType::CreateTaskCopy(*found.Get());
            if (!*type)
                return E_OUTOFMEMORY;
        }
        return S_OK;
    };
    return ComGuarded([&] {
        return TBCUnknown::QueryNew(new (std::nothrow) TBCEnumMediaTypes(this, static_cast<IPin*>(this), typeAt, 0), IID_IEnumMediaTypes,
                                    reinterpret_cast<void**>(types));
    });
}

HRESULT STDMETHODCALLTYPE TBCBasePin::QueryInternalConnections(IPin** pins, ULONG* count)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TBCBasePin::EndOfStream()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TBCBasePin::BeginFlush()
{
    FFlushing = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TBCBasePin::EndFlush()
{
    FFlushing = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TBCBasePin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    FSegmentStart = start;
    FSegmentStop = stop;
    FSegmentRate = rate;
    return S_OK;
}

HRESULT TBCBasePin::GetMediaType(int position, TBCMediaType& type)
{
    return position < 0 ? E_INVALIDARG : VFW_S_NO_MORE_ITEMS;
}

HRESULT TBCBasePin::SetMediaType(const AM_MEDIA_TYPE* type)
{
    std::lock_guard<std::mutex> typeLock(FTypeLock);
    return FMediaType.Set(*type);
}

HRESULT TBCBasePin::CheckConnect(IPin* peer)
{
    PIN_DIRECTION direction;
    const HRESULT hr = peer->QueryDirection(&direction);
    if (FAILED(hr))
        return hr;
    return direction == FDirection ? VFW_E_INVALID_DIRECTION : S_OK;
}

HRESULT TBCBasePin::CompleteConnect(IPin* peer)
{
    return S_OK;
}

HRESULT TBCBasePin::BreakConnect()
{
    return S_OK;
}

TBCMediaType TBCBasePin::CurrentMediaType() const
{
    std::lock_guard<std::mutex> typeLock(FTypeLock);
    return FMediaType;
}

// ---- TBCBaseInputPin

TBCBaseInputPin::TBCBaseInputPin(TBCBaseFilter* filter, const wchar_t* name) : TBCBasePin(filter, name, PINDIR_INPUT)
{
}

HRESULT TBCBaseInputPin::NonDelegatingQueryInterface(REFIID iid, void** object)
{
    if (iid == IID_IMemInputPin)
        return TBCUnknown::GetInterface(static_cast<IMemInputPin*>(this), object);
    return TBCBasePin::NonDelegatingQueryInterface(iid, object);
}

HRESULT STDMETHODCALLTYPE TBCBaseInputPin::GetAllocator(IMemAllocator** allocator)
{
    if (!allocator)
        return E_POINTER;
    *allocator = nullptr;
    TLock lock(FLock);
    if (!FAllocator) {
        const HRESULT hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&FAllocator));
        if (FAILED(hr))
            return hr;
    }
    *allocator = FAllocator.Get();
    FAllocator->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TBCBaseInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly)
{
    if (!allocator)
        return E_POINTER;
    TLock lock(FLock);
    FAllocator = allocator;
    FReadOnly = readOnly != FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TBCBaseInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TBCBaseInputPin::Receive(IMediaSample* sample)
{
    if (!sample)
        return E_POINTER;
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    return CheckSampleType(sample);
}

HRESULT STDMETHODCALLTYPE TBCBaseInputPin::ReceiveMultiple(IMediaSample** samples, long count, long* processed)
{
    if (!samples || !processed)
        return E_POINTER;
    *processed = 0;
    HRESULT hr = S_OK;
    while (*processed < count) {
        hr = Receive(samples[*processed]);
        if (hr != S_OK)
            break;
        ++*processed;
    }
    return hr;
}

HRESULT STDMETHODCALLTYPE TBCBaseInputPin::ReceiveCanBlock()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TBCBaseInputPin::EndFlush()
{
    FAtEndOfStream = false;
    return TBCBasePin::EndFlush();
}

HRESULT STDMETHODCALLTYPE TBCBaseInputPin::EndOfStream()
{
    const HRESULT hr = CheckStreaming();
    if (hr == S_OK)
        FAtEndOfStream = true;
    return hr;
}

HRESULT TBCBaseInputPin::BreakConnect()
{
    if (FAllocator)
        FAllocator->Decommit();
    FAllocator.Reset();
    FReadOnly = false;
    return S_OK;
}

HRESULT TBCBaseInputPin::Inactive()
{
    FAtEndOfStream = false;
    // An upstream thread waiting for a buffer gets its answer now.
    if (FAllocator)
        FAllocator->Decommit();
    return S_OK;
}

HRESULT TBCBaseInputPin::CheckStreaming()
{
    if (!IsConnected())
        return VFW_E_NOT_CONNECTED;
    if (FFilter->IsStopped())
        return VFW_E_WRONG_STATE;
    if (FFlushing)
        return S_FALSE;
    if (FAtEndOfStream)
        return VFW_E_SAMPLE_REJECTED_EOS;
    return S_OK;
}

HRESULT TBCBaseInputPin::CheckSampleType(IMediaSample* sample)
{
    AM_MEDIA_TYPE* type = nullptr;
    if (sample->GetMediaType(&type) != S_OK || !type)
        return S_OK;
    HRESULT hr = CheckMediaType(type);
    if (hr == S_OK)
        hr = SetMediaType(type);
    else if (!FAILED(hr))
        hr = VFW_E_INVALIDMEDIATYPE;
    TBCMediaType::DeleteTaskCopy(type);
    return hr;
}

// ---- TBCBaseOutputPin

TBCBaseOutputPin::TBCBaseOutputPin(TBCBaseFilter* filter, const wchar_t* name) : TBCBasePin(filter, name, PINDIR_OUTPUT)
{
}

HRESULT TBCBaseOutputPin::CheckConnect(IPin* peer)
{
    const HRESULT hr = TBCBasePin::CheckConnect(peer);
    if (FAILED(hr))
        return hr;
    if (FAILED(peer->QueryInterface(IID_PPV_ARGS(FPeerInput.ReleaseAndGetAddressOf()))))
        return VFW_E_NO_TRANSPORT;
    return S_OK;
}

HRESULT TBCBaseOutputPin::CompleteConnect(IPin* peer)
{
    return DecideAllocator(FPeerInput.Get(), FAllocator.ReleaseAndGetAddressOf());
}

HRESULT TBCBaseOutputPin::BreakConnect()
{
    if (FAllocator)
        FAllocator->Decommit();
    FAllocator.Reset();
    FPeerInput.Reset();
    return S_OK;
}

HRESULT TBCBaseOutputPin::Active()
{
    if (!FAllocator)
        return VFW_E_NO_ALLOCATOR;
    return FAllocator->Commit();
}

HRESULT TBCBaseOutputPin::Inactive()
{
    if (FAllocator)
        FAllocator->Decommit();
    return S_OK;
}

HRESULT TBCBaseOutputPin::DecideAllocator(IMemInputPin* peer, IMemAllocator** allocator)
{
    *allocator = nullptr;
    ALLOCATOR_PROPERTIES wanted{};
    peer->GetAllocatorRequirements(&wanted);
    if (wanted.cbAlign == 0)
        wanted.cbAlign = 1;

    ALLOCATOR_PROPERTIES request = wanted;
    HRESULT hr = peer->GetAllocator(allocator);
    if (SUCCEEDED(hr)) {
        hr = DecideBufferSize(*allocator, &request);
        if (SUCCEEDED(hr))
            hr = peer->NotifyAllocator(*allocator, FALSE);
        if (SUCCEEDED(hr))
            return S_OK;
        (*allocator)->Release();
        *allocator = nullptr;
    }

    request = wanted;
    hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator, reinterpret_cast<void**>(allocator));
    if (FAILED(hr))
        return hr;
    hr = DecideBufferSize(*allocator, &request);
    if (SUCCEEDED(hr))
        hr = peer->NotifyAllocator(*allocator, FALSE);
    if (FAILED(hr)) {
        (*allocator)->Release();
        *allocator = nullptr;
    }
    return hr;
}

HRESULT TBCBaseOutputPin::GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* stop, DWORD flags)
{
    if (!FAllocator)
        return VFW_E_NO_ALLOCATOR;
    return FAllocator->GetBuffer(sample, start, stop, flags);
}

HRESULT TBCBaseOutputPin::Deliver(IMediaSample* sample)
{
    IMemInputPin* peer = FPeerInput.Get();
    return peer ? peer->Receive(sample) : VFW_E_NOT_CONNECTED;
}

HRESULT TBCBaseOutputPin::DeliverEndOfStream()
{
    IPin* peer = FConnected.Get();
    return peer ? peer->EndOfStream() : VFW_E_NOT_CONNECTED;
}

HRESULT TBCBaseOutputPin::DeliverBeginFlush()
{
    IPin* peer = FConnected.Get();
    return peer ? peer->BeginFlush() : VFW_E_NOT_CONNECTED;
}

HRESULT TBCBaseOutputPin::DeliverEndFlush()
{
    IPin* peer = FConnected.Get();
    return peer ? peer->EndFlush() : VFW_E_NOT_CONNECTED;
}

HRESULT TBCBaseOutputPin::DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    IPin* peer = FConnected.Get();
    return peer ? peer->NewSegment(start, stop, rate) : VFW_E_NOT_CONNECTED;
}
