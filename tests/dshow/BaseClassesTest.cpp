// Our DirectShow base classes inside Wine's filter graph manager: the pin protocol, the
// allocator negotiation of in-place filters, states, flushing, reconnection, seeking through
// a filter, and reference counts.
#include "dshow/BCTransInPlace.h"
#include "framework/SysUtils.h"
#include "tests/support/TestFilters.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WavWriter.h"
#include "tests/support/WineGraph.h"

#include <gtest/gtest.h>

#include <mmreg.h>

#include <algorithm>
#include <cstring>
#include <numeric>

using namespace pvltest;

namespace {

// {0F6A3C0E-5B7D-4E1A-8C2F-6D4B3A2E1F01}
const CLSID CLSID_AddOne = {0x0f6a3c0e, 0x5b7d, 0x4e1a, {0x8c, 0x2f, 0x6d, 0x4b, 0x3a, 0x2e, 0x1f, 0x01}};

bool IsPcmAudio(const AM_MEDIA_TYPE& type)
{
    return type.majortype == MEDIATYPE_Audio && type.subtype == MEDIASUBTYPE_PCM && type.formattype == FORMAT_WaveFormatEx;
}

void AddOneToEach(IMediaSample* sample)
{
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    for (long i = 0; i < sample->GetActualDataLength(); ++i)
        ++data[i];
}

// Adds one to every byte it passes, in place.
class TAddOneFilter : public TBCTransInPlaceFilter {
public:
    explicit TAddOneFilter(IUnknown* outer = nullptr) : TBCTransInPlaceFilter(L"Add one", outer, CLSID_AddOne) {}

    static HRESULT CreateFromFactory(IUnknown* outer, REFIID iid, void** object)
    {
        return QueryNew(new (std::nothrow) TAddOneFilter(outer), iid, object);
    }
    HRESULT CheckInputType(const AM_MEDIA_TYPE* type) override
    {
        return IsPcmAudio(*type) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT Transform(IMediaSample* sample) override
    {
        AddOneToEach(sample);
        return S_OK;
    }
    HRESULT StartStreaming() override
    {
        ++Starts;
        return S_OK;
    }
    HRESULT StopStreaming() override
    {
        ++Stops;
        return S_OK;
    }
    std::atomic<int> Starts{0}, Stops{0};
};

// The same work as a copying transform: input and output buffers differ.
class TAddOneCopy : public TSameTypeTransform {
public:
    TAddOneCopy() : TSameTypeTransform(L"Add one, copying", nullptr, CLSID_AddOne) {}

    HRESULT CheckInputType(const AM_MEDIA_TYPE* type) override
    {
        return IsPcmAudio(*type) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override
    {
        ALLOCATOR_PROPERTIES wanted{2, 65536, 1, 0}, actual{};
        return allocator->SetProperties(&wanted, &actual);
    }
    HRESULT Transform(IMediaSample* input, IMediaSample* output) override
    {
        BYTE *from = nullptr, *to = nullptr;
        input->GetPointer(&from);
        output->GetPointer(&to);
        const long length = input->GetActualDataLength();
        std::memcpy(to, from, static_cast<size_t>(length));
        output->SetActualDataLength(length);
        AddOneToEach(output);
        return S_OK;
    }
};

std::vector<uint8_t> Ramp(size_t count, uint8_t first = 0)
{
    std::vector<uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

std::vector<uint8_t> PlusOne(std::vector<uint8_t> bytes)
{
    for (auto& b : bytes)
        ++b;
    return bytes;
}

// Source, the add-one filter and sink in one of Wine's graphs.
struct TChain : TTestChain<TAddOneFilter> {
    explicit TChain(std::vector<TTestSample> samples, TTestSourceOptions options = {}, bool sinkOwnAllocatorOnly = false)
        : TTestChain(NewComObject<TAddOneFilter>(), *AudioType(44100, 2, 16).Get(), std::move(samples), options, sinkOwnAllocatorOnly)
    {
    }
    IPin* FilterIn() { return Filter->InputPin(); }
    IPin* FilterOut() { return Filter->OutputPin(); }
};

}  // namespace

TEST(InPlaceFilter, SamplesPassTransformedWithTheirTimes)
{
    TComInit com;
    TChain chain({TimedSample(Ramp(4000), 0, 100000), TimedSample(Ramp(4000, 7), 100000, 200000)});
    ASSERT_EQ(chain.Connect(), S_OK);
    EXPECT_EQ(RunUntilComplete(chain.Graph.Get(), 10000), EC_COMPLETE);
    const auto samples = chain.Sink->Samples();
    ASSERT_EQ(samples.size(), 2u);
    EXPECT_EQ(samples[0].Data, PlusOne(Ramp(4000)));
    EXPECT_EQ(samples[1].Data, PlusOne(Ramp(4000, 7)));
    EXPECT_TRUE(samples[1].Timed);
    EXPECT_EQ(samples[1].Start, 100000);
    EXPECT_EQ(samples[1].Stop, 200000);
    EXPECT_EQ(chain.Sink->EndOfStreams(), 1);
}

TEST(InPlaceFilter, SharesBuffersOnlyWhenItMayWriteIntoThem)
{
    struct Case {
        const char* name;
        bool readOnlyUpstream, sinkOwnAllocatorOnly, shared;
    };
    const Case cases[] = {
        {"writable buffers pass through", false, false, true},
        {"read-only buffers are copied", true, false, false},
        {"a downstream allocator of its own gets copies", false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TComInit com;
        TChain chain({TimedSample(Ramp(3000), 0, 10), TimedSample(Ramp(3000, 1), 10, 20)}, {.ReadOnly = c.readOnlyUpstream},
                     c.sinkOwnAllocatorOnly);
        ASSERT_EQ(chain.Connect(), S_OK);
        EXPECT_EQ(chain.Filter->UsingDifferentAllocators(), !c.shared);
        ASSERT_EQ(RunUntilComplete(chain.Graph.Get(), 10000), EC_COMPLETE);
        const auto received = chain.Sink->Samples();
        const auto sent = chain.Source->DeliveredBuffers();
        const auto after = chain.Source->DataAfterDeliver();
        ASSERT_EQ(received.size(), 2u);
        ASSERT_EQ(sent.size(), 2u);
        for (size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(received[i].Data, PlusOne(Ramp(3000, static_cast<uint8_t>(i))));
            EXPECT_EQ(received[i].Buffer == sent[i], c.shared);
            // The upstream buffer changes only when it is the one the sink got.
            EXPECT_EQ(after[i], c.shared ? PlusOne(Ramp(3000, static_cast<uint8_t>(i))) : Ramp(3000, static_cast<uint8_t>(i)));
        }
    }
}

TEST(InPlaceFilter, CopiedSamplesKeepTimesFlagsAndLength)
{
    TComInit com;
    TTestSample sample = TimedSample(Ramp(1234), 500, 900);
    sample.MediaTimed = true;
    sample.MediaStart = 11;
    sample.MediaStop = 22;
    sample.Discontinuity = true;
    TChain chain({sample}, {.ReadOnly = true});
    ASSERT_EQ(chain.Connect(), S_OK);
    ASSERT_EQ(RunUntilComplete(chain.Graph.Get(), 10000), EC_COMPLETE);
    const auto received = chain.Sink->Samples();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].Data.size(), 1234u);
    EXPECT_EQ(received[0].Start, 500);
    EXPECT_EQ(received[0].Stop, 900);
    EXPECT_TRUE(received[0].MediaTimed);
    EXPECT_EQ(received[0].MediaStart, 11);
    EXPECT_EQ(received[0].MediaStop, 22);
    EXPECT_TRUE(received[0].Discontinuity);
    EXPECT_TRUE(received[0].SyncPoint);
}

TEST(InPlaceFilter, PinsFollowTheConnectionProtocol)
{
    TComInit com;
    TChain chain({}, {.Manual = true});
    ASSERT_EQ(chain.Graph->AddFilter(chain.Source.Get(), L"Source"), S_OK);
    ASSERT_EQ(chain.Graph->AddFilter(chain.Filter.Get(), L"Filter"), S_OK);
    ASSERT_EQ(chain.Graph->AddFilter(chain.Sink.Get(), L"Sink"), S_OK);

    // Nothing to offer downstream before the input knows its type.
    EXPECT_TRUE(FAILED(chain.Graph->ConnectDirect(chain.FilterOut(), chain.Sink->InputPin(), nullptr)));
    AM_MEDIA_TYPE none{};
    EXPECT_EQ(chain.FilterIn()->ConnectionMediaType(&none), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(chain.FilterIn()->Disconnect(), S_FALSE);

    // A type the filter refuses, by its own code.
    TBCMediaType video;
    video->majortype = MEDIATYPE_Video;
    video->subtype = MEDIASUBTYPE_RGB32;
    video->formattype = FORMAT_None;
    EXPECT_EQ(chain.FilterIn()->ReceiveConnection(chain.Source->OutputPin(), video.Get()), VFW_E_TYPE_NOT_ACCEPTED);
    // Two outputs meet nothing.
    EXPECT_EQ(chain.FilterOut()->ReceiveConnection(chain.Source->OutputPin(), AudioType(44100, 2, 16).Get()), VFW_E_INVALID_DIRECTION);

    ASSERT_EQ(chain.Graph->ConnectDirect(chain.Source->OutputPin(), chain.FilterIn(), nullptr), S_OK);
    EXPECT_EQ(chain.FilterIn()->ReceiveConnection(chain.Source->OutputPin(), AudioType(44100, 2, 16).Get()), VFW_E_ALREADY_CONNECTED);

    // The output offers exactly the input's type and takes no other.
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(chain.FilterOut()->EnumMediaTypes(&types), S_OK);
    AM_MEDIA_TYPE* offered[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(types->Next(2, offered, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_TRUE(TBCMediaType::SameTypes(*offered[0], *AudioType(44100, 2, 16).Get()));
    TBCMediaType::DeleteTaskCopy(offered[0]);
    EXPECT_EQ(chain.FilterOut()->QueryAccept(AudioType(44100, 2, 16).Get()), S_OK);
    EXPECT_EQ(chain.FilterOut()->QueryAccept(AudioType(48000, 2, 16).Get()), S_FALSE);

    ASSERT_EQ(chain.Graph->ConnectDirect(chain.FilterOut(), chain.Sink->InputPin(), nullptr), S_OK);
    AM_MEDIA_TYPE type{};
    ASSERT_EQ(chain.Sink->InputPin()->ConnectionMediaType(&type), S_OK);
    EXPECT_TRUE(TBCMediaType::SameTypes(type, *AudioType(44100, 2, 16).Get()));
    TBCMediaType::Free(type);

    // Pins and names as the graph sees them.
    ComPtr<IPin> found;
    ASSERT_EQ(chain.Filter->FindPin(L"Output", &found), S_OK);
    EXPECT_EQ(found.Get(), chain.FilterOut());
    EXPECT_EQ(chain.Filter->FindPin(L"Side", &found), VFW_E_NOT_FOUND);
    PIN_INFO pin{};
    ASSERT_EQ(chain.FilterIn()->QueryPinInfo(&pin), S_OK);
    EXPECT_EQ(pin.dir, PINDIR_INPUT);
    EXPECT_STREQ(pin.achName, L"Input");
    EXPECT_EQ(pin.pFilter, static_cast<IBaseFilter*>(chain.Filter.Get()));
    pin.pFilter->Release();
    FILTER_INFO info{};
    ASSERT_EQ(chain.Filter->QueryFilterInfo(&info), S_OK);
    EXPECT_STREQ(info.achName, L"Filter");
    EXPECT_TRUE(info.pGraph != nullptr);
    info.pGraph->Release();

    // Connections change only while stopped.
    ASSERT_EQ(chain.Control()->Run(), S_OK);
    EXPECT_EQ(chain.FilterIn()->Disconnect(), VFW_E_NOT_STOPPED);
    ASSERT_EQ(chain.Control()->Stop(), S_OK);
    EXPECT_EQ(chain.FilterIn()->Disconnect(), S_OK);
    EXPECT_EQ(chain.FilterIn()->ConnectionMediaType(&none), VFW_E_NOT_CONNECTED);
}

TEST(InPlaceFilter, StreamsOnlyBetweenPauseAndStop)
{
    TComInit com;
    TChain chain({}, {.Manual = true});
    ASSERT_EQ(chain.Connect(), S_OK);
    FILTER_STATE state = State_Running;
    ASSERT_EQ(chain.Filter->GetState(0, &state), S_OK);
    EXPECT_EQ(state, State_Stopped);

    ASSERT_EQ(chain.Control()->Pause(), S_OK);
    EXPECT_EQ(chain.Filter->Starts, 1);
    EXPECT_EQ(chain.Source->Send(TimedSample(Ramp(100), 0, 1)), S_OK);
    ASSERT_EQ(chain.Control()->Run(), S_OK);
    ASSERT_EQ(chain.Filter->GetState(0, &state), S_OK);
    EXPECT_EQ(state, State_Running);
    EXPECT_EQ(chain.Source->Send(TimedSample(Ramp(100), 1, 2)), S_OK);
    ASSERT_EQ(chain.Control()->Stop(), S_OK);
    EXPECT_EQ(chain.Filter->Stops, 1);
    EXPECT_EQ(chain.Filter->Starts, 1);

    // A stopped filter refuses samples; its input allocator is given back.
    IMemInputPin* input = nullptr;
    ASSERT_EQ(chain.FilterIn()->QueryInterface(IID_PPV_ARGS(&input)), S_OK);
    ComPtr<IMemInputPin> held(input);
    input->Release();
    ComPtr<IMemAllocator> allocator;
    ASSERT_EQ(input->GetAllocator(&allocator), S_OK);
    ComPtr<IMediaSample> sample;
    EXPECT_EQ(allocator->GetBuffer(&sample, nullptr, nullptr, 0), VFW_E_NOT_COMMITTED);
    ASSERT_EQ(allocator->Commit(), S_OK);
    ASSERT_EQ(allocator->GetBuffer(&sample, nullptr, nullptr, 0), S_OK);
    EXPECT_EQ(input->Receive(sample.Get()), VFW_E_WRONG_STATE);
    sample.Reset();
    allocator->Decommit();
    EXPECT_EQ(chain.Sink->Samples().size(), 2u);
}

TEST(InPlaceFilter, FlushRefusesSamplesUntilItEnds)
{
    TComInit com;
    TChain chain({}, {.Manual = true});
    ASSERT_EQ(chain.Connect(), S_OK);
    ASSERT_EQ(chain.Control()->Run(), S_OK);
    EXPECT_EQ(chain.Source->Send(TimedSample(Ramp(10), 0, 1)), S_OK);
    EXPECT_EQ(chain.Source->SendEndOfStream(), S_OK);
    EXPECT_EQ(chain.Source->Send(TimedSample(Ramp(10), 1, 2)), VFW_E_SAMPLE_REJECTED_EOS);

    ASSERT_EQ(chain.Source->SendBeginFlush(), S_OK);
    EXPECT_EQ(chain.Sink->BeginFlushes(), 1);
    EXPECT_EQ(chain.Source->Send(TimedSample(Ramp(10), 2, 3)), S_FALSE);
    ASSERT_EQ(chain.Source->SendEndFlush(), S_OK);
    EXPECT_EQ(chain.Sink->EndFlushes(), 1);
    // The flush also ends the end of the stream.
    EXPECT_EQ(chain.Source->Send(TimedSample(Ramp(10), 3, 4)), S_OK);
    chain.Control()->Stop();

    const auto samples = chain.Sink->Samples();
    ASSERT_EQ(samples.size(), 2u);
    EXPECT_EQ(samples[1].Start, 3);
}

TEST(InPlaceFilter, FormatCarriedBySampleIsCheckedAndPassedOn)
{
    TComInit com;
    TChain chain({}, {.Manual = true});
    ASSERT_EQ(chain.Connect(), S_OK);
    ASSERT_EQ(chain.Control()->Run(), S_OK);
    TTestSample change = TimedSample(Ramp(16), 0, 1);
    change.NewType = AudioType(48000, 2, 16);
    EXPECT_EQ(chain.Source->Send(change), S_OK);
    for (IPin* pin : {chain.FilterIn(), chain.FilterOut()}) {
        AM_MEDIA_TYPE type{};
        ASSERT_EQ(pin->ConnectionMediaType(&type), S_OK);
        EXPECT_TRUE(TBCMediaType::SameTypes(type, *AudioType(48000, 2, 16).Get()));
        TBCMediaType::Free(type);
    }
    TTestSample refused = TimedSample(Ramp(16), 1, 2);
    refused.NewType = AudioType(48000, 2, 16, true);
    EXPECT_EQ(chain.Source->Send(refused), VFW_E_TYPE_NOT_ACCEPTED);
    const auto events = chain.Events();
    EXPECT_NE(std::find(events.begin(), events.end(), EC_ERRORABORT), events.end());
    chain.Control()->Stop();

    const auto samples = chain.Sink->Samples();
    ASSERT_EQ(samples.size(), 1u);
    ASSERT_TRUE(samples[0].NewType.has_value());
    EXPECT_TRUE(samples[0].NewType->Equals(*AudioType(48000, 2, 16).Get()));
}

TEST(InPlaceFilter, ReconnectedInputTypeReachesTheOutput)
{
    TComInit com;
    TChain chain({}, {.Manual = true});
    ASSERT_EQ(chain.Connect(), S_OK);
    ASSERT_EQ(chain.Graph->Disconnect(chain.Source->OutputPin()), S_OK);
    ASSERT_EQ(chain.Graph->Disconnect(chain.FilterIn()), S_OK);

    auto other = NewComObject<TTestSource>(*AudioType(22050, 1, 8).Get(), std::vector<TTestSample>{}, TTestSourceOptions{.Manual = true});
    ASSERT_EQ(chain.Graph->AddFilter(other.Get(), L"Other"), S_OK);
    ASSERT_EQ(chain.Graph->ConnectDirect(other->OutputPin(), chain.FilterIn(), nullptr), S_OK);
    AM_MEDIA_TYPE type{};
    ASSERT_EQ(chain.FilterOut()->ConnectionMediaType(&type), S_OK);
    EXPECT_TRUE(TBCMediaType::SameTypes(type, *AudioType(22050, 1, 8).Get()));
    TBCMediaType::Free(type);

    ASSERT_EQ(chain.Control()->Run(), S_OK);
    EXPECT_EQ(other->Send(TimedSample(Ramp(8), 0, 1)), S_OK);
    EXPECT_EQ(other->Send(TimedSample(Ramp(8), 1, 2)), S_OK);
    chain.Control()->Stop();
    const auto samples = chain.Sink->Samples();
    ASSERT_EQ(samples.size(), 2u);
    ASSERT_TRUE(samples[0].NewType.has_value());
    EXPECT_TRUE(samples[0].NewType->Equals(*AudioType(22050, 1, 8).Get()));
    EXPECT_FALSE(samples[1].NewType.has_value());
}

TEST(InPlaceFilter, InputTypeTheDownstreamRefusesIsRefused)
{
    TComInit com;
    auto source = NewComObject<TTestSource>(*AudioType(44100, 2, 16).Get(), std::vector<TTestSample>{});
    auto filter = NewComObject<TAddOneFilter>();
    auto sink = NewComObject<TTestSink>([](const AM_MEDIA_TYPE& type) { return TBCMediaType::SameTypes(type, *AudioType(44100, 2, 16).Get()); });
    auto graph = NewGraph();
    ASSERT_EQ(AddAndConnect(graph.Get(), {{source.Get(), L"Source"}, {filter.Get(), L"Filter"}, {sink.Get(), L"Sink"}}), S_OK);
    ASSERT_EQ(graph->Disconnect(source->OutputPin()), S_OK);
    ASSERT_EQ(graph->Disconnect(filter->InputPin()), S_OK);
    EXPECT_EQ(filter->InputPin()->QueryAccept(AudioType(48000, 2, 16).Get()), S_FALSE);
    EXPECT_EQ(filter->InputPin()->QueryAccept(AudioType(44100, 2, 16).Get()), S_OK);
}

TEST(InPlaceFilter, UnconnectedInputEndsTheStreamDownstream)
{
    TComInit com;
    TChain chain({TimedSample(Ramp(10), 0, 1)});
    ASSERT_EQ(chain.Connect(), S_OK);
    ASSERT_EQ(chain.Graph->Disconnect(chain.Source->OutputPin()), S_OK);
    ASSERT_EQ(chain.Graph->Disconnect(chain.FilterIn()), S_OK);
    EXPECT_EQ(RunUntilComplete(chain.Graph.Get(), 5000), EC_COMPLETE);
    EXPECT_EQ(chain.Sink->EndOfStreams(), 1);
}

TEST(InPlaceFilter, SeekingPassesThroughToTheSource)
{
    TComInit com;
    TTempDir dir;
    const std::string wav = dir.File("tone.wav");
    WriteWav(wav, TWavSpec{.Seconds = 1.5}, Sine(440, 0.5, 44100));
    auto graph = NewGraph();
    ComPtr<IBaseFilter> reader;
    ASSERT_EQ(graph->AddSourceFilter(AnsiToWide(wav).c_str(), L"Reader", &reader), S_OK);
    auto filter = NewComObject<TAddOneFilter>();
    ASSERT_EQ(graph->AddFilter(filter.Get(), L"Filter"), S_OK);
    ASSERT_EQ(graph->Connect(FindPin(reader.Get(), PINDIR_OUTPUT).Get(), filter->InputPin()), S_OK);
    ASSERT_EQ(graph->Render(filter->OutputPin()), S_OK) << FilterNames(graph.Get());

    ComPtr<IMediaSeeking> throughPin;
    ASSERT_EQ(filter->OutputPin()->QueryInterface(IID_PPV_ARGS(&throughPin)), S_OK);
    LONGLONG duration = 0;
    ASSERT_EQ(throughPin->GetDuration(&duration), S_OK);
    EXPECT_NEAR(duration / 1e7, 1.5, 0.01);
    ComPtr<IMediaSeeking> throughGraph;
    ASSERT_EQ(graph.As(&throughGraph), S_OK);
    ASSERT_EQ(throughGraph->GetDuration(&duration), S_OK);
    EXPECT_NEAR(duration / 1e7, 1.5, 0.01);
    EXPECT_EQ(RunUntilComplete(graph.Get(), 10000), EC_COMPLETE);
}

TEST(BaseClasses, EveryObjectIsFreedWithTheGraph)
{
    TComInit com;
    const long before = TBCUnknown::ObjectCount();
    {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(TBCClassFactory::Create(&TAddOneFilter::CreateFromFactory, &factory), S_OK);
        DWORD cookie = 0;
        ASSERT_EQ(CoRegisterClassObject(CLSID_AddOne, factory.Get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie), S_OK);
        ComPtr<IBaseFilter> filter;
        ASSERT_EQ(CoCreateInstance(CLSID_AddOne, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&filter)), S_OK);
        CoRevokeClassObject(cookie);

        auto source = NewComObject<TTestSource>(*AudioType(44100, 2, 16).Get(), std::vector<TTestSample>{TimedSample(Ramp(64), 0, 1)});
        auto sink = NewComObject<TTestSink>();
        auto graph = NewGraph();
        ASSERT_EQ(AddAndConnect(graph.Get(), {{source.Get(), L"Source"}, {filter.Get(), L"Filter"}, {sink.Get(), L"Sink"}}), S_OK);
        ComPtr<IEnumPins> pins;
        ASSERT_EQ(filter->EnumPins(&pins), S_OK);
        ComPtr<IEnumMediaTypes> types;
        ASSERT_EQ(FindPin(filter.Get(), PINDIR_OUTPUT)->EnumMediaTypes(&types), S_OK);
        EXPECT_EQ(RunUntilComplete(graph.Get(), 10000), EC_COMPLETE);
        EXPECT_EQ(sink->Samples().size(), 1u);
        EXPECT_GT(TBCUnknown::ObjectCount(), before);
    }
    EXPECT_EQ(TBCUnknown::ObjectCount(), before);
}

TEST(BaseClasses, AggregatedFilterForwardsToItsOuterObject)
{
    // A minimal outer object that hands every other interface to the inner one.
    struct TOuter : IUnknown {
        ULONG Refs = 1;
        IUnknown* Inner = nullptr;
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
        {
            if (iid == IID_IUnknown) {
                *object = this;
                AddRef();
                return S_OK;
            }
            return Inner->QueryInterface(iid, object);
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return ++Refs; }
        ULONG STDMETHODCALLTYPE Release() override { return --Refs; }
    } outer;

    TComInit com;
    const long before = TBCUnknown::ObjectCount();
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(TBCClassFactory::Create(&TAddOneFilter::CreateFromFactory, &factory), S_OK);
    void* refused = nullptr;
    EXPECT_EQ(factory->CreateInstance(&outer, IID_IBaseFilter, &refused), CLASS_E_NOAGGREGATION);
    ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.Inner)), S_OK);

    IBaseFilter* filter = nullptr;
    ASSERT_EQ(outer.Inner->QueryInterface(IID_PPV_ARGS(&filter)), S_OK);
    EXPECT_EQ(outer.Refs, 2u);  // the reference went to the outer object
    IUnknown* identity = nullptr;
    ASSERT_EQ(filter->QueryInterface(IID_PPV_ARGS(&identity)), S_OK);
    EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
    identity->Release();
    filter->Release();
    EXPECT_EQ(outer.Refs, 1u);
    outer.Inner->Release();
    EXPECT_EQ(TBCUnknown::ObjectCount(), before + 1);  // the factory
    factory.Reset();
    EXPECT_EQ(TBCUnknown::ObjectCount(), before);
}

TEST(TransformFilter, CopiesEachSampleIntoItsOwnBuffer)
{
    TComInit com;
    auto source = NewComObject<TTestSource>(*AudioType(44100, 2, 16).Get(),
                                            std::vector<TTestSample>{TimedSample(Ramp(500), 5, 6), TimedSample(Ramp(500, 9), 6, 7)});
    auto filter = NewComObject<TAddOneCopy>();
    auto sink = NewComObject<TTestSink>();
    auto graph = NewGraph();
    ASSERT_EQ(AddAndConnect(graph.Get(), {{source.Get(), L"Source"}, {filter.Get(), L"Filter"}, {sink.Get(), L"Sink"}}), S_OK);
    EXPECT_NE(filter->OutputPin()->Allocator(), filter->InputPin()->Allocator());
    ASSERT_EQ(RunUntilComplete(graph.Get(), 10000), EC_COMPLETE);
    const auto samples = sink->Samples();
    ASSERT_EQ(samples.size(), 2u);
    EXPECT_EQ(samples[1].Data, PlusOne(Ramp(500, 9)));
    EXPECT_EQ(samples[1].Start, 6);
    EXPECT_EQ(samples[1].Stop, 7);
    EXPECT_EQ(source->DataAfterDeliver()[1], Ramp(500, 9));
    EXPECT_EQ(sink->EndOfStreams(), 1);
}
