#include "ui/RegistrySettingsStore.h"

TRegistrySettingsStore::TRegistrySettingsStore(HKEY root)
{
    FRegistry.SetRootKey(root);
}

bool TRegistrySettingsStore::OpenKey(const std::string& path, bool canCreate)
{
    FRegistry.CloseKey();
    return FRegistry.OpenKey(path, canCreate);
}

bool TRegistrySettingsStore::KeyExists(const std::string& path)
{
    return FRegistry.KeyExists(path);
}

bool TRegistrySettingsStore::ValueExists(const std::string& name)
{
    return FRegistry.ValueExists(name);
}

std::optional<int32_t> TRegistrySettingsStore::ReadInteger(const std::string& name)
{
    if (FRegistry.GetDataType(name) != rdInteger || FRegistry.GetDataSize(name) != sizeof(int32_t))
        return std::nullopt;
    try {
        return FRegistry.ReadInteger(name);
    } catch (const ERegistryException&) {  // changed under our feet
        return std::nullopt;
    }
}

std::optional<std::string> TRegistrySettingsStore::ReadString(const std::string& name)
{
    const TRegDataType type = FRegistry.GetDataType(name);
    if (type != rdString && type != rdExpandString)
        return std::nullopt;
    try {
        return FRegistry.ReadString(name);
    } catch (const ERegistryException&) {
        return std::nullopt;
    }
}

std::optional<std::vector<uint8_t>> TRegistrySettingsStore::ReadBinary(const std::string& name)
{
    if (FRegistry.GetDataType(name) != rdBinary)
        return std::nullopt;
    try {
        return FRegistry.ReadBinary(name);
    } catch (const ERegistryException&) {
        return std::nullopt;
    }
}

void TRegistrySettingsStore::WriteInteger(const std::string& name, int32_t value)
{
    FRegistry.WriteInteger(name, value);
}

void TRegistrySettingsStore::WriteString(const std::string& name, const std::string& value)
{
    FRegistry.WriteString(name, value);
}

void TRegistrySettingsStore::WriteBinary(const std::string& name, const std::vector<uint8_t>& value)
{
    FRegistry.WriteBinaryData(name, value.data(), static_cast<int>(value.size()));
}

bool TRegistrySettingsStore::DeleteValue(const std::string& name)
{
    return FRegistry.DeleteValue(name);
}
