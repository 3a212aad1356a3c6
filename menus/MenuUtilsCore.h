#pragma once
// Platform-free routines shared by the menu family: the opacity blend table, colour gradient
// steps, the update lock with its deferred refresh, caption syntax (separators, accelerators,
// shortcut column, line breaks) and the glyph-strip frame choice.
#include "framework/ColorNames.h"
#include "framework/SysUtils.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Errors of menus and their items ("Menu not found", "Invalid shortcut: 'Foo'").
class EMenuError : public Exception { using Exception::Exception; };

// ---- Escape switch: "\a" and "\n" inside captions act like a tab and a line break ----
bool CaptionEscapes();
void SetCaptionEscapes(bool on);

// ---- Opacity blend table ----
using TBlendTable = std::unique_ptr<uint8_t[]>;
// Opacity 100 frees the table; otherwise entry [F*256 + B] = Round(((F - B)*O + B*100) / 100),
// ties to even.
void MakeBlendTable(int opacity, TBlendTable& table);
// dest[k] = table[fg[k]*256 + bg[k]] for k in [destStart, destEnd).
void BlendRow(const uint8_t* foreground, const uint8_t* background, uint8_t* dest, size_t destStart,
              size_t destEnd, const uint8_t* table);

// ---- Colours ----
// Turns a system colour code (0x80000000 | index) into RGB; the Win32 shell installs
// GetSysColor, natively a fixed classic palette answers.
using TSysColorResolver = uint32_t (*)(int index);
void SetSysColorResolver(TSysColorResolver resolver);
TColor ResolveColor(TColor color);
// From + Round((To - From) / Steps) per channel, wrapping in 8 bits; Steps 0 gives From.
TColor GradientStep(TColor from, TColor to, double steps);

// The fill of a hidden row without a sunken colour, 8 x 8 pixels row by row from the top: where x
// and y are both even or both odd the highlight colour, elsewhere the face colour on screens of
// at most 8 bits per pixel (a dither reads as a lighter face there), the highlight on deeper ones.
using TSunkenPattern = std::array<TColor, 64>;
TSunkenPattern SunkenPattern(TColor highlight, TColor face, int bitsPerPixel);

// ---- Glow ----
// Each pixel becomes the mean of its 3x3 neighbourhood weighted 1 2 1 / 2 2 2 / 1 2 1, neighbours
// outside the picture left out, each byte channel rounded (ties to even). Rows of `width` pixels.
std::vector<uint32_t> GlowBlur(const std::vector<uint32_t>& pixels, int width, int height);

// ---- Update lock with deferred refresh ----
class IMenuRefreshTarget {
public:
    virtual void RefreshMenuWindow() = 0;

protected:
    ~IMenuRefreshTarget() = default;
};
void BeginMenuUpdate();
void EndMenuUpdate();  // at count 0 nothing; the last End runs a pending refresh
int MenuUpdateCount();
bool MenuRefreshPending();
// Refreshes every registered target now, or once at the last EndMenuUpdate under the lock.
void RefreshAllMenus();
void RegisterMenuRefreshTarget(IMenuRefreshTarget* target);
void UnregisterMenuRefreshTarget(IMenuRefreshTarget* target);

// ---- Captions ----
bool IsSeparatorCaption(std::string_view text);
std::string StripAccelerators(std::string_view caption);
// True for a digit or capital key marked by "&" in the caption or, with firstLetter, equal to
// the stripped caption's first character upper-cased.
bool IsAccelKey(char key, std::string_view caption, bool firstLetter);
bool IsItemAccelKey(char key, std::string_view caption);

struct TCaptionParts {
    std::string Caption;
    std::string ShortCut;
};
// Caption and shortcut column: split at the first tab, or with escapes at the first "\a".
TCaptionParts SplitCaption(std::string_view text);
// Lines of a caption: breaks at CR (a LF right after it dropped) and, with escapes, at "\n".
std::vector<std::string> SplitCaptionLines(std::string_view text);
int LineCount(std::string_view text);
// The shown shortcut of a ";"-separated list: the text before the first ";", trimmed.
std::string FirstShortCut(std::string_view text);
// The stored form of an item's shortcut text: "" or "\x01" give "\x01" (explicitly none); else the
// ";"-separated parts trimmed, each turned into its canonical text ("Ctrl+C; Shift+Ins" gives
// "Ctrl+C;Shift+Ins"); an empty part ends the list; a part naming no key raises EMenuError.
std::string CanonicalShortCutList(std::string_view text);
// True when text is a whole entry of the ";"-separated list (its first occurrence).
bool ShortcutListContains(std::string_view text, std::string_view list);

// ---- Item state set and glyph strips ----
enum T_AM2000_itsBit : int {
    isChecked, isSelected, isDisabled, isHidden, isDefault, isRadio, isSubmenu, isHiddenPrev, isHiddenSucc,
    isSeparator, isGraphBack, isNoLeftSunken, isNoRightSunken, isFramed, isInsertBefore, isInsertAfter,
    isHorizontal, isShowAccelerators, isCtl3d, isPressed, isLeftToRight, isRightToLeft, isRightToLeftNoAlign,
    isRightToLeftReadingOnly, isMenuBarItem, isCheckable,
};
using T_AM2000_its = uint32_t;
constexpr T_AM2000_its ItsBit(T_AM2000_itsBit b) { return T_AM2000_its(1) << b; }
// The frame of a glyph strip of frameCount frames drawn for the state.
int StripFrameIndex(int frameCount, T_AM2000_its state);
