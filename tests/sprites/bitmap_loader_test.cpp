// BMP reading into platform bitmaps (row order, palette expansion, unpadded
// rows) and refusal of files whose header points outside them; the one-frame
// bitmap loader.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "render/platform_bitmap.h"
#include "sprites/bitmap_loader.h"

namespace {

// A BMP of the form read here: 54 header bytes, an optional colour table,
// then `rows` as stored (bottom row first, unpadded).
std::vector<uint8_t> MakeBmp(int width, int height, int bits, const std::vector<uint8_t>& palette,
                             const std::vector<uint8_t>& rows) {
    std::vector<uint8_t> file(54, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(10, static_cast<uint32_t>(54 + palette.size()));
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    file[26] = 1;
    file[28] = static_cast<uint8_t>(bits);
    file.insert(file.end(), palette.begin(), palette.end());
    file.insert(file.end(), rows.begin(), rows.end());
    put32(2, static_cast<uint32_t>(file.size()));
    return file;
}

uint32_t Pixel(IBitmap& bitmap, int x, int y) {
    void* row = nullptr;
    int stride = 0;
    bitmap.LockBits(y, &row, &stride);
    uint32_t v;
    std::memcpy(&v, static_cast<uint8_t*>(row) + 4 * x, 4);
    return v;
}

// Colour table: 256 entries, index 0 {blue 1, green 2, red 3}, index 200
// {250, 251, 252}.
std::vector<uint8_t> Palette() {
    std::vector<uint8_t> table(256 * 4, 0);
    table[0] = 1, table[1] = 2, table[2] = 3;
    table[800] = 250, table[801] = 251, table[802] = 252;
    return table;
}

} // namespace

TEST(BitmapBmp, EightBitImagesExpandThroughTheColourTable) {
    const std::vector<uint8_t> file = MakeBmp(2, 2, 8, Palette(), {200, 0, 0, 200});
    auto bitmap = IBitmap::Create();
    ASSERT_TRUE(Bitmap_LoadBMP(bitmap.get(), file.data(), file.size()));
    EXPECT_EQ(bitmap->GetPixelFormat(), kPixelFormat32);
    // The stored bottom row {200, 0} becomes row 1.
    EXPECT_EQ(Pixel(*bitmap, 0, 1), 0xFFFCFBFAu) << "index 200 is not taken as negative";
    EXPECT_EQ(Pixel(*bitmap, 1, 1), 0xFF030201u);
    EXPECT_EQ(Pixel(*bitmap, 0, 0), 0xFF030201u);
}

TEST(BitmapBmp, RowsFlipAndStayUnpadded) {
    // 3 × 3, 24 bits: rows of 9 bytes, the stored rows 0, 1, 2 become 2, 1, 0.
    std::vector<uint8_t> rows;
    for (int r = 0; r < 3; ++r)
        for (int i = 0; i < 9; ++i) rows.push_back(static_cast<uint8_t>(r * 16 + i));
    const std::vector<uint8_t> file = MakeBmp(3, 3, 24, {}, rows);
    auto bitmap = IBitmap::Create();
    ASSERT_TRUE(Bitmap_LoadBMP(bitmap.get(), file.data(), file.size()));
    EXPECT_EQ(bitmap->GetPixelFormat(), kPixelFormat24);
    for (int y = 0; y < 3; ++y) {
        void* row = nullptr;
        int stride = 0;
        bitmap->LockBits(y, &row, &stride);
        EXPECT_EQ(stride, 9);
        EXPECT_EQ(static_cast<uint8_t*>(row)[4], (2 - y) * 16 + 4) << "row " << y;
    }
}

TEST(BitmapBmp, HeadersPointingOutsideTheFileAreRefused) {
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
    };
    auto put32 = [](std::vector<uint8_t>& f, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) f[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    const Case cases[] = {
        {"pixel offset past the end", [&](std::vector<uint8_t>& f) { put32(f, 10, 0xFFFFFFF0u); }},
        {"more rows than the file holds", [&](std::vector<uint8_t>& f) { put32(f, 22, 40); }},
        {"width beyond the rows", [&](std::vector<uint8_t>& f) { put32(f, 18, 0x40000000u); }},
        {"negative height", [&](std::vector<uint8_t>& f) { put32(f, 22, 0xFFFFFFFEu); }},
        {"zero width", [&](std::vector<uint8_t>& f) { put32(f, 18, 0); }},
        {"32 bits per pixel over 8-bit rows", [&](std::vector<uint8_t>& f) { f[28] = 32; }},
        {"cut in the header", [&](std::vector<uint8_t>& f) { f.resize(20); }},
        {"no signature", [&](std::vector<uint8_t>& f) { f[0] = 'X'; }},
        // Without a colour table, indexes point past the file's end.
        {"colour index past the table",
         [&](std::vector<uint8_t>& f) {
             f = MakeBmp(2, 2, 8, std::vector<uint8_t>(8, 7), {0, 1, 2, 255});
         }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> file = MakeBmp(2, 2, 8, Palette(), {200, 0, 0, 200});
        c.damage(file);
        auto bitmap = IBitmap::Create();
        EXPECT_FALSE(Bitmap_LoadBMP(bitmap.get(), file.data(), file.size())) << c.what;
        EXPECT_EQ(bitmap->GetWidth(), 0) << c.what;
    }
}

TEST(BitmapLoader, HoldsOneFrameOfDecodedPixels) {
    const uint32_t pixels[] = {1, 2, 3, 4, 5, 6};
    auto loader = IBitmapLoader::Create(pixels, 3, 2);
    EXPECT_FALSE(loader->Animated());
    EXPECT_EQ(loader->GetFrameCount(), 1);
    EXPECT_EQ(loader->Create(1), nullptr);
    auto frame = loader->Create(0);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->GetWidth(), 3);
    EXPECT_EQ(Pixel(*frame, 2, 1), 6u);
    EXPECT_EQ(IBitmapLoader::Create("any.png")->GetFrameCount(), 0);
    EXPECT_EQ(IBitmapLoader::Create(pixels, 0, 2)->GetFrameCount(), 0);
}
