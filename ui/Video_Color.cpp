#include "ui/Video_Color.h"

#include "ui/Control_Unit.h"
#include "ui/Video_Unit.h"

#include "engine/DSUtil.h"

namespace {

float& ProcAmpField(VMR9ProcAmpControl& control, TVideoColorProperty property)
{
    switch (property) {
    case TVideoColorProperty::Hue: return control.Hue;
    case TVideoColorProperty::Brightness: return control.Brightness;
    case TVideoColorProperty::Contrast: return control.Contrast;
    case TVideoColorProperty::Saturation: return control.Saturation;
    }
    return control.Hue;
}

LONG& OverlayField(DDCOLORCONTROL& control, TVideoColorProperty property)
{
    switch (property) {
    case TVideoColorProperty::Hue: return control.lHue;
    case TVideoColorProperty::Brightness: return control.lBrightness;
    case TVideoColorProperty::Contrast: return control.lContrast;
    case TVideoColorProperty::Saturation: return control.lSaturation;
    }
    return control.lHue;
}

// 3. False when the decoder's controls are meant.
bool ApplyToMixingRenderer(const TColorRenderer& r, TVideoColorProperty property, int value, const TColorLabels& labels)
{
    const uint32_t bit = VideoColorTraits(property).Bit;
    // a.
    if (!r.Mixer || r.InputSubtype == MEDIASUBTYPE_YV12)
        return false;
    // b.
    VMR9ProcAmpControl control{};
    control.dwSize = sizeof control;
    if (FAILED(r.Mixer->GetProcAmpControl(0, &control)) || (control.dwFlags & bit) == 0)
        return false;
    // c.
    VMR9ProcAmpControlRange range{};
    range.dwSize = sizeof range;
    range.dwProperty = static_cast<VMR9ProcAmpControlFlags>(bit);
    if (FAILED(r.Mixer->GetProcAmpControlRange(0, &range)))
        return false;
    if (labels.ShowRange)
        labels.ShowRange(ColorRangeLabels(range.MinValue, range.MaxValue, range.DefaultValue));
    // d.
    if (range.MinValue - range.MaxValue == 0.0f)
        return false;
    VMR9ProcAmpControl set{};
    set.dwSize = sizeof set;
    set.dwFlags = bit;
    ProcAmpField(set, property) =
        static_cast<float>(MapColorValue(value, {range.MinValue, range.DefaultValue, range.MaxValue}));
    r.Mixer->SetProcAmpControl(0, &set);
    return true;
}

enum class TOverlayResult { Decoder, Renderer, NoLabel };

// 4.
TOverlayResult ApplyToOverlay(const TColorRenderer& r, TVideoColorProperty property, int value)
{
    const uint32_t bit = VideoColorTraits(property).Bit;
    // a.
    if (!r.OverlayPin)
        return TOverlayResult::Decoder;
    // b.
    DDCOLORCONTROL control{};
    control.dwSize = sizeof control;
    if (FAILED(r.OverlayPin->GetOverlaySurfaceColorControls(&control)))
        return TOverlayResult::NoLabel;
    if ((control.dwFlags & bit) == 0)
        return TOverlayResult::Decoder;
    // c.
    DDCOLORCONTROL set{};
    set.dwSize = sizeof set;
    set.dwFlags = bit;
    OverlayField(set, property) = OverlayColorValue(property, value);
    r.OverlayPin->SetOverlaySurfaceColorControls(&set);
    return TOverlayResult::Renderer;
}

}  // namespace

void ApplyVideoColor(const TColorRenderer& renderer, TVideoColorProperty property, int value, const TColorLabels& labels)
{
    // 2.
    bool decoder = true;
    switch (renderer.Kind) {
    case vrVMR9: decoder = !ApplyToMixingRenderer(renderer, property, value, labels); break;
    case vrOverlay2:
    case vrOverlay:
        switch (ApplyToOverlay(renderer, property, value)) {
        case TOverlayResult::NoLabel: return;
        case TOverlayResult::Renderer: decoder = false; break;
        case TOverlayResult::Decoder: break;
        }
        break;
    // 5.
    case vrVMR:
    case vrNormal: break;
    case vrNone: return;
    }
    // 6.
    if (labels.ShowControls)
        labels.ShowControls(ColorControlsLabel(decoder));
}

ComPtr<IMixerPinConfig2> OverlayColorPin(IBaseFilter* overlayMixer)
{
    ComPtr<IEnumPins> pins;
    if (!overlayMixer || FAILED(overlayMixer->EnumPins(&pins)))
        return nullptr;
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        PIN_DIRECTION direction;
        ComPtr<IMixerPinConfig2> config;
        if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == PINDIR_INPUT && SUCCEEDED(pin.As(&config)))
            return config;
    }
    return nullptr;
}

GUID VMRInputSubtype(IBaseFilter* renderer)
{
    ComPtr<IPin> input;
    AM_MEDIA_TYPE type{};
    if (!renderer || FAILED(renderer->FindPin(L"VMR Input0", &input)) || FAILED(input->ConnectionMediaType(&type)))
        return GUID_NULL;
    const GUID subtype = type.subtype;
    FreeMediaType(type);
    return subtype;
}

// ---- the video window's handlers ----

void TVideoForm::SetVideoHue(int value) { SetVideoColor(TVideoColorProperty::Hue, value); }
void TVideoForm::SetVideoBrightness(int value) { SetVideoColor(TVideoColorProperty::Brightness, value); }
void TVideoForm::SetVideoContrast(int value) { SetVideoColor(TVideoColorProperty::Contrast, value); }
void TVideoForm::SetVideoSaturation(int value) { SetVideoColor(TVideoColorProperty::Saturation, value); }

void TVideoForm::SetVideoColor(TVideoColorProperty property, int value)
{
    // 1. The engine's values are kept with the settings it writes.
    if (ControlForm) {
        TPlayerSettings& s = ControlForm->Settings;
        switch (property) {
        case TVideoColorProperty::Hue: s.ColorHue = value; break;
        case TVideoColorProperty::Brightness: s.ColorBrightness = value; break;
        case TVideoColorProperty::Contrast: s.ColorContrast = value; break;
        case TVideoColorProperty::Saturation: s.ColorSaturation = value; break;
        }
    }
    if (!FRenderer)
        return;
    TColorRenderer renderer;
    renderer.Kind = FKind;
    ComPtr<IMixerPinConfig2> overlayPin;
    if (FKind == vrVMR9) {
        renderer.Mixer = FVMR9Mixer.Get();
        renderer.InputSubtype = VMRInputSubtype(FRenderer.Get());
    } else if (FKind == vrOverlay2 || FKind == vrOverlay) {
        overlayPin = OverlayColorPin(FOverlayMixer.Get());
        renderer.OverlayPin = overlayPin.Get();
    }
    ApplyVideoColor(renderer, property, value, ControlForm ? ControlForm->VideoColorLabels() : TColorLabels{});
}
