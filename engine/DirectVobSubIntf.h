#pragma once
// The outside subtitle filter as this player calls it: its class ids and the control
// interface laid out by slot.
#include "dshow/DShow.h"

// {93A22E7A-5091-45EF-BA61-6DA26156A5D0}
inline constexpr GUID CLSID_DirectVobSub = {0x93A22E7A, 0x5091, 0x45EF, {0xBA, 0x61, 0x6D, 0xA2, 0x61, 0x56, 0xA5, 0xD0}};
// {9852A670-F845-491B-9BE6-EBD841B8A613}: the variant the player asks for when UseAutoload is set
inline constexpr GUID CLSID_DirectVobSubAutoload = {0x9852A670, 0xF845, 0x491B, {0x9B, 0xE6, 0xEB, 0xD8, 0x41, 0xB8, 0xA6, 0x13}};

// Size in wide characters, terminator included, of the buffer the file-name call fills.
inline constexpr int DirectVobSubFileNameChars = 260;

struct IDirectVobSub : public IUnknown {
    // Fills a caller's buffer of DirectVobSubFileNameChars wide characters.
    virtual HRESULT STDMETHODCALLTYPE GetFileName(WCHAR* fileName) = 0;              // 3
    virtual HRESULT STDMETHODCALLTYPE PutFileName(const WCHAR* fileName) = 0;        // 4
    virtual HRESULT STDMETHODCALLTYPE GetLanguageCount(LONG* count) = 0;             // 5
    // The text stays the filter's: the caller copies it and does not free it.
    virtual HRESULT STDMETHODCALLTYPE GetLanguageName(LONG index, WCHAR** name) = 0;  // 6
    virtual HRESULT STDMETHODCALLTYPE GetSelectedLanguage(LONG* index) = 0;          // 7
    virtual HRESULT STDMETHODCALLTYPE PutSelectedLanguage(LONG index) = 0;           // 8
    virtual HRESULT STDMETHODCALLTYPE GetHideSubtitles(BYTE* hide) = 0;              // 9
    virtual HRESULT STDMETHODCALLTYPE PutHideSubtitles(BYTE hide) = 0;               // 10
    virtual HRESULT STDMETHODCALLTYPE GetPreBuffering(BYTE* on) = 0;                 // 11
    virtual HRESULT STDMETHODCALLTYPE PutPreBuffering(BYTE on) = 0;                  // 12
};

__CRT_UUID_DECL(IDirectVobSub, 0xEBE1FB08, 0x3957, 0x47CA, 0xAF, 0x13, 0x58, 0x27, 0xE5, 0x44, 0x2E, 0x56)
