#include "ui/SplashUnit.h"

#include "ui/JpegResource.h"

namespace {
constexpr COLORREF kTextColor = 0x00FFFF;  // yellow

void RepaintNow(TSplashForm* splash)
{
    if (splash && splash->HandleAllocated()) {
        InvalidateRect(splash->HandleOrNull(), nullptr, TRUE);
        UpdateWindow(splash->HandleOrNull());
    }
}
}

TSplashForm::TSplashForm(TComponent* owner) : TForm(owner)
{
    Name = "SplashForm";
    BorderStyle = bsNone;
    Position = poScreenCenter;
    SetBounds(0, 0, 524, 268);
    FormCreate(this);
}

void TSplashForm::FormCreate(TObject*)
{
    TitleLine = "Loading Parvolux Engine 1.0.";
    StatusLine = "Checking system...";
    const auto jpeg = LoadJpegResource("IDI_SPLASH");
    FSplash.SetPixels(jpeg->Width(), jpeg->Height(), jpeg->Pixels().data());
    SetBounds(Left(), Top(), FSplash.Width(), FSplash.Height());
}

void TSplashForm::ShowInactive()
{
    // A window that was never active hides at once; one that was can keep an X display without
    // a window manager waiting two seconds in the hide, while the file of the command line
    // already plays and nothing polls it.
    FVisible = true;
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
}

void TSplashForm::DrawLines(HDC dc) const
{
    TSelectObject font(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kTextColor);
    TextOutA(dc, 16, 56, TitleLine.c_str(), static_cast<int>(TitleLine.size()));
    TextOutA(dc, 32, 72, StatusLine.c_str(), static_cast<int>(StatusLine.size()));
}

void TSplashForm::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_ERASEBKGND: {
        const HDC dc = reinterpret_cast<HDC>(message.WParam);
        FSplash.Draw(dc, 0, 0);
        DrawLines(dc);
        message.Result = 0;
        return;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(HandleOrNull(), &ps);
        DrawLines(dc);
        EndPaint(HandleOrNull(), &ps);
        message.Result = 0;
        // Keep the splash and the other windows answering while start-up holds the thread.
        if (!FPainting && Application) {
            FPainting = true;
            Application->ProcessMessages();
            FPainting = false;
        }
        return;
    }
    default:
        TForm::WndProc(message);
    }
}

void SetSplashStatus(TSplashForm* splash, const std::string& text)
{
    if (!splash)
        return;
    splash->StatusLine = text;
    RepaintNow(splash);
}

void AddSplashProgressDot(TSplashForm* splash)
{
    if (!splash)
        return;
    splash->TitleLine += ".";
    RepaintNow(splash);
}
