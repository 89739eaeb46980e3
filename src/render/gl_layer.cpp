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
#include "render/shader.h"
#include "render/vertex_batch.h"

void Graphics::Flush() {
    if (g_pGLLayer == nullptr) return;
    // The joining vertices are written before the device reads the batch, so
    // the batch is complete for any layer that draws or records it.
    if (g_LastBatchStart > 0) JoinToPreviousStrip();
    g_pGLLayer->DrawBatch();
    if (g_LastPrimType != -1) ++g_numVertexBatches;
    Batch_Empty();
    g_States.Flush();
    Shader_Commit();
}
