#include "ui/CommonModuleEngine.h"

#include "DSFilters/ParvoluxSoundProcessor.h"
#include "engine/CommonUnit.h"
#include "engine/History.h"
#include "engine/DSUtilCore.h"
#include "engine/MyDSUtils.h"
#include "engine/StreamDescriptions.h"

namespace {
// One list of the settings the module holds, walked in either direction.
template <class TModel, class TModule, class TCopy>
void ExchangeSettings(TModel& s, TModule& m, TCopy copy)
{
    copy(s.ResumeMode, m.ResumeMode);
    copy(s.HistoryFiles, m.FileHistoryMax);
    copy(s.HistoryPlaylists, m.PlaylistHistoryMax);
    copy(s.HistoryURLs, m.URLHistoryMax);
    copy(s.SpeakerType, m.SpeakerType);
    copy(s.PerfereSPDIF, m.PerfereSPDIF);
    copy(s.AudioRender, m.AudioRender);
    copy(s.BufferMode, m.BufferMode);
    copy(s.BufferSecs, m.BufferSecs);
    copy(s.Multicast, m.Multicast);
    copy(s.TCP, m.TCP);
    copy(s.UDP, m.UDP);
    copy(s.UDPFixedPort, m.UDPFixedPort);
    copy(s.UDPPort, m.UDPPort);
    copy(s.HTTP, m.HTTP);
    copy(s.HTTPProxyMode, m.HTTPProxyMode);
    copy(s.HTTPProxyName, m.HTTPProxyName);
    copy(s.HTTPProxyPort, m.HTTPProxyPort);
    copy(s.Visuals, m.Visual.Mode);
    copy(s.VisualsUseFade, m.Visual.UseFade);
    copy(s.VisualsShowPeaks, m.Visual.ShowPeaks);
    copy(s.FileHistory, m.FileHistory);
    copy(s.PlaylistHistory, m.PlaylistHistory);
    copy(s.URLHistory, m.URLHistory);
}

// Model to module.
struct TToModule {
    template <class T>
    void operator()(const T& model, T& module) const { module = model; }
    void operator()(const std::string& model, WideString& module) const { module = AnsiToWide(model); }
    void operator()(const int32_t& model, uint8_t& module) const { module = static_cast<uint8_t>(model); }
    void operator()(const std::vector<std::string>& model, TStringList& module) const
    {
        module.Clear();
        for (const std::string& item : model)
            module.Add(item);
    }
};

// Module to model.
struct TToModel {
    template <class T>
    void operator()(T& model, const T& module) const { model = module; }
    void operator()(std::string& model, const WideString& module) const { model = WideToAnsi(module); }
    void operator()(int32_t& model, const uint8_t& module) const { model = module; }
    void operator()(std::vector<std::string>& model, const TStringList& module) const
    {
        model.clear();
        for (int i = 0; i < module.Count(); ++i)
            model.push_back(module[i]);
    }
};
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

void TCommonModuleEngine::Next()
{
    FModule.Next();
}

void TCommonModuleEngine::Prev()
{
    FModule.Prev();
}

void TCommonModuleEngine::GotoPercent(double percent)
{
    FModule.GotoPercent(percent);
}

int32_t TCommonModuleEngine::GetMSecfromPercent(double percent)
{
    return FModule.GetMSecfromPercent(percent);
}

void TCommonModuleEngine::SetVolume(int32_t volume)
{
    FModule.SetVolume(volume);
}

int TCommonModuleEngine::VideoPinCount()
{
    return static_cast<int>(FModule.VideoPins.size());
}

std::vector<TRendererEntry> TCommonModuleEngine::RendererTable()
{
    std::vector<TRendererEntry> table;
    for (const auto& renderer : FModule.VideoRenderers)
        table.push_back({renderer->ShortName, WideToAnsi(renderer->DisplayName), WideToAnsi(renderer->FriendlyName)});
    return table;
}

void TCommonModuleEngine::StreamPins(std::vector<TPinInfo>& videoPins, std::vector<TPinInfo>& audioPins)
{
    const auto describe = [](const std::vector<TPinItem>& pins, std::vector<TPinInfo>& infos, bool video) {
        infos.clear();
        for (const TPinItem& item : pins) {
            TPinInfo info;
            info.Rendered = item.State == pinRenders;
            TMediaTypePtr type;
            if (SUCCEEDED(GetPinMediaType(item.Pin.Get(), type))) {
                if (video)
                    DescribeVideoStream(type.get(), info.Video);
                else
                    DescribeAudioStream(type.get(), info.Audio);
            }
            infos.push_back(std::move(info));
        }
    };
    describe(FModule.VideoPins, videoPins, true);
    describe(FModule.AudioPins, audioPins, false);
}

std::vector<std::string> TCommonModuleEngine::AudioStreamNames()
{
    std::vector<std::string> names;
    for (const TStreamInfo& stream : FModule.AudioStreams)
        names.push_back(stream.Name);
    return names;
}

int TCommonModuleEngine::GetSelectedAudioStream()
{
    return FModule.GetSelectedAudioStream();
}

bool TCommonModuleEngine::AudioStreamHasSelector(int index)
{
    return index >= 0 && static_cast<size_t>(index) < FModule.AudioStreams.size() &&
           FModule.AudioStreams[static_cast<size_t>(index)].Filter;
}

void TCommonModuleEngine::SelectAudioStream(int index)
{
    // A stream of its own is the pin its entry names.
    if (index >= 0 && static_cast<size_t>(index) < FModule.AudioStreams.size())
        FModule.SelectAudioStream(FModule.AudioStreams[static_cast<size_t>(index)].Index);
}

std::vector<std::string> TCommonModuleEngine::ChapterNames()
{
    std::vector<std::string> names;
    for (const TStreamInfo& chapter : FModule.ChapterStreams)
        names.push_back(chapter.Name);
    return names;
}

bool TCommonModuleEngine::AC3Connected()
{
    return FModule.AC3Filter1 && FModule.AC3Filter1->IsFilterConnected();
}

bool TCommonModuleEngine::SubtitlesPresent()
{
    return FModule.DirectVobSub1 && FModule.DirectVobSub1->IsFilterConnected();
}

std::vector<std::string> TCommonModuleEngine::SubtitleLanguages()
{
    std::vector<std::string> names;
    if (FModule.DirectVobSub1)
        for (int32_t i = 0; i < FModule.DirectVobSub1->LanguageCount(); ++i)
            names.push_back(FModule.DirectVobSub1->GetLanguageName(i));
    return names;
}

int TCommonModuleEngine::SelectedSubtitleLanguage()
{
    return FModule.DirectVobSub1 ? FModule.DirectVobSub1->SelectedLanguage() : -1;
}

bool TCommonModuleEngine::HideSubtitles()
{
    return FModule.DirectVobSub1 && FModule.DirectVobSub1->HideSubtitles();
}

void TCommonModuleEngine::SetHideSubtitles(bool value)
{
    if (FModule.DirectVobSub1)
        FModule.DirectVobSub1->SetHideSubtitles(value);
}

void TCommonModuleEngine::SelectSubtitleLanguage(int index)
{
    if (FModule.DirectVobSub1)
        FModule.DirectVobSub1->SetSelectedLanguage(index);
}

void TCommonModuleEngine::SetDisplayColors(uint32_t back, uint32_t text)
{
    FModule.VisualBackColor = back;
    FModule.VisualTextColor = text;
}

long TCommonModuleEngine::BufferingProgress()
{
    long progress = 0;
    if (!FModule.NetworkStatus || FAILED(FModule.NetworkStatus->get_BufferingProgress(&progress)))
        return -1;
    return progress;
}

const TStringList* TCommonModuleEngine::KnownExtensions()
{
    return &FModule.KnownExtensions();
}

std::vector<TRect> TCommonModuleEngine::MonitorBounds()
{
    std::vector<TRect> bounds;
    for (const TMonitorItem& monitor : FModule.MonitorList)
        bounds.emplace_back(monitor.Bounds);
    return bounds;
}

std::vector<TAudioDeviceRow> TCommonModuleEngine::AudioDevices()
{
    std::vector<TAudioDeviceRow> rows;
    for (const TAudioDeviceItem& device : FModule.AudioDevices)
        rows.push_back({WideToAnsi(device.FriendlyName), WideToAnsi(device.DisplayName), device.Spdif});
    return rows;
}

std::vector<TMonitorRow> TCommonModuleEngine::Monitors()
{
    std::vector<TMonitorRow> rows;
    for (const TMonitorItem& monitor : FModule.MonitorList)
        rows.push_back({WideToAnsi(monitor.Description), monitor.Primary});
    return rows;
}

void TCommonModuleEngine::AddToHistory(const WideString& name, int kind)
{
    FModule.AddToHistory(name, kind);
}

std::vector<std::string> TCommonModuleEngine::History(int kind)
{
    const TStringList* list = kind == hkFiles       ? &FModule.FileHistory
                              : kind == hkPlaylists ? &FModule.PlaylistHistory
                                                    : &FModule.URLHistory;
    std::vector<std::string> names;
    TToModel{}(names, *list);
    return names;
}

std::string TCommonModuleEngine::GetHistoryItem(int kind, int index)
{
    WideString name;
    FModule.GetHistoryItem(kind, index, name);
    return WideToAnsi(name);
}

void TCommonModuleEngine::SwitchVisual(uint8_t mode)
{
    FModule.SwitchVisual(mode);
}

void TCommonModuleEngine::SetVisualInterval(int32_t interval)
{
    if (auto* processor = dynamic_cast<TParvoluxSoundProcessor*>(FModule.PvlSprocessor))
        processor->SetVisualInterval(interval);
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

void TCommonModuleEngine::ApplySettings(const TPlayerSettings& settings)
{
    TCommonModule& m = FModule;
    ExchangeSettings(settings, m, TToModule{});
    m.NoSRS = !settings.UseSRS;
    SetVisualInterval(settings.VisualsInterval);
    // Only renderers this machine has; the registry's order is the order of preference.
    m.PreferredRenderers.Clear();
    for (const std::string& name : settings.PreferredVideoRenderers)
        for (const auto& renderer : m.VideoRenderers)
            if (SameText(WideToAnsi(renderer->DisplayName), name)) {
                m.PreferredRenderers.AddObject(name, renderer.get());
                break;
            }
}

void TCommonModuleEngine::StoreSettings(TPlayerSettings& settings)
{
    const TCommonModule& m = FModule;
    ExchangeSettings(settings, m, TToModel{});
    settings.UseSRS = !m.NoSRS;
    TToModel{}(settings.PreferredVideoRenderers, m.PreferredRenderers);
}

std::string TCommonModuleEngine::PlayingFileName()
{
    return FModule.PlayingFileName;
}

bool TCommonModuleEngine::StreamSelector(bool chapter, int index, ComPtr<IUnknown>& filter, int& streamIndex)
{
    const std::vector<TStreamInfo>& list = chapter ? FModule.ChapterStreams : FModule.AudioStreams;
    if (index < 0 || static_cast<size_t>(index) >= list.size() || !list[static_cast<size_t>(index)].Filter)
        return false;
    filter = list[static_cast<size_t>(index)].Filter;
    streamIndex = list[static_cast<size_t>(index)].Index;
    return true;
}

void TCommonModuleEngine::SetPosition(int64_t position)
{
    FModule.SetPosition(position);
}

void TCommonModuleEngine::SetFilterState(uint8_t state)
{
    FModule.SetFilterState(state);
}

bool TCommonModuleEngine::SurroundWanted(bool truSurround)
{
    return truSurround ? FModule.TSActive : FModule.CSActive;
}

void TCommonModuleEngine::SetSurroundWanted(bool truSurround, bool value)
{
    (truSurround ? FModule.TSActive : FModule.CSActive) = value;
}

bool TCommonModuleEngine::SetSurroundActive(bool truSurround, bool active)
{
    return truSurround ? FModule.SetSRSTSActive(active) : FModule.SetSRSCSActive(active);
}

void TCommonModuleEngine::NextVisual()
{
    FModule.NextVisual();
}
