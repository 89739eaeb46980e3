// Entering and leaving rooms: the run-time room copies by room index, the
// persistent instances carried between rooms, game start and game end.
#pragma once

class CRoom;

void StartGame();
void StartRoom(int room, bool gameStart);
void EndRoom(bool gameEnd);
void SwitchRoom(int room);
void Run_EndGame();
void LoadGame();
void Run_Room_Set(CRoom* room);
void INITIALIZE_Run_Global();
void FINALIZE_Run_Global();
