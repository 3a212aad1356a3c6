#include "ShortCuts.h"

#include "SysUtils.h"

namespace {

struct TNamedKey {
    uint16_t Key;
    const char* Name;
};

// Named keys of the class library's conversion (virtual-key codes).
constexpr TNamedKey NamedKeys[] = {
    {0x08, "BkSp"}, {0x09, "Tab"}, {0x0D, "Enter"}, {0x1B, "Esc"}, {0x20, "Space"},
    {0x21, "PgUp"}, {0x22, "PgDn"}, {0x23, "End"}, {0x24, "Home"}, {0x25, "Left"},
    {0x26, "Up"}, {0x27, "Right"}, {0x28, "Down"}, {0x2D, "Ins"}, {0x2E, "Del"},
};

struct TModifier {
    TShortCut Bit;
    const char* Name;
};
constexpr TModifier Modifiers[] = {{scShift, "Shift+"}, {scCtrl, "Ctrl+"}, {scAlt, "Alt+"}};

}  // namespace

TShortCut ShortCut(uint16_t key, TShortCut modifiers)
{
    return static_cast<TShortCut>((key & 0xFF) | (modifiers & (scShift | scCtrl | scAlt)));
}

std::string KeyName(uint16_t key)
{
    for (const auto& k : NamedKeys)
        if (k.Key == key)
            return k.Name;
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::string(1, static_cast<char>(key));
    if (key >= 0x70 && key <= 0x87)  // F1..F24
        return "F" + std::to_string(key - 0x6F);
    return {};
}

std::string ShortCutToText(TShortCut shortCut)
{
    const std::string name = KeyName(shortCut & 0xFF);
    if (name.empty())
        return {};
    std::string text;
    for (const auto& m : Modifiers)
        if (shortCut & m.Bit)
            text += m.Name;
    return text + name;
}

TShortCut TextToShortCut(std::string_view text)
{
    TShortCut modifiers = 0;
    bool found = true;
    while (found) {
        found = false;
        for (const auto& m : Modifiers) {
            const std::string_view name(m.Name);
            if (text.size() > name.size() && SameText(text.substr(0, name.size()), name)) {
                modifiers |= m.Bit;
                text.remove_prefix(name.size());
                found = true;
            }
        }
    }
    for (uint16_t key = 1; key < 0x100; ++key) {
        const std::string name = KeyName(key);
        if (!name.empty() && SameText(name, text))
            return ShortCut(key, modifiers);
    }
    return 0;
}
