#pragma once
// The outside surround effects (DirectX Media Objects hosted in the DMO Wrapper Filter) as
// this player calls them: class ids and the control interfaces laid out by slot. Each
// control interface extends its ancestors; only the most derived one is called, so the
// layout is declared flat on it and the ancestors are known by id only. Slots the player
// never calls keep the layout; their arguments are unknown.
// Switches go as 32-bit -1/0, choices as their ordinal, levels as floats (property / 100).
#include "dshow/DShow.h"

// {8967E796-9227-425D-9140-419CDA226B30}
inline constexpr GUID CLSID_SRS_CircleSurroundII = {0x8967E796, 0x9227, 0x425D, {0x91, 0x40, 0x41, 0x9C, 0xDA, 0x22, 0x6B, 0x30}};
// {91866113-708B-4EE3-B800-9BCA13CD4D99}
inline constexpr GUID CLSID_SRS_TruSurroundXT = {0x91866113, 0x708B, 0x4EE3, {0xB8, 0x00, 0x9B, 0xCA, 0x13, 0xCD, 0x4D, 0x99}};

// Ancestors of ISRSCSDecoder61_2, nearest first.
inline constexpr GUID IID_ISRSCSDecoder61 = {0xAC4B5C77, 0x39FF, 0x4B24, {0x8B, 0xAF, 0x6C, 0x0F, 0x1A, 0x68, 0x6D, 0x49}};
inline constexpr GUID IID_ISRSCSDecoder2Ex = {0x63DDAD44, 0xDF55, 0x4B90, {0x92, 0xFF, 0x79, 0xDC, 0x36, 0xB4, 0x16, 0xFC}};
inline constexpr GUID IID_ISRSCSDecoder2 = {0x2CF94FE8, 0x8A4D, 0x4102, {0xA8, 0xF9, 0x32, 0x33, 0x79, 0xE5, 0xBB, 0xB9}};
inline constexpr GUID IID_ISRSCSDecoder = {0x312806DA, 0x422F, 0x4F6C, {0x93, 0xE9, 0x7B, 0x30, 0xD6, 0xF0, 0x61, 0x72}};
// Ancestor of ISRSTruSurroundXT2.
inline constexpr GUID IID_ISRSTruSurroundXT = {0x36E540AB, 0x7CE5, 0x4AF9, {0x83, 0x51, 0x37, 0xDE, 0x2A, 0xEE, 0xFC, 0x29}};

struct ISRSCSDecoder61_2 : public IUnknown {
    // Called before the settings are pushed again when the effect is spliced into a chain.
    virtual HRESULT STDMETHODCALLTYPE PrepareForInsertion() = 0;                 // 3
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;                           // 4
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;                           // 5
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;                           // 6
    virtual HRESULT STDMETHODCALLTYPE GetPhantomCenterEnabled(LONG* on) = 0;     // 7
    virtual HRESULT STDMETHODCALLTYPE SetPhantomCenterEnabled(LONG on) = 0;      // 8
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;                           // 9
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;                          // 10
    virtual HRESULT STDMETHODCALLTYPE GetFullBandWidthCenterEnabled(LONG* on) = 0;  // 11
    virtual HRESULT STDMETHODCALLTYPE SetFullBandWidthCenterEnabled(LONG on) = 0;   // 12
    virtual HRESULT STDMETHODCALLTYPE Reserved13() = 0;                          // 13
    virtual HRESULT STDMETHODCALLTYPE Reserved14() = 0;                          // 14
    virtual HRESULT STDMETHODCALLTYPE Reserved15() = 0;                          // 15
    virtual HRESULT STDMETHODCALLTYPE Reserved16() = 0;                          // 16
    virtual HRESULT STDMETHODCALLTYPE GetBypass(LONG* on) = 0;                   // 17
    virtual HRESULT STDMETHODCALLTYPE SetBypass(LONG on) = 0;                    // 18
    virtual HRESULT STDMETHODCALLTYPE Reserved19() = 0;                          // 19
    virtual HRESULT STDMETHODCALLTYPE Reserved20() = 0;                          // 20
    virtual HRESULT STDMETHODCALLTYPE GetTruBassFrontEnabled(LONG* on) = 0;      // 21
    virtual HRESULT STDMETHODCALLTYPE SetTruBassFrontEnabled(LONG on) = 0;       // 22
    virtual HRESULT STDMETHODCALLTYPE GetTruBassSubwooferEnabled(LONG* on) = 0;  // 23
    virtual HRESULT STDMETHODCALLTYPE SetTruBassSubwooferEnabled(LONG on) = 0;   // 24
    virtual HRESULT STDMETHODCALLTYPE GetTruBassLevel(float* level) = 0;         // 25
    virtual HRESULT STDMETHODCALLTYPE SetTruBassLevel(float level) = 0;          // 26
    virtual HRESULT STDMETHODCALLTYPE GetTruBassSpeakerType(LONG* size) = 0;     // 27
    virtual HRESULT STDMETHODCALLTYPE SetTruBassSpeakerType(LONG size) = 0;      // 28
    virtual HRESULT STDMETHODCALLTYPE GetMode(LONG* mode) = 0;                   // 29
    virtual HRESULT STDMETHODCALLTYPE SetMode(LONG mode) = 0;                    // 30
    virtual HRESULT STDMETHODCALLTYPE GetInputGain(float* gain) = 0;             // 31
    virtual HRESULT STDMETHODCALLTYPE SetInputGain(float gain) = 0;              // 32
    virtual HRESULT STDMETHODCALLTYPE GetFocusEnabled(LONG* on) = 0;             // 33
    virtual HRESULT STDMETHODCALLTYPE SetFocusEnabled(LONG on) = 0;              // 34
    virtual HRESULT STDMETHODCALLTYPE GetFocusLevel(float* level) = 0;           // 35
    virtual HRESULT STDMETHODCALLTYPE SetFocusLevel(float level) = 0;            // 36
    virtual HRESULT STDMETHODCALLTYPE GetBypassType(LONG* type) = 0;             // 37
    virtual HRESULT STDMETHODCALLTYPE SetBypassType(LONG type) = 0;              // 38
    virtual HRESULT STDMETHODCALLTYPE Reserved39() = 0;                          // 39
    virtual HRESULT STDMETHODCALLTYPE GetRearCenterEnabled(LONG* on) = 0;        // 40
    virtual HRESULT STDMETHODCALLTYPE SetRearCenterEnabled(LONG on) = 0;         // 41
    virtual HRESULT STDMETHODCALLTYPE GetRearCenterFullBandwidth(LONG* on) = 0;  // 42
    virtual HRESULT STDMETHODCALLTYPE SetRearCenterFullBandwidth(LONG on) = 0;   // 43
    virtual HRESULT STDMETHODCALLTYPE Reserved44() = 0;                          // 44
    virtual HRESULT STDMETHODCALLTYPE Reserved45() = 0;                          // 45
    virtual HRESULT STDMETHODCALLTYPE Reserved46() = 0;                          // 46
    virtual HRESULT STDMETHODCALLTYPE Reserved47() = 0;                          // 47
    virtual HRESULT STDMETHODCALLTYPE Reserved48() = 0;                          // 48
    virtual HRESULT STDMETHODCALLTYPE Reserved49() = 0;                          // 49
    virtual HRESULT STDMETHODCALLTYPE Reserved50() = 0;                          // 50
    virtual HRESULT STDMETHODCALLTYPE Reserved51() = 0;                          // 51
    virtual HRESULT STDMETHODCALLTYPE Reserved52() = 0;                          // 52
    virtual HRESULT STDMETHODCALLTYPE GetTruSurroundOutput(LONG* mode) = 0;      // 53
    virtual HRESULT STDMETHODCALLTYPE SetTruSurroundOutput(LONG mode) = 0;       // 54
};

__CRT_UUID_DECL(ISRSCSDecoder61_2, 0xB289B437, 0x65EF, 0x4E10, 0xAA, 0xE7, 0xAC, 0x62, 0xF3, 0x75, 0x8A, 0x67)

struct ISRSTruSurroundXT2 : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetTruSurroundMode(LONG* mode) = 0;        // 3
    virtual HRESULT STDMETHODCALLTYPE SetTruSurroundMode(LONG mode) = 0;         // 4
    virtual HRESULT STDMETHODCALLTYPE GetTruSurroundInputMode(LONG* mode) = 0;   // 5
    virtual HRESULT STDMETHODCALLTYPE SetTruSurroundInputMode(LONG mode) = 0;    // 6
    virtual HRESULT STDMETHODCALLTYPE GetTruSurroundEnabled(LONG* on) = 0;       // 7
    virtual HRESULT STDMETHODCALLTYPE SetTruSurroundEnabled(LONG on) = 0;        // 8
    virtual HRESULT STDMETHODCALLTYPE GetFocusEnabled(LONG* on) = 0;             // 9
    virtual HRESULT STDMETHODCALLTYPE SetFocusEnabled(LONG on) = 0;              // 10
    virtual HRESULT STDMETHODCALLTYPE GetFocusLevel(float* level) = 0;           // 11
    virtual HRESULT STDMETHODCALLTYPE SetFocusLevel(float level) = 0;            // 12
    virtual HRESULT STDMETHODCALLTYPE GetTruBassSpeakerSize(LONG* size) = 0;     // 13
    virtual HRESULT STDMETHODCALLTYPE SetTruBassSpeakerSize(LONG size) = 0;      // 14
    virtual HRESULT STDMETHODCALLTYPE GetTruBassLevel(float* level) = 0;         // 15
    virtual HRESULT STDMETHODCALLTYPE SetTruBassLevel(float level) = 0;          // 16
    virtual HRESULT STDMETHODCALLTYPE GetTruBassEnabled(LONG* on) = 0;           // 17
    virtual HRESULT STDMETHODCALLTYPE SetTruBassEnabled(LONG on) = 0;            // 18
    virtual HRESULT STDMETHODCALLTYPE Reserved19() = 0;                          // 19
    virtual HRESULT STDMETHODCALLTYPE Reserved20() = 0;                          // 20
    virtual HRESULT STDMETHODCALLTYPE GetOutputGain(float* gain) = 0;            // 21
    virtual HRESULT STDMETHODCALLTYPE SetOutputGain(float gain) = 0;             // 22
    virtual HRESULT STDMETHODCALLTYPE Reserved23() = 0;                          // 23
    virtual HRESULT STDMETHODCALLTYPE Reserved24() = 0;                          // 24
    virtual HRESULT STDMETHODCALLTYPE GetHeadPhoneEnabled(LONG* on) = 0;         // 25
    virtual HRESULT STDMETHODCALLTYPE SetHeadPhoneEnabled(LONG on) = 0;          // 26
};

__CRT_UUID_DECL(ISRSTruSurroundXT2, 0x05106102, 0x8DC6, 0x4AAB, 0xA4, 0x8C, 0x90, 0x62, 0xD1, 0x64, 0xC4, 0x1B)
