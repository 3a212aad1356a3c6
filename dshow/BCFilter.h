#pragma once
// The base of our filters: filter states, the clock and the graph, pins with their
// connection protocol and the memory transport between an output and an input pin.
#include "dshow/BCMediaType.h"
#include "dshow/BCUnknown.h"

#include <atomic>
#include <mutex>
#include <string>

class TBCBasePin;

class TBCBaseFilter : public TBCUnknown, public IBaseFilter {
public:
    TBCBaseFilter(const wchar_t* name, IUnknown* outer, REFCLSID clsid);
    ~TBCBaseFilter() override;

    PVL_DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // IPersist
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    // IMediaFilter
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override;
    HRESULT STDMETHODCALLTYPE GetState(DWORD timeoutMs, FILTER_STATE* state) override;
    HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock* clock) override;
    HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock** clock) override;
    // IBaseFilter
    HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** pins) override;
    HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR id, IPin** pin) override;
    HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO* info) override;
    HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR* info) override;

    virtual int GetPinCount() = 0;
    virtual TBCBasePin* GetPin(int index) = 0;

    // The object's name given at construction; the graph gives another in JoinFilterGraph.
    const std::wstring& ObjectName() const { return FObjectName; }
    FILTER_STATE State() const { return FState.load(); }
    bool IsStopped() const { return FState.load() == State_Stopped; }
    bool IsActive() const { return FState.load() != State_Stopped; }
    // The graph this filter is in, without a reference (the graph holds the filter).
    IFilterGraph* Graph() const { return FGraph; }
    // Current stream time: the clock's time minus the start time of Run.
    HRESULT StreamTime(REFERENCE_TIME& time);
    // Posts an event to the graph; E_NOTIMPL outside a graph.
    HRESULT NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2);
    std::recursive_mutex& FilterLock() { return FLock; }

protected:
    std::recursive_mutex FLock;  // states and connections
    std::atomic<FILTER_STATE> FState{State_Stopped};
    REFERENCE_TIME FStart = 0;

private:
    std::wstring FObjectName;
    std::wstring FGraphName;
    CLSID FClsid;
    ComPtr<IReferenceClock> FClock;
    IFilterGraph* FGraph = nullptr;
    IMediaEventSink* FEventSink = nullptr;  // the graph's, so also without a reference
};

// A pin lives as long as its filter: it counts references on the filter.
class TBCBasePin : public IPin {
public:
    TBCBasePin(TBCBaseFilter* filter, const wchar_t* name, PIN_DIRECTION direction);
    virtual ~TBCBasePin();
    TBCBasePin(const TBCBasePin&) = delete;
    TBCBasePin& operator=(const TBCBasePin&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    virtual HRESULT NonDelegatingQueryInterface(REFIID iid, void** object);

    // IPin
    HRESULT STDMETHODCALLTYPE Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE Disconnect() override;
    HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** pin) override;
    HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override;
    HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* direction) override;
    HRESULT STDMETHODCALLTYPE QueryId(LPWSTR* id) override;
    HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes** types) override;
    HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin** pins, ULONG* count) override;
    HRESULT STDMETHODCALLTYPE EndOfStream() override;
    HRESULT STDMETHODCALLTYPE BeginFlush() override;
    HRESULT STDMETHODCALLTYPE EndFlush() override;
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    // What a pin decides for itself. CheckMediaType answers S_OK for a type it takes.
    virtual HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) = 0;
    // The pin's preferred types by position: S_OK, or VFW_S_NO_MORE_ITEMS past the last.
    virtual HRESULT GetMediaType(int position, TBCMediaType& type);
    virtual HRESULT SetMediaType(const AM_MEDIA_TYPE* type);
    virtual HRESULT CheckConnect(IPin* peer);
    virtual HRESULT CompleteConnect(IPin* peer);
    virtual HRESULT BreakConnect();
    // Called when the filter leaves and enters the stopped state.
    virtual HRESULT Active() { return S_OK; }
    virtual HRESULT Inactive() { return S_OK; }

    bool IsConnected() const { return FConnected != nullptr; }
    IPin* GetConnected() const { return FConnected.Get(); }
    // A copy of the connection's type (safe while another thread changes it).
    TBCMediaType CurrentMediaType() const;
    bool IsFlushing() const { return FFlushing.load(); }
    PIN_DIRECTION Direction() const { return FDirection; }
    const std::wstring& Name() const { return FName; }
    TBCBaseFilter* Filter() const { return FFilter; }

protected:
    // Connections are made only between unconnected pins of stopped filters.
    HRESULT CheckCanConnect() const;
    // Tries the types in turn until the peer takes one.
    HRESULT AgreeMediaType(IPin* receivePin, const AM_MEDIA_TYPE* partial);
    HRESULT TryTypesOf(IPin* receivePin, IEnumMediaTypes* types, const AM_MEDIA_TYPE* partial);
    HRESULT AttemptConnection(IPin* receivePin, const AM_MEDIA_TYPE* type);
    // CheckConnect and CheckMediaType; on a refusal the connection is broken off again.
    HRESULT CheckPeerAndType(IPin* peer, const AM_MEDIA_TYPE* type);
    // Forgets the connection after a failed attempt or a disconnection.
    void DropConnection();

    TBCBaseFilter* FFilter;
    std::recursive_mutex& FLock;  // the filter's
    ComPtr<IPin> FConnected;
    std::atomic<bool> FFlushing{false};
    REFERENCE_TIME FSegmentStart = 0;
    REFERENCE_TIME FSegmentStop = 0;
    double FSegmentRate = 1.0;

private:
    std::wstring FName;
    PIN_DIRECTION FDirection;
    mutable std::mutex FTypeLock;  // the type can change on the streaming thread
    TBCMediaType FMediaType;
};

class TBCBaseInputPin : public TBCBasePin, public IMemInputPin {
public:
    TBCBaseInputPin(TBCBaseFilter* filter, const wchar_t* name);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override { return TBCBasePin::QueryInterface(iid, object); }
    ULONG STDMETHODCALLTYPE AddRef() override { return TBCBasePin::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return TBCBasePin::Release(); }
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // IMemInputPin
    HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator** allocator) override;
    HRESULT STDMETHODCALLTYPE NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override;
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
    HRESULT STDMETHODCALLTYPE ReceiveMultiple(IMediaSample** samples, long count, long* processed) override;
    HRESULT STDMETHODCALLTYPE ReceiveCanBlock() override;

    // The end of a flush also ends an end of stream.
    HRESULT STDMETHODCALLTYPE EndFlush() override;
    HRESULT STDMETHODCALLTYPE EndOfStream() override;

    HRESULT BreakConnect() override;
    HRESULT Inactive() override;

    // S_OK when a sample may be taken now, S_FALSE while flushing, else the reason.
    HRESULT CheckStreaming();
    // Checks a type that arrives with a sample and, when the pin takes it, makes it the
    // connection's type. S_OK also for a sample without a new type.
    HRESULT CheckSampleType(IMediaSample* sample);
    IMemAllocator* Allocator() const { return FAllocator.Get(); }
    bool ReadOnly() const { return FReadOnly; }

protected:
    ComPtr<IMemAllocator> FAllocator;
    bool FReadOnly = false;
    std::atomic<bool> FAtEndOfStream{false};
};

class TBCBaseOutputPin : public TBCBasePin {
public:
    TBCBaseOutputPin(TBCBaseFilter* filter, const wchar_t* name);

    // Data flows into an output pin only from its own filter.
    HRESULT STDMETHODCALLTYPE EndOfStream() override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE BeginFlush() override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE EndFlush() override { return E_UNEXPECTED; }

    HRESULT CheckConnect(IPin* peer) override;
    HRESULT CompleteConnect(IPin* peer) override;
    HRESULT BreakConnect() override;
    HRESULT Active() override;
    HRESULT Inactive() override;

    // The allocator the connection uses: the peer's when it offers one that fits, else ours.
    virtual HRESULT DecideAllocator(IMemInputPin* peer, IMemAllocator** allocator);
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) = 0;

    HRESULT GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* stop, DWORD flags);
    HRESULT Deliver(IMediaSample* sample);
    HRESULT DeliverEndOfStream();
    HRESULT DeliverBeginFlush();
    HRESULT DeliverEndFlush();
    HRESULT DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

    IMemAllocator* Allocator() const { return FAllocator.Get(); }
    IMemInputPin* PeerInput() const { return FPeerInput.Get(); }

protected:
    ComPtr<IMemAllocator> FAllocator;
    ComPtr<IMemInputPin> FPeerInput;
};

// An enumerator that asks its owner for the item at each position. ItemAt answers S_OK and,
// when given a place, hands out the item with the reference or the copy the caller owns.
template <class IEnum, class Item, class Owner>
class TBCEnumerator final : public TBCUnknown, public IEnum {
public:
    using TItemAt = HRESULT (*)(Owner* owner, int position, Item* item);

    TBCEnumerator(Owner* owner, IUnknown* ownerReference, TItemAt itemAt, int position)
        : TBCUnknown(nullptr), FOwnerReference(ownerReference), FOwner(owner), FItemAt(itemAt), FPosition(position)
    {
    }
    PVL_DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override
    {
        if (iid == __uuidof(IEnum))
            return GetInterface(static_cast<IEnum*>(this), object);
        return TBCUnknown::NonDelegatingQueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* items, ULONG* fetched) override
    {
        if (!items || (!fetched && count != 1))
            return E_POINTER;
        ULONG done = 0;
        while (done < count && FItemAt(FOwner, FPosition, &items[done]) == S_OK) {
            ++FPosition;
            ++done;
        }
        if (fetched)
            *fetched = done;
        return done == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        for (; count > 0; --count, ++FPosition) {
            if (FItemAt(FOwner, FPosition, nullptr) != S_OK)
                return S_FALSE;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        FPosition = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnum** copy) override
    {
        return ComGuarded([&] {
            return QueryNew(new (std::nothrow) TBCEnumerator(FOwner, FOwnerReference.Get(), FItemAt, FPosition), __uuidof(IEnum),
                            reinterpret_cast<void**>(copy));
        });
    }

private:
    ComPtr<IUnknown> FOwnerReference;  // keeps the owner alive
    Owner* FOwner;
    TItemAt FItemAt;
    int FPosition;
};

// A filter's pins, and a pin's preferred types.
using TBCEnumPins = TBCEnumerator<IEnumPins, IPin*, TBCBaseFilter>;
using TBCEnumMediaTypes = TBCEnumerator<IEnumMediaTypes, AM_MEDIA_TYPE*, TBCBasePin>;
