// Colour conversions: the exact bytes of RGB to HSV and back (single
// precision with truncation, so round trips are not always exact), and merges.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "library/colour.h"

namespace {

struct HsvCase {
    int red, green, blue;
    int hue, saturation, value;
};

TEST(Colour, RgbToHsvBytes) {
    const HsvCase cases[] = {
        {255, 0, 0, 0, 255, 255},     {0, 255, 0, 85, 255, 255},
        {0, 0, 255, 170, 255, 255},   {0, 0, 0, 0, 0, 0},
        {255, 255, 255, 0, 0, 255},   {128, 128, 128, 0, 0, 128},
        {255, 255, 0, 43, 255, 255},  {255, 128, 0, 21, 255, 255},
        {255, 0, 128, 234, 255, 255}, // magenta side: a negative hue wraps by 360
    };
    for (const HsvCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.red << "," << c.green << "," << c.blue);
        THSV hsv = Color_RGBtoHSV(Color_RGB(c.red, c.green, c.blue));
        EXPECT_EQ(hsv.hue, c.hue);
        EXPECT_EQ(hsv.saturation, c.saturation);
        EXPECT_EQ(hsv.value, c.value);
        uint32_t colour = static_cast<uint32_t>(c.red | c.green << 8 | c.blue << 16);
        THSV fromColour = Color_ColorToHSV(colour);
        EXPECT_EQ(fromColour.hue, c.hue);
    }
}

TEST(Colour, HsvToRgbBytes) {
    const HsvCase cases[] = {
        {252, 255, 0, 43, 255, 255},  // yellow does not come back exactly
        {255, 126, 0, 21, 255, 255},  // nor does orange
        {255, 0, 0, 255, 255, 255},   // hue 255 is the full circle: red again
        {255, 0, 6, 254, 255, 255},   //
        {128, 128, 128, 200, 0, 128}, // no saturation: the hue is ignored
        {0, 255, 0, 85, 255, 255},    {0, 0, 0, 0, 0, 0},
    };
    for (const HsvCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.hue << "," << c.saturation << "," << c.value);
        THSV hsv = Color_HSV(c.hue, c.saturation, c.value);
        TRGB rgb = Color_HSVToRGB(hsv);
        EXPECT_EQ(rgb.red, c.red);
        EXPECT_EQ(rgb.green, c.green);
        EXPECT_EQ(rgb.blue, c.blue);
        EXPECT_EQ(Color_HSVToColor(hsv), static_cast<uint32_t>(c.red | c.green << 8 | c.blue << 16));
    }
}

// Primary and grey colours survive the round trip exactly; every other
// colour lands within a few units per channel.
TEST(Colour, RoundTripsStayClose) {
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 15)
            for (int b = 0; b < 256; b += 15) {
                TRGB back = Color_HSVToRGB(Color_RGBtoHSV(Color_RGB(r, g, b)));
                int worst =
                    std::max({std::abs(back.red - r), std::abs(back.green - g), std::abs(back.blue - b)});
                ASSERT_LE(worst, 6) << r << "," << g << "," << b;
            }
    for (uint32_t exact : {0x0000FFu, 0x00FF00u, 0xFF0000u, 0x808080u, 0xFFFFFFu, 0u})
        EXPECT_EQ(Color_HSVToColor(Color_ColorToHSV(exact)), exact);
}

TEST(Colour, PackingAndMerging) {
    TRGB rgb = Color_ColorToRGB(0xFF123456u);
    EXPECT_EQ(rgb.red, 0x56);
    EXPECT_EQ(rgb.green, 0x34);
    EXPECT_EQ(rgb.blue, 0x12);
    EXPECT_EQ(Color_RGBToColor(rgb), 0x123456u) << "the top byte is not kept";

    EXPECT_EQ(Color_Merge(0x000000u, 0xFFFFFFu, 0.5f), 0x808080u) << "127.5 rounds to the even 128";
    EXPECT_EQ(Color_Merge(0x102030u, 0xFFFFFFu, 0.0f), 0x102030u);
    EXPECT_EQ(Color_Merge(0x102030u, 0x405060u, 1.0f), 0x405060u);
    EXPECT_EQ(Color_Merge(0x000000u, 0x0000FFu, 2.0f), 0x0000FEu) << "510 wraps to its low byte";
    EXPECT_EQ(Color_Merge(0x000001u, 0x000002u, 0.5f), 0x000002u) << "1.5 rounds to even";
    EXPECT_EQ(Color_Merge(0u, 0xFFFFFFu, 1e30f), 0u) << "beyond any integer: no undefined conversion";
    TRGB merged = Color_MergeRGB(Color_RGB(0, 0, 0), Color_RGB(255, 255, 255), 0.25f);
    EXPECT_EQ(merged.red, 64);
}

} // namespace
