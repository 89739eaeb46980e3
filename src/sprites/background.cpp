// The background resource: its record in the data file, its images from
// files, colours, gradients and copies, the read-back that gives a data
// background a bitmap of its own, and its drawing forms.
#include "sprites/background.h"

#include <algorithm>
#include <cstring>

#include "core/console.h"
#include "core/game_image.h"
#include "core/header_globals.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "render/bitmap32.h"
#include "render/image_decode.h"
#include "render/page_entry.h"
#include "render/platform_bitmap.h"
#include "render/read_back.h"
#include "render/texture.h"
#include "render/texture_draw.h"
#include "render/texture_table.h"

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
// Where the tile data starts in a record.
constexpr uint32_t kTileDataOffset = 64;
constexpr uint32_t kPlaceholderPixel = 0xFF0000FFu;

int16_t Side16(int64_t v) {
    return static_cast<int16_t>(std::clamp<int64_t>(v, 0, INT16_MAX));
}

} // namespace

CBackground::CBackground() = default;

CBackground::~CBackground() {
    Clear();
}

// ---------------------------------------------------------------------------
// The record

void CBackground::LoadFromChunk(ImageReader& record) {
    Clear();
    const size_t start = record.Position();
    record.U32(); // the name, read by the table
    const bool transparent = record.U32() != 0;
    const bool smooth = record.U32() != 0;
    const bool preload = record.U32() != 0;
    ZQTPageEntry* entry = TPageEntry_Resolve(record, record.U32());
    const uint32_t version = record.U32();
    if (version >= 2 && g_isNimbar) {
        const int32_t tileWidth = record.S32();
        const int32_t tileHeight = record.S32();
        const int32_t borderX = record.S32();
        const int32_t borderY = record.S32();
        const int32_t columns = record.S32();
        const int32_t frames = record.S32();
        const int32_t count = record.S32();
        record.Skip(4);
        const int64_t frameTime = static_cast<int64_t>(record.U64());
        if (frames < 0 || count < 0)
            GameData_Fail(record.Chunk(), "background at offset %zu: %d tiles of %d frames", start, count,
                          frames);
        const uint64_t words = static_cast<uint64_t>(count) * static_cast<uint64_t>(frames);
        const size_t dataAt = start + kTileDataOffset;
        if (words > (record.ChunkEnd() - std::min(record.ChunkEnd(), dataAt)) / 4)
            GameData_Fail(record.Chunk(),
                          "background at offset %zu: %d tiles of %d frames do not fit the chunk", start,
                          count, frames);
        m_tileData = words > 0 ? record.Span(dataAt, static_cast<size_t>(words) * 4) : nullptr;
        m_tileWidth = tileWidth;
        m_tileHeight = tileHeight;
        m_borderX = borderX;
        m_borderY = borderY;
        m_columns = columns;
        m_framesPerTile = frames;
        m_tileCount = count;
        m_frameTime = frameTime;
    }
    m_transparent = transparent;
    m_smooth = smooth;
    m_preload = preload;
    m_tpe = entry;
    m_ownsTPE = false;
    m_width = entry != nullptr ? entry->untrimmedWidth : 0;
    m_height = entry != nullptr ? entry->untrimmedHeight : 0;
}

uint32_t CBackground::TileImage(int tile, int frame) const {
    if (m_tileData == nullptr || tile < 0 || tile >= m_tileCount || frame < 0 || frame >= m_framesPerTile)
        return 0;
    uint32_t word;
    const size_t at =
        static_cast<size_t>(frame) + static_cast<size_t>(m_framesPerTile) * static_cast<size_t>(tile);
    std::memcpy(&word, m_tileData + at * 4, 4);
    return word;
}

void CBackground::Clear() {
    m_bitmap.reset();
    FreeOwnedTPE();
    m_tpe = nullptr;
    FreeTexture();
    m_width = m_height = 0;
    m_transparent = m_smooth = m_preload = false;
    m_tileWidth = m_tileHeight = m_borderX = m_borderY = 0;
    m_columns = m_framesPerTile = m_tileCount = 0;
    m_frameTime = 0;
    m_tileData = nullptr;
}

// ---------------------------------------------------------------------------
// Images

bool CBackground::LoadFromFile(const char* path, bool transparent, bool smooth, bool preload, bool flag) {
    if (path == nullptr) return false;
    int length = 0;
    char* data = LoadSave::SaveFileExists(path) ? LoadSave::ReadSaveFile(path, &length)
                                                : LoadSave::ReadBundleFile(path, &length);
    if (data == nullptr) return false;
    // The old texture goes only when the new image is in (CreateFromBitmap):
    // a file that does not decode leaves the background as it was, never an
    // entry naming a freed texture.
    const bool ok =
        LoadFromFileData(path, reinterpret_cast<const uint8_t*>(data),
                         static_cast<size_t>(std::max(length, 0)), transparent, smooth, preload, flag);
    ZQ_Free(data);
    return ok;
}

bool CBackground::LoadFromFileData(const char* path, const uint8_t* data, size_t length, bool transparent,
                                   bool smooth, bool preload, bool flag) {
    // Every signature is four bytes or shorter; shorter data is no image.
    bool ok = false;
    if (data != nullptr && length >= 4) {
        if (data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
            ok = LoadFromJPEGData(data, length, transparent, smooth, preload, flag);
        else if (std::memcmp(data, "GIF8", 4) == 0)
            ok = LoadFromGIFData(data, length, transparent, smooth, preload, flag);
        else if (data[0] == 0x89 && std::memcmp(data + 1, "PNG", 3) == 0)
            ok = LoadFromPNGData(data, length, transparent, smooth, preload, flag);
    }
    if (!ok) dbg_csol->Output("Failed to decode background data in %s\n", path != nullptr ? path : "");
    return ok;
}

namespace {
// Decoders take an int length: larger data is no image we can hold anyway.
int DecoderLength(size_t length) {
    return static_cast<int>(std::min<size_t>(length, INT32_MAX));
}
} // namespace

bool CBackground::LoadFromJPEGData(const uint8_t* data, size_t length, bool transparent, bool smooth,
                                   bool preload, bool flag) {
    int w = -1, h = -1;
    uint8_t* pixels = ReadJPEGFile(data, DecoderLength(length), &w, &h, false);
    if (pixels == nullptr) return false;
    const bool ok = LoadFromData(pixels, w, h, transparent, smooth, preload, flag);
    ZQ_Free(pixels);
    return ok;
}

bool CBackground::LoadFromGIFData(const uint8_t* data, size_t length, bool transparent, bool smooth,
                                  bool preload, bool flag) {
    int w = -1, h = -1;
    uint8_t* pixels = ReadGIFFile(data, DecoderLength(length), &w, &h, false);
    if (pixels == nullptr) return false;
    const bool ok = LoadFromData(pixels, w, h, transparent, smooth, preload, flag);
    ZQ_Free(pixels);
    return ok;
}

bool CBackground::LoadFromPNGData(const uint8_t* data, size_t length, bool transparent, bool smooth,
                                  bool preload, bool flag) {
    PNGImage png;
    if (!png.Decode(data, length, false)) return false;
    return LoadFromData(png.Pixels(), png.Width(), png.Height(), transparent, smooth, preload, flag);
}

bool CBackground::LoadFromData(const uint8_t* rgba, int width, int height, bool transparent, bool smooth,
                               bool preload, bool flag) {
    if (rgba == nullptr || width <= 0 || height <= 0) return false;
    std::unique_ptr<IBitmap> bitmap = BitmapFromRGBA(rgba, width, height);
    if (bitmap == nullptr) return false;
    return CreateFromBitmap(bitmap.get(), transparent, smooth, preload, flag);
}

bool CBackground::CreateFromBitmap(IBitmap* image, bool transparent, bool smooth, bool preload, bool) {
    if (image == nullptr || image->GetWidth() <= 0 || image->GetHeight() <= 0) return false;
    Clear();
    m_transparent = transparent;
    m_smooth = smooth;
    m_preload = preload;
    int width = image->GetWidth();
    int height = image->GetHeight();
    const int max = Graphics::GetMaxTextureSize();
    std::unique_ptr<CBitmap32> bitmap;
    if (width > max || height > max) {
        dbg_csol->Output(
            "Error creating background: image width or height exceeds maximum texture size of %d\n", max);
        width = std::min(width, max);
        height = std::min(height, max);
        // The placeholder is the colour itself: keying it on its own corner
        // would leave nothing to see.
        bitmap = std::make_unique<CBitmap32>(width, height, 0u);
        if (bitmap->IsValid())
            std::fill_n(bitmap->Pixels(), static_cast<size_t>(bitmap->GetWidth()) * bitmap->GetHeight(),
                        kPlaceholderPixel);
    } else {
        bitmap = std::make_unique<CBitmap32>(image, transparent, smooth);
    }
    m_width = width;
    m_height = height;
    return TakeBitmap(std::move(bitmap), preload);
}

bool CBackground::CreateColor(int width, int height, uint32_t colour, bool preload) {
    Clear();
    m_preload = preload;
    auto bitmap = std::make_unique<CBitmap32>(width, height, colour);
    m_width = bitmap->GetWidth();
    m_height = bitmap->GetHeight();
    return TakeBitmap(std::move(bitmap), preload);
}

bool CBackground::CreateGradient(int width, int height, uint32_t colour1, uint32_t colour2, int kind,
                                 bool preload) {
    Clear();
    m_preload = preload;
    auto bitmap = std::make_unique<CBitmap32>(width, height, colour1, colour2, kind);
    m_width = bitmap->GetWidth();
    m_height = bitmap->GetHeight();
    return TakeBitmap(std::move(bitmap), preload);
}

// The bitmap becomes the background's, with a fresh texture and local entry.
bool CBackground::TakeBitmap(std::unique_ptr<CBitmap32> bitmap, bool preload) {
    if (bitmap == nullptr || !bitmap->IsValid()) return false;
    m_bitmap = std::move(bitmap);
    m_preload = preload;
    InitTexture();
    FreeOwnedTPE();
    m_tpe = nullptr;
    MakeLocalTPE();
    return m_texture >= 0;
}

void CBackground::SetAlphaFromBackground(const CBackground* other) {
    if (other == nullptr || m_bitmap == nullptr || other->m_bitmap == nullptr) {
        dbg_csol->Output("Both bitmaps need to be duplicated first\n");
        return;
    }
    m_bitmap->SetAlphaFromBitmap(other->m_bitmap.get());
    InitTexture();
    InitLocalTPE();
}

void CBackground::Assign(const CBackground* source) {
    if (source == nullptr || source == this) return;
    Clear();
    m_width = source->m_width;
    m_height = source->m_height;
    m_transparent = source->m_transparent;
    m_smooth = source->m_smooth;
    m_preload = source->m_preload;
    if (source->m_tpe != nullptr && !source->m_ownsTPE) m_tpe = source->m_tpe;
    if (source->m_bitmap != nullptr) m_bitmap = std::make_unique<CBitmap32>(source->m_bitmap.get());
    InitTexture();
    if (source->m_tpe == nullptr || source->m_ownsTPE) MakeLocalTPE();
}

bool CBackground::GenerateBitmapData() {
    if (m_bitmap != nullptr || m_tpe == nullptr) return false;
    const ZQTPageEntry e = *m_tpe;
    // A page entry with nothing stored, or drawn smaller than it is stored,
    // gives no scale to divide by: nothing is read back.
    if (e.width <= 0 || e.height <= 0 || e.cropWidth < e.width) return false;
    const int s = static_cast<int>(static_cast<float>(e.cropWidth) / static_cast<float>(e.width));
    // The page's alpha is kept: trimmed-away and see-through parts stay so.
    std::unique_ptr<CBitmap32> bitmap = ReadBack_PageEntry(e, s);
    if (bitmap == nullptr) return false;
    m_bitmap = std::move(bitmap);
    FreeOwnedTPE();
    m_tpe = nullptr; // an entry in the data image is forgotten, never freed
    InitTexture();
    MakeLocalTPE();
    if (m_tpe != nullptr) {
        m_tpe->cropWidth = m_tpe->untrimmedWidth = Side16(int64_t{m_tpe->cropWidth} * s);
        m_tpe->cropHeight = m_tpe->untrimmedHeight = Side16(int64_t{m_tpe->cropHeight} * s);
    }
    return true;
}

std::unique_ptr<IBitmap> CBackground::GetBitmap24() const {
    return m_bitmap != nullptr ? m_bitmap->CreateBitmap24() : nullptr;
}

// ---------------------------------------------------------------------------
// Texture and local entry

void CBackground::InitTexture() {
    FreeTexture();
    if (m_bitmap == nullptr) return;
    m_texture = GR_Texture_Create_Direct(m_bitmap.get());
    if (m_preload && m_texture >= 0) GR_Texture_Preload(m_texture);
}

void CBackground::FreeTexture() {
    if (m_texture >= 0) GR_Texture_Free(m_texture);
    m_texture = -1;
}

void CBackground::InitLocalTPE() {
    if (m_tpe != nullptr && !m_ownsTPE) return;
    FreeOwnedTPE();
    m_tpe = nullptr;
    MakeLocalTPE();
}

void CBackground::FreeOwnedTPE() {
    if (!m_ownsTPE) return;
    TPageEntry_Unregister(m_tpe);
    delete m_tpe;
    m_tpe = nullptr;
    m_ownsTPE = false;
}

// The whole bitmap on its own texture; nothing without a bitmap.
void CBackground::MakeLocalTPE() {
    if (m_bitmap == nullptr) return;
    auto entry = std::make_unique<ZQTPageEntry>();
    entry->x = entry->y = 0;
    entry->xOffset = entry->yOffset = 0;
    entry->width = entry->cropWidth = entry->untrimmedWidth = Side16(m_bitmap->GetWidth());
    entry->height = entry->cropHeight = entry->untrimmedHeight = Side16(m_bitmap->GetHeight());
    entry->page = static_cast<int16_t>(m_texture);
    m_tpe = entry.release();
    m_ownsTPE = true;
    TPageEntry_Register(m_tpe);
}

// ---------------------------------------------------------------------------
// Drawing

bool CBackground::DrawSimple(float x, float y) const {
    return m_tpe != nullptr ? GR_Texture_Draw_Simple(m_tpe, x, y) : GR_Texture_Draw_Simple(m_texture, x, y);
}

bool CBackground::Draw(float x, float y, float xscale, float yscale, float angle, uint32_t colour,
                       float alpha) const {
    const float a = angle * kDegreesToRadians;
    return m_tpe != nullptr ? GR_Texture_Draw(m_tpe, 0, 0, x, y, xscale, yscale, a, colour, alpha)
                            : GR_Texture_Draw(m_texture, 0, 0, x, y, xscale, yscale, a, colour, alpha);
}

bool CBackground::DrawStretched(float x, float y, float width, float height, uint32_t colour,
                                float alpha) const {
    if (width <= 0 || !(height > 0) || m_width <= 0 || m_height <= 0) return false;
    return Draw(x, y, width / static_cast<float>(m_width), height / static_cast<float>(m_height), 0, colour,
                alpha);
}

bool CBackground::DrawPart(float left, float top, float width, float height, float x, float y, float xscale,
                           float yscale, uint32_t colour, float alpha) const {
    return m_tpe != nullptr
               ? GR_Texture_Draw_Part(m_tpe, left, top, width, height, x, y, xscale, yscale, 0, colour, alpha)
               : GR_Texture_Draw_Part(m_texture, left, top, width, height, x, y, xscale, yscale, 0, colour,
                                      alpha);
}

bool CBackground::DrawGeneral(float left, float top, float width, float height, float x, float y,
                              float xscale, float yscale, float angle, uint32_t c1, uint32_t c2, uint32_t c3,
                              uint32_t c4, float alpha) const {
    const float a = angle * kDegreesToRadians;
    return m_tpe != nullptr ? GR_Texture_Draw_Part_Color(m_tpe, left, top, width, height, x, y, xscale,
                                                         yscale, a, c1, c2, c3, c4, alpha)
                            : GR_Texture_Draw_Part_Color(m_texture, left, top, width, height, x, y, xscale,
                                                         yscale, a, c1, c2, c3, c4, alpha);
}

bool CBackground::DrawTiled(float x, float y, float xscale, float yscale, bool htiled, bool vtiled,
                            float regionLeft, float regionTop, float regionWidth, float regionHeight,
                            uint32_t colour, float alpha) const {
    return m_tpe != nullptr
               ? GR_Texture_Draw_Tiled(m_tpe, 0, 0, x, y, xscale, yscale, htiled, vtiled, regionLeft,
                                       regionTop, regionWidth, regionHeight, colour, alpha)
               : GR_Texture_Draw_Tiled(m_texture, 0, 0, x, y, xscale, yscale, htiled, vtiled, regionLeft,
                                       regionTop, regionWidth, regionHeight, colour, alpha);
}
