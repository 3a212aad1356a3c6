#include "TextComponentStream.h"

#include "ComponentStreamIO.h"

// ---- Parser ----

TParser::TParser(std::string source) : FSource(std::move(source)) {}

bool TParser::IsSymbolStart(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool TParser::IsSymbolChar(char c) { return IsSymbolStart(c) || (c >= '0' && c <= '9'); }

void TParser::Advance(size_t count)
{
    for (; count > 0 && FPos < FSource.size(); --count, ++FPos)
        if (FSource[FPos] == '\n')
            ++FLine;
}

void TParser::SkipBlanks()
{
    while (!AtEnd() && static_cast<unsigned char>(CharAt()) <= ' ')
        Advance();
}

std::string TParser::ReadRawUntil(char stop)
{
    const size_t at = FSource.find(stop, FPos);
    if (at == std::string::npos)
        Error("Unexpected end of file");
    std::string text = FSource.substr(FPos, at - FPos);
    Advance(at - FPos + 1);
    return text;
}

bool TParser::BeginToken()
{
    SkipBlanks();
    FTokenString.clear();
    return !AtEnd();
}

char TParser::SymbolToken(bool (*IsChar)(char))
{
    while (IsChar(CharAt())) {
        FTokenString += CharAt();
        Advance();
    }
    return FToken = toSymbol;
}

char TParser::CharToken()
{
    FTokenString = CharAt();
    FToken = CharAt();
    Advance();
    return FToken;
}

void TParser::Error(const std::string& message) const
{
    throw EParserError(message + " on line " + std::to_string(FLine));
}

char TParser::NextToken()
{
    if (!BeginToken())
        return FToken = toEOF;
    const char c = CharAt();
    if (IsSymbolStart(c))
        return SymbolToken(IsSymbolChar);
    if (c == '\'' || c == '#') {
        // Quoted runs ('' is a quote) and #n characters, adjacent, make one string.
        while (CharAt() == '\'' || CharAt() == '#') {
            if (CharAt() == '#') {
                Advance();
                int64_t code = 0;
                if (!(CharAt() >= '0' && CharAt() <= '9'))
                    Error("Invalid string constant");
                for (; CharAt() >= '0' && CharAt() <= '9'; Advance())
                    if ((code = code * 10 + (CharAt() - '0')) > 255)
                        Error("Invalid string constant");
                FTokenString += static_cast<char>(code);
                continue;
            }
            Advance();
            while (true) {
                if (AtEnd() || CharAt() == '\n' || CharAt() == '\r')
                    Error("Unterminated string");
                if (CharAt() == '\'') {
                    Advance();
                    if (CharAt() != '\'')
                        break;
                }
                FTokenString += CharAt();
                Advance();
            }
        }
        return FToken = toString;
    }
    if ((c >= '0' && c <= '9') || c == '$' || (c == '-' && CharAt(1) >= '0' && CharAt(1) <= '9')) {
        FToken = toInteger;
        FTokenString += c;
        Advance();
        const bool hex = c == '$';
        while (true) {
            const char d = CharAt();
            const bool digit = (d >= '0' && d <= '9') || (hex && ((d >= 'A' && d <= 'F') || (d >= 'a' && d <= 'f')));
            if (!digit && !(!hex && (d == '.' || d == 'e' || d == 'E' ||
                                    ((d == '+' || d == '-') && (FTokenString.back() == 'e' || FTokenString.back() == 'E')))))
                break;
            if (!digit)
                FToken = toFloat;
            FTokenString += d;
            Advance();
        }
        return FToken;
    }
    return CharToken();
}

bool TParser::TokenSymbolIs(std::string_view symbol) const { return FToken == toSymbol && SameText(FTokenString, symbol); }

int64_t TParser::TokenInt() const
{
    int64_t value = 0;
    if (FToken != toInteger || !TryStrToInt64(FTokenString, value) || value < INT32_MIN || value > INT32_MAX)
        Error("Invalid integer value '" + FTokenString + "'");
    return value;
}

void TParser::CheckToken(char token) const
{
    if (FToken == token)
        return;
    switch (token) {
    case toSymbol: Error("Identifier expected");
    case toString: Error("String expected");
    case toInteger: case toFloat: Error("Number expected");
    default: Error(std::string("'") + token + "' expected");
    }
}

void TParser::CheckTokenSymbol(std::string_view symbol) const
{
    if (!TokenSymbolIs(symbol))
        Error("'" + std::string(symbol) + "' expected");
}

// ---- Binary to text ----

namespace {

std::string Indent(int level) { return std::string(static_cast<size_t>(level) * 2, ' '); }

// 'A'#9'B': printable characters quoted, the others by number.
std::string QuotedPiece(std::string_view text)
{
    std::string out;
    bool inQuotes = false;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < ' ' || c == 127) {
            if (inQuotes)
                out += '\'';
            inQuotes = false;
            out += '#' + std::to_string(c);
            continue;
        }
        if (!inQuotes)
            out += '\'';
        inQuotes = true;
        out += ch;
        if (ch == '\'')
            out += '\'';
    }
    if (inQuotes)
        out += '\'';
    return out.empty() ? "''" : out;
}

void TextValue(TStreamBytes& in, std::string& out, int level, int depth);

void TextString(const std::string& text, std::string& out, int level)
{
    if (text.size() <= 64) {
        out += QuotedPiece(text);
        return;
    }
    for (size_t at = 0; at < text.size(); at += 64) {
        out += (at == 0 ? "" : " +") + std::string("\r\n") + Indent(level + 1);
        out += QuotedPiece(std::string_view(text).substr(at, 64));
    }
}

void TextValue(TStreamBytes& in, std::string& out, int level, int depth)
{
    if (depth > MaxStreamDepth)
        throw EReadError("Invalid stream format");
    const uint8_t type = in.U8();
    switch (type) {
    case vaNull: out += "Null"; return;
    case vaFalse: out += "False"; return;
    case vaTrue: out += "True"; return;
    case vaNil: out += "nil"; return;
    case vaInt8: case vaInt16: case vaInt32: out += std::to_string(in.Integer(type)); return;
    case vaIdent: out += in.ShortString(); return;
    case vaString: TextString(in.ShortString(), out, level); return;
    case vaLString: TextString(in.Text(in.U32()), out, level); return;
    case vaSet: {
        out += '[';
        bool first = true;
        for (std::string name = in.ShortString(); !name.empty(); name = in.ShortString()) {
            out += (first ? "" : ", ") + name;
            first = false;
        }
        out += ']';
        return;
    }
    case vaBinary: {
        const uint32_t size = in.U32();
        const uint8_t* bytes = in.Take(size);
        out += '{';
        for (uint32_t i = 0; i < size; ++i) {
            if (i % 32 == 0)
                out += "\r\n" + Indent(level + 1);
            out += IntToHex(bytes[i], 2);
        }
        out += '}';
        return;
    }
    case vaList:
        out += '(';
        while (in.Peek() != vaNull) {
            out += "\r\n" + Indent(level + 1);
            TextValue(in, out, level + 1, depth + 1);
        }
        in.U8();
        out += ')';
        return;
    default: throw EReadError("Invalid property value");
    }
}

void TextObject(TStreamBytes& in, std::string& out, int level)
{
    if (level > MaxStreamDepth)
        throw EReadError("Invalid stream format");
    uint8_t flags = 0;
    int64_t position = -1;
    in.Prefix(flags, position);
    const std::string className = in.ShortString();
    const std::string objectName = in.ShortString();
    out += Indent(level) + ((flags & ffInherited) ? "inherited " : (flags & ffInline) ? "inline " : "object ");
    if (!objectName.empty())
        out += objectName + ": ";
    out += className;
    if (flags & ffChildPos)
        out += " [" + std::to_string(position) + "]";
    out += "\r\n";
    for (std::string name = in.ShortString(); !name.empty(); name = in.ShortString()) {
        out += Indent(level + 1) + name + " = ";
        TextValue(in, out, level + 1, 0);
        out += "\r\n";
    }
    while (in.Peek() != 0)
        TextObject(in, out, level + 1);
    in.U8();
    out += Indent(level) + "end\r\n";
}

// ---- Text to binary ----

class TTextReader {
public:
    TTextReader(std::string source, TStreamBuilder& out) : FParser(std::move(source)), FOut(out) {}
    TParser& Parser() { return FParser; }

    void Object(int depth)
    {
        if (depth > MaxStreamDepth)
            FParser.Error("Nesting too deep");
        uint8_t flags = 0;
        if (FParser.TokenSymbolIs("inherited"))
            flags = ffInherited;
        else if (FParser.TokenSymbolIs("inline"))
            flags = ffInline;
        else
            FParser.CheckTokenSymbol("object");
        FParser.NextToken();
        FParser.CheckToken(TParser::toSymbol);
        std::string objectName, className = FParser.TokenString();
        if (FParser.NextToken() == ':') {
            FParser.NextToken();
            FParser.CheckToken(TParser::toSymbol);
            objectName = className;
            className = FParser.TokenString();
            FParser.NextToken();
        }
        int64_t position = -1;
        if (FParser.Token() == '[') {
            FParser.NextToken();
            position = FParser.TokenInt();
            FParser.NextToken();
            FParser.CheckToken(']');
            FParser.NextToken();
            flags |= ffChildPos;
        }
        FOut.Prefix(flags, position);
        FOut.ShortString(className);
        FOut.ShortString(objectName);
        while (!IsObjectStart() && !FParser.TokenSymbolIs("end"))
            Property();
        FOut.U8(0);
        while (!FParser.TokenSymbolIs("end"))
            Object(depth + 1);
        FOut.U8(0);
        FParser.NextToken();
    }

private:
    bool IsObjectStart() const
    {
        return FParser.TokenSymbolIs("object") || FParser.TokenSymbolIs("inherited") || FParser.TokenSymbolIs("inline");
    }

    void Property()
    {
        FParser.CheckToken(TParser::toSymbol);
        std::string name = FParser.TokenString();
        while (FParser.NextToken() == '.') {
            FParser.NextToken();
            FParser.CheckToken(TParser::toSymbol);
            name += '.' + FParser.TokenString();
        }
        FOut.ShortString(name);
        FParser.CheckToken('=');
        FParser.NextToken();
        Value(0);
    }

    void Value(int depth)
    {
        if (depth > MaxStreamDepth)
            FParser.Error("Nesting too deep");
        switch (FParser.Token()) {
        case TParser::toInteger:
            FOut.Integer(FParser.TokenInt());
            break;
        case TParser::toString: {
            std::string text = FParser.TokenString();
            while (FParser.NextToken() == '+') {
                FParser.NextToken();
                FParser.CheckToken(TParser::toString);
                text += FParser.TokenString();
            }
            FOut.String(text);
            return;
        }
        case TParser::toSymbol:
            FOut.Identifier(FParser.TokenString());
            break;
        case '[':
            FOut.U8(vaSet);
            if (FParser.NextToken() != ']') {
                while (true) {
                    FParser.CheckToken(TParser::toSymbol);
                    FOut.ShortString(FParser.TokenString());
                    if (FParser.NextToken() == ']')
                        break;
                    FParser.CheckToken(',');
                    FParser.NextToken();
                }
            }
            FOut.ShortString("");
            break;
        case '{': Binary(); break;
        case '(':
            FOut.U8(vaList);
            FParser.NextToken();
            while (FParser.Token() != ')') {
                if (FParser.Token() == TParser::toEOF)
                    FParser.Error("')' expected");
                Value(depth + 1);
            }
            FOut.U8(vaNull);
            break;
        default: FParser.Error("Invalid property value");
        }
        FParser.NextToken();
    }

    // The token "{" was read; hexadecimal digit pairs follow it up to "}".
    void Binary()
    {
        std::string bytes;
        if (!HexPairsToBytes(FParser.ReadRawUntil('}'), bytes))
            FParser.Error("Invalid binary value");
        FOut.Binary(bytes);
    }

    TParser FParser;
    TStreamBuilder& FOut;
};

}  // namespace

void ObjectBinaryToText(TStream& input, TStream& output)
{
    TSignedStreamRest rest(input);
    std::string out;
    TextObject(rest.In(), out, 0);
    output.WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
}

void ObjectTextToBinary(TStream& input, TStream& output)
{
    const std::vector<uint8_t> bytes = ReadRest(input);
    TStreamBuilder out;
    out.Signature();
    TTextReader reader(std::string(bytes.begin(), bytes.end()), out);
    reader.Parser().NextToken();
    reader.Object(0);
    output.WriteBuffer(out.Bytes.data(), static_cast<int64_t>(out.Bytes.size()));
}
