#pragma once
// The video window: the picture of the open file in the renderer of the user's choice, full
// screen on a chosen monitor with the cursor hidden after a still mouse, a slim seek strip,
// docking of the main window and the play list, the keys and the popup menu.
#include "ui/MainWindowParts.h"
#include "ui/Video_UnitCore.h"

#include "dshow/DShow.h"
#include "engine/EngineServices.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Menus.h"
#include "framework/StdCtrls.h"
#include "menus/PopupMenu2000.h"

#include <d3d9.h>
#include <vmr9.h>

#include <memory>
#include <vector>

class IPlayerEngine;
class TBitmap;
enum class TVideoColorProperty;
class TControlForm;

// The second overlay mixer, which the platform headers leave undeclared.
inline const CLSID CLSID_OverlayMixer2Filter = {0xA0025E90, 0xE45B, 0x11D1, {0xAB, 0xE9, 0x00, 0xA0, 0xC9, 0x05, 0xF3, 0x75}};

class TVideoForm : public TForm, public IVideoForm {
public:
    explicit TVideoForm(TComponent* owner);
    ~TVideoForm() override;

    // What the window works with; each may be missing.
    IPlayerEngine* Engine = nullptr;
    TControlForm* ControlForm = nullptr;
    TCustomForm* PlaylistForm = nullptr;
    ICaptionButtons* SysButtons = nullptr;
    IOSDForm* OSD = nullptr;

    // The controls of the window.
    TPanel* Splitter3;
    TPanel* Panel1;
    TPanel* Panel3;
    TShape* Shape2;
    TShape* Shape1;
    TLabel* Label2;
    TPaintBox* PaintBox1;
    TLabel* Label39;
    TTimer* Timer1;
    TImageList* ImageList1;
    TMoney* Money2;
    TPopupMenu2000* PopupMenu20002;
    TMenuItem2000 *PlayPause1, *Stop1, *Previous1, *Next1, *AudioTracks1, *Subtitles1, *SubtitlesShowSubtitles1,
        *SubtitlesHideSubtitles2, *SubtitlesNONEAVALIBLE1, *Chapters1, *Bookmarks1, *Fullscreen1, *StayOnTop1,
        *Settings2, *View1, *ViewSnapshotBrowser1, *Exit1;

    // The renderer (IVideoForm).
    void SetPreferredRenderers(const std::vector<TVideoRenderItem*>& renderers) override;
    HRESULT ConnectPreferredRenderer(IGraphBuilder* graph, IPin* outputPin) override;
    void ReleaseRenderer() override;
    void RefreshVideo() override;
    bool Visible() override;
    TVideoRendererKind RendererKind() const { return FKind; }
    // Leaves the outputs as they are without a renderer.
    void GetNativeVideoSize(int& width, int& height);
    bool HasVideoRenderer();
    // The picture on screen, owned by the caller; none when the renderer gives no frame.
    std::unique_ptr<TBitmap> GrabVideoFrame();
    // The colour controls, -100..100 with 0 the renderer's default; the main window's labels
    // say which controls act.
    void SetVideoHue(int value);
    void SetVideoBrightness(int value);
    void SetVideoContrast(int value);
    void SetVideoSaturation(int value);
    // The renderer filter's interfaces (for the overlay kinds: the Video Renderer's).
    HRESULT QueryInterface(REFIID iid, void** object);

    // Full screen and the exclusive mode.
    void EnterFullScreen();
    void EnterFullScreenOn(const TRect& bounds);
    void LeaveFullScreen();
    bool FullScreen() const { return FFullScreen; }
    bool ExclusiveMode() const { return FExclusive; }
    void StartExclusiveMode();
    void StopExclusiveMode();
    void VideoFrameDblClick(TObject* sender);
    const TRect& SavedBounds() const { return FSavedBounds; }

    // The play list docked (its splitter shows to its left) or floating again (it hides).
    void PlaylistDocked(bool docked);
    void GetVideoArea(TRect& area);
    void SetStayOnTop(bool value);
    bool GetStayOnTop();
    void ClampToWorkArea();
    void ShowOSDFilename(const std::string& text);
    void ShowOSDStatus(const std::string& text) { (void)text; }
    void FillBookmarkMenu();
    void VideoFrameResize(TObject* sender);
    void Timer1Timer(TObject* sender);
    void PopupMenu20002Popup(TObject* sender);
    void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
    // The seek strip; x in Shape2's coordinates.
    void SeekStripMove(int x);
    void SeekStripUp(int x);
    // The tick count of the last mouse movement (for tests of the stillness timer).
    void SetLastMouseMove(const TPoint& screen, uint32_t ticks);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle() override;
    void WndProc(TMessage& message) override;
    void PaintWindow(HDC dc) override;

private:
    void CreateControls();
    void CreateMenu();
    void FormShow(TObject* sender);
    void FormCloseQuery(TObject* sender, bool& canClose);
    void FormDockOver(TObject* sender, TCustomForm* source, int x, int y, bool& accept, TRect& dockRect);
    void FormUnDock(TObject* sender, TCustomForm* client, TWinControl* newTarget, bool& allow);
    void VideoFrameMouseMove(TObject* sender, TShiftState shift, int x, int y);
    void VideoFrameMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void PaintBox1Paint(TObject* sender, HDC dc);
    void Panel3Resize(TObject* sender);
    void WMGetMinMaxInfo(TMessage& message);
    void WMSysCommand(TMessage& message);
    void SetBorder();
    void SetNoBorder();
    void PlaceCaptionButtons();
    bool MainWindowFloating() const;

    // The connectors; each removes its own filter from the graph when it fails.
    HRESULT ConnectVMR9(IGraphBuilder* graph, IPin* outputPin);
    HRESULT ConnectVMR(IGraphBuilder* graph, IPin* outputPin);
    HRESULT ConnectOverlayMixer(IGraphBuilder* graph, IPin* outputPin, const CLSID& classId, const wchar_t* name);
    HRESULT ConnectVideoRenderer(IGraphBuilder* graph, IPin* outputPin);
    HRESULT InsertSampleGrabber(IGraphBuilder* graph, IPin* upstream, IPin* mixerInput);
    void SetVideoColor(TVideoColorProperty property, int value);

    // Window state.
    bool FFullScreen = false;
    bool FExclusive = false;
    TRect FSavedBounds;
    bool FMinimizedWithApp = false;
    bool FStayOnTop = false;
    bool FCreationStayOnTop = false;
    TPoint FLastMouse;
    uint32_t FLastMouseTicks = 0;

    // Renderer state.
    TVideoRendererKind FKind = vrNone;
    ComPtr<IBaseFilter> FRenderer;
    ComPtr<IBaseFilter> FOverlayMixer;
    ComPtr<IUnknown> FGrabber;  // ISampleGrabber of the overlay kinds
    ComPtr<IVMRFilterConfig> FVMRConfig;
    ComPtr<IVMRAspectRatioControl> FVMRAspect;
    ComPtr<IVMRDeinterlaceControl> FVMRDeinterlace;
    ComPtr<IUnknown> FVMRPresenterConfig;
    ComPtr<IVMRWindowlessControl> FVMRWindowless;
    ComPtr<IVMRFilterConfig9> FVMR9Config;
    ComPtr<IVMRAspectRatioControl9> FVMR9Aspect;
    ComPtr<IVMRDeinterlaceControl9> FVMR9Deinterlace;
    ComPtr<IUnknown> FVMR9PresenterConfig;
    ComPtr<IVMRWindowlessControl9> FVMR9Windowless;
    ComPtr<IVMRMixerControl9> FVMR9Mixer;
    bool FKeepAspect = true;
    std::vector<TVideoRenderItem*> FPreferred;  // the engine's records; not owned
    int FRendererIndex = 0;
};
