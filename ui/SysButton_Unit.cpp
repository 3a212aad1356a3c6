#include "ui/SysButton_Unit.h"

#include "ui/BitmapRegion.h"

namespace {
constexpr int kGlyphSize = 16;
constexpr int kMinimizeGlyph = 2;
constexpr int kCloseGlyph = 3;
constexpr COLORREF kRegionKey = RGB(0, 255, 0);
}

TSysButtons::TSysButtons(TComponent* owner) : TForm(owner)
{
    Name = "SysButtons";
    BorderStyle = bsNone;
    SetColor(clBlack);
    ImageList1 = NewComponent<TImageList>(this, kGlyphSize, kGlyphSize);
    ImageList1->TransparentColor = kRegionKey;  // never in the art
    ImageList1->LoadFromResource("CAPTION_BUTTONS");

    const struct {
        TPaintBox** Box;
        const char* Name;
        int Left;
        void (TSysButtons::*Click)(TObject*);
    } images[] = {{&Image1, "Image1", 5, &TSysButtons::Image1Click},
                  {&Image2, "Image2", 23, &TSysButtons::Image2Click},
                  {&Image3, "Image3", 41, &TSysButtons::Image3Click}};
    for (const auto& i : images) {
        TPaintBox* box = NewComponent<TPaintBox>(this);
        box->Name = i.Name;
        box->SetBounds(i.Left, 2, kGlyphSize, kGlyphSize);
        box->SetParent(this);
        box->ShowHint = true;
        box->OnClick = [this, click = i.Click](TObject* sender) { CallGuarded([&] { (this->*click)(sender); }); };
        box->OnMouseEnter = [this, box](TObject*) { ShowHintOf(box); };
        box->OnMouseLeave = [](TObject*) {
            if (Application)
                Application->CancelHint();
        };
        *i.Box = box;
    }
    Image1->OnPaint = [this](TObject*, HDC dc) { PaintGlyph(Image1, dc, kMinimizeGlyph); };
    Image2->OnPaint = [this](TObject*, HDC dc) { PaintGlyph(Image2, dc, FMaxGlyph); };
    Image3->OnPaint = [this](TObject*, HDC dc) { PaintGlyph(Image3, dc, kCloseGlyph); };

    // FormCreate
    SetClientWidth(Image3->Left() + Image3->Width() + 5);
    SetClientHeight(kGlyphSize + 4);
    Image1->Hint = "Minimize";
    Image2->Hint = "Maximize";
    Image3->Hint = "Close";
}

TSysButtons::~TSysButtons()
{
    // FormDestroy: a region the window took is the system's; only a kept one goes here.
    FRegion.Reset();
}

void TSysButtons::CreateParams(TCreateParams& params)
{
    TForm::CreateParams(params);
    params.ExStyle |= WS_EX_TOOLWINDOW;
    // Above the video window, and gone with it.
    if (VideoForm)
        params.WndParent = VideoForm->Handle();
}

void TSysButtons::PaintWindow(HDC dc)
{
    RECT all = ClientRect();
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

bool TSysButtons::Showing()
{
    return Visible() && HandleAllocated() && IsWindowVisible(HandleOrNull());
}

void TSysButtons::Show()
{
    // FormShow: the shape is cut before the window appears, so it never shows as a rectangle.
    if (!Visible()) {
        HandleNeeded();
        BuildRegion();
    }
    TForm::Show();
}

int TSysButtons::ClientWidth()
{
    return ClientRect().Width();
}

void TSysButtons::MoveTo(int left, int top)
{
    SetBounds(left, top, Width(), Height());
}

void TSysButtons::UpdateMaximized(bool maximized)
{
    FMaxGlyph = maximized ? 1 : 0;
    Image2->Hint = maximized ? "Restore" : "Maximize";
    Image2->Invalidate();
    BuildRegion();
}

void TSysButtons::Image1Click(TObject*)
{
    if (VideoForm)
        SendMessageA(VideoForm->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void TSysButtons::Image2Click(TObject*)
{
    if (!VideoForm)
        return;
    const HWND video = VideoForm->Handle();
    SendMessageA(video, WM_SYSCOMMAND, IsZoomed(video) ? SC_RESTORE : SC_MAXIMIZE, 0);
}

void TSysButtons::Image3Click(TObject*)
{
    if (CloseApp)
        CloseApp();
}

void TSysButtons::PaintGlyph(TPaintBox*, HDC dc, int glyph)
{
    ImageList1->Draw(dc, 0, 0, glyph);
}

void TSysButtons::ShowHintOf(TPaintBox* box)
{
    if (!Application || box->Hint.empty())
        return;
    POINT cursor;
    GetCursorPos(&cursor);
    Application->ActivateHint(TPoint(cursor.x, cursor.y + 20), box->Hint);
}

void TSysButtons::BuildRegion()
{
    if (!HandleAllocated())
        return;
    const TRect client = ClientRect();
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = client.Width();
    format.bmiHeader.biHeight = client.Height();
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    const TBitmapHandle bitmap(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    const TMemoryDC dc(CreateCompatibleDC(nullptr));
    if (!bitmap || !dc)
        return;
    {
        const TSelectObject selected(dc.Get(), bitmap.Get());
        const TBrushHandle green(CreateSolidBrush(kRegionKey));
        RECT all = client;
        FillRect(dc.Get(), &all, green.Get());
        ImageList1->Draw(dc.Get(), Image1->Left(), Image1->Top(), kMinimizeGlyph);
        ImageList1->Draw(dc.Get(), Image2->Left(), Image2->Top(), FMaxGlyph);
        ImageList1->Draw(dc.Get(), Image3->Left(), Image3->Top(), kCloseGlyph);
    }
    // Each rebuild replaces a region that was kept; one the window took stays the window's.
    FRegion.Reset(BuildRegionFromBitmap(bitmap.Get(), kRegionKey));
    if (FRegion && (!RegionsEnabled || RegionsEnabled()))
        SetWindowRgn(HandleOrNull(), FRegion.Release(), FALSE);
}
