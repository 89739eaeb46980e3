// Image decoding: PNG through our own writer and libpng's forms, JPEG and GIF
// made here, the texture-scale reduction, and hostile data refused.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include <cstdlib>
#include <filesystem>

#include "console_capture.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "image_fixtures.h"
#include "render/image_decode.h"

namespace {

using Pixels = std::vector<uint32_t>;

// Pixel words as the decoders lay them out: bytes r, g, b, a.
constexpr uint32_t Rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    return r | g << 8 | b << 16 | a << 24;
}

Pixels Words(const uint8_t* pixels, int width, int height) {
    Pixels out(static_cast<size_t>(width) * height);
    std::memcpy(out.data(), pixels, out.size() * 4);
    return out;
}

std::vector<uint8_t> EncodeOurs(const Pixels& pixels, int width, int height) {
    uint8_t* bytes = nullptr;
    size_t length = 0;
    EXPECT_TRUE(PNG_EncodeRGBA(pixels.data(), width, height, &bytes, &length));
    std::vector<uint8_t> out(bytes, bytes + length);
    ZQ_Free(bytes);
    return out;
}

// Decodes through the held decode and copies the result out.
Pixels DecodePng(const std::vector<uint8_t>& png, int* width, int* height, bool reduce = false) {
    uint8_t* pixels = ReadPNGFile(png.data(), static_cast<int>(png.size()), width, height, reduce);
    Pixels out = pixels != nullptr ? Words(pixels, *width, *height) : Pixels{};
    FreePNGFile();
    return out;
}

// Rewrites the big-endian word at `offset` and the CRC of the chunk it lies in
// (the chunk's type starts at `chunkType`, its data is `dataLength` bytes).
void Patch(std::vector<uint8_t>& bytes, size_t offset, uint32_t value, size_t chunkType, size_t dataLength) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
    uint32_t crc =
        static_cast<uint32_t>(crc32(0, bytes.data() + chunkType, static_cast<uInt>(4 + dataLength)));
    for (int i = 0; i < 4; ++i)
        bytes[chunkType + 4 + dataLength + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
}

PngSpec Png(int width, int colourType, int bitDepth, std::vector<uint8_t> raw,
            std::vector<uint8_t> palette = {}, std::vector<uint8_t> trns = {}) {
    PngSpec spec;
    spec.width = width;
    spec.colourType = colourType;
    spec.bitDepth = bitDepth;
    spec.raw = std::move(raw);
    spec.palette = std::move(palette);
    spec.trns = std::move(trns);
    return spec;
}

class PngImage : public QuietTest {};
class JpegImage : public QuietTest {};
class GifImage : public QuietTest {};

class ScaleGuard {
public:
    explicit ScaleGuard(int scale) { g_TextureScale = scale; }
    ~ScaleGuard() { g_TextureScale = 1; }
};

// ---------------------------------------------------------------------------
// PNG

TEST_F(PngImage, OurWriterRoundTripsThroughTheReader) {
    const Pixels pixels = {Rgba(255, 0, 0, 255), Rgba(0, 255, 0, 128), Rgba(0, 0, 255, 0), Rgba(1, 2, 3, 4)};
    std::vector<uint8_t> png = EncodeOurs(pixels, 2, 2);
    int w = 0, h = 0;
    EXPECT_EQ(DecodePng(png, &w, &h), pixels);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 2);
}

TEST_F(PngImage, WritePNG32StoresAFileInTheSaveArea) {
    char pattern[] = "/tmp/zq_png_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    std::string root = pattern;
    LoadSave_SetGameName((root + "/game.ios").c_str());
    LoadSave_SetWorkingDirectory((root + "/").c_str());
    struct Cleanup {
        std::string root;
        ~Cleanup() {
            LoadSave_SetGameName(nullptr);
            LoadSave_SetWorkingDirectory(nullptr);
            std::filesystem::remove_all(root);
        }
    } cleanup{root};

    const Pixels pixels = {Rgba(10, 20, 30, 255), Rgba(40, 50, 60, 70)};
    ASSERT_TRUE(WritePNG32("shots/pair.png", pixels.data(), 2, 1));
    int length = 0;
    char* file = LoadSave::ReadSaveFile("shots/pair.png", &length);
    ASSERT_NE(file, nullptr);
    std::vector<uint8_t> png(file, file + length);
    ZQ_Free(file);
    int w = 0, h = 0;
    EXPECT_EQ(DecodePng(png, &w, &h), pixels);
    EXPECT_FALSE(WritePNG32("shots/none.png", nullptr, 2, 1));
    EXPECT_FALSE(WritePNG32("shots/none.png", pixels.data(), 0, 1));
    EXPECT_FALSE(LoadSave::SaveFileExists("shots/none.png"));
}

struct PngFormCase {
    const char* name;
    PngSpec spec;
    Pixels expected;
};

TEST_F(PngImage, EveryFormBecomesEightBitRgba) {
    const PngFormCase cases[] = {
        {"palette with transparency",
         Png(3, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 2}, {255, 0, 0, 0, 255, 0, 0, 0, 255}, {0, 128}),
         {Rgba(255, 0, 0, 0), Rgba(0, 255, 0, 128), Rgba(0, 0, 255, 255)}},
        {"palette without transparency",
         Png(2, PNG_COLOR_TYPE_PALETTE, 8, {1, 0}, {9, 8, 7, 6, 5, 4}),
         {Rgba(6, 5, 4, 255), Rgba(9, 8, 7, 255)}},
        {"grey", Png(2, PNG_COLOR_TYPE_GRAY, 8, {0, 200}), {Rgba(0, 0, 0, 255), Rgba(200, 200, 200, 255)}},
        {"one-bit grey",
         Png(2, PNG_COLOR_TYPE_GRAY, 1, {0x40}),
         {Rgba(0, 0, 0, 255), Rgba(255, 255, 255, 255)}},
        {"grey with alpha", Png(1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {90, 30}), {Rgba(90, 90, 90, 30)}},
        {"rgb", Png(1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3}), {Rgba(1, 2, 3, 255)}},
        {"16-bit rgba", Png(1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {1, 0, 2, 0, 3, 0, 4, 0}), {Rgba(1, 2, 3, 4)}},
    };
    for (const PngFormCase& c : cases) {
        int w = 0, h = 0;
        EXPECT_EQ(DecodePng(MakePng(c.spec), &w, &h), c.expected) << c.name;
        EXPECT_EQ(w, static_cast<int>(c.expected.size())) << c.name;
    }
}

TEST_F(PngImage, InterlacedImagesDecodeWhole) {
    PngSpec spec = Png(9, PNG_COLOR_TYPE_RGB_ALPHA, 8, {});
    spec.height = 9;
    spec.interlaced = true;
    Pixels expected;
    for (int i = 0; i < 81; ++i) {
        uint32_t word = Rgba(i, 255 - i, i * 3 % 256, 200);
        expected.push_back(word);
        for (int b = 0; b < 4; ++b) spec.raw.push_back(static_cast<uint8_t>(word >> (8 * b)));
    }
    int w = 0, h = 0;
    EXPECT_EQ(DecodePng(MakePng(spec), &w, &h), expected);
}

TEST_F(PngImage, ReductionHalvesByTheTextureScale) {
    Pixels big(256 * 128, Rgba(10, 20, 30, 255));
    std::vector<uint8_t> png = EncodeOurs(big, 256, 128);
    struct {
        int scale, width, height;
    } const cases[] = {{1, 256, 128}, {2, 128, 64}, {4, 64, 32}, {8, 32, 16}};
    for (const auto& c : cases) {
        ScaleGuard guard(c.scale);
        int w = 0, h = 0;
        Pixels out = DecodePng(png, &w, &h, true);
        EXPECT_EQ(w, c.width) << "scale " << c.scale;
        EXPECT_EQ(h, c.height) << "scale " << c.scale;
        EXPECT_EQ(out.size(), static_cast<size_t>(c.width * c.height));
        EXPECT_EQ(out.back(), Rgba(10, 20, 30, 255));
        int hw = 0, hh = 0;
        EXPECT_TRUE(ReadPNGFileHeader(png.data(), static_cast<int>(png.size()), &hw, &hh, true));
        EXPECT_EQ(hw, c.width);
        EXPECT_EQ(hh, c.height);
    }
    // A 3 × 3 image halves once to 1 × 1, the average of its top-left 2 × 2.
    ScaleGuard guard(2);
    Pixels small = {
        Rgba(0, 0, 0, 0), Rgba(100, 4, 8, 255), 0, Rgba(200, 8, 16, 255), Rgba(100, 0, 0, 1), 0, 0, 0, 0};
    int w = 0, h = 0;
    EXPECT_EQ(DecodePng(EncodeOurs(small, 3, 3), &w, &h, true), Pixels{Rgba(100, 3, 6, 127)});
    EXPECT_EQ(w, 1);
    // A single pixel cannot halve; the header read says so too.
    std::vector<uint8_t> dot = EncodeOurs({Rgba(1, 2, 3, 4)}, 1, 1);
    EXPECT_TRUE(ReadPNGFileHeader(dot.data(), static_cast<int>(dot.size()), &w, &h, true));
    EXPECT_EQ(w, 1);
    EXPECT_EQ(h, 1);
}

TEST_F(PngImage, EachReadDecodesItsOwnData) {
    std::vector<uint8_t> first = EncodeOurs({Rgba(1, 1, 1, 1)}, 1, 1);
    std::vector<uint8_t> second = EncodeOurs({Rgba(2, 2, 2, 2), Rgba(3, 3, 3, 3)}, 2, 1);
    int w = 0, h = 0;
    ASSERT_NE(ReadPNGFile(first.data(), static_cast<int>(first.size()), &w, &h, false), nullptr);
    uint8_t* pixels = ReadPNGFile(second.data(), static_cast<int>(second.size()), &w, &h, false);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(w, 2) << "not the first image's size";
    EXPECT_EQ(Words(pixels, 2, 1), (Pixels{Rgba(2, 2, 2, 2), Rgba(3, 3, 3, 3)}));
    FreePNGFile();
}

TEST_F(PngImage, PreallocatedDecodeChecksTheBuffer) {
    std::vector<uint8_t> png = EncodeOurs({Rgba(5, 6, 7, 8), Rgba(9, 10, 11, 12)}, 2, 1);
    uint32_t buffer[2] = {};
    int w = 0, h = 0;
    EXPECT_EQ(ReadPNGFilePreallocated(png.data(), static_cast<int>(png.size()), &w, &h, buffer, 4, false),
              nullptr);
    EXPECT_EQ(w, -1);
    EXPECT_EQ(ReadPNGFilePreallocated(png.data(), static_cast<int>(png.size()), &w, &h, buffer, 8, false),
              reinterpret_cast<uint8_t*>(buffer));
    EXPECT_EQ(buffer[1], Rgba(9, 10, 11, 12));
}

TEST_F(PngImage, HostileDataIsRefused) {
    std::vector<uint8_t> png = EncodeOurs(Pixels(16 * 16, Rgba(1, 2, 3, 4)), 16, 16);
    int w = 0, h = 0;
    // Every truncation: refused, never read past the end.
    for (size_t length = 0; length + 12 < png.size(); ++length) {
        std::vector<uint8_t> cut(png.begin(), png.begin() + length);
        EXPECT_EQ(ReadPNGFile(cut.data(), static_cast<int>(cut.size()), &w, &h, false), nullptr) << length;
        EXPECT_EQ(w, -1);
        EXPECT_EQ(h, -1);
    }
    std::vector<uint8_t> notPng(png);
    notPng[1] = 'Q';
    EXPECT_EQ(ReadPNGFile(notPng.data(), static_cast<int>(notPng.size()), &w, &h, false), nullptr);
    // IHDR (type at byte 12, data from 16): declared sizes far too large, with valid CRCs.
    for (uint32_t side : {20000u, 0x7FFFFFFFu}) {
        std::vector<uint8_t> huge(png);
        Patch(huge, 16, side, 12, 13);
        Patch(huge, 20, side, 12, 13);
        EXPECT_EQ(ReadPNGFile(huge.data(), static_cast<int>(huge.size()), &w, &h, false), nullptr) << side;
        EXPECT_FALSE(ReadPNGFileHeader(huge.data(), static_cast<int>(huge.size()), &w, &h, false));
    }
    // Both sides allowed, the pixel count not.
    std::vector<uint8_t> wide(png);
    Patch(wide, 16, 16384, 12, 13);
    Patch(wide, 20, 16384, 12, 13);
    EXPECT_EQ(ReadPNGFile(wide.data(), static_cast<int>(wide.size()), &w, &h, false), nullptr);
    // A palette image whose indices run past its palette.
    Pixels out = DecodePng(MakePng(Png(2, PNG_COLOR_TYPE_PALETTE, 8, {0, 200}, {1, 2, 3})), &w, &h);
    EXPECT_TRUE(out.empty() || out.size() == 2u);
    EXPECT_EQ(ReadPNGFile(nullptr, 100, &w, &h, false), nullptr);
}

TEST(HalfTexture, AveragesEachTwoByTwoBlockInPlace) {
    Pixels pixels = {Rgba(0, 0, 0, 0),   Rgba(4, 8, 12, 255), Rgba(1, 1, 1, 1), Rgba(3, 3, 3, 3),
                     Rgba(8, 8, 8, 255), Rgba(4, 0, 0, 255),  Rgba(1, 1, 1, 1), Rgba(3, 3, 3, 3)};
    HalfTextureRGBA(2, 1, pixels.data(), 4, 2, pixels.data());
    EXPECT_EQ(pixels[0], Rgba(4, 4, 5, 191));
    EXPECT_EQ(pixels[1], Rgba(2, 2, 2, 2));
}

// ---------------------------------------------------------------------------
// JPEG

TEST_F(JpegImage, GreyDecodesToOpaqueGrey) {
    std::vector<uint8_t> samples(8 * 8, 0);
    for (int i = 0; i < 64; ++i) samples[i] = static_cast<uint8_t>(i < 32 ? 40 : 220);
    std::vector<uint8_t> jpeg = MakeJpeg(8, 8, 1, samples);
    int w = 0, h = 0;
    uint8_t* pixels = ReadJPEGFile(jpeg.data(), static_cast<int>(jpeg.size()), &w, &h, false);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 8);
    for (int i = 0; i < 64; ++i) {
        const uint8_t* p = pixels + 4 * i;
        EXPECT_EQ(p[0], p[1]);
        EXPECT_EQ(p[1], p[2]);
        EXPECT_EQ(p[3], 255);
        EXPECT_NEAR(p[0], samples[i], 6) << i;
    }
    ZQ_Free(pixels);
}

TEST_F(JpegImage, RgbDecodesToItsColours) {
    std::vector<uint8_t> samples;
    for (int i = 0; i < 16 * 16; ++i) samples.insert(samples.end(), {200, 40, 90});
    std::vector<uint8_t> jpeg = MakeJpeg(16, 16, 3, samples);
    int w = 0, h = 0;
    uint8_t* pixels = ReadJPEGFile(jpeg.data(), static_cast<int>(jpeg.size()), &w, &h, false);
    ASSERT_NE(pixels, nullptr);
    const uint8_t* p = pixels + 4 * (16 * 8 + 8);
    EXPECT_NEAR(p[0], 200, 4);
    EXPECT_NEAR(p[1], 40, 4);
    EXPECT_NEAR(p[2], 90, 4);
    EXPECT_EQ(p[3], 255);
    ZQ_Free(pixels);
}

// libjpeg's fatal errors come back as a refusal: the process goes on.
TEST_F(JpegImage, HostileDataIsRefusedWithoutEndingTheProcess) {
    std::vector<uint8_t> samples(16 * 16 * 3, 77);
    std::vector<uint8_t> jpeg = MakeJpeg(16, 16, 3, samples);
    int w = 0, h = 0;
    for (size_t length = 0; length + 2 < jpeg.size(); length += 7) {
        std::vector<uint8_t> cut(jpeg.begin(), jpeg.begin() + length);
        uint8_t* pixels = ReadJPEGFile(cut.data(), static_cast<int>(cut.size()), &w, &h, false);
        EXPECT_EQ(pixels, nullptr) << length;
        EXPECT_EQ(w, -1);
    }
    std::vector<uint8_t> garbage(300, 0xAB);
    EXPECT_EQ(ReadJPEGFile(garbage.data(), static_cast<int>(garbage.size()), &w, &h, false), nullptr);
    // The frame header's height and width (after FF C0, length, precision).
    std::vector<uint8_t> huge(jpeg);
    for (size_t i = 0; i + 8 < huge.size(); ++i) {
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
            huge[i + 5] = huge[i + 6] = huge[i + 7] = huge[i + 8] = 0xFF;
            break;
        }
    }
    EXPECT_EQ(ReadJPEGFile(huge.data(), static_cast<int>(huge.size()), &w, &h, false), nullptr);
}

// ---------------------------------------------------------------------------
// GIF

GifSpec TwoByTwo() {
    GifSpec spec;
    spec.screenWidth = spec.screenHeight = spec.width = spec.height = 2;
    spec.globalMap = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9};
    spec.indices = {0, 1, 2, 3};
    return spec;
}

Pixels DecodeGif(const GifSpec& spec, int* w, int* h) {
    std::vector<uint8_t> gif = MakeGif(spec);
    uint8_t* pixels = ReadGIFFile(gif.data(), static_cast<int>(gif.size()), w, h, false);
    Pixels out = pixels != nullptr ? Words(pixels, *w, *h) : Pixels{};
    ZQ_Free(pixels);
    return out;
}

TEST_F(GifImage, TransparencyComesFromTheControlExtension) {
    const Pixels opaque = {Rgba(255, 0, 0, 255), Rgba(0, 255, 0, 255), Rgba(0, 0, 255, 255),
                           Rgba(9, 9, 9, 255)};
    struct {
        const char* name;
        int flags;
        Pixels expected;
    } const cases[] = {
        {"no extension", -1, opaque},
        {"bit 0 clear", 0, opaque},
        {"index 1 transparent", 1, {opaque[0], 0, opaque[2], opaque[3]}},
    };
    for (const auto& c : cases) {
        GifSpec spec = TwoByTwo();
        spec.gceFlags = c.flags;
        spec.transparentIndex = 1;
        int w = 0, h = 0;
        EXPECT_EQ(DecodeGif(spec, &w, &h), c.expected) << c.name;
        EXPECT_EQ(w, 2);
    }
}

TEST_F(GifImage, LocalMapsOffsetsAndInterlacingAreHonoured) {
    GifSpec local = TwoByTwo();
    local.localMap = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    int w = 0, h = 0;
    EXPECT_EQ(DecodeGif(local, &w, &h)[3], Rgba(10, 11, 12, 255));

    GifSpec placed = TwoByTwo();
    placed.screenWidth = 3;
    placed.screenHeight = 3;
    placed.left = 1;
    placed.top = 1;
    Pixels out = DecodeGif(placed, &w, &h);
    ASSERT_EQ(out.size(), 9u);
    EXPECT_EQ(out[0], 0u) << "outside the image stays transparent";
    EXPECT_EQ(out[4], Rgba(255, 0, 0, 255));
    EXPECT_EQ(out[8], Rgba(9, 9, 9, 255));

    GifSpec interlaced;
    interlaced.screenHeight = interlaced.height = 10;
    interlaced.interlaced = true;
    for (int i = 0; i < 10; ++i) {
        interlaced.globalMap.insert(interlaced.globalMap.end(), {static_cast<uint8_t>(i), 0, 0});
        interlaced.indices.push_back(static_cast<uint8_t>(i));
    }
    out = DecodeGif(interlaced, &w, &h);
    ASSERT_EQ(out.size(), 10u);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(out[i], Rgba(i, 0, 0, 255)) << "row " << i;
}

TEST_F(GifImage, HostileDataIsRefused) {
    int w = 0, h = 0;
    GifSpec noMap = TwoByTwo();
    noMap.globalMap.clear();
    EXPECT_TRUE(DecodeGif(noMap, &w, &h).empty());
    EXPECT_EQ(w, -1);

    GifSpec shortMap = TwoByTwo();
    shortMap.globalMap.resize(6); // two colours: indices 2 and 3 run past it
    Pixels out = DecodeGif(shortMap, &w, &h);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[1], Rgba(0, 255, 0, 255));
    EXPECT_EQ(out[3], 0u);

    std::vector<uint8_t> gif = MakeGif(TwoByTwo());
    for (size_t length = 0; length + 1 < gif.size(); ++length) {
        std::vector<uint8_t> cut(gif.begin(), gif.begin() + length);
        uint8_t* pixels = ReadGIFFile(cut.data(), static_cast<int>(cut.size()), &w, &h, false);
        EXPECT_EQ(pixels, nullptr) << length;
        ZQ_Free(pixels);
    }
    // Screen and image sizes at bytes 6 and 8 of the header; 65535 × 65535.
    std::vector<uint8_t> huge(gif);
    huge[6] = huge[7] = huge[8] = huge[9] = 0xFF;
    EXPECT_EQ(ReadGIFFile(huge.data(), static_cast<int>(huge.size()), &w, &h, false), nullptr);
}

} // namespace
