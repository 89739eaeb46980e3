// The platform bitmap (see platform_bitmap.h).
#include "render/platform_bitmap.h"

#include <cstring>

#include "core/memory_manager.h"

namespace {

constexpr int kHeaderBytes = 52;

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

int BitsPerPixel(int format) {
    switch (format) {
        case 1: return 1;
        case 2: return 4;
        case 3: return 8;
        case 4: return 15;
        case 5: return 16;
        case 6: return 24;
        default: return 32;
    }
}

} // namespace

std::unique_ptr<IBitmap> IBitmap::Create() {
    return std::make_unique<TBitmap>();
}

TBitmap::~TBitmap() {
    DropBlock();
}

void TBitmap::DropBlock() {
    ZQ_Free(m_block);
    m_block = nullptr;
    m_pixels = nullptr;
    m_blockLength = 0;
}

// A block made for one size or format is never used for another: a changed
// bitmap gets a new block at its next lock.
void TBitmap::SetWidth(int width) {
    if (width == m_width) return;
    DropBlock();
    m_width = width;
    Recompute();
}

void TBitmap::SetHeight(int height) {
    if (height == m_height) return;
    DropBlock();
    m_height = height;
    Recompute();
}

void TBitmap::SetPixelFormat(int format) {
    if (format == m_format) return;
    DropBlock();
    m_format = format;
    Recompute();
}

void TBitmap::Recompute() {
    int w = m_width > 0 ? m_width : 0;
    switch (m_format) {
        case 1: m_stride = w / 8; break;
        case 2: m_stride = w / 2; break;
        case 3: m_stride = w; break;
        case 4:
        case 5: m_stride = w * 2; break;
        case 6: m_stride = w * 3; break;
        default: m_stride = w * 4; break;
    }
}

void* TBitmap::LockBits(int row, void** pixels, int* stride) {
    if (m_block == nullptr) {
        int64_t bytes = int64_t{m_stride} * (m_height > 0 ? m_height : 0) + kHeaderBytes;
        if (m_width <= 0 || m_height <= 0 || bytes > 0x7FFFFFFF) {
            if (pixels != nullptr) *pixels = nullptr;
            if (stride != nullptr) *stride = m_stride;
            return nullptr;
        }
        m_block = static_cast<uint8_t*>(ZQ_Alloc(static_cast<size_t>(bytes)));
        if (m_block == nullptr) return nullptr;
        m_blockLength = static_cast<int>(bytes);
        Put32(m_block, static_cast<uint32_t>(bytes + 2)); // the file size counts the "BM" signature
        Put32(m_block + 8, kHeaderBytes);
        Put32(m_block + 12, 40);
        Put32(m_block + 16, static_cast<uint32_t>(m_width));
        Put32(m_block + 20, static_cast<uint32_t>(m_height));
        m_block[24] = 1;
        m_block[26] = static_cast<uint8_t>(BitsPerPixel(m_format));
        m_pixels = m_block + kHeaderBytes;
    }
    if (row < 0 || row >= m_height) row = 0;
    if (pixels != nullptr) *pixels = m_pixels + static_cast<size_t>(row) * static_cast<size_t>(m_stride);
    if (stride != nullptr) *stride = m_stride;
    return m_pixels;
}

void TBitmap::FromBitmap(IBitmap* source) {
    if (source == nullptr || source == this) return;
    int sourceFormat = source->GetPixelFormat();
    DropBlock();
    m_width = source->GetWidth();
    m_height = source->GetHeight();
    Recompute();
    void* from = nullptr;
    int fromStride = 0;
    void* to = nullptr;
    int toStride = 0;
    if (source->LockBits(0, &from, &fromStride) == nullptr || LockBits(0, &to, &toStride) == nullptr) return;
    if (sourceFormat == m_format) {
        int bytes = fromStride < toStride ? fromStride : toStride;
        for (int y = 0; y < m_height; ++y)
            std::memcpy(static_cast<uint8_t*>(to) + static_cast<size_t>(y) * toStride,
                        static_cast<uint8_t*>(from) + static_cast<size_t>(y) * fromStride, bytes);
    } else if ((sourceFormat == kPixelFormat24 || sourceFormat == kPixelFormat32) &&
               (m_format == kPixelFormat24 || m_format == kPixelFormat32)) {
        int inSize = sourceFormat == kPixelFormat24 ? 3 : 4;
        int outSize = m_format == kPixelFormat24 ? 3 : 4;
        for (int y = 0; y < m_height; ++y) {
            const uint8_t* in = static_cast<uint8_t*>(from) + static_cast<size_t>(y) * fromStride;
            uint8_t* out = static_cast<uint8_t*>(to) + static_cast<size_t>(y) * toStride;
            for (int x = 0; x < m_width; ++x, in += inSize, out += outSize) {
                std::memcpy(out, in, 3);
                if (outSize == 4) out[3] = inSize == 4 ? in[3] : 0xFF;
            }
        }
    }
    source->UnlockBits(from);
    UnlockBits(to);
}

std::unique_ptr<IBitmap> BitmapFromRGBA(const uint8_t* rgba, int width, int height) {
    std::unique_ptr<IBitmap> bitmap = IBitmap::Create();
    bitmap->SetPixelFormat(kPixelFormat32);
    bitmap->SetWidth(width);
    bitmap->SetHeight(height);
    void* rows = nullptr;
    int stride = 0;
    void* token = bitmap->LockBits(0, &rows, &stride);
    if (token == nullptr || rows == nullptr) return nullptr;
    for (int y = 0; y < height; ++y) {
        uint8_t* out = static_cast<uint8_t*>(rows) + static_cast<size_t>(y) * static_cast<size_t>(stride);
        const uint8_t* in = rgba + static_cast<size_t>(y) * static_cast<size_t>(width) * 4;
        for (int x = 0; x < width; ++x, in += 4, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = in[3];
        }
    }
    bitmap->UnlockBits(token);
    return bitmap;
}
