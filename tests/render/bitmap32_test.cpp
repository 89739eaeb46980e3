// 32-bit bitmaps: conversions from platform bitmaps, keying and smoothing,
// stretching, bounding boxes, gradients and the legacy stream record.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <vector>

#include "core/memory_manager.h"
#include "render/bitmap32.h"
#include "render/platform_bitmap.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

std::vector<uint32_t> PixelsOf(const CBitmap32& b) {
    return std::vector<uint32_t>(b.Pixels(), b.Pixels() + static_cast<size_t>(b.GetWidth()) * b.GetHeight());
}

// A platform bitmap of `format` from pixel words 0xAARRGGBB (format 6 drops alpha).
std::unique_ptr<IBitmap> Platform(int format, int w, int h, const std::vector<uint32_t>& words) {
    std::unique_ptr<IBitmap> b = IBitmap::Create();
    b->SetPixelFormat(format);
    b->SetWidth(w);
    b->SetHeight(h);
    void* rows = nullptr;
    int pitch = 0;
    b->LockBits(0, &rows, &pitch);
    int size = format == 6 ? 3 : 4;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t word = words[static_cast<size_t>(y) * w + x];
            std::memcpy(static_cast<uint8_t*>(rows) + static_cast<size_t>(y) * pitch + x * size, &word, size);
        }
    return b;
}

std::vector<uint8_t> Word(std::vector<uint8_t> out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return out;
}

constexpr uint32_t M = 0xFFFF00FF; // magenta
constexpr uint32_t R = 0xFFFF0000; // red

TEST(Bitmap32, KeyingMakesTheBottomLeftColourTransparentAndColoursItsEdge) {
    // Row 0: magenta, magenta, red; row 1: magenta (the key), red, red.
    std::unique_ptr<IBitmap> source = Platform(6, 3, 2, {M, M, R, M, R, R});
    CBitmap32 keyed(source.get(), true, false);
    ASSERT_TRUE(keyed.IsValid());
    // (1,0) has a transparent left and an opaque red right: it takes red.
    EXPECT_THAT(PixelsOf(keyed), ElementsAre(0x00FF00FFu, 0x00FF0000u, R, 0x00FF0000u, R, R));
    CBitmap32 plain(source.get(), false, true);
    EXPECT_THAT(PixelsOf(plain), ElementsAre(M, M, R, M, R, R)) << "smooth alone does nothing";
}

TEST(Bitmap32, AlphaIsKeptOnlyWhenAsked) {
    std::unique_ptr<IBitmap> source = Platform(7, 2, 1, {0x80102030, 0x00405060});
    EXPECT_THAT(PixelsOf(CBitmap32(source.get(), false, false)), ElementsAre(0xFF102030u, 0xFF405060u));
    EXPECT_THAT(PixelsOf(CBitmap32(source.get(), false, false, true)), ElementsAre(0x80102030u, 0x00405060u));
    EXPECT_THAT(PixelsOf(CBitmap32(source.get(), false, false, 0)), ElementsAre(0x80102030u, 0x00405060u));
    std::unique_ptr<IBitmap> rgb = Platform(6, 1, 1, {0x112233});
    EXPECT_FALSE(CBitmap32(rgb.get(), false, false, true).IsValid()) << "alpha copy needs 32 bits";
    EXPECT_FALSE(CBitmap32(static_cast<IBitmap*>(nullptr), false, false).IsValid());
}

TEST(Bitmap32, PlatformRoundTrips) {
    CBitmap32 original(2, 1, 0x332211);
    original.Pixels()[1] = 0x7F010203;
    std::unique_ptr<IBitmap> b32 = original.CreateBitmap32();
    EXPECT_THAT(PixelsOf(CBitmap32(b32.get(), false, false, true)), ElementsAre(0xFF112233u, 0x7F010203u));
    std::unique_ptr<IBitmap> b24 = original.CreateBitmap24();
    ASSERT_EQ(b24->GetPixelFormat(), 6);
    EXPECT_THAT(PixelsOf(CBitmap32(b24.get(), false, false)), ElementsAre(0xFF112233u, 0xFF010203u));
    CBitmap32 invalid(static_cast<IBitmap*>(nullptr), false, false);
    EXPECT_EQ(invalid.CreateBitmap24(), nullptr);
}

TEST(Bitmap32, SmoothEdgesLowersNeighboursOfTransparentPixels) {
    CBitmap32 square(3, 3, 0xFFFFFF);
    square.Pixels()[4] = 0;
    square.SmoothEdges();
    for (int i = 0; i < 9; ++i) {
        if (i == 4) continue;
        EXPECT_EQ(square.Pixels()[i] >> 24, 223u) << i;
    }
    // A pixel next to two transparent ones is lowered twice.
    CBitmap32 row(3, 1, 0xFFFFFF);
    row.Pixels()[0] = row.Pixels()[2] = 0;
    row.SmoothEdges();
    EXPECT_EQ(row.Pixels()[1] >> 24, 191u);
}

TEST(Bitmap32, StretchSamplesTheNearestSourcePixel) {
    CBitmap32 four(4, 1, 0);
    for (uint32_t i = 0; i < 4; ++i) four.Pixels()[i] = 0xFF000000 | i;
    CBitmap32 copy(&four);
    four.Stretch(2, 1);
    EXPECT_THAT(PixelsOf(four), ElementsAre(0xFF000000u, 0xFF000002u));
    four.Stretch(4, 1);
    EXPECT_THAT(PixelsOf(four), ElementsAre(0xFF000000u, 0xFF000000u, 0xFF000002u, 0xFF000002u));
    EXPECT_EQ(four.GetData()->length, 16);
    CBitmap32 empty(&four, 0, 0, 0, 1);
    ASSERT_TRUE(empty.IsValid());
    empty.Stretch(2, 2);
    EXPECT_THAT(PixelsOf(empty), ElementsAre(0u, 0u, 0u, 0u)) << "nothing to sample";
    copy.Stretch(2, 3);
    EXPECT_THAT(PixelsOf(copy),
                ElementsAre(0xFF000000u, 0xFF000002u, 0xFF000000u, 0xFF000002u, 0xFF000000u, 0xFF000002u));
}

TEST(Bitmap32, BoundingBoxOfTheOpaquePixels) {
    CBitmap32 b(10, 10, 0);
    std::memset(b.Pixels(), 0, 400);
    tagZQRECT* empty = b.BoundingBox();
    EXPECT_EQ(empty->left, 9);
    EXPECT_EQ(empty->right, 0);
    ZQ_Free(empty);
    b.Pixels()[7 * 10 + 3] = 0x01000000;
    tagZQRECT* one = b.BoundingBox();
    EXPECT_EQ(one->left, 3);
    EXPECT_EQ(one->top, 7);
    EXPECT_EQ(one->right, 3);
    EXPECT_EQ(one->bottom, 7);
    ZQ_Free(one);
}

TEST(Bitmap32, GradientsAndSolidColours) {
    CBitmap32 horizontal(4, 1, 0x000000, 0xFFFFFF, 0);
    EXPECT_THAT(PixelsOf(horizontal), ElementsAre(0xFF000000u, 0xFF404040u, 0xFF808080u, 0xFFBFBFBFu));
    CBitmap32 vertical(1, 2, 0x0000FF, 0xFF0000, 1); // red to blue
    EXPECT_THAT(PixelsOf(vertical), ElementsAre(0xFFFF0000u, 0xFF800080u));
    CBitmap32 doubled(4, 1, 0x000000, 0x0000FF, 4);
    EXPECT_THAT(PixelsOf(doubled), ElementsAre(0xFF000000u, 0xFF800000u, 0xFF800000u, 0xFF000000u));
    CBitmap32 ellipse(5, 5, 0x000000, 0x0000FF, 3);
    EXPECT_EQ(ellipse.Pixels()[0], 0xFF000000u) << "corner keeps colour 1";
    EXPECT_GT(ellipse.Pixels()[12] >> 16 & 0xFF, 0u) << "centre moves toward colour 2";
    CBitmap32 unknown(2, 2, 0xFFFFFF, 0xFFFFFF, 9);
    EXPECT_THAT(PixelsOf(unknown), ElementsAre(0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u));
    CBitmap32 solid(0, -5, 0x0000FF);
    EXPECT_TRUE(solid.IsValid());
    EXPECT_THAT(PixelsOf(solid), ElementsAre(0xFFFF0000u));
}

TEST(Bitmap32, SubRectanglesMustLieInsideTheSource) {
    CBitmap32 source(4, 3, 0);
    for (uint32_t i = 0; i < 12; ++i) source.Pixels()[i] = i;
    CBitmap32 part(&source, 1, 1, 3, 2);
    EXPECT_THAT(PixelsOf(part), ElementsAre(5u, 6u, 7u, 9u, 10u, 11u));
    EXPECT_FALSE(CBitmap32(&source, 2, 0, 3, 1).IsValid()) << "one pixel beyond the right edge";
    EXPECT_FALSE(CBitmap32(&source, 0, 1, 1, 3).IsValid());
    EXPECT_FALSE(CBitmap32(&source, -1, 0, 1, 1).IsValid());
}

TEST(Bitmap32, AlphaFromAnotherBitmapsBrightness) {
    CBitmap32 b(2, 1, 0xFFFFFF);
    CBitmap32 mask(1, 1, 0x306090); // (0x90 + 0x60 + 0x30) / 3 = 0x60
    b.SetAlphaFromBitmap(&mask);
    EXPECT_THAT(PixelsOf(b), ElementsAre(0x60FFFFFFu, 0xFFFFFFFFu));
}

TEST(Bitmap32, StreamRecordsAreCheckedAgainstTheirData) {
    std::vector<uint8_t> plain = Word(Word(Word(Word({}, 800), 2), 1), 8);
    plain = Word(Word(plain, 0xFF010203), 0x00040506);
    size_t consumed = 0;
    CBitmap32 b800(plain.data(), plain.size(), &consumed);
    EXPECT_THAT(PixelsOf(b800), ElementsAre(0xFF010203u, 0x00040506u));
    EXPECT_EQ(consumed, plain.size());

    std::vector<uint8_t> pixels = Word(Word({}, 0xFFAABBCC), 0x11223344);
    uLongf packedLength = compressBound(static_cast<uLong>(pixels.size()));
    std::vector<uint8_t> packed(packedLength);
    ASSERT_EQ(compress(packed.data(), &packedLength, pixels.data(), static_cast<uLong>(pixels.size())), Z_OK);
    packed.resize(packedLength);
    std::vector<uint8_t> deflated = Word(Word(Word(Word(Word({}, 540), 1), 1), 2), packedLength);
    deflated.insert(deflated.end(), packed.begin(), packed.end());
    EXPECT_THAT(PixelsOf(CBitmap32(deflated.data(), deflated.size())), ElementsAre(0xFFAABBCCu, 0x11223344u));

    std::vector<uint8_t> invalid = Word(Word(Word({}, 540), 0), 0x12345678);
    CBitmap32 none(invalid.data(), invalid.size(), &consumed);
    EXPECT_FALSE(none.IsValid());
    EXPECT_EQ(consumed, 8u) << "only the version and the flag";

    struct {
        const char* name;
        std::vector<uint8_t> record;
    } const hostile[] = {
        {"800 larger than its pixels", Word(Word(Word(Word(Word({}, 800), 100), 100), 4), 0)},
        {"800 cut short", Word(Word(Word(Word({}, 800), 1), 1), 4)},
        {"800 negative size", Word(Word(Word(Word(Word({}, 800), -1), -1), 4), 0)},
        {"540 inflating short", Word(Word(Word(Word(Word({}, 540), 1), 3), 1), packedLength)},
        {"540 huge", Word(Word(Word(Word(Word({}, 540), 1), 0x7FFFFFFF), 0x7FFFFFFF), 0)},
        {"unknown version", Word({}, 700)},
        {"empty", {}},
    };
    for (const auto& c : hostile) {
        std::vector<uint8_t> record = c.record;
        if (std::string(c.name) == "540 inflating short")
            record.insert(record.end(), packed.begin(), packed.end());
        EXPECT_FALSE(CBitmap32(record.data(), record.size()).IsValid()) << c.name;
    }
}

TEST(PlatformBitmap, LockMakesAZeroedBlockWithItsHeader) {
    TBitmap b;
    b.SetWidth(4);
    b.SetHeight(2);
    void* row1 = nullptr;
    int stride = 0;
    void* first = b.LockBits(1, &row1, &stride);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(b.BlockLength(), 4 * 4 * 2 + 52);
    EXPECT_EQ(stride, 16);
    EXPECT_EQ(static_cast<uint8_t*>(row1) - static_cast<uint8_t*>(first), 16);
    b.SetPixelFormat(6);
    EXPECT_EQ(b.Stride(), 12);
    b.LockBits(0, &row1, &stride);
    EXPECT_EQ(b.BlockLength(), 12 * 2 + 52) << "a changed format gets a block of its own size";
    TBitmap empty;
    EXPECT_EQ(empty.LockBits(0, &row1, &stride), nullptr);
}

} // namespace
