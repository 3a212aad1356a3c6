// The video window and the main window's transport, driven through their real windows under
// Wine: renderers connected on graphs built here, moving pictures, full screen, the stillness
// timer, keys, dropped files, docking, the poll and the file life.
#include "ui/Control_Unit.h"
#include "ui/SnapShot_Unit.h"
#include "ui/Video_Unit.h"

#include "engine/Common_TypesCom.h"
#include "menus/DropShadow.h"
#include "menus/PopupMenu2000Form.h"
#include "playlist/PlayList.h"
#include "playlist/PlaylistUnit.h"
#include "tests/playlist/PlayListFakes.h"
#include "tests/support/PlayerEngineStandIn.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WineGraph.h"
#include "tests/ui/ScreenCapture.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace pvltest;

namespace {
using TLog = std::vector<std::string>;

class TEngineDouble : public TPlayerEngineStandIn {
public:
    TLog Log;
    TStringList Known;
    std::vector<TRect> Monitors;
    std::vector<std::string> Streams, Chapters, Languages;
    std::vector<TPinInfo> VideoPins, AudioPins;
    bool Subtitles = false, Hidden = false;
    int SelectedLanguage = 0, SelectedStream = -1;

    void PlayPause() override { Log.push_back("PlayPause"); }
    void Stop() override { Log.push_back("Stop"); }
    void Next() override { Log.push_back("Next"); }
    void Prev() override { Log.push_back("Prev"); }
    void PlayInList(int32_t index, bool) override { Log.push_back("PlayInList " + std::to_string(index)); }
    void GotoPercent(double percent) override { Log.push_back(Format("GotoPercent %.1f", percent)); }
    int32_t GetMSecfromPercent(double percent) override { return static_cast<int32_t>(Duration / 1000000 * percent / 100); }
    void SetVolume(int32_t volume) override { Log.push_back("SetVolume " + std::to_string(volume)); }
    std::vector<std::string> AudioStreamNames() override { return Streams; }
    int GetSelectedAudioStream() override { return SelectedStream; }
    std::vector<std::string> ChapterNames() override { return Chapters; }
    void StreamPins(std::vector<TPinInfo>& videoPins, std::vector<TPinInfo>& audioPins) override
    {
        videoPins = VideoPins;
        audioPins = AudioPins;
    }
    bool SubtitlesPresent() override { return Subtitles; }
    std::vector<std::string> SubtitleLanguages() override { return Languages; }
    int SelectedSubtitleLanguage() override { return SelectedLanguage; }
    bool HideSubtitles() override { return Hidden; }
    void SetHideSubtitles(bool value) override { Hidden = value; }
    const TStringList* KnownExtensions() override { return &Known; }
    std::vector<TRect> MonitorBounds() override { return Monitors; }
};

// The windows as the start-up makes them, with a stand-in engine and a real play list.
class Windows : public ::testing::Test {
protected:
    void SetUp() override
    {
        App.ShowExceptions = false;
        Control = App.CreateForm<TControlForm>();
        Video = App.CreateForm<TVideoForm>();
        Control->Engine = &Engine;
        Control->PlayList = &List;
        Control->VideoForm = Video;
        Video->Engine = &Engine;
        Video->ControlForm = Control;
    }
    void TearDown() override { Control->Closing = true; }
    // Through the application's loop, so its message filter and key preview see everything.
    void Pump(DWORD ms = 200)
    {
        const DWORD start = GetTickCount();
        do {
            App.ProcessMessages();
            Sleep(5);
        } while (GetTickCount() - start < ms);
    }
    // Pumps until the condition holds; false when it does not within the time.
    bool PumpUntil(const std::function<bool()>& condition, DWORD ms)
    {
        const DWORD start = GetTickCount();
        for (;;) {
            App.ProcessMessages();
            if (condition())
                return true;
            if (GetTickCount() - start >= ms)
                return false;
            Sleep(5);
        }
    }
    void PostKey(HWND wnd, WORD key, bool alt = false)
    {
        PostMessageA(wnd, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, alt ? (1 << 29) | 1 : 1);
        Pump(50);
    }

    TEngineDouble Engine;
    TApplication App;
    TPlayList List;
    TControlForm* Control = nullptr;
    TVideoForm* Video = nullptr;
};

std::unique_ptr<TVideoRenderItem> Renderer(const char* shortName)
{
    auto item = std::make_unique<TVideoRenderItem>();
    item->ShortName = shortName;
    return item;
}

// A source and the AVI splitter for a fixture; the splitter's first video pin.
struct TSplitGraph {
    ComPtr<IGraphBuilder> Graph;
    ComPtr<IPin> VideoPin;
};

TSplitGraph SplitAvi(const char* fixture)
{
    TSplitGraph g;
    g.Graph = NewGraph();
    ComPtr<IBaseFilter> source, splitter;
    const std::wstring path = AnsiToWide(FixturePath(fixture));
    if (FAILED(g.Graph->AddSourceFilter(path.c_str(), L"Source", &source)))
        return g;
    if (FAILED(CoCreateInstance(CLSID_AviSplitter, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&splitter))) ||
        FAILED(g.Graph->AddFilter(splitter.Get(), L"Splitter")) ||
        FAILED(g.Graph->Connect(FindPin(source.Get(), PINDIR_OUTPUT).Get(), FindPin(splitter.Get(), PINDIR_INPUT).Get())))
        return g;
    // The video stream's pin: the first that does not offer audio (an MPEG-4 pin offers no
    // type before it connects).
    for (int i = 0; ComPtr<IPin> pin = FindPin(splitter.Get(), PINDIR_OUTPUT, i); ++i) {
        ComPtr<IEnumMediaTypes> types;
        AM_MEDIA_TYPE* first = nullptr;
        bool audio = false;
        if (SUCCEEDED(pin->EnumMediaTypes(&types)) && types->Next(1, &first, nullptr) == S_OK) {
            audio = first->majortype == MEDIATYPE_Audio;
            CoTaskMemFree(first->pbFormat);
            if (first->pUnk)
                first->pUnk->Release();
            CoTaskMemFree(first);
        }
        if (!audio) {
            g.VideoPin = pin;
            break;
        }
    }
    return g;
}

bool GraphHasFilter(IGraphBuilder* graph, const std::wstring& name)
{
    return FilterNames(graph).find(name) != std::wstring::npos;
}

TRect WindowBounds(HWND wnd)
{
    RECT r;
    GetWindowRect(wnd, &r);
    return r;
}
}

// ---- renderers ----

TEST_F(Windows, PreferenceListConnectsTheFirstKindThatWorks)
{
    TComInit com;
    // Owned here as the engine owns them; the window keeps pointers only.
    std::vector<std::unique_ptr<TVideoRenderItem>> records;
    for (const char* name : {"VMR9", "VMR", "Overlay", "Overlay2", "Normal", "Bogus"})
        records.push_back(Renderer(name));
    const auto list = [&](std::initializer_list<int> indexes) {
        std::vector<TVideoRenderItem*> l;
        for (int i : indexes)
            l.push_back(records[static_cast<size_t>(i)].get());
        return l;
    };
    const struct {
        const char* What;
        std::vector<TVideoRenderItem*> List;
        HRESULT Result;
        TVideoRendererKind Kind;
        std::vector<std::wstring> Absent;
    } cases[] = {
        // The default order; VMR9 windowless and the overlay mixers do not work on this platform.
        {"default", list({0, 2, 4}), S_OK, vrNormal, {L"VMR9 VideoRender", L"OverlayMixer"}},
        // This platform's VMR takes no 24-bit RGB: it fails and leaves nothing behind.
        {"VMR refuses the format", list({1}), E_FAIL, vrNone, {L"VMR VideoRender"}},
        {"overlay falls back", list({2, 4}), S_OK, vrNormal, {L"OverlayMixer"}},
        {"unknown name stops the search", list({5, 4}), E_FAIL, vrNone, {L"VideoRenderer"}},
        {"empty list", {}, E_FAIL, vrNone, {L"VideoRenderer"}},
    };
    for (const auto& c : cases) {
        TSplitGraph g = SplitAvi("uncompressed.avi");
        ASSERT_TRUE(g.VideoPin) << c.What;
        Video->SetPreferredRenderers(c.List);
        EXPECT_EQ(Video->ConnectPreferredRenderer(g.Graph.Get(), g.VideoPin.Get()), c.Result) << c.What;
        EXPECT_EQ(Video->RendererKind(), c.Kind) << c.What;
        for (const std::wstring& name : c.Absent)
            EXPECT_FALSE(GraphHasFilter(g.Graph.Get(), name)) << c.What << ": " << WideToAnsi(FilterNames(g.Graph.Get()));
        int width = 0, height = 0;
        Video->GetNativeVideoSize(width, height);
        EXPECT_EQ(width, c.Kind == vrNone ? 0 : 160) << c.What;
        EXPECT_EQ(Video->HasVideoRenderer(), c.Kind != vrNone) << c.What;
        Video->ReleaseRenderer();
        EXPECT_EQ(Video->RendererKind(), vrNone);
        EXPECT_FALSE(Video->HasVideoRenderer());
    }
}

TEST_F(Windows, VideoMovesInsideTheVideoArea)
{
    TComInit com;
    std::vector<std::unique_ptr<TVideoRenderItem>> records;
    for (const char* name : {"Normal"})
        records.push_back(Renderer(name));
    for (const auto& record : records) {
        Video->SetBounds(100, 100, 400, 320);
        Video->Show();
        TSplitGraph g = SplitAvi("uncompressed.avi");
        ASSERT_TRUE(g.VideoPin);
        Video->SetPreferredRenderers({record.get()});
        ASSERT_EQ(Video->ConnectPreferredRenderer(g.Graph.Get(), g.VideoPin.Get()), S_OK) << record->ShortName;
        Video->RefreshVideo();
        Video->VideoFrameResize(Video);
        ComPtr<IMediaControl> control;
        ASSERT_TRUE(SUCCEEDED(g.Graph.As(&control)));
        control->Run();
        // The first picture once the graph draws one: a loaded machine may take a while to start.
        const TRect area = ClientOnScreen(Video->Handle());
        std::vector<uint32_t> first;
        PumpUntil(
            [&] {
                first = CaptureScreen(area);
                return ComparePictures(first, first).Lit > first.size() / 4;
            },
            15000);
        Pump(1000);
        const std::vector<uint32_t> second = CaptureScreen(area);
        control->Stop();
        SaveJpeg(first, area, "video_" + record->ShortName + "_1.jpg");
        SaveJpeg(second, area, "video_" + record->ShortName + "_2.jpg");
        const TPictureChange change = ComparePictures(first, second);
        EXPECT_GT(change.Lit, first.size() / 4) << record->ShortName << ": the picture is not all black";
        EXPECT_GT(change.Changed, first.size() / 50) << record->ShortName << ": the picture moves";
        Video->ReleaseRenderer();
        Video->Hide();
    }
}

// ---- full screen, stillness, bounds ----

TEST_F(Windows, FullScreenFillsTheMonitorAndReturnsToTheSavedBounds)
{
    const TRect windowed(120, 90, 120 + 500, 90 + 400);
    Video->SetBounds(windowed.left, windowed.top, windowed.Width(), windowed.Height());
    Video->Show();
    Pump();
    ASSERT_EQ(WindowBounds(Video->Handle()), windowed) << "the stored bounds are the shown bounds";
    const TRect monitor(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));

    // Set from the settings: 0 is the nearest monitor, and so is a number past the list.
    for (int setting : {0, 1, 7}) {
        Control->Settings.FullScreenMonitor = setting;
        Engine.Monitors = {monitor};
        Video->VideoFrameDblClick(Video);
        Pump();
        EXPECT_TRUE(Video->FullScreen());
        EXPECT_EQ(WindowBounds(Video->Handle()), monitor) << setting;
        EXPECT_TRUE(Video->Panel3->Visible());
        EXPECT_EQ(GetWindowLongA(Video->Handle(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
        EXPECT_TRUE(GetWindowLongA(Video->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
        Video->VideoFrameDblClick(Video);
        Pump();
        EXPECT_FALSE(Video->FullScreen());
        EXPECT_EQ(WindowBounds(Video->Handle()), windowed) << setting;
        EXPECT_FALSE(Video->Panel3->Visible());
        EXPECT_TRUE(GetWindowLongA(Video->Handle(), GWL_STYLE) & WS_THICKFRAME);
    }
}

TEST_F(Windows, CursorHidesAfterThreeSecondsOfStillnessInFullScreen)
{
    Video->Show();
    Video->EnterFullScreen();
    const TRect screen = WindowBounds(Video->Handle());
    SetCursorPos(screen.left + 300, screen.top + 300);
    const DWORD still = GetTickCount();
    Video->SetLastMouseMove(TPoint(screen.left + 300, screen.top + 300), still);
    // Never before the three seconds of stillness, however late the pump runs.
    ASSERT_TRUE(PumpUntil([&] { return Video->ExclusiveMode(); }, 15000));
    EXPECT_GE(GetTickCount() - still, kExclusiveModeDelay);
    EXPECT_FALSE(Video->Panel3->Visible());
    EXPECT_FALSE(Control->ExtrasFrame->Visible() && Video->Panel1->Visible());

    // Jitter of two pixels keeps it; three pixels bring the cursor and the strip back.
    const auto moveTo = [&](int x, int y) {
        SetCursorPos(x, y);
        PostMessageA(Video->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x - screen.left, y - screen.top));
        Pump(100);
    };
    moveTo(screen.left + 302, screen.top + 298);
    EXPECT_TRUE(Video->ExclusiveMode());
    moveTo(screen.left + 303, screen.top + 300);
    EXPECT_FALSE(Video->ExclusiveMode());
    EXPECT_TRUE(Video->Panel3->Visible());
    Video->LeaveFullScreen();
}

// ---- keys ----

TEST_F(Windows, KeysOfTheVideoWindowAndTheMainWindow)
{
    Video->Show();
    Control->Show();
    Pump();
    const struct {
        bool OnVideo;
        WORD Key;
        bool Alt;
        TLog Calls;
    } cases[] = {
        {true, VK_SPACE, false, {"PlayPause"}},      {false, VK_SPACE, false, {"PlayPause"}},
        {true, VK_PRIOR, false, {"Prev"}},           {false, VK_NEXT, false, {"Next"}},
        {true, VK_MEDIA_NEXT_TRACK, false, {"Next"}}, {false, VK_MEDIA_PREV_TRACK, false, {"Prev"}},
        {true, VK_MEDIA_STOP, false, {"Stop"}},      {false, VK_MEDIA_PLAY_PAUSE, false, {"PlayPause"}},
        {true, 250, false, {"PlayPause"}},           {true, VK_LEFT, false, {}},
        {false, VK_RIGHT, false, {}},                {true, VK_RETURN, false, {}},
    };
    for (const auto& c : cases) {
        Engine.Log.clear();
        PostKey(c.OnVideo ? Video->Handle() : Control->Handle(), c.Key, c.Alt);
        EXPECT_EQ(Engine.Log, c.Calls) << (c.OnVideo ? "video " : "main ") << c.Key;
    }
    // Alt+Enter enters full screen from either window; on the video window it is its popup's
    // "FullScreen" and leaves it too. Esc leaves it from the video window only.
    PostKey(Control->Handle(), VK_RETURN, true);
    EXPECT_TRUE(Video->FullScreen());
    PostKey(Video->Handle(), VK_RETURN, true);
    EXPECT_FALSE(Video->FullScreen());
    PostKey(Video->Handle(), VK_RETURN, true);
    EXPECT_TRUE(Video->FullScreen());
    PostKey(Control->Handle(), VK_ESCAPE);
    EXPECT_TRUE(Video->FullScreen());
    PostKey(Video->Handle(), VK_ESCAPE);
    EXPECT_FALSE(Video->FullScreen());
    PostKey(Video->Handle(), VK_RETURN, true);
    EXPECT_TRUE(Video->FullScreen());
    Video->LeaveFullScreen();
}

// ---- dropped files, screen saver ----

namespace {
HGLOBAL DropOf(const std::vector<std::string>& names)
{
    std::string list;
    for (const std::string& n : names)
        list += n + '\0';
    list += '\0';
    const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(memory);
    return memory;
}
}

TEST_F(Windows, DroppedFilesOfKnownTypesJoinThePlayList)
{
    Engine.Known.Add("*.AVI");
    Engine.Known.Add("*.MP3");
    Control->Show();
    PostMessageA(Control->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({"C:\\a.avi", "C:\\notes.txt", "C:\\folder",
                                                                               "C:\\b.MP3"})),
                 0);
    Pump(300);
    ASSERT_EQ(List.ItemCount(), 2);
    TPlayListItem item;
    List.GetItem(0, item);
    EXPECT_EQ(item.FileName, "C:\\a.avi");
    List.GetItem(1, item);
    EXPECT_EQ(item.FileName, "C:\\b.MP3");
}

TEST_F(Windows, ScreenSaverIsHeldOffWhilePlayingOrPaused)
{
    for (const auto& [state, swallowed] : {std::pair{uint8_t(1), true}, {uint8_t(2), true}, {uint8_t(0), false}, {uint8_t(3), false}}) {
        Engine.State = state;
        for (WPARAM command : {WPARAM(SC_SCREENSAVE), WPARAM(SC_MONITORPOWER)}) {
            MSG msg{Control->Handle(), WM_SYSCOMMAND, command, 0, 0, {}};
            bool handled = false;
            Control->ApplicationEvents1Message(msg, handled);
            EXPECT_EQ(handled, swallowed) << int(state);
        }
    }
}

// ---- docking ----

TEST_F(Windows, MainWindowDocksIntoTheVideoWindowAndFloatsAgain)
{
    Video->SetBounds(200, 100, 600, 480);
    Video->Show();
    Control->SetBounds(10, 10, Control->Width(), Control->Height());
    Control->Show();
    Pump();
    const TRect floating = WindowBounds(Control->Handle());
    const TRect client = ClientOnScreen(Video->Handle());

    // A move that ends in the middle of the picture does not dock.
    SetCursorPos(client.left + 300, client.top + 150);
    SendMessageA(Control->Handle(), WM_ENTERSIZEMOVE, 0, 0);
    SendMessageA(Control->Handle(), WM_EXITSIZEMOVE, 0, 0);
    EXPECT_TRUE(Control->Floating());

    // One that ends over the bottom strip docks.
    SetCursorPos(client.left + 300, client.bottom - 20);
    SendMessageA(Control->Handle(), WM_ENTERSIZEMOVE, 0, 0);
    SendMessageA(Control->Handle(), WM_EXITSIZEMOVE, 0, 0);
    Pump();
    ASSERT_FALSE(Control->Floating());
    EXPECT_EQ(GetParent(Control->Handle()), Video->Handle());
    EXPECT_EQ(Control->Top() + Control->Height(), Video->ClientRect().Height()) << "along the bottom";
    TRect area;
    Video->GetVideoArea(area);
    EXPECT_EQ(area.bottom, Control->Top()) << "the picture stops above the main window";

    // Full screen with the main window docked keeps only its extras.
    Video->EnterFullScreen();
    EXPECT_FALSE(Control->Panel1->Visible());
    Video->LeaveFullScreen();
    EXPECT_TRUE(Control->Panel1->Visible());

    // A double click floats it at the bounds it had.
    SendMessageA(Control->Panel1->Handle(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_TRUE(Control->Floating());
    EXPECT_EQ(GetAncestor(Control->Handle(), GA_PARENT), GetDesktopWindow());
    EXPECT_EQ(WindowBounds(Control->Handle()), floating);
    Video->GetVideoArea(area);
    EXPECT_EQ(area.bottom, Video->ClientRect().Height());
}

// ---- the poll and the file life ----

TEST_F(Windows, PollFollowsPositionStateAndPlayList)
{
    Video->Show();
    Engine.State = 3;
    Control->Timer1Timer(nullptr);
    EXPECT_FALSE(Control->PlayPauseBtn->Enabled()) << "no file and an empty play list";
    EXPECT_FALSE(Control->StopBtn->Enabled());
    TPlayListItem item;
    item.FileName = "C:\\a.avi";
    List.AddPlaylistRecord(item);
    Control->Timer1Timer(nullptr);
    EXPECT_TRUE(Control->PlayPauseBtn->Enabled()) << "a play list loaded after the first poll";

    Engine.State = 1;
    Engine.Duration = 3600LL * 10000000;    // one hour
    Engine.Position = 900LL * 10000000;     // a quarter in
    Control->Timer1Timer(nullptr);
    EXPECT_EQ(Control->Progress, 2500);
    EXPECT_EQ(Video->Label2->Caption(), "00:15:00");
    EXPECT_EQ(Video->Shape1->Width(), (Video->Shape2->Width() - 4) / 4);
    EXPECT_TRUE(Control->StopBtn->Enabled());
    Engine.Position = 901LL * 10000000;
    Control->Timer1Timer(nullptr);
    EXPECT_EQ(Video->Label2->Caption(), "00:15:01");
    Control->Settings.TimeMode = 1;
    Control->Timer1Timer(nullptr);
    EXPECT_EQ(Video->Label2->Caption(), "-00:44:59");

    // The seek strip: a click seeks by percentage, the left end to 0.
    Video->SeekStripUp((Video->Shape2->Width() - 4) / 2 + 1);
    Video->SeekStripUp(1);
    Video->SeekStripUp(0);
    EXPECT_EQ(Engine.Log, (TLog{"GotoPercent 50.0", "GotoPercent 0.0"}));
}

TEST_F(Windows, StreamInfoTreeListsThePinsAndMarksThoseThatRendered)
{
    TPinInfo video, audio;
    video.Rendered = true;
    video.Video.Name = "Uncompressed";
    video.Video.Width = 160;
    video.Video.Height = 120;
    audio.Audio.Name = "PCM";
    audio.Audio.Channels = 2;
    Engine.VideoPins = {video};
    Engine.AudioPins = {audio};
    Control->Notebook1->SetPageIndex(7);
    Control->Show();
    Control->NewFileLoaded();
    TTreeNodes& items = Control->StreamInfoTree->Items;
    ASSERT_EQ(items.Count(), 10);
    const HWND tree = Control->StreamInfoTree->Handle();
    EXPECT_EQ(TreeView_GetCount(tree), 10u) << "every node is in the window";
    char text[64] = {};
    TVITEMA item{};
    item.mask = TVIF_TEXT;
    item.hItem = TreeView_GetChild(tree, TreeView_GetRoot(tree));
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ASSERT_TRUE(SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_STREQ(text, "Compression: Uncompressed");

    // The video rows rendered (white); the audio rows did not (red).
    const auto colourOf = [&](int index) {
        TColor colour = 0;
        bool defaultDraw = false;
        Control->StreamInfoTree->OnCustomDrawItem(Control->StreamInfoTree, items.Item(index), colour, defaultDraw);
        EXPECT_TRUE(defaultDraw);
        return colour;
    };
    EXPECT_EQ(items.Item(0)->Text, "Video Stream 1");
    EXPECT_EQ(colourOf(0), 0xFFFFFF);
    EXPECT_EQ(colourOf(2), 0xFFFFFF) << "a child takes its parent's state";
    EXPECT_EQ(items.Item(5)->Text, "Audio Stream 1");
    EXPECT_EQ(colourOf(5), 0x0000FF);
    EXPECT_EQ(colourOf(9), 0x0000FF);
    Pump(200);  // drawn through the custom-draw notifications without harm

    Control->PrepareNewFile();
    EXPECT_EQ(items.Count(), 0);
    EXPECT_EQ(TreeView_GetCount(tree), 0u);
}

TEST_F(Windows, FileLifeFillsAndClearsTheMenus)
{
    Engine.Streams = {"", "German"};
    Engine.Chapters = {"Intro"};
    Engine.Subtitles = true;
    Engine.Languages = {"English", "French"};
    Engine.SelectedLanguage = 1;
    Video->SubtitlesHideSubtitles2->SetChecked(true);
    Control->NewFileLoaded();
    ASSERT_EQ(Video->AudioTracks1->Count(), 2);
    EXPECT_EQ(Video->AudioTracks1->Items(0)->Caption, "Audio Stream 1");
    EXPECT_EQ(Video->AudioTracks1->Items(1)->Caption, "German");
    EXPECT_EQ(Video->Chapters1->Count(), 1);
    ASSERT_EQ(Video->Subtitles1->Count(), 6);
    EXPECT_EQ(Video->Subtitles1->Items(4)->Caption, "French");
    EXPECT_TRUE(Video->Subtitles1->Items(4)->Checked);
    EXPECT_FALSE(Video->SubtitlesNONEAVALIBLE1->Visible);
    EXPECT_TRUE(Engine.Hidden) << "the hide-subtitles item's state reaches the filter";
    EXPECT_FALSE(Video->Visible()) << "no renderer: the video window stays hidden";
    EXPECT_EQ(Engine.Log, (TLog{"SetVolume 8000"})) << "the volume bar starts at 2000 from the top";

    Video->PopupMenu20002Popup(nullptr);
    EXPECT_TRUE(Video->AudioTracks1->Visible);
    EXPECT_TRUE(Video->Chapters1->Visible);
    EXPECT_FALSE(Video->Fullscreen1->Enabled) << "no renderer";
    EXPECT_FALSE(Video->Bookmarks1->Enabled);
    Control->AddBookmark("Start", nullptr, 0);
    Video->PopupMenu20002Popup(nullptr);
    ASSERT_EQ(Video->Bookmarks1->Count(), 1);
    EXPECT_EQ(Video->Bookmarks1->Items(0)->Caption, "Start  00:00:00");
    EXPECT_TRUE(Video->Bookmarks1->Enabled);

    Control->PrepareNewFile();
    EXPECT_EQ(Video->AudioTracks1->Count(), 0);
    EXPECT_EQ(Video->Chapters1->Count(), 0);
    EXPECT_EQ(Video->Subtitles1->Count(), 4);
    EXPECT_EQ(Video->Subtitles1->Items(3), Video->SubtitlesNONEAVALIBLE1);
    EXPECT_TRUE(Video->SubtitlesNONEAVALIBLE1->Visible);
    Video->PopupMenu20002Popup(nullptr);
    EXPECT_FALSE(Video->AudioTracks1->Visible);
    EXPECT_FALSE(Video->Chapters1->Visible);
}

TEST_F(Windows, NewFileSizesTheWindowToTheVideo)
{
    TComInit com;
    auto record = Renderer("Normal");
    TSplitGraph g = SplitAvi("uncompressed.avi");
    ASSERT_TRUE(g.VideoPin);
    Video->SetPreferredRenderers({record.get()});
    ASSERT_EQ(Video->ConnectPreferredRenderer(g.Graph.Get(), g.VideoPin.Get()), S_OK);
    Control->Settings.SizeMode = 1;
    Control->NewFileLoaded();
    Pump();
    EXPECT_TRUE(Video->Visible());
    // 160 x 120 asked for; the window goes no smaller than 320 x 240.
    EXPECT_EQ(Video->Width(), 320);
    EXPECT_EQ(Video->Height(), 240);
    Video->SetClientWidth(400);
    Video->SetClientHeight(300);
    Control->NewFileLoaded();
    EXPECT_EQ(Video->Width(), 320) << "sized to the video again";
    EXPECT_TRUE(Control->SnapShot_Btn->Enabled());
    EXPECT_TRUE(Control->AddBkmark_Btn->Enabled());
    Video->ReleaseRenderer();
}

// ---- the skinned popups ----

namespace {

// Every item below `item` is a skinned one (a plain item would neither draw its look nor open
// an attached menu).
int PlainItems(TMenuItem* item)
{
    int plain = 0;
    for (int i = 0; i < item->Count(); ++i)
        plain += (dynamic_cast<TMenuItem2000*>(item->Items(i)) ? 0 : 1) + PlainItems(item->Items(i));
    return plain;
}

// Looks at an open popup from inside its modal wait, where a thread timer still fires, and
// closes the menus once `Step` answers true.
struct TOpenMenuProbe {
    static inline std::function<bool()> Step;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        if (Step && Step())
            CloseMenus();
    }
    explicit TOpenMenuProbe(std::function<bool()> step, UINT elapse = 5)
    {
        Step = std::move(step);
        Timer = SetTimer(nullptr, 0, elapse, Tick);
    }
    ~TOpenMenuProbe()
    {
        KillTimer(nullptr, Timer);
        Step = nullptr;
    }
    UINT_PTR Timer = 0;
};

TPopupMenu2000Form* MenuWindow(TCustomPopupMenu2000* menu)
{
    auto* form = dynamic_cast<TPopupMenu2000Form*>(menu->PopupForm());
    return form && form->IsShowing() ? form : nullptr;
}

// Each height an open menu window takes, as its messages are fetched.
struct THeightWatch {
    static inline std::vector<int> Heights;
    static inline TCustomPopupMenu2000* Watched = nullptr;
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        if (TPopupMenu2000Form* form = MenuWindow(Watched); form && (Heights.empty() || Heights.back() != form->Height()))
            Heights.push_back(form->Height());
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
};

uint32_t ScreenPixel(int x, int y) { return CaptureScreen(TRect(x, y, x + 1, y + 1)).at(0) & 0xFFFFFF; }

}  // namespace

TEST_F(Windows, EveryPopupIsASkinnedMenuLinkedToItsWindowsMoney)
{
    TFakeEngine listEngine;
    TFakeWindows listWindows;
    auto* playlist = App.CreateForm<TPlaylistForm>(&listEngine, &listWindows, TPlaylistFormHost{});
    auto* snapshots = App.CreateForm<TSnapShotForm>();
    const T_AM2000_Flags plain = FlagBit(mfNoBitmapRect), shadowed = plain | FlagBit(mfDropShadow);
    const struct {
        const char* Name;
        TCustomPopupMenu2000* Menu;
        TComponent* Window;
        T_AM2000_Animation SkinAnimation, MenuAnimation;
        int SideMargin;
        T_AM2000_Flags Flags;
    } popups[] = {
        {"MainPopupMenu", Control->MainPopupMenu, Control, anVertSlide, anVertSlide, 18, plain},
        {"Extras_PopupMenu", Control->Extras_PopupMenu, Control, anVertSlide, anVertSlide, 18, plain},
        {"VisualsPopupMenu", Control->VisualsPopupMenu, Control, anVertSlide, anVertSlide, 18, plain},
        {"Display_PopupMenu", Control->Display_PopupMenu, Control, anVertSlide, anVertSlide, 18, plain},
        {"FileReopen_PopupMenu", Control->FileReopen_PopupMenu, Control, anVertSlide, anVertSlide, 18, plain},
        {"EQ_Preset_Popupmenu", Control->EQ_Preset_Popupmenu, Control, anVertSlide, anVertSlide, 18, plain},
        {"Bkmark_PopupMenu", Control->Bkmark_PopupMenu, Control, anVertSlide, anVertSlide, 18, plain},
        {"PopupMenu20001 (play list)", playlist->PopupMenu20001, playlist, anVertSlide, anVertSlide, 18, plain},
        {"PopupMenu20002 (snapshots)", snapshots->PopupMenu20002, snapshots, anVertSlide, anVertSlide, 18, plain},
        {"PopupMenu20002 (video)", Video->PopupMenu20002, Video, anVertRoll, anNone, 24, shadowed},
    };
    using C = T_AM2000_Colors;
    const struct {
        C::Role Role;
        TColor Value;
    } colors[] = {{C::Menu, 0x5B5B5B}, {C::Border, 0x5B5B5B}, {C::Bevel, 0x444444}, {C::MenuText, clWhite},
                  {C::Highlight, 0x505050}, {C::HighlightText, 0x7FDFFF}, {C::DisabledText, 0x919191},
                  {C::DisabledShadow, clNone}, {C::Line, 0x707070}, {C::SunkenText, 0xD8D8D8}};
    for (const auto& p : popups) {
        SCOPED_TRACE(p.Name);
        ASSERT_NE(dynamic_cast<TPopupMenu2000*>(p.Menu), nullptr);
        auto* money = dynamic_cast<TMoney*>(p.Menu->AnimatedSkin());
        ASSERT_NE(money, nullptr);
        EXPECT_EQ(money->Owner(), p.Window) << "the window's own skin";
        EXPECT_EQ(money->Animation(), p.SkinAnimation);
        EXPECT_EQ(money->Margins().Get(T_AM2000_Margins::Left), p.SideMargin);
        EXPECT_EQ(money->Margins().Get(T_AM2000_Margins::Right), p.SideMargin);
        EXPECT_EQ(money->Margins().Get(T_AM2000_Margins::Border), 0);
        EXPECT_EQ(money->Margins().Get(T_AM2000_Margins::Bevel), 1);
        EXPECT_FALSE(money->SystemFont());
        EXPECT_TRUE(money->SystemShadow());
        EXPECT_FALSE(money->Ctl3D());
        EXPECT_EQ(money->Font().Name, "MS Sans Serif");
        EXPECT_EQ(money->Font().Height, -11);
        // What the skin pushed, and the menu's own options over it.
        T_AM2000_MenuOptions& options = p.Menu->RawOptions();
        for (const auto& c : colors) {
            EXPECT_EQ(money->Colors().Get(c.Role), c.Value) << c.Role;
            EXPECT_EQ(options.Colors().Get(c.Role), c.Value) << c.Role;
        }
        EXPECT_EQ(options.Animation(), p.MenuAnimation);
        EXPECT_EQ(options.Flags(), p.Flags);
        EXPECT_EQ(options.Margins().Get(T_AM2000_Margins::Left), p.SideMargin);
        EXPECT_FALSE(p.Menu->SystemFont());
        EXPECT_TRUE(p.Menu->SystemShadow);
        EXPECT_FALSE(p.Menu->Ctl3D());
        if (p.Menu->OnPopup)
            p.Menu->OnPopup(p.Menu);  // the items the handler makes count too
        EXPECT_EQ(PlainItems(p.Menu->Items()), 0);
    }
    // The main menu attaches the others as submenus; the video menu's full-screen entry carries
    // its key as the item's own shortcut.
    EXPECT_EQ(Control->ViewExtras1->AttachMenu(), Control->Extras_PopupMenu);
    EXPECT_EQ(Control->ViewVisuals1->AttachMenu(), Control->VisualsPopupMenu);
    EXPECT_EQ(Control->ViewDisplayColor->AttachMenu(), Control->Display_PopupMenu);
    EXPECT_EQ(Control->Reopen1->AttachMenu(), Control->FileReopen_PopupMenu);
    EXPECT_EQ(Video->Fullscreen1->GetShortCut(), "Alt+Enter");
    EXPECT_EQ(FindItemByShortCut(Video->PopupMenu20002->Items(), TextToShortCut("Alt+Enter")), Video->Fullscreen1);
}

TEST_F(Windows, VideoPopupOpensAtTheClickAtOnceInTheSkinsColoursWithItsShadow)
{
    UseMenuWindows();
    Video->SetBounds(60, 60, 636, 502);
    Video->Show();
    Pump(200);
    const POINT click = {ClientOnScreen(Video->Handle()).left + 40, ClientOnScreen(Video->Handle()).top + 30};
    constexpr uint32_t kFace = 0x5B5B5B, kFrame = 0x444444;  // the skin's background and bevel
    struct {
        bool Seen = false, FullAtOnce = false, ShadowsShown = false;
        T_AM2000_Animation Kind = anDefault;
        RECT Bounds{};
        uint32_t Face = 0, Frame = 0;
        int Ticks = 0;
    } seen;
    {
        TOpenMenuProbe probe([&] {
            TPopupMenu2000Form* form = MenuWindow(Video->PopupMenu20002);
            if (!form)
                return false;
            if (!seen.Seen) {
                seen.Seen = true;
                seen.Kind = form->EffectiveKind();
                seen.FullAtOnce = form->Height() == form->WindowHeight() && form->Width() == form->WindowWidth();
            }
            const T_AM2000_DropShadow* shadow = form->DropShadow();
            seen.ShadowsShown = shadow && IsWindowVisible(shadow->Vertical()) && IsWindowVisible(shadow->Horizontal());
            if (!seen.ShadowsShown && ++seen.Ticks < 400)
                return false;
            GetWindowRect(form->Handle(), &seen.Bounds);
            // The first row's right margin (no arrow there) and the frame's bevel.
            seen.Face = ScreenPixel(seen.Bounds.right - 6, seen.Bounds.top + 6);
            seen.Frame = ScreenPixel(seen.Bounds.left, (seen.Bounds.top + seen.Bounds.bottom) / 2);
            // On a loaded machine the shadows can show before the window's paint reaches the
            // screen: look again until the colours are there, or give up with the last ones.
            if ((seen.Face != kFace || seen.Frame != kFrame) && ++seen.Ticks < 400)
                return false;
            const TRect shot(seen.Bounds.left, seen.Bounds.top, seen.Bounds.right + 8, seen.Bounds.bottom + 8);
            SaveJpeg(CaptureScreen(shot), shot, "video_popup.jpg");
            return true;
        });
        PostMessageA(Video->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Video->Handle()), MAKELPARAM(click.x, click.y));
        ASSERT_TRUE(PumpUntil([&] { return seen.Seen && !Video->PopupMenu20002->IsShowing(); }, 10000));
    }
    EXPECT_EQ(seen.Kind, anNone);
    EXPECT_TRUE(seen.FullAtOnce) << "no animation: whole at the first look";
    EXPECT_EQ(seen.Bounds.left, click.x);
    EXPECT_EQ(seen.Bounds.top, click.y);
    EXPECT_TRUE(seen.ShadowsShown) << "both shadow windows";
    EXPECT_EQ(seen.Face, kFace);
    EXPECT_EQ(seen.Frame, kFrame);
}

TEST_F(Windows, MainPopupSlidesOpenBelowItsButton)
{
    UseMenuWindows();
    Control->Show();
    Pump(200);
    // The steps come as posted messages, ahead of any timer: a message hook sees each one.
    std::vector<int>& heights = THeightWatch::Heights;
    heights.clear();
    THeightWatch::Watched = Control->MainPopupMenu;
    const HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, THeightWatch::Hook, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    T_AM2000_Animation kind = anDefault;
    int target = 0, ticks = 0;
    RECT bounds{};
    TOpenMenuProbe probe([&] {
        TPopupMenu2000Form* form = MenuWindow(Control->MainPopupMenu);
        if (!form)
            return ++ticks > 1000;  // never opened: give up
        kind = form->EffectiveKind();
        target = form->WindowHeight();
        GetWindowRect(form->Handle(), &bounds);
        return !form->State(TPopupMenu2000Form::wsAnimating) && form->Height() == target;
    });
    // The left button's release on the menu glyph opens it and waits until it has closed.
    Control->Image324MouseUp(Control->Image324, mbLeft, {}, 0, 0);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(kind, anVertSlide);
    ASSERT_GE(heights.size(), 3u) << "it grows step by step";
    EXPECT_LT(heights.front(), target);
    EXPECT_TRUE(std::is_sorted(heights.begin(), heights.end()));
    EXPECT_EQ(heights.back(), target);
    POINT below = {Control->Image324->Left(), Control->Image324->Top() + Control->Image324->Height() + 2};
    ClientToScreen(Control->Panel4->Handle(), &below);
    EXPECT_EQ(bounds.left, below.x);
    EXPECT_EQ(bounds.top, below.y);
}
