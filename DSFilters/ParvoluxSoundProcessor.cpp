#include "DSFilters/ParvoluxSoundProcessor.h"

#include <algorithm>
#include <cmath>

TParvoluxSoundProcessor::TParvoluxSoundProcessor(TComponent* owner)
    : TComponent(owner), FGainTable(EQGainTableSize, EQNeutralGain)
{
    FTimer = NewComponent<TTimer>(this);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(static_cast<unsigned>(FVisualInterval));
    FTimer->OnTimer = [this](TObject* sender) { VisualTimer(sender); };
    if (Designing())
        return;

    FComInit = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // Without a filter the component still works, on its cached values.
    if (FAILED(CreateFilter()))
        ReleaseFilter();
}

TParvoluxSoundProcessor::~TParvoluxSoundProcessor()
{
    FTimer->SetEnabled(false);
    RemoveFilterFromGraph();
    // Waits for a callback in progress: the filter may outlive us in someone's graph.
    if (FGeneral)
        FGeneral->SetCallBack(nullptr);
    ReleaseFilter();
    if (SUCCEEDED(FComInit))
        CoUninitialize();
}

HRESULT TParvoluxSoundProcessor::CreateFilter()
{
    HRESULT hr = ComGuarded([&] {
        return TBCUnknown::QueryNew(new TPvlSPFilter(TPvlSPFilter::ComponentName, nullptr), IID_IBaseFilter,
                                    reinterpret_cast<void**>(FFilter.ReleaseAndGetAddressOf()));
    });
    if (FAILED(hr))
        return hr;
    if (FAILED(hr = FFilter.As(&FGeneral)) || FAILED(hr = FFilter.As(&FDelayPart)) || FAILED(hr = FFilter.As(&FEqualizer)) ||
        FAILED(hr = FFilter.As(&FAmplifyPart)) || FAILED(hr = FFilter.As(&FDynamicAmplify)) || FAILED(hr = FFilter.As(&F3DSound)) ||
        FAILED(hr = FFilter.As(&FVisual)))
        return hr;

    ComPtr<IEnumPins> pins;
    if (FAILED(hr = FFilter->EnumPins(&pins)))
        return hr;
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        PIN_DIRECTION direction;
        if (FAILED(hr = pin->QueryDirection(&direction)))
            return hr;
        if (direction == PINDIR_INPUT && !FInputPin)
            FInputPin = pin;
        else if (direction == PINDIR_OUTPUT && !FOutputPin)
            FOutputPin = pin;
    }
    if (!FInputPin || !FOutputPin)
        return E_FAIL;
    return FGeneral->SetCallBack(this);
}

void TParvoluxSoundProcessor::ReleaseFilter()
{
    FInputPin.Reset();
    FOutputPin.Reset();
    FGeneral.Reset();
    FEqualizer.Reset();
    FDelayPart.Reset();
    FAmplifyPart.Reset();
    FDynamicAmplify.Reset();
    F3DSound.Reset();
    FVisual.Reset();
    FFilter.Reset();
}

HRESULT STDMETHODCALLTYPE TParvoluxSoundProcessor::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == __uuidof(IPvlSPFilterPCMCallBack)) {
        *object = static_cast<IPvlSPFilterPCMCallBack*>(this);
        return S_OK;
    }
    // The component answers for the filter too.
    if (FFilter)
        return FFilter->QueryInterface(iid, object);
    *object = nullptr;
    return E_NOINTERFACE;
}

// ---- callbacks

HRESULT STDMETHODCALLTYPE TParvoluxSoundProcessor::PCMDataCallBack(void* buffer, int32_t length, int32_t* newSize, PDSStream stream)
{
    if (!newSize)
        return E_POINTER;
    *newSize = length;
    return ComGuarded([&] {
        std::lock_guard lock(FEventLock);
        if (FOnPCMDataCallBack)
            FOnPCMDataCallBack(this, buffer, length, *newSize, stream);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TParvoluxSoundProcessor::MediaTypeChanged(PDSStream stream)
{
    if (stream) {
        std::lock_guard lock(FStreamLock);
        FStream = *stream;
    }
    return ComGuarded([&] {
        std::lock_guard lock(FEventLock);
        if (FOnMediaTypeChange)
            FOnMediaTypeChange(this, stream);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TParvoluxSoundProcessor::FilterFlushed()
{
    return ComGuarded([&] {
        std::lock_guard lock(FEventLock);
        if (FOnFilterFlush)
            FOnFilterFlush(this);
        return S_OK;
    });
}

void TParvoluxSoundProcessor::SetOnPCMDataCallBack(TPCMNotifyEvent handler)
{
    std::lock_guard lock(FEventLock);
    FOnPCMDataCallBack = std::move(handler);
}

void TParvoluxSoundProcessor::SetOnMediaTypeChange(TMediaChangeNotifyEvent handler)
{
    std::lock_guard lock(FEventLock);
    FOnMediaTypeChange = std::move(handler);
}

void TParvoluxSoundProcessor::SetOnFilterFlush(TNotifyEvent handler)
{
    std::lock_guard lock(FEventLock);
    FOnFilterFlush = std::move(handler);
}

void TParvoluxSoundProcessor::SetOnVisualData(TVisualNotifyEvent handler)
{
    std::lock_guard lock(FEventLock);
    FOnVisualData = std::move(handler);
}

TDSStream TParvoluxSoundProcessor::Stream() const
{
    std::lock_guard lock(FStreamLock);
    return FStream;
}

void TParvoluxSoundProcessor::VisualTimer(TObject* sender)
{
    TVisualNotifyEvent handler;
    {
        std::lock_guard lock(FEventLock);
        handler = FOnVisualData;
    }
    if (!handler)
        return;
    void* buffer = nullptr;
    int32_t size = 0;
    PDSStream stream = nullptr;
    if (FVisual && FVisual->GetVisualData(&buffer, &size, &stream) == S_OK) {
        handler(sender, buffer, size, stream);
        return;
    }
    TDSStream empty{};
    handler(sender, nullptr, 0, &empty);
}

// ---- properties

template <class I, class T, class Get>
T TParvoluxSoundProcessor::ReadThrough(const ComPtr<I>& part, T& cache, Get&& get)
{
    T value{};
    if (part && SUCCEEDED(get(part.Get(), &value)))
        cache = value;
    return cache;
}

template <class I, class T, class Set>
void TParvoluxSoundProcessor::WriteThrough(const ComPtr<I>& part, T& cache, T value, Set&& set)
{
    if (!part || SUCCEEDED(set(part.Get(), value)))
        cache = value;
}

bool TParvoluxSoundProcessor::EqualizerEnabled()
{
    return ReadThrough(FEqualizer, FEqualizerEnabled, [](auto* p, bool* v) { return p->GetEnabled(v); });
}

void TParvoluxSoundProcessor::SetEqualizerEnabled(bool value)
{
    WriteThrough(FEqualizer, FEqualizerEnabled, value, [](auto* p, bool v) { return p->SetEnabled(v); });
}

bool TParvoluxSoundProcessor::AmplifyEnabled()
{
    return ReadThrough(FAmplifyPart, FAmplifyEnabled, [](auto* p, bool* v) { return p->GetEnabled(v); });
}

void TParvoluxSoundProcessor::SetAmplifyEnabled(bool value)
{
    WriteThrough(FAmplifyPart, FAmplifyEnabled, value, [](auto* p, bool v) { return p->SetEnabled(v); });
}

int32_t TParvoluxSoundProcessor::Amplify()
{
    return ReadThrough(FAmplifyPart, FAmplify, [](auto* p, int32_t* v) { return p->GetAmplify(0, v); });
}

void TParvoluxSoundProcessor::SetAmplify(int32_t value)
{
    WriteThrough(FAmplifyPart, FAmplify, value, [](auto* p, int32_t v) { return p->SetAmplify(0, v); });
}

bool TParvoluxSoundProcessor::DynamicAmplifyEnabled()
{
    return ReadThrough(FDynamicAmplify, FDynamicAmplifyEnabled, [](auto* p, bool* v) { return p->GetEnabled(v); });
}

void TParvoluxSoundProcessor::SetDynamicAmplifyEnabled(bool value)
{
    WriteThrough(FDynamicAmplify, FDynamicAmplifyEnabled, value, [](auto* p, bool v) { return p->SetEnabled(v); });
}

int32_t TParvoluxSoundProcessor::DynamicMaxAmplify()
{
    return ReadThrough(FDynamicAmplify, FDynamicMaxAmplify, [](auto* p, int32_t* v) { return p->GetMaxAmplify(v); });
}

void TParvoluxSoundProcessor::SetDynamicMaxAmplify(int32_t value)
{
    WriteThrough(FDynamicAmplify, FDynamicMaxAmplify, value, [](auto* p, int32_t v) { return p->SetMaxAmplify(v); });
}

int32_t TParvoluxSoundProcessor::DynamicAttackTime()
{
    return ReadThrough(FDynamicAmplify, FDynamicAttackTime, [](auto* p, int32_t* v) { return p->GetAttackTime(v); });
}

void TParvoluxSoundProcessor::SetDynamicAttackTime(int32_t value)
{
    WriteThrough(FDynamicAmplify, FDynamicAttackTime, value, [](auto* p, int32_t v) { return p->SetAttackTime(v); });
}

int32_t TParvoluxSoundProcessor::DynamicReleaseTime()
{
    return ReadThrough(FDynamicAmplify, FDynamicReleaseTime, [](auto* p, int32_t* v) { return p->GetReleaseTime(v); });
}

void TParvoluxSoundProcessor::SetDynamicReleaseTime(int32_t value)
{
    WriteThrough(FDynamicAmplify, FDynamicReleaseTime, value, [](auto* p, int32_t v) { return p->SetReleaseTime(v); });
}

bool TParvoluxSoundProcessor::DelayEnabled()
{
    return ReadThrough(FDelayPart, FDelayEnabled, [](auto* p, bool* v) { return p->GetEnabled(v); });
}

void TParvoluxSoundProcessor::SetDelayEnabled(bool value)
{
    WriteThrough(FDelayPart, FDelayEnabled, value, [](auto* p, bool v) { return p->SetEnabled(v); });
}

int32_t TParvoluxSoundProcessor::Delay()
{
    return ReadThrough(FDelayPart, FDelay, [](auto* p, int32_t* v) { return p->GetDelay(v); });
}

void TParvoluxSoundProcessor::SetDelay(int32_t value)
{
    WriteThrough(FDelayPart, FDelay, value, [](auto* p, int32_t v) { return p->SetDelay(v); });
}

bool TParvoluxSoundProcessor::Sound3DEnabled()
{
    return ReadThrough(F3DSound, FSound3DEnabled, [](auto* p, bool* v) { return p->GetEnabled(v); });
}

void TParvoluxSoundProcessor::SetSound3DEnabled(bool value)
{
    WriteThrough(F3DSound, FSound3DEnabled, value, [](auto* p, bool v) { return p->SetEnabled(v); });
}

int32_t TParvoluxSoundProcessor::Sound3DVolume()
{
    return ReadThrough(F3DSound, FSound3DVolume, [](auto* p, int32_t* v) { return p->GetVolume(v); });
}

void TParvoluxSoundProcessor::SetSound3DVolume(int32_t value)
{
    WriteThrough(F3DSound, FSound3DVolume, value, [](auto* p, int32_t v) { return p->SetVolume(v); });
}

void TParvoluxSoundProcessor::SetVisualEnabled(bool value)
{
    if (value == FVisualEnabled)
        return;
    FVisualEnabled = value;
    FTimer->SetEnabled(value);
}

void TParvoluxSoundProcessor::SetVisualInterval(int32_t value)
{
    if (value == FVisualInterval)
        return;
    FVisualInterval = value;
    FTimer->SetInterval(static_cast<unsigned>(std::max(value, 0)));
}

void TParvoluxSoundProcessor::SetEqualizerBand(int band, int8_t value)
{
    if (!SetGainTableBand(FGainTable.data(), band, value))
        return;
    if (FFilter && FEqualizer)
        FEqualizer->SetGainTable(FGainTable.data());
}

int TParvoluxSoundProcessor::DynamicCurrentGain()
{
    float gain = 0;
    if (!FFilter || !FDynamicAmplify || FAILED(FDynamicAmplify->GetCurrentGain(&gain)))
        return 0;
    return static_cast<int>(std::nearbyint(static_cast<double>(gain) * 1000.0));
}

HRESULT TParvoluxSoundProcessor::RemoveFilterFromGraph()
{
    if (!FFilter)
        return S_FALSE;
    FILTER_INFO info{};
    HRESULT hr = FFilter->QueryFilterInfo(&info);
    if (FAILED(hr))
        return hr;
    const ComPtr<IFilterGraph> graph = AdoptRef(info.pGraph);
    for (IPin* pin : {FInputPin.Get(), FOutputPin.Get()}) {
        ComPtr<IPin> peer;
        if (pin && pin->ConnectedTo(&peer) == S_OK) {
            hr = peer->Disconnect();
            hr = pin->Disconnect();
        }
    }
    if (graph)
        hr = graph->RemoveFilter(FFilter.Get());
    return hr;
}
