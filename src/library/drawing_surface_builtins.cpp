// The surface built-ins: creating, sizing and freeing surfaces, directing
// drawing into them, drawing them and reading their pixels. Sizes are checked
// here before any texture is made, so a script's negative or huge size never
// reaches the texture creation.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "core/arguments.h"
#include "core/error.h"
#include "core/run_globals.h"
#include "library/drawing_builtins.h"
#include "render/draw_primitives.h"
#include "render/image_decode.h"
#include "render/platform_bitmap.h"
#include "render/read_back.h"
#include "render/render_state.h"
#include "render/surface.h"
#include "render/texture_table.h"
#include "room/room.h"

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

constexpr uint32_t kWhite = 0xFFFFFFu;
constexpr const char* kNoSurface = "Trying to use non-existing surface.";

// The drawing alpha as the forms without an alpha argument draw with.
float DrawAlpha() {
    return GR_Draw_Get_Alpha();
}

// True when the surface exists; else the message, and the caller draws nothing.
bool Existing(int id) {
    if (GR_Surface_Exists(id)) return true;
    Error_Show_Action(kNoSurface, false);
    return false;
}

float RoomWidth() {
    return Run_Room != nullptr ? static_cast<float>(Run_Room->m_width) : 0.0f;
}
float RoomHeight() {
    return Run_Room != nullptr ? static_cast<float>(Run_Room->m_height) : 0.0f;
}

// Writes a rectangle of the surface as a PNG in the save area. The rectangle
// may reach past the surface: what lies outside is written transparent,
// never read from beyond the surface's pixels.
void SavePart(int id, const char* name, int x, int y, int w, int h) {
    if (!Existing(id)) return;
    if (name == nullptr || !ReadBack_SizeOk(w, h)) {
        Error_Show_Action("Invalid surface dimensions", false);
        return;
    }
    std::unique_ptr<IBitmap> bitmap = GR_Surface_Screenshot_Part(id, x, y, w, h);
    if (bitmap == nullptr) return;
    void* first = nullptr;
    int stride = 0;
    void* token = bitmap->LockBits(0, &first, &stride);
    if (token == nullptr || first == nullptr) return;
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int row = 0; row < h; ++row)
        std::memcpy(&pixels[static_cast<size_t>(row) * static_cast<size_t>(w)],
                    static_cast<const uint8_t*>(first) + static_cast<ptrdiff_t>(row) * stride,
                    static_cast<size_t>(w) * 4);
    bitmap->UnlockBits(token);
    WritePNG32(name, pixels.data(), w, h);
}

void Copy(int dest, int x, int y, int source, int sx, int sy, int w, int h) {
    if (!Existing(dest) || !Existing(source)) return;
    if (!ZQVTL_surface_set_target_ext(0, dest)) return;
    g_States.SaveStates();
    g_States.SetRenderState(eRS_DepthTest, 0);
    Texture* to = GR_Texture_Get_Surface(GR_Surface_Get_Texture(dest));
    Texture* from = GR_Texture_Get_Surface(GR_Surface_Get_Texture(source));
    if (to != nullptr && from != nullptr) Graphics::SurfaceCopy(to, x, y, from, sx, sy, w, h);
    g_States.RestoreStates();
    ZQVTL_surface_reset_target();
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
    if (!GR_Surface_Exists(id)) {
        Error_Show_Action("Surface does not exist", false);
        return;
    }
    if (GR_Surface_Resize(id, w, h)) Real(r, 1);
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
// A texture value: the texture-table index carried as a pointer value, -1 as
// a real for an unknown surface.
ZQ_DRAWING(F_SurfaceGetTexture) {
    int id = I(a, 0);
    if (!GR_Surface_Exists(id)) return Real(r, -1);
    r.kind = VALUE_PTR;
    r.flags = 0;
    r.ptr = reinterpret_cast<void*>(static_cast<intptr_t>(GR_Surface_Get_Texture(id)));
}
ZQ_DRAWING(F_SurfaceDepthDisable) {
    (void)r;
    g_createsurfacedepthbuffers = !ZQGetBool(a, 0);
}
ZQ_DRAWING(F_SurfaceGetDepthDisable) {
    (void)a;
    Real(r, g_createsurfacedepthbuffers ? 0 : 1);
}
ZQ_DRAWING(F_DrawSurface) {
    (void)r;
    int id = I(a, 0);
    if (Existing(id)) GR_Surface_DrawSimple(id, F(a, 1), F(a, 2));
}
ZQ_DRAWING(F_DrawSurfaceExt) {
    (void)r;
    int id = I(a, 0);
    if (Existing(id)) GR_Surface_Draw(id, F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), C(a, 6), F(a, 7));
}
ZQ_DRAWING(F_DrawSurfaceStretched) {
    (void)r;
    int id = I(a, 0);
    if (Existing(id)) GR_Surface_DrawStretched(id, F(a, 1), F(a, 2), F(a, 3), F(a, 4), kWhite, DrawAlpha());
}
ZQ_DRAWING(F_DrawSurfaceStretchedExt) {
    (void)r;
    int id = I(a, 0);
    if (Existing(id)) GR_Surface_DrawStretched(id, F(a, 1), F(a, 2), F(a, 3), F(a, 4), C(a, 5), F(a, 6));
}
// The part forms report a missing surface twice: once from the drawing
// itself and once here, as scripts have always seen it.
ZQ_DRAWING(F_DrawSurfacePart) {
    (void)r;
    if (!ZQVTL_draw_surface_part_ext(I(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), F(a, 6), 1.0f,
                                     1.0f, kWhite, DrawAlpha()))
        Error_Show_Action(kNoSurface, false);
}
ZQ_DRAWING(F_DrawSurfacePartExt) {
    (void)r;
    if (!ZQVTL_draw_surface_part_ext(I(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), F(a, 6), F(a, 7),
                                     F(a, 8), C(a, 9), F(a, 10)))
        Error_Show_Action(kNoSurface, false);
}
ZQ_DRAWING(F_DrawSurfaceGeneral) {
    (void)r;
    int id = I(a, 0);
    if (Existing(id))
        GR_Surface_DrawGeneral(id, F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), F(a, 6), F(a, 7), F(a, 8),
                               F(a, 9), C(a, 10), C(a, 11), C(a, 12), C(a, 13), F(a, 14));
}
ZQ_DRAWING(F_DrawSurfaceTiled) {
    (void)r;
    int id = I(a, 0);
    if (Existing(id))
        GR_Surface_DrawTiled(id, F(a, 1), F(a, 2), 1.0f, 1.0f, true, true, 0.0f, 0.0f, RoomWidth(),
                             RoomHeight(), kWhite, DrawAlpha());
}
ZQ_DRAWING(F_DrawSurfaceTiledExt) {
    (void)r;
    int id = I(a, 0);
    if (Existing(id))
        GR_Surface_DrawTiled(id, F(a, 1), F(a, 2), F(a, 3), F(a, 4), true, true, 0.0f, 0.0f, RoomWidth(),
                             RoomHeight(), C(a, 5), F(a, 6));
}
ZQ_DRAWING(F_SurfaceSave) {
    (void)r;
    int id = I(a, 0);
    const char* name = ZQGetString(a, 1);
    if (!Existing(id)) return;
    SavePart(id, name, 0, 0, GR_Surface_Get_Width(id), GR_Surface_Get_Height(id));
}
ZQ_DRAWING(F_SurfaceSavePart) {
    (void)r;
    SavePart(I(a, 0), ZQGetString(a, 1), I(a, 2), I(a, 3), I(a, 4), I(a, 5));
}
ZQ_DRAWING(F_SurfaceGetPixelExt) {
    int id = I(a, 0);
    if (!Existing(id)) return;
    uint32_t pixel = 0;
    Real(r, 0);
    if (GR_Surface_GetPixel(id, I(a, 1), I(a, 2), &pixel)) Real(r, pixel);
}
ZQ_DRAWING(F_SurfaceGetPixel) {
    int id = I(a, 0);
    if (!Existing(id)) return;
    uint32_t pixel = 0;
    Real(r, 0);
    if (GR_Surface_GetPixel(id, I(a, 1), I(a, 2), &pixel)) Real(r, pixel & 0xFFFFFFu);
}
ZQ_DRAWING(F_SurfaceCopy) {
    (void)r;
    int source = I(a, 3);
    int w = GR_Surface_Exists(source) ? GR_Surface_Get_Width(source) : 0;
    int h = GR_Surface_Exists(source) ? GR_Surface_Get_Height(source) : 0;
    Copy(I(a, 0), I(a, 1), I(a, 2), source, 0, 0, w, h);
}
ZQ_DRAWING(F_SurfaceCopyPart) {
    (void)r;
    Copy(I(a, 0), I(a, 1), I(a, 2), I(a, 3), I(a, 4), I(a, 5), I(a, 6), I(a, 7));
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
    {"F_SurfaceGetTexture", F_SurfaceGetTexture},
    {"F_SurfaceDepthDisable", F_SurfaceDepthDisable},
    {"F_SurfaceGetDepthDisable", F_SurfaceGetDepthDisable},
    {"F_DrawSurface", F_DrawSurface},
    {"F_DrawSurfacePart", F_DrawSurfacePart},
    {"F_DrawSurfacePartExt", F_DrawSurfacePartExt},
    {"F_DrawSurfaceGeneral", F_DrawSurfaceGeneral},
    {"F_DrawSurfaceTiled", F_DrawSurfaceTiled},
    {"F_DrawSurfaceTiledExt", F_DrawSurfaceTiledExt},
    {"F_SurfaceSave", F_SurfaceSave},
    {"F_SurfaceSavePart", F_SurfaceSavePart},
    {"F_SurfaceCopy", F_SurfaceCopy},
    {"F_SurfaceCopyPart", F_SurfaceCopyPart},
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
