#pragma once
// What the menu window computes without a window: row heights and the row table, the window's
// size, its place on a monitor (flipping left or up, submenu overlap, scroll mode), the choice
// of the opening animation and its steps.
#include "MenuOptionsCore.h"
#include "framework/Types.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// ---- Layout ----

// One entry of a level as the measuring sees it; the shell fills the text widths.
struct TMenuRowInput {
    std::string Caption;  // the whole caption (separators, line breaks)
    bool Visible = true;
    bool Hidden = false;       // demoted: shown only with the hidden items
    int ControlHeight = -1;    // a hosted control's height, -1 without one
    int ControlWidth = 0;
    int BitmapHeight = 0;      // the item's own bitmap, 0 without one
    bool StandardGlyph = false;
    int ImageHeight = 0;       // the image list's height when the item shows an image, else 0
    int CaptionWidth = 0;      // widest caption line in the menu's font
    int ShortCutWidth = 0;     // 0 without shortcut text
};

struct TMenuLayoutInput {
    std::array<int, T_AM2000_Margins::RoleCount> Margins = T_AM2000_Margins::Defaults;
    int TextHeight = 13;  // "Hj" in the menu's font
    bool ThreeD = false, Draggable = false, Floating = false;
    bool TitleVisible = false;
    T_AM2000_TitlePosition TitlePosition = atLeft;
    int TitleWidth = 0;
    bool HiddenShown = false, HiddenAsRegular = false, Customising = false;
    bool LeftAlignedShortCuts = false, RightToLeft = false;
    TAlignment Alignment = taLeftJustify;
    int BackgroundWidth = 0, BackgroundHeight = 0;  // a blExpandMenu picture, else 0
    int ScrollBarWidth = 16;
    int M(T_AM2000_Margins::Role r) const { return Margins[r]; }
};

struct TMenuRow {
    int Top = 0, Height = 0;
    int Item = 0;  // index into the inputs
};

struct TMenuLayout {
    std::vector<TMenuRow> Rows;
    int FirstTop = 0;      // top y of the first row
    int ItemsLeft = 0;     // left x of the item column
    int CaptionWidth = 0;  // widest caption
    int ShortCutWidth = 0; // widest shortcut text
    int ContentWidth = 0;  // with the left and right margins
    bool HasHiddenItems = false;  // the expand button shows
    bool HiddenShown = false;     // all items were hidden, so they are shown
    int RowsBottom() const { return Rows.empty() ? FirstTop : Rows.back().Top + Rows.back().Height; }
    // Packed form: low 16 bits top, high 16 bits height.
    uint32_t Packed(int row) const;
};

constexpr int CaptionWidthCap = 300;
constexpr int ExpandButtonHeight = 13;
constexpr int TearOffHeight = 7;

int MenuLineHeight(int itemMargin, int textHeight);
int MenuRowHeight(const TMenuRowInput& row, const TMenuLayoutInput& in);
TMenuLayout MeasureMenu(const std::vector<TMenuRowInput>& rows, const TMenuLayoutInput& in);
int MenuWindowHeight(const TMenuLayout& layout, const TMenuLayoutInput& in);
int MenuWindowWidth(const TMenuLayout& layout, const TMenuLayoutInput& in, bool scrolling);
// The last row whose bottom fits above the window's lower frame, for a window of that height.
int LastRowThatFits(const TMenuLayout& layout, const TMenuLayoutInput& in, int height, int firstRow);

// ---- Reading order ----
struct TReadingOrder {
    bool Mirrored = false;       // glyphs, captions, shortcuts and arrows change sides
    bool SwapAlignment = false;  // left and right alignment of captions swap
    bool RightToLeftReading = false;
    T_AM2000_itsBit Bit = isLeftToRight;
};
TReadingOrder ReadingOrder(TBiDiMode mode);
// The caption's alignment in a level of that reading order.
TAlignment CaptionAlignment(TAlignment alignment, const TReadingOrder& order);
// A top window's left before placement: right alignment (or left alignment read right to left)
// puts the menu left of its point when there is room; centred, half over it.
int AlignedPopupLeft(int left, int width, TAlignment alignment, bool rightToLeftReading);

// ---- Placement ----

struct TPlacementInput {
    TRect Monitor;            // the window's monitor
    int Left = 0, Top = 0;    // the requested point (a submenu: its anchor)
    int TargetWidth = 0, TargetHeight = 0;
    bool Submenu = false;
    bool HasComponent = true;
    bool LeftwardsRequested = false;  // 0x514 kind 14
    bool ParentOpensLeftwards = false;
    int ParentLeft = 0, ParentWidth = 0;
    bool Centred = false;  // a top window with centred alignment
    // A top window dropped down from a menu bar, and the bar item it opens from (screen).
    bool MenuBar = false, VerticalBar = false;
    TRect BarItem;
};

struct TPlacement {
    int Left = 0, Top = 0;
    int Height = 0;  // the target height, or less in scroll mode
    bool OpensLeftwards = false, OpensUpwards = false, Scroll = false;
};

TPlacement PlaceMenu(const TPlacementInput& in);

// ---- Animation ----

enum class TSpiAnswer { Failed, Off, On };

bool IsAlphaKind(T_AM2000_Animation kind);
bool IsHorzGrowthKind(T_AM2000_Animation kind);
bool IsVertGrowthKind(T_AM2000_Animation kind);
bool IsSizeKind(T_AM2000_Animation kind);
bool IsStretchKind(T_AM2000_Animation kind);
bool IsRollKind(T_AM2000_Animation kind);

struct TAnimationChoice {
    T_AM2000_Animation Stored = anNone;     // what the step routine runs by
    T_AM2000_Animation Effective = anNone;  // what sets the steps and start size
};

struct TAnimationQuery {
    bool NoAnimation = false;       // asked for none, keyboard-opened submenu, customising
    bool VerticalBar = false;       // opened from a vertical menu bar
    bool SiblingWithoutFlag = false;  // a sibling submenu without mfAnimationOnSiblings
    std::function<TSpiAnswer()> MenuAnimation;  // SPI_GETMENUANIMATION
    std::function<TSpiAnswer()> MenuFade;       // SPI_GETMENUFADE
    std::function<int()> RandomBit;             // 0 or 1
};

TAnimationChoice ResolveAnimation(T_AM2000_Animation kind, const TAnimationQuery& query);

constexpr int AnimationSteps = 16;
constexpr int AnimationStepDelay = 10;
constexpr int AnimationStartDivisor = 10;

struct TAnimationStart {
    int HorzStep = 1, VertStep = 1;
    int Width = 0, Height = 0;
};
TAnimationStart AnimationStart(T_AM2000_Animation effective, int targetWidth, int targetHeight,
                               int steps = AnimationSteps, int divisor = AnimationStartDivisor);

// One size step: grows width and height toward the target; Done when a step reaches it (the
// window then takes its full size at once).
struct TSizeStep {
    int Width = 0, Height = 0;
    bool Grew = false, Done = false;
};
TSizeStep NextSizeStep(int width, int height, int targetWidth, int targetHeight, int horzStep, int vertStep);

// Alpha frames run while frame < steps x opacity / 100.
bool AlphaFrameRuns(int frame, int opacity, int steps = AnimationSteps);
int AlphaOfFrame(int frame, int steps = AnimationSteps);
int FinalAlpha(int opacity);

// Software alpha: per byte (menu - desktop) / steps truncated to a signed byte.
int8_t AlphaDelta(uint8_t menu, uint8_t desktop, int steps = AnimationSteps);
// One software frame: each byte gains its delta, clamped to 0..255.
void ApplyAlphaDeltas(uint8_t* image, const int8_t* deltas, size_t count);

// ---- The layout record of the item painter ----
struct T_AM2000_MenuItemRect {
    int ContentLeft = 0, ContentRight = 0, CaptionLeft = 0, CaptionWidth = 0, ShortCutLeft = 0, ShortCutWidth = 0;
    int GlyphLeft = 0, GlyphWidth = 0, ArrowLeft = 0, ArrowWidth = 0, TitleLeftWidth = 0, TitleRightWidth = 0;
    int ItemTop = 0, ItemBottom = 0, FrameWidth = 0, ThreeD = 0, BufferWidth = 0, BackLeft = 0, BackWidth = 0;
};
// gutter: the gutter colour is not clNone.
T_AM2000_MenuItemRect MenuItemRect(const TMenuLayout& layout, const TMenuLayoutInput& in, int bufferWidth, bool gutter,
                                   bool scrolling);
// The separator line's indents (left, right) by the flags; gutter adds the gutter width on the glyph side.
struct TSeparatorIndent {
    int Left = 14, Right = 14;
};
TSeparatorIndent SeparatorIndent(T_AM2000_Flags flags, const TMenuLayoutInput& in, bool gutter);

// ---- Hidden neighbours ----
// A shown row as the look of hidden items sees it: its item's stored hidden flag and whether its
// caption is a separator's.
struct THiddenRow {
    bool Hidden = false, Separator = false;
};
// isHidden, isHiddenPrev and isHiddenSucc of one row while hidden items are shown: a hidden run of
// rows joins into one sunken band, a separator between two hidden items belongs to the band, and a
// separator at the band's edge stays outside it. The first row of a draggable menu sits under the
// tear-off bar, so it never joins upwards. Only the rows up to two each way are read.
T_AM2000_its HiddenRowBits(const std::vector<THiddenRow>& rows, size_t row, bool draggable);

// The sunken fill of a hidden row: the row reaches over the border on both sides (a pixel further
// with the 3D look, except on a side marked no-sunken); the gutter strip on the glyph side stays.
// gutter is the strip's width inside the row (0 for none); mirrored: the glyph side is the right.
TRect HiddenRowFill(const TRect& row, int border, T_AM2000_its its, int gutter, bool mirrored);

// ---- The tear-off bar ----
// The bar over the content's width below the frame, the strip of menu colour under it (a pixel
// shorter when the first row's item is hidden) and, in the flat style, the grip's lines: three
// 33 pixels long and centred at 1, 3 and 5 below the bar's top, two at 2 and 4 when selected.
struct TTearOffBar {
    TRect Bar, Strip;
    std::vector<TRect> Grip;
};
// The strip never reaches into the first row (rowsTop).
TTearOffBar TearOffBar(const T_AM2000_MenuItemRect& rect, bool selected, bool firstRowHidden, int rowsTop);

// ---- The title band ----
// The band's place in a window of that size: at the left or right between the frames, at the top
// below the tear-off bar, at the bottom above the frame.
TRect TitleBandRect(const TMenuLayoutInput& in, int bufferWidth, int bufferHeight);
// One colour step of a blend, per channel; colours as 0x00BBGGRR.
uint32_t BlendStep(uint32_t begin, uint32_t end, int step, int steps);
struct TGradientStrip {
    TRect Rect;
    uint32_t Color = 0;
};
// The strips that make the band's gradient, painted in order. A gradient starts where forward
// text starts: at the bottom when vertical, at the left when horizontal.
std::vector<TGradientStrip> TitleGradient(T_AM2000_Gradient kind, T_AM2000_GradientDirection direction,
                                          const TRect& band, uint32_t begin, uint32_t end);
struct TTitleText {
    TPoint Origin;       // the text's reference point for TextOut
    int Escapement = 0;  // tenths of a degree
};
TTitleText TitleTextPlace(const TRect& band, T_AM2000_TitlePosition position, TAlignment alignment,
                          T_AM2000_TextDirection direction, int textLength, int textHeight);
