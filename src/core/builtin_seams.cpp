// Stand-ins for what the built-in variables and named constants need from
// modules that do not define it yet (see core/builtin_services.h). Each owner
// removes its part of this file when it defines the real one.
#include "core/builtin_services.h"

#include "world/input_state.h"

// Renderer and fonts.
float g_curRoomFPS = 0.0f;
int32_t g_nFontTextureSize = 1024;

// No views are drawn yet, so room coordinates are the window's.
int GR_Window_Views_Mouse_Get_X(int device) {
    return device >= 0 && device < kIOMouseDevices ? g_MousePosX[device] : 0;
}
int GR_Window_Views_Mouse_Get_Y(int device) {
    return device >= 0 && device < kIOMouseDevices ? g_MousePosY[device] : 0;
}

// No window yet.
int Platform_WindowWidth() {
    return 0;
}
int Platform_WindowHeight() {
    return 0;
}

// Resource tables not loaded yet: no such resource.
int Sprite_Find(const char*) {
    return -1;
}
int Sound_Find(const char*) {
    return -1;
}
int Audio_Find(const char*) {
    return -1;
}
int Background_Find(const char*) {
    return -1;
}
int Font_Find(const char*) {
    return -1;
}
