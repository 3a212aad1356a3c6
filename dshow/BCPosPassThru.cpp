#include "dshow/BCPosPassThru.h"

template <class F>
HRESULT TBCPosPassThru::Forward(F&& call)
{
    ComPtr<IPin> upstream;
    if (FAILED(FInput->ConnectedTo(&upstream)))
        return VFW_E_NOT_CONNECTED;
    ComPtr<IMediaSeeking> seeking;
    if (FAILED(upstream.As(&seeking)))
        return E_NOTIMPL;
    return call(seeking.Get());
}

HRESULT STDMETHODCALLTYPE TBCPosPassThru::GetCapabilities(DWORD* capabilities)
{
    return Forward([&](IMediaSeeking* s) { return s->GetCapabilities(capabilities); });
}

HRESULT STDMETHODCALLTYPE TBCPosPassThru::CheckCapabilities(DWORD* capabilities)
{
    return Forward([&](IMediaSeeking* s) { return s->CheckCapabilities(capabilities); });
}

HRESULT STDMETHODCALLTYPE TBCPosPassThru::IsFormatSupported(const GUID* format)
{
    return Forward([&](IMediaSeeking* s) { return s->IsFormatSupported(format); });
}

HRESULT STDMETHODCALLTYPE TBCPosPassThru::QueryPreferredFormat(GUID* format)
{
    return Forward([&](IMediaSeeking* s) { return s->QueryPreferredFormat(format); });
}

HRESULT STDMETHODCALLTYPE TBCPosPassThru::GetTimeFormat(GUID* format)
{
    return Forward([&](IMediaSeeking* s) { return s->GetTimeFormat(format); });
}

HRESULT STDMETHODCALLTYPE TBCPosPassThru::IsUsingTimeFormat(const GUID* format)
{
    return Forward([&](IMediaSeeking* s) { return s->IsUsingTimeFormat(format); });
}

HRESULT STDMETHODCALLTYPE TBCPosPassThru::SetTimeFormat(const GUID* format)
{
    return Forward([&](IMediaSeeking* s) { return s->SetTimeFormat(format); });
}

HRESULT STDMETHODCALLTYPE TBCPosPassThru::GetDuration(LONGLONG* duration)
{
    return Forward([&](IMediaSeeking* s) { return s->GetDuration(duration); });
}

HRESULT STDMETHODCALLTYPE TBCPosPassThru::GetStopPosition(LONGLONG* stop)
{
    return Forward([&](IMediaSeeking* s) { return s->GetStopPosition(stop); });
}

HRESULT STDMETHODCALLTYPE TBCPosPassThru::GetCurrentPosition(LONGLONG* current)
{
    return Forward([&](IMediaSeeking* s) { return s->GetCurrentPosition(current); });
}

HRESULT STDMETHODCALLTYPE TBCPosPassThru::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source, const GUID* sourceFormat)
{
    return Forward([&](IMediaSeeking* s) { return s->ConvertTimeFormat(target, targetFormat, source, sourceFormat); });
}

HRESULT STDMETHODCALLTYPE TBCPosPassThru::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags)
{
    return Forward([&](IMediaSeeking* s) { return s->SetPositions(current, currentFlags, stop, stopFlags); });
}

HRESULT STDMETHODCALLTYPE TBCPosPassThru::GetPositions(LONGLONG* current, LONGLONG* stop)
{
    return Forward([&](IMediaSeeking* s) { return s->GetPositions(current, stop); });
}

HRESULT STDMETHODCALLTYPE TBCPosPassThru::GetAvailable(LONGLONG* earliest, LONGLONG* latest)
{
    return Forward([&](IMediaSeeking* s) { return s->GetAvailable(earliest, latest); });
}

HRESULT STDMETHODCALLTYPE TBCPosPassThru::SetRate(double rate)
{
    return Forward([&](IMediaSeeking* s) { return s->SetRate(rate); });
}

HRESULT STDMETHODCALLTYPE TBCPosPassThru::GetRate(double* rate)
{
    return Forward([&](IMediaSeeking* s) { return s->GetRate(rate); });
}

HRESULT STDMETHODCALLTYPE TBCPosPassThru::GetPreroll(LONGLONG* preroll)
{
    return Forward([&](IMediaSeeking* s) { return s->GetPreroll(preroll); });
}
