// A fake device layer that records every call as a line of text, so tests can
// say exactly what reached the device and in which order.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "render/gl_layer.h"

class RecordingGLLayer final : public GLLayer {
public:
    // Installs itself as the device layer with the window open; the previous
    // layer comes back when it goes.
    explicit RecordingGLLayer(int fboWidth = 640, int fboHeight = 360)
        : m_previous(g_pGLLayer), m_wasInitialised(g_GraphicsInitialised) {
        g_pGLLayer = this;
        g_GraphicsInitialised = true;
        g_CurrFBOWidth = fboWidth;
        g_CurrFBOHeight = fboHeight;
        g_WindowHeight = fboHeight;
        g_RenderTargetActive = 1;
    }
    ~RecordingGLLayer() override {
        g_pGLLayer = m_previous;
        g_GraphicsInitialised = m_wasInitialised;
    }

    void SetRenderState(int id, uint32_t value) override { Add("rs %d=%u", id, value); }
    void SetSamplerState(int stage, int id, uint32_t value) override { Add("ss %d.%d=%u", stage, id, value); }
    void DrawBatch() override { Add("batch"); }
    void DrawVertices(int primType, const void* vertices, int count, int vertexBytes) override {
        Add("draw %d x%d (%d bytes)", primType, count, vertexBytes);
        const char* bytes = static_cast<const char*>(vertices);
        lastVertices.assign(bytes, bytes + count * vertexBytes);
    }
    void SetViewPort(int x, int y, int w, int h) override { Add("viewport %d,%d %dx%d", x, y, w, h); }
    void EnableScissor(bool on) override { Add(on ? "scissor on" : "scissor off"); }
    void Clear(const float rgba[4], float depth, int stencil, int buffers) override {
        Add("clear %d rgba(%.3f,%.3f,%.3f,%.3f) depth %.2f stencil %d", buffers, rgba[0], rgba[1], rgba[2],
            rgba[3], depth, stencil);
    }
    void MatricesChanged(int which, const float (*)[16]) override { Add("matrix %d", which); }

    std::vector<std::string> calls;
    std::vector<char> lastVertices;

    // The calls recorded since the last Take, which empties the record.
    std::vector<std::string> Take() {
        std::vector<std::string> out;
        out.swap(calls);
        return out;
    }

private:
    __attribute__((format(printf, 2, 3))) void Add(const char* format, ...) {
        char line[160];
        va_list args;
        va_start(args, format);
        std::vsnprintf(line, sizeof line, format, args);
        va_end(args);
        calls.emplace_back(line);
    }

    GLLayer* m_previous;
    bool m_wasInitialised;
};
