#include "ComponentStream.h"
#include "ComponentStreamIO.h"

#include "ColorNames.h"
#include "SysUtils.h"

#include <deque>

namespace {

constexpr int MaxListDepth = 32;

[[noreturn]] void InvalidValue() { throw EReadError("Invalid property value"); }

// Bytes of a stream being read; every read is checked against what is left.
using TByteCursor = TStreamBytes;

int64_t ReadInteger(TByteCursor& in, uint8_t type)
{
    switch (type) {
    case vaInt8: return static_cast<int8_t>(in.U8());
    case vaInt16: return static_cast<int16_t>(in.U16());
    case vaInt32: return static_cast<int32_t>(in.U32());
    default: InvalidValue();
    }
}

void SkipValue(TByteCursor& in, uint8_t type, int depth)
{
    switch (type) {
    case vaNull: case vaFalse: case vaTrue: case vaNil: return;
    case vaInt8: in.Take(1); return;
    case vaInt16: in.Take(2); return;
    case vaInt32: in.Take(4); return;
    case vaString: case vaIdent: in.ShortString(); return;
    case vaLString: case vaBinary: in.Take(in.U32()); return;
    case vaSet:
        while (!in.ShortString().empty()) {}
        return;
    case vaList:
        if (depth >= MaxListDepth)
            InvalidValue();
        for (uint8_t t = in.U8(); t != vaNull; t = in.U8())
            SkipValue(in, t, depth + 1);
        return;
    default: InvalidValue();
    }
}

int NameIndex(const std::vector<std::string>& names, const std::string& name)
{
    for (size_t i = 0; i < names.size(); ++i)
        if (SameText(names[i], name))
            return static_cast<int>(i);
    return -1;
}

void ReadValue(TByteCursor& in, const TStoredProperty& prop)
{
    const uint8_t type = in.U8();
    switch (prop.Kind) {
    case TPropKind::Integer:
        prop.SetOrd(ReadInteger(in, type));
        return;
    case TPropKind::Boolean:
        if (type != vaFalse && type != vaTrue)
            InvalidValue();
        prop.SetOrd(type == vaTrue);
        return;
    case TPropKind::Enum: {
        if (type != vaIdent)
            InvalidValue();
        const int index = NameIndex(prop.Names, in.ShortString());
        if (index < 0)
            InvalidValue();
        prop.SetOrd(index);
        return;
    }
    case TPropKind::Set: {
        if (type != vaSet)
            InvalidValue();
        int64_t bits = 0;
        for (std::string name = in.ShortString(); !name.empty(); name = in.ShortString()) {
            const int index = NameIndex(prop.Names, name);
            if (index < 0)
                InvalidValue();
            bits |= int64_t(1) << index;
        }
        prop.SetOrd(bits);
        return;
    }
    case TPropKind::String:
        if (type == vaString)
            prop.SetText(in.ShortString());
        else if (type == vaLString)
            prop.SetText(in.Text(in.U32()));
        else
            InvalidValue();
        return;
    case TPropKind::Binary:
        if (type != vaBinary)
            InvalidValue();
        prop.SetText(in.Text(in.U32()));
        return;
    case TPropKind::Color: {
        if (type == vaIdent) {
            TColor color = 0;
            if (!IdentToColor(in.ShortString(), color))
                InvalidValue();
            prop.SetOrd(color);
        } else {
            prop.SetOrd(static_cast<int32_t>(ReadInteger(in, type)));
        }
        return;
    }
    case TPropKind::Reference:
        SkipValue(in, type, 0);
        return;
    case TPropKind::Object:
        InvalidValue();
    }
}

// Tables of the objects met while reading, each listed once.
class TTableCache {
public:
    const std::vector<TStoredProperty>& Of(IStoredProperties* object)
    {
        for (auto& [o, table] : FTables)
            if (o == object)
                return table;
        FTables.emplace_back(object, std::vector<TStoredProperty>());
        object->ListStoredProperties(FTables.back().second);
        return FTables.back().second;
    }

private:
    std::deque<std::pair<IStoredProperties*, std::vector<TStoredProperty>>> FTables;  // stable references
};

// The property a dotted name leads to.
const TStoredProperty& FindProperty(IStoredProperties& root, const std::string& dotted, TTableCache& tables)
{
    IStoredProperties* object = &root;
    size_t start = 0;
    while (true) {
        const size_t dot = dotted.find('.', start);
        const std::string part = dotted.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        const TStoredProperty* found = nullptr;
        for (const auto& p : tables.Of(object))
            if (SameText(p.Name, part))
                found = &p;
        if (!found || (dot != std::string::npos && found->Kind != TPropKind::Object))
            throw EReadError("Property " + part + " does not exist");
        if (dot == std::string::npos)
            return *found;
        object = found->GetObject();
        if (!object)
            throw EReadError("Property " + part + " does not exist");
        start = dot + 1;
    }
}

void WriteShortString(TStream& out, const std::string& text)
{
    const auto length = static_cast<uint8_t>(text.size() > 255 ? 255 : text.size());
    out.WriteValue(length);
    out.WriteBuffer(text.data(), length);
}

void WriteInteger(TStream& out, int64_t value)
{
    if (value >= INT8_MIN && value <= INT8_MAX) {
        out.WriteValue(uint8_t(vaInt8));
        out.WriteValue(static_cast<int8_t>(value));
    } else if (value >= INT16_MIN && value <= INT16_MAX) {
        out.WriteValue(uint8_t(vaInt16));
        out.WriteValue(static_cast<int16_t>(value));
    } else {
        out.WriteValue(uint8_t(vaInt32));
        out.WriteValue(static_cast<int32_t>(value));
    }
}

void WriteLong(TStream& out, TValueType type, const std::string& bytes)
{
    out.WriteValue(uint8_t(type));
    out.WriteValue(static_cast<uint32_t>(bytes.size()));
    out.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void WriteProperties(TStream& out, IStoredProperties& object, const std::string& prefix)
{
    std::vector<TStoredProperty> list;
    object.ListStoredProperties(list);
    for (const auto& p : list) {
        if (p.Kind == TPropKind::Reference || (p.Stored && !p.Stored()))
            continue;
        if (p.Kind == TPropKind::Object) {
            if (IStoredProperties* part = p.GetObject())
                WriteProperties(out, *part, prefix + p.Name + ".");
            continue;
        }
        WriteShortString(out, prefix + p.Name);
        switch (p.Kind) {
        case TPropKind::Integer: WriteInteger(out, p.GetOrd()); break;
        case TPropKind::Boolean: out.WriteValue(uint8_t(p.GetOrd() ? vaTrue : vaFalse)); break;
        case TPropKind::Enum:
            out.WriteValue(uint8_t(vaIdent));
            WriteShortString(out, p.Names.at(static_cast<size_t>(p.GetOrd())));
            break;
        case TPropKind::Set: {
            out.WriteValue(uint8_t(vaSet));
            const int64_t bits = p.GetOrd();
            for (size_t i = 0; i < p.Names.size(); ++i)
                if (bits & (int64_t(1) << i))
                    WriteShortString(out, p.Names[i]);
            WriteShortString(out, "");
            break;
        }
        case TPropKind::String: {
            const std::string text = p.GetText();
            if (text.size() <= 255) {
                out.WriteValue(uint8_t(vaString));
                WriteShortString(out, text);
            } else {
                WriteLong(out, vaLString, text);
            }
            break;
        }
        case TPropKind::Binary: WriteLong(out, vaBinary, p.GetText()); break;
        case TPropKind::Color: {
            const auto color = static_cast<TColor>(p.GetOrd());
            const std::string ident = ColorToIdent(color);
            if (ident.empty()) {
                WriteInteger(out, color);
            } else {
                out.WriteValue(uint8_t(vaIdent));
                WriteShortString(out, ident);
            }
            break;
        }
        case TPropKind::Object: case TPropKind::Reference: break;
        }
    }
}

TStoredProperty Row(std::string name, TPropKind kind, std::function<bool()> stored)
{
    TStoredProperty p;
    p.Name = std::move(name);
    p.Kind = kind;
    p.Stored = std::move(stored);
    return p;
}

}  // namespace

TStoredProperty IntProperty(std::string name, std::function<int64_t()> get, std::function<void(int64_t)> set,
                            std::function<bool()> stored)
{
    auto p = Row(std::move(name), TPropKind::Integer, std::move(stored));
    p.GetOrd = std::move(get);
    p.SetOrd = std::move(set);
    return p;
}

TStoredProperty BoolProperty(std::string name, std::function<bool()> get, std::function<void(bool)> set,
                             std::function<bool()> stored)
{
    auto p = Row(std::move(name), TPropKind::Boolean, std::move(stored));
    p.GetOrd = [get = std::move(get)] { return int64_t(get()); };
    p.SetOrd = [set = std::move(set)](int64_t v) { set(v != 0); };
    return p;
}

TStoredProperty EnumProperty(std::string name, std::vector<std::string> names, std::function<int64_t()> get,
                             std::function<void(int64_t)> set, std::function<bool()> stored)
{
    auto p = IntProperty(std::move(name), std::move(get), std::move(set), std::move(stored));
    p.Kind = TPropKind::Enum;
    p.Names = std::move(names);
    return p;
}

TStoredProperty SetProperty(std::string name, std::vector<std::string> names, std::function<int64_t()> get,
                            std::function<void(int64_t)> set, std::function<bool()> stored)
{
    auto p = EnumProperty(std::move(name), std::move(names), std::move(get), std::move(set), std::move(stored));
    p.Kind = TPropKind::Set;
    return p;
}

TStoredProperty ColorProperty(std::string name, std::function<int64_t()> get, std::function<void(int64_t)> set,
                              std::function<bool()> stored)
{
    auto p = IntProperty(std::move(name), std::move(get), std::move(set), std::move(stored));
    p.Kind = TPropKind::Color;
    return p;
}

TStoredProperty StringProperty(std::string name, std::function<std::string()> get,
                               std::function<void(const std::string&)> set, std::function<bool()> stored)
{
    auto p = Row(std::move(name), TPropKind::String, std::move(stored));
    p.GetText = std::move(get);
    p.SetText = std::move(set);
    return p;
}

TStoredProperty BinaryProperty(std::string name, std::function<std::string()> get,
                               std::function<void(const std::string&)> set, std::function<bool()> stored)
{
    auto p = StringProperty(std::move(name), std::move(get), std::move(set), std::move(stored));
    p.Kind = TPropKind::Binary;
    return p;
}

TStoredProperty ObjectProperty(std::string name, std::function<IStoredProperties*()> get,
                               std::function<bool()> stored)
{
    auto p = Row(std::move(name), TPropKind::Object, std::move(stored));
    p.GetObject = std::move(get);
    return p;
}

TStoredProperty ReferenceProperty(std::string name) { return Row(std::move(name), TPropKind::Reference, nullptr); }

void WriteComponentStream(TStream& stream, const std::string& className, const std::string& objectName,
                          IStoredProperties& root, TComponent* component)
{
    if (component)
        component->SetState(TComponent::csWriting, true);
    try {
        stream.WriteBuffer(StreamSignature, 4);
        WriteShortString(stream, className);
        WriteShortString(stream, objectName);
        WriteProperties(stream, root, "");
        stream.WriteValue(uint8_t(0));  // end of the properties
        stream.WriteValue(uint8_t(0));  // end of the (empty) child list
    } catch (...) {
        if (component)
            component->SetState(TComponent::csWriting, false);
        throw;
    }
    if (component)
        component->SetState(TComponent::csWriting, false);
}

void ReadComponentStream(const uint8_t* data, size_t size, IStoredProperties& root, TComponent* component)
{
    TByteCursor in(data, size);
    in.Signature();
    if (component)
        component->SetState(TComponent::csLoading | TComponent::csReading, true);
    try {
        in.ShortString();  // class name
        in.ShortString();  // object name
        TTableCache tables;
        for (std::string name = in.ShortString(); !name.empty(); name = in.ShortString())
            ReadValue(in, FindProperty(root, name, tables));
        if (in.U8() != 0)  // a skin has no children
            throw EReadError("Invalid stream format");
    } catch (...) {
        if (component)
            component->SetState(TComponent::csLoading | TComponent::csReading, false);
        throw;
    }
    if (component) {
        component->SetState(TComponent::csReading, false);
        component->Loaded();
    }
}

void WriteResourceHeader(TStream& stream, const std::string& name, uint32_t restSize)
{
    stream.WriteValue(uint8_t(0xFF));
    stream.WriteValue(uint16_t(10));
    const std::string upper = UpperCase(name);
    stream.WriteBuffer(upper.c_str(), static_cast<int64_t>(upper.size() + 1));
    stream.WriteValue(uint16_t(0x1030));
    stream.WriteValue(restSize);
}

size_t SkipResourceHeader(const uint8_t* data, size_t size)
{
    TByteCursor in(data, size);
    if (in.U8() != 0xFF || in.U16() != 10)
        throw EReadError("Invalid stream format");
    while (in.U8() != 0) {}
    in.U16();  // memory flags
    const uint32_t rest = in.U32();
    if (rest > in.Left())
        throw EReadError("Stream read error");
    return size - in.Left();
}

namespace {

constexpr int MaxTreeDepth = 64;

void WriteObject(TStream& stream, IStoredObject& object, int depth)
{
    if (depth > MaxTreeDepth)
        throw EWriteError("Stream write error");
    WriteShortString(stream, object.StoredClassName());
    WriteShortString(stream, object.StoredObjectName());
    WriteProperties(stream, object, "");
    stream.WriteValue(uint8_t(0));
    std::vector<IStoredObject*> children;
    object.ListStoredChildren(children);
    for (IStoredObject* child : children)
        WriteObject(stream, *child, depth + 1);
    stream.WriteValue(uint8_t(0));
}

void PassPrefix(TByteCursor& in)
{
    if (in.Left() == 0 || (*in.Take(0) & 0xF0) != 0xF0)
        return;
    if (in.U8() & 0x02)  // a child position follows
        ReadInteger(in, in.U8());
}

void ReadObject(TByteCursor& in, IStoredObject& object, int depth)
{
    if (depth > MaxTreeDepth)
        throw EReadError("Invalid stream format");
    TTableCache tables;
    for (std::string name = in.ShortString(); !name.empty(); name = in.ShortString())
        ReadValue(in, FindProperty(object, name, tables));
    while (true) {
        if (in.Left() == 0)
            throw EReadError("Stream read error");
        if (*in.Take(0) == 0)
            break;
        PassPrefix(in);
        const std::string className = in.ShortString();
        const std::string objectName = in.ShortString();
        ReadObject(in, object.ReadChild(className, objectName), depth + 1);
    }
    in.U8();
}

}  // namespace

void WriteObjectTree(TStream& stream, IStoredObject& root)
{
    stream.WriteBuffer(StreamSignature, 4);
    WriteObject(stream, root, 0);
}

void ReadObjectTree(const uint8_t* data, size_t size, IStoredObject& root)
{
    TByteCursor in(data, size);
    in.Signature();
    PassPrefix(in);
    in.ShortString();  // class name
    in.ShortString();  // object name
    ReadObject(in, root, 0);
}
