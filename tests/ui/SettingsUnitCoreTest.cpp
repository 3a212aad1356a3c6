#include "ui/SettingsUnitCore.h"

#include <gtest/gtest.h>

namespace {
const TRendererEntry kVMR9{"VMR9", "vmr9", "Video Mixing Renderer 9"};
const TRendererEntry kVMR{"VMR", "vmr", "Video Mixing Renderer"};
const TRendererEntry kOverlay{"Overlay", "overlay", "Overlay Mixer"};
const TRendererEntry kOverlay2{"Overlay2", "overlay2", "Overlay Mixer2"};
const TRendererEntry kNormal{"Normal", "normal", "Video Renderer"};
// This platform's table.
const std::vector<TRendererEntry> kPlatformTable{kVMR9, kVMR, kNormal};
const std::vector<TRendererEntry> kAllFive{kVMR9, kVMR, kOverlay, kOverlay2, kNormal};

std::vector<std::string> Names(const std::vector<TRendererRow>& rows)
{
    std::vector<std::string> names;
    for (const TRendererRow& row : rows)
        names.push_back(row.DisplayName);
    return names;
}

TRendererLists Lists(const std::vector<TRendererEntry>& table, const std::vector<std::string>& preferred,
                     int availableSelected, int preferredSelected)
{
    TRendererLists lists = RendererListsFor(table, preferred);
    lists.AvailableSelected = availableSelected;
    lists.PreferredSelected = preferredSelected;
    return lists;
}
}

TEST(SettingsRenderers, LoadDefaultSortsEveryKind)
{
    const struct {
        std::vector<TRendererEntry> Table;
        std::vector<std::string> Preferred, Available;
    } cases[] = {
        {kAllFive, {"vmr9", "overlay", "normal"}, {"vmr", "overlay2"}},
        {kPlatformTable, {"vmr9", "normal"}, {"vmr"}},
        {{kVMR, kOverlay2, kNormal}, {"vmr", "normal"}, {"overlay2"}},   // VMR first: preferred
        {{kNormal, kVMR, kOverlay2}, {"normal"}, {"vmr", "overlay2"}},   // VMR after the Video Renderer: available
        {{}, {}, {}},
    };
    for (const auto& c : cases) {
        TRendererLists lists = Lists(kAllFive, {"overlay2"}, 0, 0);  // what was shown goes
        LoadDefaultRenderers(c.Table, lists);
        EXPECT_EQ(Names(lists.Preferred), c.Preferred);
        EXPECT_EQ(Names(lists.Available), c.Available);
        EXPECT_EQ(lists.PreferredSelected, -1);
        EXPECT_EQ(lists.AvailableSelected, -1);
    }
}

TEST(SettingsRenderers, ListsFromTheSettingsDropUnknownNames)
{
    const TRendererLists lists = RendererListsFor(kAllFive, {"NORMAL", "gone", "vmr"});
    EXPECT_EQ(Names(lists.Preferred), (std::vector<std::string>{"normal", "vmr"}));
    EXPECT_EQ(Names(lists.Available), (std::vector<std::string>{"vmr9", "overlay", "overlay2"}));
    EXPECT_EQ(lists.Preferred[0].Caption, "Video Renderer");
    EXPECT_EQ(lists.Preferred[0].Index, 4);
}

TEST(SettingsRenderers, MovesBetweenAndWithinTheLists)
{
    using TMove = void (*)(TRendererLists&);
    const struct {
        const char* Name;
        TMove Move;
        int AvailableSelected, PreferredSelected;
        std::vector<std::string> Available, Preferred;
        int AvailableAfter, PreferredAfter;
    } cases[] = {
        // Preferred starts as vmr9, overlay, normal; Available as vmr, overlay2.
        {"to preferred", MoveToPreferred, 1, -1, {"vmr"}, {"vmr9", "overlay", "normal", "overlay2"}, -1, 3},
        {"to preferred, no selection", MoveToPreferred, -1, 0, {"vmr", "overlay2"}, {"vmr9", "overlay", "normal"}, -1, 0},
        {"to available by index", MoveToAvailable, -1, 1, {"vmr", "overlay", "overlay2"}, {"vmr9", "normal"}, -1, -1},
        {"to available first", MoveToAvailable, -1, 0, {"vmr9", "vmr", "overlay2"}, {"overlay", "normal"}, -1, -1},
        {"to available last", MoveToAvailable, -1, 2, {"vmr", "overlay2", "normal"}, {"vmr9", "overlay"}, -1, -1},
        {"up inside", MovePreferredUp, -1, 2, {"vmr", "overlay2"}, {"vmr9", "normal", "overlay"}, -1, 1},
        {"up at the top", MovePreferredUp, -1, 0, {"vmr", "overlay2"}, {"vmr9", "overlay", "normal"}, -1, 0},
        {"up, no selection", MovePreferredUp, -1, -1, {"vmr", "overlay2"}, {"vmr9", "overlay", "normal"}, -1, -1},
        {"down inside", MovePreferredDown, -1, 0, {"vmr", "overlay2"}, {"overlay", "vmr9", "normal"}, -1, 1},
        {"down at the bottom", MovePreferredDown, -1, 2, {"vmr", "overlay2"}, {"vmr9", "overlay", "normal"}, -1, 2},
        {"down, out of range", MovePreferredDown, -1, 7, {"vmr", "overlay2"}, {"vmr9", "overlay", "normal"}, -1, 7},
    };
    for (const auto& c : cases) {
        TRendererLists lists;
        LoadDefaultRenderers(kAllFive, lists);
        lists.AvailableSelected = c.AvailableSelected;
        lists.PreferredSelected = c.PreferredSelected;
        c.Move(lists);
        EXPECT_EQ(Names(lists.Available), c.Available) << c.Name;
        EXPECT_EQ(Names(lists.Preferred), c.Preferred) << c.Name;
        EXPECT_EQ(lists.AvailableSelected, c.AvailableAfter) << c.Name;
        EXPECT_EQ(lists.PreferredSelected, c.PreferredAfter) << c.Name;
    }
}

TEST(SettingsRenderers, RepeatedDownCarriesTheRowToTheEnd)
{
    TRendererLists lists;
    LoadDefaultRenderers(kAllFive, lists);
    lists.PreferredSelected = 0;
    for (int i = 0; i < 4; ++i)
        MovePreferredDown(lists);
    EXPECT_EQ(PreferredNames(lists), (std::vector<std::string>{"overlay", "normal", "vmr9"}));
    EXPECT_EQ(lists.PreferredSelected, 2);
}

TEST(SettingsDialogValues, FirstRunShowsTheDialogsOwnValues)
{
    TPlayerSettings engine;  // whatever the engine holds is not shown on the first run
    engine.ResumeMode = 0;
    engine.SpeakerType = 5;
    engine.HistoryFiles = 9;
    engine.FullScreenMonitor = 2;
    engine.HTTPProxyName = "proxy";
    const std::vector<TAudioDeviceRow> devices{{"Default DirectSound Device", kDefaultAudioRender, false}};
    engine.AudioRender = kDefaultAudioRender;
    const TSettingsDialogValues v = DialogValuesFor(engine, true, devices, kPlatformTable, 3);
    EXPECT_FALSE(v.CancelEnabled);
    EXPECT_EQ(v.ResumeRadio, 2);
    EXPECT_EQ(v.Speaker, 1);
    EXPECT_EQ(v.HistoryFiles, 5);
    EXPECT_EQ(v.Monitor, 0);
    EXPECT_EQ(v.AudioDevice, 0);
    EXPECT_EQ(v.ProxyName, "");
    EXPECT_TRUE(v.FitToVideo);
    EXPECT_FALSE(v.FitToPlayer);
    EXPECT_EQ(Names(v.Renderers.Preferred), (std::vector<std::string>{"vmr9", "normal"}));
    EXPECT_EQ(Names(v.Renderers.Available), (std::vector<std::string>{"vmr"}));

    // Applying them gives the model's own values and the default order.
    TPlayerSettings applied = engine;
    ApplyDialogValues(v, devices, applied);
    TPlayerSettings expected;
    expected.PreferredVideoRenderers = {"vmr9", "normal"};
    EXPECT_EQ(applied, expected);
}

TEST(SettingsDialogValues, ChoicesByValueIncludingOutOfRange)
{
    const struct {
        int Value;
        int Resume, Buffer, Proxy;
        bool FitToPlayer, FitToVideo;
    } cases[] = {
        {0, 0, 0, 0, true, false},
        {1, 1, 1, 1, false, true},
        {2, 2, -1, 2, false, true},  // no size or buffer choice of 2: the size keeps the dialog's own
        {-1, 2, -1, -1, false, true},
        {7, 2, -1, -1, false, true},
    };
    for (const auto& c : cases) {
        TPlayerSettings s;
        s.ResumeMode = s.BufferMode = s.HTTPProxyMode = s.SizeMode = c.Value;
        const TSettingsDialogValues v = DialogValuesFor(s, false, {}, {}, 1);
        EXPECT_TRUE(v.CancelEnabled);
        EXPECT_EQ(v.ResumeRadio, c.Resume) << c.Value;
        EXPECT_EQ(v.BufferRadio, c.Buffer) << c.Value;
        EXPECT_EQ(v.ProxyRadio, c.Proxy) << c.Value;
        EXPECT_EQ(v.FitToPlayer, c.FitToPlayer) << c.Value;
        EXPECT_EQ(v.FitToVideo, c.FitToVideo) << c.Value;
        // A group with no choice leaves its value alone on OK.
        TPlayerSettings back = s;
        ApplyDialogValues(v, {}, back);
        EXPECT_EQ(back.BufferMode, c.Buffer < 0 ? c.Value : c.Buffer) << c.Value;
        EXPECT_EQ(back.HTTPProxyMode, c.Proxy < 0 ? c.Value : c.Proxy) << c.Value;
    }
}

TEST(SettingsDialogValues, AudioDeviceAndSpdif)
{
    const std::vector<TAudioDeviceRow> devices{{"Speakers", "dev:a", false}, {"Digital", "dev:b", true}};
    TPlayerSettings s;
    s.PerfereSPDIF = true;
    s.AudioRender = "dev:b";
    TSettingsDialogValues v = DialogValuesFor(s, false, devices, {}, 1);
    EXPECT_EQ(v.AudioDevice, 1);
    EXPECT_TRUE(v.SPDIFEnabled);
    EXPECT_TRUE(v.SPDIFChecked);

    s.AudioRender = "dev:a";
    v = DialogValuesFor(s, false, devices, {}, 1);
    EXPECT_FALSE(v.SPDIFEnabled);
    EXPECT_FALSE(v.SPDIFChecked);

    // No device matches: none chosen, and OK keeps the stored device; a box that is checked
    // but disabled does not count.
    s.AudioRender = "dev:gone";
    v = DialogValuesFor(s, false, devices, {}, 1);
    EXPECT_EQ(v.AudioDevice, -1);
    v.SPDIFChecked = true;
    TPlayerSettings back = s;
    ApplyDialogValues(v, devices, back);
    EXPECT_EQ(back.AudioRender, "dev:gone");
    EXPECT_FALSE(back.PerfereSPDIF);
    v.AudioDevice = 1;
    v.SPDIFEnabled = true;
    ApplyDialogValues(v, devices, back);
    EXPECT_EQ(back.AudioRender, "dev:b");
    EXPECT_TRUE(back.PerfereSPDIF);
}

TEST(SettingsDialogValues, MonitorChoiceNeedsTwoMonitors)
{
    TPlayerSettings s;
    s.FullScreenMonitor = 2;
    EXPECT_EQ(DialogValuesFor(s, false, {}, {}, 3).Monitor, 2);
    EXPECT_EQ(DialogValuesFor(s, false, {}, {}, 2).Monitor, 0);  // one monitor: "Active Monitor"
    s.FullScreenMonitor = 3;
    EXPECT_EQ(DialogValuesFor(s, false, {}, {}, 3).Monitor, 0);  // beyond the list
}

TEST(SettingsDialogValues, EnablingRules)
{
    const struct {
        int Buffer;
        bool UDP, FixedPort, HTTP;
        int Proxy;
        TNetworkEnabling Expected;
    } cases[] = {
        {1, true, true, true, 2, {true, true, true, true}},
        {0, true, false, true, 1, {false, false, true, false}},
        {-1, false, true, false, 2, {false, false, false, false}},
        {1, true, true, false, 2, {true, true, false, false}},
    };
    for (const auto& c : cases) {
        TSettingsDialogValues v;
        v.BufferRadio = c.Buffer;
        v.UDP = c.UDP;
        v.UDPFixedPort = c.FixedPort;
        v.HTTP = c.HTTP;
        v.ProxyRadio = c.Proxy;
        const TNetworkEnabling e = NetworkEnabling(v);
        EXPECT_EQ(e.BufferSecs, c.Expected.BufferSecs);
        EXPECT_EQ(e.UDPPort, c.Expected.UDPPort);
        EXPECT_EQ(e.ProxyRadios, c.Expected.ProxyRadios);
        EXPECT_EQ(e.ProxyButton, c.Expected.ProxyButton);
    }
}

TEST(SettingsDialogValues, SpinEditTexts)
{
    EXPECT_EQ(SpinEditValue("12", 5, 0, 100), 12);
    EXPECT_EQ(SpinEditValue(" 7 ", 5, 0, 100), 7);
    EXPECT_EQ(SpinEditValue("abc", 5, 0, 100), 5);
    EXPECT_EQ(SpinEditValue("", 5, 0, 100), 5);
    EXPECT_EQ(SpinEditValue("-3", 5, 0, 100), 0);
    EXPECT_EQ(SpinEditValue("99999999999", 5, 0, 65535), 65535);
}

TEST(SettingsDialogLists, MonitorsSpeakersExtensions)
{
    EXPECT_EQ(MonitorItems({{"Primary display driver", true}, {"Second", false}}),
              (std::vector<std::string>{"Active Monitor", "Primary display driver [Primary]", "Second"}));
    EXPECT_EQ(MonitorItems({}), (std::vector<std::string>{"Active Monitor"}));
    EXPECT_EQ(SpeakerPictureName(0), "IDI_SPK1");
    EXPECT_EQ(SpeakerPictureName(8), "IDI_SPK9");
    EXPECT_EQ(SpeakerPictureName(9), "IDI_SPK2");
    EXPECT_STREQ(SpeakerNames[1], "2 Speakers (Stereo)");
    EXPECT_EQ(ShellExtensions({"All Media Files|*.avi;*.MPG; *.avi;*.*;*.mp3", "Video|*.mkv"}),
              (std::vector<std::string>{"avi", "MPG", "mp3"}));
    EXPECT_TRUE(ShellExtensions({}).empty());
    EXPECT_TRUE(ShellExtensions({"no bar"}).empty());
}
