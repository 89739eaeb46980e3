// Writes the seed corpora of the image fuzz targets from the test writers:
//   ZQ_FUZZ_CORPUS=fuzz/corpus test_render --gtest_also_run_disabled_tests
//   --gtest_filter='FuzzSeeds.*'
// Disabled in ordinary runs; the seeds it made are committed.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/memory_manager.h"
#include "image_fixtures.h"
#include "render/image_decode.h"

namespace {

void Put(const std::string& target, const std::string& name, const std::vector<uint8_t>& bytes) {
    std::filesystem::path dir = std::filesystem::path(std::getenv("ZQ_FUZZ_CORPUS")) / target;
    std::filesystem::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

TEST(FuzzSeeds, DISABLED_Write) {
    ASSERT_NE(std::getenv("ZQ_FUZZ_CORPUS"), nullptr);
    std::vector<uint32_t> pixels(6 * 5);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0x80000000u | static_cast<uint32_t>(i * 0x010305);
    uint8_t* ours = nullptr;
    size_t length = 0;
    ASSERT_TRUE(PNG_EncodeRGBA(pixels.data(), 6, 5, &ours, &length));
    Put("fuzz_png", "rgba_ours.png", std::vector<uint8_t>(ours, ours + length));
    ZQ_Free(ours);
    PngSpec palette;
    palette.width = 3;
    palette.colourType = PNG_COLOR_TYPE_PALETTE;
    palette.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    palette.trns = {0};
    palette.raw = {0, 1, 2};
    Put("fuzz_png", "palette_trns.png", MakePng(palette));
    PngSpec grey;
    grey.width = 8;
    grey.height = 8;
    grey.colourType = PNG_COLOR_TYPE_GRAY;
    grey.bitDepth = 16;
    grey.interlaced = true;
    grey.raw.assign(8 * 8 * 2, 0x5A);
    Put("fuzz_png", "grey16_interlaced.png", MakePng(grey));

    std::vector<uint8_t> rgb(8 * 8 * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 7);
    Put("fuzz_jpeg", "rgb.jpg", MakeJpeg(8, 8, 3, rgb));
    Put("fuzz_jpeg", "grey.jpg", MakeJpeg(9, 3, 1, std::vector<uint8_t>(27, 99)));

    GifSpec gif;
    gif.screenWidth = 4;
    gif.screenHeight = 3;
    gif.left = 1;
    gif.width = 2;
    gif.height = 2;
    gif.globalMap = {0, 0, 0, 255, 255, 255};
    gif.localMap = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    gif.indices = {0, 1, 2, 1};
    gif.gceFlags = 1;
    gif.transparentIndex = 2;
    Put("fuzz_gif", "local_map_gce.gif", MakeGif(gif));
    GifSpec interlaced;
    interlaced.screenHeight = interlaced.height = 9;
    interlaced.interlaced = true;
    interlaced.globalMap = {10, 20, 30, 40, 50, 60};
    interlaced.indices.assign(9, 1);
    Put("fuzz_gif", "interlaced.gif", MakeGif(interlaced));

    // Texture data: width 4, height 4, then the form and the 2 × 2 grid.
    for (uint8_t form : {0, 1, 2}) {
        std::vector<uint8_t> seed = {3, 3, form};
        for (int i = 0; i < 32; ++i) seed.push_back(static_cast<uint8_t>(i * 37 + form));
        Put("fuzz_texture_decompress", "form" + std::to_string(form), seed);
    }

    // Bitmap stream records: a 2 × 1 plain record.
    std::vector<uint8_t> record = {0x20, 0x03, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 8, 0, 0, 0};
    for (int i = 0; i < 8; ++i) record.push_back(static_cast<uint8_t>(0xF0 + i));
    Put("fuzz_bitmap_stream", "plain800", record);
}

} // namespace
