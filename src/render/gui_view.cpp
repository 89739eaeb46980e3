// The GUI transform and the aspect-keeping copy of the application surface.
// Where the surface lands is recorded on both axes: with bars above and below
// (a 16:10 screen showing a 16:9 game) the top and bottom edges are those of
// the surface, not of the window.
#include "render/gui_view.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "core/real_to_int.h"
#include "core/run_globals.h"
#include "render/gl_layer.h"
#include "render/graphics_device.h"
#include "render/render_state.h"
#include "render/surface.h"
#include "render/vertex_batch.h"
#include "render/view.h"
#include "render/window_views.h"
#include "room/room_table.h"

zqMatrix g_ScreenToGUITransform = zqMatrix::Identity();
Texture* g_MouseCursor = nullptr;
int32_t g_Display_x1 = 0, g_Display_x2 = 0, g_Display_y1 = 0, g_Display_y2 = 0;

namespace {

// 2^31 stands for "no offset" in the maximised mode.
constexpr float kNoOffset = 2147483648.0f;

// The GUI extents: the device rectangle through the inverse of the transform.
void SetGuiExtents(float sx, float sy, float tx, float ty) {
    const float hw = static_cast<float>(g_DeviceWidth) * 0.5f, hh = static_cast<float>(g_DeviceHeight) * 0.5f;
    g_roomExtents[0] = RealToInt32(std::floor((-hw - tx) / sx));
    g_roomExtents[1] = RealToInt32(std::floor((-hh - ty) / sy));
    g_roomExtents[2] = RealToInt32(std::ceil((hw - tx) / sx));
    g_roomExtents[3] = RealToInt32(std::ceil((hh - ty) / sy));
    DirtyRoomExtents();
}

} // namespace

void GuiView_Reset() {
    g_ScreenToGUITransform = zqMatrix::Identity();
    g_Display_x1 = g_Display_x2 = g_Display_y1 = g_Display_y2 = 0;
    g_MouseCursor = nullptr;
}

void CalcGUITransformMat(zqMatrix& gui, zqMatrix& inverse, float& sx, float& sy, float& tx, float& ty) {
    gui = zqMatrix::Identity();
    inverse = zqMatrix::Identity();
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Get_FullScreenOffset(x1, y1, x2, y2);
    const float dw = static_cast<float>(g_DeviceWidth), dh = static_cast<float>(g_DeviceHeight);
    if (g_GUI_Maximise) {
        const float hw = std::floor(dw * 0.5f), hh = std::floor(dh * 0.5f);
        tx = g_GUI_Xoffset == kNoOffset ? -hw : g_GUI_Xoffset - hw;
        ty = g_GUI_Yoffset == kNoOffset ? -hh : g_GUI_Yoffset - hh;
        sx = g_GUI_X_Scale;
        sy = g_GUI_Y_Scale;
    } else {
        const float fw = static_cast<float>(x2 - x1), fh = static_cast<float>(y2 - y1);
        sx = g_GUI_Width >= 0 ? fw / static_cast<float>(g_GUI_Width) : 1.0f;
        sy = g_GUI_Height >= 0 ? fh / static_cast<float>(g_GUI_Height) : 1.0f;
        tx = -std::floor(fw * 0.5f);
        ty = -std::floor(fh * 0.5f);
    }
    // A zero or unusable scale would make every GUI position infinite.
    if (!std::isfinite(sx) || sx == 0) sx = 1.0f;
    if (!std::isfinite(sy) || sy == 0) sy = 1.0f;
    gui.m[0] = sx;
    gui.m[5] = sy;
    gui.m[10] = 1;
    gui.m[15] = 1;
    gui.m[12] = tx;
    gui.m[13] = ty;
    gui.m[14] = 1;
    inverse.m[0] = 1 / sx;
    inverse.m[5] = 1 / sy;
    inverse.m[10] = 1;
    inverse.m[15] = 1;
    inverse.m[12] = -(dw * 0.5f + tx) / sx;
    inverse.m[13] = -(dh * 0.5f + ty) / sy;
    inverse.m[14] = -1;
}

void SetGuiView() {
    GR_D3D_Set_View_Port(0, 0, g_DeviceWidth, g_DeviceHeight);
    zqMatrix projection;
    zqMatrix::OrthoLH(&projection, static_cast<float>(g_DeviceWidth),
                      -static_cast<float>(g_DeviceHeight) * static_cast<float>(g_RenderTargetActive), 1.0f,
                      32000.0f);
    Graphics::SetMatrix(eMatrix_Projection, projection.m);
    zqMatrix gui;
    float sx = 1, sy = 1, tx = 0, ty = 0;
    CalcGUITransformMat(gui, g_ScreenToGUITransform, sx, sy, tx, ty);
    Graphics::SetMatrix(eMatrix_View, gui.m);
    SetGuiExtents(sx, sy, tx, ty);
}

void Calc_GUI_Scale() {
    zqMatrix gui;
    float sx = 1, sy = 1, tx = 0, ty = 0;
    CalcGUITransformMat(gui, g_ScreenToGUITransform, sx, sy, tx, ty);
    Graphics::SetMatrix(eMatrix_View, gui.m);
    SetGuiExtents(sx, sy, tx, ty);
}

void RenderSurface_AspectAdjusted(int surface, int x, int y, int w, int h, bool keepAspect, bool,
                                  bool setStates) {
    Graphics::Flush();
    if (!GR_Surface_Exists(g_ApplicationSurface)) return;
    const float sw = static_cast<float>(GR_Surface_Get_Width(surface));
    const float sh = static_cast<float>(GR_Surface_Get_Height(surface));
    // The copy is opaque and flat; the states it turns off are put back after
    // it, or the GUI events and every later frame would draw without blending
    // (transparent texels as solid boxes).
    constexpr int kCopyStates[] = {eRS_CullMode,    eRS_DepthTest, eRS_Lighting,     eRS_FogEnable,
                                   eRS_BlendEnable, eRS_AlphaTest, eRS_StencilEnable};
    uint32_t saved[std::size(kCopyStates)] = {};
    if (setStates) {
        for (size_t i = 0; i < std::size(kCopyStates); ++i) {
            saved[i] = g_States.GetRenderState(kCopyStates[i]);
            g_States.SetRenderState(kCopyStates[i], 0);
        }
    }
    float left = 0, top = 0, right = static_cast<float>(w), bottom = static_cast<float>(h);
    if (keepAspect && sw > 0 && sh > 0) {
        const float aspect = sw / sh;
        const float fittedHeight = static_cast<float>(w) / aspect;
        if (fittedHeight < static_cast<float>(h)) {
            top = (static_cast<float>(h) - fittedHeight) * 0.5f;
            bottom = top + fittedHeight;
        } else if (fittedHeight > static_cast<float>(h)) {
            const float fittedWidth = aspect * static_cast<float>(h);
            left = (static_cast<float>(w) - fittedWidth) * 0.5f;
            right = left + fittedWidth;
        }
    }
    GR_Surface_DrawStretched(g_ApplicationSurface, static_cast<float>(x) + left, static_cast<float>(y) + top,
                             right - left, bottom - top, 0xFFFFFF, 1.0f);
    Graphics::Flush();
    if (setStates) {
        g_Display_x1 = RealToInt32(std::trunc(left));
        g_Display_x2 = RealToInt32(std::trunc(right));
        g_Display_y1 = RealToInt32(std::trunc(top));
        g_Display_y2 = RealToInt32(std::trunc(bottom));
        for (size_t i = 0; i < std::size(kCopyStates); ++i) g_States.SetRenderState(kCopyStates[i], saved[i]);
        RenderState_Force();
    }
}

void DrawHardwareCursor(float x, float y, float alpha) {
    struct V24 {
        float x, y, z;
        uint32_t colour;
        float u, v;
    };
    constexpr int kTriangleList = 4;
    auto* v = static_cast<V24*>(Graphics::AllocVerts(kTriangleList, g_MouseCursor, sizeof(V24), 6));
    if (v == nullptr) return;
    // Alpha outside 0..1 would spill into the colour bytes.
    const float a = std::isnan(alpha) ? 0.0f : std::clamp(alpha, 0.0f, 1.0f);
    const uint32_t colour = 0xFFFFFFu | static_cast<uint32_t>(RealToInt32(a * 255.0f)) << 24;
    const V24 topLeft{x - 32, y - 32, 1, colour, 0, 0}, topRight{x + 32, y - 32, 1, colour, 1, 0};
    const V24 bottomRight{x + 32, y + 32, 1, colour, 1, 1}, bottomLeft{x - 32, y + 32, 1, colour, 0, 1};
    v[0] = topLeft;
    v[1] = topRight;
    v[2] = bottomRight;
    v[3] = bottomRight;
    v[4] = bottomLeft;
    v[5] = topLeft;
}
