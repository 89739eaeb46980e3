// The lookups of the script texture table that the renderer's built-ins use,
// and the texture-id drawing that surfaces draw through.
#pragma once

#include <cstdint>

struct Texture;

bool GR_Texture_Exists(int id);
// The GPU texture of a table entry, or null when the id does not exist.
Texture* GR_Texture_Get_Surface(int id);
// An entry with an empty GPU texture (a render target when asked).
int GR_Texture_Create_Empty(int width, int height, bool renderTarget, bool extra, int format);
void GR_Texture_Free(int id);
// Empties the table (the GPU textures are not touched).
void GR_Texture_Init();

// Texture-id drawing into the batch; false when the id does not exist.
bool GR_Texture_Draw_Simple(int id, float x, float y);
bool GR_Texture_Draw(int id, float xorig, float yorig, float x, float y, float xscale, float yscale,
                     float angle, uint32_t colour, float alpha);
bool GR_Texture_Draw_Part(int id, float left, float top, float w, float h, float x, float y, float xscale,
                          float yscale, float angle, uint32_t colour, float alpha);
bool GR_Texture_Draw_Part_Color(int id, float left, float top, float w, float h, float x, float y,
                                float xscale, float yscale, float angle, uint32_t c1, uint32_t c2,
                                uint32_t c3, uint32_t c4, float alpha);
bool GR_Texture_Draw_Tiled(int id, float xorig, float yorig, float x, float y, float xscale, float yscale,
                           bool htiled, bool vtiled, float regionLeft, float regionTop, float regionWidth,
                           float regionHeight, uint32_t colour, float alpha);
// One quad on a GPU texture: corners 1-4 clockwise from the top left, the
// texel rectangle (tu1, tv1)-(tu2, tv2), a colour per corner.
void DrawIt_Color(Texture* texture, float x1, float y1, float x2, float y2, float x3, float y3, float x4,
                  float y4, float tu1, float tv1, float tu2, float tv2, uint32_t c1, uint32_t c2, uint32_t c3,
                  uint32_t c4);
