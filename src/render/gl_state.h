// Translation of the state cache's render and sampler states into OpenGL:
// blending, depth, culling, colour mask and stencil become GL calls; fog,
// alpha test and lighting are recorded for the built-in shaders; sampler
// states are kept per stage for the texture binder.
#pragma once

#include <cstdint>

// Recorded render state, read when a batch is drawn.
extern bool g_AlphaTestEnable;
extern int32_t g_AlphaRef;
extern uint32_t g_SrcBlend, g_DestBlend;
extern bool g_FogState;
extern float g_FogCol[4];
extern float g_FogStart, g_FogEnd;
extern bool g_LightingEnable;
extern int32_t g_StencilFunc, g_StencilRef;
extern uint32_t g_StencilMask;
extern int32_t g_StencilFail, g_StencilZFail, g_StencilPass;

// Per-stage sampler settings (filters 0 point, 1 linear, 2 anisotropic; wrap
// 1 clamp, anything else repeat; the mip values are floats).
extern uint32_t g_TextureFilterMag[8], g_TextureFilterMin[8], g_TextureFilterMip[8];
extern uint32_t g_TextureWrapModeU[8], g_TextureWrapModeV[8], g_TextureMaxAniso[8];
extern float g_TextureMinMip[8], g_TextureMaxMip[8], g_TextureMipBias[8];

// The engine's codes as GL constants. Out-of-range codes give GL_ZERO,
// GL_ALWAYS and GL_KEEP; ConvertCull gives -1 for "no culling" and otherwise
// the front-face winding for the current render target.
uint32_t ConvertBlend(int code, int* fixed);
uint32_t ConvertComparison(int code);
uint32_t ConvertStencilOp(int code);
int32_t ConvertCull(int code);
float ConvertFogMode(int code);

namespace Graphics {
void SetRenderState(int state, uint32_t value);
void SetRenderStateEx(int state, uint32_t value);
// Stores sampler states 0-8 of stage 0-7, then re-applies the stage's
// settings to a texture bound there. Stages outside 0-7 are ignored.
void SetSamplerState(int stage, int state, uint32_t value);
void SetSamplerStateEx(int stage, int state, uint32_t value);
// The state stack is the cache's own; these have nothing to do here.
void PushRenderStates();
void PopRenderStates();
void ResetBlends();
} // namespace Graphics
