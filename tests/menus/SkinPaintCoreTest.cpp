#include "menus/SkinPaintCore.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using pvltest::BitmapFile;

namespace {

std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The class library's stored form: the file after its 32-bit length.
std::string Stored(const std::vector<uint8_t>& file)
{
    pvltest::TByteWriter w;
    w.U32(static_cast<uint32_t>(file.size())).Raw(file);
    return Text(w.Bytes);
}

std::vector<uint8_t> Picture24(int width, int height)
{
    const std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    const std::vector<std::vector<uint8_t>> rows(static_cast<size_t>(std::abs(height)), row);
    return BitmapFile(width, height, 24, {}, rows);
}

}  // namespace

TEST(SkinPictures, TheBitmapFileIsFoundWithOrWithoutItsStoredLength)
{
    const std::vector<uint8_t> file = Picture24(5, 3);
    for (const std::string& data : {Text(file), Stored(file)}) {
        const auto f = FindSkinPictureFile(data);
        ASSERT_TRUE(f);
        EXPECT_EQ(f->Offset, data.size() - file.size());
        EXPECT_EQ(f->Size, file.size());
        EXPECT_EQ(f->Width, 5);
        EXPECT_EQ(f->Height, 3);
    }
    const auto topDown = FindSkinPictureFile(Text(Picture24(2, -4)));
    ASSERT_TRUE(topDown);
    EXPECT_EQ(topDown->Height, 4);
    const std::vector<uint8_t> row8(9);
    EXPECT_TRUE(FindSkinPictureFile(Text(BitmapFile(9, 2, 8, std::vector<uint32_t>(256), {row8, row8}))));
}

TEST(SkinPictures, DamagedPicturesAreRefused)
{
    const std::vector<uint8_t> good = Picture24(4, 4);
    auto with = [&](size_t at, uint32_t value, int bytes) {
        std::vector<uint8_t> f = good;
        for (int i = 0; i < bytes; ++i)
            f[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
        return Text(f);
    };
    struct Case {
        const char* What;
        std::string Data;
    };
    const Case cases[] = {
        {"empty", ""},
        {"a length and nothing", Stored({})},
        {"no signature", with(0, 'X', 1)},
        {"rows cut short", Text(std::vector<uint8_t>(good.begin(), good.end() - 1))},
        {"bits beyond the end", with(10, 0x7FFFFFF0, 4)},
        {"bits inside the header", with(10, 20, 4)},
        {"zero width", with(18, 0, 4)},
        {"negative width", with(18, 0xFFFFFFFF, 4)},
        {"huge height", with(22, 0x7FFFFFFF, 4)},
        {"zero height", with(22, 0, 4)},
        {"2 bits per pixel", with(28, 2, 2)},
        {"run-length compressed", with(30, 1, 4)},
        {"short info header", with(14, 12, 4)},
        {"info header past the end", with(14, 0x10000, 4)},
        {"a palette where the bits begin", Text(BitmapFile(2, 2, 8, {}, {{0, 0}, {0, 0}}))},
        {"more colours than 8 bits hold",
         Text(BitmapFile(2, 2, 8, {0, 0}, {{0, 0}, {0, 0}})).replace(46, 4, "\x01\x01\0\0", 4)},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(FindSkinPictureFile(c.Data)) << c.What;
    // Mutations of every header byte never read past the data.
    for (size_t at = 0; at < 54; ++at)
        for (uint8_t v : {uint8_t{0}, uint8_t{0x7F}, uint8_t{0xFF}}) {
            std::vector<uint8_t> f = good;
            f[at] = v;
            if (const auto found = FindSkinPictureFile(Text(f))) {
                EXPECT_LE(found->Offset + found->Size, f.size()) << at;
                EXPECT_LE(static_cast<uint64_t>(found->Width) * static_cast<uint64_t>(found->Height), f.size()) << at;
            }
        }
}

TEST(SkinPictures, NinePartFrameKeepsCornersAndStretchesOnlyWhatIsLonger)
{
    // A 30 x 20 picture with 8 x 5 corners.
    struct Case {
        const char* What;
        TRect Dest;
        bool NoTop, NoBottom;
        std::vector<TPictureCopy> Expected;
    };
    const Case cases[] = {
        {"wider and taller: middles stretched", TRect(100, 50, 200, 90), false, false,
         {{TRect(0, 0, 8, 5), TRect(100, 50, 108, 55)},
          {TRect(8, 0, 22, 5), TRect(108, 50, 192, 55)},
          {TRect(22, 0, 30, 5), TRect(192, 50, 200, 55)},
          {TRect(0, 5, 8, 15), TRect(100, 55, 108, 85)},
          {TRect(8, 5, 22, 15), TRect(108, 55, 192, 85)},
          {TRect(22, 5, 30, 15), TRect(192, 55, 200, 85)},
          {TRect(0, 15, 8, 20), TRect(100, 85, 108, 90)},
          {TRect(8, 15, 22, 20), TRect(108, 85, 192, 90)},
          {TRect(22, 15, 30, 20), TRect(192, 85, 200, 90)}}},
        {"narrower and lower: middles cut, ends from the picture's ends", TRect(0, 0, 20, 12), false, false,
         {{TRect(0, 0, 8, 5), TRect(0, 0, 8, 5)},
          {TRect(8, 0, 12, 5), TRect(8, 0, 12, 5)},
          {TRect(22, 0, 30, 5), TRect(12, 0, 20, 5)},
          {TRect(0, 5, 8, 7), TRect(0, 5, 8, 7)},
          {TRect(8, 5, 12, 7), TRect(8, 5, 12, 7)},
          {TRect(22, 5, 30, 7), TRect(12, 5, 20, 7)},
          {TRect(0, 15, 8, 20), TRect(0, 7, 8, 12)},
          {TRect(8, 15, 12, 20), TRect(8, 7, 12, 12)},
          {TRect(22, 15, 30, 20), TRect(12, 7, 20, 12)}}},
        {"hidden neighbours: no corners at the top and bottom", TRect(0, 0, 30, 20), true, true,
         {{TRect(0, 0, 8, 20), TRect(0, 0, 8, 20)},
          {TRect(8, 0, 22, 20), TRect(8, 0, 22, 20)},
          {TRect(22, 0, 30, 20), TRect(22, 0, 30, 20)}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NinePartCopies(c.Dest, 30, 20, 8, 5, c.NoTop, c.NoBottom), c.Expected) << c.What;
    // Corners larger than the target shrink to half of it; no copy is empty.
    for (const TPictureCopy& copy : NinePartCopies(TRect(0, 0, 6, 4), 30, 20, 8, 5)) {
        EXPECT_GT(copy.Dest.Width(), 0);
        EXPECT_GT(copy.Dest.Height(), 0);
        EXPECT_LE(copy.Dest.right, 6);
    }
    EXPECT_TRUE(NinePartCopies(TRect(0, 0, 10, 10), 0, 0, 2, 2).empty());
}

TEST(SkinPictures, BackgroundLaysThePictureByItsLayout)
{
    const TRect window(0, 0, 100, 50);
    struct Case {
        T_AM2000_BackgroundLayout Layout;
        int Width, Height;
        std::vector<TPictureCopy> Expected;
        bool Covers;
    };
    const Case cases[] = {
        {blDefault, 40, 30, {{TRect(0, 0, 40, 30), TRect(0, 0, 40, 30)}}, false},
        {blExpandMenu, 140, 60, {{TRect(0, 0, 100, 50), TRect(0, 0, 100, 50)}}, true},
        {blStretch, 40, 30, {{TRect(0, 0, 40, 30), TRect(0, 0, 100, 50)}}, true},
        {blTile, 60, 30,
         {{TRect(0, 0, 60, 30), TRect(0, 0, 60, 30)},
          {TRect(0, 0, 40, 30), TRect(60, 0, 100, 30)},
          {TRect(0, 0, 60, 20), TRect(0, 30, 60, 50)},
          {TRect(0, 0, 40, 20), TRect(60, 30, 100, 50)}},
         true},
        {blAtTopLeft, 40, 30, {{TRect(0, 0, 40, 30), TRect(0, 0, 40, 30)}}, false},
        {blAtTopCenter, 40, 30, {{TRect(0, 0, 40, 30), TRect(30, 0, 70, 30)}}, false},
        {blAtTopRight, 40, 30, {{TRect(0, 0, 40, 30), TRect(60, 0, 100, 30)}}, false},
        {blAtLeftCenter, 40, 30, {{TRect(0, 0, 40, 30), TRect(0, 10, 40, 40)}}, false},
        {blAtCenter, 40, 30, {{TRect(0, 0, 40, 30), TRect(30, 10, 70, 40)}}, false},
        {blAtRightCenter, 40, 30, {{TRect(0, 0, 40, 30), TRect(60, 10, 100, 40)}}, false},
        {blAtBottomLeft, 40, 30, {{TRect(0, 0, 40, 30), TRect(0, 20, 40, 50)}}, false},
        {blAtBottomCenter, 40, 30, {{TRect(0, 0, 40, 30), TRect(30, 20, 70, 50)}}, false},
        {blAtBottomRight, 40, 30, {{TRect(0, 0, 40, 30), TRect(60, 20, 100, 50)}}, false},
        // A centred picture larger than the window starts at the window's corner.
        {blAtCenter, 120, 70, {{TRect(0, 0, 100, 50), TRect(0, 0, 100, 50)}}, true},
        // A right-anchored one shows its right part.
        {blAtBottomRight, 120, 70, {{TRect(20, 20, 120, 70), TRect(0, 0, 100, 50)}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.Layout) << " " << c.Width << "x" << c.Height);
        EXPECT_EQ(BackgroundCopies(c.Layout, window, c.Width, c.Height, 0, 0), c.Expected);
        EXPECT_EQ(BackgroundCovers(c.Layout, window, c.Width, c.Height), c.Covers);
    }
    EXPECT_EQ(BackgroundCopies(blSkin, window, 30, 20, 8, 5), NinePartCopies(window, 30, 20, 8, 5));
    EXPECT_TRUE(BackgroundCopies(blTile, window, 0, 0, 0, 0).empty());
}

TEST(SkinPictures, GlyphStripsPickTheirFrameByStateAndCentreIt)
{
    const T_AM2000_its selected = ItsBit(isSelected), checked = ItsBit(isChecked), disabled = ItsBit(isDisabled);
    struct Case {
        int Frames;
        T_AM2000_its State;
        int Frame;
    };
    const Case cases[] = {
        {8, 0, 0}, {8, selected | checked, 5}, {8, disabled | checked, 3},
        {6, selected, 4}, {6, selected | disabled, 2},
        {4, checked, 2}, {4, selected, 3}, {4, ItsBit(isPressed) | selected, 2},
        {3, selected, 0},  // the strip holds no fourth frame
        {1, checked, 0},   // a single picture
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Frames << " frames, state " << c.State);
        EXPECT_EQ(GlyphStripFrame(c.Frames * 10, 10, c.State), c.Frame);
        const TPictureCopy copy = GlyphStripCopy(TRect(100, 20, 124, 40), c.Frames * 10, 10, c.State);
        EXPECT_EQ(copy.Source, TRect(c.Frame * 10, 0, c.Frame * 10 + 10, 10));
        EXPECT_EQ(copy.Dest, TRect(107, 25, 117, 35));
    }
}

TEST(SkinPictures, CentredPicturesAreCutToTheirPlace)
{
    EXPECT_EQ(CentredCopy(TRect(0, 0, 50, 30), 10, 6), (TPictureCopy{TRect(0, 0, 10, 6), TRect(20, 12, 30, 18)}));
    EXPECT_EQ(CentredCopy(TRect(10, 10, 30, 20), 40, 10), (TPictureCopy{TRect(10, 0, 30, 10), TRect(10, 10, 30, 20)}));
}

TEST(SkinPictures, ItemBackgroundFollowsPressedSelectedAndHidden)
{
    const T_AM2000_its pressed = ItsBit(isPressed) | ItsBit(isSelected), hidden = ItsBit(isHidden);
    EXPECT_EQ(ItemBackgroundPicture(pressed, true), TItemPicture::Pressed);
    EXPECT_EQ(ItemBackgroundPicture(pressed, false), TItemPicture::Highlight);
    EXPECT_EQ(ItemBackgroundPicture(ItsBit(isSelected) | hidden, true), TItemPicture::Highlight);
    EXPECT_EQ(ItemBackgroundPicture(hidden, true), TItemPicture::Sunken);
    EXPECT_EQ(ItemBackgroundPicture(hidden, true, true), TItemPicture::None);
    EXPECT_EQ(ItemBackgroundPicture(0, true), TItemPicture::None);
}
