#pragma once
// The settings store over the registry (the current user's part unless told otherwise).
#include "ui/SettingsModel.h"

#include "framework/Registry.h"

class TRegistrySettingsStore : public ISettingsStore {
public:
    explicit TRegistrySettingsStore(HKEY root = HKEY_CURRENT_USER);
    bool OpenKey(const std::string& path, bool canCreate) override;
    bool KeyExists(const std::string& path) override;
    bool ValueExists(const std::string& name) override;
    std::optional<int32_t> ReadInteger(const std::string& name) override;
    std::optional<std::string> ReadString(const std::string& name) override;
    std::optional<std::vector<uint8_t>> ReadBinary(const std::string& name) override;
    void WriteInteger(const std::string& name, int32_t value) override;
    void WriteString(const std::string& name, const std::string& value) override;
    void WriteBinary(const std::string& name, const std::vector<uint8_t>& value) override;
    bool DeleteValue(const std::string& name) override;

private:
    TRegistry FRegistry;
};
