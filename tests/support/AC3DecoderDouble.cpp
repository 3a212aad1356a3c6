#include "tests/support/AC3DecoderDouble.h"

#include "engine/ExternalFilterCntl.h"

#include <dmoreg.h>

namespace pvltest {

namespace {

// The DMO inside the wrapper; a class id of the tests' own.
constexpr GUID CLSID_AC3DecoderDmoDouble = {0x7C1E4B52, 0x0D3A, 0x4F6E, {0x8B, 0x21, 0x55, 0x9A, 0x13, 0xC4, 0x7E, 0x02}};

class TAC3DecoderDmo final : public TControlDmo<IAC3Filter> {
public:
    TAC3DecoderDmo(IUnknown* outer, const std::shared_ptr<TAC3DecoderState>& state)
        : TControlDmo(outer, state), S(*state)
    {
    }

    STDMETHODIMP Reserved3() override { return Log(3, {}); }
    STDMETHODIMP SetSpeakers(TAC3SpeakerWords speakers) override
    {
        const TAC3SpeakerWords& w = speakers;
        const HRESULT result = Log(4, {double(w.Mode), double(w.Option), double(w.ChannelMask), double(w.ChannelOrder[0]),
                                       double(w.ChannelOrder[1]), double(w.ChannelOrder[2]), double(w.ChannelOrder[3]),
                                       double(w.ChannelOrder[4]), double(w.ChannelOrder[5]), double(w.Spdif), double(w.Extra)});
        if (result == S_OK)
            S.Speakers = speakers;
        return result;
    }
    STDMETHODIMP GetTiming(TAC3Bool* generate, LONG* shift) override
    {
        return Answer(5, [&] { *generate = S.GenerateTimeStamps; *shift = S.TimeShift; }, generate, shift);
    }
    STDMETHODIMP SetTiming(TAC3Bool generate, LONG shift) override
    {
        return Take(6, {double(generate), double(shift)}, [&] { S.GenerateTimeStamps = generate != 0; S.TimeShift = shift; });
    }
    STDMETHODIMP GetUseWaveFormatExtensible(TAC3Bool* use) override { return GetFlag(7, use, S.UseWaveFormatExtensible); }
    STDMETHODIMP SetUseWaveFormatExtensible(TAC3Bool use) override { return SetFlag(8, use, S.UseWaveFormatExtensible); }
    STDMETHODIMP GetJitter(LONG* enable, LONG* second) override
    {
        return Answer(9, [&] { *enable = S.JitterEnable; *second = S.JitterSecond; }, enable, second);
    }
    STDMETHODIMP SetJitterEnable(TAC3Bool enable) override
    {
        return Take(10, {double(enable)}, [&] { S.JitterEnable = enable; });
    }
    STDMETHODIMP Reserved11() override { return Log(11, {}); }
    STDMETHODIMP Reserved12() override { return Log(12, {}); }
    STDMETHODIMP Reserved13() override { return Log(13, {}); }
    STDMETHODIMP GetMasterGain(double* gain) override { return Answer(14, [&] { *gain = S.MasterGain; }, gain); }
    STDMETHODIMP SetMasterGain(double gain) override { return Take(15, {gain}, [&] { S.MasterGain = gain; }); }
    STDMETHODIMP GetGains(double* surround, double* voice, double* lfe) override
    {
        return Answer(16, [&] { *surround = S.SurroundGain; *voice = S.VoiceGain; *lfe = S.LFEGain; }, surround, voice, lfe);
    }
    STDMETHODIMP SetGains(double surround, double voice, double lfe) override
    {
        return Take(17, {surround, voice, lfe}, [&] { S.SurroundGain = surround; S.VoiceGain = voice; S.LFEGain = lfe; });
    }
    STDMETHODIMP GetGainLocks(TAC3Bool* surround, TAC3Bool* voice, TAC3Bool* lfe) override
    {
        return Answer(18, [&] { *surround = S.SurroundLocked; *voice = S.VoiceLocked; *lfe = S.LFELocked; }, surround, voice, lfe);
    }
    STDMETHODIMP SetGainLocks(TAC3Bool surround, TAC3Bool voice, TAC3Bool lfe) override
    {
        return Take(19, {double(surround), double(voice), double(lfe)}, [&] {
            S.SurroundLocked = surround != 0;
            S.VoiceLocked = voice != 0;
            S.LFELocked = lfe != 0;
        });
    }
    STDMETHODIMP GetAutoGain(TAC3Bool* on) override { return GetFlag(20, on, S.AutoGain); }
    STDMETHODIMP SetAutoGain(TAC3Bool on) override { return SetFlag(21, on, S.AutoGain); }
    STDMETHODIMP GetNormalize(TAC3Bool* on) override { return GetFlag(22, on, S.Normalize); }
    STDMETHODIMP SetNormalize(TAC3Bool on) override { return SetFlag(23, on, S.Normalize); }
    STDMETHODIMP Reserved24() override { return Log(24, {}); }
    STDMETHODIMP GetDRC(uint64_t* enable, double* second, double* power) override
    {
        return Answer(25, [&] { *enable = S.DRCEnable ? 1 : 0; *second = S.DRCSecond; *power = S.DRCPower; }, enable, second, power);
    }
    STDMETHODIMP SetDRC(TAC3Bool enable, double power) override
    {
        return Take(26, {double(enable), power}, [&] { S.DRCEnable = enable != 0; S.DRCPower = power; });
    }
    STDMETHODIMP Reserved27() override { return Log(27, {}); }
    STDMETHODIMP Reserved28() override { return Log(28, {}); }
    STDMETHODIMP GetAutoMatrix(TAC3Bool* on) override { return GetFlag(29, on, S.AutoMatrix); }
    STDMETHODIMP SetAutoMatrix(TAC3Bool on) override { return SetFlag(30, on, S.AutoMatrix); }
    STDMETHODIMP GetNormalizeMatrix(TAC3Bool* on) override { return GetFlag(31, on, S.NormalizeMatrix); }
    STDMETHODIMP SetNormalizeMatrix(TAC3Bool on) override { return SetFlag(32, on, S.NormalizeMatrix); }
    STDMETHODIMP GetExpandStereo(TAC3Bool* on) override { return GetFlag(33, on, S.ExpandStereo); }
    STDMETHODIMP SetExpandStereo(TAC3Bool on) override { return SetFlag(34, on, S.ExpandStereo); }
    STDMETHODIMP GetVoiceControl(TAC3Bool* on) override { return GetFlag(35, on, S.VoiceControl); }
    STDMETHODIMP SetVoiceControl(TAC3Bool on) override { return SetFlag(36, on, S.VoiceControl); }
    STDMETHODIMP GetBassRedirection(TAC3Bool* on) override { return GetFlag(37, on, S.BassRedirection); }
    STDMETHODIMP SetBassRedirection(TAC3Bool on) override { return SetFlag(38, on, S.BassRedirection); }
    STDMETHODIMP GetDelayEnable(TAC3Bool* on) override { return GetFlag(39, on, S.DelayEnable); }
    STDMETHODIMP SetDelayEnable(TAC3Bool on) override { return SetFlag(40, on, S.DelayEnable); }
    STDMETHODIMP GetDelay(LONG* delay) override { return Answer(41, [&] { *delay = S.Delay; }, delay); }
    STDMETHODIMP SetDelay(LONG delay) override { return Take(42, {double(delay)}, [&] { S.Delay = delay; }); }
    STDMETHODIMP GetEqualizerEnabled(TAC3Bool* on) override { return GetFlag(43, on, S.EqualizerEnabled); }
    STDMETHODIMP SetEqualizerEnabled(TAC3Bool on) override { return SetFlag(44, on, S.EqualizerEnabled); }

protected:
    IUnknown* ControlInterface(REFIID iid) override
    {
        return iid == __uuidof(IAC3Filter) ? static_cast<IAC3Filter*>(this) : nullptr;
    }

private:
    HRESULT Log(int slot, std::vector<double> args) { return S.Calls.Answer(slot, std::move(args)); }
    // A get call: logged, then the outputs are filled from the state unless it fails.
    template <class F, class... P>
    HRESULT Answer(int slot, F fill, P*... outputs)
    {
        if ((... || !outputs))
            return E_POINTER;
        const HRESULT result = Log(slot, {});
        if (result == S_OK)
            fill();
        return result;
    }
    // A set call: logged with its values, then stored unless it fails.
    template <class F>
    HRESULT Take(int slot, std::vector<double> args, F store)
    {
        const HRESULT result = Log(slot, std::move(args));
        if (result == S_OK)
            store();
        return result;
    }
    HRESULT GetFlag(int slot, TAC3Bool* out, const bool& flag)
    {
        return Answer(slot, [&] { *out = flag ? 1 : 0; }, out);
    }
    HRESULT SetFlag(int slot, TAC3Bool value, bool& flag)
    {
        return Take(slot, {double(value)}, [&] { flag = value != 0; });
    }

    TAC3DecoderState& S;
};

// The decoder as the player creates it: a wrapper filter hosting the DMO above.
HRESULT CreateDecoderFilter(IUnknown* outer, REFIID iid, void** object)
{
    if (outer)
        return CLASS_E_NOAGGREGATION;
    ComPtr<IBaseFilter> filter;
    const HRESULT result = CreateDMOWrapperFilter(CLSID_AC3DecoderDmoDouble, DMOCATEGORY_AUDIO_DECODER, filter);
    return FAILED(result) ? result : filter->QueryInterface(iid, object);
}

}  // namespace

TAC3DecoderDouble::TAC3DecoderDouble(TDmoBehaviour behaviour)
    : FState(std::make_shared<TAC3DecoderState>()),
      FDmo(CLSID_AC3DecoderDmoDouble,
           [state = FState](IUnknown* outer, REFIID iid, void** object) {
               return TAudioDmo::Create<TAC3DecoderDmo>(outer, iid, object, state);
           }),
      FFilter(CLSID_AC3Filter, CreateDecoderFilter)
{
    FState->Behaviour = behaviour;
}

HRESULT TAC3DecoderDouble::Result() const
{
    return FAILED(FDmo.Result()) ? FDmo.Result() : FFilter.Result();
}

}  // namespace pvltest
