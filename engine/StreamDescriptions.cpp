#include "engine/StreamDescriptions.h"

#include "engine/CommonUnitCore.h"
#include "engine/ExternalFilterCntl.h"
#include "framework/SysUtils.h"
#include "playlist/InfoTags.h"

#include <dvdmedia.h>
#include <qedit.h>

namespace {

constexpr GUID MEDIASUBTYPE_MPEG2_AUDIO_ = {0xE06D802B, 0xDB46, 0x11CF, {0xB4, 0xD1, 0x00, 0x80, 0x5F, 0x6C, 0xBB, 0xEA}};
constexpr GUID MEDIASUBTYPE_MPEG2_VIDEO_ = {0xE06D8026, 0xDB46, 0x11CF, {0xB4, 0xD1, 0x00, 0x80, 0x5F, 0x6C, 0xBB, 0xEA}};
constexpr GUID FORMAT_MPEG2Video_ = {0xE06D80E3, 0xDB46, 0x11CF, {0xB4, 0xD1, 0x00, 0x80, 0x5F, 0x6C, 0xBB, 0xEA}};
// A format block of channel count, sample rate and average rate (no wave format tag).
constexpr GUID FORMAT_ChannelsRate = {0x6BDDFA7E, 0x9F22, 0x46A9, {0xAB, 0x5E, 0x88, 0x4E, 0xFF, 0x29, 0x4D, 0x9F}};
constexpr CLSID CLSID_MediaDet_ = {0x65BD0711, 0x24D2, 0x4FF7, {0x93, 0x24, 0xED, 0x2E, 0x5D, 0x3A, 0xBA, 0xFA}};

// The block layouts the core reads are the platform's.
static_assert(offsetof(VIDEOINFOHEADER, AvgTimePerFrame) == FormatLayout::AvgTimePerFrame);
static_assert(offsetof(VIDEOINFOHEADER2, AvgTimePerFrame) == FormatLayout::AvgTimePerFrame);
static_assert(offsetof(VIDEOINFOHEADER, bmiHeader) == FormatLayout::VideoInfoBitmap);
static_assert(offsetof(VIDEOINFOHEADER2, bmiHeader) == FormatLayout::VideoInfo2Bitmap);
static_assert(offsetof(MPEG1VIDEOINFO, hdr) == 0 && offsetof(MPEG2VIDEOINFO, hdr) == 0);
static_assert(offsetof(BITMAPINFOHEADER, biWidth) == FormatLayout::BitmapWidth);
static_assert(offsetof(BITMAPINFOHEADER, biHeight) == FormatLayout::BitmapHeight);
static_assert(offsetof(BITMAPINFOHEADER, biBitCount) == FormatLayout::BitmapBitCount);
static_assert(offsetof(BITMAPINFOHEADER, biCompression) == FormatLayout::BitmapCompression);

bool HasFormatBlock(const AM_MEDIA_TYPE* mediaType)
{
    return mediaType && mediaType->cbFormat > 0 && mediaType->pbFormat;
}

int32_t MeasureLength(const std::string& fileName)
{
    const TComApartment com;
    ComPtr<IMediaDet> detector;
    if (CoCreateInstance(CLSID_MediaDet_, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&detector)) != S_OK)
        return -1;
    BSTR name = SysAllocString(AnsiToWide(fileName).c_str());
    const HRESULT hr = detector->put_Filename(name);
    SysFreeString(name);
    if (hr != S_OK)
        return -1;
    LONG streams = 0;
    if (detector->get_OutputStreams(&streams) != S_OK || streams < 1)
        return -1;
    double seconds = 0;
    if (detector->put_CurrentStream(0) != S_OK || detector->get_StreamLength(&seconds) != S_OK)
        return -1;
    return static_cast<int32_t>(RoundToInt64(seconds * 10));
}

}  // namespace

bool IsAudioMediaType(const AM_MEDIA_TYPE* mediaType)
{
    if (!mediaType)
        return false;
    return mediaType->majortype == MEDIATYPE_Audio || mediaType->subtype == MEDIASUBTYPE_MPEG1AudioPayload ||
           mediaType->subtype == MEDIASUBTYPE_MPEG1Audio || mediaType->subtype == MEDIASUBTYPE_MPEG2_AUDIO_;
}

bool IsVideoMediaType(const AM_MEDIA_TYPE* mediaType)
{
    if (!mediaType)
        return false;
    return mediaType->majortype == MEDIATYPE_Video || mediaType->subtype == MEDIASUBTYPE_MPEG1Video ||
           mediaType->subtype == MEDIASUBTYPE_MPEG2_VIDEO_;
}

void DescribeAudioStream(const AM_MEDIA_TYPE* mediaType, TAudioStreamDescription& description)
{
    if (!HasFormatBlock(mediaType))
        return;
    if (mediaType->formattype == FORMAT_WaveFormatEx)
        DescribeAudioFormat(TAudioFormatKind::WaveFormatEx, mediaType->pbFormat, mediaType->cbFormat, description);
    else if (mediaType->formattype == FORMAT_ChannelsRate)
        DescribeAudioFormat(TAudioFormatKind::ChannelsRateBlock, mediaType->pbFormat, mediaType->cbFormat, description);
}

void DescribeVideoStream(const AM_MEDIA_TYPE* mediaType, TVideoStreamDescription& description)
{
    if (!HasFormatBlock(mediaType))
        return;
    const GUID& format = mediaType->formattype;
    TVideoFormatKind kind;
    if (format == FORMAT_VideoInfo)
        kind = TVideoFormatKind::VideoInfo;
    else if (format == FORMAT_VideoInfo2)
        kind = TVideoFormatKind::VideoInfo2;
    else if (format == FORMAT_MPEGVideo)
        kind = TVideoFormatKind::MpegVideo;
    else if (format == FORMAT_MPEG2Video_)
        kind = TVideoFormatKind::Mpeg2Video;
    else
        return;
    DescribeVideoFormat(kind, mediaType->pbFormat, mediaType->cbFormat, description);
}

std::unique_ptr<TMediaInfo> GetMediaInfo(const std::string& fileName)
{
    if (!FileExists(fileName))
        return nullptr;
    auto info = std::make_unique<TMediaInfo>();
    info->Length = MeasureLength(fileName);
    ReadTitleTag(fileName, info->Title);
    return info;
}
