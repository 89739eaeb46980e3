// Stand-ins for the renderer (drawing, views and cameras, the graphics device,
// shaders and textures), until the module is built: each accepts its call and
// does nothing, or answers "none" (or succeeds where the caller would otherwise
// stop). The module deletes each stand-in as it defines the real function; the
// build refuses a function defined both here and in the module
// (tools/check_duplicates.sh).
#include "core/builtin_services.h"
#include "render/texture_page_services.h"
#include "render/texture_table.h"
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

uint32_t* Graphics::GrabScreenRect(int, int, int, int, int* outW, int* outH) {
    if (outW != nullptr) *outW = 0;
    if (outH != nullptr) *outH = 0;
    return nullptr;
}

// ---- asked for through world/datafile/game_data_services.h

void Texture_Load(ImageReader&) {}

void Camera_ResetForLoad() {}

void GR_Window_Set_Color(uint32_t) {}

// ---- asked for through world/motion/render_services.h

void GR_Draw_Primitive_Begin(int, long) {}

void GR_Draw_Vertex(float, float) {}

void GR_Draw_Primitive_End() {}

// ---- asked for through world/run/startup_services.h

void INITIALIZE_Graphics_Draw() {}

void INITIALIZE_Graphics_Window() {}

void CameraManager_SetupVTLFunctions() {}

void InitGraphicFunctions() {}

void Init3DFunctions() {}

void InitBufferVertexFunctions() {}

void Draw_SetInitialColour() {}

void Effects_Clear() {}

void Camera_StartRoom(CRoom*) {}

void Camera_EndRoom(CRoom*) {}

void Room_SizeDrawing() {}

void FINALIZE_Graphics_Texture() {}

void FINALIZE_Graphics_Text() {}

// ---- asked for through world/step/step_services.h

void Draw_Room() {}

bool Camera_ViewQuad(int, float*) {
    return false;
}

// The script texture table is not built yet: no id exists.
bool GR_Texture_Exists(int) {
    return false;
}

Texture* GR_Texture_Get_Surface(int) {
    return nullptr;
}

// ---- asked for through render/texture_page_services.h
// Awaiting the texture-page work: until the "TPAG" chunk is read, no file
// offset names a page entry.

ZQTPageEntry* TPageEntry_AtOffset(uint32_t) {
    return nullptr;
}
