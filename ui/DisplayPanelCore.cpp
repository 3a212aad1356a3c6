#include "ui/DisplayPanelCore.h"

#include "framework/SysUtils.h"

#include <algorithm>
#include <cmath>

namespace {
// Delphi's Round: halves to even.
int RoundHalfEven(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

// A single digit character's value, none for anything else.
std::optional<int> DigitOf(char c)
{
    if (c < '0' || c > '9')
        return std::nullopt;
    return c - '0';
}

// The whole text as a number; 0 when it is not one.
int NumberOf(const std::string& text)
{
    int value = 0;
    if (text.empty())
        return 0;
    for (char c : text) {
        const std::optional<int> d = DigitOf(c);
        if (!d)
            return 0;
        value = value * 10 + *d;
        if (value > 1000000)
            return value;
    }
    return value;
}
}

std::optional<TDisplayColors> DisplayThemeColors(int theme)
{
    static constexpr TDisplayColors themes[kDisplayThemeCount] = {
        {0xBB7B42, 0xF0CAA6}, {0x000080, 0x0000FF}, {0x008080, 0x00FFFF}, {0x008000, 0x00FF00}};
    if (theme < 0 || theme >= kDisplayThemeCount)
        return std::nullopt;
    return themes[theme];
}

std::vector<TSpriteCell> TimeDisplayCells(const std::string& hours, const std::string& minutes,
                                          const std::string& seconds, bool remaining)
{
    constexpr int h = kTimeDisplayHeight;
    std::vector<TSpriteCell> cells;
    if (remaining)
        cells.push_back({TRect(143, 0, 156, h), TRect(0, 0, 13, h)});
    const auto digit = [&](const std::string& text, size_t index, int boxX) {
        if (index >= text.size())
            return;
        if (const std::optional<int> d = DigitOf(text[index]))
            cells.push_back({TRect(*d * 13, 0, *d * 13 + 13, h), TRect(boxX, 0, boxX + 13, h)});
    };
    const int separatorX = NumberOf(seconds) % 2 == 0 ? 159 : 172;
    const auto separator = [&](int boxX) {
        cells.push_back({TRect(separatorX, 0, separatorX + 7, h), TRect(boxX, 0, boxX + 7, h)});
    };
    digit(hours, 0, 13);
    digit(hours, 1, 26);
    separator(39);
    digit(minutes, 0, 46);
    digit(minutes, 1, 59);
    separator(72);
    digit(seconds, 0, 79);
    digit(seconds, 1, 92);
    return cells;
}

std::optional<TRect> StateSymbolCell(uint8_t state)
{
    switch (state) {
    case 1: return TRect(36, 0, 48, 12);
    case 2: return TRect(48, 0, 60, 12);
    case 0:
    case 3: return TRect(60, 0, 72, 12);
    default: return std::nullopt;
    }
}

int NextAudioStream(int selected, int count)
{
    if (count <= 0)
        return -1;
    const int next = selected + 1;
    return next >= count || next < 0 ? 0 : next;
}

std::string AudioStreamOSDText(const std::string& name, int index)
{
    if (!name.empty())
        return "Audio: " + name;
    return "Audio: Audio Stream " + std::to_string(index + 1);
}

TSubtitleStep NextSubtitleLanguage(int selected, int count)
{
    const int next = selected + 1;
    if (next >= count || next < 0)
        return {0, true};
    return {next, false};
}

std::string SubtitleOSDText(const TSubtitleStep& step, const std::string& name)
{
    if (step.Wrapped || name.empty())
        return "Subtitles: None";
    return "Subtitles: " + name;
}

int CaptionTextLeft(int boxWidth, int textWidth)
{
    return RoundHalfEven(boxWidth / 2.0) - RoundHalfEven(textWidth / 2.0);
}

int ProgressPlayedWidth(int boxWidth, int32_t progress)
{
    return RoundHalfEven(boxWidth / 100.0 * (progress / 100.0));
}

double ProgressPercentAt(int boxWidth, int x)
{
    if (x < 1 || boxWidth <= 0)
        return 0;
    return 100.0 / (static_cast<double>(boxWidth) / x);
}

std::string GotoHintText(int32_t tenths)
{
    if (tenths <= 0)
        return {};
    return Format("%s %2.2d:%2.2d:%2.2d", "Goto", tenths / 36000, tenths % 36000 / 600, tenths % 600 / 10);
}

std::optional<double> ProgressSeekPercent(int boxWidth, int x)
{
    if (x < 1 || x > boxWidth - 2)
        return std::nullopt;
    if (x - 1 < 1)
        return 0.0;
    return 100.0 / (static_cast<double>(boxWidth) / (x - 1));
}

// ---- title scroller ----

TTitleScroller::TTitleScroller(int boxWidth, TTextWidth textWidth) : FBoxWidth(boxWidth), FTextWidth(std::move(textWidth))
{
}

void TTitleScroller::SetTitleInfo(const std::vector<std::string>& lines)
{
    Lines = lines;
    if (!Current.empty() && !Lines.empty()) {
        LineIndex = 0;
        Previous = Current;
        Restart = true;
        State = tsCrossFade;
        Alpha = 0;
    }
}

void TTitleScroller::Hold(uint32_t now, uint32_t length)
{
    State = tsHold;
    HoldStart = now;
    HoldLength = length;
}

void TTitleScroller::Advance(uint32_t now)
{
    const int count = static_cast<int>(Lines.size());
    if (count > LineIndex && count > 1) {
        State = tsCrossFade;
        Alpha = 0;
        LineIndex = LineIndex + 1 >= count ? 0 : LineIndex + 1;
        Current = Lines[static_cast<size_t>(LineIndex)];
    } else {
        State = tsHold;
        HoldStart = now;
    }
}

void TTitleScroller::TimerStep(uint32_t now, bool networkStatus)
{
    // 1.
    if (networkStatus)
        return;
    // 2.
    if (State == tsFadeOut) {
        if (Alpha < 1) {
            State = tsIdle;
            Current.clear();
            LineIndex = 0;
            Counter = 0;
        }
        return;
    }
    // 3.
    if (!Current.empty() && Lines.empty()) {
        State = tsFadeOut;
        Alpha = 200;
        return;
    }
    // 4.
    if (State == tsCrossFade) {
        if (Alpha >= 200) {
            if (Restart) {
                Restart = false;
                Offset = 0;
                Counter = 0;
            }
            Hold(now, 4000);
        }
        return;
    }
    // 5.
    if (State == tsScrollRight) {
        if (Offset >= 0) {
            ++Counter;
            Hold(now, 2000);
        }
        return;
    }
    // 6.
    if (State == tsScrollLeft) {
        if (FTextWidth(Current) + Offset < FBoxWidth - 3) {
            ++Counter;
            Hold(now, 2000);
        }
        return;
    }
    // 7. The difference wraps with the tick count.
    if (State == tsHold && static_cast<uint32_t>(now - HoldStart) > HoldLength) {
        HoldStart = 0;
        if (FTextWidth(Current) <= FBoxWidth) {
            Advance(now);
        } else if (Counter == 0) {
            State = tsScrollLeft;
        } else if (Counter == 1) {
            State = tsScrollRight;
        } else {
            Counter = 0;
            Advance(now);
        }
        return;
    }
    // 8.
    if (State == tsFadeIn) {
        if (Alpha >= 200)
            Hold(now, 2000);
        return;
    }
    // 9.
    if (Current.empty()) {
        if (!Lines.empty()) {
            Offset = 0;
            LineIndex = 0;
            Current = Lines[0];
            State = tsFadeIn;
            Alpha = 0;
        } else {
            State = tsIdle;
        }
    }
}

std::vector<TTitleScroller::TTextDraw> TTitleScroller::Paint()
{
    std::vector<TTextDraw> draws;
    switch (State) {
    case tsFadeIn:
        Alpha = std::min(Alpha + 40, 200);
        draws.push_back({Current, Offset + 2, Alpha});
        break;
    case tsFadeOut:
        Alpha = std::max(Alpha - 40, 0);
        draws.push_back({Current, Offset + 2, Alpha});
        break;
    case tsHold: draws.push_back({Current, Offset + 2, 200}); break;
    case tsScrollLeft:
        draws.push_back({Current, Offset + 2, 200});
        Offset -= 2;
        break;
    case tsScrollRight:
        draws.push_back({Current, Offset + 2, 200});
        Offset += 2;
        break;
    case tsCrossFade:
        Alpha = std::min(Alpha + 20, 200);
        if (Restart) {
            if (!Lines.empty())
                Current = Lines[0];
            draws.push_back({Previous, Offset + 2, 255 - Alpha});
            draws.push_back({Current, 2, Alpha});
        } else {
            if (!Lines.empty()) {
                const size_t before = LineIndex == 0 || static_cast<size_t>(LineIndex) > Lines.size()
                                          ? Lines.size() - 1
                                          : static_cast<size_t>(LineIndex) - 1;
                Previous = Lines[before];
            }
            draws.push_back({Previous, Offset + 2, 200 - Alpha});
            draws.push_back({Current, Offset + 2, Alpha});
        }
        break;
    case tsIdle: break;
    }
    return draws;
}
