#include "dshow/BCMediaType.h"

#include <cstring>
#include <utility>

TBCMediaType::TBCMediaType() noexcept : FType{}
{
}

TBCMediaType::TBCMediaType(const AM_MEDIA_TYPE& source) noexcept : FType{}
{
    Copy(FType, source);
}

TBCMediaType::TBCMediaType(const TBCMediaType& other) noexcept : FType{}
{
    Copy(FType, other.FType);
}

TBCMediaType::TBCMediaType(TBCMediaType&& other) noexcept : FType(std::exchange(other.FType, AM_MEDIA_TYPE{}))
{
}

TBCMediaType& TBCMediaType::operator=(const TBCMediaType& other) noexcept
{
    if (this != &other)
        Set(other.FType);
    return *this;
}

TBCMediaType& TBCMediaType::operator=(TBCMediaType&& other) noexcept
{
    if (this != &other) {
        Free(FType);
        FType = std::exchange(other.FType, AM_MEDIA_TYPE{});
    }
    return *this;
}

TBCMediaType::~TBCMediaType()
{
    Free(FType);
}

HRESULT TBCMediaType::Set(const AM_MEDIA_TYPE& source) noexcept
{
    if (&source == &FType)
        return S_OK;
    Free(FType);
    FType = AM_MEDIA_TYPE{};
    return Copy(FType, source);
}

HRESULT TBCMediaType::SetFormat(const void* data, ULONG size) noexcept
{
    if (FType.cbFormat)
        CoTaskMemFree(FType.pbFormat);
    FType.pbFormat = nullptr;
    FType.cbFormat = 0;
    if (size == 0)
        return S_OK;
    auto* block = static_cast<BYTE*>(CoTaskMemAlloc(size));
    if (!block)
        return E_OUTOFMEMORY;
    std::memcpy(block, data, size);
    FType.pbFormat = block;
    FType.cbFormat = size;
    return S_OK;
}

void TBCMediaType::Clear() noexcept
{
    Free(FType);
    FType = AM_MEDIA_TYPE{};
}

bool TBCMediaType::SameTypes(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b)
{
    if (a.majortype != b.majortype || a.subtype != b.subtype || a.formattype != b.formattype || a.cbFormat != b.cbFormat)
        return false;
    return a.cbFormat == 0 || (a.pbFormat && b.pbFormat && std::memcmp(a.pbFormat, b.pbFormat, a.cbFormat) == 0);
}

bool TBCMediaType::Equals(const AM_MEDIA_TYPE& other) const
{
    return SameTypes(FType, other);
}

bool TBCMediaType::Matches(const AM_MEDIA_TYPE& partial) const
{
    if (partial.majortype != GUID_NULL && partial.majortype != FType.majortype)
        return false;
    if (partial.subtype != GUID_NULL && partial.subtype != FType.subtype)
        return false;
    if (partial.formattype != GUID_NULL) {
        if (partial.formattype != FType.formattype)
            return false;
        if (partial.cbFormat && !SameTypes(partial, FType))
            return false;
    }
    return true;
}

HRESULT TBCMediaType::Copy(AM_MEDIA_TYPE& target, const AM_MEDIA_TYPE& source) noexcept
{
    target = source;
    target.pbFormat = nullptr;
    target.cbFormat = 0;
    if (target.pUnk)
        target.pUnk->AddRef();
    if (source.cbFormat == 0 || !source.pbFormat)
        return S_OK;
    auto* block = static_cast<BYTE*>(CoTaskMemAlloc(source.cbFormat));
    if (!block)
        return E_OUTOFMEMORY;
    std::memcpy(block, source.pbFormat, source.cbFormat);
    target.pbFormat = block;
    target.cbFormat = source.cbFormat;
    return S_OK;
}

void TBCMediaType::Free(AM_MEDIA_TYPE& type) noexcept
{
    if (type.cbFormat && type.pbFormat)
        CoTaskMemFree(type.pbFormat);
    type.cbFormat = 0;
    type.pbFormat = nullptr;
    if (type.pUnk) {
        type.pUnk->Release();
        type.pUnk = nullptr;
    }
}

AM_MEDIA_TYPE* TBCMediaType::CreateTaskCopy(const AM_MEDIA_TYPE& source) noexcept
{
    auto* type = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (!type)
        return nullptr;
    *type = AM_MEDIA_TYPE{};
    if (FAILED(Copy(*type, source))) {
        Free(*type);
        CoTaskMemFree(type);
        return nullptr;
    }
    return type;
}

void TBCMediaType::DeleteTaskCopy(AM_MEDIA_TYPE* type) noexcept
{
    if (!type)
        return;
    Free(*type);
    CoTaskMemFree(type);
}

bool TBCMediaType::IsFullySpecified(const AM_MEDIA_TYPE& type)
{
    return type.majortype != GUID_NULL && type.subtype != GUID_NULL && type.formattype != GUID_NULL;
}
