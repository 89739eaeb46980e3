// 10,000 page-entry images a frame through the single batch, batch side only
// (no device: flushes draw nothing): the general page-entry form unturned and
// turned, against its peer, the same quads written straight into the batch.
// The figure is the time per frame; per image it is that over 10,000.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "render/page_entry.h"
#include "render/texture.h"
#include "render/texture_draw.h"
#include "render/texture_table.h"
#include "render/vertex_batch.h"

namespace {

constexpr int kImages = 10000;

struct V24 {
    float x, y, z;
    uint32_t colour;
    float u, v;
};

struct Page {
    Page() {
        id = GR_Texture_Add(&texture, 256, 256);
        entry = {16, 16, 30, 28, 1, 2, 30, 28, 32, 32, static_cast<int16_t>(id)};
    }
    ~Page() { GR_Texture_Init(); }
    Texture texture;
    int id;
    ZQTPageEntry entry;
};

void BM_PageEntryDraw(benchmark::State& state) {
    Page page;
    const float angle = static_cast<float>(state.range(0)) * 0.5f;
    for (auto _ : state) {
        for (int i = 0; i < kImages; ++i)
            GR_Texture_Draw(&page.entry, 16, 16, static_cast<float>(i % 100) * 6.0f,
                            static_cast<float>(i / 100) * 6.0f, 1.0f, 1.0f, angle, 0xFFFFFF, 1.0f);
        Batch_Empty();
    }
    state.counters["images"] = kImages;
}
BENCHMARK(BM_PageEntryDraw)->Arg(0)->Arg(1)->ArgName("turned")->Unit(benchmark::kMicrosecond);

// The peer: the same number of quads written by hand.
void BM_RawQuads(benchmark::State& state) {
    Page page;
    for (auto _ : state) {
        for (int i = 0; i < kImages; ++i) {
            auto* v = static_cast<V24*>(Graphics::AllocVerts(4, &page.texture, eVF_PosColourTex, 6));
            const float x = static_cast<float>(i % 100) * 6.0f, y = static_cast<float>(i / 100) * 6.0f;
            v[0] = {x, y, 0, 0xFFFFFFFF, 0, 0};
            v[1] = {x + 30, y, 0, 0xFFFFFFFF, 1, 0};
            v[2] = {x + 30, y + 28, 0, 0xFFFFFFFF, 1, 1};
            v[3] = v[2];
            v[4] = {x, y + 28, 0, 0xFFFFFFFF, 0, 1};
            v[5] = v[0];
        }
        Batch_Empty();
    }
    state.counters["images"] = kImages;
}
BENCHMARK(BM_RawQuads)->Unit(benchmark::kMicrosecond);

} // namespace
