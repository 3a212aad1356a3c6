#pragma once
// Control of the outside SRS CircleSurround II effect, a surround decoder for more than two
// speakers, and its splice into an audio chain.
#include "engine/SRSEffectCntl.h"
#include "engine/SRSIntf.h"

enum class TByPassMode : int32_t { bpmNormal, bpm4Channel, bmp6Channel };
enum class TCSOutputMode : int32_t { omStereo, omMultiChannels };
enum class TCSMode : int32_t { mCinema, mMusic, mMono };
enum class TSRS_CS_SpeakerSize : int32_t {
    spHeadphone, spLFResponse40Hz, spLFResponse60Hz, spLFResponse100Hz, spLFResponse150Hz,
    spLFResponse200Hz, spLFResponse250Hz, spLFResponse300Hz, spLFResponse400Hz,
};

class TSRS_CircleSurroundII : public TSRSEffectCntl<ISRSCSDecoder61_2> {
public:
    // Creates the effect and sends it the (all off) caches; without it the control caches only.
    explicit TSRS_CircleSurroundII(TComponent* owner);

    // Sets the properties the engine's module stores, through the setters, as loading it does.
    void ReadStoredProperties();
    void ApplyCachedSettings() override;

    // Splices the effect between `upstream` (an output pin) and `downstream` (an input pin)
    // in the effect's graph and applies the cached settings. When the effect refuses the
    // connection's format or a connection fails, the effect is left unconnected, the
    // original connections are restored and the result is E_FAIL.
    HRESULT InsertFilterIntoAudioChain(IPin* upstream, IPin* downstream);

    bool PhantomCenterEnabled() { return ReadSwitch(&ISRSCSDecoder61_2::GetPhantomCenterEnabled, FPhantomCenterEnabled); }
    void SetPhantomCenterEnabled(bool value) { WriteSwitch(&ISRSCSDecoder61_2::SetPhantomCenterEnabled, FPhantomCenterEnabled, value); }
    bool FullBandWidthCenterEnabled() { return ReadSwitch(&ISRSCSDecoder61_2::GetFullBandWidthCenterEnabled, FFullBandWidthCenterEnabled); }
    void SetFullBandWidthCenterEnabled(bool value) { WriteSwitch(&ISRSCSDecoder61_2::SetFullBandWidthCenterEnabled, FFullBandWidthCenterEnabled, value); }
    bool Bypass() { return ReadSwitch(&ISRSCSDecoder61_2::GetBypass, FBypass); }
    void SetBypass(bool value) { WriteSwitch(&ISRSCSDecoder61_2::SetBypass, FBypass, value); }
    bool TruBassFrontEnabled() { return ReadSwitch(&ISRSCSDecoder61_2::GetTruBassFrontEnabled, FTruBassFrontEnabled); }
    void SetTruBassFrontEnabled(bool value) { WriteSwitch(&ISRSCSDecoder61_2::SetTruBassFrontEnabled, FTruBassFrontEnabled, value); }
    bool TruBassSubwooferEnabled() { return ReadSwitch(&ISRSCSDecoder61_2::GetTruBassSubwooferEnabled, FTruBassSubwooferEnabled); }
    void SetTruBassSubwooferEnabled(bool value) { WriteSwitch(&ISRSCSDecoder61_2::SetTruBassSubwooferEnabled, FTruBassSubwooferEnabled, value); }
    // 0..100; clamped before it is cached.
    int32_t TruBassLevel() { return ReadLevel(&ISRSCSDecoder61_2::GetTruBassLevel, FTruBassLevel); }
    void SetTruBassLevel(int32_t value) { WriteLevel(&ISRSCSDecoder61_2::SetTruBassLevel, FTruBassLevel, value, 0, 100); }
    TSRS_CS_SpeakerSize TruBassSpeakerType() { return ReadChoice(&ISRSCSDecoder61_2::GetTruBassSpeakerType, FTruBassSpeakerType, 9); }
    void SetTruBassSpeakerType(TSRS_CS_SpeakerSize value) { WriteChoice(&ISRSCSDecoder61_2::SetTruBassSpeakerType, FTruBassSpeakerType, value); }
    TCSMode Mode() { return ReadChoice(&ISRSCSDecoder61_2::GetMode, FMode, 3); }
    void SetMode(TCSMode value) { WriteChoice(&ISRSCSDecoder61_2::SetMode, FMode, value); }
    // Cached as given; the effect gets it clamped to 0..100.
    int32_t InputGain() { return ReadLevel(&ISRSCSDecoder61_2::GetInputGain, FInputGain); }
    void SetInputGain(int32_t value);
    bool FocusEnabled() { return ReadSwitch(&ISRSCSDecoder61_2::GetFocusEnabled, FFocusEnabled); }
    void SetFocusEnabled(bool value) { WriteSwitch(&ISRSCSDecoder61_2::SetFocusEnabled, FFocusEnabled, value); }
    // 0..100; clamped before it is cached, and a value read above 1.0 counts as 1.0.
    int32_t FocusLevel() { return ReadLevel(&ISRSCSDecoder61_2::GetFocusLevel, FFocusLevel, 1.0f); }
    void SetFocusLevel(int32_t value) { WriteLevel(&ISRSCSDecoder61_2::SetFocusLevel, FFocusLevel, value, 0, 100); }
    TByPassMode BypassType() { return ReadChoice(&ISRSCSDecoder61_2::GetBypassType, FBypassType, 3); }
    void SetBypassType(TByPassMode value) { WriteChoice(&ISRSCSDecoder61_2::SetBypassType, FBypassType, value); }
    bool RearCenterEnabled() { return ReadSwitch(&ISRSCSDecoder61_2::GetRearCenterEnabled, FRearCenterEnabled); }
    void SetRearCenterEnabled(bool value) { WriteSwitch(&ISRSCSDecoder61_2::SetRearCenterEnabled, FRearCenterEnabled, value); }
    bool RearCenterFullBandwidth() { return ReadSwitch(&ISRSCSDecoder61_2::GetRearCenterFullBandwidth, FRearCenterFullBandwidth); }
    void SetRearCenterFullBandwidth(bool value) { WriteSwitch(&ISRSCSDecoder61_2::SetRearCenterFullBandwidth, FRearCenterFullBandwidth, value); }
    TCSOutputMode TruSurroundOutput() { return ReadChoice(&ISRSCSDecoder61_2::GetTruSurroundOutput, FTruSurroundOutput, 2); }
    void SetTruSurroundOutput(TCSOutputMode value) { WriteChoice(&ISRSCSDecoder61_2::SetTruSurroundOutput, FTruSurroundOutput, value); }

private:
    bool FPhantomCenterEnabled = false;
    bool FFullBandWidthCenterEnabled = false;
    bool FBypass = false;
    bool FTruBassFrontEnabled = false;
    bool FTruBassSubwooferEnabled = false;
    int32_t FTruBassLevel = 0;
    TSRS_CS_SpeakerSize FTruBassSpeakerType = TSRS_CS_SpeakerSize::spHeadphone;
    TCSMode FMode = TCSMode::mCinema;
    int32_t FInputGain = 0;
    bool FFocusEnabled = false;
    int32_t FFocusLevel = 0;
    TByPassMode FBypassType = TByPassMode::bpmNormal;
    bool FRearCenterEnabled = false;
    bool FRearCenterFullBandwidth = false;
    TCSOutputMode FTruSurroundOutput = TCSOutputMode::omStereo;
};
