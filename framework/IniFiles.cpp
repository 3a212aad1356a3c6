#include "IniFiles.h"

#include <algorithm>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// One pair of matching quotes around a value is not part of it.
std::string_view Unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The whole file; false when it cannot be read.
bool ReadFileText(const std::string& fileName, std::string& text)
{
    try {
        TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
        text.resize(static_cast<size_t>(std::max<int64_t>(stream.Size(), 0)));
        stream.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
        return true;
    } catch (const Exception&) {
        return false;
    }
}

// Calls each(line) for every line of text, split as a string list splits (at CR, LF or CR LF).
template <class Each>
void ForEachLine(std::string_view text, Each&& each)
{
    for (size_t start = 0; start < text.size();) {
        size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        each(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r')
            ++end;
        if (end < text.size() && text[end] == '\n')
            ++end;
        start = end;
    }
}

// A line by the profile rules: a section header (its name), a key (its name and value), or
// neither (blank, a comment, or nothing before the "=").
struct TIniLine {
    enum TKind { Other, Section, Key } Kind = Other;
    std::string_view Name;
    std::string_view Value;
};

TIniLine ParseLine(std::string_view raw)
{
    const std::string_view line = TrimBlanks(raw);
    if (!line.empty() && line.front() == '[') {
        const size_t close = line.find(']');
        return {TIniLine::Section, TrimBlanks(line.substr(1, close == std::string_view::npos ? close : close - 1)), {}};
    }
    if (line.empty() || line.front() == ';')
        return {};
    const size_t eq = line.find('=');
    const std::string_view key = TrimBlanks(line.substr(0, eq));
    if (key.empty())
        return {};
    return {TIniLine::Key, key, eq == std::string_view::npos ? std::string_view() : TrimBlanks(line.substr(eq + 1))};
}

}  // namespace

TMemIniFile::TMemIniFile(const std::string& fileName) : FFileName(fileName)
{
    std::string text;
    if (ReadFileText(fileName, text))  // a missing or unreadable file reads as an empty one
        SetText(text);
}

void TMemIniFile::ForEachValue(const std::string& fileName, const std::string& section,
                               const std::function<void(std::string_view ident, std::string_view value)>& visit)
{
    std::string text;
    if (!ReadFileText(fileName, text))
        return;
    // The first section of that name, as a look-up finds it.
    enum { Before, Inside, After } where = Before;
    ForEachLine(text, [&](std::string_view raw) {
        const TIniLine line = ParseLine(raw);
        if (line.Kind == TIniLine::Section) {
            if (where == Inside)
                where = After;
            else if (where == Before && SameText(line.Name, section))
                where = Inside;
        } else if (line.Kind == TIniLine::Key && where == Inside) {
            visit(line.Name, Unquote(line.Value));
        }
    });
}

void TMemIniFile::Clear()
{
    FHead.clear();
    FSections.clear();
}

void TMemIniFile::SetText(std::string_view text)
{
    Clear();
    ForEachLine(text, [&](std::string_view raw) {
        const TIniLine line = ParseLine(raw);
        if (line.Kind == TIniLine::Section)
            FSections.push_back({std::string(line.Name), std::string(raw), {}, {}});
        else if (FSections.empty())
            FHead.emplace_back(raw);
        else
            FSections.back().Lines.push_back({std::string(raw), std::string(line.Name), std::string(line.Value)});
    });
    // Indexed once the lines are all in: the index is sized once, not rehashed as it grows.
    for (TSection& section : FSections) {
        section.Keys.reserve(section.Lines.size());
        for (size_t i = 0; i < section.Lines.size(); ++i)
            if (!section.Lines[i].Key.empty())
                section.Keys.emplace(UpperCase(section.Lines[i].Key), i);  // the first of duplicates stays
    }
}

std::string TMemIniFile::Text() const
{
    std::string out;
    for (const std::string& line : FHead)
        out += line + "\r\n";
    for (const TSection& section : FSections) {
        out += section.Raw + "\r\n";
        for (const TLine& line : section.Lines)
            out += line.Raw + "\r\n";
    }
    return out;
}

void TMemIniFile::UpdateFile() const
{
    const std::string text = Text();
    if (!SaveFileAtomically(FFileName, text.data(), text.size()))
        throw EFCreateError("Cannot create file \"" + FFileName + "\"");
}

int TMemIniFile::FindSection(const std::string& section) const
{
    for (size_t i = 0; i < FSections.size(); ++i)
        if (SameText(FSections[i].Name, section))
            return static_cast<int>(i);
    return -1;
}

const TMemIniFile::TLine* TMemIniFile::FindKey(const std::string& section, const std::string& ident) const
{
    const int s = FindSection(section);
    if (s < 0)
        return nullptr;
    const TSection& found = FSections[static_cast<size_t>(s)];
    const auto key = found.Keys.find(UpperCase(ident));
    return key == found.Keys.end() ? nullptr : &found.Lines[key->second];
}

std::string TMemIniFile::ReadString(const std::string& section, const std::string& ident, const std::string& fallback) const
{
    const TLine* line = FindKey(section, ident);
    return line ? std::string(Unquote(line->Value)) : fallback;
}

int TMemIniFile::ReadInteger(const std::string& section, const std::string& ident, int fallback) const
{
    return StrToIntDef(ReadString(section, ident, ""), fallback);
}

bool TMemIniFile::SectionExists(const std::string& section) const
{
    return FindSection(section) >= 0;
}

bool TMemIniFile::ValueExists(const std::string& section, const std::string& ident) const
{
    return FindKey(section, ident) != nullptr;
}

void TMemIniFile::ReadSection(const std::string& section, TStringList& idents) const
{
    idents.Clear();
    const int s = FindSection(section);
    if (s >= 0)
        for (const TLine& line : FSections[static_cast<size_t>(s)].Lines)
            if (!line.Key.empty())
                idents.Add(line.Key);
}

void TMemIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value)
{
    // Kept as a reload would read it back.
    const TLine written{ident + "=" + value, std::string(TrimBlanks(ident)), std::string(TrimBlanks(value))};
    int s = FindSection(section);
    if (s < 0) {
        FSections.push_back({section, "[" + section + "]", {}, {}});
        s = static_cast<int>(FSections.size()) - 1;
    }
    TSection& target = FSections[static_cast<size_t>(s)];
    std::vector<TLine>& lines = target.Lines;
    const auto key = target.Keys.find(UpperCase(ident));
    if (key != target.Keys.end()) {
        lines[key->second] = written;
        return;
    }
    // After the section's last key, so blank lines and comments that close it stay behind it;
    // only keyless lines move, so the index stays right.
    size_t at = lines.size();
    while (at > 0 && lines[at - 1].Key.empty())
        --at;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), written);
    if (!written.Key.empty())
        target.Keys.emplace(UpperCase(written.Key), at);
}

void TMemIniFile::WriteInteger(const std::string& section, const std::string& ident, int value)
{
    WriteString(section, ident, IntToStr(value));
}
