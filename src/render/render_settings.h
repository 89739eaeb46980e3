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
