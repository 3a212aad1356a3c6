#include "ui/SettingsModel.h"

#include "tests/ui/MemorySettingsStore.h"

#include <gtest/gtest.h>

using pvltest::TMemorySettingsStore;
using pvltest::TOtherType;
using pvltest::TStoredValue;

namespace {
// Every value differs from what the player starts with.
TPlayerSettings NonDefaultSettings()
{
    TPlayerSettings s;
    s.ResumeMode = 0;
    s.Autoplay = false;
    s.NoDXWarning = true;
    s.HistoryFiles = 3;
    s.HistoryPlaylists = 4;
    s.HistoryURLs = 6;
    s.SpeakerType = 7;
    s.PerfereSPDIF = true;
    s.AudioRender = "@device:cm:{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}\\DirectSound: Speakers";
    s.MasterVolume = 7321;
    s.MasterVolumeMute = true;
    s.ColorHue = -12;
    s.ColorBrightness = 34;
    s.ColorContrast = -56;
    s.ColorSaturation = 78;
    s.FullScreenMonitor = 2;
    s.SizeMode = 0;
    s.BufferMode = 0;
    s.BufferSecs = 17;
    s.PerfereAGPMem = true;
    s.PreferredVideoRenderers = {"@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}\\{70E102B0-5556-11CE-97C0-00AA0055595A}",
                                 "@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}\\{51B4ABF3-748F-4E3B-A276-C828330E926A}"};
    s.Multicast = false;
    s.TCP = false;
    s.UDP = false;
    s.UDPFixedPort = true;
    s.UDPPort = 7777;
    s.HTTP = false;
    s.HTTPProxyMode = 2;
    s.HTTPProxyName = "proxy.example";
    s.HTTPProxyPort = 8080;
    s.TimeMode = 1;
    s.ShowTimeStampWithBookmarks = false;
    s.Visuals = 5;
    s.VisualsUseFade = false;
    s.VisualsShowPeaks = false;
    s.VisualsInterval = 50;
    s.DisplayColor = 3;
    s.ActiveExtras = 4;
    s.VideoOnTop = true;
    s.ControlPos = TWindowPosRecord{0, 100, 120, 385, 140};
    s.VideoPos = TWindowPosRecord{0, 300, 200, 640, 480};
    s.PlaylistPos = TWindowPosRecord{1, -20, 30, 248, 381};
    s.PreAmp = 250;
    s.DynAmpMaxAmp = 4000;
    s.DynAmpAttack = 2500;
    s.DynAmpRelease = 9000;
    s.EqPreset = -1;
    s.Eq = {-100, -50, -1, 0, 1, 25, 50, 75, 99, 100};
    s.Hue = 11;
    s.Saturation = -22;
    s.Brightness = 33;
    s.Contrast = -44;
    return s;
}

std::vector<uint8_t> Bytes(std::initializer_list<int> values)
{
    std::vector<uint8_t> out;
    for (const int v : values)
        out.push_back(static_cast<uint8_t>(v));
    return out;
}

TMemorySettingsStore StoreWithGeneral()
{
    TMemorySettingsStore store;
    store.Key(SettingsKeyPath("General"));
    return store;
}
}

TEST(SettingsModel, EveryValueIsWrittenUnderItsRegistryName)
{
    TMemorySettingsStore store;
    WriteSettingsModel(store, NonDefaultSettings());
    struct Expected {
        const char* Section;
        const char* Name;
        TStoredValue Value;
    };
    const Expected table[] = {
        {"General", "ResumeMode", 0},
        {"General", "Autoplay", 0},
        {"General", "NoDXWarning", 1},
        {"History", "Files", 3},
        {"History", "Playlists", 4},
        {"History", "URLs", 6},
        {"Audio", "SpeakerType", 7},
        {"Audio", "PerfereSPDIF", 1},
        {"Audio", "AudioRender", std::string("@device:cm:{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}\\DirectSound: Speakers")},
        {"Audio", "MasterVolume", 7321},
        {"Audio", "MasterVolumeMute", 1},
        {"Video", "ColorHue", -12},
        {"Video", "ColorBrightness", 34},
        {"Video", "ColorContrast", -56},
        {"Video", "ColorSaturation", 78},
        {"Video", "FullScreenMonitor", 2},
        {"Video", "SizeMode", 0},
        {"Network", "BufferMode", 0},
        {"Network", "BufferSecs", 17},
        {"Advanced Video", "PerfereAGPMem", 1},
        {"Advanced Video", "PerferedVideoRender0",
         std::string("@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}\\{70E102B0-5556-11CE-97C0-00AA0055595A}")},
        {"Advanced Video", "PerferedVideoRender1",
         std::string("@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}\\{51B4ABF3-748F-4E3B-A276-C828330E926A}")},
        {"Advanced Network", "Multicast", 0},
        {"Advanced Network", "TCP", 0},
        {"Advanced Network", "UDP", 0},
        {"Advanced Network", "UDP FIXED PORT", 1},
        {"Advanced Network", "UDP PORT", 7777},
        {"Advanced Network", "HTTP", 0},
        {"Advanced Network", "HTTP Proxy Mode", 2},
        {"Advanced Network", "HTTP Proxy Name", std::string("proxy.example")},
        {"Advanced Network", "HTTP Proxy Port", 8080},
        {"Interface", "TimeMode", 1},
        {"Interface", "ShowTimeStampWithBookmarks", 0},
        {"Interface", "Visuals", 5},
        {"Interface", "VisualsUseFade", 0},
        {"Interface", "VisualsShowPeaks", 0},
        {"Interface", "DisplayColor", 3},
        {"Interface", "VideoOnTop", 1},
        {"Interface", "VisualsUpdateSpeed", 2},
        {"Interface", "ControlPos", Bytes({0, 0, 0, 0, 100, 0, 0, 0, 120, 0, 0, 0, 0x81, 1, 0, 0, 140, 0, 0, 0})},
        {"Interface", "VideoPos", Bytes({0, 0, 0, 0, 0x2C, 1, 0, 0, 200, 0, 0, 0, 0x80, 2, 0, 0, 0xE0, 1, 0, 0})},
        {"Interface", "PlaylistPos", Bytes({1, 0, 0, 0, 0xEC, 0xFF, 0xFF, 0xFF, 30, 0, 0, 0, 248, 0, 0, 0, 0x7D, 1, 0, 0})},
        {"Interface", "ActiveExtras", 4},
        {"Extras EQ", "PreAmp", 250},
        {"Extras EQ", "DynAmp_MaxAmp", 4000},
        {"Extras EQ", "DynAmp_Attack", 2500},
        {"Extras EQ", "DynAmp_Release", 9000},
        {"Extras EQ", "EqPreset", -1},
        {"Extras EQ", "Eq", Bytes({-100, -50, -1, 0, 1, 25, 50, 75, 99, 100})},
        {"Extras Color Controls", "Hue", 11},
        {"Extras Color Controls", "Saturation", -22},
        {"Extras Color Controls", "Brightness", 33},
        {"Extras Color Controls", "Contrast", -44},
    };
    size_t written = 0;
    for (const auto& [path, key] : store.Keys)
        written += key.size();
    EXPECT_EQ(written, std::size(table)) << "a value is written that the table does not know";
    for (const Expected& e : table) {
        const TStoredValue* stored = store.Find(SettingsKeyPath(e.Section), e.Name);
        ASSERT_NE(stored, nullptr) << e.Section << "\\" << e.Name;
        EXPECT_TRUE(*stored == e.Value) << e.Section << "\\" << e.Name;
    }
    EXPECT_EQ(store.Find(SettingsKeyPath("General"), "UseSRS"), nullptr);
    EXPECT_EQ(store.Find(SettingsKeyPath("Extras EQ"), "Snd3D"), nullptr);
}

TEST(SettingsModel, NonDefaultValuesRoundTrip)
{
    TMemorySettingsStore store;
    const TPlayerSettings written = NonDefaultSettings();
    WriteSettingsModel(store, written);
    TPlayerSettings read;
    ASSERT_TRUE(ReadSettingsModel(store, read));
    EXPECT_TRUE(read == written);
}

TEST(SettingsModel, FirstRunWithoutGeneralReadsNothing)
{
    TMemorySettingsStore store;
    WriteSettingsModel(store, NonDefaultSettings());
    store.Keys.erase(TMemorySettingsStore::Normal(SettingsKeyPath("General")));
    store.Key(HistoryKeyPath("Files"))["File0"] = std::string("C:\\a.avi");
    TPlayerSettings read;
    EXPECT_FALSE(ReadSettingsModel(store, read));
    EXPECT_TRUE(read == TPlayerSettings{});
}

TEST(SettingsModel, MissingValuesTakeTheirDefaultsOrKeepTheirTarget)
{
    TMemorySettingsStore store;
    for (const char* section : {"General", "History", "Audio", "Video", "Network", "Advanced Video", "Advanced Network",
                                "Interface", "Extras EQ", "Extras Color Controls"})
        store.Key(SettingsKeyPath(section));
    const TPlayerSettings before = NonDefaultSettings();
    TPlayerSettings s = before;
    ASSERT_TRUE(ReadSettingsModel(store, s));

    TPlayerSettings expected;  // the table's defaults...
    // ...except the values that keep what the player holds.
    expected.BufferMode = before.BufferMode;
    expected.BufferSecs = before.BufferSecs;
    expected.Multicast = before.Multicast;
    expected.TCP = before.TCP;
    expected.UDP = before.UDP;
    expected.UDPFixedPort = before.UDPFixedPort;
    expected.UDPPort = before.UDPPort;
    expected.HTTP = before.HTTP;
    expected.HTTPProxyMode = before.HTTPProxyMode;
    expected.HTTPProxyName = before.HTTPProxyName;
    expected.HTTPProxyPort = before.HTTPProxyPort;
    expected.PreAmp = before.PreAmp;
    expected.DynAmpMaxAmp = before.DynAmpMaxAmp;
    expected.DynAmpAttack = before.DynAmpAttack;
    expected.DynAmpRelease = before.DynAmpRelease;
    expected.Hue = before.Hue;
    expected.Saturation = before.Saturation;
    expected.Brightness = before.Brightness;
    expected.Contrast = before.Contrast;
    expected.Eq = before.Eq;  // the bands are only read with preset -1
    EXPECT_TRUE(s == expected);
}

TEST(SettingsModel, MissingSectionLeavesItsTargetsUntouched)
{
    TMemorySettingsStore store = StoreWithGeneral();
    const TPlayerSettings before = NonDefaultSettings();
    TPlayerSettings s = before;
    ASSERT_TRUE(ReadSettingsModel(store, s));
    TPlayerSettings expected = before;
    expected.ResumeMode = 2;  // General exists: its own values take their defaults
    expected.Autoplay = true;
    expected.NoDXWarning = false;
    EXPECT_TRUE(s == expected);
}

TEST(SettingsModel, WrongTypeOrOutOfRangeCountsAsMissing)
{
    struct Case {
        const char* Section;
        const char* Name;
        TStoredValue Bad;
    };
    const Case cases[] = {
        {"General", "ResumeMode", 3},
        {"General", "Autoplay", 2},
        {"General", "Autoplay", std::string("1")},
        {"History", "Files", -1},
        {"Audio", "SpeakerType", 9},
        {"Audio", "AudioRender", 5},
        {"Audio", "MasterVolume", 10001},
        {"Audio", "MasterVolumeMute", TOtherType{}},
        {"Video", "ColorHue", 101},
        {"Video", "ColorSaturation", -101},
        {"Video", "SizeMode", 2},
        {"Video", "FullScreenMonitor", -1},
        {"Interface", "TimeMode", 2},
        {"Interface", "Visuals", 6},
        {"Interface", "DisplayColor", 4},
        {"Interface", "ActiveExtras", 7},
        {"Interface", "ControlPos", Bytes({0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0})},
        {"Interface", "VideoPos", Bytes({0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0})},
        {"Interface", "PlaylistPos", 20},
        {"Extras EQ", "EqPreset", 19},
    };
    for (const Case& c : cases) {
        TMemorySettingsStore store;
        WriteSettingsModel(store, NonDefaultSettings());
        store.Key(SettingsKeyPath(c.Section))[c.Name] = c.Bad;
        TPlayerSettings fromBad, fromMissing;
        ASSERT_TRUE(ReadSettingsModel(store, fromBad));
        store.Key(SettingsKeyPath(c.Section)).erase(c.Name);
        ASSERT_TRUE(ReadSettingsModel(store, fromMissing));
        EXPECT_TRUE(fromBad == fromMissing) << c.Section << "\\" << c.Name;
        EXPECT_FALSE(fromBad == NonDefaultSettings()) << c.Section << "\\" << c.Name << " was not read at all";
    }
}

TEST(SettingsModel, KeptValueOutOfRangeKeepsThePlayersValue)
{
    TMemorySettingsStore store = StoreWithGeneral();
    auto& network = store.Key(SettingsKeyPath("Advanced Network"));
    network["UDP PORT"] = 70000;
    network["HTTP Proxy Mode"] = 3;
    network["TCP"] = std::string("yes");
    TPlayerSettings s;
    s.UDPPort = 1234;
    s.HTTPProxyMode = 0;
    s.TCP = false;
    ASSERT_TRUE(ReadSettingsModel(store, s));
    EXPECT_EQ(s.UDPPort, 1234);
    EXPECT_EQ(s.HTTPProxyMode, 0);
    EXPECT_FALSE(s.TCP);
}

TEST(SettingsModel, VisualsUpdateSpeedMapsToIntervals)
{
    const struct {
        int32_t Stored, Interval, WrittenBack;
    } cases[] = {{0, 15, 0}, {1, 30, 1}, {2, 50, 2}, {7, 30, 1}, {-1, 30, 1}};
    for (const auto& c : cases) {
        TMemorySettingsStore store = StoreWithGeneral();
        store.Key(SettingsKeyPath("Interface"))["VisualsUpdateSpeed"] = c.Stored;
        TPlayerSettings s;
        ASSERT_TRUE(ReadSettingsModel(store, s));
        EXPECT_EQ(s.VisualsInterval, c.Interval) << c.Stored;
        WriteSettingsModel(store, s);
        EXPECT_TRUE(*store.Find(SettingsKeyPath("Interface"), "VisualsUpdateSpeed") == TStoredValue(c.WrittenBack));
    }
}

TEST(SettingsModel, CustomPresetNeedsItsBands)
{
    const struct {
        std::optional<std::vector<uint8_t>> Eq;
        int32_t Preset;
    } cases[] = {
        {std::nullopt, 0},
        {Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9}), 0},
        {Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 101}), 0},
        {Bytes({-1, 2, -3, 4, -5, 6, -7, 8, -9, 10}), -1},
    };
    for (const auto& c : cases) {
        TMemorySettingsStore store = StoreWithGeneral();
        auto& eq = store.Key(SettingsKeyPath("Extras EQ"));
        eq["EqPreset"] = -1;
        if (c.Eq)
            eq["Eq"] = *c.Eq;
        TPlayerSettings s;
        ASSERT_TRUE(ReadSettingsModel(store, s));
        EXPECT_EQ(s.EqPreset, c.Preset);
        if (c.Preset == -1) {
            EXPECT_EQ(s.Eq, (std::array<int8_t, 10>{-1, 2, -3, 4, -5, 6, -7, 8, -9, 10}));
        }
    }
}

TEST(SettingsModel, HiddenExtrasPanelStaysHidden)
{
    for (const int32_t stored : {-1, -5}) {
        TMemorySettingsStore store = StoreWithGeneral();
        store.Key(SettingsKeyPath("Interface"))["ActiveExtras"] = stored;
        TPlayerSettings s;
        ASSERT_TRUE(ReadSettingsModel(store, s));
        EXPECT_EQ(s.ActiveExtras, -1);
        WriteSettingsModel(store, s);
        EXPECT_TRUE(*store.Find(SettingsKeyPath("Interface"), "ActiveExtras") == TStoredValue(-1));
    }
}

TEST(SettingsModel, HistoryListsStopAtTheirLengthOrTheFirstGap)
{
    TMemorySettingsStore store = StoreWithGeneral();
    store.Key(SettingsKeyPath("History"))["Files"] = 3;
    auto& files = store.Key(HistoryKeyPath("Files"));
    for (int n = 0; n < 5; ++n)
        files["File" + IntToStr(n)] = "f" + IntToStr(n);
    auto& urls = store.Key(HistoryKeyPath("URL"));
    urls["URL0"] = std::string("http://a");
    urls["URL2"] = std::string("http://c");
    TPlayerSettings s;
    s.PlaylistHistory = {"stale"};
    ASSERT_TRUE(ReadSettingsModel(store, s));
    EXPECT_EQ(s.FileHistory, (std::vector<std::string>{"f0", "f1", "f2"}));
    EXPECT_EQ(s.URLHistory, (std::vector<std::string>{"http://a"}));
    EXPECT_TRUE(s.PlaylistHistory.empty());
}

TEST(SettingsModel, SurroundFlagIsPresenceOnlyAndNeverWritten)
{
    TMemorySettingsStore store = StoreWithGeneral();
    TPlayerSettings s;
    ASSERT_TRUE(ReadSettingsModel(store, s));
    EXPECT_FALSE(s.UseSRS);
    store.Key(SettingsKeyPath("General"))["UseSRS"] = TOtherType{};
    ASSERT_TRUE(ReadSettingsModel(store, s));
    EXPECT_TRUE(s.UseSRS);
    TMemorySettingsStore fresh;
    WriteSettingsModel(fresh, s);
    EXPECT_EQ(fresh.Find(SettingsKeyPath("General"), "UseSRS"), nullptr);
}

TEST(SettingsModel, WritingRenderersReplacesTheWholeOldList)
{
    TMemorySettingsStore store = StoreWithGeneral();
    auto& video = store.Key(SettingsKeyPath("Advanced Video"));
    for (int n = 0; n < 4; ++n)
        video["PerferedVideoRender" + IntToStr(n)] = "old" + IntToStr(n);
    TPlayerSettings s;
    s.PreferredVideoRenderers = {"new0"};
    WriteSettingsModel(store, s);
    EXPECT_TRUE(*store.Find(SettingsKeyPath("Advanced Video"), "PerferedVideoRender0") == TStoredValue(std::string("new0")));
    for (int n = 1; n < 4; ++n)
        EXPECT_EQ(store.Find(SettingsKeyPath("Advanced Video"), "PerferedVideoRender" + IntToStr(n)), nullptr);
}

TEST(SettingsModel, WindowRecordIsFiveLittleEndianIntegers)
{
    const TWindowPosRecord record{1, -2, 300, 385, 70000};
    const std::vector<uint8_t> bytes = EncodeWindowPos(record);
    EXPECT_EQ(bytes, Bytes({1, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 0x2C, 1, 0, 0, 0x81, 1, 0, 0, 0x70, 0x11, 1, 0}));
    EXPECT_EQ(DecodeWindowPos(bytes), record);
    EXPECT_EQ(DecodeWindowPos(EncodeWindowPos({-1, 0, 0, 10, 10})), std::nullopt);
    EXPECT_EQ(DecodeWindowPos(EncodeWindowPos({0, 0, 0, 10, 0})), std::nullopt);
    EXPECT_EQ(DecodeWindowPos(Bytes({1, 2, 3})), std::nullopt);
}

TEST(SettingsModel, DefaultRendererOrderFromTheTable)
{
    const TRendererEntry vmr9{"VMR9", "vmr9", ""}, vmr{"VMR", "vmr", ""}, overlay{"Overlay", "overlay", ""},
        overlay2{"Overlay2", "overlay2", ""}, normal{"Normal", "normal", ""};
    const struct {
        std::vector<TRendererEntry> Table;
        std::vector<std::string> Preferred;
    } cases[] = {
        {{vmr9, vmr, overlay, overlay2, normal}, {"vmr9", "overlay", "normal"}},
        {{vmr9, vmr, normal}, {"vmr9", "normal"}},            // this platform's set
        {{vmr, overlay2, normal}, {"vmr", "normal"}},         // the older mixer leads when nothing is before it
        {{overlay2, normal, vmr}, {"normal"}},                // but not behind another choice
        {{}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DefaultPreferredRenderers(c.Table), c.Preferred) << c.Table.size();
}
