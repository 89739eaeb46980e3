// Stand-ins for the bytecode interpreter and the script object runtime, until
// the module is built: each accepts its call and does nothing, or answers
// "none" (or succeeds where the caller would otherwise stop). The module
// deletes each stand-in as it defines the real function; the build refuses a
// function defined both here and in the module (tools/check_duplicates.sh).
#include "world/datafile/game_data_services.h"
#include "world/run/startup_services.h"
#include "world/step/step_services.h"

// ---- asked for through world/datafile/game_data_services.h

void JS_InitRuntime() {}

void JS_SetupResources() {}

// ---- asked for through world/run/startup_services.h

void VM_Init() {}

void VM_Quit() {}

void Collector_FullCollect() {}

// ---- asked for through world/step/step_services.h

void DoGenerationalGC() {}
