#include "ui/SettingsUnitCore.h"

#include "framework/SysUtils.h"

#include <algorithm>

const char* const SpeakerNames[kSpeakerCount] = {"Headphones",
                                                 "2 Speakers (Stereo)",
                                                 "3 Speakers (2.1)",
                                                 "4 Speakers (Kvartroni)",
                                                 "5 Speakers (4.1)",
                                                 "6 Speakers (5.1)",
                                                 "7 Speakers (6.1)",
                                                 "8 Speakers (7.1)",
                                                 "9 Speakers (8.1)"};

const TSettingsNode SettingsNodes[11] = {{"General", 0, 0},   {"Audio", 1, 2},     {"Video", 1, 1},
                                         {"History", 1, 14},  {"Network", 1, 12},  {"Advanced", 0, 3},
                                         {"Audio", 1, 5},     {"Video", 1, 4},     {"Network", 1, 13},
                                         {"Shell integration", 0, 11}, {"About", 0, 7}};

// ---- renderer lists ----

std::vector<TRendererRow> RendererRows(const std::vector<TRendererEntry>& table)
{
    std::vector<TRendererRow> rows;
    for (size_t i = 0; i < table.size(); ++i)
        rows.push_back({static_cast<int>(i), table[i].ShortName, table[i].FriendlyName, table[i].DisplayName});
    return rows;
}

TRendererLists RendererListsFor(const std::vector<TRendererEntry>& table, const std::vector<std::string>& preferred)
{
    const std::vector<TRendererRow> rows = RendererRows(table);
    TRendererLists lists;
    for (const std::string& name : preferred) {
        const auto row = std::find_if(rows.begin(), rows.end(), [&](const TRendererRow& r) { return SameText(r.DisplayName, name); });
        if (row != rows.end())
            lists.Preferred.push_back(*row);
    }
    for (const TRendererRow& row : rows)
        if (std::none_of(lists.Preferred.begin(), lists.Preferred.end(),
                         [&](const TRendererRow& p) { return p.Index == row.Index; }))
            lists.Available.push_back(row);
    return lists;
}

void LoadDefaultRenderers(const std::vector<TRendererEntry>& table, TRendererLists& lists)
{
    lists = TRendererLists{};
    for (const TRendererRow& row : RendererRows(table)) {
        if (PreferredByDefault(row.ShortName, lists.Preferred.empty()))
            lists.Preferred.push_back(row);
        else
            lists.Available.push_back(row);
    }
}

namespace {
bool ValidIndex(const std::vector<TRendererRow>& rows, int index)
{
    return index >= 0 && static_cast<size_t>(index) < rows.size();
}
}

void MoveToPreferred(TRendererLists& lists)
{
    if (!ValidIndex(lists.Available, lists.AvailableSelected))
        return;
    lists.Preferred.push_back(lists.Available[static_cast<size_t>(lists.AvailableSelected)]);
    lists.Available.erase(lists.Available.begin() + lists.AvailableSelected);
    lists.AvailableSelected = -1;
    lists.PreferredSelected = static_cast<int>(lists.Preferred.size()) - 1;
}

void MoveToAvailable(TRendererLists& lists)
{
    if (!ValidIndex(lists.Preferred, lists.PreferredSelected))
        return;
    const TRendererRow row = lists.Preferred[static_cast<size_t>(lists.PreferredSelected)];
    const auto before = std::find_if(lists.Available.begin(), lists.Available.end(),
                                     [&](const TRendererRow& r) { return r.Index > row.Index; });
    lists.Available.insert(before, row);
    lists.Preferred.erase(lists.Preferred.begin() + lists.PreferredSelected);
    lists.PreferredSelected = -1;
    lists.AvailableSelected = -1;
}

void MovePreferredUp(TRendererLists& lists)
{
    const int selected = lists.PreferredSelected;
    if (!ValidIndex(lists.Preferred, selected) || selected == 0)
        return;
    std::swap(lists.Preferred[static_cast<size_t>(selected) - 1], lists.Preferred[static_cast<size_t>(selected)]);
    lists.PreferredSelected = selected - 1;
}

void MovePreferredDown(TRendererLists& lists)
{
    const int selected = lists.PreferredSelected;
    if (!ValidIndex(lists.Preferred, selected) || static_cast<size_t>(selected) + 1 >= lists.Preferred.size())
        return;
    std::swap(lists.Preferred[static_cast<size_t>(selected)], lists.Preferred[static_cast<size_t>(selected) + 1]);
    lists.PreferredSelected = selected + 1;
}

std::vector<std::string> PreferredNames(const TRendererLists& lists)
{
    std::vector<std::string> names;
    for (const TRendererRow& row : lists.Preferred)
        names.push_back(row.DisplayName);
    return names;
}

// ---- the controls' values ----

TSettingsDialogValues DialogValuesFor(const TPlayerSettings& settings, bool firstRun,
                                      const std::vector<TAudioDeviceRow>& devices,
                                      const std::vector<TRendererEntry>& renderers, int monitorItems)
{
    TSettingsDialogValues v;
    // 1.
    for (size_t i = 0; i < devices.size(); ++i)
        if (devices[i].DisplayName == settings.AudioRender) {
            v.AudioDevice = static_cast<int>(i);
            v.SPDIFEnabled = devices[i].Spdif;
            break;
        }
    // 2.
    v.Renderers = RendererListsFor(renderers, settings.PreferredVideoRenderers);
    // 3.
    v.Monitor = settings.FullScreenMonitor >= 0 && settings.FullScreenMonitor < monitorItems ? settings.FullScreenMonitor : 0;
    // 4. The dialog's own values on the first run are those of a fresh settings model.
    const TPlayerSettings fresh;
    const TPlayerSettings& s = firstRun ? fresh : settings;
    v.CancelEnabled = !firstRun;
    v.ResumeRadio = s.ResumeMode == 0 ? 0 : s.ResumeMode == 1 ? 1 : 2;
    v.Autoplay = s.Autoplay;
    v.NoTimeInBookmarkMenu = !s.ShowTimeStampWithBookmarks;
    v.Speaker = s.SpeakerType >= 0 && s.SpeakerType < kSpeakerCount ? s.SpeakerType : 1;
    v.SPDIFChecked = s.PerfereSPDIF && v.SPDIFEnabled;
    if (s.SizeMode == 0 || s.SizeMode == 1) {
        v.FitToPlayer = s.SizeMode == 0;
        v.FitToVideo = s.SizeMode == 1;
    }
    v.HistoryFiles = s.HistoryFiles;
    v.HistoryPlaylists = s.HistoryPlaylists;
    v.HistoryURLs = s.HistoryURLs;
    v.BufferRadio = s.BufferMode == 0 || s.BufferMode == 1 ? s.BufferMode : -1;
    v.BufferSecs = s.BufferSecs;
    v.Multicast = s.Multicast;
    v.TCP = s.TCP;
    v.UDP = s.UDP;
    v.UDPFixedPort = s.UDPFixedPort;
    v.UDPPort = s.UDPPort;
    v.HTTP = s.HTTP;
    v.ProxyRadio = s.HTTPProxyMode >= 0 && s.HTTPProxyMode <= 2 ? s.HTTPProxyMode : -1;
    if (!firstRun) {
        v.ProxyName = s.HTTPProxyName;
        v.ProxyPort = s.HTTPProxyPort;
    }
    v.PerfereAGPMem = s.PerfereAGPMem;
    if (firstRun) {
        v.Monitor = 0;
        v.Speaker = 1;
        LoadDefaultRenderers(renderers, v.Renderers);
    }
    // With one monitor only "Active Monitor" can be chosen.
    if (monitorItems < 3)
        v.Monitor = 0;
    return v;
}

void ApplyDialogValues(const TSettingsDialogValues& v, const std::vector<TAudioDeviceRow>& devices, TPlayerSettings& s)
{
    s.ResumeMode = std::clamp(v.ResumeRadio, 0, 2);
    s.Autoplay = v.Autoplay;
    s.ShowTimeStampWithBookmarks = !v.NoTimeInBookmarkMenu;
    if (v.Speaker >= 0 && v.Speaker < kSpeakerCount)
        s.SpeakerType = v.Speaker;
    s.PerfereSPDIF = v.SPDIFChecked && v.SPDIFEnabled;
    if (v.AudioDevice >= 0 && static_cast<size_t>(v.AudioDevice) < devices.size())
        s.AudioRender = devices[static_cast<size_t>(v.AudioDevice)].DisplayName;
    s.FullScreenMonitor = std::max(v.Monitor, 0);
    if (v.FitToPlayer)
        s.SizeMode = 0;
    else if (v.FitToVideo)
        s.SizeMode = 1;
    s.HistoryFiles = v.HistoryFiles;
    s.HistoryPlaylists = v.HistoryPlaylists;
    s.HistoryURLs = v.HistoryURLs;
    if (v.BufferRadio == 0 || v.BufferRadio == 1)
        s.BufferMode = v.BufferRadio;
    s.BufferSecs = v.BufferSecs;
    s.Multicast = v.Multicast;
    s.TCP = v.TCP;
    s.UDP = v.UDP;
    s.UDPFixedPort = v.UDPFixedPort;
    s.UDPPort = v.UDPPort;
    s.HTTP = v.HTTP;
    if (v.ProxyRadio >= 0 && v.ProxyRadio <= 2)
        s.HTTPProxyMode = v.ProxyRadio;
    s.HTTPProxyName = v.ProxyName;
    s.HTTPProxyPort = v.ProxyPort;
    s.PerfereAGPMem = v.PerfereAGPMem;
    s.PreferredVideoRenderers = PreferredNames(v.Renderers);
}

TNetworkEnabling NetworkEnabling(const TSettingsDialogValues& v)
{
    TNetworkEnabling e;
    e.BufferSecs = v.BufferRadio == 1;
    e.UDPPort = v.UDP && v.UDPFixedPort;
    e.ProxyRadios = v.HTTP;
    e.ProxyButton = v.HTTP && v.ProxyRadio == 2;
    return e;
}

int SpinEditValue(const std::string& text, int last, int min, int max)
{
    int64_t value = 0;
    if (!TryStrToInt64(Trim(text), value))
        return last;
    return static_cast<int>(std::clamp<int64_t>(value, min, max));
}

std::vector<std::string> MonitorItems(const std::vector<TMonitorRow>& monitors)
{
    std::vector<std::string> items{"Active Monitor"};
    for (const TMonitorRow& monitor : monitors)
        items.push_back(monitor.Primary ? monitor.Description + " [Primary]" : monitor.Description);
    return items;
}

std::string SpeakerPictureName(int item)
{
    if (item < 0 || item >= kSpeakerCount)
        item = 1;
    return "IDI_SPK" + IntToStr(item + 1);
}

std::vector<std::string> ShellExtensions(const std::vector<std::string>& fileTypeLines)
{
    std::vector<std::string> extensions;
    if (fileTypeLines.empty())
        return extensions;
    const std::string& line = fileTypeLines.front();
    const size_t bar = line.find('|');
    if (bar == std::string::npos)
        return extensions;
    size_t start = bar + 1;
    while (start <= line.size()) {
        size_t end = line.find(';', start);
        if (end == std::string::npos)
            end = line.size();
        const std::string pattern = Trim(line.substr(start, end - start));
        if (pattern.size() > 2 && pattern.compare(0, 2, "*.") == 0) {
            const std::string extension = pattern.substr(2);
            if (extension.find_first_of("*?") == std::string::npos &&
                std::none_of(extensions.begin(), extensions.end(), [&](const std::string& e) { return SameText(e, extension); }))
                extensions.push_back(extension);
        }
        start = end + 1;
    }
    return extensions;
}
