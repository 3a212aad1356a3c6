#pragma once
// What the engine calls outside itself: the player windows, the play list and the components
// that other libraries provide. The real windows and components implement these; tests use
// recording fakes. Every call runs on the GUI thread. A service that is not attached (a null
// pointer) is skipped: the windows come up one by one after the engine.
#include "dshow/DShow.h"
#include "engine/Common_Types.h"
#include "engine/EnginePlayList.h"
#include "framework/SysUtils.h"

#include <functional>
#include <string>
#include <vector>

class TStringList;
class TBitmap32;
class TInfoTags;
struct TDSStream;
struct TVideoRenderItem;

// The main window (TControlForm).
class IControlForm {
public:
    virtual ~IControlForm() = default;
    virtual std::string InstallFolder() = 0;  // ends in "\"
    virtual HWND Handle() = 0;                // receives the graph events (message 0x464)
    virtual int VisualHeight() = 0;           // height of the visualisation display
    virtual void WriteSettings() = 0;
    virtual void PrepareNewFile() = 0;
    virtual void NewFileLoaded() = 0;
    virtual void SetTitleInfo(const TStringList& lines) = 0;  // copies the lines
    virtual void ClearTitleInfo() = 0;
    virtual void UpdateSRSControls() = 0;
    // The bookmark list (Bkmark_ListView) with its thumbnails (Bkmark_Images).
    virtual void ClearBookmarks() = 0;
    virtual int AddBookmark(const std::string& name, const TBitmap32* thumbnail, int64_t position) = 0;
    virtual void Getbookmark(int index, TBookmark& bookmark) = 0;
    virtual int BookmarkCount() = 0;
    virtual int BookmarkImageIndex(int row) = 0;  // negative without a thumbnail
    virtual bool GetBookmarkImage(int imageIndex, TBitmap32& into) = 0;
    virtual void SetAudioDelay(int milliseconds) = 0;  // AVSync_TrackBar's position
};

// The video window (TVideoForm).
class IVideoForm {
public:
    virtual ~IVideoForm() = default;
    // The engine keeps the records; the window keeps a copy of the list of pointers.
    virtual void SetPreferredRenderers(const std::vector<TVideoRenderItem*>& renderers) = 0;
    virtual HRESULT ConnectPreferredRenderer(IGraphBuilder* graph, IPin* outputPin) = 0;
    virtual void ReleaseRenderer() = 0;
    virtual void RefreshVideo() = 0;
    virtual bool Visible() = 0;
};

// The on-screen display (TOSDForm).
class IOSDForm {
public:
    virtual ~IOSDForm() = default;
    virtual void ShowTextTimed(const std::string& text, int seconds) = 0;
    virtual void ShowTextBlink(const std::string& text, bool blink) = 0;
};

// The visualisation display (the main window's pbVisual): analyses a block of recent PCM and
// draws it; no buffer (or an unreadable one) draws the empty state.
class IVisualDisplay {
public:
    virtual ~IVisualDisplay() = default;
    virtual void VisualData(const void* buffer, int32_t size, const TDSStream* stream) = 0;
};

// The render-result window (TRenderResultForm): shows nothing for 0.
class IRenderResultForm {
public:
    virtual ~IRenderResultForm() = default;
    virtual void ShowRenderResult(HRESULT result, const WideString& fileName) = 0;
};

// The resume question window (TStartPlaybackForm, "Start Playback").
class IStartPlaybackForm {
public:
    virtual ~IStartPlaybackForm() = default;
    virtual int ShowModal() = 0;           // 1 for OK
    virtual bool ContinueChecked() = 0;    // "Continue from last known"
    virtual bool DontShowChecked() = 0;    // "Don't show this again"
};

// The play-list window (TPlaylistForm): owns the play list.
class IPlaylistForm {
public:
    virtual ~IPlaylistForm() = default;
    virtual IPlayList* PlayList() = 0;
    virtual int SelectedIndex() = 0;  // the selected row, -1 when none
};

// The sound processor (TParvoluxSoundProcessor) as the engine drives it: it puts its filter
// into the engine's graphs and takes it out again.
class IGraphFilterComponent {
public:
    virtual ~IGraphFilterComponent() = default;
    virtual HRESULT RemoveFilterFromGraph() = 0;
    // The filter and its pins; none when the filter could not be made.
    virtual IBaseFilter* Filter() const = 0;
    virtual IPin* InputPin() const = 0;
    virtual IPin* OutputPin() const = 0;
    // The description of the stream the filter was last given (DSFilters/PvlEqCore.h).
    virtual TDSStream Stream() const = 0;
};

// Everything the engine reaches outside itself. The start-up fills in the windows as it
// creates them; the main window is needed while the engine starts.
struct TEngineServices {
    IControlForm* ControlForm = nullptr;
    IVideoForm* VideoForm = nullptr;
    IOSDForm* OSDForm = nullptr;
    IVisualDisplay* VisualDisplay = nullptr;
    IRenderResultForm* RenderResultForm = nullptr;
    IStartPlaybackForm* StartPlaybackForm = nullptr;
    IPlaylistForm* PlaylistForm = nullptr;
    // The information window's tags: the engine reads every item it opens into them (into
    // tags of its own while the window is not attached).
    TInfoTags* InfoTags = nullptr;
    // Tells the user of a failure the engine does not stop for (the start-up shows a message
    // box); skipped when empty.
    std::function<void(const std::string& text)> ShowMessage;
};
