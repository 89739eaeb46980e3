// What cameras ask of the renderer: the view area and the two matrices they
// hand over, and whether drawing goes into a surface. The renderer defines
// these (render/camera_render.cpp).
#pragma once

struct zqMatrix;

// Stores the renderer's view area (room position, size, angle in degrees) and
// the room extents that area covers.
void Camera_SetViewArea(float x, float y, float w, float h, float angle);
// Sets the renderer's view and projection matrices, in that order.
void Camera_SetMatrices(const zqMatrix& view, const zqMatrix& projection);
// True while drawing goes into a surface rather than to the window.
bool Camera_DrawingToSurface();
