// The surface built-ins: creating, sizing and freeing surfaces, directing
// drawing into them, drawing them and reading their pixels. Sizes are checked
// here before any texture is made, so a script's negative or huge size never
// reaches the texture creation.
#include <cstdint>

#include "core/arguments.h"
#include "core/error.h"
#include "core/run_globals.h"
#include "library/drawing_builtins.h"
#include "render/surface.h"

namespace {

using Args = RValue*;

constexpr int kMaxSurfaceSize = 8192;

void Real(RValue& r, double v) {
    ZQSetResultReal(r, v);
}
float F(Args a, int i) {
    return ZQGetFloat(a, i);
}
int32_t I(Args a, int i) {
    return ZQGetInt32(a, i);
}
uint32_t C(Args a, int i) {
    return static_cast<uint32_t>(ZQGetInt32(a, i));
}

#define ZQ_DRAWING(name) void name(RValue& r, CInstance*, CInstance*, int, Args a)

// A width of 0 ends the game as it always has; a negative or oversized one
// gets a recoverable error instead of reaching the texture creation.
bool CreatableSize(int w, int h) {
    if (w == 0 || h == 0) {
        ZQError("Can't create a surface with either a width or height of 0");
        return false;
    }
    if (w < 0 || h < 0 || w > kMaxSurfaceSize || h > kMaxSurfaceSize) {
        Error_Show_Action("Invalid surface dimensions", false);
        return false;
    }
    return true;
}

ZQ_DRAWING(F_SurfaceCreate) {
    int w = I(a, 0), h = I(a, 1);
    Real(r, -1);
    if (!CreatableSize(w, h)) return;
    Real(r, GR_Surface_Create(w, h, -1));
}
ZQ_DRAWING(F_SurfaceCreateSpecial) {
    int w = I(a, 0), h = I(a, 1);
    Real(r, -1);
    if (!CreatableSize(w, h)) return;
    Real(r, GR_Surface_Create_Special(w, h, -1, I(a, 2)));
}
ZQ_DRAWING(F_SurfaceCreateEmpty) {
    (void)a;
    Error_Show_Action("surface_create_ext() not supported", false);
    Real(r, -1);
}
ZQ_DRAWING(F_SurfaceResize) {
    int id = I(a, 0), w = I(a, 1), h = I(a, 2);
    if (w < 1 || w > kMaxSurfaceSize || h < 1 || h > kMaxSurfaceSize) {
        Error_Show_Action("Invalid surface dimensions", false);
        return;
    }
    if (id == g_ApplicationSurface) {
        g_NewApplicationSize = true;
        g_NewApplicationWidth = w;
        g_NewApplicationHeight = h;
        Real(r, 1);
        return;
    }
    Real(r, GR_Surface_Resize(id, w, h) ? 1 : 0);
}
ZQ_DRAWING(F_SurfaceFree) {
    (void)r;
    int id = I(a, 0);
    if (id == g_ApplicationSurface) return;
    GR_Surface_Free(id, false);
}
ZQ_DRAWING(F_SurfaceExists) {
    Real(r, GR_Surface_Exists(I(a, 0)) ? 1 : 0);
}
ZQ_DRAWING(F_SurfaceGetWidth) {
    int id = I(a, 0);
    if (id == g_ApplicationSurface) return Real(r, g_ApplicationWidth);
    Real(r, GR_Surface_Exists(id) ? GR_Surface_Get_Width(id) : -1);
}
ZQ_DRAWING(F_SurfaceGetHeight) {
    int id = I(a, 0);
    if (id == g_ApplicationSurface) return Real(r, g_ApplicationHeight);
    Real(r, GR_Surface_Exists(id) ? GR_Surface_Get_Height(id) : -1);
}
ZQ_DRAWING(F_SurfaceSetTarget) {
    Real(r, ZQVTL_surface_set_target_ext(0, I(a, 0)) ? 1 : 0);
}
ZQ_DRAWING(F_SurfaceSetTargetExt) {
    Real(r, ZQVTL_surface_set_target_ext(I(a, 0), I(a, 1)) ? 1 : 0);
}
ZQ_DRAWING(F_SurfaceResetTarget) {
    (void)a;
    Real(r, ZQVTL_surface_reset_target() ? 1 : 0);
}
ZQ_DRAWING(F_DrawSurface) {
    (void)r;
    GR_Surface_DrawSimple(I(a, 0), F(a, 1), F(a, 2));
}
ZQ_DRAWING(F_DrawSurfaceExt) {
    (void)r;
    GR_Surface_Draw(I(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), C(a, 6), F(a, 7));
}
ZQ_DRAWING(F_DrawSurfaceStretched) {
    (void)r;
    GR_Surface_DrawStretched(I(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), 0xFFFFFFu, 1.0f);
}
ZQ_DRAWING(F_DrawSurfaceStretchedExt) {
    (void)r;
    GR_Surface_DrawStretched(I(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), C(a, 5), F(a, 6));
}
ZQ_DRAWING(F_SurfaceGetPixelExt) {
    uint32_t pixel = 0;
    Real(r, GR_Surface_GetPixel(I(a, 0), I(a, 1), I(a, 2), &pixel) ? pixel : 0);
}
ZQ_DRAWING(F_SurfaceGetPixel) {
    uint32_t pixel = 0;
    Real(r, GR_Surface_GetPixel(I(a, 0), I(a, 1), I(a, 2), &pixel) ? (pixel & 0xFFFFFFu) : 0);
}

#undef ZQ_DRAWING

const DrawingHandlerRow kRows[] = {
    {"F_SurfaceCreate", F_SurfaceCreate},
    {"F_SurfaceCreateSpecial", F_SurfaceCreateSpecial},
    {"F_SurfaceCreateEmpty", F_SurfaceCreateEmpty},
    {"F_SurfaceResize", F_SurfaceResize},
    {"F_SurfaceFree", F_SurfaceFree},
    {"F_SurfaceExists", F_SurfaceExists},
    {"F_SurfaceGetWidth", F_SurfaceGetWidth},
    {"F_SurfaceGetHeight", F_SurfaceGetHeight},
    {"F_SurfaceSetTarget", F_SurfaceSetTarget},
    {"F_SurfaceSetTargetExt", F_SurfaceSetTargetExt},
    {"F_SurfaceResetTarget", F_SurfaceResetTarget},
    {"F_DrawSurface", F_DrawSurface},
    {"F_DrawSurfaceExt", F_DrawSurfaceExt},
    {"F_DrawSurfaceStretched", F_DrawSurfaceStretched},
    {"F_DrawSurfaceStretchedExt", F_DrawSurfaceStretchedExt},
    {"F_SurfaceGetPixel", F_SurfaceGetPixel},
    {"F_SurfaceGetPixelExt", F_SurfaceGetPixelExt},
};

} // namespace

std::span<const DrawingHandlerRow> SurfaceBuiltins() {
    return kRows;
}
