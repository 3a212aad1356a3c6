#pragma once
// A transform that works on the samples as they pass: the output carries the input's type
// and, when both neighbours agree, the very buffers of the input's allocator. When they do
// not (or the upstream buffers are read-only and the filter writes), each sample is copied
// into a buffer of the output's own allocator first.
#include "dshow/BCTransform.h"

#include <atomic>

class TBCTransInPlaceFilter;

class TBCTransInPlaceInputPin : public TBCTransformInputPin {
public:
    explicit TBCTransInPlaceInputPin(TBCTransInPlaceFilter* filter);

    HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator** allocator) override;
    HRESULT STDMETHODCALLTYPE NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override;
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;

    // The filter's input type, which the downstream pin must also take while connected.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT CompleteConnect(IPin* peer) override;

private:
    TBCTransInPlaceFilter* FInPlace;
};

class TBCTransInPlaceOutputPin : public TBCTransformOutputPin {
public:
    explicit TBCTransInPlaceOutputPin(TBCTransInPlaceFilter* filter);

    // Exactly the input's type.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT GetMediaType(int position, TBCMediaType& type) override;
    // The input's allocator when the downstream pin takes it.
    HRESULT DecideAllocator(IMemInputPin* peer, IMemAllocator** allocator) override;
    // Shares an allocator the upstream pin chose after this pin connected.
    void UseAllocator(IMemAllocator* allocator) { FAllocator = allocator; }

private:
    TBCTransInPlaceFilter* FInPlace;
};

class TBCTransInPlaceFilter : public TBCTransformFilter {
public:
    // modifiesData: the transform writes into the samples, so read-only buffers are copied.
    TBCTransInPlaceFilter(const wchar_t* name, IUnknown* outer, REFCLSID clsid, bool modifiesData = true);

    // Works on the sample in place; S_FALSE drops it.
    virtual HRESULT Transform(IMediaSample* sample) = 0;

    HRESULT Receive(IMediaSample* sample) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) override;
    HRESULT GetMediaType(int position, TBCMediaType& type) override;
    // Buffers for the copying case: as many and as large as the input's.
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

    bool ModifiesData() const { return FModifiesData; }
    // True when samples are copied on their way through.
    bool UsingDifferentAllocators();
    // The output type changed with a reconnection of the input: the next sample says so.
    void MarkOutputTypeChanged() { FOutputTypeChanged = true; }

protected:
    std::unique_ptr<TBCTransformInputPin> MakeInputPin() override;
    std::unique_ptr<TBCTransformOutputPin> MakeOutputPin() override;
    TBCTransInPlaceInputPin* InPlaceInput() { return static_cast<TBCTransInPlaceInputPin*>(InputPin()); }
    TBCTransInPlaceOutputPin* InPlaceOutput() { return static_cast<TBCTransInPlaceOutputPin*>(OutputPin()); }
    // A buffer of the output's allocator holding the sample's data, times, flags and type.
    HRESULT CopySample(IMediaSample* source, IMediaSample** copy);

private:
    // The copying form of Transform has no use here.
    using TBCTransformFilter::Transform;
    bool FModifiesData;
    std::atomic<bool> FOutputTypeChanged{false};
};
