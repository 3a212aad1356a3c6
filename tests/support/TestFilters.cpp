#include "tests/support/TestFilters.h"

#include <mmreg.h>

#include <cstring>

namespace pvltest {

// {6B1C5A9E-2D1E-4C55-9F0A-3E2B7C1D4A01}, {6B1C5A9E-2D1E-4C55-9F0A-3E2B7C1D4A02}
static const CLSID CLSID_TestSource = {0x6b1c5a9e, 0x2d1e, 0x4c55, {0x9f, 0x0a, 0x3e, 0x2b, 0x7c, 0x1d, 0x4a, 0x01}};
static const CLSID CLSID_TestSink = {0x6b1c5a9e, 0x2d1e, 0x4c55, {0x9f, 0x0a, 0x3e, 0x2b, 0x7c, 0x1d, 0x4a, 0x02}};

// ---- TTestSource

class TTestSource::TPin : public TBCBaseOutputPin {
public:
    explicit TPin(TTestSource* source) : TBCBaseOutputPin(source, L"Out"), FSource(source) {}

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override
    {
        return FSource->FType.Equals(*type) ? S_OK : S_FALSE;
    }
    HRESULT GetMediaType(int position, TBCMediaType& type) override
    {
        if (position != 0)
            return VFW_S_NO_MORE_ITEMS;
        type = FSource->FType;
        return S_OK;
    }
    HRESULT DecideAllocator(IMemInputPin* peer, IMemAllocator** allocator) override
    {
        HRESULT hr = peer->GetAllocator(allocator);
        if (FAILED(hr))
            hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                  reinterpret_cast<void**>(allocator));
        if (FAILED(hr))
            return hr;
        ALLOCATOR_PROPERTIES request{};
        hr = DecideBufferSize(*allocator, &request);
        if (SUCCEEDED(hr))
            hr = peer->NotifyAllocator(*allocator, FSource->FOptions.ReadOnly);
        if (FAILED(hr)) {
            (*allocator)->Release();
            *allocator = nullptr;
        }
        return hr;
    }
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override
    {
        ALLOCATOR_PROPERTIES wanted{FSource->FOptions.BufferCount, FSource->FOptions.BufferSize, 1, 0};
        ALLOCATOR_PROPERTIES actual{};
        return allocator->SetProperties(&wanted, &actual);
    }
    HRESULT Active() override
    {
        const HRESULT hr = TBCBaseOutputPin::Active();
        if (SUCCEEDED(hr) && !FSource->FOptions.Manual)
            FSource->FThread = std::thread([this] { FSource->Push(); });
        return hr;
    }
    HRESULT Inactive() override
    {
        FSource->FQuit = true;
        TBCBaseOutputPin::Inactive();  // a thread waiting for a buffer gets its answer
        if (FSource->FThread.joinable())
            FSource->FThread.join();
        FSource->FQuit = false;
        return S_OK;
    }

private:
    TTestSource* FSource;
};

TTestSource::TTestSource(const AM_MEDIA_TYPE& type, std::vector<TTestSample> samples, TTestSourceOptions options)
    : TBCBaseFilter(L"Test source", nullptr, options.ClassId == GUID_NULL ? CLSID_TestSource : options.ClassId), FType(type), FSamples(std::move(samples)),
      FOptions(options), FPin(std::make_unique<TPin>(this))
{
}

TTestSource::~TTestSource()
{
    FQuit = true;
    if (FThread.joinable())
        FThread.join();
}

TBCBasePin* TTestSource::GetPin(int index)
{
    return index == 0 ? FPin.get() : nullptr;
}

IPin* TTestSource::OutputPin()
{
    return FPin.get();
}

HRESULT TTestSource::Send(const TTestSample& wanted)
{
    ComPtr<IMediaSample> sample;
    HRESULT hr = FPin->GetDeliveryBuffer(&sample, nullptr, nullptr, 0);
    if (FAILED(hr))
        return hr;
    BYTE* buffer = nullptr;
    sample->GetPointer(&buffer);
    const long size = std::min<long>(sample->GetSize(), static_cast<long>(wanted.Data.size()));
    std::memcpy(buffer, wanted.Data.data(), static_cast<size_t>(size));
    sample->SetActualDataLength(size);
    REFERENCE_TIME start = wanted.Start, stop = wanted.Stop;
    sample->SetTime(wanted.Timed ? &start : nullptr, wanted.Timed ? &stop : nullptr);
    LONGLONG mediaStart = wanted.MediaStart, mediaStop = wanted.MediaStop;
    sample->SetMediaTime(wanted.MediaTimed ? &mediaStart : nullptr, wanted.MediaTimed ? &mediaStop : nullptr);
    sample->SetDiscontinuity(wanted.Discontinuity);
    sample->SetSyncPoint(TRUE);
    if (wanted.NewType)
        sample->SetMediaType(const_cast<AM_MEDIA_TYPE*>(wanted.NewType->Get()));
    hr = FPin->Deliver(sample.Get());
    std::lock_guard<std::mutex> lock(FRecordLock);
    FResults.push_back(hr);
    FBuffers.push_back(buffer);
    FAfter.emplace_back(buffer, buffer + size);
    return hr;
}

HRESULT TTestSource::SendEndOfStream()
{
    return FPin->DeliverEndOfStream();
}

HRESULT TTestSource::SendBeginFlush()
{
    return FPin->DeliverBeginFlush();
}

HRESULT TTestSource::SendEndFlush()
{
    return FPin->DeliverEndFlush();
}

void TTestSource::Push()
{
    try {
        for (const TTestSample& sample : FSamples) {
            if (FQuit || Send(sample) != S_OK)
                break;
        }
        if (!FQuit)
            FPin->DeliverEndOfStream();
    } catch (...) {
        // A test thread ends quietly; the test sees the missing samples.
    }
    FDone = true;
}

bool TTestSource::WaitDone(DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!FDone && GetTickCount() - start < timeoutMs)
        Sleep(5);
    return FDone;
}

std::vector<HRESULT> TTestSource::DeliverResults()
{
    std::lock_guard<std::mutex> lock(FRecordLock);
    return FResults;
}

std::vector<const BYTE*> TTestSource::DeliveredBuffers()
{
    std::lock_guard<std::mutex> lock(FRecordLock);
    return FBuffers;
}

std::vector<std::vector<uint8_t>> TTestSource::DataAfterDeliver()
{
    std::lock_guard<std::mutex> lock(FRecordLock);
    return FAfter;
}

// ---- TTestSink

class TTestSink::TPin : public TBCBaseInputPin {
public:
    TPin(TTestSink* sink, TAccept accept, bool ownAllocatorOnly)
        : TBCBaseInputPin(sink, L"In"), FSink(sink), FAccept(std::move(accept)), FOwnAllocatorOnly(ownAllocatorOnly)
    {
    }

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override
    {
        return !FAccept || FAccept(*type) ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator** allocator) override
    {
        if (FOwnAllocatorOnly && !FOwn) {
            const HRESULT hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&FOwn));
            if (FAILED(hr))
                return hr;
        }
        if (FOwnAllocatorOnly) {
            *allocator = FOwn.Get();
            FOwn->AddRef();
            return S_OK;
        }
        return TBCBaseInputPin::GetAllocator(allocator);
    }
    HRESULT STDMETHODCALLTYPE NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override
    {
        if (FOwnAllocatorOnly && allocator != FOwn.Get())
            return E_FAIL;
        return TBCBaseInputPin::NotifyAllocator(allocator, readOnly);
    }
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override
    {
        const HRESULT hr = TBCBaseInputPin::Receive(sample);
        if (hr != S_OK)
            return hr;
        return ComGuarded([&] {
            TReceivedSample record;
            BYTE* buffer = nullptr;
            sample->GetPointer(&buffer);
            record.Buffer = buffer;
            record.Data.assign(buffer, buffer + sample->GetActualDataLength());
            record.Timed = SUCCEEDED(sample->GetTime(&record.Start, &record.Stop));
            record.MediaTimed = sample->GetMediaTime(&record.MediaStart, &record.MediaStop) == S_OK;
            record.SyncPoint = sample->IsSyncPoint() == S_OK;
            record.Discontinuity = sample->IsDiscontinuity() == S_OK;
            AM_MEDIA_TYPE* type = nullptr;
            if (sample->GetMediaType(&type) == S_OK && type) {
                record.NewType = TBCMediaType(*type);
                TBCMediaType::DeleteTaskCopy(type);
            }
            std::lock_guard<std::mutex> lock(FSink->FRecordLock);
            FSink->FSamples.push_back(std::move(record));
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE EndOfStream() override
    {
        const HRESULT hr = TBCBaseInputPin::EndOfStream();
        if (hr == S_OK) {
            ++FSink->FEndOfStreams;
            // Like a renderer: the stream is complete once it plays.
            std::lock_guard<std::recursive_mutex> lock(FSink->FilterLock());
            if (FSink->State() == State_Running)
                FSink->NotifyComplete();
            else
                FSink->FCompletePending = true;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE BeginFlush() override
    {
        ++FSink->FBeginFlushes;
        return TBCBaseInputPin::BeginFlush();
    }
    HRESULT STDMETHODCALLTYPE EndFlush() override
    {
        ++FSink->FEndFlushes;
        FSink->FCompletePending = false;
        return TBCBaseInputPin::EndFlush();
    }

private:
    TTestSink* FSink;
    TAccept FAccept;
    bool FOwnAllocatorOnly;
    ComPtr<IMemAllocator> FOwn;
};

TTestSink::TTestSink(TAccept accept, bool ownAllocatorOnly)
    : TBCBaseFilter(L"Test sink", nullptr, CLSID_TestSink), FPin(std::make_unique<TPin>(this, std::move(accept), ownAllocatorOnly))
{
}

TTestSink::~TTestSink() = default;

HRESULT STDMETHODCALLTYPE TTestSink::Run(REFERENCE_TIME start)
{
    std::lock_guard<std::recursive_mutex> lock(FLock);
    const HRESULT hr = TBCBaseFilter::Run(start);
    if (SUCCEEDED(hr) && FCompletePending.exchange(false))
        NotifyComplete();
    return hr;
}

HRESULT STDMETHODCALLTYPE TTestSink::Stop()
{
    FCompletePending = false;
    return TBCBaseFilter::Stop();
}

void TTestSink::NotifyComplete()
{
    NotifyEvent(EC_COMPLETE, S_OK, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this)));
}

HRESULT STDMETHODCALLTYPE TTestSink::NonDelegatingQueryInterface(REFIID iid, void** object)
{
    if (iid == IID_IAMFilterMiscFlags)
        return GetInterface(static_cast<IAMFilterMiscFlags*>(this), object);
    return TBCBaseFilter::NonDelegatingQueryInterface(iid, object);
}

TBCBasePin* TTestSink::GetPin(int index)
{
    return index == 0 ? FPin.get() : nullptr;
}

IPin* TTestSink::InputPin()
{
    return FPin.get();
}

IMemAllocator* TTestSink::Allocator()
{
    return FPin->Allocator();
}

std::vector<TReceivedSample> TTestSink::Samples()
{
    std::lock_guard<std::mutex> lock(FRecordLock);
    return FSamples;
}

std::vector<uint8_t> TTestSink::AllData()
{
    std::lock_guard<std::mutex> lock(FRecordLock);
    std::vector<uint8_t> all;
    for (const auto& sample : FSamples)
        all.insert(all.end(), sample.Data.begin(), sample.Data.end());
    return all;
}

// ---- helpers

TTestSample TimedSample(std::vector<uint8_t> data, REFERENCE_TIME start, REFERENCE_TIME stop)
{
    TTestSample sample;
    sample.Data = std::move(data);
    sample.Timed = true;
    sample.Start = start;
    sample.Stop = stop;
    return sample;
}

TBCMediaType AudioType(uint32_t rate, uint16_t channels, uint16_t bits, bool isFloat, uint16_t tag)
{
    TBCMediaType type;
    type->majortype = MEDIATYPE_Audio;
    type->subtype = isFloat ? MEDIASUBTYPE_IEEE_FLOAT : MEDIASUBTYPE_PCM;
    type->formattype = FORMAT_WaveFormatEx;
    type->bFixedSizeSamples = TRUE;
    type->lSampleSize = channels * bits / 8;
    WAVEFORMATEX format{};
    format.wFormatTag = tag ? tag : isFloat ? WAVE_FORMAT_IEEE_FLOAT : WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = rate;
    format.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    format.nAvgBytesPerSec = rate * format.nBlockAlign;
    format.wBitsPerSample = bits;
    type.SetFormat(&format, sizeof format);
    return type;
}

HRESULT AddAndConnect(IGraphBuilder* graph, std::initializer_list<std::pair<IBaseFilter*, const wchar_t*>> chain)
{
    IBaseFilter* previous = nullptr;
    for (const auto& [filter, name] : chain) {
        HRESULT hr = graph->AddFilter(filter, name);
        if (FAILED(hr))
            return hr;
        if (previous) {
            ComPtr<IPin> out = FindPin(previous, PINDIR_OUTPUT);
            ComPtr<IPin> in = FindPin(filter, PINDIR_INPUT);
            if (!out || !in)
                return E_FAIL;
            hr = graph->ConnectDirect(out.Get(), in.Get(), nullptr);
            if (FAILED(hr))
                return hr;
        }
        previous = filter;
    }
    return S_OK;
}

std::vector<long> GraphEvents(IGraphBuilder* graph)
{
    std::vector<long> codes;
    ComPtr<IMediaEvent> events;
    if (FAILED(graph->QueryInterface(IID_PPV_ARGS(&events))))
        return codes;
    long code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    while (events->GetEvent(&code, &p1, &p2, 0) == S_OK) {
        codes.push_back(code);
        events->FreeEventParams(code, p1, p2);
    }
    return codes;
}

}  // namespace pvltest
