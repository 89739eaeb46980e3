// CBitmap32 (see bitmap32.h).
#include "render/bitmap32.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/memory_manager.h"
#include "core/real_to_int.h"
#include "render/image_decode.h"
#include "render/platform_bitmap.h"
#include "core/game_image.h"

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

// Bytes of a w × h bitmap, or -1 when either side is negative or the count
// does not fit the array's 32-bit length.
int64_t ByteCount(int64_t w, int64_t h) {
    if (w < 0 || h < 0 || w > 0x7FFFFFFF / 4 || h > 0x7FFFFFFF / 4) return -1;
    int64_t bytes = w * h * 4;
    return bytes <= 0x7FFFFFFF ? bytes : -1;
}

bool SideOk(int32_t side) {
    return side >= 0 && side <= kMaxImageSide;
}

bool IsTransparent(uint32_t pixel) {
    return pixel <= 0x00FFFFFFu;
}

// 0xBBGGRR script colour as an opaque 0xAARRGGBB pixel.
uint32_t ScriptToPixel(uint32_t colour) {
    return kOpaque | (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
}

} // namespace

// ---------------------------------------------------------------------------
// Construction

bool CBitmap32::Allocate(int w, int h) {
    Free();
    int64_t bytes = ByteCount(w, h);
    if (bytes < 0) return false;
    uint32_t* data = nullptr;
    if (bytes > 0) {
        data = static_cast<uint32_t*>(ZQ_Alloc(static_cast<size_t>(bytes)));
        if (data == nullptr) return false;
    }
    m_pixels = {static_cast<int32_t>(bytes), data};
    m_width = w;
    m_height = h;
    m_valid = true;
    return true;
}

void CBitmap32::Free() {
    ZQ_Free(m_pixels.data);
    m_pixels = {0, nullptr};
    m_valid = false;
    m_width = 0;
    m_height = 0;
}

CBitmap32::~CBitmap32() {
    Free();
}

void CBitmap32::TakeFrom(CBitmap32& other) {
    Free();
    m_valid = other.m_valid;
    m_width = other.m_width;
    m_height = other.m_height;
    m_pixels = other.m_pixels;
    other.m_pixels = {0, nullptr};
    other.m_valid = false;
}

// The record's sizes are trusted only as far as the data bears them out: the
// pixels must be present (800) or inflate to exactly width × height × 4 (540),
// and neither side may exceed the largest image side (an empty bitmap with a
// huge side would otherwise pass and blow up at its first stretch).
CBitmap32::CBitmap32(const uint8_t* record, size_t length, size_t* consumed) {
    ImageReader in(const_cast<uint8_t*>(record), record != nullptr ? length : 0, 0, length, "bitmap");
    try {
        int32_t version = in.S32();
        if (version == 800) {
            int32_t w = in.S32();
            int32_t h = in.S32();
            uint32_t size = in.U32();
            const uint8_t* bytes = in.Bytes(size);
            int64_t need = SideOk(w) && SideOk(h) ? ByteCount(w, h) : -1;
            if (need >= 0 && need <= size && Allocate(w, h) && need > 0)
                std::memcpy(m_pixels.data, bytes, static_cast<size_t>(need));
        } else if (version == 540) {
            if (in.S32() != 0) {
                int32_t w = in.S32();
                int32_t h = in.S32();
                uint32_t size = in.U32();
                const uint8_t* bytes = in.Bytes(size);
                int64_t need = SideOk(w) && SideOk(h) ? ByteCount(w, h) : -1;
                // Deflate expands at most about 1032 to 1: more declared
                // pixels than that cannot be in the data, so nothing is taken.
                if (need >= 0 && need / 1032 <= int64_t{size} + 1 && Allocate(w, h)) {
                    uLongf out = static_cast<uLongf>(need);
                    if (need > 0 &&
                        (uncompress(reinterpret_cast<Bytef*>(m_pixels.data), &out, bytes, size) != Z_OK ||
                         out != static_cast<uLongf>(need)))
                        Free();
                }
            }
        }
    } catch (const GameDataError&) {
        Free();
    }
    if (consumed != nullptr) *consumed = in.Position();
}

CBitmap32::CBitmap32(const CBitmap32* other) {
    if (other == nullptr || !other->m_valid || !Allocate(other->m_width, other->m_height)) return;
    if (m_pixels.length > 0)
        std::memcpy(m_pixels.data, other->m_pixels.data, static_cast<size_t>(m_pixels.length));
}

CBitmap32::CBitmap32(const CBitmap32* other, int x, int y, int w, int h) {
    if (other == nullptr || !other->m_valid || x < 0 || y < 0 || w < 0 || h < 0) return;
    if (int64_t{x} + w > other->m_width || int64_t{y} + h > other->m_height || !Allocate(w, h)) return;
    if (w == 0) return;
    for (int row = 0; row < h; ++row)
        std::memcpy(m_pixels.data + static_cast<size_t>(row) * w,
                    other->m_pixels.data + static_cast<size_t>(y + row) * other->m_width + x,
                    static_cast<size_t>(w) * 4);
}

CBitmap32::CBitmap32(int w, int h, uint32_t colour) {
    if (!Allocate(std::max(w, 1), std::max(h, 1))) return;
    std::fill_n(m_pixels.data, static_cast<size_t>(m_width) * m_height, ScriptToPixel(colour));
}

// The gradient is painted opaque: channels lrint(t × c2 + (1 − t) × c1) in
// double precision, ties to even. Unpainted pixels are opaque black, as a
// new platform bitmap read opaquely would give.
CBitmap32::CBitmap32(int w, int h, uint32_t colour1, uint32_t colour2, int kind) {
    int width = std::max(w, 1);
    int height = std::max(h, 1);
    if (!Allocate(width, height)) return;
    uint32_t* p = m_pixels.data;
    std::fill_n(p, static_cast<size_t>(width) * height, kOpaque);
    if (w < 1 || h < 1 || kind < 0 || kind > 5) return;
    auto colourAt = [&](double t) {
        uint32_t out = kOpaque;
        for (int shift = 0; shift < 24; shift += 8) {
            double c1 = (colour1 >> shift) & 0xFF;
            double c2 = (colour2 >> shift) & 0xFF;
            uint32_t c = static_cast<uint32_t>(RealRoundToInt32(t * c2 + (1.0 - t) * c1)) & 0xFF;
            // Script red (shift 0) goes to bits 16-23, blue (16) to 0-7.
            out |= c << (16 - shift);
        }
        return out;
    };
    if (kind == 3) {
        std::fill_n(p, static_cast<size_t>(width) * height, colourAt(0.0));
        double radius = std::min(w, h) * 0.5;
        for (int k = 0; k < radius; ++k) {
            if (!(k < h - k && k < w - k)) continue;
            uint32_t c = colourAt(k / radius);
            double rx = (w - 2 * k) * 0.5;
            double ry = (h - 2 * k) * 0.5;
            for (int y = k; y < h - k; ++y)
                for (int x = k; x < w - k; ++x) {
                    double dx = x - w * 0.5;
                    double dy = y - h * 0.5;
                    if (dx * dx / (rx * rx) + dy * dy / (ry * ry) <= 1.0)
                        p[static_cast<size_t>(y) * w + x] = c;
                }
        }
        return;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double t = 0.0;
            switch (kind) {
                case 0: t = static_cast<double>(x) / w; break;
                case 1: t = static_cast<double>(y) / h; break;
                case 2: t = std::min({x, w - 1 - x, y, h - 1 - y}) / (std::min(w, h) * 0.5); break;
                case 4: t = std::min(x, w - 1 - x) / (w * 0.5); break;
                case 5: t = std::min(y, h - 1 - y) / (h * 0.5); break;
            }
            p[static_cast<size_t>(y) * w + x] = colourAt(t);
        }
}

void CBitmap32::ReadDirect(IBitmap* bitmap) {
    int format = bitmap->GetPixelFormat();
    if (format != 6 && format != 7) return;
    int w = bitmap->GetWidth();
    int h = bitmap->GetHeight();
    void* rows = nullptr;
    int pitch = 0;
    void* token = bitmap->LockBits(0, &rows, &pitch);
    if (token == nullptr || !Allocate(w, h)) {
        if (token != nullptr) bitmap->UnlockBits(token);
        return;
    }
    int size = format == 6 ? 3 : 4;
    for (int y = 0; y < h; ++y) {
        const uint8_t* in = static_cast<const uint8_t*>(rows) + static_cast<size_t>(y) * pitch;
        uint32_t* out = m_pixels.data + static_cast<size_t>(y) * w;
        for (int x = 0; x < w; ++x, in += size) out[x] = kOpaque | in[2] << 16 | in[1] << 8 | in[0];
    }
    bitmap->UnlockBits(token);
}

void CBitmap32::CopyWithAlpha(IBitmap* bitmap) {
    if (bitmap->GetNative() != nullptr) bitmap->FromBitmap(bitmap);
    if (bitmap->GetPixelFormat() != 7) return;
    int w = bitmap->GetWidth();
    int h = bitmap->GetHeight();
    void* rows = nullptr;
    int pitch = 0;
    void* token = bitmap->LockBits(0, &rows, &pitch);
    if (token == nullptr || !Allocate(w, h)) {
        if (token != nullptr) bitmap->UnlockBits(token);
        return;
    }
    for (int y = 0; y < h; ++y)
        std::memcpy(m_pixels.data + static_cast<size_t>(y) * w,
                    static_cast<const uint8_t*>(rows) + static_cast<size_t>(y) * pitch,
                    static_cast<size_t>(w) * 4);
    bitmap->UnlockBits(token);
}

void CBitmap32::KeyAndSmooth(bool removeBackground, bool smooth) {
    if (!removeBackground) return;
    RemoveBackground();
    if (smooth) SmoothEdges();
}

CBitmap32::CBitmap32(int, IBitmap* bitmap, bool removeBackground, bool smooth) {
    if (bitmap == nullptr) return;
    ReadDirect(bitmap);
    KeyAndSmooth(removeBackground, smooth);
}

CBitmap32::CBitmap32(IBitmap* bitmap, bool removeBackground, bool smooth) {
    if (bitmap == nullptr) return;
    int format = bitmap->GetPixelFormat();
    if (format == 6 || format == 7) {
        ReadDirect(bitmap);
    } else {
        std::unique_ptr<IBitmap> converted = IBitmap::Create();
        converted->SetPixelFormat(7);
        converted->FromBitmap(bitmap);
        ReadDirect(converted.get());
    }
    KeyAndSmooth(removeBackground, smooth);
}

CBitmap32::CBitmap32(IBitmap* bitmap, bool removeBackground, bool smooth, int) {
    if (bitmap == nullptr) return;
    CopyWithAlpha(bitmap);
    KeyAndSmooth(removeBackground, smooth);
}

CBitmap32::CBitmap32(IBitmap* bitmap, bool removeBackground, bool smooth, bool keepAlpha) {
    if (keepAlpha) {
        CBitmap32 made(bitmap, removeBackground, smooth, 0);
        TakeFrom(made);
    } else {
        CBitmap32 made(bitmap, removeBackground, smooth);
        TakeFrom(made);
    }
}

// ---------------------------------------------------------------------------
// Operations

void CBitmap32::ColourKey() {
    if (!m_valid || m_width == 0 || m_height == 0) return;
    uint32_t* p = m_pixels.data;
    uint32_t key = p[static_cast<size_t>(m_height - 1) * m_width] & 0xFFFFFF;
    for (size_t i = 0, n = static_cast<size_t>(m_width) * m_height; i < n; ++i)
        if ((p[i] & 0xFFFFFF) == key) p[i] = key;
}

void CBitmap32::RemoveBackground() {
    ColourKey();
    ImproveBoundary();
}

void CBitmap32::ImproveBoundary() {
    if (!m_valid || m_width == 0 || m_height == 0) return;
    uint32_t* p = m_pixels.data;
    int w = m_width;
    int h = m_height;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t& pixel = p[static_cast<size_t>(y) * w + x];
            if (!IsTransparent(pixel)) continue;
            const int neighbours[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
            for (const auto& n : neighbours) {
                if (n[0] < 0 || n[0] >= w || n[1] < 0 || n[1] >= h) continue;
                uint32_t other = p[static_cast<size_t>(n[1]) * w + n[0]];
                if (IsTransparent(other)) continue;
                pixel = other & 0xFFFFFF;
                break;
            }
        }
}

void CBitmap32::SmoothEdges() {
    if (!m_valid || m_width == 0 || m_height == 0) return;
    uint32_t* p = m_pixels.data;
    int w = m_width;
    int h = m_height;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!IsTransparent(p[static_cast<size_t>(y) * w + x])) continue;
            for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, h - 1); ++ny)
                for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, w - 1); ++nx) {
                    uint32_t& n = p[static_cast<size_t>(ny) * w + nx];
                    if ((n >> 24) >= 32) n -= 0x20000000u;
                }
        }
}

void CBitmap32::SetAlphaFromBitmap(const CBitmap32* other) {
    if (other == nullptr || !m_valid || !other->m_valid) return;
    int w = std::min(m_width, other->m_width);
    int h = std::min(m_height, other->m_height);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t& pixel = m_pixels.data[static_cast<size_t>(y) * m_width + x];
            uint32_t o = other->m_pixels.data[static_cast<size_t>(y) * other->m_width + x];
            uint32_t brightness = ((o >> 16 & 0xFF) + (o >> 8 & 0xFF) + (o & 0xFF)) / 3;
            uint32_t alpha = std::min(pixel >> 24, brightness);
            pixel = (pixel & 0xFFFFFF) | alpha << 24;
        }
}

void CBitmap32::Stretch(int w, int h) {
    if (!m_valid || (w == m_width && h == m_height)) return;
    int64_t bytes = ByteCount(w, h);
    if (bytes < 0) return;
    uint32_t* out = bytes > 0 ? static_cast<uint32_t*>(ZQ_Alloc(static_cast<size_t>(bytes))) : nullptr;
    if (bytes > 0 && out == nullptr) return;
    int64_t oldW = m_width;
    int64_t oldH = m_height;
    // The source column of each target column, computed once for all rows.
    std::vector<int64_t> columns(static_cast<size_t>(w));
    for (int x = 0; x < w; ++x) columns[static_cast<size_t>(x)] = x * oldW / w;
    for (int y = 0; y < h; ++y) {
        int64_t sy = y * oldH / h;
        if (sy >= oldH || oldW == 0) continue; // an empty source leaves the pixels 0
        const uint32_t* in = m_pixels.data + sy * oldW;
        uint32_t* row = out + static_cast<size_t>(y) * w;
        for (int x = 0; x < w; ++x) row[x] = in[columns[static_cast<size_t>(x)]];
    }
    ZQ_Free(m_pixels.data);
    m_pixels = {static_cast<int32_t>(bytes), out};
    m_width = w;
    m_height = h;
}

tagZQRECT* CBitmap32::BoundingBox() const {
    tagZQRECT* rect = static_cast<tagZQRECT*>(ZQ_Alloc(sizeof(tagZQRECT)));
    if (rect == nullptr || !m_valid || m_width == 0 || m_height == 0) return rect;
    *rect = {m_width - 1, m_height - 1, 0, 0};
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x) {
            if (IsTransparent(m_pixels.data[static_cast<size_t>(y) * m_width + x])) continue;
            rect->left = std::min(rect->left, x);
            rect->top = std::min(rect->top, y);
            rect->right = std::max(rect->right, x);
            rect->bottom = std::max(rect->bottom, y);
        }
    return rect;
}

std::unique_ptr<IBitmap> CBitmap32::CreatePlatform(int format) const {
    if (!m_valid) return nullptr;
    std::unique_ptr<IBitmap> bitmap = IBitmap::Create();
    bitmap->SetPixelFormat(format);
    bitmap->SetWidth(m_width);
    bitmap->SetHeight(m_height);
    void* rows = nullptr;
    int pitch = 0;
    void* token = bitmap->LockBits(0, &rows, &pitch);
    if (token == nullptr) return bitmap;
    int size = format == 6 ? 3 : 4;
    for (int y = 0; y < m_height; ++y) {
        uint8_t* out = static_cast<uint8_t*>(rows) + static_cast<size_t>(y) * pitch;
        const uint32_t* in = m_pixels.data + static_cast<size_t>(y) * m_width;
        for (int x = 0; x < m_width; ++x, out += size) {
            out[0] = static_cast<uint8_t>(in[x]);
            out[1] = static_cast<uint8_t>(in[x] >> 8);
            out[2] = static_cast<uint8_t>(in[x] >> 16);
            if (size == 4) out[3] = static_cast<uint8_t>(in[x] >> 24);
        }
    }
    bitmap->UnlockBits(token);
    return bitmap;
}

std::unique_ptr<IBitmap> CBitmap32::CreateBitmap24() const {
    return CreatePlatform(6);
}

std::unique_ptr<IBitmap> CBitmap32::CreateBitmap32() const {
    return CreatePlatform(7);
}
