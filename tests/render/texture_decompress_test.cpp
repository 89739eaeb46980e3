// PVRTC and ETC1 decompression on hand-built blocks.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/texture_decompress.h"

namespace {

// A PVRTC block: modulation word, then colour word (both little-endian).
void PutBlock(std::vector<uint8_t>& data, size_t index, uint32_t modulation, uint32_t colour) {
    for (int i = 0; i < 4; ++i) {
        data[index * 8 + i] = static_cast<uint8_t>(modulation >> (8 * i));
        data[index * 8 + 4 + i] = static_cast<uint8_t>(colour >> (8 * i));
    }
}

// Opaque colour A (5, 5, 4 bits) and opaque colour B (5, 5, 5 bits).
uint32_t Colours(uint32_t ar, uint32_t ag, uint32_t ab, uint32_t br, uint32_t bg, uint32_t bb,
                 bool punch = false) {
    return 0x80000000u | br << 26 | bg << 21 | bb << 16 | 0x8000u | ar << 10 | ag << 5 | ab << 1 |
           (punch ? 1u : 0u);
}

std::vector<uint8_t> Solid(size_t blocks, uint32_t modulation, uint32_t colour) {
    std::vector<uint8_t> data(blocks * 8);
    for (size_t i = 0; i < blocks; ++i) PutBlock(data, i, modulation, colour);
    return data;
}

TEST(Pvrtc, DataCoversAtLeastATwoByTwoGrid) {
    struct {
        int twoBit, width, height;
        size_t bytes;
    } const cases[] = {{0, 4, 4, 32}, {0, 1, 1, 32},    {0, 16, 16, 128}, {0, 32, 8, 128},
                       {1, 8, 4, 32}, {1, 32, 32, 256}, {0, 0, 4, 0},     {0, 4, 20000, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(PVRTC_DataSize(c.twoBit, c.width, c.height), c.bytes) << c.width << "x" << c.height;
}

TEST(Pvrtc, SolidBlocksDecodeToTheirColoursAndWriteOnlyTheTexture) {
    const uint32_t colours = Colours(31, 0, 0, 0, 0, 31); // A red, B blue
    struct {
        const char* name;
        uint32_t modulation;
        uint8_t r, g, b;
    } const cases[] = {
        {"all colour A", 0x00000000, 255, 0, 0},
        {"all colour B", 0xFFFFFFFF, 0, 0, 255},
        {"three eighths of B", 0x55555555, 159, 0, 96},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> data = Solid(4, c.modulation, colours);
        std::vector<uint8_t> out(4 * 4 * 4 + 8, 0xEE);
        EXPECT_EQ(PVRTDecompressPVRTC(data.data(), 0, 4, 4, out.data()), 32) << c.name;
        for (int t = 0; t < 16; ++t) {
            EXPECT_EQ(out[4 * t], c.r) << c.name << " texel " << t;
            EXPECT_EQ(out[4 * t + 1], c.g) << c.name;
            EXPECT_EQ(out[4 * t + 2], c.b) << c.name;
            EXPECT_EQ(out[4 * t + 3], 255) << c.name;
        }
        EXPECT_EQ(out[64], 0xEE) << "nothing past 16 texels";
    }
}

TEST(Pvrtc, PunchThroughAndTwoBitModes) {
    // Mode bit set, every texel's value 2: half way, transparent.
    std::vector<uint8_t> punch = Solid(4, 0xAAAAAAAA, Colours(31, 31, 15, 0, 0, 0, true));
    std::vector<uint8_t> out(16 * 4);
    PVRTDecompressPVRTC(punch.data(), 0, 4, 4, out.data());
    EXPECT_EQ(out[0], 128);
    EXPECT_EQ(out[3], 0);

    std::vector<uint8_t> twoBit = Solid(4, 0xFFFFFFFF, Colours(0, 0, 0, 0, 31, 0));
    std::vector<uint8_t> out2(8 * 4 * 4);
    EXPECT_EQ(PVRTDecompressPVRTC(twoBit.data(), 1, 8, 4, out2.data()), 32);
    EXPECT_EQ(out2[4 * 31 + 1], 255) << "every bit set: colour B";
}

TEST(Pvrtc, TranslucentColoursCarryAlpha) {
    // Colour A translucent: alpha 3 bits (4 → 146), red 4 bits 0xF.
    uint32_t colour = 0x80000000u | 4u << 12 | 0xFu << 8;
    std::vector<uint8_t> data = Solid(4, 0, colour);
    std::vector<uint8_t> out(16 * 4);
    PVRTDecompressPVRTC(data.data(), 0, 4, 4, out.data());
    EXPECT_EQ(out[0], 255);
    EXPECT_EQ(out[3], 146);
}

// An ETC1 block from its high and low words (stored big-endian).
std::vector<uint8_t> EtcBlock(uint32_t high, uint32_t low) {
    std::vector<uint8_t> b;
    for (uint32_t word : {high, low})
        for (int i = 3; i >= 0; --i) b.push_back(static_cast<uint8_t>(word >> (8 * i)));
    return b;
}

TEST(Etc1, IndividualAndDifferentialBlocksDecodeAsRgba) {
    // Individual: left half red 15, right half blue 15 (4 bits each), table 0,
    // every index 0 (+2).
    std::vector<uint8_t> individual = EtcBlock(0xF0000F00u, 0);
    std::vector<uint8_t> out(16 * 4);
    PVRTDecompressETC(individual.data(), 4, 4, out.data(), 0);
    EXPECT_EQ(out[0], 255);
    EXPECT_EQ(out[1], 2);
    EXPECT_EQ(out[2], 2);
    EXPECT_EQ(out[3], 255);
    EXPECT_EQ(out[4 * 3 + 0], 2) << "texel (3, 0) in the right half";
    EXPECT_EQ(out[4 * 3 + 2], 255);

    // Differential, flipped: red 16 on top, 16 - 1 = 15 below; table 1, the
    // texel (0, 3) has index 3 (-17).
    uint32_t high = 16u << 27 | 7u << 24 | 1u << 5 | 1u << 2 | 2u | 1u;
    uint32_t low = 1u << (3 + 16) | 1u << 3;
    std::vector<uint8_t> differential = EtcBlock(high, low);
    PVRTDecompressETC(differential.data(), 4, 4, out.data(), 0);
    EXPECT_EQ(out[0], 132 + 5) << "top half, index 0";
    EXPECT_EQ(out[4 * 12], 123 - 17) << "texel (0, 3): bottom half, index 3";
}

TEST(Etc1, SmallTexturesTakeTheTopLeftOfOneBlock) {
    EXPECT_EQ(ETC_DataSize(2, 2), 8u);
    EXPECT_EQ(ETC_DataSize(5, 4), 16u);
    EXPECT_EQ(ETC_DataSize(0, 4), 0u);
    std::vector<uint8_t> block = EtcBlock(0x88888800u, 0);
    std::vector<uint8_t> out(2 * 2 * 4 + 4, 0xEE);
    PVRTDecompressETC(block.data(), 2, 2, out.data(), 0);
    for (int t = 0; t < 4; ++t) EXPECT_EQ(out[4 * t], 136 + 2) << t;
    EXPECT_EQ(out[16], 0xEE);
}

} // namespace
