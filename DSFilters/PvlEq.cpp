#include "DSFilters/PvlEq.h"

#include <climits>

namespace {

std::atomic<long> FiltersAlive{0};

// The DVD Navigator and a second navigator class that plays DVDs the same way.
const CLSID CLSID_DVDNavigatorFilter = {0x9b8c4620, 0x2c1a, 0x11d0, {0x84, 0x93, 0x00, 0xa0, 0x24, 0x38, 0xad, 0x48}};
const CLSID CLSID_OtherDVDNavigator = {0xaabc1235, 0x776d, 0x11d2, {0x80, 0x10, 0x00, 0x10, 0x4b, 0x9b, 0x85, 0x92}};

constexpr long BufferCount = 10;
constexpr int64_t BufferFrames = 352800;  // 8 s at 44100 Hz
constexpr long BufferAlign = 16;

bool ValidChannel(int32_t channel)
{
    return channel >= 0 && channel < 10;
}

// One of the filter's interfaces: a part of the filter that forwards IUnknown to it.
template <class I>
class TPart : public I {
public:
    explicit TPart(TPvlSPFilter* filter) : F(filter) {}
    virtual ~TPart() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override { return F->GetOwner()->QueryInterface(iid, object); }
    ULONG STDMETHODCALLTYPE AddRef() override { return F->GetOwner()->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return F->GetOwner()->Release(); }

protected:
    TPvlSPFilter* F;
};

template <class T>
HRESULT Read(T* out, T value)
{
    if (!out)
        return E_POINTER;
    *out = value;
    return S_OK;
}

template <class T>
HRESULT Store(TRelaxed<T>& field, T value)
{
    field = value;
    return S_OK;
}

class TGeneral final : public TPart<IPvlSPGeneralInterface> {
public:
    using TPart::TPart;
    HRESULT STDMETHODCALLTYPE SetCallBack(IPvlSPFilterPCMCallBack* callBack) override { return F->SetCallBack(callBack); }
};

class TEqualizer final : public TPart<IPvlSPEqualizerInterface> {
public:
    using TPart::TPart;
    HRESULT STDMETHODCALLTYPE GetEnabled(bool* value) override { return Read<bool>(value, F->Chain().EqualizerEnabled); }
    HRESULT STDMETHODCALLTYPE SetEnabled(bool value) override
    {
        F->Chain().EnableEqualizer(value);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetGainTable(float* table) override
    {
        if (!table)
            return E_POINTER;
        F->Chain().GetGainTable(table);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetGainTable(const float* table) override
    {
        if (!table)
            return E_POINTER;
        F->Chain().SetGainTable(table);
        return S_OK;
    }
};

class TDelay final : public TPart<IPvlSPDelayInterface> {
public:
    using TPart::TPart;
    HRESULT STDMETHODCALLTYPE GetEnabled(bool* value) override { return Read<bool>(value, F->DelayEnabled); }
    HRESULT STDMETHODCALLTYPE SetEnabled(bool value) override { return Store<bool>(F->DelayEnabled, value); }
    HRESULT STDMETHODCALLTYPE GetDelay(int32_t* value) override { return Read<int32_t>(value, F->Delay); }
    HRESULT STDMETHODCALLTYPE SetDelay(int32_t value) override { return Store<int32_t>(F->Delay, value); }
};

class TAmplify final : public TPart<IPvlSPAmplifyInterface> {
public:
    using TPart::TPart;
    HRESULT STDMETHODCALLTYPE GetEnabled(bool* value) override { return Read<bool>(value, F->Chain().AmplifyEnabled); }
    HRESULT STDMETHODCALLTYPE SetEnabled(bool value) override { return Store<bool>(F->Chain().AmplifyEnabled, value); }
    HRESULT STDMETHODCALLTYPE GetAmplify(int32_t channel, int32_t* value) override
    {
        if (!ValidChannel(channel))
            return E_INVALIDARG;
        return Read<int32_t>(value, F->Chain().Amplify[static_cast<size_t>(channel)]);
    }
    HRESULT STDMETHODCALLTYPE SetAmplify(int32_t channel, int32_t value) override
    {
        if (!ValidChannel(channel))
            return E_INVALIDARG;
        F->Chain().Amplify[static_cast<size_t>(channel)] = value;
        return S_OK;
    }
};

class TDynamicAmplify final : public TPart<IPvlSPDynamicAmplifyInterface> {
public:
    using TPart::TPart;
    HRESULT STDMETHODCALLTYPE GetEnabled(bool* value) override { return Read<bool>(value, F->Chain().DynamicAmplifyEnabled); }
    HRESULT STDMETHODCALLTYPE SetEnabled(bool value) override { return Store<bool>(F->Chain().DynamicAmplifyEnabled, value); }
    HRESULT STDMETHODCALLTYPE GetMaxAmplify(int32_t* value) override { return Read<int32_t>(value, F->Chain().DynamicMaxAmplify); }
    HRESULT STDMETHODCALLTYPE SetMaxAmplify(int32_t value) override { return Store<int32_t>(F->Chain().DynamicMaxAmplify, value); }
    HRESULT STDMETHODCALLTYPE GetAttackTime(int32_t* value) override { return Read<int32_t>(value, F->Chain().DynamicAttackTime); }
    HRESULT STDMETHODCALLTYPE SetAttackTime(int32_t value) override { return Store<int32_t>(F->Chain().DynamicAttackTime, value); }
    HRESULT STDMETHODCALLTYPE GetReleaseTime(int32_t* value) override { return Read<int32_t>(value, F->Chain().DynamicReleaseTime); }
    HRESULT STDMETHODCALLTYPE SetReleaseTime(int32_t value) override { return Store<int32_t>(F->Chain().DynamicReleaseTime, value); }
    HRESULT STDMETHODCALLTYPE GetCurrentGain(float* value) override
    {
        return Read<float>(value, F->Chain().DynamicAmplifyEnabled ? static_cast<float>(F->Chain().CurrentGain) : 0.0f);
    }
};

class T3DSound final : public TPart<IPvlSP3DSoundInterface> {
public:
    using TPart::TPart;
    HRESULT STDMETHODCALLTYPE GetEnabled(bool* value) override { return Read<bool>(value, F->Chain().Sound3DEnabled); }
    HRESULT STDMETHODCALLTYPE SetEnabled(bool value) override { return Store<bool>(F->Chain().Sound3DEnabled, value); }
    HRESULT STDMETHODCALLTYPE GetVolume(int32_t* value) override { return Read<int32_t>(value, F->Chain().Sound3DVolume); }
    HRESULT STDMETHODCALLTYPE SetVolume(int32_t value) override { return Store<int32_t>(F->Chain().Sound3DVolume, value); }
};

class TVisual final : public TPart<IPvlSPVisualInterface> {
public:
    using TPart::TPart;
    HRESULT STDMETHODCALLTYPE GetVisualData(void** buffer, int32_t* size, PDSStream* stream) override
    {
        return F->GetVisualData(buffer, size, stream);
    }
};

}  // namespace

struct TPvlSPFilter::TInterfaces {
    explicit TInterfaces(TPvlSPFilter* f)
        : General(f), Equalizer(f), Delay(f), Amplify(f), DynamicAmplify(f), Sound3D(f), Visual(f)
    {
    }
    TGeneral General;
    TEqualizer Equalizer;
    TDelay Delay;
    TAmplify Amplify;
    TDynamicAmplify DynamicAmplify;
    T3DSound Sound3D;
    TVisual Visual;
};

TPvlSPFilter::TPvlSPFilter(const wchar_t* name, IUnknown* outer)
    : TBCTransInPlaceFilter(name, outer, CLSID_PvlSPFilter), FInterfaces(std::make_unique<TInterfaces>(this))
{
    ++FiltersAlive;
}

TPvlSPFilter::~TPvlSPFilter()
{
    --FiltersAlive;
}

HRESULT TPvlSPFilter::CreateFromFactory(IUnknown* outer, REFIID iid, void** object)
{
    return ComGuarded([&] { return QueryNew(new TPvlSPFilter(FactoryName, outer), iid, object); });
}

long TPvlSPFilter::InstanceCount()
{
    return FiltersAlive.load();
}

HRESULT STDMETHODCALLTYPE TPvlSPFilter::NonDelegatingQueryInterface(REFIID iid, void** object)
{
    if (iid == IID_IAMovieSetup)
        return GetInterface(static_cast<IAMovieSetup*>(this), object);
    if (iid == __uuidof(IPvlSPGeneralInterface))
        return GetInterface(&FInterfaces->General, object);
    if (iid == __uuidof(IPvlSPEqualizerInterface))
        return GetInterface(&FInterfaces->Equalizer, object);
    if (iid == __uuidof(IPvlSPDelayInterface))
        return GetInterface(&FInterfaces->Delay, object);
    if (iid == __uuidof(IPvlSPAmplifyInterface))
        return GetInterface(&FInterfaces->Amplify, object);
    if (iid == __uuidof(IPvlSPDynamicAmplifyInterface))
        return GetInterface(&FInterfaces->DynamicAmplify, object);
    if (iid == __uuidof(IPvlSP3DSoundInterface))
        return GetInterface(&FInterfaces->Sound3D, object);
    if (iid == __uuidof(IPvlSPVisualInterface))
        return GetInterface(&FInterfaces->Visual, object);
    return TBCTransInPlaceFilter::NonDelegatingQueryInterface(iid, object);
}

template <class F>
void TPvlSPFilter::WithCallBack(F&& call)
{
    std::lock_guard lock(FCallBackLock);
    if (FCallBack)
        call(FCallBack.Get());
}

HRESULT TPvlSPFilter::SetCallBack(IPvlSPFilterPCMCallBack* callBack)
{
    std::lock_guard lock(FCallBackLock);
    FCallBack = callBack;
    return S_OK;
}

TDSStream TPvlSPFilter::Stream() const
{
    std::lock_guard lock(FStreamLock);
    return FStream;
}

// ---- states

HRESULT STDMETHODCALLTYPE TPvlSPFilter::Stop()
{
    FRunning = false;
    FRing.ClearFill();
    return TBCTransInPlaceFilter::Stop();
}

HRESULT STDMETHODCALLTYPE TPvlSPFilter::Pause()
{
    FRunning = false;
    return TBCTransInPlaceFilter::Pause();
}

HRESULT STDMETHODCALLTYPE TPvlSPFilter::Run(REFERENCE_TIME start)
{
    // After the base class: from the stopped state it pauses first, which clears the flag.
    const HRESULT hr = TBCTransInPlaceFilter::Run(start);
    if (SUCCEEDED(hr))
        FRunning = true;
    return hr;
}

// ---- connection

HRESULT TPvlSPFilter::CheckInputType(const AM_MEDIA_TYPE* type)
{
    if (!type)
        return E_POINTER;
    TAudioFormatInfo info;
    info.MajorAudio = type->majortype == MEDIATYPE_Audio;
    info.SubtypePCM = type->subtype == MEDIASUBTYPE_PCM;
    info.SubtypeFloat = type->subtype == MEDIASUBTYPE_IEEE_FLOAT;
    info.FormatWaveFormatEx = type->formattype == FORMAT_WaveFormatEx;
    info.Format = type->pbFormat;
    info.FormatSize = type->pbFormat ? type->cbFormat : 0;
    TDSStream parsed = Stream();
    const int32_t result = ParseAudioFormat(info, parsed);
    if (result != PvlEqResult::OK)
        return result;

    bool changed = false;
    {
        std::lock_guard lock(FStreamLock);
        FStream = parsed;
        changed = !(FStream == FNotified);
        FNotified = FStream;
        FSavedType.Set(*type);
    }
    if (changed)
        WithCallBack([&](IPvlSPFilterPCMCallBack* callBack) { callBack->MediaTypeChanged(&FStream); });
    return S_OK;
}

HRESULT TPvlSPFilter::CheckTransform(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output)
{
    const HRESULT hr = CheckInputType(input);
    return FAILED(hr) ? hr : S_OK;
}

HRESULT TPvlSPFilter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    if (!InputPin()->IsConnected())
        return E_UNEXPECTED;
    if (!allocator || !request)
        return E_POINTER;
    const TDSStream stream = Stream();
    const int64_t size = static_cast<int64_t>(stream.Channels) * BufferFrames * (stream.Bits / 8);
    if (size <= 0 || size > LONG_MAX)
        return E_FAIL;
    ALLOCATOR_PROPERTIES wanted = *request;
    wanted.cBuffers = BufferCount;
    wanted.cbBuffer = static_cast<long>(size);
    wanted.cbAlign = BufferAlign;
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = allocator->SetProperties(&wanted, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cBuffers < wanted.cBuffers || actual.cbBuffer < wanted.cbBuffer ? E_FAIL : S_OK;
}

bool TPvlSPFilter::DetectDVD()
{
    IFilterGraph* graph = Graph();
    ComPtr<IEnumFilters> filters;
    if (!graph || FAILED(graph->EnumFilters(&filters)))
        return false;
    ComPtr<IBaseFilter> filter;
    while (filters->Next(1, filter.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        CLSID clsid;
        if (SUCCEEDED(filter->GetClassID(&clsid)) && (clsid == CLSID_DVDNavigatorFilter || clsid == CLSID_OtherDVDNavigator))
            return true;
    }
    return false;
}

HRESULT TPvlSPFilter::CompleteConnect(PIN_DIRECTION direction, IPin* pin)
{
    const HRESULT hr = TBCTransInPlaceFilter::CompleteConnect(direction, pin);
    if (FAILED(hr))
        return hr;
    if (direction == PINDIR_OUTPUT && InputPin()->IsConnected() && OutputPin()->IsConnected()) {
        FDVD = DetectDVD();
        FRing.MarkFirstSample();
        FRing.Reset(Stream());
    }
    return hr;
}

// ---- flushing

HRESULT TPvlSPFilter::BeginFlush()
{
    FFlushing = true;
    FRing.Flush();
    FChain.ClearEqualizerTails();
    WithCallBack([](IPvlSPFilterPCMCallBack* callBack) { callBack->FilterFlushed(); });
    return TBCTransInPlaceFilter::BeginFlush();
}

HRESULT TPvlSPFilter::EndFlush()
{
    FFlushing = false;
    return TBCTransInPlaceFilter::EndFlush();
}

// ---- streaming

HRESULT TPvlSPFilter::Transform(IMediaSample* sample)
{
    // 1. The buffer and its length.
    BYTE* buffer = nullptr;
    HRESULT hr = sample->GetPointer(&buffer);
    if (FAILED(hr))
        return hr;
    const long originalLength = sample->GetActualDataLength();
    long length = originalLength;

    // 2. A format carried by the sample.
    AM_MEDIA_TYPE* newType = nullptr;
    if (sample->GetMediaType(&newType) == S_OK && newType) {
        FFormatChanging = true;
        hr = CheckInputType(newType);
        TBCMediaType::DeleteTaskCopy(newType);
        if (FAILED(hr)) {
            FFormatChanging = false;
            return hr;
        }
        FRing.Reset(Stream());
        FFormatChanging = false;
        FRing.Flush();
    }

    // 3. The audio delay.
    REFERENCE_TIME start = 0, stop = 0;
    const HRESULT timeResult = sample->GetTime(&start, &stop);
    const bool timed = SUCCEEDED(timeResult);
    if (DelayEnabled && timed) {
        const int64_t delay = DelayTime(Delay);
        start += delay;
        stop += delay;
        sample->SetTime(&start, timeResult == VFW_S_NO_STOP_TIME ? nullptr : &stop);
    }

    // 4. and 5. The ring's time base.
    const int64_t sampleDuration = FRing.SampleDuration(length);
    if (!FDVD && timed)
        FRing.NoteSampleStart(start, sampleDuration);

    // 6.
    TDSStream current;
    {
        std::lock_guard lock(FStreamLock);
        FStream.Size = static_cast<int32_t>(length);
        current = FStream;
    }

    // 7. The callback and the processing chain, for PCM only.
    if (!current.SPDIF && !current.DTS) {
        WithCallBack([&](IPvlSPFilterPCMCallBack* callBack) {
            int32_t newSize = static_cast<int32_t>(length);
            callBack->PCMDataCallBack(buffer, static_cast<int32_t>(length), &newSize, &FStream);
            if (newSize != length)
                newSize = ClampNewSize(newSize, static_cast<int32_t>(sample->GetSize()), FrameBytes(current));
            if (newSize != length) {
                length = newSize;
                sample->SetActualDataLength(length);
            }
        });
        FChain.ProcessBlock(buffer, static_cast<int32_t>(length), current.Frequency, current.Bits, current.Channels, current.Float);
        sample->SetActualDataLength(length);
    }

    // 8. A changed length changes the sample's end.
    if (length != originalLength) {
        const int64_t duration = BlockDuration(length, current);
        REFERENCE_TIME mediaStart = 0, mediaStop = 0;
        if (sample->GetMediaTime(&mediaStart, &mediaStop) == S_OK) {
            mediaStop = mediaStart + duration;
            sample->SetMediaTime(&mediaStart, &mediaStop);
        }
        if (timed) {
            stop = start + duration;
            sample->SetTime(&start, &stop);
        }
    }

    // 9.
    sample->SetSyncPoint(TRUE);

    // 10. The visual ring.
    current.Size = static_cast<int32_t>(length);
    FRing.Write(buffer, length, current);
    return S_OK;
}

HRESULT TPvlSPFilter::GetVisualData(void** buffer, int32_t* size, PDSStream* stream)
{
    if (!buffer || !size || !stream)
        return E_POINTER;
    std::lock_guard lock(FVisualLock);
    FVisualStream = FRing.Latest();
    *stream = &FVisualStream;
    *buffer = nullptr;
    *size = 0;
    if (FFormatChanging || FFlushing || !FRunning)
        return S_FALSE;
    REFERENCE_TIME now = 0;
    if (FAILED(StreamTime(now)) || !FRing.LookupPlaying(now, FDVD, FVisualBlock))
        return S_FALSE;
    *buffer = FVisualBlock.data();
    *size = static_cast<int32_t>(FVisualBlock.size());
    return S_OK;
}
