#include "engine/SRS_TruSurroundXT.h"

TSRS_TruSurroundXT::TSRS_TruSurroundXT(TComponent* owner) : TSRSEffectCntl(owner)
{
    CreateEffect(CLSID_SRS_TruSurroundXT);
}

void TSRS_TruSurroundXT::ReadStoredProperties()
{
    SetTruSurroundMode(TMode::mTruSurround);
    SetTruSurroundInputMode(TInputMode::imNormal);
    SetTruSurroundEnabled(true);
    SetFocusEnabled(true);
    SetFocusLevel(0);
    SetTruBassSpeaker_Size(TSRS_TS_SpeakerSize::spLFResponse40Hz);
    SetTruBassLevel(80);
    SetTruBassEnabled(true);
    SetOutputGain(500);
    SetHeadPhoneEnabled(false);
}

void TSRS_TruSurroundXT::ApplyCachedSettings()
{
    SetOutputGain(FOutputGain);
    SetTruSurroundEnabled(FTruSurroundEnabled);
    SetHeadPhoneEnabled(FHeadPhoneEnabled);
    SetTruSurroundMode(FTruSurroundMode);
    SetTruSurroundInputMode(FTruSurroundInputMode);
    SetFocusEnabled(FFocusEnabled);
    SetFocusLevel(FFocusLevel);
    SetTruBassEnabled(FTruBassEnabled);
    SetTruBassSpeaker_Size(FTruBassSpeaker_Size);
    SetTruBassLevel(FTruBassLevel);
}
