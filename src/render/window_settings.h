// The window settings the renderer keeps for scripts: the caption, the size
// limits (held by the platform's window, handed on to it here), placing the
// window by rectangle, and whether a script has placed it.
#pragma once

#include <cstdint>

// The caption last accepted (a memory-manager copy), null before the first;
// dialogs take it as their title.
extern char* g_pWindowCaption;
// A script has placed the window: start-up leaves it where it is.
extern bool g_DontMoveWindow;

// Accepted only when the game's tool sets captions (IDE version 2 or 3) or
// `force` is set; null counts as "". The window's title follows.
void GR_Window_Set_Caption(const char* text, bool force);
const char* GR_Window_Get_Caption();

// Each stores its limit and hands it to the platform's window.
void GR_Window_Set_Min_Width(int width);
void GR_Window_Set_Max_Width(int width);
void GR_Window_Set_Min_Height(int height);
void GR_Window_Set_Max_Height(int height);

// Position, then size (which changes only when both sides are above 0).
void GR_Window_Set_Rectangle(int x, int y, int width, int height);

// The caption freed, the window not placed by a script (tests).
void WindowSettings_Reset();
