// Room and game control requested by scripts: each request only records the
// pending room change; the main loop acts on it after the step.
#pragma once

#include <span>

#include "world/builtins/game_builtins.h"

void Command_GotoRoom(int room, int kind = 0);
void Command_PreviousRoom(int kind = 0);
void Command_NextRoom(int kind = 0);
void Command_CurrentRoom(int kind = 0);
void Command_EndGame();
void Command_RestartGame();

// The legacy snapshot action: the window's pixels to a 32-bit PNG file.
void Command_ScreenShot(const char* name);

// Compiled code's direct calls.
void ZQVTL_room_goto_previous();
void ZQVTL_room_goto_next();
void ZQVTL_room_restart();
void ZQVTL_game_end();
void ZQVTL_game_restart();

// room_goto and the rest of room and game control, saved-game requests,
// transition stubs and sleep.
std::span<const GameBuiltinRow> RoomControl_Builtins();
