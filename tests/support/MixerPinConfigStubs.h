#pragma once
// The overlay mixer pin's slots that the player never calls, answering E_NOTIMPL; a double
// adds IUnknown and the colour-control slots.
#include "ui/Video_Color.h"

struct TMixerPinConfigStubs : public IMixerPinConfig2 {
    HRESULT STDMETHODCALLTYPE SetRelativePosition(DWORD, DWORD, DWORD, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRelativePosition(DWORD*, DWORD*, DWORD*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetZOrder(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetZOrder(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetColorKey(void*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetColorKey(void*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetBlendingParameter(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBlendingParameter(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAspectRatioMode(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAspectRatioMode(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStreamTransparent(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStreamTransparent(BOOL*) override { return E_NOTIMPL; }
};
