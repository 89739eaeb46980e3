// Matrices, viewport, view area and clearing (see view.h).
#include "render/view.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "core/real_to_int.h"
#include "render/gl_layer.h"
#include "render/render_settings.h"
#include "render/render_state.h"
#include "core/run_settings.h"

zqMatrix m_CurrentMatrix[eMatrix_Count] = {zqMatrix::Identity(), zqMatrix::Identity(), zqMatrix::Identity(),
                                           zqMatrix::Identity(), zqMatrix::Identity()};
int32_t g_ViewPortX = -1, g_ViewPortY = -1, g_ViewPortW = -1, g_ViewPortH = -1;
int32_t old_view_port_x = 0, old_view_port_y = 0, old_view_port_w = 0, old_view_port_h = 0;
float g_ViewAreaX = -1.0f, g_ViewAreaY = -1.0f, g_ViewAreaW = -1.0f, g_ViewAreaH = -1.0f, g_ViewAreaA = -1.0f;
int32_t g_roomExtents[4] = {};
int32_t g_transRoomExtents[4] = {};
bool g_transRoomExtentsDirty = true;
bool g_ProjIsOrtho = true;
float g_ProjNear = 1.0f, g_ProjFar = 32000.0f;
uint32_t g_LastColour = 0;
int32_t g_col = 0;

namespace {

constexpr float kDegToRad = 0.017453292f;

void StoreMatrix(int m, const zqMatrix& value) {
    Graphics::SetMatrix(m, value.m);
}

} // namespace

void Graphics::GetMatrix(int m, float* out) {
    if (m < 0 || m >= eMatrix_Count || out == nullptr) return;
    std::memcpy(out, m_CurrentMatrix[m].m, sizeof(float) * 16);
}

void Graphics::SetMatrix(int m, const float* in) {
    if (!Graphics_Ready() || in == nullptr || m < eMatrix_View || m > eMatrix_World) return;
    Graphics::Flush();
    std::memcpy(m_CurrentMatrix[m].m, in, sizeof(float) * 16);
    zqMatrix::Multiply(&m_CurrentMatrix[eMatrix_WorldView], &m_CurrentMatrix[eMatrix_World],
                       &m_CurrentMatrix[eMatrix_View]);
    zqMatrix::Multiply(&m_CurrentMatrix[eMatrix_WorldViewProjection], &m_CurrentMatrix[eMatrix_WorldView],
                       &m_CurrentMatrix[eMatrix_Projection]);
    // The winding the cull mode selects depends on the projection's sign.
    if (m == eMatrix_Projection) g_pGLLayer->SetRenderState(eRS_CullMode, g_CullMode);
    float all[eMatrix_Count][16];
    for (int i = 0; i < eMatrix_Count; ++i) std::memcpy(all[i], m_CurrentMatrix[i].m, sizeof all[i]);
    g_pGLLayer->MatricesChanged(m, all);
}

void Graphics::SetViewPort(int x, int y, int w, int h) {
    old_view_port_x = x;
    old_view_port_y = y;
    old_view_port_w = w;
    old_view_port_h = h;
    if (g_pGLLayer == nullptr) return;
    if (g_RenderTargetActive == 1) y = g_WindowHeight - (y + h);
    g_pGLLayer->EnableScissor(true);
    g_pGLLayer->SetViewPort(x, y, w, h);
}

void GR_D3D_Set_View_Port(int x, int y, int w, int h) {
    if (!Graphics_Ready()) return;
    Graphics::Flush();
    g_ViewPortX = x;
    g_ViewPortY = y;
    g_ViewPortW = w;
    g_ViewPortH = h;
    Graphics::SetViewPort(x, y, w, h);
}

void SetViewExtents(float x, float y, float w, float h, float angle) {
    if (std::fabs(angle) < 0.001f) {
        g_roomExtents[0] = RealToInt32(x - 0.999);
        g_roomExtents[1] = RealToInt32(y - 0.999);
        g_roomExtents[2] = RealToInt32(x + 0.999 + w);
        g_roomExtents[3] = RealToInt32(y + 0.999 + h);
        return;
    }
    float radians = angle * kDegToRad;
    float s = std::fabs(std::sin(radians));
    float c = std::fabs(std::cos(radians));
    float bw = s * h + c * w;
    float bh = c * h + s * w;
    g_roomExtents[0] = RealToInt32((w - bw) * 0.5f + x);
    g_roomExtents[2] = RealToInt32((bw + w) * 0.5f + x);
    g_roomExtents[1] = RealToInt32((h - bh) * 0.5f + y);
    g_roomExtents[3] = RealToInt32((bh + h) * 0.5f + y);
}

void GR_D3D_Set_View_Area(float x, float y, float w, float h, float angle) {
    g_ViewAreaX = x;
    g_ViewAreaY = y;
    g_ViewAreaW = w;
    g_ViewAreaH = h;
    g_ViewAreaA = angle;
    SetViewExtents(x, y, w, h, angle);

    float cx = x + 0.5f * w;
    float cy = y + 0.5f * h;
    zqVector3 up{std::sin(-angle * kDegToRad), std::cos(-angle * kDegToRad), 0.0f};
    zqVector3 target{cx, cy, 0.0f};
    float flip = static_cast<float>(g_RenderTargetActive);
    zqMatrix view;
    zqMatrix projection;
    // A perspective needs a width to stand back by and divide by; an empty
    // area falls back to the orthographic form (identity projection).
    if (GR_3DMode && set_perspective && w != 0.0f) {
        zqVector3 eye{cx, cy, -w};
        zqMatrix::LookAtLH(&view, &eye, &target, &up);
        StoreMatrix(eMatrix_View, view);
        g_ProjIsOrtho = false;
        g_ProjNear = 1.0f;
        g_ProjFar = 32000.0f;
        zqMatrix::PerspectiveLH(&projection, 1.0f, flip * (h / w), 1.0f, 32000.0f);
    } else {
        zqVector3 eye{cx, cy, -16000.0f};
        zqMatrix::LookAtLH(&view, &eye, &target, &up);
        StoreMatrix(eMatrix_View, view);
        g_ProjIsOrtho = true;
        g_ProjNear = 1.0f;
        g_ProjFar = 32000.0f;
        // The negative height makes y grow downwards on the window; a surface
        // target (-1) cancels it so that surfaces are stored top-down.
        float height = GR_3DMode ? flip * h : -(flip * h);
        zqMatrix::OrthoLH(&projection, w, height, 1.0f, 32000.0f);
    }
    StoreMatrix(eMatrix_Projection, projection);
}

void DirtyRoomExtents() {
    g_transRoomExtentsDirty = true;
}

void UpdateTransRoomExtents() {
    if (!g_transRoomExtentsDirty) return;
    zqMatrix inverse = m_CurrentMatrix[eMatrix_World];
    inverse.Invert();
    const float* m = inverse.m;
    const int32_t corners[4][2] = {{g_roomExtents[0], g_roomExtents[1]},
                                   {g_roomExtents[2], g_roomExtents[1]},
                                   {g_roomExtents[2], g_roomExtents[3]},
                                   {g_roomExtents[0], g_roomExtents[3]}};
    for (int i = 0; i < 4; ++i) {
        float x = static_cast<float>(corners[i][0]);
        float y = static_cast<float>(corners[i][1]);
        int32_t tx = RealToInt32(x * m[0] + y * m[4] + m[12]);
        int32_t ty = RealToInt32(x * m[1] + y * m[5] + m[13]);
        if (i == 0 || tx < g_transRoomExtents[0]) g_transRoomExtents[0] = tx;
        if (i == 0 || ty < g_transRoomExtents[1]) g_transRoomExtents[1] = ty;
        if (i == 0 || tx > g_transRoomExtents[2]) g_transRoomExtents[2] = tx;
        if (i == 0 || ty > g_transRoomExtents[3]) g_transRoomExtents[3] = ty;
    }
    g_transRoomExtentsDirty = false;
}

namespace {

void OrdinaryClear(uint32_t colour, int stencil, int flags) {
    g_States.SaveStates();
    g_States.SetRenderState(eRS_ColourWriteMask, 15);
    g_States.SetRenderState(eRS_BlendEnable, 0);
    g_States.SetRenderState(eRS_StencilWriteMask, 0xFFFFFFFFu);
    g_States.SetRenderState(eRS_DepthWrite, 1);
    g_States.SetRenderState(eRS_StencilEnable, 1);
    float rgba[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    int buffers = 0;
    if ((flags & eClear_Colour) != 0) {
        g_LastColour = colour;
        for (int i = 0; i < 4; ++i)
            rgba[i] = static_cast<float>((colour >> (8 * i)) & 0xFF) * (1.0f / 255.0f);
        buffers |= eClear_Colour;
    }
    // The depth argument is not used here: depth clears to the far plane.
    if ((flags & eClear_DepthStencil) != 0) buffers |= eClear_DepthStencil;
    g_States.Flush();
    // A viewport covering the whole framebuffer (its sides in either order)
    // clears everything: the scissor box would otherwise keep a stale edge.
    int w = old_view_port_w;
    int h = old_view_port_h;
    bool whole = old_view_port_x == 0 && old_view_port_y == 0 &&
                 (w == g_CurrFBOWidth || h == g_CurrFBOWidth) &&
                 (h == g_CurrFBOHeight || w == g_CurrFBOHeight);
    if (whole) g_pGLLayer->EnableScissor(false);
    g_pGLLayer->Clear(rgba, 1.0f, stencil, buffers);
    if (whole) g_pGLLayer->EnableScissor(true);
    g_States.RestoreStates();
}

// Draws a quad over the whole target with identity matrices, for drivers
// whose clear command misbehaves.
void ManualClear(uint32_t colour, float depth, int flags) {
    zqMatrix view = m_CurrentMatrix[eMatrix_View];
    zqMatrix projection = m_CurrentMatrix[eMatrix_Projection];
    zqMatrix world = m_CurrentMatrix[eMatrix_World];
    g_States.SaveStates();
    g_States.SetRenderState(eRS_DepthTest, 0);
    g_States.SetRenderState(eRS_BlendEnable, 0);
    g_States.SetRenderState(eRS_AlphaTest, 0);
    g_States.SetRenderState(eRS_Lighting, 0);
    g_States.SetRenderState(eRS_CullMode, 0);
    g_States.SetRenderState(eRS_ColourWriteMask, (flags & eClear_Colour) != 0 ? 15 : 0);
    g_States.SetRenderState(eRS_DepthWrite, (flags & eClear_DepthStencil) != 0 ? 1 : 0);
    const zqMatrix identity = zqMatrix::Identity();
    for (int m : {eMatrix_World, eMatrix_View, eMatrix_Projection}) {
        StoreMatrix(m, identity);
        DirtyRoomExtents();
    }
    struct Vertex {
        float x, y, z;
        uint32_t colour;
    };
    static_assert(sizeof(Vertex) == 16);
    const Vertex quad[4] = {
        {-1, -1, depth, colour}, {-1, 1, depth, colour}, {1, -1, depth, colour}, {1, 1, depth, colour}};
    g_States.Flush();
    g_pGLLayer->DrawVertices(5, quad, 4, sizeof(Vertex));
    g_States.RestoreStates();
    StoreMatrix(eMatrix_World, world);
    DirtyRoomExtents();
    StoreMatrix(eMatrix_View, view);
    DirtyRoomExtents();
    StoreMatrix(eMatrix_Projection, projection);
    DirtyRoomExtents();
}

} // namespace

void Graphics::Clear(uint32_t colour, float depth, int stencil, int flags) {
    if (flags == 0 || !Graphics_Ready()) return;
    Graphics::Flush();
    if (g_bManualClear)
        ManualClear(colour, depth, flags);
    else
        OrdinaryClear(colour, stencil, flags);
    ++g_col;
}
