// The main window's "Video Color Settings" page: four sliders, their range labels, the label
// that says which controls act, and the default button.
#include "ui/Control_Unit.h"
#include "ui/Video_Color.h"
#include "ui/Video_Unit.h"

#include <vector>

namespace {

// The default button's four faces (enabled, hot, pressed, disabled), 48 x 17 each.
void DrawDefaultButtonFaces(TImageList& images)
{
    constexpr int W = 48, H = 17;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = W * 4;
    info.bmiHeader.biHeight = -H;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const TBitmapHandle strip(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!strip)
        return;
    const TMemoryDC dc(CreateCompatibleDC(nullptr));
    const TSelectObject select(dc.Get(), strip.Get());
    const COLORREF faces[4] = {RGB(64, 64, 64), RGB(96, 96, 96), RGB(32, 32, 32), RGB(48, 48, 48)};
    const COLORREF texts[4] = {RGB(166, 202, 240), RGB(220, 235, 255), RGB(166, 202, 240), RGB(110, 110, 110)};
    SetBkMode(dc.Get(), TRANSPARENT);
    for (int i = 0; i < 4; ++i) {
        RECT r{i * W, 0, i * W + W, H};
        const TBrushHandle brush(CreateSolidBrush(faces[i]));
        FillRect(dc.Get(), &r, brush.Get());
        FrameRect(dc.Get(), &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        SetTextColor(dc.Get(), texts[i]);
        DrawTextA(dc.Get(), "Default", -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
    GdiFlush();
    std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits), static_cast<const uint32_t*>(bits) + W * 4 * H);
    for (uint32_t& p : pixels)
        p |= 0xFF000000u;
    images.AddStrip(W * 4, H, pixels.data());
}

}  // namespace

void TControlForm::CreateVideoColorPage()
{
    TPage* page = Notebook1->Pages(4);
    const auto label = [&](const char* name, int left, int top, int width) {
        auto* l = NewComponent<TLabel>(this);
        l->Name = name;
        l->SetBounds(left, top, width, 13);
        l->SetParent(page);
        return l;
    };
    const struct {
        TTrackBar** Slider;
        const char* Name;
        const char* Caption;
        int Tag;
    } sliders[] = {{&VideoHue_Slider, "VideoHue_Slider", "Hue", 0},
                   {&VideoBrightness_Slider, "VideoBrightness_Slider", "Brightness", 1},
                   {&VideoSaturation_Slider, "VideoSaturation_Slider", "Saturation", 2},
                   {&VideoContrast_Slider, "VideoContrast_Slider", "Contrast", 3}};
    int top = 2;
    for (const auto& s : sliders) {
        label("", 4, top + 3, 58)->SetCaption(s.Caption);
        auto* slider = NewComponent<TTrackBar>(this);
        slider->Name = s.Name;
        slider->Tag = s.Tag;
        slider->Min = -100;
        slider->Max = 100;
        slider->SetBounds(62, top, 150, 20);
        slider->SetParent(page);
        slider->OnChange = [this](TObject* sender) { VideoColorChange(sender); };
        *s.Slider = slider;
        top += 21;
    }
    Label1 = label("Label1", 220, 2, 160);
    Label15 = label("Label15", 220, 17, 160);
    Label16 = label("Label16", 220, 32, 160);
    Label18 = label("Label18", 220, 47, 160);
    Label21 = label("Label21", 220, 66, 160);

    DefaultBtn_Images = NewComponent<TImageList>(this, 48, 17);
    DrawDefaultButtonFaces(*DefaultBtn_Images);
    VideoColor_Default_Btn = NewComponent<TPaintBox>(this);
    VideoColor_Default_Btn->Name = "VideoColor_Default_Btn";
    VideoColor_Default_Btn->SetBounds(220, 84, 48, 17);
    VideoColor_Default_Btn->SetParent(page);
    VideoColor_Default_Btn->OnPaint = [this](TObject*, HDC dc) {
        DefaultBtn_Images->Draw(dc, 0, 0, FDefaultBtnFace >= 0 ? FDefaultBtnFace : VideoColor_Default_Btn->Enabled() ? 0 : 3);
    };
    VideoColor_Default_Btn->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) {
        FDefaultBtnFace = 2;
        VideoColor_Default_Btn->Invalidate();
    };
    VideoColor_Default_Btn->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) {
        FDefaultBtnFace = -1;
        VideoColor_Default_Btn->Invalidate();
    };
    VideoColor_Default_Btn->OnClick = [this](TObject* sender) { VideoColor_Default_BtnClick(sender); };
}

void TControlForm::VideoColorChange(TObject* sender)
{
    if (!VideoForm)
        return;
    const auto apply = [this](TVideoColorProperty property, int value) {
        switch (property) {
        case TVideoColorProperty::Hue: VideoForm->SetVideoHue(value); break;
        case TVideoColorProperty::Brightness: VideoForm->SetVideoBrightness(value); break;
        case TVideoColorProperty::Saturation: VideoForm->SetVideoSaturation(value); break;
        case TVideoColorProperty::Contrast: VideoForm->SetVideoContrast(value); break;
        }
    };
    if (!sender) {
        const int positions[4] = {VideoHue_Slider->Position(), VideoBrightness_Slider->Position(),
                                  VideoSaturation_Slider->Position(), VideoContrast_Slider->Position()};
        for (const auto& [property, value] : ColorValuesOnLoad(positions))
            apply(property, value);
        return;
    }
    const auto* slider = dynamic_cast<const TTrackBar*>(sender);
    TVideoColorProperty property{};
    if (slider && VideoColorPropertyFromTag(static_cast<int>(slider->Tag), property))
        apply(property, slider->Position());
}

void TControlForm::VideoColor_Default_BtnClick(TObject*)
{
    for (TTrackBar* slider : {VideoHue_Slider, VideoBrightness_Slider, VideoSaturation_Slider, VideoContrast_Slider})
        slider->SetPosition(0);
}

TColorLabels TControlForm::VideoColorLabels()
{
    TColorLabels labels;
    labels.ShowRange = [this](const TColorRangeLabels& range) {
        Label1->SetCaption(range.Min);
        Label15->SetCaption(range.Max);
        Label16->SetCaption(range.Default);
        Label18->SetCaption(range.Range);
    };
    labels.ShowControls = [this](const std::string& text) { Label21->SetCaption(text); };
    return labels;
}

void TControlForm::ReadVideoColorSettings()
{
    // Each position applies itself, which would write the engine's values over those just read.
    const TPlayerSettings engine = Settings;
    VideoHue_Slider->SetPosition(Settings.Hue);
    VideoBrightness_Slider->SetPosition(Settings.Brightness);
    VideoSaturation_Slider->SetPosition(Settings.Saturation);
    VideoContrast_Slider->SetPosition(Settings.Contrast);
    Settings.ColorHue = engine.ColorHue;
    Settings.ColorBrightness = engine.ColorBrightness;
    Settings.ColorSaturation = engine.ColorSaturation;
    Settings.ColorContrast = engine.ColorContrast;
}

void TControlForm::StoreVideoColorSettings()
{
    Settings.Hue = VideoHue_Slider->Position();
    Settings.Brightness = VideoBrightness_Slider->Position();
    Settings.Saturation = VideoSaturation_Slider->Position();
    Settings.Contrast = VideoContrast_Slider->Position();
}
