// A 2,000-glyph block of text (40 lines of 50 characters) a frame from one
// font page, batch side only: a counting device layer stands in for GL, so
// the figures are the layout and vertex work and the draw calls it asks for.
// Fonts: the embedded page font, and a FreeType font whose glyphs are all in
// its cache after the first frame. The peer writes the same 2,000 quads
// straight into the batch. Counters: glyphs a frame, draw calls a frame
// (one: the whole block is one batch on the font's texture), glyphs a second.
#include <benchmark/benchmark.h>

#include <string>

#include "core/header_globals.h"
#include "render/gl_layer.h"
#include "render/texture.h"
#include "render/texture_table.h"
#include "render/vertex_batch.h"
#include "sprites/font.h"
#include "sprites/font_table.h"
#include "sprites/text.h"

namespace {

constexpr int kColumns = 50, kLines = 40, kGlyphs = kColumns * kLines;

class CountingLayer final : public GLLayer {
public:
    CountingLayer() {
        g_pGLLayer = this;
        g_GraphicsInitialised = true;
    }
    ~CountingLayer() override {
        Batch_Empty();
        g_pGLLayer = nullptr;
        g_GraphicsInitialised = false;
    }
    void DrawBatch() override {
        if (g_CurrentVertexCount > 0) ++draws;
        Batch_Empty();
    }
    void SetRenderState(int, uint32_t) override {}
    void SetSamplerState(int, int, uint32_t) override {}
    void DrawVertices(int, const void*, int, int) override {}
    void SetViewPort(int, int, int, int) override {}
    void EnableScissor(bool) override {}
    void Clear(const float*, float, int, int) override {}
    void MatricesChanged(int, const float (*)[16]) override {}
    long draws = 0;
};

std::string Block() {
    std::string text;
    for (int line = 0; line < kLines; ++line) {
        for (int c = 0; c < kColumns; ++c) text += static_cast<char>('!' + (line * 7 + c) % 94);
        text += '\n';
    }
    return text;
}

void Run(benchmark::State& state, int font) {
    CountingLayer layer;
    const std::string text = Block();
    GR_Text_Set_Font(font);
    long frames = 0;
    for (auto _ : state) {
        GR_Text_Draw(0, 0, text.c_str(), 12, -1);
        Graphics::Flush();
        ++frames;
    }
    state.counters["glyphs/frame"] = kGlyphs;
    state.counters["draws/frame"] = static_cast<double>(layer.draws) / static_cast<double>(frames);
    state.counters["glyphs/s"] = benchmark::Counter(
        static_cast<double>(kGlyphs) * static_cast<double>(frames), benchmark::Counter::kIsRate);
}

void BM_TextBlockPageFont(benchmark::State& state) {
    g_isNimbar = true;
    Run(state, -1); // the embedded font: one texture-page image
    Text_Reset();
    TextureTable_Reset();
}
BENCHMARK(BM_TextBlockPageFont)->Unit(benchmark::kMicrosecond);

void BM_TextBlockFreeTypeFont(benchmark::State& state) {
    const int font =
        Font_Add("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", 10, false, false, 32, 127);
    Run(state, font);
    Text_Reset();
    Font_Reset();
    TextureTable_Reset();
}
BENCHMARK(BM_TextBlockFreeTypeFont)->Unit(benchmark::kMicrosecond);

// The peer: 2,000 quads of the same size written by hand into the batch.
struct V24 {
    float x, y, z;
    uint32_t colour;
    float u, v;
};

void BM_RawGlyphQuads(benchmark::State& state) {
    CountingLayer layer;
    Texture texture;
    for (auto _ : state) {
        for (int i = 0; i < kGlyphs; ++i) {
            auto* v = static_cast<V24*>(Graphics::AllocVerts(4, &texture, eVF_PosColourTex, 6));
            const float x = static_cast<float>(i % kColumns) * 9.0f,
                        y = static_cast<float>(i / kColumns) * 12.0f;
            v[0] = {x, y, 0, 0xFFFFFFFF, 0, 0};
            v[1] = {x + 8, y, 0, 0xFFFFFFFF, 1, 0};
            v[2] = {x + 8, y + 12, 0, 0xFFFFFFFF, 1, 1};
            v[3] = v[2];
            v[4] = {x, y + 12, 0, 0xFFFFFFFF, 0, 1};
            v[5] = v[0];
        }
        Graphics::Flush();
    }
    state.counters["glyphs/frame"] = kGlyphs;
    state.counters["glyphs/s"] = benchmark::Counter(
        static_cast<double>(kGlyphs) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RawGlyphQuads)->Unit(benchmark::kMicrosecond);

} // namespace
