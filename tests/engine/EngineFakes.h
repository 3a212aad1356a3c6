#pragma once
// Recording fakes of what the engine calls outside itself.
#include "DSFilters/PvlEqCore.h"
#include "engine/CommonUnit.h"
#include "engine/EngineServices.h"
#include "framework/Classes.h"

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace pvltest {

struct TEngineLog {
    std::vector<std::string> Calls;
    void Add(const std::string& call) { Calls.push_back(call); }
    int IndexOf(const std::string& call) const
    {
        for (size_t i = 0; i < Calls.size(); ++i)
            if (Calls[i] == call)
                return static_cast<int>(i);
        return -1;
    }
};

// A picture of the fake main window's thumbnail list.
struct TFakeImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;
};

// A row of the fake main window's bookmark list.
struct TFakeBookmark {
    std::string Name;
    int64_t Position = 0;
    int ImageIndex = -1;
};

class TFakeControlForm : public IControlForm {
public:
    TFakeControlForm(TEngineLog& log, std::string folder) : Folder(std::move(folder)), FLog(log) {}
    std::string InstallFolder() override { return Folder; }
    HWND Handle() override { return nullptr; }
    int VisualHeight() override { return 48; }
    void WriteSettings() override { FLog.Add("WriteSettings"); }
    void PrepareNewFile() override { FLog.Add("PrepareNewFile"); }
    void NewFileLoaded() override { FLog.Add("NewFileLoaded"); }
    void SetTitleInfo(const TStringList&) override { FLog.Add("SetTitleInfo"); }
    void ClearTitleInfo() override { FLog.Add("ClearTitleInfo"); }
    void UpdateSRSControls() override { FLog.Add("UpdateSRSControls"); }
    void ClearBookmarks() override
    {
        FLog.Add("ClearBookmarks");
        Bookmarks.clear();
        Images.clear();
    }
    // Copies the thumbnail into the image list, as the window does.
    int AddBookmark(const std::string& name, const TBitmap32* thumbnail, int64_t position) override
    {
        TFakeBookmark row{name, position, -1};
        if (thumbnail && !thumbnail->Empty()) {
            const TColor32* bits = thumbnail->Bits();
            Images.push_back({thumbnail->Width(), thumbnail->Height(),
                              std::vector<uint32_t>(bits, bits + thumbnail->Width() * thumbnail->Height())});
            row.ImageIndex = static_cast<int>(Images.size()) - 1;
        }
        Bookmarks.push_back(row);
        return static_cast<int>(Bookmarks.size()) - 1;
    }
    void Getbookmark(int index, TBookmark& bookmark) override
    {
        const TFakeBookmark& row = Bookmarks.at(static_cast<size_t>(index));
        bookmark.Name = row.Name;
        bookmark.Position = row.Position;
    }
    int BookmarkCount() override { return static_cast<int>(Bookmarks.size()); }
    int BookmarkImageIndex(int row) override { return Bookmarks.at(static_cast<size_t>(row)).ImageIndex; }
    bool GetBookmarkImage(int imageIndex, TBitmap32& into) override
    {
        if (imageIndex < 0 || static_cast<size_t>(imageIndex) >= Images.size())
            return false;
        const TFakeImage& image = Images[static_cast<size_t>(imageIndex)];
        into.SetSize(image.Width, image.Height);
        std::copy(image.Pixels.begin(), image.Pixels.end(), into.Bits());
        return true;
    }
    void SetAudioDelay(int) override {}
    std::string Folder;
    std::vector<TFakeBookmark> Bookmarks;
    std::vector<TFakeImage> Images;

private:
    TEngineLog& FLog;
};

class TFakeVideoForm : public IVideoForm {
public:
    explicit TFakeVideoForm(TEngineLog& log) : FLog(log) {}
    void SetPreferredRenderers(const std::vector<TVideoRenderItem*>&) override {}
    HRESULT ConnectPreferredRenderer(IGraphBuilder*, IPin*) override { return E_FAIL; }
    void ReleaseRenderer() override { FLog.Add("ReleaseRenderer"); }
    void RefreshVideo() override {}
    bool Visible() override { return IsVisible; }
    bool IsVisible = false;

private:
    TEngineLog& FLog;
};

class TFakeOSDForm : public IOSDForm {
public:
    explicit TFakeOSDForm(TEngineLog& log) : FLog(log) {}
    void ShowTextTimed(const std::string& text, int seconds) override { FLog.Add("OSD " + text + " " + std::to_string(seconds)); }
    void ShowTextBlink(const std::string& text, bool blink) override { FLog.Add("OSD blink " + text + (blink ? " on" : " off")); }

private:
    TEngineLog& FLog;
};

// A play list with the model's next and previous rules (no shuffle).
class TFakePlayList : public IPlayList {
public:
    explicit TFakePlayList(TEngineLog& log) : FLog(log) {}
    int32_t ItemCount() const override { return static_cast<int32_t>(Items.size()); }
    void GetItem(int32_t index, TPlayListItem& item) const override
    {
        if (index >= 0 && index < ItemCount())
            item = Items[static_cast<size_t>(index)];
    }
    void SetItem(int32_t index, const TPlayListItem& item) override
    {
        if (index >= 0 && index < ItemCount())
            Items[static_cast<size_t>(index)] = item;
    }
    int32_t GetPlayingIndex() const override { return PlayingIndex; }
    void SetPlayingIndex(int32_t index) override { PlayingIndex = index; }
    bool HasNext() const override { return PlayingIndex < ItemCount() - 1 || Repeat; }
    bool HasPrev() const override { return PlayingIndex > 0 || Repeat; }
    int32_t NextIndex() override { return PlayingIndex < ItemCount() - 1 ? PlayingIndex + 1 : 0; }
    int32_t PrevIndex() override { return PlayingIndex >= 1 ? PlayingIndex - 1 : Repeat ? ItemCount() - 1 : 0; }
    void SavePlaylistFile(const std::string& fileName) override { FLog.Add("SavePlaylistFile " + fileName); }

    std::vector<TPlayListItem> Items;
    int32_t PlayingIndex = -1;
    bool Repeat = false;

private:
    TEngineLog& FLog;
};

class TFakePlaylistForm : public IPlaylistForm {
public:
    explicit TFakePlaylistForm(IPlayList* list) : List(list) {}
    IPlayList* PlayList() override { return List; }
    int SelectedIndex() override { return Selected; }
    IPlayList* List;
    int Selected = -1;
};

class TFakeFilterComponent : public IGraphFilterComponent {
public:
    TFakeFilterComponent(TEngineLog& log, std::string name) : FLog(log), FName(std::move(name)) {}
    HRESULT RemoveFilterFromGraph() override
    {
        FLog.Add("RemoveFilterFromGraph " + FName);
        return S_OK;
    }
    IBaseFilter* Filter() const override { return nullptr; }
    IPin* InputPin() const override { return nullptr; }
    IPin* OutputPin() const override { return nullptr; }
    TDSStream Stream() const override { return {}; }

private:
    TEngineLog& FLog;
    std::string FName;
};

// The engine with the graph build and the movie memory replaced by recorders.
class TTestEngine : public TCommonModule {
public:
    TTestEngine(const TEngineServices& services, TEngineLog& log) : TCommonModule(nullptr, services), FLog(log) {}
    // Like the graph build, moves the playing index also when the entry does not render.
    bool PlayInList(int index, bool autoPlay) override
    {
        FLog.Add("PlayInList " + std::to_string(index) + (autoPlay ? " play" : ""));
        if (Services.PlaylistForm && Services.PlaylistForm->PlayList())
            Services.PlaylistForm->PlayList()->SetPlayingIndex(index);
        return Renders.count(index) > 0;
    }
    void SaveMovieInfo() override
    {
        FLog.Add(Graph ? "SaveMovieInfo with graph" : "SaveMovieInfo without graph");
        if (SaveFails)
            throw std::runtime_error("disk full");
    }
    std::set<int> Renders;
    bool SaveFails = false;

private:
    TEngineLog& FLog;
};

}  // namespace pvltest
