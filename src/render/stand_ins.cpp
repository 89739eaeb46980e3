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
#include "world/step/step_services.h"

// ---- asked for through core/builtin_services.h

float g_curRoomFPS = 0.0f;

// No views are drawn yet, so room coordinates are the window's.
int GR_Window_Views_Mouse_Get_X(int device) {
    return device >= 0 && device < kIOMouseDevices ? g_MousePosX[device] : 0;
}

int GR_Window_Views_Mouse_Get_Y(int device) {
    return device >= 0 && device < kIOMouseDevices ? g_MousePosY[device] : 0;
}

// ---- asked for through world/builtins/game_builtin_services.h

int GR_Window_Get_Region_Width() {
    return 0;
}

int GR_Window_Get_Region_Height() {
    return 0;
}

// ---- asked for through world/datafile/game_data_services.h

void GR_Window_Set_Color(uint32_t) {}

// ---- asked for through world/run/startup_services.h

void INITIALIZE_Graphics_Window() {}

void InitBufferVertexFunctions() {}

void Effects_Clear() {}

void Room_SizeDrawing() {}

// ---- asked for through world/step/step_services.h

void Draw_Room() {}

// ---- asked for through render/surface_services.h (cameras and the GUI view)

// No cameras yet: the default camera's rectangle is the plain view area.
void UpdateDefaultCamera(float x, float y, float w, float h, float angle) {
    GR_D3D_Set_View_Area(x, y, w, h, angle);
}

void SetGuiView() {
    GR_D3D_Set_View_Port(0, 0, g_DeviceWidth, g_DeviceHeight);
    GR_D3D_Set_View_Area(0, 0, static_cast<float>(g_DeviceWidth), static_cast<float>(g_DeviceHeight), 0);
}
