// The renderer's current matrices, the viewport, the 2D view area (the view
// and projection for a room rectangle, optionally rotated), the room extents
// used for culling, and clearing of the current render target.
#pragma once

#include <cstdint>

#include "core/matrix.h"

// eMatrix: 0 view, 1 projection, 2 world, 3 world × view, 4 world × view ×
// projection (3 and 4 are derived).
enum eMatrix : int {
    eMatrix_View = 0,
    eMatrix_Projection = 1,
    eMatrix_World = 2,
    eMatrix_WorldView = 3,
    eMatrix_WorldViewProjection = 4,
    eMatrix_Count = 5,
};

// eClearFlags: bit 0 colour, bit 1 depth and stencil.
enum eClearFlags : int {
    eClear_Colour = 1,
    eClear_DepthStencil = 2,
};

extern zqMatrix m_CurrentMatrix[eMatrix_Count];
// The viewport as the device layer last set it (window coordinates, origin top left).
extern int32_t g_ViewPortX, g_ViewPortY, g_ViewPortW, g_ViewPortH;
// The values last passed to Graphics::SetViewPort.
extern int32_t old_view_port_x, old_view_port_y, old_view_port_w, old_view_port_h;
// The view area last set: room position, size, angle in degrees.
extern float g_ViewAreaX, g_ViewAreaY, g_ViewAreaW, g_ViewAreaH, g_ViewAreaA;
// Left, top, right, bottom of the room rectangle the view area covers.
extern int32_t g_roomExtents[4];
// g_roomExtents through the inverse world matrix: min x, min y, max x, max y.
extern int32_t g_transRoomExtents[4];
extern bool g_transRoomExtentsDirty;
extern bool g_ProjIsOrtho;
extern float g_ProjNear, g_ProjFar;
// The colour of the last colour clear, and the number of clears.
extern uint32_t g_LastColour;
extern int32_t g_col;

namespace Graphics {
void GetMatrix(int m, float* out);
// Flushes, stores matrix m (0-2; the derived 3 and 4 are recomputed) and tells
// the device layer; a projection change re-applies the cull mode. Nothing
// before the window is open.
void SetMatrix(int m, const float* in);
// Records the rectangle and sets the device viewport and scissor box to it
// (y flipped for the window).
void SetViewPort(int x, int y, int w, int h);
// Clears the current target inside the viewport (whole target when the
// viewport covers it).
void Clear(uint32_t colour, float depth, int stencil, int flags);
} // namespace Graphics

void GR_D3D_Set_View_Port(int x, int y, int w, int h);
// Builds the view and projection matrices for the room rectangle.
void GR_D3D_Set_View_Area(float x, float y, float w, float h, float angle);
// Computes g_roomExtents only.
void SetViewExtents(float x, float y, float w, float h, float angle);
void DirtyRoomExtents();
void UpdateTransRoomExtents();
