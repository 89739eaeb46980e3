// The window's table of views (what part of the room each shown view covers
// and where on the application surface it is drawn), the letterbox rectangle
// the application surface is shown in, and the conversions of points between
// window pixels and room coordinates through those views. Also the few window
// colour drawn outside the views.
#pragma once

#include <cstdint>

inline constexpr int kWindowViews = 32;
// Only the room's own views (0-7) can take the pointer.
inline constexpr int kPointerViews = 8;

struct WindowView {
    bool defined = false;
    float viewX = 0, viewY = 0, viewW = 0, viewH = 0;
    float portX = 0, portY = 0, portW = 0, portH = 0;
    float angle = 0;
    int32_t surface = -1;
    int32_t camera = -1;
};

extern WindowView _views[kWindowViews];
extern int32_t _views_count;
// Whether the application surface is wanted, and whether the frame uses it.
extern bool g_AppSurfaceEnabled, g_bUsingAppSurface;
// 0xBBGGRR with alpha 0xFF: the colour drawn outside the views.
extern uint32_t g_OutsideViewColour;

void INITIALIZE_Graphics_Window();
void GR_View_Undefine_All();
void GR_Window_View_Define(int i, float portX, float portY, float portW, float portH, float viewX,
                           float viewY, float viewW, float viewH, float angle, int surface, int camera);
void GR_Window_View_UnDefine(int i);

// The letterbox offsets: the width of the bars left (offX) or top (offY) of
// the application surface when its aspect is kept, else zeros.
void Window_LetterboxOffsets(int& offX, int& offY);
// The rectangle of the drawable the application surface is shown in; right
// and bottom are edges.
void Get_FullScreenOffset(int& left, int& top, int& right, int& bottom);

void GR_Window_GUI_Convert(int x, int y, int& gx, int& gy);
void GR_Window_View_Convert(int i, int x, int y, int& rx, int& ry);
void GR_Window_View_Convert_World(int i, float x, float y, int& wx, int& wy);
int GR_Window_Views_Get_ID(int x, int y);
void GR_Window_Views_Convert(int x, int y, int& rx, int& ry);

int GR_Window_Mouse_Get_X();
int GR_Window_Mouse_Get_Y();
int GR_Window_View_Mouse_Get_X(int i);
int GR_Window_View_Mouse_Get_Y(int i);
int GR_Window_Views_Mouse_Get_X(int device);
int GR_Window_Views_Mouse_Get_Y(int device);
void GR_Window_Views_Mouse_Get_XY(int& x, int& y, int device);
void GR_Window_View_Mouse_Set(int i, int x, int y);
void GR_Window_Views_Mouse_Set(int x, int y);

// Stores colour | 0xFF000000; the getter answers the colour without alpha.
void GR_Window_Set_Color(uint32_t colour);
uint32_t GR_Window_Get_Color();

void WindowViews_Reset();
