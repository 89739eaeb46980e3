// The display and window built-ins: display queries (mostly fixed answers on
// this platform), the automatic drawing and frame-timing switches, the
// window's state, caption, colour, limits and geometry, the pointer in window
// and view coordinates, screen captures and single screen pixels. The window
// itself is reached through render/window_services.h, so every handler
// answers the same with no window at all.
//
// [SECTION] display
// [SECTION] window state and caption
// [SECTION] window geometry and the pointer
// [SECTION] screen capture
// [SECTION] handler table
#include <cstdint>
#include <cstring>

#include "core/arguments.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"
#include "core/run_globals.h"
#include "core/timing.h"
#include "library/drawing_builtins.h"
#include "render/graphics_device.h"
#include "render/image_decode.h"
#include "render/read_back.h"
#include "render/window_services.h"
#include "render/window_settings.h"
#include "render/window_views.h"
#include "world/run/main_loop.h"
#include "world/step/input_passes.h"

void ZQVTL_window_set_caption(const char* caption) {
    GR_Window_Set_Caption(caption, false);
}

namespace {

using Args = RValue*;

void Real(RValue& r, double v) {
    ZQSetResultReal(r, v);
}
int32_t I(Args a, int i) {
    return ZQGetInt32(a, i);
}

#define ZQ_DISPLAY(name)                                                                                     \
    void name([[maybe_unused]] RValue& r, CInstance*, CInstance*, int, [[maybe_unused]] Args a)

// ---------------------------------------------------------------------------
// [SECTION] display

ZQ_DISPLAY(F_DisplayGetWidth) {
    Real(r, GR_Display_Get_Width());
}
ZQ_DISPLAY(F_DisplayGetHeight) {
    Real(r, GR_Display_Get_Height());
}
ZQ_DISPLAY(F_DisplayGetColordepth) {
    Real(r, DisplayColorDepth());
}
ZQ_DISPLAY(F_DisplayGetFrequency) {
    Real(r, DisplayFrequency());
}
ZQ_DISPLAY(F_DisplayGetOrientation) {
    Real(r, GetOrientation());
}

// The display layer takes any mode without changing anything; the renderer
// is still reset inside the call, which frees every surface.
void AnswerAndReset(RValue& r, bool accepted) {
    if (accepted) GR_D3D_Reset();
    Real(r, accepted ? 1.0 : 0.0);
}
ZQ_DISPLAY(F_DisplaySetSize) {
    AnswerAndReset(r, DisplaySetSize(I(a, 0), I(a, 1)));
}
ZQ_DISPLAY(F_DisplaySetColordepth) {
    AnswerAndReset(r, DisplaySetColorDepth(I(a, 0)));
}
ZQ_DISPLAY(F_DisplaySetFrequency) {
    AnswerAndReset(r, DisplaySetFrequency(I(a, 0)));
}
ZQ_DISPLAY(F_DisplaySetAll) {
    const int w = I(a, 0), h = I(a, 1), frequency = I(a, 2), depth = I(a, 3);
    AnswerAndReset(r, DisplayTest(w, h, frequency, depth) && DisplaySet());
}
ZQ_DISPLAY(F_DisplayTestAll) {
    Real(r, DisplayTest(I(a, 0), I(a, 1), I(a, 2), I(a, 3)) ? 1.0 : 0.0);
}
// Only asks for the reset: the main loop performs it at the start of the
// next frame that is not paused.
ZQ_DISPLAY(F_DisplayReset) {
    Graphics::SetMultiSample(I(a, 0) & 0xFF);
    g_Sync = ZQGetBool(a, 1) ? 1 : 0;
    g_DoReset = 1;
}
ZQ_DISPLAY(F_DisplayMouseGetX) {
    Real(r, DisplayGetMouseX());
}
ZQ_DISPLAY(F_DisplayMouseGetY) {
    Real(r, DisplayGetMouseY());
}
ZQ_DISPLAY(F_DisplayMouseSet) {
    DisplaySetMouse(I(a, 0), I(a, 1));
}
ZQ_DISPLAY(F_DrawEnableDrawEvent) {
    Draw_Automatic = ZQGetBool(a, 0);
}
// Settings of another platform's display: fixed answers, values not read.
ZQ_DISPLAY(F_DrawGetWindowsVertexBufferMethod) {
    Real(r, 0);
}
ZQ_DISPLAY(F_DrawGetWindowsAlternateSync) {
    Real(r, 0);
}
ZQ_DISPLAY(F_DrawSetWindowsVertexBufferMethod) {
    Real(r, 0);
}
ZQ_DISPLAY(F_DrawSetWindowsAlternateSync) {
    Real(r, 0);
}
ZQ_DISPLAY(F_DisplaySetUiVisibility) {
    Real(r, 0);
}

// Method 0 is sleeping out each frame, 1 letting the buffer swap count
// vertical blanks; any other value changes nothing. The getter answers the
// method in force in the same numbering, so that a method read back is the
// method that was set.
ZQ_DISPLAY(F_DisplaySetTimingMethod) {
    const int method = I(a, 0);
    if (method == 0) g_ForceSleepTiming = true;
    if (method == 1) g_ForceSleepTiming = false;
}
ZQ_DISPLAY(F_DisplayGetTimingMethod) {
    Real(r, g_ForceSleepTiming ? 0 : 1);
}
ZQ_DISPLAY(F_DisplaySetSleepMargin) {
    g_SleepMargin = I(a, 0);
}
ZQ_DISPLAY(F_DisplayGetSleepMargin) {
    Real(r, static_cast<uint32_t>(g_SleepMargin));
}

// ---------------------------------------------------------------------------
// [SECTION] window state and caption

// The window's frame is the platform's: these are accepted and ignored.
ZQ_DISPLAY(F_WindowSetVisible) {}
ZQ_DISPLAY(F_WindowSetShowborder) {}
ZQ_DISPLAY(F_WindowSetShowicons) {}
ZQ_DISPLAY(F_WindowSetStayontop) {}
ZQ_DISPLAY(F_WindowSetSizeable) {}
ZQ_DISPLAY(F_WindowDefault) {}
ZQ_DISPLAY(F_WindowGetVisible) {
    Real(r, g_Visible ? 1 : 0);
}
ZQ_DISPLAY(F_WindowGetShowborder) {
    Real(r, 0);
}
ZQ_DISPLAY(F_WindowGetShowicons) {
    Real(r, 0);
}
ZQ_DISPLAY(F_WindowGetStayontop) {
    Real(r, 0);
}
ZQ_DISPLAY(F_WindowGetSizeable) {
    Real(r, 0);
}
ZQ_DISPLAY(F_WindowSetFullscreen) {
    GR_Window_Set_FullScreen(ZQGetBool(a, 0));
}
ZQ_DISPLAY(F_WindowGetFullscreen) {
    Real(r, GR_Window_Get_FullScreen() ? 1 : 0);
}
ZQ_DISPLAY(F_WindowSetCaption) {
    ZQVTL_window_set_caption(ZQGetString(a, 0));
}
ZQ_DISPLAY(F_WindowGetCaption) {
    const char* caption = GR_Window_Get_Caption();
    ZQSetString(&r, caption != nullptr ? caption : "");
}
ZQ_DISPLAY(F_WindowSetCursor) {
    GR_Window_Set_Cursor(I(a, 0));
}
ZQ_DISPLAY(F_WindowGetCursor) {
    Real(r, GR_Window_Get_Cursor());
}
ZQ_DISPLAY(F_WindowSetColor) {
    GR_Window_Set_Color(static_cast<uint32_t>(I(a, 0)));
}
ZQ_DISPLAY(F_WindowGetColor) {
    Real(r, GR_Window_Get_Color());
}
ZQ_DISPLAY(F_WindowSetMinWidth) {
    GR_Window_Set_Min_Width(I(a, 0));
}
ZQ_DISPLAY(F_WindowSetMaxWidth) {
    GR_Window_Set_Max_Width(I(a, 0));
}
ZQ_DISPLAY(F_WindowSetMinHeight) {
    GR_Window_Set_Min_Height(I(a, 0));
}
ZQ_DISPLAY(F_WindowSetMaxHeight) {
    GR_Window_Set_Max_Height(I(a, 0));
}

// ---------------------------------------------------------------------------
// [SECTION] window geometry and the pointer

ZQ_DISPLAY(F_WindowSetPosition) {
    GR_Window_Set_Position(I(a, 0), I(a, 1));
}
ZQ_DISPLAY(F_WindowSetSize) {
    GR_Window_Set_Size(I(a, 0), I(a, 1));
}
ZQ_DISPLAY(F_WindowSetRectangle) {
    GR_Window_Set_Rectangle(I(a, 0), I(a, 1), I(a, 2), I(a, 3));
}
ZQ_DISPLAY(F_WindowCenter) {
    GR_Window_Center();
}
ZQ_DISPLAY(F_WindowGetX) {
    Real(r, GR_Window_Get_X());
}
ZQ_DISPLAY(F_WindowGetY) {
    Real(r, GR_Window_Get_Y());
}
ZQ_DISPLAY(F_WindowGetWidth) {
    Real(r, GR_Window_Get_Width());
}
ZQ_DISPLAY(F_WindowGetHeight) {
    Real(r, GR_Window_Get_Height());
}

// A one-row array of 8 reals per display; no display gives an array of
// length 0.
ZQ_DISPLAY(F_DisplayGetVisibleRects) {
    const double left = ZQGetReal(a, 0), top = ZQGetReal(a, 1);
    const double right = ZQGetReal(a, 2), bottom = ZQGetReal(a, 3);
    double* rects = nullptr;
    const int count = GR_Display_Get_Visible_Rects(left, top, right, bottom, &rects);
    r.pRefArray = ARRAY_RefAlloc(&r);
    r.flags = 0;
    r.kind = r.pRefArray != nullptr ? VALUE_ARRAY : VALUE_UNDEFINED;
    if (r.pRefArray != nullptr && rects != nullptr) {
        // From the last element down, so the row grows once.
        for (int i = count * 8 - 1; i >= 0; --i) {
            RValue element = RValue_Real(rects[i]);
            SET_RValue_Array(&r, &element, i);
        }
    }
    ZQ_Free(rects);
}
ZQ_DISPLAY(F_WindowMouseGetX) {
    Real(r, GR_Window_Mouse_Get_X());
}
ZQ_DISPLAY(F_WindowMouseGetY) {
    Real(r, GR_Window_Mouse_Get_Y());
}
ZQ_DISPLAY(F_WindowMouseSet) {
    GR_Window_Mouse_Set(I(a, 0), I(a, 1));
}
ZQ_DISPLAY(F_WindowViewMouseGetX) {
    Real(r, GR_Window_View_Mouse_Get_X(I(a, 0)));
}
ZQ_DISPLAY(F_WindowViewMouseGetY) {
    Real(r, GR_Window_View_Mouse_Get_Y(I(a, 0)));
}
// Placing the pointer by room position is not offered here: the call is
// accepted and nothing is read (window_mouse_set places it by window pixel).
ZQ_DISPLAY(F_WindowViewMouseSet) {}
ZQ_DISPLAY(F_WindowViewsMouseSet) {}
ZQ_DISPLAY(F_WindowViewsMouseGetX) {
    Real(r, GR_Window_Views_Mouse_Get_X(0));
}
ZQ_DISPLAY(F_WindowViewsMouseGetY) {
    Real(r, GR_Window_Views_Mouse_Get_Y(0));
}

// ---------------------------------------------------------------------------
// [SECTION] screen capture

// Grabs (x, y, w, h) of the frame being drawn, makes it opaque and writes
// it as a PNG into the save area (a name outside the save area is refused
// there). A grab that returns nothing writes nothing.
void SaveScreenRect(const char* name, int x, int y, int w, int h) {
    if (name == nullptr) return;
    uint32_t* pixels = Graphics::GrabScreenRect(wind_regionwidth, wind_regionheight, x, y, &w, &h);
    if (pixels == nullptr) return;
    const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
    for (size_t i = 0; i < count; ++i) pixels[i] |= 0xFF000000u;
    WritePNG32(name, pixels, w, h);
    ZQ_Free(pixels);
}

ZQ_DISPLAY(F_ScreenSave) {
    SaveScreenRect(ZQGetString(a, 0), 0, 0, wind_regionwidth, wind_regionheight);
}

// The rectangle is clipped to the window region first; nothing is saved
// when nothing of it remains. Sums are taken in 64 bits so that no script
// value can wrap them.
ZQ_DISPLAY(F_ScreenSavePart) {
    const char* name = ZQGetString(a, 0);
    int64_t x = I(a, 1), y = I(a, 2), w = I(a, 3), h = I(a, 4);
    const int64_t W = wind_regionwidth, H = wind_regionheight;
    if (x < 0) {
        w += x;
        x = 0;
    }
    if (y < 0) {
        h += y;
        y = 0;
    }
    if (x + w > W) w = W - x;
    if (y + h > H) h = H - y;
    if (w <= 0 || h <= 0) return;
    SaveScreenRect(name, static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h));
}

// The room position through the view being drawn, read as 0xAABBGGRR.
uint32_t ScreenPixel(Args a) {
    int wx = 0, wy = 0;
    GR_Window_View_Convert_World(Current_View, ZQGetFloat(a, 0), ZQGetFloat(a, 1), wx, wy);
    return GR_D3D_GetPixel(wx, wy);
}
ZQ_DISPLAY(F_DrawGetPixel) {
    Real(r, ScreenPixel(a) & 0xFFFFFFu);
}
ZQ_DISPLAY(F_DrawGetPixelExt) {
    Real(r, ScreenPixel(a));
}

#undef ZQ_DISPLAY

// ---------------------------------------------------------------------------
// [SECTION] handler table

const DrawingHandlerRow kDisplay[] = {
    {"F_DisplayGetWidth", F_DisplayGetWidth},
    {"F_DisplayGetHeight", F_DisplayGetHeight},
    {"F_DisplayGetColordepth", F_DisplayGetColordepth},
    {"F_DisplayGetFrequency", F_DisplayGetFrequency},
    {"F_DisplayGetOrientation", F_DisplayGetOrientation},
    {"F_DisplaySetSize", F_DisplaySetSize},
    {"F_DisplaySetColordepth", F_DisplaySetColordepth},
    {"F_DisplaySetFrequency", F_DisplaySetFrequency},
    {"F_DisplaySetAll", F_DisplaySetAll},
    {"F_DisplayTestAll", F_DisplayTestAll},
    {"F_DisplayReset", F_DisplayReset},
    {"F_DisplayMouseGetX", F_DisplayMouseGetX},
    {"F_DisplayMouseGetY", F_DisplayMouseGetY},
    {"F_DisplayMouseSet", F_DisplayMouseSet},
    {"F_DrawEnableDrawEvent", F_DrawEnableDrawEvent},
    {"F_DrawGetWindowsVertexBufferMethod", F_DrawGetWindowsVertexBufferMethod},
    {"F_DrawGetWindowsAlternateSync", F_DrawGetWindowsAlternateSync},
    {"F_DrawSetWindowsVertexBufferMethod", F_DrawSetWindowsVertexBufferMethod},
    {"F_DrawSetWindowsAlternateSync", F_DrawSetWindowsAlternateSync},
    {"F_DisplaySetUiVisibility", F_DisplaySetUiVisibility},
    {"F_DisplaySetTimingMethod", F_DisplaySetTimingMethod},
    {"F_DisplayGetTimingMethod", F_DisplayGetTimingMethod},
    {"F_DisplaySetSleepMargin", F_DisplaySetSleepMargin},
    {"F_DisplayGetSleepMargin", F_DisplayGetSleepMargin},
    {"F_WindowSetVisible", F_WindowSetVisible},
    {"F_WindowGetVisible", F_WindowGetVisible},
    {"F_WindowSetFullscreen", F_WindowSetFullscreen},
    {"F_WindowGetFullscreen", F_WindowGetFullscreen},
    {"F_WindowSetShowborder", F_WindowSetShowborder},
    {"F_WindowGetShowborder", F_WindowGetShowborder},
    {"F_WindowSetShowicons", F_WindowSetShowicons},
    {"F_WindowGetShowicons", F_WindowGetShowicons},
    {"F_WindowSetStayontop", F_WindowSetStayontop},
    {"F_WindowGetStayontop", F_WindowGetStayontop},
    {"F_WindowSetSizeable", F_WindowSetSizeable},
    {"F_WindowGetSizeable", F_WindowGetSizeable},
    {"F_WindowSetCaption", F_WindowSetCaption},
    {"F_WindowGetCaption", F_WindowGetCaption},
    {"F_WindowSetCursor", F_WindowSetCursor},
    {"F_WindowGetCursor", F_WindowGetCursor},
    {"F_WindowSetColor", F_WindowSetColor},
    {"F_WindowGetColor", F_WindowGetColor},
    {"F_WindowSetMinWidth", F_WindowSetMinWidth},
    {"F_WindowSetMaxWidth", F_WindowSetMaxWidth},
    {"F_WindowSetMinHeight", F_WindowSetMinHeight},
    {"F_WindowSetMaxHeight", F_WindowSetMaxHeight},
    {"F_WindowSetPosition", F_WindowSetPosition},
    {"F_WindowSetSize", F_WindowSetSize},
    {"F_WindowSetRectangle", F_WindowSetRectangle},
    {"F_WindowCenter", F_WindowCenter},
    {"F_WindowDefault", F_WindowDefault},
    {"F_WindowGetX", F_WindowGetX},
    {"F_WindowGetY", F_WindowGetY},
    {"F_WindowGetWidth", F_WindowGetWidth},
    {"F_WindowGetHeight", F_WindowGetHeight},
    {"F_DisplayGetVisibleRects", F_DisplayGetVisibleRects},
    {"F_WindowMouseGetX", F_WindowMouseGetX},
    {"F_WindowMouseGetY", F_WindowMouseGetY},
    {"F_WindowMouseSet", F_WindowMouseSet},
    {"F_WindowViewMouseGetX", F_WindowViewMouseGetX},
    {"F_WindowViewMouseGetY", F_WindowViewMouseGetY},
    {"F_WindowViewMouseSet", F_WindowViewMouseSet},
    {"F_WindowViewsMouseGetX", F_WindowViewsMouseGetX},
    {"F_WindowViewsMouseGetY", F_WindowViewsMouseGetY},
    {"F_WindowViewsMouseSet", F_WindowViewsMouseSet},
    {"F_ScreenSave", F_ScreenSave},
    {"F_ScreenSavePart", F_ScreenSavePart},
    {"F_DrawGetPixel", F_DrawGetPixel},
    {"F_DrawGetPixelExt", F_DrawGetPixelExt},
};

} // namespace

std::span<const DrawingHandlerRow> DisplayBuiltins() {
    return kDisplay;
}
