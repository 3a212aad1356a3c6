#include "tests/support/AudioDmoDouble.h"

#include <dmo.h>
#include <mmreg.h>

#include <algorithm>

namespace pvltest {

namespace {

// A major type no audio renderer takes.
constexpr GUID UnplayableMajorType = {0x5E1D0C3A, 0x2B7F, 0x4C11, {0x9A, 0x40, 0x6E, 0x21, 0x7C, 0x50, 0x3D, 0x88}};

const WAVEFORMATEX* WaveFormat(const DMO_MEDIA_TYPE& type)
{
    if (type.formattype != FORMAT_WaveFormatEx || type.cbFormat < 16 || !type.pbFormat)
        return nullptr;
    return reinterpret_cast<const WAVEFORMATEX*>(type.pbFormat);
}

HRESULT MoCopy(DMO_MEDIA_TYPE* target, const DMO_MEDIA_TYPE* source)
{
    *target = *source;
    target->pbFormat = nullptr;
    if (source->cbFormat) {
        target->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(source->cbFormat));
        if (!target->pbFormat)
            return E_OUTOFMEMORY;
        std::copy(source->pbFormat, source->pbFormat + source->cbFormat, target->pbFormat);
    }
    if (target->pUnk)
        target->pUnk->AddRef();
    return S_OK;
}

void MoFree(DMO_MEDIA_TYPE* type)
{
    CoTaskMemFree(type->pbFormat);
    type->pbFormat = nullptr;
    type->cbFormat = 0;
    if (type->pUnk)
        type->pUnk->Release();
    type->pUnk = nullptr;
}

}  // namespace

TAudioDmo::TAudioDmo(IUnknown* outer, std::shared_ptr<TDmoShared> shared)
    : FOuter(outer ? outer : &FInner), FShared(std::move(shared))
{
    FInner.Self = this;
    ++FShared->Instances;
}

TAudioDmo::~TAudioDmo()
{
    DropPending();
    if (FHasInputType)
        MoFree(&FInputType);
    --FShared->Instances;
}

STDMETHODIMP TAudioDmo::TInner::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    IUnknown* found = nullptr;
    if (iid == IID_IUnknown)
        found = this;
    else if (iid == IID_IMediaObject)
        found = static_cast<IMediaObject*>(Self);
    else
        found = Self->ControlInterface(iid);
    *object = found;
    if (!found)
        return E_NOINTERFACE;
    found->AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) TAudioDmo::TInner::AddRef()
{
    return InterlockedIncrement(&Refs);
}

STDMETHODIMP_(ULONG) TAudioDmo::TInner::Release()
{
    const ULONG refs = InterlockedDecrement(&Refs);
    if (refs == 0)
        delete Self;
    return refs;
}

STDMETHODIMP TAudioDmo::GetStreamCount(DWORD* inputs, DWORD* outputs)
{
    if (!inputs || !outputs)
        return E_POINTER;
    *inputs = 1;
    *outputs = FShared->Behaviour.HasOutput ? 1 : 0;
    return S_OK;
}

STDMETHODIMP TAudioDmo::GetInputStreamInfo(DWORD stream, DWORD* flags)
{
    if (stream != 0)
        return DMO_E_INVALIDSTREAMINDEX;
    if (!flags)
        return E_POINTER;
    *flags = 0;
    return S_OK;
}

STDMETHODIMP TAudioDmo::GetOutputStreamInfo(DWORD stream, DWORD* flags)
{
    if (stream != 0 || !FShared->Behaviour.HasOutput)
        return DMO_E_INVALIDSTREAMINDEX;
    if (!flags)
        return E_POINTER;
    *flags = 0;
    return S_OK;
}

STDMETHODIMP TAudioDmo::GetInputType(DWORD stream, DWORD index, DMO_MEDIA_TYPE* type)
{
    if (stream != 0)
        return DMO_E_INVALIDSTREAMINDEX;
    return DMO_E_NO_MORE_ITEMS;  // any PCM will do; the upstream pin proposes
}

bool TAudioDmo::Acceptable(const DMO_MEDIA_TYPE& type) const
{
    const WAVEFORMATEX* format = WaveFormat(type);
    return type.majortype == MEDIATYPE_Audio && (type.subtype == MEDIASUBTYPE_PCM || type.subtype == MEDIASUBTYPE_IEEE_FLOAT)
        && format && format->nChannels > 0 && format->nBlockAlign > 0 && format->nSamplesPerSec > 0;
}

HRESULT TAudioDmo::OfferedOutput(DMO_MEDIA_TYPE* type) const
{
    if (!FHasInputType)
        return DMO_E_TYPE_NOT_SET;
    if (!type)
        return S_OK;
    const HRESULT result = MoCopy(type, &FInputType);
    if (SUCCEEDED(result) && FShared->Behaviour.UnplayableOutput)
        type->majortype = UnplayableMajorType;
    return result;
}

STDMETHODIMP TAudioDmo::GetOutputType(DWORD stream, DWORD index, DMO_MEDIA_TYPE* type)
{
    if (stream != 0 || !FShared->Behaviour.HasOutput)
        return DMO_E_INVALIDSTREAMINDEX;
    if (index > 0)
        return DMO_E_NO_MORE_ITEMS;
    std::lock_guard lock(FLock);
    return OfferedOutput(type);
}

STDMETHODIMP TAudioDmo::SetInputType(DWORD stream, const DMO_MEDIA_TYPE* type, DWORD flags)
{
    if (stream != 0)
        return DMO_E_INVALIDSTREAMINDEX;
    std::lock_guard lock(FLock);
    if (flags & DMO_SET_TYPEF_CLEAR) {
        if (FHasInputType)
            MoFree(&FInputType);
        FHasInputType = false;
        FHasOutputType = false;
        return S_OK;
    }
    if (!type)
        return E_POINTER;
    const TDmoBehaviour& behaviour = FShared->Behaviour;
    const bool testOnly = (flags & DMO_SET_TYPEF_TEST_ONLY) != 0;
    if (!Acceptable(*type) || behaviour.RefuseInput || (behaviour.RefuseInputWhenSet && !testOnly))
        return DMO_E_TYPE_NOT_ACCEPTED;
    if (testOnly)
        return S_OK;
    if (FHasInputType)
        MoFree(&FInputType);
    FHasInputType = SUCCEEDED(MoCopy(&FInputType, type));
    FHasOutputType = false;
    return FHasInputType ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP TAudioDmo::SetOutputType(DWORD stream, const DMO_MEDIA_TYPE* type, DWORD flags)
{
    if (stream != 0 || !FShared->Behaviour.HasOutput)
        return DMO_E_INVALIDSTREAMINDEX;
    std::lock_guard lock(FLock);
    if (flags & DMO_SET_TYPEF_CLEAR) {
        FHasOutputType = false;
        return S_OK;
    }
    if (!type)
        return E_POINTER;
    DMO_MEDIA_TYPE offered{};
    if (FAILED(OfferedOutput(&offered)))
        return DMO_E_TYPE_NOT_SET;
    const bool same = type->majortype == offered.majortype && type->subtype == offered.subtype
        && type->formattype == offered.formattype && type->cbFormat == offered.cbFormat
        && std::equal(offered.pbFormat, offered.pbFormat + offered.cbFormat, type->pbFormat);
    MoFree(&offered);
    if (!same)
        return DMO_E_TYPE_NOT_ACCEPTED;
    if (!(flags & DMO_SET_TYPEF_TEST_ONLY))
        FHasOutputType = true;
    return S_OK;
}

STDMETHODIMP TAudioDmo::GetInputCurrentType(DWORD stream, DMO_MEDIA_TYPE* type)
{
    if (stream != 0)
        return DMO_E_INVALIDSTREAMINDEX;
    std::lock_guard lock(FLock);
    if (!FHasInputType)
        return DMO_E_TYPE_NOT_SET;
    return type ? MoCopy(type, &FInputType) : E_POINTER;
}

STDMETHODIMP TAudioDmo::GetOutputCurrentType(DWORD stream, DMO_MEDIA_TYPE* type)
{
    if (stream != 0 || !FShared->Behaviour.HasOutput)
        return DMO_E_INVALIDSTREAMINDEX;
    std::lock_guard lock(FLock);
    if (!FHasOutputType)
        return DMO_E_TYPE_NOT_SET;
    return type ? OfferedOutput(type) : E_POINTER;
}

STDMETHODIMP TAudioDmo::GetInputSizeInfo(DWORD stream, DWORD* size, DWORD* lookahead, DWORD* alignment)
{
    if (stream != 0)
        return DMO_E_INVALIDSTREAMINDEX;
    if (!size || !lookahead || !alignment)
        return E_POINTER;
    std::lock_guard lock(FLock);
    const WAVEFORMATEX* format = FHasInputType ? WaveFormat(FInputType) : nullptr;
    if (!format)
        return DMO_E_TYPE_NOT_SET;
    *size = format->nBlockAlign;
    *lookahead = 0;
    *alignment = 1;
    return S_OK;
}

STDMETHODIMP TAudioDmo::GetOutputSizeInfo(DWORD stream, DWORD* size, DWORD* alignment)
{
    if (stream != 0 || !FShared->Behaviour.HasOutput)
        return DMO_E_INVALIDSTREAMINDEX;
    if (!size || !alignment)
        return E_POINTER;
    std::lock_guard lock(FLock);
    const WAVEFORMATEX* format = FHasInputType ? WaveFormat(FInputType) : nullptr;
    if (!format)
        return DMO_E_TYPE_NOT_SET;
    // A quarter of a second per buffer; longer input leaves in several buffers.
    *size = std::max<DWORD>(format->nBlockAlign, format->nAvgBytesPerSec / 4 / format->nBlockAlign * format->nBlockAlign);
    *alignment = 1;
    return S_OK;
}

STDMETHODIMP TAudioDmo::GetInputMaxLatency(DWORD, REFERENCE_TIME*)
{
    return E_NOTIMPL;
}

STDMETHODIMP TAudioDmo::SetInputMaxLatency(DWORD, REFERENCE_TIME)
{
    return E_NOTIMPL;
}

void TAudioDmo::DropPending()
{
    if (FPending)
        FPending->Release();
    FPending = nullptr;
    FPendingOffset = 0;
}

STDMETHODIMP TAudioDmo::Flush()
{
    std::lock_guard lock(FLock);
    DropPending();
    return S_OK;
}

STDMETHODIMP TAudioDmo::Discontinuity(DWORD stream)
{
    return stream == 0 ? S_OK : DMO_E_INVALIDSTREAMINDEX;
}

STDMETHODIMP TAudioDmo::AllocateStreamingResources()
{
    return S_OK;
}

STDMETHODIMP TAudioDmo::FreeStreamingResources()
{
    std::lock_guard lock(FLock);
    DropPending();
    return S_OK;
}

STDMETHODIMP TAudioDmo::GetInputStatus(DWORD stream, DWORD* flags)
{
    if (stream != 0)
        return DMO_E_INVALIDSTREAMINDEX;
    if (!flags)
        return E_POINTER;
    std::lock_guard lock(FLock);
    *flags = FPending ? 0 : DMO_INPUT_STATUSF_ACCEPT_DATA;
    return S_OK;
}

STDMETHODIMP TAudioDmo::ProcessInput(DWORD stream, IMediaBuffer* buffer, DWORD flags, REFERENCE_TIME time,
                                     REFERENCE_TIME length)
{
    if (stream != 0)
        return DMO_E_INVALIDSTREAMINDEX;
    if (!buffer)
        return E_POINTER;
    std::lock_guard lock(FLock);
    if (!FHasInputType)
        return DMO_E_TYPE_NOT_SET;
    if (FPending)
        return DMO_E_NOTACCEPTING;
    FPending = buffer;
    FPending->AddRef();
    FPendingOffset = 0;
    FPendingHasTime = (flags & DMO_INPUT_DATA_BUFFERF_TIME) != 0;
    FPendingTime = time;
    return S_OK;
}

STDMETHODIMP TAudioDmo::ProcessOutput(DWORD flags, DWORD count, DMO_OUTPUT_DATA_BUFFER* buffers, DWORD* status)
{
    if (!FShared->Behaviour.HasOutput || count != 1 || !buffers || !status)
        return E_INVALIDARG;
    *status = 0;
    buffers[0].dwStatus = 0;
    std::lock_guard lock(FLock);
    if (!FPending)
        return S_FALSE;
    BYTE* in = nullptr;
    DWORD inLength = 0;
    if (FAILED(FPending->GetBufferAndLength(&in, &inLength))) {
        DropPending();
        return E_FAIL;
    }
    BYTE* out = nullptr;
    DWORD outLength = 0, outMax = 0;
    IMediaBuffer* target = buffers[0].pBuffer;
    if (!target || FAILED(target->GetBufferAndLength(&out, &outLength)) || FAILED(target->GetMaxLength(&outMax)))
        return E_POINTER;
    const DWORD copied = std::min(inLength - FPendingOffset, outMax - outLength);
    std::copy(in + FPendingOffset, in + FPendingOffset + copied, out + outLength);
    target->SetLength(outLength + copied);
    if (FPendingOffset == 0 && FPendingHasTime) {
        buffers[0].dwStatus |= DMO_OUTPUT_DATA_BUFFERF_TIME;
        buffers[0].rtTimestamp = FPendingTime;
    }
    FPendingOffset += copied;
    FShared->BytesProcessed += copied;
    if (FPendingOffset < inLength)
        buffers[0].dwStatus |= DMO_OUTPUT_DATA_BUFFERF_INCOMPLETE;
    else
        DropPending();
    return S_OK;
}

STDMETHODIMP TAudioDmo::Lock(LONG)
{
    return S_OK;
}

}  // namespace pvltest
