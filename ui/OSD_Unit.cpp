#include "ui/OSD_Unit.h"

#include "ui/BitmapRegion.h"
#include "ui/BitmapRegionCore.h"
#include "ui/Video_Unit.h"

#include "engine/OutlinedText.h"

TOSDForm::TOSDForm(TComponent* owner, TVideoForm& video) : TForm(owner), FVideo(video)
{
    Name = "OSDForm";
    BorderStyle = bsNone;
    FormStyle = fsStayOnTop;
    SetColor(clBlack);
    Timer1 = NewComponent<TTimer>(this);
    Timer1->SetEnabled(false);
    Timer1->SetInterval(500);
    Timer1->OnTimer = [this](TObject*) { Timer1Timer(); };
    // FormCreate: the font of the text, and the window docked into the video window at (5, 5).
    FFont.SetName("Arial");
    FFont.SetSize(12);
    FFont.SetStyle(fsBold);
    FDC.Reset(CreateCompatibleDC(nullptr));
    HandleNeeded();
    SetBounds(kOSDLeft, kOSDTop, 0, 0);
}

TOSDForm::~TOSDForm()
{
    Timer1->SetEnabled(false);
    Deselect();
}

void TOSDForm::Deselect()
{
    if (FOriginalBitmap)
        SelectObject(FDC.Get(), FOriginalBitmap);
}

void TOSDForm::CreateParams(TCreateParams& params)
{
    TForm::CreateParams(params);
    params.WinClassName = "TPvlOSDForm";
    params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    params.ExStyle = 0;
    params.WndParent = FVideo.Handle();
    params.Background = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
}

void TOSDForm::ShowOSDText(const std::string& text, bool blink, int seconds)
{
    // Hidden first: a shorter text must not leave the old one's pixels on a still picture.
    CloseOSD();
    FText = text;
    FBlink = blink;
    FSeconds = seconds;
    if (!Render())
        return;
    FStart = GetTickCount();
    ShowOnTop();
    Timer1->SetEnabled(true);
}

void TOSDForm::CloseOSD()
{
    Timer1->SetEnabled(false);
    FVisible = false;
    if (HandleAllocated())
        ShowWindow(HandleOrNull(), SW_HIDE);
}

void TOSDForm::ShowOnTop()
{
    // Above the renderer's window, without taking the focus from anyone.
    FVisible = true;
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(HandleOrNull(), nullptr, FALSE);
}

bool TOSDForm::Render()
{
    // 1. A black picture as wide as the video area.
    TRect area;
    FVideo.GetVideoArea(area);
    const int width = area.Width();
    if (width <= 0 || area.Height() <= 0)
        return false;
    if (width != FBitmapWidth || !FBitmap) {
        Deselect();
        FBitmap = TDIBSection(width, kOSDBitmapHeight, 24);
        if (!FBitmap)
            return false;
        FBitmapWidth = width;
        FBits = static_cast<const uint8_t*>(FBitmap.Bits());
    }
    const HDC dc = FDC.Get();
    const HGDIOBJ previous = SelectObject(dc, FBitmap.Get());
    if (!FOriginalBitmap)
        FOriginalBitmap = previous;
    RECT all{0, 0, width, kOSDBitmapHeight};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    // 2.
    DrawOutlinedText(dc, FText, TRect(5, 0, width, kOSDBitmapHeight), 2, static_cast<TColor>(0x3C3C3C),
                     static_cast<TColor>(0xFFFFFF), FFont);
    GdiFlush();
    // 3.
    SIZE extent{};
    {
        TSelectObject font(dc, FFont.Handle());
        GetTextExtentPoint32A(dc, FText.c_str(), static_cast<int>(FText.size()), &extent);
    }
    const TOSDSize size = OSDWindowSize(extent.cx, extent.cy);
    SetBounds(kOSDLeft, kOSDTop, size.Width, size.Height);
    // 4. The region follows the text's pixels, read in the section itself (flushed above);
    // the system owns it once it is set.
    HRGN region = nullptr;
    if (!RegionsEnabled || RegionsEnabled())
        region = BuildRegionFromBits(FBits, width, kOSDBitmapHeight, BitmapRowStride(width, 24), 0);
    if (!SetWindowRgn(Handle(), region, FALSE) && region)
        DeleteObject(region);
    return true;
}

void TOSDForm::PaintWindow(HDC dc)
{
    if (FBitmap)
        BitBlt(dc, 0, 0, Width(), Height(), FDC.Get(), 0, 0, SRCCOPY);
}

void TOSDForm::Timer1Timer()
{
    const TOSDTick tick = OSDTimerStep(GetTickCount(), FStart, FSeconds, FBlink);
    // 1.
    if (tick.Close) {
        CloseOSD();
        return;
    }
    // 2.
    if (tick.Toggle) {
        if (FVisible) {
            FVisible = false;
            ShowWindow(HandleOrNull(), SW_HIDE);
        } else {
            ShowOnTop();
        }
    }
}
