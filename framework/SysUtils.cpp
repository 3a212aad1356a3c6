#include "SysUtils.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

std::string FormatV(const char* fmt, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (needed <= 0)
        return {};
    std::string out(static_cast<size_t>(needed) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), fmt, args);
    out.resize(static_cast<size_t>(needed));
    return out;
}

std::string Format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    std::string out = FormatV(fmt, args);
    va_end(args);
    return out;
}

std::string IntToStr(int64_t value)
{
    return std::to_string(value);
}

std::string IntToHex(uint64_t value, int digits)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    do {
        out.insert(out.begin(), hex[value & 15]);
        value >>= 4;
    } while (value != 0);
    if (static_cast<int>(out.size()) < digits)
        out.insert(0, static_cast<size_t>(digits) - out.size(), '0');
    return out;
}

bool TryStrToInt64(std::string_view text, int64_t& value)
{
    std::string_view s = text;
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s.front() == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty())
        return false;
    uint64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
    if (ec != std::errc() || end != s.data() + s.size())
        return false;
    if (base == 16 && !negative) {
        value = static_cast<int64_t>(magnitude);  // hexadecimal may give the full bit pattern
        return true;
    }
    if (magnitude > static_cast<uint64_t>(INT64_MAX) + (negative ? 1u : 0u))
        return false;
    value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

bool TryStrToInt(std::string_view text, int& value)
{
    int64_t wide = 0;
    if (!TryStrToInt64(text, wide))
        return false;
    if (wide < INT32_MIN || wide > INT32_MAX)
        return false;
    value = static_cast<int>(wide);
    return true;
}

int StrToInt(std::string_view text)
{
    int value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
    return value;
}

int StrToIntDef(std::string_view text, int fallback)
{
    int value = 0;
    return TryStrToInt(text, value) ? value : fallback;
}

namespace {
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
}

std::string TrimLeft(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return std::string(text.substr(i));
}

std::string TrimRight(std::string_view text)
{
    size_t n = text.size();
    while (n > 0 && IsBlank(text[n - 1]))
        --n;
    return std::string(text.substr(0, n));
}

std::string Trim(std::string_view text)
{
    return TrimLeft(TrimRight(text));
}

std::string UpperCase(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), AsciiUpper);
    return out;
}

std::string LowerCase(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), AsciiLower);
    return out;
}

int CompareText(std::string_view a, std::string_view b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int ca = static_cast<unsigned char>(AsciiUpper(a[i]));
        const int cb = static_cast<unsigned char>(AsciiUpper(b[i]));
        if (ca != cb)
            return ca - cb;
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

bool SameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && CompareText(a, b) == 0;
}

bool StartsText(std::string_view prefix, std::string_view text)
{
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

bool EndsText(std::string_view suffix, std::string_view text)
{
    return text.size() >= suffix.size() && SameText(text.substr(text.size() - suffix.size()), suffix);
}

std::string StringReplaceAll(std::string_view text, std::string_view from, std::string_view to)
{
    if (from.empty())
        return std::string(text);
    std::string out;
    size_t pos = 0;
    for (;;) {
        const size_t hit = text.find(from, pos);
        if (hit == std::string_view::npos)
            break;
        out.append(text.substr(pos, hit - pos)).append(to);
        pos = hit + from.size();
    }
    out.append(text.substr(pos));
    return out;
}

namespace {
size_t LastDelimiter(std::string_view name, bool withDrive)
{
    for (size_t i = name.size(); i > 0; --i) {
        const char c = name[i - 1];
        if (IsPathDelimiter(c) || (withDrive && c == ':'))
            return i - 1;
    }
    return std::string_view::npos;
}
}

std::string ExtractFilePath(std::string_view name)
{
    const size_t at = LastDelimiter(name, true);
    return at == std::string_view::npos ? std::string() : std::string(name.substr(0, at + 1));
}

std::string ExtractFileDir(std::string_view name)
{
    std::string path = ExtractFilePath(name);
    if (path.size() > 1 && IsPathDelimiter(path.back()) && path[path.size() - 2] != ':')
        path.pop_back();
    return path;
}

std::string ExtractFileName(std::string_view name)
{
    const size_t at = LastDelimiter(name, true);
    return std::string(at == std::string_view::npos ? name : name.substr(at + 1));
}

std::string ExtractFileExt(std::string_view name)
{
    for (size_t i = name.size(); i > 0; --i) {
        const char c = name[i - 1];
        if (c == '.')
            return std::string(name.substr(i - 1));
        if (IsPathDelimiter(c) || c == ':')
            break;
    }
    return {};
}

std::string ChangeFileExt(std::string_view name, std::string_view ext)
{
    const std::string current = ExtractFileExt(name);
    return std::string(name.substr(0, name.size() - current.size())) + std::string(ext);
}

std::string IncludeTrailingPathDelimiter(std::string_view path)
{
    std::string out(path);
    if (out.empty() || !IsPathDelimiter(out.back()))
        out += PathDelim;
    return out;
}

std::string ExcludeTrailingPathDelimiter(std::string_view path)
{
    std::string out(path);
    if (!out.empty() && IsPathDelimiter(out.back()))
        out.pop_back();
    return out;
}

TDateTime EncodeDate(int year, int month, int day)
{
    static const int monthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                         {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > monthDays[leap][month - 1])
        throw EConvertError("Invalid argument to date encode");
    // Days from the civil calendar, counted from 1970-01-01, then moved to 1899-12-30.
    const int y = month <= 2 ? year - 1 : year;
    const int era = y / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const int64_t days1970 = static_cast<int64_t>(era) * 146097 + dayOfEra - 719468;
    return static_cast<TDateTime>(days1970 + 25569);
}

TDateTime EncodeTime(int hour, int minute, int second, int msec)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999)
        throw EConvertError("Invalid argument to time encode");
    return (((hour * 60 + minute) * 60 + second) * 1000.0 + msec) / 86400000.0;
}
