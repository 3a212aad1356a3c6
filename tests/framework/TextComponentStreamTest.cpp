#include "framework/TextComponentStream.h"
#include "tests/support/StreamSamples.h"

#include <gtest/gtest.h>

namespace {

std::string Convert(const std::string& input, bool toText)
{
    return pvltest::ConvertedText(toText ? ObjectBinaryToText : ObjectTextToBinary, input);
}

std::string Bytes(const TStreamBuilder& b) { return std::string(b.Bytes.begin(), b.Bytes.end()); }

}  // namespace

TEST(TextComponentStream, WriterLines)
{
    TStreamBuilder b;
    b.Raw("TPF0", 4);
    b.ShortString("TPopupMenu2000");
    b.ShortString("PopupMenu1");
    b.ShortString("Options.Flags");
    b.U8(vaSet);
    b.ShortString("mfA");
    b.ShortString("mfB");
    b.ShortString("");
    b.U8(0);
    b.Prefix(ffChildPos, 2);
    b.ShortString("TMenuItem2000");
    b.ShortString("Item1");
    b.ShortString("Caption");
    b.String("It's\tA");
    b.ShortString("Tag");
    b.Integer(-5);
    b.ShortString("Data");
    b.Binary("\x01\xAB");
    b.ShortString("Hint");
    b.String(std::string(70, 'h'));
    b.U8(0);
    b.U8(0);
    b.U8(0);
    EXPECT_EQ("object PopupMenu1: TPopupMenu2000\r\n"
              "  Options.Flags = [mfA, mfB]\r\n"
              "  object Item1: TMenuItem2000 [2]\r\n"
              "    Caption = 'It''s'#9'A'\r\n"
              "    Tag = -5\r\n"
              "    Data = {\r\n"
              "      01AB}\r\n"
              "    Hint = \r\n"
              "      '" + std::string(64, 'h') + "' +\r\n"
              "      'hhhhhh'\r\n"
              "  end\r\n"
              "end\r\n",
              Convert(Bytes(b), true));
}

TEST(TextComponentStream, ReadsHandWrittenText)
{
    const std::string text = "OBJECT Item1: TMenuItem2000\n"
                             "  Caption = 'a' + #65'b'#13#10\n"
                             "  Tag = $1F\n"
                             "  Visible = false\n"
                             "  Items = (\n    'x'\n    nil)\n"
                             "  Options.Set = []\n"
                             "  Data = { 0a 0B }\n"
                             "end";
    TStreamBuilder b;
    b.Raw("TPF0", 4);
    b.ShortString("TMenuItem2000");
    b.ShortString("Item1");
    b.ShortString("Caption");
    b.String("aAb\r\n");
    b.ShortString("Tag");
    b.Integer(31);
    b.ShortString("Visible");
    b.U8(vaFalse);
    b.ShortString("Items");
    b.U8(vaList);
    b.String("x");
    b.U8(vaNil);
    b.U8(vaNull);
    b.ShortString("Options.Set");
    b.U8(vaSet);
    b.ShortString("");
    b.ShortString("Data");
    b.Binary("\x0A\x0B");
    b.U8(0);
    b.U8(0);
    EXPECT_EQ(Bytes(b), Convert(text, false));
}

TEST(TextComponentStream, RoundTripAndErrors)
{
    const std::vector<uint8_t> sample = pvltest::SampleMenuStream();
    const std::string binary(sample.begin(), sample.end());
    EXPECT_EQ(binary, Convert(Convert(binary, true), false));

    const struct {
        const char* Text;
        const char* Message;
    } cases[] = {
        {"object A: T\n  X = 'open\nend", "Unterminated string on line 2"},
        {"object A: T\n  X = 1.5\nend", "Invalid property value on line 2"},
        {"object A: T\n  X = 4294967296\nend", "Invalid integer value '4294967296' on line 2"},
        {"object A: T\n  X = {0G}\nend", "Invalid binary value on line 2"},
        {"thing A: T\nend", "'object' expected on line 1"},
        {"object A: T\n  X = [a b]\nend", "',' expected on line 2"},
    };
    for (const auto& c : cases) {
        try {
            Convert(c.Text, false);
            ADD_FAILURE() << c.Text;
        } catch (const EParserError& e) {
            EXPECT_EQ(c.Message, e.Message) << c.Text;
        }
    }
    EXPECT_THROW(Convert("TPF1", true), EReadError);
    EXPECT_THROW(Convert(binary.substr(0, binary.size() - 1), true), EReadError);
}
