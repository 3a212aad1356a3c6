#pragma once
// The binary component stream ("TPF0"): a class name, an object name, then properties by dotted
// name ("Colors.Border") with a value-type byte and the value, a 0 ending the properties and a
// 0 ending the child list. Classes list what they stream in a table of stored properties,
// standing in for published ones. The component resource header that precedes a stream in a
// resource is read and written here too.
#include "Classes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Value-type codes of this library's streams (its generator, reader, writer and XML form).
enum TValueType : uint8_t {
    vaNull = 0, vaInt8 = 1, vaInt16 = 2, vaInt32 = 3, vaString = 4, vaIdent = 5, vaFalse = 6, vaTrue = 7,
    vaSet = 8, vaBinary = 9, vaLString = 10, vaList = 11, vaNil = 12,
};

enum class TPropKind {
    Integer,    // vaInt8/16/32
    Boolean,    // vaFalse/vaTrue
    Enum,       // vaIdent, one of Names; the ordinal is the index
    Set,        // vaSet: names terminated by an empty name; bit i is Names[i]
    String,     // vaString/vaLString
    Binary,     // vaBinary: 32-bit length and bytes
    Color,      // an identifier ("clWhite") or an integer
    Object,     // a persistent part whose properties follow as "Part.Property"
    Reference,  // a link to another component: read and skipped, never written
};

struct TStoredProperty {
    std::string Name;
    TPropKind Kind = TPropKind::Integer;
    std::vector<std::string> Names;                      // Enum and Set
    std::function<int64_t()> GetOrd;                     // Integer, Boolean, Enum, Set, Color
    std::function<void(int64_t)> SetOrd;
    std::function<std::string()> GetText;                // String, Binary
    std::function<void(const std::string&)> SetText;
    std::function<class IStoredProperties*()> GetObject; // Object
    std::function<bool()> Stored;                        // none: always stored
};

class IStoredProperties {
public:
    virtual void ListStoredProperties(std::vector<TStoredProperty>& list) = 0;

protected:
    ~IStoredProperties() = default;
};

// Helpers that build table rows over a getter and a setter.
TStoredProperty IntProperty(std::string name, std::function<int64_t()> get, std::function<void(int64_t)> set,
                            std::function<bool()> stored = nullptr);
TStoredProperty BoolProperty(std::string name, std::function<bool()> get, std::function<void(bool)> set,
                             std::function<bool()> stored = nullptr);
TStoredProperty EnumProperty(std::string name, std::vector<std::string> names, std::function<int64_t()> get,
                             std::function<void(int64_t)> set, std::function<bool()> stored = nullptr);
TStoredProperty SetProperty(std::string name, std::vector<std::string> names, std::function<int64_t()> get,
                            std::function<void(int64_t)> set, std::function<bool()> stored = nullptr);
TStoredProperty ColorProperty(std::string name, std::function<int64_t()> get, std::function<void(int64_t)> set,
                              std::function<bool()> stored = nullptr);
TStoredProperty StringProperty(std::string name, std::function<std::string()> get,
                               std::function<void(const std::string&)> set, std::function<bool()> stored = nullptr);
TStoredProperty BinaryProperty(std::string name, std::function<std::string()> get,
                               std::function<void(const std::string&)> set, std::function<bool()> stored = nullptr);
TStoredProperty ObjectProperty(std::string name, std::function<IStoredProperties*()> get,
                               std::function<bool()> stored = nullptr);
TStoredProperty ReferenceProperty(std::string name);

// Writes "TPF0", the names and every stored property of root; a TComponent root is in the
// writing state meanwhile.
void WriteComponentStream(TStream& stream, const std::string& className, const std::string& objectName,
                          IStoredProperties& root, TComponent* component = nullptr);
// Reads a stream into root: the class and object names are not checked, every length is
// checked against the bytes left. Errors raise EReadError ("Invalid stream format",
// "Stream read error", "Invalid property value", "Property Foo does not exist"); a setter's own
// error passes through. A component is loading and reading meanwhile, and Loaded runs after a
// complete read.
void ReadComponentStream(const uint8_t* data, size_t size, IStoredProperties& root, TComponent* component = nullptr);

// Component resource header: 0xFF, 16-bit type 10 (RCDATA), the name upper-cased and
// NUL-terminated, 16-bit flags 0x1030, 32-bit size of the rest.
void WriteResourceHeader(TStream& stream, const std::string& name, uint32_t restSize);
// The offset of the component stream after the header; EReadError when it is malformed.
size_t SkipResourceHeader(const uint8_t* data, size_t size);

// An object streamed with its child objects (a menu and its items): the class and object
// names, the properties, then each child the same way.
class IStoredObject : public IStoredProperties {
public:
    virtual std::string StoredClassName() = 0;
    virtual std::string StoredObjectName() = 0;
    virtual void ListStoredChildren(std::vector<IStoredObject*>& list) = 0;
    // Reading: the child that the stream's next object is read into, placed after the ones
    // read before; EReadError for a class the object cannot hold.
    virtual IStoredObject& ReadChild(const std::string& className, const std::string& objectName) = 0;

protected:
    ~IStoredObject() = default;
};

// Writes "TPF0" and the tree of root.
void WriteObjectTree(TStream& stream, IStoredObject& root);
// Reads a tree into root (the root's class and name are not checked). An object's prefix
// (filer flags, child position) is accepted and passed over. Errors as ReadComponentStream.
void ReadObjectTree(const uint8_t* data, size_t size, IStoredObject& root);
