// The colour sliders: the mapping of a position onto a range, the overlay ranges and bits, the
// slider tags, what a load sends and the label texts.
#include "ui/VideoColorCore.h"

#include <gtest/gtest.h>

using P = TVideoColorProperty;

TEST(VideoColor, OverlayValuesFromPositions)
{
    const struct {
        P Property;
        int Value;
        int32_t Expected;
    } cases[] = {
        {P::Brightness, -100, -10000}, {P::Brightness, 0, 750},  {P::Brightness, 100, 10000},
        {P::Brightness, 150, 750},     {P::Brightness, -101, 750}, {P::Brightness, 50, 5375},
        {P::Brightness, -50, -4625},   {P::Hue, -100, -180},     {P::Hue, 100, 180},
        {P::Hue, 1, 2},                {P::Hue, 0, 0},           {P::Contrast, -100, 0},
        {P::Contrast, 0, 10000},       {P::Contrast, 100, 20000}, {P::Saturation, -100, 0},
        {P::Saturation, 100, 20000},   {P::Saturation, 150, 10000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OverlayColorValue(c.Property, c.Value), c.Expected)
            << static_cast<int>(c.Property) << " at " << c.Value;
}

TEST(VideoColor, RendererRangeMapsEachSideApart)
{
    // A renderer's own range: 0 is its default, not the middle of the range.
    const TColorRange range{0.0, 1.0, 10.0};
    const struct {
        int Value;
        double Expected;
    } cases[] = {{-100, 0.0}, {-50, 0.5}, {0, 1.0}, {50, 5.5}, {100, 10.0}, {150, 1.0}, {-150, 1.0}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(MapColorValue(c.Value, range), c.Expected) << c.Value;
}

TEST(VideoColor, PropertyBitsAndSliderTags)
{
    EXPECT_EQ(VideoColorTraits(P::Brightness).Bit, 1u);
    EXPECT_EQ(VideoColorTraits(P::Contrast).Bit, 2u);
    EXPECT_EQ(VideoColorTraits(P::Hue).Bit, 4u);
    EXPECT_EQ(VideoColorTraits(P::Saturation).Bit, 8u);

    const P byTag[] = {P::Hue, P::Brightness, P::Saturation, P::Contrast};
    for (int tag = 0; tag < 4; ++tag) {
        P property{};
        ASSERT_TRUE(VideoColorPropertyFromTag(tag, property));
        EXPECT_EQ(property, byTag[tag]) << tag;
    }
    P property{};
    EXPECT_FALSE(VideoColorPropertyFromTag(4, property));
    EXPECT_FALSE(VideoColorPropertyFromTag(-1, property));
}

TEST(VideoColor, ALoadSendsOnlyMovedSlidersInTagOrder)
{
    const int none[4] = {0, 0, 0, 0};
    EXPECT_TRUE(ColorValuesOnLoad(none).empty());

    const int some[4] = {5, 0, -3, 100};
    const std::vector<std::pair<P, int>> expected = {{P::Hue, 5}, {P::Saturation, -3}, {P::Contrast, 100}};
    EXPECT_EQ(ColorValuesOnLoad(some), expected);
}

TEST(VideoColor, LabelTexts)
{
    const TColorRangeLabels labels = ColorRangeLabels(-100.0f, 100.0f, 0.5f);
    EXPECT_EQ(labels.Min, "Min= -100.00");
    EXPECT_EQ(labels.Max, "Max= 100.00");
    EXPECT_EQ(labels.Default, "Default= 0.50");
    EXPECT_EQ(labels.Range, "Range= 200.00");
    EXPECT_STREQ(ColorControlsLabel(true), "Using Decoder ColorControls");
    EXPECT_STREQ(ColorControlsLabel(false), "Using Video Renderer ColorControls");
}
