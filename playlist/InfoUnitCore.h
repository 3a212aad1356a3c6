#pragma once
// What the information window shows of a file's tags and how an edit goes back into tags
// read afresh from the file: only the fields the user changed are set (or deleted when
// emptied); everything else stays as the file has it.
#include "playlist/ExtAviTag.h"
#include "playlist/ID3v1.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class Tid3v2tag;

// The ID3v1 track byte for a "Track #" text: its leading number ("7/12" gives 7); 0 when it
// does not begin with a digit or the number is above 255.
uint8_t TrackByteFromText(std::string_view text);
// A year from a tag text, after zero, control and blank characters at its ends are trimmed;
// 0 when it is not a number from 0 to 9999.
int YearFromText(std::string_view text);
// "%4.4d" of a year.
std::string YearText(int year);
// The genre item a TCON text selects: the item of the same (trimmed) text, or the number of
// a "(n)" at its start; -1 when none.
int GenreFromTCON(std::string_view text);
// The TCON text for a chosen genre item ("(17)Rock"), or the typed text unchanged.
std::string TCONText(int genre, const std::string& typed);

// The ID3v1 group as shown.
struct TID3v1Values {
    bool Present = false;  // "ID3v1 Tag"
    std::string Track, Title, Artist, Album;
    int Year = 0;
    int Genre = -1;  // the chosen item's genre number, -1 none
    std::string Comment;
    bool operator==(const TID3v1Values&) const = default;
};
TID3v1Values ID3v1Values(const TID3v1Tag& tag);
// The record a file without one starts from: "TAG", empty texts, year "0000", genre 255.
TID3v1Tag EmptyID3v1Record();
// Sets in tag each field whose value differs between shown and now. The comment takes at
// most 28 bytes when a track number is written, else 30.
void ApplyID3v1Changes(TID3v1Tag& tag, const TID3v1Values& shown, const TID3v1Values& now);

// The ID3v2 group as shown; Genre is the chosen item (-1 none) and GenreText the box's text.
struct TID3v2Values {
    bool Present = false;  // "ID3v2 Tag"
    std::string Track, Title, Artist, Album;
    int Year = 0;
    int Genre = -1;
    std::string GenreText;
    std::string Comment, Composer, OrigArtist, Copyright, URL, EncodedBy;
    bool operator==(const TID3v2Values&) const = default;
};
// Nothing (not present) unless the tag loaded and holds a frame.
TID3v2Values ID3v2Values(Tid3v2tag& tag);
// Sets, or deletes when emptied, each frame whose field differs between shown and now.
void ApplyID3v2Changes(Tid3v2tag& tag, const TID3v2Values& shown, const TID3v2Values& now);

// The AVI page as shown: one text per INFO field, in the order of AviInfoIDs.
using TAviValues = std::array<std::string, TExtAviINFO_tags::Count>;
// Each field up to its first zero character.
TAviValues AviValues(const TExtAviINFO_tags& tags);
void ApplyAviChanges(TExtAviINFO_tags& tags, const TAviValues& shown, const TAviValues& now);
// Field number of an INFO chunk id; -1 for an unknown id.
int AviFieldIndex(std::string_view id);

// What each writer of a save reported; a writer that did not run is empty.
struct TTagSaveReport {
    bool Opened = false;  // the file opened for reading and writing
    std::optional<bool> ID3v1;             // write or removal
    std::optional<uint16_t> ID3v2Save;     // the save's status word
    std::optional<int8_t> ID3v2Removal;    // RemoveTag's code
    std::optional<int> AviWrite;           // WriteAviInfoTags's code
};
bool TagSaveSucceeded(const TTagSaveReport& report);
