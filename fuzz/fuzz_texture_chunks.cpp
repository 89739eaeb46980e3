// Arbitrary bytes as a data file's texture-page chunks: "TPAG", "TXTR" and
// "EMBI" found by walking the chunk headers only (sizes clipped to the
// input) and handed to their loaders in file order; then every loaded page
// decoded on the CPU (within the bytes its chunk has left), every listed
// entry looked up, checked to lie on its page and drawn in every form, and
// every embedded image looked up by name.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "chunk_walk.h"
#include "core/console.h"
#include "core/game_chunks.h"
#include "core/game_image.h"
#include "core/header_globals.h"
#include "render/image_decode.h"
#include "render/page_entry.h"
#include "render/texture.h"
#include "render/texture_draw.h"
#include "render/texture_table.h"
#include "render/vertex_batch.h"
#include "render/view.h"
#include "world/datafile/game_file.h"

namespace {

void DrawEveryForm(ZQTPageEntry* e) {
    GR_Texture_Draw_Simple(e, 3, 4);
    GR_Texture_Draw(e, 1, 2, 3, 4, 1.5f, -2, 0.7f, 0xFF, 0.5f);
    GR_Texture_Draw_Pos(e, 0, 0, 5, 0, 5, 5, 0, 5, 0xFF00, 1);
    GR_Texture_Draw_Part(e, 1, 1, 30, 30, 2, 2, 1, 1, 0.3f, 0xFFFFFF, 1);
    GR_Texture_Draw_Part_Color(e, -3, 7, 4, 400, 2, 2, 2, 1, 0, 1, 2, 3, 4, 0.25f);
    GR_Texture_Draw_Tiled(e, 0, 0, 17, -9, 0.5f, 3, true, true, 0, 0, 0, 0, 0xFFFFFF, 1);
    GR_Texture_Draw_Tiled(e, 0, 0, 17, -9, 1, 1, false, true, 0, 0, 0, 0, 0xFFFFFF, 1);
    if (e->page >= 0) {
        const int id = e->page;
        GR_Texture_Draw_Tiled(id, 1, 1, -7, 3, 0.25f, 2, true, true, -10, -10, 300, 200, 0xFF, 1);
        GR_Texture_Draw_Part_Color(id, 1, 1, 2, 2, 0, 0, 1, 1, 0.00005f, 1, 2, 3, 4, 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    init_csol = dbg_csol = &g_dummyConsole;
    std::vector<uint8_t> image(data, data + size);
    g_WADImage = ImageReader(image.data(), image.size(), 0, image.size(), "");
    g_TexturePageChunk = ImageReader();
    g_isNimbar = false;
    g_roomExtents[0] = g_roomExtents[1] = 0;
    g_roomExtents[2] = 640;
    g_roomExtents[3] = 360;

    std::vector<uint32_t> listed;
    ForEachChunk(image, [&listed](const FuzzChunk& c) {
        // The header's generation decides the page record layout.
        if (c.IsGenerationHeader()) g_isNimbar = c.NewGeneration();
        // The first page-entry table is the one the loaders find.
        if (c.Is("TPAG") && c.Size() > 0 && g_TexturePageChunk.Empty()) {
            g_TexturePageChunk = c.reader;
            const size_t limit = c.reader.ChunkEnd();
            for (size_t w = c.reader.ChunkStart() + 4; w + 4 <= limit && listed.size() < 4096; w += 4)
                listed.push_back(c.reader.Peek<uint32_t>(w));
        }
        if (c.Is("TXTR")) Texture_Load(c.reader);
        if (c.Is("EMBI")) EmbeddedImages_LoadChunk(c.reader);
    });

    for (int i = 0; i < g_NumZQTextures; ++i) {
        bool owned = false;
        uint8_t* pixels = _GetCPUSideTextureData(GR_Texture_Get_Surface(g_ZQTextures[i]), owned);
        if (owned) FreePNGFile();
        (void)pixels;
    }
    for (uint32_t offset : listed) {
        ZQTPageEntry* e = TPageEntry_AtOffset(offset);
        if (e == nullptr) continue;
        if (const TextureEntry* page = GR_Texture_Entry(e->page); page != nullptr && page->inUse) {
            // A loaded entry never leaves its page.
            if (e->x < 0 || e->y < 0 || e->width < 0 || e->height < 0 || e->x + e->width > page->width ||
                e->y + e->height > page->height)
                std::abort();
        }
        TPageEntry_FromHandle(TPageEntry_Handle(e));
        DrawEveryForm(e);
        Batch_Empty();
    }
    for (int i = 0; i < g_NumEmbeddedImages; ++i) {
        EmbeddedImage_Find(g_EmbeddedImages[i].name, false);
        EmbeddedImage_Find("a", true);
    }

    Batch_Empty();
    TextureTable_Reset();
    g_WADImage = ImageReader();
    g_TexturePageChunk = ImageReader();
    return 0;
}
