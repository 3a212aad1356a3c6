#include "ui/Video_Capture.h"

#include "ui/SnapShot_UnitCore.h"
#include "ui/Video_Unit.h"

#include "engine/DSUtil.h"
#include "engine/MyDSUtils.h"
#include "engine/Thumbnails.h"
#include "framework/Graphics.h"

#include <algorithm>
#include <optional>
#include <span>
#include <vector>

namespace {

// The first pin of each direction.
void GrabberPins(IBaseFilter* filter, ComPtr<IPin>& input, ComPtr<IPin>& output)
{
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(&pins)))
        return;
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        PIN_DIRECTION direction;
        if (FAILED(pin->QueryDirection(&direction)))
            continue;
        if (direction == PINDIR_INPUT && !input)
            input = pin;
        else if (direction == PINDIR_OUTPUT && !output)
            output = pin;
    }
}

// Frees a task-allocated current image.
struct TTaskMemFree {
    void operator()(BYTE* p) const { CoTaskMemFree(p); }
};

template <class TWindowless>
std::unique_ptr<TBitmap> CurrentImageOf(TWindowless* windowless)
{
    if (!windowless)
        return nullptr;
    BYTE* raw = nullptr;
    if (FAILED(windowless->GetCurrentImage(&raw)) || !raw)
        return nullptr;
    const std::unique_ptr<BYTE, TTaskMemFree> image(raw);
    // The allocation's size bounds what the header may claim.
    ComPtr<IMalloc> malloc;
    if (FAILED(CoGetMalloc(1, &malloc)))
        return nullptr;
    const SIZE_T size = malloc->GetSize(image.get());
    if (size == static_cast<SIZE_T>(-1))
        return nullptr;
    return BitmapFromPackedDib(image.get(), size);
}

}  // namespace

HRESULT InsertYUY2Grabber(IGraphBuilder* graph, IPin* upstream, IPin* downstream, ComPtr<ISampleGrabber>& grabber)
{
    // 1.
    grabber.Reset();
    if (!graph || !upstream || !downstream)
        return E_POINTER;
    if (!CanCreateFilter(CLSID_SampleGrabberFilter))
        return E_FAIL;
    // 2.
    TMediaType mediaType(MEDIATYPE_Video);
    // 3.
    ComPtr<IBaseFilter> filter;
    HRESULT hr = CoCreateInstance(CLSID_SampleGrabberFilter, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                  IID_IBaseFilter, reinterpret_cast<void**>(filter.GetAddressOf()));
    if (FAILED(hr))
        return hr;
    hr = graph->AddFilter(filter.Get(), L"Sample Grabber");
    if (FAILED(hr))
        return hr;
    ComPtr<IPin> input, output;
    const auto fail = [&](HRESULT result) {
        // 7.
        if (input)
            DisconnectPair(graph, input.Get());
        if (output)
            DisconnectPair(graph, output.Get());
        grabber.Reset();
        graph->RemoveFilter(filter.Get());
        return result;
    };
    hr = filter.As(&grabber);
    if (FAILED(hr))
        return fail(hr);
    hr = grabber->SetBufferSamples(TRUE);
    if (FAILED(hr))
        return fail(hr);
    // 4.
    GrabberPins(filter.Get(), input, output);
    if (!input || !output)
        return fail(VFW_E_NOT_FOUND);
    // 5.
    mediaType.SetSubType(MEDIASUBTYPE_YUY2);
    mediaType.SetFormatType(FORMAT_VideoInfo);
    hr = grabber->SetMediaType(mediaType.MediaType());
    if (FAILED(hr))
        return fail(hr);
    // 6.
    graph->Disconnect(downstream);
    graph->Disconnect(upstream);
    hr = graph->Connect(upstream, input.Get());
    if (SUCCEEDED(hr))
        hr = graph->Connect(output.Get(), downstream);
    if (FAILED(hr))
        return fail(hr);
    return S_OK;
}

std::unique_ptr<TBitmap> GrabberFrame(ISampleGrabber* grabber)
{
    if (!grabber)
        return nullptr;
    AM_MEDIA_TYPE connected{};
    if (grabber->GetConnectedMediaType(&connected) != S_OK)
        return nullptr;
    const std::unique_ptr<AM_MEDIA_TYPE, void (*)(AM_MEDIA_TYPE*)> owner(&connected, [](AM_MEDIA_TYPE* t) { FreeMediaType(*t); });
    long size = 0;
    if (FAILED(grabber->GetCurrentBuffer(&size, nullptr)) || size <= 0)
        return nullptr;
    std::vector<uint8_t> buffer(static_cast<size_t>(size));
    if (grabber->GetCurrentBuffer(&size, reinterpret_cast<long*>(buffer.data())) != S_OK || size <= 0)
        return nullptr;
    buffer.resize(std::min(buffer.size(), static_cast<size_t>(size)));
    const std::span<const uint8_t> format(connected.pbFormat, connected.pbFormat ? connected.cbFormat : 0);
    const std::optional<TYUY2Layout> layout = YUY2FrameLayout(connected.formattype == FORMAT_VideoInfo, format, buffer);
    if (!layout)
        return nullptr;
    // Converted straight into the bitmap's own pixels: under Wine every large buffer between
    // costs more in fresh memory than the conversion itself.
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(layout->Width, layout->Height);
    YUY2ToPixels(*layout, buffer, bitmap->ScanLine(0));
    return bitmap;
}

std::unique_ptr<TBitmap> BitmapFromPackedDib(const uint8_t* dib, size_t size)
{
    if (!dib)
        return nullptr;
    const std::optional<std::vector<uint8_t>> file = DibToBitmapFile({dib, size});
    TThumbnail picture;
    if (!file || !DecodeBmp(*file, picture))
        return nullptr;
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixels(picture.Width, picture.Height, picture.Pixels.data());
    return bitmap;
}

std::unique_ptr<TBitmap> CurrentImage(IVMRWindowlessControl9* windowless) { return CurrentImageOf(windowless); }
std::unique_ptr<TBitmap> CurrentImage(IVMRWindowlessControl* windowless) { return CurrentImageOf(windowless); }

// ---- the video window's part ----

HRESULT TVideoForm::InsertSampleGrabber(IGraphBuilder* graph, IPin* upstream, IPin* mixerInput)
{
    FGrabber.Reset();
    ComPtr<ISampleGrabber> grabber;
    const HRESULT hr = InsertYUY2Grabber(graph, upstream, mixerInput, grabber);
    if (SUCCEEDED(hr))
        FGrabber = grabber;
    return hr;
}

std::unique_ptr<TBitmap> TVideoForm::GrabVideoFrame()
{
    switch (FKind) {
    case vrVMR9: return CurrentImage(FVMR9Windowless.Get());
    case vrVMR: return CurrentImage(FVMRWindowless.Get());
    case vrOverlay2:
    case vrOverlay: {
        ComPtr<ISampleGrabber> grabber;
        if (!FGrabber || FAILED(FGrabber.As(&grabber)))
            return nullptr;
        return GrabberFrame(grabber.Get());
    }
    case vrNormal:
    case vrNone: break;
    }
    return nullptr;
}
