#include "MenuPersistence.h"

#include "MenuItem2000.h"
#include "MenuUtilsCore.h"

#include <windows.h>
#include <shlobj.h>

namespace {

struct TStorage;
void ReadClockInto(TStorage& s);

struct TStorage {
    std::string Key = "\\Software\\Tessarel\\Velumen/2000\\MenuOrder\\$(APPNAME)";
    std::string Pattern = "$(APPDATA)\\$(APPNAME)\\$(MENU)";
    uint32_t StoredSeconds = 0;
    DWORD StartTick = 0;

    TStorage()
    {
        ExpandPathMacros(Key, Pattern);
        ReadClockInto(*this);
    }
};

// Unit start: expand the macros and read the clock once.
TStorage& Storage()
{
    static TStorage storage;
    return storage;
}

bool ReplaceFirst(std::string& text, const std::string& macro, const std::string& value)
{
    const size_t at = text.find(macro);
    if (at == std::string::npos)
        return false;
    text.replace(at, macro.size(), value);
    return true;
}

std::string ProgramName()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    const size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string AppDataFolder()
{
    LPITEMIDLIST list = nullptr;
    char path[MAX_PATH] = {};
    if (SHGetSpecialFolderLocation(nullptr, CSIDL_APPDATA, &list) == S_OK && list) {
        SHGetPathFromIDListA(list, path);
        CoTaskMemFree(list);
    }
    return path;
}

}  // namespace

uint8_t MenuStorageMode() { return 0; }
const std::string& MenuOrderKey() { return Storage().Key; }
const std::string& MenuOrderPattern() { return Storage().Pattern; }

void ExpandPathMacros(std::string& key, std::string& pattern)
{
    const std::string name = ProgramName();
    ReplaceFirst(key, "$(APPNAME)", name);
    ReplaceFirst(pattern, "$(APPNAME)", name);
    if (pattern.find("$(APPDATA)") != std::string::npos)
        ReplaceFirst(pattern, "$(APPDATA)", AppDataFolder());
}

void ReadUsageClock() { ReadClockInto(Storage()); }

namespace {

void ReadClockInto(TStorage& s)
{
    std::string key = s.Key;
    ReplaceFirst(key, "\\$(MENU)", "");
    if (!key.empty() && key[0] == '\\')
        key.erase(0, 1);
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS) {
        DWORD type = 0, value = 0, size = 0;
        if (RegQueryValueExA(handle, "ElapsedTime", nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size > 0) {
            size = sizeof value;
            if (RegQueryValueExA(handle, "ElapsedTime", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                ERROR_SUCCESS)
                s.StoredSeconds = value;
        }
        RegCloseKey(handle);
    }
    s.StartTick = GetTickCount();
}

}  // namespace

uint32_t MenuUsageClock()
{
    const TStorage& s = Storage();
    return s.StoredSeconds + (GetTickCount() - s.StartTick) / 1000;
}

void StoreMenuItem(TMenuItem* item)
{
    if (!dynamic_cast<TMenuItem2000*>(item))
        throw EMenuError("Only items of type TMenuItem2000 can be stored");
    if (MenuStorageMode() == 0)
        return;
}
