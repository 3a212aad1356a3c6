#pragma once
// The standard-command table: well-known menu captions ("Open", "Copy", "Full Screen") with
// their default shortcut texts, hints and glyph indices. The glyph pictures themselves live in
// the Win32 image list (MenuItemCache.h).
#include "framework/Classes.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class T_AM2000_MenuItemCacheItem : public TObject {
public:
    std::string Caption;
    std::string ShortCut;  // one or more texts separated by ";", or empty
    std::string Hint;
    bool HasGlyph = false;
    int Position = 0;     // the list index found when the row was added
    int ImageIndex = -1;  // glyph index, -1 without glyph
};

// Upper case, cut at the first tab, letters only: "&Save As...\tF12" gives "SAVEAS".
std::string NormalizeCaption(std::string_view caption);

class T_AM2000_MenuItemCache {
public:
    // Adds the standard rows.
    T_AM2000_MenuItemCache();
    virtual ~T_AM2000_MenuItemCache() = default;
    T_AM2000_MenuItemCache(const T_AM2000_MenuItemCache&) = delete;
    T_AM2000_MenuItemCache& operator=(const T_AM2000_MenuItemCache&) = delete;

    void Add(const std::string& caption, const std::string& shortCut, bool hasGlyph, const std::string& hint);
    T_AM2000_MenuItemCacheItem* FindItem(std::string_view caption) const;
    bool Contains(std::string_view caption) const { return FindItem(caption) != nullptr; }
    bool HasGlyph(std::string_view caption) const;
    virtual int ImageIndexOf(std::string_view caption) const;
    int GlyphCount() const { return static_cast<int>(FGlyphRows.size()); }
    int Count() const { return FList.Count(); }
    // Rows in the list's sorted order.
    const T_AM2000_MenuItemCacheItem* Row(int index) const;
    // The glyph row of a glyph index, or none out of range.
    const T_AM2000_MenuItemCacheItem* GlyphRow(int index) const;

private:
    TStringList FList;
    std::vector<std::unique_ptr<T_AM2000_MenuItemCacheItem>> FRows;
    std::vector<T_AM2000_MenuItemCacheItem*> FGlyphRows;
};

// The process-wide table, made on first use.
T_AM2000_MenuItemCache& MenuItemCache();
