#pragma once
// Control of the outside subtitle filter (video in, video out, subtitles drawn from a
// subtitle file). Nothing but UseAutoload is cached: every property reads or writes the
// filter, and without a filter reads give the defaults (empty, 0, -1, false).
#include "engine/DirectVobSubIntf.h"
#include "engine/ExternalFilterCntl.h"

#include <cstdint>
#include <string>

class TDirectVobSub : public TExternalFilterCntl {
public:
    explicit TDirectVobSub(TComponent* owner) : TExternalFilterCntl(owner) {}

    // Sets the properties the engine's module stores, through the setters, as loading it
    // does, then Loaded. The stored values reach no filter: it does not exist yet.
    void ReadStoredProperties();
    // Creates the filter of the class UseAutoload chooses; on failure the control goes on
    // without it. Runs once the stored properties are read.
    void Loaded();

    std::wstring Filename() const;
    void SetFilename(const std::wstring& value);
    int32_t LanguageCount() const;
    int32_t SelectedLanguage() const;
    void SetSelectedLanguage(int32_t value);
    bool HideSubtitles() const;
    void SetHideSubtitles(bool value);
    bool PreBuffering() const;
    void SetPreBuffering(bool value);
    // Read when the filter is created; a later change does not affect it.
    bool UseAutoload = false;

    // The language's name as the filter gives it, empty when it gives none.
    std::string GetLanguageName(int32_t index) const;

    // The control interface while the filter exists, else none.
    IDirectVobSub* Subtitles() const { return FFilter ? FSubtitles.Get() : nullptr; }
    IPin* SecondInputPin() const { return FSecondInputPin.Get(); }

private:
    HRESULT CreateSubtitleFilter();
    void ReleaseFilter() override;

    ComPtr<IDirectVobSub> FSubtitles;
};
