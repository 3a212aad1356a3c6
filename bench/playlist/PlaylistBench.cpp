// Loading ".PLS" and ".M3U" play lists of 1,000, 10,000 and 100,000 entries through the play
// list's own readers (no detail fetch): the load time should grow linearly, so each step of
// ten should cost at most twelve times the one before. Then the ID3v2 read of a 2.4 tag with
// a 500 KB picture and 20 text frames, beside TagLib reading the same file where the native
// build has it. Repetitions are interleaved and medians reported.
#include "playlist/PlayList.h"
#include "playlist/id3v2.h"

#ifdef PVL_BENCH_TAGLIB
#include "bench/playlist/TagLibReader.h"
#endif

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double SecondsOf(const std::function<void()>& body)
{
    const auto start = Clock::now();
    body();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 != 0 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void WriteFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

// ---- Play lists ----

// Names without a folder, read against the list's own; titles and lengths as players write them.
std::string EntryName(int n) { return "Artist " + std::to_string(n % 97) + " - Track " + std::to_string(n) + ".mp3"; }
std::string EntryTitle(int n) { return "Artist " + std::to_string(n % 97) + " - Title number " + std::to_string(n); }
int EntryLength(int n) { return 120 + n % 300; }

std::string PlsText(int count)
{
    std::string text = "[playlist]\r\n";
    for (int n = 1; n <= count; ++n) {
        const std::string k = std::to_string(n);
        text += "File" + k + "=" + EntryName(n) + "\r\nTitle" + k + "=" + EntryTitle(n) + "\r\nLength" + k + "="
              + std::to_string(EntryLength(n)) + "\r\n";
    }
    text += "NumberOfEntries=" + std::to_string(count) + "\r\nVersion=2\r\n";
    return text;
}

std::string M3uText(int count)
{
    std::string text = "#EXTM3U\r\n";
    for (int n = 1; n <= count; ++n)
        text += "#EXTINF:" + std::to_string(EntryLength(n)) + "," + EntryTitle(n) + "\r\n" + EntryName(n) + "\r\n";
    return text;
}

struct TListCase {
    std::string Format;
    int Count;
    fs::path File;
    std::vector<double> Seconds;
};

// One load as the player does it (the list replaced by the file's entries); the list is made
// and freed outside the clock.
double TimeListLoad(const TListCase& c)
{
    TPlayList list;
    const std::string name = c.File.string();
    const double seconds = SecondsOf([&] { list.AddPlaylistPath(name, true, false); });
    if (list.ItemCount() != c.Count)
        throw std::runtime_error(c.Format + " list of " + std::to_string(c.Count) + " gave "
                                 + std::to_string(list.ItemCount()) + " entries");
    return seconds;
}

bool BenchLists(const fs::path& folder)
{
    const int counts[] = {1000, 10000, 100000};
    std::vector<TListCase> cases;
    for (const char* format : {"PLS", "M3U"})
        for (const int count : counts) {
            TListCase c{format, count, folder / ("list" + std::to_string(count) + "." + format), {}};
            WriteFile(c.File, c.Format == "PLS" ? PlsText(count) : M3uText(count));
            cases.push_back(c);
        }
    // Rounds interleave every case, so a slow spell of the machine falls on all alike.
    constexpr int Rounds = 9;
    for (TListCase& c : cases)
        TimeListLoad(c);  // warm the file cache
    for (int round = 0; round < Rounds; ++round)
        for (TListCase& c : cases)
            c.Seconds.push_back(TimeListLoad(c));

    bool met = true;
    std::printf("Play-list load, median of %d (goal: T(10n)/T(n) <= 12; 10,000 entries < 100 ms in a release build)\n", Rounds);
    std::printf("  %-4s %9s %12s %10s\n", "list", "entries", "ms", "T(10n)/T(n)");
    for (size_t i = 0; i < cases.size(); ++i) {
        const double ms = Median(cases[i].Seconds) * 1000;
        const bool stepped = i > 0 && cases[i - 1].Format == cases[i].Format;
        const double ratio = stepped ? Median(cases[i].Seconds) / Median(cases[i - 1].Seconds) : 0;
        if (stepped && ratio > 12)
            met = false;
        if (cases[i].Count == 10000 && ms >= 100)
            met = false;
        if (stepped)
            std::printf("  %-4s %9d %12.2f %10.2f\n", cases[i].Format.c_str(), cases[i].Count, ms, ratio);
        else
            std::printf("  %-4s %9d %12.2f %10s\n", cases[i].Format.c_str(), cases[i].Count, ms, "-");
    }
    std::printf("  goals %s\n", met ? "met" : "MISSED");
    return met;
}

// ---- ID3v2 ----

const std::vector<std::string>& TextIDs()
{
    static const std::vector<std::string> ids = {"TIT2", "TPE1", "TPE2", "TALB", "TCON", "TRCK", "TPOS",
                                                 "TDRC", "TCOM", "TPUB", "TCOP", "TENC", "TBPM", "TKEY",
                                                 "TLAN", "TLEN", "TMED", "TOPE", "TSRC", "TIT3"};
    return ids;
}

std::string TextOf(const std::string& id) { return "Value of " + id + " for the benchmark"; }

constexpr size_t PictureBytes = 500 * 1024;

void PutSyncSafe(std::string& out, uint32_t value)
{
    for (int shift = 21; shift >= 0; shift -= 7)
        out += static_cast<char>((value >> shift) & 0x7F);
}

void PutFrame(std::string& out, const std::string& id, const std::string& data)
{
    out += id;
    PutSyncSafe(out, static_cast<uint32_t>(data.size()));
    out += std::string(2, '\0');
    out += data;
}

// An ID3v2.4 tag (20 Latin-1 text frames, then a JPEG-like picture of PictureBytes), some
// padding, and a few silent MPEG frames after it.
std::string TaggedFile()
{
    std::string frames;
    for (const std::string& id : TextIDs())
        PutFrame(frames, id, std::string(1, '\0') + TextOf(id));
    std::string picture = std::string(1, '\0') + "image/jpeg" + std::string(1, '\0') + '\x03' + "Cover" + std::string(1, '\0');
    const size_t end = picture.size() + PictureBytes;
    uint32_t seed = 12345;
    picture += "\xFF\xD8\xFF\xE0";
    while (picture.size() < end) {
        seed = seed * 1664525u + 1013904223u;
        picture += static_cast<char>(seed >> 24);
    }
    PutFrame(frames, "APIC", picture);
    frames += std::string(2048, '\0');

    std::string file = "ID3";
    file += '\x04';
    file += std::string(2, '\0');
    PutSyncSafe(file, static_cast<uint32_t>(frames.size()));
    file += frames;
    for (int i = 0; i < 8; ++i)
        file += std::string("\xFF\xFB\x90\x00", 4) + std::string(413, '\0');
    return file;
}

struct TTagRead {
    std::vector<std::string> Texts;
    size_t PictureSize = 0;
};

// Our read: the tag, each text frame's value, and the size of the picture in its APIC frame.
bool OurRead(const std::string& fileName, TTagRead& result)
{
    Tid3v2tag tag;
    if (tag.LoadFromFile(fileName, 0) >= 0x100)
        return false;
    result.Texts.clear();
    for (const std::string& id : TextIDs()) {
        std::string text;
        tag.GetTextFrame(id, text);
        result.Texts.push_back(text);
    }
    result.PictureSize = 0;
    for (int i = 1; i <= tag.Frames.Count(); ++i) {
        if (tag.Frames.ID(i) != "APIC")
            continue;
        // Encoding, MIME type and its zero, picture type, description and its zero (Latin-1).
        const std::vector<uint8_t>& data = tag.Frames.Data(i);
        const auto mimeEnd = std::find(data.begin() + std::min<size_t>(1, data.size()), data.end(), 0);
        const auto descriptionEnd = mimeEnd == data.end() ? data.end() : std::find(mimeEnd + std::min<ptrdiff_t>(2, data.end() - mimeEnd), data.end(), 0);
        if (descriptionEnd != data.end())
            result.PictureSize = static_cast<size_t>(data.end() - descriptionEnd - 1);
        break;
    }
    return true;
}

bool SameRead(const char* reader, const std::vector<std::string>& texts, size_t pictureSize)
{
    bool same = pictureSize == PictureBytes;
    for (size_t i = 0; i < TextIDs().size(); ++i)
        same = same && i < texts.size() && texts[i] == TextOf(TextIDs()[i]);
    if (!same)
        std::printf("  %s read the tag wrongly (title \"%s\", picture %zu bytes)\n", reader,
                    texts.empty() ? "" : texts[0].c_str(), pictureSize);
    return same;
}

bool BenchTag(const fs::path& folder)
{
    const fs::path path = folder / "tagged.mp3";
    WriteFile(path, TaggedFile());
    const std::string name = path.string();
    std::printf("ID3v2.4 read: 20 text frames and a %zu KB picture, %ju-byte file\n", PictureBytes / 1024,
                static_cast<uintmax_t>(fs::file_size(path)));

    // Checked once before timing, so a wrong fast result cannot count.
    TTagRead ours;
    if (!OurRead(name, ours) || !SameRead("ours", ours.Texts, ours.PictureSize))
        return false;
#ifdef PVL_BENCH_TAGLIB
    TTagLibRead theirs;
    if (!TagLibRead(name, TextIDs(), theirs) || !SameRead("TagLib", theirs.Texts, theirs.PictureSize))
        return false;
#endif

    // Repetitions interleaved (the order swapped every round), each the mean of a batch.
    constexpr int Rounds = 41, Batch = 25;
    std::vector<double> ourSeconds, theirSeconds;
    const auto timeOurs = [&] {
        ourSeconds.push_back(SecondsOf([&] {
            for (int i = 0; i < Batch; ++i)
                OurRead(name, ours);
        }) / Batch);
    };
#ifdef PVL_BENCH_TAGLIB
    const auto timeTheirs = [&] {
        theirSeconds.push_back(SecondsOf([&] {
            for (int i = 0; i < Batch; ++i)
                TagLibRead(name, TextIDs(), theirs);
        }) / Batch);
    };
#else
    const auto timeTheirs = [] {};
#endif
    timeOurs();
    timeTheirs();
    ourSeconds.clear();
    theirSeconds.clear();
    for (int round = 0; round < Rounds; ++round) {
        if (round % 2 == 0) {
            timeOurs();
            timeTheirs();
        } else {
            timeTheirs();
            timeOurs();
        }
    }
    const double ourUs = Median(ourSeconds) * 1e6;
    std::printf("  ours   %10.1f us (median of %d rounds of %d reads)\n", ourUs, Rounds, Batch);
    if (theirSeconds.empty()) {
        std::printf("  TagLib not built in (libtag1-dev missing, or a Windows build): comparison skipped\n");
        return true;
    }
    const double theirUs = Median(theirSeconds) * 1e6;
    const double ratio = ourUs / theirUs;
    std::printf("  TagLib %10.1f us\n  ours/TagLib %.2f (goal <= 1.0: %s)\n", theirUs, ratio, ratio <= 1.0 ? "met" : "MISSED");
    return true;
}

}  // namespace

int main()
{
    const fs::path folder = fs::temp_directory_path() / ("pvl_playlist_bench_" + std::to_string(Clock::now().time_since_epoch().count()));
    fs::create_directories(folder);
    // A missed goal is a figure to read; only a wrong result fails the run.
    bool right = false;
    try {
        BenchLists(folder);
        right = BenchTag(folder);
    } catch (const std::exception& e) {
        std::printf("failed: %s\n", e.what());
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return right ? 0 : 1;
}
