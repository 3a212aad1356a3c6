// The engine's movie memory, device lists, history lists and tag kind, on real graphs under
// Wine with a recording main window.
#include "engine/CommonUnit.h"
#include "engine/History.h"
#include "engine/HistoryStore.h"
#include "engine/MovieMemory.h"

#include "framework/Registry.h"
#include "tests/engine/EngineFixture.h"
#include "tests/support/WavWriter.h"

#include <thread>

using namespace pvltest;

namespace {

constexpr int64_t Second = 10000000;

class EngineMemoryTest : public TEngineFixture {
protected:
    void SetUp() override { ForceDirectories(Dir.File("MediaID")); }

    // A WAV movie of `seconds` opened as the graph build leaves it, paused at `at` seconds.
    void OpenMovie(double seconds, double at)
    {
        const std::string wav = Dir.File("film.wav");
        if (!FileExists(wav))
            WriteWav(wav, TWavSpec{.Seconds = seconds}, Sine(440, 0.25, 44100));
        ComPtr<IGraphBuilder> graph = NewGraph();
        ASSERT_EQ(graph->RenderFile(AnsiToWide(wav).c_str(), nullptr), S_OK);
        TCommonModule& e = Engine();
        e.Graph = graph;
        graph.As(&e.MediaSeeking);
        e.PlayingFileName = wav;
        e.MediaID = "0000ABCD-0001-0002-0003-000000000004";
        ASSERT_TRUE(e.SetPosition(static_cast<int64_t>(at * Second)));
        ComPtr<IMediaControl> control;
        graph.As(&control);
        control->Pause();
        OAFilterState state;
        control->GetState(2000, &state);
    }

    std::string MemoryFile() { return Dir.File("MediaID\\") + Engine().MediaID + ".cid"; }

    TFakeImage Picture(int width, int height, uint32_t color)
    {
        return {width, height, std::vector<uint32_t>(static_cast<size_t>(width * height), color)};
    }

    void AddBookmark(const std::string& name, int64_t position, const TFakeImage* picture)
    {
        TBitmap32 bitmap;
        if (picture) {
            bitmap.SetSize(picture->Width, picture->Height);
            std::copy(picture->Pixels.begin(), picture->Pixels.end(), bitmap.Bits());
        }
        Form.AddBookmark(name, picture ? &bitmap : nullptr, position);
    }
};

int Channel(uint32_t c, int shift)
{
    return static_cast<int>((c >> shift) & 0xFF);
}

TEST_F(EngineMemoryTest, BookmarksPositionAndThumbnailsComeBackFromTheMemoryFile)
{
    const TFakeImage red = Picture(16, 12, 0xFFE01010);
    AddBookmark("Intro", 1 * Second, &red);
    AddBookmark("Plain", 2 * Second, nullptr);
    OpenMovie(10, 3.0);
    TCommonModule& e = Engine();
    e.SaveMovieInfo();

    TMovieMemory stored;
    ASSERT_TRUE(LoadMovieMemory(MemoryFile(), stored));
    EXPECT_EQ(stored.Version, 3);
    EXPECT_NEAR(double(stored.LastPosition) / Second, 3.0, 0.2);
    ASSERT_EQ(stored.Bookmarks.size(), 2u);
    EXPECT_EQ(stored.Bookmarks[0].Name, "Intro");
    EXPECT_EQ(stored.Bookmarks[0].Position, 1 * Second);
    ASSERT_GT(stored.Bookmarks[0].Thumbnail.size(), 2u);
    EXPECT_EQ(stored.Bookmarks[0].Thumbnail[0], 0xFF);  // a JPEG stream
    EXPECT_EQ(stored.Bookmarks[0].Thumbnail[1], 0xD8);
    EXPECT_TRUE(stored.Bookmarks[1].Thumbnail.empty());

    Form.ClearBookmarks();
    AddBookmark("Left over", 5, nullptr);
    int64_t position = -1;
    int32_t delay = -1, count = -1;
    ASSERT_TRUE(e.CheckPrevLoaded(position, delay, count));
    EXPECT_EQ(position, stored.LastPosition);
    EXPECT_EQ(delay, 0);
    EXPECT_EQ(count, 2);
    ASSERT_EQ(Form.Bookmarks.size(), 2u);
    EXPECT_EQ(Form.Bookmarks[0].Name, "Intro");
    EXPECT_EQ(Form.Bookmarks[1].Position, 2 * Second);
    EXPECT_EQ(Form.Bookmarks[1].ImageIndex, -1);
    ASSERT_EQ(Form.Images.size(), 1u);
    const TFakeImage& back = Form.Images[0];
    ASSERT_EQ(back.Width, 16);
    ASSERT_EQ(back.Height, 12);
    for (const int shift : {16, 8, 0})
        EXPECT_NEAR(Channel(back.Pixels[50], shift), Channel(red.Pixels[50], shift), 8);
}

TEST_F(EngineMemoryTest, AMovieClosedNearItsEndStartsOverNextTime)
{
    OpenMovie(10, 9.9);
    Engine().SaveMovieInfo();
    TMovieMemory stored;
    ASSERT_TRUE(LoadMovieMemory(MemoryFile(), stored));
    EXPECT_EQ(stored.LastPosition, 0);
}

TEST_F(EngineMemoryTest, MoviesWithoutUsableMemoryStartWithout)
{
    TCommonModule& e = Engine();
    int64_t position = -1;
    int32_t delay = -1, count = -1;
    e.MediaID = "0000ABCD-0001-0002-0003-000000000004";
    EXPECT_FALSE(e.CheckPrevLoaded(position, delay, count));  // no graph
    EXPECT_EQ(position, 0);
    EXPECT_EQ(delay, 0);
    EXPECT_EQ(count, 0);

    OpenMovie(10, 1.0);
    AddBookmark("Kept", 1, nullptr);
    EXPECT_FALSE(e.CheckPrevLoaded(position, delay, count));  // no file: the window is left alone
    EXPECT_EQ(Form.Bookmarks.size(), 1u);

    TByteWriter cut;
    cut.U32(MovieMemoryHeader).U32(1);  // one bookmark announced, none there
    WriteAll(MemoryFile(), cut.Bytes);
    EXPECT_FALSE(e.CheckPrevLoaded(position, delay, count));
    EXPECT_TRUE(Form.Bookmarks.empty());  // a file was there: the bookmarks went
    EXPECT_EQ(count, 0);

    e.MediaIDFolder = Dir.File("Missing");
    FileDelete(MemoryFile());
    e.SaveMovieInfo();
    EXPECT_FALSE(FileExists(Dir.File("Missing\\") + e.MediaID + ".cid"));
    EXPECT_FALSE(FileExists(MemoryFile()));
    EXPECT_TRUE(Messages.empty());
}

TEST_F(EngineMemoryTest, OldFilesReadWithBitmapThumbnailsAndABadThumbnailDropsAlone)
{
    OpenMovie(10, 1.0);
    const std::vector<uint8_t> bitmap = BitmapFile(2, 2, 24, {}, {{0, 0, 0xFF, 0, 0, 0xFF}, {0, 0, 0xFF, 0, 0, 0xFF}});
    TByteWriter file;
    file.U32(67667701).U32(2);
    file.U32(4).Text("Good").U64(7 * Second).U32(uint32_t(bitmap.size())).Raw(bitmap);
    file.U32(3).Text("Bad").U64(8 * Second).U32(4).Raw({1, 2, 3, 4});
    file.U64(6 * Second);
    WriteAll(MemoryFile(), file.Bytes);

    int64_t position = 0;
    int32_t delay = -1, count = 0;
    ASSERT_TRUE(Engine().CheckPrevLoaded(position, delay, count));
    EXPECT_EQ(position, 6 * Second);
    EXPECT_EQ(delay, 0);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(Form.Bookmarks[0].ImageIndex, 0);
    EXPECT_EQ(Form.Bookmarks[1].Name, "Bad");
    EXPECT_EQ(Form.Bookmarks[1].ImageIndex, -1);
    ASSERT_EQ(Form.Images.size(), 1u);
    EXPECT_EQ(Form.Images[0].Pixels, std::vector<uint32_t>(4, 0xFFFF0000));
}

TEST_F(EngineMemoryTest, AFailedSaveIsReportedOnceAndNeverStopsTheClose)
{
    TCommonModule& e = Engine();
    ForceDirectories(Dir.File("MediaID\\") + "0000ABCD-0001-0002-0003-000000000004.cid");  // a folder in the way
    for (int close = 0; close < 2; ++close) {
        OpenMovie(10, 2.0);
        Log.Calls.clear();  // each close must reach the main window on its own
        EXPECT_NO_THROW(e.ClosePlayingFile());
        EXPECT_FALSE(e.Graph);
        EXPECT_GE(Log.IndexOf("PrepareNewFile"), 0);
    }
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_NE(Messages[0].find("0000ABCD-0001-0002-0003-000000000004.cid"), std::string::npos);
}

TEST_F(EngineMemoryTest, ReleasingThePlayingFileWaitsForOtherHoldersToLetItGo)
{
    TCommonModule& e = Engine();
    OpenMovie(10, 2.0);
    const std::string wav = e.PlayingFileName;
    // A detail fetch that still reads the file for a while after the graph has gone.
    HANDLE reader = CreateFileA(wav.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    std::thread fetch([reader] {
        Sleep(400);
        CloseHandle(reader);
    });
    e.ReleasePlayingFile();
    const HANDLE writer = CreateFileA(wav.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(writer, INVALID_HANDLE_VALUE) << "the file can be rewritten at once";
    if (writer != INVALID_HANDLE_VALUE)
        CloseHandle(writer);
    fetch.join();
    EXPECT_FALSE(e.Graph);
}

TEST_F(EngineMemoryTest, ReleasingGivesUpOnAFileThatStaysHeld)
{
    TCommonModule& e = Engine();
    OpenMovie(10, 2.0);
    const std::string wav = e.PlayingFileName;
    HANDLE holder = CreateFileA(wav.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const DWORD start = GetTickCount();
    e.ReleasePlayingFile(300);
    EXPECT_LT(GetTickCount() - start, 3000u) << "the wait has an end";
    EXPECT_FALSE(e.Graph);
    CloseHandle(holder);
}

TEST_F(EngineMemoryTest, MediaIdOfTheOpenGraph)
{
    const std::string avi = FixturePath("mpeg4_mp3.avi");
    ASSERT_FALSE(avi.empty());
    TCommonModule& e = Engine();
    EXPECT_EQ(e.GenIDString(), "");  // nothing open

    const auto idOf = [&](const std::string& file) {
        ComPtr<IGraphBuilder> graph = NewGraph();
        EXPECT_EQ(graph->RenderFile(AnsiToWide(file).c_str(), nullptr), S_OK);
        e.Graph = graph;
        graph.As(&e.MediaSeeking);
        e.PlayingFileName = file;
        // The pins of the filter that splits the file: video first, then audio.
        ComPtr<IEnumFilters> filters;
        graph->EnumFilters(&filters);
        ComPtr<IBaseFilter> filter;
        while (filters->Next(1, filter.ReleaseAndGetAddressOf(), nullptr) == S_OK)
            if (ComPtr<IPin> video = FindPin(filter.Get(), PINDIR_OUTPUT, 0); video && FindPin(filter.Get(), PINDIR_OUTPUT, 1)) {
                e.VideoPins = {{video, pinRenders}};
                e.AudioPins = {{FindPin(filter.Get(), PINDIR_OUTPUT, 1), pinRenders}};
            }
        const std::string id = e.GenIDString();
        e.FlushGraph();
        return id;
    };
    const std::string id = idOf(avi);
    ASSERT_EQ(id.size(), 36u);
    // This platform's splitter hands out I420 video and PCM audio: I420 xor 1.
    EXPECT_EQ(id.substr(0, 9), "30323448-");

    const std::string copy = Dir.File("another name.avi");
    WriteAll(copy, ReadAll(avi));
    const std::string other = idOf(copy);
    EXPECT_EQ(other.substr(0, 24), id.substr(0, 24));  // same streams, same length
    EXPECT_NE(other.substr(24), id.substr(24));        // another name

    e.Graph = NewGraph();
    e.PlayingFileName = avi;
    e.VideoPins.clear();
    EXPECT_EQ(e.GenIDString(), "");  // no video: no memory
    e.Graph.Reset();
}

TEST_F(EngineMemoryTest, MonitorsOfThisDisplay)
{
    TCommonModule& e = Engine();
    ASSERT_FALSE(e.MonitorList.empty());
    MONITORINFO primary{};
    primary.cbSize = sizeof primary;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary));
    int primaries = 0;
    for (const TMonitorItem& monitor : e.MonitorList)
        if (monitor.Primary) {
            ++primaries;
            EXPECT_EQ(TRect(monitor.Bounds), TRect(primary.rcMonitor));
            EXPECT_EQ(TRect(monitor.WorkArea), TRect(primary.rcWork));
        }
    EXPECT_EQ(primaries, 1);
    // Entries without a device are left only at the end of the list.
    for (size_t i = 0; i + 1 < e.MonitorList.size(); ++i)
        EXPECT_TRUE(e.MonitorList[i].HasDeviceGuid) << i;

    const size_t before = e.MonitorList.size();
    EXPECT_TRUE(SUCCEEDED(e.EnumerateScreens()));  // appends
    EXPECT_GE(e.MonitorList.size(), before + 1);
}

TEST_F(EngineMemoryTest, AudioRenderersIncludeTheDefaultDirectSoundDevice)
{
    TCommonModule& e = Engine();
    const auto found = std::find_if(e.AudioDevices.begin(), e.AudioDevices.end(),
                                    [](const TAudioDeviceItem& item) { return item.DisplayName == DefaultAudioRender; });
    ASSERT_NE(found, e.AudioDevices.end());
    EXPECT_EQ(found->FriendlyName, L"Default DirectSound Device");
    EXPECT_TRUE(found->Moniker);

    EXPECT_EQ(EnumAudioRenderers(CLSID_AudioRendererCategory, nullptr), E_FAIL);
    std::vector<TAudioDeviceItem> none{TAudioDeviceItem{}};
    const GUID emptyCategory = {0x1234ABCD, 0x1, 0x2, {3, 4, 5, 6, 7, 8, 9, 10}};
    EXPECT_EQ(EnumAudioRenderers(emptyCategory, &none), S_FALSE);
    EXPECT_TRUE(none.empty());
}

std::vector<std::string> StoredFileHistory()
{
    TRegistry registry;
    std::vector<std::string> values;
    if (registry.OpenKeyReadOnly(HistoryKey(hkFiles)))
        for (int i = 0; registry.ValueExists("File" + IntToStr(i)); ++i)
            values.push_back(registry.ReadString("File" + IntToStr(i)));
    return values;
}

TEST_F(EngineMemoryTest, HistoryChangesAreWrittenThrough)
{
    TCommonModule& e = Engine();
    for (const wchar_t* name : {L"C:\\a.avi", L"C:\\b.avi", L"C:\\c.avi"})
        e.AddToHistory(name, hkFiles);
    e.AddToHistory(L"list.pls", hkPlaylists);  // kept elsewhere
    EXPECT_EQ(e.PlaylistHistory.Count(), 0);
    EXPECT_EQ(StoredFileHistory(), (std::vector<std::string>{"C:\\c.avi", "C:\\b.avi", "C:\\a.avi"}));

    WideString name;
    e.GetHistoryItem(hkFiles, 2, name);
    EXPECT_EQ(name, L"C:\\a.avi");
    EXPECT_EQ(StoredFileHistory(), (std::vector<std::string>{"C:\\a.avi", "C:\\c.avi", "C:\\b.avi"}));
    for (const auto& [kind, index] : {std::pair<int, int>{hkFiles, 3}, {hkFiles, -1}, {hkURLs, 0}}) {
        name = L"x";
        e.GetHistoryItem(kind, index, name);
        EXPECT_EQ(name, L"");
    }

    e.AddToHistory(L"http://example.com/stream", hkURLs);
    ASSERT_EQ(e.URLHistory.Count(), 1);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(HistoryKey(hkURLs)));
    EXPECT_EQ(registry.ReadString("URL0"), "http://example.com/stream");
    registry.CloseKey();
    registry.DeleteKey(HistoryKey(hkFiles));
    registry.DeleteKey(HistoryKey(hkURLs));
}

TEST_F(EngineMemoryTest, TagKindFollowsTheExtensionOrTheSplitter)
{
    TCommonModule& e = Engine();
    e.PlayingFileName = "clip.mp3";
    EXPECT_EQ(e.SupportsTags(), 0);  // nothing open
    e.Graph = NewGraph();
    const std::pair<const char*, int> cases[] = {{"clip.mp3", 1}, {"C:\\Film.Avi", 2}, {"tone.wav", 0}, {"stream", 0}};
    for (const auto& [file, kind] : cases) {
        e.PlayingFileName = file;
        EXPECT_EQ(e.SupportsTags(), kind) << file;
    }
    ComPtr<IBaseFilter> splitter;
    ASSERT_EQ(CoCreateInstance(CLSID_AviSplitter, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&splitter)), S_OK);
    ASSERT_EQ(e.Graph->AddFilter(splitter.Get(), L"AVI Splitter"), S_OK);
    e.PlayingFileName = "movie.dat";
    EXPECT_EQ(e.SupportsTags(), 2);
    e.FlushGraph();
}

}  // namespace
