#include "engine/DSUtil.h"

#include "dshow/BCMediaType.h"

#include <olectl.h>

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
    return TBCMediaType::Copy(*target, *source);
}

void FreeMediaType(AM_MEDIA_TYPE& mediaType)
{
    TBCMediaType::Free(mediaType);
}

AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* source)
{
    return source ? TBCMediaType::CreateTaskCopy(*source) : nullptr;
}

void DeleteMediaType(AM_MEDIA_TYPE* mediaType)
{
    TBCMediaType::DeleteTaskCopy(mediaType);
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
    return TBCMediaType::SameTypes(*FMediaType, *other.FMediaType);
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

namespace {
// The streamed record keeps the 32-bit platform's 72-byte layout in both program forms:
// the fields at their 32-bit offsets, each pointer field a 32-bit 0.
void WriteGuid(TStream& stream, const GUID& id)
{
    stream.WriteValue<uint32_t>(id.Data1);
    stream.WriteValue<uint16_t>(id.Data2);
    stream.WriteValue<uint16_t>(id.Data3);
    stream.WriteBuffer(id.Data4, sizeof id.Data4);
}

GUID ReadGuid(TStream& stream)
{
    GUID id{};
    id.Data1 = stream.ReadValue<uint32_t>();
    id.Data2 = stream.ReadValue<uint16_t>();
    id.Data3 = stream.ReadValue<uint16_t>();
    stream.ReadBuffer(id.Data4, sizeof id.Data4);
    return id;
}
}

void TMediaType::WriteData(TStream& stream) const
{
    const AM_MEDIA_TYPE& mt = *FMediaType;
    WriteGuid(stream, mt.majortype);
    WriteGuid(stream, mt.subtype);
    stream.WriteValue<int32_t>(mt.bFixedSizeSamples);
    stream.WriteValue<int32_t>(mt.bTemporalCompression);
    stream.WriteValue<uint32_t>(mt.lSampleSize);
    WriteGuid(stream, mt.formattype);
    stream.WriteValue<uint32_t>(0);  // pUnk
    stream.WriteValue<uint32_t>(mt.cbFormat);
    stream.WriteValue<uint32_t>(0);  // pbFormat
    if (mt.cbFormat != 0)
        stream.WriteBuffer(mt.pbFormat, mt.cbFormat);
}

void TMediaType::ReadData(TStream& stream)
{
    FreeMediaType(*FMediaType);
    if (stream.Size() - stream.Position() < kStreamedMediaTypeSize)
        throw EReadError("Stream read error");
    AM_MEDIA_TYPE record{};
    record.majortype = ReadGuid(stream);
    record.subtype = ReadGuid(stream);
    record.bFixedSizeSamples = stream.ReadValue<int32_t>();
    record.bTemporalCompression = stream.ReadValue<int32_t>();
    record.lSampleSize = stream.ReadValue<uint32_t>();
    record.formattype = ReadGuid(stream);
    stream.ReadValue<uint32_t>();  // pUnk
    const ULONG size = stream.ReadValue<uint32_t>();
    stream.ReadValue<uint32_t>();  // pbFormat
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
