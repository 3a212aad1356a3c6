#include "menus/DropShadowCore.h"
#include "menus/MenuWindowCore.h"

#include <gtest/gtest.h>

namespace {

TMenuRowInput Row(const std::string& caption, int captionWidth = 40, int shortCutWidth = 0)
{
    TMenuRowInput r;
    r.Caption = caption;
    r.CaptionWidth = captionWidth;
    r.ShortCutWidth = shortCutWidth;
    return r;
}

// The player's skin: bevel 1, no border, no 3D look.
TMenuLayoutInput MoneyLook()
{
    TMenuLayoutInput in;
    in.Margins[T_AM2000_Margins::Bevel] = 1;
    in.Margins[T_AM2000_Margins::Border] = 0;
    in.TextHeight = 13;
    return in;
}

}  // namespace

TEST(MenuLayout, RowHeightsByKind)
{
    TMenuLayoutInput in;  // default margins: separator 9, frame 0, item 0
    in.TextHeight = 13;   // line height 20
    struct Case {
        const char* name;
        TMenuRowInput row;
        int height;
    };
    TMenuRowInput glyph = Row("Cut");
    glyph.StandardGlyph = true;
    TMenuRowInput hidden = Row("Hidden");
    hidden.Hidden = true;
    TMenuRowInput image = Row("Image");
    image.ImageHeight = 24;
    TMenuRowInput bitmap = Row("Bitmap");
    bitmap.BitmapHeight = 10;
    TMenuRowInput control = Row("Edit");
    control.ControlHeight = 31;
    const Case cases[] = {
        {"dash", Row("-"), 9},         {"dot", Row("."), 10},       {"double", Row("="), 11},
        {"blank", Row(" "), 11},       {"colon", Row(":"), 13},     {"one line", Row("Open"), 20},
        {"two lines", Row("Open\rFile"), 37},                       {"escaped lines", Row("A\\nB\\nC"), 54},
        {"glyph minimum", glyph, 20},  {"hidden adds two", hidden, 22}, {"image plus four", image, 28},
        {"small bitmap", bitmap, 20},  {"control", control, 31},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MenuRowHeight(c.row, in), c.height) << c.name;

    in.Margins[T_AM2000_Margins::Item] = 30;
    EXPECT_EQ(MenuRowHeight(Row("Open"), in), 30);
    in.Margins[T_AM2000_Margins::Item] = 0;
    in.TextHeight = 8;  // a tiny font still lets a glyph row have its 20 pixels
    EXPECT_EQ(MenuRowHeight(Row("Open"), in), 15);
    EXPECT_EQ(MenuRowHeight(glyph, in), 20);
    in.Margins[T_AM2000_Margins::Frame] = 2;
    EXPECT_EQ(MenuRowHeight(Row("Open"), in), 19);
}

TEST(MenuLayout, RowsWidthsAndWindowSize)
{
    const TMenuLayoutInput in = MoneyLook();
    std::vector<TMenuRowInput> rows = {Row("Open", 40, 30), Row("-"), Row("A very long caption", 500), Row("Exit"),
                                       Row("-")};
    rows[1].CaptionWidth = 0;
    const TMenuLayout layout = MeasureMenu(rows, in);
    ASSERT_EQ(layout.Rows.size(), 4u);  // the trailing separator has no row
    EXPECT_EQ(layout.FirstTop, 1);
    EXPECT_EQ(layout.Packed(0), (20u << 16) | 1u);
    EXPECT_EQ(layout.Rows[1].Top, 21);
    EXPECT_EQ(layout.Rows[2].Top, 30);
    EXPECT_EQ(layout.CaptionWidth, 300);  // capped
    EXPECT_EQ(layout.ContentWidth, 300 + 24 + 24);
    EXPECT_EQ(MenuWindowHeight(layout, in), 1 + 20 + 9 + 20 + 20 + 1);
    EXPECT_EQ(MenuWindowWidth(layout, in, false), 2 + 348);
    EXPECT_EQ(MenuWindowWidth(layout, in, true), 2 + 348 + 16 + 5);

    // Caption and shortcut sums versus the two widest columns (right-justified).
    rows = {Row("Open", 100, 10), Row("Exit", 20, 50)};
    EXPECT_EQ(MeasureMenu(rows, in).ContentWidth, 48 + 120);
    TMenuLayoutInput right = in;
    right.Alignment = taRightJustify;
    EXPECT_EQ(MeasureMenu(rows, right).ContentWidth, 48 + 100 + 50 + 4);

    // The 3D look, a tear-off bar and a top title push the rows down.
    TMenuLayoutInput look = in;
    look.ThreeD = look.Draggable = look.TitleVisible = true;
    look.TitlePosition = atTop;
    look.TitleWidth = 30;
    const TMenuLayout down = MeasureMenu(rows, look);
    EXPECT_EQ(down.FirstTop, 1 + 2 + 9 + 30);
    EXPECT_EQ(MenuWindowHeight(down, look), down.FirstTop + 40 + 1 + 2);
}

TEST(MenuLayout, HiddenItemsGetTheExpandButtonOrAllShowWhenNothingElseDoes)
{
    const TMenuLayoutInput in = MoneyLook();
    std::vector<TMenuRowInput> rows = {Row("Open"), Row("Rare"), Row("Gone")};
    rows[1].Hidden = true;
    rows[2].Visible = false;
    TMenuLayout layout = MeasureMenu(rows, in);
    EXPECT_EQ(layout.Rows.size(), 1u);
    EXPECT_TRUE(layout.HasHiddenItems);
    EXPECT_EQ(MenuWindowHeight(layout, in), 1 + 20 + 1 + 13 + 6);

    rows[0].Hidden = true;
    layout = MeasureMenu(rows, in);
    ASSERT_EQ(layout.Rows.size(), 2u);
    EXPECT_TRUE(layout.HiddenShown);
    EXPECT_FALSE(layout.HasHiddenItems);
    EXPECT_EQ(layout.Rows[1].Height, 22);
}

TEST(MenuLayout, LastRowThatFitsFollowsTheScrollPosition)
{
    const TMenuLayoutInput in = MoneyLook();
    const std::vector<TMenuRowInput> rows(10, Row("Item"));
    const TMenuLayout layout = MeasureMenu(rows, in);
    EXPECT_EQ(LastRowThatFits(layout, in, 2 + 60, 0), 2);
    EXPECT_EQ(LastRowThatFits(layout, in, 2 + 59, 0), 1);
    EXPECT_EQ(LastRowThatFits(layout, in, 2 + 60, 5), 7);
    EXPECT_EQ(LastRowThatFits(layout, in, 1000, 0), 9);
}

namespace {

void ExpectPlacement(const TPlacement& expected, const TPlacement& p, const char* name)
{
    EXPECT_EQ(p.Left, expected.Left) << name;
    EXPECT_EQ(p.Top, expected.Top) << name;
    EXPECT_EQ(p.Height, expected.Height) << name;
    EXPECT_EQ(p.OpensLeftwards, expected.OpensLeftwards) << name;
    EXPECT_EQ(p.OpensUpwards, expected.OpensUpwards) << name;
    EXPECT_EQ(p.Scroll, expected.Scroll) << name;
}

}  // namespace

TEST(MenuPlacement, FlipsScrollsAndOverlaps)
{
    const TRect screen{0, 0, 1280, 1024};
    const TRect second{-1024, -200, 0, 568};  // a monitor left of and above the primary
    struct Case {
        const char* name;
        TPlacementInput in;
        TPlacement out;
    };
    auto top = [](TRect mon, int x, int y, int w, int h) {
        TPlacementInput p;
        p.Monitor = mon;
        p.Left = x;
        p.Top = y;
        p.TargetWidth = w;
        p.TargetHeight = h;
        return p;
    };
    auto sub = [&](TRect mon, int x, int y, int w, int h, int parentLeft, int parentWidth, bool parentLeftwards) {
        TPlacementInput p = top(mon, x, y, w, h);
        p.Submenu = true;
        p.ParentLeft = parentLeft;
        p.ParentWidth = parentWidth;
        p.ParentOpensLeftwards = parentLeftwards;
        return p;
    };
    TPlacementInput centred = top(screen, 1200, 100, 200, 100);
    centred.Centred = true;
    TPlacementInput asked = top(screen, 300, 100, 200, 100);
    asked.LeftwardsRequested = true;
    TPlacementInput askedNoRoom = top(screen, 100, 100, 200, 100);
    askedNoRoom.LeftwardsRequested = true;
    const Case cases[] = {
        {"room", top(screen, 100, 100, 200, 300), {100, 100, 300, false, false, false}},
        {"flip left", top(screen, 1200, 100, 200, 300), {1200, 100, 300, true, false, false}},
        {"flip up", top(screen, 100, 900, 200, 300), {100, 900, 300, false, true, false}},
        {"flip both", top(screen, 1200, 900, 200, 300), {1200, 900, 300, true, true, false}},
        {"centred stays right", centred, {1080, 100, 100, false, false, false}},
        {"leftwards asked", asked, {300, 100, 100, true, false, false}},
        {"leftwards without room", askedNoRoom, {100, 100, 100, false, false, false}},
        {"scroll below", top(screen, 100, 400, 200, 1500), {100, 400, 624, false, false, true}},
        {"scroll above", top(screen, 100, 700, 200, 1500), {100, 700, 701, false, true, true}},
        {"submenu right", sub(screen, 500, 100, 200, 300, 300, 200, false), {500, 100, 300, false, false, false}},
        {"submenu overlaps 6", sub(screen, 1150, 100, 200, 300, 1000, 150, false), {1006, 100, 300, true, false, false}},
        {"submenu of leftward parent", sub(screen, 700, 100, 200, 300, 500, 200, true), {506, 100, 300, true, false, false}},
        {"submenu moves up", sub(screen, 500, 900, 200, 300, 300, 200, false), {500, 724, 300, false, false, false}},
        {"submenu scrolls", sub(screen, 500, 100, 200, 2000, 300, 200, false), {500, 0, 1024, false, false, true}},
        {"negative origin room", top(second, -1000, -150, 200, 300), {-1000, -150, 300, false, false, false}},
        {"negative origin flips", top(second, -100, 400, 200, 300), {-100, 400, 300, true, true, false}},
        {"negative origin submenu", sub(second, -300, 0, 200, 300, -500, 200, true), {-494, 0, 300, true, false, false}},
    };
    for (const Case& c : cases)
        ExpectPlacement(c.out, PlaceMenu(c.in), c.name);
}

// A bar's drop-down never covers the bar item it opens from: a vertical bar's asks to open
// leftwards from the item's left edge and, without room, opens from the item's right edge.
TEST(MenuPlacement, BarDropDownsStayOffTheBar)
{
    const TRect screen{0, 0, 1280, 1024};
    struct Case {
        const char* name;
        bool vertical, leftwards;
        TRect item;  // the bar item on the screen
        int width, height;
        TPlacement out;
    };
    const Case cases[] = {
        {"vertical, room on the left", true, true, {1200, 100, 1220, 160}, 200, 300, {1199, 100, 300, true, false, false}},
        {"vertical at the left edge flips right", true, true, {0, 100, 20, 160}, 200, 300, {20, 100, 300, false, false, false}},
        {"vertical near the left edge flips right", true, true, {150, 100, 170, 160}, 200, 300, {170, 100, 300, false, false, false}},
        {"vertical near the bottom ends there", true, true, {1200, 900, 1220, 960}, 200, 300, {1199, 1023, 300, true, true, false}},
        {"horizontal at the right edge", false, false, {1200, 0, 1260, 20}, 200, 300, {1080, 20, 300, false, false, false}},
        {"horizontal near the bottom opens above", false, false, {100, 980, 160, 1000}, 200, 300, {100, 979, 300, false, true, false}},
        {"right-to-left without room", false, true, {10, 0, 70, 20}, 200, 300, {199, 20, 300, true, false, false}},
    };
    for (const Case& c : cases) {
        TPlacementInput in;
        in.Monitor = screen;
        in.Left = c.vertical ? c.item.left - 1 : c.leftwards ? c.item.right - 1 : c.item.left;
        in.Top = c.vertical ? c.item.top : c.item.bottom;
        in.TargetWidth = c.width;
        in.TargetHeight = c.height;
        in.LeftwardsRequested = c.leftwards;
        in.MenuBar = true;
        in.VerticalBar = c.vertical;
        in.BarItem = c.item;
        const TPlacement p = PlaceMenu(in);
        ExpectPlacement(c.out, p, c.name);
        // The window's final rectangle (leftward and upward ones end at their point + 1).
        const int left = p.OpensLeftwards ? p.Left - c.width + 1 : p.Left;
        const int top = p.OpensUpwards ? p.Top - p.Height + 1 : p.Top;
        const TRect window{left, top, left + c.width, top + p.Height};
        const bool overlaps = window.left < c.item.right && c.item.left < window.right &&
                              window.top < c.item.bottom && c.item.top < window.bottom;
        EXPECT_FALSE(overlaps) << c.name;
        EXPECT_GE(window.left, screen.left) << c.name;
        EXPECT_LE(window.right, screen.right) << c.name;
        EXPECT_LE(window.bottom, screen.bottom) << c.name;
    }
}

TEST(MenuAnimation, KindsResolveBySystemSettings)
{
    auto answer = [](TSpiAnswer a) { return [a] { return a; }; };
    struct Case {
        const char* name;
        T_AM2000_Animation kind;
        TSpiAnswer animation, fade;
        T_AM2000_Animation stored, effective;
    };
    const TSpiAnswer F = TSpiAnswer::Failed, Off = TSpiAnswer::Off, On = TSpiAnswer::On;
    const Case cases[] = {
        {"default fails", anDefault, F, On, anHorzSlide, anVertSlide},
        {"default off", anDefault, Off, On, anNone, anNone},
        {"default on, fade off", anDefault, On, Off, anHorzSlide, anVertSlide},
        {"default on, fade fails", anDefault, On, F, anHorzSlide, anVertSlide},
        {"default on, fade on", anDefault, On, On, anAlpha, anAlpha},
        {"slide", anSlide, Off, Off, anHorzSlide, anVertSlide},
        {"stretch", anStretch, Off, Off, anHorzStretch, anVertStretch},
        {"popup", anPopup, Off, Off, anHorzSlide, anDoubleSlide},
        {"roll", anRoll, Off, Off, anHorzRoll, anVertRoll},
        {"alpha slide", anAlphaSlide, Off, Off, anHorzAlphaSlide, anVertAlphaSlide},
        {"plain kind", anDoubleStretch, Off, Off, anDoubleStretch, anDoubleStretch},
    };
    for (const Case& c : cases) {
        TAnimationQuery q;
        q.MenuAnimation = answer(c.animation);
        q.MenuFade = answer(c.fade);
        const TAnimationChoice r = ResolveAnimation(c.kind, q);
        EXPECT_EQ(r.Stored, c.stored) << c.name;
        EXPECT_EQ(r.Effective, c.effective) << c.name;
    }
    TAnimationQuery q;
    int draw = 0;
    q.RandomBit = [&draw] { return draw; };
    EXPECT_EQ(ResolveAnimation(anRandom, q).Effective, anHorzSlide);
    draw = 1;
    EXPECT_EQ(ResolveAnimation(anRandom, q).Effective, anVertSlide);
    q.VerticalBar = true;
    EXPECT_EQ(ResolveAnimation(anSlide, q).Effective, anHorzSlide);
    q.SiblingWithoutFlag = true;
    EXPECT_EQ(ResolveAnimation(anVertSlide, q).Stored, anVertSlide);
    EXPECT_EQ(ResolveAnimation(anVertSlide, q).Effective, anNone);
    q.NoAnimation = true;
    EXPECT_EQ(ResolveAnimation(anAlpha, q).Stored, anNone);
}

TEST(MenuAnimation, SlideGrowsBySteadyStepsThenTakesTheFullHeight)
{
    const int W = 150, H = 300;
    const TAnimationStart s = AnimationStart(anVertSlide, W, H);
    EXPECT_EQ(s.VertStep, 18);
    EXPECT_EQ(s.Width, W);
    EXPECT_EQ(s.Height, 30 - 18);
    std::vector<int> heights;
    int w = s.Width, h = s.Height;
    for (;;) {
        const TSizeStep step = NextSizeStep(w, h, W, H, s.HorzStep, s.VertStep);
        if (step.Done || !step.Grew)
            break;
        w = step.Width;
        h = step.Height;
        heights.push_back(h);
    }
    ASSERT_FALSE(heights.empty());
    for (size_t k = 0; k < heights.size(); ++k)
        EXPECT_EQ(heights[k], s.Height + static_cast<int>(k + 1) * 18);
    EXPECT_LT(heights.back(), H);
    EXPECT_GE(heights.back() + 18, H - 18);

    // Small menus still move by 3 pixels; no size below 1.
    const TAnimationStart tiny = AnimationStart(anDoubleSlide, 20, 20);
    EXPECT_EQ(tiny.HorzStep, 3);
    EXPECT_EQ(tiny.VertStep, 3);
    EXPECT_EQ(tiny.Width, 2);
    EXPECT_EQ(tiny.Height, 1);
    const TAnimationStart none = AnimationStart(anNone, 20, 20);
    EXPECT_EQ(none.Width, 20);
    EXPECT_EQ(none.Height, 20);
}

TEST(MenuAnimation, AlphaStopsAtTheOpacityFrame)
{
    int frames = 0;
    for (int frame = 1; AlphaFrameRuns(frame, 60); ++frame)
        ++frames;
    EXPECT_EQ(frames, 9);  // frames 1..9 run: 9.6 is the limit
    EXPECT_EQ(AlphaOfFrame(9), 143);
    EXPECT_EQ(FinalAlpha(60), 153);
    EXPECT_EQ(FinalAlpha(100), 255);
    EXPECT_EQ(AlphaOfFrame(16), 255);

    EXPECT_EQ(AlphaDelta(200, 40), 10);
    EXPECT_EQ(AlphaDelta(0, 255), -15);
    uint8_t image[3] = {250, 3, 100};
    const int8_t deltas[3] = {10, -10, 5};
    ApplyAlphaDeltas(image, deltas, 3);
    EXPECT_EQ(image[0], 255);
    EXPECT_EQ(image[1], 0);
    EXPECT_EQ(image[2], 105);
}

TEST(DropShadow, DarkeningTablesAndFractions)
{
    const TDarkenTable& t = DarkenTable();
    EXPECT_EQ(t[90][4], 50);   // five ninths
    EXPECT_EQ(t[255][7], 227);  // 226.67
    EXPECT_EQ(t[77][8], 77);
    EXPECT_EQ(t[77][9], 77);
    EXPECT_EQ(Vertical98Fractions(0, 100), (std::array<int, 4>{8, 8, 8, 9}));
    EXPECT_EQ(Vertical98Fractions(98, 100), (std::array<int, 4>{7, 7, 8, 8}));
    EXPECT_EQ(Vertical98Fractions(50, 100), (std::array<int, 4>{5, 6, 7, 8}));
    // Height 6: only the corner rows.
    for (int row = 0; row < 6; ++row)
        EXPECT_NE(Vertical98Fractions(row, 6)[0], 5) << row;

    uint8_t strip[4 * 3 * 2];
    std::fill(std::begin(strip), std::end(strip), 90);
    DarkenVertical98(strip, 2, 12);
    EXPECT_EQ(strip[0], 80);   // 8 ninths at the corner row
    EXPECT_EQ(strip[9], 90);   // the ninth: unchanged
    uint8_t row[6 * 3 * 4];
    std::fill(std::begin(row), std::end(row), 90);
    DarkenHorizontal98(row, 6, 18);
    EXPECT_EQ(row[0], 80);       // corner next to the menu: 8
    EXPECT_EQ(row[9], 50);       // corner's fourth pixel: 5
    EXPECT_EQ(row[12], 50);      // the rest of the row next to the menu: 90 div 9 * 5
    EXPECT_EQ(row[3 * 18 + 12], 80);  // the farthest row: 8
    EXPECT_EQ(row[3 * 18 + 0], 90);   // its corner starts with a ninth
}

TEST(DropShadow, LayeredStripsArePremultipliedRunsAndCorners)
{
    EXPECT_EQ(PremultipliedPixel(0x0000FF, 128), 0x80800000u);  // red at half: premultiplied 128
    EXPECT_EQ(PremultipliedPixel(0x000000, 114), 0x72000000u);
    EXPECT_TRUE(VerticalShadow2000(0, 10).empty());
    EXPECT_TRUE(HorizontalShadow2000(0, 5).empty());
    const auto v = VerticalShadow2000(0, 12);
    ASSERT_EQ(v.size(), 60u);
    EXPECT_EQ(v[0] >> 24, 3u);            // corner A first
    EXPECT_EQ((v[4 * 5] >> 24), 100u);
    EXPECT_EQ((v[5 * 5] >> 24), 114u);   // the edge run between the corners
    EXPECT_EQ((v[6 * 5 + 4] >> 24), 4u);
    EXPECT_EQ((v[7 * 5] >> 24), 100u);   // corner B: reversed
    EXPECT_EQ((v[11 * 5] >> 24), 3u);
    const auto h = HorizontalShadow2000(0, 8);
    ASSERT_EQ(h.size(), 40u);
    EXPECT_EQ(h[0] >> 24, 3u);            // next to the menu: the block's last row
    EXPECT_EQ(h[4] >> 24, 100u);
    EXPECT_EQ(h[5] >> 24, 114u);          // then the run
    EXPECT_EQ(h[4 * 8 + 7] >> 24, 4u);
}

TEST(DropShadow, SnapshotsServeContainedRequestsNewestFirst)
{
    TSnapshotList list;
    EXPECT_EQ(list.Find(10, 10, 5, 5), -1);
    const int a = list.Add(100, 100, 200, 300, true);
    EXPECT_EQ(list.At(a).Bounds.left, 80);
    EXPECT_EQ(list.At(a).Bounds.bottom, 420);
    EXPECT_FALSE(list.At(a).Temporary);
    // Inside the margin: served by the first snapshot.
    EXPECT_EQ(list.Find(80, 80, 240, 340), a);
    EXPECT_EQ(list.Find(79, 80, 240, 340), -1);
    const int b = list.Add(150, 150, 50, 50, false);
    EXPECT_TRUE(list.At(b).Temporary);
    EXPECT_EQ(list.Find(150, 150, 10, 10), b);  // the newest that holds it
    EXPECT_EQ(list.Older(b), std::vector<int>{a});
    list.Invalidate(100, 100, 200, 300);
    EXPECT_TRUE(list.At(a).Temporary);
    list.Remove(b);
    EXPECT_EQ(list.Count(), 1);
}

TEST(MenuLayout, ItemRectColumnsAndSeparatorIndents)
{
    TMenuLayoutInput in = MoneyLook();
    TMenuLayout layout;
    layout.CaptionWidth = 100;
    layout.ShortCutWidth = 40;
    T_AM2000_MenuItemRect r = MenuItemRect(layout, in, 300, false, false);
    EXPECT_EQ(r.FrameWidth, 1);
    EXPECT_EQ(r.ContentLeft, 1);
    EXPECT_EQ(r.ContentRight, 299);
    EXPECT_EQ(r.CaptionLeft, 25);
    EXPECT_EQ(r.ShortCutLeft, 299 - 24 - 40);
    EXPECT_EQ(r.GlyphWidth, 21);
    EXPECT_EQ(r.ArrowLeft, 299 - 20 - 2);
    in.ThreeD = true;
    r = MenuItemRect(layout, in, 300, true, true);
    EXPECT_EQ(r.FrameWidth, 3);
    EXPECT_EQ(r.ContentRight, 297 - 16 - 5);
    EXPECT_EQ(r.GlyphWidth, 24);
    EXPECT_EQ(r.BackLeft, 3 + 24);

    struct Case {
        T_AM2000_Flags flags;
        bool gutter;
        int left, right;
    };
    const Case cases[] = {
        {0, false, 14, 14},
        {0, true, 38, 14},
        {FlagBit(mfLongSeparators), false, 2, 2},
        {FlagBit(mfXpControls), false, 24, 0},
        {FlagBit(mfNoSharpJoints) | FlagBit(mfXpControls), false, 0, -2},
    };
    for (const Case& c : cases) {
        const TSeparatorIndent s = SeparatorIndent(c.flags, MoneyLook(), c.gutter);
        EXPECT_EQ(s.Left, c.left) << c.flags;
        EXPECT_EQ(s.Right, c.right) << c.flags;
    }
}

TEST(MenuTitle, BandLiesBetweenTheFramesAndBelowTheTearOffBar)
{
    struct Case {
        T_AM2000_TitlePosition position;
        bool draggable, threeD;
        TRect band;
    };
    // Bevel 1 of the skin, 3D edge 2 more; a window of 200 x 300 with a band 30 wide.
    const Case cases[] = {
        {atLeft, false, false, TRect(1, 1, 31, 299)},
        {atRight, false, true, TRect(167, 3, 197, 297)},
        {atTop, false, false, TRect(1, 1, 199, 31)},
        {atTop, true, false, TRect(1, 10, 199, 40)},
        {atBottom, true, true, TRect(3, 267, 197, 297)},
    };
    for (const Case& c : cases) {
        TMenuLayoutInput in = MoneyLook();
        in.TitleVisible = true;
        in.TitleWidth = 30;
        in.TitlePosition = c.position;
        in.Draggable = c.draggable;
        in.ThreeD = c.threeD;
        EXPECT_EQ(TitleBandRect(in, 200, 300), c.band) << int(c.position) << c.draggable << c.threeD;
    }
}

TEST(MenuTitle, GradientStripsRunFromTheBeginColourToTheEnd)
{
    const uint32_t blue = 0xFF0000, black = 0;
    // Vertical: 256 strips of a 512-high band, two pixels each, blue at the bottom.
    std::vector<TGradientStrip> s = TitleGradient(grLinear, gdVertical, TRect(0, 0, 40, 512), blue, black);
    ASSERT_EQ(s.size(), 256u);
    EXPECT_EQ(s.front().Rect, TRect(0, 510, 40, 512));
    EXPECT_EQ(s.front().Color, blue);
    EXPECT_EQ(s.back().Rect, TRect(0, 0, 40, 2));
    EXPECT_EQ(s.back().Color, black);
    EXPECT_EQ(s[128].Color, 0x7F0000u);
    // A band shorter than the steps gets one strip per pixel and still ends in the end colour.
    s = TitleGradient(grLinear, gdHorizontal, TRect(10, 0, 110, 20), blue, black);
    ASSERT_EQ(s.size(), 100u);
    EXPECT_EQ(s.front().Rect, TRect(10, 0, 11, 20));
    EXPECT_EQ(s.front().Color, blue);
    EXPECT_EQ(s.back().Rect, TRect(109, 0, 110, 20));
    EXPECT_EQ(s.back().Color, black);
    // Reflected: the begin colour at both ends, the end colour in the middle.
    s = TitleGradient(grReflected, gdVertical, TRect(0, 0, 40, 256), 0x0000FF, 0x00FF00);
    ASSERT_EQ(s.size(), 256u);
    EXPECT_EQ(s.front().Color, 0x0000FFu);
    EXPECT_EQ(s[127].Color, 0x00FF00u);
    EXPECT_EQ(s[128].Color, 0x00FF00u);
    EXPECT_EQ(s.back().Color, 0x0000FFu);
    s = TitleGradient(grReflected, gdVertical, TRect(0, 0, 40, 99), 0x0000FF, 0x00FF00);
    ASSERT_EQ(s.size(), 99u);
    EXPECT_EQ(s.front().Color, 0x0000FFu);
    EXPECT_EQ(s[49].Color, 0x00FF00u);
    EXPECT_EQ(s.back().Color, 0x0000FFu);
    // Diamond: 128 nested rectangles stepping in by a 512th of the band.
    s = TitleGradient(grDiamond, gdVertical, TRect(0, 0, 1024, 512), blue, black);
    ASSERT_EQ(s.size(), 128u);
    EXPECT_EQ(s.front().Rect, TRect(0, 0, 1024, 512));
    EXPECT_EQ(s[1].Rect, TRect(2, 1, 1022, 511));
    EXPECT_EQ(s.back().Rect, TRect(254, 127, 770, 385));
    EXPECT_EQ(s.back().Color, black);
    // Blocks: sixteen even strips.
    s = TitleGradient(grBlocks, gdHorizontal, TRect(0, 0, 160, 20), 0, 0xF0F0F0);
    ASSERT_EQ(s.size(), 16u);
    EXPECT_EQ(s[1].Rect, TRect(10, 0, 20, 20));
    EXPECT_EQ(s[1].Color, 0x101010u);
    EXPECT_TRUE(TitleGradient(grLinear, gdVertical, TRect(0, 0, 0, 100), blue, black).empty());
}

TEST(MenuTitle, TextStartsTenPixelsFromTheAlignedEnd)
{
    struct Case {
        T_AM2000_TitlePosition position;
        TAlignment alignment;
        T_AM2000_TextDirection direction;
        TPoint origin;
        int escapement;
    };
    // A side band of 40 x 300 at (0, 0) and a top band of 300 x 40; text 100 long and 20 high.
    const Case cases[] = {
        {atLeft, taLeftJustify, tdForward, TPoint(10, 290), 900},
        {atLeft, taRightJustify, tdForward, TPoint(10, 110), 900},
        {atRight, taCenter, tdForward, TPoint(10, 190), 900},
        {atLeft, taLeftJustify, tdBackward, TPoint(30, 10), 2700},
        {atTop, taLeftJustify, tdBackward, TPoint(10, 10), 0},
        {atBottom, taRightJustify, tdForward, TPoint(190, 10), 0},
        {atTop, taCenter, tdForward, TPoint(110, 10), 0},
    };
    for (const Case& c : cases) {
        const bool side = c.position == atLeft || c.position == atRight;
        const TRect band = side ? TRect(0, 0, 40, 300) : TRect(0, 0, 300, 40);
        const TTitleText t = TitleTextPlace(band, c.position, c.alignment, c.direction, 100, 20);
        EXPECT_EQ(t.Origin, c.origin) << int(c.position) << int(c.alignment) << int(c.direction);
        EXPECT_EQ(t.Escapement, c.escapement);
    }
}

TEST(MenuLayout, RightToLeftMirrorsColumnsGlyphsArrowsAndSeparatorIndents)
{
    TMenuLayoutInput in = MoneyLook();
    in.Margins[T_AM2000_Margins::Left] = 30;  // unequal sides show which margin goes where
    in.Margins[T_AM2000_Margins::Right] = 20;
    TMenuLayout layout;
    layout.CaptionWidth = 100;
    layout.ShortCutWidth = 40;
    in.RightToLeft = true;
    const T_AM2000_MenuItemRect r = MenuItemRect(layout, in, 300, false, true);
    EXPECT_EQ(r.ContentLeft, 1 + 16 + 5);  // the scroll column is at the left
    EXPECT_EQ(r.ContentRight, 299);
    EXPECT_EQ(r.ShortCutLeft, 22 + 30);
    EXPECT_EQ(r.CaptionLeft, 299 - 20 - 100);
    EXPECT_EQ(r.GlyphLeft, 299 - 20 + 4);
    EXPECT_EQ(r.GlyphWidth, 20 - 3);
    EXPECT_EQ(r.ArrowLeft, 22);
    EXPECT_EQ(r.ArrowWidth, 30 - 4);
    // The glyph column, the caption and the shortcut never overlap.
    EXPECT_LE(r.ShortCutLeft + r.ShortCutWidth, r.CaptionLeft);
    EXPECT_LE(r.CaptionLeft + r.CaptionWidth, r.GlyphLeft);
    EXPECT_LE(r.ArrowLeft + r.ArrowWidth, r.ShortCutLeft);

    in.Margins[T_AM2000_Margins::Gutter] = 18;
    const TSeparatorIndent xp = SeparatorIndent(FlagBit(mfXpControls), in, true);
    EXPECT_EQ(xp.Left, 0);  // -Border; the skin has none
    EXPECT_EQ(xp.Right, 20 + 18);
    const TSeparatorIndent plain = SeparatorIndent(0, in, true);
    EXPECT_EQ(plain.Left, 14);
    EXPECT_EQ(plain.Right, 14 + 18);
}

TEST(MenuLayout, ReadingOrdersSetTheMirrorTheAlignmentAndTheStateBit)
{
    struct Case {
        TBiDiMode Mode;
        bool Mirrored, Swap, Reading;
        T_AM2000_itsBit Bit;
        TAlignment LeftBecomes, RightBecomes;
    };
    const Case cases[] = {
        {bdLeftToRight, false, false, false, isLeftToRight, taLeftJustify, taRightJustify},
        {bdRightToLeft, true, true, true, isRightToLeft, taRightJustify, taLeftJustify},
        {bdRightToLeftNoAlign, true, false, true, isRightToLeftNoAlign, taLeftJustify, taRightJustify},
        {bdRightToLeftReadingOnly, false, false, true, isRightToLeftReadingOnly, taLeftJustify, taRightJustify},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.Mode));
        const TReadingOrder o = ReadingOrder(c.Mode);
        EXPECT_EQ(o.Mirrored, c.Mirrored);
        EXPECT_EQ(o.SwapAlignment, c.Swap);
        EXPECT_EQ(o.RightToLeftReading, c.Reading);
        EXPECT_EQ(o.Bit, c.Bit);
        EXPECT_EQ(CaptionAlignment(taLeftJustify, o), c.LeftBecomes);
        EXPECT_EQ(CaptionAlignment(taRightJustify, o), c.RightBecomes);
        EXPECT_EQ(CaptionAlignment(taCenter, o), taCenter);
    }
}

TEST(MenuPlacement, AlignmentAndReadingOrderMoveATopMenuLeftOfItsPoint)
{
    struct Case {
        TAlignment Alignment;
        bool RightToLeft;
        int Left, Expected;
    };
    const Case cases[] = {
        {taLeftJustify, false, 500, 500},
        {taRightJustify, false, 500, 300},
        {taLeftJustify, true, 500, 300},
        {taRightJustify, true, 500, 300},
        {taCenter, false, 500, 400},
        {taCenter, true, 500, 400},
        {taRightJustify, false, 200, 200},  // no room left of the point: placement flips it later
        {taLeftJustify, true, 150, 150},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AlignedPopupLeft(c.Left, 200, c.Alignment, c.RightToLeft), c.Expected)
            << int(c.Alignment) << " " << c.RightToLeft << " " << c.Left;
}

TEST(MenuLayout, TearOffBarSpansTheContentWithItsStripAndGrip)
{
    TMenuLayoutInput in = MoneyLook();
    in.Draggable = true;
    TMenuLayout layout;
    const T_AM2000_MenuItemRect r = MenuItemRect(layout, in, 201, false, false);
    const int rowsTop = 1 + TearOffHeight + 2;  // where measuring puts the first row
    TTearOffBar bar = TearOffBar(r, false, false, rowsTop);
    EXPECT_EQ(bar.Bar, TRect(1, 1, 200, 8));
    EXPECT_EQ(bar.Strip, TRect(1, 8, 200, rowsTop));  // three pixels, cut where the first row starts
    ASSERT_EQ(bar.Grip.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(bar.Grip[i], TRect(84, 2 + 2 * static_cast<int>(i), 117, 3 + 2 * static_cast<int>(i)));
    EXPECT_EQ(bar.Grip[0].left - bar.Bar.left, bar.Bar.right - bar.Grip[0].right);  // centred

    bar = TearOffBar(r, true, false, 100);
    EXPECT_EQ(bar.Strip.Height(), 3);
    ASSERT_EQ(bar.Grip.size(), 2u);
    EXPECT_EQ(bar.Grip[0].top, 1 + 2);
    EXPECT_EQ(bar.Grip[1].top, 1 + 4);
    EXPECT_EQ(TearOffBar(r, false, true, 100).Strip.Height(), 2);  // a hidden first row
}

TEST(MenuLayout, HiddenRunsJoinIntoOneBandAndSeparatorsAtItsEdgeStayOut)
{
    // n normal item, h hidden item, s separator, S hidden separator; bits as H (isHidden),
    // P (isHiddenPrev), S (isHiddenSucc) per row.
    const auto rows = [](const std::string& pattern) {
        std::vector<THiddenRow> r;
        for (char c : pattern)
            r.push_back(THiddenRow{c == 'h' || c == 'S', c == 's' || c == 'S'});
        return r;
    };
    const auto bits = [](T_AM2000_its its) {
        std::string s;
        s += (its & ItsBit(isHidden)) ? 'H' : '.';
        s += (its & ItsBit(isHiddenPrev)) ? 'P' : '.';
        s += (its & ItsBit(isHiddenSucc)) ? 'S' : '.';
        return s;
    };
    struct Case {
        const char* pattern;
        bool draggable;
        std::vector<std::string> expected;
    } cases[] = {
        {"nhhn", false, {"..S", "H.S", "HP.", ".P."}},  // a run, its neighbours lose their joining corners
        {"hn", false, {"HP.", ".P."}},                   // the first row joins the frame band
        {"hn", true, {"H..", ".P."}},                    // ... not under the tear-off bar
        {"nh", false, {"..S", "H.S"}},                   // the last row joins the bottom band
        {"hsh", false, {"HPS", ".PS", "HPS"}},           // a separator inside the band is the band's
        {"nSh", false, {"..S", "..S", "H.S"}},           // a hidden separator starting the run is not
        {"hSn", false, {"HP.", "HP.", ".P."}},           // the band ends above a separator before a shown item
        {"nnhshnn", true, {"...", "..S", "H.S", ".PS", "HP.", ".P.", "..."}},
    };
    for (const Case& c : cases) {
        const std::vector<THiddenRow> r = rows(c.pattern);
        for (size_t i = 0; i < r.size(); ++i) {
            EXPECT_EQ(bits(HiddenRowBits(r, i, c.draggable)), c.expected[i]) << c.pattern << " row " << i;
            // The window asks with the rows around the one it paints.
            const size_t from = i < 2 ? 0 : i - 2, to = std::min(r.size(), i + 3);
            const std::vector<THiddenRow> near(r.begin() + static_cast<std::ptrdiff_t>(from),
                                               r.begin() + static_cast<std::ptrdiff_t>(to));
            EXPECT_EQ(HiddenRowBits(near, i - from, c.draggable), HiddenRowBits(r, i, c.draggable));
        }
    }
    EXPECT_EQ(HiddenRowBits({}, 0, false), 0u);
}

TEST(MenuLayout, AHiddenRowsFillReachesOverTheBorderButLeavesTheGutter)
{
    const TRect row(10, 20, 110, 40);
    const T_AM2000_its d3 = ItsBit(isHidden) | ItsBit(isCtl3d);
    struct Case {
        int border;
        T_AM2000_its its;
        int gutter;
        bool mirrored;
        TRect expected;
    } cases[] = {
        {2, ItsBit(isHidden), 0, false, TRect(8, 20, 112, 40)},
        {0, ItsBit(isHidden), 0, false, row},
        {2, d3, 0, false, TRect(7, 20, 113, 40)},                              // a pixel more with the 3D look
        {2, d3 | ItsBit(isNoLeftSunken), 0, false, TRect(8, 20, 113, 40)},      // ... not on a no-sunken side
        {2, d3 | ItsBit(isNoRightSunken), 0, false, TRect(7, 20, 112, 40)},
        {2, ItsBit(isHidden), 16, false, TRect(26, 20, 112, 40)},             // the gutter on the glyph side stays
        {2, ItsBit(isHidden), 16, true, TRect(8, 20, 94, 40)},                // at the right when mirrored
    };
    for (const Case& c : cases)
        EXPECT_EQ(HiddenRowFill(row, c.border, c.its, c.gutter, c.mirrored), c.expected)
            << c.border << " " << c.its << " " << c.gutter << " " << c.mirrored;
}
