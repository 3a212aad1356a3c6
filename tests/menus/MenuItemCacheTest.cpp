#include "menus/MenuItemCacheCore.h"
#include "menus/MenuUtilsCore.h"

#include <gtest/gtest.h>

TEST(MenuItemCache, NormalizedKeys)
{
    struct {
        const char* Caption;
        const char* Key;
    } cases[] = {
        {"&Save As...\tF12", "SAVEAS"}, {"Save As", "SAVEAS"}, {"C o p y", "COPY"}, {"Create II", "CREATEII"},
        {"What's This?", "WHATSTHIS"}, {"\tCopy", ""}, {"1 File", "FILE"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormalizeCaption(c.Caption), c.Key) << c.Caption;
}

TEST(MenuItemCache, StandardRowsGlyphIndicesAndHints)
{
    const auto& table = MenuItemCache();
    EXPECT_EQ(table.Count(), 221);
    EXPECT_EQ(table.GlyphCount(), 198);
    int hints = 0;
    for (int i = 0; i < table.Count(); ++i) {
        hints += !table.Row(i)->Hint.empty();
        if (i > 0) {
            EXPECT_LT(NormalizeCaption(table.Row(i - 1)->Caption), NormalizeCaption(table.Row(i)->Caption));
        }
    }
    EXPECT_EQ(hints, 122);

    struct {
        const char* Caption;
        int ImageIndex;
    } glyphs[] = {
        {"Address Book", 0}, {"Bookmarks", 20}, {"Full Screen", 69}, {"Word Art", 197}, {"About", -1},
        {"Save As", -1}, {"No Such Command", -1},
    };
    for (const auto& g : glyphs) {
        EXPECT_EQ(table.ImageIndexOf(g.Caption), g.ImageIndex) << g.Caption;
        EXPECT_EQ(table.HasGlyph(g.Caption), g.ImageIndex >= 0) << g.Caption;
    }
    EXPECT_EQ(table.GlyphRow(69)->Caption, "Full Screen");
    EXPECT_EQ(table.GlyphRow(198), nullptr);
    EXPECT_EQ(table.GlyphRow(-1), nullptr);
}

TEST(MenuItemCache, LookupsIgnoreAccelDotsBlanksAndTheTabPart)
{
    const auto& table = MenuItemCache();
    for (const char* caption : {"Copy", "&Copy", "Co&py", "C o p y", "Copy\tCtrl+Q", "copy..."}) {
        const auto* row = table.FindItem(caption);
        ASSERT_NE(row, nullptr) << caption;
        EXPECT_EQ(row->Caption, "Copy");
        EXPECT_EQ(row->ShortCut, "Ctrl+C;Ctrl+Ins");
        EXPECT_EQ(FirstShortCut(row->ShortCut), "Ctrl+C");  // what the item shows
        EXPECT_EQ(row->Hint, "Copies the selection to the clipboard");
    }
    EXPECT_NE(table.FindItem("Create"), table.FindItem("Create II"));
    EXPECT_EQ(table.FindItem("Delete")->ShortCut, "Del;Ctrl+Del");
    EXPECT_EQ(table.FindItem("Redo")->ShortCut, "Ctrl+Shift+Z;Alt+Shift+BkSp");
    EXPECT_EQ(table.FindItem("Full Screen")->ShortCut, "F11");
    EXPECT_EQ(table.FindItem("Bookmarks")->ShortCut, "");
    EXPECT_EQ(table.FindItem("Back")->Hint, "Return to the previous page in the hyperlink history list");
    EXPECT_FALSE(table.Contains("Bookmark"));
}

TEST(MenuItemCache, AddUpdatesAnExistingRowAndKeepsTheListSorted)
{
    T_AM2000_MenuItemCache table;
    table.Add("My Command", "F9", true, "Mine");
    EXPECT_EQ(table.Count(), 222);
    EXPECT_EQ(table.ImageIndexOf("my command"), 198);
    table.Add("&Open...", "Ctrl+Q", false, "");
    EXPECT_EQ(table.Count(), 222);
    EXPECT_EQ(table.FindItem("Open")->ShortCut, "Ctrl+Q");
    EXPECT_EQ(table.ImageIndexOf("Open"), -1);
    for (int i = 1; i < table.Count(); ++i)
        EXPECT_LT(NormalizeCaption(table.Row(i - 1)->Caption), NormalizeCaption(table.Row(i)->Caption));
}
