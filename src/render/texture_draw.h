// Drawing whole textures of the table and the images that page entries
// describe. Every function only appends vertices to the single batch
// (24-byte layout: x, y, z, colour 0xAABBGGRR, u, v; z is GR_Depth): no state
// change and no flush, so consecutive images on one page join one draw call.
//
// Each returns false and draws nothing when the texture id does not exist,
// the page entry is null or its page is not an existing texture id.
// Colours are script colours (0xBBGGRR) with an alpha 0..1; the simple forms
// draw white with the draw alpha.
#pragma once

#include <cstdint>

struct Texture;
struct ZQTPageEntry;

// While set, page-entry draws and the simple texture-id draw mark a corner
// number in the lowest bit of the red and blue channels of each vertex colour
// (the corner-id built-in sets it).
extern bool g_MarkVerts;
// The 2D drawing depth and the draw alpha (0-255), owned by the drawing state.
extern float GR_Depth;
extern int32_t Draw_Alpha;

// The most tiles one tiled draw appends; a tiling that would need more draws
// nothing (a tiny tile over a large room would otherwise run without bound).
inline constexpr int64_t kMaxTiledTiles = 1 << 18;

bool GR_Texture_Draw_Simple(int id, float x, float y);
bool GR_Texture_Draw_Simple(ZQTPageEntry* entry, float x, float y);
bool GR_Texture_Draw_Stretched(int id, float x, float y, float w, float h, uint32_t colour, float alpha);
// Origin, position, scale and rotation in radians (none below 0.001).
bool GR_Texture_Draw(int id, float xorig, float yorig, float x, float y, float xscale, float yscale,
                     float angle, uint32_t colour, float alpha);
bool GR_Texture_Draw(ZQTPageEntry* entry, float xorig, float yorig, float x, float y, float xscale,
                     float yscale, float angle, uint32_t colour, float alpha);
// The page image on four given corners (top left, top right, bottom right,
// bottom left).
bool GR_Texture_Draw_Pos(ZQTPageEntry* entry, float x1, float y1, float x2, float y2, float x3, float y3,
                         float x4, float y4, uint32_t colour, float alpha);
bool GR_Texture_Draw_Part(int id, float left, float top, float w, float h, float x, float y, float xscale,
                          float yscale, float angle, uint32_t colour, float alpha);
bool GR_Texture_Draw_Part(ZQTPageEntry* entry, float left, float top, float w, float h, float x, float y,
                          float xscale, float yscale, float angle, uint32_t colour, float alpha);
// c1 top left, c2 top right, c3 bottom right, c4 bottom left.
bool GR_Texture_Draw_Part_Color(int id, float left, float top, float w, float h, float x, float y,
                                float xscale, float yscale, float angle, uint32_t c1, uint32_t c2,
                                uint32_t c3, uint32_t c4, float alpha);
bool GR_Texture_Draw_Part_Color(ZQTPageEntry* entry, float left, float top, float w, float h, float x,
                                float y, float xscale, float yscale, float angle, uint32_t c1, uint32_t c2,
                                uint32_t c3, uint32_t c4, float alpha);
// Tiles over the region (texture-id form) or over the room extents (page-entry
// form, where the region arguments are not used).
bool GR_Texture_Draw_Tiled(int id, float xorig, float yorig, float x, float y, float xscale, float yscale,
                           bool htiled, bool vtiled, float regionLeft, float regionTop, float regionWidth,
                           float regionHeight, uint32_t colour, float alpha);
bool GR_Texture_Draw_Tiled(ZQTPageEntry* entry, float xorig, float yorig, float x, float y, float xscale,
                           float yscale, bool htiled, bool vtiled, float regionLeft, float regionTop,
                           float regionWidth, float regionHeight, uint32_t colour, float alpha);
// A GPU texture on four points (p1 top left, p2 top right, p3 bottom right, p4
// bottom left) with the texel rectangle (tu1, tv1)-(tu2, tv2) and four vertex
// colours (0xAABBGGRR). False when the batch cannot take the vertices.
bool DrawIt_Color(Texture* texture, float x1, float y1, float x2, float y2, float x3, float y3, float x4,
                  float y4, float tu1, float tv1, float tu2, float tv2, uint32_t c1, uint32_t c2, uint32_t c3,
                  uint32_t c4);

// Corner marking off again (tests start from it).
void TextureDraw_Reset();
