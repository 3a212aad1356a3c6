#pragma once
// The paint-box and image controls: TPaintBox32 draws into its back buffer in OnPaintBuffer and
// copies it to the screen in one BitBlt; TImage32 shows a bitmap (aligned, stretched or
// scaled) through a fixed list of paint stages.
#include "framework/Controls.h"
#include "graphics/Bitmap32.h"

#include <memory>
#include <vector>

using TPaintBoxOptions = unsigned;
inline constexpr TPaintBoxOptions pboWantArrowKeys = 1, pboAutoFocus = 2;

class TCustomPaintBox32 : public TCustomControl {
public:
    explicit TCustomPaintBox32(TComponent* owner);
    ~TCustomPaintBox32() override;

    // Handlers draw into the buffer between Buffer()->BeginUpdate and EndUpdate.
    TBitmap32* Buffer() const { return FBuffer.get(); }
    bool BufferValid() const { return FBufferValid; }
    virtual TRect GetViewportRect() const;

    void Invalidate() override;
    void SetBounds(int left, int top, int width, int height) override;
    void Paint(HDC dc) override;

    // A viewport that shrinks by up to this many pixels keeps the larger buffer.
    int BufferOversize = 40;
    TPaintBoxOptions Options = 0;
    TNotifyEvent OnGDIOverlay;

protected:
    virtual void PaintToBuffer();
    virtual void PaintGDIOverlay();
    void ResizeBuffer();
    void Resize() override;
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    bool FBufferValid = false;

private:
    std::unique_ptr<TBitmap32> FBuffer;
};

class TPaintBox32 : public TCustomPaintBox32 {
public:
    using TCustomPaintBox32::TCustomPaintBox32;
    TNotifyEvent OnPaintBuffer;

protected:
    // Fires OnPaintBuffer and leaves the buffer invalid, so every paint asks again.
    void PaintToBuffer() override;
};

// ---- layers (the images of this system never hold any) ----

class TLayerCollection;

class TCustomLayer : public TPersistent {
public:
    explicit TCustomLayer(TLayerCollection* collection) : FCollection(collection) {}
    TLayerCollection* Collection() const { return FCollection; }
    // Bit 31: painted by the layers stage; bit 30: painted on the GDI overlay.
    uint32_t LayerOptions = 0;
    virtual void Paint(TBitmap32* buffer) { (void)buffer; }
    virtual void PaintGDI(HDC dc) { (void)dc; }
    virtual bool HitTest(int x, int y) { (void)x, (void)y; return false; }

private:
    TLayerCollection* FCollection;
};

class TLayerCollection : public TPersistent {
public:
    explicit TLayerCollection(TComponent* owner) : FOwner(owner) {}
    TComponent* Owner() const { return FOwner; }
    int Count() const { return static_cast<int>(FItems.size()); }
    TCustomLayer* Items(int index) const { return FItems.at(static_cast<size_t>(index)).get(); }
    void Clear();
    // The last layer whose options share a bit with mask and that accepts (x, y), or none.
    TCustomLayer* HitTest(int x, int y, uint32_t mask) const;
    void BeginUpdate();
    // Raises "Unpaired EndUpdate" below zero.
    void EndUpdate();

    bool MouseEvents = true;
    TNotifyEvent OnListBeginUpdate;  // at the first BeginUpdate
    TNotifyEvent OnListEndUpdate;    // when the count returns to 0

private:
    TComponent* FOwner;
    std::vector<std::unique_ptr<TCustomLayer>> FItems;
    int FUpdateCount = 0;
};

// ---- paint stages ----

inline constexpr uint32_t PST_CUSTOM = 1, PST_CLEAR_BUFFER = 2, PST_CLEAR_BACKGND = 3, PST_DRAW_BITMAP = 4,
                          PST_DRAW_LAYERS = 5, PST_CONTROL_FRAME = 6, PST_BITMAP_FRAME = 7;

struct TPaintStage {
    bool DsgnTime = false;
    bool RunTime = true;
    uint32_t Stage = 0;
    uint32_t Parameter = 0;
};

class TPaintStages {
public:
    TPaintStage& Add();
    void Clear() { FItems.clear(); }
    void Delete(int index) { FItems.erase(FItems.begin() + index); }
    int Count() const { return static_cast<int>(FItems.size()); }
    TPaintStage& operator[](int index) { return FItems.at(static_cast<size_t>(index)); }

private:
    std::vector<TPaintStage> FItems;
};

// ---- the image ----

enum TBitmapAlign { baTopLeft, baCenter, baTile, baCustom };
enum TScaleMode { smNormal, smStretch, smScale, smResize };

using TImgMouseEvent =
    std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y, TCustomLayer* layer)>;
using TImgMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y, TCustomLayer* layer)>;
using TPaintStageEvent = std::function<void(TObject* sender, TBitmap32* buffer, unsigned stageNum)>;

class TCustomImage32 : public TCustomPaintBox32 {
public:
    explicit TCustomImage32(TComponent* owner);
    ~TCustomImage32() override;

    TBitmap32* Bitmap() const { return FBitmap.get(); }
    // Copies the given bitmap; its change notice then repaints the image.
    void SetBitmap(const TCustomBitmap32& value);
    TBitmapAlign BitmapAlign() const { return FBitmapAlign; }
    void SetBitmapAlign(TBitmapAlign value);
    TScaleMode ScaleMode() const { return FScaleMode; }
    void SetScaleMode(TScaleMode value);
    float Scale() const { return FScale; }
    void SetScale(float value);
    float OffsetHorz() const { return FOffsetHorz; }
    void SetOffsetHorz(float value);
    float OffsetVert() const { return FOffsetVert; }
    void SetOffsetVert(float value);
    TLayerCollection& Layers() { return *FLayers; }
    TPaintStages& PaintStages() { return *FPaintStages; }

    virtual void BeginUpdate();
    virtual void EndUpdate();
    // Repaints and fires OnChange unless an update is running.
    virtual void Changed();
    void Invalidate() override;

    virtual TRect GetBitmapRect() const;
    virtual TSize GetBitmapSize() const;

    // The control takes the bitmap's size (times Scale with smScale) when it changes.
    bool AutoSize = false;

    TNotifyEvent OnBitmapResize, OnChange, OnInitStages;
    TImgMouseEvent OnMouseDown, OnMouseUp;
    TImgMouseMoveEvent OnMouseMove;
    TPaintStageEvent OnPaintStage;

protected:
    virtual void BitmapResized();
    virtual void DoInitStages();
    virtual void DoScaleChange() {}
    virtual void InitDefaultStages();
    virtual void StageBitmapFrame(unsigned stageNum);
    virtual void StageClearBuffer(unsigned stageNum);
    virtual void StageClearBackground(unsigned stageNum);
    virtual void StageControlFrame(unsigned stageNum);
    virtual void StageCustom(unsigned stageNum);
    virtual void StageDrawBitmap(unsigned stageNum);
    virtual void StageDrawLayers(unsigned stageNum);
    void PaintToBuffer() override;
    void PaintGDIOverlay() override;
    void CreateParams(TCreateParams& params) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    void InvalidateCache() { FCacheValid = false; }
    void UpdateCache();
    std::unique_ptr<TBitmap32> FBitmap;
    TBitmapAlign FBitmapAlign = baTopLeft;
    float FOffsetHorz = 0, FOffsetVert = 0;
    std::unique_ptr<TLayerCollection> FLayers;
    std::unique_ptr<TPaintStages> FPaintStages;
    float FScale = 1.0f;
    TScaleMode FScaleMode = smNormal;
    int FUpdateCount = 0;
    TRect FCachedBitmapRect;
    int FCachedScaleX = 0, FCachedScaleY = 0;        // 16.16, bitmap to control
    int FCachedRecScaleX = 0, FCachedRecScaleY = 0;  // 16.16, control to bitmap
    bool FCacheValid = false;
};

class TImage32 : public TCustomImage32 {
public:
    using TCustomImage32::TCustomImage32;
};
