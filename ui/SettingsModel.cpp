#include "ui/SettingsModel.h"

#include "framework/SysUtils.h"

#include <climits>

std::string SettingsKeyPath(const std::string& section)
{
    return Format("\\Software\\%s\\%s\\%s\\", kMakerName, kProductName, kProductVersion) + section;
}

std::string HistoryKeyPath(const std::string& list)
{
    return Format("\\Software\\%s\\%s\\History\\", kMakerName, kProductName) + list;
}

std::vector<uint8_t> EncodeWindowPos(const TWindowPosRecord& record)
{
    std::vector<uint8_t> data;
    data.reserve(kWindowPosRecordSize);
    for (const int32_t field : {record.MonitorNum, record.Left, record.Top, record.Width, record.Height}) {
        const auto v = static_cast<uint32_t>(field);
        for (int shift = 0; shift < 32; shift += 8)
            data.push_back(static_cast<uint8_t>(v >> shift));
    }
    return data;
}

std::optional<TWindowPosRecord> DecodeWindowPos(const std::vector<uint8_t>& data)
{
    if (data.size() != kWindowPosRecordSize)
        return std::nullopt;
    int32_t fields[5];
    for (size_t i = 0; i < 5; ++i) {
        uint32_t v = 0;
        for (size_t b = 0; b < 4; ++b)
            v |= static_cast<uint32_t>(data[4 * i + b]) << (8 * b);
        fields[i] = static_cast<int32_t>(v);
    }
    const TWindowPosRecord record{fields[0], fields[1], fields[2], fields[3], fields[4]};
    if (record.MonitorNum < 0 || record.Width <= 0 || record.Height <= 0)
        return std::nullopt;
    return record;
}

bool PreferredByDefault(const std::string& kind, bool nothingPreferred)
{
    return kind == "VMR9" || kind == "Overlay" || kind == "Normal" || (kind == "VMR" && nothingPreferred);
}

std::vector<std::string> DefaultPreferredRenderers(const std::vector<TRendererEntry>& table)
{
    std::vector<std::string> preferred;
    for (const TRendererEntry& entry : table)
        if (PreferredByDefault(entry.ShortName, preferred.empty()))
            preferred.push_back(entry.DisplayName);
    return preferred;
}

int32_t VisualsIntervalFromStored(int32_t stored)
{
    return stored == 0 ? 15 : stored == 2 ? 50 : 30;
}

int32_t VisualsIntervalToStored(int32_t interval)
{
    return interval == 15 ? 0 : interval == 50 ? 2 : 1;
}

namespace {
// Reads the values of one open section: a usable value replaces the field; a missing or
// unusable one puts the default in place, or keeps the field when the value has none.
class TSectionReader {
public:
    explicit TSectionReader(ISettingsStore& store) : FStore(store) {}

    bool Open(const std::string& section) { return FStore.OpenKey(SettingsKeyPath(section), false); }

    void Int(const char* name, int32_t& field, int32_t min, int32_t max, std::optional<int32_t> fallback)
    {
        const auto value = FStore.ReadInteger(name);
        if (value && *value >= min && *value <= max)
            field = *value;
        else if (fallback)
            field = *fallback;
    }

    void Bool(const char* name, bool& field, std::optional<bool> fallback)
    {
        const auto value = FStore.ReadInteger(name);
        if (value && (*value == 0 || *value == 1))
            field = *value == 1;
        else if (fallback)
            field = *fallback;
    }

    void Str(const char* name, std::string& field, std::optional<std::string> fallback)
    {
        if (const auto value = FStore.ReadString(name))
            field = *value;
        else if (fallback)
            field = *fallback;
    }

    void WindowPos(const char* name, std::optional<TWindowPosRecord>& field)
    {
        const auto data = FStore.ReadBinary(name);
        field = data ? DecodeWindowPos(*data) : std::nullopt;
    }

    ISettingsStore& Store() { return FStore; }

private:
    ISettingsStore& FStore;
};

constexpr int32_t kAnyCount = INT32_MAX;
constexpr int32_t kLastExtrasPosition = 6;
constexpr int32_t kLastPreset = 18;

void ReadInterfacePositions(TSectionReader& r, TPlayerSettings& s)
{
    r.WindowPos("ControlPos", s.ControlPos);
    r.WindowPos("VideoPos", s.VideoPos);
    r.WindowPos("PlaylistPos", s.PlaylistPos);
}

void ReadHistoryList(ISettingsStore& store, const char* key, const char* prefix, int32_t maximum,
                     std::vector<std::string>& list)
{
    list.clear();
    if (!store.OpenKey(HistoryKeyPath(key), false))
        return;
    for (int32_t n = 0; n < maximum; ++n) {
        const auto entry = store.ReadString(prefix + IntToStr(n));
        if (!entry)
            break;
        list.push_back(*entry);
    }
}
}

bool ReadSettingsModel(ISettingsStore& store, TPlayerSettings& s)
{
    TSectionReader r(store);
    if (!r.Open("General"))
        return false;
    s.UseSRS = store.ValueExists("UseSRS");
    r.Int("ResumeMode", s.ResumeMode, 0, 2, 2);
    r.Bool("Autoplay", s.Autoplay, true);
    r.Bool("NoDXWarning", s.NoDXWarning, false);

    if (r.Open("History")) {
        r.Int("Files", s.HistoryFiles, 0, kAnyCount, 5);
        r.Int("Playlists", s.HistoryPlaylists, 0, kAnyCount, 10);
        r.Int("URLs", s.HistoryURLs, 0, kAnyCount, 10);
    }
    if (r.Open("Audio")) {
        r.Int("SpeakerType", s.SpeakerType, 0, 8, 1);
        r.Bool("PerfereSPDIF", s.PerfereSPDIF, false);
        r.Str("AudioRender", s.AudioRender, kDefaultAudioRender);
        r.Int("MasterVolume", s.MasterVolume, 0, 10000, 2000);
        r.Bool("MasterVolumeMute", s.MasterVolumeMute, false);
    }
    if (r.Open("Video")) {
        r.Int("ColorHue", s.ColorHue, -100, 100, 0);
        r.Int("ColorBrightness", s.ColorBrightness, -100, 100, 0);
        r.Int("ColorContrast", s.ColorContrast, -100, 100, 0);
        r.Int("ColorSaturation", s.ColorSaturation, -100, 100, 0);
        r.Int("FullScreenMonitor", s.FullScreenMonitor, 0, kAnyCount, 0);
        r.Int("SizeMode", s.SizeMode, 0, 1, 1);
    }
    if (r.Open("Network")) {
        r.Int("BufferMode", s.BufferMode, 0, 1, std::nullopt);
        r.Int("BufferSecs", s.BufferSecs, 0, kAnyCount, std::nullopt);
    }
    if (r.Open("Advanced Video")) {
        r.Bool("PerfereAGPMem", s.PerfereAGPMem, false);
        s.PreferredVideoRenderers.clear();
        for (int n = 0; store.ValueExists("PerferedVideoRender" + IntToStr(n)); ++n)
            if (const auto name = store.ReadString("PerferedVideoRender" + IntToStr(n)))
                s.PreferredVideoRenderers.push_back(*name);
    }
    if (r.Open("Advanced Network")) {
        r.Bool("Multicast", s.Multicast, std::nullopt);
        r.Bool("TCP", s.TCP, std::nullopt);
        r.Bool("UDP", s.UDP, std::nullopt);
        r.Bool("UDP FIXED PORT", s.UDPFixedPort, std::nullopt);
        r.Int("UDP PORT", s.UDPPort, 0, 65535, std::nullopt);
        r.Bool("HTTP", s.HTTP, std::nullopt);
        r.Int("HTTP Proxy Mode", s.HTTPProxyMode, 0, 2, std::nullopt);
        r.Str("HTTP Proxy Name", s.HTTPProxyName, std::nullopt);
        r.Int("HTTP Proxy Port", s.HTTPProxyPort, 0, 65535, std::nullopt);
    }
    if (r.Open("Interface")) {
        r.Int("TimeMode", s.TimeMode, 0, 1, 0);
        r.Bool("ShowTimeStampWithBookmarks", s.ShowTimeStampWithBookmarks, true);
        r.Int("Visuals", s.Visuals, 0, 5, 2);
        r.Bool("VisualsUseFade", s.VisualsUseFade, true);
        r.Bool("VisualsShowPeaks", s.VisualsShowPeaks, true);
        int32_t speed = 1;
        r.Int("VisualsUpdateSpeed", speed, INT32_MIN, INT32_MAX, 1);
        s.VisualsInterval = VisualsIntervalFromStored(speed);
        r.Int("DisplayColor", s.DisplayColor, 0, 3, 0);
        r.Int("ActiveExtras", s.ActiveExtras, INT32_MIN, kLastExtrasPosition, 0);
        if (s.ActiveExtras < 0)
            s.ActiveExtras = -1;
        r.Bool("VideoOnTop", s.VideoOnTop, false);
        ReadInterfacePositions(r, s);
    }
    if (r.Open("Extras EQ")) {
        r.Int("PreAmp", s.PreAmp, 0, 1000, std::nullopt);
        r.Int("DynAmp_MaxAmp", s.DynAmpMaxAmp, 0, 10000, std::nullopt);
        r.Int("DynAmp_Attack", s.DynAmpAttack, 0, 10000, std::nullopt);
        r.Int("DynAmp_Release", s.DynAmpRelease, 0, 10000, std::nullopt);
        r.Int("Snd3D", s.Snd3D, 0, 900, std::nullopt);
        r.Int("EqPreset", s.EqPreset, -1, kLastPreset, 0);
        if (s.EqPreset == -1) {
            const auto bands = store.ReadBinary("Eq");
            bool usable = bands && bands->size() == s.Eq.size();
            for (size_t i = 0; usable && i < s.Eq.size(); ++i) {
                const auto band = static_cast<int8_t>((*bands)[i]);
                usable = band >= -100 && band <= 100;
            }
            if (usable) {
                for (size_t i = 0; i < s.Eq.size(); ++i)
                    s.Eq[i] = static_cast<int8_t>((*bands)[i]);
            } else {
                s.EqPreset = 0;
            }
        }
    }
    if (r.Open("Extras Color Controls")) {
        r.Int("Hue", s.Hue, -100, 100, std::nullopt);
        r.Int("Saturation", s.Saturation, -100, 100, std::nullopt);
        r.Int("Brightness", s.Brightness, -100, 100, std::nullopt);
        r.Int("Contrast", s.Contrast, -100, 100, std::nullopt);
    }
    ReadHistoryList(store, "Files", "File", s.HistoryFiles, s.FileHistory);
    ReadHistoryList(store, "Playlist", "Playlist", s.HistoryPlaylists, s.PlaylistHistory);
    ReadHistoryList(store, "URL", "URL", s.HistoryURLs, s.URLHistory);
    return true;
}

void ReadWindowPositions(ISettingsStore& store, TPlayerSettings& settings)
{
    TSectionReader r(store);
    if (r.Open("Interface"))
        ReadInterfacePositions(r, settings);
}

namespace {
class TSectionWriter {
public:
    explicit TSectionWriter(ISettingsStore& store) : FStore(store) {}

    void Open(const std::string& section)
    {
        if (!FStore.OpenKey(SettingsKeyPath(section), true))
            throw Exception("Failed to create key " + SettingsKeyPath(section));
    }
    void Int(const char* name, int32_t value) { FStore.WriteInteger(name, value); }
    void Bool(const char* name, bool value) { FStore.WriteInteger(name, value ? 1 : 0); }
    void Str(const char* name, const std::string& value) { FStore.WriteString(name, value); }
    void WindowPos(const char* name, const std::optional<TWindowPosRecord>& record)
    {
        if (record)
            FStore.WriteBinary(name, EncodeWindowPos(*record));
    }

private:
    ISettingsStore& FStore;
};
}

void WriteSettingsModel(ISettingsStore& store, const TPlayerSettings& s)
{
    TSectionWriter w(store);
    w.Open("General");
    w.Int("ResumeMode", s.ResumeMode);
    w.Bool("Autoplay", s.Autoplay);
    w.Bool("NoDXWarning", s.NoDXWarning);

    w.Open("History");
    w.Int("Files", s.HistoryFiles);
    w.Int("Playlists", s.HistoryPlaylists);
    w.Int("URLs", s.HistoryURLs);

    w.Open("Interface");
    w.Int("TimeMode", s.TimeMode);
    w.Bool("ShowTimeStampWithBookmarks", s.ShowTimeStampWithBookmarks);
    w.Int("Visuals", s.Visuals);
    w.Bool("VisualsUseFade", s.VisualsUseFade);
    w.Bool("VisualsShowPeaks", s.VisualsShowPeaks);
    w.Int("DisplayColor", s.DisplayColor);
    w.Bool("VideoOnTop", s.VideoOnTop);
    w.Int("VisualsUpdateSpeed", VisualsIntervalToStored(s.VisualsInterval));
    w.WindowPos("ControlPos", s.ControlPos);
    w.WindowPos("VideoPos", s.VideoPos);
    w.WindowPos("PlaylistPos", s.PlaylistPos);
    w.Int("ActiveExtras", s.ActiveExtras);

    w.Open("Audio");
    w.Int("SpeakerType", s.SpeakerType);
    w.Bool("PerfereSPDIF", s.PerfereSPDIF);
    w.Str("AudioRender", s.AudioRender);
    w.Int("MasterVolume", s.MasterVolume);
    w.Bool("MasterVolumeMute", s.MasterVolumeMute);

    w.Open("Video");
    w.Int("ColorHue", s.ColorHue);
    w.Int("ColorBrightness", s.ColorBrightness);
    w.Int("ColorContrast", s.ColorContrast);
    w.Int("ColorSaturation", s.ColorSaturation);
    w.Int("FullScreenMonitor", s.FullScreenMonitor);
    w.Int("SizeMode", s.SizeMode);

    w.Open("Network");
    w.Int("BufferMode", s.BufferMode);
    w.Int("BufferSecs", s.BufferSecs);

    w.Open("Advanced Video");
    w.Bool("PerfereAGPMem", s.PerfereAGPMem);
    for (int n = 0; store.ValueExists("PerferedVideoRender" + IntToStr(n)); ++n)
        store.DeleteValue("PerferedVideoRender" + IntToStr(n));
    for (size_t n = 0; n < s.PreferredVideoRenderers.size(); ++n)
        w.Str(("PerferedVideoRender" + IntToStr(static_cast<int64_t>(n))).c_str(), s.PreferredVideoRenderers[n]);

    w.Open("Advanced Network");
    w.Bool("Multicast", s.Multicast);
    w.Bool("TCP", s.TCP);
    w.Bool("UDP", s.UDP);
    w.Bool("UDP FIXED PORT", s.UDPFixedPort);
    w.Int("UDP PORT", s.UDPPort);
    w.Bool("HTTP", s.HTTP);
    w.Int("HTTP Proxy Mode", s.HTTPProxyMode);
    w.Str("HTTP Proxy Name", s.HTTPProxyName);
    w.Int("HTTP Proxy Port", s.HTTPProxyPort);

    w.Open("Extras EQ");
    w.Int("PreAmp", s.PreAmp);
    w.Int("DynAmp_MaxAmp", s.DynAmpMaxAmp);
    w.Int("DynAmp_Attack", s.DynAmpAttack);
    w.Int("DynAmp_Release", s.DynAmpRelease);
    if (s.EqPreset == -1) {
        std::vector<uint8_t> bands;
        for (const int8_t band : s.Eq)
            bands.push_back(static_cast<uint8_t>(band));
        store.WriteBinary("Eq", bands);
        w.Int("EqPreset", -1);
    } else {
        w.Int("EqPreset", s.EqPreset);
    }

    w.Open("Extras Color Controls");
    w.Int("Hue", s.Hue);
    w.Int("Saturation", s.Saturation);
    w.Int("Brightness", s.Brightness);
    w.Int("Contrast", s.Contrast);
}
