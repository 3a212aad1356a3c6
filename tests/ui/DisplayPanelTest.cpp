// The main window's display with real windows and a stand-in engine: the themes recolour
// every box, the time read-out and its minus cell, the state symbol, the progress bar with
// its hint and seek, the scrolling title; and the on-screen display over the video window.
#include "ui/Control_Unit.h"
#include "ui/DisplayPanel.h"
#include "ui/OSD_Unit.h"
#include "ui/Video_Unit.h"

#include "graphics/Image32.h"
#include "tests/support/PlayerEngineStandIn.h"
#include "tests/support/WineGraph.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pvltest;

namespace {
using TLog = std::vector<std::string>;

class TDisplayEngine : public TPlayerEngineStandIn {
public:
    TLog Log;
    std::vector<std::string> Streams;
    int SelectedStream = 0;
    uint32_t Back = 0, Text = 0;

    void GotoPercent(double percent) override { Log.push_back("GotoPercent " + std::to_string(percent)); }
    // An hour and a half: a percent is 54 seconds.
    int32_t GetMSecfromPercent(double percent) override { return static_cast<int32_t>(percent * 540); }
    std::vector<std::string> AudioStreamNames() override { return Streams; }
    int GetSelectedAudioStream() override { return SelectedStream; }
    void SelectAudioStream(int index) override { Log.push_back("SelectAudioStream " + std::to_string(index)); }
    void SetDisplayColors(uint32_t back, uint32_t text) override
    {
        Back = back;
        Text = text;
    }
};

uint8_t R(TColor32 c) { return RedComponent(c); }
uint8_t G(TColor32 c) { return GreenComponent(c); }
uint8_t B(TColor32 c) { return BlueComponent(c); }

void ExpectColor(TColor32 pixel, int r, int g, int b, const std::string& where)
{
    EXPECT_NEAR(R(pixel), r, 1) << where;
    EXPECT_NEAR(G(pixel), g, 1) << where;
    EXPECT_NEAR(B(pixel), b, 1) << where;
}

class Display : public ::testing::Test {
protected:
    void SetUp() override
    {
        App.ShowExceptions = false;
        Form = App.CreateForm<TControlForm>();
        Form->Engine = &Engine;
        Form->Show();
        Form->SetDisplayColorTheme(0);
        Paint();
    }
    void TearDown() override { Form->Engine = nullptr; }
    // Lets every invalidated box paint.
    void Paint()
    {
        PumpMessages(30);
        UpdateWindow(Form->Handle());
        for (TPaintBox32* box : Boxes())
            UpdateWindow(box->Handle());
    }
    std::vector<TPaintBox32*> Boxes() const
    {
        return {Form->PaintBox321, Form->PaintBox322, Form->PaintBox323, Form->PaintBox324, Form->PaintBox325,
                Form->PaintBox326, Form->PaintBox327, Form->ScrLabel_PaintBox, Form->pbVisual};
    }
    static TColor32 Pixel(TPaintBox32* box, int x, int y) { return box->Buffer()->Pixel(x, y); }
    // Pixels of the box that differ from the theme's background.
    size_t LitPixels(TPaintBox32* box) const
    {
        const TColor32 back = OpaqueColor32(Form->Display->Colors().Back);
        size_t lit = 0;
        for (int y = 0; y < box->Height(); ++y)
            for (int x = 0; x < box->Width(); ++x)
                lit += Pixel(box, x, y) != back;
        return lit;
    }
    void Click(TPaintBox32* box, int x, int y)
    {
        SendMessageA(box->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(box->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }

    TDisplayEngine Engine;
    TApplication App;
    TControlForm* Form = nullptr;
};
}

TEST_F(Display, BoxesHaveTheirSizes)
{
    EXPECT_EQ(Form->PaintBox321->Width(), 105);
    EXPECT_EQ(Form->PaintBox321->Height(), 19);
    EXPECT_EQ(Form->ScrLabel_PaintBox->Width(), 343);
    EXPECT_EQ(Form->ScrLabel_PaintBox->Height(), 12);
    EXPECT_EQ(Form->pbVisual->Width(), 255);
    EXPECT_EQ(Form->VisualHeight(), Form->pbVisual->Height());
    EXPECT_GT(Form->VisualHeight(), 0);
    EXPECT_EQ(Form->Image321->Bitmap()->Width(), 182);
    EXPECT_EQ(Form->Image322->Bitmap()->Width(), 72);
}

TEST_F(Display, EveryThemeRecoloursTheBoxesAndTheEngine)
{
    const struct {
        int Theme;
        uint32_t Back, Text;
    } themes[] = {{0, 0xBB7B42, 0xF0CAA6}, {1, 0x000080, 0x0000FF}, {2, 0x008080, 0x00FFFF}, {3, 0x008000, 0x00FF00}};
    for (const auto& t : themes) {
        Form->SetDisplayColorTheme(t.Theme);
        Paint();
        const std::string name = "theme " + std::to_string(t.Theme);
        EXPECT_EQ(Form->Settings.DisplayColor, t.Theme) << name;
        EXPECT_EQ(Engine.Back, t.Back) << name;
        EXPECT_EQ(Engine.Text, t.Text) << name;
        const int r = t.Back & 0xFF, g = t.Back >> 8 & 0xFF, b = t.Back >> 16;
        ExpectColor(Pixel(Form->PaintBox326, 3, 3), r, g, b, name + " status");
        ExpectColor(Pixel(Form->PaintBox321, 5, 8), r, g, b, name + " sign cell");
        ExpectColor(Pixel(Form->pbVisual, 100, 10), r, g, b, name + " visual");
        // The empty progress bar: the background at 220 over black.
        ExpectColor(Pixel(Form->PaintBox327, 50, 3), r * 220 / 255, g * 220 / 255, b * 220 / 255, name + " progress");
    }
    // Other numbers are stored but keep the colours in force; -1 applies the stored theme.
    Form->SetDisplayColorTheme(7);
    EXPECT_EQ(Form->Settings.DisplayColor, 7);
    EXPECT_EQ(Engine.Back, 0x008000u);
    Form->Settings.DisplayColor = 1;
    Form->SetDisplayColorTheme(-1);
    EXPECT_EQ(Engine.Back, 0x000080u);
}

TEST_F(Display, TimeReadOutShowsDigitsAndTheMinusAfterAClick)
{
    Engine.State = 1;
    Engine.Position = 12 * 10000000LL;  // 00:00:12
    Engine.Duration = 100 * 10000000LL;
    Form->Timer1Timer(nullptr);
    Paint();
    const size_t lit = LitPixels(Form->PaintBox321);
    EXPECT_GT(lit, 100u);
    // The sign cell's minus lies across its middle row.
    EXPECT_EQ(Pixel(Form->PaintBox321, 6, 8), OpaqueColor32(0xBB7B42));
    Click(Form->PaintBox321, 50, 8);
    Paint();
    EXPECT_EQ(Form->Settings.TimeMode, 1);
    EXPECT_NE(Pixel(Form->PaintBox321, 6, 8), OpaqueColor32(0xBB7B42));
    Click(Form->PaintBox321, 50, 8);
    Paint();
    EXPECT_EQ(Form->Settings.TimeMode, 0);
    EXPECT_EQ(Pixel(Form->PaintBox321, 6, 8), OpaqueColor32(0xBB7B42));
}

TEST_F(Display, StateSymbolFollowsTheEngine)
{
    std::vector<std::vector<TColor32>> pictures;
    for (uint8_t state : {1, 2, 0}) {
        Engine.State = state;
        Form->Timer1Timer(nullptr);
        Paint();
        EXPECT_GT(LitPixels(Form->PaintBox325), 10u) << int(state);
        std::vector<TColor32> picture;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                picture.push_back(Pixel(Form->PaintBox325, x, y));
        pictures.push_back(picture);
    }
    EXPECT_NE(pictures[0], pictures[1]);
    EXPECT_NE(pictures[1], pictures[2]);
    EXPECT_NE(pictures[0], pictures[2]);
}

TEST_F(Display, ProgressBarFillsInWhiteHintsAndSeeks)
{
    Form->Progress = 5000;
    Form->PaintBox327->Invalidate();
    Paint();
    const int width = Form->PaintBox327->Width();
    ExpectColor(Pixel(Form->PaintBox327, width / 2 - 2, 3), 157, 181, 208, "played");
    ExpectColor(Pixel(Form->PaintBox327, width / 2 + 2, 3), 57, 106, 161, "to come");

    // Over the middle: half of an hour and a half.
    SendMessageA(Form->PaintBox327->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(width / 2, 3));
    const int32_t tenths = static_cast<int32_t>(100.0 / (width / static_cast<double>(width / 2)) * 540);
    EXPECT_EQ(Form->PaintBox327->Hint, GotoHintText(tenths));
    EXPECT_TRUE(Form->PaintBox327->Hint.starts_with("Goto 00:4"));
    Click(Form->PaintBox327, 101, 3);
    ASSERT_EQ(Engine.Log.size(), 1u);
    EXPECT_EQ(Engine.Log[0], "GotoPercent " + std::to_string(100.0 / (width / 100.0)));
    Click(Form->PaintBox327, width - 1, 3);  // the right edge does not seek
    EXPECT_EQ(Engine.Log.size(), 1u);
}

TEST_F(Display, TitleFadesInAndHolds)
{
    TStringList lines;
    lines.Add("A title to show");
    Form->SetTitleInfo(lines);
    EXPECT_TRUE(Form->TitleTimer->Enabled());
    for (int i = 0; i < 8; ++i) {
        Form->TitleTimer->OnTimer(Form->TitleTimer);
        Paint();
    }
    EXPECT_EQ(Form->Display->Scroller().Current, "A title to show");
    EXPECT_GT(LitPixels(Form->ScrLabel_PaintBox), 30u);
    Form->ClearTitleInfo();
    for (int i = 0; i < 8; ++i) {
        Form->TitleTimer->OnTimer(Form->TitleTimer);
        Paint();
    }
    EXPECT_EQ(LitPixels(Form->ScrLabel_PaintBox), 0u);
}

TEST_F(Display, AudioIndicatorBrightensWithTwoStreamsAndClickTakesTheNext)
{
    Paint();
    Form->PaintBox323->Invalidate();
    Paint();
    const TColor32 dim = Pixel(Form->PaintBox323, 6, 5);
    Engine.Streams = {"English", "German"};
    Form->Display->RepaintIndicators();
    Paint();
    const TColor32 bright = Pixel(Form->PaintBox323, 6, 5);
    EXPECT_GT(R(bright), R(dim));
    Click(Form->PaintBox323, 5, 5);
    EXPECT_EQ(Engine.Log, TLog{"SelectAudioStream 1"});
}

// ---- the on-screen display ----

namespace {
class OSD : public ::testing::Test {
protected:
    void SetUp() override
    {
        App.ShowExceptions = false;
        Video = App.CreateForm<TVideoForm>();
        Video->SetBounds(50, 50, 640, 400);
        Video->Show();
        Osd = NewComponent<TOSDForm>(&App, *Video);
        PumpMessages(50);
    }
    TApplication App;
    TVideoForm* Video = nullptr;
    TOSDForm* Osd = nullptr;
};
}

TEST_F(OSD, TextShowsAtFiveFiveAboveThePictureWithARegion)
{
    Osd->ShowTextTimed("Some Title", 7);
    PumpMessages(50);
    const HWND osd = Osd->HandleOrNull();
    ASSERT_TRUE(IsWindowVisible(osd));
    EXPECT_EQ(GetParent(osd), Video->Handle());
    EXPECT_EQ(GetTopWindow(Video->Handle()), osd);
    EXPECT_EQ(Osd->Left(), 5);
    EXPECT_EQ(Osd->Top(), 5);
    // The size of the text in Arial bold 12 points, and 12 and 2 more.
    TFont font;
    font.SetName("Arial");
    font.SetSize(12);
    font.SetStyle(fsBold);
    const HDC dc = GetDC(nullptr);
    SIZE extent{};
    {
        TSelectObject selected(dc, font.Handle());
        GetTextExtentPoint32A(dc, "Some Title", 10, &extent);
    }
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(Osd->Width(), extent.cx + 12);
    EXPECT_EQ(Osd->Height(), extent.cy + 2);
    // Cut to the text: not a rectangle.
    const HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(osd, region), COMPLEXREGION);
    DeleteObject(region);
}

TEST_F(OSD, WithoutRegionsTheWholeRectangleShows)
{
    Osd->RegionsEnabled = [] { return false; };
    Osd->ShowText("Plain");
    PumpMessages(20);
    const HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(Osd->HandleOrNull(), region), ERROR);  // no region
    DeleteObject(region);
}

TEST_F(OSD, BlinkTogglesAndTimedTextGoes)
{
    Osd->ShowTextBlink("Pause", true);
    std::vector<bool> seen;
    for (int i = 0; i < 4; ++i) {
        Osd->Timer1->OnTimer(Osd->Timer1);
        seen.push_back(IsWindowVisible(Osd->HandleOrNull()) != 0);
    }
    EXPECT_EQ(seen, (std::vector<bool>{false, true, false, true}));

    Osd->ShowTextTimed("Play", 1);
    Osd->Timer1->OnTimer(Osd->Timer1);
    EXPECT_TRUE(IsWindowVisible(Osd->HandleOrNull()));
    PumpMessages(1100);
    Osd->Timer1->OnTimer(Osd->Timer1);
    EXPECT_FALSE(IsWindowVisible(Osd->HandleOrNull()));
    EXPECT_FALSE(Osd->Timer1->Enabled());
}
