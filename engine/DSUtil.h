#pragma once
// Graph utilities: texts of graph events, property pages of a filter, copying and freeing of
// media-type records, and the persistent media-type object.
#include "dshow/DShow.h"
#include "engine/DSUtilCore.h"
#include "framework/Classes.h"

#include <memory>

// Page kinds: 0 the filter's property pages; 1 display, 2 format, 3 source (the capture
// dialogs); 4 configure, 5 about (the compressor dialogs). Another kind or no filter: S_FALSE.
HRESULT ShowFilterPropertyPage(HWND parent, IBaseFilter* filter, int kind);

// Clears the variable, then frees what it held (unique_ptr::reset keeps that order).
template <class T>
void FreeAndNilObject(std::unique_ptr<T>& object)
{
    object.reset();
}

// Copies the record and gives the target its own format block and its own reference on pUnk.
// E_POINTER for a missing record; E_INVALIDARG when target and source are the same record or
// the source has a format size without a block; E_OUTOFMEMORY (target without a block, cbFormat
// 0) when the block cannot be allocated.
HRESULT CopyMediaType(AM_MEDIA_TYPE* target, const AM_MEDIA_TYPE* source);
// Frees the format block and releases pUnk; the record itself stays.
void FreeMediaType(AM_MEDIA_TYPE& mediaType);
// A task-allocated copy of the source; nullptr when the source is missing or memory runs out.
AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* source);
// FreeMediaType, then frees the task-allocated record; nullptr is ignored.
void DeleteMediaType(AM_MEDIA_TYPE* mediaType);

// Owns a task-allocated media type, as enumerations and GetPinMediaType hand them out.
struct TMediaTypeDeleter {
    void operator()(AM_MEDIA_TYPE* mediaType) const { DeleteMediaType(mediaType); }
};
using TMediaTypePtr = std::unique_ptr<AM_MEDIA_TYPE, TMediaTypeDeleter>;

// A media type that can be assigned and streamed (its binary property "data").
// Size of the streamed record before its format block, the same in both program forms.
inline constexpr int64_t kStreamedMediaTypeSize = 72;

class TMediaType : public TPersistent {
public:
    explicit TMediaType(const GUID& majorType);
    ~TMediaType() override;
    TMediaType(const TMediaType&) = delete;
    TMediaType& operator=(const TMediaType&) = delete;

    // A fresh zeroed record with bFixedSizeSamples TRUE and lSampleSize 1.
    void InitMediaType();
    void SetSubType(const GUID& subType) { FMediaType->subtype = subType; }
    void SetFormatType(const GUID& formatType) { FMediaType->formattype = formatType; }
    // Major type, subtype, format type and format block equal.
    bool IsEqual(const TMediaType& other) const;

    void Assign(const TPersistent& source) override;
    void DefineProperties(TFiler& filer) override;
    // The 72-byte record of the 32-bit layout (pointers written as 0), then the format block.
    void WriteData(TStream& stream) const;
    // Reads what WriteData wrote; a format size beyond the stream raises EReadError.
    void ReadData(TStream& stream);

    AM_MEDIA_TYPE* MediaType() { return FMediaType.get(); }
    const AM_MEDIA_TYPE* MediaType() const { return FMediaType.get(); }

private:
    std::unique_ptr<AM_MEDIA_TYPE> FMediaType;
};
