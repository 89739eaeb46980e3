// Surfaces (see surface.h). Targeting pushes an entry on the surface stack
// and a level on the GL render-target stack together; whenever one of the
// two refuses, the other is undone before returning, so the two depths never
// drift apart. A surface's pixels are stored top-down (row 0 of its texture
// is the surface's top row) because a surface target flips the projection.
#include "render/surface.h"

#include <climits>
#include <cstring>

#include "core/error.h"
#include "core/header_globals.h"
#include "core/run_globals.h"
#include "core/support_output.h"
#include "render/draw_primitives.h"
#include "render/gl_layer.h"
#include "render/graphics_device.h"
#include "render/platform_bitmap.h"
#include "render/read_back.h"
#include "render/render_target.h"
#include "render/surface_services.h"
#include "render/texture.h"
#include "render/texture_draw.h"
#include "render/texture_table.h"
#include "render/view.h"
#include "room/room_table.h"

Hash<RSurface> g_surfaces(128);
int32_t g_currSurfID = 0;
int32_t currenttargets[kSurfaceTargetSlots] = {-1, -1, -1, -1};
int32_t g_PrevViewPortX = 0, g_PrevViewPortY = 0, g_PrevViewPortW = 0, g_PrevViewPortH = 0;
float g_PrevViewAreaX = 0, g_PrevViewAreaY = 0, g_PrevViewAreaW = 0, g_PrevViewAreaH = 0, g_PrevViewAreaA = 0;

namespace {

constexpr float kDegToRad = 0.017453292f;

// One saved slot-0 redirection: what drawing looked like before it.
struct SurfaceStackEntry {
    int32_t viewPort[4];
    // The device viewport, for when no viewport was ever set (all -1).
    int32_t deviceViewPort[4];
    float viewArea[5];
    bool ignoreCull;
    int32_t targets[kSurfaceTargetSlots];
};

SurfaceStackEntry g_SurfaceStack[kSurfaceStackEntries];
int g_SurfaceStackDepth = 0;

bool BoundToAnySlot(int id) {
    for (int32_t target : currenttargets)
        if (target == id) return true;
    return false;
}

// Undoes the redirections that hold the surface, so that freeing its texture
// never leaves a deleted frame buffer bound.
void ReleaseTargets(int id) {
    while (BoundToAnySlot(id)) {
        if (!ZQVTL_surface_reset_target()) {
            for (int32_t& target : currenttargets)
                if (target == id) target = -1;
            return;
        }
    }
}

void FreeTexture(RSurface* s) {
    if (s->texture < 0) return;
    ReadBack_Forget(GR_Texture_Get_Surface(s->texture));
    GR_Texture_Free(s->texture);
    s->texture = -1;
}

void SetViewArea(float x, float y, float w, float h, float angle) {
    if (g_isNimbar)
        UpdateDefaultCamera(x, y, w, h, angle);
    else
        GR_D3D_Set_View_Area(x, y, w, h, angle);
}

bool SizeOk(int width, int height) {
    const int largest = Graphics::GetMaxTextureSize();
    if (width >= 1 && height >= 1 && width <= largest && height <= largest) return true;
    Error_Show_Action("Surface size is invalid: width and height must be 1 or more and at most the largest "
                      "texture side",
                      false);
    Support_DebugOutput("Surface size %d x %d refused (largest side %d)\n", width, height, largest);
    return false;
}

int CreateSurface(int width, int height, int id, bool special, int format) {
    if (!g_GraphicsInitialised || !SizeOk(width, height)) return -1;
    RSurface* s = nullptr;
    bool made = false;
    if (id < 0) {
        id = g_currSurfID;
        while (g_surfaces.Find(static_cast<uint32_t>(id)) != nullptr) id = id == INT_MAX ? 0 : id + 1;
        g_currSurfID = id == INT_MAX ? 0 : id + 1;
        s = new RSurface();
        s->id = id;
        made = true;
    } else {
        s = g_surfaces.Find(static_cast<uint32_t>(id));
        if (s == nullptr) return -1;
        // Making a texture over a live one would lose the old texture.
        if (s->texture >= 0) GR_Texture_Free_Only(id);
    }
    const int texture = special ? GR_Texture_Create_Empty(width, height, true, true, format)
                                : GR_Texture_Create_Empty(width, height, true, false, 4);
    if (texture < 0) {
        if (made) delete s;
        return -1;
    }
    if (made && !g_surfaces.Insert(static_cast<uint32_t>(id), s)) {
        delete s;
        GR_Texture_Free(texture);
        return -1;
    }
    s->texture = texture;
    s->width = width;
    s->height = height;
    if (id == g_ApplicationSurface) {
        g_ApplicationWidth = width;
        g_ApplicationHeight = height;
    }
    return id;
}

Texture* SurfaceTexture(int id) {
    const RSurface* s = GR_Surface_Get(id);
    return s != nullptr ? GR_Texture_Get_Surface(s->texture) : nullptr;
}

} // namespace

RSurface* GR_Surface_Get(int id) {
    return g_surfaces.Find(static_cast<uint32_t>(id));
}

bool GR_Surface_Exists(int id) {
    return GR_Surface_Get(id) != nullptr;
}

int GR_Surface_Create(int width, int height, int id) {
    return CreateSurface(width, height, id, false, 4);
}

int GR_Surface_Create_Special(int width, int height, int id, int format) {
    return CreateSurface(width, height, id, true, format);
}

bool GR_Texture_Free_Only(int id) {
    Graphics::Flush();
    RSurface* s = GR_Surface_Get(id);
    if (s == nullptr) return false;
    ReleaseTargets(id);
    FreeTexture(s);
    s->width = s->height = 0;
    if (id == g_ApplicationSurface) g_ApplicationWidth = g_ApplicationHeight = 1;
    return true;
}

bool GR_Surface_Resize(int id, int width, int height) {
    // A refused size leaves the surface as it was.
    if (!GR_Surface_Exists(id) || !g_GraphicsInitialised || !SizeOk(width, height)) return false;
    GR_Texture_Free_Only(id);
    return GR_Surface_Create(width, height, id) >= 0;
}

void _FreeSurfaceData(int id) {
    Graphics::Flush();
    RSurface* s = GR_Surface_Get(id);
    if (s == nullptr) return;
    ReleaseTargets(id);
    FreeTexture(s);
}

void GR_Surface_Free(int id, bool force) {
    if (id == g_ApplicationSurface && !force) return;
    Graphics::Flush();
    if (GR_Surface_Get(id) == nullptr) return;
    _FreeSurfaceData(id);
    g_surfaces.Delete(static_cast<uint32_t>(id), eDelete_Delete);
}

void GR_Surface_FreeAll() {
    Graphics::Flush();
    g_surfaces.ForEach([](uint32_t, RSurface* s) {
        ReleaseTargets(s->id);
        FreeTexture(s);
    });
    g_surfaces.Clear(eDelete_Delete);
    g_ApplicationSurface = APPLICATION_SURFACE_NONE;
}

int GR_Surface_Get_Width(int id) {
    if (id == g_ApplicationSurface && id != APPLICATION_SURFACE_NONE) return g_ApplicationWidth;
    const RSurface* s = GR_Surface_Get(id);
    return s != nullptr ? s->width : -1;
}

int GR_Surface_Get_Height(int id) {
    if (id == g_ApplicationSurface && id != APPLICATION_SURFACE_NONE) return g_ApplicationHeight;
    const RSurface* s = GR_Surface_Get(id);
    return s != nullptr ? s->height : -1;
}

int GR_Surface_Get_Texture(int id) {
    const RSurface* s = GR_Surface_Get(id);
    return s != nullptr ? s->texture : -1;
}

int GR_Surface_StackDepth() {
    return g_SurfaceStackDepth;
}

// ---------------------------------------------------------------------------
// Targets

bool ZQVTL_surface_set_target_ext(int slot, int id) {
    if (slot < 0 || slot >= kSurfaceTargetSlots || !Graphics_Ready()) return false;
    Graphics::Flush();
    const RSurface* s = GR_Surface_Get(id);
    Texture* texture = s != nullptr ? GR_Texture_Get_Surface(s->texture) : nullptr;
    if (texture == nullptr || s->width <= 0 || s->height <= 0) return false;
    if (g_SurfaceStackDepth >= kSurfaceStackEntries) return false;
    if (slot != 0) {
        if (!Graphics::SetRenderTarget(slot, texture)) return false;
        currenttargets[slot] = id;
        return true;
    }
    SurfaceStackEntry& entry = g_SurfaceStack[g_SurfaceStackDepth];
    entry = {{g_ViewPortX, g_ViewPortY, g_ViewPortW, g_ViewPortH},
             {old_view_port_x, old_view_port_y, old_view_port_w, old_view_port_h},
             {g_ViewAreaX, g_ViewAreaY, g_ViewAreaW, g_ViewAreaH, g_ViewAreaA},
             Sprite_GetIgnoreCull(),
             {currenttargets[0], currenttargets[1], currenttargets[2], currenttargets[3]}};
    if (!Graphics::SaveRenderTarget()) {
        Error_Show("surface stack is full - ensure surface_reset_target() is called for each "
                   "surface_set_target().",
                   false);
        return false;
    }
    if (!Graphics::SetRenderTarget(0, texture) || texture->frameBufferID <= 0 ||
        g_CurrentFrameBuffer != texture->frameBufferID) {
        Graphics::RestoreRenderTarget();
        return false;
    }
    ++g_SurfaceStackDepth;
    GR_D3D_Set_View_Port(0, 0, s->width, s->height);
    SetViewArea(0, 0, static_cast<float>(s->width), static_cast<float>(s->height), 0);
    currenttargets[0] = id;
    DirtyRoomExtents();
    return true;
}

bool ZQVTL_surface_set_target(int id) {
    return ZQVTL_surface_set_target_ext(0, id);
}

bool ZQVTL_surface_reset_target() {
    if (!Graphics_Ready()) return false;
    Graphics::Flush();
    // Without a saved entry the GL stack is left alone: popping it would
    // take the frame's own level.
    if (g_SurfaceStackDepth == 0) {
        currenttargets[0] = -1;
        return false;
    }
    if (!Graphics::RestoreRenderTarget()) return false;
    const SurfaceStackEntry& entry = g_SurfaceStack[--g_SurfaceStackDepth];
    for (int i = 0; i < kSurfaceTargetSlots; ++i) currenttargets[i] = entry.targets[i];
    Sprite_SetIgnoreCull(entry.ignoreCull);
    g_PrevViewPortX = entry.viewPort[0];
    g_PrevViewPortY = entry.viewPort[1];
    g_PrevViewPortW = entry.viewPort[2];
    g_PrevViewPortH = entry.viewPort[3];
    g_PrevViewAreaX = entry.viewArea[0];
    g_PrevViewAreaY = entry.viewArea[1];
    g_PrevViewAreaW = entry.viewArea[2];
    g_PrevViewAreaH = entry.viewArea[3];
    g_PrevViewAreaA = entry.viewArea[4];
    if (g_SurfaceStackDepth == 0 && g_InGUI_Zone) {
        SetGuiView();
    } else {
        if (g_PrevViewPortW < 0 || g_PrevViewPortH < 0) {
            // No viewport was set before the redirection: the device's goes back.
            Graphics::SetViewPort(entry.deviceViewPort[0], entry.deviceViewPort[1], entry.deviceViewPort[2],
                                  entry.deviceViewPort[3]);
            g_ViewPortX = g_PrevViewPortX;
            g_ViewPortY = g_PrevViewPortY;
            g_ViewPortW = g_PrevViewPortW;
            g_ViewPortH = g_PrevViewPortH;
        } else {
            GR_D3D_Set_View_Port(g_PrevViewPortX, g_PrevViewPortY, g_PrevViewPortW, g_PrevViewPortH);
        }
        SetViewArea(g_PrevViewAreaX, g_PrevViewAreaY, g_PrevViewAreaW, g_PrevViewAreaH, g_PrevViewAreaA);
    }
    DirtyRoomExtents();
    return true;
}

// ---------------------------------------------------------------------------
// Drawing

void GR_Surface_DrawSimple(int id, float x, float y) {
    const RSurface* s = GR_Surface_Get(id);
    if (s != nullptr) GR_Texture_Draw_Simple(s->texture, x, y);
}

void GR_Surface_Draw(int id, float x, float y, float xscale, float yscale, float angleDegrees,
                     uint32_t colour, float alpha) {
    const RSurface* s = GR_Surface_Get(id);
    if (s != nullptr)
        GR_Texture_Draw(s->texture, 0, 0, x, y, xscale, yscale, angleDegrees * kDegToRad, colour, alpha);
}

void GR_Surface_DrawStretched(int id, float x, float y, float w, float h, uint32_t colour, float alpha) {
    const RSurface* s = GR_Surface_Get(id);
    if (s == nullptr || !(w > 0) || !(h > 0) || s->width <= 0 || s->height <= 0) return;
    GR_Texture_Draw(s->texture, 0, 0, x, y, w / static_cast<float>(s->width),
                    h / static_cast<float>(s->height), 0, colour, alpha);
}

bool ZQVTL_draw_surface_part_ext(int id, float left, float top, float w, float h, float x, float y,
                                 float xscale, float yscale, uint32_t colour, float alpha) {
    const RSurface* s = GR_Surface_Get(id);
    if (s == nullptr) {
        Error_Show_Action("Trying to use non-existing surface.", false);
        return false;
    }
    GR_Texture_Draw_Part(s->texture, left, top, w, h, x, y, xscale, yscale, 0, colour, alpha);
    return true;
}

void GR_Surface_DrawGeneral(int id, float left, float top, float w, float h, float x, float y, float xscale,
                            float yscale, float angleDegrees, uint32_t c1, uint32_t c2, uint32_t c3,
                            uint32_t c4, float alpha) {
    const RSurface* s = GR_Surface_Get(id);
    if (s != nullptr)
        GR_Texture_Draw_Part_Color(s->texture, left, top, w, h, x, y, xscale, yscale,
                                   angleDegrees * kDegToRad, c1, c2, c3, c4, alpha);
}

void GR_Surface_DrawTiled(int id, float x, float y, float xscale, float yscale, bool htiled, bool vtiled,
                          float regionLeft, float regionTop, float regionWidth, float regionHeight,
                          uint32_t colour, float alpha) {
    const RSurface* s = GR_Surface_Get(id);
    if (s != nullptr)
        GR_Texture_Draw_Tiled(s->texture, 0, 0, x, y, xscale, yscale, htiled, vtiled, regionLeft, regionTop,
                              regionWidth, regionHeight, colour, alpha);
}

// ---------------------------------------------------------------------------
// Read-back

std::unique_ptr<IBitmap> GR_Surface_Screenshot_Part(int id, int x, int y, int w, int h) {
    if (!Graphics_Ready()) return nullptr;
    Graphics::Flush();
    Texture* texture = SurfaceTexture(id);
    if (texture == nullptr || texture->frameBufferID <= 0) return nullptr;
    if (!ReadBack_SizeOk(w, h)) return nullptr;
    uint32_t* pixels = nullptr;
    // Sides as int64 so that x + w cannot overflow.
    const int64_t x1 = int64_t{x} + w, y1 = int64_t{y} + h;
    if (x >= 0 && y >= 0 && x1 <= texture->width && y1 <= texture->height) {
        pixels = Graphics::Surface_GrabRect(texture, x, y, w, h);
    } else {
        Support_DebugOutput(
            "Trying to grab data from outside surface bounds: x = %d, y = %d, w = %d, h = %d\n", x, y, w, h);
        pixels = static_cast<uint32_t*>(ZQ_Alloc(static_cast<size_t>(w) * static_cast<size_t>(h) * 4));
        if (pixels == nullptr) return nullptr;
        const int x0 = x > 0 ? x : 0, y0 = y > 0 ? y : 0;
        const int64_t xe = x1 < texture->width ? x1 : texture->width;
        const int64_t ye = y1 < texture->height ? y1 : texture->height;
        const int cw = static_cast<int>(xe - x0 > 0 ? xe - x0 : 0);
        const int ch = static_cast<int>(ye - y0 > 0 ? ye - y0 : 0);
        if (cw > 0 && ch > 0) {
            uint32_t* part = Graphics::Surface_GrabRect(texture, x0, y0, cw, ch);
            if (part != nullptr) {
                for (int row = 0; row < ch; ++row)
                    std::memcpy(pixels + static_cast<size_t>(y0 - y + row) * static_cast<size_t>(w) +
                                    (x0 - x),
                                part + static_cast<size_t>(row) * static_cast<size_t>(cw),
                                static_cast<size_t>(cw) * 4);
                ZQ_Free(part);
            }
        }
    }
    if (pixels == nullptr) return nullptr;
    // Read-backs are bytes red, green, blue, alpha; a 32-bit bitmap holds
    // blue, green, red, alpha, as every bitmap made into sprite frames does.
    std::unique_ptr<IBitmap> bitmap = BitmapFromRGBA(reinterpret_cast<const uint8_t*>(pixels), w, h);
    ZQ_Free(pixels);
    return bitmap;
}

bool GR_Surface_GetPixel(int id, int x, int y, uint32_t* pixel) {
    if (pixel != nullptr) *pixel = 0;
    const RSurface* s = GR_Surface_Get(id);
    if (s == nullptr || !Graphics_Ready()) return false;
    if (x < 0 || y < 0 || x >= s->width || y >= s->height) return false;
    return Graphics::Surface_GetPixel(SurfaceTexture(id), x, y, pixel);
}

void Surface_Reset() {
    g_surfaces.Clear(eDelete_Delete);
    g_currSurfID = 0;
    for (int32_t& target : currenttargets) target = -1;
    g_SurfaceStackDepth = 0;
    g_PrevViewPortX = g_PrevViewPortY = g_PrevViewPortW = g_PrevViewPortH = 0;
    g_PrevViewAreaX = g_PrevViewAreaY = g_PrevViewAreaW = g_PrevViewAreaH = g_PrevViewAreaA = 0;
    ReadBack_Reset();
}

bool Surface_TargetSizes(int* surfaceW, int* surfaceH, int* textureW, int* textureH) {
    const RSurface* surface = currenttargets[0] >= 0 ? GR_Surface_Get(currenttargets[0]) : nullptr;
    if (surface == nullptr) return false;
    const Texture* texture = GR_Texture_Get_Surface(surface->texture);
    if (texture == nullptr) return false;
    *surfaceW = surface->width;
    *surfaceH = surface->height;
    *textureW = texture->width;
    *textureH = texture->height;
    return true;
}
