#include "playlist/TagFile.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
constexpr size_t CopyBlock = 65536;
constexpr int32_t MaxIo = 1 << 30;
}

std::unique_ptr<TTagDiskFile> TTagDiskFile::Open(const std::string& fileName, uint32_t mode)
{
    if (DirectoryExists(fileName))
        return nullptr;
    const THandle handle = FileOpen(fileName, mode);
    if (handle == INVALID_FILE_HANDLE)
        return nullptr;
    return std::unique_ptr<TTagDiskFile>(new TTagDiskFile(handle));
}

TTagDiskFile::~TTagDiskFile()
{
    FileClose(FHandle);
}

int64_t TTagDiskFile::Size() const
{
    const int64_t here = FileSeek(FHandle, 0, soCurrent);
    const int64_t size = FileSeek(FHandle, 0, soEnd);
    if (here >= 0)
        FileSeek(FHandle, here, soBeginning);
    return size;
}

bool TTagDiskFile::ReadAt(int64_t position, void* buffer, size_t count)
{
    if (position < 0 || FileSeek(FHandle, position, soBeginning) != position)
        return false;
    auto* out = static_cast<uint8_t*>(buffer);
    while (count > 0) {
        const int32_t n = FileRead(FHandle, out, static_cast<int32_t>(std::min<size_t>(count, MaxIo)));
        if (n <= 0)
            return false;
        out += n;
        count -= static_cast<size_t>(n);
    }
    return true;
}

bool TTagDiskFile::WriteAt(int64_t position, const void* buffer, size_t count)
{
    if (position < 0 || FileSeek(FHandle, position, soBeginning) != position)
        return false;
    const auto* in = static_cast<const uint8_t*>(buffer);
    while (count > 0) {
        const int32_t n = FileWrite(FHandle, in, static_cast<int32_t>(std::min<size_t>(count, MaxIo)));
        if (n <= 0)
            return false;
        in += n;
        count -= static_cast<size_t>(n);
    }
    return true;
}

bool TTagDiskFile::Truncate(int64_t size)
{
    return size >= 0 && FileSeek(FHandle, size, soBeginning) == size && FileTruncate(FHandle);
}

bool TTagMemoryFile::ReadAt(int64_t position, void* buffer, size_t count)
{
    if (position < 0 || static_cast<uint64_t>(position) > FBytes.size() || count > FBytes.size() - static_cast<size_t>(position))
        return false;
    if (count > 0)
        std::memcpy(buffer, FBytes.data() + position, count);
    return true;
}

TTagFileRewrite::TTagFileRewrite(const std::string& target) : FTarget(target), FTemp(target + ".~tmp")
{
    FHandle = FileCreate(FTemp);
}

TTagFileRewrite::~TTagFileRewrite()
{
    if (FHandle != INVALID_FILE_HANDLE) {
        FileClose(FHandle);
        FileDelete(FTemp);
    }
}

bool TTagFileRewrite::Write(const void* buffer, size_t count)
{
    const auto* in = static_cast<const uint8_t*>(buffer);
    while (!FFailed && count > 0) {
        const int32_t n = FileWrite(FHandle, in, static_cast<int32_t>(std::min<size_t>(count, MaxIo)));
        if (n <= 0) {
            FFailed = true;
            break;
        }
        in += n;
        count -= static_cast<size_t>(n);
        FPosition += n;
    }
    return !FFailed;
}

bool TTagFileRewrite::WriteZeros(int64_t count)
{
    const std::vector<uint8_t> zeros(static_cast<size_t>(std::min<int64_t>(std::max<int64_t>(count, 0), CopyBlock)));
    while (!FFailed && count > 0) {
        const size_t n = static_cast<size_t>(std::min<int64_t>(count, CopyBlock));
        Write(zeros.data(), n);
        count -= static_cast<int64_t>(n);
    }
    return !FFailed;
}

bool TTagFileRewrite::CopyFrom(TTagFile& source, int64_t position, int64_t count)
{
    std::vector<uint8_t> block(static_cast<size_t>(std::min<int64_t>(std::max<int64_t>(count, 0), CopyBlock)));
    while (!FFailed && count > 0) {
        const size_t n = static_cast<size_t>(std::min<int64_t>(count, CopyBlock));
        if (!source.ReadAt(position, block.data(), n)) {
            FFailed = true;
            break;
        }
        Write(block.data(), n);
        position += static_cast<int64_t>(n);
        count -= static_cast<int64_t>(n);
    }
    return !FFailed;
}

bool TTagFileRewrite::Commit()
{
    if (FHandle == INVALID_FILE_HANDLE)
        return false;
    FileClose(FHandle);
    FHandle = INVALID_FILE_HANDLE;
    if (FFailed || !FileReplace(FTemp, FTarget)) {
        FileDelete(FTemp);
        return false;
    }
    return true;
}

bool IsFileProtected(const std::string& fileName)
{
    const int attributes = FileGetAttr(fileName);
    return attributes != -1 && (attributes & (faReadOnly | faHidden | faSysFile)) != 0;
}
