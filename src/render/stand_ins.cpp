// Stand-ins for the parts of the OpenGL device the platform shell calls
// before the device exists: the size globals and flags keep their values,
// and the render-buffer stack does nothing (the window's framebuffer stays
// bound, which is what every frame of the shell wants).
#include "render/shell_services.h"

int32_t g_DeviceWidth = 0, g_DeviceHeight = 0;
int32_t g_ClientWidth = 0, g_ClientHeight = 0;
int32_t g_DisplayWidth = 0, g_DisplayHeight = 0;
bool g_fFlip = true;
int32_t g_UsingGL2 = 0;

void pushRenderBufferStack() {}
void popRenderBufferStack() {}
void bindFBO(uint32_t, int, int) {}
