// Arbitrary bytes as a BMP file: read or refused, never read or written out
// of bounds; what was read converts into a 32-bit bitmap.
#include <cstddef>
#include <cstdint>

#include "render/bitmap32.h"
#include "render/platform_bitmap.h"
#include "sprites/bitmap_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto bitmap = IBitmap::Create();
    if (!Bitmap_LoadBMP(bitmap.get(), data, size)) return 0;
    if (bitmap->GetPixelFormat() == kPixelFormat32 || bitmap->GetPixelFormat() == kPixelFormat24) {
        CBitmap32 frame(bitmap.get(), false, false);
        auto back = frame.CreateBitmap32();
    }
    return 0;
}
