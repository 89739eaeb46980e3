// Arbitrary PVRTC and ETC1 data. The first three bytes choose the texture's
// width and height (1 to 64 each) and the form; the decoders run only when
// the rest covers the block grid, as their callers must check.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/texture_decompress.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    int width = data[0] % 64 + 1;
    int height = data[1] % 64 + 1;
    int form = data[2] % 3;
    const uint8_t* blocks = data + 3;
    size_t available = size - 3;
    std::vector<uint8_t> out(static_cast<size_t>(width) * height * 4);
    if (form == 2) {
        unsigned w = static_cast<unsigned>(width), h = static_cast<unsigned>(height);
        if (ETC_DataSize(w, h) > available) return 0;
        std::vector<uint8_t> copy(blocks, blocks + ETC_DataSize(w, h));
        const int mode = 0;
        PVRTDecompressETC(copy.data(), w, h, out.data(), mode);
        return 0;
    }
    size_t need = PVRTC_DataSize(form, width, height);
    if (need == 0 || need > available) return 0;
    // Exactly the grid's bytes, so that any read beyond it is caught.
    std::vector<uint8_t> copy(blocks, blocks + need);
    if (PVRTDecompressPVRTC(copy.data(), form, width, height, out.data()) != static_cast<int>(need))
        __builtin_trap();
    return 0;
}
