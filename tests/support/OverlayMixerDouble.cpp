// A double of the overlay mixer as an in-process server, for the real player in another
// process: a video filter under the overlay mixer's class id whose input pin has the overlay
// colour controls. The player's test registers it in the prefix only while it runs. Colour
// sets are appended to the file named by PVL_OVERLAY_MIXER_LOG, one line each.
#include "tests/support/MixerPinConfigStubs.h"

#include "ui/SnapShot_UnitCore.h"

#include "dshow/BCTransform.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

namespace {

constexpr DWORD kAllColorControls = DDCOLOR_BRIGHTNESS | DDCOLOR_CONTRAST | DDCOLOR_HUE | DDCOLOR_SATURATION;

class TMixerInputPin final : public TBCTransformInputPin, public TMixerPinConfigStubs {
public:
    explicit TMixerInputPin(TBCTransformFilter* filter) : TBCTransformInputPin(filter, L"Input0") {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        return TBCTransformInputPin::QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return TBCTransformInputPin::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return TBCTransformInputPin::Release(); }
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override
    {
        if (iid == __uuidof(IMixerPinConfig2))
            return TBCUnknown::GetInterface(static_cast<IMixerPinConfig2*>(this), object);
        return TBCTransformInputPin::NonDelegatingQueryInterface(iid, object);
    }

    HRESULT STDMETHODCALLTYPE SetOverlaySurfaceColorControls(DDCOLORCONTROL* control) override
    {
        if (!control || control->dwSize != sizeof(DDCOLORCONTROL))
            return E_INVALIDARG;
        const std::lock_guard lock(FLock);
        Log(*control);
        if (control->dwFlags & DDCOLOR_BRIGHTNESS)
            FControls.lBrightness = control->lBrightness;
        if (control->dwFlags & DDCOLOR_CONTRAST)
            FControls.lContrast = control->lContrast;
        if (control->dwFlags & DDCOLOR_HUE)
            FControls.lHue = control->lHue;
        if (control->dwFlags & DDCOLOR_SATURATION)
            FControls.lSaturation = control->lSaturation;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetOverlaySurfaceColorControls(DDCOLORCONTROL* control) override
    {
        if (!control)
            return E_POINTER;
        const std::lock_guard lock(FLock);
        *control = FControls;
        return S_OK;
    }

private:
    static void Log(const DDCOLORCONTROL& c)
    {
        const char* path = std::getenv("PVL_OVERLAY_MIXER_LOG");
        if (!path || !*path)
            return;
        if (FILE* file = std::fopen(path, "ab")) {
            std::fprintf(file, "flags=%lu brightness=%ld contrast=%ld hue=%ld saturation=%ld\n",
                         static_cast<unsigned long>(c.dwFlags), static_cast<long>(c.lBrightness),
                         static_cast<long>(c.lContrast), static_cast<long>(c.lHue), static_cast<long>(c.lSaturation));
            std::fclose(file);
        }
    }

    std::mutex FLock;
    DDCOLORCONTROL FControls{sizeof(DDCOLORCONTROL), kAllColorControls, 750, 10000, 0, 10000, 0, 0, 0, 0};
};

// Frames pass unchanged where the renderer takes them; this platform's Video Renderer takes no
// YUY2, so such frames are also offered as 32-bit RGB (bottom-up), converted on the way.
class TMixerFilter final : public TBCTransformFilter {
public:
    TMixerFilter() : TBCTransformFilter(L"Overlay Mixer double", nullptr, CLSID_OverlayMixer) {}

    HRESULT CheckInputType(const AM_MEDIA_TYPE* type) override
    {
        return type->majortype == MEDIATYPE_Video ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT CheckTransform(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) override
    {
        if (TBCMediaType::SameTypes(*input, *output))
            return S_OK;
        TBCMediaType rgb;
        return RgbOf(*input, rgb) && TBCMediaType::SameTypes(*rgb.Get(), *output) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT GetMediaType(int position, TBCMediaType& type) override
    {
        if (position == 0) {
            type = FInputType;
            return S_OK;
        }
        return position == 1 && RgbOf(*FInputType.Get(), type) ? S_OK : VFW_S_NO_MORE_ITEMS;
    }
    HRESULT SetMediaType(PIN_DIRECTION direction, const AM_MEDIA_TYPE* type) override
    {
        (direction == PINDIR_INPUT ? FInputType : FOutputType).Set(*type);
        return S_OK;
    }
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES*) override
    {
        const long in = static_cast<long>(FInputType->lSampleSize);
        const long out = static_cast<long>(FOutputType->lSampleSize);
        ALLOCATOR_PROPERTIES wanted{2, std::max({in, out, 1L << 16}), 1, 0}, actual{};
        return allocator->SetProperties(&wanted, &actual);
    }
    HRESULT Transform(IMediaSample* input, IMediaSample* output) override
    {
        BYTE *from = nullptr, *to = nullptr;
        input->GetPointer(&from);
        output->GetPointer(&to);
        const AM_MEDIA_TYPE& in = *FInputType.Get();
        const std::span<const uint8_t> frame(from, static_cast<size_t>(input->GetActualDataLength()));
        if (FOutputType->subtype != MEDIASUBTYPE_RGB32) {
            const long length = std::min(input->GetActualDataLength(), output->GetSize());
            std::memcpy(to, from, static_cast<size_t>(length));
            output->SetActualDataLength(length);
            return S_OK;
        }
        const std::optional<TYUY2Layout> layout =
            YUY2FrameLayout(in.formattype == FORMAT_VideoInfo, {in.pbFormat, in.cbFormat}, frame);
        const size_t row = layout ? static_cast<size_t>(layout->Width) * 4 : 0;
        if (!layout || static_cast<size_t>(output->GetSize()) < row * static_cast<size_t>(layout->Height))
            return S_FALSE;
        std::vector<uint32_t> pixels(static_cast<size_t>(layout->Width) * static_cast<size_t>(layout->Height));
        YUY2ToPixels(*layout, frame, pixels.data());
        for (int y = 0; y < layout->Height; ++y)
            std::memcpy(to + row * static_cast<size_t>(layout->Height - 1 - y), pixels.data() + row / 4 * static_cast<size_t>(y), row);
        output->SetActualDataLength(static_cast<long>(row * static_cast<size_t>(layout->Height)));
        return S_OK;
    }

protected:
    std::unique_ptr<TBCTransformInputPin> MakeInputPin() override { return std::make_unique<TMixerInputPin>(this); }

private:
    // The 32-bit RGB form of a YUY2 VIDEOINFOHEADER type; false for any other type.
    static bool RgbOf(const AM_MEDIA_TYPE& input, TBCMediaType& rgb)
    {
        if (input.subtype != MEDIASUBTYPE_YUY2 || input.formattype != FORMAT_VideoInfo || !input.pbFormat ||
            input.cbFormat < sizeof(VIDEOINFOHEADER))
            return false;
        VIDEOINFOHEADER info = *reinterpret_cast<const VIDEOINFOHEADER*>(input.pbFormat);
        BITMAPINFOHEADER& header = info.bmiHeader;
        header.biHeight = std::abs(header.biHeight);
        header.biBitCount = 32;
        header.biCompression = BI_RGB;
        header.biSizeImage = static_cast<DWORD>(header.biWidth) * static_cast<DWORD>(header.biHeight) * 4;
        AM_MEDIA_TYPE type{};
        type.majortype = MEDIATYPE_Video;
        type.subtype = MEDIASUBTYPE_RGB32;
        type.bFixedSizeSamples = TRUE;
        type.lSampleSize = header.biSizeImage;
        type.formattype = FORMAT_VideoInfo;
        if (FAILED(rgb.Set(type)))
            return false;
        return SUCCEEDED(rgb.SetFormat(&info, sizeof info));
    }

    // Set while connecting, read while streaming.
    TBCMediaType FInputType, FOutputType;
};

HRESULT CreateMixer(IUnknown* outer, REFIID iid, void** object)
{
    if (outer)
        return CLASS_E_NOAGGREGATION;
    return ComGuarded([&] { return TBCUnknown::QueryNew(new TMixerFilter(), iid, object); });
}

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (clsid != CLSID_OverlayMixer)
        return CLASS_E_CLASSNOTAVAILABLE;
    ComPtr<IClassFactory> factory;
    const HRESULT hr = TBCClassFactory::Create(CreateMixer, factory.GetAddressOf());
    return FAILED(hr) ? hr : factory->QueryInterface(iid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return TBCUnknown::ObjectCount() == 0 && TBCClassFactory::LockCount() == 0 ? S_OK : S_FALSE;
}
