// The main window on SDL2: header options, sizing, resize rules, full screen.
//
// Full screen is SDL's desktop full screen (the window covers its display at
// the desktop's mode). A game's wish (GR_Window_Set_FullScreen) only records
// itself and asks for a display reset; the reset switches the window when the
// wish and the window differ, and only in a window the header made
// resizable (bit 6): without it the recorded state changes, the window never.
#include "platform/window.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/console.h"
#include "core/header_globals.h"
#include "core/memory_manager.h"
#include "core/real_to_int.h"
#include "platform/gl_view.h"
#include "platform/input_capture.h"
#include "render/gl_layer.h"
#include "render/graphics_device.h"
#include "render/render_settings.h"
#include "world/run/main_loop.h"
#include "world/run/startup_services.h"

int gMainWindowCursor = 0;
bool wind_fullscreen = false;
int32_t g_WindowWidth = 0;
int32_t wind_regionwidth = 0;
int32_t wind_regionheight = 0;
int32_t g_WindowMinWidth = 0;
int32_t g_WindowMaxWidth = 0;
int32_t g_WindowMinHeight = 0;
int32_t g_WindowMaxHeight = 0;
bool g_FS_Flags_AllowDockAndMenuPopup = false;
bool g_NeedsResizeAfterFullScreen = false;
bool PassedInitialSetup = false;

namespace {

bool HeaderFlag(uint32_t bit) {
    return (g_InitialScreenFlags & bit) != 0;
}

SDL_Window* MainWindow() {
    return ZQGLView::Main() != nullptr ? ZQGLView::Main()->Window() : nullptr;
}

// The bounds of the window's display (the first display without a window).
bool DisplayBounds(SDL_Window* window, SDL_Rect* bounds, bool usable) {
    int display = window != nullptr ? SDL_GetWindowDisplayIndex(window) : 0;
    if (display < 0) display = 0;
    const int failed =
        usable ? SDL_GetDisplayUsableBounds(display, bounds) : SDL_GetDisplayBounds(display, bounds);
    return failed == 0;
}

void ApplyCursorChoice() {
    if (g_CursorHidden || gMainWindowCursor == -1)
        HideMouseCursor();
    else
        ShowMouseCursor();
}

void ApplyLimits(SDL_Window* window) {
    SDL_SetWindowMinimumSize(window, std::max(1, g_WindowMinWidth), std::max(1, g_WindowMinHeight));
    // SDL takes 0 as "no maximum" on either axis only together; a large
    // bound stands for none.
    constexpr int kNone = 16384;
    SDL_SetWindowMaximumSize(window, g_WindowMaxWidth > 0 ? g_WindowMaxWidth : kNone,
                             g_WindowMaxHeight > 0 ? g_WindowMaxHeight : kNone);
}

// The main display's size: as the view recorded it, else the first
// display's desktop mode while SDL's video is up, else the header's screen
// size.
void DisplaySize(int* width, int* height) {
    if (g_DisplayWidth > 0 && g_DisplayHeight > 0) {
        *width = g_DisplayWidth;
        *height = g_DisplayHeight;
        return;
    }
    SDL_DisplayMode mode{};
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0 && SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 &&
        mode.h > 0) {
        *width = mode.w;
        *height = mode.h;
        return;
    }
    *width = g_InitialScreenSizeX;
    *height = g_InitialScreenSizeY;
}

} // namespace

// ---------------------------------------------------------------------------
// The sizing rules

SWindowSize Window_FitContent(double roomWidth, double roomHeight, double visibleWidth,
                              double visibleHeight) {
    if (roomWidth <= 0 || roomHeight <= 0 || visibleWidth <= 0 || visibleHeight <= 0)
        return {roomWidth, roomHeight};
    if (roomWidth > visibleWidth) {
        const double h = roomHeight * visibleWidth / roomWidth;
        if (h > visibleHeight) return {visibleWidth * visibleHeight / h, visibleHeight};
        return {visibleWidth, h};
    }
    if (roomHeight > visibleHeight) return {roomWidth * visibleHeight / roomHeight, visibleHeight};
    return {roomWidth, roomHeight};
}

SWindowSize Window_ResizeAnswer(const SResizeRule& rule, double frameWidth, double frameHeight,
                                double contentWidth, double contentHeight, double proposedWidth,
                                double proposedHeight) {
    if (rule.passedSetup && !rule.resizable) return {frameWidth, frameHeight};
    const double dw = frameWidth - contentWidth;
    const double dh = frameHeight - contentHeight;
    double w = std::max(rule.minWidth + dw, proposedWidth);
    if (rule.maxWidth > 0) w = std::min(w, rule.maxWidth + dw);
    double h = std::max(rule.minHeight + dh, proposedHeight);
    if (rule.maxHeight > 0) h = std::min(h, rule.maxHeight + dh);
    if (rule.keepAspect && rule.roomHeight > 0) w = (h - dh) * rule.roomWidth / rule.roomHeight + dw;
    return {w, h};
}

void Window_VisibleRect(const double rect[4], const double screen[4], double out[8]) {
    for (int i = 0; i < 4; ++i) out[4 + i] = screen[i];
    const bool overlaps =
        screen[0] < rect[2] && screen[1] < rect[3] && screen[2] > rect[0] && screen[3] > rect[1];
    if (!overlaps) {
        out[0] = out[1] = out[2] = out[3] = 0;
        return;
    }
    out[0] = std::max(screen[0], rect[0]);
    out[1] = std::max(screen[1], rect[1]);
    out[2] = std::min(screen[2], rect[2]);
    out[3] = std::min(screen[3], rect[3]);
}

// ---------------------------------------------------------------------------
// The window

void CreateDesktopWindow(int width, int height) {
    SetWindowSize(width, height);
    g_WindowClientX = g_WindowClientY = 0;
    g_WindowWidth = wind_regionwidth = width;
    g_WindowHeight = wind_regionheight = height;
    DisplayMainWindow();
}

void DisplayMainWindow() {
    setWindowOptions();
}

// Without bit 6 the window ends up not resizable, whatever it was before,
// so running the options twice gives the same window.
void setWindowOptions() {
    if (HeaderFlag(kScreenDockPopup)) g_FS_Flags_AllowDockAndMenuPopup = true;
    Window_Center();
    const bool interpolate = HeaderFlag(kScreenInterpolate);
    for (bool& stage : set_texlinear) stage = interpolate;
    g_InterpolatePixels = interpolate;
    if (!HeaderFlag(kScreenShowCursor)) HideMouseCursor();
    const bool sync = HeaderFlag(kScreenVSync);
    if (ZQGLView::Main() != nullptr) ZQGLView::Main()->setWaitForVBlank(sync);
    g_Sync = sync ? 1 : 0;
    if (SDL_Window* window = MainWindow()) {
        SDL_SetWindowResizable(window, HeaderFlag(kScreenResizable) ? SDL_TRUE : SDL_FALSE);
        ApplyLimits(window);
    }
    PassedInitialSetup = true;
}

void setContentSize() {
    SDL_Window* window = MainWindow();
    SDL_Rect visible{};
    double vw = 0, vh = 0;
    if (DisplayBounds(window, &visible, true)) {
        vw = visible.w;
        vh = visible.h;
        int top = 0;
        if (window != nullptr && SDL_GetWindowBordersSize(window, &top, nullptr, nullptr, nullptr) == 0)
            vh -= top;
    }
    const SWindowSize size = Window_FitContent(g_InitialScreenSizeX, g_InitialScreenSizeY, vw, vh);
    dbg_csol->Output("Setting content size to %f %f\n", size.width, size.height);
    const int w = RealToInt32(size.width);
    const int h = RealToInt32(size.height);
    if (window != nullptr && w > 0 && h > 0) SDL_SetWindowSize(window, w, h);
}

void updateRoomSize() {
    setContentSize();
    ApplyCursorChoice();
    if (Window_IsFullScreen()) {
        SDL_Rect screen{};
        DisplayBounds(MainWindow(), &screen, false);
        dbg_csol->Output("updateRoomSize setting new style glView frame to width %d height %d\n", screen.w,
                         screen.h);
    } else {
        dbg_csol->Output("Not updating glView as not fullscreen (1)\n");
    }
    if (ZQGLView::Main() != nullptr)
        ZQGLView::Main()->setRenderSize(g_InitialScreenSizeX, g_InitialScreenSizeY);
}

// In full screen the window's size is the screen's, not the room's: the
// asked size stays the room size and is applied when full screen is left.
void SetWindowSize(int width, int height) {
    if (width == g_WindowWidth && height == g_WindowHeight) return;
    g_InitialScreenSizeX = g_WindowWidth = wind_regionwidth = width;
    g_InitialScreenSizeY = g_WindowHeight = wind_regionheight = height;
    updateRoomSize();
    if (Window_IsFullScreen()) {
        g_NeedsResizeAfterFullScreen = true;
        dbg_csol->Output("Setting needs resize flag in setwindowsize\n");
        return;
    }
    if (ZQGLView::Main() != nullptr) {
        int w = 0, h = 0;
        ZQGLView::Main()->ContentSize(&w, &h);
        if (w > 0 && h > 0) {
            g_InitialScreenSizeX = g_WindowWidth = wind_regionwidth = w;
            g_InitialScreenSizeY = g_WindowHeight = wind_regionheight = h;
        }
    }
}

void SetWindowPosition(int x, int y) {
    if (wind_fullscreen) return;
    SDL_Window* window = MainWindow();
    if (window == nullptr) return;
    SDL_SetWindowPosition(window, x, y);
    int mx = 0, my = 0;
    SDL_GetMouseState(&mx, &my);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.windowID = SDL_GetWindowID(window);
    motion.motion.x = mx;
    motion.motion.y = my;
    Input_HandleEvent(motion);
}

void Window_Center() {
    if (wind_fullscreen) return;
    SDL_Window* window = MainWindow();
    SDL_Rect screen{};
    if (window == nullptr || !DisplayBounds(window, &screen, false)) return;
    SDL_SetWindowPosition(window, screen.x + RealToInt32((screen.w - g_WindowWidth) * 0.5),
                          screen.y + RealToInt32((screen.h - g_WindowHeight) * 0.5));
}

int GetWindowX() {
    int x = 0;
    if (SDL_Window* window = MainWindow()) SDL_GetWindowPosition(window, &x, nullptr);
    return x;
}

// Measured down from the top of the window's own screen.
int GetWindowY() {
    SDL_Window* window = MainWindow();
    if (window == nullptr) return 0;
    int y = 0;
    SDL_GetWindowPosition(window, nullptr, &y);
    SDL_Rect screen{};
    if (DisplayBounds(window, &screen, false)) y -= screen.y;
    return y;
}

void SetMousePosition(int x, int y) {
    SDL_Window* window = MainWindow();
    if (window == nullptr || (SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) == 0) return;
    SDL_WarpMouseInWindow(window, x, y);
}

// ---------------------------------------------------------------------------
// Full screen

bool Window_IsFullScreen() {
    SDL_Window* window = MainWindow();
    return window != nullptr && (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
}

void toggleFullScreen() {
    SDL_Window* window = MainWindow();
    if (window == nullptr) return;
    if (!Window_IsFullScreen()) {
        if (SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            dbg_csol->Output("Full screen refused: %s\n", SDL_GetError());
            return;
        }
        int w = 0, h = 0;
        SDL_GetWindowSize(window, &w, &h);
        dbg_csol->Output("window will enter setting glView frame to width %d height %d\n", w, h);
        ApplyCursorChoice();
        wind_fullscreen = true;
        dbg_csol->Output("windowDidEnterFullScreen\n");
    } else {
        if (SDL_SetWindowFullscreen(window, 0) != 0) {
            dbg_csol->Output("Leaving full screen refused: %s\n", SDL_GetError());
            return;
        }
        setContentSize();
        if (g_NeedsResizeAfterFullScreen) {
            dbg_csol->Output("Call to updateRoomSize as we exited full screen\n");
            updateRoomSize();
        }
        wind_fullscreen = false;
    }
    if (ZQGLView::Main() != nullptr) ZQGLView::Main()->reshape();
}

void safeToggleFullScreen() {
    if (HeaderFlag(kScreenResizable)) toggleFullScreen();
}

void MacExitFullScreen() {
    if (wind_fullscreen != Window_IsFullScreen()) safeToggleFullScreen();
}

void GraphicsResetM() {
    MacExitFullScreen();
    dbg_csol->Output("Calling GraphicsResetM\n");
    if (ZQGLView::Main() != nullptr) ZQGLView::Main()->setWaitForVBlank(g_Sync != 0);
}

int Display_Get_Visible_Rects(double left, double top, double right, double bottom, double** out) {
    *out = nullptr;
    const int count = std::max(0, SDL_GetNumVideoDisplays());
    if (count == 0) return 0;
    auto* rects = static_cast<double*>(ZQ_Alloc(sizeof(double) * 8 * static_cast<size_t>(count)));
    if (rects == nullptr) return 0;
    std::memset(rects, 0, sizeof(double) * 8 * static_cast<size_t>(count));
    const double rect[4] = {left, top, right, bottom};
    for (int i = 0; i < count; ++i) {
        SDL_Rect b{};
        SDL_GetDisplayBounds(i, &b);
        const double screen[4] = {double(b.x), double(b.y), double(b.x) + b.w, double(b.y) + b.h};
        Window_VisibleRect(rect, screen, rects + 8 * i);
    }
    *out = rects;
    return count;
}

// ---------------------------------------------------------------------------
// The renderer's window entry points

void GR_Window_Set_FullScreen(bool fullScreen) {
    wind_fullscreen = fullScreen;
    g_DoReset = 1;
}

bool GR_Window_Get_FullScreen() {
    return wind_fullscreen;
}

void GR_Window_Set_Size(int width, int height) {
    if (width > 0 && height > 0) SetWindowSize(width, height);
}

void GR_Window_Set_Position(int x, int y) {
    SetWindowPosition(x, y);
}

void GR_Window_Center() {
    Window_Center();
}

void GR_Window_Mouse_Set(int x, int y) {
    SetMousePosition(x, y);
}

int GR_Window_Get_X() {
    return GetWindowX();
}

int GR_Window_Get_Y() {
    return GetWindowY();
}

// Without a window (a run with no video) the drawable has no size: the
// size last asked for stands in, so scripts never divide by a zero width.
int GR_Window_Get_Width() {
    if (g_DeviceWidth <= 0 && MainWindow() == nullptr) return g_WindowWidth;
    return g_DeviceWidth;
}

int GR_Window_Get_Height() {
    if (g_DeviceHeight <= 0 && MainWindow() == nullptr) return g_WindowHeight;
    return g_DeviceHeight;
}

int GR_Window_Get_Region_Width() {
    return wind_regionwidth;
}

int GR_Window_Get_Region_Height() {
    return wind_regionheight;
}

int GR_Window_Get_Cursor() {
    return gMainWindowCursor;
}

void GR_Window_Set_CaptionM(const char* text, bool force) {
    if (g_IDE_Version == 2 || g_IDE_Version == 3 || force) PropagateGameName(text);
}

// The limits are held in the globals (the resize rules read them there);
// SDL's window takes them at once as its own minimum and maximum.
void GR_Window_Set_Min_WidthM(int) {
    if (SDL_Window* window = MainWindow()) ApplyLimits(window);
}

void GR_Window_Set_Max_WidthM(int) {
    if (SDL_Window* window = MainWindow()) ApplyLimits(window);
}

void GR_Window_Set_Min_HeightM(int) {
    if (SDL_Window* window = MainWindow()) ApplyLimits(window);
}

void GR_Window_Set_Max_HeightM(int) {
    if (SDL_Window* window = MainWindow()) ApplyLimits(window);
}

int GR_Display_Get_Width() {
    int w = 0, h = 0;
    DisplaySize(&w, &h);
    return w;
}

int GR_Display_Get_Height() {
    int w = 0, h = 0;
    DisplaySize(&w, &h);
    return h;
}

int GetOrientation() {
    return 0;
}

int GR_Display_Get_Visible_Rects(double left, double top, double right, double bottom, double** out) {
    return Display_Get_Visible_Rects(left, top, right, bottom, out);
}

void GR_Window_Set_Cursor(int cursor) {
    gMainWindowCursor = cursor;
    if (cursor == -5 || cursor == -1)
        HideMouseCursor();
    else
        ShowMouseCursor();
}

void Platform_SetCursor(int cursor) {
    GR_Window_Set_Cursor(cursor);
}

int Platform_WindowWidth() {
    return g_DeviceWidth;
}

int Platform_WindowHeight() {
    return g_DeviceHeight;
}

void Window_HandleEvent(const SDL_Event& event) {
    if (event.type != SDL_WINDOWEVENT) return;
    if (event.window.event == SDL_WINDOWEVENT_ENTER) {
        Input_MouseEntered();
        return;
    }
    if (event.window.event != SDL_WINDOWEVENT_SIZE_CHANGED) return;
    SDL_Window* window = MainWindow();
    if (window == nullptr || SDL_GetWindowID(window) != event.window.windowID) return;
    if (!HeaderFlag(kScreenResizable) || Window_IsFullScreen()) return;
    const double w = event.window.data1;
    const double h = event.window.data2;
    if (w <= 0 || h <= 0) return;
    dbg_csol->Output("window width = %f, window height = %f\n", w, h);
    const SResizeRule rule{PassedInitialSetup,
                           true,
                           HeaderFlag(kScreenKeepAspect),
                           g_WindowMinWidth,
                           g_WindowMaxWidth,
                           g_WindowMinHeight,
                           g_WindowMaxHeight,
                           g_InitialScreenSizeX,
                           g_InitialScreenSizeY};
    const SWindowSize answer = Window_ResizeAnswer(rule, w, h, w, h, w, h);
    const int aw = RealToInt32(answer.width);
    const int ah = RealToInt32(answer.height);
    if (std::abs(aw - event.window.data1) > 1 || std::abs(ah - event.window.data2) > 1)
        SDL_SetWindowSize(window, aw, ah);
}

void Window_Reset() {
    gMainWindowCursor = 0;
    wind_fullscreen = false;
    g_WindowWidth = wind_regionwidth = wind_regionheight = 0;
    g_WindowMinWidth = g_WindowMaxWidth = g_WindowMinHeight = g_WindowMaxHeight = 0;
    g_FS_Flags_AllowDockAndMenuPopup = false;
    g_NeedsResizeAfterFullScreen = false;
    PassedInitialSetup = false;
}
