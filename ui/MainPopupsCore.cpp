#include "ui/MainPopupsCore.h"

#include "framework/SysUtils.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

std::vector<TReopenEntry> ReopenEntries(const std::vector<std::string>& history, int maximum)
{
    std::vector<TReopenEntry> entries;
    const int count = std::min(static_cast<int>(history.size()), std::max(maximum, 0));
    for (int i = 0; i < count; ++i)
        entries.push_back({ExtractFileName(history[static_cast<size_t>(i)]), i});
    return entries;
}

int VisualSpeedItem(int interval)
{
    for (int i = 0; i < 3; ++i)
        if (kVisualSpeedIntervals[i] == interval)
            return i;
    return -1;
}

const char* const DisplayThemeNames[4] = {"Ice (Blue)", "Blood (Red)", "Sunset (Yellow)", "Summer (Green)"};

int32_t MulDiv32(int32_t a, int32_t b, int32_t c)
{
    if (c == 0)
        return -1;
    const int64_t product = static_cast<int64_t>(a) * b;
    const int64_t half = std::llabs(c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const int64_t magnitude = (std::llabs(product) + half) / std::llabs(c);
    const int64_t result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int32_t>::max() || result < std::numeric_limits<int32_t>::min())
        return -1;
    return static_cast<int32_t>(result);
}

TRect FitRectKeepAspect(const TRect& target, const TRect& source)
{
    const int tw = target.Width(), th = target.Height();
    const int sw = source.Width(), sh = source.Height();
    if (sw <= 0 || sh <= 0)
        return TRect(target.left, target.top, target.left, target.top);
    const double rx = static_cast<double>(tw) / sw;
    const double ry = static_cast<double>(th) / sh;
    int width = 0, height = 0;
    if (ry <= rx) {
        height = th;
        width = MulDiv32(sw, th, sh);
    } else {
        width = tw;
        height = MulDiv32(sh, tw, sw);
    }
    const int left = target.left + (tw - width) / 2;
    const int top = target.top + (th - height) / 2;
    return TRect(left, top, left + width, top + height);
}
