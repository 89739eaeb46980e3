// The run-wide state the main loop, room changes, game control and the
// built-in variables share: whether the game runs or is paused, the running
// room's index, score, lives, health, cursor and automatic drawing.
#pragma once

#include <cstdint>

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
extern int32_t Current_View;
extern bool Secure_Mode;
extern int32_t Cursor_Sprite;
extern int32_t Cursor_Subimage;
// Draw the room every step.
extern bool Draw_Automatic;
// Game_Id (32-bit, from the header chunk) is declared in world/game_header.h.
// Set at the end of every room start.
extern bool g_GameStarted;
