// The named render settings: each translates its argument into states of the
// state cache with the cache's own setter rule, so nothing reaches the device
// before the next flush.
#include <cstring>

#include "render/colour.h"
#include "render/gl_layer.h"
#include "render/graphics_device.h"
#include "render/render_settings.h"
#include "render/render_state.h"
#include "render/texture.h"

namespace {

uint32_t FloatBits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

void SetBlendPair(uint32_t source, uint32_t dest) {
    g_States.SetRenderState(eRS_SrcBlend, source);
    g_States.SetRenderState(eRS_DestBlend, dest);
    g_States.SetRenderState(eRS_AlphaSrcBlend, source);
    g_States.SetRenderState(eRS_AlphaDestBlend, dest);
}

void SetStageFilter(int stage, bool linear) {
    g_States.SetSamplerState(stage, eSS_MagFilter, linear ? 1 : 0);
    g_States.SetSamplerState(stage, eSS_MinFilter, linear ? 1 : 0);
}

void SetStageRepeat(int stage, bool repeat) {
    g_States.SetSamplerState(stage, eSS_AddressU, repeat ? 0 : 1);
    g_States.SetSamplerState(stage, eSS_AddressV, repeat ? 0 : 1);
}

} // namespace

void GR_D3D_Set_Blend(int mode) {
    switch (mode) {
        case 1: SetBlendPair(5, 2); break;
        case 2: SetBlendPair(5, 4); break;
        case 3: SetBlendPair(1, 4); break;
        default: SetBlendPair(5, 6); break;
    }
}

void GR_D3D_Set_Blend_Ext(int source, int dest) {
    SetBlendPair(static_cast<uint32_t>(source), static_cast<uint32_t>(dest));
}

void GR_D3D_Set_Colour_Write_Enable(bool red, bool green, bool blue, bool alpha) {
    g_States.SetRenderState(eRS_ColourWriteMask,
                            (red ? 1u : 0u) | (green ? 2u : 0u) | (blue ? 4u : 0u) | (alpha ? 8u : 0u));
}

void GR_D3D_Set_Culling(bool on) {
    g_States.SetRenderState(eRS_CullMode, on ? 2 : 0);
}

void SetZBuffer(bool on) {
    set_zbuffer = on;
    g_States.SetRenderState(eRS_DepthTest, on && GR_3DMode ? 1 : 0);
}

void GR_D3D_Set_Lighting(bool on) {
    g_States.SetRenderState(eRS_Lighting, on ? 1 : 0);
}

void GR_D3D_Set_Shading(bool on) {
    g_States.SetRenderState(eRS_Shading, on ? 2 : 1);
}

void GR_D3D_Set_Perspective(bool on) {
    set_perspective = on;
}

void GR_D3D_Set_Z_Write_Enable(bool on) {
    g_States.SetRenderState(eRS_DepthWrite, on ? 1 : 0);
}

void GR_D3D_Set_Alpha_Test_Enable(bool on) {
    if (!g_GraphicsInitialised) return;
    g_States.SetRenderState(eRS_AlphaTest, on ? 1 : 0);
}

void GR_D3D_Set_Alpha_Test_Ref(uint32_t ref) {
    g_States.SetRenderState(eRS_AlphaRef, ref);
}

void GR_D3D_Set_Alpha_Test_Func(uint32_t func) {
    g_States.SetRenderState(eRS_AlphaFunc, func);
}

bool GR_D3D_Get_Alpha_Test_Enable() {
    return g_States.GetRenderState(eRS_AlphaTest) != 0;
}

uint32_t GR_D3D_Get_Alpha_Test_Ref() {
    return g_States.GetRenderState(eRS_AlphaRef);
}

uint32_t GR_D3D_Get_Alpha_Test_Func() {
    return g_States.GetRenderState(eRS_AlphaFunc);
}

void GR_D3D_Set_Fog(bool on, uint32_t colour, float start, float end) {
    set_fog = on;
    set_fog_color = GR_Color_To_D3DColor(colour, 255);
    set_fog_near = start;
    set_fog_far = end;
    const int type = Graphics::FogType();
    if (!on || (type != 1 && type != 2)) {
        set_fog = false;
        g_States.SetRenderState(eRS_FogEnable, 0);
        return;
    }
    g_States.SetRenderState(eRS_FogEnable, 1);
    if (type == 2) {
        g_States.SetRenderState(eRS_FogModeType2, 3);
        g_States.SetRenderState(eRS_FogFlagType2, 1);
    } else {
        g_States.SetRenderState(eRS_FogModeType1, 3);
    }
    g_States.SetRenderState(eRS_FogColour, set_fog_color);
    _SetFogDistances();
}

void _SetFogDistances() {
    g_States.SetRenderState(eRS_FogStart, FloatBits(set_fog_near));
    g_States.SetRenderState(eRS_FogEnd, FloatBits(set_fog_far));
}

void GR_D3D_Set_Texture_Interpolation(bool linear) {
    for (int stage = 0; stage < kTextureStages; ++stage) {
        set_texlinear[stage] = linear;
        SetStageFilter(stage, linear);
    }
}

void GR_D3D_Set_Texture_Interpolation_Ext(int stage, bool linear) {
    if (stage < 0 || stage >= kTextureStages) return;
    set_texlinear[stage] = linear;
    SetStageFilter(stage, linear);
}

void GR_D3D_Set_Texture_Repeat(bool repeat) {
    for (int stage = 0; stage < kTextureStages; ++stage) {
        set_texrepeat[stage] = repeat;
        SetStageRepeat(stage, repeat);
    }
}

void GR_D3D_Set_Texture_Repeat_Ext(int stage, bool repeat) {
    if (stage < 0 || stage >= kTextureStages) return;
    set_texrepeat[stage] = repeat;
    SetStageRepeat(stage, repeat);
}

bool GR_D3D_Get_Texture_Interpolation() {
    return set_texlinear[0];
}

bool GR_D3D_Get_Texture_Repeat() {
    return set_texrepeat[0];
}

bool GR_D3D_Get_Texture_Interpolation_Ext(int stage) {
    return stage < 0 || stage >= kTextureStages ? true : set_texlinear[stage];
}

bool GR_D3D_Get_Texture_Repeat_Ext(int stage) {
    return stage < 0 || stage >= kTextureStages ? false : set_texrepeat[stage];
}

void GR_D3D_Set_Texture_Blending(bool on) {
    Graphics::Flush();
    Graphics::SetTextureBlending(on);
}
