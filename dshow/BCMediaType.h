#pragma once
// A media type that owns its format block and its pUnk reference, and the task-memory
// records that IEnumMediaTypes and IPin hand out.
#include "dshow/DShow.h"

class TBCMediaType {
public:
    TBCMediaType() noexcept;
    // A copy of `source`; when its format block cannot be copied the type has none.
    explicit TBCMediaType(const AM_MEDIA_TYPE& source) noexcept;
    TBCMediaType(const TBCMediaType& other) noexcept;
    TBCMediaType(TBCMediaType&& other) noexcept;
    TBCMediaType& operator=(const TBCMediaType& other) noexcept;
    TBCMediaType& operator=(TBCMediaType&& other) noexcept;
    ~TBCMediaType();

    // Replaces this type by a copy of `source`; E_OUTOFMEMORY leaves it empty.
    HRESULT Set(const AM_MEDIA_TYPE& source) noexcept;
    // Copies `size` bytes as the format block; E_OUTOFMEMORY leaves no block.
    HRESULT SetFormat(const void* data, ULONG size) noexcept;
    void Clear() noexcept;

    const AM_MEDIA_TYPE* Get() const { return &FType; }
    AM_MEDIA_TYPE* Get() { return &FType; }
    const AM_MEDIA_TYPE* operator->() const { return &FType; }
    AM_MEDIA_TYPE* operator->() { return &FType; }
    bool Empty() const { return FType.majortype == GUID_NULL; }
    // Same major type, subtype, format type and format bytes.
    bool Equals(const AM_MEDIA_TYPE& other) const;
    // True when every part that `partial` specifies (non-null GUIDs) is the same here.
    bool Matches(const AM_MEDIA_TYPE& partial) const;

    // Raw records: a copy into a caller-owned record (which must not own anything yet) and
    // the release of what a record owns.
    static HRESULT Copy(AM_MEDIA_TYPE& target, const AM_MEDIA_TYPE& source) noexcept;
    static void Free(AM_MEDIA_TYPE& type) noexcept;
    // A task-allocated copy for callers that free it with DeleteTaskCopy (the COM contract
    // of IEnumMediaTypes::Next and IMediaSample::GetMediaType); nullptr when out of memory.
    static AM_MEDIA_TYPE* CreateTaskCopy(const AM_MEDIA_TYPE& source) noexcept;
    static void DeleteTaskCopy(AM_MEDIA_TYPE* type) noexcept;
    // True when the type names a major type, a subtype and a format type.
    static bool IsFullySpecified(const AM_MEDIA_TYPE& type);
    static bool SameTypes(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b);

private:
    AM_MEDIA_TYPE FType;
};
