// CRC-32 vectors and the WELL512 generator's seeded sequence.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "core/crc32.h"
#include "core/random.h"

TEST(Crc32, TableAndCheckValue) {
    InitFastCRC();
    EXPECT_TRUE(CheckFastCRC());
    EXPECT_EQ(g_crcTable[1], 0x77073096u);
    EXPECT_EQ(g_crcTable[255], 0x2D02EF8Du);
    // No final exclusive-or: the complement of the standard check value 0xCBF43926.
    EXPECT_EQ(CalcCRC_string("123456789"), 0x340BC6D9u);
    EXPECT_EQ(CalcCRC("123456789"), 0x340BC6D9u);
    EXPECT_EQ(CalcCRC("123456789", 9), 0x340BC6D9u);
}

TEST(Crc32, EmptyInputsReturnTheInitialValueAndSeedsChain) {
    EXPECT_EQ(CalcCRC_string(""), 0xFFFFFFFFu);
    EXPECT_EQ(CalcCRC_string(nullptr), 0xFFFFFFFFu);
    EXPECT_EQ(CalcCRC("abc", 0), 0xFFFFFFFFu);
    EXPECT_EQ(CalcCRC("abc", 0, 5u), 5u);
    EXPECT_EQ(CalcCRC("abc", -3, 5u), 5u);
    // The register carries over: hashing in two pieces equals hashing at once.
    EXPECT_EQ(CalcCRC("6789", CalcCRC("12345")), 0x340BC6D9u);
    EXPECT_EQ(CalcCRC("6789", 4, CalcCRC("12345", 5)), 0x340BC6D9u);
    // Byte counts include zero bytes that the text forms stop at.
    const char withZero[] = {'a', '\0', 'b'};
    EXPECT_NE(CalcCRC(withZero, 3), CalcCRC("a"));
    EXPECT_EQ(CalcCRC(withZero, 1), CalcCRC("a"));
}

// Eight bytes at a time must give the byte-by-byte register for every length
// and alignment, text or byte count.
TEST(Crc32, WordAtATimeMatchesTheByteLoop) {
    unsigned char data[128];
    for (int i = 0; i < 128; ++i) data[i] = static_cast<unsigned char>(i * 151 + 7);
    for (int offset = 0; offset < 8; ++offset) {
        for (int length = 0; length + offset < 120; ++length) {
            uint32_t expected = 0xFFFFFFFFu;
            for (int i = 0; i < length; ++i)
                expected = (expected >> 8) ^ g_crcTable[(expected ^ data[offset + i]) & 0xFF];
            const char* bytes = reinterpret_cast<const char*>(data + offset);
            ASSERT_EQ(CalcCRC(bytes, length), expected) << offset << " " << length;
        }
    }
    char text[64];
    for (int length = 0; length < 63; ++length) {
        for (int i = 0; i < length; ++i) text[i] = static_cast<char>('a' + (i * 7) % 26);
        text[length] = '\0';
        ASSERT_EQ(CalcCRC_string(text), CalcCRC(text, length)) << length;
    }
}

TEST(Random, SeedZeroGivesTheKnownStateAndDraws) {
    EXPECT_EQ(InitRandom(0), 0u);
    EXPECT_EQ(g_RndState[0], 38u);
    EXPECT_EQ(g_RndState[1], 162u);
    EXPECT_EQ(g_RndState[2], 567u);
    EXPECT_EQ(g_RndState[3], 1890u);
    EXPECT_EQ(ZQRandom(), 0xCDC05DCFu);
    EXPECT_EQ(ZQRandom(), 0xF6780AEFu);
    EXPECT_EQ(ZQRandom(), 0x41457DF1u);
}

TEST(Random, SeedsReplayAndTheOldMaskChangesNothing) {
    // A seed whose products pass the signed range exercises the unsigned seeding.
    for (uint32_t seed : {1u, 2101988u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        InitRandom(seed);
        EXPECT_EQ(g_nRandSeed, seed);
        uint32_t first[64];
        for (uint32_t& v : first) v = ZQRandom();
        ChangeToOldPoly(true);
        InitRandom(seed);
        for (uint32_t v : first) ASSERT_EQ(ZQRandom(), v) << "seed " << seed;
        ChangeToOldPoly(false);
    }
}

TEST(Random, BoundedDrawsStayInRange) {
    InitRandom(12345);
    for (int i = 0; i < 2000; ++i) {
        EXPECT_LE(iZQRandom(), 0x7FFFFFFFu);
        const double unit = fZQRandom(1.0);
        EXPECT_GE(unit, 0.0);
        EXPECT_LT(unit, 1.0);
        const double two = fZQRandom(2.0);
        EXPECT_GE(two, 0.0);
        EXPECT_LT(two, 2.0);
        const int r = ZQRandom(10);
        EXPECT_GE(r, 0);
        EXPECT_LT(r, 10);
        const int n = ZQRandom(-7); // the magnitude is the bound
        EXPECT_GE(n, 0);
        EXPECT_LT(n, 7);
        EXPECT_GE(ZQRandom(INT_MIN), 0);
    }
}

TEST(Random, ABoundOfZeroGivesZeroAndStillAdvances) {
    InitRandom(7);
    ZQRandom();
    const uint32_t second = ZQRandom();
    InitRandom(7);
    EXPECT_EQ(ZQRandom(0), 0);
    EXPECT_EQ(ZQRandom(), second);
}
