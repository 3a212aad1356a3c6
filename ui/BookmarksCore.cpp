#include "ui/BookmarksCore.h"

#include "framework/SysUtils.h"

#include <charconv>

std::string BookmarkName(int rowCount)
{
    return Format("Bookmark %2.2d", rowCount);
}

namespace {

// Tenths of a second in a position, halves to the even neighbour.
int64_t RoundedTenths(int64_t position)
{
    constexpr int64_t unit = 1000000;
    int64_t tenths = position / unit;
    const int64_t rest = position % unit;
    const int64_t twice = rest < 0 ? -2 * rest : 2 * rest;
    if (twice > unit || (twice == unit && tenths % 2 != 0))
        tenths += rest < 0 ? -1 : 1;
    return tenths;
}

}  // namespace

std::string BookmarkTimeText(int64_t position)
{
    const int64_t t = RoundedTenths(position);
    return Format("%2.2lld:%2.2lld:%2.2lld", static_cast<long long>(t / 36000), static_cast<long long>(t % 36000 / 600),
                  static_cast<long long>(t % 36000 % 600 / 10));
}

std::string BookmarkPositionHex(int64_t position)
{
    return IntToHex(static_cast<uint64_t>(position), 16);
}

std::optional<int64_t> BookmarkPositionFromHex(const std::string& hex)
{
    if (hex.empty() || hex.size() > 16)
        return std::nullopt;
    // Unsigned: no sign and no prefix, hexadecimal digits only.
    uint64_t value = 0;
    const auto [end, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), value, 16);
    if (ec != std::errc() || end != hex.data() + hex.size())
        return std::nullopt;
    return static_cast<int64_t>(value);
}

std::string BookmarkMenuCaption(const std::string& name, const std::string& timeText, bool hideTimeStamp)
{
    return hideTimeStamp ? name : Format("%s  %s", name.c_str(), timeText.c_str());
}
