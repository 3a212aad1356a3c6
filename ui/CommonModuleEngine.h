#pragma once
// The playback engine module as the main window's start-up, command-line, event and closing
// code reaches it.
#include "ui/PlayerEngine.h"

class TCommonModule;

class TCommonModuleEngine : public IPlayerEngine {
public:
    explicit TCommonModuleEngine(TCommonModule& module) : FModule(module) {}

    void PlayPause() override;
    void Stop() override;
    void PlayInList(int32_t index, bool autoplay) override;
    uint8_t GetFilterState() override;
    int64_t GetPosition() override;
    std::string PlayingFileName() override;
    int64_t GetDurication() override;
    void Next() override;
    void Prev() override;
    void GotoPercent(double percent) override;
    int32_t GetMSecfromPercent(double percent) override;
    void SetVolume(int32_t volume) override;
    int VideoPinCount() override;
    std::vector<TRendererEntry> RendererTable() override;
    void StreamPins(std::vector<TPinInfo>& videoPins, std::vector<TPinInfo>& audioPins) override;
    std::vector<std::string> AudioStreamNames() override;
    int GetSelectedAudioStream() override;
    bool AudioStreamHasSelector(int index) override;
    void SelectAudioStream(int index) override;
    std::vector<std::string> ChapterNames() override;
    bool AC3Connected() override;
    bool SubtitlesPresent() override;
    std::vector<std::string> SubtitleLanguages() override;
    int SelectedSubtitleLanguage() override;
    bool HideSubtitles() override;
    void SetHideSubtitles(bool value) override;
    void SelectSubtitleLanguage(int index) override;
    bool StreamSelector(bool chapter, int index, ComPtr<IUnknown>& filter, int& streamIndex) override;
    void SetPosition(int64_t position) override;
    void SetFilterState(uint8_t state) override;
    bool SurroundWanted(bool truSurround) override;
    void SetSurroundWanted(bool truSurround, bool value) override;
    bool SetSurroundActive(bool truSurround, bool active) override;
    void NextVisual() override;
    bool Buffering() override { return FBuffering; }
    long BufferingProgress() override;
    const TStringList* KnownExtensions() override;
    std::vector<TRect> MonitorBounds() override;
    std::vector<TAudioDeviceRow> AudioDevices() override;
    std::vector<TMonitorRow> Monitors() override;
    void AddToHistory(const WideString& name, int kind) override;
    std::vector<std::string> History(int kind) override;
    std::string GetHistoryItem(int kind, int index) override;
    void SwitchVisual(uint8_t mode) override;
    void SetVisualInterval(int32_t interval) override;
    void SetDisplayColors(uint32_t back, uint32_t text) override;
    ComPtr<IMediaEventEx> MediaEvent() override;
    void SetBuffering(bool value) override { FBuffering = value; }
    std::string EventCodeText(long code) override;
    void AppClosing() override;
    void ApplySettings(const TPlayerSettings& settings) override;
    void StoreSettings(TPlayerSettings& settings) override;

    // True while a network source buffers; the module has no field of its own for it yet.
    bool FBuffering = false;

private:
    TCommonModule& FModule;
};
