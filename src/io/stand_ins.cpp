// Stand-ins for file built-ins, extensions, networking, the debugger link, the
// profiler, high scores and saved games, until the module is built: each
// accepts its call and does nothing, or answers "none" (or succeeds where the
// caller would otherwise stop). The module deletes each stand-in as it defines
// the real function; the build refuses a function defined both here and in the
// module (tools/check_duplicates.sh).
#include "core/function_table.h"
#include "core/support_output.h"
#include "library/interaction_services.h"
#include "library/library_builtins.h"
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

// ---- built-in rows the library registers (library/library_builtins.h)

// Placeholders until native extensions land: the external-call built-ins are
// registered under their names (so every later built-in keeps its id), say on
// the debug console that they are not available yet, and answer undefined.
namespace {

void F_ExternalMissing(RValue&, CInstance*, CInstance*, int, RValue*) {
    Support_DebugOutput("%s: native extensions are not available yet\n",
                        g_pFunction != nullptr ? g_pFunction->f_name : "external call");
}

const LibraryBuiltinRow kExternal[] = {
    {"external_define", F_ExternalMissing}, {"external_call", F_ExternalMissing},
    {"external_free", F_ExternalMissing},   {"external_define0", F_ExternalMissing},
    {"external_call0", F_ExternalMissing},  {"external_define1", F_ExternalMissing},
    {"external_call1", F_ExternalMissing},  {"external_define2", F_ExternalMissing},
    {"external_call2", F_ExternalMissing},  {"external_define3", F_ExternalMissing},
    {"external_call3", F_ExternalMissing},  {"external_define4", F_ExternalMissing},
    {"external_call4", F_ExternalMissing},  {"external_define5", F_ExternalMissing},
    {"external_call5", F_ExternalMissing},  {"external_define6", F_ExternalMissing},
    {"external_call6", F_ExternalMissing},  {"external_define7", F_ExternalMissing},
    {"external_call7", F_ExternalMissing},  {"external_define8", F_ExternalMissing},
    {"external_call8", F_ExternalMissing},
};

} // namespace

std::span<const LibraryBuiltinRow> ExternalBuiltins() {
    return kExternal;
}

// ---- asked for through library/interaction_services.h

// No highscore table yet: every entry is empty, and changes are dropped.
void HighScore_Show(int) {}

void HighScore_Clear() {}

void HighScore_Add(const char*, int) {}

int HighScore_Value(int) {
    return 0;
}

const char* HighScore_Name(int) {
    return "";
}

void HighScore_SetBackground(int) {}

void HighScore_SetBorder(bool) {}

void HighScore_SetColors(int, int, int) {}

void HighScore_SetFont(const char*, int) {}

void HighScore_SetStrings(const char*, const char*, const char*) {}
