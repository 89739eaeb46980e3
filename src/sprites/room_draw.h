// The frame's drawing of the running room: the application surface, the
// pre-draw events, the room once per visible view (or once for the whole
// room), the post-draw events, the copy of the application surface to the
// window, the GUI events and the cursor sprite. Drawing the room means the
// draw-begin events, the layers (or, in a room without layers, the legacy
// backgrounds, tiles, particle systems and instances merged by depth) and the
// draw-end events. Draw_Room itself is declared in world/step/step_services.h.
#pragma once

#include <cstdint>

#include "render/bitmap32.h" // tagZQRECT

class CInstance;

// Draw event subtypes (event type 8), in the order a frame runs them: pre-draw
// once; per view draw begin, draw, draw end; post-draw once; GUI begin, GUI,
// GUI end.
inline constexpr int kDrawEventDraw = 0;
inline constexpr int kDrawEventGUI = 64;
inline constexpr int kDrawEventBegin = 72;
inline constexpr int kDrawEventEnd = 73;
inline constexpr int kDrawEventGUIBegin = 74;
inline constexpr int kDrawEventGUIEnd = 75;
inline constexpr int kDrawEventPre = 76;
inline constexpr int kDrawEventPost = 77;

// The error shown when a frame's draw events leave a surface target set.
inline constexpr const char* kUnbalancedSurfaceStack =
    "Unbalanced surface stack. You MUST use surface_reset_target() for each set.";

// Draws the room for the current view over `rect`.
void DrawTheRoom(tagZQRECT* rect);
// The legacy depth merges of a room without layers, largest depth first: at
// equal depth an instance is drawn first, then the particle systems, then
// the tile.
void DoSlowDrawRoom(tagZQRECT* rect);
void DrawInstancesParticlesOnly(tagZQRECT* rect);
void DrawInstancesOnly(tagZQRECT* rect);

// Runs a draw event (type, subtype) on every drawable instance that has it:
// the active list from its tail, or the instance elements of each visible
// layer from the highest depth, framed by the layer's shader and scripts.
void ExecuteDrawEvent(tagZQRECT* rect, int type, int subtype);
// The same, clearing the render target to the window colour just before the
// first event that runs when clearFirst is set; true when it cleared.
bool ExecutePreDrawEvent(tagZQRECT* rect, int type, int subtype, bool clearFirst);

// Draws one instance when it is drawable (not marked, not deactivated,
// visible): through its draw event when its object has one, else its sprite.
// The fast sprite draw takes the image index floored, or truncated toward
// zero when truncateFrame is set.
void RoomDraw_Instance(CInstance* instance, bool truncateFrame = false);

// The application surface size kept while the surface is switched off, and
// the flag set while the frame creates the surface.
extern int32_t g_OldApplicationWidth, g_OldApplicationHeight;
extern bool g_creatingApplicationSurface;

void RoomDraw_Reset();
