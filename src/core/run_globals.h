// The run-wide state the main loop, room changes, game control and the
// built-in variables share: whether the game runs or is paused, the running
// room's index, score, lives, health and their captions, cursor, automatic
// drawing, the saved game to load and the application surface's settings.
#pragma once

#include <cstdint>

#include "core/header_globals.h" // Game_Id, g_ApplicationWidth, g_ApplicationHeight
#include "core/ref_string.h"
#include "core/run_state.h"

extern bool Run_Running;
extern bool Run_Paused;
// The index of the running room (Run_Room, in the room module, is its copy).
extern int32_t Current_Room;
// The transition of the next room change; every change request resets it.
extern int32_t Transition_Kind;
extern int32_t Score;
extern int32_t Lives;
extern double Health;
// The window-caption texts of score, lives and health (string records the
// run holds one reference to, never null after INITIALIZE_Run_Global) and
// whether each is shown.
extern RefString* Score_Caption;
extern RefString* Lives_Caption;
extern RefString* Health_Caption;
extern bool Score_ShowCaption;
extern bool Score_ShowCaptionSet;
extern bool Lives_ShowCaption;
extern bool Health_ShowCaption;
extern int32_t Current_View;
extern bool Secure_Mode;
extern int32_t Cursor_Sprite;
extern int32_t Cursor_Subimage;
// Draw the room every step.
extern bool Draw_Automatic;
// Set at the end of every room start.
extern bool g_GameStarted;
// The saved game a pending load (New_Room = ROOM_LOADGAME) reads
// (memory-manager text, or null).
extern char* Load_GameName;

// The application surface: none until the renderer makes one.
inline constexpr int32_t APPLICATION_SURFACE_NONE = static_cast<int32_t>(0xFEEEDEAD);
extern int32_t g_ApplicationSurface;
extern bool g_Application_Surface_Autodraw;
// A resize of the application surface waiting for the next frame.
extern bool g_NewApplicationSize;
extern int32_t g_NewApplicationWidth;
extern int32_t g_NewApplicationHeight;
// The texture of the view surface being drawn into, -1 for none.
extern int32_t g_CurrentViewSurfaceTexture;
extern int32_t g_MouseTimer;

// Every value above back to its start value; the captions and the saved
// game's name are released (tests, and a fresh load).
void RunGlobals_Reset();
