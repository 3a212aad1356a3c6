#include "dshow/BCTransInPlace.h"

#include <algorithm>
#include <cstring>

namespace {
using TLock = std::lock_guard<std::recursive_mutex>;
}

// ---- TBCTransInPlaceInputPin

TBCTransInPlaceInputPin::TBCTransInPlaceInputPin(TBCTransInPlaceFilter* filter)
    : TBCTransformInputPin(filter, L"Input"), FInPlace(filter)
{
}

HRESULT STDMETHODCALLTYPE TBCTransInPlaceInputPin::GetAllocator(IMemAllocator** allocator)
{
    if (!allocator)
        return E_POINTER;
    TLock lock(FLock);
    // With the output connected, the upstream filter may as well fill the downstream buffers.
    IMemInputPin* downstream = FTransform->OutputPin()->PeerInput();
    if (downstream && SUCCEEDED(downstream->GetAllocator(allocator)))
        return S_OK;
    return TBCTransformInputPin::GetAllocator(allocator);
}

HRESULT STDMETHODCALLTYPE TBCTransInPlaceInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly)
{
    TLock lock(FLock);
    const HRESULT hr = TBCTransformInputPin::NotifyAllocator(allocator, readOnly);
    if (FAILED(hr))
        return hr;
    TBCTransInPlaceOutputPin* output = static_cast<TBCTransInPlaceOutputPin*>(FTransform->OutputPin());
    IMemInputPin* downstream = output->PeerInput();
    if (!downstream || output->Allocator() == allocator)
        return S_OK;
    // Share the new allocator downstream when we may write into its buffers; otherwise the
    // output keeps its own and samples are copied.
    if (!(readOnly && FInPlace->ModifiesData()) && SUCCEEDED(downstream->NotifyAllocator(allocator, readOnly)))
        output->UseAllocator(allocator);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TBCTransInPlaceInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties)
{
    IMemInputPin* downstream = FTransform->OutputPin()->PeerInput();
    return downstream ? downstream->GetAllocatorRequirements(properties) : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TBCTransInPlaceInputPin::Receive(IMediaSample* sample)
{
    TLock streaming(FTransform->StreamingLock());
    const HRESULT hr = AcceptSample(sample);
    if (hr != S_OK)
        return hr;
    // A new type on a sample is the output's new type as well.
    AM_MEDIA_TYPE* type = nullptr;
    if (sample->GetMediaType(&type) == S_OK && type) {
        FTransform->OutputPin()->TBCBasePin::SetMediaType(type);
        TBCMediaType::DeleteTaskCopy(type);
    }
    return FTransform->Receive(sample);
}

HRESULT TBCTransInPlaceInputPin::CheckMediaType(const AM_MEDIA_TYPE* type)
{
    const HRESULT hr = FTransform->CheckInputType(type);
    if (hr != S_OK)
        return hr;
    IPin* downstream = FTransform->OutputPin()->GetConnected();
    if (downstream && downstream->QueryAccept(type) != S_OK)
        return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT TBCTransInPlaceInputPin::CompleteConnect(IPin* peer)
{
    const HRESULT hr = TBCTransformInputPin::CompleteConnect(peer);
    if (FAILED(hr))
        return hr;
    TBCTransformOutputPin* output = FTransform->OutputPin();
    if (output->IsConnected()) {
        const TBCMediaType type = CurrentMediaType();
        if (!output->CurrentMediaType().Equals(*type.Get())) {
            output->TBCBasePin::SetMediaType(type.Get());
            FInPlace->MarkOutputTypeChanged();
        }
    }
    return S_OK;
}

// ---- TBCTransInPlaceOutputPin

TBCTransInPlaceOutputPin::TBCTransInPlaceOutputPin(TBCTransInPlaceFilter* filter)
    : TBCTransformOutputPin(filter, L"Output"), FInPlace(filter)
{
}

HRESULT TBCTransInPlaceOutputPin::CheckMediaType(const AM_MEDIA_TYPE* type)
{
    TBCTransformInputPin* input = FTransform->InputPin();
    if (!input->IsConnected())
        return VFW_E_NOT_CONNECTED;
    const TBCMediaType inputType = input->CurrentMediaType();
    if (!inputType.Equals(*type))
        return VFW_E_TYPE_NOT_ACCEPTED;
    return FTransform->CheckTransform(inputType.Get(), type);
}

HRESULT TBCTransInPlaceOutputPin::GetMediaType(int position, TBCMediaType& type)
{
    if (position < 0)
        return E_INVALIDARG;
    TBCTransformInputPin* input = FTransform->InputPin();
    if (position > 0 || !input->IsConnected())
        return VFW_S_NO_MORE_ITEMS;
    type = input->CurrentMediaType();
    return S_OK;
}

HRESULT TBCTransInPlaceOutputPin::DecideAllocator(IMemInputPin* peer, IMemAllocator** allocator)
{
    *allocator = nullptr;
    TBCTransformInputPin* input = FTransform->InputPin();
    IMemAllocator* shared = input->Allocator();
    const bool readOnly = input->ReadOnly();
    if (input->IsConnected() && shared && !(readOnly && FInPlace->ModifiesData())
        && SUCCEEDED(peer->NotifyAllocator(shared, readOnly))) {
        *allocator = shared;
        shared->AddRef();
        return S_OK;
    }
    return TBCTransformOutputPin::DecideAllocator(peer, allocator);
}

// ---- TBCTransInPlaceFilter

TBCTransInPlaceFilter::TBCTransInPlaceFilter(const wchar_t* name, IUnknown* outer, REFCLSID clsid, bool modifiesData)
    : TBCTransformFilter(name, outer, clsid), FModifiesData(modifiesData)
{
}

std::unique_ptr<TBCTransformInputPin> TBCTransInPlaceFilter::MakeInputPin()
{
    return std::make_unique<TBCTransInPlaceInputPin>(this);
}

std::unique_ptr<TBCTransformOutputPin> TBCTransInPlaceFilter::MakeOutputPin()
{
    return std::make_unique<TBCTransInPlaceOutputPin>(this);
}

HRESULT TBCTransInPlaceFilter::CheckTransform(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output)
{
    return S_OK;
}

HRESULT TBCTransInPlaceFilter::GetMediaType(int position, TBCMediaType& type)
{
    return InPlaceOutput()->GetMediaType(position, type);
}

HRESULT TBCTransInPlaceFilter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    if (!allocator || !request)
        return E_POINTER;
    TBCTransformInputPin* input = InputPin();
    if (!input->IsConnected())
        return E_UNEXPECTED;
    ALLOCATOR_PROPERTIES wanted = *request;
    ALLOCATOR_PROPERTIES upstream{};
    if (input->Allocator() && SUCCEEDED(input->Allocator()->GetProperties(&upstream))) {
        wanted.cBuffers = std::max(wanted.cBuffers, upstream.cBuffers);
        wanted.cbBuffer = std::max(wanted.cbBuffer, upstream.cbBuffer);
        wanted.cbAlign = std::max(wanted.cbAlign, upstream.cbAlign);
    }
    const TBCMediaType type = input->CurrentMediaType();
    wanted.cBuffers = std::max(wanted.cBuffers, 1L);
    wanted.cbBuffer = std::max<long>(wanted.cbBuffer, static_cast<long>(type->lSampleSize));
    wanted.cbBuffer = std::max(wanted.cbBuffer, 1L);
    wanted.cbAlign = std::max(wanted.cbAlign, 1L);
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = allocator->SetProperties(&wanted, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cBuffers < wanted.cBuffers || actual.cbBuffer < wanted.cbBuffer ? E_FAIL : S_OK;
}

bool TBCTransInPlaceFilter::UsingDifferentAllocators()
{
    return InputPin()->Allocator() != OutputPin()->Allocator();
}

HRESULT TBCTransInPlaceFilter::CopySample(IMediaSample* source, IMediaSample** copy)
{
    *copy = nullptr;
    REFERENCE_TIME start = 0, stop = 0;
    const bool timed = SUCCEEDED(source->GetTime(&start, &stop));
    ComPtr<IMediaSample> target;
    HRESULT hr = OutputPin()->GetDeliveryBuffer(&target, timed ? &start : nullptr, timed ? &stop : nullptr, 0);
    if (FAILED(hr))
        return hr;
    const long length = source->GetActualDataLength();
    if (length < 0 || length > target->GetSize())
        return VFW_E_BUFFER_OVERFLOW;
    BYTE* from = nullptr;
    BYTE* to = nullptr;
    if (FAILED(hr = source->GetPointer(&from)) || FAILED(hr = target->GetPointer(&to)))
        return hr;
    if (length > 0)
        std::memcpy(to, from, static_cast<size_t>(length));
    target->SetActualDataLength(length);
    target->SetTime(timed ? &start : nullptr, timed ? &stop : nullptr);
    REFERENCE_TIME mediaStart = 0, mediaStop = 0;
    if (source->GetMediaTime(&mediaStart, &mediaStop) == S_OK)
        target->SetMediaTime(&mediaStart, &mediaStop);
    else
        target->SetMediaTime(nullptr, nullptr);
    target->SetSyncPoint(source->IsSyncPoint() == S_OK);
    target->SetDiscontinuity(source->IsDiscontinuity() == S_OK);
    target->SetPreroll(source->IsPreroll() == S_OK);
    AM_MEDIA_TYPE* type = nullptr;
    if (source->GetMediaType(&type) == S_OK && type) {
        target->SetMediaType(type);
        TBCMediaType::DeleteTaskCopy(type);
    }
    *copy = target.Detach();
    return S_OK;
}

HRESULT TBCTransInPlaceFilter::Receive(IMediaSample* sample)
{
    TBCTransformOutputPin* output = OutputPin();
    if (!output->IsConnected())
        return VFW_E_NOT_CONNECTED;
    ComPtr<IMediaSample> work = sample;
    HRESULT hr = S_OK;
    if (UsingDifferentAllocators()) {
        work.Reset();
        hr = CopySample(sample, &work);
        if (hr == VFW_E_BUFFER_OVERFLOW)
            AbortStream(hr);
        if (FAILED(hr))
            return hr;
    }
    hr = Transform(work.Get());
    if (FAILED(hr)) {
        AbortStream(hr);
        return hr;
    }
    if (hr == S_FALSE)
        return S_OK;
    if (FOutputTypeChanged.exchange(false)) {
        const TBCMediaType type = output->CurrentMediaType();
        work->SetMediaType(const_cast<AM_MEDIA_TYPE*>(type.Get()));
    }
    return output->Deliver(work.Get());
}
