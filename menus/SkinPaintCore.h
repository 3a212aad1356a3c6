#pragma once
// Where a skin's pictures go, without a window: the Windows bitmap inside a picture's stored
// data, the copies that lay a background or a nine-part item background into a rectangle, the
// frame of a glyph strip, and which item background a state asks for.
#include "MenuOptionsCore.h"
#include "MenuUtilsCore.h"
#include "framework/Types.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// A bitmap file found in a picture's data: the class library stores the file after its 32-bit
// length; the bare file is taken too. Sizes are checked against the bytes there are.
struct TSkinPictureFile {
    size_t Offset = 0;  // where the file ("BM") begins in the data
    size_t Size = 0;    // the file's bytes
    int Width = 0, Height = 0;
};
std::optional<TSkinPictureFile> FindSkinPictureFile(const std::string& data);

// One copy of a picture part into a target rectangle; a stretch when the sizes differ.
struct TPictureCopy {
    TRect Source, Dest;
    bool operator==(const TPictureCopy&) const = default;
};

// A nine-part frame: corners unscaled; edges and centre copied unscaled where the target part is
// not longer than the picture's, else stretched. The top or bottom corners may be taken as 0 high.
std::vector<TPictureCopy> NinePartCopies(const TRect& dest, int pictureWidth, int pictureHeight, int cornerWidth,
                                         int cornerHeight, bool noTopCorners = false, bool noBottomCorners = false);

// The menu's background picture laid into the window's rectangle by the layout.
std::vector<TPictureCopy> BackgroundCopies(T_AM2000_BackgroundLayout layout, const TRect& dest, int pictureWidth,
                                           int pictureHeight, int cornerWidth, int cornerHeight);
// True when the laid picture covers the whole rectangle (no fill in the menu colour first).
bool BackgroundCovers(T_AM2000_BackgroundLayout layout, const TRect& dest, int pictureWidth, int pictureHeight);

// The frame of a glyph strip of square frames for an item state, and where it lands centred in
// the target. A frame the strip does not hold falls back to the first.
int GlyphStripFrame(int pictureWidth, int pictureHeight, T_AM2000_its state);
TPictureCopy GlyphStripCopy(const TRect& target, int pictureWidth, int pictureHeight, T_AM2000_its state);

// A picture centred in a rectangle, unscaled and cut to it.
TPictureCopy CentredCopy(const TRect& target, int pictureWidth, int pictureHeight);

// The item background a state asks for (none: nothing drawn); the unhide background has no
// sunken case.
enum class TItemPicture { None, Pressed, Highlight, Sunken };
TItemPicture ItemBackgroundPicture(T_AM2000_its state, bool hasPressed, bool unhide = false);
