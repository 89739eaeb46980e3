// Render-state translation to OpenGL. Every blend and stencil call re-sends
// its whole group (both factors, all three operations, function with
// reference and mask), so a change of one member never leaves GL holding a
// stale partner.
#include "render/gl_state.h"

#include <cstring>

#include "render/gl_api.h"
#include "render/gl_layer.h"
#include "render/render_state.h"
#include "render/texture.h"

bool g_AlphaTestEnable = false;
int32_t g_AlphaRef = 128;
uint32_t g_SrcBlend = 0, g_DestBlend = 0;
bool g_FogState = false;
float g_FogCol[4] = {0.0f, 0.0f, 0.0f, 0.0f};
float g_FogStart = 0.0f, g_FogEnd = 0.1f;
bool g_LightingEnable = false;
int32_t g_StencilFunc = 8, g_StencilRef = 0;
uint32_t g_StencilMask = 0xFFFFFFFFu;
int32_t g_StencilFail = 1, g_StencilZFail = 1, g_StencilPass = 1;

uint32_t g_TextureFilterMag[8] = {1, 1, 1, 1, 1, 1, 1, 1};
uint32_t g_TextureFilterMin[8] = {1, 1, 1, 1, 1, 1, 1, 1};
uint32_t g_TextureFilterMip[8] = {1, 1, 1, 1, 1, 1, 1, 1};
uint32_t g_TextureWrapModeU[8] = {1, 1, 1, 1, 1, 1, 1, 1};
uint32_t g_TextureWrapModeV[8] = {1, 1, 1, 1, 1, 1, 1, 1};
uint32_t g_TextureMaxAniso[8] = {1, 1, 1, 1, 1, 1, 1, 1};
float g_TextureMinMip[8] = {};
float g_TextureMaxMip[8] = {16.0f, 16.0f, 16.0f, 16.0f, 16.0f, 16.0f, 16.0f, 16.0f};
float g_TextureMipBias[8] = {};

namespace {

float BitsToFloat(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

void SendBlend() {
    glBlendFunc(g_SrcBlend, g_DestBlend);
}

void SendStencilOps() {
    glStencilOp(ConvertStencilOp(g_StencilFail), ConvertStencilOp(g_StencilZFail),
                ConvertStencilOp(g_StencilPass));
}

void SendStencilFunc() {
    glStencilFunc(ConvertComparison(g_StencilFunc), g_StencilRef, g_StencilMask);
}

void Toggle(GLenum cap, uint32_t value) {
    if (value != 0)
        glEnable(cap);
    else
        glDisable(cap);
}

} // namespace

uint32_t ConvertBlend(int code, int* fixed) {
    static const uint32_t kFactors[12] = {GL_ZERO,
                                          GL_ZERO,
                                          GL_ONE,
                                          GL_SRC_COLOR,
                                          GL_ONE_MINUS_SRC_COLOR,
                                          GL_SRC_ALPHA,
                                          GL_ONE_MINUS_SRC_ALPHA,
                                          GL_DST_ALPHA,
                                          GL_ONE_MINUS_DST_ALPHA,
                                          GL_DST_COLOR,
                                          GL_ONE_MINUS_DST_COLOR,
                                          GL_SRC_ALPHA_SATURATE};
    if (fixed != nullptr) *fixed = -1;
    return code >= 1 && code <= 11 ? kFactors[code] : GL_ZERO;
}

uint32_t ConvertComparison(int code) {
    return code >= 1 && code <= 7 ? GL_NEVER - 1 + static_cast<uint32_t>(code) : GL_ALWAYS;
}

uint32_t ConvertStencilOp(int code) {
    switch (code) {
        case 2: return GL_ZERO;
        case 3: return GL_REPLACE;
        case 4:
        case 7: return GL_INCR;
        case 5:
        case 8: return GL_DECR;
        case 6: return GL_INVERT;
        default: return GL_KEEP;
    }
}

int32_t ConvertCull(int code) {
    // A surface is drawn upside down relative to the window, so the winding
    // that faces the viewer flips with the target.
    const bool window = g_RenderTargetActive == 1;
    if (code == 1) return window ? GL_CCW : GL_CW;
    if (code == 2) return window ? GL_CW : GL_CCW;
    return -1;
}

float ConvertFogMode(int code) {
    return code == 0 ? 0.0f : static_cast<float>(GL_LINEAR);
}

void Graphics::SetRenderState(int state, uint32_t value) {
    const bool on = value != 0;
    switch (state) {
        case eRS_DepthTest: Toggle(GL_DEPTH_TEST, value); break;
        case eRS_DepthWrite: glDepthMask(on ? GL_TRUE : GL_FALSE); break;
        case eRS_AlphaTest: g_AlphaTestEnable = on; break;
        case eRS_SrcBlend:
            g_SrcBlend = ConvertBlend(static_cast<int>(value), nullptr);
            SendBlend();
            break;
        case eRS_DestBlend:
            g_DestBlend = ConvertBlend(static_cast<int>(value), nullptr);
            SendBlend();
            break;
        case eRS_CullMode: {
            g_CullMode = value;
            const int32_t winding = ConvertCull(static_cast<int>(value));
            if (winding >= 0) {
                glEnable(GL_CULL_FACE);
                glFrontFace(static_cast<GLenum>(winding));
            } else {
                glDisable(GL_CULL_FACE);
            }
            break;
        }
        case eRS_DepthFunc: glDepthFunc(ConvertComparison(static_cast<int>(value))); break;
        case eRS_AlphaRef: g_AlphaRef = static_cast<int32_t>(value); break;
        case eRS_BlendEnable: Toggle(GL_BLEND, value); break;
        case eRS_FogEnable: g_FogState = on; break;
        case eRS_FogColour: {
            const float scale = BitsToFloat(0x3B808081u); // 1/255 in single precision
            g_FogCol[0] = static_cast<float>(value & 0xFF) * scale;
            g_FogCol[1] = static_cast<float>((value >> 8) & 0xFF) * scale;
            g_FogCol[2] = static_cast<float>((value >> 16) & 0xFF) * scale;
            g_FogCol[3] = 1.0f;
            break;
        }
        case eRS_FogStart: g_FogStart = BitsToFloat(value); break;
        case eRS_FogEnd: g_FogEnd = BitsToFloat(value); break;
        case eRS_Lighting: g_LightingEnable = on; break;
        case eRS_ColourWriteMask:
            glColorMask((value & 1) != 0, (value & 2) != 0, (value & 4) != 0, (value & 8) != 0);
            break;
        case eRS_StencilEnable: Toggle(GL_STENCIL_TEST, value); break;
        case eRS_StencilFail:
            g_StencilFail = static_cast<int32_t>(value);
            SendStencilOps();
            break;
        case eRS_StencilDepthFail:
            g_StencilZFail = static_cast<int32_t>(value);
            SendStencilOps();
            break;
        case eRS_StencilPass:
            g_StencilPass = static_cast<int32_t>(value);
            SendStencilOps();
            break;
        case eRS_StencilFunc:
            g_StencilFunc = static_cast<int32_t>(value);
            SendStencilFunc();
            break;
        case eRS_StencilRef:
            g_StencilRef = static_cast<int32_t>(value);
            SendStencilFunc();
            break;
        case eRS_StencilReadMask:
            g_StencilMask = value;
            SendStencilFunc();
            break;
        case eRS_StencilWriteMask: glStencilMask(value); break;
        default: break; // separate alpha blending, alpha function and the spare ids
    }
}

void Graphics::SetRenderStateEx(int state, uint32_t value) {
    SetRenderState(state, value);
}

void Graphics::SetSamplerState(int stage, int state, uint32_t value) {
    if (stage < 0 || stage >= 8) return;
    switch (state) {
        case eSS_MagFilter: g_TextureFilterMag[stage] = value; break;
        case eSS_MinFilter: g_TextureFilterMin[stage] = value; break;
        case eSS_AddressU: g_TextureWrapModeU[stage] = value; break;
        case eSS_AddressV: g_TextureWrapModeV[stage] = value; break;
        case eSS_MipFilter: g_TextureFilterMip[stage] = value; break;
        case eSS_MinMip: g_TextureMinMip[stage] = BitsToFloat(value); break;
        case eSS_MaxMip: g_TextureMaxMip[stage] = BitsToFloat(value); break;
        case eSS_MipBias: g_TextureMipBias[stage] = BitsToFloat(value); break;
        case eSS_MaxAniso: g_TextureMaxAniso[stage] = value; break;
        default: break; // mip enable is read from the cache at bind time
    }
    UpdateCurrentTextureSettings(stage);
}

void Graphics::SetSamplerStateEx(int, int, uint32_t) {}
void Graphics::PushRenderStates() {}
void Graphics::PopRenderStates() {}
void Graphics::ResetBlends() {}
