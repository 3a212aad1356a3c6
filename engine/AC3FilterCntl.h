#pragma once
// Control of the outside AC3 decoder filter: one decoder instance kept across graphs, its
// settings as properties in groups. Every value set is cached and passed to the decoder
// when there is one; a getter refreshes the cache from the decoder when the call succeeds.
// Without the decoder the control works from its caches alone.
#include "engine/AC3FilterIntf.h"
#include "engine/AC3Speakers.h"
#include "engine/ExternalFilterCntl.h"

#include <cstdint>
#include <memory>

class TAC3FilterCntl;

// A group of decoder settings; it reaches the decoder through its owner.
class TAC3Group : public TPersistent {
public:
    explicit TAC3Group(TAC3FilterCntl& owner) : FOwner(owner) {}

protected:
    IAC3Filter* Decoder() const;

private:
    TAC3FilterCntl& FOwner;
};

class TAC3Timing : public TAC3Group {
public:
    using TAC3Group::TAC3Group;
    bool Generate_TimeStamp();
    void SetGenerate_TimeStamp(bool value);
    int32_t Time_Shift();
    void SetTime_Shift(int32_t value);

private:
    bool FGenerate_TimeStamp = false;
    int32_t FTime_Shift = 0;
};

class TAC3Output : public TAC3Group {
public:
    explicit TAC3Output(TAC3FilterCntl& owner);
    const TAC3Speakers& Speakers() const { return *FSpeakers; }
    // Takes the new configuration (the previous one is freed) and sends it to the decoder.
    // No configuration leaves the current one in place.
    void SetSpeakers(std::unique_ptr<TAC3Speakers> speakers);

private:
    std::unique_ptr<TAC3Speakers> FSpeakers;
};

class TAC3Jitter : public TAC3Group {
public:
    using TAC3Group::TAC3Group;
    bool Enable();
    void SetEnable(bool value);

private:
    bool FEnable = false;
};

// Levels are the decoder's gains times 100.
class TAC3Gains : public TAC3Group {
public:
    using TAC3Group::TAC3Group;
    int32_t Master();
    void SetMaster(int32_t value);
    int32_t LFE();
    void SetLFE(int32_t value);
    int32_t Voice();
    void SetVoice(int32_t value);
    int32_t Surround();
    void SetSurround(int32_t value);
    bool LFE_Locked();
    void SetLFE_Locked(bool value);
    bool Voice_Locked();
    void SetVoice_Locked(bool value);
    bool Surround_Locked();
    void SetSurround_Locked(bool value);
    bool Normalize();
    void SetNormalize(bool value);
    bool AutoGain();
    void SetAutoGain(bool value);

private:
    enum TGain { gSurround, gVoice, gLFE };
    int32_t ReadGain(TGain which);
    void WriteGain(TGain which, int32_t value);
    bool ReadLock(TGain which);
    void WriteLock(TGain which, bool value);

    int32_t FMaster = 0;
    int32_t FGains[3] = {};
    bool FLocks[3] = {};
    bool FNormalize = false;
    bool FAutoGain = false;
};

class TAC3DRC : public TAC3Group {
public:
    using TAC3Group::TAC3Group;
    bool Enable();
    void SetEnable(bool value);
    int32_t Power();  // times 100
    void SetPower(int32_t value);

private:
    bool FEnable = false;
    int32_t FPower = 0;
};

class TAC3Matrix : public TAC3Group {
public:
    using TAC3Group::TAC3Group;
    bool AutoMatrix();
    void SetAutoMatrix(bool value);
    bool NormalizeMatrix();
    void SetNormalizeMatrix(bool value);
    bool ExpandStereo();
    void SetExpandStereo(bool value);
    bool VoiceControl();
    void SetVoiceControl(bool value);
    bool BassRedirection();
    void SetBassRedirection(bool value);

private:
    bool FAutoMatrix = false;
    bool FNormalizeMatrix = false;
    bool FExpandStereo = false;
    bool FVoiceControl = false;
    bool FBassRedirection = false;
};

class TAC3Delay : public TAC3Group {
public:
    using TAC3Group::TAC3Group;
    bool Enable();
    void SetEnable(bool value);
    int32_t Delay();
    void SetDelay(int32_t value);

private:
    bool FEnable = false;
    int32_t FDelay = 0;
};

class TAC3Equalizer : public TAC3Group {
public:
    using TAC3Group::TAC3Group;
    bool Enabled();
    void SetEnabled(bool value);

private:
    bool FEnabled = false;
};

class TAC3FilterCntl : public TExternalFilterCntl {
public:
    // Creates the decoder; when that fails the control goes on without it.
    explicit TAC3FilterCntl(TComponent* owner);

    // Sets every property to the value the engine's module stores for it, through the
    // setters, as loading the module does (Gains.Master 230, the matrix switches on, ...).
    void ReadStoredProperties();

    TAC3Timing& Timing() { return *FTiming; }
    TAC3Output& Output() { return *FOutput; }
    TAC3Jitter& Jitter() { return *FJitter; }
    TAC3Gains& Gains() { return *FGains; }
    TAC3DRC& DynamicRangeCompression() { return *FDynamicRangeCompression; }
    TAC3Matrix& Matrix() { return *FMatrix; }
    TAC3Delay& Delay() { return *FDelay; }
    TAC3Equalizer& Equalizer() { return *FEqualizer; }

    bool Use_WAVEFORMATEXTENSIBLE();
    void SetUse_WAVEFORMATEXTENSIBLE(bool value);

    // The media type of the input (output) pin's connection; the caller frees its format
    // block. E_POINTER when there is no pin.
    HRESULT GetInputMediaType(AM_MEDIA_TYPE* mediaType) const;
    HRESULT GetOutputMediaType(AM_MEDIA_TYPE* mediaType) const;

    // The control interface while the decoder exists, else none.
    IAC3Filter* Decoder() const { return FFilter ? FDecoder.Get() : nullptr; }

private:
    HRESULT CreateDecoder();
    void ReleaseFilter() override;

    ComPtr<IAC3Filter> FDecoder;
    bool FUse_WAVEFORMATEXTENSIBLE = false;
    std::unique_ptr<TAC3Timing> FTiming;
    std::unique_ptr<TAC3Output> FOutput;
    std::unique_ptr<TAC3Jitter> FJitter;
    std::unique_ptr<TAC3Gains> FGains;
    std::unique_ptr<TAC3DRC> FDynamicRangeCompression;
    std::unique_ptr<TAC3Matrix> FMatrix;
    std::unique_ptr<TAC3Delay> FDelay;
    std::unique_ptr<TAC3Equalizer> FEqualizer;
};
