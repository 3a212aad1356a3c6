// The main window's extras pages with real windows: the equaliser heard through the real
// sound processor, the sound processing sliders, the surround power buttons against the
// effect doubles, the bookmark list, the stream menus and the settings round trip.
#include "ui/Control_Unit.h"
#include "ui/RegistrySettingsStore.h"

#include "DSFilters/ParvoluxSoundProcessor.h"
#include "engine/SRS_CircleSurroundII.h"
#include "engine/SRS_TruSurroundXT.h"
#include "graphics/Bitmap32.h"
#include "DSFilters/PvlEqCore.h"
#include "tests/DSFilters/PvlEqGraph.h"
#include "tests/support/PlayerEngineStandIn.h"
#include "tests/support/SurroundEffectDoubles.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WavWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <numbers>

using namespace pvltest;

namespace {
using TLog = std::vector<std::string>;

// Answers IAMStreamSelect with a fixed number of streams and logs what is enabled.
class TStreamSelectDouble : public TBCUnknown, public IAMStreamSelect {
public:
    TStreamSelectDouble(DWORD count, TLog& log) : TBCUnknown(nullptr), FCount(count), FLog(log) {}
    PVL_DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override
    {
        if (iid == __uuidof(IAMStreamSelect))
            return GetInterface(static_cast<IAMStreamSelect*>(this), object);
        return TBCUnknown::NonDelegatingQueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE Count(DWORD* count) override
    {
        *count = FCount;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Info(long, AM_MEDIA_TYPE**, DWORD*, LCID*, DWORD*, WCHAR**, IUnknown**, IUnknown**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Enable(long index, DWORD flags) override
    {
        FLog.push_back("Enable " + std::to_string(index) + " " + std::to_string(flags));
        return S_OK;
    }

private:
    DWORD FCount;
    TLog& FLog;
};

class TSoundEngine : public TPlayerEngineStandIn {
public:
    TSoundEngine() { Position = 12345678; }
    TLog Log;
    std::vector<std::string> Chapters, AudioStreams, Languages;
    // Entries behind a stream-selecting filter: chapter or audio entry -> stream index.
    std::map<std::pair<bool, int>, int> Selectors;
    ComPtr<IUnknown> Selector;
    bool Wanted[2] = {false, false};

    void SetVolume(int32_t volume) override { Log.push_back("SetVolume " + std::to_string(volume)); }
    std::vector<std::string> AudioStreamNames() override { return AudioStreams; }
    void SelectAudioStream(int index) override { Log.push_back("SelectAudioStream " + std::to_string(index)); }
    std::vector<std::string> ChapterNames() override { return Chapters; }
    bool SubtitlesPresent() override { return !Languages.empty(); }
    std::vector<std::string> SubtitleLanguages() override { return Languages; }
    int SelectedSubtitleLanguage() override { return 0; }
    void SelectSubtitleLanguage(int index) override { Log.push_back("SelectedLanguage " + std::to_string(index)); }
    bool StreamSelector(bool chapter, int index, ComPtr<IUnknown>& filter, int& streamIndex) override
    {
        const auto found = Selectors.find({chapter, index});
        if (found == Selectors.end())
            return false;
        filter = Selector;
        streamIndex = found->second;
        return true;
    }
    void SetPosition(int64_t position) override { Log.push_back("SetPosition " + std::to_string(position)); }
    void SetFilterState(uint8_t state) override { Log.push_back("SetFilterState " + std::to_string(state)); }
    bool SurroundWanted(bool truSurround) override { return Wanted[truSurround]; }
    void SetSurroundWanted(bool truSurround, bool value) override
    {
        Wanted[truSurround] = value;
        Log.push_back(std::string("Wanted ") + (truSurround ? "TS " : "CS ") + (value ? "1" : "0"));
    }
    bool SetSurroundActive(bool truSurround, bool active) override
    {
        Log.push_back(std::string("Active ") + (truSurround ? "TS " : "CS ") + (active ? "1" : "0"));
        return active;
    }
};

class SoundPages : public ::testing::Test {
protected:
    void SetUp() override
    {
        App.ShowExceptions = false;
        Form = App.CreateForm<TControlForm>();
        Form->Engine = &Engine;
        Form->PvlSprocessor = &Processor;
        Form->Show();
    }
    void TearDown() override { Form->PvlSprocessor = nullptr; }

    TMenuItem* Preset(int index) { return Form->EQ_Preset_Popupmenu->Items()->Items(index); }

    TComInit Com;
    TApplication App;
    TSoundEngine Engine;
    TParvoluxSoundProcessor Processor{nullptr};
    TControlForm* Form = nullptr;
};

// ---- the equaliser and the pre-amplifier, heard ----

// At this rate each tone sits inside the band named after it (the equaliser's bins are a
// 1024-point transform's).
constexpr uint32_t kRate = 32000;
constexpr double kTones[] = {60, 1000, 14000};

// The amplitude of one frequency over the middle half of interleaved 16-bit stereo (left).
double ToneLevel(const std::vector<int16_t>& samples, double hz)
{
    const size_t frames = samples.size() / 2;
    const size_t first = frames / 4, count = frames / 2;
    double re = 0, im = 0;
    for (size_t f = first; f < first + count; ++f) {
        const double phase = 2 * std::numbers::pi * hz * static_cast<double>(f) / kRate;
        re += samples[f * 2] * std::cos(phase);
        im += samples[f * 2] * std::sin(phase);
    }
    return 2 * std::hypot(re, im) / static_cast<double>(count);
}

int Peak(const std::vector<int16_t>& samples)
{
    int peak = 0;
    for (size_t i = samples.size() / 4; i < samples.size() * 3 / 4; ++i)
        peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    return peak;
}

double Decibels(double ratio)
{
    return 20 * std::log10(ratio);
}

// What the core's gain table does to a tone for these band positions: the band holding the
// tone's bin sets 10^(value / 100), a tenth of a value being half a decibel.
double PredictedChange(double hz, const std::array<int8_t, 10>& positions)
{
    const int bin = static_cast<int>(std::lround(hz * 1024 / kRate));
    int band = 0;
    while (band < 9 && bin >= EQBandEdges[static_cast<size_t>(band) + 1])
        ++band;
    return EQBandValue(positions[static_cast<size_t>(band)]) / 5.0;
}

class SoundPagesHeard : public SoundPages {
protected:
    // The three tones through the processor as the form has set it.
    std::vector<int16_t> Heard()
    {
        auto graph = NewGraph();
        auto sink = NewComObject<TTestSink>();
        EXPECT_EQ(graph->AddFilter(sink.Get(), L"Sink"), S_OK);
        EXPECT_EQ(graph->AddFilter(Processor.Filter(), L"Sound processor"), S_OK);
        EXPECT_EQ(ConnectWav(graph.Get(), Wav(), Processor.InputPin()), S_OK);
        EXPECT_EQ(graph->ConnectDirect(Processor.OutputPin(), sink->InputPin(), nullptr), S_OK);
        EXPECT_EQ(RunUntilComplete(graph.Get(), 20000), EC_COMPLETE);
        ComPtr<IMediaControl> control;
        graph.As(&control);
        control->Stop();
        Processor.RemoveFilterFromGraph();
        const std::vector<uint8_t> data = sink->AllData();
        std::vector<int16_t> samples(data.size() / 2);
        std::memcpy(samples.data(), data.data(), samples.size() * 2);
        return samples;
    }
    const std::string& Wav()
    {
        if (FWav.empty()) {
            FWav = Folder.File("tones.wav");
            WriteWav(FWav, TWavSpec{kRate, 2, 16, false, false, 0, 2.0}, [](uint32_t frame, uint16_t) {
                double v = 0;
                for (const double hz : kTones)
                    v += 0.1 * std::sin(2 * std::numbers::pi * hz * frame / kRate);
                return v;
            });
        }
        return FWav;
    }
    // Each tone's change in decibels against the file as it was written.
    std::vector<double> Changes(const std::vector<int16_t>& heard)
    {
        std::vector<double> changes;
        for (const double hz : kTones)
            changes.push_back(Decibels(ToneLevel(heard, hz) / (0.1 * 32767)));
        return changes;
    }

    TTempDir Folder;
    std::string FWav;
};

TEST_F(SoundPagesHeard, PresetsAndABandMovedByHandShapeWhatIsHeard)
{
    // "(Default) Disabled" leaves every tone as it was.
    Preset(6)->Click();
    Preset(0)->Click();
    EXPECT_FALSE(Processor.EqualizerEnabled());
    for (const double change : Changes(Heard()))
        EXPECT_NEAR(change, 0, 0.5);

    // "Full Treble": 60 Hz down and 14 kHz up as the core predicts.
    Preset(6)->Click();
    EXPECT_EQ(Form->Label22->Caption(), "Full Treble");
    EXPECT_EQ(Form->EQ_Preset_Popupmenu->Tag, 6);
    EXPECT_TRUE(Processor.EqualizerEnabled());
    const std::vector<double> treble = Changes(Heard());
    EXPECT_NEAR(treble[0], PredictedChange(60, EQPresetValues[6]), 1.0);
    EXPECT_NEAR(treble[2], PredictedChange(14000, EQPresetValues[6]), 1.0);
    EXPECT_LT(treble[0], -3.0);
    EXPECT_GT(treble[2], 6.0);

    // Home on the 1 kHz band takes it to the top: 1 kHz rises, and one "Custom" item follows.
    Preset(0)->Click();
    Form->EQ_1K->SetFocus();
    SendMessageA(Form->EQ_1K->Handle(), WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(Form->EQ_1K->Position(), -100);
    TMenuItem* items = Form->EQ_Preset_Popupmenu->Items();
    ASSERT_EQ(items->Count(), 20);
    EXPECT_EQ(items->Items(19)->Caption, "Custom");
    EXPECT_TRUE(items->Items(19)->Checked);
    EXPECT_EQ(Form->EQ_Preset_Popupmenu->Tag, -1);
    EXPECT_EQ(Form->Label22->Caption(), "Custom");
    const std::vector<double> custom = Changes(Heard());
    EXPECT_GT(custom[1], 5.0);
    EXPECT_NEAR(custom[0], 0, 1.0);
    SendMessageA(Form->EQ_1K->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(items->Count(), 20) << "a second move adds no second \"Custom\"";
    EXPECT_EQ(Form->Settings.Eq[4], -99);
}

TEST_F(SoundPagesHeard, PreAmplifierAtTheTopDoublesThePeak)
{
    Preset(0)->Click();
    const int before = Peak(Heard());
    Form->PreAmp_Slider->SetPosition(1000);
    EXPECT_TRUE(Processor.AmplifyEnabled());
    EXPECT_EQ(Processor.Amplify(), 20000);
    EXPECT_NEAR(Peak(Heard()) / static_cast<double>(before), 2.0, 0.05);
}

// ---- without sound ----

TEST_F(SoundPages, PresetChosenWhileABandHasTheFocusStaysThatPreset)
{
    Form->EQ_60->SetFocus();
    Preset(14)->Click();
    EXPECT_EQ(Form->Label22->Caption(), "Rock");
    EXPECT_EQ(Form->EQ_Preset_Popupmenu->Tag, 14);
    EXPECT_EQ(Form->EQ_Preset_Popupmenu->Items()->Count(), 19);
    EXPECT_EQ(Form->EQ_60->Position(), -40);
}

TEST_F(SoundPages, VolumeReleasesMuteAndUnmutingRestoresTheTrackBar)
{
    Form->Volume_TrkBar->SetPosition(150);
    Form->Mute_Btn->SetDown(true);
    Form->Mute_BtnClick(Form->Mute_Btn);
    EXPECT_TRUE(Form->Settings.MasterVolumeMute);
    Form->Mute_Btn->SetDown(false);
    Form->Mute_BtnClick(Form->Mute_Btn);
    Form->Mute_Btn->SetDown(true);
    Form->Volume_TrkBar->SetPosition(300);
    EXPECT_FALSE(Form->Mute_Btn->Down());
    EXPECT_EQ(Engine.Log, (TLog{"SetVolume 9850", "SetVolume 0", "SetVolume 9850", "SetVolume 9700"}));
}

TEST_F(SoundPages, SurroundPowerTogglesTheWishWithoutAFileAndSwitchesTheEffectWithOne)
{
    TTruSurroundDouble effect;
    ASSERT_EQ(effect.Result(), S_OK);
    TSRS_TruSurroundXT truSurround(nullptr);
    ASSERT_TRUE(truSurround.IsFilterPresent());
    Form->SRS_TS1 = &truSurround;
    Form->Settings.SpeakerType = 2;

    Form->SRS_TS_ONOFFMouseUp(Form->SRS_TS_ONOFF, mbLeft, 0, 0, 0);
    EXPECT_EQ(Form->SRS_TS_ONOFF->Tag, 1);
    EXPECT_TRUE(Form->SRS_TS_TBLevel->Enabled());
    Engine.State = 1;
    Form->SRS_TS_ONOFFMouseUp(Form->SRS_TS_ONOFF, mbLeft, 0, 0, 0);
    EXPECT_EQ(Engine.Log, (TLog{"Wanted TS 1", "Active TS 1"})) << "not in a graph: put in";
    Form->SRS_TS1 = nullptr;
}

// A paint handler's picture on a grey ground, as 0xRRGGBB pixels.
std::vector<uint32_t> Painted(int width, int height, const std::function<void(HDC)>& paint)
{
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT all{0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    paint(dc);
    GdiFlush();
    std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits), static_cast<const uint32_t*>(bits) + width * height);
    for (uint32_t& p : pixels)
        p &= 0xFFFFFF;
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
}

TEST_F(SoundPages, OwnerDrawnControlsHaveTheirArtAndPowerShowsPressedWhileHeld)
{
    const struct {
        TImageList* List;
        int Count;
    } lists[] = {{Form->CheckBox_Images, 4}, {Form->RadioButton_Images, 4}, {Form->PowerBtn_Images, 5},
                 {Form->CloseExtras_Images, 3}};
    for (const auto& l : lists) {
        EXPECT_EQ(l.List->Count(), l.Count);
        // Every image but a spare one shows something.
        for (int i = 1; i < l.List->Count(); ++i) {
            const auto image = Painted(l.List->Width(), l.List->Height(), [&](HDC dc) { l.List->Draw(dc, 0, 0, i); });
            EXPECT_NE(std::count(image.begin(), image.end(), 0x808080u), static_cast<long>(image.size())) << i;
        }
    }

    TPaintBox* power = Form->SRS_TS_ONOFF;
    const auto image = [&](int index) { return Painted(43, 17, [&](HDC dc) { Form->PowerBtn_Images->Draw(dc, 0, 0, index); }); };
    const auto shown = [&] { return Painted(43, 17, [&](HDC dc) { power->OnPaint(power, dc); }); };
    EXPECT_EQ(shown(), image(3)) << "off";
    power->OnMouseDown(power, mbLeft, 0, 5, 5);
    EXPECT_EQ(shown(), image(2)) << "pressed";
    EXPECT_NE(image(2), image(3));
    power->OnMouseUp(power, mbLeft, 0, 5, 5);
    EXPECT_EQ(shown(), image(1)) << "released: on";
}

TEST_F(SoundPages, CircleSurroundSpeakerTypeStaysOverLoads)
{
    TCircleSurroundDouble effect;
    ASSERT_EQ(effect.Result(), S_OK);
    TSRS_CircleSurroundII circle(nullptr);
    Form->SRS_CS1 = &circle;
    circle.SetTruBassSpeakerType(static_cast<TSRS_CS_SpeakerSize>(3));
    for (int load = 0; load < 10; ++load)
        Form->UpdateSRSControls();
    EXPECT_EQ(static_cast<int>(circle.TruBassSpeakerType()), 3);
    EXPECT_EQ(Form->SRS_CS_SpkSize->Position(), 2);
    Form->SRS_CS1 = nullptr;
}

TEST_F(SoundPages, StepperSkipsTheSurroundPageThatCannotShow)
{
    Form->Settings.SpeakerType = 2;  // TruSurround, not installed
    Form->UpDown1->SetPosition(1);
    Form->UpDown1Click(Form->UpDown1, btNext);
    EXPECT_EQ(Form->Notebook1->PageIndex(), 1);
    Form->UpDown1->SetPosition(2);
    Form->UpDown1Click(Form->UpDown1, btNext);
    EXPECT_EQ(Form->UpDown1->Position(), 3);
    EXPECT_EQ(Form->Label19->Caption(), "Video Color Settings");
    Form->UpDown1->SetPosition(2);
    Form->UpDown1Click(Form->UpDown1, btPrev);
    EXPECT_EQ(Form->UpDown1->Position(), 1);
    EXPECT_EQ(Form->Label19->Caption(), "Sound Processing");
    EXPECT_TRUE(Form->ExtrasFrame->Visible());

    Form->Extras_PopupMenuPopup(nullptr);
    TMenuItem* items = Form->Extras_PopupMenu->Items();
    ASSERT_EQ(items->Count(), 6);
    EXPECT_EQ(items->Items(1)->Caption, "Sound Processing");
    EXPECT_TRUE(items->Items(1)->Checked);
    items->Items(5)->Click();
    EXPECT_EQ(Form->Label19->Caption(), "Media Info");

    const int shown = Form->ClientRect().Height();
    Form->ShowExtras(false);
    EXPECT_FALSE(Form->ExtrasFrame->Visible());
    EXPECT_EQ(shown - Form->ClientRect().Height(), Form->Notebook1->Height());
}

// ---- bookmarks ----

TEST_F(SoundPages, BookmarksKeepNamesTimesPositionsAndFittedThumbnails)
{
    EXPECT_FALSE(Form->Bkmark_ListView->Visible());
    EXPECT_EQ(Form->MakeBookmark(nullptr, 12345678), 0);
    EXPECT_TRUE(Form->Bkmark_ListView->Visible());
    TBitmap32 wide;
    wide.SetSize(160, 90);
    wide.Clear(0xFFFFFFFF);
    const int64_t full = 0x0123456789ABCDEFLL;
    EXPECT_EQ(Form->AddBookmark("Stored", &wide, full), 1);

    TBookmark mark;
    Form->Getbookmark(0, mark);
    EXPECT_EQ(mark.Name, "Bookmark 01");
    EXPECT_EQ(mark.TimeText, "00:00:01");
    EXPECT_EQ(mark.Position, 12345678);
    EXPECT_EQ(Form->BookmarkImageIndex(0), -1);
    Form->Getbookmark(1, mark);
    EXPECT_EQ(mark.Position, full);
    TBitmap32 thumbnail;
    ASSERT_TRUE(Form->GetBookmarkImage(Form->BookmarkImageIndex(1), thumbnail));
    EXPECT_EQ(thumbnail.Width(), 100);
    EXPECT_EQ(thumbnail.Height(), 100);
    EXPECT_EQ(thumbnail.Pixel(50, 10), 0xFF000000u) << "the band above the fitted picture is black";
    EXPECT_EQ(thumbnail.Pixel(50, 50), 0xFFFFFFFFu);
    TBookmark untouched{"x", "y", 7};
    Form->Getbookmark(2, untouched);
    EXPECT_EQ(untouched.Position, 7);

    // A renamed row renames its menu item; the Delete key takes the selected row.
    TMenuItem item(nullptr);
    Form->SetBookmarkMenu(0, &item);
    Form->Bkmark_ListViewEdited(Form->Bkmark_ListView, 0, "Intro");
    EXPECT_EQ(item.Caption, "Intro  00:00:01");
    Form->ForgetBookmarkMenus();
    Form->Bkmark_ListView->SetSelected(1, true);
    Form->Bkmark_ListViewKeyDown(Form->Bkmark_ListView, VK_DELETE);
    EXPECT_EQ(Form->BookmarkCount(), 1);
    Form->Bkmark_ListView->SetSelected(0, true);
    Form->Bkmark_ListViewDblClick(Form->Bkmark_ListView);
    EXPECT_EQ(Engine.Log, (TLog{"SetPosition 12345678", "SetFilterState 1"}));
    Form->Bkmark_Delete1Click(nullptr);
    EXPECT_FALSE(Form->Bkmark_ListView->Visible());
}

// ---- stream menus ----

TEST_F(SoundPages, ChaptersAndAudioStreamsGoThroughTheirSelectors)
{
    TLog enabled;
    Engine.Selector = NewComObject<TStreamSelectDouble>(2, enabled);
    Engine.Chapters = {"One", "Two"};
    Engine.AudioStreams = {"English", "German"};
    Engine.Selectors = {{{true, 0}, 1}, {{true, 1}, 2}, {{false, 1}, 0}};
    const struct {
        bool Chapter;
        int Tag;
        TLog Enabled, Engine;
    } cases[] = {{true, 0, {"Enable 1 1"}, {}},
                 {true, 1, {}, {}},  // stream 2 of a filter with two
                 {true, 5, {}, {}},
                 {false, 0, {}, {"SelectAudioStream 0"}},
                 {false, 1, {"Enable 0 1"}, {}},
                 {false, 7, {}, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.Chapter) + " " + std::to_string(c.Tag));
        enabled.clear();
        Engine.Log.clear();
        TMenuItem item(nullptr);
        item.Tag = c.Tag;
        if (c.Chapter)
            Form->ChangeChapterClick(&item);
        else
            Form->ChangeStreamClick(&item);
        EXPECT_EQ(enabled, c.Enabled);
        EXPECT_EQ(Engine.Log, c.Engine);
    }

    Engine.Log.clear();
    Engine.Languages = {"English", "French"};
    Form->SelectSubtitles(1);
    TMenuItem french(nullptr);
    french.Tag = 1;
    Form->ChangeSubtitlesClick(&french);
    EXPECT_EQ(Engine.Log, (TLog{"SelectedLanguage 1", "SelectedLanguage 1"}));
}

// ---- settings ----

TEST_F(SoundPages, SettingsMoveToAndFromTheControls)
{
    const std::string key = SettingsKeyPath("").substr(1);
    HKEY existing = nullptr;
    const bool hadSettings = RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &existing) == ERROR_SUCCESS;
    if (existing)
        RegCloseKey(existing);
    TPlayerSettings stored;
    stored.MasterVolume = 3000;
    stored.MasterVolumeMute = true;
    stored.PreAmp = 500;
    stored.DynAmpAttack = 2000;
    stored.EqPreset = -1;
    stored.Eq = {-50, -40, -30, -20, -10, 10, 20, 30, 40, 50};
    stored.ActiveExtras = -1;
    {
        TRegistrySettingsStore store;
        WriteSettingsModel(store, stored);
    }

    ASSERT_TRUE(Form->ReadSettings());
    EXPECT_EQ(Form->Volume_TrkBar->Position(), 3000);
    EXPECT_TRUE(Form->Mute_Btn->Down());
    EXPECT_EQ(Form->EQ_Preset_Popupmenu->Tag, -1);
    EXPECT_EQ(Form->EQ_60->Position(), -50);
    EXPECT_EQ(Form->EQ_16K->Position(), 50);
    EXPECT_FALSE(Form->ExtrasFrame->Visible()) << "\"ActiveExtras\" -1 hides the panel";
    EXPECT_EQ(Processor.Amplify(), 15000);
    EXPECT_EQ(Processor.DynamicAttackTime(), 2000);
    EXPECT_EQ(Processor.DynamicReleaseTime(), 3000) << "an unchanged slider is still sent";

    Form->Volume_TrkBar->SetPosition(4000);
    Form->UpDown1->SetPosition(5);
    Form->UpDown1Click(Form->UpDown1, btNext);
    Form->WriteSettings();
    TPlayerSettings back;
    {
        TRegistrySettingsStore store;
        ASSERT_TRUE(ReadSettingsModel(store, back));
    }
    EXPECT_EQ(back.MasterVolume, 4000);
    EXPECT_FALSE(back.MasterVolumeMute);
    EXPECT_EQ(back.ActiveExtras, 5);
    EXPECT_EQ(back.EqPreset, -1);
    EXPECT_EQ(back.Eq, stored.Eq);
    EXPECT_EQ(back.PreAmp, 500);
    if (!hadSettings)
        RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
}

}  // namespace
