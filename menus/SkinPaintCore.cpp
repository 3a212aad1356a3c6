#include "SkinPaintCore.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int MaxPictureSide = 16384;

uint32_t Byte(const std::string& d, size_t at) { return static_cast<uint8_t>(d[at]); }

uint32_t U32(const std::string& d, size_t at)
{
    return Byte(d, at) | Byte(d, at + 1) << 8 | Byte(d, at + 2) << 16 | Byte(d, at + 3) << 24;
}

uint16_t U16(const std::string& d, size_t at) { return static_cast<uint16_t>(Byte(d, at) | Byte(d, at + 1) << 8); }

// The file's header at `at`, checked against the `size` bytes that follow.
std::optional<TSkinPictureFile> ReadFileAt(const std::string& d, size_t at, size_t size)
{
    constexpr size_t FileHeader = 14, InfoHeader = 40;
    if (size < FileHeader + InfoHeader || d[at] != 'B' || d[at + 1] != 'M')
        return std::nullopt;
    const uint32_t bitsAt = U32(d, at + 10), infoSize = U32(d, at + 14);
    const auto width = static_cast<int32_t>(U32(d, at + 18)), height = static_cast<int32_t>(U32(d, at + 22));
    const uint16_t bitCount = U16(d, at + 28);
    const uint32_t compression = U32(d, at + 30);
    if (infoSize < InfoHeader || infoSize > size - FileHeader || width <= 0 || width > MaxPictureSide ||
        height == 0 || height < -MaxPictureSide || height > MaxPictureSide)
        return std::nullopt;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return std::nullopt;
    if (compression != 0 && !(compression == 3 && (bitCount == 16 || bitCount == 32)))
        return std::nullopt;
    // The palette (or the three masks of a bit-fields picture) lies between the header and the bits.
    const uint32_t used = U32(d, at + 46);
    if (used > (bitCount <= 8 ? (1u << bitCount) : 1u << 24))
        return std::nullopt;
    const uint64_t colors = bitCount <= 8 ? (used ? used : 1u << bitCount) : used;
    const uint64_t masks = compression == 3 && infoSize == InfoHeader ? 12 : 0;
    const uint64_t stride = (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
    const uint64_t rows = static_cast<uint64_t>(height < 0 ? -static_cast<int64_t>(height) : height);
    if (bitsAt < FileHeader + infoSize + masks + colors * 4 || bitsAt > size || stride * rows > size - bitsAt)
        return std::nullopt;
    TSkinPictureFile f;
    f.Offset = at;
    f.Size = size;
    f.Width = width;
    f.Height = static_cast<int>(rows);
    return f;
}

// The part of a picture placed with its top left at (x, y) that falls inside the target.
TPictureCopy Clipped(const TRect& target, int x, int y, int width, int height)
{
    const TRect dest(std::max(x, target.left), std::max(y, target.top), std::min(x + width, target.right),
                     std::min(y + height, target.bottom));
    if (dest.right <= dest.left || dest.bottom <= dest.top)
        return {};
    return {TRect(dest.left - x, dest.top - y, dest.right - x, dest.bottom - y), dest};
}

void Add(std::vector<TPictureCopy>& list, const TPictureCopy& c)
{
    if (c.Source.Width() > 0 && c.Source.Height() > 0 && c.Dest.Width() > 0 && c.Dest.Height() > 0)
        list.push_back(c);
}

// The three parts of one axis: the two ends unscaled, the middle unscaled when the target's is
// not longer, else the picture's whole middle stretched.
struct TSpans {
    int SourceFrom[3], SourceTo[3], DestFrom[3], DestTo[3];
};
TSpans Spans(int from, int to, int picture, int startCorner, int endCorner)
{
    const int length = to - from;
    startCorner = std::clamp(startCorner, 0, std::min(picture, length) / 2);
    endCorner = std::clamp(endCorner, 0, std::min(picture, length) / 2);
    const int sourceMiddle = picture - startCorner - endCorner, destMiddle = length - startCorner - endCorner;
    const int middle = std::min(sourceMiddle, destMiddle);
    return {{0, startCorner, picture - endCorner},
            {startCorner, startCorner + middle, picture},
            {from, from + startCorner, to - endCorner},
            {from + startCorner, to - endCorner, to}};
}

}  // namespace

std::optional<TSkinPictureFile> FindSkinPictureFile(const std::string& data)
{
    if (data.size() >= 4 + 2 && U32(data, 0) == data.size() - 4)
        if (auto f = ReadFileAt(data, 4, data.size() - 4))
            return f;
    return data.size() >= 2 ? ReadFileAt(data, 0, data.size()) : std::nullopt;
}

std::vector<TPictureCopy> NinePartCopies(const TRect& dest, int pictureWidth, int pictureHeight, int cornerWidth,
                                         int cornerHeight, bool noTopCorners, bool noBottomCorners)
{
    std::vector<TPictureCopy> list;
    if (pictureWidth <= 0 || pictureHeight <= 0)
        return list;
    const TSpans x = Spans(dest.left, dest.right, pictureWidth, cornerWidth, cornerWidth);
    const TSpans y = Spans(dest.top, dest.bottom, pictureHeight, noTopCorners ? 0 : cornerHeight,
                           noBottomCorners ? 0 : cornerHeight);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            Add(list, {TRect(x.SourceFrom[col], y.SourceFrom[row], x.SourceTo[col], y.SourceTo[row]),
                       TRect(x.DestFrom[col], y.DestFrom[row], x.DestTo[col], y.DestTo[row])});
    return list;
}

std::vector<TPictureCopy> BackgroundCopies(T_AM2000_BackgroundLayout layout, const TRect& dest, int pictureWidth,
                                           int pictureHeight, int cornerWidth, int cornerHeight)
{
    std::vector<TPictureCopy> list;
    if (pictureWidth <= 0 || pictureHeight <= 0 || dest.Width() <= 0 || dest.Height() <= 0)
        return list;
    switch (layout) {
    case blDefault:
    case blExpandMenu: Add(list, Clipped(dest, dest.left, dest.top, pictureWidth, pictureHeight)); break;
    case blTile:
        for (int y = dest.top; y < dest.bottom; y += pictureHeight)
            for (int x = dest.left; x < dest.right; x += pictureWidth)
                Add(list, Clipped(dest, x, y, pictureWidth, pictureHeight));
        break;
    case blStretch: Add(list, {TRect(0, 0, pictureWidth, pictureHeight), dest}); break;
    case blSkin: return NinePartCopies(dest, pictureWidth, pictureHeight, cornerWidth, cornerHeight);
    default: {
        const int at = layout - blAtTopLeft, column = at % 3, row = at / 3;
        int x = dest.left, y = dest.top;
        if (column == 1)
            x += std::max(0, (dest.Width() - pictureWidth) / 2);
        else if (column == 2)
            x = dest.right - pictureWidth;
        if (row == 1)
            y += std::max(0, (dest.Height() - pictureHeight) / 2);
        else if (row == 2)
            y = dest.bottom - pictureHeight;
        Add(list, Clipped(dest, x, y, pictureWidth, pictureHeight));
        break;
    }
    }
    return list;
}

bool BackgroundCovers(T_AM2000_BackgroundLayout layout, const TRect& dest, int pictureWidth, int pictureHeight)
{
    if (pictureWidth <= 0 || pictureHeight <= 0)
        return false;
    if (layout == blTile || layout == blStretch || layout == blSkin)
        return true;
    return pictureWidth >= dest.Width() && pictureHeight >= dest.Height();
}

int GlyphStripFrame(int pictureWidth, int pictureHeight, T_AM2000_its state)
{
    const int frames = pictureHeight > 0 ? std::max(1, pictureWidth / pictureHeight) : 1;
    const int index = StripFrameIndex(frames, state);
    return index < frames ? index : 0;
}

TPictureCopy GlyphStripCopy(const TRect& target, int pictureWidth, int pictureHeight, T_AM2000_its state)
{
    const int frames = pictureHeight > 0 ? std::max(1, pictureWidth / pictureHeight) : 1;
    const int width = pictureWidth / frames, left = GlyphStripFrame(pictureWidth, pictureHeight, state) * width;
    const int x = target.left + (target.Width() - width) / 2, y = target.top + (target.Height() - pictureHeight) / 2;
    return {TRect(left, 0, left + width, pictureHeight), TRect(x, y, x + width, y + pictureHeight)};
}

TPictureCopy CentredCopy(const TRect& target, int pictureWidth, int pictureHeight)
{
    return Clipped(target, target.left + (target.Width() - pictureWidth) / 2,
                   target.top + (target.Height() - pictureHeight) / 2, pictureWidth, pictureHeight);
}

TItemPicture ItemBackgroundPicture(T_AM2000_its state, bool hasPressed, bool unhide)
{
    if ((state & ItsBit(isPressed)) && hasPressed)
        return TItemPicture::Pressed;
    if (state & ItsBit(isSelected))
        return TItemPicture::Highlight;
    if ((state & ItsBit(isHidden)) && !unhide)
        return TItemPicture::Sunken;
    return TItemPicture::None;
}
