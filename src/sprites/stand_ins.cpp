// Stand-ins for sprites, backgrounds and tilesets, fonts and text, and
// particles, until the module is built: each accepts its call and does nothing,
// or answers "none" (or succeeds where the caller would otherwise stop). The
// module deletes each stand-in as it defines the real function; the build
// refuses a function defined both here and in the module
// (tools/check_duplicates.sh).
#include "render/surface_services.h"
#include "sprites/layer_draw.h"
#include "world/run/startup_services.h"

// ---- asked for through world/run/startup_services.h

void FINALIZE_Sprite_Class() {}

// ---- asked for through sprites/layer_draw.h (the layer drawing replaces it)

void DrawRoomLayers(tagZQRECT*) {}
