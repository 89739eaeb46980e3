// Tilemaps drawn from their tilesets: the texture coordinates of a tileset's
// tiles, a tilemap element's cells turned into textured quads, and one tile
// on its own (the draw-tile built-in).
#pragma once

#include <cstdint>

struct tagZQRECT;
struct Texture;
class CBackground;
class CLayer;
struct CLayerTilemapElement;

// The cell word: tile index in bits 0-18 (0 the empty tile), then mirror
// (left to right), flip (top to bottom) and rotate (90° clockwise, after
// mirror and flip).
inline constexpr uint32_t kTileIndexMask = 0x7FFFF;
inline constexpr uint32_t kTileMirror = 1u << 28;
inline constexpr uint32_t kTileFlip = 1u << 29;
inline constexpr uint32_t kTileRotate = 1u << 30;

// Where a tileset's tiles lie on its texture. Simple: tile n's texels start
// at ((n mod columns) × stepU + uBase, (n / columns) × stepV + vBase) and
// span tileU × tileV; `texture` is then the GPU texture to draw with. Not
// simple (a trimmed page entry): tiles are drawn one by one through the
// tileset's own image drawing, with scaleX and scaleY the entry's scale.
// `texture` is null when there is nothing to draw with (and for a null
// tileset).
void CalcLayerTilemapParams(CBackground* tileset, Texture** texture, float& uBase, float& vBase, float& tileU,
                            float& tileV, float& stepU, float& stepV, float& scaleX, float& scaleY,
                            bool& simple);

// Draws the element's cells. With a layer the origin is the element's
// position plus the layer's offset at the current drawing depth; without one
// (x, y) at `depth`. Only the cells whose tiles can meet `rect` are visited
// (a trimmed tileset visits every cell).
void DrawLayerTilemapElement(tagZQRECT* rect, CLayer* layer, CLayerTilemapElement* element, float x, float y,
                             float depth);

// Draws one cell word's tile at (x, y) with its top left there, in animation
// frame `frame` (any integer: it wraps into the tileset's frames). Nothing
// for a null rectangle or tileset, a tileset without tiles or texture, or an
// empty or unknown tile.
void DrawTile(tagZQRECT* rect, CBackground* tileset, unsigned cell, int frame, float x, float y, float depth);
