// Surfaces: off-screen render targets that scripts create, draw into and draw
// from, kept in a table by id. Each owns one render-target texture of the
// texture table. Drawing is redirected into a surface and back through a
// stack that saves the viewport and view area beside the render-target
// stack of the GL side; the two stacks always move together.
#pragma once

#include <cstdint>
#include <memory>

#include "core/hash.h"

class IBitmap;

struct RSurface {
    int32_t id = -1;
    int32_t texture = -1; // texture id, -1 after the texture was freed
    int32_t width = 0;
    int32_t height = 0;
};

inline constexpr int kSurfaceTargetSlots = 4;
// Saved slot-0 redirections; the 37th nesting is refused.
inline constexpr int kSurfaceStackEntries = 36;

extern Hash<RSurface> g_surfaces;
extern int32_t g_currSurfID;
// The surface bound to each render-target slot, -1 for none.
extern int32_t currenttargets[kSurfaceTargetSlots];
// The viewport and view area of the entry popped last.
extern int32_t g_PrevViewPortX, g_PrevViewPortY, g_PrevViewPortW, g_PrevViewPortH;
extern float g_PrevViewAreaX, g_PrevViewAreaY, g_PrevViewAreaW, g_PrevViewAreaH, g_PrevViewAreaA;

RSurface* GR_Surface_Get(int id);
bool GR_Surface_Exists(int id);
// With id < 0 a surface under a new id; with id ≥ 0 the existing surface of
// that id gets a new texture (-1 when there is none). -1, with nothing
// changed, for a width or height outside 1 to the largest texture side or
// before graphics are open.
int GR_Surface_Create(int width, int height, int id);
int GR_Surface_Create_Special(int width, int height, int id, int format);
// Frees the texture only; the record stays with size 0 × 0.
bool GR_Texture_Free_Only(int id);
bool GR_Surface_Resize(int id, int width, int height);
// The application surface only goes when force is set.
void GR_Surface_Free(int id, bool force);
void _FreeSurfaceData(int id);
void GR_Surface_FreeAll();
int GR_Surface_Get_Width(int id);
int GR_Surface_Get_Height(int id);
int GR_Surface_Get_Texture(int id);
// The number of slot-0 redirections saved.
int GR_Surface_StackDepth();

// Redirects drawing of slot 0-3 into the surface; slot 0 saves the current
// target, viewport and view area first. False, with both stacks as they
// were, when the slot, the surface or the stack refuses.
bool ZQVTL_surface_set_target_ext(int slot, int id);
bool ZQVTL_surface_set_target(int id);
// Undoes the last slot-0 redirection; false when none is saved.
bool ZQVTL_surface_reset_target();

// Drawing a surface's texture (nothing for a missing surface).
void GR_Surface_DrawSimple(int id, float x, float y);
void GR_Surface_Draw(int id, float x, float y, float xscale, float yscale, float angleDegrees,
                     uint32_t colour, float alpha);
void GR_Surface_DrawStretched(int id, float x, float y, float w, float h, uint32_t colour, float alpha);
bool ZQVTL_draw_surface_part_ext(int id, float left, float top, float w, float h, float x, float y,
                                 float xscale, float yscale, uint32_t colour, float alpha);
void GR_Surface_DrawGeneral(int id, float left, float top, float w, float h, float x, float y, float xscale,
                            float yscale, float angleDegrees, uint32_t c1, uint32_t c2, uint32_t c3,
                            uint32_t c4, float alpha);
void GR_Surface_DrawTiled(int id, float x, float y, float xscale, float yscale, bool htiled, bool vtiled,
                          float regionLeft, float regionTop, float regionWidth, float regionHeight,
                          uint32_t colour, float alpha);

// A surface rectangle as a new 32-bit bitmap; the parts outside the surface
// are transparent black. Null before graphics are open, for a missing
// surface or texture, and for a width or height below 1 or too large.
std::unique_ptr<IBitmap> GR_Surface_Screenshot_Part(int id, int x, int y, int w, int h);
// One pixel of a surface (0xAABBGGRR); false for a missing surface or a
// pixel outside it. Cheap when repeated on a surface nothing drew into since.
bool GR_Surface_GetPixel(int id, int x, int y, uint32_t* pixel);

// Forgets every surface and the target stack without GL work (tests).
void Surface_Reset();
