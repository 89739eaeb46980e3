// Sprite frames made at run time: from image files and decoded image data
// (cut into a strip of equal frames), from platform bitmaps, from the frames
// of another sprite, and read back from the data file's texture pages.
#include <algorithm>
#include <climits>
#include <cstring>

#include <strings.h>

#include "core/console.h"
#include "core/error.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "render/bitmap32.h"
#include "render/image_decode.h"
#include "render/page_entry.h"
#include "render/platform_bitmap.h"
#include "render/read_back.h"
#include "render/texture_table.h"
#include "sprites/skeleton_services.h"
#include "world/instances/sprite_services.h"

namespace {

// Decoders take an int length: larger data is no image we can hold anyway.
int DecoderLength(size_t length) {
    return static_cast<int>(std::min<size_t>(length, INT32_MAX));
}

// A name of at least five characters ending in ".json", in any letter case.
bool IsSkeletonFile(const char* path) {
    const size_t n = std::strlen(path);
    return n >= 5 && strcasecmp(path + n - 5, ".json") == 0;
}

// The frame bitmap a platform bitmap gives: its alpha kept, or opaque; either
// way with the given background removal and smoothing. Null when invalid.
std::unique_ptr<CBitmap32> ConvertBitmap(IBitmap* image, bool removeBackground, bool smooth, bool keepAlpha) {
    auto bitmap = keepAlpha ? std::make_unique<CBitmap32>(image, removeBackground, smooth, true)
                            : std::make_unique<CBitmap32>(image, removeBackground, smooth);
    return bitmap->IsValid() ? std::move(bitmap) : nullptr;
}

} // namespace

bool CSprite::UsesDataFileFrames() const {
    return m_numb > 0 && m_bitmaps.size() < static_cast<size_t>(m_numb);
}

void CSprite::FramesChanged() {
    // Run-time frames draw from textures and page entries of their own; the
    // box and the masks follow the bitmaps.
    InitTexture();
    InitLocalTPE();
    ComputeBoundingBox();
    CreateMask();
    ComputeCullRadius();
}

// ---------------------------------------------------------------------------
// Files and image data

bool CSprite::LoadFromFile(const char* path, int frames, bool precise, bool removeBackground, bool smooth,
                           bool, int xorigin, int yorigin, bool keepAlpha) {
    if (path == nullptr) return false;
    // A skeleton file makes a skeleton sprite; one that holds no skeleton is
    // read as an image like any other file.
    if (IsSkeletonFile(path)) {
        const char* name = m_name;
        Clear();
        m_name = name;
        if (SkeletonSprite_LoadFile(this, path)) {
            m_kind = SPRITE_KIND_SKELETON;
            m_numb = SPRITE_SKELETON_FRAMES;
            return true;
        }
    }
    int length = 0;
    char* data = LoadSave::SaveFileExists(path) ? LoadSave::ReadSaveFile(path, &length)
                                                : LoadSave::ReadBundleFile(path, &length);
    if (data == nullptr) {
        const char* name = m_name;
        Clear();
        m_name = name;
        return false;
    }
    const bool ok =
        LoadFromImageData(reinterpret_cast<const uint8_t*>(data), static_cast<size_t>(std::max(length, 0)),
                          frames, precise, removeBackground, smooth, xorigin, yorigin, keepAlpha);
    ZQ_Free(data);
    return ok;
}

bool CSprite::LoadFromImageData(const uint8_t* data, size_t length, int frames, bool precise,
                                bool removeBackground, bool smooth, int xorigin, int yorigin,
                                bool keepAlpha) {
    if (data != nullptr && length >= 4) {
        // A JPEG or GIF that does not decode is still tried as PNG.
        if (data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF &&
            LoadFromJPEGData(data, length, frames, precise, removeBackground, smooth, xorigin, yorigin,
                             keepAlpha))
            return true;
        if (std::memcmp(data, "GIF8", 4) == 0 &&
            LoadFromGIFData(data, length, frames, precise, removeBackground, smooth, xorigin, yorigin,
                            keepAlpha))
            return true;
    }
    return LoadFromPNGData(data, length, frames, precise, removeBackground, smooth, xorigin, yorigin,
                           keepAlpha);
}

bool CSprite::LoadFromJPEGData(const uint8_t* data, size_t length, int frames, bool precise,
                               bool removeBackground, bool smooth, int xorigin, int yorigin, bool keepAlpha) {
    int w = -1, h = -1;
    uint8_t* pixels = data != nullptr ? ReadJPEGFile(data, DecoderLength(length), &w, &h, false) : nullptr;
    if (pixels == nullptr) return false;
    const bool ok =
        LoadFromData(pixels, w, h, frames, precise, removeBackground, smooth, xorigin, yorigin, keepAlpha);
    ZQ_Free(pixels);
    return ok;
}

bool CSprite::LoadFromGIFData(const uint8_t* data, size_t length, int frames, bool precise,
                              bool removeBackground, bool smooth, int xorigin, int yorigin, bool keepAlpha) {
    int w = -1, h = -1;
    uint8_t* pixels = data != nullptr ? ReadGIFFile(data, DecoderLength(length), &w, &h, false) : nullptr;
    if (pixels == nullptr) return false;
    const bool ok =
        LoadFromData(pixels, w, h, frames, precise, removeBackground, smooth, xorigin, yorigin, keepAlpha);
    ZQ_Free(pixels);
    return ok;
}

bool CSprite::LoadFromPNGData(const uint8_t* data, size_t length, int frames, bool precise,
                              bool removeBackground, bool smooth, int xorigin, int yorigin, bool keepAlpha) {
    PNGImage png;
    if (data == nullptr || !png.Decode(data, length, false)) return false;
    return LoadFromData(png.Pixels(), png.Width(), png.Height(), frames, precise, removeBackground, smooth,
                        xorigin, yorigin, keepAlpha);
}

// A strip: frame i is the rectangle (i × w, 0, w, h) with w = image width ÷
// frame count; columns right of the last whole frame are dropped. A frame
// count above the image width would give frames without pixels, so it is
// refused (the sprite left empty).
bool CSprite::LoadFromData(const uint8_t* rgba, int width, int height, int frames, bool precise,
                           bool removeBackground, bool smooth, int xorigin, int yorigin, bool keepAlpha) {
    const char* name = m_name;
    Clear();
    m_name = name;
    m_kind = SPRITE_KIND_BITMAP;
    if (frames <= 0) frames = 1;
    if (rgba == nullptr || width <= 0 || height <= 0) return false;
    if (frames > width) {
        dbg_csol->Output("CSprite::LoadStrip :: %d frames do not fit an image %d pixels wide\n", frames,
                         width);
        return false;
    }
    std::unique_ptr<IBitmap> image = BitmapFromRGBA(rgba, width, height);
    std::unique_ptr<CBitmap32> whole =
        image != nullptr ? (keepAlpha ? ConvertBitmap(image.get(), false, false, true)
                                      : ConvertBitmap(image.get(), removeBackground, smooth, false))
                         : nullptr;
    if (whole == nullptr) {
        dbg_csol->Output("CSprite::LoadStrip :: Unable to load sprite data\n");
        return false;
    }
    const int frameWidth = width / frames;
    std::vector<std::unique_ptr<CBitmap32>> bitmaps;
    bitmaps.reserve(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        auto frame = std::make_unique<CBitmap32>(whole.get(), i * frameWidth, 0, frameWidth, height);
        if (!frame->IsValid()) return false;
        bitmaps.push_back(std::move(frame));
    }
    m_bitmaps = std::move(bitmaps);
    m_numb = frames;
    m_width = frameWidth;
    m_height = height;
    m_transparent = removeBackground;
    m_smooth = smooth;
    m_bboxmode = SPRITE_BBOX_AUTOMATIC;
    m_preload = true;
    m_precise = precise;
    m_xorigin = xorigin;
    m_yorigin = yorigin;
    FramesChanged();
    return true;
}

// ---------------------------------------------------------------------------
// Platform bitmaps

bool CSprite::CreateFromBitmap(IBitmap* bitmap, bool precise, bool removeBackground, bool smooth,
                               bool preload, int xorigin, int yorigin, bool keepAlpha) {
    const char* name = m_name;
    Clear();
    m_name = name;
    m_kind = SPRITE_KIND_BITMAP;
    if (bitmap == nullptr || bitmap->GetWidth() <= 0 || bitmap->GetHeight() <= 0) return false;
    std::unique_ptr<CBitmap32> frame = ConvertBitmap(bitmap, removeBackground, smooth, keepAlpha);
    if (frame == nullptr) return false;
    m_width = frame->GetWidth();
    m_height = frame->GetHeight();
    m_bitmaps.push_back(std::move(frame));
    m_numb = 1;
    m_bboxmode = SPRITE_BBOX_AUTOMATIC;
    m_transparent = removeBackground;
    m_smooth = smooth;
    m_preload = preload;
    m_precise = precise;
    m_xorigin = xorigin;
    m_yorigin = yorigin;
    FramesChanged();
    return true;
}

// A sprite whose frames live on the data file's pages has no bitmaps to add
// to: appending would leave frames without pixels, so it is refused as merge
// and alpha refuse it.
bool CSprite::AddFromBitmap(IBitmap* bitmap, bool removeBackground, bool smooth, bool keepAlpha) {
    if (m_kind != SPRITE_KIND_BITMAP || UsesDataFileFrames()) return false;
    if (bitmap == nullptr || bitmap->GetWidth() <= 0 || bitmap->GetHeight() <= 0) return false;
    std::unique_ptr<CBitmap32> frame = ConvertBitmap(bitmap, removeBackground, smooth, keepAlpha);
    if (frame == nullptr) return false;
    if (m_numb == 0) {
        m_width = frame->GetWidth();
        m_height = frame->GetHeight();
        m_bitmaps.clear();
    }
    if (frame->GetWidth() != m_width || frame->GetHeight() != m_height) frame->Stretch(m_width, m_height);
    m_bitmaps.push_back(std::move(frame));
    m_numb = static_cast<int32_t>(m_bitmaps.size());
    FramesChanged();
    return true;
}

// ---------------------------------------------------------------------------
// Other sprites

void CSprite::AddFromSprite(const CSprite* source) {
    if (source == nullptr || source == this) return;
    if (m_numb == 0) {
        m_width = source->m_width;
        m_height = source->m_height;
    }
    // Both are checked, so both messages can appear.
    if (m_bitmaps.empty())
        Error_Show_Action("sprite_merge() requires the destination sprite to have been duplicated", false);
    if (source->m_bitmaps.empty())
        Error_Show_Action("sprite_merge() requires the source sprite to have been duplicated", false);
    if (UsesDataFileFrames() || source->UsesDataFileFrames()) return;
    if (source->m_numb == 0) return;
    for (int i = 0; i < source->m_numb; ++i) {
        const CBitmap32* from = source->m_bitmaps[static_cast<size_t>(i)].get();
        auto copy = from != nullptr ? std::make_unique<CBitmap32>(from) : nullptr;
        if (copy == nullptr || !copy->IsValid()) continue;
        if (copy->GetWidth() != m_width || copy->GetHeight() != m_height) copy->Stretch(m_width, m_height);
        m_bitmaps.push_back(std::move(copy));
    }
    m_numb = static_cast<int32_t>(m_bitmaps.size());
    FramesChanged();
}

void CSprite::SetAlphaFromSprite(const CSprite* source) {
    if (source == nullptr || source->m_numb <= 0) return;
    if (UsesDataFileFrames()) {
        Error_Show_Action(
            "sprite_set_alpha_from_sprite() requires the destination sprite to have been duplicated", false);
        return;
    }
    if (source->UsesDataFileFrames()) {
        Error_Show_Action("sprite_set_alpha_from_sprite() requires the source sprite to have been duplicated",
                          false);
        return;
    }
    for (int i = 0; i < m_numb; ++i) {
        CBitmap32* frame = m_bitmaps[static_cast<size_t>(i)].get();
        const CBitmap32* from = source->m_bitmaps[static_cast<size_t>(i % source->m_numb)].get();
        if (frame != nullptr && from != nullptr) frame->SetAlphaFromBitmap(from);
    }
    // The textures are what is drawn: they take the new alpha too. The box
    // and the masks stay as they were.
    InitTexture();
    InitLocalTPE();
}

// ---------------------------------------------------------------------------
// Read-back from the texture pages

// Each frame becomes a bitmap of its untrimmed size (reduced by the factor
// at which the page holds it), transparent where trimming took pixels away.
// A factor below 1 (an entry wider than it is drawn) is taken as 1, and the
// stored pixels are clipped to the bitmap wherever the entry places them.
bool CSprite::GenerateBitmapData() {
    if (m_kind != SPRITE_KIND_BITMAP) return false;
    if (m_numb < 0) return false;
    // The frames rebuilt before a failure stay.
    m_bitmaps.clear();
    m_bitmaps.reserve(static_cast<size_t>(m_numb));
    for (int i = 0; i < m_numb; ++i) {
        const ZQTPageEntry* entry = GetPageEntry(i);
        if (entry == nullptr || entry->width <= 0 || entry->height <= 0) return false;
        const ZQTPageEntry e = *entry;
        int f = static_cast<int>(static_cast<float>(e.cropWidth) / static_cast<float>(e.width));
        if (f < 1) f = 1;
        std::unique_ptr<CBitmap32> bitmap = ReadBack_PageEntry(e, f);
        if (bitmap == nullptr) return false;
        m_bitmaps.push_back(std::move(bitmap));
    }
    return true;
}
