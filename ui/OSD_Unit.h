#pragma once
// The on-screen display: one line of white, outlined text in a small black window that lies
// in the video window's top-left corner, above the picture, for some seconds or until
// replaced, optionally blinking. Its shape can be cut to the text.
#include "ui/OSD_UnitCore.h"

#include "engine/EngineServices.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/WinHandles.h"

#include <functional>
#include <string>

class TVideoForm;

class TOSDForm : public TForm, public IOSDForm {
public:
    // Lives in the video window, which must outlive it.
    TOSDForm(TComponent* owner, TVideoForm& video);
    ~TOSDForm() override;

    void ShowText(const std::string& text) { ShowOSDText(text, false, 0); }
    void ShowTextBlink(const std::string& text, bool blink) override { ShowOSDText(text, blink, 0); }
    void ShowTextTimed(const std::string& text, int seconds) override { ShowOSDText(text, false, seconds); }
    void ShowOSDText(const std::string& text, bool blink, int seconds);
    // Hides the text and stops the timer.
    void CloseOSD();

    TTimer* Timer1;
    // Whether the window is cut to its text (the engine's fast-processor flag); unset: yes.
    std::function<bool()> RegionsEnabled;
    const std::string& Text() const { return FText; }

protected:
    void CreateParams(TCreateParams& params) override;
    void PaintWindow(HDC dc) override;

private:
    // Renders the text into the bitmap, sizes the window and cuts its region; false when the
    // video area is empty.
    bool Render();
    void ShowOnTop();
    void Timer1Timer();
    // Puts the device context's own bitmap back.
    void Deselect();

    TVideoForm& FVideo;
    std::string FText;
    bool FBlink = false;
    int FSeconds = 0;
    uint32_t FStart = 0;
    TFont FFont;
    TMemoryDC FDC;
    TDIBSection FBitmap;
    int FBitmapWidth = 0;
    const uint8_t* FBits = nullptr;  // the section's top-down rows
    HGDIOBJ FOriginalBitmap = nullptr;
};
