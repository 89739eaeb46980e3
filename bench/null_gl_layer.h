// A device that takes the batch and draws nothing, so a figure measured over
// it is the CPU side alone.
#pragma once

#include <cstdint>

#include "render/gl_layer.h"

class NullLayer final : public GLLayer {
public:
    void SetRenderState(int, uint32_t) override {}
    void SetSamplerState(int, int, uint32_t) override {}
    void DrawBatch() override {}
    void DrawVertices(int, const void*, int, int) override {}
    void SetViewPort(int, int, int, int) override {}
    void EnableScissor(bool) override {}
    void Clear(const float*, float, int, int) override {}
    void MatricesChanged(int, const float (*)[16]) override {}
};

// The null device installed with the window open for the life of the scope;
// the previous device and window state come back when it ends.
class NullDeviceScope {
public:
    NullDeviceScope() : m_previous(g_pGLLayer), m_wasInitialised(g_GraphicsInitialised) {
        g_pGLLayer = &m_layer;
        g_GraphicsInitialised = true;
    }
    ~NullDeviceScope() {
        g_GraphicsInitialised = m_wasInitialised;
        g_pGLLayer = m_previous;
    }
    NullDeviceScope(const NullDeviceScope&) = delete;
    NullDeviceScope& operator=(const NullDeviceScope&) = delete;

private:
    NullLayer m_layer;
    GLLayer* m_previous;
    bool m_wasInitialised;
};
