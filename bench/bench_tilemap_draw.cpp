// Tilemap throughput: a 256 × 256 map of 16 × 16 tiles (indices, mirror,
// flip and rotate bits mixed) seen through a 1280 × 720 view that scrolls a
// little every frame, drawn by the fast path. The figure is "quads_per_ms":
// tile quads drawn per millisecond, with "quads_per_frame" the visible cells
// (81 × 46 with the partial column and row) and "draw_calls" per frame.
//
// "on_llvmpipe" draws each frame on Mesa's software renderer and waits for
// it (glFinish): the CPU and GPU sides together. "batch_side" runs the same
// frames with a device that draws nothing: the culling and quad writing
// alone.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "background_chunk.h"
#include "core/header_globals.h"
#include "core/memory_manager.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "headless_gl.h"
#include "null_gl_layer.h"
#include "render/bitmap32.h"
#include "render/gl_api.h"
#include "render/gl_layer.h"
#include "render/graphics_device.h"
#include "render/image_decode.h"
#include "render/render_state.h"
#include "render/texture_table.h"
#include "render/vertex_batch.h"
#include "render/view.h"
#include "room/layer.h"
#include "room/layer_manager.h"
#include "room/room.h"
#include "sprites/background_table.h"
#include "sprites/tilemap_draw.h"
#include "texture_chunks.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr int kTile = 16;
constexpr int kMap = 256;
constexpr int kTiles = 64; // 8 × 8 tile images on a 128 × 128 page

// A data file holding one tileset: 64 tiles of 16 × 16, each a different
// colour, one frame per tile.
std::vector<uint8_t> TilesetImage() {
    std::vector<uint32_t> rgba(128 * 128);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            rgba[y * 128 + x] = 0xFF000000u | static_cast<uint32_t>((x / kTile) * 32) |
                                static_cast<uint32_t>((y / kTile) * 32) << 8 |
                                static_cast<uint32_t>((x % kTile) * 16) << 16;
    uint8_t* png = nullptr;
    size_t length = 0;
    PNG_EncodeRGBA(rgba.data(), 128, 128, &png, &length);
    wad::TexturePagesFields pages;
    pages.pages = {wad::TexturePageFields{0, 0, std::vector<uint8_t>(png, png + length)}};
    ZQ_Free(png);
    wad::PageEntryFields whole;
    whole.width = whole.height = whole.cropWidth = whole.cropHeight = 128;
    whole.untrimmedWidth = whole.untrimmedHeight = 128;
    pages.entries = {whole};
    wad::GameDataWriter w;
    wad::HeaderFields header;
    header.editorMajor = 2;
    wad::WriteHeader(w, header);
    wad::WriteTexturePages(w, pages);
    wad::BackgroundFields t;
    t.name = "ts_bench";
    t.entryLabel = wad::PageEntryLabel("TPAG", 0);
    t.tileWidth = t.tileHeight = kTile;
    t.columns = 8;
    t.framesPerTile = 1;
    t.tileCount = kTiles;
    for (int i = 0; i < kTiles; ++i) t.tiles.push_back(static_cast<uint32_t>(i));
    wad::WriteBackgrounds(w, {t});
    return w.Build();
}

// The map, its layer and its room; the tileset loaded from `image`.
struct Scene {
    explicit Scene(std::vector<uint8_t>& image) {
        Header_Reset();
        ok = GetResolution(image.data(), image.size()) && LoadGameData(image.data(), image.size());
        layer = CLayerManager::AddLayer(&room, 0, nullptr);
        map = CLayerManager::GetNewTilemapElement();
        map->m_tileset = 0;
        map->m_width = map->m_height = kMap;
        map->m_pCells = ZQ_AllocArray<uint32_t>(kMap * kMap);
        uint32_t seed = 2101;
        for (int i = 0; i < kMap * kMap; ++i) {
            seed = seed * 1664525u + 1013904223u;
            // Tile 1 to 63 (a few empty cells), and the three turning bits.
            map->m_pCells[i] = (seed >> 8) % kTiles | (seed & 0x70000000u);
        }
        CLayerManager::AddNewElement(&room, layer, map, false);
    }
    ~Scene() {
        room.Clear();
        Background_Free();
    }

    // One frame's scroll: the layer drifts diagonally and wraps.
    void Scroll(int64_t frame) {
        layer->m_xoffset = -static_cast<float>(frame * 7 % 2000) * 0.5f;
        layer->m_yoffset = -static_cast<float>(frame * 3 % 1800) * 0.5f;
    }

    bool ok = false;
    CRoom room;
    CLayer* layer = nullptr;
    CLayerTilemapElement* map = nullptr;
};

void Report(benchmark::State& state, double totalMs, int64_t quads, int64_t batches) {
    const double frames = static_cast<double>(state.iterations());
    state.counters["quads_per_ms"] = static_cast<double>(quads) / totalMs;
    state.counters["quads_per_frame"] = static_cast<double>(quads) / frames;
    state.counters["draw_calls"] = static_cast<double>(batches) / frames;
}

void BM_TilemapOnLlvmpipe(benchmark::State& state) {
    setenv("EGL_PLATFORM", "surfaceless", 0);
    HeadlessGL gl(kWidth, kHeight);
    if (!gl.Ok()) {
        state.SkipWithError(gl.Error().c_str());
        return;
    }
    g_DeviceWidth = g_DisplayWidth = kWidth;
    g_DeviceHeight = g_DisplayHeight = kHeight;
    if (!GR_D3D_Init(nullptr, kWidth, kHeight, 0)) {
        state.SkipWithError("the device did not open");
        return;
    }
    double totalMs = 0;
    int64_t quads = 0, batches = 0;
    {
        std::vector<uint8_t> image = TilesetImage();
        Scene scene(image);
        if (!scene.ok) {
            state.SkipWithError("the tileset did not load");
            return;
        }
        tagZQRECT rect{0, 0, kWidth, kHeight};
        GR_D3D_Set_View_Port(0, 0, kWidth, kHeight);
        int64_t frame = 0;
        for (auto _ : state) {
            scene.Scroll(frame++);
            const auto start = std::chrono::steady_clock::now();
            GR_D3D_Start_Frame();
            GR_D3D_Set_View_Area(0, 0, kWidth, kHeight, 0);
            Graphics::Clear(0x202020, 1.0f, 0, eClear_Colour);
            const int before = g_TrianglesDrawn;
            DrawLayerTilemapElement(&rect, scene.layer, scene.map, 0, 0, 0);
            Graphics::Flush();
            quads += (g_TrianglesDrawn - before) / 6; // vertices of the triangle lists
            batches += g_numVertexBatches;
            GR_D3D_Finish_Frame(false);
            glFinish();
            totalMs +=
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        }
    }
    Report(state, totalMs, quads, batches);
    GR_D3D_End();
    GR_Texture_Init();
    g_GraphicsInitialised = false;
    g_pGLLayer = nullptr;
}
BENCHMARK(BM_TilemapOnLlvmpipe)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TilemapBatchSide(benchmark::State& state) {
    std::vector<uint8_t> image = TilesetImage();
    Scene scene(image);
    if (!scene.ok) {
        state.SkipWithError("the tileset did not load");
        return;
    }
    const NullDeviceScope device;
    g_States.Reset();
    g_States.Flush();
    tagZQRECT rect{0, 0, kWidth, kHeight};
    double totalMs = 0;
    int64_t quads = 0, batches = 0, frame = 0;
    for (auto _ : state) {
        scene.Scroll(frame++);
        const auto start = std::chrono::steady_clock::now();
        const int before = g_numVertexBatches;
        int written = 0;
        DrawLayerTilemapElement(&rect, scene.layer, scene.map, 0, 0, 0);
        written += g_CurrentVertexCount / 6;
        // Batches already flushed each held a whole run.
        written += (g_numVertexBatches - before) * (Graphics::GetMaxDynamicVertexCount() / 6);
        Graphics::Flush();
        batches += g_numVertexBatches - before;
        totalMs +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        quads += written;
    }
    Report(state, totalMs, quads, batches);
}
BENCHMARK(BM_TilemapBatchSide)->Unit(benchmark::kMicrosecond);

} // namespace
