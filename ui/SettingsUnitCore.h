#pragma once
// What the settings dialog does that needs no window: the two renderer lists and their moves,
// the controls' values from the settings and back, the enabling rules, the monitor and
// speaker lists, the extensions of the shell page.
#include "ui/SettingsModel.h"

#include <cstdint>
#include <string>
#include <vector>

// One row of the renderer lists: its place in the engine's renderer table and its names.
struct TRendererRow {
    int Index = 0;
    std::string ShortName;
    std::string Caption;      // the friendly name
    std::string DisplayName;  // the moniker name the settings keep
    friend bool operator==(const TRendererRow&, const TRendererRow&) = default;
};

// "Available:" and "Preferred:" with their selections (-1: none).
struct TRendererLists {
    std::vector<TRendererRow> Available;
    std::vector<TRendererRow> Preferred;
    int AvailableSelected = -1;
    int PreferredSelected = -1;
};

std::vector<TRendererRow> RendererRows(const std::vector<TRendererEntry>& table);
// The preferred renderers the settings name, then every other renderer of the table as available.
TRendererLists RendererListsFor(const std::vector<TRendererEntry>& table, const std::vector<std::string>& preferred);
// "Load Default": both lists by the default rule, nothing selected.
void LoadDefaultRenderers(const std::vector<TRendererEntry>& table, TRendererLists& lists);
// The selected available row to the end of Preferred, selected there.
void MoveToPreferred(TRendererLists& lists);
// The selected preferred row back into Available, before the first row with a greater table index.
void MoveToAvailable(TRendererLists& lists);
// The selected preferred row one place up or down; it stays selected. At the ends nothing moves.
void MovePreferredUp(TRendererLists& lists);
void MovePreferredDown(TRendererLists& lists);
std::vector<std::string> PreferredNames(const TRendererLists& lists);

// The dialog's controls as values. Radio groups hold the chosen button's index (-1: none).
struct TSettingsDialogValues {
    int ResumeRadio = 2;  // AlwaysContinue, AlwaysStartover, AskMe
    bool Autoplay = true;
    bool NoTimeInBookmarkMenu = false;
    int Speaker = 1;
    bool SPDIFChecked = false;
    bool SPDIFEnabled = false;
    int AudioDevice = -1;
    int Monitor = 0;
    bool FitToPlayer = false;
    bool FitToVideo = true;
    int HistoryFiles = 5;
    int HistoryPlaylists = 10;
    int HistoryURLs = 10;
    int BufferRadio = 1;  // "Use Default buffering.", "Buffer"
    int BufferSecs = 5;
    bool Multicast = true;
    bool TCP = true;
    bool UDP = true;
    bool UDPFixedPort = false;
    int UDPPort = 0;
    bool HTTP = true;
    int ProxyRadio = 1;  // "No Proxy", "Use Browser proxy settings", "Use Proxy"
    std::string ProxyName;
    int ProxyPort = 0;
    bool PerfereAGPMem = false;
    bool CancelEnabled = true;
    TRendererLists Renderers;
};

// An audio device as the dialog lists it.
struct TAudioDeviceRow {
    std::string FriendlyName;
    std::string DisplayName;
    bool Spdif = false;
};

// Steps 1-4 of showing the dialog. On the first run the controls keep their own initial
// values (those of a fresh settings model), with "Active Monitor", two speakers and the
// default renderer order, and Cancel is disabled.
TSettingsDialogValues DialogValuesFor(const TPlayerSettings& settings, bool firstRun,
                                      const std::vector<TAudioDeviceRow>& devices,
                                      const std::vector<TRendererEntry>& renderers, int monitorItems);
// Step 7: the controls back into the settings. A choice no control holds keeps its value.
void ApplyDialogValues(const TSettingsDialogValues& values, const std::vector<TAudioDeviceRow>& devices,
                       TPlayerSettings& settings);

// Which controls the network page enables.
struct TNetworkEnabling {
    bool BufferSecs = false;   // SpinEdit1
    bool UDPPort = false;      // SpinEdit2
    bool ProxyRadios = false;  // RadioButton3..5
    bool ProxyButton = false;  // Button3
};
TNetworkEnabling NetworkEnabling(const TSettingsDialogValues& values);

// A spin edit's text: a number is taken within the range (clamped); anything else keeps `last`.
int SpinEditValue(const std::string& text, int last, int min, int max);

// "Active Monitor", then each monitor's description, " [Primary]" after the primary one.
struct TMonitorRow {
    std::string Description;
    bool Primary = false;
};
std::vector<std::string> MonitorItems(const std::vector<TMonitorRow>& monitors);

inline constexpr int kSpeakerCount = 9;
extern const char* const SpeakerNames[kSpeakerCount];
// The JPEG resource of a speaker item: "IDI_SPK1" for item 0 up to "IDI_SPK9"; item 1's for any other.
std::string SpeakerPictureName(int item);

// The shell page's extensions: the first line's patterns ("*.avi") without "*.", each once.
std::vector<std::string> ShellExtensions(const std::vector<std::string>& fileTypeLines);

// The settings tree: captions, depth and page index, in order.
struct TSettingsNode {
    const char* Caption;
    int Level;
    int Page;
};
extern const TSettingsNode SettingsNodes[11];
