// Placeholders until room control and the game built-ins land.
#include "core/run_state.h"
#include "world/game_builtins.h"
#include "world/room_control.h"

void Command_GotoRoom(int room, int) {
    New_Room = room;
}
void Command_PreviousRoom(int) {}
void Command_NextRoom(int) {}
void Command_CurrentRoom(int) {}
void Command_EndGame() {
    New_Room = ROOM_ENDGAME;
}
void Command_RestartGame() {
    New_Room = ROOM_RESTARTGAME;
}
void InitGameFunctions() {}
