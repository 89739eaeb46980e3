// The seam between the renderer's CPU side and OpenGL. The state cache, the
// matrices and the clears call this thin interface; the OpenGL translation
// sits behind it, and tests put a recording fake in its place.
#pragma once

#include <cstdint>

class GLLayer {
public:
    virtual ~GLLayer() = default;

    // One cached render state (ids 0-35) or sampler state (stage 0-7, id 0-9)
    // handed to the device; the numbering is the state cache's.
    virtual void SetRenderState(int id, uint32_t value) = 0;
    virtual void SetSamplerState(int stage, int id, uint32_t value) = 0;
    // Draws and empties the pending vertex batch (the state cache is flushed
    // by the caller afterwards).
    virtual void DrawBatch() = 0;
    // Draws `count` vertices of `vertexBytes` bytes each at once, untextured
    // (primitive kinds as ePrimType: 5 triangle strip).
    virtual void DrawVertices(int primType, const void* vertices, int count, int vertexBytes) = 0;
    // The device viewport and scissor box, in the target's own coordinates
    // (origin bottom left for the window).
    virtual void SetViewPort(int x, int y, int w, int h) = 0;
    virtual void EnableScissor(bool on) = 0;
    // Clears the buffers of `buffers` (bit 0 colour, bit 1 depth and stencil).
    virtual void Clear(const float rgba[4], float depth, int stencil, int buffers) = 0;
    // Matrix `which` (eMatrix) was set; `matrices` holds all five. The device
    // re-runs its lights (view or world), uploads to an active user shader.
    virtual void MatricesChanged(int which, const float (*matrices)[16]) = 0;
};

// The device layer in use; null until the window's context exists.
extern GLLayer* g_pGLLayer;
// Set once the window is open; device-level operations before it do nothing.
extern bool g_GraphicsInitialised;
// 1 while drawing goes to the window, -1 while a surface is the target.
extern int32_t g_RenderTargetActive;
// Size of the framebuffer currently bound.
extern int32_t g_CurrFBOWidth;
extern int32_t g_CurrFBOHeight;
// The cull mode last applied to the device (render state 8).
extern uint32_t g_CullMode;
// The drawable height of the window in device pixels.
extern int32_t g_WindowHeight;

// True when device-level work can be done: the window is open and a layer exists.
inline bool Graphics_Ready() {
    return g_GraphicsInitialised && g_pGLLayer != nullptr;
}

namespace Graphics {
// Draws the pending batch, then sends the state cache's changes. Does nothing
// without a device layer.
void Flush();
} // namespace Graphics
