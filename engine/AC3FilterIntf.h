#pragma once
// The outside AC3 decoder filter as this player calls it: its class id and the control
// interface laid out by slot. Slots the player never calls are declared only to keep the
// layout; their arguments are unknown.
#include "dshow/DShow.h"

#include <cstdint>

// {A753A1EC-973E-4718-AF8E-A3F554D45C44}
inline constexpr GUID CLSID_AC3Filter = {0xA753A1EC, 0x973E, 0x4718, {0xAF, 0x8E, 0xA3, 0xF5, 0x54, 0xD4, 0x5C, 0x44}};

// A Boolean as the decoder takes it: one byte, 1 true, 0 false.
using TAC3Bool = uint8_t;

// The speaker configuration, passed by value as eleven 32-bit words.
struct TAC3SpeakerWords {
    int32_t Mode;
    int32_t Option;
    int32_t ChannelMask;
    int32_t ChannelOrder[6];
    int32_t Spdif;
    int32_t Extra;
};
static_assert(sizeof(TAC3SpeakerWords) == 44);

struct IAC3Filter : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;                                              // 3
    virtual HRESULT STDMETHODCALLTYPE SetSpeakers(TAC3SpeakerWords speakers) = 0;                    // 4
    virtual HRESULT STDMETHODCALLTYPE GetTiming(TAC3Bool* generateTimeStamps, LONG* timeShift) = 0;  // 5
    virtual HRESULT STDMETHODCALLTYPE SetTiming(TAC3Bool generateTimeStamps, LONG timeShift) = 0;    // 6
    virtual HRESULT STDMETHODCALLTYPE GetUseWaveFormatExtensible(TAC3Bool* use) = 0;                 // 7
    virtual HRESULT STDMETHODCALLTYPE SetUseWaveFormatExtensible(TAC3Bool use) = 0;                  // 8
    virtual HRESULT STDMETHODCALLTYPE GetJitter(LONG* enable, LONG* second) = 0;                     // 9
    virtual HRESULT STDMETHODCALLTYPE SetJitterEnable(TAC3Bool enable) = 0;                          // 10
    virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;                                             // 11
    virtual HRESULT STDMETHODCALLTYPE Reserved12() = 0;                                             // 12
    virtual HRESULT STDMETHODCALLTYPE Reserved13() = 0;                                             // 13
    virtual HRESULT STDMETHODCALLTYPE GetMasterGain(double* gain) = 0;                               // 14
    virtual HRESULT STDMETHODCALLTYPE SetMasterGain(double gain) = 0;                                // 15
    virtual HRESULT STDMETHODCALLTYPE GetGains(double* surround, double* voice, double* lfe) = 0;    // 16
    virtual HRESULT STDMETHODCALLTYPE SetGains(double surround, double voice, double lfe) = 0;       // 17
    virtual HRESULT STDMETHODCALLTYPE GetGainLocks(TAC3Bool* surround, TAC3Bool* voice, TAC3Bool* lfe) = 0;  // 18
    virtual HRESULT STDMETHODCALLTYPE SetGainLocks(TAC3Bool surround, TAC3Bool voice, TAC3Bool lfe) = 0;     // 19
    virtual HRESULT STDMETHODCALLTYPE GetAutoGain(TAC3Bool* on) = 0;                                 // 20
    virtual HRESULT STDMETHODCALLTYPE SetAutoGain(TAC3Bool on) = 0;                                  // 21
    virtual HRESULT STDMETHODCALLTYPE GetNormalize(TAC3Bool* on) = 0;                                // 22
    virtual HRESULT STDMETHODCALLTYPE SetNormalize(TAC3Bool on) = 0;                                 // 23
    virtual HRESULT STDMETHODCALLTYPE Reserved24() = 0;                                             // 24
    // The enable flag comes back in an 8-byte slot whose first byte holds the Boolean.
    virtual HRESULT STDMETHODCALLTYPE GetDRC(uint64_t* enable, double* second, double* power) = 0;   // 25
    virtual HRESULT STDMETHODCALLTYPE SetDRC(TAC3Bool enable, double power) = 0;                     // 26
    virtual HRESULT STDMETHODCALLTYPE Reserved27() = 0;                                             // 27
    virtual HRESULT STDMETHODCALLTYPE Reserved28() = 0;                                             // 28
    virtual HRESULT STDMETHODCALLTYPE GetAutoMatrix(TAC3Bool* on) = 0;                               // 29
    virtual HRESULT STDMETHODCALLTYPE SetAutoMatrix(TAC3Bool on) = 0;                                // 30
    virtual HRESULT STDMETHODCALLTYPE GetNormalizeMatrix(TAC3Bool* on) = 0;                          // 31
    virtual HRESULT STDMETHODCALLTYPE SetNormalizeMatrix(TAC3Bool on) = 0;                           // 32
    virtual HRESULT STDMETHODCALLTYPE GetExpandStereo(TAC3Bool* on) = 0;                             // 33
    virtual HRESULT STDMETHODCALLTYPE SetExpandStereo(TAC3Bool on) = 0;                              // 34
    virtual HRESULT STDMETHODCALLTYPE GetVoiceControl(TAC3Bool* on) = 0;                             // 35
    virtual HRESULT STDMETHODCALLTYPE SetVoiceControl(TAC3Bool on) = 0;                              // 36
    virtual HRESULT STDMETHODCALLTYPE GetBassRedirection(TAC3Bool* on) = 0;                          // 37
    virtual HRESULT STDMETHODCALLTYPE SetBassRedirection(TAC3Bool on) = 0;                           // 38
    virtual HRESULT STDMETHODCALLTYPE GetDelayEnable(TAC3Bool* on) = 0;                              // 39
    virtual HRESULT STDMETHODCALLTYPE SetDelayEnable(TAC3Bool on) = 0;                               // 40
    virtual HRESULT STDMETHODCALLTYPE GetDelay(LONG* delay) = 0;                                     // 41
    virtual HRESULT STDMETHODCALLTYPE SetDelay(LONG delay) = 0;                                      // 42
    virtual HRESULT STDMETHODCALLTYPE GetEqualizerEnabled(TAC3Bool* on) = 0;                         // 43
    virtual HRESULT STDMETHODCALLTYPE SetEqualizerEnabled(TAC3Bool on) = 0;                          // 44
};

__CRT_UUID_DECL(IAC3Filter, 0xE4539501, 0xC609, 0x46EA, 0xAD, 0x2A, 0x0E, 0x97, 0x00, 0x24, 0x56, 0x83)
