// Stand-ins for file built-ins, extensions, networking, the debugger link, the
// profiler, high scores and saved games, until the module is built: each
// accepts its call and does nothing, or answers "none" (or succeeds where the
// caller would otherwise stop). The module deletes each stand-in as it defines
// the real function; the build refuses a function defined both here and in the
// module (tools/check_duplicates.sh).
#include "core/support_output.h"
#include "world/builtins/game_builtin_services.h"
#include "world/datafile/game_data_services.h"
#include "world/run/startup_services.h"
#include "world/step/step_services.h"

// ---- asked for through world/builtins/game_builtin_services.h

bool Command_SaveGame(const char* filename) {
    Support_DebugOutput("game_save(%s): saved games are not available yet\n",
                        filename != nullptr ? filename : "");
    return false;
}

bool Command_SaveGame(int buffer) {
    Support_DebugOutput("game_save_buffer(%d): saved games are not available yet\n", buffer);
    return false;
}

bool Command_LoadGame(const char* filename) {
    Support_DebugOutput("game_load(%s): saved games are not available yet\n",
                        filename != nullptr ? filename : "");
    return false;
}

bool Command_LoadGame(int buffer) {
    Support_DebugOutput("game_load_buffer(%d): saved games are not available yet\n", buffer);
    return false;
}

// ---- asked for through world/datafile/game_data_services.h

void Extension_Load(ImageReader&) {}

// ---- asked for through world/run/startup_services.h

void INITIALIZE_Score() {}

void HighScore_InitLoad() {}

void InitFileFunctions() {}

void InitNetworkingFunctions() {}

void Debug_InitRemoteInterface() {}

bool Extension_Prepare() {
    return true;
}

bool Extension_Initialise() {
    return true;
}

bool Extension_Finalise() {
    return true;
}

void Debug_AddTag(const char*) {}

bool Debugger_WaitsForConnection() {
    return false;
}

bool SaveGame_Load(const char*) {
    return false;
}

void Profiler_ProfileDump() {}

void Profiler_Clean() {}

void QuitNetworkingFunctions() {}

void FINALIZE_Score() {}

void FINALIZE_Function_File() {}

// ---- asked for through world/step/step_services.h

void Check_LoadGameState() {}

void ProcessNetworking() {}

void TickDebugger() {}
