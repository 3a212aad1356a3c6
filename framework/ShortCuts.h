#pragma once
// Key combinations of menu items: a virtual-key code in the low byte plus the modifier bits,
// and their texts ("Ctrl+C", "Shift+Ins", "F11").
#include <cstdint>
#include <string>
#include <string_view>

using TShortCut = uint16_t;
inline constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;

TShortCut ShortCut(uint16_t key, TShortCut modifiers);
// "Shift+Ctrl+Alt+" in that order, then the key's name; empty for 0 or a key without a name.
std::string ShortCutToText(TShortCut shortCut);
// Modifier and key names compared without regard to case; 0 for a text that names no key.
TShortCut TextToShortCut(std::string_view text);
// The name of a key alone ("Ins", "Del", "BkSp", "A"); empty when it has none.
std::string KeyName(uint16_t key);
