#include "ui/CommonModuleEngine.h"

#include "engine/CommonUnit.h"
#include "engine/DSUtilCore.h"

namespace {
void FillList(TStringList& list, const std::vector<std::string>& items)
{
    list.Clear();
    for (const std::string& item : items)
        list.Add(item);
}

std::vector<std::string> ListItems(const TStringList& list)
{
    std::vector<std::string> items;
    for (int i = 0; i < list.Count(); ++i)
        items.push_back(list[i]);
    return items;
}
}

void TCommonModuleEngine::PlayPause()
{
    FModule.PlayPause();
}

void TCommonModuleEngine::Stop()
{
    FModule.Stop();
}

void TCommonModuleEngine::PlayInList(int32_t index, bool autoplay)
{
    FModule.PlayInList(index, autoplay);
}

uint8_t TCommonModuleEngine::GetFilterState()
{
    return FModule.GetFilterState();
}

int64_t TCommonModuleEngine::GetPosition()
{
    return FModule.GetPosition();
}

int64_t TCommonModuleEngine::GetDurication()
{
    return FModule.GetDurication();
}

void TCommonModuleEngine::AddToHistory(const WideString& name, int kind)
{
    // The module keeps the lists; adding to them and writing them back is its history code's.
    (void)name;
    (void)kind;
}

ComPtr<IMediaEventEx> TCommonModuleEngine::MediaEvent()
{
    return FModule.MediaEvent;
}

std::string TCommonModuleEngine::EventCodeText(long code)
{
    std::string text;
    GetEventCodeText(static_cast<int>(code), text);
    return text;
}

void TCommonModuleEngine::AppClosing()
{
    FModule.AppClosing();
}

void TCommonModuleEngine::ApplySettings(const TPlayerSettings& s)
{
    TCommonModule& m = FModule;
    m.NoSRS = !s.UseSRS;
    m.ResumeMode = s.ResumeMode;
    m.FileHistoryMax = s.HistoryFiles;
    m.PlaylistHistoryMax = s.HistoryPlaylists;
    m.URLHistoryMax = s.HistoryURLs;
    m.SpeakerType = s.SpeakerType;
    m.PerfereSPDIF = s.PerfereSPDIF;
    m.AudioRender = AnsiToWide(s.AudioRender);
    m.BufferMode = s.BufferMode;
    m.BufferSecs = s.BufferSecs;
    m.Multicast = s.Multicast;
    m.TCP = s.TCP;
    m.UDP = s.UDP;
    m.UDPFixedPort = s.UDPFixedPort;
    m.UDPPort = s.UDPPort;
    m.HTTP = s.HTTP;
    m.HTTPProxyMode = s.HTTPProxyMode;
    m.HTTPProxyName = AnsiToWide(s.HTTPProxyName);
    m.HTTPProxyPort = s.HTTPProxyPort;
    m.Visual.Mode = static_cast<uint8_t>(s.Visuals);
    m.Visual.UseFade = s.VisualsUseFade;
    m.Visual.ShowPeaks = s.VisualsShowPeaks;
    // Only renderers this machine has; the registry's order is the order of preference.
    m.PreferredRenderers.Clear();
    for (const std::string& name : s.PreferredVideoRenderers)
        for (const auto& renderer : m.VideoRenderers)
            if (SameText(WideToAnsi(renderer->DisplayName), name)) {
                m.PreferredRenderers.AddObject(name, renderer.get());
                break;
            }
    FillList(m.FileHistory, s.FileHistory);
    FillList(m.PlaylistHistory, s.PlaylistHistory);
    FillList(m.URLHistory, s.URLHistory);
}

void TCommonModuleEngine::StoreSettings(TPlayerSettings& s)
{
    const TCommonModule& m = FModule;
    s.UseSRS = !m.NoSRS;
    s.ResumeMode = m.ResumeMode;
    s.HistoryFiles = m.FileHistoryMax;
    s.HistoryPlaylists = m.PlaylistHistoryMax;
    s.HistoryURLs = m.URLHistoryMax;
    s.SpeakerType = m.SpeakerType;
    s.PerfereSPDIF = m.PerfereSPDIF;
    s.AudioRender = WideToAnsi(m.AudioRender);
    s.BufferMode = m.BufferMode;
    s.BufferSecs = m.BufferSecs;
    s.Multicast = m.Multicast;
    s.TCP = m.TCP;
    s.UDP = m.UDP;
    s.UDPFixedPort = m.UDPFixedPort;
    s.UDPPort = m.UDPPort;
    s.HTTP = m.HTTP;
    s.HTTPProxyMode = m.HTTPProxyMode;
    s.HTTPProxyName = WideToAnsi(m.HTTPProxyName);
    s.HTTPProxyPort = m.HTTPProxyPort;
    s.Visuals = m.Visual.Mode;
    s.VisualsUseFade = m.Visual.UseFade;
    s.VisualsShowPeaks = m.Visual.ShowPeaks;
    s.PreferredVideoRenderers = ListItems(m.PreferredRenderers);
    s.FileHistory = ListItems(m.FileHistory);
    s.PlaylistHistory = ListItems(m.PlaylistHistory);
    s.URLHistory = ListItems(m.URLHistory);
}
