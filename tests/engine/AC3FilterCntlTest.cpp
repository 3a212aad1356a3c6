// The AC3 decoder control against a double of the decoder registered under its class id,
// and without any decoder.
#include "engine/AC3FilterCntl.h"
#include "tests/engine/AudioChainFixture.h"
#include "tests/support/AC3DecoderDouble.h"
#include "tests/support/FilterValueCases.h"

#include <cmath>
#include <functional>

using namespace pvltest;

namespace {

// One property of the control: how to set and read it, its slots, and the decoder's value
// in the property's own units.
struct TAC3Property {
    const char* Name;
    int GetSlot;
    int SetSlot;
    bool SharedCall;  // the set call carries the whole group, read first
    int Value;        // a value other than the control's initial one
    std::function<void(TAC3FilterCntl&, int)> Set;
    std::function<int(TAC3FilterCntl&)> Get;
    std::function<int(const TAC3DecoderState&)> Held;
    std::function<void(TAC3DecoderState&, int)> Report;
};

template <class T>
std::function<int(const TAC3DecoderState&)> HeldFlag(T TAC3DecoderState::*field)
{
    return [field](const TAC3DecoderState& s) { return s.*field ? 1 : 0; };
}
template <class T>
std::function<void(TAC3DecoderState&, int)> ReportFlag(T TAC3DecoderState::*field)
{
    return [field](TAC3DecoderState& s, int v) { s.*field = static_cast<T>(v); };
}
std::function<int(const TAC3DecoderState&)> HeldLevel(double TAC3DecoderState::*field)
{
    return [field](const TAC3DecoderState& s) { return static_cast<int>(std::lround(s.*field * 100)); };
}
std::function<void(TAC3DecoderState&, int)> ReportLevel(double TAC3DecoderState::*field)
{
    return [field](TAC3DecoderState& s, int v) { s.*field = v / 100.0; };
}

#define PROPERTY_ACCESS(expr, Setter, Getter) \
    [](TAC3FilterCntl& c, int v) { c.expr Setter(v); }, [](TAC3FilterCntl& c) { return int(c.expr Getter()); }

const std::vector<TAC3Property>& Properties()
{
    static const std::vector<TAC3Property> properties = {
        {"Timing.Generate_TimeStamp", 5, 6, true, 1, PROPERTY_ACCESS(Timing()., SetGenerate_TimeStamp, Generate_TimeStamp),
         HeldFlag(&TAC3DecoderState::GenerateTimeStamps), ReportFlag(&TAC3DecoderState::GenerateTimeStamps)},
        {"Timing.Time_Shift", 5, 6, true, -1234, PROPERTY_ACCESS(Timing()., SetTime_Shift, Time_Shift),
         [](const TAC3DecoderState& s) { return int(s.TimeShift); }, [](TAC3DecoderState& s, int v) { s.TimeShift = v; }},
        {"Use_WAVEFORMATEXTENSIBLE", 7, 8, false, 1, PROPERTY_ACCESS(, SetUse_WAVEFORMATEXTENSIBLE, Use_WAVEFORMATEXTENSIBLE),
         HeldFlag(&TAC3DecoderState::UseWaveFormatExtensible), ReportFlag(&TAC3DecoderState::UseWaveFormatExtensible)},
        {"Jitter.Enable", 9, 10, true, 1, PROPERTY_ACCESS(Jitter()., SetEnable, Enable),
         HeldFlag(&TAC3DecoderState::JitterEnable), ReportFlag(&TAC3DecoderState::JitterEnable)},
        {"Gains.Master", 14, 15, false, 230, PROPERTY_ACCESS(Gains()., SetMaster, Master),
         HeldLevel(&TAC3DecoderState::MasterGain), ReportLevel(&TAC3DecoderState::MasterGain)},
        {"Gains.LFE", 16, 17, true, 120, PROPERTY_ACCESS(Gains()., SetLFE, LFE),
         HeldLevel(&TAC3DecoderState::LFEGain), ReportLevel(&TAC3DecoderState::LFEGain)},
        {"Gains.Voice", 16, 17, true, 75, PROPERTY_ACCESS(Gains()., SetVoice, Voice),
         HeldLevel(&TAC3DecoderState::VoiceGain), ReportLevel(&TAC3DecoderState::VoiceGain)},
        {"Gains.Surround", 16, 17, true, 310, PROPERTY_ACCESS(Gains()., SetSurround, Surround),
         HeldLevel(&TAC3DecoderState::SurroundGain), ReportLevel(&TAC3DecoderState::SurroundGain)},
        {"Gains.LFE_Locked", 18, 19, true, 1, PROPERTY_ACCESS(Gains()., SetLFE_Locked, LFE_Locked),
         HeldFlag(&TAC3DecoderState::LFELocked), ReportFlag(&TAC3DecoderState::LFELocked)},
        {"Gains.Voice_Locked", 18, 19, true, 1, PROPERTY_ACCESS(Gains()., SetVoice_Locked, Voice_Locked),
         HeldFlag(&TAC3DecoderState::VoiceLocked), ReportFlag(&TAC3DecoderState::VoiceLocked)},
        {"Gains.Surround_Locked", 18, 19, true, 1, PROPERTY_ACCESS(Gains()., SetSurround_Locked, Surround_Locked),
         HeldFlag(&TAC3DecoderState::SurroundLocked), ReportFlag(&TAC3DecoderState::SurroundLocked)},
        {"Gains.AutoGain", 20, 21, false, 1, PROPERTY_ACCESS(Gains()., SetAutoGain, AutoGain),
         HeldFlag(&TAC3DecoderState::AutoGain), ReportFlag(&TAC3DecoderState::AutoGain)},
        {"Gains.Normalize", 22, 23, false, 1, PROPERTY_ACCESS(Gains()., SetNormalize, Normalize),
         HeldFlag(&TAC3DecoderState::Normalize), ReportFlag(&TAC3DecoderState::Normalize)},
        {"DynamicRangeCompression.Enable", 25, 26, true, 1, PROPERTY_ACCESS(DynamicRangeCompression()., SetEnable, Enable),
         HeldFlag(&TAC3DecoderState::DRCEnable), ReportFlag(&TAC3DecoderState::DRCEnable)},
        {"DynamicRangeCompression.Power", 25, 26, true, 150, PROPERTY_ACCESS(DynamicRangeCompression()., SetPower, Power),
         HeldLevel(&TAC3DecoderState::DRCPower), ReportLevel(&TAC3DecoderState::DRCPower)},
        {"Matrix.AutoMatrix", 29, 30, false, 1, PROPERTY_ACCESS(Matrix()., SetAutoMatrix, AutoMatrix),
         HeldFlag(&TAC3DecoderState::AutoMatrix), ReportFlag(&TAC3DecoderState::AutoMatrix)},
        {"Matrix.NormalizeMatrix", 31, 32, false, 1, PROPERTY_ACCESS(Matrix()., SetNormalizeMatrix, NormalizeMatrix),
         HeldFlag(&TAC3DecoderState::NormalizeMatrix), ReportFlag(&TAC3DecoderState::NormalizeMatrix)},
        {"Matrix.ExpandStereo", 33, 34, false, 1, PROPERTY_ACCESS(Matrix()., SetExpandStereo, ExpandStereo),
         HeldFlag(&TAC3DecoderState::ExpandStereo), ReportFlag(&TAC3DecoderState::ExpandStereo)},
        {"Matrix.VoiceControl", 35, 36, false, 1, PROPERTY_ACCESS(Matrix()., SetVoiceControl, VoiceControl),
         HeldFlag(&TAC3DecoderState::VoiceControl), ReportFlag(&TAC3DecoderState::VoiceControl)},
        {"Matrix.BassRedirection", 37, 38, false, 1, PROPERTY_ACCESS(Matrix()., SetBassRedirection, BassRedirection),
         HeldFlag(&TAC3DecoderState::BassRedirection), ReportFlag(&TAC3DecoderState::BassRedirection)},
        {"Delay.Enable", 39, 40, false, 1, PROPERTY_ACCESS(Delay()., SetEnable, Enable),
         HeldFlag(&TAC3DecoderState::DelayEnable), ReportFlag(&TAC3DecoderState::DelayEnable)},
        {"Delay.Delay", 41, 42, false, 250, PROPERTY_ACCESS(Delay()., SetDelay, Delay),
         [](const TAC3DecoderState& s) { return int(s.Delay); }, [](TAC3DecoderState& s, int v) { s.Delay = v; }},
        {"Equalizer.Enabled", 43, 44, false, 1, PROPERTY_ACCESS(Equalizer()., SetEnabled, Enabled),
         HeldFlag(&TAC3DecoderState::EqualizerEnabled), ReportFlag(&TAC3DecoderState::EqualizerEnabled)},
    };
    return properties;
}

#undef PROPERTY_ACCESS

struct TStoredValue {
    const char* Name;
    int Value;
};

// What the engine's module stores for the decoder.
const TStoredValue StoredValues[] = {
    {"Timing.Generate_TimeStamp", 1}, {"Timing.Time_Shift", 0}, {"Use_WAVEFORMATEXTENSIBLE", 1},
    {"Jitter.Enable", 0}, {"Gains.Master", 230}, {"Gains.LFE", 0}, {"Gains.Voice", 0}, {"Gains.Surround", 0},
    {"Gains.LFE_Locked", 1}, {"Gains.Voice_Locked", 1}, {"Gains.Surround_Locked", 1}, {"Gains.Normalize", 1},
    {"Gains.AutoGain", 0}, {"DynamicRangeCompression.Enable", 0}, {"DynamicRangeCompression.Power", 100},
    {"Matrix.AutoMatrix", 1}, {"Matrix.NormalizeMatrix", 1}, {"Matrix.ExpandStereo", 1}, {"Matrix.VoiceControl", 1},
    {"Matrix.BassRedirection", 1}, {"Delay.Enable", 0}, {"Delay.Delay", 0}, {"Equalizer.Enabled", 0},
};

const TAC3Property& Property(const std::string& name)
{
    for (const auto& property : Properties())
        if (name == property.Name)
            return property;
    throw std::invalid_argument(name);
}

std::vector<double> Words(const TAC3Speakers& s)
{
    std::vector<double> words = {double(s.Mode), double(s.Option), double(s.ChannelMask)};
    for (int32_t channel : s.ChannelOrder)
        words.push_back(channel);
    words.push_back(s.Spdif);
    words.push_back(0);
    return words;
}

class AC3FilterCntlTest : public ::testing::Test {
protected:
    TComInit Com;
};

}  // namespace

TEST_F(AC3FilterCntlTest, WithoutDecoderEveryPropertyAnswersFromItsCache)
{
    TAC3FilterCntl ac3(nullptr);
    ASSERT_FALSE(ac3.IsFilterPresent());
    for (const auto& property : Properties()) {
        property.Set(ac3, property.Value);
        EXPECT_EQ(property.Get(ac3), property.Value) << property.Name;
    }
    // Setting one member of a shared group leaves the others as they were.
    EXPECT_EQ(ac3.Gains().LFE(), 120);
    EXPECT_EQ(ac3.Gains().Surround(), 310);
}

TEST_F(AC3FilterCntlTest, StoredPropertiesAreWhatTheControlStartsWith)
{
    TAC3DecoderDouble decoder;
    ASSERT_EQ(decoder.Result(), S_OK);
    TAC3FilterCntl withDecoder(nullptr);
    ASSERT_TRUE(withDecoder.IsFilterPresent());
    withDecoder.ReadStoredProperties();
    for (const auto& stored : StoredValues) {
        const TAC3Property& property = Property(stored.Name);
        EXPECT_EQ(property.Held(decoder.State()), stored.Value) << stored.Name << " at the decoder";
        EXPECT_EQ(property.Get(withDecoder), stored.Value) << stored.Name;
    }
    EXPECT_DOUBLE_EQ(decoder.State().MasterGain, 2.3);
}

TEST_F(AC3FilterCntlTest, WithoutDecoderStoredPropertiesReadBack)
{
    TAC3FilterCntl ac3(nullptr);
    ASSERT_FALSE(ac3.IsFilterPresent());
    ac3.ReadStoredProperties();
    for (const auto& stored : StoredValues)
        EXPECT_EQ(Property(stored.Name).Get(ac3), stored.Value) << stored.Name;
}

TEST_F(AC3FilterCntlTest, CreatingTheDecoderPushesNoSettings)
{
    TAC3DecoderDouble decoder;
    TAC3FilterCntl ac3(nullptr);
    ASSERT_TRUE(ac3.IsFilterPresent());
    EXPECT_TRUE(decoder.Calls().Calls().empty());
    ComPtr<IBaseFilter> filter;
    EXPECT_EQ(ac3.QueryInterface(IID_PPV_ARGS(&filter)), S_OK);
    EXPECT_EQ(filter.Get(), ac3.Filter());
}

TEST_F(AC3FilterCntlTest, EachPropertyGoesToItsSlotAndReadsTheDecodersValue)
{
    TAC3DecoderDouble decoder;
    TAC3FilterCntl ac3(nullptr);
    ASSERT_TRUE(ac3.IsFilterPresent());
    for (const auto& property : Properties()) {
        decoder.Calls().Clear();
        property.Set(ac3, property.Value);
        EXPECT_EQ(property.Held(decoder.State()), property.Value) << property.Name;
        const std::vector<int> expected = property.SharedCall ? std::vector<int>{property.GetSlot, property.SetSlot}
                                                              : std::vector<int>{property.SetSlot};
        EXPECT_EQ(decoder.Calls().Slots(), expected) << property.Name;

        // A value the decoder reports replaces the cache ...
        const int reported = property.Value == 1 ? 0 : property.Value + 7;
        property.Report(decoder.State(), reported);
        decoder.Calls().Clear();
        EXPECT_EQ(property.Get(ac3), reported) << property.Name;
        EXPECT_EQ(decoder.Calls().Slots(), std::vector<int>{property.GetSlot}) << property.Name;
    }
    // ... and stays when a later read fails.
    for (const auto& property : Properties())
        decoder.Calls().FailSlot(property.GetSlot);
    for (const auto& property : Properties()) {
        const int reported = property.Value == 1 ? 0 : property.Value + 7;
        property.Report(decoder.State(), property.Value);
        EXPECT_EQ(property.Get(ac3), reported) << property.Name;
    }
}

TEST_F(AC3FilterCntlTest, LevelsGoOutDividedByHundredAndComeBackRounded)
{
    TAC3DecoderDouble decoder;
    TAC3FilterCntl ac3(nullptr);
    ac3.Gains().SetMaster(230);
    ASSERT_EQ(decoder.Calls().CallsTo(15).size(), 1u);
    EXPECT_DOUBLE_EQ(decoder.Calls().CallsTo(15)[0].Args[0], 2.3);
    for (const TLevelReadCase& c : LevelReadCases) {
        decoder.State().MasterGain = c.Reported;
        EXPECT_EQ(ac3.Gains().Master(), c.Level) << c.Reported;
    }
    // A value that is no level leaves the cache.
    const int32_t cached = ac3.Gains().Master();
    decoder.State().MasterGain = std::nan("");
    EXPECT_EQ(ac3.Gains().Master(), cached);
    ac3.DynamicRangeCompression().SetPower(80);
    EXPECT_DOUBLE_EQ(decoder.Calls().CallsTo(26).back().Args[1], 0.8);
}

TEST_F(AC3FilterCntlTest, SharedCallsResendTheOtherValuesTheDecoderReports)
{
    TAC3DecoderDouble decoder;
    TAC3FilterCntl ac3(nullptr);
    TAC3DecoderState& s = decoder.State();
    s.SurroundGain = 0.5;
    s.LFEGain = 1.0;
    ac3.Gains().SetVoice(80);
    EXPECT_EQ(decoder.Calls().CallsTo(17).back().Args, (std::vector<double>{0.5, 0.8, 1.0}));

    s.SurroundLocked = true;
    s.VoiceLocked = false;
    s.LFELocked = true;
    ac3.Gains().SetVoice_Locked(true);
    EXPECT_EQ(decoder.Calls().CallsTo(19).back().Args, (std::vector<double>{1, 1, 1}));
    ac3.Gains().SetSurround_Locked(false);
    EXPECT_EQ(decoder.Calls().CallsTo(19).back().Args, (std::vector<double>{0, 1, 1}));

    s.TimeShift = 40;
    ac3.Timing().SetGenerate_TimeStamp(true);
    EXPECT_EQ(decoder.Calls().CallsTo(6).back().Args, (std::vector<double>{1, 40}));
    ac3.Timing().SetTime_Shift(-20);
    EXPECT_EQ(decoder.Calls().CallsTo(6).back().Args, (std::vector<double>{1, -20}));

    s.DRCPower = 2.0;
    ac3.DynamicRangeCompression().SetEnable(true);
    EXPECT_EQ(decoder.Calls().CallsTo(26).back().Args, (std::vector<double>{1, 2.0}));

    ac3.Jitter().SetEnable(true);
    EXPECT_EQ(decoder.Calls().CallsTo(10).back().Args, (std::vector<double>{1}));
    ac3.Jitter().SetEnable(false);
    EXPECT_EQ(decoder.Calls().CallsTo(10).back().Args, (std::vector<double>{0}));
}

TEST_F(AC3FilterCntlTest, SharedCallIsNotSentWhenTheGroupCannotBeRead)
{
    TAC3DecoderDouble decoder;
    TAC3FilterCntl ac3(nullptr);
    for (int slot : {5, 9, 16, 18, 25})
        decoder.Calls().FailSlot(slot);
    ac3.Gains().SetVoice(80);
    ac3.Gains().SetLFE_Locked(true);
    ac3.Timing().SetTime_Shift(10);
    ac3.Jitter().SetEnable(true);
    ac3.DynamicRangeCompression().SetPower(50);
    for (int slot : {6, 10, 17, 19, 26})
        EXPECT_TRUE(decoder.Calls().CallsTo(slot).empty()) << "slot " << slot;
    // The caches hold the values all the same.
    EXPECT_EQ(ac3.Gains().Voice(), 80);
    EXPECT_TRUE(ac3.Gains().LFE_Locked());
    EXPECT_EQ(ac3.Timing().Time_Shift(), 10);
    EXPECT_TRUE(ac3.Jitter().Enable());
    EXPECT_EQ(ac3.DynamicRangeCompression().Power(), 50);
}

TEST_F(AC3FilterCntlTest, BooleansGoOutAsOneAndZero)
{
    TAC3DecoderDouble decoder;
    TAC3FilterCntl ac3(nullptr);
    ac3.Matrix().SetExpandStereo(true);
    ac3.Matrix().SetExpandStereo(false);
    ac3.SetUse_WAVEFORMATEXTENSIBLE(true);
    EXPECT_EQ(decoder.Calls().CallsTo(34)[0].Args, (std::vector<double>{1}));
    EXPECT_EQ(decoder.Calls().CallsTo(34)[1].Args, (std::vector<double>{0}));
    EXPECT_EQ(decoder.Calls().CallsTo(8)[0].Args, (std::vector<double>{1}));
}

TEST_F(AC3FilterCntlTest, SpeakerConfigurationFromTheSettingsReachesTheDecoder)
{
    TAC3DecoderDouble decoder;
    TAC3FilterCntl ac3(nullptr);
    EXPECT_EQ(ac3.Output().Speakers().Mode, 2);
    EXPECT_EQ(ac3.Output().Speakers().Spdif, 0);
    for (const TSpeakerSettingCase& c : SpeakerSettingCases) {
        // Mode, option, mask, the six channels, S/PDIF and a reserved zero.
        const TSpeakerLayoutCase& layout = SpeakerLayoutCase(c.Mode);
        std::vector<double> words = {double(c.Mode), 0, double(layout.Mask)};
        words.insert(words.end(), layout.Order.begin(), layout.Order.end());
        words.push_back(c.SpdifWord);
        words.push_back(0);
        ac3.Output().SetSpeakers(std::make_unique<TAC3Speakers>(AC3SpeakersForSettings(c.SpeakerType, c.Spdif)));
        ASSERT_FALSE(decoder.Calls().CallsTo(4).empty());
        EXPECT_EQ(decoder.Calls().CallsTo(4).back().Args, words) << "type " << c.SpeakerType << " spdif " << c.Spdif;
        EXPECT_EQ(Words(ac3.Output().Speakers()), words);
        EXPECT_EQ(decoder.State().Speakers.Mode, c.Mode);
    }
    // No configuration keeps the one in place and sends nothing.
    const size_t sent = decoder.Calls().CallsTo(4).size();
    const std::vector<double> inPlace = Words(ac3.Output().Speakers());
    ac3.Output().SetSpeakers(nullptr);
    EXPECT_EQ(Words(ac3.Output().Speakers()), inPlace);
    EXPECT_EQ(decoder.Calls().CallsTo(4).size(), sent);
}

TEST_F(AC3FilterCntlTest, WithoutDecoderSpeakersAreKept)
{
    TAC3FilterCntl ac3(nullptr);
    ac3.Output().SetSpeakers(std::make_unique<TAC3Speakers>(AC3SpeakersForSettings(4, false)));
    EXPECT_EQ(ac3.Output().Speakers().Mode, 14);
}

TEST_F(AC3FilterCntlTest, DecoderWithoutOutputPinIsReleasedAtCreation)
{
    TAC3DecoderDouble decoder(TDmoBehaviour{.HasOutput = false});
    {
        // The decoder such a class makes has an input pin and no output pin.
        ComPtr<IBaseFilter> filter;
        ASSERT_EQ(CoCreateInstance(CLSID_AC3Filter, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&filter)), S_OK);
        ComPtr<IEnumPins> pins;
        ASSERT_EQ(filter->EnumPins(&pins), S_OK);
        ComPtr<IPin> pin;
        int inputs = 0, outputs = 0;
        while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
            PIN_DIRECTION direction;
            pin->QueryDirection(&direction);
            (direction == PINDIR_INPUT ? inputs : outputs)++;
        }
        ASSERT_EQ(inputs, 1);
        ASSERT_EQ(outputs, 0);
    }
    TAC3FilterCntl ac3(nullptr);
    EXPECT_FALSE(ac3.IsFilterPresent());
    EXPECT_EQ(decoder.State().Instances, 0);
    EXPECT_EQ(ac3.Decoder(), nullptr);
    ac3.Gains().SetMaster(120);
    EXPECT_EQ(ac3.Gains().Master(), 120);
    EXPECT_TRUE(decoder.Calls().Calls().empty());
}

TEST_F(AC3FilterCntlTest, WithoutDecoderPinQueriesAnswerAsNotPresent)
{
    TAC3FilterCntl ac3(nullptr);
    AM_MEDIA_TYPE type{};
    EXPECT_EQ(ac3.GetInputMediaType(&type), E_POINTER);
    EXPECT_EQ(ac3.GetOutputMediaType(&type), E_POINTER);
    EXPECT_FALSE(ac3.IsFilterConnected());
    EXPECT_EQ(ac3.RemoveFilterFromGraph(), S_OK);
    ComPtr<IBaseFilter> filter;
    EXPECT_EQ(ac3.QueryInterface(IID_PPV_ARGS(&filter)), E_NOINTERFACE);
    EXPECT_FALSE(filter);
}

TEST_F(AC3FilterCntlTest, DecoderInAGraphIsConnectedPlaysAndLeavesTheGraph)
{
    TAC3DecoderDouble decoder;
    TAC3FilterCntl ac3(nullptr);
    ASSERT_TRUE(ac3.IsFilterPresent());
    EXPECT_EQ(ac3.RemoveFilterFromGraph(), S_OK);  // in no graph yet
    for (int round = 0; round < 2; ++round) {  // the instance serves one graph after another
        TAudioChain chain;
        ASSERT_TRUE(chain.Ready()) << FilterNames(chain.Graph.Get());
        EXPECT_FALSE(ac3.IsFilterConnected());
        ASSERT_EQ(chain.Splice(ac3.Filter(), ac3.InputPin(), ac3.OutputPin(), L"AC3Filter"), S_OK);
        EXPECT_TRUE(ac3.IsFilterConnected());

        AM_MEDIA_TYPE type{};
        ASSERT_EQ(ac3.GetInputMediaType(&type), S_OK);
        EXPECT_EQ(type.majortype, MEDIATYPE_Audio);
        EXPECT_EQ(type.subtype, MEDIASUBTYPE_PCM);
        ASSERT_GE(type.cbFormat, 16u);
        EXPECT_EQ(reinterpret_cast<WAVEFORMATEX*>(type.pbFormat)->nSamplesPerSec, 44100u);
        CoTaskMemFree(type.pbFormat);
        ASSERT_EQ(ac3.GetOutputMediaType(&type), S_OK);
        EXPECT_EQ(type.majortype, MEDIATYPE_Audio);
        CoTaskMemFree(type.pbFormat);

        const long long before = decoder.State().BytesProcessed;
        EXPECT_EQ(chain.Play(), EC_COMPLETE);
        EXPECT_GT(decoder.State().BytesProcessed, before + 40000);  // about half a second of 16-bit stereo

        EXPECT_EQ(ac3.RemoveFilterFromGraph(), S_OK);
        EXPECT_FALSE(InGraph(chain.Graph.Get(), ac3.Filter()));
        EXPECT_FALSE(ac3.IsFilterConnected());
        EXPECT_FALSE(ConnectedPeer(chain.Upstream.Get()));
        EXPECT_FALSE(ConnectedPeer(chain.Downstream.Get()));
        EXPECT_TRUE(ac3.IsFilterPresent());
    }
}
