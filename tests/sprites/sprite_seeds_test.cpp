// The sprite and BMP fuzz targets' seeds, as the writer's command writes
// them, are inputs their readers take whole: a refused seed would start the
// fuzzer from nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/header_globals.h"
#include "render/platform_bitmap.h"
#include "sprite_fixture.h"
#include "sprites/bitmap_loader.h"
#include "temp_path.h"

namespace {

std::vector<uint8_t> Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << path;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(SpriteSeeds, RecordsStreamsAndBitmapsAreReadWhole) {
    const std::string dir = TestTempPath("sprite_seeds");
    const std::string command = std::string(CORVANE_WAD_BINARY) + " seeds " + dir;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    std::vector<uint8_t> image = Read(dir + "/fuzz_sprite_chunk/sprites.ios");
    g_isNimbar = true;
    auto sizeAt = [&](size_t at) {
        uint32_t size;
        std::memcpy(&size, image.data() + at + 4, 4);
        return size;
    };
    size_t at = 8;
    while (at + 8 <= image.size() && std::memcmp(image.data() + at, "SPRT", 4) != 0) at += 8 + sizeAt(at);
    ASSERT_LT(at + 8, image.size());
    ImageReader chunk(image.data(), image.size(), at + 8, at + 8 + sizeAt(at), "SPRT");
    const uint32_t count = chunk.Count(4);
    EXPECT_EQ(count, 6u);
    int kinds[3] = {};
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = chunk.U32();
        if (offset == 0) continue;
        ImageReader record = chunk.At(offset);
        CSprite sprite;
        EXPECT_NO_THROW(sprite.LoadFromChunk(record)) << "sprite " << i;
        ++kinds[sprite.m_kind];
    }
    g_isNimbar = false;
    EXPECT_EQ(kinds[SPRITE_KIND_BITMAP], 3);
    EXPECT_EQ(kinds[SPRITE_KIND_VECTOR], 1);
    EXPECT_EQ(kinds[SPRITE_KIND_SKELETON], 1);

    const std::vector<uint8_t> stream = Read(dir + "/fuzz_sprite_chunk/stream800.bin");
    CSprite sprite;
    EXPECT_TRUE(sprite.LoadFromStream(stream.data(), stream.size()));
    EXPECT_EQ(sprite.m_numb, 1);
    for (const char* name : {"paletted.bmp", "rgb24.bmp"}) {
        const std::vector<uint8_t> bmp = Read(dir + "/fuzz_bmp/" + name);
        auto bitmap = IBitmap::Create();
        EXPECT_TRUE(Bitmap_LoadBMP(bitmap.get(), bmp.data(), bmp.size())) << name;
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}
