// GIF decoding from memory through giflib: the first image only, placed on the
// logical screen, with its transparent colour from the last graphics control
// extension before it that marks one.
//
// The records are walked one by one rather than slurped whole, so that every
// size is checked before pixel memory is taken and nothing after the first
// image is read at all.
#include <gif_lib.h>

#include <cstdlib>
#include <cstring>

#include "core/memory_manager.h"
#include "render/image_decode.h"

namespace {

struct GifSource {
    const uint8_t* data;
    size_t length;
    size_t position;
};

// Copies at most what is left; a short count makes giflib report the data ended.
int GifReadFn(GifFileType* gif, GifByteType* out, int count) {
    GifSource* source = static_cast<GifSource*>(gif->UserData);
    if (source == nullptr || count <= 0) return 0;
    size_t n = static_cast<size_t>(count);
    if (n > source->length - source->position) n = source->length - source->position;
    std::memcpy(out, source->data + source->position, n);
    source->position += n;
    return static_cast<int>(n);
}

bool SizeAcceptable(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           int64_t{width} * int64_t{height} <= kMaxImagePixels;
}

// Reads the first image onto a screen-sized RGBA block; null on any fault.
uint8_t* DecodeFirstImage(GifFileType* gif, int* outWidth, int* outHeight) {
    int screenW = gif->SWidth;
    int screenH = gif->SHeight;
    if (!SizeAcceptable(screenW, screenH)) return nullptr;
    int transparent = -1;
    for (;;) {
        GifRecordType record;
        if (DGifGetRecordType(gif, &record) == GIF_ERROR) return nullptr;
        if (record == TERMINATE_RECORD_TYPE) return nullptr; // no image at all
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return nullptr;
            bool first = true;
            while (block != nullptr) {
                // block[0] is the block's length; a control block is 4 bytes.
                if (first && code == GRAPHICS_EXT_FUNC_CODE && block[0] == 4 && (block[1] & 1) != 0)
                    transparent = block[4];
                first = false;
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return nullptr;
            }
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE) continue;
        break;
    }
    if (DGifGetImageDesc(gif) == GIF_ERROR) return nullptr;
    const GifImageDesc& desc = gif->Image;
    const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap;
    if (map == nullptr || map->Colors == nullptr || !SizeAcceptable(desc.Width, desc.Height)) return nullptr;

    GifPixelType* line = static_cast<GifPixelType*>(std::malloc(static_cast<size_t>(desc.Width)));
    uint8_t* pixels =
        static_cast<uint8_t*>(ZQ_Alloc(static_cast<size_t>(screenW) * static_cast<size_t>(screenH) * 4));
    if (line == nullptr || pixels == nullptr) {
        std::free(line);
        ZQ_Free(pixels);
        return nullptr;
    }
    // Interlaced images store rows in four passes.
    static const int kPassStart[4] = {0, 4, 2, 1};
    static const int kPassStep[4] = {8, 8, 4, 2};
    int passes = desc.Interlace ? 4 : 1;
    bool ok = true;
    for (int pass = 0; pass < passes && ok; ++pass) {
        int start = desc.Interlace ? kPassStart[pass] : 0;
        int step = desc.Interlace ? kPassStep[pass] : 1;
        for (int row = start; row < desc.Height; row += step) {
            if (DGifGetLine(gif, line, desc.Width) == GIF_ERROR) {
                ok = false;
                break;
            }
            int y = desc.Top + row;
            if (y < 0 || y >= screenH) continue;
            uint8_t* out = pixels + static_cast<size_t>(y) * static_cast<size_t>(screenW) * 4;
            for (int col = 0; col < desc.Width; ++col) {
                int x = desc.Left + col;
                if (x < 0 || x >= screenW) continue;
                int index = line[col];
                // An index beyond the colour map stays transparent black.
                if (index == transparent || index >= map->ColorCount) continue;
                const GifColorType& c = map->Colors[index];
                uint8_t* p = out + static_cast<size_t>(x) * 4;
                p[0] = c.Red;
                p[1] = c.Green;
                p[2] = c.Blue;
                p[3] = 0xFF;
            }
        }
    }
    std::free(line);
    if (!ok) {
        ZQ_Free(pixels);
        return nullptr;
    }
    *outWidth = screenW;
    *outHeight = screenH;
    return pixels;
}

} // namespace

uint8_t* ReadGIFFile(const void* data, int length, int* width, int* height, bool) {
    if (width != nullptr) *width = -1;
    if (height != nullptr) *height = -1;
    if (data == nullptr || length <= 0) return nullptr;
    GifSource source{static_cast<const uint8_t*>(data), static_cast<size_t>(length), 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, GifReadFn, &error);
    if (gif == nullptr) return nullptr;
    int w = -1;
    int h = -1;
    uint8_t* pixels = DecodeFirstImage(gif, &w, &h);
    DGifCloseFile(gif, &error);
    if (pixels != nullptr) {
        if (width != nullptr) *width = w;
        if (height != nullptr) *height = h;
    }
    return pixels;
}
