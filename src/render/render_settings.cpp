// The renderer's recorded settings.
#include "render/render_settings.h"

bool set_zbuffer = true;
bool set_perspective = true;
bool set_texlinear[kTextureStages] = {true, true, true, true, true, true, true, true};
bool set_texrepeat[kTextureStages] = {};
bool set_fog = false;
uint32_t set_fog_color = 0;
float set_fog_near = 0.0f;
float set_fog_far = 1.0f;

bool GR_3DMode = false;

void RenderSettings_Reset() {
    set_zbuffer = true;
    set_perspective = true;
    for (int i = 0; i < kTextureStages; ++i) {
        set_texlinear[i] = true;
        set_texrepeat[i] = false;
    }
    set_fog = false;
    set_fog_color = 0;
    set_fog_near = 0.0f;
    set_fog_far = 1.0f;
}
