// The glyph cache of a run-time font: a square texture whose CPU pixels are
// kept and edited in place, cut into cells of the face's largest advance ×
// its line height. A glyph's image is rendered into a cell at its first
// lookup; when every cell is taken, the cell filled longest ago is reused.
#pragma once

#include <cstdint>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

struct Texture;
struct ZQGlyph2;

struct ZQFTCell {
    ZQGlyph2* glyph = nullptr; // null while empty
    int32_t x = 0, y = 0;      // top left in the texture
    // The batch count (g_numVertexBatches) when the glyph was last looked up:
    // while it still equals the count, quads queued since the last draw may
    // sample the cell.
    int32_t lastUsedBatch = -1;
    int32_t prev = -1, next = -1; // fill order: head most recent, tail oldest
};

class ZQFTGlyphCache {
public:
    ZQFTGlyphCache() = default;
    ~ZQFTGlyphCache();
    ZQFTGlyphCache(const ZQFTGlyphCache&) = delete;
    ZQFTGlyphCache& operator=(const ZQFTGlyphCache&) = delete;

    // Makes the width × height texture (transparent white) and its cells; a
    // face too large for one cell leaves the cache with none.
    void Init(int width, int height, FT_Face face);
    // Reuses the tail cell for `glyph` and renders it; null when there are no
    // cells (the glyph then stays uncached and draws as nothing).
    ZQFTCell* GetLRUSlot(ZQGlyph2* glyph, bool antiAlias);
    // Records that the cell's glyph was looked up now.
    static void Touch(ZQFTCell* cell);
    void Release(); // frees the texture and the cells

    FT_Face face = nullptr;
    int32_t textureId = -1;
    Texture* texture = nullptr;
    int32_t cellWidth = 0, cellHeight = 0;
    int32_t textureWidth = 0, textureHeight = 0;
    int32_t marginX = 2, marginY = 2;
    int32_t ascender = 0;
    int32_t CellCount() const { return static_cast<int32_t>(cells.size()); }
    // How many times a reused cell forced the pending batch out first.
    int32_t flushes = 0;

private:
    void Unlink(int32_t i);
    void PushHead(int32_t i);
    void Render(ZQFTCell& cell, bool antiAlias);

    std::vector<ZQFTCell> cells;
    int32_t head = -1, tail = -1;
};

// The FreeType library all run-time fonts share (started by Font_Init, or by
// the first run-time font when that has not run).
extern FT_Library g_FreeTypeLibrary;
