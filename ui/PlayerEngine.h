#pragma once
// What the main window's start-up, command-line, graph-event and closing code asks of the
// playback engine. The engine module is reached through this, so the window can run and be
// tested with a stand-in.
#include "ui/Control_UnitCore.h"
#include "ui/SettingsModel.h"
#include "ui/SettingsUnitCore.h"

#include "dshow/DShow.h"
#include "framework/SysUtils.h"
#include "framework/Types.h"

#include <cstdint>
#include <string>
#include <vector>

class TStringList;

class IPlayerEngine {
public:
    virtual ~IPlayerEngine() = default;

    // Transport.
    virtual void PlayPause() = 0;
    virtual void Stop() = 0;
    virtual void PlayInList(int32_t index, bool autoplay) = 0;
    // 0 stopped, 1 running, 2 paused, 3 no graph.
    virtual uint8_t GetFilterState() = 0;
    virtual int64_t GetPosition() = 0;   // 100-nanosecond units
    virtual int64_t GetDurication() = 0;

    // More of the transport and the position; the default bodies do nothing, for stand-ins.
    virtual void Next() {}
    virtual void Prev() {}
    virtual void GotoPercent(double percent) { (void)percent; }
    // Tenths of a second at that share of the duration.
    virtual int32_t GetMSecfromPercent(double percent) { (void)percent; return 0; }
    virtual void SetVolume(int32_t volume) { (void)volume; }
    // The file the graph plays; empty without one.
    virtual std::string PlayingFileName() { return {}; }

    // What the open file holds: video pins, audio-stream and chapter names, the outside filters.
    virtual int VideoPinCount() { return 0; }
    // The video renderers this machine can make, in the engine's order.
    virtual std::vector<TRendererEntry> RendererTable() { return {}; }
    // The formats of the video and audio pins, and whether each rendered.
    virtual void StreamPins(std::vector<TPinInfo>& videoPins, std::vector<TPinInfo>& audioPins)
    {
        videoPins.clear();
        audioPins.clear();
    }
    virtual std::vector<std::string> AudioStreamNames() { return {}; }
    virtual int GetSelectedAudioStream() { return -1; }
    // An audio stream behind a stream-selecting filter (else a pin of its own, which the
    // engine switches itself).
    virtual bool AudioStreamHasSelector(int index) { (void)index; return false; }
    virtual void SelectAudioStream(int index) { (void)index; }
    virtual std::vector<std::string> ChapterNames() { return {}; }
    virtual bool AC3Connected() { return false; }
    // The subtitle filter: present in the graph, its languages, the shown one, hiding.
    virtual bool SubtitlesPresent() { return false; }
    virtual std::vector<std::string> SubtitleLanguages() { return {}; }
    virtual int SelectedSubtitleLanguage() { return -1; }
    virtual bool HideSubtitles() { return false; }
    virtual void SetHideSubtitles(bool value) { (void)value; }
    virtual void SelectSubtitleLanguage(int index) { (void)index; }
    // The stream-selecting filter and its stream index behind an audio-stream or chapter
    // entry; False when the entry is out of range or is a pin of its own.
    virtual bool StreamSelector(bool chapter, int index, ComPtr<IUnknown>& filter, int& streamIndex)
    {
        (void)chapter; (void)index; (void)filter; (void)streamIndex;
        return false;
    }
    virtual void SetPosition(int64_t position) { (void)position; }
    virtual void SetFilterState(uint8_t state) { (void)state; }
    // The surround effects (TruSurround when `truSurround`, else Circle Surround): the wish to
    // use one, and putting it into the playing graph or taking it out (its state afterwards).
    virtual bool SurroundWanted(bool truSurround) { (void)truSurround; return false; }
    virtual void SetSurroundWanted(bool truSurround, bool value) { (void)truSurround; (void)value; }
    virtual bool SetSurroundActive(bool truSurround, bool active)
    {
        (void)truSurround; (void)active;
        return false;
    }
    virtual void NextVisual() {}
    // A network source's buffering: the flag and its progress (-1 without a network status).
    virtual bool Buffering() { return false; }
    virtual long BufferingProgress() { return -1; }
    // The sound processor's current dynamic gain in thousandths; 0 without one.
    virtual int DynamicCurrentGain() { return 0; }
    // The media extensions the player knows ("*.AVI"), and the display monitors' bounds.
    virtual const TStringList* KnownExtensions() { return nullptr; }
    virtual std::vector<TRect> MonitorBounds() { return {}; }
    // What the settings dialog lists: the audio renderers and the monitors.
    virtual std::vector<TAudioDeviceRow> AudioDevices() { return {}; }
    virtual std::vector<TMonitorRow> Monitors() { return {}; }

    // History: kind 0 files, 1 play lists, 2 addresses.
    virtual void AddToHistory(const WideString& name, int kind) = 0;
    virtual std::vector<std::string> History(int kind) { (void)kind; return {}; }
    // Moves entry `index` of the file history to the top and gives it; empty when out of range.
    virtual std::string GetHistoryItem(int kind, int index) { (void)kind; (void)index; return {}; }

    // The visualisation: its mode, and the sound processor's data interval in milliseconds.
    virtual void SwitchVisual(uint8_t mode) { (void)mode; }
    virtual void SetVisualInterval(int32_t interval) { (void)interval; }
    // The display theme's background and text colours (COLORREF).
    virtual void SetDisplayColors(uint32_t back, uint32_t text) { (void)back; (void)text; }

    // Graph events: the queue of the open graph (none without one), the buffering flag and
    // the generic text of an event code.
    virtual ComPtr<IMediaEventEx> MediaEvent() = 0;
    virtual void SetBuffering(bool value) = 0;
    virtual std::string EventCodeText(long code) = 0;

    // Closes the playing file, saves the play list as "LastPlayed.pls" and has the main window
    // write its settings.
    virtual void AppClosing() = 0;

    // The engine's settings fields: filled from the model after reading, and read back into
    // it before writing. The fields the engine does not hold stay as they are in the model.
    virtual void ApplySettings(const TPlayerSettings& settings) = 0;
    virtual void StoreSettings(TPlayerSettings& settings) = 0;
};
