// The renderer's recorded settings: the values that outlive a reset of the
// state cache so that they can be re-applied, and the 3D-mode flag the view
// code reads. The state cache's Reset installs their start values.
#pragma once

#include <cstdint>

inline constexpr int kTextureStages = 8;

// The depth buffer is wanted (depth testing only while 3D mode is on too).
extern bool set_zbuffer;
// The view area uses a perspective projection in 3D mode.
extern bool set_perspective;
// Linear filtering and repeat addressing per texture stage.
extern bool set_texlinear[kTextureStages];
extern bool set_texrepeat[kTextureStages];
extern bool set_fog;
extern uint32_t set_fog_color;
extern float set_fog_near;
extern float set_fog_far;

// 3D mode on or off (false at start).
extern bool GR_3DMode;

// Puts the recorded settings back to their start values.
void RenderSettings_Reset();

// The named settings: each writes its render or sampler states into the state
// cache (sent at the next flush) and records what must survive a cache reset.
// Blend modes: 0 normal (and any unknown mode), 1 add, 2 max, 3 subtract.
void GR_D3D_Set_Blend(int mode);
void GR_D3D_Set_Blend_Ext(int source, int dest);
void GR_D3D_Set_Colour_Write_Enable(bool red, bool green, bool blue, bool alpha);
void GR_D3D_Set_Culling(bool on);
void SetZBuffer(bool on);
void GR_D3D_Set_Lighting(bool on);
void GR_D3D_Set_Shading(bool on);
void GR_D3D_Set_Perspective(bool on);
void GR_D3D_Set_Z_Write_Enable(bool on);
void GR_D3D_Set_Alpha_Test_Enable(bool on);
void GR_D3D_Set_Alpha_Test_Ref(uint32_t ref);
void GR_D3D_Set_Alpha_Test_Func(uint32_t func);
bool GR_D3D_Get_Alpha_Test_Enable();
uint32_t GR_D3D_Get_Alpha_Test_Ref();
uint32_t GR_D3D_Get_Alpha_Test_Func();
// Fog distances are kept as reals end to end, so a far distance above
// 32767 stays what the game asked for.
void GR_D3D_Set_Fog(bool on, uint32_t colour, float start, float end);
void _SetFogDistances();
void GR_D3D_Set_Texture_Interpolation(bool linear);
void GR_D3D_Set_Texture_Interpolation_Ext(int stage, bool linear);
void GR_D3D_Set_Texture_Repeat(bool repeat);
void GR_D3D_Set_Texture_Repeat_Ext(int stage, bool repeat);
bool GR_D3D_Get_Texture_Interpolation();
bool GR_D3D_Get_Texture_Repeat();
bool GR_D3D_Get_Texture_Interpolation_Ext(int stage);
bool GR_D3D_Get_Texture_Repeat_Ext(int stage);
void GR_D3D_Set_Texture_Blending(bool on);
