#include "MenuItemCacheCore.h"

#include "framework/ShortCuts.h"
#include "framework/SysUtils.h"

namespace {

struct TStandardRow {
    const char* Caption;
    const char* ShortCut;  // in the class library's default key names
    bool HasGlyph;
    const char* Hint;
};

// In the order the glyph strips follow: the n-th row with a glyph is cell n.
constexpr TStandardRow StandardRows[] = {
#include "MenuItemCacheRows.inc"
};

// Letters as the system's character test sees them in the Western code page.
bool IsLetter(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}

unsigned char UpperLetter(unsigned char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c != 0xF7 && c != 0xFF))
        return static_cast<unsigned char>(c - 0x20);
    return c;
}

// The modifier and key names of this library's shortcut texts, for the composed texts.
std::string LocalKeyName(const std::string& defaultName)
{
    const auto modifier = [](TShortCut bit) {
        const std::string text = ShortCutToText(ShortCut('A', bit));
        return text.substr(0, text.find('+'));
    };
    if (defaultName == "Ctrl")
        return modifier(scCtrl);
    if (defaultName == "Alt")
        return modifier(scAlt);
    if (defaultName == "Shift")
        return modifier(scShift);
    if (defaultName == "Ins")
        return KeyName(0x2D);
    if (defaultName == "Del")
        return KeyName(0x2E);
    if (defaultName == "BkSp")
        return KeyName(0x08);
    return defaultName;
}

std::string ComposeShortCut(std::string_view text)
{
    std::string out, token;
    for (char c : text) {
        if (c == '+' || c == ';') {
            out += LocalKeyName(token) + c;
            token.clear();
        } else {
            token += c;
        }
    }
    return out + LocalKeyName(token);
}

}  // namespace

std::string NormalizeCaption(std::string_view caption)
{
    std::string key;
    for (char ch : caption) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\t')
            break;
        if (IsLetter(c))
            key += static_cast<char>(UpperLetter(c));
    }
    return key;
}

T_AM2000_MenuItemCache::T_AM2000_MenuItemCache()
{
    FList.CaseSensitive = true;  // keys are upper case already
    FList.SetSorted(true);
    for (const auto& row : StandardRows)
        Add(row.Caption, ComposeShortCut(row.ShortCut), row.HasGlyph, row.Hint);
}

void T_AM2000_MenuItemCache::Add(const std::string& caption, const std::string& shortCut, bool hasGlyph,
                                 const std::string& hint)
{
    const std::string key = NormalizeCaption(caption);
    int index = 0;
    T_AM2000_MenuItemCacheItem* row;
    if (FList.Find(key, index)) {
        row = static_cast<T_AM2000_MenuItemCacheItem*>(FList.Objects(index));
    } else {
        FRows.push_back(std::make_unique<T_AM2000_MenuItemCacheItem>());
        row = FRows.back().get();
        FList.AddObject(key, row);  // sorted: lands at the found index
    }
    row->ShortCut = shortCut;
    row->Hint = hint;
    row->HasGlyph = hasGlyph;
    row->Position = index;
    row->Caption = caption;
    if (hasGlyph) {
        row->ImageIndex = GlyphCount();
        FGlyphRows.push_back(row);
    } else {
        row->ImageIndex = -1;
    }
}

T_AM2000_MenuItemCacheItem* T_AM2000_MenuItemCache::FindItem(std::string_view caption) const
{
    int index = 0;
    if (!FList.Find(NormalizeCaption(caption), index))
        return nullptr;
    return static_cast<T_AM2000_MenuItemCacheItem*>(FList.Objects(index));
}

bool T_AM2000_MenuItemCache::HasGlyph(std::string_view caption) const
{
    const auto* row = FindItem(caption);
    return row && row->HasGlyph;
}

int T_AM2000_MenuItemCache::ImageIndexOf(std::string_view caption) const
{
    const auto* row = FindItem(caption);
    return row ? row->ImageIndex : -1;
}

const T_AM2000_MenuItemCacheItem* T_AM2000_MenuItemCache::Row(int index) const
{
    return static_cast<const T_AM2000_MenuItemCacheItem*>(FList.Objects(index));
}

const T_AM2000_MenuItemCacheItem* T_AM2000_MenuItemCache::GlyphRow(int index) const
{
    if (index < 0 || index >= GlyphCount())
        return nullptr;
    return FGlyphRows[static_cast<size_t>(index)];
}

T_AM2000_MenuItemCache& MenuItemCache()
{
    static T_AM2000_MenuItemCache table;
    return table;
}
