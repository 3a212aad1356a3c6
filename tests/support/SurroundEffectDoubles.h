#pragma once
// Doubles of the outside surround effects for tests: DMOs registered in-process under the
// effects' class ids, which the DMO Wrapper Filter hosts as the player asks it to. PCM
// passes through them; their control interface answers from a table of values by slot
// and logs every call.
#include "engine/SRSIntf.h"
#include "tests/support/AudioDmoDouble.h"

#include <array>
#include <memory>

namespace pvltest {

struct TEffectState : TDmoShared {
    // The value each get slot reports; a set call stores into the slot before it.
    // Switches and choices are 32-bit integers, levels floats, all held as doubles here.
    std::array<double, 64> Values{};
};

// Registers an effect double for the life of the object (this thread's COM).
class TSurroundEffectDouble {
public:
    TEffectState& State() { return *FState; }
    TCallLog& Calls() { return FState->Calls; }
    HRESULT Result() const { return FRegistration.Result(); }

protected:
    using TFactoryMaker = TCreateFunction (*)(const std::shared_ptr<TEffectState>& state);
    TSurroundEffectDouble(const GUID& clsid, const TDmoBehaviour& behaviour, TFactoryMaker factory);

private:
    std::shared_ptr<TEffectState> FState;
    TClassRegistration FRegistration;
};

class TCircleSurroundDouble : public TSurroundEffectDouble {
public:
    explicit TCircleSurroundDouble(TDmoBehaviour behaviour = {});
};

class TTruSurroundDouble : public TSurroundEffectDouble {
public:
    explicit TTruSurroundDouble(TDmoBehaviour behaviour = {});
};

}  // namespace pvltest
