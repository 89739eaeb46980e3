// The sprite record: defaults, clearing and copying, the "SPRT" record of
// the game data file and the legacy stream forms. Everything read is checked
// before it is kept: counts against the bytes that remain, packed masks
// against the chunk, mask sizes against the frame size.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/game_image.h"
#include "core/header_globals.h"
#include "core/real_to_int.h"
#include "render/bitmap32.h"
#include "render/page_entry.h"
#include "render/platform_bitmap.h"
#include "world/instances/sprite_services.h"

namespace {

constexpr int32_t kStreamVersion542 = 542;
constexpr int32_t kStreamVersion800 = 800;

// One mask of the stream form: version 800 is {width, height, four words of
// an unused box, width × height 32-bit booleans}; any other version holds
// nothing more. A mask not of the frame's size would be read out of bounds by
// the collision tests, so it refuses the stream.
void ReadStreamMask(ImageReader& in, CMask& mask, int32_t width, int32_t height) {
    if (in.S32() != kStreamVersion800) return;
    const int32_t w = in.S32();
    const int32_t h = in.S32();
    in.Skip(16);
    if (w != width || h != height) in.Fail("mask size differs from the frame size");
    const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
    if (count > in.Remaining() / 4) in.Fail("mask runs past the end of the stream");
    const uint8_t* words = in.Bytes(count * 4);
    mask.bits.resize(count);
    for (size_t i = 0; i < count; ++i) {
        uint32_t word;
        std::memcpy(&word, words + 4 * i, 4);
        mask.bits[i] = word != 0 ? 1 : 0;
    }
}

// `count` bitmaps of the CBitmap32 stream form; an invalid one stays a frame
// without pixels.
void ReadStreamBitmaps(ImageReader& in, uint32_t count, std::vector<std::unique_ptr<CBitmap32>>& out) {
    out.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const size_t at = in.Position();
        size_t consumed = 0;
        auto bitmap = std::make_unique<CBitmap32>(in.Span(at, in.Remaining()), in.Remaining(), &consumed);
        if (consumed == 0) in.Fail("frame bitmap is cut off");
        in.Skip(consumed);
        out.push_back(std::move(bitmap));
    }
}

} // namespace

CSprite::CSprite() {
    Clear();
}

CSprite::~CSprite() {
    FreeLocalTPE();
    FreeTexture();
}

void CSprite::Clear() {
    FreeLocalTPE();
    FreeTexture();
    m_textures.clear();
    m_bitmaps.clear();
    m_pageEntryOffsets.clear();
    m_dataFileEntries = false;
    FreeMask();
    m_numb = 0;
    m_bbox = SBoundingBox{};
    m_width = 1;
    m_height = 1;
    m_xorigin = 0;
    m_yorigin = 0;
    m_precise = true;
    m_transparent = true;
    m_smooth = false;
    m_preload = true;
    m_bboxmode = SPRITE_BBOX_AUTOMATIC;
    m_name = nullptr;
    m_kind = SPRITE_KIND_BITMAP;
}

int CSprite::WrapFrame(int frame) const {
    if (m_numb <= 0) return -1;
    int f = frame % m_numb;
    return f < 0 ? f + m_numb : f;
}

uint32_t CSprite::PageEntryOffset(int frame) const {
    const int f = WrapFrame(frame);
    if (f < 0 || static_cast<size_t>(f) >= m_pageEntryOffsets.size()) return 0;
    return m_pageEntryOffsets[static_cast<size_t>(f)];
}

ZQTPageEntry* CSprite::GetPageEntry(int frame) const {
    const uint32_t offset = PageEntryOffset(frame);
    return offset != 0 ? TPageEntry_AtOffset(offset) : nullptr;
}

// The largest of the origin's distances to the four frame corners, rounded
// up. Squares are taken in double precision (exact for every frame of a
// real size): an origin far outside the frame must not overflow.
void CSprite::ComputeCullRadius() {
    const int64_t ox = m_xorigin, oy = m_yorigin;
    const int64_t dx[2] = {ox, int64_t{m_width} - ox};
    const int64_t dy[2] = {oy, int64_t{m_height} - oy};
    float largest = 0.0f;
    for (int64_t x : dx)
        for (int64_t y : dy)
            largest = std::max(
                largest,
                std::ceil(std::sqrt(static_cast<float>(static_cast<double>(x) * static_cast<double>(x) +
                                                       static_cast<double>(y) * static_cast<double>(y)))));
    m_cullRadius = largest < 2147483647.0f ? RealToInt32(largest) : 2147483647;
}

// Record layout: name offset, width, height, box left, right, bottom, top
// (that order), transparent, smooth, preload, box mode, precise, origin x and
// y, frame count (-1 for the extended form), then the form's tail.
void CSprite::LoadFromChunk(ImageReader& record) {
    Clear();
    m_packedMaskCount = 0;
    m_packedMasks = nullptr;
    record.U32(); // the name, read by the table
    const int32_t width = record.S32();
    const int32_t height = record.S32();
    if (width < 0 || height < 0) record.Fail("sprite size is negative");
    m_width = width;
    m_height = height;
    m_bbox.left = record.S32();
    m_bbox.right = record.S32();
    m_bbox.bottom = record.S32();
    m_bbox.top = record.S32();
    m_transparent = record.U32() != 0;
    m_smooth = record.U32() != 0;
    m_preload = record.U32() != 0;
    m_bboxmode = record.S32();
    m_precise = record.U32() != 0;
    m_xorigin = record.S32();
    m_yorigin = record.S32();
    int32_t frames = record.S32();

    if (frames == -1) {
        record.S32(); // the form's version, not interpreted
        const int32_t kind = record.S32();
        if (g_isNimbar) {
            m_playbackSpeed = record.F32();
            m_playbackSpeedType = record.S32();
        }
        frames = 0;
        if (kind == SPRITE_KIND_SKELETON) {
            // The skeleton's texts and texture follow; the skeleton module
            // reads them. They must lie inside the chunk.
            record.U32();
            const size_t json = record.U32();
            const size_t atlas = record.U32();
            const size_t texture = record.U32();
            record.U32(); // texture width
            record.U32(); // texture height
            if (json + atlas + texture > record.Remaining()) record.Fail("skeleton data runs past the chunk");
            m_kind = SPRITE_KIND_SKELETON;
            m_numb = SPRITE_SKELETON_FRAMES;
            return;
        }
        if (kind == SPRITE_KIND_VECTOR) {
            // The entries the vector data refers to by index; the vector
            // data itself follows for the vector module.
            if (record.S32() >= 8) {
                const uint32_t n = record.Count(4);
                m_pageEntryOffsets.resize(n);
                for (uint32_t i = 0; i < n; ++i) m_pageEntryOffsets[i] = record.U32();
                m_dataFileEntries = true;
            }
            m_kind = SPRITE_KIND_VECTOR;
            return;
        }
        if (kind != SPRITE_KIND_BITMAP) return;
        if (g_isNimbar) frames = record.S32();
    } else if (g_isNimbar && frames == 0) {
        frames = record.S32();
    }
    if (frames < 0) record.Fail("sprite frame count is negative");

    // The bitmap tail: one page-entry offset per frame, then the packed masks.
    if (static_cast<size_t>(frames) > record.Remaining() / 4) record.Fail("sprite frame count is too large");
    m_pageEntryOffsets.resize(static_cast<size_t>(frames));
    for (int32_t i = 0; i < frames; ++i) m_pageEntryOffsets[static_cast<size_t>(i)] = record.U32();
    m_dataFileEntries = true;
    m_numb = frames;

    const int32_t masks = record.S32();
    // One mask per frame, or one for all: more would be read by no frame.
    if (masks < 0 || masks > std::max(frames, 1)) record.Fail("sprite mask count does not match its frames");
    const size_t maskBytes = static_cast<size_t>(height) * ((static_cast<size_t>(width) + 7) / 8);
    if (masks > 0) {
        if (maskBytes != 0 && static_cast<size_t>(masks) > record.Remaining() / maskBytes)
            record.Fail("sprite masks run past the chunk");
        m_packedMasks = record.Bytes(maskBytes * static_cast<size_t>(masks));
        m_packedMaskCount = masks;
        m_packedWidth = width;
        m_packedHeight = height;
    }
    ComputeCullRadius();
}

std::unique_ptr<IBitmap> CSprite::GetBitmap32(int frame) const {
    if (m_kind != SPRITE_KIND_BITMAP || frame < 0 || static_cast<size_t>(frame) >= m_bitmaps.size() ||
        m_bitmaps[static_cast<size_t>(frame)] == nullptr)
        return nullptr;
    return m_bitmaps[static_cast<size_t>(frame)]->CreateBitmap32();
}

std::unique_ptr<IBitmap> CSprite::GetBitmap24(int frame) const {
    if (m_kind != SPRITE_KIND_BITMAP || frame < 0 || static_cast<size_t>(frame) >= m_bitmaps.size() ||
        m_bitmaps[static_cast<size_t>(frame)] == nullptr)
        return nullptr;
    return m_bitmaps[static_cast<size_t>(frame)]->CreateBitmap24();
}

// Version 542: size, box (left, right, bottom, top), transparent, smooth,
// preload, box mode, precise, origin, frame count, the frame bitmaps; masks
// are then built from the bitmaps. Version 800: origin, frame count, the
// bitmaps (whose size becomes the sprite's, the last one winning), whether
// masks are separate, the masks, and a box computed from the frames.
bool CSprite::LoadFromStream(const uint8_t* data, size_t length, size_t* consumed) {
    Clear();
    if (consumed != nullptr) *consumed = 0;
    ImageReader in(const_cast<uint8_t*>(data), data != nullptr ? length : 0, 0, length, "sprite stream");
    try {
        const int32_t version = in.S32();
        if (version == kStreamVersion542) {
            const int32_t width = in.S32();
            const int32_t height = in.S32();
            if (width < 0 || height < 0) in.Fail("sprite size is negative");
            m_width = width;
            m_height = height;
            m_bbox.left = in.S32();
            m_bbox.right = in.S32();
            m_bbox.bottom = in.S32();
            m_bbox.top = in.S32();
            m_transparent = in.U32() != 0;
            m_smooth = in.U32() != 0;
            m_preload = in.U32() != 0;
            m_bboxmode = in.S32();
            m_precise = in.U32() != 0;
            m_xorigin = in.S32();
            m_yorigin = in.S32();
            const uint32_t frames = in.Count(4);
            if (frames > 0x7FFFFFFF) in.Fail("frame count is too large");
            // The masks built below take frames × width × height bytes,
            // which must stay in proportion to the stream.
            if (static_cast<double>(frames) * width * height >
                static_cast<double>(GameData_LoadBudget(length)))
                in.Fail("sprite frames are too large for the stream");
            ReadStreamBitmaps(in, frames, m_bitmaps);
            m_numb = static_cast<int32_t>(frames);
            CreateMask();
            ComputeCullRadius();
            if (consumed != nullptr) *consumed = in.Position();
            return true;
        }
        if (version == kStreamVersion800) {
            m_xorigin = in.S32();
            m_yorigin = in.S32();
            const uint32_t frames = in.Count(4);
            if (frames > 0x7FFFFFFF) in.Fail("frame count is too large");
            ReadStreamBitmaps(in, frames, m_bitmaps);
            m_numb = static_cast<int32_t>(frames);
            for (const auto& bitmap : m_bitmaps) {
                m_width = bitmap->GetWidth();
                m_height = bitmap->GetHeight();
            }
            // Masks are frames × width × height bytes: many empty frames
            // beside one large bitmap must not multiply into more than the
            // stream could describe.
            if (static_cast<double>(frames) * m_width * m_height >
                static_cast<double>(GameData_LoadBudget(length)))
                in.Fail("sprite frames are too large for the stream");
            const bool separate = in.U32() != 0;
            if (frames > 0) {
                std::vector<CMask> masks(separate ? frames : 1);
                for (CMask& mask : masks) ReadStreamMask(in, mask, m_width, m_height);
                m_masks = std::move(masks);
                m_maskCreated = true;
            }
            ComputeBoundingBox();
            if (consumed != nullptr) *consumed = in.Position();
            return true;
        }
    } catch (const GameDataError&) {
    }
    Clear();
    return false;
}

// The copy is a bitmap sprite with the source's size, box, flags, origin,
// frames and frame bitmaps, sharing the data file's page entries when the
// source has them. Its masks are built from its bitmaps, so a copy of a
// data-file sprite (which has none) has no masks. Speed, name, packed masks
// and kind are not copied.
void CSprite::Assign(const CSprite* source) {
    if (source == nullptr || source == this || source->m_kind != SPRITE_KIND_BITMAP) return;
    Clear();
    m_packedMaskCount = 0;
    m_packedMasks = nullptr;
    m_width = source->m_width;
    m_height = source->m_height;
    m_bbox = source->m_bbox;
    m_transparent = source->m_transparent;
    m_smooth = source->m_smooth;
    m_preload = source->m_preload;
    m_bboxmode = source->m_bboxmode;
    m_precise = source->m_precise;
    m_xorigin = source->m_xorigin;
    m_yorigin = source->m_yorigin;
    m_numb = source->m_numb;
    m_cullRadius = source->m_cullRadius;
    if (source->m_dataFileEntries) {
        m_pageEntryOffsets = source->m_pageEntryOffsets;
        m_dataFileEntries = true;
    }
    m_bitmaps.reserve(source->m_bitmaps.size());
    for (const auto& bitmap : source->m_bitmaps)
        m_bitmaps.push_back(bitmap != nullptr ? std::make_unique<CBitmap32>(bitmap.get()) : nullptr);
    InitTexture();
    if (!m_dataFileEntries) InitLocalTPE();
    CreateMask();
}
