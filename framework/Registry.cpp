#include "Registry.h"

#include <cstring>

TRegistry::TRegistry(REGSAM access) : FAccess(access) {}

TRegistry::~TRegistry() = default;

void TRegistry::SetRootKey(HKEY key)
{
    CloseKey();
    FRootKey = key;
}

void TRegistry::CloseKey()
{
    FCurrentKey.Reset();
    FCurrentPath.clear();
}

HKEY TRegistry::BaseFor(const std::string& key, std::string& relative) const
{
    // The platform refuses a leading backslash; for us it means "from the root key".
    const bool absolute = !key.empty() && key.front() == '\\';
    relative = absolute ? key.substr(1) : key;
    while (!relative.empty() && relative.back() == '\\')
        relative.pop_back();
    return (absolute || !FCurrentKey) ? FRootKey : FCurrentKey.Get();
}

namespace {
std::string JoinPath(const std::string& base, const std::string& key, const std::string& relative)
{
    if (!key.empty() && key.front() == '\\')
        return relative;
    if (base.empty())
        return relative;
    return relative.empty() ? base : base + "\\" + relative;
}
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate)
{
    std::string relative;
    const HKEY base = BaseFor(key, relative);
    HKEY opened = nullptr;
    LONG rc;
    if (canCreate && !relative.empty())
        rc = RegCreateKeyExA(base, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, FAccess, nullptr, &opened, nullptr);
    else
        rc = RegOpenKeyExA(base, relative.c_str(), 0, FAccess, &opened);
    if (rc != ERROR_SUCCESS)
        return false;
    const std::string path = JoinPath(FCurrentPath, key, relative);
    FCurrentKey.Reset(opened);
    FCurrentPath = path;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key)
{
    const REGSAM saved = FAccess;
    FAccess = KEY_READ;
    const bool ok = OpenKey(key, false);
    FAccess = saved;
    return ok;
}

bool TRegistry::KeyExists(const std::string& key)
{
    std::string relative;
    const HKEY base = BaseFor(key, relative);
    HKEY probe = nullptr;
    if (RegOpenKeyExA(base, relative.c_str(), 0, KEY_READ, &probe) != ERROR_SUCCESS)
        return false;
    RegCloseKey(probe);
    return true;
}

bool TRegistry::CreateKey(const std::string& key)
{
    std::string relative;
    const HKEY base = BaseFor(key, relative);
    HKEY made = nullptr;
    if (RegCreateKeyExA(base, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &made,
                        nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(made);
    return true;
}

namespace {
bool DeleteTree(HKEY base, const std::string& relative)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(base, relative.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    TRegKey owner(key);
    for (;;) {
        char name[256];
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (!DeleteTree(key, name))
            return false;
    }
    owner.Reset();
    return RegDeleteKeyA(base, relative.c_str()) == ERROR_SUCCESS;
}
}

bool TRegistry::DeleteKey(const std::string& key)
{
    std::string relative;
    const HKEY base = BaseFor(key, relative);
    return !relative.empty() && DeleteTree(base, relative);
}

bool TRegistry::HasSubKeys()
{
    DWORD subKeys = 0;
    return FCurrentKey && RegQueryInfoKeyA(FCurrentKey.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                                           nullptr, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           subKeys > 0;
}

void TRegistry::GetKeyNames(TStringList& names)
{
    names.Clear();
    if (!FCurrentKey)
        return;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD length = sizeof name;
        if (RegEnumKeyExA(FCurrentKey.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.Add(std::string(name, length));
    }
}

void TRegistry::GetValueNames(TStringList& names)
{
    names.Clear();
    if (!FCurrentKey)
        return;
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD length = sizeof name;
        if (RegEnumValueA(FCurrentKey.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.Add(std::string(name, length));
    }
}

bool TRegistry::ValueExists(const std::string& name)
{
    return GetDataSize(name) >= 0;
}

TRegDataType TRegistry::GetDataType(const std::string& name)
{
    DWORD type = 0;
    if (!FCurrentKey || RegQueryValueExA(FCurrentKey.Get(), name.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return rdUnknown;
    switch (type) {
    case REG_SZ: return rdString;
    case REG_EXPAND_SZ: return rdExpandString;
    case REG_DWORD: return rdInteger;
    case REG_BINARY: return rdBinary;
    default: return rdUnknown;
    }
}

int TRegistry::GetDataSize(const std::string& name)
{
    DWORD size = 0;
    if (!FCurrentKey || RegQueryValueExA(FCurrentKey.Get(), name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return -1;
    return static_cast<int>(size);
}

bool TRegistry::DeleteValue(const std::string& name)
{
    return FCurrentKey && RegDeleteValueA(FCurrentKey.Get(), name.c_str()) == ERROR_SUCCESS;
}

DWORD TRegistry::GetData(const std::string& name, void* buffer, DWORD size, DWORD& type)
{
    DWORD got = size;
    if (!FCurrentKey ||
        RegQueryValueExA(FCurrentKey.Get(), name.c_str(), nullptr, &type, static_cast<BYTE*>(buffer), &got) != ERROR_SUCCESS)
        throw ERegistryException("Failed to get data for '" + name + "'");
    return got;
}

void TRegistry::PutData(const std::string& name, const void* data, DWORD size, DWORD type)
{
    if (!FCurrentKey ||
        RegSetValueExA(FCurrentKey.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
        throw ERegistryException("Failed to set data for '" + name + "'");
}

std::string TRegistry::ReadString(const std::string& name)
{
    const int size = GetDataSize(name);
    if (size <= 0)
        return {};
    std::string value(static_cast<size_t>(size), '\0');
    DWORD type = 0;
    const DWORD got = GetData(name, value.data(), static_cast<DWORD>(size), type);
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw ERegistryException("Invalid data type for '" + name + "'");
    value.resize(got);
    const size_t nul = value.find('\0');
    if (nul != std::string::npos)
        value.resize(nul);
    return value;
}

int TRegistry::ReadInteger(const std::string& name)
{
    int32_t value = 0;
    DWORD type = 0;
    if (GetDataSize(name) != sizeof value)
        throw ERegistryException(ValueExists(name) ? "Invalid data type for '" + name + "'"
                                                   : "Failed to get data for '" + name + "'");
    GetData(name, &value, sizeof value, type);
    if (type != REG_DWORD)
        throw ERegistryException("Invalid data type for '" + name + "'");
    return value;
}

bool TRegistry::ReadBool(const std::string& name)
{
    return ReadInteger(name) != 0;
}

double TRegistry::ReadFloat(const std::string& name)
{
    double value = 0;
    if (ReadBinaryData(name, &value, sizeof value) != sizeof value)
        throw ERegistryException("Invalid data type for '" + name + "'");
    return value;
}

int TRegistry::ReadBinaryData(const std::string& name, void* buffer, int size)
{
    const int stored = GetDataSize(name);
    if (stored < 0)
        throw ERegistryException("Failed to get data for '" + name + "'");
    if (GetDataType(name) != rdBinary && GetDataType(name) != rdUnknown)
        throw ERegistryException("Invalid data type for '" + name + "'");
    if (stored > size)
        throw ERegistryException("Failed to get data for '" + name + "'");
    DWORD type = 0;
    return static_cast<int>(GetData(name, buffer, static_cast<DWORD>(size), type));
}

std::vector<uint8_t> TRegistry::ReadBinary(const std::string& name)
{
    const int stored = GetDataSize(name);
    if (stored < 0)
        throw ERegistryException("Failed to get data for '" + name + "'");
    std::vector<uint8_t> data(static_cast<size_t>(stored));
    data.resize(static_cast<size_t>(ReadBinaryData(name, data.data(), stored)));
    return data;
}

void TRegistry::WriteString(const std::string& name, const std::string& value)
{
    PutData(name, value.c_str(), static_cast<DWORD>(value.size() + 1), REG_SZ);
}

void TRegistry::WriteExpandString(const std::string& name, const std::string& value)
{
    PutData(name, value.c_str(), static_cast<DWORD>(value.size() + 1), REG_EXPAND_SZ);
}

void TRegistry::WriteInteger(const std::string& name, int value)
{
    const int32_t v = value;
    PutData(name, &v, sizeof v, REG_DWORD);
}

void TRegistry::WriteBool(const std::string& name, bool value)
{
    WriteInteger(name, value ? 1 : 0);
}

void TRegistry::WriteFloat(const std::string& name, double value)
{
    PutData(name, &value, sizeof value, REG_BINARY);
}

void TRegistry::WriteBinaryData(const std::string& name, const void* buffer, int size)
{
    PutData(name, buffer, static_cast<DWORD>(size), REG_BINARY);
}
