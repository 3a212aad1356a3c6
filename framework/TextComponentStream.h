#pragma once
// The text form of component streams and the tokenizer it is read with:
//   object Name: TClass [position]
//     Caption = 'A'#9'B'
//     Options.Flags = [mfA, mfB]
//     object Child: TItem
//     end
//   end
// Both conversions go through the binary stream, so anything the binary reader accepts has a
// text form and back.
#include "Classes.h"

#include <cstdint>
#include <string>
#include <string_view>

class EParserError : public Exception { using Exception::Exception; };

// Tokens: a symbol (letters, digits, "_"), a string (quoted runs and #n characters joined),
// an integer, a float, the end, or any other single character as itself.
class TParser {
public:
    enum : char { toEOF = 0, toSymbol = 1, toString = 2, toInteger = 3, toFloat = 4 };
    // The first token is read by the first NextToken.
    explicit TParser(std::string source);
    virtual ~TParser() = default;
    TParser(const TParser&) = delete;
    TParser& operator=(const TParser&) = delete;

    char Token() const { return FToken; }
    virtual char NextToken();
    const std::string& TokenString() const { return FTokenString; }
    bool TokenSymbolIs(std::string_view symbol) const;  // ignores case
    int64_t TokenInt() const;                           // EParserError outside 32 bits
    void CheckToken(char token) const;
    void CheckTokenSymbol(std::string_view symbol) const;
    int SourceLine() const { return FLine; }
    // EParserError "<message> on line <n>".
    [[noreturn]] void Error(const std::string& message) const;
    // The raw text up to the next `stop`, which is passed over; the end of the source is an
    // error. The token is not changed.
    std::string ReadRawUntil(char stop);

protected:
    char CharAt(size_t offset = 0) const { return FPos + offset < FSource.size() ? FSource[FPos + offset] : '\0'; }
    bool AtEnd() const { return FPos >= FSource.size(); }
    void Advance(size_t count = 1);
    void SkipBlanks();
    static bool IsSymbolStart(char c);
    static bool IsSymbolChar(char c);
    // The start of every token: blanks passed over, the token text cleared; False at the end.
    bool BeginToken();
    // A symbol token of the characters IsChar takes, from the current one on.
    char SymbolToken(bool (*IsChar)(char));
    // A token of the current character alone.
    char CharToken();
    std::string FSource;
    size_t FPos = 0;
    char FToken = toEOF;
    std::string FTokenString;
    int FLine = 1;
};

// "TPF0" binary component stream (from Input's position) to the text form, appended to Output.
// EReadError for a malformed stream.
void ObjectBinaryToText(TStream& input, TStream& output);
// The text form (from Input's position) to a binary stream; EParserError or EReadError for
// malformed text.
void ObjectTextToBinary(TStream& input, TStream& output);
