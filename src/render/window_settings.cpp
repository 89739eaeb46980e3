// The window settings kept for scripts: caption, size limits, rectangle.
#include "render/window_settings.h"

#include "core/header_globals.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"
#include "render/window_services.h"

char* g_pWindowCaption = nullptr;
bool g_DontMoveWindow = false;

void GR_Window_Set_Caption(const char* text, bool force) {
    if (!(g_IDE_Version == 2 || g_IDE_Version == 3 || force)) return;
    if (text == nullptr) text = "";
    // Copied before the old copy goes: the text may be the kept caption itself.
    char* copy = ZQStrDup(text);
    if (copy == nullptr) return;
    ZQ_Free(g_pWindowCaption);
    g_pWindowCaption = copy;
    GR_Window_Set_CaptionM(g_pWindowCaption, force);
}

const char* GR_Window_Get_Caption() {
    return g_pWindowCaption;
}

void GR_Window_Set_Min_Width(int width) {
    g_WindowMinWidth = width;
    GR_Window_Set_Min_WidthM(width);
}

void GR_Window_Set_Max_Width(int width) {
    g_WindowMaxWidth = width;
    GR_Window_Set_Max_WidthM(width);
}

void GR_Window_Set_Min_Height(int height) {
    g_WindowMinHeight = height;
    GR_Window_Set_Min_HeightM(height);
}

void GR_Window_Set_Max_Height(int height) {
    g_WindowMaxHeight = height;
    GR_Window_Set_Max_HeightM(height);
}

void GR_Window_Set_Rectangle(int x, int y, int width, int height) {
    GR_Window_Set_Position(x, y);
    GR_Window_Set_Size(width, height);
    g_DontMoveWindow = true;
}

void WindowSettings_Reset() {
    ZQ_Free(g_pWindowCaption);
    g_pWindowCaption = nullptr;
    g_DontMoveWindow = false;
}
