#include "playlist/InfoTags.h"

#include "playlist/TagFile.h"

#include <algorithm>

namespace {

bool CanRead(const std::string& fileName)
{
    return TTagDiskFile::Open(fileName, fmOpenRead | fmShareDenyNone) != nullptr;
}

// An ID3v1 text field up to its first zero byte, trimmed.
template <size_t N>
std::string FieldText(const char (&field)[N])
{
    const char* end = std::find(field, field + N, '\0');
    return Trim(std::string_view(field, static_cast<size_t>(end - field)));
}

std::string TextFrame(Tid3v2tag& tag, const char* id)
{
    std::string text;
    tag.GetTextFrame(id, text);
    return Trim(text);
}

WideString UpToZero(const WideString& text)
{
    return text.substr(0, text.find(L'\0'));
}

}  // namespace

void TInfoTags::ReadSimpleTags(const std::string& FileName, uint8_t& Kind, TSimpleTag& Tag)
{
    Kind = tkNone;
    Tag = std::monostate{};
    ID3v1 = TID3v1Tag{};
    AviTags = TExtAviINFO_tags{};
    ID3v2 = Tid3v2tag{};
    if (!CanRead(FileName))
        return;

    if (ReadID3v1Tag(FileName, ID3v1)) {
        Tag = TSimpleID3Tag{FieldText(ID3v1.Title), FieldText(ID3v1.Artist), FieldText(ID3v1.Album)};
        Kind = tkID3;
    }
    if (ID3v2.LoadFromFile(FileName, 0) < 0x100) {
        Tag = TSimpleID3Tag{TextFrame(ID3v2, "TIT2"), TextFrame(ID3v2, "TPE1"), TextFrame(ID3v2, "TALB")};
        Kind = tkID3;
    }
    if (ReadAviInfoTags(FileName, AviTags) == 0) {
        Tag = TSimpleAVITag{UpToZero(AviTags.IWRI), UpToZero(AviTags.INAM), UpToZero(AviTags.ISBJ), UpToZero(AviTags.ICOP)};
        Kind = tkAVI;
    }
}

void ReadTitleTag(const std::string& FileName, std::string& Title)
{
    Title.clear();
    if (!CanRead(FileName))
        return;
    TID3v1Tag v1;
    if (ReadID3v1Tag(FileName, v1))
        Title = FieldText(v1.Title);
    Tid3v2tag v2;
    if (v2.LoadFromFile(FileName, 0) < 0x100) {
        Title = TextFrame(v2, "TIT2");
        return;
    }
    TExtAviINFO_tags avi;
    if (Title.empty() && ReadAviInfoTags(FileName, avi) == 0)
        Title = WideToAnsi(UpToZero(avi.INAM));
}
