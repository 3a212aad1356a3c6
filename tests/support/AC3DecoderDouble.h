#pragma once
// A double of the outside AC3 decoder for tests: registered in-process under the decoder's
// class id, it is a DMO Wrapper Filter (one input and one output pin, PCM passing through)
// around a DMO that answers the decoder's control interface from its state and logs every
// call by slot.
#include "engine/AC3FilterIntf.h"
#include "tests/support/AudioDmoDouble.h"

#include <memory>

namespace pvltest {

// The decoder's settings as the double holds them, and its call log. Tests set a value
// to have the decoder report it.
struct TAC3DecoderState : TDmoShared {
    TAC3SpeakerWords Speakers{};
    bool GenerateTimeStamps = false;
    LONG TimeShift = 0;
    bool UseWaveFormatExtensible = false;
    LONG JitterEnable = 0;
    LONG JitterSecond = 0;
    double MasterGain = 0;
    double SurroundGain = 0, VoiceGain = 0, LFEGain = 0;
    bool SurroundLocked = false, VoiceLocked = false, LFELocked = false;
    bool AutoGain = false;
    bool Normalize = false;
    bool DRCEnable = false;
    double DRCSecond = 0;
    double DRCPower = 0;
    bool AutoMatrix = false, NormalizeMatrix = false, ExpandStereo = false, VoiceControl = false, BassRedirection = false;
    bool DelayEnable = false;
    LONG Delay = 0;
    bool EqualizerEnabled = false;
};

// Registers the decoder double for the life of the object (this thread's COM).
class TAC3DecoderDouble {
public:
    explicit TAC3DecoderDouble(TDmoBehaviour behaviour = {});
    TAC3DecoderState& State() { return *FState; }
    TCallLog& Calls() { return FState->Calls; }
    // S_OK when both class objects were registered.
    HRESULT Result() const;

private:
    std::shared_ptr<TAC3DecoderState> FState;
    TClassRegistration FDmo;
    TClassRegistration FFilter;
};

}  // namespace pvltest
