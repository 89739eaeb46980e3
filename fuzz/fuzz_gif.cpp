// Arbitrary bytes as GIF data: bad sizes, colour maps and indices must be
// refused or drawn inside the screen, never read or written outside.
#include <cstddef>
#include <cstdint>

#include "core/memory_manager.h"
#include "render/image_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int length = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(size);
    int w = 0, h = 0;
    uint8_t* pixels = ReadGIFFile(data, length, &w, &h, false);
    if (pixels != nullptr) {
        if (w <= 0 || h <= 0) __builtin_trap();
        volatile uint8_t last = pixels[static_cast<size_t>(w) * h * 4 - 1];
        (void)last;
    }
    ZQ_Free(pixels);
    return 0;
}
