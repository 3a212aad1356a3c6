#pragma once
// What the play list calls outside itself: the engine closes the playing file and knows the
// media extensions; the player windows know the install folder and show messages. The engine
// and the windows implement these; everything here runs on the GUI thread, except the media
// fetch, which runs on the detail thread.
#include "engine/Common_Types.h"
#include "framework/Classes.h"

#include <functional>
#include <memory>
#include <string>

class IPlayListEngine {
public:
    virtual ~IPlayListEngine() = default;
    virtual void ClosePlayingFile() = 0;
    // The media file patterns of the file-types file, upper-cased, in file order ("*.AVI").
    virtual const TStringList& KnownExtensions() = 0;
};

class IPlayListWindows {
public:
    virtual ~IPlayListWindows() = default;
    // The install folder, ending in a separator.
    virtual std::string InstallFolder() = 0;
    // A message box with one OK button.
    virtual void ShowMessage(const std::string& Text) = 0;
};

// The title and length of a media file (the engine's GetMediaInfo); none when it has no
// result for the file. Called on the detail thread.
using TGetMediaInfoFunc = std::function<std::unique_ptr<TMediaInfo>(const std::string& FileName)>;
