#pragma once
// Binary component streams for the stream-form tests: a menu with every value kind, running a
// converter in memory, and a fixed-seed mutator for hostile-input runs.
#include "framework/ComponentStreamIO.h"

#include <random>
#include <string>
#include <vector>

namespace pvltest {

// A popup menu with an item tree that holds every value type the streams know.
inline std::vector<uint8_t> SampleMenuStream()
{
    TStreamBuilder b;
    b.Raw("TPF0", 4);
    b.ShortString("TPopupMenu2000");
    b.ShortString("PopupMenu1");
    b.ShortString("Options.Colors.Border");
    b.Integer(-70000);
    b.ShortString("Options.Flags");
    b.U8(vaSet);
    b.ShortString("mfRaiseMenuBarItem");
    b.ShortString("mfHiddenIsVisible");
    b.ShortString("");
    b.ShortString("Empty");
    b.U8(vaSet);
    b.ShortString("");
    b.ShortString("Glyph");
    b.Binary(std::string(100, '\x5A') + std::string("\x00\x01\xFF", 3));
    b.ShortString("Small");
    b.Binary("\x12\x34");
    b.ShortString("Strings");
    b.U8(vaList);
    b.String("one");
    b.Integer(300);
    b.U8(vaList);
    b.U8(vaNil);
    b.U8(vaNull);
    b.U8(vaNull);
    b.U8(0);
    // children
    b.ShortString("TMenuItem2000");
    b.ShortString("Item1");
    b.ShortString("Caption");
    b.String("A&B<C> &lt; \x01 'q' \t");
    b.ShortString("Checked");
    b.U8(vaTrue);
    b.ShortString("Enabled");
    b.U8(vaFalse);
    b.ShortString("Hint");
    b.String(std::string(64, 'x') + "  a piece that starts with blanks " + std::string(40, 'y'));
    b.ShortString("Long");
    b.String(std::string(300, 'L'));
    b.ShortString("Alignment");
    b.U8(vaIdent);
    b.ShortString("taCenter");
    b.ShortString("Blank");
    b.String("");
    b.U8(0);
    b.Prefix(ffInline | ffChildPos, 3);
    b.ShortString("TMenuItem2000");
    b.ShortString("Sub");
    b.ShortString("Caption");
    b.String("Gr\xC3\xB6\xC3\x9F" "e");  // natively the ANSI code page is UTF-8
    b.U8(0);
    b.Prefix(ffInherited, 0);
    b.ShortString("TMenuItem2000");
    b.ShortString("");
    for (int end = 0; end < 5; ++end)  // its properties and children, then the ends of Sub, Item1, the menu
        b.U8(0);
    return b.Bytes;
}

// One of the stream-form converters run over bytes in memory; what it wrote.
inline std::vector<uint8_t> Converted(void (*convert)(TStream&, TStream&), const void* data, size_t size)
{
    TMemoryStream in, out;
    in.WriteBuffer(data, static_cast<int64_t>(size));
    in.SetPosition(0);
    convert(in, out);
    return out.Bytes();
}
template <class TBytes> std::string ConvertedText(void (*convert)(TStream&, TStream&), const TBytes& input)
{
    const std::vector<uint8_t> bytes = Converted(convert, input.data(), input.size());
    return std::string(bytes.begin(), bytes.end());
}

// One random change: a byte replaced, inserted or removed, a run cut out, or the end cut off.
inline void Mutate(std::string& text, std::mt19937& random)
{
    if (text.empty()) {
        text.push_back(static_cast<char>(random()));
        return;
    }
    const size_t at = random() % text.size();
    static const char interesting[] = "<>/=\"&;#'{}()[]+-.,:0aZ \r\n\x01\xFF";
    const char c = (random() % 2) ? interesting[random() % (sizeof interesting - 1)] : static_cast<char>(random());
    switch (random() % 5) {
    case 0: text[at] = c; break;
    case 1: text.insert(text.begin() + static_cast<std::ptrdiff_t>(at), c); break;
    case 2: text.erase(at, 1); break;
    case 3: text.erase(at, random() % 16); break;
    default: text.resize(at); break;
    }
}

}  // namespace pvltest
