#pragma once
// The tag readers the engine and the play list's detail thread call, and the tags the
// information window shows and edits; nothing here needs a window.
#include "playlist/ExtAviTag.h"
#include "playlist/ID3v1.h"
#include "playlist/id3v2.h"

#include <cstdint>
#include <string>
#include <variant>

struct TSimpleID3Tag {
    std::string Title;
    std::string Artist;
    std::string Album;
};

// The texts of the IWRI, INAM, ISBJ and ICOP chunks.
struct TSimpleAVITag {
    WideString Writer;
    WideString Title;
    WideString Subject;
    WideString Copyright;
};

// Tag kind: 0 none, 1 ID3 (a TSimpleID3Tag), 2 AVI INFO (a TSimpleAVITag).
enum : uint8_t { tkNone = 0, tkID3 = 1, tkAVI = 2 };
using TSimpleTag = std::variant<std::monostate, TSimpleID3Tag, TSimpleAVITag>;

// The tags of the file the information window shows. The engine reads every item it opens
// through ReadSimpleTags (on the GUI thread), so these always hold the playing file's tags.
class TInfoTags {
public:
    // Kind 0 and no record unless the file opens for reading. Then ID3v1, ID3v2 and AVI INFO
    // are read in this order, each success replacing the result before it.
    void ReadSimpleTags(const std::string& FileName, uint8_t& Kind, TSimpleTag& Tag);

    TID3v1Tag ID3v1{};
    TExtAviINFO_tags AviTags;
    Tid3v2tag ID3v2;
};

// The title the play list shows: the ID3v1 title, replaced by the ID3v2 TIT2 text when an
// ID3v2 tag loads, else (when still empty) the AVI INFO title. Safe on any thread: it uses
// tag objects of its own.
void ReadTitleTag(const std::string& FileName, std::string& Title);
