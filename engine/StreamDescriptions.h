#pragma once
// Stream descriptions from media types, the audio and video type tests, and a file's length
// through the media detector.
#include "dshow/DShow.h"
#include "engine/Common_Types.h"
#include "engine/StreamDescriptionsCore.h"

#include <functional>
#include <optional>
#include <string>

bool IsAudioMediaType(const AM_MEDIA_TYPE* mediaType);
bool IsVideoMediaType(const AM_MEDIA_TYPE* mediaType);

// Fill the record from the media type's format block. A media type that matches no case (or
// whose block is missing or too short for the fields read) leaves the record as it was.
void DescribeAudioStream(const AM_MEDIA_TYPE* mediaType, TAudioStreamDescription& description);
void DescribeVideoStream(const AM_MEDIA_TYPE* mediaType, TVideoStreamDescription& description);

// Reads the title from a file's tags; empty when it has none.
using TTitleReader = std::function<std::string(const std::string& fileName)>;

// The length (tenths of a second, -1 when the media detector finds none) and the title of a
// file; nothing for a file that does not exist. Initialises COM on the calling thread for the
// call, so the detail thread may use it.
std::optional<TMediaInfo> GetMediaInfo(const std::string& fileName, const TTitleReader& readTitle = {});
