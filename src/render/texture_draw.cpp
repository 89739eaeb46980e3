// Texture and page-entry drawing: each form turns one image into quads of
// the single batch. Quads are six-vertex triangle lists whose slots go top
// left, top right, bottom right, bottom right, bottom left, top left unless a
// form says otherwise; corner ids go by slot, whatever corner a slot holds.
//
// Page-entry forms place the image's trimmed pixels inside the untrimmed
// image: the entry's offsets say where they start, its crop size how large
// they are drawn. A zero crop size is written back as 1 before any form uses
// it, so no form divides by it.
#include "render/texture_draw.h"

#include <algorithm>
#include <cmath>

#include "core/header_globals.h"
#include "core/real_to_int.h"
#include "render/colour.h"
#include "render/page_entry.h"
#include "render/texture_table.h"
#include "render/vertex_batch.h"
#include "render/view.h"
#include "room/camera.h"
#include "room/camera_manager.h"

bool g_MarkVerts = false;

namespace {

struct Vertex {
    float x, y, z;
    uint32_t colour;
    float u, v;
};
static_assert(sizeof(Vertex) == eVF_PosColourTex, "the 24-byte layout");

struct Point {
    float x, y;
};

struct Texels {
    float u1, v1, u2, v2;
};

constexpr int kTriangleList = 4;
constexpr int kTriangleFan = 6;
// The largest multiple of six the batch takes in one request.
constexpr int kMaxQuadVertices = kBatchAllocLimit / 6 * 6;
constexpr float kTurnThreshold = 0.001f;
constexpr float kColourTurnThreshold = 0.0001f;
constexpr int kSlotCorner[6] = {0, 1, 2, 2, 3, 0};

Vertex* Alloc(int kind, Texture* texture, int count) {
    return static_cast<Vertex*>(Graphics::AllocVerts(kind, texture, eVF_PosColourTex, count));
}

TextureEntry* Existing(int id) {
    TextureEntry* e = GR_Texture_Entry(id);
    return e != nullptr && e->inUse ? e : nullptr;
}

// The table entry of the entry's page; the crop size made drawable.
TextureEntry* PageOf(ZQTPageEntry* entry) {
    if (entry == nullptr) return nullptr;
    TextureEntry* page = Existing(entry->page);
    if (page == nullptr) return nullptr;
    if (entry->cropWidth == 0) entry->cropWidth = 1;
    if (entry->cropHeight == 0) entry->cropHeight = 1;
    return page;
}

uint32_t WithAlpha(uint32_t colour, float alpha) {
    return GR_Color_To_D3DColor(colour, ConvertAlpha(alpha));
}

// The alpha byte taken to the nearest integer rather than truncated.
uint32_t WithNearestAlpha(uint32_t colour, float alpha) {
    float a = alpha * 255.0f;
    if (!(a > 0.0f)) a = 0.0f;
    if (a > 255.0f) a = 255.0f;
    return GR_Color_To_D3DColor(colour, static_cast<uint32_t>(RealRoundToInt32(a)));
}

uint32_t DrawWhite() {
    return 0x00FFFFFFu | static_cast<uint32_t>(Draw_Alpha & 0xFF) << 24;
}

uint32_t CornerId(uint32_t c, int id) {
    const uint32_t none = c & ~0x00010001u;
    switch (id) {
        case 1: return none + 1;
        case 2: return none + 0x10000;
        case 3: return c | 0x00010001u;
        default: return none;
    }
}

void MarkCorners(Vertex* v) {
    if (!g_MarkVerts) return;
    for (int slot = 0; slot < 6; ++slot) v[slot].colour = CornerId(v[slot].colour, kSlotCorner[slot]);
}

Texels WholeImage(const TextureEntry& e) {
    return {0.0f, 0.0f, static_cast<float>(e.width) * e.invWidth, static_cast<float>(e.height) * e.invHeight};
}

Texels PageRect(const ZQTPageEntry& p, const TextureEntry& page) {
    return {static_cast<float>(p.x) * page.invWidth, static_cast<float>(p.y) * page.invHeight,
            static_cast<float>(p.x + p.width) * page.invWidth,
            static_cast<float>(p.y + p.height) * page.invHeight};
}

// Corner k of a quad (0 top left, 1 top right, 2 bottom right, 3 bottom
// left) with its texel.
Vertex Corner(const Point (&p)[4], const Texels& t, int k, uint32_t colour) {
    const bool right = k == 1 || k == 2, bottom = k == 2 || k == 3;
    return {p[k].x, p[k].y, GR_Depth, colour, right ? t.u2 : t.u1, bottom ? t.v2 : t.v1};
}

// Writes the quad's six slots taking corners in `order`.
void PutQuad(Vertex* v, const Point (&p)[4], const Texels& t, const uint32_t (&colours)[4],
             const int (&order)[6]) {
    for (int slot = 0; slot < 6; ++slot) v[slot] = Corner(p, t, order[slot], colours[order[slot]]);
}

constexpr int kStandardOrder[6] = {0, 1, 2, 2, 3, 0};
constexpr int kTrimmedPartOrder[6] = {0, 1, 3, 1, 2, 3};
constexpr int kTileOrder[6] = {3, 0, 1, 1, 2, 3};

bool DrawQuad(Texture* texture, const Point (&p)[4], const Texels& t, const uint32_t (&colours)[4], bool mark,
              const int (&order)[6] = kStandardOrder) {
    Vertex* v = Alloc(kTriangleList, texture, 6);
    if (v == nullptr) return false;
    PutQuad(v, p, t, colours, order);
    if (mark) MarkCorners(v);
    return true;
}

bool DrawQuad(Texture* texture, const Point (&p)[4], const Texels& t, uint32_t colour, bool mark) {
    const uint32_t colours[4] = {colour, colour, colour, colour};
    return DrawQuad(texture, p, t, colours, mark);
}

// The rectangle (left, top)-(right, bottom) around (x, y), turned by `angle`
// radians when that is not below the threshold.
void Rectangle(Point (&p)[4], float x, float y, float left, float top, float right, float bottom,
               float angle) {
    const float lx[4] = {left, right, right, left}, ly[4] = {top, top, bottom, bottom};
    if (std::fabs(angle) < kTurnThreshold) {
        for (int k = 0; k < 4; ++k) p[k] = {x + lx[k], y + ly[k]};
        return;
    }
    const float s = std::sin(angle), c = std::cos(angle);
    for (int k = 0; k < 4; ++k) p[k] = {x + c * lx[k] + s * ly[k], y - s * lx[k] + c * ly[k]};
}

// A W × H part with its top left at (x, y), turned by sine s and cosine c.
void PartCorners(Point (&p)[4], float x, float y, float w, float h, float s, float c) {
    p[0] = {x, y};
    p[1] = {x + c * w, y - s * w};
    p[2] = {p[1].x + s * h, p[1].y + c * h};
    p[3] = {x + s * h, y + c * h};
}

void SinCos(float angle, float threshold, float& s, float& c) {
    if (std::fabs(angle) < threshold) {
        s = 0.0f;
        c = 1.0f;
    } else {
        s = std::sin(angle);
        c = std::cos(angle);
    }
}

Texels PartTexels(const TextureEntry& e, float left, float top, float w, float h) {
    return {left * e.invWidth, top * e.invHeight, (left + w) * e.invWidth, (top + h) * e.invHeight};
}

// Moves a part's top-left corner past the trimmed-away border: a part that
// starts before the stored pixels loses what lies before them, and the
// drawing position moves by what was lost (turned like the part).
void TrimPart(const ZQTPageEntry& p, float& left, float& top, float& w, float& h, float& x, float& y,
              float xscale, float yscale, float s, float c) {
    if (left < p.xOffset) {
        const float d = p.xOffset - left;
        x += std::trunc(c * xscale * d);
        y -= std::trunc(s * yscale * d);
        w -= d;
        left = 0.0f;
    } else {
        left -= p.xOffset;
    }
    if (top < p.yOffset) {
        const float d = p.yOffset - top;
        h -= d;
        x += std::trunc(s * xscale * d);
        y += std::trunc(c * yscale * d);
        top = 0.0f;
    } else {
        top -= p.yOffset;
    }
}

// Tiling is meaningless through a camera that is not two-dimensional; with no
// active camera the view is the plain 2D one.
bool ViewIs2D() {
    const CCamera* camera = g_CM.GetActiveCamera();
    return camera == nullptr || camera->Is2D();
}

// Tile positions along one axis of the texture-id tiled form: the first
// position and the count (0: none; -1: more than any draw may append).
struct TileAxis {
    double first;
    int64_t count;
};

TileAxis Tiles(float pos, int tile, bool tiled, float regionStart, float regionLength) {
    const double start0 = regionStart, end = static_cast<double>(regionStart) + regionLength;
    const int64_t p = RealRoundToInt32(pos);
    double start;
    if (tiled) {
        const int64_t r = p % tile; // with the sign of p
        start = static_cast<double>(r - (r > 0 ? tile : 0));
        // Steps of one tile until the next tile would reach the region,
        // taken at once.
        if (start + tile < start0) start += std::ceil((start0 - (start + tile)) / tile) * tile;
        while (start + tile < start0) start += tile;
    } else {
        start = static_cast<double>(p);
    }
    if (!(start < end)) return {start, 0};
    if (!tiled) return {start, 1};
    const double n = std::ceil((end - start) / tile);
    if (!(n <= static_cast<double>(kMaxTiledTiles))) return {start, -1};
    return {start, static_cast<int64_t>(n)};
}

} // namespace

bool GR_Texture_Draw_Simple(int id, float x, float y) {
    const TextureEntry* e = Existing(id);
    if (e == nullptr) return false;
    Point p[4];
    Rectangle(p, x, y, 0.0f, 0.0f, e->width, e->height, 0.0f);
    return DrawQuad(e->texture, p, WholeImage(*e), DrawWhite(), true);
}

bool GR_Texture_Draw_Simple(ZQTPageEntry* entry, float x, float y) {
    const TextureEntry* page = PageOf(entry);
    if (page == nullptr) return false;
    Point p[4];
    Rectangle(p, x + entry->xOffset, y + entry->yOffset, 0.0f, 0.0f, entry->cropWidth, entry->cropHeight,
              0.0f);
    return DrawQuad(page->texture, p, PageRect(*entry, *page), DrawWhite(), true);
}

bool GR_Texture_Draw_Stretched(int id, float x, float y, float w, float h, uint32_t colour, float alpha) {
    const TextureEntry* e = Existing(id);
    if (e == nullptr) return false;
    Point p[4];
    Rectangle(p, x, y, 0.0f, 0.0f, w, h, 0.0f);
    return DrawQuad(e->texture, p, WholeImage(*e), WithAlpha(colour, alpha), false);
}

bool GR_Texture_Draw(int id, float xorig, float yorig, float x, float y, float xscale, float yscale,
                     float angle, uint32_t colour, float alpha) {
    TextureEntry* e = Existing(id);
    if (e == nullptr) return false;
    if (e->width == 0 || e->height == 0) {
        e->width = e->height = 8;
        e->invWidth = e->invHeight = 0.125f;
    }
    Point p[4];
    Rectangle(p, x, y, -xorig * xscale, -yorig * yscale, (e->width - xorig) * xscale,
              (e->height - yorig) * yscale, angle);
    return DrawQuad(e->texture, p, WholeImage(*e), WithAlpha(colour, alpha), false);
}

bool GR_Texture_Draw(ZQTPageEntry* entry, float xorig, float yorig, float x, float y, float xscale,
                     float yscale, float angle, uint32_t colour, float alpha) {
    const TextureEntry* page = PageOf(entry);
    if (page == nullptr) return false;
    const float ox = xorig - entry->xOffset, oy = yorig - entry->yOffset;
    Point p[4];
    Rectangle(p, x, y, -ox * xscale, -oy * yscale, (entry->cropWidth - ox) * xscale,
              (entry->cropHeight - oy) * yscale, angle);
    return DrawQuad(page->texture, p, PageRect(*entry, *page), WithAlpha(colour, alpha), true);
}

bool GR_Texture_Draw_Pos(ZQTPageEntry* entry, float x1, float y1, float x2, float y2, float x3, float y3,
                         float x4, float y4, uint32_t colour, float alpha) {
    const TextureEntry* page = PageOf(entry);
    if (page == nullptr) return false;
    const Point p[4] = {{x1, y1}, {x2, y2}, {x3, y3}, {x4, y4}};
    return DrawQuad(page->texture, p, PageRect(*entry, *page), WithAlpha(colour, alpha), true);
}

bool GR_Texture_Draw_Part(int id, float left, float top, float w, float h, float x, float y, float xscale,
                          float yscale, float angle, uint32_t colour, float alpha) {
    const TextureEntry* e = Existing(id);
    if (e == nullptr) return false;
    float s, c;
    SinCos(angle, kTurnThreshold, s, c);
    Point p[4];
    PartCorners(p, x, y, w * xscale, h * yscale, s, c);
    return DrawQuad(e->texture, p, PartTexels(*e, left, top, w, h), WithAlpha(colour, alpha), false);
}

bool GR_Texture_Draw_Part(ZQTPageEntry* entry, float left, float top, float w, float h, float x, float y,
                          float xscale, float yscale, float angle, uint32_t colour, float alpha) {
    const TextureEntry* page = PageOf(entry);
    if (page == nullptr) return false;
    const float s = std::sin(angle), c = std::cos(angle);
    TrimPart(*entry, left, top, w, h, x, y, xscale, yscale, s, c);
    const float drawnW = left + w > entry->cropWidth ? entry->cropWidth - left : w;
    const float drawnH = top + h > entry->cropHeight ? entry->cropHeight - top : h;
    if (drawnW <= 0.0f || drawnH <= 0.0f) return true;
    Point p[4];
    PartCorners(p, x, y, drawnW * xscale, drawnH * yscale, s, c);
    // The stored pixels may be smaller than the crop size they are drawn at.
    const float rx = static_cast<float>(entry->width) / entry->cropWidth;
    const float ry = static_cast<float>(entry->height) / entry->cropHeight;
    const Texels t = {(left * rx + entry->x) * page->invWidth, (top * ry + entry->y) * page->invHeight,
                      ((left + drawnW) * rx + entry->x) * page->invWidth,
                      ((top + drawnH) * ry + entry->y) * page->invHeight};
    const uint32_t col = WithAlpha(colour, alpha);
    const uint32_t colours[4] = {col, col, col, col};
    return DrawQuad(page->texture, p, t, colours, true, kTrimmedPartOrder);
}

bool GR_Texture_Draw_Part_Color(int id, float left, float top, float w, float h, float x, float y,
                                float xscale, float yscale, float angle, uint32_t c1, uint32_t c2,
                                uint32_t c3, uint32_t c4, float alpha) {
    const TextureEntry* e = Existing(id);
    if (e == nullptr) return false;
    float s, c;
    SinCos(angle, kColourTurnThreshold, s, c);
    Point p[4];
    PartCorners(p, x, y, w * xscale, h * yscale, s, c);
    const uint32_t colours[4] = {WithAlpha(c1, alpha), WithAlpha(c2, alpha), WithAlpha(c3, alpha),
                                 WithAlpha(c4, alpha)};
    return DrawQuad(e->texture, p, PartTexels(*e, left, top, w, h), colours, false);
}

bool GR_Texture_Draw_Part_Color(ZQTPageEntry* entry, float left, float top, float w, float h, float x,
                                float y, float xscale, float yscale, float angle, uint32_t c1, uint32_t c2,
                                uint32_t c3, uint32_t c4, float alpha) {
    const TextureEntry* page = PageOf(entry);
    if (page == nullptr) return false;
    TrimPart(*entry, left, top, w, h, x, y, xscale, yscale, std::sin(angle), std::cos(angle));
    const float drawnW = std::min<float>(entry->cropWidth, w);
    const float drawnH = std::min<float>(entry->cropHeight, h);
    float s, c;
    SinCos(angle, kColourTurnThreshold, s, c);
    Point p[4];
    PartCorners(p, x, y, drawnW * xscale, drawnH * yscale, s, c);
    const Texels t = {(entry->x + left) * page->invWidth, (entry->y + top) * page->invHeight,
                      (entry->x + left + drawnW) * page->invWidth,
                      (entry->y + top + drawnH) * page->invHeight};
    const uint32_t colours[4] = {WithNearestAlpha(c1, alpha), WithNearestAlpha(c2, alpha),
                                 WithNearestAlpha(c3, alpha), WithNearestAlpha(c4, alpha)};
    return DrawQuad(page->texture, p, t, colours, true);
}

bool GR_Texture_Draw_Tiled(int id, float xorig, float yorig, float x, float y, float xscale, float yscale,
                           bool htiled, bool vtiled, float regionLeft, float regionTop, float regionWidth,
                           float regionHeight, uint32_t colour, float alpha) {
    const TextureEntry* e = Existing(id);
    if (e == nullptr) return false;
    const int tw = RealToInt32(e->width * xscale), th = RealToInt32(e->height * yscale);
    if (tw <= 0 || th <= 0) return false;
    const TileAxis columns = Tiles(x, tw, htiled, regionLeft, regionWidth);
    const TileAxis rows = Tiles(y, th, vtiled, regionTop, regionHeight);
    if (columns.count < 0 || rows.count < 0 || columns.count * rows.count > kMaxTiledTiles) return false;
    const uint32_t col = WithNearestAlpha(colour, alpha);
    const Texels t = WholeImage(*e);
    const float x0 = -xorig * xscale, x1 = (e->width - xorig) * xscale;
    const float y0 = -yorig * yscale, y1 = (e->height - yorig) * yscale;
    for (int64_t i = 0; i < columns.count; ++i) {
        const float tileX = static_cast<float>(columns.first + static_cast<double>(i * tw));
        for (int64_t j = 0; j < rows.count; ++j) {
            const float tileY = static_cast<float>(rows.first + static_cast<double>(j * th));
            Vertex* v = Alloc(kTriangleFan, e->texture, 4);
            if (v == nullptr) return false;
            v[0] = {tileX + x0, tileY + y0, GR_Depth, col, 0.0f, 0.0f};
            v[1] = {tileX + x1, tileY + y0, GR_Depth, col, t.u2, 0.0f};
            v[2] = {tileX + x1, tileY + y1, GR_Depth, col, t.u2, t.v2};
            v[3] = {tileX + x0, tileY + y1, GR_Depth, col, 0.0f, t.v2};
        }
    }
    return true;
}

bool GR_Texture_Draw_Tiled(ZQTPageEntry* entry, float xorig, float yorig, float x, float y, float xscale,
                           float yscale, bool htiled, bool vtiled, float, float, float, float,
                           uint32_t colour, float alpha) {
    const TextureEntry* page = PageOf(entry);
    if (page == nullptr) return false;
    if (!(xscale >= 0.0001f) || !(yscale >= 0.0001f)) return false;
    if (g_isNimbar && !ViewIs2D()) htiled = vtiled = false;
    if (!htiled && !vtiled)
        return GR_Texture_Draw(entry, xorig, yorig, x, y, xscale, yscale, 0.0f, colour, alpha);

    // An image without an untrimmed size has no tile to step by.
    const float tw = entry->untrimmedWidth * xscale, th = entry->untrimmedHeight * yscale;
    if (!(tw > 0.0f) || !(th > 0.0f) || !std::isfinite(tw) || !std::isfinite(th)) return false;
    const float left = static_cast<float>(g_roomExtents[0]), top = static_cast<float>(g_roomExtents[1]);
    const float right = static_cast<float>(g_roomExtents[2]), bottom = static_cast<float>(g_roomExtents[3]);
    float spanX = tw, spanY = th;
    if (htiled) {
        x = left - tw + std::fmod(x - left, tw);
        spanX = ((tw - 1.0f + (right - left)) / tw + 2.0f) * tw;
    }
    if (vtiled) {
        y = top - th + std::fmod(y - top, th);
        spanY = ((th - 1.0f + (bottom - top)) / th + 2.0f) * th;
    }
    const int64_t columns = RealToInt64(spanX / tw), rows = RealToInt64(spanY / th);
    if (columns <= 0 || rows <= 0) return true;
    if (columns > kMaxTiledTiles || rows > kMaxTiledTiles || columns * rows > kMaxTiledTiles) return false;

    const uint32_t col = WithAlpha(colour, alpha);
    const uint32_t colours[4] = {col, col, col, col};
    const Texels t = PageRect(*entry, *page);
    const float w = entry->cropWidth * xscale, h = entry->cropHeight * yscale;
    const float ox = entry->xOffset * xscale, oy = entry->yOffset * yscale;
    int64_t remaining = columns * rows;
    Vertex* v = nullptr;
    int room = 0; // vertices left in the current request
    for (int64_t row = 0; row < rows; ++row) {
        for (int64_t column = 0; column < columns; ++column) {
            if (room == 0) {
                room = static_cast<int>(std::min<int64_t>(remaining * 6, kMaxQuadVertices));
                v = Alloc(kTriangleList, page->texture, room);
                if (v == nullptr) return false;
            }
            const float tx = x + static_cast<float>(column) * tw + ox;
            const float ty = y + static_cast<float>(row) * th + oy;
            const Point p[4] = {{tx, ty}, {tx + w, ty}, {tx + w, ty + h}, {tx, ty + h}};
            PutQuad(v, p, t, colours, kTileOrder);
            MarkCorners(v);
            v += 6;
            room -= 6;
            --remaining;
        }
    }
    return true;
}

bool DrawIt_Color(Texture* texture, float x1, float y1, float x2, float y2, float x3, float y3, float x4,
                  float y4, float tu1, float tv1, float tu2, float tv2, uint32_t c1, uint32_t c2, uint32_t c3,
                  uint32_t c4) {
    const Point p[4] = {{x1, y1}, {x2, y2}, {x3, y3}, {x4, y4}};
    const uint32_t colours[4] = {c1, c2, c3, c4};
    return DrawQuad(texture, p, {tu1, tv1, tu2, tv2}, colours, false);
}

void TextureDraw_Reset() {
    g_MarkVerts = false;
}
