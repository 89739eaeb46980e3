// A device layer for the sprite drawing tests: it installs itself with the
// window open and keeps, for every flushed batch, its vertices and the
// texture of each; the previous layer comes back when it goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/gl_layer.h"
#include "render/vertex_batch.h"

// The vertex of the sprite batch: position, colour and texture coordinates.
struct V24 {
    float x, y, z;
    uint32_t colour;
    float u, v;
};

class BatchCapture final : public GLLayer {
public:
    BatchCapture() : m_previous(g_pGLLayer), m_wasInitialised(g_GraphicsInitialised) {
        g_pGLLayer = this;
        g_GraphicsInitialised = true;
    }
    ~BatchCapture() override {
        Batch_Empty();
        g_pGLLayer = m_previous;
        g_GraphicsInitialised = m_wasInitialised;
    }
    BatchCapture(const BatchCapture&) = delete;
    BatchCapture& operator=(const BatchCapture&) = delete;

    void DrawBatch() override {
        if (g_LastPrimType == -1 || g_CurrentVertexCount == 0) return;
        ++batches;
        const auto* v = reinterpret_cast<const V24*>(Batch_Vertices());
        vertices.insert(vertices.end(), v, v + g_CurrentVertexCount);
        textures.insert(textures.end(), static_cast<size_t>(g_CurrentVertexCount), g_pLastTexture);
    }
    void SetRenderState(int, uint32_t) override {}
    void SetSamplerState(int, int, uint32_t) override {}
    void DrawVertices(int, const void*, int, int) override {}
    void SetViewPort(int, int, int, int) override {}
    void EnableScissor(bool) override {}
    void Clear(const float*, float, int, int) override {}
    void MatricesChanged(int, const float (*)[16]) override {}

    // Flushes the batch and hands over the vertices kept since the last call.
    std::vector<V24> Drawn() {
        Graphics::Flush();
        std::vector<V24> out;
        out.swap(vertices);
        return out;
    }

    int batches = 0;
    std::vector<V24> vertices;
    std::vector<Texture*> textures;

private:
    GLLayer* m_previous;
    bool m_wasInitialised;
};
