#include "engine/DSUtil.h"

#include <cstring>
#include <olectl.h>

static_assert(sizeof(AM_MEDIA_TYPE) == 72, "the streamed record is the 32-bit platform's");

HRESULT ShowFilterPropertyPage(HWND parent, IBaseFilter* filter, int kind)
{
    if (!filter)
        return S_FALSE;
    switch (kind) {
    case 0: {
        ComPtr<ISpecifyPropertyPages> pages;
        HRESULT hr = filter->QueryInterface(IID_PPV_ARGS(&pages));
        if (FAILED(hr))
            return hr;
        CAUUID ids{};
        hr = pages->GetPages(&ids);
        if (FAILED(hr))
            return hr;
        FILTER_INFO info{};
        if (SUCCEEDED(filter->QueryFilterInfo(&info)) && info.pGraph)
            info.pGraph->Release();
        IUnknown* object = filter;
        hr = OleCreatePropertyFrame(parent, 0, 0, info.achName, 1, &object, ids.cElems, ids.pElems, 0, 0, nullptr);
        CoTaskMemFree(ids.pElems);
        return hr;
    }
    case 1:
    case 2:
    case 3: {
        ComPtr<IAMVfwCaptureDialogs> dialogs;
        HRESULT hr = filter->QueryInterface(IID_IAMVfwCaptureDialogs, reinterpret_cast<void**>(dialogs.GetAddressOf()));
        if (FAILED(hr))
            return hr;
        const VfwCaptureDialogs dialog = kind == 1 ? VfwCaptureDialog_Display
                                         : kind == 2 ? VfwCaptureDialog_Format
                                                     : VfwCaptureDialog_Source;
        hr = dialogs->HasDialog(dialog);
        if (hr == S_OK)
            hr = dialogs->ShowDialog(dialog, parent);
        return hr;
    }
    case 4:
    case 5: {
        ComPtr<IAMVfwCompressDialogs> dialogs;
        HRESULT hr = filter->QueryInterface(IID_IAMVfwCompressDialogs, reinterpret_cast<void**>(dialogs.GetAddressOf()));
        if (FAILED(hr))
            return hr;
        hr = dialogs->ShowDialog(kind == 4 ? VfwCompressDialog_QueryConfig : VfwCompressDialog_QueryAbout, nullptr);
        if (hr == S_OK)
            hr = dialogs->ShowDialog(kind == 4 ? VfwCompressDialog_Config : VfwCompressDialog_About, parent);
        return hr;
    }
    default:
        return S_FALSE;
    }
}

HRESULT CopyMediaType(AM_MEDIA_TYPE* target, const AM_MEDIA_TYPE* source)
{
    if (!target || !source)
        return E_POINTER;
    if (target == source || (source->cbFormat != 0 && !source->pbFormat))
        return E_INVALIDARG;
    *target = *source;
    HRESULT hr = S_OK;
    if (source->cbFormat != 0) {
        target->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(source->cbFormat));
        if (target->pbFormat) {
            std::memcpy(target->pbFormat, source->pbFormat, source->cbFormat);
        } else {
            target->cbFormat = 0;
            hr = E_OUTOFMEMORY;
        }
    }
    if (target->pUnk)
        target->pUnk->AddRef();
    return hr;
}

void FreeMediaType(AM_MEDIA_TYPE& mediaType)
{
    if (mediaType.cbFormat != 0)
        CoTaskMemFree(mediaType.pbFormat);
    mediaType.cbFormat = 0;
    mediaType.pbFormat = nullptr;
    if (mediaType.pUnk) {
        mediaType.pUnk->Release();
        mediaType.pUnk = nullptr;
    }
}

AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* source)
{
    if (!source)
        return nullptr;
    auto* copy = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (!copy)
        return nullptr;
    std::memset(copy, 0, sizeof *copy);
    if (FAILED(CopyMediaType(copy, source))) {
        DeleteMediaType(copy);
        return nullptr;
    }
    return copy;
}

void DeleteMediaType(AM_MEDIA_TYPE* mediaType)
{
    if (!mediaType)
        return;
    FreeMediaType(*mediaType);
    CoTaskMemFree(mediaType);
}

// ---- TMediaType ----

TMediaType::TMediaType(const GUID& majorType)
{
    InitMediaType();
    FMediaType->majortype = majorType;
}

TMediaType::~TMediaType()
{
    FreeMediaType(*FMediaType);
}

void TMediaType::InitMediaType()
{
    if (FMediaType)
        FreeMediaType(*FMediaType);
    FMediaType = std::make_unique<AM_MEDIA_TYPE>();
    FMediaType->bFixedSizeSamples = TRUE;
    FMediaType->lSampleSize = 1;
}

bool TMediaType::IsEqual(const TMediaType& other) const
{
    const AM_MEDIA_TYPE& a = *FMediaType;
    const AM_MEDIA_TYPE& b = *other.FMediaType;
    if (a.majortype != b.majortype || a.subtype != b.subtype || a.formattype != b.formattype || a.cbFormat != b.cbFormat)
        return false;
    return a.cbFormat == 0 || std::memcmp(a.pbFormat, b.pbFormat, a.cbFormat) == 0;
}

void TMediaType::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TMediaType*>(&source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this)
        return;
    FreeMediaType(*FMediaType);
    CopyMediaType(FMediaType.get(), other->FMediaType.get());
}

void TMediaType::DefineProperties(TFiler& filer)
{
    const auto* ancestor = dynamic_cast<const TMediaType*>(filer.Ancestor);
    const bool hasData = !ancestor || !IsEqual(*ancestor);
    filer.DefineBinaryProperty(
        "data", [this](TStream& stream) { ReadData(stream); }, [this](TStream& stream) { WriteData(stream); }, hasData);
}

void TMediaType::WriteData(TStream& stream) const
{
    AM_MEDIA_TYPE record = *FMediaType;
    record.pUnk = nullptr;
    record.pbFormat = nullptr;
    stream.WriteBuffer(&record, sizeof record);
    if (FMediaType->cbFormat != 0)
        stream.WriteBuffer(FMediaType->pbFormat, FMediaType->cbFormat);
}

void TMediaType::ReadData(TStream& stream)
{
    FreeMediaType(*FMediaType);
    AM_MEDIA_TYPE record{};
    stream.ReadBuffer(&record, sizeof record);
    record.pUnk = nullptr;
    record.pbFormat = nullptr;
    const ULONG size = record.cbFormat;
    record.cbFormat = 0;
    *FMediaType = record;
    if (size == 0)
        return;
    if (static_cast<int64_t>(size) > stream.Size() - stream.Position())
        throw EReadError("Stream read error");
    auto* block = static_cast<BYTE*>(CoTaskMemAlloc(size));
    if (!block)
        throw EReadError("Out of memory");
    FMediaType->pbFormat = block;
    FMediaType->cbFormat = size;
    stream.ReadBuffer(block, size);
}
