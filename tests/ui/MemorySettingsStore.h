#pragma once
// An in-memory registry for the settings code: keys by path, typed values.
#include "ui/SettingsModel.h"

#include "framework/SysUtils.h"

#include <map>
#include <stdexcept>
#include <variant>

namespace pvltest {

struct TOtherType {  // a value of a type the settings never use (a 64-bit integer, say)
    friend bool operator==(const TOtherType&, const TOtherType&) = default;
};
using TStoredValue = std::variant<int32_t, std::string, std::vector<uint8_t>, TOtherType>;

class TMemorySettingsStore : public ISettingsStore {
public:
    using TKey = std::map<std::string, TStoredValue>;
    std::map<std::string, TKey> Keys;  // by normalised path

    static std::string Normal(const std::string& path)
    {
        std::string p = UpperCase(path);
        while (!p.empty() && p.back() == '\\')
            p.pop_back();
        return p;
    }
    TKey& Key(const std::string& path) { return Keys[Normal(path)]; }
    const TStoredValue* Find(const std::string& path, const std::string& name) const
    {
        const auto key = Keys.find(Normal(path));
        if (key == Keys.end())
            return nullptr;
        const auto value = key->second.find(name);
        return value == key->second.end() ? nullptr : &value->second;
    }

    bool OpenKey(const std::string& path, bool canCreate) override
    {
        const auto key = Keys.find(Normal(path));
        if (key != Keys.end()) {
            FOpen = &key->second;
            return true;
        }
        if (!canCreate)
            return false;
        FOpen = &Keys[Normal(path)];
        return true;
    }
    bool KeyExists(const std::string& path) override { return Keys.count(Normal(path)) > 0; }
    bool ValueExists(const std::string& name) override { return Open().count(name) > 0; }
    std::optional<int32_t> ReadInteger(const std::string& name) override { return Get<int32_t>(name); }
    std::optional<std::string> ReadString(const std::string& name) override { return Get<std::string>(name); }
    std::optional<std::vector<uint8_t>> ReadBinary(const std::string& name) override
    {
        return Get<std::vector<uint8_t>>(name);
    }
    void WriteInteger(const std::string& name, int32_t value) override { Open()[name] = value; }
    void WriteString(const std::string& name, const std::string& value) override { Open()[name] = value; }
    void WriteBinary(const std::string& name, const std::vector<uint8_t>& value) override { Open()[name] = value; }
    bool DeleteValue(const std::string& name) override { return Open().erase(name) > 0; }

private:
    TKey& Open()
    {
        if (!FOpen)
            throw std::logic_error("no key open");
        return *FOpen;
    }
    template <class T>
    std::optional<T> Get(const std::string& name)
    {
        const auto it = Open().find(name);
        if (it == Open().end() || !std::holds_alternative<T>(it->second))
            return std::nullopt;
        return std::get<T>(it->second);
    }
    TKey* FOpen = nullptr;
};

}  // namespace pvltest
