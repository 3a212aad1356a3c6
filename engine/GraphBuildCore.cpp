#include "engine/GraphBuildCore.h"

#include "engine/CommonUnitCore.h"
#include "engine/MovieMemory.h"
#include "framework/IniFiles.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <cctype>

namespace {

bool Contains(const std::vector<std::string>& keys, const std::string& key)
{
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

}  // namespace

int32_t RenderResult(const TRenderCounts& counts)
{
    if (counts.Rendered == 0)
        return rrCannotRender;
    if (counts.FailedVideo == 0 && counts.FailedAudio == 0)
        return 0;
    if (counts.FailedVideo == counts.VideoPins && counts.FailedAudio == counts.AudioPins)
        return rrCannotRender;
    if (counts.FailedVideo == counts.VideoPins && counts.FailedAudio == 0)
        return rrVideoNotRendered;
    if (counts.FailedAudio == counts.AudioPins && counts.FailedVideo == 0)
        return rrAudioNotRendered;
    return rrPartialRender;
}

std::vector<std::string> WildcardRegisteredSplitters(const std::vector<std::string>& exact, const std::vector<std::string>& wildcard,
                                                     const std::vector<std::string>& skip)
{
    std::vector<std::string> result;
    for (const std::string& key : wildcard)
        if (!Contains(exact, key) && !Contains(skip, key) && !Contains(result, key))
            result.push_back(key);
    return result;
}

std::string WalkSplitterSearch(TSplitterSearch search, const TSplitterQuery& query, const TSplitterConnect& connect,
                               const std::vector<std::string>& skip)
{
    std::vector<std::string> tried = skip;
    bool failed = false;
    // One search's candidates in order; the key that connected, or empty.
    const auto walk = [&](const std::vector<std::string>& candidates) -> std::string {
        for (const std::string& key : candidates) {
            if (failed || Contains(tried, key))
                continue;
            tried.push_back(key);
            switch (connect(key)) {
            case TSplitterTry::Connected:
                return key;
            case TSplitterTry::Failed:
                failed = true;
                break;
            case TSplitterTry::Refused:
                break;
            }
        }
        return {};
    };
    if (search == TSplitterSearch::WildcardRegistered) {
        const std::vector<std::string> exact = query(true);
        return walk(WildcardRegisteredSplitters(exact, query(false), skip));
    }
    std::string chosen = walk(query(true));
    if (chosen.empty() && !failed)
        chosen = walk(query(false));
    return chosen;
}

bool WantsSecondAttempt(const TRenderCounts& first, bool byteStream)
{
    return byteStream && first.Undecoded > 0;
}

bool KeepSecondAttempt(const TRenderCounts& first, const TRenderCounts& second)
{
    return second.Rendered > first.Rendered;
}

TMssNames ReadMssFile(const std::string& fileName)
{
    TMssNames result;
    if (!FileExists(fileName))
        return result;
    const TMemIniFile ini(fileName);
    for (int i = 1;; ++i) {
        const std::string ident = "Audio_" + std::to_string(i);
        if (!ini.ValueExists("MSS", ident))
            break;
        result.Names.push_back(ini.ReadString("MSS", ident, ""));
    }
    result.DefaultStream = ini.ReadInteger("MSS", "Audio_def", 1);
    return result;
}

bool MssLocaleName(const std::string& name, uint32_t& locale)
{
    if (name.size() != 6 || name.compare(0, 2, "0x") != 0)
        return false;
    uint32_t value = 0;
    for (size_t i = 2; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (!std::isxdigit(c))
            return false;
        value = value * 16 + static_cast<uint32_t>(std::isdigit(c) ? c - '0' : std::tolower(c) - 'a' + 10);
    }
    locale = value;
    return true;
}

int ChooseAudioPin(const std::vector<int32_t>& states, int defaultStream)
{
    constexpr int32_t renders = 1;
    if (defaultStream >= 1 && static_cast<size_t>(defaultStream - 1) < states.size() &&
        states[static_cast<size_t>(defaultStream - 1)] == renders)
        return defaultStream - 1;
    for (size_t i = 0; i < states.size(); ++i)
        if (states[i] == renders)
            return static_cast<int>(i);
    return -1;
}

int32_t EntryStateFromResult(int32_t result)
{
    switch (static_cast<uint32_t>(result)) {
    case 0:
        return 2;
    case 0x80040216:  // VFW_E_NOT_FOUND
    case 0x80070002:  // file not found
    case 0x80070003:  // path not found
    case 0x80070015:  // device not ready
        return 1;
    default:
        return result;
    }
}

int32_t LengthInTenths(int64_t duration)
{
    return static_cast<int32_t>(RoundToInt64(static_cast<double>(duration) / 1000000.0));
}

std::vector<std::string> TitleLines(const std::string& fileName, uint8_t kind, const TSimpleTag& tag, std::string& title)
{
    std::vector<std::string> lines{"File: " + ExtractFileName(fileName)};
    const auto add = [&lines](const char* label, const std::string& value) {
        if (!value.empty())
            lines.push_back(label + value);
    };
    if (kind == tkID3) {
        if (const auto* id3 = std::get_if<TSimpleID3Tag>(&tag)) {
            title = id3->Title;
            add("Title: ", id3->Title);
            add("Artist: ", id3->Artist);
            add("Album: ", id3->Album);
        }
    } else if (kind == tkAVI) {
        if (const auto* avi = std::get_if<TSimpleAVITag>(&tag)) {
            title = WideToAnsi(avi->Title);
            add("Title: ", title);
            add("AuthorName: ", WideToAnsi(avi->Writer));
            add("Description: ", WideToAnsi(avi->Subject));
            add("Copyright: ", WideToAnsi(avi->Copyright));
        }
    }
    return lines;
}

TResumeStep ResumeStep(bool memoryFound, int64_t lastPosition, int64_t duration, int32_t resumeMode)
{
    if (!memoryFound || lastPosition <= 0 || IsFinishedPosition(lastPosition, duration))
        return TResumeStep::StartOver;
    switch (resumeMode) {
    case 0:
        return TResumeStep::Resume;
    case 2:
        return TResumeStep::Ask;
    default:
        return TResumeStep::StartOver;
    }
}

bool ResumeFromAnswer(int modalResult, bool continueChecked, bool dontShow, int32_t& resumeMode)
{
    if (modalResult != 1)
        return false;
    if (dontShow)
        resumeMode = continueChecked ? 0 : 1;
    return continueChecked;
}
