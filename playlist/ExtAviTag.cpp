#include "playlist/ExtAviTag.h"

#include "playlist/TagFile.h"

#include <algorithm>
#include <cstring>
#include <vector>

const std::array<const char*, TExtAviINFO_tags::Count> AviInfoIDs = {
    "INAM", "IWRI", "IART", "IPRD", "ICRD", "ISTD", "ISTR", "IGNR", "ISBJ", "IRTD", "ICOP", "ILNG",
    "IKEY", "IPRT", "IFRM", "ICMT", "ISFT", "IDIT", "IWEB", "ICMS", "IENG", "ITCH", "ISRF", "IMED",
    "ISRC", "IARL", "ICRP", "ISHP", "IDIM", "ILGT", "IDPI", "IPLT", "IMUS", "ICDS", "ICNT", "IDST",
    "IEDT", "ISGN", "IPRO", "IPDS", "ICNM", "ILGU", "ILIU", "IWMU", "IMIU", "IMBI", "IMBU", "IMIT",
};

namespace {

using TField = WideString TExtAviINFO_tags::*;
constexpr TField FieldMembers[TExtAviINFO_tags::Count] = {
    &TExtAviINFO_tags::INAM, &TExtAviINFO_tags::IWRI, &TExtAviINFO_tags::IART, &TExtAviINFO_tags::IPRD,
    &TExtAviINFO_tags::ICRD, &TExtAviINFO_tags::ISTD, &TExtAviINFO_tags::ISTR, &TExtAviINFO_tags::IGNR,
    &TExtAviINFO_tags::ISBJ, &TExtAviINFO_tags::IRTD, &TExtAviINFO_tags::ICOP, &TExtAviINFO_tags::ILNG,
    &TExtAviINFO_tags::IKEY, &TExtAviINFO_tags::IPRT, &TExtAviINFO_tags::IFRM, &TExtAviINFO_tags::ICMT,
    &TExtAviINFO_tags::ISFT, &TExtAviINFO_tags::IDIT, &TExtAviINFO_tags::IWEB, &TExtAviINFO_tags::ICMS,
    &TExtAviINFO_tags::IENG, &TExtAviINFO_tags::ITCH, &TExtAviINFO_tags::ISRF, &TExtAviINFO_tags::IMED,
    &TExtAviINFO_tags::ISRC, &TExtAviINFO_tags::IARL, &TExtAviINFO_tags::ICRP, &TExtAviINFO_tags::ISHP,
    &TExtAviINFO_tags::IDIM, &TExtAviINFO_tags::ILGT, &TExtAviINFO_tags::IDPI, &TExtAviINFO_tags::IPLT,
    &TExtAviINFO_tags::IMUS, &TExtAviINFO_tags::ICDS, &TExtAviINFO_tags::ICNT, &TExtAviINFO_tags::IDST,
    &TExtAviINFO_tags::IEDT, &TExtAviINFO_tags::ISGN, &TExtAviINFO_tags::IPRO, &TExtAviINFO_tags::IPDS,
    &TExtAviINFO_tags::ICNM, &TExtAviINFO_tags::ILGU, &TExtAviINFO_tags::ILIU, &TExtAviINFO_tags::IWMU,
    &TExtAviINFO_tags::IMIU, &TExtAviINFO_tags::IMBI, &TExtAviINFO_tags::IMBU, &TExtAviINFO_tags::IMIT,
};

constexpr int64_t MaxTextChunk = 131072;
constexpr int MaxListDepth = 16;
// Outside the movie data an AVI file has tens of chunks; a walk through more than this many
// is a file made to keep the reader busy.
constexpr int MaxChunks = 100000;

uint32_t LittleEndian32(const uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24);
}

void PutLittleEndian32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

bool IsId(const uint8_t* p, const char* id)
{
    return std::memcmp(p, id, 4) == 0;
}

int FieldOf(const uint8_t* id)
{
    for (int n = 0; n < TExtAviINFO_tags::Count; ++n)
        if (IsId(id, AviInfoIDs[static_cast<size_t>(n)]))
            return n;
    return -1;
}

// ---- Writing ----

// A chunk of the file as found: a list with its children, or data.
struct TChunk {
    int64_t Position = 0;
    uint32_t Size = 0;  // as declared
    uint8_t Id[4] = {};
    uint8_t Type[4] = {};
    bool IsList = false;
    bool Opaque = false;  // a list copied as it is (the movie data, or one nested too deep)
    std::vector<TChunk> Children;

    int64_t Padded() const { return int64_t{Size} + (Size & 1); }
    bool IsListOf(const char* type) const { return IsList && IsId(Type, type); }
    // INFO and "MID " lists and JUNK are rebuilt, not kept.
    bool Dropped() const { return IsId(Id, "JUNK") || IsListOf("INFO") || IsListOf("MID "); }
};

// Reads the chunks in [position, end); false for a layout that cannot be walked safely.
bool ParseChunks(TTagFile& file, int64_t position, int64_t end, int depth, int& budget, std::vector<TChunk>& out)
{
    while (position + 8 <= end) {
        if (--budget < 0)
            return false;
        TChunk c;
        uint8_t h[8];
        if (!file.ReadAt(position, h, sizeof h))
            return false;
        c.Position = position;
        std::memcpy(c.Id, h, 4);
        c.Size = LittleEndian32(h + 4);
        if (position + 8 + c.Size > end)
            return false;  // a chunk beyond its list or the file
        if (IsId(c.Id, "LIST")) {
            if (c.Size < 4 || !file.ReadAt(position + 8, c.Type, 4))
                return false;
            c.IsList = true;
            c.Opaque = (depth == 0 && IsId(c.Type, "movi")) || depth >= MaxListDepth;
            if (!c.Opaque && !ParseChunks(file, position + 12, position + 8 + c.Size, depth + 1, budget, c.Children))
                return false;
        }
        position += 8 + c.Padded();
        out.push_back(std::move(c));
    }
    return true;  // fewer than 8 bytes left over are not a chunk
}

// The size a kept chunk takes in the new file, header and pad included.
int64_t KeptSize(const TChunk& c)
{
    if (!c.IsList || c.Opaque)
        return 8 + c.Padded();
    int64_t size = 12;
    for (const TChunk& child : c.Children)
        if (!child.Dropped())
            size += KeptSize(child);
    return size;
}

bool WriteKept(TTagFileRewrite& out, TTagFile& file, const TChunk& c)
{
    if (!c.IsList || c.Opaque) {
        static const uint8_t pad = 0;
        return out.CopyFrom(file, c.Position, 8 + int64_t{c.Size}) && ((c.Size & 1) == 0 || out.Write(&pad, 1));
    }
    std::vector<uint8_t> header{'L', 'I', 'S', 'T'};
    PutLittleEndian32(header, static_cast<uint32_t>(KeptSize(c) - 8));
    header.insert(header.end(), c.Type, c.Type + 4);
    if (!out.Write(header.data(), header.size()))
        return false;
    for (const TChunk& child : c.Children)
        if (!child.Dropped() && !WriteKept(out, file, child))
            return false;
    return true;
}

// The new INFO list; empty when every field is empty.
std::vector<uint8_t> BuildInfoList(const TExtAviINFO_tags& tags)
{
    std::vector<uint8_t> list{'L', 'I', 'S', 'T', 0, 0, 0, 0, 'I', 'N', 'F', 'O'};
    for (int n = 0; n < TExtAviINFO_tags::Count; ++n) {
        WideString text = tags.Field(n);
        std::erase(text, L'\0');
        if (text.empty())
            continue;
        const std::string ansi = WideToAnsi(text);
        const auto size = static_cast<uint32_t>(ansi.size() + 1);
        const char* id = AviInfoIDs[static_cast<size_t>(n)];
        list.insert(list.end(), id, id + 4);
        PutLittleEndian32(list, size);
        list.insert(list.end(), ansi.begin(), ansi.end());
        list.push_back(0);
        if (size & 1)
            list.push_back(0);
    }
    if (list.size() == 12)
        return {};
    const auto size = static_cast<uint32_t>(list.size() - 8);
    std::vector<uint8_t> sizeBytes;
    PutLittleEndian32(sizeBytes, size);
    std::copy(sizeBytes.begin(), sizeBytes.end(), list.begin() + 4);
    return list;
}

}  // namespace

WideString& TExtAviINFO_tags::Field(int n)
{
    return this->*FieldMembers[static_cast<size_t>(n)];
}

const WideString& TExtAviINFO_tags::Field(int n) const
{
    return this->*FieldMembers[static_cast<size_t>(n)];
}

int ReadAviInfoTags(TTagFile& File, TExtAviINFO_tags& Tags)
{
    const int64_t fileSize = File.Size();
    uint8_t head[12];
    if (fileSize < 0 || !File.ReadAt(0, head, 8))
        return 2;
    if (!IsId(head, "RIFF"))
        return 3;
    const int64_t riffEnd = int64_t{LittleEndian32(head + 4)} + 8;
    if (riffEnd > fileSize)
        return 4;
    if (!File.ReadAt(8, head + 8, 4))
        return 2;
    if (!IsId(head + 8, "AVI "))
        return 5;

    // Every step moves forward by at least 8 bytes, so the walk always ends.
    TExtAviINFO_tags found;
    int64_t position = 12;
    std::vector<uint8_t> data;
    for (int steps = 0; position + 8 <= riffEnd; ++steps) {
        if (steps == MaxChunks)
            return 6;
        uint8_t h[8];
        if (!File.ReadAt(position, h, sizeof h))
            return 6;
        const int64_t size = int64_t{LittleEndian32(h + 4)} + (LittleEndian32(h + 4) & 1);
        const int64_t left = fileSize - (position + 8);
        if (IsId(h, "LIST")) {
            uint8_t type[4];
            if (size < 4 || size > left + 1 || !File.ReadAt(position + 8, type, 4))
                return 6;
            position += IsId(type, "movi") ? 8 + size : 12;
        } else if (IsId(h, "JUNK")) {
            position += 8 + size;
        } else {
            if (size < 1 || size > left + 1)
                return 6;
            if (size <= MaxTextChunk) {
                data.resize(static_cast<size_t>(std::min(size, left)));
                if (!File.ReadAt(position + 8, data.data(), data.size()))
                    return 6;
                if (const int n = FieldOf(h); n >= 0) {
                    const auto zero = std::find(data.begin(), data.end(), uint8_t{0});
                    found.Field(n) = AnsiToWide(std::string(data.begin(), zero));
                }
            }
            position += 8 + size;
        }
    }
    Tags = std::move(found);
    return 0;
}

int ReadAviInfoTags(const std::string& FileName, TExtAviINFO_tags& Tags)
{
    const auto file = TTagDiskFile::Open(FileName, fmOpenRead | fmShareDenyWrite);
    return file ? ReadAviInfoTags(*file, Tags) : 1;
}

int ReadAviInfoTagsFromBuffer(std::span<const uint8_t> Bytes, TExtAviINFO_tags& Tags)
{
    TTagMemoryFile file(Bytes);
    return ReadAviInfoTags(file, Tags);
}

int WriteAviInfoTags(const std::string& FileName, const TExtAviINFO_tags& Tags)
{
    if (IsFileProtected(FileName))
        return 1;
    auto file = TTagDiskFile::Open(FileName, fmOpenReadWrite | fmShareDenyWrite);
    if (!file)
        return 1;
    const int64_t fileSize = file->Size();
    uint8_t head[12];
    if (fileSize < 12 || !file->ReadAt(0, head, sizeof head))
        return 2;
    if (!IsId(head, "RIFF"))
        return 3;
    if (!IsId(head + 8, "AVI "))
        return 5;
    const int64_t riffEnd = int64_t{LittleEndian32(head + 4)} + 8;
    if (riffEnd > fileSize)
        return 8;  // a cut-off file: its INFO cannot be read either
    // Only a file our own reader accepts is rewritten: a save must not give one it cannot read.
    TExtAviINFO_tags readable;
    if (ReadAviInfoTags(*file, readable) != 0)
        return 8;

    // The chunks of the first RIFF; whatever follows it (AVIX extensions) stays where it is.
    std::vector<TChunk> chunks;
    int budget = MaxChunks;
    if (!ParseChunks(*file, 12, riffEnd, 0, budget, chunks))
        return 8;
    const auto movi = std::find_if(chunks.begin(), chunks.end(), [](const TChunk& c) { return c.IsListOf("movi"); });
    if (movi == chunks.end())
        return 8;
    const int64_t moviEnd = movi->Position + 8 + movi->Padded();
    const bool followed = riffEnd < fileSize;

    int64_t headSize = 12;
    for (auto c = chunks.begin(); c != movi; ++c)
        if (!c->Dropped())
            headSize += KeptSize(*c);
    int64_t trailSize = 0;
    for (auto c = movi + 1; c != chunks.end(); ++c)
        if (followed || !c->Dropped())
            trailSize += KeptSize(*c);

    // The new list goes before the movie data when it fits there with room for a filler,
    // else at the end of the file; the space left before "movi" becomes one JUNK chunk.
    const std::vector<uint8_t> info = BuildInfoList(Tags);
    const int64_t room = movi->Position - headSize;
    const auto fillable = [](int64_t gap) { return gap == 0 || gap >= 8; };
    const bool infoFirst = !info.empty() && fillable(room - static_cast<int64_t>(info.size()));
    const int64_t gap = infoFirst ? room - static_cast<int64_t>(info.size()) : room;
    if (!fillable(gap) || (!info.empty() && !infoFirst && followed))
        return 8;
    if (followed)
        trailSize = riffEnd - moviEnd;  // kept byte for byte, so the extensions keep their place
    const int64_t riffSize = moviEnd + trailSize + (infoFirst ? 0 : static_cast<int64_t>(info.size())) - 8;
    if (riffSize > 0xFFFFFFFFLL)
        return 8;

    TTagFileRewrite out(FileName);
    std::vector<uint8_t> bytes{'R', 'I', 'F', 'F'};
    PutLittleEndian32(bytes, static_cast<uint32_t>(riffSize));
    bytes.insert(bytes.end(), {'A', 'V', 'I', ' '});
    bool ok = out.IsOpen() && out.Write(bytes.data(), bytes.size());
    for (auto c = chunks.begin(); ok && c != movi; ++c)
        ok = c->Dropped() || WriteKept(out, *file, *c);
    if (ok && infoFirst)
        ok = out.Write(info.data(), info.size());
    if (ok && gap > 0) {
        bytes.assign({'J', 'U', 'N', 'K'});
        PutLittleEndian32(bytes, static_cast<uint32_t>(gap - 8));
        ok = out.Write(bytes.data(), bytes.size()) && out.WriteZeros(gap - 8);
    }
    ok = ok && out.Position() == movi->Position && WriteKept(out, *file, *movi);
    if (followed) {
        // Stale INFO lists behind the movie data become JUNK of the same size.
        int64_t at = moviEnd;
        for (auto c = movi + 1; ok && c != chunks.end(); ++c) {
            ok = out.CopyFrom(*file, at, c->Position - at);
            if (ok && (c->IsListOf("INFO") || c->IsListOf("MID "))) {
                bytes.assign({'J', 'U', 'N', 'K'});
                PutLittleEndian32(bytes, c->Size);
                ok = out.Write(bytes.data(), bytes.size()) && out.WriteZeros(c->Padded());
            } else if (ok) {
                ok = out.CopyFrom(*file, c->Position, 8 + c->Padded());
            }
            at = c->Position + 8 + c->Padded();
        }
        ok = ok && out.CopyFrom(*file, at, fileSize - at);
    } else {
        for (auto c = movi + 1; ok && c != chunks.end(); ++c)
            ok = c->Dropped() || WriteKept(out, *file, *c);
        if (ok && !infoFirst)
            ok = out.Write(info.data(), info.size());
    }
    if (!ok)
        return 8;
    file.reset();
    return out.Commit() ? 0 : 8;
}
