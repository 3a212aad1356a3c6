#pragma once
// Control of the outside SRS TruSurround XT effect, a virtual surround for two speakers or
// headphones.
#include "engine/SRSEffectCntl.h"
#include "engine/SRSIntf.h"

enum class TMode : int32_t { mTruSurround, mSRS };
enum class TInputMode : int32_t { imNormal, imMonoSurround, imPassiveMatrix, imDolbyProLogic2 };
enum class TSRS_TS_SpeakerSize : int32_t {
    spLFResponse40Hz, spLFResponse60Hz, spLFResponse100Hz, spLFResponse150Hz,
    spLFResponse200Hz, spLFResponse250Hz, spLFResponse300Hz, spLFResponse400Hz,
};

class TSRS_TruSurroundXT : public TSRSEffectCntl<ISRSTruSurroundXT2> {
public:
    // Creates the effect and sends it the caches a new control starts with (surround, focus
    // and bass on, bass level 80); without it the control caches only.
    explicit TSRS_TruSurroundXT(TComponent* owner);

    // Sets the properties the engine's module stores, through the setters, as loading it does.
    void ReadStoredProperties();
    void ApplyCachedSettings() override;

    TMode TruSurroundMode() { return ReadChoice(&ISRSTruSurroundXT2::GetTruSurroundMode, FTruSurroundMode, 2); }
    void SetTruSurroundMode(TMode value) { WriteChoice(&ISRSTruSurroundXT2::SetTruSurroundMode, FTruSurroundMode, value); }
    TInputMode TruSurroundInputMode() { return ReadChoice(&ISRSTruSurroundXT2::GetTruSurroundInputMode, FTruSurroundInputMode, 4); }
    void SetTruSurroundInputMode(TInputMode value) { WriteChoice(&ISRSTruSurroundXT2::SetTruSurroundInputMode, FTruSurroundInputMode, value); }
    bool TruSurroundEnabled() { return ReadSwitch(&ISRSTruSurroundXT2::GetTruSurroundEnabled, FTruSurroundEnabled); }
    void SetTruSurroundEnabled(bool value) { WriteSwitch(&ISRSTruSurroundXT2::SetTruSurroundEnabled, FTruSurroundEnabled, value); }
    bool FocusEnabled() { return ReadSwitch(&ISRSTruSurroundXT2::GetFocusEnabled, FFocusEnabled); }
    void SetFocusEnabled(bool value) { WriteSwitch(&ISRSTruSurroundXT2::SetFocusEnabled, FFocusEnabled, value); }
    // 0..100, clamped before it is cached.
    int32_t FocusLevel() { return ReadLevel(&ISRSTruSurroundXT2::GetFocusLevel, FFocusLevel); }
    void SetFocusLevel(int32_t value) { WriteLevel(&ISRSTruSurroundXT2::SetFocusLevel, FFocusLevel, value, 0, 100); }
    TSRS_TS_SpeakerSize TruBassSpeaker_Size() { return ReadChoice(&ISRSTruSurroundXT2::GetTruBassSpeakerSize, FTruBassSpeaker_Size, 8); }
    void SetTruBassSpeaker_Size(TSRS_TS_SpeakerSize value) { WriteChoice(&ISRSTruSurroundXT2::SetTruBassSpeakerSize, FTruBassSpeaker_Size, value); }
    // 0..100, clamped before it is cached.
    int32_t TruBassLevel() { return ReadLevel(&ISRSTruSurroundXT2::GetTruBassLevel, FTruBassLevel); }
    void SetTruBassLevel(int32_t value) { WriteLevel(&ISRSTruSurroundXT2::SetTruBassLevel, FTruBassLevel, value, 0, 100); }
    bool TruBassEnabled() { return ReadSwitch(&ISRSTruSurroundXT2::GetTruBassEnabled, FTruBassEnabled); }
    void SetTruBassEnabled(bool value) { WriteSwitch(&ISRSTruSurroundXT2::SetTruBassEnabled, FTruBassEnabled, value); }
    // 0..600 (6.0 at the effect), clamped before it is cached.
    int32_t OutputGain() { return ReadLevel(&ISRSTruSurroundXT2::GetOutputGain, FOutputGain); }
    void SetOutputGain(int32_t value) { WriteLevel(&ISRSTruSurroundXT2::SetOutputGain, FOutputGain, value, 0, 600); }
    bool HeadPhoneEnabled() { return ReadSwitch(&ISRSTruSurroundXT2::GetHeadPhoneEnabled, FHeadPhoneEnabled); }
    void SetHeadPhoneEnabled(bool value) { WriteSwitch(&ISRSTruSurroundXT2::SetHeadPhoneEnabled, FHeadPhoneEnabled, value); }

private:
    TMode FTruSurroundMode = TMode::mTruSurround;
    TInputMode FTruSurroundInputMode = TInputMode::imNormal;
    bool FTruSurroundEnabled = true;
    bool FFocusEnabled = true;
    int32_t FFocusLevel = 0;
    TSRS_TS_SpeakerSize FTruBassSpeaker_Size = TSRS_TS_SpeakerSize::spLFResponse40Hz;
    int32_t FTruBassLevel = 80;
    bool FTruBassEnabled = true;
    int32_t FOutputGain = 0;
    bool FHeadPhoneEnabled = false;
};
