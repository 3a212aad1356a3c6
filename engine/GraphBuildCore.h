#pragma once
// The decisions of building a graph and opening a play-list item that need no platform: the
// build's result code, the ".mss" side file, the audio stream to play, the entry's state and
// length, the title lines from the tags and whether to resume a known movie.
#include "playlist/InfoTags.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Result codes of the build (the platform's values, so they need no platform header).
inline constexpr int32_t rrPartialRender = 0x00040242;     // VFW_S_PARTIAL_RENDER
inline constexpr int32_t rrVideoNotRendered = 0x00040257;  // VFW_S_VIDEO_NOT_RENDERED
inline constexpr int32_t rrAudioNotRendered = 0x00040258;  // VFW_S_AUDIO_NOT_RENDERED
inline constexpr int32_t rrCannotRender = static_cast<int32_t>(0x80040218);       // VFW_E_CANNOT_RENDER
inline constexpr int32_t rrUnsupportedStream = static_cast<int32_t>(0x80040265);  // VFW_E_UNSUPPORTED_STREAM

// How the build's pins came out: pins found, pins that failed, pins that render.
struct TRenderCounts {
    int VideoPins = 0;
    int FailedVideo = 0;
    int AudioPins = 0;
    int FailedAudio = 0;
    int Rendered = 0;
    int Undecoded = 0;  // video or audio pins left unrendered for want of a decoder (or offering no type)
};
// 0 when nothing failed; a build in which no pin rendered is rrCannotRender; otherwise every
// failed pin of one kind is rrVideoNotRendered or rrAudioNotRendered, the rest rrPartialRender.
int32_t RenderResult(const TRenderCounts& counts);

// Searching the registered filters for the splitter of a byte stream. The mapper answers an
// exact search (the stream's subtype as registered) and a wildcard one (registrations under
// any subtype count too); filters are known by a key (their class id).
enum class TSplitterSearch {
    ExactThenWildcard,   // the exact search; the wildcard one only when no exact filter connects
    WildcardRegistered,  // only the filters the wildcard search adds to the exact one
};
enum class TSplitterTry { Connected, Refused, Failed };  // Failed ends the whole search
using TSplitterQuery = std::function<std::vector<std::string>(bool exact)>;
using TSplitterConnect = std::function<TSplitterTry(const std::string& key)>;
// Tries the candidates in the mapper's order, each at most once and none of `skip`, until one
// connects; its key, or empty.
std::string WalkSplitterSearch(TSplitterSearch search, const TSplitterQuery& query, const TSplitterConnect& connect,
                               const std::vector<std::string>& skip = {});
// The candidates of a WildcardRegistered search, in the wildcard search's order.
std::vector<std::string> WildcardRegisteredSplitters(const std::vector<std::string>& exact, const std::vector<std::string>& wildcard,
                                                     const std::vector<std::string>& skip);

// A finished build of a byte stream that left pins undecoded is tried once more with a
// wildcard-registered splitter (when one exists); the second attempt is kept only when it
// rendered more streams.
bool WantsSecondAttempt(const TRenderCounts& first, bool byteStream);
bool KeepSecondAttempt(const TRenderCounts& first, const TRenderCounts& second);

// A ".mss" side file: the names of "Audio_1", "Audio_2", ... up to the first missing number,
// and the default stream ("Audio_def", 1 when absent) of section "MSS".
struct TMssNames {
    std::vector<std::string> Names;
    int DefaultStream = -1;  // -1 without a file
};
TMssNames ReadMssFile(const std::string& fileName);
// True for a name of "0x" and exactly four hexadecimal digits, which names a locale.
bool MssLocaleName(const std::string& name, uint32_t& locale);

// The audio pin to play: the default stream (counted from 1) when its pin renders, else the
// first pin that renders; -1 when none does. `states` are the pins' test states.
int ChooseAudioPin(const std::vector<int32_t>& states, int defaultStream);

// The entry's state after a build: 2 for 0, 1 for the not-found codes, else the code.
int32_t EntryStateFromResult(int32_t result);
// A duration in 100-nanosecond units as tenths of a second, rounded.
int32_t LengthInTenths(int64_t duration);

// The main window's title lines of an opened file: "File: " and the tags' non-empty values.
// For kinds 1 and 2 the entry's title becomes the tag's title.
std::vector<std::string> TitleLines(const std::string& fileName, uint8_t kind, const TSimpleTag& tag, std::string& title);

// What to do with a movie's memory at its opening. "ResumeMode": 0 resume, 1 from the start,
// 2 ask; a position of 0 or in the last 2 % counts as nothing to resume.
enum class TResumeStep { StartOver, Resume, Ask };
TResumeStep ResumeStep(bool memoryFound, int64_t lastPosition, int64_t duration, int32_t resumeMode);
// The answer of the resume question (modal result 1 is OK). "Don't show this again" stores
// the answer as the new resume mode.
bool ResumeFromAnswer(int modalResult, bool continueChecked, bool dontShow, int32_t& resumeMode);
