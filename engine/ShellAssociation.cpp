#include "ShellAssociation.h"

#include "framework/Registry.h"

#include <vector>

namespace {

constexpr const char* ApplicationValue = "Application";

struct SidTraits {
    static PSID Invalid() { return nullptr; }
    static void Close(PSID sid) { FreeSid(sid); }
};
using TSid = TUniqueHandle<PSID, SidTraits>;

}  // namespace

std::string FileExtKey(const std::string& extension)
{
    return "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\" + extension;
}

void SetFileExtApplication(const std::string& extension, const std::string& application)
{
    try {
        TRegistry registry;
        registry.SetRootKey(HKEY_CURRENT_USER);
        if (registry.OpenKey(FileExtKey(extension), true))
            registry.WriteString(ApplicationValue, application);
    } catch (const Exception&) {
        // A key the user may not write stays as it was; the page shows the state read back.
    }
}

bool IsFileExtApplication(const std::string& extension, const std::string& application)
{
    try {
        TRegistry registry(KEY_READ);
        registry.SetRootKey(HKEY_CURRENT_USER);
        return registry.OpenKeyReadOnly(FileExtKey(extension)) && registry.ValueExists(ApplicationValue) &&
               registry.ReadString(ApplicationValue) == application;
    } catch (const Exception&) {
        return false;
    }
}

bool RemoveFileExtApplication(const std::string& extension, const std::string& application)
{
    if (!IsFileExtApplication(extension, application))
        return false;
    try {
        TRegistry registry;
        registry.SetRootKey(HKEY_CURRENT_USER);
        return registry.OpenKey(FileExtKey(extension), false) && registry.DeleteValue(ApplicationValue);
    } catch (const Exception&) {
        return false;
    }
}

LRESULT BroadcastSettingChange()
{
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 42, reinterpret_cast<LPARAM>("WindowMetrics"),
                               SMTO_ABORTIFHUNG, 10000, &answer);
}

bool IsUserAdmin()
{
    HANDLE raw = nullptr;
    if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &raw)) {
        if (GetLastError() != ERROR_NO_TOKEN || !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw))
            return false;
    }
    const TKernelHandle token(raw);

    // Ask for the size first: a token with many groups is still read whole.
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenGroups, nullptr, 0, &size);
    if (size < sizeof(TOKEN_GROUPS))
        return false;
    std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD));
    if (!GetTokenInformation(token.Get(), TokenGroups, buffer.data(), size, &size))
        return false;

    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID rawSid = nullptr;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                  &rawSid))
        return false;
    const TSid administrators(rawSid);
    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
    for (DWORD i = 0; i < groups->GroupCount; ++i)
        if (EqualSid(groups->Groups[i].Sid, administrators.Get()))
            return true;
    return false;
}
