#pragma once
// Filters for tests, built on our base classes: a source that pushes given samples on a
// thread of its own, and a renderer-like sink that records everything that reaches it.
#include "dshow/BCFilter.h"
#include "dshow/BCTransform.h"
#include "tests/support/WineGraph.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace pvltest {

// A copying transform whose output keeps the input's media type.
class TSameTypeTransform : public TBCTransformFilter {
public:
    using TBCTransformFilter::TBCTransformFilter;
    HRESULT CheckTransform(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) override
    {
        return TBCMediaType::SameTypes(*input, *output) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT GetMediaType(int position, TBCMediaType& type) override
    {
        if (position > 0)
            return VFW_S_NO_MORE_ITEMS;
        type = InputPin()->CurrentMediaType();
        return S_OK;
    }
};

struct TTestSample {
    std::vector<uint8_t> Data;
    bool Timed = false;
    REFERENCE_TIME Start = 0, Stop = 0;
    bool MediaTimed = false;
    LONGLONG MediaStart = 0, MediaStop = 0;
    bool Discontinuity = false;
    std::optional<TBCMediaType> NewType;  // a format change carried by the sample
};

// A sample of the given bytes stamped start..stop.
TTestSample TimedSample(std::vector<uint8_t> data, REFERENCE_TIME start, REFERENCE_TIME stop);

struct TTestSourceOptions {
    long BufferSize = 65536;
    long BufferCount = 4;
    bool ReadOnly = false;  // tells the downstream pin not to write into the buffers
    bool Manual = false;    // no thread: the test sends each sample itself
    CLSID ClassId = GUID_NULL;  // the class id the source reports; null for its own
};

// Pushes its samples on a thread from the moment it leaves the stopped state, then ends
// the stream; or, when manual, sends what the test gives it on the test's thread.
class TTestSource : public TBCBaseFilter {
public:
    TTestSource(const AM_MEDIA_TYPE& type, std::vector<TTestSample> samples, TTestSourceOptions options = {});
    ~TTestSource() override;

    int GetPinCount() override { return 1; }
    TBCBasePin* GetPin(int index) override;
    IPin* OutputPin();
    // Waits for the pushing thread to finish; false when it is still busy after timeoutMs.
    bool WaitDone(DWORD timeoutMs);
    // Per delivered sample: Deliver's result, the buffer's address, and its bytes once
    // Deliver returned (changed when a filter downstream worked in place).
    std::vector<HRESULT> DeliverResults();
    std::vector<const BYTE*> DeliveredBuffers();
    std::vector<std::vector<uint8_t>> DataAfterDeliver();

    // Manual sending; each returns what the downstream pin answered.
    HRESULT Send(const TTestSample& sample);
    HRESULT SendEndOfStream();
    HRESULT SendBeginFlush();
    HRESULT SendEndFlush();

private:
    class TPin;
    void Push();
    TBCMediaType FType;
    std::vector<TTestSample> FSamples;
    TTestSourceOptions FOptions;
    std::unique_ptr<TPin> FPin;
    std::thread FThread;
    std::atomic<bool> FQuit{false};
    std::atomic<bool> FDone{false};
    std::mutex FRecordLock;
    std::vector<HRESULT> FResults;
    std::vector<const BYTE*> FBuffers;
    std::vector<std::vector<uint8_t>> FAfter;
};

struct TReceivedSample {
    std::vector<uint8_t> Data;
    const BYTE* Buffer = nullptr;
    bool Timed = false;
    REFERENCE_TIME Start = 0, Stop = 0;
    bool MediaTimed = false;
    LONGLONG MediaStart = 0, MediaStop = 0;
    bool SyncPoint = false, Discontinuity = false;
    std::optional<TBCMediaType> NewType;
};

// Takes any type `accept` approves (any at all without it) and records every sample, end of
// stream and flush. It calls itself a renderer, so the graph waits for its end of stream.
class TTestSink : public TBCBaseFilter, public IAMFilterMiscFlags {
public:
    using TAccept = std::function<bool(const AM_MEDIA_TYPE&)>;
    // ownAllocatorOnly: refuses to work with buffers of any allocator but its own.
    explicit TTestSink(TAccept accept = nullptr, bool ownAllocatorOnly = false);
    ~TTestSink() override;

    PVL_DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_RENDERER; }
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override;
    HRESULT STDMETHODCALLTYPE Stop() override;

    int GetPinCount() override { return 1; }
    TBCBasePin* GetPin(int index) override;
    IPin* InputPin();

    std::vector<TReceivedSample> Samples();
    std::vector<uint8_t> AllData();  // the samples' data joined
    int EndOfStreams() const { return FEndOfStreams; }
    int BeginFlushes() const { return FBeginFlushes; }
    int EndFlushes() const { return FEndFlushes; }
    // The allocator the upstream pin settled on.
    IMemAllocator* Allocator();

private:
    class TPin;
    void NotifyComplete();
    std::unique_ptr<TPin> FPin;
    std::atomic<bool> FCompletePending{false};
    std::mutex FRecordLock;
    std::vector<TReceivedSample> FSamples;
    std::atomic<int> FEndOfStreams{0}, FBeginFlushes{0}, FEndFlushes{0};
};

// Adds the filters to the graph and connects each output to the next input directly.
HRESULT AddAndConnect(IGraphBuilder* graph, std::initializer_list<std::pair<IBaseFilter*, const wchar_t*>> chain);

// Codes of the events waiting in a graph's queue, taken from it.
std::vector<long> GraphEvents(IGraphBuilder* graph);

// A test source, the filter under test and a test sink in one of Wine's graphs.
template <class TFilter>
struct TTestChain {
    ComPtr<IGraphBuilder> Graph = NewGraph();
    ComPtr<TTestSource> Source;
    ComPtr<TFilter> Filter;
    ComPtr<TTestSink> Sink;

    TTestChain(ComPtr<TFilter> filter, const AM_MEDIA_TYPE& type, std::vector<TTestSample> samples, TTestSourceOptions options = {},
               bool sinkOwnAllocatorOnly = false)
        : Source(NewComObject<TTestSource>(type, std::move(samples), options)), Filter(std::move(filter)),
          Sink(NewComObject<TTestSink>(nullptr, sinkOwnAllocatorOnly))
    {
    }
    HRESULT Connect()
    {
        return AddAndConnect(Graph.Get(), {{Source.Get(), L"Source"}, {Filter.Get(), L"Filter"}, {Sink.Get(), L"Sink"}});
    }
    ComPtr<IMediaControl> Control()
    {
        ComPtr<IMediaControl> control;
        Graph.As(&control);
        return control;
    }
    // Codes of the events waiting in the graph's queue.
    std::vector<long> Events() { return GraphEvents(Graph.Get()); }
};

// A PCM or float audio type with a WAVEFORMATEX format block; tag 0 picks PCM or float.
TBCMediaType AudioType(uint32_t rate, uint16_t channels, uint16_t bits, bool isFloat = false, uint16_t tag = 0);
}  // namespace pvltest
