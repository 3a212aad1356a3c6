#include "ui/Video_UnitCore.h"

#include <cmath>
#include <cstdlib>

std::optional<TVideoRendererKind> RendererKindFromShortName(const std::string& shortName)
{
    static const struct {
        const char* Name;
        TVideoRendererKind Kind;
    } kinds[] = {{"VMR9", vrVMR9}, {"VMR", vrVMR}, {"Overlay", vrOverlay}, {"Overlay2", vrOverlay2}, {"Normal", vrNormal}};
    for (const auto& k : kinds)
        if (shortName == k.Name)
            return k.Kind;
    return std::nullopt;
}

int32_t MulDivRound(int32_t a, int32_t b, int32_t c)
{
    if (c == 0)
        return -1;
    const int64_t product = static_cast<int64_t>(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const int64_t magnitude = std::llabs(product), divisor = std::llabs(static_cast<int64_t>(c));
    const int64_t rounded = (magnitude + divisor / 2) / divisor;
    return static_cast<int32_t>(negative ? -rounded : rounded);
}

std::optional<TRect> FitRectKeepAspect(const TRect& target, int32_t sourceWidth, int32_t sourceHeight)
{
    if (sourceWidth <= 0 || sourceHeight <= 0)
        return std::nullopt;
    const int32_t wa = target.Width(), ha = target.Height();
    const double rx = static_cast<double>(wa) / sourceWidth;
    const double ry = static_cast<double>(ha) / sourceHeight;
    int32_t width = wa, height = ha;
    if (ry <= rx)
        width = MulDivRound(sourceWidth, ha, sourceHeight);
    else
        height = MulDivRound(sourceHeight, wa, sourceWidth);
    const int32_t left = target.left + (wa - width) / 2;
    const int32_t top = target.top + (ha - height) / 2;
    return TRect(left, top, left + width, top + height);
}

std::optional<double> SeekPercentFromX(int x, int width)
{
    if (x < 1 || x > width - 2)
        return std::nullopt;
    const int span = width - 4;
    if (x - 1 < 1 || span <= 0)
        return 0.0;
    const double percent = 100.0 / (static_cast<double>(span) / (x - 1));
    return percent > 100.0 ? 100.0 : percent;
}

THms HmsFromTenths(int32_t tenths)
{
    THms t;
    t.Hours = tenths / 36000;
    t.Minutes = (tenths % 36000) / 600;
    t.Seconds = ((tenths % 36000) % 600) / 10;
    for (int* part : {&t.Hours, &t.Minutes, &t.Seconds})
        if (*part < 0)
            *part = 0;
    return t;
}

bool StillnessElapsed(uint32_t nowTicks, uint32_t lastMoveTicks)
{
    return nowTicks - lastMoveTicks > kExclusiveModeDelay;  // unsigned: the tick count may wrap
}

bool IsMouseMovement(const TPoint& last, const TPoint& now)
{
    return std::abs(now.x - last.x) > 2 || std::abs(now.y - last.y) > 2;
}

TDockZone DockZoneAt(int x, int y, int formHeight, int clientWidth, int clientHeight)
{
    if (y >= formHeight - 100 && y <= clientHeight && x >= 0 && x <= clientWidth)
        return TDockZone::ControlForm;
    if (x >= clientWidth - 100 && x <= clientWidth && y >= 0 && y <= clientHeight)
        return TDockZone::PlaylistForm;
    return TDockZone::None;
}

TRect DockPreviewRect(TDockZone zone, const TRect& clientOnScreen, int controlClientHeight)
{
    switch (zone) {
    case TDockZone::ControlForm:
        return TRect(clientOnScreen.left, clientOnScreen.bottom - controlClientHeight, clientOnScreen.right,
                     clientOnScreen.bottom);
    case TDockZone::PlaylistForm:
        return TRect(clientOnScreen.right - 150, clientOnScreen.top, clientOnScreen.right, clientOnScreen.bottom);
    default:
        return TRect();
    }
}

std::optional<int> FullScreenMonitorIndex(int setting, int monitorCount)
{
    if (setting <= 0 || setting > monitorCount)
        return std::nullopt;
    return setting - 1;
}
