#pragma once
// The bookmark list's texts without a window: names, time texts, the hexadecimal position a
// row keeps and reads back, and the video window's menu caption.
#include <cstdint>
#include <optional>
#include <string>

// "Bookmark 01" for the first row.
std::string BookmarkName(int rowCount);
// "hh:mm:ss" of a position in 100-ns units, through tenths rounded half to even.
std::string BookmarkTimeText(int64_t position);
// The position as 16 upper-case hexadecimal digits, every bit kept.
std::string BookmarkPositionHex(int64_t position);
// The position a row's hexadecimal text holds; nothing when the text is not 1..16 hex digits.
std::optional<int64_t> BookmarkPositionFromHex(const std::string& hex);
// The menu item's caption: the name alone, or the name, two blanks and the time.
std::string BookmarkMenuCaption(const std::string& name, const std::string& timeText, bool hideTimeStamp);
