// The display panel's platform-free parts: themes, the time read-out's cells, the indicators,
// the progress bar and the title scroller driven step by step with a clock of our own.
#include "ui/DisplayPanelCore.h"

#include <gtest/gtest.h>

TEST(DisplayThemes, FourThemesAndNoneBeyond)
{
    const struct {
        int Theme;
        std::optional<uint32_t> Back, Text;
    } cases[] = {{0, 0xBB7B42, 0xF0CAA6}, {1, 0x000080, 0x0000FF}, {2, 0x008080, 0x00FFFF},
                 {3, 0x008000, 0x00FF00}, {4, std::nullopt, std::nullopt}, {-1, std::nullopt, std::nullopt}};
    for (const auto& c : cases) {
        const std::optional<TDisplayColors> colors = DisplayThemeColors(c.Theme);
        ASSERT_EQ(colors.has_value(), c.Back.has_value()) << c.Theme;
        if (colors) {
            EXPECT_EQ(colors->Back, *c.Back) << c.Theme;
            EXPECT_EQ(colors->Text, *c.Text) << c.Theme;
        }
    }
}

TEST(TimeDisplay, CellsOfElapsedAndRemainingTimes)
{
    // 01:23:45 elapsed: odd seconds give the second separator picture, no sign cell.
    std::vector<TSpriteCell> cells = TimeDisplayCells("01", "23", "45", false);
    const std::vector<std::pair<int, int>> expected = {{0, 13},   {13, 26}, {172, 39}, {26, 46},
                                                       {39, 59},  {172, 72}, {52, 79}, {65, 92}};
    ASSERT_EQ(cells.size(), expected.size());
    for (size_t i = 0; i < cells.size(); ++i) {
        EXPECT_EQ(cells[i].Source.left, expected[i].first) << i;
        EXPECT_EQ(cells[i].Target.left, expected[i].second) << i;
        EXPECT_EQ(cells[i].Source.Width(), cells[i].Target.Width()) << i;
        EXPECT_EQ(cells[i].Target.top, 0);
        EXPECT_EQ(cells[i].Target.bottom, kTimeDisplayHeight);
        EXPECT_LE(cells[i].Source.right, kDigitSpriteWidth);
        EXPECT_LE(cells[i].Target.right, kTimeDisplayWidth);
    }
    EXPECT_EQ(cells[2].Source, TRect(172, 0, 179, 19));

    // Remaining time: the minus first; even seconds light the first separator picture.
    cells = TimeDisplayCells("00", "00", "10", true);
    ASSERT_EQ(cells.size(), 9u);
    EXPECT_EQ(cells[0].Source, TRect(143, 0, 156, 19));
    EXPECT_EQ(cells[0].Target, TRect(0, 0, 13, 19));
    EXPECT_EQ(cells[3].Source, TRect(159, 0, 166, 19));
    EXPECT_EQ(cells[8].Source, TRect(0, 0, 13, 19));
    EXPECT_EQ(cells[8].Target, TRect(92, 0, 105, 19));
}

TEST(TimeDisplay, CharactersThatAreNoDigitsStayBackground)
{
    const std::vector<TSpriteCell> cells = TimeDisplayCells("-1", "", "x7", false);
    // Hours units, the two separators and seconds units; "x7" counts as even.
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells[0].Target.left, 26);
    EXPECT_EQ(cells[1].Source.left, 159);
    EXPECT_EQ(cells[3].Source, TRect(91, 0, 104, 19));
}

TEST(Indicators, StateSymbolsAndAlpha)
{
    EXPECT_EQ(StateSymbolCell(1), TRect(36, 0, 48, 12));
    EXPECT_EQ(StateSymbolCell(2), TRect(48, 0, 60, 12));
    EXPECT_EQ(StateSymbolCell(0), TRect(60, 0, 72, 12));
    EXPECT_EQ(StateSymbolCell(3), TRect(60, 0, 72, 12));
    EXPECT_FALSE(StateSymbolCell(4));
    EXPECT_EQ(IndicatorAlpha(false), 100u);
    EXPECT_EQ(IndicatorAlpha(true), 200u);
}

TEST(Indicators, AudioAndSubtitleStepsWrapWithTheirTexts)
{
    EXPECT_EQ(NextAudioStream(0, 3), 1);
    EXPECT_EQ(NextAudioStream(2, 3), 0);
    EXPECT_EQ(NextAudioStream(-1, 2), 0);
    EXPECT_EQ(AudioStreamOSDText("English", 0), "Audio: English");
    EXPECT_EQ(AudioStreamOSDText("", 1), "Audio: Audio Stream 2");

    TSubtitleStep step = NextSubtitleLanguage(0, 2);
    EXPECT_EQ(step.Language, 1);
    EXPECT_EQ(SubtitleOSDText(step, "German"), "Subtitles: German");
    step = NextSubtitleLanguage(1, 2);
    EXPECT_EQ(step.Language, 0);
    EXPECT_EQ(SubtitleOSDText(step, "English"), "Subtitles: None");
}

TEST(Progress, PlayedWidthHintAndSeek)
{
    EXPECT_EQ(ProgressPlayedWidth(200, 0), 0);
    EXPECT_EQ(ProgressPlayedWidth(200, 5000), 100);
    EXPECT_EQ(ProgressPlayedWidth(200, 10000), 200);
    EXPECT_EQ(ProgressPlayedWidth(250, 5), 0);   // 0.125 rounds down
    EXPECT_EQ(ProgressPlayedWidth(250, 30), 1);  // 0.75 rounds up
    EXPECT_EQ(ProgressPlayedWidth(100, 250), 2);  // 2.5 rounds to even

    EXPECT_DOUBLE_EQ(ProgressPercentAt(200, 0), 0);
    EXPECT_DOUBLE_EQ(ProgressPercentAt(200, 50), 25);
    EXPECT_EQ(GotoHintText(0), "");
    EXPECT_EQ(GotoHintText(-5), "");
    EXPECT_EQ(GotoHintText(37234), "Goto 01:02:03");
    EXPECT_EQ(GotoHintText(9), "Goto 00:00:00");

    const struct {
        int X;
        std::optional<double> Percent;
    } clicks[] = {{0, std::nullopt}, {1, 0.0}, {2, 0.5}, {101, 50.0}, {161, 80.0}, {199, std::nullopt}};
    for (const auto& c : clicks)
        EXPECT_EQ(ProgressSeekPercent(200, c.X), c.Percent) << c.X;
    EXPECT_TRUE(ProgressSeekPercent(200, 198));
}

TEST(CaptionBox, TextCentredByRoundedHalves)
{
    EXPECT_EQ(CaptionTextLeft(343, 100), 122);  // 172 (171.5 to even) - 50
    EXPECT_EQ(CaptionTextLeft(100, 31), 34);    // 50 - 16 (15.5 to even)
    EXPECT_EQ(CaptionTextLeft(100, 200), -50);
}

// ---- the title scroller ----

namespace {
// Six pixels a character; the box is 100 wide.
constexpr int kBoxWidth = 100;
int Width6(const std::string& text)
{
    return static_cast<int>(text.size()) * 6;
}

// A timer tick followed by its paint, as the window runs them.
struct TScrollerRun {
    TTitleScroller Scroller{kBoxWidth, Width6};
    uint32_t Now = 1000;
    std::vector<TTitleScroller::TTextDraw> Last;

    void Tick(bool status = false)
    {
        Now += 75;
        Scroller.TimerStep(Now, status);
        Last = Scroller.Paint();
    }
    // Ticks until the state changes; the number of ticks taken.
    int TicksUntilStateChanges(int limit = 1000)
    {
        const auto from = Scroller.State;
        for (int i = 1; i <= limit; ++i) {
            Tick();
            if (Scroller.State != from)
                return i;
        }
        return -1;
    }
};
}

TEST(TitleScroller, TwoFittingLinesFadeInHoldAndCrossFade)
{
    TScrollerRun run;
    run.Scroller.SetTitleInfo({"First", "Second"});
    EXPECT_EQ(run.Scroller.State, TTitleScroller::tsIdle);  // nothing shown yet: no cross-fade

    std::vector<int> alphas;
    run.Tick();
    ASSERT_EQ(run.Scroller.State, TTitleScroller::tsFadeIn);
    alphas.push_back(run.Last.at(0).Alpha);
    while (run.Scroller.State == TTitleScroller::tsFadeIn) {
        run.Tick();
        if (run.Scroller.State == TTitleScroller::tsFadeIn)
            alphas.push_back(run.Last.at(0).Alpha);
    }
    EXPECT_EQ(alphas, (std::vector<int>{40, 80, 120, 160, 200}));
    EXPECT_EQ(run.Last, (std::vector<TTitleScroller::TTextDraw>{{"First", 2, 200}}));
    EXPECT_EQ(run.Scroller.HoldLength, 2000u);

    // Held for more than 2000 ms: 27 ticks of 75 ms (2025 ms).
    EXPECT_EQ(run.TicksUntilStateChanges(), 27);
    ASSERT_EQ(run.Scroller.State, TTitleScroller::tsCrossFade);
    EXPECT_EQ(run.Last, (std::vector<TTitleScroller::TTextDraw>{{"First", 2, 180}, {"Second", 2, 20}}));
    int paints = 1;
    while (run.Scroller.State == TTitleScroller::tsCrossFade) {
        run.Tick();
        ++paints;
    }
    EXPECT_EQ(paints, 11);  // 10 cross-fade paints, then the step that starts the hold
    EXPECT_EQ(run.Scroller.HoldLength, 4000u);
    EXPECT_EQ(run.Last, (std::vector<TTitleScroller::TTextDraw>{{"Second", 2, 200}}));

    // After the hold, back to the first line, whose predecessor is the last line.
    EXPECT_EQ(run.TicksUntilStateChanges(), 54);  // 4050 ms
    EXPECT_EQ(run.Scroller.LineIndex, 0);
    EXPECT_EQ(run.Last, (std::vector<TTitleScroller::TTextDraw>{{"Second", 2, 180}, {"First", 2, 20}}));
}

TEST(TitleScroller, SingleFittingLineHoldsForEver)
{
    TScrollerRun run;
    run.Scroller.SetTitleInfo({"Only"});
    for (int i = 0; i < 400; ++i) {
        run.Tick();
        EXPECT_NE(run.Scroller.State, TTitleScroller::tsCrossFade);
    }
    EXPECT_EQ(run.Scroller.State, TTitleScroller::tsHold);
    EXPECT_EQ(run.Last, (std::vector<TTitleScroller::TTextDraw>{{"Only", 2, 200}}));
}

TEST(TitleScroller, LongLineScrollsLeftHoldsScrollsBackAndRepeats)
{
    TScrollerRun run;
    const std::string longLine(20, 'x');  // 120 pixels in a 100-pixel box
    run.Scroller.SetTitleInfo({longLine});
    run.TicksUntilStateChanges();  // idle -> fade in
    run.TicksUntilStateChanges();  // fade in -> hold
    EXPECT_GT(run.TicksUntilStateChanges(), 26);
    ASSERT_EQ(run.Scroller.State, TTitleScroller::tsScrollLeft);
    // Leftwards 2 pixels a paint until 120 + offset < 97.
    run.TicksUntilStateChanges();
    EXPECT_EQ(run.Scroller.State, TTitleScroller::tsHold);
    EXPECT_EQ(run.Scroller.Offset, -24);
    EXPECT_EQ(run.Scroller.Counter, 1);
    EXPECT_EQ(run.Last.at(0).X, -22);
    run.TicksUntilStateChanges();
    ASSERT_EQ(run.Scroller.State, TTitleScroller::tsScrollRight);
    run.TicksUntilStateChanges();
    EXPECT_EQ(run.Scroller.State, TTitleScroller::tsHold);
    EXPECT_EQ(run.Scroller.Offset, 0);
    EXPECT_EQ(run.Scroller.Counter, 2);
    // The third hold ends the pass: one line, so it holds again and scrolls once more.
    for (int i = 0; i < 27; ++i)
        run.Tick();
    EXPECT_EQ(run.Scroller.Counter, 0);
    EXPECT_EQ(run.Scroller.State, TTitleScroller::tsHold);
    run.TicksUntilStateChanges();
    EXPECT_EQ(run.Scroller.State, TTitleScroller::tsScrollLeft);
}

TEST(TitleScroller, NewLinesCrossFadeFromTheOldTextAtItsOffset)
{
    TScrollerRun run;
    run.Scroller.SetTitleInfo({std::string(20, 'x')});
    while (run.Scroller.State != TTitleScroller::tsScrollLeft)
        run.Tick();
    for (int i = 0; i < 5; ++i)
        run.Tick();
    const int offset = run.Scroller.Offset;
    ASSERT_LT(offset, 0);

    run.Scroller.SetTitleInfo({"New", "Other"});
    EXPECT_EQ(run.Scroller.State, TTitleScroller::tsCrossFade);
    run.Tick();
    EXPECT_EQ(run.Last, (std::vector<TTitleScroller::TTextDraw>{{std::string(20, 'x'), offset + 2, 235}, {"New", 2, 20}}));
    while (run.Scroller.State == TTitleScroller::tsCrossFade)
        run.Tick();
    EXPECT_EQ(run.Scroller.Offset, 0);
    EXPECT_EQ(run.Scroller.Counter, 0);
    EXPECT_FALSE(run.Scroller.Restart);
    EXPECT_EQ(run.Scroller.HoldLength, 4000u);
    EXPECT_EQ(run.Scroller.Current, "New");
}

TEST(TitleScroller, ClearedLinesFadeOutToIdle)
{
    TScrollerRun run;
    run.Scroller.SetTitleInfo({"Song"});
    for (int i = 0; i < 10; ++i)
        run.Tick();
    run.Scroller.ClearTitleInfo();
    std::vector<int> alphas;
    for (int i = 0; i < 7; ++i) {
        run.Tick();
        if (!run.Last.empty())
            alphas.push_back(run.Last[0].Alpha);
    }
    EXPECT_EQ(alphas, (std::vector<int>{160, 120, 80, 40, 0}));
    EXPECT_EQ(run.Scroller.State, TTitleScroller::tsIdle);
    EXPECT_TRUE(run.Scroller.Current.empty());
    EXPECT_TRUE(run.Last.empty());
}

TEST(TitleScroller, NetworkStatusHoldsTheLine)
{
    TScrollerRun run;
    run.Scroller.SetTitleInfo({"A", "B"});
    for (int i = 0; i < 8; ++i)
        run.Tick();
    ASSERT_EQ(run.Scroller.State, TTitleScroller::tsHold);
    for (int i = 0; i < 100; ++i)
        run.Tick(true);
    EXPECT_EQ(run.Scroller.State, TTitleScroller::tsHold);
    EXPECT_EQ(run.Last, (std::vector<TTitleScroller::TTextDraw>{{"A", 2, 200}}));
}

TEST(TitleScroller, HoldEndsAcrossTheTickCountWrap)
{
    TScrollerRun run;
    run.Now = 0xFFFFFFFFu - 1000;
    run.Scroller.SetTitleInfo({"A", "B"});
    while (run.Scroller.State != TTitleScroller::tsHold)
        run.Tick();
    const uint32_t start = run.Scroller.HoldStart;
    // Not before 2000 ms, although the counter wrapped meanwhile.
    const int ticks = run.TicksUntilStateChanges();
    EXPECT_EQ(ticks, 27);
    EXPECT_LT(run.Now, start);
    EXPECT_EQ(run.Scroller.State, TTitleScroller::tsCrossFade);
}
