// Media-type records: copying, freeing, the persistent media type and its streaming; filter
// property pages.
#include "engine/DSUtil.h"

#include "tests/support/WineGraph.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace pvltest;

namespace {

// A COM object that only counts its references.
class TCounted : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++Count; }
    ULONG STDMETHODCALLTYPE Release() override { return --Count; }
    ULONG Count = 1;
};

// A format block of `size` bytes 0, 1, 2, ...
BYTE* NewBlock(ULONG size)
{
    auto* block = static_cast<BYTE*>(CoTaskMemAlloc(size));
    for (ULONG i = 0; i < size; ++i)
        block[i] = static_cast<BYTE>(i);
    return block;
}

// Gives the media type a format block of `size` bytes and the counted object as pUnk.
void Furnish(AM_MEDIA_TYPE& mediaType, ULONG size, TCounted* unknown)
{
    FreeMediaType(mediaType);
    mediaType.formattype = FORMAT_WaveFormatEx;
    mediaType.cbFormat = size;
    mediaType.pbFormat = NewBlock(size);
    mediaType.pUnk = unknown;
    if (unknown)
        unknown->AddRef();
}

// The writer side of streaming: records the property and writes it when it has data.
class TRecordingFiler : public TFiler {
public:
    void DefineBinaryProperty(const std::string& name, const TStreamProc& readData, const TStreamProc& writeData,
                              bool hasData) override
    {
        Name = name;
        HasData = hasData;
        Read = readData;
        if (hasData)
            writeData(Stream);
    }
    std::string Name;
    bool HasData = false;
    TStreamProc Read;
    TMemoryStream Stream;
};

}  // namespace

TEST(MediaTypes, CopyMediaTypeGivesTheTargetItsOwnBlockAndReference)
{
    TCounted unknown;
    AM_MEDIA_TYPE source{};
    source.majortype = MEDIATYPE_Audio;
    source.lSampleSize = 4;
    Furnish(source, 18, &unknown);
    AM_MEDIA_TYPE target{};
    ASSERT_EQ(CopyMediaType(&target, &source), S_OK);
    EXPECT_EQ(target.majortype, MEDIATYPE_Audio);
    EXPECT_EQ(target.lSampleSize, 4);
    ASSERT_EQ(target.cbFormat, 18u);
    EXPECT_NE(target.pbFormat, source.pbFormat);
    EXPECT_EQ(std::memcmp(target.pbFormat, source.pbFormat, 18), 0);
    EXPECT_EQ(unknown.Count, 3u);
    FreeMediaType(target);
    EXPECT_EQ(target.cbFormat, 0u);
    EXPECT_EQ(target.pbFormat, nullptr);
    EXPECT_EQ(target.pUnk, nullptr);
    EXPECT_EQ(unknown.Count, 2u);
    FreeMediaType(source);
    EXPECT_EQ(unknown.Count, 1u);
}

TEST(MediaTypes, CopyMediaTypeRefusesWhatCannotBeCopied)
{
    AM_MEDIA_TYPE a{};
    AM_MEDIA_TYPE b{};
    EXPECT_EQ(CopyMediaType(nullptr, &a), E_POINTER);
    EXPECT_EQ(CopyMediaType(&a, nullptr), E_POINTER);
    EXPECT_EQ(CopyMediaType(&a, &a), E_INVALIDARG);
    a.cbFormat = 10;  // a size without a block
    EXPECT_EQ(CopyMediaType(&b, &a), E_INVALIDARG);
    EXPECT_EQ(b.cbFormat, 0u);
}

TEST(MediaTypes, CreateAndDeleteMediaTypeOwnTheirCopy)
{
    TCounted unknown;
    AM_MEDIA_TYPE source{};
    Furnish(source, 40, &unknown);
    AM_MEDIA_TYPE* copy = CreateMediaType(&source);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->cbFormat, 40u);
    EXPECT_EQ(unknown.Count, 3u);
    DeleteMediaType(copy);
    EXPECT_EQ(unknown.Count, 2u);
    DeleteMediaType(nullptr);
    EXPECT_EQ(CreateMediaType(nullptr), nullptr);
    FreeMediaType(source);
}

TEST(MediaTypes, FreshMediaTypesOfOneMajorTypeAreEqualUntilASubtypeDiffers)
{
    TMediaType a(MEDIATYPE_Video);
    TMediaType b(MEDIATYPE_Video);
    EXPECT_EQ(a.MediaType()->majortype, MEDIATYPE_Video);
    EXPECT_TRUE(a.MediaType()->bFixedSizeSamples);
    EXPECT_EQ(a.MediaType()->lSampleSize, 1);
    EXPECT_TRUE(a.IsEqual(b));
    a.SetSubType(MEDIASUBTYPE_RGB24);
    EXPECT_FALSE(a.IsEqual(b));
    b.SetSubType(MEDIASUBTYPE_RGB24);
    EXPECT_TRUE(a.IsEqual(b));
    b.SetFormatType(FORMAT_VideoInfo);
    EXPECT_FALSE(a.IsEqual(b));
    a.SetFormatType(FORMAT_VideoInfo);
    Furnish(*a.MediaType(), 88, nullptr);
    Furnish(*b.MediaType(), 88, nullptr);
    EXPECT_TRUE(a.IsEqual(b));
    b.MediaType()->pbFormat[87] ^= 1;
    EXPECT_FALSE(a.IsEqual(b));
    EXPECT_FALSE(TMediaType(MEDIATYPE_Audio).IsEqual(TMediaType(MEDIATYPE_Video)));
}

TEST(MediaTypes, AssignCopiesAnotherMediaTypeAndRefusesOtherObjects)
{
    TCounted unknown;
    TMediaType source(MEDIATYPE_Audio);
    source.SetSubType(MEDIASUBTYPE_PCM);
    Furnish(*source.MediaType(), 18, &unknown);
    {
        TMediaType target(MEDIATYPE_Video);
        Furnish(*target.MediaType(), 5, &unknown);
        target.Assign(source);
        EXPECT_TRUE(target.IsEqual(source));
        EXPECT_NE(target.MediaType()->pbFormat, source.MediaType()->pbFormat);
        EXPECT_EQ(unknown.Count, 3u);  // the old pUnk released, the new one taken
        target.Assign(target);
        EXPECT_TRUE(target.IsEqual(source));
        TStringList other;
        EXPECT_THROW(target.Assign(other), EConvertError);
    }
    EXPECT_EQ(unknown.Count, 2u);
}

TEST(MediaTypes, StreamingRoundTripKeepsTheRecordAndItsBlock)
{
    TCounted unknown;
    TMediaType written(MEDIATYPE_Video);
    written.SetSubType(MEDIASUBTYPE_YUY2);
    written.SetFormatType(FORMAT_VideoInfo);
    written.MediaType()->bTemporalCompression = TRUE;
    written.MediaType()->lSampleSize = 614400;
    Furnish(*written.MediaType(), 88, &unknown);
    TMemoryStream stream;
    written.WriteData(stream);
    EXPECT_EQ(stream.Size(), 72 + 88);

    TMediaType read(MEDIATYPE_Audio);
    Furnish(*read.MediaType(), 7, &unknown);
    stream.SetPosition(0);
    read.ReadData(stream);
    EXPECT_TRUE(read.IsEqual(written));
    EXPECT_EQ(read.MediaType()->lSampleSize, 614400);
    EXPECT_TRUE(read.MediaType()->bTemporalCompression);
    EXPECT_EQ(read.MediaType()->pUnk, nullptr);  // a stored pointer means nothing
    EXPECT_EQ(unknown.Count, 2u);                // the reader's old pUnk was released

    TMediaType empty(MEDIATYPE_Text);
    TMemoryStream small;
    empty.WriteData(small);
    EXPECT_EQ(small.Size(), 72);
    small.SetPosition(0);
    read.ReadData(small);
    EXPECT_TRUE(read.IsEqual(empty));
    EXPECT_EQ(read.MediaType()->pbFormat, nullptr);
}

TEST(MediaTypes, ReadingAFormatSizeBeyondTheStreamFails)
{
    TMediaType written(MEDIATYPE_Audio);
    Furnish(*written.MediaType(), 18, nullptr);
    TMemoryStream stream;
    written.WriteData(stream);
    stream.SetSize(72 + 10);  // the block is cut short
    stream.SetPosition(0);
    TMediaType read(MEDIATYPE_Audio);
    EXPECT_THROW(read.ReadData(stream), EReadError);
    EXPECT_EQ(read.MediaType()->cbFormat, 0u);
    EXPECT_EQ(read.MediaType()->pbFormat, nullptr);

    // A huge stored size (at offset 64 of the record) is refused before anything is allocated.
    std::vector<BYTE> record(72, 0);
    record[64] = 0xF0;
    record[65] = record[66] = record[67] = 0xFF;
    TMemoryStream forged;
    forged.WriteBuffer(record.data(), 72);
    forged.SetPosition(0);
    EXPECT_THROW(read.ReadData(forged), EReadError);

    TMemoryStream truncated;
    truncated.WriteBuffer(record.data(), 40);
    truncated.SetPosition(0);
    EXPECT_THROW(read.ReadData(truncated), EReadError);
}

// The stored bytes are the 32-bit layout in both program forms, so a resource or file written
// by one form reads in the other: fields at their 32-bit offsets, pointers as 32-bit zeros.
TEST(MediaTypes, StreamedRecordHasTheSameBytesInBothForms)
{
    const BYTE stored[72 + 3] = {
        0x76, 0x69, 0x64, 0x73, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71,  // vids
        0x59, 0x55, 0x59, 0x32, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71,  // YUY2
        0x01, 0x00, 0x00, 0x00,                                                                          // fixed size
        0x00, 0x00, 0x00, 0x00,                                                                          // temporal
        0x00, 0x60, 0x09, 0x00,                                                                          // 614400
        0x80, 0x9F, 0x58, 0x05, 0x56, 0xC3, 0xCE, 0x11, 0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A,  // VideoInfo
        0x00, 0x00, 0x00, 0x00,                                                                          // pUnk
        0x03, 0x00, 0x00, 0x00,                                                                          // cbFormat
        0x00, 0x00, 0x00, 0x00,                                                                          // pbFormat
        0x0A, 0x0B, 0x0C};
    TMemoryStream input;
    input.WriteBuffer(stored, sizeof stored);
    input.SetPosition(0);
    TMediaType read(MEDIATYPE_Audio);
    read.ReadData(input);
    const AM_MEDIA_TYPE& mt = *read.MediaType();
    EXPECT_EQ(mt.majortype, MEDIATYPE_Video);
    EXPECT_EQ(mt.subtype, MEDIASUBTYPE_YUY2);
    EXPECT_EQ(mt.formattype, FORMAT_VideoInfo);
    EXPECT_TRUE(mt.bFixedSizeSamples);
    EXPECT_FALSE(mt.bTemporalCompression);
    EXPECT_EQ(mt.lSampleSize, 614400u);
    ASSERT_EQ(mt.cbFormat, 3u);
    EXPECT_EQ(mt.pbFormat[2], 0x0C);
    EXPECT_EQ(input.Position(), input.Size());

    TCounted unknown;
    read.MediaType()->pUnk = &unknown;  // a live pointer is never stored
    TMemoryStream output;
    read.WriteData(output);
    read.MediaType()->pUnk = nullptr;
    ASSERT_EQ(output.Size(), static_cast<int64_t>(sizeof stored));
    std::vector<BYTE> written(sizeof stored);
    output.SetPosition(0);
    output.ReadBuffer(written.data(), static_cast<int64_t>(written.size()));
    EXPECT_EQ(0, std::memcmp(written.data(), stored, sizeof stored));
}

TEST(MediaTypes, DataIsStreamedOnlyWhenDifferentFromTheAncestor)
{
    TMediaType mediaType(MEDIATYPE_Video);
    mediaType.SetSubType(MEDIASUBTYPE_RGB32);
    TMediaType same(MEDIATYPE_Video);
    same.SetSubType(MEDIASUBTYPE_RGB32);
    TMediaType other(MEDIATYPE_Video);
    TStringList notAMediaType;
    const struct {
        const TPersistent* Ancestor;
        bool HasData;
    } cases[] = {{nullptr, true}, {&same, false}, {&other, true}, {&notAMediaType, true}};
    for (const auto& c : cases) {
        TRecordingFiler filer;
        filer.Ancestor = c.Ancestor;
        mediaType.DefineProperties(filer);
        EXPECT_EQ(filer.Name, "data");
        EXPECT_EQ(filer.HasData, c.HasData);
        EXPECT_EQ(filer.Stream.Size(), c.HasData ? 72 : 0);
    }
    TRecordingFiler filer;
    mediaType.DefineProperties(filer);
    TMediaType read(MEDIATYPE_Audio);
    TRecordingFiler reader;
    read.DefineProperties(reader);
    filer.Stream.SetPosition(0);
    reader.Read(filer.Stream);
    EXPECT_TRUE(read.IsEqual(mediaType));
}

TEST(PropertyPages, NothingIsShownWithoutFilterOrForAnUnknownKind)
{
    TComInit com;
    ComPtr<IBaseFilter> filter;
    ASSERT_EQ(CoCreateInstance(CLSID_AviSplitter, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&filter)), S_OK);
    EXPECT_EQ(ShowFilterPropertyPage(nullptr, nullptr, 0), S_FALSE);
    EXPECT_EQ(ShowFilterPropertyPage(nullptr, filter.Get(), 6), S_FALSE);
    EXPECT_EQ(ShowFilterPropertyPage(nullptr, filter.Get(), -1), S_FALSE);
}

TEST(PropertyPages, AFilterWithoutTheDialogInterfacesReturnsTheQueryFailure)
{
    TComInit com;
    ComPtr<IBaseFilter> filter;
    ASSERT_EQ(CoCreateInstance(CLSID_AviSplitter, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&filter)), S_OK);
    ComPtr<ISpecifyPropertyPages> pages;
    ASSERT_TRUE(FAILED(filter.As(&pages))) << "the test needs a filter without property pages";
    for (int kind = 0; kind <= 5; ++kind)
        EXPECT_EQ(ShowFilterPropertyPage(nullptr, filter.Get(), kind), E_NOINTERFACE) << kind;
}
