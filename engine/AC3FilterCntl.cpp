#include "engine/AC3FilterCntl.h"

#include "engine/FilterLevels.h"

namespace {

using TFlagGet = HRESULT (STDMETHODCALLTYPE IAC3Filter::*)(TAC3Bool*);
using TFlagSet = HRESULT (STDMETHODCALLTYPE IAC3Filter::*)(TAC3Bool);

TAC3Bool ToAC3Bool(bool value) { return value ? 1 : 0; }

bool ReadFlag(IAC3Filter* decoder, TFlagGet get, bool& cache)
{
    TAC3Bool value = 0;
    if (decoder && (decoder->*get)(&value) == S_OK)
        cache = value != 0;
    return cache;
}

void WriteFlag(IAC3Filter* decoder, TFlagSet set, bool& cache, bool value)
{
    cache = value;
    if (decoder)
        (decoder->*set)(ToAC3Bool(value));
}

// Replaces the cache with a level read from the decoder; a value that is no level leaves it.
void TakeLevel(double value, int32_t& cache)
{
    if (const auto level = LevelFromFilter(value))
        cache = *level;
}

}  // namespace

IAC3Filter* TAC3Group::Decoder() const
{
    return FOwner.Decoder();
}

// Timing: one call reads both values and one call sets both.

bool TAC3Timing::Generate_TimeStamp()
{
    TAC3Bool generate = 0;
    LONG shift = 0;
    if (auto* decoder = Decoder(); decoder && decoder->GetTiming(&generate, &shift) == S_OK)
        FGenerate_TimeStamp = generate != 0;
    return FGenerate_TimeStamp;
}

void TAC3Timing::SetGenerate_TimeStamp(bool value)
{
    FGenerate_TimeStamp = value;
    TAC3Bool generate = 0;
    LONG shift = 0;
    if (auto* decoder = Decoder(); decoder && decoder->GetTiming(&generate, &shift) == S_OK)
        decoder->SetTiming(ToAC3Bool(value), shift);
}

int32_t TAC3Timing::Time_Shift()
{
    TAC3Bool generate = 0;
    LONG shift = 0;
    if (auto* decoder = Decoder(); decoder && decoder->GetTiming(&generate, &shift) == S_OK)
        FTime_Shift = shift;
    return FTime_Shift;
}

void TAC3Timing::SetTime_Shift(int32_t value)
{
    FTime_Shift = value;
    TAC3Bool generate = 0;
    LONG shift = 0;
    if (auto* decoder = Decoder(); decoder && decoder->GetTiming(&generate, &shift) == S_OK)
        decoder->SetTiming(generate, value);
}

TAC3Output::TAC3Output(TAC3FilterCntl& owner)
    : TAC3Group(owner), FSpeakers(std::make_unique<TAC3Speakers>(ac3ModeStereo))
{
}

void TAC3Output::SetSpeakers(std::unique_ptr<TAC3Speakers> speakers)
{
    if (!speakers)
        return;
    FSpeakers = std::move(speakers);
    if (auto* decoder = Decoder()) {
        const TAC3Speakers& s = *FSpeakers;
        TAC3SpeakerWords words{s.Mode, s.Option, s.ChannelMask, {}, s.Spdif, 0};
        for (size_t i = 0; i < s.ChannelOrder.size(); ++i)
            words.ChannelOrder[i] = s.ChannelOrder[i];
        decoder->SetSpeakers(words);
    }
}

// Jitter: the get call gives the enable flag first; the set call takes only the flag.

bool TAC3Jitter::Enable()
{
    LONG enable = 0, second = 0;
    if (auto* decoder = Decoder(); decoder && decoder->GetJitter(&enable, &second) == S_OK)
        FEnable = enable != 0;
    return FEnable;
}

void TAC3Jitter::SetEnable(bool value)
{
    FEnable = value;
    LONG enable = 0, second = 0;
    if (auto* decoder = Decoder(); decoder && decoder->GetJitter(&enable, &second) == S_OK)
        decoder->SetJitterEnable(ToAC3Bool(value));
}

int32_t TAC3Gains::Master()
{
    double gain = 0;
    if (auto* decoder = Decoder(); decoder && decoder->GetMasterGain(&gain) == S_OK)
        TakeLevel(gain, FMaster);
    return FMaster;
}

void TAC3Gains::SetMaster(int32_t value)
{
    FMaster = value;
    if (auto* decoder = Decoder())
        decoder->SetMasterGain(LevelToFilter(value));
}

// Surround, voice and LFE gains share one call each way, as do their locks.

int32_t TAC3Gains::ReadGain(TGain which)
{
    double gains[3] = {};
    if (auto* decoder = Decoder(); decoder && decoder->GetGains(&gains[gSurround], &gains[gVoice], &gains[gLFE]) == S_OK)
        TakeLevel(gains[which], FGains[which]);
    return FGains[which];
}

void TAC3Gains::WriteGain(TGain which, int32_t value)
{
    FGains[which] = value;
    double gains[3] = {};
    if (auto* decoder = Decoder(); decoder && decoder->GetGains(&gains[gSurround], &gains[gVoice], &gains[gLFE]) == S_OK) {
        gains[which] = LevelToFilter(value);
        decoder->SetGains(gains[gSurround], gains[gVoice], gains[gLFE]);
    }
}

bool TAC3Gains::ReadLock(TGain which)
{
    TAC3Bool locks[3] = {};
    if (auto* decoder = Decoder(); decoder && decoder->GetGainLocks(&locks[gSurround], &locks[gVoice], &locks[gLFE]) == S_OK)
        FLocks[which] = locks[which] != 0;
    return FLocks[which];
}

void TAC3Gains::WriteLock(TGain which, bool value)
{
    FLocks[which] = value;
    TAC3Bool locks[3] = {};
    if (auto* decoder = Decoder(); decoder && decoder->GetGainLocks(&locks[gSurround], &locks[gVoice], &locks[gLFE]) == S_OK) {
        locks[which] = ToAC3Bool(value);
        decoder->SetGainLocks(locks[gSurround], locks[gVoice], locks[gLFE]);
    }
}

int32_t TAC3Gains::LFE() { return ReadGain(gLFE); }
void TAC3Gains::SetLFE(int32_t value) { WriteGain(gLFE, value); }
int32_t TAC3Gains::Voice() { return ReadGain(gVoice); }
void TAC3Gains::SetVoice(int32_t value) { WriteGain(gVoice, value); }
int32_t TAC3Gains::Surround() { return ReadGain(gSurround); }
void TAC3Gains::SetSurround(int32_t value) { WriteGain(gSurround, value); }
bool TAC3Gains::LFE_Locked() { return ReadLock(gLFE); }
void TAC3Gains::SetLFE_Locked(bool value) { WriteLock(gLFE, value); }
bool TAC3Gains::Voice_Locked() { return ReadLock(gVoice); }
void TAC3Gains::SetVoice_Locked(bool value) { WriteLock(gVoice, value); }
bool TAC3Gains::Surround_Locked() { return ReadLock(gSurround); }
void TAC3Gains::SetSurround_Locked(bool value) { WriteLock(gSurround, value); }
bool TAC3Gains::Normalize() { return ReadFlag(Decoder(), &IAC3Filter::GetNormalize, FNormalize); }
void TAC3Gains::SetNormalize(bool value) { WriteFlag(Decoder(), &IAC3Filter::SetNormalize, FNormalize, value); }
bool TAC3Gains::AutoGain() { return ReadFlag(Decoder(), &IAC3Filter::GetAutoGain, FAutoGain); }
void TAC3Gains::SetAutoGain(bool value) { WriteFlag(Decoder(), &IAC3Filter::SetAutoGain, FAutoGain, value); }

// Dynamic range compression: the get call gives the flag (first byte of an 8-byte slot),
// a value this player does not use, and the power; the set call takes flag and power.

bool TAC3DRC::Enable()
{
    uint64_t enable = 0;
    double second = 0, power = 0;
    if (auto* decoder = Decoder(); decoder && decoder->GetDRC(&enable, &second, &power) == S_OK)
        FEnable = (enable & 0xFF) != 0;
    return FEnable;
}

void TAC3DRC::SetEnable(bool value)
{
    FEnable = value;
    uint64_t enable = 0;
    double second = 0, power = 0;
    if (auto* decoder = Decoder(); decoder && decoder->GetDRC(&enable, &second, &power) == S_OK)
        decoder->SetDRC(ToAC3Bool(value), power);
}

int32_t TAC3DRC::Power()
{
    uint64_t enable = 0;
    double second = 0, power = 0;
    if (auto* decoder = Decoder(); decoder && decoder->GetDRC(&enable, &second, &power) == S_OK)
        TakeLevel(power, FPower);
    return FPower;
}

void TAC3DRC::SetPower(int32_t value)
{
    FPower = value;
    uint64_t enable = 0;
    double second = 0, power = 0;
    if (auto* decoder = Decoder(); decoder && decoder->GetDRC(&enable, &second, &power) == S_OK)
        decoder->SetDRC(ToAC3Bool((enable & 0xFF) != 0), LevelToFilter(value));
}

bool TAC3Matrix::AutoMatrix() { return ReadFlag(Decoder(), &IAC3Filter::GetAutoMatrix, FAutoMatrix); }
void TAC3Matrix::SetAutoMatrix(bool value) { WriteFlag(Decoder(), &IAC3Filter::SetAutoMatrix, FAutoMatrix, value); }
bool TAC3Matrix::NormalizeMatrix() { return ReadFlag(Decoder(), &IAC3Filter::GetNormalizeMatrix, FNormalizeMatrix); }
void TAC3Matrix::SetNormalizeMatrix(bool value) { WriteFlag(Decoder(), &IAC3Filter::SetNormalizeMatrix, FNormalizeMatrix, value); }
bool TAC3Matrix::ExpandStereo() { return ReadFlag(Decoder(), &IAC3Filter::GetExpandStereo, FExpandStereo); }
void TAC3Matrix::SetExpandStereo(bool value) { WriteFlag(Decoder(), &IAC3Filter::SetExpandStereo, FExpandStereo, value); }
bool TAC3Matrix::VoiceControl() { return ReadFlag(Decoder(), &IAC3Filter::GetVoiceControl, FVoiceControl); }
void TAC3Matrix::SetVoiceControl(bool value) { WriteFlag(Decoder(), &IAC3Filter::SetVoiceControl, FVoiceControl, value); }
bool TAC3Matrix::BassRedirection() { return ReadFlag(Decoder(), &IAC3Filter::GetBassRedirection, FBassRedirection); }
void TAC3Matrix::SetBassRedirection(bool value) { WriteFlag(Decoder(), &IAC3Filter::SetBassRedirection, FBassRedirection, value); }

bool TAC3Delay::Enable() { return ReadFlag(Decoder(), &IAC3Filter::GetDelayEnable, FEnable); }
void TAC3Delay::SetEnable(bool value) { WriteFlag(Decoder(), &IAC3Filter::SetDelayEnable, FEnable, value); }

int32_t TAC3Delay::Delay()
{
    LONG delay = 0;
    if (auto* decoder = Decoder(); decoder && decoder->GetDelay(&delay) == S_OK)
        FDelay = delay;
    return FDelay;
}

void TAC3Delay::SetDelay(int32_t value)
{
    FDelay = value;
    if (auto* decoder = Decoder())
        decoder->SetDelay(value);
}

bool TAC3Equalizer::Enabled() { return ReadFlag(Decoder(), &IAC3Filter::GetEqualizerEnabled, FEnabled); }
void TAC3Equalizer::SetEnabled(bool value) { WriteFlag(Decoder(), &IAC3Filter::SetEqualizerEnabled, FEnabled, value); }

TAC3FilterCntl::TAC3FilterCntl(TComponent* owner)
    : TExternalFilterCntl(owner),
      FTiming(std::make_unique<TAC3Timing>(*this)),
      FOutput(std::make_unique<TAC3Output>(*this)),
      FJitter(std::make_unique<TAC3Jitter>(*this)),
      FGains(std::make_unique<TAC3Gains>(*this)),
      FDynamicRangeCompression(std::make_unique<TAC3DRC>(*this)),
      FMatrix(std::make_unique<TAC3Matrix>(*this)),
      FDelay(std::make_unique<TAC3Delay>(*this)),
      FEqualizer(std::make_unique<TAC3Equalizer>(*this))
{
    if (FAILED(CreateDecoder()))
        ReleaseFilter();
}

HRESULT TAC3FilterCntl::CreateDecoder()
{
    ComPtr<IBaseFilter> filter;
    HRESULT result = CoCreateInstance(CLSID_AC3Filter, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&filter));
    if (FAILED(result))
        return result;
    result = filter.As(&FDecoder);
    if (FAILED(result))
        return result;
    return HoldFilter(filter, false);
}

void TAC3FilterCntl::ReleaseFilter()
{
    FDecoder.Reset();
    TExternalFilterCntl::ReleaseFilter();
}

void TAC3FilterCntl::ReadStoredProperties()
{
    FTiming->SetGenerate_TimeStamp(true);
    FTiming->SetTime_Shift(0);
    SetUse_WAVEFORMATEXTENSIBLE(true);
    FJitter->SetEnable(false);
    FGains->SetMaster(230);
    FGains->SetLFE(0);
    FGains->SetVoice(0);
    FGains->SetSurround(0);
    FGains->SetLFE_Locked(true);
    FGains->SetVoice_Locked(true);
    FGains->SetSurround_Locked(true);
    FGains->SetNormalize(true);
    FGains->SetAutoGain(false);
    FDynamicRangeCompression->SetEnable(false);
    FDynamicRangeCompression->SetPower(100);
    FMatrix->SetAutoMatrix(true);
    FMatrix->SetNormalizeMatrix(true);
    FMatrix->SetExpandStereo(true);
    FMatrix->SetVoiceControl(true);
    FMatrix->SetBassRedirection(true);
    FDelay->SetEnable(false);
    FDelay->SetDelay(0);
    FEqualizer->SetEnabled(false);
}

bool TAC3FilterCntl::Use_WAVEFORMATEXTENSIBLE()
{
    return ReadFlag(Decoder(), &IAC3Filter::GetUseWaveFormatExtensible, FUse_WAVEFORMATEXTENSIBLE);
}

void TAC3FilterCntl::SetUse_WAVEFORMATEXTENSIBLE(bool value)
{
    WriteFlag(Decoder(), &IAC3Filter::SetUseWaveFormatExtensible, FUse_WAVEFORMATEXTENSIBLE, value);
}

HRESULT TAC3FilterCntl::GetInputMediaType(AM_MEDIA_TYPE* mediaType) const
{
    if (!FInputPin || !mediaType)
        return E_POINTER;
    return FInputPin->ConnectionMediaType(mediaType);
}

HRESULT TAC3FilterCntl::GetOutputMediaType(AM_MEDIA_TYPE* mediaType) const
{
    if (!FOutputPin || !mediaType)
        return E_POINTER;
    return FOutputPin->ConnectionMediaType(mediaType);
}
