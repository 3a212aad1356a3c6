// The sound-processor component: its filter, property caches with and without a filter,
// the equaliser bands, callbacks as events, the visual timer and leaving a graph.
#include "DSFilters/ParvoluxSoundProcessor.h"
#include "tests/DSFilters/PvlEqGraph.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WavWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace pvltest;

namespace {

TPvlSPFilter* FilterOf(const TParvoluxSoundProcessor& processor)
{
    return static_cast<TPvlSPFilter*>(processor.Filter());
}

// Every property as the component and the filter's interfaces see it.
struct TProperty {
    const char* name;
    std::function<int32_t(TParvoluxSoundProcessor&)> get;
    std::function<void(TParvoluxSoundProcessor&, int32_t)> set;
    std::function<int32_t(TPvlSPFilter&)> inFilter;
    int32_t constructed;
    int32_t other;
};

std::vector<TProperty> Properties()
{
    using P = TParvoluxSoundProcessor;
    using F = TPvlSPFilter;
    return {
        {"EqualizerEnabled", [](P& p) { return p.EqualizerEnabled(); }, [](P& p, int32_t v) { p.SetEqualizerEnabled(v); },
         [](F& f) { return static_cast<int32_t>(f.Chain().EqualizerEnabled); }, 0, 1},
        {"AmplifyEnabled", [](P& p) { return p.AmplifyEnabled(); }, [](P& p, int32_t v) { p.SetAmplifyEnabled(v); },
         [](F& f) { return static_cast<int32_t>(f.Chain().AmplifyEnabled); }, 0, 1},
        {"Amplify", [](P& p) { return p.Amplify(); }, [](P& p, int32_t v) { p.SetAmplify(v); },
         [](F& f) { return static_cast<int32_t>(f.Chain().Amplify[0]); }, 10000, 15000},
        {"DynamicAmplifyEnabled", [](P& p) { return p.DynamicAmplifyEnabled(); }, [](P& p, int32_t v) { p.SetDynamicAmplifyEnabled(v); },
         [](F& f) { return static_cast<int32_t>(f.Chain().DynamicAmplifyEnabled); }, 0, 1},
        {"DynamicMaxAmplify", [](P& p) { return p.DynamicMaxAmplify(); }, [](P& p, int32_t v) { p.SetDynamicMaxAmplify(v); },
         [](F& f) { return static_cast<int32_t>(f.Chain().DynamicMaxAmplify); }, 0, 4000},
        {"DynamicAttackTime", [](P& p) { return p.DynamicAttackTime(); }, [](P& p, int32_t v) { p.SetDynamicAttackTime(v); },
         [](F& f) { return static_cast<int32_t>(f.Chain().DynamicAttackTime); }, 0, 1500},
        {"DynamicReleaseTime", [](P& p) { return p.DynamicReleaseTime(); }, [](P& p, int32_t v) { p.SetDynamicReleaseTime(v); },
         [](F& f) { return static_cast<int32_t>(f.Chain().DynamicReleaseTime); }, 0, 2500},
        {"DelayEnabled", [](P& p) { return p.DelayEnabled(); }, [](P& p, int32_t v) { p.SetDelayEnabled(v); },
         [](F& f) { return static_cast<int32_t>(f.DelayEnabled); }, 0, 1},
        {"Delay", [](P& p) { return p.Delay(); }, [](P& p, int32_t v) { p.SetDelay(v); }, [](F& f) { return static_cast<int32_t>(f.Delay); }, 0, 350},
        {"Sound3DEnabled", [](P& p) { return p.Sound3DEnabled(); }, [](P& p, int32_t v) { p.SetSound3DEnabled(v); },
         [](F& f) { return static_cast<int32_t>(f.Chain().Sound3DEnabled); }, 0, 1},
        {"Sound3DVolume", [](P& p) { return p.Sound3DVolume(); }, [](P& p, int32_t v) { p.SetSound3DVolume(v); },
         [](F& f) { return static_cast<int32_t>(f.Chain().Sound3DVolume); }, 0, 1526},
    };
}

}  // namespace

TEST(ParvoluxSoundProcessor, MakesItsFilterWithBothPins)
{
    TComInit com;
    const long before = TPvlSPFilter::InstanceCount();
    {
        TParvoluxSoundProcessor processor(nullptr);
        ASSERT_NE(processor.Filter(), nullptr);
        EXPECT_EQ(TPvlSPFilter::InstanceCount(), before + 1);
        EXPECT_EQ(FilterOf(processor)->ObjectName(), L"Parvolux Sound Processor Filter");
        PIN_DIRECTION direction;
        ASSERT_NE(processor.InputPin(), nullptr);
        processor.InputPin()->QueryDirection(&direction);
        EXPECT_EQ(direction, PINDIR_INPUT);
        ASSERT_NE(processor.OutputPin(), nullptr);
        processor.OutputPin()->QueryDirection(&direction);
        EXPECT_EQ(direction, PINDIR_OUTPUT);
        // The component answers for the filter's interfaces.
        ComPtr<IPvlSPVisualInterface> visual;
        EXPECT_EQ(processor.QueryInterface(IID_PPV_ARGS(&visual)), S_OK);
        EXPECT_FALSE(processor.VisualEnabled());
        EXPECT_EQ(processor.VisualInterval(), 25);
        EXPECT_FALSE(processor.Timer()->Enabled());
        EXPECT_EQ(processor.Timer()->Interval(), 25u);
        EXPECT_EQ(std::count(processor.GainTable().begin(), processor.GainTable().end(), 2.0f), EQGainTableSize);
    }
    EXPECT_EQ(TPvlSPFilter::InstanceCount(), before);
}

TEST(ParvoluxSoundProcessor, PropertiesGoThroughTheFilter)
{
    TComInit com;
    TParvoluxSoundProcessor processor(nullptr);
    TPvlSPFilter& filter = *FilterOf(processor);
    for (const TProperty& p : Properties()) {
        SCOPED_TRACE(p.name);
        // The getter answers the filter's value, whatever the constructor cached.
        EXPECT_EQ(p.get(processor), p.inFilter(filter));
        p.set(processor, p.other);
        EXPECT_EQ(p.inFilter(filter), p.other);
        EXPECT_EQ(p.get(processor), p.other);
    }
    // The filter's own defaults show through the component's zero: dynamic amplification
    // switched on right away reaches up to ×10.
    TParvoluxSoundProcessor fresh(nullptr);
    EXPECT_EQ(fresh.DynamicMaxAmplify(), 10000);
    EXPECT_EQ(fresh.DynamicAttackTime(), 1000);
    EXPECT_EQ(fresh.DynamicReleaseTime(), 3000);
    EXPECT_EQ(fresh.DynamicCurrentGain(), 0);
    fresh.SetDynamicAmplifyEnabled(true);
    EXPECT_EQ(fresh.DynamicCurrentGain(), 1000);
}

TEST(ParvoluxSoundProcessor, DesignedComponentKeepsItsValuesWithoutAFilter)
{
    TComInit com;
    TComponent owner;
    owner.SetDesigning(true);
    auto* processor = NewComponent<TParvoluxSoundProcessor>(&owner);
    ASSERT_EQ(processor->Filter(), nullptr);
    EXPECT_EQ(processor->InputPin(), nullptr);
    for (const TProperty& p : Properties()) {
        SCOPED_TRACE(p.name);
        EXPECT_EQ(p.get(*processor), p.constructed);
        p.set(*processor, p.other);
        EXPECT_EQ(p.get(*processor), p.other);
    }
    EXPECT_EQ(processor->DynamicCurrentGain(), 0);
    EXPECT_EQ(processor->RemoveFilterFromGraph(), S_FALSE);
    processor->SetEqualizerBand(2, 30);  // only the component's table
    EXPECT_NEAR(processor->GainTable()[10], 2.0 * std::pow(10.0, 0.3), 1e-5);
    ComPtr<IPvlSPVisualInterface> visual;
    EXPECT_EQ(processor->QueryInterface(IID_PPV_ARGS(&visual)), E_NOINTERFACE);

    // The timer still fires, with no data and a description that carries none.
    int fired = 0;
    processor->SetOnVisualData([&](TObject* sender, void* buffer, int32_t size, PDSStream stream) {
        ++fired;
        EXPECT_EQ(sender, processor->Timer());
        EXPECT_EQ(buffer, nullptr);
        EXPECT_EQ(size, 0);
        ASSERT_NE(stream, nullptr);
        EXPECT_EQ(*stream, TDSStream{});
    });
    processor->SetVisualInterval(15);
    processor->SetVisualEnabled(true);
    EXPECT_TRUE(WaitFor([&] { return fired >= 2; }, 2000));
}

TEST(ParvoluxSoundProcessor, VisualSettingsTouchTheTimerOnlyWhenTheyChange)
{
    TComInit com;
    TParvoluxSoundProcessor processor(nullptr);
    processor.Timer()->SetEnabled(true);
    processor.SetVisualEnabled(false);  // already false: the timer is left alone
    EXPECT_TRUE(processor.Timer()->Enabled());
    processor.SetVisualEnabled(true);
    processor.SetVisualEnabled(false);
    EXPECT_FALSE(processor.Timer()->Enabled());
    processor.Timer()->SetInterval(99);
    processor.SetVisualInterval(25);
    EXPECT_EQ(processor.Timer()->Interval(), 99u);
    processor.SetVisualInterval(30);
    EXPECT_EQ(processor.Timer()->Interval(), 30u);
    EXPECT_EQ(processor.VisualInterval(), 30);
}

TEST(ParvoluxSoundProcessor, EqualizerBandsReachTheFilter)
{
    TComInit com;
    TParvoluxSoundProcessor processor(nullptr);
    ComPtr<IPvlSPEqualizerInterface> equalizer;
    ASSERT_EQ(processor.Filter()->QueryInterface(IID_PPV_ARGS(&equalizer)), S_OK);
    std::vector<float> inFilter(EQGainTableSize);

    processor.SetEqualizerBand(4, -50);
    const auto& table = processor.GainTable();
    for (int row = 0; row < EQGainRows; ++row) {
        EXPECT_NEAR(table[row * EQGainBins + 29], 0.632456, 1e-5);
        EXPECT_NEAR(table[row * EQGainBins + 47], 0.632456, 1e-5);
        EXPECT_EQ(table[row * EQGainBins + 28], 2.0f);
        EXPECT_EQ(table[row * EQGainBins + 48], 2.0f);
    }
    equalizer->GetGainTable(inFilter.data());
    EXPECT_EQ(inFilter, table);

    const std::vector<float> kept = table;
    processor.SetEqualizerBand(10, 50);
    processor.SetEqualizerBand(-1, 50);
    EXPECT_EQ(processor.GainTable(), kept);
    equalizer->GetGainTable(inFilter.data());
    EXPECT_EQ(inFilter, kept);
}

TEST(ParvoluxSoundProcessor, CallbacksBecomeEventsAndBlocksKeepTheirLength)
{
    TComInit com;
    std::vector<TTestSample> samples;
    for (int i = 0; i < 4; ++i)
        samples.push_back(TimedSample(std::vector<uint8_t>(4096, static_cast<uint8_t>(i)), i * 232199LL, (i + 1) * 232199LL));
    for (const bool withHandler : {true, false}) {
        SCOPED_TRACE(withHandler);
        TParvoluxSoundProcessor processor(nullptr);
        int changes = 0, blocks = 0, flushes = 0;
        TDSStream reported{};
        processor.SetOnMediaTypeChange([&](TObject* sender, PDSStream stream) {
            EXPECT_EQ(sender, &processor);
            reported = *stream;
            ++changes;
        });
        processor.SetOnFilterFlush([&](TObject* sender) {
            EXPECT_EQ(sender, &processor);
            ++flushes;
        });
        if (withHandler)
            processor.SetOnPCMDataCallBack([&](TObject* sender, void*, int32_t length, int32_t& newSize, PDSStream) {
                EXPECT_EQ(sender, &processor);
                EXPECT_EQ(newSize, length);
                ++blocks;
            });
        auto source = NewComObject<TTestSource>(*AudioType(32000, 2, 16).Get(), samples, TTestSourceOptions{.Manual = true});
        auto sink = NewComObject<TTestSink>();
        auto graph = NewGraph();
        ASSERT_EQ(AddAndConnect(graph.Get(), {{source.Get(), L"Source"}, {processor.Filter(), L"Sound processor"}, {sink.Get(), L"Sink"}}), S_OK);
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(reported.Frequency, 32000);
        EXPECT_EQ(processor.Stream().Frequency, 32000);
        EXPECT_EQ(processor.Stream().Channels, 2);
        ComPtr<IMediaControl> control;
        graph.As(&control);
        ASSERT_TRUE(SUCCEEDED(control->Run()));
        for (const auto& sample : samples)
            ASSERT_EQ(source->Send(sample), S_OK);
        ASSERT_EQ(source->SendBeginFlush(), S_OK);
        ASSERT_EQ(source->SendEndFlush(), S_OK);
        control->Stop();
        EXPECT_EQ(flushes, 1);
        EXPECT_EQ(blocks, withHandler ? 4 : 0);
        EXPECT_EQ(sink->AllData().size(), 4u * 4096);
        processor.RemoveFilterFromGraph();
    }
}

TEST(ParvoluxSoundProcessor, VisualTimerHandsOnThePlayingBlock)
{
    TComInit com;
    TTempDir dir;
    const std::string wav = dir.File("tone.wav");
    WriteWav(wav, TWavSpec{.Seconds = 3}, Sine(440, 0.5, 44100));
    TParvoluxSoundProcessor processor(nullptr);
    int withData = 0;
    TObject* from = nullptr;
    processor.SetOnVisualData([&](TObject* sender, void* buffer, int32_t size, PDSStream stream) {
        from = sender;
        if (buffer && size == 16384 * 4 && stream->Frequency == 44100)
            ++withData;
    });
    auto graph = NewGraph();
    ASSERT_EQ(RenderWavThrough(graph.Get(), wav, processor.Filter(), processor.InputPin(), processor.OutputPin(), CLSID_DSoundRender), S_OK);
    processor.SetVisualInterval(30);
    processor.SetVisualEnabled(true);
    ComPtr<IMediaControl> control;
    graph.As(&control);
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    EXPECT_TRUE(WaitFor([&] { return withData >= 3; }, 3000));
    EXPECT_EQ(from, processor.Timer());
    control->Stop();
    processor.SetVisualEnabled(false);
    // Leaving the graph keeps no reference to it: a kept one would hold the whole graph,
    // its file and its threads after the engine lets the file go.
    const ULONG graphRefs = RefCount(graph.Get());
    processor.RemoveFilterFromGraph();
    EXPECT_EQ(RefCount(graph.Get()), graphRefs);
}

TEST(ParvoluxSoundProcessor, RemoveFilterFromGraphFreesItForTheNextGraph)
{
    TComInit com;
    TTempDir dir;
    const std::string wav = dir.File("tone.wav");
    WriteWav(wav, TWavSpec{.Seconds = 0.3}, Sine(440, 0.5, 44100));
    TParvoluxSoundProcessor processor(nullptr);
    IGraphFilterComponent& asTheEngineSeesIt = processor;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        auto graph = NewGraph();
        ASSERT_EQ(RenderWavThrough(graph.Get(), wav, processor.Filter(), processor.InputPin(), processor.OutputPin(), CLSID_NullRendererFilter),
                  S_OK);
        EXPECT_EQ(RunUntilComplete(graph.Get(), 10000), EC_COMPLETE);
        ComPtr<IPin> upstream, downstream;
        ASSERT_EQ(processor.InputPin()->ConnectedTo(&upstream), S_OK);
        ASSERT_EQ(processor.OutputPin()->ConnectedTo(&downstream), S_OK);

        EXPECT_EQ(asTheEngineSeesIt.RemoveFilterFromGraph(), S_OK);
        EXPECT_EQ(FilterNames(graph.Get()).find(L"Sound processor"), std::wstring::npos);
        ComPtr<IPin> peer;
        EXPECT_EQ(upstream->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
        EXPECT_EQ(downstream->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
        EXPECT_EQ(processor.InputPin()->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
    }
    // Outside a graph there is nothing to take out.
    FILTER_INFO info{};
    ASSERT_EQ(processor.Filter()->QueryFilterInfo(&info), S_OK);
    EXPECT_EQ(info.pGraph, nullptr);
}

TEST(ParvoluxSoundProcessor, DestructionTakesTheFilterOutOfItsGraph)
{
    TComInit com;
    auto graph = NewGraph();
    const long before = TPvlSPFilter::InstanceCount();
    {
        TParvoluxSoundProcessor processor(nullptr);
        ASSERT_EQ(graph->AddFilter(processor.Filter(), L"Sound processor"), S_OK);
    }
    EXPECT_EQ(FilterNames(graph.Get()), L"");
    EXPECT_EQ(TPvlSPFilter::InstanceCount(), before);
}
