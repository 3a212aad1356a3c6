// The main window's sound pages: the equaliser with its presets, the sound processing
// sliders, both surround pages, the audio delay, and the volume and mute of the main strip.
#include "ui/Control_Unit.h"

#include "DSFilters/ParvoluxSoundProcessor.h"
#include "engine/SRS_CircleSurroundII.h"
#include "engine/SRS_TruSurroundXT.h"
#include "ui/Video_Unit.h"

#include <algorithm>
#include <initializer_list>

namespace {

constexpr int kPageEqualizer = 0, kPageSoundProcessing = 1, kPageSmartSync = 5;
constexpr const char* kEQBandNames[kEQBandCount] = {"EQ_60", "EQ_170", "EQ_310", "EQ_600", "EQ_1K",
                                                    "EQ_3K", "EQ_6K",  "EQ_12K", "EQ_14K", "EQ_16K"};

TTrackBar* NewSlider(TComponent* owner, TWinControl* parent, const char* name, int min, int max, int position,
                     const TRect& bounds, bool vertical = false)
{
    auto* slider = NewComponent<TTrackBar>(owner);
    slider->Name = name;
    slider->Min = min;
    slider->Max = max;
    slider->Vertical = vertical;
    slider->SetPosition(position);
    slider->SetBounds(bounds.left, bounds.top, bounds.Width(), bounds.Height());
    slider->SetParent(parent);
    return slider;
}

TLabel* NewLabel(TComponent* owner, TWinControl* parent, const char* name, const std::string& caption, const TRect& bounds)
{
    auto* label = NewComponent<TLabel>(owner);
    label->Name = name;
    label->FontColor = RGB(255, 255, 255);
    label->Color = RGB(0, 0, 0);
    label->SetCaption(caption);
    label->SetBounds(bounds.left, bounds.top, bounds.Width(), bounds.Height());
    label->SetParent(parent);
    return label;
}

TPaintBox* NewBox(TComponent* owner, TWinControl* parent, const char* name, const TRect& bounds, intptr_t tag)
{
    auto* box = NewComponent<TPaintBox>(owner);
    box->Name = name;
    box->Tag = tag;
    box->SetBounds(bounds.left, bounds.top, bounds.Width(), bounds.Height());
    box->SetParent(parent);
    return box;
}

TRect At(int left, int top, int width, int height)
{
    return TRect(left, top, left + width, top + height);
}

// A slider of a column with its caption on the left, both at Top (the caption two lower).
struct TSliderRow {
    TTrackBar** Slider;
    const char* Name;
    int Max, Position;
    const char* LabelName;
    const char* Caption;
    int Top;
};

// The rows in order, each caption before its slider; the sliders start at 0.
void NewSliderRows(TComponent* owner, TWinControl* parent, std::initializer_list<TSliderRow> rows, int captionWidth,
                   int sliderWidth)
{
    for (const TSliderRow& row : rows) {
        NewLabel(owner, parent, row.LabelName, row.Caption, At(4, row.Top + 2, captionWidth, 16));
        *row.Slider = NewSlider(owner, parent, row.Name, 0, row.Max, row.Position,
                                At(6 + captionWidth, row.Top, sliderWidth, 20));
    }
}

// A surround slider sends its position to its effect, while there is one and the page is not
// being filled from it.
template <class TEffect, class TSend>
void SendToEffect(TTrackBar* slider, TEffect* const& effect, const bool& filling, TSend send)
{
    slider->OnChange = [slider, &effect, &filling, send](TObject*) {
        if (effect && !filling)
            send(*effect, slider->Position());
    };
}

// A stage of the sound processor: on or off, and its value.
void SendStage(TParvoluxSoundProcessor* processor, const TStageSetting& stage,
               void (TParvoluxSoundProcessor::*enable)(bool), void (TParvoluxSoundProcessor::*set)(int32_t))
{
    if (!processor)
        return;
    (processor->*enable)(stage.Enabled);
    (processor->*set)(stage.Value);
}

}  // namespace

// ---- the pages ----

void TControlForm::CreateSoundPages()
{
    const auto page = [this](int index) { return Notebook1->Pages(index); };
    const auto black = [](TWinControl* control) { control->SetColor(clBlack); };
    for (int i = 0; i < Notebook1->PageCount(); ++i)
        black(page(i));

    // Equalizer: the bands, top is the boost.
    for (int b = 0; b < kEQBandCount; ++b) {
        TTrackBar* band = NewSlider(this, page(kPageEqualizer), kEQBandNames[b], -100, 100, 0, At(4 + b * 29, 2, 26, 88), true);
        band->Tag = b;
        band->Hint = "0 %";
        band->ShowHint = true;
        band->OnScroll = [this](TObject* sender) { EQChanged(sender); };
        EQBands[b] = band;
    }
    EQ_60 = EQBands[0], EQ_170 = EQBands[1], EQ_310 = EQBands[2], EQ_600 = EQBands[3], EQ_1K = EQBands[4];
    EQ_3K = EQBands[5], EQ_6K = EQBands[6], EQ_12K = EQBands[7], EQ_14K = EQBands[8], EQ_16K = EQBands[9];
    NewLabel(this, page(kPageEqualizer), "Label20", "Preset:", At(4, 94, 44, 16));
    Label22 = NewLabel(this, page(kPageEqualizer), "Label22", EQPresetNames[0], At(50, 94, 200, 16));

    // Sound Processing.
    TPage* sound = page(kPageSoundProcessing);
    NewSliderRows(this, sound,
                  {{&PreAmp_Slider, "PreAmp_Slider", 1000, 0, "Label27", "Pre. Amplify", 0},
                   {&Snd3D_Slider, "Snd3D_Slider", 900, 0, "Label28", "Stereo Enhancer", 20}},
                  90, 200);
    NewLabel(this, sound, "Label29", "Dyn. Amplify", At(4, 42, 90, 16));
    NewSliderRows(this, sound,
                  {{&DynAmp_MaxAmp_Slider, "DynAmp_MaxAmp_Slider", 10000, 0, "Label65", "Max Amp:", 58},
                   {&DynAmp_Attack_Slider, "DynAmp_Attack_Slider", 10000, 1000, "Label66", "Attack:", 78},
                   {&DynAmp_Release_Slider, "DynAmp_Release_Slider", 10000, 3000, "Label67", "Release Time:", 98}},
                  90, 200);
    PreAmp_Slider->OnChange = [this](TObject* sender) { PreAmp_SliderChange(sender); };
    Snd3D_Slider->OnChange = [this](TObject* sender) { Snd3D_SliderChange(sender); };
    DynAmp_MaxAmp_Slider->OnChange = [this](TObject* sender) { DynAmp_MaxAmp_SliderChange(sender); };
    DynAmp_Attack_Slider->OnChange = [this](TObject* sender) { DynAmp_Attack_SliderChange(sender); };
    DynAmp_Release_Slider->OnChange = [this](TObject* sender) { DynAmp_Release_SliderChange(sender); };

    CheckBox_Images = NewComponent<TImageList>(this, 17, 17);
    CheckBox_Images->LoadFromResource("CHECKBOX_IMAGES");
    RadioButton_Images = NewComponent<TImageList>(this, 17, 17);
    RadioButton_Images->LoadFromResource("RADIOBUTTON_IMAGES");
    PowerBtn_Images = NewComponent<TImageList>(this, 43, 17);
    PowerBtn_Images->LoadFromResource("POWERBTN_IMAGES");
    const auto powerBox = [this](TWinControl* parent, const char* name, bool truSurround) {
        TPaintBox* box = NewBox(this, parent, name, At(252, 2, 43, 17), 0);
        box->OnPaint = [this, box](TObject*, HDC dc) {
            PowerBtn_Images->Draw(dc, 0, 0, PowerButtonImageIndex(box->Tag != 0, box->Enabled(), FPressedPower == box));
        };
        box->OnMouseDown = [this, box](TObject*, TMouseButton, TShiftState, int, int) {
            FPressedPower = box;
            box->Invalidate();
        };
        box->OnMouseUp = [this, box, truSurround](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
            FPressedPower = nullptr;
            box->Invalidate();
            if (truSurround)
                SRS_TS_ONOFFMouseUp(sender, button, shift, x, y);
            else
                SRS_CS_ONOFFMouseUp(sender, button, shift, x, y);
        };
        return box;
    };

    // SRS TruSurround XT.
    SRS_TS_Frame = NewComponent<TPanel>(this);
    SRS_TS_Frame->SetColor(clBlack);
    SRS_TS_Frame->SetAlign(alClient);
    SRS_TS_Frame->SetParent(page(kPageTruSurround));
    SRS_TS_ONOFF = powerBox(SRS_TS_Frame, "SRS_TS_ONOFF", true);
    NewSliderRows(this, SRS_TS_Frame,
                  {{&SRS_TS_TBLevel, "SRS_TS_TBLevel", 100, 0, "Label51", "SRS TruBass Level", 22},
                   {&SRS_TS_FocusLevel, "SRS_TS_FocusLevel", 100, 0, "Label53", "SRS Dialog Clarity", 44},
                   {&SRS_TS_SpkSize, "SRS_TS_SpkSize", 7, 0, "Label56", "Speaker Size", 66}},
                  110, 180);
    SendToEffect(SRS_TS_TBLevel, SRS_TS1, FFillingSurround,
                 [](TSRS_TruSurroundXT& effect, int position) { effect.SetTruBassLevel(position); });
    SendToEffect(SRS_TS_FocusLevel, SRS_TS1, FFillingSurround,
                 [](TSRS_TruSurroundXT& effect, int position) { effect.SetFocusLevel(position); });
    SendToEffect(SRS_TS_SpkSize, SRS_TS1, FFillingSurround, [](TSRS_TruSurroundXT& effect, int position) {
        effect.SetTruBassSpeaker_Size(static_cast<TSRS_TS_SpeakerSize>(position));
    });

    // SRS CircleSurround II.
    SRS_CS_Frame = NewComponent<TPanel>(this);
    SRS_CS_Frame->SetColor(clBlack);
    SRS_CS_Frame->SetAlign(alClient);
    SRS_CS_Frame->SetParent(page(kPageCircleSurround));
    SRS_CS_ONOFF = powerBox(SRS_CS_Frame, "SRS_CS_ONOFF", false);
    NewLabel(this, SRS_CS_Frame, "Label14", "Mode:", At(4, 2, 40, 16));
    SRS_CS_ModeSelection = NewComponent<TPanel>(this);
    SRS_CS_ModeSelection->SetColor(clBlack);
    SRS_CS_ModeSelection->SetBounds(44, 0, 200, 20);
    SRS_CS_ModeSelection->SetParent(SRS_CS_Frame);
    const struct {
        TPaintBox** Box;
        const char* Name;
        const char* Label;
        int Mode;
    } modes[] = {{&SRS_CS_ModeCinema, "SRS_CS_ModeCinema", "Cinema", 0},
                 {&SRS_CS_ModeMusic, "SRS_CS_ModeMusic", "Music", 1},
                 {&SRS_CS_ModeMono, "SRS_CS_ModeMono", "Mono", 2}};
    for (const auto& m : modes) {
        TPaintBox* box = NewBox(this, SRS_CS_ModeSelection, m.Name, At(m.Mode * 66, 1, 17, 17), RadioButtonTag(m.Mode, 0));
        box->OnPaint = [this, box](TObject*, HDC dc) {
            RadioButton_Images->Draw(dc, 0, 0, RadioButtonImageIndex(static_cast<int>(box->Tag), box->Enabled()));
        };
        box->OnClick = [this](TObject* sender) { OwnDrawRadioButtonClick(sender); };
        NewLabel(this, SRS_CS_ModeSelection, "", m.Label, At(m.Mode * 66 + 19, 2, 46, 16));
        *m.Box = box;
    }
    const struct {
        TPaintBox** Box;
        const char* Name;
        const char* Label;
        int Left, Top;
    } checks[] = {{&SRS_CS_TBFront, "SRS_CS_TBFront", "TruBass Front", 4, 22},
                  {&SRS_CS_TBSub, "SRS_CS_TBSub", "TruBass Subwoofer", 150, 22},
                  {&SRS_CS_PhantomCenter, "SRS_CS_PhantomCenter", "Phantom Center", 4, 40},
                  {&SRS_CS_FullBwFront, "SRS_CS_FullBwFront", "Full Bandw. Front Center", 150, 40},
                  {&SRS_CS_FullBwRear, "SRS_CS_FullBwRear", "Full Bandw. Rear Center", 4, 58}};
    for (const auto& c : checks) {
        TPaintBox* box = NewBox(this, SRS_CS_Frame, c.Name, At(c.Left, c.Top, 17, 17), 0);
        box->SetEnabled(false);
        box->OnPaint = [this, box](TObject*, HDC dc) {
            CheckBox_Images->Draw(dc, 0, 0, CheckBoxImageIndex(static_cast<int>(box->Tag), box->Enabled()));
        };
        box->OnClick = [this](TObject* sender) { OwnDrawCheckboxClick(sender); };
        TLabel* label = NewLabel(this, SRS_CS_Frame, "", c.Label, At(c.Left + 19, c.Top + 1, 125, 16));
        if (c.Box == &SRS_CS_FullBwRear) {
            SRS_CS_FullBwRear_Label = label;
            label->Name = "SRS_CS_FullBwRear_Label";
        }
        *c.Box = box;
    }
    NewLabel(this, SRS_CS_Frame, "Label32", "SRS TruBass Level", At(150, 58, 100, 16));
    SRS_CS_TBLevel = NewSlider(this, SRS_CS_Frame, "SRS_CS_TBLevel", 0, 100, 0, At(4, 78, 96, 20));
    NewLabel(this, SRS_CS_Frame, "Label33", "SRS Dialog Clarity", At(4, 100, 96, 16));
    SRS_CS_FocusLevel = NewSlider(this, SRS_CS_Frame, "SRS_CS_FocusLevel", 0, 100, 0, At(102, 78, 96, 20));
    NewLabel(this, SRS_CS_Frame, "Label34", "Speaker Size", At(200, 100, 96, 16));
    SRS_CS_SpkSize = NewSlider(this, SRS_CS_Frame, "SRS_CS_SpkSize", 0, 7, 0, At(200, 78, 96, 20));
    for (TTrackBar* slider : {SRS_CS_TBLevel, SRS_CS_FocusLevel, SRS_CS_SpkSize})
        slider->SetSliderVisible(false);
    SendToEffect(SRS_CS_TBLevel, SRS_CS1, FFillingSurround,
                 [](TSRS_CircleSurroundII& effect, int position) { effect.SetTruBassLevel(position); });
    SendToEffect(SRS_CS_FocusLevel, SRS_CS1, FFillingSurround, [](TSRS_CircleSurroundII& effect, int position) {
        effect.SetFocusEnabled(position >= 1);
        effect.SetFocusLevel(position);
    });
    SendToEffect(SRS_CS_SpkSize, SRS_CS1, FFillingSurround, [](TSRS_CircleSurroundII& effect, int position) {
        effect.SetTruBassSpeakerType(static_cast<TSRS_CS_SpeakerSize>(CircleSpeakerTypeFromSlider(position)));
    });

    // Smart Sync: the audio delay in milliseconds.
    TPage* sync = page(kPageSmartSync);
    AVSync_TrackBar = NewSlider(this, sync, "AVSync_TrackBar", -5000, 5000, 0, At(4, 20, 292, 24));
    AVSync_TrackBar->OnChange = [this](TObject* sender) { AVSync_TrackBarChange(sender); };
    NewLabel(this, sync, "Label2", "-5 Sec.", At(4, 48, 50, 16));
    Label30 = NewLabel(this, sync, "Label30", "0 Sec.", At(128, 48, 50, 16));
    Label30->OnClick = [this](TObject* sender) { Label30Click(sender); };
    NewLabel(this, sync, "Label39", "+5 Sec.", At(246, 48, 50, 16));
    Label31 = NewLabel(this, sync, "Label31", Format("%s: %3.3f %s", "Curr. Delay", 0.0, "Sec."), At(4, 72, 292, 16));

    Volume_TrkBar->Vertical = false;
    Volume_TrkBar->SetPosition(2000);
    Volume_TrkBar->OnChange = [this](TObject* sender) { Volume_TrkBarChange(sender); };
    Mute_Btn->OnClick = [this](TObject* sender) { Mute_BtnClick(sender); };
}

// ---- equaliser ----

void TControlForm::ApplyEQSelection(int tag)
{
    const TEQSelection selection = EQSelectionFor(tag, Settings.Eq);
    Label22->SetCaption(selection.Label);
    for (int b = 0; b < kEQBandCount; ++b)
        EQBands[b]->SetPosition(selection.Positions[static_cast<size_t>(b)]);
    EQ_Preset_Popupmenu->Tag = selection.MenuTag;
    SendEQ();
}

void TControlForm::SendEQ()
{
    TEQPositions positions{};
    for (int b = 0; b < kEQBandCount; ++b)
        positions[static_cast<size_t>(b)] = EQBands[b]->Position();
    if (!PvlSprocessor)
        return;
    PvlSprocessor->SetEqualizerEnabled(EQEnabledFor(positions));
    const auto values = EQBandValues(positions);
    for (int b = 0; b < kEQBandCount; ++b)
        PvlSprocessor->SetEqualizerBand(b, values[static_cast<size_t>(b)]);
}

void TControlForm::SelectEQPreset(TObject* sender)
{
    auto* item = dynamic_cast<TMenuItem*>(sender);
    if (!item)
        return;
    // 1.
    item->SetChecked(true);
    // 2. to 4.
    ApplyEQSelection(static_cast<int>(item->Tag));
}

void TControlForm::EQChanged(TObject* sender)
{
    auto* band = dynamic_cast<TTrackBar*>(sender);
    if (!band)
        return;
    // 1.
    for (int b = 0; b < kEQBandCount; ++b)
        Settings.Eq[static_cast<size_t>(b)] = static_cast<int8_t>(std::clamp(EQBands[b]->Position(), -100, 100));
    // 2.
    TMenuItem2000* items = EQ_Preset_Popupmenu->Items();
    if (EQNeedsCustomItem(items->Count())) {
        TMenuItem2000* custom = items->AddNew("Custom", [this](TObject* s) { SelectEQPreset(s); });
        custom->RadioItem = true;
        custom->Tag = kEQCustomTag;
    }
    items->Items(items->Count() - 1)->SetChecked(true);
    EQ_Preset_Popupmenu->Tag = kEQCustomMenuTag;
    Label22->SetCaption("Custom");
    // 3.
    SendEQ();
    // 4.
    ShowSliderHint(band, EQBandHint(band->Position()));
}

void TControlForm::SpeedButton1MouseUp(TObject*, TMouseButton button, TShiftState, int, int)
{
    if (button != mbLeft || EQ_Preset_Popupmenu->IsShowing())
        return;
    POINT below = {0, SpeedButton1->Height() + 2};
    ClientToScreen(SpeedButton1->Handle(), &below);
    EQ_Preset_Popupmenu->Window = Handle();
    EQ_Preset_Popupmenu->Popup(below.x, below.y);
}

// ---- sound processing, delay, volume ----

void TControlForm::ShowSliderHint(TTrackBar* slider, const std::string& text)
{
    slider->Hint = text;
    if (!Application || !slider->HandleAllocated() || !IsWindowVisible(slider->HandleOrNull()))
        return;
    POINT at{};
    GetCursorPos(&at);
    Application->ActivateHint(TPoint{at.x, at.y + 20}, text);
}

void TControlForm::PreAmp_SliderChange(TObject*)
{
    SendStage(PvlSprocessor, PreAmpSetting(PreAmp_Slider->Position()), &TParvoluxSoundProcessor::SetAmplifyEnabled,
              &TParvoluxSoundProcessor::SetAmplify);
}

void TControlForm::Snd3D_SliderChange(TObject*)
{
    SendStage(PvlSprocessor, Sound3DSetting(Snd3D_Slider->Position()), &TParvoluxSoundProcessor::SetSound3DEnabled,
              &TParvoluxSoundProcessor::SetSound3DVolume);
}

void TControlForm::DynAmp_MaxAmp_SliderChange(TObject* sender)
{
    SendStage(PvlSprocessor, DynAmpMaxSetting(DynAmp_MaxAmp_Slider->Position()),
              &TParvoluxSoundProcessor::SetDynamicAmplifyEnabled, &TParvoluxSoundProcessor::SetDynamicMaxAmplify);
    if (sender)
        ShowSliderHint(DynAmp_MaxAmp_Slider, DynAmpMaxHint(DynAmp_MaxAmp_Slider->Position()));
}

void TControlForm::DynAmp_Attack_SliderChange(TObject* sender)
{
    if (PvlSprocessor)
        PvlSprocessor->SetDynamicAttackTime(DynAmp_Attack_Slider->Position());
    if (sender)
        ShowSliderHint(DynAmp_Attack_Slider, DynAmpAttackHint(DynAmp_Attack_Slider->Position()));
}

void TControlForm::DynAmp_Release_SliderChange(TObject* sender)
{
    if (PvlSprocessor)
        PvlSprocessor->SetDynamicReleaseTime(DynAmp_Release_Slider->Position());
    if (sender)
        ShowSliderHint(DynAmp_Release_Slider, DynAmpReleaseHint(DynAmp_Release_Slider->Position()));
}

void TControlForm::AVSync_TrackBarChange(TObject*)
{
    const int position = AVSync_TrackBar->Position();
    Label31->SetCaption(Format("%s: %3.3f %s", "Curr. Delay", position / 1000.0, "Sec."));
    SendStage(PvlSprocessor, {position != 0, position}, &TParvoluxSoundProcessor::SetDelayEnabled,
              &TParvoluxSoundProcessor::SetDelay);
}

void TControlForm::Label30Click(TObject*)
{
    AVSync_TrackBar->SetPosition(0);
}

void TControlForm::SetAudioDelay(int milliseconds)
{
    AVSync_TrackBar->SetPosition(milliseconds);
    AVSync_TrackBarChange(AVSync_TrackBar);  // an unchanged position still reaches the processor
}

void TControlForm::Volume_TrkBarChange(TObject* sender)
{
    Mute_Btn->SetDown(false);
    Settings.MasterVolumeMute = false;
    if (Engine)
        Engine->SetVolume(VolumeFromTrackBar(Volume_TrkBar->Position()));
    if (sender)
        ShowSliderHint(Volume_TrkBar, VolumeHint(Volume_TrkBar->Position()));
}

void TControlForm::Mute_BtnClick(TObject*)
{
    const bool muted = Mute_Btn->Down();
    Settings.MasterVolumeMute = muted;
    if (Engine)
        Engine->SetVolume(VolumeAfterMute(muted, Volume_TrkBar->Position()));
}

// ---- surround pages ----

TSurroundAvailability TControlForm::Surround() const
{
    return {Settings.SpeakerType, SRS_TS1 && SRS_TS1->IsFilterPresent(), SRS_CS1 && SRS_CS1->IsFilterPresent(),
            !Settings.UseSRS};
}

void TControlForm::OwnDrawCheckboxClick(TObject* sender)
{
    auto* box = dynamic_cast<TPaintBox*>(sender);
    if (!box || (box->Tag != 0 && box->Tag != 1))
        return;
    box->Tag = box->Tag == 0 ? 1 : 0;
    box->Invalidate();
    if (!SRS_CS1)
        return;
    const bool on = box->Tag == 1;
    if (box == SRS_CS_PhantomCenter)
        SRS_CS1->SetPhantomCenterEnabled(on);
    else if (box == SRS_CS_FullBwFront)
        SRS_CS1->SetFullBandWidthCenterEnabled(on);
    else if (box == SRS_CS_FullBwRear)
        SRS_CS1->SetRearCenterFullBandwidth(on);
    else if (box == SRS_CS_TBFront)
        SRS_CS1->SetTruBassFrontEnabled(on);
    else if (box == SRS_CS_TBSub)
        SRS_CS1->SetTruBassSubwooferEnabled(on);
}

void TControlForm::OwnDrawRadioButtonClick(TObject* sender)
{
    auto* clicked = dynamic_cast<TPaintBox*>(sender);
    if (!clicked || !clicked->Parent())
        return;
    TWinControl* group = clicked->Parent();
    for (int i = 0; i < group->ControlCount(); ++i)
        if (auto* box = dynamic_cast<TPaintBox*>(group->Controls(i)); box && RadioButtonSelected(static_cast<int>(box->Tag))) {
            box->Tag -= 10;
            box->Invalidate();
        }
    clicked->Tag = RadioButtonTag(static_cast<int>(clicked->Tag), static_cast<int>(clicked->Tag));
    clicked->Invalidate();
    const int mode = RadioButtonMode(static_cast<int>(clicked->Tag));
    group->Tag = mode;
    if (SRS_CS1)
        SRS_CS1->SetMode(static_cast<TCSMode>(mode));
}

void TControlForm::EnableSurroundPage(bool truSurround, bool on)
{
    TPaintBox* power = truSurround ? SRS_TS_ONOFF : SRS_CS_ONOFF;
    power->Tag = on ? 1 : 0;
    power->Invalidate();
    const std::vector<TControl*> controls =
        truSurround ? std::vector<TControl*>{SRS_TS_TBLevel, SRS_TS_FocusLevel, SRS_TS_SpkSize}
                    : std::vector<TControl*>{SRS_CS_ModeCinema, SRS_CS_ModeMusic, SRS_CS_ModeMono, SRS_CS_TBFront,
                                             SRS_CS_TBSub, SRS_CS_PhantomCenter, SRS_CS_FullBwFront, SRS_CS_FullBwRear,
                                             SRS_CS_TBLevel, SRS_CS_FocusLevel, SRS_CS_SpkSize};
    for (TControl* control : controls) {
        control->SetEnabled(on);
        if (auto* slider = dynamic_cast<TTrackBar*>(control))
            slider->SetSliderVisible(on);
        control->Invalidate();
    }
}

void TControlForm::SurroundPowerClick(bool truSurround)
{
    if (!Engine)
        return;
    TExternalFilterCntl* effect = truSurround ? static_cast<TExternalFilterCntl*>(SRS_TS1) : SRS_CS1;
    bool on;
    // 1.
    if (Engine->GetFilterState() == kStateNoFile) {
        on = !Engine->SurroundWanted(truSurround);
        Engine->SetSurroundWanted(truSurround, on);
    } else if (effect && effect->IsFilterPresent()) {
        // 2.
        on = Engine->SetSurroundActive(truSurround, !effect->IsFilterConnected());
    } else {
        return;
    }
    // 3.
    EnableSurroundPage(truSurround, on);
}

void TControlForm::SRS_TS_ONOFFMouseUp(TObject*, TMouseButton button, TShiftState, int, int)
{
    if (button == mbLeft)
        SurroundPowerClick(true);
    SRS_TS_ONOFF->Invalidate();
}

void TControlForm::SRS_CS_ONOFFMouseUp(TObject*, TMouseButton button, TShiftState, int, int)
{
    if (button == mbLeft)
        SurroundPowerClick(false);
    SRS_CS_ONOFF->Invalidate();
}

void TControlForm::UpdateSRSControls()
{
    // No handler writes back while the controls take the effects' values.
    FFillingSurround = true;
    struct TFillEnd {
        bool& Flag;
        ~TFillEnd() { Flag = false; }
    } fillEnd{FFillingSurround};
    // 1.
    if (SRS_TS1) {
        SRS_TS_TBLevel->SetPosition(SRS_TS1->TruBassLevel());
        SRS_TS_SpkSize->SetPosition(static_cast<int>(SRS_TS1->TruBassSpeaker_Size()));
        SRS_TS_FocusLevel->SetPosition(SRS_TS1->FocusLevel());
        SRS_TS_Frame->Invalidate();
    }
    if (!SRS_CS1)
        return;
    // 2.
    const int mode = static_cast<int>(SRS_CS1->Mode());
    for (TPaintBox* box : {SRS_CS_ModeCinema, SRS_CS_ModeMusic, SRS_CS_ModeMono}) {
        const int own = RadioButtonMode(static_cast<int>(box->Tag));
        box->Tag = RadioButtonTag(own, mode);
    }
    SRS_CS_ModeSelection->Tag = mode;
    // 3.
    SRS_CS_FullBwRear->Tag = SRS_CS1->RearCenterFullBandwidth() ? 1 : 0;
    SRS_CS_TBLevel->SetPosition(SRS_CS1->TruBassLevel());
    SRS_CS_TBFront->Tag = SRS_CS1->TruBassFrontEnabled() ? 1 : 0;
    SRS_CS_TBSub->Tag = SRS_CS1->TruBassSubwooferEnabled() ? 1 : 0;
    SRS_CS_SpkSize->SetPosition(CircleSpeakerSliderFor(static_cast<int>(SRS_CS1->TruBassSpeakerType())));
    SRS_CS_FocusLevel->SetPosition(SRS_CS1->FocusLevel());
    SRS_CS_FullBwFront->Tag = SRS_CS1->FullBandWidthCenterEnabled() ? 1 : 0;
    SRS_CS_PhantomCenter->Tag = SRS_CS1->PhantomCenterEnabled() ? 1 : 0;
    SRS_CS_ONOFF->Tag = SRS_CS1->Bypass() ? 0 : 1;
    // 4.
    for (TPanel* frame : {SRS_TS_Frame, SRS_CS_Frame, SRS_CS_ModeSelection})
        for (int i = 0; i < frame->ControlCount(); ++i)
            frame->Controls(i)->Invalidate();
}

// ---- settings and file life ----

void TControlForm::SoundSettingsRead()
{
    const bool muted = Settings.MasterVolumeMute;  // moving the volume releases the mute
    Volume_TrkBar->SetPosition(Settings.MasterVolume);
    Mute_Btn->SetDown(muted);
    Settings.MasterVolumeMute = muted;
    PreAmp_Slider->SetPosition(Settings.PreAmp);
    Snd3D_Slider->SetPosition(Settings.Snd3D);
    DynAmp_MaxAmp_Slider->SetPosition(Settings.DynAmpMaxAmp);
    DynAmp_Attack_Slider->SetPosition(Settings.DynAmpAttack);
    DynAmp_Release_Slider->SetPosition(Settings.DynAmpRelease);
    // An unchanged position fires nothing: each stage is sent once, so the processor holds
    // what the window shows.
    PreAmp_SliderChange(nullptr);
    Snd3D_SliderChange(nullptr);
    DynAmp_MaxAmp_SliderChange(nullptr);
    DynAmp_Attack_SliderChange(nullptr);
    DynAmp_Release_SliderChange(nullptr);
    EQ_Preset_Popupmenu->Tag = Settings.EqPreset;
    if (Settings.EqPreset == kEQCustomMenuTag)
        for (int b = 0; b < kEQBandCount; ++b)
            EQBands[b]->SetPosition(Settings.Eq[static_cast<size_t>(b)]);
    if (Settings.ActiveExtras >= 0) {
        UpDown1->SetPosition(Settings.ActiveExtras);
        UpDown1Click(UpDown1, btNext);
        ShowExtras(true);
    } else {
        ShowExtras(false);
    }
}

void TControlForm::SoundSettingsToModel()
{
    Settings.MasterVolume = Volume_TrkBar->Position();
    Settings.MasterVolumeMute = Mute_Btn->Down();
    Settings.PreAmp = PreAmp_Slider->Position();
    Settings.DynAmpMaxAmp = DynAmp_MaxAmp_Slider->Position();
    Settings.DynAmpAttack = DynAmp_Attack_Slider->Position();
    Settings.DynAmpRelease = DynAmp_Release_Slider->Position();
    Settings.EqPreset = static_cast<int32_t>(EQ_Preset_Popupmenu->Tag);
    if (Settings.EqPreset == kEQCustomMenuTag)
        for (int b = 0; b < kEQBandCount; ++b)
            Settings.Eq[static_cast<size_t>(b)] = static_cast<int8_t>(EQBands[b]->Position());
    Settings.ActiveExtras = ExtrasFrame->Visible() ? static_cast<int16_t>(UpDown1->Position()) : -1;
}

void TControlForm::SoundFileLoaded(bool hasVideo)
{
    // 4.
    const int speakers = Settings.SpeakerType;
    const bool rearCentre = speakers == 6 || speakers == 8;
    if (SRS_CS1) {
        SRS_CS1->SetRearCenterEnabled(rearCentre);
        SRS_CS1->SetPhantomCenterEnabled(speakers < 5);
    }
    SRS_CS_FullBwRear->SetVisible(rearCentre);
    SRS_CS_FullBwRear_Label->SetVisible(rearCentre);
    // 5.
    const bool truSurround = speakers < 3;
    TExternalFilterCntl* effect = truSurround ? static_cast<TExternalFilterCntl*>(SRS_TS1) : SRS_CS1;
    TPaintBox* power = truSurround ? SRS_TS_ONOFF : SRS_CS_ONOFF;
    const bool present = effect && effect->IsFilterPresent();
    power->SetEnabled(present);
    if (present)
        EnableSurroundPage(truSurround, effect->IsFilterConnected());
    power->Invalidate();
    // 10. The audio delay belongs to a picture.
    if (SRS_CS1)
        SRS_CS1->SetMode(hasVideo ? TCSMode::mCinema : TCSMode::mMusic);
    AVSync_TrackBar->SetEnabled(hasVideo);
    AVSync_TrackBar->SetSliderVisible(hasVideo);
    Label30->SetEnabled(hasVideo);
    Label31->SetEnabled(hasVideo);
    // 12.
    UpdateSRSControls();
}
