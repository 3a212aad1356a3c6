#pragma once
// The splash window of the start-up: the splash picture with a title line that grows a dot
// per step and a status line; it stays live while start-up keeps the thread busy.
#include "framework/Forms.h"
#include "framework/Graphics.h"

#include <string>

class TSplashForm : public TForm {
public:
    explicit TSplashForm(TComponent* owner);
    // Shows the splash without taking the activation.
    void ShowInactive();
    std::string TitleLine;
    std::string StatusLine;

protected:
    void WndProc(TMessage& message) override;

private:
    void FormCreate(TObject* sender);
    void DrawLines(HDC dc) const;
    TBitmap FSplash;
    bool FPainting = false;
};

// Replaces the status line and repaints at once.
void SetSplashStatus(TSplashForm* splash, const std::string& text);
// Appends "." to the title line and repaints at once.
void AddSplashProgressDot(TSplashForm* splash);
