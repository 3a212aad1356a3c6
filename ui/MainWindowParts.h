#pragma once
// What later parts of the main window do when the transport, the poll and the file life ask
// them: the sound controls, the bookmarks, the streams and extras menus, the display panel,
// the settings dialog and the snapshot window. The main window calls them through this; until
// they are attached (a null pointer) the calls are skipped.
class TMenuItem;

class IMainWindowParts {
public:
    virtual ~IMainWindowParts() = default;

    // The display panel repaints its time, state and visual boxes (PaintBox321, 325, 326, 327)
    // with the poll's texts.
    virtual void DisplayTimeChanged(const char* hours, const char* minutes, const char* seconds) = 0;
    virtual void RepaintDisplay() = 0;

    // The steps of opening a file that set controls of the sound, stream and extras parts:
    // Circle Surround options and the surround switches by speaker type, the subtitle and
    // stream toggles, the colour sliders, the audio-delay controls (enabled with video) and
    // the surround panels.
    virtual void FileLoaded(bool hasVideo) = 0;
    virtual void FileClosed() = 0;

    // Bookmarks: a bookmark's menu item was clicked; the item stands for bookmark `index`.
    virtual void BookmarkClick(TMenuItem* item) = 0;
    virtual void SetBookmarkMenu(int index, TMenuItem* item) = 0;

    virtual void ShowSettings() = 0;
    virtual void ShowSnapshotBrowser() = 0;
};

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
