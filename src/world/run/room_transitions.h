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

// The run-time room list: one slot per room index, null where no run-time
// copy exists (a room that is not running and not persistent).
int Run_Room_Count();
CRoom* Run_Room_At(int index);

// The persistent instances carried from the room just left to the next one
// (detached copies, in the order they were carried).
int Run_CarriedInstanceCount();
// Destroys the carried copies and frees their list (the main loop's
// finaliser calls it; safe to call at any time).
void Run_FreeCarriedInstances();

// How a headless run ends once a room's creation code has run: by default
// output is flushed and the process ends at once with the status. Tests
// install their own ending; null restores the default.
void Run_SetHeadlessExit(void (*exitProcess)(int status));
