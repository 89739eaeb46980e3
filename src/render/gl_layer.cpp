// The device layer's globals.
#include "render/gl_layer.h"

GLLayer* g_pGLLayer = nullptr;
bool g_GraphicsInitialised = false;
int32_t g_RenderTargetActive = 1;
int32_t g_CurrFBOWidth = 0;
int32_t g_CurrFBOHeight = 0;
uint32_t g_CullMode = 0;
int32_t g_WindowHeight = 0;

#include "render/render_state.h"

void Graphics::Flush() {
    if (g_pGLLayer == nullptr) return;
    g_pGLLayer->DrawBatch();
    g_States.Flush();
}
