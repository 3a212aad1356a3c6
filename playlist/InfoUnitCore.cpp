#include "playlist/InfoUnitCore.h"

#include "playlist/id3v2.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsTrimmed(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view TrimmedView(std::string_view text)
{
    while (!text.empty() && IsTrimmed(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsTrimmed(text.back()))
        text.remove_suffix(1);
    return text;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Digits only, at most what fits; nullopt otherwise.
std::optional<long> Number(std::string_view text)
{
    if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), IsDigit))
        return std::nullopt;
    long value = 0;
    for (char c : text)
        value = value * 10 + (c - '0');
    return value;
}

template <size_t N>
std::string FieldText(const char (&field)[N], size_t count = N)
{
    const char* end = std::find(field, field + count, '\0');
    return std::string(TrimmedView(std::string_view(field, static_cast<size_t>(end - field))));
}

template <size_t N>
void SetField(char (&field)[N], const std::string& text, size_t limit = N)
{
    std::memset(field, 0, limit);
    std::memcpy(field, text.data(), std::min(text.size(), limit));
}

// ID3v1.1: a zero at byte 28 and a track number at byte 29.
uint8_t TrackOf(const TID3v1Tag& tag)
{
    return tag.Comment[28] == 0 ? static_cast<uint8_t>(tag.Comment[29]) : 0;
}

std::string TextFrame(Tid3v2tag& tag, const char* id)
{
    std::string text;
    tag.GetTextFrame(id, text);
    return text;
}

void SetText(Tid3v2tag& tag, const char* id, const std::string& shown, const std::string& now)
{
    if (shown != now)
        tag.SetTextFrame(id, now);
}

// A user-URL frame with an empty description, in any encoding.
bool HasEmptyDescription(const std::vector<uint8_t>& data)
{
    if (data.size() < 2)
        return data.size() == 1;
    if (data[0] == 0 || data[0] == 3)
        return data[1] == 0;
    if (data.size() >= 3 && data[1] == 0 && data[2] == 0)
        return true;
    // UTF-16 with a byte order mark before the empty description.
    return data[0] == 1 && data.size() >= 5 && data[3] == 0 && data[4] == 0;
}

}  // namespace

uint8_t TrackByteFromText(std::string_view text)
{
    text = TrimmedView(text);
    const size_t digits = static_cast<size_t>(std::find_if_not(text.begin(), text.end(), IsDigit) - text.begin());
    const std::optional<long> value = Number(text.substr(0, std::min<size_t>(digits, 9)));
    return value && *value <= 255 ? static_cast<uint8_t>(*value) : 0;
}

int YearFromText(std::string_view text)
{
    const std::optional<long> value = Number(TrimmedView(text));
    return value && *value <= 9999 ? static_cast<int>(*value) : 0;
}

std::string YearText(int year)
{
    year = std::clamp(year, 0, 9999);
    std::string text(4, '0');
    for (int i = 3; i >= 0; --i, year /= 10)
        text[static_cast<size_t>(i)] = static_cast<char>('0' + year % 10);
    return text;
}

int GenreFromTCON(std::string_view text)
{
    text = TrimmedView(text);
    int genre = -1;
    for (size_t i = 0; i < ID3v1Genres.size(); ++i)
        if (text == ID3v1Genres[i])
            genre = static_cast<int>(i);
    if (!text.empty() && text.front() == '(') {
        const size_t close = text.find(')');
        if (close != std::string_view::npos) {
            const std::optional<long> number = Number(text.substr(1, close - 1));
            if (number && *number < static_cast<long>(ID3v1Genres.size()))
                genre = static_cast<int>(*number);
        }
    }
    return genre;
}

std::string TCONText(int genre, const std::string& typed)
{
    if (genre >= 0 && genre < static_cast<int>(ID3v1Genres.size()))
        return "(" + std::to_string(genre) + ")" + ID3v1Genres[static_cast<size_t>(genre)];
    return typed;
}

// ---- ID3v1 ----

TID3v1Values ID3v1Values(const TID3v1Tag& tag)
{
    TID3v1Values v;
    if (std::memcmp(tag.Header, "TAG", 3) != 0)
        return v;
    v.Present = true;
    v.Title = FieldText(tag.Title);
    v.Artist = FieldText(tag.Artist);
    v.Album = FieldText(tag.Album);
    v.Year = YearFromText(std::string_view(tag.Year, 4));
    const uint8_t track = TrackOf(tag);
    v.Comment = FieldText(tag.Comment, track != 0 ? 28 : 30);
    if (track != 0)
        v.Track = std::to_string(track);
    v.Genre = tag.Genre < ID3v1Genres.size() ? tag.Genre : -1;
    return v;
}

TID3v1Tag EmptyID3v1Record()
{
    TID3v1Tag tag{};
    std::memcpy(tag.Header, "TAG", 3);
    std::memcpy(tag.Year, "0000", 4);
    tag.Genre = 255;
    return tag;
}

void ApplyID3v1Changes(TID3v1Tag& tag, const TID3v1Values& shown, const TID3v1Values& now)
{
    if (shown.Title != now.Title)
        SetField(tag.Title, now.Title);
    if (shown.Artist != now.Artist)
        SetField(tag.Artist, now.Artist);
    if (shown.Album != now.Album)
        SetField(tag.Album, now.Album);
    if (shown.Year != now.Year) {
        const std::string year = YearText(now.Year);
        std::memcpy(tag.Year, year.data(), 4);
    }
    if (shown.Genre != now.Genre)
        tag.Genre = now.Genre >= 0 ? static_cast<uint8_t>(now.Genre) : 255;

    const bool trackChanged = shown.Track != now.Track;
    const uint8_t oldTrack = TrackOf(tag);
    const uint8_t track = trackChanged ? TrackByteFromText(now.Track) : oldTrack;
    if (shown.Comment != now.Comment)
        SetField(tag.Comment, now.Comment, track != 0 ? 28 : 30);
    if (track != 0) {
        tag.Comment[28] = 0;
        tag.Comment[29] = static_cast<char>(track);
    } else if (trackChanged && oldTrack != 0) {
        tag.Comment[29] = 0;
    }
}

// ---- ID3v2 ----

TID3v2Values ID3v2Values(Tid3v2tag& tag)
{
    TID3v2Values v;
    // A load that failed may have left the frames it read before the damage.
    if (tag.LoadStatus >= 0x100 || tag.Frames.Count() == 0)
        return v;
    v.Present = true;
    v.Track = TextFrame(tag, "TRCK");
    v.Title = TextFrame(tag, "TIT2");
    v.Artist = TextFrame(tag, "TPE1");
    v.Album = TextFrame(tag, "TALB");
    v.Composer = TextFrame(tag, "TCOM");
    v.OrigArtist = TextFrame(tag, "TOPE");
    v.Copyright = TextFrame(tag, "TCOP");
    v.EncodedBy = TextFrame(tag, "TENC");
    v.Year = YearFromText(TextFrame(tag, "TYER"));
    const std::string genre = TextFrame(tag, "TCON");
    v.Genre = GenreFromTCON(genre);
    v.GenreText = v.Genre >= 0 ? ID3v1Genres[static_cast<size_t>(v.Genre)] : genre;
    TCOMMRecord comment;
    if (tag.GetComment(comment, "None", "") == 0)
        v.Comment = comment.Text;
    TWXXXRecord url;
    if (tag.GetUserURL(url, "") == 0)
        v.URL = url.URL;
    return v;
}

void ApplyID3v2Changes(Tid3v2tag& tag, const TID3v2Values& shown, const TID3v2Values& now)
{
    SetText(tag, "TRCK", shown.Track, now.Track);
    SetText(tag, "TIT2", shown.Title, now.Title);
    SetText(tag, "TPE1", shown.Artist, now.Artist);
    SetText(tag, "TALB", shown.Album, now.Album);
    if (shown.Year != now.Year)
        tag.SetTextFrame("TYER", now.Year != 0 ? YearText(now.Year) : std::string());
    if (shown.Genre != now.Genre || shown.GenreText != now.GenreText)
        tag.SetTextFrame("TCON", TCONText(now.Genre, now.GenreText));
    if (shown.Comment != now.Comment) {
        TCOMMRecord comment;
        comment.Encoding = 0;
        comment.Language = "ENG";
        comment.Description = "None";
        comment.Text = now.Comment;
        tag.SetComment(comment, "None", "");
    }
    SetText(tag, "TCOM", shown.Composer, now.Composer);
    SetText(tag, "TOPE", shown.OrigArtist, now.OrigArtist);
    SetText(tag, "TCOP", shown.Copyright, now.Copyright);
    if (shown.URL != now.URL) {
        if (!now.URL.empty()) {
            TWXXXRecord url;
            url.URL = now.URL;
            tag.SetUserURL(url, "");
        } else {
            for (int i = tag.Frames.Count(); i >= 1; --i)
                if (tag.Frames.ID(i) == "WXXX" && HasEmptyDescription(tag.Frames.Data(i)))
                    tag.Frames.DeleteFrameAt(i);
        }
    }
    SetText(tag, "TENC", shown.EncodedBy, now.EncodedBy);
}

// ---- AVI ----

TAviValues AviValues(const TExtAviINFO_tags& tags)
{
    TAviValues values;
    for (int i = 0; i < TExtAviINFO_tags::Count; ++i) {
        const WideString& text = tags.Field(i);
        values[static_cast<size_t>(i)] = WideToAnsi(text.substr(0, text.find(L'\0')));
    }
    return values;
}

void ApplyAviChanges(TExtAviINFO_tags& tags, const TAviValues& shown, const TAviValues& now)
{
    for (int i = 0; i < TExtAviINFO_tags::Count; ++i)
        if (shown[static_cast<size_t>(i)] != now[static_cast<size_t>(i)])
            tags.Field(i) = AnsiToWide(now[static_cast<size_t>(i)]);
}

int AviFieldIndex(std::string_view id)
{
    for (int i = 0; i < TExtAviINFO_tags::Count; ++i)
        if (id == AviInfoIDs[static_cast<size_t>(i)])
            return i;
    return -1;
}

// ---- the save's result ----

bool TagSaveSucceeded(const TTagSaveReport& report)
{
    if (!report.Opened)
        return false;
    if (report.ID3v1 && !*report.ID3v1)
        return false;
    if (report.ID3v2Save && *report.ID3v2Save >= 0x100)
        return false;
    if (report.ID3v2Removal && *report.ID3v2Removal != 0 && *report.ID3v2Removal != 0x10)
        return false;
    if (report.AviWrite && *report.AviWrite != 0)
        return false;
    return true;
}
