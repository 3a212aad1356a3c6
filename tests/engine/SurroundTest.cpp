// The two surround-effect controls against DMO doubles registered under the effects' class
// ids and hosted by Wine's DMO Wrapper Filter, and without any effect.
#include "engine/SRS_CircleSurroundII.h"
#include "engine/SRS_TruSurroundXT.h"
#include "tests/engine/AudioChainFixture.h"
#include "tests/support/FilterValueCases.h"
#include "tests/support/SurroundEffectDoubles.h"

#include <dmodshow.h>

#include <functional>

using namespace pvltest;

namespace {

enum TKind { kSwitch, kChoice, kLevel };

// One property of an effect control, in the property's own units (switches 0/1, choices by
// ordinal, levels as integers); it is set with `Value`, which the effect gets as `Sent`.
template <class TCntl>
struct TEffectProperty {
    const char* Name;
    int GetSlot;  // the set slot follows it
    TKind Kind;
    int Value;
    double Sent;
    std::function<void(TCntl&, int)> Set;
    std::function<int(TCntl&)> Get;
};

#define ACCESS(Cntl, Name, Type) \
    [](Cntl& c, int v) { c.Set##Name(static_cast<Type>(v)); }, [](Cntl& c) { return static_cast<int>(c.Name()); }

using CS = TSRS_CircleSurroundII;
using TS = TSRS_TruSurroundXT;

const std::vector<TEffectProperty<CS>> CSProperties = {
    {"PhantomCenterEnabled", 7, kSwitch, 1, -1, ACCESS(CS, PhantomCenterEnabled, bool)},
    {"FullBandWidthCenterEnabled", 11, kSwitch, 1, -1, ACCESS(CS, FullBandWidthCenterEnabled, bool)},
    {"Bypass", 17, kSwitch, 1, -1, ACCESS(CS, Bypass, bool)},
    {"TruBassFrontEnabled", 21, kSwitch, 1, -1, ACCESS(CS, TruBassFrontEnabled, bool)},
    {"TruBassSubwooferEnabled", 23, kSwitch, 1, -1, ACCESS(CS, TruBassSubwooferEnabled, bool)},
    {"TruBassLevel", 25, kLevel, 45, 0.45f, ACCESS(CS, TruBassLevel, int)},
    {"TruBassSpeakerType", 27, kChoice, 8, 8, ACCESS(CS, TruBassSpeakerType, TSRS_CS_SpeakerSize)},
    {"Mode", 29, kChoice, 2, 2, ACCESS(CS, Mode, TCSMode)},
    {"InputGain", 31, kLevel, 60, 0.6f, ACCESS(CS, InputGain, int)},
    {"FocusEnabled", 33, kSwitch, 1, -1, ACCESS(CS, FocusEnabled, bool)},
    {"FocusLevel", 35, kLevel, 25, 0.25f, ACCESS(CS, FocusLevel, int)},
    {"BypassType", 37, kChoice, 2, 2, ACCESS(CS, BypassType, TByPassMode)},
    {"RearCenterEnabled", 40, kSwitch, 1, -1, ACCESS(CS, RearCenterEnabled, bool)},
    {"RearCenterFullBandwidth", 42, kSwitch, 1, -1, ACCESS(CS, RearCenterFullBandwidth, bool)},
    {"TruSurroundOutput", 53, kChoice, 1, 1, ACCESS(CS, TruSurroundOutput, TCSOutputMode)},
};

const std::vector<TEffectProperty<TS>> TSProperties = {
    {"TruSurroundMode", 3, kChoice, 1, 1, ACCESS(TS, TruSurroundMode, TMode)},
    {"TruSurroundInputMode", 5, kChoice, 3, 3, ACCESS(TS, TruSurroundInputMode, TInputMode)},
    {"TruSurroundEnabled", 7, kSwitch, 0, 0, ACCESS(TS, TruSurroundEnabled, bool)},
    {"FocusEnabled", 9, kSwitch, 0, 0, ACCESS(TS, FocusEnabled, bool)},
    {"FocusLevel", 11, kLevel, 35, 0.35f, ACCESS(TS, FocusLevel, int)},
    {"TruBassSpeaker_Size", 13, kChoice, 7, 7, ACCESS(TS, TruBassSpeaker_Size, TSRS_TS_SpeakerSize)},
    {"TruBassLevel", 15, kLevel, 55, 0.55f, ACCESS(TS, TruBassLevel, int)},
    {"TruBassEnabled", 17, kSwitch, 0, 0, ACCESS(TS, TruBassEnabled, bool)},
    {"OutputGain", 21, kLevel, 450, 4.5f, ACCESS(TS, OutputGain, int)},
    {"HeadPhoneEnabled", 25, kSwitch, 1, -1, ACCESS(TS, HeadPhoneEnabled, bool)},
};

#undef ACCESS

// A value the effect reports, in its own units, and what the property then reads.
struct TReport {
    double Effect;
    int Property;
};

template <class TCntl>
TReport ReportFor(const TEffectProperty<TCntl>& p)
{
    switch (p.Kind) {
    case kSwitch: return p.Value ? TReport{0, 0} : TReport{5, 1};  // any non-zero value is on
    case kChoice: return p.Value ? TReport{0, 0} : TReport{1, 1};
    default: return TReport{0.125, 12};  // 12.5 rounds to the even 12
    }
}

std::vector<int> SetSlotsOf(const std::vector<TSlotCall>& calls)
{
    std::vector<int> slots;
    for (const auto& call : calls)
        slots.push_back(call.Slot);
    return slots;
}

std::vector<double> ArgsOf(const std::vector<TSlotCall>& calls)
{
    std::vector<double> args;
    for (const auto& call : calls)
        args.push_back(call.Args.empty() ? 0 : call.Args[0]);
    return args;
}

// The order ApplyCachedSettings sends the settings in.
const std::vector<int> CSApplyOrder = {18, 38, 54, 30, 41, 43, 8, 12, 32, 22, 24, 28, 26, 34, 36};
const std::vector<int> TSApplyOrder = {22, 8, 26, 4, 6, 10, 12, 18, 14, 16};

template <class TCntl, class TDouble>
void CheckPropertiesAgainstEffect(const std::vector<TEffectProperty<TCntl>>& properties)
{
    TDouble effect;
    ASSERT_EQ(effect.Result(), S_OK);
    TCntl control(nullptr);
    ASSERT_TRUE(control.IsFilterPresent());
    for (const auto& p : properties) {
        effect.Calls().Clear();
        p.Set(control, p.Value);
        EXPECT_EQ(effect.Calls().Calls(), (std::vector<TSlotCall>{{p.GetSlot + 1, {p.Sent}}})) << p.Name;

        const TReport report = ReportFor(p);
        effect.State().Values[p.GetSlot] = report.Effect;
        effect.Calls().Clear();
        EXPECT_EQ(p.Get(control), report.Property) << p.Name;
        EXPECT_EQ(effect.Calls().Slots(), std::vector<int>{p.GetSlot}) << p.Name;

        // A failing read leaves what the last one cached.
        effect.Calls().FailSlot(p.GetSlot);
        effect.State().Values[p.GetSlot] = p.Value;
        EXPECT_EQ(p.Get(control), report.Property) << p.Name;
    }
}

template <class TCntl>
void CheckPropertiesWithoutEffect(const std::vector<TEffectProperty<TCntl>>& properties)
{
    TCntl control(nullptr);
    ASSERT_FALSE(control.IsFilterPresent());
    EXPECT_EQ(control.Effect(), nullptr);
    for (const auto& p : properties) {
        p.Set(control, p.Value);
        EXPECT_EQ(p.Get(control), p.Value) << p.Name;
    }
}

class SurroundTest : public ::testing::Test {
protected:
    TComInit Com;
};

}  // namespace

TEST_F(SurroundTest, WithoutEffectPropertiesAnswerFromTheirCaches)
{
    CheckPropertiesWithoutEffect(CSProperties);
    CheckPropertiesWithoutEffect(TSProperties);
}

TEST_F(SurroundTest, CircleSurroundPropertiesGoToTheirSlotsAndReadTheEffectsValue)
{
    CheckPropertiesAgainstEffect<CS, TCircleSurroundDouble>(CSProperties);
}

TEST_F(SurroundTest, TruSurroundPropertiesGoToTheirSlotsAndReadTheEffectsValue)
{
    CheckPropertiesAgainstEffect<TS, TTruSurroundDouble>(TSProperties);
}

TEST_F(SurroundTest, NewControlsStartWithTheirInitialCaches)
{
    TS ts(nullptr);
    EXPECT_TRUE(ts.TruSurroundEnabled());
    EXPECT_TRUE(ts.FocusEnabled());
    EXPECT_TRUE(ts.TruBassEnabled());
    EXPECT_EQ(ts.TruBassLevel(), 80);
    EXPECT_EQ(ts.OutputGain(), 0);
    EXPECT_FALSE(ts.HeadPhoneEnabled());
    CS cs(nullptr);
    for (const auto& p : CSProperties)
        EXPECT_EQ(p.Get(cs), 0) << p.Name;
}

TEST_F(SurroundTest, CreatingTheEffectSendsTheCachesInTheApplyOrder)
{
    TCircleSurroundDouble csEffect;
    TTruSurroundDouble tsEffect;
    CS cs(nullptr);
    TS ts(nullptr);
    ASSERT_TRUE(cs.IsFilterPresent());
    ASSERT_TRUE(ts.IsFilterPresent());
    EXPECT_EQ(SetSlotsOf(csEffect.Calls().Calls()), CSApplyOrder);
    EXPECT_EQ(ArgsOf(csEffect.Calls().Calls()), std::vector<double>(CSApplyOrder.size(), 0.0));
    EXPECT_EQ(SetSlotsOf(tsEffect.Calls().Calls()), TSApplyOrder);
    EXPECT_EQ(ArgsOf(tsEffect.Calls().Calls()), (std::vector<double>{0, -1, 0, 0, 0, -1, 0, -1, 0, 0.8f}));

    // Applying again sends the current caches in the same order.
    tsEffect.Calls().Clear();
    ts.SetOutputGain(300);
    ts.SetTruBassSpeaker_Size(TSRS_TS_SpeakerSize::spLFResponse100Hz);
    tsEffect.Calls().Clear();
    ts.ApplyCachedSettings();
    EXPECT_EQ(SetSlotsOf(tsEffect.Calls().Calls()), TSApplyOrder);
    EXPECT_EQ(ArgsOf(tsEffect.Calls().Calls()), (std::vector<double>{3.0f, -1, 0, 0, 0, -1, 0, -1, 2, 0.8f}));
}

TEST_F(SurroundTest, StoredPropertiesReachTheEffectThroughTheSetters)
{
    TCircleSurroundDouble csEffect;
    TTruSurroundDouble tsEffect;
    CS cs(nullptr);
    TS ts(nullptr);
    csEffect.Calls().Clear();
    tsEffect.Calls().Clear();
    cs.ReadStoredProperties();
    ts.ReadStoredProperties();
    // CircleSurround stores only some of its properties.
    EXPECT_EQ(SetSlotsOf(csEffect.Calls().Calls()), (std::vector<int>{12, 22, 28, 32, 34, 41, 54}));
    EXPECT_EQ(SetSlotsOf(tsEffect.Calls().Calls()), (std::vector<int>{4, 6, 8, 10, 12, 14, 16, 18, 22, 26}));
    EXPECT_EQ(ArgsOf(tsEffect.Calls().Calls()), (std::vector<double>{0, 0, -1, -1, 0, 0, 0.8f, -1, 5.0f, 0}));
    EXPECT_EQ(ts.OutputGain(), 500);
    EXPECT_EQ(ts.TruBassLevel(), 80);
}

TEST_F(SurroundTest, LevelsAreClampedWhereThePropertySays)
{
    struct Case {
        const char* Name;
        std::function<void(int)> Set;
        std::function<int()> Get;
        int Slot;
        int Value;
        int Cached;
        float Sent;
    };
    TCircleSurroundDouble csEffect;
    TTruSurroundDouble tsEffect;
    CS cs(nullptr);
    TS ts(nullptr);
    const Case cases[] = {
        {"OutputGain", [&](int v) { ts.SetOutputGain(v); }, [&] { return ts.OutputGain(); }, 22, 700, 600, 6.0f},
        {"OutputGain", [&](int v) { ts.SetOutputGain(v); }, [&] { return ts.OutputGain(); }, 22, -5, 0, 0.0f},
        {"TS FocusLevel", [&](int v) { ts.SetFocusLevel(v); }, [&] { return ts.FocusLevel(); }, 12, 101, 100, 1.0f},
        {"TS TruBassLevel", [&](int v) { ts.SetTruBassLevel(v); }, [&] { return ts.TruBassLevel(); }, 16, -1, 0, 0.0f},
        {"CS TruBassLevel", [&](int v) { cs.SetTruBassLevel(v); }, [&] { return cs.TruBassLevel(); }, 26, 250, 100, 1.0f},
        {"CS FocusLevel", [&](int v) { cs.SetFocusLevel(v); }, [&] { return cs.FocusLevel(); }, 36, -40, 0, 0.0f},
        // InputGain is cached as given; only what is sent is clamped.
        {"InputGain", [&](int v) { cs.SetInputGain(v); }, [&] { return cs.InputGain(); }, 32, 150, 150, 1.0f},
        {"InputGain", [&](int v) { cs.SetInputGain(v); }, [&] { return cs.InputGain(); }, 32, -20, -20, 0.0f},
    };
    for (const Case& c : cases) {
        auto& calls = c.Slot == 32 || c.Slot == 26 || c.Slot == 36 ? csEffect.Calls() : tsEffect.Calls();
        calls.Clear();
        c.Set(c.Value);
        EXPECT_EQ(calls.Calls(), (std::vector<TSlotCall>{{c.Slot, {c.Sent}}})) << c.Name << " " << c.Value;
        calls.FailSlot(c.Slot - 1);  // read the cache
        EXPECT_EQ(c.Get(), c.Cached) << c.Name << " " << c.Value;
    }
}

TEST_F(SurroundTest, WithoutEffectInputGainReadsBackUnclamped)
{
    CS cs(nullptr);
    cs.SetInputGain(150);
    EXPECT_EQ(cs.InputGain(), 150);
    TS ts(nullptr);
    ts.SetOutputGain(700);
    EXPECT_EQ(ts.OutputGain(), 600);
}

TEST_F(SurroundTest, ReadsAreScaledCappedAndCheckedAgainstTheChoices)
{
    TCircleSurroundDouble csEffect;
    TTruSurroundDouble tsEffect;
    CS cs(nullptr);
    TS ts(nullptr);
    csEffect.State().Values[35] = 1.3;  // CircleSurround's focus counts as 1.0 at most
    EXPECT_EQ(cs.FocusLevel(), 100);
    tsEffect.State().Values[11] = 1.3;
    EXPECT_EQ(ts.FocusLevel(), 130);
    // Levels come in single precision and round as every filter level does.
    for (const TLevelReadCase& c : LevelReadCases) {
        tsEffect.State().Values[21] = c.Reported;
        EXPECT_EQ(ts.OutputGain(), c.Level) << c.Reported;
    }

    // A choice outside its enumeration leaves the cache.
    cs.SetMode(TCSMode::mMusic);
    csEffect.State().Values[29] = 7;
    EXPECT_EQ(cs.Mode(), TCSMode::mMusic);
    csEffect.State().Values[29] = -1;
    EXPECT_EQ(cs.Mode(), TCSMode::mMusic);
    tsEffect.State().Values[13] = 8;
    EXPECT_EQ(ts.TruBassSpeaker_Size(), TSRS_TS_SpeakerSize::spLFResponse40Hz);
    csEffect.State().Values[27] = 8;
    EXPECT_EQ(cs.TruBassSpeakerType(), TSRS_CS_SpeakerSize::spLFResponse400Hz);
}

TEST_F(SurroundTest, EffectsAreAskedForThroughTheWrapperFilter)
{
    TCircleSurroundDouble csEffect;
    CS cs(nullptr);
    ASSERT_TRUE(cs.IsFilterPresent());
    EXPECT_EQ(csEffect.State().Instances, 1);
    ComPtr<IDMOWrapperFilter> wrapper;
    EXPECT_EQ(cs.QueryInterface(IID_PPV_ARGS(&wrapper)), S_OK);
    ComPtr<IMediaObject> dmo;
    EXPECT_EQ(cs.QueryInterface(IID_PPV_ARGS(&dmo)), S_OK);
    TS ts(nullptr);  // no TruSurround registered
    EXPECT_FALSE(ts.IsFilterPresent());
    EXPECT_FALSE(ts.IsInGraph());
    EXPECT_FALSE(ts.IsFilterConnected());
    EXPECT_EQ(ts.RemoveFilterFromGraph(), S_OK);
    EXPECT_EQ(ts.QueryInterface(IID_PPV_ARGS(&wrapper)), E_NOINTERFACE);
}

TEST_F(SurroundTest, EffectWithoutOutputLeavesTheControlWithoutFilter)
{
    TTruSurroundDouble tsEffect(TDmoBehaviour{.HasOutput = false});
    TS ts(nullptr);
    EXPECT_FALSE(ts.IsFilterPresent());
    EXPECT_EQ(tsEffect.State().Instances, 0);
    EXPECT_TRUE(tsEffect.Calls().Calls().empty());
}

TEST_F(SurroundTest, TruSurroundInAGraphIsInGraphConnectedAndLeavesIt)
{
    TTruSurroundDouble tsEffect;
    TS ts(nullptr);
    TAudioChain chain;
    ASSERT_TRUE(chain.Ready()) << FilterNames(chain.Graph.Get());
    EXPECT_FALSE(ts.IsInGraph());
    ASSERT_EQ(chain.Splice(ts.Filter(), ts.InputPin(), ts.OutputPin(), L"SRS TruSurround XT Filter"), S_OK);
    EXPECT_TRUE(ts.IsInGraph());
    EXPECT_TRUE(ts.IsFilterConnected());
    EXPECT_EQ(chain.Play(), EC_COMPLETE);
    EXPECT_GT(tsEffect.State().BytesProcessed, 40000);

    EXPECT_EQ(ts.RemoveFilterFromGraph(), S_OK);
    EXPECT_FALSE(ts.IsInGraph());
    EXPECT_FALSE(ts.IsFilterConnected());
    EXPECT_FALSE(InGraph(chain.Graph.Get(), ts.Filter()));
    EXPECT_FALSE(ConnectedPeer(chain.Upstream.Get()));
    EXPECT_FALSE(ConnectedPeer(chain.Downstream.Get()));
    EXPECT_TRUE(ts.IsFilterPresent());
}

TEST_F(SurroundTest, InsertSplicesCircleSurroundAndAppliesTheSettingsOnce)
{
    TCircleSurroundDouble csEffect;
    CS cs(nullptr);
    cs.SetFocusLevel(40);
    cs.SetBypass(true);
    TAudioChain chain;
    ASSERT_TRUE(chain.Ready());
    ASSERT_EQ(chain.Graph->AddFilter(cs.Filter(), L"SRS CircleSurround II Filter"), S_OK);
    EXPECT_TRUE(cs.IsInGraph());
    EXPECT_FALSE(cs.IsFilterConnected());
    csEffect.Calls().Clear();

    const ULONG graphRefs = RefCount(chain.Graph.Get());
    ASSERT_EQ(cs.InsertFilterIntoAudioChain(chain.Upstream.Get(), chain.Downstream.Get()), S_OK);
    EXPECT_EQ(RefCount(chain.Graph.Get()), graphRefs);  // a kept reference would keep the graph alive
    EXPECT_TRUE(IsConnectedTo(chain.Upstream.Get(), cs.InputPin()));
    EXPECT_TRUE(IsConnectedTo(cs.OutputPin(), chain.Downstream.Get()));
    EXPECT_TRUE(cs.IsFilterConnected());
    std::vector<int> expected = {3};
    expected.insert(expected.end(), CSApplyOrder.begin(), CSApplyOrder.end());
    EXPECT_EQ(csEffect.Calls().Slots(), expected);
    EXPECT_EQ(csEffect.Calls().CallsTo(18)[0].Args, std::vector<double>{-1});
    EXPECT_EQ(csEffect.Calls().CallsTo(36)[0].Args, std::vector<double>{0.4f});

    EXPECT_EQ(chain.Play(), EC_COMPLETE);
    EXPECT_GT(csEffect.State().BytesProcessed, 40000);
}

TEST_F(SurroundTest, RefusedInsertRestoresTheOriginalConnection)
{
    struct Case {
        const char* Name;
        TDmoBehaviour Behaviour;
        bool Prepared;  // the effect was told of the insertion before the splice failed
    };
    const Case cases[] = {
        {"effect refuses the format when asked", {.RefuseInput = true}, false},
        {"effect refuses the format when connected", {.RefuseInputWhenSet = true}, true},
        {"downstream refuses the effect's output", {.UnplayableOutput = true}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TCircleSurroundDouble csEffect(c.Behaviour);
        CS cs(nullptr);
        ASSERT_TRUE(cs.IsFilterPresent());
        TAudioChain chain;
        ASSERT_TRUE(chain.Ready());
        ASSERT_EQ(chain.Graph->AddFilter(cs.Filter(), L"SRS CircleSurround II Filter"), S_OK);
        csEffect.Calls().Clear();

        const ULONG graphRefs = RefCount(chain.Graph.Get());
        EXPECT_EQ(cs.InsertFilterIntoAudioChain(chain.Upstream.Get(), chain.Downstream.Get()), E_FAIL);
        EXPECT_EQ(RefCount(chain.Graph.Get()), graphRefs);
        EXPECT_TRUE(chain.Original());
        EXPECT_FALSE(ConnectedPeer(cs.InputPin()));
        EXPECT_FALSE(ConnectedPeer(cs.OutputPin()));
        EXPECT_FALSE(cs.IsFilterConnected());
        EXPECT_EQ(csEffect.Calls().Slots(), c.Prepared ? std::vector<int>{3} : std::vector<int>{});
        // The stream still plays, without the effect.
        EXPECT_EQ(chain.Play(), EC_COMPLETE);
        EXPECT_EQ(csEffect.State().BytesProcessed, 0);
    }
}

TEST_F(SurroundTest, InsertNeedsTheEffectInAGraphAndAConnectedUpstreamPin)
{
    TCircleSurroundDouble csEffect;
    CS cs(nullptr);
    TAudioChain chain;
    ASSERT_TRUE(chain.Ready());
    // Not in the graph.
    EXPECT_EQ(cs.InsertFilterIntoAudioChain(chain.Upstream.Get(), chain.Downstream.Get()), E_FAIL);
    EXPECT_TRUE(chain.Original());
    // An upstream pin with no connection has no format to offer.
    ASSERT_EQ(chain.Graph->AddFilter(cs.Filter(), L"SRS CircleSurround II Filter"), S_OK);
    chain.Upstream->Disconnect();
    chain.Downstream->Disconnect();
    EXPECT_EQ(cs.InsertFilterIntoAudioChain(chain.Upstream.Get(), chain.Downstream.Get()), E_FAIL);
    EXPECT_FALSE(ConnectedPeer(chain.Upstream.Get()));
    // No pins at all.
    EXPECT_EQ(cs.InsertFilterIntoAudioChain(nullptr, nullptr), E_FAIL);
}

TEST_F(SurroundTest, InsertWithoutEffectFails)
{
    CS cs(nullptr);
    TAudioChain chain;
    ASSERT_TRUE(chain.Ready());
    EXPECT_EQ(cs.InsertFilterIntoAudioChain(chain.Upstream.Get(), chain.Downstream.Get()), E_FAIL);
    EXPECT_TRUE(chain.Original());
}
