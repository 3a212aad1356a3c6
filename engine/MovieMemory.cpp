#include "MovieMemory.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// Nearest integer, halves to even; out-of-range and non-finite values are pinned, not trapped.
int64_t RoundHalfEven(double x)
{
    if (std::isnan(x))
        return 0;
    const double r = std::nearbyint(x);
    if (r >= 9223372036854775807.0)
        return std::numeric_limits<int64_t>::max();
    if (r <= -9223372036854775808.0)
        return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(r);
}

// Characters `index` (1-based) to index + count - 1 of s, as far as s reaches.
std::string Copy(const std::string& s, size_t index, size_t count)
{
    if (index < 1 || index > s.size())
        return {};
    return s.substr(index - 1, count);
}

// The file part of the id: a checksum of the bare name, or on a disc the track or title-set
// number with the disc's serial, so that the same disc matches from any drive letter.
std::string IdTail(const TMediaIdSource& source)
{
    const std::string name = ExtractFileName(source.FileName);
    const std::string upper = UpperCase(name);
    if (source.OnDisc && upper.find("AVSEQ") != std::string::npos)
        return Copy(name, 6, 2) + Copy(HexCut(source.VolumeSerial, 12), 3, 10);
    if (source.OnDisc && upper.find("VTS_") != std::string::npos)
        return Copy(name, 5, 2) + "0" + Copy(name, 7, 1) + HexCut(source.VolumeSerial, 8);
    uint32_t c = 0;
    for (const char ch : name)
        c += static_cast<uint8_t>(ch) ^ c;
    return HexCut(c, 12);
}

}  // namespace

std::string HexCut(uint64_t x, int digits)
{
    char text[32];
    std::snprintf(text, sizeof text, "%0*llX", digits, static_cast<unsigned long long>(x));
    return std::string(text).substr(0, static_cast<size_t>(digits));
}

std::string MakeMediaID(const TMediaIdSource& source)
{
    const TVideoStreamDescription& v = source.Video;
    const TAudioStreamDescription& a = source.Audio;
    std::string id = HexCut(static_cast<uint32_t>(v.Compression ^ a.FormatTag), 8) + "-";

    // Video: frame size and rate against the length; 64-bit arithmetic wraps.
    const int64_t tenths = RoundHalfEven(static_cast<double>(source.Duration) / 1000000);
    const uint64_t lines = static_cast<uint64_t>(RoundHalfEven(v.Height * v.FrameRate)) * static_cast<uint64_t>(tenths);
    const int64_t divisor = v.BitCount | 8;
    const int64_t y = divisor == -1 ? static_cast<int64_t>(0 - lines) : static_cast<int64_t>(lines) / divisor;
    const uint64_t video = static_cast<uint64_t>(RoundHalfEven(v.Width * v.FrameRate)) ^ static_cast<uint64_t>(y);
    std::string hex = HexCut(video, 6);
    id += hex.substr(0, 4) + "-" + hex.substr(4, 2);

    // Audio: the data rate shifted by the channel count, merged with the sample rate.
    const uint64_t rate = static_cast<uint64_t>(RoundHalfEven(a.AvgBytesPerSec * 1000));
    const uint64_t shifted = a.Channels >= 0 && a.Channels < 64 ? rate >> a.Channels : 0;
    const uint64_t audio = shifted | static_cast<uint64_t>(static_cast<int64_t>(a.SamplesPerSec));
    hex = HexCut(audio, 6);
    id += hex.substr(0, 2) + "-" + hex.substr(2, 4) + "-";

    return id + IdTail(source);
}

bool ReadMovieMemory(TStream& stream, TMovieMemory& memory)
{
    memory = TMovieMemory{};
    try {
        int64_t left = stream.Size() - stream.Position();
        // Every length is checked against the bytes left before anything is read or allocated.
        const auto take = [&](void* buffer, int64_t count) {
            if (count < 0 || count > left)
                return false;
            stream.ReadBuffer(buffer, count);
            left -= count;
            return true;
        };
        int32_t header = 0;
        if (!take(&header, 4))
            return false;
        const std::string text = IntToStr(header);
        if (text.rfind("676677", 0) != 0 || text.size() < 7)
            return false;
        TMovieMemory read;
        read.Version = StrToInt(text.substr(6, 2));

        int32_t count = 0;
        if (!take(&count, 4) || count < 0)
            return false;
        for (int32_t i = 0; i < count; ++i) {
            TMemoryBookmark mark;
            int32_t length = 0;
            if (!take(&length, 4) || length < 0 || length > left)
                return false;
            mark.Name.resize(static_cast<size_t>(length));
            int32_t size = 0;
            if (!take(mark.Name.data(), length) || !take(&mark.Position, 8) || !take(&size, 4))
                return false;
            if (size > 0) {
                if (size > left)
                    return false;
                mark.Thumbnail.resize(static_cast<size_t>(size));
                take(mark.Thumbnail.data(), size);
            }
            read.Bookmarks.push_back(std::move(mark));
        }
        if (!take(&read.LastPosition, 8))
            return false;
        if (read.Version > 2 && !take(&read.Delay, 4))
            return false;
        memory = std::move(read);
        return true;
    } catch (const std::exception&) {
        memory = TMovieMemory{};
        return false;
    }
}

void WriteMovieMemory(TStream& stream, const TMovieMemory& memory)
{
    stream.WriteValue<int32_t>(MovieMemoryHeader);
    stream.WriteValue<int32_t>(static_cast<int32_t>(memory.Bookmarks.size()));
    for (const TMemoryBookmark& mark : memory.Bookmarks) {
        stream.WriteValue<int32_t>(static_cast<int32_t>(mark.Name.size()));
        stream.WriteBuffer(mark.Name.data(), static_cast<int64_t>(mark.Name.size()));
        stream.WriteValue<int64_t>(mark.Position);
        stream.WriteValue<int32_t>(static_cast<int32_t>(mark.Thumbnail.size()));
        stream.WriteBuffer(mark.Thumbnail.data(), static_cast<int64_t>(mark.Thumbnail.size()));
    }
    stream.WriteValue<int64_t>(memory.LastPosition);
    stream.WriteValue<int32_t>(memory.Delay);
}

bool LoadMovieMemory(const std::string& fileName, TMovieMemory& memory)
{
    memory = TMovieMemory{};
    if (!FileExists(fileName))
        return false;
    try {
        TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
        return ReadMovieMemory(file, memory);
    } catch (const std::exception&) {
        return false;
    }
}

bool SaveMovieMemory(const std::string& fileName, const TMovieMemory& memory)
{
    try {
        TMemoryStream data;
        WriteMovieMemory(data, memory);
        return SaveFileAtomically(fileName, data.Memory(), data.Bytes().size());
    } catch (const std::exception&) {
        return false;
    }
}

std::string ResolveMediaIDFolder(const std::string& folder, const std::string& installFolder)
{
    if (folder.empty() || (folder[0] != '.' && folder[0] != '\\'))
        return folder;
    const size_t slash = folder.find('\\');
    return IncludeTrailingPathDelimiter(installFolder) + (slash == std::string::npos ? folder : folder.substr(slash + 1));
}

std::string MediaIdFile(const std::string& folder, const std::string& mediaId)
{
    return IncludeTrailingPathDelimiter(folder) + mediaId + ".cid";
}

bool IsFinishedPosition(int64_t position, int64_t duration)
{
    return static_cast<double>(position) >= static_cast<double>(duration) / 100 * 98;
}
