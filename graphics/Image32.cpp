#include "graphics/Image32.h"

#include <cmath>

namespace {
// The class library here has no form designer: controls always paint as at run time.
constexpr bool kDesigning = false;
}

// ---- TCustomPaintBox32 ----

TCustomPaintBox32::TCustomPaintBox32(TComponent* owner) : TCustomControl(owner), FBuffer(std::make_unique<TBitmap32>())
{
    FBuffer->BeginUpdate();  // drawing into the buffer never fires its OnChange
    FWidth = 192;
    FHeight = 192;
}

TCustomPaintBox32::~TCustomPaintBox32() = default;

TRect TCustomPaintBox32::GetViewportRect() const
{
    return TRect(0, 0, Width(), Height());
}

void TCustomPaintBox32::Invalidate()
{
    FBufferValid = false;
    TCustomControl::Invalidate();
}

void TCustomPaintBox32::SetBounds(int left, int top, int width, int height)
{
    FBufferValid = false;
    TCustomControl::SetBounds(left, top, width, height);
}

void TCustomPaintBox32::ResizeBuffer()
{
    const TRect viewport = GetViewportRect();
    const int newWidth = std::max(viewport.Width(), 0);
    const int newHeight = std::max(viewport.Height(), 0);
    const int width = FBuffer->Width(), height = FBuffer->Height();
    if (newWidth > width || newWidth < width - BufferOversize || newHeight > height ||
        newHeight < height - BufferOversize) {
        FBuffer->Lock();
        try {
            FBuffer->SetSize(newWidth, newHeight);
        } catch (...) {
            FBuffer->Unlock();
            throw;
        }
        FBuffer->Unlock();
        FBufferValid = false;
    }
}

void TCustomPaintBox32::Resize()
{
    ResizeBuffer();
    FBufferValid = false;
    TCustomControl::Resize();
}

void TCustomPaintBox32::Paint(HDC dc)
{
    ResizeBuffer();
    if (!FBufferValid)
        PaintToBuffer();
    const TRect viewport = GetViewportRect();
    FBuffer->Lock();
    BitBlt(dc, viewport.left, viewport.top, viewport.Width(), viewport.Height(), FBuffer->DC(), 0, 0, SRCCOPY);
    FBuffer->Unlock();
    PaintGDIOverlay();
}

void TCustomPaintBox32::PaintToBuffer()
{
    FBufferValid = true;
}

void TCustomPaintBox32::PaintGDIOverlay()
{
    if (OnGDIOverlay)
        OnGDIOverlay(this);
}

void TCustomPaintBox32::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.WinClassName = "TPvlPaintBox32";
    params.Background = nullptr;
}

void TCustomPaintBox32::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_ERASEBKGND:
        message.Result = 1;  // the buffer covers the whole control
        return;
    case WM_GETDLGCODE:
        DefaultHandler(message);
        if (Options & pboWantArrowKeys)
            message.Result |= DLGC_WANTARROWS;
        else
            message.Result &= ~static_cast<LRESULT>(DLGC_WANTARROWS);
        return;
    default:
        TCustomControl::WndProc(message);
    }
}

void TCustomPaintBox32::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if ((Options & pboAutoFocus) && HandleAllocated() && IsWindowVisible(HandleOrNull()) &&
        IsWindowEnabled(HandleOrNull()))
        SetFocus();
    TCustomControl::MouseDown(button, shift, x, y);
}

void TPaintBox32::PaintToBuffer()
{
    if (OnPaintBuffer)
        OnPaintBuffer(this);
}

// ---- layers ----

void TLayerCollection::Clear()
{
    BeginUpdate();
    FItems.clear();
    EndUpdate();
}

TCustomLayer* TLayerCollection::HitTest(int x, int y, uint32_t mask) const
{
    for (auto it = FItems.rbegin(); it != FItems.rend(); ++it)
        if (((*it)->LayerOptions & mask) && (*it)->HitTest(x, y))
            return it->get();
    return nullptr;
}

void TLayerCollection::BeginUpdate()
{
    if (FUpdateCount++ == 0 && OnListBeginUpdate)
        OnListBeginUpdate(this);
}

void TLayerCollection::EndUpdate()
{
    if (FUpdateCount < 1)
        throw EAssertionFailed("Unpaired EndUpdate");
    if (--FUpdateCount == 0 && OnListEndUpdate)
        OnListEndUpdate(this);
}

TPaintStage& TPaintStages::Add()
{
    return FItems.emplace_back();
}

// ---- TCustomImage32 ----

TCustomImage32::TCustomImage32(TComponent* owner)
    : TCustomPaintBox32(owner), FBitmap(std::make_unique<TBitmap32>()),
      FLayers(std::make_unique<TLayerCollection>(this)), FPaintStages(std::make_unique<TPaintStages>())
{
    FBitmap->OnChange = [this](TObject*) { Changed(); };
    FBitmap->OnResize = [this](TObject*) { BitmapResized(); };
    FLayers->OnListEndUpdate = [this](TObject*) { Changed(); };
    InitDefaultStages();
}

TCustomImage32::~TCustomImage32()
{
    FPaintStages->Clear();
    FBitmap->OnChange = nullptr;
    FBitmap->OnResize = nullptr;
}

void TCustomImage32::CreateParams(TCreateParams& params)
{
    TCustomPaintBox32::CreateParams(params);
    params.WinClassName = "TPvlImage32";
}

void TCustomImage32::InitDefaultStages()
{
    const struct {
        bool DsgnTime, RunTime;
        uint32_t Stage, Parameter;
    } defaults[] = {
        {true, true, PST_CLEAR_BACKGND, 0},  {true, false, PST_CONTROL_FRAME, 0},
        {true, true, PST_DRAW_BITMAP, 0},    {true, false, PST_BITMAP_FRAME, 0},
        {true, true, PST_DRAW_LAYERS, 0x80000000},
    };
    for (const auto& d : defaults) {
        TPaintStage& stage = FPaintStages->Add();
        stage.DsgnTime = d.DsgnTime;
        stage.RunTime = d.RunTime;
        stage.Stage = d.Stage;
        stage.Parameter = d.Parameter;
    }
}

void TCustomImage32::DoInitStages()
{
    if (OnInitStages)
        OnInitStages(this);
}

void TCustomImage32::SetBitmap(const TCustomBitmap32& value)
{
    InvalidateCache();
    FBitmap->Assign(value);
}

void TCustomImage32::SetBitmapAlign(TBitmapAlign value)
{
    InvalidateCache();
    FBitmapAlign = value;
    Changed();
}

void TCustomImage32::SetScaleMode(TScaleMode value)
{
    InvalidateCache();
    if (value != FScaleMode) {
        FScaleMode = value;
        Changed();
    }
}

void TCustomImage32::SetScale(float value)
{
    InvalidateCache();
    if (value < 0.001f)
        value = 0.001f;
    if (value != FScale) {
        FScale = value;
        DoScaleChange();
        Changed();
    }
}

void TCustomImage32::SetOffsetHorz(float value)
{
    InvalidateCache();
    if (value != FOffsetHorz) {
        FOffsetHorz = value;
        Changed();
    }
}

void TCustomImage32::SetOffsetVert(float value)
{
    InvalidateCache();
    if (value != FOffsetVert) {
        FOffsetVert = value;
        Changed();
    }
}

void TCustomImage32::BeginUpdate()
{
    ++FUpdateCount;
}

void TCustomImage32::EndUpdate()
{
    if (FUpdateCount < 1)
        throw EAssertionFailed("Unpaired EndUpdate call");
    --FUpdateCount;
}

void TCustomImage32::Changed()
{
    if (FUpdateCount != 0)
        return;
    Invalidate();
    if (OnChange)
        OnChange(this);
}

void TCustomImage32::Invalidate()
{
    InvalidateCache();
    TCustomPaintBox32::Invalidate();
}

void TCustomImage32::BitmapResized()
{
    if (AutoSize && !FBitmap->Empty()) {
        int w = FBitmap->Width(), h = FBitmap->Height();
        if (FScaleMode == smScale) {
            w = Round(w * static_cast<double>(FScale));
            h = Round(h * static_cast<double>(FScale));
        }
        SetBounds(Left(), Top(), w, h);
    }
    if (FUpdateCount == 0 && OnBitmapResize)
        OnBitmapResize(this);
    InvalidateCache();
    Changed();
}

TSize TCustomImage32::GetBitmapSize() const
{
    const int bw = FBitmap->Width(), bh = FBitmap->Height();
    if (FBitmap->Empty() || Width() == 0 || Height() == 0)
        return TSize{};
    switch (FScaleMode) {
    case smStretch:
        return TSize{Width(), Height()};
    case smScale:
        return TSize{Round(bw * static_cast<double>(FScale)), Round(bh * static_cast<double>(FScale))};
    case smResize: {
        const double factor = std::min(static_cast<double>(Width()) / bw, static_cast<double>(Height()) / bh);
        return TSize{Round(bw * factor), Round(bh * factor)};
    }
    default:
        return TSize{bw, bh};
    }
}

TRect TCustomImage32::GetBitmapRect() const
{
    if (FBitmap->Empty())
        return TRect();
    const TSize size = GetBitmapSize();
    TRect r(0, 0, size.cx, size.cy);
    switch (FBitmapAlign) {
    case baCenter:
        ShiftRect(r, (Width() - size.cx) / 2, (Height() - size.cy) / 2);
        break;
    case baCustom:
        ShiftRect(r, Round(FOffsetHorz), Round(FOffsetVert));
        break;
    default:
        break;
    }
    return r;
}

void TCustomImage32::UpdateCache()
{
    if (FCacheValid)
        return;
    FCachedBitmapRect = GetBitmapRect();
    if (FBitmap->Empty() || RectIsEmpty(FCachedBitmapRect)) {
        FCachedScaleX = FCachedScaleY = FCachedRecScaleX = FCachedRecScaleY = 0;
    } else {
        FCachedScaleX = MulDiv(FCachedBitmapRect.Width(), 0x10000, FBitmap->Width());
        FCachedScaleY = MulDiv(FCachedBitmapRect.Height(), 0x10000, FBitmap->Height());
        FCachedRecScaleX = MulDiv(FBitmap->Width(), 0x10000, FCachedBitmapRect.Width());
        FCachedRecScaleY = MulDiv(FBitmap->Height(), 0x10000, FCachedBitmapRect.Height());
    }
    FCacheValid = true;
}

void TCustomImage32::PaintToBuffer()
{
    UpdateCache();
    for (int i = 0; i < FPaintStages->Count(); ++i) {
        const TPaintStage& stage = (*FPaintStages)[i];
        if (!((stage.DsgnTime && kDesigning) || (stage.RunTime && !kDesigning)))
            continue;
        const unsigned index = static_cast<unsigned>(i);
        switch (stage.Stage) {
        case PST_CUSTOM: StageCustom(index); break;
        case PST_CLEAR_BUFFER: StageClearBuffer(index); break;
        case PST_CLEAR_BACKGND: StageClearBackground(index); break;
        case PST_DRAW_BITMAP: StageDrawBitmap(index); break;
        case PST_DRAW_LAYERS: StageDrawLayers(index); break;
        case PST_CONTROL_FRAME: StageControlFrame(index); break;
        case PST_BITMAP_FRAME: StageBitmapFrame(index); break;
        default: break;
        }
    }
    FBufferValid = true;
}

void TCustomImage32::PaintGDIOverlay()
{
    for (int i = 0; i < FLayers->Count(); ++i)
        if (FLayers->Items(i)->LayerOptions & 0x40000000)
            FLayers->Items(i)->PaintGDI(Buffer()->DC());
    TCustomPaintBox32::PaintGDIOverlay();
}

void TCustomImage32::StageCustom(unsigned stageNum)
{
    if (OnPaintStage)
        OnPaintStage(this, Buffer(), stageNum);
}

void TCustomImage32::StageClearBuffer(unsigned)
{
    Buffer()->Clear(ColorToColor32(Color()));
}

void TCustomImage32::StageClearBackground(unsigned)
{
    const TColor32 colour = ColorToColor32(Color());
    TBitmap32* buffer = Buffer();
    if (!FBitmap->Empty() && FBitmap->DrawMode() == dmOpaque) {
        const TRect& r = FCachedBitmapRect;
        const int w = Width(), h = Height();
        if (r.left < 1 && r.right >= w && r.top < 1 && (r.bottom >= h || FBitmapAlign == baTile))
            return;
        buffer->FillRectOpaqueClipped(0, 0, w, r.top, colour);
        buffer->FillRectOpaqueClipped(0, r.bottom, w, h, colour);
        buffer->FillRectOpaqueClipped(0, r.top, r.left, r.bottom, colour);
        buffer->FillRectOpaqueClipped(r.right, r.top, w, r.bottom, colour);
    } else {
        buffer->Clear(colour);
    }
}

void TCustomImage32::StageDrawBitmap(unsigned)
{
    const TRect r = FCachedBitmapRect;
    if (FBitmap->Empty() || RectIsEmpty(r))
        return;
    TBitmap32* buffer = Buffer();
    FBitmap->Lock();
    try {
        if (FBitmapAlign == baTile) {
            const int columns = buffer->Width() / r.Width() + 1;
            const int rows = buffer->Height() / r.Height() + 1;
            for (int j = 0; j < rows; ++j) {
                for (int i = 0; i < columns; ++i) {
                    TRect tile = r;
                    ShiftRect(tile, r.Width() * i, r.Height() * j);
                    FBitmap->DrawToRect(buffer, tile);
                }
            }
        } else {
            FBitmap->DrawToRect(buffer, r);
        }
    } catch (...) {
        FBitmap->Unlock();
        throw;
    }
    FBitmap->Unlock();
}

void TCustomImage32::StageDrawLayers(unsigned stageNum)
{
    const uint32_t mask = (*FPaintStages)[static_cast<int>(stageNum)].Parameter;
    for (int i = 0; i < FLayers->Count(); ++i)
        if (FLayers->Items(i)->LayerOptions & mask)
            FLayers->Items(i)->Paint(Buffer());
}

void TCustomImage32::StageControlFrame(unsigned)
{
    const RECT r = TRect(0, 0, Width(), Height());
    DrawFocusRect(Buffer()->DC(), &r);
}

void TCustomImage32::StageBitmapFrame(unsigned)
{
    const RECT r = FCachedBitmapRect;
    DrawFocusRect(Buffer()->DC(), &r);
}

void TCustomImage32::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomPaintBox32::MouseDown(button, shift, x, y);
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y, FLayers->MouseEvents ? FLayers->HitTest(x, y, 0xFFFFFFFF) : nullptr);
}

void TCustomImage32::MouseMove(TShiftState shift, int x, int y)
{
    TCustomPaintBox32::MouseMove(shift, x, y);
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y, FLayers->MouseEvents ? FLayers->HitTest(x, y, 0xFFFFFFFF) : nullptr);
}

void TCustomImage32::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomPaintBox32::MouseUp(button, shift, x, y);
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y, FLayers->MouseEvents ? FLayers->HitTest(x, y, 0xFFFFFFFF) : nullptr);
}
