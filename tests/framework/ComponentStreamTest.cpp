#include "framework/ColorNames.h"
#include "framework/ComponentStream.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <memory>

namespace {

struct TPart : IStoredProperties {
    int64_t Left = 24;
    void ListStoredProperties(std::vector<TStoredProperty>& list) override
    {
        list.push_back(IntProperty("Left", [this] { return Left; }, [this](int64_t v) { Left = v; },
                                   [this] { return Left != 24; }));
    }
};

struct TSample : TComponent, IStoredProperties {
    TSample() : TComponent(nullptr) {}
    int64_t Small = 0, Big = 0, Kind = 0, Flags = 0, Color = 0;
    bool On = false;
    std::string Text, Data;
    TPart Part;
    int LoadedCalls = 0;
    unsigned StateWhileReading = 0;
    void Loaded() override
    {
        ++LoadedCalls;
        TComponent::Loaded();
    }
    void ListStoredProperties(std::vector<TStoredProperty>& list) override
    {
        list.push_back(IntProperty("Small", [this] { return Small; }, [this](int64_t v) {
            Small = v;
            StateWhileReading = ComponentState();
        }));
        list.push_back(IntProperty("Big", [this] { return Big; }, [this](int64_t v) { Big = v; }));
        list.push_back(BoolProperty("On", [this] { return On; }, [this](bool v) { On = v; }));
        list.push_back(EnumProperty("Kind", {"kOne", "kTwo", "kThree"}, [this] { return Kind; },
                                    [this](int64_t v) { Kind = v; }));
        list.push_back(SetProperty("Flags", {"fA", "fB", "fC"}, [this] { return Flags; },
                                   [this](int64_t v) { Flags = v; }));
        list.push_back(ColorProperty("Color", [this] { return Color; }, [this](int64_t v) { Color = v; }));
        list.push_back(StringProperty("Text", [this] { return Text; }, [this](const std::string& v) { Text = v; }));
        list.push_back(BinaryProperty("Data", [this] { return Data; }, [this](const std::string& v) { Data = v; },
                                      [this] { return !Data.empty(); }));
        list.push_back(ObjectProperty("Part", [this] { return &Part; }));
        list.push_back(ReferenceProperty("Images"));
    }
};

std::vector<uint8_t> Written(TSample& s)
{
    TMemoryStream stream;
    WriteComponentStream(stream, "TSample", "Sample1", s, &s);
    return stream.Bytes();
}

}  // namespace

TEST(ComponentStream, RoundTripOfEveryKindWithDottedParts)
{
    TSample a;
    a.Small = -5;
    a.Big = 0x12345678;
    a.On = true;
    a.Kind = 2;
    a.Flags = 5;
    a.Color = clNone;
    a.Text = std::string(300, 'x');
    a.Data = std::string("\0\1\2", 3);
    a.Part.Left = 18;
    const auto bytes = Written(a);
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "TPF0");
    EXPECT_EQ(bytes[bytes.size() - 1], 0);
    EXPECT_EQ(bytes[bytes.size() - 2], 0);
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find("Part.Left"), std::string::npos);
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find("clNone"), std::string::npos);

    TSample b;
    ReadComponentStream(bytes.data(), bytes.size(), b, &b);
    EXPECT_EQ(b.Small, -5);
    EXPECT_EQ(b.Big, 0x12345678);
    EXPECT_TRUE(b.On);
    EXPECT_EQ(b.Kind, 2);
    EXPECT_EQ(b.Flags, 5);
    EXPECT_EQ(b.Color, clNone);
    EXPECT_EQ(b.Text, a.Text);
    EXPECT_EQ(b.Data, a.Data);
    EXPECT_EQ(b.Part.Left, 18);
    EXPECT_EQ(b.LoadedCalls, 1);
    EXPECT_TRUE(b.StateWhileReading & TComponent::csLoading);
    EXPECT_EQ(b.ComponentState(), 0u);
}

TEST(ComponentStream, MalformedStreamsRaiseTheReadersErrors)
{
    TSample a;
    a.Small = 3;
    const auto good = Written(a);
    struct {
        std::vector<uint8_t> Bytes;
        const char* Message;
    } cases[] = {
        {{'T', 'P', 'F', '1', 0, 0, 0, 0}, "Invalid stream format"},
        {std::vector<uint8_t>(good.begin(), good.end() - 1), "Stream read error"},
        {{'T', 'P', 'F', '0', 0, 0, 3, 'F', 'o', 'o', vaInt8, 1, 0, 0}, "Property Foo does not exist"},
        {{'T', 'P', 'F', '0', 0, 0, 3, 'B', 'i', 'g', vaString, 0, 0, 0}, "Invalid property value"},
        {{'T', 'P', 'F', '0', 0, 0, 4, 'K', 'i', 'n', 'd', vaIdent, 2, 'k', 'X', 0, 0}, "Invalid property value"},
        {{'T', 'P', 'F', '0', 0, 0, 4, 'T', 'e', 'x', 't', vaLString, 0xFF, 0xFF, 0xFF, 0x7F}, "Stream read error"},
        {{'T', 'P', 'F', '0', 0, 0, 4, 'P', 'a', 'r', 't', vaInt8, 1, 0, 0}, "Invalid property value"},
        {{'T', 'P', 'F', '0', 0, 0, 0, 5}, "Invalid stream format"},  // children
    };
    for (const auto& c : cases) {
        TSample b;
        try {
            ReadComponentStream(c.Bytes.data(), c.Bytes.size(), b, &b);
            ADD_FAILURE() << "no error for " << c.Message;
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), c.Message);
        }
        EXPECT_EQ(b.ComponentState(), 0u);
        EXPECT_EQ(b.LoadedCalls, 0);
    }
    // A reference is skipped whatever its value.
    const std::vector<uint8_t> reference = {'T', 'P', 'F', '0', 0, 0, 6, 'I', 'm', 'a', 'g', 'e', 's',
                                            vaIdent, 2, 'I', '1', 0, 0};
    TSample c;
    EXPECT_NO_THROW(ReadComponentStream(reference.data(), reference.size(), c, &c));
}

TEST(ComponentStream, ResourceHeaderIsWrittenAndSkipped)
{
    TMemoryStream stream;
    WriteResourceHeader(stream, "Money", 3);
    stream.WriteBuffer("abc", 3);
    const auto& b = stream.Bytes();
    EXPECT_EQ(b[0], 0xFF);
    EXPECT_EQ(b[1], 0x0A);
    EXPECT_EQ(b[2], 0x00);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[3])), "MONEY");
    EXPECT_EQ(SkipResourceHeader(b.data(), b.size()), b.size() - 3);
    EXPECT_THROW(SkipResourceHeader(b.data(), b.size() - 1), EReadError);
    EXPECT_THROW(SkipResourceHeader(b.data(), 5), EReadError);
}

namespace {

// A node of a tree stream: a caption and children made on demand while reading.
struct TNode : IStoredObject {
    std::string Name, Caption;
    std::vector<std::unique_ptr<TNode>> Children;
    std::string StoredClassName() override { return "TNode"; }
    std::string StoredObjectName() override { return Name; }
    void ListStoredProperties(std::vector<TStoredProperty>& list) override
    {
        list.push_back(StringProperty("Caption", [this] { return Caption; }, [this](const std::string& v) { Caption = v; }));
    }
    void ListStoredChildren(std::vector<IStoredObject*>& list) override
    {
        for (auto& c : Children)
            list.push_back(c.get());
    }
    IStoredObject& ReadChild(const std::string& className, const std::string& objectName) override
    {
        if (className != "TNode")
            throw EReadError("Class " + className + " not found");
        Children.push_back(std::make_unique<TNode>());
        Children.back()->Name = objectName;
        return *Children.back();
    }
};

}  // namespace

TEST(ComponentStream, ObjectTreesRoundTripAndRefuseStrangeClasses)
{
    TNode root;
    root.Name = "Menu";
    root.Caption = "root";
    for (const char* name : {"A", "B"}) {
        root.Children.push_back(std::make_unique<TNode>());
        root.Children.back()->Name = name;
        root.Children.back()->Caption = std::string("caption ") + name;
    }
    root.Children[1]->Children.push_back(std::make_unique<TNode>());
    root.Children[1]->Children[0]->Name = "B1";
    TMemoryStream stream;
    WriteObjectTree(stream, root);

    TNode back;
    ReadObjectTree(stream.Memory(), stream.Bytes().size(), back);
    EXPECT_EQ("root", back.Caption);
    ASSERT_EQ(2u, back.Children.size());
    EXPECT_EQ("caption B", back.Children[1]->Caption);
    ASSERT_EQ(1u, back.Children[1]->Children.size());
    EXPECT_EQ("B1", back.Children[1]->Children[0]->Name);

    std::vector<uint8_t> bytes = stream.Bytes();
    const auto at = std::search(bytes.begin(), bytes.end(), std::begin("TNode\2B1") + 0, std::begin("TNode\2B1") + 8);
    (at + 4)[0] = 'X';  // the grandchild's class becomes "TNodX"
    TNode strange;
    EXPECT_THROW(ReadObjectTree(bytes.data(), bytes.size(), strange), EReadError);
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        TNode partial;
        EXPECT_THROW(ReadObjectTree(stream.Memory(), cut, partial), EReadError) << cut;
    }
}
