#pragma once
// The XML form of component streams in which menu layouts are kept:
//   <?xml version="1.0" encoding="UTF-8"?>
//   <!-- ... -->
//   <object name="PopupMenu1" type="TPopupMenu2000">
//     <options-colors-border type="integer">5</options-colors-border>
//     <object name="Item1" type="TMenuItem2000">
//       <caption type="string">A&amp;B</caption>
//     </object>
//   </object>
// Strings are UTF-8 in the file and ANSI in the binary stream.
#include "framework/Classes.h"
#include "framework/TextComponentStream.h"

#include <string>

// The XML tokenizer: "<", ">", "/", "=", "?", "!", quoted attribute values, and names (letters,
// digits, "_", "-", ".", ":"); raw element text is read apart.
class TMyParser : public TParser {
public:
    using TParser::TParser;
    char NextToken() override;
    // The raw text up to the next "<", which becomes the token.
    std::string TextUntilTag();
    // The character right after the current token.
    char CurrentChar() const { return CharAt(); }
    // The word right after the current "<" token, ignoring case.
    bool NextWordIs(std::string_view word) const;
    // Passes over a "<?...>" or "<!...>" construct whose "<" is the token ("<!--" ends at
    // "-->"), then reads the next token.
    void SkipConstruct();
};

// "TPF0" binary stream (from Input's position) to the XML form, appended to Output. Value types
// without an XML form raise EReadError "Error reading Object.Property: <type>"; a malformed
// stream EReadError.
void ObjectBinaryToXml(TStream& input, TStream& output);
// The XML form (from Input's position) to a binary stream; EParserError, EReadError
// ("Invalid property value", "Invalid binary value") for malformed text.
void ObjectXmlToBinary(TStream& input, TStream& output);
