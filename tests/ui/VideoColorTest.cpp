// The colour handlers on doubles of the mixing renderer's processing amplifier and the overlay
// mixer's pin, and the main window's colour page driving the video window.
#include "ui/Control_Unit.h"
#include "ui/Video_Color.h"
#include "ui/Video_Unit.h"

#include "tests/support/MixerPinConfigStubs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

// A stack object: the handlers hold no reference past the call. Base: I, or a class of stubs on it.
template <class I, class Base = I>
class TStackUnknown : public Base {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == __uuidof(I)) {
            *object = static_cast<I*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

class TMixerControlDouble : public TStackUnknown<IVMRMixerControl9> {
public:
    DWORD Flags = ProcAmpControl9_Brightness | ProcAmpControl9_Contrast | ProcAmpControl9_Hue | ProcAmpControl9_Saturation;
    float Min = -100, Max = 300, Default = 20;
    bool GetFails = false;
    std::optional<DWORD> RangeAsked;
    std::vector<VMR9ProcAmpControl> Sets;

    HRESULT STDMETHODCALLTYPE GetProcAmpControl(DWORD stream, VMR9ProcAmpControl* control) override
    {
        if (GetFails || stream != 0 || control->dwSize != 24)
            return E_FAIL;
        control->dwFlags = Flags;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetProcAmpControlRange(DWORD stream, VMR9ProcAmpControlRange* range) override
    {
        if (stream != 0 || range->dwSize != 24)
            return E_FAIL;
        RangeAsked = range->dwProperty;
        range->MinValue = Min;
        range->MaxValue = Max;
        range->DefaultValue = Default;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetProcAmpControl(DWORD, VMR9ProcAmpControl* control) override
    {
        Sets.push_back(*control);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetAlpha(DWORD, FLOAT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAlpha(DWORD, FLOAT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetZOrder(DWORD, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetZOrder(DWORD, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetOutputRect(DWORD, const VMR9NormalizedRect*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetOutputRect(DWORD, VMR9NormalizedRect*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetBackgroundClr(COLORREF) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBackgroundClr(COLORREF*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMixingPrefs(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMixingPrefs(DWORD*) override { return E_NOTIMPL; }
};

class TMixerPinDouble : public TStackUnknown<IMixerPinConfig2, TMixerPinConfigStubs> {
public:
    DWORD Flags = DDCOLOR_BRIGHTNESS | DDCOLOR_CONTRAST | DDCOLOR_HUE | DDCOLOR_SATURATION;
    bool GetFails = false;
    std::vector<DDCOLORCONTROL> Sets;

    HRESULT STDMETHODCALLTYPE GetOverlaySurfaceColorControls(DDCOLORCONTROL* control) override
    {
        if (GetFails || control->dwSize != 40)
            return E_FAIL;
        control->dwFlags = Flags;
        control->lBrightness = 1;  // current values the handler must not carry over
        control->lGamma = 7;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetOverlaySurfaceColorControls(DDCOLORCONTROL* control) override
    {
        Sets.push_back(*control);
        return S_OK;
    }
};

// What the handlers showed.
struct TShown {
    std::optional<TColorRangeLabels> Range;
    std::optional<std::string> Controls;
    TColorLabels Labels()
    {
        return {[this](const TColorRangeLabels& r) { Range = r; }, [this](const std::string& t) { Controls = t; }};
    }
};

const std::string Decoder = "Using Decoder ColorControls", Renderer = "Using Video Renderer ColorControls";

}  // namespace

TEST(VideoColor, MixingRendererMapsOntoItsOwnRange)
{
    const struct {
        const char* What;
        TVideoColorProperty Property;
        int Value;
        DWORD Bit;
        float Expected;
    } cases[] = {
        {"hue half up", TVideoColorProperty::Hue, 50, ProcAmpControl9_Hue, 160},
        {"0 is the renderer's default", TVideoColorProperty::Brightness, 0, ProcAmpControl9_Brightness, 20},
        {"bottom", TVideoColorProperty::Contrast, -100, ProcAmpControl9_Contrast, -100},
        {"outside the range is the default", TVideoColorProperty::Saturation, 150, ProcAmpControl9_Saturation, 20},
    };
    for (const auto& c : cases) {
        TMixerControlDouble mixer;
        TShown shown;
        ApplyVideoColor({vrVMR9, &mixer, MEDIASUBTYPE_YUY2, nullptr}, c.Property, c.Value, shown.Labels());
        ASSERT_EQ(mixer.Sets.size(), 1u) << c.What;
        EXPECT_EQ(mixer.RangeAsked, c.Bit) << c.What;
        const VMR9ProcAmpControl& set = mixer.Sets[0];
        EXPECT_EQ(set.dwSize, 24u) << c.What;
        EXPECT_EQ(set.dwFlags, c.Bit) << c.What;
        const float fields[] = {set.Hue, set.Brightness, set.Contrast, set.Saturation};
        const DWORD bits[] = {ProcAmpControl9_Hue, ProcAmpControl9_Brightness, ProcAmpControl9_Contrast,
                              ProcAmpControl9_Saturation};
        for (int i = 0; i < 4; ++i)
            EXPECT_FLOAT_EQ(fields[i], bits[i] == c.Bit ? c.Expected : 0.0f) << c.What << " field " << i;
        ASSERT_TRUE(shown.Range) << c.What;
        EXPECT_EQ(shown.Range->Min, "Min= -100.00");
        EXPECT_EQ(shown.Range->Max, "Max= 300.00");
        EXPECT_EQ(shown.Range->Default, "Default= 20.00");
        EXPECT_EQ(shown.Range->Range, "Range= 400.00");
        EXPECT_EQ(shown.Controls, Renderer) << c.What;
    }
}

TEST(VideoColor, MixingRendererFallsBackToTheDecoder)
{
    const struct {
        const char* What;
        GUID Subtype;
        DWORD Flags;
        bool GetFails;
        float Min, Max;
        bool RangeShown;
    } cases[] = {
        {"YV12 input", MEDIASUBTYPE_YV12, 0xF, false, 0, 100, false},
        {"no hue bit", MEDIASUBTYPE_YUY2, 0xB, false, 0, 100, false},
        {"amplifier fails", MEDIASUBTYPE_YUY2, 0xF, true, 0, 100, false},
        {"empty range", MEDIASUBTYPE_YUY2, 0xF, false, 5, 5, true},
    };
    for (const auto& c : cases) {
        TMixerControlDouble mixer;
        mixer.Flags = c.Flags;
        mixer.GetFails = c.GetFails;
        mixer.Min = c.Min;
        mixer.Max = c.Max;
        TShown shown;
        ApplyVideoColor({vrVMR9, &mixer, c.Subtype, nullptr}, TVideoColorProperty::Hue, 40, shown.Labels());
        EXPECT_TRUE(mixer.Sets.empty()) << c.What;
        EXPECT_EQ(shown.Range.has_value(), c.RangeShown) << c.What;
        EXPECT_EQ(shown.Controls, Decoder) << c.What;
    }
    // Without the mixer control at all.
    TShown shown;
    ApplyVideoColor({vrVMR9, nullptr, GUID_NULL, nullptr}, TVideoColorProperty::Hue, 40, shown.Labels());
    EXPECT_EQ(shown.Controls, Decoder);
}

TEST(VideoColor, OverlaySetsTheSurfaceControls)
{
    const struct {
        TVideoColorProperty Property;
        int Value;
        DWORD Bit;
        LONG Expected;
    } cases[] = {
        {TVideoColorProperty::Brightness, 100, DDCOLOR_BRIGHTNESS, 10000},
        {TVideoColorProperty::Brightness, -100, DDCOLOR_BRIGHTNESS, -10000},
        {TVideoColorProperty::Brightness, 0, DDCOLOR_BRIGHTNESS, 750},
        {TVideoColorProperty::Hue, -50, DDCOLOR_HUE, -90},
        {TVideoColorProperty::Contrast, 25, DDCOLOR_CONTRAST, 12500},
        {TVideoColorProperty::Saturation, -100, DDCOLOR_SATURATION, 0},
    };
    for (const auto& c : cases)
        for (TVideoRendererKind kind : {vrOverlay, vrOverlay2}) {
            TMixerPinDouble pin;
            TShown shown;
            ApplyVideoColor({kind, nullptr, GUID_NULL, &pin}, c.Property, c.Value, shown.Labels());
            ASSERT_EQ(pin.Sets.size(), 1u);
            DDCOLORCONTROL expected{};
            expected.dwSize = 40;
            expected.dwFlags = c.Bit;
            (c.Bit == DDCOLOR_BRIGHTNESS ? expected.lBrightness
             : c.Bit == DDCOLOR_HUE      ? expected.lHue
             : c.Bit == DDCOLOR_CONTRAST ? expected.lContrast
                                         : expected.lSaturation) = c.Expected;
            EXPECT_EQ(std::memcmp(&pin.Sets[0], &expected, sizeof expected), 0) << c.Value << " bit " << c.Bit;
            EXPECT_FALSE(shown.Range);
            EXPECT_EQ(shown.Controls, Renderer);
        }
}

TEST(VideoColor, OverlayAndOtherKindsWithoutControls)
{
    TMixerPinDouble noBit;
    noBit.Flags = DDCOLOR_HUE;
    TMixerPinDouble failing;
    failing.GetFails = true;
    const struct {
        const char* What;
        TColorRenderer Renderer;
        std::optional<std::string> Label;
    } cases[] = {
        {"overlay pin lacks the bit", {vrOverlay, nullptr, GUID_NULL, &noBit}, Decoder},
        {"no overlay pin", {vrOverlay2, nullptr, GUID_NULL, nullptr}, Decoder},
        {"overlay read fails: no label", {vrOverlay, nullptr, GUID_NULL, &failing}, std::nullopt},
        {"VMR7", {vrVMR, nullptr, GUID_NULL, &noBit}, Decoder},
        {"Video Renderer", {vrNormal, nullptr, GUID_NULL, nullptr}, Decoder},
        {"no renderer", {vrNone, nullptr, GUID_NULL, nullptr}, std::nullopt},
    };
    for (const auto& c : cases) {
        TShown shown;
        ApplyVideoColor(c.Renderer, TVideoColorProperty::Brightness, 60, shown.Labels());
        EXPECT_EQ(shown.Controls, c.Label) << c.What;
        EXPECT_FALSE(shown.Range) << c.What;
    }
    EXPECT_TRUE(noBit.Sets.empty());
    EXPECT_TRUE(failing.Sets.empty());
}

// The page on the real windows: without a renderer the video window only keeps the values.
TEST(VideoColor, PageSendsSlidersToTheVideoWindow)
{
    TApplication app;
    app.ShowExceptions = false;
    auto* control = app.CreateForm<TControlForm>();
    auto* video = app.CreateForm<TVideoForm>();
    control->VideoForm = video;
    video->ControlForm = control;
    TPlayerSettings& s = control->Settings;
    s.ColorHue = s.ColorBrightness = s.ColorSaturation = s.ColorContrast = 77;

    // A load with every slider at 0 sends nothing.
    control->VideoColorChange(nullptr);
    EXPECT_EQ(s.ColorHue, 77);
    EXPECT_EQ(s.ColorContrast, 77);

    // Each slider reaches its own property.
    control->VideoHue_Slider->SetPosition(-30);
    control->VideoBrightness_Slider->SetPosition(45);
    control->VideoSaturation_Slider->SetPosition(100);
    EXPECT_EQ(s.ColorHue, -30);
    EXPECT_EQ(s.ColorBrightness, 45);
    EXPECT_EQ(s.ColorSaturation, 100);
    EXPECT_EQ(s.ColorContrast, 77);

    // After a load only the sliders off 0 are sent.
    s.ColorHue = s.ColorBrightness = s.ColorSaturation = s.ColorContrast = 77;
    control->VideoColorChange(nullptr);
    EXPECT_EQ(s.ColorHue, -30);
    EXPECT_EQ(s.ColorBrightness, 45);
    EXPECT_EQ(s.ColorSaturation, 100);
    EXPECT_EQ(s.ColorContrast, 77);

    // The default button returns all four to 0, each applying itself.
    control->VideoContrast_Slider->SetPosition(10);
    control->VideoColor_Default_BtnClick(nullptr);
    for (TTrackBar* slider : {control->VideoHue_Slider, control->VideoBrightness_Slider, control->VideoSaturation_Slider,
                              control->VideoContrast_Slider})
        EXPECT_EQ(slider->Position(), 0);
    EXPECT_EQ(s.ColorHue, 0);
    EXPECT_EQ(s.ColorBrightness, 0);
    EXPECT_EQ(s.ColorSaturation, 0);
    EXPECT_EQ(s.ColorContrast, 0);
    control->Closing = true;
}
