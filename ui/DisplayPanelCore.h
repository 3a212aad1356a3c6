#pragma once
// The main window's display that needs no platform: the colour themes, the cells of the time
// read-out and the indicators, the progress bar's arithmetic and the title scroller's steps.
// The clock and the text measure are handed in, so every step can be driven from a table.
#include "framework/Types.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// ---- layout ----

// Where the display's boxes lie in the main window's top panel.
struct TDisplayLayout {
    TRect Caption{0, 0, 385, 14};          // PaintBox322
    TRect Time{4, 18, 109, 37};            // PaintBox321, 105 x 19
    TRect State{4, 40, 16, 52};            // PaintBox325
    TRect Audio{20, 40, 32, 52};           // PaintBox323
    TRect Subtitles{36, 40, 48, 52};       // PaintBox324
    TRect Status{52, 40, 110, 52};         // PaintBox326
    TRect Visual{116, 18, 371, 52};        // pbVisual, 255 wide
    TRect Title{4, 56, 347, 68};           // ScrLabel_PaintBox, 343 x 12
    TRect Progress{4, 71, 381, 79};        // PaintBox327
    int ButtonsTop = 83;
    int PanelHeight = 113;
};
inline constexpr TDisplayLayout kDisplayLayout{};

// ---- colour themes ----

// COLORREF values (0x00BBGGRR).
struct TDisplayColors {
    uint32_t Back = 0xBB7B42;
    uint32_t Text = 0xF0CAA6;
};
// A COLORREF as an opaque TColor32 (0xAARRGGBB).
inline constexpr uint32_t OpaqueColor32(uint32_t colorRef)
{
    return 0xFF000000u | (colorRef & 0xFF) << 16 | (colorRef & 0xFF00) | (colorRef >> 16 & 0xFF);
}
inline constexpr int kDisplayThemeCount = 4;
// The theme's colours; none for a number outside 0..3 (the colours in force stay).
std::optional<TDisplayColors> DisplayThemeColors(int theme);

// ---- sprites ----

// One sprite cell drawn into one box cell; rectangles exclude their right and bottom edges.
struct TSpriteCell {
    TRect Source;
    TRect Target;
};

// The time read-out (105 x 19) from the digit sprite (182 x 19): the minus in remaining-time
// mode, then hours, separator, minutes, separator, seconds. A character that is not a digit
// leaves its cell background; the separators show the seconds' parity.
inline constexpr int kTimeDisplayWidth = 105, kTimeDisplayHeight = 19;
inline constexpr int kDigitSpriteWidth = 182;
std::vector<TSpriteCell> TimeDisplayCells(const std::string& hours, const std::string& minutes,
                                          const std::string& seconds, bool remaining);

// The indicator sprite's 12 x 12 cells (72 x 12 in all).
inline constexpr int kIndicatorSize = 12, kIndicatorSpriteWidth = 72;
inline constexpr TRect kAudioIndicatorCell{12, 0, 24, 12};
inline constexpr TRect kSubtitleIndicatorCell{24, 0, 36, 12};
// The play-state symbol for an engine state; none for an unknown state.
std::optional<TRect> StateSymbolCell(uint8_t state);
// Master alpha of an indicator: dim while there is nothing to toggle.
inline constexpr uint32_t IndicatorAlpha(bool togglable) { return togglable ? 200 : 100; }

// The audio stream after `selected` (wrapping to the first; 0 when none is selected) and its
// on-screen text.
int NextAudioStream(int selected, int count);
std::string AudioStreamOSDText(const std::string& name, int index);
// The subtitle language after `selected`, wrapping after the last to language 0 ("None").
struct TSubtitleStep {
    int Language = 0;
    bool Wrapped = false;
};
TSubtitleStep NextSubtitleLanguage(int selected, int count);
std::string SubtitleOSDText(const TSubtitleStep& step, const std::string& name);

// ---- caption and progress ----

// Where the caption box's text starts: centred by the rounded halves.
int CaptionTextLeft(int boxWidth, int textWidth);
// The played part of the progress bar: Round(width / 100 x (progress / 100)), progress in
// hundredths of a percent.
int ProgressPlayedWidth(int boxWidth, int32_t progress);
// The share of the bar under x: 100 / (width / x) for x >= 1, else 0.
double ProgressPercentAt(int boxWidth, int x);
// "Goto hh:mm:ss" for a time in tenths of a second; empty when the time is not above 0.
std::string GotoHintText(int32_t tenths);
// Where a click at x seeks to: none outside 1..width - 2; 0 at the left edge.
std::optional<double> ProgressSeekPercent(int boxWidth, int x);

// ---- the title scroller ----

// The scrolling title line: fade in, hold, scroll a long line to its end and back, cross-fade
// to the next line, fade out when the lines go. The timer steps it every 75 ms and the paint
// that follows applies the step's change of alpha and offset.
class TTitleScroller {
public:
    enum TState : uint8_t { tsIdle, tsScrollLeft, tsScrollRight, tsFadeIn, tsFadeOut, tsCrossFade, tsHold };
    using TTextWidth = std::function<int(const std::string& text)>;

    // boxWidth: the title box; textWidth measures in the font the title is drawn with.
    TTitleScroller(int boxWidth, TTextWidth textWidth);

    // New lines; a shown text cross-fades into the first of them.
    void SetTitleInfo(const std::vector<std::string>& lines);
    void ClearTitleInfo() { Lines.clear(); }
    // One timer step at tick `now` (milliseconds, wrapping); a shown network status holds it.
    void TimerStep(uint32_t now, bool networkStatus);

    // One text of a paint, drawn in white at x with the alpha.
    struct TTextDraw {
        std::string Text;
        int X = 0;
        int Alpha = 0;
        bool operator==(const TTextDraw&) const = default;
    };
    // What this paint draws, in order.
    std::vector<TTextDraw> Paint();

    std::vector<std::string> Lines;
    int LineIndex = 0;
    int Counter = 0;  // scroll passes of the shown line
    uint32_t HoldStart = 0;
    uint32_t HoldLength = 2000;
    TState State = tsIdle;
    int Offset = 0;
    int Alpha = 0;
    std::string Current;
    std::string Previous;
    bool Restart = false;

private:
    void Hold(uint32_t now, uint32_t length);
    void Advance(uint32_t now);
    int FBoxWidth;
    TTextWidth FTextWidth;
};
