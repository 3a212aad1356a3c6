#pragma once
// A filter with one input and one output pin that turns each input sample into an output
// sample. Derived filters decide the types, the buffers and the transform itself.
#include "dshow/BCFilter.h"
#include "dshow/BCPosPassThru.h"

#include <memory>

class TBCTransformFilter;

// What both pins of a transform hand on to their filter, with their direction.
template <class Base, PIN_DIRECTION Direction>
class TBCTransformPin : public Base {
public:
    TBCTransformPin(TBCTransformFilter* filter, const wchar_t* name);

    HRESULT SetMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT CheckConnect(IPin* peer) override;
    HRESULT CompleteConnect(IPin* peer) override;
    HRESULT BreakConnect() override;

protected:
    TBCTransformFilter* FTransform;
};

class TBCTransformInputPin : public TBCTransformPin<TBCBaseInputPin, PINDIR_INPUT> {
public:
    TBCTransformInputPin(TBCTransformFilter* filter, const wchar_t* name);

    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
    HRESULT STDMETHODCALLTYPE EndOfStream() override;
    HRESULT STDMETHODCALLTYPE BeginFlush() override;
    HRESULT STDMETHODCALLTYPE EndFlush() override;
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;
    HRESULT STDMETHODCALLTYPE ReceiveCanBlock() override;

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;

protected:
    // The stream's checks before the filter sees a sample; a refused format ends the stream.
    HRESULT AcceptSample(IMediaSample* sample);
};

class TBCTransformOutputPin : public TBCTransformPin<TBCBaseOutputPin, PINDIR_OUTPUT> {
public:
    TBCTransformOutputPin(TBCTransformFilter* filter, const wchar_t* name);

    // Seeking goes on upstream.
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT GetMediaType(int position, TBCMediaType& type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

private:
    TBCPosPassThru FSeeking;
};

class TBCTransformFilter : public TBCBaseFilter {
public:
    TBCTransformFilter(const wchar_t* name, IUnknown* outer, REFCLSID clsid);
    ~TBCTransformFilter() override;

    int GetPinCount() override { return 2; }
    TBCBasePin* GetPin(int index) override;
    TBCTransformInputPin* InputPin();
    TBCTransformOutputPin* OutputPin();

    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;

    // What a transform decides. CheckInputType and CheckTransform answer S_OK for types
    // they take; GetMediaType lists the output types (VFW_S_NO_MORE_ITEMS past the last).
    virtual HRESULT CheckInputType(const AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT CheckTransform(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) = 0;
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) = 0;
    virtual HRESULT GetMediaType(int position, TBCMediaType& type) = 0;
    // Fills `output` from `input`; S_FALSE drops the sample.
    virtual HRESULT Transform(IMediaSample* input, IMediaSample* output);

    // Hooks around states and connections, each with the pin's direction.
    virtual HRESULT StartStreaming() { return S_OK; }
    virtual HRESULT StopStreaming() { return S_OK; }
    virtual HRESULT SetMediaType(PIN_DIRECTION direction, const AM_MEDIA_TYPE* type) { return S_OK; }
    virtual HRESULT CheckConnect(PIN_DIRECTION direction, IPin* peer) { return S_OK; }
    virtual HRESULT CompleteConnect(PIN_DIRECTION direction, IPin* peer) { return S_OK; }
    virtual HRESULT BreakConnect(PIN_DIRECTION direction) { return S_OK; }

    // The stream as the input pin passes it on (Receive and EndOfStream under the
    // streaming lock, the flush calls under the filter lock).
    virtual HRESULT Receive(IMediaSample* sample);
    virtual HRESULT EndOfStream();
    virtual HRESULT BeginFlush();
    virtual HRESULT EndFlush();
    virtual HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

    // Serialises the streaming thread with Stop and the end of a flush.
    std::recursive_mutex& StreamingLock() { return FReceiveLock; }
    // A sample the filter cannot handle ends the stream with an error event.
    void AbortStream(HRESULT hr);

protected:
    virtual std::unique_ptr<TBCTransformInputPin> MakeInputPin();
    virtual std::unique_ptr<TBCTransformOutputPin> MakeOutputPin();
    // An output buffer carrying the input sample's times and flags.
    HRESULT InitializeOutputSample(IMediaSample* input, IMediaSample** output);

    std::recursive_mutex FReceiveLock;
    bool FEndOfStreamDelivered = false;

private:
    bool EnsurePins();
    std::unique_ptr<TBCTransformInputPin> FInput;
    std::unique_ptr<TBCTransformOutputPin> FOutput;
};

template <class Base, PIN_DIRECTION Direction>
TBCTransformPin<Base, Direction>::TBCTransformPin(TBCTransformFilter* filter, const wchar_t* name) : Base(filter, name), FTransform(filter)
{
}

template <class Base, PIN_DIRECTION Direction>
HRESULT TBCTransformPin<Base, Direction>::SetMediaType(const AM_MEDIA_TYPE* type)
{
    const HRESULT hr = Base::SetMediaType(type);
    return FAILED(hr) ? hr : FTransform->SetMediaType(Direction, type);
}

template <class Base, PIN_DIRECTION Direction>
HRESULT TBCTransformPin<Base, Direction>::CheckConnect(IPin* peer)
{
    const HRESULT hr = Base::CheckConnect(peer);
    return FAILED(hr) ? hr : FTransform->CheckConnect(Direction, peer);
}

template <class Base, PIN_DIRECTION Direction>
HRESULT TBCTransformPin<Base, Direction>::CompleteConnect(IPin* peer)
{
    const HRESULT hr = Base::CompleteConnect(peer);
    return FAILED(hr) ? hr : FTransform->CompleteConnect(Direction, peer);
}

template <class Base, PIN_DIRECTION Direction>
HRESULT TBCTransformPin<Base, Direction>::BreakConnect()
{
    FTransform->BreakConnect(Direction);
    return Base::BreakConnect();
}
