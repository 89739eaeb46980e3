// The run's state that the runtime core reads while reporting: the pending
// room change and the event being run. The game step and the event runner
// write them; they live here so that the core builds and reports on its own.
#pragma once

#include <cstdint>

// The pending room change: -1 none, a room index, -100 end the game, -200
// restart, -300 load a saved game, -400 end the game after an error.
inline constexpr int32_t ROOM_NONE = -1;
inline constexpr int32_t ROOM_ENDGAME = -100;
inline constexpr int32_t ROOM_RESTARTGAME = -200;
inline constexpr int32_t ROOM_LOADGAME = -300;
inline constexpr int32_t ROOM_ABORTGAME = -400;
extern int32_t New_Room;

// The event being run: its type (100000 a timeline moment, -1 a shader
// compilation), subtype (for a moment: its step), the object index (for a
// moment: the timeline index) and the action index.
inline constexpr int32_t EVENT_TYPE_TIMELINE = 100000;
inline constexpr int32_t EVENT_TYPE_SHADER = -1;
extern int32_t Current_Event_Type;
extern int32_t Current_Event_Number;
extern int32_t Current_Object;
extern int32_t Current_Action_Index;

// A failed shader compilation: fragment (set) or vertex shader, and its name.
extern bool g_ShaderVorP;
extern const char* g_ShaderErrorName;

// Puts the module's state back as the program started: no room change
// pending, no event running, no shader failure.
void RunState_Reset();
