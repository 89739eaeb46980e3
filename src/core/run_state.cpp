// The run's state read by the core's error report.
#include "core/run_state.h"

int32_t New_Room = ROOM_NONE;
int32_t Current_Event_Type = 0;
int32_t Current_Event_Number = 0;
int32_t Current_Object = 0;
int32_t Current_Action_Index = 0;
bool g_ShaderVorP = false;
const char* g_ShaderErrorName = nullptr;

void RunState_Reset() {
    New_Room = ROOM_NONE;
    Current_Event_Type = Current_Event_Number = Current_Object = Current_Action_Index = 0;
    g_ShaderVorP = false;
    g_ShaderErrorName = nullptr;
}
