// Writing and removing an ID3v2 tag. The new tag is built whole in memory first; when it
// takes exactly the room of the old one it is written over it in one write, otherwise the
// file is rewritten beside itself (everything before the tag, the new tag, everything after
// the old tag) and then replaces the original, so the audio is never moved inside the file
// and a failure leaves the file as it was.
#include "playlist/id3v2.h"

#include "playlist/TagFile.h"

#include <algorithm>
#include <cstring>
#include <memory>

struct Tid3v2tag::TWriteJob {
    std::unique_ptr<TTagDiskFile> File;
    std::string FileName;
    uint32_t Offset = 0;
};

namespace {

constexpr uint32_t MaxTagBody = 0x10000000;

uint16_t WithError(uint16_t status, uint16_t code)
{
    return static_cast<uint16_t>((status & 0xFF) | code);
}

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutSyncSafe32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 21; shift >= 0; shift -= 7)
        out.push_back(static_cast<uint8_t>((v >> shift) & 0x7F));
}

// Unsynchronises bytes that the byte next (or none, when negative) follows in the tag.
std::vector<uint8_t> UnsyncBefore(const std::vector<uint8_t>& bytes, int next)
{
    std::vector<uint8_t> out = UnsyncBytes(bytes);
    if (!bytes.empty() && bytes.back() == 0xFF && next >= 0 && (next == 0x00 || next >= 0xE0))
        out.push_back(0x00);
    return out;
}

// The size of an old tag at offset, header, body and a 2.4 footer that is really there, cut
// to what the file holds; 0 when no tag header stands there.
int64_t OldTagRoom(TTagFile& file, int64_t fileSize, uint32_t offset)
{
    uint8_t h[10];
    if (fileSize - offset < 10 || !file.ReadAt(offset, h, sizeof h))
        return 0;
    const bool header = std::memcmp(h, "ID3", 3) == 0 && h[3] < 0xFF && h[4] < 0xFF &&
                        std::all_of(h + 6, h + 10, [](uint8_t b) { return b < 0x80; });
    if (!header)
        return 0;
    int64_t room = 10 + ((int64_t{h[6]} << 21) | (h[7] << 14) | (h[8] << 7) | h[9]);
    uint8_t footer[3];
    if (h[3] == 4 && (h[5] & thFooter) && fileSize - offset >= room + 10 && file.ReadAt(offset + room, footer, 3) &&
        std::memcmp(footer, "3DI", 3) == 0)
        room += 10;
    return std::min(room, fileSize - offset);
}

// Padding that ends the new file on a multiple of block; between 1 and block bytes unless
// the arithmetic lands on 0 exactly.
uint32_t BlockPadding(int64_t fileSize, int64_t room, int64_t tagSize, uint32_t block)
{
    if (block == 0)
        return 0;
    int64_t padding = (fileSize / block + 1) * block - (fileSize - room) - tagSize;
    if (padding < 0 || padding > block) {
        padding %= block;
        if (padding <= 0)
            padding += block;
    }
    return static_cast<uint32_t>(padding);
}

// A frame header as the version writes it, before any unsynchronisation of the whole tag.
std::vector<uint8_t> FrameHeader(const TFrameRecord& r, uint8_t version)
{
    const uint8_t format = r.Flags[1];
    const bool compressed = format & ffCompression;
    const bool encrypted = format & ffEncryption;
    const bool grouped = format & ffGrouping;
    std::vector<uint8_t> h(r.ID.begin(), r.ID.end());
    if (version == 3) {
        // The size counts the data before unsynchronisation.
        const size_t plain = (r.State[1] & ffUnsynchronisation) ? ResyncBytes(r.Data).size() : r.Data.size();
        PutBigEndian32(h, static_cast<uint32_t>(plain + (compressed ? 4 : 0) + (encrypted ? 1 : 0) + (grouped ? 1 : 0)));
        h.push_back(static_cast<uint8_t>((r.Flags[0] & 0x70) << 1));
        h.push_back(static_cast<uint8_t>((compressed ? 0x80 : 0) | (encrypted ? 0x40 : 0) | (grouped ? 0x20 : 0)));
        if (compressed)
            PutBigEndian32(h, r.DataLength);
        if (encrypted)
            h.push_back(r.EncryptionMethod);
        if (grouped)
            h.push_back(r.GroupID);
    } else {
        const bool length = format & ffDataLengthIndicator;
        PutSyncSafe32(h, static_cast<uint32_t>(r.Data.size() + (grouped ? 1 : 0) + (encrypted ? 1 : 0) + (length ? 4 : 0)));
        h.push_back(r.Flags[0] & 0x70);
        h.push_back(format & 0x4F);
        if (grouped)
            h.push_back(r.GroupID);
        if (encrypted)
            h.push_back(r.EncryptionMethod);
        if (length)
            PutSyncSafe32(h, r.DataLength);
    }
    return h;
}

void CrcOfZeros(uint32_t& crc, uint32_t count)
{
    static const uint8_t zeros[4096] = {};
    while (count > 0) {
        const uint32_t n = std::min<uint32_t>(count, sizeof zeros);
        UpdateTagCrc(zeros, n, crc);
        count -= n;
    }
}

}  // namespace

uint16_t Tid3v2tag::SaveToFile(const std::string& FileName_, uint8_t Version_, uint8_t Revision_, int64_t Offset)
{
    if (LoadStatus >= 0x100)
        return id3Corrupt;
    const bool own = FileName_ == "=";
    TWriteJob job;
    job.FileName = own ? FileName : FileName_;
    if (!FileExists(job.FileName))
        return id3NoFile;
    if (IsFileProtected(job.FileName))
        return id3ProtectedFile;
    job.File = TTagDiskFile::Open(job.FileName, fmOpenReadWrite | fmShareDenyWrite);
    if (!job.File)
        return id3NoFile;
    job.Offset = Offset < 0 ? (own ? TagOffset : 0) : static_cast<uint32_t>(Offset);
    const uint16_t status = WriteTag(job, Version_, Revision_);
    if (status < 0x100)
        FileName = job.FileName;
    return status;
}

uint16_t Tid3v2tag::WriteTag(TWriteJob& Job, uint8_t NewVersion, uint8_t NewRevision)
{
    if (NewVersion == 0xFF)
        NewVersion = Version;
    if (NewRevision == 0xFF)
        NewRevision = Revision;
    if (NewVersion != 3 && NewVersion != 4)
        return id3BadVersion;
    if (NewRevision != 0)
        return id3BadRevision;
    if (Frames.Count() == 0)
        return id3NoFrames;
    Progress = 0;
    StatusText = "Preparing tag";
    TTagFile& file = *Job.File;
    const uint32_t offset = Job.Offset;
    const int64_t fileSize = file.Size();
    if (fileSize < 0)
        return id3IOError;
    if (fileSize < offset)
        return id3FileTooShort;
    uint16_t status = 0;
    // With DropUnsupportedFlags a wanted flag that cannot be honoured becomes what the data is.
    const auto dropFlag = [&](TFrameRecord& r, uint8_t bit, uint8_t to) {
        if (!DropUnsupportedFlags)
            return false;
        r.Flags[1] = static_cast<uint8_t>((r.Flags[1] & ~bit) | (to & bit));
        status |= id3WarnFlagsChanged;
        return true;
    };

    // One frame that wants unsynchronisation makes the whole tag want it, and the reverse.
    for (int i = 1; i <= Frames.Count(); ++i)
        if (Frames.FlagUnsynchronisation(i))
            HeaderFlags |= thUnsynchronisation;
    if (HeaderFlags & thUnsynchronisation)
        for (int i = 1; i <= Frames.Count(); ++i)
            Frames.Record(i).Flags[1] |= ffUnsynchronisation;

    if (TidyFrames) {
        for (int i = Frames.Count(); i >= 1; --i) {
            if (Frames.FlagCompression(i))
                Frames.Record(i).Flags[1] |= ffDataLengthIndicator;
            if (Frames.DataSize(i) == 0)
                Frames.DeleteFrameAt(i);
        }
        if (Frames.Count() == 0)
            return WithError(status, id3NoFrames);
    }

    // Frames whose header must carry the plain data's size (2.4 data length indicator, 2.3
    // decompressed size) learn it from the plain data.
    for (int i = 1; i <= Frames.Count(); ++i) {
        TFrameRecord& r = Frames.Record(i);
        const bool wanted = NewVersion == 4 ? (r.Flags[1] & ffDataLengthIndicator) : (r.Flags[1] & ffCompression);
        if (!wanted || r.DataLength != 0)
            continue;
        if (r.State[1] & ffEncryption) {
            if (NewVersion == 4 && !dropFlag(r, ffDataLengthIndicator, 0))
                return WithError(status, id3LengthOfEncrypted);
            continue;
        }
        Frames.ResyncFrame(i);
        Frames.DecompressFrame(i);
        if (!(r.State[1] & ffCompression))
            r.DataLength = static_cast<uint32_t>(r.Data.size());
    }

    // Compression, then the encryption check, then unsynchronisation, then the grouping check.
    const int count = Frames.Count();
    for (int i = 1; i <= count; ++i) {
        Progress = static_cast<uint8_t>((i - 1) * 5 / count);
        TFrameRecord& r = Frames.Record(i);
        if (!((r.Flags[1] ^ r.State[1]) & ffCompression))
            continue;
        StatusText = "Applying compression";
        Frames.ResyncFrame(i);
        if (r.Flags[1] & ffCompression)
            Frames.CompressFrame(i, CompressionLevel);
        else
            Frames.DecompressFrame(i);
        if ((r.Flags[1] ^ r.State[1]) & ffCompression) {
            // Data that cannot change (encrypted, or a broken stream) goes out as it is.
            r.Flags[1] = static_cast<uint8_t>((r.Flags[1] & ~ffCompression) | (r.State[1] & ffCompression));
            status |= id3WarnFlagsChanged;
        }
    }
    for (int i = 1; i <= count; ++i) {
        TFrameRecord& r = Frames.Record(i);
        if (((r.Flags[1] ^ r.State[1]) & ffEncryption) && !dropFlag(r, ffEncryption, r.State[1]))
            return WithError(status, id3EncryptionMismatch);
    }
    for (int i = 1; i <= count; ++i) {
        Progress = static_cast<uint8_t>(5 + (i - 1) * 5 / count);
        if (!((Frames.Flags(i, 2) ^ Frames.State(i, 2)) & ffUnsynchronisation))
            continue;
        StatusText = "Applying unsync";
        if (Frames.FlagUnsynchronisation(i))
            Frames.UnsyncFrame(i);
        else
            Frames.ResyncFrame(i);
    }
    for (int i = 1; i <= count; ++i) {
        TFrameRecord& r = Frames.Record(i);
        if (((r.Flags[1] ^ r.State[1]) & ffGrouping) && !dropFlag(r, ffGrouping, r.State[1]))
            return WithError(status, id3GroupingMismatch);
    }
    Progress = 10;

    const int64_t room = OldTagRoom(file, fileSize, offset);
    const bool unsyncTag = HeaderFlags & thUnsynchronisation;
    const bool crcWanted = ExtendedFlags & teCRC;
    if (crcWanted)
        HeaderFlags |= thExtendedHeader;
    const bool extended = HeaderFlags & thExtendedHeader;

    // Frames as written, with the CRC over them: a 2.3 CRC over the frames before
    // unsynchronisation, a 2.4 CRC over the frames as stored and then the padding.
    std::vector<uint8_t> frames;
    uint32_t crc = 0xFFFFFFFF;
    if (crcWanted)
        StatusText = "Calculating CRC-32";
    for (int i = 1; i <= count; ++i) {
        const TFrameRecord& r = Frames.Record(i);
        std::vector<uint8_t> header = FrameHeader(r, NewVersion);
        if (NewVersion == 3 && crcWanted) {
            UpdateTagCrc(header.data(), header.size(), crc);
            const std::vector<uint8_t> plain = (r.State[1] & ffUnsynchronisation) ? ResyncBytes(r.Data) : r.Data;
            UpdateTagCrc(plain.data(), plain.size(), crc);
        }
        if (NewVersion == 3 && unsyncTag)
            header = UnsyncBefore(header, r.Data.empty() ? -1 : r.Data[0]);
        if (NewVersion == 4 && crcWanted) {
            UpdateTagCrc(header.data(), header.size(), crc);
            UpdateTagCrc(r.Data.data(), r.Data.size(), crc);
        }
        frames.insert(frames.end(), header.begin(), header.end());
        frames.insert(frames.end(), r.Data.begin(), r.Data.end());
        if (frames.size() >= MaxTagBody)
            return WithError(status, id3TagTooBig);
    }

    uint32_t extendedSize = 0;
    if (extended && NewVersion == 3)
        extendedSize = crcWanted ? 14 : 10;
    else if (extended)
        extendedSize = 6 + (TagIsUpdate() ? 1 : 0) + (crcWanted ? 6 : 0) + (RestrictionsPresent() ? 2 : 0);
    int64_t newTagSize = 10 + int64_t{extendedSize} + static_cast<int64_t>(frames.size());

    if (PaddingMode == 2 || newTagSize > room)
        PaddingSize = BlockPadding(fileSize, room, newTagSize, PaddingBlock);
    else if (PaddingMode == 1) {
        PaddingSize = static_cast<uint32_t>(room - newTagSize);
        if (PaddingLimit >= PaddingBlock)
            PaddingSize = BlockPadding(fileSize, room, newTagSize, PaddingBlock);
    }
    newTagSize += PaddingSize;
    if (newTagSize - 10 >= MaxTagBody)
        return WithError(status, id3TagTooBig);
    if (NewVersion == 4 && crcWanted)
        CrcOfZeros(crc, PaddingSize);
    const uint32_t crcValue = ~crc;

    // Tag header and extended header.
    std::vector<uint8_t> head{'I', 'D', '3', NewVersion, 0, static_cast<uint8_t>(HeaderFlags & 0xE0)};
    std::vector<uint8_t> ext;
    if (extended && NewVersion == 3) {
        PutBigEndian32(ext, crcWanted ? 10 : 6);
        ext.push_back(crcWanted ? 0x80 : 0x00);
        ext.push_back(0x00);
        std::vector<uint8_t> fields;
        PutBigEndian32(fields, PaddingSize);
        if (crcWanted)
            PutBigEndian32(fields, crcValue);
        if (unsyncTag)
            fields = UnsyncBytes(fields);
        ext.insert(ext.end(), fields.begin(), fields.end());
        newTagSize += static_cast<int64_t>(ext.size()) - extendedSize;
        if (newTagSize - 10 >= MaxTagBody)
            return WithError(status, id3TagTooBig);
    } else if (extended) {
        PutSyncSafe32(ext, extendedSize);
        ext.push_back(1);
        ext.push_back(ExtendedFlags & (teUpdate | teCRC | teRestrictions));
        if (TagIsUpdate())
            ext.push_back(0);
        if (crcWanted) {
            ext.push_back(5);
            for (int shift = 28; shift >= 0; shift -= 7)
                ext.push_back(static_cast<uint8_t>((crcValue >> shift) & 0x7F));
        }
        if (RestrictionsPresent()) {
            ext.push_back(1);
            ext.push_back(Restrictions);
        }
    }
    PutSyncSafe32(head, static_cast<uint32_t>(newTagSize - 10));
    head.insert(head.end(), ext.begin(), ext.end());
    head.insert(head.end(), frames.begin(), frames.end());
    frames = {};
    head.resize(static_cast<size_t>(newTagSize), 0);  // the padding
    Progress = 50;

    // Nothing in the file has changed up to here.
    StatusText = "Writing new tag";
    if (room == newTagSize) {
        if (!file.WriteAt(offset, head.data(), head.size()))
            return WithError(status, id3WriteError);
    } else {
        StatusText = "Re-positioning audio data";
        TTagFileRewrite rewrite(Job.FileName);
        const int64_t tail = fileSize - offset - room;
        bool read = rewrite.IsOpen() && rewrite.CopyFrom(file, 0, offset);
        StatusText = "Writing new tag";
        read = read && rewrite.Write(head.data(), head.size());
        read = read && rewrite.CopyFrom(file, offset + room, tail);
        if (!read)
            return WithError(status, id3WriteError);
        Job.File.reset();
        if (!rewrite.Commit())
            return WithError(status, id3WriteError);
    }

    Version = NewVersion;
    Revision = NewRevision;
    TagSize = static_cast<uint32_t>(newTagSize);
    CRC = crcValue;
    HeaderFlags &= static_cast<uint8_t>(~thFooter);
    LoadStatus = status;
    Changed = false;
    TagOffset = offset;
    Progress = 100;
    StatusText = "Save Complete";
    return status;
}

int8_t Tid3v2tag::RemoveTag()
{
    if (LoadStatus >= 0x100)
        return -2;
    if (!Complete)
        return -4;
    Progress = 0;
    StatusText = "Re-positioning audio data";
    if (!FileExists(FileName))
        return 1;
    if (IsFileProtected(FileName))
        return 2;
    auto file = TTagDiskFile::Open(FileName, fmOpenReadWrite | fmShareDenyWrite);
    if (!file)
        return 1;
    const int64_t fileSize = file->Size();
    if (fileSize < 0)
        return 5;
    if (fileSize < TagOffset)
        return 0;
    const int64_t room = OldTagRoom(*file, fileSize, TagOffset);
    if (room == 0)
        return 0x10;
    TTagFileRewrite rewrite(FileName);
    if (!rewrite.IsOpen() || !rewrite.CopyFrom(*file, 0, TagOffset) ||
        !rewrite.CopyFrom(*file, TagOffset + room, fileSize - TagOffset - room))
        return 5;
    file.reset();
    if (!rewrite.Commit())
        return 5;
    Progress = 100;
    return 0;
}
