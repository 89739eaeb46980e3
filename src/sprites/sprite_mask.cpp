// Bounding boxes and collision masks of a sprite: the box by mode, masks from
// the frames' alpha or in a shape inscribed in the box, and the data file's
// packed masks unpacked on first use. Every mask holds exactly width × height
// bytes, and every builder stays inside the frame whatever the box says.
#include <algorithm>
#include <climits>
#include <cmath>

#include "core/memory_manager.h"
#include "render/bitmap32.h"
#include "render/page_entry.h"
#include "world/instances/sprite_services.h"

namespace {

// A frame pixel, 0 where the frame has no bitmap or the bitmap is smaller
// than the sprite's frame (a stream may declare a size its bitmaps lack).
class FramePixels {
public:
    explicit FramePixels(const CBitmap32* bitmap) {
        if (bitmap != nullptr && bitmap->IsValid()) {
            m_pixels = bitmap->Pixels();
            m_width = bitmap->GetWidth();
            m_height = bitmap->GetHeight();
        }
    }
    uint32_t operator()(int x, int y) const {
        if (m_pixels == nullptr || x >= m_width || y >= m_height) return 0;
        return m_pixels[static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)];
    }

private:
    const uint32_t* m_pixels = nullptr;
    int m_width = 0;
    int m_height = 0;
};

// Alpha compared in place: a tolerance up to 0x00FFFFFF means alpha >= 1.
inline bool SolidFor(uint32_t pixel, uint32_t tolerance) {
    return (pixel & 0xFF000000u) > tolerance;
}

// An owned entry shows the whole bitmap from (0, 0) of its texture, so the
// visible rectangle is both its place on the texture and its offset; a frame
// with nothing visible keeps one pixel at the corner.
void TrimEntry(ZQTPageEntry& e, const SBoundingBox& seen) {
    if (seen.right < seen.left) {
        e.xOffset = e.yOffset = 0;
        e.x = e.y = 0;
        e.cropWidth = e.cropHeight = e.width = e.height = 1;
        return;
    }
    e.x = e.xOffset = static_cast<int16_t>(seen.left);
    e.y = e.yOffset = static_cast<int16_t>(seen.top);
    e.width = e.cropWidth = static_cast<int16_t>(seen.right - seen.left + 1);
    e.height = e.cropHeight = static_cast<int16_t>(seen.bottom - seen.top + 1);
}

size_t MaskBytes(int32_t w, int32_t h) {
    return w > 0 && h > 0 ? static_cast<size_t>(w) * static_cast<size_t>(h) : 0;
}

} // namespace

void CSprite::SetBoundingBox(const SBoundingBox& box) {
    if (m_bboxmode == SPRITE_BBOX_MANUAL) m_bbox = box;
}

void CSprite::SetBoundingBoxMode(int mode) {
    if (mode < SPRITE_BBOX_AUTOMATIC || mode > SPRITE_BBOX_MANUAL || mode == m_bboxmode) return;
    m_bboxmode = mode;
    ComputeBoundingBox();
}

// Manual boxes are never recomputed. A full or opaque sprite covers its frame;
// an automatic box is the union of the frames' opaque pixels, and stays
// inverted ({w − 1, h − 1, 0, 0}) when no frame has one.
void CSprite::ComputeBoundingBox() {
    ComputeCullRadius();
    if (m_bboxmode == SPRITE_BBOX_MANUAL) return;
    if (m_numb <= 0) {
        m_bbox = SBoundingBox{};
        return;
    }
    if (m_bboxmode == SPRITE_BBOX_FULL || !m_transparent) {
        m_bbox = SBoundingBox{0, 0, m_width - 1, m_height - 1};
        return;
    }
    SBoundingBox box{m_width - 1, m_height - 1, 0, 0};
    for (const auto& bitmap : m_bitmaps) {
        if (bitmap == nullptr || !bitmap->IsValid() || bitmap->GetWidth() == 0 || bitmap->GetHeight() == 0)
            continue;
        tagZQRECT* frame = bitmap->BoundingBox();
        if (frame == nullptr) continue;
        box.left = std::min(box.left, frame->left);
        box.top = std::min(box.top, frame->top);
        box.right = std::max(box.right, frame->right);
        box.bottom = std::max(box.bottom, frame->bottom);
        ZQ_Free(frame);
    }
    m_bbox = box;
}

void CSprite::SetCollisionChecking(bool precise) {
    if (precise == m_precise) return;
    m_precise = precise;
    if (m_kind == SPRITE_KIND_BITMAP) CreateMask();
}

void CSprite::FreeMask() {
    if (!m_maskCreated) return;
    m_masks.clear();
    m_maskCreated = false;
}

// Default masks: one per frame, solid where the pixel has any alpha. Sprites
// on the data file's pages carry packed masks instead and build none.
void CSprite::CreateMask() {
    FreeMask();
    if (!m_precise || !m_transparent || m_numb <= 0 || m_kind != SPRITE_KIND_BITMAP || m_dataFileEntries)
        return;
    std::vector<CMask> masks(static_cast<size_t>(m_numb));
    for (int f = 0; f < m_numb; ++f) {
        const FramePixels pixels(static_cast<size_t>(f) < m_bitmaps.size() ? m_bitmaps[f].get() : nullptr);
        std::vector<uint8_t>& bits = masks[static_cast<size_t>(f)].bits;
        bits.assign(MaskBytes(m_width, m_height), 0);
        if (bits.empty()) continue; // no pixels: no rows worth walking
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                bits[static_cast<size_t>(y) * m_width + x] = pixels(x, y) > 0x00FFFFFFu ? 1 : 0;
    }
    m_masks = std::move(masks);
    m_maskCreated = true;
}

// sprite_collision_mask: the box by the given mode, then one mask per frame;
// without `separate` every later frame's mask also holds frame 0's solid
// pixels.
void CSprite::ComputeMask(bool separate, int bboxMode, const SBoundingBox& rect, int kind,
                          uint32_t tolerance) {
    if (m_kind == SPRITE_KIND_VECTOR || m_kind == SPRITE_KIND_SKELETON) return;
    FreeMask();
    if (m_dataFileEntries) return;
    const int frames = std::max(m_numb, 0);
    auto bitmap = [this](int f) {
        return static_cast<size_t>(f) < m_bitmaps.size() ? m_bitmaps[static_cast<size_t>(f)].get() : nullptr;
    };
    switch (bboxMode) {
        case SPRITE_BBOX_AUTOMATIC: {
            SBoundingBox box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
            bool any = false;
            for (int f = 0; f < frames && MaskBytes(m_width, m_height) > 0; ++f) {
                const FramePixels pixels(bitmap(f));
                // The visible pixels (alpha >= 1) of the frame, whatever the
                // tolerance: an owned entry is trimmed to them, so the quads
                // drawn never cover transparent border.
                SBoundingBox seen{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
                for (int y = 0; y < m_height; ++y)
                    for (int x = 0; x < m_width; ++x) {
                        const uint32_t pixel = pixels(x, y);
                        if ((pixel & 0xFF000000u) != 0) {
                            seen.left = std::min(seen.left, x);
                            seen.top = std::min(seen.top, y);
                            seen.right = std::max(seen.right, x);
                            seen.bottom = std::max(seen.bottom, y);
                        }
                        if (!SolidFor(pixel, tolerance)) continue;
                        any = true;
                        box.left = std::min(box.left, x);
                        box.top = std::min(box.top, y);
                        box.right = std::max(box.right, x);
                        box.bottom = std::max(box.bottom, y);
                    }
                if (static_cast<size_t>(f) < m_localEntries.size() && m_localEntries[static_cast<size_t>(f)])
                    TrimEntry(*m_localEntries[static_cast<size_t>(f)], seen);
            }
            m_bbox = any ? box : SBoundingBox{};
            break;
        }
        case SPRITE_BBOX_FULL: m_bbox = SBoundingBox{0, 0, m_width - 1, m_height - 1}; break;
        case SPRITE_BBOX_MANUAL: {
            auto clamp = [](int32_t v, int32_t size) { return v < 0 ? 0 : v >= size ? size - 1 : v; };
            m_bbox = SBoundingBox{clamp(rect.left, m_width), clamp(rect.top, m_height),
                                  clamp(rect.right, m_width), clamp(rect.bottom, m_height)};
            break;
        }
        default: break;
    }
    std::vector<CMask> masks(static_cast<size_t>(frames));
    for (int f = 0; f < frames; ++f) {
        const CMask* other = separate || f == 0 ? nullptr : &masks[0];
        TMaskCreate(other, &masks[static_cast<size_t>(f)], bitmap(f), kind, tolerance);
    }
    m_masks = std::move(masks);
    m_maskCreated = true;
}

// One mask of the sprite's frame size. The shapes fill what is inscribed in
// the bounding box, clipped to the frame; the ellipse and diamond are centred
// on the box's middle pixel (integer halves) with radii reaching half a pixel
// past its left and top edges.
void CSprite::TMaskCreate(const CMask* other, CMask* target, const CBitmap32* bitmap, int kind,
                          uint32_t tolerance) const {
    if (target == nullptr) return;
    const int w = std::max(m_width, 0);
    const int h = std::max(m_height, 0);
    std::vector<uint8_t>& bits = target->bits;
    bits.assign(MaskBytes(w, h), 0);
    if (bits.empty()) {
        // A frame without pixels: nothing to fill, nothing to merge.
    } else if (kind == SPRITE_MASK_PRECISE) {
        const FramePixels pixels(bitmap);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                bits[static_cast<size_t>(y) * w + x] = SolidFor(pixels(x, y), tolerance);
    } else if (kind >= SPRITE_MASK_RECTANGLE && kind <= SPRITE_MASK_DIAMOND && m_bbox.top <= m_bbox.bottom &&
               m_bbox.left <= m_bbox.right) {
        const int64_t l = m_bbox.left, t = m_bbox.top, r = m_bbox.right, b = m_bbox.bottom;
        const int64_t cx = (l + r) / 2, cy = (t + b) / 2;
        const float rx = static_cast<float>(cx - l) + 0.5f;
        const float ry = static_cast<float>(cy - t) + 0.5f;
        const int x0 = static_cast<int>(std::max<int64_t>(l, 0)),
                  x1 = static_cast<int>(std::min<int64_t>(r, w - 1));
        const int y0 = static_cast<int>(std::max<int64_t>(t, 0)),
                  y1 = static_cast<int>(std::min<int64_t>(b, h - 1));
        if (kind == SPRITE_MASK_RECTANGLE || (rx > 0.0f && ry > 0.0f)) {
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x) {
                    bool solid = true;
                    const float dx = static_cast<float>(x - cx) / rx;
                    const float dy = static_cast<float>(y - cy) / ry;
                    if (kind == SPRITE_MASK_ELLIPSE)
                        solid = dx * dx + dy * dy < 1.0f;
                    else if (kind == SPRITE_MASK_DIAMOND)
                        solid = static_cast<double>(std::fabs(dx)) + static_cast<double>(std::fabs(dy)) < 1.0;
                    bits[static_cast<size_t>(y) * w + x] = solid;
                }
        }
    }
    if (other != nullptr) {
        const size_t n = std::min(bits.size(), other->bits.size());
        for (size_t i = 0; i < n; ++i)
            if (other->bits[i] != 0) bits[i] = 1;
    }
}

// Packed rows are (width + 7) / 8 bytes, pixel x in bit 7 − x mod 8 of byte
// x / 8; masks follow one another. Masks stored for another frame size (the
// sprite was refilled since) are never unpacked.
void CSprite::UnpackWADMask() const {
    if (m_maskCreated || m_packedMaskCount <= 0 || m_packedMasks == nullptr) return;
    if (m_packedWidth != m_width || m_packedHeight != m_height) return;
    const int w = m_width, h = m_height;
    const size_t rowBytes = (static_cast<size_t>(w) + 7) / 8;
    std::vector<CMask> masks(static_cast<size_t>(m_packedMaskCount));
    const uint8_t* row = m_packedMasks;
    // A frame without pixels has empty masks (and no rows worth walking).
    for (CMask& mask : masks) {
        if (MaskBytes(w, h) == 0) continue;
        mask.bits.resize(MaskBytes(w, h));
        uint8_t* out = mask.bits.data();
        for (int y = 0; y < h; ++y, row += rowBytes)
            for (int x = 0; x < w; ++x) *out++ = (row[x >> 3] >> (7 - (x & 7))) & 1;
    }
    m_masks = std::move(masks);
    m_maskCreated = true;
}

const uint8_t* CSprite::CollisionMask(int frame) const {
    if (!m_maskCreated || m_masks.empty()) return nullptr;
    const int count = static_cast<int>(m_masks.size());
    int m = frame % count;
    if (m < 0) m += count;
    const CMask& mask = m_masks[static_cast<size_t>(m)];
    if (mask.bits.size() != MaskBytes(m_width, m_height) || mask.bits.empty()) return nullptr;
    return mask.bits.data();
}
