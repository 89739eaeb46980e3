// The GUI's coordinate space (window pixels by default, a chosen GUI size
// stretched over the area the application surface covers, or a fixed scale
// and offset), and the copy of the application surface to the window that
// keeps its aspect ratio.
#pragma once

#include <cstdint>

#include "core/matrix.h"

class Texture;

// Window position to GUI position.
extern zqMatrix g_ScreenToGUITransform;
// The texture of the hardware-style cursor quad (none: the blank texture).
extern Texture* g_MouseCursor;
// Where the application surface was last drawn in the window (edges).
extern int32_t g_Display_x1, g_Display_x2, g_Display_y1, g_Display_y2;

// The GUI transform (scale, then translation), its inverse (window pixels
// from the top-left corner to GUI units), and the scale and offset.
void CalcGUITransformMat(zqMatrix& gui, zqMatrix& inverse, float& scaleX, float& scaleY, float& offsetX,
                         float& offsetY);
// View port, projection and view for the GUI events, and their room extents.
void SetGuiView();
// Recomputes the GUI transform and extents after a GUI setting changed.
void Calc_GUI_Scale();
// Copies the application surface (`surface` gives the size) into the
// rectangle, letter- or pillar-boxed when keepAspect is set.
void RenderSurface_AspectAdjusted(int surface, int x, int y, int w, int h, bool keepAspect, bool unused,
                                  bool setStates);

// Queues a 64 × 64 cursor quad centred on (x, y) with the cursor texture,
// white with the alpha given (0..1).
void DrawHardwareCursor(float x, float y, float alpha);

void GuiView_Reset();
