#pragma once
// INI files held in memory, read and written by the rules of the platform's profile functions:
// section and key names ignore case, the first of duplicates wins, blanks around names and
// values are dropped, one pair of matching quotes around a value is removed, and lines that
// begin with ";" are comments.
#include "Classes.h"

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TMemIniFile : public TObject {
public:
    // A missing or unreadable file reads as an empty one.
    explicit TMemIniFile(const std::string& fileName);

    const std::string& FileName() const { return FFileName; }

    std::string ReadString(const std::string& section, const std::string& ident, const std::string& fallback) const;
    // The value as a decimal (or "$"/"0x" hexadecimal) number; fallback when missing or not a number.
    int ReadInteger(const std::string& section, const std::string& ident, int fallback) const;
    // Replaces the first value of that name, else appends it to the section, else appends the section.
    void WriteString(const std::string& section, const std::string& ident, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& ident, int value);

    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& ident) const;
    // The key names of the section in file order.
    void ReadSection(const std::string& section, TStringList& idents) const;
    // Reads one section of a file without keeping the file, for long files read once: every
    // key in file order, duplicates too, with its value as ReadString gives it; the views last
    // for the call. A missing or unreadable file has no keys.
    static void ForEachValue(const std::string& fileName, const std::string& section,
                             const std::function<void(std::string_view ident, std::string_view value)>& visit);

    void Clear();
    // The file as UpdateFile writes it, every line ended by CR LF.
    std::string Text() const;
    void SetText(std::string_view text);
    // Writes the whole file or nothing: EFCreateError, and the old file stays as it was.
    void UpdateFile() const;

private:
    struct TLine {
        std::string Raw;  // as read or written
        std::string Key;  // empty for blank and comment lines
        std::string Value;
    };
    struct TSection {
        std::string Name;
        std::string Raw;
        std::vector<TLine> Lines;
        // Upper-cased key -> the index of its first line, so that long sections read in linear time.
        std::unordered_map<std::string, size_t> Keys;
    };
    int FindSection(const std::string& section) const;  // -1 when missing
    const TLine* FindKey(const std::string& section, const std::string& ident) const;

    std::string FFileName;
    std::vector<std::string> FHead;  // lines before the first section, kept as they are
    std::vector<TSection> FSections;
};
