#pragma once
// The shared records that hold COM interfaces or platform values. Lists of them hold the
// records by value (or by unique_ptr where others keep pointers to them), so clearing a list
// releases every interface.
#include "dshow/DShow.h"
#include "framework/Classes.h"

#include <string>

// One selectable stream of the open file (the engine's AudioStreams and ChapterStreams).
struct TStreamInfo {
    ComPtr<IBaseFilter> Filter;  // the filter whose IAMStreamSelect offers it; none for a pin of its own
    int32_t Index = 0;           // stream index in IAMStreamSelect, or the pin's index in AudioPins
    std::string Name;            // language, the ".mss" name or the stream's own name
};

inline constexpr int32_t pinUntested = 0;
inline constexpr int32_t pinRenders = 1;
inline constexpr int32_t pinFailed = 2;

// One output pin found while building a graph (VideoPins, AudioPins).
struct TPinItem {
    ComPtr<IPin> Pin;
    int32_t State = pinUntested;
};

// One video renderer choice. A TObject so that string lists can carry it (PreferredRenderers).
struct TVideoRenderItem : TObject {
    int32_t Index = 0;       // its position in VideoRenderers when it was added
    std::string ShortName;   // "VMR9", "VMR", "Overlay", "Overlay2" or "Normal"
    WideString FriendlyName;
    WideString DisplayName;  // "@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}\{class id}"
    CLSID ClassID{};
};

// One display monitor. The DirectDraw device GUID is copied: the enumeration's pointer does
// not outlive the enumeration.
struct TMonitorItem {
    GUID DeviceGuid{};
    bool HasDeviceGuid = false;  // false for the primary display driver
    WideString Description;
    RECT Bounds{};
    RECT WorkArea{};
    bool Primary = false;
};

// One audio renderer (AudioDevices).
struct TAudioDeviceItem {
    WideString FriendlyName;
    ComPtr<IMoniker> Moniker;
    WideString DisplayName;  // the value stored in the "AudioRender" setting
    bool Spdif = false;      // a digital (S/PDIF) output
};
