#pragma once
// An ID3v2 tag (versions 2.3 and 2.4) in memory: the tag object, its frame list, the readers
// and writers of text, comment and user-URL frames, the loader and the writer. Every load and
// save keeps its file and buffers in objects of its own, so tags on different threads never
// meet.
#include "framework/Classes.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class TTagFile;

// Status words of the loader and the writer: an error code in the high byte, warning bits in
// the low byte. Below 0x100 is success.
enum : uint16_t {
    id3NoFile = 0x0100,            // missing, or cannot be opened
    id3ProtectedFile = 0x0200,     // read-only, hidden or system attribute
    id3ReadError = 0x0300,
    id3WriteError = 0x0400,
    id3IOError = 0x0500,
    id3FileTooShort = 0x0800,      // the file is not longer than the offset (writer: shorter)
    id3NoTag = 0x1000,
    id3BadVersion = 0x1100,
    id3BadRevision = 0x1200,
    id3TagPastEnd = 0x2000,
    id3BadFrameID = 0x2100,
    id3TagTooBig = 0x2200,
    id3EncryptionMismatch = 0xC000,
    id3GroupingMismatch = 0xC100,
    id3LengthOfEncrypted = 0xC200,
    id3NoFrames = 0xFD00,
    id3Corrupt = 0xFE00,           // corrupt frame or extended header; writer: the load had failed
    id3WarnHeaderFlags = 0x80,
    id3WarnExtendedHeader = 0x40,
    id3WarnRevision = 0x10,
    id3WarnFlagsChanged = 0x08,
    id3WarnPadding = 0x04,
    id3WarnFrameDropped = 0x02,    // a frame whose flags promise more than its bytes hold was left out
};

// Tag header flags (HeaderFlags) and extended-header flags (ExtendedFlags).
enum : uint8_t { thUnsynchronisation = 0x80, thExtendedHeader = 0x40, thExperimental = 0x20, thFooter = 0x10 };
enum : uint8_t { teUpdate = 0x40, teCRC = 0x20, teRestrictions = 0x10 };

// Frame flags, for both versions in the 2.4 layout: [1] the status byte, [2] the format byte.
enum : uint8_t { ffTagAlterPreservation = 0x40, ffFileAlterPreservation = 0x20, ffReadOnly = 0x10 };
enum : uint8_t {
    ffGrouping = 0x40, ffCompression = 0x08, ffEncryption = 0x04, ffUnsynchronisation = 0x02,
    ffDataLengthIndicator = 0x01,
};

// One frame: its header as read and its data after the header's extra bytes. State is what
// the data currently is (compressed, unsynchronised...), Flags what the writer must make it.
struct TFrameRecord {
    bool Changed = false;
    uint32_t FrameOffset = 0;   // of the frame header from the start of the tag
    uint32_t UnsyncSize = 0;    // data size before the last unsynchronisation
    uint32_t HeaderLength = 0;  // 10 plus the extra header bytes, as read
    std::string ID;
    uint8_t State[2] = {0, 0};
    uint8_t Flags[2] = {0, 0};
    uint32_t DataLength = 0;    // decompressed size (2.3) or data length indicator (2.4)
    uint8_t EncryptionMethod = 0;
    uint8_t GroupID = 0;
    std::vector<uint8_t> Data;
};

// The frames of a tag, addressed 1..Count in the order they were read or added. An index
// outside that range raises ERangeError "Array range out of bounds.".
class TFrameIndex : public TObject {
public:
    int Count() const { return static_cast<int>(FFrames.size()); }
    // 0 when ID is not 4 characters of A-Z and 0-9 (after upper-casing); else the new index.
    int AddFrame(const std::string& ID);
    bool DeleteFrameAt(int Index);
    bool DeleteFrame(const std::string& ID);  // every frame with exactly this ID
    void Clear() { FFrames.clear(); }

    const std::string& ID(int Index) const { return At(Index).ID; }
    bool Changed(int Index) const { return At(Index).Changed; }
    uint32_t FrameOffset(int Index) const { return At(Index).FrameOffset; }
    void SetFrameOffset(int Index, uint32_t Value) { At(Index).FrameOffset = Value; }
    uint32_t HeaderLength(int Index) const { return At(Index).HeaderLength; }
    void SetHeaderLength(int Index, uint32_t Value) { At(Index).HeaderLength = Value; }
    uint32_t UnsyncSize(int Index) const { return At(Index).UnsyncSize; }
    uint32_t DataLength(int Index) const { return At(Index).DataLength; }
    void SetDataLength(int Index, uint32_t Value) { At(Index).DataLength = Value; }
    uint8_t EncryptionMethod(int Index) const { return At(Index).EncryptionMethod; }
    void SetEncryptionMethod(int Index, uint8_t Value);
    uint8_t GroupID(int Index) const { return At(Index).GroupID; }
    void SetGroupID(int Index, uint8_t Value);
    uint32_t DataSize(int Index) const { return static_cast<uint32_t>(At(Index).Data.size()); }
    const std::vector<uint8_t>& Data(int Index) const { return At(Index).Data; }
    // New data as it is (plain unless State is set to say otherwise); marks the frame changed.
    void SetData(int Index, std::vector<uint8_t> Value);
    uint8_t State(int Index, int K) const { return At(Index).State[Byte(K)]; }
    void SetState(int Index, int K, uint8_t Value) { At(Index).State[Byte(K)] = Value; }
    uint8_t Flags(int Index, int K) const { return At(Index).Flags[Byte(K)]; }
    void SetFlags(int Index, int K, uint8_t Value);

    bool FlagTagAlterPreservation(int Index) const { return (Flags(Index, 1) & ffTagAlterPreservation) != 0; }
    bool FlagFileAlterPreservation(int Index) const { return (Flags(Index, 1) & ffFileAlterPreservation) != 0; }
    bool FlagReadOnly(int Index) const { return (Flags(Index, 1) & ffReadOnly) != 0; }
    bool FlagGrouping(int Index) const { return (Flags(Index, 2) & ffGrouping) != 0; }
    bool FlagCompression(int Index) const { return (Flags(Index, 2) & ffCompression) != 0; }
    bool FlagEncryption(int Index) const { return (Flags(Index, 2) & ffEncryption) != 0; }
    bool FlagUnsynchronisation(int Index) const { return (Flags(Index, 2) & ffUnsynchronisation) != 0; }
    bool FlagDataLengthIndicator(int Index) const { return (Flags(Index, 2) & ffDataLengthIndicator) != 0; }
    bool StateGrouping(int Index) const { return (State(Index, 2) & ffGrouping) != 0; }
    bool StateCompression(int Index) const { return (State(Index, 2) & ffCompression) != 0; }
    bool StateEncryption(int Index) const { return (State(Index, 2) & ffEncryption) != 0; }
    bool StateUnsynchronisation(int Index) const { return (State(Index, 2) & ffUnsynchronisation) != 0; }

    // Level 0 none, 1 fastest, 2 default, 3 maximum. 0 done (or already compressed),
    // 1 encrypted, 2 unsynchronised, 4 zlib failed.
    int32_t CompressFrame(int Index, uint8_t Level);
    // 0 done (or not compressed), 1 encrypted, 2 unsynchronised, 4 not a valid zlib stream,
    // -2 the inflated size differs from DataLength. On failure the data stays as it was.
    int32_t DecompressFrame(int Index);
    int32_t UnsyncFrame(int Index);  // -1 when already unsynchronised
    int32_t ResyncFrame(int Index);  // -1 when not unsynchronised

    TFrameRecord& Record(int Index) { return At(Index); }

private:
    TFrameRecord& At(int Index);
    const TFrameRecord& At(int Index) const;
    static int Byte(int K);
    std::vector<TFrameRecord> FFrames;
};

struct TCOMMRecord {
    uint8_t Encoding = 0;
    std::string Language;  // three characters
    std::string Description;
    std::string Text;
};

struct TWXXXRecord {
    uint8_t Encoding = 0;
    std::string Description;
    std::string URL;
};

class Tid3v2tag : public TObject {
public:
    Tid3v2tag() = default;

    uint16_t LoadFromFile(const std::string& FileName, int64_t Offset);
    // The loader on bytes in memory, for data that is not a file.
    uint16_t LoadFromBuffer(std::span<const uint8_t> Bytes, int64_t Offset);

    // 0 found, 1 no such frame, 2 no data, 3 not a text frame ID (4 characters beginning with
    // "T", not "TXXX"), 9 encrypted, 8 data that cannot be decoded; otherwise DecodeFrameText's code.
    uint8_t GetTextFrame(const std::string& ID, std::string& Text);
    // 0 done, 3 bad ID, -1 the frame was deleted because Text is empty.
    int8_t SetTextFrame(const std::string& ID, const std::string& Text);
    uint8_t GetComment(TCOMMRecord& Rec, const std::string& Description, const std::string& Language);
    // 0 done, -1 deleted, 6 encoding above 3, 7 a language character below 0x20.
    int8_t SetComment(const TCOMMRecord& Rec, const std::string& Description, const std::string& Language);
    uint8_t GetUserURL(TWXXXRecord& Rec, const std::string& Description);
    // 0 done, 2 Rec.URL is empty (nothing changes), 6 encoding above 3.
    uint8_t SetUserURL(const TWXXXRecord& Rec, const std::string& Description);

    bool Unsynchronisation() const { return (HeaderFlags & thUnsynchronisation) != 0; }
    bool ExtendedHeader() const { return (HeaderFlags & thExtendedHeader) != 0; }
    bool TagIsUpdate() const { return (ExtendedFlags & teUpdate) != 0; }
    bool CRCPresent() const { return (ExtendedFlags & teCRC) != 0; }
    bool RestrictionsPresent() const { return (ExtendedFlags & teRestrictions) != 0; }
    void SetUnsynchronisation(bool Value) { SetBit(HeaderFlags, thUnsynchronisation, Value); }
    void SetExtendedHeader(bool Value) { SetBit(HeaderFlags, thExtendedHeader, Value); }
    void SetExperimental(bool Value) { SetBit(HeaderFlags, thExperimental, Value); }
    void SetFooter(bool Value) { SetBit(HeaderFlags, thFooter, Value); }
    void SetTagIsUpdate(bool Value) { SetBit(ExtendedFlags, teUpdate, Value); }
    void SetCRCPresent(bool Value) { SetBit(ExtendedFlags, teCRC, Value); }
    void SetRestrictionsPresent(bool Value) { SetBit(ExtendedFlags, teRestrictions, Value); }

    // FileName "=" is the tag's own file; Version and Revision 0xFF the tag's own; a negative
    // Offset the tag's TagOffset with "=", else 0. The audio after the old tag is kept byte
    // for byte; when it must move, the file is rewritten beside itself and then replaced.
    uint16_t SaveToFile(const std::string& FileName, uint8_t Version, uint8_t Revision, int64_t Offset);
    // 0 done (also when the file is shorter than TagOffset), -2 the load had failed, -4 no
    // completed load, 1 missing or cannot be opened, 2 protected file, 5 input/output error,
    // 0x10 no tag header at TagOffset.
    int8_t RemoveTag();

    uint8_t Version = 3;
    uint8_t Revision = 0;
    uint32_t TagSize = 0;       // after its header when loaded; the whole tag after a save
    uint8_t HeaderFlags = 0;
    uint8_t ExtendedFlags = 0;
    uint32_t PaddingSize = 0;
    uint32_t ExtendedHeaderSize = 0;
    uint32_t CRC = 0;
    uint8_t Restrictions = 0;
    uint16_t LoadStatus = 0;
    bool Changed = false;
    bool ReadOnly = false;
    std::string FileName;
    uint32_t TagOffset = 0;
    bool Complete = false;
    uint8_t Progress = 0;
    std::string StatusText;
    TFrameIndex Frames;

    uint8_t AcceptRevision = 1;
    uint8_t DropUnsupportedFlags = 0;
    uint8_t TidyFrames = 1;
    uint8_t CompressionLevel = 2;
    uint8_t PaddingMode = 1;  // 0 keep PaddingSize, 1 keep the old room when it fits, 2 block rule
    uint32_t PaddingBlock = 4096;
    uint32_t PaddingLimit = 4096;

private:
    struct TWriteJob;
    uint16_t Load(TTagFile& File, int64_t Offset);
    uint16_t WriteTag(TWriteJob& Job, uint8_t NewVersion, uint8_t NewRevision);
    uint8_t PrepareFrame(int Index);
    int FindComment(const std::string& Description, const std::string& Language, TCOMMRecord* Rec, uint8_t* TextCode);
    int FindUserURL(const std::string& Description, TWXXXRecord* Rec);
    void SetBit(uint8_t& Field, uint8_t Bit, bool Value);
};

// CRC-32 register update over Buffer (reflected polynomial 0xEDB88320); the caller supplies
// the start value and the final inversion.
void UpdateTagCrc(const uint8_t* Buffer, size_t Length, uint32_t& CRC);

// Decodes text of Encoding (0 ISO-8859-1, 1 UTF-16 with byte order mark, 2 UTF-16 big-endian,
// 3 UTF-8, 9 UTF-16 little-endian) from Start to the end of Data, or at most Length bytes when
// Length is not 0; with Length 0 it returns the bytes consumed, terminator included.
// 0 done, 2 nothing at Start, 4 a character above 0xFF (Text keeps what came before),
// 5 unknown encoding, 8 a bad byte order mark or control character (Text empty).
uint8_t DecodeFrameText(std::span<const uint8_t> Data, uint32_t Start, bool MultiLine, std::string& Text,
                        uint8_t Encoding, uint32_t& Length);

// Unsynchronisation: a zero after every 0xFF that is followed by 0x00 or a byte of 0xE0 or
// above; resynchronisation removes exactly those zeros again, and a zero after a final 0xFF.
std::vector<uint8_t> UnsyncBytes(std::span<const uint8_t> Bytes);
std::vector<uint8_t> ResyncBytes(std::span<const uint8_t> Bytes);
