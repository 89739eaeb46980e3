// The main window's behaviour: the options of the data file's header
// (vertical sync, pixel interpolation, cursor, resizable window, full-screen
// switching), sizing the window to the room size within the screen, the
// rules while the user resizes it, switching to and from full screen (SDL's
// desktop full screen), and the entry points the renderer's window
// built-ins reach it through.
#pragma once

#include <cstdint>

#include "render/window_services.h"

union SDL_Event;

// Header screen flags as the shell reads them (g_InitialScreenFlags).
inline constexpr uint32_t kScreenStartFullScreen = 0x1;
inline constexpr uint32_t kScreenVSync = 0x2;
inline constexpr uint32_t kScreenInterpolate = 0x8;
inline constexpr uint32_t kScreenKeepAspect = 0x10;
inline constexpr uint32_t kScreenShowCursor = 0x20;
inline constexpr uint32_t kScreenResizable = 0x40; // also enables the full-screen switch
inline constexpr uint32_t kScreenFullScreenSwitch = 0x80;
inline constexpr uint32_t kScreenDockPopup = 0x100;
inline constexpr uint32_t kScreenBuiltInSplash = 0x10000;

// The cursor the game chose; -1 and -5 hide the system cursor.
extern int gMainWindowCursor;
// The full-screen state the game asked for or the window reached.
extern bool wind_fullscreen;
// The window content size last asked for (the height is the renderer's
// g_WindowHeight). The drawing region's size and the size limits are in
// render/window_services.h.
extern int32_t g_WindowWidth;
extern bool g_FS_Flags_AllowDockAndMenuPopup;
// The room size changed while in full screen: applied when it is left.
extern bool g_NeedsResizeAfterFullScreen;
// The header's options have been applied to the window.
extern bool PassedInitialSetup;

// ---------------------------------------------------------------------------
// The sizing rules, free of any window.

struct SWindowSize {
    double width;
    double height;
};

// The room size fitted into the screen's visible area (the title bar's
// height already taken off): never enlarged, only shrunk, keeping its
// aspect. An unknown screen (0 or less either way) or an empty room keeps
// the room size.
SWindowSize Window_FitContent(double roomWidth, double roomHeight, double visibleWidth, double visibleHeight);

// What a resize to (proposedW, proposedH) becomes, all sizes of the frame
// (border included) but the limits and the room, which are of the content:
// once set up, a window that is not resizable keeps its frame; otherwise the
// limits apply (a maximum of 0 or less is none) and with keepAspect the
// width follows the height in the room's aspect.
struct SResizeRule {
    bool passedSetup;
    bool resizable;
    bool keepAspect;
    int minWidth, maxWidth, minHeight, maxHeight;
    int roomWidth, roomHeight;
};
SWindowSize Window_ResizeAnswer(const SResizeRule& rule, double frameWidth, double frameHeight,
                                double contentWidth, double contentHeight, double proposedWidth,
                                double proposedHeight);

// The rectangle (left, top, right, bottom) intersected with a screen:
// slots 0 to 3 the intersection (zeros when they do not overlap), 4 to 7
// the screen's own edges.
void Window_VisibleRect(const double rect[4], const double screen[4], double out[8]);

// ---------------------------------------------------------------------------
// The window.

// Sizes the window to (width, height) and applies the header's options.
void CreateDesktopWindow(int width, int height);
void DisplayMainWindow();
void setWindowOptions();
// Sizes the window's content to the room size within the screen, the
// drawing to the room size, and re-reads the size the window took.
void SetWindowSize(int width, int height);
void setContentSize();
void updateRoomSize();
// Top-left corner from the top-left of the first screen; nothing in full screen.
void SetWindowPosition(int x, int y);
void Window_Center();
int GetWindowX();
int GetWindowY();
void SetMousePosition(int x, int y);

// Full screen: the switch itself, and the switch only when the header's
// resizable bit allows it.
void toggleFullScreen();
void safeToggleFullScreen();
// Whether the window is in full screen now.
bool Window_IsFullScreen();
// The display reset: switches when the wished state and the window's differ
// (only in a resizable window), and takes the vertical sync wish again.
void GraphicsResetM();
void MacExitFullScreen();

// The screens as rectangles (see Window_VisibleRect), 8 doubles per screen
// in a memory-manager block the caller frees; returns the screen count.
// GR_Display_Get_Visible_Rects answers the same.
int Display_Get_Visible_Rects(double left, double top, double right, double bottom, double** out);

// The renderer's window entry points are declared in render/window_services.h;
// these two read the drawing region's size.
int GR_Window_Get_Region_Width();
int GR_Window_Get_Region_Height();

// Window events: a size change applies the resize rules (SDL has no
// pre-resize hook, so a size that breaks them is corrected afterwards);
// entering the window re-applies the cursor.
void Window_HandleEvent(const SDL_Event& event);

// Puts the module's state back as the program started.
void Window_Reset();
