// 10,000 textured, tinted quads from one texture per frame through the
// single batch: the batch side alone (appending and flushing with a device
// that draws nothing) against the whole frame drawn on llvmpipe. The
// "draw_calls" counter is the batches drawn per frame: one per texture or
// state change, plus one each time the 16,384-vertex store fills.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include "core/memory_manager.h"
#include "headless_gl.h"
#include "null_gl_layer.h"
#include "render/gl_api.h"
#include "render/gl_layer.h"
#include "render/graphics_device.h"
#include "render/read_back.h"
#include "render/render_state.h"
#include "render/surface.h"
#include "render/texture.h"
#include "render/texture_table.h"
#include "render/vertex_batch.h"

namespace {

constexpr int kQuads = 10000;
constexpr int kSize = 256;

struct V24 {
    float x, y, z;
    uint32_t colour;
    float u, v;
};

void AppendQuads(Texture* texture) {
    for (int i = 0; i < kQuads; ++i) {
        auto* v = static_cast<V24*>(Graphics::AllocVerts(4, texture, eVF_PosColourTex, 6));
        const float x = static_cast<float>(i % 100) * 2.5f, y = static_cast<float>(i / 100) * 2.5f;
        const uint32_t tint = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u & 0xFFFFFF);
        v[0] = {x, y, 0, tint, 0, 0};
        v[1] = {x + 8, y, 0, tint, 1, 0};
        v[2] = {x, y + 8, 0, tint, 0, 1};
        v[3] = v[1];
        v[4] = {x + 8, y + 8, 0, tint, 1, 1};
        v[5] = v[2];
    }
}

void BM_TintedQuadsBatchSide(benchmark::State& state) {
    NullLayer layer;
    GLLayer* previous = g_pGLLayer;
    g_pGLLayer = &layer;
    g_States.Reset();
    g_States.Flush();
    Texture* texture = reinterpret_cast<Texture*>(0x1000); // never dereferenced by the null device
    int64_t batches = 0;
    for (auto _ : state) {
        const int before = g_numVertexBatches;
        AppendQuads(texture);
        Graphics::Flush();
        batches += g_numVertexBatches - before;
    }
    state.counters["draw_calls"] = benchmark::Counter(static_cast<double>(batches) / state.iterations());
    state.counters["quads"] = kQuads;
    g_pGLLayer = previous;
}
BENCHMARK(BM_TintedQuadsBatchSide)->Unit(benchmark::kMicrosecond);

void BM_TintedQuadsFrameOnLlvmpipe(benchmark::State& state) {
    setenv("EGL_PLATFORM", "surfaceless", 0);
    HeadlessGL gl(kSize, kSize);
    if (!gl.Ok()) {
        state.SkipWithError(gl.Error().c_str());
        return;
    }
    g_DeviceWidth = g_DeviceHeight = g_DisplayWidth = g_DisplayHeight = kSize;
    if (!GR_D3D_Init(nullptr, kSize, kSize, 0)) {
        state.SkipWithError("the device did not open");
        return;
    }
    uint32_t pixels[16 * 16];
    for (uint32_t& p : pixels) p = 0xFFFFFFFF;
    Texture* texture =
        Graphics::CreateTextureFromData(reinterpret_cast<uint8_t*>(pixels), 16, 16, nullptr, 6);
    int64_t batches = 0;
    for (auto _ : state) {
        GR_D3D_Start_Frame();
        AppendQuads(texture);
        GR_D3D_Finish_Frame(true);
        glFinish();
        batches += g_numVertexBatches; // the frame's begin set it to 0
    }
    state.counters["draw_calls"] = benchmark::Counter(static_cast<double>(batches) / state.iterations());
    state.counters["quads"] = kQuads;
    Graphics::FreeTexture(texture);
    GR_D3D_End();
    g_GraphicsInitialised = false;
    g_pGLLayer = nullptr;
}
BENCHMARK(BM_TintedQuadsFrameOnLlvmpipe)->Unit(benchmark::kMillisecond);

// Sampling 100 pixels of a surface, as the game takes its picture apart:
// 100 synchronous 1 × 1 GL reads against one block read of the same
// pixels, and the surface pixel read the built-in uses, whose second read of
// an unchanged surface reads it whole once and serves the rest from memory.
// Each iteration first marks the frame buffers changed, so every iteration
// starts cold. The argument is the surface's side (10: the game's picture).
class SurfaceReads {
public:
    explicit SurfaceReads(benchmark::State& state) {
        setenv("EGL_PLATFORM", "surfaceless", 0);
        if (!gl.Ok()) {
            state.SkipWithError(gl.Error().c_str());
            return;
        }
        g_DeviceWidth = g_DeviceHeight = g_DisplayWidth = g_DisplayHeight = kSize;
        if (!GR_D3D_Init(nullptr, kSize, kSize, 0)) {
            state.SkipWithError("the device did not open");
            return;
        }
        side = static_cast<int>(state.range(0));
        surface = GR_Surface_Create(side, side, -1);
        texture = GR_Texture_Get_Surface(GR_Surface_Get_Texture(surface));
        ok = texture != nullptr;
        if (!ok) state.SkipWithError("no surface");
    }
    ~SurfaceReads() {
        GR_Surface_FreeAll();
        GR_D3D_End();
        GR_Texture_Init();
        g_GraphicsInitialised = false;
        g_pGLLayer = nullptr;
    }
    SurfaceReads(const SurfaceReads&) = delete;
    SurfaceReads& operator=(const SurfaceReads&) = delete;

    HeadlessGL gl{kSize, kSize};
    int side = 0;
    int surface = -1;
    Texture* texture = nullptr;
    bool ok = false;
};

void BM_Surface100SingleReads(benchmark::State& state) {
    SurfaceReads s(state);
    if (!s.ok) return;
    uint64_t sum = 0;
    for (auto _ : state) {
        FrameBuffer_MayChange();
        for (int i = 0; i < 100; ++i) {
            uint32_t* p = Graphics::Surface_GrabRect(s.texture, i % 10, i / 10, 1, 1);
            sum += p[0];
            ZQ_Free(p);
        }
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_Surface100SingleReads)->Arg(10)->Arg(256)->Unit(benchmark::kMicrosecond);

void BM_SurfaceOneBlockRead(benchmark::State& state) {
    SurfaceReads s(state);
    if (!s.ok) return;
    uint64_t sum = 0;
    for (auto _ : state) {
        FrameBuffer_MayChange();
        uint32_t* p = Graphics::Surface_GrabRect(s.texture, 0, 0, 10, 10);
        for (int i = 0; i < 100; ++i) sum += p[i];
        ZQ_Free(p);
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_SurfaceOneBlockRead)->Arg(10)->Arg(256)->Unit(benchmark::kMicrosecond);

void BM_Surface100GetPixel(benchmark::State& state) {
    SurfaceReads s(state);
    if (!s.ok) return;
    uint64_t sum = 0;
    for (auto _ : state) {
        FrameBuffer_MayChange();
        for (int i = 0; i < 100; ++i) {
            uint32_t pixel = 0;
            GR_Surface_GetPixel(s.surface, i % 10, i / 10, &pixel);
            sum += pixel;
        }
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_Surface100GetPixel)->Arg(10)->Arg(256)->Unit(benchmark::kMicrosecond);

} // namespace
