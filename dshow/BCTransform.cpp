#include "dshow/BCTransform.h"

namespace {
using TLock = std::lock_guard<std::recursive_mutex>;
}

// ---- TBCTransformInputPin

TBCTransformInputPin::TBCTransformInputPin(TBCTransformFilter* filter, const wchar_t* name) : TBCTransformPin(filter, name)
{
}

HRESULT TBCTransformInputPin::AcceptSample(IMediaSample* sample)
{
    if (!sample)
        return E_POINTER;
    HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    hr = CheckSampleType(sample);
    if (FAILED(hr))
        FTransform->AbortStream(hr);
    return hr;
}

HRESULT STDMETHODCALLTYPE TBCTransformInputPin::Receive(IMediaSample* sample)
{
    TLock streaming(FTransform->StreamingLock());
    const HRESULT hr = AcceptSample(sample);
    if (hr != S_OK)
        return hr;
    return FTransform->Receive(sample);
}

HRESULT STDMETHODCALLTYPE TBCTransformInputPin::EndOfStream()
{
    TLock streaming(FTransform->StreamingLock());
    const HRESULT hr = TBCBaseInputPin::EndOfStream();
    if (hr != S_OK)
        return hr;
    return FTransform->EndOfStream();
}

HRESULT STDMETHODCALLTYPE TBCTransformInputPin::BeginFlush()
{
    TLock lock(FLock);
    if (!IsConnected() || !FTransform->OutputPin()->IsConnected())
        return VFW_E_NOT_CONNECTED;
    TBCBaseInputPin::BeginFlush();
    return FTransform->BeginFlush();
}

HRESULT STDMETHODCALLTYPE TBCTransformInputPin::EndFlush()
{
    TLock lock(FLock);
    if (!IsConnected() || !FTransform->OutputPin()->IsConnected())
        return VFW_E_NOT_CONNECTED;
    {
        // No sample from before the flush may still be on its way.
        TLock streaming(FTransform->StreamingLock());
    }
    const HRESULT hr = FTransform->EndFlush();
    TBCBaseInputPin::EndFlush();
    return hr;
}

HRESULT STDMETHODCALLTYPE TBCTransformInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    TBCBaseInputPin::NewSegment(start, stop, rate);
    return FTransform->NewSegment(start, stop, rate);
}

HRESULT STDMETHODCALLTYPE TBCTransformInputPin::ReceiveCanBlock()
{
    IMemInputPin* downstream = FTransform->OutputPin()->PeerInput();
    return downstream ? downstream->ReceiveCanBlock() : S_FALSE;
}

HRESULT TBCTransformInputPin::CheckMediaType(const AM_MEDIA_TYPE* type)
{
    return FTransform->CheckInputType(type);
}

// ---- TBCTransformOutputPin

TBCTransformOutputPin::TBCTransformOutputPin(TBCTransformFilter* filter, const wchar_t* name)
    : TBCTransformPin(filter, name), FSeeking(static_cast<IPin*>(this), filter->InputPin())
{
}

HRESULT TBCTransformOutputPin::NonDelegatingQueryInterface(REFIID iid, void** object)
{
    if (iid == IID_IMediaSeeking)
        return TBCUnknown::GetInterface(static_cast<IMediaSeeking*>(&FSeeking), object);
    return TBCBaseOutputPin::NonDelegatingQueryInterface(iid, object);
}

HRESULT TBCTransformOutputPin::CheckMediaType(const AM_MEDIA_TYPE* type)
{
    TBCTransformInputPin* input = FTransform->InputPin();
    if (!input->IsConnected())
        return VFW_E_NOT_CONNECTED;
    const TBCMediaType inputType = input->CurrentMediaType();
    return FTransform->CheckTransform(inputType.Get(), type);
}

HRESULT TBCTransformOutputPin::GetMediaType(int position, TBCMediaType& type)
{
    if (position < 0)
        return E_INVALIDARG;
    if (!FTransform->InputPin()->IsConnected())
        return VFW_S_NO_MORE_ITEMS;
    return FTransform->GetMediaType(position, type);
}

HRESULT TBCTransformOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    return FTransform->DecideBufferSize(allocator, request);
}

// ---- TBCTransformFilter

TBCTransformFilter::TBCTransformFilter(const wchar_t* name, IUnknown* outer, REFCLSID clsid) : TBCBaseFilter(name, outer, clsid)
{
}

TBCTransformFilter::~TBCTransformFilter() = default;

std::unique_ptr<TBCTransformInputPin> TBCTransformFilter::MakeInputPin()
{
    return std::make_unique<TBCTransformInputPin>(this, L"Input");
}

std::unique_ptr<TBCTransformOutputPin> TBCTransformFilter::MakeOutputPin()
{
    return std::make_unique<TBCTransformOutputPin>(this, L"Output");
}

bool TBCTransformFilter::EnsurePins()
{
    TLock lock(FLock);
    if (FInput && FOutput)
        return true;
    // Made on first use: the derived class chooses its pins through virtual calls.
    try {
        if (!FInput)
            FInput = MakeInputPin();
        if (!FOutput)
            FOutput = MakeOutputPin();
    } catch (...) {
        return false;
    }
    return FInput && FOutput;
}

TBCBasePin* TBCTransformFilter::GetPin(int index)
{
    if (!EnsurePins())
        return nullptr;
    if (index == 0)
        return FInput.get();
    if (index == 1)
        return FOutput.get();
    return nullptr;
}

TBCTransformInputPin* TBCTransformFilter::InputPin()
{
    // The output pin's constructor asks for the input pin, which exists by then.
    if (!FInput)
        EnsurePins();
    return FInput.get();
}

TBCTransformOutputPin* TBCTransformFilter::OutputPin()
{
    if (!FOutput)
        EnsurePins();
    return FOutput.get();
}

HRESULT STDMETHODCALLTYPE TBCTransformFilter::Stop()
{
    TLock lock(FLock);
    if (FState == State_Stopped)
        return S_OK;
    if (!EnsurePins())
        return E_OUTOFMEMORY;
    // Stopped first, so that new samples are refused while the one in progress ends.
    FState = State_Stopped;
    if (FInput->IsConnected())
        FInput->Inactive();
    HRESULT hr = S_OK;
    {
        TLock streaming(FReceiveLock);
        if (FOutput->IsConnected())
            FOutput->Inactive();
        hr = StopStreaming();
    }
    FEndOfStreamDelivered = false;
    return hr;
}

HRESULT STDMETHODCALLTYPE TBCTransformFilter::Pause()
{
    TLock lock(FLock);
    if (FState != State_Stopped)
        return TBCBaseFilter::Pause();
    if (!EnsurePins())
        return E_OUTOFMEMORY;
    HRESULT hr = StartStreaming();
    if (FAILED(hr))
        return hr;
    hr = TBCBaseFilter::Pause();
    if (FAILED(hr)) {
        StopStreaming();
        return hr;
    }
    // Nothing will ever arrive on an unconnected input: the stream downstream ends now.
    if (!FInput->IsConnected() && FOutput->IsConnected() && !FEndOfStreamDelivered) {
        FOutput->DeliverEndOfStream();
        FEndOfStreamDelivered = true;
    }
    return S_OK;
}

HRESULT TBCTransformFilter::Transform(IMediaSample* input, IMediaSample* output)
{
    return E_UNEXPECTED;
}

HRESULT TBCTransformFilter::InitializeOutputSample(IMediaSample* input, IMediaSample** output)
{
    *output = nullptr;
    if (!FOutput->IsConnected())
        return VFW_E_NOT_CONNECTED;
    REFERENCE_TIME start = 0, stop = 0;
    const bool timed = SUCCEEDED(input->GetTime(&start, &stop));
    const bool syncPoint = input->IsSyncPoint() == S_OK;
    HRESULT hr = FOutput->GetDeliveryBuffer(output, timed ? &start : nullptr, timed ? &stop : nullptr, syncPoint ? 0 : AM_GBF_NOTASYNCPOINT);
    if (FAILED(hr))
        return hr;
    IMediaSample* sample = *output;
    sample->SetTime(timed ? &start : nullptr, timed ? &stop : nullptr);
    REFERENCE_TIME mediaStart = 0, mediaStop = 0;
    if (input->GetMediaTime(&mediaStart, &mediaStop) == S_OK)
        sample->SetMediaTime(&mediaStart, &mediaStop);
    else
        sample->SetMediaTime(nullptr, nullptr);
    sample->SetSyncPoint(syncPoint);
    sample->SetDiscontinuity(input->IsDiscontinuity() == S_OK);
    sample->SetPreroll(input->IsPreroll() == S_OK);
    return S_OK;
}

void TBCTransformFilter::AbortStream(HRESULT hr)
{
    NotifyEvent(EC_ERRORABORT, hr, 0);
}

HRESULT TBCTransformFilter::Receive(IMediaSample* sample)
{
    ComPtr<IMediaSample> output;
    HRESULT hr = InitializeOutputSample(sample, &output);
    if (FAILED(hr))
        return hr;
    hr = Transform(sample, output.Get());
    if (FAILED(hr)) {
        AbortStream(hr);
        return hr;
    }
    if (hr == S_FALSE)
        return S_OK;
    return FOutput->Deliver(output.Get());
}

HRESULT TBCTransformFilter::EndOfStream()
{
    if (!FOutput->IsConnected())
        return S_OK;
    FEndOfStreamDelivered = true;
    return FOutput->DeliverEndOfStream();
}

HRESULT TBCTransformFilter::BeginFlush()
{
    return FOutput->IsConnected() ? FOutput->DeliverBeginFlush() : S_OK;
}

HRESULT TBCTransformFilter::EndFlush()
{
    return FOutput->IsConnected() ? FOutput->DeliverEndFlush() : S_OK;
}

HRESULT TBCTransformFilter::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    return FOutput->IsConnected() ? FOutput->DeliverNewSegment(start, stop, rate) : S_OK;
}
