#include "SysUtils.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// Natively, ANSI strings are UTF-8 and wide characters are UTF-32 code points.
WideString AnsiToWide(std::string_view text)
{
    WideString out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        uint32_t cp = extra == 0 ? c : (c & (0x3F >> extra));
        size_t j = i + 1;
        for (; extra > 0 && j < text.size() && (static_cast<unsigned char>(text[j]) & 0xC0) == 0x80; --extra, ++j)
            cp = (cp << 6) | (static_cast<unsigned char>(text[j]) & 0x3F);
        out.push_back(extra == 0 ? static_cast<wchar_t>(cp) : L'?');
        i = j;
    }
    return out;
}

std::string WideToAnsi(std::wstring_view text)
{
    std::string out;
    for (const wchar_t wc : text) {
        const uint32_t cp = static_cast<uint32_t>(wc);
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

bool AnsiSameText(std::string_view a, std::string_view b)
{
    return SameText(a, b);
}

bool FileExists(const std::string& name)
{
    struct stat st {};
    return stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& name)
{
    struct stat st {};
    return stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& name)
{
    const std::string dir = ExcludeTrailingPathDelimiter(name);
    if (dir.empty() || DirectoryExists(dir))
        return true;
    const std::string parent = ExtractFileDir(dir);
    if (parent != dir && !ForceDirectories(parent))
        return false;
    return mkdir(dir.c_str(), 0777) == 0 || DirectoryExists(dir);
}

bool FileDelete(const std::string& name)
{
    return unlink(name.c_str()) == 0;
}

bool RenameFile(const std::string& from, const std::string& to)
{
    if (access(to.c_str(), F_OK) == 0)
        return false;  // like the platform's move, never overwrite
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool FileReplace(const std::string& source, const std::string& target)
{
    return std::rename(source.c_str(), target.c_str()) == 0;
}

int64_t FileSizeOf(const std::string& name)
{
    struct stat st {};
    if (stat(name.c_str(), &st) != 0)
        return -1;
    return static_cast<int64_t>(st.st_size);
}

int FileGetAttr(const std::string& name)
{
    struct stat st {};
    if (stat(name.c_str(), &st) != 0)
        return -1;
    int attributes = S_ISDIR(st.st_mode) ? faDirectory : faArchive;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        attributes |= faReadOnly;
    return attributes;
}

bool FileSetAttr(const std::string& name, int attributes)
{
    struct stat st {};
    if (stat(name.c_str(), &st) != 0)
        return false;
    mode_t mode = st.st_mode & 07777;
    mode = (attributes & faReadOnly) ? (mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
    return chmod(name.c_str(), mode) == 0;
}

std::string GetTempDirectory()
{
    const char* dir = std::getenv("TMPDIR");
    return IncludeTrailingPathDelimiter(dir && *dir ? dir : "/tmp");
}

uint32_t TickCount()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

#include <fcntl.h>

THandle FileOpen(const std::string& name, uint32_t mode)
{
    static const int flags[3] = {O_RDONLY, O_WRONLY, O_RDWR};
    const int fd = open(name.c_str(), flags[(mode & 3) > 2 ? 2 : (mode & 3)] | O_CLOEXEC);
    return fd < 0 ? INVALID_FILE_HANDLE : static_cast<THandle>(fd);
}

THandle FileCreate(const std::string& name)
{
    const int fd = open(name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return fd < 0 ? INVALID_FILE_HANDLE : static_cast<THandle>(fd);
}

int32_t FileRead(THandle handle, void* buffer, int32_t count)
{
    if (count < 0)
        return -1;
    return static_cast<int32_t>(read(static_cast<int>(handle), buffer, static_cast<size_t>(count)));
}

int32_t FileWrite(THandle handle, const void* buffer, int32_t count)
{
    if (count < 0)
        return -1;
    return static_cast<int32_t>(write(static_cast<int>(handle), buffer, static_cast<size_t>(count)));
}

int64_t FileSeek(THandle handle, int64_t offset, TSeekOrigin origin)
{
    static const int whence[3] = {SEEK_SET, SEEK_CUR, SEEK_END};
    return static_cast<int64_t>(lseek(static_cast<int>(handle), static_cast<off_t>(offset), whence[origin]));
}

bool FileTruncate(THandle handle)
{
    const off_t at = lseek(static_cast<int>(handle), 0, SEEK_CUR);
    return at >= 0 && ftruncate(static_cast<int>(handle), at) == 0;
}

void FileClose(THandle handle)
{
    if (handle != INVALID_FILE_HANDLE)
        close(static_cast<int>(handle));
}

std::string ExpandFileName(const std::string& name)
{
    if (name.empty())
        return {};
    std::string full = name;
    if (full.front() != '/') {
        char cwd[4096];
        if (getcwd(cwd, sizeof cwd) == nullptr)
            return name;
        full = IncludeTrailingPathDelimiter(cwd) + full;
    }
    // Resolve "." and ".." by text, without asking whether the folders exist.
    std::vector<std::string> parts;
    size_t start = 1;
    while (start <= full.size()) {
        size_t end = full.find('/', start);
        if (end == std::string::npos)
            end = full.size();
        const std::string part = full.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out;
    for (const std::string& part : parts)
        out += "/" + part;
    if (out.empty() || full.back() == '/')
        out += '/';
    return out;
}

std::string SysErrorMessage(uint32_t code)
{
    return std::strerror(static_cast<int>(code));
}

void RaiseLastOSError()
{
    const int code = errno;
    throw EOSError(Format("System Error.  Code: %d.\r\n%s", code, SysErrorMessage(static_cast<uint32_t>(code)).c_str()));
}
