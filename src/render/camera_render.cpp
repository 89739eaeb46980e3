// The renderer's side of cameras (declared in room/camera_services.h): the
// view area and matrices a camera hands over.
#include "render/gl_layer.h"
#include "render/view.h"
#include "room/camera_services.h"

void Camera_SetViewArea(float x, float y, float w, float h, float angle) {
    g_ViewAreaX = x;
    g_ViewAreaY = y;
    g_ViewAreaW = w;
    g_ViewAreaH = h;
    g_ViewAreaA = angle;
    SetViewExtents(x, y, w, h, angle);
}

void Camera_SetMatrices(const zqMatrix& view, const zqMatrix& projection) {
    Graphics::SetMatrix(eMatrix_View, view.m);
    Graphics::SetMatrix(eMatrix_Projection, projection.m);
}

bool Camera_DrawingToSurface() {
    return g_RenderTargetActive == -1;
}
