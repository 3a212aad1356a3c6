#pragma once
// The text tags of an AVI file: the chunks of its RIFF "LIST" of type "INFO".
#include "framework/SysUtils.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

class TTagFile;

// One text per INFO chunk id; an empty text means the chunk is absent.
struct TExtAviINFO_tags {
    WideString INAM, IWRI, IART, IPRD, ICRD, ISTD, ISTR, IGNR, ISBJ, IRTD, ICOP, ILNG;
    WideString IKEY, IPRT, IFRM, ICMT, ISFT, IDIT, IWEB, ICMS, IENG, ITCH, ISRF, IMED;
    WideString ISRC, IARL, ICRP, ISHP, IDIM, ILGT, IDPI, IPLT, IMUS, ICDS, ICNT, IDST;
    WideString IEDT, ISGN, IPRO, IPDS, ICNM, ILGU, ILIU, IWMU, IMIU, IMBI, IMBU, IMIT;

    static constexpr int Count = 48;
    // Field number n has the chunk id AviInfoIDs[n].
    WideString& Field(int n);
    const WideString& Field(int n) const;
};

extern const std::array<const char*, TExtAviINFO_tags::Count> AviInfoIDs;

// Reader codes: 0 success; 1 a folder or a file that cannot be opened; 2 the head cannot be
// read; 3 no "RIFF" head; 4 the file is shorter than the RIFF size says; 5 the form is not
// "AVI "; 6 a read fails or a chunk size is impossible while walking the chunks (or there are
// more chunks outside the movie data than any real file has). On any error
// Tags keep what they held; on success all 48 fields are replaced.
int ReadAviInfoTags(const std::string& FileName, TExtAviINFO_tags& Tags);
int ReadAviInfoTags(TTagFile& File, TExtAviINFO_tags& Tags);
int ReadAviInfoTagsFromBuffer(std::span<const uint8_t> Bytes, TExtAviINFO_tags& Tags);

// Writer codes: 0 success; 1 the file cannot be opened for reading and writing (or is
// protected); 2 the head cannot be read; 3 no "RIFF" head; 5 the form is not "AVI "; 8 the
// file could not be rewritten (a failed read or write, a layout that cannot take the new
// list without moving the movie data, or a file the reader refuses). The file is rewritten
// beside itself and replaces the original only when whole: on any error it is left as it
// was. The "movi" list keeps its place, and every chunk other than INFO and "MID " lists and
// JUNK is kept.
int WriteAviInfoTags(const std::string& FileName, const TExtAviINFO_tags& Tags);
