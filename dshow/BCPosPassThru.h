#pragma once
// Seeking through a filter that does not seek itself: every IMediaSeeking call on the output
// pin goes on to the pin upstream of the filter's input.
#include "dshow/DShow.h"

class TBCPosPassThru : public IMediaSeeking {
public:
    // owner: the pin that answers for this interface; input: the filter's input pin.
    TBCPosPassThru(IUnknown* owner, IPin* input) : FOwner(owner), FInput(input) {}
    virtual ~TBCPosPassThru() = default;
    TBCPosPassThru(const TBCPosPassThru&) = delete;
    TBCPosPassThru& operator=(const TBCPosPassThru&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override { return FOwner->QueryInterface(iid, object); }
    ULONG STDMETHODCALLTYPE AddRef() override { return FOwner->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return FOwner->Release(); }

    HRESULT STDMETHODCALLTYPE GetCapabilities(DWORD* capabilities) override;
    HRESULT STDMETHODCALLTYPE CheckCapabilities(DWORD* capabilities) override;
    HRESULT STDMETHODCALLTYPE IsFormatSupported(const GUID* format) override;
    HRESULT STDMETHODCALLTYPE QueryPreferredFormat(GUID* format) override;
    HRESULT STDMETHODCALLTYPE GetTimeFormat(GUID* format) override;
    HRESULT STDMETHODCALLTYPE IsUsingTimeFormat(const GUID* format) override;
    HRESULT STDMETHODCALLTYPE SetTimeFormat(const GUID* format) override;
    HRESULT STDMETHODCALLTYPE GetDuration(LONGLONG* duration) override;
    HRESULT STDMETHODCALLTYPE GetStopPosition(LONGLONG* stop) override;
    HRESULT STDMETHODCALLTYPE GetCurrentPosition(LONGLONG* current) override;
    HRESULT STDMETHODCALLTYPE ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source, const GUID* sourceFormat) override;
    HRESULT STDMETHODCALLTYPE SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) override;
    HRESULT STDMETHODCALLTYPE GetPositions(LONGLONG* current, LONGLONG* stop) override;
    HRESULT STDMETHODCALLTYPE GetAvailable(LONGLONG* earliest, LONGLONG* latest) override;
    HRESULT STDMETHODCALLTYPE SetRate(double rate) override;
    HRESULT STDMETHODCALLTYPE GetRate(double* rate) override;
    HRESULT STDMETHODCALLTYPE GetPreroll(LONGLONG* preroll) override;

private:
    template <class F>
    HRESULT Forward(F&& call);
    IUnknown* FOwner;
    IPin* FInput;
};
