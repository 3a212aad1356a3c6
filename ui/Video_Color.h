#pragma once
// The colour controls on the connected renderer: the mixing renderer's processing amplifier or
// the overlay surface's colour controls, and which of them acts, for the main window's labels.
// The renderer's interfaces come in from the video window, so doubles can stand in for them.
#include "ui/VideoColorCore.h"
#include "ui/Video_UnitCore.h"

#include "dshow/DShow.h"

#include <d3d9.h>
#include <ddraw.h>
#include <vmr9.h>

#include <functional>
#include <string>

// The overlay mixer's input-pin configuration, which the platform headers leave undeclared; laid
// out by slot. Only the colour-control slots are called.
struct IMixerPinConfig2 : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetRelativePosition(DWORD left, DWORD top, DWORD right, DWORD bottom) = 0;  // 3
    virtual HRESULT STDMETHODCALLTYPE GetRelativePosition(DWORD* left, DWORD* top, DWORD* right, DWORD* bottom) = 0;  // 4
    virtual HRESULT STDMETHODCALLTYPE SetZOrder(DWORD zOrder) = 0;                                         // 5
    virtual HRESULT STDMETHODCALLTYPE GetZOrder(DWORD* zOrder) = 0;                                        // 6
    virtual HRESULT STDMETHODCALLTYPE SetColorKey(void* colorKey) = 0;                                     // 7
    virtual HRESULT STDMETHODCALLTYPE GetColorKey(void* colorKey, DWORD* color) = 0;                       // 8
    virtual HRESULT STDMETHODCALLTYPE SetBlendingParameter(DWORD blending) = 0;                            // 9
    virtual HRESULT STDMETHODCALLTYPE GetBlendingParameter(DWORD* blending) = 0;                           // 10
    virtual HRESULT STDMETHODCALLTYPE SetAspectRatioMode(DWORD mode) = 0;                                  // 11
    virtual HRESULT STDMETHODCALLTYPE GetAspectRatioMode(DWORD* mode) = 0;                                 // 12
    virtual HRESULT STDMETHODCALLTYPE SetStreamTransparent(BOOL transparent) = 0;                          // 13
    virtual HRESULT STDMETHODCALLTYPE GetStreamTransparent(BOOL* transparent) = 0;                         // 14
    virtual HRESULT STDMETHODCALLTYPE SetOverlaySurfaceColorControls(DDCOLORCONTROL* colorControl) = 0;    // 15
    virtual HRESULT STDMETHODCALLTYPE GetOverlaySurfaceColorControls(DDCOLORCONTROL* colorControl) = 0;    // 16
};
__CRT_UUID_DECL(IMixerPinConfig2, 0xEBF47182, 0x8764, 0x11D1, 0x9E, 0x69, 0x00, 0xC0, 0x4F, 0xD7, 0xC1, 0x5B)

// What a colour change reaches on the connected renderer.
struct TColorRenderer {
    TVideoRendererKind Kind = vrNone;
    IVMRMixerControl9* Mixer = nullptr;   // VMR9's processing amplifier
    GUID InputSubtype = GUID_NULL;         // the subtype on VMR9's "VMR Input0"
    IMixerPinConfig2* OverlayPin = nullptr;  // the overlay mixer's first input offering it
};

// The main window's labels: the mixing renderer's range and which controls act.
struct TColorLabels {
    std::function<void(const TColorRangeLabels& range)> ShowRange;
    std::function<void(const std::string& text)> ShowControls;
};

// Applies a -100..100 position of one property to the renderer, or says the decoder's
// controls are meant.
void ApplyVideoColor(const TColorRenderer& renderer, TVideoColorProperty property, int value, const TColorLabels& labels);

// The first input pin of the overlay mixer that offers IMixerPinConfig2; empty when none.
ComPtr<IMixerPinConfig2> OverlayColorPin(IBaseFilter* overlayMixer);
// The connection subtype on the mixing renderer's "VMR Input0"; GUID_NULL when unknown.
GUID VMRInputSubtype(IBaseFilter* renderer);
