#pragma once
// Stream descriptions from media types, the audio and video type tests, and a file's length
// through the media detector.
#include "dshow/DShow.h"
#include "engine/Common_Types.h"
#include "engine/StreamDescriptionsCore.h"

#include <memory>
#include <string>

bool IsAudioMediaType(const AM_MEDIA_TYPE* mediaType);
bool IsVideoMediaType(const AM_MEDIA_TYPE* mediaType);

// Fill the record from the media type's format block. A media type that matches no case (or
// whose block is missing or too short for the fields read) leaves the record as it was.
void DescribeAudioStream(const AM_MEDIA_TYPE* mediaType, TAudioStreamDescription& description);
void DescribeVideoStream(const AM_MEDIA_TYPE* mediaType, TVideoStreamDescription& description);

// The length (tenths of a second, -1 when the media detector finds none) and the title from
// the tags of a file; none for a file that does not exist. Initialises COM on the calling
// thread for the call, so the play list's detail thread may use it.
std::unique_ptr<TMediaInfo> GetMediaInfo(const std::string& fileName);
