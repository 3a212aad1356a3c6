#include "MenuUtilsCore.h"

#include "framework/ShortCuts.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace {

bool EscapesOn = true;

// The classic scheme, answering natively where no system colours exist.
uint32_t ClassicSysColor(int index)
{
    static constexpr uint32_t Colors[] = {
        0xC8D0D4, 0x000000, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
        0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
        0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
        0xE1FFFF,
    };
    return index >= 0 && index < static_cast<int>(std::size(Colors)) ? Colors[index] : 0;
}

TSysColorResolver SysColorResolver = ClassicSysColor;

int UpdateCount = 0;
bool RefreshPending = false;
std::vector<IMenuRefreshTarget*> RefreshTargets;

int RoundEven(double value) { return static_cast<int>(std::nearbyint(value)); }

bool IsSeparatorChar(char c) { return c == '-' || c == '=' || c == '.' || c == ':' || c == ' '; }

char UpperChar(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool CaptionEscapes() { return EscapesOn; }
void SetCaptionEscapes(bool on) { EscapesOn = on; }

void MakeBlendTable(int opacity, TBlendTable& table)
{
    if (opacity == 100) {
        table.reset();
        return;
    }
    if (!table)
        table = std::make_unique<uint8_t[]>(65536);
    for (int f = 0; f < 256; ++f)
        for (int b = 0; b < 256; ++b)
            table[f * 256 + b] = static_cast<uint8_t>(RoundEven(((f - b) * opacity + b * 100) / 100.0));
}

void BlendRow(const uint8_t* foreground, const uint8_t* background, uint8_t* dest, size_t destStart,
              size_t destEnd, const uint8_t* table)
{
    for (size_t k = destStart; k < destEnd; ++k)
        dest[k] = table[foreground[k] * 256 + background[k]];
}

void SetSysColorResolver(TSysColorResolver resolver) { SysColorResolver = resolver ? resolver : ClassicSysColor; }

TColor ResolveColor(TColor color)
{
    if (color < 0)
        return static_cast<TColor>(SysColorResolver(color & 0xFF));
    return color;
}

TColor GradientStep(TColor from, TColor to, double steps)
{
    const TColor a = ResolveColor(from), b = ResolveColor(to);
    TColor result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        const double delta = (cb - ca) / steps;
        if (!std::isfinite(delta))  // the division raises: Steps 0
            return a;
        result |= ((ca + RoundEven(delta)) & 0xFF) << shift;
    }
    return result;
}

TSunkenPattern SunkenPattern(TColor highlight, TColor face, int bitsPerPixel)
{
    TSunkenPattern pattern{};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pattern[static_cast<size_t>(y * 8 + x)] = (x % 2 == y % 2 || bitsPerPixel > 8) ? highlight : face;
    return pattern;
}

void BeginMenuUpdate() { ++UpdateCount; }

void EndMenuUpdate()
{
    if (UpdateCount <= 0)
        return;
    if (--UpdateCount == 0 && RefreshPending)
        RefreshAllMenus();
}

int MenuUpdateCount() { return UpdateCount; }
bool MenuRefreshPending() { return RefreshPending; }

void RefreshAllMenus()
{
    RefreshPending = true;
    if (UpdateCount >= 1)
        return;
    const auto targets = RefreshTargets;  // a repaint may register or leave
    for (IMenuRefreshTarget* t : targets)
        if (std::find(RefreshTargets.begin(), RefreshTargets.end(), t) != RefreshTargets.end())
            t->RefreshMenuWindow();
    RefreshPending = false;
}

void RegisterMenuRefreshTarget(IMenuRefreshTarget* target)
{
    if (std::find(RefreshTargets.begin(), RefreshTargets.end(), target) == RefreshTargets.end())
        RefreshTargets.push_back(target);
}

void UnregisterMenuRefreshTarget(IMenuRefreshTarget* target) { std::erase(RefreshTargets, target); }

bool IsSeparatorCaption(std::string_view text) { return !text.empty() && IsSeparatorChar(text[0]); }

std::string StripAccelerators(std::string_view caption)
{
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += caption[i];
    }
    return out;
}

namespace {

// The letter after the first single "&", or 0.
char MarkedAccelerator(std::string_view caption)
{
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return caption[i + 1];
    }
    return 0;
}

}  // namespace

bool IsAccelKey(char key, std::string_view caption, bool firstLetter)
{
    if (!((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')))
        return false;
    const char marked = MarkedAccelerator(caption);
    if (marked && UpperChar(marked) == key)
        return true;
    if (firstLetter && !caption.empty()) {
        const std::string stripped = StripAccelerators(caption);
        return !stripped.empty() && UpperChar(stripped[0]) == key;
    }
    return false;
}

bool IsItemAccelKey(char key, std::string_view caption)
{
    return IsAccelKey(key, caption, caption.find('&') == std::string_view::npos);
}

TCaptionParts SplitCaption(std::string_view text)
{
    size_t at = text.find('\t');
    size_t skip = 1;
    if (at == std::string_view::npos && EscapesOn) {
        at = text.find("\\a");
        skip = 2;
    }
    if (at == std::string_view::npos)
        return {std::string(text), {}};
    return {std::string(text.substr(0, at)), std::string(text.substr(at + skip))};
}

std::vector<std::string> SplitCaptionLines(std::string_view text)
{
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            lines.emplace_back();
        } else if (EscapesOn && text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            ++i;
            lines.emplace_back();
        } else {
            lines.back() += text[i];
        }
    }
    return lines;
}

int LineCount(std::string_view text) { return static_cast<int>(SplitCaptionLines(text).size()); }

std::string FirstShortCut(std::string_view text)
{
    const size_t at = text.find(';');
    if (at == std::string_view::npos)
        return std::string(text);
    return Trim(text.substr(0, at));
}

std::string CanonicalShortCutList(std::string_view text)
{
    if (text.empty() || text == "\x01")
        return "\x01";
    std::string stored;
    while (true) {
        const size_t at = text.find(';');
        const std::string part = Trim(text.substr(0, at));
        if (part.empty())
            break;
        const TShortCut key = TextToShortCut(part);
        if (key == 0)
            throw EMenuError("Invalid shortcut: '" + part + "'");
        if (!stored.empty())
            stored += ';';
        stored += ShortCutToText(key);
        if (at == std::string_view::npos)
            break;
        text.remove_prefix(at + 1);
    }
    return stored.empty() ? "\x01" : stored;
}

bool ShortcutListContains(std::string_view text, std::string_view list)
{
    if (text.empty())
        return false;
    const size_t at = list.find(text);
    if (at == std::string_view::npos)
        return false;
    const size_t end = at + text.size();
    return (at == 0 || list[at - 1] == ';') && (end == list.size() || list[end] == ';');
}

int StripFrameIndex(int frameCount, T_AM2000_its state)
{
    const auto has = [state](T_AM2000_itsBit b) { return (state & ItsBit(b)) != 0; };
    if (frameCount == 8)
        return (has(isSelected) ? 4 : 0) + (has(isDisabled) ? 2 : 0) + (has(isChecked) ? 1 : 0);
    if (frameCount == 6)
        return (has(isDisabled) ? 2 : has(isSelected) ? 4 : 0) + (has(isChecked) ? 1 : 0);
    if (has(isChecked))
        return 2;
    if (has(isDisabled))
        return 1;
    if (has(isPressed))
        return 2;
    if (has(isSelected))
        return 3;
    return 0;
}

std::vector<uint32_t> GlowBlur(const std::vector<uint32_t>& pixels, int width, int height)
{
    static constexpr int Weights[3][3] = {{1, 2, 1}, {2, 2, 2}, {1, 2, 1}};
    if (width <= 0 || height <= 0 || pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        return pixels;
    std::vector<uint32_t> out(pixels.size());
    const auto at = [width](int x, int y) { return static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x); };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int total = 0;
            int sums[4] = {};
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= width || ny >= height)
                        continue;
                    const int w = Weights[dy + 1][dx + 1];
                    total += w;
                    for (int c = 0; c < 4; ++c)
                        sums[c] += w * static_cast<int>((pixels[at(nx, ny)] >> (8 * c)) & 0xFF);
                }
            uint32_t value = 0;
            for (int c = 0; c < 4; ++c)
                value |= static_cast<uint32_t>(std::nearbyint(static_cast<double>(sums[c]) / total)) << (8 * c);
            out[at(x, y)] = value;
        }
    return out;
}
