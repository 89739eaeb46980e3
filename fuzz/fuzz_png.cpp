// Arbitrary bytes as PNG data: the decode, the header read and the texture
// reduction must refuse or succeed without reading outside the data.
#include <cstddef>
#include <cstdint>

#include "core/console.h"
#include "render/image_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    dbg_csol = &g_dummyConsole;
    int length = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(size);
    int w = 0, h = 0;
    ReadPNGFileHeader(data, length, &w, &h, true);
    uint8_t* pixels = ReadPNGFile(data, length, &w, &h, false);
    if (pixels != nullptr) {
        if (w <= 0 || h <= 0) __builtin_trap();
        // Touch the last pixel: the buffer must hold the whole image.
        volatile uint8_t last = pixels[static_cast<size_t>(w) * h * 4 - 1];
        (void)last;
    }
    FreePNGFile();
    g_TextureScale = 4;
    PNGImage reduced;
    if (reduced.Decode(data, size, true) && (reduced.Width() <= 0 || reduced.Height() <= 0)) __builtin_trap();
    g_TextureScale = 1;
    return 0;
}
