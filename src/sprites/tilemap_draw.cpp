// The tilemap renderer. A tileset whose tiles sit untrimmed on one texture
// (its own, or a page) is drawn on the fast path: the rows and columns that
// can meet the drawn area are worked out before any cell is read, and their
// quads are written straight into the batch in runs as large as it takes.
// A tileset on a trimmed page entry falls back to one image-part draw per
// cell, through the tileset's own drawing, which knows about trimming.
//
// Cell words are untrusted (scripts set them, saved games restore them): a
// tile index is used only after it is checked against the tileset's tile
// count, and the animation frame is wrapped into the tileset's frames, so no
// word reads outside the frame table.
#include "sprites/tilemap_draw.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "core/real_to_int.h"
#include "render/bitmap32.h"
#include "render/page_entry.h"
#include "render/texture_draw.h"
#include "render/texture_table.h"
#include "render/vertex_batch.h"
#include "room/layer.h"
#include "room/layer_manager.h"
#include "sprites/background.h"
#include "sprites/background_table.h"

namespace {

struct Vertex {
    float x, y, z;
    uint32_t colour;
    float u, v;
};
static_assert(sizeof(Vertex) == eVF_PosColourTex, "the 24-byte layout");

constexpr int kTriangleList = 4;
constexpr uint32_t kWhite = 0xFFFFFFFF;

struct TileParams {
    Texture* texture = nullptr;
    float uBase = 0, vBase = 0, tileU = 0, tileV = 0, stepU = 0, stepV = 0, scaleX = 1, scaleY = 1;
    bool simple = false;
};

// The tileset's texture coordinates; false when it cannot draw tiles at all
// (no tile data, an empty tile size, or nothing to draw with).
bool Params(CBackground* tileset, TileParams& p) {
    if (tileset == nullptr || tileset->Columns() <= 0 || tileset->FramesPerTile() <= 0 ||
        tileset->TileWidth() <= 0 || tileset->TileHeight() <= 0)
        return false;
    CalcLayerTilemapParams(tileset, &p.texture, p.uBase, p.vBase, p.tileU, p.tileV, p.stepU, p.stepV,
                           p.scaleX, p.scaleY, p.simple);
    return p.texture != nullptr;
}

// a mod b into [0, b), b > 0.
int WrapFrame(int a, int b) {
    const int m = a % b;
    return m < 0 ? m + b : m;
}

// The image tile a (masked) cell word shows in animation frame `frame`
// (already wrapped); 0 for an empty cell, a tile index the tileset does not
// have, or an empty frame-table entry.
uint32_t ShownTile(const CBackground& tileset, uint32_t cell, int frame) {
    const uint32_t index = cell & kTileIndexMask;
    if (index == 0 || index >= static_cast<uint32_t>(tileset.TileCount())) return 0;
    return tileset.TileImage(static_cast<int>(index), frame);
}

// Six vertices of one tile quad: triangles top left, top right, bottom left
// and bottom left, top right, bottom right.
void WriteQuad(Vertex* v, const TileParams& p, int columns, uint32_t shown, uint32_t cell, float left,
               float top, float right, float bottom, float z) {
    float uL = static_cast<float>(shown % static_cast<uint32_t>(columns)) * p.stepU + p.uBase;
    float vT = static_cast<float>(shown / static_cast<uint32_t>(columns)) * p.stepV + p.vBase;
    float uR = uL + p.tileU, vB = vT + p.tileV;
    if ((cell & kTileMirror) != 0) std::swap(uL, uR);
    if ((cell & kTileFlip) != 0) std::swap(vT, vB);
    // Texture coordinates of the corners top left, top right, bottom left,
    // bottom right; turned, each corner shows the one a quarter turn back.
    float cu[4], cv[4];
    if ((cell & kTileRotate) == 0) {
        cu[0] = uL, cv[0] = vT, cu[1] = uR, cv[1] = vT, cu[2] = uL, cv[2] = vB, cu[3] = uR, cv[3] = vB;
    } else {
        cu[0] = uL, cv[0] = vB, cu[1] = uL, cv[1] = vT, cu[2] = uR, cv[2] = vB, cu[3] = uR, cv[3] = vT;
    }
    const float cx[4] = {left, right, left, right}, cy[4] = {top, top, bottom, bottom};
    static constexpr int kOrder[6] = {0, 1, 2, 2, 1, 3};
    for (int i = 0; i < 6; ++i) {
        const int c = kOrder[i];
        v[i] = Vertex{cx[c], cy[c], z, kWhite, cu[c], cv[c]};
    }
}

// One tile through the tileset's image drawing (trimmed page entries): the
// tile's part of the untrimmed image, mirrored and flipped by negative
// scales and turned about its top left, placed so that it covers the cell.
void DrawGeneralTile(const CBackground& tileset, const TileParams& p, uint32_t shown, uint32_t cell, float x,
                     float y) {
    const int columns = tileset.Columns();
    const float tw = static_cast<float>(tileset.TileWidth()), th = static_cast<float>(tileset.TileHeight());
    const float bx = static_cast<float>(tileset.BorderX()), by = static_cast<float>(tileset.BorderY());
    const float m = (cell & kTileMirror) != 0 ? 1.0f : 0.0f;
    const float f = (cell & kTileFlip) != 0 ? 1.0f : 0.0f;
    const bool r = (cell & kTileRotate) != 0;
    const float sx =
        static_cast<float>(shown % static_cast<uint32_t>(columns)) * (tw * p.scaleX + 2 * bx * p.scaleX) +
        bx * p.scaleX;
    const float sy =
        static_cast<float>(shown / static_cast<uint32_t>(columns)) * (th * p.scaleY + 2 * by * p.scaleY) +
        by * p.scaleY;
    const float ax = r ? (1.0f - f) * th : m * tw;
    const float ay = r ? m * tw : f * th;
    tileset.DrawGeneral(sx, sy, tw * p.scaleX, th * p.scaleY, x + ax, y + ay, (1.0f - 2.0f * m) / p.scaleX,
                        (1.0f - 2.0f * f) / p.scaleY, r ? -90.0f : 0.0f, kWhite, kWhite, kWhite, kWhite,
                        1.0f);
}

// The fast path over the cells that can meet `rect`.
void DrawCulled(const tagZQRECT& rect, const CBackground& tileset, const TileParams& p,
                const CLayerTilemapElement& e, uint32_t mask, int frame, float ox, float oy, float z) {
    const int64_t w = tileset.TileWidth(), h = tileset.TileHeight();
    const int64_t ix = RealToInt32(ox), iy = RealToInt32(oy);
    // Integer division truncating toward zero; the far bounds take the
    // partial column and row beyond the area.
    const int64_t firstColumn = std::max<int64_t>((rect.left - ix) / w, 0);
    const int64_t lastColumn = std::min<int64_t>((rect.right + w - ix) / w, e.m_width);
    const int64_t firstRow = std::max<int64_t>((rect.top - iy) / h, 0);
    const int64_t lastRow = std::min<int64_t>((rect.bottom + h - iy) / h, e.m_height);
    if (firstRow >= lastRow || firstColumn >= lastColumn) return;

    const int columns = tileset.Columns();
    const float fw = static_cast<float>(w), fh = static_cast<float>(h);
    const int64_t runMax = Graphics::GetMaxDynamicVertexCount() / 6;
    int64_t remaining = (lastRow - firstRow) * (lastColumn - firstColumn);
    Vertex* out = nullptr;
    int64_t spare = 0; // quads left in the current run
    for (int64_t row = firstRow; row < lastRow; ++row) {
        const uint32_t* cells = e.m_pCells + row * e.m_width;
        const float top = static_cast<float>(row) * fh + oy;
        for (int64_t column = firstColumn; column < lastColumn; ++column, --remaining) {
            const uint32_t cell = cells[column] & mask;
            const uint32_t shown = ShownTile(tileset, cell, frame);
            if (shown == 0) continue;
            if (spare == 0) {
                spare = std::min(remaining, runMax);
                out = static_cast<Vertex*>(Graphics::AllocVerts(kTriangleList, p.texture, eVF_PosColourTex,
                                                                static_cast<int>(spare * 6)));
                if (out == nullptr) return;
            }
            const float left = static_cast<float>(column) * fw + ox;
            WriteQuad(out, p, columns, shown, cell, left, top, left + fw, top + fh, z);
            out += 6;
            --spare;
        }
    }
    Graphics::FreeVerts(static_cast<int>(spare * 6));
}

} // namespace

void CalcLayerTilemapParams(CBackground* tileset, Texture** texture, float& uBase, float& vBase, float& tileU,
                            float& tileV, float& stepU, float& stepV, float& scaleX, float& scaleY,
                            bool& simple) {
    *texture = nullptr;
    uBase = vBase = tileU = tileV = stepU = stepV = 0.0f;
    scaleX = scaleY = 1.0f;
    simple = false;
    if (tileset == nullptr) return;
    const float tw = static_cast<float>(tileset->TileWidth()), th = static_cast<float>(tileset->TileHeight());
    const float bx = static_cast<float>(tileset->BorderX()), by = static_cast<float>(tileset->BorderY());
    const TextureEntry* own = GR_Texture_Entry(tileset->GetTextureId());
    if (own != nullptr && own->inUse && own->texture != nullptr) {
        // The texel size of the texture itself: the image's, unless the
        // texture was padded beyond it.
        const float iw = own->invWidth, ih = own->invHeight;
        *texture = own->texture;
        tileU = tw * iw;
        tileV = th * ih;
        uBase = bx * iw;
        vBase = by * ih;
        stepU = 2 * bx * iw + tileU;
        stepV = 2 * by * ih + tileV;
        simple = true;
        return;
    }
    const ZQTPageEntry* entry = tileset->GetTPE();
    if (entry == nullptr) return;
    const TextureEntry* page = GR_Texture_Entry(entry->page);
    if (page == nullptr || !page->inUse || page->texture == nullptr) return;
    *texture = page->texture;
    const bool trimmed = entry->xOffset != 0 || entry->yOffset != 0 ||
                         entry->cropWidth != entry->untrimmedWidth ||
                         entry->cropHeight != entry->untrimmedHeight;
    if (!trimmed) {
        // A zero crop size counts as 1, as every page-entry draw has it.
        scaleX =
            static_cast<float>(entry->width) / static_cast<float>(std::max<int16_t>(entry->cropWidth, 1));
        scaleY =
            static_cast<float>(entry->height) / static_cast<float>(std::max<int16_t>(entry->cropHeight, 1));
        const float pw = page->invWidth, ph = page->invHeight;
        tileU = tw * pw * scaleX;
        tileV = th * ph * scaleY;
        uBase = static_cast<float>(entry->x) * pw + bx * pw * scaleX;
        vBase = static_cast<float>(entry->y) * ph + by * ph * scaleY;
        stepU = 2 * bx * pw * scaleX + tileU;
        stepV = 2 * by * ph * scaleY + tileV;
        simple = true;
    } else {
        scaleX = static_cast<float>(entry->width) /
                 static_cast<float>(std::max<int16_t>(entry->untrimmedWidth, 1));
        scaleY = static_cast<float>(entry->height) /
                 static_cast<float>(std::max<int16_t>(entry->untrimmedHeight, 1));
    }
}

void DrawLayerTilemapElement(tagZQRECT* rect, CLayer* layer, CLayerTilemapElement* element, float x, float y,
                             float depth) {
    if (rect == nullptr || element == nullptr) return;
    CBackground* tileset = Background_Data(element->m_tileset);
    TileParams p;
    if (!Params(tileset, p)) return;
    if (element->m_pCells == nullptr || element->m_width <= 0 || element->m_height <= 0) return;
    const float ox = layer != nullptr ? element->m_x + layer->m_xoffset : x;
    const float oy = layer != nullptr ? element->m_y + layer->m_yoffset : y;
    const float z = layer != nullptr ? GR_Depth : depth;
    const uint32_t mask = element->m_mask & CLayerManager::m_TiledataMask;
    const int frame = WrapFrame(RealToInt32(element->m_frame), tileset->FramesPerTile());
    if (p.simple) {
        DrawCulled(*rect, *tileset, p, *element, mask, frame, ox, oy, z);
        return;
    }
    const float tw = static_cast<float>(tileset->TileWidth()), th = static_cast<float>(tileset->TileHeight());
    for (int row = 0; row < element->m_height; ++row) {
        const uint32_t* cells = element->m_pCells + static_cast<int64_t>(row) * element->m_width;
        for (int column = 0; column < element->m_width; ++column) {
            const uint32_t cell = cells[column] & mask;
            const uint32_t shown = ShownTile(*tileset, cell, frame);
            if (shown == 0) continue;
            DrawGeneralTile(*tileset, p, shown, cell, static_cast<float>(column) * tw + ox,
                            static_cast<float>(row) * th + oy);
        }
    }
}

void DrawTile(tagZQRECT* rect, CBackground* tileset, unsigned cell, int frame, float x, float y,
              float depth) {
    if (rect == nullptr) return;
    TileParams p;
    if (!Params(tileset, p)) return;
    cell &= CLayerManager::m_TiledataMask;
    const uint32_t shown = ShownTile(*tileset, cell, WrapFrame(frame, tileset->FramesPerTile()));
    if (shown == 0) return;
    if (!p.simple) {
        DrawGeneralTile(*tileset, p, shown, cell, x, y);
        return;
    }
    auto* out = static_cast<Vertex*>(Graphics::AllocVerts(kTriangleList, p.texture, eVF_PosColourTex, 6));
    if (out == nullptr) return;
    WriteQuad(out, p, tileset->Columns(), shown, cell, x, y, x + static_cast<float>(tileset->TileWidth()),
              y + static_cast<float>(tileset->TileHeight()), depth);
}
