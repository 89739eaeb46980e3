// What the renderer's window settings and the display and window built-ins
// ask of the platform's window (defined in src/platform). Every routine
// answers without a window: setters do nothing to a window that does not
// exist (what they record is still recorded), getters answer the recorded
// or configured values.
#pragma once

#include <cstdint>

// The drawing region's size, kept by the platform's window.
extern int32_t wind_regionwidth, wind_regionheight;
// Size limits of the window's content; a maximum of 0 or less is none.
extern int32_t g_WindowMinWidth, g_WindowMaxWidth, g_WindowMinHeight, g_WindowMaxHeight;

// Moves the pointer to a window position (only while the window has focus).
void GR_Window_Mouse_Set(int x, int y);

// The full-screen wish: recorded at once, applied by the display reset it
// asks for (g_DoReset), and only in a window the header made resizable.
void GR_Window_Set_FullScreen(bool fullScreen);
bool GR_Window_Get_FullScreen();

// Position of the top-left corner from the top-left of the first screen;
// nothing in full screen. The size changes only when both sides are above 0.
void GR_Window_Set_Position(int x, int y);
void GR_Window_Set_Size(int width, int height);
void GR_Window_Center();
int GR_Window_Get_X();
int GR_Window_Get_Y();
// The drawable's size in device pixels; without a window, the size last asked for.
int GR_Window_Get_Width();
int GR_Window_Get_Height();

// The cursor the game chose; -1 and -5 hide the system cursor.
void GR_Window_Set_Cursor(int cursor);
int GR_Window_Get_Cursor();

// The window's title becomes `text` (surrounding quotes stripped) when the
// game's tool sets captions (IDE version 2 or 3) or `force` is set.
void GR_Window_Set_CaptionM(const char* text, bool force);

// The platform's side of the size limits: the window takes the limits now
// held in g_WindowMin/Max*.
void GR_Window_Set_Min_WidthM(int width);
void GR_Window_Set_Max_WidthM(int width);
void GR_Window_Set_Min_HeightM(int height);
void GR_Window_Set_Max_HeightM(int height);

// The main display's size in points: as the view last recorded it, else the
// desktop mode of the first display, else the header's screen size (a run
// with no video at all).
int GR_Display_Get_Width();
int GR_Display_Get_Height();
// The device orientation: 0 (landscape) on this platform.
int GetOrientation();

// One record of 8 doubles per display: the overlap of the rectangle (left,
// top, right, bottom) with the display (zeros when none), then the display's
// own edges, in coordinates from the top-left of the main display, y down.
// Returns the display count; *out is a memory-manager block the caller frees
// (null with a count of 0).
int GR_Display_Get_Visible_Rects(double left, double top, double right, double bottom, double** out);
