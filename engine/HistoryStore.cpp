#include "HistoryStore.h"

#include "framework/Registry.h"

namespace {
constexpr const char* MakerName = "Kestrel Forge";
constexpr const char* ProductName = "Parvolux";
}

std::string HistoryKey(int kind)
{
    const char* list = kind == hkFiles ? "Files" : kind == hkURLs ? "URL" : nullptr;
    return list ? Format("\\Software\\%s\\%s\\History\\%s", MakerName, ProductName, list) : std::string();
}

std::string HistoryValuePrefix(int kind)
{
    return kind == hkFiles ? "File" : kind == hkURLs ? "URL" : "";
}

void StoreHistory(const std::string& key, const std::string& prefix, const TStringList& list, int maximum)
{
    try {
        TRegistry registry;
        registry.SetRootKey(HKEY_CURRENT_USER);
        if (!registry.OpenKey(key, true))
            return;
        for (int i = 0; registry.ValueExists(prefix + IntToStr(i)); ++i)
            registry.DeleteValue(prefix + IntToStr(i));
        for (int i = 0; i < list.Count() && i < maximum; ++i)
            registry.WriteString(prefix + IntToStr(i), list[i]);
    } catch (const Exception&) {
        // The history is a convenience; a registry that refuses it is not worth a message.
    }
}
