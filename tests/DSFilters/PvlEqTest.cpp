// The sound-processor filter in Wine's filter graph manager: every PCM format to Wine's
// renderers, real processing, the delay, the callback's new size, flushing, the visual data,
// refused formats, S/PDIF pass-through, buffers and the interfaces.
#include "DSFilters/PvlEq.h"
#include "tests/DSFilters/PvlEqGraph.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WavWriter.h"

#include <gtest/gtest.h>

#include <mmreg.h>

using namespace pvltest;

namespace {

const CLSID CLSID_DVDNavigatorFilter = {0x9b8c4620, 0x2c1a, 0x11d0, {0x84, 0x93, 0x00, 0xa0, 0x24, 0x38, 0xad, 0x48}};

ComPtr<TRecorder> Record(TPvlSPFilter* filter)
{
    auto recorder = NewComObject<TRecorder>();
    filter->SetCallBack(recorder.Get());
    return recorder;
}

struct TChain : TTestChain<TPvlSPFilter> {
    TChain(const TBCMediaType& type, std::vector<TTestSample> samples, TTestSourceOptions options = {}, bool sinkOwnAllocatorOnly = false)
        : TTestChain(NewSoundProcessor(), *type.Get(), std::move(samples), options, sinkOwnAllocatorOnly)
    {
    }
};

}  // namespace

TEST(PvlSPFilter, EveryPcmFormatPlaysToTheEndOnBothRenderers)
{
    struct Format {
        const char* name;
        TWavSpec wav;
    };
    const Format formats[] = {
        {"16-bit", TWavSpec{.Seconds = 0.4}},
        {"24-bit", TWavSpec{.Bits = 24, .Seconds = 0.4}},
        {"8-bit", TWavSpec{.Bits = 8, .Seconds = 0.4}},
        {"float", TWavSpec{.Bits = 32, .Float = true, .Seconds = 0.4}},
        {"6-channel extensible", TWavSpec{.Channels = 6, .Extensible = true, .Seconds = 0.4}},
    };
    const std::pair<const char*, CLSID> renderers[] = {{"Null Renderer", CLSID_NullRendererFilter}, {"DirectSound", CLSID_DSoundRender}};
    TComInit com;
    TTempDir dir;
    for (const Format& format : formats) {
        const std::string wav = dir.File(std::string(format.name) + ".wav");
        WriteWav(wav, format.wav, Sine(440, 0.5, format.wav.SampleRate));
        for (const auto& [rendererName, renderer] : renderers) {
            SCOPED_TRACE(std::string(format.name) + " to " + rendererName);
            auto graph = NewGraph();
            auto filter = NewSoundProcessor();
            auto recorder = Record(filter.Get());
            ASSERT_EQ(RenderWavThrough(graph.Get(), wav, filter.Get(), filter->InputPin(), filter->OutputPin(), renderer), S_OK)
                << FilterNames(graph.Get());
            EXPECT_EQ(RunUntilComplete(graph.Get(), 15000), EC_COMPLETE);

            const TDSStream stream = filter->Stream();
            EXPECT_EQ(stream.Frequency, 44100);
            EXPECT_EQ(stream.Channels, format.wav.Channels);
            EXPECT_EQ(stream.Bits, format.wav.Bits);
            EXPECT_EQ(stream.Float, format.wav.Float);
            ASSERT_FALSE(recorder->Types.empty());
            EXPECT_EQ(recorder->Types.back().Bits, format.wav.Bits);
            // Every frame passed the chain once.
            EXPECT_EQ(recorder->Bytes, static_cast<int64_t>(0.4 * 44100) * format.wav.Channels * format.wav.Bits / 8);
            filter->SetCallBack(nullptr);
        }
    }
}

TEST(PvlSPFilter, AmplifyTwentyThousandDoublesTheSine)
{
    TComInit com;
    TTempDir dir;
    const std::string wav = dir.File("sine.wav");
    WriteWav(wav, TWavSpec{.Seconds = 0.5}, Sine(1000, 0.25, 44100));
    auto graph = NewGraph();
    auto first = NewSoundProcessor();
    auto second = NewSoundProcessor();
    auto before = Record(first.Get());
    auto after = Record(second.Get());
    ComPtr<IPvlSPAmplifyInterface> amplify;
    ASSERT_EQ(first.As(&amplify), S_OK);
    ASSERT_EQ(amplify->SetEnabled(true), S_OK);
    ASSERT_EQ(amplify->SetAmplify(0, 20000), S_OK);

    ASSERT_EQ(graph->AddFilter(first.Get(), L"First"), S_OK);
    ASSERT_EQ(graph->AddFilter(second.Get(), L"Second"), S_OK);
    ASSERT_EQ(ConnectWav(graph.Get(), wav, first->InputPin()), S_OK);
    ASSERT_EQ(graph->ConnectDirect(first->OutputPin(), second->InputPin(), nullptr), S_OK);
    ASSERT_EQ(ConnectRenderer(graph.Get(), second->OutputPin(), CLSID_NullRendererFilter), S_OK);
    ASSERT_EQ(RunUntilComplete(graph.Get(), 10000), EC_COMPLETE);

    // The second filter's callback sees what the first one made of the audio.
    EXPECT_NEAR(before->Peak, 8192, 2);
    EXPECT_NEAR(after->Peak, 2 * before->Peak, 1);
    first->SetCallBack(nullptr);
    second->SetCallBack(nullptr);
}

TEST(PvlSPFilter, DelayShiftsTheSampleTimes)
{
    struct Case {
        bool enabled;
        int32_t delay;
        REFERENCE_TIME start, stop;
    };
    const Case cases[] = {{true, 500, 5000000, 15000000}, {false, 500, 0, 10000000}, {true, -200, -2000000, 8000000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.delay);
        TComInit com;
        TChain chain(AudioType(44100, 2, 16), {TimedSample(std::vector<uint8_t>(4096), 0, 10000000)});
        ComPtr<IPvlSPDelayInterface> delay;
        ASSERT_EQ(chain.Filter.As(&delay), S_OK);
        delay->SetEnabled(c.enabled);
        delay->SetDelay(c.delay);
        ASSERT_EQ(chain.Connect(), S_OK);
        ASSERT_EQ(RunUntilComplete(chain.Graph.Get(), 10000), EC_COMPLETE);
        const auto samples = chain.Sink->Samples();
        ASSERT_EQ(samples.size(), 1u);
        EXPECT_EQ(samples[0].Start, c.start);
        EXPECT_EQ(samples[0].Stop, c.stop);
    }
}

TEST(PvlSPFilter, CallbackNewSizeSetsTheLengthAndTheEnd)
{
    struct Case {
        int32_t answer, length;
    };
    // 4096 bytes of 16-bit stereo; the source's buffers hold 65536 bytes.
    const Case cases[] = {{2048, 2048}, {2050, 2048}, {-1, 0}, {4096, 4096}, {999999, 65536}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        TComInit com;
        TTestSample sample = TimedSample(std::vector<uint8_t>(4096, 1), 1000, 1000 + 232199);
        sample.MediaTimed = true;
        sample.MediaStart = 50;
        sample.MediaStop = 50 + 232199;
        TChain chain(AudioType(44100, 2, 16), {sample});
        auto recorder = Record(chain.Filter.Get());
        recorder->Resize = [&](int32_t) { return c.answer; };
        ASSERT_EQ(chain.Connect(), S_OK);
        ASSERT_EQ(RunUntilComplete(chain.Graph.Get(), 10000), EC_COMPLETE);
        const auto samples = chain.Sink->Samples();
        ASSERT_EQ(samples.size(), 1u);
        EXPECT_EQ(samples[0].Data.size(), static_cast<size_t>(c.length));
        const REFERENCE_TIME duration = static_cast<REFERENCE_TIME>(c.length) * 10000000 / 2 / 2 / 44100;
        EXPECT_EQ(samples[0].Start, 1000);
        EXPECT_EQ(samples[0].Stop, c.length == 4096 ? 1000 + 232199 : 1000 + duration);
        EXPECT_EQ(samples[0].MediaStop, c.length == 4096 ? 50 + 232199 : 50 + duration);
        chain.Filter->SetCallBack(nullptr);
    }
}

TEST(PvlSPFilter, SeekFlushesTheRingAndCallsBack)
{
    TComInit com;
    TTempDir dir;
    const std::string wav = dir.File("long.wav");
    WriteWav(wav, TWavSpec{.Seconds = 4}, Sine(440, 0.5, 44100));
    auto graph = NewGraph();
    auto filter = NewSoundProcessor();
    auto recorder = Record(filter.Get());
    int64_t fillAtFlush = -2, startAtFlush = -2;
    bool flushingAtFlush = false;
    recorder->OnFlush = [&] {
        fillAtFlush = filter->VisualRing().Fill();
        startAtFlush = filter->VisualRing().RingStart();
        flushingAtFlush = filter->Flushing();
    };
    ASSERT_EQ(RenderWavThrough(graph.Get(), wav, filter.Get(), filter->InputPin(), filter->OutputPin(), CLSID_DSoundRender), S_OK);
    ComPtr<IMediaControl> control;
    ComPtr<IMediaSeeking> seeking;
    ASSERT_EQ(graph.As(&control), S_OK);
    ASSERT_EQ(graph.As(&seeking), S_OK);
    ASSERT_TRUE(SUCCEEDED(control->Run()));

    void* buffer = nullptr;
    int32_t size = 0;
    PDSStream stream = nullptr;
    auto visual = [&] { return filter->GetVisualData(&buffer, &size, &stream) == S_OK; };
    ASSERT_TRUE(WaitFor(visual, 3000));
    EXPECT_EQ(size, 16384 * 4);
    ASSERT_EQ(recorder->Flushes, 0);

    LONGLONG position = 20000000;
    ASSERT_TRUE(SUCCEEDED(seeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning)));
    EXPECT_GE(recorder->Flushes, 1);
    EXPECT_EQ(fillAtFlush, 0);
    EXPECT_EQ(startAtFlush, -1);
    EXPECT_TRUE(flushingAtFlush);
    EXPECT_FALSE(filter->Flushing());
    // New data after the seek makes the visual data come back.
    EXPECT_TRUE(WaitFor(visual, 3000));
    control->Stop();
    filter->SetCallBack(nullptr);
}

TEST(PvlSPFilter, RunningFollowsTheStatesAndStopEmptiesTheRing)
{
    TComInit com;
    TChain chain(AudioType(44100, 2, 16), {}, {.Manual = true});
    ASSERT_EQ(chain.Connect(), S_OK);
    // Straight from stopped to running: the base class pauses on the way.
    ASSERT_EQ(chain.Filter->Run(0), S_OK);
    EXPECT_TRUE(chain.Filter->Running());
    ASSERT_EQ(chain.Filter->Pause(), S_OK);
    EXPECT_FALSE(chain.Filter->Running());
    ASSERT_EQ(chain.Filter->Stop(), S_OK);

    ASSERT_TRUE(SUCCEEDED(chain.Control()->Run()));
    EXPECT_TRUE(chain.Filter->Running());
    for (const TTestSample& sample : CountingSamples(3))
        ASSERT_EQ(chain.Source->Send(sample), S_OK);
    EXPECT_EQ(chain.Filter->VisualRing().Fill(), 3 * 4410 * 4);
    ASSERT_EQ(chain.Control()->Stop(), S_OK);
    EXPECT_FALSE(chain.Filter->Running());
    EXPECT_EQ(chain.Filter->VisualRing().Fill(), 0);
}

TEST(PvlSPFilter, VisualDataIsTheBlockPlayingNow)
{
    TComInit com;
    TChain chain(AudioType(44100, 2, 16), {}, {.Manual = true});
    ASSERT_EQ(chain.Connect(), S_OK);
    void* buffer = nullptr;
    int32_t size = 0;
    PDSStream stream = nullptr;
    EXPECT_EQ(chain.Filter->GetVisualData(&buffer, &size, &stream), S_FALSE);  // not running
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(size, 0);
    EXPECT_NE(stream, nullptr);

    ASSERT_TRUE(SUCCEEDED(chain.Control()->Run()));
    for (const TTestSample& sample : CountingSamples(30))
        ASSERT_EQ(chain.Source->Send(sample), S_OK);
    REFERENCE_TIME before = 0, after = 0;
    ASSERT_TRUE(WaitFor([&] { return SUCCEEDED(chain.Filter->StreamTime(before)) && before > 2000000; }, 3000));
    ASSERT_EQ(chain.Filter->StreamTime(before), S_OK);
    ASSERT_EQ(chain.Filter->GetVisualData(&buffer, &size, &stream), S_OK);
    ASSERT_EQ(chain.Filter->StreamTime(after), S_OK);
    ASSERT_EQ(size, 16384 * 4);
    const int64_t frame = FirstFrameOf(buffer);
    EXPECT_GE(frame, before * 44100 / 10000000 - 1);
    EXPECT_LE(frame, after * 44100 / 10000000 + 1);
    EXPECT_EQ(stream->Frequency, 44100);
    EXPECT_EQ(stream->Channels, 2);
    chain.Control()->Stop();
}

TEST(PvlSPFilter, VisualDataOfADvdLiesTwoPointNineTwoSecondsIntoTheRing)
{
    TComInit com;
    TChain chain(AudioType(44100, 2, 16), {}, {.Manual = true, .ClassId = CLSID_DVDNavigatorFilter});
    ASSERT_EQ(chain.Connect(), S_OK);
    EXPECT_TRUE(chain.Filter->DVD());
    ASSERT_TRUE(SUCCEEDED(chain.Control()->Run()));
    for (const TTestSample& sample : CountingSamples(35))
        ASSERT_EQ(chain.Source->Send(sample), S_OK);
    void* buffer = nullptr;
    int32_t size = 0;
    PDSStream stream = nullptr;
    ASSERT_TRUE(WaitFor([&] { return chain.Filter->GetVisualData(&buffer, &size, &stream) == S_OK; }, 2000));
    EXPECT_EQ(FirstFrameOf(buffer), 128772u);
    chain.Control()->Stop();
}

TEST(PvlSPFilter, RefusedFormatsKeepTheStreamDescription)
{
    TComInit com;
    TBCMediaType video;
    video->majortype = MEDIATYPE_Video;
    video->subtype = MEDIASUBTYPE_RGB32;
    video->formattype = FORMAT_VideoInfo;
    TBCMediaType mpeg = AudioType(44100, 2, 16);
    mpeg->subtype = MEDIASUBTYPE_MPEG1AudioPayload;
    TBCMediaType cut = AudioType(44100, 2, 16);
    cut->cbFormat = 14;
    struct Case {
        const char* name;
        TBCMediaType type;
        HRESULT result;
    };
    const Case cases[] = {
        {"20-bit", AudioType(44100, 2, 20), VFW_E_TYPE_NOT_ACCEPTED}, {"video", video, VFW_E_INVALIDMEDIATYPE},
        {"MPEG audio", mpeg, VFW_E_INVALIDSUBTYPE},                  {"no channels", AudioType(44100, 0, 16), VFW_E_TYPE_NOT_ACCEPTED},
        {"rate 0", AudioType(0, 2, 16), VFW_E_TYPE_NOT_ACCEPTED},    {"short block", cut, VFW_E_TYPE_NOT_ACCEPTED},
    };
    auto filter = NewSoundProcessor();
    auto recorder = Record(filter.Get());
    auto source = NewComObject<TTestSource>(*AudioType(48000, 2, 24).Get(), std::vector<TTestSample>{});
    auto graph = NewGraph();
    ASSERT_EQ(AddAndConnect(graph.Get(), {{source.Get(), L"Source"}, {filter.Get(), L"Sound processor"}}), S_OK);
    ASSERT_EQ(graph->Disconnect(source->OutputPin()), S_OK);
    ASSERT_EQ(graph->Disconnect(filter->InputPin()), S_OK);
    const TDSStream accepted = filter->Stream();
    EXPECT_EQ(accepted.Bits, 24);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(filter->InputPin()->ReceiveConnection(source->OutputPin(), c.type.Get()), c.result);
        EXPECT_EQ(filter->InputPin()->QueryAccept(c.type.Get()), S_FALSE);
        EXPECT_EQ(filter->Stream(), accepted);
    }
    EXPECT_EQ(recorder->Types.size(), 1u);
    filter->SetCallBack(nullptr);
}

TEST(PvlSPFilter, RefusedFormatOnASampleStopsTheStream)
{
    TComInit com;
    TChain chain(AudioType(44100, 2, 16), {}, {.Manual = true});
    ASSERT_EQ(chain.Connect(), S_OK);
    ASSERT_TRUE(SUCCEEDED(chain.Control()->Run()));
    TTestSample refused = TimedSample(std::vector<uint8_t>(64), 0, 1);
    refused.NewType = AudioType(44100, 2, 20);
    EXPECT_EQ(chain.Source->Send(refused), VFW_E_TYPE_NOT_ACCEPTED);
    EXPECT_EQ(chain.Filter->Stream().Bits, 16);
    const auto events = chain.Events();
    EXPECT_NE(std::find(events.begin(), events.end(), EC_ERRORABORT), events.end());
    chain.Control()->Stop();
    EXPECT_TRUE(chain.Sink->Samples().empty());
}

TEST(PvlSPFilter, FormatOnASampleRebuildsTheRingAndIsReported)
{
    TComInit com;
    TChain chain(AudioType(44100, 2, 16), {}, {.Manual = true});
    auto recorder = Record(chain.Filter.Get());
    ASSERT_EQ(chain.Connect(), S_OK);
    ASSERT_TRUE(SUCCEEDED(chain.Control()->Run()));
    ASSERT_EQ(chain.Source->Send(TimedSample(std::vector<uint8_t>(4096), 0, 232199)), S_OK);
    TTestSample change = TimedSample(std::vector<uint8_t>(4096), 232199, 1160998);
    change.NewType = AudioType(22050, 1, 16);
    ASSERT_EQ(chain.Source->Send(change), S_OK);
    chain.Control()->Stop();
    ASSERT_EQ(recorder->Types.size(), 2u);
    EXPECT_EQ(recorder->Types[1].Frequency, 22050);
    EXPECT_EQ(recorder->Types[1].Channels, 1);
    EXPECT_DOUBLE_EQ(chain.Filter->VisualRing().TimePerByte(), 10000000.0 / 22050 / 1 / 2);
    EXPECT_EQ(chain.Sink->Samples().size(), 2u);
    chain.Filter->SetCallBack(nullptr);
}

TEST(PvlSPFilter, SpdifPassesUntouched)
{
    TComInit com;
    std::vector<uint8_t> ac3(6144);
    for (size_t i = 0; i < ac3.size(); ++i)
        ac3[i] = static_cast<uint8_t>(i * 7 + 3);
    TChain chain(AudioType(48000, 2, 16, false, WAVE_FORMAT_DOLBY_AC3_SPDIF), {}, {.Manual = true});
    auto recorder = Record(chain.Filter.Get());
    ComPtr<IPvlSPAmplifyInterface> amplify;
    ASSERT_EQ(chain.Filter.As(&amplify), S_OK);
    amplify->SetEnabled(true);
    amplify->SetAmplify(0, 20000);
    ASSERT_EQ(chain.Connect(), S_OK);
    EXPECT_TRUE(chain.Filter->Stream().SPDIF);
    ASSERT_TRUE(SUCCEEDED(chain.Control()->Run()));
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(chain.Source->Send(TimedSample(ac3, i * 320000LL, (i + 1) * 320000LL)), S_OK);
    void* buffer = nullptr;
    int32_t size = 0;
    PDSStream stream = nullptr;
    EXPECT_EQ(chain.Filter->GetVisualData(&buffer, &size, &stream), S_FALSE);
    chain.Control()->Stop();

    for (const auto& sample : chain.Sink->Samples())
        EXPECT_EQ(sample.Data, ac3);
    EXPECT_EQ(chain.Sink->Samples().size(), 3u);
    EXPECT_EQ(recorder->Blocks, 0);
    EXPECT_EQ(chain.Filter->VisualRing().Fill(), 0);
    chain.Filter->SetCallBack(nullptr);
}

TEST(PvlSPFilter, CopiesGetBuffersOfEightSeconds)
{
    TComInit com;
    auto lone = NewSoundProcessor();
    ComPtr<IMemAllocator> allocator;
    ASSERT_EQ(CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&allocator)), S_OK);
    ALLOCATOR_PROPERTIES request{};
    EXPECT_EQ(lone->DecideBufferSize(allocator.Get(), &request), E_UNEXPECTED);

    // A downstream pin with an allocator of its own makes the filter copy into it.
    TChain chain(AudioType(44100, 2, 16), {TimedSample(std::vector<uint8_t>(4096, 9), 0, 232199)}, {}, true);
    ASSERT_EQ(chain.Connect(), S_OK);
    EXPECT_TRUE(chain.Filter->UsingDifferentAllocators());
    EXPECT_EQ(chain.Filter->DecideBufferSize(nullptr, &request), E_POINTER);
    ALLOCATOR_PROPERTIES granted{};
    ASSERT_EQ(chain.Sink->Allocator()->GetProperties(&granted), S_OK);
    EXPECT_EQ(granted.cBuffers, 10);
    EXPECT_EQ(granted.cbBuffer, 2 * 352800 * 2);
    EXPECT_EQ(granted.cbAlign, 16);
    ASSERT_EQ(RunUntilComplete(chain.Graph.Get(), 10000), EC_COMPLETE);
    ASSERT_EQ(chain.Sink->Samples().size(), 1u);
    EXPECT_EQ(chain.Sink->Samples()[0].Data, std::vector<uint8_t>(4096, 9));
}

TEST(PvlSPFilter, InterfacesAnswerAsDocumented)
{
    TComInit com;
    auto filter = NewSoundProcessor();
    ComPtr<IPvlSPGeneralInterface> general;
    ComPtr<IPvlSPEqualizerInterface> equalizer;
    ComPtr<IPvlSPDelayInterface> delay;
    ComPtr<IPvlSPAmplifyInterface> amplify;
    ComPtr<IPvlSPDynamicAmplifyInterface> dynamic;
    ComPtr<IPvlSP3DSoundInterface> sound3D;
    ComPtr<IPvlSPVisualInterface> visual;
    ComPtr<IAMovieSetup> setup;
    ASSERT_EQ(filter.As(&general), S_OK);
    ASSERT_EQ(filter.As(&equalizer), S_OK);
    ASSERT_EQ(filter.As(&delay), S_OK);
    ASSERT_EQ(filter.As(&amplify), S_OK);
    ASSERT_EQ(filter.As(&dynamic), S_OK);
    ASSERT_EQ(filter.As(&sound3D), S_OK);
    ASSERT_EQ(filter.As(&visual), S_OK);
    ASSERT_EQ(filter.As(&setup), S_OK);
    EXPECT_EQ(setup->Register(), E_NOTIMPL);
    ComPtr<IMediaSeeking> seeking;
    EXPECT_EQ(filter.As(&seeking), E_NOINTERFACE);
    // Every interface belongs to the one filter.
    ComPtr<IUnknown> a, b;
    visual.As(&a);
    delay.As(&b);
    EXPECT_EQ(a.Get(), b.Get());

    std::vector<float> table(EQGainTableSize, 0.0f);
    ASSERT_EQ(equalizer->GetGainTable(table.data()), S_OK);
    EXPECT_EQ(std::count(table.begin(), table.end(), 2.0f), EQGainTableSize);
    table[100] = 0.5f;
    ASSERT_EQ(equalizer->SetGainTable(table.data()), S_OK);
    std::vector<float> back(EQGainTableSize);
    equalizer->GetGainTable(back.data());
    EXPECT_EQ(back, table);

    int32_t value = 0;
    for (const int32_t channel : {-1, 10}) {
        EXPECT_EQ(amplify->GetAmplify(channel, &value), E_INVALIDARG);
        EXPECT_EQ(amplify->SetAmplify(channel, 5), E_INVALIDARG);
    }
    EXPECT_EQ(amplify->SetAmplify(9, 12345), S_OK);
    EXPECT_EQ(amplify->GetAmplify(9, &value), S_OK);
    EXPECT_EQ(value, 12345);

    struct Default {
        const char* name;
        std::function<HRESULT(int32_t*)> get;
        std::function<HRESULT(int32_t)> set;
        int32_t value;
    };
    const Default defaults[] = {
        {"MaxAmplify", [&](int32_t* v) { return dynamic->GetMaxAmplify(v); }, [&](int32_t v) { return dynamic->SetMaxAmplify(v); }, 10000},
        {"AttackTime", [&](int32_t* v) { return dynamic->GetAttackTime(v); }, [&](int32_t v) { return dynamic->SetAttackTime(v); }, 1000},
        {"ReleaseTime", [&](int32_t* v) { return dynamic->GetReleaseTime(v); }, [&](int32_t v) { return dynamic->SetReleaseTime(v); }, 3000},
        {"Delay", [&](int32_t* v) { return delay->GetDelay(v); }, [&](int32_t v) { return delay->SetDelay(v); }, 0},
        {"Volume", [&](int32_t* v) { return sound3D->GetVolume(v); }, [&](int32_t v) { return sound3D->SetVolume(v); }, 0},
        {"Amplify", [&](int32_t* v) { return amplify->GetAmplify(0, v); }, [&](int32_t v) { return amplify->SetAmplify(0, v); }, 10000},
    };
    for (const Default& d : defaults) {
        SCOPED_TRACE(d.name);
        ASSERT_EQ(d.get(&value), S_OK);
        EXPECT_EQ(value, d.value);
        ASSERT_EQ(d.set(777), S_OK);
        ASSERT_EQ(d.get(&value), S_OK);
        EXPECT_EQ(value, 777);
        EXPECT_EQ(d.get(nullptr), E_POINTER);
    }
    bool enabled = true;
    for (auto get : {std::function<HRESULT(bool*)>([&](bool* v) { return equalizer->GetEnabled(v); }),
                     std::function<HRESULT(bool*)>([&](bool* v) { return delay->GetEnabled(v); }),
                     std::function<HRESULT(bool*)>([&](bool* v) { return amplify->GetEnabled(v); }),
                     std::function<HRESULT(bool*)>([&](bool* v) { return dynamic->GetEnabled(v); }),
                     std::function<HRESULT(bool*)>([&](bool* v) { return sound3D->GetEnabled(v); })}) {
        ASSERT_EQ(get(&enabled), S_OK);
        EXPECT_FALSE(enabled);
    }
    ASSERT_EQ(delay->SetEnabled(true), S_OK);
    ASSERT_EQ(delay->GetEnabled(&enabled), S_OK);
    EXPECT_TRUE(enabled);
    ASSERT_EQ(equalizer->GetEnabled(&enabled), S_OK);
    EXPECT_FALSE(enabled);  // each interface has its own switch

    float gain = -1;
    ASSERT_EQ(dynamic->GetCurrentGain(&gain), S_OK);
    EXPECT_EQ(gain, 0.0f);  // disabled
    dynamic->SetEnabled(true);
    ASSERT_EQ(dynamic->GetCurrentGain(&gain), S_OK);
    EXPECT_EQ(gain, 1.0f);
}

TEST(PvlSPFilter, CurrentGainIsZeroWhileDynamicAmplificationIsOff)
{
    TComInit com;
    TChain chain(AudioType(44100, 2, 16), {TimedSample(std::vector<uint8_t>(44100 * 4), 0, 10000000)});
    ComPtr<IPvlSPDynamicAmplifyInterface> dynamic;
    ASSERT_EQ(chain.Filter.As(&dynamic), S_OK);
    dynamic->SetEnabled(true);
    dynamic->SetReleaseTime(0);
    dynamic->SetAttackTime(5000);
    ASSERT_EQ(chain.Connect(), S_OK);
    ASSERT_EQ(RunUntilComplete(chain.Graph.Get(), 10000), EC_COMPLETE);
    float gain = 0;
    ASSERT_EQ(dynamic->GetCurrentGain(&gain), S_OK);
    EXPECT_GT(gain, 1.0f);  // silence raised the gain
    dynamic->SetEnabled(false);
    ASSERT_EQ(dynamic->GetCurrentGain(&gain), S_OK);
    EXPECT_EQ(gain, 0.0f);
}

TEST(PvlSPFilter, ClassFactoryMakesCountedInstances)
{
    TComInit com;
    const long before = TPvlSPFilter::InstanceCount();
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(TBCClassFactory::Create(&TPvlSPFilter::CreateFromFactory, &factory), S_OK);
    ComPtr<IBaseFilter> filter;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&filter)), S_OK);
    EXPECT_EQ(TPvlSPFilter::InstanceCount(), before + 1);
    EXPECT_EQ(static_cast<TPvlSPFilter*>(filter.Get())->ObjectName(), L"Parvolux SoundProcessor Filter");
    CLSID clsid{};
    ASSERT_EQ(filter->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_PvlSPFilter);
    filter.Reset();
    EXPECT_EQ(TPvlSPFilter::InstanceCount(), before);
}
