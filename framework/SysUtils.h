#pragma once
// Portable string, number, path and file helpers of the class library.
// Strings are ANSI (the system code page on Windows, UTF-8 elsewhere); WideString is UTF-16 on Windows.
#include <cstdarg>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

using WideString = std::wstring;

// Base of the library's exceptions; Message carries the fixed English text.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    std::string Message;
};

class EConvertError : public Exception { using Exception::Exception; };
// A broken internal rule (an unpaired EndUpdate and the like).
class EAssertionFailed : public Exception { using Exception::Exception; };
class EInOutError : public Exception { using Exception::Exception; };
class EOSError : public Exception { using Exception::Exception; };
class ERangeError : public Exception { using Exception::Exception; };

// printf-style formatting into a string.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* fmt, va_list args);

std::string IntToStr(int64_t value);
std::string IntToHex(uint64_t value, int digits);
int StrToInt(std::string_view text);                 // throws EConvertError
int StrToIntDef(std::string_view text, int fallback);
bool TryStrToInt(std::string_view text, int& value);  // decimal, or hexadecimal after '$' or "0x"
bool TryStrToInt64(std::string_view text, int64_t& value);

std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
std::string UpperCase(std::string_view text);   // ASCII letters only, like the library's UpperCase
std::string LowerCase(std::string_view text);
int CompareText(std::string_view a, std::string_view b);  // case-insensitive (ASCII), <0, 0, >0
bool SameText(std::string_view a, std::string_view b);
// Case-insensitive by the user's locale (natively: as SameText).
bool AnsiSameText(std::string_view a, std::string_view b);
bool StartsText(std::string_view prefix, std::string_view text);
bool EndsText(std::string_view suffix, std::string_view text);
std::string StringReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// Paths accept both '\' and '/' as separators; PathDelim is the platform's own.
#ifdef _WIN32
inline constexpr char PathDelim = '\\';
#else
inline constexpr char PathDelim = '/';
#endif
inline bool IsPathDelimiter(char c) { return c == '\\' || c == '/'; }
std::string ExtractFilePath(std::string_view name);   // up to and including the last separator or ':'
std::string ExtractFileDir(std::string_view name);    // ExtractFilePath without the trailing separator
std::string ExtractFileName(std::string_view name);
std::string ExtractFileExt(std::string_view name);    // with the dot; empty when there is none
std::string ChangeFileExt(std::string_view name, std::string_view ext);
std::string IncludeTrailingPathDelimiter(std::string_view path);
std::string ExcludeTrailingPathDelimiter(std::string_view path);
// The name made absolute against the current folder, "." and ".." resolved, as the platform's
// full-path function does; an empty name stays empty.
std::string ExpandFileName(const std::string& name);

// Dates as the class library keeps them: days since 1899-12-30, the fraction is the time of day.
using TDateTime = double;
TDateTime EncodeDate(int year, int month, int day);  // EConvertError for a date that does not exist
TDateTime EncodeTime(int hour, int minute, int second, int msec);  // EConvertError when out of range

// Text conversion between ANSI and wide strings (the platform's code page).
WideString AnsiToWide(std::string_view text);
std::string WideToAnsi(std::wstring_view text);

// File system (platform part in SysUtilsPlatform_*.cpp).
bool FileExists(const std::string& name);
bool DirectoryExists(const std::string& name);
bool ForceDirectories(const std::string& name);
bool FileDelete(const std::string& name);
bool RenameFile(const std::string& from, const std::string& to);
// Replaces target with source in one step where the platform allows it.
bool FileReplace(const std::string& source, const std::string& target);
int64_t FileSizeOf(const std::string& name);  // -1 when the file cannot be read
// File attributes; natively a file without write permission is read-only and nothing is
// hidden or a system file.
enum : int { faReadOnly = 0x01, faHidden = 0x02, faSysFile = 0x04, faDirectory = 0x10, faArchive = 0x20 };
int FileGetAttr(const std::string& name);  // -1 when the name cannot be found
bool FileSetAttr(const std::string& name, int attributes);
std::string GetTempDirectory();               // with a trailing separator
uint32_t TickCount();                         // milliseconds, wraps
// The system's text for an error code (GetLastError on Windows, errno elsewhere).
std::string SysErrorMessage(uint32_t code);
// Raises EOSError with the text of the calling thread's last error.
[[noreturn]] void RaiseLastOSError();

// File handles: the platform's own (a HANDLE on Windows, a descriptor elsewhere); -1 when invalid.
using THandle = intptr_t;
inline constexpr THandle INVALID_FILE_HANDLE = -1;
enum : uint32_t {
    fmOpenRead = 0x0000, fmOpenWrite = 0x0001, fmOpenReadWrite = 0x0002,
    fmShareDenyWrite = 0x0020, fmShareDenyNone = 0x0040,
};
enum TSeekOrigin : int { soBeginning = 0, soCurrent = 1, soEnd = 2 };
THandle FileOpen(const std::string& name, uint32_t mode);
THandle FileCreate(const std::string& name);  // creates or truncates, read and write
int32_t FileRead(THandle handle, void* buffer, int32_t count);   // -1 on error
int32_t FileWrite(THandle handle, const void* buffer, int32_t count);
int64_t FileSeek(THandle handle, int64_t offset, TSeekOrigin origin);  // new position, -1 on error
bool FileTruncate(THandle handle);  // the file ends at the current position
void FileClose(THandle handle);
