// The run-wide state with its start values.
#include "world/run_globals.h"

bool Run_Running = false;
bool Run_Paused = false;
int32_t Current_Room = 0;
int32_t Transition_Kind = 0;
int32_t Score = 0;
int32_t Lives = -1;
double Health = 100.0;
int32_t Current_View = 0;
bool Secure_Mode = false;
int32_t Cursor_Sprite = -1;
int32_t Cursor_Subimage = 0;
bool Draw_Automatic = true;
bool g_GameStarted = false;
