// Image work on the CPU: decoding a 512 × 512 PNG through our layer against a
// plain libpng decode of the same bytes (the difference is our layer's
// overhead: the bounds-checked read callback, the format transforms and the
// held decode), and nearest-neighbour stretching of a 32-bit bitmap.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstring>
#include <vector>

#include "core/memory_manager.h"
#include "render/bitmap32.h"
#include "render/image_decode.h"

namespace {

constexpr int kSide = 512;

// A picture with gradients and noise, so that it compresses like art rather
// than like a flat colour.
const std::vector<uint8_t>& TestPng() {
    static const std::vector<uint8_t> png = [] {
        std::vector<uint32_t> pixels(kSide * kSide);
        uint32_t noise = 12345;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                noise = noise * 1103515245u + 12345u;
                uint32_t r = static_cast<uint32_t>(x / 2), g = static_cast<uint32_t>(y / 2);
                uint32_t b = (noise >> 16) & 0x3F;
                pixels[static_cast<size_t>(y) * kSide + x] = r | g << 8 | b << 16 | 0xFFu << 24;
            }
        uint8_t* bytes = nullptr;
        size_t length = 0;
        PNG_EncodeRGBA(pixels.data(), kSide, kSide, &bytes, &length);
        std::vector<uint8_t> out(bytes, bytes + length);
        ZQ_Free(bytes);
        return out;
    }();
    return png;
}

void BM_PngDecodeOurs(benchmark::State& state) {
    const std::vector<uint8_t>& png = TestPng();
    for (auto _ : state) {
        int w = 0, h = 0;
        uint8_t* pixels = ReadPNGFile(png.data(), static_cast<int>(png.size()), &w, &h, false);
        benchmark::DoNotOptimize(pixels);
        FreePNGFile();
    }
    state.SetBytesProcessed(state.iterations() * kSide * kSide * 4);
}
BENCHMARK(BM_PngDecodeOurs)->Unit(benchmark::kMicrosecond);

// The peer: libpng's simplified reader straight into a buffer.
void BM_PngDecodePlainLibpng(benchmark::State& state) {
    const std::vector<uint8_t>& png = TestPng();
    std::vector<uint8_t> buffer(kSide * kSide * 4);
    for (auto _ : state) {
        png_image image;
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
        png_image_begin_read_from_memory(&image, png.data(), png.size());
        image.format = PNG_FORMAT_RGBA;
        png_image_finish_read(&image, nullptr, buffer.data(), 0, nullptr);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(state.iterations() * kSide * kSide * 4);
}
BENCHMARK(BM_PngDecodePlainLibpng)->Unit(benchmark::kMicrosecond);

void BM_BitmapStretch(benchmark::State& state) {
    const int target = static_cast<int>(state.range(0));
    CBitmap32 source(256, 256, 0x336699);
    for (auto _ : state) {
        CBitmap32 copy(&source);
        copy.Stretch(target, target);
        benchmark::DoNotOptimize(copy.Pixels());
    }
    state.SetItemsProcessed(state.iterations() * target * target);
}
// 256 × 256 halved, kept and doubled (each iteration also copies the source).
BENCHMARK(BM_BitmapStretch)->Arg(128)->Arg(512)->Arg(1024)->Unit(benchmark::kMicrosecond);

} // namespace
