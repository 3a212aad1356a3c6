#include "tests/support/SurroundEffectDoubles.h"

namespace pvltest {

namespace {

// Get, set and reserved calls of an effect's control interface over the shared values.
template <class TIntf>
class TEffectDmo : public TControlDmo<TIntf> {
public:
    TEffectDmo(IUnknown* outer, const std::shared_ptr<TEffectState>& state) : TControlDmo<TIntf>(outer, state), S(*state) {}

protected:
    HRESULT Call(int slot, std::vector<double> args = {}) { return S.Calls.Answer(slot, std::move(args)); }
    HRESULT Get(int slot, LONG* value)
    {
        if (!value)
            return E_POINTER;
        const HRESULT result = Call(slot);
        if (result == S_OK)
            *value = static_cast<LONG>(S.Values[slot]);
        return result;
    }
    HRESULT Get(int slot, float* value)
    {
        if (!value)
            return E_POINTER;
        const HRESULT result = Call(slot);
        if (result == S_OK)
            *value = static_cast<float>(S.Values[slot]);
        return result;
    }
    template <class T>
    HRESULT Set(int slot, T value)
    {
        const HRESULT result = Call(slot, {double(value)});
        if (result == S_OK)
            S.Values[slot - 1] = value;
        return result;
    }

    TEffectState& S;
};

class TCircleSurroundDmo final : public TEffectDmo<ISRSCSDecoder61_2> {
public:
    using TEffectDmo::TEffectDmo;
    STDMETHODIMP PrepareForInsertion() override { return Call(3); }
    STDMETHODIMP Reserved4() override { return Call(4); }
    STDMETHODIMP Reserved5() override { return Call(5); }
    STDMETHODIMP Reserved6() override { return Call(6); }
    STDMETHODIMP GetPhantomCenterEnabled(LONG* on) override { return Get(7, on); }
    STDMETHODIMP SetPhantomCenterEnabled(LONG on) override { return Set(8, on); }
    STDMETHODIMP Reserved9() override { return Call(9); }
    STDMETHODIMP Reserved10() override { return Call(10); }
    STDMETHODIMP GetFullBandWidthCenterEnabled(LONG* on) override { return Get(11, on); }
    STDMETHODIMP SetFullBandWidthCenterEnabled(LONG on) override { return Set(12, on); }
    STDMETHODIMP Reserved13() override { return Call(13); }
    STDMETHODIMP Reserved14() override { return Call(14); }
    STDMETHODIMP Reserved15() override { return Call(15); }
    STDMETHODIMP Reserved16() override { return Call(16); }
    STDMETHODIMP GetBypass(LONG* on) override { return Get(17, on); }
    STDMETHODIMP SetBypass(LONG on) override { return Set(18, on); }
    STDMETHODIMP Reserved19() override { return Call(19); }
    STDMETHODIMP Reserved20() override { return Call(20); }
    STDMETHODIMP GetTruBassFrontEnabled(LONG* on) override { return Get(21, on); }
    STDMETHODIMP SetTruBassFrontEnabled(LONG on) override { return Set(22, on); }
    STDMETHODIMP GetTruBassSubwooferEnabled(LONG* on) override { return Get(23, on); }
    STDMETHODIMP SetTruBassSubwooferEnabled(LONG on) override { return Set(24, on); }
    STDMETHODIMP GetTruBassLevel(float* level) override { return Get(25, level); }
    STDMETHODIMP SetTruBassLevel(float level) override { return Set(26, level); }
    STDMETHODIMP GetTruBassSpeakerType(LONG* size) override { return Get(27, size); }
    STDMETHODIMP SetTruBassSpeakerType(LONG size) override { return Set(28, size); }
    STDMETHODIMP GetMode(LONG* mode) override { return Get(29, mode); }
    STDMETHODIMP SetMode(LONG mode) override { return Set(30, mode); }
    STDMETHODIMP GetInputGain(float* gain) override { return Get(31, gain); }
    STDMETHODIMP SetInputGain(float gain) override { return Set(32, gain); }
    STDMETHODIMP GetFocusEnabled(LONG* on) override { return Get(33, on); }
    STDMETHODIMP SetFocusEnabled(LONG on) override { return Set(34, on); }
    STDMETHODIMP GetFocusLevel(float* level) override { return Get(35, level); }
    STDMETHODIMP SetFocusLevel(float level) override { return Set(36, level); }
    STDMETHODIMP GetBypassType(LONG* type) override { return Get(37, type); }
    STDMETHODIMP SetBypassType(LONG type) override { return Set(38, type); }
    STDMETHODIMP Reserved39() override { return Call(39); }
    STDMETHODIMP GetRearCenterEnabled(LONG* on) override { return Get(40, on); }
    STDMETHODIMP SetRearCenterEnabled(LONG on) override { return Set(41, on); }
    STDMETHODIMP GetRearCenterFullBandwidth(LONG* on) override { return Get(42, on); }
    STDMETHODIMP SetRearCenterFullBandwidth(LONG on) override { return Set(43, on); }
    STDMETHODIMP Reserved44() override { return Call(44); }
    STDMETHODIMP Reserved45() override { return Call(45); }
    STDMETHODIMP Reserved46() override { return Call(46); }
    STDMETHODIMP Reserved47() override { return Call(47); }
    STDMETHODIMP Reserved48() override { return Call(48); }
    STDMETHODIMP Reserved49() override { return Call(49); }
    STDMETHODIMP Reserved50() override { return Call(50); }
    STDMETHODIMP Reserved51() override { return Call(51); }
    STDMETHODIMP Reserved52() override { return Call(52); }
    STDMETHODIMP GetTruSurroundOutput(LONG* mode) override { return Get(53, mode); }
    STDMETHODIMP SetTruSurroundOutput(LONG mode) override { return Set(54, mode); }

protected:
    // The interface answers for each of its ancestors too: their tables are its prefixes.
    IUnknown* ControlInterface(REFIID iid) override
    {
        const bool known = iid == __uuidof(ISRSCSDecoder61_2) || iid == IID_ISRSCSDecoder61 || iid == IID_ISRSCSDecoder2Ex
            || iid == IID_ISRSCSDecoder2 || iid == IID_ISRSCSDecoder;
        return known ? static_cast<ISRSCSDecoder61_2*>(this) : nullptr;
    }
};

class TTruSurroundDmo final : public TEffectDmo<ISRSTruSurroundXT2> {
public:
    using TEffectDmo::TEffectDmo;
    STDMETHODIMP GetTruSurroundMode(LONG* mode) override { return Get(3, mode); }
    STDMETHODIMP SetTruSurroundMode(LONG mode) override { return Set(4, mode); }
    STDMETHODIMP GetTruSurroundInputMode(LONG* mode) override { return Get(5, mode); }
    STDMETHODIMP SetTruSurroundInputMode(LONG mode) override { return Set(6, mode); }
    STDMETHODIMP GetTruSurroundEnabled(LONG* on) override { return Get(7, on); }
    STDMETHODIMP SetTruSurroundEnabled(LONG on) override { return Set(8, on); }
    STDMETHODIMP GetFocusEnabled(LONG* on) override { return Get(9, on); }
    STDMETHODIMP SetFocusEnabled(LONG on) override { return Set(10, on); }
    STDMETHODIMP GetFocusLevel(float* level) override { return Get(11, level); }
    STDMETHODIMP SetFocusLevel(float level) override { return Set(12, level); }
    STDMETHODIMP GetTruBassSpeakerSize(LONG* size) override { return Get(13, size); }
    STDMETHODIMP SetTruBassSpeakerSize(LONG size) override { return Set(14, size); }
    STDMETHODIMP GetTruBassLevel(float* level) override { return Get(15, level); }
    STDMETHODIMP SetTruBassLevel(float level) override { return Set(16, level); }
    STDMETHODIMP GetTruBassEnabled(LONG* on) override { return Get(17, on); }
    STDMETHODIMP SetTruBassEnabled(LONG on) override { return Set(18, on); }
    STDMETHODIMP Reserved19() override { return Call(19); }
    STDMETHODIMP Reserved20() override { return Call(20); }
    STDMETHODIMP GetOutputGain(float* gain) override { return Get(21, gain); }
    STDMETHODIMP SetOutputGain(float gain) override { return Set(22, gain); }
    STDMETHODIMP Reserved23() override { return Call(23); }
    STDMETHODIMP Reserved24() override { return Call(24); }
    STDMETHODIMP GetHeadPhoneEnabled(LONG* on) override { return Get(25, on); }
    STDMETHODIMP SetHeadPhoneEnabled(LONG on) override { return Set(26, on); }

protected:
    IUnknown* ControlInterface(REFIID iid) override
    {
        const bool known = iid == __uuidof(ISRSTruSurroundXT2) || iid == IID_ISRSTruSurroundXT;
        return known ? static_cast<ISRSTruSurroundXT2*>(this) : nullptr;
    }
};

template <class TDmo>
TCreateFunction EffectFactory(const std::shared_ptr<TEffectState>& state)
{
    return [state](IUnknown* outer, REFIID iid, void** object) { return TAudioDmo::Create<TDmo>(outer, iid, object, state); };
}

}  // namespace

TSurroundEffectDouble::TSurroundEffectDouble(const GUID& clsid, const TDmoBehaviour& behaviour, TFactoryMaker factory)
    : FState(std::make_shared<TEffectState>()), FRegistration(clsid, factory(FState))
{
    FState->Behaviour = behaviour;
}

TCircleSurroundDouble::TCircleSurroundDouble(TDmoBehaviour behaviour)
    : TSurroundEffectDouble(CLSID_SRS_CircleSurroundII, behaviour, EffectFactory<TCircleSurroundDmo>)
{
}

TTruSurroundDouble::TTruSurroundDouble(TDmoBehaviour behaviour)
    : TSurroundEffectDouble(CLSID_SRS_TruSurroundXT, behaviour, EffectFactory<TTruSurroundDmo>)
{
}

}  // namespace pvltest
