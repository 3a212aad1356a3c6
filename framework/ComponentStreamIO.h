#pragma once
// Byte-level reading and writing of binary component streams, shared by the stream's text and
// XML forms. Reads are checked against the bytes left; an object's prefix byte (0xF0 | filer
// flags) may precede its class name, followed by the child position when ffChildPos is set.
#include "Classes.h"
#include "ComponentStream.h"
#include "SysUtils.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

enum TFilerFlag : uint8_t { ffInherited = 1, ffChildPos = 2, ffInline = 4 };

// The first bytes of every binary component stream.
inline constexpr char StreamSignature[4] = {'T', 'P', 'F', '0'};

// Nesting deeper than this (objects in objects, lists in lists) is refused as malformed.
inline constexpr int MaxStreamDepth = 64;

class TStreamBytes {
public:
    TStreamBytes(const uint8_t* data, size_t size) : FData(data), FLeft(size) {}
    size_t Left() const { return FLeft; }
    const uint8_t* Take(size_t count)
    {
        if (count > FLeft)
            throw EReadError("Stream read error");
        const uint8_t* at = FData;
        FData += count;
        FLeft -= count;
        return at;
    }
    uint8_t Peek() const
    {
        if (FLeft == 0)
            throw EReadError("Stream read error");
        return *FData;
    }
    uint8_t U8() { return *Take(1); }
    uint16_t U16()
    {
        const uint8_t* b = Take(2);
        return static_cast<uint16_t>(b[0] | b[1] << 8);
    }
    uint32_t U32()
    {
        const uint8_t* b = Take(4);
        return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
               static_cast<uint32_t>(b[3]) << 24;
    }
    std::string Text(size_t count)
    {
        const uint8_t* b = Take(count);
        return std::string(reinterpret_cast<const char*>(b), count);
    }
    std::string ShortString() { return Text(U8()); }
    // The stream's opening signature; anything else is not a component stream.
    void Signature()
    {
        if (FLeft < 4 || std::memcmp(Take(4), StreamSignature, 4) != 0)
            throw EReadError("Invalid stream format");
    }
    // An 8-, 16- or 32-bit integer value of the given type.
    int64_t Integer(uint8_t type)
    {
        switch (type) {
        case vaInt8: return static_cast<int8_t>(U8());
        case vaInt16: return static_cast<int16_t>(U16());
        case vaInt32: return static_cast<int32_t>(U32());
        default: throw EReadError("Invalid property value");
        }
    }
    // The prefix of an object: filer flags and child position (-1 without one).
    void Prefix(uint8_t& flags, int64_t& position)
    {
        flags = 0;
        position = -1;
        if ((Peek() & 0xF0) != 0xF0)
            return;
        flags = U8() & 0x0F;
        if (flags & ffChildPos)
            position = Integer(U8());
    }

private:
    const uint8_t* FData;
    size_t FLeft;
};

// Builds a binary stream in memory.
class TStreamBuilder {
public:
    std::vector<uint8_t> Bytes;
    void U8(uint8_t v) { Bytes.push_back(v); }
    void Signature() { Raw(StreamSignature, 4); }
    void Raw(const void* data, size_t size)
    {
        const auto* b = static_cast<const uint8_t*>(data);
        Bytes.insert(Bytes.end(), b, b + size);
    }
    void U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            U8(static_cast<uint8_t>(v >> (8 * i)));
    }
    // A length-prefixed name; longer than 255 bytes is malformed.
    void ShortString(const std::string& text)
    {
        if (text.size() > 255)
            throw EReadError("Invalid property value");
        U8(static_cast<uint8_t>(text.size()));
        Raw(text.data(), text.size());
    }
    // The smallest integer value type that holds value; beyond 32 bits is malformed.
    void Integer(int64_t value)
    {
        if (value >= INT8_MIN && value <= INT8_MAX) {
            U8(vaInt8);
            U8(static_cast<uint8_t>(value));
        } else if (value >= INT16_MIN && value <= INT16_MAX) {
            U8(vaInt16);
            U8(static_cast<uint8_t>(value));
            U8(static_cast<uint8_t>(value >> 8));
        } else if (value >= INT32_MIN && value <= INT32_MAX) {
            U8(vaInt32);
            U32(static_cast<uint32_t>(value));
        } else {
            throw EReadError("Invalid property value");
        }
    }
    // A string value: short up to 255 bytes, long beyond.
    void String(const std::string& text)
    {
        if (text.size() <= 255) {
            U8(vaString);
            ShortString(text);
        } else {
            U8(vaLString);
            U32(static_cast<uint32_t>(text.size()));
            Raw(text.data(), text.size());
        }
    }
    // An identifier: False, True, nil and Null (in any case) are values of their own types.
    void Identifier(const std::string& word)
    {
        if (SameText(word, "False"))
            U8(vaFalse);
        else if (SameText(word, "True"))
            U8(vaTrue);
        else if (SameText(word, "nil"))
            U8(vaNil);
        else if (SameText(word, "Null"))
            U8(vaNull);
        else {
            U8(vaIdent);
            ShortString(word);
        }
    }
    void Binary(const std::string& bytes)
    {
        U8(vaBinary);
        U32(static_cast<uint32_t>(bytes.size()));
        Raw(bytes.data(), bytes.size());
    }
    void Prefix(uint8_t flags, int64_t position)
    {
        if (flags == 0)
            return;
        U8(static_cast<uint8_t>(0xF0 | flags));
        if (flags & ffChildPos)
            Integer(position);
    }
};

// The whole rest of a stream, from its position to its end.
inline std::vector<uint8_t> ReadRest(TStream& stream)
{
    const int64_t left = stream.Size() - stream.Position();
    std::vector<uint8_t> bytes(static_cast<size_t>(left > 0 ? left : 0));
    if (!bytes.empty())
        stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    return bytes;
}

// The rest of a stream read whole, past its checked signature: the opening of every conversion
// from the binary form.
class TSignedStreamRest {
public:
    explicit TSignedStreamRest(TStream& stream) : FBytes(ReadRest(stream)), FIn(FBytes.data(), FBytes.size())
    {
        FIn.Signature();
    }
    TStreamBytes& In() { return FIn; }

private:
    std::vector<uint8_t> FBytes;
    TStreamBytes FIn;
};

// Hexadecimal digit pairs of a text form's binary value; blanks between pairs are allowed. False on
// any other character or an odd digit.
inline bool HexPairsToBytes(const std::string& text, std::string& bytes)
{
    bytes.clear();
    int high = -1;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) <= ' ')
            continue;
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        if (digit < 0)
            return false;
        if (high < 0) {
            high = digit;
        } else {
            bytes += static_cast<char>(high << 4 | digit);
            high = -1;
        }
    }
    return high < 0;
}
