// The settings of the real program in the registry: every value survives a run.
#include "tests/ui/PlayerHarness.h"

#include "ui/SettingsModel.h"

#include "framework/Registry.h"

#include <gtest/gtest.h>

#include <variant>

using namespace pvltest;

namespace {
using TValue = std::variant<int32_t, std::string, std::vector<uint8_t>>;
struct TEntry {
    const char* Section;
    const char* Name;
    TValue Value;
};

std::vector<uint8_t> Record(const TWindowPosRecord& r)
{
    return EncodeWindowPos(r);
}

const std::string kVmr9 = "@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}\\{51B4ABF3-748F-4E3B-A276-C828330E926A}";
const std::string kVideoRenderer = "@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}\\{70E102B0-5556-11CE-97C0-00AA0055595A}";

// Every value of the schema, none at the value the player starts with.
std::vector<TEntry> NonDefaultValues()
{
    return {
        {"General", "ResumeMode", 1},
        {"General", "Autoplay", 0},
        {"General", "NoDXWarning", 1},
        {"History", "Files", 7},
        {"History", "Playlists", 3},
        {"History", "URLs", 4},
        {"Audio", "SpeakerType", 5},
        {"Audio", "PerfereSPDIF", 1},
        {"Audio", "AudioRender", std::string("@device:cm:{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}\\DirectSound: Speakers")},
        {"Audio", "MasterVolume", 6543},
        {"Audio", "MasterVolumeMute", 1},
        {"Video", "ColorHue", -10},
        {"Video", "ColorBrightness", 20},
        {"Video", "ColorContrast", -30},
        {"Video", "ColorSaturation", 40},
        {"Video", "FullScreenMonitor", 1},
        {"Video", "SizeMode", 0},
        {"Network", "BufferMode", 0},
        {"Network", "BufferSecs", 12},
        {"Advanced Video", "PerfereAGPMem", 1},
        {"Advanced Video", "PerferedVideoRender0", kVideoRenderer},
        {"Advanced Video", "PerferedVideoRender1", kVmr9},
        {"Advanced Network", "Multicast", 0},
        {"Advanced Network", "TCP", 0},
        {"Advanced Network", "UDP", 0},
        {"Advanced Network", "UDP FIXED PORT", 1},
        {"Advanced Network", "UDP PORT", 5004},
        {"Advanced Network", "HTTP", 0},
        {"Advanced Network", "HTTP Proxy Mode", 2},
        {"Advanced Network", "HTTP Proxy Name", std::string("proxy.example")},
        {"Advanced Network", "HTTP Proxy Port", 3128},
        {"Interface", "TimeMode", 1},
        {"Interface", "ShowTimeStampWithBookmarks", 0},
        {"Interface", "Visuals", 4},
        {"Interface", "VisualsUseFade", 0},
        {"Interface", "VisualsShowPeaks", 0},
        {"Interface", "DisplayColor", 2},
        {"Interface", "VideoOnTop", 1},
        {"Interface", "VisualsUpdateSpeed", 0},
        {"Interface", "VideoPos", Record({0, 200, 150, 640, 360})},
        {"Interface", "PlaylistPos", Record({0, 900, 100, 250, 380})},
        {"Interface", "ActiveExtras", 5},
        {"Extras EQ", "PreAmp", 300},
        {"Extras EQ", "DynAmp_MaxAmp", 5000},
        {"Extras EQ", "DynAmp_Attack", 200},
        {"Extras EQ", "DynAmp_Release", 7000},
        {"Extras EQ", "EqPreset", -1},
        {"Extras EQ", "Eq", std::vector<uint8_t>{0x9C, 0xCE, 0xFF, 0, 1, 10, 20, 30, 40, 100}},
        {"Extras Color Controls", "Hue", 15},
        {"Extras Color Controls", "Saturation", -25},
        {"Extras Color Controls", "Brightness", 35},
        {"Extras Color Controls", "Contrast", -45},
    };
}

void WriteValue(TRegistry& reg, const TEntry& e)
{
    ASSERT_TRUE(reg.OpenKey(SettingsKeyPath(e.Section), true));
    if (const auto* i = std::get_if<int32_t>(&e.Value))
        reg.WriteInteger(e.Name, *i);
    else if (const auto* s = std::get_if<std::string>(&e.Value))
        reg.WriteString(e.Name, *s);
    else
        reg.WriteBinaryData(e.Name, std::get<std::vector<uint8_t>>(e.Value).data(),
                            static_cast<int>(std::get<std::vector<uint8_t>>(e.Value).size()));
}

TValue ReadValue(TRegistry& reg, const TEntry& e)
{
    if (!reg.OpenKeyReadOnly(SettingsKeyPath(e.Section)) || !reg.ValueExists(e.Name))
        return std::string("<missing>");
    switch (reg.GetDataType(e.Name)) {
    case rdInteger: return reg.ReadInteger(e.Name);
    case rdString: return reg.ReadString(e.Name);
    default: return reg.ReadBinary(e.Name);
    }
}

std::string Describe(const TValue& v)
{
    if (const auto* i = std::get_if<int32_t>(&v))
        return std::to_string(*i);
    if (const auto* s = std::get_if<std::string>(&v))
        return "\"" + *s + "\"";
    std::string hex;
    for (const uint8_t b : std::get<std::vector<uint8_t>>(v))
        hex += IntToHex(b, 2) + " ";
    return hex;
}
}

TEST(SettingsStore, EveryValueRoundTripsThroughARestart)
{
    TPlayerInstall install;
    const std::vector<TEntry> values = NonDefaultValues();
    TRegistry reg;
    for (const TEntry& e : values)
        WriteValue(reg, e);
    // Read, never written: they stay as they are.
    WriteValue(reg, {"General", "UseSRS", std::string("anything")});
    WriteValue(reg, {"Extras EQ", "Snd3D", 450});
    // The main window keeps its own size; its corner comes from the record.
    WriteValue(reg, {"Interface", "ControlPos", Record({0, 100, 120, 50, 50})});
    reg.CloseKey();

    TPlayerProcess player;
    player.Start();
    const HWND main = player.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    RECT bounds{};
    GetWindowRect(main, &bounds);
    EXPECT_EQ(bounds.left, 100);
    EXPECT_EQ(bounds.top, 120);
    ASSERT_EQ(player.Close(), 0);

    for (const TEntry& e : values) {
        const TValue stored = ReadValue(reg, e);
        EXPECT_TRUE(stored == e.Value) << e.Section << "\\" << e.Name << ": " << Describe(stored) << " instead of "
                                       << Describe(e.Value);
    }
    EXPECT_TRUE(ReadValue(reg, {"General", "UseSRS", 0}) == TValue(std::string("anything")));
    EXPECT_TRUE(ReadValue(reg, {"Extras EQ", "Snd3D", 0}) == TValue(450));
    const TValue control = ReadValue(reg, {"Interface", "ControlPos", 0});
    EXPECT_TRUE(control == TValue(Record({0, 100, 120, bounds.right - bounds.left, bounds.bottom - bounds.top})))
        << Describe(control);
}

TEST(SettingsStore, WrongTypesAndRangesFallBackToDefaultsAndAreMended)
{
    TPlayerInstall install;
    TRegistry reg;
    WriteValue(reg, {"General", "ResumeMode", 9});
    WriteValue(reg, {"Audio", "MasterVolume", std::string("loud")});
    WriteValue(reg, {"Interface", "VideoPos", std::vector<uint8_t>{1, 2, 3}});
    WriteValue(reg, {"Extras EQ", "EqPreset", -1});  // custom preset without its bands
    reg.CloseKey();

    TPlayerProcess player;
    player.Start();
    ASSERT_NE(player.WaitForMainWindow(), nullptr);
    ASSERT_EQ(player.Close(), 0);

    EXPECT_TRUE(ReadValue(reg, {"General", "ResumeMode", 0}) == TValue(2));
    EXPECT_TRUE(ReadValue(reg, {"Audio", "MasterVolume", 0}) == TValue(2000));
    EXPECT_TRUE(ReadValue(reg, {"Extras EQ", "EqPreset", 0}) == TValue(0));
    const TValue video = ReadValue(reg, {"Interface", "VideoPos", 0});
    ASSERT_TRUE(std::holds_alternative<std::vector<uint8_t>>(video));
    EXPECT_EQ(std::get<std::vector<uint8_t>>(video).size(), kWindowPosRecordSize);
}
