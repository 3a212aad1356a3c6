#include "playlist/ID3v1.h"

#include "playlist/TagFile.h"

#include <cstring>
#include <memory>

namespace {
constexpr int64_t RecordSize = sizeof(TID3v1Tag);

bool IsRecord(const TID3v1Tag& tag)
{
    return std::memcmp(tag.Header, "TAG", 3) == 0;
}

// Reads the last 128 bytes; false for a file shorter than that.
bool ReadLastRecord(TTagFile& file, int64_t size, TID3v1Tag& tag)
{
    return size >= RecordSize && file.ReadAt(size - RecordSize, &tag, sizeof tag);
}

// A file opened for writing, with its size and last 128 bytes.
struct TFileEnd {
    std::unique_ptr<TTagDiskFile> File;
    int64_t Size = 0;
    TID3v1Tag Last{};
};

// False for a missing file or one shorter than a record.
bool OpenFileEnd(const std::string& fileName, TFileEnd& end)
{
    end.File = TTagDiskFile::Open(fileName, fmOpenReadWrite | fmShareDenyWrite);
    if (!end.File)
        return false;
    end.Size = end.File->Size();
    return ReadLastRecord(*end.File, end.Size, end.Last);
}
}

bool ReadID3v1Tag(TTagFile& File, TID3v1Tag& Tag)
{
    std::memset(&Tag, 0, sizeof Tag);
    const int64_t size = File.Size();
    TID3v1Tag found;
    if (size <= RecordSize || !ReadLastRecord(File, size, found) || !IsRecord(found))
        return false;
    Tag = found;
    return true;
}

bool ReadID3v1Tag(const std::string& FileName, TID3v1Tag& Tag)
{
    std::memset(&Tag, 0, sizeof Tag);
    const auto file = TTagDiskFile::Open(FileName, fmOpenRead | fmShareDenyNone);
    return file && ReadID3v1Tag(*file, Tag);
}

bool ReadID3v1TagFromBuffer(std::span<const uint8_t> Bytes, TID3v1Tag& Tag)
{
    TTagMemoryFile file(Bytes);
    return ReadID3v1Tag(file, Tag);
}

bool WriteID3v1Tag(const std::string& FileName, const TID3v1Tag& Tag)
{
    TFileEnd end;
    if (!OpenFileEnd(FileName, end))
        return false;
    const int64_t at = IsRecord(end.Last) ? end.Size - RecordSize : end.Size;
    if (end.File->WriteAt(at, &Tag, sizeof Tag))
        return true;
    if (at == end.Size)
        end.File->Truncate(end.Size);  // never leave half a record behind the audio
    return false;
}

bool RemoveID3v1Tag(const std::string& FileName)
{
    TFileEnd end;
    if (!OpenFileEnd(FileName, end))
        return false;
    return !IsRecord(end.Last) || end.File->Truncate(end.Size - RecordSize);
}

const std::array<const char*, 148> ID3v1Genres = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop",
    "Jazz", "Metal", "New Age", "Oldies", "Other", "Pop", "R&B", "Rap",
    "Reggae", "Rock", "Techno", "Industrial", "Alternative", "Ska", "Death Metal", "Pranks",
    "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk", "Fusion", "Trance",
    "Classical", "Instrumental", "Acid", "House", "Game", "SoundClip", "Gospel", "Noise",
    "Altern Rock", "Bass", "Soul", "Punk", "Space", "Meditative", "Instrumental Pop", "Instrumental Rock",
    "Ethnic", "Gothic", "Darkwave", "Techno-Industrial", "Electronic", "Pop-Folk", "Eurodance", "Dream",
    "Southern Rock", "Comedy", "Cult", "Gangsta", "Top40", "Christian Rap", "Pop/Funk", "Jungle",
    "Native American", "Cabaret", "New Wave", "Psychadelic", "Rave", "Showtunes", "Trailer", "Lo-Fi",
    "Tribal", "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock",
    "Folk", "Folk-Rock", "National Folk", "Swing", "Fast Fusion", "Bebob", "Latin", "Revival",
    "Celtic", "Bluegrass", "Avantgarde", "Gothic Rock", "Progessive Rock", "Psychedelic Rock", "Symphonic Rock", "Slow Rock",
    "Big Band", "Chorus", "Easy Listening", "Acoustic", "Humour", "Speech", "Chanson", "Opera",
    "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus", "Porn Groove", "Satire", "Slow Jam",
    "Club", "Tango", "Samba", "Folklore", "Ballad", "Power Ballad", "Rhythmic Soul", "Freestyle",
    "Duet", "Punk Rock", "Drum Solo", "A Capella", "Euro-House", "Dance Hall", "Goa", "Drum & Bass",
    "Club-House", "Hardcore", "Terror", "Indie", "BritPop", "Negerpunk", "Polsk Punk", "Beat",
    "Christian Gangsta Rap", "Heavy Metal", "Black Metal", "Crossover", "Contemporary Christian", "Christian Rock", "Merengue", "Salsa",
    "Trash Metal", "Anime", "JPop", "Synthpop",
};
