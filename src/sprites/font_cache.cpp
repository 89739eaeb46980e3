#include "sprites/font_cache.h"

#include <algorithm>
#include <cstring>

#include "render/gl_layer.h"
#include "render/texture.h"
#include "render/texture_table.h"
#include "render/vertex_batch.h"
#include "sprites/font.h"

namespace {

constexpr uint32_t kClear = 0x00FFFFFFu;

int Ceil26(long v) {
    return static_cast<int>((v + 63) >> 6);
}

} // namespace

ZQFTGlyphCache::~ZQFTGlyphCache() {
    Release();
}

void ZQFTGlyphCache::Release() {
    if (textureId != -1) GR_Texture_Free(textureId);
    textureId = -1;
    texture = nullptr;
    cells.clear();
    head = tail = -1;
}

void ZQFTGlyphCache::Init(int width, int height, FT_Face ftFace) {
    Release();
    face = ftFace;
    textureWidth = width;
    textureHeight = height;
    textureId = GR_Texture_Create_Empty(width, height, false, false, 0);
    texture = GR_Texture_Get_Surface(textureId);
    if (texture != nullptr && texture->pixels != nullptr) {
        auto* p = reinterpret_cast<uint32_t*>(texture->pixels);
        std::fill(p, p + static_cast<size_t>(texture->width) * texture->height, kClear);
    }
    marginX = marginY = 2;
    cellWidth = Ceil26(face->size->metrics.max_advance);
    cellHeight = Ceil26(face->size->metrics.height);
    ascender = static_cast<int32_t>(face->size->metrics.ascender);
    if (texture == nullptr || texture->pixels == nullptr || cellWidth <= 0 || cellHeight <= 0) return;
    const int columns = (width - 4) / (cellWidth + 2), rows = (height - 4) / (cellHeight + 2);
    if (columns <= 0 || rows <= 0) return; // a face too large: no cells, glyphs stay uncached
    cells.resize(static_cast<size_t>(columns) * rows);
    int x = 2, y = 2;
    for (size_t i = 0; i < cells.size(); ++i) {
        cells[i].x = x;
        cells[i].y = y;
        cells[i].prev = static_cast<int32_t>(i) - 1;
        cells[i].next = i + 1 < cells.size() ? static_cast<int32_t>(i) + 1 : -1;
        x += cellWidth + 2;
        if (x > width - cellWidth) {
            x = 2;
            y += cellHeight + 2;
        }
    }
    head = 0;
    tail = static_cast<int32_t>(cells.size()) - 1;
}

void ZQFTGlyphCache::Unlink(int32_t i) {
    ZQFTCell& c = cells[static_cast<size_t>(i)];
    if (c.prev != -1)
        cells[static_cast<size_t>(c.prev)].next = c.next;
    else
        head = c.next;
    if (c.next != -1)
        cells[static_cast<size_t>(c.next)].prev = c.prev;
    else
        tail = c.prev;
    c.prev = c.next = -1;
}

void ZQFTGlyphCache::PushHead(int32_t i) {
    ZQFTCell& c = cells[static_cast<size_t>(i)];
    c.next = head;
    c.prev = -1;
    if (head != -1) cells[static_cast<size_t>(head)].prev = i;
    head = i;
    if (tail == -1) tail = i;
}

void ZQFTGlyphCache::Touch(ZQFTCell* cell) {
    cell->lastUsedBatch = g_numVertexBatches;
}

ZQFTCell* ZQFTGlyphCache::GetLRUSlot(ZQGlyph2* glyph, bool antiAlias) {
    if (tail == -1) return nullptr;
    const int32_t i = tail;
    Unlink(i);
    PushHead(i);
    ZQFTCell& cell = cells[static_cast<size_t>(i)];
    if (cell.glyph != nullptr) {
        // Quads queued since the last draw may still sample this cell.
        if (cell.lastUsedBatch == g_numVertexBatches && g_CurrentVertexCount > 0) {
            Graphics::Flush();
            Batch_Empty(); // without a device the batch must not keep them either
            ++flushes;
        }
        cell.glyph->x = cell.glyph->y = -1;
    }
    cell.glyph = glyph;
    cell.lastUsedBatch = -1;
    glyph->x = static_cast<int16_t>(cell.x);
    glyph->y = static_cast<int16_t>(cell.y);
    Render(cell, antiAlias);
    Graphics::UpdateRegion(texture, cell.x, cell.y, cellWidth, cellHeight);
    return &cell;
}

void ZQFTGlyphCache::Render(ZQFTCell& cell, bool antiAlias) {
    auto* pixels = reinterpret_cast<uint32_t*>(texture->pixels);
    const int stride = texture->width;
    for (int row = 0; row < cellHeight; ++row)
        std::fill_n(pixels + static_cast<size_t>(cell.y + row) * stride + cell.x, cellWidth, kClear);
    const FT_UInt index = FT_Get_Char_Index(face, cell.glyph->code);
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) != 0) return;
    if (FT_Render_Glyph(face->glyph, antiAlias ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0) return;
    const FT_Bitmap& b = face->glyph->bitmap;
    const int top = Ceil26(ascender - face->glyph->metrics.horiBearingY);
    for (int row = 0; row < static_cast<int>(b.rows); ++row) {
        const int y = top + row;
        if (y < 0 || y >= cellHeight) continue;
        const uint8_t* src = b.buffer + static_cast<ptrdiff_t>(row) * b.pitch;
        uint32_t* dst = pixels + static_cast<size_t>(cell.y + y) * stride + cell.x;
        const int width = std::min(static_cast<int>(b.width), cellWidth);
        for (int col = 0; col < width; ++col) {
            uint32_t a = 0;
            switch (b.pixel_mode) {
                case FT_PIXEL_MODE_MONO: a = (src[col >> 3] & (0x80 >> (col & 7))) != 0 ? 255 : 0; break;
                case FT_PIXEL_MODE_GRAY:
                case FT_PIXEL_MODE_LCD:
                case FT_PIXEL_MODE_LCD_V: a = src[col]; break;
                case FT_PIXEL_MODE_GRAY2: a = ((src[col >> 2] >> (6 - 2 * (col & 3))) & 3) * 255 / 3; break;
                case FT_PIXEL_MODE_GRAY4: a = ((src[col >> 1] >> (4 - 4 * (col & 1))) & 15) * 255 / 15; break;
                default: return; // rows of other modes stay transparent
            }
            dst[col] = kClear | a << 24;
        }
    }
}
