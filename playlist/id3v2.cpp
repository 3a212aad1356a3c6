#include "playlist/id3v2.h"

#include "playlist/TagFile.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr uint32_t MaxTagBody = 0x10000000;
// Real tags hold tens of frames; a body of millions of empty ones is taken as corrupt rather
// than held in memory.
constexpr int MaxFrames = 65536;
// Inflation never goes past the declared size, nor past this when no size is declared.
constexpr uint32_t DefaultInflateCap = 64u << 20;

uint16_t WithError(uint16_t status, uint16_t code)
{
    return static_cast<uint16_t>((status & 0xFF) | code);
}

uint32_t BigEndian32(const uint8_t* p)
{
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

uint32_t SyncSafe32(const uint8_t* p)
{
    return (uint32_t{p[0] & 0x7Fu} << 21) | (uint32_t{p[1] & 0x7Fu} << 14) | (uint32_t{p[2] & 0x7Fu} << 7) | (p[3] & 0x7Fu);
}

bool IsTagHeader(const uint8_t* h)
{
    return std::memcmp(h, "ID3", 3) == 0 && h[3] < 0xFF && h[4] < 0xFF && h[6] < 0x80 && h[7] < 0x80 && h[8] < 0x80 &&
           h[9] < 0x80;
}

bool NeedsUnsync(uint8_t next)
{
    return next == 0x00 || next >= 0xE0;
}

constexpr std::array<uint32_t, 256> MakeCrcTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}
constexpr std::array<uint32_t, 256> CrcTable = MakeCrcTable();

// Removes unsynchronisation zeros from a stream fed in blocks: a zero after 0xFF is held
// back until the byte after it shows whether it was inserted.
class TResyncStream {
public:
    // Appends the decoded bytes to out; returns the zeros removed.
    uint32_t Feed(const uint8_t* in, size_t count, std::vector<uint8_t>& out)
    {
        uint32_t removed = 0;
        for (size_t i = 0; i < count; ++i) {
            const uint8_t b = in[i];
            if (FPendingZero) {
                FPendingZero = false;
                if (NeedsUnsync(b))
                    ++removed;
                else
                    out.push_back(0x00);
                FPreviousFF = false;
            }
            if (FPreviousFF && b == 0x00) {
                FPendingZero = true;
                FPreviousFF = false;
                continue;
            }
            out.push_back(b);
            FPreviousFF = b == 0xFF;
        }
        return removed;
    }
    void Finish(std::vector<uint8_t>& out)
    {
        if (FPendingZero)
            out.push_back(0x00);
        FPendingZero = false;
    }

private:
    bool FPreviousFF = false;
    bool FPendingZero = false;
};

// The tag body read from the file in blocks of at most 64 KiB, with a 2.3 tag's
// unsynchronisation removed as the bytes come in. Remaining counts the body bytes not yet
// consumed, less the zeros removed so far; it never grows, so the frame loop always ends.
class TTagReadBuffer {
public:
    TTagReadBuffer(TTagFile& file, int64_t start, uint32_t bodySize, bool unsync)
        : FFile(file), FNext(start), FFileLeft(bodySize), FUnsync(unsync), FRemaining(bodySize)
    {
        FBuffer.reserve(BufferSize + 1);
    }

    uint32_t Remaining() const { return FRemaining; }
    uint32_t Consumed() const { return FConsumed; }
    int64_t FilePosition() const { return FNext; }
    bool ReadFailed() const { return FReadFailed; }

    // Takes count bytes of the body; false when the body (or the file) holds fewer.
    bool Take(uint8_t* out, size_t count)
    {
        if (count > FRemaining)
            return false;
        while (count > 0) {
            if (FHead == FBuffer.size()) {
                // A long plain run (a picture) goes from the file straight to its place.
                if (!FUnsync && count >= BufferSize)
                    return TakeFromFile(out, count);
                if (!Refill())
                    return false;
            }
            const size_t n = std::min(count, FBuffer.size() - FHead);
            std::memcpy(out, FBuffer.data() + FHead, n);
            FHead += n;
            out += n;
            count -= n;
            Consume(static_cast<uint32_t>(n));
        }
        return true;
    }

    bool Take(std::vector<uint8_t>& out, size_t count)
    {
        if (count > FRemaining)
            return false;
        out.resize(count);
        return Take(out.data(), count);
    }

    // The rest of the body counts as consumed (padding).
    void Drop() { FRemaining = 0; }

private:
    static constexpr size_t BufferSize = 65536;
    static constexpr size_t BlockSize = 16384;

    void Consume(uint32_t n)
    {
        FRemaining -= std::min(FRemaining, n);
        FConsumed += n;
    }

    // With the buffer empty and no unsynchronisation, the file position is the consumed one.
    bool TakeFromFile(uint8_t* out, size_t count)
    {
        if (count > FFileLeft || !FFile.ReadAt(FNext, out, count)) {
            FReadFailed = true;
            return false;
        }
        FNext += static_cast<int64_t>(count);
        FFileLeft -= static_cast<uint32_t>(count);
        Consume(static_cast<uint32_t>(count));
        return true;
    }

    bool Refill()
    {
        FBuffer.clear();
        FHead = 0;
        while (FBuffer.empty() && (FFileLeft > 0 || FPendingFinish)) {
            if (FFileLeft == 0) {
                FResync.Finish(FBuffer);
                FPendingFinish = false;
                break;
            }
            const size_t n = static_cast<size_t>(std::min<uint32_t>(FFileLeft, BufferSize));
            std::vector<uint8_t>& target = FUnsync ? FRaw : FBuffer;  // plain bytes need no second copy
            target.resize(n);
            if (!FFile.ReadAt(FNext, target.data(), n)) {
                FBuffer.clear();
                FReadFailed = true;
                return false;
            }
            FNext += static_cast<int64_t>(n);
            FFileLeft -= static_cast<uint32_t>(n);
            if (FUnsync) {
                for (size_t at = 0; at < n; at += BlockSize) {
                    const uint32_t removed = FResync.Feed(FRaw.data() + at, std::min(BlockSize, n - at), FBuffer);
                    FRemaining -= std::min(FRemaining, removed);
                }
                FPendingFinish = FFileLeft == 0;
            }
        }
        return !FBuffer.empty();
    }

    TTagFile& FFile;
    int64_t FNext;
    uint32_t FFileLeft;
    bool FUnsync;
    bool FPendingFinish = false;
    bool FReadFailed = false;
    uint32_t FRemaining;
    uint32_t FConsumed = 0;
    std::vector<uint8_t> FBuffer;
    std::vector<uint8_t> FRaw;
    size_t FHead = 0;
    TResyncStream FResync;
};

bool ValidFrameID(std::string& id)
{
    if (id.size() != 4)
        return false;
    id = UpperCase(id);
    return std::all_of(id.begin(), id.end(), [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
}

// Whether the frame headers from start chain up to the padding or the tag's end, each size
// read as syncsafe or as a plain integer.
// Reads the bytes of start..end through a window of a few KiB, so that a run of small frame
// headers costs one read of the file rather than one each.
class TWindowReader {
public:
    TWindowReader(TTagFile& file, int64_t end) : FFile(file), FEnd(end) {}

    bool ReadAt(int64_t at, uint8_t* out, size_t count)
    {
        if (at < FStart || at + static_cast<int64_t>(count) > FStart + static_cast<int64_t>(FBytes.size())) {
            const size_t size = static_cast<size_t>(std::min<int64_t>(WindowSize, FEnd - at));
            if (size < count)
                return false;
            FBytes.resize(size);
            if (!FFile.ReadAt(at, FBytes.data(), size)) {
                FBytes.clear();
                return false;
            }
            FStart = at;
        }
        std::memcpy(out, FBytes.data() + (at - FStart), count);
        return true;
    }

private:
    static constexpr int64_t WindowSize = 4096;
    TTagFile& FFile;
    int64_t FEnd;
    int64_t FStart = 0;
    std::vector<uint8_t> FBytes;
};

bool FramesChain(TTagFile& file, int64_t start, int64_t end, bool plain)
{
    TWindowReader window(file, end);
    int64_t at = start;
    while (at < end) {
        uint8_t fh[10] = {};
        const size_t got = static_cast<size_t>(std::min<int64_t>(10, end - at));
        if (!window.ReadAt(at, fh, got))
            return false;
        if (std::all_of(fh, fh + got, [](uint8_t b) { return b == 0; }) || (got >= 4 && std::memcmp(fh, "MP3e", 4) == 0))
            return true;
        std::string id(reinterpret_cast<const char*>(fh), 4);
        if (got < 10 || !ValidFrameID(id))
            return false;
        const uint32_t size = plain ? BigEndian32(fh + 4) : SyncSafe32(fh + 4);
        if (size > end - at - 10)
            return false;
        at += 10 + int64_t{size};
    }
    return true;
}

bool IsTextFrameID(const std::string& id)
{
    return id.size() == 4 && id[0] == 'T' && id != "TXXX";
}

int ZlibLevel(uint8_t level)
{
    switch (level) {
    case 0: return 0;
    case 1: return 1;
    case 3: return 9;
    default: return Z_DEFAULT_COMPRESSION;
    }
}

enum class TInflateResult { Done, Broken, TooLong };

// Inflates a zlib stream into at most cap bytes, growing the output as it comes.
TInflateResult Inflate(const std::vector<uint8_t>& in, uint32_t cap, std::vector<uint8_t>& out)
{
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return TInflateResult::Broken;
    // One byte beyond the cap shows a stream that is longer than allowed.
    const size_t limit = size_t{cap} + 1;
    out.assign(std::min<size_t>(limit, std::max<size_t>(in.size() * 4, 256)), 0);
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    TInflateResult result = TInflateResult::Broken;
    while (true) {
        z.next_out = out.data() + z.total_out;
        z.avail_out = static_cast<uInt>(out.size() - z.total_out);
        const int code = inflate(&z, Z_NO_FLUSH);
        if (z.total_out > cap) {
            result = TInflateResult::TooLong;
            break;
        }
        if (code == Z_STREAM_END) {
            result = TInflateResult::Done;
            break;
        }
        if ((code != Z_OK && code != Z_BUF_ERROR) || z.avail_out > 0)
            break;  // a broken stream, or one that ends before its end marker
        out.resize(std::min(limit, out.size() * 2));
    }
    const size_t produced = z.total_out;
    inflateEnd(&z);
    out.resize(std::min(produced, out.size()));
    return result;
}

}  // namespace

// ---- Shared byte helpers ----

void UpdateTagCrc(const uint8_t* Buffer, size_t Length, uint32_t& CRC)
{
    for (size_t i = 0; i < Length; ++i)
        CRC = CrcTable[(CRC ^ Buffer[i]) & 0xFF] ^ (CRC >> 8);
}

std::vector<uint8_t> UnsyncBytes(std::span<const uint8_t> Bytes)
{
    std::vector<uint8_t> out;
    out.reserve(Bytes.size() + Bytes.size() / 64 + 1);
    for (size_t i = 0; i < Bytes.size(); ++i) {
        out.push_back(Bytes[i]);
        if (Bytes[i] == 0xFF && i + 1 < Bytes.size() && NeedsUnsync(Bytes[i + 1]))
            out.push_back(0x00);
    }
    return out;
}

std::vector<uint8_t> ResyncBytes(std::span<const uint8_t> Bytes)
{
    std::vector<uint8_t> out;
    out.reserve(Bytes.size());
    TResyncStream resync;
    resync.Feed(Bytes.data(), Bytes.size(), out);
    // A zero after the final 0xFF belongs to the unsynchronisation, so no Finish.
    return out;
}

uint8_t DecodeFrameText(std::span<const uint8_t> Data, uint32_t Start, bool MultiLine, std::string& Text,
                        uint8_t Encoding, uint32_t& Length)
{
    Text.clear();
    const bool measure = Length == 0;
    if (Start >= Data.size()) {
        if (measure)
            Length = 0;
        return 2;
    }
    const size_t end = measure ? Data.size() : Start + std::min<size_t>(Length, Data.size() - Start);
    size_t pos = Start;
    const auto finish = [&](uint8_t code) {
        if (measure)
            Length = static_cast<uint32_t>(pos - Start);
        if (code == 8)
            Text.clear();
        return code;
    };
    const auto lineBreak = [&](unsigned c) { return MultiLine && (c == 0x0A || c == 0x0D); };

    switch (Encoding) {
    case 0:
    case 3: {
        uint8_t last = 0;
        while (pos < end) {
            const uint8_t b = Data[pos++];
            last = b;
            if (Encoding == 3 && b >= 0x80) {
                if (b <= 0xBF) {
                    Text += static_cast<char>(b & 0x3F);
                } else if (b <= 0xC3) {
                    if (pos >= end)
                        return finish(8);
                    last = Data[pos++];
                    Text += static_cast<char>(((b & 0x1F) << 6) | (last & 0x3F));
                } else {
                    return finish(4);
                }
                continue;
            }
            Text += static_cast<char>(b);
            if (b < 0x20 && !lineBreak(b))
                break;
        }
        if (!MultiLine && last < 0x20 && last != 0x00 && last != 0x0A && last != 0x0D)
            return finish(8);
        return finish(0);
    }
    case 1:
    case 2:
    case 9: {
        bool bigEndian = Encoding == 2;
        if (Encoding == 1) {
            if (end - pos < 2)
                return finish(8);
            if (Data[pos] == 0xFF && Data[pos + 1] == 0xFE)
                bigEndian = false;
            else if (Data[pos] == 0xFE && Data[pos + 1] == 0xFF)
                bigEndian = true;
            else
                return finish(8);
            pos += 2;
        }
        while (end - pos >= 2) {
            const unsigned c = bigEndian ? (Data[pos] << 8) | Data[pos + 1] : Data[pos] | (Data[pos + 1] << 8);
            pos += 2;
            if (c == 0)
                return finish(0);
            if (c > 0xFF)
                return finish(4);
            if (c < 0x20 && !lineBreak(c))
                return finish(8);
            Text += static_cast<char>(c);
        }
        pos = end;  // an odd last byte belongs to no character
        return finish(0);
    }
    default:
        return finish(5);
    }
}

// ---- TFrameIndex ----

TFrameRecord& TFrameIndex::At(int Index)
{
    if (Index < 1 || Index > Count())
        throw ERangeError("Array range out of bounds.");
    return FFrames[static_cast<size_t>(Index - 1)];
}

const TFrameRecord& TFrameIndex::At(int Index) const
{
    return const_cast<TFrameIndex*>(this)->At(Index);
}

int TFrameIndex::Byte(int K)
{
    if (K < 1 || K > 2)
        throw ERangeError("Array range out of bounds.");
    return K - 1;
}

int TFrameIndex::AddFrame(const std::string& ID)
{
    std::string id = ID;
    if (!ValidFrameID(id))
        return 0;
    TFrameRecord record;
    record.ID = id;
    record.Changed = true;
    FFrames.push_back(std::move(record));
    return Count();
}

bool TFrameIndex::DeleteFrameAt(int Index)
{
    if (Index < 1 || Index > Count())
        return false;
    FFrames.erase(FFrames.begin() + (Index - 1));
    return true;
}

bool TFrameIndex::DeleteFrame(const std::string& ID)
{
    bool deleted = false;
    for (int i = Count(); i >= 1; --i)
        if (FFrames[static_cast<size_t>(i - 1)].ID == ID)
            deleted = DeleteFrameAt(i) || deleted;
    return deleted;
}

void TFrameIndex::SetEncryptionMethod(int Index, uint8_t Value)
{
    TFrameRecord& r = At(Index);
    if (r.EncryptionMethod != Value)
        r.Changed = true;
    r.EncryptionMethod = Value;
}

void TFrameIndex::SetGroupID(int Index, uint8_t Value)
{
    TFrameRecord& r = At(Index);
    if (r.GroupID != Value)
        r.Changed = true;
    r.GroupID = Value;
}

void TFrameIndex::SetData(int Index, std::vector<uint8_t> Value)
{
    TFrameRecord& r = At(Index);
    r.Data = std::move(Value);
    r.Changed = true;
}

void TFrameIndex::SetFlags(int Index, int K, uint8_t Value)
{
    TFrameRecord& r = At(Index);
    r.Flags[Byte(K)] = Value;
    r.Changed = true;
}

int32_t TFrameIndex::CompressFrame(int Index, uint8_t Level)
{
    TFrameRecord& r = At(Index);
    if (r.State[1] & ffUnsynchronisation)
        return 2;
    if (r.State[1] & ffEncryption)
        return 1;
    if (r.State[1] & ffCompression)
        return 0;
    uLongf size = compressBound(static_cast<uLong>(r.Data.size()));
    std::vector<uint8_t> packed(size);
    if (compress2(packed.data(), &size, r.Data.data(), static_cast<uLong>(r.Data.size()), ZlibLevel(Level)) != Z_OK)
        return 4;
    packed.resize(size);
    r.DataLength = static_cast<uint32_t>(r.Data.size());
    r.Data = std::move(packed);
    r.State[1] |= ffCompression;
    r.Changed = true;
    return 0;
}

int32_t TFrameIndex::DecompressFrame(int Index)
{
    TFrameRecord& r = At(Index);
    if (r.State[1] & ffUnsynchronisation)
        return 2;
    if (r.State[1] & ffEncryption)
        return 1;
    if (!(r.State[1] & ffCompression))
        return 0;
    std::vector<uint8_t> plain;
    const uint32_t cap = r.DataLength != 0 ? std::min(r.DataLength, MaxTagBody) : DefaultInflateCap;
    switch (Inflate(r.Data, cap, plain)) {
    case TInflateResult::Broken: return 4;
    case TInflateResult::TooLong: return r.DataLength != 0 ? -2 : 4;
    case TInflateResult::Done: break;
    }
    if (r.DataLength != 0 && plain.size() != r.DataLength)
        return -2;
    r.Data = std::move(plain);
    r.DataLength = 0;
    r.State[1] &= static_cast<uint8_t>(~ffCompression);
    r.Changed = true;
    return 0;
}

int32_t TFrameIndex::UnsyncFrame(int Index)
{
    TFrameRecord& r = At(Index);
    if (r.State[1] & ffUnsynchronisation)
        return -1;
    if (!(r.State[1] & (ffCompression | ffEncryption)))
        r.DataLength = static_cast<uint32_t>(r.Data.size());
    r.UnsyncSize = static_cast<uint32_t>(r.Data.size());
    r.Data = UnsyncBytes(r.Data);
    r.State[1] |= ffUnsynchronisation;
    r.Changed = true;
    return 0;
}

int32_t TFrameIndex::ResyncFrame(int Index)
{
    TFrameRecord& r = At(Index);
    if (!(r.State[1] & ffUnsynchronisation))
        return -1;
    r.Data = ResyncBytes(r.Data);
    r.State[1] &= static_cast<uint8_t>(~ffUnsynchronisation);
    r.Changed = true;
    return 0;
}

// ---- Loading ----

uint16_t Tid3v2tag::LoadFromFile(const std::string& FileName_, int64_t Offset)
{
    if (!FileExists(FileName_))
        return id3NoFile;
    ReadOnly = IsFileProtected(FileName_);
    const auto file = TTagDiskFile::Open(FileName_, fmOpenRead | fmShareDenyNone);
    if (!file)
        return id3NoFile;
    const uint16_t status = Load(*file, Offset);
    if (status != id3FileTooShort)
        FileName = FileName_;
    return status;
}

uint16_t Tid3v2tag::LoadFromBuffer(std::span<const uint8_t> Bytes, int64_t Offset)
{
    TTagMemoryFile file(Bytes);
    return Load(file, Offset);
}

uint16_t Tid3v2tag::Load(TTagFile& File, int64_t Offset64)
{
    const uint32_t offset = static_cast<uint32_t>(Offset64);
    const int64_t fileSize = File.Size();
    if (fileSize < 0)
        return id3IOError;
    if (fileSize <= offset)
        return id3FileTooShort;
    Complete = false;
    Progress = 0;
    StatusText = "Loading tag";

    uint8_t header[10];
    if (fileSize - offset < 10)
        return id3NoTag;
    if (!File.ReadAt(offset, header, sizeof header))
        return id3ReadError;
    if (!IsTagHeader(header))
        return id3NoTag;
    Version = header[3];
    Revision = header[4];
    TagOffset = offset;
    if (Version != 3 && Version != 4)
        return id3BadVersion;
    if (Revision != 0 && AcceptRevision == 0)
        return id3BadRevision;
    uint16_t status = Revision != 0 ? id3WarnRevision : 0;

    // Header flags and size.
    const uint8_t flags = header[5];
    HeaderFlags = flags & (Version == 4 ? 0xF0 : 0xE0);
    if (flags & (Version == 4 ? 0x0F : 0x1F))
        status |= id3WarnHeaderFlags;
    TagSize = SyncSafe32(header + 6);
    ExtendedFlags = 0;
    ExtendedHeaderSize = 0;
    PaddingSize = 0;
    CRC = 0;
    Restrictions = 0;

    const auto parse = [&]() -> uint16_t {
        Frames.Clear();  // a failed parse must not leave another file's frames behind
        Changed = false;
        if (fileSize < int64_t{offset} + 10 + TagSize)
            return WithError(status, id3TagPastEnd);
        const bool wholeUnsync = Version == 3 && (HeaderFlags & thUnsynchronisation);
        TTagReadBuffer body(File, int64_t{offset} + 10, TagSize, wholeUnsync);
        const auto progress = [&] {
            Progress = static_cast<uint8_t>(std::min<int64_t>(100, (body.FilePosition() - offset) * 100 / (int64_t{TagSize} + 10)));
        };
        const auto corrupt = [&] { return WithError(status, body.ReadFailed() ? id3ReadError : id3Corrupt); };

        // Extended header.
        if (Version == 3 && (HeaderFlags & thExtendedHeader) && body.Remaining() >= 11) {
            uint8_t ext[10];
            if (!body.Take(ext, sizeof ext))
                return corrupt();
            ExtendedHeaderSize = BigEndian32(ext);
            if (ext[4] & 0x80)
                ExtendedFlags |= teCRC;
            if ((ext[4] & 0x7F) || ext[5])
                status |= id3WarnExtendedHeader;
            PaddingSize = BigEndian32(ext + 6);
            if (ExtendedHeaderSize == 10) {
                uint8_t crc[4];
                if (!body.Take(crc, sizeof crc))
                    return corrupt();
                if (CRCPresent())
                    CRC = BigEndian32(crc);
            }
        } else if (Version == 4 && (HeaderFlags & thExtendedHeader) && body.Remaining() >= 7) {
            uint8_t size[4];
            if (!body.Take(size, sizeof size))
                return corrupt();
            ExtendedHeaderSize = SyncSafe32(size);
            if (ExtendedHeaderSize < 6)
                return WithError(status, id3Corrupt);
            std::vector<uint8_t> ext;
            if (!body.Take(ext, ExtendedHeaderSize - 4))
                return corrupt();
            const size_t flagBytes = ext[0];
            if (flagBytes == 0 || 1 + flagBytes > ext.size())
                return WithError(status, id3Corrupt);
            const uint8_t extFlags = ext[1];
            ExtendedFlags = extFlags & (teUpdate | teCRC | teRestrictions);
            if ((extFlags & 0x8F) || flagBytes > 1)
                status |= id3WarnExtendedHeader;
            size_t at = 1 + flagBytes;
            for (const uint8_t bit : {uint8_t{0x80}, uint8_t{teUpdate}, uint8_t{teCRC}, uint8_t{teRestrictions}}) {
                if (!(extFlags & bit))
                    continue;
                if (at >= ext.size() || ext[at] > ext.size() - at - 1)
                    return WithError(status, id3Corrupt);
                const size_t length = ext[at];
                const uint8_t* item = ext.data() + at + 1;
                if (bit == teCRC) {
                    if (length < 5)
                        return WithError(status, id3Corrupt);
                    uint64_t value = 0;
                    for (int k = 0; k < 5; ++k)
                        value = (value << 7) | (item[k] & 0x7F);
                    CRC = static_cast<uint32_t>(value);
                } else if (bit == teRestrictions) {
                    if (length < 1)
                        return WithError(status, id3Corrupt);
                    Restrictions = item[0];
                }
                at += 1 + length;
            }
        }
        progress();

        // Some encoders write 2.4 frame sizes as plain integers: when only that reading chains
        // the frames, the whole tag is read so.
        const int64_t framesStart = int64_t{offset} + 10 + body.Consumed();
        const int64_t tagEnd = int64_t{offset} + 10 + TagSize;
        const bool plainSizes = Version == 4
                             && !FramesChain(File, framesStart, tagEnd, false) && FramesChain(File, framesStart, tagEnd, true);

        while (body.Remaining() > 0) {
            // Frame header, or padding.
            uint8_t fh[10] = {};
            const size_t got = std::min<size_t>(10, body.Remaining());
            const uint32_t frameOffset = 10 + body.Consumed();
            if (!body.Take(fh, got))
                return corrupt();
            progress();
            const bool zeros = std::all_of(fh, fh + got, [](uint8_t b) { return b == 0; });
            if (zeros || (got >= 4 && std::memcmp(fh, "MP3e", 4) == 0)) {
                const uint32_t found = static_cast<uint32_t>(got) + body.Remaining();
                body.Drop();
                if (Version == 3 && PaddingSize != 0 && PaddingSize != found)
                    status |= id3WarnPadding;
                else
                    PaddingSize = found;
                break;
            }
            if (got < 10 || (body.Remaining() == 0 && PaddingSize == 0))
                return WithError(status, id3Corrupt);

            if (Frames.Count() >= MaxFrames)
                return WithError(status, id3Corrupt);
            std::string id(reinterpret_cast<const char*>(fh), 4);
            const int index = Frames.AddFrame(id);
            if (index == 0)
                return WithError(status, id3BadFrameID);
            TFrameRecord& frame = Frames.Record(index);
            const auto broken = [&](uint16_t code) {
                Frames.DeleteFrameAt(index);
                return WithError(status, code);
            };
            uint32_t size = Version == 3 || plainSizes ? BigEndian32(fh + 4) : SyncSafe32(fh + 4);
            if (size > body.Remaining())
                return broken(id3Corrupt);
            if (Version == 3 && uint64_t{frameOffset} + size > MaxTagBody)
                return broken(id3Corrupt);
            frame.FrameOffset = frameOffset;
            if (Version == 3) {
                frame.State[0] = static_cast<uint8_t>((fh[8] >> 1) & 0x70);
                uint8_t format = 0;
                if (fh[9] & 0x80)
                    format |= ffCompression | ffDataLengthIndicator;
                if (fh[9] & 0x40)
                    format |= ffEncryption;
                if (fh[9] & 0x20)
                    format |= ffGrouping;
                frame.State[1] = format;
            } else {
                frame.State[0] = fh[8];
                // The header's flag makes every frame unsynchronised, flagged or not.
                frame.State[1] = fh[9] | ((HeaderFlags & thUnsynchronisation) ? ffUnsynchronisation : 0);
            }
            frame.Flags[0] = frame.State[0];
            frame.Flags[1] = frame.State[1];

            // Extra header bytes, each taken out of the frame's size.
            const auto extra = [&](uint8_t* out, uint32_t count) {
                if (size < count || !body.Take(out, count))
                    return false;
                size -= count;
                return true;
            };
            uint8_t bytes[4];
            const uint8_t format = frame.State[1];
            bool ok = true;
            if (Version == 3) {
                if (ok && (format & ffCompression) && (ok = extra(bytes, 4)))
                    frame.DataLength = BigEndian32(bytes);
                if (ok && (format & ffEncryption) && (ok = extra(bytes, 1)))
                    frame.EncryptionMethod = bytes[0];
                if (ok && (format & ffGrouping) && (ok = extra(bytes, 1)))
                    frame.GroupID = bytes[0];
            } else {
                if (ok && (format & ffGrouping) && (ok = extra(bytes, 1)))
                    frame.GroupID = bytes[0];
                if (ok && (format & ffEncryption) && (ok = extra(bytes, 1)))
                    frame.EncryptionMethod = bytes[0];
                if (ok && (format & ffDataLengthIndicator) && (ok = extra(bytes, 4)))
                    frame.DataLength = SyncSafe32(bytes);
            }
            if (!ok && !body.ReadFailed()) {
                // Only this frame is lost: its bytes are passed over and its neighbours read.
                std::vector<uint8_t> rest;
                if (!body.Take(rest, size))
                    return broken(body.ReadFailed() ? id3ReadError : id3Corrupt);
                Frames.DeleteFrameAt(index);
                status |= id3WarnFrameDropped;
                continue;
            }
            if (!ok)
                return broken(id3ReadError);
            frame.HeaderLength = body.Consumed() + 10 - frameOffset;
            if (!body.Take(frame.Data, size))
                return broken(body.ReadFailed() ? id3ReadError : id3Corrupt);
            frame.Changed = false;
        }
        return status;
    };

    status = parse();
    LoadStatus = status;
    Complete = true;
    Progress = 100;
    StatusText = "Load Complete";
    return status;
}

// ---- Frame access ----

void Tid3v2tag::SetBit(uint8_t& Field, uint8_t Bit, bool Value)
{
    Field = Value ? static_cast<uint8_t>(Field | Bit) : static_cast<uint8_t>(Field & ~Bit);
    Changed = true;
}

// Brings a frame's data to plain bytes: 0, 9 encrypted, 8 compressed data that cannot be inflated.
uint8_t Tid3v2tag::PrepareFrame(int Index)
{
    if (Frames.StateUnsynchronisation(Index))
        Frames.ResyncFrame(Index);
    if (Frames.StateEncryption(Index))
        return 9;
    if (Frames.StateCompression(Index) && Frames.DecompressFrame(Index) != 0)
        return 8;
    return 0;
}

namespace {
int FindFrame(const TFrameIndex& frames, const std::string& id)
{
    for (int i = 1; i <= frames.Count(); ++i)
        if (frames.ID(i) == id)
            return i;
    return 0;
}

// Replaces a frame's data by plain new bytes: the writer brings it to the wanted flags.
void ReplaceData(TFrameRecord& frame, std::vector<uint8_t> data)
{
    frame.Data = std::move(data);
    frame.State[0] = frame.State[1] = 0;
    frame.DataLength = 0;
    frame.UnsyncSize = 0;
    frame.Changed = true;
}

void AppendText(std::vector<uint8_t>& data, const std::string& text)
{
    data.insert(data.end(), text.begin(), text.end());
}

// A description followed by exactly one zero byte.
void AppendDescription(std::vector<uint8_t>& data, const std::string& description)
{
    AppendText(data, description);
    if (description.empty() || description.back() != '\0')
        data.push_back(0);
}

// Decodes a description at start: true with its text and the bytes it takes, one trailing
// zero character dropped.
bool DecodeDescription(std::span<const uint8_t> data, uint32_t start, uint8_t encoding, std::string& text, uint32_t& length)
{
    length = 0;
    const uint8_t code = DecodeFrameText(data, start, false, text, encoding, length);
    if (code == 2) {
        text.clear();
        length = 0;
        return true;
    }
    if (code != 0)
        return false;
    if (!text.empty() && text.back() == '\0')
        text.pop_back();
    return true;
}
}

uint8_t Tid3v2tag::GetTextFrame(const std::string& ID, std::string& Text)
{
    Text.clear();
    if (!IsTextFrameID(ID))
        return 3;
    const int index = FindFrame(Frames, ID);
    if (index == 0)
        return 1;
    if (Frames.DataSize(index) == 0)
        return 2;
    if (const uint8_t code = PrepareFrame(index); code != 0)
        return code;
    const std::vector<uint8_t>& data = Frames.Data(index);
    if (data.empty())
        return 2;
    uint32_t length = 0;
    return DecodeFrameText(data, 1, false, Text, data[0], length);
}

int8_t Tid3v2tag::SetTextFrame(const std::string& ID, const std::string& Text)
{
    if (!IsTextFrameID(ID))
        return 3;
    int index = FindFrame(Frames, ID);
    if (Text.empty()) {
        if (index == 0)
            return 0;
        Frames.DeleteFrameAt(index);
        Changed = true;
        return -1;
    }
    if (index == 0 && (index = Frames.AddFrame(ID)) == 0)
        return 3;
    std::vector<uint8_t> data{0};
    AppendText(data, Text);
    ReplaceData(Frames.Record(index), std::move(data));
    Changed = true;
    return 0;
}

int Tid3v2tag::FindComment(const std::string& Description, const std::string& Language, TCOMMRecord* Rec, uint8_t* TextCode)
{
    for (int i = 1; i <= Frames.Count(); ++i) {
        if (Frames.ID(i) != "COMM" || PrepareFrame(i) != 0)
            continue;
        const std::vector<uint8_t>& data = Frames.Data(i);
        if (data.size() < 4)
            continue;  // not even the language is there
        std::string description;
        uint32_t length = 0;
        if (!DecodeDescription(data, 4, data[0], description, length))
            continue;
        const std::string language(reinterpret_cast<const char*>(data.data()) + 1, 3);
        if (description != Description || (Language.size() == 3 && language != Language))
            continue;
        if (Rec) {
            Rec->Encoding = data[0];
            Rec->Language = language;
            Rec->Description = description;
            uint32_t textLength = 0;
            const uint8_t code = DecodeFrameText(data, 4 + length, true, Rec->Text, data[0], textLength);
            *TextCode = code == 2 ? 0 : code;
        }
        return i;
    }
    return 0;
}

uint8_t Tid3v2tag::GetComment(TCOMMRecord& Rec, const std::string& Description, const std::string& Language)
{
    Rec = TCOMMRecord{};
    uint8_t code = 0;
    return FindComment(Description, Language, &Rec, &code) == 0 ? 1 : code;
}

int8_t Tid3v2tag::SetComment(const TCOMMRecord& Rec, const std::string& Description, const std::string& Language)
{
    int index = FindComment(Description, Language, nullptr, nullptr);
    if (Rec.Text.empty()) {
        if (index == 0)
            return 0;
        Frames.DeleteFrameAt(index);
        Changed = true;
        return -1;
    }
    if (Rec.Encoding > 3)
        return 6;
    if (Rec.Language.size() != 3 ||
        std::any_of(Rec.Language.begin(), Rec.Language.end(), [](char c) { return static_cast<uint8_t>(c) < 0x20; }))
        return 7;
    if (index == 0)
        index = Frames.AddFrame("COMM");
    std::vector<uint8_t> data{Rec.Encoding};
    AppendText(data, Rec.Language);
    AppendDescription(data, Rec.Description);
    AppendText(data, Rec.Text);
    ReplaceData(Frames.Record(index), std::move(data));
    Changed = true;
    return 0;
}

int Tid3v2tag::FindUserURL(const std::string& Description, TWXXXRecord* Rec)
{
    for (int i = 1; i <= Frames.Count(); ++i) {
        if (Frames.ID(i) != "WXXX" || PrepareFrame(i) != 0)
            continue;
        const std::vector<uint8_t>& data = Frames.Data(i);
        if (data.empty())
            continue;
        std::string description;
        uint32_t length = 0;
        if (!DecodeDescription(data, 1, data[0], description, length) || description != Description)
            continue;
        if (Rec) {
            Rec->Encoding = data[0];
            Rec->Description = description;
            uint32_t urlLength = 0;
            DecodeFrameText(data, 1 + length, false, Rec->URL, 0, urlLength);
        }
        return i;
    }
    return 0;
}

uint8_t Tid3v2tag::GetUserURL(TWXXXRecord& Rec, const std::string& Description)
{
    Rec = TWXXXRecord{};
    return FindUserURL(Description, &Rec) == 0 ? 1 : 0;
}

uint8_t Tid3v2tag::SetUserURL(const TWXXXRecord& Rec, const std::string& Description)
{
    if (Rec.URL.empty())
        return 2;
    if (Rec.Encoding > 3)
        return 6;
    int index = FindUserURL(Description, nullptr);
    if (index == 0)
        index = Frames.AddFrame("WXXX");
    std::vector<uint8_t> data{Rec.Encoding};
    AppendDescription(data, Rec.Description);
    AppendText(data, Rec.URL);
    ReplaceData(Frames.Record(index), std::move(data));
    Changed = true;
    return 0;
}
