// BMP reading into platform bitmaps, and the one-frame bitmap loader (see
// bitmap_loader.h).
#include "sprites/bitmap_loader.h"

#include <cstring>

#include "core/game_image.h"
#include "render/image_decode.h"
#include "render/platform_bitmap.h"

namespace {

// File offsets of the BMP header fields (the signature counts).
constexpr size_t kPixelOffset = 10, kWidth = 18, kHeight = 22, kBitsPerPixel = 28, kColourTable = 54;

// TPixelFormat of a bit count: 1, 4, 8, 15, 16 and 24 bits, else 32.
int FormatOf(int bits) {
    switch (bits) {
        case 1: return 1;
        case 4: return 2;
        case 8: return 3;
        case 15: return 4;
        case 16: return 5;
        case 24: return kPixelFormat24;
        default: return kPixelFormat32;
    }
}

// Unpadded row bytes of a format.
size_t StrideOf(int format, size_t width) {
    switch (format) {
        case 1: return width / 8;
        case 2: return width / 2;
        case 3: return width;
        case 4:
        case 5: return width * 2;
        case 6: return width * 3;
        default: return width * 4;
    }
}

void ClearBitmap(IBitmap* bitmap) {
    bitmap->SetWidth(0);
    bitmap->SetHeight(0);
    bitmap->SetPixelFormat(kPixelFormat32);
}

} // namespace

bool Bitmap_LoadBMP(IBitmap* target, const uint8_t* data, size_t length) {
    if (target == nullptr) return false;
    ClearBitmap(target);
    if (data == nullptr || length < 2 || data[0] != 'B' || data[1] != 'M') return false;
    ImageReader in(const_cast<uint8_t*>(data), length, 0, length, "BMP");
    try {
        const uint32_t offset = in.Peek<uint32_t>(kPixelOffset);
        const int32_t width = in.Peek<int32_t>(kWidth);
        const int32_t height = in.Peek<int32_t>(kHeight);
        const int bits = in.Peek<uint16_t>(kBitsPerPixel);
        // Top-down (negative height) and empty images are not of the form read here.
        if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide) return false;
        const int format = FormatOf(bits);
        const size_t stride = StrideOf(format, static_cast<size_t>(width));
        if (stride == 0) return false;
        const uint8_t* rows = in.Span(offset, stride * static_cast<size_t>(height));
        const bool paletted = format == 3;
        size_t colours = 0; // entries of the colour table inside the file
        if (paletted) colours = length > kColourTable ? (length - kColourTable) / 4 : 0;

        target->SetPixelFormat(paletted ? kPixelFormat32 : format);
        target->SetWidth(width);
        target->SetHeight(height);
        void* pixels = nullptr;
        int outStride = 0;
        if (target->LockBits(0, &pixels, &outStride) == nullptr) {
            ClearBitmap(target);
            return false;
        }
        // Rows are stored from the bottom.
        for (int32_t y = 0; y < height; ++y) {
            const uint8_t* from = rows + static_cast<size_t>(height - 1 - y) * stride;
            uint8_t* to =
                static_cast<uint8_t*>(pixels) + static_cast<size_t>(y) * static_cast<size_t>(outStride);
            if (!paletted) {
                std::memcpy(to, from, stride);
                continue;
            }
            for (int32_t x = 0; x < width; ++x) {
                const uint8_t index = from[x];
                if (index >= colours) {
                    target->UnlockBits(pixels);
                    ClearBitmap(target);
                    return false;
                }
                const uint8_t* entry = in.Span(kColourTable + 4 * size_t{index}, 4);
                const uint32_t colour =
                    0xFF000000u | uint32_t{entry[2]} << 16 | uint32_t{entry[1]} << 8 | entry[0];
                std::memcpy(to + 4 * static_cast<size_t>(x), &colour, 4);
            }
        }
        target->UnlockBits(pixels);
        return true;
    } catch (const GameDataError&) {
        ClearBitmap(target);
        return false;
    }
}

std::unique_ptr<IBitmapLoader> IBitmapLoader::Create(const uint32_t* pixels, int width, int height) {
    return std::make_unique<BitmapLoader>(pixels, width, height);
}

std::unique_ptr<IBitmapLoader> IBitmapLoader::Create(const char*) {
    return std::make_unique<BitmapLoader>();
}

std::unique_ptr<IBitmapLoader> IBitmapLoader::Create(const uint8_t*, size_t) {
    return std::make_unique<BitmapLoader>();
}

// A loader of no pixels (a size not above 0, or beyond the largest image)
// holds no frames.
BitmapLoader::BitmapLoader(const uint32_t* pixels, int width, int height) {
    if (pixels == nullptr || width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide)
        return;
    m_pixels.assign(pixels, pixels + static_cast<size_t>(width) * static_cast<size_t>(height));
    m_width = width;
    m_height = height;
    m_frames = 1;
}

std::unique_ptr<IBitmap> BitmapLoader::Create(int frame) const {
    if (frame < 0 || frame >= m_frames) return nullptr;
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(kPixelFormat32);
    bitmap->SetWidth(m_width);
    bitmap->SetHeight(m_height);
    void* rows = nullptr;
    int stride = 0;
    if (bitmap->LockBits(0, &rows, &stride) == nullptr) return nullptr;
    for (int y = 0; y < m_height; ++y)
        std::memcpy(static_cast<uint8_t*>(rows) + static_cast<size_t>(y) * static_cast<size_t>(stride),
                    m_pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(m_width),
                    static_cast<size_t>(m_width) * 4);
    bitmap->UnlockBits(rows);
    return bitmap;
}
