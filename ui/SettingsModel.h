#pragma once
// The player's settings as the per-user registry keeps them: one model that holds every
// value of every section, read once at start and written back once at close. Values whose
// windows do not use them yet stay in the model, so they survive a run unchanged.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

inline constexpr const char* kMakerName = "Kestrel Forge";
inline constexpr const char* kProductName = "Parvolux";
inline constexpr const char* kProductVersion = "1.0";

// "\Software\Kestrel Forge\Parvolux\1.0\" followed by the section ("" for the key itself).
std::string SettingsKeyPath(const std::string& section);
// "\Software\Kestrel Forge\Parvolux\History\" followed by the list's key.
std::string HistoryKeyPath(const std::string& list);

// A window's place: the monitor that holds it, the corner relative to that monitor, the size.
struct TWindowPosRecord {
    int32_t MonitorNum = 0;
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    friend bool operator==(const TWindowPosRecord&, const TWindowPosRecord&) = default;
};
inline constexpr size_t kWindowPosRecordSize = 20;
// Five little-endian 32-bit integers.
std::vector<uint8_t> EncodeWindowPos(const TWindowPosRecord& record);
// None unless the data is exactly one record with a size above 0 and a monitor number of 0 or more.
std::optional<TWindowPosRecord> DecodeWindowPos(const std::vector<uint8_t>& data);

inline constexpr const char* kDefaultAudioRender =
    "@device:cm:{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}\\Default DirectSound Device";

// Initial values are what the player holds before any setting is read (the engine's and the
// controls' own values); the reader puts a value's default in place only when its section
// exists and the value is missing or unusable.
struct TPlayerSettings {
    // General
    bool UseSRS = false;  // presence of "UseSRS" only; never written
    int32_t ResumeMode = 2;
    bool Autoplay = true;
    bool NoDXWarning = false;
    // History (maximum lengths)
    int32_t HistoryFiles = 5;
    int32_t HistoryPlaylists = 10;
    int32_t HistoryURLs = 10;
    // Audio
    int32_t SpeakerType = 1;
    bool PerfereSPDIF = false;
    std::string AudioRender = kDefaultAudioRender;
    int32_t MasterVolume = 2000;
    bool MasterVolumeMute = false;
    // Video
    int32_t ColorHue = 0;
    int32_t ColorBrightness = 0;
    int32_t ColorContrast = 0;
    int32_t ColorSaturation = 0;
    int32_t FullScreenMonitor = 0;
    int32_t SizeMode = 1;
    // Network
    int32_t BufferMode = 1;
    int32_t BufferSecs = 5;
    // Advanced Video
    bool PerfereAGPMem = false;
    std::vector<std::string> PreferredVideoRenderers;  // moniker names, in order of preference
    // Advanced Network
    bool Multicast = true;
    bool TCP = true;
    bool UDP = true;
    bool UDPFixedPort = false;
    int32_t UDPPort = 0;
    bool HTTP = true;
    int32_t HTTPProxyMode = 1;
    std::string HTTPProxyName;
    int32_t HTTPProxyPort = 0;
    // Interface
    int32_t TimeMode = 0;
    bool ShowTimeStampWithBookmarks = true;
    int32_t Visuals = 2;
    bool VisualsUseFade = true;
    bool VisualsShowPeaks = true;
    int32_t VisualsInterval = 30;  // milliseconds: 15, 30 or 50
    int32_t DisplayColor = 0;
    int32_t ActiveExtras = 0;  // extras page, -1 = panel hidden
    bool VideoOnTop = false;
    std::optional<TWindowPosRecord> ControlPos;
    std::optional<TWindowPosRecord> VideoPos;
    std::optional<TWindowPosRecord> PlaylistPos;
    // Extras EQ (slider positions)
    int32_t PreAmp = 0;
    int32_t DynAmpMaxAmp = 0;
    int32_t DynAmpAttack = 1000;
    int32_t DynAmpRelease = 3000;
    int32_t Snd3D = 0;  // read only
    int32_t EqPreset = 0;  // -1 = custom bands
    std::array<int8_t, 10> Eq{};
    // Extras Color Controls (slider positions)
    int32_t Hue = 0;
    int32_t Saturation = 0;
    int32_t Brightness = 0;
    int32_t Contrast = 0;
    // History lists, newest first; read here, written by the engine as they change.
    std::vector<std::string> FileHistory;
    std::vector<std::string> PlaylistHistory;
    std::vector<std::string> URLHistory;

    friend bool operator==(const TPlayerSettings&, const TPlayerSettings&) = default;
};

// The registry as the settings code sees it: one open key at a time, typed values. A read
// answers none when the value is missing or of another type.
class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    // An absolute key path ("\Software\..."); False when it does not exist and may not be made.
    virtual bool OpenKey(const std::string& path, bool canCreate) = 0;
    virtual bool KeyExists(const std::string& path) = 0;
    virtual bool ValueExists(const std::string& name) = 0;
    virtual std::optional<int32_t> ReadInteger(const std::string& name) = 0;
    virtual std::optional<std::string> ReadString(const std::string& name) = 0;
    virtual std::optional<std::vector<uint8_t>> ReadBinary(const std::string& name) = 0;
    // Writers raise an exception when the value cannot be written.
    virtual void WriteInteger(const std::string& name, int32_t value) = 0;
    virtual void WriteString(const std::string& name, const std::string& value) = 0;
    virtual void WriteBinary(const std::string& name, const std::vector<uint8_t>& value) = 0;
    virtual bool DeleteValue(const std::string& name) = 0;
};

// False on the first run (no General section): then nothing at all is read.
bool ReadSettingsModel(ISettingsStore& store, TPlayerSettings& settings);
// Writes every section, making missing keys; the history lists are the engine's to write.
void WriteSettingsModel(ISettingsStore& store, const TPlayerSettings& settings);
// Only the window records of the Interface section (the restore at start reads them again).
void ReadWindowPositions(ISettingsStore& store, TPlayerSettings& settings);

// One entry of the engine's video-renderer table.
struct TRendererEntry {
    std::string ShortName;    // "VMR9", "VMR", "Overlay", "Overlay2" or "Normal"
    std::string DisplayName;  // the moniker name stored in the settings
    std::string FriendlyName;
};
// The default rule for one renderer, walking the table in order: True when it goes to the
// preferred list (the Video Mixing Renderer only while nothing is preferred yet).
bool PreferredByDefault(const std::string& shortName, bool nothingPreferred);
// The renderer order the settings offer by default, walking the table in its order: the
// Video Mixing Renderer 9, the Overlay Mixer and the Video Renderer are preferred; the Video
// Mixing Renderer only when nothing is preferred before it; the Overlay Mixer 2 never.
std::vector<std::string> DefaultPreferredRenderers(const std::vector<TRendererEntry>& table);

// "VisualsUpdateSpeed" as stored (0, 1, 2) and as an interval in milliseconds.
int32_t VisualsIntervalFromStored(int32_t stored);
int32_t VisualsIntervalToStored(int32_t interval);
