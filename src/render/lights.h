// The eight fixed lights and the ambient colour: the state the lit built-in
// shader variants read when a lit batch is drawn. Indices are taken & 7.
#pragma once

#include <cstdint>

extern float g_LightAmbient[4];
extern float g_LightColour[8][4];
extern float g_LightPos[8][4];
extern float g_LightRange[8];
extern int32_t g_LightTypes[8];
extern uint32_t g_LightFlags;
extern int32_t g_HighestUsedLight;
extern int32_t g_NumUsedDirectionalLights;
extern int32_t g_NumUsedPointLights;
// The larger of the two counts (declared with the batch, which reads it).
extern int32_t g_MaxUsedLights;

void GR_3D_Set_Ambient(uint32_t colour);
void GR_3D_Light_Define_Direction(int index, float dx, float dy, float dz, uint32_t colour);
void GR_3D_Light_Define_Point(int index, float x, float y, float z, float range, uint32_t colour);
// Switches a light and recounts the enabled lights by kind.
void GR_3D_Light_Enable(int index, bool enable);
void GR_3D_Light_Set_Ambient();
void GR_3D_Light_Update(int);
void GR_3D_Light_Process();
void GR_D3D_Lights_Resume();
