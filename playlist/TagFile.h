#pragma once
// The file seam of the tag readers and writers: bytes at explicit positions in a file on disk
// or in a buffer, with every failure reported as a result rather than thrown, so that no byte
// of a tag file can make the tag code throw or read past what exists.
#include "framework/SysUtils.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

class TTagFile {
public:
    virtual ~TTagFile() = default;
    virtual int64_t Size() const = 0;
    // Reads exactly count bytes at position; false when they are not all there.
    virtual bool ReadAt(int64_t position, void* buffer, size_t count) = 0;
    virtual bool WriteAt(int64_t position, const void* buffer, size_t count) = 0;
    // The file ends at size.
    virtual bool Truncate(int64_t size) = 0;
};

// A file on disk, closed with the object.
class TTagDiskFile final : public TTagFile {
public:
    // fmOpenRead / fmOpenReadWrite with a share mode; null when the file cannot be opened.
    static std::unique_ptr<TTagDiskFile> Open(const std::string& fileName, uint32_t mode);
    ~TTagDiskFile() override;
    TTagDiskFile(const TTagDiskFile&) = delete;
    TTagDiskFile& operator=(const TTagDiskFile&) = delete;

    int64_t Size() const override;
    bool ReadAt(int64_t position, void* buffer, size_t count) override;
    bool WriteAt(int64_t position, const void* buffer, size_t count) override;
    bool Truncate(int64_t size) override;

private:
    explicit TTagDiskFile(THandle handle) : FHandle(handle) {}
    THandle FHandle;
};

// Read-only bytes in memory: the readers' entry point for data that is not a file.
class TTagMemoryFile final : public TTagFile {
public:
    explicit TTagMemoryFile(std::span<const uint8_t> bytes) : FBytes(bytes) {}
    int64_t Size() const override { return static_cast<int64_t>(FBytes.size()); }
    bool ReadAt(int64_t position, void* buffer, size_t count) override;
    bool WriteAt(int64_t, const void*, size_t) override { return false; }
    bool Truncate(int64_t) override { return false; }

private:
    std::span<const uint8_t> FBytes;
};

// A new version of a file, written beside it and put in its place by Commit; until then the
// original stays as it was, and a rewrite that is not committed leaves no trace.
class TTagFileRewrite {
public:
    explicit TTagFileRewrite(const std::string& target);
    ~TTagFileRewrite();
    TTagFileRewrite(const TTagFileRewrite&) = delete;
    TTagFileRewrite& operator=(const TTagFileRewrite&) = delete;

    bool IsOpen() const { return FHandle != INVALID_FILE_HANDLE; }
    int64_t Position() const { return FPosition; }
    bool Write(const void* buffer, size_t count);
    bool WriteZeros(int64_t count);
    // Copies count bytes of source from position, in blocks, so no size is held in memory.
    bool CopyFrom(TTagFile& source, int64_t position, int64_t count);
    // Closes the new file and replaces the target with it. Every handle on the target must
    // be closed first (the platform refuses to replace an open file).
    bool Commit();

private:
    std::string FTarget;
    std::string FTemp;
    THandle FHandle = INVALID_FILE_HANDLE;
    int64_t FPosition = 0;
    bool FFailed = false;
};

// The read-only, hidden or system attribute: the tag writers leave such files alone.
bool IsFileProtected(const std::string& fileName);
