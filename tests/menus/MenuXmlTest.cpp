#include "menus/MenuXmlCore.h"
#include "tests/support/StreamSamples.h"

#include <gtest/gtest.h>

namespace {

std::string ToXml(const std::vector<uint8_t>& binary) { return pvltest::ConvertedText(ObjectBinaryToXml, binary); }

std::vector<uint8_t> FromXml(const std::string& xml) { return pvltest::Converted(ObjectXmlToBinary, xml.data(), xml.size()); }

std::string FromText(const std::string& text, bool toText)
{
    return pvltest::ConvertedText(toText ? ObjectBinaryToText : ObjectTextToBinary, text);
}

std::vector<uint8_t> Item(const std::vector<std::pair<std::string, std::string>>& strings)
{
    TStreamBuilder b;
    b.Raw("TPF0", 4);
    b.ShortString("TMenuItem2000");
    b.ShortString("Item1");
    for (const auto& [name, value] : strings) {
        b.ShortString(name);
        b.String(value);
    }
    b.U8(0);
    b.U8(0);
    return b.Bytes;
}

// The text between the element's ">" and its "</".
std::string ElementText(const std::string& xml, const std::string& tag)
{
    const size_t open = xml.find("<" + tag + " ");
    const size_t start = xml.find('>', open) + 1;
    return xml.substr(start, xml.find("</" + tag + ">", start) - start);
}

}  // namespace

TEST(MenuXml, WriterLines)
{
    TStreamBuilder b;
    b.Raw("TPF0", 4);
    b.ShortString("TPopupMenu2000");
    b.ShortString("PopupMenu1");
    b.ShortString("Options.Colors.Border");
    b.Integer(5);
    b.U8(0);
    b.ShortString("TMenuItem2000");
    b.ShortString("Item1");
    b.ShortString("Caption");
    b.String("A&B<C>");
    b.ShortString("Checked");
    b.U8(vaTrue);
    b.ShortString("Hint");
    b.String(std::string(64, 'a') + std::string(36, 'b'));
    b.ShortString("Data");
    b.Binary(std::string(33, '\xAB'));
    b.U8(0);
    b.U8(0);
    b.U8(0);
    const std::string xml = ToXml(b.Bytes);
    std::string hexLine;
    for (int i = 0; i < 32; ++i)
        hexLine += "AB";
    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<!-- Menu layout -->\r\n"
        "<object name=\"PopupMenu1\" type=\"TPopupMenu2000\">\r\n"
        "  <options-colors-border type=\"integer\">5</options-colors-border>\r\n"
        "  <object name=\"Item1\" type=\"TMenuItem2000\">\r\n"
        "    <caption type=\"string\">A&amp;B&lt;C&gt;</caption>\r\n"
        "    <checked type=\"identifier\">True</checked>\r\n"
        "    <hint type=\"string\">\r\n"
        "      " + std::string(64, 'a') + "\r\n"
        "      " + std::string(36, 'b') + "\r\n"
        "    </hint>\r\n"
        "    <data type=\"binary\">\r\n"
        "      " + hexLine + "\r\n"
        "      AB\r\n"
        "    </data>\r\n"
        "  </object>\r\n"
        "</object>\r\n";
    EXPECT_EQ(expected, xml);
}

TEST(MenuXml, SetsListsAndFlagsAreWrittenOneLevelDeeper)
{
    const std::string xml = ToXml(pvltest::SampleMenuStream());
    EXPECT_NE(std::string::npos, xml.find("  <options-flags type=\"set\">\r\n    <value>mfRaiseMenuBarItem</value>\r\n"
                                          "    <value>mfHiddenIsVisible</value>\r\n  </options-flags>\r\n"));
    EXPECT_NE(std::string::npos, xml.find("<empty type=\"set\"></empty>"));
    EXPECT_NE(std::string::npos, xml.find("<small type=\"binary\">1234</small>"));
    EXPECT_NE(std::string::npos, xml.find("    <item type=\"string\">one</item>\r\n    <item type=\"integer\">300</item>"));
    EXPECT_NE(std::string::npos, xml.find("<inline name=\"Sub\" type=\"TMenuItem2000\" position=\"3\">"));
    EXPECT_NE(std::string::npos, xml.find("<inherited type=\"TMenuItem2000\">"));
    EXPECT_NE(std::string::npos, xml.find("&#160;"));
}

TEST(MenuXml, RoundTripsThroughEveryForm)
{
    // Property names come back lower-cased; everything else as it was.
    const std::vector<uint8_t> binary = pvltest::SampleMenuStream();
    const std::string xml = ToXml(binary);
    EXPECT_EQ(xml, ToXml(FromXml(xml)));
    EXPECT_EQ(binary.size(), FromXml(xml).size());
    const std::string text = FromText(std::string(binary.begin(), binary.end()), true);
    const std::string back = FromText(text, false);
    EXPECT_EQ(binary, std::vector<uint8_t>(back.begin(), back.end()));
    // XML, binary, text, binary, XML again.
    const std::string viaText = FromText(FromText(std::string(binary.begin(), binary.end()), true), false);
    EXPECT_EQ(xml, ToXml(std::vector<uint8_t>(viaText.begin(), viaText.end())));
}

TEST(MenuXml, TextsComeBackWhole)
{
    const struct {
        const char* Name;
        std::string Value;
    } cases[] = {
        {"entity text", "&lt;"},
        {"non-ASCII", "Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC"},
        {"100 characters", std::string(64, 'c') + std::string(36, 'd')},
        {"exactly 64", std::string(64, 'e')},
        {"blanks around", "  padded  "},
        {"line break", "one\r\ntwo"},
        {"markup", "<object name=\"x\">"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Item({{"caption", c.Value}}), FromXml(ToXml(Item({{"Caption", c.Value}})))) << c.Name;
    }
    // The ANSI text goes out as UTF-8: the euro sign is three bytes in the file.
    const std::string ansi = WideToAnsi(L"Gr\u00F6\u00DFe \u20AC");
    EXPECT_EQ("Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC", ElementText(ToXml(Item({{"Caption", ansi}})), "caption"));
    EXPECT_EQ(Item({{"caption", ansi}}), FromXml(ToXml(Item({{"Caption", ansi}}))));
}

TEST(MenuXml, EntitiesDecodeInOnePass)
{
    const std::string xml = "<?xml version=\"1.0\"?>\r\n<!-- a > b -->\r\n<OBJECT name=\"Item1\" type=\"TMenuItem2000\" extra=\"z\">"
                            "<caption type=\"STRING\">&amp;lt; &#160;& amp;&gt;&unknown;</caption></OBJECT>";
    EXPECT_EQ(Item({{"caption", "&lt; \x01&>&unknown;"}}), FromXml(xml));
}

TEST(MenuXml, ErrorsOfTheConverters)
{
    const struct {
        const char* Xml;
        const char* Message;
    } cases[] = {
        {"<object type=\"T\"><data type=\"binary\">0G</data></object>", "Invalid binary value"},
        {"<object type=\"T\"><data type=\"binary\">ABC</data></object>", "Invalid binary value"},
        {"<object type=\"T\"><x type=\"float\">1.5</x></object>", "Invalid property value"},
        {"<object type=\"T\"><x type=\"word\">1</x></object>", "Invalid property value"},
        {"<object type=\"T\"><x type=\"integer\">4294967296</x></object>", "Invalid property value"},
        {"<object type=\"T\"><x type=\"integer\">12a</x></object>", "Invalid property value"},
    };
    for (const auto& c : cases) {
        try {
            FromXml(c.Xml);
            ADD_FAILURE() << c.Xml;
        } catch (const EReadError& e) {
            EXPECT_EQ(c.Message, e.Message) << c.Xml;
        }
    }
    EXPECT_THROW(FromXml("<thing type=\"T\"></thing>"), EParserError);
    EXPECT_THROW(FromXml("<object type=\"T\"><x type=\"string\">open"), EParserError);

    // A value type without an XML form names the object, the property and the type.
    std::vector<uint8_t> binary = Item({{"Caption", "x"}});
    binary[4 + 14 + 6 + 8] = 13;  // the Caption's value type
    try {
        ToXml(binary);
        ADD_FAILURE();
    } catch (const EReadError& e) {
        EXPECT_EQ("Error reading Item1.Caption: 13", e.Message);
    }
}

// Hostile input: every mutation gives a result or the library's error, never a crash (the
// sanitizers watch the native run).
TEST(MenuXml, MutatedInputsGiveErrorsNeverCrashes)
{
    const std::vector<uint8_t> binary = pvltest::SampleMenuStream();
    const std::string seeds[] = {ToXml(binary), FromText(std::string(binary.begin(), binary.end()), true),
                                 std::string(binary.begin(), binary.end())};
    std::mt19937 random(2026);
    int converted = 0, refused = 0;
    for (int run = 0; run < 6000; ++run) {
        const int form = run % 3;
        std::string input = seeds[form];
        for (int n = 1 + static_cast<int>(random() % 4); n > 0; --n)
            pvltest::Mutate(input, random);
        try {
            if (form == 0)
                FromXml(input);
            else if (form == 1)
                FromText(input, false);
            else
                ToXml(std::vector<uint8_t>(input.begin(), input.end())), FromText(input, true);
            ++converted;
        } catch (const Exception&) {
            ++refused;
        }
    }
    EXPECT_GT(converted, 100);
    EXPECT_GT(refused, 100);
}

TEST(MenuXml, DeepNestingIsRefused)
{
    std::string xml;
    for (int i = 0; i < 200; ++i)
        xml += "<object type=\"T\">";
    EXPECT_THROW(FromXml(xml), Exception);
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "object T\r\n";
    EXPECT_THROW(FromText(text, false), Exception);
}
