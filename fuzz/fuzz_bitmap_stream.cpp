// Arbitrary bytes as a 32-bit bitmap's legacy stream record: declared sizes
// must be borne out by the data before any pixel is taken.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "render/bitmap32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    size_t consumed = 0;
    CBitmap32 bitmap(data, size, &consumed);
    if (consumed > size) __builtin_trap();
    if (bitmap.IsValid()) {
        bitmap.RemoveBackground();
        bitmap.SmoothEdges();
        bitmap.Stretch(std::min(bitmap.GetWidth(), 64) / 2 + 1, std::min(bitmap.GetHeight(), 64) + 1);
    }
    return 0;
}
