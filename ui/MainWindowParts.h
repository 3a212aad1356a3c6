#pragma once
// The caption buttons window that floats over the video window's top right corner.
class ICaptionButtons {
public:
    virtual ~ICaptionButtons() = default;
    virtual bool Showing() = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual int ClientWidth() = 0;
    // Screen position of the buttons' top-left corner.
    virtual void MoveTo(int left, int top) = 0;
    // The maximise/restore glyph and hint follow the video window's state.
    virtual void UpdateMaximized(bool maximized) = 0;
};

struct TPlayerSettings;

// The settings dialog: shows the settings, and on OK puts the controls back into them and
// writes the shell associations it was asked for. False when it was cancelled.
class ISettingsDialog {
public:
    virtual ~ISettingsDialog() = default;
    virtual bool Execute(TPlayerSettings& settings, bool firstRun, bool& associationsChanged) = 0;
};
