#include "SysUtils.h"

#include <windows.h>

WideString AnsiToWide(std::string_view text)
{
    if (text.empty())
        return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    WideString out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string WideToAnsi(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

bool AnsiSameText(std::string_view a, std::string_view b)
{
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
}

bool FileExists(const std::string& name)
{
    const DWORD attributes = GetFileAttributesA(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& name)
{
    const DWORD attributes = GetFileAttributesA(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ForceDirectories(const std::string& name)
{
    const std::string dir = ExcludeTrailingPathDelimiter(name);
    if (dir.empty() || DirectoryExists(dir) || (dir.size() == 2 && dir[1] == ':'))
        return true;
    const std::string parent = ExtractFileDir(dir);
    if (parent != dir && !ForceDirectories(parent))
        return false;
    return CreateDirectoryA(dir.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool FileDelete(const std::string& name)
{
    return DeleteFileA(name.c_str()) != FALSE;
}

bool RenameFile(const std::string& from, const std::string& to)
{
    return MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

bool FileReplace(const std::string& source, const std::string& target)
{
    return MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

int64_t FileSizeOf(const std::string& name)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

int FileGetAttr(const std::string& name)
{
    const DWORD attributes = GetFileAttributesA(name.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ? -1 : static_cast<int>(attributes);
}

bool FileSetAttr(const std::string& name, int attributes)
{
    return SetFileAttributesA(name.c_str(), attributes == 0 ? FILE_ATTRIBUTE_NORMAL : static_cast<DWORD>(attributes)) != FALSE;
}

std::string GetTempDirectory()
{
    char buffer[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathA(MAX_PATH, buffer);
    return IncludeTrailingPathDelimiter(std::string(buffer, n));
}

uint32_t TickCount()
{
    return GetTickCount();
}

THandle FileOpen(const std::string& name, uint32_t mode)
{
    static const DWORD access[3] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
    const DWORD share = (mode & fmShareDenyNone) ? (FILE_SHARE_READ | FILE_SHARE_WRITE)
                      : (mode & fmShareDenyWrite) ? FILE_SHARE_READ
                      : (FILE_SHARE_READ | FILE_SHARE_WRITE);
    const HANDLE h = CreateFileA(name.c_str(), access[(mode & 3) > 2 ? 2 : (mode & 3)], share, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    return h == INVALID_HANDLE_VALUE ? INVALID_FILE_HANDLE : reinterpret_cast<THandle>(h);
}

THandle FileCreate(const std::string& name)
{
    const HANDLE h = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    return h == INVALID_HANDLE_VALUE ? INVALID_FILE_HANDLE : reinterpret_cast<THandle>(h);
}

int32_t FileRead(THandle handle, void* buffer, int32_t count)
{
    DWORD done = 0;
    if (count < 0 || !ReadFile(reinterpret_cast<HANDLE>(handle), buffer, static_cast<DWORD>(count), &done, nullptr))
        return -1;
    return static_cast<int32_t>(done);
}

int32_t FileWrite(THandle handle, const void* buffer, int32_t count)
{
    DWORD done = 0;
    if (count < 0 || !WriteFile(reinterpret_cast<HANDLE>(handle), buffer, static_cast<DWORD>(count), &done, nullptr))
        return -1;
    return static_cast<int32_t>(done);
}

int64_t FileSeek(THandle handle, int64_t offset, TSeekOrigin origin)
{
    LARGE_INTEGER distance;
    LARGE_INTEGER result;
    distance.QuadPart = offset;
    if (!SetFilePointerEx(reinterpret_cast<HANDLE>(handle), distance, &result, static_cast<DWORD>(origin)))
        return -1;
    return result.QuadPart;
}

bool FileTruncate(THandle handle)
{
    return SetEndOfFile(reinterpret_cast<HANDLE>(handle)) != FALSE;
}

void FileClose(THandle handle)
{
    if (handle != INVALID_FILE_HANDLE)
        CloseHandle(reinterpret_cast<HANDLE>(handle));
}

std::string ExpandFileName(const std::string& name)
{
    if (name.empty())
        return {};
    char buffer[MAX_PATH * 4];
    const DWORD n = GetFullPathNameA(name.c_str(), sizeof buffer, buffer, nullptr);
    if (n == 0 || n >= sizeof buffer)
        return name;
    return std::string(buffer, n);
}

std::string SysErrorMessage(uint32_t code)
{
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                        sizeof text, nullptr);
    return TrimRight(std::string_view(text, length));
}

void RaiseLastOSError()
{
    const DWORD code = GetLastError();
    throw EOSError(Format("System Error.  Code: %lu.\r\n%s", static_cast<unsigned long>(code), SysErrorMessage(code).c_str()));
}
