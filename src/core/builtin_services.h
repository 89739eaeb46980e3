// What the built-in variables and the named constants ask of modules that are
// not built yet: resource finders, the measured frame rate, the font cache
// size, the mouse in room coordinates and the window size. The owners'
// stand-ins (src/<module>/stand_ins.cpp) answer until they define them.
#pragma once

#include <cstdint>

#include "core/ref_string.h"
#include "core/run_globals.h" // captions, the application surface

// Resource finders of the sprite, sound, audio, background, font and shader
// tables: the lowest index with exactly that name, or -1.
int Sprite_Find(const char* name);
int Sound_Find(const char* name);
int Audio_Find(const char* name);
int Background_Find(const char* name);
int Font_Find(const char* name);
int Shader_Find(const char* name);

// The measured frame rate (the renderer). Fps, the frames counted in the
// last whole second, comes with the main loop.
extern float g_curRoomFPS;

// The side of the texture that caches rendered glyphs (1024 at start).
extern int32_t g_nFontTextureSize;

// Pointer `device` (0 to 9) in room coordinates through the views while a
// room runs, else in window pixels; 0 for another device.
int GR_Window_Views_Mouse_Get_X(int device);
int GR_Window_Views_Mouse_Get_Y(int device);

// The main window's size in pixels (0 while there is no window).
int Platform_WindowWidth();
int Platform_WindowHeight();

// Text in the current font, colour and alignment (fonts); -1 for the default
// line separation and width.
int GR_Text_Width(const char* text, int separation, int width);
void GR_Text_Draw(float x, float y, const char* text, int separation, int width);
