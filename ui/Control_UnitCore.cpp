#include "ui/Control_UnitCore.h"

#include "framework/Classes.h"
#include "framework/SysUtils.h"

#include <cmath>
#include <cstdlib>

int32_t TenthsFromMediaTime(int64_t time)
{
    return static_cast<int32_t>(time / 1000000);
}

int32_t ProgressFromTimes(int32_t position, int32_t duration)
{
    if (position <= 0 || duration <= 0)
        return 0;
    const double percent = 100.0 / (static_cast<double>(duration) / position);
    const double progress = std::round(percent * 100.0);
    return progress > 10000.0 ? 10000 : static_cast<int32_t>(progress);
}

int32_t ProgressBarWidth(int32_t backgroundWidth, int32_t progress)
{
    return static_cast<int32_t>(std::lround((backgroundWidth - 4) / 100.0 * (progress / 100.0)));
}

TTimeTexts PollTimeTexts(int32_t position, int32_t duration, bool remaining)
{
    int32_t t = remaining ? duration - position : position;
    int h = t / 36000, m = (t % 36000) / 600, s = ((t % 36000) % 600) / 10;
    if (remaining) {
        for (int* part : {&h, &m, &s})
            if (*part < 0)
                *part = 0;
    }
    TTimeTexts texts;
    texts.Hours = Format("%2.2d", h);
    texts.Minutes = Format("%2.2d", m);
    texts.Seconds = Format("%2.2d", s);
    texts.VideoLabel = Format(remaining ? "-%2.2d:%2.2d:%2.2d" : "%2.2d:%2.2d:%2.2d", h, m, s);
    return texts;
}

TTransportLook TransportLookFor(uint8_t state, int playListCount)
{
    switch (state) {
    case kStateStopped: return {3, true, false};
    case kStateRunning: return {2, true, true};
    case kStatePaused: return {3, true, true};
    default: return {3, playListCount > 0, false};
    }
}

std::string DynamicGainText(int gain)
{
    return Format("%s : %1.1f x ", "Curr.", gain / 1000.0);
}

std::string BufferingText(long progress)
{
    return progress == 100 ? std::string() : "Wait, Buffering " + std::to_string(progress) + "%";
}

TKeyAction KeyActionFor(uint16_t key, bool alt, bool fullScreen, bool videoWindow)
{
    switch (key) {
    case 32:
    case 179:
    case 250: return TKeyAction::PlayPause;
    case 33:
    case 177: return TKeyAction::Prev;
    case 34:
    case 176: return TKeyAction::Next;
    case 178: return TKeyAction::Stop;
    case 13: return alt && !fullScreen ? TKeyAction::EnterFullScreen : TKeyAction::None;
    case 27: return videoWindow && fullScreen ? TKeyAction::LeaveFullScreen : TKeyAction::None;
    default: return TKeyAction::None;
    }
}

bool IsKnownMediaFile(const std::string& fileName, const TStringList& knownExtensions)
{
    const std::string extension = ExtractFileExt(fileName);
    return !extension.empty() && knownExtensions.IndexOf("*" + UpperCase(extension)) >= 0;
}

bool SuppressesSystemCommand(uint32_t command, uint8_t state)
{
    const uint32_t kind = command & 0xFFF0;
    return (kind == 0xF140 || kind == 0xF170) && (state == kStateRunning || state == kStatePaused);
}

std::string StreamRateText(double value)
{
    if (!std::isfinite(value))
        return "0";
    if (value == std::trunc(value))
        return Format("%.15g", value);
    return Format("%.3f", value);
}

std::vector<TStreamInfoNode> StreamInfoNodes(const std::vector<TPinInfo>& videoPins, const std::vector<TPinInfo>& audioPins)
{
    std::vector<TStreamInfoNode> nodes;
    for (size_t i = 0; i < videoPins.size(); ++i) {
        const TVideoStreamDescription& v = videoPins[i].Video;
        nodes.push_back({Format("%s %d", "Video Stream", static_cast<int>(i) + 1),
                         videoPins[i].Rendered ? 1 : -1,
                         {Format("%s: %s", "Compression", v.Name.c_str()),
                          Format("%s: %d x %d %s", "Frame Size", v.Width, std::abs(v.Height), "Pixels"),
                          Format("%s: %d %s", "Color Depth", v.BitCount, "Bits"),
                          Format("%s: %s %s", "Frame Rate", StreamRateText(v.FrameRate).c_str(), "fps.")}});
    }
    for (size_t i = 0; i < audioPins.size(); ++i) {
        const TAudioStreamDescription& a = audioPins[i].Audio;
        const std::string channels = a.Channels == 1 ? "Mono" : a.Channels == 2 ? "Stereo" : IntToStr(a.Channels);
        nodes.push_back({Format("%s %d", "Audio Stream", static_cast<int>(i) + 1),
                         audioPins[i].Rendered ? 1 : -1,
                         {Format("%s: %s", "Compression", a.Name.c_str()),
                          Format("%s: %s %s", "Avg. Bitrate", StreamRateText(a.AvgBytesPerSec * 8 / 1000).c_str(), "kBit/s."),
                          Format("%s: %d %s", "Samples", a.SamplesPerSec, "Bits"),
                          Format("%s: %s", "Channels", channels.c_str())}});
    }
    return nodes;
}
