// Colour words: alpha bytes, packing and the channel blend.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/colour.h"

namespace {

TEST(ColourWords, ConvertAlphaClampsAndTruncates) {
    struct {
        float alpha;
        uint32_t byte;
    } const cases[] = {{1.5f, 255},
                       {1.0f, 255},
                       {-1.0f, 0},
                       {0.0f, 0},
                       {0.5f, 127},
                       {0.999f, 254},
                       {std::numeric_limits<float>::quiet_NaN(), 0},
                       {INFINITY, 255},
                       {-INFINITY, 0}};
    for (const auto& c : cases) EXPECT_EQ(ConvertAlpha(c.alpha), c.byte) << c.alpha;
}

TEST(ColourWords, PackersPlaceAlphaAboveTheColour) {
    EXPECT_EQ(GR_Color_To_D3DColor(0xAB123456, 128), 0x80123456u) << "the colour's top byte is dropped";
    EXPECT_EQ(GR_D3DColor_Change_Alpha(0xFF654321, 7), 0x07654321u);
    EXPECT_EQ(GR_RGBA_To_D3DColor(0x1FF, 0x102, 0x03, 0x44), 0x44FF0203u) << "channels masked to a byte";
    // A script colour round trip: colour bits unchanged, alpha from its byte.
    uint32_t word = GR_Color_To_D3DColor(0x00C08040, ConvertAlpha(0.25f));
    EXPECT_EQ(word & 0xFFFFFF, 0xC08040u);
    EXPECT_EQ(word >> 24, 63u);
}

TEST(ColourWords, MergeRoundsEachChannelHalfToEven) {
    struct {
        uint32_t c1, c2;
        float t;
        uint32_t merged;
    } const cases[] = {
        {0x000000, 0xFFFFFF, 0.5f, 0x808080}, // 127.5 rounds to 128
        {0x000000, 0x000001, 0.5f, 0x000000}, // 0.5 rounds to 0
        {0x000000, 0x000003, 0.5f, 0x000002}, // 1.5 rounds to 2
        {0x102030, 0x102030, 0.3f, 0x102030},     {0x0000FF, 0x000000, 0.0f, 0x0000FF},
        {0xFF000000, 0xFF000000, 0.5f, 0x000000}, // bits 24-31 are 0
        {0x000000, 0x0000FF, 2.0f, 0x0000FE},     // 510 keeps its low 8 bits
    };
    for (const auto& c : cases)
        EXPECT_EQ(GR_Color_Merge(c.c1, c.c2, c.t), c.merged) << std::hex << c.c1 << " " << c.c2 << " " << c.t;
}

} // namespace
