// The settings dialog in process with a stand-in engine: what it shows, and what its ways
// out give back.
#include "ui/PlayerEngine.h"
#include "ui/SettingsUnit.h"

#include "tests/support/PlayerEngineStandIn.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WineGraph.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

using namespace pvltest;

namespace {
class TStandInEngine : public TPlayerEngineStandIn {
public:
    std::vector<TRendererEntry> RendererTable() override
    {
        return {{"VMR9", "vmr9", "Video Mixing Renderer 9"}, {"VMR", "vmr", "Video Mixing Renderer"},
                {"Normal", "normal", "Video Renderer"}};
    }
    std::vector<TAudioDeviceRow> AudioDevices() override
    {
        return {{"Default DirectSound Device", kDefaultAudioRender, false}, {"Digital out", "dev:spdif", true}};
    }
    std::vector<TMonitorRow> Monitors() override { return {{"Primary display driver", true}}; }
};

struct SettingsForm : ::testing::Test {
    TApplication app;
    TStandInEngine engine;
    TSettingsForm* form = nullptr;
    void SetUp() override
    {
        app.ShowExceptions = false;
        app.CreateForm<TForm>()->Show();
        form = app.CreateForm<TSettingsForm>();
        form->Engine = &engine;
    }
    // Runs the dialog; once it shows, `act` looks at it from a second thread (the GUI thread
    // waits in its loop meanwhile) and then the window gets `finish` (a click or a key).
    bool Run(TPlayerSettings& settings, bool firstRun, const std::function<void()>& act, const std::function<void()>& finish)
    {
        bool changed = false;
        form->HandleNeeded();
        std::thread driver([&] {
            PumpUntil([&] { return IsWindowVisible(form->HandleOrNull()) != FALSE; }, 5000);
            Sleep(300);
            act();
            finish();
        });
        const bool result = form->Execute(settings, firstRun, changed);
        driver.join();
        return result;
    }
    // A click the GUI thread handles before this returns.
    void Click(TButton* button) { SendMessageA(button->Handle(), BM_CLICK, 0, 0); }
    void Press(TButton* button)
    {
        PostMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button->Handle()), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button->Handle()));
    }
};
}

TEST_F(SettingsForm, FirstRunShowsItsOwnValuesAndEscapeAppliesThem)
{
    TPlayerSettings settings;
    settings.SpeakerType = 6;
    settings.ResumeMode = 0;
    const bool applied = Run(
        settings, true,
        [&] {
            EXPECT_FALSE(form->CancelBtn->Enabled());
            EXPECT_EQ(form->Speakers_Selection->Text(), "2 Speakers (Stereo)");
            EXPECT_EQ(form->FullScreen_ComboBox->Text(), "Active Monitor");
            EXPECT_FALSE(form->FullScreen_ComboBox->Enabled());
            EXPECT_TRUE(form->AskMe->Checked());
            EXPECT_EQ(form->TreeView1->Selected(), form->TreeView1->Items.Item(0));
            ASSERT_EQ(form->ListView2->Count(), 2);
            EXPECT_EQ(form->ListView2->Caption(0), "Video Mixing Renderer 9");
            EXPECT_EQ(form->ListView2->Caption(1), "Video Renderer");
            EXPECT_EQ(form->ListView1->Caption(0), "Video Mixing Renderer");
            EXPECT_EQ(form->AudioDevice_ComboBox->Text(), "Default DirectSound Device");
            EXPECT_FALSE(form->SPDIF_ChkBox->Enabled());
        },
        [&] { PostMessageA(form->Handle(), WM_KEYDOWN, VK_ESCAPE, 0); });
    EXPECT_TRUE(applied) << "Esc applies on the first run";
    EXPECT_EQ(settings.SpeakerType, 1);
    EXPECT_EQ(settings.ResumeMode, 2);
    EXPECT_EQ(settings.PreferredVideoRenderers, (std::vector<std::string>{"vmr9", "normal"}));
}

TEST_F(SettingsForm, CancelKeepsEverythingAndOkTakesTheMovedRenderers)
{
    TPlayerSettings settings;
    settings.PreferredVideoRenderers = {"normal"};
    settings.AudioRender = "dev:spdif";
    settings.PerfereSPDIF = true;
    const TPlayerSettings before = settings;
    EXPECT_FALSE(Run(
        settings, false, [&] { SendMessageA(form->AlwaysContinue->Handle(), BM_CLICK, 0, 0); }, [&] { Press(form->CancelBtn); }));
    EXPECT_EQ(settings, before);

    EXPECT_TRUE(Run(
        settings, false,
        [&] {
            EXPECT_TRUE(form->CancelBtn->Enabled());
            EXPECT_TRUE(form->SPDIF_ChkBox->Enabled());
            EXPECT_TRUE(form->SPDIF_ChkBox->Checked());
            // VMR9 from Available to the end of Preferred, then up to the top.
            ASSERT_EQ(form->ListView1->Caption(0), "Video Mixing Renderer 9");
            form->ListView1->SetSelected(0, true);
            Click(form->SpeedButton7);
            EXPECT_TRUE(form->ListView2->Selected(1));
            Click(form->SpeedButton9);
            EXPECT_EQ(form->ListView2->Caption(0), "Video Mixing Renderer 9");
            SendMessageA(form->AlwaysContinue->Handle(), BM_CLICK, 0, 0);
            SetWindowTextA(form->SpinEdit3->Handle(), "7");
        },
        [&] { Press(form->OKBtn); }));
    EXPECT_EQ(settings.PreferredVideoRenderers, (std::vector<std::string>{"vmr9", "normal"}));
    EXPECT_EQ(settings.ResumeMode, 0);
    EXPECT_EQ(settings.HistoryFiles, 7);
    EXPECT_TRUE(settings.PerfereSPDIF);
}
