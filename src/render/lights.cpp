// Fixed lights. The counts by kind are refreshed only by Enable, so they
// describe the kinds the lights had when a light was last switched.
#include "render/lights.h"

#include <cstring>

#include "render/texture.h"
#include "render/vertex_batch.h"

float g_LightAmbient[4] = {0, 0, 0, 1};
float g_LightColour[8][4] = {{1, 0, 0, 0}};
float g_LightPos[8][4] = {};
float g_LightRange[8] = {};
int32_t g_LightTypes[8] = {};
uint32_t g_LightFlags = 0;
int32_t g_HighestUsedLight = 0;
int32_t g_NumUsedDirectionalLights = 0;
int32_t g_NumUsedPointLights = 0;

namespace {

void ToColour(uint32_t colour, float out[4]) {
    const uint32_t bits = 0x3B808081u; // 1/255 in single precision
    float scale;
    std::memcpy(&scale, &bits, sizeof scale);
    out[0] = static_cast<float>(colour & 0xFF) * scale;
    out[1] = static_cast<float>((colour >> 8) & 0xFF) * scale;
    out[2] = static_cast<float>((colour >> 16) & 0xFF) * scale;
    out[3] = 1.0f;
}

} // namespace

void GR_3D_Set_Ambient(uint32_t colour) {
    ToColour(colour, g_LightAmbient);
}

void GR_3D_Light_Define_Direction(int index, float dx, float dy, float dz, uint32_t colour) {
    const int i = index & 7;
    ToColour(colour, g_LightColour[i]);
    if (g_UsingGL2 != 1) return;
    g_LightPos[i][0] = dx;
    g_LightPos[i][1] = dy;
    g_LightPos[i][2] = dz;
    g_LightPos[i][3] = 0.0f;
    g_LightRange[i] = 1000000.0f;
    g_LightTypes[i] = 0;
}

void GR_3D_Light_Define_Point(int index, float x, float y, float z, float range, uint32_t colour) {
    const int i = index & 7;
    ToColour(colour, g_LightColour[i]);
    g_LightPos[i][0] = x;
    g_LightPos[i][1] = y;
    g_LightPos[i][2] = z;
    g_LightPos[i][3] = 1.0f;
    g_LightRange[i] = range > 0.0f ? range : 0.001f;
    if (g_UsingGL2 == 1) g_LightTypes[i] = 1;
}

void GR_3D_Light_Enable(int index, bool enable) {
    if (g_UsingGL2 != 1) return;
    const uint32_t bit = 1u << (index & 7);
    g_LightFlags = enable ? (g_LightFlags | bit) : (g_LightFlags & ~bit);
    g_HighestUsedLight = 0;
    g_NumUsedDirectionalLights = 0;
    g_NumUsedPointLights = 0;
    for (int i = 0; i < 8; ++i) {
        if ((g_LightFlags & (1u << i)) == 0) continue;
        g_HighestUsedLight = i;
        if (g_LightTypes[i] == 0) ++g_NumUsedDirectionalLights;
        if (g_LightTypes[i] == 1) ++g_NumUsedPointLights;
    }
    g_MaxUsedLights =
        g_NumUsedDirectionalLights > g_NumUsedPointLights ? g_NumUsedDirectionalLights : g_NumUsedPointLights;
}

void GR_3D_Light_Set_Ambient() {}
void GR_3D_Light_Update(int) {}
void GR_3D_Light_Process() {}
void GR_D3D_Lights_Resume() {}
