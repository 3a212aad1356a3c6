#pragma once
// The main window's display: the time read-out, the state, audio and subtitle indicators, the
// status pane, the progress bar, the caption box and the scrolling title, each a TPaintBox32
// painted in the colours of the chosen theme. The boxes are the main window's fields; this
// creates them in its top panel and handles their events.
#include "ui/DisplayPanelCore.h"

#include "framework/Classes.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TBitmap32;
class TControlForm;
class TPaintBox32;

// Reads a bitmap kept in the program's resources (type RCDATA) in its stored form "Data";
// false, with the bitmap left as it was, when the resource is missing or unreadable.
bool LoadBitmapResource(const std::string& name, TBitmap32& bitmap);

// One paint of the scrolling title: the scroller's texts drawn in white into the title
// bitmap (in its font, "Small Fonts" 7 pt) on the background, then onto the box's buffer.
void DrawTitleLine(TTitleScroller& scroller, TBitmap32& title, TBitmap32& target, const TRect& box, uint32_t backColor);

class TDisplayPanel {
public:
    // Creates the boxes and the sprite images in the form's top panel.
    explicit TDisplayPanel(TControlForm& form);
    ~TDisplayPanel();
    TDisplayPanel(const TDisplayPanel&) = delete;
    TDisplayPanel& operator=(const TDisplayPanel&) = delete;

    void UpdateTimeDisplay(const std::string& hours, const std::string& minutes, const std::string& seconds);
    // Theme 0..3 is stored and applied; -1 applies the stored one; others keep the colours.
    void SetDisplayColorTheme(int theme);
    const TDisplayColors& Colors() const { return FColors; }
    void SetTitleInfo(const std::vector<std::string>& lines);
    void ClearTitleInfo();
    void TitleTimerTimer();
    TTitleScroller& Scroller() { return FScroller; }
    // Repaints the state, audio, subtitle, status and progress boxes.
    void RepaintIndicators();

    // A stream behind a stream-selecting filter is switched by the streams part of the window.
    std::function<void(int index)> SelectStream;

private:
    void PaintBox321Click();
    void PaintBox321PaintBuffer();
    void PaintBox322PaintBuffer();
    void PaintBox323PaintBuffer();
    void PaintBox323Click();
    void PaintBox324PaintBuffer();
    void PaintBox324Click();
    void PaintBox325PaintBuffer();
    void PaintBox326PaintBuffer();
    void PaintBox327PaintBuffer();
    void PaintBox327MouseMove(int x, int y);
    void PaintBox327MouseUp(int x);
    void ScrLabel_PaintBoxPaintBuffer();
    void pbVisualPaintBuffer();
    // Clears the box's buffer to the theme's background and draws `cell` of the sprite.
    void PaintIndicator(TPaintBox32* box, TBitmap32* sprite, const TRect& cell, uint32_t alpha);
    void ShowOSD(const std::string& text, int seconds);

    TControlForm& FForm;
    TDisplayColors FColors;
    std::unique_ptr<TBitmap32> FTitleBitmap;
    TTitleScroller FScroller;
    // The time texts last drawn, repainted when the theme changes.
    std::string FHours = "00", FMinutes = "00", FSeconds = "00";
    TPoint FHintPoint{-1, -1};  // where the progress bar's hint was last placed
};
