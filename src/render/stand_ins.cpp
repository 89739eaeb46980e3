// Stand-ins for the renderer (drawing, views and cameras, the graphics device,
// shaders and textures), until the module is built: each accepts its call and
// does nothing, or answers "none" (or succeeds where the caller would otherwise
// stop). The module deletes each stand-in as it defines the real function; the
// build refuses a function defined both here and in the module
// (tools/check_duplicates.sh).
#include "core/builtin_services.h"
#include "render/graphics_device.h"
#include "render/surface_services.h"
#include "render/view.h"
#include "world/builtins/game_builtin_services.h"
#include "world/datafile/game_data_services.h"
#include "world/input/input_state.h"
#include "world/motion/render_services.h"
#include "world/run/startup_services.h"

// ---- asked for through core/builtin_services.h

float g_curRoomFPS = 0.0f;

// ---- asked for through world/run/startup_services.h

void InitBufferVertexFunctions() {}

