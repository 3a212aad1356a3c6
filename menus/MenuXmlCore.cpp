#include "MenuXmlCore.h"

#include "framework/ComponentStreamIO.h"

#include <algorithm>
#include <cstring>
#include <vector>

// ---- Tokenizer ----

char TMyParser::NextToken()
{
    if (!BeginToken())
        return FToken = toEOF;
    const char c = CharAt();
    if (c == '"') {
        Advance();
        FTokenString = ReadRawUntil('"');
        return FToken = toString;
    }
    const auto isNameChar = [](char ch) { return IsSymbolChar(ch) || ch == '-' || ch == '.' || ch == ':'; };
    if (isNameChar(c))
        return SymbolToken(isNameChar);
    return CharToken();
}

std::string TMyParser::TextUntilTag()
{
    std::string text = ReadRawUntil('<');
    FToken = '<';
    FTokenString = "<";
    return text;
}

bool TMyParser::NextWordIs(std::string_view word) const
{
    size_t i = 0;
    while (IsSymbolChar(CharAt(i)) || CharAt(i) == '-')
        ++i;
    return i == word.size() && SameText(FSource.substr(FPos, i), word);
}

void TMyParser::SkipConstruct()
{
    if (CharAt() == '!' && CharAt(1) == '-' && CharAt(2) == '-') {
        const size_t end = FSource.find("-->", FPos + 3);
        if (end == std::string::npos)
            Error("Unexpected end of file");
        Advance(end + 3 - FPos);
    } else {
        ReadRawUntil('>');
    }
    NextToken();
}

namespace {

const std::string CRLF = "\r\n";

std::string Indent(int level) { return std::string(static_cast<size_t>(level) * 2, ' '); }

// ---- Text encodings ----

// Code points of an ANSI text.
std::vector<uint32_t> CodePoints(const std::string& ansi)
{
    const WideString wide = AnsiToWide(ansi);
    std::vector<uint32_t> out;
    for (size_t i = 0; i < wide.size(); ++i) {
        uint32_t cp = static_cast<uint32_t>(wide[i]);
        if (sizeof(wchar_t) == 2 && cp >= 0xD800 && cp < 0xDC00 && i + 1 < wide.size()) {
            const auto low = static_cast<uint32_t>(wide[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        out.push_back(cp);
    }
    return out;
}

void AppendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// UTF-8 to ANSI; a broken sequence becomes "?".
std::string Utf8ToAnsi(const std::string& utf8)
{
    WideString wide;
    for (size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        int extra = c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        bool bad = (c >= 0x80 && c < 0xC0) || c >= 0xF8;
        uint32_t cp = extra == 0 ? c : (c & (0x3F >> extra));
        size_t j = i + 1;
        for (; extra > 0 && j < utf8.size() && (static_cast<unsigned char>(utf8[j]) & 0xC0) == 0x80; --extra, ++j)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[j]) & 0x3F);
        if (extra > 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000))
            bad = true;
        if (bad) {
            wide += L'?';
        } else if (sizeof(wchar_t) == 2 && cp >= 0x10000) {
            wide += static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            wide += static_cast<wchar_t>(cp);
        }
        i = j;
    }
    return WideToAnsi(wide);
}

// "&" "<" ">" as entities, character 1 as "&#160;", other control characters by number.
std::string EscapedUtf8(const uint32_t* cps, size_t count)
{
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t cp = cps[i];
        if (cp == '&')
            out += "&amp;";
        else if (cp == '<')
            out += "&lt;";
        else if (cp == '>')
            out += "&gt;";
        else if (cp == 1)
            out += "&#160;";
        else if (cp < 32)
            out += "&#" + std::to_string(cp) + ";";
        else
            AppendUtf8(out, cp);
    }
    return out;
}

// One pass over the entities: "&amp;lt;" gives "&lt;".
std::string DecodeEntities(const std::string& text)
{
    static const struct {
        const char* Entity;
        char Char;
    } entities[] = {{"&#160;", '\1'}, {"&amp;", '&'}, {"& amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}};
    std::string out;
    for (size_t i = 0; i < text.size();) {
        bool done = false;
        if (text[i] == '&') {
            for (const auto& e : entities) {
                const size_t n = std::strlen(e.Entity);
                if (text.compare(i, n, e.Entity) == 0) {
                    out += e.Char;
                    i += n;
                    done = true;
                    break;
                }
            }
            if (!done && i + 3 < text.size() && text[i + 1] == '#') {
                size_t j = i + 2;
                int code = 0;
                while (j < text.size() && j < i + 4 && text[j] >= '0' && text[j] <= '9')
                    code = code * 10 + (text[j++] - '0');
                if (j > i + 2 && j < text.size() && text[j] == ';' && code < 32) {
                    out += static_cast<char>(code);
                    i = j + 1;
                    done = true;
                }
            }
        }
        if (!done)
            out += text[i++];
    }
    return out;
}

// ---- Binary to XML ----

class TXmlWriter {
public:
    TXmlWriter(TStreamBytes& in, std::string& out) : FIn(in), FOut(out) {}

    void Object(int level)
    {
        if (level > MaxStreamDepth)
            throw EReadError("Invalid stream format");
        uint8_t flags = 0;
        int64_t position = -1;
        FIn.Prefix(flags, position);
        const std::string className = FIn.ShortString();
        const std::string objectName = FIn.ShortString();
        FOut += Indent(level) + "<" + ObjectWord(flags);
        if (!objectName.empty())
            FOut += " name=\"" + objectName + "\"";
        FOut += " type=\"" + className + "\"";
        if (flags & ffChildPos)
            FOut += " position=\"" + std::to_string(position) + "\"";
        FOut += ">" + CRLF;
        for (std::string name = FIn.ShortString(); !name.empty(); name = FIn.ShortString()) {
            std::string tag = LowerCase(StringReplaceAll(name, ".", "-"));
            std::string kind;
            const std::string body = Value(level + 1, objectName, name, kind, 0);
            FOut += Indent(level + 1) + "<" + tag + " type=\"" + kind + "\">" + body + "</" + tag + ">" + CRLF;
        }
        while (FIn.Peek() != 0)
            Object(level + 1);
        FIn.U8();
        FOut += Indent(level) + "</object>" + CRLF;
    }

private:
    static const char* ObjectWord(uint8_t flags)
    {
        return (flags & ffInherited) ? "inherited" : (flags & ffInline) ? "inline" : "object";
    }

    // Lines one level deeper than the element, each on a line of its own, and the element's
    // indentation before its closing tag.
    static std::string Lines(const std::vector<std::string>& lines, int level)
    {
        if (lines.empty())
            return {};
        std::string out;
        for (const auto& line : lines)
            out += CRLF + Indent(level + 1) + line;
        return out + CRLF + Indent(level);
    }

    static std::string StringBody(const std::string& ansi, int level)
    {
        const std::vector<uint32_t> cps = CodePoints(ansi);
        if (cps.size() <= 64)
            return EscapedUtf8(cps.data(), cps.size());
        std::vector<std::string> pieces;
        for (size_t at = 0; at < cps.size(); at += 64)
            pieces.push_back(EscapedUtf8(cps.data() + at, std::min<size_t>(64, cps.size() - at)));
        return Lines(pieces, level);
    }

    std::string Value(int level, const std::string& objectName, const std::string& propName, std::string& kind,
                      int depth)
    {
        if (depth > MaxStreamDepth)
            throw EReadError("Invalid stream format");
        const uint8_t type = FIn.U8();
        switch (type) {
        case vaNull: kind = "identifier"; return "Null";
        case vaFalse: kind = "identifier"; return "False";
        case vaTrue: kind = "identifier"; return "True";
        case vaNil: kind = "identifier"; return "nil";
        case vaIdent: kind = "identifier"; return FIn.ShortString();
        case vaInt8: case vaInt16: case vaInt32: kind = "integer"; return std::to_string(FIn.Integer(type));
        case vaString: kind = "string"; return StringBody(FIn.ShortString(), level);
        case vaLString: kind = "string"; return StringBody(FIn.Text(FIn.U32()), level);
        case vaBinary: {
            kind = "binary";
            const uint32_t size = FIn.U32();
            const uint8_t* bytes = FIn.Take(size);
            std::vector<std::string> lines;
            for (uint32_t i = 0; i < size; ++i) {
                if (i % 32 == 0)
                    lines.emplace_back();
                lines.back() += IntToHex(bytes[i], 2);
            }
            if (size < 32)
                return lines.empty() ? std::string() : lines[0];
            return Lines(lines, level);
        }
        case vaSet: {
            kind = "set";
            std::vector<std::string> lines;
            for (std::string name = FIn.ShortString(); !name.empty(); name = FIn.ShortString())
                lines.push_back("<value>" + name + "</value>");
            return Lines(lines, level);
        }
        case vaList: {
            kind = "list";
            std::vector<std::string> lines;
            while (FIn.Peek() != vaNull) {
                std::string itemKind;
                const std::string body = Value(level + 1, objectName, propName, itemKind, depth + 1);
                lines.push_back("<item type=\"" + itemKind + "\">" + body + "</item>");
            }
            FIn.U8();
            return Lines(lines, level);
        }
        default:
            throw EReadError(Format("Error reading %s%s%s: %s", objectName.c_str(), ".", propName.c_str(),
                                    std::to_string(type).c_str()));
        }
    }

    TStreamBytes& FIn;
    std::string& FOut;
};

// ---- XML to binary ----

class TXmlReader {
public:
    TXmlReader(std::string source, TStreamBuilder& out) : FParser(std::move(source)), FOut(out) {}

    void Document()
    {
        FParser.NextToken();
        while (FParser.Token() == '<' && (PeekChar() == '?' || PeekChar() == '!'))
            FParser.SkipConstruct();
        Object(0);
    }

private:
    char PeekChar() const { return FParser.CurrentChar(); }

    bool AtObjectStart() const
    {
        return FParser.NextWordIs("object") || FParser.NextWordIs("inherited") || FParser.NextWordIs("inline");
    }

    void Object(int level)
    {
        if (level > MaxStreamDepth)
            FParser.Error("Nesting too deep");
        FParser.CheckToken('<');
        FParser.NextToken();
        uint8_t flags = 0;
        if (FParser.TokenSymbolIs("inherited"))
            flags = ffInherited;
        else if (FParser.TokenSymbolIs("inline"))
            flags = ffInline;
        else
            FParser.CheckTokenSymbol("object");
        std::string objectName, className;
        int64_t position = -1;
        for (FParser.NextToken(); FParser.Token() != '>'; FParser.NextToken()) {
            FParser.CheckToken(TParser::toSymbol);
            const std::string attribute = FParser.TokenString();
            FParser.NextToken();
            FParser.CheckToken('=');
            FParser.NextToken();
            FParser.CheckToken(TParser::toString);
            if (SameText(attribute, "name")) {
                objectName = FParser.TokenString();
            } else if (SameText(attribute, "type")) {
                className = FParser.TokenString();
            } else if (SameText(attribute, "position")) {
                if (!TryStrToInt64(FParser.TokenString(), position) || position < INT32_MIN || position > INT32_MAX)
                    FParser.Error("Invalid integer value '" + FParser.TokenString() + "'");
                flags |= ffChildPos;
            }
        }
        FOut.Prefix(flags, position);
        FOut.ShortString(className);
        FOut.ShortString(objectName);
        FParser.NextToken();
        while (FParser.Token() == '<' && PeekChar() != '/' && !AtObjectStart())
            Property(level + 1);
        FOut.U8(0);
        while (FParser.Token() == '<' && PeekChar() != '/')
            Object(level + 1);
        FOut.U8(0);
        CloseTag();
    }

    // At a "<" token: the closing tag is passed over up to its ">".
    void CloseTag()
    {
        FParser.CheckToken('<');
        if (PeekChar() != '/')
            FParser.Error("'/' expected");
        FParser.ReadRawUntil('>');
        FParser.NextToken();
    }

    // After the name: type="kind" and ">".
    std::string KindAttribute()
    {
        FParser.NextToken();
        FParser.CheckTokenSymbol("type");
        FParser.NextToken();
        FParser.CheckToken('=');
        FParser.NextToken();
        FParser.CheckToken(TParser::toString);
        std::string kind = FParser.TokenString();
        FParser.NextToken();
        FParser.CheckToken('>');
        return kind;
    }

    void Property(int level)
    {
        FParser.NextToken();
        FParser.CheckToken(TParser::toSymbol);
        FOut.ShortString(StringReplaceAll(FParser.TokenString(), "-", "."));
        const std::string kind = KindAttribute();
        Value(kind, level, 0);
        CloseTag();
    }

    // The value after the ">" of its element; ends at the "<" of the closing tag.
    void Value(const std::string& kind, int level, int depth)
    {
        if (depth > MaxStreamDepth)
            FParser.Error("Nesting too deep");
        if (SameText(kind, "string")) {
            FOut.String(Utf8ToAnsi(DecodeEntities(JoinedPieces(FParser.TextUntilTag(), level))));
        } else if (SameText(kind, "identifier")) {
            const std::string word = Trim(FParser.TextUntilTag());
            if (word.empty())
                throw EReadError("Invalid property value");
            FOut.Identifier(word);
        } else if (SameText(kind, "integer")) {
            int64_t value = 0;
            if (!TryStrToInt64(Trim(FParser.TextUntilTag()), value))
                throw EReadError("Invalid property value");
            FOut.Integer(value);
        } else if (SameText(kind, "binary")) {
            Binary(FParser.TextUntilTag());
        } else if (SameText(kind, "set")) {
            FOut.U8(vaSet);
            for (SkipToTag(); PeekChar() != '/';) {
                FParser.NextToken();
                FParser.CheckTokenSymbol("value");
                FParser.NextToken();
                FParser.CheckToken('>');
                const std::string name = Trim(FParser.TextUntilTag());
                if (name.empty())
                    throw EReadError("Invalid property value");
                FOut.ShortString(name);
                CloseTagInside();
            }
            FOut.ShortString("");
        } else if (SameText(kind, "list")) {
            FOut.U8(vaList);
            for (SkipToTag(); PeekChar() != '/';) {
                FParser.NextToken();
                FParser.CheckTokenSymbol("item");
                Value(KindAttribute(), level + 1, depth + 1);
                CloseTagInside();
            }
            FOut.U8(vaNull);
        } else {
            // No value type of these streams holds a floating-point number.
            throw EReadError("Invalid property value");
        }
        FParser.CheckToken('<');
    }

    // A closing tag inside a value; the token before the next element is not read.
    void CloseTagInside()
    {
        FParser.CheckToken('<');
        if (PeekChar() != '/')
            FParser.Error("'/' expected");
        FParser.ReadRawUntil('>');
        SkipToTag();
    }

    // Blanks up to the next "<", which becomes the token.
    void SkipToTag()
    {
        if (!Trim(FParser.TextUntilTag()).empty())
            throw EReadError("Invalid property value");
    }

    // A text on one line is itself; a text in pieces (it starts with a line break) joins its
    // lines, each without the indentation of its level, and without the last line's blanks.
    static std::string JoinedPieces(const std::string& raw, int level)
    {
        if (raw.empty() || (raw[0] != '\r' && raw[0] != '\n'))
            return raw;
        const size_t indent = static_cast<size_t>(level + 1) * 2;
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t lf; (lf = raw.find('\n', start)) != std::string::npos; start = lf + 1)
            lines.push_back(raw.substr(start, lf - start));
        const std::string last = raw.substr(start);
        std::string out;
        for (size_t i = 1; i < lines.size(); ++i) {
            std::string line = lines[i];
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            size_t blanks = 0;
            while (blanks < indent && blanks < line.size() && line[blanks] == ' ')
                ++blanks;
            out += line.substr(blanks);
        }
        if (!Trim(last).empty())
            out += TrimLeft(last);
        return out;
    }

    void Binary(const std::string& text)
    {
        std::string bytes;
        if (!HexPairsToBytes(text, bytes))
            throw EReadError("Invalid binary value");
        FOut.Binary(bytes);
    }

    TMyParser FParser;
    TStreamBuilder& FOut;
};

}  // namespace

void ObjectBinaryToXml(TStream& input, TStream& output)
{
    TSignedStreamRest rest(input);
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + CRLF + "<!-- Menu layout -->" + CRLF;
    TXmlWriter(rest.In(), out).Object(0);
    output.WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
}

void ObjectXmlToBinary(TStream& input, TStream& output)
{
    const std::vector<uint8_t> bytes = ReadRest(input);
    TStreamBuilder out;
    out.Signature();
    TXmlReader(std::string(bytes.begin(), bytes.end()), out).Document();
    output.WriteBuffer(out.Bytes.data(), static_cast<int64_t>(out.Bytes.size()));
}
