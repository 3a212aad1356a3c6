#include "menus/MenuUtilsCore.h"

#include <gtest/gtest.h>

namespace {

// Restores the escape switch a test turns off.
struct TEscapes {
    explicit TEscapes(bool on) { SetCaptionEscapes(on); }
    ~TEscapes() { SetCaptionEscapes(true); }
};

}  // namespace

TEST(MenuBlend, TableRoundsHalvesToEvenAndFullOpacityFrees)
{
    TBlendTable table;
    MakeBlendTable(50, table);
    ASSERT_TRUE(table);
    EXPECT_EQ(table[255 * 256 + 0], 128);  // 127.5
    EXPECT_EQ(table[0 * 256 + 255], 128);
    EXPECT_EQ(table[1 * 256 + 0], 0);      // 0.5
    EXPECT_EQ(table[3 * 256 + 0], 2);      // 1.5
    EXPECT_EQ(table[200 * 256 + 200], 200);
    MakeBlendTable(0, table);
    EXPECT_EQ(table[255 * 256 + 7], 7);
    MakeBlendTable(100, table);
    EXPECT_FALSE(table);
}

TEST(MenuBlend, RowBlendsBytesInRangeOnly)
{
    TBlendTable table;
    MakeBlendTable(50, table);
    const uint8_t fg[] = {255, 255, 100, 0}, bg[] = {0, 255, 0, 255};
    uint8_t dest[] = {9, 9, 9, 9};
    BlendRow(fg, bg, dest, 1, 3, table.get());
    EXPECT_EQ(dest[0], 9);
    EXPECT_EQ(dest[1], 255);
    EXPECT_EQ(dest[2], 50);
    EXPECT_EQ(dest[3], 9);
    BlendRow(fg, bg, dest, 2, 2, table.get());
    EXPECT_EQ(dest[2], 50);
}

TEST(MenuColors, GradientStepTable)
{
    struct {
        TColor From, To;
        double Steps;
        TColor Expected;
    } cases[] = {
        {0x000000, 0xFFFFFF, 2, 0x808080},   // 127.5 rounds to 128
        {0x102030, 0x102030, 3, 0x102030},
        {0x0000FF, 0x000000, 4, 0x0000BF},   // 255 + Round(-63.75)
        {0x404040, 0xFFFFFF, 0, 0x404040},   // Steps 0: From
        {0x000000, 0x000000, 0, 0x000000},   // 0 / 0
        {0x000010, 0x0000FF, -1, 0x000021},  // wraps in 8 bits: 16 - 239
        {clWhite, clBlack, 1, clBlack},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GradientStep(c.From, c.To, c.Steps), c.Expected) << std::hex << c.From << " " << c.To << " " << c.Steps;
    // System colours are resolved first.
    EXPECT_EQ(GradientStep(clWindow, clWindow, 0), ResolveColor(clWindow));
    EXPECT_GE(ResolveColor(clWindow), 0);
}

TEST(MenuColors, SunkenPatternDithersOnlyOnPaletteScreens)
{
    const TColor highlight = 0xFFFFFF, face = 0xC0C0C0;
    struct {
        int BitsPerPixel;
        bool Dithered;
    } cases[] = {{1, true}, {4, true}, {8, true}, {15, false}, {16, false}, {24, false}, {32, false}};
    for (const auto& c : cases) {
        const TSunkenPattern pattern = SunkenPattern(highlight, face, c.BitsPerPixel);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const TColor expected = c.Dithered && (x + y) % 2 == 1 ? face : highlight;
                EXPECT_EQ(pattern[static_cast<size_t>(y * 8 + x)], expected)
                    << c.BitsPerPixel << " bits at " << x << "," << y;
            }
    }
}

namespace {

struct TCountingTarget : IMenuRefreshTarget {
    int Refreshes = 0;
    void RefreshMenuWindow() override { ++Refreshes; }
};

}  // namespace

TEST(MenuUpdateLock, NestedLockRefreshesOnceAtTheLastEnd)
{
    TCountingTarget target;
    RegisterMenuRefreshTarget(&target);
    RefreshAllMenus();
    EXPECT_EQ(target.Refreshes, 1);
    EXPECT_FALSE(MenuRefreshPending());

    BeginMenuUpdate();
    BeginMenuUpdate();
    RefreshAllMenus();
    RefreshAllMenus();
    EXPECT_EQ(target.Refreshes, 1);
    EXPECT_TRUE(MenuRefreshPending());
    EndMenuUpdate();
    EXPECT_EQ(target.Refreshes, 1);
    EndMenuUpdate();
    EXPECT_EQ(target.Refreshes, 2);
    EXPECT_EQ(MenuUpdateCount(), 0);

    EndMenuUpdate();  // at 0: nothing, the count stays 0
    EXPECT_EQ(MenuUpdateCount(), 0);
    BeginMenuUpdate();
    EndMenuUpdate();  // nothing pending
    EXPECT_EQ(target.Refreshes, 2);
    UnregisterMenuRefreshTarget(&target);
    RefreshAllMenus();
    EXPECT_EQ(target.Refreshes, 2);
}

TEST(MenuCaptions, SeparatorsAndAccelerators)
{
    for (const char* s : {"-", "=", ".", ":", " ", "-Label", " x"})
        EXPECT_TRUE(IsSeparatorCaption(s)) << s;
    for (const char* s : {"", "a-", "&-", "Open"})
        EXPECT_FALSE(IsSeparatorCaption(s)) << s;

    EXPECT_EQ(StripAccelerators("&Save && Exit"), "Save & Exit");
    EXPECT_EQ(StripAccelerators("&&&x&"), "&x");

    struct {
        char Key;
        const char* Caption;
        bool Item;  // IsItemAccelKey
    } cases[] = {
        {'S', "&Save", true}, {'A', "S&ave", true}, {'S', "S&ave", false},  // marked letter only
        {'O', "Open", true},  {'P', "Open", false},  {'E', "Save && Exit", false},
        {'S', "Save && Exit", false},  // the caption holds "&": no first letter
        {'1', "&1 File", true}, {'s', "&save", false},  // lower-case key codes never match
        {'X', "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsItemAccelKey(c.Key, c.Caption), c.Item) << c.Key << " " << c.Caption;
    EXPECT_TRUE(IsAccelKey('S', "Save && Exit", true));
    EXPECT_TRUE(IsAccelKey('S', "&save", false));
}

TEST(MenuCaptions, SplitterAndFirstShortCutWithEscapesOnAndOff)
{
    struct {
        bool Escapes;
        const char* Text;
        const char* Caption;
        const char* ShortCut;
        std::vector<std::string> Lines;
    } cases[] = {
        {true, "Open\tCtrl+O", "Open", "Ctrl+O", {"Open\tCtrl+O"}},
        {true, "Open\\aCtrl+O", "Open", "Ctrl+O", {"Open\\aCtrl+O"}},
        {false, "Open\\aCtrl+O", "Open\\aCtrl+O", "", {"Open\\aCtrl+O"}},
        {true, "a\\ab\tc", "a\\ab", "c", {"a\\ab\tc"}},  // a tab wins over "\a"
        {true, "One\\nTwo", "One\\nTwo", "", {"One", "Two"}},
        {false, "One\\nTwo", "One\\nTwo", "", {"One\\nTwo"}},
        {true, "One\r\nTwo\rThree", "One\r\nTwo\rThree", "", {"One", "Two", "Three"}},
        {false, "One\r\nTwo", "One\r\nTwo", "", {"One", "Two"}},
        {true, "One\nTwo", "One\nTwo", "", {"One\nTwo"}},  // a lone LF is no break
        {true, "A\r\\nB", "A\r\\nB", "", {"A", "", "B"}},
        {true, "", "", "", {""}},
    };
    for (const auto& c : cases) {
        TEscapes escapes(c.Escapes);
        const auto parts = SplitCaption(c.Text);
        EXPECT_EQ(parts.Caption, c.Caption) << c.Text;
        EXPECT_EQ(parts.ShortCut, c.ShortCut) << c.Text;
        EXPECT_EQ(SplitCaptionLines(c.Text), c.Lines) << c.Text;
        EXPECT_EQ(LineCount(c.Text), static_cast<int>(c.Lines.size())) << c.Text;
    }
    EXPECT_EQ(FirstShortCut("Ctrl+C ; Ctrl+Ins"), "Ctrl+C");
    EXPECT_EQ(FirstShortCut("F11"), "F11");
    EXPECT_EQ(FirstShortCut(""), "");
}

TEST(MenuShortCuts, CanonicalListsAndErrors)
{
    struct {
        const char* Text;
        const char* Stored;
    } cases[] = {
        {"Ctrl+C; Shift+Ins", "Ctrl+C;Shift+Ins"},
        {"", "\x01"},
        {"\x01", "\x01"},
        {"ctrl+shift+z", "Shift+Ctrl+Z"},
        {" F11 ", "F11"},
        {"Del;;Foo", "Del"},  // an empty part ends the list
        {"Alt+BkSp", "Alt+BkSp"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CanonicalShortCutList(c.Text), c.Stored) << c.Text;
    try {
        CanonicalShortCutList("Ctrl+C;Foo");
        FAIL() << "no error";
    } catch (const EMenuError& e) {
        EXPECT_STREQ(e.what(), "Invalid shortcut: 'Foo'");
    }
    EXPECT_THROW(CanonicalShortCutList("Ctrl+"), EMenuError);
}

TEST(MenuShortCuts, ListContainsWholeEntriesOnly)
{
    EXPECT_TRUE(ShortcutListContains("Ctrl+C", "Ctrl+C;Ctrl+Ins"));
    EXPECT_TRUE(ShortcutListContains("Ctrl+Ins", "Ctrl+C;Ctrl+Ins"));
    EXPECT_FALSE(ShortcutListContains("Ctrl+I", "Ctrl+C;Ctrl+Ins"));
    EXPECT_FALSE(ShortcutListContains("Del", "Shift+Del"));
    EXPECT_FALSE(ShortcutListContains("", "Del"));
}

TEST(MenuGlyphStrips, FrameByStateForEightSixAndOtherCounts)
{
    const T_AM2000_its sel = ItsBit(isSelected), dis = ItsBit(isDisabled), chk = ItsBit(isChecked),
                       prs = ItsBit(isPressed);
    struct {
        int Frames;
        T_AM2000_its State;
        int Expected;
    } cases[] = {
        {8, 0, 0}, {8, sel, 4}, {8, sel | dis | chk, 7}, {8, dis, 2}, {8, chk, 1},
        {6, 0, 0}, {6, sel, 4}, {6, dis | sel, 2}, {6, sel | chk, 5}, {6, dis | chk, 3},
        {4, chk | dis, 2}, {4, dis, 1}, {4, prs | sel, 2}, {4, sel, 3}, {1, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StripFrameIndex(c.Frames, c.State), c.Expected) << c.Frames << " frames, state " << c.State;
}

TEST(MenuGlow, BlurWeighsTheNeighbourhoodAndLeavesOutsideOut)
{
    const struct {
        int Width, Height;
        std::vector<uint32_t> In, Out;
    } cases[] = {
        {1, 1, {0x123456}, {0x123456}},
        {2, 1, {3, 0}, {2, 2}},                                // 1.5 rounds to even 2
        {2, 1, {1, 0}, {0, 0}},                                // 0.5 rounds to even 0
        {2, 1, {0x010203, 0x030201}, {0x020202, 0x020202}},    // channels apart
        // A lone centre of 224: corners 224/7, edges 448/10, centre 448/14.
        {3, 3, {0, 0, 0, 0, 224, 0, 0, 0, 0}, {32, 45, 32, 45, 32, 45, 32, 45, 32}},
        {2, 2, {1, 2, 3}, {1, 2, 3}},                          // a size that does not fit is left alone
    };
    for (const auto& c : cases)
        EXPECT_EQ(GlowBlur(c.In, c.Width, c.Height), c.Out) << c.Width << "x" << c.Height << " " << c.In[0];
}
