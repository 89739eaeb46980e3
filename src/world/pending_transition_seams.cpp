// Placeholders until room transitions land.
#include "world/room_transitions.h"

void StartGame() {}
void StartRoom(int, bool) {}
void EndRoom(bool) {}
void SwitchRoom(int) {}
void Run_EndGame() {}
void LoadGame() {}
void Run_Room_Set(CRoom*) {}
void INITIALIZE_Run_Global() {}
void FINALIZE_Run_Global() {}
