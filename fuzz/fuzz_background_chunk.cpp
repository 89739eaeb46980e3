// Arbitrary bytes as a data file's background chunk: "GEN8" (for the
// generation, which decides whether tileset fields are read), the first
// "TPAG" (the page entries records name) and "BGND", found by walking the
// chunk headers only (sizes clipped to the input); then every loaded
// background's size, tileset animation and every tile of its tile data, its
// drawing forms, and the table operations on whatever loaded.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "chunk_walk.h"
#include "core/console.h"
#include "core/game_chunks.h"
#include "core/game_image.h"
#include "core/header_globals.h"
#include "render/vertex_batch.h"
#include "render/view.h"
#include "room/room_services.h"
#include "sprites/background.h"
#include "sprites/background_table.h"
#include "world/datafile/game_file.h"

namespace {

void Exercise(const CBackground* b) {
    // Bounded so that a huge but valid tile table cannot stall the run.
    const int tiles = std::min(b->TileCount(), 4096);
    const int frames = std::min(b->FramesPerTile(), 64);
    for (int t = -1; t <= tiles; ++t)
        for (int f = -1; f <= frames; ++f) b->TileImage(t, f);
    b->DrawSimple(1, 2);
    b->Draw(3, 4, 2, -1, 45, 0xFF, 0.5f);
    b->DrawStretched(0, 0, 100, 50, 0xFFFFFF, 1);
    b->DrawPart(1, 1, 8, 8, 0, 0, 1, 1, 0xFFFFFF, 1);
    b->DrawGeneral(0, 0, 400, 3, 2, 2, 1, 1, 30, 1, 2, 3, 4, 1);
    b->DrawTiled(5, 5, 0.5f, 2, true, true, 0, 0, 64, 64, 0xFFFFFF, 1);
    Batch_Empty();
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
    Background_Init();

    ForEachChunk(image, [](const FuzzChunk& c) {
        if (c.IsGenerationHeader()) g_isNimbar = c.NewGeneration();
        if (c.Is("TPAG") && c.Size() > 0 && g_TexturePageChunk.Empty()) g_TexturePageChunk = c.reader;
        if (c.Is("BGND")) Background_Load(c.reader);
    });

    const int loaded = Background_Number();
    for (int i = 0; i < loaded; ++i) {
        if (const CBackground* b = Background_Data(i)) Exercise(b);
        Background_Find(Background_Name(i));
        int w, h, frames;
        double frameTime;
        Room_BackgroundSize(i, &w, &h);
        Room_TilesetAnimation(i, &frames, &frameTime);
    }
    if (loaded > 0) {
        const int copy = Background_Duplicate(0);
        if (loaded > 1) Background_Assign(loaded - 1, 0);
        Background_Assign(0, 0);
        if (copy >= 0) Exercise(Background_Data(copy));
        Background_Delete(0);
        Background_Delete(0);
        Background_AddEmpty();
    }
    Background_Free();
    Batch_Empty();
    g_WADImage = ImageReader();
    g_TexturePageChunk = ImageReader();
    return 0;
}
