#include "IniFiles.h"

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

}  // namespace

TMemIniFile::TMemIniFile(const std::string& fileName) : FFileName(fileName)
{
    TStringList lines;
    try {
        lines.LoadFromFile(fileName);
    } catch (const Exception&) {
        return;
    }
    SetText(lines.Text());
}

void TMemIniFile::Clear()
{
    FHead.clear();
    FSections.clear();
}

void TMemIniFile::SetText(std::string_view text)
{
    Clear();
    TStringList lines;
    lines.SetText(text);
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string& raw = lines[i];
        const std::string_view line = TrimBlanks(raw);
        if (!line.empty() && line.front() == '[') {
            const size_t close = line.find(']');
            const std::string_view name = line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
            FSections.push_back({std::string(TrimBlanks(name)), raw, {}, {}});
            continue;
        }
        if (FSections.empty()) {
            FHead.push_back(raw);
            continue;
        }
        TLine entry{raw, {}, {}};
        if (!line.empty() && line.front() != ';') {
            const size_t eq = line.find('=');
            entry.Key = std::string(TrimBlanks(line.substr(0, eq)));
            if (eq != std::string_view::npos)
                entry.Value = std::string(TrimBlanks(line.substr(eq + 1)));
        }
        TSection& last = FSections.back();
        if (!entry.Key.empty())
            last.Keys.emplace(UpperCase(entry.Key), last.Lines.size());
        last.Lines.push_back(std::move(entry));
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
